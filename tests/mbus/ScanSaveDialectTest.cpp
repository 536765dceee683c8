// The dialects of "M_Bus.xml" by device code, and the export files of a scan:
// the exact bytes each writes.

#include "mbus/UMBusScanDecode_Worker.h"
#include "mbus/UScanDecode_Export.h"
#include "mbus/UScanDecode_Save.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::ReadAll;

namespace {

std::unique_ptr<TVariable_MBus> Energy()
{
    auto v = std::make_unique<TVariable_MBus>();
    v->dimension = 0x04;
    v->nbyte = 4;
    v->Desc_Type_Data = QStringLiteral("Energy");
    return v;
}

void Fill(TList_Slave_MBus& wired, TList_Slave_wMBus& wireless)
{
    auto m = std::make_unique<TSlave_MBus>();
    m->Primary_Addresss = 5;
    m->Secondary_Addresss = QStringLiteral("1234ABCD");
    m->descManufacture = QStringLiteral("LUG");
    m->List_Var.push_back(Energy());
    wired.Add(std::move(m));
    auto w = std::make_unique<TSlave_wMBus>();
    w->ALA_Manu_str = QStringLiteral("KAM");
    w->ALA_Manufacturer = 0x2C2D;
    w->ALA_Address = 0x12345678;
    w->List_Var.push_back(Energy());
    wireless.Add(std::move(w));
}

const QString Key = [] {
    QString k;
    for (int i = 1; i <= 16; ++i)
        k += QStringLiteral(" wMBus_Key_%1=\"0\"").arg(i);
    return k;
}();

QString Wired(const char* head, const char* tail, const char* reg)
{
    return QStringLiteral("<M-Bus_Network>\n\t<Nodo Node_Enable=\"1\"") + head
           + " ID_Primary=\"5\" ID_Secondary=\"1234ABCD\" Node_ID_Type=\"0\" Descrizione=\"LUG\" Send_SND_NKE=\"0\" "
             "Reset_App=\"0\" Cut_After=\"2\""
           + tail + ">\n\t\t<Variabile Enable=\"1\" Position=\"1\" Desc=\"Energy (U0S0T0)\" Type=\"0\" VIF_ASCII=\"\" "
                    "Fun_Field=\"0\" Length=\"0\" "
           + reg + " />\n\t</Nodo>\n</M-Bus_Network>\n";
}

QString Wireless(const char* head, const char* tail, const char* reg)
{
    return QStringLiteral("<M-Bus_Network>\n\t<Nodo Node_Enable=\"1\"") + head
           + " ID_Primary=\"1\" ID_Secondary=\"1\" Node_ID_Type=\"0\" Descrizione=\"KAM\" Send_SND_NKE=\"0\" "
             "Reset_App=\"0\" Cut_After=\"3\" MBus_Type=\"0\""
           + tail + " wMBus_ManID=\"11309\" wMBus_Add=\"305419896\" wMBus_Ver=\"0\" wMBus_DevType=\"0\" wMBus_En_Key=\"0\""
           + Key + ">\n\t\t<Variabile Enable=\"1\" Position=\"1\" Desc=\"Energy (U0S0T0)\" Type=\"0\" VIF_ASCII=\"\" "
                   "Fun_Field=\"0\" Length=\"0\" "
           + reg + " />\n\t</Nodo>\n</M-Bus_Network>\n";
}

const char* const Plain_10 = "ModReg=\"10\" PositionData=\"10\" Dim=\"2\" Unit=\"0\" StoNumber=\"0\" Tariff=\"0\" "
                             "VIFE=\"0\" ModScale=\"0\" BCDtoINT=\"0\" SWAP=\"0\"";
const char* const Plain_13 = "ModReg=\"13\" PositionData=\"13\" Dim=\"2\" Unit=\"0\" StoNumber=\"0\" Tariff=\"0\" "
                             "VIFE=\"0\" ModScale=\"0\" BCDtoINT=\"0\" SWAP=\"0\"";
const char* const Plain_14 = "ModReg=\"14\" PositionData=\"14\" Dim=\"2\" Unit=\"0\" StoNumber=\"0\" Tariff=\"0\" "
                             "VIFE=\"0\" ModScale=\"0\" BCDtoINT=\"0\" SWAP=\"0\"";
const char* const BACnet = "Dim=\"2\" Unit=\"0\" StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" BACnet_EngUnits=\"95\" "
                           "BACnet_DataType=\"0\" Post_Operation=\"0\" BCDtoINT=\"0\" SWAP=\"0\"";
const char* const BACnet_Node = " Node_State=\"0\" Ident_Num=\"0\" BCDtoINT_IN=\"0\" Swap_IN=\"0\" Var_List_Type=\"0\" "
                                "NS_VarType=\"0\" IN_VarType=\"0\"";

} // namespace

