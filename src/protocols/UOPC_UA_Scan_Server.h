#pragma once

// The OPC UA browse dialog: asks the discovery library "OPC_UA_Search" for the
// variables of one server and lets the user tick which go to the client's
// read list and which to its write list.
//
// The library lies outside the program. It is loaded from the program's
// folder only, for one browse, through the two entry points declared here;
// every text it returns is copied before it is released.

#include "platform/Forms.h"
#include "shell/UComon.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace platform {
class TLabel;
class TPanel;
class TTimer;
}
class TLbButton;
class VOruVizizaZezo;

// The library's entry points, in the C calling convention.
extern "C" {
using opcua_client_begin_fn = int32_t (*)(opcua_server_to_discover server);
using opcua_return_variable_fn = void (*)(opcua_structure* variable, int32_t index);
}

// The library's name; its file is the platform's library file of that name.
extern const char* const OPC_UA_Search_Library;

// The result of one browse: the records, and the dialog's own copies of
// their texts (the records point at the copies).
struct TOPC_UA_Browse
{
    std::vector<opcua_structure> List_Var;
    std::vector<std::unique_ptr<QByteArray>> Texts;
    QString Error;  // empty, or why nothing was browsed
    int Error_Message = 0;  // the language entry of that error
};

// Loads the library from `folder`, browses `server` and releases it.
TOPC_UA_Browse Browse_OPC_UA_Server(const QString& folder, const opcua_server_to_discover& server);

class TFOPC_UA_Scan_Server : public platform::TForm
{
public:
    TFOPC_UA_Scan_Server();
    ~TFOPC_UA_Scan_Server() override;

    opcua_server_to_discover Server;
    std::vector<opcua_structure> List_Var;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    VOruVizizaZezo* ECG_OPC_UA_Scan_Var = nullptr;
    platform::TLabel* LWaiting = nullptr;
    platform::TTimer* Timer_Scan = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;
    TLbButton* Btn_Select_All_R = nullptr;
    TLbButton* Btn_Clear_All_R = nullptr;
    TLbButton* Btn_Select_All_W = nullptr;
    TLbButton* Btn_Clear_All_W = nullptr;

    void Set_Lang();
    void FormShow();
    void Timer_ScanTimer(QObject* sender);
    void Erase_Table();
    void Show_Variables_List();
    void Set_Column(int col, const QString& text);
    // The tick of row i + 1 for entry i: Read in column 1, Write in column 2.
    bool Ticked(int entry, int col) const;

private:
    std::vector<std::unique_ptr<QByteArray>> texts_;
};

extern TFOPC_UA_Scan_Server* FOPC_UA_Scan_Server;
