#include "shell/UComon.h"
#include "shell/ULanguage.h"

QString Program_Folder;
QString Master_Folder;
QString Projects_Folder;
QString Language_Folder;

QString Project_Name;
QString Project_Folder;

const QString Build_SW_Code = QStringLiteral("DIZ5U15");
const QString Build_SW_Desc = QStringLiteral("M-Bus Master / LoRaWAN - Converter");
const QString Update_SW_Name = QStringLiteral("DIZ5U15");
const QString Maker_Host = QStringLiteral("www.rizova.com");
QString SW_Code;
QString SW_Desc;
QString SW_Title;

QString Last_IP_Address = QStringLiteral("192.168.2.205");
int Update_Option_Index = 0;
bool Update_Read_Back = true;
QString Language_Name = QStringLiteral("English");
bool Enable_Internet = false;
bool Enable_Update = false;
bool Enable_Jump_Field_Tables = false;
bool Double_Click_Auto_Size = false;
QString Last_EDE_Folder;

QString FileName_ParGen;
QString FileName_LoRaWAN_SetAccess;
QString FileName_ModbusM_SetAccess;
QString FileName_M_Bus;
QString FileName_ModbusTCPM_SetAccess;
QString FileName_CAN_Rec_Frames;
QString FileName_CAN_Send_Frames;
QString FileName_SDO_Server_CANopen;
QString FileName_SDO_Client_CANopen;
QString FileName_PDO_CANopen;
QString FileName_DNETM_Net;
QString FileName_DNETM_DefOff;
QString FileName_J1939_Rec_Frames;
QString FileName_J1939_Send_Frames;
QString FileName_NMEA_Rec_Frames;
QString FileName_NMEA_Send_Frames;
QString FileName_DMX_Default_Values;
QString FileName_KNX_SetAccess;
QString FileName_BACnet_Slave_SetAccess;
QString FileName_BACnet_Master_Access;
QString FileName_EtherNetIP_Master_Rules;
QString FileName_IEC_61850_Client;
QString FileName_TLS_Known_Cert;
QString FileName_IEC61850_Variables;
QString FileName_MQTT_Set_Topic;
QString FileName_OPC_UA_Client;
QString FileName_OPC_UA_Server;
QString FileName_S7_Protocol;
QString FileName_SNMP_Manager;
QString FileName_SNMP_Trap;

const std::vector<Project_File>& Project_Files()
{
    static const std::vector<Project_File> files = {
        {&FileName_ParGen, "ParGen.xml"},
        {&FileName_LoRaWAN_SetAccess, "LoRaWAN_SetAccess.xml"},
        {&FileName_ModbusM_SetAccess, "ModbusM_SetAccess.xml"},
        {&FileName_M_Bus, "M_Bus.xml"},
        {&FileName_ModbusTCPM_SetAccess, "ModbusTCPM_SetAccess.xml"},
        {&FileName_CAN_Rec_Frames, "CAN_Rec_Frames.xml"},
        {&FileName_CAN_Send_Frames, "CAN_Send_Frames.xml"},
        {&FileName_SDO_Server_CANopen, "SDO_Server_CANopen.xml"},
        {&FileName_SDO_Client_CANopen, "SDO_Client_CANopen.xml"},
        {&FileName_PDO_CANopen, "PDO_CANopen.xml"},
        {&FileName_DNETM_Net, "DNETM_Net.xml"},
        {&FileName_DNETM_DefOff, "DNETM_DefOff.xml"},
        {&FileName_J1939_Rec_Frames, "J1939_Rec_Frames.xml"},
        {&FileName_J1939_Send_Frames, "J1939_Send_Frames.xml"},
        {&FileName_NMEA_Rec_Frames, "NMEA_Rec_Frames.xml"},
        {&FileName_NMEA_Send_Frames, "NMEA_Send_Frames.xml"},
        {&FileName_DMX_Default_Values, "DMX_Default_Values.xml"},
        {&FileName_KNX_SetAccess, "KNX_SetAccess.xml"},
        {&FileName_BACnet_Slave_SetAccess, "BACnet_Slave_SetAccess.xml"},
        {&FileName_BACnet_Master_Access, "BACnet_Master_Access.xml"},
        {&FileName_EtherNetIP_Master_Rules, "EtherNetIP_Master_Rules.xml"},
        {&FileName_IEC_61850_Client, "IEC_61850_Client.xml"},
        {&FileName_TLS_Known_Cert, "TLS_Known_Cert.xml"},
        {&FileName_IEC61850_Variables, "IEC61850_Variables.xml"},
        {&FileName_MQTT_Set_Topic, "MQTT_Set_Topic.xml"},
        {&FileName_OPC_UA_Client, "OPC_UA_Client.xml"},
        {&FileName_OPC_UA_Server, "OPC_UA_Server.xml"},
        {&FileName_S7_Protocol, "S7_Protocol.xml"},
        {&FileName_SNMP_Manager, "SNMP_Manager.xml"},
        {&FileName_SNMP_Trap, "SNMP_Trap.xml"},
    };
    return files;
}

