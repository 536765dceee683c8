// The row operations of the rule grids and their row clipboard. Column 0 (the
// row number) and row 0 (the header) are never touched; cells are addressed by
// real column, so a hidden column moves, clears, copies and pastes with its row.
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "grid/ExCGrid.h"
#include "platform/Dialogs.h"

using namespace platform;

namespace {

// Not from the language table: its entries are fixed, and none says this.
const char* const kInsertWouldLoseLastRow =
    "Error!!! The last row of the table is in use and would be lost. Delete a row before inserting one";

int Data_Columns(TExStringGrid* grid) { return grid->ColCount() + grid->NumHiddenColumns() - 1; }

bool Is_Rule_Row(TExStringGrid* grid, int row) { return grid && row >= 1 && row < grid->RowCount(); }

void Show_Error(int entry) { ShowMessage(MessageKind::Error, Language_List.value(entry), MessageButtons::Ok); }

bool Confirm_Overwrite()
{
    return ShowMessage(MessageKind::Confirmation, Language_List.value(1100), MessageButtons::YesNo)
           == MessageAnswer::Yes;
}

// A column grid's row is in use when a column that is not a check box holds
// text other than blanks; a check box's text is only its state.
bool Column_Row_Used(VOruVizizaZezo* grid, int row)
{
    const TGridColumnCollection& columns = grid->Columns();
    for (int c = 1; c <= Data_Columns(grid); ++c) {
        const bool check = c < columns.Count() && columns.GetItem(c)->Editor() == edDataCheckBox;
        if (!check && !grid->GetCellEx(c, row).trimmed().isEmpty())
            return true;
    }
    return false;
}

// A string grid's row is in use when a cell without a check box holds any
// text, blanks included.
bool Check_Row_Used(TExStringGrid* grid, int row)
{
    for (int c = 1; c <= Data_Columns(grid); ++c)
        if (!grid->HasCheckBox(c, row) && !grid->GetCellEx(c, row).isEmpty())
            return true;
    return false;
}

void Refuse_Insert()
{
    ShowMessage(MessageKind::Error, QString::fromLatin1(kInsertWouldLoseLastRow), MessageButtons::Ok);
}

// A paste needs a copy made on this grid and a clipboard of as many columns.
bool Clipboard_Fits(TExStringGrid* grid, bool copied)
{
    if (!copied) {
        Show_Error(1102);
        return false;
    }
    if (Data_Columns(grid) != Copy_Row_List.size()) {
        Show_Error(1101);
        return false;
    }
    return true;
}

// One cell of the string-grid family moving to another: the state of a check
// box or the text, and the read-only mark.
void Move_Check_Cell(TExStringGrid* grid, int c, int from, int to)
{
    bool state = false;
    if (grid->GetCheckBoxState(c, from, state))
        grid->SetCheckBoxState(c, to, state);
    else
        grid->SetCellEx(c, to, grid->GetCellEx(c, from));
    grid->GetCellProperties(c, to)->SetReadOnly(grid->GetCellProperties(c, from)->ReadOnly());
}

// An emptied row of the string-grid family: texts cleared, check boxes
// unchecked but the first column's under the check-first flag.
void Empty_Check_Row(TExStringGrid* grid, int row, bool checkFirst, bool readOnly)
{
    for (int c = 1; c <= Data_Columns(grid); ++c) {
        if (grid->HasCheckBox(c, row))
            grid->SetCheckBoxState(c, row, checkFirst && c == 1);
        else
            grid->SetCellEx(c, row, QString());
        grid->GetCellProperties(c, row)->SetReadOnly(readOnly);
    }
}

} // namespace

void Grid_Delete_Row(int row, VOruVizizaZezo* grid)
{
    if (!Is_Rule_Row(grid, row))
        return;
    const int n = Data_Columns(grid), last = grid->RowCount() - 1;
    for (int r = row; r < last; ++r)
        for (int c = 1; c <= n; ++c)
            grid->SetCellEx(c, r, grid->GetCellEx(c, r + 1));
    for (int c = 1; c <= n; ++c)
        grid->SetCellEx(c, last, QString());
}

bool Grid_Insert_Row(int row, VOruVizizaZezo* grid, bool putY)
{
    if (!Is_Rule_Row(grid, row))
        return false;
    const int n = Data_Columns(grid), last = grid->RowCount() - 1;
    if (Column_Row_Used(grid, last)) {
        Refuse_Insert();
        return false;
    }
    for (int r = last - 1; r >= row; --r)
        for (int c = 1; c <= n; ++c)
            grid->SetCellEx(c, r + 1, grid->GetCellEx(c, r));
    for (int c = 1; c <= n; ++c)
        grid->SetCellEx(c, row, QString());
    if (putY && n >= 1)
        grid->SetCellEx(1, row, QStringLiteral("Y"));
    return true;
}

void Grid_Copy_Row(VOruVizizaZezo* grid, int row)
{
    if (!Is_Rule_Row(grid, row))
        return;
    Copy_Row_List.clear();
    for (int c = 1; c <= Data_Columns(grid); ++c)
        Copy_Row_List.append(grid->GetCellEx(c, row));
}

