// Project files that a window could not read whole, over the family's
// windows: the showing says what it says, OK asks before it replaces the file
// (No leaves every byte as it was, Yes replaces it), and the file OK wrote is
// then read whole: an untouched OK writes it again byte for byte, unasked.
#include "fieldbus/UDNet.h"
#include "fieldbus/UDefOffset.h"
#include "fieldbus/USetAccess.h"
#include "protocols/UIEC_61850_Access.h"
#include "protocols/UOPC_UA_Client_Access.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include "platform/Dialogs.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using platform::DialogScript;
using platform::MessageAnswer;
using platform::MessageKind;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

// One window as the table drives it: made, shown, OK pressed.
struct Window
{
    std::shared_ptr<platform::TForm> form;
    std::function<void()> show, ok;
};

template <class W>
Window Make(void (W::*ok)(QObject*))
{
    auto w = std::make_shared<W>();
    return {w, [w] { w->FormShow(); }, [w, ok] { ((*w).*ok)(nullptr); }};
}

Window Rules() { return Make<TFSetAccess>(&TFSetAccess::Btn_OKClick); }
Window Net() { return Make<TFDNet>(&TFDNet::Btn_OKClick); }
Window Offsets() { return Make<TFDefOffset>(&TFDefOffset::bitbtn1Click); }
Window OPC_UA() { return Make<TFOPC_UA_Client_Access>(&TFOPC_UA_Client_Access::Btn_OKClick); }
Window IEC() { return Make<TFIEC_61850_Access>(&TFIEC_61850_Access::Btn_OKClick); }

// A Modbus RTU read rule that passes the checks.
QByteArray Modbus_Row(int n)
{
    return "<row Enable=\"Y\" Slave_ID=\"1\" Type=\"Holding Register\" Address=\"" + QByteArray::number(n)
           + "\" NPoint=\"1\" PollTime=\"1000\" MaxError=\"0\" Position=\"0\" Bit=\"0\" Swap=\"N\" SwapWord=\"N\" "
             "Index_Topic=\"\" Mnemonic=\"m\"/>";
}

QByteArray Modbus_File(const QByteArray& readRows)
{
    return "<EtherNetIP_to_Modbus><Modbus_Read>" + readRows + "</Modbus_Read><Modbus_Write/></EtherNetIP_to_Modbus>";
}

const QByteArray kNet = "<DNET_Net><row ID=\"3\" NB_IN=\"1\" NB_OUT=\"1\" Mnemonic=\"\"/></DNET_Net>";
const QByteArray kOffsets = "<Define_Offset><Nodo_DNET><ByteIN><row Offset=\"10\" Mnemonic=\"a\"/></ByteIN>"
                            "<ByteOUT><row Offset=\"11\" Mnemonic=\"b\"/></ByteOUT></Nodo_DNET></Define_Offset>";

const QByteArray kDA_Item = "<DA_Item Index=\"0\" bType=\"INT32\" fc=\"MX\" Reference=\"r\" IPAddress=\"1.2.3.4\" "
                            "Port=\"102\" OnChange=\"N\" OnCMD=\"N\" OnTimer=\"N\" Time=\"\" Position=\"1\" "
                            "StartBit=\"\" ReadWrite=\"Read\" Convertion=\"None\" MoltFact=\"None\" Mnemonic=\"m\"/>";

class UnreadFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Load_English_Table();
        SW_Code = "DIZ5U15";
        Project_Folder = dir.path();
        for (const Project_File& f : Project_Files())
            *f.path = dir.filePath(QString::fromLatin1(f.name));
        Copy_Row_List.clear();
    }
    void TearDown() override
    {
        Project_Folder.clear();
        for (const Project_File& f : Project_Files())
            f.path->clear();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(UnreadFiles, OkAsksBeforeReplacingAndYesReplaces)
{
    struct Case
    {
        const char* why;
        std::function<Window()> window;
        QString* target;                  // the file OK replaces
        QByteArray bytes;                 // its content before
        QString* other = nullptr;         // a file the window reads beside it
        QByteArray other_bytes;
        QString told;                     // part of the showing's message, empty for none
        QString reason;                   // part of the question
        bool whole_after = true;          // what OK wrote is read whole at the next showing
    };
    // Catches a reason that names the file the table gave it.
    const QString missing = "Could not convert variant of type (Null) into type (OleStr)\nFile \"";
    QByteArray many;
    for (int i = 0; i < 513; ++i)
        many += Modbus_Row(i);
    const std::vector<Case> cases = {
        {"rules not well-formed", Rules, &FileName_ModbusM_SetAccess, Modbus_File(Modbus_Row(1)).left(60), nullptr,
         {}, FileName_ModbusM_SetAccess, FileName_ModbusM_SetAccess},
        {"rules not UTF-8", Rules, &FileName_ModbusM_SetAccess,
         Modbus_File(Modbus_Row(1)).replace("Mnemonic=\"m\"", "Mnemonic=\"\xFF\""), nullptr, {}, "not valid UTF-8",
         "not valid UTF-8"},
        {"rules cut by a missing attribute", Rules, &FileName_ModbusM_SetAccess,
         Modbus_File(Modbus_Row(1) + Modbus_Row(2).replace(" Mnemonic=\"m\"", "")), nullptr, {}, missing,
         "list \"Modbus_Read\", row 2, attribute \"Mnemonic\""},
        {"more rules than the table keeps", Rules, &FileName_ModbusM_SetAccess, Modbus_File(many), nullptr, {},
         "holds 513 rules", "holds 513 rules"},
        {"network cut by a missing attribute", Net, &FileName_DNETM_Net,
         "<DNET_Net><row ID=\"1\" NB_IN=\"1\" NB_OUT=\"1\" Mnemonic=\"\"/><row ID=\"2\" NB_IN=\"1\" NB_OUT=\"1\"/>"
         "</DNET_Net>",
         nullptr, {}, missing, "row 2, attribute \"Mnemonic\""},
        {"offsets whose network is not well-formed", Offsets, &FileName_DNETM_DefOff, kOffsets, &FileName_DNETM_Net,
         kNet.left(20), "DNETM_Net.xml", "DNETM_Net.xml", false},
        {"offsets not well-formed", Offsets, &FileName_DNETM_DefOff, kOffsets.left(40), &FileName_DNETM_Net, kNet,
         "DNETM_DefOff.xml", "DNETM_DefOff.xml"},
        {"OPC UA client not well-formed", OPC_UA, &FileName_OPC_UA_Client,
         "<OPC_UA_Client><OPC_UA_Server_List><OPC_UA_Server Enable=\"1\"", nullptr, {}, FileName_OPC_UA_Client,
         FileName_OPC_UA_Client},
        {"OPC UA client not UTF-8", OPC_UA, &FileName_OPC_UA_Client,
         "<OPC_UA_Client><OPC_UA_Server_List><OPC_UA_Server Mnemonic=\"\xFE\"/></OPC_UA_Server_List></OPC_UA_Client>",
         nullptr, {}, "not valid UTF-8", "not valid UTF-8"},
        {"OPC UA client under another root", OPC_UA, &FileName_OPC_UA_Client,
         "<Other><OPC_UA_Server_List><OPC_UA_Server Enable=\"1\"/></OPC_UA_Server_List></Other>", nullptr, {}, {},
         "The root element is \"Other\""},
        {"IEC 61850 client not well-formed", IEC, &FileName_IEC_61850_Client,
         "<IEC_68850_Client><List_DA_Selected>" + kDA_Item, nullptr, {}, FileName_IEC_61850_Client,
         FileName_IEC_61850_Client},
        {"IEC 61850 client cut by a missing attribute", IEC, &FileName_IEC_61850_Client,
         "<IEC_68850_Client><List_DA_Selected>" + kDA_Item + QByteArray(kDA_Item).replace(" Mnemonic=\"m\"", "")
             + "</List_DA_Selected></IEC_68850_Client>",
         nullptr, {}, missing, "list \"List_DA_Selected\", row 2, attribute \"Mnemonic\""},
        {"IEC 61850 client naming a catalogue file that is gone", IEC, &FileName_IEC_61850_Client,
         "<IEC_68850_Client><List_ICD_Files><ICD_File Name=\"Relay\" FileName=\"gone.icd\"/></List_ICD_Files>"
         "</IEC_68850_Client>",
         nullptr, {}, {}, "gone.icd\" is missing", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        ASSERT_TRUE(WriteAll(*c.target, c.bytes));
        if (c.other)
            ASSERT_TRUE(WriteAll(*c.other, c.other_bytes));
        Window w = c.window();
        {
            DialogScript script;
            w.show();
            if (c.told.isEmpty()) {
                EXPECT_TRUE(script.Shown().empty());
            } else {
                ASSERT_FALSE(script.Shown().empty());
                EXPECT_TRUE(script.Shown()[0].text.contains(c.told)) << script.Shown()[0].text.toStdString();
            }
        }
        {
            DialogScript script;
            script.AnswerMessage(MessageAnswer::No);
            w.form->SetModalResult(platform::mrNone);
            w.ok();
            ASSERT_EQ(script.Shown().size(), 1u);
            const platform::ShownDialog& asked = script.Shown()[0];
            EXPECT_EQ(asked.kind, MessageKind::Confirmation);
            EXPECT_EQ(asked.buttons, platform::MessageButtons::YesNo);
            EXPECT_TRUE(asked.text.contains(*c.target)) << asked.text.toStdString();
            EXPECT_TRUE(asked.text.contains(c.reason)) << asked.text.toStdString();
            EXPECT_TRUE(asked.text.contains("Do you want to replace it?")) << asked.text.toStdString();
            EXPECT_NE(w.form->ModalResult(), platform::mrOk);
            EXPECT_EQ(ReadAll(*c.target), c.bytes) << "No leaves every byte";
        }
        {
            DialogScript script;
            script.AnswerMessage(MessageAnswer::Yes);
            w.ok();
            EXPECT_EQ(script.Shown().size(), 1u);
            EXPECT_EQ(w.form->ModalResult(), platform::mrOk);
            EXPECT_NE(ReadAll(*c.target), c.bytes) << "Yes replaces it";
        }
        if (!c.whole_after)
            continue;  // what it stood on is still damaged or gone
        const QByteArray written = ReadAll(*c.target);
        DialogScript script;
        w.show();
        w.form->SetModalResult(platform::mrNone);
        w.ok();
        EXPECT_TRUE(script.Shown().empty()) << "read whole: no question";
        EXPECT_EQ(w.form->ModalResult(), platform::mrOk);
        EXPECT_EQ(ReadAll(*c.target), written);
    }
}

// The question is one entry of the language table that a language file may fill.
TEST_F(UnreadFiles, TheQuestionTakesALanguageFilesText)
{
    ASSERT_TRUE(WriteAll(FileName_ModbusM_SetAccess, "<EtherNetIP_to_Modbus><Modbus_Read>"));
    Window w = Rules();
    {
        DialogScript script;
        w.show();
    }
    Language_List[1106] = "Datei %s ersetzen? (%s)";
    DialogScript script;
    w.ok();
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.Shown()[0].text.startsWith("Datei " + FileName_ModbusM_SetAccess + " ersetzen? ("));
}
