#include "fieldbus/USetAccess.h"
#include "fieldbus/UModbus_Rule_Columns.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"

#include "platform/NumberText.h"

#include "grid/ExCGrid.h"

TFSetAccess* FSetAccess = nullptr;

namespace {

QStringList Publish_Topics;
constexpr int kTopic = 12;

TRule_Form Make_Form()
{
    using namespace modbus_rules;
    TRule_Form f;
    f.name = QStringLiteral("FSetAccess");
    f.root = QStringLiteral("EtherNetIP_to_Modbus");
    f.version = QStringLiteral("SW_VERSION = 1.001");
    f.path = &FileName_ModbusM_SetAccess;
    f.caption = 3000;
    f.title = 3001;
    f.error_prefix = 3068;
    f.delete_question = 3088;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 3002 + i;
        f.button_hints[i] = 3008 + i;
    }
    f.width = 1100;
    f.height = 480;

    TRule_Grid read;
    read.name = QStringLiteral("ECG_Modbus_Read");
    read.list = QStringLiteral("Modbus_Read");
    read.tab = 3014;
    read.rows = 512;
    read.key = 2;
    read.enable = 1;
    read.capacity = kDataArea;
    read.hints_by_real = true;
    // The cell holds the stored index until the window turns it into the
    // topic (After_Load), and the index again when OK writes it.
    TRule_Column topic{.attribute = "Index_Topic", .header = 3042, .hint = 3053, .editor = edComboList,
                       .width = 100, .hidden = true};
    read.columns = {
        {.header = 3016, .width = 40},
        Check_Column("Enable", 3017, 3043, "Y"),
        Text_Column("Slave_ID", 3018, 3044),
        Choice_Column("Type", 3019, 3045, kReadTypes),
        Text_Column("Address", 3020, 3046),
        Text_Column("NPoint", 3021, 3047),
        Text_Column("PollTime", 3022, 3048),
        Text_Column("MaxError", 3023, 3049),
        Position_Column("Position", 3024, 3050),
        Choice_Column("Bit", 3025, 3051, kStartBits, 60),
        Check_Column("Swap", 3026, 3052, "N"),
        Check_Column("SwapWord", 3090, 3092, "N"),
        topic,
        Text_Column("Mnemonic", 3027, 3054, 200),
    };
    read.checks = Checks({2, 3, 4, 5, 6, 7, 8, 9, &kReadStatus, 125, 2000, 1, 3069, 3070, 3071, 3072, 3073, 3074,
                          3075, 3076, 3077});
    // Only while the Topic column is shown, which nothing in this program does.
    read.checks.push_back({.kind = TRule_Check_Kind::Not_Empty, .column = kTopic, .message = 3078, .shown = kTopic});

    TRule_Grid write;
    write.name = QStringLiteral("ECG_Modbus_Write");
    write.list = QStringLiteral("Modbus_Write");
    write.tab = 3015;
    write.rows = 512;
    write.key = 2;
    write.enable = 1;
    write.capacity = kDataArea;
    write.hints_by_real = true;
    write.columns = {
        {.header = 3028, .width = 40},
        Check_Column("Enable", 3029, 3055, "Y"),
        Text_Column("Slave_ID", 3030, 3056),
        Choice_Column("Type", 3031, 3057, kWriteTypes),
        Text_Column("Address", 3032, 3058),
        Text_Column("NPoint", 3033, 3059),
        Text_Column("PollTime", 3034, 3060),
        Check_Column("OnChange", 3035, 3061, nullptr),
        Check_Column("OnCMD", 3036, 3062, "N"),
        Text_Column("MaxError", 3037, 3063),
        Position_Column("Position", 3038, 3064),
        Choice_Column("Bit", 3039, 3065, kStartBits, 60),
        Check_Column("Swap", 3040, 3066, "N"),
        Check_Column("SwapWord", 3091, 3093, "N"),
        Text_Column("Mnemonic", 3041, 3067, 200),
    };
    write.checks = Checks({2, 3, 4, 5, 6, 9, 10, 11, &kWriteStatus, 123, 1968, 0, 3079, 3080, 3081, 3082, 3083, 3084,
                           3085, 3086, 3087});
    f.grids = {read, write};
    return f;
}

} // namespace

const TRule_Form& SetAccess_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFSetAccess::TFSetAccess()
    : TSet_Access_Form(SetAccess_Form()), Hint_Modbus_Set_Access_Read(Hints[0]),
      Hint_Modbus_Set_Access_Write(Hints[1]), NByte_IN(Capacity[0]), NByte_OUT(Capacity[1]),
      List_Publish_Topic(Publish_Topics)
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        TS_Modbus_Read = Tabs[0];
        TS_Modbus_Write = Tabs[1];
        ECG_Modbus_Read = Grids[0];
        ECG_Modbus_Write = Grids[1];
        ECG_Modbus_Read->OnComboChange = [this](QObject* s, int col, int row, int index, const QString& text) {
            ComboChange(s, col, row, index, text);
        };
    });
}

TFSetAccess::~TFSetAccess()
{
    if (FSetAccess == this)
        FSetAccess = nullptr;
}

void TFSetAccess::Before_Load()
{
    if (!ECG_Modbus_Read->IsHiddenColumn(kTopic))
        ECG_Modbus_Read->HideColumn(kTopic);
    ComboItem_Topic.assign(ECG_Modbus_Read->RowCount() - 1, -1);
}

void TFSetAccess::After_Load()
{
    // A row without Index_Topic holds the empty fallback: no remembered index.
    for (int r = 1; r < ECG_Modbus_Read->RowCount(); ++r) {
        const int index = platform::NumberOr(Get_Cell(0, kTopic, r), -1);
        ComboItem_Topic[static_cast<size_t>(r - 1)] = index;
        Set_Cell(0, kTopic, r, Get_Topic_From_Index(index));
    }
}

void TFSetAccess::ComboChange(QObject*, int col, int row, int itemIndex, const QString&)
{
    if (col == kTopic && row >= 1 && row <= static_cast<int>(ComboItem_Topic.size()))
        ComboItem_Topic[static_cast<size_t>(row - 1)] = itemIndex;
}

QString TFSetAccess::Get_Topic_From_Index(int index) const
{
    return index >= 0 && index < List_Publish_Topic.size() ? List_Publish_Topic[index] : QString();
}

int TFSetAccess::Get_Index_From_Topic(const QString& topic, int remembered) const
{
    if (remembered >= 0 && remembered < List_Publish_Topic.size() && List_Publish_Topic[remembered] == topic)
        return remembered;
    return static_cast<int>(List_Publish_Topic.indexOf(topic));
}

void TFSetAccess::Cells_To_File(int grid, TRule_Rows& rows) const
{
    if (grid != 0)
        return;
    // Stored empty while the column is hidden, as it always is here.
    const bool shown = !ECG_Modbus_Read->IsHiddenColumn(kTopic);
    for (size_t i = 0; i < rows.size(); ++i) {
        QString& cell = rows[i][kTopic - 1];
        const int remembered = i < ComboItem_Topic.size() ? ComboItem_Topic[i] : -1;
        cell = shown ? QString::number(Get_Index_From_Topic(cell, remembered)) : QString();
    }
}
