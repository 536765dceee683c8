#pragma once

// The state the whole program shares: folders, the open configuration and its
// project files, the build's identity, remembered choices and option flags, and
// the shared lists. Plain data, read and written directly by the windows.

#include <QString>
#include <QStringList>

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
class TExStringGrid;
class VOruVizizaZezo;

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
