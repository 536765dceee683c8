#include "protocols/UIEC61850_Variables.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"

#include <cfloat>

TFIEC61850_Variables* FIEC61850_Variables = nullptr;

namespace {

TRule_Form Make_Form()
{
    TRule_Form f;
    f.name = QStringLiteral("FIEC61850_Variables");
    f.root = QStringLiteral("IEC61850_Variables");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_IEC61850_Variables;
    f.caption = 5000;
    f.title = 5001;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 5002 + i;
        f.button_hints[i] = 5008 + i;
    }
    f.error_prefix = 5029;
    f.delete_question = 5031;
    f.width = 1155;
    f.height = 337;
    TRule_Grid g;
    g.name = QStringLiteral("ECG");
    g.rows = 50;
    g.key = 2;
    g.enable = 1;
    g.capacity = 1438;
    g.hints_by_real = true;
    const QStringList bits = {"0", "1", "2", "3", "4", "5", "6", "7"};
    g.columns = {
        {.header = 5014, .width = 40},
        {.attribute = "Enable", .header = 5015, .hint = 5022, .editor = edDataCheckBox, .width = 50, .fallback = "Y",
         .reset = "Y"},
        {.attribute = "Name", .header = 5016, .hint = 5023, .width = 150},
        {.attribute = "Type", .header = 5017, .hint = 5024, .editor = edComboList, .width = 100,
         .choices = {"Int", "Float", "Digital (Bit)"}},
        {.attribute = "Length", .header = 5018, .hint = 5025, .width = 60},
        {.attribute = "ReadOnly", .header = 5019, .hint = 5026, .editor = edDataCheckBox, .width = 70, .fallback = "N"},
        {.attribute = "Position", .header = 5020, .hint = 5027, .width = 70},
        {.attribute = "StartBit", .header = 5032, .hint = 5035, .editor = edComboList, .width = 60, .choices = bits},
        {.attribute = "Conversion", .header = 5033, .hint = 5036, .editor = edComboList, .width = 100,
         .choices = {"None", "Int to Float", "Float to Int"}},
        {.attribute = "MultiplicationFactor", .header = 5034, .hint = 5037, .editor = edComboEdit, .width = 90,
         .choices = {"None"}},
        {.attribute = "Swap", .header = 5042, .hint = 5044, .editor = edDataCheckBox, .width = 50, .fallback = "N"},
        {.attribute = "SwapWord", .header = 5043, .hint = 5045, .editor = edDataCheckBox, .width = 70, .fallback = "N"},
        {.attribute = "Mnemonic", .header = 5021, .hint = 5028, .width = 200},
    };
    using K = TRule_Check_Kind;
    g.checks = {
        {.kind = K::Range, .column = 4, .low = 1, .high = 4, .message = 5041},
        {.kind = K::Range, .column = 6, .low = 0, .high = kRule_Capacity_Last, .message = 5030, .bound = true},
        {.kind = K::Not_Empty, .column = 7, .message = 5038, .when = {.column = 3, .texts = {"Digital (Bit)"}, .exact = true}},
        {.kind = K::Not_Empty, .column = 8, .message = 5039},
        // "None" or any number, with either decimal mark.
        {.kind = K::Float_Range, .column = 9, .message = 5040,
         .when = {.column = 9, .texts = {"NONE"}, .upper = true, .negate = true}, .float_low = -FLT_MAX,
         .float_high = FLT_MAX},
    };
    f.grids = {g};
    return f;
}

} // namespace

const TRule_Form& IEC61850_Variables_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFIEC61850_Variables::TFIEC61850_Variables()
    : TSet_Access_Form(IEC61850_Variables_Form()), Hint_List(Hints[0]), NByte_IN(Capacity[0])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        ECG = Grids[0];
    });
}

TFIEC61850_Variables::~TFIEC61850_Variables()
{
    if (FIEC61850_Variables == this)
        FIEC61850_Variables = nullptr;
}
