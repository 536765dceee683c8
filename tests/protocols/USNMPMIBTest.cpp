// The SNMP MIB: a realistic agent file against the text worked out by hand,
// the reading rules (enabled rows, types, generated names), and the action
// with its dialog, overwrite question and refusals.
#include "protocols/USNMP_MIB.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include "platform/Dialogs.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

class SNMPMIB : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Load_English_Table();
        Project_Folder = dir.path();
        FileName_SNMP_Trap = dir.filePath("SNMP_Trap.xml");
    }
    void TearDown() override
    {
        Project_Folder.clear();
        FileName_SNMP_Trap.clear();
        List_MIB_Read_Desc.clear();
        List_MIB_Write_Desc.clear();
    }
    QTemporaryDir dir;
};

// Every line as the file has it, CR LF after each.
const char* const kHead =
    "GATEWAY DEFINITIONS ::= BEGIN\r\n"
    "IMPORTS\r\n"
    "       MODULE-IDENTITY,OBJECT-TYPE\r\n"
    "         FROM SNMPv2-SMI\r\n"
    "         DisplayString, TimeStamp\r\n"
    "         FROM SNMPv2-TC\r\n"
    "         enterprises\r\n"
    "         FROM RFC1155-SMI;\r\n"
    "\r\n"
    "identity MODULE-IDENTITY\r\n"
    "    LAST-UPDATED \"201701310000Z\"\r\n"
    "    ORGANIZATION \"www.rizova.com\"\r\n"
    "    CONTACT-INFO\r\n"
    "\t \"Industrial Street 1\r\n"
    "    00000 Town\r\n"
    "    Country\r\n"
    "    email:    info@rizova.com\"\r\n"
    "    DESCRIPTION\r\n"
    "\t\"MIB objects for agent module \"\r\n"
    "    REVISION     \"201701310000Z\"\r\n"
    "    DESCRIPTION\r\n"
    "\t\"Corrected notification \"\r\n"
    "    REVISION     \"200202060000Z\"\r\n"
    "    DESCRIPTION\r\n"
    "\t\"First draft\"\r\n"
    "    ::= { rizova 2 }\r\n"
    "rizova          OBJECT IDENTIFIER ::= { enterprises 58207 }\r\n"
    "gateway OBJECT IDENTIFIER::= { rizova 1 }\r\n"
    "application OBJECT IDENTIFIER::= { gateway 1 }\r\n"
    "data OBJECT IDENTIFIER::= { application 1 }\r\n"
    "hellostring OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only  STATUS current  DESCRIPTION \"\" ::= { data 1}\r\n"
    "countin  OBJECT-TYPE SYNTAX INTEGER       MAX-ACCESS read-only  STATUS current  DESCRIPTION \"\" ::= { data 2}\r\n"
    "countout  OBJECT-TYPE SYNTAX INTEGER       MAX-ACCESS read-write STATUS current  DESCRIPTION \"\" ::= { data 3}\r\n"
    "bufferin OBJECT IDENTIFIER::= { data 4 }\r\n"
    "bufferinblk1 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current DESCRIPTION \"data block n.1\" ::= { bufferin 1 }\r\n"
    "bufferinblk2 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current DESCRIPTION \"data block n.2\" ::= { bufferin 2 }\r\n"
    "bufferinblk3 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current DESCRIPTION \"data block n.3\" ::= { bufferin 3 }\r\n"
    "bufferinblk4 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current DESCRIPTION \"data block n.4\" ::= { bufferin 4 }\r\n"
    "bufferinblk5 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current DESCRIPTION \"data block n.5\" ::= { bufferin 5 }\r\n"
    "bufferinblk6 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current DESCRIPTION \"data block n.6\" ::= { bufferin 6 }\r\n"
    "bufferinblk7 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current DESCRIPTION \"data block n.7\" ::= { bufferin 7 }\r\n"
    "bufferinblk8 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current DESCRIPTION \"data block n.8\" ::= { bufferin 8 }\r\n"
    " bufferinval OBJECT IDENTIFIER::= { bufferin 9 }\r\n";

