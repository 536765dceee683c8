#pragma once

// The name of the GSDML file, after the naming convention of GSDML files:
// the fixed part "GSDML-V2.25-Rizova-", the user's part led by "_", then
// "-", the date as eight digits and ".xml". The date is that of the dialog's
// creation at start-up.

#include "platform/Forms.h"

#include <QDate>
#include <QString>

namespace platform {
class TEdit;
class TLabel;
class TPanel;
}
class TLbButton;

extern const QString Profinet_File_Fixed_Part;   // "GSDML-V2.25-Rizova-"

// "-" + year, month and day in eight digits + ".xml".
QString Profinet_File_Date_Part(const QDate& date);

// The whole name from its three parts: an empty (or blank) user part is left
// out, one that does not begin with "_" gets it. The user part is taken
// untrimmed.
QString Profinet_File_Name(const QString& fixed1, const QString& user, const QString& fixed2);

// Empty when the user part can stand in a file name; else the message. It
// must stay a plain name: no folder separators and nothing a file system
// refuses.
QString Profinet_User_Part_Error(const QString& user);

class TFProfinetFileName : public platform::TForm
{
public:
    TFProfinetFileName();
    ~TFProfinetFileName() override;

    // The result once the dialog closed with OK: the whole file name.
    QString Name_File_XML;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TLabel* L_Select = nullptr;
    platform::TLabel* L_Fixed_Part1 = nullptr;
    platform::TLabel* L_XML_Fix1 = nullptr;
    platform::TLabel* L_User_Part = nullptr;
    platform::TEdit* E_XML_User = nullptr;
    platform::TLabel* L_Fixed_Part2 = nullptr;
    platform::TLabel* L_XML_Fix2 = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    // The date part shown; set from today's date at creation.
    void Set_File_Date(const QDate& date);
    void Btn_OK_Click();
    void Set_Lang();
};

extern TFProfinetFileName* FProfinetFileName;
