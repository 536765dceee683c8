#include "configuration/ULoRa_Set_Access.h"
#include "configuration/UParGen_File.h"
#include "configuration/UProject_File.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "widgets/LbButton.h"

#include <algorithm>

TFLoRa_Set_Access* FLoRa_Set_Access = nullptr;

using namespace platform;

namespace {

// Rule rows of each table: 256 while the FPort is fixed, 223 while it is variable.
constexpr int kRowsFixedFPort = 257;
constexpr int kRowsVariableFPort = 224;

struct Column_Look
{
    int width;
    bool check_box;
};

// Real columns from 0 (the rule number) on.
const Column_Look kUplinkColumns[] = {{40, false}, {50, true}, {80, false}, {80, false}, {70, true},
                                      {55, true},  {65, true}, {80, false}, {60, false}, {280, false}};
const Column_Look kDownlinkColumns[] = {{40, false}, {50, true}, {80, false}, {80, false}, {60, false}, {550, false}};

// Language entries of the headers (columns 0 on) and of the header hints (columns 1 on).
const int kUplinkHeaders[] = {1216, 1217, 1218, 1219, 1220, 1221, 1222, 1223, 1250, 1224};
const int kUplinkHints[] = {1225, 1226, 1227, 1228, 1229, 1230, 1231, 1251, 1232};
const int kDownlinkHeaders[] = {1233, 1234, 1235, 1236, 1252, 1237};
const int kDownlinkHints[] = {1238, 1239, 1240, 1253, 1241};

TLbButton* Make_Row_Button(TPanel* panel, int index)
{
    auto* b = new TLbButton(panel);
    b->SetBounds(8 + index * (110 + 8), 6, 110, 28);
    return b;
}

} // namespace

TFLoRa_Set_Access::TFLoRa_Set_Access()
{
    SetName(QStringLiteral("FLoRa_Set_Access"));
    SetBorderStyle(bsSizeable);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(900);
    SetClientHeight(560);
    SetCaption(Language_List.value(1200));
    // The controls are built when the window is first needed.
    Build_When_Needed(this, [this] {
        const Title_Panel title = Make_Title_Panel(this);
        P_Title = title.P_Title;
        P_Title->SetHeight(69);
        L_SW_Code = title.L_SW_Code;
        L_SW_Desc = title.L_SW_Desc;
        L_SW_Code->SetCaption(SW_Code);

        P_Button = new TPanel(this);
        P_Button->SetAlign(alBottom);
        P_Button->SetHeight(40);
        P_Button->SetBevelOuter(bvNone);
        Btn_OK = Make_Row_Button(P_Button, 0);
        Btn_Cancel = Make_Row_Button(P_Button, 1);
        Btn_DelRow = Make_Row_Button(P_Button, 2);
        Btn_InsRow = Make_Row_Button(P_Button, 3);
        Btn_CopyRow = Make_Row_Button(P_Button, 4);
        Btn_PasteRow = Make_Row_Button(P_Button, 5);
        Btn_Cancel->SetModalResult(mrCancel);
        Btn_Cancel->SetCancel(true);
        Btn_OK->OnClick = [this](QObject* sender) { Btn_OKClick(sender); };
        Btn_DelRow->OnClick = [this](QObject* sender) { Btn_DelRowClick(sender); };
        Btn_InsRow->OnClick = [this](QObject* sender) { Btn_InsRowClick(sender); };
        Btn_CopyRow->OnClick = [this](QObject* sender) { Btn_CopyRowClick(sender); };
        Btn_PasteRow->OnClick = [this](QObject* sender) { Btn_PasteRowClick(sender); };

        PC_LoRa = new TPageControl(this);
        PC_LoRa->SetAlign(alClient);
        TS_LoRa_Uplink = PC_LoRa->AddPage(QString());
        TS_LoRa_Downlink = PC_LoRa->AddPage(QString());
        ECG_LoRa_Uplink = new VOruVizizaZezo(TS_LoRa_Uplink);
        ECG_LoRa_Downlink = new VOruVizizaZezo(TS_LoRa_Downlink);
        Create_Grid(ECG_LoRa_Uplink, TLoRa_Table::Uplink);
        Create_Grid(ECG_LoRa_Downlink, TLoRa_Table::Downlink);
        // This model has no downlink rules to edit.
        TS_LoRa_Downlink->SetTabVisible(false);
        PC_LoRa->SetActivePage(TS_LoRa_Uplink);

        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
    });
}