// Every device code, saved with a node start register of 10 and both node
// registers asked for. The codes with node registers put the node state at
// 10 and the identification number (two registers) after it, so no value
// lands on one of its registers.
TEST(ScanSaveDialects, EachDeviceCodeWritesItsBytes)
{
    struct Case
    {
        int code;
        QString wired;
        QString wireless;
    };
    const QString grouped = QStringLiteral(
        "<M-Bus_Network>\n"
        "\t<Group Baudrate=\"2\" Parity=\"1\">\n"
        "\t\t<Nodo Node_Enable=\"1\" ID=\"5\" Secondary_address=\"1234ABCD\" ID_Primary=\"5\" ID_Secondary=\"1234ABCD\" "
        "Node_ID_Type=\"0\" Descrizione=\"LUG\" Send_SND_NKE=\"0\" Reset_App=\"0\" Cut_After=\"2\">\n"
        "\t\t\t<Variabile Enable=\"1\" Position=\"1\" Desc=\"Energy (U0S0T0)\" Type=\"0\" VIF_ASCII=\"\" Fun_Field=\"0\" "
        "Length=\"0\" ModReg=\"10\" PositionData=\"10\" Dim=\"2\" Unit=\"0\" StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" "
        "ModScale=\"0\" BCDtoINT=\"0\" SWAP=\"0\" />\n"
        "\t\t</Nodo>\n"
        "\t</Group>\n"
        "</M-Bus_Network>\n");
    const Case cases[] = {
        {21, Wired("", "", Plain_10), Wireless("", "", Plain_10)},
        {3, Wired("", "", Plain_10), Wireless("", "", Plain_10)},
        {2, Wired(" ID=\"5\"", "", Plain_10), Wireless(" ID=\"1\"", "", Plain_10)},
        {5, Wired(" ID=\"5\"", "", Plain_10), Wireless(" ID=\"1\"", "", Plain_10)},
        {8, Wired(" ID=\"5\"", "", Plain_10), Wireless(" ID=\"1\"", "", Plain_10)},
        {10, Wired(" ID=\"5\"", "", Plain_10), Wireless(" ID=\"1\"", "", Plain_10)},
        {4, grouped, Wireless(" ID=\"1\" Secondary_address=\"1\"", "", Plain_10)},
        {7, grouped, Wireless(" ID=\"1\" Secondary_address=\"1\"", "", Plain_10)},
        {12, Wired("", (QByteArray(" MBus_Type=\"1\"") + BACnet_Node).constData(), BACnet),
         Wireless("", BACnet_Node, BACnet)},
        {0, Wired("", " Node_State=\"10\" Ident_Num=\"11\"", Plain_13),
         Wireless("", " Node_State=\"10\" Ident_Num=\"12\"", Plain_14)},
        {1, Wired("", " Node_State=\"10\" Ident_Num=\"11\"", Plain_13),
         Wireless("", " Node_State=\"10\" Ident_Num=\"12\"", Plain_14)},
        {9, Wired("", " Node_State=\"10\" Ident_Num=\"11\"", Plain_13),
         Wireless("", " Node_State=\"10\" Ident_Num=\"12\"", Plain_14)},
        {13, Wired("", " MBus_Type=\"1\" Node_State=\"10\" Ident_Num=\"11\"", Plain_13),
         Wireless("", " Node_State=\"10\" Ident_Num=\"12\"", Plain_14)},
        {14, Wired("", " MBus_Type=\"1\" Node_State=\"10\" Ident_Num=\"11\"", Plain_13),
         Wireless("", " Node_State=\"10\" Ident_Num=\"12\"", Plain_14)},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    Fill(wired, wireless);
    for (const Case& c : cases) {
        TSaveConfXML conf;
        conf.XML_Code_Dev = c.code;
        conf.Index_Baud = 2;
        conf.Index_Par = 1;
        conf.StartModnode = 1;
        conf.SMN_Array = {10};
        conf.En_NodeState = true;
        conf.En_IdeNum = true;
        conf.File_Name = dir.filePath(QStringLiteral("M_Bus_%1.xml").arg(c.code));
        ASSERT_TRUE(Save_XML_Conf_Wired(wired, conf, false).Written) << c.code;
        EXPECT_EQ(ReadAll(conf.File_Name).toStdString(), c.wired.toStdString()) << c.code;
        ASSERT_TRUE(Save_XML_Conf_Wireless(wireless, conf, false).Written) << c.code;
        EXPECT_EQ(ReadAll(conf.File_Name).toStdString(), c.wireless.toStdString()) << c.code;
    }
}

// Node registers only where they are asked for, only with per-node start
// registers; a node register switched off takes no register.
TEST(ScanSaveDialects, NodeRegistersFollowTheirSwitches)
{
    struct Case
    {
        int start_mod_node;
        bool node_state;
        bool ident;
        const char* wired_tail;
        const char* reg;
    } const cases[] = {
        {0, true, true, "", Plain_10},
        {1, false, false, " Node_State=\"0\" Ident_Num=\"0\"", Plain_10},
        {1, false, true, " Node_State=\"0\" Ident_Num=\"10\"", "ModReg=\"12\" PositionData=\"12\" Dim=\"2\" Unit=\"0\" "
                                                               "StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" ModScale=\"0\" "
                                                               "BCDtoINT=\"0\" SWAP=\"0\""},
        {1, true, false, " Node_State=\"10\" Ident_Num=\"0\"", "ModReg=\"11\" PositionData=\"11\" Dim=\"2\" Unit=\"0\" "
                                                               "StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" ModScale=\"0\" "
                                                               "BCDtoINT=\"0\" SWAP=\"0\""},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    Fill(wired, wireless);
    for (const Case& c : cases) {
        TSaveConfXML conf;
        conf.XML_Code_Dev = 0;
        conf.Mod_Start = 10;
        conf.StartModnode = c.start_mod_node;
        conf.SMN_Array = {10};
        conf.En_NodeState = c.node_state;
        conf.En_IdeNum = c.ident;
        conf.File_Name = dir.filePath(QStringLiteral("M_Bus.xml"));
        ASSERT_TRUE(Save_XML_Conf_Wired(wired, conf, false).Written);
        EXPECT_EQ(QString::fromUtf8(ReadAll(conf.File_Name)), Wired("", c.wired_tail, c.reg))
            << c.start_mod_node << c.node_state << c.ident;
    }
}

// Device codes 4 and 7 put every wired node under the one group made for the
// first; extending a file adds a group of its own after what it holds.
TEST(ScanSaveDialects, GroupHoldsEveryWiredNode)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TList_Slave_MBus wired;
    for (uint16_t a : {3, 4}) {
        auto m = std::make_unique<TSlave_MBus>();
        m->Primary_Addresss = a;
        wired.Add(std::move(m));
    }
    TSaveConfXML conf;
    conf.XML_Code_Dev = 4;
    conf.Index_Baud = 1;
    conf.File_Name = dir.filePath(QStringLiteral("M_Bus.xml"));
    ASSERT_TRUE(Save_XML_Conf_Wired(wired, conf, false).Written);
    const char* const node = "Node_ID_Type=\"0\" Descrizione=\"\" Send_SND_NKE=\"0\" Reset_App=\"0\" Cut_After=\"2\" />\n";
    const QString expected = QStringLiteral("<M-Bus_Network>\n\t<Group Baudrate=\"1\" Parity=\"0\">\n")
                             + "\t\t<Nodo Node_Enable=\"1\" ID=\"3\" Secondary_address=\"0\" ID_Primary=\"3\" ID_Secondary=\"0\" " + node
                             + "\t\t<Nodo Node_Enable=\"1\" ID=\"4\" Secondary_address=\"0\" ID_Primary=\"4\" ID_Secondary=\"0\" " + node
                             + "\t</Group>\n</M-Bus_Network>\n";
    EXPECT_EQ(QString::fromUtf8(ReadAll(conf.File_Name)), expected);
}

namespace {

void Raw_Record(TVariable_MBus& v, const char* value)
{
    v.dimension = 0x04;
    v.device = 1;
    v.storage_number = 2;
    v.tarif = 3;
    v.Desc_Type_Data = QStringLiteral("Energy");
    v.ValueStr = QString::fromLatin1(value);
    v.DataFieldStr = QStringLiteral("32 Bit Integer");
    v.FunctionFieldStr = QStringLiteral("Instantaneous");
    v.DIF = QStringLiteral("$04");
    v.VIF = 0x0B;
    v.DIFE = QStringLiteral("");
    v.VIFE = QStringLiteral("");
    v.totdati = QStringLiteral("78563412");
}

const char* const Exported_Variable =
    "\t\t<Variable Value=\"%1\" Type=\"Energy\" UST=\"(U1S2T3)\">\n"
    "\t\t\t<Storage_Number>2</Storage_Number>\n"
    "\t\t\t<Tariff>3</Tariff>\n"
    "\t\t\t<Unit>1</Unit>\n"
    "\t\t\t<Data_Field>32 Bit Integer</Data_Field>\n"
    "\t\t\t<Function_Field>Instantaneous</Function_Field>\n"
    "\t\t\t<Type>Energy</Type>\n"
    "\t\t\t<Value>%2</Value>\n"
    "\t\t\t<DIF>$04</DIF>\n"
    "\t\t\t<VIF>$0B</VIF>\n"
    "\t\t\t<DIFE />\n"
    "\t\t\t<VIFE />\n"
    "\t\t\t<DATA>$78563412</DATA>\n"
    "\t\t</Variable>\n";

} // namespace

// The export files: every record (fillers too), markup in a value escaped,
// a wireless address with its top bit set as eight hexadecimal digits.
TEST(ScanExport, BothWritersWriteTheirBytes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("scan.xml"));

    TList_Slave_MBus wired;
    auto m = std::make_unique<TSlave_MBus>();
    m->Primary_Addresss = 5;
    m->Secondary_Addresss = QStringLiteral("1234ABCD");
    m->descManufacture = QStringLiteral("LUG");
    m->Manufacture = 0x32A7;
    m->Version = 4;
    m->Medium = 7;
    m->List_Var.push_back(std::make_unique<TVariable_MBus>());
    Raw_Record(*m->List_Var.back(), "12<3");
    wired.Add(std::move(m));
    ASSERT_TRUE(Save_XML_File_DLL(wired, path).Written);
    EXPECT_EQ(QString::fromUtf8(ReadAll(path)),
              QStringLiteral("<SCAN_M-Bus_Wired>\n\t<Node Primary_Address=\"5\" Secondary_Address=\"1234ABCD\" "
                             "Manufacturer=\"LUG (12967)\" Version=\"4\" Type=\"7\">\n")
                  + QString::fromLatin1(Exported_Variable).arg(QStringLiteral("12&lt;3"), QStringLiteral("12&lt;3"))
                  + "\t</Node>\n</SCAN_M-Bus_Wired>\n");

    TList_Slave_wMBus wireless;
    auto w = std::make_unique<TSlave_wMBus>();
    w->ALA_Manu_str = QStringLiteral("KAM");
    w->ALA_Address = static_cast<int32_t>(0x8765432Fu);
    w->ALA_Version = 27;
    w->ALA_DeviceType = 7;
    w->Cripted = true;
    w->List_Var.push_back(std::make_unique<TVariable_MBus>());
    w->List_Var.back()->Real_Wireless_Var = false;
    Raw_Record(*w->List_Var.back(), "");
    w->List_Var.push_back(std::make_unique<TVariable_MBus>());
    Raw_Record(*w->List_Var.back(), "7");
    wireless.Add(std::move(w));
    ASSERT_TRUE(Save_Wireless_XML_File_DLL(wireless, path).Written);
    EXPECT_EQ(QString::fromUtf8(ReadAll(path)),
              QStringLiteral("<SCAN_M-Bus_Wireless>\n\t<Node Manufacturer=\"KAM\" Address=\"8765432F\" Version=\"27\" "
                             "Device_Type=\"7\" Cripted=\"True\">\n")
                  + QString::fromLatin1(Exported_Variable).arg(QString(), QString()).replace("<Value></Value>", "<Value />")
                  + QString::fromLatin1(Exported_Variable).arg(QStringLiteral("7"), QStringLiteral("7"))
                  + "\t</Node>\n</SCAN_M-Bus_Wireless>\n");

    // No meters: the root alone; a path that cannot be written: an error.
    ASSERT_TRUE(Save_XML_File_DLL(TList_Slave_MBus(), path).Written);
    EXPECT_EQ(ReadAll(path), QByteArray("<SCAN_M-Bus_Wired />\n"));
    const TSaveConfResult bad = Save_Wireless_XML_File_DLL(wireless, dir.filePath(QStringLiteral("no/such/scan.xml")));
    EXPECT_FALSE(bad.Written);
    EXPECT_FALSE(bad.Error.isEmpty());
}

// The last state of either scan writes its export when a path is set, and
// nothing when none is.
TEST(ScanExport, TheEndOfAScanWritesTheExportWhenAPathIsSet)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    Fill(wired, wireless);
    struct Case
    {
        TMBusType type;
        int last_state;
        const char* root;
    } const cases[] = {{mtWired, 203, "<SCAN_M-Bus_Wired>"}, {mtWireless, 503, "<SCAN_M-Bus_Wireless>"}};
    for (const Case& c : cases) {
        for (const bool set : {false, true}) {
            const QString path = dir.filePath(QStringLiteral("export_%1_%2.xml").arg(c.last_state).arg(set));
            TMBusScanDecode w(false, TScanTiming::Real(), wired, wireless);
            w.MBusType = c.type;
            w.SaveXMLFile = set ? path : QString();
            w.Step_Scan = c.last_state;
            w.FInScan = true;
            w.Run_Pass();
            EXPECT_FALSE(w.FInScan);
            EXPECT_EQ(QFile::exists(path), set) << c.last_state;
            if (set) {
                EXPECT_TRUE(ReadAll(path).startsWith(c.root)) << c.last_state;
            }
        }
    }
}
