#include "shell/UOpenConf.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "platform/Controls.h"
#include "platform/FileSystem.h"
#include "widgets/LbButton.h"

TFOpenConf* FOpenConf = nullptr;

using namespace platform;

TFOpenConf::TFOpenConf()
{
    SetName(QStringLiteral("FOpenConf"));
    SetBorderStyle(bsSizeable);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(377);
    SetClientHeight(351);
    SetCaption(Language_List.value(200));
    // The controls are built when the window is first needed.
    Build_When_Needed(this, [this] {
        const Title_Panel title = Make_Title_Panel(this);
        P_Title = title.P_Title;
        L_SW_Code = title.L_SW_Code;
        L_SW_Desc = title.L_SW_Desc;

        Label1 = new TLabel(this);
        Label1->SetBounds(16, 60, 340, 14);

        const Button_Panel buttons = Make_Button_Panel(this);
        P_Button = buttons.P_Button;
        Btn_OK = buttons.Btn_OK;
        Btn_Cancel = buttons.Btn_Cancel;
        Btn_OK->SetModalResult(mrOk);

        ListBox1 = new TListBox(this);
        ListBox1->SetBounds(16, 78, 345, 351 - 78 - 48 - 8);
        ListBox1->SetAnchors(akLeft | akTop | akRight | akBottom);
        ListBox1->OnClick = [this](QObject* sender) { ListBox1Click(sender); };

        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
    });
}

void TFOpenConf::Set_Lang()
{
    SetCaption(Language_List.value(200));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Language_List.value(201));
    Label1->SetCaption(Language_List.value(202));
    Btn_OK->SetCaption(Language_List.value(203));
    Btn_Cancel->SetCaption(Language_List.value(204));
    ListBox1->SetHint(Language_List.value(205));
    Btn_OK->SetHint(Language_List.value(206));
    Btn_Cancel->SetHint(Language_List.value(207));
}

void TFOpenConf::Load_Existing_Configuration()
{
    // Hidden folders are not configurations.
    SL = ListSubFolders(Projects_Folder);
}

int TFOpenConf::Search_Open_Conf(const QString& name) const
{
    for (int i = 0; i < SL.size(); ++i)
        if (SL[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TFOpenConf::FormShow()
{
    Load_Existing_Configuration();
    ListBox1->Clear();
    ListBox1->SetItems(SL);
    // The open configuration is the part of Project_Folder after PROJECTS.
    QString open;
    const QString prefix = Projects_Folder + QLatin1Char('/');
    if (Project_Folder.startsWith(prefix))
        open = Project_Folder.mid(prefix.size());
    const int found = open.isEmpty() ? -1 : Search_Open_Conf(open);
    if (found >= 0) {
        ListBox1->SetItemIndex(found);
        Name_Conf = SL[found];
    } else if (!SL.isEmpty()) {
        ListBox1->SetItemIndex(0);
        Name_Conf = SL[0];
    } else {
        Name_Conf.clear();
    }
}

void TFOpenConf::ListBox1Click(QObject*)
{
    const int index = ListBox1->ItemIndex();
    if (index >= 0)
        Name_Conf = ListBox1->Item(index);
}
