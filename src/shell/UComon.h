#pragma once

// The state the whole program shares: folders, the open configuration and its
// project files, the build's identity, remembered choices and option flags, and
// the shared lists. Plain data, read and written directly by the windows.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Folders, always without a trailing separator.
extern QString Program_Folder;
extern QString Master_Folder;
extern QString Projects_Folder;
extern QString Language_Folder;

// The open configuration: an empty Project_Folder means none is open.
extern QString Project_Name;
extern QString Project_Folder;

// Identity of this build.
extern const QString Build_SW_Code;
extern const QString Build_SW_Desc;
extern const QString Update_SW_Name;
// The maker's web host: the version check, the download and home pages.
extern const QString Maker_Host;
extern QString SW_Code;
extern QString SW_Desc;
extern QString SW_Title;

// Remembered choices and options.
extern QString Last_IP_Address;
extern int Update_Option_Index;
extern bool Update_Read_Back;
extern QString Language_Name;
extern bool Enable_Internet;
extern bool Enable_Update;
extern bool Enable_Jump_Field_Tables;
extern bool Double_Click_Auto_Size;
extern QString Last_EDE_Folder;

// The 30 project files of the open configuration.
extern QString FileName_ParGen;
extern QString FileName_LoRaWAN_SetAccess;
extern QString FileName_ModbusM_SetAccess;
extern QString FileName_M_Bus;
extern QString FileName_ModbusTCPM_SetAccess;
extern QString FileName_CAN_Rec_Frames;
extern QString FileName_CAN_Send_Frames;
extern QString FileName_SDO_Server_CANopen;
extern QString FileName_SDO_Client_CANopen;
extern QString FileName_PDO_CANopen;
extern QString FileName_DNETM_Net;
extern QString FileName_DNETM_DefOff;
extern QString FileName_J1939_Rec_Frames;
extern QString FileName_J1939_Send_Frames;
extern QString FileName_NMEA_Rec_Frames;
extern QString FileName_NMEA_Send_Frames;
extern QString FileName_DMX_Default_Values;
extern QString FileName_KNX_SetAccess;
extern QString FileName_BACnet_Slave_SetAccess;
extern QString FileName_BACnet_Master_Access;
extern QString FileName_EtherNetIP_Master_Rules;
extern QString FileName_IEC_61850_Client;
extern QString FileName_TLS_Known_Cert;
extern QString FileName_IEC61850_Variables;
extern QString FileName_MQTT_Set_Topic;
extern QString FileName_OPC_UA_Client;
extern QString FileName_OPC_UA_Server;
extern QString FileName_S7_Protocol;
extern QString FileName_SNMP_Manager;
extern QString FileName_SNMP_Trap;

// Each project file path with its fixed file name, in their fixed order.
struct Project_File
{
    QString* path;
    const char* name;
};
const std::vector<Project_File>& Project_Files();

// The row clipboard of every rule grid, and the SNMP object names of the MIB writer.
extern QStringList Copy_Row_List;
extern std::vector<bool> Copy_Row_Check;
extern QStringList List_MIB_Read_Desc;
extern QStringList List_MIB_Write_Desc;

class QObject;
class QChar;
class QWidget;
class TExStringGrid;
class VOruVizizaZezo;
enum class TEditorType;

