#include "platform/Docking.h"

#include "platform/Forms.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

namespace platform {

// The protected steps of a site, for the drag and the destruction hook.
struct DockingAccess
{
    static void UnDockClient(DockingSite* site, QWidget* newTarget, QWidget* client)
    {
        site->UnDockClient(newTarget, client);
    }
    static void RemoveDockClient(DockingSite* site, QWidget* client) { site->RemoveDockClient(client); }
    static void Changed(DockingSite* site, QWidget* client, TDockChange change)
    {
        site->DockClientChanged(client, change);
    }
};

namespace {

constexpr int kDefaultThreshold = 5;
constexpr int kInfluenceMargin = 10;

struct ClientState
{
    DockingSite* host = nullptr;
    TDragKind kind = dkDrag;
    QSize undockedSize;
    TStartDockEvent onStartDock;
    TEndDragEvent onEndDock;
    QMetaObject::Connection destroyed;
};

// Created on first use and never freed: controls may be destroyed late.
std::unordered_map<const QWidget*, ClientState>* g_clients = nullptr;
std::vector<DockingSite*>* g_sites = nullptr;

ClientState* Find(const QWidget* w)
{
    if (!g_clients || !w)
        return nullptr;
    const auto it = g_clients->find(w);
    return it == g_clients->end() ? nullptr : &it->second;
}

ClientState& Ensure(QWidget* w)
{
    if (!g_clients)
        g_clients = new std::unordered_map<const QWidget*, ClientState>;
    auto [it, added] = g_clients->try_emplace(w);
    if (added) {
        // A widget outside the layer's controls has no destruction hook.
        it->second.destroyed = QObject::connect(w, &QObject::destroyed, [w] { g_clients->erase(w); });
    }
    return it->second;
}

std::vector<DockingSite*>& Sites()
{
    if (!g_sites)
        g_sites = new std::vector<DockingSite*>;
    return *g_sites;
}

// Text and visibility changes of docked clients while no docking step runs.
int g_busy = 0;
struct Busy
{
    Busy() { ++g_busy; }
    ~Busy() { --g_busy; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
};

class ClientWatcher : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        TDockChange change;
        switch (event->type()) {
        case QEvent::WindowTitleChange: change = TDockChange::TextChanged; break;
        case QEvent::ShowToParent:
        case QEvent::HideToParent: change = TDockChange::VisibleChanged; break;
        default: return false;
        }
        auto* w = static_cast<QWidget*>(watched);
        const ClientState* s = Find(w);
        if (g_busy == 0 && s && s->host) {
            DockingSite* host = s->host;
            RunGuarded([&] { DockingAccess::Changed(host, w, change); });
        }
        return false;
    }
};

QPointer<ClientWatcher> g_watcher;

void Watch(QWidget* w)
{
    if (!g_watcher)
        g_watcher = new ClientWatcher(qApp);
    w->installEventFilter(g_watcher);
}

void Unwatch(QWidget* w)
{
    if (g_watcher)
        w->removeEventFilter(g_watcher);
}

TRect ScreenRect(const QWidget* w)
{
    const QPoint g = w->mapToGlobal(QPoint(0, 0));
    return Bounds(g.x(), g.y(), w->width(), w->height());
}

QPoint ToSite(const DockingSite* site, const QPoint& screen) { return site->SiteControl()->mapFromGlobal(screen); }

// Takes the control out of its site into no parent; the site hears of it.
void Detach(QWidget* control)
{
    ClientState* s = Find(control);
    if (!s || !s->host)
        return;
    DockingSite* old = s->host;
    s->host = nullptr;
    Unwatch(control);
    QWidget* parent = control->parentWidget();
    control->setParent(nullptr);
    detail::Realign(parent);
    DockingAccess::RemoveDockClient(old, control);
}

void Float(QWidget* control, const TRect& rect)
{
    const Busy busy;
    const bool visible = detail::IsVisibleFlag(control);
    Detach(control);
    control->setParent(nullptr, Qt::Tool);
    control->setGeometry(rect.Left, rect.Top, std::max(0, rect.Width()), std::max(0, rect.Height()));
    if (visible)
        control->show();
}

// ---------------------------------------------------------------- the drag

struct DragRun
{
    TDragDockObject object;
    QPoint start;
    int threshold = kDefaultThreshold;
    bool started = false;
    bool accepted = false;
};

std::optional<DragRun> g_drag;

class DragFilter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

DragFilter* Filter()
{
    static QPointer<DragFilter> filter;
    if (!filter)
        filter = new DragFilter(qApp);
    return filter;
}

TRect FloatingRectAt(const QWidget* control, const QPoint& at)
{
    const ClientState* s = Find(control);
    const QSize size = s && s->undockedSize.isValid() ? s->undockedSize : control->size();
    return Bounds(at.x(), at.y(), size.width(), size.height());
}

// The site that would take the control at a screen point: among the sites
// whose influence holds the point and that can take it, the innermost.
DockingSite* SiteAt(QWidget* control, const QPoint& at)
{
    std::vector<DockingSite*> found;
    const std::vector<DockingSite*> sites = Sites();
    for (DockingSite* site : sites) {
        QWidget* w = site->SiteControl();
        if (!w->isVisible() || w == control || control->isAncestorOf(w))
            continue;
        TRect influence = ScreenRect(w);
        InflateRect(influence, kInfluenceMargin, kInfluenceMargin);
        bool canDock = true;
        site->GetSiteInfo(control, influence, Point(at.x(), at.y()), canDock);
        if (canDock && PtInRect(influence, Point(at.x(), at.y())))
            found.push_back(site);
    }
    for (DockingSite* site : found) {
        const bool holdsAnother = std::any_of(found.begin(), found.end(), [site](DockingSite* other) {
            return other != site && site->SiteControl()->isAncestorOf(other->SiteControl());
        });
        if (!holdsAnother)
            return site;
    }
    return nullptr;
}

void DragTo(const QPoint& at)
{
    DragRun& d = *g_drag;
    QWidget* control = d.object.Control;
    d.object.DragPos = at;
    DockingSite* site = SiteAt(control, at);
    if (!g_drag)
        return;
    DockingSite* old = g_drag->object.DragTarget;
    TDragState state = dsDragMove;
    if (site != old) {
        if (old) {
            bool ignored = false;
            const QPoint p = ToSite(old, at);
            old->DockOver(g_drag->object, p.x(), p.y(), dsDragLeave, ignored);
            if (!g_drag)
                return;
        }
        state = dsDragEnter;
    }
    g_drag->object.DragTarget = site;
    g_drag->object.DockRect = FloatingRectAt(control, at);
    g_drag->accepted = false;
    if (site) {
        bool accept = true;
        const QPoint p = ToSite(site, at);
        site->DockOver(g_drag->object, p.x(), p.y(), state, accept);
        if (g_drag)
            g_drag->accepted = accept;
    }
}

// Ends the running drag: dropped at a screen point, or cancelled.
void EndDrag(bool drop, const QPoint& at)
{
    if (!g_drag)
        return;
    DragRun run = std::move(*g_drag);
    g_drag.reset();
    qApp->removeEventFilter(Filter());
    QPointer<QWidget> control = run.object.Control;
    DockingSite* target = run.object.DragTarget;
    QObject* docked = nullptr;
    QPoint p = at;
    if (drop && control) {
        if (target && run.accepted) {
            DockingSite* host = HostDockSite(control);
            p = ToSite(target, at);
            if (!host || host->DoUnDock(target->SiteControl(), control)) {
                target->DockDrop(run.object, p.x(), p.y());
                docked = target->SiteControl();
            }
        } else if (!target) {
            // Dropped where no site takes it: the control floats there.
            DockingSite* host = HostDockSite(control);
            if (!host || host->DoUnDock(nullptr, control))
                Float(control, run.object.DockRect);
        }
    }
    if (control)
        if (const ClientState* s = Find(control); s && s->onEndDock) {
            const TEndDragEvent handler = s->onEndDock;
            handler(control, docked, p.x(), p.y());
        }
}

bool DragFilter::eventFilter(QObject*, QEvent* event)
{
    if (!g_drag)
        return false;
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint at = me->globalPosition().toPoint();
        if (!g_drag->started) {
            if (std::abs(at.x() - g_drag->start.x()) < g_drag->threshold &&
                std::abs(at.y() - g_drag->start.y()) < g_drag->threshold)
                return false;
            g_drag->started = true;
        }
        RunGuarded([&] { DragTo(at); });
        event->accept();
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() != Qt::LeftButton)
            return g_drag->started;
        const bool started = g_drag->started;
        const QPoint at = me->globalPosition().toPoint();
        // A release before the pointer went far is the control's click.
        RunGuarded([&] { EndDrag(started, at); });
        if (!started)
            return false;
        event->accept();
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (!g_drag->started)
            return false;
        if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
            RunGuarded([] { EndDrag(false, {}); });
        event->accept();
        return true;
    case QEvent::KeyPress:
        if (!g_drag->started || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
            return false;
        RunGuarded([] { EndDrag(false, {}); });
        event->accept();
        return true;
    default: return false;
    }
}

} // namespace

