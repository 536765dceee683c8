#include "widgets/ExUtil.h"

#include "platform/TextCodec.h"

#include <QDate>
#include <QLocale>

#include <algorithm>
#include <array>
#include <climits>
#include <functional>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr char16_t CR = u'\r';
constexpr char16_t LF = u'\n';

// The settings with what the date parse derives from them, worked out once:
// a filter pass reads them for every cell.
struct TActiveRegional
{
    TRegionalSettings Settings;
    std::array<char, 3> DateOrder{}; // 'D', 'M', 'Y' as the short date format orders them
    bool HasDateOrder = false;
};

TActiveRegional MakeActiveRegional(TRegionalSettings rs);
TRegionalSettings ReadSystemRegionalSettings();

std::optional<TActiveRegional>& RegionalOverride()
{
    static std::optional<TActiveRegional> settings;
    return settings;
}

// The system's settings are read once, as the platform reads its regional
// settings at start.
const TActiveRegional& ActiveRegional()
{
    if (RegionalOverride())
        return *RegionalOverride();
    static const TActiveRegional system = MakeActiveRegional(ReadSystemRegionalSettings());
    return system;
}

// The first character of a Qt date or time format that is no field letter,
// no quote and no blank.
QChar FirstSeparator(const QString& format, QChar fallback)
{
    for (const QChar c : format) {
        if (!c.isLetter() && c != u'\'' && !c.isSpace())
            return c;
    }
    return fallback;
}

// 1-based position of sub from `from` on; 0 when absent or sub is empty.
int Pos(const QString& sub, const QString& text, qsizetype from = 0)
{
    if (sub.isEmpty())
        return 0;
    const qsizetype i = text.indexOf(sub, from);
    return i < 0 ? 0 : static_cast<int>(i) + 1;
}

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// One code point at i changed to upper or lower case when its mapping keeps
// the number of UTF-16 units; returns the units it spans.
int MapCodePoint(QString& s, qsizetype i, bool upper)
{
    char32_t cp = s[i].unicode();
    int units = 1;
    if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
        cp = QChar::surrogateToUcs4(s[i], s[i + 1]);
        units = 2;
    }
    const char32_t mapped = upper ? QChar::toUpper(cp) : QChar::toLower(cp);
    if (mapped == cp || (QChar::requiresSurrogates(mapped) ? 2 : 1) != units)
        return units;
    if (units == 2) {
        s[i] = QChar(QChar::highSurrogate(mapped));
        s[i + 1] = QChar(QChar::lowSurrogate(mapped));
    } else {
        s[i] = QChar(static_cast<char16_t>(mapped));
    }
    return units;
}

// Simple case mapping, one code point for one: positions found in the result
// hold for the original text (full mapping would turn one "ß" into "SS").
QString ToUpperSameLength(const QString& text)
{
    QString s = text;
    for (qsizetype i = 0; i < s.size();)
        i += MapCodePoint(s, i, true);
    return s;
}

// A decimal integer: leading blanks, an optional sign, digits, nothing after.
bool ParseDecimalInt(QStringView s, int& out)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    if (i >= s.size())
        return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (!IsAsciiDigit(s[i]))
            return false;
        v = v * 10 + (s[i].unicode() - u'0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > INT_MAX || v < INT_MIN)
        return false;
    out = static_cast<int>(v);
    return true;
}

const QDate& DateZero()
{
    static const QDate zero(1899, 12, 30);
    return zero;
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out)
{
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return false;
    out = static_cast<double>(DateZero().daysTo(QDate(year, month, day)));
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime d = 0;
    if (!TryEncodeDate(year, month, day, d)) {
        throw std::invalid_argument("Invalid date: year " + std::to_string(year) + ", month " +
                                    std::to_string(month) + ", day " + std::to_string(day));
    }
    return d;
}

bool TryEncodeTime(int hour, int minute, int second, TDateTime& out)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    out = (hour * 3600 + minute * 60 + second) / 86400.0;
    return true;
}

int DaysInMonth(int year, int month)
{
    return QDate(year, month, 1).daysInMonth();
}

// The calendar date moved to year/month with the day cut to the month's
// length; the time of day is kept.
TDateTime MoveCalendarDate(TDateTime date, int yearStep, int monthStep)
{
    const double dayPart = std::trunc(date);
    const double timePart = std::fabs(date - dayPart);
    const QDate d = DateZero().addDays(static_cast<qint64>(dayPart));
    const long long monthIndex =
        static_cast<long long>(d.year()) * 12 + (d.month() - 1) + static_cast<long long>(yearStep) * 12 + monthStep;
    long long year = monthIndex / 12;
    long long month0 = monthIndex % 12;
    if (month0 < 0) {
        month0 += 12;
        --year;
    }
    if (year < 1 || year > 9999)
        throw std::invalid_argument("Invalid date: year " + std::to_string(year));
    const int y = static_cast<int>(year);
    const int m = static_cast<int>(month0) + 1;
    const TDateTime moved = EncodeDate(y, m, std::min(d.day(), DaysInMonth(y, m)));
    return moved >= 0 ? moved + timePart : moved - timePart;
}

