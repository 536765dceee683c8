// The LoRaWAN rules window: its tables at each showing, its checks, the rules
// file it writes, and its row buttons and grid events.
// LORA_SCREENSHOT_DIR=<dir> saves the window with a few rules, to be looked at.
#include "configuration/ULoRa_Set_Access.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/URorudizezFirmWare.h"
#include "support/TestSupport.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "widgets/LbButton.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace platform;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

// One uplink rule as the grid holds it, real columns 1 to 9.
struct Up
{
    QString enable = "Y", start = "0", num = "4", onChange, onCmd, onTimer, time, fport, mnemonic;
    QStringList Cells() const { return {enable, start, num, onChange, onCmd, onTimer, time, fport, mnemonic}; }
};

QByteArray ParGen(const char* payload, const char* fport)
{
    QByteArray xml = "<Par_Gen>\n";
    if (payload)
        xml += QByteArray("\t<LoRa_Payload_Size>") + payload + "</LoRa_Payload_Size>\n";
    if (fport)
        xml += QByteArray("\t<LoRa_FPort>") + fport + "</LoRa_FPort>\n";
    return xml + "</Par_Gen>\n<!--SW_VERSION = 1.005-->\n";
}

// A rules file with n numbered rules in each list, every attribute written.
TLoRa_Rules Numbered_Rules(int uplink, int downlink)
{
    TLoRa_Rules rules;
    for (int i = 0; i < uplink; ++i)
        rules.uplink.push_back({"Y", QString::number(i), "2", "N", "N", "N", "", "1", QStringLiteral("up %1").arg(i)});
    for (int i = 0; i < downlink; ++i)
        rules.downlink.push_back({"Y", QString::number(i), "2", "", QStringLiteral("down %1").arg(i)});
    return rules;
}

class LoRaWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Load_English_Table();
        SW_Code = "DIZ5U15";
        Project_Folder = dir.path();
        FileName_ParGen = dir.filePath("ParGen.xml");
        FileName_LoRaWAN_SetAccess = dir.filePath("LoRaWAN_SetAccess.xml");
        Copy_Row_List.clear();
        Copy_Row_Check.clear();
        Enable_Jump_Field_Tables = Double_Click_Auto_Size = false;
        w = std::make_unique<TFLoRa_Set_Access>();
    }
    void TearDown() override
    {
        w.reset();
        Project_Folder.clear();
        FileName_ParGen.clear();
        FileName_LoRaWAN_SetAccess.clear();
    }

    void Write_ParGen(const char* payload, const char* fport) { ASSERT_TRUE(WriteAll(FileName_ParGen, ParGen(payload, fport))); }
    void Write_Rules(const QByteArray& xml) { ASSERT_TRUE(WriteAll(FileName_LoRaWAN_SetAccess, xml)); }
    QByteArray Rules_File() { return ReadAll(FileName_LoRaWAN_SetAccess); }

    // A showing with its messages; the payload warning is expected where no payload is set.
    std::vector<ShownDialog> Show()
    {
        DialogScript script;
        w->SetModalResult(mrNone);
        w->FormShow();
        return script.Shown();
    }
    // OK under a script; the messages it showed.
    std::vector<ShownDialog> Ok(std::optional<MessageAnswer> answer = {})
    {
        DialogScript script;
        if (answer)
            script.AnswerMessage(*answer);
        w->Btn_OKClick(w->Btn_OK);
        return script.Shown();
    }
    VOruVizizaZezo& Up_Grid() { return *w->ECG_LoRa_Uplink; }
    VOruVizizaZezo& Down_Grid() { return *w->ECG_LoRa_Downlink; }
    void Put(int row, const Up& rule)
    {
        const QStringList cells = rule.Cells();
        for (int c = 1; c <= 9; ++c)
            Up_Grid().SetCellEx(c, row, cells[c - 1]);
    }
    QStringList Up_Row(int row)
    {
        QStringList out;
        for (int c = 0; c <= 9; ++c)
            out << Up_Grid().GetCellEx(c, row);
        return out;
    }

    QTemporaryDir dir;
    std::unique_ptr<TFLoRa_Set_Access> w;
};

const QString kNoPayload = "Warning!! Max Payload Size not Set Up. Set it in \"Set Communication\" section";

} // namespace

