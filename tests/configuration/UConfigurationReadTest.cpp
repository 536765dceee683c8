// The configuration's files read one way by the windows and by the image
// compiler: the document element is the root, whatever comes before it; a
// rule refused at the compilation is refused at the rules window's OK with
// the same words; a file that is not well-formed is named once.
#include "configuration/ULoRa_Set_Access.h"
#include "configuration/UParGen_Check.h"
#include "configuration/UParGen_File.h"
#include "configuration/USaveBincc.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::WriteAll;

namespace {

const QByteArray kParGen = "<Par_Gen>\n"
                           "\t<LoRa_RF_Band>EU868</LoRa_RF_Band>\n"
                           "\t<LoRa_DataRate>3 - SF9/125kHz</LoRa_DataRate>\n"
                           "\t<LoRa_Payload_Size>115</LoRa_Payload_Size>\n"
                           "\t<LoRa_Activation_Method>Activation by Personalization [ABP]</LoRa_Activation_Method>\n"
                           "\t<LoRa_Device_Address>26011B2C</LoRa_Device_Address>\n"
                           "\t<LoRa_FPort>Variable</LoRa_FPort>\n"
                           "\t<Ethernet_IP1>10</Ethernet_IP1>\n"
                           "\t<Meter_Req_Delay>100</Meter_Req_Delay>\n"
                           "</Par_Gen>\n<!--SW_VERSION = 1.002-->\n";
const QByteArray kRules = "<LoRaWAN_Set_Access>\n"
                          "\t<LoRaWAN_Uplink>\n"
                          "\t\t<row Enable=\"Y\" StartByte=\"4\" NumByte=\"8\" OnChange=\"Y\" OnCMD=\"N\" OnTimer=\"Y\" "
                          "Time=\"60\" FPort=\"9\" Mnemonic=\"\"/>\n"
                          "\t</LoRaWAN_Uplink>\n"
                          "\t<LoRaWAN_Downlink/>\n"
                          "</LoRaWAN_Set_Access>\n<!--SW_VERSION = 1.002-->\n";

class ConfigurationRead : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Load_English_Table();
        Project_Folder = dir.path();
        FileName_ParGen = dir.filePath("ParGen.xml");
        FileName_M_Bus = dir.filePath("M_Bus.xml");
        FileName_LoRaWAN_SetAccess = dir.filePath("LoRaWAN_SetAccess.xml");
    }
    void TearDown() override
    {
        Project_Folder.clear();
        FileName_ParGen.clear();
        FileName_M_Bus.clear();
        FileName_LoRaWAN_SetAccess.clear();
    }
    // Both images of a compilation, or the error.
    QByteArray Images(QString* error = nullptr)
    {
        QString why;
        if (!Compile_Device_Image(&why)) {
            if (error)
                *error = why;
            return {};
        }
        return Bank1_Bytes() + Bank2_Bytes();
    }

    QTemporaryDir dir;
};

TEST_F(ConfigurationRead, WhatComesBeforeTheRootChangesNoImage)
{
    ASSERT_TRUE(WriteAll(FileName_ParGen, kParGen));
    ASSERT_TRUE(WriteAll(FileName_LoRaWAN_SetAccess, kRules));
    QString error;
    const QByteArray plain = Images(&error);
    ASSERT_FALSE(plain.isEmpty()) << error.toStdString();
    // The values really are read: the IP address and one uplink rule.
    ASSERT_EQ(uint8_t(Bank1_Bytes()[0x28]), 10);
    ASSERT_EQ(uint8_t(Bank1_Bytes()[0xC50]), 1);

    const QByteArray before[] = {"<!-- a note -->\n", "<?xml version=\"1.0\"?>\n<!-- a note -->\n",
                                 "<!--1--><!--2-->\n<?pi x?>\n"};
    for (const QString& path : {FileName_ParGen, FileName_LoRaWAN_SetAccess}) {
        const QByteArray bytes = path == FileName_ParGen ? kParGen : kRules;
        for (const QByteArray& lead : before) {
            SCOPED_TRACE((path + " after " + lead).toStdString());
            ASSERT_TRUE(WriteAll(path, lead + bytes));
            EXPECT_EQ(Images(&error), plain) << error.toStdString();
        }
        ASSERT_TRUE(WriteAll(path, bytes));
    }

    // The windows read the same files the same way.
    ASSERT_TRUE(WriteAll(FileName_ParGen, before[0] + kParGen));
    ASSERT_TRUE(WriteAll(FileName_LoRaWAN_SetAccess, before[0] + kRules));
    TParGen_Values values;
    ASSERT_EQ(Load_ParGen(FileName_ParGen, &values), TParGen_Load::Loaded);
    EXPECT_EQ(values[ParGen::LoRa_RF_Band], "EU868");
    TParGen_Reader reader;
    ASSERT_EQ(reader.Load(FileName_ParGen), TParGen_Load::Loaded);
    EXPECT_EQ(reader.Payload_Size(), 115);
    EXPECT_TRUE(reader.FPort_Variable());
    TLoRa_Rules rules;
    ASSERT_EQ(Load_LoRa_Rules(FileName_LoRaWAN_SetAccess, &rules), TLoRa_Load::Loaded);
    ASSERT_EQ(rules.uplink.size(), 1u);
    EXPECT_EQ(rules.uplink[0].value(1), "4");
}

