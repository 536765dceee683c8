// J1939 and NMEA 2000 receive and transmit rules: each window's checks as one
// table, the byte totals over the rows, the older transmit attributes, and
// each file written and read back byte for byte.
#include "fieldbus/UReceiveJ1939.h"
#include "fieldbus/UReceiveNMEA.h"
#include "fieldbus/UTransmitJ1939.h"
#include "fieldbus/UTransmitNMEA.h"

#include "RuleMemberTest.h"

#include <QCoreApplication>
#include <QDir>

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

using ReceiveJ1939 = Member<TFReceiveJ1939>;
using TransmitJ1939 = Member<TFTransmitJ1939>;
using ReceiveNMEA = Member<TFReceiveNMEA>;
using TransmitNMEA = Member<TFTransmitNMEA>;

namespace {

const QString kTooMany = "Error!! Too many bytes of data, the max number is ";

// Validation of what the grid holds: the error box text, "" when it passes.
template <class Window>
QString Check(Window& w)
{
    platform::DialogScript script;
    const bool ok = w.Controllo_Dati();
    const auto shown = script.Shown();
    EXPECT_EQ(shown.size(), ok ? 0u : 1u);
    return shown.empty() ? QString() : shown[0].text;
}

} // namespace

TEST_F(ReceiveJ1939, Checks)
{
    const QString row = "Error in row 1";
    // Data Page, PGN, Source Address, TP, Start Byte, N Byte, Cancel Data, On Request, Time(ms), Mnemonic.
    Run_Checks({
        {0, {"0", "0xFFFF", "239", "N", "", "", "N", "N", "1000"}, "", "limits of PGN and source address"},
        {0, {"", "1", "1"}, row + "!! Data Page must be 0 or 1", "empty Data Page, valid PGN and address"},
        {0, {"1", "0x10000", "1"}, row + "!! PGN must be between 0x0000 and 0xFFFF", "PGN beyond 16 bits"},
        {0, {"1", " ", "1"}, row + "!! PGN must be between 0x0000 and 0xFFFF",
         "a blank PGN is a rule: the key is not trimmed"},
        {0, {"1", "1", "240"}, row + "!! Source Address must be between 0 and 239", "address 240"},
        {0, {"1", "1", "1", "N", "3", ""}, row + "!! Start Byte and Number Bytes must be both compiled",
         "N Byte missing"},
        {0, {"1", "1", "1", "N", " ", "3"}, row + "!! Start Byte and Number Bytes must be both compiled",
         "Start Byte blank"},
        {0, {"1", "1", "1", "N", "0", "4"}, row + "!! The Start Byte must be between 1 and 8", "single frame from 0"},
        {0, {"1", "1", "1", "N", "1", "9"}, row + "!! The Number Bytes must be between 1 and 8", "nine bytes"},
        {0, {"1", "1", "1", "N", "5", "4"}, row + "!! The Number Bytes plus Start Byte must be minor of 9",
         "beyond the frame"},
        {0, {"1", "1", "1", "N", "1", "7"}, "", "inside the frame"},
        {0, {"1", "1", "1", "y", "1000", "785"}, row + "!! The Start Byte must be between 1 and 8",
         "only exactly \"Y\" selects the transport protocol"},
        {0, {"1", "1", "1", "Y", "1000", "785"}, "", "multi-packet up to byte 1785"},
        {0, {"1", "1", "1", "Y", "1000", "786"}, row + "!! Start Byte plus Number Bytes must be between 0 and 1785",
         "one byte beyond"},
        {0, {"1", "1", "1", "Y", "0", ""}, row + "!! Start Byte plus Number Bytes must be between 0 and 1785",
         "multi-packet without N Byte"},
        {0, {"1", "1", "1", "Y", "1786", "0"}, row + "!! Start Byte must be between 0 and 1785", "start beyond"},
        {0, {"1", "1", "1", "Y", "1785", "2147483647"},
         row + "!! Start Byte plus Number Bytes must be between 0 and 1785", "a sum that would wrap in 32 bits"},
        {0, {"1", "1", "1", "N", "", "", "N", "Y", "10000001"}, row + "!! Time(ms) must be between 0 and 10000000",
         "request time too long"},
        {0, {"1", "1", "1", "N", "", "", "N", "Y", ""}, row + "!! Time(ms) must be between 0 and 10000000",
         "request without time"},
        {0, {"1", "1", "1", "N", "", "", "N", "Y", "0"}, "", "the bound the message names"},
        {0, {"1", "1", "1", "N", "", "", "N", "N", "x"}, "", "no request: the time is not tested"},
    });
}

