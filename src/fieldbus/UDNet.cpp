#include "fieldbus/UDNet.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"

TFDNet* FDNet = nullptr;

namespace {

TRule_Form Make_Form()
{
    TRule_Form f;
    f.name = QStringLiteral("FDNet");
    f.root = QStringLiteral("DNET_Net");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_DNETM_Net;
    f.caption = 3800;
    f.title = 3801;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 3802 + i;
        f.button_hints[i] = 3808 + i;
    }
    f.error_prefix = 3823;
    f.delete_question = 3827;
    f.width = 740;
    f.height = 520;
    f.headers_in_cells = true;
    TRule_Grid g;
    g.name = QStringLiteral("ESG");
    g.rows = 64;
    g.key = 1;
    // A blank ID is a slave too, and fails its check.
    g.key_exact = true;
    g.columns = {
        {.header = 3814, .width = 40},
        {.attribute = "ID", .header = 3815, .hint = 3819, .width = 80, .mandatory = true},
        {.attribute = "NB_IN", .header = 3816, .hint = 3820, .width = 100, .mandatory = true},
        {.attribute = "NB_OUT", .header = 3817, .hint = 3821, .width = 100, .mandatory = true},
        {.attribute = "Mnemonic", .header = 3818, .hint = 3822, .width = 390, .mandatory = true},
    };
    using K = TRule_Check_Kind;
    g.checks = {
        {.kind = K::Range, .column = 1, .low = 0, .high = 63, .message = 3824},
        {.kind = K::Range, .column = 2, .low = 0, .high = 65535, .message = 3825},
        {.kind = K::Range, .column = 3, .low = 0, .high = 65535, .message = 3826},
    };
    f.grids = {g};
    return f;
}

} // namespace

const TRule_Form& DNet_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFDNet::TFDNet() : TSet_Access_Form(DNet_Form()), Hint_DeviceNet(Hints[0])
{
    Build_When_Needed(this, [this] { ESG = Grids[0]; });
}

TFDNet::~TFDNet()
{
    if (FDNet == this)
        FDNet = nullptr;
}
