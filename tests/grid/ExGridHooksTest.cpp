// The string grid's event hooks: the grid's own answers and what the events change.
#include "grid/ExGrid.h"

#include "widgets/ExUtil.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

struct HookGrid : ::testing::Test
{
    TExStringGrid grid;
    void SetUp() override
    {
        grid.SetColCount(4);
        grid.SetRowCount(5);
    }
};

} // namespace

TEST_F(HookGrid, CheckTextsFromTheGridThenTheEvents)
{
    QString value;
    grid.QueryCheckTrue(1, 1, value);
    EXPECT_EQ(value, QStringLiteral("Y"));
    grid.QueryCheckFalse(1, 1, value);
    EXPECT_EQ(value, QStringLiteral("N"));
    grid.OnGetCheckTrue = [](QObject*, int aCol, int, QString& v) {
        if (aCol == 2)
            v = QStringLiteral("1");
    };
    grid.QueryCheckTrue(2, 1, value);
    EXPECT_EQ(value, QStringLiteral("1"));
    grid.QueryCheckTrue(1, 1, value);
    EXPECT_EQ(value, QStringLiteral("Y"));
}

TEST_F(HookGrid, FixedCellsAndTheirEvent)
{
    grid.SetFixedRows(0);
    bool fixed = false;
    grid.QueryIsFixed(1, 0, fixed);
    EXPECT_FALSE(fixed);
    grid.OnIsFixedCell = [](QObject*, int aRow, int aCol, bool& f) { f = aRow == 0 && aCol == 1; };
    grid.QueryIsFixed(1, 0, fixed);
    EXPECT_TRUE(fixed);
    fixed = false;
    grid.QueryIsFixed(0, 3, fixed); // the fixed column, whatever the event
    EXPECT_TRUE(fixed);
}

TEST_F(HookGrid, ReadOnlyCellsCanBeMadeEditableByTheEvent)
{
    grid.SetOptions(grid.Options() | goEditing);
    grid.SetReadOnly(2, 2, true);
    bool canEdit = true;
    grid.QueryCanEdit(2, 2, canEdit);
    EXPECT_FALSE(canEdit);
    int raised = 0;
    grid.OnCanEditCell = [&](QObject*, int aRow, int aCol, bool& ce) {
        ++raised;
        if (aRow == 2 && aCol == 2)
            ce = true;
    };
    canEdit = true;
    grid.QueryCanEdit(2, 2, canEdit);
    EXPECT_TRUE(canEdit);
    EXPECT_EQ(raised, 1);
    // Without the editing option a cell with properties cannot be edited.
    grid.SetOptions(grid.Options() & ~goEditing);
    grid.OnCanEditCell = nullptr;
    grid.SetReadOnly(2, 2, false);
    canEdit = true;
    grid.QueryCanEdit(2, 2, canEdit);
    EXPECT_FALSE(canEdit);
    grid.MouseActions().SetRangeSelectAndEdit(true);
    canEdit = true;
    grid.QueryCanEdit(2, 2, canEdit);
    EXPECT_TRUE(canEdit);
}

TEST_F(HookGrid, SpinAndComboButtons)
{
    bool asked = false;
    grid.OnHasSpinEdit = [&](QObject*, int, int, bool& has) {
        asked = true;
        has = true;
    };
    EXPECT_FALSE(grid.QueryHasSpinEdit(0, 2)); // fixed column
    EXPECT_FALSE(grid.QueryHasSpinEdit(2, 0)); // fixed row
    EXPECT_FALSE(asked);
    EXPECT_TRUE(grid.QueryHasSpinEdit(2, 2));

    grid.OnGetEditorType = [](QObject*, int aCol, int, TEditorType& e) {
        if (aCol == 2)
            e = edComboList;
    };
    EXPECT_FALSE(grid.QueryHasComboBox(2, 2)); // buttons only when always visible
    grid.ControlLook().SetDropDownAlwaysVisible(true);
    EXPECT_TRUE(grid.QueryHasComboBox(2, 2));
    EXPECT_FALSE(grid.QueryHasComboBox(1, 2));
    grid.SetDefaultEditor(edComboEdit);
    EXPECT_TRUE(grid.QueryHasComboBox(1, 2));
    grid.OnHasComboBox = [](QObject*, int, int, bool&) {}; // answers false
    EXPECT_FALSE(grid.QueryHasComboBox(2, 2));
}

TEST_F(HookGrid, NoneEditorOnlyThroughTheEvent)
{
    EXPECT_FALSE(grid.QueryIsNoneEditor(1, 1));
    grid.SetDefaultEditor(edNone);
    EXPECT_FALSE(grid.QueryIsNoneEditor(1, 1)); // not the default editor
    TEditorType seen = edSpinEdit;
    grid.OnGetEditorType = [&](QObject*, int, int aRow, TEditorType& e) {
        seen = e;
        if (aRow == 1)
            e = edNone;
    };
    EXPECT_TRUE(grid.QueryIsNoneEditor(1, 1));
    EXPECT_EQ(seen, edNormal);
    EXPECT_FALSE(grid.QueryIsNoneEditor(1, 2));
}