TEST_F(ReceiveJ1939, TotalCountsEachRowsBytesOnce)
{
    Show();
    w->NUM_BYTE_IN = 8;
    Show();
    EXPECT_EQ(w->NUM_BYTE_IN, 1440) << "reset at each showing";

    // 180 whole frames fill the area exactly; the 181st is one too many,
    // reported without row before its own request time is looked at.
    for (int r = 1; r <= 180; ++r)
        Put(*w->sga, r, {"0", "1", "1", "N", "", ""});
    EXPECT_EQ(Check(*w), "");
    Put(*w->sga, 181, {"0", "1", "1", "N", "", "", "N", "Y", "x"});
    EXPECT_EQ(Check(*w), kTooMany + "1440");

    // A frame's bytes counted with the frame itself would stop this table at row 97.
    Show();
    for (int r = 1; r <= 205; ++r)
        Put(*w->sga, r, {"0", "1", "1", "N", "1", "7"});
    EXPECT_EQ(Check(*w), "") << "205 times 7 bytes";
    Put(*w->sga, 206, {"0", "1", "1", "Y", "0", "6"});
    EXPECT_EQ(Check(*w), kTooMany + "1440");
}

TEST_F(ReceiveJ1939, SavesByteForByteAndReadsDefaults)
{
    const QByteArray expected =
        "<Receive_J1939>\n"
        "\t<row DP=\"1\" PGN=\"0xFEF1\" SA=\"0\" TP=\"N\" TP_Start=\"\" TP_NByte=\"\" Delete=\"Y\" OnRequest=\"N\" "
        "OnReq_Time=\"1000\" Mnemonic=\"Speed\" />\n"
        "\t<row DP=\"0\" PGN=\"$FECA\" SA=\"239\" TP=\"Y\" TP_Start=\"2\" TP_NByte=\"100\" Delete=\"N\" "
        "OnRequest=\"Y\" OnReq_Time=\"500\" Mnemonic=\"\" />\n"
        "</Receive_J1939>\n"
        "<!--SW_VERSION = 1.000-->\n";
    Show();
    Put(*w->sga, 1, {"1", "0xFEF1", "0", "N", "", "", "Y", "N", "1000", "Speed"});
    Put(*w->sga, 2, {"0", "$FECA", "239", "Y", "2", "100", "N", "Y", "500", ""});
    Put(*w->sga, 4, {"0", "1", "1", "N"});  // below the empty PGN: dropped
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(w->ModalResult(), platform::mrOk);
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);

    ASSERT_TRUE(WriteAll(File(), "<Receive_J1939><row PGN=\"5\"/></Receive_J1939>"));
    EXPECT_TRUE(Show().empty()) << "no attribute is mandatory";
    EXPECT_EQ(Row(*w->sga, 1), (QStringList{"1", "", "5", "", "N", "", "", "N", "N", "1000", ""}));
    EXPECT_EQ(Row(*w->sga, 2), (QStringList{"2", "", "", "", "", "", "", "", "", "", ""}));
}

// The tables are meant to be typed into: every column has its editor, hint
// and checks, so the cell editors open as in the other frame tables.
TEST_F(ReceiveJ1939, CellsCanBeEdited)
{
    EXPECT_TRUE(w->sga->Options() & platform::goEditing);
    TFTransmitJ1939 transmitJ1939;
    TFReceiveNMEA receiveNMEA;
    TFTransmitNMEA transmitNMEA;
    EXPECT_TRUE(transmitJ1939.sga->Options() & platform::goEditing);
    EXPECT_TRUE(receiveNMEA.sga->Options() & platform::goEditing);
    EXPECT_TRUE(transmitNMEA.sga->Options() & platform::goEditing);
    EXPECT_TRUE(receiveNMEA.sga->ShowHint());
    EXPECT_FALSE(transmitNMEA.sga->ShowHint()) << "the NMEA transmit grid shows no hints";
}

