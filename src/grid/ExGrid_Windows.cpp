// The grid's helper windows: the HTML hint window, the thin scroll bars and
// the watcher of a shown cell hint.
#include "grid/ExGrid_Windows.h"

#include "grid/ExGrid.h"
#include "platform/HintWindow.h"
#include "platform/Messages.h"
#include "widgets/EsgHTMLE.h"
#include "widgets/ExUtil.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTimerEvent>

#include <algorithm>
#include <cmath>

using namespace platform;

// ---------------------------------------------------------------------------
// THTMLHintWindow
// ---------------------------------------------------------------------------

namespace {

constexpr unsigned WideTextFormat = DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX;

bool IsWide(const QString& hint) { return CellTextKind(hint, false) == 5; }

// Measuring and painting an HTML hint lay it out alike.
THTMLDrawOptions HintDrawOptions(const THTMLHintWindow& window)
{
    THTMLDrawOptions options;
    options.Window = &window;
    options.Images = window.Images();
    options.PictureContainer = window.PictureContainer();
    options.AnchorHoverColor = clGray;
    options.AnchorColor = clBlue;
    return options;
}

} // namespace

QString& THTMLHintWindow::HintFontName()
{
    static QString name;
    return name;
}

THTMLHintWindow::THTMLHintWindow(QWidget* parent) : THintWindow(parent)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    AddDropShadow(this);
}

TSize THTMLHintWindow::Measure(const QString& hint, int maxWidth, bool& wide)
{
    TCanvas canvas;
    canvas.SetFont(Font());
    wide = IsWide(hint);
    if (wide) {
        if (!HintFontName().isEmpty())
            canvas.Font().SetName(HintFontName());
        FWideCaption = DecodeWideText(hint);
        TRect r = Rect(0, 0, std::max(0, maxWidth), 0);
        canvas.DrawText(FWideCaption, r, WideTextFormat);
        return TSize{r.Width(), r.Height()};
    }
    THTMLDrawOptions options = HintDrawOptions(*this);
    options.MeasureOnly = true;
    THTMLDrawResult result;
    DrawHTMLText(canvas, hint, Rect(0, 0, std::max(0, maxWidth), 4096), options, result);
    return TSize{result.Width, result.Height};
}

TRect THTMLHintWindow::CalcHintRect(int maxWidth, const QString& hint)
{
    bool wide = false;
    const TSize size = Measure(hint, maxWidth, wide);
    return Rect(0, 0, size.cx, size.cy);
}

void THTMLHintWindow::ActivateHint(const TRect& rect, const QString& hint)
{
    FCaption = hint;
    bool wide = false;
    const TSize size = Measure(hint, 1008, wide);
    const int margin = wide ? 8 : 16;
    FTextWidth = size.cx;
    FTextHeight = size.cy;
    QRect bounds(rect.Left, rect.Top, FTextWidth + margin, FTextHeight + 4);
    // It stays on the monitor nearest its top-left corner.
    QScreen* screen = QGuiApplication::screenAt(bounds.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        if (bounds.right() + 1 > area.right() + 1)
            bounds.moveLeft(area.right() + 1 - 2 - bounds.width());
        if (bounds.bottom() + 1 > area.bottom() + 1)
            bounds.moveTop(area.bottom() + 1 - 2 - bounds.height());
    }
    setGeometry(bounds);
    // A tool-tip window stays on top of its own.
    show();
    update();
}

void THTMLHintWindow::ActivateHintData(const TRect& rect, const QString& hint, QObject* data)
{
    if (auto* grid = dynamic_cast<TExStringGrid*>(data)) {
        FImages = grid->GridImages();
        FPictureContainer = grid->PictureContainer();
    }
    ActivateHint(rect, hint);
}

void THTMLHintWindow::Paint()
{
    TCanvas& c = Canvas();
    const TRect client = Rect(0, 0, width(), height());
    c.Brush().SetColor(Color());
    c.Brush().SetStyle(bsSolid);
    c.FillRect(client);
    c.Pen().SetColor(cl3DLight);
    c.MoveTo(client.Left, client.Bottom - 2);
    c.LineTo(client.Left, client.Top);
    c.LineTo(client.Right - 1, client.Top);
    c.Pen().SetColor(cl3DDkShadow);
    c.MoveTo(client.Left, client.Bottom - 1);
    c.LineTo(client.Right - 1, client.Bottom - 1);
    c.LineTo(client.Right - 1, client.Top - 1);

    TRect box = client;
    box.Left += 4;
    box.Right -= 4;
    box.Top = client.Top + (client.Height() - FTextHeight) / 2;
    box.Bottom = box.Top + FTextHeight + 8;
    c.Brush().SetStyle(bsClear);
    if (IsWide(FCaption)) {
        if (!HintFontName().isEmpty())
            c.Font().SetName(HintFontName());
        c.DrawText(FWideCaption, box, DT_SINGLELINE | DT_NOPREFIX);
        return;
    }
    THTMLDrawResult result;
    DrawHTMLText(c, FCaption, box, HintDrawOptions(*this), result);
}

// ---------------------------------------------------------------------------
// TScrollControl
// ---------------------------------------------------------------------------

namespace {

// The grid's rows (vertical) or columns along a thin scroll bar.
struct GridAxis
{
    int fixed, count, visible, first;
};

GridAxis AxisOf(TExStringGrid& grid, bool vertical)
{
    if (vertical)
        return {grid.FixedRows(), grid.RowCount(), grid.VisibleRowCount(), grid.TopRow()};
    return {grid.FixedCols(), grid.ColCount(), grid.VisibleColCount(), grid.LeftCol()};
}

void ScrollTo(TExStringGrid& grid, bool vertical, int first)
{
    if (vertical)
        grid.SetTopRow(first);
    else
        grid.SetLeftCol(first);
}

} // namespace

