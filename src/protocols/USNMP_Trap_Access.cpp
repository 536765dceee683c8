#include "protocols/USNMP_Trap_Access.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "rules/URule_Checks.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "grid/ExCGrid.h"

#include <QSet>

TFSNMP_Trap_Access* FSNMP_Trap_Access = nullptr;

namespace {

constexpr int kHook_Description = 1;
// Community names and descriptions: what the converter keeps of each.
constexpr int kText_Length = 15;

QString Cell(const QStringList& row, int column) { return column <= row.size() ? row[column - 1] : QString(); }

// Per grid: where its columns are and which language entries it uses.
struct Layout
{
    bool write;
    int type, start_bit, num_bits, position, description;
    int headers[15];
    int hints[15];
    // community, type, position, start bit, start bit of a string, bits, bytes, description, conversion
    int messages[9];
};

bool Text_Ok(const QString& text, bool description)
{
    return !TFSNMP_Trap_Access::Check_Error_CommName_Desc(text, description ? 1 : 0);
}

// The last byte the object uses must lie in the data area: an integer takes
// bits from its Start Bit on, a string whole bytes from its Position.
bool Ends_In_Area(const Layout& l, const QStringList& r, int capacity)
{
    const int64_t position = rules::Rule_Number(Cell(r, l.position));
    const int64_t size = rules::Rule_Number(Cell(r, l.num_bits));
    const int64_t last = snmp::Agent_Type_Int(Cell(r, l.type))
                             ? position + (rules::Rule_Number(Cell(r, l.start_bit)) + size - 1) / 8
                             : position + size - 1;
    return position >= 0 && last < capacity;
}

TRule_Grid Make_Grid(const Layout& l)
{
    TRule_Grid g;
    g.name = l.write ? QStringLiteral("ECG_SNMP_Write") : QStringLiteral("ECG_SNMP_Read");
    g.list = l.write ? QStringLiteral("SNMP_Trap_Write") : QStringLiteral("SNMP_Trap_Read");
    g.tab = l.write ? 6209 : 6208;
    g.rows = snmp::kAgent_Rows;
    g.key = 2;
    g.enable = 1;
    g.enable_upper = true;
    g.hints_by_real = true;
    g.capacity = snmp::kAgent_Area;
    const auto box = edDataCheckBox;
    const QStringList bits = {"0", "1", "2", "3", "4", "5", "6", "7"};
    const QStringList conversions = {"None", "Float", "Float * 10", "Float * 100", "Float / 10", "Float / 100"};
    g.columns = {
        {.width = 35},
        {.attribute = "Enable", .editor = box, .width = 50, .fallback = "Y", .reset = "Y"},
        {.attribute = "Community_Name", .editor = edComboEdit, .width = 110, .choices = {"Zuvoro", "Diruraz"}},
        {.attribute = "Type", .editor = edComboList, .width = 60, .choices = {"Int", "String"}},
    };
    if (!l.write) {
        g.columns.push_back({.attribute = "On_Change", .editor = box, .width = 75, .fallback = "N"});
        g.columns.push_back({.attribute = "On_Command", .editor = box, .width = 60, .fallback = "N"});
        g.columns.push_back({.attribute = "On_Timer", .editor = box, .width = 60, .fallback = "N"});
        g.columns.push_back({.attribute = "Time", .width = 75});
    }
    g.columns.push_back({.attribute = "Position", .editor = edComboList, .width = 60, .fill = TRule_Choices::Positions});
    g.columns.push_back({.attribute = "Bit", .editor = edComboList, .width = 55, .choices = bits});
    g.columns.push_back({.attribute = "NumBits", .width = 105});
    g.columns.push_back({.attribute = "Description", .width = 120});
    if (!l.write)
        g.columns.push_back({.attribute = "IP_Address", .width = 110});
    g.columns.push_back(
        {.attribute = "Conversion", .editor = edComboList, .width = 90, .fallback = "None", .choices = conversions});
    g.columns.push_back({.attribute = "Mnemonic", .width = 150});
    for (size_t c = 0; c < g.columns.size(); ++c) {
        g.columns[c].header = l.headers[c];
        g.columns[c].hint = l.hints[c];
    }

    using K = TRule_Check_Kind;
    const int* m = l.messages;
    const TRule_When is_int = {.column = l.type, .texts = {"INT"}, .upper = true, .exact = true};
    TRule_When is_string = is_int;
    is_string.negate = true;
    g.checks = {
        {.kind = K::Test, .column = 2, .message = m[0],
         .test = [](const QStringList& r, int) { return Text_Ok(Cell(r, 2), false); }},
        {.kind = K::Not_Empty, .column = l.type, .message = m[1]},
    };
    if (!l.write)
        g.checks.push_back({.kind = K::Range, .column = 7, .low = 1, .high = 1000000000, .message = 6262,
                            .when = {.column = 6, .texts = {"Y"}, .upper = true, .exact = true}});
    const QString side = l.write ? QStringLiteral("Write") : QStringLiteral("Read");
    const int start_bit = l.start_bit;
    const Layout copy = l;
    g.checks.insert(
        g.checks.end(),
        {
            {.kind = K::Not_Empty, .column = l.position, .message = m[2]},
            {.kind = K::Not_Empty, .column = l.start_bit, .message = m[3]},
            {.kind = K::Test, .column = l.start_bit, .message = m[4], .when = is_string,
             .test = [start_bit](const QStringList& r, int) { return Cell(r, start_bit).trimmed() == "0"; }},
            {.kind = K::Range, .column = l.num_bits, .low = 1, .high = 64, .message = m[5], .when = is_int},
            {.kind = K::Range, .column = l.num_bits, .low = 1, .high = 16, .message = m[6], .when = is_string},
            // The converter would read or write past its data area.
            {.kind = K::Test, .column = l.position, .high = kRule_Capacity_Last,
             .message = l.write ? spare_text::SNMP_Write_Span : spare_text::SNMP_Read_Span,
             .text = "!! [SNMP " + side + "] The value must end inside the data area, whose last byte is ",
             .bound = true,
             .test = [copy](const QStringList& r, int capacity) { return Ends_In_Area(copy, r, capacity); }},
            {.kind = K::Test, .column = l.description, .message = m[7],
             .test = [d = l.description](const QStringList& r, int) { return Text_Ok(Cell(r, d), true); }},
            {.kind = K::Hook, .column = l.description, .hook = kHook_Description},
        });
    if (!l.write)
        g.checks.push_back({.kind = K::Test, .column = 12, .message = 6268, .test = [](const QStringList& r, int) {
                                QString p[4];
                                return Split_IP_Address(Cell(r, 12), p[0], p[1], p[2], p[3]);
                            }});
    g.checks.push_back({.kind = K::Not_Empty, .column = l.description + (l.write ? 1 : 2), .message = m[8]});
    return g;
}

TRule_Form Make_Form()
{
    TRule_Form f;
    f.name = QStringLiteral("FSNMP_Trap_Access");
    f.root = QStringLiteral("SNMP_Trap");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_SNMP_Trap;
    f.caption = 6200;
    f.title = 6201;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 6202 + i;
        f.button_hints[i] = 6210 + i;
    }
    f.error_prefix = 6260;
    f.delete_question = 6275;
    f.width = 1256;
    f.height = 337;
    f.row_select = false;
    f.keep_tab = true;
    const Layout read = {false, 3, 9, 10, 8, 11,
                         {6216, 6217, 6218, 6219, 6220, 6221, 6222, 6223, 6224, 6225, 6226, 6227, 6228, 6281, 6229},
                         {0, 6239, 6240, 6241, 6242, 6243, 6244, 6245, 6246, 6247, 6248, 6249, 6250, 6283, 6251},
                         {6276, 6261, 6263, 6264, 6265, 6266, 6267, 6277, 6285}};
    const Layout write = {true, 3, 5, 6, 4, 7,
                          {6230, 6231, 6232, 6233, 6234, 6235, 6236, 6237, 6282, 6238},
                          {0, 6252, 6253, 6254, 6255, 6256, 6257, 6258, 6284, 6259},
                          {6278, 6269, 6270, 6271, 6272, 6273, 6274, 6279, 6286}};
    f.grids = {Make_Grid(read), Make_Grid(write)};
    return f;
}

} // namespace

