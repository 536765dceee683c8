// The caption label of the drop-down family and of the date-time picker: its
// font, transparency, enabled state and visibility, the focus look, the
// button glyph, the version through the base and the stored properties.
// CONTROLS_SCREENSHOT_DIR=<dir> also saves the family with a label in every
// position, to be looked at.
#include "controls/ExCalculatorDropdown.h"
#include "controls/ExColorPickerDropDown.h"
#include "controls/ExCustomGridDropDown.h"
#include "controls/ExDateTimePicker.h"
#include "controls/ExDetailDropDown.h"
#include "controls/ExDropDown.h"
#include "controls/ExImagePickerDropDown.h"
#include "controls/ExMemoDropDown.h"
#include "controls/ExMultiColumnDropDown.h"
#include "controls/ExTimePickerDropDown.h"
#include "controls/ExTrackBarDropDown.h"
#include "support/TestSupport.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace platform;

namespace {

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

class DropDownLabelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.SetBounds(100, 100, 400, 200);
        drop = new TExCustomDropDown(&form);
        drop->SetBounds(150, 60, 180, 21);
        form.Show();
        Settle();
    }
    void TearDown() override { delete drop; }

    TForm form;
    TExCustomDropDown* drop = nullptr;
};

} // namespace

TEST_F(DropDownLabelTest, LabelTakesItsFontTransparencyAndPlaceFromTheControl)
{
    drop->SetLabelCaption(QStringLiteral("Quantity"));
    TLabel* label = drop->Label();
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->Transparent());
    drop->SetLabelTransparent(true);
    EXPECT_TRUE(drop->LabelTransparent());
    EXPECT_TRUE(label->Transparent());

    const int leftBefore = label->x();
    TFont big;
    big.SetSize(16);
    big.SetStyle(fsBold);
    drop->SetLabelFont(big);
    EXPECT_EQ(label->Font().Size(), 16);
    EXPECT_TRUE(label->Font().Style() & fsBold);
    EXPECT_LT(label->x(), leftBefore) << "a wider caption is placed again, further left";
    EXPECT_EQ(label->x() + label->Width() + drop->LabelMargin(), drop->x()) << "lpLeftTop ends the margin before";
    // A change made through the font itself places the label again too.
    drop->LabelFont().SetSize(8);
    EXPECT_EQ(label->Font().Size(), 8);

    // With ParentFont the label shows in the control's font, and follows it.
    drop->SetParentFont(true);
    EXPECT_EQ(label->Font().Size(), drop->Font().Size());
    EXPECT_FALSE(label->Font().Style() & fsBold);
    TFont controlFont = drop->Font();
    controlFont.SetSize(14);
    drop->SetFont(controlFont);
    Settle();
    EXPECT_EQ(label->Font().Size(), 14);
    drop->SetParentFont(false);
    EXPECT_EQ(label->Font().Size(), 8);
}

TEST_F(DropDownLabelTest, LabelFollowsVisibilityAndEnabledState)
{
    drop->SetLabelCaption(QStringLiteral("Name"));
    TLabel* label = drop->Label();
    ASSERT_TRUE(label->isVisible());
    drop->hide();
    EXPECT_FALSE(label->isVisible()) << "a hidden drop-down hides its label";
    drop->show();
    EXPECT_TRUE(label->isVisible());
    drop->SetVisible(false);
    EXPECT_FALSE(label->isVisible());
    drop->SetVisible(true);
    EXPECT_TRUE(label->isVisible());
    // An emptied caption leaves the label as it is.
    drop->SetLabelCaption(QString());
    const bool shown = label->isVisible();
    drop->hide();
    EXPECT_EQ(label->isVisible(), shown);
    drop->show();

    drop->SetEnabled(false);
    EXPECT_FALSE(label->isEnabled());
    drop->SetLabelAlwaysEnabled(true);
    EXPECT_TRUE(drop->LabelAlwaysEnabled());
    EXPECT_TRUE(label->isEnabled());
    drop->SetEnabled(true);
    drop->SetEnabled(false);
    EXPECT_TRUE(label->isEnabled());
}

