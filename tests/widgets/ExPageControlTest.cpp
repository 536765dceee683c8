#include "widgets/ExPageControl.h"

#include "WidgetTestHelpers.h"
#include "platform/Controls.h"
#include "platform/Forms.h"

#include <QPointer>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace platform;
using namespace widgettest;

namespace {

constexpr TColor kPanel = 0x00EDF7F8;  // the network editor's colours

// A control with named sheets "a", "b", ... captioned "A", "B", ...
struct Pages
{
    explicit Pages(int count, QWidget* parent = nullptr)
    {
        control = new TExPageControl(parent);
        owned.reset(parent ? nullptr : control);
        control->resize(400, 300);
        for (int i = 0; i < count; ++i) {
            auto* s = new TExTabSheet(control);
            s->setObjectName(QString(QChar('a' + i)));
            s->SetCaption(QStringLiteral("  %1     ").arg(QChar('A' + i)));
            sheets.push_back(s);
        }
    }
    TExTabSheet* operator[](int i) const { return sheets[static_cast<size_t>(i)]; }
    QPoint TabCentre(int page) const
    {
        const TRect r = control->TabRect(sheets[static_cast<size_t>(page)]->TabIndex());
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    TExPageControl* control;
    std::unique_ptr<TExPageControl> owned;
    std::vector<TExTabSheet*> sheets;
};

// The network editor's page control: tabs on the left.
void LookOfTheNetworkEditor(TExPageControl& pc)
{
    pc.SetTabPosition(tpLeft);
    pc.SetTabStyle(tsDotNet);
    pc.SetMultiLine(true);
    TFont f;
    f.SetName(QStringLiteral("Verdana"));
    f.SetHeight(-13);
    pc.SetFont(f);
    pc.SetActiveFont(f);
    pc.SetDefaultTabColor(kPanel);
    pc.SetTabBackGroundColor(kPanel);
    pc.SetActiveColor(clSkyBlue);
    pc.TabMargin().SetTopMargin(10);
    pc.TabMargin().SetRightMargin(20);
    pc.SetTabOverlap(0);
    pc.SetLowerActive(0);
}

} // namespace

TEST(ExPageControlCreate, PropertiesAfterConstruction)
{
    TExPageControl pc;
    EXPECT_EQ(pc.ActivePage(), nullptr);
    EXPECT_EQ(pc.ActivePageIndex(), -1);
    EXPECT_EQ(pc.PageCount(), 0);
    EXPECT_EQ(pc.ActiveFont().Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(pc.Font().Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(pc.ActiveColor(), clBtnFace);
    EXPECT_EQ(pc.ActiveColorTo(), clNone);
    EXPECT_EQ(pc.DefaultTextColor(), 0u);
    EXPECT_EQ(pc.DefaultTabColor(), clBtnFace);
    EXPECT_EQ(pc.DefaultTabColorTo(), clNone);
    EXPECT_FALSE(pc.FreeOnClose());
    EXPECT_EQ(pc.LowerActive(), 2);
    EXPECT_FALSE(pc.RoundEdges());
    EXPECT_FALSE(pc.ShowFocus());
    EXPECT_EQ(pc.TabBackGroundColor(), clBtnFace);
    EXPECT_FALSE(pc.TabBorder3D());
    EXPECT_TRUE(pc.OwnerDraw());
    EXPECT_EQ(pc.TabBorderColor(), clGray);
    EXPECT_EQ(pc.TabHoverColor(), clNone);
    EXPECT_EQ(pc.TabOverlap(), 0);
    EXPECT_EQ(pc.TabPosition(), tpTop);
    EXPECT_EQ(pc.TabStyle(), tsClassic);
    EXPECT_EQ(pc.Version(), QStringLiteral("1.4.0.0"));
    pc.SetVersion(QStringLiteral("9.9"));
    EXPECT_EQ(pc.Version(), QStringLiteral("1.4.0.0"));

    TExTabSheet sheet;
    EXPECT_EQ(sheet.ExPageControl(), nullptr);
    EXPECT_EQ(sheet.PageIndex(), -1);
    EXPECT_EQ(sheet.TabIndex(), -1);
    EXPECT_EQ(sheet.ImageIndex(), -1);
    EXPECT_TRUE(sheet.TabVisible());
    EXPECT_TRUE(sheet.TabEnable());
    EXPECT_EQ(sheet.TabColor(), clNone);
    EXPECT_EQ(sheet.TextColor(), 0u);
    EXPECT_FALSE(sheet.isVisibleTo(nullptr) && sheet.isVisible());
}

TEST(ExPageControlTabs, TabItemTextFollowsTheCaption)
{
    const struct
    {
        QString caption;
        bool showClose;
        QString item;
    } cases[] = {
        {QStringLiteral("  Nodes     "), false, QStringLiteral("  Nodes   ")},
        {QStringLiteral("  Nodes     "), true, QStringLiteral("  Nodes      ")},
        {QStringLiteral("ABC"), false, QStringLiteral("A")},
        {QStringLiteral("AB"), false, QString()},
        {QStringLiteral("A"), false, QString()},
        {QString(), false, QString()},
        {QString(), true, QStringLiteral(" ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption.toStdString());
        TExPageControl pc;
        auto* s = new TExTabSheet(&pc);
        s->SetShowClose(c.showClose);
        s->SetCaption(c.caption);
        EXPECT_EQ(s->Caption(), c.caption);
        EXPECT_EQ(pc.TabText(0), c.item);
        pc.SetTabBorder3D(true);  // the platform's own tabs show the whole caption
        EXPECT_EQ(pc.TabText(0), c.caption);
        pc.SetTabBorder3D(false);
        EXPECT_EQ(pc.TabText(0), c.item);
    }
}

TEST(ExPageControlTabs, PageIndexAndTabIndexWithHiddenTabs)
{
    Pages p(4);
    TExPageControl& pc = *p.control;
    p[1]->SetTabVisible(false);
    const int tabs[] = {0, -1, 1, 2};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(p[i]->PageIndex(), i);
        EXPECT_EQ(p[i]->TabIndex(), tabs[i]);
    }
    EXPECT_EQ(pc.TabCount(), 3);
    EXPECT_EQ(pc.TabObject(1), p[2]);

    // Moving D to the front moves its tab too; the hidden B keeps no tab.
    pc.SetActivePage(p[2]);
    p[3]->SetPageIndex(0);
    EXPECT_EQ(pc.Pages(0), p[3]);
    EXPECT_EQ(pc.Pages(2), p[1]);
    const struct
    {
        int sheet, page, tab;
    } after[] = {{3, 0, 0}, {0, 1, 1}, {1, 2, -1}, {2, 3, 2}};
    for (const auto& a : after) {
        EXPECT_EQ(p[a.sheet]->PageIndex(), a.page);
        EXPECT_EQ(p[a.sheet]->TabIndex(), a.tab);
        if (a.tab >= 0) {
            EXPECT_EQ(pc.TabObject(a.tab), p[a.sheet]);
        }
    }
    EXPECT_EQ(pc.ActivePage(), p[2]);
    EXPECT_EQ(pc.TabIndex(), 2);
    EXPECT_EQ(pc.ActivePageIndex(), 3);

    // Showing B's tab again puts it between A and C.
    p[1]->SetTabVisible(true);
    EXPECT_EQ(p[1]->TabIndex(), 2);
    EXPECT_EQ(p[2]->TabIndex(), 3);
    EXPECT_EQ(pc.TabIndex(), 3);  // still C

    try {
        p[0]->SetPageIndex(4);
        FAIL() << "no error";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "4 is an invalid PageIndex value.  PageIndex must be between 0 and 3");
    }
    EXPECT_THROW(p[0]->SetPageIndex(-1), std::out_of_range);
    EXPECT_EQ(p[0]->PageIndex(), 1);
}

TEST(ExPageControlActive, WritingActivePage)
{
    Pages p(3);
    Pages other(1);
    TExPageControl& pc = *p.control;
    pc.show();
    EXPECT_EQ(pc.ActivePage(), p[0]);  // the first sheet's tab became current
    EXPECT_TRUE(p[0]->isVisible());

    pc.SetActivePage(p[2]);
    EXPECT_EQ(pc.ActivePage(), p[2]);
    EXPECT_EQ(pc.TabIndex(), 2);
    EXPECT_TRUE(p[2]->isVisible());
    EXPECT_FALSE(p[0]->isVisible());

    pc.SetActivePage(other[0]);  // a sheet of another control: ignored
    EXPECT_EQ(pc.ActivePage(), p[2]);

    pc.SetActivePage(nullptr);  // none: no current tab, nothing shown
    EXPECT_EQ(pc.ActivePage(), nullptr);
    EXPECT_EQ(pc.TabIndex(), -1);
    EXPECT_FALSE(p[2]->isVisible());

    pc.SetActivePageIndex(1);
    EXPECT_EQ(pc.ActivePage(), p[1]);
    pc.SetActivePageIndex(7);
    EXPECT_EQ(pc.ActivePage(), nullptr);

    // A sheet whose tab cannot be chosen does not become active.
    pc.SetActivePage(p[0]);
    p[1]->SetTabEnable(false);
    pc.SetActivePage(p[1]);
    EXPECT_EQ(pc.ActivePage(), p[0]);
    EXPECT_EQ(pc.TabIndex(), 0);
    pc.hide();
}

TEST(ExPageControlActive, HidingTheActiveTabSelectsTheSameIndexOrTheLast)
{
    const struct
    {
        const char* name;
        int active;
        int expected;
    } cases[] = {{"first", 0, 1}, {"middle", 1, 2}, {"last", 2, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Pages p(3);
        p.control->show();
        p.control->SetActivePage(p[c.active]);
        p[c.active]->SetTabVisible(false);
        EXPECT_EQ(p.control->ActivePage(), p[c.expected]);
        EXPECT_EQ(p.control->TabIndex(), p[c.expected]->TabIndex());
        EXPECT_TRUE(p[c.expected]->isVisible());
        EXPECT_FALSE(p[c.active]->isVisible());
        p.control->hide();
    }
}

TEST(ExPageControlActive, TabEnableCannotBeSwitchedOffOnTheActiveSheet)
{
    Pages p(2);
    try {
        p[0]->SetTabEnable(false);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Can not disable active tab.");
    }
    EXPECT_TRUE(p[0]->TabEnable());
    p[1]->SetTabEnable(false);
    EXPECT_FALSE(p[1]->TabEnable());
    p[0]->SetTabEnable(true);

    p.control->SetTabStyle(tsDotNet);
    try {
        p.control->SetTabSplitLine(true);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "TabSplitLine must be false when TabStyle is tsDotNet");
    }
    EXPECT_FALSE(p.control->TabSplitLine());
    p.control->SetTabStyle(tsClassic);
    p.control->SetTabSplitLine(true);
    EXPECT_TRUE(p.control->TabSplitLine());
}

TEST(ExPageControlActive, FindNextPage)
{
    Pages p(3);
    p[1]->SetTabVisible(false);
    const struct
    {
        const char* name;
        int current;  // -1: a sheet not in the control
        bool forward, check;
        int expected;
    } cases[] = {
        {"forward skips the hidden tab", 0, true, true, 2},
        {"forward without the check", 0, true, false, 1},
        {"forward wraps", 2, true, true, 0},
        {"backward", 2, false, true, 0},
        {"backward wraps", 0, false, true, 2},
        {"backward without the check", 2, false, false, 1},
        {"unknown sheet forward: the first", -1, true, true, 0},
        {"unknown sheet backward: the last", -1, false, true, 2},
    };
    TExTabSheet stranger;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TExTabSheet* current = c.current < 0 ? &stranger : p[c.current];
        EXPECT_EQ(p.control->FindNextPage(current, c.forward, c.check), p[c.expected]);
    }
    // The only visible sheet finds itself; an empty control finds nothing.
    p[2]->SetTabVisible(false);
    EXPECT_EQ(p.control->FindNextPage(p[0], true, true), p[0]);
    TExPageControl empty;
    EXPECT_EQ(empty.FindNextPage(nullptr, true, true), nullptr);
}

TEST(ExPageControlKeys, CtrlTabCyclesThroughVisibleTabs)
{
    TForm form;
    Pages p(4, &form);
    p[2]->SetTabVisible(false);
    auto* edit = new TEdit(p[0]);
    form.show();
    edit->setFocus();
    std::vector<int> seen;
    p.control->OnChange = [&](QObject*) { seen.push_back(p.control->ActivePageIndex()); };
    Key(edit, Qt::Key_Tab, Qt::ControlModifier);
    Key(p.control, Qt::Key_Tab, Qt::ControlModifier);
    Key(p.control, Qt::Key_Tab, Qt::ControlModifier);  // wraps to the first
    Key(p.control, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    Key(p.control, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(seen, (std::vector<int>{1, 3, 0, 3, 1}));
    // Outside the control the keys are not its own.
    auto* outside = new TEdit(&form);
    outside->setFocus();
    Key(outside, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(seen.size(), 5u);
    form.hide();
}

TEST(ExPageControlEvents, ChangeChecksAskInOrderAndMayVeto)
{
    Pages p(3);
    TExPageControl& pc = *p.control;
    pc.show();
    std::vector<QString> log;
    bool allowCan = false, allowChanging = false;
    pc.OnCanChange = [&](QObject* sender, int from, int to, bool& allow) {
        EXPECT_EQ(sender, &pc);
        EXPECT_TRUE(allow);
        log.push_back(QStringLiteral("can %1->%2").arg(from).arg(to));
        allow = allowCan;
    };
    pc.OnChanging = [&](QObject*, bool& allow) {
        EXPECT_TRUE(allow);
        log.push_back(QStringLiteral("changing"));
        allow = allowChanging;
    };
    pc.OnChange = [&](QObject*) { log.push_back(QStringLiteral("change %1").arg(pc.ActivePageIndex())); };

    ClickAt(&pc, p.TabCentre(2));
    EXPECT_EQ(pc.ActivePage(), p[0]);
    allowCan = true;
    ClickAt(&pc, p.TabCentre(2));
    EXPECT_EQ(pc.ActivePage(), p[0]);
    allowChanging = true;
    ClickAt(&pc, p.TabCentre(2));
    EXPECT_EQ(pc.ActivePage(), p[2]);
    EXPECT_TRUE(p[2]->isVisible());
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("can 0->2"), QStringLiteral("can 0->2"),
                                         QStringLiteral("changing"), QStringLiteral("can 0->2"),
                                         QStringLiteral("changing"), QStringLiteral("change 2")}));

    // The arrow keys ask about the page they go to.
    log.clear();
    pc.setFocus();
    Key(&pc, Qt::Key_Up);
    EXPECT_EQ(log.front(), QStringLiteral("can 2->1"));
    EXPECT_EQ(pc.ActivePage(), p[1]);

    // A tab that cannot be chosen asks nothing and changes nothing.
    log.clear();
    p[0]->SetTabEnable(false);
    ClickAt(&pc, p.TabCentre(0));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(pc.ActivePage(), p[1]);
    EXPECT_EQ(pc.TabIndex(), 1);
    pc.hide();
}

TEST(ExPageControlEvents, SheetsReportShowingAndHiding)
{
    Pages p(2);
    std::vector<QString> log;
    for (int i = 0; i < 2; ++i) {
        p[i]->OnShow = [&log, i](QObject*) { log.push_back(QStringLiteral("show %1").arg(i)); };
        p[i]->OnHide = [&log, i](QObject*) { log.push_back(QStringLiteral("hide %1").arg(i)); };
    }
    p.control->show();
    p.control->SetActivePage(p[1]);
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("show 0"), QStringLiteral("show 1"), QStringLiteral("hide 0")}));
    p.control->hide();
}

