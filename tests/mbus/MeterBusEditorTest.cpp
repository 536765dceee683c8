// The network editor and its paste dialog, driven through their handlers as
// the controls call them, with the project file in a folder of the test's own.
#include "mbus/UMeter_Bus_Form.h"
#include "mbus/UNewIDNode.h"
#include "support/TestSupport.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "widgets/ExPageControl.h"
#include "widgets/LbButton.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

// Two wired nodes and a wireless one:
//   0 "Heat": primary 5, "Energy" at 100 (type 0) and "Volume" at 110 (type 2);
//   1 "Gas": secondary 12345678, no variables;
//   2 "Water": wireless, address 305419896, key bytes 0x10 .. 0x1F, "Flow" at 200.
const char kNetwork[] =
    "<M-Bus_Network>"
    "<Nodo Node_Enable=\"1\" ID_Primary=\"5\" ID_Secondary=\"1\" Descrizione=\"Heat\" Node_ID_Type=\"0\" MBus_Type=\"1\" Cut_After=\"2\">"
    "<Variabile Enable=\"1\" Desc=\"Energy\" Type=\"0\" Fun_Field=\"0\" Dim=\"2\" PositionData=\"100\" Position=\"1\"/>"
    "<Variabile Enable=\"1\" Desc=\"Volume\" Type=\"2\" Fun_Field=\"1\" Dim=\"7\" Length=\"6\" PositionData=\"110\" Position=\"2\"/>"
    "</Nodo>"
    "<Nodo Node_Enable=\"1\" ID_Primary=\"1\" ID_Secondary=\"12345678\" Descrizione=\"Gas\" Node_ID_Type=\"1\" MBus_Type=\"1\"/>"
    "<Nodo Node_Enable=\"1\" Descrizione=\"Water\" MBus_Type=\"0\" wMBus_ManID=\"0x2C2D\" wMBus_Add=\"305419896\" wMBus_Ver=\"1\""
    " wMBus_DevType=\"7\" wMBus_En_Key=\"1\" wMBus_Key_1=\"0x10\" wMBus_Key_2=\"0x11\" wMBus_Key_3=\"0x12\" wMBus_Key_4=\"0x13\""
    " wMBus_Key_5=\"0x14\" wMBus_Key_6=\"0x15\" wMBus_Key_7=\"0x16\" wMBus_Key_8=\"0x17\" wMBus_Key_9=\"0x18\" wMBus_Key_10=\"0x19\""
    " wMBus_Key_11=\"0x1A\" wMBus_Key_12=\"0x1B\" wMBus_Key_13=\"0x1C\" wMBus_Key_14=\"0x1D\" wMBus_Key_15=\"0x1E\" wMBus_Key_16=\"0x1F\""
    " wMBus_RSSI=\"30\">"
    "<Variabile Enable=\"1\" Desc=\"Flow\" Type=\"8\" Fun_Field=\"0\" Dim=\"2\" PositionData=\"200\"/>"
    "</Nodo>"
    "</M-Bus_Network>";

class MeterBusEditor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Load_English_Table();
        SW_Code = QStringLiteral("DIZ5U15");
        Use_Project(dir.path());
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

    static void Use_Project(const QString& folder)
    {
        Project_Folder = folder;
        FileName_M_Bus = QDir(folder).filePath("M_Bus.xml");
    }
    void Write_Network(const QByteArray& xml = kNetwork) { ASSERT_TRUE(WriteAll(FileName_M_Bus, xml)); }
    TFMeter_Bus& W() { return *FMeter_Bus; }
    // Shows the window's content as a showing does, without waiting on it.
    void Show_Network(const QByteArray& xml = kNetwork)
    {
        Write_Network(xml);
        W().FormShow();
    }

    TTreeNode* Root() { return W().NODE_ORIG; }
    TTreeNode* NodeItem(int n) { return Root()->Item(n); }
    TTreeNode* VarItem(int n, int v) { return Root()->Item(n)->Item(v); }
    void Select(TTreeNode* item) { W().TW->SetSelected(item); }
    QStringList Labels()
    {
        QStringList out;
        for (int n = 0; n < Root()->Count(); ++n) {
            out << NodeItem(n)->Text();
            for (int v = 0; v < NodeItem(n)->Count(); ++v)
                out << "  " + VarItem(n, v)->Text();
        }
        return out;
    }
    TNodi_List Saved() { return Read_MBus_Network(FileName_M_Bus).Nodes; }
    void Press_OK()
    {
        W().LbButton2Click();
        EXPECT_EQ(W().ModalResult(), mrOk);
    }
    static std::vector<QString> Texts(const DialogScript& s)
    {
        std::vector<QString> out;
        for (const ShownDialog& d : s.Shown())
            out.push_back(d.text);
        return out;
    }
    static QString M(int n) { return Language_List.value(n); }

    QTemporaryDir dir;
};

// Drives the paste dialog: sets the index cells of the grid (row -> text)
// and the named fields, then presses OK.
FormAction Paste_With(std::map<int, QString> cells, std::function<void(TFNewIDNode&)> fields = nullptr)
{
    return [cells, fields](QWidget& form) {
        auto& d = static_cast<TFNewIDNode&>(form);
        for (const auto& [row, text] : cells)
            d.ESG_MR_Var->SetCellEx(1, row, text);
        if (fields)
            fields(d);
        d.LbButton2Click();
    };
}

} // namespace

