// Sorting: the styles on mixed columns, several columns, index sorts, the
// way back to the original order, hidden columns and rows, the header
// click, and the comparison as a strict weak order.
#include "grid/ExGrid.h"
#include "grid/ExGridInputTestSupport.h"

#include <gtest/gtest.h>

#include <optional>

using namespace platform;

namespace {

struct SortFixture : ::testing::Test
{
    TExStringGrid grid;
    std::optional<TSortStyle> style;

    void SetUp() override
    {
        TRegionalSettings r;
        r.DecimalSeparator = QLatin1Char('.');
        r.ThousandSeparator = QLatin1Char(',');
        r.DateSeparator = QLatin1Char('/');
        r.TimeSeparator = QLatin1Char(':');
        r.ShortDateFormat = QStringLiteral("dd/MM/yyyy");
        SetRegionalSettingsOverride(r);
        grid.SetColCount(4);
        grid.OnGetFormat = [this](QObject*, int, TSortStyle& s, QString&, QString&) {
            if (style)
                s = *style;
        };
    }
    void TearDown() override { SetRegionalSettingsOverride(std::nullopt); }

    // Column 1 gets the values, column 2 the original row numbers.
    void Fill(const QStringList& values)
    {
        grid.SetRowCount(static_cast<int>(values.size()) + 1);
        for (int i = 0; i < values.size(); ++i) {
            grid.SetCellEx(1, i + 1, values[i]);
            grid.SetCellEx(2, i + 1, QString::number(i + 1));
        }
    }
    QStringList Column(int c)
    {
        QStringList out;
        for (int r = 1; r < grid.RowCount(); ++r)
            out << grid.GetCellEx(c, r);
        return out;
    }
};

} // namespace