bool Grid_Paste_Row(VOruVizizaZezo* grid, int row, bool copied)
{
    if (!Is_Rule_Row(grid, row))
        return false;
    if (!Clipboard_Fits(grid, copied) || (Column_Row_Used(grid, row) && !Confirm_Overwrite()))
        return false;
    for (int c = 1; c <= Data_Columns(grid); ++c)
        grid->SetCellEx(c, row, Copy_Row_List[c - 1]);
    return true;
}

void Grid_Delete_Row_Check(int row, TExStringGrid* grid, bool checkFirst)
{
    if (!Is_Rule_Row(grid, row))
        return;
    const int n = Data_Columns(grid), last = grid->RowCount() - 1;
    for (int r = row; r < last; ++r)
        for (int c = 1; c <= n; ++c)
            Move_Check_Cell(grid, c, r + 1, r);
    // Rows beyond those in use stay read-only.
    Empty_Check_Row(grid, last, checkFirst, true);
}

bool Grid_Insert_Row_Check(int row, TExStringGrid* grid, bool checkFirst)
{
    if (!Is_Rule_Row(grid, row))
        return false;
    const int n = Data_Columns(grid), last = grid->RowCount() - 1;
    if (Check_Row_Used(grid, last)) {
        Refuse_Insert();
        return false;
    }
    for (int r = last - 1; r >= row; --r)
        for (int c = 1; c <= n; ++c)
            Move_Check_Cell(grid, c, r, r + 1);
    Empty_Check_Row(grid, row, checkFirst, false);
    return true;
}

void Grid_Copy_Row_Check(TExStringGrid* grid, int row)
{
    if (!Is_Rule_Row(grid, row))
        return;
    const int n = Data_Columns(grid);
    Copy_Row_List.clear();
    Copy_Row_Check.assign(n, false);
    for (int c = 1; c <= n; ++c) {
        bool state = false;
        if (grid->GetCheckBoxState(c, row, state)) {
            Copy_Row_Check[c - 1] = true;
            Copy_Row_List.append(state ? QStringLiteral("Y") : QStringLiteral("N"));
        } else {
            Copy_Row_List.append(grid->GetCellEx(c, row));
        }
    }
}

bool Grid_Paste_Row_Check(TExStringGrid* grid, int row, bool copied)
{
    if (!Is_Rule_Row(grid, row))
        return false;
    if (!Clipboard_Fits(grid, copied) || (Check_Row_Used(grid, row) && !Confirm_Overwrite()))
        return false;
    for (int c = 1; c <= Data_Columns(grid); ++c) {
        // A column-grid copy leaves the flags of an older copy: one missing
        // counts as a text column.
        const bool check = c - 1 < static_cast<int>(Copy_Row_Check.size()) && Copy_Row_Check[c - 1];
        if (check)
            grid->SetCheckBoxState(c, row, Copy_Row_List[c - 1] == QLatin1String("Y"));
        else
            grid->SetCellEx(c, row, Copy_Row_List[c - 1]);
    }
    return true;
}

VOruVizizaZezo* Make_Column_Grid(QWidget* parent, const QString& name, int columns, int rows)
{
    auto* grid = new VOruVizizaZezo(parent);
    grid->SetName(name);
    grid->SetColCount(columns);
    grid->SetRowCount(rows + 1);
    grid->SetFixedCols(1);
    grid->SetFixedRows(1);
    grid->SetOptions(grid->Options() | goEditing);
    grid->Columns().GetItem(0)->SetWidth(40);
    grid->Columns().GetItem(0)->SetReadOnly(true);
    return grid;
}

void Set_Grid_Column(VOruVizizaZezo* grid, int col, int width, TEditorType editor, const QStringList& choices,
                     bool readOnly)
{
    TGridColumnItem* item = grid->Columns().GetItem(col);
    item->SetWidth(width);
    item->SetEditor(editor);
    if (editor == edDataCheckBox) {
        item->SetCheckTrue(QStringLiteral("Y"));
        item->SetCheckFalse(QStringLiteral("N"));
    }
    if (!choices.isEmpty())
        item->SetComboItems(choices);
    item->SetReadOnly(readOnly);
}

void Grid_DblClick_AutoSize(QObject* sender, int row, int col)
{
    auto* grid = dynamic_cast<TExStringGrid*>(sender);
    if (!Double_Click_Auto_Size || !grid || row != 0 || col < 0 || col >= grid->ColCount())
        return;
    grid->AutoSizeCol(col, 0);
}

void Grid_Enter_Next_Cell(QObject* sender, QChar& key)
{
    auto* grid = dynamic_cast<TExStringGrid*>(sender);
    if (!Enable_Jump_Field_Tables || !grid || key != QChar(13))
        return;
    if (grid->Col() > 0 && grid->Row() > 0) {
        if (grid->Col() < grid->ColCount() - 1) {
            grid->SetCol(grid->Col() + 1);
        } else {
            grid->SetRow(grid->Row() < grid->RowCount() - 1 ? grid->Row() + 1 : 1);
            grid->SetCol(1);
        }
    }
    key = QChar();
}
