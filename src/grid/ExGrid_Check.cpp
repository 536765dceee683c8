// Check-box and radio cells: how each kind keeps its state, and the
// operations that create, read, set, toggle and remove them.
#include "grid/ExGrid.h"

#include <algorithm>

using namespace platform;

namespace {

bool IsCheckBoxKind(TCellType t)
{
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox ||
           t == ctTriStateCheckBox;
}

// Check boxes whose state is the cell text.
bool IsTextCheckKind(TCellType t) { return t == ctDataCheckBox || t == ctVirtCheckBox; }

} // namespace

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------

void TExStringGrid::CheckCellBounds(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0 || aCol >= ColCount() + NumHiddenColumns() || aRow >= RowCount() + NumHiddenRows())
        throw REruVidaZuvez(QStringLiteral("Invalid cell"));
}

TCellVAlign TExStringGrid::CheckVAlign() const
{
    switch (FVAlignment) {
    case vtaCenter: return vaCenter;
    case vtaBottom: return vaBottom;
    default: return vaTop;
    }
}

int TExStringGrid::FirstCheckRow() const { return FMouseActions->CheckAllCheck() ? 0 : TBaseGrid::FixedRows(); }

TCellGraphic* TExStringGrid::CheckGraphicOfRealRow(int aCol, int aRow, int& displayRow)
{
    displayRow = -1;
    if (aCol < 0 || aRow < 0)
        return nullptr;
    if (NumHiddenRows() == 0) {
        displayRow = aRow;
        return GetCellGraphic(aCol, aRow);
    }
    if (IsHiddenRow(aRow)) {
        const auto* props = dynamic_cast<const TCellProperties*>(GetGridObjectsEx(aCol, aRow));
        if (auto* g = dynamic_cast<TCellGraphic*>(GraphicObjectOf(props)))
            return g;
        // The answered check boxes (column grid, row selection) are never
        // stored; any stored object found here belongs to a visible row.
        TCellGraphic* shared = GetCellGraphic(aCol, RowRealToDispl(aRow));
        if (shared && (shared->CellType == ctVirtCheckBox || shared->CellType == ctRowCheckBox) &&
            shared != GetGraphicObjectEx(aCol, RowRealToDispl(aRow)))
            return shared;
        return nullptr;
    }
    displayRow = RowRealToDispl(aRow);
    return GetCellGraphic(aCol, displayRow);
}

QString TExStringGrid::CheckCellText(int aCol, int aRow)
{
    if (const TStringObjectList* cells = HiddenRowTexts(aRow))
        return aCol < cells->Count() ? cells->Strings(aCol) : QString();
    return GetCellEx(aCol, RowRealToDispl(aRow));
}

void TExStringGrid::SetCheckCellText(int aCol, int aRow, const QString& value) { SetCellsEx(aCol, aRow, value); }

// A new check box or radio button in a cell inside the grid, before the text.
TCellGraphic* TExStringGrid::NewToggleGraphic(int aCol, int aRow, TCellType kind)
{
    CheckCellBounds(aCol, aRow);
    TCellGraphic* g = NewCellGraphic(aCol, aRow);
    if (!g)
        return nullptr;
    g->CellType = kind;
    g->CellHAlign = haBeforeText;
    g->CellVAlign = CheckVAlign();
    g->CellTransparent = true;
    g->CellAngle = 0;
    return g;
}

// ---------------------------------------------------------------------------
// Check boxes
// ---------------------------------------------------------------------------

void TExStringGrid::AddCheckBox(int aCol, int aRow, bool state, bool data)
{
    TCellGraphic* g = NewToggleGraphic(aCol, aRow, data ? ctDataCheckBox : ctCheckBox);
    if (!g)
        return; // an application object holds the cell
    g->CellBoolean = state;
    if (data) {
        // The texts the cell is read with, so that the box shows the state given.
        QString checkTrue, checkFalse;
        QueryCheckTrue(aCol, aRow, checkTrue);
        QueryCheckFalse(aCol, aRow, checkFalse);
        const QString text = GetCellEx(aCol, aRow);
        if (text != checkTrue && text != checkFalse)
            SetCellEx(aCol, aRow, state ? checkTrue : checkFalse);
    }
}

void TExStringGrid::AddCheckBox(int aCol, int aRow, TCheckBoxState state)
{
    TCellGraphic* g = NewToggleGraphic(aCol, aRow, ctTriStateCheckBox);
    if (!g)
        return;
    g->CellCheckBoxState = state;
    g->CellBoolean = false;
}

