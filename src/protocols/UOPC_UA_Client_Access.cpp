#include "protocols/UOPC_UA_Client_Access.h"
#include "protocols/UOPC_UA_Add_Server.h"
#include "protocols/UOPC_UA_Scan_Server.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "widgets/LbButton.h"

#include <QApplication>

using namespace platform;

TFOPC_UA_Client_Access* FOPC_UA_Client_Access = nullptr;

namespace {

QString Text(int entry) { return Language_List.value(entry); }

constexpr int kVarRows = 1024;
const QStringList kNodeTypes = {"Numeric", "String", "Guid", "ByteString"};
const QStringList kVarTypes = {"Boolean", "Int8",   "UInt8", "Int16",  "UInt16",   "Int32", "UInt32",    "Int64",
                               "UInt64",  "Float", "Double", "String", "DateTime", "Guid",  "ByteString"};

void Variable_Columns(VOruVizizaZezo* grid)
{
    Set_Grid_Column(grid, 1, 50, edDataCheckBox);
    Set_Grid_Column(grid, 2, 180, edNormal);
    Set_Grid_Column(grid, 3, 80, edComboList, kNodeTypes);
    Set_Grid_Column(grid, 4, 200, edNormal);
    Set_Grid_Column(grid, 5, 80, edComboList, kVarTypes);
    Set_Grid_Column(grid, 6, 80, edNormal);
}

bool Inside(const QWidget* grid, const QWidget* w) { return w && (w == grid || grid->isAncestorOf(w)); }

} // namespace

