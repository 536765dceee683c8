// BACnet EDE files and units: the EDE reader over hand-made files in the
// layouts it reads (and damaged ones), the engineering-unit picker, and the
// EDE export written byte for byte and read back by the reader.
#include "protocols/UBACnet_EDE_File.h"
#include "protocols/UBACnet_Eng_Unit.h"
#include "protocols/UImportEDEFile.h"

#include "rules/UText_File_Writer.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "widgets/LbButton.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

// The header of the full layout: "# mandatory" on line 7, objects from line 9.
const QStringList kFullHeader = {
    "PROJECT_NAME;Plant;;;", "VERSION_OF_REFERENCEFILE;3;;", "TIMESTAMP_OF_LAST_CHANGE;x;", "AUTHOR_OF_LAST_CHANGE;y;",
    "VERSION_OF_LAYOUT;2;", "",
    "#mandatory;mandatory;mandatory;mandatory;mandatory;optional;optional;optional;optional;optional;optional;optional;"
    "optional;optional;optional;optional",
    "# keyname;device obj.-instance;object-name;object-type;object-instance;description;present-value-default;..."};

QString Summary(const TBACnet_Var& v)
{
    return QStringList{v.object_name, QString::number(v.object_type), QString::number(v.object_instance),
                       v.description, v.commandable ? "C" : "-", v.write ? "W" : "-", v.unit_code,
                       v.vendor_specific_address}
        .join('|');
}

} // namespace

TEST(EDEReader, LayoutsAndLines)
{
    struct Case
    {
        QStringList lines;
        QStringList objects;
        const char* why;
    };
    const std::vector<Case> cases = {
        {kFullHeader + QStringList{"k;10;AV1;2;1;Setpoint;20;0;100;Y;N;90;10;;62;40001;extra;"},
         {"AV1|2|1|Setpoint|C|W|62|40001;extra"}, "the full layout, vendor address keeps its inner ';'"},
        {kFullHeader + QStringList{"k;10;BI1;3;2;Alarm;;;;n;y;;;1;;", "", "   ", "k;10;Dev;8;10;Device;;;;;;;;;;"},
         {"BI1|3|2|Alarm|-|-||"}, "empty lines skipped, a Device object dropped"},
        {kFullHeader + QStringList{"k;10;AV2;2;3;Last field"}, {"AV2|2|3||-|-||"},
         "a last field without ';' is empty"},
        {kFullHeader + QStringList{"k;10;AV3;x;3;d;", "k;10;AV4;2;y;d;;;;y;"}, {"AV4|2|-1|d|C|W||"},
         "numbers that do not convert: a type of -1 is dropped, an instance of -1 kept"},
        {QStringList{"", "VERSION;1;", "x", "", "VERSION_OF_LAYOUT;2;",
                     "# mandatory;mandatory;mandatory;mandatory;mandatory;optional;optional;", "# keyname;...",
                     "1_A_0;1;A;0;0;A;62;"},
         {"A|0|0|A|-|-||"}, "the exported layout: the header found on line 6 by the scan"},
        {QStringList{"#  mandatory;", "skipped", "k;1;A;13;0;A;", "#mandatory", "skipped", "k;1;B;14;0;B;"},
         {"B|14|0|B|-|-||"}, "a short file: the last header wins"},
        {QStringList{"k;1;A;0;0;A;", "k;1;B;1;0;B;"}, {}, "no header: nothing"},
        {QStringList{}, {}, "an empty file"},
        {QStringList{"# optional;", "", "", "", "", "", "# mandatory;", "", "k;1;A;46;7;A;"}, {"A|46|7|A|-|-||"},
         "the header on line 7 itself"},
    };
    for (const Case& c : cases) {
        QStringList got;
        for (const TBACnet_Var& v : Parse_EDE_Lines(c.lines))
            got << Summary(v);
        EXPECT_EQ(got, c.objects) << c.why;
    }
}