TDateTime ParseDateParts(const QString& text, bool monthFirst)
{
    QChar sep;
    for (const QChar c : {QChar(u'/'), QChar(u'.'), QChar(u'-')}) {
        if (text.contains(c)) {
            sep = c;
            break;
        }
    }
    if (sep.isNull())
        return 0;
    const qsizetype p1 = text.indexOf(sep);
    const qsizetype p2 = text.indexOf(sep, p1 + 1);
    if (p2 < 0)
        return 0;
    int a = 0, b = 0, year = 0;
    if (!ParseDecimalInt(QStringView(text).left(p1), a) ||
        !ParseDecimalInt(QStringView(text).mid(p1 + 1, p2 - p1 - 1), b) ||
        !ParseDecimalInt(QStringView(text).mid(p2 + 1), year))
        return 0;
    // Only two-digit years are given a century.
    if (year >= 0 && year < 100)
        year += year <= 25 ? 2000 : 1900;
    return monthFirst ? EncodeDate(year, a, b) : EncodeDate(year, b, a);
}

// Thousands separators dropped, decimal separator read as "."; plain decimal
// or exponent notation only.
bool RegionalTextToNumber(const QString& text, double& out)
{
    const TRegionalSettings& rs = ActiveRegional().Settings;
    QString s;
    s.reserve(text.size());
    for (const QChar c : text) {
        if (!rs.ThousandSeparator.isNull() && c == rs.ThousandSeparator)
            continue;
        s.append(c == rs.DecimalSeparator ? QChar(u'.') : c);
    }
    s = s.trimmed();
    for (const QChar c : s) {
        if (!IsAsciiDigit(c) && c != u'.' && c != u'-' && c != u'+' && c != u'e' && c != u'E')
            return false;
    }
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

// --- Filter conditions -----------------------------------------------------

qsizetype IndexOutsideQuotes(const QString& s, QChar c, qsizetype from = 0)
{
    bool quoted = false;
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s[i] == u'"')
            quoted = !quoted;
        else if (!quoted && s[i] == c)
            return i;
    }
    return -1;
}

// The operand after a comparison operator: blanks skipped, up to a blank, "&"
// or "|" outside quotes, enclosing quotes removed.
QString ComparisonOperand(const QString& term, qsizetype from)
{
    while (from < term.size() && term[from] == u' ')
        ++from;
    bool quoted = false;
    qsizetype i = from;
    for (; i < term.size(); ++i) {
        const QChar c = term[i];
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u' ' || c == u'&' || c == u'|'))
            break;
    }
    QString operand = term.mid(from, i - from);
    if (operand.size() >= 2 && operand.startsWith(u'"') && operand.endsWith(u'"'))
        operand = operand.mid(1, operand.size() - 2);
    return operand;
}

