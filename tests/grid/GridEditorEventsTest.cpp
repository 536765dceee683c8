// The editors' events and values driven over a shown grid with real keys and
// presses: the button editor's click, the date editor's limits, check box,
// calendar and relays, the spin editor's typed commit, the unit relay, the
// header drop-down button, presses beside node glyphs, and the references
// the grid keeps to components that may go away.
#include "ExGridEditTestSupport.h"

#include "grid/EsgSpin.h"
#include "grid/ExGrid_Editors.h"
#include "platform/Controls.h"
#include "platform/Forms.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QClipboard>
#include <QDateTimeEdit>
#include <QGuiApplication>

#include <optional>
#include <vector>

using namespace platform;
using namespace edittest;

namespace {

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

struct EditorEvents : GridFixture
{
    FixedRegion region;
    TEditorType kind = edNormal;
    std::vector<QString> events;

    void SetUp() override
    {
        GridFixture::SetUp();
        grid->SetColWidths(2, 160);
        grid->OnGetEditorType = [this](QObject*, int c, int, TEditorType& e) {
            if (c == 2)
                e = kind;
        };
    }
    void TearDown() override
    {
        grid->OnButtonClick = nullptr;
        grid->OnEllipsClick = nullptr;
        grid->OnCustomStrToDate = nullptr;
        grid->OnDatePickerDropDown = nullptr;
        grid->OnDatePickerCloseUp = nullptr;
        grid->OnUnitChanged = nullptr;
        grid->OnFixedDropDownClick = nullptr;
        GridFixture::TearDown();
    }
    void Edit(int col, int row)
    {
        GoTo(col, row);
        Key(Qt::Key_F2);
        ProcessEvents();
    }
    void Log(const QString& s) { events.push_back(s); }
};

void ClickWidget(QWidget* w, QPoint at = QPoint(-1, -1))
{
    if (at.x() < 0)
        at = QPoint(w->width() / 2, w->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

// A key pressed and released on a widget.
void KeyTo(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString())
{
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &up);
}

} // namespace

// ---------------------------------------------------------------------------
// The button editor's click is the grid's button click
// ---------------------------------------------------------------------------

TEST_F(EditorEvents, ButtonEditorRaisesOnButtonClickByMouseAndBySpace)
{
    kind = edButton;
    grid->SetCells(2, 3, QStringLiteral("Go"));
    grid->OnEllipsClick = [this](QObject*, int, int, QString& s) { Log(QStringLiteral("ellipsis ") + s); };
    grid->OnButtonClick = [this](QObject* sender, int c, int r) {
        Log(QStringLiteral("button %1,%2 %3").arg(c).arg(r).arg(sender == grid));
    };
    Edit(2, 3);
    TGridButton* button = grid->GridButton();
    ASSERT_TRUE(button->isVisible());
    ClickWidget(button);
    // The caption goes through the ellipsis first, then the click follows.
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("ellipsis Go"), QStringLiteral("button 2,3 1")}));

    events.clear();
    button->setFocus();
    KeyTo(button, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("ellipsis Go"), QStringLiteral("button 2,3 1")}));
}

// ---------------------------------------------------------------------------
// The date editor
// ---------------------------------------------------------------------------

struct DateLimitCase
{
    const char* why;
    const char* cell;
    QDate min, max;
    QDate expected;
};

TEST_F(EditorEvents, DateEditorKeepsTheDateInsideTheLimits)
{
    const DateLimitCase cases[] = {
        {"inside both limits: as written", "12/05/2024", QDate(2024, 1, 1), QDate(2024, 12, 31), QDate(2024, 5, 12)},
        {"after MaxDate: the day before it", "12/05/2025", QDate(2024, 1, 1), QDate(2024, 12, 31), QDate(2024, 12, 30)},
        {"on MinDate: the day after it", "01/01/2024", QDate(2024, 1, 1), QDate(2024, 12, 31), QDate(2024, 1, 2)},
        {"before MinDate: the day after it", "03/03/2020", QDate(2024, 1, 1), QDate(), QDate(2024, 1, 2)},
        {"no limits", "03/03/2020", QDate(), QDate(), QDate(2020, 3, 3)},
    };
    kind = edDateEdit;
    TGridDatePicker* picker = grid->DatePicker();
    for (const DateLimitCase& c : cases) {
        SCOPED_TRACE(c.why);
        picker->SetMinDate(c.min);
        picker->SetMaxDate(c.max);
        grid->SetCells(2, 1, QString::fromLatin1(c.cell));
        Edit(2, 1);
        ASSERT_TRUE(picker->isVisible());
        EXPECT_EQ(picker->Date(), c.expected);
        Key(Qt::Key_Escape);
        ProcessEvents();
    }
}

