#include "protocols/UOPC_UA_Scan_Server.h"
#include "shell/UComon.h"

#include "shell/ULanguage.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/DynamicLibrary.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "widgets/LbButton.h"

#include <cstddef>
#include <cstring>

using namespace platform;

// The records as this platform lays them out: the library is built for the
// same data model, so both sides must agree on every offset.
static_assert(sizeof(void*) == 8, "the discovery library's records are laid out for 64-bit pointers");
static_assert(sizeof(opcua_server_to_discover) == 56);
static_assert(offsetof(opcua_server_to_discover, user_pass_auth_flag) == 8);
static_assert(offsetof(opcua_server_to_discover, username) == 16);
static_assert(offsetof(opcua_server_to_discover, priv_key) == 40);
static_assert(offsetof(opcua_server_to_discover, security_type) == 48);
static_assert(offsetof(opcua_server_to_discover, security_policy) == 52);
static_assert(sizeof(opcua_structure) == 80);
static_assert(offsetof(opcua_structure, numeric) == 4);
static_assert(offsetof(opcua_structure, stringname) == 8);
static_assert(offsetof(opcua_structure, guide1) == 20);
static_assert(offsetof(opcua_structure, guide4) == 28);
static_assert(offsetof(opcua_structure, byteString) == 40);
static_assert(offsetof(opcua_structure, displayName) == 56);
static_assert(offsetof(opcua_structure, dataType) == 68);
static_assert(offsetof(opcua_structure, accessLevel) == 72);
static_assert(sizeof(TOPC_UA_Guid) == 16);

const char* const OPC_UA_Search_Library = "OPC_UA_Search";

TFOPC_UA_Scan_Server* FOPC_UA_Scan_Server = nullptr;

namespace {

QString Text(int entry) { return Language_List.value(entry); }

// A copy that lives with the browse result; an unreadable text is empty.
const char* Keep(std::vector<std::unique_ptr<QByteArray>>& texts, const char* text)
{
    texts.push_back(std::make_unique<QByteArray>(text ? QByteArray(text) : QByteArray()));
    return texts.back()->constData();
}

} // namespace

TOPC_UA_Browse Browse_OPC_UA_Server(const QString& folder, const opcua_server_to_discover& server)
{
    TOPC_UA_Browse result;
    DynamicLibrary library;
    const QString path = JoinPath(folder, LibraryFileName(QString::fromLatin1(OPC_UA_Search_Library)));
    if (!library.Load(path, &result.Error)) {
        result.Error_Message = 5730;
        return result;
    }
    const auto begin = reinterpret_cast<opcua_client_begin_fn>(library.Symbol("opcua_client_begin"));
    const auto next = reinterpret_cast<opcua_return_variable_fn>(library.Symbol("opcua_return_variable"));
    if (!begin || !next) {
        result.Error_Message = 5731;
        result.Error = path + QStringLiteral(": the entry point \"")
                       + (begin ? QStringLiteral("opcua_return_variable") : QStringLiteral("opcua_client_begin"))
                       + QStringLiteral("\" is missing");
        return result;
    }
    const int32_t count = begin(server);
    for (int32_t i = 0; i < count; ++i) {
        opcua_structure buffer;
        next(&buffer, i);
        // The library's texts go with it: copy them now.
        buffer.stringname = Keep(result.Texts, buffer.stringname);
        buffer.byteString = Keep(result.Texts, buffer.byteString);
        buffer.displayName = Keep(result.Texts, buffer.displayName);
        result.List_Var.push_back(buffer);
    }
    return result;
}

TFOPC_UA_Scan_Server::TFOPC_UA_Scan_Server()
{
    SetName(QStringLiteral("FOPC_UA_Scan_Server"));
    SetBorderStyle(bsSizeable);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(1035);
    SetClientHeight(337);
    SetCaption(Text(5700));
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
        TLbButton** places[] = {&Btn_OK, &Btn_Cancel, &Btn_Select_All_R, &Btn_Clear_All_R, &Btn_Select_All_W,
                                &Btn_Clear_All_W};
        for (int i = 0; i < 6; ++i) {
            *places[i] = new TLbButton(P_Button);
            (*places[i])->SetBounds(8 + i * 118, 6, 110, 28);
        }
        Btn_OK->SetModalResult(mrOk);
        Btn_Cancel->SetModalResult(mrCancel);
        Btn_Cancel->SetCancel(true);
        Btn_Select_All_R->OnClick = [this](QObject*) { Set_Column(1, QStringLiteral("Y")); };
        Btn_Clear_All_R->OnClick = [this](QObject*) { Set_Column(1, QStringLiteral("N")); };
        Btn_Select_All_W->OnClick = [this](QObject*) { Set_Column(2, QStringLiteral("Y")); };
        Btn_Clear_All_W->OnClick = [this](QObject*) { Set_Column(2, QStringLiteral("N")); };

        ECG_OPC_UA_Scan_Var = Make_Column_Grid(this, QStringLiteral("ECG_OPC_UA_Scan_Var"), 9, 1);
        ECG_OPC_UA_Scan_Var->SetAlign(alClient);
        const int widths[9] = {40, 50, 50, 220, 90, 240, 90, 110, 90};
        for (int c = 1; c < 9; ++c)
            Set_Grid_Column(ECG_OPC_UA_Scan_Var, c, widths[c], c <= 2 ? edDataCheckBox : edNormal, {}, c > 2);
        ECG_OPC_UA_Scan_Var->Columns().GetItem(8)->SetHeader(QStringLiteral("Read/Write"));

        LWaiting = new TLabel(this);
        LWaiting->SetBounds(380, 150, 300, 24);
        LWaiting->SetVisible(false);
        LWaiting->raise();
        Timer_Scan = new TTimer(this);
        Timer_Scan->SetInterval(100);
        Timer_Scan->SetEnabled(false);
        Timer_Scan->OnTimer = [this](QObject* s) { Timer_ScanTimer(s); };

        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
        Erase_Table();
    });
}

