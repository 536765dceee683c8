#include "widgets/ExStyleIF.h"

#include "platform/Forms.h"
#include "platform/Messages.h"
#include "widgets/ExXPVS.h"

#include <QWidget>

#include <stdexcept>
#include <string>

namespace {

const QString kOffice2010 = QStringLiteral("Software\\Microsoft\\Office\\14.0\\Common");
const QString kOffice2007 = QStringLiteral("Software\\Microsoft\\Office\\12.0\\Common");
const QString kOffice2003 = QStringLiteral("Software\\Microsoft\\Office\\11.0\\Common");

// No registry here; the desktop's colour scheme comes from the style binding.
class DesktopSource : public TOfficeThemeSource
{
public:
    int ReadInteger(const QString&, const QString&) const override { return -1; }
    bool KeyExists(const QString&) const override { return false; }
    bool DesktopColorName(QString& colorName) const override
    {
        if (!ExXPVS::ThemesAvailable())
            return false;
        QString file, size;
        return ExXPVS::GetCurrentThemeName(&file, &colorName, &size);
    }
};

std::unique_ptr<TOfficeThemeSource>& Source()
{
    static std::unique_ptr<TOfficeThemeSource> source = std::make_unique<DesktopSource>();
    return source;
}

// 0 none or unknown, 1 blue, 2 olive, 3 silver.
int DesktopColorScheme()
{
    QString colorName;
    if (!Source()->DesktopColorName(colorName))
        return 0;
    if (colorName.contains(QLatin1String("NormalColor")))
        return 1;
    if (colorName.contains(QLatin1String("HomeStead")))
        return 2;
    if (colorName.contains(QLatin1String("Metallic")))
        return 3;
    return 0;
}

QPointer<TThemeNotifier>& Instance()
{
    static QPointer<TThemeNotifier> notifier;
    return notifier;
}

} // namespace

class TThemeNotifierWindow : public QWidget, public platform::MessageReceiver
{
public:
    explicit TThemeNotifierWindow(QWidget* parent) : QWidget(parent) { hide(); }
    void MessageReceived(platform::TMessage& message) override
    {
        if (message.Msg == WM_OFFICETHEMECHANGE && OnOfficeThemeChange)
            OnOfficeThemeChange(this);
    }
    std::function<void(QObject* sender)> OnOfficeThemeChange;
};

// ---------------------------------------------------------------- THandleList

void THandleList::Check(int index, int limit) const
{
    if (index < 0 || index >= limit)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

void THandleList::Insert(int index, QObject* window)
{
    Check(index, Count() + 1);
    items_.insert(items_.begin() + index, QPointer<QObject>(window));
}

void THandleList::Delete(int index)
{
    Check(index, Count());
    items_.erase(items_.begin() + index);
}

void THandleList::DeleteValue(QObject* window)
{
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if (it->data() == window) {
            items_.erase(it);
            return;
        }
    }
}

bool THandleList::HasValue(QObject* window) const
{
    for (const auto& item : items_)
        if (item.data() == window)
            return true;
    return false;
}

QObject* THandleList::Items(int index) const
{
    Check(index, Count());
    return items_[static_cast<size_t>(index)].data();
}

void THandleList::SetItems(int index, QObject* window)
{
    Check(index, Count());
    items_[static_cast<size_t>(index)] = window;
}

// ---------------------------------------------------------------- probes

bool IsVistaOrLater() { return false; }

QString DefaultFontName() { return IsVistaOrLater() ? QStringLiteral("Segoe UI") : QStringLiteral("Tahoma"); }

void SetOfficeThemeSource(std::unique_ptr<TOfficeThemeSource> source)
{
    Source() = source ? std::move(source) : std::make_unique<DesktopSource>();
}

TOfficeTheme CurrentOfficeTheme()
{
    const TOfficeThemeSource& source = *Source();
    const QString value = QStringLiteral("Theme");
    int theme = source.ReadInteger(kOffice2010, value);
    if (theme != -1) {
        switch (theme) {
        case 1: return ot2010Blue;
        case 2: return ot2010Silver;
        case 3: return ot2010Black;
        default: return ot2003Blue;
        }
    }
    theme = source.ReadInteger(kOffice2007, value);
    if (theme != -1) {
        switch (theme) {
        case 1: return ot2007Blue;
        case 2: return ot2007Silver;
        case 3: return ot2007Black;
        default: return ot2003Blue;
        }
    }
    switch (DesktopColorScheme()) {
    case 1: return ot2003Blue;
    case 2: return ot2003Olive;
    case 3: return ot2003Silver;
    default: return ot2003Classic;
    }
}

