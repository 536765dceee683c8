// TLS known server certificates: no checks, so only the file written and
// read back byte for byte, and the Enable check boxes of its string grid.
#include "protocols/UTLS_Server_Known_Cert.h"

#include "../fieldbus/RuleMemberTest.h"

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

using TLSKnownCert = Member<TFTLS_Server_Known_Cert>;

TEST_F(TLSKnownCert, SavesByteForByteWithItsCheckBoxes)
{
    Show();
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), "<TLS_Server_Known_Cert />\n<!--SW_VERSION = 1.000-->\n");

    const QByteArray expected = "<TLS_Server_Known_Cert>\n"
                                "\t<row Enable=\"Y\" Certificate=\"-----BEGIN CERTIFICATE-----\" Mnemonic=\"Plant\" />\n"
                                "\t<row Enable=\"N\" Certificate=\"MIIB\" Mnemonic=\"\" />\n"
                                "</TLS_Server_Known_Cert>\n"
                                "<!--SW_VERSION = 1.000-->\n";
    Show();
    w->ESG->SetCellEx(2, 1, "-----BEGIN CERTIFICATE-----");
    w->ESG->SetCellEx(3, 1, "Plant");
    w->ESG->SetCheckBoxState(1, 2, false);
    w->ESG->SetCellEx(2, 2, "MIIB");
    w->ESG->SetCellEx(2, 4, "after an empty row: not saved");
    EXPECT_TRUE(w->Controllo_dati());
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    bool ticked = true;
    ASSERT_TRUE(w->ESG->GetCheckBoxState(1, 2, ticked));
    EXPECT_FALSE(ticked);
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);

    // A missing Enable, or any value but "N", ticks the box.
    ASSERT_TRUE(WriteAll(File(), "<TLS_Server_Known_Cert><row Certificate=\"A\"/><row Enable=\"x\" Certificate=\"B\"/>"
                                 "</TLS_Server_Known_Cert>"));
    Show();
    EXPECT_EQ(Row(*w->ESG, 1).mid(2), (QStringList{"A", ""}));
    ASSERT_TRUE(w->ESG->GetCheckBoxState(1, 2, ticked));
    EXPECT_TRUE(ticked);
}

TEST_F(TLSKnownCert, RowButtonsMoveTheCheckBoxes)
{
    Show();
    for (int r = 1; r <= 10; ++r)
        w->ESG->SetCellEx(2, r, QString("C%1").arg(r));
    w->ESG->SetCheckBoxState(1, 2, false);
    w->ESG->SetRow(1);
    {
        platform::DialogScript script;
        script.AnswerMessage(platform::MessageAnswer::Yes);
        w->Btn_DelRowClick(w->Btn_DelRow);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, "Are you sure to delete the Row number 1");
    }
    bool ticked = true;
    ASSERT_TRUE(w->ESG->GetCheckBoxState(1, 1, ticked));
    EXPECT_FALSE(ticked);
    EXPECT_EQ(w->ESG->GetCellEx(2, 1), "C2");
    ASSERT_TRUE(w->ESG->GetCheckBoxState(1, 10, ticked));
    EXPECT_TRUE(ticked);
    EXPECT_EQ(w->ESG->GetCellEx(2, 10), "");

    // With all ten rows holding certificates, Insert would drop the tenth: refused.
    w->ESG->SetCellEx(2, 10, "C11");
    w->ESG->SetRow(3);
    {
        platform::DialogScript script;
        w->Btn_InsRowClick(w->Btn_InsRow);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, platform::MessageKind::Error);
    }
    EXPECT_EQ(w->ESG->GetCellEx(2, 10), "C11");
    EXPECT_EQ(w->ESG->GetCellEx(2, 3), "C4");
}