TFOPC_UA_Scan_Server::~TFOPC_UA_Scan_Server()
{
    if (FOPC_UA_Scan_Server == this)
        FOPC_UA_Scan_Server = nullptr;
}

void TFOPC_UA_Scan_Server::Set_Lang()
{
    SetCaption(Text(5700));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Text(5701));
    Btn_OK->SetCaption(Text(5702));
    Btn_Cancel->SetCaption(Text(5703));
    Btn_Select_All_R->SetCaption(Text(5704));
    Btn_Clear_All_R->SetCaption(Text(5705));
    Btn_Select_All_W->SetCaption(Text(5726));
    Btn_Clear_All_W->SetCaption(Text(5727));
    Btn_OK->SetHint(Text(5706));
    Btn_Cancel->SetHint(Text(5707));
    Btn_Select_All_R->SetHint(Text(5708));
    Btn_Clear_All_R->SetHint(Text(5709));
    Btn_Select_All_W->SetHint(Text(5728));
    Btn_Clear_All_W->SetHint(Text(5729));
    const int headers[8] = {5710, 5711, 5724, 5712, 5713, 5714, 5715, 5716};
    for (int c = 0; c < 8; ++c)
        ECG_OPC_UA_Scan_Var->Columns().GetItem(c)->SetHeader(Text(headers[c]));
    LWaiting->SetCaption(Text(5723));
}

void TFOPC_UA_Scan_Server::Erase_Table()
{
    ECG_OPC_UA_Scan_Var->SetRowCount(2);
    for (int c = 0; c < 9; ++c)
        ECG_OPC_UA_Scan_Var->SetCellEx(c, 1, QString());
}

void TFOPC_UA_Scan_Server::FormShow()
{
    Erase_Table();
    // A server without an address has nothing to browse: showing the last
    // server's variables would hand them to this one.
    List_Var.clear();
    texts_.clear();
    if (Server.server_address && *Server.server_address) {
        LWaiting->SetVisible(true);
        Timer_Scan->SetEnabled(true);
    }
}

void TFOPC_UA_Scan_Server::Timer_ScanTimer(QObject*)
{
    Timer_Scan->SetEnabled(false);
    TOPC_UA_Browse browse = Browse_OPC_UA_Server(Program_Folder, Server);
    if (browse.Error_Message != 0) {
        // The built-in text of these messages is blank: say what happened.
        const QString text = Text(browse.Error_Message).trimmed();
        ShowMessage(MessageKind::Error, text.isEmpty() ? browse.Error : text);
        return;
    }
    List_Var = std::move(browse.List_Var);
    texts_ = std::move(browse.Texts);
    LWaiting->SetVisible(false);
    Show_Variables_List();
}

void TFOPC_UA_Scan_Server::Show_Variables_List()
{
    Erase_Table();
    if (List_Var.empty())
        return;
    VOruVizizaZezo* g = ECG_OPC_UA_Scan_Var;
    g->SetRowCount(static_cast<int>(List_Var.size()) + 1);
    for (size_t i = 0; i < List_Var.size(); ++i) {
        const opcua_structure& v = List_Var[i];
        const int r = static_cast<int>(i) + 1;
        const bool both = v.accessLevel == 0;
        g->SetCellEx(0, r, QString::number(r));
        g->SetCellEx(1, r, both || (v.accessLevel & 1) ? "Y" : "N");
        g->SetCellEx(2, r, both || (v.accessLevel & 2) ? "Y" : "N");
        g->SetCellEx(3, r, DecodeWindows1252(QByteArray(v.displayName ? v.displayName : "")));
        g->SetCellEx(4, r, OPCUA_NodeType_Name(v.identifierType));
        g->SetCellEx(5, r, OPCUA_NodeId_Text(v));
        g->SetCellEx(6, r, OPCUA_DataType_Name(v.dataType));
        g->SetCellEx(7, r, QString::number(v.nameSpaceIndex));
        g->SetCellEx(8, r, v.accessLevel == 1 ? QStringLiteral("Read")
                           : v.accessLevel == 2 ? QStringLiteral("Write")
                                                : QStringLiteral("Read/Write"));
    }
}

void TFOPC_UA_Scan_Server::Set_Column(int col, const QString& text)
{
    for (size_t i = 0; i < List_Var.size(); ++i)
        ECG_OPC_UA_Scan_Var->SetCellEx(col, static_cast<int>(i) + 1, text);
}

bool TFOPC_UA_Scan_Server::Ticked(int entry, int col) const
{
    return ECG_OPC_UA_Scan_Var->GetCellEx(col, entry + 1) == QLatin1String("Y");
}
