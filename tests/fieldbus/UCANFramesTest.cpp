// CAN receive and transmit frame rules: each window's checks as one table,
// and its file written and read back byte for byte.
#include "fieldbus/UReceiveCAN.h"
#include "fieldbus/UTransmitCAN.h"

#include "RuleMemberTest.h"

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

using ReceiveCAN = Member<TFReceiveCAN>;
using TransmitCAN = Member<TFTransmitCAN>;

namespace {

const QString A11 = "2.0A (11 bits)";
const QString B29 = "2.0B (29 bits)";

} // namespace

TEST_F(ReceiveCAN, Checks)
{
    // Enable, CobID, Type, Dimension, TimeOut, Byte1 .. Byte8, Mnemonic.
    Run_Checks({
        {0, {"Y", "0x7FF", A11, "1", "0"}, "", "11-bit maximum"},
        {0, {"Y", "2048", A11, "1", "0"}, "Error row 1!! CobID must be between 0 and 2047", "above 11 bits"},
        {0, {"Y", "0x1FFFFFFF", B29, "1", "0"}, "", "29-bit maximum"},
        {0, {"Y", "0x20000000", B29, "1", "0"}, "Error row 1!! CobID must be between 0x00000000 and 0x1FFFFFFF",
         "above 29 bits"},
        {0, {"Y", "0x20000000", "", "1", "0"}, "Error row 1!! CobID must be between 0x00000000 and 0x1FFFFFFF",
         "an empty Type is tested as 29 bits"},
        {0, {"Y", "1", A11, "0", "0"}, "Error row 1!! Dimension must be between 1 and 8", "Dimension 0"},
        {0, {"Y", "1", A11, "9", "0"}, "Error row 1!! Dimension must be between 1 and 8", "Dimension 9"},
        {0, {"Y", "1", A11, "1", ""}, "Error row 1!! TimeOut must be between 0 and 100000000 milliseconds",
         "empty TimeOut"},
        {0, {"Y", "1", A11, "3", "0", "None", "", "2000", "x"},
         "Error row 1!! Byte3 must be between 0 and 1999 or None", "Byte3 outside, with bound and suffix"},
        {0, {"Y", "1", A11, "3", "0", "None", "", "1999", "x", "x"}, "", "bytes beyond the Dimension are free"},
        {0, {"y", "2048", A11, "1", "0"}, "Error row 1!! CobID must be between 0 and 2047", "\"y\" enables"},
        {0, {"N", "2048", A11, "1", "0"}, "", "disabled rows are skipped"},
    });
}

TEST_F(ReceiveCAN, SavesByteForByte)
{
    Show();
    Put(*w->ECG_CAN_Receive, 1, {"Y", "0x100", A11, "2", "500", "0", "None", "", "", "", "", "", "", "Speed"});
    Put(*w->ECG_CAN_Receive, 2, {"N", "7", B29, "9", "", "", "", "", "", "", "", "", "", ""});
    Put(*w->ECG_CAN_Receive, 4, {"Y", "8", A11, "1", "0"});  // below the blank CobID: dropped
    EXPECT_TRUE(Ok().empty());
    const QByteArray expected =
        "<Receive_Frames>\n"
        "\t<row Enable=\"Y\" COBID=\"0x100\" CAN_Type=\"2.0A (11 bits)\" Dim=\"2\" TimeOut=\"500\" Byte1=\"0\" "
        "Byte2=\"None\" Byte3=\"\" Byte4=\"\" Byte5=\"\" Byte6=\"\" Byte7=\"\" Byte8=\"\" Mnemonic=\"Speed\" />\n"
        "\t<row Enable=\"N\" COBID=\"7\" CAN_Type=\"2.0B (29 bits)\" Dim=\"9\" TimeOut=\"\" Byte1=\"\" Byte2=\"\" "
        "Byte3=\"\" Byte4=\"\" Byte5=\"\" Byte6=\"\" Byte7=\"\" Byte8=\"\" Mnemonic=\"\" />\n"
        "</Receive_Frames>\n"
        "<!--SW_VERSION = 1.000-->\n";
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);
    // The byte lists hold "None" and the 2000 positions.
    const QStringList& items = w->ECG_CAN_Receive->Columns().GetItem(6)->ComboItems();
    ASSERT_EQ(items.size(), 2001);
    EXPECT_EQ(items.front(), "None");
    EXPECT_EQ(items.back(), "1999");
}

TEST_F(TransmitCAN, Checks)
{
    // Enable, CobID, Type, Dimension, OnChange, OnCMD, OnTimer, Time, Byte1 .. Byte8, Mnemonic.
    Run_Checks({
        {0, {"Y", "0x800", A11, "1", "Y", "N", "N", ""}, "Error row 1!! CobID must be between 0 and 2047",
         "above 11 bits"},
        {0, {"Y", "0x800", B29, "1", "Y", "N", "N", ""}, "", "the same as 29 bits"},
        {0, {"Y", "0x20000000", B29, "1", "Y", "N", "N", ""},
         "Error row 1!! CobID must be between 0x00000000 and 0x1FFFFFFF", "above 29 bits"},
        {0, {"Y", "1", A11, "", "Y", "N", "N", ""}, "Error row 1!! Dimension must be between 1 and 8",
         "empty Dimension"},
        {0, {"Y", "1", A11, "1", "N", "N", "Y", ""}, "Error row 1!! Time must be between 0 and 100000000 milliseconds",
         "a timer without its period"},
        {0, {"Y", "1", A11, "1", "N", "N", "N", "abc"}, "", "no timer: the period is not tested"},
        {0, {"Y", "1", A11, "1", "N", "N", "N", ""}, "", "no sending event at all passes"},
        {0, {"Y", "1", A11, "2", "Y", "N", "N", "", "3399", "3400", "x"},
         "Error row 1!! Byte2 must be between 0 and 3399 or None", "Byte2 outside"},
    });
}

TEST_F(TransmitCAN, SavesByteForByteAndDefaultsTheTimer)
{
    const QByteArray expected =
        "<Transmit_Frames>\n"
        "\t<row Enable=\"Y\" COBID=\"$7FF\" CAN_Type=\"2.0A (11 bits)\" Dim=\"1\" OnChange=\"Y\" OnCMD=\"N\" "
        "OnTimer=\"Y\" Time=\"1000\" Byte1=\"3399\" Byte2=\"\" Byte3=\"\" Byte4=\"\" Byte5=\"\" Byte6=\"\" Byte7=\"\" "
        "Byte8=\"\" Mnemonic=\"Status\" />\n"
        "</Transmit_Frames>\n"
        "<!--SW_VERSION = 1.000-->\n";
    Show();
    Put(*w->ECG_CAN_Transmit, 1,
        {"Y", "$7FF", A11, "1", "Y", "N", "Y", "1000", "3399", "", "", "", "", "", "", "", "Status"});
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);

    // Older files: a timer without Time reads 0; without OnTimer, no timer and no Time.
    ASSERT_TRUE(WriteAll(File(), "<Transmit_Frames><row COBID=\"1\" Dim=\"1\" OnTimer=\"Y\"/>"
                                 "<row COBID=\"2\" Dim=\"1\"/></Transmit_Frames>"));
    Show();
    EXPECT_EQ(Row(*w->ECG_CAN_Transmit, 1).mid(0, 9), (QStringList{"1", "Y", "1", A11, "1", "Y", "N", "Y", "0"}));
    EXPECT_EQ(Row(*w->ECG_CAN_Transmit, 2).mid(0, 9), (QStringList{"2", "Y", "2", A11, "1", "Y", "N", "N", ""}));
}
