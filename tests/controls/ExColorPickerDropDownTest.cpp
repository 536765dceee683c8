// The colour picker driven by real keys and mouse clicks: the default list,
// selected colour and colour text, the list popup (open, choose, cancel), the
// closed-control keys and type-ahead, and the box selector's cancel.
#include "controls/ExColorPickerDropDown.h"
#include "support/TestSupport.h"

#include "PanelMouse.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

class ColorPickerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.SetBounds(100, 100, 400, 300);
        picker = new TExColorPickerDropDown(&form);
        picker->SetBounds(20, 20, 160, 21);
        picker->OnSelect = [this](QObject*) { selects.push_back(picker->ItemIndex()); };
        form.Show();
        QApplication::processEvents();
        picker->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override { delete picker; }

    void Open()
    {
        testsupport::Click(picker->Button()->Button());
        ASSERT_TRUE(picker->DroppedDown());
    }
    // The centre of a list item in the popup's selector panel.
    QPoint ItemCentre(int index) const
    {
        const TRect r = picker->ItemSelector()->Panel()->GetItemRect(index);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }

    TForm form;
    TExColorPickerDropDown* picker = nullptr;
    std::vector<int> selects;
};

} // namespace

TEST_F(ColorPickerTest, DefaultColoursAreTheSixteenNamedOnesAndAddUp)
{
    EXPECT_EQ(picker->Colors().Count(), 0); // a run-time picker starts empty
    picker->AddDefaultColors();
    const std::pair<const char*, TColor> expected[] = {
        {"Black", 0},        {"Maroon", 128},        {"Green", 32768},       {"Olive", 32896},
        {"Navy", 8388608},   {"Purple", 8388736},    {"Teal", 8421376},      {"Gray", 8421504},
        {"Silver", 12632256}, {"Red", 255},          {"Lime", 65280},        {"Yellow", 65535},
        {"Blue", 16711680},  {"Fuchsia", 16711935},  {"Aqua", 16776960},     {"White", 16777215}};
    ASSERT_EQ(picker->Colors().Count(), 16);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(picker->Colors().Items(i)->Caption(), QString::fromLatin1(expected[i].first)) << i;
        EXPECT_EQ(picker->Colors().Items(i)->Color(), expected[i].second) << i;
    }
    picker->AddDefaultColors();
    EXPECT_EQ(picker->Colors().Count(), 32);
    EXPECT_THROW(picker->Colors().Items(32), std::out_of_range);
}

TEST_F(ColorPickerTest, SelectedColorSelectsTheFirstItemOfThatColourAndKeepsItForOthers)
{
    picker->AddDefaultColors();
    picker->AddDefaultColors(); // Lime twice: the first one wins
    picker->SetSelectedColor(0x00FF00);
    EXPECT_EQ(picker->ItemIndex(), 10);
    EXPECT_EQ(selects, std::vector<int>{10});
    EXPECT_EQ(picker->SelectedColorText(), QStringLiteral("Lime"));

    // A colour the list does not hold: the entry stays, the colour changes.
    picker->SetSelectedColor(0x563412);
    EXPECT_EQ(picker->ItemIndex(), 10);
    EXPECT_EQ(picker->SelectedColor(), 0x563412u);
    EXPECT_EQ(picker->SelectedColorText(), QStringLiteral("Lime"));
    EXPECT_EQ(selects.size(), 1u);

    picker->SetSelectedColor(0x563412); // unchanged: nothing raised
    EXPECT_EQ(selects.size(), 1u);

    picker->SetItemIndex(picker->Colors().Count()); // past the end: ignored
    EXPECT_EQ(picker->ItemIndex(), 10);
    picker->SetItemIndex(-1); // keeps the colour, still raises OnSelect
    EXPECT_EQ(picker->ItemIndex(), -1);
    EXPECT_EQ(picker->SelectedColor(), 0x563412u);
    EXPECT_EQ(selects, (std::vector<int>{10, -1}));
}