TEST_F(HookGrid, WideHintReplacesTheHintPacked)
{
    grid.OnGridHint = [](QObject*, int aRow, int aCol, QString& h) {
        h = QStringLiteral("r%1c%2").arg(aRow).arg(aCol);
    };
    QString hint, wide;
    grid.QueryGridHint(1, 3, hint, wide);
    EXPECT_EQ(hint, QStringLiteral("r3c1"));
    grid.OnGridWideHint = [](QObject*, int, int, QString& w) { w = QStringLiteral("\u00e9t\u00e9"); };
    grid.QueryGridHint(1, 3, hint, wide);
    EXPECT_EQ(hint, EncodeWideText(QStringLiteral("\u00e9t\u00e9")));
    EXPECT_EQ(DecodeWideText(hint), QStringLiteral("\u00e9t\u00e9"));
}

TEST_F(HookGrid, AutomaticFilterListQuotesValuesWithBlanks)
{
    grid.SetFilterDropDownAuto(true);
    grid.SetCellEx(1, 0, QStringLiteral("header"));
    grid.SetCellEx(1, 1, QStringLiteral(" c "));
    grid.SetCellEx(1, 2, QStringLiteral("a b"));
    grid.SetCellEx(1, 3, QStringLiteral("c"));
    grid.SetCellEx(1, 4, QStringLiteral("C"));
    ASSERT_TRUE(grid.QueryFilterList(1));
    EXPECT_EQ(grid.FilterList(),
              (QStringList{QStringLiteral("(All)"), QStringLiteral("a b=\"a b\""), QStringLiteral("c")}));

    // Hidden rows count unless the filter narrows incrementally.
    grid.SetCellEx(1, 4, QStringLiteral("d"));
    grid.HideRow(4);
    grid.QueryFilterList(1);
    EXPECT_TRUE(grid.FilterList().contains(QStringLiteral("d")));
    grid.SetFilterIncremental(true);
    grid.QueryFilterList(1);
    EXPECT_FALSE(grid.FilterList().contains(QStringLiteral("d")));

    // Fixed columns only with fdAll; the event has the last word.
    EXPECT_FALSE(grid.QueryFilterList(0));
    grid.SetFilterDropDownClear(QString());
    grid.SetFilterDropDownColumns(fdAll);
    grid.SetCellEx(0, 1, QStringLiteral("k"));
    ASSERT_TRUE(grid.QueryFilterList(0));
    EXPECT_EQ(grid.FilterList().first(), QString()); // empty cells are values too
    grid.OnGetColumnFilter = [](QObject*, int, QStringList& list) { list.clear(); };
    EXPECT_FALSE(grid.QueryFilterList(0));
    grid.SetFilterDropDownAuto(false);
    grid.OnGetColumnFilter = [](QObject*, int column, QStringList& list) { list << QString::number(column); };
    ASSERT_TRUE(grid.QueryFilterList(2));
    EXPECT_EQ(grid.FilterList(), QStringList{QStringLiteral("2")});
}

TEST_F(HookGrid, AutoDeleteEmptiesTheLastNormalRow)
{
    int deleted = -1;
    grid.OnAutoDeleteRow = [&](QObject*, int aRow) { deleted = aRow; };
    grid.SetCellEx(1, 2, QStringLiteral("second"));
    grid.SetCellEx(1, 3, QStringLiteral("third"));
    grid.DoAutoDeleteRow(2);
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.GetCellEx(1, 2), QStringLiteral("third"));
    EXPECT_EQ(deleted, 2);

    grid.SetRowCount(2);
    grid.SetCellEx(1, 1, QStringLiteral("only"));
    grid.DoAutoDeleteRow(1);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_TRUE(grid.GetCellEx(1, 1).isEmpty());
    EXPECT_EQ(deleted, 1);

    grid.SetFixedRowAlways(true);
    grid.SetCellEx(1, 1, QStringLiteral("only"));
    grid.DoAutoDeleteRow(1);
    EXPECT_EQ(grid.RowCount(), 1);

    grid.SetRowCount(3);
    grid.DoAutoInsertRow(1);
    EXPECT_EQ(grid.RowCount(), 4);
}

