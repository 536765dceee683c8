// SNMP manager rules: the row checks as one table, the duplicate rule and the
// character budget on their own, and the file written and read back byte for
// byte.
#include "protocols/USNMPManagerAccess.h"

#include "../fieldbus/RuleMemberTest.h"

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

using SNMPManager = Member<TFSNMPManagerAccess>;

namespace {

QStringList Rule(std::initializer_list<std::pair<int, QString>> changes)
{
    // Enable, IP, Version, Community, OID, Type, Mode, OnChange, OnCMD, OnTimer, Time, Position, Num Bytes,
    // Conversion, Cancel, User, Auth Pass, Priv Pass, Level, Auth Mode, Priv Mode, Mnemonic.
    QStringList r = {"Y", "10.0.0.1", "1", "public", "1.3.6.1", "Int", "Get", "N", "N", "N", "", "0", "2",
                     "None", "N", "", "", "", "", "", "", "M"};
    for (const auto& [col, text] : changes)
        r[col - 1] = text;
    return r;
}

const QString kPre = "Error row 1!! ";

} // namespace

TEST_F(SNMPManager, Checks)
{
    const QString oid128 = "11" + QString(".1").repeated(63);
    Run_Checks({
        {0, Rule({}), "", "a plain rule"},
        {0, Rule({{1, "N"}, {5, "x"}}), "", "disabled"},
        {0, Rule({{2, "10.0.0"}}), kPre + "IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)", "ip"},
        {0, Rule({{5, oid128}}), "", "128 characters"},
        {0, Rule({{5, oid128 + "1"}}), kPre + "OID string is too much length", "129 characters"},
        {0, Rule({{5, "1.a"}}), kPre + "OID string can contains only number and \".\"", "letter"},
        {0, Rule({{5, ".1"}}), kPre + "OID string cannot start with a \".\"", "leading dot"},
        {0, Rule({{5, "1."}}), kPre + "OID string cannot finish with a \".\"", "trailing dot"},
        {0, Rule({{5, "1..2"}}), kPre + "OID string cannot contains two or more consecutive \".\"", "two dots"},
        {0, Rule({{5, "1.4294967295"}}), "", "largest component"},
        {0, Rule({{5, "1.4294967296"}}), kPre + "OID string cannot contains number major of $FFFFFFFF between two \".\"",
         "component"},
        {0, Rule({{11, "0"}}), "", "time without timer"},
        {0, Rule({{10, "Y"}, {11, "0"}}), kPre + "Time must be between 1 and 100000000 ms", "time"},
        {0, Rule({{13, "1024"}, {12, "0"}}), "", "1024 bytes"},
        {0, Rule({{13, "1025"}}), kPre + "Number bytes must be between 0 and 1024", "1025 bytes"},
        {0, Rule({{13, ""}}), kPre + "Number bytes must be between 0 and 1024", "empty bytes"},
        {0, Rule({{12, "1438"}, {13, "2"}}), "", "the last two bytes"},
        {0, Rule({{12, "1439"}, {13, "2"}}), kPre + "Position plus Number bytes must be minor or equal to 1440",
         "past the data area"},
        {0, Rule({{14, " "}}), kPre + "Conversion not selected", "conversion"},
        {0, Rule({{3, "3"}, {19, "NoAuth NoPriv"}}), "", "v3 without security"},
        {0, Rule({{3, "3"}, {19, "Auth NoPriv"}}), kPre + "Auth Mode must be selected", "auth"},
        {0, Rule({{3, "3"}, {19, "Auth NoPriv"}, {20, "SHA"}}), "", "auth with mode"},
        {0, Rule({{3, "3"}, {19, "Auth Priv"}, {20, "SHA"}}), kPre + "Priv Mode must be selected", "priv"},
        {0, Rule({{3, "3"}, {19, ""}}), kPre + "Auth Mode must be selected", "empty level needs both"},
        {0, Rule({{3, "1"}, {19, "Auth Priv"}}), "", "version 1 ignores security"},
    });
}

