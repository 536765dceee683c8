// "M_Bus.xml": the bytes written, what is read back, the defaults, the legacy
// address and the files that cannot be read.
#include "mbus/UMeter_Bus.h"
#include "support/TestSupport.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

// A wired node by secondary address with one variable, and a wireless node
// without variables: every attribute differs from its default.
TNodi_List Sample_Network()
{
    TNodo wired;
    wired.Enable = 1;
    wired.Description = QStringLiteral("Heat & <hot> \"A\"");
    wired.Node_Pri = 5;
    wired.Node_Sec = 12345678;
    wired.Send_SNK = 1;
    wired.Reset_App = 1;
    wired.Enable_NS = 1;
    wired.Node_State = 10;
    wired.Enable_IN = 1;
    wired.Ident_Num = 11;
    wired.BCDtoINT_IN = 1;
    wired.Swap_Ident = 1;
    wired.Node_ID_Type = 1;
    wired.Var_List_Type = 1;
    wired.Cut_After = 2;
    wired.Enable_MS = 1;
    wired.Manufacturer_Spec = 20;
    wired.MSD_Length = 200;
    wired.MSD_Offset = 41;
    wired.Enable_AN = 1;
    wired.Access_Number = 13;
    wired.MBus_Type = 1;
    TVariabile v;
    v.Enable = true;
    v.Description = QStringLiteral("Energy");
    v.Type_Of_Data = 20;
    v.Function_Field = 2;
    v.Dimension = 7;
    v.Unita = 10;
    v.PositionData = 1536;
    v.Storage_Number = 4294967295u;
    v.Tariff = 1048575;
    v.VIFE = 151;
    v.BCDtoINT = true;
    v.VIF_ASCII = QStringLiteral("kWh");
    v.Length = 191;
    v.Conv_Float = true;
    v.Force_Int32 = true;
    v.TP_Mod_Regs = true;
    v.TP_Mod_Year = 59995;
    v.Position = 512;
    v.Post_Operation = 12;
    wired.Var_List.push_back(v);

    TNodo wireless;
    wireless.Enable = 0;
    wireless.Description = QStringLiteral("Water");
    wireless.Node_Pri = 1;
    wireless.Node_Sec = 1;
    wireless.MBus_Type = 0;
    wireless.wMBus_ManID = QStringLiteral("0x2C2D");
    wireless.wMBus_Add = QStringLiteral("-2023406815");
    wireless.wMBus_Ver = QStringLiteral("$1B");
    wireless.wMBus_DevType = QStringLiteral("7");
    wireless.wMBus_En_Key = 1;
    for (int i = 0; i < 16; ++i)
        wireless.wMBus_Key[static_cast<size_t>(i)] = i == 0 ? QStringLiteral("0x1F") : QString::number(i);
    wireless.Enable_RSSI = 1;
    wireless.RSSI = -3;
    return {wired, wireless};
}

