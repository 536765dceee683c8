// S7comm rules: the checks of both tabs as one table, the connection limit,
// the data-area sizes from "ParGen.xml", and the file written and read back
// byte for byte.
#include "protocols/US7_Protocol_Set_Access.h"

#include "../fieldbus/RuleMemberTest.h"

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

using S7Protocol = Member<TFS7_Protocol_Set_Access>;

namespace {

// A passing read (grid 0) or write (grid 1) row with some cells replaced.
QStringList Rule(int grid, std::initializer_list<std::pair<int, QString>> changes)
{
    QStringList r = {"Y", "192.168.1.10", "102", "S71200", "0", "1", "Int", "DB", "1", "Inputs (I)", "0", "0", "100"};
    if (grid == 1)
        r << "Y" << "N";
    r << "0" << "0" << "N" << "N" << "M";
    for (const auto& [col, text] : changes)
        r[col - 1] = text;
    return r;
}

const QString kRead = "Error row 1!! [S7comm Read] ";
const QString kWrite = "Error row 1!! [S7comm Write] ";

} // namespace

TEST(S7Sizes, DataTypeSizeAndAreaSize)
{
    EXPECT_EQ(s7::Data_Type_Size("Bit"), 1);
    EXPECT_EQ(s7::Data_Type_Size("Char"), 1);
    EXPECT_EQ(s7::Data_Type_Size("Word"), 2);
    EXPECT_EQ(s7::Data_Type_Size("Real"), 4);
    EXPECT_EQ(s7::Area_Size("", false, 1500), 1500);
    EXPECT_EQ(s7::Area_Size("abc", true, 1500), 1500);
    EXPECT_EQ(s7::Area_Size(" 256", true, 1500), 256);
    EXPECT_EQ(s7::Area_Size("0", true, 1500), 0);
}

TEST_F(S7Protocol, Checks)
{
    Run_Checks({
        {0, Rule(0, {}), "", "a read rule"},
        {1, Rule(1, {}), "", "a write rule"},
        {0, Rule(0, {{1, "N"}, {4, ""}, {3, "x"}}), "", "disabled"},
        {0, Rule(0, {{2, "192.168.1.256"}}),
         kRead + "PLC Address must be a valid TCP IP Address (Ex. 192.168.1.125)", "address"},
        {1, Rule(1, {{3, "65536"}}), kWrite + "PLC Port must be between 0 and 65535", "port"},
        {0, Rule(0, {{4, " "}}), kRead + "PLC Type cannot be empty", "type"},
        {0, Rule(0, {{5, "3"}, {6, "$1F"}}), "", "largest rack and slot"},
        {0, Rule(0, {{5, "4"}}), kRead + "Rack must be between 0 and 3", "rack"},
        {1, Rule(1, {{6, "32"}}), kWrite + "Slot must be between 0 and 31", "slot"},
        {0, Rule(0, {{7, ""}}), kRead + "Data Type cannot be empty", "data type"},
        {0, Rule(0, {{8, ""}}), kRead + "Data Identifier cannot be empty", "identifier"},
        {0, Rule(0, {{9, "65536"}}), kRead + "DB Number must be between 0 and 65535", "DB"},
        {0, Rule(0, {{10, ""}}), kRead + "PLC Area cannot be empty", "area"},
        {1, Rule(1, {{11, "-1"}}), kWrite + "PLC Address must be between 0 and 65535", "PLC add"},
        {0, Rule(0, {{12, ""}}), kRead + "PLC Bit cannot be empty", "PLC bit"},
        {0, Rule(0, {{13, "0"}}), kRead + "Poll Time must be between 1 and 100000000", "read poll 0"},
        {1, Rule(1, {{13, "0"}}), "", "write poll 0"},
        {1, Rule(1, {{13, "100000001"}}), kWrite + "Poll Time must be between 0 and 100000000", "write poll"},
        {0, Rule(0, {{14, "1500"}}), kRead + "Position must be between 0 and 1499", "position"},
        {0, Rule(0, {{7, "Byte"}, {14, "1499"}}), "", "last byte"},
        // The value must end inside the area.
        {0, Rule(0, {{7, "Real"}, {14, "1497"}}), kRead + "Position must be between 0 and 1496", "real past end"},
        {1, Rule(1, {{7, "Word"}, {16, "1499"}}), kWrite + "Position must be between 0 and 1498", "word past end"},
        {1, Rule(1, {{17, ""}}), kWrite + "Start Bit cannot be empty", "start bit"},
    });
}

TEST_F(S7Protocol, TenConnectionsOverBothTables)
{
    Show();
    for (int i = 1; i <= 10; ++i)
        Put(*w->ECG_S7_Read, i, Rule(0, {{2, "10.0.0." + QString::number(i)}}));
    // The same pair on the write tab, and a disabled eleventh pair, use no entry.
    Put(*w->ECG_S7_Write, 1, Rule(1, {{2, "10.0.0.1"}}));
    Put(*w->ECG_S7_Write, 2, Rule(1, {{1, "N"}, {2, "10.0.0.11"}}));
    {
        platform::DialogScript script;
        EXPECT_TRUE(w->Controllo_dati());
    }
    // The same address on another port is another connection.
    Put(*w->ECG_S7_Write, 3, Rule(1, {{2, "10.0.0.1"}, {3, "103"}}));
    platform::DialogScript script;
    EXPECT_FALSE(w->Controllo_dati());
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, "Error row 3!! [S7comm Write] Device support 10 connection");
}

