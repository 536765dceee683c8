#include "protocols/UMQTT_Set_Topic.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "protocols/UTopicTemplate.h"

#include "rules/URule_Checks.h"
#include "shell/UComon.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"

#include <algorithm>
#include <limits>

TFMQTT_Set_Topic* FMQTT_Set_Topic = nullptr;

using namespace mqtt;

namespace {

QString Cell(const QStringList& row, int column) { return column <= row.size() ? row[column - 1] : QString(); }

// The checks both grids share, by their columns and messages: data type,
// dimension by type, position, and the value's span in the data array.
struct Shared_Checks
{
    int data_type, dimension, position;
    int msg_type, msg_int, msg_float, msg_other, msg_position;
    int msg_span;           // an entry only a language file fills ...
    const char* span_text;  // ... and its English
};

void Add_Shared_Checks(TRule_Grid& g, const Shared_Checks& s)
{
    using K = TRule_Check_Kind;
    const int t = s.data_type;
    const int d = s.dimension;
    const int p = s.position;
    g.checks.push_back({.kind = K::Not_Empty, .column = t, .message = s.msg_type, .shown = t});
    g.checks.push_back({.kind = K::Number_In, .column = d, .message = s.msg_int,
                        .when = {.column = t, .texts = {"INT"}, .upper = true}, .values = {1, 2, 4, 8}, .shown = t});
    g.checks.push_back({.kind = K::Number_In, .column = d, .message = s.msg_float,
                        .when = {.column = t, .texts = {"FLOAT"}, .upper = true}, .values = {4, 8}, .shown = t});
    g.checks.push_back({.kind = K::Range, .column = d, .low = 1, .high = std::numeric_limits<int>::max(),
                        .message = s.msg_other,
                        .when = {.column = t, .texts = {"INT", "FLOAT"}, .upper = true, .negate = true},
                        .shown = t});
    g.checks.push_back({.kind = K::Range, .column = p, .low = 0, .high = kRule_Capacity_Last,
                        .message = s.msg_position, .bound = true, .shown = p});
    // The whole value must lie in the data array, as the Modbus windows
    // require: a position alone in range may still run past its end.
    g.checks.push_back(
        {.kind = K::Test, .column = p, .message = s.msg_span, .text = QString::fromLatin1(s.span_text), .bound = true,
         .test =
             [p, d](const QStringList& r, int capacity) {
                 const int64_t size = std::max(1, rules::Rule_Number(Cell(r, d)));
                 return rules::Rule_Number(Cell(r, p)) + size <= capacity;
             },
         .bound_of = [](const QStringList&, int capacity) { return int64_t(capacity); },
         .shown = p});
}

TRule_Check IP_Check(int column, int message)
{
    return {.kind = TRule_Check_Kind::Test, .column = column, .message = message,
            .test =
                [column](const QStringList& r, int) {
                    QString part[4];
                    return Split_IP_Address(Cell(r, column), part[0], part[1], part[2], part[3]);
                },
            .shown = column};
}

TRule_Check Template_Check(int column, int message)
{
    return {.kind = TRule_Check_Kind::Test, .column = column, .message = message,
            .test = [column](const QStringList& r, int) { return !Error_In_Topic_Template(Cell(r, column).trimmed()); },
            .shown = column};
}

bool Hidden(int grid, int column)
{
    const std::vector<int> hidden = Hidden_Columns(grid, 1);
    return std::find(hidden.begin(), hidden.end(), column) != hidden.end();
}

TRule_Grid Publish_Grid()
{
    TRule_Grid g;
    g.name = QStringLiteral("ECG_Pub");
    g.list = QStringLiteral("MQTT_Publish");
    g.tab = 5233;
    g.rows = kTopics;
    g.key = pTopic;
    g.capacity = kArray_Size;
    g.hints_by_real = true;
    const auto box = edDataCheckBox;
    QStringList channels;
    for (int c = 0; c <= 63; ++c)
        channels << QString::number(c);
    channels << QStringLiteral("All");
    g.columns = {
        {.header = 5214, .width = 40},
        {.attribute = "Topic", .header = 5215, .hint = 5219, .width = 190, .mandatory = true},
        {.attribute = "Retained", .header = 5216, .hint = 5220, .editor = box, .width = 60, .mandatory = true},
        {.attribute = "QoS", .header = 5217, .hint = 5221, .editor = edComboList, .width = 40, .mandatory = true,
         .choices = {"0", "1", "2"}},
        {.attribute = "DataType", .header = 5237, .hint = 5240, .editor = edComboList, .width = 70,
         .choices = {"Int", "Float", "String", "Base64"}},
        {.attribute = "Dimension", .header = 5238, .hint = 5241, .width = 70},
        {.attribute = "Position", .header = 5239, .hint = 5242, .width = 60},
        {.attribute = "IPAddress", .header = 5262, .hint = 5264, .width = 110},
        {.attribute = "InputTemplate", .header = 5263, .hint = 5265, .width = 150},
        {.attribute = "Template", .header = 5235, .hint = 5236, .editor = edComboEdit, .width = 200,
         .choices = {"$VALUE$"}},
        {.attribute = "OnChange", .header = 5281, .hint = 5282, .editor = box, .width = 65, .fallback = "N"},
        {.header = 5283, .hint = 5286, .editor = box, .width = 55},
        {.attribute = "OnTimer", .header = 5284, .hint = 5287, .editor = box, .width = 60, .fallback = "N"},
        {.attribute = "Time", .header = 5285, .hint = 5288, .width = 75},
        {.header = 5290, .hint = 5291, .editor = edComboList, .width = 55, .choices = channels},
        {.header = 5293, .hint = 5295, .editor = box, .width = 45, .fallback = "N"},
        {.header = 5294, .hint = 5296, .editor = box, .width = 70, .fallback = "N"},
        {.attribute = "Mnemonic", .header = 5218, .hint = 5222, .width = 150, .mandatory = true},
    };
    Add_Shared_Checks(g, {pDataType, pDimension, pPosition, 5252, 5253, 5254, 5255, 5256, spare_text::MQTT_Publish_Span,
                          "!! [MQTT Publish] Position plus Dimension must be minor or equal to "});
    g.checks.push_back(IP_Check(pIPAddress, 5274));
    g.checks.push_back(Template_Check(pInputTemplate, 5277));
    g.checks.push_back(Template_Check(pTemplate, 5278));
    // Whatever the columns shown: a timer needs its period.
    g.checks.push_back({.kind = TRule_Check_Kind::Range, .column = pTime, .low = 1, .high = 1000000000,
                        .message = 5289, .when = {.column = pOnTimer, .texts = {"Y"}, .upper = true}});
    for (size_t c = 1; c < g.columns.size(); ++c)
        g.columns[c].hidden = Hidden(kPub, static_cast<int>(c));
    return g;
}

TRule_Grid Subscribe_Grid()
{
    TRule_Grid g;
    g.name = QStringLiteral("ECG_Sub");
    g.list = QStringLiteral("MQTT_Subscribe");
    g.tab = 5234;
    g.rows = kTopics;
    g.key = sTopic;
    g.capacity = kArray_Size;
    g.hints_by_real = true;
    const auto box = edDataCheckBox;
    g.columns = {
        {.header = 5224, .width = 40},
        {.attribute = "Topic", .header = 5225, .hint = 5229, .width = 200, .mandatory = true},
        {.attribute = "Retained", .header = 5226, .hint = 5230, .editor = box, .width = 60, .mandatory = true},
        {.attribute = "QoS", .header = 5227, .hint = 5231, .editor = edComboList, .width = 40, .mandatory = true,
         .choices = {"0", "1", "2"}},
        {.attribute = "DataType", .header = 5243, .hint = 5247, .editor = edComboList, .width = 70,
         .choices = {"Int", "Float", "String", "Base64"}},
        {.attribute = "Dimension", .header = 5244, .hint = 5248, .width = 70},
        {.attribute = "Position", .header = 5245, .hint = 5249, .width = 60},
        {.attribute = "IPAddress", .header = 5266, .hint = 5270, .width = 110},
        {.attribute = "Port", .header = 5267, .hint = 5271, .width = 50},
        {.attribute = "EthType", .header = 5268, .hint = 5272, .editor = edComboList, .width = 50,
         .choices = {"TCP", "UDP"}},
        {.attribute = "InputTemplate", .header = 5269, .hint = 5273, .width = 150},
        {.attribute = "Template", .header = 5246, .hint = 5250, .editor = edComboEdit, .width = 200,
         .choices = {"$VALUE$"}},
        {.header = 5293, .hint = 5297, .editor = box, .width = 45, .fallback = "N"},
        {.header = 5294, .hint = 5298, .editor = box, .width = 70, .fallback = "N"},
        {.attribute = "Mnemonic", .header = 5228, .hint = 5232, .width = 150, .mandatory = true},
    };
    Add_Shared_Checks(g, {sDataType, sDimension, sPosition, 5257, 5258, 5259, 5260, 5261, spare_text::MQTT_Subscribe_Span,
                          "!! [MQTT Subscribe] Position plus Dimension must be minor or equal to "});
    g.checks.push_back(IP_Check(sIPAddress, 5275));
    g.checks.push_back({.kind = TRule_Check_Kind::Range, .column = sPort, .low = 0, .high = 65535, .message = 5276,
                        .shown = sPort});
    g.checks.push_back(Template_Check(sInputTemplate, 5279));
    g.checks.push_back(Template_Check(sTemplate, 5280));
    for (size_t c = 1; c < g.columns.size(); ++c)
        g.columns[c].hidden = Hidden(kSub, static_cast<int>(c));
    return g;
}

TRule_Form Make_Form()
{
    TRule_Form f;
    f.name = QStringLiteral("FMQTT_Set_Topic");
    f.root = QStringLiteral("MQTT_Set_Topic");
    f.version = QStringLiteral("SW_VERSION = 1.001");
    f.path = &FileName_MQTT_Set_Topic;
    f.caption = 5200;
    f.title = 5201;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 5202 + i;
        f.button_hints[i] = 5208 + i;
    }
    f.error_prefix = 5251;
    f.delete_question = 5223;
    f.width = 1120;
    f.height = 450;
    f.row_select = false;
    f.grids = {Publish_Grid(), Subscribe_Grid()};
    return f;
}

} // namespace

