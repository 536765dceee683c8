// Grouping: rows grouped by a column into nodes, summary rows and group
// totals, sub-groups, the grouped sort, and ungrouping back to the very grid
// there was before, checked cell by cell.
#include "ExGridInputTestSupport.h"
#include "GridPaintTestSupport.h"
#include "grid/ExGrid.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace platform;

namespace {

// An object of the application's, kept in a cell.
struct Tag : TObject
{
};

// Column 0 is fixed and labels the rows "1".."n"; column 1 holds a kind,
// column 2 a site, column 3 a reading, column 4 a note.
struct GroupFixture : ::testing::Test
{
    std::unique_ptr<TExStringGrid> owner = std::make_unique<TExStringGrid>();
    TExStringGrid* grid = owner.get();

    // A fresh grid, for a case that must not inherit the last one's state.
    void Renew()
    {
        owner = std::make_unique<TExStringGrid>();
        grid = owner.get();
    }

    void Fill(const std::vector<std::vector<QString>>& rows)
    {
        grid->SetColCount(5);
        grid->SetFixedCols(1);
        grid->SetFixedRows(1);
        grid->SetRowCount(static_cast<int>(rows.size()) + 1);
        const QStringList head{"No", "Kind", "Site", "Reading", "Note"};
        for (int c = 0; c < 5; ++c)
            grid->SetGridCell(c, 0, head[c]);
        for (size_t r = 0; r < rows.size(); ++r) {
            grid->SetGridCell(0, static_cast<int>(r) + 1, QString::number(r + 1));
            for (size_t c = 0; c < rows[r].size(); ++c)
                grid->SetGridCell(static_cast<int>(c) + 1, static_cast<int>(r) + 1, rows[r][c]);
        }
    }

    // One text per row from the first data row: "[value]span" for a node,
    // "S" for a summary row, else the row's label (column 0).
    QStringList Layout()
    {
        QStringList out;
        for (int r = grid->FixedRows(); r < grid->RowCount() - grid->FixedFooters(); ++r) {
            if (grid->IsNode(r))
                out << QStringLiteral("[%1]%2").arg(grid->GetGridCell(1, r)).arg(grid->GetNodeSpan(r));
            else if (grid->IsSummary(r))
                out << QStringLiteral("S");
            else
                out << grid->GetGridCell(0, r);
        }
        return out;
    }

    QStringList Column(int c)
    {
        QStringList out;
        for (int r = grid->FixedRows(); r < grid->RowCount() - grid->FixedFooters(); ++r)
            out << grid->GetGridCell(c, r);
        return out;
    }
};

// Everything of a grid that grouping touches: every cell's text and object
// slot (the very object), the node level of column 0, column widths, hidden
// columns and rows, the column order and the counts.
struct Snapshot
{
    std::vector<QString> texts;
    std::vector<const TObject*> objects;
    std::vector<int> levels;
    std::vector<int> widths;
    std::vector<bool> hidden;
    std::vector<int> order;
    std::vector<QString> hiddenRowTexts;
    int rows = 0, cols = 0, hiddenCols = 0, hiddenRows = 0, nodes = 0;

    explicit Snapshot(TExStringGrid& g)
        : rows(g.RowCount()), cols(g.ColCount()), hiddenCols(g.NumHiddenColumns()), hiddenRows(g.NumHiddenRows()),
          nodes(g.NumNodes())
    {
        for (int r = 0; r < g.RowCount(); ++r) {
            for (int c = 0; c < g.TotalColCount(); ++c) {
                texts.push_back(g.GetGridCell(c, r));
                objects.push_back(g.GetGridObject(c, r));
            }
            const TCellProperties* p = g.CellPropsAt(0, r);
            levels.push_back(p ? p->NodeLevel() : 0);
        }
        for (int c = 0; c < g.TotalColCount(); ++c) {
            widths.push_back(g.GetAllColWidths(c));
            hidden.push_back(g.IsHiddenColumn(c));
        }
        order = g.ColumnOrder().Items();
        for (int i = 0; i < g.GridItems().Count(); ++i) {
            const TStringObjectList& cells = g.GridItems().Items(i)->Items();
            QString row;
            for (int c = 0; c < cells.Count(); ++c)
                row += cells.Strings(c) + QLatin1Char('|');
            hiddenRowTexts.push_back(row);
        }
    }

