#include "fieldbus/USet_PDO_Access.h"
#include "fieldbus/UCANopen_Columns.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"

TFSet_PDO_Access* FSet_PDO_Access = nullptr;

namespace {

// One PDO grid: COB-ID, Dimension, eight byte addresses, then its own columns.
TRule_Grid Pdo_Grid(const char* name, const char* list, int tab, int header, int hint, int msg)
{
    using namespace canopen;
    TRule_Grid g = Grid(name, list, tab, 30);
    g.columns = {{.header = header, .width = 40}, Column("COB-ID", header + 1, hint),
                 Column("Dimension", header + 2, hint + 1)};
    for (int k = 1; k <= 8; ++k)
        g.columns.push_back(Column(qPrintable(QStringLiteral("Address_B%1").arg(k)), header + 2 + k, hint + 1 + k, 60));
    g.checks = {{.kind = TRule_Check_Kind::Range, .column = 1, .low = 0, .high = 2047, .message = msg},
                {.kind = TRule_Check_Kind::Range, .column = 2, .low = 1, .high = 8, .message = msg + 1}};
    Add_Address_Checks(g, 3, 8, 2, msg + 2);
    return g;
}

TRule_Form Make_Form()
{
    using namespace canopen;
    TRule_Form f;
    f.name = QStringLiteral("FSet_PDO_Access");
    f.root = QStringLiteral("PDO_CANopen");
    f.path = &FileName_PDO_CANopen;
    Texts(f, 3500, 3568, 3591);
    TRule_Grid receive = Pdo_Grid("sga", "Receive_PDO", 3514, 3516, 3543, 3569);
    receive.columns.push_back(Column("TimeOut", 3527, 3553));
    receive.columns.push_back(Column("Mnemonic", 3528, 3554, 200));
    receive.checks.push_back({.kind = TRule_Check_Kind::Range, .column = 11, .low = 0, .high = 65535, .message = 3579});
    TRule_Grid transmit = Pdo_Grid("sgb", "Transmit_PDO", 3515, 3529, 3555, 3580);
    transmit.columns.push_back(Column("Send_Time", 3540, 3565));
    TRule_Column change = Column("On_Change", 3541, 3566, 60);
    change.editor = edDataCheckBox;
    transmit.columns.push_back(change);
    transmit.columns.push_back(Column("Mnemonic", 3542, 3567, 200));
    transmit.checks.push_back(
        {.kind = TRule_Check_Kind::Range, .column = 11, .low = 0, .high = 100000000, .message = 3590});
    f.grids = {receive, transmit};
    return f;
}

} // namespace

const TRule_Form& Set_PDO_Access_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFSet_PDO_Access::TFSet_PDO_Access()
    : TSet_Access_Form(Set_PDO_Access_Form()), PageControl1(Page_Control), Hint_PDO_Receive(Hints[0]),
      Hint_PDO_Transmit(Hints[1]), PROFINET_NByte_IN(Capacity[0]), PROFINET_NByte_OUT(Capacity[1])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        TS_Receive_PDO = Tabs[0];
        TS_Transmit_PDO = Tabs[1];
        sga = Grids[0];
        sgb = Grids[1];
    });
}

TFSet_PDO_Access::~TFSet_PDO_Access()
{
    if (FSet_PDO_Access == this)
        FSet_PDO_Access = nullptr;
}
