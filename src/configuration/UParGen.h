#pragma once

// The general parameters window, step 2 "Set Communication": the LoRaWAN,
// M-Bus, wireless M-Bus and Ethernet settings of the open configuration in
// category panels. Each showing loads "ParGen.xml" (or the defaults), OK
// checks and rewrites it, Cancel writes nothing.
//
// The window holds a panel for every protocol of the family; the model it is
// made for shows its own (UParGen_Panels.h), the others stay hidden and are
// neither loaded nor saved. The other models' panels, their texts and every
// layout routine are in UParGen_Protocols.cpp.
//
// The file, the checks, the data-rate table and the model table are plain
// code beside the window (UParGen_File.h, UParGen_Check.h, UParGen_Payload.h,
// UParGen_Panels.h); the window only moves values between them and its
// controls.

#include "configuration/UParGen_File.h"
#include "configuration/UParGen_Panels.h"

#include "platform/Forms.h"

#include <QPoint>

#include <map>
#include <vector>

namespace platform {
class TCategoryPanel;
class TCategoryPanelGroup;
class TCheckBox;
class TComboBox;
class TEdit;
class TLabel;
class TPanel;
}
class TLbButton;

class TFParGen : public platform::TForm
{
public:
    // The window of the model this program is built for.
    TFParGen();
    // The window as the given model of the family shows it (one of
    // ParGen_Models(); an unknown model shows no panel).
    explicit TFParGen(const QString& model);
    ~TFParGen() override;

    const QString& Model() const { return model_; }

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TCategoryPanelGroup* CPG = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    // LoRaWAN panel, rows in their order.
    platform::TCategoryPanel* CP_LoRa = nullptr;
    platform::TLabel* L_LoRa_RF_Band = nullptr;
    platform::TComboBox* CB_LoRa_RF_Band = nullptr;
    platform::TLabel* L_LoRa_FrequencySubBand = nullptr;
    platform::TComboBox* CB_LoRa_FrequencySubBand = nullptr;
    platform::TLabel* L_LoRa_Network_Type = nullptr;
    platform::TComboBox* CB_LoRa_Network_Type = nullptr;
    platform::TCheckBox* CB_LoRa_Adaptive_DataRate = nullptr;
    platform::TLabel* L_LoRa_DataRate = nullptr;
    platform::TComboBox* CB_LoRa_DataRate = nullptr;
    platform::TLabel* L_LoRa_Transmission_Type = nullptr;
    platform::TComboBox* CB_LoRa_Transmission_Type = nullptr;
    platform::TLabel* L_LoRa_Payload_Size = nullptr;
    platform::TEdit* E_LoRa_Payload_Size = nullptr;
    platform::TLabel* L_LoRa_JoinEUI = nullptr;
    platform::TEdit* E_LoRa_JoinEUI = nullptr;
    platform::TLabel* L_LoRa_Activation_Method = nullptr;
    platform::TComboBox* CB_LoRa_Activation_Method = nullptr;
    platform::TLabel* L_LoRa_Device_Address = nullptr;
    platform::TEdit* E_LoRa_Device_Address = nullptr;
    platform::TLabel* L_LoRa_Network_Session_Key = nullptr;
    platform::TEdit* E_LoRa_Network_Session_Key = nullptr;
    platform::TLabel* L_LoRa_Application_Session_Key = nullptr;
    platform::TEdit* E_LoRa_Application_Session_Key = nullptr;
    platform::TLabel* L_LoRa_Application_Key = nullptr;
    platform::TEdit* E_LoRa_Application_Key = nullptr;
    platform::TLabel* L_LoRa_FPort = nullptr;
    platform::TComboBox* CB_LoRa_FPort = nullptr;

    // M-Bus panel.
    platform::TCategoryPanel* CP_MBus = nullptr;
    platform::TLabel* L_MBus_OnWire_Present = nullptr;
    platform::TComboBox* CB_MBus_OnWire_Present = nullptr;
    platform::TLabel* L_MBus_Baud = nullptr;
    platform::TComboBox* CB_MBus_Baud = nullptr;
    platform::TLabel* L_MBus_Parity = nullptr;
    platform::TComboBox* CB_MBus_Parity = nullptr;
    platform::TLabel* L_MBus_Cyclic_Delay = nullptr;
    platform::TEdit* E_MBus_Cyclic_Delay = nullptr;
    platform::TLabel* L_MBus_NodeState = nullptr;
    platform::TEdit* E_MBus_NodeState = nullptr;
    platform::TCheckBox* CB_MBus_FixCField = nullptr;
    platform::TComboBox* CB_MBus_SelectCField = nullptr;

    // M-Bus Wireless panel.
    platform::TCategoryPanel* CP_wMBus = nullptr;
    platform::TLabel* L_wMBus_Wireless_Present = nullptr;
    platform::TComboBox* CB_wMBus_Wireless_Present = nullptr;
    platform::TLabel* L_wMBus_Mode = nullptr;
    platform::TComboBox* CB_wMBus_Mode = nullptr;
    platform::TLabel* L_wMBus_Radio_Channel = nullptr;
    platform::TComboBox* CB_wMBus_Radio_Channel = nullptr;