TFOPC_UA_Client_Access::TFOPC_UA_Client_Access()
{
    SetName(QStringLiteral("FOPC_UA_Client_Access"));
    SetBorderStyle(bsSizeable);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(1150);
    SetClientHeight(660);
    SetCaption(Text(5400));
    // The controls are built when the window is first needed.
    Build_When_Needed(this, [this] {
        const Title_Panel title = Make_Title_Panel(this);
        P_Title = title.P_Title;
        L_SW_Code = title.L_SW_Code;
        L_SW_Desc = title.L_SW_Desc;
        L_SW_Code->SetCaption(SW_Code);

        P_Button = new TPanel(this);
        P_Button->SetAlign(alBottom);
        P_Button->SetHeight(40);
        P_Button->SetBevelOuter(bvNone);
        TLbButton** rowButtons[] = {&Btn_OK, &Btn_Cancel, &Btn_DelRow, &Btn_InsRow, &Btn_CopyRow, &Btn_PasteRow};
        for (int i = 0; i < 6; ++i) {
            *rowButtons[i] = new TLbButton(P_Button);
            (*rowButtons[i])->SetBounds(8 + i * 118, 6, 110, 28);
        }
        Btn_Cancel->SetModalResult(mrCancel);
        Btn_Cancel->SetCancel(true);
        Btn_OK->OnClick = [this](QObject* s) { Btn_OKClick(s); };
        Btn_DelRow->OnClick = [this](QObject* s) { Btn_DelRowClick(s); };
        Btn_InsRow->OnClick = [this](QObject* s) { Btn_InsRowClick(s); };
        Btn_CopyRow->OnClick = [this](QObject* s) { Btn_CopyRowClick(s); };
        Btn_PasteRow->OnClick = [this](QObject* s) { Btn_PasteRowClick(s); };

        // Upper half: the servers and their buttons.
        auto* servers = new TPanel(this);
        servers->SetAlign(alTop);
        servers->SetHeight(220);
        servers->SetBevelOuter(bvNone);
        auto* serverBar = new TPanel(servers);
        serverBar->SetAlign(alTop);
        serverBar->SetHeight(34);
        serverBar->SetBevelOuter(bvNone);
        L_Server_List = new TLabel(serverBar);
        L_Server_List->SetBounds(8, 9, 200, 18);
        TLbButton** serverButtons[] = {&Btn_Add, &Btn_Modify, &Btn_Delete, &Btn_Scan, &Btn_AutoPosition};
        for (int i = 0; i < 5; ++i) {
            *serverButtons[i] = new TLbButton(serverBar);
            (*serverButtons[i])->SetBounds(220 + i * 100, 3, 92, 28);
        }
        Btn_Add->OnClick = [this](QObject*) { Add_Server(); };
        Btn_Modify->OnClick = [this](QObject*) { Modify_Server(); };
        Btn_Delete->OnClick = [this](QObject*) { Delete_Server(); };
        Btn_Scan->OnClick = [this](QObject*) { Scan_Server(); };
        Btn_AutoPosition->OnClick = [this](QObject* s) { Btn_AutoPositionClick(s); };

        ECG_OPC_UA_Server = Make_Column_Grid(servers, QStringLiteral("ECG_OPC_UA_Server"), 11, 1);
        ECG_OPC_UA_Server->SetOptions((ECG_OPC_UA_Server->Options() | goRowSelect) & ~goEditing);
        Set_Grid_Column(ECG_OPC_UA_Server, 1, 50, edDataCheckBox);
        const int widths[] = {200, 130, 90, 80, 100, 100, 100, 130, 150};
        for (int c = 2; c <= 10; ++c)
            Set_Grid_Column(ECG_OPC_UA_Server, c, widths[c - 2], edNormal);
        for (int c = 1; c <= 10; ++c)
            ECG_OPC_UA_Server->Columns().GetItem(c)->SetReadOnly(true);
        ECG_OPC_UA_Server->OnClickCell = [this](QObject*, int row, int) {
            if (row >= 1) {
                Commit_Grids();
                Show_OPC_UA_Var_List();
            }
        };
        ECG_OPC_UA_Server->OnDblClickCell = [this](QObject*, int row, int) {
            if (row >= 0 && row < ECG_OPC_UA_Server->RowCount() && (row == 0 || Selected_Server() >= 0))
                Modify_Server();
            else
                Add_Server();
        };

        // Lower half: the variables of the selected server.
        auto* variables = new TPanel(this);
        variables->SetAlign(alClient);
        variables->SetBevelOuter(bvNone);
        L_Var_List = new TLabel(variables);
        L_Var_List->SetAlign(alTop);
        L_Var_List->SetHeight(22);
        L_Var_List->SetLayout(tlCenter);
        PC_Var = new TPageControl(variables);
        PC_Var->SetAlign(alClient);
        TS_OPC_UA_Var_Read = PC_Var->AddPage(QStringLiteral("Variables in Read"));
        TS_OPC_UA_Var_Write = PC_Var->AddPage(QStringLiteral("Variables in Write"));
        ECG_OPC_UA_Var_R = Make_Column_Grid(TS_OPC_UA_Var_Read, QStringLiteral("ECG_OPC_UA_Var_R"), 10, kVarRows);
        ECG_OPC_UA_Var_W = Make_Column_Grid(TS_OPC_UA_Var_Write, QStringLiteral("ECG_OPC_UA_Var_W"), 13, kVarRows);
        for (VOruVizizaZezo* grid : {ECG_OPC_UA_Var_R, ECG_OPC_UA_Var_W}) {
            grid->SetOptions(grid->Options() | goEditing);
            Variable_Columns(grid);
        }
        Set_Grid_Column(ECG_OPC_UA_Var_R, 7, 70, edNormal);
        Set_Grid_Column(ECG_OPC_UA_Var_R, 8, 70, edNormal);
        Set_Grid_Column(ECG_OPC_UA_Var_R, 9, 160, edNormal);
        for (int c : {7, 8, 9})
            Set_Grid_Column(ECG_OPC_UA_Var_W, c, 65, edDataCheckBox);
        Set_Grid_Column(ECG_OPC_UA_Var_W, 10, 70, edNormal);
        Set_Grid_Column(ECG_OPC_UA_Var_W, 11, 70, edNormal);
        Set_Grid_Column(ECG_OPC_UA_Var_W, 12, 160, edNormal);

        for (VOruVizizaZezo* grid : {ECG_OPC_UA_Server, ECG_OPC_UA_Var_R, ECG_OPC_UA_Var_W}) {
            grid->SetAlign(alClient);
            grid->SetShowHint(true);
            grid->OnGridHint = [this, grid](QObject*, int row, int col, QString& hint) {
                const QStringList& list = grid == ECG_OPC_UA_Server ? Hint_Server_List
                                          : grid == ECG_OPC_UA_Var_R ? Hint_Var_R_List
                                                                     : Hint_Var_W_List;
                hint = row == 0 && col >= 1 ? list.value(col - 1) : QString();
            };
            if (grid == ECG_OPC_UA_Server)
                continue;
            grid->OnClickCell = [grid](QObject*, int row, int col) {
                if (col == 0 && row >= 1)
                    grid->SetRowSelect(row, true);
            };
            grid->OnDblClickCell = [](QObject* s, int row, int col) { Grid_DblClick_AutoSize(s, row, col); };
            grid->OnKeyPress = [](QObject* s, QChar& key) { Grid_Enter_Next_Cell(s, key); };
        }
        // The focus entering or leaving a variable grid (its editor included)
        // ties the grid to a server and copies it back.
        QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget* from, QWidget* to) {
            for (VOruVizizaZezo* grid : {ECG_OPC_UA_Var_R, ECG_OPC_UA_Var_W}) {
                if (!Inside(grid, from) && Inside(grid, to))
                    ECG_OPC_UA_Var_Enter(grid);
                else if (Inside(grid, from) && !Inside(grid, to))
                    ECG_OPC_UA_Var_Exit(grid);
            }
        });

        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
    });
}

