// BACnet master rules: the row checks of both grids as one table, the address
// column by the BACnet type, the file written and read back byte for byte,
// the read hint, and the EDE import from a file the EDE export wrote of a
// slave table (where rows go, which Positions they take, what does not fit).
#include "protocols/UBACnetAccess.h"
#include "protocols/UBACnet_EDE_File.h"
#include "protocols/UImportEDEFile.h"

#include "../fieldbus/RuleMemberTest.h"

#include "platform/Controls.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

QStringList Read(std::initializer_list<std::pair<int, QString>> changes)
{
    // Enable, Address, Object Type, Instance, Property, NByte, En Dest, D Net, D Len, D Add, Poll Time, Max Err,
    // Position, Start Bit, Mnemonic.
    QStringList r = {"Y", "10.0.0.1", "Analog Input", "5", "Present Value (85)", "4", "N", "", "", "", "1000", "0",
                     "0", "0", "M"};
    for (const auto& [col, text] : changes)
        r[col - 1] = text;
    return r;
}

QStringList Write(std::initializer_list<std::pair<int, QString>> changes)
{
    // Enable, Address, Object Type, Data Type, Instance, Property, Priority, NByte, En Dest, D Net, D Len, D Add,
    // Change, Timer, Poll Time, Max Err, Position, Start Bit, Mnemonic.
    QStringList r = {"Y", "10.0.0.1", "Analog Output", "Real", "5", "Present Value (85)", "0", "4", "N", "", "", "",
                     "N", "N", "1000", "0", "0", "0", "M"};
    for (const auto& [col, text] : changes)
        r[col - 1] = text;
    return r;
}

const QString kR = "Error in Read, row 1";
const QString kW = "Error in Write, row 1";

using namespace bacnet;

} // namespace

class BACnetMaster : public Member<TFBACnetAccess>
{
protected:
    void SetUp() override
    {
        Member<TFBACnetAccess>::SetUp();
        Type(0);
    }
    void Type(int type)
    {
        ASSERT_TRUE(WriteAll(FileName_ParGen, "<ParGen><BACnet_Master_Type>" + QByteArray::number(type)
                                                  + "</BACnet_Master_Type></ParGen>"));
    }
    // An EDE file as the export writes it from a slave table.
    QString Export_EDE(const QByteArray& slaveRows)
    {
        const QString parGen = dir.filePath("slave/ParGen.xml");
        const QString slave = dir.filePath("slave/BACnet_Slave_SetAccess.xml");
        QDir().mkpath(dir.filePath("slave"));
        EXPECT_TRUE(WriteAll(parGen, "<ParGen><BACnet_Type>0</BACnet_Type><BACnet_DEV_IDE>77</BACnet_DEV_IDE></ParGen>"));
        EXPECT_TRUE(WriteAll(slave, "<BACnet_to_Modbus><BACnet_in_Read>" + slaveRows
                                        + "</BACnet_in_Read><BACnet_in_Write/></BACnet_to_Modbus>"));
        QStringList lines;
        QString error;
        EXPECT_TRUE(Build_EDE_Lines(parGen, slave, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)), &lines, &error))
            << error.toStdString();
        const QString path = dir.filePath("ede/device.csv");
        QDir().mkpath(dir.filePath("ede"));
        EXPECT_TRUE(WriteAll(path, lines.join("\r\n").toLatin1() + "\r\n"));
        return path;
    }
    // The import with the file chosen and the dialog answered with OK.
    std::vector<platform::ShownDialog> Import(const QString& path, const QString& address,
                                              std::function<void(TFImportEDEFile&)> choose = {})
    {
        platform::DialogScript script;
        script.AnswerFile(path);
        script.AnswerForm([&](QWidget& f) {
            auto& d = dynamic_cast<TFImportEDEFile&>(f);
            if (choose)
                choose(d);
            d.E_ID_IP->SetText(address);
            d.Btn_OKClick(nullptr);
        });
        w->Btn_Import_CSVClick(nullptr);
        return script.Shown();
    }
};

