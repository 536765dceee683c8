#pragma once

// BACnet slave object tables: the objects the converter offers as a BACnet
// server, read by clients from its input area (read tab) or written by them
// into its output area (write tab), 1500 bytes each. Kept in
// "BACnet_Slave_SetAccess.xml" under the root "BACnet_to_Modbus"; the EDE
// export describes the same objects.
//
// "BACnet_Desc_Chars_Limit" = "1" in "ParGen.xml" (long object names) halves
// the tables: 1000 rows each and 1000 objects in all, else 2000 and 2000.

#include "rules/USet_Access_Form.h"

#include <QString>

namespace bacnet_slave {

constexpr int kArea = 1500;
enum Column { cDataType = 1, cEngUnit, cPosition, cStartBit, cLength, cSwap, cMnemonic };

// The Length a write Data Type choice puts in ("" for none).
QString Length_Of_Choice(const QString& dataType);
// The objects both tables may hold together.
int Total_Limit(bool descLength);
// "BACnet_Desc_Chars_Limit" is exactly "1" in "ParGen.xml".
bool Read_Desc_Length(const QString& parGenPath);

} // namespace bacnet_slave

const TRule_Form& BACnet_Slave_Form();

class TFBACnetSlaveSetAccess : public TSet_Access_Form
{
public:
    TFBACnetSlaveSetAccess();
    ~TFBACnetSlaveSetAccess() override;

    platform::TTabSheet* TS_BACnet_in_Read = nullptr;
    platform::TTabSheet* TS_BACnet_in_Write = nullptr;
    VOruVizizaZezo* ECG_BACnet_in_Read = nullptr;
    VOruVizizaZezo* ECG_BACnet_in_Write = nullptr;
    int& NByte_IN;
    int& NByte_OUT;
    bool Desc_Lenght = false;

    void bitbtn1Click(QObject* sender) { Btn_OKClick(sender); }
    void Btn_DelRow_Click(QObject* sender) { Btn_DelRowClick(sender); }
    void ECG_BACnet_in_ReadDblClickCell(QObject* sender, int row, int col);
    void ECG_BACnet_in_WriteDblClickCell(QObject* sender, int row, int col);
    void ECG_BACnet_in_WriteComboChange(QObject* sender, int col, int row, int index, const QString& selection);

protected:
    bool Prepare_Show() override;
    QString Extra_Check(int grid, const TRule_Rows& rows) override;

private:
    void Pick_Eng_Unit(int grid, int row, int col);
};

extern TFBACnetSlaveSetAccess* FBACnetSlaveSetAccess;
