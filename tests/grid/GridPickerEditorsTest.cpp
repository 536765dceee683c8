// The grid's date-and-time editor (its date part and its time part) and its
// time-picker drop-down, driven with real keys and clicks on a shown grid:
// the keys that end the edit from either part, Escape, the check box, and
// typed times out of range that must never reach the cell.
#include "grid/ExGrid.h"
#include "grid/ExGrid_DateTimeEditor.h"
#include "grid/ExGrid_DropDownEditors.h"

#include "platform/Forms.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace platform;
using testsupport::KeyClick;
using testsupport::TypeKeys;

void PrintTo(const QDateTime& v, std::ostream* os) { *os << v.toString(Qt::ISODate).toStdString(); }

namespace {

void Settle()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

struct PickerGrid : ::testing::Test
{
    std::unique_ptr<TForm> form;
    TExStringGrid* grid = nullptr;
    TEditorType kind = edDateTimeEdit;
    std::vector<QString> events;

    void SetUp() override
    {
        SetRegionalSettingsOverride(TRegionalSettings{QChar(u','), QChar(u'.'), QChar(u'/'), QChar(u':'),
                                                      QStringLiteral("dd/MM/yyyy")});
        form = std::make_unique<TForm>();
        form->resize(700, 400);
        grid = new TExStringGrid(form.get());
        grid->setGeometry(10, 10, 660, 300);
        grid->SetColCount(4);
        grid->SetRowCount(6);
        grid->SetColWidths(2, 260);
        grid->SetOptions(grid->Options() | goEditing);
        grid->OnGetEditorType = [this](QObject*, int c, int, TEditorType& e) {
            if (c == 2)
                e = kind;
        };
        grid->OnDateTimeChange = [this](QObject*, int c, int r, TDateTime) {
            events.push_back(QStringLiteral("datetime %1,%2").arg(c).arg(r));
        };
        form->show();
        QApplication::setActiveWindow(form.get());
        grid->setFocus(Qt::OtherFocusReason);
        Settle();
    }

    void TearDown() override
    {
        grid->OnGetEditorType = nullptr;
        grid->OnDateTimeChange = nullptr;
        form.reset();
        Settle();
        SetRegionalSettingsOverride(std::nullopt);
    }

    void Edit(int col, int row)
    {
        grid->SetCol(col);
        grid->SetRow(row);
        grid->setFocus(Qt::OtherFocusReason);
        KeyClick(Qt::Key_F2);
        Settle();
    }

    TGridDateTimePicker* DateTime() { return grid->DateTimePicker(); }
    TGridTimepickerDropDown* Time() { return grid->TimePickerDropDown(); }

    // Puts the caret into a field of one part of the date-time editor and types.
    static void TypeInField(TCustomDateTimePicker& p, int field, const QString& keys)
    {
        p.setFocus();
        Settle();
        p.setCurrentSectionIndex(field);
        p.setSelectedSection(p.sectionAt(field));
        TypeKeys(keys);
        Settle();
    }
};

} // namespace

// ---------------------------------------------------------------------------
// The date-and-time editor
// ---------------------------------------------------------------------------

TEST_F(PickerGrid, DateTimeEditorHasADatePartAndATimePartWithoutBorder)
{
    grid->SetCells(2, 1, QStringLiteral("05/03/2024 14:30"));
    Edit(2, 1);
    TGridDateTimePicker* p = DateTime();
    ASSERT_TRUE(p->isVisible());
    EXPECT_EQ(p->Kind(), dkDateTime);
    EXPECT_EQ(p->BorderStyle(), bsNone);
    EXPECT_TRUE(p->AutoTab());
    ASSERT_NE(p->TimePicker(), nullptr);
    EXPECT_TRUE(p->TimePicker()->isVisible());
    // The parts show the region's forms.
    EXPECT_EQ(p->displayFormat(), QStringLiteral("dd/MM/yyyy"));
    EXPECT_EQ(p->TimePicker()->displayFormat(), QStringLiteral("HH:mm:ss"));
    EXPECT_EQ(p->DateTime(), QDateTime(QDate(2024, 3, 5), QTime(14, 30)));
}

