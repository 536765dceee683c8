// Saving scan results into "M_Bus.xml": the bytes of both writers, extending
// and replacing, and that what they write is read back by the network file
// reader and accepted by the image compiler.

#include "configuration/USaveBincc.h"
#include "mbus/UMeter_Bus.h"
#include "mbus/UScanDecode_Save.h"
#include "shell/UComon.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

std::unique_ptr<TVariable_MBus> Record(uint8_t dimension, int nbyte, const char* type_text, uint16_t type_data,
                                       uint16_t function = 0)
{
    auto v = std::make_unique<TVariable_MBus>();
    v->dimension = dimension;
    v->nbyte = nbyte;
    v->Desc_Type_Data = QString::fromLatin1(type_text);
    v->type_data = type_data;
    v->function_fild = function;
    return v;
}

// Meter 1 is the usual example: 32-bit, 16-bit and a 5-byte variable-length
// value; meter 2 was read in a layout that has no records decoded but one,
// and has no identification.
void Fill_Wired(TList_Slave_MBus& list)
{
    auto m1 = std::make_unique<TSlave_MBus>();
    m1->Primary_Addresss = 5;
    m1->Secondary_Addresss = QStringLiteral("1234ABCD");
    m1->descManufacture = QStringLiteral("LUG");
    m1->List_Var.push_back(Record(0x04, 4, "Energy", 0));
    m1->List_Var.back()->device = 1;
    m1->List_Var.back()->storage_number = 2;
    m1->List_Var.back()->tarif = 3;
    m1->List_Var.back()->Type_Data_Vife = 255;
    m1->List_Var.back()->Is_BCD = true;
    m1->List_Var.push_back(Record(0x02, 2, "Volume", 2, 2));
    m1->List_Var.push_back(Record(0x0D, 5, "Text\x01", 21));
    m1->List_Var.back()->VIF_ASCII = QString::fromLatin1("k\x02W");
    list.Add(std::move(m1));

    auto m2 = std::make_unique<TSlave_MBus>();
    m2->Primary_Addresss = 7;
    m2->descManufacture = QStringLiteral("ABC");
    m2->description = QStringLiteral("Data not decoded: CI 0x73");
    m2->List_Var.push_back(Record(0x0D, 2, "Fabrication", 9));
    m2->List_Var.push_back(Record(0x01, 1, "Flow", 4, 1));
    list.Add(std::move(m2));
}

class ScanSaveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        conf.File_Name = dir.filePath("M_Bus.xml");
        conf.SMN_Array = std::vector<int32_t>(30, 1);
    }

    QTemporaryDir dir;
    TSaveConfXML conf;
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
};

