#include "widgets/ExXPVS.h"

#include "platform/Themes.h"

#include <QApplication>
#include <QStyle>

#include <atomic>
#include <mutex>

namespace {

std::mutex g_lock;
int g_users = 0;
std::atomic<bool> g_bound{false};

// Bound from start-up to shut-down, as the program's modules start.
struct StartUp
{
    StartUp() { ExXPVS::Bind(); }
    ~StartUp() { ExXPVS::Release(); }
} g_startUp;

} // namespace

namespace themebinding::detail {

HTHEME Open(const QWidget* window, const QString& classList)
{
    HTHEME theme;
    platform::ThemeClass cls;
    if (platform::ThemeClassFromName(classList.trimmed(), &cls)) {
        theme.Class = static_cast<int>(cls);
        theme.Window = window;
    }
    return theme;
}

bool Draw(const HTHEME& theme, platform::TCanvas& canvas, int part, int state, const platform::TRect& rect,
          const platform::TRect* clip)
{
    if (!theme.Valid())
        return false;
    const auto cls = static_cast<platform::ThemeClass>(theme.Class);
    if (!clip)
        return platform::DrawThemeBackground(canvas, cls, part, state, rect, theme.Window);
    // Drawn inside the clip as well as any clip the canvas has.
    const bool hadClip = canvas.HasClip();
    const platform::TRegion saved = canvas.ClipRegion();
    canvas.IntersectClipRect(*clip);
    const bool drawn = platform::DrawThemeBackground(canvas, cls, part, state, rect, theme.Window);
    if (hadClip)
        canvas.SetClipRegion(saved);
    else
        canvas.RemoveClip();
    return drawn;
}

bool CurrentThemeName(QString* fileName, QString* colorName, QString* sizeName)
{
    if (!platform::ThemesActive() || !QApplication::instance())
        return false;
    if (fileName)
        *fileName = QApplication::style() ? QApplication::style()->name() : QString();
    if (colorName)
        colorName->clear();
    if (sizeName)
        sizeName->clear();
    return true;
}

} // namespace themebinding::detail

namespace ExXPVS {

bool Bind()
{
    std::lock_guard<std::mutex> lock(g_lock);
    ++g_users;
    // The platform's styles are always there: binding cannot fail.
    g_bound = true;
    return true;
}

void Release()
{
    std::lock_guard<std::mutex> lock(g_lock);
    if (g_users > 0 && --g_users == 0)
        g_bound = false;
}

bool Bound() { return g_bound.load(); }

bool ThemesAvailable() { return Bound() && IsThemeActive(); }

bool IsThemeActive() { return Bound() && platform::ThemesActive(); }

HTHEME OpenThemeData(const QWidget* window, const QString& classList)
{
    if (!Bound())
        return HTHEME{};
    return themebinding::detail::Open(window, classList);
}

void CloseThemeData(HTHEME& theme) { theme = HTHEME{}; }

bool DrawThemeBackground(const HTHEME& theme, platform::TCanvas& canvas, int part, int state,
                         const platform::TRect& rect, const platform::TRect* clip)
{
    return Bound() && themebinding::detail::Draw(theme, canvas, part, state, rect, clip);
}

bool GetCurrentThemeName(QString* fileName, QString* colorName, QString* sizeName)
{
    return Bound() && themebinding::detail::CurrentThemeName(fileName, colorName, sizeName);
}

} // namespace ExXPVS
