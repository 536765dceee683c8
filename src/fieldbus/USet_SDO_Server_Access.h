#pragma once

// CANopen SDO server objects: the objects of the converter's own dictionary
// (index 0x2000..0x5FFF) that clients read or write, 500 of each, with the
// data-area position of each byte. Kept in "SDO_Server_CANopen.xml", which
// the EDS writer reads too.

#include "rules/USet_Access_Form.h"

#include <set>

const TRule_Form& Set_SDO_Server_Access_Form();

class TFSet_SDO_Server_Access : public TSet_Access_Form
{
public:
    TFSet_SDO_Server_Access();
    ~TFSet_SDO_Server_Access() override;

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

protected:
    void Before_Check() override;
    bool Hook_Check(int grid, int hook, const QStringList& row) override;

private:
    std::set<int> Objects_Seen;  // index << 8 | sub-index, across both grids
};

extern TFSet_SDO_Server_Access* FSet_SDO_Server_Access;
