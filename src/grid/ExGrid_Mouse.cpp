// The string grid's mouse buttons: presses on cells and headers, release,
// double click and the right button, and the cursor.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include "platform/Controls.h"
#include "platform/Messages.h"
#include "widgets/EsgHTMLE.h"
#include "widgets/ExUtil.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QStyle>
#include <QUrl>

#include <algorithm>
#include <cstdlib>

using namespace platform;

using exgrid_detail::FlagGuard;
using exgrid_detail::ScopeExit;

namespace {

bool Inside(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

TShiftState MessageShift(const TMessage& m) { return static_cast<TShiftState>(m.WParam & 0x7F); }

// The one key of a press the grid passes on itself: Alt before Shift before Ctrl.
TShiftState PressKey(TShiftState shift)
{
    if (shift & ssAlt)
        return ssAlt;
    if (shift & ssShift)
        return ssShift;
    if (shift & ssCtrl)
        return ssCtrl;
    return 0;
}

// The header select cursors: an arrow pointing right (rows), one pointing
// down (columns) and a four-way cross (all, selection resizer).
QCursor SelectModeCursor(TMouseSelectMode mode)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    switch (mode) {
    case msRow:
        p.drawRect(1, 6, 8, 4);
        p.drawPolygon(QPolygon({QPoint(9, 2), QPoint(15, 8), QPoint(9, 14)}));
        return QCursor(pm, 15, 8);
    case msColumn:
        p.drawRect(6, 1, 4, 8);
        p.drawPolygon(QPolygon({QPoint(2, 9), QPoint(8, 15), QPoint(14, 9)}));
        return QCursor(pm, 8, 15);
    default:
        p.drawRect(7, 2, 2, 12);
        p.drawRect(2, 7, 12, 2);
        p.drawPolygon(QPolygon({QPoint(8, 0), QPoint(11, 3), QPoint(5, 3)}));
        p.drawPolygon(QPolygon({QPoint(8, 15), QPoint(11, 12), QPoint(5, 12)}));
        p.drawPolygon(QPolygon({QPoint(0, 8), QPoint(3, 5), QPoint(3, 11)}));
        p.drawPolygon(QPolygon({QPoint(15, 8), QPoint(12, 5), QPoint(12, 11)}));
        return QCursor(pm, 8, 8);
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Left button press
// ---------------------------------------------------------------------------

bool TExStringGrid::InResizerCorner(int x, int y)
{
    const TGridRect sel = Selection();
    if (sel.Right < 0 || sel.Bottom < 0 || sel.Right >= ColCount() || sel.Bottom >= RowCount())
        return false;
    const TRect r = TBaseGrid::CellRect(sel.Right, sel.Bottom);
    if (r.Right <= r.Left)
        return false;
    const TRect corner = layoutDirection() == Qt::RightToLeft ? Rect(r.Left, r.Bottom - 6, r.Left + 6, r.Bottom)
                                                                : Rect(r.Right - 6, r.Bottom - 6, r.Right, r.Bottom);
    return Inside(corner, x, y);
}

// The selection resizer drag starts: the selection goes to the clipboard
// and stays as it is while the pointer sizes the drop rectangle.
void TExStringGrid::StartSelectionResize(TMessage& m, bool fromCorner)
{
    const int x = SignedLowWord(m.LParam), y = SignedHighWord(m.LParam);
    SetGridState(gsSelecting);
    FDropSelection = Selection();
    CopySelectionToClipboard();
    FMouseResize = true;
    const TGridRect sel = Selection();
    if (!(Options() & goEditing) && !FMouseActions->RangeSelectAndEdit())
        TBaseGrid::WndProc(m);
    TBaseGrid::SetSelection(sel);
    if (GridState() != gsSelecting)
        SetGridState(gsSelecting);
    MouseMove(MessageShift(m), x, y);
    if (fromCorner)
        m.Result = 1;
}

void TExStringGrid::HandleLButtonDownMessage(TMessage& m)
{
    const int x = SignedLowWord(m.LParam), y = SignedHighWord(m.LParam);
    const TShiftState msgShift = MessageShift(m);

    FDoOnClick = true;
    FMouseDownMove = true;
    FMouseKeepDown = true;
    FSpinUpClick = false;
    FSpinDnClick = false;
    int aCol = -1, aRow = -1;
    MouseToCell(x, y, aCol, aRow);
    const TGridRect oldSel = Selection();

    if (FSelectionResizer && FSelectionRectangle && InResizerCorner(x, y)) {
        StartSelectionResize(m, true);
        return;
    }

    // Range-select-and-edit: a press outside the selection ends editing
    // until a cell is edited again.
    if ((Options() & goEditing) && FMouseActions->RangeSelectAndEdit() &&
        !(aCol >= oldSel.Left && aCol <= oldSel.Right && aRow >= oldSel.Top && aRow <= oldSel.Bottom))
        SetOptions(Options() & ~goEditing);

    if (OnCanClickCell) {
        bool allow = true;
        OnCanClickCell(this, aRow, aCol, allow);
        if (!allow)
            return;
    }

    if (FMouseSelectMode == msResize) {
        StartSelectionResize(m, false);
        return;
    }

    const TShiftState shift = PressKey(msgShift);

    if (FMouseActions->DisjunctCellSelect() && shift != ssCtrl && aCol >= TBaseGrid::FixedCols() &&
        aRow >= TBaseGrid::FixedRows() && !IsFixed(aCol, aRow)) {
        FSelectedCells.Clear();
        Invalidate();
    }

    // Reset per press.
    SearchInc.clear();
    FMoveColInd = -1;
    FMoveRowInd = -1;
    FSelectionClick = false;
    FPushedCellButton = Point(-1, -1);
    FOldTopRow = TopRow();
    FOldKeepLeftCol = LeftCol();
    // Just right of a column border or below a row border counts for the
    // column or row before it: that is the one being sized.
    MouseToCell(aCol != 0 ? x - 5 : x, aRow != 0 ? y - 4 : y, Colclicked, Rowclicked);
    if (Colclicked >= 0 && Rowclicked >= 0) {
        Colclickedsize = ColWidths(Colclicked);
        Rowclickedsize = RowHeights(Rowclicked);
    }
    if (FLook == glListView && FHotFixedCell.X >= 0 && FHotFixedCell.Y >= 0)
        TBaseGrid::RepaintCell(FHotFixedCell.X, FHotFixedCell.Y);
    Clickposx = x;
    Clickposy = y;

    if (aCol < 0 || aRow < 0) {
        HideInplaceEdit();
        if (!FFixedRowAlways)
            TBaseGrid::WndProc(m);
        return;
    }
    // Picking a cell into the text being edited: the edit stays open.
    if (FCellSelectorMode) {
        CellSelectorClick(aCol, aRow);
        return;
    }
    PressCell(m, aCol, aRow, x, y, shift);
}

void TExStringGrid::PressCell(TMessage& m, int aCol, int aRow, int x, int y, TShiftState shift)
{
    const TGridRect oldSel = Selection();
    const int fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();

    // A merged range is handled at its base cell.
    const TPoint base = BaseCell(RealColIndex(aCol), aRow);
    aCol = DisplColIndexOf(base.X);
    aRow = base.Y;
    const int realCol = base.X;
    const TRect r = TBaseGrid::CellRect(aCol, aRow);
    if (FMouseActions->CaretPositioning())
        FLButFlg = true;

    // An open text edit is validated before the press goes anywhere; a
    // refusal keeps the cell and its editor.
    if (InplaceEditorFocused() && (aCol != Col() || aRow != Row())) {
        setFocus(Qt::MouseFocusReason);
        if (FEditMode && InplaceEditor() && InplaceEditor()->isVisible())
            return;
    }

    auto raiseMouseDown = [&] {
        if (OnMouseDown)
            OnMouseDown(this, mbLeft, shift, x, y);
    };
    auto raiseClickCell = [&] {
        if (OnClickCell)
            OnClickCell(this, aRow, aCol);
    };

    // Border of a fixed column or row, found by the mouse move.
    if (FSizeFixed) {
        FSizingFixed = true;
        FSizeFixedX = x;
        DrawColumnSizingLine(x);
        // Found from the widths: row 0 may be scrolled out of view.
        FSizingFixedCol = FixedColBorderAt(x);
        return;
    }
    if (FSizeFixedR) {
        FSizingFixedR = true;
        FSizeFixedY = y;
        DrawRowSizingLine(y);
        FSizingFixedRow = FixedRowBorderAt(y);
        return;
    }

    const bool fixedArea = aRow < fixedRows || aCol < fixedCols;
    const bool fixedCell = IsFixed(aCol, aRow);
    const bool fixedNormal = fixedCell && !fixedArea;
    if (fixedArea || fixedCell)
        HideInplaceEdit();

    const bool onNodeGlyph = aCol == 0 && IsNode(aRow) && IsInNodeButton(aRow, x);

    // A header drawn as a button is held down until the release; a press on
    // a node glyph is a node press instead.
    if ((fixedArea || fixedNormal) && FFixedAsButtons && (Options() & goFixedVertLine) &&
        (Options() & goFixedHorzLine) && !onNodeGlyph) {
        FPushedFixedCell = r;
        FPushedCellButton = Point(aCol, aRow);
        FFixedCellPushed = true;
        TBaseGrid::RepaintCell(aCol, aRow);
    }

    // Always-visible spin buttons: which half was pressed (read by the spin editor).
    if (!Designing() && FControlLook->SpinButtonsAlwaysVisible() && QueryHasSpinEdit(realCol, aRow) &&
        x > r.Right - 18) {
        if (y > r.Top + (r.Bottom - r.Top) / 2)
            FSpinDnClick = true;
        else
            FSpinUpClick = true;
    }

    // A node glyph in a header row expands or contracts every node; the
    // press goes on.
    if (aRow < fixedRows && onNodeGlyph)
        HeaderNodePress(aRow);

    if (IsRadio(realCol, aRow) && (IsEditable(aCol, aRow) || FControlLook->RadioAlwaysActive())) {
        HideInplaceEdit();
        ClickRadioGroup(aCol, aRow, x - r.Left, y - r.Top);
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        return;
    }

    // A press on a node glyph expands or contracts the node.
    if (aRow >= fixedRows && onNodeGlyph) {
        raiseMouseDown();
        raiseClickCell();
        NodeButtonPress(aRow, x);
        return;
    }

    // Column 0 of a grid with nodes holds the node glyphs: a press there
    // beside a glyph selects nothing.
    if (aRow >= fixedRows && aCol == 0 && HasNodes() && !FMouseActions->RowSelect() && !(Options() & goRowSizing)) {
        raiseMouseDown();
        raiseClickCell();
        return;
    }

    // A press on the selection of a drag source: a drag may start when the
    // pointer moves, else the release selects.
    if ((IsSelected(aCol, aRow) || (aRow < fixedRows && !FEnhRowColMove)) && !(Options() & goEditing) &&
        !HasButton(realCol, aRow) && !HasCheckBox(realCol, aRow) && FDragDropSettings->OleDropSource() &&
        !((FMouseActions->ColSelect() || FMouseActions->AllSelect()) && aRow < fixedRows) && aCol >= fixedCols &&
        ((x > r.Left + 3 && x < r.Right - 3) || !(Options() & goColSizing))) {
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        raiseMouseDown();
        FSelectionClick = true;
        raiseClickCell();
        return;
    }

    if (HasRating(realCol, aRow) && IsEditable(aCol, aRow)) {
        HideInplaceEdit();
        double rate = ((x - r.Left) / 9) / 2.0;
        if (QueryRatingChange(realCol, aRow, rate)) {
            SetFloats(realCol, aRow, rate);
            TBaseGrid::RepaintCell(aCol, aRow);
        }
        return;
    }

    auto pressButton = [&](const TRect& button) {
        HideInplaceEdit();
        if (!fixedCell) {
            FlagGuard force(FForceSel);
            SelectCell(aCol, aRow);
            if (fixedCols > 0) {
                TBaseGrid::RepaintCell(0, Row());
                TBaseGrid::RepaintCell(0, aRow);
            }
        }
        if (!Inside(button, x, y))
            return false;
        PushButton(aCol, aRow, true);
        FPushedCellButton = Point(aCol, aRow);
        SetMouseCapture(true);
        raiseClickCell();
        return true;
    };
    if (HasButton(realCol, aRow) && pressButton(CalcCellButtonRect(aCol, aRow)))
        return;
    if (HasExpand(realCol, aRow) && pressButton(CalcExpandButtonRect(aCol, aRow)))
        return;

    // The platform selects the base cell of a merged range.
    if (IsMergedCell(realCol, aRow) && !fixedCell && !OnMouseDown)
        m.LParam = MakeLParam(r.Left + 2, r.Top + 2);

    if (aCol >= ColCount() || aRow >= RowCount()) {
        TBaseGrid::WndProc(m);
        return;
    }

    if (Colclicked >= 0 && Rowclicked >= 0) {
        const TRect c = TCustomGrid::CellRect(Colclicked, Rowclicked);
        Clickposdx = x - c.Right;
        Clickposdy = y - c.Bottom;
    } else {
        Clickposdx = x;
        Clickposdy = y;
    }

    if (FMouseActions->DisjunctRowSelect() && aRow >= fixedRows &&
        (aCol != 0 || !FMouseActions->HotmailRowSelect())) {
        if (shift == ssShift) {
            TBaseGrid::WndProc(m);
            SetSelection(TGridRect{std::min(aCol, oldSel.Left), std::min(aRow, oldSel.Top),
                                   std::max(aCol, oldSel.Left), std::max(aRow, oldSel.Top)});
            return;
        }
        if (shift == ssCtrl || FMouseActions->DisjunctRowSelectNoCtrl()) {
            const int flagRow = FMouseActions->RowSelectPersistent() ? RealRowIndex(aRow) : aRow;
            if (GetRowSelect(flagRow))
                FDeselectState = true;
        } else {
            FMouseDown = true;
            if (shift != ssAlt)
                ClearRowSelect();
        }
    }
    if (FMouseActions->DisjunctColSelect() && aCol >= fixedCols) {
        if (shift == ssCtrl) {
            if (GetColSelect(aCol))
                FDeselectState = true;
        } else {
            FMouseDown = true;
            ClearColSelect();
        }
    }

    if (PressLink(aCol, aRow, x, y))
        return;

    // Header select modes, chosen while hovering.
    Movecell = -1;
    if (aCol < fixedCols && aRow < fixedRows && FMouseActions->AllSelect() && (Options() & goRangeSelect) &&
        FMouseSelectMode == msAll) {
        setFocus(Qt::MouseFocusReason);
        ExportNotification(esExportStart, -1);
        ExportNotification(esExportNewRow, RowCount() - 1);
        ExportNotification(esExportFail, -1);
        HideSelection();
        SetSelection(TGridRect{fixedCols, fixedRows, ColCount() - 1, RowCount() - 1});
        FSelHidden = false;
        DoExit();
        if (FActiveCellShow)
            RepaintActiveHeaders(oldSel.Left, oldSel.Top, aCol, aRow);
    } else if (aCol < fixedCols && aRow >= fixedRows && FMouseActions->RowSelect() && FMouseSelectMode == msRow) {
        if (FEditMode)
            setFocus(Qt::MouseFocusReason);
        HideSelection();
        if (FMouseActions->DisjunctCellSelect())
            FSelectedCells.Clear();
        if (shift == ssShift)
            SetSelection(TGridRect{fixedCols, std::min(aRow, oldSel.Top), ColCount() - 1, std::max(aRow, oldSel.Top)});
        else
            SetSelection(TGridRect{fixedCols, aRow, ColCount() - 1, aRow});
        FSelHidden = false;
        DoExit();
        FMouseSelectStart = aRow;
        if (FActiveCellShow)
            RepaintActiveHeaders(oldSel.Left, oldSel.Top, aCol, aRow);
        if (!FRowIndicator.Empty())
            RepaintCol(0);
    } else if (aRow < fixedRows && aCol >= fixedCols && FMouseActions->ColSelect() &&
               (Options() & goRangeSelect) && FMouseSelectMode == msColumn) {
        HideSelection();
        if (FMouseActions->DisjunctCellSelect())
            FSelectedCells.Clear();
        if (shift == ssShift) {
            if (aCol < oldSel.Left)
                SetSelection(TGridRect{aCol, fixedRows, oldSel.Right, RowCount() - 1});
            else
                SetSelection(TGridRect{oldSel.Left, fixedRows, aCol, RowCount() - 1});
        } else {
            SetSelection(TGridRect{aCol, fixedRows, aCol, RowCount() - 1});
        }
        FSelHidden = false;
        DoExit();
        FMouseSelectStart = aCol;
        if (FActiveCellShow)
            RepaintActiveHeaders(oldSel.Left, oldSel.Top, aCol, aRow);
    }
    if (aRow < fixedRows && aCol >= fixedCols)
        Movecell = aCol;
    else if (aCol < fixedCols && aRow >= fixedRows)
        Movecell = aRow;
    MoveOfsX = x - r.Left;
    MoveOfsY = y - r.Top;

    // Whether the cell may be edited: the column grid answers per column.
    bool editable = (Options() & goEditing) || FMouseActions->RangeSelectAndEdit();
    QueryCanEdit(realCol, aRow, editable);

    if ((editable || FControlLook->CheckAlwaysActive() || (aCol == 0 && FMouseActions->HotmailRowSelect())) &&
        (HasCheckBox(realCol, aRow) || HasRadioButton(realCol, aRow)) && IsInCheckBox(realCol, aRow, x, y)) {
        HideInplaceEdit();
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        bool state = false;
        if (HasRadioButton(realCol, aRow)) {
            if (SelectCellRadioButton(realCol, aRow, true) && OnRadioButtonClick)
                OnRadioButtonClick(this, realCol, aRow);
            if (FShowModified->Enabled()) {
                SetRowModified(RealRowIndex(aRow), true);
                TBaseGrid::RepaintCell(0, aRow);
            }
            state = IsRadioButtonChecked(realCol, aRow);
            if (!FNavigation->AlwaysEdit() && !fixedArea && (aCol != Col() || aRow != Row()))
                MoveColRow(aCol, aRow, true, true);
            DoCheckBoxClick(aCol, aRow, state);
            TBaseGrid::RepaintCell(aCol, aRow);
        } else {
            // Toggle, change event, current cell, click event.
            ToggleCheckBoxCell(aCol, aRow);
            GetCheckBoxState(realCol, RealRowIndex(aRow), state);
        }
        if (aCol == 0 && aRow >= fixedRows && FMouseActions->HotmailRowSelect()) {
            SetSelection(TGridRect{fixedCols, aRow, ColCount() - 1, aRow});
            if (RealRowIndex(aRow) != aRow)
                TBaseGrid::RepaintCell(0, aRow);
            if (aRow == Row() && !GetRowSelect(RealRowIndex(aRow)))
                HideSelection();
        }
        if (aRow < fixedRows && FMouseActions->CheckAllCheck()) {
            for (int row = fixedRows; row < RowCount() - FFixedFooters; ++row) {
                if (FMouseActions->HotmailRowSelect())
                    SetRowSelect(RealRowIndex(row), state);
                else
                    SetCheckBoxState(realCol, RealRowIndex(row), state);
            }
            Invalidate();
        }
        raiseMouseDown();
        Click();
        return;
    }

    const bool normalCell = !fixedArea && !fixedCell;
    bool dropDown = FControlLook->DropDownAlwaysVisible();
    if (dropDown && normalCell) {
        TEditorType kind = FDefaultEditor;
        QueryCellEditor(realCol, aRow, kind);
        dropDown = QueryHasComboBox(realCol, aRow) || kind == edComboEdit || kind == edComboList;
    }
    const bool dblOnly = FMouseActions->EditOnDblClickOnly();
    if (normalCell && (editable || (dblOnly && dropDown)) && (FMouseActions->DirectEdit() || dropDown)) {
        if (dblOnly && dropDown)
            FEditActive = false;
        HideInplaceEdit();
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
    }

    const TGridRect curSel = Selection();
    const bool onlyThisCell =
        Inside(r, x, y) && curSel.Left == aCol && curSel.Right == aCol && curSel.Top == aRow && curSel.Bottom == aRow;
    bool enterSelecting = false;
    if (!onlyThisCell && FMouseActions->RangeSelectAndEdit() && normalCell && !editable) {
        enterSelecting = true;
        SetOptions(Options() & ~goEditing);
    }

    if (fixedNormal) {
        const bool footerRow = FFloatingFooter->Visible() && FFloatingFooter->FooterStyle() == fsFixedLastRow &&
                               aRow == RowCount() - 1;
        if (!footerRow)
            raiseClickCell();
        return;
    }

    // Headers and normal cells: the platform selects, sizes or moves.
    const bool partial = aRow == TopRow() + VisibleRowCount() || aCol == LeftCol() + VisibleColCount() ||
                         (aCol == LeftCol() && LeftCol() > fixedCols);
    const bool keepLeft = (Options() & goRowSelect) && FNavigation->KeepHorizScroll();
    const int leftBefore = LeftCol();
    if (keepLeft)
        BeginUpdate();
    if (!FSelHidden) {
        const bool alwaysEdit = FNavigation->AlwaysEdit();
        FNavigation->SetAlwaysEdit(false);
        ScopeExit restore{[&] { FNavigation->SetAlwaysEdit(alwaysEdit); }};
        TBaseGrid::WndProc(m);
    }
    if (keepLeft) {
        SetLeftCol(leftBefore);
        EndUpdate();
    }
    if (partial && FMouseActions->NoAutoRangeScroll() && GridState() == gsSelecting)
        SetGridState(gsNormal);
    if (TopRow() != FOldTopRow && FMouseActions->NoScrollOnPartialRow()) {
        SetTopRow(FOldTopRow);
        TMessage up{WM_LBUTTONUP, 0, 0, 0};
        WndProc(up);
    }
    // A press next to a header border sizes the column: no click there.
    const bool nearHeaderBorder =
        aRow < fixedRows && (Options() & goColSizing) && (x - r.Left < 4 || r.Right - x < 4);
    if (!nearHeaderBorder)
        raiseClickCell();
    if (OnCellValidate) {
        FEntered = false;
        RememberCell(Col(), Row());
    }
    if (normalCell && IsMergedCell(realCol, aRow) && editable && (onlyThisCell || FMouseActions->DirectEdit()))
        ShowInplaceEdit();

    if (x > r.Left + 3 && x < r.Right - 3 && normalCell && (editable || (dblOnly && dropDown)) &&
        (FMouseActions->DirectEdit() || dropDown) && !HasClickableControl(realCol, aRow)) {
        if (dblOnly && dropDown && !(Options() & goEditing)) {
            SetOptions(Options() | goEditing);
            setFocus(Qt::MouseFocusReason);
        }
        bool allow = true;
        DoCellChanging(aCol, aRow, allow);
        if (allow) {
            TBaseGrid::SetSelection(TGridRect{aCol, aRow, aCol, aRow});
            RememberCell(aCol, aRow);
            ShowEditor();
        }
    }
    if (enterSelecting)
        SetGridState(gsSelecting);
}

THTMLDrawResult TExStringGrid::HitTestHTMLCell(int aCol, int aRow, const QString& text, const TRect& textRect, int x,
                                               int y)
{
    const int realCol = RealColIndex(aCol);
    TCanvas& canvas = Canvas();
    const TFont savedFont = canvas.Font();
    TBrush brush;
    TFont font;
    TGridDrawState state = 0;
    GetFontProperties(realCol, aCol, true, brush, font, state, aRow);
    canvas.SetFont(font);
    THTMLDrawOptions o;
    o.Window = this;
    o.PictureContainer = FPictureContainer;
    o.PictureCache = FImageCache.get();
    o.Images = CellImages(realCol, aRow);
    o.AnchorColor = FURLColor;
    o.WordWrap = !FEnhTextSize;
    o.HitTest = true;
    o.HitPoint = Point(x, y);
    THTMLDrawResult res;
    DrawHTMLText(canvas, text, textRect, o, res);
    canvas.SetFont(savedFont);
    return res;
}

// Links of URL and HTML cells and the form fields of HTML cells; true when
// the press was taken.
bool TExStringGrid::PressLink(int aCol, int aRow, int x, int y)
{
    const int realCol = RealColIndex(aCol);
    const QString text = GetCellEx(realCol, aRow);
    const int kind = CellTextKind(text, FEnableHTML);
    if (!FURLShow && kind != 1)
        return false;

    QString anchor, ctrlID, ctrlType, ctrlValue;
    TRect ctrlRect;
    if (kind != 1) {
        if (IsURL(text))
            anchor = text;
    } else {
        TRect t = TBaseGrid::CellRect(aCol, aRow);
        t.Left += FXYOffset.X + 1;
        t.Top += FXYOffset.Y + 1;
        t.Right -= FXYOffset.X;
        if (HasScrollBar(realCol, aRow)) {
            t.Right -= QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
            t.Top -= GetScrollPosition(realCol, aRow);
        }
        if (HasCheckBox(realCol, aRow))
            t.Left += FControlLook->CheckSize();
        const THTMLDrawResult res = HitTestHTMLCell(aCol, aRow, text, t, x, y);
        ctrlType = res.ControlType.toUpper();
        ctrlID = res.ControlID;
        ctrlValue = res.ControlValue;
        ctrlRect = res.ControlRect;
        if (ctrlType.isEmpty())
            anchor = res.AnchorTarget;
    }

    if (!ctrlType.isEmpty()) {
        bool allowed = ((Options() & goEditing) || FEditDisable) && !GetReadOnly(realCol, aRow);
        if (!ctrlID.isEmpty()) {
            if (allowed)
                DoCanEditCell(realCol, aRow, allowed);
            if (allowed) {
                // A field edit still running ends first (it may rewrite this cell).
                EndControlEdit();
                QString cell = GetCellEx(realCol, aRow);
                if (ctrlType == QLatin1String("BUTTON")) {
                    FCtrlXY = Point(aCol, aRow);
                    FCtrlDown = true;
                    TBaseGrid::RepaintCell(aCol, aRow);
                } else if (ctrlType == QLatin1String("CHECK")) {
                    ctrlValue = ctrlValue.toUpper() == QLatin1String("TRUE") ? QStringLiteral("FALSE")
                                                                              : QStringLiteral("TRUE");
                    ReplaceHTMLControlValue(cell, ctrlID, ctrlValue);
                    SetCellEx(realCol, aRow, cell);
                } else if (ctrlType == QLatin1String("RADIO")) {
                    cell = ClearHTMLRadioControls(cell);
                    ctrlValue = QStringLiteral("TRUE");
                    ReplaceHTMLControlValue(cell, ctrlID, ctrlValue);
                    SetCellEx(realCol, aRow, cell);
                }
                if (OnControlClick)
                    OnControlClick(this, aRow, aCol, ctrlID, ctrlType, ctrlValue);
                StartControlEdit(cell, ctrlType, aRow, realCol, aCol, ctrlRect, ctrlValue, ctrlID);
                return true;
            }
        }
    }
    if (!anchor.isEmpty()) {
        bool autoHandle = true;
        if (OnAnchorClick)
            OnAnchorClick(this, aRow, aCol, anchor, autoHandle);
        if (autoHandle)
            FollowCellLink(anchor);
        return true;
    }
    if (kind == 1 && text.toUpper().contains(QLatin1String("<CONTROL"))) {
        if (OnClickCell)
            OnClickCell(this, aRow, aCol);
        HideInplaceEdit();
        FocusCell(aCol, aRow);
        return true;
    }
    return false;
}

// "CELL://R<row>C<col>" goes to that cell; other links open in the desktop's
// handler. A reference that does not parse or lies outside the grid does
// nothing.
void TExStringGrid::FollowCellLink(const QString& anchor)
{
    if (!anchor.toUpper().contains(QLatin1String("CELL://"))) {
        QDesktopServices::openUrl(QUrl::fromUserInput(anchor));
        return;
    }
    const QString ref = anchor.mid(7).toUpper();
    int c = -1, r = -1;
    if (ref.size() < 4 || !ParseRCRef(ref, c, r))
        return;
    if (c < 0 || r < 0 || c >= ColCount() || r >= RowCount())
        return;
    SetRow(r);
    SetCol(c);
    ScrollInView(c, r);
}

void TExStringGrid::HeaderDropDownPress(int aCol, int aRow, const TRect& r)
{
    TPopupMenu* menu = FixedDropDownMenu();
    if (menu)
        menu->setProperty("Tag", aCol);
    bool keepHighlighted = false;
    if (OnFixedDropDownClick)
        OnFixedDropDownClick(this, aCol, aRow, menu, keepHighlighted);
    if (!menu)
        return;
    FMouseDownMove = false;
    FHoverFixedX = aCol;
    FHoverFixedY = aRow;
    TBaseGrid::RepaintCell(aCol, aRow);
    const QPoint at = ClientSurface()->mapToGlobal(QPoint(r.Right - 16, r.Bottom));
    menu->Popup(at.x(), at.y());
    if (!keepHighlighted) {
        FHoverFixedX = FHoverFixedY = -1;
        TBaseGrid::RepaintCell(aCol, aRow);
    }
}

void TExStringGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (shift & ssDouble) {
        TBaseGrid::MouseDown(button, shift, x, y);
        return;
    }
    int aCol = -1, aRow = -1;
    MouseToCell(x, y, aCol, aRow);
    const TGridRect oldSel = Selection();
    const bool onCell = aCol >= 0 && aRow >= 0;

    if (FMouseActions->RangeSelectAndEdit() && button == mbLeft && !FMouseActions->EditOnDblClickOnly() && onCell) {
        if (aCol == Col() && aRow == Row() && !(Options() & goEditing) && IsEditable(aCol, aRow)) {
            SetOptions(Options() | goEditing);
            TBaseGrid::MouseDown(button, shift, x, y);
            ShowInplaceEdit();
            return;
        }
        if ((shift & ssShift) && (aCol != Col() || aRow != Row()) && (Options() & goEditing)) {
            SetOptions(Options() & ~goEditing);
            TBaseGrid::MouseDown(button, shift, x, y);
            return;
        }
    }

    if (onCell && button == mbLeft) {
        const TRect r = TBaseGrid::CellRect(aCol, aRow);
        const int right = (Options() & goColSizing) ? r.Right - 2 : r.Right;
        if (x >= r.Right - 16 && x <= right && IsHoverFixedCell(aCol, aRow) && FControlLook->FixedDropDownButton()) {
            FDropDownDown = true;
            if (FixedDropDownMenu() || OnFixedDropDownClick) {
                HeaderDropDownPress(aCol, aRow, r);
                return;
            }
        }
        if (aRow == TBaseGrid::FixedRows() - 1 && IsHoverFixedCell(aCol, aRow) &&
            FControlLook->FixedGradientDownTo() != clNone) {
            FFixedCellDown = true;
            TBaseGrid::RepaintCell(aCol, aRow);
        }
    }

    TBaseGrid::MouseDown(button, shift, x, y);

    if ((shift & ssShift) && FSelectionRectangle && !(Selection() == oldSel))
        Invalidate();
    if (onCell && button == mbLeft && OpensFixedCellEdit(aCol, aRow, x, y, fceLeftClick)) {
        StartFixedCellEdit(aCol, aRow);
        return;
    }
    if (TStringGrid* sync = FSyncGrid->Grid()) {
        if (FSyncGrid->SelectionColumn() && Col() >= sync->FixedCols() && Col() < sync->ColCount())
            sync->SetCol(Col());
        if (FSyncGrid->SelectionRow() && Row() >= sync->FixedRows() && Row() < sync->RowCount())
            sync->SetRow(Row());
    }
}

void TExStringGrid::Click()
{
    TBaseGrid::Click();
    FEntered = false;
    if (!FEditMode)
        RememberCell(Col(), Row());
}

void TExStringGrid::SimulateCellClick(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0 || aCol >= ColCount() || aRow >= RowCount())
        return;
    const TRect r = TCustomGrid::CellRect(aCol, aRow);
    const int x = r.Left + 2, y = r.Top + 2;
    const TMouseEvent down = OnMouseDown, up = OnMouseUp;
    const bool force = FForceSel;
    ScopeExit detach{[&] {
        OnMouseDown = down;
        OnMouseUp = up;
        FForceSel = force;
    }};
    OnMouseDown = nullptr;
    OnMouseUp = nullptr;
    FForceSel = true;
    MouseDown(mbLeft, 0, x, y);
    // A release with nothing running would only place the text editor
    // again, over a list or check editor the press may have opened.
    if (GridState() != gsNormal) {
        MouseUp(mbLeft, 0, x, y);
    } else {
        const TGridRect s = Selection();
        DoSelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
    }
}

// ---------------------------------------------------------------------------
// Left button release
// ---------------------------------------------------------------------------

namespace {

// The size of fixed column (row) index released at pos: pos less the sizes
// before it. Released before its start: 0, never a negative size.
template <typename Size>
int SizeUpTo(int pos, int index, Size size)
{
    for (int i = 0; i < index; ++i)
        pos -= size(i);
    return std::max(0, pos);
}

} // namespace

void TExStringGrid::EndFixedSizing(int x, int y)
{
    if (FSizingFixed) {
        FSizingFixed = false;
        DrawColumnSizingLine(FSizeFixedX);
        const int col = FSizingFixedCol;
        if (col >= 0 && col < ColCount()) {
            const int width = SizeUpTo(x, col, [this](int i) { return ColWidths(i); });
            SetColWidths(col, width);
            if (OnEndColumnSize)
                OnEndColumnSize(this, col);
            int newWidth = width;
            if (OnUpdateColumnSize)
                OnUpdateColumnSize(this, col, newWidth);
            if (newWidth != width)
                SetColWidths(col, std::max(0, newWidth));
        }
    }
    if (FSizingFixedR) {
        FSizingFixedR = false;
        DrawRowSizingLine(FSizeFixedY);
        const int row = FSizingFixedRow;
        if (row >= 0 && row < RowCount()) {
            const int height = SizeUpTo(y, row, [this](int i) { return RowHeights(i); });
            SetRowHeights(row, height);
            if (OnEndRowSize)
                OnEndRowSize(this, row);
        }
    }
}

void TExStringGrid::ReleaseHeldButton(int x, int y, int aCol, int aRow)
{
    if (FPushedCellButton.X == -1)
        return;
    const TPoint held = FPushedCellButton;
    const bool onCell = aCol >= 0 && aRow >= 0;
    const bool heldFixed = held.X < TBaseGrid::FixedCols() || held.Y < TBaseGrid::FixedRows();
    bool active = (Options() & goEditing) != 0;
    TPoint base{aCol, aRow};
    if (onCell) {
        const TPoint b = BaseCell(RealColIndex(aCol), aRow);
        base = Point(DisplColIndexOf(b.X), b.Y);
        if (!FControlLook->NoDisabledButtonLook())
            active = IsCellEditable(base.X, base.Y);
    }
    // The button never stays drawn pressed once the mouse is up.
    if (!IsNode(held.Y))
        PushButton(held.X, held.Y, false);
    if ((active || FControlLook->NoDisabledButtonLook() || heldFixed) && onCell) {
        const bool header =
            (held.X < TBaseGrid::FixedCols() && FFixedAsButtons) || held.Y < TBaseGrid::FixedRows();
        if (Inside(CalcCellButtonRect(base.X, base.Y), x, y) || header)
            DoButtonClick(held.X, held.Y);
        if (HasExpand(RealColIndex(base.X), base.Y) && (Inside(CalcExpandButtonRect(base.X, base.Y), x, y) || header)) {
            const bool expanded = ToggleExpand(RealColIndex(held.X), held.Y);
            DoExpandClick(held.X, held.Y, expanded);
        }
    }
    FPushedCellButton = Point(-1, -1);
    SetMouseCapture(false);
}

void TExStringGrid::HandleLButtonUpMessage(TMessage& m)
{
    const int x = SignedLowWord(m.LParam), y = SignedHighWord(m.LParam);
    const TShiftState shift = MessageShift(m);
    const TGridState stateAtRelease = GridState();
    // Column sizing of either kind shows the column-sizing cursor.
    const bool colSizing = stateAtRelease == gsColSizing || FSizingFixed;
    const bool sizedOrMoved = stateAtRelease == gsColSizing || stateAtRelease == gsRowSizing ||
                              stateAtRelease == gsColMoving || stateAtRelease == gsRowMoving || FSizingFixed ||
                              FSizingFixedR;

    ColSizeFlg = false;
    FMouseDown = false;
    FMouseKeepDown = false;
    FMouseDownMove = false;
    FMouseSelectMode = msNormal;
    if (FCtrlDown) {
        FCtrlDown = false;
        if (FCtrlXY.X >= 0 && FCtrlXY.Y >= 0 && FCtrlXY.X < ColCount() && FCtrlXY.Y < RowCount())
            TBaseGrid::RepaintCell(FCtrlXY.X, FCtrlXY.Y);
    }
    if (FLook == glListView) {
        RepaintRow(0);
        if (TBaseGrid::FixedCols() > 0)
            RepaintCol(0);
    }
    FMouseSelectStart = -1;
    if (!Designing())
        HideMoveArrows();

    EndFixedSizing(x, y);

    if (FFixedCellPushed) {
        FFixedCellPushed = false;
        const TPoint held = FPushedCellButton;
        if (held.X >= 0 && held.Y >= 0 && held.X < ColCount() && held.Y < RowCount())
            TBaseGrid::RepaintCell(held.X, held.Y);
    }

    int aCol = -1, aRow = -1;
    MouseToCell(x, y, aCol, aRow);
    ReleaseHeldButton(x, y, aCol, aRow);

    if (ScrollHintShown())
        HideScrollHint();

    if (aCol >= 0 && aRow >= 0 &&
        (Inside(CalcCellButtonRect(aCol, aRow), x, y) || Inside(CalcExpandButtonRect(aCol, aRow), x, y))) {
        // Nothing the press left may keep running.
        if (GridState() != gsNormal)
            SetGridState(gsNormal);
        return;
    }

    const bool onHeader =
        aCol >= 0 && aRow >= 0 && (aRow < TBaseGrid::FixedRows() || aCol < TBaseGrid::FixedCols());
    if (onHeader && FDoOnClick && !(aRow < TBaseGrid::FixedRows() && colSizing))
        Click();
    FDoOnClick = false;

    if (GridState() == gsSelecting) {
        SetGridState(gsNormal);
        Click();
    }

    const bool onCell = aCol >= 0 && aRow >= 0;
    const int fixedRows = TBaseGrid::FixedRows();
    if (FSelectionClick) {
        FSelectionClick = false;
        if (onCell && aCol >= TBaseGrid::FixedCols() && aRow >= fixedRows) {
            const bool ctrl = (shift & ssCtrl) || FMouseActions->DisjunctRowSelectNoCtrl();
            if (FMouseActions->DisjunctRowSelect() && ctrl) {
                SetRowSelect(RealRowIndex(aRow), !GetRowSelect(RealRowIndex(aRow)));
                if (OnMouseUp)
                    OnMouseUp(this, mbLeft, ssCtrl, aCol, aRow);
                return;
            }
            if (FMouseActions->DisjunctRowSelect())
                ClearRowSelect();
            TBaseGrid::RepaintCell(0, Row());
            if (Options() & goRowSelect)
                SetSelection(TGridRect{TBaseGrid::FixedCols(), aRow, ColCount() - 1, aRow});
            else
                SetSelection(TGridRect{aCol, aRow, aCol, aRow});
            TBaseGrid::RepaintCell(0, Row());
        }
    }

    bool deselected = false;
    if (FMouseActions->DisjunctRowSelect() && onCell && !(aCol == 0 && IsNode(aRow))) {
        if (!(aCol == 0 && FMouseActions->HotmailRowSelect()))
            SyncRowSelectWithSelection(false);
        if (aRow >= fixedRows && aRow < RowCount() - FFixedFooters && FDeselectState) {
            SetRowSelect(FMouseActions->RowSelectPersistent() ? RealRowIndex(aRow) : aRow, false);
            FSelChange = false;
            deselected = true;
        }
        if (FMouseActions->HotmailRowSelect())
            TBaseGrid::RepaintCell(0, 0);
        FDeselectState = false;
    }
    if (FGrouping->AutoSelectGroup() && onCell && aCol > 0 && aRow >= fixedRows && IsNode(aRow) &&
        !GetNodeState(aRow))
        SelectGroupOf(aRow);
    if (FMouseActions->DisjunctColSelect() && onCell) {
        SyncColSelectWithSelection(false);
        if (aCol >= TBaseGrid::FixedCols() && FDeselectState)
            SetColSelect(aCol, false);
        FDeselectState = false;
    }

    bool moveEnded = false;
    if (FEnhRowColMove && HeaderMoveRunning()) {
        // Drops the moved column or row and puts the move's windows away.
        EndHeaderMove();
        moveEnded = true;
    }

    TBaseGrid::WndProc(m);
    if (deselected)
        FSelChange = false;
    if (GridState() == gsSelecting)
        SetGridState(gsNormal);

    if (FMouseResize) {
        const TGridRect orig = FDropSelection;
        const TGridRect now = Selection();
        if (OnSelectionResize)
            OnSelectionResize(this, orig, now);
        const TGridOptions o = Options();
        SetOptions(o & ~goEditing);
        PasteSelectionFromClipboard();
        SetOptions(o);
        FMouseResize = false;
        if (OnSelectionResized)
            OnSelectionResized(this, orig, now);
    }

    if (sizedOrMoved || moveEnded || !onCell)
        return;
    const int realCol = RealColIndex(aCol);
    if (aCol >= TBaseGrid::FixedCols() || FSortSettings->FixedCols()) {
        if (HasCheckBox(realCol, aRow)) {
            bool state = false;
            GetCheckBoxState(realCol, RealRowIndex(aRow), state);
            if (OnCheckBoxMouseUp)
                OnCheckBoxMouseUp(this, realCol, aRow, state);
        } else if (IsRadio(realCol, aRow)) {
            int idx = -1;
            GetRadioIdx(realCol, aRow, idx);
            if (OnRadioMouseUp)
                OnRadioMouseUp(this, realCol, aRow, idx);
        }
    }
    if (FDblClk) {
        FDblClk = false;
        return;
    }
    SortByHeaderClick(aCol, aRow, x, y, shift, moveEnded);
}

void TExStringGrid::DoClickSort(int aCol)
{
    if (OnClickSort)
        OnClickSort(this, aCol);
}

void TExStringGrid::SortByHeaderClick(int aCol, int aRow, int x, int y, TShiftState shift, bool moveEnded)
{
    const int realCol = RealColIndex(aCol);
    const TRect r = TBaseGrid::CellRect(aCol, aRow);
    if (aRow == 0 && (Options() & goColSizing) && (x - r.Left < 4 || r.Right - x < 4))
        return;
    int pressCol = -1, pressRow = -1;
    MouseToCell(Clickposx, Clickposy, pressCol, pressRow);
    if (x > r.Right - 16) {
        if (FControlLook->FixedDropDownButton() && QueryCanShowFixedDropDown(realCol))
            return;
        if (QueryFilterList(realCol))
            return;
    }
    const int sortRow = FSortSettings->Row();
    const bool onCheckBox = HasCheckBox(realCol, aRow) && IsInCheckBox(realCol, aRow, x, y);
    const bool condition = aRow == sortRow && pressRow == sortRow && TBaseGrid::FixedRows() > 0 && !onCheckBox &&
                           FSortSettings->Show() && !moveEnded && RowCount() > 2;
    bool doSort = false;
    if (condition) {
        doSort = !IsIgnoredColumn(realCol);
        if (OnCanSort)
            OnCanSort(this, realCol, doSort);
    }
    if (!condition || !doSort) {
        if (sortRow >= 0 && sortRow < RowCount())
            TBaseGrid::RepaintCell(aCol, sortRow);
        return;
    }

    HideInplaceEdit();
    if (FSortXRef.Count() != RowCount())
        InitSortXRef();
    if (FSortSettings->AutoColumnMerge())
        SplitAllColumnCells();
    const bool keepLeft = (Options() & goRowSelect) && FNavigation->KeepHorizScroll();
    const int leftBefore = LeftCol();
    const TSortDirection initial = FSortSettings->InitSortDirection();
    QElapsedTimer timer;
    timer.start();
    if (FSortSettings->IndexShow()) {
        const bool keyHeld = FSortSettings->IndexSortKey() == ikCtrl ? (shift & ssCtrl) != 0 : (shift & ssShift) != 0;
        const bool ascending = initial == sdAscending;
        if (keyHeld) {
            if (FSortIndexes.FindIndex(realCol) < 0)
                FSortIndexes.AddIndex(realCol, ascending);
            else
                FSortIndexes.ToggleIndex(realCol);
        } else if (FSortIndexes.Count() == 1 && FSortIndexes.FindIndex(realCol) == 0) {
            FSortIndexes.ToggleIndex(realCol);
        } else {
            FSortIndexes.Clear();
            FSortIndexes.AddIndex(realCol, ascending);
        }
        if (HasNodes())
            QSortGroupIndexed();
        else
            QSortIndexed();
        FSortSettings->SetColumn(FSortIndexes.Count() > 0 ? FSortIndexes.GetSortColumns(0) : -1);
    } else {
        const bool sameColumn = FSortSettings->Column() == realCol;
        const TSortDirection leaving = FSortSettings->Direction();
        if (sameColumn) {
            FSortSettings->SetDirection(leaving == sdAscending ? sdDescending : sdAscending);
        } else {
            FSortSettings->SetDirection(initial);
            FSortSettings->SetColumn(realCol);
        }
        if (HasNodes()) {
            QSortGroup();
        } else if (sameColumn && leaving != initial && FSortSettings->UndoSort()) {
            QUnSort();
            FSortSettings->SetColumn(-1);
        } else {
            QSort();
        }
    }
    if (keepLeft && LeftCol() != leftBefore)
        SetLeftCol(leftBefore);
    SortTime = timer.elapsed();
    if (FSortSettings->AutoColumnMerge())
        MergeListedColumns();
    if (FControlList.Count() > 0)
        CellControlsUpdate();
    Invalidate();
    DoClickSort(FSortSettings->Column());
}

// ---------------------------------------------------------------------------
// Double click
// ---------------------------------------------------------------------------

void TExStringGrid::HandleLButtonDblClkMessage(TMessage& m)
{
    const int x = SignedLowWord(m.LParam), y = SignedHighWord(m.LParam);
    int aCol = -1, aRow = -1;
    MouseToCell(x, y, aCol, aRow);
    // Cleared on every way out.
    ScopeExit clearForce{[this] { FForceSel = false; }};

    if (aCol < 0) {
        if (FFixedRowAlways) {
            TBaseGrid::WndProc(m);
            return;
        }
        // Right of the last column: the last column's header.
        aCol = ColCount() - 1;
        aRow = 0;
    }
    if (aRow < 0) {
        TBaseGrid::WndProc(m);
        return;
    }
    const TPoint base = BaseCell(RealColIndex(aCol), aRow);
    if (FMouseActions->RangeSelectAndEdit() && !HasClickableControl(base.X, base.Y))
        FForceSel = true;

    const int fixedCols = TBaseGrid::FixedCols();
    if (aRow < TBaseGrid::FixedRows() && (Options() & goColSizing) && FMouseActions->AutoSizeColOnDblClick()) {
        const TRect r = TCustomGrid::CellRect(aCol, aRow);
        int sizeCol = -1;
        if (std::abs(x - r.Left) <= 3 && aCol - 1 >= fixedCols)
            sizeCol = aCol - 1;
        else if (std::abs(x - r.Right) <= 3 && aCol >= fixedCols)
            sizeCol = aCol;
        if (sizeCol >= 0) {
            FDblClk = true;
            bool allow = true;
            if (OnColumnSize)
                OnColumnSize(this, sizeCol, allow);
            if (allow) {
                AutoSizeCol(sizeCol, 0);
                if (OnEndColumnSize)
                    OnEndColumnSize(this, sizeCol);
            }
            FForceSel = false;
            TBaseGrid::WndProc(m);
            return;
        }
    }

    const int baseCol = DisplColIndexOf(base.X);
    if (Inside(CalcCellButtonRect(baseCol, base.Y), x, y) || Inside(CalcExpandButtonRect(baseCol, base.Y), x, y))
        return;
    if (HasClickableControl(base.X, base.Y)) {
        TBaseGrid::WndProc(m);
        return;
    }

    TBaseGrid::WndProc(m);
    int c = -1, r = -1;
    MouseToCell(x, y, c, r);
    if (OnDblClickCell)
        OnDblClickCell(this, r, c);

    if (FMouseActions->EditOnDblClickOnly()) {
        const bool rsae = FMouseActions->RangeSelectAndEdit();
        FMouseActions->SetRangeSelectAndEdit(true);
        if (IsEditable(aCol, aRow)) {
            SetOptions(Options() | goEditing);
            FOldCol = aCol;
            FOldRow = aRow;
            ShowInplaceEdit();
        }
        FMouseActions->SetRangeSelectAndEdit(rsae);
    } else if (FMouseActions->RangeSelectAndEdit() && IsCellEditable(aCol, aRow)) {
        SetOptions(Options() | goEditing);
        const TRect br = TBaseGrid::CellRect(baseCol, base.Y);
        MouseDown(mbLeft, 0, br.Left + 4, br.Top + 4);
    }
    FForceSel = false;
    if (OpensFixedCellEdit(aCol, aRow, x, y, fceDblClick))
        StartFixedCellEdit(aCol, aRow);
}

// A header row with FixedRowsEdit, or a fixed column with FixedColsEdit, of
// that kind; with sizing on, only away from the borders.
bool TExStringGrid::OpensFixedCellEdit(int aCol, int aRow, int x, int y, TGridFixedCellEdit how)
{
    if (aCol < 0 || aRow < 0 || aCol >= ColCount() || aRow >= RowCount())
        return false;
    const bool headerRow = aRow < TBaseGrid::FixedRows() && FMouseActions->FixedRowsEdit() == how;
    const bool fixedCol = aCol < TBaseGrid::FixedCols() && FMouseActions->FixedColsEdit() == how;
    if (!headerRow && !fixedCol)
        return false;
    const bool sizing = headerRow ? (Options() & goColSizing) != 0 : (Options() & goRowSizing) != 0;
    if (!sizing)
        return true;
    const TRect r = TBaseGrid::CellRect(aCol, aRow);
    return x > r.Left + 4 && x < r.Right - 4 && y > r.Top + 4 && y < r.Bottom - 4;
}

// ---------------------------------------------------------------------------
// Right button
// ---------------------------------------------------------------------------

void TExStringGrid::SelectGroupOf(int aRow)
{
    const int span = GetNodeSpan(aRow);
    const int last = std::min(aRow + span - 1, RowCount() - FFixedFooters - 1);
    if (span < 1 || last < aRow)
        return;
    if (FMouseActions->DisjunctRowSelect()) {
        for (int r = aRow + 1; r <= last; ++r)
            SetRowSelect(FMouseActions->RowSelectPersistent() ? RealRowIndex(r) : r, true);
        return;
    }
    const int fixedCols = TBaseGrid::FixedCols();
    SetSelection(TGridRect{fixedCols, aRow, std::max(fixedCols, ColCount() - 1 - FFixedRightCols), last});
}

void TExStringGrid::HandleRButtonDownMessage(TMessage& m)
{
    const int x = SignedLowWord(m.LParam), y = SignedHighWord(m.LParam);
    const TShiftState shift = MessageShift(m);
    TBaseGrid::WndProc(m);
    int aCol = -1, aRow = -1;
    MouseToCell(x, y, aCol, aRow);
    const bool normal = aCol >= TBaseGrid::FixedCols() && aRow >= TBaseGrid::FixedRows() && !IsFixed(aCol, aRow);
    if (FMouseActions->SelectOnRightClick() && normal &&
        !(FMouseActions->DisjunctCellSelect() && IsSelected(aCol, aRow))) {
        const TPoint base = BaseCell(RealColIndex(aCol), aRow);
        if (!HasClickableControl(base.X, base.Y)) {
            if (OnRightClickCell) {
                FocusCell(aCol, aRow);
            } else {
                MouseDown(mbLeft, shift & ~ssRight, x, y);
                MouseUp(mbLeft, shift & ~ssRight, x, y);
            }
        }
        if (IsSelected(aCol, aRow)) {
            bool canSelect = true;
            if (OnSelectCell)
                OnSelectCell(this, aCol, aRow, canSelect);
        } else {
            const int leftBefore = LeftCol();
            MoveColRow(DisplColIndexOf(base.X), base.Y, true, true);
            if (FNavigation->KeepHorizScroll() && LeftCol() != leftBefore)
                SetLeftCol(leftBefore);
        }
        if (FMouseActions->DisjunctRowSelect()) {
            const int flagRow = RealRowIndex(aRow);
            if ((shift & ssCtrl) || FMouseActions->DisjunctRowSelectNoCtrl()) {
                SetRowSelect(flagRow, !GetRowSelect(flagRow));
            } else if (RowSelectCount() > 1 && PopupMenu()) {
                // A flagged row keeps the rows flagged for the menu; any
                // other row is flagged alone.
                if (!GetRowSelect(flagRow)) {
                    ClearRowSelect();
                    SetRowSelect(flagRow, true);
                }
            } else {
                ClearRowSelect();
                SetRowSelect(flagRow, true);
            }
        }
    }
    if (OnRightClickCell)
        OnRightClickCell(this, aRow, aCol);
    // A link is followed by the left button; the right one edits it.
    if (FURLShow && FURLEdit && aCol >= 0 && aRow >= 0 && aCol < ColCount() && aRow < RowCount() &&
        IsURL(GetCellEx(RealColIndex(aCol), aRow))) {
        MoveColRow(aCol, aRow, true, true);
        ShowEditor();
    }
}

void TExStringGrid::HandleRButtonUpMessage(TMessage& m)
{
    if (FEnhRowColMove && HeaderMoveRunning()) {
        m.Result = 0;
        return;
    }
    const int x = SignedLowWord(m.LParam), y = SignedHighWord(m.LParam);
    TBaseGrid::WndProc(m);
    // The context menu opens where the button came up.
    if (TPopupMenu* menu = PopupMenu()) {
        const QPoint at = ClientSurface()->mapToGlobal(QPoint(x, y));
        menu->Popup(at.x(), at.y());
    }
}

TPopupMenu* TExStringGrid::PopupMenu() const { return static_cast<TPopupMenu*>(FPopupMenu.data()); }

void TExStringGrid::SetPopupMenu(TPopupMenu* v)
{
    FPopupMenu = v;
    if (v)
        FreeNotification(v);
}

void TExStringGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    // While designing, a release only feeds the quick configuration panel.
    if (Designing()) {
        TBaseGrid::MouseUp(button, shift, x, y);
        DesignPanelClick(x, y);
        return;
    }
    const bool selectionEvent =
        button == mbLeft || (button == mbRight && FMouseActions->SelectOnRightClick());
    // A release on a filter button opens its drop-down; any other closes it.
    FilterDropDownMouseUp(button, x, y);
    FDropDownDown = false;
    if ((GridState() == gsColSizing && x > ClientWidth()) || (GridState() == gsRowSizing && y > ClientHeight())) {
        SetGridState(gsNormal);
        return;
    }