// A glyph given to the drop-down button replaces the arrow.
TEST_F(DropDownLabelTest, DropDownButtonGlyphIsPainted)
{
    EXPECT_TRUE(drop->DropDownButtonGlyph().Empty());
    TBitmap glyph(8, 8);
    glyph.Canvas().Brush().SetColor(clWhite);
    glyph.Canvas().FillRect(Rect(0, 0, 8, 8)); // the corner pixel's colour is the see-through one
    glyph.Canvas().Brush().SetColor(clRed);
    glyph.Canvas().FillRect(Rect(2, 2, 7, 7));
    drop->SetDropDownButtonGlyph(glyph);
    EXPECT_EQ(drop->DropDownButtonGlyph().Width(), 8);
    const QImage shot = drop->Button()->Button()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(4, 4), QColor(Qt::red));
}

TEST_F(DropDownLabelTest, VersionComesFromTheVirtualNumber)
{
    EXPECT_EQ(drop->GetVersionNr(), 0x01020104u);
    EXPECT_EQ(drop->Version(), QStringLiteral("1.2.1.4"));
    TCustomExGridDropDown grid(&form);
    const TExCustomDropDown& base = grid;
    EXPECT_EQ(base.GetVersionNr(), 0x06000101u);
    EXPECT_EQ(base.Version(), QStringLiteral("6.0.1.1"));
}

// The stored ordinals; reading them back stores them without the colours.
TEST_F(DropDownLabelTest, StoredSelectionAndComponentStyles)
{
    using Props = std::vector<std::pair<QString, int>>;
    EXPECT_EQ(drop->DefinedProperties(),
              (Props{{QStringLiteral("SelectionColorStyle"), 1}, {QStringLiteral("QRVStyle"), 4}}));
    drop->SetComponentStyle(tsOffice2010Black);
    drop->SetSelectionColorStyle(scWindows7);
    EXPECT_EQ(drop->DefinedProperties(),
              (Props{{QStringLiteral("SelectionColorStyle"), 3}, {QStringLiteral("QRVStyle"), 15}}));

    TExCustomDropDown loaded(&form);
    const TColor colour = loaded.DropDownColor();
    const TColor selection = loaded.SelectionColor();
    EXPECT_TRUE(loaded.ReadDefinedProperty(QStringLiteral("QRVStyle"), 15));
    EXPECT_TRUE(loaded.ReadDefinedProperty(QStringLiteral("SelectionColorStyle"), 3));
    EXPECT_EQ(loaded.GetComponentStyle(), tsOffice2010Black);
    EXPECT_EQ(loaded.SelectionColorStyle(), scWindows7);
    EXPECT_EQ(loaded.DropDownColor(), colour) << "no colours applied at load";
    EXPECT_EQ(loaded.SelectionColor(), selection);
    struct Bad
    {
        const char* name;
        int value;
    };
    for (const Bad& b : {Bad{"QRVStyle", 16}, Bad{"QRVStyle", -1}, Bad{"SelectionColorStyle", 4}, Bad{"Colour", 1}}) {
        SCOPED_TRACE(b.name);
        EXPECT_FALSE(loaded.ReadDefinedProperty(QLatin1String(b.name), b.value));
    }
    EXPECT_EQ(loaded.GetComponentStyle(), tsOffice2010Black);
    EXPECT_EQ(loaded.SelectionColorStyle(), scWindows7);
}

// The date-time picker's label stays bold while the picker has the focus,
// also when the picker is moved or resized meanwhile.
TEST(DateTimePickerLabel, FocusLabelStaysBoldThroughMovesAndResizes)
{
    TForm form;
    form.SetBounds(100, 100, 400, 200);
    TExDateTimePicker picker(&form);
    picker.SetBounds(150, 40, 180, 21);
    TExDateTimePicker other(&form);
    other.SetBounds(150, 100, 180, 21);
    picker.SetLabelCaption(QStringLiteral("Start"));
    picker.SetFocusLabel(true);
    form.Show();
    Settle();
    other.setFocus();
    Settle();
    TLabel* label = picker.PickerLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->Font().Style() & fsBold);
    picker.setFocus(Qt::MouseFocusReason);
    Settle();
    ASSERT_TRUE(picker.hasFocus());
    EXPECT_TRUE(label->Font().Style() & fsBold);
    picker.SetBounds(160, 50, 180, 21);
    EXPECT_TRUE(label->Font().Style() & fsBold) << "after a move";
    picker.SetBounds(160, 50, 220, 25);
    Settle();
    EXPECT_TRUE(label->Font().Style() & fsBold) << "after a resize";
    picker.SetLabelPosition(exdtp::TLabelPosition::lpTopLeft);
    EXPECT_TRUE(label->Font().Style() & fsBold) << "after placing it elsewhere";
    other.setFocus();
    Settle();
    EXPECT_FALSE(label->Font().Style() & fsBold);
    picker.SetBounds(150, 40, 180, 21);
    EXPECT_FALSE(label->Font().Style() & fsBold);
}