TEST_F(ColorPickerTest, ColourTextByValueKind)
{
    struct Case
    {
        TColorValueText kind;
        TColor colour;
        const char* text;
    } cases[] = {
        {cvtNone, clRed, ""},
        {cvtHex, clRed, "0000FF"},                        // blue, green, red order
        {cvtHex, clHighlight, "FF00000D"},                // a system colour keeps its 8 digits
        {cvtHTML, clRed, "#FF0000"},
        {cvtRGB, clRed, "Red:255,Green:0,Blue:0"},
        {cvtWebName, clRed, "clWebRed"},
        {cvtWebName, 0x563412, "#123456"},                // no name: the HTML form
    };
    for (const Case& c : cases) {
        picker->SetColorValueText(c.kind);
        picker->SetSelectedColor(c.colour);
        EXPECT_EQ(picker->SelectedColorText(), QString::fromLatin1(c.text)) << c.text;
    }
    // A list entry names the colour in the list style only.
    picker->AddDefaultColors();
    picker->SetColorValueText(cvtHex);
    picker->SetSelectedColor(clBlue);
    EXPECT_EQ(picker->SelectedColorText(), QStringLiteral("Blue"));
    picker->SetColorSelectionStyle(csDiscrete);
    EXPECT_EQ(picker->SelectedColorText(), QStringLiteral("FF0000"));
}

TEST_F(ColorPickerTest, EditAreaShowsTheSwatchOnlyForAColour)
{
    picker->SetShowText(false);
    auto swatchPixel = [this] {
        picker->repaint();
        const QImage shot = picker->grab().toImage();
        return shot.pixelColor(5 + 7, picker->height() / 2 + 1);
    };
    EXPECT_NE(swatchPixel(), QColor(Qt::red)); // clNone: neither swatch nor text
    picker->SetSelectedColor(clRed);
    EXPECT_EQ(swatchPixel(), QColor(Qt::red));
    bool custom = false;
    picker->OnDrawSelectedColor = [&](QObject*, TCanvas&, const TRect& r) {
        custom = true;
        EXPECT_EQ(r.Left, 1);
        EXPECT_EQ(r.Right, picker->width() - picker->DropDownButtonWidth() - 2);
    };
    EXPECT_NE(swatchPixel(), QColor(Qt::red)); // the handler draws instead
    EXPECT_TRUE(custom);
}

TEST_F(ColorPickerTest, ClickingAColourChoosesItAndClosesThePopup)
{
    picker->AddDefaultColors();
    picker->SetColumns(2);
    Open();
    TExCustomItemSelector* list = picker->ItemSelector();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Items().Count(), 16);
    EXPECT_EQ(list->SelectorType(), stColor);
    EXPECT_EQ(list->Columns(), 2);
    mouse::mouseClick(list->Panel(), Qt::LeftButton, Qt::NoModifier, ItemCentre(9));
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->ItemIndex(), 9);
    EXPECT_EQ(picker->SelectedColor(), clRed);
    EXPECT_EQ(selects, std::vector<int>{9});
}

TEST_F(ColorPickerTest, EscapeAfterArrowsRestoresTheEntryOfTheOpening)
{
    picker->AddDefaultColors();
    picker->SetItemIndex(3);
    selects.clear();
    Open();
    testsupport::KeyClick(Qt::Key_Down); // relayed from the popup
    testsupport::KeyClick(Qt::Key_Down);
    EXPECT_TRUE(picker->DroppedDown()); // moving in the list keeps it open
    EXPECT_EQ(picker->ItemIndex(), 5);
    EXPECT_EQ(picker->SelectedColor(), 0x800080u);
    testsupport::KeyClick(Qt::Key_Escape);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->ItemIndex(), 3);
    EXPECT_EQ(picker->SelectedColor(), 0x008080u);
    EXPECT_EQ(selects, (std::vector<int>{4, 5, 3}));
}

TEST_F(ColorPickerTest, EnterTakesTheHotItemAndRaisesNoSecondSelect)
{
    picker->AddDefaultColors();
    Open();
    mouse::mouseMove(picker->ItemSelector()->Panel(), ItemCentre(12));
    ASSERT_EQ(picker->ItemSelector()->ItemHot(), 12);
    testsupport::KeyClick(Qt::Key_Return);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->ItemIndex(), 12);
    EXPECT_EQ(selects, std::vector<int>{12});
    // Closed, Enter only tells the choice again.
    testsupport::KeyClick(Qt::Key_Return);
    EXPECT_EQ(selects, (std::vector<int>{12, 12}));
}

TEST_F(ColorPickerTest, ClosedArrowsStepThroughTheListAndStopAtItsEnds)
{
    picker->AddDefaultColors();
    testsupport::KeyClick(Qt::Key_Down);
    EXPECT_EQ(picker->ItemIndex(), 0);
    testsupport::KeyClick(Qt::Key_Up); // at 0: nothing
    EXPECT_EQ(picker->ItemIndex(), 0);
    testsupport::KeyClick(Qt::Key_End);
    EXPECT_EQ(picker->ItemIndex(), 15);
    testsupport::KeyClick(Qt::Key_Down); // at the last: nothing
    EXPECT_EQ(picker->ItemIndex(), 15);
    testsupport::KeyClick(Qt::Key_Home);
    EXPECT_EQ(picker->ItemIndex(), 0);
    EXPECT_EQ(selects, (std::vector<int>{0, 15, 0}));
    EXPECT_FALSE(picker->DroppedDown());
}

