#include "widgets/ExUtil.h"

#include "platform/TextCodec.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>

#include <functional>
#include <stdexcept>

namespace {

const QChar CR(u'\r');
const QChar LF(u'\n');

// Serial day number: days since 30 December 1899.
double Serial(int y, int m, int d)
{
    return static_cast<double>(QDate(1899, 12, 30).daysTo(QDate(y, m, d)));
}

double Clock(int h, int m, int s = 0)
{
    return (h * 3600 + m * 60 + s) / 86400.0;
}

TRegionalSettings Regional(QChar thousand, QChar decimal, QChar date, QChar time, const QString& shortDate)
{
    return TRegionalSettings{thousand, decimal, date, time, shortDate};
}

TRegionalSettings English()
{
    return Regional(u',', u'.', u'/', u':', QStringLiteral("dd/MM/yyyy"));
}

TRegionalSettings German()
{
    return Regional(u'.', u',', u'.', u':', QStringLiteral("dd.MM.yyyy"));
}

// Every test runs with fixed settings, never the machine's.
class ExUtilText : public ::testing::Test
{
protected:
    void SetUp() override { SetRegionalSettingsOverride(English()); }
    void TearDown() override { SetRegionalSettingsOverride(std::nullopt); }
    static void Use(const TRegionalSettings& rs) { SetRegionalSettingsOverride(rs); }
};

QString S(const char16_t* s)
{
    return QString::fromUtf16(s);
}

// --- Regional settings ----------------------------------------------------------

TEST_F(ExUtilText, RegionalOverrideAndSystemFallback)
{
    Use(German());
    EXPECT_EQ(RegionalSettings().DecimalSeparator, QChar(u','));
    EXPECT_EQ(RegionalSettings().ShortDateFormat, QStringLiteral("dd.MM.yyyy"));

    SetRegionalSettingsOverride(std::nullopt);
    const QLocale system = QLocale::system();
    const TRegionalSettings rs = RegionalSettings();
    EXPECT_EQ(rs.DecimalSeparator, system.decimalPoint().at(0));
    EXPECT_EQ(rs.ShortDateFormat, system.dateFormat(QLocale::ShortFormat));
    EXPECT_FALSE(rs.DateSeparator.isNull());
    EXPECT_FALSE(rs.TimeSeparator.isNull());
}

// What the date parse derives from the settings follows every change of the
// override, and the system's settings come back after it.
TEST_F(ExUtilText, DateOrderFollowsTheSettingsInForce)
{
    struct Step
    {
        const char* why;
        std::optional<TRegionalSettings> settings;
        bool dayFirstIsMarch; // "02/03/2024" read as 2 March
        bool later;           // "05/04/2024" after "02/03/2024" by the filter
    };
    const Step steps[] = {
        {"day first", English(), true, true},
        {"month first", Regional(u',', u'.', u'/', u':', QStringLiteral("MM/dd/yyyy")), false, true},
        {"year first: the text is no date", Regional(u',', u'.', u'/', u':', QStringLiteral("yyyy/MM/dd")), false,
         true},
        {"day first again", English(), true, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.why);
        SetRegionalSettingsOverride(s.settings);
        TDateTime d = 0;
        const bool parsed = ParseLocaleDateTime(QStringLiteral("02/03/2024"), d);
        EXPECT_EQ(parsed && d == Serial(2024, 3, 2), s.dayFirstIsMarch);
        EXPECT_EQ(MatchCondition(QStringLiteral(">02/03/2024"), QStringLiteral("05/04/2024"), false), s.later);
    }
    // "10/01/2024" is later than "02/03/2024" as text but earlier as a
    // day-first date.
    EXPECT_FALSE(MatchCondition(QStringLiteral(">02/03/2024"), QStringLiteral("10/01/2024"), false));
    Use(Regional(u',', u'.', u'/', u':', QStringLiteral("MM/dd/yyyy")));
    EXPECT_TRUE(MatchCondition(QStringLiteral(">02/03/2024"), QStringLiteral("10/01/2024"), false));
}

// --- Numbers and small routines -------------------------------------------------

TEST_F(ExUtilText, IntMaxMin)
{
    EXPECT_EQ(IntMax(3, -7), 3);
    EXPECT_EQ(IntMax(-3, -7), -3);
    EXPECT_EQ(IntMin(3, -7), -7);
    EXPECT_EQ(IntMin(5, 5), 5);
    EXPECT_EQ(IntMax(INT_MIN, INT_MAX), INT_MAX);
}

TEST_F(ExUtilText, LimitValue)
{
    struct Case { int value, minimum, maximum, expected; };
    const Case cases[] = {
        {100, 5, 5, 100},  // equal bounds: unchanged
        {-4, 0, 0, -4},
        {3, 5, 10, 5},     // below a positive minimum
        {12, 5, 10, 10},   // above a positive maximum
        {7, 5, 10, 7},
        {-50, 0, 10, -50}, // minimum 0: no lower bound
        {-50, -3, 10, -50},
        {500, 5, 0, 500},  // maximum 0: no upper bound
        {500, 5, -1, 500},
        {1, 5, 0, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LimitValue(c.value, c.minimum, c.maximum), c.expected) << c.value << " " << c.minimum << " " << c.maximum;
}

TEST_F(ExUtilText, CellInGridRectIsInclusive)
{
    const platform::TGridRect r{2, 3, 4, 6}; // columns 2..4, rows 3..6
    struct Case { int col, row; bool inside; };
    const Case cases[] = {
        {2, 3, true}, {4, 6, true}, {3, 5, true},
        {1, 3, false}, {5, 3, false}, {2, 2, false}, {2, 7, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CellInGridRect(r, c.col, c.row), c.inside) << c.col << "," << c.row;
}

TEST_F(ExUtilText, IsNumberChar)
{
    EXPECT_TRUE(IsNumberChar(u'0'));
    EXPECT_TRUE(IsNumberChar(u'9'));
    EXPECT_TRUE(IsNumberChar(QChar(0x0663))); // Arabic-Indic digit three
    EXPECT_FALSE(IsNumberChar(u'a'));
    EXPECT_FALSE(IsNumberChar(u'.'));
    EXPECT_FALSE(IsNumberChar(u'-'));
    EXPECT_FALSE(IsNumberChar(u' '));
}

TEST_F(ExUtilText, ColorToHex)
{
    EXPECT_EQ(ColorToHex(platform::clRed), QStringLiteral("FF0000"));
    EXPECT_EQ(ColorToHex(platform::clBlue), QStringLiteral("0000FF"));
    EXPECT_EQ(ColorToHex(0x00123456), QStringLiteral("563412"));
    EXPECT_EQ(ColorToHex(platform::clBlack), QStringLiteral("000000"));
    // System colour 15 is not resolved: only its low three bytes count.
    EXPECT_EQ(ColorToHex(platform::clBtnFace), QStringLiteral("0F0000"));
}

// --- Searching and splitting -------------------------------------------------------

TEST_F(ExUtilText, PositionsAreOneBased)
{
    struct Case { QString sub, text; int expected; };
    const Case cases[] = {
        {"a", "abc", 1},
        {"c", "abc", 3},
        {"bc", "abc", 2},
        {"abc", "abc", 1},
        {"abcd", "abc", 0},
        {"x", "abc", 0},
        {"", "abc", 0}, // an empty search text is never found
        {"a", "", 0},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        int out = -1;
        EXPECT_EQ(FindPos(c.sub, c.text, out), c.expected) << c.sub.toStdString() << " in " << c.text.toStdString();
        EXPECT_EQ(out, c.expected);
        EXPECT_EQ(WidePos(c.sub, c.text), c.expected);
    }
    EXPECT_EQ(WidePos(S(u"\U0001F600"), S(u"ab\U0001F600")), 3);
}

TEST_F(ExUtilText, CharIndexAndFindCharIndex)
{
    EXPECT_EQ(CharIndex(u'a', QStringLiteral("abca")), 1);
    EXPECT_EQ(CharIndex(u'c', QStringLiteral("abc")), 3);
    EXPECT_EQ(CharIndex(u'x', QStringLiteral("abc")), 0);
    EXPECT_EQ(CharIndex(u'x', QString()), 0);

    int position = 42;
    EXPECT_EQ(FindCharIndex(u'x', QStringLiteral("abc"), position), 0);
    EXPECT_EQ(position, 42); // untouched when absent
    EXPECT_EQ(FindCharIndex(u'c', QStringLiteral("abc"), position), 3);
    EXPECT_EQ(position, 3);
}

TEST_F(ExUtilText, PosInUpper)
{
    EXPECT_EQ(PosInUpper(QStringLiteral("WORLD"), QStringLiteral("Hello world")), 7);
    EXPECT_EQ(PosInUpper(QStringLiteral("HELLO"), QStringLiteral("hello")), 1);
    EXPECT_EQ(PosInUpper(QStringLiteral("X"), QStringLiteral("hello")), 0);
    EXPECT_EQ(PosInUpper(QString(), QStringLiteral("hello")), 0);
    // A sharp s stays one character, so the position holds for the original text.
    const QString text = S(u"straße");
    EXPECT_EQ(PosInUpper(QStringLiteral("E"), text), 6);
    EXPECT_LE(PosInUpper(QStringLiteral("E"), text), text.size());
}

TEST_F(ExUtilText, TakeToken)
{
    struct Case { QString text, delimiter, token, rest; };
    const Case cases[] = {
        {"a;b;c", ";", "a", "b;c"},
        {";x", ";", "", "x"},
        {"a;", ";", "a", ""},
        {"abc", ";", "", "abc"}, // no delimiter: empty token, text kept
        {"", ";", "", ""},
        {"key::value", "::", "key", "value"},
        {"abc", "", "", "abc"},
    };
    for (const Case& c : cases) {
        QString text = c.text;
        EXPECT_EQ(TakeToken(text, c.delimiter), c.token) << c.text.toStdString();
        EXPECT_EQ(text, c.rest) << c.text.toStdString();
    }
}

TEST_F(ExUtilText, TakeFirstLine)
{
    struct Case { QString text; bool keep; QString line, rest; };
    const Case cases[] = {
        {"abc", true, "abc", ""}, // no CR: the whole text, text emptied
        {"abc", false, "abc", ""},
        {"", true, "", ""},
        {"a\r\nb\r\nc", true, "a", "b\r\nc"},
        {"a\r\nb\r\nc", false, "a", ""},
        {"a\rb", true, "a", "b"},
        {"a\r", true, "a", ""},            // CR as the last character
        {"\r\nb", true, "", "b"},
        {"a\r\n\nb", true, "a", "\nb"},    // one LF only
        {"a\nb\rc", true, "a\nb", "c"},
    };
    for (const Case& c : cases) {
        QString text = c.text;
        QString line = QStringLiteral("old");
        TakeFirstLine(text, c.keep, line);
        EXPECT_EQ(line, c.line) << c.text.toStdString();
        EXPECT_EQ(text, c.rest) << c.text.toStdString();
    }
}

TEST_F(ExUtilText, CountsAndConcatenation)
{
    EXPECT_EQ(CountTextLines(QStringLiteral("a\r\nb\r\nc"), true), 3);
    EXPECT_EQ(CountTextLines(QStringLiteral("a\r\nb\r\nc"), false), 1);
    EXPECT_EQ(CountTextLines(QString(), true), 1);
    EXPECT_EQ(CountTextLines(QStringLiteral("a\nb"), true), 1); // only CRs count
    EXPECT_EQ(CountTextLines(QStringLiteral("\r"), true), 2);

    EXPECT_EQ(ConcatLines({QStringLiteral("ab"), QString(), QStringLiteral("c")}), QStringLiteral("abc"));
    EXPECT_EQ(ConcatLines({}), QString());

    EXPECT_EQ(CountCharOccurrences(u'a', QStringLiteral("banana")), 3);
    EXPECT_EQ(CountCharOccurrences(u'x', QStringLiteral("banana")), 0);
    EXPECT_EQ(CountCharOccurrences(u'x', QString()), 0);
}

TEST_F(ExUtilText, ClosingQuotes)
{
    struct Case { QString text; int position; int count; };
    const Case cases[] = {
        {"", 0, 0},
        {"abc", 0, 0},
        {"\"", 1, 1},             // a quote ending the text
        {"abc\"", 4, 1},
        {"abc\",next", 4, 1},
        {"a\"\"b", 0, 0},         // doubled quote inside the field
        {"a\"\"", 0, 0},          // doubled quote at the end: no closing quote
        {"a\"\"\"b", 4, 1},       // odd run: its last quote closes
        {"\"\"\"", 3, 1},
        {"ab\"\"cd\"e", 7, 1},
        {"a\"b\"c", 2, 2},
        {"x\"y\"\"z\"", 2, 2},
    };
    for (const Case& c : cases) {
        int out = -1;
        EXPECT_EQ(ClosingQuotePos(u'"', c.text, out), c.position) << c.text.toStdString();
        EXPECT_EQ(out, c.position);
        EXPECT_EQ(ClosingQuotePos(u'"', c.text), c.position);
        EXPECT_EQ(CountClosingQuotes(u'"', c.text), c.count) << c.text.toStdString();
    }
    int apostrophe = 0;
    EXPECT_EQ(ClosingQuotePos(u'\'', QStringLiteral("it''s'"), apostrophe), 6);
    EXPECT_EQ(apostrophe, 6);
}

// --- Line breaks and escapes ---------------------------------------------------------

TEST_F(ExUtilText, ReturningConversions)
{
    using Fn = std::function<QString(const QString&)>;
    struct Case { const char* name; Fn fn; QString in, out; };
    const Case cases[] = {
        {"LineBreaksToBR", LineBreaksToBR, "a\r\nb", "a<br>\nb"},
        {"LineBreaksToBR", LineBreaksToBR, "a\nb", "a\nb"},
        {"LineBreaksToBR", LineBreaksToBR, "", ""},
        {"LineBreaksToBR", LineBreaksToBR, "\r\r", "<br><br>"},
        {"EscapesToLineBreaks", EscapesToLineBreaks, "a\\nb\\n", "a\rb\r"},
        {"EscapesToLineBreaks", EscapesToLineBreaks, "\\", "\\"},
        {"EscapesToLineBreaks", EscapesToLineBreaks, "\\\\n", "\\\r"},
        {"EscapesToLineBreaks", EscapesToLineBreaks, "a\\tb", "a\\tb"},
        {"LineBreaksToEscapes", LineBreaksToEscapes, "a\r\nb", "a\\nb"},
        {"LineBreaksToEscapes", LineBreaksToEscapes, "a\nb", "ab"},
        {"LineBreaksToEscapes", LineBreaksToEscapes, "\r", "\\n"},
        {"RemoveCR", RemoveCR, "a\r\nb\r", "a\nb"},
        {"RemoveCR", RemoveCR, "", ""},
        {"CRToLF", CRToLF, "a\r\nb\r", "a\n\nb\n"},
        {"PackLineBreaks", PackLineBreaks, "a\r\nb", QString("a") + QChar(9) + QChar(8) + "b"},
        // Without an LF the packed text ends in escape + 8, so that the reader knows it is packed.
        {"PackLineBreaks", PackLineBreaks, QString("x") + QChar(0) + "\r",
         QString("x") + QChar(1) + QChar(9) + QChar(0x1B) + QChar(8)},
        // A lone LF is packed too: the layout's reader splits lines at it.
        {"PackLineBreaks", PackLineBreaks, QString("a\nb") + QChar(0), QString("a") + QChar(8) + "b" + QChar(1)},
        // Characters 9 and 1 of a packed text travel escaped.
        {"PackLineBreaks", PackLineBreaks, QString("\t\n") + QChar(1),
         QString(QChar(0x1B)) + "I" + QChar(8) + QChar(0x1B) + "A"},
        {"PackLineBreaks", PackLineBreaks, "tab\tonly", "tab\tonly"}, // nothing to pack: unchanged
        {"PackLineBreaks", PackLineBreaks, "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.fn(c.in), c.out) << c.name << " of " << c.in.toStdString();
}

TEST_F(ExUtilText, InPlaceConversions)
{
    using Fn = std::function<void(QString&)>;
    struct Case { const char* name; Fn fn; QString in, out; };
    const QString vt(QChar(11));
    const Case cases[] = {
        {"QuoteMultiLine", QuoteMultiLine, "a\r\nb", "\"a" + vt + "b\""},
        {"QuoteMultiLine", QuoteMultiLine, "plain", "\"plain\""},
        {"QuoteMultiLine", QuoteMultiLine, "", "\"\""},
        {"QuoteMultiLine", QuoteMultiLine, "a\rb\n", "\"a\rb\n\""},
        {"VTabToLineBreaks", VTabToLineBreaks, "a" + vt + "b" + vt, "a\r\nb\r\n"},
        {"VTabToLineBreaks", VTabToLineBreaks, "ab", "ab"},
        {"CRLFToLF", CRLFToLF, "a\r\nb\rc\n", "a\nb\rc\n"},
        {"CRLFToLF", CRLFToLF, "\r\r\n", "\r\n"},
        {"LineBreaksToTilde", LineBreaksToTilde, "a\r\nb\nc\r", "a~bc~"},
        {"TildeToLineBreaks", TildeToLineBreaks, "a~b~", "a\r\nb\r\n"},
        {"TildeToLineBreaks", TildeToLineBreaks, "^", ""},
        {"TildeToLineBreaks", TildeToLineBreaks, "^^", "^^"},
        {"TildeToLineBreaks", TildeToLineBreaks, "", ""},
    };
    for (const Case& c : cases) {
        QString text = c.in;
        c.fn(text);
        EXPECT_EQ(text, c.out) << c.name << " of " << c.in.toStdString();
    }

    QString quoted = QStringLiteral("x\r\ny");
    QuoteMultiLine(quoted);
    VTabToLineBreaks(quoted);
    EXPECT_EQ(quoted, QStringLiteral("\"x\r\ny\""));

    QString tilde = QStringLiteral("one\r\ntwo");
    LineBreaksToTilde(tilde);
    TildeToLineBreaks(tilde);
    EXPECT_EQ(tilde, QStringLiteral("one\r\ntwo"));
}

TEST_F(ExUtilText, PackedLineBreaksRoundTrip)
{
    struct Case { QString text, firstLine; };
    const Case cases[] = {
        {"one\r\ntwo", "one"},
        {"\r\n", ""},
        {"a\r\n\r\nb\r\n", "a"},
        {QString("nul") + QChar(0) + "\r\nend", QString("nul") + QChar(0)},
        {"lone LF\nthen CR LF\r\nend", "lone LF\nthen CR LF"},
        {S(u"wide \U0001F600\r\nsecond"), S(u"wide \U0001F600")},
        {"no line break", "no line break"},
        {QString("tab\tand one") + QChar(1) + "\r\nx", QString("tab\tand one") + QChar(1)},
        {QString("backspace\b alone"), QString("backspace\b alone")},
        {QString("escape") + QChar(0x1B) + "[\r", QString("escape") + QChar(0x1B) + "["},
        {"", ""},
    };
    for (const Case& c : cases) {
        const QString packed = PackLineBreaks(c.text);
        EXPECT_FALSE(packed.contains(CR)) << c.text.toStdString();
        EXPECT_EQ(UnpackLineBreaks(packed, true), c.text) << c.text.toStdString();
        EXPECT_EQ(UnpackLineBreaks(packed, false), c.firstLine) << c.text.toStdString();
    }
}

TEST_F(ExUtilText, UnpackLineBreaks)
{
    const QChar tab(9), bs(8), one(1);
    // A packed CR without a packed LF is not unpacked.
    EXPECT_EQ(UnpackLineBreaks(QString("a") + tab + "b", true), QString("a") + tab + "b");
    EXPECT_EQ(UnpackLineBreaks(QString("a") + tab + bs + "b" + one, true), QString("a\r\nb") + QChar(0));
    // Without multi-line only the first line.
    EXPECT_EQ(UnpackLineBreaks(QString("a") + tab + bs + "b", false), QStringLiteral("a"));
    EXPECT_EQ(UnpackLineBreaks(QStringLiteral("x\r\ny"), false), QStringLiteral("x"));
    EXPECT_EQ(UnpackLineBreaks(QString(), false), QString());
}

// --- Quoting and characters ----------------------------------------------------------

TEST_F(ExUtilText, Quoting)
{
    EXPECT_EQ(DoubleQuotes(QStringLiteral("say \"hi\"")), QStringLiteral("say \"\"hi\"\""));
    EXPECT_EQ(DoubleQuotes(QString()), QString());
    EXPECT_EQ(DoubleQuotes(QStringLiteral("\"")), QStringLiteral("\"\""));

    EXPECT_EQ(UndoubleChar(u'\'', QStringLiteral("it''s")), QStringLiteral("it's"));
    EXPECT_EQ(UndoubleChar(u'\'', QStringLiteral("'''")), QStringLiteral("''"));
    EXPECT_EQ(UndoubleChar(u'\'', QStringLiteral("''''")), QStringLiteral("''"));
    EXPECT_EQ(UndoubleChar(u'\'', QStringLiteral("a'b")), QStringLiteral("a'b"));
    EXPECT_EQ(UndoubleChar(u'\'', QString()), QString());
    EXPECT_EQ(UndoubleChar(u'"', DoubleQuotes(QStringLiteral("a\"\"b\""))), QStringLiteral("a\"\"b\""));

    QString text = QStringLiteral("secret");
    FillWithChar(text, u'*');
    EXPECT_EQ(text, QStringLiteral("******"));
    QString empty;
    FillWithChar(empty, u'*');
    EXPECT_EQ(empty, QString());
}

TEST_F(ExUtilText, OemConversion)
{
    // "Ä" is byte 0x8E in the Western European DOS page; byte 0x8E reads as "Ž" in the ANSI page.
    QString text = S(u"Ä");
    StringToOem(text);
    EXPECT_EQ(text, S(u"Ž"));
    OemToString(text);
    EXPECT_EQ(text, S(u"Ä"));

    QString ascii = QStringLiteral("plain ASCII 123;\"");
    StringToOem(ascii);
    EXPECT_EQ(ascii, QStringLiteral("plain ASCII 123;\""));

    QString euro = S(u"€5");
    StringToOem(euro);
    EXPECT_EQ(euro, QStringLiteral("?5")); // no euro sign in the DOS page

    QString german = S(u"Grüße aus Köln, ½ ±");
    StringToOem(german);
    OemToString(german);
    EXPECT_EQ(german, S(u"Grüße aus Köln, ½ ±"));

    // Every OEM byte survives the way back and forth.
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(static_cast<char>(b));
    const QString oemAsAnsi = platform::DecodeWindows1252(bytes);
    QString text2 = oemAsAnsi;
    OemToString(text2);
    EXPECT_EQ(text2.size(), 256);
    StringToOem(text2);
    EXPECT_EQ(text2, oemAsAnsi);
}

// --- Wide-escaped text -----------------------------------------------------------------

TEST_F(ExUtilText, EncodeWideText)
{
    EXPECT_EQ(EncodeWideText(QString()), QStringLiteral("|\\"));
    EXPECT_EQ(EncodeWideText(QStringLiteral("A")), QString("|\\") + QChar(0) + QChar(0x41));
    EXPECT_EQ(EncodeWideText(S(u"€")), QString("|\\") + QChar(0x20) + QChar(0xAC));
    EXPECT_EQ(EncodeWideText(S(u"\U0001F600")),
              QString("|\\") + QChar(0xD8) + QChar(0x3D) + QChar(0xDE) + QChar(0x00));
}

TEST_F(ExUtilText, DecodeWideText)
{
    EXPECT_EQ(DecodeWideText(QStringLiteral("plain")), QStringLiteral("plain"));
    EXPECT_EQ(DecodeWideText(QStringLiteral("|x")), QStringLiteral("|x"));
    EXPECT_EQ(DecodeWideText(QString()), QString());
    EXPECT_EQ(DecodeWideText(QStringLiteral("|\\")), QString());
    EXPECT_EQ(DecodeWideText(QString("|\\") + QChar(0x03) + QChar(0xA9)), S(u"Ω"));
    // An odd last character is dropped.
    EXPECT_EQ(DecodeWideText(QString("|\\") + QChar(0) + QChar(0x41) + QChar(0)), QStringLiteral("A"));
    EXPECT_EQ(DecodeWideText(QString("|\\") + QChar(0)), QString());
}

TEST_F(ExUtilText, WideTextRoundTrip)
{
    const QString texts[] = {
        QString(),
        QStringLiteral("ascii"),
        S(u"Ωμέγα ÄÖÜ €"),
        S(u"emoji \U0001F600 and \U00010348 outside the BMP"),
        QStringLiteral("|\\ starts like the marker"),
        QString(QChar(0)) + QChar(0xFFFF) + QChar(0x0100) + QChar(0x00FF),
        QStringLiteral("line\r\nbreak"),
    };
    for (const QString& t : texts)
        EXPECT_EQ(DecodeWideText(EncodeWideText(t)), t) << t.toStdString();
}

// --- Cell texts ---------------------------------------------------------------------------

TEST_F(ExUtilText, CellTextKind)
{
    struct Case { QString text; bool html; int kind; };
    const Case cases[] = {
        {"", true, 0},
        {"", false, 0},
        {"plain", true, 0},
        {"=A1+1", false, 3},
        {"=", true, 3},
        {"{\\rtf1 x}", false, 2},
        {"<B>bold</B>", true, 1},
        {"<B>bold</B>", false, 0},
        {"a</x", true, 1},
        {"<I>x", true, 1},
        {"<CONTROL>", true, 1},
        {"<b>lower</b>", true, 1}, // "</"
        {"<b>lower", true, 0},     // tags are case-sensitive
        {"a<br>b", true, 0},
        {EncodeWideText(QStringLiteral("=A1")), true, 3}, // wide-escaped formula
        {EncodeWideText(S(u"=Ω")), true, 5},              // second unit above 255
        {EncodeWideText(QStringLiteral("=")), true, 5},   // nothing after "="
        {EncodeWideText(QStringLiteral("text")), true, 5},
        {EncodeWideText(QString()), true, 5},             // the bare marker
        {"|\\x", true, 5},
        {" =x", true, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CellTextKind(c.text, c.html), c.kind) << c.text.toStdString();
}

TEST_F(ExUtilText, ParseRCRef)
{
    struct Case { QString text; bool ok; int col, row; };
    const Case cases[] = {
        {"R1C1", true, 1, 1},
        {"R12C3", true, 3, 12},
        {"r7c20", true, 20, 7},
        {"R100C0", true, 0, 100},
        {"R1C", false, 0, 0},  // fewer than four characters
        {"RC12", false, 0, 0}, // no row
        {"R10C", false, 0, 0}, // no column
        {"R1X2", false, 0, 0},
        {"C1R1", false, 0, 0},
        {"R1C2X", false, 0, 0},
        {"RxC12", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        int col = -9, row = -9;
        EXPECT_EQ(ParseRCRef(c.text, col, row), c.ok) << c.text.toStdString();
        EXPECT_EQ(col, c.ok ? c.col : -9) << c.text.toStdString();
        EXPECT_EQ(row, c.ok ? c.row : -9) << c.text.toStdString();
    }
}

// --- URLs and HTML -------------------------------------------------------------------------

TEST_F(ExUtilText, URLDetectionAndScheme)
{
    struct Case { QString text; bool url; QString stripped; };
    const Case cases[] = {
        {"http://example.org", true, "example.org"},
        {"see https://a.b/c", true, "a.b/c"},
        {"ftp://x://y", true, "x://y"},
        {"mailto:someone@example.org", true, "someone@example.org"},
        {"write to mailto:me@x", true, "me@x"},
        {"MAILTO:someone@example.org", false, "MAILTO:someone@example.org"}, // case-sensitive
        {"www.example.org", false, "www.example.org"},
        {"a:/b", false, "a:/b"},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsURL(c.text), c.url) << c.text.toStdString();
        QString s = c.text;
        StripURLScheme(s);
        EXPECT_EQ(s, c.stripped) << c.text.toStdString();
    }
}

TEST_F(ExUtilText, LinkURLText)
{
    struct Case { QString text, prefix; bool linked; QString result; };
    const Case cases[] = {
        {"see http://x.org/a?b=1 now", "HTTP://", true,
         "see <a href=\"http://x.org/a\">http://x.org/a</a>?b=1 now"},
        {"http://x.org", "HTTP://", true, "<a href=\"http://x.org\">http://x.org</a>"},
        {"HTTP://X.ORG/Path_(1)", "HTTP://", true, "<a href=\"HTTP://X.ORG/Path_(1)\">HTTP://X.ORG/Path_(1)</a>"},
        {"<b>http://a.b</b>", "HTTP://", true, "&lt;b&gt;<a href=\"http://a.b\">http://a.b</a>&lt;/b&gt;"},
        {"mail mailto:me@x.org, thanks", "MAILTO:", true,
         "mail <a href=\"mailto:me@x.org\">mailto:me@x.org</a>, thanks"},
        {"http://a http://b", "HTTP://", true, "<a href=\"http://a\">http://a</a> http://b"},
        {S(u"http://b\u00E9"), "HTTP://", true, S(u"<a href=\"http://b\">http://b</a>\u00E9")},
        {"www.x.org/{a}\\b%20c@d", "WWW.", true, "<a href=\"www.x.org/{a}\\b%20c@d\">www.x.org/{a}\\b%20c@d</a>"},
    };
    for (const Case& c : cases) {
        QString result = QStringLiteral("untouched");
        EXPECT_EQ(LinkURLText(c.text, c.prefix, result), c.linked) << c.text.toStdString();
        EXPECT_EQ(result, c.result) << c.text.toStdString();
    }

    QString result = QStringLiteral("untouched");
    EXPECT_FALSE(LinkURLText(QStringLiteral("no link here"), QStringLiteral("HTTP://"), result));
    EXPECT_FALSE(LinkURLText(QStringLiteral("anything"), QString(), result));
    EXPECT_FALSE(LinkURLText(QString(), QStringLiteral("HTTP://"), result));
    EXPECT_EQ(result, QStringLiteral("untouched"));
}

TEST_F(ExUtilText, BuildCFHTML)
{
    QString html = QStringLiteral("<b>x</b>");
    BuildCFHTML(html);
    const QString expected = QStringLiteral(
        "Version:1.0\r\n"
        "StartHTML:00000097\r\n"
        "EndHTML:00000314\r\n"
        "StartFragment:00000274\r\n"
        "EndFragment:00000282\r\n"
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">"
        "<html><head><META http-equiv=Content-Type content=\"text/html; charset=iso-8859-1\"></head>"
        "<body><!--StartFragment--><b>x</b><!--EndFragment--></body></html>");
    EXPECT_EQ(html, expected);
    // The offsets point where they say.
    EXPECT_TRUE(html.mid(97).startsWith(QStringLiteral("<!DOCTYPE")));
    EXPECT_EQ(html.mid(274, 8), QStringLiteral("<b>x</b>"));
    EXPECT_EQ(html.size(), 314);

    QString empty;
    BuildCFHTML(empty);
    EXPECT_TRUE(empty.contains(QStringLiteral("EndHTML:00000306\r\n")));
    EXPECT_TRUE(empty.contains(QStringLiteral("EndFragment:00000274\r\n")));
    EXPECT_EQ(empty.size(), 306);
}

// --- Numbers under the regional settings -------------------------------------------------------

TEST_F(ExUtilText, NumberToDotText)
{
    struct Case { TRegionalSettings rs; QString text, expected; };
    const Case cases[] = {
        {German(), "(1.234,56)", "-1234.56"},
        {German(), "-1.234,5", "-1234.5"},
        {German(), "  12,5 EUR", "12.5"},
        {German(), S(u"€ 7"), "7"},
        {English(), "1,234.56", "1234.56"},
        {English(), "(12)", "-12"},
        {English(), "-5", "-5"},
        {English(), "$-5", "-5"},
        {English(), "1.5e-3", "1.5e-3"},
        {English(), "12abc34", "12"},
        {English(), "-", "-"},
        {English(), "", ""},
        {English(), "   ", ""},
        {English(), "x", ""},
        {English(), ".5", ".5"},
    };
    for (const Case& c : cases) {
        Use(c.rs);
        EXPECT_EQ(NumberToDotText(c.text), c.expected) << c.text.toStdString();
    }
}

TEST_F(ExUtilText, NumberKind)
{
    struct Case { TRegionalSettings rs; QString text; int kind; };
    const Case cases[] = {
        {English(), "12", 0},
        {English(), "-12", 0},
        {English(), "-", 0},
        {English(), "007", 0},
        {English(), "-12.5", 1},
        {English(), "1,234.5", 1},
        {English(), "1,234,567", 1},
        {English(), "-1,234", 1},
        {English(), "1,23,456", 2},   // separators three positions apart
        {English(), "1,,2", 2},
        {English(), "1.5e-3", 5},
        {English(), "1e5", 5},
        {English(), "-1.5E+3", 5},
        {English(), "-1e-5", 5},     // two minus signs in exponent form
        {English(), "1..2", 2},       // two decimal separators
        {English(), "1.2.3", 2},
        {English(), "--12", 2},
        {English(), "12-", 2},
        {English(), "12e", 2},        // ends with e
        {English(), "1e+", 2},
        {English(), "e5", 2},         // e first
        {English(), "1e5e2", 2},
        {English(), "1,5e3", 2},      // thousands separator in exponent form
        {English(), "abc", 2},
        {English(), "12 ", 2},
        {English(), "", 2},
        {German(), "-1.234,5", 1},
        {German(), "1,5e3", 5},
        {German(), "1,2,3", 2},
        {German(), "1.5e3", 2},
    };
    for (const Case& c : cases) {
        Use(c.rs);
        EXPECT_EQ(NumberKind(c.text), c.kind) << c.text.toStdString() << " decimal " << QString(c.rs.DecimalSeparator).toStdString();
    }
}

TEST_F(ExUtilText, ProperCase)
{
    struct Case { QString text, expected; };
    const Case cases[] = {
        {"", ""},
        {"hello world", "Hello World"},
        {"HELLO WORLD", "Hello World"},
        {"o'neil", "O'Neil"},
        {"mary-ann smith", "Mary-Ann Smith"},
        {"a.b,c", "A.B,C"},
        {"mcdonald", "McDonald"},
        {"old mcdonald", "Old McDonald"},
        {"henry ii", "Henry II"},
        {"henry iii", "Henry III"},
        {"henry iv", "Henry IV"},
        {"louis xiv", "Louis Xiv"},
        {"ivan the terrible", "Ivan The Terrible"},
        {S(u"élan ÜBER"), S(u"Élan Über")},
        {"x", "X"},
        {"  lead", "  Lead"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProperCase(c.text), c.expected) << c.text.toStdString();
}

// --- Dates ---------------------------------------------------------------------------------

TEST_F(ExUtilText, ParseDateMDYAndDMY)
{
    EXPECT_EQ(ParseDateMDY(QStringLiteral("12/31/99")), 36525.0);   // 31 December 1999
    EXPECT_EQ(ParseDateMDY(QStringLiteral("1/2/25")), 45659.0);     // 2 January 2025

    struct Case { bool mdy; QString text; double expected; };
    const Case cases[] = {
        {true, "12/31/2024", Serial(2024, 12, 31)}, // four-digit years stay as written
        {false, "31/12/2024", Serial(2024, 12, 31)},
        {false, "31.12.1999", Serial(1999, 12, 31)},
        {false, "31-12-1999", Serial(1999, 12, 31)},
        {true, "2.29.2024", Serial(2024, 2, 29)},
        {false, "1/2/26", Serial(1926, 2, 1)},
        {false, "1/2/0", Serial(2000, 2, 1)},
        {false, "1/2/100", Serial(100, 2, 1)},
        {false, "1/2/1899", Serial(1899, 2, 1)},
        {false, "30/12/1899", 0.0},
        {false, "1.2/2024", 0.0},        // "/" is the separator but occurs once
        {false, "31/12", 0.0},
        {false, "a/b/c", 0.0},
        {false, "1//2024", 0.0},
        {false, "", 0.0},
        {false, "31/12/2024 10:00", 0.0},
        {false, "1/2/3/4", 0.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.mdy ? ParseDateMDY(c.text) : ParseDateDMY(c.text), c.expected) << c.text.toStdString();

    // Impossible dates fail as the date encoder fails.
    EXPECT_THROW(ParseDateMDY(QStringLiteral("2/30/2024")), std::invalid_argument);
    EXPECT_THROW(ParseDateDMY(QStringLiteral("29/2/2023")), std::invalid_argument);
    EXPECT_THROW(ParseDateDMY(QStringLiteral("1/13/2023")), std::invalid_argument);
    EXPECT_THROW(ParseDateDMY(QStringLiteral("0/1/2023")), std::invalid_argument);
}

TEST_F(ExUtilText, LooksLikeDate)
{
    struct Case { QString text; bool expected; };
    const Case cases[] = {
        {"1/2/3", true},
        {"31/12/2024", true},
        {"31/12/2024 10:00", true},
        {"/1/2", false},   // separator first
        {"12/2024", false},
        {"", false},
        {"abc", false},
        {"31.12.2024", false}, // not the regional separator
    };
    for (const Case& c : cases)
        EXPECT_EQ(LooksLikeDate(c.text), c.expected) << c.text.toStdString();
    Use(German());
    EXPECT_TRUE(LooksLikeDate(QStringLiteral("31.12.2024")));
    EXPECT_FALSE(LooksLikeDate(QStringLiteral("31/12/2024")));
}

TEST_F(ExUtilText, IncDateParts)
{
    struct Case { int years, months, days; double offset, from, expected; };
    const Case cases[] = {
        {0, 0, 1, 9.0, Serial(2024, 2, 28), Serial(2024, 2, 29)},
        {0, 0, -1, 9.0, Serial(2024, 3, 1), Serial(2024, 2, 29)},
        {0, 0, 7, 0.0, Serial(2024, 12, 28) + 0.25, Serial(2025, 1, 4) + 0.25},
        {1, 0, 0, 9.0, Serial(2023, 5, 15), Serial(2024, 5, 15)},
        {-3, 0, 0, 9.0, Serial(2023, 5, 15), Serial(2020, 5, 15)},
        {1, 0, 0, 9.0, Serial(2024, 2, 29), Serial(2025, 2, 28)},   // leap day
        {0, 1, 0, 9.0, Serial(2024, 1, 15), Serial(2024, 2, 15)},
        {0, 1, 0, 9.0, Serial(2024, 1, 31), Serial(2024, 2, 29)},   // month end
        {0, 1, 0, 9.0, Serial(2023, 1, 31), Serial(2023, 2, 28)},
        {0, 1, 0, 9.0, Serial(2024, 3, 31), Serial(2024, 4, 30)},
        {0, 1, 0, 9.0, Serial(2024, 12, 15), Serial(2025, 1, 15)},
        {0, 25, 0, 9.0, Serial(2024, 1, 15), Serial(2026, 2, 15)},  // more than a year
        {0, 12, 0, 9.0, Serial(2024, 3, 31), Serial(2025, 3, 31)},
        {0, -1, 0, 9.0, Serial(2024, 1, 15), Serial(2023, 12, 15)},
        {0, -13, 0, 9.0, Serial(2024, 1, 31), Serial(2022, 12, 31)},
        {0, -2, 0, 9.0, Serial(2024, 4, 30), Serial(2024, 2, 29)},
        {0, 1, 0, 9.0, Serial(2024, 1, 31) + 0.5, Serial(2024, 2, 29) + 0.5}, // time kept
        {1, 1, 0, 3.5, Serial(2024, 1, 1), Serial(2024, 1, 1) + 3.5},       // mixed: offset
        {0, 1, 1, 2.0, Serial(2024, 1, 1), Serial(2024, 1, 3)},
        {0, 0, 0, -0.25, Serial(2024, 1, 1), Serial(2024, 1, 1) - 0.25},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(IncDateParts(c.years, c.months, c.days, c.offset, c.from), c.expected)
            << c.years << "y " << c.months << "m " << c.days << "d from " << c.from;
    }
    EXPECT_THROW(IncDateParts(1, 0, 0, 0, Serial(9999, 6, 1)), std::invalid_argument);
    EXPECT_THROW(IncDateParts(0, -1, 0, 0, Serial(1, 1, 15)), std::invalid_argument);
    EXPECT_THROW(IncDateParts(0, INT_MAX, 0, 0, Serial(2024, 1, 1)), std::invalid_argument);
}

TEST_F(ExUtilText, ParseLocaleDateTime)
{
    const auto dmy = Regional(u',', u'.', u'/', u':', QStringLiteral("dd/MM/yyyy"));
    const auto mdy = Regional(u',', u'.', u'/', u':', QStringLiteral("M/d/yy"));
    const auto ymd = Regional(u',', u'.', u'-', u':', QStringLiteral("yyyy-MM-dd"));
    const auto german = Regional(u'.', u',', u'.', u'.', QStringLiteral("dd.MM.yy"));

    struct Case { TRegionalSettings rs; QString text; bool ok; double expected; };
    const Case cases[] = {
        {dmy, "31/12/2024 23:59", true, Serial(2024, 12, 31) + Clock(23, 59)},
        {dmy, "31/12/2024", true, Serial(2024, 12, 31)},
        {dmy, "  1/2/2024  ", true, Serial(2024, 2, 1)},
        {dmy, "31/12/2024 23:59:30", true, Serial(2024, 12, 31) + Clock(23, 59, 30)},
        {dmy, "31/12/2024   8:05", true, Serial(2024, 12, 31) + Clock(8, 5)},
        {dmy, "29/02/2024 00:00", true, Serial(2024, 2, 29)},
        {mdy, "12/31/2024 6:07", true, Serial(2024, 12, 31) + Clock(6, 7)},
        {ymd, "2024-12-31 08:05", true, Serial(2024, 12, 31) + Clock(8, 5)},
        {german, "31.12.2024 23.59", true, Serial(2024, 12, 31) + Clock(23, 59)},
        {german, "31.12.24", true, Serial(24, 12, 31)}, // years are taken as written
        {dmy, "32/12/2024", false, 0},
        {dmy, "31/13/2024", false, 0},
        {dmy, "31/02/2024", false, 0},
        {dmy, "0/1/2024", false, 0},
        {dmy, "31/12", false, 0},
        {dmy, "x/12/2024", false, 0},
        {dmy, "31/12/", false, 0},
        {dmy, "", false, 0},
        {dmy, "31.12.2024", false, 0},
        {dmy, "31/12/2024 24:00", false, 0},
        {dmy, "31/12/2024 23:60", false, 0},
        {dmy, "31/12/2024 23:59:60", false, 0},
        {dmy, "31/12/2024 23:59:61", false, 0},
        {dmy, "31/12/2024 a:00", false, 0},
        {dmy, "31/12/2024 12:", false, 0},
    };
    for (const Case& c : cases) {
        Use(c.rs);
        TDateTime dt = -1;
        EXPECT_EQ(ParseLocaleDateTime(c.text, dt), c.ok) << c.text.toStdString();
        if (c.ok) {
            EXPECT_NEAR(dt, c.expected, 1e-9) << c.text.toStdString();
        }
    }

    // A time without its separator fails, the date part kept.
    Use(dmy);
    TDateTime dt = -1;
    EXPECT_FALSE(ParseLocaleDateTime(QStringLiteral("31/12/2024 2359"), dt));
    EXPECT_EQ(dt, Serial(2024, 12, 31));
    // An impossible date leaves the output alone.
    dt = -1;
    EXPECT_FALSE(ParseLocaleDateTime(QStringLiteral("31/02/2024 10:00"), dt));
    EXPECT_EQ(dt, -1);
}

// --- Filter conditions ----------------------------------------------------------------------

struct ConditionCase
{
    const char* condition;
    QString value;
    bool caseSensitive;
    bool expected;
};

TEST_F(ExUtilText, MatchConditionWildcardsAndOperators)
{
    const ConditionCase cases[] = {
        {"A*", "apple", false, true},
        {"A*", "Apple", false, true},
        {"A*", "banana", false, false},
        {"A*", "apple", true, false},
        {"a*", "apple", true, true},
        {"!A*", "apple", false, false},
        {"!A*", "banana", false, true},
        {"?at", "cat", false, true},
        {"?at", "at", false, false},
        {"?at", "cats", false, false},
        {"*", "", false, true},
        {"*", "anything", false, true},
        {"", "", false, true},
        {"", "x", false, false},
        {"a*b*c", "aXbYc", false, true},
        {"a*b*c", "aXbYcZ", false, false},
        {"*c", "abcbc", false, true},
        {"\"a b\"", "a b", false, true},  // blanks inside quotes stay
        {"a b", "ab", false, true},       // blanks outside quotes go
        {"cat;dog", "dog", false, true},
        {"cat^dog", "cat", false, true},
        {"cat|dog", "bird", false, false},
        {"c*&*t", "cat", false, true},
        {"c*&*x", "cat", false, false},
        {"=5", "5", false, true},
        {"= 5", "5", false, true},
        {"  cat  ", "cat", false, true},
        {"a&", "a", false, false},        // the empty last term matches only an empty value
        {"(a|b", "b", false, true},       // an unclosed group runs to the end
        {"(a|b)&c*", "b", false, false},
        {"(a|b)|c*", "cow", false, true},
        {"\"R&D\"", "R&D", false, true},  // quoted operators are text
        {"\"a|b\"", "a|b", false, true},
    };
    for (const ConditionCase& c : cases) {
        EXPECT_EQ(MatchCondition(QString::fromUtf8(c.condition), c.value, c.caseSensitive), c.expected)
            << c.condition << " ~ " << c.value.toStdString();
    }
}

TEST_F(ExUtilText, MatchConditionComparisons)
{
    const ConditionCase cases[] = {
        {">5&<10", "7", false, true},
        {">5&<10", "12", false, false},
        {">5&<10", "3", false, false},
        {"> 5 & < 10", "7", false, true},
        {">5", "5", false, false},
        {">=5", "5", false, true},
        {"<5", "5", false, false},
        {"<=5", "5", false, true},
        {"<0", "-5", false, true},
        {">-10", "-5", false, true},
        {">-10", "-15", false, false},
        {">900", "1,000", false, true},    // thousands separator: 1000 as a number
        {">1,000.5", "1,000.25", false, false},
        {">2", "10", false, true},         // numbers, not text
        {">\"2\"", "10", false, true},     // quotes around the operand removed
        {">b", "c", false, true},          // text
        {">b", "a", false, false},
        {">B", "c", true, true},
        {">15/06/2024", "01/07/2024", false, true},       // dates, not text
        {"<15/06/2024", "01/07/2024", false, false},
        {"<=\"01/07/2024 12:00\"", "1/7/2024 11:59", false, true}, // date-times, not text
        {"<=\"01/07/2024 12:00\"", "1/7/2024 12:01", false, false},
        {">15/06/2024", "5", false, true}, // only one is a date: text
        {"(>5|<2)&<10", "7", false, true},
        {"(>5|<2)&<10", "1", false, true},
        {"(>5|<2)&<10", "3", false, false},
        {"(>5|<2)&<10", "12", false, false},
        {"<10&(>5|<2)", "1", false, true},
        {"<10&(>5|<2)", "3", false, false},
        {"((>1)&(<3))|9", "2", false, true},
        {"((>1)&(<3))|9", "9", false, true},
        {"((>1)&(<3))|9", "5", false, false},
        {">5|<2&>0", "-1", false, false},  // left to right: (false or true) and false
    };
    for (const ConditionCase& c : cases) {
        EXPECT_EQ(MatchCondition(QString::fromUtf8(c.condition), c.value, c.caseSensitive), c.expected)
            << c.condition << " ~ " << c.value.toStdString();
    }
    Use(German());
    EXPECT_TRUE(MatchCondition(QStringLiteral(">1.000,5"), QStringLiteral("1.000,75"), false));
    EXPECT_FALSE(MatchCondition(QStringLiteral(">1.000,5"), QStringLiteral("999"), false));
    EXPECT_TRUE(MatchCondition(QStringLiteral(">15.06.2024"), QStringLiteral("01.07.2024"), false));
}

TEST_F(ExUtilText, MatchConditionNegatedAndQuotedOperands)
{
    const ConditionCase cases[] = {
        {"!>5", "7", false, false}, // a negated comparison that holds is false
        {"!>5", "3", false, true},
        {"!<5", "3", false, false},
        {"!<5", "7", false, true},
        {"!\"R&D\"", "R&D", false, false},
        {"!\"R&D\"", "X", false, true},
        {"<\"x^y\"", "zzz", false, false},
        {"<\"x^y\"", "a", false, true},
        {"\"a>b\"", "a>b", false, true}, // quoted ">" is text
        {"\"a>b\"", "c", false, false},
    };
    for (const ConditionCase& c : cases) {
        EXPECT_EQ(MatchCondition(QString::fromUtf8(c.condition), c.value, c.caseSensitive), c.expected)
            << c.condition << " ~ " << c.value.toStdString();
    }
}

TEST_F(ExUtilText, MatchConditionHostileInput)
{
    // Deep nesting and star-heavy patterns finish and answer.
    const QString deep = QString(5000, u'(') + QStringLiteral("a") + QString(5000, u')');
    EXPECT_TRUE(MatchCondition(deep, QStringLiteral("a"), false));
    EXPECT_FALSE(MatchCondition(deep, QStringLiteral("b"), false));
    EXPECT_FALSE(MatchCondition(QString(5000, u'('), QStringLiteral("a"), false));

    QString stars;
    for (int i = 0; i < 200; ++i)
        stars += QStringLiteral("*a");
    stars += QStringLiteral("*b");
    EXPECT_FALSE(MatchCondition(stars, QString(5000, u'a'), false));
    EXPECT_TRUE(MatchCondition(stars, QString(5000, u'a') + QStringLiteral("b"), false));

    EXPECT_FALSE(MatchCondition(QStringLiteral(")))&&&|||;;;^^^"), QStringLiteral("x"), false));
    EXPECT_FALSE(MatchCondition(QStringLiteral("\"unclosed"), QStringLiteral("x"), false));
    EXPECT_TRUE(MatchCondition(QStringLiteral("\"unclosed"), QStringLiteral("unclosed"), false));
}

} // namespace