void TExStringGrid::AddCheckBoxColumn(int aCol, bool defaultState, bool dataCheckBox)
{
    for (int r = FirstCheckRow(); r < RowCount(); ++r) {
        if (GetCellType(0, r) == ctSummary)
            continue;
        if (IsNode(r))
            AddCheckBox(aCol, r, false, false);
        else
            AddCheckBox(aCol, r, defaultState, dataCheckBox);
    }
}

void TExStringGrid::AddTriStateCheckBoxColumn(int aCol, TCheckBoxState state)
{
    for (int r = FirstCheckRow(); r < RowCount(); ++r)
        AddCheckBox(aCol, r, state);
}

void TExStringGrid::RemoveCheckBox(int aCol, int aRow)
{
    // Only stored objects: the answered check boxes have none to remove.
    const auto* g = dynamic_cast<const TCellGraphic*>(GetGraphicObjectEx(aCol, aRow));
    if (g && (g->CellType == ctCheckBox || g->CellType == ctDataCheckBox || g->CellType == ctTriStateCheckBox))
        RemoveCellGraphic(aCol, aRow); // an attached balloon goes with the object
}

void TExStringGrid::RemoveCheckBoxColumn(int aCol)
{
    for (int r = FirstCheckRow(); r < RowCount(); ++r)
        if (HasCheckBox(aCol, r))
            RemoveCheckBox(aCol, r);
}

bool TExStringGrid::IsInCheckBox(int aCol, int aRow, int xPos, int yPos)
{
    const TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g || !(IsCheckBoxKind(g->CellType) || g->CellType == ctRadioButton))
        return false;
    if (!FMouseActions->PreciseCheckBoxCheck())
        return true;
    const int side = FControlLook->CheckSize();
    const TRect r = CellRect(DisplColIndexOf(aCol), aRow);
    int top = r.Top + 2;
    if (g->CellVAlign == vaBottom)
        top = r.Bottom - side - 2;
    else if (g->CellVAlign == vaCenter)
        top = r.Top + (r.Height() - side) / 2;
    TAlignment hAlign = taLeftJustify;
    TVAlignment vAlign = vtaTop;
    ResolveCellAlignment(aCol, aRow, hAlign, vAlign);
    int left = r.Left + 2;
    if (hAlign == taRightJustify) {
        left = r.Right - side - 2;
        // Text stands right of a plain box; a data box's text is not shown.
        const QString text = GetCellEx(aCol, aRow);
        const bool dataKind = g->CellType == ctDataCheckBox || g->CellType == ctVirtCheckBox ||
                              g->CellType == ctRowCheckBox;
        if (!text.isEmpty() && !dataKind) {
            TCanvas& canvas = Canvas();
            const TFont saved = canvas.Font();
            canvas.SetFont(GetCellFont(aCol, aRow));
            left -= canvas.TextWidth(text);
            canvas.SetFont(saved);
        }
    } else if (hAlign == taCenter) {
        left = r.Left + (r.Width() - side) / 2;
    }
    return xPos >= left && xPos < left + side && yPos >= top && yPos < top + side;
}

bool TExStringGrid::HasCheckBox(int aCol, int aRow)
{
    return HasCellTypeIn(aCol, aRow, {ctCheckBox, ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox, ctTriStateCheckBox});
}

bool TExStringGrid::HasDataCheckBox(int aCol, int aRow)
{
    return HasCellTypeIn(aCol, aRow, {ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox});
}

bool TExStringGrid::HasClickableControl(int aCol, int aRow)
{
    return HasCellTypeIn(aCol, aRow,
                         {ctCheckBox, ctDataCheckBox, ctRadio, ctButton, ctVirtCheckBox, ctRowCheckBox, ctRadioButton,
                          ctTriStateCheckBox});
}

bool TExStringGrid::HasDataGraphic(int aCol, int aRow)
{
    return HasCellTypeIn(aCol, aRow, {ctDataCheckBox, ctDataImage, ctVirtCheckBox, ctRowCheckBox});
}

bool TExStringGrid::GetCheckBoxState(int aCol, int aRow, bool& state)
{
    int displayRow = -1;
    const TCellGraphic* g = CheckGraphicOfRealRow(aCol, aRow, displayRow);
    if (!g)
        return false;
    switch (g->CellType) {
    case ctCheckBox: state = g->CellBoolean; return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        QString checkTrue;
        QueryCheckTrue(aCol, displayRow >= 0 ? displayRow : RowRealToDispl(aRow), checkTrue);
        state = CheckCellText(aCol, aRow) == checkTrue;
        return true;
    }
    case ctRowCheckBox:
        if (aCol != 0)
            return false;
        state = displayRow >= 0 ? g->CellBoolean : GetRowSelect(aRow);
        return true;
    case ctTriStateCheckBox:
        // Read as a boolean, only a checked tri-state box is checked.
        state = g->CellCheckBoxState == cbChecked;
        return true;
    default: return false;
    }
}

