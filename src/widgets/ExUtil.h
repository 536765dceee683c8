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
#include <vector>

// Days since 30 December 1899, the time of day as the fraction.
using TDateTime = double;

// ---------------------------------------------------------------------------
// Text, numbers, dates and URLs
// ---------------------------------------------------------------------------

// Regional settings --------------------------------------------------------

// The regional settings the number and date routines read.
struct TRegionalSettings
{
    QChar ThousandSeparator; // QChar() when the region has none
    QChar DecimalSeparator;
    QChar DateSeparator;
    QChar TimeSeparator;
    QString ShortDateFormat; // letters d, M and y give the order of the fields
};

// The settings in force: the system locale's (read once) unless overridden.
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
// Cell texts of the grid's text layout, one per line: CR -> 9, LF -> 8,
// 0 -> 1 for texts holding a CR, an LF or a character 8, with escapes that
// make it reversible for every text.
QString PackLineBreaks(const QString& text);
// Undoes PackLineBreaks for texts holding a character 8; without multiLine
// only the text before the first CR is kept.
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

// One value in a format of the "%.2f" kind (d, u, x, e, f, g, n, m, s with
// width, "-" and precision; "%%" is a percent sign), with the regional
// decimal and thousands separators. Every specifier shows the same value.
QString FormatFloatText(const QString& format, double value);
// The same language with one value per specifier, in order; false when the
// format asks for more values than given.
bool FormatValuesText(const QString& format, const std::vector<double>& values, QString& out);

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------

// Every routine draws on the canvas it is given, leaves that canvas's pen,
// brush and font as stated and keeps no state. Colours are mixed after system
// colours are resolved to RGB. Rounding is to nearest, halves to even.

struct TColorTones;
class QWidget;

enum class TGradientDirection { gdVertical, gdHorizontal };
using enum TGradientDirection;

// Colour arithmetic --------------------------------------------------------

// Each component halved.
platform::TColor HalfColor(platform::TColor color);
// Each component c becomes round(c + c x percent / 100), kept within 0..255.
platform::TColor ScaleColor(platform::TColor color, int percent);
// The colour at b of a range running from a (color1) to c (color2): per
// component c1 + round((c2 - c1) / (c - a) x b), kept within 0..255. color1
// when color2 is clNone or the range is empty.
platform::TColor ColorBetween(platform::TColor color1, platform::TColor color2, int a, int b, int c);

// Gradients and fills ------------------------------------------------------

// steps + 1 bands (steps kept within 1 .. extent - 1) from `from` to `to`,
// each band's colour in pen and brush; the last band is `to`. Horizontal
// runs from left to right. With clNone as one colour the other fills flat.
void DrawGradient(platform::TCanvas& canvas, platform::TColor from, platform::TColor to, bool horizontal,
                  platform::TRect rect, int steps);
// steps solid bands (0 counts as 1) from `from` toward `to`, vertical stripes
// when horizontal. The band size is (extent - 1) / steps and each band is one
// pixel thicker than that, so the last band never quite reaches `to`. Pen and
// brush end in the last band's colour.
void DrawSteppedGradient(platform::TCanvas& canvas, platform::TColor from, platform::TColor to, bool horizontal,
                         const platform::TRect& rect, int steps);
// A cell background: flat, a 128-step gradient to colorTo, or two mirrored
// halves (colour..colorTo, mirrorFrom..mirrorTo); then a frame or two side
// lines in frameColor unless that is clNone. A flat fill reaches one pixel
// below the rectangle.
void DrawGradientBackground(platform::TCanvas& canvas, const platform::TRect& rect, platform::TColor color,
                            bool fill, bool twoLines, platform::TColor frameColor, bool vertical,
                            platform::TColor mirrorTo, platform::TColor mirrorFrom, platform::TColor colorTo);
// Brush colour, fill.
void DrawSolidFill(platform::TCanvas& canvas, platform::TColor color, const platform::TRect& rect);
// The rounded frame of header cells and selections. kind: 0 both sides
// closed, 1 left only, 2 right only, 3 none, 4 none with both ends two pixels in.
void DrawRoundFrame(platform::TCanvas& canvas, platform::TColor colorFrom, platform::TColor colorTo, int kind,
                    const platform::TRect& rect, platform::TColor outerCornerColor, platform::TColor innerCornerColor,
                    platform::TColor borderColor, platform::TColor lowerInnerColor, platform::TColor upperInnerColor,
                    platform::TColor mirrorTo, platform::TColor mirrorFrom);

// Classic frame controls ---------------------------------------------------

// The desktop's classic controls in its 3-D colours: push buttons, scroll
// arrows, the combo-box button, check boxes and radio buttons.
constexpr unsigned DFC_SCROLL = 3, DFC_BUTTON = 4;
constexpr unsigned DFCS_BUTTONCHECK = 0x0000, DFCS_BUTTONRADIO = 0x0004, DFCS_BUTTON3STATE = 0x0008,
                   DFCS_BUTTONPUSH = 0x0010, DFCS_SCROLLUP = 0x0000, DFCS_SCROLLDOWN = 0x0001,
                   DFCS_SCROLLCOMBOBOX = 0x0005, DFCS_INACTIVE = 0x0100, DFCS_PUSHED = 0x0200,
                   DFCS_CHECKED = 0x0400, DFCS_HOT = 0x1000, DFCS_FLAT = 0x4000;
void DrawFrameControl(platform::TCanvas& canvas, const platform::TRect& rect, unsigned type, unsigned state);

// Buttons in cells -----------------------------------------------------------
// state: 0 normal, 1 hot, 2 pressed, 3 disabled (tones Background, Hover,
// Selected, Disabled). look: 0 visual style (classic while styles are off),
// 1 classic, 2 flat, 3 colour tones.

