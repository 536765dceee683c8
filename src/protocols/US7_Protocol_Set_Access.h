#pragma once

// S7comm rules: the PLC values the converter polls into its input data area
// (read tab) and the values it writes from its output data area into PLCs
// (write tab). Kept in "S7_Protocol.xml"; the data-area sizes come from
// "ParGen.xml".

#include "rules/USet_Access_Form.h"

#include <vector>

const TRule_Form& S7_Protocol_Form();

namespace s7 {
// The bytes a value of the data type takes in the data area (a bit takes
// one byte's room; an unknown type counts as one byte).
int Data_Type_Size(const QString& dataType);
// The data-area size named in "ParGen.xml"; a missing or unreadable size
// gives the fallback.
int Area_Size(const QString& text, bool present, int fallback);
} // namespace s7

struct TIPPort
{
    int IP1 = -1, IP2 = -1, IP3 = -1, IP4 = -1, Port = -1;
};

class TFS7_Protocol_Set_Access : public TSet_Access_Form
{
public:
    TFS7_Protocol_Set_Access();
    ~TFS7_Protocol_Set_Access() override;

    static constexpr int kConnections = 10;

    VOruVizizaZezo* ECG_S7_Read = nullptr;
    VOruVizizaZezo* ECG_S7_Write = nullptr;
    QStringList& Hint_S7_Set_Access_Read;
    QStringList& Hint_S7_Set_Access_Write;
    int& NByte_IN;
    int& NByte_OUT;
    // The distinct PLC connections the validation has met; IP1 -1: free.
    std::vector<TIPPort> array_ip_Port;

    // The entry that holds (or now takes) the connection, -1 when all are taken by others.
    int Check_IP_Port(int ip1, int ip2, int ip3, int ip4, int port);

protected:
    bool Prepare_Show() override;
    void Before_Check() override;
    bool Hook_Check(int grid, int hook, const QStringList& row) override;
};

extern TFS7_Protocol_Set_Access* FS7_Protocol_Set_Access;
