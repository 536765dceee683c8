// BACnet slave object tables: the row checks of both grids as one table, the
// total of objects by the "ParGen.xml" setting, the file written and read
// back byte for byte, the Length a write Data Type fills in, and the
// exchange with the engineering-unit picker.
#include "protocols/UBACnetSlaveSetAccess.h"
#include "protocols/UBACnet_Eng_Unit.h"

#include "../fieldbus/RuleMemberTest.h"

#include "platform/Controls.h"

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

using namespace bacnet_slave;

namespace {

QStringList Obj(const QString& type, const QString& position, const QString& length,
                std::initializer_list<std::pair<int, QString>> changes = {})
{
    // Data Type, Eng. Unit, Position, Start Bit, Length, Swap, Mnemonic.
    QStringList r = {type, "62", position, "0", length, "N", "M"};
    for (const auto& [col, text] : changes)
        r[col - 1] = text;
    return r;
}

const QString kPre = "Error row 1!! ";
const QString kRd = kPre + "[BACnet in Read] ";
const QString kWr = kPre + "[BACnet in Write] ";

} // namespace

class BACnetSlave : public Member<TFBACnetSlaveSetAccess>
{
protected:
    void Long_Names(bool on)
    {
        ASSERT_TRUE(WriteAll(FileName_ParGen, on ? "<ParGen><BACnet_Desc_Chars_Limit>1</BACnet_Desc_Chars_Limit></ParGen>"
                                                 : "<ParGen><BACnet_Desc_Chars_Limit>0</BACnet_Desc_Chars_Limit></ParGen>"));
    }
    void Fill(int grid, int count)
    {
        VOruVizizaZezo* g = w->Grids[grid];
        for (int r = 1; r <= count; ++r)
            Put(*g, r, Obj("Integer Value", "0", "1"));
    }
    std::vector<platform::ShownDialog> Check(bool* ok)
    {
        platform::DialogScript script;
        *ok = w->Controllo_dati();
        return script.Shown();
    }
};

TEST_F(BACnetSlave, Checks)
{
    Run_Checks({
        {0, Obj("Analog Input", "0", "4"), "", "a plain object"},
        {0, Obj("Analog Input", "0", "4", {{2, ""}}), kRd + "Eng. Unit must be between 0 and 65535", "empty unit"},
        {0, Obj("Analog Input", "0", "4", {{2, "65536"}}), kRd + "Eng. Unit must be between 0 and 65535", "unit"},
        {0, Obj("Analog Input", "1500", "1"), kRd + "Position must be between 0 and 1499", "position"},
        {0, Obj("Large Analog Value", "1492", "8"), "", "the last eight bytes"},
        {0, Obj("Large Analog Value", "1493", "8"),
         kRd + "Too many bytes to save starting from the Position indicate", "one byte past the area"},
        {0, Obj("Binary Input", "1499", "99"), "", "a binary object takes its Position only"},
        {0, Obj("Binary Value", "0", "1", {{4, ""}}), kRd + "Bit must be between 0 and 7", "binary needs a bit"},
        {0, Obj("Binary Input", "0", "1", {{4, "8"}}), kRd + "Bit must be between 0 and 7",
         "a bit beyond its range (from a file)"},
        {0, Obj("Analog Input", "0", "4", {{4, ""}}), "", "other types need no bit"},
        {0, Obj("Integer Value", "0", "0"), "", "Integer Value: length not checked"},
        {0, Obj("Analog Input", "0", "5"), kRd + "Length with variable \"Analog Input\" must be between 1 and 4",
         "analog length"},
        {0, Obj("Analog Input", "0", "x"), kRd + "Length with variable \"Analog Input\" must be between 1 and 4",
         "length not a number"},
        {0, Obj("analog input", "0", "9"), "", "the type is compared as stored"},
        {0, Obj("Life Safety Zone", "0", "3"), kRd + "Length with variable \"Life Safety Zone\" must be 1 or 2",
         "life safety"},
        {0, Obj("Access Door", "0", "2"), kRd + "Length with variable \"Access Door\" must be equal to 1", "door"},
        {0, Obj("Accumulator", "1497", "4"), kRd + "Too many bytes to save starting from the Position indicate",
         "four bytes from 1497"},
        {1, Obj("Analog Out", "0", "4"), "", "a plain write object"},
        {1, Obj("Analog Out", "0", "5"), kWr + "Length with variable \"Analog Out\" must be between 1 and 4", "out"},
        {1, Obj("Large Analog Value", "0", "9"),
         kWr + "Length with variable \"Large Analog Value\" must be between 1 and 8", "large"},
        {1, Obj("Binary Out", "0", "1", {{4, ""}}), kWr + "Bit must be between 0 and 7", "binary out bit"},
        {1, Obj("Access Door", "0", "0"), kWr + "Length with variable \"Access Door\" must be equal to 1", "door"},
        {1, Obj("Analog Value", "1499", "2"), kWr + "Too many bytes to save starting from the Position indicate",
         "span"},
        {1, Obj("Analog Out", "0", "4", {{2, "-1"}}), kWr + "Eng. Unit must be between 0 and 65535", "unit"},
    });
}