TEST_F(MeterBusEditor, ShowsTheNetworkAsATree)
{
    Show_Network();
    EXPECT_EQ(Root()->Text(), "M-Bus Network");
    EXPECT_TRUE(Root()->Expanded());
    EXPECT_EQ(Labels(), QStringList({"ID 5 - Heat", "  VAR - Energy", "  VAR - Volume", "ID 12345678 - Gas",
                                     "wM-Bus Node - Address 305419896 - Water", "  VAR - Flow"}));
    EXPECT_EQ(W().Nodi_List.size(), 3u);
    EXPECT_EQ(W().IND_NODO, -1);
    EXPECT_EQ(W().IND_VAR, -1);
    EXPECT_FALSE(W().Is_Change);
    EXPECT_EQ(W().btn_Add_Node->Caption(), "ADD NODE");
    EXPECT_EQ(W().btn_Add_Var->Caption(), "ADD VARIABLE");
    EXPECT_EQ(W().CB_Cut_After->ItemCount(), 250);
    EXPECT_EQ(W().CB_Cut_After->ItemIndex(), 0);
    EXPECT_FALSE(W().PasteNode1->Enabled());
    EXPECT_FALSE(W().PasteVariable1->Enabled());
    EXPECT_EQ(W().Caption(), "M-Bus Network");
    EXPECT_EQ(W().ClientWidth(), 834);
    EXPECT_EQ(W().ClientHeight(), 700);
}

TEST_F(MeterBusEditor, SelectionFillsThePagesAndSetsTheButtonModes)
{
    Show_Network();
    Select(NodeItem(0));
    EXPECT_EQ(W().IND_NODO, 0);
    EXPECT_EQ(W().IND_VAR, -1);
    EXPECT_EQ(W().NODE_ID, NodeItem(0));
    EXPECT_EQ(W().btn_Add_Node->Caption(), "MODIFY NODE");
    EXPECT_EQ(W().btn_Add_Var->Caption(), "ADD VARIABLE");
    EXPECT_EQ(W().ExPageControl1->ActivePage(), W().ExTabSheet1);
    EXPECT_EQ(W().E_New_Node_Desc->Text(), "Heat");
    EXPECT_EQ(W().E_New_Node_ID_Pri->Text(), "5");
    EXPECT_TRUE(W().RB_ID_Primary->Checked());
    EXPECT_EQ(W().CB_Cut_After->Text(), "3");
    EXPECT_FALSE(W().P_wMBus_Node->Visible());
    // The Variables page starts over for a new variable.
    EXPECT_TRUE(W().CB_Var_En->Checked());
    EXPECT_EQ(W().E_Var_MR->Text(), "");
    EXPECT_EQ(W().E_TP_Year->Text(), "1");
    EXPECT_EQ(W().ST_TP_Sec->Caption(), "6");
    EXPECT_EQ(W().E_Position->Text(), "1");

    Select(VarItem(2, 0));
    EXPECT_EQ(W().IND_NODO, 2);
    EXPECT_EQ(W().IND_VAR, 0);
    EXPECT_EQ(W().NODE_ID, NodeItem(2));
    EXPECT_EQ(W().SELECT_NODE, VarItem(2, 0));
    EXPECT_EQ(W().btn_Add_Node->Caption(), "ADD NODE");
    EXPECT_EQ(W().btn_Add_Var->Caption(), "MODIFY VARIABLE");
    EXPECT_EQ(W().ExPageControl1->ActivePage(), W().ExTabSheet2);
    EXPECT_EQ(W().E_Var_MR->Text(), "200");
    EXPECT_EQ(W().CB_Var_ToD->ItemIndex(), 8);
    // The node of a selected variable shows too, each key byte in its field.
    EXPECT_TRUE(W().P_wMBus_Node->Visible());
    EXPECT_FALSE(W().RB_ID_Primary->Visible());
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(W().E_wMBus_K[static_cast<size_t>(k)]->Text(), QStringLiteral("0x%1").arg(0x10 + k, 0, 16).toUpper().replace("0X", "0x"));
    EXPECT_EQ(W().E_wMBus_RSSI->Text(), "30");

    Select(Root());
    EXPECT_EQ(W().IND_NODO, -1);
    EXPECT_EQ(W().NODE_ID, nullptr);
    EXPECT_EQ(W().btn_Add_Node->Caption(), "ADD NODE");
    EXPECT_EQ(W().btn_Add_Var->Caption(), "ADD VARIABLE");
    EXPECT_EQ(W().E_Var_MR->Text(), "200");  // the fields stay as they were
}

TEST_F(MeterBusEditor, FieldDependencies)
{
    Show_Network();
    Select(VarItem(0, 1));  // "Volume": variable length
    EXPECT_TRUE(W().E_Length->Enabled());
    EXPECT_FALSE(W().CB_Float->Enabled());
    EXPECT_FALSE(W().E_VIF_ASCII->Enabled());
    EXPECT_FALSE(W().GroupBox4->Enabled());

    W().CB_Var_Dim->SetItemIndex(2);
    W().CB_Var_DimChange();
    EXPECT_FALSE(W().E_Length->Enabled());
    EXPECT_TRUE(W().CB_Float->Enabled());
    W().CB_Float->SetChecked(true);
    W().CB_Var_Dim->SetItemIndex(7);
    W().CB_Var_DimChange();
    EXPECT_FALSE(W().CB_Float->Checked());

    W().CB_Var_ToD->SetItemIndex(21);
    W().CB_Var_ToDChange();
    EXPECT_TRUE(W().E_VIF_ASCII->Enabled());
    W().CB_Var_ToD->SetItemIndex(20);
    W().CB_Var_ToDChange();
    EXPECT_TRUE(W().GroupBox4->Enabled());
    EXPECT_FALSE(W().E_VIF_ASCII->Enabled());

    W().E_TP_Year->SetText("100");
    EXPECT_EQ(W().ST_TP_Month->Caption(), "101");
    EXPECT_EQ(W().ST_TP_Sec->Caption(), "105");
    W().E_TP_Year->SetText("2147483647");  // the top of the numbers, from a hand-edited file
    EXPECT_EQ(W().ST_TP_Sec->Caption(), "2147483652");
    W().E_TP_Year->SetText("abc");
    EXPECT_EQ(W().ST_TP_Month->Caption(), "0");
    EXPECT_EQ(W().ST_TP_Sec->Caption(), "0");

    // A "By Position" list hides what identifies a record by type.
    W().Nodi_List[0].Var_List_Type = MBus_Var_List_By_Position;
    Select(NodeItem(0));
    EXPECT_FALSE(W().CB_Var_ToD->Visible());
    EXPECT_TRUE(W().E_Position->Visible());
    EXPECT_EQ(W().CB_Var_Dim->Top(), 56);
    EXPECT_EQ(W().btn_Add_Var->Top(), 327);
    EXPECT_TRUE(W().GroupBox4->Enabled());

    // The kind switch moves the manufacturer-specific rows below the wireless panel.
    W().CB_MBus_Type->SetItemIndex(MBus_Type_Wireless);
    W().CB_MBus_TypeChange();
    EXPECT_TRUE(W().P_wMBus_Node->Visible());
    EXPECT_FALSE(W().E_Access_Number->Visible());
    EXPECT_EQ(W().E_Manu_Spec_Data->Top(), 466);
    EXPECT_EQ(W().btn_Add_Node->Top(), 537);

    // The VIFE texts are long: its dropped list is wider than the box.
    EXPECT_GT(W().CB_VIFE->view()->minimumWidth(), W().CB_VIFE->Width());
}

