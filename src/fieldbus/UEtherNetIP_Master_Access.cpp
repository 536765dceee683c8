#include "fieldbus/UEtherNetIP_Master_Access.h"
#include "fieldbus/UEtherNetIP_EDS.h"
#include "rules/URule_Checks.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "grid/ExCGrid.h"
#include "platform/Dialogs.h"
#include "platform/NumberText.h"
#include "widgets/LbButton.h"

using namespace platform;

TFEtherNetIP_Master_Access* FEtherNetIP_Master_Access = nullptr;

namespace {

// Columns of the grid.
enum { cEnable = 1, cIP, cStart_Input, cNum_Input, cStart_Output, cNum_Output, cTime_Poll, cInstance_TO,
       cConnPoint_TO, cInstance_OT, cConnPoint_OT, cDimHeader_TO, cDimHeader_OT, cMnemonic };

QString Cell(const QStringList& row, int column)
{
    return column >= 1 && column <= row.size() ? row[column - 1] : QString();
}

TRule_Form Make_Form()
{
    TRule_Form f;
    f.name = QStringLiteral("FEtherNetIP_Master_Access");
    f.root = QStringLiteral("EtherNetIP_Master_Access");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_EtherNetIP_Master_Rules;
    f.caption = 4100;
    f.title = 4101;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 4102 + i;
        f.button_hints[i] = 4108 + i;
    }
    f.error_prefix = 4131;
    f.delete_question = 4140;
    f.width = 1440;
    f.height = 420;
    f.row_select = false;

    TRule_Grid g;
    g.name = QStringLiteral("ECG");
    g.rows = 10;
    g.key = cIP;
    g.enable = cEnable;
    g.enable_upper = true;
    g.hints_by_real = true;
    const QStringList header = {"Default"};
    g.columns = {
        {.header = 4114, .width = 30},
        {.attribute = "Enable", .header = 4115, .hint = 4123, .editor = edDataCheckBox, .width = 50, .fallback = "N",
         .reset = "Y"},
        {.attribute = "IP_Address", .header = 4116, .hint = 4124, .width = 110},
        {.attribute = "Start_Input", .header = 4117, .hint = 4125, .width = 75},
        {.attribute = "Num_Input", .header = 4118, .hint = 4126, .width = 75},
        {.attribute = "Start_Output", .header = 4119, .hint = 4127, .width = 75},
        {.attribute = "Num_Output", .header = 4120, .hint = 4128, .width = 75},
        {.attribute = "Time_Poll", .header = 4121, .hint = 4129, .width = 70},
        {.attribute = "Instance_T_O", .header = 4141, .hint = 4143, .width = 105},
        {.attribute = "Connection_Point_T_O", .header = 4147, .hint = 4149, .width = 125},
        {.attribute = "Instance_O_T", .header = 4142, .hint = 4144, .width = 105},
        {.attribute = "Connection_Point_O_T", .header = 4148, .hint = 4150, .width = 125},
        {.attribute = "Dim_Header_T_O", .header = 4153, .hint = 4155, .editor = edComboEdit, .width = 125,
         .fallback = "Default", .choices = header},
        {.attribute = "Dim_Header_O_T", .header = 4154, .hint = 4156, .editor = edComboEdit, .width = 125,
         .fallback = "Default", .choices = header},
        {.attribute = "Mnemonic", .header = 4122, .hint = 4130, .width = 150},
    };
    using K = TRule_Check_Kind;
    auto range = [](int column, int64_t low, int64_t high, int message) {
        return TRule_Check{.kind = K::Range, .column = column, .low = low, .high = high, .message = message};
    };
    // "Default" in any case, blanks around it, stands for the direction's default header.
    auto header_check = [](int column, int message) {
        return TRule_Check{.kind = K::Range, .column = column, .low = 0, .high = 7, .message = message,
                           .when = {.column = column, .texts = {"DEFAULT"}, .upper = true, .negate = true}};
    };
    g.checks = {
        {.kind = K::IPv4, .column = cIP, .message = 4132},
        range(cStart_Input, 0, 65535, 4133),
        range(cNum_Input, 0, 65535, 4134),
        range(cStart_Output, 0, 65535, 4135),
        range(cNum_Output, 0, 65535, 4136),
        range(cTime_Poll, 1, 100000000, 4137),
        range(cInstance_TO, 0, 65535, 4145),
        range(cConnPoint_TO, 0, 65535, 4151),
        range(cInstance_OT, 0, 65535, 4146),
        range(cConnPoint_OT, 0, 65535, 4152),
        header_check(cDimHeader_TO, 4157),
        header_check(cDimHeader_OT, 4158),
    };
    f.grids = {g};
    return f;
}

} // namespace

