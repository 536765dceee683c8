#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Themes.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

using namespace platform;

namespace {

void Key(QWidget* w, int qtKey, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
}

void Type(QWidget* w, const QString& text)
{
    for (QChar c : text)
        Key(w, c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : Qt::Key_unknown, QString(c));
}

void Press(QWidget* w, QPoint p)
{
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

QPoint Centre(const TRect& r) { return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); }

} // namespace

TEST(ControlsLabel, DoubledAmpersandShowsOnceAndAutoSizeFitsTheText)
{
    TForm form;
    auto* label = new TLabel(&form);
    label->SetCaption(QStringLiteral("Scan && Decode"));
    TCanvas measure;
    measure.SetFont(label->Font());
    EXPECT_EQ(label->Width(), measure.TextWidth(QStringLiteral("Scan & Decode")));
    EXPECT_EQ(label->Height(), measure.TextHeight(QStringLiteral("Scan & Decode")));
    label->SetShowAccelChar(false);
    EXPECT_EQ(label->Width(), measure.TextWidth(QStringLiteral("Scan && Decode")));

    label->SetCaption(QString());
    EXPECT_EQ(label->Height(), measure.TextHeight(QStringLiteral(" ")));  // keeps one line

    // Bigger font, bigger label; a right-aligned label keeps its right edge.
    label->SetCaption(QStringLiteral("Step 1"));
    label->SetAlignment(taRightJustify);
    const int right = label->Left() + label->Width();
    label->Font().SetSize(24);
    EXPECT_GT(label->Height(), measure.TextHeight(QStringLiteral("Step 1")));
    EXPECT_EQ(label->Left() + label->Width(), right);

    label->SetAutoSize(false);
    label->SetBounds(0, 0, 10, 10);
    label->SetCaption(QStringLiteral("a long caption"));
    EXPECT_EQ(label->Width(), 10);
}

TEST(ControlsLabel, TransparentOrFilledWithItsColour)
{
    TForm form;
    form.SetColor(clWhite);
    auto* label = new TLabel(&form);
    label->SetCaption(QStringLiteral("x"));
    label->SetColor(clLime);
    QImage img = label->grab().toImage();
    EXPECT_EQ(img.pixelColor(0, 0), QColor(0, 255, 0));
    label->SetTransparent(true);
    img = label->grab().toImage();
    EXPECT_NE(img.pixelColor(0, 0), QColor(0, 255, 0));
}

