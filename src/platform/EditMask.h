#pragma once

// The platform's edit-mask language, read into Qt's input mask. A mask is
// "body;keep;blank": in the body L l (letter), A a (letter or digit), C c
// (any character), 0 9 (digit) and # (digit or sign) are places, the
// capital or 0 one required and the other optional; > and < turn what is
// typed to upper or lower case and <> ends that; \ makes the next character
// a literal, _ shows a blank, any other character is a literal. "keep" 0
// leaves the literals out of the text the edit gives; "blank" is the
// character shown in empty places ("_" when absent).

#include <QChar>
#include <QString>

#include <vector>

namespace platform {

struct TEditMask
{
    QString qtMask;              // empty: no mask
    std::vector<bool> literal;   // per shown position: a literal, not a place
    bool saveLiterals = true;
    QChar blank = QLatin1Char('_');
};

TEditMask TranslateEditMask(const QString& mask);

// The text a masked edit gives for what it shows: what was typed into the
// places (blanks left out), with the literals when they are saved.
QString MaskedText(const TEditMask& mask, const QString& shown);

} // namespace platform
