#pragma once

// Modbus TCP master rules: the read and write rules by which the converter,
// as Modbus TCP client, polls slaves addressed by IP address, port and slave
// ID, and where their values lie in its data areas. Kept in
// "ModbusTCPM_SetAccess.xml" (lists "Modbus_Read" and "Modbus_Write").

#include "rules/USet_Access_Form.h"

const TRule_Form& Modbus_TCP_Master_Form();

class TFModbus_TCP_Master_Set_Access : public TSet_Access_Form
{
public:
    TFModbus_TCP_Master_Set_Access();
    ~TFModbus_TCP_Master_Set_Access() override;

    platform::TTabSheet* TS_Modbus_Read = nullptr;
    platform::TTabSheet* TS_Modbus_Write = nullptr;
    VOruVizizaZezo* ECG_Modbus_Read = nullptr;
    VOruVizizaZezo* ECG_Modbus_Write = nullptr;
    QStringList& Hint_Modbus_Set_Access_Read;
    QStringList& Hint_Modbus_Set_Access_Write;
    int& NByte_IN;
    int& NByte_OUT;
    int Working_Mode = 0;
    // The topics the read rules may publish to: nothing fills it, so the
    // Topic column stays hidden and every read rule stores the index -1.
    QStringList& List_Publish_Topic;

protected:
    void Before_Load() override;
};

extern TFModbus_TCP_Master_Set_Access* FModbus_TCP_Master_Set_Access;
