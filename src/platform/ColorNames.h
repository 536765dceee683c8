#pragma once

#include "platform/Graphics.h"

#include <QString>

namespace platform {

// A colour as text: its identifier ("clWindow", "clRed"...) when it has one,
// otherwise "$" and eight hexadecimal digits.
QString ColorToString(TColor color);

// An identifier (any letter case), "$" hexadecimal or a decimal number;
// anything else raises std::invalid_argument ("'x' is not a valid colour value").
TColor StringToColor(const QString& text);

} // namespace platform
