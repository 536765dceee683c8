#include "fieldbus/UTransmitNMEA.h"
#include "fieldbus/UPGN_Frame_Rules.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"

TFTransmitNMEA* FTransmitNMEA = nullptr;

namespace {

constexpr int kOutputArea = 512;
enum { cPriority = 1, cPGN, cSA, cFP, cNByte, cRequest, cDataChange, cOnTimer, cSendTimer, cMnemonic };

TRule_Form Make_Form()
{
    using K = TRule_Check_Kind;
    TRule_Form f;
    f.name = QStringLiteral("FTransmitNMEA");
    f.root = QStringLiteral("Receive_NMEA_2000");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_NMEA_Send_Frames;
    f.caption = 4700;
    f.title = 4701;
    f.error_prefix = 4735;
    f.delete_question = 4742;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 4702 + i;
        f.button_hints[i] = 4708 + i;
    }
    f.width = 810;
    f.height = 337;
    f.show_hints = false;
    TRule_Grid g;
    g.name = QStringLiteral("sga");
    g.rows = 62;
    g.key = cPriority;
    g.check_key = cPGN;
    g.key_exact = true;
    g.capacity = kOutputArea;
    g.columns = {
        {.header = 4714, .width = 30},
        {.attribute = "Priority", .header = 4715, .hint = 4725, .width = 55},
        {.attribute = "PGN", .header = 4716, .hint = 4726, .width = 80},
        {.attribute = "SA", .header = 4717, .hint = 4727, .width = 105},
        {.attribute = "FP", .header = 4718, .hint = 4728, .editor = edDataCheckBox, .width = 75, .fallback = "N"},
        {.attribute = "TP_NByte", .header = 4719, .hint = 4729, .width = 65},
        {.attribute = "On_Request", .header = 4720, .hint = 4730, .editor = edDataCheckBox, .width = 65,
         .fallback = "N"},
        {.attribute = "On_Data_Change", .header = 4721, .hint = 4731, .editor = edDataCheckBox, .width = 85,
         .fallback = "N"},
        {.attribute = "On_Timer", .header = 4722, .hint = 4732, .editor = edDataCheckBox, .width = 65,
         .fallback = "N"},
        {.attribute = "SendTimer", .header = 4723, .hint = 4733, .width = 75},
        {.attribute = "Mnemonic", .header = 4724, .hint = 4734, .width = 110},
    };
    const auto area = [](const QStringList&, int capacity) { return int64_t(capacity); };
    g.checks = {
        {.kind = K::Range, .column = cPriority, .low = 0, .high = 7, .message = 4736},
        {.kind = K::Range, .column = cPGN, .low = 0, .high = 0x1FFFF, .message = 4737},
        {.kind = K::Range, .column = cSA, .low = 0, .high = 239, .message = 4738},
        {.kind = K::Range, .column = cNByte, .low = 0, .message = 4739, .bound = true, .bound_of = area},
        {.kind = K::Total, .column = cNByte, .message = 4740, .bound = true, .bound_of = area,
         .size = [](const QStringList& r) { return int64_t(rules::Rule_Number(pgn_frames::Cell(r, cNByte))); },
         .row_prefix = false},
        {.kind = K::Range, .column = cSendTimer, .low = 1, .high = 65535, .message = 4741,
         .when = {.column = cOnTimer, .texts = {"Y"}, .exact = true}},
    };
    f.grids = {g};
    return f;
}

} // namespace

const TRule_Form& TransmitNMEA_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFTransmitNMEA::TFTransmitNMEA()
    : TSet_Access_Form(TransmitNMEA_Form()), Hint_TransmitNMEA(Hints[0]), NUM_BYTE_OUT(Capacity[0])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        sga = Grids[0];
    });
}

TFTransmitNMEA::~TFTransmitNMEA()
{
    if (FTransmitNMEA == this)
        FTransmitNMEA = nullptr;
}

bool TFTransmitNMEA::Prepare_Show()
{
    NUM_BYTE_OUT = kOutputArea;
    return true;
}
