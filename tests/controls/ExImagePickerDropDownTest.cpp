// The image picker driven by real keys and mouse clicks: image-list and
// folder feeds, ImageIndex, the grid popup (open, choose, cancel, rows of
// Columns), the keys of the closed control and the picture in the edit area.
#include "controls/ExImagePickerDropDown.h"
#include "support/TestSupport.h"

#include "PanelMouse.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

// An image list of n 16 x 16 squares, picture i filled with colours[i].
void FillImages(TImageList& list, const std::vector<TColor>& colours)
{
    for (TColor c : colours) {
        TBitmap b(16, 16);
        b.Canvas().Brush().SetColor(c);
        b.Canvas().FillRect(Rect(0, 0, 16, 16));
        list.Add(b);
    }
}

class ImagePickerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.SetBounds(100, 100, 400, 300);
        picker = new TExImagePickerDropDown(&form);
        picker->SetBounds(20, 20, 120, 24);
        picker->OnSelect = [this](QObject*) { events.push_back(QStringLiteral("select %1").arg(picker->ItemIndex())); };
        picker->OnChange = [this](QObject*) { events.push_back(QStringLiteral("change %1").arg(picker->ItemIndex())); };
        form.Show();
        QApplication::processEvents();
        picker->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override { delete picker; }

    void UseImages(int n)
    {
        std::vector<TColor> colours;
        for (int i = 0; i < n; ++i)
            colours.push_back(RGB(10 * i, 200 - 10 * i, 40));
        FillImages(images, colours);
        picker->SetImages(&images);
        picker->AddImagesFromImageList();
        events.clear();
    }
    void Open()
    {
        testsupport::Click(picker->Button()->Button());
        ASSERT_TRUE(picker->DroppedDown());
    }
    QPoint ItemCentre(int index) const
    {
        const TRect r = picker->ItemSelector()->Panel()->GetItemRect(index);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }

    TForm form;
    TImageList images{16, 16};
    TExImagePickerDropDown* picker = nullptr;
    std::vector<QString> events;
};

} // namespace

TEST_F(ImagePickerTest, ImageListFeedAndImageIndex)
{
    picker->AddImagesFromImageList(); // no image list: nothing
    EXPECT_EQ(picker->Items().Count(), 0);
    EXPECT_EQ(picker->ImageIndex(), -1);
    UseImages(5);
    ASSERT_EQ(picker->Items().Count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(picker->Items().Items(i)->ImageIndex(), i);
        EXPECT_TRUE(picker->Items().Items(i)->Caption().isEmpty());
    }
    picker->SetImageIndex(3);
    EXPECT_EQ(picker->ItemIndex(), 3);
    EXPECT_EQ(picker->ImageIndex(), 3);
    picker->SetImageIndex(7); // no item carries it: the selection is cleared
    EXPECT_EQ(picker->ItemIndex(), -1);
    EXPECT_EQ(picker->ImageIndex(), -1);
    EXPECT_EQ(events, (std::vector<QString>{"change 3", "select 3", "change -1", "select -1"}));
    EXPECT_THROW(picker->Items().Items(5), std::out_of_range);
}

TEST_F(ImagePickerTest, ItemIndexRaisesChangeThenSelectOnlyForANewValidIndex)
{
    UseImages(3);
    picker->SetItemIndex(1);
    picker->SetItemIndex(1); // the current index: nothing
    picker->SetItemIndex(3); // past the end: nothing
    EXPECT_EQ(picker->ItemIndex(), 1);
    EXPECT_EQ(events, (std::vector<QString>{"change 1", "select 1"}));
}

TEST_F(ImagePickerTest, FolderFeedTakesEveryMatchingFileAndSkipsFolders)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage red(8, 6, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("a.png"))));
    ASSERT_TRUE(red.save(dir.filePath(QStringLiteral("c.png"))));
    {
        QFile text(dir.filePath(QStringLiteral("b.png")));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("not a picture");
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("d.png")));

    EXPECT_EQ(picker->AddImagesFromFolder(dir.filePath(QStringLiteral("*.png")), true), 3);
    ASSERT_EQ(picker->Items().Count(), 3);
    EXPECT_EQ(picker->Items().Items(0)->Caption(), QStringLiteral("a.png"));
    EXPECT_EQ(picker->Items().Items(0)->Image().Width(), 8);
    // The file that is no picture: an item with an empty picture and no caption.
    EXPECT_TRUE(picker->Items().Items(1)->Image().Empty());
    EXPECT_TRUE(picker->Items().Items(1)->Caption().isEmpty());
    EXPECT_EQ(picker->Items().Items(2)->Caption(), QStringLiteral("c.png"));

    EXPECT_EQ(picker->AddImagesFromFolder(dir.filePath(QStringLiteral("*.gif")), true), 0);
    EXPECT_EQ(picker->AddImagesFromFolder(dir.filePath(QStringLiteral("a.png")), false), 1);
    EXPECT_TRUE(picker->Items().Items(3)->Caption().isEmpty());
    EXPECT_FALSE(picker->Items().Items(3)->Image().Empty());
}