TEST_F(BACnetMaster, Checks)
{
    Run_Checks({
        {0, Read({}), "", "a plain read rule"},
        {0, Read({{1, "N"}, {3, "Device"}, {4, "x"}}), "", "a disabled rule is not checked"},
        {0, Read({{2, "192.168.1.256"}}), kR + "!! IP Address is not correct", "a part above 255"},
        {0, Read({{2, "10.0.0"}}), kR + "!! IP Address is not correct", "three parts"},
        {0, Read({{3, "Device"}}), kR + "!! Object Type is not correct. Select one from the list", "unknown type"},
        {0, Read({{3, " analog input "}}), "", "type compared trimmed, any case"},
        {0, Read({{3, "128"}}), "", "a proprietary object type"},
        {0, Read({{3, "1024"}}), kR + "!! Object Type is not correct. Select one from the list", "beyond proprietary"},
        {0, Read({{4, "4294967295"}}), "", "largest instance"},
        {0, Read({{4, "4294967296"}}), kR + "!! Instance must be between 0 and 4294967295", "instance too big"},
        {0, Read({{4, "-1"}}), kR + "!! Instance must be between 0 and 4294967295", "negative instance"},
        {0, Read({{3, "Binary Input"}, {5, "Units (117)"}}),
         kR + "!! Property is not correct. Select one from the list", "binary objects have no units"},
        {0, Read({{5, "Units (117)"}}), "", "an analog input has units"},
        {0, Read({{5, "600"}}), "", "a proprietary property"},
        {0, Read({{5, "511"}}), kR + "!! Property is not correct. Select one from the list", "below proprietary"},
        {0, Read({{5, "Scale (187)"}}), kR + "!! Property is not correct. Select one from the list",
         "scale: accumulator only"},
        {0, Read({{3, "Accumulator"}, {5, "Scale (187)"}}), "", "scale of an accumulator"},
        {0, Read({{3, "Binary Value"}, {5, "Polarity (84)"}}), "", "polarity of a binary object"},
        {0, Read({{3, "Multi-State Value"}, {5, "Number of States (74)"}}), "", "states of a multi-state object"},
        {0, Read({{6, "256"}}), kR + "!! NByte must be between 0 and 255", "NByte"},
        {0, Read({{7, "N"}, {8, "0"}, {9, "x"}}), "", "destination off: not checked"},
        {0, Read({{7, "y"}, {8, "0"}}), kR + "!! Destination Network must be between 1 and 65535", "network"},
        {0, Read({{7, "Y"}, {8, "5"}, {9, "1"}, {10, "255"}}), "", "one-byte address"},
        {0, Read({{7, "Y"}, {8, "5"}, {9, "1"}, {10, "256"}}),
         kR + "!! Destination Address must be between 0 and 255", "one-byte address too big"},
        {0, Read({{7, "Y"}, {8, "5"}, {9, "2"}, {10, "0"}}),
         kR + "!! Destination Address must be between 1 and 65535", "two-byte address 0"},
        {0, Read({{7, "Y"}, {8, "5"}, {9, "6"}, {10, "192.168.0.15:47808"}}), "", "IP and port"},
        {0, Read({{7, "Y"}, {8, "5"}, {9, "6"}, {10, "192.168.0.15"}}),
         kR + "!! Destination Address must be in correct form, IP Address plus Port (ex. 192.168.0.15:47808)",
         "IP without port"},
        {0, Read({{7, "Y"}, {8, "5"}, {9, "3"}, {10, "1"}}), kR + "!! Destination Lenght must be 1 or 2 or 6",
         "another number"},
        {0, Read({{7, "Y"}, {8, "5"}, {9, ""}}), kR + "!! Destination Length is Wrong, choose one in List",
         "empty length"},
        {0, Read({{7, "Y"}, {8, "5"}, {9, "M9"}}), kR + "!! Destination Length is Wrong, choose one in List", "M9"},
        {0, Read({{7, "Y"}, {8, "5"}, {9, "m3"}, {10, " 1 , 2 ,3 "}}), "", "three bytes with blanks"},
        {0, Read({{7, "Y"}, {8, "5"}, {9, "M3"}, {10, "1,2,3,"}}), "", "a closing comma adds no byte"},
        {0, Read({{7, "Y"}, {8, "5"}, {9, "M3"}, {10, "1,2"}}), kR + "!! Destination Address has too few bytes",
         "two of three"},
        {0, Read({{7, "Y"}, {8, "5"}, {9, "M3"}, {10, "1,2,3,4"}}), kR + "!! Destination Address has too many bytes",
         "four of three"},
        {0, Read({{7, "Y"}, {8, "5"}, {9, "M3"}, {10, "1,300,3"}}),
         kR + "!! Bytes of Destination Address must be between 0 and 255", "a byte too big"},
        {0, Read({{7, "Y"}, {8, "5"}, {9, "M3"}, {10, ""}}), kR + "!! Destination Address has too few bytes",
         "an empty list is refused with a message, not silently"},
        {0, Read({{11, "100000001"}}), kR + "!! Poll Time must be between 0 and 100000000 ms", "poll time"},
        {0, Read({{12, "65536"}}), kR + "!! Max Err must be between 0 and 655535", "max err (text as stored)"},
        {0, Read({{13, "1436"}, {6, "4"}}), "", "the last four bytes"},
        {0, Read({{13, "1437"}, {6, "4"}}), kR + "!! Position plus NByte must be minor or equal to 1440",
         "past the data area"},
        {0, Read({{13, ""}}), kR + "!! Position must be between 0 and 1439", "no position"},
        {0, Read({{14, "8"}}), kR + "!! Start Bit must be between 0 and 7", "start bit"},
        {0, Read({{14, ""}}), "", "no start bit"},

        {1, Write({}), "", "a plain write rule"},
        {1, Write({{2, "1.2.3.4.5"}}), kW + "!! IP Address is not correct", "five parts"},
        {1, Write({{3, "Analog Input"}}), kW + "!! Object Type is not correct. Select one from the list",
         "an input cannot be written"},
        {1, Write({{3, "Life Safety Point"}, {4, "Enumerated"}}), kW + "!! Data Type is not correct",
         "life safety passes the type, no data type fits"},
        {1, Write({{3, "Positive Integer Value"}}), kW + "!! Data Type is not correct. Aspected Data Type is Unsigned Int",
         "expected type named"},
        {1, Write({{3, "Large Analog Value"}, {4, "Double"}, {8, "9"}}), kW + "!! NByte must be between 0 and 8",
         "NByte by data type"},
        {1, Write({{3, "Binary Output"}, {4, "enumerated"}, {8, "1"}}), "", "enumerated binary output"},
        {1, Write({{4, "Octet String"}, {6, "600"}, {8, "255"}}), "", "proprietary property: any data type"},
        {1, Write({{4, "Octet String"}, {6, "600"}, {8, "256"}}), kW + "!! NByte must be between 0 and 255",
         "proprietary property: bounded by its data type"},
        {1, Write({{6, "Units (117)"}}), kW + "!! Property is not correct. Select one from the list",
         "only the Present Value is written"},
        {1, Write({{3, "200"}, {4, "Null"}, {8, "0"}}), "", "proprietary object type"},
        {1, Write({{5, "4294967296"}}), kW + "!! Instance must be between 0 and 4294967295", "instance"},
        {1, Write({{7, "17"}}), kW + "!! Priority must be between 0 and 16", "priority"},
        {1, Write({{15, ""}}), "", "no timer: poll time free"},
        {1, Write({{14, "y"}, {15, ""}}), kW + "!! Poll Time must be between 0 and 100000000", "timer needs it"},
        {1, Write({{9, "Y"}, {10, "70000"}}), kW + "!! Destination Network must be between 1 and 65535", "network"},
        {1, Write({{9, "Y"}, {10, "1"}, {11, "M2"}, {12, "1,2,3"}}), kW + "!! Destination Address has too many bytes",
         "write messages"},
        {1, Write({{16, "-1"}}), kW + "!! Max Err must be between 0 and 655535", "max err"},
        {1, Write({{17, "1439"}, {8, "4"}}), kW + "!! Position plus NByte must be minor or equal to 1440", "span"},
    });
}

