#pragma once

// The M-Bus network editor: the network as a tree on the left, and a page
// control with the fields of one node ("Nodes") and of one variable
// ("Variables"). The network is read from "M_Bus.xml" at every showing and
// written back by OK. The checks and the taking of a node or a variable are
// plain functions (UMeter_Bus_Checks.h); this window reads its pages into
// them and keeps the tree and the node list in step.

#include "mbus/UMeter_Bus.h"
#include "mbus/UMeter_Bus_Checks.h"

#include "platform/Forms.h"

#include <array>
#include <memory>

namespace platform {
class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TLabel;
class TMenuItem;
class TPanel;
class TPopupMenu;
class TRadioButton;
class TTreeNode;
class TTreeView;
}
class TExPageControl;
class TExTabSheet;
class TLbButton;

class TFMeter_Bus : public platform::TForm
{
public:
    TFMeter_Bus();
    ~TFMeter_Bus() override;

    // The working network of this showing, and the selection in the tree.
    TNodi_List Nodi_List;
    platform::TTreeNode* NODE_ORIG = nullptr;
    platform::TTreeNode* NODE_ID = nullptr;
    platform::TTreeNode* SELECT_NODE = nullptr;
    int IND_NODO = -1;
    int IND_VAR = -1;
    // Copies, not references; they live as long as the window, across showings.
    std::unique_ptr<TVariabile> Copy_Var;
    std::unique_ptr<TNodo> Copy_Node;
    bool Is_Change = false;
    // The file could not be read at this showing: nothing of it is shown, and
    // OK leaves it as it is unless the network was changed.
    bool Load_Failed = false;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;
    TLbButton* Btn_ImportNet = nullptr;

    platform::TTreeView* TW = nullptr;
    platform::TPopupMenu* PopupMenu1 = nullptr;
    platform::TMenuItem* CopyVariable1 = nullptr;
    platform::TMenuItem* PasteVariable1 = nullptr;
    platform::TMenuItem* CopyNode1 = nullptr;
    platform::TMenuItem* PasteNode1 = nullptr;
    platform::TMenuItem* DeleteItem1 = nullptr;

    TExPageControl* ExPageControl1 = nullptr;
    TExTabSheet* ExTabSheet1 = nullptr;  // Nodes
    TExTabSheet* ExTabSheet2 = nullptr;  // Variables

    // Nodes page.
    platform::TCheckBox* CB_Node_En = nullptr;
    platform::TLabel* L_Node_Desc = nullptr;
    platform::TEdit* E_New_Node_Desc = nullptr;
    platform::TLabel* L_MBus_Type = nullptr;
    platform::TComboBox* CB_MBus_Type = nullptr;
    platform::TRadioButton* RB_ID_Primary = nullptr;
    platform::TEdit* E_New_Node_ID_Pri = nullptr;
    platform::TRadioButton* RB_ID_Secondary = nullptr;
    platform::TEdit* E_New_Node_ID_Sec = nullptr;
    platform::TCheckBox* CB_Node_State = nullptr;
    platform::TEdit* E_Node_State = nullptr;
    platform::TCheckBox* CB_Ident_Num = nullptr;
    platform::TEdit* E_Iden = nullptr;
    platform::TCheckBox* CB_BCDtoINT_IN = nullptr;
    platform::TLabel* L_Swap_IN = nullptr;
    platform::TComboBox* CB_Swap_IN = nullptr;
    platform::TCheckBox* CB_SND_NKE = nullptr;
    platform::TCheckBox* CB_Reset_App = nullptr;
    platform::TLabel* L_Var_Type = nullptr;
    platform::TComboBox* CB_Var_Type = nullptr;
    platform::TLabel* L_Cut_After = nullptr;
    platform::TComboBox* CB_Cut_After = nullptr;
    platform::TLabel* L_Frames = nullptr;
    platform::TCheckBox* CB_Manu_Spec_Data = nullptr;
    platform::TEdit* E_Manu_Spec_Data = nullptr;
    platform::TLabel* L_MSD_Length = nullptr;
    platform::TEdit* E_MSD_Length = nullptr;
    platform::TLabel* L_MSD_Offset = nullptr;
    platform::TEdit* E_MSD_Offset = nullptr;
    platform::TCheckBox* CB_Access_Number = nullptr;
    platform::TEdit* E_Access_Number = nullptr;
    platform::TPanel* P_wMBus_Node = nullptr;
    platform::TLabel* L_wMBus_ManID = nullptr;
    platform::TEdit* E_wMBus_ManID = nullptr;
    platform::TLabel* L_wMBus_Add = nullptr;
    platform::TEdit* E_wMBus_Add = nullptr;
    platform::TLabel* L_wMBus_Ver = nullptr;
    platform::TEdit* E_wMBus_Ver = nullptr;
    platform::TLabel* L_wMBus_DevType = nullptr;
    platform::TEdit* E_wMBus_DevType = nullptr;
    platform::TCheckBox* CB_wMBus_EnKey = nullptr;
    std::array<platform::TLabel*, 16> L_wMBus_K{};
    std::array<platform::TEdit*, 16> E_wMBus_K{};  // E_wMBus_K1 .. E_wMBus_K16
    platform::TCheckBox* CB_wMBus_Node_State = nullptr;
    platform::TEdit* E_wMBus_NodeState = nullptr;
    platform::TCheckBox* CB_wMBus_Ident_Num = nullptr;
    platform::TEdit* E_wMBus_Ident = nullptr;
    platform::TCheckBox* CB_wMBus_RSSI = nullptr;
    platform::TEdit* E_wMBus_RSSI = nullptr;
    platform::TCheckBox* CB_wMBus_Access_Number = nullptr;
    platform::TEdit* E_wMBus_Access_Number = nullptr;
    platform::TCheckBox* CB_wMBus_Conv_BCD = nullptr;
    platform::TLabel* L_wMBus_Swap_Ident = nullptr;
    platform::TComboBox* CB_wMBus_Swap_Ident = nullptr;
    platform::TLabel* L_wMBus_VarList = nullptr;
    platform::TComboBox* CB_wMBus_VarList = nullptr;
    TLbButton* btn_Add_Node = nullptr;

