// MQTT topics: the row checks of both grids as one table, the file written
// and read back byte for byte, the working mode's columns and the template
// dialog driven through the grid's double click.
#include "protocols/UMQTT_Set_Topic.h"
#include "protocols/UTopicTemplate.h"

#include "../fieldbus/RuleMemberTest.h"

#include "grid/ExGrid.h"
#include "grid/ExGrid_Editors.h"
#include "platform/Controls.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QPixmap>

using namespace membertest;
using namespace mqtt;
using testsupport::ReadAll;
using testsupport::WriteAll;

using MQTTSetTopic = Member<TFMQTT_Set_Topic>;

namespace {

// Topic, Retained, QoS, Data Type, Dimension, Position, IP Address, Input Template, Template, OnChange, OnCMD,
// OnTimer, Time, Channel, Swap, Swap Word, Mnemonic.
QStringList Pub(std::initializer_list<std::pair<int, QString>> changes = {})
{
    QStringList r = {"plant/t1", "N", "0", "Int", "2", "0", "", "", "$VALUE$", "Y", "", "N", "", "", "N", "N", "M"};
    for (const auto& [col, text] : changes)
        r[col - 1] = text;
    return r;
}

// Topic, Retained, QoS, Data Type, Dimension, Position, IP Address, Port, Type, Input Template, Template, Swap,
// Swap Word, Mnemonic.
QStringList Sub(std::initializer_list<std::pair<int, QString>> changes = {})
{
    QStringList r = {"plant/cmd", "", "1", "Float", "4", "10", "", "", "", "", "$VALUE$", "N", "N", "S"};
    for (const auto& [col, text] : changes)
        r[col - 1] = text;
    return r;
}

const QString kPubError = "Error row 1!! [MQTT Publish] ";
const QString kSubError = "Error row 1!! [MQTT Subscribe] ";

} // namespace

TEST_F(MQTTSetTopic, Checks)
{
    Run_Checks({
        {0, Pub(), "", "a plain publish topic"},
        {0, Pub({{4, ""}}), kPubError + "Data Type must be selected", "no data type"},
        {0, Pub({{4, "Int"}, {5, "3"}}), kPubError + "Dimension must be equal to 1 or 2 or 4 or 8", "int of 3"},
        {0, Pub({{4, "int"}, {5, "8"}}), "", "lower case is INT"},
        {0, Pub({{4, " int "}, {5, "3"}}), kPubError + "Dimension must be equal to 1 or 2 or 4 or 8", "trimmed too"},
        {0, Pub({{4, "Float"}, {5, "2"}}), kPubError + "Dimension must be equal to 4 or 8", "float of 2"},
        {0, Pub({{4, "Float"}, {5, "8"}}), "", "float of 8"},
        {0, Pub({{4, "String"}, {5, "0"}}), kPubError + "Dimension must be major of 0", "string of 0"},
        {0, Pub({{4, "String"}, {5, "abc"}}), kPubError + "Dimension must be major of 0", "not a number"},
        {0, Pub({{4, "Base64"}, {5, "1"}}), "", "base64 of 1"},
        {0, Pub({{5, "1"}, {6, "1499"}}), "", "the last byte"},
        {0, Pub({{5, "1"}, {6, "1500"}}), kPubError + "Position must be beetween 0 and 1499", "past the array"},
        {0, Pub({{6, ""}}), kPubError + "Position must be beetween 0 and 1499", "no position"},
        {0, Pub({{5, "2"}, {6, "1498"}}), "", "two bytes that fit"},
        {0, Pub({{5, "2"}, {6, "1499"}}), kPubError + "Position plus Dimension must be minor or equal to 1500",
         "the second byte past the array"},
        {0, Pub({{4, "String"}, {5, "2000"}, {6, "0"}}),
         kPubError + "Position plus Dimension must be minor or equal to 1500", "a string longer than the array"},
        {0, Pub({{9, ""}}), "", "no template"},
        {0, Pub({{9, "{\"v\":$VALUE$,\"w\":$VALUE$}"}}), "", "two keywords"},
        {0, Pub({{9, "cost $5"}}), kPubError + "Template not Correct, Check the Keywords", "one dollar"},
        {0, Pub({{9, "$VALUE$ $"}}), kPubError + "Template not Correct, Check the Keywords", "three dollars"},
        {0, Pub({{7, "no address"}, {8, "$"}}), "", "hidden columns are not checked"},
        {0, Pub({{12, "Y"}, {13, "0"}}), kPubError + "Time(ms) must be between 1 and 1000000000", "timer of 0"},
        {0, Pub({{12, "y "}, {13, "1"}}), "", "timer of 1"},
        {0, Pub({{12, "Y"}, {13, "1000000000"}}), "", "longest timer"},
        {0, Pub({{12, "Y"}, {13, "1000000001"}}), kPubError + "Time(ms) must be between 1 and 1000000000", "too long"},
        {0, Pub({{12, "Y"}, {13, "99999999999"}}), kPubError + "Time(ms) must be between 1 and 1000000000",
         "beyond 32 bits"},
        {0, Pub({{12, "N"}, {13, ""}}), "", "no timer, no time"},
        {0, Pub({{1, " "}, {4, ""}}), "", "a blank topic ends the rules"},

        {1, Sub(), "", "a plain subscribe topic"},
        {1, Sub({{4, " "}}), kSubError + "Data Type must be selected", "no data type"},
        {1, Sub({{4, "INT"}, {5, "3"}}), kSubError + "Dimension must be equal to 1 or 2 or 4 or 8", "int of 3"},
        {1, Sub({{4, "float"}, {5, "2"}}), kSubError + "Dimension must be equal to 4 or 8", "float of 2"},
        {1, Sub({{4, "String"}, {5, "-1"}}), kSubError + "Dimension must be major of 0", "string of -1"},
        {1, Sub({{5, "4"}, {6, "1496"}}), "", "four bytes that fit"},
        {1, Sub({{5, "4"}, {6, "1497"}}), kSubError + "Position plus Dimension must be minor or equal to 1500",
         "four bytes past the array"},
        {1, Sub({{4, "String"}, {5, "1"}, {6, "1500"}}), kSubError + "Position must be beetween 0 and 1499",
         "past the array"},
        {1, Sub({{11, "$"}}), kSubError + "Template not Correct, Check the Keywords", "one dollar"},
        {1, Sub({{7, "1.2.3"}, {8, "70000"}, {10, "$"}}), "", "hidden columns are not checked"},
    });
}

