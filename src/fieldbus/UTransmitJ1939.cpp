#include "fieldbus/UTransmitJ1939.h"
#include "fieldbus/UPGN_Frame_Rules.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"

TFTransmitJ1939* FTransmitJ1939 = nullptr;

namespace {

constexpr int kOutputArea = 512;
enum { cPriority = 1, cDP, cPGN, cSA, cNBytes, cRequest, cDataChange, cOnTimer, cSendTimer, cMnemonic };

TRule_Form Make_Form()
{
    using K = TRule_Check_Kind;
    using pgn_frames::Event_From_Type;
    TRule_Form f;
    f.name = QStringLiteral("FTransmitJ1939");
    f.root = QStringLiteral("Transmit_J1939");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_J1939_Send_Frames;
    f.caption = 4400;
    f.title = 4401;
    f.error_prefix = 4435;
    f.delete_question = 4443;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 4402 + i;
        f.button_hints[i] = 4408 + i;
    }
    f.width = 800;
    f.height = 337;
    TRule_Grid g;
    g.name = QStringLiteral("sga");
    g.rows = 512;
    g.key = cPriority;
    g.check_key = cPGN;
    g.key_exact = true;
    g.capacity = kOutputArea;
    g.columns = {
        {.header = 4414, .width = 30},
        {.attribute = "Priority", .header = 4415, .hint = 4425, .width = 55},
        {.attribute = "DP", .header = 4416, .hint = 4426, .editor = edComboList, .width = 65, .choices = {"0", "1"}},
        {.attribute = "PGN", .header = 4417, .hint = 4427, .width = 70},
        {.attribute = "SA", .header = 4418, .hint = 4428, .width = 105},
        // A frame without its byte count carries a whole frame.
        {.attribute = "TP_NByte", .header = 4419, .hint = 4429, .width = 60, .fallback = "8",
         .from_file = [](const QString& v) { return v.isEmpty() ? QStringLiteral("8") : v; }},
        {.attribute = "On_Request", .header = 4420, .hint = 4430, .editor = edDataCheckBox, .width = 65,
         .fallback = "N", .legacy = "T_Type", .from_legacy = [](const QString&) { return QStringLiteral("N"); }},
        {.attribute = "On_Data_Change", .header = 4421, .hint = 4431, .editor = edDataCheckBox, .width = 85,
         .fallback = "N", .legacy = "T_Type",
         .from_legacy = [](const QString& t) { return Event_From_Type(t, "ON DATA CHANGE"); }},
        {.attribute = "On_Timer", .header = 4422, .hint = 4432, .editor = edDataCheckBox, .width = 65,
         .fallback = "N", .legacy = "T_Type",
         .from_legacy = [](const QString& t) { return Event_From_Type(t, "ON TIMER"); }},
        {.attribute = "SendTimer", .header = 4423, .hint = 4433, .width = 75},
        {.attribute = "Mnemonic", .header = 4424, .hint = 4434, .width = 120},
    };
    const auto area = [](const QStringList&, int capacity) { return int64_t(capacity); };
    g.checks = {
        {.kind = K::Range, .column = cPriority, .low = 0, .high = 7, .message = 4436},
        {.kind = K::Not_Empty, .column = cDP, .message = 4437},
        {.kind = K::Range, .column = cPGN, .low = 0, .high = 0x1FFFF, .message = 4438},
        {.kind = K::Range, .column = cSA, .low = 0, .high = 255, .message = 4439},
        {.kind = K::Range, .column = cNBytes, .low = 0, .message = 4440, .bound = true, .bound_of = area},
        {.kind = K::Total, .column = cNBytes, .message = 4441, .bound = true, .bound_of = area,
         .size = [](const QStringList& r) { return int64_t(rules::Rule_Number(pgn_frames::Cell(r, cNBytes))); },
         .row_prefix = false},
        {.kind = K::Range, .column = cSendTimer, .low = 1, .high = 65535, .message = 4442,
         .when = {.column = cOnTimer, .texts = {"Y"}, .exact = true}},
    };
    f.grids = {g};
    return f;
}

} // namespace

const TRule_Form& TransmitJ1939_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFTransmitJ1939::TFTransmitJ1939()
    : TSet_Access_Form(TransmitJ1939_Form()), Hint_TransmitJ1939(Hints[0]), NUM_BYTE_OUT(Capacity[0])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        sga = Grids[0];
    });
}

TFTransmitJ1939::~TFTransmitJ1939()
{
    if (FTransmitJ1939 == this)
        FTransmitJ1939 = nullptr;
}

bool TFTransmitJ1939::Prepare_Show()
{
    NUM_BYTE_OUT = kOutputArea;
    return true;
}