TFLoRa_Set_Access::~TFLoRa_Set_Access()
{
    if (FLoRa_Set_Access == this)
        FLoRa_Set_Access = nullptr;
}

void TFLoRa_Set_Access::Create_Grid(VOruVizizaZezo* grid, TLoRa_Table table)
{
    const bool up = table == TLoRa_Table::Uplink;
    const Column_Look* looks = up ? kUplinkColumns : kDownlinkColumns;
    const int columns = up ? 10 : 6;
    grid->SetName(up ? QStringLiteral("ECG_LoRa_Uplink") : QStringLiteral("ECG_LoRa_Downlink"));
    grid->SetAlign(alClient);
    grid->SetColCount(columns);
    grid->SetRowCount(kRowsFixedFPort);
    grid->SetFixedCols(1);
    grid->SetFixedRows(1);
    grid->SetOptions(grid->Options() | goEditing);
    grid->SetShowHint(true);
    for (int c = 0; c < columns; ++c) {
        TGridColumnItem* item = grid->Columns().GetItem(c);
        item->SetWidth(looks[c].width);
        if (looks[c].check_box) {
            item->SetEditor(edDataCheckBox);
            item->SetCheckTrue(QStringLiteral("Y"));
            item->SetCheckFalse(QStringLiteral("N"));
        }
    }
    grid->Columns().GetItem(0)->SetReadOnly(true);
    grid->OnClickCell = [this](QObject* sender, int row, int col) { ClickCell(sender, row, col); };
    grid->OnDblClickCell = [this](QObject* sender, int row, int col) { DblClickCell(sender, row, col); };
    grid->OnGridHint = [this](QObject* sender, int row, int col, QString& hint) { GridHint(sender, row, col, hint); };
    grid->OnKeyPress = [this](QObject* sender, QChar& key) { KeyPress(sender, key); };
}

void TFLoRa_Set_Access::Set_Lang()
{
    SetCaption(Language_List.value(1200));
    if (!Built())
        return;
    auto text = [](int n) { return Language_List.value(n); };
    L_SW_Desc->SetCaption(text(1201));
    TLbButton* const buttons[] = {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow};
    for (int i = 0; i < 6; ++i) {
        buttons[i]->SetCaption(text(1202 + i));
        buttons[i]->SetHint(text(1208 + i));
    }
    TS_LoRa_Uplink->SetCaption(text(1214));
    TS_LoRa_Downlink->SetCaption(text(1215));
    for (int c = 0; c < 10; ++c)
        ECG_LoRa_Uplink->Columns().GetItem(c)->SetHeader(text(kUplinkHeaders[c]));
    for (int c = 0; c < 6; ++c)
        ECG_LoRa_Downlink->Columns().GetItem(c)->SetHeader(text(kDownlinkHeaders[c]));
    Hint_UpLink.clear();
    for (int n : kUplinkHints)
        Hint_UpLink << text(n);
    Hint_DownLink.clear();
    for (int n : kDownlinkHints)
        Hint_DownLink << text(n);
}

VOruVizizaZezo* TFLoRa_Set_Access::Grid_Of(TLoRa_Table table) const
{
    return table == TLoRa_Table::Uplink ? ECG_LoRa_Uplink : ECG_LoRa_Downlink;
}

VOruVizizaZezo* TFLoRa_Set_Access::Active_Grid() const
{
    return PC_LoRa->ActivePage() == TS_LoRa_Downlink ? ECG_LoRa_Downlink : ECG_LoRa_Uplink;
}

bool TFLoRa_Set_Access::Downlink_Shown() const { return TS_LoRa_Downlink->TabVisible(); }

void TFLoRa_Set_Access::Reset_Table(VOruVizizaZezo* grid)
{
    const int columns = grid->ColCount() + grid->NumHiddenColumns();
    for (int r = 1; r < grid->RowCount(); ++r) {
        grid->SetCellEx(0, r, QString::number(r - 1));
        grid->SetCellEx(1, r, QStringLiteral("Y"));
        for (int c = 2; c < columns; ++c)
            grid->SetCellEx(c, r, QString());
    }
}

