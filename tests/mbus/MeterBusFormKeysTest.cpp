// The network editor shown modally and driven with real key events: Escape
// on an open list, the page buttons' mode at each showing; and the scan
// window's address parts.
#include "mbus/UMBusScanDecode_Worker.h"
#include "mbus/UMeter_Bus_Form.h"
#include "mbus/UNewIDNode.h"
#include "mbus/UScanDecode.h"
#include "support/TestSupport.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "widgets/ExPageControl.h"
#include "widgets/LbButton.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;
using testsupport::WriteAll;

namespace {

// Two wired nodes, the first with a variable.
const char kNetwork[] =
    "<M-Bus_Network>"
    "<Nodo Node_Enable=\"1\" ID_Primary=\"5\" Descrizione=\"Heat\" Node_ID_Type=\"0\" MBus_Type=\"1\">"
    "<Variabile Enable=\"1\" Desc=\"Energy\" Type=\"0\" Fun_Field=\"0\" Dim=\"2\" PositionData=\"100\"/>"
    "</Nodo>"
    "<Nodo Node_Enable=\"1\" ID_Primary=\"7\" Descrizione=\"Gas\" Node_ID_Type=\"0\" MBus_Type=\"1\"/>"
    "</M-Bus_Network>";

class MeterBusFormKeys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Load_English_Table();
        SW_Code = QStringLiteral("DIZ5U15");
        Project_Folder = dir.path();
        FileName_M_Bus = QDir(dir.path()).filePath("M_Bus.xml");
        ASSERT_TRUE(WriteAll(FileName_M_Bus, kNetwork));
        FMeter_Bus = new TFMeter_Bus();
        FNewIDNode = new TFNewIDNode();
    }
    void TearDown() override
    {
        delete FNewIDNode;
        delete FMeter_Bus;
        FileName_M_Bus.clear();
        Project_Folder.clear();
    }
    TFMeter_Bus& W() { return *FMeter_Bus; }
    static QString M(int n) { return Language_List.value(n); }
    // Keys go to the focus of the active window.
    void Activate()
    {
        W().activateWindow();
        QApplication::setActiveWindow(&W());
        QApplication::processEvents();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(MeterBusFormKeys, EscapeOnAnOpenListClosesOnlyTheList)
{
    struct Case
    {
        const char* why;
        TComboBox* TFMeter_Bus::*list;
        bool changed;  // the network was changed before
    };
    const Case cases[] = {
        {"the wide type-of-data list", &TFMeter_Bus::CB_Var_ToD, false},
        {"... after a change, when leaving would ask", &TFMeter_Bus::CB_Var_ToD, true},
        {"the wide VIFE list", &TFMeter_Bus::CB_VIFE, false},
        {"... after a change", &TFMeter_Bus::CB_VIFE, true},
        {"an ordinary list of the same page", &TFMeter_Bus::CB_Var_FF, true},
        {"an ordinary list of the nodes page", &TFMeter_Bus::CB_MBus_Type, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        DialogScript script;
        script.AnswerForm([&](QWidget&) {
            Activate();
            W().Is_Change = c.changed;
            TComboBox* list = W().*c.list;
            W().ExPageControl1->SetActivePage(list == W().CB_MBus_Type ? W().ExTabSheet1 : W().ExTabSheet2);
            QApplication::processEvents();
            const int chosen = list->ItemIndex();
            Activate();
            list->setFocus();
            list->showPopup();
            QApplication::processEvents();
            ASSERT_TRUE(list->view()->isVisible());
            testsupport::KeyClick(Qt::Key_Escape);
            QApplication::processEvents();
            EXPECT_FALSE(list->view()->isVisible()) << "the list is closed";
            EXPECT_EQ(list->ItemIndex(), chosen) << "and nothing was chosen";
            EXPECT_EQ(W().ModalResult(), mrNone) << "the editor stays open";
            EXPECT_EQ(script.Shown().size(), 1u) << "nothing was asked";
            EXPECT_EQ(W().Is_Change, c.changed);
            // A second Escape, with no list open, is the editor's Cancel.
            list->setFocus();
            if (c.changed)
                script.AnswerMessage(MessageAnswer::No);
            testsupport::KeyClick(Qt::Key_Escape);
            if (c.changed) {
                ASSERT_EQ(script.Shown().size(), 2u);
                EXPECT_EQ(script.Shown()[1].text, M(1896));
                EXPECT_EQ(W().ModalResult(), mrNone) << "No keeps the editor open";
                W().Is_Change = false;
                testsupport::KeyClick(Qt::Key_Escape);
            }
            EXPECT_EQ(W().ModalResult(), mrCancel);
        });
        EXPECT_EQ(W().ShowModal(), mrCancel);
        EXPECT_EQ(script.Unanswered(), 0);
    }
}

TEST_F(MeterBusFormKeys, EveryShowingStartsWithNothingSelectedAndTheAddButtons)
{
    struct Case
    {
        const char* why;
        int node, var;  // selected at the first showing; -1 none
        const char* nodeButton;
        const char* varButton;
    };
    const Case cases[] = {
        {"a node was selected", 1, -1, "MODIFY NODE", "ADD VARIABLE"},
        {"a variable was selected", 0, 0, "ADD NODE", "MODIFY VARIABLE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        DialogScript script;
        script.AnswerForm([&](QWidget&) {
            TTreeNode* item = W().NODE_ORIG->Item(c.node);
            W().TW->SetSelected(c.var < 0 ? item : item->Item(c.var));
            EXPECT_EQ(W().btn_Add_Node->Caption(), c.nodeButton);
            EXPECT_EQ(W().btn_Add_Var->Caption(), c.varButton);
            W().LbButton4Click();  // Cancel, nothing changed
        });
        EXPECT_EQ(W().ShowModal(), mrCancel);

        // Shown again: nothing selected, and the node button adds.
        script.AnswerForm([&](QWidget&) {
            EXPECT_EQ(W().IND_NODO, -1);
            EXPECT_EQ(W().btn_Add_Node->Caption(), M(1723));
            EXPECT_EQ(W().btn_Add_Var->Caption(), M(1748));
            W().E_New_Node_Desc->SetText("Water");
            W().E_New_Node_ID_Pri->SetText("9");
            W().RB_ID_Primary->SetChecked(true);
            W().btn_Add_NodeClick();
            ASSERT_EQ(W().Nodi_List.size(), 3u) << "the node was added";
            EXPECT_EQ(W().NODE_ORIG->Item(2)->Text(), "ID 9 - Water");
            W().Is_Change = false;
            W().LbButton4Click();
        });
        EXPECT_EQ(W().ShowModal(), mrCancel);
        EXPECT_EQ(script.Unanswered(), 0);
    }
}

TEST(ScanWindowAddress, ADotSelectsTheNextPartSoTypingReplacesIt)
{
    Load_English_Table();
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TScanTiming timing;
    timing.Tick = [] { return 0u; };
    timing.Sleep = [](uint32_t) {};
    TFScanDecode window(std::make_unique<TMBusScanDecode>(false, timing, wired, wireless));
    window.Form_Type = 1;
    window.FormShow();
    window.Show();
    window.activateWindow();
    QApplication::processEvents();
    window.E_IP1->SetText("192");
    window.E_IP2->SetText("168");
    window.E_IP3->SetText("2");
    window.E_IP4->SetText("205");
    window.E_IP1->SetFocus();
    window.E_IP1->SelectAll();
    testsupport::TypeKeys(QStringLiteral("127.0.0.01"));
    EXPECT_EQ(QStringList({window.E_IP1->Text(), window.E_IP2->Text(), window.E_IP3->Text(), window.E_IP4->Text()}),
              QStringList({"127", "0", "0", "1"}));
    window.Hide();
}
