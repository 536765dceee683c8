#include "widgets/ExDropDownLook.h"

#include <gtest/gtest.h>

#include <QObject>

using namespace platform;

TEST(ExDropDownLook, Defaults)
{
    QObject grid;
    THeaderAppearance header(&grid);
    EXPECT_EQ(header.Owner(), &grid);
    EXPECT_TRUE(header.Visible());
    EXPECT_EQ(header.Height(), 22);
    EXPECT_EQ(header.BorderWidth(), 1);
    EXPECT_EQ(header.BorderColor(), clBlack);
    EXPECT_EQ(header.Color(), 0xC0C0C0u);
    EXPECT_EQ(header.ColorTo(), 0xFFFFFFu);
    EXPECT_EQ(header.GradientDirection(), gdVertical);
    EXPECT_EQ(header.ImageIndex(), -1);
    EXPECT_EQ(header.ButtonAlignment(), baRight);
    EXPECT_TRUE(header.Caption().isEmpty());
    EXPECT_EQ(header.Font().Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(header.Buttons().Count(), 0);
    EXPECT_EQ(header.Buttons().Owner(), &grid);

    TFooterAppearance footer(&grid);
    EXPECT_TRUE(footer.SizeGrip());
    EXPECT_TRUE(footer.Visible());
    EXPECT_EQ(footer.Height(), 22);
    EXPECT_EQ(footer.Font().Name(), TFont().Name()); // the platform's default
    EXPECT_EQ(footer.Buttons().Count(), 0);
}

TEST(ExDropDownLook, ChangeNotifications)
{
    THeaderAppearance look(nullptr);
    int changes = 0, buttonChanges = 0;
    look.OnChange = [&] { ++changes; };
    look.OnButtonsChanged = [&] { ++buttonChanges; };
    look.SetHeight(30);
    look.SetColor(clRed);
    look.SetCaption(QStringLiteral("x"));
    EXPECT_EQ(changes, 0);
    look.SetVisible(false);
    EXPECT_EQ(changes, 1);
    look.SetVisible(false);
    EXPECT_EQ(changes, 1);

    THeaderButton* b = look.Buttons().Add();
    EXPECT_EQ(b->ImageIndex(), -1);
    EXPECT_TRUE(b->Enabled());
    EXPECT_EQ(b->Width(), 0);
    b->SetHeight(40); // height fires nothing
    b->SetImageIndex(3);
    EXPECT_EQ(buttonChanges, 0);
    b->SetWidth(30);
    b->SetCaption(QStringLiteral("OK"));
    b->SetEnabled(false);
    EXPECT_EQ(buttonChanges, 3);
    b->SetWidth(30);
    b->SetEnabled(false);
    EXPECT_EQ(buttonChanges, 3);
    EXPECT_THROW(look.Buttons().Items(1), std::out_of_range);

    TFooterAppearance footer(nullptr);
    TFooterButton* f = footer.Buttons().Add();
    f->SetModalResult(2);
    EXPECT_EQ(f->ModalResult(), 2);
}

TEST(ExDropDownLook, AssignCopies)
{
    THeaderAppearance source(nullptr);
    source.SetColor(clRed);
    source.SetColorTo(clNone);
    source.SetBorderColor(clBlue);
    source.SetCaption(QStringLiteral("<b>Pick</b>"));
    source.Font().SetSize(14);
    source.SetImageIndex(2);
    source.SetBorderWidth(3);
    source.SetGradientDirection(gdHorizontal);
    source.SetHeight(30);
    source.SetVisible(false);
    source.SetButtonAlignment(baLeft);
    THeaderButton* b = source.Buttons().Add();
    b->SetCaption(QStringLiteral("All"));
    b->SetWidth(40);
    b->SetHeight(18);

    THeaderAppearance target(nullptr);
    int changes = 0, buttonChanges = 0;
    target.OnChange = [&] { ++changes; };
    target.OnButtonsChanged = [&] { ++buttonChanges; };
    target.Assign(&source);
    EXPECT_EQ(changes, 1); // Visible changed
    EXPECT_EQ(buttonChanges, 1);
    EXPECT_EQ(target.Color(), clRed);
    EXPECT_EQ(target.ColorTo(), clNone);
    EXPECT_EQ(target.BorderColor(), clBlue);
    EXPECT_EQ(target.Caption(), QStringLiteral("<b>Pick</b>"));
    EXPECT_EQ(target.Font().Size(), 14);
    EXPECT_EQ(target.ImageIndex(), 2);
    EXPECT_EQ(target.BorderWidth(), 3);
    EXPECT_EQ(target.GradientDirection(), gdHorizontal);
    EXPECT_EQ(target.Height(), 30);
    EXPECT_FALSE(target.Visible());
    EXPECT_EQ(target.ButtonAlignment(), baLeft);
    ASSERT_EQ(target.Buttons().Count(), 1);
    EXPECT_NE(target.Buttons().Items(0), b); // a copy, not the same button
    EXPECT_EQ(target.Buttons().Items(0)->Caption(), QStringLiteral("All"));
    EXPECT_EQ(target.Buttons().Items(0)->Width(), 40);
    EXPECT_EQ(target.Buttons().Items(0)->Height(), 18);
    // The copied buttons report to their own collection.
    target.Buttons().Items(0)->SetCaption(QStringLiteral("None"));
    EXPECT_EQ(buttonChanges, 2);
    EXPECT_EQ(b->Caption(), QStringLiteral("All"));

    // nullptr is ignored; colours only copy colours.
    target.Assign(nullptr);
    EXPECT_EQ(target.Caption(), QStringLiteral("<b>Pick</b>"));
    THeaderAppearance colours(nullptr);
    colours.AssignColors(&source);
    EXPECT_EQ(colours.Color(), clRed);
    EXPECT_EQ(colours.GradientDirection(), gdHorizontal);
    EXPECT_EQ(colours.Font().Size(), 14);
    EXPECT_EQ(colours.Height(), 22);
    EXPECT_TRUE(colours.Caption().isEmpty());
    EXPECT_EQ(colours.Buttons().Count(), 0);

    TFooterAppearance footer(nullptr), copy(nullptr);
    footer.SetSizeGrip(false);
    footer.Buttons().Add()->SetModalResult(2);
    copy.Assign(&footer);
    EXPECT_FALSE(copy.SizeGrip());
    ASSERT_EQ(copy.Buttons().Count(), 1);
    EXPECT_EQ(copy.Buttons().Items(0)->ModalResult(), 2);
}