int TFLoRa_Set_Access::Fill_Table(VOruVizizaZezo* grid, const TLoRa_Rows& rows)
{
    const int shown = std::min(static_cast<int>(rows.size()), grid->RowCount() - 1);
    const int columns = grid->ColCount() + grid->NumHiddenColumns();
    for (int i = 0; i < shown; ++i)
        for (int c = 1; c < columns && c <= rows[i].size(); ++c)
            grid->SetCellEx(c, i + 1, rows[i][c - 1]);
    return static_cast<int>(rows.size()) - shown;
}

void TFLoRa_Set_Access::FormShow()
{
    // 1.
    PC_LoRa->SetActivePage(TS_LoRa_Uplink);
    FPortFixed = true;
    MaxPayloadSize = 0;
    downlink_from_file_.clear();
    uplink_in_file_ = uplink_not_shown_ = 0;
    Do_Copy_Uplink = Do_Copy_Downlink = false;
    auto fail = [this](const QString& error) {
        ShowMessage(MessageKind::Error, error, MessageButtons::Ok);
        SetModalResult(mrCancel);
    };

    // 2.
    TParGen_Reader parGen;
    QString error;
    const TParGen_Load parGenLoad = parGen.Load(FileName_ParGen, &error);
    if (parGenLoad == TParGen_Load::Not_Loaded) {
        fail(error);
        return;
    }
    if (parGenLoad == TParGen_Load::Loaded) {
        MaxPayloadSize = parGen.Payload_Size();
        FPortFixed = !parGen.FPort_Variable();
    }

    // 3. The FPort columns keep their cells while hidden.
    const int rows = FPortFixed ? kRowsFixedFPort : kRowsVariableFPort;
    for (TLoRa_Table table : {TLoRa_Table::Uplink, TLoRa_Table::Downlink}) {
        VOruVizizaZezo* grid = Grid_Of(table);
        const int fport = LoRa_Layout(table).fport;
        if (FPortFixed)
            grid->HideColumn(fport);
        else
            grid->UnHideColumn(fport);
        grid->SetRowCount(rows);
        // 4.
        Reset_Table(grid);
    }

    // 5.
    if (MaxPayloadSize == 0)
        ShowMessage(MessageKind::Warning, Language_List.value(1242), MessageButtons::Ok);

    // 6.
    TLoRa_Rules rules;
    const TLoRa_Load load = Load_LoRa_Rules(FileName_LoRaWAN_SetAccess, &rules, &error);
    // Empty tables over a damaged file only when the user allows OK to replace it.
    if (load == TLoRa_Load::Not_Loaded && !Damaged_File_May_Be_Replaced(error)) {
        SetModalResult(mrCancel);
        return;
    }
    uplink_in_file_ = static_cast<int>(rules.uplink.size());
    uplink_not_shown_ = Fill_Table(ECG_LoRa_Uplink, rules.uplink);
    Fill_Table(ECG_LoRa_Downlink, rules.downlink);
    downlink_from_file_ = std::move(rules.downlink);
    if (uplink_not_shown_ > 0)
        ShowMessage(MessageKind::Warning,
                    LoRa_Too_Many_Rules_Warning(uplink_in_file_, ECG_LoRa_Uplink->RowCount() - 1),
                    MessageButtons::Ok);
}

TLoRa_Rows TFLoRa_Set_Access::Grid_Rows(TLoRa_Table table) const
{
    VOruVizizaZezo* grid = Grid_Of(table);
    const int columns = static_cast<int>(LoRa_Layout(table).attributes.size());
    TLoRa_Rows rows;
    for (int r = 1; r < grid->RowCount(); ++r) {
        QStringList row;
        for (int c = 1; c <= columns; ++c)
            row << grid->GetCellEx(c, r);
        rows.push_back(row);
    }
    return rows;
}