    int aCol = -1, aRow = -1;
    MouseToCell(x, y, aCol, aRow);
    const bool onCell = aCol >= 0 && aRow >= 0;
    if (FMouseActions->DisjunctCellSelect()) {
        if (button == mbLeft && onCell) {
            const TPoint b = BaseCell(RealColIndex(aCol), aRow);
            const int bc = DisplColIndexOf(b.X), br = b.Y;
            if (bc >= TBaseGrid::FixedCols() && br >= TBaseGrid::FixedRows() && !IsFixed(bc, br)) {
                bool canSelect = true;
                if (OnSelectCell)
                    OnSelectCell(this, bc, br, canSelect);
                if (!canSelect)
                    return;
                if (shift & ssShift) {
                    SetSelectedCells(bc, br, true);
                } else if (shift & ssCtrl) {
                    SetSelectedCells(bc, br, !GetSelectedCells(bc, br));
                } else {
                    FSelectedCells.Clear();
                    SetSelectedCells(bc, br, true);
                }
                const TGridRect s = Selection();
                if (s.Left != s.Right || s.Top != s.Bottom)
                    for (int r = s.Top; r <= s.Bottom; ++r)
                        for (int c = s.Left; c <= s.Right; ++c)
                            if (!GetSelectedCells(c, r))
                                SetSelectedCells(c, r, true);
                TBaseGrid::RepaintCell(bc, br);
            }
        } else if (button == mbRight && onCell && !(shift & ssCtrl) && !IsFixed(aCol, aRow) &&
                   aCol >= TBaseGrid::FixedCols() && aRow >= TBaseGrid::FixedRows()) {
            FSelectedCells.Clear();
            Invalidate();
        }
    }

