#pragma once

// CANopen SDO client rules: the objects the converter reads from and writes
// to other CANopen devices, 256 of each, with the data-area position of each
// byte of the value. Kept in "SDO_Client_CANopen.xml".

#include "rules/USet_Access_Form.h"

const TRule_Form& Set_SDO_Client_Access_Form();

class TFSet_SDO_Client_Access : public TSet_Access_Form
{
public:
    TFSet_SDO_Client_Access();
    ~TFSet_SDO_Client_Access() override;

    platform::TPageControl*& PageControl1;
    platform::TTabSheet* TS_SDO_Read = nullptr;
    platform::TTabSheet* TS_SDO_Write = nullptr;
    VOruVizizaZezo* sga = nullptr;
    VOruVizizaZezo* sgb = nullptr;
    QStringList& Hint_SDO_Client_Read;
    QStringList& Hint_SDO_Client_Write;
    int& PROFINET_NByte_IN;
    int& PROFINET_NByte_OUT;

    void Btn_OK_Click(QObject* sender) { Btn_OKClick(sender); }
    void Btn_DelRow_Click(QObject* sender) { Btn_DelRowClick(sender); }
};

extern TFSet_SDO_Client_Access* FSet_SDO_Client_Access;