TEST(ExPageControlColors, DefaultsRecolourOnlyTheSheetsThatKeptThem)
{
    Pages p(2);
    EXPECT_EQ(p[0]->TabColor(), clBtnFace);  // taken from the control when joining
    p[1]->SetTabColor(clRed);
    p[1]->SetTextColor(clNavy);
    p.control->SetDefaultTabColor(clYellow);
    p.control->SetDefaultTextColor(clMaroon);
    EXPECT_EQ(p[0]->TabColor(), clYellow);
    EXPECT_EQ(p[1]->TabColor(), clRed);
    EXPECT_EQ(p[0]->TextColor(), clMaroon);
    EXPECT_EQ(p[1]->TextColor(), clNavy);
    auto* late = new TExTabSheet(p.control);
    EXPECT_EQ(late->TabColor(), clYellow);
    EXPECT_EQ(late->TextColor(), clMaroon);
}

// ---------------------------------------------------------------- close buttons

namespace {

struct Closable : Pages
{
    Closable() : Pages(3)
    {
        TExPageControl& pc = *control;
        pc.SetTabPosition(tpLeft);
        pc.TabMargin().SetLeftMargin(3);
        pc.TabMargin().SetTopMargin(10);
        pc.SetLowerActive(2);
        for (TExTabSheet* s : sheets)
            s->SetShowClose(true);
        pc.show();
    }
    ~Closable() { control->hide(); }
    QPoint CloseCentre() const
    {
        const TRect b = control->CloseButtonRect(control->ActivePage()->TabIndex());
        return QPoint(b.Left + 6, b.Top + 5);
    }
};

} // namespace