namespace mqtt {

bool Error_In_Topic_Template(const QString& text) { return text.count(u'$') % 2 != 0; }

std::vector<int> Hidden_Columns(int grid, int workingMode)
{
    // Working mode 1 is the only mode the window takes.
    (void)workingMode;
    if (grid == kPub)
        return {pIPAddress, pInputTemplate, pOnCMD, pChannel, pSwap, pSwapWord};
    return {sRetained, sIPAddress, sPort, sEthType, sInputTemplate, sSwap, sSwapWord};
}

int Template_Column(int grid) { return grid == kPub ? int(pTemplate) : int(sTemplate); }

} // namespace mqtt

const TRule_Form& MQTT_Set_Topic_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFMQTT_Set_Topic::TFMQTT_Set_Topic()
    : TSet_Access_Form(MQTT_Set_Topic_Form()), Hint_MQTT_Set_Topic_Pub(Hints[kPub]),
      Hint_MQTT_Set_Topic_Sub(Hints[kSub]), Byte_IN(Capacity[kPub]), Byte_OUT(Capacity[kSub])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        TS_Pub = Tabs[kPub];
        TS_Sub = Tabs[kSub];
        ECG_Pub = Grids[kPub];
        ECG_Sub = Grids[kSub];
        for (VOruVizizaZezo* grid : Grids)
            grid->OnDblClickCell = [this](QObject* s, int row, int col) { ECG_MQTT_DblClickCell(s, row, col); };
    });
}

