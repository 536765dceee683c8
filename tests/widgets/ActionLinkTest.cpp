// Actions linked to the push button: what the action says shows on the
// button, and a click on the button executes the action.
#include "platform/Action.h"
#include "widgets/LbButton.h"

#include "WidgetTestHelpers.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace platform;
using namespace widgettest;

TEST(ActionLink, ThePushButtonFollowsItsActionAndExecutesIt)
{
    QWidget host;
    host.resize(300, 100);
    auto* button = new TLbButton(&host);
    button->SetBounds(10, 10, 100, 23);
    host.show();
    TAction action;
    action.SetCaption(QStringLiteral("&Run"));
    int runs = 0;
    action.OnExecute = [&](QObject*) { ++runs; };
    button->SetAction(&action);
    EXPECT_EQ(button->Action(), &action);
    EXPECT_EQ(button->Caption(), QStringLiteral("&Run"));
    ClickAt(button, QPoint(50, 11));
    EXPECT_EQ(runs, 1);
    // Changes of the action reach the button; a disabled action runs nothing.
    action.SetCaption(QStringLiteral("Stop"));
    EXPECT_EQ(button->Caption(), QStringLiteral("Stop"));
    action.SetEnabled(false);
    EXPECT_FALSE(button->Enabled());
    ClickAt(button, QPoint(50, 11));
    EXPECT_EQ(runs, 1);
    action.SetEnabled(true);
    // The button's own click handler wins over the action.
    int own = 0;
    button->OnClick = [&](QObject*) { ++own; };
    ClickAt(button, QPoint(50, 11));
    EXPECT_EQ(own, 1);
    EXPECT_EQ(runs, 1);
    button->OnClick = nullptr;
    // Unlinked, the button keeps what it was given.
    button->SetAction(nullptr);
    action.SetCaption(QStringLiteral("Later"));
    EXPECT_EQ(button->Caption(), QStringLiteral("Stop"));
}

TEST(ActionLink, AButtonWithoutGlyphTakesTheActionsImage)
{
    TImageList images(12, 10);
    TBitmap strip;
    strip.SetSize(24, 10);
    strip.Canvas().Brush().SetColor(clRed);
    strip.Canvas().FillRect(Rect(0, 0, 24, 10));
    images.Add(strip);
    TActionList list;
    list.SetImages(&images);
    TAction action;
    action.SetActionList(&list);
    struct Case
    {
        const char* why;
        int index;
        bool ownGlyph;
        int glyphWidth; // 0: none
    };
    const Case cases[] = {
        {"an image of the list", 1, false, 12},
        {"an index past the list", 2, false, 0},
        {"no image", -1, false, 0},
        {"a glyph of its own stays", 0, true, 30},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.why);
        TLbButton button;
        if (k.ownGlyph) {
            TBitmap own;
            own.SetSize(30, 30);
            button.SetGlyph(own);
        }
        action.SetImageIndex(k.index);
        button.SetAction(&action);
        EXPECT_EQ(button.Glyph().Width(), k.glyphWidth);
        if (k.glyphWidth && !k.ownGlyph) {
            EXPECT_EQ(button.NumGlyphs(), 1);
            EXPECT_EQ(button.Glyph().Height(), 10);
        }
        button.SetAction(nullptr);
    }
}