TEST(EDEReader, ConversionsOfTheAcceptedTypes)
{
    struct Case
    {
        int type;
        const char* name;
        const char* data;
        int bytes;
    };
    const Case cases[] = {{0, "Analog Input", "Real", 4},          {5, "Binary Value", "Enumerated", 1},
                          {19, "Multi-State Value", "Unsigned Int", 4}, {22, "Life Safety Zone", "Enumerated", 2},
                          {45, "Integer Value", "Signed Int", 4},  {46, "Large Analog Value", "Double", 8},
                          {8, "", "Null", 4},                      {-1, "", "Null", 4}};
    for (const Case& c : cases) {
        EXPECT_EQ(Get_ObjType_EDE(c.type), c.name) << c.type;
        EXPECT_EQ(Get_DataType_EDE(c.type), c.data) << c.type;
        EXPECT_EQ(Get_NumByte_EDE(c.type), c.bytes) << c.type;
        EXPECT_EQ(EDE_Type_Accepted(c.type), QString(c.name) != "") << c.type;
    }
}

TEST(EDEImportDialog, ListsTheFileAndGuardsTheWriteBox)
{
    Load_English_Table();
    QTemporaryDir dir;
    const QString path = dir.filePath("device.csv");
    ASSERT_TRUE(WriteAll(path, (kFullHeader + QStringList{"k;1;Temp;0;1;Room;;;;N;", "k;1;Set;2;2;Setpoint;;;;Y;"})
                                   .join("\r\n")
                                   .toUtf8()));
    TFImportEDEFile d;
    d.EDE_File = path;
    d.FormShow();
    ASSERT_EQ(d.List_EDE_Var.size(), 2u);
    EXPECT_EQ(d.ECG->RowCount(), 3);
    EXPECT_EQ(d.ECG->GetCellEx(3, 1), "N");
    EXPECT_EQ(d.ECG->GetCellEx(3, 2), "Y");

    platform::DialogScript script;
    d.ECGCheckBoxClick(3, 1, true);  // Write on a read-only object
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, "Error line 1!! The Variable is only in read");
    EXPECT_FALSE(d.List_EDE_Var[0]->write);
    EXPECT_EQ(d.ECG->GetCellEx(3, 1), "N");
    d.ECGCheckBoxClick(2, 2, false);
    EXPECT_FALSE(d.List_EDE_Var[1]->read);
    d.Btn_Unselect_AllClick(nullptr);
    EXPECT_FALSE(d.List_EDE_Var[0]->import || d.List_EDE_Var[1]->import);
    d.Btn_Select_AllClick(nullptr);
    EXPECT_TRUE(d.List_EDE_Var[0]->import && d.List_EDE_Var[1]->import);

    // The device field by BACnet type.
    struct Device
    {
        int type;
        QString text;
        QString message;
    };
    const Device devices[] = {{0, "192.168.1.10", ""}, {0, "192.168.1.256", "Error!! IP Address is not correct"},
                              {1, "254", ""},          {1, "255", "Error!! Slave ID must be between 0 and 254"},
                              {2, "anything", ""}};
    for (const Device& c : devices) {
        platform::DialogScript s;
        d.App_BACnet_Type = c.type;
        d.E_ID_IP->SetText(c.text);
        d.SetModalResult(platform::mrNone);
        d.Btn_OKClick(nullptr);
        EXPECT_EQ(d.ModalResult(), c.message.isEmpty() ? platform::mrOk : platform::mrNone) << c.text.toStdString();
        EXPECT_EQ(s.Shown().empty() ? QString() : s.Shown()[0].text, c.message) << c.text.toStdString();
    }

    // A file that cannot be read: the platform's message, an empty list.
    d.EDE_File = dir.filePath("none.csv");
    platform::DialogScript s;
    d.FormShow();
    EXPECT_EQ(s.Shown().size(), 1u);
    EXPECT_TRUE(d.List_EDE_Var.empty());
    EXPECT_EQ(d.ECG->RowCount(), 2);
}

