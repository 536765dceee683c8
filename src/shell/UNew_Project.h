#pragma once

#include "platform/Forms.h"

namespace platform {
class TEdit;
class TLabel;
class TPanel;
}
class TLbButton;

// Creates a configuration: validates the name, makes its folder with "bin"
// and makes it the open configuration.
class TFNew_Project : public platform::TForm
{
public:
    TFNew_Project();

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TLabel* Label1 = nullptr;
    platform::TEdit* E_New_Proj = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    void Set_Lang();
    void Btn_OKClick(QObject* sender);

    // A name that can become a folder directly under PROJECTS on any system
    // the program runs on: not empty is checked separately; this refuses
    // separators, "." and "..", characters and device names a folder name
    // cannot hold, and a trailing blank or dot.
    static bool Is_Folder_Name_Allowed(const QString& name);

private:
    void FormShow();
};

extern TFNew_Project* FNew_Project;