TEST_F(LoRaWindow, WindowTextsAndLayout)
{
    EXPECT_EQ(w->Caption(), "Set LoRaWAN Access");
    EXPECT_EQ(w->L_SW_Code->Caption(), "DIZ5U15");
    EXPECT_EQ(w->L_SW_Desc->Caption(), "Set LoRaWAN Access");
    EXPECT_EQ(w->ClientWidth(), 900);
    EXPECT_EQ(w->P_Title->Height(), 69);
    EXPECT_EQ(w->P_Button->Height(), 40);
    struct Button
    {
        TLbButton* button;
        const char* caption;
        const char* hint;
    };
    const Button buttons[] = {
        {w->Btn_OK, "OK", "Confirm and save the LoRaWAN Access List"},
        {w->Btn_Cancel, "Cancel", "Exit without save the LoRaWAN Access List"},
        {w->Btn_DelRow, "Delete Row", "Delete the Selected Row in the table"},
        {w->Btn_InsRow, "Insert Row", "Insert a Row in the Table"},
        {w->Btn_CopyRow, "Copy Row", "Copy all Fields of the Selected Row"},
        {w->Btn_PasteRow, "Paste Row", "Paste the Copied Fields in the Selected Row"},
    };
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(buttons[i].caption);
        EXPECT_EQ(buttons[i].button->Caption(), buttons[i].caption);
        EXPECT_EQ(buttons[i].button->Hint(), buttons[i].hint);
        EXPECT_EQ(buttons[i].button->Width(), 110);
        if (i > 0) {
            EXPECT_EQ(buttons[i].button->Left(), buttons[i - 1].button->Left() + 118);
        }
    }
    EXPECT_EQ(w->Btn_Cancel->ModalResult(), mrCancel);
    EXPECT_EQ(w->Btn_OK->ModalResult(), mrNone);

    EXPECT_EQ(w->TS_LoRa_Uplink->Caption(), "LoRaWAN Uplink");
    EXPECT_EQ(w->TS_LoRa_Downlink->Caption(), "LoRaWAN Downlink");
    EXPECT_TRUE(w->TS_LoRa_Uplink->TabVisible());
    EXPECT_FALSE(w->TS_LoRa_Downlink->TabVisible());

    const char* up[] = {"N", "Enable", "Start Byte", "Num. Byte", "On Change", "On CMD", "On Timer", "Time (s)", "FPort", "Mnemonic"};
    const int upWidths[] = {40, 50, 80, 80, 70, 55, 65, 80, 60, 280};
    const bool upChecks[] = {false, true, false, false, true, true, true, false, false, false};
    ASSERT_EQ(Up_Grid().Columns().Count(), 10);
    for (int c = 0; c < 10; ++c) {
        TGridColumnItem* item = Up_Grid().Columns().GetItem(c);
        EXPECT_EQ(item->Header(), up[c]) << c;
        EXPECT_EQ(item->Width(), upWidths[c]) << c;
        EXPECT_EQ(item->Editor() == edDataCheckBox, upChecks[c]) << c;
    }
    const char* down[] = {"N", "Enable", "Start Byte", "Num. Byte", "FPort", "Mnemonic"};
    const int downWidths[] = {40, 50, 80, 80, 60, 550};
    ASSERT_EQ(Down_Grid().Columns().Count(), 6);
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(Down_Grid().Columns().GetItem(c)->Header(), down[c]) << c;
        EXPECT_EQ(Down_Grid().Columns().GetItem(c)->Width(), downWidths[c]) << c;
    }
    EXPECT_EQ(w->Hint_UpLink.size(), 9);
    EXPECT_EQ(w->Hint_UpLink[0], "Enable/Disable the LoRaWAN Uplink Rule");
    EXPECT_EQ(w->Hint_UpLink[7], "Port Field (1-223)");
    EXPECT_EQ(w->Hint_DownLink.size(), 5);
    EXPECT_EQ(w->Hint_DownLink[3], "Port Field (1-223)");
}