TEST_F(TransmitJ1939, Checks)
{
    const QString row = "Error in row 1";
    // Priority, Data Page, PGN, Source Address, N Bytes, Request, Data Change, On Timer, Send Timer, Mnemonic.
    Run_Checks({
        {0, {"7", "1", "0x1FFFF", "255", "8", "N", "N", "N", ""}, "", "limits; no event and no timer"},
        {0, {"8", "1", "1", "1", "8"}, row + "!! Priority must be between 0 and 7", "priority 8"},
        {0, {"0", "", "1", "1", "8"}, row + "!! Data Page must be 0 or 1", "empty Data Page"},
        {0, {"0", "0", "0x20000", "1", "8"}, row + "!! PGN must be between 0x00000 and 0x1FFFF", "PGN beyond"},
        {0, {"0", "0", "1", "256", "8"}, row + "!! Source Address must be between 0 and 255", "address 256"},
        {0, {"0", "0", "1", "1", "0"}, "", "no data bytes"},
        {0, {"0", "0", "1", "1", "513"}, row + "!! Num Byte must be between 0 and 512", "more than the area"},
        {0, {"0", "0", "1", "1", "-1"}, row + "!! Num Byte must be between 0 and 512", "negative"},
        {0, {"0", "0", "1", "1", "8", "N", "N", "Y", "0"}, row + "!! Send Timer must be between 1 and 65535 ms",
         "timer of 0 ms"},
        {0, {"0", "0", "1", "1", "8", "N", "N", "Y", "65535"}, "", "longest timer"},
        {0, {"0", "0", "1", "1", "8", "N", "N", "y", "0"}, "", "only exactly \"Y\" switches the timer on"},
    });
}

TEST_F(TransmitJ1939, TotalAndTheTwoKeys)
{
    Show();
    Put(*w->sga, 1, {"0", "0", "1", "1", "300"});
    Put(*w->sga, 2, {"0", "0", "2", "1", "212"});
    EXPECT_EQ(Check(*w), "") << "512 bytes fit";
    Put(*w->sga, 2, {"0", "0", "2", "1", "300"});
    EXPECT_EQ(Check(*w), kTooMany + "512");

    // A Priority without PGN ends the checks, yet is written with what follows
    // up to the first empty Priority.
    const QByteArray expected =
        "<Transmit_J1939>\n"
        "\t<row Priority=\"6\" DP=\"0\" PGN=\"0xF004\" SA=\"0\" TP_NByte=\"8\" On_Request=\"N\" On_Data_Change=\"Y\" "
        "On_Timer=\"Y\" SendTimer=\"100\" Mnemonic=\"Engine\" />\n"
        "\t<row Priority=\"3\" DP=\"\" PGN=\"\" SA=\"\" TP_NByte=\"8\" On_Request=\"N\" On_Data_Change=\"N\" "
        "On_Timer=\"N\" SendTimer=\"\" Mnemonic=\"\" />\n"
        "\t<row Priority=\"99\" DP=\"\" PGN=\"x\" SA=\"\" TP_NByte=\"8\" On_Request=\"N\" On_Data_Change=\"N\" "
        "On_Timer=\"N\" SendTimer=\"\" Mnemonic=\"\" />\n"
        "</Transmit_J1939>\n"
        "<!--SW_VERSION = 1.000-->\n";
    Show();
    Put(*w->sga, 1, {"6", "0", "0xF004", "0", "8", "N", "Y", "Y", "100", "Engine"});
    Put(*w->sga, 2, {"3", "", "", "", "8", "N", "N", "N", ""});
    Put(*w->sga, 3, {"99", "", "x", "", "8", "N", "N", "N", ""});
    Put(*w->sga, 5, {"1", "0", "1", "1", "8", "N", "N", "N", ""});  // below the empty Priority: dropped
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);
}

TEST_F(TransmitJ1939, OlderFilesLoad)
{
    // T_Type stands for the three event attributes; a missing or empty byte
    // count is a whole frame.
    ASSERT_TRUE(WriteAll(File(),
                         "<Transmit_J1939>"
                         "<row Priority=\"1\" PGN=\"1\" T_Type=\"on timer\" On_Request=\"Y\" On_Data_Change=\"Y\" "
                         "On_Timer=\"N\" SendTimer=\"50\"/>"
                         "<row Priority=\"2\" PGN=\"2\" TP_NByte=\"\" T_Type=\"On Data Change\"/>"
                         "<row Priority=\"3\" PGN=\"3\" TP_NByte=\"4\" T_Type=\"On Request\" On_Timer=\"Y\"/>"
                         "<row Priority=\"4\" PGN=\"4\" TP_NByte=\"0\" On_Request=\"Y\" On_Timer=\"Y\"/>"
                         "</Transmit_J1939>"));
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(Row(*w->sga, 1), (QStringList{"1", "1", "", "1", "", "8", "N", "N", "Y", "50", ""}));
    EXPECT_EQ(Row(*w->sga, 2), (QStringList{"2", "2", "", "2", "", "8", "N", "Y", "N", "", ""}));
    EXPECT_EQ(Row(*w->sga, 3), (QStringList{"3", "3", "", "3", "", "4", "N", "N", "N", "", ""}))
        << "any other type sends on no event";
    EXPECT_EQ(Row(*w->sga, 4), (QStringList{"4", "4", "", "4", "", "0", "Y", "N", "Y", "", ""}));

    // Saved again, the events stand in their own attributes and T_Type is gone.
    for (int r = 1; r <= 4; ++r) {
        w->sga->SetCellEx(2, r, "0");
        w->sga->SetCellEx(4, r, "0");
        w->sga->SetCellEx(9, r, "50");
    }
    EXPECT_TRUE(Ok().empty());
    const QByteArray file = ReadAll(File());
    EXPECT_FALSE(file.contains("T_Type"));
    EXPECT_TRUE(file.contains("<row Priority=\"2\" DP=\"0\" PGN=\"2\" SA=\"0\" TP_NByte=\"8\" On_Request=\"N\" "
                              "On_Data_Change=\"Y\" On_Timer=\"N\" SendTimer=\"50\""));
}