TEST_F(ColorPickerTest, TypeAheadFindsByPrefixForHalfASecond)
{
    picker->AddDefaultColors(); // never shown: the list is taken as it is now
    testsupport::KeyClick(Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    testsupport::KeyClick(Qt::Key_L, Qt::NoModifier, QStringLiteral("l"));
    EXPECT_EQ(picker->ItemIndex(), 0); // Black
    testsupport::KeyClick(Qt::Key_U, Qt::NoModifier, QStringLiteral("u"));
    EXPECT_EQ(picker->CurrentSearch(), QStringLiteral("BLU"));
    EXPECT_EQ(picker->ItemIndex(), 12); // Blue
    EXPECT_FALSE(picker->DroppedDown());
    QElapsedTimer t;
    t.start();
    while (!picker->CurrentSearch().isEmpty() && t.elapsed() < 2000)
        QApplication::processEvents();
    EXPECT_GE(t.elapsed(), 300);
    EXPECT_TRUE(picker->CurrentSearch().isEmpty()); // the burst ended
    testsupport::KeyClick(Qt::Key_G, Qt::NoModifier, QStringLiteral("g"));
    EXPECT_EQ(picker->ItemIndex(), 2); // Green
}

TEST_F(ColorPickerTest, WheelOverTheClosedPickerStepsTheChoice)
{
    picker->AddDefaultColors();
    picker->SetItemIndex(2);
    testsupport::Wheel(picker, -120);
    EXPECT_EQ(picker->ItemIndex(), 3);
    testsupport::Wheel(picker, 120);
    testsupport::Wheel(picker, 120);
    EXPECT_EQ(picker->ItemIndex(), 1);
    EXPECT_FALSE(picker->DroppedDown());
}

TEST_F(ColorPickerTest, BoxSelectorChoosesAndItsCancelRestoresAnyColour)
{
    picker->AddDefaultColors();
    picker->SetColorSelectionStyle(csDiscrete);
    // A colour none of the 60 boxes holds.
    picker->SetSelectedColor(0x563412);
    Open();
    TCustomColorSelector* boxes = picker->ColorSelector();
    ASSERT_NE(boxes, nullptr);
    ASSERT_EQ(boxes->Items().Count(), 60);
    testsupport::KeyClick(Qt::Key_Right); // moves in the boxes, popup stays
    EXPECT_TRUE(picker->DroppedDown());
    EXPECT_EQ(picker->SelectedColor(), boxes->Items().Items(0)->Color());
    EXPECT_EQ(picker->ItemIndex(), -1);
    testsupport::KeyClick(Qt::Key_Escape);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->SelectedColor(), 0x563412u);

    // A click on a box chooses it and closes.
    Open();
    TRect r;
    boxes->GetColorBoxRect(7, r);
    mouse::mouseClick(boxes, Qt::LeftButton, Qt::NoModifier, QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->SelectedColor(), boxes->Items().Items(7)->Color());
}

TEST_F(ColorPickerTest, PopupSizeFollowsTheSelectorOfEachStyle)
{
    picker->AddDefaultColors();
    Open();
    const TSize panel = picker->ItemSelector()->GetSelectorPanelSize();
    EXPECT_GE(picker->DropDownForm()->width(), panel.cx);
    testsupport::KeyClick(Qt::Key_Escape);
    picker->SetColorSelectionStyle(csColorCube);
    Open();
    ASSERT_NE(picker->ColorCubePanel(), nullptr);
    EXPECT_FALSE(picker->ItemSelector()->isVisible());
    EXPECT_EQ(picker->DropDownForm()->width(),
              std::max(80, picker->ColorCubePanel()->width() + 2 * picker->DropDownBorderWidth()));
    EXPECT_FALSE(picker->DropDownForm()->Sizeable());
    testsupport::KeyClick(Qt::Key_Escape);
}

TEST_F(ColorPickerTest, AListEmptiedUnderTheChoiceNamesNothingAndStillPaints)
{
    picker->AddDefaultColors();
    picker->SetItemIndex(15);
    picker->Colors().Clear();
    EXPECT_EQ(picker->SelectedColorText(), QString()); // no entry 15 to name
    picker->repaint();
    testsupport::KeyClick(Qt::Key_Down); // nothing to step to
    EXPECT_EQ(picker->SelectedColor(), clWhite);
}