TFOPC_UA_Client_Access::~TFOPC_UA_Client_Access()
{
    if (FOPC_UA_Client_Access == this)
        FOPC_UA_Client_Access = nullptr;
}

void TFOPC_UA_Client_Access::Set_Lang()
{
    SetCaption(Text(5400));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Text(5401));
    L_Server_List->SetCaption(Text(5402));
    TLbButton* const server[] = {Btn_Add, Btn_Modify, Btn_Delete, Btn_Scan};
    for (int i = 0; i < 4; ++i) {
        server[i]->SetCaption(Text(5403 + i));
        server[i]->SetHint(Text(5407 + i));
    }
    Btn_AutoPosition->SetCaption(QStringLiteral("Auto Pos"));
    for (int c = 0; c <= 10; ++c)
        ECG_OPC_UA_Server->Columns().GetItem(c)->SetHeader(Text(5411 + c));
    Hint_Server_List.clear();
    for (int e = 5422; e <= 5431; ++e)
        Hint_Server_List << Text(e);
    L_Var_List->SetCaption(Text(5432));
    TLbButton* const rows[] = {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow};
    for (int i = 0; i < 6; ++i) {
        rows[i]->SetCaption(Text(5433 + i));
        rows[i]->SetHint(Text(5439 + i));
    }
    for (int c = 0; c <= 9; ++c)
        ECG_OPC_UA_Var_R->Columns().GetItem(c)->SetHeader(Text(5445 + c));
    Hint_Var_R_List.clear();
    for (int e = 5455; e <= 5463; ++e)
        Hint_Var_R_List << Text(e);
    for (int c = 0; c <= 12; ++c)
        ECG_OPC_UA_Var_W->Columns().GetItem(c)->SetHeader(Text(5464 + c));
    Hint_Var_W_List.clear();
    for (int e : {5477, 5478, 5479, 5480, 5481, 5482, 5484, 5483, 5485, 5486, 5487, 5488})
        Hint_Var_W_List << Text(e);
}

// ---- showing -----------------------------------------------------------------

int TFOPC_UA_Client_Access::Selected_Server() const
{
    const int r = ECG_OPC_UA_Server->Row();
    return r >= 1 && r <= static_cast<int>(OPC_UA_Server_List.size()) ? r - 1 : -1;
}