TEST_F(PickerGrid, TimeTypedInTheTimePartIsCommittedByEnterThere)
{
    grid->SetCells(2, 1, QStringLiteral("05/03/2024 14:30"));
    grid->SetCells(3, 1, QStringLiteral("next"));
    grid->Navigation().SetAdvanceOnEnter(true);
    Edit(2, 1);
    TGridDateTimePicker* p = DateTime();
    TypeInField(*p->TimePicker(), 0, QStringLiteral("09"));
    ASSERT_FALSE(events.empty()) << "a change of the time part reaches the grid";
    EXPECT_EQ(events.back(), QStringLiteral("datetime 2,1"));
    ASSERT_TRUE(p->TimePicker()->hasFocus());
    KeyClick(Qt::Key_Return); // in the time part
    Settle();
    EXPECT_FALSE(p->isVisible());
    EXPECT_FALSE(grid->EditMode());
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("05/03/2024 09:30"));
    EXPECT_EQ(grid->Col(), 3) << "Enter moves on with AdvanceOnEnter";
}

// Fault mended: Escape wrote back only the date of the value the edit began
// with, so a time changed in the time part survived and reached the cell.
TEST_F(PickerGrid, EscapeInEitherPartRestoresTheWholeValue)
{
    for (bool fromTimePart : {false, true}) {
        grid->SetCells(2, 2, QStringLiteral("05/03/2024 14:30"));
        Edit(2, 2);
        TGridDateTimePicker* p = DateTime();
        TypeInField(*p->TimePicker(), 0, QStringLiteral("09"));
        TypeInField(*p, 0, QStringLiteral("07"));
        ASSERT_EQ(p->DateTime(), QDateTime(QDate(2024, 3, 7), QTime(9, 30))) << fromTimePart;
        if (fromTimePart)
            p->TimePicker()->setFocus();
        Settle();
        KeyClick(Qt::Key_Escape);
        Settle();
        EXPECT_FALSE(p->isVisible()) << fromTimePart;
        EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("05/03/2024 14:30")) << fromTimePart;
        EXPECT_EQ(p->DateTime(), QDateTime(QDate(2024, 3, 5), QTime(14, 30))) << fromTimePart;
        EXPECT_TRUE(grid->hasFocus() || grid->ClientSurface()->hasFocus()) << fromTimePart;
    }
}

TEST_F(PickerGrid, TabInTheTimePartMovesOnWhenTheGridWantsIt)
{
    grid->SetOptions(grid->Options() | goTabs);
    grid->SetCells(2, 1, QStringLiteral("05/03/2024 14:30"));
    Edit(2, 1);
    TGridDateTimePicker* p = DateTime();
    TypeInField(*p->TimePicker(), 1, QStringLiteral("45"));
    p->TimePicker()->setFocus();
    Settle();
    KeyClick(Qt::Key_Tab);
    Settle();
    EXPECT_FALSE(p->isVisible());
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("05/03/2024 14:45"));
    EXPECT_EQ(grid->Col(), 3);
}

TEST_F(PickerGrid, ClearedCheckBoxEmptiesTheCellAndStopsTheTimePart)
{
    grid->SetCells(2, 1, QStringLiteral("05/03/2024 14:30"));
    DateTime()->SetShowCheckbox(true);
    Edit(2, 1);
    TGridDateTimePicker* p = DateTime();
    ASSERT_TRUE(p->Checked());
    EXPECT_TRUE(p->TimePicker()->isEnabled());
    auto* box = p->findChild<QCheckBox*>();
    ASSERT_NE(box, nullptr);
    testsupport::Click(box);
    Settle();
    EXPECT_FALSE(p->Checked());
    EXPECT_FALSE(p->TimePicker()->isEnabled());
    // The fields take no digits while cleared.
    TypeInField(*p, 0, QStringLiteral("09"));
    EXPECT_EQ(p->DateTime().date(), QDate(2024, 3, 5));
    p->setFocus();
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_EQ(grid->Cells(2, 1), QString());
    p->SetShowCheckbox(false);
}

// ---------------------------------------------------------------------------
// The time-picker drop-down
// ---------------------------------------------------------------------------

TEST_F(PickerGrid, TimePickerOpensOnTheCellAndCommitsATypedTime)
{
    kind = edTimePickerDropDown;
    grid->SetCells(2, 1, QStringLiteral("10:15:00"));
    Edit(2, 1);
    TGridTimepickerDropDown* t = Time();
    ASSERT_TRUE(t->isVisible());
    EXPECT_TRUE(t->EditorEnabled());
    EXPECT_EQ(t->inputMask(), QStringLiteral("!90:00:00"));
    EXPECT_EQ(std::llround(t->Time() * 86400.0), 10 * 3600 + 15 * 60);
    EXPECT_EQ(t->RawText(), QStringLiteral("10:15:00"));
    t->setCursorPosition(0);
    TypeKeys(QStringLiteral("073015"));
    Settle();
    EXPECT_EQ(t->displayText(), QStringLiteral("07:30:15"));
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(t->isVisible());
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("07:30:15"));
}