TEST_F(ReceiveNMEA, Checks)
{
    const QString row = "Error in row 1";
    // PGN, Source Address, TP, FP, Start Byte, N Byte, Cancel Data, Mnemonic.
    Run_Checks({
        {0, {"0x1FFFF", "239", "N", "N", "", ""}, "", "limits of PGN and address, whole frame"},
        {0, {"0x20000", "1"}, row + "!! PGN must be between 0x00000 and 0x1FFFF", "PGN beyond"},
        {0, {"1", "240"}, row + "!! Source Address must be between 0 and 239", "address 240"},
        {0, {"1", "1", "N", "Y", "200", "23"}, "", "fast packet up to byte 223"},
        {0, {"1", "1", "N", "Y", "200", "24"}, row + "!! Start Byte plus Number Bytes must be between 0 and 223",
         "fast packet one byte beyond"},
        {0, {"1", "1", "N", "Y", "200", ""}, row + "!! Start Byte plus Number Bytes must be between 0 and 223",
         "fast packet without N Byte"},
        {0, {"1", "1", "N", "Y", "224", "0"}, row + "!! Start Byte must be between 0 and 223", "fast start beyond"},
        {0, {"1", "1", "Y", "Y", "1000", "100"}, "", "both flags: the transport protocol's limits"},
        {0, {"1", "1", "Y", "N", "1000", "786"}, row + "!! Start Byte plus Number Bytes must be between 0 and 1785",
         "multi-packet beyond"},
        {0, {"1", "1", "Y", "N", "-5", "1"}, row + "!! Start Byte must be between 0 and 1785", "negative start"},
        {0, {"1", "1", "N", "N", "2", ""}, row + "!! Start Byte and Number Bytes must be both compiled",
         "single frame, N Byte missing"},
        {0, {"1", "1", "N", "N", "0", "3"}, row + "!! The Start Byte must be between 1 and 8", "single frame from 0"},
        {0, {"1", "1", "N", "N", "1", "0"}, row + "!! The Number Bytes must be between 1 and 8", "no bytes"},
        {0, {"1", "1", "N", "N", "4", "5"}, row + "!! The Number Bytes plus Start Byte must be minor of 9",
         "beyond the frame"},
        {0, {"1", "1", "N", "N", "1", "7"}, "", "inside the frame"},
    });
}

TEST_F(ReceiveNMEA, TotalCountsEachRowsBytesOnce)
{
    Show();
    for (int r = 1; r <= 62; ++r)
        Put(*w->sga, r, {"1", "1", "N", "N", "", ""});
    EXPECT_EQ(Check(*w), "") << "62 whole frames, 496 bytes";
    Put(*w->sga, 61, {"1", "1", "Y", "N", "0", "33"});
    Put(*w->sga, 62, {"1", "1", "N", "N", "", ""});
    EXPECT_EQ(Check(*w), kTooMany + "512") << "480 + 33 bytes";

    // A frame's bytes counted with the frame itself would stop this table at row 35.
    Show();
    for (int r = 1; r <= 61; ++r)
        Put(*w->sga, r, {"1", "1", "N", "N", "1", "7"});
    Put(*w->sga, 62, {"1", "1", "N", "Y", "0", "85"});
    EXPECT_EQ(Check(*w), "") << "61 times 7 and 85 bytes: 512";
    Put(*w->sga, 62, {"1", "1", "N", "Y", "0", "86"});
    EXPECT_EQ(Check(*w), kTooMany + "512");
}

