#pragma once

// J1939 transmit rules: the parameter groups the converter sends, each with
// its priority, data page, PGN, source address and byte count, and the
// events that send it (a request, a change of its data, a timer). Kept in
// "J1939_Send_Frames.xml", the rules directly under the root "Transmit_J1939".
// The checks end at the first empty PGN, the saved rules at the first empty
// Priority.

#include "rules/USet_Access_Form.h"

const TRule_Form& TransmitJ1939_Form();

class TFTransmitJ1939 : public TSet_Access_Form
{
public:
    TFTransmitJ1939();
    ~TFTransmitJ1939() override;

    VOruVizizaZezo* sga = nullptr;
    QStringList& Hint_TransmitJ1939;
    // The output area the data bytes of all rows share: 512 at each showing.
    int& NUM_BYTE_OUT;

    bool Controllo_Dati() { return Controllo_dati(); }

protected:
    bool Prepare_Show() override;
};

extern TFTransmitJ1939* FTransmitJ1939;
