#include "ExGridExchangeTestSupport.h"

#include "platform/XmlDocument.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace exchange_test;

namespace {

struct HTMLFixture : ::testing::Test
{
    QTemporaryDir dir;
    TExStringGrid grid;
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void Small()
    {
        grid.SetFixedCols(0);
        grid.SetFixedRows(1);
        grid.SetColCount(2);
        grid.SetRowCount(3);
        grid.SetGridCell(0, 0, QStringLiteral("Head <1>"));
        grid.SetGridCell(1, 0, QStringLiteral("H2"));
        grid.SetGridCell(0, 1, QStringLiteral("a<b & \"c\""));
        grid.SetGridCell(0, 2, QStringLiteral("x\r\ny\nz"));
        grid.SetGridCell(1, 2, QStringLiteral("http://host/p?a=1&b=\"2\""));
    }
};

} // namespace

TEST_F(HTMLFixture, TableLayoutAndEscaping)
{
    Small();
    grid.SetURLShow(true);
    const QString html = grid.SaveToHTMLString(QString());
    EXPECT_TRUE(html.startsWith(QStringLiteral("<style>\r\n.c0 {")));
    EXPECT_TRUE(html.contains(QStringLiteral(
        "<TABLE BORDER=\"1\" CELLSPACING=\"0\" CELLPADDING=\"0\" WIDTH=\"100%\">\r\n<TR>\r\n<TD class=\"c0\">Head &lt;1&gt;</td>\r\n")));
    EXPECT_TRUE(html.contains(QStringLiteral(">a&lt;b &amp; &quot;c&quot;</td>"))) << "escaped without being asked";
    EXPECT_TRUE(html.contains(QStringLiteral(">x<br>y<br>z</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral(
        "<a href=\"http://host/p?a=1&amp;b=&quot;2&quot;\">host/p?a=1&amp;b=&quot;2&quot;</a>")))
        << "link target quoted and escaped";
    EXPECT_TRUE(html.contains(QStringLiteral("<TD class=\"c1\">&nbsp;</td>"))) << "empty body cell";
    EXPECT_EQ(html.count(QStringLiteral("<TR>")), 3);
    EXPECT_TRUE(html.endsWith(QStringLiteral("</TABLE>\r\n")));
    // Header cells share one class, body cells another.
    EXPECT_EQ(html.count(QStringLiteral("class=\"c0\"")), 2);
    EXPECT_EQ(html.count(QStringLiteral("class=\"c1\"")), 4);
}

TEST_F(HTMLFixture, MergedCellsBecomeSpans)
{
    grid.SetFixedCols(0);
    grid.SetFixedRows(0);
    grid.SetColCount(3);
    grid.SetRowCount(3);
    grid.SetGridCell(0, 0, QStringLiteral("big"));
    grid.MergeCells(0, 0, 2, 2);
    const QString html = grid.SaveToHTMLString(QString());
    EXPECT_TRUE(html.contains(QStringLiteral(" COLSPAN=\"2\" ROWSPAN=\"2\">big</td>")));
    EXPECT_EQ(html.count(QStringLiteral("<TD ")), 9 - 3);
}

TEST_F(HTMLFixture, XHTMLIsWellFormedAndDeclaresItsBytes)
{
    Small();
    grid.SetURLShow(true);
    grid.HTMLSettings().XHTML = true;
    grid.HTMLSettings().NonBreakingText = true;
    grid.HTMLSettings().Summary = QStringLiteral("a \"summary\" & more");
    grid.SetGridCell(1, 1, QStringLiteral("Ωμέγα 漢字"));
    grid.SaveToHTML(Path("x.html"));
    const QByteArray bytes = ReadAll(Path("x.html"));
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"));
    EXPECT_TRUE(bytes.contains(QStringLiteral("Ωμέγα").toUtf8())) << "UTF-8 bytes under a utf-8 declaration";
    platform::XmlDocument doc;
    QString error;
    EXPECT_TRUE(doc.LoadFromBytes(bytes, &error)) << error.toStdString();
    EXPECT_EQ(doc.DocumentElement().Name(), QStringLiteral("html"));

    grid.SaveToHTML(Path("w.html"), false, true);
    const QByteArray wide = ReadAll(Path("w.html"));
    ASSERT_TRUE(wide.startsWith("\xFF\xFE"));
    EXPECT_TRUE(wide.contains(Utf16Le(QStringLiteral("encoding=\"utf-16\""))));
    EXPECT_TRUE(doc.LoadFromBytes(wide, &error)) << error.toStdString();
}

TEST_F(HTMLFixture, HeaderFooterAndAppend)
{
    Small();
    WriteAll(Path("head.txt"), "<html><body>\r\n");
    WriteAll(Path("foot.txt"), "</body></html>\r\n");
    grid.HTMLSettings().HeaderFile = Path("head.txt");
    grid.HTMLSettings().FooterFile = Path("foot.txt");
    grid.SaveToHTML(Path("h.html"));
    const QByteArray once = ReadAll(Path("h.html"));
    EXPECT_TRUE(once.startsWith("<html><body>\r\n<style>"));
    EXPECT_TRUE(once.endsWith("</TABLE>\r\n</body></html>\r\n"));
    grid.AppendToHTML(Path("h.html"));
    EXPECT_EQ(ReadAll(Path("h.html")), once + once);
    grid.HTMLSettings().HeaderFile = Path("missing.txt");
    EXPECT_THROW(grid.SaveToHTML(Path("h.html")), REruVidaZuvez);
    EXPECT_EQ(ReadAll(Path("h.html")), once + once) << "nothing written";
}
