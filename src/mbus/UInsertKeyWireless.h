#pragma once

// The key dialog of the scan window: the user types the AES key of an
// encrypted wireless meter as 32 hexadecimal digits. OK closes only when the
// text is exactly 32 characters of 0-9 and A-F.

#include "platform/Forms.h"

namespace platform {
class TEdit;
class TLabel;
class TShape;
}
class TLbButton;

class TFInsertKeyWireless : public platform::TForm
{
public:
    TFInsertKeyWireless();
    ~TFInsertKeyWireless() override;

    platform::TShape* Shape1 = nullptr;
    platform::TLabel* L_InsKey = nullptr;
    platform::TEdit* E_Key = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    void Btn_OKClick();
    // True when every character is 0-9 or A-F.
    static bool Check_Data(const QString& Text);
    void Set_Lang();
};

extern TFInsertKeyWireless* FInsertKeyWireless;