TEST_F(MeterBusEditor, AddAndModifyNodesInTheButtonsModes)
{
    Show_Network();
    // Nothing selected: "ADD NODE" appends.
    W().E_New_Node_Desc->SetText("Cold");
    W().E_New_Node_ID_Pri->SetText("0x10");
    W().btn_Add_NodeClick();
    ASSERT_EQ(W().Nodi_List.size(), 4u);
    EXPECT_EQ(W().Nodi_List[3].Node_Pri, 16);
    EXPECT_EQ(NodeItem(3)->Text(), "ID 16 - Cold");
    EXPECT_TRUE(W().Is_Change);

    // A variable selected: the same caption adds a node, checked against the
    // selected variable's own node too.
    Select(VarItem(0, 0));
    ASSERT_EQ(W().btn_Add_Node->Caption(), "ADD NODE");
    {
        DialogScript script;
        W().btn_Add_NodeClick();  // the page shows node 0: address 5 is its own
        EXPECT_EQ(Texts(script), std::vector<QString>{M(1891)});
    }
    EXPECT_EQ(W().Nodi_List.size(), 4u);
    W().E_New_Node_ID_Pri->SetText("6");
    W().E_New_Node_Desc->SetText("Heat 2");
    W().btn_Add_NodeClick();
    ASSERT_EQ(W().Nodi_List.size(), 5u);
    EXPECT_EQ(W().Nodi_List[4].Var_List.size(), 0u);  // a new node, not a copy

    // A node selected: "MODIFY NODE" changes it and its label, keeping its variables.
    Select(NodeItem(1));
    ASSERT_EQ(W().btn_Add_Node->Caption(), "MODIFY NODE");
    W().E_New_Node_ID_Sec->SetText("0x5F5E0FF");  // 99999999 typed in hexadecimal
    W().btn_Add_NodeClick();
    EXPECT_EQ(W().Nodi_List.size(), 5u);
    EXPECT_EQ(W().Nodi_List[1].Node_Sec, 99999999);
    EXPECT_EQ(NodeItem(1)->Text(), "ID 99999999 - Gas");
    Select(NodeItem(0));
    W().E_New_Node_Desc->SetText("Heating");
    W().btn_Add_NodeClick();
    EXPECT_EQ(W().Nodi_List[0].Description, "Heating");
    EXPECT_EQ(W().Nodi_List[0].Var_List.size(), 2u);

    Press_OK();
    const TNodi_List saved = Saved();
    ASSERT_EQ(saved.size(), 5u);
    EXPECT_EQ(saved[1].Node_Sec, 99999999);
    EXPECT_EQ(saved[0].Description, "Heating");
    EXPECT_EQ(saved[3].Node_Pri, 16);
    EXPECT_EQ(W().TW->TopCount(), 1);  // the tree is cleared, the list released
    EXPECT_TRUE(W().Nodi_List.empty());
}

TEST_F(MeterBusEditor, FailedChecksAndConversionsChangeNothing)
{
    Show_Network();
    Select(NodeItem(0));
    const QByteArray before = MBus_Network_Bytes(W().Nodi_List);
    {
        DialogScript script;
        W().E_New_Node_ID_Pri->SetText("256");
        W().btn_Add_NodeClick();
        EXPECT_EQ(Texts(script), std::vector<QString>{M(1875)});
    }
    EXPECT_EQ(MBus_Network_Bytes(W().Nodi_List), before);
    EXPECT_TRUE(W().Is_Change);  // a press marks the network changed all the same

    // A field the check passes over (the node state with its box off) that is
    // no number stops the change with the platform's text; nothing is half taken.
    {
        DialogScript script;
        W().E_New_Node_ID_Pri->SetText("8");
        W().E_New_Node_Desc->SetText("Renamed");
        W().E_Node_State->SetText("ten");
        W().btn_Add_NodeClick();
        EXPECT_EQ(Texts(script), std::vector<QString>{"'ten' is not a valid integer value"});
    }
    EXPECT_EQ(MBus_Network_Bytes(W().Nodi_List), before);
    EXPECT_EQ(NodeItem(0)->Text(), "ID 5 - Heat");

    // "MODIFY" with nothing suitable selected only marks the change.
    Select(Root());
    W().Is_Change = false;
    W().btn_Add_Var->SetCaption(M(1749));
    W().btn_Add_VarClick();
    EXPECT_EQ(MBus_Network_Bytes(W().Nodi_List), before);
    EXPECT_TRUE(W().Is_Change);
}