namespace snmp {

bool Agent_Enabled(const QString& enable) { return enable.toUpper() == QLatin1String("Y"); }

bool Agent_Type_Int(const QString& type) { return type.toUpper() == QLatin1String("INT"); }

} // namespace snmp

const TRule_Form& SNMP_Trap_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFSNMP_Trap_Access::TFSNMP_Trap_Access()
    : TSet_Access_Form(SNMP_Trap_Form()), Hint_SNMP_Read(Hints[0]), Hint_SNMP_Write(Hints[1]),
      NByte_IN(Capacity[0]), NByte_OUT(Capacity[1])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        TS_SNMP_Read = Tabs[0];
        TS_SNMP_Write = Tabs[1];
        ECG_SNMP_Read = Grids[0];
        ECG_SNMP_Write = Grids[1];
        for (int g = 0; g < 2; ++g) {
            const TRule_Grid& desc = Form().grids[g];
            // Community Name is each grid's only editable choice list.
            Grids[g]->SetMaxComboLength(kText_Length);
            for (size_t c = 0; c < desc.columns.size(); ++c)
                if (desc.columns[c].attribute == QLatin1String("Description"))
                    Grids[g]->Columns().GetItem(static_cast<int>(c))->SetEditLength(kText_Length);
            Grids[g]->OnCheckBoxClick = [this](QObject* s, int col, int row, bool state) {
                ECG_SNMP_ReadCheckBoxClick(s, col, row, state);
            };
        }
    });
}

