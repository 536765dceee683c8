#include "protocols/UOPC_UA_Add_Server.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "widgets/LbButton.h"

using namespace platform;

TFOPC_UA_Add_Server* FOPC_UA_Add_Server = nullptr;

namespace {

QString Text(int entry) { return Language_List.value(entry); }

constexpr int kLeft = 10, kWidth = 385, kLabel = 16, kGap = 6;

} // namespace

TFOPC_UA_Add_Server::TFOPC_UA_Add_Server()
{
    SetName(QStringLiteral("FOPC_UA_Add_Server"));
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(407);
    SetCaption(Text(5600));
    // The controls are built when the window is first needed.
    Build_When_Needed(this, [this] {
        const Title_Panel title = Make_Title_Panel(this);
        P_Title = title.P_Title;
        L_SW_Code = title.L_SW_Code;
        L_SW_Desc = title.L_SW_Desc;
        L_SW_Code->SetCaption(SW_Code);

        CB_OPC_UA_Server_Enable = new TCheckBox(this);
        const auto label = [this] { return new TLabel(this); };
        const auto edit = [this] { return new TEdit(this); };
        const auto choice = [this](const QStringList& items) {
            auto* c = new TComboBox(this);
            c->SetStyle(csDropDown);
            c->SetItems(items);
            return c;
        };
        L_Server_Add = label();
        E_Server_Add = edit();
        L_Auth = label();
        CB_Auth = choice({"Anonymous", "Username and Password", "Certificate"});
        L_User = label();
        E_User = edit();
        L_Pass = label();
        E_Pass = edit();
        // Typed in the open, it could be read over the user's shoulder.
        E_Pass->SetPasswordChar(QLatin1Char('*'));
        L_Certificate = label();
        RE_Certificate = new TRichEdit(this);
        L_Priv_Key = label();
        RE_Priv_Key = new TRichEdit(this);
        L_Sec_Type = label();
        CB_Sec_Type = choice({"None", "Sign", "Sign and Encrypt"});
        L_Sec_Policy = label();
        CB_Sec_Policy = choice({"None", "Basic 128 RSA 15", "Basic 256", "Basic 256 SHA 256",
                                "AES 128 SHA 256 RSA OAEP", "AES 256 SHA 256 RSA PSS"});
        L_Mnemonic = label();
        E_Mnemonic = edit();
        CB_Auth->OnChange = [this](QObject*) { Change_Fields(); };
        CB_Auth->OnSelect = [this](QObject*) { Change_Fields(); };
        CB_Sec_Type->OnChange = [this](QObject*) { Check_Authorization(); };
        CB_Sec_Type->OnSelect = [this](QObject*) { Check_Authorization(); };

        P_Button = new TPanel(this);
        P_Button->SetAlign(alBottom);
        P_Button->SetHeight(40);
        P_Button->SetBevelOuter(bvNone);
        Btn_OK = new TLbButton(P_Button);
        Btn_OK->SetBounds(90, 6, 110, 28);
        Btn_Cancel = new TLbButton(P_Button);
        Btn_Cancel->SetBounds(208, 6, 110, 28);
        Btn_Cancel->SetModalResult(mrCancel);
        Btn_Cancel->SetCancel(true);
        Btn_OK->OnClick = [this](QObject* s) { Btn_OKClick(s); };

        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
        CB_Auth->SetItemIndex(0);
        CB_Sec_Type->SetItemIndex(0);
        CB_Sec_Policy->SetItemIndex(0);
        CB_OPC_UA_Server_Enable->SetChecked(true);
        Change_Fields();
    });
}

TFOPC_UA_Add_Server::~TFOPC_UA_Add_Server()
{
    if (FOPC_UA_Add_Server == this)
        FOPC_UA_Add_Server = nullptr;
}

void TFOPC_UA_Add_Server::Set_Lang()
{
    SetCaption(Text(5600));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Text(5601));
    CB_OPC_UA_Server_Enable->SetCaption(Text(5604));
    CB_OPC_UA_Server_Enable->SetHint(Text(5605));
    struct Pair
    {
        TLabel* label;
        QWidget* field;
    };
    const Pair pairs[] = {{L_Server_Add, E_Server_Add}, {L_Auth, CB_Auth},         {L_User, E_User},
                          {L_Pass, E_Pass},             {L_Certificate, RE_Certificate}, {L_Priv_Key, RE_Priv_Key},
                          {L_Sec_Type, CB_Sec_Type},    {L_Sec_Policy, CB_Sec_Policy}, {L_Mnemonic, E_Mnemonic}};
    for (int i = 0; i < 9; ++i) {
        pairs[i].label->SetCaption(Text(5606 + 2 * i));
        pairs[i].field->setToolTip(Text(5607 + 2 * i));
    }
    Btn_OK->SetCaption(Text(5624));
    Btn_OK->SetHint(Text(5625));
    Btn_Cancel->SetCaption(Text(5626));
    Btn_Cancel->SetHint(Text(5627));
}