TEST(ExPageControlClose, TheBoxThatIsDrawnIsTheOneThatReacts)
{
    Closable c;
    TExPageControl& pc = *c.control;
    const TRect tab = pc.TabRect(0);
    // tpLeft: 2 + LeftMargin + LowerActive from the tab's left, 13 + TopMargin
    // above its bottom, 12 x 11.
    const TRect box = Bounds(tab.Left + 3 + 2 + 2, tab.Bottom - 10 - 13, 12, 11);
    EXPECT_EQ(pc.CloseButtonRect(0), box);
    EXPECT_EQ(pc.CloseButtonRect(1), Bounds(pc.TabRect(1).Left + 3 + 2, pc.TabRect(1).Bottom - 23, 12, 11));

    // Drawn there: grey outline, white inside.
    const QImage img = pc.grab().toImage();
    EXPECT_EQ(At(img, box.Left, box.Top), 0x00808080u);
    EXPECT_EQ(At(img, box.Right - 1, box.Bottom - 1), 0x00808080u);
    EXPECT_EQ(At(img, box.Left + 1, box.Top + 1), clWhite);

    int closes = 0;
    c[0]->OnClose = [&](QObject*) { ++closes; };
    // Two pixels left of the drawn box (inside a box that left out
    // LowerActive): nothing.
    ClickAt(&pc, QPoint(box.Left - 2, box.Top + 5));
    EXPECT_EQ(closes, 0);
    // The drawn box's right column: closes.
    ClickAt(&pc, QPoint(box.Right - 1, box.Top + 5));
    EXPECT_EQ(closes, 1);
}