bool TExStringGrid::GetCheckBoxState(int aCol, int aRow, TCheckBoxState& state)
{
    int displayRow = -1;
    const TCellGraphic* g = CheckGraphicOfRealRow(aCol, aRow, displayRow);
    if (g && g->CellType == ctTriStateCheckBox) {
        state = g->CellCheckBoxState;
        return true;
    }
    bool checked = false;
    if (!GetCheckBoxState(aCol, aRow, checked))
        return false;
    state = BoolToCheckBoxState(checked);
    return true;
}

bool TExStringGrid::IsChecked(int aCol, int aRow)
{
    bool state = false;
    GetCheckBoxState(aCol, aRow, state);
    return state;
}

bool TExStringGrid::SetCheckBoxState(int aCol, int aRow, bool state)
{
    int displayRow = -1;
    TCellGraphic* g = CheckGraphicOfRealRow(aCol, aRow, displayRow);
    if (!g)
        return false;
    switch (g->CellType) {
    case ctCheckBox:
        g->CellBoolean = state;
        if (displayRow >= 0)
            RepaintCell(DisplColIndexOf(aCol), displayRow);
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        const int row = displayRow >= 0 ? displayRow : RowRealToDispl(aRow);
        QString text;
        if (state)
            QueryCheckTrue(aCol, row, text);
        else
            QueryCheckFalse(aCol, row, text);
        SetCheckCellText(aCol, aRow, text);
        return true;
    }
    case ctRowCheckBox:
        if (aCol != 0)
            return false;
        SetRowSelect(aRow, state);
        return true;
    default: return false;
    }
}

bool TExStringGrid::SetCheckBoxState(int aCol, int aRow, TCheckBoxState state)
{
    int displayRow = -1;
    TCellGraphic* g = CheckGraphicOfRealRow(aCol, aRow, displayRow);
    if (!g || g->CellType != ctTriStateCheckBox)
        return false;
    g->CellCheckBoxState = state;
    if (displayRow >= 0)
        RepaintCell(DisplColIndexOf(aCol), displayRow);
    return true;
}

void TExStringGrid::ApplyCheckBoxState(int aCol, int aRow, bool state)
{
    const int realRow = RealRowIndex(aRow);
    int displayRow = -1;
    TCellGraphic* g = CheckGraphicOfRealRow(aCol, realRow, displayRow);
    if (!g)
        return;
    const TCellType type = g->CellType;
    if (type != ctCheckBox && !IsTextCheckKind(type) && !(type == ctRowCheckBox && aCol == 0))
        return;
    bool old = false;
    GetCheckBoxState(aCol, realRow, old);
    // A data check box's text is normalised to a check text even when its
    // state stays (a text other than the check-true text reads unchecked).
    if (old == state && !IsTextCheckKind(type))
        return;
    SetCheckBoxState(aCol, realRow, state);
    if (old != state)
        DoCheckBoxChange(aCol, aRow, state);
}

void TExStringGrid::CheckAll(int aCol)
{
    for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r)
        ApplyCheckBoxState(aCol, r, true);
    if (NumHiddenColumns() > 0)
        RepaintCol(DisplColIndexOf(aCol));
}

void TExStringGrid::UnCheckAll(int aCol)
{
    for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r)
        ApplyCheckBoxState(aCol, r, false);
}