TEST_F(EditorEvents, DateEditorReadsTheCellThroughOnCustomStrToDate)
{
    kind = edDateEdit;
    grid->OnCustomStrToDate = [this](QObject* sender, const QString& text, TDateTime& date) {
        EXPECT_EQ(sender, grid);
        // Preset to now.
        EXPECT_EQ(SpinDateOf(date), QDate::currentDate());
        if (text == u"launch")
            date = SpinDateTimeOf(QDate(1969, 7, 20), 0);
    };
    grid->SetCells(2, 1, QStringLiteral("launch"));
    Edit(2, 1);
    EXPECT_EQ(grid->DatePicker()->Date(), QDate(1969, 7, 20));
}

TEST_F(EditorEvents, UncheckedDatePickerCommitsAnEmptyCell)
{
    kind = edDateEdit;
    TGridDatePicker* picker = grid->DatePicker();
    picker->SetShowCheckbox(true);
    grid->SetCells(2, 1, QStringLiteral("12/05/2024"));
    Edit(2, 1);
    ASSERT_TRUE(picker->isVisible());
    picker->SetChecked(false);
    grid->HideInplaceEdit();
    EXPECT_EQ(grid->Cells(2, 1), QString());

    // Checked, the date is committed.
    grid->SetCells(2, 2, QStringLiteral("12/05/2024"));
    Edit(2, 2);
    picker->SetChecked(true);
    grid->HideInplaceEdit();
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("12/05/2024"));
}

TEST_F(EditorEvents, DateEditorChangeReachesOnEditChangeAsText)
{
    kind = edDateEdit;
    grid->OnEditChange = [this](QObject*, int c, int r, const QString& v) {
        Log(QStringLiteral("%1,%2 %3").arg(c).arg(r).arg(v));
    };
    grid->SetCells(2, 1, QStringLiteral("12/05/2024"));
    Edit(2, 1);
    TGridDatePicker* picker = grid->DatePicker();
    picker->setCurrentSection(QDateTimeEdit::DaySection);
    Key(Qt::Key_Up);
    EXPECT_EQ(events, std::vector<QString>{QStringLiteral("2,1 13/05/2024")});
}

TEST_F(EditorEvents, DirectDateDropOpensTheCalendarAndDirectDateCloseEndsTheEdit)
{
    kind = edDateEdit;
    TGridDatePicker* picker = grid->DatePicker();
    picker->SetWeeknumbers(true);
    grid->MouseActions().SetDirectDateDrop(true);
    grid->MouseActions().SetDirectDateClose(true);
    grid->OnDatePickerDropDown = [this](QObject*, int r, int c) { Log(QStringLiteral("drop %1,%2").arg(c).arg(r)); };
    grid->OnDatePickerCloseUp = [this](QObject*, int r, int c) { Log(QStringLiteral("close %1,%2").arg(c).arg(r)); };
    grid->SetCells(2, 1, QStringLiteral("12/05/2024"));
    Edit(2, 1);
    ASSERT_TRUE(picker->isVisible());
    EXPECT_TRUE(picker->DroppedDown());
    auto* calendar = qobject_cast<QCalendarWidget*>(picker->Calendar());
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
    ASSERT_EQ(events, std::vector<QString>{QStringLiteral("drop 2,1")});

    // Picking a day closes the calendar; the edit ends with it.
    QWidget* days = calendar->findChild<QAbstractItemView*>();
    ASSERT_NE(days, nullptr);
    KeyTo(days, Qt::Key_Right);
    KeyTo(days, Qt::Key_Return);
    ProcessEvents();
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("drop 2,1"), QStringLiteral("close 2,1")}));
    EXPECT_FALSE(picker->isVisible());
    EXPECT_FALSE(grid->EditMode());
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("13/05/2024"));
}

// ---------------------------------------------------------------------------
// The spin editor
// ---------------------------------------------------------------------------

