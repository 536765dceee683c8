#include "protocols/UTopicTemplate.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "grid/ExGrid.h"
#include "platform/Controls.h"
#include "widgets/LbButton.h"

TFTopicTemplate* FTopicTemplate = nullptr;

using namespace platform;

TFTopicTemplate::TFTopicTemplate()
{
    SetName(QStringLiteral("FTopicTemplate"));
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(560);
    SetClientHeight(420);
    SetCaption(Language_List.value(5300));
    // The controls are built when the window is first needed.
    Build_When_Needed(this, [this] {
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
        Btn_OK->OnClick = [this](QObject*) { SetModalResult(mrOk); };

        RE_TopicTemplate = new TRichEdit(this);
        RE_TopicTemplate->SetName(QStringLiteral("RE_TopicTemplate"));
        RE_TopicTemplate->SetBounds(12, 58, 536, 150);
        // A template is text: what is pasted into it keeps no formatting.
        RE_TopicTemplate->setAcceptRichText(false);
        RE_TopicTemplate->SetScrollBars(TScrollStyle::ssBoth);

        L_Keywords = new TLabel(this);
        L_Keywords->SetName(QStringLiteral("L_Keywords"));
        L_Keywords->SetBounds(12, 216, 300, 14);
        L_Keywords->SetTransparent(true);

        ESG_Keywords = new TExStringGrid(this);
        ESG_Keywords->SetName(QStringLiteral("ESG_Keywords"));
        ESG_Keywords->SetBounds(12, 234, 536, 130);
        ESG_Keywords->SetColCount(2);
        ESG_Keywords->SetFixedCols(0);
        ESG_Keywords->SetRowCount(2);
        ESG_Keywords->SetFixedRows(1);
        ESG_Keywords->SetOptions(ESG_Keywords->Options() | goEditing);
        ESG_Keywords->SetColWidths(0, 150);
        ESG_Keywords->SetColWidths(1, 380);

        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
    });
}

TFTopicTemplate::~TFTopicTemplate()
{
    if (FTopicTemplate == this)
        FTopicTemplate = nullptr;
}

void TFTopicTemplate::Set_Lang()
{
    SetCaption(Language_List.value(5300));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Language_List.value(5302));
    L_Keywords->SetCaption(Language_List.value(5304));
    ESG_Keywords->SetCellEx(0, 0, Language_List.value(5305));
    ESG_Keywords->SetCellEx(1, 0, Language_List.value(5306));
    Btn_OK->SetCaption(Language_List.value(5307));
    Btn_Cancel->SetCaption(Language_List.value(5308));
}

void TFTopicTemplate::FormShow()
{
    SetCaption(Language_List.value(TopicTemplate != 0 ? 5301 : 5300));
    L_SW_Desc->SetCaption(Language_List.value(TopicTemplate != 0 ? 5303 : 5302));
    Laod_Keywords();
    if (RE_TopicTemplate->CanFocus())
        RE_TopicTemplate->SetFocus();
}

void TFTopicTemplate::Laod_Keywords()
{
    // No mode lists keywords yet: one empty row, nothing reads it back.
    ESG_Keywords->SetRowCount(2);
    ESG_Keywords->SetCellEx(0, 1, QString());
    ESG_Keywords->SetCellEx(1, 1, QString());
    ESG_Keywords->SetReadOnly(0, 1, false);
    ESG_Keywords->SetReadOnly(1, 1, true);
}