int Sign(double d)
{
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

// Dates when both are dates, text when only one is, else numbers when both
// convert, else text (first 255 characters).
int CompareForCondition(const QString& value, const QString& operand)
{
    TDateTime dv = 0, dop = 0;
    const bool valueIsDate = ParseLocaleDateTime(value, dv);
    const bool operandIsDate = ParseLocaleDateTime(operand, dop);
    if (valueIsDate && operandIsDate)
        return Sign(dv - dop);
    if (!valueIsDate && !operandIsDate) {
        double nv = 0, nop = 0;
        if (RegionalTextToNumber(value, nv) && RegionalTextToNumber(operand, nop))
            return Sign(nv - nop);
    }
    return QStringView(value).left(255).compare(QStringView(operand).left(255));
}

// "*" any run (also none), "?" one character, everything else itself.
bool WildcardMatch(QStringView pattern, QStringView value)
{
    // Backtracking to the last star only: linear in practice and never
    // exponential, with the same answer as trying every split.
    qsizetype p = 0, v = 0, star = -1, mark = 0;
    while (v < value.size()) {
        if (p < pattern.size() && pattern[p] != u'*' && (pattern[p] == u'?' || pattern[p] == value[v])) {
            ++p;
            ++v;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            mark = v;
        } else if (star >= 0) {
            p = star + 1;
            v = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool MatchTerm(const QString& term, const QString& value)
{
    const qsizetype gt = IndexOutsideQuotes(term, u'>');
    const qsizetype lt = IndexOutsideQuotes(term, u'<');
    const bool negated = term.contains(u'!');
    bool gtDone = false, ltDone = false, gtResult = true, ltResult = true;
    if (gt >= 0) {
        const bool orEqual = gt + 1 < term.size() && term[gt + 1] == u'=';
        const int c = CompareForCondition(value, ComparisonOperand(term, gt + (orEqual ? 2 : 1)));
        gtResult = orEqual ? c >= 0 : c > 0;
        gtDone = true;
    }
    if (lt >= 0) {
        const bool orEqual = lt + 1 < term.size() && term[lt + 1] == u'=';
        const int c = CompareForCondition(value, ComparisonOperand(term, lt + (orEqual ? 2 : 1)));
        ltResult = orEqual ? c <= 0 : c < 0;
        ltDone = true;
    }
    if (negated) {
        if (gt < 0)
            gtDone = true;
        if (lt < 0)
            ltDone = true;
    }
    // Operators inside quotes are literal text, never combinations; a negated
    // comparison that holds makes the term false.
    if (IndexOutsideQuotes(term, u'^') >= 0 && (gtDone || ltDone))
        return (ltResult || gtResult) != negated;
    if (IndexOutsideQuotes(term, u'&') >= 0 && gtDone && ltDone)
        return (ltResult && gtResult) != negated;
    if (gt >= 0 && gtResult)
        return !negated;
    if (lt >= 0 && ltResult)
        return !negated;

    QString pattern;
    pattern.reserve(term.size());
    for (const QChar c : term) {
        if (c != u'"' && c != u'!')
            pattern.append(c);
    }
    return WildcardMatch(pattern, value) != negated;
}

bool IsConditionOperator(QChar c)
{
    return c == u'&' || c == u'|' || c == u';' || c == u'^' || c == u'(';
}

qsizetype NextConditionOperator(const QString& s, qsizetype from, qsizetype end)
{
    bool quoted = false;
    for (qsizetype i = from; i < end; ++i) {
        if (s[i] == u'"')
            quoted = !quoted;
        else if (!quoted && IsConditionOperator(s[i]))
            return i;
    }
    return end;
}

// Evaluated with a stack of open groups rather than by recursion, so that
// deeply nested parentheses cannot exhaust the call stack.
bool EvaluateCondition(const QString& s, const QString& value)
{
    const qsizetype n = s.size();
    // The parenthesis closing each opening one; the end of the text when unbalanced.
    std::vector<qsizetype> closing(static_cast<size_t>(n), n);
    {
        std::vector<qsizetype> open;
        bool quoted = false;
        for (qsizetype i = 0; i < n; ++i) {
            if (s[i] == u'"') {
                quoted = !quoted;
            } else if (!quoted && s[i] == u'(') {
                open.push_back(i);
            } else if (!quoted && s[i] == u')' && !open.empty()) {
                closing[static_cast<size_t>(open.back())] = i;
                open.pop_back();
            }
        }
    }

    struct Level
    {
        bool result = false;
        bool first = true;
        QChar op;          // the operator before the next result
        qsizetype end = 0; // its closing parenthesis, or the end of the text
    };
    std::vector<Level> levels{Level{false, true, QChar(), n}};
    qsizetype pos = 0;
    for (;;) {
        if (pos < levels.back().end && s[pos] == u'(') {
            const qsizetype close = std::min(closing[static_cast<size_t>(pos)], levels.back().end);
            levels.push_back(Level{false, true, QChar(), close});
            ++pos;
            continue;
        }
        const qsizetype k = NextConditionOperator(s, pos, levels.back().end);
        bool r = MatchTerm(s.mid(pos, k - pos), value);
        pos = k;
        for (;;) {
            Level& level = levels.back();
            if (level.first) {
                level.result = r;
                level.first = false;
            } else if (level.op == u'&') {
                level.result = level.result && r;
            } else if (level.op == u'|' || level.op == u';' || level.op == u'^') {
                level.result = level.result || r;
            } // a group's opening parenthesis combines nothing
            if (pos < level.end)
                break;
            if (levels.size() == 1)
                return level.result;
            // The group is done: its result goes to the enclosing level; text
            // between its closing parenthesis and the next operator is ignored.
            r = level.result;
            const qsizetype close = level.end;
            levels.pop_back();
            const qsizetype parentEnd = levels.back().end;
            pos = close < parentEnd ? NextConditionOperator(s, close + 1, parentEnd) : parentEnd;
        }
        Level& level = levels.back();
        level.op = s[pos];
        if (level.op != u'(') // a group starts there and is read next
            ++pos;
    }
}

// Western European DOS code page, bytes 0x80..0xFF.
constexpr char16_t kOem850High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C,
    0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580, 0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6,
    0x00A7, 0x00F7, 0x00B8, 0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

} // namespace

// --- Regional settings -------------------------------------------------------

namespace {

TActiveRegional MakeActiveRegional(TRegionalSettings rs)
{
    TActiveRegional a;
    const QString format = ToUpperSameLength(rs.ShortDateFormat);
    std::array<std::pair<qsizetype, char>, 3> order{{
        {format.indexOf(u'D'), 'D'},
        {format.indexOf(u'M'), 'M'},
        {format.indexOf(u'Y'), 'Y'},
    }};
    a.HasDateOrder = order[0].first >= 0 && order[1].first >= 0 && order[2].first >= 0;
    std::sort(order.begin(), order.end());
    for (size_t k = 0; k < 3; ++k)
        a.DateOrder[k] = order[k].second;
    a.Settings = std::move(rs);
    return a;
}

TRegionalSettings ReadSystemRegionalSettings()
{
    const QLocale locale = QLocale::system();
    TRegionalSettings rs;
    const QString group = locale.groupSeparator();
    rs.ThousandSeparator = group.isEmpty() ? QChar() : group[0];
    const QString decimal = locale.decimalPoint();
    rs.DecimalSeparator = decimal.isEmpty() ? QChar(u'.') : decimal[0];
    rs.ShortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    rs.DateSeparator = FirstSeparator(rs.ShortDateFormat, QChar(u'/'));
    rs.TimeSeparator = FirstSeparator(locale.timeFormat(QLocale::ShortFormat), QChar(u':'));
    return rs;
}

} // namespace

TRegionalSettings RegionalSettings() { return ActiveRegional().Settings; }

void SetRegionalSettingsOverride(std::optional<TRegionalSettings> settings)
{
    if (settings)
        RegionalOverride() = MakeActiveRegional(std::move(*settings));
    else
        RegionalOverride().reset();
}

// --- Numbers and small routines ------------------------------------------------

int IntMax(int a, int b)
{
    return a > b ? a : b;
}

int IntMin(int a, int b)
{
    return a < b ? a : b;
}

int LimitValue(int value, int minimum, int maximum)
{
    if (minimum == maximum)
        return value;
    int result = value;
    if (minimum > 0 && value < minimum)
        result = minimum;
    if (maximum > 0 && value > maximum)
        result = maximum;
    return result;
}

bool CellInGridRect(const platform::TGridRect& rect, int col, int row)
{
    return col >= rect.Left && col <= rect.Right && row >= rect.Top && row <= rect.Bottom;
}

bool IsNumberChar(QChar c)
{
    return c.isNumber();
}

QString ColorToHex(platform::TColor color)
{
    return QString::asprintf("%02X%02X%02X", static_cast<unsigned>(color & 0xFF),
                             static_cast<unsigned>((color >> 8) & 0xFF), static_cast<unsigned>((color >> 16) & 0xFF));
}

// --- Searching and splitting ---------------------------------------------------

int FindPos(const QString& sub, const QString& text, int& position)
{
    position = Pos(sub, text);
    return position;
}

int PosInUpper(const QString& sub, const QString& text)
{
    return Pos(sub, ToUpperSameLength(text));
}

int CharIndex(QChar c, const QString& text)
{
    const qsizetype i = text.indexOf(c);
    return i < 0 ? 0 : static_cast<int>(i) + 1;
}

int FindCharIndex(QChar c, const QString& text, int& position)
{
    const int p = CharIndex(c, text);
    if (p > 0)
        position = p;
    return p;
}

int WidePos(const QString& sub, const QString& text)
{
    return Pos(sub, text);
}

QString TakeToken(QString& text, const QString& delimiter)
{
    const int p = Pos(delimiter, text);
    if (p == 0)
        return QString();
    QString token = text.left(p - 1);
    text.remove(0, p - 1 + delimiter.size());
    return token;
}

void TakeFirstLine(QString& text, bool keepRest, QString& line)
{
    const qsizetype cr = text.indexOf(CR);
    if (cr < 0) {
        line = text;
        text.clear();
        return;
    }
    QString first = text.left(cr);
    qsizetype rest = cr + 1;
    if (rest < text.size() && text[rest] == LF)
        ++rest;
    if (keepRest)
        text.remove(0, rest);
    else
        text.clear();
    line = std::move(first);
}

int CountTextLines(const QString& text, bool multiLine)
{
    return multiLine ? 1 + static_cast<int>(text.count(CR)) : 1;
}

QString ConcatLines(const QStringList& lines)
{
    return lines.join(QString());
}

int CountCharOccurrences(QChar c, const QString& text)
{
    return static_cast<int>(text.count(c));
}

namespace {

// 1-based position of the closing quote at or after index `from`, 0 for none.
int ClosingQuoteFrom(QChar quote, const QString& text, qsizetype from)
{
    const qsizetype n = text.size();
    qsizetype i = from;
    while (i < n) {
        if (text[i] != quote) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < n && text[end] == quote)
            ++end;
        // An odd run ends the field at its last quote (also at the end of the
        // text); an even run is doubled quotes inside it.
        if ((end - i) % 2 == 1)
            return static_cast<int>(end);
        i = end;
    }
    return 0;
}

} // namespace

int ClosingQuotePos(QChar quote, const QString& text, int& position)
{
    position = ClosingQuoteFrom(quote, text, 0);
    return position;
}

int ClosingQuotePos(QChar quote, const QString& text)
{
    return ClosingQuoteFrom(quote, text, 0);
}

int CountClosingQuotes(QChar quote, const QString& text)
{
    int count = 0;
    int p = 0;
    while ((p = ClosingQuoteFrom(quote, text, p)) > 0)
        ++count;
    return count;
}

// --- Line breaks and escapes ---------------------------------------------------

QString LineBreaksToBR(const QString& text)
{
    if (!text.contains(CR))
        return text;
    QString s = text;
    return s.replace(QChar(CR), QStringLiteral("<br>"));
}

QString EscapesToLineBreaks(const QString& text)
{
    QString s = text;
    return s.replace(QStringLiteral("\\n"), QString(QChar(CR)));
}

QString LineBreaksToEscapes(const QString& text)
{
    QString s = text;
    s.remove(QChar(LF));
    return s.replace(QChar(CR), QStringLiteral("\\n"));
}

void QuoteMultiLine(QString& text)
{
    text.replace(QStringLiteral("\r\n"), QString(QChar(u'\x0B')));
    text = u'"' + text + u'"';
}

void VTabToLineBreaks(QString& text)
{
    if (text.contains(QChar(u'\x0B')))
        text.replace(QChar(u'\x0B'), QStringLiteral("\r\n"));
}

void CRLFToLF(QString& text)
{
    text.replace(QStringLiteral("\r\n"), QString(QChar(LF)));
}

void LineBreaksToTilde(QString& text)
{
    text.remove(QChar(LF));
    text.replace(QChar(CR), QChar(u'~'));
}

void TildeToLineBreaks(QString& text)
{
    text.replace(QChar(u'~'), QStringLiteral("\r\n"));
    if (text == QStringLiteral("^"))
        text.clear();
}

QString RemoveCR(const QString& text)
{
    QString s = text;
    return s.remove(QChar(CR));
}

QString CRToLF(const QString& text)
{
    QString s = text;
    return s.replace(QChar(CR), QChar(LF));
}

// CR -> 9, LF -> 8, 0 -> 1 as cell texts have always been packed; the
// characters 9, 8, 1 and the escape itself, which would otherwise come back
// changed, travel as escape pairs; a packed text without any LF gets the
// pair escape + 8 (read as nothing) so that the reader knows it is packed.
// Texts without CR, LF or 8 stay as they are.
namespace {
constexpr char16_t PackEsc = 0x1B;
}

QString PackLineBreaks(const QString& text)
{
    bool needed = false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == CR || u == LF || u == 8) {
            needed = true;
            break;
        }
    }
    if (!needed)
        return text;
    QString s;
    s.reserve(text.size() + 4);
    bool hasLF = false;
    for (QChar c : text) {
        switch (c.unicode()) {
        case CR: s += QChar(9); break;
        case LF: s += QChar(8); hasLF = true; break;
        case 0: s += QChar(1); break;
        case 9: s += QChar(PackEsc); s += QChar(u'I'); break;
        case 8: s += QChar(PackEsc); s += QChar(u'H'); break;
        case 1: s += QChar(PackEsc); s += QChar(u'A'); break;
        case PackEsc: s += QChar(PackEsc); s += QChar(u'['); break;
        default: s += c; break;
        }
    }
    if (!hasLF) {
        s += QChar(PackEsc);
        s += QChar(8);
    }
    return s;
}

