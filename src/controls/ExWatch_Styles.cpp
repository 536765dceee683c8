// The watch's twelve preset looks and the library's colour schemes.
#include "controls/ExWatch.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

constexpr TFontStyles Regular = 0;

void SetWatchFont(TFont& f, TColor color, const QString& name, int size, TFontStyles style)
{
    if (color != clDefault)
        f.SetColor(color);
    if (!name.isEmpty())
        f.SetName(name);
    if (size > 0)
        f.SetSize(size);
    f.SetStyle(style);
}

const QString SansSerif = QStringLiteral("MS Sans Serif");

void Shadows(TWatchAppearance& a, TColor c)
{
    a.SetHourPointerShadow(c);
    a.SetMinutePointerShadow(c);
}

// The neon faces: one colour for marks and hands.
void NeonSet(TWatchAppearance& a, TColor c, TWatchShape shape)
{
    a.SetCenterPointSize(20);
    SetWatchFont(a.HourFont(), clWindowText, SansSerif, 8, Regular);
    a.SetHourColor(c);
    a.SetHourMarkLength(10);
    a.SetHourPointer(c);
    a.SetHourPointerShadow(clBtnShadow);
    a.SetHourPointerSize(2);
    a.SetMinuteColor(c);
    a.SetMinutePointer(c);
    a.SetMinutePointerShadow(clBtnShadow);
    a.SetMinutePointerSize(2);
    a.SetShape(shape);
    a.SetCenterPointOuterBorderColor(clBlack);
    a.SetHourMarkWidth(2);
    a.SetHourMarkStyle(hmsQuartDblLine);
}

} // namespace

void TExWatch::SetStyle(TWatchStyle style)
{
    if (style == FStyle)
        return;
    FStyle = style;
    ApplyStyle(style);
}