TEST_F(MeterBusEditor, ANewWirelessNodeKeepsTheHiddenWiredTexts)
{
    Show_Network("<M-Bus_Network/>");
    W().CB_MBus_Type->SetItemIndex(MBus_Type_Wireless);
    W().CB_MBus_TypeChange();
    W().E_New_Node_Desc->SetText("Radio");
    W().E_wMBus_ManID->SetText("0x2C2D");
    W().E_wMBus_Add->SetText("-2023406815");
    W().E_wMBus_Ver->SetText("1");
    W().E_wMBus_DevType->SetText("7");
    W().E_wMBus_RSSI->SetText("12");
    W().CB_wMBus_RSSI->SetChecked(true);
    W().btn_Add_NodeClick();
    ASSERT_EQ(W().Nodi_List.size(), 1u);
    EXPECT_EQ(NodeItem(0)->Text(), "wM-Bus Node - Address -2023406815 - Radio");
    Press_OK();
    const QByteArray file = ReadAll(FileName_M_Bus);
    EXPECT_TRUE(file.contains("ID_Primary=\"1\" ID_Secondary=\"1\"")) << file.toStdString();
    EXPECT_TRUE(file.contains("MBus_Type=\"0\""));
    EXPECT_TRUE(file.contains("wMBus_Enable_RSSI=\"1\" wMBus_RSSI=\"12\""));

    // A new wired node has no signal strength; a changed one keeps its own.
    Show_Network();
    Select(NodeItem(2));
    W().CB_MBus_Type->SetItemIndex(MBus_Type_Wired);
    W().CB_MBus_TypeChange();
    W().E_New_Node_ID_Pri->SetText("44");
    W().btn_Add_NodeClick();
    EXPECT_EQ(W().Nodi_List[2].RSSI, 30);
    EXPECT_TRUE(W().Nodi_List[2].Is_Wired());
}

TEST_F(MeterBusEditor, CutAfterIsStoredAsItsPosition)
{
    Show_Network("<M-Bus_Network/>");
    W().CB_Cut_After->SetItemIndex(0);  // "1"
    W().btn_Add_NodeClick();
    W().CB_Cut_After->SetItemIndex(249);  // "250"
    W().E_New_Node_ID_Pri->SetText("2");
    W().btn_Add_NodeClick();
    ASSERT_EQ(W().Nodi_List.size(), 2u);
    EXPECT_EQ(W().Nodi_List[0].Cut_After, 0);
    EXPECT_EQ(W().Nodi_List[1].Cut_After, 249);
    // The file holds the positions, not the texts.
    Press_OK();
    const QByteArray file = ReadAll(FileName_M_Bus);
    EXPECT_TRUE(file.contains("Cut_After=\"0\"")) << file.toStdString();
    EXPECT_TRUE(file.contains("Cut_After=\"249\""));
}

TEST_F(MeterBusEditor, AddAndModifyVariables)
{
    Show_Network();
    // Nothing selected: "ADD VARIABLE" has no node to add to.
    W().E_Var_MR->SetText("300");
    W().btn_Add_VarClick();
    EXPECT_EQ(W().Nodi_List[0].Var_List.size(), 2u);

    Select(NodeItem(1));
    W().E_New_Var_Desc->SetText("Volume gas");
    W().E_Var_MR->SetText("300");
    W().E_Sto_Num->SetText("4294967295");
    W().CB_Var_Dim->SetItemIndex(3);
    W().btn_Add_VarClick();
    ASSERT_EQ(W().Nodi_List[1].Var_List.size(), 1u);
    EXPECT_EQ(NodeItem(1)->Item(0)->Text(), "VAR - Volume gas");
    EXPECT_EQ(W().Nodi_List[1].Var_List[0].Storage_Number, 4294967295u);
    EXPECT_EQ(W().Nodi_List[1].Var_List[0].Dimension, 3);

    // A variable at a taken position is refused with its conflict.
    {
        DialogScript script;
        W().E_Var_MR->SetText("100");
        W().btn_Add_VarClick();
        EXPECT_EQ(Texts(script), std::vector<QString>{M(1805) + "Heat" + M(1806) + "Energy" + M(1807)});
    }
    EXPECT_EQ(W().Nodi_List[1].Var_List.size(), 1u);

    // Changing "Energy" at its own position passes; its label follows.
    Select(VarItem(0, 0));
    W().E_New_Var_Desc->SetText("Energy total");
    W().CB_PostOpe->SetItemIndex(9);
    W().btn_Add_VarClick();
    EXPECT_EQ(W().Nodi_List[0].Var_List.size(), 2u);
    EXPECT_EQ(W().Nodi_List[0].Var_List[0].Description, "Energy total");
    EXPECT_EQ(W().Nodi_List[0].Var_List[0].Post_Operation, 9);
    EXPECT_EQ(VarItem(0, 0)->Text(), "VAR - Energy total");
}

TEST_F(MeterBusEditor, ValuesOutsideTheListsReadBackAsWritten)
{
    // A scan writes 65535 for "no type of data" and 255 for "no dimension",
    // and its secondary addresses as hexadecimal digits.
    Show_Network("<M-Bus_Network><Nodo ID_Secondary=\"1234ABCD\" Node_ID_Type=\"1\" Descrizione=\"Scan\" Cut_After=\"3\">"
                 "<Variabile Enable=\"1\" Desc=\"Unknown\" Type=\"65535\" Fun_Field=\"0\" Dim=\"255\" VIFE=\"255\" PositionData=\"10\"/>"
                 "</Nodo></M-Bus_Network>");
    EXPECT_EQ(NodeItem(0)->Text(), "ID 1234ABCD - Scan");
    Select(VarItem(0, 0));
    EXPECT_EQ(W().CB_Var_ToD->ItemIndex(), -1);
    EXPECT_EQ(W().CB_Var_Dim->ItemIndex(), -1);
    EXPECT_EQ(W().CB_VIFE->ItemIndex(), 0);  // 255 shows as "Not Selected"
    EXPECT_EQ(W().E_New_Node_ID_Sec->Text(), "1234ABCD");

    // Changing the description keeps every value the lists cannot show.
    W().E_New_Var_Desc->SetText("Unknown record");
    W().btn_Add_VarClick();
    const TVariabile& v = W().Nodi_List[0].Var_List[0];
    EXPECT_EQ(v.Type_Of_Data, 65535);
    EXPECT_EQ(v.Dimension, 255);
    EXPECT_EQ(v.VIFE, 255);
    // Picking an entry takes the entry.
    W().CB_Var_ToD->SetItemIndex(4);
    W().btn_Add_VarClick();
    EXPECT_EQ(W().Nodi_List[0].Var_List[0].Type_Of_Data, 4);

    Press_OK();
    const QByteArray file = ReadAll(FileName_M_Bus);
    EXPECT_TRUE(file.contains("ID_Secondary=\"1234ABCD\"")) << file.toStdString();
    EXPECT_TRUE(file.contains("Dim=\"255\""));
    EXPECT_TRUE(file.contains("VIFE=\"255\""));
}