TEST_F(BACnetSlave, TotalOfObjectsFollowsTheSetting)
{
    Long_Names(true);
    Show();
    EXPECT_EQ(w->ECG_BACnet_in_Read->RowCount(), 1001);
    Fill(0, 600);
    Fill(1, 400);
    bool ok = false;
    EXPECT_TRUE(Check(&ok).empty());
    EXPECT_TRUE(ok);
    Put(*w->ECG_BACnet_in_Write, 401, Obj("Integer Value", "0", "1"));
    auto shown = Check(&ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error!! Too many Requests. Max requests 1000");

    Long_Names(false);
    Show();
    EXPECT_EQ(w->ECG_BACnet_in_Write->RowCount(), 2001);
    Fill(0, 1000);
    Fill(1, 1000);
    EXPECT_TRUE(Check(&ok).empty());
    EXPECT_TRUE(ok);
    Put(*w->ECG_BACnet_in_Read, 1001, Obj("Integer Value", "0", "1"));
    shown = Check(&ok);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error!! Too many Requests. Max requests 2000");
}

TEST_F(BACnetSlave, SavesByteForByteAndKeepsSwap)
{
    const QByteArray file = "<BACnet_to_Modbus>\n"
                            "\t<BACnet_in_Read>\n"
                            "\t\t<row Data_Type=\"Analog Input\" Eng_Unit=\"62\" Position=\"$10\" Bit=\"0\" Length=\"4\" "
                            "Swap=\"Y\" Mnemonic=\"Hall &lt;1>\" />\n"
                            "\t\t<row Data_Type=\"Binary Input\" Eng_Unit=\"95\" Position=\"20\" Bit=\"3\" Length=\"\" "
                            "Swap=\"\" Mnemonic=\"\" />\n"
                            "\t</BACnet_in_Read>\n"
                            "\t<BACnet_in_Write>\n"
                            "\t\t<row Data_Type=\"Analog Out\" Eng_Unit=\"98\" Position=\"0\" Bit=\"0\" Length=\"4\" "
                            "Swap=\"N\" Mnemonic=\"Set\" />\n"
                            "\t</BACnet_in_Write>\n"
                            "</BACnet_to_Modbus>\n"
                            "<!--SW_VERSION = 1.000-->\n";
    ASSERT_TRUE(WriteAll(File(), file));
    EXPECT_TRUE(Show().empty());
    EXPECT_TRUE(w->ECG_BACnet_in_Read->IsHiddenColumn(cSwap));
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()).toStdString(), file.toStdString());

    // An older file without Swap reads "N" and is saved with it.
    WriteAll(File(), "<BACnet_to_Modbus><BACnet_in_Read><row Data_Type=\"Analog Input\" Eng_Unit=\"62\" "
                     "Position=\"0\" Bit=\"0\" Length=\"4\" Mnemonic=\"M\"/></BACnet_in_Read>"
                     "<BACnet_in_Write/></BACnet_to_Modbus>");
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(Row(*w->ECG_BACnet_in_Read, 1), QStringList({"1", "Analog Input", "62", "0", "0", "4", "N", "M"}));
    EXPECT_TRUE(Ok().empty());
    EXPECT_TRUE(ReadAll(File()).contains("Length=\"4\" Swap=\"N\" Mnemonic=\"M\""));

    // Every other attribute is mandatory: the loading stops at that row.
    WriteAll(File(), "<BACnet_to_Modbus><BACnet_in_Read>"
                     "<row Data_Type=\"Analog Input\" Eng_Unit=\"1\" Position=\"0\" Bit=\"0\" Length=\"4\" Mnemonic=\"A\"/>"
                     "<row Data_Type=\"Analog Input\" Eng_Unit=\"2\" Position=\"0\" Length=\"4\" Mnemonic=\"B\"/>"
                     "</BACnet_in_Read><BACnet_in_Write/></BACnet_to_Modbus>");
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, Rule_Missing_Attribute_Message(File(), "BACnet_in_Read", 2, "Bit"));
    EXPECT_EQ(w->Get_Cell(0, cMnemonic, 1), "A");
    EXPECT_EQ(w->Get_Cell(0, cEngUnit, 2), "2");
    EXPECT_EQ(w->Get_Cell(0, cMnemonic, 2), "");
}