TEST(SNMPManagerRules, DuplicatesAndBudget)
{
    const QStringList a = Rule({});
    TRule_Rows rows = {a, Rule({{3, "2"}}), a};
    EXPECT_EQ(snmp::Manager_Duplicate(rows), std::make_pair(1, 3));
    rows[2][0] = "N";
    EXPECT_EQ(snmp::Manager_Duplicate(rows), std::make_pair(0, 0));
    rows[2][0] = "Y";
    rows[1][1] = "";  // the rules end there
    EXPECT_EQ(snmp::Manager_Duplicate(rows), std::make_pair(0, 0));

    // 1 + (OID + 1) + (community + 1); a v3 row counts user and the passwords its level uses.
    EXPECT_EQ(snmp::Manager_Budget({Rule({{4, "abc"}, {5, "1.2"}})}), 1 + 4 + 4);
    EXPECT_EQ(snmp::Manager_Budget({Rule({{4, ""}, {5, "1.2"}})}), 1 + 4);
    EXPECT_EQ(snmp::Manager_Budget({Rule({{3, "3"}, {5, "1.2"}, {16, "u"}, {17, "aa"}, {18, "ppp"},
                                          {19, "Auth NoPriv"}})}),
              1 + 4 + 2 + 3);
    EXPECT_EQ(snmp::Manager_Budget({Rule({{3, "3"}, {5, "1.2"}, {16, "u"}, {17, "aa"}, {18, "ppp"},
                                          {19, "Auth Priv"}})}),
              1 + 4 + 2 + 3 + 4);
}

TEST_F(SNMPManager, DuplicateAndBudgetBoxes)
{
    Show();
    Put(*w->ECG_SNMP, 1, Rule({}));
    Put(*w->ECG_SNMP, 2, Rule({{4, "other"}}));
    {
        platform::DialogScript script;
        EXPECT_FALSE(w->Controllo_dati());
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, "Error in rows 1 and 2!! Same IP Address, Version and OID used");
    }
    // 47104 characters pass, one more fails.
    Show();
    int64_t budget = 1;
    int r = 1;
    const QString oid = "11" + QString(".1").repeated(50);  // 102 characters
    while (budget + 103 + 2 <= 47104) {
        Put(*w->ECG_SNMP, r, Rule({{2, "10.0." + QString::number(r / 256) + "." + QString::number(r % 256)},
                                    {4, "c"}, {5, oid}}));
        budget += 103 + 2;
        ++r;
    }
    // The last row fills the budget exactly.
    const int64_t rest = 47104 - budget;  // OID + 1 + community + 1
    ASSERT_GE(rest, 4);
    Put(*w->ECG_SNMP, r, Rule({{2, "10.9.9.9"}, {4, QString(int(rest - 3), u'c')}, {5, "1"}}));
    EXPECT_EQ(snmp::Manager_Budget(w->Grid_Rows(0)), 47104);
    {
        platform::DialogScript script;
        EXPECT_TRUE(w->Controllo_dati());
    }
    w->Set_Cell(0, 4, r, w->Get_Cell(0, 4, r) + "c");
    platform::DialogScript script;
    EXPECT_FALSE(w->Controllo_dati());
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text,
              "Error!! Too many charaters used for Community Name / User, OID, AuthPass and PrivPass");
}

TEST_F(SNMPManager, SavesByteForByteAndReadsDefaults)
{
    Show();
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), "<SNMP_Manager_Access />\n<!--SW_VERSION = 1.000-->\n");
    const QByteArray expected =
        "<SNMP_Manager_Access>\n"
        "\t<row Enable=\"Y\" IP_Address=\"10.0.0.1\" Version=\"3\" Community_String=\"public\" OID=\"1.3.6.1\" "
        "Type=\"Int\" Mode=\"Get\" On_Change=\"N\" On_Command=\"N\" On_Timer=\"Y\" Time=\"$3E8\" Position=\"0\" "
        "Number_Bytes=\"2\" ConvertFrom=\"None\" Cancel=\"N\" User=\"admin\" Auth_Pass=\"secret1\" "
        "Priv_Pass=\"secret2\" Security_Level=\"Auth Priv\" Auth_Mode=\"SHA\" Priv_Mode=\"AES\" Mnemonic=\"M\" />\n"
        "</SNMP_Manager_Access>\n"
        "<!--SW_VERSION = 1.000-->\n";
    Show();
    Put(*w->ECG_SNMP, 1,
        Rule({{3, "3"}, {10, "Y"}, {11, "$3E8"}, {16, "admin"}, {17, "secret1"}, {18, "secret2"}, {19, "Auth Priv"},
              {20, "SHA"}, {21, "AES"}}));
    Put(*w->ECG_SNMP, 3, Rule({}));
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);

    // Every attribute is optional.
    WriteAll(File(), "<SNMP_Manager_Access><row IP_Address=\"1.2.3.4\"/></SNMP_Manager_Access>");
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(Row(*w->ECG_SNMP, 1), QStringList({"1", "Y", "1.2.3.4", "", "", "", "", "", "N", "N", "N", "", "", "",
                                                 "None", "N", "", "", "", "", "", "", ""}));
}