    // Variables page.
    platform::TCheckBox* CB_Var_En = nullptr;
    platform::TLabel* L_Var_Desc = nullptr;
    platform::TEdit* E_New_Var_Desc = nullptr;
    platform::TLabel* L_Var_ToD = nullptr;
    platform::TComboBox* CB_Var_ToD = nullptr;
    platform::TLabel* L_VIF_ASCII = nullptr;
    platform::TEdit* E_VIF_ASCII = nullptr;
    platform::TLabel* L_Var_FF = nullptr;
    platform::TComboBox* CB_Var_FF = nullptr;
    platform::TLabel* L_Var_Dim = nullptr;
    platform::TComboBox* CB_Var_Dim = nullptr;
    platform::TLabel* L_Length = nullptr;
    platform::TEdit* E_Length = nullptr;
    platform::TLabel* L_Var_Unit = nullptr;
    platform::TComboBox* CB_Var_Unit = nullptr;
    platform::TLabel* L_Sto_Num = nullptr;
    platform::TEdit* E_Sto_Num = nullptr;
    platform::TLabel* L_Tariff = nullptr;
    platform::TEdit* E_Tariff = nullptr;
    platform::TLabel* L_VIFE = nullptr;
    platform::TComboBox* CB_VIFE = nullptr;
    platform::TLabel* L_Var_MR = nullptr;
    platform::TEdit* E_Var_MR = nullptr;
    platform::TGroupBox* GroupBox4 = nullptr;
    platform::TCheckBox* CB_TP_MR = nullptr;
    platform::TLabel* L_TP_Year = nullptr;
    platform::TEdit* E_TP_Year = nullptr;
    platform::TLabel* L_TP_Month = nullptr;
    platform::TLabel* ST_TP_Month = nullptr;
    platform::TLabel* L_TP_Day = nullptr;
    platform::TLabel* ST_TP_Day = nullptr;
    platform::TLabel* L_TP_Hour = nullptr;
    platform::TLabel* ST_TP_Hour = nullptr;
    platform::TLabel* L_TP_Min = nullptr;
    platform::TLabel* ST_TP_Min = nullptr;
    platform::TLabel* L_TP_Sec = nullptr;
    platform::TLabel* ST_TP_Sec = nullptr;
    platform::TCheckBox* CB_BCDtoINT = nullptr;
    platform::TCheckBox* CB_Float = nullptr;
    platform::TCheckBox* CB_Force_Int32 = nullptr;
    platform::TLabel* L_PostOpe = nullptr;
    platform::TComboBox* CB_PostOpe = nullptr;
    platform::TLabel* L_Position = nullptr;
    platform::TEdit* E_Position = nullptr;
    TLbButton* btn_Add_Var = nullptr;

    // Handlers, as the controls call them.
    void FormShow();
    void TWClick();
    void TWChange();
    void btn_Add_NodeClick();
    void btn_Add_VarClick();
    void btn_Delete_ItemClick();
    void DeleteItem1Click() { btn_Delete_ItemClick(); }
    void CopyVariable1Click();
    void PasteVariable1Click();
    void CopyNode1Click();
    void PasteNode1Click();
    void Btn_ImportNetClick();
    void LbButton2Click();  // OK
    void LbButton4Click();  // Cancel
    void CB_MBus_TypeChange();
    void CB_Var_ToDChange();
    void CB_Var_DimChange();
    void E_TP_YearChange();
    void Set_Lang();

    // The pages as the checks read them.
    TNode_Page Node_Page() const;
    TVar_Page Var_Page() const;
    bool Controllo_Dati_New_Nodo();
    bool Controllo_Dati_New_Var(bool isNew);
    bool Check_Node_ID(int address, int type);
    bool Check_Node_ID2(int address, int type);
    bool Check_Registers(int P, int S, bool isNew, int Y);

    // The list whose positions a page's combo box holds: its entry, or none
    // for a value outside the list, which is kept until the user picks one.
    static void Show_Choice(platform::TComboBox* box, int value);
    // The same, showing the given entry for the value.
    static void Show_Choice(platform::TComboBox* box, int value, int shown);
    static int Take_Choice(const platform::TComboBox* box);

    // Widens the dropped list of the type-of-data and VIFE boxes to their
    // longest entry (the extra room past the text: 30 and 65 pixels).
    static int Dropped_Width(const platform::TComboBox* box, int extra);

private:
    void Create_Controls();
    void Create_Node_Page();
    void Create_Var_Page();
    void Read_Network();
    void Aggiorna_Label();
    void Show_Node(const TNodo& n);
    void Show_Variable(const TVariabile& v);
    void Reset_Var_Page();
    void Sposta_Oggetti_Var(int listType);
    void Nodes_Move_Elements();
    void Select_Width_ComboBox(platform::TComboBox* box, int extra);
    void Clear_Tree();
    void Add_Node_Item(const TNodo& n);
    bool Node_Selected_List_By_Position() const;

    bool treeQuiet_ = false;  // the tree is being rebuilt: its change events wait
};

extern TFMeter_Bus* FMeter_Bus;