TFMQTT_Set_Topic::~TFMQTT_Set_Topic()
{
    if (FMQTT_Set_Topic == this)
        FMQTT_Set_Topic = nullptr;
}

bool TFMQTT_Set_Topic::Prepare_Show()
{
    Working_Mode = 1;
    Byte_IN = kArray_Size;
    Byte_OUT = kArray_Size;
    Apply_Working_Mode();
    TS_Sub->SetTabVisible(true);
    for (VOruVizizaZezo* grid : Grids)
        grid->SetRowCount(kTopics + 1);
    return true;
}

void TFMQTT_Set_Topic::Apply_Working_Mode()
{
    for (int g = 0; g < static_cast<int>(Grids.size()); ++g) {
        VOruVizizaZezo* grid = Grids[g];
        const int columns = static_cast<int>(Form().grids[g].columns.size());
        grid->UnHideColumns(1, columns - 1);
        for (int c : Hidden_Columns(g, Working_Mode))
            grid->HideColumn(c);
    }
}

void TFMQTT_Set_Topic::ECG_MQTT_DblClickCell(QObject* sender, int row, int col)
{
    DblClickCell(sender, row, col);
    const auto it = std::find(Grids.begin(), Grids.end(), dynamic_cast<VOruVizizaZezo*>(sender));
    if (it == Grids.end())
        return;
    const int g = static_cast<int>(it - Grids.begin());
    // The header row only fits its width; a template is a data cell's.
    if (row < 1 || row >= (*it)->RowCount())
        return;
    const int real = (*it)->RealColIndex(col);
    if (real == Template_Column(g))
        Show_Form_Topic(*it, row, real);
}

TFTopicTemplate& TFMQTT_Set_Topic::Template_Dialog()
{
    if (FTopicTemplate)
        return *FTopicTemplate;
    if (!own_template_)
        own_template_ = std::make_unique<TFTopicTemplate>();
    return *own_template_;
}

void TFMQTT_Set_Topic::Show_Form_Topic(VOruVizizaZezo* grid, int row, int col)
{
    // What is still in the cell's editor belongs to the cell before the dialog takes it.
    grid->HideInplaceEdit();
    TFTopicTemplate& dialog = Template_Dialog();
    dialog.TopicTemplate = 1;
    dialog.Working_Mode = Working_Mode;
    dialog.Pub_Sub = grid == ECG_Sub ? 1 : 0;
    dialog.RE_TopicTemplate->Clear();
    dialog.RE_TopicTemplate->SetText(grid->GetCellEx(col, row));
    if (dialog.ShowModal() == platform::mrOk)
        grid->SetCellEx(col, row, dialog.RE_TopicTemplate->Text());
}
