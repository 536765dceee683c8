// The spin, date and time, edit-with-button and unit editors: the spin
// edit's steps and limits at their edges, and each editor driven over a
// shown grid with real keys and clicks, committing through validation.
#include "grid/EsgSpin.h"
#include "grid/ExCGrid.h"
#include "grid/ExGrid.h"
#include "grid/ExGrid_Editors.h"

#include "platform/Forms.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace platform;
using testsupport::KeyClick;
using testsupport::TypeKeys;

namespace {

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Fixed regional settings: day first, "/" and ":" and a decimal point.
struct FixedRegion
{
    FixedRegion()
    {
        SetRegionalSettingsOverride(TRegionalSettings{QChar(u','), QChar(u'.'), QChar(u'/'), QChar(u':'),
                                                      QStringLiteral("dd/MM/yyyy")});
    }
    ~FixedRegion() { SetRegionalSettingsOverride(std::nullopt); }
};

void Press(QWidget* w, Qt::Key key)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &up);
}

void Click(QWidget* w)
{
    const QPointF p(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

// ---------------------------------------------------------------------------
// Steps and limits of the spin edit
// ---------------------------------------------------------------------------

struct StepCase
{
    const char* name;
    std::function<void(TEsgSpinEdit&)> setup;
    const char* text;
    int caret;
    Qt::Key key;
    const char* expected;
};

void PrintTo(const StepCase& k, std::ostream* os) { *os << k.name; }

class SpinSteps : public ::testing::TestWithParam<StepCase>
{
};

TEST_P(SpinSteps, KeyStepsWithinTheLimits)
{
    FixedRegion region;
    const StepCase& k = GetParam();
    TEsgSpinEdit spin;
    k.setup(spin);
    spin.SetText(QString::fromLatin1(k.text));
    spin.setCursorPosition(k.caret);
    Press(&spin, k.key);
    EXPECT_EQ(spin.Text(), QString::fromLatin1(k.expected));
}

const StepCase StepCases[] = {
    {"IntUp", [](TEsgSpinEdit&) {}, "5", 0, Qt::Key_Up, "6"},
    {"IntAtMax", [](TEsgSpinEdit&) {}, "100", 0, Qt::Key_Up, "100"},
    {"IntAtMin", [](TEsgSpinEdit&) {}, "0", 0, Qt::Key_Down, "0"},
    {"IntStepOverMax", [](TEsgSpinEdit& s) { s.SetIncrement(7); }, "98", 0, Qt::Key_Up, "100"},
    {"IntPageIsAStepToo", [](TEsgSpinEdit& s) { s.SetIncrement(3); }, "10", 0, Qt::Key_PageUp, "13"},
    // Equal limits are none.
    {"IntNoLimits", [](TEsgSpinEdit& s) { s.SetMaxValue(0); }, "-5", 0, Qt::Key_Down, "-6"},
    {"IntNearIntMax", [](TEsgSpinEdit& s) { s.SetMaxValue(0); }, "2147483647", 0, Qt::Key_Up, "2147483647"},
    {"IntUnreadableIsMin", [](TEsgSpinEdit& s) { s.SetMinValue(10); }, "x", 0, Qt::Key_Up, "11"},
    {"FloatUp",
     [](TEsgSpinEdit& s) {
         s.SetSpinType(sptFloat);
         s.SetPrecision(2);
     },
     "0.95", 0, Qt::Key_Up, "1.05"},
    {"FloatAtMax", [](TEsgSpinEdit& s) { s.SetSpinType(sptFloat); }, "99.95", 0, Qt::Key_Up, "100"},
    {"FloatPage", [](TEsgSpinEdit& s) { s.SetSpinType(sptFloat); }, "2", 0, Qt::Key_PageDown, "1"},
    {"DateDay", [](TEsgSpinEdit& s) { s.SetSpinType(sptDate); }, "31/01/2024", 1, Qt::Key_Up, "01/02/2024"},
    {"DateMonthKeepsDayInMonth", [](TEsgSpinEdit& s) { s.SetSpinType(sptDate); }, "31/01/2024", 4, Qt::Key_Up,
     "29/02/2024"},
    // A year from 29 February lands on 28 February.
    {"DateYearFromLeapDay", [](TEsgSpinEdit& s) { s.SetSpinType(sptDate); }, "29/02/2024", 8, Qt::Key_Up,
     "28/02/2025"},
    {"DateYearDownFromLeapDay", [](TEsgSpinEdit& s) { s.SetSpinType(sptDate); }, "29/02/2024", 8, Qt::Key_Down,
     "28/02/2023"},
    {"TimeSecondsWrap", [](TEsgSpinEdit& s) { s.SetSpinType(sptTime); }, "23:59:59", 7, Qt::Key_Up, "00:00:00"},
    {"TimeHoursDownWrap", [](TEsgSpinEdit& s) { s.SetSpinType(sptTime); }, "00:10:00", 0, Qt::Key_Down, "23:10:00"},
    {"TimeMinutes", [](TEsgSpinEdit& s) { s.SetSpinType(sptTime); }, "10:59:00", 4, Qt::Key_Up, "11:00:00"},
};

INSTANTIATE_TEST_SUITE_P(Spin, SpinSteps, ::testing::ValuesIn(StepCases),
                         [](const ::testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });

TEST(SpinEdit, TypingIsFilteredByTheKind)
{
    FixedRegion region;
    TEsgSpinEdit spin;
    spin.SetText(QString());
    spin.show();
    spin.setFocus();
    Settle();
    for (const char* key : {"1", "a", "-", "2"}) {
        QKeyEvent e(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromLatin1(key));
        QCoreApplication::sendEvent(&spin, &e);
    }
    EXPECT_EQ(spin.Text(), "12"); // no letter, no minus after the first digit

    spin.SetSpinType(sptFloat);
    spin.SetText("1.5");
    spin.setCursorPosition(3);
    EXPECT_FALSE(spin.AcceptsChar(u'.')); // a second decimal separator
    EXPECT_TRUE(spin.AcceptsChar(u'7'));
    spin.SetPrecision(1);
    spin.SetText("1.5");
    spin.setCursorPosition(3);
    EXPECT_FALSE(spin.AcceptsChar(u'7')); // no more decimals than the precision
    spin.SetEditorEnabled(false);
    EXPECT_FALSE(spin.AcceptsChar(u'\b'));
}

TEST(SpinEdit, LeavingClampsAndButtonsStep)
{
    FixedRegion region;
    TEsgSpinEdit spin;
    spin.SetText("500");
    spin.ClampToBounds();
    EXPECT_EQ(spin.Text(), "100");
    spin.SetText("5");
    spin.resize(80, 22);
    spin.show();
    Settle();
    Click(spin.UpButton());
    EXPECT_EQ(spin.Text(), "6");
    Click(spin.DownButton());
    Click(spin.DownButton());
    EXPECT_EQ(spin.Text(), "4");
}

// ---------------------------------------------------------------------------
// The editors over a shown grid
// ---------------------------------------------------------------------------

struct SpecialEditorGrid : ::testing::Test
{
    FixedRegion region;
    std::unique_ptr<TForm> form;
    TExStringGrid* grid = nullptr;
    TEditorType kind = edSpinEdit;
    std::vector<QString> validated;
    bool refuse = false;

    void SetUp() override
    {
        form = std::make_unique<TForm>();
        form->resize(640, 460);
        grid = new TExStringGrid(form.get());
        grid->setGeometry(10, 10, 560, 360);
        grid->SetColCount(5);
        grid->SetRowCount(6);
        grid->SetOptions(grid->Options() | goEditing);
        grid->OnGetEditorType = [this](QObject*, int c, int, TEditorType& e) {
            if (c == 2)
                e = kind;
        };
        grid->OnCellValidate = [this](QObject*, int, int, QString& value, bool& valid) {
            validated.push_back(value);
            valid = !refuse;
        };
        form->show();
        QApplication::setActiveWindow(form.get());
        grid->setFocus(Qt::OtherFocusReason);
        Settle();
    }

    void TearDown() override
    {
        grid->OnGetEditorType = nullptr;
        grid->OnCellValidate = nullptr;
        grid->OnSpinClick = nullptr;
        grid->OnEllipsClick = nullptr;
        form.reset();
        Settle();
    }

    void Edit(int col, int row)
    {
        grid->SetCol(col);
        grid->SetRow(row);
        grid->setFocus(Qt::OtherFocusReason);
        KeyClick(Qt::Key_F2);
        Settle();
    }
};

TEST_F(SpecialEditorGrid, SpinStepsCommitsThroughValidationAndEscapeRestores)
{
    grid->SetCells(2, 1, "12");
    Edit(2, 1);
    TGridSpin* spin = grid->SpinEdit();
    ASSERT_TRUE(spin->isVisible());
    ASSERT_TRUE(spin->hasFocus());
    EXPECT_EQ(spin->Text(), "12");
    KeyClick(Qt::Key_Up);
    KeyClick(Qt::Key_Up);
    EXPECT_EQ(spin->Text(), "14");
    EXPECT_TRUE(spin->isVisible()); // the arrows stay with the spin
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(spin->isVisible());
    EXPECT_EQ(grid->Cells(2, 1), "14");
    ASSERT_FALSE(validated.empty());
    EXPECT_EQ(validated.back(), "14");

    // Escape after typing shows the cell's text again and writes nothing.
    grid->SetCells(2, 2, "12");
    Edit(2, 2);
    ASSERT_TRUE(spin->isVisible());
    spin->selectAll();
    TypeKeys("99");
    EXPECT_EQ(spin->Text(), "99");
    KeyClick(Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(spin->isVisible());
    EXPECT_EQ(grid->Cells(2, 2), "12");
}

TEST_F(SpecialEditorGrid, SpinRefusedValidationKeepsTheEditorOpen)
{
    grid->SetCells(2, 1, "12");
    Edit(2, 1);
    TGridSpin* spin = grid->SpinEdit();
    ASSERT_TRUE(spin->isVisible());
    KeyClick(Qt::Key_Up);
    refuse = true;
    const int row = grid->Row();
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_TRUE(spin->isVisible());
    EXPECT_EQ(grid->Row(), row);
    EXPECT_EQ(grid->Cells(2, 1), "12");
    refuse = false;
    KeyClick(Qt::Key_Escape);
    Settle();
}

TEST_F(SpecialEditorGrid, SpinHomeEndAndButtonsRaiseTheSpinEvent)
{
    std::vector<std::pair<int, bool>> clicks;
    grid->OnSpinClick = [&](QObject*, int, int, int value, bool up) { clicks.emplace_back(value, up); };
    grid->SetCells(2, 1, "50");
    Edit(2, 1);
    TGridSpin* spin = grid->SpinEdit();
    ASSERT_TRUE(spin->isVisible());
    KeyClick(Qt::Key_Home);
    EXPECT_EQ(spin->Text(), "100");
    KeyClick(Qt::Key_End);
    EXPECT_EQ(spin->Text(), "0");
    KeyClick(Qt::Key_Up); // steps, raises nothing
    Click(spin->UpButton());
    EXPECT_EQ(spin->Text(), "2");
    EXPECT_EQ(clicks, (std::vector<std::pair<int, bool>>{{100, true}, {0, false}, {2, true}}));
    KeyClick(Qt::Key_Escape);
    Settle();
}

TEST_F(SpecialEditorGrid, ColumnGridSpinTakesTheColumnsLimits)
{
    // The limits come with the editor's answer of the column grid.
    auto& cg = *new VOruVizizaZezo(form.get());
    cg.setGeometry(10, 10, 300, 200);
    cg.SetColCount(3);
    cg.SetOptions(cg.Options() | goEditing);
    TGridColumnItem* item = cg.Columns().GetItem(1);
    item->SetEditor(edSpinEdit);
    item->SetSpinMin(5);
    item->SetSpinMax(8);
    item->SetSpinStep(2);
    cg.show();
    cg.SetCells(1, 1, "7");
    cg.SetCol(1);
    cg.SetRow(1);
    cg.setFocus(Qt::OtherFocusReason);
    Settle();
    KeyClick(Qt::Key_F2);
    Settle();
    TGridSpin* spin = cg.SpinEdit();
    ASSERT_TRUE(spin->isVisible());
    KeyClick(Qt::Key_Up);
    EXPECT_EQ(spin->Text(), "8");
    KeyClick(Qt::Key_Down);
    KeyClick(Qt::Key_Down);
    EXPECT_EQ(spin->Text(), "5");
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_EQ(cg.Cells(1, 1), "5");
}

TEST_F(SpecialEditorGrid, DatePickerCommitsThroughValidation)
{
    kind = edDateEdit;
    grid->SetCells(2, 1, "12/05/2024");
    Edit(2, 1);
    TGridDatePicker* picker = grid->DatePicker();
    ASSERT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->Date(), QDate(2024, 5, 12));
    picker->setCurrentSection(QDateTimeEdit::DaySection);
    KeyClick(Qt::Key_Up);
    EXPECT_EQ(picker->Date(), QDate(2024, 5, 13));
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(grid->Cells(2, 1), "13/05/2024");
    ASSERT_FALSE(validated.empty());
    EXPECT_EQ(validated.back(), "13/05/2024");

    kind = edTimeEdit;
    grid->SetCells(2, 2, "10:20:30");
    Edit(2, 2);
    ASSERT_TRUE(picker->isVisible());
    picker->setCurrentSection(QDateTimeEdit::HourSection);
    KeyClick(Qt::Key_Down);
    KeyClick(Qt::Key_Escape);
    Settle();
    EXPECT_EQ(grid->Cells(2, 2), "10:20:30");
}

TEST_F(SpecialEditorGrid, EditWithButtonRunsTheEllipsisAndFilters)
{
    kind = edNumericEditBtn;
    grid->OnEllipsClick = [](QObject*, int, int, QString& s) { s = s + "0"; };
    grid->SetCells(2, 1, "4");
    Edit(2, 1);
    TGridEditBtn* edit = grid->EditBtn();
    ASSERT_TRUE(edit->isVisible());
    edit->setCursorPosition(1);
    TypeKeys("a2-");
    EXPECT_EQ(edit->Text(), "42");
    Click(edit->Button());
    EXPECT_EQ(edit->Text(), "420");
    KeyClick(Qt::Key_F4);
    EXPECT_EQ(edit->Text(), "4200");
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(grid->Cells(2, 1), "4200");
    EXPECT_EQ(validated.back(), "4200");
}

// With the grid's lookup on, typing completes from the first matching item;
// deleting does not complete again.
TEST_F(SpecialEditorGrid, EditWithButtonCompletesFromTheLookupList)
{
    kind = edEditBtn;
    const QStringList items = {"Boiler", "Bearing", "Valve"};
    grid->SetLookupItems(&items);
    grid->SetLookup(true);
    grid->SetCells(2, 1, "");
    Edit(2, 1);
    TGridEditBtn* edit = grid->EditBtn();
    ASSERT_TRUE(edit->isVisible());
    TypeKeys("be");
    EXPECT_EQ(edit->Text(), "bearing") << "completed in the typed case";
    EXPECT_EQ(edit->selectedText(), "aring");
    KeyClick(Qt::Key_Backspace);
    EXPECT_EQ(edit->Text(), "be");
    TypeKeys("x");
    EXPECT_EQ(edit->Text(), "bex") << "no item matches";
}

TEST_F(SpecialEditorGrid, UnitEditorSplitsAndJoinsTheUnit)
{
    kind = edUnitEditBtn;
    grid->OnGetEditorProp = [this](QObject*, int, int, QObject*) {
        grid->UnitEditBtn()->SetUnits({"kg", "g"});
    };
    grid->SetCells(2, 1, "12kg");
    Edit(2, 1);
    TGridUnitEditBtn* edit = grid->UnitEditBtn();
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->Text(), "12");
    EXPECT_EQ(edit->UnitID(), "kg");
    edit->ChooseUnit(2);
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_EQ(grid->Cells(2, 1), "12g");
    grid->OnGetEditorProp = nullptr;
}

struct UnitCase
{
    std::initializer_list<const char*> units;
    const char* written;
    const char* text;
    const char* unit;
};

TEST(UnitEdit, TheFirstUnitThatEndsTheTextSplitsIt)
{
    const UnitCase cases[] = {
        {{"kg", "g"}, "12kg", "12", "kg"},
        {{"g", "kg"}, "12kg", "12k", "g"},     // list order wins
        {{"m"}, "mm", "old", "u"},              // the first m is not at the end
        {{"kg"}, "12 lb", "old", "u"},          // no known unit: unchanged
    };
    for (const UnitCase& k : cases) {
        TEsgUnitEditBtn e;
        QStringList units;
        for (const char* u : k.units)
            units << QString::fromLatin1(u);
        e.SetUnits(units);
        e.SetText("old");
        e.SetUnitID("u");
        e.SetTextAndUnit(QString::fromLatin1(k.written));
        EXPECT_EQ(e.Text(), QString::fromLatin1(k.text)) << k.written;
        EXPECT_EQ(e.UnitID(), QString::fromLatin1(k.unit)) << k.written;
    }
    TEsgUnitEditBtn e;
    e.SetUnits({"a", "b"});
    int changes = 0;
    e.OnUnitChanged = [&](QObject*, const QString&) { ++changes; };
    e.ChooseUnit(1);
    e.ChooseUnit(1); // the unit already shown: no event
    e.ChooseUnit(9); // beyond the list: ignored
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(e.TextAndUnit(), "0a");
}

TEST(EditBtn, OffEditorStillClicks)
{
    TEsgEditBtn e;
    int clicks = 0;
    e.OnClickBtn = [&](QObject*) { ++clicks; };
    e.SetEditorEnabled(false);
    e.show();
    e.setFocus();
    Settle();
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, "5");
    QCoreApplication::sendEvent(&e, &typed);
    EXPECT_EQ(e.Text(), "0");
    Press(&e, Qt::Key_F4);
    QKeyEvent ctrlF4(QEvent::KeyPress, Qt::Key_F4, Qt::ControlModifier);
    QCoreApplication::sendEvent(&e, &ctrlF4);
    Click(e.Button());
    EXPECT_EQ(clicks, 2);
}

} // namespace