// The number of rule rows follows the FPort of the general parameters; the
// rules are numbered from 0.
TEST_F(LoRaWindow, FixedAndVariableFPortRowCounts)
{
    struct Case
    {
        const char* why;
        bool parGen;
        const char* fport;
        int rows;
        bool fportShown;
    };
    const Case cases[] = {
        {"no general parameters", false, nullptr, 257, false},
        {"no FPort element", true, nullptr, 257, false},
        {"Fixed", true, "Fixed", 257, false},
        {"Variable", true, "Variable", 224, true},
        {"any case, blanks around", true, "  vARIABLE ", 224, true},
        {"another text", true, "Variables", 257, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        QFile::remove(FileName_ParGen);
        if (c.parGen)
            Write_ParGen("51", c.fport);
        Show();
        EXPECT_EQ(w->FPortFixed, !c.fportShown);
        for (VOruVizizaZezo* grid : {w->ECG_LoRa_Uplink, w->ECG_LoRa_Downlink}) {
            EXPECT_EQ(grid->RowCount(), c.rows);
            EXPECT_EQ(grid->NumHiddenColumns(), c.fportShown ? 0 : 1);
            EXPECT_EQ(grid->GetCellEx(0, 1), "0");
            EXPECT_EQ(grid->GetCellEx(0, c.rows - 1), QString::number(c.rows - 2));
            EXPECT_EQ(grid->GetCellEx(1, c.rows - 1), "Y");
        }
        EXPECT_EQ(Up_Grid().IsHiddenColumn(8), !c.fportShown);
        EXPECT_EQ(Down_Grid().IsHiddenColumn(4), !c.fportShown);
        EXPECT_EQ(w->PC_LoRa->ActivePage(), w->TS_LoRa_Uplink);
    }
}

TEST_F(LoRaWindow, ShowingWithoutPayloadWarnsAndStillOpens)
{
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(shown[0].text, kNoPayload);
    EXPECT_EQ(w->MaxPayloadSize, 0);
    EXPECT_EQ(w->ModalResult(), mrNone);
    EXPECT_EQ(Up_Row(1), QStringList({"0", "Y", "", "", "", "", "", "", "", ""}));

    Write_ParGen("51", "Fixed");
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(w->MaxPayloadSize, 51);
}

// Every message of the checks, one row each. The tables are filled from grid
// row 1 on; the payload limit is 51 unless said. A case with downlink rows
// shows the downlink page, which this model hides (see below).
TEST_F(LoRaWindow, EveryCheckOfTheWindow)
{
    auto up = [](std::initializer_list<std::pair<const char*, const char*>> set) {
        Up r;
        for (const auto& [k, v] : set) {
            const QString value = QString::fromLatin1(v);
            const QString key = QString::fromLatin1(k);
            if (key == "enable") r.enable = value;
            else if (key == "start") r.start = value;
            else if (key == "num") r.num = value;
            else if (key == "onTimer") r.onTimer = value;
            else if (key == "time") r.time = value;
            else if (key == "fport") r.fport = value;
            else if (key == "mnemonic") r.mnemonic = value;
        }
        return r;
    };
    const QString start1 = "Error row 1!! [LoraWAN Uplink] Start Byte must be between 0 and 1536";
    struct Case
    {
        const char* why;
        const char* payload;   // nullptr: no general parameters
        const char* fport;
        std::vector<Up> rows;
        QString message;       // empty: passes
        std::vector<QStringList> down = {};  // Enable, Start Byte, Num. Byte, FPort, Mnemonic
    };
    const QString gap = " Start Byte is empty: this row and the rows below it would not be saved. "
                        "Fill it in or delete the row";
    const Case cases[] = {
        {"a plain rule passes", "51", "Fixed", {up({})}, ""},
        {"no rules at all pass", "51", "Fixed", {}, ""},
        {"Start Byte above 1536", "51", "Fixed", {up({{"start", "1537"}})}, start1},
        {"Start Byte 1536 passes", "51", "Fixed", {up({{"start", "1536"}, {"num", "1"}})}, ""},
        // The same test and message as the image compiler's.
        {"a range past the end of the data area", "51", "Fixed", {up({{"start", "1536"}, {"num", "2"}})},
         "Error row 1!! [LoraWAN Uplink] Start Byte 1536 and Number Byte 2 pass the end of the data area (1537 bytes)"},
        {"a range ending at the last position passes", "51", "Fixed", {up({{"start", "1500"}, {"num", "37"}})}, ""},
        {"Start Byte below 0", "51", "Fixed", {up({{"start", "-1"}})}, start1},
        {"Start Byte that is no number", "51", "Fixed", {up({{"start", "abc"}})}, start1},
        {"Start Byte in hexadecimal after $", "51", "Fixed", {up({{"start", "$10"}})}, ""},
        {"Start Byte in hexadecimal after 0x", "51", "Fixed", {up({{"start", "0x10"}})}, ""},
        {"Num. Byte at the payload limit less 2", "51", "Fixed", {up({{"num", "49"}})}, ""},
        {"Num. Byte above it", "51", "Fixed", {up({{"num", "50"}})},
         "Error row 1!! [LoraWAN Uplink] Number Byte must be between 0 and 49"},
        {"Num. Byte without a payload limit", nullptr, nullptr, {up({{"num", "0"}})},
         "Error row 1!! [LoraWAN Uplink] Number Byte must be between 0 and -2"},
        {"Start Byte is checked before Num. Byte", "51", "Fixed", {up({{"start", "x"}, {"num", "x"}})}, start1},
        {"On Timer with a time below 30", "51", "Fixed", {up({{"onTimer", "Y"}, {"time", "29"}})},
         "Error row 1!! [LoraWAN Uplink] Time (s) must be between 30 and 86400"},
        {"On Timer with 30", "51", "Fixed", {up({{"onTimer", "Y"}, {"time", "30"}})}, ""},
        {"On Timer with 86400", "51", "Fixed", {up({{"onTimer", "Y"}, {"time", "86400"}})}, ""},
        {"On Timer with 86401", "51", "Fixed", {up({{"onTimer", "Y"}, {"time", "86401"}})},
         "Error row 1!! [LoraWAN Uplink] Time (s) must be between 30 and 86400"},
        {"no time needed without On Timer", "51", "Fixed", {up({{"onTimer", "N"}, {"time", ""}})}, ""},
        // The image carries the timer when On Timer, upper-cased, is "Y": its time is checked exactly then.
        {"On Timer lower-case y is set", "51", "Fixed", {up({{"onTimer", "y"}, {"time", "5"}})},
         "Error row 1!! [LoraWAN Uplink] Time (s) must be between 30 and 86400"},
        {"On Timer with a blank before Y is not set", "51", "Fixed", {up({{"onTimer", " Y"}, {"time", "5"}})}, ""},
        {"FPort 0 while variable", "51", "Variable", {up({{"fport", "0"}})},
         "Error row 1!! [LoraWAN Uplink] FPort must be between 1 and 223"},
        {"FPort 224 while variable", "51", "Variable", {up({{"fport", "224"}})},
         "Error row 1!! [LoraWAN Uplink] FPort must be between 1 and 223"},
        {"FPort 1 and 223 while variable", "51", "Variable", {up({{"fport", "1"}}), up({{"fport", "223"}})}, ""},
        {"FPort not checked while fixed and hidden", "51", "Fixed", {up({{"fport", "0"}})}, ""},
        {"the message names the grid row", "51", "Fixed", {up({}), up({}), up({{"start", "2000"}})},
         "Error row 3!! [LoraWAN Uplink] Start Byte must be between 0 and 1536"},
        {"a disabled rule is not checked", "51", "Fixed", {up({{"enable", "N"}, {"start", "abc"}})}, ""},
        {"lower-case y is not enabled", "51", "Fixed", {up({{"enable", "y"}, {"start", "abc"}})}, ""},
        // The check box shows " Y" unchecked: neither checked here nor compiled.
        {"a blank before Y is not enabled", "51", "Fixed", {up({{"enable", " Y"}, {"start", "abc"}})}, ""},
        // A blank Start Byte ends the table; what stands below would be lost.
        {"a rule below a blank Start Byte", "51", "Fixed", {up({}), up({{"start", ""}}), up({})},
         "Error row 2!! [LoraWAN Uplink] Start Byte is empty: this row and the rows below it would not be "
         "saved. Fill it in or delete the row"},
        {"text in the row with the blank Start Byte", "51", "Fixed", {up({{"start", " "}, {"mnemonic", "pump"}})},
         "Error row 1!! [LoraWAN Uplink] Start Byte is empty: this row and the rows below it would not be "
         "saved. Fill it in or delete the row"},
        {"check boxes alone below the end lose nothing", "51", "Fixed",
         {up({}), up({{"start", ""}, {"num", ""}, {"onTimer", "Y"}})}, ""},
        {"a fault above a gap is found first", "51", "Fixed", {up({{"start", "9999"}}), up({{"start", ""}}), up({})},
         start1},
        {"downlink Start Byte above 1536", "51", "Fixed", {}, "Error row 1!! [LoraWAN Downlink] Start Byte must be between 0 and 1536",
         {{"Y", "1537", "2", "", ""}}},
        {"downlink Num. Byte above the payload limit less 2", "51", "Fixed", {},
         "Error row 2!! [LoraWAN Downlink] Number Byte must be between 0 and 49",
         {{"Y", "0", "49", "", ""}, {"Y", "0", "50", "", ""}}},
        {"downlink range past the data area", "51", "Fixed", {},
         "Error row 1!! [LoraWAN Downlink] Start Byte 1530 and Number Byte 10 pass the end of the data area (1537 bytes)",
         {{"Y", "1530", "10", "", ""}}},
        {"downlink FPort 224 while variable", "51", "Variable", {},
         "Error row 1!! [LoraWAN Downlink] FPort must be between 1 and 223", {{"Y", "0", "2", "224", ""}}},
        {"downlink FPort not checked while fixed", "51", "Fixed", {}, "", {{"Y", "0", "2", "0", ""}}},
        {"a disabled downlink rule is not checked", "51", "Fixed", {}, "", {{"N", "abc", "", "", ""}}},
        {"a downlink rule below a blank Start Byte", "51", "Fixed", {},
         "Error row 1!! [LoraWAN Downlink]" + gap, {{"Y", "", "", "", ""}, {"Y", "0", "2", "", ""}}},
        {"the uplink table is checked first", "51", "Fixed", {up({{"num", "50"}})},
         "Error row 1!! [LoraWAN Uplink] Number Byte must be between 0 and 49", {{"Y", "1537", "2", "", ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        QFile::remove(FileName_ParGen);
        QFile::remove(FileName_LoRaWAN_SetAccess);
        if (c.payload)
            Write_ParGen(c.payload, c.fport);
        w->TS_LoRa_Downlink->SetTabVisible(!c.down.empty());
        Show();
        for (size_t i = 0; i < c.rows.size(); ++i)
            Put(static_cast<int>(i) + 1, c.rows[i]);
        for (size_t i = 0; i < c.down.size(); ++i)
            for (int col = 1; col <= 5; ++col)
                Down_Grid().SetCellEx(col, static_cast<int>(i) + 1, c.down[i][col - 1]);

        const auto shown = Ok();
        if (c.message.isEmpty()) {
            EXPECT_TRUE(shown.empty()) << shown.front().text.toStdString();
            EXPECT_EQ(w->ModalResult(), mrOk);
            EXPECT_TRUE(FileExists(FileName_LoRaWAN_SetAccess));
        } else {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].kind, MessageKind::Error);
            EXPECT_EQ(shown[0].buttons, MessageButtons::Ok);
            EXPECT_EQ(shown[0].text, c.message);
            EXPECT_EQ(w->ModalResult(), mrNone);
            EXPECT_FALSE(FileExists(FileName_LoRaWAN_SetAccess));
        }
    }
}

// The downlink page is hidden in this model: its rules can be neither seen
// nor mended, so they are not checked and go back exactly as the file held
// them, past a gap and past the table's size too.
TEST_F(LoRaWindow, DownlinkRulesSurviveASaveUnchanged)
{
    Write_ParGen("51", "Variable");
    TLoRa_Rules rules = Numbered_Rules(2, 230);
    rules.downlink[0] = {"Y", "2000", "99", "0", "blocked before"};
    rules.downlink[5] = {"Y", "", "", "", "a gap"};
    rules.downlink[6] = {"y", "abc", "", "", ""};
    const QByteArray file = LoRa_Rules_Bytes(rules);
    Write_Rules(file);

    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(Down_Grid().GetCellEx(2, 1), "2000");
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(w->ModalResult(), mrOk);
    EXPECT_EQ(Rules_File().toStdString(), file.toStdString());
}

// Shown, the downlink table is checked and saved like the uplink one.
TEST_F(LoRaWindow, AShownDownlinkTableIsCheckedAndSavedFromItsGrid)
{
    Write_ParGen("51", "Fixed");
    TLoRa_Rules rules = Numbered_Rules(1, 1);
    rules.downlink[0][1] = "2000";
    Write_Rules(LoRa_Rules_Bytes(rules));
    w->TS_LoRa_Downlink->SetTabVisible(true);
    Show();
    auto shown = Ok();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error row 1!! [LoraWAN Downlink] Start Byte must be between 0 and 1536");
    Down_Grid().SetCellEx(2, 1, "12");
    Down_Grid().SetCellEx(5, 1, "edited");
    EXPECT_TRUE(Ok().empty());
    TLoRa_Rules back;
    ASSERT_EQ(Load_LoRa_Rules(FileName_LoRaWAN_SetAccess, &back), TLoRa_Load::Loaded);
    ASSERT_EQ(back.downlink.size(), 1u);
    EXPECT_EQ(back.downlink[0], QStringList({"Y", "12", "2", "", "edited"}));
}

TEST_F(LoRaWindow, SavedFileByteForByte)
{
    Write_ParGen("51", "Fixed");
    Write_Rules("<LoRaWAN_Set_Access>\n"
                "\t<LoRaWAN_Uplink>\n"
                "\t\t<row Enable=\"Y\" StartByte=\"0\" NumByte=\"10\" OnChange=\"Y\" OnCMD=\"N\" OnTimer=\"Y\" "
                "Time=\"60\" FPort=\"5\" Mnemonic=\"Meter &amp; pump\" />\n"
                "\t\t<row Enable=\"N\" StartByte=\"abc\" />\n"
                "\t</LoRaWAN_Uplink>\n"
                "\t<LoRaWAN_Downlink>\n"
                "\t\t<row StartByte=\"$20\" NumByte=\"2\" />\n"
                "\t</LoRaWAN_Downlink>\n"
                "</LoRaWAN_Set_Access>\n"
                "<!--SW_VERSION = 1.002-->\n");
    Show();
    // A rule typed in the window: Enable starts "Y", the sending conditions empty.
    Up_Grid().SetCellEx(2, 3, "0x10");
    Up_Grid().SetCellEx(3, 3, " 4");
    Up_Grid().SetCellEx(9, 3, "  typed  ");
    ASSERT_TRUE(Ok().empty());
    EXPECT_EQ(Rules_File().toStdString(),
              "<LoRaWAN_Set_Access>\n"
              "\t<LoRaWAN_Uplink>\n"
              "\t\t<row Enable=\"Y\" StartByte=\"0\" NumByte=\"10\" OnChange=\"Y\" OnCMD=\"N\" OnTimer=\"Y\" "
              "Time=\"60\" FPort=\"5\" Mnemonic=\"Meter &amp; pump\" />\n"
              "\t\t<row Enable=\"N\" StartByte=\"abc\" NumByte=\"\" OnChange=\"N\" OnCMD=\"N\" OnTimer=\"N\" "
              "Time=\"\" FPort=\"\" Mnemonic=\"\" />\n"
              "\t\t<row Enable=\"Y\" StartByte=\"0x10\" NumByte=\" 4\" OnChange=\"\" OnCMD=\"\" OnTimer=\"\" "
              "Time=\"\" FPort=\"\" Mnemonic=\"  typed  \" />\n"
              "\t</LoRaWAN_Uplink>\n"
              "\t<LoRaWAN_Downlink>\n"
              "\t\t<row Enable=\"Y\" StartByte=\"$20\" NumByte=\"2\" FPort=\"\" Mnemonic=\"\" />\n"
              "\t</LoRaWAN_Downlink>\n"
              "</LoRaWAN_Set_Access>\n"
              "<!--SW_VERSION = 1.002-->\n");

    // No rules: both lists are still written.
    EXPECT_EQ(LoRa_Rules_Bytes({}).toStdString(), "<LoRaWAN_Set_Access>\n"
                                                  "\t<LoRaWAN_Uplink />\n"
                                                  "\t<LoRaWAN_Downlink />\n"
                                                  "</LoRaWAN_Set_Access>\n"
                                                  "<!--SW_VERSION = 1.002-->\n");
}

TEST_F(LoRaWindow, MissingAttributesTakeTheirDefaults)
{
    Write_ParGen("51", "Fixed");
    Write_Rules("<LoRaWAN_Set_Access><LoRaWAN_Uplink><row StartByte=\"7\"/><!-- a note --><row/></LoRaWAN_Uplink>"
                "</LoRaWAN_Set_Access>");
    Show();
    EXPECT_EQ(Up_Row(1), QStringList({"0", "Y", "7", "", "N", "N", "N", "", "", ""}));
    // The comment is no rule; the empty row is one, with a blank Start Byte.
    EXPECT_EQ(Up_Row(2), QStringList({"1", "Y", "", "", "N", "N", "N", "", "", ""}));
    EXPECT_EQ(Up_Row(3), QStringList({"2", "Y", "", "", "", "", "", "", "", ""}));
}

// A rules file that cannot be read is reported and the window closes: OK must
// not be able to write empty tables over it.
TEST_F(LoRaWindow, AFileThatIsNotWellFormedClosesTheWindow)
{
    struct Case
    {
        const char* why;
        bool badParGen;
    };
    for (const Case& c : {Case{"rules file", false}, Case{"general parameters", true}}) {
        SCOPED_TRACE(c.why);
        const QByteArray bad = "<LoRaWAN_Set_Access><LoRaWAN_Uplink>";
        Write_ParGen("51", "Fixed");
        Write_Rules(LoRa_Rules_Bytes(Numbered_Rules(1, 0)));
        ASSERT_TRUE(WriteAll(c.badParGen ? FileName_ParGen : FileName_LoRaWAN_SetAccess, bad));
        const auto shown = Show();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].kind, MessageKind::Error);
        EXPECT_FALSE(shown[0].text.isEmpty());
        EXPECT_EQ(w->ModalResult(), mrCancel);
    }
    // Modally shown, the window ends at once with Cancel.
    DialogScript script;
    script.AnswerForm([](QWidget&) {});
    EXPECT_EQ(w->ShowModal(), mrCancel);
    EXPECT_EQ(script.Unanswered(), 1);  // the error box
}