TEST(EngineeringUnits, NamesAndQuantities)
{
    EXPECT_EQ(Desc_Unit(207), "per-mille");
    EXPECT_EQ(Desc_Unit(0), "square-meters");
    EXPECT_EQ(Desc_Unit(51), "housepower");
    EXPECT_EQ(Desc_Unit(62), "degrees-Celsius");
    EXPECT_EQ(Desc_Unit(139), "megajoules-hours-per-square-meter");
    EXPECT_EQ(BACnet_Unit_List_Name(139), "megajoules-per-square-meter");
    EXPECT_EQ(Desc_Unit(172), "ohm-meters");
    EXPECT_EQ(BACnet_Unit_List_Name(172), "ohms-meters");
    EXPECT_EQ(Desc_Unit(236), "minutes-per-degree-kelvin");
    EXPECT_EQ(Desc_Unit(237), "unknown");
    EXPECT_EQ(Desc_Unit(-1), "unknown");

    // Every unit is offered once, under one quantity.
    std::multiset<int> offered;
    const QStringList quantities = BACnet_Unit_Quantities();
    ASSERT_EQ(quantities.size(), 23);
    for (int q = 0; q < quantities.size(); ++q)
        for (int u : BACnet_Units_Of(q))
            offered.insert(u);
    EXPECT_EQ(offered.size(), 237u);
    for (int u = 0; u <= 236; ++u)
        EXPECT_EQ(offered.count(u), 1u) << u;
    EXPECT_TRUE(BACnet_Units_Of(23).empty());
}

TEST(EngineeringUnits, PickerHandsBackTheNumber)
{
    Load_English_Table();
    TFBACnet_Eng_Unit picker;
    picker.CB_Select_Type->SetItemIndex(22);  // Other
    picker.CB_Select_TypeSelect(nullptr);
    picker.CB_Select_Unit->SetText("per-mille");
    picker.Btn_Select_Eng_UnitClick(nullptr);
    EXPECT_EQ(picker.E_Selected_EU->Text(), "207");
    EXPECT_EQ(picker.Label5->Caption(), "-> per-mille");

    picker.CB_Select_Type->SetItemIndex(1);  // Area
    picker.CB_Select_TypeSelect(nullptr);
    EXPECT_EQ(picker.CB_Select_Unit->ItemIndex(), 0) << "the first unit of a chosen quantity";
    EXPECT_EQ(picker.CB_Select_Unit->Items(),
              QStringList({"square-meters", "square-centimeters", "square-feet", "square-inches"}));
    picker.Btn_Select_Eng_UnitClick(nullptr);
    EXPECT_EQ(picker.E_Selected_EU->Text(), "0");
}

class EDEExport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        parGen = dir.filePath("ParGen.xml");
        slave = dir.filePath("BACnet_Slave_SetAccess.xml");
    }
    QStringList Lines(QString* error = nullptr)
    {
        QStringList lines;
        QString e;
        ok = Build_EDE_Lines(parGen, slave, QDateTime(QDate(2026, 3, 4), QTime(9, 5, 7)), &lines, &e);
        if (error)
            *error = e;
        return lines;
    }
    QTemporaryDir dir;
    QString parGen, slave;
    bool ok = false;
};

const QByteArray kSlave =
    "<BACnet_to_Modbus>"
    "<BACnet_in_Read>"
    "<row Data_Type=\"Analog Value\" Eng_Unit=\"62\" Position=\"0\" Bit=\"\" Length=\"4\" Swap=\"N\" "
    "Mnemonic=\"Supply air temperature\"/>"
    "<row Data_Type=\"Binary Input\" Eng_Unit=\"95\" Position=\"4\" Bit=\"0\" Length=\"1\" Swap=\"N\" Mnemonic=\"Fan\"/>"
    "<row Data_Type=\"analog value \" Eng_Unit=\"98\" Position=\"5\" Bit=\"\" Length=\"2\" Swap=\"N\" Mnemonic=\"Valve\"/>"
    "</BACnet_in_Read>"
    "<BACnet_in_Write>"
    "<row Data_Type=\"Analog Value\" Eng_Unit=\"62\" Position=\"0\" Bit=\"\" Length=\"4\" Swap=\"N\" Mnemonic=\"Set\"/>"
    "<row Data_Type=\"Unknown\" Eng_Unit=\"0\" Position=\"4\" Bit=\"\" Length=\"4\" Swap=\"N\" Mnemonic=\"Odd\"/>"
    "</BACnet_in_Write>"
    "</BACnet_to_Modbus>";