TEST_F(BACnetMaster, AddressColumnFollowsTheBACnetType)
{
    Type(1);
    Run_Checks({
        {0, Read({{2, "254"}}), "", "highest slave ID"},
        {0, Read({{2, "255"}}), kR + "!! Slave ID must be between 0 and 254", "slave ID"},
        {1, Write({{2, "10.0.0.1"}}), kW + "!! Slave ID must be between 0 and 254", "an IP is no slave ID"},
    });
    EXPECT_EQ(w->ECG1->Columns().GetItem(2)->Header(), "Slave ID");
    EXPECT_FALSE(w->ECG1->IsHiddenColumn(2));

    // Without an address the column is hidden, not checked, and the Object
    // Type ends the table.
    Type(7);
    Show();
    EXPECT_TRUE(w->ECG1->IsHiddenColumn(2));
    EXPECT_TRUE(w->ECG2->IsHiddenColumn(2));
    EXPECT_EQ(w->ECG1->Columns().GetItem(2)->Header(), "IP Address");
    Put(*w->ECG1, 1, Read({{2, ""}}));
    Put(*w->ECG1, 2, Read({{2, "junk"}, {13, "8"}}));
    Put(*w->ECG1, 4, Read({{3, "Device"}}));  // below the end: neither checked nor saved
    EXPECT_TRUE(Ok().empty());
    const QByteArray saved = ReadAll(File());
    EXPECT_EQ(saved.count("<row "), 2);
    EXPECT_TRUE(saved.contains("IP_Address_Slave_ID=\"junk\""));

    // Back to an IP type: the column shows again and the table ends at the
    // first empty address (row 1 here).
    Type(0);
    Show();
    EXPECT_FALSE(w->ECG1->IsHiddenColumn(2));
    EXPECT_EQ(Rule_Count(w->Form().grids[0], w->Grid_Rows(0)), 0);

    // Without the setting the window says so and works as BACnet/IP.
    QFile::remove(FileName_ParGen);
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Select the BACnet Type in the \"Set Communication\" section");
    EXPECT_EQ(w->App_BACnet_Type, 0);
}

