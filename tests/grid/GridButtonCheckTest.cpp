// The grid button and the grid check box, driven by mouse and key events.
#include "widgets/ExObj_Controls.h"

#include "platform/Forms.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <memory>

namespace {

void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons held = Qt::NoButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void ClickOn(QWidget* w, QPoint at)
{
    Mouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton);
    Mouse(w, QEvent::MouseButtonRelease, at);
}

void KeyTo(QWidget* w, QEvent::Type type, int key, const QString& text = QString())
{
    QKeyEvent e(type, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &e);
}

struct Host : ::testing::Test
{
    std::unique_ptr<QWidget> host;
    void SetUp() override
    {
        host = std::make_unique<QWidget>();
        host->resize(300, 200);
        host->show();
        QApplication::setActiveWindow(host.get());
        QCoreApplication::processEvents();
    }
};

// ---------------------------------------------------------------------------
// TExGridButton
// ---------------------------------------------------------------------------

using GridButtonTest = Host;

TEST_F(GridButtonTest, StartsAsTheLayoutsExpect)
{
    TExGridButton b(host.get());
    EXPECT_EQ(b.width(), 23);
    EXPECT_EQ(b.height(), 22);
    EXPECT_TRUE(b.Flat());
    EXPECT_EQ(b.Margin(), -1);
    EXPECT_EQ(b.Spacing(), 4);
    EXPECT_EQ(b.ColorDown(), 0xD8D3D2u);
    EXPECT_EQ(b.ColorHot(), 0xCAC7C7u);
    EXPECT_EQ(b.ColorChecked(), 0x808080u);
    b.SetMargin(-2); // ignored
    EXPECT_EQ(b.Margin(), -1);
    b.SetMargin(3);
    EXPECT_EQ(b.Margin(), 3);
}

