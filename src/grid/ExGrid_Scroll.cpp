// The string grid's scroll bars, scroll hints, wheel and drag auto-scroll.
#include "grid/ExGrid.h"

#include "grid/ExGrid_Private.h"
#include "grid/ExGrid_Windows.h"
#include "platform/Messages.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QCursor>

#include <algorithm>
#include <cmath>
#include <cstdint>

using namespace platform;
using exgrid_detail::ScopeExit;

namespace {

// a * b / c rounded to the nearest (halves away from zero), in 64 bits.
int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const std::int64_t p = std::int64_t(a) * b;
    const std::int64_t q = p / c;
    const std::int64_t rest = p % c;
    if (2 * std::llabs(rest) >= std::llabs(c))
        return int(q + (((p < 0) != (c < 0)) ? -1 : 1));
    return int(q);
}

// Rounded to the nearest, halves to even.
int RoundHalfEven(double v) { return int(std::nearbyint(v)); }

} // namespace

// ---------------------------------------------------------------------------
// Proportional thumbs
// ---------------------------------------------------------------------------

namespace {

// The bar's information for a visible fraction E of the content on the
// 128-step scale (positions stay 0..127).
TScrollInfo ProportionalInfo(float e, int pos)
{
    e = std::clamp(e, 0.0f, 0.9999f);
    const float f = (e + 127.0f) / (1.0f - e);
    TScrollInfo info;
    info.Min = 0;
    info.Max = int(f);
    info.Page = std::max(1, info.Max - 126);
    info.Pos = std::clamp(pos, 0, 127);
    info.TrackPos = info.Pos;
    return info;
}

// What the thumb is figured from, each with its grid lines: the fixed rows
// (columns), all normal ones, and the normal ones before the first in view.
struct LineExtents
{
    int fixed, normal, before;
};

template <typename Size>
LineExtents MeasureLines(int lineWidth, int fixed, int count, int first, Size size)
{
    LineExtents e{lineWidth, lineWidth, lineWidth};
    for (int i = 0; i < fixed; ++i)
        e.fixed += lineWidth + size(i);
    for (int i = fixed; i < count; ++i) {
        e.normal += lineWidth + size(i);
        if (i < first)
            e.before += lineWidth + size(i);
    }
    return e;
}

} // namespace

void TExStringGrid::UpdateProportionalVScroll()
{
    if (Loading() || Designing() || !FScrollProportional || FScrollLock)
        return;
    const int fixed = TBaseGrid::FixedRows();
    if (VisibleRowCount() >= RowCount() - fixed)
        return;
    const auto [b, c, d] =
        MeasureLines(GridLineWidth(), fixed, RowCount(), TopRow(), [this](int i) { return RowHeights(i); });
    // Rows of no height and no lines leave nothing to measure by.
    if (c <= 0)
        return;
    const int h = ClientHeight();
    const float e = float(h - b) / float(c);
    if (e >= 0.9999f)
        return;
    const int pos = h < c ? int(double(d) / double(c - h) * 128.0) : 127;
    SetScrollInfo(sbVertical, ProportionalInfo(e, pos));
}

void TExStringGrid::UpdateProportionalHScroll()
{
    if (Loading() || Designing() || !FScrollProportional || FScrollLock)
        return;
    const int fixed = TBaseGrid::FixedCols();
    if (VisibleColCount() >= ColCount() - fixed)
        return;
    const auto [b, c, d] =
        MeasureLines(GridLineWidth(), fixed, ColCount(), LeftCol(), [this](int i) { return ColWidths(i); });
    const int w = ClientWidth();
    if (c <= 0 || b + c - w < 5)
        return;
    const float e = float(w - b) / float(c);
    if (e >= 0.9999f)
        return;
    const int pos = w < c ? int(double(d) / double(c - w) * 128.0) : GetScrollInfo(sbHorizontal).Pos;
    SetScrollInfo(sbHorizontal, ProportionalInfo(e, pos));
    int all = 0;
    for (int i = 0; i < ColCount(); ++i)
        all += ColWidths(i);
    const bool always = FScrollBarAlways == saHorz || FScrollBarAlways == saBoth;
    const bool horz = ScrollBars() == ssHorizontal || ScrollBars() == ssBoth;
    if (!always && !(all >= ClientWidth() && horz))
        ShowScrollBar(sbHorizontal, false);
}