TEST_F(MQTTSetTopic, ChecksFollowTheColumnsShown)
{
    Show();
    Put(*w->ECG_Pub, 1, Pub({{7, "1.2.3.256"}}));
    Put(*w->ECG_Sub, 1, Sub({{8, "65536"}}));
    {
        platform::DialogScript script;
        EXPECT_TRUE(w->Controllo_dati());
    }
    // Shown, the same cells are checked in their order.
    w->ECG_Pub->UnHideColumn(pIPAddress);
    {
        platform::DialogScript script;
        EXPECT_FALSE(w->Controllo_dati());
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text,
                  kPubError + "IP Address must be a Valid IP Address (Ex. 192.168.2.167)");
    }
    w->Set_Cell(kPub, pIPAddress, 1, " 192.168.2.167 ");
    w->ECG_Sub->UnHideColumn(sPort);
    platform::DialogScript script;
    EXPECT_FALSE(w->Controllo_dati());
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, kSubError + "Port must be between 0 and 65535");
}

TEST_F(MQTTSetTopic, WorkingModeAtEachShowing)
{
    // Whatever a caller left, the showing takes mode 1 with its columns and sizes.
    w->Working_Mode = 3;
    w->Byte_IN = 10;
    w->ECG_Pub->UnHideColumn(pSwap);
    w->ECG_Sub->HideColumn(sTopic);
    w->TS_Sub->SetTabVisible(false);
    w->Page_Control->SetActivePage(w->TS_Sub);
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(w->Working_Mode, 1);
    EXPECT_EQ(w->Byte_IN, 1500);
    EXPECT_EQ(w->Byte_OUT, 1500);
    const std::vector<std::vector<int>> hidden = {{7, 8, 11, 14, 15, 16}, {2, 7, 8, 9, 10, 12, 13}};
    for (int g = 0; g < 2; ++g) {
        VOruVizizaZezo* grid = w->Grids[g];
        EXPECT_EQ(grid->RowCount(), 1025);
        for (int c = 0; c < static_cast<int>(w->Form().grids[g].columns.size()); ++c)
            EXPECT_EQ(grid->IsHiddenColumn(c), std::count(hidden[g].begin(), hidden[g].end(), c) == 1)
                << "grid " << g << " column " << c;
    }
    EXPECT_TRUE(w->TS_Sub->TabVisible());
    EXPECT_EQ(w->Page_Control->ActivePage(), w->TS_Pub);
    EXPECT_EQ(Row(*w->ECG_Pub, 1024), QStringList({"1024", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
                                                   "", "", ""}));

    // Hints go by the real column, past the hidden ones.
    QString hint;
    w->GridHint(w->ECG_Pub, 0, w->ECG_Pub->DisplColIndexOf(pTemplate), hint);
    EXPECT_EQ(hint, "Insert the Template of the Payload (double click to edit it); the keywords stand between $");
    w->GridHint(w->ECG_Sub, 0, w->ECG_Sub->DisplColIndexOf(sMnemonic), hint);
    EXPECT_EQ(hint, "Insert a description of the Subscribe Topic");
}

