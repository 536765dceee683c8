// Balloon tooltips of cells, and the date pickers' change relayed by the grid.
#include "grid/ExGridInputTestSupport.h"
#include "grid/ExGrid_Balloon.h"
#include "grid/ExGrid_DateTimeEditor.h"
#include "widgets/ExUtil.h"

#include <QElapsedTimer>
#include <QEventLoop>

using namespace inputtest;

namespace {

// Lets timers run for a while.
void Wait(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void KeyTo(QWidget* w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

int TipCount(TExStringGrid* grid)
{
    return static_cast<int>(grid->findChildren<QWidget*>(QStringLiteral("BalloonToolTip")).size());
}

struct BalloonFixture : edittest::GridFixture
{
    void SetUp() override
    {
        edittest::GridFixture::SetUp();
        grid->Loaded();
        grid->Balloon().SetInitialDelay(0);
        grid->Balloon().SetReshowDelay(0);
        grid->Balloon().SetEnable(true);
    }
    void TearDown() override
    {
        grid->OnCellBalloon = nullptr;
        grid->OnDateTimeChange = nullptr;
        edittest::GridFixture::TearDown();
    }
    struct Answer
    {
        QString title, text;
        int icon = -1;
    };
    Answer AskAt(int col, int row)
    {
        Answer a;
        EXPECT_TRUE(grid->BalloonTextRequest(CellCentre(grid, col, row), a.title, a.text, a.icon));
        return a;
    }
};

// What the balloon shows for a cell's text: the text a reader sees, without
// markup, leading line breaks or tabs, and cut to the tooltip's buffer.
TEST_F(BalloonFixture, TextOfACell)
{
    struct Case
    {
        const char* why;
        QString cell;
        QString shown;
    };
    const QString long3000(3000, QLatin1Char('x'));
    const Case cases[] = {
        {"tags go", QStringLiteral("<b>Total</b>"), QStringLiteral("Total")},
        {"leading line feeds go", QStringLiteral("\n\nabc"), QStringLiteral("abc")},
        {"leading returns go; tabs are blanks by then", QStringLiteral("\r\n\tA\tB"), QStringLiteral(" A B")},
        {"wide-escaped text is decoded", EncodeWideText(QStringLiteral("\u0416x")), QStringLiteral("\u0416x")},
        {"a long text is cut to 2045 and an ellipsis", long3000, QString(2045, QLatin1Char('x')) + QStringLiteral("...")},
        {"2048 characters stay whole", QString(2048, QLatin1Char('y')), QString(2048, QLatin1Char('y'))},
    };
    for (const Case& c : cases) {
        grid->SetCells(1, 1, c.cell);
        const Answer a = AskAt(1, 1);
        EXPECT_EQ(a.text, c.shown) << c.why;
        EXPECT_EQ(a.title, QStringLiteral(" ")) << c.why;
        EXPECT_EQ(a.icon, 1) << c.why;
    }
    EXPECT_EQ(grid->LastBalloonPos().X, 1);
    EXPECT_EQ(grid->LastBalloonPos().Y, 1);
}

TEST_F(BalloonFixture, BalloonObjectAndHandlerGiveTitleTextAndIcon)
{
    grid->SetCells(2, 2, QStringLiteral("cell"));
    grid->AddBalloon(2, 2, QStringLiteral("Title"), QStringLiteral("Object text"), 2);
    Answer a = AskAt(2, 2);
    EXPECT_EQ(a.title, QStringLiteral("Title"));
    EXPECT_EQ(a.text, QStringLiteral("Object text"));
    EXPECT_EQ(a.icon, 2);

    std::vector<QString> seen;
    grid->OnCellBalloon = [&](QObject*, int col, int row, QString& title, QString& text, int& icon) {
        seen.push_back(QStringLiteral("%1,%2 %3").arg(col).arg(row).arg(text));
        title = QString(120, QLatin1Char('T'));
        text = QStringLiteral("from handler");
        icon = 3;
    };
    a = AskAt(2, 2);
    EXPECT_EQ(seen, std::vector<QString>{QStringLiteral("2,2 Object text")});
    EXPECT_EQ(a.text, QStringLiteral("from handler"));
    EXPECT_EQ(a.icon, 3);
    EXPECT_EQ(a.title, QString(97, QLatin1Char('T')) + QStringLiteral("...")) << "titles are cut at 100";
    // The tooltip carries what it was told.
    ASSERT_NE(grid->BalloonToolTip(), nullptr);
    EXPECT_EQ(grid->BalloonToolTip()->Text(), QStringLiteral("from handler"));
    EXPECT_EQ(grid->BalloonToolTip()->TitleIcon(), 3);
}

TEST_F(BalloonFixture, MergedCellAnswersWithItsBaseCell)
{
    grid->SetCells(1, 2, QStringLiteral("base"));
    grid->MergeCells(1, 2, 2, 2);
    const Answer a = AskAt(2, 3);
    EXPECT_EQ(a.text, QStringLiteral("base"));
    EXPECT_EQ(grid->LastBalloonPos().X, 1);
    EXPECT_EQ(grid->LastBalloonPos().Y, 2);
}

// The pointer resting over a cell shows its balloon; moving to another cell
// closes it and the next balloon tells of the new cell.
TEST_F(BalloonFixture, PointerRestingAndMovingOn)
{
    grid->SetCells(1, 1, QStringLiteral("first"));
    grid->SetCells(3, 2, QStringLiteral("second"));
    TGridBalloonTip* tip = grid->BalloonToolTip();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->Title(), QStringLiteral("ToolTipText")) << "the title made with the tooltip";

    Move(grid, CellCentre(grid, 1, 1));
    Wait(30);
    ASSERT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->Text(), QStringLiteral("first"));
    EXPECT_EQ(tip->Title(), QStringLiteral(" "));

    Move(grid, CellCentre(grid, 1, 1) + QPoint(3, 1)); // same cell: stays
    EXPECT_TRUE(tip->isVisible());

    Move(grid, CellCentre(grid, 3, 2));
    EXPECT_EQ(grid->LastBalloonPos().X, -1);
    Wait(30);
    ASSERT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->Text(), QStringLiteral("second"));

