#pragma once

// J1939 receive rules: the parameter groups the converter captures from the
// bus, each with its data page, PGN and source address, how it arrives
// (transport protocol or single frame), the bytes captured, and whether the
// converter requests it itself. Kept in "J1939_Rec_Frames.xml", the rules
// directly under the root "Receive_J1939".

#include "rules/USet_Access_Form.h"

const TRule_Form& ReceiveJ1939_Form();

class TFReceiveJ1939 : public TSet_Access_Form
{
public:
    TFReceiveJ1939();
    ~TFReceiveJ1939() override;

    VOruVizizaZezo* sga = nullptr;
    QStringList& Hint_ReceiveJ1939;
    // The input area the captured bytes of all rows share: 1440 at each showing.
    int& NUM_BYTE_IN;

    bool Controllo_Dati() { return Controllo_dati(); }

protected:
    bool Prepare_Show() override;
};

extern TFReceiveJ1939* FReceiveJ1939;