void DrawComboButton(platform::TCanvas& canvas, const QWidget* window, const platform::TRect& rect,
                     const TColorTones& tones, int state, int look);
void DrawCellButton(platform::TCanvas& canvas, const QWidget* window, const platform::TRect& rect,
                    const TColorTones& tones, int state, int look);
void DrawSpinButtons(platform::TCanvas& canvas, const QWidget* window, const platform::TRect& rect,
                     const TColorTones& tones, int state, int look);
// Filled triangle x-3,y; x+3,y; x,y+3.
void DrawSmallTriangle(platform::TCanvas& canvas, int x, int y, platform::TColor color);

// Progress and indicators ------------------------------------------------------

// A progress bar with its text changing colour where the bar ends. The brush
// colour at entry is the background. Without a format, value is the
// percentage and the text is it rounded followed by "%"; with one (printf
// style, "%d" or "%u" taking the rounded value, others the value) the
// percentage is value's place between minimum and maximum (0 when they are
// equal). yAxisUp is for canvases whose vertical axis points up (a printer's
// logical mapping); the text is then placed for that axis.
void DrawProgress(platform::TCanvas& canvas, platform::TRect rect, platform::TColor doneColor, bool yAxisUp,
                  platform::TColor borderColor, const QString& format, int maximum, int minimum, int verticalInset,
                  int horizontalInset, double value, platform::TColor restTextColor, platform::TColor restColor,
                  platform::TColor doneTextColor);
// A grey circle with the sector of `percentage` from the top, clockwise,
// filled. yAxisUp as for DrawProgress; the sector is found either way.
void DrawProgressPie(platform::TCanvas& canvas, const platform::TRect& rect, platform::TColor fillColor,
                     bool yAxisUp, int percentage);

struct TXPProgressLook
{
    platform::TColor Level0Color = platform::clNone, Level0ColorTo = platform::clNone;
    platform::TColor Level1Color = platform::clNone, Level1ColorTo = platform::clNone;
    platform::TColor Level2Color = platform::clNone, Level2ColorTo = platform::clNone;
    platform::TColor Level3Color = platform::clNone, Level3ColorTo = platform::clNone;
    int Level1Perc = 0, Level2Perc = 0;
    platform::TColor BorderColor = platform::clBlack;
    bool ShowBorder = false, Stacked = false, ShowPercentage = false;
    platform::TFont Font;
    platform::TColor FontColor = platform::clBlack;
    bool CompletionSmooth = false, ShowGradient = false;
    int Steps = 0;
    platform::TColor BackgroundColor = platform::clWhite;
    bool Vertical = false;
};
// The stepped bar of percentage 0..100 in up to three coloured zones.
void DrawXPProgress(platform::TCanvas& canvas, const platform::TRect& rect, int percentage,
                    const TXPProgressLook& look);
// A bar from the centre toward value's side (value kept within -range..range);
// nothing for a range of 0 or less. showValue writes the value centred.
void DrawRangeIndicator(platform::TCanvas& canvas, platform::TRect rect, int value, platform::TColor positiveColor,
                        platform::TColor negativeColor, bool showValue, int range);
// A red zig-zag under `length` characters of text from the 0-based index
// `first`, as the text stands in rect in the canvas font.
void DrawErrorUnderline(const QWidget* owner, platform::TCanvas& canvas, const QString& text, int length, int first,
                        int verticalOffset, const platform::TRect& rect);

// Bitmaps ----------------------------------------------------------------------

// The bitmap at rect's top-left, at its own size, with the colour of its
// top-left pixel replaced by `background`.
void DrawTransparentBitmap(platform::TCanvas& canvas, const platform::TBitmap& bitmap, platform::TColor background,
                           const platform::TRect& rect);
// The same with a bitmap resource of the program (see LoadBitmapResource).
void DrawBitmapResource(platform::TCanvas& canvas, platform::TColor background, const platform::TRect& rect,
                        const QString& name);

// Shapes of shape and rating cells ----------------------------------------------

enum class TCellShape
{
    csRectangle, csCircle, csTriangleLeft, csTriangleRight, csTriangleUp, csTriangleDown, csDiamond, csLineVert,
    csLineHorz, csRoundRect, csEllips, csSquare, csRoundSquare, csStar, csArrowUp, csArrowDown, csArrowLeft,
    csArrowRight, csHalfStar
};
using enum TCellShape;
// Pen and brush take the colours. Values outside the list draw nothing.
void DrawCellShape(platform::TCanvas& canvas, int left, int top, platform::TColor penColor, platform::TColor brushColor,
                   TCellShape shape, int height, int width);

// Layered windows --------------------------------------------------------------

// The desktop has no layered windows: both calls answer true and change nothing.
struct TBlendFunction
{
    unsigned char BlendOp = 0, BlendFlags = 0, SourceConstantAlpha = 255, AlphaFormat = 0;
};
bool CallUpdateLayeredWindow(QWidget* window, platform::TCanvas* destination, const platform::TPoint* destinationPos,
                             const platform::TSize* size, platform::TCanvas* source,
                             const platform::TPoint* sourcePos, platform::TColor colorKey, const TBlendFunction* blend,
                             unsigned flags);
bool CallSetLayeredWindowAttributes(QWidget* window, platform::TColor colorKey, unsigned char alpha, unsigned flags);

// Bitmap resources of the program, by name ("LBOK", "LBARROW" ...). A module
// that ships resources makes sure they are registered before it loads them.
// A name that is not there throws std::runtime_error ("Resource NAME not
// found"), and the bitmap is left as it was.
void LoadBitmapResource(platform::TBitmap& bitmap, const QString& name);