    // An empty cell shows nothing.
    Move(grid, CellCentre(grid, 4, 4));
    Wait(30);
    EXPECT_FALSE(tip->isVisible());
}

TEST_F(BalloonFixture, SwitchingOffAndOnKeepsOneTooltip)
{
    EXPECT_EQ(TipCount(grid), 1);
    grid->Balloon().SetEnable(true); // on again: no second tooltip
    EXPECT_EQ(TipCount(grid), 1);
    grid->Balloon().SetEnable(false);
    EXPECT_EQ(TipCount(grid), 0);
    EXPECT_EQ(grid->BalloonToolTip(), nullptr);
    QString title, text;
    int icon = 0;
    EXPECT_FALSE(grid->BalloonTextRequest(CellCentre(grid, 1, 1), title, text, icon));
    grid->Balloon().SetEnable(true);
    EXPECT_EQ(TipCount(grid), 1);
}

TEST_F(BalloonFixture, SettingsReachTheTooltip)
{
    grid->Balloon().SetEnable(false);
    grid->Balloon().SetInitialDelay(250);
    grid->Balloon().SetAutoHideDelay(900);
    grid->Balloon().SetTransparency(55);
    grid->Balloon().SetEnable(true);
    TGridBalloonTip* tip = grid->BalloonToolTip();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->InitialDelay(), 250);
    EXPECT_EQ(tip->AutoHideDelay(), 900);
    EXPECT_NEAR(tip->windowOpacity(), 200 / 255.0, 0.01);
}

