#pragma once

// CANopen PDO tables: the receive and transmit PDOs of the converter's
// CANopen side, 30 of each, with the data-area position of every byte. Kept
// in "PDO_CANopen.xml", which the EDS writer reads too.

#include "rules/USet_Access_Form.h"

const TRule_Form& Set_PDO_Access_Form();

class TFSet_PDO_Access : public TSet_Access_Form
{
public:
    TFSet_PDO_Access();
    ~TFSet_PDO_Access() override;

    platform::TPageControl*& PageControl1;
    platform::TTabSheet* TS_Receive_PDO = nullptr;
    platform::TTabSheet* TS_Transmit_PDO = nullptr;
    VOruVizizaZezo* sga = nullptr;
    VOruVizizaZezo* sgb = nullptr;
    QStringList& Hint_PDO_Receive;
    QStringList& Hint_PDO_Transmit;
    int& PROFINET_NByte_IN;
    int& PROFINET_NByte_OUT;

    void Btn_OK_Click(QObject* sender) { Btn_OKClick(sender); }
    void Btn_DelRow_Click(QObject* sender) { Btn_DelRowClick(sender); }
};

extern TFSet_PDO_Access* FSet_PDO_Access;