TEST_F(ImagePickerTest, ClickingAnImageChoosesItAndClosesThePopup)
{
    UseImages(6);
    picker->SetColumns(3);
    Open();
    TExCustomItemSelector* grid = picker->ItemSelector();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->Items().Count(), 6);
    EXPECT_EQ(grid->Columns(), 3);
    // Three images in a row: item 4 is in the second row, second column.
    EXPECT_EQ(grid->Panel()->GetItemRect(4).Top, grid->Panel()->GetItemRect(1).Bottom);
    mouse::mouseClick(grid->Panel(), Qt::LeftButton, Qt::NoModifier, ItemCentre(4));
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->ImageIndex(), 4);
    EXPECT_EQ(events, (std::vector<QString>{"change 4", "select 4"}));
}

TEST_F(ImagePickerTest, UpAndDownMoveByARowOfTheOpenGrid)
{
    struct Case
    {
        int count;
        int key;
        int expected;
    } cases[] = {
        {12, Qt::Key_Up, 1},
        {12, Qt::Key_Down, 9},
        {9, Qt::Key_Down, 5}, // no item 9: nothing
        {12, Qt::Key_Left, 4},
        {12, Qt::Key_Right, 6},
    };
    for (const Case& c : cases) {
        picker->Items().Clear();
        images.Clear();
        UseImages(c.count);
        picker->SetColumns(4);
        picker->SetItemIndex(5);
        Open();
        testsupport::KeyClick(c.key);
        EXPECT_TRUE(picker->DroppedDown());
        EXPECT_EQ(picker->ItemIndex(), c.expected) << c.count << " " << c.key;
        testsupport::KeyClick(Qt::Key_Return);
        EXPECT_FALSE(picker->DroppedDown());
        EXPECT_EQ(picker->ItemIndex(), c.expected);
    }
}

TEST_F(ImagePickerTest, EnterTakesTheHotItemOrOnlyRaisesSelect)
{
    UseImages(4);
    picker->SetItemIndex(0);
    events.clear();
    Open();
    testsupport::KeyClick(Qt::Key_Return); // no hot item
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->ItemIndex(), 0);
    EXPECT_EQ(events, std::vector<QString>{"select 0"});
    events.clear();
    Open();
    mouse::mouseMove(picker->ItemSelector()->Panel(), ItemCentre(2));
    testsupport::KeyClick(Qt::Key_Return);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->ItemIndex(), 2);
    EXPECT_EQ(events, (std::vector<QString>{"change 2", "select 2"}));
}

TEST_F(ImagePickerTest, EscapeRestoresTheIndexOfTheOpening)
{
    UseImages(5);
    Open(); // nothing selected
    testsupport::KeyClick(Qt::Key_Down);
    testsupport::KeyClick(Qt::Key_Down);
    EXPECT_EQ(picker->ItemIndex(), 1);
    testsupport::KeyClick(Qt::Key_Escape);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->ItemIndex(), -1);
    EXPECT_EQ(picker->ImageIndex(), -1);
}

TEST_F(ImagePickerTest, ClosedKeysAndWheelStepTheChoice)
{
    UseImages(4);
    testsupport::KeyClick(Qt::Key_Down);
    EXPECT_EQ(picker->ItemIndex(), 0);
    testsupport::KeyClick(Qt::Key_End);
    EXPECT_EQ(picker->ItemIndex(), 3);
    testsupport::KeyClick(Qt::Key_Down);
    EXPECT_EQ(picker->ItemIndex(), 3);
    testsupport::KeyClick(Qt::Key_Home);
    EXPECT_EQ(picker->ItemIndex(), 0);
    // The wheel steps through the items even before the popup first showed.
    testsupport::Wheel(picker, -120);
    testsupport::Wheel(picker, -120);
    EXPECT_EQ(picker->ItemIndex(), 2);
    testsupport::Wheel(picker, 120);
    EXPECT_EQ(picker->ItemIndex(), 1);
    EXPECT_FALSE(picker->DroppedDown());
}

TEST_F(ImagePickerTest, EditAreaShowsTheSelectedImageCentred)
{
    FillImages(images, {clRed, clBlue});
    picker->SetImages(&images);
    picker->AddImagesFromImageList();
    picker->clearFocus();
    QApplication::processEvents();
    auto centre = [this] {
        picker->repaint();
        const QImage shot = picker->grab().toImage();
        const int right = picker->width() - picker->DropDownButtonWidth() - 3;
        return shot.pixelColor((1 + right) / 2, (1 + picker->height() + 1) / 2);
    };
    EXPECT_NE(centre(), QColor(Qt::blue));
    picker->SetImageIndex(1);
    EXPECT_EQ(centre(), QColor(Qt::blue));
    // A picture of its own wins over the image list.
    TBitmap green(6, 6);
    green.Canvas().Brush().SetColor(clLime);
    green.Canvas().FillRect(Rect(0, 0, 6, 6));
    picker->Items().Items(1)->SetImage(green);
    EXPECT_EQ(centre(), QColor(Qt::green));
}

TEST_F(ImagePickerTest, ItemsEmptiedUnderTheChoiceGiveNoImage)
{
    UseImages(3);
    picker->SetItemIndex(2);
    picker->Items().Clear();
    EXPECT_EQ(picker->ImageIndex(), -1);
    picker->repaint(); // paints no item
    Open();
    EXPECT_EQ(picker->ItemSelector()->Items().Count(), 0);
    testsupport::KeyClick(Qt::Key_Escape);
}
