#include "mbus/UInsertKeyWireless.h"
#include "shell/UComon.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "shell/ULanguage.h"
#include "widgets/LbButton.h"

TFInsertKeyWireless* FInsertKeyWireless = nullptr;

using namespace platform;

TFInsertKeyWireless::TFInsertKeyWireless()
{
    SetName(QStringLiteral("FInsertKeyWireless"));
    SetBorderStyle(bsNone);
    SetClientWidth(481);
    SetClientHeight(47);

    // Built when first needed, in the language the program started with,
    // which this window keeps.
    Build_When_Needed_In_Start_Language(this, [this] {
        Shape1 = new TShape(this);
        Shape1->SetName(QStringLiteral("Shape1"));
        Shape1->SetAlign(alClient);
        L_InsKey = new TLabel(this);
        L_InsKey->SetName(QStringLiteral("L_InsKey"));
        L_InsKey->SetBounds(10, 16, 110, 14);
        L_InsKey->SetTransparent(true);
        E_Key = new TEdit(this);
        E_Key->SetName(QStringLiteral("E_Key"));
        E_Key->SetBounds(122, 13, 250, 21);
        E_Key->SetMaxLength(32);
        E_Key->SetCharCase(ecUpperCase);
        Btn_OK = new TLbButton(this);
        Btn_OK->SetName(QStringLiteral("Btn_OK"));
        Btn_OK->SetBounds(380, 11, 44, 25);
        Btn_OK->SetDefault(true);
        Btn_OK->OnClick = [this](QObject*) { Btn_OKClick(); };
        Btn_Cancel = new TLbButton(this);
        Btn_Cancel->SetName(QStringLiteral("Btn_Cancel"));
        Btn_Cancel->SetBounds(428, 11, 44, 25);
        Btn_Cancel->SetModalResult(mrCancel);
        Btn_Cancel->SetCancel(true);
        Set_Lang();
    });
}

TFInsertKeyWireless::~TFInsertKeyWireless()
{
    if (FInsertKeyWireless == this)
        FInsertKeyWireless = nullptr;
}

void TFInsertKeyWireless::Set_Lang()
{
    L_InsKey->SetCaption(Language_List.value(2300));
    Btn_OK->SetCaption(Language_List.value(2301));
    Btn_Cancel->SetCaption(Language_List.value(2302));
}

bool TFInsertKeyWireless::Check_Data(const QString& Text)
{
    for (const QChar c : Text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return false;
    return true;
}

void TFInsertKeyWireless::Btn_OKClick()
{
    const QString key = E_Key->Text();
    if (key.size() != 32) {
        ShowMessage(MessageKind::Error, Language_List.value(2304));
        return;
    }
    if (!Check_Data(key)) {
        ShowMessage(MessageKind::Error, Language_List.value(2303));
        return;
    }
    SetModalResult(mrOk);
}