TEST_F(BACnetMaster, SavesByteForByteAndReadsDefaults)
{
    const QByteArray file =
        "<BACnet_Master_Access>\n"
        "\t<BACnet_Read>\n"
        "\t\t<row Enable=\"Y\" IP_Address_Slave_ID=\"10.0.0.1\" Object_Type=\"Analog Input\" Instance=\"$10\" "
        "Property=\"Present Value (85)\" NumByte=\"4\" Enable_Destination=\"Y\" Destination_Network=\"5\" "
        "Destination_Length=\"M2\" Destination_Address=\"1,2\" PollTime=\"1000\" MaxError=\"0\" Position=\"0\" "
        "StartBit=\"0\" Mnemonic=\"Temp &amp; &quot;x&quot;\" />\n"
        "\t\t<row Enable=\"N\" IP_Address_Slave_ID=\"10.0.0.2\" Object_Type=\"bad\" Instance=\"\" Property=\"\" "
        "NumByte=\"\" Enable_Destination=\"N\" Destination_Network=\"\" Destination_Length=\"\" "
        "Destination_Address=\"\" PollTime=\"\" MaxError=\"\" Position=\"\" StartBit=\"\" Mnemonic=\"\" />\n"
        "\t</BACnet_Read>\n"
        "\t<BACnet_Write>\n"
        "\t\t<row Enable=\"Y\" IP_Address_Slave_ID=\"10.0.0.1\" Object_Type=\"Analog Value\" Data_Type=\"Real\" "
        "Instance=\"1\" Property=\"Present Value (85)\" Priority=\"8\" NumByte=\"4\" Enable_Destination=\"N\" "
        "Destination_Network=\"\" Destination_Length=\"\" Destination_Address=\"\" OnChange=\"Y\" OnTimer=\"N\" "
        "PollTime=\"\" MaxError=\"3\" Position=\"100\" StartBit=\"0\" Mnemonic=\"Set\" />\n"
        "\t</BACnet_Write>\n"
        "</BACnet_Master_Access>\n"
        "<!--SW_VERSION = 1.001-->\n";
    ASSERT_TRUE(WriteAll(File(), file));
    EXPECT_TRUE(Show().empty());
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), file);

    // Every attribute has a default.
    WriteAll(File(), "<BACnet_Master_Access><BACnet_Read><row Object_Type=\"Analog Input\"/></BACnet_Read>"
                     "<BACnet_Write><row/></BACnet_Write></BACnet_Master_Access>");
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(Row(*w->ECG1, 1), QStringList({"1", "Y", "", "Analog Input", "", "", "", "N", "", "", "", "", "", "",
                                             "", ""}));
    EXPECT_EQ(Row(*w->ECG2, 1), QStringList({"1", "Y", "", "", "", "", "", "", "", "N", "", "", "", "N", "N", "",
                                             "", "", "", ""}));
}

