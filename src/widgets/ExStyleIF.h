#pragma once

// The vocabulary with which components take on a colour scheme (styles,
// colour tones and the two interfaces that receive them), the office theme
// of the machine and the notifier that tells windows when it changes.

#include "platform/Graphics.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QWidget;

enum class TOfficeTheme
{
    ot2003Blue, ot2003Silver, ot2003Olive, ot2003Classic, ot2007Blue, ot2007Silver, ot2007Black, ot2010Blue,
    ot2010Silver, ot2010Black, otUnknown
};
using enum TOfficeTheme;

enum class TQRVStyle
{
    tsOffice2003Blue, tsOffice2003Silver, tsOffice2003Olive, tsOffice2003Classic, tsOffice2007Luna,
    tsOffice2007Obsidian, tsWindowsXP, tsWhidbey, tsCustom, tsOffice2007Silver, tsWindowsVista, tsWindows7,
    tsTerminal, tsOffice2010Blue, tsOffice2010Silver, tsOffice2010Black
};
using enum TQRVStyle;

struct TColorTone
{
    platform::TColor BrushColor = platform::clNone;
    platform::TColor BorderColor = platform::clNone;
    platform::TColor TextColor = platform::clNone;
    bool operator==(const TColorTone&) const = default;
};

// Background for the normal state, Hover for the hot one, Selected for the
// pressed one, Disabled for the disabled one.
struct TColorTones
{
    TColorTone Background, Foreground, Selected, Hover, Disabled;
    bool operator==(const TColorTones&) const = default;
};

// Implemented by the components that take a style or a set of tones.
class IQRVStyle
{
public:
    virtual void SetComponentStyle(TQRVStyle style) = 0;

protected:
    ~IQRVStyle() = default;
};

class IQRVTones
{
public:
    virtual void SetColorTones(const TColorTones& tones) = 0;

protected:
    ~IQRVTones() = default;
};

// Windows by handle. A window that is destroyed reads as null.
class THandleList
{
public:
    int Count() const { return static_cast<int>(items_.size()); }
    void Add(QObject* window) { items_.emplace_back(window); }
    // Index 0..Count; outside throws std::out_of_range.
    void Insert(int index, QObject* window);
    void Delete(int index);
    // Removes the first equal entry; nothing when there is none.
    void DeleteValue(QObject* window);
    bool HasValue(QObject* window) const;
    QObject* Items(int index) const;
    void SetItems(int index, QObject* window);

private:
    void Check(int index, int limit) const;
    std::vector<QPointer<QObject>> items_;
};

// Platform probes --------------------------------------------------------------

// This desktop is not that version of the other one: false.
bool IsVistaOrLater();
// "Segoe UI" on Vista or later, else "Tahoma".
QString DefaultFontName();

// Office theme -------------------------------------------------------------------

// Where the office theme is read: the current user's registry keys of the
// office suite and the colour scheme of the desktop's visual style. This
// desktop has no registry: the default source answers as a machine without
// an office suite does.
class TOfficeThemeSource
{
public:
    virtual ~TOfficeThemeSource() = default;
    // The integer value `name` of `key` under the current user; -1 when the
    // key or the value is missing.
    virtual int ReadInteger(const QString& key, const QString& name) const = 0;
    virtual bool KeyExists(const QString& key) const = 0;
    // The colour name of the desktop's visual style ("NormalColor",
    // "HomeStead", "Metallic"...); false without an active visual style.
    virtual bool DesktopColorName(QString& colorName) const = 0;
};

// Puts a source in place of the default one (nullptr restores it). Tests.
void SetOfficeThemeSource(std::unique_ptr<TOfficeThemeSource> source);

// The office suite's theme, or failing that the desktop's colour scheme.
TOfficeTheme CurrentOfficeTheme();
// 2 for the 2010 generation, 1 for 2007, 0 for none.
int InstalledOfficeGeneration();

// Theme notifier -------------------------------------------------------------------

// Sent to the notifier window and to every registered window when the office
// theme changes: WParam the registry root, LParam a pointer to the key path
// (a QString, valid while the message is delivered).
constexpr unsigned WM_OFFICETHEMECHANGE = 0x0400 + 1969;

// Root of the current user's keys, as the message carries it.
constexpr std::intptr_t HKEY_CURRENT_USER = static_cast<std::intptr_t>(0x80000001u);

// The watcher of the office theme key and its list of windows to tell. The
// list is guarded: the watcher reads it while the user-interface thread
// registers and unregisters windows.
class TRegMonitorThread
{
public:
    TRegMonitorThread() = default;
    TRegMonitorThread(const TRegMonitorThread&) = delete;
    TRegMonitorThread& operator=(const TRegMonitorThread&) = delete;

    // 0 reads as 15 (every kind of change), and is stored so.
    unsigned Filter();
    void SetFilter(unsigned filter) { FFilter = filter; }
    QString Key() const { return FKey; }
    void SetKey(const QString& key) { FKey = key; }
    std::intptr_t RootKey() const { return FRootKey; }
    void SetRootKey(std::intptr_t root) { FRootKey = root; }
    bool WatchSub() const { return FWatchSub; }
    void SetWatchSub(bool v) { FWatchSub = v; }
    QObject* Wnd() const { return FWnd; }
    void SetWnd(QObject* window) { FWnd = window; }

    // Appends the window unless it is there already.
    void RegisterWindow(QObject* window);
    void UnRegisterWindow(QObject* window);
    int WindowCount() const;
    bool HasWindow(QObject* window) const;

    // One change of the key: WM_OFFICETHEMECHANGE to Wnd, then to every
    // registered window in order. Nothing once stopped.
    void Notify();
    void Stop();
    bool Terminated() const;

private:
    unsigned FFilter = 0;
    QString FKey;
    std::intptr_t FRootKey = HKEY_CURRENT_USER;
    bool FWatchSub = false;
    QPointer<QObject> FWnd;
    THandleList FWinList;
    mutable std::mutex lock_;
    bool terminated_ = false;
};

// The hidden window that hears of theme changes for the notifier.
class TThemeNotifierWindow;

// The single notifier of office theme changes. With an office suite of the
// 2007 or 2010 generation it watches that suite's key; without one (always on
// this desktop) it has no window and no watcher, and registering windows does
// nothing.
class TThemeNotifier : public QObject
{
public:
    // owner: the widget the notifier belongs to (its hidden window is a child
    // of it); the notifier goes with it.
    explicit TThemeNotifier(QObject* owner);
    ~TThemeNotifier() override;

    void RegisterWindow(QObject* window);
    void UnRegisterWindow(QObject* window);

    TRegMonitorThread* RegMonitorThread() const { return monitor_.get(); }
    TThemeNotifierWindow* NotifierWindow() const;

    std::function<void(QObject* sender)> OnOfficeThemeChange;

private:
    std::unique_ptr<TRegMonitorThread> monitor_;
    QPointer<TThemeNotifierWindow> FNotifier; // a child of the owner
};

// The notifier, created on first use: owned by the application's main form
// when there is one, else by candidateOwner.
TThemeNotifier* ThemeNotifier(QObject* candidateOwner);