TEST_F(BACnetSlave, WriteDataTypeFillsLength)
{
    Show();
    struct Case
    {
        const char* choice;
        const char* length;
    } cases[] = {{"Binary Out", "1"}, {"Large Analog Value", "8"}, {"Multi State Output", "4"},
                 {"Access Door", "1"}, {"Analog Value", "4"}};
    for (const Case& c : cases) {
        w->Set_Cell(1, cLength, 1, "x");
        w->ECG_BACnet_in_Write->OnComboChange(w->ECG_BACnet_in_Write, cDataType, 1, 0, c.choice);
        EXPECT_EQ(w->Get_Cell(1, cLength, 1), c.length) << c.choice;
    }
    EXPECT_EQ(Length_Of_Choice("Binary Input"), "");
    // Another column's choice fills nothing; the read grid fills nothing.
    w->Set_Cell(1, cLength, 1, "x");
    w->ECG_BACnet_in_WriteComboChange(w->ECG_BACnet_in_Write, cStartBit, 1, 0, "Binary Out");
    EXPECT_EQ(w->Get_Cell(1, cLength, 1), "x");
    EXPECT_FALSE(w->ECG_BACnet_in_Read->OnComboChange);
}

TEST_F(BACnetSlave, EngUnitPickerExchange)
{
    Show();
    w->Set_Cell(0, cEngUnit, 1, "62");
    QString seen, line;
    {
        // Other, "per-mille", chosen and confirmed.
        platform::DialogScript script;
        script.AnswerForm([&](QWidget& f) {
            auto& p = dynamic_cast<TFBACnet_Eng_Unit&>(f);
            seen = p.E_Selected_EU->Text();
            line = p.Label5->Caption();
            p.CB_Select_Type->SetItemIndex(22);
            p.CB_Select_TypeSelect(nullptr);
            p.CB_Select_Unit->SetItemIndex(p.CB_Select_Unit->Items().indexOf("per-mille"));
            p.Btn_Select_Eng_UnitClick(nullptr);
            p.SetModalResult(platform::mrOk);
        });
        w->ECG_BACnet_in_ReadDblClickCell(w->ECG_BACnet_in_Read, 1, cEngUnit);
        EXPECT_EQ(script.Unanswered(), 0);
    }
    EXPECT_EQ(seen, "62");
    EXPECT_EQ(line, "-> degrees-Celsius");
    EXPECT_EQ(w->Get_Cell(0, cEngUnit, 1), "207");

    // A number typed by hand comes back as typed; Cancel changes nothing.
    {
        platform::DialogScript script;
        script.AnswerForm([&](QWidget& f) {
            auto& p = dynamic_cast<TFBACnet_Eng_Unit&>(f);
            line = p.Label5->Caption();
            p.E_Selected_EU->SetText("300");
            p.SetModalResult(platform::mrOk);
        });
        script.AnswerForm([&](QWidget& f) {
            auto& p = dynamic_cast<TFBACnet_Eng_Unit&>(f);
            p.E_Selected_EU->SetText("5");
            p.SetModalResult(platform::mrCancel);
        });
        w->ECG_BACnet_in_WriteDblClickCell(w->ECG_BACnet_in_Write, 2, cEngUnit);
        EXPECT_EQ(line, "-> unknown");  // an empty cell
        EXPECT_EQ(w->Get_Cell(1, cEngUnit, 2), "300");
        w->ECG_BACnet_in_WriteDblClickCell(w->ECG_BACnet_in_Write, 2, cEngUnit);
        EXPECT_EQ(w->Get_Cell(1, cEngUnit, 2), "300");
    }
    // Other columns and the header row open nothing.
    platform::DialogScript script;
    w->ECG_BACnet_in_ReadDblClickCell(w->ECG_BACnet_in_Read, 1, cPosition);
    w->ECG_BACnet_in_ReadDblClickCell(w->ECG_BACnet_in_Read, 0, cEngUnit);
    EXPECT_TRUE(script.Shown().empty());
}
