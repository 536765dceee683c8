// The translucent frame around the edited cell, and the colours of an active
// application style. The frame is an overlay widget on the grid's top-level
// window: a soft (blurred) rounded ring with per-pixel opacity, clipped to a
// ring 4 pixels wide on the left and top and 5 on the right and bottom. It
// follows the window's moves and resizes through one application-wide event
// filter.
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

// The frame's picture for a size: the blurred rounded-rectangle mask gives
// each pixel its opacity, the frame colour is premultiplied with it.
TGridAlphaMask MakeFocusFrameImage(int w, int h)
{
    QImage mask;
    MakeRoundRectMask(mask, w, h, 4, 5, 3);
    QImage colour(w, h, QImage::Format_RGB888);
    colour.fill(ToQColor(FocusFrameColor));
    TGridAlphaMask alpha;
    alpha.MergeMask(mask, colour, FocusFrameColor);
    alpha.SetOpacity(FocusFrameOpacity);
    return alpha;
}

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

    // Builds the picture for the ring's size (when it changed) and clips the
    // widget to the ring.
    void Build(int cellWidth, int cellHeight)
    {
        const int w = cellWidth + 9, h = cellHeight + 9;
        if (FAlpha.Image().size() != QSize(w, h))
            FAlpha = MakeFocusFrameImage(w, h);
        resize(w, h);
        setMask(QRegion(0, 0, w, h).xored(QRegion(4, 4, cellWidth, cellHeight)));
    }
    const TGridAlphaMask& Picture() const { return FAlpha; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setOpacity(FAlpha.Opacity() / 255.0);
        p.drawImage(0, 0, FAlpha.Image());
    }

private:
    TGridAlphaMask FAlpha;
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
    static_cast<FocusRing*>(FFocusWindow.data())->Build(r.Width(), r.Height());
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
    if (FFocusWindow->width() != r.Width() + 9 || FFocusWindow->height() != r.Height() + 9)
        static_cast<FocusRing*>(FFocusWindow.data())->Build(r.Width(), r.Height());
    FFocusWindow->move(at.x() - 4, at.y() - 4);
}

void TExStringGrid::HideFocusFrame()
{
    if (g_focusFrameGrid == this)
        g_focusFrameGrid = nullptr;
    if (FFocusWindow)
        FFocusWindow->hide();
}

// ---------------------------------------------------------------------------
// Colours of an active application style
// ---------------------------------------------------------------------------

TExStringGrid::TActiveStyle& TExStringGrid::ActiveStyle()
{
    static TActiveStyle style;
    return style;
}

void TExStringGrid::ApplyActiveStyleColors()
{
    FUsePlatformStyles = false;
    const TActiveStyle& style = ActiveStyle();
    if (!style.Enabled || style.Name.compare(QStringLiteral("Windows"), Qt::CaseInsensitive) == 0)
        return;
    FUsePlatformStyles = true;
    SetColor(style.CellFill);
    SetGridLineColor(style.CellBorder);
    SetGridFixedLineColor(style.FixedCellBorder);
    SetOptions(Options() & ~(goFixedVertLine | goFixedHorzLine));
    if (style.CellText != clNone) {
        TFont f;
        f.Assign(Font());
        f.SetColor(style.CellText);
        SetFont(f);
    }
    if (style.SelectedCellText != clNone)
        SetSelectionTextColor(style.SelectedCellText);
    if (style.FixedCellText != clNone) {
        TFont f;
        f.Assign(FixedFont());
        f.SetColor(style.FixedCellText);
        SetFixedFont(f);
    }
}