const char kSampleFile[] =
    "<M-Bus_Network>\n"
    "\t<Nodo Node_Enable=\"1\" ID_Primary=\"5\" ID_Secondary=\"12345678\" Descrizione=\"Heat &amp; &lt;hot> &quot;A&quot;\""
    " Send_SND_NKE=\"1\" Reset_App=\"1\" Enable_Node_State=\"1\" Node_State=\"10\" Enable_Ident_Num=\"1\" Ident_Num=\"11\""
    " BCDtoINT_IN=\"1\" Swap_IN=\"1\" Node_ID_Type=\"1\" Var_List_Type=\"1\" Cut_After=\"2\""
    " Enable_Manufacturer_Specific_Data=\"1\" Manufacturer_Specific_Data=\"20\" MSD_Length=\"200\" MSD_Offset=\"41\""
    " Enable_Access_Number=\"1\" Access_Number=\"13\" MBus_Type=\"1\" wMBus_ManID=\"\" wMBus_Add=\"\" wMBus_Ver=\"\""
    " wMBus_DevType=\"\" wMBus_En_Key=\"0\" wMBus_Key_1=\"\" wMBus_Key_2=\"\" wMBus_Key_3=\"\" wMBus_Key_4=\"\""
    " wMBus_Key_5=\"\" wMBus_Key_6=\"\" wMBus_Key_7=\"\" wMBus_Key_8=\"\" wMBus_Key_9=\"\" wMBus_Key_10=\"\""
    " wMBus_Key_11=\"\" wMBus_Key_12=\"\" wMBus_Key_13=\"\" wMBus_Key_14=\"\" wMBus_Key_15=\"\" wMBus_Key_16=\"\""
    " wMBus_Enable_RSSI=\"0\" wMBus_RSSI=\"0\">\n"
    "\t\t<Variabile Enable=\"1\" Desc=\"Energy\" Type=\"20\" Fun_Field=\"2\" Dim=\"7\" Unit=\"10\" PositionData=\"1536\""
    " StoNumber=\"4294967295\" Tariff=\"1048575\" VIFE=\"151\" BCDtoINT=\"1\" VIF_ASCII=\"kWh\" Length=\"191\""
    " Conv_Float=\"1\" Force_Int32=\"1\" TP_Mod_Regs=\"1\" TP_Mod_Year=\"59995\" Position=\"512\" Post_Operation=\"12\" />\n"
    "\t</Nodo>\n"
    "\t<Nodo Node_Enable=\"0\" ID_Primary=\"1\" ID_Secondary=\"1\" Descrizione=\"Water\" Send_SND_NKE=\"0\" Reset_App=\"0\""
    " Enable_Node_State=\"0\" Node_State=\"0\" Enable_Ident_Num=\"0\" Ident_Num=\"0\" BCDtoINT_IN=\"0\" Swap_IN=\"0\""
    " Node_ID_Type=\"0\" Var_List_Type=\"0\" Cut_After=\"0\" Enable_Manufacturer_Specific_Data=\"0\""
    " Manufacturer_Specific_Data=\"0\" MSD_Length=\"0\" MSD_Offset=\"0\" Enable_Access_Number=\"0\" Access_Number=\"0\""
    " MBus_Type=\"0\" wMBus_ManID=\"0x2C2D\" wMBus_Add=\"-2023406815\" wMBus_Ver=\"$1B\" wMBus_DevType=\"7\""
    " wMBus_En_Key=\"1\" wMBus_Key_1=\"0x1F\" wMBus_Key_2=\"1\" wMBus_Key_3=\"2\" wMBus_Key_4=\"3\" wMBus_Key_5=\"4\""
    " wMBus_Key_6=\"5\" wMBus_Key_7=\"6\" wMBus_Key_8=\"7\" wMBus_Key_9=\"8\" wMBus_Key_10=\"9\" wMBus_Key_11=\"10\""
    " wMBus_Key_12=\"11\" wMBus_Key_13=\"12\" wMBus_Key_14=\"13\" wMBus_Key_15=\"14\" wMBus_Key_16=\"15\""
    " wMBus_Enable_RSSI=\"1\" wMBus_RSSI=\"-3\" />\n"
    "</M-Bus_Network>\n"
    "<!--SW_VERSION = 1.002-->\n";

// Two networks hold the same values, field by field.
void ExpectSame(const TNodi_List& a, const TNodi_List& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(MBus_Network_Bytes({a[i]}), MBus_Network_Bytes({b[i]})) << "node " << i;
}

MBus_Read_Result Read(const QByteArray& xml) { return Read_MBus_Network_Bytes(xml); }

// A document whose root holds the given nodes.
QByteArray Network(const QByteArray& body) { return "<M-Bus_Network>" + body + "</M-Bus_Network>"; }

const char kMinimalVar[] = "<Variabile Type=\"0\" Fun_Field=\"0\" Dim=\"0\"/>";

} // namespace

