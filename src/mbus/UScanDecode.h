#pragma once

// The Scan & Decode window: scans the M-Bus network through the converter,
// wired (by primary or secondary address) or wireless, shows what was found
// and saves it into the configuration's "M_Bus.xml" (UScanDecode_Save.h).
//
// The one rule a reader must know: the worker reports on its own thread and
// on the UDP receive thread; every report is queued onto this window's thread
// and carries the number of the scan it belongs to, so a late report of an
// earlier scan never touches the controls of the next one.

#include "mbus/UMBusScanDecode_Worker.h"
#include "mbus/UScanDecode_Save.h"
#include "platform/Forms.h"
#include "platform/XmlDocument.h"

#include <memory>

namespace platform {
class TCheckBox;
class TComboBox;
class TEdit;
class TImageList;
class TLabel;
class TListBox;
class TMenuItem;
class TPanel;
class TPopupMenu;
class TTimer;
class TTreeNode;
}
class TExStringGrid;
class TFInsertKeyWireless;
class TFModbusStartAdd_SD;
class TFScanModbusStart;
class TLbButton;
class TScanTree;

class TFScanDecode : public platform::TForm
{
public:
    // Without a worker the window makes its own, already running, on the
    // shared result lists.
    explicit TFScanDecode(std::unique_ptr<TMBusScanDecode> Worker = nullptr);
    ~TFScanDecode() override;

    // Inputs, set before showing.
    int XML_Code_Dev = 0;
    QString FileName_MBus;
    int Form_Type = 0;

    std::unique_ptr<TMBusScanDecode> TR_ScanDecode;
    bool Cyclic_Scan = false;
    int Error_Cyclic = 0;
    platform::XmlDocument XML1;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TPanel* P_Main = nullptr;
    platform::TLabel* L_ScanMethod = nullptr;
    platform::TComboBox* CB_ScanMethod = nullptr;
    platform::TLabel* L_ScanBy = nullptr;
    platform::TComboBox* CB_ScanBy = nullptr;
    platform::TLabel* L_HardwareType = nullptr;
    platform::TComboBox* CB_HardwareType = nullptr;
    platform::TLabel* L_IP = nullptr;
    platform::TEdit* E_IP1 = nullptr;
    platform::TEdit* E_IP2 = nullptr;
    platform::TEdit* E_IP3 = nullptr;
    platform::TEdit* E_IP4 = nullptr;
    platform::TLabel* L_IP_Dot1 = nullptr;
    platform::TLabel* L_IP_Dot2 = nullptr;
    platform::TLabel* L_IP_Dot3 = nullptr;
    platform::TLabel* L_ComPort = nullptr;
    platform::TComboBox* CB_ComPort = nullptr;
    TLbButton* Btn_COM_List = nullptr;
    platform::TLabel* L_Port = nullptr;
    platform::TEdit* E_Port = nullptr;
    platform::TLabel* L_MBus_ParGen = nullptr;
    platform::TLabel* L_MBus_Baud = nullptr;
    platform::TComboBox* CB_MBus_Baud = nullptr;
    platform::TLabel* L_MBus_Parity = nullptr;
    platform::TComboBox* CB_MBus_Parity = nullptr;
    platform::TLabel* L_wMBus_Mode = nullptr;
    platform::TComboBox* CB_wMBus_Mode = nullptr;
    platform::TLabel* L_wMBus_Radio_Channel = nullptr;
    platform::TComboBox* CB_wMBus_Radio_Channel = nullptr;
    platform::TLabel* L_Option_Scan = nullptr;
    platform::TCheckBox* CB_Opt_App_Reset = nullptr;
    platform::TCheckBox* CB_Opt_SND_NKE = nullptr;
    platform::TLabel* L_Opt_Cut_After = nullptr;
    platform::TEdit* E_Opt_Cut_After = nullptr;
    platform::TCheckBox* CB_Opt_Use_Fix_C_Field = nullptr;
    platform::TComboBox* CB_Opt_Use_Fix_C_Field_Value = nullptr;
    platform::TCheckBox* CB_Opt_Check_BCD_to_Int = nullptr;
    platform::TCheckBox* CB_Opt_Enable_Remote_Scan = nullptr;
    platform::TPanel* P_TreeView = nullptr;
    platform::TLabel* L_ScanProgress = nullptr;
    platform::TLabel* L_Num_Slave = nullptr;
    platform::TLabel* L_AvailableDevice = nullptr;
    platform::TListBox* LB_AvailableDevice = nullptr;
    TScanTree* VST = nullptr;
    platform::TPanel* P_View_Wireless = nullptr;
    platform::TPanel* P_W_Title = nullptr;
    platform::TPanel* P_W_Table = nullptr;
    TExStringGrid* ESG_Wireless = nullptr;
    platform::TPanel* P_W_Tree = nullptr;
    TScanTree* VST_Wireless = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_StartScan = nullptr;
    TLbButton* Btn_StopScan = nullptr;
    TLbButton* Btn_AbortScan = nullptr;
    TLbButton* Btn_NewScan = nullptr;
    TLbButton* Btn_SaveConf = nullptr;
    TLbButton* Btn_SaveConfManual = nullptr;
    platform::TTimer* T_InScan = nullptr;
    platform::TImageList* IL_Wireless_Table = nullptr;
    platform::TPopupMenu* PopupMenu1 = nullptr;
    platform::TMenuItem* Ciclic1 = nullptr;
    platform::TLabel* Label1 = nullptr;

    void FormShow();
    void FormClose();
    void Set_Lang();
    void Move_Object_Type_Form();
    void Form_Style(int Style);
    void BtnClick(TLbButton* Sender);
    void StartScan();
    void StarScanWireless();
    void T_InScanTimer();
    void Show_Slave_in_Tree();
    void ESG_WirelessClickCell(int ARow);
    void ESG_WirelessDblClickCell(int ARow);
    // Save kind 0 "Save Conf.", 1 "Save Node Add. Conf.".
    void Select_SaveXML(int Kind);
    void Cancel_Device_List();
    void Cancel_Device_List_Wireless();
    void Cancel_Grid_Wireless();
    void Update_List_of_COM_Port();
    void Ciclic1Click();

    // The style applied last (1 .. 5).
    int Current_Style() const { return m_Style; }
    // The wireless meter whose tree is shown, -1 when none.
    int Wireless_Tree_Meter() const { return m_Tree_Meter; }

private:
    void Build_Controls();
    TFInsertKeyWireless* Key_Dialog();
    TFScanModbusStart* Start_Dialog();
    TFModbusStartAdd_SD* Node_Dialog();
    void Show_Slave_Progress(int32_t Type, int32_t Id, int32_t Found, int32_t Kind);
    void Show_Wireless_Slave(int Position);
    void Draw_Progress_Line(int Index, const platform::TRect& Rect);
    void Wireless_Checked(platform::TTreeNode* Node);
    bool Wireless_Chosen() const;
    void Start_Poll();

    int m_Style = 1;
    int m_Tree_Meter = -1;
    // The wireless tree is being built: its changes are no ticks of the user's.
    bool m_Building = false;
    // The scan the queued reports belong to.
    int m_Scan_Number = 0;
    std::unique_ptr<platform::TImageList> m_Wireless_Images;
    std::unique_ptr<TFInsertKeyWireless> m_Key_Dialog;
    std::unique_ptr<TFScanModbusStart> m_Start_Dialog;
    std::unique_ptr<TFModbusStartAdd_SD> m_Node_Dialog;
};

extern TFScanDecode* FScanDecode;
