#include "ExGridExchangeTestSupport.h"

#include "platform/XmlDocument.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace exchange_test;

namespace {

struct XMLFixture : ::testing::Test
{
    QTemporaryDir dir;
    TExStringGrid grid;
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

} // namespace

TEST_F(XMLFixture, WrittenBytesFollowTheDeclaredEncoding)
{
    grid.SetFixedRows(0);
    grid.SetFixedCols(0);
    grid.SetColCount(2);
    grid.SetRowCount(2);
    grid.SetGridCell(0, 0, QStringLiteral("a"));
    grid.SetGridCell(1, 1, QStringLiteral("b & c <é> Ω\r\n"));
    grid.SaveToXML(Path("l1.xml"), QStringLiteral("list"), QStringLiteral("rec"), nullptr, false);
    EXPECT_EQ(ReadAll(Path("l1.xml")),
              QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<list>\r\n<rec>\r\n<FIELD0>a</FIELD0>\r\n"
                         "</rec>\r\n<rec>\r\n<FIELD1>b &amp; c &lt;\xE9&gt; &#937;&#13;\n</FIELD1>\r\n</rec>\r\n"
                         "</list>\r\n"));
    grid.SetXMLEncoding(QStringLiteral("UTF-8"));
    const QStringList names{QStringLiteral("first"), QStringLiteral("second")};
    grid.SaveToXML(Path("u8.xml"), QStringLiteral("list"), QStringLiteral("rec"), &names, true);
    EXPECT_EQ(ReadAll(Path("u8.xml")),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<list>\r\n<rec>\r\n<first>a</first>\r\n"
                         "<second>&quot;&quot;</second>\r\n</rec>\r\n<rec>\r\n<first>&quot;&quot;</first>\r\n"
                         "<second>b &amp; c &lt;\xC3\xA9&gt; \xCE\xA9&#13;\n</second>\r\n</rec>\r\n</list>\r\n"));
}

TEST_F(XMLFixture, AwkwardCellsRoundTrip)
{
    for (const char* encoding : {"ISO-8859-1", "UTF-8", "windows-1252", "EBCDIC-unknown"}) {
        FillAwkward(grid);
        grid.SetGridCell(1, 0, QStringLiteral("&lt; stays as typed"));
        grid.SetXMLEncoding(QString::fromLatin1(encoding));
        grid.SaveToXML(Path("rt.xml"), QStringLiteral("list"), QStringLiteral("rec"), nullptr, true);
        platform::XmlDocument check;
        QString error;
        ASSERT_TRUE(check.Load(Path("rt.xml"), &error)) << encoding << " " << error.toStdString();
        TExStringGrid back;
        back.SetFixedRows(0);
        back.SetFixedCols(0);
        back.SetMultilinecells(true);
        back.LoadFromXML(Path("rt.xml"), false, false);
        const auto texts = AwkwardTexts();
        ASSERT_EQ(back.RowCount(), static_cast<int>(texts.size())) << encoding;
        EXPECT_EQ(back.GetGridCell(1, 0), QStringLiteral("&lt; stays as typed")) << encoding;
        for (int r = 1; r < back.RowCount(); ++r)
            EXPECT_EQ(back.GetGridCell(1, r), texts[r].text) << texts[r].why << " " << encoding;
    }
}

TEST_F(XMLFixture, ReadingRecordsFieldsAndAttributes)
{
    WriteAll(Path("f.xml"), "<list><rec><name>x</name><v>1</v></rec><rec><name>y</name><v>2</v></rec></list>");
    TExStringGrid g;
    g.SetColCount(5);
    g.SetRowCount(5);
    g.LoadFromXML(Path("f.xml"), false, true);
    EXPECT_EQ(g.GetGridCell(0, 0), QStringLiteral("name"));
    EXPECT_EQ(g.GetGridCell(1, 0), QStringLiteral("v"));
    EXPECT_EQ(g.GetGridCell(0, 1), QStringLiteral("x"));
    EXPECT_EQ(g.GetGridCell(1, 2), QStringLiteral("2"));
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.ColCount(), 2);

    WriteAll(Path("a.xml"), "<list><rec id=\"7\" kind=\"k\"/><rec id=\"8\" kind=\"&lt;\"/></list>");
    TExStringGrid a;
    a.LoadFromXML(Path("a.xml"), false, true);
    EXPECT_EQ(a.GetGridCell(0, 0), QStringLiteral("id"));
    EXPECT_EQ(a.GetGridCell(1, 1), QStringLiteral("k"));
    EXPECT_EQ(a.GetGridCell(1, 2), QStringLiteral("<"));
}

TEST_F(XMLFixture, LevelsNeverGiveANegativeRow)
{
    const QByteArray docs[] = {
        "<list><rec><one>x</one></rec></list>",
        "<list><rec>text</rec><rec><a>1</a><b>2</b></rec></list>",
        "<list><rec><a>1</a><b><c>2</c><d>3</d></b></rec></list>",
    };
    for (const QByteArray& d : docs) {
        WriteAll(Path("lv.xml"), d);
        TExStringGrid g;
        g.SetFixedRows(0);
        g.SetFixedCols(0);
        EXPECT_NO_THROW(g.LoadFromXML(Path("lv.xml"), true, false)) << d.constData();
        EXPECT_GE(g.RowCount(), 1);
    }
    WriteAll(Path("lv.xml"), docs[0]);
    TExStringGrid g;
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.LoadFromXML(Path("lv.xml"), true, false);
    EXPECT_EQ(g.GetGridCell(0, 0), QStringLiteral("x"));
}

TEST_F(XMLFixture, BadDocumentsChangeNothing)
{
    QByteArray deep;
    for (int i = 0; i < 2000; ++i)
        deep += "<a><b/>";
    for (int i = 0; i < 2000; ++i)
        deep += "</a>";
    struct Case
    {
        const char* why;
        QByteArray doc;
        const char* message;
    };
    const Case cases[] = {
        {"not well-formed", "<list>\n<rec>\n<a>1</b>\n</rec></list>", "XMLDOM Parsing error 1 on line 3"},
        {"empty", "", nullptr},
        {"truncated", "<list><rec><a>1</a>", nullptr},
        {"nested too deep", deep, nullptr},
    };
    for (const Case& c : cases) {
        TExStringGrid g;
        g.SetColCount(3);
        g.SetRowCount(3);
        g.SetGridCell(1, 1, QStringLiteral("keep"));
        const QStringList before = Snapshot(g);
        WriteAll(Path("bad.xml"), c.doc);
        try {
            g.LoadFromXML(Path("bad.xml"), true, false);
            ADD_FAILURE() << c.why;
        } catch (const std::exception& e) {
            if (c.message) {
                EXPECT_STREQ(e.what(), c.message) << c.why;
            }
        }
        EXPECT_EQ(Snapshot(g), before) << c.why;
    }
    try {
        grid.LoadFromXML(Path("missing.xml"), false, false);
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "XML file not found");
    }
}
