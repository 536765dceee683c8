#pragma once

// The update window: the last stage of "Update Device UDP". It checks with
// ICMP echoes that the converter answers, writes the update job
// "Ethernet_Update.xml" beside the program and hands it to the external
// updater "Ethernet_Update.exe" beside the program. The transfer itself is
// the updater's work; the job file is the whole interface to it.
//
// While an echo test or the updater runs, the window keeps painting but takes
// no Execute, no Cancel and no close: a second run would rewrite the job (and
// the images) under the updater.

#include "platform/Forms.h"
#include "platform/IcmpEcho.h"
#include "platform/XmlDocument.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

namespace platform {
class TCheckBox;
class TComboBox;
class TEdit;
class TLabel;
class TPanel;
class TTimer;
}
class TLbButton;
class VOruVizizaZezo;

// The update options, positions of the option list.
enum TUpdate_Option { uoFirmware_Configuration = 0, uoFirmware = 1, uoConfiguration = 2 };

// The Ethernet update job for the device at `ip`: root "Ethernet_Update", no
// version comment, one operation per part the option asks for.
void Build_Ethernet_Update_Job(platform::XmlDocument& doc, const QString& ip, int option, bool readBack,
                               const QString& masterFolder, const QString& projectFolder);
// The same job for the memory layout of the newer boot loader.
void Build_Ethernet_Update_Job_New_Boot(platform::XmlDocument& doc, const QString& ip, int option, bool readBack,
                                        const QString& masterFolder, const QString& projectFolder);

class TFBoot : public platform::TForm
{
public:
    TFBoot();
    ~TFBoot() override;

    // 0 serial, 1 Ethernet; set before the window is shown.
    int Form_Type = 1;
    // The last echo: 0 none yet, 1 answered, 2 not answered.
    int ping_res = 0;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TPanel* P_IP_Address = nullptr;
    platform::TLabel* L_IP_Address = nullptr;
    platform::TEdit* E_IP1 = nullptr;
    platform::TEdit* E_IP2 = nullptr;
    platform::TEdit* E_IP3 = nullptr;
    platform::TEdit* E_IP4 = nullptr;
    platform::TPanel* P_Search = nullptr;
    platform::TLabel* L_Search = nullptr;
    TLbButton* Btn_Search = nullptr;
    VOruVizizaZezo* ECG_Devices = nullptr;
    platform::TCheckBox* CB_Show_All = nullptr;
    platform::TPanel* P_Options = nullptr;
    platform::TLabel* L_Update_Option = nullptr;
    platform::TComboBox* CB_Update_Options = nullptr;
    platform::TCheckBox* CB_Update_Option_Read_Back = nullptr;
    platform::TPanel* P_Serial = nullptr;
    platform::TLabel* L_COM_Port = nullptr;
    platform::TComboBox* CB_COM_Port = nullptr;
    TLbButton* Btn_COM_List = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_Cancel = nullptr;
    TLbButton* Btn_Update = nullptr;

    platform::XmlDocument XML1;

    // The echo client; tests put their own in its place. Same contract as
    // platform::IcmpEcho.
    std::function<platform::EchoResult(const QString& host, const QByteArray& data, int timeoutMs,
                                       const std::function<void()>& idle)>
        Echo;
    // Milliseconds of a steady clock, for the echo test's 5 s.
    std::function<int64_t()> Clock_Ms;

    void FormShow();
    void Set_Lang();
    void KeyPress(QObject* sender, QChar& key);
    void Btn_UpdateClick(QObject* sender);
    bool Send_Ping();
    void PingReply(int bytesReceived);
    QString Update_Options(const QString& s_opt) const;
    // Writes the job; false (after the error box) when it cannot be written.
    bool Compile_XML_Parameter();
    // The same for the newer boot loader's memory layout; nothing calls it.
    bool Compile_XML_Parameter_New_Boot();
    // The type of the device: always 0 (nothing calls it).
    int Get_Type_Dev();
    void update_ComPort();

    // The address as typed: the four edits joined by ".".
    QString IP_Text() const;
    // An echo test or the updater is running.
    bool Busy() const { return busy_ > 0; }

protected:
    bool CloseQuery() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Lay_Out(platform::TPanel* middle);
    bool Save_Job();
    // Execute and Cancel follow the window's state.
    void Update_Buttons();

    int busy_ = 0;
    platform::TTimer* updater_watch_ = nullptr;
};

extern TFBoot* FBoot;
