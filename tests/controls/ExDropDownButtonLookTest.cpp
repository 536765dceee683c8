// The push-button style of the drop-down button: the glyph's pictures per
// state, and the flat face with its raised, etched and pressed edges.
#include "controls/ExDropDown.h"
#include "PanelMouse.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class ButtonLookTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.SetBounds(100, 100, 300, 100);
        drop = new TExCustomDropDown(&form);
        drop->SetBounds(10, 10, 200, 24);
        button = drop->Button()->Button();
        button->SetButtonStyle(TButtonStyle::bsButton);
        form.Show();
        QApplication::processEvents();
    }
    void TearDown() override { delete drop; }

    QImage Shot() const { return button->grab().toImage(); }
    bool Shows(const QImage& image, TColor colour) const
    {
        const QColor wanted = ToQColor(colour);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == wanted)
                    return true;
        return false;
    }

    TForm form;
    TExCustomDropDown* drop = nullptr;
    TExDropDownSpeedButton* button = nullptr;
};

// A strip of two 8 x 8 pictures, red and blue, each on a white ground (the
// corner pixel's colour is the see-through one).
TBitmap TwoPictures()
{
    TBitmap strip(16, 8);
    strip.Canvas().Brush().SetColor(clWhite);
    strip.Canvas().FillRect(Rect(0, 0, 16, 8));
    strip.Canvas().Brush().SetColor(clRed);
    strip.Canvas().FillRect(Rect(2, 2, 6, 6));
    strip.Canvas().Brush().SetColor(clBlue);
    strip.Canvas().FillRect(Rect(10, 2, 14, 6));
    return strip;
}

} // namespace

TEST_F(ButtonLookTest, NumGlyphsPicksThePictureOfTheState)
{
    EXPECT_EQ(drop->Button()->NumGlyphs(), 1);
    drop->SetDropDownButtonWidth(30); // room for the whole strip
    drop->Button()->Glyph().Assign(TwoPictures());
    for (bool flat : {false, true}) {
        SCOPED_TRACE(flat ? "flat" : "raised");
        button->SetFlat(flat);
        drop->Button()->SetNumGlyphs(2);
        QImage shot = Shot();
        EXPECT_TRUE(Shows(shot, clRed)) << "the up picture";
        EXPECT_FALSE(Shows(shot, clBlue)) << "only the first of two";
        button->SetEnabled(false);
        shot = Shot();
        EXPECT_TRUE(Shows(shot, clBlue)) << "the disabled picture";
        EXPECT_FALSE(Shows(shot, clRed));
        button->SetEnabled(true);
        drop->Button()->SetNumGlyphs(1);
        EXPECT_TRUE(Shows(Shot(), clRed) && Shows(Shot(), clBlue)) << "one picture: the whole strip";
    }
    struct Range
    {
        int set, expected;
    };
    for (const Range& r : {Range{0, 1}, Range{4, 4}, Range{9, 4}}) {
        drop->Button()->SetNumGlyphs(r.set);
        EXPECT_EQ(drop->Button()->NumGlyphs(), r.expected) << r.set;
    }
}

// The flat face: button-face colour inside an edge that is raised, etched
// (shadow at the top-left) or, while pressed, one shadow line.
TEST_F(ButtonLookTest, FlatFaceWithRaisedEtchedAndPressedEdges)
{
    EXPECT_FALSE(button->Flat());
    EXPECT_FALSE(button->Etched());
    button->SetFlat(true);
    const int midX = button->width() / 2, midY = button->height() / 2;
    QImage shot = Shot();
    EXPECT_EQ(shot.pixelColor(midX, midY), ToQColor(clBtnFace));
    EXPECT_EQ(shot.pixelColor(0, midY), ToQColor(cl3DLight)) << "raised: light outer left";
    EXPECT_EQ(shot.pixelColor(1, midY), ToQColor(clBtnHighlight));
    EXPECT_EQ(shot.pixelColor(midX, button->height() - 1), ToQColor(clBtnShadow)) << "inner bottom (the outer one lies past the bounds)";

    button->SetEtched(true);
    shot = Shot();
    EXPECT_EQ(shot.pixelColor(0, midY), ToQColor(clBtnShadow)) << "etched: shadow outer left";
    EXPECT_EQ(shot.pixelColor(1, midY), ToQColor(clBtnHighlight));

    mouse::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(midX, midY));
    shot = Shot();
    EXPECT_EQ(shot.pixelColor(0, midY), ToQColor(clBtnShadow)) << "pressed: one shadow line";
    EXPECT_EQ(shot.pixelColor(1, midY), ToQColor(clBtnFace));
    mouse::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(midX, midY));
    drop->HideDropDown(true);
}