QStringList Copy_Row_List;
std::vector<bool> Copy_Row_Check;
QStringList List_MIB_Read_Desc;
QStringList List_MIB_Write_Desc;

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "widgets/LbButton.h"

namespace {
bool g_deferred_building = false;
}

Deferred_Building::Deferred_Building() : before_(g_deferred_building) { g_deferred_building = true; }
Deferred_Building::~Deferred_Building() { g_deferred_building = before_; }

void Build_When_Needed(platform::TForm* form, std::function<void()> build)
{
    if (g_deferred_building)
        form->BuildLater(std::move(build));
    else
        build();
}

void Build_When_Needed_In_Start_Language(platform::TForm* form, std::function<void()> build)
{
    if (!g_deferred_building) {
        build();
        return;
    }
    // The table is shared, not copied, until a language change writes it.
    form->BuildLater([start = Language_List, build = std::move(build)] {
        struct Table_Swap
        {
            QStringList& table;
            QStringList other;
            Table_Swap(QStringList& t, const QStringList& o) : table(t), other(o) { table.swap(other); }
            ~Table_Swap() { table.swap(other); }
        } swap(Language_List, start);
        build();
    });
}

void Set_Window_Look(platform::TForm* form)
{
    form->SetColor(platform::RGB(248, 247, 237));
    platform::TFont& font = form->Font();
    font.SetName(QStringLiteral("Verdana"));
    font.SetSize(8);
}

Title_Panel Make_Title_Panel(platform::TForm* form)
{
    using namespace platform;
    Title_Panel t;
    t.P_Title = new TPanel(form);
    t.P_Title->SetAlign(alTop);
    t.P_Title->SetHeight(52);
    t.P_Title->SetBevelOuter(bvNone);
    t.L_SW_Code = new TLabel(t.P_Title);
    t.L_SW_Code->SetBounds(12, 4, 120, 24);
    t.L_SW_Code->Font().SetColor(clGray);
    t.L_SW_Code->Font().SetSize(14);
    t.L_SW_Code->SetCaption(SW_Code);
    t.L_SW_Desc = new TLabel(t.P_Title);
    t.L_SW_Desc->SetBounds(12, 32, 340, 14);
    t.L_SW_Desc->Font().SetStyle(fsBold);
    return t;
}

Button_Panel Make_Button_Panel(platform::TForm* form)
{
    using namespace platform;
    Button_Panel b;
    b.P_Button = new TPanel(form);
    b.P_Button->SetAlign(alBottom);
    b.P_Button->SetHeight(48);
    b.P_Button->SetBevelOuter(bvNone);
    const int right = form->ClientWidth();
    b.Btn_OK = new TLbButton(b.P_Button);
    b.Btn_OK->SetBounds(right - 200, 10, 90, 28);
    b.Btn_OK->SetAnchors(akRight | akTop);
    b.Btn_Cancel = new TLbButton(b.P_Button);
    b.Btn_Cancel->SetBounds(right - 102, 10, 90, 28);
    b.Btn_Cancel->SetAnchors(akRight | akTop);
    b.Btn_Cancel->SetModalResult(mrCancel);
    b.Btn_Cancel->SetCancel(true);
    return b;
}