void TFOPC_UA_Client_Access::Erase_Var_Grid(VOruVizizaZezo* grid)
{
    for (int r = 1; r < grid->RowCount(); ++r) {
        grid->SetCellEx(0, r, QString::number(r));
        grid->SetCellEx(1, r, QStringLiteral("Y"));
        for (int c = 2; c < grid->ColCount(); ++c)
            grid->SetCellEx(c, r, QString());
    }
}

void TFOPC_UA_Client_Access::FormShow()
{
    ECG_OPC_UA_Server->SetRowCount(2);
    for (int c = 0; c < ECG_OPC_UA_Server->ColCount(); ++c)
        ECG_OPC_UA_Server->SetCellEx(c, 1, QString());
    Erase_Var_Grid(ECG_OPC_UA_Var_R);
    Erase_Var_Grid(ECG_OPC_UA_Var_W);
    OPC_UA_Server_List.clear();
    Ind_Server = -1;
    Unread.Clear();
    if (FileExists(FileName_OPC_UA_Client)) {
        QString error;
        QString foreign;
        if (!Load_OPC_UA_Client_File(FileName_OPC_UA_Client, OPC_UA_Server_List, &error, &foreign)) {
            Unread.Add(FileName_OPC_UA_Client, error);
            ShowErrorBox(error);
        } else if (!foreign.isEmpty()) {
            Unread.Add(FileName_OPC_UA_Client, foreign);
        }
    }
    Show_OPC_UA_Server_List();
    Show_OPC_UA_Var_List();
    Do_Copy_Read = Do_Copy_Write = false;
    Ind_Server = -1;
}

void TFOPC_UA_Client_Access::Show_OPC_UA_Server_List()
{
    VOruVizizaZezo* g = ECG_OPC_UA_Server;
    const int n = static_cast<int>(OPC_UA_Server_List.size());
    g->SetRowCount(std::max(n, 1) + 1);
    for (int c = 0; c < g->ColCount(); ++c)
        g->SetCellEx(c, 1, QString());
    for (int i = 0; i < n; ++i) {
        const TOPC_UA_Server& s = *OPC_UA_Server_List[i];
        const QString cells[] = {QString::number(i + 1), s.Enable ? "Y" : "N", s.ServerAddress, s.Authorization,
                                 s.UserName, s.Password, s.Certificate, s.PrivateKey, s.SecurityType,
                                 s.SecurityPolicy, s.Mnemonic};
        for (int c = 0; c < 11; ++c)
            g->SetCellEx(c, i + 1, cells[c]);
    }
}

void TFOPC_UA_Client_Access::Show_OPC_UA_Var_List()
{
    Erase_Var_Grid(ECG_OPC_UA_Var_R);
    Erase_Var_Grid(ECG_OPC_UA_Var_W);
    const int s = Selected_Server();
    if (s < 0)
        return;
    const TOPC_UA_Server& server = *OPC_UA_Server_List[s];
    for (const bool write : {false, true}) {
        VOruVizizaZezo* g = write ? ECG_OPC_UA_Var_W : ECG_OPC_UA_Var_R;
        const auto& list = write ? server.Var_List_W : server.Var_List_R;
        const int shown = std::min(static_cast<int>(list.size()), g->RowCount() - 1);
        for (int i = 0; i < shown; ++i) {
            const TOPC_UA_Variable& v = *list[i];
            QStringList cells = {v.Enable ? "Y" : "N", v.DispalyName, v.NodeType(), v.NodeID(), v.VarType(),
                                 v.NameSpaceText()};
            if (write)
                cells << v.OnChange << v.OnCMD << v.OnTimer;
            cells << v.Time << v.Position << v.Mnemonic;
            for (int c = 1; c <= cells.size(); ++c)
                g->SetCellEx(c, i + 1, cells[c - 1]);
        }
    }
}

