#pragma once

// OPC UA server variables: the variables the converter offers as OPC UA
// server, each a byte range (Position, Length) of its data array with a type,
// a name, its access and a description. Kept in "OPC_UA_Server.xml" under the
// list "OPC_UA_Server_Variables". Choosing a type sets its Length, which only
// String and ByteString let the user change.

#include "rules/USet_Access_Form.h"

const TRule_Form& OPC_UA_Server_Access_Form();

// The Length of a type and whether the user may change it; false for a name
// outside the list (names compare exactly).
bool OPC_UA_Var_Length(const QString& type, QString* length, bool* editable);

class TFOPC_UA_Server_Access : public TSet_Access_Form
{
public:
    TFOPC_UA_Server_Access();
    ~TFOPC_UA_Server_Access() override;

    VOruVizizaZezo* ESG = nullptr;
    QStringList VarType;
    QStringList RWType;

    // A type chosen in the row: its Length, the lock of the Length cell, and
    // "Read/Write" into an empty access cell.
    void ESGComboChange(QObject* sender, int col, int row, int itemIndex, const QString& selection);
    void VarSetLength(int row, const QString& type, bool setLength);

protected:
    void After_Load() override;
    void After_Paste(int grid, int row) override;
};

extern TFOPC_UA_Server_Access* FOPC_UA_Server_Access;