TEST(ControlsEdit, LengthCaseAndSwallowedKeys)
{
    TEdit edit;
    int changes = 0;
    edit.OnChange = [&](QObject*) { ++changes; };
    edit.SetMaxLength(4);
    edit.SetCharCase(ecUpperCase);
    Type(&edit, QStringLiteral("abcdef"));
    EXPECT_EQ(edit.Text(), QStringLiteral("ABCD"));
    EXPECT_EQ(changes, 4);
    edit.SetText(QStringLiteral("xy"));
    EXPECT_EQ(edit.Text(), QStringLiteral("XY"));

    edit.SetMaxLength(0);
    edit.SetCharCase(ecNormal);
    edit.SetText(QString());
    // A hexadecimal filter as the windows write it.
    edit.OnKeyPress = [](QObject*, QChar& key) {
        const bool hex = key.isDigit() || (key.toUpper() >= QLatin1Char('A') && key.toUpper() <= QLatin1Char('F'));
        if (!hex && key.unicode() > 32)
            key = QChar();
    };
    Type(&edit, QStringLiteral("0fxg1"));
    EXPECT_EQ(edit.Text(), QStringLiteral("0f1"));
    Key(&edit, Qt::Key_Backspace, QStringLiteral("\b"));   // control keys pass
    EXPECT_EQ(edit.Text(), QStringLiteral("0f"));

    edit.OnKeyDown = [](QObject*, int& key, TShiftState) {
        if (key == VK_BACK)
            key = 0;
    };
    Key(&edit, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(edit.Text(), QStringLiteral("0f"));

    edit.SetReadOnly(true);
    Type(&edit, QStringLiteral("a"));
    EXPECT_EQ(edit.Text(), QStringLiteral("0f"));
    edit.SetPasswordChar(QLatin1Char('*'));
    EXPECT_EQ(edit.echoMode(), QLineEdit::Password);
}

TEST(ControlsCombo, NothingChosenIsMinusOneAndCodeRaisesNoChange)
{
    TComboBox combo;
    int changes = 0;
    combo.OnChange = [&](QObject*) { ++changes; };
    combo.SetStyle(csDropDownList);
    EXPECT_EQ(combo.ItemIndex(), -1);
    combo.SetItems({QStringLiteral("Firmware + Configuration"), QStringLiteral("Firmware"), QStringLiteral("Configuration")});
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(combo.Text(), QString());
    combo.AddItem(QStringLiteral("Boot"));
    EXPECT_EQ(combo.ItemIndex(), -1);
    combo.SetItemIndex(1);
    EXPECT_EQ(combo.Text(), QStringLiteral("Firmware"));
    combo.SetText(QStringLiteral("Configuration"));
    EXPECT_EQ(combo.ItemIndex(), 2);
    combo.SetText(QStringLiteral("nothing like it"));
    EXPECT_EQ(combo.ItemIndex(), -1);
    combo.SetItemIndex(7);
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(changes, 0);
    combo.setCurrentIndex(0);
    emit combo.activated(0);  // the user's choice
    EXPECT_EQ(changes, 1);

    TComboBox editable;
    editable.SetItems({QStringLiteral("502"), QStringLiteral("10000")});
    EXPECT_EQ(editable.ItemIndex(), -1);
    editable.SetText(QStringLiteral("1234"));
    EXPECT_EQ(editable.Text(), QStringLiteral("1234"));
    EXPECT_EQ(editable.ItemIndex(), -1);
    editable.SetText(QStringLiteral("10000"));
    EXPECT_EQ(editable.ItemIndex(), 1);
}

TEST(ControlsButtons, WritingCheckedRunsOnClickOncePerChange)
{
    TCheckBox box;
    int clicks = 0;
    box.OnClick = [&](QObject*) { ++clicks; };
    box.SetChecked(true);
    box.SetChecked(true);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(box.Checked());
    box.click();  // the user's click
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(box.Checked());
    box.SetAllowGrayed(true);
    box.SetState(cbGrayed);
    EXPECT_EQ(box.State(), cbGrayed);
    EXPECT_FALSE(box.Checked());

    QWidget parent;
    auto* a = new TRadioButton(&parent);
    auto* b = new TRadioButton(&parent);
    a->SetChecked(true);
    b->SetChecked(true);  // one of a group
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
}

TEST(ControlsTabs, UserChangesAskFirstAndCodeChangesAreSilent)
{
    TTabControl tabs;
    tabs.resize(300, 200);
    tabs.AddTab(QStringLiteral("  Nodes     "));
    tabs.AddTab(QStringLiteral("  Variables     "));
    EXPECT_EQ(tabs.TabIndex(), 0);
    int changes = 0;
    bool allow = false;
    tabs.OnChange = [&](QObject*) { ++changes; };
    tabs.OnChanging = [&](QObject*, bool& ok) {
        EXPECT_TRUE(ok);
        ok = allow;
    };
    const QPoint second = Centre(tabs.TabRect(1));
    EXPECT_EQ(tabs.IndexOfTabAt(second.x(), second.y()), 1);
    EXPECT_EQ(tabs.IndexOfTabAt(299, 199), -1);
    Press(&tabs, second);
    EXPECT_EQ(tabs.TabIndex(), 0);
    EXPECT_EQ(changes, 0);
    allow = true;
    Press(&tabs, second);
    EXPECT_EQ(tabs.TabIndex(), 1);
    EXPECT_EQ(changes, 1);
    tabs.SetTabIndex(0);
    EXPECT_EQ(changes, 1);
    tabs.SetTabIndex(5);
    EXPECT_EQ(tabs.TabIndex(), -1);

    // Tabs on the left stand one above the other, the pages to their right.
    tabs.SetTabPosition(tpLeft);
    const TRect t0 = tabs.TabRect(0), t1 = tabs.TabRect(1);
    EXPECT_EQ(t0.Left, t1.Left);
    EXPECT_EQ(t1.Top, t0.Bottom);
    EXPECT_GT(t0.Height(), t0.Width());
    EXPECT_GE(tabs.DisplayRect().Left, t0.Right);
}

TEST(ControlsTabs, PageControlShowsTheActiveSheet)
{
    TPageControl pages;
    pages.resize(300, 200);
    TTabSheet* nodes = pages.AddPage(QStringLiteral("Nodes"));
    TTabSheet* vars = pages.AddPage(QStringLiteral("Variables"));
    pages.show();
    EXPECT_EQ(pages.ActivePage(), nodes);
    EXPECT_TRUE(nodes->isVisible());
    EXPECT_FALSE(vars->isVisible());
    Press(&pages, Centre(pages.TabRect(1)));
    EXPECT_EQ(pages.ActivePage(), vars);
    EXPECT_EQ(pages.ActivePageIndex(), 1);
    EXPECT_TRUE(vars->isVisible());
    EXPECT_FALSE(nodes->isVisible());
    pages.SetActivePage(nodes);
    EXPECT_TRUE(nodes->isVisible());
    nodes->SetTabVisible(false);
    EXPECT_EQ(pages.TabCount(), 1);
    EXPECT_EQ(pages.ActivePage(), vars);
    pages.hide();
}

TEST(ControlsTabs, AFreedSheetLeavesItsPageControl)
{
    auto* pages = new TPageControl;
    TTabSheet* first = pages->AddPage(QStringLiteral("First"));
    TTabSheet* second = pages->AddPage(QStringLiteral("Second"));
    pages->AddPage(QStringLiteral("Third"));
    delete first;
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->TabCount(), 2);
    EXPECT_EQ(pages->Page(0), second);
    EXPECT_NE(pages->ActivePage(), nullptr);
    pages->SetActivePageIndex(1);
    delete pages;  // the remaining sheets go with it
}