// ---- grids and model ---------------------------------------------------------

void TFOPC_UA_Client_Access::ECG_OPC_UA_Var_Enter(VOruVizizaZezo*) { Ind_Server = Selected_Server(); }

void TFOPC_UA_Client_Access::ECG_OPC_UA_Var_Exit(VOruVizizaZezo* grid)
{
    if (Ind_Server >= 0 && Ind_Server < static_cast<int>(OPC_UA_Server_List.size()))
        Save_Variables(grid, *OPC_UA_Server_List[Ind_Server]);
    Ind_Server = -1;
}

void TFOPC_UA_Client_Access::Save_Variables(VOruVizizaZezo* grid, TOPC_UA_Server& server)
{
    const bool write = grid == ECG_OPC_UA_Var_W;
    auto& list = write ? server.Var_List_W : server.Var_List_R;
    // Variables beyond the grid's rows are not shown, so they are kept as they are.
    std::vector<std::unique_ptr<TOPC_UA_Variable>> beyond;
    if (static_cast<int>(list.size()) > grid->RowCount() - 1)
        for (auto it = list.begin() + (grid->RowCount() - 1); it != list.end(); ++it)
            beyond.push_back(std::move(*it));
    list.clear();
    for (int r = 1; r < grid->RowCount(); ++r) {
        const auto cell = [&](int c) { return grid->GetCellEx(c, r); };
        if (cell(2).isEmpty())
            break;
        auto v = std::make_unique<TOPC_UA_Variable>();
        v->Enable = cell(1) == QLatin1String("Y");
        v->DispalyName = cell(2);
        v->SetNodeType(cell(3));
        v->SetNodeID(cell(4));
        v->SetVarType(cell(5));
        v->SetNameSpaceText(cell(6));
        if (write) {
            v->OnChange = cell(7);
            v->OnCMD = cell(8);
            v->OnTimer = cell(9);
            v->Time = cell(10);
            v->Position = cell(11);
            v->Mnemonic = cell(12);
        } else {
            v->OnChange = v->OnCMD = v->OnTimer = QStringLiteral("N");
            v->Time = cell(7);
            v->Position = cell(8);
            v->Mnemonic = cell(9);
        }
        list.push_back(std::move(v));
    }
    if (static_cast<int>(list.size()) == grid->RowCount() - 1)
        for (auto& v : beyond)
            list.push_back(std::move(v));
}

void TFOPC_UA_Client_Access::Commit_Grids()
{
    if (Ind_Server < 0)
        return;
    const int kept = Ind_Server;
    for (VOruVizizaZezo* grid : {ECG_OPC_UA_Var_R, ECG_OPC_UA_Var_W}) {
        Ind_Server = kept;
        ECG_OPC_UA_Var_Exit(grid);
    }
}

VOruVizizaZezo* TFOPC_UA_Client_Access::Active_Var_Grid() const
{
    return PC_Var->ActivePage() == TS_OPC_UA_Var_Write ? ECG_OPC_UA_Var_W : ECG_OPC_UA_Var_R;
}

void TFOPC_UA_Client_Access::After_Row_Operation(VOruVizizaZezo* grid)
{
    const int s = Selected_Server();
    if (s >= 0)
        Save_Variables(grid, *OPC_UA_Server_List[s]);
}

void TFOPC_UA_Client_Access::Btn_DelRowClick(QObject*)
{
    Commit_Grids();
    VOruVizizaZezo* grid = Active_Var_Grid();
    const int row = grid->Row();
    if (ShowMessage(MessageKind::Confirmation, Text(5493) + QString::number(row), MessageButtons::YesNo)
        != MessageAnswer::Yes)
        return;
    Grid_Delete_Row(row, grid);
    After_Row_Operation(grid);
}

void TFOPC_UA_Client_Access::Btn_InsRowClick(QObject*)
{
    Commit_Grids();
    VOruVizizaZezo* grid = Active_Var_Grid();
    if (Grid_Insert_Row(grid->Row(), grid, true))
        After_Row_Operation(grid);
}

