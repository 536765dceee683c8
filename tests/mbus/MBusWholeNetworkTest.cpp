// The network as a whole, whatever wrote its file: the identification a
// secondary address gives, duplicate addresses and shared data-area positions
// found by the network check, numbers of a hand-edited file that their fields
// cannot keep, the editor's OK that refuses to write any of them, and the
// scan's saving that places new meters after the positions already used.
#include "mbus/UMeter_Bus_Checks.h"
#include "mbus/UMeter_Bus_Form.h"
#include "mbus/UScanDecode_Save.h"
#include "support/TestSupport.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/NumberText.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace platform;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

TNodo Wired(const char* description, int primary)
{
    TNodo n;
    n.Enable = 1;
    n.Description = QString::fromLatin1(description);
    n.MBus_Type = MBus_Type_Wired;
    n.Node_Pri = primary;
    n.Node_Sec = 1;
    return n;
}

TNodo Secondary(const char* description, const char* text)
{
    TNodo n = Wired(description, 1);
    n.Node_ID_Type = 1;
    const std::optional<int> number = ParseNumber(QString::fromLatin1(text));
    n.Node_Sec = number.value_or(1);
    n.Node_Sec_Text = number ? QString() : QString::fromLatin1(text);
    return n;
}

TNodo Wireless(const char* description)
{
    TNodo n = Wired(description, 1);
    n.MBus_Type = MBus_Type_Wireless;
    n.wMBus_Add = QStringLiteral("305419896");
    return n;
}

TVariabile Var(const char* description, int position, int timePoint = 0)
{
    TVariabile v;
    v.Enable = true;
    v.Description = QString::fromLatin1(description);
    v.PositionData = position;
    v.TP_Mod_Regs = timePoint > 0;
    v.TP_Mod_Year = timePoint;
    return v;
}

TNodo With(TNodo n, std::initializer_list<TVariabile> vars)
{
    n.Var_List.insert(n.Var_List.end(), vars.begin(), vars.end());
    return n;
}

} // namespace

TEST(MBusWholeNetwork, SecondaryIdentification)
{
    struct Case
    {
        const char* text;
        std::optional<uint32_t> id;
    } const cases[] = {
        {"12345678", 0x12345678u},
        {"123", 0x00000123u},          // as the device has always had it
        {"123456789", 0x23456789u},    // the lowest eight digits
        {"0x00BC614E", 0x12345678u},   // a number typed in hexadecimal is the number
        {"-1", 0x94967295u},           // 4294967295's lowest eight digits
        {"1234ABCD", 0x1234ABCDu},     // what a scan writes: the meter's own nibbles
        {"1234abcd", 0x1234ABCDu},
        {"00000000", 0u},
        {"1234ABC", std::nullopt},
        {"1234ABCDE", std::nullopt},
        {" 1234ABC", std::nullopt},
        {"1234ABCG", std::nullopt},
        {"XYZ", std::nullopt},
        {"", std::nullopt},
        {"99999999999", std::nullopt},  // no 32-bit number and no eight digits
    };
    for (const Case& c : cases)
        EXPECT_EQ(MBus_Secondary_Identifier(QString::fromLatin1(c.text)), c.id) << c.text;
}

