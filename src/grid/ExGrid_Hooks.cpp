// The string grid's event hooks: each computes the grid's own answer, then
// lets the application's event change it. Descendants answer them first.
#include "grid/ExGrid.h"

#include "widgets/EsgHTMLE.h"
#include "widgets/ExUtil.h"

#include <algorithm>

using namespace platform;

// ---------------------------------------------------------------------------
// Cell queries
// ---------------------------------------------------------------------------

void TExStringGrid::QueryGridHint(int aCol, int aRow, QString& hint, QString& wideHint)
{
    if (OnGridHint)
        OnGridHint(this, aRow, aCol, hint);
    if (OnGridWideHint)
        OnGridWideHint(this, aRow, aCol, wideHint);
    if (!wideHint.isEmpty())
        hint = EncodeWideText(wideHint);
}

bool TExStringGrid::QueryIsNoneEditor(int aCol, int aRow)
{
    if (!OnGetEditorType)
        return false;
    TEditorType editor = edNormal;
    OnGetEditorType(this, aCol, aRow, editor);
    return editor == edNone;
}

bool TExStringGrid::QueryFilterList(int aCol)
{
    FFilterList.clear();
    if (FFilterDropDownAuto && (aCol >= TBaseGrid::FixedCols() || FFilterDropDownColumns == fdAll)) {
        // A sorted list that ignores duplicates, compared as the platform's
        // sorted lists compare: without regard to case.
        QStringList values;
        auto add = [&values](const QString& cellText) {
            const QString text = cellText.trimmed();
            // A value with a blank is offered as a caption with a quoted condition.
            const QString entry =
                text.contains(u' ') ? text + QStringLiteral("=\"") + text + QStringLiteral("\"") : text;
            auto less = [](const QString& a, const QString& b) {
                return QString::compare(a, b, Qt::CaseInsensitive) < 0;
            };
            auto it = std::lower_bound(values.begin(), values.end(), entry, less);
            if (it != values.end() && QString::compare(*it, entry, Qt::CaseInsensitive) == 0)
                return;
            values.insert(it, entry);
        };
        for (int r = TBaseGrid::FixedRows(); r < RowCount() - FFixedFooters; ++r)
            add(GetCellEx(aCol, r));
        if (!FFilterIncremental) {
            for (int i = 0; i < FGridItems.Count(); ++i) {
                const TStringObjectList& cells = FGridItems.Items(i)->Items();
                add(aCol >= 0 && aCol < cells.Count() ? cells.Strings(aCol) : QString());
            }
        }
        FFilterList = values;
        if (!FFilterDropDownClear.isEmpty())
            FFilterList.prepend(FFilterDropDownClear);
    }
    if (OnGetColumnFilter)
        OnGetColumnFilter(this, aCol, FFilterList);
    return !FFilterList.isEmpty();
}

void TExStringGrid::SetFilterDropDownAuto(bool v)
{
    FFilterDropDownAuto = v;
    Invalidate();
}

void TExStringGrid::QueryCellCursor(int aCol, int aRow, int x, int y)
{
    if (!OnGetCellCursor)
        return;
    TCursor cursor = Cursor();
    OnGetCellCursor(this, aCol, aRow, x, y, cursor);
    SetTemporaryCursor(cursor);
}

TFont& TExStringGrid::GetCellFont(int aCol, int aRow)
{
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    if (!p)
        return Font();
    // Starts from the grid's font so that a property never set leaves a usable font.
    FCellFont.Assign(Font());
    if (!p->FontName().isEmpty())
        FCellFont.SetName(p->FontName());
    if (p->FontSize() != 0)
        FCellFont.SetSize(p->FontSize());
    FCellFont.SetStyle(p->FontStyle());
    if (p->FontColor() != clNone)
        FCellFont.SetColor(p->FontColor());
    return FCellFont;
}

// ---------------------------------------------------------------------------
// Notifications
// ---------------------------------------------------------------------------

void TExStringGrid::DoSearchFooterAction(const QString& value, int aCol, int aRow, TSearchAction searchAction)
{
    if (OnSearchFooterAction)
        OnSearchFooterAction(this, value, aCol, aRow, searchAction);
}

void TExStringGrid::DoCurrentButtonClick()
{
    if (OnButtonClick)
        OnButtonClick(this, Col(), Row());
}

void TExStringGrid::DoButtonClick(int aCol, int aRow)
{
    if (OnButtonClick)
        OnButtonClick(this, aCol, aRow);
}