// ---------------------------------------------------------------------------
// The date-and-time editor and the change relay
// ---------------------------------------------------------------------------

struct DateTimeEditorFixture : edittest::GridFixture
{
    void SetUp() override
    {
        SetRegionalSettingsOverride(TRegionalSettings{QChar(u','), QChar(u'.'), QChar(u'/'), QChar(u':'),
                                                      QStringLiteral("dd/MM/yyyy")});
        edittest::GridFixture::SetUp();
        grid->OnGetEditorType = [](QObject*, int col, int, TEditorType& type) {
            if (col == 2)
                type = edDateTimeEdit;
        };
    }
    void TearDown() override
    {
        grid->OnGetEditorType = nullptr;
        grid->OnDateTimeChange = nullptr;
        edittest::GridFixture::TearDown();
        SetRegionalSettingsOverride(std::nullopt);
    }
    TGridDateTimePicker* OpenAt(int col, int row)
    {
        grid->FocusCell(col, row);
        grid->ShowInplaceEdit();
        edittest::ProcessEvents();
        return grid->DateTimePicker();
    }
};

TEST_F(DateTimeEditorFixture, OpensWithTheCellValueAndCommitsTheChange)
{
    grid->SetCells(2, 1, QStringLiteral("05/03/2024 14:30"));
    grid->SetCells(3, 1, QStringLiteral("next"));
    grid->Navigation().SetAdvanceOnEnter(true);
    TGridDateTimePicker* picker = OpenAt(2, 1);
    ASSERT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->DateTime(), QDateTime(QDate(2024, 3, 5), QTime(14, 30)));
    EXPECT_EQ(grid->EditCtrl(), nullptr);

    std::vector<QString> changes;
    grid->OnDateTimeChange = [&](QObject*, int col, int row, TDateTime value) {
        changes.push_back(QStringLiteral("%1,%2 %3").arg(col).arg(row).arg(value, 0, 'f', 4));
    };
    picker->setFocus();
    picker->setSelectedSection(QDateTimeEdit::DaySection);
    KeyTo(picker, Qt::Key_Up);
    // Only the time part's changes are relayed.
    EXPECT_TRUE(changes.empty());
    ASSERT_NE(picker->TimePicker(), nullptr);
    picker->TimePicker()->setFocus();
    picker->TimePicker()->setSelectedSection(QDateTimeEdit::HourSection);
    KeyTo(picker->TimePicker(), Qt::Key_Up);
    ASSERT_EQ(changes.size(), 1u);
    // 6 March 2024 15:30 is day 45357 and 0.6458 of a day.
    EXPECT_EQ(changes[0], QStringLiteral("2,1 45357.6458"));

    KeyTo(picker, Qt::Key_Return);
    edittest::ProcessEvents();
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("06/03/2024 15:30"));
    EXPECT_EQ(grid->Col(), 3) << "Enter moves on with AdvanceOnEnter";
}

TEST_F(DateTimeEditorFixture, EscapeLeavesTheCellAsItWas)
{
    grid->SetCells(2, 2, QStringLiteral("2024-03-05"));
    TGridDateTimePicker* picker = OpenAt(2, 2);
    picker->setFocus();
    picker->setSelectedSection(QDateTimeEdit::YearSection);
    KeyTo(picker, Qt::Key_Up);
    KeyTo(picker, Qt::Key_Escape);
    edittest::ProcessEvents();
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("2024-03-05"));
    EXPECT_TRUE(grid->hasFocus() || grid->ClientSurface()->hasFocus());
}

TEST_F(DateTimeEditorFixture, UnreadableTextOpensOnNow)
{
    grid->SetCells(2, 3, QStringLiteral("not a date"));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-61);
    TGridDateTimePicker* picker = OpenAt(2, 3);
    EXPECT_GE(picker->DateTime(), before);
    EXPECT_LE(picker->DateTime(), QDateTime::currentDateTime().addSecs(61));
}

} // namespace
