#pragma once

// DeviceNet network: the slaves the converter serves as DeviceNet master, each
// with its MAC identifier and its numbers of input and output bytes. Kept in
// "DNETM_Net.xml", the slaves directly under the root "DNET_Net"; the offset
// window reads the same file.

#include "rules/USet_Access_Form.h"

const TRule_Form& DNet_Form();

class TFDNet : public TSet_Access_Form
{
public:
    TFDNet();
    ~TFDNet() override;

    VOruVizizaZezo* ESG = nullptr;
    QStringList& Hint_DeviceNet;

    // The copy flag of the one grid (Do_Copy).
    bool Do_Copy() const { return Copied[0]; }

    void bitbtn1Click(QObject* sender) { Btn_OKClick(sender); }
    bool controllo_dati() { return Controllo_dati(); }
    void Btn_DelRow_Click(QObject* sender) { Btn_DelRowClick(sender); }
};

extern TFDNet* FDNet;