TEST_F(MeterBusEditor, AScannedSecondaryAddressSurvivesAChangeOfItsNode)
{
    // A scan writes the secondary address as hexadecimal digits; the node is
    // addressed by its primary address, so the hidden text is no reason to
    // refuse a change, and it is written back as it was.
    Show_Network("<M-Bus_Network><Nodo ID_Primary=\"3\" ID_Secondary=\"1234ABCD\" Node_ID_Type=\"0\" Descrizione=\"Scan\"/>"
                 "</M-Bus_Network>");
    Select(NodeItem(0));
    EXPECT_EQ(W().E_New_Node_ID_Sec->Text(), "1234ABCD");
    {
        DialogScript script;
        W().E_New_Node_Desc->SetText("Scanned heat");
        W().btn_Add_NodeClick();
        EXPECT_TRUE(script.Shown().empty());
    }
    EXPECT_EQ(W().Nodi_List[0].Description, "Scanned heat");
    EXPECT_TRUE(MBus_Network_Bytes(W().Nodi_List).contains("ID_Secondary=\"1234ABCD\""));
    // A new node from the same page has no such text of its own to keep.
    Select(Root());
    {
        DialogScript script;
        W().E_New_Node_ID_Pri->SetText("4");
        W().btn_Add_NodeClick();
        EXPECT_EQ(Texts(script), std::vector<QString>{"'1234ABCD' is not a valid integer value"});
    }
    EXPECT_EQ(W().Nodi_List.size(), 1u);
    // Typed over, it is a number again.
    Select(NodeItem(0));
    W().E_New_Node_ID_Sec->SetText("0x10");
    W().btn_Add_NodeClick();
    EXPECT_EQ(W().Nodi_List[0].Secondary_Text(), "16");
    Press_OK();
    EXPECT_TRUE(ReadAll(FileName_M_Bus).contains("ID_Secondary=\"16\""));
}

TEST_F(MeterBusEditor, DeleteInItsThreeModes)
{
    Show_Network();
    // A variable: asked, and only that variable goes.
    Select(VarItem(0, 0));
    {
        DialogScript script;
        script.AnswerMessage(MessageAnswer::Yes);
        W().DeleteItem1Click();
        EXPECT_EQ(Texts(script), std::vector<QString>{M(1895)});
    }
    EXPECT_EQ(W().Nodi_List[0].Var_List.size(), 1u);
    EXPECT_EQ(W().Nodi_List[0].Var_List[0].Description, "Volume");
    EXPECT_EQ(NodeItem(0)->Count(), 1);
    // The selection is evaluated again and stays within the list.
    EXPECT_LE(W().IND_NODO, 2);
    if (W().IND_NODO >= 0 && W().IND_VAR >= 0) {
        EXPECT_LT(W().IND_VAR, static_cast<int>(W().Nodi_List[static_cast<size_t>(W().IND_NODO)].Var_List.size()));
    }

    // A node, answered No: nothing changes.
    Select(NodeItem(2));
    W().Is_Change = false;
    {
        DialogScript script;
        script.AnswerMessage(MessageAnswer::No);
        W().btn_Delete_ItemClick();
        EXPECT_EQ(Texts(script), std::vector<QString>{M(1894)});
    }
    EXPECT_EQ(W().Nodi_List.size(), 3u);
    EXPECT_FALSE(W().Is_Change);
    // Yes: the node and its variables go, the tree follows.
    {
        DialogScript script;
        script.AnswerMessage(MessageAnswer::Yes);
        W().btn_Delete_ItemClick();
    }
    EXPECT_EQ(W().Nodi_List.size(), 2u);
    EXPECT_EQ(Labels(), QStringList({"ID 5 - Heat", "  VAR - Volume", "ID 12345678 - Gas"}));

    // Nothing selected: all nodes, with all their variables.
    Select(Root());
    {
        DialogScript script;
        script.AnswerMessage(MessageAnswer::Yes);
        W().btn_Delete_ItemClick();
        EXPECT_EQ(Texts(script), std::vector<QString>{M(1893)});
    }
    EXPECT_TRUE(W().Nodi_List.empty());
    EXPECT_EQ(W().TW->TopCount(), 1);
    EXPECT_EQ(Root()->Count(), 0);
    EXPECT_EQ(W().IND_NODO, -1);
    // And once more on the empty network: asked, changes nothing, marks the change.
    W().Is_Change = false;
    {
        DialogScript script;
        script.AnswerMessage(MessageAnswer::Yes);
        W().btn_Delete_ItemClick();
        EXPECT_EQ(Texts(script), std::vector<QString>{M(1893)});
    }
    EXPECT_TRUE(W().Is_Change);
    Press_OK();
    EXPECT_EQ(ReadAll(FileName_M_Bus).toStdString(), "<M-Bus_Network />\n<!--SW_VERSION = 1.002-->\n");
}