TEST(ControlsLists, OwnerDrawnItemsPaintOnTheListCanvas)
{
    TListBox list;
    list.resize(120, 100);
    list.SetItems({QStringLiteral("one"), QStringLiteral("two")});
    EXPECT_EQ(list.ItemIndex(), -1);
    list.SetStyle(lbOwnerDrawFixed);
    list.SetItemHeight(20);
    std::vector<int> drawn;
    list.OnDrawItem = [&](QObject*, int index, const TRect& r, TOwnerDrawState) {
        drawn.push_back(index);
        list.Canvas().Brush().SetColor(index == 0 ? clRed : clBlue);
        list.Canvas().FillRect(r);
    };
    const QImage img = list.grab().toImage();
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 0), drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 1), drawn.end());
    const TRect r0 = list.ItemRect(0);
    EXPECT_EQ(r0.Height(), 20);
    EXPECT_EQ(img.pixelColor(Centre(r0)), QColor(255, 0, 0));
    EXPECT_EQ(list.ItemAtPos(Centre(list.ItemRect(1)).x(), Centre(list.ItemRect(1)).y()), 1);
    list.SetItemIndex(1);
    EXPECT_EQ(list.ItemIndex(), 1);

    TCheckListBox checks;
    checks.SetItems({QStringLiteral("a"), QStringLiteral("b")});
    checks.SetChecked(1, true);
    EXPECT_FALSE(checks.Checked(0));
    EXPECT_TRUE(checks.Checked(1));
}

TEST(ControlsTree, NodesWithTextImageAndCheckBox)
{
    TTreeView tree;
    TImageList images(16, 16);
    TBitmap pic(48, 16);
    images.Add(pic);
    tree.SetImages(&images);
    tree.SetCheckBoxes(true);
    TTreeNode* meter = tree.AddChild(nullptr, QStringLiteral("Meter 1"));
    meter->SetImageIndex(0);
    TTreeNode* record = tree.AddChild(meter, QStringLiteral("Energy"));
    record->SetImageIndex(1);
    TTreeNode* detail = tree.AddChild(record, QStringLiteral("VIF 0x03"));
    detail->SetHasCheckBox(false);
    detail->SetImageIndex(2);
    EXPECT_EQ(detail->Level(), 2);
    EXPECT_EQ(detail->Parent(), record);
    EXPECT_EQ(meter->Count(), 1);
    EXPECT_EQ(meter->Item(0), record);
    EXPECT_TRUE(record->HasCheckBox());
    EXPECT_FALSE(detail->HasCheckBox());
    int checked = 0;
    tree.OnChecked = [&](QObject*, TTreeNode*) { ++checked; };
    record->SetChecked(true);
    EXPECT_TRUE(record->Checked());
    EXPECT_EQ(checked, 0);  // only the user's clicks report
    record->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(checked, 1);
    EXPECT_FALSE(meter->icon(0).isNull());
    tree.DeleteNode(record);
    EXPECT_EQ(meter->Count(), 0);
}