void TExWatch::ApplyStyle(TWatchStyle style)
{
    TWatchAppearance& a = *FAppearance;
    const int side = std::min(Width(), Height());
    // The classic dials share marks, numbers and thin hands.
    auto classicDial = [&](TColor hourHand, TColor shadows, TColor minuteHand, TColor secondHand) {
        a.SetHourColor(0xABB0B1);
        SetWatchFont(a.HourFont(), 0x797979, QStringLiteral("Times New Roman"), 9, a.HourFont().Style());
        a.SetHourPointer(hourHand);
        Shadows(a, shadows);
        a.SetHourPointerSize(2);
        a.SetMinuteColor(0x808080);
        a.SetMinutePointer(minuteHand);
        a.SetMinutePointerSize(2);
        a.SetMinuteMarkLength(1);
        a.SetSecondPointer(secondHand);
        a.SetTickMarks(tmQuartHours);
        SetShowAMPM(false);
        SetShowNumbers(true);
    };
    switch (style) {
    case wsClassic:
        a.SetDefaults();
        SetWatchFont(a.AMPMFont(), clDefault, SansSerif, 0, Regular);
        SetWatchFont(a.HourFont(), clDefault, QStringLiteral("Comic Sans MS"), 10, fsBold);
        a.SetHourMarkLength(8);
        a.SetHourPointer(clBlack);
        Shadows(a, clBtnShadow);
        a.SetHourPointerSize(5);
        a.SetMinuteMarkLength(4);
        SetAnimation(true);
        SetAnimationFactor(10);
        SetShowAMPM(true);
        SetShowNumbers(true);
        break;
    case wsTower:
        a.SetDefaults();
        SetWatchFont(a.AMPMFont(), clDefault, SansSerif, 0, Regular);
        a.SetAMPMFrame(apRect);
        a.SetBorderWidth(1);
        a.SetBackgroundColor(0xB1F0FE);
        a.SetBackgroundGradient(wgDiagonalForward);
        a.SetCenterPointColor(0x2BD5);
        a.SetCenterPointSize(6);
        SetWatchFont(a.HourFont(), clWindowText, QStringLiteral("Century"), 0, fsBold);
        a.SetHourPointer(clBlack);
        Shadows(a, clBtnShadow);
        a.SetHourPointerSize(5);
        a.SetSecondPointer(0x2BD5);
        a.SetShape(wsRect);
        a.SetPointerStyle(psPointer);
        a.SetBackgroundColorTo(0x5BCCE8);
        a.SetAMPMColor(a.BackgroundColor());
        SetShowNumbers(false);
        a.SetTickMarks(tmHours);
        break;
    case wsFluorescent:
        a.SetDefaults();
        SetWatchFont(a.AMPMFont(), clWindowText, SansSerif, 10, Regular);
        a.SetAMPMFrame(apRoundRect);
        a.SetBorderColor(0xFF3E3E);
        a.SetBackgroundColor(clBlack);
        a.SetBackgroundColorTo(clBlack);
        a.SetCenterPointColor(0xFF3E3E);
        a.SetCenterPointBorderColor(clBlack);
        a.SetCenterPointOuterBorderColor(clBlack);
        NeonSet(a, 0xFF3E3E, wsRoundRect);
        a.SetTickMarks(tmHours);
        SetShowAMPM(false);
        SetShowNumbers(false);
        break;
    case wsEmerald:
        a.SetDefaults();
        SetWatchFont(a.AMPMFont(), 0xA00000, SansSerif, 0, Regular);
        a.SetAMPMFrame(apRoundRect);
        a.SetBorderColor(0x3AE800);
        a.SetBackgroundColor(0x3AE800);
        a.SetBackgroundColorTo(clBlack);
        a.SetBackgroundGradient(wgDiagonalForward);
        a.SetCenterPointBorderColor(0x40FF00);
        a.SetCenterPointColor(0x38E100);
        a.SetCenterPointSize(16);
        SetWatchFont(a.HourFont(), a.BackgroundColor(), SansSerif, 0, Regular);
        a.SetHourPointer(0x40FF00);
        a.SetMinutePointer(0x40FF00);
        Shadows(a, clBtnShadow);
        a.SetHourPointerSize(5);
        a.SetShape(wsRect);
        a.SetPointerStyle(psPointer);
        a.SetAMPMColor(clNone);
        a.SetCenterPointOuterBorderColor(clBlack);
        a.SetHourMarkStyle(hmsQuartDblLine);
        a.SetHourColor(a.BackgroundColor());
        a.SetSecondPointer(0xFFFF);
        a.SetTickMarks(tmHours);
        SetShowNumbers(false);
        SetShowAMPM(false);
        break;
    case wsBlueStar:
        a.SetDefaults();
        SetWatchFont(a.AMPMFont(), 0xA00000, SansSerif, 10, Regular);
        a.SetAMPMBorderColor(clNone);
        a.SetAMPMFrame(apRoundRect);
        a.SetBorderColor(0xFFD5D5);
        a.SetBackgroundColor(0xFFD5D5);
        a.SetBackgroundColorTo(0xA00000);
        a.SetBackgroundGradient(wgRadial);
        SetWatchFont(a.HourFont(), a.BackgroundColor(), SansSerif, 8, Regular);
        a.SetHourPointer(0xA00000);
        a.SetMinutePointer(0xA00000);
        Shadows(a, clBtnShadow);
        a.SetHourPointerSize(5);
        a.SetShape(wsRoundRect);
        a.SetPointerStyle(psPointer);
        a.SetAMPMColor(clNone);
        SetShowAMPM(true);
        SetShowNumbers(true);
        break;
    case wsFuchsia:
        a.SetDefaults();
        SetWatchFont(a.AMPMFont(), clWindowText, SansSerif, 10, Regular);
        a.SetAMPMFrame(apRoundRect);
        a.SetBorderColor(0xFFD0FF);
        a.SetBackgroundColor(clBlack);
        a.SetBackgroundColorTo(clBlack);
        a.SetCenterPointBorderColor(0xDD68DD);
        NeonSet(a, 0xFFD0FF, wsRect);
        a.SetSecondPointer(0xDD68DD);
        a.SetTickMarks(tmQuartHours);
        SetShowAMPM(false);
        SetShowNumbers(false);
        break;
    case wsBlack:
        a.SetDefaults();
        SetWatchFont(a.AMPMFont(), clDefault, SansSerif, 0, Regular);
        a.SetBackgroundColor(0x202020);
        a.SetBackgroundColorTo(clNone);
        a.SetBorderColor(clBlack);
        a.SetCenterPointBorderColor(clWhite);
        a.SetCenterPointOuterBorderColor(clWhite);
        a.SetCenterPointColor(clWhite);
        a.SetHourColor(0x585858);
        a.SetMinuteColor(0x585858);
        SetWatchFont(a.HourFont(), clWhite, QStringLiteral("Century Gothic"), 11, a.HourFont().Style());
        a.SetHourPointer(clWhite);
        a.SetMinutePointer(clWhite);
        Shadows(a, clBtnShadow);
        a.SetHourPointerSize(5);
        a.SetMinuteMarkLength(4);
        SetShowAMPM(false);
        SetShowNumbers(true);
        break;
    case wsBlackWhite:
        a.SetDefaults();
        a.SetBackgroundColor(clWhite);
        a.SetBackgroundColorTo(clNone);
        a.SetBorderColor(clBlack);
        a.SetBorderWidth(8);
        a.SetCenterPointBorderColor(clBlack);
        a.SetCenterPointOuterBorderColor(clBlack);
        a.SetCenterPointColor(clBlack);
        a.SetCenterPointSize(8);
        a.SetHourColor(0x585858);
        SetWatchFont(a.HourFont(), clBlack, QStringLiteral("Century Gothic"), 14, fsBold);
        a.SetHourPointer(clBlack);
        a.SetMinutePointer(clBlack);
        Shadows(a, clBtnShadow);
        a.SetHourPointerSize(5);
        a.SetMinuteMarkLength(4);
        a.SetSecondPointer(0x80);
        a.SetPointerStyle(psPointer);
        a.SetTickMarks(tmQuartHours);
        SetShowAMPM(false);
        SetShowNumbers(true);
        break;
    case wsGray:
        a.SetDefaults();
        SetWatchFont(a.AMPMFont(), clDefault, SansSerif, 10, a.AMPMFont().Style());
        a.SetBackgroundColor(0xD1D1D1);
        a.SetBackgroundColorTo(0x6C6C6C);
        a.SetBackgroundGradient(wgRadial);
        a.SetBorderColor(0x454545);
        a.SetCenterPointBorderColor(0x454545);
        a.SetCenterPointColor(clBlack);
        a.SetCenterPointOuterBorderColor(clNone);
        a.SetHourColor(clBlack);
        SetWatchFont(a.HourFont(), clDefault, QStringLiteral("Comic Sans MS"), 8, Regular);
        a.SetHourPointer(0x4E4E4E);
        a.SetMinutePointer(0x4E4E4E);
        Shadows(a, clNone);
        a.SetHourPointerSize(1);
        a.SetMinutePointerSize(1);
        a.SetMinuteColor(0x808080);
        a.SetSecondPointer(0xFF);
        SetShowAMPM(true);
        SetShowNumbers(true);
        break;
    case wsSuperNova:
        a.SetDefaults();
        a.SetBackgroundColorTo(0xD1D3D3);
        a.SetBorderColor(clNone);
        a.SetCenterPointOuterBorderColor(clBlack);
        a.SetCenterPointSize(10);
        a.SetHourMarkLength(static_cast<int>(std::nearbyint(side / 4.5)));
        a.SetHourPointer(clBlack);
        a.SetHourPointerShadow(clBtnShadow);
        a.SetMinuteColor(0x808080);
        a.SetMinuteMarkLength(side / 3);
        a.SetMinutePointer(clBlack);
        SetShowAMPM(false);
        SetShowNumbers(false);
        break;
    case wsSports:
        a.SetDefaults();
        a.SetBackgroundColor(clBlack);
        a.SetBackgroundColorTo(clNone);
        a.SetBorderColor(clBlack);
        a.SetBorderWidth(1);
        a.SetCenterPointBorderColor(0xFF0000);
        a.SetCenterPointOuterBorderColor(clBlack);
        a.SetCenterPointColor(0x191919);
        a.SetCenterPointSize(static_cast<int>(std::nearbyint(side / 3.6)));
        classicDial(clRed, clNone, clYellow, 0x188BFE);
        break;
    case wsSmooth:
        a.SetDefaults();
        a.SetBackgroundColor(clWhite);
        a.SetBackgroundColorTo(0xABB0B1);
        a.SetBorderColor(0x585858);
        a.SetBorderWidth(1);
        a.SetCenterPointBorderColor(clBlack);
        a.SetCenterPointOuterBorderColor(0x4A4A4A);
        a.SetCenterPointColor(clWhite);
        a.SetCenterPointSize(6);
        classicDial(0x4A4A4A, 0xB2B2B2, 0x4A4A4A, 0x4A4A4A);
        break;
    default:
        return;
    }
    FFaceValid = false;
    Invalidate();
}