TEST_F(ReceiveNMEA, SavesByteForByteAndKeepsTheRowsItShows)
{
    const QByteArray expected =
        "<Receive_NMEA_2000>\n"
        "\t<row PGN=\"127250\" SA=\"1\" TP=\"N\" FP=\"Y\" TP_Start=\"0\" TP_NByte=\"8\" Delete=\"N\" "
        "Mnemonic=\"Heading\" />\n"
        "</Receive_NMEA_2000>\n"
        "<!--SW_VERSION = 1.000-->\n";
    Show();
    Put(*w->sga, 1, {"127250", "1", "N", "Y", "0", "8", "N", "Heading"});
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);

    // More rules than rows: the user is told which are not shown.
    QByteArray many = "<Receive_NMEA_2000>";
    for (int i = 1; i <= 63; ++i)
        many += "<row PGN=\"" + QByteArray::number(i) + "\"/>";
    ASSERT_TRUE(WriteAll(File(), many + "</Receive_NMEA_2000>"));
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, Rule_Too_Many_Warning(63, 62));
    EXPECT_EQ(w->sga->GetCellEx(1, 62), "62");
    EXPECT_EQ(Row(*w->sga, 1), (QStringList{"1", "1", "", "N", "N", "", "", "N", ""}));
}

TEST_F(TransmitNMEA, Checks)
{
    const QString row = "Error in row 1";
    // Priority, PGN, Source Address, FP, Num Byte, Request, Data Change, On Timer, Send Timer, Mnemonic.
    Run_Checks({
        {0, {"7", "0x1FFFF", "239", "N", "0", "N", "N", "N", ""}, "", "limits, no sending event"},
        {0, {"8", "1", "1", "N", "8"}, row + "!! Priority must be between 0 and 7", "priority 8"},
        {0, {"0", "0x20000", "1", "N", "8"}, row + "!! PGN must be between 0x00000 and 0x1FFFF", "PGN beyond"},
        {0, {"0", "1", "240", "N", "8"}, row + "!! Source Address must be between 0 and 239", "address 240"},
        {0, {"0", "1", "1", "N", "513"}, row + "!! Num Byte must be between 0 and 512", "more than the area"},
        {0, {"0", "1", "1", "N", ""}, row + "!! Num Byte must be between 0 and 512", "no byte count"},
        {0, {"0", "1", "1", "N", "8", "N", "N", "Y", "65536"}, row + "!! Send Timer must be between 1 and 65535 ms",
         "timer too long"},
        {0, {"0", "1", "1", "N", "8", "N", "N", "N", ""}, "", "no timer: no period needed"},
    });
}

TEST_F(TransmitNMEA, SavesUnderTheReceiveRootAndChecksUpToTheFirstPGN)
{
    Show();
    Put(*w->sga, 1, {"0", "1", "1", "N", "300"});
    Put(*w->sga, 2, {"0", "1", "1", "N", "300"});
    EXPECT_EQ(Check(*w), kTooMany + "512");

    const QByteArray expected =
        "<Receive_NMEA_2000>\n"
        "\t<row Priority=\"2\" PGN=\"129025\" SA=\"10\" FP=\"N\" TP_NByte=\"8\" On_Request=\"N\" "
        "On_Data_Change=\"N\" On_Timer=\"Y\" SendTimer=\"100\" Mnemonic=\"Position\" />\n"
        "\t<row Priority=\"9\" PGN=\"\" SA=\"\" FP=\"\" TP_NByte=\"\" On_Request=\"\" On_Data_Change=\"\" "
        "On_Timer=\"\" SendTimer=\"\" Mnemonic=\"\" />\n"
        "</Receive_NMEA_2000>\n"
        "<!--SW_VERSION = 1.000-->\n";
    Show();
    Put(*w->sga, 1, {"2", "129025", "10", "N", "8", "N", "N", "Y", "100", "Position"});
    Put(*w->sga, 2, {"9"});  // no PGN: not checked, still written
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    EXPECT_EQ(Row(*w->sga, 2), (QStringList{"2", "9", "", "", "", "", "", "", "", "", ""}));
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);
}

// J1939_SCREENSHOT_DIR=<dir> saves the receive window holding two rules, to be looked at.
TEST_F(ReceiveJ1939, Screenshot)
{
    const QString out = qEnvironmentVariable("J1939_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "set J1939_SCREENSHOT_DIR to save the window";
    QDir().mkpath(out);
    ASSERT_TRUE(WriteAll(File(), "<Receive_J1939><row DP=\"0\" PGN=\"0xFEF1\" SA=\"0\" TP=\"N\" Mnemonic=\"Speed\"/>"
                                 "<row DP=\"1\" PGN=\"0xFECA\" SA=\"3\" TP=\"Y\" TP_Start=\"0\" TP_NByte=\"20\" "
                                 "OnRequest=\"Y\"/></Receive_J1939>"));
    platform::DialogScript script;
    w->Show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QDir(out).filePath("j1939_receive.png")));
    w->Hide();
}