TEST_F(EDEExport, FileByteForByte)
{
    ASSERT_TRUE(WriteAll(parGen, "<ParGen><BACnet_Type>1</BACnet_Type><BACnet_DEV_IDE>7</BACnet_DEV_IDE>"
                                 "<BACnet_Ser_DEV_IDE>1234</BACnet_Ser_DEV_IDE></ParGen>"));
    ASSERT_TRUE(WriteAll(slave, kSlave));
    const QStringList lines = Lines();
    ASSERT_TRUE(ok);
    const QByteArray expected =
        "\r\n"
        "VERSION_OF_REFERENCEFILE;1.0;;;;;;\r\n"
        "TIMESTAMP_OF_LAST_CHANGE;09:05:07 04/03/2026;;;;;;\r\n"
        "\r\n"
        "VERSION_OF_LAYOUT;2;;;;;;\r\n"
        "# mandatory;mandatory;mandatory;mandatory;mandatory;optional;optional;\r\n"
        "# keyname;device obj.-instance;object-name;object-type;object-instance;description;unit-code;\r\n"
        "1234_Supply air temperature_0;1234;Supply air tempe;2;0;Supply air tempe;62;\r\n"
        "1234_Fan_0;1234;Fan;3;0;Fan;95;\r\n"
        "1234_Valve_1;1234;Valve;2;1;Valve;98;\r\n"
        "1234_Set_2;1234;Set;2;2;Set;62;\r\n"
        "1234_Odd_0;1234;Odd;0;0;Odd;0;\r\n";
    EXPECT_EQ(Text_File_Bytes(lines, Text_Format_8Bit), expected);

    // The import reads back what the export wrote.
    QStringList names;
    for (const TBACnet_Var& v : Parse_EDE_Lines(lines))
        names << v.object_name + "/" + QString::number(v.object_type) + "/" + QString::number(v.object_instance);
    EXPECT_EQ(names, QStringList({"Supply air tempe/2/0", "Fan/3/0", "Valve/2/1", "Set/2/2", "Odd/0/0"}));

    // Long descriptions; the IP device identifier.
    ASSERT_TRUE(WriteAll(parGen, "<ParGen><BACnet_Type>0</BACnet_Type><BACnet_DEV_IDE>7</BACnet_DEV_IDE>"
                                 "<BACnet_Desc_Chars_Limit>1</BACnet_Desc_Chars_Limit></ParGen>"));
    EXPECT_EQ(Lines()[7], "7_Supply air temperature_0;7;Supply air temperature;2;0;Supply air temperature;62;");
}

TEST_F(EDEExport, MissingAndDamagedFiles)
{
    // No project files: the header alone; no ParGen: an empty device field.
    EXPECT_EQ(Lines().size(), 7);
    EXPECT_TRUE(ok);
    ASSERT_TRUE(WriteAll(slave, kSlave));
    EXPECT_EQ(Lines()[8], "_Fan_0;;Fan;3;0;Fan;95;");

    struct Case
    {
        QByteArray slave;
        const char* needle;
        const char* why;
    };
    const std::vector<Case> cases = {
        {"<BACnet_to_Modbus><BACnet_in_Read><row Data_Type=\"Analog Input\" Eng_Unit=\"1\" Mnemonic=\"a;b\"/>"
         "</BACnet_in_Read><BACnet_in_Write/></BACnet_to_Modbus>",
         "a;b", "a ';' would shift the columns"},
        {"<BACnet_to_Modbus><BACnet_in_Read><row Data_Type=\"Analog Input\" Mnemonic=\"a\"/></BACnet_in_Read>"
         "<BACnet_in_Write/></BACnet_to_Modbus>",
         "lacks", "an attribute missing"},
        {"<BACnet_to_Modbus><BACnet_in_Read/></BACnet_to_Modbus>", "BACnet_in_Write", "a list missing"},
        {"<BACnet_to_Modbus><BACnet_in_Read>", "", "not well-formed"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteAll(slave, c.slave));
        QString error;
        Lines(&error);
        EXPECT_FALSE(ok) << c.why;
        EXPECT_TRUE(error.contains(c.needle)) << c.why << ": " << error.toStdString();
    }

    // Through the button's path: nothing is written after a refusal.
    Load_English_Table();
    FileName_ParGen = parGen;
    FileName_BACnet_Slave_SetAccess = slave;
    const QString target = dir.filePath("out.csv");
    platform::DialogScript script;
    EXPECT_FALSE(Export_EDE_File(target));
    EXPECT_EQ(script.Shown().size(), 1u);
    EXPECT_FALSE(QFile::exists(target));
    FileName_ParGen.clear();
    FileName_BACnet_Slave_SetAccess.clear();
}