QString UnpackLineBreaks(const QString& text, bool multiLine)
{
    QString s;
    if (text.contains(QChar(8))) {
        s.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t u = text[i].unicode();
            if (u == PackEsc && i + 1 < text.size()) {
                const char16_t next = text[i + 1].unicode();
                bool known = true;
                switch (next) {
                case 8: break; // the packed mark: nothing
                case u'I': s += QChar(9); break;
                case u'H': s += QChar(8); break;
                case u'A': s += QChar(1); break;
                case u'[': s += QChar(PackEsc); break;
                default: known = false; break;
                }
                if (known) {
                    ++i;
                    continue;
                }
            }
            switch (u) {
            case 9: s += QChar(CR); break;
            case 8: s += QChar(LF); break;
            case 1: s += QChar(char16_t(0)); break;
            default: s += text[i]; break;
            }
        }
    } else {
        s = text;
    }
    if (multiLine)
        return s;
    const qsizetype cr = s.indexOf(QChar(CR));
    return cr < 0 ? s : s.left(cr);
}

// --- Quoting and characters ----------------------------------------------------

QString DoubleQuotes(const QString& text)
{
    QString s = text;
    return s.replace(QChar(u'"'), QStringLiteral("\"\""));
}

QString UndoubleChar(QChar c, const QString& text)
{
    if (!text.contains(c))
        return text;
    QString s = text;
    return s.replace(QString(2, c), QString(c));
}

