// Update locking, the grid timer and the grid's own messages.
#include "ExGridEditTestSupport.h"

#include "grid/ExGrid_Editors.h"

#include <QElapsedTimer>

#include <vector>

using namespace platform;
using namespace edittest;

namespace {

struct UpdateFixture : GridFixture
{
    int paints = 0;
    void SetUp() override
    {
        GridFixture::SetUp();
        grid->OnPainted = [this](QObject*) { ++paints; };
    }
    // Paints the grid now, as far as it lets itself be painted.
    int PaintNow()
    {
        paints = 0;
        grid->ClientSurface()->repaint();
        return paints;
    }
};

} // namespace

TEST_F(UpdateFixture, EveryBeginNeedsItsEnd)
{
    ASSERT_GT(PaintNow(), 0);
    grid->BeginUpdate();
    grid->BeginUpdate();
    EXPECT_TRUE(grid->LockUpdate());
    EXPECT_EQ(PaintNow(), 0);
    grid->SetLockUpdate(false);
    EXPECT_TRUE(grid->LockUpdate());
    EXPECT_EQ(PaintNow(), 0);
    grid->EndUpdate();
    EXPECT_FALSE(grid->LockUpdate());
    EXPECT_GT(PaintNow(), 0);
    grid->EndUpdate();  // one too many changes nothing
    EXPECT_EQ(grid->UpdateCount(), 0);
    EXPECT_GT(PaintNow(), 0);
}

// The level counts whatever the visibility: a grid hidden or shown between
// the two calls ends unlocked and paints again.
TEST_F(UpdateFixture, VisibilityChangesBetweenBeginAndEndLeaveNoLock)
{
    struct Case
    {
        const char* name;
        bool visibleAtBegin;
        bool visibleAtEnd;
    };
    for (const Case& c : {Case{"hidden between", true, false}, Case{"shown between", false, true},
                          Case{"hidden throughout", false, false}}) {
        SCOPED_TRACE(c.name);
        grid->setVisible(c.visibleAtBegin);
        grid->BeginUpdate();
        EXPECT_EQ(grid->UpdateCount(), 1);
        grid->setVisible(c.visibleAtEnd);
        grid->EndUpdate();
        EXPECT_EQ(grid->UpdateCount(), 0);
        grid->setVisible(true);
        ProcessEvents();
        EXPECT_TRUE(grid->updatesEnabled());
        EXPECT_GT(PaintNow(), 0);
    }
}

TEST_F(UpdateFixture, StartAndResetMoveTheLevelOnly)
{
    grid->StartUpdate();
    grid->StartUpdate();
    EXPECT_EQ(grid->UpdateCount(), 2);
    EXPECT_TRUE(grid->updatesEnabled());
    EXPECT_EQ(PaintNow(), 0);  // still nothing painted while the level is up
    grid->ResetUpdate();
    EXPECT_FALSE(grid->LockUpdate());
    EXPECT_GT(PaintNow(), 0);
}

TEST_F(UpdateFixture, PostedEditDoneBecomesEditCellDone)
{
    std::vector<QPoint> done;
    grid->OnEditCellDone = [&](QObject*, int c, int r) { done.push_back(QPoint(c, r)); };
    PostMessage(grid, GridEditDoneMessage(), 3, 4);
    EXPECT_TRUE(done.empty());
    ProcessEvents();
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0], QPoint(3, 4));

    grid->MouseActions().SetEditOnDblClickOnly(true);
    PostMessage(grid, GridEditDoneMessage(), 1, 1);
    ProcessEvents();
    EXPECT_FALSE(grid->Options() & goEditing);
    EXPECT_FALSE(grid->EditMode());
}

TEST_F(UpdateFixture, GridTimerRunsOnceTheWindowExists)
{
    const int before = grid->TimerTicks();
    QElapsedTimer clock;
    clock.start();
    while (grid->TimerTicks() == before && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_GT(grid->TimerTicks(), before);
}

TEST_F(UpdateFixture, ComboNotificationsRaiseTheComboEvents)
{
    grid->OnGetEditorType = [](QObject*, int, int, TEditorType& e) { e = edComboEdit; };
    grid->AddComboString(QStringLiteral("one"));
    grid->AddComboString(QStringLiteral("two"));
    std::vector<QString> log;
    grid->OnComboChange = [&](QObject*, int c, int r, int index, const QString& text) {
        log.push_back(QStringLiteral("%1,%2 %3 %4").arg(c).arg(r).arg(index).arg(text));
    };
    grid->HideColumn(1);  // the real column differs from the display column
    GoTo(2, 3);
    Key(Qt::Key_F2);
    ASSERT_TRUE(grid->Combobox()->isVisible());
    grid->Combobox()->SetItemIndex(1);
    log.clear();
    SendMessage(grid, WM_COMMAND, MakeWParam(0, 1), reinterpret_cast<std::intptr_t>(static_cast<QObject*>(grid->Combobox())));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], QStringLiteral("3,3 1 two"));
    // An edit change is told twice: by the real column and item, and by the display column.
    grid->Combobox()->SetItemIndex(-1);
    grid->Combobox()->SetText(QStringLiteral("typed"));
    log.clear();
    SendMessage(grid, WM_COMMAND, MakeWParam(0, 5), reinterpret_cast<std::intptr_t>(static_cast<QObject*>(grid->Combobox())));
    const std::vector<QString> expected{QStringLiteral("3,3 -1 typed"), QStringLiteral("2,3 -1 typed")};
    EXPECT_EQ(log, expected);
}
