// SNMP agent tables: the row checks of both tabs as one table, the rules
// that span rows (unique descriptions, no other duplicate or length rule),
// the object index in column 0, and the file written and read back byte for
// byte.
#include "protocols/USNMP_Trap_Access.h"

#include "../fieldbus/RuleMemberTest.h"

#include "platform/Controls.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QKeyEvent>

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

using SNMPTrap = Member<TFSNMP_Trap_Access>;

namespace {

// Enable, Community, Type, On Change, On CMD, On Timer, Time, Position, Start Bit, Num Bits, Description,
// IP Address, Conversion, Mnemonic.
QStringList Read(std::initializer_list<std::pair<int, QString>> changes)
{
    QStringList r = {"Y", "public", "Int", "N", "N", "N", "", "0", "0", "16", "temp1", "192.168.1.10", "None", "M"};
    for (const auto& [col, text] : changes)
        r[col - 1] = text;
    return r;
}

// Enable, Community, Type, Position, Start Bit, Num Bits, Description, Conversion, Mnemonic.
QStringList Write(std::initializer_list<std::pair<int, QString>> changes)
{
    QStringList r = {"Y", "private", "Int", "0", "0", "16", "set1", "None", "M"};
    for (const auto& [col, text] : changes)
        r[col - 1] = text;
    return r;
}

const QString kR = "Error row 1!! [SNMP Read] ";
const QString kW = "Error row 1!! [SNMP Write] ";
const QString kChars = "(allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\")";
const QString kDesc = kChars + ". First character must be a letter and must be lowercase";
const QString kArea = "The value must end inside the data area, whose last byte is 1439";

} // namespace

TEST_F(SNMPTrap, Checks)
{
    Run_Checks({
        {0, Read({}), "", "a plain read object"},
        {1, Write({}), "", "a plain write object"},
        {0, Read({{1, "N"}, {2, "a b"}, {3, ""}}), "", "disabled rows are not checked"},
        {0, Read({{1, "y"}, {2, "a b"}}), kR + "Community Name is not correct " + kChars, "y enables"},
        {0, Read({{2, ""}, {3, ""}}), "", "an empty community name ends the rules"},
        {0, Read({{2, "a-b"}}), kR + "Community Name is not correct " + kChars, "dash"},
        {0, Read({{2, "caf\u00e9"}}), kR + "Community Name is not correct " + kChars, "accented letter"},
        {0, Read({{2, "Pub1ic9"}}), "", "letters and digits in any order"},
        {1, Write({{2, "a b"}}), kW + "Community Name is not correct " + kChars, "write community"},
        {0, Read({{3, " "}}), kR + "Type must be selected", "type"},
        {1, Write({{3, ""}}), kW + "Type must be selected", "write type"},
        {0, Read({{7, "0"}}), "", "no timer, no time check"},
        {0, Read({{6, "Y"}, {7, "0"}}), kR + "Time must be between 1 and 1000000000 ms", "time 0"},
        {0, Read({{6, "y"}, {7, "0"}}), kR + "Time must be between 1 and 1000000000 ms", "timer in lower case"},
        {0, Read({{6, "Y"}, {7, ""}}), kR + "Time must be between 1 and 1000000000 ms", "no time"},
        {0, Read({{6, "Y"}, {7, "1000000000"}}), "", "longest time"},
        {0, Read({{6, "Y"}, {7, "1000000001"}}), kR + "Time must be between 1 and 1000000000 ms", "too long"},
        {0, Read({{8, ""}}), kR + "Position must be selected", "position"},
        {1, Write({{4, ""}}), kW + "Position must be selected", "write position"},
        {0, Read({{9, ""}}), kR + "Start Bit must be selected", "start bit"},
        {1, Write({{5, ""}}), kW + "Start Bit must be selected", "write start bit"},
        {0, Read({{3, "String"}, {9, "3"}}), kR + "Start Bit must be 0 if Type is String", "string bit"},
        {1, Write({{3, "String"}, {5, "3"}}), kW + "Start Bit must be 0 if Type is String", "write string bit"},
        {0, Read({{9, "3"}}), "", "an integer may start at any bit"},
        {0, Read({{3, "int"}, {9, "3"}, {10, "64"}}), "", "int in lower case is an integer"},
        {0, Read({{10, "64"}}), "", "64 bits"},
        {0, Read({{10, "65"}}), kR + "Num Bits/Bytes must be between 1 and 64 bits", "65 bits"},
        {0, Read({{10, "0"}}), kR + "Num Bits/Bytes must be between 1 and 64 bits", "0 bits"},
        {0, Read({{3, "String"}, {10, "16"}}), "", "16 bytes"},
        {0, Read({{3, "String"}, {10, "17"}}), kR + "Num Bits/Bytes must be between 1 and 16 bytes", "17 bytes"},
        {1, Write({{6, "65"}}), kW + "Num Bits/Bytes must be between 1 and 64 bits", "write bits"},
        {1, Write({{3, "String"}, {6, "17"}}), kW + "Num Bits/Bytes must be between 1 and 16 bytes", "write bytes"},
        // The value must not run past the data area's last byte.
        {0, Read({{8, "1439"}, {9, "0"}, {10, "8"}}), "", "the last byte, all of it"},
        {0, Read({{8, "1439"}, {9, "1"}, {10, "8"}}), kR + kArea, "one bit past the area"},
        {0, Read({{8, "1438"}, {9, "7"}, {10, "9"}}), "", "two bytes from bit 7"},
        {0, Read({{3, "String"}, {8, "1424"}, {10, "16"}}), "", "a string up to the last byte"},
        {0, Read({{3, "String"}, {8, "1425"}, {10, "16"}}), kR + kArea, "a string past the area"},
        {0, Read({{8, "1440"}, {10, "1"}}), kR + kArea, "a position beyond the area (from a file)"},
        {1, Write({{3, "String"}, {4, "1439"}, {6, "2"}}), kW + kArea, "write past the area"},
        {0, Read({{11, "aB9"}}), "", "a lower-case letter first"},
        {0, Read({{11, "Temp"}}), kR + "Description is not correct " + kDesc, "upper-case first"},
        {0, Read({{11, "1temp"}}), kR + "Description is not correct " + kDesc, "digit first"},
        {0, Read({{11, "temp_1"}}), kR + "Description is not correct " + kDesc, "underscore"},
        {0, Read({{11, ""}}), "", "one empty description"},
        {1, Write({{7, "Set"}}), kW + "Descrtiption is not correct " + kDesc, "write description"},
        {0, Read({{12, ""}}), kR + "IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)", "no address"},
        {0, Read({{12, "10.0.0"}}), kR + "IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)", "3 parts"},
        {0, Read({{12, "10.0.0.256"}}), kR + "IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)",
         "part over 255"},
        {0, Read({{13, ""}}), kR + "Conversion must be selected", "conversion"},
        {1, Write({{8, " "}}), kW + "Conversion must be selected", "write conversion"},
    });
}