TEST_F(MQTTSetTopic, SavesByteForByte)
{
    Show();
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), "<MQTT_Set_Topic>\n\t<MQTT_Publish />\n\t<MQTT_Subscribe />\n</MQTT_Set_Topic>\n"
                               "<!--SW_VERSION = 1.001-->\n");

    // Hidden columns come from the file and go back as they came; OnCMD,
    // Channel and the swaps are not kept. A template's line break survives.
    ASSERT_TRUE(WriteAll(File(),
                         "<MQTT_Set_Topic>"
                         "<MQTT_Publish>"
                         "<row Topic=\"plant/t1\" Retained=\"Y\" QoS=\"1\" DataType=\"Float\" Dimension=\"4\" "
                         "Position=\"$10\" IPAddress=\"10.0.0.9\" InputTemplate=\"in $X$\" "
                         "Template=\"{&#10;&quot;v&quot;: $VALUE$&#10;}\" OnChange=\"Y\" OnTimer=\"Y\" "
                         "Time=\"1000\" Mnemonic=\"Temp &amp; hum\"/>"
                         "<row Topic=\"plant/t2\" Retained=\"N\" QoS=\"0\" Mnemonic=\"old row\"/>"
                         "</MQTT_Publish>"
                         "<MQTT_Subscribe>"
                         "<row Topic=\"plant/cmd\" Retained=\"Y\" QoS=\"2\" DataType=\"Int\" Dimension=\"2\" "
                         "Position=\"0\" IPAddress=\"192.168.1.5\" Port=\"502\" EthType=\"UDP\" "
                         "InputTemplate=\"\" Template=\"$VALUE$\" Mnemonic=\"Set point\"/>"
                         "</MQTT_Subscribe>"
                         "</MQTT_Set_Topic>"));
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(Row(*w->ECG_Pub, 1),
              QStringList({"1", "plant/t1", "Y", "1", "Float", "4", "$10", "10.0.0.9", "in $X$",
                           "{\n\"v\": $VALUE$\n}", "Y", "", "Y", "1000", "", "N", "N", "Temp & hum"}));
    // Missing optional attributes take their defaults.
    EXPECT_EQ(Row(*w->ECG_Pub, 2), QStringList({"2", "plant/t2", "N", "0", "", "", "", "", "", "", "N", "", "N", "",
                                                "", "N", "N", "old row"}));
    EXPECT_EQ(Row(*w->ECG_Sub, 1), QStringList({"1", "plant/cmd", "Y", "2", "Int", "2", "0", "192.168.1.5", "502",
                                                "UDP", "", "$VALUE$", "N", "N", "Set point"}));
    // Typed into the columns the file does not keep.
    w->Set_Cell(kPub, pOnCMD, 1, "Y");
    w->Set_Cell(kPub, pChannel, 1, "All");
    w->Set_Cell(kPub, pSwap, 1, "Y");
    w->Set_Cell(kSub, sSwapWord, 1, "Y");
    // The second publish row is only a key, so the rules must be made valid.
    Put(*w->ECG_Pub, 2, Pub({{1, "plant/t2"}, {17, "old row"}}));
    // A row below a blank topic is neither checked nor saved.
    Put(*w->ECG_Pub, 4, Pub({{4, ""}}));
    const QByteArray expected =
        "<MQTT_Set_Topic>\n"
        "\t<MQTT_Publish>\n"
        "\t\t<row Topic=\"plant/t1\" Retained=\"Y\" QoS=\"1\" DataType=\"Float\" Dimension=\"4\" Position=\"$10\" "
        "IPAddress=\"10.0.0.9\" InputTemplate=\"in $X$\" Template=\"{&#10;&quot;v&quot;: $VALUE$&#10;}\" "
        "OnChange=\"Y\" OnTimer=\"Y\" Time=\"1000\" Mnemonic=\"Temp &amp; hum\" />\n"
        "\t\t<row Topic=\"plant/t2\" Retained=\"N\" QoS=\"0\" DataType=\"Int\" Dimension=\"2\" Position=\"0\" "
        "IPAddress=\"\" InputTemplate=\"\" Template=\"$VALUE$\" OnChange=\"Y\" OnTimer=\"N\" Time=\"\" "
        "Mnemonic=\"old row\" />\n"
        "\t</MQTT_Publish>\n"
        "\t<MQTT_Subscribe>\n"
        "\t\t<row Topic=\"plant/cmd\" Retained=\"Y\" QoS=\"2\" DataType=\"Int\" Dimension=\"2\" Position=\"0\" "
        "IPAddress=\"192.168.1.5\" Port=\"502\" EthType=\"UDP\" InputTemplate=\"\" Template=\"$VALUE$\" "
        "Mnemonic=\"Set point\" />\n"
        "\t</MQTT_Subscribe>\n"
        "</MQTT_Set_Topic>\n"
        "<!--SW_VERSION = 1.001-->\n";
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(w->ModalResult(), platform::mrOk);
    EXPECT_EQ(ReadAll(File()), expected);
    // Read back and saved again: the same bytes, the unkept columns at their defaults.
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(w->Get_Cell(kPub, pOnCMD, 1), "");
    EXPECT_EQ(w->Get_Cell(kPub, pChannel, 1), "");
    EXPECT_EQ(w->Get_Cell(kPub, pSwap, 1), "N");
    EXPECT_EQ(w->Get_Cell(kSub, sSwapWord, 1), "N");
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);

    // A failed check saves nothing.
    w->Set_Cell(kSub, sPosition, 1, "1500");
    const std::vector<platform::ShownDialog> shown = Ok();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(ReadAll(File()), expected);
}

