// Text that is not UTF-8 in a file read as UTF-8: the document is refused
// like one that is not well-formed, with the line and column of the first bad
// byte, so no reader gets U+FFFD in place of the user's text and no save
// writes it back so.
#include "platform/XmlDocument.h"

#include <QString>

#include <gtest/gtest.h>

#include <random>

using platform::XmlDocument;

TEST(XmlUtf8, BytesThatAreNotUtf8AreReportedWhereTheyStand)
{
    struct Case
    {
        const char* why;
        QByteArray bytes;
        const char* where;  // empty: the document loads
    };
    const Case cases[] = {
        {"two, three and four bytes", "<a x=\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\"/>", ""},
        {"a byte-order mark", "\xEF\xBB\xBF<a x=\"\xC3\xA9\"/>", ""},
        {"a Latin-1 byte in an attribute", "<a>\n<n x=\"Gr\xFC\xDF\"/></a>", "line 2, column 9"},
        // The column counts characters: "é" before the bad byte is one.
        {"after a character of two bytes", "<a x=\"\xC3\xA9\xFC\"/>", "line 1, column 8"},
        {"in text", "<a>\n\n  caf\xE9</a>", "line 3, column 6"},
        {"in a comment", "<!-- \xFF -->\n<a/>", "line 1, column 6"},
        {"a lone continuation byte", "<a>\x80</a>", "line 1, column 4"},
        {"cut short at the end", "<a/>\xC3", "line 1, column 5"},
        {"cut short by the next character", "<a>\xE2\x82<b/></a>", "line 1, column 4"},
        {"overlong slash", "<a>\xC0\xAF</a>", "line 1, column 4"},
        {"overlong of three bytes", "<a>\xE0\x80\xAF</a>", "line 1, column 4"},
        {"a surrogate", "<a>\xED\xA0\x80</a>", "line 1, column 4"},
        {"above U+10FFFF", "<a>\xF4\x90\x80\x80</a>", "line 1, column 4"},
        {"no such lead byte", "<a>\xF8\x88\x80\x80\x80</a>", "line 1, column 4"},
        {"declared UTF-8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\xFC</a>", "line 2, column 4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        XmlDocument doc;
        QString error;
        const bool loaded = doc.LoadFromBytes(c.bytes, &error);
        if (!*c.where) {
            EXPECT_TRUE(loaded) << error.toStdString();
            continue;
        }
        EXPECT_FALSE(loaded);
        EXPECT_TRUE(error.startsWith(QStringLiteral("Text that is not valid UTF-8"))) << error.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(c.where))) << error.toStdString();
        EXPECT_TRUE(doc.FirstChild().IsNull());
    }
}

TEST(XmlUtf8, OtherEncodingsAndOtherFaults)
{
    // A file that declares Latin-1 is read as Latin-1.
    XmlDocument doc;
    QString error;
    ASSERT_TRUE(doc.LoadFromBytes("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a x=\"Gr\xFC\xDF\"/>", &error))
        << error.toStdString();
    EXPECT_EQ(doc.DocumentElement().Attribute("x"), QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"));

    // An encoding this reader cannot take is named, not guessed.
    EXPECT_FALSE(doc.LoadFromBytes("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<a>\x80</a>", &error));
    EXPECT_TRUE(error.contains("windows-1252")) << error.toStdString();
    EXPECT_TRUE(error.contains("line 2, column 4")) << error.toStdString();

    // The parser's own fault comes first when it stands before the bad byte.
    EXPECT_FALSE(doc.LoadFromBytes("<a><b></a>\xFF", &error));
    EXPECT_FALSE(error.contains("UTF-8")) << error.toStdString();
    EXPECT_TRUE(error.contains("line 1,"));
}

// Random attribute values of valid characters and stray bytes: the document
// loads exactly when its bytes decode to UTF-16 and back unchanged, and then
// every attribute reads as those characters.
TEST(XmlUtf8, FuzzAgreesWithARoundTripThroughUtf16)
{
    std::mt19937 random(20261211);
    const QByteArray pieces[] = {"a", "Z", "0", " ", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xEF\xBF\xBD"};
    for (int round = 0; round < 3000; ++round) {
        QByteArray value;
        const int length = int(random() % 12);
        for (int i = 0; i < length; ++i) {
            if (random() % 4 == 0)
                value += char(0x80 + random() % 0x80);  // any byte from 0x80 up
            else
                value += pieces[random() % std::size(pieces)];
        }
        const QByteArray bytes = "<r>\n<n v=\"" + value + "\"/>\n</r>";
        const bool wellFormed = QString::fromUtf8(value).toUtf8() == value;
        XmlDocument doc;
        QString error;
        ASSERT_EQ(doc.LoadFromBytes(bytes, &error), wellFormed) << value.toHex().toStdString() << " " << error.toStdString();
        if (wellFormed)
            EXPECT_EQ(doc.DocumentElement().FindChild("n").Attribute("v"), QString::fromUtf8(value));
        else
            EXPECT_TRUE(error.contains("line 2, column ")) << error.toStdString();
    }
}
