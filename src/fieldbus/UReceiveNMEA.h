#pragma once

// NMEA 2000 receive rules: the parameter groups the converter captures from
// the bus, each with its PGN and source address, how it arrives (transport
// protocol, fast packet or single frame) and the bytes captured. Kept in
// "NMEA_Rec_Frames.xml", the rules directly under the root "Receive_NMEA_2000".

#include "rules/USet_Access_Form.h"

const TRule_Form& ReceiveNMEA_Form();

class TFReceiveNMEA : public TSet_Access_Form
{
public:
    TFReceiveNMEA();
    ~TFReceiveNMEA() override;

    VOruVizizaZezo* sga = nullptr;
    QStringList& Hint_ReceiveNMEA;
    // The input area the captured bytes of all rows share: 512 at each showing.
    int& NUM_BYTE_IN;

    bool Controllo_Dati() { return Controllo_dati(); }

protected:
    bool Prepare_Show() override;
};

extern TFReceiveNMEA* FReceiveNMEA;
