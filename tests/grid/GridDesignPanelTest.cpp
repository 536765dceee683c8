// The quick configuration panel of a grid being designed: shown only then,
// the hit test that decides every click, and what each choice does to the grid.
#include "ExGridEditTestSupport.h"

#include "grid/ExGrid_DesignPanel.h"
#include "platform/Controls.h"
#include "platform/Forms.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPaintEvent>
#include <QRegion>

using namespace platform;
using namespace edittest;

namespace {

struct DesignPanelFixture : GridFixture
{
    TDesignPanel* Design()
    {
        grid->SetDesigning(true);
        ProcessEvents();
        return grid->DesignPanel();
    }

    TDesignPanelGeometry Geometry()
    {
        return DesignPanelGeometry(Rect(0, 0, grid->ClientWidth(), grid->ClientHeight()), DesignPanelFont(),
                                   grid->Look());
    }

    // A point inside an item's hit area, in client coordinates.
    QPoint ItemPoint(int item)
    {
        const TDesignPanelGeometry g = Geometry();
        const int r = g.Client.Right, t = g.Panel.Top, p = g.H + 2;
        switch (item) {
        case dcAllowEdit: return {r - 140, t + p + 5 + p / 2};
        case dcColumnNumbers: return {r - 140, t + 2 * p + 5 + p / 2};
        case dcLook: return {r - 140, t + 3 * p + 5 + p / 2};
        case dcClose: return {r - 8, t + 8};
        default: return {r - 75, t + 3};
        }
    }

    // A real click on the panel at a client point.
    void ClickPanel(QPoint client)
    {
        TDesignPanel* panel = grid->DesignPanel();
        ASSERT_NE(panel, nullptr);
        testsupport::Click(panel, client - panel->pos());
        ProcessEvents();
    }
};

} // namespace

TEST_F(DesignPanelFixture, OutsideDesignNothingIsShownHitOrDone)
{
    // The running program: no panel, no hit, the designer's answer stands.
    EXPECT_FALSE(grid->Designing());
    EXPECT_EQ(grid->DesignPanel(), nullptr);
    const QPoint allowEdit = ItemPoint(dcAllowEdit);
    EXPECT_EQ(grid->DesignHitTest(allowEdit.x(), allowEdit.y()), dcNone);
    EXPECT_EQ(grid->CMDesignHitTest(allowEdit.x(), allowEdit.y(), 7), 7);
    grid->DesignPanelClick(allowEdit.x(), allowEdit.y());
    grid->PerformDesignChoice(dcColumnNumbers, allowEdit);
    EXPECT_TRUE(grid->Options() & goEditing);
    EXPECT_FALSE(grid->ShowColNrs());

    // Designing with the helper switched off: the panel is there but hidden.
    grid->SetShowDesignHelper(false);
    TDesignPanel* panel = Design();
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(grid->DesignHitTest(allowEdit.x(), allowEdit.y()), dcNone);
    EXPECT_EQ(grid->CMDesignHitTest(allowEdit.x(), allowEdit.y(), 0), 0);
    grid->DesignPanelClick(allowEdit.x(), allowEdit.y());
    EXPECT_TRUE(grid->Options() & goEditing);

    // Leaving design mode takes the panel away.
    grid->SetDesigning(false);
    EXPECT_EQ(grid->DesignPanel(), nullptr);
}

TEST_F(DesignPanelFixture, ShownInTheBottomRightCornerWithTheGridsState)
{
    grid->SetLook(glSoft);
    TDesignPanel* panel = Design();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    const TDesignPanelGeometry g = Geometry();
    EXPECT_EQ(panel->geometry(), QRect(grid->ClientWidth() - 150, grid->ClientHeight() - (4 * g.H + 18), 150,
                                       4 * g.H + 18));
    EXPECT_EQ(panel->Title()->text(), QStringLiteral("Quick config [v") + grid->Version() + QStringLiteral("]"));
    EXPECT_TRUE(panel->AllowEdit()->isChecked());
    EXPECT_FALSE(panel->ColumnNumbers()->isChecked());
    EXPECT_EQ(panel->LookLabel()->text(), QStringLiteral("Set look: Soft"));

    // A change made elsewhere reaches the panel with the grid's next repaint.
    grid->SetOptions(grid->Options() & ~goEditing);
    grid->repaint();
    ProcessEvents();
    EXPECT_FALSE(panel->AllowEdit()->isChecked());

    // The panel follows the corner when the grid is resized.
    grid->setGeometry(10, 10, 400, 300);
    ProcessEvents();
    EXPECT_EQ(panel->geometry().right() + 1, grid->ClientWidth());
    EXPECT_EQ(panel->geometry().bottom() + 1, grid->ClientHeight());
}

