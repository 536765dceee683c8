#pragma once

// The OPC UA server dialog: one server of the client configuration (enable,
// address, authorization with its credentials, security type and policy,
// description). The client window fills it, shows it and reads it back.

#include "platform/Forms.h"

namespace platform {
class TCheckBox;
class TComboBox;
class TEdit;
class TLabel;
class TPanel;
class TRichEdit;
}
class TLbButton;

class TFOPC_UA_Add_Server : public platform::TForm
{
public:
    TFOPC_UA_Add_Server();
    ~TFOPC_UA_Add_Server() override;

    int FormType = 1;  // 2: modify, else add

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TCheckBox* CB_OPC_UA_Server_Enable = nullptr;
    platform::TLabel* L_Server_Add = nullptr;
    platform::TEdit* E_Server_Add = nullptr;
    platform::TLabel* L_Auth = nullptr;
    platform::TComboBox* CB_Auth = nullptr;
    platform::TLabel* L_User = nullptr;
    platform::TEdit* E_User = nullptr;
    platform::TLabel* L_Pass = nullptr;
    platform::TEdit* E_Pass = nullptr;
    platform::TLabel* L_Certificate = nullptr;
    platform::TRichEdit* RE_Certificate = nullptr;
    platform::TLabel* L_Priv_Key = nullptr;
    platform::TRichEdit* RE_Priv_Key = nullptr;
    platform::TLabel* L_Sec_Type = nullptr;
    platform::TComboBox* CB_Sec_Type = nullptr;
    platform::TLabel* L_Sec_Policy = nullptr;
    platform::TComboBox* CB_Sec_Policy = nullptr;
    platform::TLabel* L_Mnemonic = nullptr;
    platform::TEdit* E_Mnemonic = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    void Set_Lang();
    void FormShow();
    void Change_Fields();
    void Check_Authorization();
    // The authorization the choice stands for: its index, or for a typed
    // text the code the caller will store for it.
    int Auth_Code() const;
    bool Controlla_Dati();
    void Btn_OKClick(QObject* sender);
};

extern TFOPC_UA_Add_Server* FOPC_UA_Add_Server;