// The user may allow a damaged rules file to be replaced: the window then
// opens on empty tables and only OK replaces the file; "No" keeps it.
TEST_F(LoRaWindow, ADamagedRulesFileIsReplacedOnlyWhenTheUserAllowsIt)
{
    const QByteArray bad = "<LoRaWAN_Set_Access><LoRaWAN_Uplink>";
    Write_ParGen("51", "Fixed");
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        SCOPED_TRACE(answer == MessageAnswer::Yes ? "Yes" : "No");
        Write_Rules(bad);
        DialogScript script;
        script.AnswerMessage(answer);
        w->SetModalResult(mrNone);
        w->FormShow();
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
        EXPECT_EQ(script.Shown()[0].buttons, MessageButtons::YesNo);
        EXPECT_TRUE(script.Shown()[0].text.contains("LoRaWAN_SetAccess.xml"));
        EXPECT_EQ(Rules_File(), bad) << "nothing is written by showing";
        if (answer == MessageAnswer::No) {
            EXPECT_EQ(w->ModalResult(), mrCancel);
            continue;
        }
        EXPECT_EQ(w->ModalResult(), mrNone);
        EXPECT_EQ(Up_Row(1), QStringList({"0", "Y", "", "", "", "", "", "", "", ""}));
        Put(1, Up{});
        EXPECT_TRUE(Ok().empty());
        EXPECT_EQ(w->ModalResult(), mrOk);
        EXPECT_EQ(Rules_File(), LoRa_Rules_Bytes(TLoRa_Rules{{Up{}.Cells()}, {}}));
    }
}

