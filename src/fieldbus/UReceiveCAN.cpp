#include "fieldbus/UReceiveCAN.h"
#include "fieldbus/UCAN_Frame_Columns.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"

TFReceiveCAN* FReceiveCAN = nullptr;

namespace {

TRule_Form Make_Form()
{
    using namespace can_frames;
    TRule_Form f;
    f.name = QStringLiteral("FReceiveCAN");
    f.root = QStringLiteral("Receive_Frames");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_CAN_Rec_Frames;
    f.caption = 3300;
    f.title = 3301;
    f.error_prefix = 3344;
    f.delete_question = 3358;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 3302 + i;
        f.button_hints[i] = 3323 + i;
    }
    f.width = 1010;
    f.height = 337;
    f.row_select = false;
    f.focus_grid = true;
    TRule_Grid g;
    g.name = QStringLiteral("ECG_CAN_Receive");
    g.rows = 512;
    g.key = 2;
    g.enable = 1;
    g.enable_upper = true;
    g.capacity = 2000;
    g.columns = {
        {.header = 3308, .width = 40},
        {.attribute = "Enable", .header = 3309, .hint = 3329, .editor = edDataCheckBox, .width = 50,
         .fallback = "Y", .reset = "Y"},
        {.attribute = "COBID", .header = 3310, .hint = 3330, .width = 80},
        {.attribute = "CAN_Type", .header = 3311, .hint = 3331, .editor = edComboList, .width = 100,
         .choices = {kType11, kType29}},
        {.attribute = "Dim", .header = 3312, .hint = 3332, .width = 70},
        {.attribute = "TimeOut", .header = 3313, .hint = 3334, .width = 70, .fallback = "0"},
    };
    Add_Byte_Columns(g, 6, 3314, 3335);
    g.columns.push_back({.attribute = "Mnemonic", .header = 3322, .hint = 3343, .width = 200});
    g.checks = CobID_Checks(2, 3, 3345, 3346);
    g.checks.push_back({.kind = TRule_Check_Kind::Range, .column = 4, .low = 1, .high = 8, .message = 3347});
    g.checks.push_back({.kind = TRule_Check_Kind::Range, .column = 5, .low = 0, .high = 100000000, .message = 3348});
    Add_Byte_Checks(g, 6, 4, 3349, 3350, 3351);
    f.grids = {g};
    return f;
}

} // namespace

const TRule_Form& ReceiveCAN_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFReceiveCAN::TFReceiveCAN()
    : TSet_Access_Form(ReceiveCAN_Form()), Hint_ReceiveCAN(Hints[0]), MAX_Byte(Capacity[0])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        ECG_CAN_Receive = Grids[0];
    });
}

TFReceiveCAN::~TFReceiveCAN()
{
    if (FReceiveCAN == this)
        FReceiveCAN = nullptr;
}