TEST_F(MeterBusEditor, CopyAndPasteAVariable)
{
    Show_Network();
    {
        DialogScript script;
        W().CopyVariable1Click();   // nothing selected
        Select(NodeItem(0));
        W().CopyVariable1Click();   // a node, not a variable
        W().PasteVariable1Click();  // nothing copied yet
        EXPECT_EQ(Texts(script), (std::vector<QString>{M(1898), M(1897), M(1901)}));
    }
    Select(VarItem(0, 0));
    W().CopyVariable1Click();
    EXPECT_TRUE(W().PasteVariable1->Enabled());
    Select(Root());
    {
        DialogScript script;
        W().PasteVariable1Click();
        EXPECT_EQ(Texts(script), std::vector<QString>{M(1905)});
    }

    // Pasted into the node of the selected variable, at the end of its list,
    // with the position and time point the dialog gave.
    Select(VarItem(2, 0));
    W().Is_Change = false;
    {
        DialogScript script;
        script.AnswerForm([this](QWidget& form) {
            auto& d = static_cast<TFNewIDNode&>(form);
            EXPECT_EQ(d.Caption(), "New Variable");
            EXPECT_EQ(d.Panel1->Height(), 8);
            EXPECT_EQ(d.ESG_MR_Var->RowCount(), 4);
            EXPECT_EQ(d.ESG_MR_Var->GetCellEx(0, 1), "Modbus Register");
            EXPECT_EQ(d.ESG_MR_Var->GetCellEx(1, 1), "100");
            EXPECT_EQ(d.ESG_MR_Var->GetCellEx(1, 2), "");
            EXPECT_EQ(d.ESG_MR_Var->GetCellEx(1, 3), "0");  // the file had no year
            EXPECT_EQ(d.ESG_MR_Var->GetCellEx(2, 3), "Energy");
            // First as copied: the copy on its original, and the empty second row.
            d.LbButton2Click();
            EXPECT_EQ(d.ModalResult(), mrNone);
            Paste_With({{1, "120"}, {2, "0"}, {3, "0"}})(form);
        });
        W().PasteVariable1Click();
        EXPECT_EQ(Texts(script), (std::vector<QString>{"FNewIDNode", M(2017)}));
    }
    ASSERT_EQ(W().Nodi_List[2].Var_List.size(), 2u);
    const TVariabile& pasted = W().Nodi_List[2].Var_List[1];
    EXPECT_EQ(pasted.Description, "Energy");
    EXPECT_EQ(pasted.PositionData, 120);
    EXPECT_EQ(pasted.TP_Mod_Year, 0);
    EXPECT_EQ(VarItem(2, 1)->Text(), "VAR - Energy");
    EXPECT_TRUE(W().Is_Change);

    // Cancel in the dialog changes nothing.
    W().Is_Change = false;
    {
        DialogScript script;
        script.AnswerForm([](QWidget& form) { static_cast<TFNewIDNode&>(form).SetModalResult(mrCancel); });
        W().PasteVariable1Click();
    }
    EXPECT_EQ(W().Nodi_List[2].Var_List.size(), 2u);
    EXPECT_FALSE(W().Is_Change);
}

TEST_F(MeterBusEditor, CopyAndPasteANodeWithNewAddressAndPositions)
{
    Show_Network();
    {
        DialogScript script;
        W().CopyNode1Click();
        EXPECT_EQ(Texts(script), std::vector<QString>{M(1899)});
    }
    W().Nodi_List[0].Enable_NS = W().Nodi_List[0].Enable_IN = W().Nodi_List[0].Enable_AN = 1;
    W().Nodi_List[0].Node_State = 50;
    Select(VarItem(0, 1));  // the node of a selected variable is copied
    W().CopyNode1Click();
    EXPECT_TRUE(W().PasteNode1->Enabled());

    DialogScript script;
    script.AnswerForm([](QWidget& form) {
        auto& d = static_cast<TFNewIDNode&>(form);
        EXPECT_EQ(d.Caption(), "New Node ID");
        EXPECT_EQ(d.Form_Type, 1);
        EXPECT_EQ(d.Panel1->Height(), 161);
        EXPECT_EQ(d.E_MR_NodeState->Top(), 77);
        EXPECT_FALSE(d.E_wMBus_Add->isVisibleTo(&d));
        EXPECT_TRUE(d.RB_ID_Primary->Checked());
        EXPECT_EQ(d.E_New_Node_ID_Pri->Text(), "5");
        EXPECT_EQ(d.E_MR_NodeState->Text(), "50");
        EXPECT_EQ(d.ESG_MR_Var->RowCount(), 7);
        EXPECT_EQ(d.ESG_MR_Var->GetCellEx(1, 4), "110");
        // Its own address is taken, and so are its positions.
        Paste_With({{2, "0"}, {5, "0"}, {3, "0"}, {6, "0"}})(form);
        EXPECT_EQ(d.ModalResult(), mrNone);
        Paste_With({{1, "130"}, {4, "131"}}, [](TFNewIDNode& f) {
            f.E_New_Node_ID_Pri->SetText("6");
            f.E_MR_NodeState->SetText("60");
        })(form);
    });
    W().PasteNode1Click();
    EXPECT_EQ(Texts(script), (std::vector<QString>{"FNewIDNode", M(1890), M(1805) + "Heat" + M(1806) + "Energy" + M(1807),
                                                 M(1805) + "Heat" + M(1806) + "Volume" + M(1807)}));
    ASSERT_EQ(W().Nodi_List.size(), 4u);
    const TNodo& n = W().Nodi_List[3];
    EXPECT_EQ(n.Node_Pri, 6);
    EXPECT_EQ(n.Node_State, 60);
    EXPECT_EQ(n.Enable_NS + n.Enable_IN + n.Enable_AN + n.Enable_MS + n.Enable_RSSI, 0);
    ASSERT_EQ(n.Var_List.size(), 2u);
    EXPECT_EQ(n.Var_List[0].PositionData, 130);
    EXPECT_EQ(n.Var_List[1].PositionData, 131);
    EXPECT_EQ(n.Var_List[1].Length, 6);
    EXPECT_EQ(Labels().mid(6), QStringList({"ID 6 - Heat", "  VAR - Energy", "  VAR - Volume"}));
}