int InstalledOfficeGeneration()
{
    const TOfficeThemeSource& source = *Source();
    const QString general = QStringLiteral("\\General");
    if (source.KeyExists(kOffice2010 + general))
        return 2;
    if (source.KeyExists(kOffice2007 + general))
        return 1;
    source.KeyExists(kOffice2003 + general); // looked at, without effect
    return 0;
}

// ---------------------------------------------------------------- TRegMonitorThread

unsigned TRegMonitorThread::Filter()
{
    if (FFilter == 0)
        FFilter = 15;
    return FFilter;
}

void TRegMonitorThread::RegisterWindow(QObject* window)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (!FWinList.HasValue(window))
        FWinList.Add(window);
}

void TRegMonitorThread::UnRegisterWindow(QObject* window)
{
    std::lock_guard<std::mutex> lock(lock_);
    FWinList.DeleteValue(window);
}

int TRegMonitorThread::WindowCount() const
{
    std::lock_guard<std::mutex> lock(lock_);
    return FWinList.Count();
}

bool TRegMonitorThread::HasWindow(QObject* window) const
{
    std::lock_guard<std::mutex> lock(lock_);
    return FWinList.HasValue(window);
}

void TRegMonitorThread::Notify()
{
    std::vector<QPointer<QObject>> targets;
    {
        std::lock_guard<std::mutex> lock(lock_);
        if (terminated_)
            return;
        for (int i = 0; i < FWinList.Count(); ++i)
            targets.emplace_back(FWinList.Items(i));
    }
    // Delivered on the user-interface thread, the list read under the lock
    // and the messages sent outside it (a receiver may unregister itself).
    const QString key = FKey;
    const std::intptr_t root = FRootKey;
    QPointer<QObject> wnd = FWnd;
    platform::RunOnMainThread([&] {
        const auto lParam = reinterpret_cast<std::intptr_t>(&key);
        if (wnd)
            platform::SendMessage(wnd, WM_OFFICETHEMECHANGE, root, lParam);
        for (const auto& target : targets)
            if (target)
                platform::SendMessage(target, WM_OFFICETHEMECHANGE, root, lParam);
    });
}

void TRegMonitorThread::Stop()
{
    std::lock_guard<std::mutex> lock(lock_);
    terminated_ = true;
}

bool TRegMonitorThread::Terminated() const
{
    std::lock_guard<std::mutex> lock(lock_);
    return terminated_;
}

// ---------------------------------------------------------------- TThemeNotifier

TThemeNotifier::TThemeNotifier(QObject* owner) : QObject(owner)
{
    const int generation = InstalledOfficeGeneration();
    if (generation != 1 && generation != 2)
        return;
    auto* parentWidget = qobject_cast<QWidget*>(owner);
    if (!parentWidget)
        return; // the hidden window needs a window to live in
    FNotifier = new TThemeNotifierWindow(parentWidget); // owned by its parent
    FNotifier->OnOfficeThemeChange = [this](QObject*) {
        if (OnOfficeThemeChange)
            OnOfficeThemeChange(this);
    };
    monitor_ = std::make_unique<TRegMonitorThread>();
    monitor_->SetWnd(FNotifier);
    monitor_->SetFilter(4);
    monitor_->SetKey(generation == 2 ? kOffice2010 : kOffice2007);
    monitor_->SetRootKey(HKEY_CURRENT_USER);
    monitor_->SetWatchSub(true);
    // Nothing on this desktop reports changes of those keys, so no thread
    // waits for them; the watcher only keeps the windows to tell.
}

TThemeNotifier::~TThemeNotifier()
{
    if (monitor_)
        monitor_->Stop();
    if (Instance() == this)
        Instance() = nullptr;
    delete FNotifier; // a child of the owner, which may outlive the notifier
}

TThemeNotifierWindow* TThemeNotifier::NotifierWindow() const { return FNotifier.data(); }

void TThemeNotifier::RegisterWindow(QObject* window)
{
    if (monitor_)
        monitor_->RegisterWindow(window);
}

void TThemeNotifier::UnRegisterWindow(QObject* window)
{
    if (monitor_)
        monitor_->UnRegisterWindow(window);
}

TThemeNotifier* ThemeNotifier(QObject* candidateOwner)
{
    if (!Instance()) {
        QObject* owner = candidateOwner;
        if (QWidget* main = platform::Application().MainForm())
            owner = main;
        Instance() = new TThemeNotifier(owner);
    }
    return Instance();
}