TEST_F(BACnetMaster, ReadHintOverNByte)
{
    struct Case
    {
        const char* type;
        const char* property;
        const char* hint;
    } cases[] = {
        {"Analog Input", "Units (117)", "4"},
        {"Binary Input", "Units (117)", ""},          // not allowed: no size
        {"Binary Input", "Present Value (85)", "1"},
        {"Large Analog Value", "Present Value (85)", "8"},
        {"Analog Value", "Present Value (85)", ""},   // no Present Value size in the table
        {"Accumulator", "PreScale (185)", "5"},
        {"Analog Input", "600", ""},                  // proprietary: size unknown
        {"", "Units (117)", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Str_Hint_Read(c.type, c.property), c.hint) << c.type << " " << c.property;

    Show();
    Put(*w->ECG1, 1, Read({{3, "Large Analog Value"}}));
    QString hint;
    w->ECG1GridHint(w->ECG1, 1, rNByte, hint);
    EXPECT_EQ(hint, "8");
    w->ECG1GridHint(w->ECG1, 1, rInstance, hint);
    EXPECT_EQ(hint, "");
    w->ECG1GridHint(w->ECG2, 1, rNByte, hint);
    EXPECT_EQ(hint, "");
    // With the address hidden the NByte column shows one place further left.
    Type(3);
    Show();
    Put(*w->ECG1, 1, Read({{3, "Large Analog Value"}}));
    w->ECG1GridHint(w->ECG1, 1, rNByte - 1, hint);
    EXPECT_EQ(hint, "8");
}

TEST_F(BACnetMaster, ImportsAnExportedSlaveTableAfterTheRules)
{
    const QString ede = Export_EDE("<row Data_Type=\"Analog Input\" Eng_Unit=\"62\" Position=\"0\" Bit=\"0\" Length=\"4\" "
                                   "Mnemonic=\"Temperature hall 1\"/>"
                                   "<row Data_Type=\"Binary Input\" Eng_Unit=\"95\" Position=\"4\" Bit=\"0\" Length=\"1\" "
                                   "Mnemonic=\"Alarm\"/>"
                                   "<row Data_Type=\"Large Analog Value\" Eng_Unit=\"95\" Position=\"5\" Bit=\"0\" "
                                   "Length=\"8\" Mnemonic=\"Energy\"/>");
    Show();
    Put(*w->ECG1, 1, Read({{13, "0"}, {6, "4"}}));
    Put(*w->ECG1, 2, Read({{13, "10"}, {6, "2"}}));
    const auto shown = Import(ede, "192.168.1.20");
    ASSERT_EQ(shown.size(), 2u);  // the file dialog and the import dialog, nothing else
    EXPECT_EQ(shown[0].request.filter, "BACnet EDE File (*.csv)");
    EXPECT_EQ(Row(*w->ECG1, 3), QStringList({"3", "Y", "192.168.1.20", "Analog Input", "0", "Present Value (85)", "4",
                                             "N", "", "", "", "1000", "0", "12", "0",
                                             "Temperature hall - Temperature hall"}));
    EXPECT_EQ(Row(*w->ECG1, 4)[13], "16");
    EXPECT_EQ(Row(*w->ECG1, 4)[3], "Binary Input");
    EXPECT_EQ(Row(*w->ECG1, 5)[13], "17");
    EXPECT_EQ(Row(*w->ECG1, 5)[6], "8");
    EXPECT_EQ(Row(*w->ECG1, 6)[3], "");
    // Nothing is commandable in an exported file: no write rows.
    EXPECT_EQ(Row(*w->ECG2, 1)[2], "");
    EXPECT_EQ(Last_EDE_Folder, dir.filePath("ede"));

    // The imported rules pass and are saved.
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()).count("<row "), 5);

    // The next choice starts in that folder; a cancelled choice changes nothing.
    platform::DialogScript script;
    script.AnswerFile(QString());
    w->Btn_Import_CSVClick(nullptr);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].request.initialFolder, dir.filePath("ede"));
    EXPECT_EQ(Row(*w->ECG1, 6)[3], "");
}