// The flat and encyclopedia-style bars are drawn by the grid, as the thin
// bars are: in ScrollColor, ScrollWidth thick, each shown only while there
// is something to scroll along it.
void TExStringGrid::UpdateFlatScrollBars()
{
    if ((FScrollType != ssFlat && FScrollType != ssEncarta) || !vscrlctrl || !hscrlctrl)
        return;
    const TColor track = FScrollColor != clNone ? FScrollColor : clBtnFace;
    for (TScrollControl* bar : {vscrlctrl, hscrlctrl}) {
        bar->SetTrackColor(track);
        bar->SetColor(FScrollType == ssEncarta ? TColor(0xB99D7F) : TColor(0xA0A0A0));
    }
    vscrlctrl->setVisible(RowCount() > VisibleRowCount() + TBaseGrid::FixedRows());
    hscrlctrl->setVisible(ColCount() > VisibleColCount() + TBaseGrid::FixedCols());
    vscrlctrl->update();
    hscrlctrl->update();
}

void TExStringGrid::SetScrollProportional(bool v)
{
    if (v == FScrollProportional)
        return;
    FScrollProportional = v;
    if (v) {
        UpdateProportionalVScroll();
        UpdateProportionalHScroll();
        return;
    }
    // Back to the platform's thumbs.
    for (TScrollBarKind bar : {sbVertical, sbHorizontal}) {
        TScrollInfo info = GetScrollInfo(bar);
        if (info.Max > TCustomGrid::ScrollRange) {
            info.Max = TCustomGrid::ScrollRange;
            info.Page = 0;
            SetScrollInfo(bar, info);
        }
    }
}

// ---------------------------------------------------------------------------
// Scroll type and the thin bars
// ---------------------------------------------------------------------------

void TExStringGrid::CreateScrollControls()
{
    if (!vscrlctrl) {
        vscrlctrl = new TScrollControl(this);
        vscrlctrl->SetDirection(sdVertical);
    }
    if (!hscrlctrl) {
        hscrlctrl = new TScrollControl(this);
        hscrlctrl->SetDirection(sdHorizontal);
    }
    const QRect client = ClientSurface()->geometry();
    const bool thin = FScrollType == ssMetro;
    const int t = thin ? 6 : std::max(1, FScrollWidth);
    if (thin)
        for (TScrollControl* bar : {vscrlctrl, hscrlctrl})
            bar->SetTrackColor(clNone);
    vscrlctrl->setGeometry(client.right() + 1 - t, client.top(), t, client.height());
    hscrlctrl->setGeometry(client.left(), client.bottom() + 1 - t, client.width(), t);
    vscrlctrl->show();
    hscrlctrl->show();
    vscrlctrl->raise();
    hscrlctrl->raise();
}

void TExStringGrid::FreeScrollControls()
{
    delete vscrlctrl;
    delete hscrlctrl;
    vscrlctrl = nullptr;
    hscrlctrl = nullptr;
}

void TExStringGrid::ScrollTypeChanged()
{
    if (FScrollType != ssNormal) {
        CreateScrollControls();
        SetScrollBars(ssNone);
        UpdateFlatScrollBars();
        return;
    }
    if (vscrlctrl || hscrlctrl)
        FreeScrollControls();
    SetScrollBars(ssBoth);
}

// ---------------------------------------------------------------------------
// Scroll messages
// ---------------------------------------------------------------------------

