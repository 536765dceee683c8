// The device image compiler: hand-made configurations compiled into
// "bank1.bin" and "bank2.bin" and compared byte for byte with images worked
// out by hand, field by field, at literal offsets (never through the
// compiler's own layout tables); the conversions of "ParGen.xml", the rules
// and the network as tables; the faults that stop a compilation; and the
// writing of the pair, both or neither.
#include "configuration/USaveBincc.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <initializer_list>

using namespace platform;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

// An image worked out by hand.
struct Image
{
    QByteArray b;
    explicit Image(int size) : b(size, '\0') {}
    // Little-endian integer.
    void le(int at, int size, uint64_t v)
    {
        for (int i = 0; i < size; ++i)
            b[at + i] = char((v >> (8 * i)) & 0xFF);
    }
    void bytes(int at, std::initializer_list<int> list)
    {
        for (int v : list)
            b[at++] = char(v);
    }
    void text(int at, const char* s)
    {
        while (*s)
            b[at++] = *s++;
    }
    uint32_t sum(int from, int to) const
    {
        uint32_t s = 0;
        for (int i = from; i < to; ++i)
            s += uint8_t(b[i]);
        return s;
    }
};

// The first offset where two images differ, for a readable failure.
std::string First_Difference(const QByteArray& got, const QByteArray& want)
{
    if (got == want)
        return "equal";
    const int n = int(std::min(got.size(), want.size()));
    for (int i = 0; i < n; ++i)
        if (got[i] != want[i])
            return QStringLiteral("offset 0x%1: got %2, want %3")
                .arg(i, 0, 16)
                .arg(uint8_t(got[i]), 2, 16, QChar(u'0'))
                .arg(uint8_t(want[i]), 2, 16, QChar(u'0'))
                .toStdString();
    return "sizes " + std::to_string(got.size()) + " and " + std::to_string(want.size());
}

// Bank 1 without "ParGen.xml": the reset values, the two addresses, the
// checksum 3634, and the LoRaWAN block's resets.
Image Reset_Bank1(int uplinkCount = 0)
{
    Image i(11264);
    i.le(0x000, 4, 250000);
    i.le(0x004, 4, 250000);
    i.le(0x008, 4, 9600);
    i.bytes(0x028, {192, 168, 2, 205});
    i.bytes(0x02C, {255, 255, 255, 0});
    i.bytes(0x030, {255, 255, 255, 255});
    i.le(0x034, 2, 10000);
    i.bytes(0x214, {8, 8, 8, 8, 8, 8, 8, 8});
    i.le(0x254, 4, 0x68800);
    i.le(0x364, 4, 0x68C00);
    i.bytes(0x7FC, {0x32, 0x0E, 0x00, 0x00});
    i.b[0xC03] = 6;
    i.b[0xC42] = 1;
    i.le(0xC44, 4, 1);
    i.le(0xC48, 4, 0x69000);
    i.le(0xC4C, 4, 0x69C00);
    i.le(0xC50, 2, uplinkCount);
    return i;
}

QByteArray Header_Only_Bank2()
{
    Image i(13);
    i.bytes(0, {0x40, 13, 0, 0, 0, 13, 0, 0, 0, 13, 0, 0, 0});
    return i.b;
}

class USaveBinccTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // The rule messages begin with the language table's "Error row ".
        Load_English_Table();
        Project_Folder = dir.path();
        FileName_ParGen = dir.filePath("ParGen.xml");
        FileName_M_Bus = dir.filePath("M_Bus.xml");
        FileName_LoRaWAN_SetAccess = dir.filePath("LoRaWAN_SetAccess.xml");
        ASSERT_TRUE(QDir(dir.path()).mkdir("bin"));
    }
    void TearDown() override
    {
        Project_Folder.clear();
        FileName_ParGen.clear();
        FileName_M_Bus.clear();
        FileName_LoRaWAN_SetAccess.clear();
    }

    void Put(const QString& path, const QByteArray& xml) { ASSERT_TRUE(WriteAll(path, xml)); }

    // A "ParGen.xml" with these elements (name, text) after the root.
    void Par_Gen(std::initializer_list<std::pair<const char*, const char*>> elements)
    {
        QByteArray xml = "<Par_Gen>\n";
        for (const auto& [name, text] : elements)
            xml += QByteArray("\t<") + name + ">" + text + "</" + name + ">\n";
        Put(FileName_ParGen, xml + "</Par_Gen>\n<!--SW_VERSION = 1.002-->\n");
    }

    QString Compile_Error()
    {
        QString error;
        EXPECT_FALSE(Compile_Device_Image(&error));
        return error;
    }
    void Compile()
    {
        QString error;
        ASSERT_TRUE(Compile_Device_Image(&error)) << error.toStdString();
    }

    QString Bin(const char* name) const { return dir.filePath(QStringLiteral("bin/") + name); }

    QTemporaryDir dir;
};