// Row operations of the rule grids, shared by every rule table. Row 0 is the
// header and column 0 the row number: neither is ever read or written here.
// The data columns are every other real column, hidden ones included. No
// operation adds or removes a row. A row outside 1 .. RowCount - 1 does nothing.
//
// The column-grid family: check-box columns keep their state as text.
void Grid_Delete_Row(int row, VOruVizizaZezo* grid);
// Refused with a message (false, nothing changed) while the last row holds
// text in a column that is not a check box: the insertion would lose it.
bool Grid_Insert_Row(int row, VOruVizizaZezo* grid, bool putY);
void Grid_Copy_Row(VOruVizizaZezo* grid, int row);
// `copied`: the grid's own flag, set by a copy on this grid since its window
// was shown. True when the row was pasted.
bool Grid_Paste_Row(VOruVizizaZezo* grid, int row, bool copied);
// The string-grid family: cells with check boxes of their own, and the
// read-only mark of each cell moving with it.
void Grid_Delete_Row_Check(int row, TExStringGrid* grid, bool checkFirst);
bool Grid_Insert_Row_Check(int row, TExStringGrid* grid, bool checkFirst);
void Grid_Copy_Row_Check(TExStringGrid* grid, int row);
bool Grid_Paste_Row_Check(TExStringGrid* grid, int row, bool copied);
// Grid events: a double click on a header fits its column (display column,
// as the grid reports it) under Double_Click_Auto_Size; Enter moves to the
// next cell under Enable_Jump_Field_Tables.
void Grid_DblClick_AutoSize(QObject* grid, int row, int col);
// The column grids of the windows that are not rule tables: one fixed header
// row, the row number in a read-only column 0, editing on.
VOruVizizaZezo* Make_Column_Grid(QWidget* parent, const QString& name, int columns, int rows);
// A column's width, editor (a data check box keeps "Y" and "N"), choices and read-only flag.
void Set_Grid_Column(VOruVizizaZezo* grid, int col, int width, TEditorType editor, const QStringList& choices = {},
                     bool readOnly = false);
void Grid_Enter_Next_Cell(QObject* grid, QChar& key);

namespace platform {
class TForm;
class TLabel;
class TPanel;
}
class TLbButton;

// The look every window shares (but the wireless-key dialog): background
// RGB 248, 247, 237 and Verdana 8 pt.
void Set_Window_Look(platform::TForm* form);

// The windows made at start-up build their controls when first needed: while
// a Deferred_Building lives, Build_When_Needed queues `build` on the window
// (it runs before the first showing); otherwise it runs at once. A window's
// Set_Lang keeps its caption current while it is not built yet; the rest of
// its texts come with the build, in the language then chosen.
class Deferred_Building
{
public:
    Deferred_Building();
    ~Deferred_Building();
    Deferred_Building(const Deferred_Building&) = delete;
    Deferred_Building& operator=(const Deferred_Building&) = delete;

private:
    bool before_;
};
void Build_When_Needed(platform::TForm* form, std::function<void()> build);
// The same for a window that keeps the texts of the language the program
// started with: `build` reads the language table as it was when the window was made.
void Build_When_Needed_In_Start_Language(platform::TForm* form, std::function<void()> build);

// The band at the top of a window: the software code and a description.
struct Title_Panel
{
    platform::TPanel* P_Title;
    platform::TLabel* L_SW_Code;
    platform::TLabel* L_SW_Desc;
};
Title_Panel Make_Title_Panel(platform::TForm* form);

// The band at the bottom with OK and Cancel at its right; Cancel closes the
// window with the Cancel result and answers Escape.
struct Button_Panel
{
    platform::TPanel* P_Button;
    TLbButton* Btn_OK;
    TLbButton* Btn_Cancel;
};
Button_Panel Make_Button_Panel(platform::TForm* form);

// ---------------------------------------------------------------------------
// Text checks and conversions shared by the windows (UComon_Text.cpp). None
// keeps state or shows a message: each answers, the caller tells the user.
// Integers are read by the program's number rule; note that some answer
// "valid" and others "NOT valid", as their callers expect.

// True for a valid IPv4 address "a.b.c.d" (blanks around each part allowed);
// the parts found are stored as trimmed texts, up to the first missing ".".
bool Split_IP_Address(const QString& text, QString& p1, QString& p2, QString& p3, QString& p4);
// True when the text is NOT a valid address. Parts are not trimmed; a bad part
// gives 0. All four bytes are written, except for an empty text.
bool IP_Text_To_Bytes(const QString& text, uint8_t& b1, uint8_t& b2, uint8_t& b3, uint8_t& b4);
// True for "a.b.c.d:port"; anything else leaves all five outputs 0.
bool Split_IP_Port(const QString& text, uint8_t& b1, uint8_t& b2, uint8_t& b3, uint8_t& b4, uint16_t& port);