// Descriptions name the objects in the MIB: they must differ over both
// tabs, among enabled rows only. No other rule spans rows.
TEST_F(SNMPTrap, UniqueDescriptionsAndNoOtherDuplicateRule)
{
    struct Case
    {
        std::vector<QStringList> read, write;
        bool ok;
        const char* why;
    };
    const std::vector<Case> cases = {
        {{Read({}), Read({{11, "temp2"}})}, {Write({})}, true, "all different"},
        {{Read({}), Read({})}, {}, false, "the same description twice on the read tab"},
        {{Read({})}, {Write({{7, "temp1"}})}, false, "the same on a read and a write row"},
        {{Read({})}, {Write({{1, "N"}, {7, "temp1"}})}, true, "the write row is disabled"},
        {{Read({{11, ""}}), Read({{11, ""}})}, {}, false, "two empty descriptions are equal"},
        {{Read({{11, ""}})}, {Write({{7, ""}})}, false, "empty on both tabs"},
        {{Read({{11, "temp"}})}, {Write({{7, "tEMP"}})}, true, "case counts"},
        // Same community, type, position and bits: no rule forbids that.
        {{Read({}), Read({{11, "temp2"}})}, {Write({{2, "public"}, {7, "other"}})}, true, "identical but the name"},
    };
    for (const Case& c : cases) {
        Show();
        for (size_t i = 0; i < c.read.size(); ++i)
            Put(*w->ECG_SNMP_Read, int(i) + 1, c.read[i]);
        for (size_t i = 0; i < c.write.size(); ++i)
            Put(*w->ECG_SNMP_Write, int(i) + 1, c.write[i]);
        platform::DialogScript script;
        EXPECT_EQ(w->Controllo_dati(), c.ok) << c.why;
        ASSERT_EQ(script.Shown().size(), c.ok ? 0u : 1u) << c.why;
        if (!c.ok) {
            EXPECT_EQ(script.Shown()[0].text, "Error!! The Descriptions must be all differents") << c.why;
        }
    }
    // A row fault comes first, even on the write tab after a duplicate on the read tab.
    Show();
    Put(*w->ECG_SNMP_Read, 1, Read({}));
    Put(*w->ECG_SNMP_Read, 2, Read({}));
    Put(*w->ECG_SNMP_Write, 1, Write({{3, ""}}));
    platform::DialogScript script;
    EXPECT_FALSE(w->Controllo_dati());
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, kW + "Type must be selected");
}