// The full configuration: every block of both images with values worked out by hand.
const char* const Full_Par_Gen[][2] = {
    {"LoRa_RF_Band", " us915-hybrid "},
    {"LoRa_Network_Type", "Public"},
    {"LoRa_Adaptive_DataRate", "1"},
    {"LoRa_DataRate", "10 - SF8/500kHz"},
    {"LoRa_Transmission_Type", "Confirmed"},
    {"LoRa_Payload_Size", "242"},
    {"LoRa_Activation_Method", "Activation by Personalization [ABP]"},
    {"LoRa_Device_Address", "1A2B3"},
    {"LoRa_JoinEUI", "70B3D57ED0001234"},
    {"LoRa_Network_Session_Key", "000102030405060708090A0B0C0D0E0F"},
    {"LoRa_Application_Session_Key", "F0E1D2C3B4A5968778695A4B3C2D1E0F"},
    {"LoRa_Application_Key", "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"},
    {"LoRa_FPort", "Variable"},
    {"LoRa_Frequency_SubBand", "2"},
    {"Ethernet_IP1", "10"}, {"Ethernet_IP2", "0"}, {"Ethernet_IP3", "0"}, {"Ethernet_IP4", "7"},
    {"Ethernet_SM1", "255"}, {"Ethernet_SM2", "255"}, {"Ethernet_SM3", "0"}, {"Ethernet_SM4", "0"},
    {"Ethernet_GAT1", "10"}, {"Ethernet_GAT2", "0"}, {"Ethernet_GAT3", "0"}, {"Ethernet_GAT4", "1"},
    {"Ethernet_EN_GAT", "1"},
    {"Ethernet_DNS1", "8"}, {"Ethernet_DNS2", "8"}, {"Ethernet_DNS3", "8"}, {"Ethernet_DNS4", "8"},
    {"Ethernet_EN_DNS", "1"},
    {"Meter_Present", "1"},
    {"Meter_Baud", "4"},
    {"Meter_Par", "1"},
    {"Meter_Req_Delay", "100"},
    {"Meter_NS_Error_Code", "7"},
    {"Meter_Use_Fix_C_Field", "1"},
    {"Meter_Select_C_Field", "1"},
    {"wMBus_Present", "1"},
    {"wMBus_Mode", "1"},
    {"wMBus_Radio_Channel", "6"},
};

QByteArray Full_Par_Gen_Xml()
{
    QByteArray xml = "<Par_Gen>\n";
    for (const auto& e : Full_Par_Gen)
        xml += QByteArray("\t<") + e[0] + ">" + e[1] + "</" + e[0] + ">\n";
    return xml + "</Par_Gen>\n<!--SW_VERSION = 1.002-->\n";
}

QByteArray Wireless_Keys()
{
    QByteArray a;
    for (int i = 1; i <= 16; ++i)
        a += " wMBus_Key_" + QByteArray::number(i) + "=\"0x" + QByteArray::number(0xA0 + i - 1, 16) + "\"";
    return a;
}

QByteArray Full_Network_Xml()
{
    return "<M-Bus_Network>\n"
           // 1: wired, primary address 5, two variables taken, one not.
           "<Nodo Node_Enable=\"1\" ID_Primary=\"5\" ID_Secondary=\"99\" Descrizione=\"heat\" Send_SND_NKE=\"1\""
           " Reset_App=\"0\" Enable_Node_State=\"1\" Node_State=\"10\" Enable_Ident_Num=\"1\" Ident_Num=\"12\""
           " BCDtoINT_IN=\"1\" Swap_IN=\"1\" Node_ID_Type=\"0\" Var_List_Type=\"0\" Cut_After=\"3\""
           " Enable_Manufacturer_Specific_Data=\"0\" Manufacturer_Specific_Data=\"20\" MSD_Length=\"4\""
           " MSD_Offset=\"2\" Enable_Access_Number=\"1\" Access_Number=\"30\" MBus_Type=\"1\" wMBus_ManID=\"9\""
           " wMBus_Add=\"9\" wMBus_En_Key=\"1\" wMBus_Enable_RSSI=\"1\" wMBus_RSSI=\"40\">\n"
           "  <Variabile Enable=\"1\" Type=\"0\" Fun_Field=\"1\" Dim=\"2\" Unit=\"3\" PositionData=\"100\""
           " StoNumber=\"4294967295\" Tariff=\"2\" VIFE=\"255\" BCDtoINT=\"1\" VIF_ASCII=\"abc\" Length=\"10\""
           " Conv_Float=\"0\" Force_Int32=\"1\" TP_Mod_Regs=\"0\" TP_Mod_Year=\"9\" Position=\"1\" Post_Operation=\"3\"/>\n"
           "  <Variabile Enable=\"0\" Type=\"1\" Fun_Field=\"0\" Dim=\"0\" PositionData=\"1\"/>\n"
           "  <!-- a note -->\n"
           "  <Variabile Enable=\"1\" Type=\"21\" Fun_Field=\"2\" Dim=\"7\" PositionData=\"200\" StoNumber=\"$10\""
           " VIF_ASCII=\"kWh\" Length=\"10\" Conv_Float=\"1\" TP_Mod_Regs=\"1\"/>\n"
           "</Nodo>\n"
           // 2: not enabled, though its variable is.
           "<Nodo Node_Enable=\"0\" ID_Primary=\"6\" MBus_Type=\"1\">\n"
           "  <Variabile Enable=\"1\" Type=\"0\" Fun_Field=\"0\" Dim=\"0\" PositionData=\"1\"/>\n"
           "</Nodo>\n"
           // 3: wired by secondary address, nine digits; Cut_After missing.
           "<Nodo ID_Primary=\"1\" ID_Secondary=\"123456789\" Node_ID_Type=\"1\" MBus_Type=\"1\">\n"
           "  <Variabile Enable=\"1\" Type=\"4\" Fun_Field=\"3\" Dim=\"4\" PositionData=\"300\" Position=\"7\"/>\n"
           "</Nodo>\n"
           // 4: wired, no variable taken: absent from the tables.
           "<Nodo ID_Primary=\"8\" MBus_Type=\"1\">\n"
           "  <Variabile Enable=\"Y\" Type=\"0\" Fun_Field=\"0\" Dim=\"0\" PositionData=\"1\"/>\n"
           "</Nodo>\n"
           // 5: wireless with its key; the wired-only fields are ignored.
           "<Nodo Node_Enable=\"1\" MBus_Type=\"0\" Node_ID_Type=\"1\" Send_SND_NKE=\"1\" Cut_After=\"5\""
           " Enable_Ident_Num=\"1\" Ident_Num=\"50\" wMBus_Enable_RSSI=\"1\" wMBus_RSSI=\"60\""
           " Enable_Access_Number=\"1\" Access_Number=\"70\" wMBus_ManID=\"0x2C2D\" wMBus_Add=\"305419896\""
           " wMBus_Ver=\"0x1B\" wMBus_DevType=\"7\" wMBus_En_Key=\"1\"" + Wireless_Keys() + ">\n"
           "  <Variabile Enable=\"1\" Type=\"21\" Fun_Field=\"0\" Dim=\"0\" PositionData=\"400\" VIF_ASCII=\"m3\" Position=\"2\"/>\n"
           "</Nodo>\n"
           // 6: wireless without a variable taken: no meter, no key record.
           "<Nodo MBus_Type=\"0\" wMBus_Add=\"1\" wMBus_En_Key=\"1\">\n"
           "  <Variabile Enable=\"0\" Type=\"0\" Fun_Field=\"0\" Dim=\"0\" PositionData=\"1\"/>\n"
           "</Nodo>\n"
           "</M-Bus_Network>\n<!--SW_VERSION = 1.002-->\n";
}