TEST_F(HookGrid, SavedTextsOfCheckBoxesAndRichCells)
{
    grid.AddCheckBox(1, 1, true, false);
    grid.AddCheckBox(1, 2, false, false);
    grid.AddCheckBox(1, 3, cbChecked);
    grid.AddCheckBox(1, 4, cbGrayed);
    struct Case
    {
        int row;
        const char* text;
    };
    for (const Case& c : {Case{1, "Y"}, Case{2, "N"}, Case{3, "Y"}, Case{4, "N"}}) {
        QString text;
        grid.QuerySaveCellText(1, c.row, text);
        EXPECT_EQ(text, QString::fromLatin1(c.text)) << c.row;
    }
    grid.SetCellEx(1, 2, QStringLiteral("kept")); // a box with text saves the text
    QString text;
    grid.QuerySaveCellText(1, 2, text);
    EXPECT_EQ(text, QStringLiteral("kept"));

    grid.SetCellEx(2, 1, QStringLiteral("<b>bold</b> text"));
    grid.QuerySaveCellText(2, 1, text);
    EXPECT_EQ(text, QStringLiteral("<b>bold</b> text"));
    grid.SetSaveWithHTML(false);
    grid.QuerySaveCellText(2, 1, text);
    EXPECT_EQ(text, QStringLiteral("bold text"));

    grid.OnSaveCell = [](QObject*, int, int aRow, QString& v) { v += QString::number(aRow); };
    grid.QuerySaveCellText(2, 1, text);
    EXPECT_EQ(text, QStringLiteral("bold text1"));

    grid.OnLoadCell = [](QObject*, int, int, QString& v) { v = v.toUpper(); };
    grid.DoLoadCell(3, 2, QStringLiteral("loaded"));
    EXPECT_EQ(grid.GetGridCell(3, 2), QStringLiteral("LOADED"));
    grid.QueryCellText(3, 2, text);
    EXPECT_EQ(text, QStringLiteral("LOADED"));
}

TEST_F(HookGrid, VetoesAndNotifications)
{
    double rate = 3.5;
    EXPECT_TRUE(grid.QueryRatingChange(1, 1, rate));
    grid.OnRatingChange = [](QObject*, int, int aRow, double& r, bool& allow) {
        allow = aRow != 2;
        r = 2.0;
    };
    EXPECT_FALSE(grid.QueryRatingChange(1, 2, rate));
    EXPECT_TRUE(grid.QueryRatingChange(1, 1, rate));
    EXPECT_EQ(rate, 2.0);

    bool canAdd = true;
    grid.OnCanAddRow = [](QObject*, bool& can) { can = false; };
    grid.QueryCanAddRow(canAdd);
    EXPECT_FALSE(canAdd);
    bool canInsert = true;
    grid.OnCanInsertRow = [](QObject*, int aRow, bool& can) { can = aRow > 2; };
    grid.QueryCanInsertRow(1, canInsert);
    EXPECT_FALSE(canInsert);

    TGridFixedCellEditor editor = fceEdit;
    QStringList values;
    grid.OnFixedEdit = [](QObject*, int, int, TGridFixedCellEditor& e, QStringList& v) {
        e = fceComboList;
        v << QStringLiteral("one");
    };
    grid.DoFixedEdit(1, 0, editor, values);
    EXPECT_EQ(editor, fceComboList);
    EXPECT_EQ(values, QStringList{QStringLiteral("one")});

    QString clicks;
    grid.OnButtonClick = [&](QObject*, int aCol, int aRow) {
        clicks += QStringLiteral("b%1,%2 ").arg(aCol).arg(aRow);
    };
    grid.OnComboDropDown = [&](QObject*, int aRow, int aCol) { clicks += QStringLiteral("d%1,%2 ").arg(aRow).arg(aCol); };
    grid.OnColorSelect = [&](QObject*, int aCol, int aRow, TColor c, const QString& v) {
        clicks += QStringLiteral("c%1,%2,%3,%4 ").arg(aCol).arg(aRow).arg(c).arg(v);
    };
    grid.SetRow(3);
    grid.SetCol(2);
    grid.DoCurrentButtonClick();
    grid.DoButtonClick(1, 4);
    grid.DoComboDropDown(4, 1);
    grid.DoColorSelect(clRed, QStringLiteral("Red"));
    EXPECT_EQ(clicks, QStringLiteral("b2,3 b1,4 d4,1 c2,3,255,Red "));
}

TEST_F(HookGrid, CellFontFromTheCellsProperties)
{
    EXPECT_EQ(&grid.GetCellFont(1, 1), &grid.Font());
    grid.SetFontColors(1, 1, clRed);
    grid.SetFontStyles(1, 1, fsBold);
    const TFont& f = grid.GetCellFont(1, 1);
    EXPECT_NE(&f, &grid.Font());
    EXPECT_EQ(f.Color(), clRed);
    EXPECT_EQ(f.Style(), TFontStyles(fsBold));
    EXPECT_EQ(f.Name(), grid.Font().Name());
}

TEST_F(HookGrid, CellCursorOnlyWithItsEvent)
{
    grid.SetCursor(crCross);
    grid.QueryCellCursor(1, 1, 5, 5);
    EXPECT_EQ(detail::WidgetCursor(grid.ClientSurface()), crDefault); // untouched
    TCursor start = crDefault;
    grid.OnGetCellCursor = [&](QObject*, int aCol, int, int, int, TCursor& c) {
        start = c;
        if (aCol == 2)
            c = crHandPoint;
    };
    grid.QueryCellCursor(2, 1, 5, 5);
    EXPECT_EQ(start, crCross);
    EXPECT_EQ(detail::WidgetCursor(grid.ClientSurface()), crHandPoint);
}