TEST_F(GridButtonTest, ClickCountsOnlyWhenReleasedInside)
{
    TExGridButton b(host.get());
    b.show();
    int clicks = 0;
    b.OnClick = [&](QObject*) { ++clicks; };
    ClickOn(&b, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    // Pressed inside, dragged out and released there: no click, state back up.
    Mouse(&b, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
    EXPECT_EQ(b.State(), bsDown);
    Mouse(&b, QEvent::MouseMove, QPoint(60, 5), Qt::LeftButton);
    EXPECT_EQ(b.State(), bsUp);
    Mouse(&b, QEvent::MouseButtonRelease, QPoint(60, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b.State(), bsUp);
}

TEST_F(GridButtonTest, DropDownPartRaisesOnDropDownAndNoClick)
{
    TExGridButton b(host.get());
    b.resize(60, 22);
    b.SetDropDownButton(true);
    b.show();
    int clicks = 0, drops = 0;
    b.OnClick = [&](QObject*) { ++clicks; };
    b.OnDropDown = [&](QObject*) { ++drops; };
    ClickOn(&b, QPoint(55, 10));
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(clicks, 0);
    ClickOn(&b, QPoint(10, 10));
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(GridButtonTest, DownIsRefusedForAnUngroupedPushButtonAndToggledForACheckButton)
{
    TExGridButton b(host.get());
    b.show();
    b.SetDown(true);
    EXPECT_FALSE(b.Down());
    b.SetStyle(tasCheck);
    ClickOn(&b, QPoint(5, 5));
    EXPECT_TRUE(b.Down());
    ClickOn(&b, QPoint(5, 5));
    EXPECT_FALSE(b.Down());
}

// One button of a group down at a time, counted per parent.
TEST_F(GridButtonTest, GroupKeepsOneButtonDownPerParent)
{
    QWidget other(host.get());
    TExGridButton a(host.get()), b(host.get()), elsewhere(&other);
    for (TExGridButton* x : {&a, &b, &elsewhere}) {
        x->SetGroupIndex(1);
        x->show();
    }
    b.move(30, 0);
    other.show();
    elsewhere.SetDown(true);

    ClickOn(&a, QPoint(5, 5));
    EXPECT_TRUE(a.Down());
    EXPECT_EQ(a.State(), bsExclusive);
    ClickOn(&b, QPoint(5, 5));
    EXPECT_TRUE(b.Down());
    EXPECT_FALSE(a.Down());
    EXPECT_TRUE(elsewhere.Down()) << "another parent's group is another group";

    // Without AllowAllUp a click on the down button keeps it down.
    ClickOn(&b, QPoint(5, 5));
    EXPECT_TRUE(b.Down());
    EXPECT_EQ(b.State(), bsExclusive);
    // AllowAllUp reaches the whole group; then the button can go up.
    a.SetAllowAllUp(true);
    EXPECT_TRUE(b.AllowAllUp());
    ClickOn(&b, QPoint(5, 5));
    EXPECT_FALSE(b.Down());
    EXPECT_FALSE(a.Down());
}

TEST_F(GridButtonTest, FirstGlyphAlsoGivesTheGreyDisabledGlyph)
{
    TExGridButton b(host.get());
    platform::TBitmap g(4, 4);
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(qRgb(200, 100, 30));
    img.setPixel(0, 3, qRgb(255, 0, 255)); // the transparent corner
    g.SetImage(img);
    b.SetGlyph(g);
    // ((200 + 100 + 30) div 3) div 2 + 96 = 151
    EXPECT_EQ(b.GlyphDisabled().Image().pixel(1, 1) & 0xFFFFFF, qRgb(151, 151, 151) & 0xFFFFFFu);
    // The shade: grey where the glyph is not transparent.
    EXPECT_EQ(b.ShadeBitmap().Image().pixel(1, 1) & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(b.ShadeBitmap().Image().pixel(0, 3) & 0xFFFFFF, qRgb(255, 0, 255) & 0xFFFFFFu);

    QImage second(4, 4, QImage::Format_RGB32);
    second.fill(qRgb(0, 0, 0));
    platform::TBitmap g2(4, 4);
    g2.SetImage(second);
    b.SetGlyph(g2);
    EXPECT_EQ(b.GlyphDisabled().Image().pixel(1, 1) & 0xFFFFFF, qRgb(151, 151, 151) & 0xFFFFFFu)
        << "the second glyph keeps the first disabled glyph";
}

TEST_F(GridButtonTest, LooksSetTheirColourSets)
{
    TExGridButton b(host.get());
    b.SetFlat(false);
    b.SetBorderColor(0x123456);
    b.SetLook(2);
    EXPECT_EQ(b.Color(), 0xFDEADAu);
    EXPECT_EQ(b.ColorTo(), 0xE4AE88u);
    EXPECT_EQ(b.ColorCheckedTo(), 0x55ADFFu);
    EXPECT_EQ(b.BorderHotColor(), 0u);
    EXPECT_EQ(b.BorderColor(), platform::clNone);
    EXPECT_TRUE(b.Flat());
    EXPECT_FALSE(b.Rounded());
    b.SetLook(0);
    EXPECT_TRUE(b.Rounded());
    EXPECT_EQ(b.BorderDownColor(), 0xAF987Au);
    EXPECT_EQ(b.BorderHotColor(), 0xC3CECEu);
    b.SetLook(7); // no such look
    EXPECT_EQ(b.Color(), 0xEDF1F1u);
}

// The vertical gradient runs from Color at the top to near ColorTo at the bottom.
TEST_F(GridButtonTest, FlatButtonPaintsItsGradient)
{
    TExGridButton b(host.get());
    b.setGeometry(200, 150, 40, 32); // away from the pointer
    b.SetColor(0x0000FF);   // red
    b.SetColorTo(0xFF0000); // blue
    b.SetBorderDownColor(0x000000);
    b.show();
    const QImage img = b.grab().toImage();
    ASSERT_FALSE(b.Hot());
    const QColor top = img.pixelColor(20, 2), bottom = img.pixelColor(20, 29);
    EXPECT_GT(top.red(), 200);
    EXPECT_LT(top.blue(), 60);
    EXPECT_GT(bottom.blue(), 180);
    EXPECT_LT(bottom.red(), 80);
}

// ---------------------------------------------------------------------------
// TExCheckBox
// ---------------------------------------------------------------------------

using GridCheckBoxTest = Host;

TEST_F(GridCheckBoxTest, StartsAsTheLayoutsExpect)
{
    TExCheckBox c(host.get());
    EXPECT_EQ(c.width(), 98);
    EXPECT_EQ(c.height(), 20);
    EXPECT_EQ(c.Caption(), QStringLiteral("TExCheckBox"));
    EXPECT_EQ(c.State(), platform::cbUnchecked);
    c.SetState(platform::cbGrayed);
    c.SetChecked(false);
    EXPECT_EQ(c.State(), platform::cbUnchecked);
}

TEST_F(GridCheckBoxTest, ClickAndSpaceToggleAndRaiseTheClick)
{
    TExCheckBox c(host.get());
    c.show();
    int clicks = 0;
    c.OnClick = [&](QObject*) { ++clicks; };
    ClickOn(&c, QPoint(5, 8));
    EXPECT_TRUE(c.Checked());
    EXPECT_EQ(clicks, 1);
    KeyTo(&c, QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_TRUE(c.Down());
    KeyTo(&c, QEvent::KeyRelease, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_FALSE(c.Down());
    EXPECT_FALSE(c.Checked());
    EXPECT_EQ(clicks, 2);
}

TEST_F(GridCheckBoxTest, PressInsideReleaseOutsideDoesNotToggle)
{
    TExCheckBox c(host.get());
    c.show();
    Mouse(&c, QEvent::MouseButtonPress, QPoint(5, 8), Qt::LeftButton);
    EXPECT_TRUE(c.Down());
    Mouse(&c, QEvent::MouseMove, QPoint(150, 8), Qt::LeftButton);
    EXPECT_FALSE(c.Down());
    Mouse(&c, QEvent::MouseButtonRelease, QPoint(150, 8));
    EXPECT_FALSE(c.Checked());
}

TEST_F(GridCheckBoxTest, ReadOnlyBoxKeepsItsStateButStillClicks)
{
    platform::TForm form;
    form.resize(200, 100);
    form.show();
    QApplication::setActiveWindow(&form);
    TExCheckBox c(&form);
    c.SetCaption(QStringLiteral("&Match case"));
    c.SetReadOnly(true);
    c.show();
    int clicks = 0;
    c.OnClick = [&](QObject*) { ++clicks; };
    ClickOn(&c, QPoint(5, 8));
    KeyTo(&c, QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));
    KeyTo(&c, QEvent::KeyRelease, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_FALSE(c.Checked());
    EXPECT_EQ(clicks, 2);
    // The accelerator toggles a box that is not read-only.
    form.DispatchDialogChar(QChar(u'm'));
    EXPECT_FALSE(c.Checked());
    c.SetReadOnly(false);
    EXPECT_TRUE(form.DispatchDialogChar(QChar(u'm')));
    EXPECT_TRUE(c.Checked());
}

TEST_F(GridCheckBoxTest, ReturnIsTabMovesTheFocusOn)
{
    TExCheckBox first(host.get()), second(host.get());
    second.move(0, 30);
    first.SetReturnIsTab(true);
    first.show();
    second.show();
    first.setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(first.hasFocus());
    KeyTo(&first, QEvent::KeyPress, Qt::Key_Return, QStringLiteral("\r"));
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(second.hasFocus());
    EXPECT_FALSE(first.Checked());
}

} // namespace