void TExStringGrid::ScrollHintStep(bool vertical, int code, int pos)
{
    const bool on = FScrollHints == shBoth || FScrollHints == (vertical ? shVertical : shHorizontal);
    if (!on)
        return;
    if (code == SB_ENDSCROLL)
        HideScrollHint();
    if (code != SB_THUMBTRACK)
        return;
    const int fixed = vertical ? TBaseGrid::FixedRows() : TBaseGrid::FixedCols();
    const int n = vertical ? RowCount() - VisibleRowCount() - fixed : ColCount() - VisibleColCount() - fixed;
    // Everything in view: there is no distance to scale.
    const int reached = (n > 0 ? MulDiv(pos, n, TCustomGrid::ScrollRange) : 0) + fixed;
    QString text = (vertical ? QStringLiteral("Row : ") : QStringLiteral("Col : ")) + QString::number(reached);
    if (OnScrollHint)
        OnScrollHint(this, reached, text);
    const QPoint pointer = QCursor::pos();
    ShowScrollHint(text, Point(pointer.x() + 10, pointer.y()), 100);
}

namespace {

// The row or column a bar position stands for, as the scroll hint counts.
int ReachedByPosition(int pos, int count, int visible, int fixed)
{
    const int n = count - visible - fixed;
    return (n > 0 ? MulDiv(pos, n, TCustomGrid::ScrollRange) : 0) + fixed;
}

} // namespace

void TExStringGrid::HandleHScrollMessage(TMessage& m)
{
    const int code = LowWord(m.WParam);
    const int pos = HighWord(m.WParam);
    ScrollHintStep(false, code, pos);
    // Positions of flat bars would be rescaled here; the system bars need not.
    const int fixed = TBaseGrid::FixedCols();
    const int reached = ReachedByPosition(pos, ColCount(), VisibleColCount(), fixed);
    if (code == SB_THUMBTRACK && FScrollSynch && reached >= fixed && reached < ColCount())
        SetLeftCol(reached);
    if (fixed == 0 && reached >= Col())
        HideInplaceEdit();
    const int oldLeft = LeftCol();
    TBaseGrid::WndProc(m);
    if (FBackGround->Display() == bdFixed && code != SB_THUMBTRACK && LeftCol() != oldLeft)
        Invalidate();
    if (code == SB_ENDSCROLL) {
        if (isRightToLeft() && MergeCount() > 0)
            Invalidate();
        else if (ColCount() == 1)
            repaint();
    }
    if (Col() >= 0 && Col() < ColCount() && HasCheckBox(RealColIndex(Col()), Row()))
        HideEditor();
    UpdateFooter();
    // The platform has written its own bar information by now.
    UpdateProportionalHScroll();
}

void TExStringGrid::HandleVScrollMessage(TMessage& m)
{
    if (Designing()) {
        TBaseGrid::WndProc(m);
        return;
    }
    const int code = LowWord(m.WParam);
    const int pos = HighWord(m.WParam);
    ScrollHintStep(true, code, pos);
    const int fixed = TBaseGrid::FixedRows();
    if (code == SB_THUMBTRACK && FScrollSynch) {
        const int reached = ReachedByPosition(pos, RowCount(), VisibleRowCount(), fixed);
        if (reached >= fixed && reached < RowCount())
            SetTopRow(reached);
    }
    const int oldTop = TopRow();
    const bool footer = FSearchFooter->Visible();
    if (footer && (code == SB_ENDSCROLL || code == SB_LINEDOWN) && LastRowClearOfSearchFooter()) {
        m.Result = 1;
        return;
    }
    TBaseGrid::WndProc(m);
    if (footer) {
        const bool lastPage = TopRow() + VisibleRowCount() >= RowCount();
        if (code == SB_LINEUP && lastPage && TopRow() > fixed)
            SetTopRow(TopRow() - 1);
        else if ((code == SB_ENDSCROLL || code == SB_LINEDOWN) && lastPage)
            ScrollLastRowAboveSearchFooter();
    }
    if (FBackGround->Display() == bdFixed && code != SB_THUMBTRACK && TopRow() != oldTop)
        Invalidate();
    if (Col() >= 0 && Col() < ColCount() && Row() >= 0 && Row() < RowCount() &&
        HasCheckBox(RealColIndex(Col()), Row()))
        HideEditor();
    // The platform has written its own bar information by now.
    UpdateProportionalVScroll();
}

// ---------------------------------------------------------------------------
// The cell scroll bar
// ---------------------------------------------------------------------------

