#pragma once

// Modbus RTU master rules: the read and write rules by which the converter,
// as master on its serial line, polls slaves by slave ID, and where their
// values lie in its data areas. Kept in "ModbusM_SetAccess.xml" under the
// root "EtherNetIP_to_Modbus" (lists "Modbus_Read" and "Modbus_Write").

#include "fieldbus/USet_Access_Form.h"

#include <vector>

const TRule_Form& SetAccess_Form();

class TFSetAccess : public TSet_Access_Form
{
public:
    TFSetAccess();
    ~TFSetAccess() override;

    platform::TTabSheet* TS_Modbus_Read = nullptr;
    platform::TTabSheet* TS_Modbus_Write = nullptr;
    VOruVizizaZezo* ECG_Modbus_Read = nullptr;
    VOruVizizaZezo* ECG_Modbus_Write = nullptr;
    QStringList& Hint_Modbus_Set_Access_Read;
    QStringList& Hint_Modbus_Set_Access_Write;
    // The Topic index of each read row as the file gave it; -1 for none.
    std::vector<int> ComboItem_Topic;
    int& NByte_IN;
    int& NByte_OUT;
    int Working_Mode = 0;
    // The topics of the Topic column: nothing fills it, so the column stays
    // hidden and its index is stored empty.
    QStringList& List_Publish_Topic;

    void Btn_InsertRowClick(QObject* sender) { Btn_InsRowClick(sender); }
    void bitbtn1Click(QObject* sender) { Btn_OKClick(sender); }

protected:
    void Before_Load() override;
};

extern TFSetAccess* FSetAccess;