bool TExStringGrid::ToggleCellCheck(int aCol, int aRow, bool fromUser)
{
    TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g || !IsCheckBoxKind(g->CellType))
        return false;
    if (fromUser && !FControlLook->CheckAlwaysActive()) {
        bool canEdit = true;
        QueryCanEdit(aCol, aRow, canEdit);
        if (!canEdit)
            return false;
        // The handler may have changed the cell.
        g = GetCellGraphic(aCol, aRow);
        if (!g || !IsCheckBoxKind(g->CellType))
            return false;
    }
    const QString oldText = GetCellEx(aCol, aRow);
    bool newState = false;
    switch (g->CellType) {
    case ctCheckBox:
        g->CellBoolean = !g->CellBoolean;
        newState = g->CellBoolean;
        break;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        QString checkTrue, checkFalse;
        QueryCheckTrue(aCol, aRow, checkTrue);
        QueryCheckFalse(aCol, aRow, checkFalse);
        newState = oldText != checkTrue;
        SetCellEx(aCol, aRow, newState ? checkTrue : checkFalse);
        break;
    }
    case ctRowCheckBox:
        // The row check box shows the row's selection: that is what toggles.
        newState = !g->CellBoolean;
        SetRowSelect(RealRowIndex(aRow), newState);
        break;
    case ctTriStateCheckBox:
        switch (g->CellCheckBoxState) {
        case cbUnchecked:
            // A group's node box goes straight to checked: gray is only
            // what a mixed group shows.
            g->CellCheckBoxState = FGrouping->AutoCheckGroup() && IsNode(aRow) ? cbChecked : cbGrayed;
            break;
        case cbGrayed: g->CellCheckBoxState = cbChecked; break;
        default: g->CellCheckBoxState = cbUnchecked; break;
        }
        newState = g->CellCheckBoxState == cbChecked;
        break;
    default: return false;
    }
    const QString newText = GetCellEx(aCol, aRow);
    RepaintCell(DisplColIndexOf(aCol), aRow);
    DoCheckBoxChange(aCol, aRow, newState);
    if (FGrouping->AutoCheckGroup())
        CheckGroupOf(aCol, aRow, newState);
    // The undo component restores texts: only a change of the text is
    // recorded, with the texts the cell really had and has.
    if (TExGridUndoRedo* undo = UndoRedo(); undo && newText != oldText)
        undo->RegisterChange(aCol, aRow, oldText, newText);
    return true;
}

void TExStringGrid::CheckGroupOf(int aCol, int aRow, bool state)
{
    if (IsNode(aRow)) {
        // A contracted group's rows are hidden right after the node's real
        // row; an expanded group's rows follow its display row.
        const int span = GetNodeSpan(aRow);
        const bool contracted = GetNodeState(aRow);
        for (int e = 1; e < span && (contracted || aRow + e < RowCount()); ++e) {
            const int row = contracted ? RealRowIndex(aRow) + e : RealRowIndex(aRow + e);
            SetCheckBoxState(aCol, row, state);
        }
        return;
    }
    const int parent = GetParentRow(aRow);
    if (parent < 0 || !IsNode(parent))
        return;
    const int span = GetNodeSpan(parent);
    if (span < 2 || parent + span - 1 >= RowCount())
        return;
    const bool first = IsChecked(aCol, RealRowIndex(parent + 1));
    bool mixed = false;
    for (int r = parent + 2; r < parent + span && !mixed; ++r)
        mixed = IsChecked(aCol, RealRowIndex(r)) != first;
    SetCheckBoxState(aCol, RealRowIndex(parent), mixed ? cbGrayed : BoolToCheckBoxState(first));
}

// ---------------------------------------------------------------------------
// Radio groups
// ---------------------------------------------------------------------------

void TExStringGrid::AddRadio(int aCol, int aRow, bool dirRadio, int idxRadio, QStringList* sl)
{
    TCellGraphic* g = NewCellGraphic(aCol, aRow);
    if (!g)
        return;
    g->CellType = ctRadio;
    g->Strings = sl;
    g->CellCreated = false;
    g->CellAngle = sl ? static_cast<int>(sl->size()) : 0;
    g->CellBoolean = dirRadio;
    g->CellIndex = idxRadio;
}

QStringList* TExStringGrid::CreateRadio(int aCol, int aRow, bool dirRadio, int idxRadio)
{
    TCellGraphic* g = NewCellGraphic(aCol, aRow);
    if (!g)
        return nullptr;
    g->CellType = ctRadio;
    g->Strings = new QStringList;
    g->CellCreated = true;
    g->CellAngle = 0;
    g->CellBoolean = dirRadio;
    g->CellIndex = idxRadio;
    return g->Strings;
}

bool TExStringGrid::GetRadioIdx(int aCol, int aRow, int& idxRadio)
{
    const TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g)
        return false;
    idxRadio = g->CellIndex;
    return g->CellType == ctRadio;
}

bool TExStringGrid::SetRadioIdx(int aCol, int aRow, int idxRadio)
{
    // Only a radio group: emptying the text of any other cell would lose its data.
    TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g || g->CellType != ctRadio)
        return false;
    g->CellIndex = idxRadio;
    if (idxRadio == -1)
        SetCellEx(aCol, aRow, QString());
    RepaintCell(DisplColIndexOf(aCol), aRow);
    return true;
}

QStringList* TExStringGrid::GetRadioStrings(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0)
        return nullptr;
    const TPoint base = BaseCell(aCol, aRow);
    const TCellGraphic* g = GetCellGraphic(base.X, base.Y);
    return g && g->CellType == ctRadio ? g->Strings : nullptr;
}