TEST_F(MeterBusEditor, AWirelessNodeIsPastedInAnotherConfiguration)
{
    Show_Network();
    Select(NodeItem(2));
    W().CopyNode1Click();
    W().LbButton4Click();  // closes without changes

    // Another configuration, opened afterwards: the copy is still there.
    QTemporaryDir other;
    Use_Project(other.path());
    W().FormShow();
    EXPECT_TRUE(W().Nodi_List.empty());
    EXPECT_TRUE(W().PasteNode1->Enabled());
    DialogScript script;
    script.AnswerForm([](QWidget& form) {
        auto& d = static_cast<TFNewIDNode&>(form);
        EXPECT_EQ(d.Form_Type, 3);
        EXPECT_TRUE(d.E_wMBus_Add->isVisibleTo(&d));
        EXPECT_FALSE(d.E_New_Node_ID_Pri->isVisibleTo(&d));
        EXPECT_EQ(d.E_wMBus_Add->Text(), "305419896");
        EXPECT_EQ(d.E_wMBus_RSSI->Text(), "30");
        EXPECT_EQ(d.Panel1->Height(), d.E_wMBus_RSSI->Top() + d.E_wMBus_RSSI->Height() + 4);
        Paste_With({{1, "7"}, {2, "0"}, {3, "0"}}, [](TFNewIDNode& f) { f.E_wMBus_Add->SetText("0x87654321"); })(form);
    });
    W().PasteNode1Click();
    ASSERT_EQ(W().Nodi_List.size(), 1u);
    EXPECT_EQ(W().Nodi_List[0].wMBus_Add, "0x87654321");
    EXPECT_EQ(W().Nodi_List[0].wMBus_Key[15], "0x1F");
    EXPECT_EQ(NodeItem(0)->Text(), "wM-Bus Node - Address 0x87654321 - Water");
    Press_OK();
    EXPECT_EQ(Saved().size(), 1u);
}

TEST_F(MeterBusEditor, ImportANetworkFile)
{
    Show_Network();
    QTemporaryDir elsewhere;
    const QString other = elsewhere.filePath("other.xml");
    const QByteArray imported = "<M-Bus_Network><Nodo ID_Primary=\"9\" Descrizione=\"Imported\"/></M-Bus_Network>";
    ASSERT_TRUE(WriteAll(other, imported));

    // No: nothing happens.
    {
        DialogScript script;
        script.AnswerFile(other);
        script.AnswerMessage(MessageAnswer::No);
        W().Btn_ImportNetClick();
        EXPECT_EQ(script.Shown().at(1).text, M(1906));
    }
    EXPECT_EQ(ReadAll(FileName_M_Bus), QByteArray(kNetwork));

    // Yes: the file is replaced at once and shown; a later Cancel keeps it.
    Select(NodeItem(0));
    W().btn_Add_NodeClick();
    ASSERT_TRUE(W().Is_Change);
    {
        DialogScript script;
        script.AnswerFile(other);
        script.AnswerMessage(MessageAnswer::Yes);
        W().Btn_ImportNetClick();
    }
    EXPECT_EQ(ReadAll(FileName_M_Bus), imported);
    EXPECT_EQ(Labels(), QStringList({"ID 9 - Imported"}));
    EXPECT_FALSE(W().Is_Change);
    W().LbButton4Click();
    EXPECT_EQ(W().ModalResult(), mrCancel);
    EXPECT_EQ(ReadAll(FileName_M_Bus), imported);

    // Into a configuration without a network file: no question.
    ASSERT_TRUE(QFile::remove(FileName_M_Bus));
    W().FormShow();
    DialogScript script;
    script.AnswerFile(other);
    W().Btn_ImportNetClick();
    EXPECT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(ReadAll(FileName_M_Bus), imported);
    EXPECT_EQ(W().Nodi_List.size(), 1u);
}

TEST_F(MeterBusEditor, ANodeWithoutVariablesIsPastedByItsAddressAlone)
{
    Show_Network();
    Select(NodeItem(1));  // "Gas", secondary 12345678
    W().CopyNode1Click();
    DialogScript script;
    script.AnswerForm([](QWidget& form) {
        auto& d = static_cast<TFNewIDNode&>(form);
        EXPECT_EQ(d.ESG_MR_Var->RowCount(), 2);
        EXPECT_EQ(d.ESG_MR_Var->GetCellEx(1, 1), "");
        EXPECT_TRUE(d.RB_ID_Secondary->Checked());
        EXPECT_TRUE(d.Request().Vars.empty());
        d.LbButton2Click();  // its own address
        EXPECT_EQ(d.ModalResult(), mrNone);
        d.E_New_Node_ID_Sec->SetText("87654321");
        d.LbButton2Click();
    });
    W().PasteNode1Click();
    EXPECT_EQ(Texts(script), (std::vector<QString>{"FNewIDNode", M(1890)}));
    ASSERT_EQ(W().Nodi_List.size(), 4u);
    EXPECT_EQ(W().Nodi_List[3].Node_Sec, 87654321);
    EXPECT_EQ(W().Nodi_List[3].Node_ID_Type, 1);
    EXPECT_EQ(NodeItem(3)->Text(), "ID 87654321 - Gas");
}