TEST(DateTimePickerLabel, LabelFontFollowsParentFont)
{
    TForm form;
    form.SetBounds(100, 100, 400, 200);
    TExDateTimePicker picker(&form);
    picker.SetBounds(150, 40, 180, 21);
    TFont labelFont;
    labelFont.SetSize(15);
    picker.SetLabelFont(labelFont);
    picker.SetLabelCaption(QStringLiteral("Start"));
    form.Show();
    Settle();
    TLabel* label = picker.PickerLabel();
    EXPECT_EQ(label->Font().Size(), 15);
    picker.SetParentFont(true);
    EXPECT_EQ(label->Font().Size(), picker.Font().Size());
    TFont f = picker.Font();
    f.SetSize(11);
    picker.SetFont(f);
    Settle();
    EXPECT_EQ(label->Font().Size(), 11) << "the control's font change reaches the label";
    picker.SetParentFont(false);
    EXPECT_EQ(label->Font().Size(), 15);
}

// The whole family side by side, each with its label in another of the
// fifteen positions, and the date-time picker with its own thirteen.
TEST(DropDownFamilyScreenshot, LabelsInEveryPosition)
{
    const QString out = qEnvironmentVariable("CONTROLS_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "CONTROLS_SCREENSHOT_DIR not set";
    QDir().mkpath(out);
    TForm form;
    form.SetCaption(QStringLiteral("Drop-down family"));
    form.SetBounds(50, 50, 900, 760);
    std::vector<std::unique_ptr<TExCustomDropDown>> drops;
    drops.push_back(std::make_unique<TExCustomDropDown>(&form));
    drops.push_back(std::make_unique<TExCalculatorDropdown>(&form));
    drops.push_back(std::make_unique<TExTimePickerDropDown>(&form));
    drops.push_back(std::make_unique<TExDetailDropDown>(&form));
    drops.push_back(std::make_unique<TExMultiColumnDropDown>(&form));
    drops.push_back(std::make_unique<TExColorPickerDropDown>(&form));
    drops.push_back(std::make_unique<TExImagePickerDropDown>(&form));
    drops.push_back(std::make_unique<TCustomExGridDropDown>(&form));
    drops.push_back(std::make_unique<TExMemoDropDown>(&form));
    drops.push_back(std::make_unique<TExTrackBarDropDown>(&form));
    const char* names[] = {"LeftTop", "LeftCenter", "LeftBottom", "TopLeft", "BottomLeft", "LeftTopLeft",
                           "LeftCenterLeft", "LeftBottomLeft", "TopCenter", "BottomCenter", "RightTop",
                           "RightCenter", "RighBottom", "TopRight", "BottomRight"};
    for (int i = 0; i < 15; ++i) {
        if (i >= static_cast<int>(drops.size()))
            drops.push_back(std::make_unique<TExCustomDropDown>(&form));
        TExCustomDropDown& d = *drops[static_cast<size_t>(i)];
        const int column = i % 3, row = i / 3;
        d.SetBounds(110 + column * 290, 40 + row * 80, 120, 24);
        if (d.Text().isEmpty())
            d.SetText(QStringLiteral("value"));
        d.SetLabelMargin(3);
        d.SetLabelPosition(static_cast<TLabelPosition>(i));
        d.SetLabelCaption(QString::fromLatin1(names[i]));
        d.SetComponentStyle(static_cast<TQRVStyle>(i % 16));
    }
    drops[5]->SetEnabled(false);
    drops[7]->SetLabelTransparent(true);
    TFont bold;
    bold.SetStyle(fsBold);
    drops[2]->SetLabelFont(bold);
    std::vector<std::unique_ptr<TExDateTimePicker>> pickers;
    for (int i = 0; i < 13; ++i) {
        auto p = std::make_unique<TExDateTimePicker>(&form);
        const int column = i % 3, row = i / 3;
        p->SetBounds(110 + column * 290, 460 + row * 60, 150, 22);
        p->SetLabelPosition(static_cast<exdtp::TLabelPosition>(i));
        p->SetLabelCaption(QString::fromLatin1(names[i]));
        pickers.push_back(std::move(p));
    }
    form.Show();
    Settle();
    pickers[0]->setFocus();
    pickers[0]->SetFocusLabel(true);
    Settle();
    EXPECT_TRUE(form.grab().save(QDir(out).filePath(QStringLiteral("dropdown_labels.png"))));
}
