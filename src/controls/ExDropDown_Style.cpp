// The colour sets of the component styles and the selection colour styles.
#include "controls/ExDropDown.h"

using namespace platform;

namespace {

// "Left as it was".
constexpr TColor kKeep = 0x7FFFFFFF;
// The checked border colour of most styles: red $7B, green $66, blue $45.
constexpr TColor C1 = RGB(0x7B, 0x66, 0x45);

struct TPopupColors
{
    TColor DropDown, DropDownTo, Border, HColor, HColorTo, HFont, HBorder, FColor, FColorTo, FFont, FBorder;
};

// In the order of TQRVStyle.
const TPopupColors kPopup[16] = {
    {0xFFFFFF, clNone, kKeep, 0xFCE1CB, 0xE0A57D, 0x000000, 0x000000, 0xFCE1CB, 0xE0A57D, 0x000000, 0x962D00},
    {0xFFFFFF, clNone, kKeep, 0xECE2E1, 0xB39698, 0x000000, 0x947C7C, 0xECE2E1, 0xB39698, 0x000000, 0x947C7C},
    {0xFFFFFF, clNone, clNone, 0xCFF0EA, 0x8CC0B1, 0x000000, 0x588060, 0xCFF0EA, 0x8CC0B1, 0x000000, 0x588060},
    {0xF2F2F2, 0xF2F2F2, clNone, 0x808080, 0x808080, 0xFFFFFF, 0x808080, 0x808080, 0x808080, 0xFFFFFF, 0x808080},
    {0xF3E5DA, 0xF0DED0, clNone, 0xFFEFE3, 0xFFD2AF, 0x723708, 0xFFD2AF, 0xFFEFE3, 0xFFD2AF, 0x723708, 0xFFD2AF},
    {0xFFFFFF, clNone, clNone, 0xF2F1F0, 0xC9C2BD, 0x433C37, 0x5C534C, 0xF2F1F0, 0xC9C2BD, 0x433C37, 0x5C534C},
    {0xFFFFFF, clNone, kKeep, 0xFFFFFF, clBtnFace, 0x000000, 0x808080, 0xFFFFFF, clBtnFace, 0x000000, 0x808080},
    {0xF5F9FA, 0xF5F9FA, clNone, 0xEBEEEF, 0x7E9898, 0xFFFFFF, 0x962D00, 0xEBEEEF, 0x7E9898, 0xFFFFFF, 0x962D00},
    {kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep},
    {0xF8F4F1, 0xF0E8E3, clNone, 0xF8F7F6, 0xE8E0DB, 0x8B4215, 0x74706F, 0xF8F7F6, 0xE8E0DB, 0x8B4215, 0x74706F},
    {0xFFFFFF, 0xFFFFFF, 0x979797, 0xFFFDF9, 0xFFFAF0, 0x000000, 0xFCF2DA, 0xFFFAF0, 0xFFFDF9, 0x000000, 0xFCF2DA},
    {0xFFFFFF, 0xFFFFFF, 0x979797, 0xFDFBFA, 0xFDF3EB, 0x000000, 0xFBD6B8, 0xFDFBFA, 0xFDF3EB, 0x000000, 0xFBD6B8},
    {0xFFFFFF, 0xFFFFFF, 0x808080, clBtnFace, clBtnFace, 0x000000, clNone, clBtnFace, clBtnFace, 0x000000, clNone},
    {0xFFFFFF, 0xF1EFED, 0xEDEDEC, 0xFDF6EF, 0xF0DAC7, 0x5B391E, 0xC7B29F, 0xFDF6EF, 0xF0DAC7, 0x5B391E, 0xC7B29F},
    {0xFFFFFF, 0xF1EFED, 0xEDEDEC, 0xFFFFFF, 0xEDE5E0, 0x5B391E, 0xD2CDC8, 0xFFFFFF, 0xEDE5E0, 0x5B391E, 0xD2CDC8},
    {0xFFFFFF, 0xF1EFED, 0xEDEDEC, 0xBFBFBF, 0x919191, 0xD7D7D6, 0x6D6D6D, 0xBFBFBF, 0x919191, 0xD7D7D6, 0x6D6D6D},
};

struct TButtonColors
{
    TColor Color, ColorTo, Border, Hot, HotTo, BorderHot, Down, DownTo, BorderDown, Disabled, DisabledTo, Checked,
        CheckedTo, BorderChecked;
};

const TButtonColors kButtons[16] = {
    {0xFCE1CB, 0xE0A57D, clNone, 0xEBFDFF, 0xACECFF, 0x99CEDB, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0xF2F2F2, 0xB6B6B6, 0x76AFF1, 0x4190F3, C1},
    {0xECE2E1, 0xB39698, clNone, 0xEBFDFF, 0xACECFF, 0x99CEDB, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0xF2F2F2, 0xB6B6B6, 0x76AFF1, 0x4190F3, C1},
    {0xCFF0EA, 0x8CC0B1, clNone, 0xEBFDFF, 0xACECFF, 0x99CEDB, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0xF2F2F2, 0xB6B6B6, 0x76AFF1, 0x4190F3, C1},
    {0xFFFFFF, 0xC9D1D5, clNone, 0xD2BDB6, 0xD2BDB6, 0x808080, 0xB59285, 0xB59285, 0x808080, 0xD8D5D4, 0xD8D5D4, 0xD8D5D4, 0xD8D5D4, 0x808080},
    {0xFFEFE3, 0xFFDDC4, clNone, 0xEBFDFF, 0xACECFF, 0x99CEDB, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0xF2F2F2, 0xB6B6B6, 0x76AFF1, 0x4190F3, C1},
    {0xF2F1F0, 0xC9C2BD, clNone, 0xEBFDFF, 0xACECFF, 0x99CEDB, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0xF2F2F2, 0xB6B6B6, 0x76AFF1, 0x4190F3, C1},
    {0xFFFFFF, clBtnFace, clNone, 0xEFD3C6, 0xEFD3C6, clHighlight, clActiveCaption, clActiveCaption, clHighlight, 0xB6B6B6, 0xB6B6B6, 0xB9D8DC, 0xB9D8DC, 0x000000},
    {0xFFFFFF, 0xDFEDF0, clNone, 0xEBFDFF, 0xACECFF, 0x99CEDB, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0xF2F2F2, 0xB6B6B6, 0x76AFF1, 0x4190F3, C1},
    {kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep},
    {0xF9F8F8, 0xE4E2DF, clNone, 0xEBFDFF, 0xACECFF, 0x99CEDB, 0xAAD9FF, 0x6EBBFF, 0x42AEFE, 0xF2F2F2, 0xB6B6B6, 0x76AFF1, 0x4190F3, C1},
    {0xFFFDF9, 0xFFFAF0, 0xFCF2DA, 0xFEF9F0, 0xFFFAF0, 0xFCF2DA, 0xFEF9F0, 0xFDF0D7, 0xFEDF9A, 0xFFFFFF, 0xFFFFFF, 0xFEF9F0, 0xFDF0D7, 0xFEDF9A},
    {0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFCEBDC, 0xFCDBC1, 0xCEA27D, 0xFFFFFF, 0xFFFFFF, 0xFEF9F0, 0xFCDBC1, 0xCEA27D},
    {clBtnFace, clBtnFace, clNone, 0xC0C0C0, 0xC0C0C0, 0x808080, clHighlight, clHighlight, 0x808080, clBtnFace, clBtnFace, clBtnFace, clBtnFace, clHighlight},
    {0xFDF6EF, 0xF0DAC7, 0xC7B29F, 0x8AE3FD, clNone, 0x58CAF1, 0x6CD0FF, clNone, 0x308AC2, 0xF2F2F2, 0xB6B6B6, 0x45E1FE, clNone, 0x4FA0CE},
    {0xFFFFFF, 0xEDE5E0, 0xD2CDC8, 0x8AE3FD, clNone, 0x58CAF1, 0x6CD0FF, clNone, 0x308AC2, 0xF2F2F2, 0xB6B6B6, 0x45E1FE, clNone, 0x4FA0CE},
    {0xBFBFBF, 0x919191, 0xD7D7D6, 0x8AE3FD, clNone, 0x58CAF1, 0x6CD0FF, clNone, 0x308AC2, 0xF2F2F2, 0xB6B6B6, 0x45E1FE, clNone, 0x4FA0CE},
};

struct TItemColors
{
    TColor Hot, HotTo, MirrorHot, MirrorHotTo, Selected, SelectedTo, MirrorSelected, MirrorSelectedTo, Border,
        BorderTop, BorderBottom, Edge, SelectedText;
};

constexpr TItemColors kOfficeItems{0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0xAAD9FF, 0x6EBBFF, 0x42AEFE,
                                   0x7AE1FE, 0x42AEFE, clNone,   clNone,   clNone,   0x000000};
constexpr TItemColors kOffice2007Items{0xEBFDFF, 0xACECFF, 0x59DAFF, 0xA4E9FF, 0xAAD9FF, 0x6EBBFF, 0x42AEFE,
                                       0x7AE1FE, 0x42AEFE, 0xF4FEFF, 0xCAF8FF, 0xC3D9DF, 0x000000};
constexpr TItemColors kOffice2010Items{0xD9F9FD, 0x8AE3FD, 0x8AE3FD, 0xD9F9FD, 0x7BEEFF, 0x6CD0FF, 0x6CD0FF,
                                       0x7BEEFF, 0x308AC2, clNone,   clNone,   clNone,   0x000000};

const TItemColors kItems[16] = {
    kOfficeItems,
    kOfficeItems,
    kOfficeItems,
    {0xD2BDB6, 0xD2BDB6, clNone, clNone, 0xB59285, 0xB59285, clNone, clNone, 0x808080, clNone, clNone, clNone, 0x000000},
    kOffice2007Items,
    kOffice2007Items,
    {0xEFD3C6, 0xEFD3C6, clNone, clNone, clHighlight, clNone, clNone, clNone, clHighlight, clNone, clNone, clNone,
     clHighlightText},
    kOfficeItems,
    {},
    kOffice2007Items,
    {0xFFFDF9, 0xFFFAF0, clNone, clNone, 0xFEF9F0, 0xFDF0D7, clNone, clNone, 0xFEDF9A, 0xFDFBF6, 0xFDF5E7, 0xFCEDCB,
     0x000000},
    {0xFDFBFA, 0xFDF3EB, clNone, clNone, 0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xCEA27D, 0xFDF4EB, 0xFDEADB, 0xE0C5AE,
     0x000000},
    {0xC0C0C0, 0xC0C0C0, clNone, clNone, clHighlight, clNone, clNone, clNone, 0x808080, clNone, clNone, clNone,
     clHighlightText},
    kOffice2010Items,
    kOffice2010Items,
    kOffice2010Items,
};

void Put(TColor& field, TColor value)
{
    if (value != kKeep)
        field = value;
}

} // namespace