    if (selectionEvent) {
        const TGridRect s = Selection();
        DoSelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
    }
    if (HeaderMoveRunning() && button == mbRight)
        return;
    const TGridRect before = Selection();
    TBaseGrid::MouseUp(button, shift, x, y);
    if (FFixedCellDown) {
        FFixedCellDown = false;
        if (onCell && aRow == TBaseGrid::FixedRows() - 1 && IsHoverFixedCell(aCol, aRow) &&
            FControlLook->FixedGradientDownTo() != clNone)
            TBaseGrid::RepaintCell(aCol, aRow);
    }
    const TGridRect after = Selection();
    if (selectionEvent && !(after == before))
        DoSelectionChanged(after.Left, after.Top, after.Right, after.Bottom);
}

// ---------------------------------------------------------------------------
// The cursor
// ---------------------------------------------------------------------------

void TExStringGrid::HandleSetCursorMessage(TMessage& m)
{
    const int x = SignedLowWord(m.LParam), y = SignedHighWord(m.LParam);
    const bool sizing = GridState() == gsColSizing || GridState() == gsRowSizing || FSizingFixed || FSizingFixedR;
    if (FMouseSelectMode != msNormal && FMouseSelectMode != msURL && !sizing) {
        ClientSurface()->setCursor(SelectModeCursor(FMouseSelectMode));
    } else {
        TBaseGrid::WndProc(m);
        int aCol = -1, aRow = -1;
        MouseToCell(x, y, aCol, aRow);
        if (aCol >= 0 && aRow >= 0 && GridState() == gsNormal && !IsSizingPoint(x, y))
            QueryCellCursor(aCol, aRow, x, y);
    }
    if (FSizeFixed || FSizingFixed)
        SetTemporaryCursor(crHSplit);
    else if (FSizeFixedR || FSizingFixedR)
        SetTemporaryCursor(crVSplit);
}