TScrollControl::TScrollControl(QWidget* parent) : TCustomControl(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    SetClickEvents(false);
}

TExStringGrid* TScrollControl::Grid() const { return dynamic_cast<TExStringGrid*>(parentWidget()); }

void TScrollControl::SetColor(TColor v)
{
    if (v == FColor)
        return;
    FColor = v;
    update();
}

bool TScrollControl::ThumbRange(int& trackStart, int& trackLength, int& thumbStart, int& thumbLength)
{
    TExStringGrid* grid = Grid();
    if (!grid)
        return false;
    const bool vertical = FDirection == sdVertical;
    const auto [fixed, count, visible, first] = AxisOf(*grid, vertical);
    // Nothing to scroll: no thumb (this also keeps the ratios below defined).
    if (count <= fixed || visible >= count - fixed)
        return false;
    auto size = [&](int i) { return vertical ? grid->RowHeights(i) : grid->ColWidths(i); };
    const int length = vertical ? height() : width();
    trackStart = 0;
    for (int i = 0; i < fixed; ++i)
        trackStart += size(i);
    const int tail = vertical ? grid->FixedFooters() : grid->FixedRightCols();
    int tailSize = 0;
    for (int i = std::max(fixed, count - tail); i < count; ++i)
        tailSize += size(i);
    trackLength = std::max(0, length - trackStart - tailSize);
    const double p = double(first - fixed) / double(count - fixed);
    const double s = double(visible) / double(count);
    thumbStart = trackStart + int(std::lround(trackLength * p));
    thumbLength = std::max(20, int(std::lround(trackLength * s)));
    if (thumbStart + thumbLength > length)
        thumbStart = length - thumbLength;
    return true;
}

void TScrollControl::SetTrackColor(TColor v)
{
    if (v == FTrackColor)
        return;
    FTrackColor = v;
    update();
}

void TScrollControl::Paint()
{
    TCanvas& c = Canvas();
    c.Brush().SetStyle(bsSolid);
    const bool flat = FTrackColor != clNone;
    if (flat) {
        c.Brush().SetColor(FTrackColor);
        c.FillRect(Rect(0, 0, width(), height()));
    }
    int trackStart, trackLength, thumbStart, thumbLength;
    if (!ThumbRange(trackStart, trackLength, thumbStart, thumbLength))
        return;
    c.Pen().SetColor(FColor);
    c.Brush().SetColor(FColor);
    // Across the bar: the thin bars' own width, or the flat track less 2 px each side.
    const int from = flat ? 2 : 0;
    const int to = flat ? (FDirection == sdVertical ? width() : height()) - 2 : FScrollWidth;
    if (FDirection == sdVertical)
        c.Rectangle(from, thumbStart, to, thumbStart + thumbLength);
    else
        c.Rectangle(thumbStart, from, thumbStart + thumbLength, to);
}

void TScrollControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    TExStringGrid* grid = Grid();
    int trackStart, trackLength, thumbStart, thumbLength;
    if (!grid || !ThumbRange(trackStart, trackLength, thumbStart, thumbLength))
        return;
    const bool vertical = FDirection == sdVertical;
    const int p = vertical ? y : x;
    const auto [fixed, count, visible, first] = AxisOf(*grid, vertical);
    int next = first;
    if (p < thumbStart) {
        next = std::max(fixed, first - visible);
    } else if (p >= thumbStart + thumbLength) {
        next = std::min(first + visible, count - visible);
    } else {
        FDownOnScroller = true;
        FDownPos = p;
        FDownRow = first;
        return;
    }
    ScrollTo(*grid, vertical, next);
    update();
}

void TScrollControl::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    TExStringGrid* grid = Grid();
    if (!FDownOnScroller || !grid)
        return;
    const bool vertical = FDirection == sdVertical;
    const int p = vertical ? y : x;
    const auto [fixed, count, visible, first] = AxisOf(*grid, vertical);
    const int span = (vertical ? height() : width()) - (vertical ? grid->RowHeights(0) : grid->ColWidths(0));
    // A control no larger than the first row has no track to drag along.
    if (span <= 0)
        return;
    const int moved = int(std::lround(double(p - FDownPos) / double(span) * count));
    const int next = std::max(fixed, std::min(moved + FDownRow, count - visible));
    ScrollTo(*grid, vertical, next);
    update();
}

void TScrollControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    FDownOnScroller = false;
}

// ---------------------------------------------------------------------------
// TCellHintTracker
// ---------------------------------------------------------------------------

TCellHintTracker::TCellHintTracker(QObject* owner, std::function<void(QEvent*)> report)
    : QObject(owner), FReport(std::move(report))
{
}

void TCellHintTracker::Start(QWidget* surface, int hideAfterMs)
{
    Stop();
    FSurface = surface;
    if (surface)
        surface->installEventFilter(this);
    FTimer = startTimer(hideAfterMs);
}

void TCellHintTracker::Stop()
{
    if (FSurface)
        FSurface->removeEventFilter(this);
    FSurface = nullptr;
    if (FTimer)
        killTimer(FTimer);
    FTimer = 0;
}

bool TCellHintTracker::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::Leave:
    case QEvent::Hide:
        RunGuarded([&] { FReport(event); });
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void TCellHintTracker::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != FTimer)
        return;
    QEvent timeout(QEvent::Timer);
    RunGuarded([&] { FReport(&timeout); });
}