// More rules in the file than rows in the table: what fits is shown, the user
// is told, and a save that would drop the rest asks first.
TEST_F(LoRaWindow, AFileWithMoreRulesThanTheTableLoadsWhatFitsAndSaysSo)
{
    struct Case
    {
        const char* fport;
        int inFile, rows;
    };
    for (const Case& c : {Case{"Variable", 256, 223}, Case{"Fixed", 300, 256}}) {
        SCOPED_TRACE(c.fport);
        Write_ParGen("51", c.fport);
        const QByteArray file = LoRa_Rules_Bytes(Numbered_Rules(c.inFile, 3));
        Write_Rules(file);

        const auto shown = Show();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].kind, MessageKind::Warning);
        EXPECT_EQ(shown[0].text, QStringLiteral("Warning!! The file holds %1 LoRaWAN Uplink rules, but the table "
                                                "holds %2: the rules from number %2 on are not shown")
                                     .arg(c.inFile)
                                     .arg(c.rows));
        EXPECT_EQ(w->Uplink_Not_Shown(), c.inFile - c.rows);
        EXPECT_EQ(Up_Grid().GetCellEx(9, c.rows), QStringLiteral("up %1").arg(c.rows - 1));

        // No: nothing written, the window stays open.
        auto asked = Ok(MessageAnswer::No);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].kind, MessageKind::Confirmation);
        EXPECT_EQ(asked[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(asked[0].text, QStringLiteral("The file holds %1 LoRaWAN Uplink rules, but the table holds %2: "
                                                "saving removes the rules from number %2 on. Do you want to save?")
                                     .arg(c.inFile)
                                     .arg(c.rows));
        EXPECT_EQ(w->ModalResult(), mrNone);
        EXPECT_EQ(Rules_File(), file);

        // Yes: the rules the table holds.
        EXPECT_EQ(Ok(MessageAnswer::Yes).size(), 1u);
        EXPECT_EQ(w->ModalResult(), mrOk);
        TLoRa_Rules back;
        ASSERT_EQ(Load_LoRa_Rules(FileName_LoRaWAN_SetAccess, &back), TLoRa_Load::Loaded);
        EXPECT_EQ(static_cast<int>(back.uplink.size()), c.rows);
        EXPECT_EQ(back.downlink.size(), 3u);
    }
}