TEST(ExPageControlClose, PressedElsewhereAndReleasedOnTheBoxDoesNotClose)
{
    Closable c;
    int closes = 0;
    c[0]->OnClose = [&](QObject*) { ++closes; };
    Press(c.control, QPoint(390, 290));
    Release(c.control, c.CloseCentre());
    EXPECT_EQ(closes, 0);
    Press(c.control, c.CloseCentre());
    Release(c.control, c.CloseCentre());
    EXPECT_EQ(closes, 1);
}

TEST(ExPageControlClose, CanCloseVetoCloseAndTheClosedTabList)
{
    Closable c;
    TExPageControl& pc = *c.control;
    std::vector<QString> log;
    bool allow = false;
    c[0]->OnCanClose = [&](QObject* sender, bool& canClose) {
        EXPECT_EQ(sender, c[0]);
        EXPECT_TRUE(canClose);
        log.push_back(QStringLiteral("can close"));
        canClose = allow;
    };
    c[0]->OnClose = [&](QObject*) { log.push_back(QStringLiteral("close")); };

    ClickAt(&pc, c.CloseCentre());
    EXPECT_EQ(pc.PageCount(), 3);
    EXPECT_EQ(pc.ActivePage(), c[0]);

    allow = true;
    ClickAt(&pc, c.CloseCentre());
    EXPECT_EQ(log, (std::vector<QString>{QStringLiteral("can close"), QStringLiteral("can close"),
                                         QStringLiteral("close")}));
    EXPECT_EQ(pc.PageCount(), 2);
    EXPECT_EQ(pc.ActivePage(), c[1]);  // the next sheet
    EXPECT_EQ(c[0]->ExPageControl(), nullptr);
    EXPECT_FALSE(c[0]->isVisible());
    EXPECT_EQ(pc.ClosedTabNames(), QStringList{QStringLiteral("a")});

    EXPECT_FALSE(pc.OpenClosedTab(QStringLiteral("x")));
    EXPECT_TRUE(pc.OpenClosedTab(QStringLiteral("a")));
    EXPECT_EQ(c[0]->ExPageControl(), &pc);
    EXPECT_EQ(c[0]->PageIndex(), 2);  // back at the end
    EXPECT_EQ(pc.ActivePage(), c[1]);
    // The entry went with the reopening: a second reopen finds nothing.
    EXPECT_TRUE(pc.ClosedTabNames().isEmpty());
    EXPECT_FALSE(pc.OpenClosedTab(QStringLiteral("a")));
    EXPECT_EQ(pc.PageCount(), 3);
}

