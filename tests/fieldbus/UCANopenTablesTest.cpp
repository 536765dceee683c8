// CANopen PDO tables, SDO client rules and SDO server objects: each window's
// checks as one table, and its file written and read back byte for byte.
#include "fieldbus/USet_PDO_Access.h"
#include "fieldbus/USet_SDO_Client_Access.h"
#include "fieldbus/USet_SDO_Server_Access.h"

#include "RuleMemberTest.h"

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

using PDO = Member<TFSet_PDO_Access>;
using SDOClient = Member<TFSet_SDO_Client_Access>;
using SDOServer = Member<TFSet_SDO_Server_Access>;

TEST_F(PDO, Checks)
{
    // COB-ID, Dimension, Address B1 .. B8, TimeOut / Send Time.
    Run_Checks({
        {0, {"0x7FF", "1", "0", "", "", "", "", "", "", "", "65535"}, "", "upper bounds"},
        {0, {"$181", "1", "1499", "", "", "", "", "", "", "", "0"}, "", "hexadecimal, last position"},
        {0, {"0x800", "1"}, "Error row 1!! [Receive PDO] COB-ID must be between 0x000 and 0x7FF", "COB-ID"},
        {0, {"1", ""}, "Error row 1!! [Receive PDO] Dimension must be between 1 and 8", "empty Dimension"},
        {0, {"1", "9"}, "Error row 1!! [Receive PDO] Dimension must be between 1 and 8", "Dimension 9"},
        {0, {"1", "1", "0", "", "", "", "", "", "", "", "65536"},
         "Error row 1!! [Receive PDO] TimeOut must be between 0 and 65535", "TimeOut"},
        {1, {"1", "2", "0", "1500"}, "Error row 1!! [Transmit PDO] Address Byte2 must be between 0 and 1499",
         "byte 2 outside, with the bound"},
        {1, {"1", "1", "0", "1500", "", "", "", "", "", "", "100000000"}, "", "byte 2 beyond the Dimension"},
        {1, {"1", "1", "0", "", "", "", "", "", "", "", "100000001"},
         "Error row 1!! [Transmit PDO] Send Time must be between 0 and 100000000", "Send Time"},
    });
}

TEST_F(PDO, SavesByteForByteAndCapsAtThirtyRows)
{
    const QByteArray expected =
        "<PDO_CANopen>\n"
        "\t<Receive_PDO>\n"
        "\t\t<row COB-ID=\"$181\" Dimension=\"2\" Address_B1=\"0\" Address_B2=\"1\" Address_B3=\"x\" Address_B4=\"\" "
        "Address_B5=\"\" Address_B6=\"\" Address_B7=\"\" Address_B8=\"\" TimeOut=\"0\" Mnemonic=\"In\" />\n"
        "\t</Receive_PDO>\n"
        "\t<Transmit_PDO>\n"
        "\t\t<row COB-ID=\"0x201\" Dimension=\"1\" Address_B1=\"10\" Address_B2=\"\" Address_B3=\"\" Address_B4=\"\" "
        "Address_B5=\"\" Address_B6=\"\" Address_B7=\"\" Address_B8=\"\" Send_Time=\"100\" On_Change=\"Y\" "
        "Mnemonic=\"\" />\n"
        "\t</Transmit_PDO>\n"
        "</PDO_CANopen>\n"
        "<!--SW_VERSION = 1.000-->\n";
    Show();
    Put(*w->sga, 1, {"$181", "2", "0", "1", "x", "", "", "", "", "", "0", "In"});
    Put(*w->sgb, 1, {"0x201", "1", "10", "", "", "", "", "", "", "", "100", "Y", ""});
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);

    // A list longer than the table: what fits is shown, the rest is told about.
    QByteArray rows;
    for (int i = 0; i < 31; ++i)
        rows += "<row COB-ID=\"" + QByteArray::number(i + 1) + "\" Dimension=\"1\" Address_B1=\"0\" Address_B2=\"\" "
                "Address_B3=\"\" Address_B4=\"\" Address_B5=\"\" Address_B6=\"\" Address_B7=\"\" Address_B8=\"\" "
                "TimeOut=\"0\" Mnemonic=\"\"/>";
    ASSERT_TRUE(WriteAll(File(), "<PDO_CANopen><Receive_PDO>" + rows + "</Receive_PDO><Transmit_PDO/></PDO_CANopen>"));
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, platform::MessageKind::Warning);
    EXPECT_EQ(w->sga->GetCellEx(1, 30), "30");
}