void TExStringGrid::PlaceCellScrollBar(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0 || aCol >= ColCount() || aRow >= RowCount()) {
        HideCellScrollBar();
        return;
    }
    const int rc = RealColIndex(aCol);
    if (!HasScrollBar(rc, aRow)) {
        HideCellScrollBar();
        return;
    }
    FScrollCol = aCol;
    FScrollRow = aRow;
    int pageSize = 0, range = 0;
    GetScrollProp(rc, aRow, pageSize, range);
    // Nothing to scroll here; a bar left over another cell would scroll this one.
    if (pageSize >= range) {
        if (FScrollBar)
            FScrollBar->hide();
        return;
    }
    if (!FScrollBar) {
        FScrollBar = new TScrollBar(ClientSurface(), sbVertical);
        FScrollBar->setFocusPolicy(Qt::NoFocus);
        QObject::connect(FScrollBar, &QAbstractSlider::actionTriggered, this,
                         [this](int action) { RunGuarded([&] { CellScrollBarAction(action); }); });
    }
    const TRect r = CellRect(aCol, aRow);
    const int l = GridLineWidth();
    const QRect place(r.Right - 17 - l, r.Top + l, 17, r.Height() - 2 * l);
    if (FScrollBar->isVisible() && FScrollBar->geometry() == place)
        return;
    // As the platform's bar control: positions end where the page shows the range's end.
    FScrollBar->SetParams(GetScrollPosition(rc, aRow), 0, std::max(0, range - std::max(0, pageSize) + 1));
    FScrollBar->SetPageSize(std::max(0, pageSize));
    FScrollBar->setGeometry(place);
    FScrollBar->show();
    FScrollBar->raise();
}

void TExStringGrid::HideCellScrollBar()
{
    if (FScrollBar)
        FScrollBar->hide();
    FScrollCol = -1;
    FScrollRow = -1;
}

// The control's scroll codes move it by fixed amounts: 10 per line, 100 per page.
void TExStringGrid::CellScrollBarAction(int action)
{
    if (!FScrollBar || FScrollCol < 0 || FScrollRow < 0)
        return;
    const int old = FScrollBar->value();
    int next = old;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: next = old - 10; break;
    case QAbstractSlider::SliderSingleStepAdd: next = old + 10; break;
    case QAbstractSlider::SliderPageStepSub: next = old - 100; break;
    case QAbstractSlider::SliderPageStepAdd: next = old + 100; break;
    case QAbstractSlider::SliderMove: next = FScrollBar->sliderPosition(); break;
    default: next = FScrollBar->sliderPosition(); break;
    }
    next = std::clamp(next, FScrollBar->minimum(), std::max(FScrollBar->minimum(), FScrollBar->maximum()));
    FScrollBar->setSliderPosition(next);
    if (next == old)
        return;
    const int rc = RealColIndex(FScrollCol);
    SetScrollPosition(rc, FScrollRow, next);
    TBaseGrid::RepaintCell(FScrollCol, FScrollRow);
    int pageSize = 0, range = 0;
    GetScrollProp(rc, FScrollRow, pageSize, range);
    DoScrollCell(FScrollCol, FScrollRow, next, 0, range);
}

void TExStringGrid::DoScrollCell(int aCol, int aRow, int scrollPosition, int scrollMin, int scrollMax)
{
    if (OnScrollCell)
        OnScrollCell(this, aCol, aRow, scrollPosition, scrollMin, scrollMax);
}

// ---------------------------------------------------------------------------
// The wheel
// ---------------------------------------------------------------------------

int TExStringGrid::WheelScrollLines()
{
    const int lines = QApplication::wheelScrollLines();
    // A negative setting asks for a page per step.
    if (lines < 0)
        return std::max(1, VisibleRowCount());
    return std::max(1, lines);
}

