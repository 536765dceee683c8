#pragma once

// The OPC UA client window: the servers the converter connects to, each with
// the variables it reads into the internal data array and those it writes
// from it. The data live in an object model; the grids are views of it,
// copied back when a variable grid loses the focus. Kept in "OPC_UA_Client.xml".

#include "rules/URule_Files.h"
#include "platform/Forms.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {
class TLabel;
class TPageControl;
class TPanel;
class TTabSheet;
}
class TLbButton;
class VOruVizizaZezo;
struct opcua_structure;

class TOPC_UA_Variable
{
public:
    bool Enable = false;
    QString DispalyName;
    QString ReadWrite;
    QString OnChange, OnCMD, OnTimer;
    QString Time;
    QString Position;
    QString Mnemonic;
    uint16_t nameSpaceIndex = 0;
    uint16_t identifierType = 0;
    uint32_t numeric = 0;
    QString stringname;
    uint32_t guide1 = 0;
    uint16_t guide2 = 0, guide3 = 0;
    uint8_t guide4[8] = {};
    QString byteString;
    int32_t dataType = 0;
    // A typed name-space index outside 0..65535, kept as typed so that the
    // check names it instead of storing it cut to 16 bits.
    QString NameSpace_Out_Of_Range;

    QString NodeType() const;
    void SetNodeType(const QString& text);
    QString NodeID() const;
    void SetNodeID(const QString& text);
    QString VarType() const;
    void SetVarType(const QString& text);
    QString NameSpaceText() const;
    void SetNameSpaceText(const QString& text);
    // From a browsed variable; its texts are copied.
    void Take_Found(const opcua_structure& found);
};

class TOPC_UA_Server
{
public:
    bool Enable = false;
    QString ServerAddress, Authorization, UserName, Password, Certificate, PrivateKey, SecurityType, SecurityPolicy,
        Mnemonic;
    std::vector<std::unique_ptr<TOPC_UA_Variable>> Var_List_R;
    std::vector<std::unique_ptr<TOPC_UA_Variable>> Var_List_W;
};

using TOPC_UA_Server_List = std::vector<std::unique_ptr<TOPC_UA_Server>>;

// Bytes one value of the named data type takes in the data array (0 for an unknown name).
int GetLenVarType(const QString& name);
// The whole project file, and its reading (false with the parser's message).
// `foreign` gets why a well-formed file is not one this window writes (its
// root has another name), empty otherwise.
QByteArray OPC_UA_Client_File_Bytes(const TOPC_UA_Server_List& servers);
bool Load_OPC_UA_Client_File(const QString& path, TOPC_UA_Server_List& servers, QString* error,
                             QString* foreign = nullptr);
// The first fault of the enabled variables, as the error box shows it; empty when none.
QString Check_OPC_UA_Client(const TOPC_UA_Server_List& servers);
// Positions from where every server above this one ends, read and write apart.
void Auto_Position(TOPC_UA_Server_List& servers, int index);

class TFOPC_UA_Client_Access : public platform::TForm
{
public:
    TFOPC_UA_Client_Access();
    ~TFOPC_UA_Client_Access() override;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TLabel* L_Server_List = nullptr;
    platform::TLabel* L_Var_List = nullptr;
    TLbButton* Btn_Add = nullptr;
    TLbButton* Btn_Modify = nullptr;
    TLbButton* Btn_Delete = nullptr;
    TLbButton* Btn_Scan = nullptr;
    TLbButton* Btn_AutoPosition = nullptr;
    VOruVizizaZezo* ECG_OPC_UA_Server = nullptr;
    platform::TPageControl* PC_Var = nullptr;
    platform::TTabSheet* TS_OPC_UA_Var_Read = nullptr;
    platform::TTabSheet* TS_OPC_UA_Var_Write = nullptr;
    VOruVizizaZezo* ECG_OPC_UA_Var_R = nullptr;
    VOruVizizaZezo* ECG_OPC_UA_Var_W = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;
    TLbButton* Btn_DelRow = nullptr;
    TLbButton* Btn_InsRow = nullptr;
    TLbButton* Btn_CopyRow = nullptr;
    TLbButton* Btn_PasteRow = nullptr;

    TOPC_UA_Server_List OPC_UA_Server_List;
    int Ind_Server = -1;
    bool Do_Copy_Read = false, Do_Copy_Write = false;
    QStringList Hint_Server_List, Hint_Var_R_List, Hint_Var_W_List;
    // What the last showing could not read; OK asks before replacing the file.
    TUnread Unread;

    void Set_Lang();
    void FormShow();
    void Show_OPC_UA_Server_List();
    void Show_OPC_UA_Var_List();
    void ECG_OPC_UA_Var_Enter(VOruVizizaZezo* grid);
    void ECG_OPC_UA_Var_Exit(VOruVizizaZezo* grid);
    void Add_Server();
    void Modify_Server();
    void Delete_Server();
    void Scan_Server();
    void Btn_AutoPositionClick(QObject* sender);
    void Btn_OKClick(QObject* sender);
    bool Controllo_Dati();
    void Btn_DelRowClick(QObject* sender);
    void Btn_InsRowClick(QObject* sender);
    void Btn_CopyRowClick(QObject* sender);
    void Btn_PasteRowClick(QObject* sender);
    // The server of the selected server row, or -1.
    int Selected_Server() const;

private:
    void Erase_Var_Grid(VOruVizizaZezo* grid);
    void Save_Variables(VOruVizizaZezo* grid, TOPC_UA_Server& server);
    // Grid edits reach the model before a button acts on it.
    void Commit_Grids();
    VOruVizizaZezo* Active_Var_Grid() const;
    void After_Row_Operation(VOruVizizaZezo* grid);
};

extern TFOPC_UA_Client_Access* FOPC_UA_Client_Access;