TEST(MBusNetworkFile, WrittenByteForByte)
{
    EXPECT_EQ(MBus_Network_Bytes(Sample_Network()).toStdString(), std::string(kSampleFile));
}

TEST(MBusNetworkFile, AnEmptyNetworkIsTheRootAndTheComment)
{
    const QByteArray bytes = MBus_Network_Bytes({});
    EXPECT_EQ(bytes.toStdString(), "<M-Bus_Network />\n<!--SW_VERSION = 1.002-->\n");
    const MBus_Read_Result back = Read(bytes);
    EXPECT_TRUE(back.Ok);
    EXPECT_TRUE(back.Nodes.empty());
}

TEST(MBusNetworkFile, EveryFieldRoundTrips)
{
    const TNodi_List network = Sample_Network();
    const MBus_Read_Result back = Read(MBus_Network_Bytes(network));
    ASSERT_TRUE(back.Ok) << back.Error.toStdString();
    ExpectSame(back.Nodes, network);
    ASSERT_EQ(back.Nodes.size(), 2u);
    EXPECT_EQ(back.Nodes[0].Description, network[0].Description);
    EXPECT_EQ(back.Nodes[0].Var_List.at(0).Storage_Number, 4294967295u);
    EXPECT_EQ(back.Nodes[1].RSSI, -3);
    EXPECT_EQ(back.Nodes[1].wMBus_Key[0], "0x1F");  // key bytes stay texts
    EXPECT_TRUE(back.Nodes[1].Var_List.empty());
}