const char* const kOutHead =
    "bufferout OBJECT IDENTIFIER::= { data 5 }\r\n"
    "bufferoutblk1 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-write STATUS current DESCRIPTION \"data block n.1\" ::= { bufferout 1 }\r\n"
    "bufferoutblk2 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-write STATUS current DESCRIPTION \"data block n.2\" ::= { bufferout 2 }\r\n"
    "bufferoutblk3 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-write STATUS current DESCRIPTION \"data block n.3\" ::= { bufferout 3 }\r\n"
    "bufferoutblk4 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-write STATUS current DESCRIPTION \"data block n.4\" ::= { bufferout 4 }\r\n"
    "bufferoutblk5 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-write STATUS current DESCRIPTION \"data block n.5\" ::= { bufferout 5 }\r\n"
    "bufferoutblk6 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-write STATUS current DESCRIPTION \"data block n.6\" ::= { bufferout 6 }\r\n"
    "bufferoutblk7 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-write STATUS current DESCRIPTION \"data block n.7\" ::= { bufferout 7 }\r\n"
    "bufferoutblk8 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-write STATUS current DESCRIPTION \"data block n.8\" ::= { bufferout 8 }\r\n"
    " bufferoutval OBJECT IDENTIFIER::= { bufferout 9 }\r\n";

const char* const kTrapHead =
    "traps OBJECT IDENTIFIER::= { application 2 }\r\n"
    " trapsval OBJECT IDENTIFIER::= { traps 1 }\r\n";

// A boiler: three read objects (one disabled row between), two write objects.
const char* const kAgent =
    "<SNMP_Trap>\n"
    "\t<SNMP_Trap_Read>\n"
    "\t\t<row Enable=\"Y\" Community_Name=\"public\" Type=\"Int\" On_Change=\"Y\" On_Command=\"N\" On_Timer=\"N\" "
    "Time=\"\" Position=\"0\" Bit=\"0\" NumBits=\"16\" Description=\"temperature\" IP_Address=\"192.168.1.10\" "
    "Conversion=\"Float * 10\" Mnemonic=\"Boiler\" />\n"
    "\t\t<row Enable=\"N\" Community_Name=\"public\" Type=\"Int\" On_Change=\"N\" On_Command=\"N\" On_Timer=\"N\" "
    "Time=\"\" Position=\"2\" Bit=\"0\" NumBits=\"16\" Description=\"spare\" IP_Address=\"192.168.1.10\" "
    "Conversion=\"None\" Mnemonic=\"\" />\n"
    "\t\t<row Enable=\"y\" Community_Name=\"public\" Type=\"String\" On_Change=\"N\" On_Command=\"Y\" "
    "On_Timer=\"N\" Time=\"\" Position=\"4\" Bit=\"0\" NumBits=\"8\" Description=\"\" IP_Address=\"192.168.1.10\" "
    "Conversion=\"None\" Mnemonic=\"\" />\n"
    "\t\t<row Enable=\"Y\" Community_Name=\"public\" Type=\"int\" On_Change=\"N\" On_Command=\"N\" On_Timer=\"Y\" "
    "Time=\"1000\" Position=\"12\" Bit=\"3\" NumBits=\"5\" Description=\"pressure1\" IP_Address=\"192.168.1.11\" "
    "Conversion=\"None\" Mnemonic=\"\" />\n"
    "\t</SNMP_Trap_Read>\n"
    "\t<SNMP_Trap_Write>\n"
    "\t\t<row Enable=\"Y\" Community_Name=\"private\" Type=\"String\" Position=\"0\" Bit=\"0\" NumBits=\"4\" "
    "Description=\"setpoint\" Conversion=\"None\" Mnemonic=\"\" />\n"
    "\t\t<row Enable=\"Y\" Community_Name=\"private\" Position=\"4\" Bit=\"0\" NumBits=\"16\" "
    "Conversion=\"None\" Mnemonic=\"\" />\n"
    "\t\t<row Community_Name=\"private\" Type=\"Int\" Position=\"6\" Bit=\"0\" NumBits=\"16\" "
    "Description=\"off\" Conversion=\"None\" Mnemonic=\"\" />\n"
    "\t</SNMP_Trap_Write>\n"
    "</SNMP_Trap>\n"
    "<!--SW_VERSION = 1.000-->\n";

} // namespace

