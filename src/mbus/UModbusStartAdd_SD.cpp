#include "mbus/UModbusStartAdd_SD.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/NumberText.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "widgets/LbButton.h"

TFModbusStartAdd_SD* FModbusStartAdd_SD = nullptr;

using namespace platform;

TFModbusStartAdd_SD::TFModbusStartAdd_SD()
{
    SetName(QStringLiteral("FModbusStartAdd_SD"));
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(511);
    SetClientHeight(336);
    SetCaption(Language_List.value(2400));
    // Built when first needed, in the language the program started with,
    // which this window keeps.
    Build_When_Needed_In_Start_Language(this, [this] {
        const Title_Panel title = Make_Title_Panel(this);
        P_Title = title.P_Title;
        L_SW_Code = title.L_SW_Code;
        L_SW_Desc = title.L_SW_Desc;
        L_SW_Code->SetCaption(SW_Code);
        const Button_Panel buttons = Make_Button_Panel(this);
        P_Button = buttons.P_Button;
        Btn_OK = buttons.Btn_OK;
        Btn_Cancel = buttons.Btn_Cancel;
        Btn_OK->SetName(QStringLiteral("Btn_OK"));
        Btn_Cancel->SetName(QStringLiteral("Btn_Cancel"));
        Btn_OK->OnClick = [this](QObject*) { Btn_OKClick(); };

        Panel1 = new TPanel(this);
        Panel1->SetName(QStringLiteral("Panel1"));
        Panel1->SetAlign(alBottom);
        Panel1->SetHeight(56);
        Panel1->SetBevelOuter(bvNone);
        CB_En_NodeState = new TCheckBox(Panel1);
        CB_En_NodeState->SetName(QStringLiteral("CB_En_NodeState"));
        CB_En_NodeState->SetBounds(16, 6, 300, 19);
        CB_En_IndNum = new TCheckBox(Panel1);
        CB_En_IndNum->SetName(QStringLiteral("CB_En_IndNum"));
        CB_En_IndNum->SetBounds(16, 30, 300, 19);

        sga = new VOruVizizaZezo(this);
        sga->SetName(QStringLiteral("sga"));
        sga->SetAlign(alClient);
        sga->SetColCount(2);
        sga->SetRowCount(31);
        sga->SetFixedRows(1);
        sga->SetFixedCols(0);
        sga->SetOptions(sga->Options() | goEditing);
        for (int c = 0; c < 2; ++c)
            sga->Columns().GetItem(c)->SetWidth(200);
        sga->Columns().GetItem(0)->SetReadOnly(true);
        Set_Lang();
    });
}

TFModbusStartAdd_SD::~TFModbusStartAdd_SD()
{
    if (FModbusStartAdd_SD == this)
        FModbusStartAdd_SD = nullptr;
}

void TFModbusStartAdd_SD::Set_Lang()
{
    SetCaption(Language_List.value(2400));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Language_List.value(2401));
    CB_En_NodeState->SetCaption(Language_List.value(2402));
    CB_En_IndNum->SetCaption(Language_List.value(2403));
    sga->Columns().GetItem(0)->SetHeader(Language_List.value(2404));
    sga->Columns().GetItem(1)->SetHeader(Language_List.value(2405));
    Btn_OK->SetCaption(Language_List.value(2406));
    Btn_Cancel->SetCaption(Language_List.value(2407));
}

bool TFModbusStartAdd_SD::Check_Data()
{
    for (int row = 1; row < sga->RowCount(); ++row) {
        const QString text = sga->GetCellEx(1, row);
        int message = 0;
        if (text.isEmpty())
            message = 2409;
        else if (const int v = ParseDecimal(text).value_or(-1); v < 1 || v > 59999)
            message = 2410;
        if (message) {
            ShowMessage(MessageKind::Error, Language_List.value(2408) + QString::number(row) + Language_List.value(message));
            return false;
        }
    }
    return true;
}

void TFModbusStartAdd_SD::Btn_OKClick()
{
    if (Check_Data())
        SetModalResult(mrOk);
}