void TExStringGrid::DoExpandClick(int aCol, int aRow, bool expanded)
{
    // The expanded and collapsed row heights come with the expand cells of
    // the grid extras.
    if (OnExpandClick)
        OnExpandClick(this, aCol, aRow, expanded);
}

void TExStringGrid::DoComboCloseUp(int aRow, int aCol)
{
    if (OnComboCloseUp)
        OnComboCloseUp(this, aRow, aCol);
}

void TExStringGrid::DoComboDropDown(int aRow, int aCol)
{
    if (OnComboDropDown)
        OnComboDropDown(this, aRow, aCol);
}

void TExStringGrid::QueryCanAddRow(bool& canAdd)
{
    if (OnCanAddRow)
        OnCanAddRow(this, canAdd);
}

void TExStringGrid::QueryCanInsertRow(int aRow, bool& canInsert)
{
    if (OnCanInsertRow)
        OnCanInsertRow(this, aRow, canInsert);
}

void TExStringGrid::DoCheckBoxChange(int aCol, int aRow, bool state)
{
    if (OnCheckBoxChange)
        OnCheckBoxChange(this, aCol, aRow, state);
}

bool TExStringGrid::QueryRatingChange(int aCol, int aRow, double& newRate)
{
    bool allow = true;
    if (OnRatingChange)
        OnRatingChange(this, aCol, aRow, newRate, allow);
    return allow;
}

void TExStringGrid::DoColorSelect(TColor color, const QString& colorText)
{
    if (OnColorSelect)
        OnColorSelect(this, Col(), Row(), color, colorText);
}

void TExStringGrid::DoImageSelect(int itemIndex)
{
    if (OnImageSelect)
        OnImageSelect(this, Col(), Row(), itemIndex);
}

void TExStringGrid::DoAutoInsertRow(int aRow)
{
    // Grids with node rows insert through the nodes of the grid extras,
    // which keep the node spans.
    InsertRows(aRow, 1);
}

void TExStringGrid::DoAutoDeleteRow(int aRow)
{
    const int normalRows = RowCount() - TBaseGrid::FixedRows() - FFixedFooters;
    if (normalRows != 1 || FFixedRowAlways)
        DropRows(aRow, 1);
    else
        ClearRows(aRow, 1); // the grid keeps its one normal row
    if (OnAutoDeleteRow)
        OnAutoDeleteRow(this, aRow);
}

void TExStringGrid::DoFilterDone()
{
    if (OnFilterDone)
        OnFilterDone(this);
}

void TExStringGrid::DoFixedEdit(int aCol, int aRow, TGridFixedCellEditor& editor, QStringList& values)
{
    if (OnFixedEdit)
        OnFixedEdit(this, aCol, aRow, editor, values);
}

// ---------------------------------------------------------------------------
// Exchange
// ---------------------------------------------------------------------------

void TExStringGrid::QueryCellText(int aCol, int aRow, QString& text) { text = GetCellEx(aCol, aRow); }

void TExStringGrid::QuerySaveCellText(int aCol, int aRow, QString& text)
{
    text = FSaveVirtCells ? GetFormattedCell(aCol, aRow) : GetGridCell(aCol, aRow);
    if (text.isEmpty()) {
        // A plain check box keeps its state in its object: saved as a check text.
        const TCellType type = GetCellType(aCol, aRow);
        if (type == ctCheckBox || type == ctTriStateCheckBox) {
            bool checked = false;
            if (type == ctCheckBox) {
                GetCheckBoxState(aCol, RealRowIndex(aRow), checked);
            } else {
                TCheckBoxState state = cbUnchecked;
                GetCheckBoxState(aCol, RealRowIndex(aRow), state);
                checked = state == cbChecked;
            }
            if (checked)
                QueryCheckTrue(aCol, aRow, text);
            else
                QueryCheckFalse(aCol, aRow, text);
        }
    }
    switch (CellTextKind(text, true)) {
    case 1:
        if (!FSaveWithHTML)
            text = StripHTMLTags(text);
        break;
    case 2:
        if (FSaveWithRTF) {
            text.remove(u'\r');
            text.remove(u'\n');
        } else {
            text = RTFToPlainText(text);
        }
        break;
    default: break;
    }
    if (OnSaveCell)
        OnSaveCell(this, aCol, aRow, text);
}

void TExStringGrid::DoLoadCell(int aCol, int aRow, const QString& value)
{
    QString text = value;
    if (OnLoadCell)
        OnLoadCell(this, aCol, aRow, text);
    SetGridCell(aCol, aRow, text);
}
