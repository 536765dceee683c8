#include "platform/XmlDocument.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using platform::XmlDocument;
using platform::XmlNode;

namespace {

QString Path(const QTemporaryDir& dir, const char* name) { return dir.filePath(QString::fromLatin1(name)); }

} // namespace

TEST(XmlDocument, WritesRootFirstWithoutDeclarationAndCommentAfterRoot)
{
    XmlDocument doc;
    XmlNode root = doc.AddChild("Par_Gen");
    root.AddChild("LoRa_RF_Band").SetText("EU868");
    root.AddChild("Ethernet_IP1").SetText("010");
    root.AddChild("Empty");
    doc.AddComment("SW_VERSION = 1.002");

    const QByteArray expected = "<Par_Gen>\n"
                                "\t<LoRa_RF_Band>EU868</LoRa_RF_Band>\n"
                                "\t<Ethernet_IP1>010</Ethernet_IP1>\n"
                                "\t<Empty />\n"
                                "</Par_Gen>\n"
                                "<!--SW_VERSION = 1.002-->\n";
    EXPECT_EQ(doc.ToBytes().toStdString(), expected.toStdString());
    EXPECT_TRUE(doc.ToBytes(true).startsWith("<?xml version=\"1.0\""));
}

TEST(XmlDocument, AttributesKeepInsertionOrderThroughSaveAndLoad)
{
    QTemporaryDir dir;
    XmlDocument doc;
    XmlNode row = doc.AddChild("Rules").AddChild("row");
    // Not alphabetical on purpose.
    for (const char* name : {"Enable", "Port", "Address", "NumByte", "Comment"})
        row.SetAttribute(name, QString::fromLatin1(name).toLower());
    row.SetAttribute("Port", "10");  // rewriting keeps the place
    ASSERT_TRUE(doc.Save(Path(dir, "r.xml")));

    XmlDocument back;
    QString error;
    ASSERT_TRUE(back.Load(Path(dir, "r.xml"), &error)) << error.toStdString();
    const auto attrs = back.DocumentElement().FindChild("row").Attributes();
    const std::vector<std::pair<QString, QString>> expected = {
        {"Enable", "enable"}, {"Port", "10"}, {"Address", "address"}, {"NumByte", "numbyte"}, {"Comment", "comment"}};
    EXPECT_EQ(attrs, expected);
}

TEST(XmlDocument, AbsentAttributeHasNoValueButEmptyOneDoes)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes("<a><row x=\"\" y=\"2\"/></a>"));
    const XmlNode row = doc.DocumentElement().FindChild("row");
    EXPECT_EQ(row.Attribute("x"), QString());
    EXPECT_EQ(row.Attribute("y"), QString("2"));
    EXPECT_FALSE(row.Attribute("z").has_value());
    EXPECT_FALSE(row.HasAttribute("z"));
    // A missing node answers like a missing attribute, without crashing.
    EXPECT_FALSE(doc.DocumentElement().FindChild("nothing").Attribute("x").has_value());
    EXPECT_TRUE(doc.DocumentElement().FindChild("nothing").Text().isEmpty());
}

TEST(XmlDocument, TextIsTakenAsItStands)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes("<s>\n  <flag> 1 </flag>\n  <blank> </blank>\n  <empty></empty>\n"
                                  "  <nested>a<b>b</b>c</nested>\n  <amp>x &amp; y</amp>\n</s>"));
    const XmlNode root = doc.FirstChild();
    EXPECT_EQ(root.FindChild("flag").Text(), " 1 ");
    EXPECT_EQ(root.FindChild("blank").Text(), " ");
    EXPECT_EQ(root.FindChild("empty").Text(), "");
    EXPECT_EQ(root.FindChild("nested").Text(), "abc");
    EXPECT_EQ(root.FindChild("amp").Text(), "x & y");
    // Indentation between elements is not a child.
    ASSERT_EQ(root.Children().size(), 5u);
    EXPECT_EQ(root.Children()[0].Name(), "flag");
}

TEST(XmlDocument, SetTextReplacesChildrenAndRoundTripsSpecialCharacters)
{
    QTemporaryDir dir;
    XmlDocument doc;
    XmlNode root = doc.AddChild("r");
    XmlNode e = root.AddChild("e");
    e.AddChild("old");
    e.SetText(QString::fromUtf8(" <a> & \"b\" \xC2\xB6 \xE2\x82\xAC "));
    root.SetAttribute("q", "it's \"quoted\" <&>");
    ASSERT_TRUE(doc.Save(Path(dir, "t.xml")));
    XmlDocument back;
    ASSERT_TRUE(back.Load(Path(dir, "t.xml")));
    EXPECT_EQ(back.FirstChild().FindChild("e").Text(), QString::fromUtf8(" <a> & \"b\" \xC2\xB6 \xE2\x82\xAC "));
    EXPECT_TRUE(back.FirstChild().FindChild("e").FindChild("old").IsNull());
    EXPECT_EQ(back.FirstChild().Attribute("q"), QString("it's \"quoted\" <&>"));
}

