#pragma once

// String routines shared by the two halves of the HTML module.

#include <QString>

namespace htmle {

// Upper-cases the letters a to z only, so positions stay as they are.
QString UpperAscii(const QString& text);
// Where the attribute `name` (upper-case) starts in the upper-cased tag
// text: a whole word followed by "="; -1 when it is not there.
qsizetype FindAttribute(const QString& upperTag, const QString& name);
// The text between the first two double quotes after the attribute.
bool AttributeValue(const QString& tag, const QString& name, QString& value);
// The integer the text starts with (blanks and a sign allowed); fallback
// when it starts with none.
int IntOfText(const QString& text, int fallback);

} // namespace htmle
