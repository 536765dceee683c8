#include "ExGridExchangeTestSupport.h"

#include "platform/XmlDocument.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
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

namespace {

QImage Solid(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

} // namespace

// Pictures go into the images folder beside the page as JPEG files; a later
// export takes names no file has yet, so the pictures of earlier pages stay.
TEST_F(HTMLFixture, PicturesAreJpegFilesThatNeverReplaceEarlierOnes)
{
    grid.SetFixedCols(0);
    grid.SetFixedRows(0);
    grid.SetColCount(3);
    grid.SetRowCount(1);
    grid.SetGridCell(0, 0, QStringLiteral("red"));
    grid.CreateBitmap(0, 0, false, haLeft, vaTop)->SetImage(Solid(4, 3, Qt::red));
    platform::TImageList images(5, 5);
    platform::TBitmap strip(10, 5);
    strip.SetImage(Solid(10, 5, Qt::blue));
    images.Add(strip);
    grid.SetGridImages(&images);
    grid.SetGridCell(1, 0, QStringLiteral("listed"));
    grid.AddImageIdx(1, 0, 1, haLeft, vaTop);
    grid.SetGridCell(2, 0, QStringLiteral("none"));
    grid.AddImageIdx(2, 0, 7, haLeft, vaTop); // outside the list: text only

    grid.SaveToHTML(Path("one.html"));
    const QString folder = QDir(dir.path()).absoluteFilePath(QStringLiteral("images"));
    const QString page = QString::fromUtf8(ReadAll(Path("one.html")));
    EXPECT_TRUE(page.contains(QStringLiteral(">red<img src= \"file://") + folder + QStringLiteral("/img0.jpg\"></td>")))
        << "bitmap: text, then the picture";
    EXPECT_TRUE(page.contains(QStringLiteral("><img src= \"file://") + folder + QStringLiteral("/img1.jpg\">listed</td>")))
        << "image list: the picture, then text";
    EXPECT_TRUE(page.contains(QStringLiteral(">none</td>")));
    const QByteArray first = ReadAll(folder + QStringLiteral("/img0.jpg"));
    ASSERT_TRUE(first.startsWith("\xFF\xD8\xFF"));
    const QImage back = QImage::fromData(first, "JPG");
    EXPECT_EQ(back.size(), QSize(4, 3));
    EXPECT_GT(qRed(back.pixel(1, 1)), 200);
    EXPECT_EQ(QImage::fromData(ReadAll(folder + QStringLiteral("/img1.jpg")), "JPG").size(), QSize(5, 5));

    grid.SetGridImages(nullptr);
    grid.CreateBitmap(0, 0, false, haLeft, vaTop)->SetImage(Solid(2, 2, Qt::green));
    grid.SaveToHTML(Path("two.html"));
    EXPECT_TRUE(QString::fromUtf8(ReadAll(Path("two.html"))).contains(QStringLiteral("/img2.jpg\"></td>")));
    EXPECT_EQ(ReadAll(folder + QStringLiteral("/img0.jpg")), first) << "the first page's picture is kept";
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/img3.jpg")));
}

// A JPEG picture is written as it is; XHTML closes the picture's tag.
TEST_F(HTMLFixture, JpegPictureKeepsItsBytes)
{
    QByteArray jpeg;
    {
        QBuffer b(&jpeg);
        b.open(QIODevice::WriteOnly);
        ASSERT_TRUE(Solid(6, 4, Qt::yellow).save(&b, "JPG"));
    }
    grid.SetFixedCols(0);
    grid.SetFixedRows(0);
    grid.SetColCount(1);
    grid.SetRowCount(1);
    grid.CreatePicture(0, 0, false, TStretchMode::noStretch, 0, haLeft, vaTop)->LoadFromStream(&jpeg);
    grid.HTMLSettings().XHTML = true;
    grid.SaveToHTML(Path("p.html"));
    EXPECT_EQ(ReadAll(Path("images/img0.jpg")), jpeg);
    const QByteArray page = ReadAll(Path("p.html"));
    EXPECT_TRUE(page.contains("/images/img0.jpg\" alt=\"\"/></td>"));
    platform::XmlDocument doc;
    QString error;
    EXPECT_TRUE(doc.LoadFromBytes(page, &error)) << error.toStdString();

    grid.HTMLSettings().ExportImages = false;
    grid.SaveToHTML(Path("q.html"));
    EXPECT_FALSE(ReadAll(Path("q.html")).contains("<img"));
    EXPECT_FALSE(QFile::exists(Path("images/img1.jpg")));
}

// The clipboard's export has no folder: it writes no picture files anywhere
// (not into the working folder) and leaves the pictures out.
TEST_F(HTMLFixture, ExportWithoutFolderWritesNoFiles)
{
    grid.SetFixedCols(0);
    grid.SetFixedRows(0);
    grid.SetColCount(1);
    grid.SetRowCount(1);
    grid.SetGridCell(0, 0, QStringLiteral("pic"));
    grid.CreateBitmap(0, 0, false, haLeft, vaTop)->SetImage(Solid(3, 3, Qt::red));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QString html = grid.SaveToHTMLString(QString());
    QDir::setCurrent(before);
    EXPECT_TRUE(html.contains(QStringLiteral(">pic</td>")));
    EXPECT_FALSE(html.contains(QStringLiteral("<img")));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(HTMLFixture, PictureFolderThatCannotBeMadeFailsBeforeThePage)
{
    grid.SetFixedCols(0);
    grid.SetFixedRows(0);
    grid.SetColCount(1);
    grid.SetRowCount(1);
    grid.CreateBitmap(0, 0, false, haLeft, vaTop)->SetImage(Solid(3, 3, Qt::red));
    WriteAll(Path("images"), "a file in the folder's place");
    const QString folder = QDir(dir.path()).absoluteFilePath(QStringLiteral("images"));
    try {
        grid.SaveToHTML(Path("f.html"));
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(QString::fromStdString(e.what()), QStringLiteral("Cannot create ") + folder);
    }
    EXPECT_FALSE(QFile::exists(Path("f.html")));
}
