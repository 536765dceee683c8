#pragma once

// KNX rules: the telegrams the converter sends from its data area, each with
// its source and destination address, service, priority, conversion, frame
// kind, sending condition and place in the data area. Kept in
// "KNX_SetAccess.xml" under the list "KNX_in_Write".

#include "rules/USet_Access_Form.h"

const TRule_Form& KNX_Access_Form();

namespace knx {
// The bytes of the data area a rule uses: bits from the start bit in bit
// mode ("Bit Mode" not "No"), whole bytes in byte mode.
int64_t Bytes_Used(const QString& bitMode, const QString& length);
// The largest Length of a rule by its mode and frame kind.
int64_t Length_Limit(const QString& bitMode, const QString& extended);
} // namespace knx

class TFKNXAccess : public TSet_Access_Form
{
public:
    TFKNXAccess();
    ~TFKNXAccess() override;

    VOruVizizaZezo* ECG_KNX_in_Write = nullptr;
    QStringList& Hint;
    // The data area's size: 1500 at each showing.
    int& Max_Num_Byte;

protected:
    bool Prepare_Show() override;
};

extern TFKNXAccess* FKNXAccess;