// Times over 24 hours or with a field out of range keep the old value: the
// cell never takes them, and nothing escapes.
TEST_F(PickerGrid, TimePickerNeverCommitsATimeOutOfRange)
{
    kind = edTimePickerDropDown;
    struct Case
    {
        const char* why;
        const char* typed;
        const char* cell; // what the cell holds afterwards
    } cases[] = {
        // The edit overwrites 10:15:00 digit by digit; the last whole time
        // typed on the way is the one kept.
        {"hour 24 after 20:15:00", "240000", "20:15:00"},
        {"hour 99 from the start: the cell's own text", "990000", "10:15:00"},
        {"minute 60 after 12:15:00", "126000", "12:15:00"},
        {"second 60 after 12:00:00", "120060", "12:00:00"},
        {"the last second of the day", "235959", "23:59:59"},
    };
    for (const Case& c : cases) {
        grid->SetCells(2, 1, QStringLiteral("10:15:00"));
        Edit(2, 1);
        TGridTimepickerDropDown* t = Time();
        ASSERT_TRUE(t->isVisible()) << c.why;
        t->setCursorPosition(0);
        EXPECT_NO_THROW(TypeKeys(QString::fromLatin1(c.typed))) << c.why;
        Settle();
        KeyClick(Qt::Key_Return);
        Settle();
        EXPECT_FALSE(grid->EditMode()) << c.why;
        EXPECT_EQ(grid->Cells(2, 1), QString::fromLatin1(c.cell)) << c.why;
    }
}

TEST_F(PickerGrid, TimePickerUpStepsNothingButEndsTheEditAndEscapeKeepsTheCell)
{
    kind = edTimePickerDropDown;
    grid->SetCells(2, 1, QStringLiteral("10:15:00"));
    grid->SetCells(2, 2, QStringLiteral("11:00:00"));
    Edit(2, 2);
    Time()->setCursorPosition(0);
    TypeKeys(QStringLiteral("08"));
    KeyClick(Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(Time()->isVisible());
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("11:00:00"));

    Edit(2, 2);
    KeyClick(Qt::Key_Up); // writes, validates, moves up
    Settle();
    EXPECT_FALSE(Time()->isVisible());
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("11:00:00"));
    EXPECT_EQ(grid->Row(), 1);
}

// ---------------------------------------------------------------------------
// The date-and-time editor's height and calendar close-up
// ---------------------------------------------------------------------------

TEST_F(PickerGrid, DateTimeEditorIsRaisedToATallCellButNotSqueezedByALowOne)
{
    grid->SetCells(2, 1, QStringLiteral("05/03/2024 14:30"));
    grid->SetRowHeights(1, 60);
    Edit(2, 1);
    TGridDateTimePicker* p = DateTime();
    ASSERT_TRUE(p->isVisible());
    // The cell's inside: its height less the grid line.
    EXPECT_EQ(p->height(), std::max(59, p->OwnHeight()));
    KeyClick(Qt::Key_Escape);
    Settle();
    grid->SetRowHeights(1, 8);
    Edit(2, 1);
    ASSERT_TRUE(p->isVisible());
    EXPECT_GT(p->OwnHeight(), 8);
    EXPECT_EQ(p->height(), p->OwnHeight());
    KeyClick(Qt::Key_Escape);
    Settle();
}

TEST_F(PickerGrid, CalendarCloseUpIsRelayedAndDirectDateCloseEndsTheEdit)
{
    std::vector<QString> closes;
    grid->OnDatePickerCloseUp = [&](QObject* sender, int r, int c) {
        EXPECT_EQ(sender, grid);
        closes.push_back(QStringLiteral("%1,%2").arg(r).arg(c));
    };
    for (bool direct : {false, true}) {
        grid->MouseActions().SetDirectDateClose(direct);
        grid->SetCells(2, 3, QStringLiteral("05/03/2024 14:30"));
        Edit(2, 3);
        TGridDateTimePicker* p = DateTime();
        ASSERT_TRUE(p->isVisible()) << direct;
        // The calendar's close-up notification, as the picker raises it.
        ASSERT_TRUE(p->OnCloseUp);
        p->OnCloseUp(p);
        Settle();
        EXPECT_EQ(closes.size(), direct ? 2u : 1u);
        EXPECT_EQ(closes.back(), QStringLiteral("3,2"));
        EXPECT_EQ(grid->EditMode(), !direct) << direct;
        EXPECT_EQ(p->isVisible(), !direct) << direct;
        if (!direct) {
            p->setFocus();
            KeyClick(Qt::Key_Escape);
            Settle();
        }
    }
    grid->OnDatePickerCloseUp = nullptr;
}