const char* const Wired_Expected =
    "<M-Bus_Network>\n"
    "\t<Nodo Node_Enable=\"1\" ID_Primary=\"5\" ID_Secondary=\"1234ABCD\" Node_ID_Type=\"1\" Descrizione=\"LUG\" "
    "Send_SND_NKE=\"1\" Reset_App=\"0\" Cut_After=\"2\">\n"
    "\t\t<Variabile Enable=\"1\" Position=\"1\" Desc=\"Energy (U1S2T3)\" Type=\"0\" VIF_ASCII=\"\" Fun_Field=\"0\" "
    "Length=\"0\" ModReg=\"1\" PositionData=\"1\" Dim=\"2\" Unit=\"1\" StoNumber=\"2\" Tariff=\"3\" VIFE=\"255\" "
    "ModScale=\"0\" BCDtoINT=\"1\" SWAP=\"0\" />\n"
    "\t\t<Variabile Enable=\"1\" Position=\"2\" Desc=\"Volume (U0S0T0)\" Type=\"2\" VIF_ASCII=\"\" Fun_Field=\"1\" "
    "Length=\"0\" ModReg=\"3\" PositionData=\"3\" Dim=\"1\" Unit=\"0\" StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" "
    "ModScale=\"0\" BCDtoINT=\"0\" SWAP=\"0\" />\n"
    "\t\t<Variabile Enable=\"1\" Position=\"3\" Desc=\"Text? (U0S0T0)\" Type=\"21\" VIF_ASCII=\"k?W\" Fun_Field=\"0\" "
    "Length=\"5\" ModReg=\"4\" PositionData=\"4\" Dim=\"7\" Unit=\"0\" StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" "
    "ModScale=\"0\" BCDtoINT=\"0\" SWAP=\"0\" />\n"
    "\t</Nodo>\n"
    "\t<Nodo Node_Enable=\"1\" ID_Primary=\"7\" ID_Secondary=\"0\" Node_ID_Type=\"1\" Descrizione=\"ABC\" "
    "Send_SND_NKE=\"1\" Reset_App=\"0\" Cut_After=\"2\">\n"
    "\t\t<Variabile Enable=\"1\" Position=\"1\" Desc=\"Fabrication (U0S0T0)\" Type=\"9\" VIF_ASCII=\"\" Fun_Field=\"0\" "
    "Length=\"2\" ModReg=\"7\" PositionData=\"7\" Dim=\"7\" Unit=\"0\" StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" "
    "ModScale=\"0\" BCDtoINT=\"0\" SWAP=\"0\" />\n"
    "\t\t<Variabile Enable=\"1\" Position=\"2\" Desc=\"Flow (U0S0T0)\" Type=\"4\" VIF_ASCII=\"\" Fun_Field=\"2\" "
    "Length=\"0\" ModReg=\"8\" PositionData=\"8\" Dim=\"0\" Unit=\"0\" StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" "
    "ModScale=\"0\" BCDtoINT=\"0\" SWAP=\"0\" />\n"
    "\t</Nodo>\n"
    "</M-Bus_Network>\n";

// Replacing: root and scanned nodes only, no version comment. The faults
// mended show in the bytes: "PositionData" beside "ModReg", "Cut_After" 2 for
// three telegrams, a 2-byte variable-length value taking one register (the
// second meter's second record at 8, not 9), control characters as "?", and
// a meter without identification saved with "ID_Secondary" "0".
TEST_F(ScanSaveTest, WiredReplaceWritesTheExactBytes)
{
    Fill_Wired(wired);
    ASSERT_TRUE(WriteAll(conf.File_Name, "<M-Bus_Network>\n\t<Nodo Descrizione=\"old\"/>\n</M-Bus_Network>\n"));
    conf.Node_ID_Type = 1;
    conf.SND_NKE = 1;
    conf.Cut_After = 3;
    const TSaveConfResult r = Save_XML_Conf_Wired(wired, conf, true);
    ASSERT_TRUE(r.Written) << r.Error.toStdString();
    EXPECT_EQ(QString::fromUtf8(ReadAll(conf.File_Name)), QString::fromLatin1(Wired_Expected));
}

TEST_F(ScanSaveTest, WiredAppendKeepsTheExistingNodesAndComment)
{
    Fill_Wired(wired);
    const QByteArray old = "<M-Bus_Network>\n\t<Nodo Descrizione=\"old\" />\n</M-Bus_Network>\n<!--SW_VERSION = 1.002-->\n";
    ASSERT_TRUE(WriteAll(conf.File_Name, old));
    conf.Append = 1;
    conf.Mod_Start = 100;
    ASSERT_TRUE(Save_XML_Conf_Wired(wired, conf, false).Written);
    const QByteArray bytes = ReadAll(conf.File_Name);
    EXPECT_TRUE(bytes.startsWith("<M-Bus_Network>\n\t<Nodo Descrizione=\"old\" />\n\t<Nodo Node_Enable=\"1\""));
    EXPECT_TRUE(bytes.endsWith("\t</Nodo>\n</M-Bus_Network>\n<!--SW_VERSION = 1.002-->\n"));
    const MBus_Read_Result read = Read_MBus_Network(conf.File_Name);
    ASSERT_TRUE(read.Ok) << read.Error.toStdString();
    ASSERT_EQ(read.Nodes.size(), 3u);
    EXPECT_EQ(read.Nodes[1].Var_List[0].PositionData, 100);
    EXPECT_EQ(read.Nodes[2].Var_List[1].PositionData, 107);
}