TEST_F(EditorEvents, SpinCommitWritesTheValueTypedByKind)
{
    kind = edFloatSpinEdit;
    TGridSpin* spin = grid->SpinEdit();
    spin->SetPrecision(3);
    grid->SetCells(2, 1, QStringLiteral("1.5"));
    Edit(2, 1);
    ASSERT_TRUE(spin->isVisible());
    EXPECT_EQ(spin->Text(), QStringLiteral("1.500"));
    grid->HideInplaceEdit();
    // Floats: the value, not the editor's padded text.
    grid->SetFloats(3, 1, 1.5);
    EXPECT_EQ(grid->Cells(2, 1), grid->Cells(3, 1));
    EXPECT_DOUBLE_EQ(grid->GetFloats(2, 1), 1.5);
}

TEST_F(EditorEvents, DateSpinOverTextThatIsNoDateOpensOnToday)
{
    kind = edDateSpinEdit;
    grid->SetCells(2, 1, QStringLiteral("soon"));
    Edit(2, 1);
    TGridSpin* spin = grid->SpinEdit();
    ASSERT_TRUE(spin->isVisible());
    EXPECT_EQ(SpinDateOf(spin->DateValue()), QDate::currentDate());
}

TEST_F(EditorEvents, SpinWithItsEditorDisabledRefusesPasteAndCut)
{
    kind = edSpinEdit;
    QGuiApplication::clipboard()->setText(QStringLiteral("77"));
    grid->SetCells(2, 1, QStringLiteral("12"));
    Edit(2, 1);
    TGridSpin* spin = grid->SpinEdit();
    ASSERT_TRUE(spin->isVisible());
    spin->SetEditorEnabled(false);
    spin->selectAll();
    KeyTo(spin, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(spin->Text(), QStringLiteral("12"));
    spin->selectAll();
    KeyTo(spin, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(spin->Text(), QStringLiteral("12"));

    spin->SetEditorEnabled(true);
    spin->selectAll();
    KeyTo(spin, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(spin->Text(), QStringLiteral("77"));
}

// ---------------------------------------------------------------------------
// The value-and-unit editor
// ---------------------------------------------------------------------------

TEST_F(EditorEvents, UnitChoiceReachesTheGrid)
{
    kind = edUnitEditBtn;
    grid->OnUnitChanged = [this](QObject* sender, int c, int r, const QString& unit) {
        Log(QStringLiteral("%1,%2 %3 %4").arg(c).arg(r).arg(unit).arg(sender == grid));
    };
    TGridUnitEditBtn* edit = grid->UnitEditBtn();
    edit->SetUnits({QStringLiteral("m"), QStringLiteral("km")});
    grid->SetCells(2, 4, QStringLiteral("5m"));
    Edit(2, 4);
    ASSERT_TRUE(edit->isVisible());
    edit->ChooseUnit(2);
    edit->ChooseUnit(2); // the same unit again: no change
    EXPECT_EQ(events, std::vector<QString>{QStringLiteral("2,4 km 1")});
}

// ---------------------------------------------------------------------------
// Presses on headers and beside node glyphs
// ---------------------------------------------------------------------------

namespace {
struct HeaderDropDown : EditorEvents
{
    std::unique_ptr<TPopupMenu> menu = std::make_unique<TPopupMenu>();
    void SetUp() override
    {
        EditorEvents::SetUp();
        grid->SetHoverFixedCells(hfFixedRows);
        grid->ControlLook().SetFixedDropDownButton(true);
        menu->Add(QStringLiteral("Sort"));
    }
    void TearDown() override
    {
        if (menu)
            menu->CloseMenu();
        EditorEvents::TearDown();
    }
    // A point on the drop-down button of header cell (col, 0).
    QPoint ButtonPoint(int col)
    {
        const TRect r = grid->TBaseGrid::CellRect(col, 0);
        return QPoint(r.Right - 8, (r.Top + r.Bottom) / 2);
    }
    void PressAt(QPoint at)
    {
        QWidget* surface = grid->ClientSurface();
        QMouseEvent press(QEvent::MouseButtonPress, at, surface->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(surface, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, surface->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(surface, &release);
    }
};
} // namespace

TEST_F(HeaderDropDown, PressOnTheButtonRaisesTheEventAndOpensTheMenu)
{
    grid->SetFixedDropDownMenu(menu.get());
    grid->OnFixedDropDownClick = [this](QObject*, int c, int r, TPopupMenu*& m, bool&) {
        Log(QStringLiteral("drop %1,%2 %3").arg(c).arg(r).arg(m == menu.get()));
    };
    PressAt(ButtonPoint(3));
    EXPECT_EQ(events, std::vector<QString>{QStringLiteral("drop 3,0 1")});
    EXPECT_TRUE(menu->IsOpen());
    EXPECT_EQ(menu->property("Tag").toInt(), 3);
}

TEST_F(HeaderDropDown, HandlerAloneMayGiveTheMenu)
{
    grid->OnFixedDropDownClick = [this](QObject*, int, int, TPopupMenu*& m, bool&) { m = menu.get(); };
    PressAt(ButtonPoint(2));
    EXPECT_TRUE(menu->IsOpen());
}

// A menu freed while the grid still points at it is forgotten, never opened.
TEST_F(HeaderDropDown, FreedMenuIsForgotten)
{
    grid->SetFixedDropDownMenu(menu.get());
    menu.reset();
    EXPECT_EQ(grid->FixedDropDownMenu(), nullptr);
    PressAt(ButtonPoint(3));
    EXPECT_FALSE(grid->EditMode());
}

TEST_F(EditorEvents, FreedCellCheckerIsForgotten)
{
    auto checker = std::make_unique<TExStringGridCheck>();
    grid->SetCellChecker(checker.get());
    checker.reset();
    EXPECT_EQ(grid->CellChecker(), nullptr);
    grid->SetCells(1, 1, QStringLiteral("x"));
    (void)grid->CheckCell(1, 1);
}

TEST_F(EditorEvents, PressInColumnZeroOfANodeGridBesideTheGlyphSelectsNothing)
{
    grid->SetFixedCols(0);
    grid->SetColWidths(0, 120);
    grid->AddNode(1, 3);
    grid->OnClickCell = [this](QObject*, int r, int c) { Log(QStringLiteral("click %1,%2").arg(c).arg(r)); };
    GoTo(2, 4);
    PressCell(0, 2);
    EXPECT_EQ(events, std::vector<QString>{QStringLiteral("click 0,2")});
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 4);
}

// ---------------------------------------------------------------------------
// Scrolling
// ---------------------------------------------------------------------------

TEST_F(EditorEvents, SynchronisedGridsScrollTogether)
{
    auto* other = new TExStringGrid(host.get());
    other->setGeometry(10, 380, 300, 30);
    other->SetRowCount(40);
    other->SetColCount(12);
    grid->SetRowCount(40);
    grid->SetColCount(12);
    grid->SyncGrid().SetGrid(other);
    grid->SyncGrid().SetScrollVertical(true);
    grid->SyncGrid().SetScrollHorizontal(true);
    // Each follows the other, and the pair settles.
    other->SyncGrid().SetGrid(grid);
    other->SyncGrid().SetScrollVertical(true);
    grid->SetTopRow(7);
    EXPECT_EQ(other->TopRow(), 7);
    grid->SetLeftCol(3);
    EXPECT_EQ(other->LeftCol(), 3);
    other->SetTopRow(9);
    EXPECT_EQ(grid->TopRow(), 9);
    grid->SyncGrid().SetGrid(nullptr);
    other->SyncGrid().SetGrid(nullptr);
}

TEST_F(EditorEvents, RightPressOnALinkWithURLEditOpensItsEditor)
{
    grid->SetURLShow(true);
    grid->SetCells(3, 4, QStringLiteral("http://example.org"));
    grid->SetCells(3, 2, QStringLiteral("plain"));
    auto rightPress = [this](int c, int r) {
        QWidget* surface = grid->ClientSurface();
        const QPoint at = CellPoint(c, r);
        QMouseEvent press(QEvent::MouseButtonPress, at, surface->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                          Qt::NoModifier);
        QApplication::sendEvent(surface, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, surface->mapToGlobal(at), Qt::RightButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(surface, &release);
        ProcessEvents();
    };
    GoTo(1, 1);
    // Without URLEdit, nothing opens.
    rightPress(3, 4);
    EXPECT_FALSE(EditorShown());
    grid->SetURLEdit(true);
    rightPress(3, 2); // not a link
    EXPECT_FALSE(EditorShown());
    rightPress(3, 4);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 4);
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(EditorText(), QStringLiteral("http://example.org"));
}