TEST(MBusNetworkFile, SavedAtomicallyAndAFailedSaveSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("M_Bus.xml");
    ASSERT_TRUE(Write_MBus_Network(Sample_Network(), path));
    EXPECT_EQ(ReadAll(path).toStdString(), std::string(kSampleFile));
    const MBus_Read_Result back = Read_MBus_Network(path);
    ASSERT_TRUE(back.Ok);
    EXPECT_EQ(back.Nodes.size(), 2u);

    QString error;
    EXPECT_FALSE(Write_MBus_Network({}, dir.filePath("missing/M_Bus.xml"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadAll(path).toStdString(), std::string(kSampleFile));
}

TEST(MBusNetworkFile, NoFileIsAnEmptyNetwork)
{
    QTemporaryDir dir;
    const MBus_Read_Result r = Read_MBus_Network(dir.filePath("M_Bus.xml"));
    EXPECT_TRUE(r.Ok);
    EXPECT_TRUE(r.Nodes.empty());
    EXPECT_TRUE(r.Error.isEmpty());
}

TEST(MBusNetworkFile, DefaultsOfMissingAttributes)
{
    const MBus_Read_Result r = Read(Network(QByteArray("<Nodo>") + kMinimalVar + "</Nodo>"));
    ASSERT_TRUE(r.Ok);
    ASSERT_EQ(r.Nodes.size(), 1u);
    TNodo expected;
    expected.Enable = 1;
    expected.Node_Pri = 1;
    expected.Node_Sec = 1;
    expected.MBus_Type = 1;
    TVariabile var;
    var.Position = 1;
    expected.Var_List.push_back(var);
    ExpectSame(r.Nodes, {expected});
    EXPECT_FALSE(r.Nodes[0].Var_List[0].Enable);
}

TEST(MBusNetworkFile, AttributeConversions)
{
    // One attribute of a node, or of its variable, and what it reads as.
    struct Case
    {
        const char* why;
        const char* node;  // attributes of "Nodo"
        const char* var;   // attributes of its "Variabile" besides the three required ones
        std::function<int64_t(const TNodo&)> field;
        int64_t expected;
    };
    const auto v0 = [](const TNodo& n) -> const TVariabile& { return n.Var_List.at(0); };
    const Case cases[] = {
        {"hexadecimal after 0x", "Node_State=\"0x10\"", "", [](const TNodo& n) { return n.Node_State; }, 16},
        {"hexadecimal after $", "Ident_Num=\"$FF\"", "", [](const TNodo& n) { return n.Ident_Num; }, 255},
        {"leading blanks and a sign", "wMBus_RSSI=\"  -7\"", "", [](const TNodo& n) { return n.RSSI; }, -7},
        {"not a number takes the default", "Node_State=\"ten\"", "", [](const TNodo& n) { return n.Node_State; }, 0},
        {"MBus_Type missing is wired", "", "", [](const TNodo& n) { return n.MBus_Type; }, 1},
        {"MBus_Type not a number is wired", "MBus_Type=\"radio\"", "", [](const TNodo& n) { return n.MBus_Type; }, 1},
        {"Cut_After 2 means three frames", "Cut_After=\"2\"", "", [](const TNodo& n) { return n.Cut_After; }, 2},
        {"an 8-bit field keeps the low bits", "Cut_After=\"300\"", "", [](const TNodo& n) { return n.Cut_After; }, 44},
        {"Node_Enable missing is on", "", "", [](const TNodo& n) { return n.Enable; }, 1},
        {"Type outside its list is kept", "", "", [&](const TNodo& n) { return v0(n).Type_Of_Data; }, 65535},
        {"StoNumber -1 is the largest", "", "StoNumber=\"-1\"", [&](const TNodo& n) { return v0(n).Storage_Number; }, 4294967295},
        {"StoNumber in hexadecimal", "", "StoNumber=\"0xFFFFFFFF\"", [&](const TNodo& n) { return v0(n).Storage_Number; }, 4294967295},
        {"StoNumber keeps the low 32 bits", "", "StoNumber=\"4294967297\"", [&](const TNodo& n) { return v0(n).Storage_Number; }, 1},
        {"StoNumber not a number is 0", "", "StoNumber=\"many\"", [&](const TNodo& n) { return v0(n).Storage_Number; }, 0},
        {"Position missing is 1", "", "", [&](const TNodo& n) { return v0(n).Position; }, 1},
        {"Enable missing is off", "", "", [&](const TNodo& n) { return v0(n).Enable; }, 0},
        {"Enable Y is off", "", "Enable=\"Y\"", [&](const TNodo& n) { return v0(n).Enable; }, 0},
        {"Enable 1 is on", "", "Enable=\"1\"", [&](const TNodo& n) { return v0(n).Enable; }, 1},
        {"a flag other than 1 is off", "", "TP_Mod_Regs=\"true\"", [&](const TNodo& n) { return v0(n).TP_Mod_Regs; }, 0},
        {"VIFE keeps its low 8 bits", "", "VIFE=\"300\"", [&](const TNodo& n) { return v0(n).VIFE; }, 44},
        {"VIFE 255 stays", "", "VIFE=\"255\"", [&](const TNodo& n) { return v0(n).VIFE; }, 255},
    };
    for (const Case& c : cases) {
        const QByteArray type = QByteArray(c.why).startsWith("Type outside") ? "65535" : "1";
        const QByteArray xml = Network(QByteArray("<Nodo ") + c.node + "><Variabile Type=\"" + type
                                       + "\" Fun_Field=\"1\" Dim=\"1\" " + c.var + "/></Nodo>");
        const MBus_Read_Result r = Read(xml);
        ASSERT_TRUE(r.Ok) << c.why;
        ASSERT_EQ(r.Nodes.size(), 1u) << c.why;
        EXPECT_EQ(c.field(r.Nodes[0]), c.expected) << c.why;
    }
}

TEST(MBusNetworkFile, OutOfListValuesReadBackAsWritten)
{
    // What a scan or a hand edit leaves that the editor's lists cannot show:
    // no type of data (65535), no dimension (255), a secondary address in
    // hexadecimal digits. A read and a write change none of it.
    const QByteArray xml = Network(
        "<Nodo ID_Secondary=\"1234ABCD\" Node_ID_Type=\"1\" MBus_Type=\"7\" Var_List_Type=\"9\" Swap_IN=\"-4\" Cut_After=\"255\">"
        "<Variabile Type=\"65535\" Fun_Field=\"9\" Dim=\"255\" Unit=\"99\" Post_Operation=\"200\" VIFE=\"255\"/></Nodo>");
    const MBus_Read_Result r = Read(xml);
    ASSERT_TRUE(r.Ok);
    const TNodo& n = r.Nodes.at(0);
    EXPECT_EQ(n.Secondary_Text(), "1234ABCD");
    EXPECT_EQ(n.Node_Sec, 1);
    const QByteArray once = MBus_Network_Bytes(r.Nodes);
    EXPECT_TRUE(once.contains("ID_Secondary=\"1234ABCD\""));
    for (const char* kept : {"MBus_Type=\"7\"", "Var_List_Type=\"9\"", "Swap_IN=\"-4\"", "Cut_After=\"255\"", "Type=\"65535\"",
                             "Fun_Field=\"9\"", "Dim=\"255\"", "Unit=\"99\"", "Post_Operation=\"200\"", "VIFE=\"255\""})
        EXPECT_TRUE(once.contains(kept)) << kept;
    const MBus_Read_Result again = Read(once);
    EXPECT_EQ(MBus_Network_Bytes(again.Nodes), once);

    // A secondary address typed in hexadecimal reads as its number.
    const MBus_Read_Result hex = Read(Network("<Nodo ID_Secondary=\"0x00BC614E\" Node_ID_Type=\"1\"/>"));
    EXPECT_EQ(hex.Nodes.at(0).Node_Sec, 12345678);
    EXPECT_EQ(hex.Nodes.at(0).Secondary_Text(), "12345678");
}

TEST(MBusNetworkFile, LegacyAddress)
{
    struct Case
    {
        const char* attributes;
        int primary;
        int secondary;
    };
    const Case cases[] = {
        {"ID=\"7\" Node_ID_Type=\"1\" ID_Primary=\"3\" ID_Secondary=\"4\"", 1, 7},
        {"ID=\"7\" Node_ID_Type=\"0\" ID_Primary=\"3\" ID_Secondary=\"4\"", 7, 1},
        {"ID=\"7\" ID_Primary=\"3\" ID_Secondary=\"4\"", 7, 1},                   // the type defaults to primary
        {"ID=\"0x20\" Node_ID_Type=\"1\"", 1, 32},
        {"ID=\"seven\" Node_ID_Type=\"1\" ID_Primary=\"3\" ID_Secondary=\"4\"", 3, 4},  // no usable ID
        {"ID_Primary=\"3\" ID_Secondary=\"4\"", 3, 4},
        {"Node_ID_Type=\"1\" ID_Secondary=\"ABC\" ID=\"9\"", 1, 9},              // ID wins over a kept text too
    };
    for (const Case& c : cases) {
        const MBus_Read_Result r = Read(Network(QByteArray("<Nodo ") + c.attributes + "/>"));
        ASSERT_EQ(r.Nodes.size(), 1u) << c.attributes;
        EXPECT_EQ(r.Nodes[0].Node_Pri, c.primary) << c.attributes;
        EXPECT_EQ(r.Nodes[0].Node_Sec, c.secondary) << c.attributes;
        EXPECT_EQ(r.Nodes[0].Secondary_Text(), QString::number(c.secondary)) << c.attributes;
        // The legacy attribute is never written.
        EXPECT_FALSE(MBus_Network_Bytes(r.Nodes).contains(" ID=")) << c.attributes;
    }
}

TEST(MBusNetworkFile, FilesThatCannotBeRead)
{
    // Nothing of such a file is handed out: the network is empty and the
    // reason is given, so no part of a network is ever shown as the whole.
    struct Case
    {
        const char* why;
        QByteArray xml;
        const char* error;  // exact text, or null for the parser's own
    };
    const QByteArray good = QByteArray("<Nodo>") + kMinimalVar + "</Nodo>";
    const Case cases[] = {
        {"Type missing", Network(good + "<Nodo><Variabile Fun_Field=\"0\" Dim=\"0\"/></Nodo>"),
         "'' is not a valid integer value"},
        {"Fun_Field not a number", Network(good + "<Nodo><Variabile Type=\"0\" Fun_Field=\"max\" Dim=\"0\"/></Nodo>"),
         "'max' is not a valid integer value"},
        {"Dim empty", Network(good + "<Nodo><Variabile Type=\"0\" Fun_Field=\"0\" Dim=\"\"/></Nodo>"),
         "'' is not a valid integer value"},
        {"Type in the last node", Network(good + good + "<Nodo>" + kMinimalVar + "<Variabile Type=\"1A\" Fun_Field=\"0\" Dim=\"0\"/></Nodo>"),
         "'1A' is not a valid integer value"},
        {"not well-formed", Network(good).chopped(3), nullptr},
        {"not XML at all", "M-Bus meters: 3", nullptr},
        {"empty file", "", nullptr},
        {"only a comment", "<!-- nothing -->", nullptr},
        // The parser takes a second top-level element; its meters would be
        // dropped without a word by reading the first alone.
        {"two roots", Network(good) + Network(good), nullptr},
    };
    for (const Case& c : cases) {
        const MBus_Read_Result r = Read(c.xml);
        EXPECT_FALSE(r.Ok) << c.why;
        EXPECT_TRUE(r.Nodes.empty()) << c.why;
        if (c.error)
            EXPECT_EQ(r.Error, QString::fromLatin1(c.error)) << c.why;
        else
            EXPECT_FALSE(r.Error.isEmpty()) << c.why;
    }
}

TEST(MBusNetworkFile, WhatCountsAsNodesAndVariables)
{
    // Elements are read whatever their names; comments are no meters, and a
    // comment before the root does not hide the network.
    const QByteArray xml = "<!-- edited by hand -->\n<Net>\n<!-- first -->\n<Meter Descrizione=\"a\">"
                           "<!-- its value --><Value Type=\"1\" Fun_Field=\"0\" Dim=\"0\"/>text</Meter>"
                           "<Nodo Descrizione=\"b\"/>\n</Net>";
    const MBus_Read_Result r = Read(xml);
    ASSERT_TRUE(r.Ok) << r.Error.toStdString();
    ASSERT_EQ(r.Nodes.size(), 2u);
    EXPECT_EQ(r.Nodes[0].Description, "a");
    ASSERT_EQ(r.Nodes[0].Var_List.size(), 1u);
    EXPECT_EQ(r.Nodes[0].Var_List[0].Type_Of_Data, 1);
    EXPECT_EQ(r.Nodes[1].Description, "b");

    // With an XML declaration before the root, too.
    const MBus_Read_Result declared = Read("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + Network(QByteArray("<Nodo/>")));
    EXPECT_EQ(declared.Nodes.size(), 1u);
}

TEST(MBusNetworkFile, DamagedCopiesNeverCrashAndNeverHalfLoad)
{
    // Bytes of a good file cut, dropped or changed at random: the reader
    // either reads a whole network or none.
    const QByteArray good = kSampleFile;
    QRandomGenerator rng(20);
    for (int i = 0; i < 3000; ++i) {
        QByteArray bytes = good;
        const int edits = 1 + static_cast<int>(rng.bounded(4));
        for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
            const int at = static_cast<int>(rng.bounded(bytes.size()));
            switch (rng.bounded(3)) {
            case 0: bytes.truncate(at); break;
            case 1: bytes.remove(at, 1 + static_cast<int>(rng.bounded(8))); break;
            default: bytes[at] = static_cast<char>(rng.bounded(256)); break;
            }
        }
        const MBus_Read_Result r = Read(bytes);
        if (!r.Ok) {
            EXPECT_TRUE(r.Nodes.empty());
            EXPECT_FALSE(r.Error.isEmpty());
        }
        EXPECT_LE(r.Nodes.size(), 2u);
    }
}
