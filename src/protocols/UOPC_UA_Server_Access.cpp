#include "protocols/UOPC_UA_Server_Access.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"

#include "grid/ExCGrid.h"

TFOPC_UA_Server_Access* FOPC_UA_Server_Access = nullptr;

namespace {

constexpr int kType = 2, kLength = 4, kAccess = 6;

struct Var_Type
{
    const char* name;
    const char* length;
    bool editable;
};
const Var_Type kTypes[] = {
    {"Boolean", "1", false}, {"Signed Byte", "1", false}, {"Byte", "1", false},   {"Int16", "2", false},
    {"UInt16", "2", false},  {"Int32", "4", false},       {"UInt32", "4", false}, {"Int64", "8", false},
    {"UInt64", "8", false},  {"Float", "4", false},       {"Double", "8", false}, {"String", "10", true},
    {"ByteString", "10", true},
};
const QStringList kAccessNames = {"Read Only", "Read/Write"};

QStringList Type_Names()
{
    QStringList names;
    for (const Var_Type& t : kTypes)
        names << QString::fromLatin1(t.name);
    return names;
}

TRule_Form Make_Form()
{
    TRule_Form f;
    f.name = QStringLiteral("FOPC_UA_Server_Access");
    f.root = QStringLiteral("OPC_UA_Server");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_OPC_UA_Server;
    f.caption = 5800;
    f.title = 5801;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 5802 + i;
        f.button_hints[i] = 5808 + i;
    }
    f.delete_question = 5828;
    f.delete_formatted = true;
    f.width = 1200;
    f.height = 337;
    f.row_select = false;
    f.grid_events = false;
    TRule_Grid g;
    g.name = QStringLiteral("ESG");
    g.list = QStringLiteral("OPC_UA_Server_Variables");
    g.rows = 250;
    g.key = kType;
    g.enable = 1;
    g.capacity = 2000;
    g.columns = {
        {.header = 5814, .width = 40},
        {.attribute = "Enable", .header = 5815, .check_cell = true, .width = 60, .fallback = "Y", .reset = "Y"},
        {.attribute = "Type", .header = 5816, .editor = edComboList, .width = 120, .choices = Type_Names()},
        {.attribute = "Position", .header = 5817, .width = 80},
        {.attribute = "Length", .header = 5818, .width = 70},
        {.attribute = "Name", .header = 5819, .width = 250},
        {.attribute = "ReadWrite", .header = 5829, .editor = edComboList, .width = 100, .choices = kAccessNames},
        {.attribute = "Mnemonic", .header = 5820, .width = 300},
    };
    // The message names the area's size; the last position is one less.
    g.checks = {{.kind = TRule_Check_Kind::Range, .column = 3, .low = 0, .high = kRule_Capacity_Last,
                 .message = 5827, .formatted = true}};
    f.grids = {g};
    return f;
}

} // namespace

bool OPC_UA_Var_Length(const QString& type, QString* length, bool* editable)
{
    for (const Var_Type& t : kTypes)
        if (type == QLatin1String(t.name)) {
            *length = QString::fromLatin1(t.length);
            *editable = t.editable;
            return true;
        }
    return false;
}

const TRule_Form& OPC_UA_Server_Access_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFOPC_UA_Server_Access::TFOPC_UA_Server_Access()
    : TSet_Access_Form(OPC_UA_Server_Access_Form()), VarType(Type_Names()), RWType(kAccessNames)
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        ESG = Grids[0];
        ESG->OnComboChange = [this](QObject* s, int col, int row, int index, const QString& text) {
            ESGComboChange(s, col, row, index, text);
        };
    });
}

TFOPC_UA_Server_Access::~TFOPC_UA_Server_Access()
{
    if (FOPC_UA_Server_Access == this)
        FOPC_UA_Server_Access = nullptr;
}

void TFOPC_UA_Server_Access::VarSetLength(int row, const QString& type, bool setLength)
{
    QString length;
    bool editable = false;
    if (!OPC_UA_Var_Length(type, &length, &editable))
        return;
    if (setLength)
        ESG->SetCellEx(kLength, row, length);
    ESG->GetCellProperties(kLength, row)->SetReadOnly(!editable);
    if (setLength && ESG->GetCellEx(kAccess, row).isEmpty())
        ESG->SetCellEx(kAccess, row, QStringLiteral("Read/Write"));
}

void TFOPC_UA_Server_Access::ESGComboChange(QObject*, int col, int row, int, const QString& selection)
{
    if (col == kType)
        VarSetLength(row, selection, true);
}

void TFOPC_UA_Server_Access::After_Load()
{
    // The file's Length and access stand; only the lock follows the type.
    for (int r = 1; r < ESG->RowCount(); ++r)
        VarSetLength(r, ESG->GetCellEx(kType, r), false);
}

void TFOPC_UA_Server_Access::After_Paste(int, int row)
{
    VarSetLength(row, ESG->GetCellEx(kType, row), false);
    if (ESG->GetCellEx(kAccess, row).isEmpty() && VarType.contains(ESG->GetCellEx(kType, row)))
        ESG->SetCellEx(kAccess, row, QStringLiteral("Read/Write"));
}