TEST_F(SDOClient, Checks)
{
    // Device, Index, SubIndex, N Byte, Poll Time, (write: On Change,) Address B1 .. B4.
    Run_Checks({
        {0, {"127", "0xFFFF", "255", "4", "1", "0", "1", "2", "1499"}, "", "upper bounds"},
        {0, {"0"}, "Error row 1!! [SDO Read] Device ID must be between 1 and 127", "device 0"},
        {0, {"1", "0x0FFF"}, "Error row 1!! [SDO Read] Index must be between 0x1000 and 0xFFFF", "index low"},
        {0, {"1", "0x10000"}, "Error row 1!! [SDO Read] Index must be between 0x1000 and 0xFFFF", "index high"},
        {0, {"1", "0x1000", "256"}, "Error row 1!! [SDO Read] SubIndex must be between 0x00 and 0xFF", "subindex"},
        {0, {"1", "0x1000", "0", "3"}, "Error row 1!! [SDO Read] N Byte must be 1 or 2 or 4", "three bytes"},
        {0, {"1", "0x1000", "0", "1", "0"}, "Error row 1!! [SDO Read] Poll Time must be between 1 and 100000000",
         "read poll 0"},
        {0, {"1", "0x1000", "0", "2", "1", "1500"}, "Error row 1!! [SDO Read] Address Byte1 must be between 0 and 1499",
         "address with its bound"},
        {0, {"1", "0x1000", "0", "2", "1", "0", "1", "any"}, "", "byte 3 beyond two bytes"},
        {1, {"1", "0x1000", "0", "1", "0", "N", "0"}, "", "write poll 0 passes"},
        {1, {"128"}, "Error row 1!! [SDO Write] Device ID must be between 1 and 127", "write device"},
    });
}

TEST_F(SDOClient, SavesByteForByte)
{
    const QByteArray expected =
        "<SDO_Client_CANopen>\n"
        "\t<SDO_Read>\n"
        "\t\t<row Device_ID=\"5\" Index=\"0x6000\" SubIndex=\"1\" NByte=\"2\" Poll_Time=\"500\" Address_B1=\"0\" "
        "Address_B2=\"1\" Address_B3=\"\" Address_B4=\"\" Mnemonic=\"Temp\" />\n"
        "\t</SDO_Read>\n"
        "\t<SDO_Write>\n"
        "\t\t<row Device_ID=\"6\" Index=\"$2000\" SubIndex=\"0\" NByte=\"1\" Poll_Time=\"0\" On_Change=\"Y\" "
        "Address_B1=\"7\" Address_B2=\"\" Address_B3=\"\" Address_B4=\"\" Mnemonic=\"\" />\n"
        "\t</SDO_Write>\n"
        "</SDO_Client_CANopen>\n"
        "<!--SW_VERSION = 1.000-->\n";
    Show();
    Put(*w->sga, 1, {"5", "0x6000", "1", "2", "500", "0", "1", "", "", "Temp"});
    Put(*w->sgb, 1, {"6", "$2000", "0", "1", "0", "Y", "7", "", "", "", ""});
    Put(*w->sgb, 3, {"9", "bad"});  // below the blank device: neither checked nor saved
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);
}

