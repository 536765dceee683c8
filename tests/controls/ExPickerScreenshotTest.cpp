// CONTROLS_SCREENSHOT_DIR=<dir> saves the colour picker with each kind of
// popup open (list, colour boxes, cube, spectrum) and the image picker with
// its image grid open, to be looked at.
#include "controls/ExColorPickerDropDown.h"
#include "controls/ExImagePickerDropDown.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace platform;

namespace {

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// The form and the open popup together, as the screen shows them.
bool SaveWithPopup(TForm& form, TExCustomDropDown& drop, const QString& file)
{
    TDropDownForm* popup = drop.DropDownForm();
    const QRect all = form.frameGeometry().united(popup->geometry());
    QPixmap shot(all.size());
    shot.fill(Qt::darkGray);
    QPainter p(&shot);
    p.drawPixmap(form.geometry().topLeft() - all.topLeft(), form.grab());
    p.drawPixmap(popup->geometry().topLeft() - all.topLeft(), popup->grab());
    p.end();
    return shot.save(file);
}

QString OutDir()
{
    const QString out = qEnvironmentVariable("CONTROLS_SCREENSHOT_DIR");
    if (!out.isEmpty())
        QDir().mkpath(out);
    return out;
}

} // namespace

TEST(PickerScreenshot, ColourPickerWithEachPopup)
{
    const QString out = OutDir();
    if (out.isEmpty())
        GTEST_SKIP() << "CONTROLS_SCREENSHOT_DIR not set";
    TForm form;
    form.SetBounds(100, 100, 300, 70);
    form.SetCaption(QStringLiteral("Colour picker"));
    TExColorPickerDropDown picker(&form);
    picker.SetBounds(60, 20, 180, 22);
    picker.SetLabelCaption(QStringLiteral("Colour:"));
    picker.SetLabelPosition(lpLeftCenter);
    picker.AddDefaultColors();
    picker.SetColumns(2);
    picker.SetSelectedColor(clRed);
    form.Show();
    Settle();
    const struct
    {
        TColorSelectionStyle style;
        const char* file;
    } styles[] = {{csList, "colorpicker_list.png"},
                  {csDiscrete, "colorpicker_boxes.png"},
                  {csColorCube, "colorpicker_cube.png"},
                  {csSpectrum, "colorpicker_spectrum.png"}};
    for (const auto& s : styles) {
        picker.SetColorSelectionStyle(s.style);
        picker.setFocus();
        picker.ShowDropDown();
        Settle();
        ASSERT_TRUE(picker.DroppedDown()) << s.file;
        if (s.style == csList)
            picker.ItemSelector()->Panel()->SetItemHot(11);
        Settle();
        EXPECT_TRUE(SaveWithPopup(form, picker, QDir(out).filePath(QString::fromLatin1(s.file))));
        picker.HideDropDown(true);
        Settle();
    }
}

TEST(PickerScreenshot, ImagePickerWithItsImageGrid)
{
    const QString out = OutDir();
    if (out.isEmpty())
        GTEST_SKIP() << "CONTROLS_SCREENSHOT_DIR not set";
    TImageList images(16, 16);
    const TColor colours[] = {clRed, clLime, clBlue, clYellow, clFuchsia, clAqua, clNavy, clOlive, clTeal};
    for (int i = 0; i < 9; ++i) {
        TBitmap b(16, 16);
        b.Canvas().Brush().SetColor(clWhite);
        b.Canvas().FillRect(Rect(0, 0, 16, 16));
        b.Canvas().Brush().SetColor(colours[i]);
        b.Canvas().Pen().SetColor(clBlack);
        if (i % 2 == 0)
            b.Canvas().Ellipse(1, 1, 15, 15);
        else
            b.Canvas().Rectangle(2, 2, 14, 14);
        images.Add(b);
    }
    TForm form;
    form.SetBounds(100, 100, 260, 70);
    form.SetCaption(QStringLiteral("Image picker"));
    TExImagePickerDropDown picker(&form);
    picker.SetBounds(60, 20, 90, 24);
    picker.SetImages(&images);
    picker.AddImagesFromImageList();
    picker.Items().Items(0)->SetCaption(QStringLiteral("Alarm"));
    picker.Items().Items(0)->SetHint(QStringLiteral("Alarm"));
    picker.SetColumns(3);
    picker.SetImageIndex(4);
    form.Show();
    Settle();
    EXPECT_TRUE(form.grab().save(QDir(out).filePath(QStringLiteral("imagepicker_closed.png"))));
    picker.ShowDropDown();
    Settle();
    ASSERT_TRUE(picker.DroppedDown());
    picker.ItemSelector()->Panel()->SetItemHot(7);
    Settle();
    EXPECT_TRUE(SaveWithPopup(form, picker, QDir(out).filePath(QStringLiteral("imagepicker_open.png"))));
    picker.HideDropDown(true);
}
