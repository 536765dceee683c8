#pragma once

// The per-node start-register dialog: one start register per scanned meter
// (column 1 of `sga`), and whether registers are reserved for the node state
// and the identification number. OK closes only when every row holds 1 .. 59999.

#include "platform/Forms.h"

namespace platform {
class TCheckBox;
class TLabel;
class TPanel;
}
class TLbButton;
class VOruVizizaZezo;

class TFModbusStartAdd_SD : public platform::TForm
{
public:
    TFModbusStartAdd_SD();
    ~TFModbusStartAdd_SD() override;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    VOruVizizaZezo* sga = nullptr;
    platform::TPanel* Panel1 = nullptr;
    platform::TCheckBox* CB_En_NodeState = nullptr;
    platform::TCheckBox* CB_En_IndNum = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    void Btn_OKClick();
    // True when every data row passes; shows the first fault.
    bool Check_Data();
    void Set_Lang();
};

extern TFModbusStartAdd_SD* FModbusStartAdd_SD;