void FillWithChar(QString& text, QChar c)
{
    text.fill(c);
}

void StringToOem(QString& text)
{
    QByteArray oem;
    oem.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            oem.append(static_cast<char>(u));
            continue;
        }
        const auto* hit = std::find(std::begin(kOem850High), std::end(kOem850High), u);
        oem.append(hit == std::end(kOem850High) ? '?' : static_cast<char>(0x80 + (hit - std::begin(kOem850High))));
    }
    text = platform::DecodeWindows1252(oem);
}

void OemToString(QString& text)
{
    const QByteArray oem = platform::EncodeWindows1252(text);
    QString s(oem.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < oem.size(); ++i) {
        const auto b = static_cast<unsigned char>(oem[i]);
        s[i] = b < 0x80 ? QChar(b) : QChar(kOem850High[b - 0x80]);
    }
    text = s;
}

// --- Wide-escaped text ---------------------------------------------------------

QString EncodeWideText(const QString& wide)
{
    QString s;
    s.reserve(2 + 2 * wide.size());
    s.append(QStringLiteral("|\\"));
    for (const QChar c : wide) {
        s.append(QChar(static_cast<char16_t>(c.unicode() >> 8)));
        s.append(QChar(static_cast<char16_t>(c.unicode() & 0xFF)));
    }
    return s;
}

QString DecodeWideText(const QString& text)
{
    if (!text.startsWith(QStringLiteral("|\\")))
        return text;
    const qsizetype pairs = (text.size() - 2) / 2; // an odd last character is dropped
    QString s(pairs, Qt::Uninitialized);
    for (qsizetype i = 0; i < pairs; ++i) {
        const unsigned high = text[2 + 2 * i].unicode();
        const unsigned low = text[3 + 2 * i].unicode();
        s[i] = QChar(static_cast<char16_t>((low + 256 * high) & 0xFFFF));
    }
    return s;
}