// No budget over the rows: full tables of longest names pass. The 15
// characters are the editors' limits, not a check.
TEST_F(SNMPTrap, FullTablesAndTextLimits)
{
    Show();
    const QString name15 = "abcdefghijklmno";
    for (int r = 1; r <= 256; ++r) {
        const QString n = QString::number(r);
        Put(*w->ECG_SNMP_Read, r, Read({{2, name15}, {11, "r" + n + QString(14 - n.size(), u'x')}}));
        Put(*w->ECG_SNMP_Write, r, Write({{2, name15}, {7, "w" + n + QString(14 - n.size(), u'x')}}));
    }
    {
        platform::DialogScript script;
        EXPECT_TRUE(w->Controllo_dati());
    }
    EXPECT_EQ(w->ECG_SNMP_Read->MaxComboLength(), 15);
    EXPECT_EQ(w->ECG_SNMP_Write->MaxComboLength(), 15);
    EXPECT_EQ(w->ECG_SNMP_Read->Columns().GetItem(11)->EditLength(), 15);
    EXPECT_EQ(w->ECG_SNMP_Write->Columns().GetItem(7)->EditLength(), 15);
}

// A file with more rows than a tab holds: the rows beyond 256 are not
// shown, the user is told, and the object index never passes 256.
TEST_F(SNMPTrap, FileWithMoreThan256RowsIsRefusedBeyondTheTable)
{
    QByteArray xml = "<SNMP_Trap><SNMP_Trap_Read>";
    for (int i = 0; i < 300; ++i)
        xml += "<row Community_Name=\"c" + QByteArray::number(i) + "\"/>";
    xml += "</SNMP_Trap_Read></SNMP_Trap>";
    WriteAll(File(), xml);
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, platform::MessageKind::Warning);
    EXPECT_EQ(shown[0].text, Rule_Too_Many_Warning(300, 256));
    EXPECT_EQ(w->ECG_SNMP_Read->GetCellEx(2, 256), "c255");
    EXPECT_EQ(w->ECG_SNMP_Read->GetCellEx(0, 256), "256");
}

TEST_F(SNMPTrap, ObjectIndexCountsEnabledRows)
{
    WriteAll(File(), "<SNMP_Trap><SNMP_Trap_Read>"
                     "<row Enable=\"Y\" Community_Name=\"a\"/><row Enable=\"N\" Community_Name=\"b\"/>"
                     "<row Enable=\"y\" Community_Name=\"c\"/></SNMP_Trap_Read>"
                     "<SNMP_Trap_Write><row Enable=\"N\" Community_Name=\"d\"/></SNMP_Trap_Write></SNMP_Trap>");
    EXPECT_TRUE(Show().empty());
    VOruVizizaZezo& g = *w->ECG_SNMP_Read;
    const auto column0 = [](VOruVizizaZezo& grid, int rows) {
        QStringList out;
        for (int r = 1; r <= rows; ++r)
            out << grid.GetCellEx(0, r);
        return out;
    };
    // Rows past the rules are enabled too ("Y" from the reset) and numbered.
    EXPECT_EQ(column0(g, 5), QStringList({"1", "", "2", "3", "4"}));
    EXPECT_EQ(column0(*w->ECG_SNMP_Write, 3), QStringList({"", "1", "2"}));
    EXPECT_EQ(g.GetCellEx(0, 256), "255");

    // Ticking row 2's check box renumbers that grid only.
    g.SetCol(1);
    g.SetRow(2);
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(w->ECG_SNMP_Read, &space);
    EXPECT_EQ(g.GetCellEx(1, 2), "Y");
    EXPECT_EQ(column0(g, 4), QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(column0(*w->ECG_SNMP_Write, 2), QStringList({"", "1"}));

    // A click on another check box column does not renumber.
    g.SetCellEx(1, 1, "N");
    w->ECG_SNMP_ReadCheckBoxClick(w->ECG_SNMP_Read, 4, 1, true);
    EXPECT_EQ(column0(g, 2), QStringList({"1", "2"}));
    w->ECG_SNMP_ReadCheckBoxClick(w->ECG_SNMP_Read, 1, 1, false);
    EXPECT_EQ(column0(g, 2), QStringList({"", "1"}));

    // Inserting or deleting a row moves the numbers with the rows.
    g.SetRow(1);
    w->Btn_InsRowClick(w->Btn_InsRow);
    EXPECT_EQ(column0(g, 3), QStringList({"1", "", "2"}));
    {
        platform::DialogScript script;
        script.AnswerMessage(platform::MessageAnswer::Yes);
        w->Btn_DelRowClick(w->Btn_DelRow);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, "Are you sure to delete the Row number 1");
    }
    EXPECT_EQ(column0(g, 3), QStringList({"", "1", "2"}));

    // So does pasting a disabled row over an enabled one.
    g.SetRow(1);
    w->Btn_CopyRowClick(w->Btn_CopyRow);
    g.SetRow(2);
    {
        platform::DialogScript script;
        script.AnswerMessage(platform::MessageAnswer::Yes);
        w->Btn_PasteRowClick(w->Btn_PasteRow);
    }
    EXPECT_EQ(column0(g, 3), QStringList({"", "", "1"}));
}