TEST_F(ScanSaveTest, FailuresAndEmptyListsLeaveTheFileAlone)
{
    // Nothing scanned: false, no error, the file untouched.
    const QByteArray old = "<M-Bus_Network/>\n";
    ASSERT_TRUE(WriteAll(conf.File_Name, old));
    TSaveConfResult r = Save_XML_Conf_Wired(wired, conf, false);
    EXPECT_FALSE(r.Written);
    EXPECT_TRUE(r.Error.isEmpty());
    r = Save_XML_Conf_Wireless(wireless, conf, false);
    EXPECT_FALSE(r.Written);
    EXPECT_TRUE(r.Error.isEmpty());

    // A file to extend that is no XML, or another root: an error, the file kept.
    Fill_Wired(wired);
    conf.Append = 1;
    for (const QByteArray& bad : {QByteArray("<M-Bus_Network><Nodo>"), QByteArray("<Other/>\n")}) {
        ASSERT_TRUE(WriteAll(conf.File_Name, bad));
        r = Save_XML_Conf_Wired(wired, conf, false);
        EXPECT_FALSE(r.Written);
        EXPECT_FALSE(r.Error.isEmpty());
        EXPECT_EQ(ReadAll(conf.File_Name), bad);
    }
}

// Registers and "Dim" by data field code; the variable-length rows are the
// mended rounding: the registers the bytes fill.
TEST(ScanSaveTable, DimensionAndRegisters)
{
    struct Case
    {
        uint8_t code;
        int nbyte;
        int dim;
        int regs;
    } const cases[] = {
        {1, 1, 0, 1}, {9, 1, 0, 1}, {2, 2, 1, 1}, {10, 2, 1, 1}, {4, 4, 2, 2}, {12, 4, 2, 2},
        {7, 8, 3, 4}, {3, 3, 4, 2}, {11, 3, 4, 2}, {6, 6, 5, 3}, {14, 6, 5, 3}, {5, 4, 6, 2},
        {13, 1, 7, 1}, {13, 2, 7, 1}, {13, 4, 7, 2}, {13, 5, 7, 3}, {13, 6, 7, 3}, {13, 0, 7, 0},
        {0, 0, 255, 0}, {8, 0, 255, 0}, {15, 0, 255, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Scan_Dim_Position(c.code), c.dim) << int(c.code);
        EXPECT_EQ(Scan_Registers(c.code, c.nbyte), c.regs) << int(c.code) << " " << c.nbyte;
    }
}