void TFOPC_UA_Client_Access::Btn_CopyRowClick(QObject*)
{
    Commit_Grids();
    VOruVizizaZezo* grid = Active_Var_Grid();
    Grid_Copy_Row(grid, grid->Row());
    Do_Copy_Read = grid == ECG_OPC_UA_Var_R;
    Do_Copy_Write = grid == ECG_OPC_UA_Var_W;
}

void TFOPC_UA_Client_Access::Btn_PasteRowClick(QObject*)
{
    Commit_Grids();
    VOruVizizaZezo* grid = Active_Var_Grid();
    if (Grid_Paste_Row(grid, grid->Row(), grid == ECG_OPC_UA_Var_R ? Do_Copy_Read : Do_Copy_Write))
        After_Row_Operation(grid);
}

// ---- servers -----------------------------------------------------------------

namespace {

void Read_Dialog(const TFOPC_UA_Add_Server& d, TOPC_UA_Server& s)
{
    s.Enable = d.CB_OPC_UA_Server_Enable->Checked();
    s.ServerAddress = d.E_Server_Add->Text();
    s.Authorization = OPCUA_Auth_Name(d.CB_Auth->ItemIndex());
    s.UserName = d.E_User->Text();
    s.Password = d.E_Pass->Text();
    s.Certificate = d.RE_Certificate->Text();
    s.PrivateKey = d.RE_Priv_Key->Text();
    s.SecurityType = OPCUA_SecType_Name(d.CB_Sec_Type->ItemIndex());
    s.SecurityPolicy = OPCUA_SecPolicy_Name(d.CB_Sec_Policy->ItemIndex());
    s.Mnemonic = d.E_Mnemonic->Text();
}

TFOPC_UA_Add_Server& Server_Dialog()
{
    if (!FOPC_UA_Add_Server)
        FOPC_UA_Add_Server = new TFOPC_UA_Add_Server();
    // Its fields are filled before it is shown.
    FOPC_UA_Add_Server->BuildNow();
    return *FOPC_UA_Add_Server;
}

TFOPC_UA_Scan_Server& Scan_Dialog()
{
    if (!FOPC_UA_Scan_Server)
        FOPC_UA_Scan_Server = new TFOPC_UA_Scan_Server();
    FOPC_UA_Scan_Server->BuildNow();
    return *FOPC_UA_Scan_Server;
}

} // namespace

void TFOPC_UA_Client_Access::Add_Server()
{
    Commit_Grids();
    TFOPC_UA_Add_Server& d = Server_Dialog();
    d.FormType = 1;
    if (d.ShowModal() == mrOk) {
        auto server = std::make_unique<TOPC_UA_Server>();
        Read_Dialog(d, *server);
        OPC_UA_Server_List.push_back(std::move(server));
    }
    Show_OPC_UA_Server_List();
}

void TFOPC_UA_Client_Access::Modify_Server()
{
    Commit_Grids();
    const int s = Selected_Server();
    if (s < 0)
        return;
    TOPC_UA_Server& server = *OPC_UA_Server_List[s];
    TFOPC_UA_Add_Server& d = Server_Dialog();
    d.FormType = 2;
    d.CB_OPC_UA_Server_Enable->SetChecked(server.Enable);
    d.E_Server_Add->SetText(server.ServerAddress);
    d.CB_Auth->SetItemIndex(OPCUA_Auth_Code(server.Authorization));
    d.E_User->SetText(server.UserName);
    d.E_Pass->SetText(server.Password);
    d.RE_Certificate->SetText(server.Certificate);
    d.RE_Priv_Key->SetText(server.PrivateKey);
    d.CB_Sec_Type->SetItemIndex(OPCUA_SecType_Code(server.SecurityType));
    d.CB_Sec_Policy->SetItemIndex(OPCUA_SecPolicy_Code(server.SecurityPolicy));
    d.E_Mnemonic->SetText(server.Mnemonic);
    if (d.ShowModal() == mrOk)
        Read_Dialog(d, server);
    Show_OPC_UA_Server_List();
}