TEST(ExPageControlClose, ADestroyedClosedSheetLeavesTheList)
{
    Closable c;
    TExPageControl& pc = *c.control;
    ClickAt(&pc, c.CloseCentre());  // closes a
    ClickAt(&pc, c.CloseCentre());  // closes b
    EXPECT_EQ(pc.ClosedTabNames(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    delete c[0];
    EXPECT_EQ(pc.ClosedTabNames(), QStringList{QStringLiteral("b")});
    EXPECT_FALSE(pc.OpenClosedTab(QStringLiteral("a")));
    pc.OpenAllClosedTabs();
    EXPECT_TRUE(pc.ClosedTabNames().isEmpty());
    EXPECT_EQ(pc.PageCount(), 2);
    EXPECT_EQ(c[1]->ExPageControl(), &pc);
    // A closed sheet joining by itself leaves the list as well.
    pc.SetActivePage(c[2]);
    ClickAt(&pc, c.CloseCentre());
    EXPECT_EQ(pc.ClosedTabNames(), QStringList{QStringLiteral("c")});
    c[2]->SetExPageControl(&pc);
    EXPECT_TRUE(pc.ClosedTabNames().isEmpty());
}

TEST(ExPageControlClose, FreeOnCloseDestroysTheSheet)
{
    Closable c;
    c.control->SetFreeOnClose(true);
    QPointer<TExTabSheet> gone(c[0]);
    ClickAt(c.control, c.CloseCentre());
    EXPECT_TRUE(gone.isNull());
    EXPECT_EQ(c.control->PageCount(), 2);
    EXPECT_EQ(c.control->ActivePage(), c[1]);
    EXPECT_TRUE(c.control->ClosedTabNames().isEmpty());
}

TEST(ExPageControlClose, SheetsAndControlMayGoInAnyOrder)
{
    // An active sheet destroyed hands over to the next one; a control
    // destroyed with open and closed sheets frees them all.
    auto* pc = new TExPageControl;
    auto* a = new TExTabSheet(pc);
    auto* b = new TExTabSheet(pc);
    auto* c = new TExTabSheet(pc);
    a->setObjectName(QStringLiteral("a"));
    pc->SetActivePage(b);
    delete b;
    EXPECT_EQ(pc->ActivePage(), c);
    EXPECT_EQ(pc->PageCount(), 2);
    EXPECT_EQ(pc->TabCount(), 2);
    a->SetShowClose(true);
    pc->SetActivePage(a);
    pc->show();
    const TRect box = pc->CloseButtonRect(0);
    ClickAt(pc, QPoint(box.Left + 5, box.Top + 5));
    EXPECT_EQ(pc->ClosedTabNames(), QStringList{QStringLiteral("a")});
    QPointer<TExTabSheet> closed(a), open(c);
    delete pc;
    EXPECT_TRUE(closed.isNull());
    EXPECT_TRUE(open.isNull());
}

// ---------------------------------------------------------------- hover and painting

TEST(ExPageControlPaint, HoverFollowsTheMouseWhenAHoverColourIsSet)
{
    Pages p(3);
    p.control->show();
    MoveTo(p.control, p.TabCentre(1));
    EXPECT_EQ(p.control->HoverTab(), -1);  // no hover colour: no hover tracking
    p.control->SetTabHoverColor(clYellow);
    MoveTo(p.control, p.TabCentre(1));
    EXPECT_EQ(p.control->HoverTab(), 1);
    const QImage img = p.control->grab().toImage();
    EXPECT_EQ(At(img, p.control->TabRect(1).Left + 2, p.control->TabRect(1).Top + 2), ColorToRGB(clYellow));
    MoveTo(p.control, QPoint(390, 290));
    EXPECT_EQ(p.control->HoverTab(), -1);
    MoveTo(p.control, p.TabCentre(2));
    Leave(p.control);
    EXPECT_EQ(p.control->HoverTab(), -1);
    p.control->hide();
}

TEST(ExPageControlPaint, NetworkEditorLookWithLeftTabs)
{
    TForm form;
    form.SetColor(kPanel);
    form.resize(420, 320);
    Pages p(2, &form);
    TExPageControl& pc = *p.control;
    pc.SetBounds(0, 0, 420, 320);
    LookOfTheNetworkEditor(pc);
    for (TExTabSheet* s : p.sheets) {
        s->SetColor(kPanel);
        s->SetTabColor(kPanel);
    }
    p[0]->SetCaption(QStringLiteral("  Nodes     "));
    p[1]->SetCaption(QStringLiteral("  Variables     "));
    form.show();

    const TRect t0 = pc.TabRect(0), t1 = pc.TabRect(1);
    ASSERT_EQ(t0.Left, t1.Left);
    ASSERT_EQ(t1.Top, t0.Bottom);
    const int R = t0.Right;
    // Below where the caption starts and above the separator.
    const auto inside = [](const TRect& r) { return QPoint(r.Left + 3, r.Bottom - 8); };

    QImage img = pc.grab().toImage();
    // The active tab in ActiveColor, open toward the sheet; the other in its
    // TabColor with a line on the sheet side and a separator near its end.
    EXPECT_EQ(At(img, inside(t0).x(), inside(t0).y()), ColorToRGB(clSkyBlue));
    EXPECT_EQ(At(img, inside(t1).x(), inside(t1).y()), kPanel);
    EXPECT_EQ(At(img, R, (t0.Top + t0.Bottom) / 2), kPanel);   // open
    EXPECT_EQ(At(img, R, (t1.Top + t1.Bottom) / 2), clGray);   // closed
    EXPECT_EQ(At(img, t1.Left + 5, t1.Bottom - 2), ColorToRGB(clSkyBlue));
    EXPECT_EQ(At(img, t1.Left + 5, t1.Bottom - 3), ColorToRGB(clSkyBlue));
    // The caption reads upward from 4 + TopMargin above the lower edge: ink
    // in the tab, none in the 14 pixels below where it starts.
    const auto ink = [](QColor q) { return q.red() < 90 && q.green() < 90 && q.blue() < 90; };
    const QRect caption0 = Bounding(img, ink, QRect(t0.Left, t0.Top, t0.Width(), t0.Height()));
    ASSERT_FALSE(caption0.isEmpty());
    EXPECT_LE(caption0.bottom(), t0.Bottom - 14);
    EXPECT_GT(caption0.height(), caption0.width());  // vertical text

    // With the second tab active the first has no separator (the tab below
    // it is the active one), the second is the one filled with ActiveColor.
    pc.SetActivePage(p[1]);
    img = pc.grab().toImage();
    EXPECT_EQ(At(img, inside(t1).x(), inside(t1).y()), ColorToRGB(clSkyBlue));
    EXPECT_EQ(At(img, inside(t0).x(), inside(t0).y()), kPanel);
    EXPECT_EQ(At(img, t0.Left + 5, t0.Bottom - 2), kPanel);

    // A disabled tab shows its caption in grey.
    p[0]->SetTabEnable(false);
    img = pc.grab().toImage();
    const QRect area(t0.Left, t0.Top, t0.Width(), t0.Height());
    EXPECT_EQ(Count(img, ink, area), 0);
    EXPECT_GT(Count(img, [](QColor q) { return q.red() < 200; }, area), 0);
    p[0]->SetTabEnable(true);
    pc.SetActivePage(p[0]);
    SaveScreenshot(pc.grab().toImage(), QStringLiteral("expagecontrol_left.png"));
    form.hide();
}

TEST(ExPageControlPaint, SheetBandOnlyWhenTheSheetColourDiffers)
{
    Pages p(1);
    TExPageControl& pc = *p.control;
    pc.SetTabPosition(tpLeft);
    pc.SetColor(clSilver);
    pc.show();
    const int R = pc.TabRect(0).Right;
    // Between the frame (x = R) and the sheet (R + 4): the band.
    QImage img = pc.grab().toImage();
    EXPECT_EQ(At(img, R + 2, 150), ColorToRGB(clSilver));
    p[0]->SetColor(clAqua);
    img = pc.grab().toImage();
    EXPECT_EQ(At(img, R + 2, 150), ColorToRGB(clAqua));
    EXPECT_EQ(At(img, R, 150), ColorToRGB(clGray));  // the frame stays
    pc.hide();
}

TEST(ExPageControlPaint, SteppedGradientBands)
{
    // Band i has start + round(i x (end - start) / n) per component and runs
    // from round(i x d) to round(i x d) + round(d) + 1, d = extent / n.
    const struct
    {
        const char* name;
        TColor from, to;
        bool horizontal;
        int steps;
        std::vector<std::pair<int, TColor>> expected;  // offset along the gradient, colour
    } cases[] = {
        {"one band", clBlack, clWhite, true, 1, {{0, clBlack}, {99, clBlack}}},
        {"zero counts as one", clBlack, clWhite, true, 0, {{0, clBlack}, {99, clBlack}}},
        {"two bands, halves to even", clBlack, clWhite, true, 2, {{49, clBlack}, {50, 0x808080}, {99, 0x808080}}},
        {"four vertical bands", clBlack, 0xFFFFFF, false, 4, {{0, clBlack}, {4, clBlack}, {5, 0x404040}, {10, 0x808080},
                                                              {15, 0xBFBFBF}, {19, 0xBFBFBF}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap b(100, 20);
        DrawSteppedGradient(b.Canvas(), c.from, c.to, c.horizontal, Rect(0, 0, 100, 20), c.steps);
        const QImage img = b.Image();
        for (const auto& [offset, color] : c.expected) {
            if (c.horizontal)
                EXPECT_EQ(At(img, offset, 10), color) << offset;
            else
                EXPECT_EQ(At(img, 50, offset), color) << offset;
        }
        EXPECT_EQ(b.Canvas().Brush().Color(), c.expected.back().second);
    }
}