const TRule_Form& EtherNetIP_Master_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFEtherNetIP_Master_Access::TFEtherNetIP_Master_Access()
    : TSet_Access_Form(EtherNetIP_Master_Form()), Hint(Hints[0])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        ECG = Grids[0];
        Btn_Import_EDS = new TLbButton(P_Button);
        Btn_Import_EDS->SetName(QStringLiteral("Btn_Import_EDS"));
        Btn_Import_EDS->SetBounds(8 + 6 * 118, 6, 110, 28);
        Btn_Import_EDS->OnClick = [this](QObject* s) { Btn_Import_EDSClick(s); };
        Set_Lang_Extra();
    });
}

TFEtherNetIP_Master_Access::~TFEtherNetIP_Master_Access()
{
    if (FEtherNetIP_Master_Access == this)
        FEtherNetIP_Master_Access = nullptr;
}

void TFEtherNetIP_Master_Access::Set_Lang_Extra()
{
    if (!Btn_Import_EDS)
        return;
    Btn_Import_EDS->SetCaption(Language_List.value(4159));
    Btn_Import_EDS->SetHint(Language_List.value(4160));
}

bool TFEtherNetIP_Master_Access::Prepare_Show()
{
    Num_Byte_In = 1438;
    Num_Byte_Out = 1438;
    return true;
}

QString TFEtherNetIP_Master_Access::Extra_Check(int, const TRule_Rows& rows)
{
    // The same rows as the described checks: enabled rules up to the first
    // row without an address, whose sizes are already known to be 0..65535.
    const int count = Rule_Count(Form().grids[0], rows);
    int64_t in = 0, out = 0;
    for (int i = 0; i < count; ++i) {
        if (!rules::Is_One_Of(Cell(rows[i], cEnable), {"Y"}, true))
            continue;
        in += rules::Rule_Number(Cell(rows[i], cNum_Input));
        out += rules::Rule_Number(Cell(rows[i], cNum_Output));
    }
    if (in > Num_Byte_In)
        return Language_List.value(4138) + QString::number(Num_Byte_In);
    if (out > Num_Byte_Out)
        return Language_List.value(4139) + QString::number(Num_Byte_Out);
    return QString();
}

void TFEtherNetIP_Master_Access::Btn_Import_EDSClick(QObject*)
{
    FileDialogRequest request;
    request.filter = QStringLiteral("EtherNet/IP EDS (*.eds)");
    const QString name = AskOpenFileName(request);
    if (name.isEmpty() || !FEtherNEtIP_EDS)
        return;
    TFEtherNEtIP_EDS& picker = *FEtherNEtIP_EDS;
    picker.EDS_FileName = name;
    if (picker.ShowModal() != mrOk)
        return;
    int target = 0;
    for (int r = 1; r < ECG->RowCount() && target == 0; ++r)
        if (Get_Cell(0, cIP, r).trimmed().isEmpty() && Get_Cell(0, cInstance_TO, r).trimmed().isEmpty())
            target = r;
    const int chosen = picker.ECG->Row();
    if (target == 0 || chosen < 1 || chosen >= picker.ECG->RowCount())
        return;
    using P = TFEtherNEtIP_EDS;
    const std::pair<int, int> copies[] = {
        {P::cInstance_OT, cInstance_OT},   {P::cConnPoint_OT, cConnPoint_OT}, {P::cInstance_TO, cInstance_TO},
        {P::cConnPoint_TO, cConnPoint_TO}, {P::cDimHeader_TO, cDimHeader_TO}, {P::cDimHeader_OT, cDimHeader_OT},
    };
    for (const auto& [from, to] : copies)
        Set_Cell(0, to, target, picker.ECG->GetCellEx(from, chosen));
}

int TFEtherNetIP_Master_Access::Err_Check_Data_Path(const QString& path, int minCount)
{
    if (path.isEmpty())
        return minCount > 0 ? 2 : 0;
    const QStringList items = path.split(u',');
    for (const QString& item : items) {
        const std::optional<int> v = ParseNumber(QStringLiteral("0x") + item.trimmed());
        if (!v || *v < 0 || *v > 255)
            return 1;
    }
    return items.size() < minCount ? 2 : 0;
}
