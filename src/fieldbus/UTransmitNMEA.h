#pragma once

// NMEA 2000 transmit rules: the parameter groups the converter sends, each
// with its priority, PGN, source address, fast-packet flag and byte count,
// and the events that send it. Kept in "NMEA_Send_Frames.xml", whose root is
// "Receive_NMEA_2000" like the receive file's (stored files carry it). The
// checks end at the first empty PGN, the saved rules at the first empty
// Priority.

#include "rules/USet_Access_Form.h"

const TRule_Form& TransmitNMEA_Form();

class TFTransmitNMEA : public TSet_Access_Form
{
public:
    TFTransmitNMEA();
    ~TFTransmitNMEA() override;

    VOruVizizaZezo* sga = nullptr;
    QStringList& Hint_TransmitNMEA;
    // The output area the data bytes of all rows share: 512 at each showing.
    int& NUM_BYTE_OUT;

    bool Controllo_Dati() { return Controllo_dati(); }

protected:
    bool Prepare_Show() override;
};

extern TFTransmitNMEA* FTransmitNMEA;