TEST_F(SDOServer, Checks)
{
    // Index, SubIndex, N Byte, Address B1 .. B4.
    Run_Checks({
        {0, {"0x2000", "0", "1", "0"}, "", "lowest index"},
        {0, {"$5FFF", "255", "4", "0", "1", "2", "1499"}, "", "highest index"},
        {0, {"8192", "0", "1", "0"}, "", "decimal"},
        {0, {"0x1FFF"}, "Error row 1!! [SDO in Read] Index must be between 0x2000 and 0x5FFF", "below"},
        {1, {"0x6000"}, "Error row 1!! [SDO in Write] Index must be between 0x2000 and 0x5FFF", "above"},
        {0, {"0x2000", "256"}, "Error row 1!! [SDO in Read] SubIndex must be between 0x00 and 0xFF", "subindex"},
        {0, {"0x2000", "0", "3"}, "Error row 1!! [SDO in Read] N Byte must be 1 or 2 or 4", "three bytes"},
        {0, {"0x2000", "0", "2", "0", "x"}, "Error row 1!! [SDO in Read] Address Byte2 must be between 0 and 1499",
         "byte 2 of two"},
        {0, {"0x2000", "0", "1", "0", "x"}, "", "byte 2 of one"},
    });
}

// Each object is one section of the EDS file: an index and sub-index may
// stand once over both grids, however the numbers are written.
TEST_F(SDOServer, RefusesAnObjectGivenTwice)
{
    struct Row
    {
        int grid, row;
        QStringList cells;
    };
    struct Case
    {
        std::vector<Row> rows;
        QString message;
        const char* why;
    };
    const QString inRead = "Error row 2!! [SDO in Read] Index and SubIndex are already used in a row above";
    const QString inWrite =
        "Error row 1!! [SDO in Write] Index and SubIndex are already used in a row above or in SDO in Read";
    const std::vector<Case> cases = {
        {{{0, 1, {"0x2000", "0", "1", "0"}}, {0, 2, {"0x2000", "1", "1", "0"}}, {1, 1, {"0x2001", "0", "1", "0"}}},
         "", "distinct objects"},
        {{{0, 1, {"0x2000", "0", "1", "0"}}, {0, 2, {"8192", "$0", "2", "4", "5"}}}, inRead, "same object, other notation"},
        {{{0, 1, {"0x2000", "3", "1", "0"}}, {1, 1, {"0x2000", "3", "1", "7"}}}, inWrite, "read and write"},
        {{{0, 1, {"0x2000", "0", "1", "0"}}, {0, 2, {"0x2000", "0", "3"}}},
         "Error row 2!! [SDO in Read] N Byte must be 1 or 2 or 4", "a row's own fault comes first"},
    };
    for (const Case& c : cases) {
        Show();
        for (const Row& r : c.rows)
            for (int col = 1; col <= r.cells.size(); ++col)
                w->Set_Cell(r.grid, col, r.row, r.cells[col - 1]);
        platform::DialogScript script;
        const bool ok = w->Controllo_dati();
        EXPECT_EQ(ok, c.message.isEmpty()) << c.why;
        if (!ok) {
            ASSERT_EQ(script.Shown().size(), 1u) << c.why;
            EXPECT_EQ(script.Shown()[0].text, c.message) << c.why;
        }
    }
    // Checked again at each OK: nothing is left over from the last one.
    Show();
    Put(*w->sga, 1, {"0x2000", "0", "1", "0"});
    EXPECT_TRUE(Ok().empty());
    Show();
    EXPECT_TRUE(Ok().empty());
}

TEST_F(SDOServer, SavesByteForByte)
{
    const QByteArray expected =
        "<SDO_Server_CANopen>\n"
        "\t<SDO_Read>\n"
        "\t\t<row Index=\"0x2000\" SubIndex=\"1\" NByte=\"4\" Address_B1=\"0\" Address_B2=\"1\" Address_B3=\"2\" "
        "Address_B4=\"3\" Mnemonic=\"Counter\" />\n"
        "\t</SDO_Read>\n"
        "\t<SDO_Write />\n"
        "</SDO_Server_CANopen>\n"
        "<!--SW_VERSION = 1.000-->\n";
    Show();
    Put(*w->sga, 1, {"0x2000", "1", "4", "0", "1", "2", "3", "Counter"});
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);
}
