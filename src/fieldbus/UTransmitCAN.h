#pragma once

// CAN transmit frame rules: the frames the converter sends on the CAN bus,
// each with its identifier and format, length, the events that send it and
// the data-area position each of its eight bytes carries ("None": no byte).
// Kept in "CAN_Send_Frames.xml", the rules directly under the root.

#include "rules/USet_Access_Form.h"

const TRule_Form& TransmitCAN_Form();

class TFTransmitCAN : public TSet_Access_Form
{
public:
    TFTransmitCAN();
    ~TFTransmitCAN() override;

    VOruVizizaZezo* ECG_CAN_Transmit = nullptr;
    QStringList& Hint_TransmitCAN;
    // Positions of the data array a byte may come from: 0 .. MAX_Byte - 1.
    int& MAX_Byte;
};

extern TFTransmitCAN* FTransmitCAN;