TEST_F(SNMPMIB, RealisticAgentByteForByte)
{
    ASSERT_TRUE(WriteAll(FileName_SNMP_Trap, kAgent));
    QString error;
    ASSERT_TRUE(Load_SNMP_MIB_Var(&error)) << error.toStdString();
    EXPECT_EQ(List_MIB_Read_Desc, QStringList({"temperature", "", "pressure1"}));
    // The second write row has no Type and no Description; the third no Enable.
    EXPECT_EQ(List_MIB_Write_Desc, QStringList({"setpoint", ""}));
    const QString target = dir.filePath("boiler.mib");
    ASSERT_TRUE(Create_MIB_File(target));
    const QByteArray expected =
        QByteArray(kHead) +
        "temperature OBJECT-TYPE SYNTAX INTEGER MAX-ACCESS read-only STATUS current DESCRIPTION \"temperature\" ::= { bufferinval 1 }\r\n"
        "bufferinval2 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current DESCRIPTION \"\" ::= { bufferinval 2 }\r\n"
        "pressure1 OBJECT-TYPE SYNTAX INTEGER MAX-ACCESS read-only STATUS current DESCRIPTION \"pressure1\" ::= { bufferinval 3 }\r\n"
        + kOutHead +
        "setpoint OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-write STATUS current DESCRIPTION \"setpoint\" ::= { bufferoutval 1 }\r\n"
        "bufferoutval2 OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-write STATUS current DESCRIPTION \"\" ::= { bufferoutval 2 }\r\n"
        + kTrapHead +
        "trapval1 NOTIFICATION-TYPE SYNTAX INTEGER MAX-ACCESS read-only STATUS current DESCRIPTION \"temperature\" ::= { trapsval 1 }\r\n"
        "trapval2 NOTIFICATION-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only STATUS current DESCRIPTION \"\" ::= { trapsval 2 }\r\n"
        "trapval3 NOTIFICATION-TYPE SYNTAX INTEGER MAX-ACCESS read-only STATUS current DESCRIPTION \"pressure1\" ::= { trapsval 3 }\r\n"
        "END\r\n";
    EXPECT_EQ(ReadAll(target), expected);
}

TEST_F(SNMPMIB, NoAgentFileGivesTheBlocksOnly)
{
    List_MIB_Read_Desc = {"stale"};
    QString error;
    ASSERT_TRUE(Load_SNMP_MIB_Var(&error));
    EXPECT_TRUE(List_MIB_Read_Desc.isEmpty());
    const QString target = dir.filePath("empty.mib");
    ASSERT_TRUE(Create_MIB_File(target));
    EXPECT_EQ(ReadAll(target), QByteArray(kHead) + kOutHead + kTrapHead + "END\r\n");
    // A file without the lists is read as empty too.
    WriteAll(FileName_SNMP_Trap, "<SNMP_Trap/>");
    ASSERT_TRUE(Load_SNMP_MIB_Var(&error));
    EXPECT_TRUE(List_MIB_Read_Desc.isEmpty());
    EXPECT_TRUE(List_MIB_Write_Desc.isEmpty());
}

