#pragma once

// The paste dialog: shows the address and the data-area positions that a
// pasted node or variable would take, lets the user change them, and closes
// with OK only when every value is in range and free (Check_Paste).

#include "mbus/UMeter_Bus_Checks.h"

#include "platform/Forms.h"

namespace platform {
class TEdit;
class TLabel;
class TPanel;
class TRadioButton;
}
class TLbButton;
class VOruVizizaZezo;

class TFNewIDNode : public platform::TForm
{
public:
    TFNewIDNode();
    ~TFNewIDNode() override;

    // 1 a wired node, 2 a variable, 3 a wireless node; set before each showing.
    int Form_Type = 1;
    // The copied node whose variables are pasted with it (Form_Type 1 and 3),
    // so that they are checked against each other too.
    TNodo Pasted_Node;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TPanel* Panel1 = nullptr;
    platform::TRadioButton* RB_ID_Primary = nullptr;
    platform::TEdit* E_New_Node_ID_Pri = nullptr;
    platform::TRadioButton* RB_ID_Secondary = nullptr;
    platform::TEdit* E_New_Node_ID_Sec = nullptr;
    platform::TLabel* L_wMBus_Add = nullptr;
    platform::TEdit* E_wMBus_Add = nullptr;
    platform::TLabel* L_MR_NodeState = nullptr;
    platform::TEdit* E_MR_NodeState = nullptr;
    platform::TLabel* L_MR_IdentNum = nullptr;
    platform::TEdit* E_MR_IdentNum = nullptr;
    platform::TLabel* L_wMBus_RSSI = nullptr;
    platform::TEdit* E_wMBus_RSSI = nullptr;
    platform::TPanel* Panel3 = nullptr;
    platform::TLabel* L_MR_Var = nullptr;
    // Three rows per variable k (3k+1 its value, 3k+2 a second position,
    // 3k+3 its time point); column 1 "Index" is the only one edited.
    VOruVizizaZezo* ESG_MR_Var = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    void FormShow();
    void LbButton2Click();  // OK
    void Set_Lang();

    // The dialog's fields as the check reads them.
    TPaste_Request Request() const;
    // The grid for `count` variables: their labels, values and descriptions
    // (the second position left empty); one empty row when there are none.
    void Fill_Grid(const std::vector<TVariabile>& vars);
};

extern TFNewIDNode* FNewIDNode;