void TExCustomDropDown::SetComponentStyle(TQRVStyle style)
{
    FQRVStyle = style;
    if (style == tsCustom)
        return;
    const TPopupColors& p = kPopup[static_cast<int>(style)];
    Put(FDropDownColor, p.DropDown);
    Put(FDropDownColorTo, p.DropDownTo);
    Put(FDropDownBorderColor, p.Border);
    FDropDownHeader->SetColor(p.HColor);
    FDropDownHeader->SetColorTo(p.HColorTo);
    FDropDownHeader->Font().SetColor(p.HFont);
    FDropDownHeader->SetBorderColor(p.HBorder);
    FDropDownFooter->SetColor(p.FColor);
    FDropDownFooter->SetColorTo(p.FColorTo);
    FDropDownFooter->Font().SetColor(p.FFont);
    FDropDownFooter->SetBorderColor(p.FBorder);
    const TButtonColors& b = kButtons[static_cast<int>(style)];
    TExButtonAppearance& a = *FButtonAppearance;
    a.SetColor(b.Color);
    a.SetColorTo(b.ColorTo);
    a.SetBorderColor(b.Border);
    a.SetColorHot(b.Hot);
    a.SetColorHotTo(b.HotTo);
    a.SetBorderColorHot(b.BorderHot);
    a.SetColorDown(b.Down);
    a.SetColorDownTo(b.DownTo);
    a.SetBorderColorDown(b.BorderDown);
    a.SetColorDisabled(b.Disabled);
    a.SetColorDisabledTo(b.DisabledTo);
    a.SetColorChecked(b.Checked);
    a.SetColorCheckedTo(b.CheckedTo);
    a.SetBorderColorChecked(b.BorderChecked);
}

