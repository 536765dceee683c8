#include "fieldbus/UKNXAccess.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "rules/URule_Checks.h"
#include "shell/UComon.h"

TFKNXAccess* FKNXAccess = nullptr;

namespace {

// Columns of the grid.
enum { cSource = 2, cDest, cAPCI, cPriority, cFormat, cFactor, cExtended, cReTest, cOnCMD, cOnChange, cOnTimer,
       cPoll, cPosition, cBitMode, cLength, cTimeOut, cMnemonic };

const QStringList kPriorities = {"System", "Urgent", "Normal", "Low"};

QString Cell(const QStringList& row, int column) { return column <= row.size() ? row[column - 1] : QString(); }

bool Is_Bit_Mode(const QString& bitMode) { return bitMode.toUpper() != QLatin1String("NO"); }

bool Destination_Ok(const QString& cell, bool group)
{
    const QString d = cell.trimmed();
    if (Is_KNX_Group_Address(d) != group)
        return true;  // the other check's case
    return group ? !Check_KNX_Address(d, true, false) : rules::KNX_Physical_Ok(d, true);
}

TRule_Form Make_Form()
{
    TRule_Form f;
    f.name = QStringLiteral("FKNXAccess");
    f.root = QStringLiteral("BACnet_to_KNX");
    f.version = QStringLiteral("SW_VERSION = 1.001");
    f.path = &FileName_KNX_SetAccess;
    f.caption = 4500;
    f.title = 4501;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 4502 + i;
        f.button_hints[i] = 4508 + i;
    }
    f.error_prefix = 4548;
    f.delete_question = 4560;
    f.width = 1400;
    f.height = 500;
    f.headers_in_cells = true;
    TRule_Grid g;
    g.name = QStringLiteral("ECG_KNX_in_Write");
    g.list = QStringLiteral("KNX_in_Write");
    g.rows = 1024;
    g.key = cSource;
    g.enable = 1;
    g.capacity = 1500;
    const auto box = edDataCheckBox;
    g.columns = {
        {.header = 4514, .width = 40},
        {.attribute = "Enable", .header = 4515, .hint = 4531, .editor = box, .width = 50, .fallback = "Y", .reset = "Y"},
        {.attribute = "Source_Address", .header = 4516, .hint = 4532, .width = 90, .mandatory = true},
        {.attribute = "Destination_Address", .header = 4517, .hint = 4533, .width = 90, .mandatory = true},
        {.attribute = "APCI", .header = 4518, .hint = 4534, .editor = edComboEdit, .width = 60, .mandatory = true,
         .choices = {"Read", "Write"}},
        // A priority the list does not hold reads as "Normal".
        {.attribute = "Priority", .header = 4519, .hint = 4535, .editor = edComboList, .width = 70,
         .fallback = "Normal", .choices = kPriorities,
         .from_file = [](const QString& s) { return kPriorities.contains(s) ? s : QStringLiteral("Normal"); }},
        {.attribute = "Format", .header = 4520, .hint = 4536, .editor = edComboList, .width = 110,
         .fallback = "None",
         .choices = {"None", "Swap16", "Swap32", "Swap All", "Int to Float", "Float to Int", "Float16 to Float32",
                     "Float16 to Int"}},
        {.attribute = "MultiplicationFactor", .header = 4561, .hint = 4563, .width = 80},
        {.attribute = "Extended", .header = 4521, .hint = 4537, .editor = box, .width = 60, .mandatory = true},
        {.attribute = "ReTest", .header = 4522, .hint = 4538, .editor = box, .width = 55, .mandatory = true},
        {.attribute = "On_Command", .header = 4523, .hint = 4540, .editor = box, .width = 55, .fallback = "N"},
        {.attribute = "On_Change", .header = 4524, .hint = 4541, .editor = box, .width = 65, .mandatory = true},
        {.attribute = "On_Timer", .header = 4525, .hint = 4542, .editor = box, .width = 60, .fallback = "N"},
        {.attribute = "Poll_Time", .header = 4526, .hint = 4543, .width = 70, .mandatory = true},
        {.attribute = "Position", .header = 4527, .hint = 4544, .editor = edComboList, .width = 60, .mandatory = true,
         .fill = TRule_Choices::Positions},
        {.attribute = "Bit_Mode", .header = 4528, .hint = 4545, .editor = edComboList, .width = 60, .mandatory = true,
         .choices = {"No", "0", "1", "2", "3", "4", "5", "6", "7"}},
        {.attribute = "Length", .header = 4529, .hint = 4546, .width = 55, .mandatory = true},
        {.attribute = "TimeOut", .header = 4562, .hint = 4564, .width = 70, .fallback = "0"},
        {.attribute = "Mnemonic", .header = 4530, .hint = 4547, .width = 150, .mandatory = true},
    };
    using K = TRule_Check_Kind;
    g.checks = {
        {.kind = K::Test, .column = cSource, .message = 4549,
         .test = [](const QStringList& r, int) { return rules::KNX_Physical_Ok(Cell(r, cSource), true); }},
        {.kind = K::Test, .column = cDest, .message = 4551,
         .test = [](const QStringList& r, int) { return Destination_Ok(Cell(r, cDest), true); }},
        {.kind = K::Test, .column = cDest, .message = 4550,
         .test = [](const QStringList& r, int) { return Destination_Ok(Cell(r, cDest), false); }},
        {.kind = K::Range, .column = cAPCI, .low = 0, .high = 1023, .message = 4552,
         .when = {.column = cAPCI, .texts = {"READ", "WRITE"}, .upper = true, .negate = true, .exact = true}},
        {.kind = K::Test, .column = cPriority, .message = 4553,
         .test = [](const QStringList& r, int) { return kPriorities.contains(Cell(r, cPriority)); }},
        {.kind = K::Not_Empty, .column = cFormat, .message = 4554},
        {.kind = K::Test, .column = cFactor, .message = 4565,
         .test =
             [](const QStringList& r, int) {
                 const QString m = Cell(r, cFactor);
                 float v = 0;
                 return m.trimmed().isEmpty() || Str_To_Float_Any_Sep(m, Get_Decimal_Separator(), v);
             }},
        {.kind = K::Range, .column = cPoll, .low = 1, .high = 100000000, .message = 4555,
         .when = {.column = cOnTimer, .texts = {"Y"}, .upper = true, .exact = true}},
        {.kind = K::Range, .column = cPosition, .low = 0, .high = kRule_Capacity_Last, .message = 4556, .bound = true},
        {.kind = K::Range, .column = cBitMode, .low = 0, .high = 7, .message = 4557,
         .when = {.column = cBitMode, .texts = {"NO"}, .upper = true, .negate = true, .exact = true}},
        {.kind = K::Test, .column = cLength, .message = 4558, .bound = true,
         .test =
             [](const QStringList& r, int) {
                 return rules::In_Range(Cell(r, cLength), 1, knx::Length_Limit(Cell(r, cBitMode), Cell(r, cExtended)));
             },
         .bound_of = [](const QStringList& r, int) { return knx::Length_Limit(Cell(r, cBitMode), Cell(r, cExtended)); }},
        {.kind = K::Test, .column = cLength, .message = 4559, .bound = true,
         .test =
             [](const QStringList& r, int capacity) {
                 return rules::Rule_Number(Cell(r, cPosition)) + knx::Bytes_Used(Cell(r, cBitMode), Cell(r, cLength))
                        <= capacity;
             },
         .bound_of = [](const QStringList&, int capacity) { return int64_t(capacity); }},
        {.kind = K::Range, .column = cTimeOut, .low = 0, .high = 100000000, .message = 4566},
    };
    f.grids = {g};
    return f;
}

} // namespace

namespace knx {

int64_t Bytes_Used(const QString& bitMode, const QString& length)
{
    const int64_t n = rules::Rule_Number(length);
    if (!Is_Bit_Mode(bitMode))
        return n;
    return (n + rules::Rule_Number(bitMode) + 7) / 8;
}

int64_t Length_Limit(const QString& bitMode, const QString& extended)
{
    const bool ext = extended.toUpper() == QLatin1String("Y");
    if (Is_Bit_Mode(bitMode))
        return ext ? 2040 : 112;
    return ext ? 255 : 14;
}

} // namespace knx

const TRule_Form& KNX_Access_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFKNXAccess::TFKNXAccess() : TSet_Access_Form(KNX_Access_Form()), Hint(Hints[0]), Max_Num_Byte(Capacity[0])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        ECG_KNX_in_Write = Grids[0];
    });
}

bool TFKNXAccess::Prepare_Show()
{
    Max_Num_Byte = 1500;
    return true;
}

TFKNXAccess::~TFKNXAccess()
{
    if (FKNXAccess == this)
        FKNXAccess = nullptr;
}