TEST_F(SortFixture, EveryStyleOnMixedColumns)
{
    struct Case
    {
        std::optional<TSortStyle> style;
        QStringList values;
        QStringList sorted;
        const char* why;
    };
    const Case cases[] = {
        {ssAlphabetic, {"b", "B", "a", "10", "9"}, {"10", "9", "B", "a", "b"}, "ordinal, case first"},
        {ssAlphaCase, {"b", "B", "a"}, {"B", "a", "b"}, "same as alphabetic"},
        {ssAlphaNoCase, {"b", "A", "a", "B"}, {"A", "a", "b", "B"}, "equal letters keep their order"},
        {ssNumeric, {"10", "9", "", "2.5", "x"}, {"", "x", "2.5", "9", "10"}, "empty and text count as 0"},
        {ssNumeric, {"1e3", "-4", "nan", "inf"}, {"-4", "nan", "inf", "1e3"}, "no NaN or infinity keys"},
        {ssFinancial, {"1,000", "999", "20"}, {"20", "999", "1,000"}, "thousands separators dropped"},
        {ssDate, {"12/05/2020", "01/01/2021", "03/02/2019", ""}, {"", "03/02/2019", "12/05/2020", "01/01/2021"},
         "regional dates"},
        {ssDateTime, {"12/05/2020 10:00", "12/05/2020 09:00"}, {"12/05/2020 09:00", "12/05/2020 10:00"},
         "date and time"},
        {ssTime, {"12:30", "09:15", "23:00", "x"}, {"x", "09:15", "12:30", "23:00"}, "times"},
        {ssShortDateEU, {"12/05/2020", "01/06/2020"}, {"12/05/2020", "01/06/2020"}, "day first"},
        {ssShortDateUS, {"12/05/2020", "01/06/2020"}, {"01/06/2020", "12/05/2020"}, "month first"},
        {ssAnsiAlphaCase, {"b", "c", "a"}, {"a", "b", "c"}, "locale"},
        {ssAnsiAlphaNoCase, {"b", "C", "a"}, {"a", "b", "C"}, "locale without case"},
        {ssHTML, {"<b>b</b>", "a", "<i>c</i>"}, {"a", "<b>b</b>", "<i>c</i>"}, "tags stripped"},
        {ssAlphaNumeric, {"b", "10", "a", "9", "2a"}, {"9", "10", "2a", "a", "b"}, "numbers, then texts"},
        {ssAlphaNumericNoCase, {"B", "10", "a", "9"}, {"9", "10", "a", "B"}, "numbers, then texts without case"},
        {ssCustom, {"ccc", "a", "bb"}, {"ccc", "a", "bb"}, "no handler: all equal, order kept"},
        {ssRaw, {"x", "y"}, {"x", "y"}, "no handler: all equal"},
        {std::nullopt, {"10", "1.5", "2", ""}, {"", "1.5", "2", "10"}, "automatic: numbers"},
        {std::nullopt, {"12/05/2020", "01/01/2021"}, {"12/05/2020", "01/01/2021"}, "automatic: dates"},
        {std::nullopt, {"12:30", "09:15"}, {"09:15", "12:30"}, "automatic: times"},
        {std::nullopt, {"2020/05/12", "10", "abc"}, {"10", "2020/05/12", "abc"}, "automatic: text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        style = c.style;
        Fill(c.values);
        grid.Sort(1, sdAscending);
        EXPECT_EQ(Column(1), c.sorted);
        // Descending is the reverse, equal values aside.
        grid.Sort(1, sdDescending);
        if (c.style != ssCustom && c.style != ssRaw && c.style != ssAlphaNoCase && c.style != ssNumeric &&
            c.style != ssTime) {
            QStringList reversed = c.sorted;
            std::reverse(reversed.begin(), reversed.end());
            EXPECT_EQ(Column(1), reversed);
        }
    }
}

TEST_F(SortFixture, ApplicationComparisons)
{
    Fill({"ccc", "a", "bb"});
    style = ssCustom;
    grid.OnCustomCompare = [](QObject*, const QString& a, const QString& b, int& res) {
        res = static_cast<int>(a.size() - b.size());
    };
    grid.Sort(1, sdAscending);
    EXPECT_EQ(Column(1), (QStringList{"a", "bb", "ccc"}));
    // A comparison that is no order at all still ends, within the grid.
    grid.OnCustomCompare = [](QObject*, const QString&, const QString&, int& res) { res = 1; };
    grid.Sort(1, sdAscending);
    EXPECT_EQ(Column(1).size(), 3);
    style = ssRaw;
    grid.OnRawCompare = [this](QObject*, int, int r1, int r2, int& res) {
        res = grid.GetCellEx(2, r2).toInt() - grid.GetCellEx(2, r1).toInt();
    };
    grid.Sort(1, sdAscending);
    EXPECT_EQ(Column(2), (QStringList{"3", "2", "1"}));
}

TEST_F(SortFixture, CheckBoxesAndImages)
{
    Fill({"a", "b", "c"});
    grid.AddCheckBox(1, 1, true, false);
    grid.AddCheckBox(1, 2, false, false);
    grid.AddCheckBox(1, 3, true, false);
    grid.Sort(1, sdAscending); // automatic: every cell a check box
    EXPECT_EQ(Column(2), (QStringList{"2", "1", "3"}));
    Fill({"a", "b", "c"});
    style = ssImages;
    TImageList images(16, 16);
    grid.SetGridImages(&images);
    grid.AddImageIdx(3, 1, 5, haLeft, vaTop);
    grid.AddImageIdx(3, 2, 2, haLeft, vaTop);
    grid.AddImageIdx(3, 3, 9, haLeft, vaTop);
    grid.Sort(3, sdAscending);
    EXPECT_EQ(Column(2), (QStringList{"2", "1", "3"}));
    grid.SetGridImages(nullptr);
}

TEST_F(SortFixture, BlanksGoToTheirEndInBothDirections)
{
    style = ssNumeric;
    Fill({"10", "", "9"});
    grid.SortSettings().SetIgnoreBlanks(true);
    grid.SortSettings().SetBlankPos(blLast);
    grid.Sort(1, sdAscending);
    EXPECT_EQ(Column(1), (QStringList{"9", "10", ""}));
    grid.Sort(1, sdDescending);
    EXPECT_EQ(Column(1), (QStringList{"10", "9", ""}));
    grid.SortSettings().SetBlankPos(blFirst);
    grid.Sort(1, sdDescending);
    EXPECT_EQ(Column(1), (QStringList{"", "10", "9"}));
}

TEST_F(SortFixture, EqualCellsFallBackToTheFollowingColumnsWithFull)
{
    grid.SetRowCount(5);
    const QStringList a{"x", "y", "x", "y"}, b{"2", "1", "1", "2"}, c{"p", "q", "r", "s"};
    for (int i = 0; i < 4; ++i) {
        grid.SetCellEx(1, i + 1, a[i]);
        grid.SetCellEx(2, i + 1, b[i]);
        grid.SetCellEx(3, i + 1, c[i]);
    }
    grid.Sort(1, sdAscending);
    EXPECT_EQ(Column(3), (QStringList{"r", "p", "q", "s"}));
    grid.SortSettings().SetFull(false);
    grid.Sort(3, sdDescending);
    grid.Sort(1, sdAscending); // ties keep their order from the sort before
    EXPECT_EQ(Column(3), (QStringList{"r", "p", "s", "q"}));
}

TEST_F(SortFixture, IndexSortAndItsStringForm)
{
    grid.SetRowCount(5);
    const QStringList a{"1", "2", "1", "2"}, b{"a", "b", "c", "d"};
    for (int i = 0; i < 4; ++i) {
        grid.SetCellEx(1, i + 1, a[i]);
        grid.SetCellEx(2, i + 1, b[i]);
    }
    EXPECT_THROW(grid.QSortIndexed(), REruVidaZuvez);
    grid.SortSettings().LoadFromString("i;u1;d2");
    EXPECT_TRUE(grid.SortSettings().IndexShow());
    EXPECT_EQ(Column(2), (QStringList{"c", "a", "d", "b"}));
    EXPECT_EQ(grid.SortSettings().SaveToString(), "i;u1;d2");
    grid.SortSettings().LoadFromString("d2");
    EXPECT_EQ(Column(2), (QStringList{"d", "c", "b", "a"}));
    EXPECT_EQ(grid.SortSettings().SaveToString(), "d2");
    grid.SortSettings().LoadFromString("u2");
    EXPECT_EQ(Column(2), (QStringList{"a", "b", "c", "d"}));
    try {
        grid.SortSettings().LoadFromString("u");
        FAIL() << "one character is refused";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Invalid sort settings specifier");
    }
}

TEST_F(SortFixture, BackToTheOriginalOrderAfterSeveralSorts)
{
    Fill({"c", "a", "d", "b"});
    grid.SetCellEx(3, 1, "row one");
    grid.SetRowHeights(1, 40);
    grid.InitSortXRef();
    grid.Sort(1, sdAscending);
    grid.Sort(2, sdDescending);
    grid.Sort(1, sdDescending);
    EXPECT_EQ(grid.GetCellEx(3, grid.SortXRef().IndexOf(1)), "row one");
    grid.QUnSort();
    EXPECT_EQ(Column(1), (QStringList{"c", "a", "d", "b"}));
    EXPECT_EQ(grid.GetCellEx(3, 1), "row one");
    EXPECT_EQ(grid.RowHeights(1), 40);
    // No sort column: nothing moves.
    grid.SortSettings().SetColumn(-1);
    grid.QSort();
    EXPECT_EQ(Column(1), (QStringList{"c", "a", "d", "b"}));
}

TEST_F(SortFixture, HiddenColumnsAndRowsKeepTheirRows)
{
    Fill({"c", "a", "d", "b"});
    for (int r = 1; r <= 4; ++r)
        grid.SetCellEx(3, r, grid.GetCellEx(1, r) + QStringLiteral("!"));
    grid.HideColumn(3);
    grid.HideRow(2); // "a" leaves the grid
    grid.Sort(1, sdAscending);
    EXPECT_EQ(Column(1), (QStringList{"b", "c", "d"}));
    grid.UnHideColumn(3);
    for (int r = 1; r < grid.RowCount(); ++r)
        EXPECT_EQ(grid.GetCellEx(3, r), grid.GetCellEx(1, r) + QStringLiteral("!"));
    grid.UnHideRowsAll();
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_TRUE(Column(1).contains("a"));
    // Sorting by a hidden column orders by its texts too.
    grid.HideColumn(1);
    grid.SortSettings().SetColumn(3);
    grid.SortSettings().SetDirection(sdDescending);
    grid.QSort();
    grid.UnHideColumn(1);
    EXPECT_EQ(Column(1), (QStringList{"d", "c", "b", "a"}));
}

TEST_F(SortFixture, ComparisonIsAStrictWeakOrderOnMixedData)
{
    const QStringList mixed{"10", "9", "abc", "", "12/05/2020", "1.5", "B", "12:30", "2a", "-3", "x", "a"};
    for (std::optional<TSortStyle> s :
         {std::optional<TSortStyle>{}, std::optional<TSortStyle>{ssAlphaNumeric},
          std::optional<TSortStyle>{ssAlphaNumericNoCase}, std::optional<TSortStyle>{ssNumeric},
          std::optional<TSortStyle>{ssDate}, std::optional<TSortStyle>{ssAlphaNoCase},
          std::optional<TSortStyle>{ssAlphabetic}, std::optional<TSortStyle>{ssFinancial},
          std::optional<TSortStyle>{ssDateTime}, std::optional<TSortStyle>{ssTime},
          std::optional<TSortStyle>{ssShortDateEU}, std::optional<TSortStyle>{ssShortDateUS},
          std::optional<TSortStyle>{ssAnsiAlphaCase}, std::optional<TSortStyle>{ssAnsiAlphaNoCase},
          std::optional<TSortStyle>{ssHTML}}) {
        SCOPED_TRACE(s ? static_cast<int>(*s) : -1);
        style = s;
        Fill(mixed);
        grid.SortSettings().SetIgnoreBlanks(s == ssNumeric);
        const int n = static_cast<int>(mixed.size());
        auto less = [&](int a, int b) { return grid.CompareCells(1, a + 1, b + 1, sdAscending) < 0; };
        auto equiv = [&](int a, int b) { return !less(a, b) && !less(b, a); };
        for (int a = 0; a < n; ++a) {
            EXPECT_FALSE(less(a, a));
            for (int b = 0; b < n; ++b) {
                if (less(a, b)) {
                    EXPECT_FALSE(less(b, a)) << a << " " << b;
                }
                for (int c = 0; c < n; ++c) {
                    if (less(a, b) && less(b, c)) {
                        EXPECT_TRUE(less(a, c)) << a << " " << b << " " << c;
                    }
                    if (equiv(a, b) && equiv(b, c)) {
                        EXPECT_TRUE(equiv(a, c)) << a << " " << b << " " << c;
                    }
                }
            }
        }
    }
}

TEST_F(SortFixture, SortRowMustBeAFixedRow)
{
    grid.SetRowCount(5);
    grid.SetFixedRows(2);
    struct Case
    {
        int row;
        bool accepted;
    };
    for (const Case& c : {Case{0, true}, Case{1, true}, Case{2, false}, Case{3, false}, Case{-1, false}}) {
        SCOPED_TRACE(c.row);
        grid.SortSettings().SetRow(0);
        if (c.accepted) {
            grid.SortSettings().SetRow(c.row);
            EXPECT_EQ(grid.SortSettings().Row(), c.row);
        } else {
            try {
                grid.SortSettings().SetRow(c.row);
                ADD_FAILURE() << "accepted";
            } catch (const std::exception& e) {
                EXPECT_STREQ(e.what(), "Sort row should be smaller than number of fixed rows");
            }
            EXPECT_EQ(grid.SortSettings().Row(), 0);
        }
    }
}

TEST_F(SortFixture, GroupSortKeepsNodeRowsInPlace)
{
    Fill({"head", "c", "a", "b", "tail", "z", "y"});
    grid.AddNode(1, 4); // rows 1..4
    grid.SortSettings().SetColumn(1);
    grid.QSortGroup();
    EXPECT_EQ(Column(1), (QStringList{"head", "a", "b", "c", "tail", "z", "y"}));
}

namespace {

struct HeaderClickFixture : edittest::GridFixture
{
    void SetUp() override
    {
        GridFixture::SetUp();
        grid->SetOptions(grid->Options() & ~goEditing);
        grid->SetRowCount(5);
        const QStringList v{"b", "c", "a", "d"};
        for (int i = 0; i < v.size(); ++i)
            grid->SetCellEx(2, i + 1, v[i]);
        grid->SortSettings().SetShow(true);
        grid->SortSettings().SetUndoSort(true);
        edittest::ProcessEvents();
    }
    QStringList Column()
    {
        QStringList out;
        for (int r = 1; r <= 4; ++r)
            out << grid->GetCellEx(2, r);
        return out;
    }
};

} // namespace

TEST_F(HeaderClickFixture, ClicksSortUpDownAndBack)
{
    const TRect r = grid->CellRect(2, 0);
    const QPoint header((r.Left + r.Right) / 2 - 10, (r.Top + r.Bottom) / 2);
    inputtest::ClickAt(grid, header);
    EXPECT_EQ(Column(), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(grid->SortSettings().Column(), 2);
    inputtest::ClickAt(grid, header);
    EXPECT_EQ(Column(), (QStringList{"d", "c", "b", "a"}));
    inputtest::ClickAt(grid, header);
    EXPECT_EQ(Column(), (QStringList{"b", "c", "a", "d"}));
    EXPECT_EQ(grid->SortSettings().Column(), -1);
    grid->repaint();
}

TEST_F(SortFixture, EveryStyleSortsAMixedColumnIntoItsOwnOrder)
{
    // Texts, numbers, dates, times and empty cells in one column: whatever
    // the style, the sort keeps every row whole and leaves the column in the
    // style's ascending order, descending the exact reverse of its groups.
    const QStringList mixed{"10",    "b",        "",       "12/05/2020", "9",   "1,000", "<i>a</i>", "12:30",
                            "01/01/2021", "-2.5", "B",    "",           "x1",  "09:15", "2020/05/12", "A"};
    const std::optional<TSortStyle> styles[] = {
        std::nullopt,   ssAlphabetic, ssAlphaNoCase,     ssNumeric,         ssFinancial,
        ssDate,         ssDateTime,   ssTime,            ssShortDateEU,     ssShortDateUS,
        ssAnsiAlphaCase, ssAnsiAlphaNoCase, ssHTML,      ssAlphaNumeric,    ssAlphaNumericNoCase};
    grid.SortSettings().SetFull(false); // ties are decided by nothing but their order
    for (const std::optional<TSortStyle>& s : styles) {
        SCOPED_TRACE(s ? static_cast<int>(*s) : -1);
        style = s;
        for (const TSortDirection d : {sdAscending, sdDescending}) {
            Fill(mixed);
            for (int r = 1; r < grid.RowCount(); ++r)
                grid.SetCellEx(3, r, grid.GetCellEx(1, r) + QStringLiteral("|") + grid.GetCellEx(2, r));
            grid.Sort(1, d);
            QStringList seen;
            for (int r = 1; r < grid.RowCount(); ++r) {
                // Each row still holds its own cells.
                EXPECT_EQ(grid.GetCellEx(3, r), grid.GetCellEx(1, r) + QStringLiteral("|") + grid.GetCellEx(2, r));
                seen << grid.GetCellEx(2, r);
                if (r > 1) {
                    const int order = grid.CompareCells(1, r - 1, r, d);
                    EXPECT_LE(d == sdAscending ? order : -order, 0) << "rows " << r - 1 << " and " << r;
                    // Equal cells keep their original order (the sort is stable).
                    if (order == 0) {
                        EXPECT_LT(grid.GetCellEx(2, r - 1).toInt(), grid.GetCellEx(2, r).toInt());
                    }
                }
            }
            seen.sort();
            QStringList all;
            for (int i = 1; i <= mixed.size(); ++i)
                all << QString::number(i);
            all.sort();
            EXPECT_EQ(seen, all);
        }
    }
}

TEST_F(SortFixture, ColumnZeroAndSingleColumnSortsKeepTheOtherCells)
{
    Fill({"c", "a", "b"});
    grid.SetFixedCols(1);
    for (int r = 1; r <= 3; ++r)
        grid.SetCellEx(0, r, QStringLiteral("#%1").arg(r));
    // NormalCellsOnly: the fixed column 0 keeps its texts.
    grid.SortSettings().SetNormalCellsOnly(true);
    grid.Sort(1, sdAscending);
    EXPECT_EQ(Column(1), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(Column(2), (QStringList{"2", "3", "1"}));
    EXPECT_EQ(Column(0), (QStringList{"#1", "#2", "#3"}));
    // SingleColumn: only the sort column's cells move.
    grid.SortSettings().SetNormalCellsOnly(false);
    grid.SortSettings().SetSingleColumn(true);
    grid.Sort(1, sdDescending);
    EXPECT_EQ(Column(1), (QStringList{"c", "b", "a"}));
    EXPECT_EQ(Column(2), (QStringList{"2", "3", "1"}));
}

TEST_F(SortFixture, UnsortBringsHiddenColumnsBackWithTheirRows)
{
    Fill({"c", "a", "d", "b"});
    for (int r = 1; r <= 4; ++r)
        grid.SetCellEx(3, r, grid.GetCellEx(1, r) + QStringLiteral("!"));
    grid.InitSortXRef();
    grid.HideColumn(3);
    grid.Sort(1, sdAscending);
    grid.Sort(2, sdDescending);
    grid.QUnSort();
    grid.UnHideColumn(3);
    EXPECT_EQ(Column(1), (QStringList{"c", "a", "d", "b"}));
    EXPECT_EQ(Column(3), (QStringList{"c!", "a!", "d!", "b!"}));
}

TEST_F(SortFixture, ASortReportsTheCurrentRowThatNowShowsOtherData)
{
    Fill({"c", "a", "d", "b"});
    grid.SetRow(2); // "a"
    std::vector<std::pair<int, int>> reports;
    grid.OnRowUpdate = [&](QObject*, int oldRow, int newRow) { reports.emplace_back(oldRow, newRow); };
    // The row keeps its index; its data changed.
    grid.Sort(1, sdAscending);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.GetCellEx(1, 2), "b");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], std::make_pair(2, 2));
    // With MoveRowOnSort the row follows its data; the move itself reports.
    reports.clear();
    grid.SetRow(1); // "a"
    reports.clear();
    grid.Navigation().SetMoveRowOnSort(true);
    grid.Sort(1, sdDescending);
    EXPECT_EQ(grid.GetCellEx(1, grid.Row()), "a");
    EXPECT_EQ(grid.Row(), 4);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], std::make_pair(1, 4));
    grid.OnRowUpdate = nullptr;
}
