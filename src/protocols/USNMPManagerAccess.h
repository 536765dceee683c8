#pragma once

// SNMP manager rules: the requests the converter sends to SNMP agents, each
// with the agent's address, version and credentials, the object identifier,
// the request kind, when it is sent and where its value lies in the data
// area. Kept in "SNMP_Manager.xml", the rules directly under the root.

#include "rules/USet_Access_Form.h"

const TRule_Form& SNMP_Manager_Form();

namespace snmp {
// The characters the rules' texts take in the converter, 1 to start with;
// every used, enabled row is counted.
int64_t Manager_Budget(const TRule_Rows& rows);
constexpr int64_t kManager_Budget = 47104;
// The first pair of enabled rows (1-based) with the same address, version
// and OID; {0, 0} when there is none.
std::pair<int, int> Manager_Duplicate(const TRule_Rows& rows);
} // namespace snmp

class TFSNMPManagerAccess : public TSet_Access_Form
{
public:
    TFSNMPManagerAccess();
    ~TFSNMPManagerAccess() override;

    VOruVizizaZezo* ECG_SNMP = nullptr;
    QStringList& Hint_SNMP;

protected:
    QString Extra_Check(int grid, const TRule_Rows& rows) override;
};

extern TFSNMPManagerAccess* FSNMPManagerAccess;
