#pragma once

// The BACnet engineering-unit picker: a unit chosen by quantity and name,
// handed back as its number in the BACnet engineering-units enumeration.

#include "platform/Forms.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace platform {
class TComboBox;
class TEdit;
class TLabel;
class TPanel;
}
class TLbButton;

// The unit's name for 0 .. 236, "unknown" for any other number.
QString Desc_Unit(int unit);
// The quantities, and for quantity q the unit numbers it offers in list order
// (empty for an index outside the table).
QStringList BACnet_Unit_Quantities();
std::vector<int> BACnet_Units_Of(int quantity);
// A unit's name as the unit list shows it.
QString BACnet_Unit_List_Name(int unit);

class TFBACnet_Eng_Unit : public platform::TForm
{
public:
    TFBACnet_Eng_Unit();
    ~TFBACnet_Eng_Unit() override;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TLabel* Label1 = nullptr;
    platform::TEdit* E_Selected_EU = nullptr;
    platform::TLabel* Label5 = nullptr;
    platform::TLabel* Label2 = nullptr;
    platform::TLabel* Label3 = nullptr;
    platform::TComboBox* CB_Select_Type = nullptr;
    platform::TLabel* Label4 = nullptr;
    platform::TComboBox* CB_Select_Unit = nullptr;
    TLbButton* Btn_Select_Eng_Unit = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    void Set_Lang();
    void FormShow();
    void CB_Select_TypeSelect(QObject* sender);
    void Btn_Select_Eng_UnitClick(QObject* sender);
};

extern TFBACnet_Eng_Unit* FBACnet_Eng_Unit;
