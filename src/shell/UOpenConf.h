#pragma once

#include "platform/Forms.h"

#include <QStringList>

namespace platform {
class TLabel;
class TListBox;
class TPanel;
}
class TLbButton;

// Lists the configurations under PROJECTS and returns the chosen name.
class TFOpenConf : public platform::TForm
{
public:
    TFOpenConf();

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TLabel* Label1 = nullptr;
    platform::TListBox* ListBox1 = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    QStringList SL;
    QString Name_Conf;

    void Set_Lang();
    void Load_Existing_Configuration();
    int Search_Open_Conf(const QString& name) const;
    void ListBox1Click(QObject* sender);

private:
    void FormShow();
};

extern TFOpenConf* FOpenConf;
