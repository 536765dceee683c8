#include "fieldbus/UDMXDefVal.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "configuration/UParGen_File.h"
#include "shell/UComon.h"

#include "grid/ExCGrid.h"
#include "platform/Dialogs.h"

#include <algorithm>

TFDMXDefVal* FDMXDefVal = nullptr;

namespace {

constexpr int kMaxChannels = 512;

TRule_Form Make_Form()
{
    TRule_Form f;
    f.name = QStringLiteral("FDMXDefVal");
    f.root = QStringLiteral("DMX_Default_Values");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.row = QStringLiteral("Row");
    f.path = &FileName_DMX_Default_Values;
    f.caption = 4000;
    f.title = 4001;
    f.error_prefix = 4011;
    f.row_buttons = false;
    f.button_captions[0] = 4002;
    f.button_captions[1] = 4003;
    f.button_hints[0] = 4004;
    f.button_hints[1] = 4005;
    f.width = 520;
    f.height = 480;
    f.headers_in_cells = true;
    TRule_Grid g;
    g.name = QStringLiteral("ECG_DMX_Def_Val");
    g.rows = kMaxChannels;
    g.columns = {
        {.header = 4006, .width = 60},
        {.attribute = QStringLiteral("Default_Value"), .header = 4007, .hint = 4009, .width = 100,
         .fallback = QStringLiteral("0"), .reset = QStringLiteral("0")},
        {.attribute = QStringLiteral("Mnemonic"), .header = 4008, .hint = 4010, .width = 300},
    };
    g.checks = {{.kind = TRule_Check_Kind::Range, .column = 1, .low = 0, .high = 255, .message = 4012}};
    f.grids = {g};
    return f;
}

} // namespace

const TRule_Form& DMXDefVal_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

bool DMX_Channel_Count(const QString& parGenPath, int* channels, QString* error)
{
    *channels = kMaxChannels;
    TParGen_Reader parGen;
    const TParGen_Load load = parGen.Load(parGenPath, error);
    if (load == TParGen_Load::Not_Loaded)
        return false;
    if (load == TParGen_Load::Loaded)
        *channels = parGen.Number(QStringLiteral("DMX_Num_Channels"), kMaxChannels);
    // The grid holds at least one row, and a DMX universe no more than 512.
    *channels = std::clamp(*channels, 1, kMaxChannels);
    return true;
}

TFDMXDefVal::TFDMXDefVal() : TSet_Access_Form(DMXDefVal_Form()), Hint(Hints[0])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        ECG_DMX_Def_Val = Grids[0];
    });
}

TFDMXDefVal::~TFDMXDefVal()
{
    if (FDMXDefVal == this)
        FDMXDefVal = nullptr;
}

bool TFDMXDefVal::Prepare_Show()
{
    QString error;
    int channels = kMaxChannels;
    if (!DMX_Channel_Count(FileName_ParGen, &channels, &error)) {
        platform::ShowErrorBox(error);
        return false;
    }
    Num_Channels = channels;
    ECG_DMX_Def_Val->SetRowCount(Num_Channels + 1);
    return true;
}
