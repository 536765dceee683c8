#include "shell/UNew_Project.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/UShell_Services.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "widgets/LbButton.h"

TFNew_Project* FNew_Project = nullptr;

using namespace platform;

TFNew_Project::TFNew_Project()
{
    SetName(QStringLiteral("FNew_Project"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(331);
    SetClientHeight(162);
    SetCaption(Language_List.value(100));
    // The controls are built when the window is first needed.
    Build_When_Needed(this, [this] {
        const Title_Panel title = Make_Title_Panel(this);
        P_Title = title.P_Title;
        L_SW_Code = title.L_SW_Code;
        L_SW_Desc = title.L_SW_Desc;

        Label1 = new TLabel(this);
        Label1->SetBounds(16, 62, 290, 14);
        E_New_Proj = new TEdit(this);
        E_New_Proj->SetBounds(16, 80, 299, 21);
        E_New_Proj->OnKeyPress = [this](QObject*, QChar& key) {
            // Enter in the name field does what OK does.
            if (key == QChar(13)) {
                key = QChar();
                Btn_OKClick(Btn_OK);
            }
        };

        const Button_Panel buttons = Make_Button_Panel(this);
        P_Button = buttons.P_Button;
        Btn_OK = buttons.Btn_OK;
        Btn_Cancel = buttons.Btn_Cancel;
        Btn_OK->OnClick = [this](QObject* sender) { Btn_OKClick(sender); };

        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
    });
}

void TFNew_Project::Set_Lang()
{
    SetCaption(Language_List.value(100));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Language_List.value(101));
    Label1->SetCaption(Language_List.value(102));
    Btn_OK->SetCaption(Language_List.value(103));
    Btn_Cancel->SetCaption(Language_List.value(104));
    E_New_Proj->SetHint(Language_List.value(108));
    Btn_OK->SetHint(Language_List.value(109));
    Btn_Cancel->SetHint(Language_List.value(110));
}

void TFNew_Project::FormShow()
{
    E_New_Proj->SetText(QString());
    if (E_New_Proj->CanFocus())
        E_New_Proj->SetFocus();
}

bool TFNew_Project::Is_Folder_Name_Allowed(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 32 || QStringLiteral("<>:\"/\\|?*").contains(c))
            return false;
    }
    if (name.endsWith(u' ') || name.endsWith(u'.'))
        return false;
    // Device names cannot be folder names, with or without an extension.
    const QString stem = name.section(u'.', 0, 0).toUpper();
    static const QStringList devices = {"CON", "PRN", "AUX", "NUL", "COM1", "COM2", "COM3", "COM4", "COM5",
                                        "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4",
                                        "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    return !devices.contains(stem);
}

void TFNew_Project::Btn_OKClick(QObject*)
{
    const QString name = E_New_Proj->Text();
    if (name.isEmpty()) {
        ShowMessage(MessageKind::Error, Language_List.value(107));
        return;
    }
    // A name that is no plain folder name (a separator, "..") would leave PROJECTS.
    if (!Is_Folder_Name_Allowed(name)) {
        ShowMessage(MessageKind::Error, Language_List.value(105));
        return;
    }
    // Names differing only in case collide, as they do where the program
    // was first used, so configurations stay unambiguous.
    const QString folder = JoinPath(Projects_Folder, name);
    if (DirectoryExists(folder) || ListSubFolders(Projects_Folder).contains(name, Qt::CaseInsensitive)) {
        ShowMessage(MessageKind::Error, Language_List.value(106));
        return;
    }
    if (!CreateFolder(folder)) {
        ShowMessage(MessageKind::Error, Language_List.value(105));
        return;
    }
    ForceFolders(JoinPath(folder, QStringLiteral("bin")));
    Project_Name = name;
    Project_Folder = folder;
    ::Set_Files();
    SetModalResult(mrOk);
}