TEST_F(DesignPanelFixture, HitTestAreasAndTheirEdges)
{
    Design();
    const TDesignPanelGeometry g = Geometry();
    const int r = g.Client.Right, t = g.Panel.Top, p = g.H + 2;
    struct Case
    {
        const char* why;
        int x, y, item;
    };
    const Case cases[] = {
        {"title line", r - 100, t + 3, dcNone},
        {"close bitmap", r - 8, t + 8, dcClose},
        {"close: the top edge itself is out", r - 8, t, dcNone},
        {"close: 16 pixels down is out", r - 8, t + 16, dcNone},
        {"allow edit, first pixel", r - 149, t + p + 5, dcAllowEdit},
        {"allow edit: the panel's left edge is out", r - 150, t + p + 5, dcNone},
        {"allow edit: last pixel of its text", r - 133 + g.AllowEditWidth, t + p + 5, dcAllowEdit},
        {"allow edit: beyond its text", r - 132 + g.AllowEditWidth, t + p + 5, dcNone},
        {"column numbers", r - 140, t + 2 * p + 5, dcColumnNumbers},
        {"column numbers, last row of its area", r - 140, t + 3 * p + 3, dcColumnNumbers},
        {"between two items", r - 140, t + 2 * p + 4, dcNone},
        {"look", r - 149, t + 3 * p + 5, dcLook},
        {"look: beyond its caption", r - 150 + g.LookWidth, t + 3 * p + 5, dcNone},
        {"below the look item", r - 140, t + 4 * p + 4, dcNone},
        {"left of the panel", r - 160, t + p + 5, dcNone},
        {"a cell above the panel", 20, 20, dcNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(grid->DesignHitTest(c.x, c.y), c.item) << c.why;
        EXPECT_EQ(grid->CMDesignHitTest(c.x, c.y, 0), c.item == dcNone ? 0 : 1) << c.why;
    }
}

TEST_F(DesignPanelFixture, EachChoiceClickedOnThePanelChangesTheGrid)
{
    struct State
    {
        bool editing, colNrs, helper;
    };
    struct Case
    {
        const char* why;
        int item;
        State before, after;
    };
    const Case cases[] = {
        {"allow edit switches editing off", dcAllowEdit, {true, false, true}, {false, false, true}},
        {"allow edit switches editing on", dcAllowEdit, {false, false, true}, {true, false, true}},
        {"column numbers on", dcColumnNumbers, {true, false, true}, {true, true, true}},
        {"column numbers off", dcColumnNumbers, {true, true, true}, {true, false, true}},
        {"close hides the panel", dcClose, {true, false, true}, {true, false, false}},
        {"the title does nothing", dcNone, {true, false, true}, {true, false, true}},
    };
    // Cells under the panel, so that a click passed on would select one.
    grid->SetRowCount(30);
    for (int col = 0; col < grid->ColCount(); ++col)
        grid->SetColWidths(col, 130);
    TDesignPanel* panel = Design();
    ASSERT_NE(panel, nullptr);
    for (const Case& c : cases) {
        grid->SetShowDesignHelper(true);
        grid->UpdateDesignPanel();
        grid->SetOptions(c.before.editing ? grid->Options() | goEditing : grid->Options() & ~goEditing);
        if (grid->ShowColNrs() != c.before.colNrs)
            grid->PerformDesignChoice(dcColumnNumbers, QPoint());
        grid->UpdateDesignPanel();
        grid->FocusCell(1, 1);
        ClickPanel(ItemPoint(c.item));
        EXPECT_EQ((grid->Options() & goEditing) != 0, c.after.editing) << c.why;
        EXPECT_EQ(grid->ShowColNrs(), c.after.colNrs) << c.why;
        EXPECT_EQ(grid->ShowDesignHelper(), c.after.helper) << c.why;
        EXPECT_EQ(panel->isVisible(), c.after.helper) << c.why;
        if (c.after.helper) {
            EXPECT_EQ(panel->AllowEdit()->isChecked(), c.after.editing) << c.why;
            EXPECT_EQ(panel->ColumnNumbers()->isChecked(), c.after.colNrs) << c.why;
        }
        // The click stays on the panel: the cell below it is not selected.
        EXPECT_EQ(grid->Col(), 1) << c.why;
        EXPECT_EQ(grid->Row(), 1) << c.why;
    }

    // Closed for good, until the helper is switched on again.
    grid->SetShowDesignHelper(false);
    grid->UpdateDesignPanel();
    const QPoint at = ItemPoint(dcColumnNumbers);
    grid->DesignPanelClick(at.x(), at.y());
    EXPECT_FALSE(grid->ShowColNrs());
    grid->SetShowDesignHelper(true);
    grid->repaint();
    ProcessEvents();
    EXPECT_TRUE(panel->isVisible());
}

TEST_F(DesignPanelFixture, TheLookMenuSetsTheChosenLook)
{
    const std::pair<const char*, TGridLook> expected[] = {
        {"Standard", glStandard}, {"Soft", glSoft}, {"Classic", glClassic},
        {"QRV", glQRV}, {"ListView", glListView}, {"Office 2007", glOffice2007},
        {"Windows XP", glXP}, {"Windows Vista", glVista}, {"Windows 7", glWin7},
    };
    TDesignPanel* panel = Design();
    ASSERT_NE(panel, nullptr);
    TPopupMenu* menu = panel->LookMenu();
    ASSERT_EQ(menu->Count(), 9);
    for (int i = 0; i < 9; ++i) {
        const auto& [caption, look] = expected[i];
        grid->SetLook(i == 0 ? glSoft : glStandard);
        grid->UpdateDesignPanel();
        ClickPanel(ItemPoint(dcLook));
        ASSERT_TRUE(menu->IsOpen()) << caption;
        EXPECT_EQ(menu->Item(i)->Caption(), QString::fromLatin1(caption));
        // The current look is checked, and only it.
        const TGridLook current = grid->Look();
        for (int k = 0; k < 9; ++k)
            EXPECT_EQ(menu->Item(k)->Checked(), expected[k].second == current) << caption << " entry " << k;
        menu->Item(i)->Click();
        menu->CloseMenu();
        ProcessEvents();
        EXPECT_EQ(grid->Look(), look) << caption;
        EXPECT_EQ(panel->LookLabel()->text(), QStringLiteral("Set look: ") + GridLookText(look)) << caption;
    }

    // Dismissing the menu changes nothing.
    grid->SetLook(glClassic);
    ClickPanel(ItemPoint(dcLook));
    ASSERT_TRUE(menu->IsOpen());
    menu->CloseMenu();
    ProcessEvents();
    EXPECT_EQ(grid->Look(), glClassic);
}

TEST_F(DesignPanelFixture, TheUnderlineFollowsTheMouse)
{
    TDesignPanel* panel = Design();
    ASSERT_NE(panel, nullptr);
    const QPoint a = ItemPoint(dcAllowEdit), c = ItemPoint(dcColumnNumbers), none = ItemPoint(dcNone);
    EXPECT_EQ(grid->CMDesignHitTest(a.x(), a.y()), 1);
    EXPECT_TRUE(panel->AllowEdit()->font().underline());
    EXPECT_FALSE(panel->ColumnNumbers()->font().underline());
    EXPECT_EQ(grid->CMDesignHitTest(c.x(), c.y()), 1);
    EXPECT_FALSE(panel->AllowEdit()->font().underline());
    EXPECT_TRUE(panel->ColumnNumbers()->font().underline());
    EXPECT_EQ(grid->CMDesignHitTest(none.x(), none.y()), 0);
    EXPECT_FALSE(panel->ColumnNumbers()->font().underline());
    EXPECT_EQ(grid->LastDesignChoice(), dcNone);

    // The real mouse over the panel: only the panel's area is painted again.
    ProcessEvents();
    struct PaintWatch : QObject
    {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } watch;
    grid->ClientSurface()->installEventFilter(&watch);
    for (const QPoint& at : {a, c}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at - panel->pos()), panel->mapToGlobal(QPointF(at - panel->pos())),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &move);
        ProcessEvents();
    }
    grid->ClientSurface()->removeEventFilter(&watch);
    EXPECT_TRUE(panel->ColumnNumbers()->font().underline());
    EXPECT_FALSE(panel->AllowEdit()->font().underline());
    EXPECT_FALSE(watch.painted.isEmpty());
    EXPECT_TRUE(QRegion(panel->geometry()).contains(watch.painted.boundingRect()))
        << "painted " << watch.painted.boundingRect().x() << "," << watch.painted.boundingRect().y();
}