void TFOPC_UA_Add_Server::FormShow()
{
    if (FormType == 2) {
        SetCaption(Text(5602));
        L_SW_Desc->SetCaption(Text(5603));
    } else {
        SetCaption(Text(5600));
        L_SW_Desc->SetCaption(Text(5601));
        CB_OPC_UA_Server_Enable->SetChecked(true);
        E_Server_Add->SetText(QString());
        CB_Auth->SetItemIndex(0);
        E_User->SetText(QString());
        E_Pass->SetText(QString());
        RE_Certificate->SetText(QString());
        RE_Priv_Key->SetText(QString());
        CB_Sec_Type->SetItemIndex(0);
        E_Mnemonic->SetText(QString());
    }
    Change_Fields();
    Check_Authorization();
}

void TFOPC_UA_Add_Server::Change_Fields()
{
    const int index = CB_Auth->ItemIndex();
    if (index < 0 || index > 2)
        return;
    const bool user = index == 1, cert = index == 2;
    for (QWidget* w : {static_cast<QWidget*>(L_User), static_cast<QWidget*>(E_User), static_cast<QWidget*>(L_Pass),
                       static_cast<QWidget*>(E_Pass)})
        w->setVisible(user);
    for (QWidget* w : {static_cast<QWidget*>(L_Certificate), static_cast<QWidget*>(RE_Certificate),
                       static_cast<QWidget*>(L_Priv_Key), static_cast<QWidget*>(RE_Priv_Key)})
        w->setVisible(cert);

    int top = P_Title->Height() + kGap;
    CB_OPC_UA_Server_Enable->SetBounds(kLeft, top, kWidth, 20);
    top += 20 + kGap;
    const auto place = [&](TLabel* label, QWidget* field, int height) {
        label->SetBounds(kLeft, top, kWidth, kLabel);
        top += kLabel;
        field->setGeometry(kLeft, top, kWidth, height);
        top += height + kGap;
    };
    place(L_Server_Add, E_Server_Add, 22);
    place(L_Auth, CB_Auth, 22);
    if (user) {
        place(L_User, E_User, 22);
        place(L_Pass, E_Pass, 22);
    }
    if (cert) {
        place(L_Certificate, RE_Certificate, 80);
        place(L_Priv_Key, RE_Priv_Key, 80);
    }
    place(L_Sec_Type, CB_Sec_Type, 22);
    place(L_Sec_Policy, CB_Sec_Policy, 22);
    place(L_Mnemonic, E_Mnemonic, 22);
    SetClientHeight(P_Button->Height() + E_Mnemonic->y() + E_Mnemonic->height() + 15);
}

void TFOPC_UA_Add_Server::Check_Authorization()
{
    if (CB_Sec_Type->ItemIndex() == 0) {
        CB_Sec_Policy->SetItemIndex(0);
        CB_Sec_Policy->setEnabled(false);
    } else {
        CB_Sec_Policy->setEnabled(true);
    }
}

int TFOPC_UA_Add_Server::Auth_Code() const
{
    const int index = CB_Auth->ItemIndex();
    return index >= 0 ? index : OPCUA_Auth_Code(OPCUA_Auth_Name(index));
}

bool TFOPC_UA_Add_Server::Controlla_Dati()
{
    int fault = 0;
    // A typed authorization is stored as the caller's fallback for it, so its
    // credentials are checked as that authorization's.
    const int auth = Auth_Code();
    if (E_Server_Add->Text().trimmed().isEmpty())
        fault = 5628;
    else if (auth == 1 && E_User->Text().trimmed().isEmpty())
        fault = 5629;
    else if (auth == 1 && E_Pass->Text().trimmed().isEmpty())
        fault = 5630;
    else if (auth == 2 && RE_Certificate->Text().trimmed().isEmpty())
        fault = 5631;
    else if (auth == 2 && RE_Priv_Key->Text().trimmed().isEmpty())
        fault = 5632;
    if (fault == 0)
        return true;
    ShowMessage(MessageKind::Error, Text(fault));
    return false;
}

void TFOPC_UA_Add_Server::Btn_OKClick(QObject*)
{
    if (Controlla_Dati())
        SetModalResult(mrOk);
}