// ---------------------------------------------------------------- controls

TDragKind DragKind(const QWidget* control)
{
    const ClientState* s = Find(control);
    return s ? s->kind : dkDrag;
}

void SetDragKind(QWidget* control, TDragKind kind) { Ensure(control).kind = kind; }

DockingSite* HostDockSite(const QWidget* control)
{
    const ClientState* s = Find(control);
    return s ? s->host : nullptr;
}

bool ManualDock(QWidget* control, DockingSite* site)
{
    if (!control || !site)
        return false;
    if (DockingSite* host = HostDockSite(control); host && !host->DoUnDock(site->SiteControl(), control))
        return false;
    TDragDockObject source;
    source.Control = control;
    source.DockRect = ScreenRect(site->SiteControl());
    source.DragTarget = site;
    site->DockDrop(source, 0, 0);
    return true;
}

bool ManualFloat(QWidget* control, const TRect& screenRect)
{
    if (!control)
        return false;
    if (DockingSite* host = HostDockSite(control); host && !host->DoUnDock(nullptr, control))
        return false;
    Float(control, screenRect);
    return true;
}

TRect UndockedRect(const QWidget* control)
{
    return FloatingRectAt(control, control->mapToGlobal(QPoint(0, 0)));
}

void BeginDrag(QWidget* control, const QPoint& screenPos, bool immediate, int threshold)
{
    if (!control || DragKind(control) != dkDock)
        return;
    if (g_drag)
        EndDrag(false, {});
    DragRun run;
    run.object.Control = control;
    run.object.DragPos = screenPos;
    run.object.DockRect = FloatingRectAt(control, screenPos);
    run.start = screenPos;
    run.threshold = threshold < 0 ? kDefaultThreshold : threshold;
    run.started = immediate;
    g_drag = std::move(run);
    if (const ClientState* s = Find(control); s && s->onStartDock) {
        const TStartDockEvent handler = s->onStartDock;
        handler(control, g_drag->object);
        if (!g_drag)
            return;
    }
    qApp->installEventFilter(Filter());
    if (immediate)
        DragTo(screenPos);
}