TFSNMP_Trap_Access::~TFSNMP_Trap_Access()
{
    if (FSNMP_Trap_Access == this)
        FSNMP_Trap_Access = nullptr;
}

bool TFSNMP_Trap_Access::Check_Error_CommName_Desc(const QString& text, int Check_Type)
{
    const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    const auto lower = [](QChar c) { return c >= u'a' && c <= u'z'; };
    const auto upper = [](QChar c) { return c >= u'A' && c <= u'Z'; };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if ((i == 0 && Check_Type == 1) ? !lower(c) : !(digit(c) || lower(c) || upper(c)))
            return true;
    }
    return false;
}

void TFSNMP_Trap_Access::Index_Row_Build(VOruVizizaZezo* grid)
{
    const auto it = std::find(Grids.begin(), Grids.end(), grid);
    if (it == Grids.end())
        return;
    const int g = static_cast<int>(it - Grids.begin());
    int index = 0;
    for (int r = 1; r < grid->RowCount(); ++r)
        grid->SetCellEx(0, r, snmp::Agent_Enabled(Get_Cell(g, 1, r)) ? QString::number(++index) : QString());
}

void TFSNMP_Trap_Access::ECG_SNMP_ReadCheckBoxClick(QObject* sender, int col, int, bool)
{
    auto* grid = dynamic_cast<VOruVizizaZezo*>(sender);
    if (grid && grid->RealColIndex(col) == 1)
        Index_Row_Build(grid);
}

bool TFSNMP_Trap_Access::Prepare_Show()
{
    NByte_IN = snmp::kAgent_Area;
    NByte_OUT = snmp::kAgent_Area;
    return true;
}

void TFSNMP_Trap_Access::Before_Check() { SL_Check_Desc.clear(); }

bool TFSNMP_Trap_Access::Hook_Check(int grid, int hook, const QStringList& row)
{
    if (hook == kHook_Description)
        SL_Check_Desc << Cell(row, grid == 0 ? 11 : 7);
    return true;
}

QString TFSNMP_Trap_Access::Extra_Check(int grid, const TRule_Rows&)
{
    // Descriptions are the objects' names in the MIB: unique over both grids,
    // checked once both grids have passed.
    if (grid != 1)
        return QString();
    const QSet<QString> distinct(SL_Check_Desc.begin(), SL_Check_Desc.end());
    if (distinct.size() != SL_Check_Desc.size())
        return Language_List.value(6280);
    return QString();
}

void TFSNMP_Trap_Access::After_Load()
{
    Index_Row_Build(ECG_SNMP_Read);
    Index_Row_Build(ECG_SNMP_Write);
}

// The index must follow the rows it numbers, or column 0 shows other
// numbers than the MIB gets.
void TFSNMP_Trap_Access::After_Paste(int grid, int) { Index_Row_Build(Grids[grid]); }

void TFSNMP_Trap_Access::After_Row_Move(int grid) { Index_Row_Build(Grids[grid]); }