void TExCustomDropDown::SetColorTones(const TColorTones& tones)
{
    if (FButton) {
        FButton->FButtonColor = tones.Background.BrushColor;
        FButton->FButtonColorHot = tones.Hover.BrushColor;
        FButton->FButtonColorDown = tones.Selected.BrushColor;
        FButton->FButtonBorderColor = tones.Background.BorderColor;
    }
    SetBorderColor(tones.Background.BorderColor);
}

void TExCustomDropDown::SetSelectionColorStyle(TSelectionColorStyle style)
{
    FSelectionColorStyle = style;
    switch (style) {
    case scOffice2007:
        FSelectionColor = 0xD7FFFD;
        FSelectionColorTo = 0x58D4FC;
        break;
    case scWindowsVista:
        FSelectionColor = 0xFDF8F1;
        FSelectionColorTo = 0xFCEFD5;
        break;
    case scWindows7:
        FSelectionColor = 0xFCEBDC;
        FSelectionColorTo = 0xFCDBC1;
        break;
    case scCustom:
        break;
    }
}

void TExCustomDropDown::DrawSelection(TCanvas& canvas, const TRect& r, TColor background, int kind)
{
    switch (FSelectionColorStyle) {
    case scCustom:
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        canvas.Brush().SetColor(FSelectionColor);
        canvas.Pen().SetColor(FSelectionColor);
        canvas.FillRect(r);
        break;
    case scOffice2007:
        DrawRoundFrame(canvas, FSelectionColor, FSelectionColorTo, kind, r, background, 0xC3D9DF, 0x8DD7D3,
                       0xCAF8FF, 0xF4FEFF, 0x58D4FC, 0xB3F1FC);
        break;
    case scWindowsVista:
        DrawRoundFrame(canvas, FSelectionColor, FSelectionColorTo, kind, r, background, 0xFCEDCB, 0xFDDE99,
                       0xFDF5E7, 0xFDFBF6, clNone, clNone);
        break;
    case scWindows7:
        DrawRoundFrame(canvas, FSelectionColor, FSelectionColorTo, kind, r, background, 0xE0C5AE, 0xCEA27D,
                       0xFDEADB, 0xFDF4EB, clNone, clNone);
        break;
    }
}