TEST_F(MQTTSetTopic, MandatoryAttributeStopsTheLoading)
{
    ASSERT_TRUE(WriteAll(File(), "<MQTT_Set_Topic><MQTT_Publish>"
                                 "<row Topic=\"a\" Retained=\"N\" QoS=\"0\" Mnemonic=\"A\"/>"
                                 "<row Topic=\"b\" Retained=\"N\" Mnemonic=\"B\"/>"
                                 "</MQTT_Publish><MQTT_Subscribe>"
                                 "<row Topic=\"c\" Retained=\"N\" QoS=\"0\" Mnemonic=\"C\"/>"
                                 "</MQTT_Subscribe></MQTT_Set_Topic>"));
    const std::vector<platform::ShownDialog> shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Could not convert variant of type (Null) into type (OleStr)\nFile \"" + File()
                                 + "\", list \"MQTT_Publish\", row 2, attribute \"QoS\"");
    EXPECT_EQ(w->Get_Cell(kPub, pTopic, 1), "a");
    EXPECT_EQ(w->Get_Cell(kPub, pTopic, 2), "b");
    EXPECT_EQ(w->Get_Cell(kPub, pQoS, 2), "");
    EXPECT_EQ(w->Get_Cell(kSub, sTopic, 1), "");

    // A file without the publish list still gives its subscribe topics.
    ASSERT_TRUE(WriteAll(File(), "<MQTT_Set_Topic><MQTT_Subscribe>"
                                 "<row Topic=\"c\" Retained=\"N\" QoS=\"0\" Mnemonic=\"C\"/>"
                                 "</MQTT_Subscribe></MQTT_Set_Topic>"));
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(w->Get_Cell(kPub, pTopic, 1), "");
    EXPECT_EQ(w->Get_Cell(kSub, sTopic, 1), "c");
}

