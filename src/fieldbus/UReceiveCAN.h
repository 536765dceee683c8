#pragma once

// CAN receive frame rules: the frames the converter takes from the CAN bus,
// each with its identifier and format, length, time-out and the data-area
// position of each of its eight bytes ("None": not stored). Kept in
// "CAN_Rec_Frames.xml", the rules directly under the root.

#include "rules/USet_Access_Form.h"

const TRule_Form& ReceiveCAN_Form();

class TFReceiveCAN : public TSet_Access_Form
{
public:
    TFReceiveCAN();
    ~TFReceiveCAN() override;

    VOruVizizaZezo* ECG_CAN_Receive = nullptr;
    QStringList& Hint_ReceiveCAN;
    // Positions of the data array a byte may be put in: 0 .. MAX_Byte - 1.
    int& MAX_Byte;
};

extern TFReceiveCAN* FReceiveCAN;
