#include "widgets/RtfText.h"

#include "WidgetTestHelpers.h"

#include <gtest/gtest.h>

#include <QImage>

#include <random>

using namespace platform;

namespace {

const char* const kDocument =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0"
    "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman Times New Roman;}}"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
    "{\\*\\generator Writer 1.0;}\\viewkind4\\uc1\\pard\\f0\\fs20 "
    "Plain \\b bold\\b0  \\i italic\\i0  \\ul under\\ulnone  \\cf1 red\\cf0\\par"
    "\\qc\\f1\\fs32 Big \\cf2 blue\\cf0\\par"
    "}";

QString Plain(const char* rtf)
{
    TRtfDocument doc;
    ReadRtf(QByteArray(rtf), doc);
    return doc.PlainText();
}

} // namespace

TEST(RtfText, ReadsTextAndFormatting)
{
    TRtfDocument doc;
    QString error;
    ASSERT_TRUE(ReadRtf(QByteArray(kDocument), doc, &error));
    ASSERT_EQ(doc.Paragraphs.size(), 2u);
    EXPECT_EQ(doc.PlainText(), QStringLiteral("Plain bold italic under red\r\nBig blue"));
    ASSERT_GE(doc.Fonts.size(), 2u);
    EXPECT_EQ(doc.Fonts[0], QStringLiteral("Arial"));
    EXPECT_EQ(doc.Fonts[1], QStringLiteral("Times New Roman"));
    ASSERT_EQ(doc.Colors.size(), 3u);
    EXPECT_EQ(doc.Colors[0], clNone);
    EXPECT_EQ(doc.Colors[1], clRed);
    EXPECT_EQ(doc.Colors[2], clBlue);

    auto runWith = [&](const TRtfParagraph& p, const QString& text) -> const TRtfRun* {
        for (const TRtfRun& r : p.Runs)
            if (r.Text.contains(text))
                return &r;
        return nullptr;
    };
    const TRtfParagraph& first = doc.Paragraphs[0];
    ASSERT_TRUE(runWith(first, QStringLiteral("bold")));
    EXPECT_EQ(runWith(first, QStringLiteral("bold"))->Style, fsBold);
    EXPECT_EQ(runWith(first, QStringLiteral("italic"))->Style, fsItalic);
    EXPECT_EQ(runWith(first, QStringLiteral("under"))->Style, fsUnderline);
    EXPECT_EQ(runWith(first, QStringLiteral("Plain"))->Style, 0u);
    EXPECT_EQ(runWith(first, QStringLiteral("Plain"))->FontSize, 10);
    EXPECT_EQ(runWith(first, QStringLiteral("Plain"))->FontName, QStringLiteral("Arial"));
    EXPECT_EQ(runWith(first, QStringLiteral("red"))->Color, clRed);
    EXPECT_EQ(runWith(first, QStringLiteral("Plain"))->Color, clNone);
    EXPECT_EQ(first.Alignment, 0);
    const TRtfParagraph& second = doc.Paragraphs[1];
    EXPECT_EQ(second.Alignment, 2);
    EXPECT_EQ(runWith(second, QStringLiteral("Big"))->FontSize, 16);
    EXPECT_EQ(runWith(second, QStringLiteral("Big"))->FontName, QStringLiteral("Times New Roman"));
    EXPECT_EQ(runWith(second, QStringLiteral("blue"))->Color, clBlue);

    // Cells keep RTF one byte per character.
    EXPECT_EQ(RtfToPlainText(QString::fromLatin1(kDocument)), doc.PlainText());
    EXPECT_EQ(RtfToPlainText(QStringLiteral("not rich")), QStringLiteral("not rich"));
    EXPECT_FALSE(ReadRtf(QByteArray("plain text"), doc, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(doc.Paragraphs.empty());
}

TEST(RtfText, CharactersAndSkippedParts)
{
    const struct
    {
        const char* rtf;
        const char16_t* plain;
    } cases[] = {
        {"{\\rtf1 a\\'e9b}", u"aéb"},                          // code page 1252
        {"{\\rtf1 \\'80}", u"€"},
        {"{\\rtf1 \\u8364?x}", u"€x"},                         // the "?" is the fallback
        {"{\\rtf1\\uc2 \\u8364??x}", u"€x"},
        {"{\\rtf1\\uc0 \\u945\\u946 z}", u"αβz"},
        {"{\\rtf1 \\u-3913?}", QStringView(u"\uF0B7").utf16()}, // negative numbers are units above 32767
        {"{\\rtf1 \\{\\}\\\\}", u"{}\\"},
        {"{\\rtf1 a\\tab b\\line c}", u"a\tb\r\nc"},
        {"{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}", u"—–•‘’“”"},
        {"{\\rtf1 {\\*\\unknown hidden}shown}", u"shown"},
        {"{\\rtf1 {\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}body}", u"body"},
        {"{\\rtf1 {\\pict\\wmetafile8 0102ff}after}", u"after"},
        {"{\\rtf1 a\\bin4 \\}{}b}", u"ab"},                     // binary data is skipped
        {"{\\rtf1 line\r\nbreaks\r\n ignored}", u"linebreaks ignored"},
        {"{\\rtf1 end\\par}", u"end"},                         // the closing paragraph mark
        {"{\\rtf1 a\\par\\par b}", u"a\r\n\r\nb"},
        {"{\\rtf1 x} trailing", u"x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Plain(c.rtf), QString::fromUtf16(c.plain)) << c.rtf;
}

TEST(RtfText, MalformedInputIsReadSafely)
{
    const struct
    {
        const char* rtf;
        const char16_t* plain;
    } cases[] = {
        {"{\\rtf1 {\\b bold", u"bold"},   // breaks off
        {"{\\rtf1 a}}}}}b", u"a"},        // too many closings
        {"{\\rtf1 \\", u""},
        {"{\\rtf1 x\\'", u"x"},
        {"{\\rtf1 x\\'4", u"x"},
        {"{\\rtf1 x\\'zzy}", u"xy"},
        {"{\\rtf1 x\\u}", u"x"},
        {"{\\rtf1 \\u99999999999999999999?z}", u"z"},
        {"{\\rtf1 \\fs999999999999 big}", u"big"},
        {"{\\rtf1 \\cf99 x}", u"x"},                 // a colour beyond the table
        {"{\\rtf1 \\f12345 x}", u"x"},               // a font that is not there
        {"{\\rtf1 \\bin999999999 x}", u""},
        {"{\\rtf1 \\bin-5 x}", u"x"},
        {"{\\rtf1 {\\colortbl\\red300\\green-2;}x}", u"x"},
        {"{\\rtf1 {\\fonttbl{\\f99999999 Huge;}}x}", u"x"},
        {"{\\rtf1 \\averyveryveryveryveryveryverylongcontrolword x}", u"x"},
        {"{\\rtf1 \\uc999999 \\u65 BCD}", u"A"},      // fallback count kept small
    };
    for (const auto& c : cases) {
        TRtfDocument doc;
        EXPECT_TRUE(ReadRtf(QByteArray(c.rtf), doc)) << c.rtf;
        EXPECT_EQ(doc.PlainText(), QString::fromUtf16(c.plain)) << c.rtf;
    }

    // Deep nesting is read without growing without bound.
    QByteArray deep("{\\rtf1 ");
    deep += QByteArray(200000, '{');
    deep += "x";
    deep += QByteArray(200000, '}');
    deep += "y}";
    EXPECT_EQ(Plain(deep.constData()), QStringLiteral("xy"));

    // Every cut of a document and random damage are read safely.
    const QByteArray doc(kDocument);
    for (qsizetype n = 5; n <= doc.size(); ++n) {
        TRtfDocument d;
        ReadRtf(doc.left(n), d);
    }
    std::mt19937 random(11);
    const char alphabet[] = "{}\\'*abcdfiuu0123456789- ;\r\n\x80\xff";
    for (int round = 0; round < 2000; ++round) {
        QByteArray input("{\\rtf1");
        const int length = static_cast<int>(random() % 80);
        for (int k = 0; k < length; ++k)
            input += alphabet[random() % (sizeof(alphabet) - 1)];
        TRtfDocument d;
        ReadRtf(input, d);
        TBitmap b(60, 30);
        DrawRtfText(b.Canvas(), d, Rect(0, 0, 60, 30), true, false);
    }
}

TEST(RtfText, PaintsAndMeasures)
{
    TRtfDocument doc;
    ASSERT_TRUE(ReadRtf(QByteArray("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\fs24 one \\cf1 red\\cf0\\par two}"),
                        doc));
    TBitmap b(200, 60);
    b.Canvas().Brush().SetColor(clWhite);
    b.Canvas().FillRect(Rect(0, 0, 200, 60));
    b.Canvas().Font().SetColor(clBlack);
    const TSize size = DrawRtfText(b.Canvas(), doc, Rect(0, 0, 200, 60), false, false);
    const QImage img = b.Image();
    const auto reddish = [](QColor c) { return c.red() > 150 && c.green() < 110 && c.blue() < 110; };
    const auto dark = [](QColor c) { return c.red() + c.green() + c.blue() < 300; };
    const QRect red = widgettest::Bounding(img, reddish);
    const QRect black = widgettest::Bounding(img, dark);
    ASSERT_FALSE(red.isEmpty());
    EXPECT_GT(red.left(), 10);        // "red" follows "one "
    EXPECT_GT(black.bottom(), red.bottom() + 5); // "two" on the next line
    EXPECT_GE(size.cx, red.right());
    EXPECT_GT(size.cy, 0);

    // Measuring draws nothing; word wrap makes more lines; selected cells take one colour.
    TBitmap m(200, 60);
    m.Canvas().Brush().SetColor(clWhite);
    m.Canvas().FillRect(Rect(0, 0, 200, 60));
    const TSize measured = DrawRtfText(m.Canvas(), doc, Rect(0, 0, 200, 60), false, true);
    EXPECT_EQ(measured.cx, size.cx);
    EXPECT_EQ(measured.cy, size.cy);
    EXPECT_EQ(widgettest::Count(m.Image(), dark), 0);
    const TSize narrow = DrawRtfText(m.Canvas(), doc, Rect(0, 0, 30, 60), true, true);
    EXPECT_GT(narrow.cy, size.cy);
    DrawRtfText(m.Canvas(), doc, Rect(0, 0, 200, 60), false, false, clBlue);
    EXPECT_EQ(widgettest::Count(m.Image(), reddish), 0);
}
