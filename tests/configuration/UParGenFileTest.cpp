#include "configuration/UParGen_File.h"
#include "support/TestSupport.h"

#include "platform/XmlDocument.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <sys/resource.h>

using namespace ParGen;
using platform::XmlDocument;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

TParGen_Values Read(const QByteArray& xml)
{
    XmlDocument doc;
    EXPECT_TRUE(doc.LoadFromBytes(xml));
    // The root as every reader takes it.
    return ParGen_Read_Values(doc.DocumentElement());
}

QByteArray Doc(const QByteArray& elements, const QByteArray& root = "Par_Gen")
{
    return "<" + root + ">" + elements + "</" + root + "><!--SW_VERSION = 1.002-->";
}

const QString kAs923First = QStringLiteral("0\t- LoRa: SF12/125kHz 250 [bit/s]");

} // namespace

TEST(ParGenFile, ANewConfigurationHasTheWindowsDefaults)
{
    const TParGen_Values v = ParGen_New_Values();
    const std::map<Element, const char*> expected = {
        {LoRa_RF_Band, "AS923"},
        {LoRa_Network_Type, "Private"},
        {LoRa_Adaptive_DataRate, "0"},
        {LoRa_DataRate, "6\t- LoRa: SF7/250kHz 11000 [bit/s]"},
        {LoRa_Transmission_Type, "Unconfirmed"},
        {LoRa_Payload_Size, "230"},
        {LoRa_Activation_Method, "Activation by Personalization [ABP]"},
        {LoRa_Device_Address, ""},
        {LoRa_JoinEUI, ""},
        {LoRa_Application_Key, ""},
        {LoRa_FPort, "Fixed"},
        {LoRa_Frequency_SubBand, "1"},
        {Ethernet_IP1, "192"}, {Ethernet_IP2, "168"}, {Ethernet_IP3, "0"}, {Ethernet_IP4, "10"},
        {Ethernet_SM1, "255"}, {Ethernet_SM2, "255"}, {Ethernet_SM3, "255"}, {Ethernet_SM4, "0"},
        {Ethernet_GAT1, "192"}, {Ethernet_GAT2, "168"}, {Ethernet_GAT3, "0"}, {Ethernet_GAT4, "1"},
        {Ethernet_EN_GAT, "0"},
        {Ethernet_DNS1, "8"}, {Ethernet_DNS2, "8"}, {Ethernet_DNS3, "8"}, {Ethernet_DNS4, "8"},
        {Ethernet_EN_DNS, "0"},
        {Meter_Present, "1"},
        {Meter_Baud, "0"},
        {Meter_Par, "2"},
        {Meter_Req_Delay, "100"},
        {Meter_NS_Error_Code, "0"},
        {Meter_Use_Fix_C_Field, "0"},
        {Meter_Select_C_Field, "0"},
        {wMBus_Present, "0"},
        {wMBus_Mode, "0"},
        {wMBus_Radio_Channel, "0"},
    };
    for (const auto& [element, value] : expected)
        EXPECT_EQ(v[element], QString::fromLatin1(value)) << Elements()[element].name.toStdString();
}