QByteArray Full_Rules_Xml()
{
    return "<LoRaWAN_Set_Access>\n<LoRaWAN_Uplink>\n"
           "<row Enable=\"Y\" StartByte=\"0\" NumByte=\"10\" OnChange=\"Y\" OnCMD=\"N\" OnTimer=\"Y\" Time=\"60\" FPort=\"5\"/>\n"
           "<row Enable=\"N\" StartByte=\"20\" NumByte=\"10\" OnChange=\"Y\" OnCMD=\"Y\" OnTimer=\"Y\" Time=\"60\" FPort=\"5\"/>\n"
           "<!-- not a rule -->\n"
           "<row StartByte=\"$10\" NumByte=\"20\" OnChange=\"N\" OnCMD=\"Y\" OnTimer=\" Y\"/>\n"
           "</LoRaWAN_Uplink>\n<LoRaWAN_Downlink>\n"
           "<row Enable=\"Y\" StartByte=\"1\" NumByte=\"1\" FPort=\"9\"/>\n"
           "</LoRaWAN_Downlink>\n</LoRaWAN_Set_Access>\n<!--SW_VERSION = 1.002-->\n";
}

Image Full_Bank1()
{
    Image i(11264);
    // General block.
    i.le(0x000, 4, 250000);
    i.le(0x004, 4, 250000);
    i.le(0x008, 4, 9600);
    i.bytes(0x028, {10, 0, 0, 7});
    i.bytes(0x02C, {255, 255, 0, 0});
    i.bytes(0x030, {10, 0, 0, 1});
    i.le(0x034, 2, 10000);
    i.le(0x1F8, 4, 19200);
    i.le(0x1FC, 4, 4800);
    i.le(0x204, 4, 19200);
    i.b[0x20B] = 1;  // odd
    i.b[0x210] = 1;
    i.b[0x213] = 1;
    i.bytes(0x214, {8, 8, 8, 8, 8, 8, 8, 8});
    i.b[0x234] = 1;   // one key record
    i.b[0x238] = 5;   // "T"
    i.b[0x246] = 6;
    i.bytes(0x248, {3, 5, 5});
    i.le(0x254, 4, 0x68800);
    i.le(0x2D8, 4, 0xFB);
    i.bytes(0x2E4, {0xFF, 0xFF, 0xFF, 0xFF});
    i.le(0x364, 4, 0x68C00);
    i.le(0x7FC, 4, i.sum(0, 0x7FC));
    // Key record 0: the wireless meter.
    i.bytes(0x800, {0x2D, 0x2C, 0x78, 0x56, 0x34, 0x12, 0x1B, 0x07});
    for (int k = 0; k < 16; ++k)
        i.b[0x808 + k] = char(0xA0 + k);
    i.b[0x818] = 1;
    // LoRaWAN block.
    i.bytes(0xC00, {9, 1, 0, 10, 0x00, 0x01, 0xA2, 0xB3});
    i.bytes(0xC08, {0x70, 0xB3, 0xD5, 0x7E, 0xD0, 0x00, 0x12, 0x34});
    i.bytes(0xC10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    i.bytes(0xC20, {0xF0, 0xE1, 0xD2, 0xC3, 0xB4, 0xA5, 0x96, 0x87, 0x78, 0x69, 0x5A, 0x4B, 0x3C, 0x2D, 0x1E, 0x0F});
    // 0xC30: the application key stays zero with ABP.
    i.bytes(0xC40, {1, 1, 242, 1});
    i.le(0xC44, 4, 1);
    i.le(0xC48, 4, 0x69000);
    i.le(0xC4C, 4, 0x69C00);
    i.le(0xC50, 2, 2);
    i.b[0xC54] = 2;
    // Uplink records: the first and the third row (the second is off).
    i.bytes(0x1000, {0, 0, 10, 0, 0x05, 5, 0, 0, 60, 0, 0, 0});
    i.bytes(0x100C, {0x10, 0, 20, 0, 0x02, 2, 0, 0, 30, 0, 0, 0});
    return i;
}

Image Full_Bank2()
{
    Image i(209);
    i.bytes(0, {0x40, 13, 0, 0, 0, 71, 0, 0, 0, 205, 0, 0, 0});
    // Wired meter 1 at 13.
    i.bytes(13, {0, 0, 0, 0, 5});
    i.le(18, 2, 2);
    i.le(20, 4, 100);
    i.bytes(24, {1, 0, 0x27});
    i.le(27, 2, 10);
    i.le(29, 2, 12);
    i.bytes(31, {1, 0, 4, 4, 2});
    i.le(36, 2, 20);
    i.le(38, 2, 0);
    i.le(40, 2, 30);
    // Wired meter 3 at 42: BCD of 123456789's low eight digits.
    i.bytes(42, {1, 0x23, 0x45, 0x67, 0x89});
    i.le(47, 2, 1);
    i.le(49, 4, 150);
    i.b[62] = char(250);
    // Wireless meter 5 at 71.
    i.bytes(71, {0, 0x12, 0x34, 0x56, 0x78});
    i.le(76, 2, 1);
    i.le(78, 4, 175);
    i.bytes(82, {0, 0, 0x32});
    i.le(87, 2, 50);
    i.le(96, 2, 60);
    i.le(98, 2, 70);
    // Variables from 100.
    i.bytes(100, {0, 2, 4});
    i.le(103, 2, 100);
    i.b[105] = 3;
    i.le(106, 4, 0xFFFFFFFF);
    i.le(110, 4, 2);
    i.bytes(114, {255, 0x06, 0, 0});
    i.le(118, 4, 200);
    i.le(122, 2, 1);
    i.b[124] = 3;

    i.bytes(125, {21, 1, 13});
    i.le(128, 2, 200);
    i.le(131, 4, 16);
    i.bytes(139, {0, 0x09, 10, 3});
    i.le(143, 4, 200);
    i.le(147, 2, 1);

    i.bytes(150, {4, 3, 3});
    i.le(153, 2, 300);
    i.le(168, 4, 203);
    i.le(172, 2, 7);

    i.bytes(175, {21, 0, 1});
    i.le(178, 2, 400);
    i.bytes(192, {2});
    i.le(193, 4, 203);
    i.le(197, 2, 2);
    // Texts, reversed, then the line block.
    i.text(200, "hWk3m");
    i.bytes(205, {100, 0, 2, 7});
    return i;
}

TEST_F(USaveBinccTest, FullConfigurationGivesTheImagesWorkedOutByHand)
{
    Put(FileName_ParGen, Full_Par_Gen_Xml());
    Put(FileName_M_Bus, Full_Network_Xml());
    Put(FileName_LoRaWAN_SetAccess, Full_Rules_Xml());
    ASSERT_TRUE(Build_Device_Images());
    ASSERT_TRUE(Write_Device_Images());

    const QByteArray bank1 = ReadAll(Bin("bank1.bin"));
    const QByteArray bank2 = ReadAll(Bin("bank2.bin"));
    EXPECT_EQ(bank1.size(), 11264);
    EXPECT_EQ(First_Difference(bank1, Full_Bank1().b), "equal");
    EXPECT_EQ(First_Difference(bank2, Full_Bank2().b), "equal");
    EXPECT_EQ(Bank1_Bytes(), bank1);
    EXPECT_EQ(Bank2_Bytes(), bank2);
    EXPECT_FALSE(QFile::exists(Bin("bank1.bin.tmp")));
    EXPECT_FALSE(QFile::exists(Bin("bank2.bin.tmp")));

    ASSERT_EQ(SaveBin::Wired_Nodes().size(), 2u);
    ASSERT_EQ(SaveBin::Wireless_Nodes().size(), 1u);
    EXPECT_EQ(SaveBin::Wired_Nodes()[0].Vars.size(), 2u);
    EXPECT_EQ(SaveBin::Wired_Nodes()[0].Vars[1].VIF_ASCII, "kWh");
}

TEST_F(USaveBinccTest, WithoutAnyProjectFileTheResetImages)
{
    Compile();
    EXPECT_EQ(First_Difference(Bank1_Bytes(), Reset_Bank1().b), "equal");
    EXPECT_EQ(Bank2_Bytes(), Header_Only_Bank2());
}

TEST_F(USaveBinccTest, WithoutParGenNoMeterIsTakenButRulesAreCounted)
{
    // Without "ParGen.xml" both presence flags are off: no meter, no key, no
    // line block; the fixed port 2 applies.
    Put(FileName_M_Bus, Full_Network_Xml());
    Put(FileName_LoRaWAN_SetAccess, Full_Rules_Xml());
    Compile();
    Image want = Reset_Bank1(2);
    want.bytes(0x1000, {0, 0, 10, 0, 0x05, 2, 0, 0, 60, 0, 0, 0});
    want.bytes(0x100C, {0x10, 0, 20, 0, 0x02, 2, 0, 0, 30, 0, 0, 0});
    EXPECT_EQ(First_Difference(Bank1_Bytes(), want.b), "equal");
    EXPECT_EQ(Bank2_Bytes(), Header_Only_Bank2());
}

TEST_F(USaveBinccTest, WithoutNetworkFileTheHeaderAndTheLineBlock)
{
    Par_Gen({{"Meter_Present", "1"}, {"Meter_Req_Delay", "100"}, {"Meter_NS_Error_Code", "$2A"}});
    Compile();
    Image want(17);
    want.bytes(0, {0x40, 13, 0, 0, 0, 13, 0, 0, 0, 13, 0, 0, 0, 100, 0, 0, 0x2A});
    EXPECT_EQ(Bank2_Bytes(), want.b);

    // The node-state value of an absent meter defaults to 0xFF.
    Par_Gen({{"Meter_Req_Delay", "70000"}});
    Compile();
    want.bytes(13, {0x70, 0x11, 0, 0xFF});  // 70000 in 16 bits
    EXPECT_EQ(Bank2_Bytes(), want.b);
}

TEST_F(USaveBinccTest, ParGenElementsAndTheirConversions)
{
    // Each row: "ParGen.xml" elements beside "Meter_Req_Delay" and the bytes
    // they give at an offset of bank 1. Offsets from 0xC00 are the LoRaWAN block.
    struct Case
    {
        std::vector<std::pair<const char*, const char*>> elements;
        int offset;
        std::vector<int> bytes;
        const char* why;
    };
    const Case cases[] = {
        {{{"LoRa_RF_Band", " us915-hybrid "}}, 0xC00, {9}, "trimmed, any case"},
        {{{"LoRa_RF_Band", "EU868"}}, 0xC00, {5}, ""},
        {{{"LoRa_RF_Band", "KR920"}}, 0xC00, {6}, ""},
        {{{"LoRa_RF_Band", "EU433"}}, 0xC00, {0}, "not in the list"},
        {{{"LoRa_Network_Type", "public"}}, 0xC01, {1}, ""},
        {{{"LoRa_Activation_Method", "over-the-air activation [otaa]"}}, 0xC02, {1}, ""},
        {{{"LoRa_DataRate", "10 - SF8/500kHz"}}, 0xC03, {10}, ""},
        {{{"LoRa_DataRate", "3\t- SF9"}}, 0xC03, {3}, "a tab before the dash"},
        {{{"LoRa_DataRate", "6"}}, 0xC03, {0}, "no dash"},
        {{}, 0xC03, {0}, "missing with the file present"},
        {{{"LoRa_Transmission_Type", "confirmed"}}, 0xC41, {0}, "case counts"},
        {{{"LoRa_Transmission_Type", "Confirmed"}}, 0xC41, {1}, ""},
        {{}, 0xC42, {1}, "payload default"},
        {{{"LoRa_Payload_Size", "300"}}, 0xC42, {44}, "low 8 bits"},
        {{{"LoRa_FPort", " variable "}}, 0xC43, {1}, ""},
        {{{"LoRa_FPort", "Fixed"}}, 0xC43, {0}, ""},
        {{{"LoRa_Transmit_Interval", "3600"}}, 0xC44, {0x10, 0x0E, 0, 0}, ""},
        {{}, 0xC54, {1}, "sub-band default with the file"},
        {{{"LoRa_Device_Address", "1A2B3"}}, 0xC04, {0x00, 0x01, 0xA2, 0xB3}, "padded on the left"},
        {{{"LoRa_Device_Address", "1G2B3C4D"}}, 0xC04, {0x00, 0x2B, 0x3C, 0x4D}, "a pair that is no number"},
        {{{"LoRa_Activation_Method", "Over-the-Air Activation [OTAA]"}, {"LoRa_Device_Address", "11223344"}},
         0xC04, {0, 0, 0, 0}, "no device address with OTAA"},
        {{{"LoRa_Activation_Method", "Over-the-Air Activation [OTAA]"}, {"LoRa_Application_Key", "ab"}},
         0xC3E, {0x00, 0xAB}, "application key with OTAA"},
        {{{"LoRa_Application_Key", "ab"}}, 0xC3F, {0}, "no application key with ABP"},
        {{{"LoRa_JoinEUI", "1"}}, 0xC0F, {1}, "JoinEUI always"},
        {{{"Ethernet_IP1", "010"}, {"Ethernet_IP2", "x"}}, 0x028, {10, 168, 0, 10}, "numbers; defaults for the rest"},
        {{{"Ethernet_EN_GAT", "1"}}, 0x030, {192, 168, 0, 1}, "gateway defaults"},
        {{{"Ethernet_EN_GAT", "true"}, {"Ethernet_GAT1", "1"}}, 0x030, {255, 255, 255, 255}, ""},
        {{{"Ethernet_EN_GAT", "0"}}, 0x030, {255, 255, 255, 255}, ""},
        {{{"Ethernet_GAT1", "1"}}, 0x030, {255, 255, 255, 255}, "gateway flag missing"},
        {{}, 0x1FC, {0x60, 0x09, 0, 0}, "baud default 2400"},
        {{{"Meter_Baud", "7"}}, 0x1FC, {0x00, 0x96, 0, 0}, "38400"},
        {{{"Meter_Baud", "8"}}, 0x1FC, {0x60, 0x09, 0, 0}, ""},
        {{{"Meter_Baud", "-1"}}, 0x1FC, {0x60, 0x09, 0, 0}, ""},
        {{{"Meter_Par", "x"}}, 0x20B, {0}, "does not convert"},
        {{}, 0x20B, {2}, "missing"},
        {{}, 0x2D8, {0x5B}, "C field defaults"},
        {{{"Meter_Select_C_Field", "1"}, {"Meter_Use_Fix_C_Field", "1"}}, 0x2D8, {0xFB}, ""},
        {{{"Meter_Select_C_Field", " 0"}, {"Meter_Use_Fix_C_Field", "01"}}, 0x2D8, {0x7B}, "exact texts only"},
        {{{"wMBus_Mode", "2"}}, 0x238, {15}, ""},
        {{{"wMBus_Mode", "3"}}, 0x238, {17}, ""},
        {{{"wMBus_Mode", "4"}}, 0x238, {11}, ""},
        {{{"wMBus_Mode", "257"}}, 0x238, {5}, "low 8 bits"},
        {{{"wMBus_Mode", "9"}}, 0x238, {1}, ""},
        {{{"wMBus_Radio_Channel", "8"}}, 0x246, {8}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset 0x" << std::hex << c.offset << " " << c.why);
        QByteArray xml = "<Par_Gen><Meter_Req_Delay>1</Meter_Req_Delay>";
        for (const auto& [name, text] : c.elements)
            xml += QByteArray("<") + name + ">" + text + "</" + name + ">";
        Put(FileName_ParGen, xml + "</Par_Gen>");
        Compile();
        const QByteArray bank1 = Bank1_Bytes();
        for (size_t k = 0; k < c.bytes.size(); ++k)
            EXPECT_EQ(uint8_t(bank1[c.offset + int(k)]), c.bytes[k]) << "byte " << k;
    }
}

TEST_F(USaveBinccTest, UplinkRules)
{
    Par_Gen({{"Meter_Req_Delay", "1"}, {"LoRa_FPort", "Variable"}});
    // Each row: the attributes of one rule, and the record it gives (or none).
    struct Case
    {
        const char* attributes;
        std::vector<int> record;  // empty: not counted
        const char* why;
    };
    const Case cases[] = {
        {"Enable=\"Y\" StartByte=\"4\" NumByte=\"2\" OnChange=\"Y\" OnCMD=\"Y\" OnTimer=\"Y\" Time=\"90\" FPort=\"7\"",
         {4, 0, 2, 0, 7, 7, 0, 0, 90, 0, 0, 0}, ""},
        {"StartByte=\"1\"", {1, 0, 0, 0, 0, 2, 0, 0, 30, 0, 0, 0}, "no Enable counts; defaults"},
        {"Enable=\"N\" StartByte=\"1\"", {}, ""},
        // Enabled only as the rules window shows it: exactly "Y".
        {"Enable=\" y \" StartByte=\"1\"", {}, "as the window shows it: not enabled"},
        {"Enable=\"Y\" OnChange=\"y\" OnCMD=\"Y \" OnTimer=\" Y\"", {0, 0, 0, 0, 1, 2, 0, 0, 30, 0, 0, 0},
         "sending conditions upper-cased, not trimmed"},
        {"Enable=\"Y\" OnChange=\"N\" OnCMD=\"y\" OnTimer=\"y\" Time=\"60\"", {0, 0, 0, 0, 6, 2, 0, 0, 60, 0, 0, 0},
         "lower-case y sets its bit"},
        {"Enable=\"Y\" StartByte=\"x\" NumByte=\"1536\" Time=\"x\" FPort=\"x\"", {0, 0, 0, 6, 0, 2, 0, 0, 30, 0, 0, 0},
         "numbers that do not convert"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attributes);
        Put(FileName_LoRaWAN_SetAccess,
            QByteArray("<LoRaWAN_Set_Access><LoRaWAN_Uplink><row ") + c.attributes + "/></LoRaWAN_Uplink></LoRaWAN_Set_Access>");
        Compile();
        const QByteArray bank1 = Bank1_Bytes();
        EXPECT_EQ(uint8_t(bank1[0xC50]), c.record.empty() ? 0 : 1);
        for (size_t k = 0; k < c.record.size(); ++k)
            EXPECT_EQ(uint8_t(bank1[0x1000 + int(k)]), c.record[k]) << "byte " << k;
    }
}

TEST_F(USaveBinccTest, FixedPortAndFewerRulesLeaveNothingBehind)
{
    auto rules = [](int n) {
        QByteArray xml = "<LoRaWAN_Set_Access><LoRaWAN_Uplink>";
        for (int i = 0; i < n; ++i)
            xml += "<row Enable=\"Y\" StartByte=\"" + QByteArray::number(i) + "\" NumByte=\"1\" OnTimer=\"Y\" FPort=\"9\"/>";
        return xml + "</LoRaWAN_Uplink><LoRaWAN_Downlink/></LoRaWAN_Set_Access>";
    };
    Par_Gen({{"Meter_Req_Delay", "1"}, {"LoRa_FPort", "Fixed"}});
    Put(FileName_LoRaWAN_SetAccess, rules(5));
    Compile();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(uint8_t(Bank1_Bytes()[0x1000 + 12 * i + 5]), 2) << "fixed port, rule " << i;

    Put(FileName_LoRaWAN_SetAccess, rules(2));
    Compile();
    const QByteArray bank1 = Bank1_Bytes();
    EXPECT_EQ(uint8_t(bank1[0xC50]), 2);
    EXPECT_EQ(bank1.mid(0x1000 + 24, 0x1C00 - 0x1000 - 24), QByteArray(0x1C00 - 0x1000 - 24, '\0'));
    EXPECT_EQ(bank1.mid(0x1C00), QByteArray(11264 - 0x1C00, '\0'));  // downlink never compiled
}

TEST_F(USaveBinccTest, NetworkEdgeCases)
{
    Par_Gen({{"Meter_Req_Delay", "1"}, {"Meter_Present", "1"}, {"wMBus_Present", "1"}});
    auto network = [&](const QByteArray& nodes) {
        Put(FileName_M_Bus, "<M-Bus_Network>" + nodes + "</M-Bus_Network>");
        Compile();
        return Bank2_Bytes();
    };
    // Each value at a position of its own: the network check refuses two on one.
    int position = 0;
    auto var = [&] {
        return "<Variabile Enable=\"1\" Type=\"0\" Fun_Field=\"0\" Dim=\"0\" PositionData=\"" + QByteArray::number(++position)
               + "\"/>";
    };

    // Secondary address of eight digits, the legacy "ID".
    QByteArray b = network("<Nodo Node_ID_Type=\"1\" ID_Secondary=\"12345678\">" + var() + "</Nodo>"
                           "<Nodo Node_ID_Type=\"1\" ID=\"87654321\" ID_Secondary=\"1\">" + var() + "</Nodo>"
                           "<Nodo ID=\"x\" ID_Primary=\"300\">" + var() + "</Nodo>"
                           "<Nodo Cut_After=\"2147483647\">" + var() + "</Nodo>"
                           // Enable and kind that do not convert: an enabled wired meter.
                           "<Nodo Node_Enable=\"x\" MBus_Type=\"w\" ID_Primary=\"9\">" + var() + "</Nodo>");
    EXPECT_EQ(b.mid(14, 4), QByteArray::fromHex("12345678"));
    EXPECT_EQ(b.mid(14 + 29, 4), QByteArray::fromHex("87654321"));
    EXPECT_EQ(b.mid(14 + 58, 4), QByteArray::fromHex("0000002C"));  // low byte of 300
    EXPECT_EQ(uint8_t(b[13 + 29 * 2 + 20]), 250);
    EXPECT_EQ(uint8_t(b[13 + 29 * 3 + 20]), 0);  // 2147483648 in 8 bits
    EXPECT_EQ(b.mid(14 + 29 * 4, 4), QByteArray::fromHex("00000009"));
    EXPECT_EQ(b.mid(5, 4), QByteArray::fromHex("9e000000"));  // 13 + 29 * 5: five wired meters

    // Three wireless meters fill key records 0 to 2; one without variables takes none.
    auto wireless = [&](int add, bool withVar) {
        return "<Nodo MBus_Type=\"0\" wMBus_Add=\"" + QByteArray::number(add) + "\" wMBus_En_Key=\"0\" wMBus_Key_1=\"5\">"
               + (withVar ? var() : QByteArray()) + "</Nodo>";
    };
    b = network(wireless(1, true) + wireless(2, false) + wireless(3, true) + wireless(4, true));
    const QByteArray bank1 = Bank1_Bytes();
    EXPECT_EQ(uint8_t(bank1[0x234]), 3);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(uint8_t(bank1[0x800 + 32 * k + 2]), k == 0 ? 1 : k + 2) << "key record " << k;
    EXPECT_EQ(bank1.mid(0x800 + 8, 16), QByteArray(16, '\0'));  // key not enabled
    EXPECT_EQ(bank1.mid(0x800 + 96, 32), QByteArray(32, '\0'));
    EXPECT_EQ(b.mid(5, 4), QByteArray::fromHex("0d000000"));  // no wired meter
    EXPECT_EQ(uint8_t(b[13 + 7]), 13 + 3 * 29);               // Add closes up

    // Variable fields: function swap, sizes and lengths, texts only for type 21.
    b = network("<Nodo>"
                "<Variabile Enable=\"1\" Type=\"0\" Fun_Field=\"1\" Dim=\"7\" Length=\"10\" PositionData=\"1\" VIF_ASCII=\"kWh\"/>"
                "<Variabile Enable=\"1\" Type=\"21\" Fun_Field=\"2\" Dim=\"2\" Length=\"10\" PositionData=\"2\" VIF_ASCII=\"kWh\"/>"
                "<Variabile Enable=\"1\" Type=\"21\" Fun_Field=\"3\" Dim=\"9\" PositionData=\"3\"/>"
                "</Nodo>");
    const int v0 = 13 + 29;
    EXPECT_EQ(b.mid(v0, 3), QByteArray::fromHex("00020d"));
    EXPECT_EQ(b.mid(v0 + 16, 2), QByteArray::fromHex("0a00"));       // length 10, no text
    EXPECT_EQ(b.mid(v0 + 25, 3), QByteArray::fromHex("150104"));
    EXPECT_EQ(b.mid(v0 + 25 + 16, 2), QByteArray::fromHex("0003"));  // no length, text of 3
    EXPECT_EQ(b.mid(v0 + 50 + 2, 1), QByteArray::fromHex("02"));     // unknown size position
    EXPECT_EQ(b.mid(v0 + 75, 3), QByteArray("hWk"));
    EXPECT_EQ(b.mid(v0 + 75 + 3, 4), QByteArray::fromHex("010001ff"));  // the line block

    // Presence flags: only "1" is on.
    Par_Gen({{"Meter_Req_Delay", "1"}, {"Meter_Present", "2"}, {"wMBus_Present", "x"}});
    b = network("<Nodo>" + var() + "</Nodo>" + wireless(1, true));
    EXPECT_EQ(b.size(), 17);
}

TEST_F(USaveBinccTest, IntToBcd)
{
    EXPECT_EQ(Int_To_BCD(12345678), 0x12345678u);
    EXPECT_EQ(Int_To_BCD(123456789), 0x23456789u);
    EXPECT_EQ(Int_To_BCD(0), 0u);
    EXPECT_EQ(Int_To_BCD(4294967295u), 0x94967295u);  // the lowest eight digits
}

TEST_F(USaveBinccTest, FaultsStopTheCompilation)
{
    const QByteArray par = "<Par_Gen><Meter_Present>1</Meter_Present><wMBus_Present>1</wMBus_Present>"
                           "<Meter_Req_Delay>1</Meter_Req_Delay></Par_Gen>";
    auto node = [](const QByteArray& varAttributes) {
        return "<M-Bus_Network><Nodo><Variabile Enable=\"1\" " + varAttributes + "/></Nodo></M-Bus_Network>";
    };
    QByteArray manyWireless = "<M-Bus_Network>";
    for (int i = 0; i < 33; ++i)
        manyWireless += "<Nodo MBus_Type=\"0\"><Variabile Enable=\"1\" Type=\"0\" Fun_Field=\"0\" Dim=\"0\" PositionData=\"1\"/></Nodo>";
    manyWireless += "</M-Bus_Network>";
    QByteArray manyWired = "<M-Bus_Network>";
    for (int i = 0; i < 256; ++i)
        manyWired += "<Nodo><Variabile Enable=\"1\" Type=\"0\" Fun_Field=\"0\" Dim=\"0\" PositionData=\"1\"/></Nodo>";
    manyWired += "</M-Bus_Network>";
    // 5300 variable records of 25 bytes do not fit the 131 072 bytes of bank 2.
    QByteArray tooLarge = "<M-Bus_Network><Nodo>";
    for (int i = 0; i < 5300; ++i)
        tooLarge += "<Variabile Enable=\"1\" Type=\"0\" Fun_Field=\"0\" Dim=\"0\" PositionData=\"1\"/>";
    tooLarge += "</Nodo></M-Bus_Network>";
    QByteArray manyRules = "<X><LoRaWAN_Uplink>";
    for (int i = 0; i < 257; ++i)
        manyRules += "<row StartByte=\"0\" NumByte=\"1\"/>";
    manyRules += "</LoRaWAN_Uplink></X>";

    struct Case
    {
        QByteArray parGen, network, rules;
        const char* message;  // a part of the error shown
    };
    const Case cases[] = {
        {"<Par_Gen><oops></Par_Gen>", "", "", "ParGen.xml"},
        {par, "<M-Bus_Network>", "", "M_Bus.xml"},
        {par, "", "<LoRaWAN_Set_Access", "LoRaWAN_SetAccess.xml"},
        {par, "", "<LoRaWAN_Set_Access><Other/></LoRaWAN_Set_Access>", "LoRaWAN_Uplink"},
        {par, node("Fun_Field=\"0\" Dim=\"0\" PositionData=\"1\""), "", "\"Type\""},
        {par, node("Type=\"0\" Fun_Field=\"x\" Dim=\"0\" PositionData=\"1\""), "", "\"Fun_Field\""},
        {par, node("Type=\"0\" Fun_Field=\"0\" PositionData=\"1\""), "", "\"Dim\""},
        {par, node("Type=\"0\" Fun_Field=\"0\" Dim=\"0\""), "", "\"PositionData\""},
        {"<Par_Gen><Meter_Req_Delay>x</Meter_Req_Delay></Par_Gen>", "", "", "Meter_Req_Delay"},
        {"<Par_Gen/>", "", "", "Meter_Req_Delay"},
        {par, manyWireless, "", "wireless"},
        {par, manyWired, "", "255 wired"},
        {par, tooLarge, "", "131072 bytes"},
        {par, "", manyRules, "256 enabled uplink rules"},
        {par, node("Type=\"21\" Fun_Field=\"0\" Dim=\"0\" PositionData=\"1\" VIF_ASCII=\"" + QByteArray(256, 'k') + "\""), "",
         "255 characters"},
        {"<Par_Gen><Meter_Req_Delay>1</Meter_Req_Delay><LoRa_JoinEUI>00000000000000001</LoRa_JoinEUI></Par_Gen>", "", "",
         "LoRa_JoinEUI"},
        // A rule reaching past the data area (positions 0 to 1536).
        {par, "", "<X><LoRaWAN_Uplink><row Enable=\"N\"/><row StartByte=\"1536\" NumByte=\"2\"/></LoRaWAN_Uplink></X>",
         "Error row 2!! [LoraWAN Uplink]"},
        {par, "", "<X><LoRaWAN_Uplink><row StartByte=\"-1\" NumByte=\"1\"/></LoRaWAN_Uplink></X>", "data area"},
        {par, "", "<X><LoRaWAN_Uplink><row StartByte=\"2147483647\" NumByte=\"1\"/></LoRaWAN_Uplink></X>", "data area"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        QFile::remove(FileName_ParGen);
        QFile::remove(FileName_M_Bus);
        QFile::remove(FileName_LoRaWAN_SetAccess);
        if (!c.parGen.isEmpty())
            Put(FileName_ParGen, c.parGen);
        if (!c.network.isEmpty())
            Put(FileName_M_Bus, c.network);
        if (!c.rules.isEmpty())
            Put(FileName_LoRaWAN_SetAccess, c.rules);
        EXPECT_TRUE(Compile_Error().contains(QString::fromLatin1(c.message)));
        // Nothing of the failed compilation can be written.
        QString error;
        EXPECT_FALSE(Save_Bank_Files(&error));
        EXPECT_FALSE(QFile::exists(Bin("bank1.bin")));
    }

    // The rule ending exactly at the end of the data area, and a disabled one beyond it, pass.
    Put(FileName_LoRaWAN_SetAccess, "<X><LoRaWAN_Uplink><row Enable=\"N\" StartByte=\"1536\" NumByte=\"9\"/>"
                                    "<row StartByte=\"1536\" NumByte=\"1\"/></LoRaWAN_Uplink></X>");
    QFile::remove(FileName_M_Bus);
    Compile();
}

TEST_F(USaveBinccTest, BuildShowsTheFaultInAnErrorBox)
{
    Put(FileName_ParGen, "<Par_Gen>");
    DialogScript script;
    EXPECT_FALSE(Build_Device_Images());
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
    EXPECT_TRUE(script.Shown()[0].text.contains("ParGen.xml"));
    EXPECT_FALSE(Write_Device_Images());
    EXPECT_EQ(script.Shown().size(), 2u);
    EXPECT_FALSE(QFile::exists(Bin("bank2.bin")));
}

// The pair under injected failures and crashes: UBankPairTest.cpp.
TEST_F(USaveBinccTest, BothFilesOrNeither)
{
    Put(FileName_ParGen, Full_Par_Gen_Xml());
    Put(FileName_M_Bus, Full_Network_Xml());
    Put(FileName_LoRaWAN_SetAccess, Full_Rules_Xml());
    ASSERT_TRUE(WriteAll(Bin("bank1.bin"), "old bank 1"));
    ASSERT_TRUE(WriteAll(Bin("bank2.bin"), "old bank 2"));
    Compile();

    // Bank 1 cannot be put in place (a folder holds its name): bank 2 must
    // not replace the old one either.
    ASSERT_TRUE(QFile::remove(Bin("bank1.bin")));
    ASSERT_TRUE(QDir(dir.path()).mkpath("bin/bank1.bin/x"));
    {
        DialogScript script;
        EXPECT_FALSE(Write_Device_Images());
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
        EXPECT_TRUE(script.Shown()[0].text.contains("bank1.bin"));
    }
    EXPECT_EQ(ReadAll(Bin("bank2.bin")), "old bank 2");
    EXPECT_TRUE(QFileInfo(Bin("bank1.bin/x")).isDir());

    // Files of the user's under the names once used for temporary files are kept.
    ASSERT_TRUE(QDir(Bin("bank1.bin")).removeRecursively());
    ASSERT_TRUE(WriteAll(Bin("bank1.bin.tmp"), "mine 1"));
    ASSERT_TRUE(WriteAll(Bin("bank2.bin.tmp"), "mine 2"));
    ASSERT_TRUE(Write_Device_Images());
    EXPECT_EQ(ReadAll(Bin("bank1.bin")), Full_Bank1().b);
    EXPECT_EQ(ReadAll(Bin("bank2.bin")), Full_Bank2().b);
    EXPECT_EQ(ReadAll(Bin("bank1.bin.tmp")), "mine 1");
    EXPECT_EQ(ReadAll(Bin("bank2.bin.tmp")), "mine 2");

    // A missing folder "bin" is said, not skipped.
    ASSERT_TRUE(QDir(Bin("")).removeRecursively());
    QString error;
    EXPECT_FALSE(Save_Bank_Files(&error));
    EXPECT_TRUE(error.contains("bank2.bin"));
}

} // namespace