bool TExStringGrid::IsRadio(int aCol, int aRow) { return HasCellTypeIn(aCol, aRow, {ctRadio}); }

void TExStringGrid::RemoveRadio(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctRadio); }

// The cell's object of that kind when the cell may change; the object is
// fetched again after the can-edit question, whose handlers may replace it.
TCellGraphic* TExStringGrid::GraphicAllowedToChange(int aCol, int aRow, TCellType kind, bool askCanEdit)
{
    TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g || g->CellType != kind)
        return nullptr;
    if (askCanEdit) {
        bool canEdit = true;
        QueryCanEdit(aCol, aRow, canEdit);
        if (!canEdit)
            return nullptr;
        g = GetCellGraphic(aCol, aRow);
        if (!g || g->CellType != kind)
            return nullptr;
    }
    return g;
}

bool TExStringGrid::SelectNextRadio(int aCol, int aRow, bool checkEdit)
{
    TCellGraphic* g = GraphicAllowedToChange(aCol, aRow, ctRadio, checkEdit && !FControlLook->RadioAlwaysActive());
    if (!g)
        return false;
    // The items as they are now (a created list is filled after creation).
    const QStringList* items = g->Strings;
    const int count = items ? static_cast<int>(items->size()) : 0;
    if (count == 0)
        return false;
    int current = g->CellIndex;
    if (current < 0)
        current = static_cast<int>(items->indexOf(GetCellEx(aCol, aRow)));
    int next = current + 1;
    if (next < 0 || next >= count)
        next = 0;
    if (g->CellIndex >= -1)
        g->CellIndex = next;
    g->CellVar = next;
    SetCellEx(aCol, aRow, items->at(next));
    RepaintCell(DisplColIndexOf(aCol), aRow);
    return true;
}

// ---------------------------------------------------------------------------
// Radio buttons
// ---------------------------------------------------------------------------

void TExStringGrid::AddRadioButton(int aCol, int aRow, bool state)
{
    TCellGraphic* g = NewToggleGraphic(aCol, aRow, ctRadioButton);
    if (!g)
        return;
    g->CellBoolean = state;
}

void TExStringGrid::AddRadioButtonColumn(int aCol)
{
    for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r)
        AddRadioButton(aCol, r, false);
}

void TExStringGrid::RemoveRadioButton(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctRadioButton); }

void TExStringGrid::RemoveRadioButtonColumn(int aCol)
{
    for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r)
        RemoveRadioButton(aCol, r);
}

bool TExStringGrid::HasRadioButton(int aCol, int aRow) { return HasCellTypeIn(aCol, aRow, {ctRadioButton}); }

bool TExStringGrid::IsRadioButtonChecked(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0)
        return false;
    const TPoint base = BaseCell(aCol, aRow);
    const TCellGraphic* g = GetCellGraphic(base.X, base.Y);
    return g && g->CellType == ctRadioButton && g->CellBoolean;
}

bool TExStringGrid::SetRadioButtonState(int aCol, int aRow, bool state)
{
    if (aCol < 0 || aRow < 0)
        return false;
    const TPoint base = BaseCell(aCol, aRow);
    TCellGraphic* g = GetCellGraphic(base.X, base.Y);
    if (!g || g->CellType != ctRadioButton)
        return false;
    if (g->CellBoolean != state) {
        g->CellBoolean = state;
        RepaintCell(DisplColIndexOf(base.X), base.Y);
    }
    return true;
}

void TExStringGrid::SetRadioButtonColumnIndex(int aCol, int index)
{
    for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r)
        SetRadioButtonState(aCol, r, r == index);
}

int TExStringGrid::GetRadioButtonColumnIndex(int aCol)
{
    for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r)
        if (IsRadioButtonChecked(aCol, r))
            return r;
    return -1;
}

bool TExStringGrid::SelectCellRadioButton(int aCol, int aRow, bool fromUser)
{
    TCellGraphic* g =
        GraphicAllowedToChange(aCol, aRow, ctRadioButton, fromUser && !FControlLook->CheckAlwaysActive());
    if (!g)
        return false;
    if (!g->CellBoolean) {
        g->CellBoolean = true;
        RepaintCell(DisplColIndexOf(aCol), aRow);
    }
    // One button of a column is on.
    for (int r = 0; r < RowCount(); ++r) {
        if (r == aRow)
            continue;
        TCellGraphic* other = GetCellGraphic(aCol, r);
        if (other && other->CellType == ctRadioButton && other->CellBoolean) {
            other->CellBoolean = false;
            RepaintCell(DisplColIndexOf(aCol), r);
        }
    }
    return true;
}