TEST(ParGenFile, ReadsEachElementOnItsOwn)
{
    struct Case
    {
        const char* why;
        QByteArray xml;
        std::map<Element, const char*> expected;   // elements not listed are not looked at
    };
    const Case cases[] = {
        {"elements in another order read the same",
         Doc("<Meter_Par>1</Meter_Par><LoRa_DataRate>3 -\tLoRa: SF9/125kHz 1760 [bit/s]</LoRa_DataRate>"
             "<Ethernet_IP1>10</Ethernet_IP1><LoRa_RF_Band>EU868</LoRa_RF_Band>"),
         {{LoRa_RF_Band, "EU868"}, {LoRa_DataRate, "3 -\tLoRa: SF9/125kHz 1760 [bit/s]"}, {LoRa_Payload_Size, "115"},
          {Meter_Par, "1"}, {Ethernet_IP1, "10"}, {Ethernet_IP2, "168"}}},
        {"missing elements take the defaults; a missing data rate is the band's first",
         Doc("<LoRa_RF_Band>US915</LoRa_RF_Band>"),
         {{LoRa_DataRate, "0  -\tLoRa: SF10/125kHz 980 [bit/s]"}, {LoRa_Payload_Size, "11"},
          {LoRa_Network_Type, "Private"}, {Meter_Present, "1"}, {Meter_Par, "2"}, {Meter_Req_Delay, "100"},
          {wMBus_Present, "0"}, {Ethernet_GAT4, "1"}}},
        {"the stored payload is not taken: it is worked out",
         Doc("<LoRa_RF_Band>AS923</LoRa_RF_Band><LoRa_DataRate>3\t- LoRa: SF9/125kHz 1760 [bit/s]</LoRa_DataRate>"
             "<LoRa_Payload_Size>99</LoRa_Payload_Size>"),
         {{LoRa_Payload_Size, "123"}}},
        {"a comment before the root changes nothing",
         "<!--x--><Par_Gen><LoRa_RF_Band>EU868</LoRa_RF_Band><Meter_Par>0</Meter_Par></Par_Gen>",
         {{LoRa_RF_Band, "EU868"}, {LoRa_DataRate, "0 -\tLoRa: SF12/125kHz 250 [bit/s]"}, {LoRa_Payload_Size, "51"},
          {Meter_Par, "0"}}},
        {"the root's name is not compared",
         Doc("<LoRa_RF_Band>KR920</LoRa_RF_Band>", "Other"),
         {{LoRa_RF_Band, "KR920"}, {LoRa_DataRate, "0 - LoRa: SF12/125kHz 250 [bit/s]"}}},
        {"choice texts ignore letter case and take the list's spelling",
         Doc("<LoRa_RF_Band>us915-HYBRID</LoRa_RF_Band><LoRa_FPort>VARIABLE</LoRa_FPort>"
             "<LoRa_Network_Type>public</LoRa_Network_Type>"
             "<LoRa_Activation_Method>over-the-air activation [otaa]</LoRa_Activation_Method>"),
         {{LoRa_RF_Band, "US915-Hybrid"}, {LoRa_FPort, "Variable"}, {LoRa_Network_Type, "Public"},
          {LoRa_Activation_Method, "Over-the-Air Activation [OTAA]"}}},
        {"a choice text that is no entry leaves nothing chosen; blanks must match",
         Doc("<LoRa_RF_Band>EU868 </LoRa_RF_Band><LoRa_FPort>var</LoRa_FPort>"
             "<LoRa_Transmission_Type>Unconfirmed&#9;</LoRa_Transmission_Type>"
             "<LoRa_Frequency_SubBand>9</LoRa_Frequency_SubBand>"),
         {{LoRa_RF_Band, ""}, {LoRa_DataRate, ""}, {LoRa_Payload_Size, "0"}, {LoRa_FPort, ""},
          {LoRa_Transmission_Type, ""}, {LoRa_Frequency_SubBand, ""}}},
        {"a data rate of another band's spelling becomes the band's first entry",
         Doc("<LoRa_RF_Band>EU868</LoRa_RF_Band><LoRa_DataRate>0 - LoRa: SF12/125kHz 250 [bit/s]</LoRa_DataRate>"),
         {{LoRa_DataRate, "0 -\tLoRa: SF12/125kHz 250 [bit/s]"}, {LoRa_Payload_Size, "51"}}},
        {"positions: not a number gives 0 (present: 1), outside the list nothing",
         Doc("<Meter_Present>x</Meter_Present><Meter_Par>x</Meter_Par><Meter_Baud>8</Meter_Baud>"
             "<wMBus_Mode>-3</wMBus_Mode><wMBus_Radio_Channel>$8</wMBus_Radio_Channel>"
             "<Meter_Select_C_Field> 1</Meter_Select_C_Field><wMBus_Present></wMBus_Present>"),
         {{Meter_Present, "1"}, {Meter_Par, "0"}, {Meter_Baud, "-1"}, {wMBus_Mode, "-1"},
          {wMBus_Radio_Channel, "8"}, {Meter_Select_C_Field, "1"}, {wMBus_Present, "0"}}},
        {"flags are on for exactly \"1\"",
         Doc("<LoRa_Adaptive_DataRate>1</LoRa_Adaptive_DataRate><Ethernet_EN_GAT> 1</Ethernet_EN_GAT>"
             "<Ethernet_EN_DNS>true</Ethernet_EN_DNS><Meter_Use_Fix_C_Field/>"),
         {{LoRa_Adaptive_DataRate, "1"}, {Ethernet_EN_GAT, "0"}, {Ethernet_EN_DNS, "0"},
          {Meter_Use_Fix_C_Field, "0"}}},
        {"typed texts stay as they are, an empty element empty",
         Doc("<Ethernet_IP1> 010 </Ethernet_IP1><Ethernet_IP2>0x10</Ethernet_IP2><Meter_Req_Delay/>"
             "<LoRa_JoinEUI>ab cd</LoRa_JoinEUI><Meter_NS_Error_Code>&lt;x&gt;</Meter_NS_Error_Code>"),
         {{Ethernet_IP1, " 010 "}, {Ethernet_IP2, "0x10"}, {Meter_Req_Delay, ""}, {LoRa_JoinEUI, "ab cd"},
          {Meter_NS_Error_Code, "<x>"}}},
        {"elements of other models are ignored",
         Doc("<BACnet_Type>1</BACnet_Type><LoRa_Transmit_Interval>5</LoRa_Transmit_Interval>"),
         {{LoRa_RF_Band, "AS923"}, {LoRa_DataRate, "0\t- LoRa: SF12/125kHz 250 [bit/s]"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const TParGen_Values v = Read(c.xml);
        for (const auto& [element, value] : c.expected)
            EXPECT_EQ(v[element], QString::fromUtf8(value)) << Elements()[element].name.toStdString();
    }
}

TEST(ParGenFile, AFileThatCannotBeLoadedGivesTheNewConfigurationAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ParGen.xml");
    TParGen_Values v;
    QString error;
    EXPECT_EQ(Load_ParGen(path, &v, &error), TParGen_Load::Missing);
    EXPECT_EQ(v, ParGen_New_Values());
    EXPECT_TRUE(error.isEmpty());

    struct Case
    {
        const char* why;
        QByteArray bytes;
    };
    const Case broken[] = {
        {"empty", ""},
        {"not XML", QByteArray("\x00\xFF garbage", 10)},
        {"cut off", "<Par_Gen><LoRa_RF_Band>EU868</LoRa_RF"},
        {"only a comment", "<!--SW_VERSION = 1.002-->"},
    };
    for (const Case& c : broken) {
        SCOPED_TRACE(c.why);
        ASSERT_TRUE(WriteAll(path, c.bytes));
        v[LoRa_RF_Band] = "changed";
        error.clear();
        EXPECT_EQ(Load_ParGen(path, &v, &error), TParGen_Load::Not_Loaded);
        EXPECT_EQ(v, ParGen_New_Values());
        EXPECT_TRUE(error.contains("ParGen.xml")) << error.toStdString();
        EXPECT_EQ(ReadAll(path), c.bytes) << "reading never rewrites";
    }
}

TEST(ParGenFile, TheReaderOfOtherWindows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ParGen.xml");
    TParGen_Reader reader;
    EXPECT_EQ(reader.Load(path), TParGen_Load::Missing);
    EXPECT_EQ(reader.Payload_Size(), 0);
    EXPECT_FALSE(reader.FPort_Variable());
    EXPECT_FALSE(reader.Text("LoRa_RF_Band").has_value());

    struct Case
    {
        QByteArray elements;
        int payload;
        bool variable;
    };
    const Case cases[] = {
        {"<LoRa_Payload_Size>115</LoRa_Payload_Size><LoRa_FPort>Variable</LoRa_FPort>", 115, true},
        {"<LoRa_Payload_Size>x</LoRa_Payload_Size><LoRa_FPort> variable\t</LoRa_FPort>", 0, true},
        {"<LoRa_Payload_Size>$FF</LoRa_Payload_Size><LoRa_FPort>Fixed</LoRa_FPort>", 255, false},
        {"<LoRa_FPort>VARIABLES</LoRa_FPort>", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elements.toStdString());
        ASSERT_TRUE(WriteAll(path, Doc(c.elements)));
        EXPECT_EQ(reader.Load(path), TParGen_Load::Loaded);
        EXPECT_EQ(reader.Payload_Size(), c.payload);
        EXPECT_EQ(reader.FPort_Variable(), c.variable);
    }
    EXPECT_EQ(reader.Text("LoRa_FPort"), QString("VARIABLES"));
    EXPECT_EQ(reader.Number("Meter_Baud", 3), 3);

    ASSERT_TRUE(WriteAll(path, "<Par_Gen><LoRa_Payload_Size>51"));
    QString error;
    EXPECT_EQ(reader.Load(path, &error), TParGen_Load::Not_Loaded);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(reader.Payload_Size(), 0) << "nothing of an earlier load remains";
}

TEST(ParGenFile, ASaveThatFailsLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ParGen.xml");
    const QByteArray old = "<Par_Gen><LoRa_RF_Band>EU868</LoRa_RF_Band></Par_Gen>";
    ASSERT_TRUE(WriteAll(path, old));

    // A full disk: the new content may not grow past 512 bytes.
    struct rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool ok = Save_ParGen(path, ParGen_New_Values(), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(ok) << "a short write is no save";
    EXPECT_TRUE(error.contains("ParGen.xml"));
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ParGen.xml"});

    // The configuration's folder is gone.
    EXPECT_FALSE(Save_ParGen(dir.filePath("gone/ParGen.xml"), ParGen_New_Values(), &error));
    EXPECT_FALSE(QDir(dir.filePath("gone")).exists());
}
