#pragma once

// The EDE import of the BACnet master rules: the objects of one BACnet
// device read from its EDE file (a semicolon-separated object list), listed
// for the user to choose which to read and which to write.

#include "platform/Forms.h"
#include "protocols/UImportEDEFile_Decode.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace platform {
class TEdit;
class TLabel;
class TPanel;
}
class TLbButton;
class VOruVizizaZezo;

class TFImportEDEFile : public platform::TForm
{
public:
    TFImportEDEFile();
    ~TFImportEDEFile() override;

    QString EDE_File;
    int App_BACnet_Type = 0;
    std::vector<std::unique_ptr<TBACnet_Var>> List_EDE_Var;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TLabel* LID_IP = nullptr;
    platform::TEdit* E_ID_IP = nullptr;
    VOruVizizaZezo* ECG = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;
    TLbButton* Btn_Select_All = nullptr;
    TLbButton* Btn_Unselect_All = nullptr;

    void Set_Lang();
    void FormShow();
    void Cancel_EDE_List_Vars();
    // False after an error box when the file cannot be read.
    bool Load_EDE_File();
    void Show_Data_in_Grid();
    void ECGCheckBoxClick(int col, int row, bool state);
    void Btn_Select_AllClick(QObject* sender);
    void Btn_Unselect_AllClick(QObject* sender);
    void Btn_OKClick(QObject* sender);
};

extern TFImportEDEFile* FImportEDEFile;
