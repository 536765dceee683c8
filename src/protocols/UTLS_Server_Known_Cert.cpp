#include "protocols/UTLS_Server_Known_Cert.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"

TFTLS_Server_Known_Cert* FTLS_Server_Known_Cert = nullptr;

namespace {

TRule_Form Make_Form()
{
    TRule_Form f;
    f.name = QStringLiteral("FTLS_Server_Known_Cert");
    f.root = QStringLiteral("TLS_Server_Known_Cert");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_TLS_Known_Cert;
    f.caption = 5100;
    f.title = 5101;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 5102 + i;
        f.button_hints[i] = 5108 + i;
    }
    f.delete_question = 5121;
    f.width = 800;
    f.height = 337;
    f.row_height = 60;
    TRule_Grid g;
    g.name = QStringLiteral("ESG");
    g.rows = 10;
    g.key = 2;
    g.enable = 1;
    g.hints_by_real = true;
    g.columns = {
        {.header = 5114, .width = 40},
        {.attribute = "Enable", .header = 5115, .hint = 5118, .check_cell = true, .width = 60, .fallback = "Y",
         .reset = "Y"},
        {.attribute = "Certificate", .header = 5116, .hint = 5119, .width = 450},
        {.attribute = "Mnemonic", .header = 5117, .hint = 5120, .width = 220},
    };
    // Every certificate passes: there are no checks.
    f.grids = {g};
    return f;
}

} // namespace

const TRule_Form& TLS_Server_Known_Cert_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFTLS_Server_Known_Cert::TFTLS_Server_Known_Cert()
    : TSet_Access_Form(TLS_Server_Known_Cert_Form()), Hint_List(Hints[0])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        ESG = Grids[0];
    });
}

TFTLS_Server_Known_Cert::~TFTLS_Server_Known_Cert()
{
    if (FTLS_Server_Known_Cert == this)
        FTLS_Server_Known_Cert = nullptr;
}
