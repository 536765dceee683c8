// MBUS_SCREENSHOT_DIR=<dir> saves the network editor holding a few meters, to
// be looked at: the tree with a wired node's page, a wireless node's page,
// a variable's page, and the paste dialog of a node.
#include "mbus/UMeter_Bus_Form.h"
#include "mbus/UNewIDNode.h"
#include "support/TestSupport.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;

namespace {

const char kMeters[] =
    "<M-Bus_Network>"
    "<Nodo ID_Primary=\"5\" Descrizione=\"Heat meter\" Enable_Node_State=\"1\" Node_State=\"1\" Cut_After=\"2\">"
    "<Variabile Enable=\"1\" Desc=\"Energy\" Type=\"0\" Fun_Field=\"0\" Dim=\"2\" PositionData=\"10\"/>"
    "<Variabile Enable=\"1\" Desc=\"Volume\" Type=\"2\" Fun_Field=\"0\" Dim=\"2\" PositionData=\"12\"/>"
    "<Variabile Enable=\"1\" Desc=\"Flow temperature\" Type=\"12\" Fun_Field=\"0\" Dim=\"1\" PositionData=\"14\" VIFE=\"3\"/>"
    "</Nodo>"
    "<Nodo ID_Secondary=\"12345678\" Node_ID_Type=\"1\" Descrizione=\"Gas meter\">"
    "<Variabile Enable=\"1\" Desc=\"Volume gas\" Type=\"2\" Fun_Field=\"0\" Dim=\"2\" PositionData=\"20\"/>"
    "</Nodo>"
    "<Nodo Descrizione=\"Water meter\" MBus_Type=\"0\" wMBus_ManID=\"0x2C2D\" wMBus_Add=\"305419896\" wMBus_Ver=\"1\""
    " wMBus_DevType=\"7\" wMBus_En_Key=\"1\" wMBus_Key_1=\"0x10\" wMBus_Key_2=\"0x11\" wMBus_Key_16=\"0x1F\" wMBus_RSSI=\"30\">"
    "<Variabile Enable=\"1\" Desc=\"Water volume\" Type=\"2\" Fun_Field=\"0\" Dim=\"2\" PositionData=\"30\"/>"
    "</Nodo>"
    "</M-Bus_Network>";

class MeterBusScreenshot : public ::testing::Test
{
protected:
    void SetUp() override
    {
        out = qEnvironmentVariable("MBUS_SCREENSHOT_DIR");
        if (out.isEmpty())
            GTEST_SKIP() << "MBUS_SCREENSHOT_DIR not set";
        QDir().mkpath(out);
        Load_English_Table();
        SW_Code = QStringLiteral("DIZ5U15");
        FileName_M_Bus = project.filePath("M_Bus.xml");
        ASSERT_TRUE(testsupport::WriteAll(FileName_M_Bus, kMeters));
        FMeter_Bus = new TFMeter_Bus();
        FNewIDNode = new TFNewIDNode();
        FMeter_Bus->Show();
    }
    void TearDown() override
    {
        delete FNewIDNode;
        delete FMeter_Bus;
        FileName_M_Bus.clear();
    }
    void Save(QWidget* w, const char* name)
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        EXPECT_TRUE(w->grab().save(QDir(out).filePath(QString::fromLatin1(name))));
    }

    QString out;
    QTemporaryDir project;
};

} // namespace

TEST_F(MeterBusScreenshot, EditorWithAFewMeters)
{
    TFMeter_Bus& w = *FMeter_Bus;
    w.TW->SetSelected(w.NODE_ORIG->Item(0));
    Save(&w, "mbus_editor_wired_node.png");
    w.TW->SetSelected(w.NODE_ORIG->Item(2));
    Save(&w, "mbus_editor_wireless_node.png");
    w.TW->SetSelected(w.NODE_ORIG->Item(0)->Item(2));
    Save(&w, "mbus_editor_variable.png");
}

TEST_F(MeterBusScreenshot, PasteDialogOfANode)
{
    TFMeter_Bus& w = *FMeter_Bus;
    w.TW->SetSelected(w.NODE_ORIG->Item(0));
    TFNewIDNode& d = *FNewIDNode;
    d.Form_Type = 1;
    d.E_New_Node_ID_Pri->SetText("6");
    d.E_MR_NodeState->SetText("1");
    d.E_MR_IdentNum->SetText("0");
    d.Fill_Grid(w.Nodi_List[0].Var_List);
    d.Show();
    Save(&d, "mbus_paste_node.png");
    d.Hide();
}
