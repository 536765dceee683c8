#include "mbus/UScanModbusStart.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/NumberText.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "widgets/LbButton.h"

TFScanModbusStart* FScanModbusStart = nullptr;

using namespace platform;

TFScanModbusStart::TFScanModbusStart()
{
    SetName(QStringLiteral("FScanModbusStart"));
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(331);
    SetClientHeight(162);
    SetCaption(Language_List.value(2200));
    // Built when first needed, in the language the program started with,
    // which this window keeps.
    Build_When_Needed_In_Start_Language(this, [this] {
        const Title_Panel title = Make_Title_Panel(this);
        P_Title = title.P_Title;
        L_SW_Code = title.L_SW_Code;
        L_SW_Desc = title.L_SW_Desc;
        const Button_Panel buttons = Make_Button_Panel(this);
        P_Button = buttons.P_Button;
        Btn_OK = buttons.Btn_OK;
        Btn_Cancel = buttons.Btn_Cancel;
        Btn_OK->SetName(QStringLiteral("Btn_OK"));
        Btn_Cancel->SetName(QStringLiteral("Btn_Cancel"));
        Btn_OK->OnClick = [this](QObject*) { Btn_OKClick(); };

        L_StartModAdd = new TLabel(this);
        L_StartModAdd->SetName(QStringLiteral("L_StartModAdd"));
        L_StartModAdd->SetBounds(12, 64, 310, 14);
        L_StartModAdd->SetTransparent(true);
        E_StartModAdd = new TEdit(this);
        E_StartModAdd->SetName(QStringLiteral("E_StartModAdd"));
        E_StartModAdd->SetBounds(12, 84, 120, 21);
        E_StartModAdd->SetText(QStringLiteral("1"));
        Set_Lang();
    });
}

TFScanModbusStart::~TFScanModbusStart()
{
    if (FScanModbusStart == this)
        FScanModbusStart = nullptr;
}

void TFScanModbusStart::Set_Lang()
{
    SetCaption(Language_List.value(2200));
    if (!Built())
        return;
    L_SW_Code->SetCaption(Language_List.value(2201));
    L_SW_Desc->SetCaption(Language_List.value(2202));
    L_StartModAdd->SetCaption(Language_List.value(2203));
    Btn_OK->SetCaption(Language_List.value(2204));
    Btn_Cancel->SetCaption(Language_List.value(2205));
}

void TFScanModbusStart::Btn_OKClick()
{
    const int value = ParseDecimal(E_StartModAdd->Text()).value_or(-1);
    if (value < 1 || value > 65535) {
        ShowMessage(MessageKind::Error, Language_List.value(2206));
        return;
    }
    StartModAdd = value;
    SetModalResult(mrOk);
}
