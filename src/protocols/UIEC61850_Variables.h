#pragma once

// IEC 61850 server variables: the variables the converter offers to IEC
// 61850 clients, each with its name, type, length and place in the data
// array, and an optional conversion, factor and swaps. Kept in
// "IEC61850_Variables.xml", the rules directly under the root.

#include "rules/USet_Access_Form.h"

const TRule_Form& IEC61850_Variables_Form();

class TFIEC61850_Variables : public TSet_Access_Form
{
public:
    TFIEC61850_Variables();
    ~TFIEC61850_Variables() override;

    VOruVizizaZezo* ECG = nullptr;
    QStringList& Hint_List;
    // The data array's size bounding Position: 1438 at each showing.
    int& NByte_IN;
};

extern TFIEC61850_Variables* FIEC61850_Variables;