// Written while the FPort was variable, opened while it is fixed: the FPort
// values wait in the hidden column, unchecked, and go back as they were.
TEST_F(LoRaWindow, HiddenFPortValuesAreWrittenBack)
{
    Write_ParGen("51", "Fixed");
    TLoRa_Rules rules = Numbered_Rules(3, 1);
    rules.uplink[0][7] = "7";
    rules.uplink[1][7] = "0";
    rules.downlink[0][3] = "300";
    const QByteArray file = LoRa_Rules_Bytes(rules);
    Write_Rules(file);
    Show();
    EXPECT_TRUE(Up_Grid().IsHiddenColumn(8));
    EXPECT_EQ(Up_Grid().GetCellEx(8, 2), "0");
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(Rules_File().toStdString(), file.toStdString());
}

TEST_F(LoRaWindow, OneTestOfEnabledForEveryReader)
{
    struct Case
    {
        const char* text;
        bool enabled;
    };
    const Case cases[] = {{"Y", true}, {"N", false}, {"y", false}, {" Y", false}, {"Y ", false}, {"", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(LoRa_Rule_Enabled(QString::fromLatin1(c.text)), c.enabled) << c.text;
        EXPECT_EQ(LoRa_Flag_Set(QString::fromLatin1(c.text)), c.enabled) << c.text;
    }
    // Missing from the file: enabled, as the window shows it.
    EXPECT_TRUE(LoRa_Rule_Enabled(LoRa_Attribute_Default("Enable")));
}

// ---------------------------------------------------------------------------
// Row buttons and grid events
// ---------------------------------------------------------------------------

TEST_F(LoRaWindow, DeleteAsksWithTheGridRowNumber)
{
    Write_ParGen("51", "Fixed");
    Write_Rules(LoRa_Rules_Bytes(Numbered_Rules(4, 0)));
    Show();
    Up_Grid().SetRow(3);
    {
        DialogScript script;
        script.AnswerMessage(MessageAnswer::No);
        w->Btn_DelRowClick(w->Btn_DelRow);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, MessageKind::Confirmation);
        EXPECT_EQ(script.Shown()[0].text, "Are you sure to delete the Row number 3");
        EXPECT_EQ(Up_Grid().GetCellEx(9, 3), "up 2");
    }
    DialogScript script;
    script.AnswerMessage(MessageAnswer::Yes);
    w->Btn_DelRowClick(w->Btn_DelRow);
    EXPECT_EQ(Up_Row(3), QStringList({"2", "Y", "3", "2", "N", "N", "N", "", "1", "up 3"}));
    // The rows below move up; the last rule row is emptied, Enable included.
    EXPECT_EQ(Up_Row(4), QStringList({"3", "Y", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(Up_Row(256), QStringList({"255", "", "", "", "", "", "", "", "", ""}));
}

TEST_F(LoRaWindow, InsertStartsAnEnabledRuleAndKeepsAFullTable)
{
    Write_ParGen("51", "Fixed");
    Write_Rules(LoRa_Rules_Bytes(Numbered_Rules(3, 0)));
    Show();
    Up_Grid().SetRow(2);
    DialogScript script;
    w->Btn_InsRowClick(w->Btn_InsRow);
    EXPECT_EQ(Up_Row(2), QStringList({"1", "Y", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(Up_Grid().GetCellEx(9, 3), "up 1");
    EXPECT_TRUE(script.Shown().empty());

    // 256 rules: the last would drop out, so the insertion is refused.
    Write_Rules(LoRa_Rules_Bytes(Numbered_Rules(256, 0)));
    Show();
    Up_Grid().SetRow(2);
    w->Btn_InsRowClick(w->Btn_InsRow);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
    EXPECT_EQ(Up_Grid().GetCellEx(9, 256), "up 255");
    EXPECT_EQ(Up_Grid().GetCellEx(9, 2), "up 1");
}

// A paste needs a copy on the same table in the same showing.
TEST_F(LoRaWindow, CopyAndPasteWithinOneShowing)
{
    Write_ParGen("51", "Fixed");
    Write_Rules(LoRa_Rules_Bytes(Numbered_Rules(2, 0)));
    Show();
    DialogScript script;
    Up_Grid().SetRow(5);
    w->Btn_PasteRowClick(w->Btn_PasteRow);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, "Error!!! Copy a valid row before Paste it");

    Up_Grid().SetRow(2);
    w->Btn_CopyRowClick(w->Btn_CopyRow);
    EXPECT_TRUE(w->Do_Copy_Uplink);
    EXPECT_FALSE(w->Do_Copy_Downlink);
    EXPECT_EQ(Copy_Row_List.size(), 9);
    Up_Grid().SetRow(5);
    w->Btn_PasteRowClick(w->Btn_PasteRow);
    EXPECT_EQ(Up_Grid().GetCellEx(9, 5), "up 1");
    EXPECT_EQ(Up_Grid().GetCellEx(0, 5), "4");
    EXPECT_EQ(script.Shown().size(), 1u);

    // The next showing forgets the copy, though the clipboard keeps it.
    Show();
    Up_Grid().SetRow(6);
    w->Btn_PasteRowClick(w->Btn_PasteRow);
    ASSERT_EQ(script.Shown().size(), 2u);
    EXPECT_EQ(script.Shown()[1].text, "Error!!! Copy a valid row before Paste it");
    EXPECT_EQ(Copy_Row_List.size(), 9);
}

// The two tables share the clipboard but not the copy flag: a row copied on
// one table does not paste on the other, whose columns differ anyway.
TEST_F(LoRaWindow, APasteOnTheOtherTableIsRefused)
{
    Write_ParGen("51", "Fixed");
    Write_Rules(LoRa_Rules_Bytes(Numbered_Rules(2, 2)));
    w->TS_LoRa_Downlink->SetTabVisible(true);
    Show();
    struct Case
    {
        const char* why;
        bool copyOnUplink;
        bool forceDownlinkFlag;  // as if the flag were stale: the column count still refuses
        const char* message;
    };
    const Case cases[] = {
        {"uplink row onto the downlink table", true, false, "Error!!! Copy a valid row before Paste it"},
        {"uplink row, downlink flag set", true, true,
         "Error in the Copy values!!! Copy a valid row before Paste it"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        w->PC_LoRa->SetActivePage(w->TS_LoRa_Uplink);
        Up_Grid().SetRow(1);
        w->Btn_CopyRowClick(w->Btn_CopyRow);
        ASSERT_TRUE(w->Do_Copy_Uplink);
        ASSERT_FALSE(w->Do_Copy_Downlink);
        w->Do_Copy_Downlink = c.forceDownlinkFlag;
        w->PC_LoRa->SetActivePage(w->TS_LoRa_Downlink);
        Down_Grid().SetRow(5);
        DialogScript script;
        w->Btn_PasteRowClick(w->Btn_PasteRow);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
        EXPECT_EQ(script.Shown()[0].text, c.message);
        EXPECT_EQ(Down_Grid().GetCellEx(2, 5), "");
    }
    // A copy on the downlink table clears the uplink flag.
    Down_Grid().SetRow(2);
    w->Btn_CopyRowClick(w->Btn_CopyRow);
    EXPECT_TRUE(w->Do_Copy_Downlink);
    EXPECT_FALSE(w->Do_Copy_Uplink);
    EXPECT_EQ(Copy_Row_List, QStringList({"Y", "1", "2", "", "down 1"}));
    DialogScript script;
    w->Btn_PasteRowClick(w->Btn_PasteRow);  // onto the used row 2 itself: asks first
    EXPECT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, "Row Already used. Do you want to overwrite the values?");
}

TEST_F(LoRaWindow, ClickOnTheNumberSelectsTheRow)
{
    Write_ParGen("51", "Fixed");
    Show();
    w->ClickCell(&Up_Grid(), 4, 0);
    EXPECT_TRUE(Up_Grid().IsSelected(1, 4));
    EXPECT_TRUE(Up_Grid().IsSelected(7, 4));
    EXPECT_FALSE(Up_Grid().IsSelected(1, 3));
}

// Hints by real column: with FPort hidden the Mnemonic header still shows its own.
TEST_F(LoRaWindow, HeaderHintsByRealColumn)
{
    struct Case
    {
        const char* fport;
        int row, col;
        const char* hint;
    };
    const Case cases[] = {
        {"Fixed", 0, 1, "Enable/Disable the LoRaWAN Uplink Rule"},
        {"Fixed", 0, 8, "Insert a description of the LoRaWAN Uplink Rule"},
        {"Variable", 0, 8, "Port Field (1-223)"},
        {"Variable", 0, 9, "Insert a description of the LoRaWAN Uplink Rule"},
        {"Fixed", 0, 0, ""},
        {"Fixed", 3, 2, ""},
    };
    for (const Case& c : cases) {
        Write_ParGen("51", c.fport);
        Show();
        QString hint = "stale";
        w->GridHint(&Up_Grid(), c.row, c.col, hint);
        EXPECT_EQ(hint, c.hint) << c.fport << " " << c.row << "," << c.col;
    }
}

// ---------------------------------------------------------------------------
// Step 3 of the main window
// ---------------------------------------------------------------------------

TEST(LoRaStep, TheMainWindowOpensAndReTextsTheRulesWindow)
{
    QTemporaryDir program;
    ASSERT_TRUE(ForceFolders(QDir(program.path()).filePath("PROJECTS/Plant")));
    ASSERT_TRUE(ForceFolders(QDir(program.path()).filePath("LANGUAGE")));
    ASSERT_TRUE(WriteAll(QDir(program.path()).filePath("Vudidid.xml"),
                         "<Conf_Settings><lastproj><projectname>Plant</projectname></lastproj></Conf_Settings>"));
    Create_All_Windows(program.path());
    ASSERT_NE(FLoRa_Set_Access, nullptr);
    const QString folder = QDir(program.path()).filePath("PROJECTS/Plant");
    ASSERT_TRUE(WriteAll(folder + "/ParGen.xml", ParGen("51", "Fixed")));
    ASSERT_TRUE(WriteAll(folder + "/LoRaWAN_SetAccess.xml", LoRa_Rules_Bytes(Numbered_Rules(1, 0))));

    DialogScript script;
    script.AnswerForm([](QWidget& form) {
        EXPECT_EQ(&form, FLoRa_Set_Access);
        EXPECT_EQ(FLoRa_Set_Access->ECG_LoRa_Uplink->GetCellEx(9, 1), "up 0");
        FLoRa_Set_Access->ECG_LoRa_Uplink->SetCellEx(9, 1, "renamed");
        testsupport::Click(FLoRa_Set_Access->Btn_OK);
    });
    FRorudizezFirmWare->Btn_Click(FRorudizezFirmWare->Btn_LoRaWAN_Access);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, "FLoRa_Set_Access");
    EXPECT_EQ(script.Unanswered(), 0);
    EXPECT_TRUE(ReadAll(folder + "/LoRaWAN_SetAccess.xml").contains("Mnemonic=\"renamed\""));

    ASSERT_TRUE(WriteAll(QDir(program.path()).filePath("LANGUAGE/Italiano.lng"), "STR1200 = Regole LoRaWAN\nSTR1224 = Nome"));
    Language_Name = "Italiano";
    Load_Language();
    FRorudizezFirmWare->Change_Language();
    EXPECT_EQ(FLoRa_Set_Access->Caption(), "Regole LoRaWAN");
    EXPECT_EQ(FLoRa_Set_Access->ECG_LoRa_Uplink->Columns().GetItem(9)->Header(), "Nome");
    Destroy_All_Windows();
    EXPECT_EQ(FLoRa_Set_Access, nullptr);
    Language_Name = "English";
    Load_English_Table();
}

// ---------------------------------------------------------------------------
// A look at the window
// ---------------------------------------------------------------------------

TEST_F(LoRaWindow, Screenshot)
{
    const QString out = qEnvironmentVariable("LORA_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "set LORA_SCREENSHOT_DIR to save the window";
    QDir().mkpath(out);
    Write_ParGen("51", "Variable");
    TLoRa_Rules rules;
    rules.uplink = {{"Y", "0", "12", "Y", "N", "N", "", "2", "Heat meter 1: energy and volume"},
                    {"Y", "12", "8", "N", "Y", "Y", "900", "3", "Water meters"},
                    {"N", "20", "4", "N", "N", "Y", "3600", "4", "Spare (disabled)"}};
    Write_Rules(LoRa_Rules_Bytes(rules));
    DialogScript script;
    w->Show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    const QPixmap shot = w->grab();
    EXPECT_TRUE(shot.save(QDir(out).filePath("lora_set_access.png")));
    w->Hide();
}