TEST_F(SNMPTrap, SavesByteForByteAndReadsDefaults)
{
    Show();
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), "<SNMP_Trap>\n\t<SNMP_Trap_Read />\n\t<SNMP_Trap_Write />\n</SNMP_Trap>\n"
                               "<!--SW_VERSION = 1.000-->\n");
    const QByteArray expected =
        "<SNMP_Trap>\n"
        "\t<SNMP_Trap_Read>\n"
        "\t\t<row Enable=\"Y\" Community_Name=\"public\" Type=\"Int\" On_Change=\"Y\" On_Command=\"N\" "
        "On_Timer=\"Y\" Time=\"$3E8\" Position=\"12\" Bit=\"3\" NumBits=\"5\" Description=\"temp1\" "
        "IP_Address=\"192.168.1.10\" Conversion=\"Float * 10\" Mnemonic=\"Boiler &amp; &quot;pump&quot;\" />\n"
        "\t\t<row Enable=\"N\" Community_Name=\"x y\" Type=\"\" On_Change=\"N\" On_Command=\"N\" On_Timer=\"N\" "
        "Time=\"\" Position=\"0\" Bit=\"0\" NumBits=\"16\" Description=\"temp1\" IP_Address=\"192.168.1.10\" "
        "Conversion=\"None\" Mnemonic=\"M\" />\n"
        "\t</SNMP_Trap_Read>\n"
        "\t<SNMP_Trap_Write>\n"
        "\t\t<row Enable=\"y\" Community_Name=\"private\" Type=\"String\" Position=\"1439\" Bit=\"0\" "
        "NumBits=\"1\" Description=\"set1\" Conversion=\"Float / 100\" Mnemonic=\"\" />\n"
        "\t</SNMP_Trap_Write>\n"
        "</SNMP_Trap>\n"
        "<!--SW_VERSION = 1.000-->\n";
    Show();
    Put(*w->ECG_SNMP_Read, 1,
        Read({{4, "Y"}, {6, "Y"}, {7, "$3E8"}, {8, "12"}, {9, "3"}, {10, "5"}, {13, "Float * 10"},
              {14, "Boiler & \"pump\""}}));
    Put(*w->ECG_SNMP_Read, 2, Read({{1, "N"}, {2, "x y"}, {3, ""}}));
    Put(*w->ECG_SNMP_Read, 4, Read({}));  // after the first empty community name: not a rule
    Put(*w->ECG_SNMP_Write, 1,
        Write({{1, "y"}, {3, "String"}, {4, "1439"}, {6, "1"}, {8, "Float / 100"}, {9, ""}}));
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(w->ModalResult(), platform::mrOk);
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    EXPECT_EQ(w->ECG_SNMP_Read->GetCellEx(0, 2), "");
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);

    // Every attribute is optional.
    WriteAll(File(), "<SNMP_Trap><SNMP_Trap_Write><row Community_Name=\"c\"/></SNMP_Trap_Write></SNMP_Trap>");
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(Row(*w->ECG_SNMP_Write, 1), QStringList({"1", "Y", "c", "", "", "", "", "", "None", ""}));
    WriteAll(File(), "<SNMP_Trap><SNMP_Trap_Read><row/></SNMP_Trap_Read></SNMP_Trap>");
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(Row(*w->ECG_SNMP_Read, 1),
              QStringList({"1", "Y", "", "", "N", "N", "N", "", "", "", "", "", "", "None", ""}));

    // A file that is not XML: the parser's message, the window opens empty.
    WriteAll(File(), "<SNMP_Trap><SNMP_Trap_Read>");
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(w->ECG_SNMP_Read->GetCellEx(2, 1), "");
}

