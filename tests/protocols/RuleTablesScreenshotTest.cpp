// RULES_SCREENSHOT_DIR=<dir> saves two rule tables holding a few rules, to be
// looked at: the CAN receive frames (column grid with choice lists) and the
// TLS known certificates (string grid with check boxes).
#include "fieldbus/UReceiveCAN.h"
#include "protocols/UTLS_Server_Known_Cert.h"

#include "../fieldbus/RuleMemberTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>

using testsupport::WriteAll;

namespace {

class RuleTablesScreenshot : public ::testing::Test
{
protected:
    void SetUp() override
    {
        out = qEnvironmentVariable("RULES_SCREENSHOT_DIR");
        if (out.isEmpty())
            GTEST_SKIP() << "set RULES_SCREENSHOT_DIR to save the windows";
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(out);
        Load_English_Table();
        SW_Code = "DIZ5U15";
        Project_Folder = dir.path();
        FileName_CAN_Rec_Frames = dir.filePath("CAN_Rec_Frames.xml");
        FileName_TLS_Known_Cert = dir.filePath("TLS_Known_Cert.xml");
    }
    void Save(TSet_Access_Form& w, const char* name)
    {
        platform::DialogScript script;
        w.Show();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        EXPECT_TRUE(w.grab().save(QDir(out).filePath(name)));
        w.Hide();
    }
    QString out;
    QTemporaryDir dir;
};

} // namespace

TEST_F(RuleTablesScreenshot, ReceiveCanAndKnownCertificates)
{
    ASSERT_TRUE(WriteAll(FileName_CAN_Rec_Frames,
                         "<Receive_Frames>"
                         "<row Enable=\"Y\" COBID=\"0x181\" CAN_Type=\"2.0A (11 bits)\" Dim=\"4\" TimeOut=\"500\" "
                         "Byte1=\"0\" Byte2=\"1\" Byte3=\"2\" Byte4=\"3\" Byte5=\"\" Byte6=\"\" Byte7=\"\" Byte8=\"\" "
                         "Mnemonic=\"Motor speed\"/>"
                         "<row Enable=\"N\" COBID=\"0x18FF0001\" CAN_Type=\"2.0B (29 bits)\" Dim=\"2\" TimeOut=\"0\" "
                         "Byte1=\"None\" Byte2=\"10\" Byte3=\"\" Byte4=\"\" Byte5=\"\" Byte6=\"\" Byte7=\"\" Byte8=\"\" "
                         "Mnemonic=\"Spare (disabled)\"/>"
                         "</Receive_Frames>"));
    ASSERT_TRUE(WriteAll(FileName_TLS_Known_Cert,
                         "<TLS_Server_Known_Cert>"
                         "<row Enable=\"Y\" Certificate=\"-----BEGIN CERTIFICATE----- MIIBszCCAVmgAwIBAgIU\" "
                         "Mnemonic=\"Substation A\"/>"
                         "<row Enable=\"N\" Certificate=\"-----BEGIN CERTIFICATE----- MIIC0jCCAbqgAwIBAgIJ\" "
                         "Mnemonic=\"Old server (off)\"/>"
                         "</TLS_Server_Known_Cert>"));
    TFReceiveCAN can;
    Save(can, "receive_can.png");
    TFTLS_Server_Known_Cert tls;
    Save(tls, "tls_known_cert.png");
}
