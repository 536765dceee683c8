#include "fieldbus/UModbus_TCP_Master_Set_Access.h"
#include "fieldbus/UModbus_Rule_Columns.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"

#include "platform/NumberText.h"

TFModbus_TCP_Master_Set_Access* FModbus_TCP_Master_Set_Access = nullptr;

namespace {

QStringList Publish_Topics;

constexpr int kReadTopic = 14;

TRule_Form Make_Form()
{
    using namespace modbus_rules;
    TRule_Form f;
    f.name = QStringLiteral("FModbus_TCP_Master_Set_Access");
    f.root = QStringLiteral("PROFINET_Master_to_Modbus_TCP_Master");
    f.version = QStringLiteral("SW_VERSION = 1.005");
    f.path = &FileName_ModbusTCPM_SetAccess;
    f.caption = 3100;
    f.title = 3101;
    f.error_prefix = 3138;
    f.delete_question = 3161;
    for (int i = 0; i < 4; ++i)
        f.button_captions[i] = 3102 + i;
    // Copy Row and Paste Row keep the captions of the design.
    f.design_captions[4] = QStringLiteral("Copy Row");
    f.design_captions[5] = QStringLiteral("Paste Row");
    for (int i = 0; i < 6; ++i)
        f.button_hints[i] = 3163 + i;
    f.width = 1200;
    f.height = 480;

    TRule_Grid read;
    read.name = QStringLiteral("ECG_Modbus_Read");
    read.list = QStringLiteral("Modbus_Read");
    read.tab = 3106;
    read.rows = 512;
    read.key = 2;
    read.enable = 1;
    read.capacity = kDataArea;
    TRule_Column topic{.attribute = "Index_Topic", .header = 3162, .hint = 3181, .editor = edComboList,
                       .width = 100, .hidden = true};
    topic.from_file = [](const QString& stored) {
        const int i = platform::NumberOr(stored, -1);
        return i >= 0 && i < Publish_Topics.size() ? Publish_Topics[i] : QString();
    };
    topic.to_file = [](const QString& cell) { return QString::number(Publish_Topics.indexOf(cell)); };
    read.columns = {
        {.header = 3108, .width = 40},
        Check_Column("Enable", 3109, 3169, "Y"),
        Text_Column("IP_Address", 3110, 3170, 110),
        Text_Column("Port", 3111, 3171),
        Text_Column("Slave_ID", 3112, 3172),
        Choice_Column("Type", 3113, 3173, kReadTypes),
        Text_Column("Address", 3114, 3174),
        Text_Column("NPoint", 3115, 3175),
        Text_Column("PollTime", 3116, 3176),
        Text_Column("MaxError", 3117, 3177),
        Position_Column("Position", 3118, 3178),
        Choice_Column("Bit", 3119, 3179, kStartBits, 60),
        Check_Column("Swap", 3120, 3180, "N"),
        Check_Column("SwapWord", 3200, 3202, "N"),
        topic,
        Text_Column("Mnemonic", 3121, 3182, 200),
    };
    read.checks = {
        {.kind = TRule_Check_Kind::IPv4, .column = 2, .message = 3139},
        {.kind = TRule_Check_Kind::Range, .column = 3, .low = 0, .high = 65535, .message = 3140},
    };
    // The Topic column is never shown, so it is never checked (3198).
    for (const TRule_Check& c : Checks({4, 5, 6, 7, 8, 9, 10, 11, &kReadStatus, 125, 2000, 1, 3141, 3142, 3143,
                                        3144, 3199, 3146, 3147, 3148, 3149}))
        read.checks.push_back(c);

    TRule_Grid write;
    write.name = QStringLiteral("ECG_Modbus_Write");
    write.list = QStringLiteral("Modbus_Write");
    write.tab = 3107;
    write.rows = 512;
    write.key = 2;
    write.enable = 1;
    write.capacity = kDataArea;
    write.columns = {
        {.header = 3122, .width = 40},
        Check_Column("Enable", 3123, 3183, "Y"),
        Text_Column("IP_Address", 3124, 3184, 110),
        Text_Column("Port", 3125, 3185),
        Text_Column("Slave_ID", 3126, 3186),
        Choice_Column("Type", 3127, 3187, kWriteTypes),
        Text_Column("Address", 3128, 3188),
        Text_Column("NPoint", 3129, 3189),
        Text_Column("PollTime", 3130, 3190),
        Check_Column("OnChange", 3131, 3191, nullptr),
        Check_Column("OnCMD", 3132, 3192, "N"),
        Text_Column("MaxError", 3133, 3193),
        Position_Column("Position", 3134, 3194),
        Choice_Column("Bit", 3135, 3195, kStartBits, 60),
        Check_Column("Swap", 3136, 3196, "N"),
        Check_Column("SwapWord", 3201, 3203, "N"),
        Text_Column("Mnemonic", 3137, 3197, 200),
    };
    write.checks = {
        {.kind = TRule_Check_Kind::IPv4, .column = 2, .message = 3150},
        {.kind = TRule_Check_Kind::Range, .column = 3, .low = 0, .high = 65535, .message = 3151},
    };
    for (const TRule_Check& c : Checks({4, 5, 6, 7, 8, 11, 12, 13, &kWriteStatus, 123, 1968, 0, 3152, 3153, 3154,
                                        3155, 3156, 3157, 3158, 3159, 3160}))
        write.checks.push_back(c);
    f.grids = {read, write};
    return f;
}

} // namespace

const TRule_Form& Modbus_TCP_Master_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFModbus_TCP_Master_Set_Access::TFModbus_TCP_Master_Set_Access()
    : TSet_Access_Form(Modbus_TCP_Master_Form()), Hint_Modbus_Set_Access_Read(Hints[0]),
      Hint_Modbus_Set_Access_Write(Hints[1]), NByte_IN(Capacity[0]), NByte_OUT(Capacity[1]),
      List_Publish_Topic(Publish_Topics)
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        TS_Modbus_Read = Tabs[0];
        TS_Modbus_Write = Tabs[1];
        ECG_Modbus_Read = Grids[0];
        ECG_Modbus_Write = Grids[1];
    });
}

TFModbus_TCP_Master_Set_Access::~TFModbus_TCP_Master_Set_Access()
{
    if (FModbus_TCP_Master_Set_Access == this)
        FModbus_TCP_Master_Set_Access = nullptr;
}

void TFModbus_TCP_Master_Set_Access::Before_Load()
{
    // Hints go by displayed column: without the hidden Topic's hint, the
    // Mnemonic shows its own.
    Set_Lang();
    Hint_Modbus_Set_Access_Read.removeAt(kReadTopic - 1);
}
