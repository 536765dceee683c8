#include "widgets/ExDropDownLook.h"

void TDropDownAppearance::CopyColors(const TDropDownAppearance& other)
{
    FColorTo = other.FColorTo;
    FColor = other.FColor;
    FBorderColor = other.FBorderColor;
    FFont.Assign(other.FFont);
    FGradientDirection = other.FGradientDirection;
}

THeaderAppearance::THeaderAppearance(QObject* owner)
    : TDropDownAppearance(owner), FButtons(std::make_unique<THeaderButtons>(owner))
{
    FFont.SetName(QStringLiteral("Tahoma"));
    FButtons->OnChange = [this] { ButtonsChanged(); };
}

void THeaderAppearance::Assign(const THeaderAppearance* source)
{
    if (!source || source == this)
        return;
    SetColorTo(source->ColorTo());
    SetColor(source->Color());
    SetBorderColor(source->BorderColor());
    SetCaption(source->Caption());
    SetFont(source->Font());
    SetImageIndex(source->ImageIndex());
    SetBorderWidth(source->BorderWidth());
    SetGradientDirection(source->GradientDirection());
    SetHeight(source->Height());
    SetVisible(source->Visible());
    SetButtonAlignment(source->ButtonAlignment());
    SetButtons(source->Buttons());
}

void THeaderAppearance::AssignColors(const THeaderAppearance* source)
{
    if (source && source != this)
        CopyColors(*source);
}

TFooterAppearance::TFooterAppearance(QObject* owner)
    : TDropDownAppearance(owner), FButtons(std::make_unique<TFooterButtons>(owner))
{
    FButtons->OnChange = [this] { ButtonsChanged(); };
}

void TFooterAppearance::Assign(const TFooterAppearance* source)
{
    if (!source || source == this)
        return;
    SetBorderColor(source->BorderColor());
    SetColor(source->Color());
    SetColorTo(source->ColorTo());
    SetGradientDirection(source->GradientDirection());
    SetFont(source->Font());
    SetCaption(source->Caption());
    SetSizeGrip(source->SizeGrip());
    SetBorderWidth(source->BorderWidth());
    SetHeight(source->Height());
    SetImageIndex(source->ImageIndex());
    SetVisible(source->Visible());
    SetButtonAlignment(source->ButtonAlignment());
    SetButtons(source->Buttons());
}

void TFooterAppearance::AssignColors(const TFooterAppearance* source)
{
    if (source && source != this)
        CopyColors(*source);
}
