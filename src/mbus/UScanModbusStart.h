#pragma once

// The start-register dialog: the first register number when scan results are
// added to an existing network file. OK closes only with 1 .. 65535.

#include "platform/Forms.h"

#include <cstdint>

namespace platform {
class TEdit;
class TLabel;
class TPanel;
}
class TLbButton;

class TFScanModbusStart : public platform::TForm
{
public:
    TFScanModbusStart();
    ~TFScanModbusStart() override;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TLabel* L_StartModAdd = nullptr;
    platform::TEdit* E_StartModAdd = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    // The register number accepted by OK.
    int32_t StartModAdd = 1;

    void Btn_OKClick();
    void Set_Lang();
};

extern TFScanModbusStart* FScanModbusStart;