    // Ethernet panel: four octet fields a row, "E_Ethernet_IP1" at [0], with
    // a "." label between neighbours. The name-server and port rows are
    // never shown in this model.
    platform::TCategoryPanel* CP_Ethernet = nullptr;
    platform::TLabel* L_Ethernet_IP = nullptr;
    platform::TEdit* E_Ethernet_IP[4] = {};
    platform::TLabel* L_Ethernet_SM = nullptr;
    platform::TEdit* E_Ethernet_SM[4] = {};
    platform::TCheckBox* CB_Ethernet_En_GAT = nullptr;
    platform::TEdit* E_Ethernet_GAT[4] = {};
    platform::TCheckBox* CB_Ethernet_DNS = nullptr;
    platform::TEdit* E_Ethernet_DNS[4] = {};
    platform::TLabel* L_Ethernet_TCP_Port = nullptr;
    platform::TEdit* E_Ethernet_TCP_Port = nullptr;
    platform::TLabel* L_Ethernet_UDP_Port = nullptr;
    platform::TEdit* E_Ethernet_UDP_Port = nullptr;

    // A damaged "ParGen.xml" closes the window with Cancel unless the user
    // allows OK to replace it; the window then shows the defaults.
    void FormShow();
    void FormResize();
    // The wheel over the panels scrolls them, also over a choice list, which
    // would otherwise change its choice while the user scrolls.
    void FormMouseWheel(QObject* sender, platform::TShiftState shift, int wheelDelta, QPoint mousePos, bool& handled);
    void Btn_OKClick(QObject* sender);
    bool Controllo_Dati();
    void On_Change(QObject* sender);
    void On_Click(QObject* sender);
    // Octet fields: "." is never typed; in the Ethernet panel it moves to the next field.
    void KeyPress(QObject* sender, QChar& key);
    // Hexadecimal fields: digits, "A" to "F" and control keys only.
    void OnKeyPress(QObject* sender, QChar& key);

    int Find_Max_PayLoad() const;
    void Set_Max_Payload_Size();
    void Change_LoRa_DataRate();
    void Order_TAB_Panels();
    void Move_GroupBoxs();
    void Set_Lang();

    // The model's layout: each of its panels laid out in its order.
    void RePosition_Objects();
    // The layout routine of one panel, by the panel's name.
    void RePosition_Object(const QString& panel);
    void RePosition_Object_LoRa();
    void RePosition_Object_MBus();
    void RePosition_Object_wMBus();
    void RePosition_Object_Ethernet();
    void RePosition_Object_BACnet_Master();
    void RePosition_Object_BACnet_Slave();
    void RePosition_Object_MQTT();
    void RePosition_Object_TLS();
    void RePosition_Object_TLS_Server();
    void RePosition_Object_SNMP_Agent();
    void RePosition_Object_PROFINET();
    void RePosition_Object_WiFi();
    // The panels whose layout only fits the height to their last control.
    void RePosition_Object_Height(const TParGen_Panel& panel);

    // The values the controls hold, as OK writes them, and the reverse.
    TParGen_Values Values() const;
    void Set_Values(const TParGen_Values& values);

    // The window's category panels, and every named control of them, by name.
    platform::TCategoryPanel* Panel(const QString& name) const;
    QWidget* Control(const QString& name) const;

private:
    // Built when first needed (see Build_When_Needed).
    void Create_Controls();
    struct Binding
    {
        ParGen::Element element;
        QWidget* control;
    };

    // The controls of one row of a panel, each with its place against the
    // row's top, so that a layout can show, hide and move the row whole.
    struct Row
    {
        std::vector<std::pair<QWidget*, int>> parts;
    };

    void Create_Panel(const QString& name);
    void Create_Protocol_Panel(platform::TCategoryPanel* panel, const TParGen_Panel_Rows& rows);
    void Set_Lang_Protocols();
    const Row& Row_Of(const char* control) const;
    void Show_Rows(std::initializer_list<const char*> controls, bool visible);
    // Moves each shown row to `top`, the next one a row lower; hides the others.
    void Stack_Rows(int top, const std::vector<std::pair<const char*, bool>>& rows);
    int Row_Top(const char* control) const;
    int Choice_Index(const char* control) const;
    bool Checked(const char* control) const;
    void Set_Panel_Height(const char* panel, const char* last);
    void Create_LoRa_Panel();
    void Create_MBus_Panel();
    void Create_wMBus_Panel();
    void Create_Ethernet_Panel();
    void Wire_Events();
    void Set_Panel_Height(platform::TCategoryPanel* panel, const QWidget* last);

    std::vector<Binding> bindings_;
    QString model_;
    std::map<QString, platform::TCategoryPanel*> panels_;
    std::map<QString, QWidget*> controls_;
    std::vector<Row> rows_;
    std::map<QString, size_t> row_of_;
    std::vector<platform::TEdit*> octets_;
    std::vector<platform::TEdit*> ethernet_chain_;
    struct Hex_Field
    {
        platform::TEdit* edit;
        int digits;   // its length as typed; 0: no limit
    };
    std::vector<Hex_Field> hex_fields_;
    std::vector<platform::TLabel*> dns_dots_;
    QObject* wheel_filter_ = nullptr;
    int wheel_rest_ = 0;
};

extern TFParGen* FParGen;