void TExStringGrid::HandleMouseWheelMessage(TMessage& m)
{
    const int delta = SignedHighWord(m.WParam);
    const TShiftState shift = static_cast<TShiftState>(LowWord(m.WParam) & 0x7F);
    const TPoint mousePos = Point(SignedLowWord(m.LParam), SignedHighWord(m.LParam));
    m.Result = 0;
    if (delta == 0)
        return;
    const int lines = WheelScrollLines();

    // Ctrl zooms.
    if ((shift & ssCtrl) && FIntelliZoom) {
        Zoom(delta < 0 ? lines : -lines);
        AutoSizeCells(true, 4, 4);
        return;
    }
    if (!FEnableWheel || (FFixedRowAlways && RowCount() == 1))
        return;

    const int fixedRows = FixedRows();
    const bool scroll = FMouseActions->WheelAction() == waScroll;
    int step = FMouseActions->WheelIncrement();
    if (step < 1)
        step = lines;
    const TGridRect oldSel = Selection();
    const int oldLeft = LeftCol();

    int target = Row();
    if (scroll) {
        const int maxTop = RowCount() - VisibleRowCount();
        if (delta < 0) {
            // Not past the top row that shows the last row.
            if (TopRow() < maxTop && TopRow() + step >= fixedRows)
                SetTopRow(std::min(TopRow() + step, maxTop));
        } else {
            SetTopRow(std::max(fixedRows, TopRow() - step));
        }
    } else {
        target = delta < 0 ? Row() + step : Row() - step;
    }

    // Within the normal rows; with none, target ends at RowCount and nothing moves.
    target = std::max(fixedRows, std::min(target, RowCount() - FFixedFooters - 1));
    const int lastCol = ColCount() - 1;
    if (Col() > lastCol && Row() > RowCount() - 1)
        MoveColRow(lastCol, RowCount() - 1, true, true);
    else if (Col() > lastCol)
        SetCol(lastCol);
    if (Col() < FixedCols() && FixedCols() < ColCount())
        SetCol(FixedCols());

    if (target >= 0 && target < RowCount()) {
        StartUpdate();
        ScopeExit reset{[this] { ResetUpdate(); }};
        if (FMouseActions->DisjunctRowSelect() && !scroll)
            ClearRowSelect();
        if (!scroll)
            SetRow(target);
        // A refused move or a distance of one never converges by halving:
        // move at least one row, and stop as soon as Row stays where it is.
        for (int guard = 0; Row() != target && guard <= RowCount(); ++guard) {
            const int before = Row();
            int move = RoundHalfEven((target - before) / 2.0);
            if (move == 0)
                move = target > before ? 1 : -1;
            const int next = std::clamp(before + move, 0, RowCount() - 1);
            SetRow(next);
            if (TopRow() > fixedRows)
                SetTopRow(TopRow() - 1);
            if (Row() == before)
                break;
        }
        if ((Options() & goRowSelect) && FNavigation->KeepHorizScroll())
            SetLeftCol(oldLeft);
    }

    // The wheel hook of the string grid is empty: handled stays true.
    if (FMouseActions->WheelIncrement() != 0 || FMouseActions->DisjunctRowSelect()) {
        m.Result = 1;
        bool handled = false;
        const bool disjunct = FMouseActions->DisjunctRowSelect();
        const TShiftState s = disjunct ? shift : 0;
        const TPoint p = disjunct ? mousePos : Point(0, 0);
        if (delta < 0) {
            if (OnMouseWheelDown)
                OnMouseWheelDown(this, s, p, handled);
        } else if (OnMouseWheelUp) {
            OnMouseWheelUp(this, s, p, handled);
        }
    }

    const TGridRect sel = Selection();
    if (!(sel == oldSel))
        DoSelectionChanged(sel.Left, sel.Top, sel.Right, sel.Bottom);
    if (FSearchFooter->Visible() && TopRow() == RowCount() - VisibleRowCount())
        ScrollLastRowAboveSearchFooter();
}

bool TExStringGrid::DoMouseWheelDown(TShiftState shift, const TPoint& mousePos)
{
    return WheelStep(false, shift, mousePos);
}

bool TExStringGrid::DoMouseWheelUp(TShiftState shift, const TPoint& mousePos)
{
    return WheelStep(true, shift, mousePos);
}

