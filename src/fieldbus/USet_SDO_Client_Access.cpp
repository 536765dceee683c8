#include "fieldbus/USet_SDO_Client_Access.h"
#include "fieldbus/UCANopen_Columns.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"

TFSet_SDO_Client_Access* FSet_SDO_Client_Access = nullptr;

namespace {

// Device, Index, SubIndex, N Byte, Poll Time; the caller adds the rest.
TRule_Grid Sdo_Grid(const char* name, const char* list, int tab, int header, int hint, int msg, int pollLow)
{
    using namespace canopen;
    TRule_Grid g = Grid(name, list, tab, 256);
    g.columns = {{.header = header, .width = 40},           Column("Device_ID", header + 1, hint),
                 Column("Index", header + 2, hint + 1),      Column("SubIndex", header + 3, hint + 2),
                 Column("NByte", header + 4, hint + 3),      Column("Poll_Time", header + 5, hint + 4)};
    g.checks = {{.kind = TRule_Check_Kind::Range, .column = 1, .low = 1, .high = 127, .message = msg},
                {.kind = TRule_Check_Kind::Range, .column = 2, .low = 0x1000, .high = 0xFFFF, .message = msg + 1},
                {.kind = TRule_Check_Kind::Range, .column = 3, .low = 0, .high = 255, .message = msg + 2},
                NByte_Check(4, msg + 3),
                {.kind = TRule_Check_Kind::Range, .column = 5, .low = pollLow, .high = 100000000, .message = msg + 4}};
    return g;
}

void Add_Addresses(TRule_Grid& g, int first, int header, int hint, int msg)
{
    using namespace canopen;
    for (int k = 1; k <= 4; ++k)
        g.columns.push_back(Column(qPrintable(QStringLiteral("Address_B%1").arg(k)), header + k - 1, hint + k - 1, 60));
    Add_Address_Checks(g, first, 4, 4, msg);
}

TRule_Form Make_Form()
{
    using namespace canopen;
    TRule_Form f;
    f.name = QStringLiteral("FSet_SDO_Client_Access");
    f.root = QStringLiteral("SDO_Client_CANopen");
    f.path = &FileName_SDO_Client_CANopen;
    Texts(f, 3600, 3660, 3679);
    TRule_Grid read = Sdo_Grid("sga", "SDO_Read", 3614, 3616, 3639, 3661, 1);
    Add_Addresses(read, 6, 3622, 3644, 3666);
    read.columns.push_back(Column("Mnemonic", 3626, 3648, 200));
    TRule_Grid write = Sdo_Grid("sgb", "SDO_Write", 3615, 3627, 3649, 3670, 0);
    TRule_Column change = Column("On_Change", 3633, 3654, 60);
    change.editor = edDataCheckBox;
    write.columns.push_back(change);
    Add_Addresses(write, 7, 3634, 3655, 3675);
    write.columns.push_back(Column("Mnemonic", 3638, 3659, 200));
    f.grids = {read, write};
    return f;
}

} // namespace

const TRule_Form& Set_SDO_Client_Access_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFSet_SDO_Client_Access::TFSet_SDO_Client_Access()
    : TSet_Access_Form(Set_SDO_Client_Access_Form()), PageControl1(Page_Control), Hint_SDO_Client_Read(Hints[0]),
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

TFSet_SDO_Client_Access::~TFSet_SDO_Client_Access()
{
    if (FSet_SDO_Client_Access == this)
        FSet_SDO_Client_Access = nullptr;
}
