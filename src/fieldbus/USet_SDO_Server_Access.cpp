#include "fieldbus/USet_SDO_Server_Access.h"
#include "fieldbus/UCANopen_Columns.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "rules/URule_Checks.h"
#include "shell/UComon.h"

TFSet_SDO_Server_Access* FSet_SDO_Server_Access = nullptr;

namespace {

// Both grids alike: Index, SubIndex, N Byte, four addresses, Mnemonic.
TRule_Grid Object_Grid(const char* name, const char* list, int tab, int header, int hint, int msg,
                       const QString& duplicate)
{
    using namespace canopen;
    TRule_Grid g = Grid(name, list, tab, 500);
    g.columns = {{.header = header, .width = 40}, Column("Index", header + 1, hint),
                 Column("SubIndex", header + 2, hint + 1), Column("NByte", header + 3, hint + 2)};
    for (int k = 1; k <= 4; ++k)
        g.columns.push_back(Column(qPrintable(QStringLiteral("Address_B%1").arg(k)), header + 3 + k, hint + 2 + k, 60));
    g.columns.push_back(Column("Mnemonic", header + 8, hint + 7, 200));
    g.checks = {{.kind = TRule_Check_Kind::Range, .column = 1, .low = 0x2000, .high = 0x5FFF, .message = msg},
                {.kind = TRule_Check_Kind::Range, .column = 2, .low = 0, .high = 255, .message = msg + 1},
                NByte_Check(3, msg + 2)};
    Add_Address_Checks(g, 4, 4, 3, msg + 3);
    // The EDS writer turns each object into one section: an object given
    // twice would be two sections of one name.
    g.checks.push_back({.kind = TRule_Check_Kind::Hook, .column = 1, .text = duplicate, .hook = 1});
    return g;
}

TRule_Form Make_Form()
{
    using namespace canopen;
    TRule_Form f;
    f.name = QStringLiteral("FSet_SDO_Server_Access");
    f.root = QStringLiteral("SDO_Server_CANopen");
    f.path = &FileName_SDO_Server_CANopen;
    Texts(f, 3700, 3750, 3765);
    f.grids = {Object_Grid("sga", "SDO_Read", 3714, 3716, 3734, 3751,
                           QStringLiteral("!! [SDO in Read] Index and SubIndex are already used in a row above")),
               Object_Grid("sgb", "SDO_Write", 3715, 3725, 3742, 3758,
                           QStringLiteral("!! [SDO in Write] Index and SubIndex are already used in a row above "
                                          "or in SDO in Read"))};
    return f;
}

} // namespace

const TRule_Form& Set_SDO_Server_Access_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFSet_SDO_Server_Access::TFSet_SDO_Server_Access()
    : TSet_Access_Form(Set_SDO_Server_Access_Form()), PageControl1(Page_Control), Hint_SDO_Client_Read(Hints[0]),
      Hint_SDO_Client_Write(Hints[1]), PROFINET_NByte_IN(Capacity[0]), PROFINET_NByte_OUT(Capacity[1])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        TS_SDO_Read = Tabs[0];
        TS_SDO_Write = Tabs[1];
        sga = Grids[0];
        sgb = Grids[1];
    });
}

void TFSet_SDO_Server_Access::Before_Check()
{
    Objects_Seen.clear();
}

bool TFSet_SDO_Server_Access::Hook_Check(int, int, const QStringList& row)
{
    // Runs after the range checks of the row passed: both numbers are valid.
    const int index = rules::Rule_Number(row.value(0));
    const int sub = rules::Rule_Number(row.value(1));
    return Objects_Seen.insert((index << 8) | sub).second;
}

TFSet_SDO_Server_Access::~TFSet_SDO_Server_Access()
{
    if (FSet_SDO_Server_Access == this)
        FSet_SDO_Server_Access = nullptr;
}