TEST(XmlDocument, WalksTopLevelNodesInOrder)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!--lead-->\n<root><a/><!--c--><b/></root>\n"
                                  "<!--SW_VERSION = 1.000-->"));
    // The declaration is not a node; a leading comment is.
    const XmlNode first = doc.FirstChild();
    ASSERT_TRUE(first.IsComment());
    EXPECT_EQ(first.Text(), "lead");
    EXPECT_EQ(doc.DocumentElement().Name(), "root");
    ASSERT_EQ(doc.Children().size(), 3u);
    EXPECT_EQ(doc.Children()[2].Text(), "SW_VERSION = 1.000");

    std::vector<QString> seen;
    for (XmlNode n = doc.DocumentElement().FirstChild(); n; n = n.NextSibling())
        seen.push_back(n.IsComment() ? "#" + n.Text() : n.Name());
    EXPECT_EQ(seen, (std::vector<QString>{"a", "#c", "b"}));
    EXPECT_EQ(doc.DocumentElement().FindChild("b").Name(), "b");
    // A loaded declaration is not written back unless asked for.
    EXPECT_TRUE(doc.ToBytes().startsWith("<!--lead-->"));
}

TEST(XmlDocument, ClearRemovesEverythingOfAnEarlierLoad)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes("<old><x/></old><!--c-->"));
    doc.Clear();
    EXPECT_TRUE(doc.FirstChild().IsNull());
    doc.AddChild("Conf_Settings");
    EXPECT_EQ(doc.ToBytes(), QByteArray("<Conf_Settings />\n"));
}

TEST(XmlDocument, NotWellFormedFailsWithWhatAndWhere)
{
    struct Case
    {
        const char* name;
        QByteArray bytes;
        int line;
    };
    const Case cases[] = {
        {"unclosed", "<a>\n<b>\n</a>", 3},
        {"mismatched end", "<a><b></c></a>", 1},
        {"empty", "", 1},
        {"only a comment", "<!--x-->", 1},
        {"text", "hello", 1},
        {"unquoted attribute", "<a>\n\n<row x=1/></a>", 3},
        {"binary", QByteArray("\x00\x01\x02<", 4), 1},
        // A reader of the first root would lose the second's content.
        {"two roots", "<a><row/></a>\n<a><row/></a>", 2},
    };
    for (const Case& c : cases) {
        XmlDocument doc;
        QString error;
        EXPECT_FALSE(doc.LoadFromBytes(c.bytes, &error)) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
        EXPECT_TRUE(error.contains(QStringLiteral("line %1,").arg(c.line))) << c.name << ": " << error.toStdString();
        EXPECT_TRUE(doc.FirstChild().IsNull()) << c.name;
    }
}

TEST(XmlDocument, LoadReportsMissingAndUnreadableFiles)
{
    QTemporaryDir dir;
    XmlDocument doc;
    QString error;
    EXPECT_FALSE(doc.Load(Path(dir, "missing.xml"), &error));
    EXPECT_TRUE(error.contains("missing.xml"));
    EXPECT_FALSE(doc.Load(dir.path(), &error));  // a folder
    ASSERT_TRUE(testsupport::WriteAll(Path(dir, "bad.xml"), "<a><b></a>"));
    EXPECT_FALSE(doc.Load(Path(dir, "bad.xml"), &error));
    EXPECT_TRUE(error.contains("bad.xml"));
    EXPECT_TRUE(error.contains("line 1"));
}

TEST(XmlDocument, LoadsUtf16WithByteOrderMark)
{
    QTemporaryDir dir;
    const QString text = QString::fromUtf8("<r><n>Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC</n></r>");
    QByteArray bytes("\xFF\xFE");
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    ASSERT_TRUE(testsupport::WriteAll(Path(dir, "u16.xml"), bytes));
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(Path(dir, "u16.xml")));
    EXPECT_EQ(doc.FirstChild().FindChild("n").Text(), QString::fromUtf8("Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC"));
}

TEST(XmlDocument, FailedSaveLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString path = Path(dir, "Vudidid.xml");
    const QByteArray old = "<Conf_Settings><lastproj><projectname>Plant</projectname></lastproj></Conf_Settings>\n";
    ASSERT_TRUE(testsupport::WriteAll(path, old));

    XmlDocument doc;
    XmlNode root = doc.AddChild("Conf_Settings");
    for (int i = 0; i < 2000; ++i)
        root.AddChild("entry").SetText(QString(40, QChar('x')));

    // The file system refuses to let the new content grow past 512 bytes.
    struct rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool saved_ok = doc.Save(path, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(saved_ok);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(testsupport::ReadAll(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Vudidid.xml"});

    // Into a folder that does not exist: refused, nothing created.
    EXPECT_FALSE(doc.Save(Path(dir, "no/such/folder.xml"), &error));
    EXPECT_FALSE(error.isEmpty());
}
