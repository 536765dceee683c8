#pragma once

// SNMP agent tables: the objects the converter offers to SNMP managers. The
// read tab lists the objects managers read (each also sent as a trap), the
// write tab those they write. Kept in "SNMP_Trap.xml" (lists "SNMP_Trap_Read"
// and "SNMP_Trap_Write"), which the MIB writer reads too.
//
// Column 0 shows an object's index among the enabled rows of its grid, not
// the row number: that index is the object's number in the MIB.

#include "rules/USet_Access_Form.h"

const TRule_Form& SNMP_Trap_Form();

namespace snmp {
// The data area both tables address, and the most objects a table holds.
constexpr int kAgent_Area = 1440;
constexpr int kAgent_Rows = 256;
// Enable counts in either case, as the MIB writer reads it.
bool Agent_Enabled(const QString& enable);
// The Type cell names an integer object.
bool Agent_Type_Int(const QString& type);
} // namespace snmp

class TFSNMP_Trap_Access : public TSet_Access_Form
{
public:
    TFSNMP_Trap_Access();
    ~TFSNMP_Trap_Access() override;

    platform::TTabSheet* TS_SNMP_Read = nullptr;
    platform::TTabSheet* TS_SNMP_Write = nullptr;
    VOruVizizaZezo* ECG_SNMP_Read = nullptr;
    VOruVizizaZezo* ECG_SNMP_Write = nullptr;
    QStringList& Hint_SNMP_Read;
    QStringList& Hint_SNMP_Write;
    int& NByte_IN;
    int& NByte_OUT;
    // The descriptions of the enabled rows of both grids, as the last check met them.
    QStringList SL_Check_Desc;

    // True when the text breaks the rule: Check_Type 0 a community name
    // (ASCII letters and digits), 1 a description (a lower-case letter first).
    static bool Check_Error_CommName_Desc(const QString& text, int Check_Type);
    void Index_Row_Build(VOruVizizaZezo* grid);
    void ECG_SNMP_ReadCheckBoxClick(QObject* sender, int col, int row, bool state);

protected:
    bool Prepare_Show() override;
    void Before_Check() override;
    bool Hook_Check(int grid, int hook, const QStringList& row) override;
    QString Extra_Check(int grid, const TRule_Rows& rows) override;
    void After_Load() override;
    void After_Paste(int grid, int row) override;
    void After_Row_Move(int grid) override;
};

extern TFSNMP_Trap_Access* FSNMP_Trap_Access;
