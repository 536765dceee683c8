#include "fieldbus/UReceiveJ1939.h"
#include "fieldbus/UPGN_Frame_Rules.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"

TFReceiveJ1939* FReceiveJ1939 = nullptr;

namespace {

constexpr int kInputArea = 1440;
enum { cDP = 1, cPGN, cSA, cTP, cStart, cNByte, cDelete, cOnRequest, cTime, cMnemonic };

TRule_Form Make_Form()
{
    using K = TRule_Check_Kind;
    TRule_Form f;
    f.name = QStringLiteral("FReceiveJ1939");
    f.root = QStringLiteral("Receive_J1939");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_J1939_Rec_Frames;
    f.caption = 4300;
    f.title = 4301;
    f.error_prefix = 4335;
    f.delete_question = 4347;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 4302 + i;
        f.button_hints[i] = 4308 + i;
    }
    f.width = 876;
    f.height = 337;
    TRule_Grid g;
    g.name = QStringLiteral("sga");
    g.rows = 512;
    g.key = cPGN;
    g.key_exact = true;
    g.capacity = kInputArea;
    g.columns = {
        {.header = 4314, .width = 30},
        {.attribute = "DP", .header = 4315, .hint = 4325, .editor = edComboList, .width = 65, .choices = {"0", "1"}},
        {.attribute = "PGN", .header = 4316, .hint = 4326, .width = 70},
        {.attribute = "SA", .header = 4317, .hint = 4327, .width = 105},
        {.attribute = "TP", .header = 4318, .hint = 4328, .editor = edDataCheckBox, .width = 110, .fallback = "N"},
        {.attribute = "TP_Start", .header = 4319, .hint = 4329, .width = 70},
        {.attribute = "TP_NByte", .header = 4320, .hint = 4330, .width = 60},
        {.attribute = "Delete", .header = 4321, .hint = 4331, .editor = edDataCheckBox, .width = 75, .fallback = "N"},
        {.attribute = "OnRequest", .header = 4322, .hint = 4332, .editor = edDataCheckBox, .width = 75,
         .fallback = "N"},
        {.attribute = "OnReq_Time", .header = 4323, .hint = 4333, .width = 70, .fallback = "1000"},
        {.attribute = "Mnemonic", .header = 4324, .hint = 4334, .width = 135},
    };
    g.checks = {
        {.kind = K::Not_Empty, .column = cDP, .message = 4336},
        {.kind = K::Range, .column = cPGN, .low = 0, .high = 0xFFFF, .message = 4337},
        {.kind = K::Range, .column = cSA, .low = 0, .high = 239, .message = 4338},
    };
    pgn_frames::Add_Frame_Checks(g, {.tp = cTP, .start = cStart, .nbyte = cNByte},
                                 {4339, 4340, 0, 0, 4341, 4342, 4343, 4344, 4345});
    // The lower bound is the one the message names: 0 ms between requests.
    g.checks.push_back({.kind = K::Range, .column = cTime, .low = 0, .high = 10000000, .message = 4346,
                        .when = {.column = cOnRequest, .texts = {"Y"}, .exact = true}});
    f.grids = {g};
    return f;
}

} // namespace

const TRule_Form& ReceiveJ1939_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFReceiveJ1939::TFReceiveJ1939()
    : TSet_Access_Form(ReceiveJ1939_Form()), Hint_ReceiveJ1939(Hints[0]), NUM_BYTE_IN(Capacity[0])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        sga = Grids[0];
    });
}

TFReceiveJ1939::~TFReceiveJ1939()
{
    if (FReceiveJ1939 == this)
        FReceiveJ1939 = nullptr;
}

bool TFReceiveJ1939::Prepare_Show()
{
    NUM_BYTE_IN = kInputArea;
    return true;
}
