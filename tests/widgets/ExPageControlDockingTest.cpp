// Docking onto the page control and the highlighted tab.

#include "widgets/ExPageControl.h"

#include "WidgetTestHelpers.h"
#include "platform/Docking.h"
#include "platform/Forms.h"

#include <QPointer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace platform;
using namespace widgettest;

namespace {

// A shown window with a dock-site page control holding the sheets "A" and
// "B", and room on its right for a second site.
struct Site
{
    Site()
    {
        window->resize(900, 400);
        pc = new TExPageControl(window.get());
        pc->setGeometry(10, 10, 400, 300);
        pc->SetDockSite(true);
        for (const char* name : {"A", "B"}) {
            auto* s = new TExTabSheet(pc);
            s->SetCaption(QStringLiteral("  %1     ").arg(QLatin1String(name)));
        }
        pc->OnChange = [this](QObject*) { ++changes; };
        window->show();
    }
    ~Site()
    {
        // Floating clients are windows of their own.
        for (const QPointer<TForm>& f : forms)
            if (f && !f->parentWidget())
                delete f.data();
    }
    // A form as a dock client, shown unless asked otherwise.
    TForm* Client(const QString& caption, bool shown = true)
    {
        auto* f = new TForm;
        f->SetCaption(caption);
        f->resize(150, 90);
        if (shown)
            f->show();
        forms.emplace_back(f);
        return f;
    }
    TExPageControl* SecondSite()
    {
        pc2 = new TExPageControl(window.get());
        pc2->setGeometry(480, 10, 380, 300);
        pc2->SetDockSite(true);
        pc2->show();
        return pc2;
    }
    QStringList Captions(const TExPageControl* c) const
    {
        QStringList out;
        for (int i = 0; i < c->PageCount(); ++i)
            out << c->Pages(i)->Caption().trimmed();
        return out;
    }
    QPoint TabCentre(const TExTabSheet* s) const
    {
        const TRect r = pc->TabRect(s->TabIndex());
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    // A point of another widget in the page control's coordinates.
    QPoint InPc(const QWidget* w, QPoint at) const { return pc->mapFromGlobal(w->mapToGlobal(at)); }

    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TExPageControl* pc = nullptr;
    TExPageControl* pc2 = nullptr;
    std::vector<QPointer<TForm>> forms;
    int changes = 0;
};

} // namespace

TEST(ExPageControlDocking, ADockedControlGetsASheetOfItsOwn)
{
    const struct
    {
        const char* why;
        bool shown;
        bool tabVisible;
        int activeIndex;
    } cases[] = {
        {"a shown control's sheet shows and becomes active", true, true, 2},
        {"a hidden control's sheet has no tab and the shown page stays", false, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Site s;
        int drops = 0;
        s.pc->OnDockDrop = [&](QObject* sender, TDragDockObject& source, int, int) {
            EXPECT_EQ(sender, s.pc);
            ++drops;
        };
        TForm* meters = s.Client(QStringLiteral("Meters"), c.shown);
        ASSERT_TRUE(ManualDock(meters, s.pc));

        ASSERT_EQ(s.pc->PageCount(), 3);
        TExTabSheet* sheet = s.pc->Pages(2);
        EXPECT_EQ(sheet->Caption(), QStringLiteral("Meters"));
        EXPECT_EQ(meters->parentWidget(), sheet);
        EXPECT_FALSE(meters->isWindow());
        EXPECT_EQ(HostDockSite(meters), s.pc);
        EXPECT_EQ(meters->Align(), alClient);
        if (c.shown) {
            EXPECT_EQ(meters->geometry(), sheet->contentsRect());
        }
        EXPECT_EQ(sheet->TabVisible(), c.tabVisible);
        EXPECT_EQ(s.pc->TabCount(), c.tabVisible ? 3 : 2);
        EXPECT_EQ(s.pc->ActivePageIndex(), c.activeIndex);
        EXPECT_EQ(meters->isVisible(), c.shown);
        EXPECT_EQ(drops, 1);
    }
}

TEST(ExPageControlDocking, OnlyAControlNotDockedHereCanDock)
{
    Site s;
    TForm* docked = s.Client(QStringLiteral("Docked"));
    TForm* other = s.Client(QStringLiteral("Other"));
    ASSERT_TRUE(ManualDock(docked, s.pc));
    bool asked = false;
    s.pc->OnGetSiteInfo = [&](QObject*, QWidget*, TRect&, const TPoint&, bool&) { asked = true; };
    for (auto [control, expected] : {std::pair<QWidget*, bool>{docked, false}, {other, true}}) {
        TRect influence = Rect(0, 0, 10, 10);
        bool canDock = true;
        s.pc->GetSiteInfo(control, influence, Point(0, 0), canDock);
        EXPECT_EQ(canDock, expected);
    }
    EXPECT_TRUE(asked);
}

TEST(ExPageControlDocking, TheSheetFollowsTheControlsTextAndVisibility)
{
    Site s;
    TForm* meters = s.Client(QStringLiteral("Meters"), false);
    ASSERT_TRUE(ManualDock(meters, s.pc));
    TExTabSheet* sheet = s.pc->Pages(2);
    EXPECT_FALSE(sheet->TabVisible());
    meters->show();
    EXPECT_TRUE(sheet->TabVisible());
    EXPECT_EQ(meters->geometry(), sheet->contentsRect());

    meters->SetCaption(QStringLiteral("Wired meters\nsecond line"));
    EXPECT_EQ(sheet->Caption(), QStringLiteral("Wired meters"));
    meters->SetCaption(QStringLiteral("Radio\r\nmeters"));
    EXPECT_EQ(sheet->Caption(), QStringLiteral("Radio"));

    meters->hide();
    EXPECT_FALSE(sheet->TabVisible());
    EXPECT_EQ(s.pc->TabCount(), 2);
    EXPECT_NE(s.pc->ActivePage(), sheet);
    meters->show();
    EXPECT_TRUE(sheet->TabVisible());
    EXPECT_EQ(s.pc->TabCount(), 3);
}

// Pages A, B, X (docked), Y (docked); one of them active; one docked
// control floats.
TEST(ExPageControlDocking, UndockingRemovesOnlyItsSheet)
{
    const struct
    {
        const char* why;
        int active;    // page index made active first
        int floating;  // 2: X, 3: Y
        QStringList pages;
        QString activeAfter;
        int changes;   // OnChange raised
    } cases[] = {
        {"the shown docked page hands over to the next", 2, 2, {"A", "B", "Y"}, "Y", 1},
        {"the last shown page wraps to the first", 3, 3, {"A", "B", "X"}, "A", 1},
        {"a page that does not show leaves the shown one", 0, 2, {"A", "B", "Y"}, "A", 0},
        {"a page before the shown one moves its index", 3, 2, {"A", "B", "Y"}, "Y", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Site s;
        TForm* x = s.Client(QStringLiteral("X"));
        TForm* y = s.Client(QStringLiteral("Y"));
        ASSERT_TRUE(ManualDock(x, s.pc));
        ASSERT_TRUE(ManualDock(y, s.pc));
        s.pc->SetActivePageIndex(c.active);
        QPointer<TExTabSheet> sheet = s.pc->Pages(c.floating);
        TForm* going = c.floating == 2 ? x : y;
        QWidget* undocked = nullptr;
        s.pc->OnUnDock = [&](QObject*, QWidget* client, QWidget* newTarget, bool& allow) {
            undocked = client;
            EXPECT_EQ(newTarget, nullptr);
        };
        s.changes = 0;

        const TRect at = Bounds(300, 200, 150, 90);
        ASSERT_TRUE(ManualFloat(going, at));

        EXPECT_EQ(undocked, going);
        EXPECT_TRUE(sheet.isNull());
        EXPECT_EQ(s.Captions(s.pc), c.pages);
        ASSERT_NE(s.pc->ActivePage(), nullptr);
        EXPECT_EQ(s.pc->ActivePage()->Caption().trimmed(), c.activeAfter);
        EXPECT_EQ(s.pc->TabIndex(), s.pc->ActivePage()->TabIndex());
        EXPECT_TRUE(s.pc->ActivePage()->isVisible());
        EXPECT_EQ(s.changes, c.changes);
        EXPECT_TRUE(going->isWindow());
        EXPECT_EQ(going->parentWidget(), nullptr);
        EXPECT_EQ(HostDockSite(going), nullptr);
        EXPECT_EQ(going->Align(), alNone);
        EXPECT_TRUE(going->isVisible());
        EXPECT_EQ(going->geometry(), QRect(300, 200, 150, 90));
    }
}

TEST(ExPageControlLeaving, OnlyTheShownPageHandsOver)
{
    const struct
    {
        const char* why;
        int active;
        int leaving;
        QString activeAfter;
    } cases[] = {
        {"the shown page hands over to the next", 1, 1, "C"},
        {"another page leaves the shown one, before it", 2, 0, "C"},
        {"another page leaves the shown one, after it", 0, 2, "A"},
    };
    for (const auto& c : cases) {
        for (const bool destroy : {false, true}) {
            SCOPED_TRACE(std::string(c.why) + (destroy ? ", destroyed" : ", detached"));
            Site s;
            auto* extra = new TExTabSheet(s.pc);
            extra->SetCaption(QStringLiteral("C  "));
            s.pc->SetActivePageIndex(c.active);
            TExTabSheet* leaving = s.pc->Pages(c.leaving);
            if (destroy)
                delete leaving;
            else
                leaving->SetExPageControl(nullptr);
            ASSERT_NE(s.pc->ActivePage(), nullptr);
            EXPECT_EQ(s.pc->ActivePage()->Caption().trimmed(), c.activeAfter);
            EXPECT_EQ(s.pc->TabIndex(), s.pc->ActivePage()->TabIndex());
            EXPECT_TRUE(s.pc->ActivePage()->isVisible());
            EXPECT_EQ(s.pc->PageCount(), 2);
        }
    }
}

TEST(ExPageControlDocking, ARefusedUndockChangesNothing)
{
    Site s;
    TForm* x = s.Client(QStringLiteral("X"));
    ASSERT_TRUE(ManualDock(x, s.pc));
    s.pc->OnUnDock = [](QObject*, QWidget*, QWidget*, bool& allow) { allow = false; };
    EXPECT_FALSE(ManualFloat(x, Bounds(0, 0, 50, 50)));
    EXPECT_EQ(s.pc->PageCount(), 3);
    EXPECT_EQ(x->parentWidget(), s.pc->Pages(2));
    EXPECT_EQ(HostDockSite(x), s.pc);
    EXPECT_EQ(x->Align(), alClient);
}

TEST(ExPageControlDocking, DestroyingTakesTheSheetAlongSafely)
{
    {
        SCOPED_TRACE("a destroyed docked control takes its sheet");
        Site s;
        TForm* x = s.Client(QStringLiteral("X"));
        ASSERT_TRUE(ManualDock(x, s.pc));
        QPointer<TExTabSheet> sheet = s.pc->Pages(2);
        delete x;
        EXPECT_TRUE(sheet.isNull());
        EXPECT_EQ(s.Captions(s.pc), (QStringList{"A", "B"}));
        EXPECT_EQ(s.pc->ActivePageIndex(), 0);
    }
    {
        SCOPED_TRACE("a destroyed sheet takes its docked control");
        Site s;
        QPointer<TForm> x = s.Client(QStringLiteral("X"));
        ASSERT_TRUE(ManualDock(x, s.pc));
        delete s.pc->Pages(2);
        EXPECT_TRUE(x.isNull());
        EXPECT_EQ(s.Captions(s.pc), (QStringList{"A", "B"}));
    }
    {
        SCOPED_TRACE("a destroyed page control takes its docked controls");
        Site s;
        QPointer<TForm> x = s.Client(QStringLiteral("X"));
        ASSERT_TRUE(ManualDock(x, s.pc));
        delete s.pc;
        EXPECT_TRUE(x.isNull());
    }
}

// Real mouse events on the tab of a docked sheet; the moves hold the left
// button down.
TEST(ExPageControlDocking, APressOnTheTabDragsTheControlOut)
{
    enum class End { OntoSecondSite, Nowhere, Escape };
    const struct
    {
        const char* why;
        End end;
    } cases[] = {
        {"dropped onto another site it docks there", End::OntoSecondSite},
        {"dropped where no site takes it it floats there", End::Nowhere},
        {"Escape ends the drag with nothing changed", End::Escape},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Site s;
        TExPageControl* pc2 = s.SecondSite();
        TForm* x = s.Client(QStringLiteral("Meters"));
        ASSERT_TRUE(ManualDock(x, s.pc));
        SetDragKind(x, dkDock);
        QPointer<TExTabSheet> sheet = s.pc->Pages(2);
        s.pc->SetActivePageIndex(0);

        int started = 0, overEnter = 0;
        QObject* endTarget = reinterpret_cast<QObject*>(1);
        QWidget* undockTarget = nullptr;
        SetOnStartDock(x, [&](QObject* sender, TDragDockObject& d) {
            EXPECT_EQ(sender, x);
            EXPECT_EQ(d.Control, x);
            ++started;
        });
        SetOnEndDock(x, [&](QObject*, QObject* target, int, int) { endTarget = target; });
        s.pc->OnUnDock = [&](QObject*, QWidget*, QWidget* newTarget, bool&) { undockTarget = newTarget; };
        pc2->OnDockOver = [&](QObject*, TDragDockObject& d, int, int, TDragState state, bool&) {
            if (state == dsDragEnter)
                ++overEnter;
        };

        const QPoint tab = s.TabCentre(sheet);
        Press(s.pc, tab);
        EXPECT_EQ(s.pc->ActivePage(), sheet.data()) << "the press selects the tab";
        EXPECT_EQ(started, 1);
        Mouse(s.pc, QEvent::MouseMove, tab + QPoint(2, 1));
        EXPECT_EQ(DockDragging(), nullptr) << "under the threshold the drag waits";

        const QPoint target = c.end == End::OntoSecondSite ? s.InPc(pc2, QPoint(100, 100)) : QPoint(600, 380);
        Mouse(s.pc, QEvent::MouseMove, target);
        const TDragDockObject* drag = DockDragging();
        ASSERT_NE(drag, nullptr);
        EXPECT_EQ(drag->Control, x);
        if (c.end == End::OntoSecondSite) {
            EXPECT_EQ(drag->DragTarget, pc2);
            EXPECT_EQ(overEnter, 1);
            const QPoint origin = pc2->mapToGlobal(QPoint(0, 0));
            EXPECT_EQ(drag->DockRect, Bounds(origin.x(), origin.y(), pc2->width(), pc2->height()));
        } else {
            EXPECT_EQ(drag->DragTarget, nullptr);
        }
        const QPoint screen = s.pc->mapToGlobal(target);

        if (c.end == End::Escape) {
            Key(s.pc, Qt::Key_Escape);
            Release(s.pc, target);
        } else {
            Release(s.pc, target);
        }
        EXPECT_EQ(DockDragging(), nullptr);

        switch (c.end) {
        case End::OntoSecondSite:
            EXPECT_EQ(HostDockSite(x), pc2);
            EXPECT_EQ(undockTarget, pc2);
            EXPECT_EQ(endTarget, pc2);
            EXPECT_TRUE(sheet.isNull());
            EXPECT_EQ(s.Captions(s.pc), (QStringList{"A", "B"}));
            EXPECT_EQ(s.Captions(pc2), QStringList{"Meters"});
            EXPECT_EQ(pc2->ActivePageIndex(), 0);
            EXPECT_EQ(x->parentWidget(), pc2->Pages(0));
            break;
        case End::Nowhere:
            EXPECT_EQ(HostDockSite(x), nullptr);
            EXPECT_EQ(endTarget, nullptr);
            EXPECT_TRUE(sheet.isNull());
            EXPECT_EQ(s.Captions(s.pc), (QStringList{"A", "B"}));
            EXPECT_TRUE(x->isWindow());
            EXPECT_EQ(x->geometry(), QRect(screen, QSize(150, 90)));
            break;
        case End::Escape:
            EXPECT_EQ(HostDockSite(x), s.pc);
            EXPECT_EQ(endTarget, nullptr);
            EXPECT_FALSE(sheet.isNull());
            EXPECT_EQ(s.pc->PageCount(), 3);
            EXPECT_EQ(pc2->PageCount(), 0);
            break;
        }
    }
}

TEST(ExPageControlDocking, ClicksOnTheTabOfADockedSheet)
{
    {
        SCOPED_TRACE("a click without moving leaves the control docked and selects its page");
        Site s;
        TForm* x = s.Client(QStringLiteral("X"));
        ASSERT_TRUE(ManualDock(x, s.pc));
        SetDragKind(x, dkDock);
        s.pc->SetActivePageIndex(0);
        ClickAt(s.pc, s.TabCentre(s.pc->Pages(2)));
        EXPECT_EQ(DockDragging(), nullptr);
        EXPECT_EQ(HostDockSite(x), s.pc);
        EXPECT_EQ(s.pc->ActivePageIndex(), 2);
    }
    {
        SCOPED_TRACE("a double click floats the control");
        Site s;
        TForm* x = s.Client(QStringLiteral("X"));
        const QSize undockedSize = x->size();
        ASSERT_TRUE(ManualDock(x, s.pc));
        const QPoint tab = s.TabCentre(s.pc->Pages(2));
        ClickAt(s.pc, tab);
        Mouse(s.pc, QEvent::MouseButtonDblClick, tab);
        Release(s.pc, tab);
        EXPECT_EQ(HostDockSite(x), nullptr);
        EXPECT_TRUE(x->isWindow());
        EXPECT_EQ(x->size(), undockedSize);
        EXPECT_EQ(s.Captions(s.pc), (QStringList{"A", "B"}));
    }
    {
        SCOPED_TRACE("a control that drags as data is not dock-dragged");
        Site s;
        TForm* x = s.Client(QStringLiteral("X"));
        ASSERT_TRUE(ManualDock(x, s.pc));
        const QPoint tab = s.TabCentre(s.pc->Pages(2));
        Press(s.pc, tab);
        Mouse(s.pc, QEvent::MouseMove, tab + QPoint(0, 120));
        EXPECT_EQ(DockDragging(), nullptr);
        Release(s.pc, tab + QPoint(0, 120));
        EXPECT_EQ(HostDockSite(x), s.pc);
    }
}

TEST(ExPageControlHighlighted, SetReadAndKeptByTheTab)
{
    Site s;
    TExTabSheet* b = s.pc->Pages(1);
    EXPECT_FALSE(b->Highlighted());
    b->SetHighlighted(true);
    EXPECT_TRUE(b->Highlighted());
    EXPECT_TRUE(s.pc->TabHighlighted(1));
    EXPECT_FALSE(s.pc->TabHighlighted(0));

    // The state travels with the tab and comes back with it.
    b->SetPageIndex(0);
    EXPECT_TRUE(s.pc->TabHighlighted(0));
    EXPECT_FALSE(s.pc->TabHighlighted(1));
    b->SetTabVisible(false);
    b->SetTabVisible(true);
    EXPECT_TRUE(s.pc->TabHighlighted(b->TabIndex()));

    b->SetHighlighted(false);
    EXPECT_FALSE(b->Highlighted());
    EXPECT_FALSE(s.pc->TabHighlighted(b->TabIndex()));

    // A sheet without a tab keeps its state for when it joins.
    TExTabSheet loose;
    loose.SetHighlighted(true);
    EXPECT_TRUE(loose.Highlighted());
    loose.SetExPageControl(s.pc);
    EXPECT_TRUE(s.pc->TabHighlighted(loose.TabIndex()));
    loose.SetExPageControl(nullptr);
}

// The platform's tab drawing shows it; the owner drawing of the tabs has no
// highlighted look.
TEST(ExPageControlHighlighted, PaintedByThePlatformsTabs)
{
    for (const bool border3D : {true, false}) {
        SCOPED_TRACE(border3D ? "platform tabs" : "owner-drawn tabs");
        Site s;
        s.pc->SetTabBorder3D(border3D);
        TExTabSheet* b = s.pc->Pages(1);
        const QImage before = s.pc->grab().toImage();
        b->SetHighlighted(true);
        const QImage after = s.pc->grab().toImage();
        const TRect t = s.pc->TabRect(b->TabIndex());
        const QRect tab(t.Left, t.Top, t.Width(), t.Height());
        int inside = 0, outside = 0;
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x)
                if (before.pixel(x, y) != after.pixel(x, y))
                    ++(tab.contains(x, y) ? inside : outside);
        EXPECT_EQ(outside, 0);
        if (border3D) {
            EXPECT_GT(inside, tab.width() * tab.height() / 2);
            EXPECT_TRUE(IsColor(after.pixelColor(tab.left() + 3, tab.bottom() - 2), clHighlight));
        } else {
            EXPECT_EQ(inside, 0);
        }
    }
}

// The platform's tabs show the highlighted tab; the network editor's owner
// drawing (left tabs) shows the docked sheet like any other.
TEST(ExPageControlDocking, Screenshot)
{
    for (const bool border3D : {true, false}) {
        Site s;
        s.pc->SetTabBorder3D(border3D);
        if (!border3D) {
            s.pc->SetTabPosition(tpLeft);
            s.pc->SetTabStyle(tsDotNet);
            s.pc->SetMultiLine(true);
            s.pc->SetActiveColor(clSkyBlue);
            s.pc->SetDefaultTabColor(0x00EDF7F8);
            s.pc->SetTabBackGroundColor(0x00EDF7F8);
            s.pc->TabMargin().SetTopMargin(10);
            s.pc->TabMargin().SetRightMargin(20);
        }
        TForm* x = s.Client(QStringLiteral("Meters     "));
        ASSERT_TRUE(ManualDock(x, s.pc));
        auto* panel = new TPanel(x);
        panel->SetCaption(QStringLiteral("docked form"));
        panel->setGeometry(10, 10, 140, 40);
        panel->show();
        s.pc->Pages(1)->SetHighlighted(true);
        const QImage img = s.pc->grab().toImage();
        SaveScreenshot(img, border3D ? QStringLiteral("page_control_docked_highlighted.png")
                                     : QStringLiteral("page_control_docked_left_tabs.png"));
        // The docked form's panel shows in the sheet.
        const QPoint at = x->mapTo(s.pc, panel->geometry().center());
        EXPECT_EQ(img.pixelColor(at), x->grab().toImage().pixelColor(panel->geometry().center()));
        EXPECT_TRUE(x->isVisible());
    }
}