TEST_F(SNMPTrap, WindowKeepsTheTabAndShowsItsTexts)
{
    EXPECT_EQ(w->Caption(), "Set SNMP Trap Access");
    EXPECT_EQ(w->ClientWidth(), 1256);
    EXPECT_EQ(w->ClientHeight(), 337);
    EXPECT_EQ(w->TS_SNMP_Read->Caption(), "SNMP Read");
    EXPECT_EQ(w->TS_SNMP_Write->Caption(), "SNMP Write");
    EXPECT_EQ(w->ECG_SNMP_Read->ColCount(), 15);
    EXPECT_EQ(w->ECG_SNMP_Write->ColCount(), 10);
    EXPECT_EQ(w->ECG_SNMP_Read->Columns().GetItem(13)->Header(), "Conversion");
    EXPECT_EQ(w->ECG_SNMP_Write->Columns().GetItem(9)->Header(), "Mnemonic");
    EXPECT_EQ(w->Hint_SNMP_Read.size(), 14);
    EXPECT_EQ(w->Hint_SNMP_Read[12], "Select the Conversion of the value from Float to Int");
    EXPECT_EQ(w->Hint_SNMP_Write[7], "Select the Conversion of the value from Int to Float");

    EXPECT_EQ(w->Page_Control->ActivePage(), w->TS_SNMP_Read);
    w->Page_Control->SetActivePage(w->TS_SNMP_Write);
    Show();
    EXPECT_EQ(w->Page_Control->ActivePage(), w->TS_SNMP_Write);
    EXPECT_EQ(w->NByte_IN, 1440);
    EXPECT_EQ(w->NByte_OUT, 1440);
    EXPECT_EQ(w->ECG_SNMP_Write->Columns().GetItem(4)->ComboItems().size(), 1440);

    // Row buttons act on the tab the user is on.
    Put(*w->ECG_SNMP_Write, 1, Write({}));
    w->ECG_SNMP_Write->SetRow(1);
    w->Btn_CopyRowClick(w->Btn_CopyRow);
    w->ECG_SNMP_Write->SetRow(2);
    w->Btn_PasteRowClick(w->Btn_PasteRow);
    EXPECT_EQ(w->ECG_SNMP_Write->GetCellEx(7, 2), "set1");

    QString hint = "x";
    w->GridHint(w->ECG_SNMP_Write, 0, 6, hint);
    EXPECT_EQ(hint, "Insert the Number of Bits (Int) or the Number of Bytes (String) of the Object");
    w->GridHint(w->ECG_SNMP_Write, 3, 6, hint);
    EXPECT_EQ(hint, "");
}

// SNMP_SCREENSHOT_DIR=<dir> saves the window holding a few objects, to be looked at.
TEST_F(SNMPTrap, Screenshot)
{
    const QString out = qEnvironmentVariable("SNMP_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "set SNMP_SCREENSHOT_DIR to save the window";
    QDir().mkpath(out);
    WriteAll(File(), "<SNMP_Trap><SNMP_Trap_Read>"
                     "<row Enable=\"Y\" Community_Name=\"public\" Type=\"Int\" On_Change=\"Y\" Position=\"0\" "
                     "Bit=\"0\" NumBits=\"16\" Description=\"temperature\" IP_Address=\"192.168.1.10\" "
                     "Conversion=\"Float * 10\" Mnemonic=\"Boiler\"/>"
                     "<row Enable=\"N\" Community_Name=\"public\" Type=\"String\" Position=\"2\" Bit=\"0\" "
                     "NumBits=\"8\" Description=\"name\" IP_Address=\"192.168.1.10\" Mnemonic=\"Spare\"/>"
                     "<row Enable=\"Y\" Community_Name=\"public\" Type=\"Int\" On_Timer=\"Y\" Time=\"1000\" "
                     "Position=\"12\" Bit=\"3\" NumBits=\"5\" Description=\"pressure1\" "
                     "IP_Address=\"192.168.1.11\"/>"
                     "</SNMP_Trap_Read></SNMP_Trap>");
    platform::DialogScript script;
    w->Show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QDir(out).filePath("snmp_agent.png")));
    w->Hide();
}