void ApplyWatchComponentStyle(TWatchAppearance& a, TQRVStyle style)
{
    a.SetCenterPointOuterBorderColor(clBlack);
    a.HourFont().SetColor(clBlack);
    a.AMPMFont().SetColor(clBlack);
    struct Scheme
    {
        TQRVStyle Style;
        TColor AMPMBorder, AMPM, Background, BackgroundTo, Border, CenterBorder, Center, MarksAndHands, Shadows,
            Second;
    };
    static const Scheme schemes[] = {
        {tsOffice2003Blue, 0x962D00, 0xD68759, 0xFFD2AF, 0xFFD2AF, 0xD68759, 0xD68759, 0xD68759, 0xD68759, clWhite,
         clWhite},
        {tsOffice2003Silver, 0x962D00, 0xBDA4A5, 0xE6D8D8, 0xE6D8D8, 0xBDA4A5, 0xBDA4A5, 0xBDA4A5, 0xBDA4A5, clWhite,
         clWhite},
        {tsOffice2003Olive, 0x962D00, 0x82C0AF, 0xB9EAE1, 0xB9EAE1, 0x82C0AF, 0x82C0AF, 0x82C0AF, 0x82C0AF, clWhite,
         clWhite},
        {tsOffice2003Classic, 0x962D00, 0x808080, 0xF2F2F2, 0xF2F2F2, 0x808080, 0x808080, 0x808080, 0x808080, clWhite,
         0x808080},
        {tsOffice2007Luna, 0xF0DED0, 0xF0DED0, 0xFFEFE3, 0xFFEFE3, 0xF0DED0, 0xFFEFE3, 0xFFEFE3, 0x723708, clWhite,
         0x723708},
        {tsOffice2007Obsidian, 0xF2F1F0, 0x5C534C, 0x5C534C, 0x5C534C, 0xF2F1F0, 0xFFEFE3, 0xFFEFE3, 0xF2F1F0, clWhite,
         0xF2F1F0},
        {tsWindowsXP, clBlack, clBtnFace, clBtnFace, clBtnFace, clBlack, clBlack, clBlack, clBlack, clWhite, clBlack},
        {tsWhidbey, 0x7E9898, 0xF5F9FA, 0xF5F9FA, 0xF5F9FA, 0x7E9898, 0x7E9898, 0x7E9898, 0x7E9898, clWhite, 0x7E9898},
        {tsOffice2007Silver, 0xE8E0DB, 0xF8F4F1, 0xF8F4F1, 0xF8F4F1, 0xE8E0DB, 0xE8E0DB, 0x74706F, 0x74706F, clWhite,
         0x74706F},
        {tsWindowsVista, 0xFEDF9A, 0xFFFDF9, 0xFFFDF9, 0xFFFAF0, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A, 0xFEDF9A, clWhite,
         0xFEDF9A},
        {tsWindows7, 0xFBD6B8, 0xFDFBFA, 0xFDFBFA, 0xFDF3EB, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8, 0xFBD6B8, clWhite,
         0xFBD6B8},
        {tsTerminal, 0x808080, clBtnFace, clBtnFace, clBtnFace, 0x808080, 0x808080, 0x808080, 0x808080, clWhite,
         0x808080},
        {tsOffice2010Blue, 0xC7B29F, 0xF0DAC7, 0xFDF6EF, 0xFDF6EF, 0xC7B29F, 0xC7B29F, 0xC7B29F, 0xC7B29F, clWhite,
         0xC7B29F},
        {tsOffice2010Silver, 0xD2CDC8, 0xEDE5E0, clWhite, clWhite, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, 0xD2CDC8, clSilver,
         0xD2CDC8},
        {tsOffice2010Black, 0x6D6D6D, 0x919191, 0xBFBFBF, 0xBFBFBF, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, 0x6D6D6D, clWhite,
         0x6D6D6D},
    };
    for (const Scheme& s : schemes) {
        if (s.Style != style)
            continue;
        a.SetAMPMBorderColor(s.AMPMBorder);
        a.SetAMPMColor(s.AMPM);
        a.SetBackgroundColor(s.Background);
        a.SetBackgroundColorTo(s.BackgroundTo);
        a.SetBorderColor(s.Border);
        a.SetCenterPointBorderColor(s.CenterBorder);
        a.SetCenterPointColor(s.Center);
        a.SetHourColor(s.MarksAndHands);
        a.SetMinuteColor(s.MarksAndHands);
        a.SetHourPointer(s.MarksAndHands);
        a.SetMinutePointer(s.MarksAndHands);
        a.SetHourPointerShadow(s.Shadows);
        a.SetMinutePointerShadow(s.Shadows);
        a.SetSecondPointer(s.Second);
        if (style == tsOffice2007Obsidian) {
            a.AMPMFont().SetColor(0xF2F1F0);
            a.HourFont().SetColor(0xF2F1F0);
        }
        break;
    }
}

void TExWatch::SetComponentStyle(TQRVStyle style)
{
    ApplyWatchComponentStyle(*FAppearance, style);
}