TLoRa_Rules TFLoRa_Set_Access::Rules_To_Save() const
{
    TLoRa_Rules rules;
    rules.uplink = Grid_Rows(TLoRa_Table::Uplink);
    rules.uplink.resize(LoRa_Saved_Count(TLoRa_Table::Uplink, rules.uplink));
    // Downlink rules the user cannot see go back as the file held them.
    if (Downlink_Shown()) {
        rules.downlink = Grid_Rows(TLoRa_Table::Downlink);
        rules.downlink.resize(LoRa_Saved_Count(TLoRa_Table::Downlink, rules.downlink));
    } else {
        rules.downlink = downlink_from_file_;
    }
    return rules;
}

bool TFLoRa_Set_Access::Controllo_dati()
{
    // A table the user cannot see is not checked: its faults could be neither
    // seen nor mended.
    QString fault = LoRa_Check_Table(TLoRa_Table::Uplink, Grid_Rows(TLoRa_Table::Uplink), MaxPayloadSize,
                                     !FPortFixed);
    if (fault.isEmpty() && Downlink_Shown())
        fault = LoRa_Check_Table(TLoRa_Table::Downlink, Grid_Rows(TLoRa_Table::Downlink), MaxPayloadSize,
                                 !FPortFixed);
    if (fault.isEmpty())
        return true;
    ShowMessage(MessageKind::Error, fault, MessageButtons::Ok);
    return false;
}

void TFLoRa_Set_Access::Btn_OKClick(QObject*)
{
    if (!Controllo_dati())
        return;
    if (uplink_not_shown_ > 0
        && ShowMessage(MessageKind::Confirmation,
                       LoRa_Too_Many_Rules_Question(uplink_in_file_, ECG_LoRa_Uplink->RowCount() - 1),
                       MessageButtons::YesNo)
               != MessageAnswer::Yes)
        return;
    QString error;
    if (!Save_LoRa_Rules(FileName_LoRaWAN_SetAccess, Rules_To_Save(), &error)) {
        ShowErrorBox(error);
        return;
    }
    SetModalResult(mrOk);
}

void TFLoRa_Set_Access::Btn_DelRowClick(QObject*)
{
    VOruVizizaZezo* grid = Active_Grid();
    const int row = grid->Row();
    if (row < 1)
        return;
    if (ShowMessage(MessageKind::Confirmation, Language_List.value(1249) + QString::number(row),
                    MessageButtons::YesNo)
        == MessageAnswer::Yes)
        Grid_Delete_Row(row, grid);
}

void TFLoRa_Set_Access::Btn_InsRowClick(QObject*)
{
    VOruVizizaZezo* grid = Active_Grid();
    Grid_Insert_Row(grid->Row(), grid, true);
}

void TFLoRa_Set_Access::Btn_CopyRowClick(QObject*)
{
    VOruVizizaZezo* grid = Active_Grid();
    Grid_Copy_Row(grid, grid->Row());
    Do_Copy_Uplink = grid == ECG_LoRa_Uplink;
    Do_Copy_Downlink = !Do_Copy_Uplink;
}

void TFLoRa_Set_Access::Btn_PasteRowClick(QObject*)
{
    VOruVizizaZezo* grid = Active_Grid();
    Grid_Paste_Row(grid, grid->Row(), grid == ECG_LoRa_Uplink ? Do_Copy_Uplink : Do_Copy_Downlink);
}

void TFLoRa_Set_Access::ClickCell(QObject* sender, int row, int col)
{
    auto* grid = dynamic_cast<VOruVizizaZezo*>(sender);
    if (grid && col == 0 && row >= 1)
        grid->SelectRows(row, 1);
}

void TFLoRa_Set_Access::DblClickCell(QObject* sender, int row, int col) { Grid_DblClick_AutoSize(sender, row, col); }

void TFLoRa_Set_Access::GridHint(QObject* sender, int row, int col, QString& hint)
{
    hint.clear();
    auto* grid = dynamic_cast<VOruVizizaZezo*>(sender);
    if (!grid || row != 0 || col < 1 || col >= grid->ColCount())
        return;
    // By real column, so that the Mnemonic keeps its hint while FPort is hidden.
    const QStringList& hints = grid == ECG_LoRa_Uplink ? Hint_UpLink : Hint_DownLink;
    const int real = grid->RealColIndex(col);
    if (real >= 1 && real <= hints.size())
        hint = hints[real - 1];
}

void TFLoRa_Set_Access::KeyPress(QObject* sender, QChar& key) { Grid_Enter_Next_Cell(sender, key); }
