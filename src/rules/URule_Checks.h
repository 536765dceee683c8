#pragma once

// The checks every rule table makes of its cells, written once. Each answers
// a question about a text and keeps no state; the rule-table engine and the
// windows' hooks build their messages from the answers.
//
// Numbers follow the program's number rule (decimal, or hexadecimal after
// "$", "x" or "0x"); a text that does not convert counts as -1, so it fails
// every range that starts at 0 or 1.

#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <vector>

namespace rules {

int Rule_Number(const QString& text);
bool In_Range(const QString& text, int64_t low, int64_t high);

// True when the text is NOT a dotted IPv4 address. The text is not trimmed:
// the first three parts are cut at the first ".", the fourth is the rest, and
// every part must convert to 0..255 (blanks before a part pass).
bool Check_IP_Address(const QString& text);

// A number with "," or "." as decimal separator, within low..high.
bool Float_In_Range(const QString& text, double low, double high);
bool Float_In_Range(const QString& text, double low, double high, QChar regionalSeparator);

// The trimmed text (upper-cased when asked) is one of the choices.
bool Is_One_Of(const QString& text, const QStringList& choices, bool upperCase = false);

// The last byte a rule uses in a data area: registers take two bytes a point
// from the Position; status points take one bit each from the Start Bit.
int64_t Span_Last_Byte(int64_t position, int64_t points, int64_t startBit, bool statusKind);
bool Span_Fits(int64_t position, int64_t points, int64_t startBit, bool statusKind, int64_t areaSize);

// A byte of a frame placed in the data area: empty or "None" (not stored)
// passes, else a position 0..areaSize - 1.
bool Byte_Position_Ok(const QString& text, int areaSize);

// Sizes added up in order: the index of the first size that takes the total
// beyond the limit, -1 when all fit. A size that does not convert counts as 0.
int First_Over_Total(const std::vector<int64_t>& sizes, int64_t limit);

// A KNX physical (individual) address, trimmed: "x.y.z" (x, y 0..15, z
// 0..255, each part trimmed), "x.y" (x 0..15, y 0..4095: the line and the
// device together, as the two-level group form splits its 16 bits), or a
// number 1..65535; never with a "/". Zero addresses pass when allowed.
bool KNX_Physical_Ok(const QString& text, bool allowZero);

// The error box text of the family: prefix, row number and message, joined
// without separators; the bound, when given, appended in decimal.
QString Error_Row_Text(const QString& prefix, int row, const QString& message);
QString Error_Row_Text(const QString& prefix, int row, const QString& message, int64_t bound);

// A text from a language file with printf-style places ("%d", "%i", "%u",
// "%s", "%%"), filled in order from the values. Nothing in the text is ever
// taken as an instruction: a place without a value, an unknown conversion, a
// width or any other "%" stays in the result as written.
QString Format_Message(const QString& format, const QVariantList& values);

} // namespace rules
