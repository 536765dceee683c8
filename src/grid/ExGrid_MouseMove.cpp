// The string grid's mouse moves: hover, sizing zones, moving columns and
// rows, drag selection; leaving the grid.
#include "grid/ExGrid.h"

#include "platform/Messages.h"
#include "widgets/EsgHTMLE.h"
#include "widgets/ExUtil.h"

#include <algorithm>
#include <cstdlib>

using namespace platform;

namespace {

// The floating image of the header cell being moved: a raised panel with the
// header's text, laid over the form like the arrows.
class HeaderDragButton : public TPanel
{
public:
    HeaderDragButton(QWidget* form, TExStringGrid* grid) : TPanel(form), FGrid(grid)
    {
        setObjectName(QStringLiteral("HeaderDragButton"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        SetColor(clBtnFace);
        hide();
    }

protected:
    // The look of the grid's top-left cell, then the caption: one centred
    // line, or the grid's HTML when it holds mark-up.
    void Paint() override
    {
        if (!FGrid || !Caption().contains(QStringLiteral("</"))) {
            TPanel::Paint();
            return;
        }
        TCanvas& c = Canvas();
        const TRect r = ClientRect();
        c.Brush().SetColor(Color());
        c.FillRect(r);
        if (FGrid->RowCount() > 0 && FGrid->ColCount() > 0)
            FGrid->PaintCellExt(c, 0, 0, r, gdFixed);
        c.Brush().SetStyle(bsClear);
        THTMLDrawOptions o;
        o.Window = FGrid;
        o.Images = FGrid->GridImages();
        o.WordWrap = false;
        THTMLDrawResult res;
        DrawHTMLText(c, Caption(), Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom), o, res);
        c.Brush().SetStyle(bsSolid);
    }

private:
    QPointer<TExStringGrid> FGrid;
};

bool ValidCell(const TPoint& p) { return p.X >= 0 && p.Y >= 0; }

// The fixed column (row) whose far border lies within 2 pixels of pos (the
// last such one), or -1; the borders lie one pixel of grid line apart.
template <typename Size>
int FixedBorderAt(int pos, int fixedCount, Size size)
{
    int found = -1, before = 0;
    for (int i = 0; i < fixedCount; ++i) {
        const int border = size(i) + before;
        if (std::abs(pos - border) < 3)
            found = i;
        before += size(i) + 1;
    }
    return found;
}

} // namespace

// ---------------------------------------------------------------------------
// The move windows
// ---------------------------------------------------------------------------

TExStringGrid::TMoveWindows::~TMoveWindows()
{
    for (QPointer<TArrowWindow>& a : Arrows)
        delete a.data();
    delete DragButton.data();
}

TArrowWindow* TExStringGrid::MoveArrow(TArrowDirection dir)
{
    QPointer<TArrowWindow>& slot = FMoveWindows.Arrows[static_cast<size_t>(dir)];
    if (slot && slot->parentWidget() != window()) {
        delete slot.data();
        slot = nullptr;
    }
    if (!slot) {
        slot = new TArrowWindow(this, dir);
        slot->SetColor(FArrowColor);
    }
    return slot.data();
}

// Shows an arrow with its top-left at a client point of the grid.
void TExStringGrid::ShowArrowAt(TArrowDirection dir, int x, int y)
{
    const QPoint g = ClientSurface()->mapToGlobal(QPoint(x, y));
    MoveArrow(dir)->ShowAtScreen(Point(g.x(), g.y()));
}

void TExStringGrid::HideMoveArrows()
{
    if (Designing())
        return;
    for (const QPointer<TArrowWindow>& a : FMoveWindows.Arrows)
        if (a)
            a->hide();
}

void TExStringGrid::ShowDragButton(const QString& text, int width, int height, int x, int y)
{
    QPointer<TPanel>& button = FMoveWindows.DragButton;
    if (button && button->parentWidget() != window()) {
        delete button.data();
        button = nullptr;
    }
    if (!button)
        button = new HeaderDragButton(window(), this);
    button->SetCaption(text);
    button->resize(std::max(0, width), std::max(0, height));
    const QPoint g = ClientSurface()->mapToGlobal(QPoint(x, y));
    button->move(window()->mapFromGlobal(g));
    button->setEnabled(true);
    if (!button->isVisible() && !FDragDropSettings->ShowCells()) {
        button->show();
        button->raise();
    }
}

void TExStringGrid::EndHeaderMove()
{
    if (QPointer<TPanel>& button = FMoveWindows.DragButton) {
        button->setEnabled(false);
        button->hide();
    }
    delete MoveForm.data();
    MoveForm = nullptr;
    if (FBlockFocusStarted) {
        FBlockFocusStarted = false;
        DoEndBlockFocus();
    }
    if (FMoveCursor == crNo) {
        // The place under the pointer refused the drop: nothing moves.
        const bool columns = GridState() == gsColMoving;
        if (columns || GridState() == gsRowMoving) {
            SetGridState(gsNormal);
            if (columns)
                InvalidateRow(0);
            else
                InvalidateCol(0);
        }
    }
    if (FMoveCursor != crDefault) {
        FMoveCursor = crDefault;
        SetTemporaryCursor(crDefault);
    }
}

bool TExStringGrid::HeaderMoveRunning() const { return FMoveCursor == crDrag || FMoveCursor == crNo; }

void TExStringGrid::DoStartBlockFocus()
{
    if (FOnStartBlockFocus)
        FOnStartBlockFocus(this);
}

void TExStringGrid::DoEndBlockFocus()
{
    if (FOnEndBlockFocus)
        FOnEndBlockFocus(this);
}

// ---------------------------------------------------------------------------
// Geometry helpers
// ---------------------------------------------------------------------------

bool TExStringGrid::IsSizingPoint(int x, int y)
{
    int aCol = -1, aRow = -1;
    MouseToCell(x, y, aCol, aRow);
    if (aCol < 0 || aRow < 0)
        return false;
    const TRect r = CellRect(aCol, aRow);
    if ((Options() & goColSizing) && aRow <= TBaseGrid::FixedRows() &&
        (std::abs(x - r.Left) < 4 || std::abs(x - r.Right) < 4))
        return true;
    if ((Options() & goRowSizing) && aCol <= TBaseGrid::FixedCols() &&
        (std::abs(y - r.Top) <= 3 || std::abs(y - r.Bottom) <= 3))
        return true;
    return false;
}

void TExStringGrid::ScreenToCell(const TPoint& screen, int& aCol, int& aRow)
{
    const QPoint p = ClientSurface()->mapFromGlobal(QPoint(screen.X, screen.Y));
    MouseToCell(p.x(), p.y(), aCol, aRow);
}

int TExStringGrid::FixedColBorderAt(int x) const
{
    return FixedBorderAt(x, TBaseGrid::FixedCols(), [this](int i) { return ColWidths(i); });
}

int TExStringGrid::FixedRowBorderAt(int y) const
{
    return FixedBorderAt(y, TBaseGrid::FixedRows(), [this](int i) { return RowHeights(i); });
}

bool TExStringGrid::InResizerZone(int x, int y)
{
    if (!FSelectionResizer || !FSelectionRectangle)
        return false;
    const TGridRect sel = Selection();
    if (sel.Right < 0 || sel.Bottom < 0 || sel.Right >= ColCount() || sel.Bottom >= RowCount())
        return false;
    const TRect r = CellRect(sel.Right, sel.Bottom);
    if (IsRectEmpty(r))
        return false;
    const TRect zone = layoutDirection() == Qt::RightToLeft ? Rect(r.Left, r.Bottom - 6, r.Left + 6, r.Bottom)
                                                             : Rect(r.Right - 6, r.Bottom - 6, r.Right, r.Bottom);
    return PtInRect(zone, Point(x, y));
}

// ---------------------------------------------------------------------------
// The pointer moves
// ---------------------------------------------------------------------------

void TExStringGrid::HoverMove(int aCol, int aRow, int x, int y)
{
    if (HoverRow() && aRow != FHoverRowIdx) {
        const int old = FHoverRowIdx;
        FHoverRowIdx = aRow;
        if (old >= 0 && old < RowCount())
            RepaintRow(old);
        RepaintRow(aRow);
    }
    PlaceCellScrollBar(aCol, aRow);
    if (FHoverFixedCells != hfNone && (aCol != FHoverFixedX || aRow != FHoverFixedY)) {
        const int oldX = FHoverFixedX, oldY = FHoverFixedY;
        const bool header = IsHoverFixedCell(aCol, aRow);
        FHoverFixedX = header ? aCol : -1;
        FHoverFixedY = header ? aRow : -1;
        if (oldX >= 0 && oldY >= 0 && oldX < ColCount() && oldY < RowCount())
            TBaseGrid::RepaintCell(oldX, oldY);
        if (header)
            TBaseGrid::RepaintCell(aCol, aRow);
    }
    if (FLook == glListView && (aCol != FHotFixedCell.X || aRow != FHotFixedCell.Y)) {
        const TPoint old = FHotFixedCell;
        const bool header = aCol < TBaseGrid::FixedCols() || aRow < TBaseGrid::FixedRows();
        FHotFixedCell = header ? Point(aCol, aRow) : Point(-1, -1);
        if (ValidCell(old) && old.X < ColCount() && old.Y < RowCount())
            TBaseGrid::RepaintCell(old.X, old.Y);
        if (header)
            TBaseGrid::RepaintCell(aCol, aRow);
    }
    const TPoint at = Point(x, y);
    const bool onButton = PtInRect(CalcCellButtonRect(aCol, aRow), at) || PtInRect(CalcExpandButtonRect(aCol, aRow), at);
    if (onButton) {
        if (FHoverButton.X != aCol || FHoverButton.Y != aRow) {
            const TPoint old = FHoverButton;
            FHoverButton = Point(aCol, aRow);
            if (ValidCell(old) && old.X < ColCount() && old.Y < RowCount())
                TBaseGrid::RepaintCell(old.X, old.Y);
            TBaseGrid::RepaintCell(aCol, aRow);
        }
    } else if (ValidCell(FHoverButton)) {
        const TPoint old = FHoverButton;
        FHoverButton = Point(-1, -1);
        if (old.X < ColCount() && old.Y < RowCount())
            TBaseGrid::RepaintCell(old.X, old.Y);
    }
}

void TExStringGrid::DragSelectMove(int aCol, int aRow, int x, int y)
{
    const int fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();
    // Without normal cells there is nothing to select.
    if (FMouseSelectStart < 0 || ColCount() <= fixedCols || RowCount() <= fixedRows)
        return;
    if (FMouseActions->RowSelect() && FMouseSelectMode == msRow) {
        if (aRow >= fixedRows && aRow < RowCount() - FFixedFooters) {
            const int to = std::max(fixedRows, aRow);
            const TGridRect sel{fixedCols, std::min(FMouseSelectStart, to), ColCount() - 1,
                                std::max(FMouseSelectStart, to)};
            if (!(sel == Selection())) {
                SetSelection(sel);
                if (FSelectionRectangle) {
                    Invalidate();
                    FSizeSelection = sel;
                }
            }
        }
        if (y > height() - 4 && TopRow() + VisibleRowCount() < RowCount())
            SetTopRow(TopRow() + 1);
        else if (fixedRows > 0 && y >= 0 && y < RowHeights(0) && TopRow() > fixedRows)
            SetTopRow(TopRow() - 1);
    }
    if (FMouseActions->ColSelect() && FMouseSelectMode == msColumn && aCol >= 0) {
        const int to = std::max(fixedCols, aCol);
        const TGridRect sel{std::min(FMouseSelectStart, to), fixedRows, std::max(FMouseSelectStart, to),
                            RowCount() - 1};
        if (!(sel == Selection())) {
            SetSelection(sel);
            if (FSelectionRectangle) {
                Invalidate();
                FSizeSelection = sel;
            }
        }
    }
}

void TExStringGrid::FixedBorderMove(int aCol, int aRow, int x, int y)
{
    const bool onCell = aCol >= 0 && aRow >= 0;
    FSizeFixed = onCell && !Designing() && FMouseActions->SizeFixedCol() && FixedColBorderAt(x) >= 0;
    if (FSizingFixed && x != FSizeFixedX) {
        DrawColumnSizingLine(FSizeFixedX);
        FSizeFixedX = x;
        DrawColumnSizingLine(x);
    }
    FSizeFixedR = onCell && !Designing() && FMouseActions->SizeFixedRow() && FixedRowBorderAt(y) >= 0;
    if (FSizingFixedR && y != FSizeFixedY) {
        DrawRowSizingLine(FSizeFixedY);
        FSizeFixedY = y;
        DrawRowSizingLine(y);
    }
}

// A column or row move in progress: its events, the floating header and
// the arrows. False when no move runs (any more).
bool TExStringGrid::HeaderMoveStep(int aCol, int aRow, int x, int y)
{
    if (GridState() == gsColSizing)
        ColSized = true;
    if (GridState() == gsRowSizing)
        Rowsized = true;
    bool allow = true;
    if (GridState() == gsColMoving && OnColumnMove)
        OnColumnMove(this, Movecell, allow);
    else if (GridState() == gsRowMoving && OnRowMove)
        OnRowMove(this, Movecell, allow);
    if (!allow) {
        SetGridState(gsNormal);
        HideMoveArrows();
        EndHeaderMove();
        return false;
    }
    const TGridState state = GridState();
    const bool columns = state == gsColMoving;
    if ((state != gsColMoving && state != gsRowMoving) || RowCount() <= 1 || !FEnhRowColMove || FSizingFixed ||
        FSizingFixedR || (x == Clickposx && y == Clickposy))
        return state == gsColMoving || state == gsRowMoving;

    if (!FBlockFocusStarted) {
        FBlockFocusStarted = true;
        DoStartBlockFocus();
    }
    const bool onCell = aCol >= 0 && aRow >= 0;
    const int fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();
    const int bx = x - MoveOfsX, by = y - MoveOfsY;
    const bool moving = columns ? Movecell >= fixedCols && Movecell < ColCount() && onCell
                                : Movecell >= fixedRows && Movecell < RowCount() && onCell;
    // With ShowCells a picture of the moved column (row) follows the pointer.
    if (moving && FDragDropSettings->ShowCells()) {
        if (!MoveForm) {
            MoveForm = SelectionToForm(
                columns ? TRect{Movecell, 0, Movecell, std::min(RowCount() - 1, TopRow() + VisibleRowCount())}
                        : TRect{0, Movecell, std::min(ColCount() - 1, LeftCol() + VisibleColCount()), Movecell});
            MoveForm->show();
            MoveForm->raise();
        }
        MoveForm->move(ClientSurface()->mapToGlobal(QPoint(bx, by)));
    }
    if (moving && columns)
        ShowDragButton(GetCellEx(RealColIndex(Movecell), 0), ColWidths(Movecell), RowHeights(aRow), bx, by);
    else if (moving)
        ShowDragButton(GetCellEx(RealColIndex(0), Movecell), ColWidths(aCol), RowHeights(Movecell), bx, by);

    if (columns) {
        const int drop = FMoveColInd;
        TRect r{};
        if (drop >= fixedCols && drop < ColCount() && onCell)
            r = CellRect(drop, 0);
        if (!IsRectEmpty(r)) {
            const int border = drop < Movecell ? r.Left : r.Right;
            ShowArrowAt(arrUp, border - 5, r.Bottom);
            ShowArrowAt(arrDown, border - 5, r.Top - 8);
        } else {
            if (FMoveWindows.Arrows[static_cast<size_t>(arrUp)])
                FMoveWindows.Arrows[static_cast<size_t>(arrUp)]->hide();
            if (FMoveWindows.Arrows[static_cast<size_t>(arrDown)])
                FMoveWindows.Arrows[static_cast<size_t>(arrDown)]->hide();
        }
        FMoveColInd = aCol;
        FMoveRowInd = 0;
        if (aCol < 0)
            allow = false;
        else if (OnColumnMoving)
            OnColumnMoving(this, aCol, allow);
    } else {
        const int drop = FMoveRowInd;
        TRect r{};
        if (!(FloatingFooterFixedLastRow() && drop == RowCount() - 1) && drop >= fixedRows && drop < RowCount() &&
            onCell)
            r = CellRect(0, drop);
        if (!IsRectEmpty(r)) {
            const int border = drop < Movecell ? r.Top : r.Bottom;
            ShowArrowAt(arrLeft, r.Left - 10, border - 5);
            ShowArrowAt(arrRight, r.Right, border - 5);
        } else {
            if (FMoveWindows.Arrows[static_cast<size_t>(arrLeft)])
                FMoveWindows.Arrows[static_cast<size_t>(arrLeft)]->hide();
            if (FMoveWindows.Arrows[static_cast<size_t>(arrRight)])
                FMoveWindows.Arrows[static_cast<size_t>(arrRight)]->hide();
        }
        FMoveColInd = 0;
        FMoveRowInd = aRow;
        if (aRow < 0)
            allow = false;
        else if (OnRowMoving)
            OnRowMoving(this, aRow, allow);
    }

    // Scrolling while the pointer is beyond the cells in view.
    if (columns) {
        int fixedWidth = 0;
        for (int c = 0; c < fixedCols; ++c)
            fixedWidth += ColWidths(c);
        if (x < fixedWidth && LeftCol() > fixedCols)
            SetLeftCol(LeftCol() - 1);
        else if (x > ClientWidth() && LeftCol() + VisibleColCount() < ColCount())
            SetLeftCol(LeftCol() + 1);
    } else {
        int fixedHeight = 0;
        for (int r = 0; r < fixedRows; ++r)
            fixedHeight += RowHeights(r);
        if (y < fixedHeight && TopRow() > fixedRows)
            SetTopRow(TopRow() - 1);
        else if (y > ClientHeight() && TopRow() + VisibleRowCount() < RowCount())
            SetTopRow(TopRow() + 1);
    }
    FMoveCursor = allow ? crDrag : crNo;
    SetTemporaryCursor(FMoveCursor);
    return true;
}

void TExStringGrid::SelectModeMove(int aCol, int aRow, int x, int y)
{
    TMouseSelectMode mode = msNormal;
    const int fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();
    if (InResizerZone(x, y)) {
        mode = msResize;
    } else if (aCol >= 0 && aRow >= 0) {
        const int lastRow = FloatingFooterFixedLastRow() ? RowCount() - 2 : RowCount() - 1;
        // After the drag selection scrolled up, the row under the headers counts too.
        const int firstRow = FMouseSelectStart >= 0 && FMouseSelectMode == msRow ? 0 : fixedRows;
        if (aCol < fixedCols && aRow < fixedRows && FMouseActions->AllSelect())
            mode = msAll;
        else if (aRow < fixedRows && aCol >= fixedCols && FMouseActions->ColSelect() && !IsSizingPoint(x, y))
            mode = msColumn;
        else if (aCol < fixedCols && aRow >= firstRow && aRow >= 0 && aRow <= lastRow && FMouseActions->RowSelect() &&
                 !IsSizingPoint(x, y) && !IsInNodeButton(aRow, x))
            mode = msRow;
    }
    FMouseSelectMode = mode;
    if (mode != msNormal)
        FGridSetCursor = true;
}

// Links under the pointer: hand cursor, hover underline, enter and exit events.
void TExStringGrid::LinkMove(int aCol, int aRow, int x, int y)
{
    // A link left for a place without one is left, whatever lies there now.
    auto exitAnchor = [this](int row, int col) {
        if (FAnchor.isEmpty())
            return;
        const QString old = FAnchor;
        FAnchor.clear();
        if (OnAnchorExit)
            OnAnchorExit(this, row, col, old);
    };
    if (aCol < 0 || aRow < 0 || aCol >= ColCount() || aRow >= RowCount()) {
        exitAnchor(aRow, aCol);
        return;
    }
    const int real = RealColIndex(aCol);
    const QString text = GetCellEx(real, aRow);
    const bool html = CellTextKind(text, FEnableHTML) == 1;
    if (!html)
        exitAnchor(aRow, real);
    auto forgetHover = [this] {
        if (ValidCell(FHoverCell)) {
            const TPoint old = FHoverCell;
            FHoverCell = Point(-1, -1);
            FHoverLink = -1;
            if (old.X < ColCount() && old.Y < RowCount())
                TBaseGrid::RepaintCell(old.X, old.Y);
        }
    };
    if (!html && FURLUnderlineOnHover)
        forgetHover();
    if (!html && !FURLShow)
        return;
    if (!html) {
        if (IsURL(text)) {
            SetTemporaryCursor(crHandPoint);
            FGridSetCursor = true;
            FLinkCursor = true;
        }
        return;
    }
    TRect t = TBaseGrid::CellRect(aCol, aRow);
    t.Left += FXYOffset.X + 1;
    t.Top += FXYOffset.Y + 1;
    t.Right -= FXYOffset.X;
    const THTMLDrawResult res = HitTestHTMLCell(aCol, aRow, text, t, x, y);
    const bool onLink = !res.AnchorTarget.isEmpty() && res.AnchorTarget != QStringLiteral("ctrl");
    if (FURLUnderlineOnHover) {
        const int link = onLink ? res.AnchorNumber - 1 : -1;
        if (FHoverCell.X != aCol || FHoverCell.Y != aRow || FHoverLink != link) {
            forgetHover();
            if (link >= 0) {
                FHoverCell = Point(aCol, aRow);
                FHoverLink = link;
                TBaseGrid::RepaintCell(aCol, aRow);
            }
        }
    }
    if (onLink) {
        QString hint = res.AnchorTitle;
        if (hint.isEmpty() && OnAnchorHint) {
            hint = res.AnchorTarget;
            OnAnchorHint(this, aRow, real, hint);
        }
        if (!hint.isEmpty() && hint != FLastAnchorHint && res.AnchorTarget != FAnchor) {
            FLastAnchorHint = hint;
            CancelCellHint();
        }
        SetTemporaryCursor(crHandPoint);
        FGridSetCursor = true;
        FLinkCursor = true;
        if (res.AnchorTarget != FAnchor) {
            FAnchor = res.AnchorTarget;
            if (OnAnchorEnter)
                OnAnchorEnter(this, aRow, real, FAnchor);
        }
    } else {
        exitAnchor(aRow, real);
    }
}

void TExStringGrid::MouseMove(TShiftState shift, int x, int y)
{
    // A press on the selection of a drag source turns into a drag.
    if (OleDragStartMove(shift, x, y))
        return;
    int aCol = -1, aRow = -1;
    MouseToCell(x, y, aCol, aRow);
    const bool onCell = aCol >= 0 && aRow >= 0 && aCol < ColCount() && aRow < RowCount();
    const TGridRect selectionBefore = Selection();
    FGridSetCursor = false;

    // Dragging selects a range instead of editing.
    if (FMouseDownMove && FMouseActions->RangeSelectAndEdit() && (Options() & goEditing) && !EditorMode())
        SetOptions(Options() & ~goEditing);
    // The selection rectangle follows a drag selection.
    if (FSelectionRectangle && GridState() == gsSelecting && !(Selection() == FSizeSelection))
        FSizeSelection = Selection();
    // Hover: row, headers, buttons, the cell scroll bar.
    if (onCell && !Designing())
        HoverMove(aCol, aRow, x, y);
    else
        HideCellScrollBar();
    // Drag selection of rows and columns.
    DragSelectMove(aCol, aRow, x, y);
    // Borders of fixed columns and rows.
    FixedBorderMove(aCol, aRow, x, y);
    // Moving a column or row (drags out of the grid are not built here).
    const bool moving = HeaderMoveStep(aCol, aRow, x, y);
    if (!(shift & ssLeft) && GridState() == gsNormal) {
        ColSized = false;
        Rowsized = false;
    }
    SelectModeMove(aCol, aRow, x, y);
    // Links under the pointer.
    if (!moving)
        LinkMove(aCol, aRow, x, y);
    // A hand cursor the grid set goes when nothing asks for it any more.
    if (!FGridSetCursor && FLinkCursor && !moving) {
        FLinkCursor = false;
        SetTemporaryCursor(crDefault);
    }
    // A hint belongs to its cell.
    const TPoint hintPos = LastHintPos();
    if (ValidCell(hintPos)) {
        const TPoint base = onCell ? BaseCell(RealColIndex(aCol), aRow) : Point(-1, -1);
        const TPoint baseDispl = ValidCell(base) ? Point(DisplColIndexOf(base.X), base.Y) : base;
        if (!(baseDispl == hintPos))
            CancelCellHint();
    }
    // So does a balloon: the next one describes the cell now under the pointer.
    if (FBalloonSettings->Enable()) {
        const TPoint base = onCell ? BaseCell(RealColIndex(aCol), aRow) : Point(-1, -1);
        if (!(base == FLastBalloonPos)) {
            BalloonPop();
            FLastBalloonPos = Point(-1, -1);
        }
    }
    // The selection rectangle repaints where it was.
    if (FSelectionRectangle && GridState() == gsSelecting && !(Selection() == FMoveSelection)) {
        const TGridRect s = Selection();
        InvalidateCellRange(Rect(s.Left, s.Top, s.Right, s.Bottom));
        FMoveSelection = s;
    }
    TBaseGrid::MouseMove(shift, x, y);
    // The horizontal scroll position stays while selecting rows.
    if (FNavigation->KeepHorizScroll() && (shift & ssLeft) && GridState() != gsColMoving && FOldKeepLeftCol >= 0 &&
        LeftCol() != FOldKeepLeftCol && FOldKeepLeftCol < ColCount()) {
        BeginUpdate();
        SetLeftCol(FOldKeepLeftCol);
        EndUpdate();
    }
    SizingEventsMove(x, y);
    // The floating header button moves with the pointer.
    if (FEnhRowColMove && moving)
        ClientSurface()->update();
    const TGridRect selectionNow = Selection();
    if (!(selectionNow == selectionBefore))
        DoSelectionChanged(selectionNow.Left, selectionNow.Top, selectionNow.Right, selectionNow.Bottom);
}

void TExStringGrid::SizingEventsMove(int x, int y)
{
    const bool columns = GridState() == gsColSizing || FSizingFixed;
    const bool rows = GridState() == gsRowSizing || FSizingFixedR;
    if (!columns && !rows)
        return;
    int size = 0;
    TPoint cell = Point(0, 0);
    if (columns) {
        int aCol = 0;
        if (FSizingFixed) {
            size = FSizeFixedX;
        } else {
            aCol = Colclicked;
            const int c = Colclicked >= 0 ? Colclicked : ColCount() - 1;
            const int r = Rowclicked >= 0 ? Rowclicked : 0;
            size = x - CellRect(c, r).Left - Clickposdx;
            cell = Point(c, Colclicked >= 0 ? r : 0);
        }
        if (OnColumnSizing)
            OnColumnSizing(this, aCol, size);
    } else {
        int aRow = 0;
        if (FSizingFixedR) {
            size = FSizeFixedY;
        } else {
            aRow = Rowclicked;
            const int c = Colclicked >= 0 ? Colclicked : 0;
            const int r = Rowclicked >= 0 ? Rowclicked : RowCount() - 1;
            size = y - CellRect(c, r).Top - Clickposdy;
            cell = Point(Rowclicked >= 0 ? c : 0, r);
        }
        if (OnRowSizing)
            OnRowSizing(this, aRow, size);
    }
    if (FHintShowSizing || Designing()) {
        const QString text = (columns ? QStringLiteral("cw=<b>") : QStringLiteral("rh=<b>")) + QString::number(size) +
                             QStringLiteral("</b>");
        const TRect r = CellRect(cell.X, cell.Y);
        const QPoint g = ClientSurface()->mapToGlobal(QPoint(r.Left, r.Top));
        ShowScrollHint(text, Point(g.x(), g.y()), 200);
    }
}

// ---------------------------------------------------------------------------
// Leaving the grid
// ---------------------------------------------------------------------------

void TExStringGrid::HandleMouseLeaveMessage(TMessage& m)
{
    TBaseGrid::WndProc(m);
    FMouseSelectMode = msNormal;
    FSizeFixed = false;
    FSizeFixedR = false;
    if (FHoverFixedX >= 0 && FHoverFixedY >= 0) {
        const int c = FHoverFixedX, r = FHoverFixedY;
        FHoverFixedX = FHoverFixedY = -1;
        if (c < ColCount() && r < RowCount())
            TBaseGrid::RepaintCell(c, r);
    }
    if (FLook == glListView && ValidCell(FHotFixedCell)) {
        const TPoint old = FHotFixedCell;
        FHotFixedCell = Point(-1, -1);
        if (old.X < ColCount() && old.Y < RowCount())
            TBaseGrid::RepaintCell(old.X, old.Y);
    }
    if (HoverRow() && FHoverRowIdx >= 0) {
        const int old = FHoverRowIdx;
        FHoverRowIdx = -1;
        if (old < RowCount())
            RepaintRow(old);
    }
    FHoverRowIdx = -1;
    // Hover state lives only while the pointer is over the grid: a lit button
    // or underlined link would otherwise stay lit until the pointer returns.
    for (TPoint* hover : {&FHoverButton, &FHoverCell}) {
        if (!ValidCell(*hover))
            continue;
        const TPoint old = *hover;
        *hover = Point(-1, -1);
        if (old.X < ColCount() && old.Y < RowCount())
            TBaseGrid::RepaintCell(old.X, old.Y);
    }
    FHoverLink = -1;
}

void TExStringGrid::HandleCancelModeMessage(TMessage& m)
{
    TBaseGrid::WndProc(m);
    HideMoveArrows();
    EndHeaderMove();
}