// True when the KNX address is NOT valid: an individual address "x.y.z"
// (group false) or a group address "x/y/z" or "x/y" (group true); a plain
// number 1 .. 65535 passes for both.
bool Check_KNX_Address(const QString& text, bool group, bool allowZero);
bool Is_KNX_Group_Address(const QString& text);

// "," or ".", from the regional settings.
QChar Get_Decimal_Separator();
// Accepts either decimal separator; false (and 1.0) when the text is no number.
bool Str_To_Float_Any_Sep(const QString& text, QChar separator, float& value);
// The same, with the regional separator given rather than read.
bool Str_To_Float_Any_Sep(const QString& text, QChar separator, QChar regionalSeparator, float& value);

// The numbers of the serial ports present, ascending, as texts; a port in use
// by another program counts as present. The second form asks `probe` whether
// port n opens: 1 it opens, 0 access is refused (in use), -1 it is absent.
std::unique_ptr<QStringList> Get_COM_Port_List();
std::unique_ptr<QStringList> Get_COM_Port_List(const std::function<int(int port)>& probe, int lastPort);

// 0 for a valid SNMP object identifier, else the code of the first check that
// fails: 1 too long, 2 a character neither digit nor ".", 3 leading ".",
// 4 trailing ".", 5 two "." in a row, 6 a component above 4294967295 (also
// the empty text).
int Check_SNMP_OID(const QString& text);
// -1 empty, 1 "AUTH NOPRIV", 3 "AUTH PRIV", 0 anything else.
int SNMP_Security_Level_Code(const QString& text);

// The OPC UA choice texts and their codes.
QString OPCUA_NodeType_Name(int code);
QString OPCUA_DataType_Name(int code);
QString OPCUA_Auth_Name(int code);
QString OPCUA_SecType_Name(int code);
QString OPCUA_SecPolicy_Name(int code);
uint8_t OPCUA_NodeType_Code(const QString& text);
uint8_t OPCUA_Auth_Code(const QString& text);
uint8_t OPCUA_SecType_Code(const QString& text);
uint8_t OPCUA_SecPolicy_Code(const QString& text);

// The server handed to the OPC UA discovery library: every text is a
// zero-terminated 8-bit text, never null.
struct opcua_server_to_discover
{
    const char* server_address = "";
    int32_t user_pass_auth_flag = 0;  // 0 anonymous, 1 user name and password, 2 certificate
    const char* username = "";
    const char* password = "";
    const char* cert = "";
    const char* priv_key = "";
    int32_t security_type = 0;
    int32_t security_policy = 0;
};

// The GUID parts of a node identifier.
struct TOPC_UA_Guid
{
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};
};

// One variable of a browsed OPC UA server as the discovery library returns it.
struct opcua_structure
{
    uint16_t nameSpaceIndex = 0;
    uint16_t identifierType = 0;  // 0 numeric, 3 string, 4 GUID, 5 byte string
    uint32_t numeric = 0;
    const char* stringname = nullptr;
    uint32_t stringLength = 0;
    uint32_t guide1 = 0;
    uint16_t guide2 = 0;
    uint16_t guide3 = 0;
    uint8_t guide4[8] = {};
    const char* byteString = nullptr;
    uint32_t byteStringLength = 0;
    const char* displayName = nullptr;
    uint32_t displayNameLength = 0;
    int32_t dataType = 0;
    uint8_t accessLevel = 0;
    uint8_t spare[3] = {};
};
// The node identifier as text: the number, the string, the GUID in upper-case
// 8-4-4-4-12 form, or the byte string; empty for any other type.
QString OPCUA_NodeId_Text(opcua_structure node);

// Fixed values of this build: the BACnet unit "no units", the device code and
// the window kind handed to the scan window.
int Default_BACnet_Eng_Unit();
int Device_XML_Code();
int Scan_Form_Type();
