// OPC UA server variables: the window's check as one table, its file written
// and read back byte for byte, and its own hook, the Length of each type.
#include "protocols/UOPC_UA_Server_Access.h"

#include "../fieldbus/RuleMemberTest.h"

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

using OPCUAServer = Member<TFOPC_UA_Server_Access>;

TEST_F(OPCUAServer, Checks)
{
    // Enable, Type, Position.
    Run_Checks({
        {0, {"Y", "Int32", "1999"}, "", "last position"},
        {0, {"Y", "Int32", "2000"}, "Error row 1!! Position Must be Between 0 and 2000", "the message names 2000"},
        {0, {"N", "Int32", "abc"}, "", "an unticked row is not checked"},
        {0, {"Y", "", "abc"}, "", "no type: the table ends"},
    });
    // A language file's text is filled in, never taken as a format to run.
    Language_List[5827] = "%s%n%x Fila %d!! %d %d %%";
    Run_Checks({{0, {"Y", "Int32", "2000"}, "1%n%x Fila 2000!! %d %d %", "places beyond the values stay"}});
    Language_List[5828] = "%s %s %p";
    Show();
    w->ESG->SetRow(2);
    platform::DialogScript script;
    w->Btn_DelRowClick(w->Btn_DelRow);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, "2 %s %p");
}

TEST_F(OPCUAServer, SavesByteForByte)
{
    const QByteArray expected = "<OPC_UA_Server>\n"
                                "\t<OPC_UA_Server_Variables>\n"
                                "\t\t<row Enable=\"Y\" Type=\"String\" Position=\"0\" Length=\"32\" Name=\"Label\" "
                                "ReadWrite=\"Read Only\" Mnemonic=\"\" />\n"
                                "\t\t<row Enable=\"N\" Type=\"Int16\" Position=\"abc\" Length=\"2\" Name=\"\" "
                                "ReadWrite=\"Read/Write\" Mnemonic=\"off\" />\n"
                                "\t</OPC_UA_Server_Variables>\n"
                                "</OPC_UA_Server>\n"
                                "<!--SW_VERSION = 1.000-->\n";
    Show();
    Put(*w->ESG, 1, {"Y", "String", "0", "32", "Label", "Read Only", ""});
    Put(*w->ESG, 2, {"", "Int16", "abc", "2", "", "Read/Write", "off"});
    w->Set_Cell(0, 1, 2, "N");
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);
}

TEST_F(OPCUAServer, TypeSetsTheLengthAndItsLock)
{
    Show();
    w->ESGComboChange(w->ESG, 2, 1, 5, "Int32");
    EXPECT_EQ(w->ESG->GetCellEx(4, 1), "4");
    EXPECT_TRUE(w->ESG->GetCellProperties(4, 1)->ReadOnly());
    EXPECT_EQ(w->ESG->GetCellEx(6, 1), "Read/Write");
    w->ESGComboChange(w->ESG, 2, 1, 11, "String");
    EXPECT_EQ(w->ESG->GetCellEx(4, 1), "10");
    EXPECT_FALSE(w->ESG->GetCellProperties(4, 1)->ReadOnly());

    // From the file: Length and access as stored, the lock by the type.
    ASSERT_TRUE(WriteAll(File(), "<OPC_UA_Server><OPC_UA_Server_Variables>"
                                 "<row Type=\"Double\" Position=\"1\"/>"
                                 "</OPC_UA_Server_Variables></OPC_UA_Server>"));
    Show();
    EXPECT_EQ(Row(*w->ESG, 1).mid(2), (QStringList{"Double", "1", "", "", "", ""}));
    EXPECT_TRUE(w->ESG->GetCellProperties(4, 1)->ReadOnly());
    // A new showing unlocks what the last one locked.
    QFile::remove(File());
    Show();
    EXPECT_FALSE(w->ESG->GetCellProperties(4, 1)->ReadOnly());

    // Delete asks with the row put into the text.
    w->ESG->SetRow(3);
    platform::DialogScript script;
    w->Btn_DelRowClick(w->Btn_DelRow);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, "Are you sure to delete the Row number 3");
}