// --- Cell texts ----------------------------------------------------------------

int CellTextKind(const QString& text, bool detectHTML)
{
    if (text.isEmpty())
        return 0;
    if (text[0] == u'=')
        return 3;
    if (text.startsWith(QLatin1StringView("|\\"))) {
        // A wide-escaped formula: "=" as the first unit's low byte, then a
        // unit below 256. A short text has no such characters to look at.
        return text.size() >= 5 && text[3] == u'=' && text[4] == QChar(u'\0') ? 3 : 5;
    }
    if (text.startsWith(QLatin1StringView("{\\")))
        return 2;
    // HTML: "</", "<B", "<I" or "<C" anywhere (every save of every cell asks).
    if (detectHTML)
        for (qsizetype i = text.indexOf(u'<'); i >= 0 && i + 1 < text.size(); i = text.indexOf(u'<', i + 1)) {
            const QChar next = text[i + 1];
            if (next == u'/' || next == u'B' || next == u'I' || next == u'C')
                return 1;
        }
    return 0;
}

bool ParseRCRef(const QString& text, int& col, int& row)
{
    const QString s = ToUpperSameLength(text);
    if (s.size() < 4 || s[0] != u'R')
        return false;
    const qsizetype c = s.indexOf(u'C', 1);
    if (c < 0)
        return false;
    int r = 0, k = 0;
    if (!ParseDecimalInt(QStringView(s).mid(1, c - 1), r) || !ParseDecimalInt(QStringView(s).mid(c + 1), k))
        return false;
    col = k;
    row = r;
    return true;
}

// --- URLs and HTML -------------------------------------------------------------

bool IsURL(const QString& text)
{
    return text.contains(QStringLiteral("://")) || text.contains(QStringLiteral("mailto:"));
}

void StripURLScheme(QString& text)
{
    qsizetype p = text.indexOf(QStringLiteral("://"));
    if (p >= 0) {
        text.remove(0, p + 3);
        return;
    }
    p = text.indexOf(QStringLiteral("mailto:"));
    if (p >= 0)
        text.remove(0, p + 7);
}

namespace {

bool IsURLChar(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9'))
        return true;
    switch (u) {
    case u'@': case u'%': case u'(': case u')': case u'-': case u'.': case u'/':
    case u':': case u'\\': case u'_': case u'{': case u'}':
        return true;
    default:
        return false;
    }
}

} // namespace

bool LinkURLText(const QString& text, const QString& prefix, QString& result)
{
    if (Pos(prefix, ToUpperSameLength(text)) == 0)
        return false;
    QString s = text;
    s.replace(u'<', QStringLiteral("&lt;"));
    s.replace(u'>', QStringLiteral("&gt;"));
    // A prefix holding "<" or ">" is no longer there once they are escaped.
    const int p = Pos(prefix, ToUpperSameLength(s));
    if (p == 0)
        return false;
    const qsizetype start = p - 1;
    qsizetype end = start;
    while (end < s.size() && IsURLChar(s[end]))
        ++end;
    const QString url = s.mid(start, end - start);
    result = s.left(start) + QStringLiteral("<a href=\"") + url + QStringLiteral("\">") + url +
             QStringLiteral("</a>") + s.mid(end);
    return true;
}

void BuildCFHTML(QString& fragment)
{
    const auto n = static_cast<long long>(fragment.size());
    QString s = QStringLiteral("Version:1.0\r\n");
    s += QString::asprintf("StartHTML:%08lld\r\n", 97LL);
    s += QString::asprintf("EndHTML:%08lld\r\n", 306 + n);
    s += QString::asprintf("StartFragment:%08lld\r\n", 274LL);
    s += QString::asprintf("EndFragment:%08lld\r\n", 274 + n);
    s += QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">");
    s += QStringLiteral("<html><head><META http-equiv=Content-Type content=\"text/html; charset=iso-8859-1\">"
                        "</head><body><!--StartFragment-->");
    s += fragment;
    s += QStringLiteral("<!--EndFragment--></body></html>");
    fragment = s;
}

// --- Numbers under the regional settings ---------------------------------------

QString NumberToDotText(const QString& text)
{
    const TRegionalSettings rs = RegionalSettings();
    const QChar T = rs.ThousandSeparator;
    const QChar D = rs.DecimalSeparator;
    QString s = text.trimmed();
    bool negative = s.startsWith(u'(') && s.endsWith(u')');
    while (s.size() >= 2) {
        const QChar c = s[0];
        if (IsAsciiDigit(c) || c == D || c == T || c == u'e' || c == u'E')
            break;
        if (c == u'-')
            negative = true;
        s.remove(0, 1);
    }
    QString out;
    out.reserve(s.size() + 1);
    for (const QChar c : s) {
        if (c == T)
            continue;
        if (c == D)
            out.append(u'.');
        else if (IsAsciiDigit(c) || c == u'-' || c == u'.' || c == u'e' || c == u'E' || c == u'+')
            out.append(c);
        else
            break;
    }
    return negative ? u'-' + out : out;
}