TEST(ScanSaveTable, TextsTheFileCannotHold)
{
    struct Case
    {
        QString in;
        QString out;
    } const cases[] = {
        {QStringLiteral("kWh"), QStringLiteral("kWh")},
        {QString::fromLatin1("a\x00" "b", 3), QStringLiteral("a?b")},   // would cut the text
        {QString::fromLatin1("\x01\x1F\x0B\x0C"), QStringLiteral("????")},
        {QStringLiteral("a\tb\nc\rd"), QStringLiteral("a\tb\nc\rd")},  // legal in XML
        {QString(QChar(0xD800)) + QStringLiteral("x"), QStringLiteral("?x")},  // unpaired surrogate
        {QString(QChar(0xFFFE)), QStringLiteral("?")},
        {QString::fromUtf8("m\xC2\xB3 \xF0\x9F\x98\x80"), QString::fromUtf8("m\xC2\xB3 \xF0\x9F\x98\x80")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Scan_Xml_Text(c.in), c.out);
}

// Wireless: a negative address, idle fillers keeping their place in
// "Position", unticked meters and records, and per-node start registers that
// count only enabled records.
TEST_F(ScanSaveTest, WirelessWritesTheExactBytes)
{
    auto m = std::make_unique<TSlave_wMBus>();
    m->ALA_Manu_str = QStringLiteral("KAM");
    m->ALA_Manufacturer = 0x2C2D;
    m->ALA_Address = static_cast<int32_t>(0x87654321u);
    m->ALA_Version = 27;
    m->ALA_DeviceType = 7;
    m->Enable = false;
    m->Enable_Key = true;
    for (int k = 0; k < 16; ++k)
        m->Key[static_cast<size_t>(k)] = static_cast<uint8_t>(k * 17);
    for (int k = 0; k < 2; ++k) {
        m->List_Var.push_back(std::make_unique<TVariable_MBus>());
        m->List_Var.back()->Real_Wireless_Var = false;
    }
    m->List_Var.push_back(Record(0x04, 4, "Volume", 2));
    m->List_Var.back()->Enable = false;
    m->List_Var.push_back(Record(0x02, 2, "Flow", 4));
    wireless.Add(std::move(m));
    conf.StartModnode = 1;
    conf.SMN_Array = {40};
    ASSERT_TRUE(Save_XML_Conf_Wireless(wireless, conf, false).Written);
    QString key;
    for (int k = 0; k < 16; ++k)
        key += QStringLiteral(" wMBus_Key_%1=\"%2\"").arg(k + 1).arg(k * 17);
    const QString expected =
        "<M-Bus_Network>\n"
        "\t<Nodo Node_Enable=\"0\" ID_Primary=\"1\" ID_Secondary=\"1\" Node_ID_Type=\"0\" Descrizione=\"KAM\" "
        "Send_SND_NKE=\"0\" Reset_App=\"0\" Cut_After=\"3\" MBus_Type=\"0\" wMBus_ManID=\"11309\" "
        "wMBus_Add=\"-2023406815\" wMBus_Ver=\"27\" wMBus_DevType=\"7\" wMBus_En_Key=\"1\""
        + key + ">\n"
        "\t\t<Variabile Enable=\"0\" Position=\"3\" Desc=\"Volume (U0S0T0)\" Type=\"2\" VIF_ASCII=\"\" Fun_Field=\"0\" "
        "Length=\"0\" ModReg=\"40\" PositionData=\"40\" Dim=\"2\" Unit=\"0\" StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" "
        "ModScale=\"0\" BCDtoINT=\"0\" SWAP=\"0\" />\n"
        "\t\t<Variabile Enable=\"1\" Position=\"4\" Desc=\"Flow (U0S0T0)\" Type=\"4\" VIF_ASCII=\"\" Fun_Field=\"0\" "
        "Length=\"0\" ModReg=\"40\" PositionData=\"40\" Dim=\"1\" Unit=\"0\" StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" "
        "ModScale=\"0\" BCDtoINT=\"0\" SWAP=\"0\" />\n"
        "\t</Nodo>\n"
        "</M-Bus_Network>\n";
    EXPECT_EQ(QString::fromUtf8(ReadAll(conf.File_Name)), expected);
}

// What a scan saves is a network the image compiler takes, with each variable
// at its register.
TEST_F(ScanSaveTest, TheImageCompilerAcceptsAScannedNetwork)
{
    Fill_Wired(wired);
    ASSERT_TRUE(Save_XML_Conf_Wired(wired, conf, false).Written);
    const MBus_Read_Result read = Read_MBus_Network(conf.File_Name);
    ASSERT_TRUE(read.Ok) << read.Error.toStdString();
    ASSERT_EQ(read.Nodes.size(), 2u);
    EXPECT_EQ(read.Nodes[0].Node_Sec_Text, QStringLiteral("1234ABCD"));
    EXPECT_EQ(read.Nodes[0].Cut_After, 2);
    EXPECT_EQ(read.Nodes[1].Secondary_Text(), QStringLiteral("0"));
    EXPECT_EQ(read.Nodes[1].Var_List[1].PositionData, 8);
    EXPECT_EQ(read.Nodes[0].Var_List[2].Length, 5);

    Project_Folder = dir.path();
    FileName_ParGen = dir.filePath("ParGen.xml");
    FileName_M_Bus = conf.File_Name;
    FileName_LoRaWAN_SetAccess = dir.filePath("LoRaWAN_SetAccess.xml");
    ASSERT_TRUE(QDir(dir.path()).mkdir("bin"));
    QString error;
    const bool compiled = Compile_Device_Image(&error);
    Project_Folder.clear();
    FileName_ParGen.clear();
    FileName_M_Bus.clear();
    FileName_LoRaWAN_SetAccess.clear();
    EXPECT_TRUE(compiled) << error.toStdString();
}

} // namespace
