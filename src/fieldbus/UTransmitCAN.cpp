#include "fieldbus/UTransmitCAN.h"
#include "fieldbus/UCAN_Frame_Columns.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"

TFTransmitCAN* FTransmitCAN = nullptr;

namespace {

constexpr int kOnTimer = 7;

TRule_Form Make_Form()
{
    using namespace can_frames;
    TRule_Form f;
    f.name = QStringLiteral("FTransmitCAN");
    f.root = QStringLiteral("Transmit_Frames");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_CAN_Send_Frames;
    f.caption = 3400;
    f.title = 3401;
    f.error_prefix = 3447;
    f.delete_question = 3461;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 3402 + i;
        f.button_hints[i] = 3425 + i;
    }
    f.width = 1100;
    f.height = 337;
    f.row_select = false;
    f.focus_grid = true;
    TRule_Grid g;
    g.name = QStringLiteral("ECG_CAN_Transmit");
    g.rows = 512;
    g.key = 2;
    g.enable = 1;
    g.enable_upper = true;
    g.capacity = 3400;
    g.columns = {
        {.header = 3408, .width = 40},
        {.attribute = "Enable", .header = 3409, .hint = 3431, .editor = edDataCheckBox, .width = 50,
         .fallback = "Y", .reset = "Y"},
        {.attribute = "COBID", .header = 3410, .hint = 3432, .width = 80},
        {.attribute = "CAN_Type", .header = 3411, .hint = 3433, .editor = edComboList, .width = 100,
         .fallback = kType11, .choices = {kType11, kType29}},
        {.attribute = "Dim", .header = 3412, .hint = 3434, .width = 70},
        {.attribute = "OnChange", .header = 3413, .hint = 3435, .editor = edDataCheckBox, .width = 60,
         .fallback = "Y"},
        {.attribute = "OnCMD", .header = 3462, .hint = 3463, .editor = edDataCheckBox, .width = 60, .fallback = "N"},
        {.attribute = "OnTimer", .header = 3414, .hint = 3436, .editor = edDataCheckBox, .width = 60,
         .fallback = "N"},
        // A timer without its period: the period 0.
        {.attribute = "Time", .header = 3415, .hint = 3437, .width = 70,
         .fallback_of_row = [](const QStringList& cells) {
             return cells.size() >= kOnTimer && cells[kOnTimer - 1] == QLatin1String("Y") ? QStringLiteral("0")
                                                                                          : QString();
         }},
    };
    Add_Byte_Columns(g, 9, 3416, 3438);
    g.columns.push_back({.attribute = "Mnemonic", .header = 3424, .hint = 3446, .width = 200});
    g.checks = CobID_Checks(2, 3, 3448, 3449);
    g.checks.push_back({.kind = TRule_Check_Kind::Range, .column = 4, .low = 1, .high = 8, .message = 3450});
    g.checks.push_back({.kind = TRule_Check_Kind::Range, .column = 8, .low = 0, .high = 100000000, .message = 3451,
                        .when = {.column = kOnTimer, .texts = {"Y"}, .upper = true}});
    Add_Byte_Checks(g, 9, 4, 3452, 3453, 3454);
    f.grids = {g};
    return f;
}

} // namespace

const TRule_Form& TransmitCAN_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFTransmitCAN::TFTransmitCAN()
    : TSet_Access_Form(TransmitCAN_Form()), Hint_TransmitCAN(Hints[0]), MAX_Byte(Capacity[0])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        ECG_CAN_Transmit = Grids[0];
    });
}

TFTransmitCAN::~TFTransmitCAN()
{
    if (FTransmitCAN == this)
        FTransmitCAN = nullptr;
}
