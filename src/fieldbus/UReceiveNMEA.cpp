#include "fieldbus/UReceiveNMEA.h"
#include "fieldbus/UPGN_Frame_Rules.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"

TFReceiveNMEA* FReceiveNMEA = nullptr;

namespace {

constexpr int kInputArea = 512;
enum { cPGN = 1, cSA, cTP, cFP, cStart, cNByte, cDelete, cMnemonic };

TRule_Form Make_Form()
{
    using K = TRule_Check_Kind;
    TRule_Form f;
    f.name = QStringLiteral("FReceiveNMEA");
    f.root = QStringLiteral("Receive_NMEA_2000");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_NMEA_Rec_Frames;
    f.caption = 4600;
    f.title = 4601;
    f.error_prefix = 4631;
    f.delete_question = 4643;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 4602 + i;
        f.button_hints[i] = 4608 + i;
    }
    f.width = 810;
    f.height = 337;
    TRule_Grid g;
    g.name = QStringLiteral("sga");
    g.rows = 62;
    g.key = cPGN;
    g.key_exact = true;
    g.capacity = kInputArea;
    g.columns = {
        {.header = 4614, .width = 30},
        {.attribute = "PGN", .header = 4615, .hint = 4623, .width = 80},
        {.attribute = "SA", .header = 4616, .hint = 4624, .width = 105},
        {.attribute = "TP", .header = 4617, .hint = 4625, .editor = edDataCheckBox, .width = 110, .fallback = "N"},
        {.attribute = "FP", .header = 4618, .hint = 4626, .editor = edDataCheckBox, .width = 80, .fallback = "N"},
        {.attribute = "TP_Start", .header = 4619, .hint = 4627, .width = 70},
        {.attribute = "TP_NByte", .header = 4620, .hint = 4628, .width = 60},
        {.attribute = "Delete", .header = 4621, .hint = 4629, .editor = edDataCheckBox, .width = 80, .fallback = "N"},
        {.attribute = "Mnemonic", .header = 4622, .hint = 4630, .width = 190},
    };
    g.checks = {
        {.kind = K::Range, .column = cPGN, .low = 0, .high = 0x1FFFF, .message = 4632},
        {.kind = K::Range, .column = cSA, .low = 0, .high = 239, .message = 4633},
    };
    pgn_frames::Add_Frame_Checks(g, {.tp = cTP, .fast = cFP, .start = cStart, .nbyte = cNByte},
                                 {4634, 4635, 4636, 4637, 4638, 4639, 4640, 4641, 4642});
    f.grids = {g};
    return f;
}

} // namespace

const TRule_Form& ReceiveNMEA_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFReceiveNMEA::TFReceiveNMEA()
    : TSet_Access_Form(ReceiveNMEA_Form()), Hint_ReceiveNMEA(Hints[0]), NUM_BYTE_IN(Capacity[0])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        sga = Grids[0];
    });
}

TFReceiveNMEA::~TFReceiveNMEA()
{
    if (FReceiveNMEA == this)
        FReceiveNMEA = nullptr;
}

bool TFReceiveNMEA::Prepare_Show()
{
    NUM_BYTE_IN = kInputArea;
    return true;
}