TEST(MBusWholeNetwork, AddressesAndPositionsThatClash)
{
    struct Case
    {
        const char* why;
        std::function<TNodi_List()> network;
        const char* fault;  // a part of the message; empty: no fault
        TNetwork_Scope scope = {};
    };
    const Case cases[] = {
        {"a network without clashes",
         [] {
             return TNodi_List{With(Wired("A", 5), {Var("E", 100), Var("T", 80, 90)}), With(Secondary("B", "1234ABCD"), {Var("F", 102)}),
                               With(Wireless("C"), {Var("G", 101)})};
         },
         ""},
        {"two primary addresses", [] { return TNodi_List{Wired("A", 5), Wired("B", 7), Wired("C", 5)}; },
         "Node 1 \"A\" (Primary ID 5) and Node 3 \"C\" (Primary ID 5) have the same M-Bus address"},
        {"the line sees the low byte", [] { return TNodi_List{Wired("A", 261), Wired("B", 5)}; }, "same M-Bus address"},
        {"a primary and a secondary of one number", [] { return TNodi_List{Wired("A", 5), Secondary("B", "5")}; }, ""},
        {"two scanned identifications",
         [] { return TNodi_List{Secondary("A", "1234ABCD"), Secondary("B", "1234abcd")}; },
         "Node 1 \"A\" (Secondary ID 1234ABCD) and Node 2 \"B\" (Secondary ID 1234abcd)"},
        {"two numbers of the same lowest eight digits", [] { return TNodi_List{Secondary("A", "123"), Secondary("B", "100000123")}; },
         "same M-Bus address"},
        {"an identification the device cannot take", [] { return TNodi_List{Secondary("A", "12-34")}; },
         "Node 1 \"A\": the Secondary ID \"12-34\" is neither a number nor eight hexadecimal digits"},
        {"a disabled duplicate is not polled",
         [] {
             TNodo b = Wired("B", 5);
             b.Enable = 0;
             return TNodi_List{Wired("A", 5), b};
         },
         ""},
        {"wireless meters have no M-Bus address", [] { return TNodi_List{Wireless("A"), Wireless("B")}; }, ""},
        {"two values on one position",
         [] { return TNodi_List{With(Wired("A", 1), {Var("E", 100)}), With(Wired("B", 2), {Var("F", 7), Var("V", 100)})}; },
         "ModBus Register 100 is used twice: Node 1 \"A\", Variable 1 \"E\" (Modbus Register) and Node 2 \"B\", "
         "Variable 2 \"V\" (Modbus Register)"},
        {"a value inside a time point",
         [] { return TNodi_List{With(Wired("A", 1), {Var("T", 50, 95)}), With(Wired("B", 2), {Var("F", 100)})}; },
         "ModBus Register 100 is used twice: Node 1 \"A\", Variable 1 \"T\" (Time Point) and Node 2 \"B\", Variable 1 \"F\""},
        {"two time points overlapping",
         [] { return TNodi_List{With(Wired("A", 1), {Var("T", 1, 90), Var("U", 2, 95)})}; }, "ModBus Register 95 is used twice"},
        {"a time point over its own value", [] { return TNodi_List{With(Wired("A", 1), {Var("T", 92, 90)})}; },
         "ModBus Register 92 is used twice"},
        {"a value on a node state that is on",
         [] {
             TNodo a = Wired("A", 1);
             a.Enable_NS = 1;
             a.Node_State = 100;
             return TNodi_List{a, With(Wired("B", 2), {Var("F", 100)})};
         },
         "Node 1 \"A\" (Node State) and Node 2 \"B\", Variable 1 \"F\" (Modbus Register)"},
        {"a node state that is off is not written",
         [] {
             TNodo a = Wired("A", 1);
             a.Node_State = 100;
             return TNodi_List{a, With(Wired("B", 2), {Var("F", 100)})};
         },
         ""},
        {"access number and signal strength",
         [] {
             TNodo a = Wired("A", 1);
             a.Enable_AN = 1;
             a.Access_Number = 40;
             TNodo b = Wireless("B");
             b.Enable_RSSI = 1;
             b.RSSI = 40;
             return TNodi_List{a, b};
         },
         "(Access Number) and Node 2 \"B\" (RSSI)"},
        {"disabled values and nodes take no place",
         [] {
             TNodo off = With(Wired("C", 3), {Var("G", 100)});
             off.Enable = 0;
             TVariabile unused = Var("F", 100);
             unused.Enable = false;
             return TNodi_List{With(Wired("A", 1), {Var("E", 100)}), With(Wired("B", 2), {unused}), off};
         },
         ""},
        {"the image leaves out a kind that is not present",
         [] { return TNodi_List{With(Wired("A", 1), {Var("E", 100)}), With(Wireless("B"), {Var("F", 100)})}; }, "",
         TNetwork_Scope{true, false, false}},
        {"the image leaves out a node without values",
         [] {
             TNodo a = Wired("A", 1);
             a.Enable_NS = 1;
             a.Node_State = 100;
             return TNodi_List{a, Wired("B", 1), With(Wired("C", 2), {Var("F", 100)})};
         },
         "", TNetwork_Scope{true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const std::optional<QString> fault = MBus_Network_Fault(c.network(), c.scope);
        if (!*c.fault) {
            EXPECT_FALSE(fault.has_value()) << fault.value_or(QString()).toStdString();
            continue;
        }
        ASSERT_TRUE(fault.has_value());
        EXPECT_TRUE(fault->contains(QString::fromLatin1(c.fault))) << fault->toStdString();
    }
}

TEST(MBusWholeNetwork, NumbersTheirFieldsCannotKeep)
{
    struct Case
    {
        const char* node;      // attributes of the "Nodo"
        const char* variable;  // attributes of its "Variabile" besides the required ones
        const char* fault;     // a part of the message; empty: none
    } const cases[] = {
        {"MSD_Length=\"-1\"", "", "Node 1 \"M\": \"MSD_Length\" holds \"-1\", which is not between 0 and 255"},
        {"ID_Primary=\"99999999999\"", "", "\"ID_Primary\" holds \"99999999999\""},
        {"Node_State=\"999999999999999999999999\"", "", "\"Node_State\""},  // past 64 bits too
        {"Cut_After=\"0x100\"", "", "\"Cut_After\" holds \"0x100\""},
        {"", "VIFE=\"-1\"", "Node 1 \"M\", Variable 1 \"V\": \"VIFE\" holds \"-1\", which is not between 0 and 255"},
        {"", "Position=\"65536\"", "\"Position\" holds \"65536\", which is not between 0 and 65535"},
        {"", "StoNumber=\"4294967296\"", "\"StoNumber\""},
        {"", "PositionData=\"-2147483649\"", "\"PositionData\""},
        // What the fields keep as they are.
        {"Cut_After=\"255\" Node_State=\"-5\" MSD_Length=\"$FF\" Access_Number=\"0xFFFFFFFF\"", "", ""},
        {"", "StoNumber=\"-1\" VIFE=\"255\" Post_Operation=\"0\" Tariff=\"2147483647\" Position=\"65535\"", ""},
        // No number: the default, as the file's rule has always said.
        {"MSD_Length=\"x\" ID_Primary=\"\"", "VIFE=\"abc\"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.node) + c.variable);
        const QByteArray xml = QByteArray("<M-Bus_Network><Nodo Descrizione=\"M\" ") + c.node
                               + "><Variabile Desc=\"V\" Type=\"0\" Fun_Field=\"0\" Dim=\"0\" " + c.variable
                               + "/></Nodo></M-Bus_Network>";
        const MBus_Read_Result read = Read_MBus_Network_Bytes(xml);
        ASSERT_TRUE(read.Ok) << read.Error.toStdString();
        const std::optional<QString> fault = MBus_Value_Fault(read.Nodes);
        if (!*c.fault) {
            EXPECT_FALSE(fault.has_value()) << fault.value_or(QString()).toStdString();
            continue;
        }
        ASSERT_TRUE(fault.has_value());
        EXPECT_TRUE(fault->contains(QString::fromLatin1(c.fault))) << fault->toStdString();
    }

    // A node or variable taken from the page again holds what the page says.
    MBus_Read_Result read = Read_MBus_Network_Bytes(
        "<M-Bus_Network><Nodo MSD_Length=\"-1\"><Variabile Type=\"0\" Fun_Field=\"0\" Dim=\"0\" VIFE=\"-1\"/></Nodo></M-Bus_Network>");
    TNodi_List& nodes = read.Nodes;
    nodes[0] = Take_Node(TNode_Page{}, nodes[0]);
    ASSERT_TRUE(MBus_Value_Fault(nodes).has_value());  // the variable still
    TVar_Page page;
    page.PositionData = QStringLiteral("5");
    nodes[0].Var_List[0] = Take_Variable(page);
    EXPECT_FALSE(MBus_Value_Fault(nodes).has_value());
}

// ---------------------------------------------------------------- the editor's OK

namespace {

class MeterBusOk : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Load_English_Table();
        Project_Folder = dir.path();
        FileName_M_Bus = dir.filePath("M_Bus.xml");
        FMeter_Bus = new TFMeter_Bus();
    }
    void TearDown() override
    {
        delete FMeter_Bus;
        FMeter_Bus = nullptr;
        FileName_M_Bus.clear();
        Project_Folder.clear();
    }
    TFMeter_Bus& W() { return *FMeter_Bus; }
    // Shows the file, presses OK untouched: the messages shown.
    std::vector<ShownDialog> Show_And_Ok(const QByteArray& xml)
    {
        EXPECT_TRUE(WriteAll(FileName_M_Bus, xml));
        DialogScript script;
        W().SetModalResult(mrNone);
        W().FormShow();
        W().LbButton2Click();
        return script.Shown();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(MeterBusOk, AnUntouchedOkWritesNothingItWouldChange)
{
    const QByteArray var = "<Variabile Enable=\"1\" Desc=\"V\" Type=\"0\" Fun_Field=\"0\" Dim=\"0\" PositionData=\"7\"/>";
    struct Case
    {
        const char* why;
        QByteArray xml;
        const char* message;  // a part of the one error shown
        bool closes;
    };
    const Case cases[] = {
        {"a byte field holding -1",
         "<M-Bus_Network><Nodo Descrizione=\"Heat\" MSD_Length=\"-1\">" + var + "</Nodo></M-Bus_Network>",
         "Node 1 \"Heat\": \"MSD_Length\" holds \"-1\"", false},
        {"an address past 32 bits",
         "<M-Bus_Network><Nodo Descrizione=\"Heat\" ID_Primary=\"99999999999\"/></M-Bus_Network>", "\"ID_Primary\"", false},
        {"two meters of a scan on one register",
         "<M-Bus_Network><Nodo Descrizione=\"A\" ID_Primary=\"1\">" + var + "</Nodo><Nodo Descrizione=\"B\" ID_Primary=\"2\">"
             + var + "</Nodo></M-Bus_Network>",
         "ModBus Register 7 is used twice", false},
        {"two meters on one primary address",
         "<M-Bus_Network><Nodo Descrizione=\"A\" ID_Primary=\"3\"/><Nodo Descrizione=\"B\" ID_Primary=\"3\"/></M-Bus_Network>",
         "same M-Bus address", false},
        // Read as UTF-8, the byte would come back as U+FFFD: refused at the
        // showing, and the untouched OK keeps the file.
        {"text that is not UTF-8", "<M-Bus_Network>\n<Nodo Descrizione=\"W\xE4rme\"/></M-Bus_Network>",
         "Text that is not valid UTF-8 (line 2, column 21)", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const std::vector<ShownDialog> shown = Show_And_Ok(c.xml);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].kind, MessageKind::Error);
        EXPECT_TRUE(shown[0].text.contains(QString::fromLatin1(c.message))) << shown[0].text.toStdString();
        EXPECT_EQ(W().ModalResult() == mrOk, c.closes);
        EXPECT_EQ(ReadAll(FileName_M_Bus), c.xml);
    }
}

TEST_F(MeterBusOk, ANumberRetypedOnItsPageIsWritten)
{
    EXPECT_EQ(Show_And_Ok("<M-Bus_Network><Nodo Descrizione=\"Heat\" MSD_Offset=\"300\"/></M-Bus_Network>").size(), 1u);
    W().TW->SetSelected(W().NODE_ORIG->Item(0));
    W().E_MSD_Offset->SetText("30");
    DialogScript script;
    W().btn_Add_NodeClick();
    W().LbButton2Click();
    EXPECT_TRUE(script.Shown().empty());
    EXPECT_EQ(W().ModalResult(), mrOk);
    EXPECT_TRUE(ReadAll(FileName_M_Bus).contains("MSD_Offset=\"30\""));
}

TEST_F(MeterBusOk, AFileThatBeginsWithACommentShowsAndKeepsItsNetwork)
{
    const QByteArray xml = "<!-- saved by hand -->\n<M-Bus_Network><Nodo Descrizione=\"A\" ID_Primary=\"1\"/>"
                           "<Nodo Descrizione=\"B\" ID_Primary=\"2\"/></M-Bus_Network>";
    EXPECT_TRUE(Show_And_Ok(xml).empty());
    EXPECT_EQ(W().ModalResult(), mrOk);
    const MBus_Read_Result back = Read_MBus_Network(FileName_M_Bus);
    ASSERT_EQ(back.Nodes.size(), 2u);
    EXPECT_EQ(back.Nodes[1].Description, "B");
}

TEST_F(MeterBusOk, AScannedIdentificationIsKeptAndComparedAsTheMeterAnswers)
{
    // Two meters polled by what a scan read from them, one in lower case.
    const QByteArray xml = "<M-Bus_Network><Nodo Descrizione=\"A\" Node_ID_Type=\"1\" ID_Secondary=\"1234ABCD\"/>"
                           "<Nodo Descrizione=\"B\" Node_ID_Type=\"1\" ID_Secondary=\"5678ABCD\"/>"
                           "<Nodo Descrizione=\"C\" Node_ID_Type=\"1\" ID_Secondary=\"1234abcd\"/></M-Bus_Network>";
    ASSERT_TRUE(WriteAll(FileName_M_Bus, xml));
    W().FormShow();
    auto modify = [&](int node, const char* description) {
        W().TW->SetSelected(W().NODE_ORIG->Item(node));
        W().E_New_Node_Desc->SetText(QString::fromLatin1(description));
        DialogScript script;
        W().btn_Add_NodeClick();
        std::vector<QString> texts;
        for (const ShownDialog& d : script.Shown())
            texts.push_back(d.text);
        return texts;
    };
    // Its description changes; the identification it answers to stays.
    EXPECT_TRUE(modify(1, "B2").empty());
    EXPECT_EQ(W().Nodi_List[1].Description, "B2");
    EXPECT_EQ(W().Nodi_List[1].Secondary_Text(), "5678ABCD");
    // The same identification twice is found, by the page and at OK.
    EXPECT_EQ(modify(2, "C2"), std::vector<QString>{Language_List.value(1892)});
    DialogScript script;
    W().LbButton2Click();
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.Shown()[0].text.contains("Node 1 \"A\" (Secondary ID 1234ABCD) and Node 3 \"C\" (Secondary ID 1234abcd)"))
        << script.Shown()[0].text.toStdString();
    EXPECT_EQ(ReadAll(FileName_M_Bus), xml);
}

// ---------------------------------------------------------------- the scan's saving

namespace {

std::unique_ptr<TSlave_MBus> Meter(uint16_t primary, std::initializer_list<uint8_t> dataFields)
{
    auto m = std::make_unique<TSlave_MBus>();
    m->Primary_Addresss = primary;
    m->Secondary_Addresss = QStringLiteral("0000000%1").arg(primary);
    m->descManufacture = QStringLiteral("M%1").arg(primary);
    for (uint8_t code : dataFields) {
        auto v = std::make_unique<TVariable_MBus>();
        v->dimension = code;
        v->nbyte = 4;
        v->Desc_Type_Data = QStringLiteral("Energy");
        m->List_Var.push_back(std::move(v));
    }
    return m;
}

std::vector<int> Positions(const TNodo& n)
{
    std::vector<int> out;
    for (const TVariabile& v : n.Var_List)
        out.push_back(v.PositionData);
    return out;
}

} // namespace

TEST(MBusScanPlacement, SavedMetersFollowThePositionsAlreadyUsed)
{
    QTemporaryDir dir;
    TSaveConfXML conf;
    conf.File_Name = dir.filePath("M_Bus.xml");
    TList_Slave_MBus scanned;
    scanned.Add(Meter(8, {0x04, 0x02}));  // 2 + 1 registers
    scanned.Add(Meter(9, {0x04}));

    // "Save Node Add. Conf." with the start registers the window leaves at 1:
    // each meter after the one before, not all at 1.
    conf.StartModnode = 1;
    conf.SMN_Array = {1, 1};
    ASSERT_TRUE(Save_XML_Conf_Wired(scanned, conf, false).Written);
    MBus_Read_Result read = Read_MBus_Network(conf.File_Name);
    ASSERT_EQ(read.Nodes.size(), 2u);
    EXPECT_EQ(Positions(read.Nodes[0]), (std::vector<int>{1, 3}));
    EXPECT_EQ(Positions(read.Nodes[1]), (std::vector<int>{4}));
    // A start register further on is kept.
    conf.SMN_Array = {1, 50};
    ASSERT_TRUE(Save_XML_Conf_Wired(scanned, conf, false).Written);
    EXPECT_EQ(Positions(Read_MBus_Network(conf.File_Name).Nodes[1]), (std::vector<int>{50}));

    // Extending a network: after its last register (a 32-bit value at 120
    // takes 121; a time point at 110 ends at 115; a node state at 118), also
    // where a value is switched off.
    const QByteArray existing =
        "<M-Bus_Network><Nodo ID_Primary=\"1\" Enable_Node_State=\"1\" Node_State=\"118\">"
        "<Variabile Enable=\"0\" Type=\"0\" Fun_Field=\"0\" Dim=\"2\" PositionData=\"120\"/>"
        "<Variabile Enable=\"1\" Type=\"20\" Fun_Field=\"0\" Dim=\"0\" PositionData=\"100\" TP_Mod_Regs=\"1\" TP_Mod_Year=\"110\"/>"
        "</Nodo></M-Bus_Network>\n";
    for (int kind : {0, 1}) {
        SCOPED_TRACE(kind == 1 ? "Save Node Add. Conf." : "Save Conf.");
        ASSERT_TRUE(WriteAll(conf.File_Name, existing));
        conf.Append = 1;
        conf.StartModnode = kind;
        conf.SMN_Array = {1, 1};
        ASSERT_TRUE(Save_XML_Conf_Wired(scanned, conf, false).Written);
        read = Read_MBus_Network(conf.File_Name);
        ASSERT_EQ(read.Nodes.size(), 3u);
        EXPECT_EQ(Positions(read.Nodes[1]), (std::vector<int>{122, 124}));
        EXPECT_EQ(Positions(read.Nodes[2]), (std::vector<int>{125}));
        EXPECT_FALSE(MBus_Network_Fault(read.Nodes).has_value());
    }

    // A file to extend that the editor cannot read is left as it is.
    const QByteArray unreadable = "<M-Bus_Network><Nodo><Variabile Type=\"x\"/></Nodo></M-Bus_Network>";
    ASSERT_TRUE(WriteAll(conf.File_Name, unreadable));
    const TSaveConfResult r = Save_XML_Conf_Wired(scanned, conf, false);
    EXPECT_FALSE(r.Written);
    EXPECT_TRUE(r.Error.contains("'x' is not a valid integer value")) << r.Error.toStdString();
    EXPECT_EQ(ReadAll(conf.File_Name), unreadable);
}