    // Cell by cell, saying where the first difference is.
    static void ExpectSame(const Snapshot& a, const Snapshot& b)
    {
        ASSERT_EQ(a.rows, b.rows);
        ASSERT_EQ(a.cols, b.cols);
        EXPECT_EQ(a.hiddenCols, b.hiddenCols);
        EXPECT_EQ(a.hiddenRows, b.hiddenRows);
        EXPECT_EQ(a.nodes, b.nodes);
        ASSERT_EQ(a.texts.size(), b.texts.size());
        const size_t total = a.texts.size() / static_cast<size_t>(a.rows);
        for (size_t i = 0; i < a.texts.size(); ++i) {
            SCOPED_TRACE(QStringLiteral("cell %1,%2").arg(i % total).arg(i / total).toStdString());
            EXPECT_EQ(a.texts[i], b.texts[i]);
            EXPECT_EQ(a.objects[i], b.objects[i]);
        }
        EXPECT_EQ(a.levels, b.levels);
        EXPECT_EQ(a.widths, b.widths);
        EXPECT_EQ(a.hidden, b.hidden);
        EXPECT_EQ(a.order, b.order);
        EXPECT_EQ(a.hiddenRowTexts, b.hiddenRowTexts);
    }
};

} // namespace

TEST_F(GroupFixture, GroupsRowsIntoNodesWithTheirSummaryRows)
{
    struct Case
    {
        const char* why;
        int column;
        bool summary;
        bool autoSort;
        QStringList values; // of the group column, row by row
        QStringList layout;
    };
    const Case cases[] = {
        {"two groups, the column's values in order", 2, false, true, {"A", "A", "B"},
         {"[A]3", "1", "2", "[B]2", "3"}},
        {"a summary row closes each group, outside the node's span", 2, true, true, {"A", "A", "B"},
         {"[A]3", "1", "2", "S", "[B]2", "3", "S"}},
        {"the rows are sorted by the group column first", 2, false, true, {"B", "A", "B"},
         {"[A]2", "2", "[B]3", "1", "3"}},
        {"unsorted, each run of equal values is a group", 2, false, false, {"B", "A", "B"},
         {"[B]2", "1", "[A]2", "2", "[B]2", "3"}},
        {"grouped by column 1, the value still shows in column 1", 1, false, true, {"X", "Y", "X"},
         {"[X]3", "1", "3", "[Y]2", "2"}},
        {"empty cells form a group of their own", 2, true, true, {"", "A", ""},
         {"[]3", "1", "3", "S", "[A]2", "2", "S"}},
        {"one row", 2, true, true, {"A"}, {"[A]2", "1", "S"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Renew();
        std::vector<std::vector<QString>> rows;
        for (int i = 0; i < c.values.size(); ++i) {
            std::vector<QString> row{"k", "s", QString::number(i + 1), "n"};
            row[static_cast<size_t>(c.column - 1)] = c.values[i];
            rows.push_back(row);
        }
        Fill(rows);
        grid->Grouping().SetSummary(c.summary);
        grid->SortSettings().SetAutoSortForGrouping(c.autoSort);
        const Snapshot before(*grid);
        grid->Group(c.column);
        EXPECT_EQ(grid->GroupColumn(), c.column);
        EXPECT_EQ(grid->ColCount(), 4);
        EXPECT_EQ(Layout(), c.layout);
        // The grouped column left the grid: its header is gone.
        for (int col = 0; col < grid->ColCount(); ++col)
            EXPECT_NE(grid->GetGridCell(col, 0), c.column == 1 ? "Kind" : "Site");
        grid->UnGroup();
        EXPECT_EQ(grid->GroupColumn(), -1);
        Snapshot::ExpectSame(before, Snapshot(*grid));
    }
}

TEST_F(GroupFixture, UngroupingGivesBackTheExactGrid)
{
    Tag tags[4];
    struct Case
    {
        const char* why;
        int column;
        std::function<void()> before; // on the plain grid
        std::function<void()> grouped; // while grouped
    };
    const Case cases[] = {
        {"plain, the grouping sort undone", 2, [] {}, [] {}},
        {"cell objects, colours, check boxes and empty cells of the group column", 2,
         [&] {
             grid->SetObjectEx(2, 1, &tags[0]);
             grid->SetObjectEx(3, 2, &tags[1]);
             grid->SetColors(2, 3, clRed);
             grid->SetFontColors(2, 4, clBlue);
             grid->AddCheckBox(2, 5, true, false);
             grid->SetObjectEx(0, 2, &tags[2]);
             grid->SetGridCell(4, 3, QString());
         },
         [] {}},
        {"summaries, merged headers and summaries, colours", 2,
         [&] {
             grid->Grouping().SetSummary(true);
             grid->Grouping().SetMergeHeader(true);
             grid->Grouping().SetMergeSummary(true);
             grid->Grouping().SetHeaderColor(clYellow);
             grid->Grouping().SetSummaryColor(clSilver);
             grid->Grouping().SetHeaderTextColor(clNavy);
         },
         [] {}},
        {"the group column is hidden", 2, [&] { grid->HideColumn(2); }, [] {}},
        {"a column right of the group column is hidden", 2, [&] { grid->HideColumn(4); }, [] {}},
        {"a column order was recorded", 1, [&] { grid->MoveColumn(3, 4); }, [] {}},
        {"width of the group column", 2, [&] { grid->SetColWidths(2, 97); }, [] {}},
        {"groups contracted while grouped", 2, [&] { grid->Grouping().SetSummary(true); },
         [&] { grid->ContractAll(); }},
        {"only one group open at a time", 2, [&] { grid->CellNode().SetExpandOne(true); }, [] {}},
        {"sorted inside the groups while grouped", 2, [] {},
         [&] {
             grid->SortSettings().SetColumn(2);
             grid->SortSettings().SetDirection(sdDescending);
             grid->QSortGroup();
         }},
        {"sub-groups still there", 2, [] {}, [&] { grid->SubGroup(2); }},
        {"summary switched on while grouped without summary rows", 2, [] {},
         [&] { grid->Grouping().SetSummary(true); }},
        {"summary switched off while grouped with summary rows", 2, [&] { grid->Grouping().SetSummary(true); },
         [&] { grid->Grouping().SetSummary(false); }},
        {"the floating footer with a total of the group column", 2,
         [&] {
             grid->AddRow();
             grid->FloatingFooter().SetVisible(true);
             grid->SetGridCell(2, grid->RowCount() - 1, QStringLiteral("all"));
             grid->SetColumnCalc(3, acSUM);
             grid->SetObjectEx(2, grid->RowCount() - 1, &tags[3]);
         },
         [] {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Renew();
        Fill({{"gas", "north", "30", "a"},
              {"water", "south", "10", "b"},
              {"gas", "east", "25", "c"},
              {"heat", "north", "", "d"},
              {"water", "west", "12", "e"},
              {"gas", "south", "7", "f"}});
        c.before();
        const Snapshot before(*grid);
        grid->Group(c.column);
        ASSERT_EQ(grid->GroupColumn(), c.column);
        c.grouped();
        grid->UnGroup();
        Snapshot::ExpectSame(before, Snapshot(*grid));
        EXPECT_EQ(grid->SubGroupColumn(), -1);
    }
}

TEST_F(GroupFixture, ColumnPositionsCountTheGroupColumnOut)
{
    Fill({{"a", "x", "1", ""}, {"b", "y", "2", ""}});
    grid->SetColumnOrder();
    grid->SortSettings().SetAutoSortForGrouping(false);
    grid->Group(2);
    // Columns at and right of the group column stand one position further left.
    EXPECT_EQ(grid->ColumnPosition(1), 1);
    EXPECT_EQ(grid->ColumnPosition(3), 2);
    EXPECT_EQ(grid->ColumnAtPosition(2), 3);
    EXPECT_EQ(grid->ColumnAtPosition(1), 1);
    grid->UnGroup();
    EXPECT_EQ(grid->ColumnPosition(3), 3);
}

TEST_F(GroupFixture, NothingHappensWithoutRowsOrWithAColumnOutOfRange)
{
    struct Case
    {
        const char* why;
        int rows;
        bool footer; // the last row is the floating footer's
        int fixedCols;
        int cols;
        int column;
    };
    const Case cases[] = {
        {"the header and the footer row only", 2, true, 1, 5, 2},
        {"a fixed column", 4, false, 1, 5, 0},
        {"column 0 holds the nodes", 4, false, 0, 5, 0},
        {"a negative column", 4, false, 1, 5, -1},
        {"past the last column", 4, false, 1, 5, 5},
        {"far past the last column", 4, false, 1, 5, 600},
        {"no column would be left for the values", 4, false, 1, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Renew();
        Fill({{"a", "x", "1", "n"}, {"b", "y", "2", "n"}, {"a", "z", "3", "n"}});
        grid->SetColCount(c.cols);
        grid->SetRowCount(c.rows);
        grid->SetFixedCols(c.fixedCols);
        grid->FloatingFooter().SetVisible(c.footer);
        if (c.footer) {
            ASSERT_LE(grid->RowCount() - grid->FixedFooters(), grid->FixedRows()) << "no data rows";
        }
        const Snapshot before(*grid);
        grid->Group(c.column);
        EXPECT_EQ(grid->GroupColumn(), -1);
        EXPECT_EQ(grid->NumNodes(), 0);
        Snapshot::ExpectSame(before, Snapshot(*grid));
        grid->UnGroup();
        Snapshot::ExpectSame(before, Snapshot(*grid));
    }
}

TEST_F(GroupFixture, AnEmptyGridIsOneEmptyGroupAndComesBack)
{
    grid->SetColCount(4);
    grid->SetRowCount(3);
    grid->SetFixedCols(1);
    grid->SetFixedRows(1);
    const Snapshot before(*grid);
    grid->Group(2);
    ASSERT_EQ(grid->GroupColumn(), 2);
    EXPECT_EQ(Layout(), (QStringList{"[]3", "", ""}));
    grid->UnGroup();
    Snapshot::ExpectSame(before, Snapshot(*grid));
}

TEST_F(GroupFixture, GroupColumnPropertyAndRegrouping)
{
    Fill({{"a", "x", "1", ""}, {"b", "y", "2", ""}, {"a", "x", "3", ""}});
    const Snapshot before(*grid);
    grid->SetGroupColumn(0);
    EXPECT_EQ(grid->GroupColumn(), -1);
    grid->SetGroupColumn(1);
    EXPECT_EQ(grid->GroupColumn(), 1);
    // Grouping again ungroups first.
    grid->SetGroupColumn(2);
    EXPECT_EQ(grid->GroupColumn(), 2);
    EXPECT_EQ(Layout(), (QStringList{"[x]3", "1", "3", "[y]2", "2"}));
    grid->SetGroupColumn(-1);
    EXPECT_EQ(grid->GroupColumn(), -1);
    Snapshot::ExpectSame(before, Snapshot(*grid));
}

TEST_F(GroupFixture, GroupTotalsGoToTheNodeOrTheSummaryRow)
{
    struct Case
    {
        const char* why;
        int method;
        QStringList totals; // of the two groups, gas then water
    };
    // gas: 30, 25, 30, 7; water: 10, 12 (totals in the grid's float format)
    const Case cases[] = {
        {"sum", 1, {"92.00", "22.00"}},     {"average", 2, {"23.00", "11.00"}},
        {"minimum", 3, {"7.00", "10.00"}},  {"maximum", 4, {"30.00", "12.00"}},
        {"count of data rows", 5, {"4", "2"}}, {"custom", 6, {"42.00", "42.00"}},
        {"distinct values", 7, {"3.00", "2.00"}},
    };
    for (bool summary : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.why) + (summary ? " into summary rows" : " into node rows"));
            Renew();
            Fill({{"gas", "n", "30", ""},
                  {"water", "s", "10", ""},
                  {"gas", "e", "25", ""},
                  {"gas", "w", "30", ""},
                  {"water", "w", "12", ""},
                  {"gas", "s", "7", ""}});
            grid->Grouping().SetSummary(summary);
            grid->OnGroupCalc = [](QObject*, int, int, int, double& res) { res = 42; };
            grid->Group(1);
            // Reading is column 2 once the kind column is gone.
            grid->GroupCalc(2, c.method);
            const int gasNode = 1, waterNode = summary ? 7 : 6;
            const int gasRow = summary ? 6 : gasNode, waterRow = summary ? 10 : waterNode;
            ASSERT_TRUE(grid->IsNode(gasNode));
            ASSERT_TRUE(grid->IsNode(waterNode));
            EXPECT_EQ(grid->GetGridCell(2, gasRow), c.totals[0]);
            EXPECT_EQ(grid->GetGridCell(2, waterRow), c.totals[1]);
        }
    }
}

TEST_F(GroupFixture, GroupTotalsSkipContractedGroupsAndStayInsideTheGrid)
{
    Fill({{"gas", "n", "30", ""}, {"water", "s", "10", ""}, {"gas", "e", "25", ""}});
    grid->Group(1);
    ASSERT_EQ(Layout(), (QStringList{"[gas]3", "3", "1", "[water]2", "2"}));
    grid->ContractNode(grid->RealRowIndex(1));
    grid->GroupSum(2);
    EXPECT_EQ(grid->GetGridCell(2, 1), "");
    EXPECT_EQ(grid->GetGridCell(2, 2), "10.00");
    grid->ExpandAll();

    // Summary switched on after grouping: there are no summary rows, so the
    // totals go to the node rows, never into the next group's node.
    grid->Grouping().SetSummary(true);
    grid->GroupSum(2);
    EXPECT_EQ(grid->GetGridCell(2, 1), "55.00");
    EXPECT_EQ(grid->GetGridCell(2, 4), "10.00");
    EXPECT_EQ(grid->GetGridCell(1, 4), "water");

    // A node whose span reaches past the last row counts the rows there are.
    grid->SetNodeSpan(4, 40);
    grid->GroupCount(2);
    EXPECT_EQ(grid->GetGridCell(2, 4), "1");
    grid->GroupSum(2);
    EXPECT_EQ(grid->GetGridCell(2, 4), "10.00");
}

TEST_F(GroupFixture, FooterTotalsFollowTheGroupTotals)
{
    Fill({{"gas", "n", "30", ""}, {"water", "s", "10", ""}, {"gas", "e", "25", ""}});
    grid->AddRow();
    grid->FloatingFooter().SetVisible(true);
    grid->Grouping().SetSummary(true);
    grid->Group(1);
    grid->GroupSum(2);
    EXPECT_EQ(grid->GetColumnCalc(2), acSUM);
    // Node and summary rows do not count in the column total.
    EXPECT_EQ(grid->GetGridCell(2, grid->RowCount() - 1), "65.00");
    grid->GroupCount(2);
    EXPECT_EQ(grid->GetColumnCalc(2), acCOUNT);
}

TEST_F(GroupFixture, SubGroupsInsideTheGroupsAndBack)
{
    Fill({{"gas", "north", "30", ""},
          {"water", "south", "10", ""},
          {"gas", "north", "25", ""},
          {"gas", "east", "7", ""},
          {"water", "south", "12", ""}});
    grid->Grouping().SetSummary(true);
    grid->Group(1);
    const Snapshot grouped(*grid);
    // Site is column 1 once the kind column is gone; the header shows the
    // value one column further right.
    grid->SubGroup(1);
    EXPECT_EQ(grid->SubGroupColumn(), 1);
    EXPECT_EQ(grid->GroupColumn(), 1);
    QStringList layout;
    for (int r = 1; r < grid->RowCount(); ++r) {
        if (grid->IsNode(r))
            layout << QStringLiteral("L%1[%2%3]%4")
                          .arg(grid->GetNodeLevel(r))
                          .arg(grid->GetGridCell(1, r))
                          .arg(grid->GetGridCell(2, r))
                          .arg(grid->GetNodeSpan(r));
        else if (grid->IsSummary(r))
            layout << "S";
        else
            layout << grid->GetGridCell(0, r) + ":" + grid->GetGridCell(1, r);
    }
    EXPECT_EQ(layout, (QStringList{"L1[gas]6", "L2[east]2", "4:", "L2[north]3", "3:", "1:", "S", "L1[water]4",
                                   "L2[south]3", "2:", "5:", "S"}));
    EXPECT_EQ(grid->GetSubNodeCount(1), 2);
    // The group count leaves the sub-group headers out.
    grid->GroupCount(2);
    EXPECT_EQ(grid->GetGridCell(2, 7), "3");
    EXPECT_EQ(grid->GetGridCell(2, 12), "2");
    grid->SetGridCell(2, 7, QString());
    grid->SetGridCell(2, 12, QString());

    grid->SubUnGroup(1);
    EXPECT_EQ(grid->SubGroupColumn(), -1);
    // Summary rows take no sub-group value.
    Snapshot::ExpectSame(grouped, Snapshot(*grid));
}

TEST_F(GroupFixture, SubGroupByTheLastColumnKeepsItsValues)
{
    Fill({{"gas", "n", "1", "x"}, {"gas", "n", "2", "y"}, {"gas", "n", "3", "x"}});
    grid->SortSettings().SetAutoSortForGrouping(false);
    grid->Group(1);
    const int last = grid->ColCount() - 1;
    grid->SubGroup(last);
    EXPECT_EQ(grid->NumNodes(), 4);
    grid->SubUnGroup(last);
    EXPECT_EQ(Column(last), (QStringList{"", "x", "y", "x"}));
    grid->UnGroup();
    EXPECT_EQ(Column(4), (QStringList{"x", "y", "x"}));
}

TEST_F(GroupFixture, GroupedSortOrdersTheRowsInsideEachGroup)
{
    Fill({{"gas", "n", "30", ""},
          {"water", "s", "10", ""},
          {"gas", "e", "25", ""},
          {"gas", "w", "7", ""},
          {"water", "w", "12", ""}});
    grid->Grouping().SetSummary(true);
    grid->Group(1);
    grid->SortSettings().SetColumn(2);
    grid->QSortGroup();
    EXPECT_EQ(Layout(), (QStringList{"[gas]4", "4", "3", "1", "S", "[water]3", "2", "5", "S"}));
    grid->SortSettings().SetDirection(sdDescending);
    grid->QSortGroup();
    EXPECT_EQ(Layout(), (QStringList{"[gas]4", "1", "3", "4", "S", "[water]3", "5", "2", "S"}));
    grid->SortIndexes().Clear();
    grid->SortIndexes().AddIndex(1, true);
    grid->QSortGroupIndexed();
    EXPECT_EQ(Layout(), (QStringList{"[gas]4", "3", "1", "4", "S", "[water]3", "2", "5", "S"}));
}

TEST_F(GroupFixture, GroupedSortLeavesTheFooterRowOutOfTheLastGroup)
{
    Fill({{"gas", "n", "30", ""}, {"gas", "e", "25", ""}, {"gas", "w", "7", ""}, {"gas", "s", "99", "total"}});
    grid->SortSettings().SetAutoSortForGrouping(false);
    grid->Group(1);
    // The last row becomes the footer: the node's span now reaches into it.
    grid->FloatingFooter().SetVisible(true);
    ASSERT_EQ(grid->GetNodeSpan(1), 5);
    grid->SortSettings().SetColumn(2);
    grid->QSortGroup();
    EXPECT_EQ(grid->GetGridCell(3, grid->RowCount() - 1), "total");
    EXPECT_EQ(Column(2), (QStringList{"", "7", "25", "30"}));
}

TEST_F(GroupFixture, GroupedSortWithAComparisonThatIsNoOrderKeepsEveryRow)
{
    Fill({{"gas", "a", "1", ""}, {"gas", "b", "2", ""}, {"gas", "c", "3", ""}, {"gas", "d", "4", ""},
          {"water", "e", "5", ""}, {"water", "f", "6", ""}, {"water", "g", "7", ""}});
    grid->Group(1);
    grid->OnGetFormat = [](QObject*, int, TSortStyle& style, QString&, QString&) { style = ssCustom; };
    int calls = 0;
    grid->OnCustomCompare = [&](QObject*, const QString&, const QString&, int& res) { res = (++calls % 3) - 1; };
    grid->SortSettings().SetColumn(1);
    grid->QSortGroup();
    QStringList labels = Column(0);
    labels.sort();
    EXPECT_EQ(labels, (QStringList{"", "", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_TRUE(grid->IsNode(1));
    EXPECT_TRUE(grid->IsNode(6));
    grid->OnCustomCompare = nullptr;
    grid->OnGetFormat = nullptr;
}

TEST_F(GroupFixture, FilteredRowsKeepTheirCellsThroughGrouping)
{
    Fill({{"gas", "n", "30", "a"}, {"water", "s", "10", "b"}, {"gas", "e", "25", "c"}, {"heat", "w", "1", "d"}});
    TFilterData* f = grid->Filter().Add();
    f->SetColumn(4);
    f->SetCondition(QStringLiteral("!b"));
    grid->ApplyFilter();
    ASSERT_EQ(grid->NumHiddenRows(), 1);
    grid->Group(1);
    EXPECT_EQ(Layout(), (QStringList{"[gas]3", "3", "1", "[heat]2", "4"}));
    grid->UnGroup();
    grid->RemoveAllFilters();
    ASSERT_EQ(grid->NumHiddenRows(), 0);
    QStringList rows;
    for (int r = 1; r < grid->RowCount(); ++r)
        rows << grid->GetGridCell(0, r) + grid->GetGridCell(1, r) + grid->GetGridCell(4, r);
    rows.sort();
    EXPECT_EQ(rows, (QStringList{"1gasa", "2waterb", "3gasc", "4heatd"}));
}

TEST_F(GroupFixture, NodeRowsShowTheNumberOfTheirDataRows)
{
    struct Case
    {
        const char* why;
        bool show;
        QString format;
        QString gas, water; // column 1 of the two node rows as displayed
    };
    const Case cases[] = {
        {"off: the value alone", false, "", "gas", "water"},
        {"the count in brackets after the value", true, "", "gas (2)", "water (1)"},
        {"a format takes the count as its one argument", true, " - %d rows", "gas - 2 rows", "water - 1 rows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Renew();
        Fill({{"gas", "n", "30", ""}, {"water", "s", "10", ""}, {"gas", "e", "25", ""}});
        grid->Grouping().SetSummary(true);
        grid->Grouping().SetShowGroupCount(c.show);
        grid->Grouping().SetGroupCountFormat(c.format);
        grid->Group(1);
        ASSERT_EQ(Layout(), (QStringList{"[gas]3", "3", "1", "S", "[water]2", "2", "S"}));
        EXPECT_EQ(grid->GetCellEx(1, 1), c.gas);
        EXPECT_EQ(grid->GetCellEx(1, 5), c.water);
        // Only column 1 of node rows: the stored value, data and summary
        // rows and the other columns stay as they are.
        EXPECT_EQ(grid->GetGridCell(1, 1), "gas");
        EXPECT_EQ(grid->GetCellEx(1, 2), "e");
        EXPECT_EQ(grid->GetCellEx(1, 4), "");
        EXPECT_EQ(grid->GetCellEx(2, 1), "");
    }

    // Sub-group header rows are not data rows of the group.
    Renew();
    Fill({{"gas", "north", "30", ""}, {"gas", "north", "25", ""}, {"gas", "east", "7", ""}});
    grid->Grouping().SetShowGroupCount(true);
    grid->Group(1);
    grid->SubGroup(1);
    ASSERT_EQ(grid->GetNodeSpan(1), 6);
    EXPECT_EQ(grid->GetCellEx(1, 1), "gas (3)");
}

TEST_F(GroupFixture, FooterCountsTheDataRowsOfAGroupedGrid)
{
    Fill({{"gas", "n", "30", ""}, {"water", "s", "10", ""}, {"gas", "e", "25", ""}});
    grid->AddRow();
    TFloatingFooter& footer = grid->FloatingFooter();
    footer.SetVisible(true);
    grid->Grouping().SetSummary(true);
    grid->Group(1);
    grid->GroupCount(2);
    ASSERT_EQ(grid->GetColumnCalc(2), acCOUNT);
    const int footRow = grid->RowCount() - 1;
    // Two node rows and two summary rows are no data.
    EXPECT_EQ(grid->GetGridCell(2, footRow), "3");

    // A contracted group's rows count only with CalculateHiddenRows.
    grid->ContractNode(1);
    grid->CalcFooter(2);
    EXPECT_EQ(grid->GetGridCell(2, grid->RowCount() - 1), "3");
    footer.SetCalculateHiddenRows(false);
    grid->CalcFooter(2);
    EXPECT_EQ(grid->GetGridCell(2, grid->RowCount() - 1), "1");

    // Ungrouped (the reading is column 3 again), every row above the footer
    // counts.
    grid->UnGroup();
    grid->SetColumnCalc(3, acCOUNT);
    EXPECT_EQ(grid->GetGridCell(3, grid->RowCount() - 1), "3");
    grid->InsertRows(1, 1);
    grid->CalcFooter(3);
    EXPECT_EQ(grid->GetGridCell(3, grid->RowCount() - 1), "4");
}

// Column 3 (the note once the kind column is gone) holds a tri-state box on
// each node row and a check box on each data row.
struct GroupCheckFixture : GroupFixture
{
    void SetUp() override
    {
        Fill({{"gas", "n", "30", ""}, {"water", "s", "10", ""}, {"gas", "e", "25", ""}});
        grid->Group(1);
        ASSERT_EQ(Layout(), (QStringList{"[gas]3", "3", "1", "[water]2", "2"}));
        for (int r = 1; r < grid->RowCount(); ++r) {
            if (grid->IsNode(r))
                grid->AddCheckBox(3, r, cbUnchecked);
            else
                grid->AddCheckBox(3, r, false, false);
        }
    }

    TCheckBoxState Tri(int realRow)
    {
        TCheckBoxState s = cbGrayed;
        EXPECT_TRUE(grid->GetCheckBoxState(3, realRow, s));
        return s;
    }
    // The boolean states of the real rows 1..5.
    QString States()
    {
        QString out;
        for (int r = 1; r <= 5; ++r)
            out += grid->IsChecked(3, r) ? u'x' : u'.';
        return out;
    }
};

TEST_F(GroupCheckFixture, CheckingANodeChecksItsGroupAndTheGroupSetsTheNode)
{
    grid->Grouping().SetAutoCheckGroup(true);
    // Unchecked goes straight to checked on a node row, with its group.
    EXPECT_TRUE(grid->ToggleCheckBox(3, 1));
    EXPECT_EQ(Tri(1), cbChecked);
    EXPECT_EQ(States(), "xxx..");
    // One row unchecked: the group is mixed.
    grid->ToggleCheckBox(3, 2);
    EXPECT_EQ(Tri(1), cbGrayed);
    EXPECT_EQ(Tri(4), cbUnchecked);
    // Both unchecked: the node follows.
    grid->ToggleCheckBox(3, 3);
    EXPECT_EQ(Tri(1), cbUnchecked);
    grid->ToggleCheckBox(3, 5);
    EXPECT_EQ(Tri(4), cbChecked);
    EXPECT_EQ(States(), "...xx");

    // A contracted group's hidden rows follow their node too.
    grid->ContractNode(1);
    ASSERT_EQ(grid->RowCount(), 4);
    grid->ToggleCheckBox(3, 1);
    EXPECT_EQ(Tri(1), cbChecked);
    EXPECT_EQ(States(), "xxxxx");
    // The rows after a contracted group are another group's.
    grid->ToggleCheckBox(3, 2);
    EXPECT_EQ(Tri(4), cbUnchecked);
    EXPECT_EQ(States(), "xxx..");
}

TEST_F(GroupCheckFixture, WithoutAutoCheckGroupABoxIsItsOwn)
{
    grid->ToggleCheckBox(3, 1);
    EXPECT_EQ(Tri(1), cbGrayed);
    grid->ToggleCheckBox(3, 2);
    EXPECT_EQ(States(), ".x...");
    EXPECT_EQ(Tri(1), cbGrayed);
}

TEST_F(GroupFixture, AClickOnAnExpandedNodeSelectsItsGroup)
{
    struct Case
    {
        const char* why;
        bool autoSelect, disjunct, contracted;
        TGridRect selection; // without disjunct rows
        QString flags;       // rows 1..5 with disjunct rows
    };
    const Case cases[] = {
        {"the node's span over the normal columns", true, false, false, {1, 1, 3, 3}, ""},
        {"the group's rows are flagged", true, true, false, {}, ".xx.."},
        {"a contracted node selects nothing more", true, false, true, {1, 1, 1, 1}, ""},
        {"off", false, false, false, {1, 1, 1, 1}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Renew();
        Fill({{"gas", "n", "30", ""}, {"water", "s", "10", ""}, {"gas", "e", "25", ""}});
        grid->Group(1);
        grid->resize(400, 300);
        grid->show();
        QApplication::processEvents();
        grid->Grouping().SetAutoSelectGroup(c.autoSelect);
        grid->MouseActions().SetDisjunctRowSelect(c.disjunct);
        if (c.contracted)
            grid->ContractNode(1);
        inputtest::ClickAt(grid, inputtest::CellCentre(grid, 1, 1));
        QApplication::processEvents();
        if (c.disjunct) {
            QString flags;
            for (int r = 1; r <= 5; ++r)
                flags += r == 1 ? u'.' : grid->GetRowSelect(r) ? u'x' : u'.';
            EXPECT_EQ(flags, c.flags);
        } else {
            const TGridRect s = grid->Selection();
            EXPECT_EQ(QRect(s.Left, s.Top, s.Right - s.Left + 1, s.Bottom - s.Top + 1),
                      QRect(c.selection.Left, c.selection.Top, c.selection.Right - c.selection.Left + 1,
                            c.selection.Bottom - c.selection.Top + 1));
        }
    }
}

TEST_F(GroupFixture, NodeRowsAreUnderlinedAndSummaryRowsLinedAbove)
{
    Fill({{"gas", "n", "30", ""}, {"water", "s", "10", ""}, {"gas", "e", "25", ""}});
    grid->Grouping().SetSummary(true);
    grid->Grouping().SetHeaderUnderline(true);
    grid->Grouping().SetHeaderLineColor(TColor(0x00C000));
    grid->Grouping().SetSummaryLine(true);
    grid->Grouping().SetSummaryLineColor(TColor(0x0000C0));
    grid->Grouping().SetSummaryLineWidth(3);
    grid->Group(1);
    ASSERT_EQ(Layout(), (QStringList{"[gas]3", "3", "1", "S", "[water]2", "2", "S"}));
    grid->resize(400, 300);
    grid->show();
    QApplication::processEvents();
    const QImage img = gridpaint::Client(*grid);
    // Rows of the cell (column c, row r) from dy above its bottom or below its
    // top that hold the colour in the middle of the cell.
    auto lineRows = [&](int c, int r, TColor color) {
        const TRect cell = grid->CellRect(c, r);
        int n = 0;
        for (int y = cell.Top; y < cell.Bottom; ++y)
            n += gridpaint::Near(img.pixelColor((cell.Left + cell.Right) / 2, y), color, 40) ? 1 : 0;
        return n;
    };
    auto nearBottom = [&](int c, int r, TColor color) {
        const TRect cell = grid->CellRect(c, r);
        for (int y = cell.Bottom - 4; y < cell.Bottom; ++y)
            if (gridpaint::Near(img.pixelColor((cell.Left + cell.Right) / 2, y), color, 40))
                return true;
        return false;
    };
    auto nearTop = [&](int c, int r, TColor color) {
        const TRect cell = grid->CellRect(c, r);
        for (int y = cell.Top - 2; y < cell.Top + 4; ++y)
            if (gridpaint::Near(img.pixelColor((cell.Left + cell.Right) / 2, y), color, 40))
                return true;
        return false;
    };
    for (int c = 1; c < grid->ColCount(); ++c) {
        SCOPED_TRACE(c);
        EXPECT_TRUE(nearBottom(c, 1, TColor(0x00C000)));
        EXPECT_TRUE(nearBottom(c, 5, TColor(0x00C000)));
        // Half of the 2-pixel line may fall on the grid line below.
        EXPECT_GE(lineRows(c, 1, TColor(0x00C000)), 1);
        EXPECT_TRUE(nearTop(c, 4, TColor(0x0000C0)));
        EXPECT_EQ(lineRows(c, 4, TColor(0x0000C0)), 3);
        // Data rows carry neither line.
        EXPECT_EQ(lineRows(c, 2, TColor(0x00C000)), 0);
        EXPECT_EQ(lineRows(c, 2, TColor(0x0000C0)), 0);
    }
    // Column 0 (the node buttons) has no line.
    EXPECT_EQ(lineRows(0, 1, TColor(0x00C000)), 0);
    EXPECT_EQ(lineRows(0, 4, TColor(0x0000C0)), 0);
}

TEST(GroupingSettings, DefaultsAndAssign)
{
    TGrouping a;
    EXPECT_FALSE(a.Summary());
    EXPECT_EQ(a.HeaderColor(), clNone);
    EXPECT_EQ(a.HeaderLineColor(), clBlue);
    EXPECT_EQ(a.HeaderLineWidth(), 2);
    EXPECT_EQ(a.SummaryLineWidth(), 2);
    TGrouping b;
    b.SetSummary(true);
    b.SetMergeHeader(true);
    b.SetHeaderColor(clRed);
    b.SetHeaderLineWidth(5);
    b.SetSummaryLineColor(clRed);
    b.SetGroupCountFormat(QStringLiteral("[%d]"));
    b.SetAutoSelectGroup(true);
    a.Assign(&b);
    // Summary, the line widths and the line colours are not copied.
    EXPECT_FALSE(a.Summary());
    EXPECT_EQ(a.HeaderLineWidth(), 2);
    EXPECT_EQ(a.SummaryLineColor(), clBlue);
    EXPECT_TRUE(a.MergeHeader());
    EXPECT_EQ(a.HeaderColor(), clRed);
    EXPECT_EQ(a.GroupCountFormat(), QStringLiteral("[%d]"));
    EXPECT_TRUE(a.AutoSelectGroup());
}
