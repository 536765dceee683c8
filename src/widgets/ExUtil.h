#pragma once

// Stateless helpers shared by the grid, its extras and the drop-down
// controls. Text positions are 1-based, 0 meaning "not found", as the grid's
// callers count them.

#include "platform/Graphics.h" // TColor
#include "platform/GridTypes.h" // TGridRect

#include <QChar>
#include <QString>
#include <QStringList>

#include <optional>

// Days since 30 December 1899, the time of day as the fraction.
using TDateTime = double;

// ---------------------------------------------------------------------------
// Text, numbers, dates and URLs
// ---------------------------------------------------------------------------

// Regional settings --------------------------------------------------------

// The regional settings the number and date routines read at each call.
struct TRegionalSettings
{
    QChar ThousandSeparator; // QChar() when the region has none
    QChar DecimalSeparator;
    QChar DateSeparator;
    QChar TimeSeparator;
    QString ShortDateFormat; // letters d, M and y give the order of the fields
};

// The settings in force: those of the system locale unless an override is set.
TRegionalSettings RegionalSettings();
// Puts fixed settings in place of the system's (std::nullopt restores the
// system's). Meant for tests; not thread-safe.
void SetRegionalSettingsOverride(std::optional<TRegionalSettings> settings);

// Numbers and small routines ----------------------------------------------

int IntMax(int a, int b);
int IntMin(int a, int b);
// Equal bounds leave the value as it is; a bound of 0 or less is no bound.
int LimitValue(int value, int minimum, int maximum);
bool CellInGridRect(const platform::TGridRect& rect, int col, int row);
// Any Unicode number character, the digits 0..9 among them.
bool IsNumberChar(QChar c);
// "RRGGBB" of the low three bytes; system colours are not resolved.
QString ColorToHex(platform::TColor color);

// Searching and splitting --------------------------------------------------

// Position of sub in text (0 when absent or sub is empty), also stored in position.
int FindPos(const QString& sub, const QString& text, int& position);
// Position of sub (given upper-case) in the upper-cased text; the upper-casing
// keeps the length, so the position holds for the original text too.
int PosInUpper(const QString& sub, const QString& text);
int CharIndex(QChar c, const QString& text);
// Like CharIndex; position is written only when the character is found.
int FindCharIndex(QChar c, const QString& text, int& position);
int WidePos(const QString& sub, const QString& text);
// The text before the first delimiter; it and the delimiter leave text. With
// no delimiter the token is empty and text stays.
QString TakeToken(QString& text, const QString& delimiter);
// line = the text before the first CR (all of it when there is none); text
// keeps what follows the CR and one LF only when keepRest is set.
void TakeFirstLine(QString& text, bool keepRest, QString& line);
int CountTextLines(const QString& text, bool multiLine);
QString ConcatLines(const QStringList& lines);
int CountCharOccurrences(QChar c, const QString& text);
// The closing quote of a quoted field whose quotes inside are doubled: the
// last quote of the first odd run of quotes (0 when none), also stored in
// position.
int ClosingQuotePos(QChar quote, const QString& text, int& position);
int ClosingQuotePos(QChar quote, const QString& text);
// How many closing quotes follow one another, each search going on after the
// previous one: the number of odd runs of quotes.
int CountClosingQuotes(QChar quote, const QString& text);

// Line breaks and escapes --------------------------------------------------

QString LineBreaksToBR(const QString& text);
QString EscapesToLineBreaks(const QString& text);
QString LineBreaksToEscapes(const QString& text);
void QuoteMultiLine(QString& text);
void VTabToLineBreaks(QString& text);
void CRLFToLF(QString& text);
void LineBreaksToTilde(QString& text);
void TildeToLineBreaks(QString& text);
QString RemoveCR(const QString& text);
QString CRToLF(const QString& text);
// Stored cell texts: CR -> 9, LF -> 8, 0 -> 1, only for texts holding a CR.
QString PackLineBreaks(const QString& text);
// Undoes PackLineBreaks for texts holding a packed LF; without multiLine only
// the first line is kept.
QString UnpackLineBreaks(const QString& text, bool multiLine);

// Quoting and characters ---------------------------------------------------

QString DoubleQuotes(const QString& text);
QString UndoubleChar(QChar c, const QString& text);
void FillWithChar(QString& text, QChar c);
// The OEM code page is the Western European DOS page. The converted text holds
// one character per OEM byte, as the ANSI code page reads that byte, so that
// writing it in the ANSI code page writes the OEM bytes.
void StringToOem(QString& text);
void OemToString(QString& text);

// Wide-escaped text --------------------------------------------------------

// "|\" followed by the high and low byte of every UTF-16 unit, one character each.
QString EncodeWideText(const QString& wide);
// Texts without the "|\" marker come back as they are.
QString DecodeWideText(const QString& text);

// Cell texts ---------------------------------------------------------------

// 0 plain, 1 HTML (only when detectHTML), 2 RTF, 3 formula, 5 wide-escaped.
int CellTextKind(const QString& text, bool detectHTML);
// "R<row>C<col>"; col and row are written only on success.
bool ParseRCRef(const QString& text, int& col, int& row);

// URLs and HTML ------------------------------------------------------------

bool IsURL(const QString& text);
void StripURLScheme(QString& text);
// Escapes < and > and wraps the first URL starting with prefix (given
// upper-case) in an anchor; false, result untouched, when the prefix is absent.
bool LinkURLText(const QString& text, const QString& prefix, QString& result);
// Wraps an HTML fragment in the clipboard's HTML envelope.
void BuildCFHTML(QString& fragment);

// Numbers under the regional settings --------------------------------------

// The number in plain form: "-" for negative, "." as decimal point, no
// thousands separators.
QString NumberToDotText(const QString& text);
// 0 integer, 1 decimal number, 5 number with exponent, 2 anything else.
int NumberKind(const QString& text);
QString ProperCase(const QString& text);

// Dates ----------------------------------------------------------------------
// Where stated, an impossible date throws std::invalid_argument.

// "/", "." or "-" separated dates; years below 100 are 2000 + y up to 25,
// else 1900 + y. 0 when the text does not parse; an impossible date throws.
TDateTime ParseDateMDY(const QString& text);
TDateTime ParseDateDMY(const QString& text);
bool LooksLikeDate(const QString& text);
// The next date of a series: only days set adds days, only years or only
// months set moves the calendar date (the day is cut to the month's last day),
// anything else adds offset. A year outside 1..9999 throws.
TDateTime IncDateParts(int years, int months, int days, double offset, TDateTime date);
// A date in the regional short date order, optionally followed by a blank and
// a time. False for a text that does not parse; when only the time fails,
// dateTime holds the date.
bool ParseLocaleDateTime(const QString& text, TDateTime& dateTime);

// Filter conditions ----------------------------------------------------------

// Wildcards, comparisons, "&" and "|", ";", "^" (or), groups in parentheses,
// evaluated from left to right.
bool MatchCondition(const QString& condition, const QString& value, bool caseSensitive);

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

// Bitmap resources of the program, by name ("LBOK", "LBARROW" ...). A module
// that ships resources makes sure they are registered before it loads them.
// A name that is not there throws std::runtime_error ("Resource NAME not
// found"), and the bitmap is left as it was.
void LoadBitmapResource(platform::TBitmap& bitmap, const QString& name);