TEST_F(BACnetMaster, ImportChoosesDirectionsAndUnselectAll)
{
    const QString path = dir.filePath("hand.csv");
    ASSERT_TRUE(WriteAll(path, "PROJECT_NAME;x\r\nVERSION_OF_REFERENCEFILE;1\r\nTIMESTAMP;x\r\nAUTHOR;x\r\n"
                               "VERSION_OF_LAYOUT;2\r\n#comment\r\n# mandatory;mandatory;\r\n# keyname;...\r\n"
                               "k1;9;Setpoint;2;3;Room;20;;;Y;N;;;;62;;\r\n"
                               "k2;9;Device;8;9;dev;;;;Y;;;;;;;\r\n"
                               "k3;9;Level;0;4;Tank;;;;N;;;;;;;\r\n"));
    Show();
    Import(path, "10.1.1.1");
    // The commandable Analog Value gives a read and a write row; the
    // non-commandable input only a read row; the device is not listed.
    EXPECT_EQ(Row(*w->ECG1, 1)[3], "Analog Value");
    EXPECT_EQ(Row(*w->ECG1, 2)[3], "Analog Input");
    EXPECT_EQ(Row(*w->ECG1, 2)[13], "4");
    EXPECT_EQ(Row(*w->ECG2, 1), QStringList({"1", "Y", "10.1.1.1", "Analog Value", "Real", "3", "Present Value (85)",
                                             "0", "4", "N", "", "", "", "N", "N", "1000", "0", "0", "0",
                                             "Setpoint - Room"}));
    EXPECT_EQ(Row(*w->ECG2, 2)[3], "");

    // Unselect All: nothing is added.
    Show();
    Import(path, "10.1.1.1", [](TFImportEDEFile& d) { d.Btn_Unselect_AllClick(nullptr); });
    EXPECT_EQ(Row(*w->ECG1, 1)[3], "");
    EXPECT_EQ(Row(*w->ECG2, 1)[3], "");
}