void TFOPC_UA_Client_Access::Delete_Server()
{
    Commit_Grids();
    const int s = Selected_Server();
    if (s < 0)
        return;
    if (ShowMessage(MessageKind::Confirmation, Text(5489), MessageButtons::YesNoCancel) != MessageAnswer::Yes)
        return;
    OPC_UA_Server_List.erase(OPC_UA_Server_List.begin() + s);
    Show_OPC_UA_Server_List();
    Show_OPC_UA_Var_List();
}

void TFOPC_UA_Client_Access::Scan_Server()
{
    Commit_Grids();
    const int s = Selected_Server();
    if (s < 0) {
        ShowMessage(MessageKind::Error, Text(5490));
        return;
    }
    TOPC_UA_Server& server = *OPC_UA_Server_List[s];
    // The library reads 8-bit texts; these live until the dialog has closed.
    const QByteArray address = EncodeWindows1252(server.ServerAddress), user = EncodeWindows1252(server.UserName),
                     password = EncodeWindows1252(server.Password), cert = EncodeWindows1252(server.Certificate),
                     key = EncodeWindows1252(server.PrivateKey);
    TFOPC_UA_Scan_Server& d = Scan_Dialog();
    d.Server.server_address = address.constData();
    d.Server.username = user.constData();
    d.Server.password = password.constData();
    d.Server.cert = cert.constData();
    d.Server.priv_key = key.constData();
    d.Server.user_pass_auth_flag = OPCUA_Auth_Code(server.Authorization);
    d.Server.security_type = OPCUA_SecType_Code(server.SecurityType);
    d.Server.security_policy = OPCUA_SecPolicy_Code(server.SecurityPolicy);
    const TModalResult result = d.ShowModal();
    d.Server = opcua_server_to_discover();
    if (result != mrOk || d.List_Var.empty())
        return;
    for (const bool write : {false, true}) {
        auto& list = write ? server.Var_List_W : server.Var_List_R;
        if (!list.empty()) {
            const MessageAnswer answer =
                ShowMessage(MessageKind::Confirmation, Text(write ? 5492 : 5491), MessageButtons::YesNoCancel);
            if (answer == MessageAnswer::Cancel)
                continue;
            if (answer == MessageAnswer::No)
                list.clear();
        }
        for (size_t i = 0; i < d.List_Var.size(); ++i)
            if (d.Ticked(static_cast<int>(i), write ? 2 : 1)) {
                auto v = std::make_unique<TOPC_UA_Variable>();
                v->Take_Found(d.List_Var[i]);
                list.push_back(std::move(v));
            }
    }
    Show_OPC_UA_Var_List();
}

void TFOPC_UA_Client_Access::Btn_AutoPositionClick(QObject*)
{
    Commit_Grids();
    const int s = Selected_Server();
    if (s < 0)
        return;
    if (ShowMessage(MessageKind::Confirmation, Text(5494), MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    Auto_Position(OPC_UA_Server_List, s);
    Show_OPC_UA_Var_List();
}

bool TFOPC_UA_Client_Access::Controllo_Dati()
{
    const QString fault = Check_OPC_UA_Client(OPC_UA_Server_List);
    if (fault.isEmpty())
        return true;
    ShowMessage(MessageKind::Error, fault);
    return false;
}

void TFOPC_UA_Client_Access::Btn_OKClick(QObject*)
{
    Commit_Grids();
    if (!Controllo_Dati() || !Consent_To_Replace(Unread))
        return;
    QString error;
    if (!WriteFileAtomically(FileName_OPC_UA_Client, OPC_UA_Client_File_Bytes(OPC_UA_Server_List), &error)) {
        ShowErrorBox(error);
        return;
    }
    Unread.Clear();
    SetModalResult(mrOk);
}