void TExCustomDropDown::DrawDropDownGradient(TCanvas& canvas, TColor from, TColor to, TGradientDirection direction,
                                             const TRect& r, int steps)
{
    DrawSteppedGradient(canvas, from, to, direction == gdHorizontal, r, steps);
}

void TExCustomDropDown::SetItemAppearanceStyle(TItemAppearance* a, TQRVStyle style)
{
    if (!a || style == tsCustom)
        return;
    a->BorderColorHot = clNone;
    a->BorderColorSelected = clNone;
    a->ColorSelectedText = clBlack;
    a->ColorHotText = clBlack;
    const TItemColors& c = kItems[static_cast<int>(style)];
    a->ColorHot = c.Hot;
    a->ColorHotTo = c.HotTo;
    a->ColorMirrorHot = c.MirrorHot;
    a->ColorMirrorHotTo = c.MirrorHotTo;
    a->ColorSelected = c.Selected;
    a->ColorSelectedTo = c.SelectedTo;
    a->ColorMirrorSelected = c.MirrorSelected;
    a->ColorMirrorSelectedTo = c.MirrorSelectedTo;
    a->BorderColor = c.Border;
    a->BorderColorTop = c.BorderTop;
    a->BorderColorBottom = c.BorderBottom;
    a->EdgeColor = c.Edge;
    a->ColorSelectedText = c.SelectedText;
}