TEST_F(MeterBusEditor, ImportingADamagedFileChangesNothing)
{
    Show_Network();
    QTemporaryDir elsewhere;
    struct Case
    {
        const char* why;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"not XML", "meters: 3"},
        {"a variable without its type", "<M-Bus_Network><Nodo/><Nodo><Variabile Fun_Field=\"0\" Dim=\"0\"/></Nodo></M-Bus_Network>"},
    };
    for (const Case& c : cases) {
        const QString path = elsewhere.filePath("bad.xml");
        ASSERT_TRUE(WriteAll(path, c.bytes));
        DialogScript script;
        script.AnswerFile(path);
        script.AnswerMessage(MessageAnswer::Yes);
        W().Btn_ImportNetClick();
        ASSERT_EQ(script.Shown().size(), 2u) << c.why;
        EXPECT_EQ(script.Shown()[1].kind, MessageKind::Error) << c.why;
        EXPECT_EQ(script.AnswersLeft(), 1) << c.why;  // never asked to overwrite
        EXPECT_EQ(ReadAll(FileName_M_Bus), QByteArray(kNetwork)) << c.why;
        EXPECT_EQ(W().Nodi_List.size(), 3u) << c.why;
        EXPECT_EQ(Root()->Count(), 3) << c.why;
    }
    // Cancelled file dialog: nothing at all.
    DialogScript script;
    script.AnswerFile(QString());
    W().Btn_ImportNetClick();
    EXPECT_EQ(script.Shown().size(), 1u);
}

TEST_F(MeterBusEditor, AFileThatCannotBeReadIsNeitherShownInPartNorOverwritten)
{
    const QByteArray damaged = "<M-Bus_Network><Nodo Descrizione=\"A\"/><Nodo><Variabile Type=\"x\" Fun_Field=\"0\" Dim=\"0\"/></Nodo></M-Bus_Network>";
    {
        DialogScript script;
        Show_Network(damaged);
        EXPECT_EQ(Texts(script), std::vector<QString>{"'x' is not a valid integer value"});
    }
    EXPECT_TRUE(W().Load_Failed);
    EXPECT_TRUE(W().Nodi_List.empty());
    EXPECT_EQ(Root()->Count(), 0);
    // OK without a change leaves the file for the user to mend.
    Press_OK();
    EXPECT_EQ(ReadAll(FileName_M_Bus), damaged);

    // Not XML at all: the parser's message, an empty network.
    {
        DialogScript script;
        Show_Network("<M-Bus_Network><Nodo>");
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
    }
    EXPECT_TRUE(W().Nodi_List.empty());
    // A change made in its place is the user's to write.
    W().btn_Add_NodeClick();
    Press_OK();
    EXPECT_EQ(Saved().size(), 1u);
}

TEST_F(MeterBusEditor, OkCancelAndAFailedWrite)
{
    Show_Network();
    // Cancel without changes closes at once.
    W().LbButton4Click();
    EXPECT_EQ(W().ModalResult(), mrCancel);

    Show_Network();
    W().SetModalResult(mrNone);
    Select(NodeItem(1));
    W().btn_Add_NodeClick();
    {
        DialogScript script;
        script.AnswerMessage(MessageAnswer::No);
        W().LbButton4Click();
        EXPECT_EQ(Texts(script), std::vector<QString>{M(1896)});
    }
    EXPECT_EQ(W().ModalResult(), mrNone);

    // A file that cannot be written: the error is shown, the network kept, the window open.
    FileName_M_Bus = dir.filePath("missing/M_Bus.xml");
    {
        DialogScript script;
        W().LbButton2Click();
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
    }
    EXPECT_EQ(W().ModalResult(), mrNone);
    EXPECT_EQ(W().Nodi_List.size(), 3u);
    // Pressed again once it can be: written.
    FileName_M_Bus = dir.filePath("M_Bus.xml");
    Press_OK();
    EXPECT_EQ(Saved().size(), 3u);
}

TEST_F(MeterBusEditor, ShownModallyItReloadsTheFileEachTime)
{
    Write_Network();
    DialogScript script;
    script.AnswerForm([](QWidget& form) {
        auto& w = static_cast<TFMeter_Bus&>(form);
        EXPECT_EQ(w.Nodi_List.size(), 3u);
        w.TW->SetSelected(w.NODE_ORIG->Item(1));
        w.E_New_Node_Desc->SetText("Gas meter");
        w.btn_Add_NodeClick();
        w.LbButton2Click();
    });
    EXPECT_EQ(W().ShowModal(), mrOk);
    EXPECT_EQ(Saved().at(1).Description, "Gas meter");

    // The scan may rewrite the file in between: the next showing reads it again.
    Write_Network("<M-Bus_Network><Nodo Descrizione=\"Scanned\"/></M-Bus_Network>");
    script.AnswerForm([](QWidget& form) {
        auto& w = static_cast<TFMeter_Bus&>(form);
        EXPECT_EQ(w.Nodi_List.size(), 1u);
        EXPECT_EQ(w.NODE_ORIG->Item(0)->Text(), "ID 1 - Scanned");
        w.LbButton4Click();
    });
    EXPECT_EQ(W().ShowModal(), mrCancel);
    EXPECT_EQ(script.Unanswered(), 0);
}

TEST_F(MeterBusEditor, WhatTheUserTypesInThePasteGridIsPasted)
{
    Show_Network();
    Select(VarItem(0, 0));
    W().CopyVariable1Click();
    DialogScript script;
    script.AnswerForm([](QWidget& form) {
        auto& d = static_cast<TFNewIDNode&>(form);
        VOruVizizaZezo& grid = *d.ESG_MR_Var;
        d.activateWindow();  // keys go to the active window's focus
        QApplication::processEvents();
        grid.SetFocus();
        for (const auto& [row, text] : {std::pair{1, "150"}, {2, "0"}, {3, "0"}}) {
            grid.SetCol(1);
            grid.SetRow(row);
            testsupport::TypeKeys(QString::fromLatin1(text));
        }
        testsupport::Click(d.Btn_OK);
    });
    W().PasteVariable1Click();
    EXPECT_EQ(script.Unanswered(), 0);
    ASSERT_EQ(W().Nodi_List[0].Var_List.size(), 3u);
    EXPECT_EQ(W().Nodi_List[0].Var_List[2].PositionData, 150);
}
