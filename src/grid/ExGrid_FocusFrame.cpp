// The translucent frame around the edited cell. It is drawn by an overlay
// widget on the grid's top-level window, and follows the window's moves and
// resizes through one application-wide event filter.
#include "grid/ExGrid.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QRegion>

using namespace platform;

namespace {

// The grid whose frame is shown; cleared when the frame hides and when the
// grid goes, so the filter never reaches a grid that no longer exists.
TExStringGrid* g_focusFrameGrid = nullptr;

constexpr TColor FocusFrameColor = 16634775;
constexpr int FocusFrameOpacity = 230;

class FocusRing : public QWidget
{
public:
    explicit FocusRing(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("FocusFrame"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QColor c = ToQColor(FocusFrameColor);
        c.setAlpha(FocusFrameOpacity);
        p.fillRect(rect(), c);
    }
};

// Stands in for the thread's call-window hook: every move or resize of a
// window puts the registered grid's frame back on its cell.
class FocusFrameFollower : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type t = event->type();
        if ((t == QEvent::Move || t == QEvent::Resize) && g_focusFrameGrid && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow())
            g_focusFrameGrid->PlaceFocusWindow();
        return false;
    }
};

void EnsureFollower()
{
    static FocusFrameFollower* follower = nullptr;
    if (!follower && qApp) {
        follower = new FocusFrameFollower;
        follower->setParent(qApp);
        qApp->installEventFilter(follower);
    }
}

} // namespace

TExStringGrid* TExStringGrid::FocusFrameGrid() { return g_focusFrameGrid; }

void TExStringGrid::ShowFocusFrame(const TRect& r)
{
    if (IsRectEmpty(r) || !window())
        return;
    g_focusFrameGrid = this;
    EnsureFollower();
    if (!FFocusWindow || FFocusWindow->parentWidget() != window()) {
        delete FFocusWindow.data();
        FFocusWindow = new FocusRing(window());
    }
    FFocusCellRect = r;
    FFocusWindow->hide();
    const int w = r.Width() + 9, h = r.Height() + 9;
    // A ring 4 pixels wide on the left and top, 5 on the right and bottom.
    const QRegion ring = QRegion(0, 0, w, h).xored(QRegion(4, 4, r.Width(), r.Height()));
    FFocusWindow->resize(w, h);
    FFocusWindow->setMask(ring);
    PlaceFocusWindow();
    FFocusWindow->show();
    FFocusWindow->raise();
}

void TExStringGrid::PlaceFocusWindow()
{
    if (!FFocusWindow || !window())
        return;
    TRect r = TBaseGrid::CellRect(Col(), Row());
    if (IsRectEmpty(r))
        r = FFocusCellRect;
    if (IsRectEmpty(r))
        return;
    const QPoint at = ClientSurface()->mapTo(window(), QPoint(r.Left, r.Top));
    const int w = r.Width() + 9, h = r.Height() + 9;
    if (FFocusWindow->width() != w || FFocusWindow->height() != h) {
        FFocusWindow->resize(w, h);
        FFocusWindow->setMask(QRegion(0, 0, w, h).xored(QRegion(4, 4, r.Width(), r.Height())));
    }
    FFocusWindow->move(at.x() - 4, at.y() - 4);
}

void TExStringGrid::HideFocusFrame()
{
    if (g_focusFrameGrid == this)
        g_focusFrameGrid = nullptr;
    if (FFocusWindow)
        FFocusWindow->hide();
}