// The designer learns of a change through the form's size; the form ends as
// wide as it was, and a grid without a form up its parents takes the choice
// all the same.
TEST(DesignPanelForm, TheFormIsNudgedBackToItsWidthAndNoFormIsNeeded)
{
    TForm form;
    form.SetBounds(0, 0, 500, 400);
    auto* grid = new TExStringGrid(&form);
    grid->setGeometry(5, 5, 400, 300);
    form.Show();
    grid->SetDesigning(true);
    ProcessEvents();
    int resizes = 0;
    struct Counter : QObject
    {
        int* n;
        explicit Counter(int* c) : n(c) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Resize)
                ++*n;
            return false;
        }
    } counter(&resizes);
    form.installEventFilter(&counter);
    grid->PerformDesignChoice(dcColumnNumbers, QPoint());
    form.removeEventFilter(&counter);
    EXPECT_TRUE(grid->ShowColNrs());
    EXPECT_EQ(form.Width(), 500);
    EXPECT_GE(resizes, 2);

    QWidget bare;
    auto* orphan = new TExStringGrid(&bare);
    orphan->SetDesigning(true);
    orphan->PerformDesignChoice(dcAllowEdit, QPoint());
    EXPECT_TRUE(orphan->Options() & goEditing);
}

// GRID_SCREENSHOT_DIR=<dir> saves a designed grid with its quick configuration panel.
TEST_F(DesignPanelFixture, ScreenshotOfThePanel)
{
    const QString dir = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "GRID_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    for (int r = 1; r < 6; ++r)
        grid->SetCells(1, r, QStringLiteral("Row %1").arg(r));
    Design();
    const QPoint c = ItemPoint(dcColumnNumbers);
    grid->DesignPanelClick(c.x(), c.y());
    grid->CMDesignHitTest(c.x(), c.y());
    grid->repaint();
    ProcessEvents();
    EXPECT_TRUE(host->grab().save(QDir(dir).filePath(QStringLiteral("grid_design_panel.png"))));
}

TEST_F(DesignPanelFixture, ColumnNumbersShowInRowZeroWhileDesigning)
{
    // Grey pixels in the lower right part of a header cell.
    const auto greyInHeader = [this](int col) {
        grid->repaint();
        const QImage img = grid->ClientSurface()->grab().toImage();
        const TRect r = grid->CellRect(col, 0);
        int grey = 0;
        for (int y = r.Top + (r.Bottom - r.Top) / 2; y < r.Bottom - 1; ++y)
            for (int x = r.Left + (r.Right - r.Left) / 2; x < r.Right - 1; ++x)
                if (QColor(img.pixel(x, y)).rgb() == QColor(128, 128, 128).rgb())
                    ++grey;
        return grey;
    };
    grid->SetLook(glClassic);
    grid->HideColumn(1);
    Design();
    EXPECT_EQ(greyInHeader(2), 0);
    grid->PerformDesignChoice(dcColumnNumbers, QPoint());
    EXPECT_GT(greyInHeader(2), 0);
    grid->SetDesigning(false);
    EXPECT_EQ(greyInHeader(2), 0);
}