TEST_F(BACnetMaster, ImportWithoutAddressKeepsTheRules)
{
    // Without an address column every address cell is empty: the import
    // must still follow the rules, not start over them at row 1.
    Type(2);
    const QString ede = Export_EDE("<row Data_Type=\"Analog Value\" Eng_Unit=\"62\" Position=\"0\" Bit=\"0\" Length=\"4\" "
                                   "Mnemonic=\"A\"/>");
    Show();
    Put(*w->ECG1, 1, Read({{2, ""}, {3, "Binary Input"}, {13, "0"}, {6, "1"}}));
    Put(*w->ECG1, 2, Read({{2, ""}, {3, "Analog Input"}, {13, "1"}, {6, "4"}}));
    Import(ede, "");
    EXPECT_EQ(Row(*w->ECG1, 1)[3], "Binary Input");
    EXPECT_EQ(Row(*w->ECG1, 2)[3], "Analog Input");
    EXPECT_EQ(Row(*w->ECG1, 3)[3], "Analog Value");
    EXPECT_EQ(Row(*w->ECG1, 3)[13], "5");
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()).count("<row "), 3);
}

TEST_F(BACnetMaster, ImportBeyondTheTableKeepsWhatFitsAndSaysSo)
{
    QByteArray rows;
    for (int i = 0; i < 3; ++i)
        rows += "<row Data_Type=\"Analog Input\" Eng_Unit=\"62\" Position=\"0\" Bit=\"0\" Length=\"4\" Mnemonic=\"V" +
                QByteArray::number(i) + "\"/>";
    const QString ede = Export_EDE(rows);
    Show();
    for (int r = 1; r <= kMaster_Rows - 2; ++r)
        w->Set_Cell(0, rAddress, r, "10.0.0.1");
    const auto shown = Import(ede, "10.0.0.2");
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].kind, platform::MessageKind::Warning);
    EXPECT_EQ(shown[2].text, Import_Overflow_Message("BACnet Read", 1, kMaster_Rows));
    EXPECT_EQ(Row(*w->ECG1, kMaster_Rows - 1)[15], "V0 - V0");
    EXPECT_EQ(Row(*w->ECG1, kMaster_Rows)[15], "V1 - V1");

    // A full table takes nothing.
    TRule_Rows full(kMaster_Rows, Read({}));
    TBACnet_Var v;
    v.object_type = 0;
    EXPECT_EQ(Import_EDE_Rows(full, rAddress, false, {&v, &v}, "x"), 2);
    EXPECT_EQ(full.back(), Read({}));
}

// RULES_SCREENSHOT_DIR=<dir> saves the EDE import dialog listing a few
// objects and the master window, to be looked at.
TEST_F(BACnetMaster, ImportDialogScreenshot)
{
    const QString out = qEnvironmentVariable("RULES_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "set RULES_SCREENSHOT_DIR to save the window";
    QDir().mkpath(out);
    const QString path = dir.filePath("shot.csv");
    ASSERT_TRUE(WriteAll(path, "PROJECT_NAME;x\r\nVERSION_OF_REFERENCEFILE;1\r\nTIMESTAMP;x\r\nAUTHOR;x\r\n"
                               "VERSION_OF_LAYOUT;2\r\n#comment\r\n# mandatory;mandatory;\r\n# keyname;...\r\n"
                               "k1;9;Setpoint room;2;3;Room temperature set point;20;;;Y;N;;;;62;;\r\n"
                               "k2;9;Temperature;0;1;Room temperature;;;;N;;;;;62;;\r\n"
                               "k3;9;Fan alarm;3;4;Supply fan fault;;;;N;;;;;95;;\r\n"
                               "k4;9;Fan command;4;5;Supply fan start;;;;Y;;;;;95;;\r\n"
                               "k5;9;Energy;46;6;Energy meter total;;;;N;;;;;19;;\r\n"));
    TFImportEDEFile d;
    d.EDE_File = path;
    d.E_ID_IP->SetText("192.168.1.20");
    platform::DialogScript script;
    d.Show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(d.grab().save(QDir(out).filePath("bacnet_import_ede.png")));
    d.Hide();

    // The master window after that import.
    w->Show();
    Put(*w->ECG1, 1, Read({{15, "Outdoor temperature"}}));
    Put(*w->ECG1, 2, Read({{3, "Binary Input"}, {6, "1"}, {13, "4"}, {15, "Pump alarm"}}));
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QDir(out).filePath("bacnet_master.png")));
    w->Hide();
}