const TDragDockObject* DockDragging() { return g_drag && g_drag->started ? &g_drag->object : nullptr; }

void SetOnStartDock(QWidget* control, TStartDockEvent handler) { Ensure(control).onStartDock = std::move(handler); }

void SetOnEndDock(QWidget* control, TEndDragEvent handler) { Ensure(control).onEndDock = std::move(handler); }

QString DockText(const QWidget* control)
{
    return dynamic_cast<const TForm*>(control) ? control->windowTitle() : QString();
}

// ---------------------------------------------------------------- sites

DockingSite::DockingSite(QWidget* self) : self_(self) {}

DockingSite::~DockingSite()
{
    SetDockSite(false);
    if (g_clients)
        for (auto& [w, s] : *g_clients)
            if (s.host == this) {
                s.host = nullptr;
                Unwatch(const_cast<QWidget*>(w));
            }
    if (g_drag && g_drag->object.DragTarget == this) {
        g_drag->object.DragTarget = nullptr;
        g_drag->accepted = false;
    }
}

void DockingSite::SetDockSite(bool v)
{
    dockSite_ = v;
    std::vector<DockingSite*>& sites = Sites();
    sites.erase(std::remove(sites.begin(), sites.end(), this), sites.end());
    if (v)
        sites.push_back(this);
}

void DockingSite::GetSiteInfo(QWidget* client, TRect& influenceRect, const TPoint& mousePos, bool& canDock)
{
    if (OnGetSiteInfo)
        OnGetSiteInfo(self_, client, influenceRect, mousePos, canDock);
}

void DockingSite::DockOver(TDragDockObject& source, int x, int y, TDragState state, bool& accept)
{
    if (OnDockOver)
        OnDockOver(self_, source, x, y, state, accept);
}

void DockingSite::DockDrop(TDragDockObject& source, int x, int y)
{
    DockClient(source, Point(x, y));
    if (OnDockDrop)
        OnDockDrop(self_, source, x, y);
}

bool DockingSite::DoUnDock(QWidget* newTarget, QWidget* client)
{
    bool allow = true;
    if (OnUnDock)
        OnUnDock(self_, client, newTarget, allow);
    if (allow)
        UnDockClient(newTarget, client);
    return allow;
}

void DockingSite::DockClient(TDragDockObject& source, const TPoint&) { Dock(source.Control); }

void DockingSite::Dock(QWidget* control)
{
    const Busy busy;
    const bool visible = detail::IsVisibleFlag(control);
    if (!HostDockSite(control))
        Ensure(control).undockedSize = control->size();
    Detach(control);
    Ensure(control).host = this;
    AddDockClient(control);
    control->setVisible(visible);
    Watch(control);
}

void DockingSite::AddDockClient(QWidget* client)
{
    client->setParent(self_);
    detail::Realign(self_);
}

namespace detail {

void ControlDestroying(QWidget* control)
{
    ClientState* s = Find(control);
    if (!s)
        return;
    if (g_drag && g_drag->object.Control == control) {
        g_drag.reset();
        qApp->removeEventFilter(Filter());
    }
    if (DockingSite* host = s->host) {
        const Busy busy;
        // A parent that is deleting its children has let go of it already;
        // it and its site hear no more than that the client is gone.
        QWidget* parent = control->parentWidget();
        const bool parentGoing = parent && !parent->children().contains(control);
        if (!parentGoing)
            DockingAccess::UnDockClient(host, nullptr, control);
        if ((s = Find(control)) != nullptr)
            s->host = nullptr;
        Unwatch(control);
        if (parent && !parentGoing) {
            control->setParent(nullptr);
            Realign(parent);
        }
        DockingAccess::RemoveDockClient(host, control);
    }
    if ((s = Find(control)) != nullptr) {
        QObject::disconnect(s->destroyed);
        g_clients->erase(control);
    }
}

} // namespace detail

} // namespace platform