// The flag tables hold 256 objects a list: a file with more enabled rows is
// refused, never read past them.
TEST_F(SNMPMIB, MoreThan256EnabledObjectsAreRefused)
{
    const auto file = [](int enabled, int disabled) {
        QByteArray xml = "<SNMP_Trap><SNMP_Trap_Write>";
        for (int i = 0; i < disabled; ++i)
            xml += "<row Enable=\"N\" Type=\"Int\"/>";
        for (int i = 0; i < enabled; ++i)
            xml += "<row Enable=\"Y\" Type=\"Int\" Description=\"d" + QByteArray::number(i) + "\"/>";
        return xml + "</SNMP_Trap_Write></SNMP_Trap>";
    };
    QString error;
    WriteAll(FileName_SNMP_Trap, file(256, 10));
    ASSERT_TRUE(Load_SNMP_MIB_Var(&error));
    EXPECT_EQ(List_MIB_Write_Desc.size(), 256);
    EXPECT_TRUE(MIB_Write_Type_Int[255]);
    EXPECT_TRUE(MIB_Lines().contains(
        "d255 OBJECT-TYPE SYNTAX INTEGER MAX-ACCESS read-write STATUS current DESCRIPTION \"d255\" ::= { bufferoutval 256 }"));

    WriteAll(FileName_SNMP_Trap, file(257, 0));
    EXPECT_FALSE(Load_SNMP_MIB_Var(&error));
    EXPECT_EQ(error, "Error!! The SNMP agent file holds more than 256 enabled objects in one list: the MIB is not "
                     "written");
    EXPECT_TRUE(List_MIB_Write_Desc.isEmpty());

    const QString target = dir.filePath("many.mib");
    platform::DialogScript script;
    script.AnswerFile(target);
    SNMP_MIB_File();
    ASSERT_EQ(script.Shown().size(), 2u);
    EXPECT_EQ(script.Shown()[1].text, error);
    EXPECT_FALSE(QFile::exists(target));
}

TEST_F(SNMPMIB, ActionAsksAndRefuses)
{
    ASSERT_TRUE(WriteAll(FileName_SNMP_Trap, kAgent));
    const QString target = dir.filePath("agent.mib");
    {
        platform::DialogScript script;
        script.AnswerFile("");
        SNMP_MIB_File();
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].request.initialFolder, dir.path());
        EXPECT_TRUE(script.Shown()[0].request.filter.contains("*.mib"));
        EXPECT_FALSE(QFile::exists(target));
    }
    {
        platform::DialogScript script;
        script.AnswerFile(target);
        SNMP_MIB_File();
        EXPECT_EQ(script.Shown().size(), 1u);   // nothing said on success
        EXPECT_TRUE(ReadAll(target).endsWith("{ trapsval 3 }\r\nEND\r\n"));
    }
    // No to the overwrite question: the old file stays, nothing is read.
    WriteAll(target, "old");
    List_MIB_Read_Desc = {"untouched"};
    {
        platform::DialogScript script;
        script.AnswerFile(target);
        script.AnswerMessage(platform::MessageAnswer::No);
        SNMP_MIB_File();
        ASSERT_EQ(script.Shown().size(), 2u);
        EXPECT_EQ(script.Shown()[1].text, "File already exists. Do you want to overwrite?");
        EXPECT_EQ(ReadAll(target), "old");
        EXPECT_EQ(List_MIB_Read_Desc, QStringList({"untouched"}));
    }
    // An agent file that is not XML: the parser's message, no MIB.
    WriteAll(FileName_SNMP_Trap, "<SNMP_Trap><SNMP_Trap_Read>");
    {
        platform::DialogScript script;
        script.AnswerFile(target);
        script.AnswerMessage(platform::MessageAnswer::Yes);
        SNMP_MIB_File();
        ASSERT_EQ(script.Shown().size(), 3u);
        EXPECT_EQ(script.Shown()[2].kind, platform::MessageKind::Error);
        EXPECT_EQ(ReadAll(target), "old");
    }
}
