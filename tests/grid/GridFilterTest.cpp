// Filtering: conditions row by row, filter levels on the hidden-row store,
// narrowing down while typing, and the filter drop-down (values chosen from
// it are matched as they are, not as conditions).
#include "grid/ExGrid.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>

#include <memory>
#include <vector>

using namespace platform;

namespace {

void Process()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Column 0 is fixed; columns 1 to 3 hold a name, a number and a unit text.
const char* const Rows[][3] = {
    {"apple", "10", "$5"},      {"Banana", "25", "$15"}, {"cherry pie", "30", "12kg"},
    {"a=b", "7", "3kg4"},       {"*star", "100", "3kg4kg"}, {"x&y", "3", "x"},
};
constexpr int DataRows = 6;

struct FilterFixture : ::testing::Test
{
    std::unique_ptr<QWidget> host;
    TExStringGrid* grid = nullptr;

    void SetUp() override
    {
        host = std::make_unique<QWidget>();
        host->resize(640, 420);
        grid = new TExStringGrid(host.get());
        grid->setGeometry(10, 10, 560, 360);
        grid->SetColCount(4);
        grid->SetRowCount(DataRows + 1);
        grid->SetFixedRows(1);
        grid->SetFixedCols(1);
        grid->SetCellEx(1, 0, QStringLiteral("Name"));
        for (int r = 0; r < DataRows; ++r) {
            grid->SetCellEx(0, r + 1, QString::number(r + 1));
            for (int c = 0; c < 3; ++c)
                grid->SetCellEx(c + 1, r + 1, QString::fromUtf8(Rows[r][c]));
        }
        host->show();
        QApplication::setActiveWindow(host.get());
        Process();
    }

    void TearDown() override
    {
        grid->OnCustomFilter = nullptr;
        grid->OnFilterSelect = nullptr;
        host.reset();
    }

    // The names of the rows shown, top to bottom.
    QStringList Shown()
    {
        QStringList out;
        for (int r = 1; r < grid->RowCount(); ++r)
            out << grid->GetCellEx(1, r);
        return out;
    }

    QStringList AllNames()
    {
        QStringList out;
        for (const auto& row : Rows)
            out << QString::fromUtf8(row[0]);
        return out;
    }

    int EntryIndex(const QString& name)
    {
        const QStringList& list = grid->FilterList();
        for (int i = 0; i < list.size(); ++i)
            if (list[i] == name || list[i].startsWith(name + QStringLiteral("=\"")))
                return i;
        return -1;
    }
};

struct Cond
{
    int column;
    const char* condition;
    TFilterOperation operation = foNONE;
    TFilterMethod method = fmExpression;
    bool caseSensitive = true;
    TFilterCells data = fcVirtual;
    const char* prefix = "";
    const char* suffix = "";
};

} // namespace

