#pragma once

// The EDS connection picker: reads the "[Connection Manager]" section of the
// file named in EDS_FileName when shown, lists its connections and lets the
// user pick one. The caller reads the cells of the selected row of ECG after
// an OK. A file without a usable connection is reported 10 ms after the
// showing and the dialog closes itself with Cancel.

#include "fieldbus/UEtherNetIP_EDS_Decode.h"

#include "platform/Forms.h"

#include <vector>

namespace platform {
class TLabel;
class TPanel;
class TTimer;
}
class TLbButton;
class VOruVizizaZezo;

class TFEtherNEtIP_EDS : public platform::TForm
{
public:
    // The grid's columns.
    enum { cConnection, cName, cHelp, cInstance_OT, cConnPoint_OT, cInstance_TO, cConnPoint_TO, cDimHeader_OT,
           cDimHeader_TO, cColumns };

    TFEtherNEtIP_EDS();
    ~TFEtherNEtIP_EDS() override;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;
    VOruVizizaZezo* ECG = nullptr;
    platform::TTimer* TClose = nullptr;

    QString EDS_FileName;
    std::vector<TConnData> List_Conn;

    void Set_Lang();
    void FormShow();
    // Decodes one entry into List_Conn when it is usable; returns "".
    QString DecodeConnStr(const QString& entry);
    void ShowDatainGrid();
    void TCloseTimer(QObject* sender);
};

extern TFEtherNEtIP_EDS* FEtherNEtIP_EDS;
