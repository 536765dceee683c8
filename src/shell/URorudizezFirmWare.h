#pragma once

#include "platform/Forms.h"
#include "platform/XmlDocument.h"

#include <functional>
#include <memory>
#include <vector>

namespace platform {
class ChildProcess;
class TLabel;
class TLinkLabel;
class TShape;
class TTimer;
}
class TLbButton;

// The main window: the program's start-up, the five steps of this model and
// the buttons of the other family members' windows (hidden here).
class TFRorudizezFirmWare : public platform::TForm
{
public:
    // Runs the whole start-up (FormCreate) with the given program folder.
    explicit TFRorudizezFirmWare(const QString& programFolder);
    ~TFRorudizezFirmWare() override;

    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TLabel* L_Begin = nullptr;
    platform::TLabel* L_Step_1 = nullptr;
    platform::TLabel* L_Step_2 = nullptr;
    platform::TLabel* L_Step_3 = nullptr;
    platform::TLabel* L_Step_4 = nullptr;
    platform::TLabel* L_Step_5 = nullptr;
    platform::TLabel* L_Step_6 = nullptr;
    platform::TLabel* L_Step_7 = nullptr;
    platform::TLabel* L_Step_8 = nullptr;
    platform::TLabel* L_Name_Conf = nullptr;
    platform::TLabel* L_Name_Conf_L2 = nullptr;
    platform::TLabel* L_Rizova = nullptr;
    platform::TShape* Shape1 = nullptr;
    platform::TShape* Shape2 = nullptr;
    platform::TLinkLabel* LL_Update = nullptr;

    TLbButton* Btn_Info = nullptr;
    TLbButton* Btn_Opz = nullptr;
    TLbButton* Btn_Close = nullptr;
    TLbButton* Btn_New = nullptr;
    TLbButton* Btn_Open = nullptr;
    TLbButton* Btn_Prm_Gen = nullptr;
    TLbButton* Btn_LoRaWAN_Access = nullptr;
    TLbButton* Btn_MBus = nullptr;
    TLbButton* Btn_ScanDecode = nullptr;
    TLbButton* Btn_CreateBin = nullptr;
    TLbButton* Btn_BACnet_SetAccess = nullptr;
    TLbButton* Btn_BACnet_EDE_File = nullptr;
    TLbButton* Btn_Modbus_Set_Access = nullptr;
    TLbButton* Btn_CAN_Rec_Frame = nullptr;
    TLbButton* Btn_CAN_Send_Frame = nullptr;
    TLbButton* Btn_PDO_CANopen = nullptr;
    TLbButton* Btn_SDO_Client_CANopen = nullptr;
    TLbButton* Btn_SDO_Server_CANopen = nullptr;
    TLbButton* Btn_CANopen_EDS = nullptr;
    TLbButton* Btn_DNet_Net = nullptr;
    TLbButton* Btn_DNet_Offset = nullptr;
    TLbButton* Btn_DMX_Default = nullptr;
    TLbButton* Btn_EtherNetIP_Access = nullptr;
    TLbButton* Btn_KNX_Access = nullptr;
    TLbButton* Btn_PROFIBUS_GSD = nullptr;
    TLbButton* Btn_PROFINET_XML = nullptr;
    TLbButton* Btn_IEC61850_Client = nullptr;
    TLbButton* Btn_TLS_List_Certificates = nullptr;
    TLbButton* Btn_IEC61850_Access = nullptr;
    TLbButton* Btn_MQTT_Set_Topic = nullptr;
    TLbButton* Btn_OPC_UA_Client_Access = nullptr;
    TLbButton* Btn_OPC_UA_Server_Access = nullptr;
    TLbButton* Btn_S7_Protocol_Access = nullptr;
    TLbButton* Btn_SNMP_Manager_Access = nullptr;
    TLbButton* Btn_SNMP_Trap = nullptr;
    TLbButton* Btn_SNMP_MIB = nullptr;

    platform::TTimer* Timer_Update = nullptr;
    platform::XmlDocument XML1;

    void Btn_Click(QObject* sender);
    void Set_Lang();
    // Re-texts the windows of Language_Windows, in that order.
    void Change_Language();
    struct Language_Window
    {
        platform::TForm* window;
        std::function<void()> Set_Lang;
    };
    // This window and the 42 others that take their texts again after a
    // language change. The scan window and its three dialogs keep the start-up
    // language; the about box takes no texts from the table.
    std::vector<Language_Window> Language_Windows();
    // "BACnet_Type" of "ParGen.xml" (1 MS/TP, else BACnet/IP); 0 when the file
    // or the element is missing or holds no number. A file that does not load
    // is reported in an error box and gives 0.
    int Get_Type_BACnet();
    void Set_Files();
    // Writes "Vudidid.xml"; false (after the error box) when it cannot.
    bool Save_Setting();
    void Create_New_Project();
    void Open_Project();

    // "Scan && Decode": message 35 when "M_Bus.xml" exists, then the scan window.
    void Scan_Decode();
    // Step 5: the payload check, the device images, then the update window.
    void Update_Device();
    // True when every enabled uplink rule fits the payload size. A project
    // file that does not load gives false with the parser's message.
    bool Check_Config_LoraWAN(QString* loadError = nullptr);
    // Starts a program (`tipo`, "hidden", means nothing here) and waits for
    // its end while the windows keep painting; true when it ended with the
    // code 0. A program that cannot be started or ends with another code is
    // reported. After Program_Wait_Limit_Ms the wait ends and the program
    // runs on; Check_Started_Program tells until when.
    bool Start_Program(const QString& NomeSW, const QString& Parameter, bool tipo);
    // True while the program last started still runs; its late end with a
    // code other than 0 is reported once.
    bool Check_Started_Program();
    int Program_Wait_Limit_Ms = 150000;

    // The timed version check: on or off as the options say (switched on,
    // the first check comes after a minute), and its tick.
    void Switch_Update_Timer(bool on);
    void Timer_UpdateTimer(QObject* sender);

    // Every button of the window, in the click handler's order.
    std::vector<TLbButton*> Buttons() const;

protected:
    void DoClose(platform::TCloseAction& action) override;

private:
    struct Step
    {
        TLbButton** button;
        int caption;   // language entry; -1 keeps the stored caption
        int hint;      // -1: none
        std::function<void()> action;
    };

    void FormCreate(const QString& programFolder);
    void Create_Controls();
    void Lay_Out_Steps();
    void Read_Setting();
    void Show_Configuration_Lines();
    const Step* Find_Step(QObject* sender) const;

    std::vector<Step> steps_;
    std::unique_ptr<platform::ChildProcess> started_program_;
    QString started_name_;
    bool wait_ended_ = false;
};

extern TFRorudizezFirmWare* FRorudizezFirmWare;

// Creates the program's windows, the main window first, in their fixed
// order. The windows live until Destroy_All_Windows.
void Create_All_Windows(const QString& programFolder);
void Destroy_All_Windows();
