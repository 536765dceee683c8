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

// Every file the program writes goes through ToBytes: its layout (declaration,
// tab indentation, attribute order, escaping, UTF-8 as it stands) is pinned
// here byte for byte.
TEST(XmlDocument, WritesTheSameBytes)
{
    XmlDocument doc;
    XmlNode root = doc.AddChild("Rules");
    root.SetAttribute("Version", "2");
    root.SetAttribute("Model", "X5K15");
    root.AddComment(QString::fromUtf8("n\xC3\xB6te"));
    XmlNode list = root.AddChild("Uplink");
    XmlNode row = list.AddChild("row");
    row.SetAttribute("Enable", "Y");
    row.SetAttribute("Port", "1");
    row.SetAttribute("Comment", QString::fromUtf8("a<b>&\"c\" 'd'\te\nf\rg \xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E"));
    row.SetAttribute("Empty", "");
    row.SetAttribute("Port", "12");  // rewritten in place
    XmlNode text = list.AddChild(QString::fromUtf8("Gr\xC3\xB6\xC3\x9F" "e"));
    text.SetText(QString::fromUtf8("x<y>&\"z\" 'w'\tv\nu t \xC3\xA9"));
    text.SetAttribute("unit", QString::fromUtf8("m\xC2\xB3"));
    list.AddChild("row").SetAttribute("Enable", "N");
    root.AddChild("Blank").SetText(" ");
    root.AddChild("Empty").SetText("");
    doc.AddComment("SW_VERSION = 1.000");

    const QByteArray body = "<Rules Version=\"2\" Model=\"X5K15\">\n"
                            "\t<!--n\xC3\xB6te-->\n"
                            "\t<Uplink>\n"
                            "\t\t<row Enable=\"Y\" Port=\"12\" Comment=\"a&lt;b>&amp;&quot;c&quot; 'd'&#09;e&#10;f&#13;g "
                            "\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E\" Empty=\"\" />\n"
                            "\t\t<Gr\xC3\xB6\xC3\x9F" "e unit=\"m\xC2\xB3\">x&lt;y&gt;&amp;\"z\" 'w'\tv\nu t \xC3\xA9</Gr\xC3\xB6\xC3\x9F" "e>\n"
                            "\t\t<row Enable=\"N\" />\n"
                            "\t</Uplink>\n"
                            "\t<Blank> </Blank>\n"
                            "\t<Empty />\n"
                            "</Rules>\n"
                            "<!--SW_VERSION = 1.000-->\n";
    EXPECT_EQ(doc.ToBytes().toStdString(), body.toStdString());
    EXPECT_EQ(doc.ToBytes(true).toStdString(), ("<?xml version=\"1.0\"?>\n" + body).toStdString());

    // A file in this layout loads and saves back unchanged, a declaration kept
    // from the file included when asked for.
    XmlDocument back;
    QString error;
    ASSERT_TRUE(back.LoadFromBytes("<?xml version=\"1.0\"?>\n" + body, &error)) << error.toStdString();
    EXPECT_EQ(back.ToBytes().toStdString(), body.toStdString());
}

// Reading attributes by name answers from the element as it is now: after a
// new attribute, a new load into the same memory, or a rewritten text.
TEST(XmlDocument, AttributeReadsFollowChanges)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes("<a><row x=\"1\" y=\"2\" x=\"3\"/><row y=\"4\"/></a>"));
    XmlNode row = doc.DocumentElement().FirstChild();
    // An attribute named twice: the first counts.
    EXPECT_EQ(row.Attribute("x"), QString("1"));
    EXPECT_EQ(row.Attribute("y"), QString("2"));
    EXPECT_FALSE(row.HasAttribute("z"));
    EXPECT_FALSE(row.Attribute("").has_value());
    row.SetAttribute("z", "9");
    EXPECT_EQ(row.Attribute("z"), QString("9"));
    row.SetAttribute("x", "5");
    EXPECT_EQ(row.Attribute("x"), QString("5"));
    EXPECT_EQ(row.NextSibling().Attribute("y"), QString("4"));
    EXPECT_FALSE(row.NextSibling().HasAttribute("x"));

    for (const char* value : {"a", "b"}) {
        ASSERT_TRUE(doc.LoadFromBytes(QByteArray("<a><row x=\"") + value + "\"/></a>"));
        EXPECT_EQ(doc.DocumentElement().FirstChild().Attribute("x"), QString(value));
    }
    XmlNode parent = doc.AddChild("p");
    XmlNode child = parent.AddChild("c");
    child.SetAttribute("k", "1");
    EXPECT_EQ(child.Attribute("k"), QString("1"));
    parent.SetText("t");
    XmlNode again = parent.AddChild("c");
    again.SetAttribute("m", "2");
    EXPECT_FALSE(again.HasAttribute("k"));
    EXPECT_EQ(again.Attribute("m"), QString("2"));
}