TEST_F(S7Protocol, AreaSizesFromParGen)
{
    // Without "ParGen.xml": 1500 each.
    Show();
    EXPECT_EQ(w->NByte_IN, 1500);
    EXPECT_EQ(w->ECG_S7_Read->Columns().GetItem(14)->ComboItems().size(), 1500);
    // A "ParGen.xml" without the input size keeps the default (it used to make every read rule fail).
    WriteAll(FileName_ParGen, "<ParGen><PROFINET_NB_OUT>64</PROFINET_NB_OUT></ParGen>");
    Show();
    EXPECT_EQ(w->NByte_IN, 1500);
    EXPECT_EQ(w->NByte_OUT, 64);
    EXPECT_EQ(w->ECG_S7_Write->Columns().GetItem(16)->ComboItems().size(), 64);
    w->Set_Cell(1, 1, 1, "Y");
    Put(*w->ECG_S7_Read, 1, Rule(0, {{14, "1499"}, {7, "Byte"}}));
    Put(*w->ECG_S7_Write, 1, Rule(1, {{16, "64"}}));
    platform::DialogScript script;
    EXPECT_FALSE(w->Controllo_dati());
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, "Error row 1!! [S7comm Write] Position must be between 0 and 63");
    // A broken "ParGen.xml" stops the showing with the parser's message; the rules stay unloaded.
    WriteAll(File(), "<S7_Protocol><S7_Protocol_Read><row PLC_Address=\"1.2.3.4\"/></S7_Protocol_Read></S7_Protocol>");
    WriteAll(FileName_ParGen, "<ParGen>");
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(w->ECG_S7_Read->GetCellEx(2, 1), "");
    EXPECT_EQ(w->ECG_S7_Read->GetCellEx(1, 1), "Y");
}

TEST_F(S7Protocol, SavesByteForByteAndReadsDefaults)
{
    Show();
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), "<S7_Protocol>\n\t<S7_Protocol_Read />\n\t<S7_Protocol_Write />\n</S7_Protocol>\n"
                               "<!--SW_VERSION = 1.000-->\n");
    const QByteArray expected =
        "<S7_Protocol>\n"
        "\t<S7_Protocol_Read>\n"
        "\t\t<row Enable=\"Y\" PLC_Address=\"192.168.1.10\" PLC_Port=\"102\" PLC_Type=\"S71200\" Rack=\"0\" "
        "Slot=\"1\" Data_Type=\"Int\" Data_Identifier=\"DB\" DB_Number=\"1\" PLC_Area=\"Inputs (I)\" PLC_Add=\"0\" "
        "PLC_Bit=\"0\" PollTime=\"100\" Position=\"0\" Bit=\"0\" Swap=\"N\" SwapWord=\"N\" Mnemonic=\"M\" />\n"
        "\t</S7_Protocol_Read>\n"
        "\t<S7_Protocol_Write>\n"
        "\t\t<row Enable=\"N\" PLC_Address=\"bad\" PLC_Port=\"102\" PLC_Type=\"S71200\" Rack=\"0\" Slot=\"1\" "
        "Data_Type=\"Int\" Data_Identifier=\"DB\" DB_Number=\"1\" PLC_Area=\"Inputs (I)\" PLC_Add=\"0\" "
        "PLC_Bit=\"0\" PollTime=\"100\" OnChange=\"Y\" OnCMD=\"N\" Position=\"$10\" Bit=\"0\" Swap=\"N\" "
        "SwapWord=\"N\" Mnemonic=\"M\" />\n"
        "\t</S7_Protocol_Write>\n"
        "</S7_Protocol>\n"
        "<!--SW_VERSION = 1.000-->\n";
    Show();
    Put(*w->ECG_S7_Read, 1, Rule(0, {}));
    Put(*w->ECG_S7_Write, 1, Rule(1, {{1, "N"}, {2, "bad"}, {16, "$10"}}));
    Put(*w->ECG_S7_Write, 3, Rule(1, {}));
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);

    // Rack and Slot missing read as "0"; Enable as "Y".
    WriteAll(File(), "<S7_Protocol><S7_Protocol_Read><row PLC_Address=\"1.2.3.4\" PLC_Port=\"102\" PLC_Type=\"S7300\" "
                     "Data_Type=\"Bit\" Data_Identifier=\"DB\" DB_Number=\"1\" PLC_Area=\"Inputs (I)\" PLC_Add=\"0\" "
                     "PLC_Bit=\"0\" PollTime=\"1\" Position=\"0\" Bit=\"0\" Swap=\"N\" SwapWord=\"N\" Mnemonic=\"\"/>"
                     "</S7_Protocol_Read></S7_Protocol>");
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(Row(*w->ECG_S7_Read, 1), QStringList({"1", "Y", "1.2.3.4", "102", "S7300", "0", "0", "Bit", "DB", "1",
                                                    "Inputs (I)", "0", "0", "1", "0", "0", "N", "N", ""}));
}
