// The drawing helpers, the gradient push button's states, the header and
// footer bars' buttons, the drop-down button and the style colours.
#include "controls/ExDropDown.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace platform;

TEST(DrawHelpers, BlendAndScale)
{
    EXPECT_EQ(BlendColor(clBtnFace, clWhite, 100), clBtnFace); // unconverted
    EXPECT_EQ(BlendColor(clBlack, clWhite, 0), clWhite);
    EXPECT_EQ(BlendColor(clBlack, clWhite, 50), 0x808080u); // Round(127.5) = 128
    EXPECT_EQ(BlendColor(0x000000FF, clWhite, 20), RGB(255, 204, 204));
    EXPECT_EQ(ScaleColorChannels(0x0000FF, -10, -10, 0), RGB(230, 0, 0));
    EXPECT_EQ(ScaleColorChannels(0xF9D2B2, -10, -10, 0), 0xF9BDA0u);
    EXPECT_EQ(ScaleColorChannels(0x000000, 5, -5, 0), RGB(5, 0, 0));
}

TEST(DrawHelpers, GradientBoxWithoutColoursPaintsOnlyTheBorder)
{
    TBitmap b(20, 10);
    b.Canvas().Brush().SetColor(clWhite);
    b.Canvas().FillRect(Rect(0, 0, 20, 10));
    DrawGradientBox(&b.Canvas(), Rect(0, 0, 20, 10), clNone, clNone, clRed, 1, true);
    EXPECT_EQ(b.Canvas().Pixel(0, 0), clRed);
    EXPECT_EQ(b.Canvas().Pixel(10, 5), clWhite);
    DrawGradientBox(nullptr, Rect(0, 0, 20, 10), clRed, clNone, clNone, 1, true); // no canvas: nothing
}

TEST(DrawHelpers, FitTextToWidth)
{
    TBitmap b(1, 1);
    TCanvas& c = b.Canvas();
    EXPECT_EQ(FitTextToWidth(c, QStringLiteral("abc"), 1000, true), QStringLiteral("abc"));
    const QString cut = FitTextToWidth(c, QStringLiteral("abcdefghijklmnop"), c.TextWidth(QStringLiteral("abcdef...")) + 1,
                                       true);
    EXPECT_TRUE(cut.endsWith(QStringLiteral("...")));
    EXPECT_LT(c.TextWidth(cut), c.TextWidth(QStringLiteral("abcdef...")) + 1);
    EXPECT_EQ(GetCanvasTextSize(c, QString()).cx, 0);
}

namespace {

class ButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host.resize(200, 50);
        button = new TExButton(&host);
        button->SetAppearance(&look);
        button->SetBounds(10, 10, 60, 22);
        button->OnClick = [this](QObject*) { ++clicks; };
        host.show();
        QApplication::processEvents();
    }
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
    {
        const Qt::MouseButton b = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, at, button->mapToGlobal(at), b, buttons, Qt::NoModifier);
        QApplication::sendEvent(button, &e);
    }

    QWidget host;
    TExButtonAppearance look;
    TExButton* button = nullptr;
    int clicks = 0;
};

} // namespace

TEST_F(ButtonTest, LookFollowsTheState)
{
    button->clearFocus(); // a focused button looks hot
    const TExButton::TLook rest = button->CurrentLook();
    EXPECT_EQ(rest.From, clNone); // the bar shows through
    EXPECT_EQ(rest.Frame, clNone);

    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), button->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(button, &enter);
    EXPECT_TRUE(button->Hot());
    EXPECT_EQ(button->CurrentLook().From, 0xF5F0E1u);
    EXPECT_EQ(button->CurrentLook().To, 0xF5F0E1u); // flat
    EXPECT_EQ(button->CurrentLook().Frame, clGray);

    Mouse(QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    EXPECT_EQ(button->State(), absDown);
    EXPECT_EQ(button->CurrentLook().From, 0xF5D8CAu);
    EXPECT_EQ(button->CurrentLook().Frame, clNavy);
    Mouse(QEvent::MouseButtonRelease, QPoint(5, 5), Qt::NoButton);
    EXPECT_EQ(button->State(), absUp);
    EXPECT_EQ(clicks, 1);

    button->SetEnabled(false);
    EXPECT_EQ(button->CurrentLook().From, 0xF2F2F2u);
    EXPECT_EQ(button->CurrentLook().Frame, clGray);
    button->repaint();
    EXPECT_EQ(button->State(), absDisabled);
}

