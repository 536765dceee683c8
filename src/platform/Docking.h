#pragma once

// Docking: a control can be dragged with the mouse onto a dock site and
// docks there, or floats in a window of its own when dropped where no site
// takes it. A site is a control that derives from DockingSite with DockSite
// set; what docking means for it (a page control gives each client a page
// of its own) is in the steps it overrides.
//
// A dock drag follows the real mouse: once started, every mouse move of the
// application drives it, wherever it is sent, and the button release or
// Escape ends it, as a drag that holds the mouse captured. A control of this
// layer destroyed while docked leaves its site first.

#include "platform/ControlBase.h"
#include "platform/Graphics.h"

#include <QPoint>

#include <functional>

namespace platform {

// A control dragged by the mouse moves as data (dkDrag) or docks (dkDock).
enum class TDragKind { dkDrag, dkDock };
using enum TDragKind;

class DockingSite;

// The control being docked and where it would go.
struct TDragDockObject
{
    QWidget* Control = nullptr;
    TRect DockRect;   // screen rectangle the control would take
    QPoint DragPos;   // screen point of the pointer
    DockingSite* DragTarget = nullptr;
};

using TStartDockEvent = std::function<void(QObject* sender, TDragDockObject& dragObject)>;
// target: the site's control, none when the drag docked nowhere; x, y in it.
using TEndDragEvent = std::function<void(QObject* sender, QObject* target, int x, int y)>;
using TDockOverEvent =
    std::function<void(QObject* sender, TDragDockObject& source, int x, int y, TDragState state, bool& accept)>;
using TDockDropEvent = std::function<void(QObject* sender, TDragDockObject& source, int x, int y)>;
using TUnDockEvent = std::function<void(QObject* sender, QWidget* client, QWidget* newTarget, bool& allow)>;
using TGetSiteInfoEvent = std::function<void(QObject* sender, QWidget* client, TRect& influenceRect,
                                             const TPoint& mousePos, bool& canDock)>;

// The docking side of any control.
TDragKind DragKind(const QWidget* control);
void SetDragKind(QWidget* control, TDragKind kind);
// The site the control is docked in; none while it is not docked.
DockingSite* HostDockSite(const QWidget* control);
// Docks the control into the site as a drop would (the site's own checks of a
// drag are not asked); false when its present site refuses to let it go.
bool ManualDock(QWidget* control, DockingSite* site);
// Undocks the control into a window of its own at a screen rectangle; false
// when its site refuses to let it go.
bool ManualFloat(QWidget* control, const TRect& screenRect);
// Where the control floats when undocked without a place: its present screen
// position with the size it had before it docked.
TRect UndockedRect(const QWidget* control);
// Starts a dock drag of a dkDock control (others are not dragged) from a
// screen point: at once, or once the pointer has moved `threshold` pixels
// (-1: the platform's 5). OnStartDock is raised here, OnEndDock at the end.
void BeginDrag(QWidget* control, const QPoint& screenPos, bool immediate, int threshold = -1);
// The running dock drag; none before the pointer has gone past the threshold.
const TDragDockObject* DockDragging();
void SetOnStartDock(QWidget* control, TStartDockEvent handler);
void SetOnEndDock(QWidget* control, TEndDragEvent handler);

enum class TDockChange { TextChanged, VisibleChanged };
// The text the docking layer sees of a control: a window's caption; other
// controls have none.
QString DockText(const QWidget* control);

// A control that takes docked controls. The steps of docking are virtual so
// that a site decides where its clients go.
class DockingSite
{
public:
    explicit DockingSite(QWidget* self);
    virtual ~DockingSite();
    DockingSite(const DockingSite&) = delete;
    DockingSite& operator=(const DockingSite&) = delete;

    QWidget* SiteControl() const { return self_; }
    // Only a site with DockSite set is a target of drags.
    bool DockSite() const { return dockSite_; }
    void SetDockSite(bool v);

    TDockOverEvent OnDockOver;
    TDockDropEvent OnDockDrop;
    TUnDockEvent OnUnDock;
    TGetSiteInfoEvent OnGetSiteInfo;

    // The steps of a drag over the site and of a drop (x, y in the site).
    // The influence rectangle is in screen coordinates.
    virtual void GetSiteInfo(QWidget* client, TRect& influenceRect, const TPoint& mousePos, bool& canDock);
    virtual void DockOver(TDragDockObject& source, int x, int y, TDragState state, bool& accept);
    void DockDrop(TDragDockObject& source, int x, int y);
    // Asked before a client leaves (for another site, or to float); true
    // lets it go, and then UnDockClient runs.
    bool DoUnDock(QWidget* newTarget, QWidget* client);

protected:
    // The drop itself; by default the client docks into the site.
    virtual void DockClient(TDragDockObject& source, const TPoint& mousePos);
    // Makes the control a client of this site (leaving its old site) and
    // places it through AddDockClient.
    void Dock(QWidget* control);
    // Where a client goes: by default the site control is its parent.
    virtual void AddDockClient(QWidget* client);
    // A client is about to leave.
    virtual void UnDockClient(QWidget* newTarget, QWidget* client) {}
    // A client has left, or is being destroyed.
    virtual void RemoveDockClient(QWidget* client) {}
    // A client's text or visibility changed.
    virtual void DockClientChanged(QWidget* client, TDockChange change) {}

private:
    friend struct DockingAccess;
    QWidget* self_;
    bool dockSite_ = false;
};

} // namespace platform