bool TExStringGrid::WheelStep(bool up, TShiftState shift, const TPoint& mousePos)
{
    auto baseStep = [&] {
        return up ? TBaseGrid::DoMouseWheelUp(shift, mousePos) : TBaseGrid::DoMouseWheelDown(shift, mousePos);
    };
    if (FMouseActions->WheelAction() == waScroll || !FEnableWheel) {
        bool handled = false;
        if (const TMouseWheelUpDownEvent& event = up ? OnMouseWheelUp : OnMouseWheelDown)
            event(this, shift, mousePos, handled);
        return handled;
    }
    const bool direct = FMouseActions->DirectEdit();
    FMouseActions->SetDirectEdit(false);
    ScopeExit restore{[&] { FMouseActions->SetDirectEdit(direct); }};
    if ((Options() & goRowSelect) && FNavigation->KeepHorizScroll()) {
        BeginUpdate();
        ScopeExit unlock{[this] { EndUpdate(); }};
        const int left = LeftCol();
        const bool result = baseStep();
        SetLeftCol(left);
        return result;
    }
    if (!up)
        return baseStep();
    // Up: nothing moves from a current cell outside the grid, and an open
    // editor gets the focus back.
    if (Row() >= RowCount() || Col() >= ColCount())
        return true;
    const bool editing = InplaceEditor() && InplaceEditor()->isVisible();
    const bool result = baseStep();
    if (editing && isVisible())
        setFocus(Qt::OtherFocusReason);
    return result;
}

// ---------------------------------------------------------------------------
// Drag auto-scroll
// ---------------------------------------------------------------------------

void TExStringGrid::DragOver(QObject* source, int x, int y, TDragState state, bool& accept)
{
    if (FDragScrollOptions->Active()) {
        if (state == dsDragLeave) {
            StopDragScroll();
        } else {
            TDragScrollMargins& margins = FDragScrollOptions->Margins();
            TDragScrollDirection dirs = 0;
            if (y < margins.TopMargin())
                dirs |= dsdUp;
            else if (y > ClientHeight() - margins.BottomMargin())
                dirs |= dsdDown;
            if (x < margins.LeftMargin())
                dirs |= dsdLeft;
            else if (x > ClientWidth() - margins.RightMargin())
                dirs |= dsdRight;
            FDragScrollDirection = dirs;
            if (dirs) {
                if (!FDragTmr) {
                    FDragTmr = new TTimer(this);
                    FDragTmr->OnTimer = [this](QObject*) { DragScrollTick(); };
                }
                // Every drag-over inside a margin starts the first wait again.
                FDragTmr->SetInterval(FDragScrollOptions->Delays().InitialDelay());
                FDragTmr->SetEnabled(true);
            } else {
                StopDragScroll();
            }
        }
    } else {
        StopDragScroll();
    }
    TBaseGrid::DragOver(source, x, y, state, accept);
}

// The drop ends the drag, and with it the scrolling near the edges.
void TExStringGrid::DragDrop(QObject* source, int x, int y)
{
    StopDragScroll();
    TBaseGrid::DragDrop(source, x, y);
}

void TExStringGrid::StopDragScroll()
{
    if (FDragTmr)
        FDragTmr->SetEnabled(false);
}

void TExStringGrid::DragScrollTick()
{
    if (!FDragScrollOptions->Active()) {
        StopDragScroll();
        return;
    }
    FDragTmr->SetInterval(FDragScrollOptions->Delays().RepeatDelay());
    bool canScroll = true;
    if (OnDragScroll)
        OnDragScroll(this, TopRow(), LeftCol(), FDragScrollDirection, canScroll);
    if (!canScroll)
        return;
    const int dirs = FDragScrollDirection;
    if ((dirs & dsdUp) && TopRow() > TBaseGrid::FixedRows())
        SetTopRow(TopRow() - 1);
    if ((dirs & dsdDown) && TopRow() + VisibleRowCount() < RowCount())
        SetTopRow(TopRow() + 1);
    if ((dirs & dsdLeft) && LeftCol() > TBaseGrid::FixedCols())
        SetLeftCol(LeftCol() - 1);
    if ((dirs & dsdRight) && LeftCol() + VisibleColCount() < ColCount())
        SetLeftCol(LeftCol() + 1);
}