TEST_F(ButtonTest, PressMovedOutAndReleasedOutsideDoesNotClick)
{
    Mouse(QEvent::MouseMove, QPoint(5, 5), Qt::NoButton);
    Mouse(QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    Mouse(QEvent::MouseMove, QPoint(100, 40), Qt::LeftButton);
    EXPECT_EQ(button->State(), absUp);
    EXPECT_NE(button->CurrentLook().From, 0xF5D8CAu); // not pressed-looking while outside
    Mouse(QEvent::MouseButtonRelease, QPoint(100, 40), Qt::NoButton);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonTest, EnterSetsTheModalResultWithoutOnClick)
{
    TForm form;
    auto* b = new TExButton(&form);
    b->SetAppearance(&look);
    b->SetModalResult(mrRetry);
    int onClick = 0;
    b->OnClick = [&](QObject*) { ++onClick; };
    form.Show();
    b->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(b->CurrentLook().From, 0xF5F0E1u); // focused: hot colours
    testsupport::KeyClick(Qt::Key_Return);
    EXPECT_EQ(form.ModalResult(), mrRetry);
    EXPECT_EQ(onClick, 0);
}

TEST_F(ButtonTest, AutoSizeFromCaptionAndImage)
{
    TBitmap measure(1, 1);
    measure.Canvas().SetFont(look.Font());
    const TSize text = GetCanvasTextSize(measure.Canvas(), QStringLiteral("Close"));
    button->SetCaption(QStringLiteral("Close"));
    button->AutoSizeButton();
    EXPECT_EQ(button->Width(), text.cx + 8);
    EXPECT_EQ(button->Height(), text.cy + 4);
    TImageList images(16, 16);
    images.Add(TBitmap(16, 16));
    button->SetCaption(QString());
    button->SetImages(&images);
    button->SetImageIndex(0);
    button->AutoSizeButton();
    EXPECT_EQ(button->Width(), 24);
    EXPECT_EQ(button->Height(), 20);
}

TEST(ExButtonAppearanceTest, DefaultsAndCheckedColours)
{
    TExButtonAppearance a;
    EXPECT_EQ(a.ColorChecked(), 0xF5D8CAu);
    EXPECT_EQ(a.ColorCheckedTo(), 0xF9BDA0u);
    int changes = 0;
    a.OnChange = [&] { ++changes; };
    a.SetColorHot(0x123456);
    a.SetColorHot(0x123456);
    EXPECT_EQ(changes, 1);
    TExButtonAppearance b;
    b.Assign(&a);
    EXPECT_EQ(b.ColorHot(), 0x123456u);
}

TEST(DbgListTest, IndicesPastTheEndThrow)
{
    TDbgList list;
    TExButton b;
    list.Add(&b);
    EXPECT_EQ(list.GetItemsEx(0), &b);
    try {
        list.GetItemsEx(1);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Index out of bounds in list read access");
    }
    try {
        list.SetItemsEx(1, &b);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Index out of bounds in list write access");
    }
}

TEST(BarsTest, HeaderButtonsArrangedAndClamped)
{
    TExCustomDropDown drop;
    for (int w : {30, 40, 50})
        drop.DropDownHeader().Buttons().Add()->SetWidth(w);
    drop.DropDownHeader().Buttons().Items(0)->SetHeight(40);
    TExHeader header;
    header.resize(200, 22);
    header.SetExDropDown(&drop);
    header.InitButtons();
    const TDbgList& list = header.ButtonList();
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetItemsEx(0)->Left(), 168);
    EXPECT_EQ(list.GetItemsEx(1)->Left(), 128);
    EXPECT_EQ(list.GetItemsEx(2)->Left(), 78);
    EXPECT_EQ(list.GetItemsEx(0)->Height(), 17); // 22 - 2 - 3
    EXPECT_EQ(header.GetCaptionRect().Right, 76);

    drop.DropDownHeader().SetButtonAlignment(baLeft);
    header.SetExDropDown(&drop);
    header.InitButtons();
    EXPECT_EQ(header.ButtonList().GetItemsEx(0)->Left(), 2);
    EXPECT_EQ(header.ButtonList().GetItemsEx(1)->Left(), 32);
    EXPECT_EQ(header.ButtonList().GetItemsEx(2)->Left(), 72);
}