TEST_F(MQTTSetTopic, RowButtonsActOnTheActivePage)
{
    Show();
    Put(*w->ECG_Pub, 1, Pub());
    Put(*w->ECG_Sub, 1, Sub());
    w->Page_Control->SetActivePage(w->TS_Sub);
    w->ECG_Sub->SetRow(1);
    w->Btn_InsRowClick(w->Btn_InsRow);
    EXPECT_EQ(w->Get_Cell(kSub, sTopic, 1), "");
    EXPECT_EQ(w->Get_Cell(kSub, sTopic, 2), "plant/cmd");
    EXPECT_EQ(w->Get_Cell(kPub, pTopic, 1), "plant/t1");

    // Copied on the publish page, pasted on the subscribe page: refused.
    w->Page_Control->SetActivePage(w->TS_Pub);
    w->ECG_Pub->SetRow(1);
    w->Btn_CopyRowClick(w->Btn_CopyRow);
    EXPECT_TRUE(w->Do_Copy_Pub());
    EXPECT_FALSE(w->Do_Copy_Sub());
    w->Page_Control->SetActivePage(w->TS_Sub);
    platform::DialogScript script;
    w->Btn_PasteRowClick(w->Btn_PasteRow);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, "Error!!! Copy a valid row before Paste it");
    EXPECT_EQ(w->Get_Cell(kSub, sTopic, 1), "");
}