int NumberKind(const QString& text)
{
    if (text.isEmpty())
        return 2;
    const TRegionalSettings rs = RegionalSettings();
    const QChar T = rs.ThousandSeparator;
    const QChar D = rs.DecimalSeparator;
    const qsizetype n = text.size();

    bool integer = true;
    for (qsizetype i = 0; i < n; ++i) {
        if (!(IsAsciiDigit(text[i]) || (text[i] == u'-' && i == 0)))
            integer = false;
    }
    if (integer)
        return 0;

    bool wellFormed = true;
    qsizetype lastT = -1;
    int eCount = 0, dCount = 0, minusCount = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'e' || c == u'E')
            ++eCount;
        if (c == D)
            ++dCount;
        if (c == u'-')
            ++minusCount;
        if (IsAsciiDigit(c) || (c == u'-' && i == 0)) {
            continue;
        } else if (!T.isNull() && c == T) {
            if (lastT >= 0 && i - lastT <= 3)
                wellFormed = false;
            lastT = i;
        } else if (c != D) {
            wellFormed = false;
        }
    }
    int kind = (eCount > 0 || !wellFormed) ? 2 : 1;

    const QChar last = text[n - 1];
    bool exponent = eCount == 1 && text[0] != u'e' && text[0] != u'E' && last != u'+' && last != u'-' &&
                    last != u'e' && last != u'E' && (T.isNull() || !text.contains(T));
    for (qsizetype i = 0; exponent && i < n; ++i) {
        const QChar c = text[i];
        if (!(IsAsciiDigit(c) || c == D || c == u'e' || c == u'E' || c == u'+' || c == u'-'))
            exponent = false;
    }
    if (exponent)
        kind = 5;
    if (dCount > 1 || minusCount > (exponent ? 2 : 1))
        return 2;
    return kind;
}

QString ProperCase(const QString& text)
{
    const auto isSeparator = [](QChar c) {
        return c == u' ' || c == u'\'' || c == u',' || c == u'-' || c == u'.';
    };
    QString s = text;
    const qsizetype n = s.size();
    bool wordStart = true;
    qsizetype i = 0;
    while (i < n) {
        const bool separator = isSeparator(s[i]);
        const int units = MapCodePoint(s, i, wordStart);
        const qsizetype next = i + units;
        wordStart = separator;
        const QStringView done = QStringView(s).left(next);
        if (done == u"Mc") {
            wordStart = true;
        } else if (s[i] == u'c') {
            const qsizetype mc = s.indexOf(QStringLiteral(" Mc"));
            if (mc >= 0 && i == mc + 2)
                wordStart = true;
        }
        // Trailing roman numerals: " I", " II" followed by one of the last three characters.
        if (next < n && next >= n - 3 && (done.endsWith(u" I") || done.endsWith(u" II")))
            wordStart = true;
        i = next;
    }
    return s;
}

// --- Dates -----------------------------------------------------------------------

TDateTime ParseDateMDY(const QString& text)
{
    return ParseDateParts(text, true);
}

TDateTime ParseDateDMY(const QString& text)
{
    return ParseDateParts(text, false);
}

bool LooksLikeDate(const QString& text)
{
    const QChar sep = RegionalSettings().DateSeparator;
    const qsizetype first = text.indexOf(sep);
    if (first < 1)
        return false;
    return text.indexOf(sep, first + 1) >= 0;
}

TDateTime IncDateParts(int years, int months, int days, double offset, TDateTime date)
{
    if (years == 0 && months == 0 && days != 0)
        return date + days;
    if (years != 0 && months == 0 && days == 0)
        return MoveCalendarDate(date, years, 0);
    if (years == 0 && months != 0 && days == 0)
        return MoveCalendarDate(date, 0, months);
    return date + offset;
}

bool ParseLocaleDateTime(const QString& text, TDateTime& dateTime)
{
    const TActiveRegional& active = ActiveRegional();
    const TRegionalSettings& rs = active.Settings;
    if (!active.HasDateOrder)
        return false;

    const QString s = text.trimmed();
    const qsizetype p1 = s.indexOf(rs.DateSeparator);
    if (p1 < 0)
        return false;
    const qsizetype p2 = s.indexOf(rs.DateSeparator, p1 + 1);
    if (p2 < 0)
        return false;
    const QString rest = s.mid(p2 + 1).trimmed();
    const qsizetype blank = rest.indexOf(u' ');
    const QStringView fields[3] = {
        QStringView(s).left(p1),
        QStringView(s).mid(p1 + 1, p2 - p1 - 1),
        blank < 0 ? QStringView(rest) : QStringView(rest).left(blank),
    };
    int day = 0, month = 0, year = 0;
    for (int k = 0; k < 3; ++k) {
        int v = 0;
        if (!ParseDecimalInt(fields[k], v))
            return false;
        const char field = active.DateOrder[static_cast<size_t>(k)];
        (field == 'D' ? day : field == 'M' ? month : year) = v;
    }
    if (day >= 32 || month > 12)
        return false;
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date))
        return false;
    dateTime = date;

    const QString timeText = blank < 0 ? QString() : rest.mid(blank).trimmed();
    if (timeText.isEmpty())
        return true;
    const QChar ts = rs.TimeSeparator;
    const qsizetype t1 = timeText.indexOf(ts);
    if (t1 < 0)
        return false;
    int hour = 0, minute = 0, second = 0;
    if (!ParseDecimalInt(QStringView(timeText).left(t1), hour) || hour < 0 || hour > 23)
        return false;
    const qsizetype t2 = timeText.indexOf(ts, t1 + 1);
    if (t2 >= 0) {
        if (!ParseDecimalInt(QStringView(timeText).mid(t1 + 1, t2 - t1 - 1), minute) || minute < 0 || minute > 59)
            return false;
        if (!ParseDecimalInt(QStringView(timeText).mid(t2 + 1), second) || second > 60)
            return false;
    } else if (!ParseDecimalInt(QStringView(timeText).mid(t1 + 1), minute) || minute < 0 || minute > 59) {
        return false;
    }
    TDateTime time = 0;
    if (!TryEncodeTime(hour, minute, second, time))
        return false;
    dateTime = date + time;
    return true;
}

