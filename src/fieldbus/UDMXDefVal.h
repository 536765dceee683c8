#pragma once

// DMX default values: one row per DMX channel of the converter, its default
// value 0..255 and a free description, kept in "DMX_Default_Values.xml". The
// channel count comes from "ParGen.xml" at each showing; every channel is a
// rule (no key column), written as a "Row" element.

#include "rules/USet_Access_Form.h"

const TRule_Form& DMXDefVal_Form();

// "DMX_Num_Channels" of "ParGen.xml": 512 when the file or the element is
// missing or the text is no number, and always within 1..512. False, with the
// parser's message, when the file is not well-formed.
bool DMX_Channel_Count(const QString& parGenPath, int* channels, QString* error);

class TFDMXDefVal : public TSet_Access_Form
{
public:
    TFDMXDefVal();
    ~TFDMXDefVal() override;

    VOruVizizaZezo* ECG_DMX_Def_Val = nullptr;
    QStringList& Hint;
    int Num_Channels = 512;

protected:
    bool Prepare_Show() override;
};

extern TFDMXDefVal* FDMXDefVal;