TEST_F(FilterFixture, ConditionsSelectTheRowsThatPass)
{
    struct Case
    {
        const char* name;
        std::vector<Cond> conditions;
        QStringList expected;
    };
    const Case cases[] = {
        {"no condition keeps every row", {}, AllNames()},
        {"empty condition keeps every row", {{1, ""}}, AllNames()},
        {"wildcard, case sensitive", {{1, "a*"}}, {"apple", "a=b"}},
        {"wildcard, case ignored", {{1, "b*", foNONE, fmExpression, false}}, {"Banana"}},
        {"wildcard, case kept", {{1, "b*"}}, {}},
        {"comparison", {{2, ">20"}}, {"Banana", "cherry pie", "*star"}},
        {"and of comparisons", {{2, ">5 & <30"}}, {"apple", "Banana", "a=b"}},
        {"operators split an expression left to right", {{1, "apple | x&y"}}, {}},
        {"literal keeps the equals sign", {{1, "a=b", foNONE, fmLiteral}}, {"a=b"}},
        {"literal keeps the wildcard", {{1, "*star", foNONE, fmLiteral}}, {"*star"}},
        {"literal keeps the operator", {{1, "x&y", foNONE, fmLiteral}}, {"x&y"}},
        {"prefix removed before the test", {{3, "15", foNONE, fmLiteral, true, fcVirtual, "$"}}, {"Banana"}},
        {"suffix removed before the test", {{3, "12", foNONE, fmLiteral, true, fcVirtual, "", "kg"}}, {"cherry pie"}},
        {"suffix found earlier is kept", {{3, "3kg4", foNONE, fmLiteral, true, fcVirtual, "", "kg"}}, {"a=b"}},
        {"a longer suffix ending the text is removed",
         {{3, "3", foNONE, fmLiteral, true, fcVirtual, "", "kg4kg"}},
         {"*star"}},
        {"whole row, letters folded", {{-1, "PIE", foNONE, fmExpression, true, fcRow}}, {"cherry pie"}},
        {"negation", {{1, "!a*"}}, {"Banana", "cherry pie", "*star", "x&y"}},
        {"one-character wildcard", {{1, "?pple"}}, {"apple"}},
        {"quoted blank", {{1, "\"cherry pie\""}}, {"cherry pie"}},
        {"blank outside quotes is dropped", {{1, "cherry pie"}}, {}},
        {"literal, case ignored", {{1, "APPLE", foNONE, fmLiteral, false}}, {"apple"}},
        {"literal, case kept", {{1, "APPLE", foNONE, fmLiteral}}, {}},
        {"or of two conditions", {{1, "apple"}, {1, "Banana", foOR}}, {"apple", "Banana"}},
        {"and of two conditions", {{2, ">5"}, {1, "a*", foAND}}, {"apple", "a=b"}},
        {"xor of two conditions", {{2, ">5"}, {1, "a*", foXOR}}, {"Banana", "cherry pie", "*star"}},
        {"short: a failing first one decides", {{1, "nothing", foSHORT}, {1, "apple", foOR}}, {}},
        {"short: a passing one goes on", {{2, "<20", foSHORT}, {1, "x&y", foOR, fmLiteral}},
         {"apple", "a=b", "x&y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid->Filter().Clear();
        for (const Cond& k : c.conditions) {
            TFilterData* f = grid->Filter().Add();
            f->SetColumn(k.column);
            f->SetCondition(QString::fromUtf8(k.condition));
            f->SetOperation(k.operation);
            f->SetMethod(k.method);
            f->SetCaseSensitive(k.caseSensitive);
            f->SetData(k.data);
            f->SetPrefix(QString::fromUtf8(k.prefix));
            f->SetSuffix(QString::fromUtf8(k.suffix));
        }
        grid->SetFilterActive(true);
        EXPECT_EQ(Shown(), c.expected);
        grid->SetFilterActive(false);
        EXPECT_EQ(Shown(), AllNames());
        EXPECT_EQ(grid->FilterLevel(), 0);
    }
}

TEST_F(FilterFixture, TheCustomHandlerHasTheLastWord)
{
    grid->OnCustomFilter = [this](QObject*, int aRow, bool& accept) {
        accept = grid->GetCellEx(2, aRow) == QStringLiteral("7");
    };
    grid->SetFilterActive(true);
    EXPECT_EQ(Shown(), QStringList{"a=b"});
}

TEST_F(FilterFixture, LevelsBringBackExactlyTheirRowsAndKeepOtherHiddenRows)
{
    // A row hidden by hand before any filter.
    grid->HideRow(6);
    ASSERT_EQ(grid->RowCount(), DataRows);

    TFilterData* f = grid->Filter().Add();
    f->SetColumn(2);
    f->SetCondition(QStringLiteral(">5"));
    grid->ApplyFilter();
    EXPECT_EQ(Shown(), (QStringList{"apple", "Banana", "cherry pie", "a=b", "*star"}));
    f->SetCondition(QStringLiteral("<50"));
    grid->ApplyFilter();
    EXPECT_EQ(Shown(), (QStringList{"apple", "Banana", "cherry pie", "a=b"}));
    EXPECT_EQ(grid->FilterLevel(), 2);

    EXPECT_TRUE(grid->RemoveLastFilter());
    EXPECT_EQ(Shown(), (QStringList{"apple", "Banana", "cherry pie", "a=b", "*star"}));
    EXPECT_FALSE(grid->RemoveLastFilter());
    EXPECT_EQ(grid->FilterLevel(), 0);
    // The row hidden by hand is still hidden, and still there.
    EXPECT_EQ(Shown(), (QStringList{"apple", "Banana", "cherry pie", "a=b", "*star"}));
    EXPECT_TRUE(grid->IsHiddenRow(6));
    EXPECT_FALSE(grid->RemoveLastFilter());
    grid->UnHideRow(6);
    EXPECT_EQ(Shown(), AllNames());

    // Switching on and off again and again leaves no level behind.
    for (int i = 0; i < 3; ++i) {
        grid->SetFilterActive(true);
        EXPECT_EQ(grid->FilterLevel(), 1);
        grid->SetFilterActive(false);
    }
    EXPECT_EQ(grid->FilterLevel(), 0);
    EXPECT_EQ(Shown(), AllNames());

    // With no level in force, removing all filters empties the conditions.
    grid->RemoveAllFilters();
    EXPECT_EQ(grid->Filter().Count(), 0);
}

TEST_F(FilterFixture, AFilterThatHidesEveryRowCanBeUndone)
{
    TFilterData* f = grid->Filter().Add();
    f->SetColumn(1);
    f->SetCondition(QStringLiteral("nothing"));
    grid->SetRow(3);
    grid->SetFilterActive(true);
    EXPECT_TRUE(Shown().join(QString()).isEmpty());
    grid->SetFilterActive(false);
    EXPECT_EQ(Shown(), AllNames());
}

TEST_F(FilterFixture, NarrowingDownWhileTyping)
{
    grid->SetCellEx(1, 1, QStringLiteral("abc one"));
    grid->SetCellEx(1, 2, QStringLiteral("abd"));
    grid->SetCellEx(1, 3, QStringLiteral("xab"));
    struct Step
    {
        const char* typed;
        int levels;
        QStringList shown;
    };
    const Step steps[] = {
        {"a", 1, {"abc one", "abd", "xab", "a=b", "*star"}},
        {"ab", 2, {"abc one", "abd", "xab"}},
        {"abc", 3, {"abc one"}},
        {"ab", 2, {"abc one", "abd", "xab"}},
        {"x", 1, {"xab", "x&y"}},
        {"c o", 1, {"abc one"}},
        {"", 0, {"abc one", "abd", "xab", "a=b", "*star", "x&y"}},
        // The typed text is a condition between two stars: its wildcards count.
        {"a?d", 1, {"abd"}},
        {"a?d*", 2, {"abd"}},
        {"", 0, {"abc one", "abd", "xab", "a=b", "*star", "x&y"}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.typed);
        grid->NarrowDown(QString::fromUtf8(s.typed), 1);
        EXPECT_EQ(grid->FilterLevel(), s.levels);
        EXPECT_EQ(Shown(), s.shown);
    }
}

TEST_F(FilterFixture, HiddenColumnsKeepTheirRealIndexInConditions)
{
    // Column 2 (numbers) is hidden; conditions still name it by its real index.
    grid->HideColumn(2);
    ASSERT_EQ(grid->ColCount(), 3);
    TFilterData* f = grid->Filter().Add();
    f->SetColumn(2);
    f->SetCondition(QStringLiteral(">20"));
    grid->SetFilterActive(true);
    EXPECT_EQ(Shown(), (QStringList{"Banana", "cherry pie", "*star"}));
    grid->SetFilterActive(false);
    grid->Filter().Clear();

    // The unit column, shown at display position 2, is real column 3.
    f = grid->Filter().Add();
    f->SetColumn(3);
    f->SetCondition(QStringLiteral("*kg*"));
    grid->SetFilterActive(true);
    EXPECT_EQ(Shown(), (QStringList{"cherry pie", "a=b", "*star"}));
    grid->SetFilterActive(false);

    // Narrowing whole rows looks at what is shown: the hidden numbers do not count.
    grid->NarrowDown(QStringLiteral("10"), -1);
    EXPECT_TRUE(Shown().isEmpty() || Shown().join(QString()).isEmpty());
    grid->NarrowDown(QString(), -1);
    grid->NarrowDown(QStringLiteral("kg"), -1);
    EXPECT_EQ(Shown(), (QStringList{"cherry pie", "a=b", "*star"}));
    grid->NarrowDown(QString(), -1);
    EXPECT_EQ(Shown(), AllNames());
}

TEST_F(FilterFixture, DropDownValuesAreMatchedAsTheyAre)
{
    grid->SetFilterDropDownAuto(true);
    grid->SetFilterDropDownRow(0);
    const char* values[] = {"a=b", "*star", "x&y", "cherry pie", "apple"};
    for (const char* v : values) {
        SCOPED_TRACE(v);
        grid->ShowFilterDropDown(1, 0);
        const int i = EntryIndex(QString::fromUtf8(v));
        ASSERT_GE(i, 0);
        grid->FilterSelected(i);
        EXPECT_EQ(Shown(), QStringList{QString::fromUtf8(v)});
        EXPECT_EQ(grid->FilterColumn(), -1);
    }
    // "(All)" removes the column's filter.
    grid->ShowFilterDropDown(1, 0);
    ASSERT_EQ(grid->FilterList().value(0), QStringLiteral("(All)"));
    grid->FilterSelected(0);
    EXPECT_FALSE(grid->Filter().HasFilter(1));
    EXPECT_EQ(Shown(), AllNames());
}

TEST_F(FilterFixture, AConditionGivenByTheHandlerIsAnExpression)
{
    grid->SetFilterDropDownAuto(true);
    grid->OnFilterSelect = [](QObject*, int, int, const QString&, QString& condition) {
        condition = QStringLiteral("a*");
    };
    grid->ShowFilterDropDown(1, 0);
    grid->FilterSelected(EntryIndex(QStringLiteral("x&y")));
    EXPECT_EQ(Shown(), (QStringList{"apple", "a=b"}));
}

TEST_F(FilterFixture, TheFilterButtonOpensTheListAndEnterChoosesAValue)
{
    grid->SetFilterDropDownAuto(true);
    const TRect cell = grid->TBaseGrid::CellRect(1, 0);
    QWidget* surface = grid->ClientSurface();
    const QPoint onButton(cell.Right - 10, cell.Top + 5);
    testsupport::Click(surface, onButton);
    Process();
    TDropList* list = grid->FilterDropList();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->isVisible());
    // Entries show the friendly names; the first, "(All)", is selected.
    EXPECT_EQ(list->Item(0), QStringLiteral("(All)"));
    EXPECT_EQ(list->ItemIndex(), 0);
    int target = -1;
    for (int i = 0; i < list->Count(); ++i)
        if (list->Item(i) == QStringLiteral("a=b"))
            target = i;
    ASSERT_GT(target, 0);
    list->setFocus();
    Process();
    for (int i = 0; i < target; ++i)
        testsupport::KeyClick(Qt::Key_Down);
    testsupport::KeyClick(Qt::Key_Return);
    Process();
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(Shown(), QStringList{"a=b"});
    EXPECT_TRUE(grid->Filter().HasFilter(1));

    // A click elsewhere in the header only closes an open list.
    testsupport::Click(surface, onButton);
    Process();
    ASSERT_TRUE(list->isVisible());
    testsupport::Click(surface, QPoint(cell.Left + 5, cell.Top + 5));
    Process();
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(grid->FilterColumn(), -1);
}

TEST_F(FilterFixture, CheckedValuesAreOrCombined)
{
    grid->SetFilterDropDownAuto(true);
    grid->SetFilterDropDownCheck(true);
    grid->ShowFilterDropDown(1, 0);
    TDropCheckList* list = grid->FilterDropCheckList();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->isVisible());
    for (int i = 0; i < list->Count(); ++i)
        if (list->Item(i) == QStringLiteral("x&y") || list->Item(i) == QStringLiteral("cherry pie"))
            list->item(i)->setCheckState(Qt::Checked); // as a click on the box does
    Process();
    EXPECT_EQ(Shown(), (QStringList{"cherry pie", "x&y"}));
    EXPECT_TRUE(list->isVisible());
}

TEST_F(FilterFixture, TheDropDownRowMustBeAFixedRow)
{
    grid->SetFilterDropDownRow(1);
    EXPECT_EQ(grid->FilterDropDownRow(), 0);
    grid->SetFixedRows(2);
    grid->SetFilterDropDownRow(1);
    EXPECT_EQ(grid->FilterDropDownRow(), 1);
}