TEST(BarsTest, FooterGripOnlyWhenSizeable)
{
    TExCustomDropDown drop;
    TExFooter footer;
    footer.resize(200, 22);
    footer.SetExDropDown(&drop);
    EXPECT_TRUE(footer.HasSizeGrip());
    EXPECT_EQ(footer.GetButtonArea(), Rect(2, 2, 186, 20));
    drop.SetDropDownSizeable(false);
    EXPECT_FALSE(footer.HasSizeGrip());
    EXPECT_EQ(footer.GetButtonArea(), Rect(2, 2, 198, 20));
}

TEST(BarsTest, BackgroundEventReplacesThePainting)
{
    TExCustomDropDown drop;
    drop.DropDownHeader().SetCaption(QStringLiteral("<b>Caption</b>"));
    TExHeader header;
    header.resize(100, 22);
    header.SetExDropDown(&drop);
    int calls = 0;
    header.OnDrawBackGround = [&](QObject*, TCanvas& c, TRect& r) {
        ++calls;
        c.Brush().SetColor(clRed);
        c.FillRect(r);
    };
    const QImage shot = header.grab().toImage();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(shot.pixelColor(50, 11), QColor(Qt::red)); // no caption over it
}

TEST(DropDownButtonTest, KeepsItsWidthAndClicksOnAnyRelease)
{
    TExCustomDropDown drop;
    TDropDownEditButton* b = drop.Button();
    b->SetBounds(0, 0, 40, 17);
    EXPECT_EQ(b->width(), 16);
    EXPECT_EQ(b->Button()->geometry(), QRect(0, 0, 16, 17));
    EXPECT_EQ(drop.DropDownButtonWidth(), 17);
    drop.SetDropDownButtonWidth(20);
    EXPECT_EQ(b->width(), 20);

    int clicks = 0;
    b->OnButtonClick = [&](QObject* s) {
        EXPECT_EQ(s, b);
        ++clicks;
    };
    QWidget* speed = b->Button();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), speed->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(speed, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(200, 200), speed->mapToGlobal(QPointF(200, 200)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(speed, &release);
    EXPECT_EQ(clicks, 1);
}

TEST(StyleColoursTest, StylesSetPopupBarsAndButtons)
{
    TExCustomDropDown drop;
    EXPECT_EQ(drop.GetComponentStyle(), tsOffice2007Luna);
    EXPECT_EQ(drop.Version(), QStringLiteral("1.2.1.4"));
    EXPECT_EQ(drop.DropDownColor(), 0xF3E5DAu);
    EXPECT_EQ(drop.SelectionColorStyle(), scOffice2007);
    drop.SetComponentStyle(tsOffice2003Blue);
    EXPECT_EQ(drop.DropDownHeader().BorderColor(), 0x000000u);
    EXPECT_EQ(drop.DropDownFooter().BorderColor(), 0x962D00u);
    EXPECT_EQ(drop.DropDownBorderColor(), clNone); // left as Luna set it
    EXPECT_EQ(drop.ButtonAppearance().BorderColorChecked(), RGB(0x7B, 0x66, 0x45));
    drop.SetComponentStyle(tsWindowsVista);
    EXPECT_EQ(drop.DropDownHeader().Color(), 0xFFFDF9u);
    EXPECT_EQ(drop.DropDownFooter().Color(), 0xFFFAF0u);
    const TColor before = drop.DropDownColor();
    drop.SetComponentStyle(tsCustom);
    EXPECT_EQ(drop.GetComponentStyle(), tsCustom);
    EXPECT_EQ(drop.DropDownColor(), before);
    drop.SetItemAppearanceStyle(nullptr, tsWindows7); // nothing to do
    TItemAppearance items;
    drop.SetItemAppearanceStyle(&items, tsOffice2010Blue);
    EXPECT_EQ(items.ColorHot, 0xD9F9FDu);
    EXPECT_EQ(items.BorderColorTop, clNone);
}