// --- Filter conditions -----------------------------------------------------------

bool MatchCondition(const QString& condition, const QString& value, bool caseSensitive)
{
    const QString trimmed = condition.trimmed();
    QString s;
    s.reserve(trimmed.size());
    bool quoted = false;
    for (const QChar c : trimmed) {
        if (c == u'"')
            quoted = !quoted;
        if (c == u' ' && !quoted)
            continue;
        s.append(c);
    }
    if (s.startsWith(u'='))
        s.remove(0, 1);
    if (caseSensitive)
        return EvaluateCondition(s, value);
    return EvaluateCondition(ToUpperSameLength(s), ToUpperSameLength(value));
}

namespace {

// valueAt(k, v) gives the value of the k-th specifier; false when there is
// none, which fails the whole format.
bool FormatNumbers(const QString& format, const std::function<bool(int, double&)>& valueAt, QString& out)
{
    int next = 0;
    const QChar dec = ActiveRegional().Settings.DecimalSeparator;
    const QChar thousands = ActiveRegional().Settings.ThousandSeparator;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar ch = format[i];
        if (ch != u'%') {
            out += ch;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        bool left = false;
        if (j < format.size() && format[j] == u'-') {
            left = true;
            ++j;
        }
        int width = 0, precision = -1;
        while (j < format.size() && format[j].isDigit() && width < 1000)
            width = width * 10 + format[j++].digitValue();
        if (j < format.size() && format[j] == u'.') {
            ++j;
            precision = 0;
            while (j < format.size() && format[j].isDigit() && precision < 100)
                precision = precision * 10 + format[j++].digitValue();
        }
        if (j >= format.size()) {
            out += format.mid(i);
            break;
        }
        const QChar type = format[j].toLower();
        double value = 0;
        if (QStringLiteral("duxefgnms").contains(type) && !valueAt(next++, value))
            return false;
        QString field;
        auto withDecimal = [&](QString text) {
            return dec == u'.' ? text : text.replace(u'.', dec);
        };
        switch (type.unicode()) {
        case u'd':
        case u'u':
            field = QString::number(static_cast<long long>(std::llround(value)));
            if (precision > 0 && field.size() < precision)
                field = field.rightJustified(precision, u'0');
            break;
        case u'x':
            field = QString::number(static_cast<long long>(std::llround(value)), 16).toUpper();
            break;
        case u'f':
            field = withDecimal(QString::number(value, 'f', precision < 0 ? 2 : precision));
            break;
        case u'e':
            field = withDecimal(QString::number(value, 'e', precision < 0 ? 15 : std::max(0, precision - 1)).toUpper());
            break;
        case u'g':
            field = withDecimal(QString::number(value, 'g', precision < 0 ? 15 : std::max(1, precision)).toUpper());
            break;
        case u'n':
        case u'm': {
            const QString plain = QString::number(std::fabs(value), 'f', precision < 0 ? 2 : precision);
            const qsizetype dot = plain.indexOf(u'.');
            QString whole = dot < 0 ? plain : plain.left(dot);
            if (!thousands.isNull()) {
                for (qsizetype k = whole.size() - 3; k > 0; k -= 3)
                    whole.insert(k, thousands);
            }
            const bool nonZero = std::any_of(plain.begin(), plain.end(),
                                             [](QChar d) { return d >= u'1' && d <= u'9'; });
            field = (value < 0 && nonZero ? QStringLiteral("-") : QString()) + whole +
                    (dot < 0 ? QString() : QString(dec) + plain.mid(dot + 1));
            break;
        }
        case u's':
            field = withDecimal(QString::number(value, 'g', 15));
            break;
        default:
            field = format.mid(i, j - i + 1);
            break;
        }
        if (field.size() < width)
            field = left ? field.leftJustified(width) : field.rightJustified(width);
        out += field;
        i = j;
    }
    return true;
}

} // namespace

QString FormatFloatText(const QString& format, double value)
{
    QString out;
    FormatNumbers(format, [value](int, double& v) { v = value; return true; }, out);
    return out;
}

bool FormatValuesText(const QString& format, const std::vector<double>& values, QString& out)
{
    out.clear();
    return FormatNumbers(format, [&values](int k, double& v) {
        if (k >= static_cast<int>(values.size()))
            return false;
        v = values[static_cast<size_t>(k)];
        return true;
    }, out);
}
