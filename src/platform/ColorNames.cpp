#include "platform/ColorNames.h"

#include "platform/NumberText.h"

#include <iterator>
#include <stdexcept>

namespace platform {

namespace {

struct TColorName
{
    TColor color;
    const char* name;
};

// The first name of a colour is the one written.
constexpr TColorName ColorNames[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"}, {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"}, {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clBackground, "clBackground"}, {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"}, {clBtnShadow, "clBtnShadow"}, {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"}, {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"}, {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clInfoBk, "clInfoBk"}, {clInfoText, "clInfoText"},
    {clMenu, "clMenu"}, {clMenuBar, "clMenuBar"}, {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"}, {clNone, "clNone"}, {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"}, {clWindowText, "clWindowText"},
    {clGray, "clDkGray"}, {clSilver, "clLtGray"},
};

} // namespace

QString ColorToString(TColor color)
{
    for (const TColorName& n : ColorNames)
        if (n.color == color)
            return QLatin1String(n.name);
    return u'$' + QStringLiteral("%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
}

TColor StringToColor(const QString& text)
{
    for (const TColorName& n : ColorNames)
        if (text.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return n.color;
    if (const auto v = ParseNumber(text))
        return static_cast<TColor>(*v);
    throw std::invalid_argument("'" + text.toStdString() + "' is not a valid colour value");
}

} // namespace platform