// One test and one message for a rule reaching past the data area, at the
// window's OK and at the compilation.
TEST_F(ConfigurationRead, ARangePastTheDataAreaIsRefusedAlikeByTheWindowAndTheCompiler)
{
    ASSERT_TRUE(WriteAll(FileName_ParGen, kParGen));
    struct Case
    {
        const char* start;
        const char* bytes;
        bool fits;
    };
    const Case cases[] = {{"1536", "1", true}, {"1536", "2", false}, {"1500", "37", true},
                          {"1500", "38", false}, {"0x600", "1", true}, {"$5FF", "3", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " + " + c.bytes);
        // A disabled rule first, so the faulty one is grid row 2.
        const QByteArray xml = QByteArray("<LoRaWAN_Set_Access><LoRaWAN_Uplink><row Enable=\"N\" StartByte=\"1536\" "
                                          "NumByte=\"99\"/><row Enable=\"Y\" StartByte=\"")
                               + c.start + "\" NumByte=\"" + c.bytes + "\" FPort=\"2\"/></LoRaWAN_Uplink>"
                               "<LoRaWAN_Downlink/></LoRaWAN_Set_Access>";
        ASSERT_TRUE(WriteAll(FileName_LoRaWAN_SetAccess, xml));
        QString compileError;
        const bool compiled = Compile_Device_Image(&compileError);
        TLoRa_Rules rules;
        ASSERT_EQ(Load_LoRa_Rules(FileName_LoRaWAN_SetAccess, &rules), TLoRa_Load::Loaded);
        const QString windowError = LoRa_Check_Table(TLoRa_Table::Uplink, rules.uplink, 115, true);
        EXPECT_EQ(compiled, c.fits) << compileError.toStdString();
        EXPECT_EQ(windowError.isEmpty(), c.fits) << windowError.toStdString();
        EXPECT_EQ(windowError, compiled ? QString() : compileError);
        if (!c.fits) {
            EXPECT_TRUE(windowError.startsWith("Error row 2!! [LoraWAN Uplink] Start Byte ")) << windowError.toStdString();
        }
    }
}

// The compiler's message for a file that is not well-formed names it once.
TEST_F(ConfigurationRead, AFileThatIsNotWellFormedIsNamedOnce)
{
    const QString* const paths[] = {&FileName_ParGen, &FileName_M_Bus, &FileName_LoRaWAN_SetAccess};
    for (const QString* path : paths) {
        SCOPED_TRACE(path->toStdString());
        QFile::remove(FileName_ParGen);
        QFile::remove(FileName_M_Bus);
        QFile::remove(FileName_LoRaWAN_SetAccess);
        ASSERT_TRUE(WriteAll(*path, "<Root><unclosed></Root>"));
        QString error;
        EXPECT_TRUE(Images(&error).isEmpty());
        EXPECT_EQ(error.count(*path), 1) << error.toStdString();
        EXPECT_TRUE(error.contains("line 1")) << "the parser's place: " << error.toStdString();
    }
}

// Keys not known yet: empty fields pass OK and compile as zeros; a key that
// is filled in must be whole.
TEST_F(ConfigurationRead, EmptyKeysPassAndCompileAsZeros)
{
    TParGen_Values v = ParGen_New_Values();
    for (ParGen::Element key : {ParGen::LoRa_Device_Address, ParGen::LoRa_JoinEUI, ParGen::LoRa_Network_Session_Key,
                                ParGen::LoRa_Application_Session_Key, ParGen::LoRa_Application_Key})
        v[key].clear();
    for (const QString& method : {ParGen::Method_ABP, ParGen::Method_OTAA}) {
        SCOPED_TRACE(method.toStdString());
        v[ParGen::LoRa_Activation_Method] = method;
        EXPECT_FALSE(Check_ParGen(v).has_value());
        ASSERT_TRUE(Save_ParGen(FileName_ParGen, v));
        QString error;
        ASSERT_FALSE(Images(&error).isEmpty()) << error.toStdString();
        EXPECT_EQ(Bank1_Bytes().mid(0xC04, 60), QByteArray(60, '\0'));
    }
    v[ParGen::LoRa_Application_Key] = "00112233";
    const std::optional<TParGen_Fault> fault = Check_ParGen(v);
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->message, 504);
}

} // namespace
