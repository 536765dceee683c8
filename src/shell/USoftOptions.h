#pragma once

// The options window: the language (applied at once, committed on OK),
// internet access and the timed version check, the check at once, and two
// options of the rule tables. Also the version check the main window's timer
// runs.

#include "platform/Forms.h"

#include <QStringList>

namespace platform {
class TCheckBox;
class TImage;
class TLabel;
class TLinkLabel;
class TPageControl;
class TPanel;
class TTabSheet;
}
class TLbButton;

// The product's download page, the target of both new-version links.
QString Download_Page_Address();
// A new-version link as a link label shows it: the download page with `text`.
QString Download_Link(const QString& text);

class TFSoftOptions : public platform::TForm
{
public:
    TFSoftOptions();

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    platform::TPageControl* PC_Options = nullptr;
    platform::TTabSheet* TS_Language = nullptr;
    platform::TTabSheet* TS_Con_Options = nullptr;
    platform::TTabSheet* TS_Soft_Settings = nullptr;

    platform::TLabel* L_Sel_Lang = nullptr;
    platform::TImage* I_L[6] = {};   // I_L1 .. I_L6
    platform::TLabel* L_L[6] = {};   // L_L1 .. L_L6
    platform::TLabel* L_Page_Lang = nullptr;
    TLbButton* Btn_Prev = nullptr;
    TLbButton* Btn_Next = nullptr;

    platform::TCheckBox* CB_En_Con = nullptr;
    platform::TCheckBox* CB_Update = nullptr;
    TLbButton* Btn_Check_Update = nullptr;
    platform::TLinkLabel* LL_Check_Update = nullptr;

    platform::TCheckBox* CB_Soft_Set_Jump_Table = nullptr;
    platform::TCheckBox* CB_DoubleClick_Auto_Size = nullptr;

    int Show_Page = 1;
    QStringList SL_Languages;
    QString Language_In_Use;

    // Where the version question goes ("http://host[:port]") and how long
    // the window may wait for the answer; no answer in time is no answer.
    QString Version_Server;
    int Version_Timeout_Ms = 5000;

    void Set_Lang();
    void Create_Lang_List();
    void Update_Lang_Page(int page);
    void Btn_NextClick(QObject* sender);
    // `slot` 1 .. 6: the picture or the label clicked.
    void LangClick(int slot);
    void Update_CheckBox();
    void Btn_Check_UpdateClick(QObject* sender);
    void Btn_OKClick(QObject* sender);

    // True when the server names a newer version than this program's.
    bool Check_Version();
    // The same decision on a reply already received.
    static bool Is_Newer_Version(const QString& reply);
    // "VER. 1.003" -> 1003; -1 when the text is no version.
    static int Conv_Version(const QString& text);

private:
    void FormShow();
    int Page_Count() const;
};

extern TFSoftOptions* FSoftOptions;