TEST(MQTTTemplate, DollarCount)
{
    const struct
    {
        const char* text;
        bool error;
    } cases[] = {
        {"", false}, {"$VALUE$", false}, {"$VALUE$ and $VALUE$", false}, {"plain", false},
        {"$", true}, {"$VALUE$ $", true}, {"$$$", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TFMQTT_Set_Topic::Error_In_Topic_Template(c.text), c.error) << c.text;
}

TEST_F(MQTTSetTopic, TemplateDialogEditsTheDoubleClickedCell)
{
    Show();
    Put(*w->ECG_Pub, 3, Pub({{9, "$VALUE$"}}));
    Put(*w->ECG_Sub, 2, Sub({{11, "old"}}));
    const int pubTemplate = w->ECG_Pub->DisplColIndexOf(pTemplate);
    const int subTemplate = w->ECG_Sub->DisplColIndexOf(sTemplate);
    ASSERT_NE(pubTemplate, pTemplate);  // hidden columns lie before it

    platform::DialogScript script;
    script.AnswerForm([](QWidget& form) {
        auto& d = static_cast<TFTopicTemplate&>(form);
        EXPECT_EQ(d.TopicTemplate, 1);
        EXPECT_EQ(d.Working_Mode, 1);
        EXPECT_EQ(d.Pub_Sub, 0);
        EXPECT_EQ(d.Caption(), "Set Template");
        EXPECT_EQ(d.L_SW_Desc->Caption(), "Set Template");
        EXPECT_EQ(d.RE_TopicTemplate->Text(), "$VALUE$");
        EXPECT_EQ(d.ESG_Keywords->RowCount(), 2);
        EXPECT_EQ(d.ESG_Keywords->GetCellEx(0, 0), "Keyword");
        EXPECT_EQ(d.ESG_Keywords->GetCellEx(1, 1), "");
        EXPECT_TRUE(d.ESG_Keywords->GetReadOnly(1, 1));
        EXPECT_FALSE(d.ESG_Keywords->GetReadOnly(0, 1));
        d.RE_TopicTemplate->SetText("{\n\"t\": $VALUE$\n}");
        testsupport::Click(d.Btn_OK);
    });
    // Cancel keeps the cell.
    script.AnswerForm([](QWidget& form) {
        auto& d = static_cast<TFTopicTemplate&>(form);
        EXPECT_EQ(d.Pub_Sub, 1);
        EXPECT_EQ(d.RE_TopicTemplate->Text(), "old");
        d.RE_TopicTemplate->SetText("new");
        testsupport::Click(d.Btn_Cancel);
    });
    w->ECG_Pub->OnDblClickCell(w->ECG_Pub, 3, pubTemplate);
    EXPECT_EQ(w->Get_Cell(kPub, pTemplate, 3), "{\n\"t\": $VALUE$\n}");
    w->ECG_Sub->OnDblClickCell(w->ECG_Sub, 2, subTemplate);
    EXPECT_EQ(w->Get_Cell(kSub, sTemplate, 2), "old");

    // Neither the header row nor another column opens it: a header double
    // click only fits the width, and the header text stays.
    w->ECG_Pub->OnDblClickCell(w->ECG_Pub, 0, pubTemplate);
    w->ECG_Pub->OnDblClickCell(w->ECG_Pub, 3, pTemplate);  // the display column 9 is OnTimer
    EXPECT_EQ(w->ECG_Pub->Columns().GetItem(pTemplate)->Header(), "Template");
    EXPECT_EQ(script.Shown().size(), 2u);
    EXPECT_EQ(script.Unanswered(), 0);
}

TEST_F(MQTTSetTopic, TemplateDialogTakesWhatTheCellEditorHolds)
{
    // A double click inside the open cell editor: the dialog starts from what
    // was typed there, and its result is not overwritten when the editor closes.
    Show();
    w->Show();
    const int col = w->ECG_Pub->DisplColIndexOf(pTemplate);
    QApplication::setActiveWindow(w.get());
    QCoreApplication::processEvents();
    w->ECG_Pub->SetCol(col);
    w->ECG_Pub->SetRow(1);
    w->ECG_Pub->setFocus(Qt::OtherFocusReason);
    testsupport::KeyClick(Qt::Key_F2);
    ASSERT_TRUE(w->ECG_Pub->Combobox()->isVisible());
    testsupport::TypeKeys("typed $VALUE$");
    platform::DialogScript script;
    script.AnswerForm([](QWidget& form) {
        auto& d = static_cast<TFTopicTemplate&>(form);
        EXPECT_EQ(d.RE_TopicTemplate->Text(), "typed $VALUE$");
        d.RE_TopicTemplate->SetText("from the dialog");
        testsupport::Click(d.Btn_OK);
    });
    w->ECG_Pub->OnDblClickCell(w->ECG_Pub, 1, col);
    w->ECG_Pub->HideInplaceEdit();
    EXPECT_EQ(w->Get_Cell(kPub, pTemplate, 1), "from the dialog");
    EXPECT_EQ(script.Unanswered(), 0);
    w->Hide();
}

TEST_F(MQTTSetTopic, TemplateDialogForATopic)
{
    // Shown with no template flag, the dialog names a topic.
    TFTopicTemplate d;
    d.TopicTemplate = 0;
    platform::DialogScript script;
    script.AnswerForm([](QWidget& form) {
        auto& t = static_cast<TFTopicTemplate&>(form);
        EXPECT_EQ(t.Caption(), "Set Topic");
        EXPECT_EQ(t.L_SW_Desc->Caption(), "Set Topic");
        EXPECT_EQ(t.L_SW_Code->Caption(), "DIZ5U15");
        testsupport::Click(t.Btn_OK);
    });
    EXPECT_EQ(d.ShowModal(), platform::mrOk);
}

// MQTT_SCREENSHOT_DIR=<dir> saves the window holding a few topics, and the
// template dialog, to be looked at.
TEST_F(MQTTSetTopic, Screenshot)
{
    const QString out = qEnvironmentVariable("MQTT_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "set MQTT_SCREENSHOT_DIR to save the windows";
    QDir().mkpath(out);
    ASSERT_TRUE(WriteAll(File(),
                         "<MQTT_Set_Topic><MQTT_Publish>"
                         "<row Topic=\"plant/boiler/temperature\" Retained=\"Y\" QoS=\"1\" DataType=\"Float\" "
                         "Dimension=\"4\" Position=\"0\" IPAddress=\"\" InputTemplate=\"\" "
                         "Template=\"{&quot;t&quot;: $VALUE$}\" OnChange=\"Y\" OnTimer=\"Y\" Time=\"60000\" "
                         "Mnemonic=\"Boiler temperature\"/>"
                         "<row Topic=\"plant/meter/energy\" Retained=\"N\" QoS=\"0\" DataType=\"Int\" "
                         "Dimension=\"8\" Position=\"4\" IPAddress=\"\" InputTemplate=\"\" Template=\"$VALUE$\" "
                         "OnChange=\"N\" OnTimer=\"Y\" Time=\"900000\" Mnemonic=\"Energy counter\"/>"
                         "</MQTT_Publish><MQTT_Subscribe/></MQTT_Set_Topic>"));
    platform::DialogScript script;
    w->Show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QDir(out).filePath("mqtt_set_topic.png")));
    w->Hide();

    TFTopicTemplate d;
    d.TopicTemplate = 1;
    d.RE_TopicTemplate->SetText("{\n  \"t\": $VALUE$\n}");
    d.Show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(d.grab().save(QDir(out).filePath("mqtt_topic_template.png")));
    d.Hide();
}