TEST(ControlsPanels, CategoryPanelsCollapseAndStack)
{
    TCategoryPanelGroup group;
    group.resize(300, 200);
    TCategoryPanel* lora = group.AddPanel(QStringLiteral("1 - LoRaWAN"));
    TCategoryPanel* mbus = group.AddPanel(QStringLiteral("2 - M-Bus"));
    lora->SetExpandedHeight(150);
    mbus->SetExpandedHeight(100);
    EXPECT_EQ(mbus->y(), 150);
    EXPECT_EQ(group.widget()->height(), 250);
    int collapsed = 0;
    lora->OnCollapse = [&](QObject*) { ++collapsed; };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), lora->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(lora, &press);   // a click on the header
    EXPECT_TRUE(lora->Collapsed());
    EXPECT_EQ(collapsed, 1);
    EXPECT_EQ(mbus->y(), group.HeaderHeight());
    lora->SetVisible(false);
    EXPECT_EQ(mbus->y(), 0);
}

TEST(ControlsMisc, ShapeLineMenuHintAndScrollBar)
{
    TShape line;
    line.resize(20, 1);
    const QImage img = line.grab().toImage();
    EXPECT_EQ(img.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(img.pixelColor(19, 0), QColor(0, 0, 0));

    TPopupMenu menu;
    int copied = 0;
    TMenuItem* copy = menu.Add(QStringLiteral("Copy"), [&](QObject*) { ++copied; });
    TMenuItem* sep = menu.Add(QStringLiteral("-"));
    EXPECT_TRUE(sep->IsSeparator());
    copy->Click();
    copy->SetEnabled(false);
    copy->Click();
    EXPECT_EQ(copied, 1);

    THintWindow hint;
    const TRect need = hint.CalcHintRect(200, QStringLiteral("Close Configurator"));
    EXPECT_GT(need.Width(), 10);
    EXPECT_LE(need.Width(), 206);
    hint.ActivateHint(Bounds(10, 10, need.Width(), need.Height()), QStringLiteral("Close Configurator"));
    EXPECT_TRUE(hint.isVisible());
    hint.ReleaseHandle();
    EXPECT_FALSE(hint.isVisible());

    TScrollBar bar;
    int changes = 0;
    bar.OnChange = [&](QObject*) { ++changes; };
    bar.SetParams(5, 0, 10);
    bar.SetPosition(20);
    EXPECT_EQ(bar.Position(), 10);
    EXPECT_EQ(changes, 2);
}

TEST(Themes, PartsDrawOnlyWhileThemesAreActive)
{
    TBitmap bmp(40, 40);
    TCanvas& c = bmp.Canvas();
    c.Brush().SetColor(clFuchsia);
    c.FillRect(Rect(0, 0, 40, 40));
    ThemeClass cls;
    ASSERT_TRUE(ThemeClassFromName(QStringLiteral("Progress"), &cls));
    EXPECT_FALSE(ThemeClassFromName(QStringLiteral("window"), &cls));
    EXPECT_TRUE(DrawThemeBackground(c, ThemeClass::Button, BP_CHECKBOX, CBS_CHECKEDNORMAL, Rect(2, 2, 15, 15)));
    EXPECT_NE(c.Pixel(8, 8), clFuchsia);
    EXPECT_EQ(c.Pixel(30, 30), clFuchsia);   // nothing outside the part
    EXPECT_FALSE(DrawThemeBackground(c, ThemeClass::Button, BP_CHECKBOX, 13, Rect(20, 20, 30, 30)));
    SetThemesActive(false);
    EXPECT_FALSE(ThemesActive());
    EXPECT_FALSE(DrawThemeBackground(c, ThemeClass::ComboBox, CP_DROPDOWNBUTTON, CBXS_NORMAL, Rect(20, 20, 37, 37)));
    EXPECT_EQ(c.Pixel(28, 28), clFuchsia);
    SetThemesActive(true);
    EXPECT_TRUE(DrawThemeBackground(c, ThemeClass::ComboBox, CP_DROPDOWNBUTTON, CBXS_NORMAL, Rect(20, 20, 37, 37)));
    EXPECT_NE(c.Pixel(28, 28), clFuchsia);
}

namespace {

// A window built from the layer's parts, as the configurator's windows are.
struct Showcase : TForm
{
    Showcase()
    {
        SetCaption(QStringLiteral("Platform controls"));
        SetBorderStyle(bsSingle);
        SetBorderIcons(biSystemMenu);
        SetPosition(poScreenCenter);
        SetColor(RGB(248, 247, 237));
        Font().SetName(QStringLiteral("Verdana"));
        Font().SetSize(8);
        SetClientWidth(640);
        SetClientHeight(420);

        auto* title = new TPanel(this);
        title->SetHeight(44);
        title->SetAlign(alTop);
        title->SetBevelOuter(bvNone);
        title->SetColor(clWhite);
        auto* code = new TLabel(title);
        code->SetBounds(12, 6, 10, 10);
        code->Font().SetSize(18);
        code->Font().SetColor(clGray);
        code->SetCaption(QStringLiteral("DIZ5U15"));
        auto* desc = new TLabel(title);
        desc->SetBounds(150, 16, 10, 10);
        desc->Font().SetStyle(fsBold);
        desc->SetCaption(QStringLiteral("Scan && Decode"));

        auto* buttons = new TPanel(this);
        buttons->SetHeight(40);
        buttons->SetAlign(alBottom);
        buttons->SetCaption(QStringLiteral("bottom panel"));
        buttons->SetAlignment(taLeftJustify);

        auto* edit = new TEdit(this);
        edit->SetBounds(12, 56, 150, 21);
        edit->SetCharCase(ecUpperCase);
        edit->SetText(QStringLiteral("70b3d57ed0001234"));
        auto* combo = new TComboBox(this);
        combo->SetBounds(12, 84, 150, 21);
        combo->SetStyle(csDropDownList);
        combo->SetItems({QStringLiteral("Firmware + Configuration"), QStringLiteral("Firmware")});
        combo->SetItemIndex(0);
        auto* check = new TCheckBox(this);
        check->SetBounds(12, 112, 150, 17);
        check->SetCaption(QStringLiteral("&Enable internet"));
        check->SetChecked(true);
        auto* radio = new TRadioButton(this);
        radio->SetBounds(12, 134, 150, 17);
        radio->SetCaption(QStringLiteral("Primary address"));
        radio->SetChecked(true);
        auto* link = new TLinkLabel(this);
        link->move(12, 158);
        link->SetCaption(QStringLiteral("New version: <a href=\"download\">download</a>"));

        auto* shape = new TShape(this);
        shape->SetBounds(10, 186, 160, 36);
        shape->Pen().SetColor(clSilver);
        shape->Brush().SetStyle(bsClear);
        auto* inFrame = new TLabel(this);
        inFrame->SetBounds(16, 196, 10, 10);
        inFrame->SetCaption(QStringLiteral("None Configuration Opened"));
        auto* line = new TShape(this);
        line->SetBounds(10, 232, 160, 1);

        auto* group = new TGroupBox(this);
        group->SetBounds(12, 242, 160, 88);
        group->SetCaption(QStringLiteral("List"));
        auto* list = new TCheckListBox(group);
        list->SetBounds(8, 20, 144, 60);
        list->SetItems({QStringLiteral("Meter 1"), QStringLiteral("Meter 2"), QStringLiteral("Meter 3")});
        list->SetChecked(1, true);

        auto* pages = new TPageControl(this);
        pages->SetBounds(184, 52, 250, 170);
        pages->SetTabPosition(tpLeft);
        TTabSheet* nodes = pages->AddPage(QStringLiteral("  Nodes     "));
        pages->AddPage(QStringLiteral("  Variables     "));
        auto* tree = new TTreeView(nodes);
        tree->SetBounds(4, 4, 180, 150);
        tree->SetCheckBoxes(true);
        TTreeNode* m = tree->AddChild(nullptr, QStringLiteral("Meter 12345678"));
        tree->AddChild(m, QStringLiteral("Energy 1234 kWh"))->SetChecked(true);
        tree->AddChild(m, QStringLiteral("Volume 12 m3"));
        tree->FullExpand();

        auto* cpg = new TCategoryPanelGroup(this);
        cpg->SetBounds(446, 52, 182, 170);
        TCategoryPanel* p1 = cpg->AddPanel(QStringLiteral("1 - LoRaWAN"));
        p1->SetExpandedHeight(80);
        auto* inPanel = new TEdit(p1->Surface());
        inPanel->SetBounds(8, 8, 100, 21);
        inPanel->SetText(QStringLiteral("868 MHz"));
        TCategoryPanel* p2 = cpg->AddPanel(QStringLiteral("2 - M-Bus"));
        p2->SetExpandedHeight(80);
        p2->Collapse();
        cpg->AddPanel(QStringLiteral("3 - Ethernet"))->SetExpandedHeight(60);

        auto* memo = new TMemo(this);
        memo->SetBounds(184, 232, 250, 98);
        memo->SetLines({QStringLiteral("Memo line 1"), QStringLiteral("Memo line 2")});
        auto* bar = new TScrollBar(this, sbHorizontal);
        bar->SetBounds(446, 232, 182, 17);
        bar->SetParams(30, 0, 100);

        auto* art = new TImage(this);
        art->SetBounds(446, 256, 182, 74);
        TBitmap& b = art->Picture();
        b.SetSize(182, 74);
        TCanvas& c = b.Canvas();
        c.Brush().SetColor(clWhite);
        c.FillRect(Rect(0, 0, 182, 74));
        c.Brush().SetColor(RGB(0xF8, 0xF7, 0xED));
        c.Pen().SetColor(clGray);
        c.RoundRect(2, 2, 90, 30, 6, 6);
        c.Brush().SetStyle(bsClear);
        TRect tr = Rect(2, 2, 90, 30);
        c.DrawText(QStringLiteral("&Round"), tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        c.Brush().SetColor(clSkyBlue);
        c.Ellipse(100, 4, 130, 30);
        c.Brush().SetColor(clYellow);
        c.Polygon({Point(140, 28), Point(176, 28), Point(158, 4)});
        DrawThemeBackground(c, ThemeClass::Button, BP_PUSHBUTTON, PBS_NORMAL, Rect(2, 40, 80, 66));
        DrawThemeBackground(c, ThemeClass::Button, BP_CHECKBOX, CBS_CHECKEDNORMAL, Rect(88, 46, 101, 59));
        DrawThemeBackground(c, ThemeClass::Button, BP_RADIOBUTTON, RBS_CHECKEDNORMAL, Rect(108, 46, 121, 59));
        DrawThemeBackground(c, ThemeClass::ComboBox, CP_DROPDOWNBUTTON, CBXS_NORMAL, Rect(128, 42, 145, 63));
        DrawThemeBackground(c, ThemeClass::Spin, SPNP_UP, UPS_NORMAL, Rect(152, 42, 167, 52));
        DrawThemeBackground(c, ThemeClass::Spin, SPNP_DOWN, DNS_NORMAL, Rect(152, 53, 167, 63));
        c.DrawFocusRect(Rect(0, 38, 84, 68));
    }
};

} // namespace

// Under a real display (xvfb) this shows the window; with
// PLATFORM_SHOWCASE_PNG set it also saves a picture of it there.
TEST(ControlsShowcase, AFormBuiltFromTheLayerShowsAndPaints)
{
    Showcase form;
    form.Show();
    QApplication::processEvents();
    const QImage img = form.grab().toImage();
    ASSERT_EQ(img.width(), 640);
    ASSERT_EQ(img.height(), 420);
    EXPECT_EQ(img.pixelColor(5, 100), QColor(248, 247, 237));
    const QString path = qEnvironmentVariable("PLATFORM_SHOWCASE_PNG");
    if (!path.isEmpty()) {
        EXPECT_TRUE(img.save(path));
    }
    form.hide();
}
