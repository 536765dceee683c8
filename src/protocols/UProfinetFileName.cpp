#include "protocols/UProfinetFileName.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "widgets/LbButton.h"

TFProfinetFileName* FProfinetFileName = nullptr;

const QString Profinet_File_Fixed_Part = QStringLiteral("GSDML-V2.25-Rizova-");

using namespace platform;

QString Profinet_File_Date_Part(const QDate& date)
{
    return QStringLiteral("-%1%2%3.xml")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QString Profinet_File_Name(const QString& fixed1, const QString& user, const QString& fixed2)
{
    if (user.trimmed().isEmpty())
        return fixed1 + fixed2;
    if (user.startsWith(QLatin1Char('_')))
        return fixed1 + user + fixed2;
    return fixed1 + QLatin1Char('_') + user + fixed2;
}

QString Profinet_User_Part_Error(const QString& user)
{
    // The characters a Windows file name may not hold include both folder
    // separators; the name is written on either system.
    static const QString refused = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : user)
        if (c.unicode() < 0x20 || refused.contains(c))
            return QStringLiteral("Error! The User Part of the file name cannot hold \\ / : * ? \" < > | "
                                  "or control characters.");
    return {};
}

TFProfinetFileName::TFProfinetFileName()
{
    SetName(QStringLiteral("FProfinetFileName"));
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(640);
    SetClientHeight(196);
    SetCaption(Language_List.value(4800));
    // The controls are built when the window is first needed.
    Build_When_Needed(this, [this] {
        const Title_Panel title = Make_Title_Panel(this);
        P_Title = title.P_Title;
        L_SW_Code = title.L_SW_Code;
        L_SW_Desc = title.L_SW_Desc;
        L_SW_Desc->SetWidth(600);

        auto label = [this](const char* name, int left, int top, int width) {
            auto* l = new TLabel(this);
            l->SetName(QString::fromLatin1(name));
            l->SetBounds(left, top, width, 16);
            l->SetTransparent(true);
            return l;
        };
        L_Select = label("L_Select", 16, 64, 600);
        L_Select->Font().SetStyle(fsBold);
        // The three parts side by side, each under its caption, as the name reads.
        L_Fixed_Part1 = label("L_Fixed_Part1", 16, 92, 170);
        L_XML_Fix1 = label("L_XML_Fix1", 16, 115, 170);
        L_XML_Fix1->SetCaption(Profinet_File_Fixed_Part);
        L_User_Part = label("L_User_Part", 192, 92, 260);
        E_XML_User = new TEdit(this);
        E_XML_User->SetName(QStringLiteral("E_XML_User"));
        E_XML_User->SetBounds(192, 112, 300, 21);
        L_Fixed_Part2 = label("L_Fixed_Part2", 500, 92, 130);
        L_XML_Fix2 = label("L_XML_Fix2", 500, 115, 130);

        const Button_Panel buttons = Make_Button_Panel(this);
        P_Button = buttons.P_Button;
        Btn_OK = buttons.Btn_OK;
        Btn_OK->SetName(QStringLiteral("Btn_OK"));
        Btn_OK->SetDefault(true);
        Btn_OK->OnClick = [this](QObject*) { Btn_OK_Click(); };
        Btn_Cancel = buttons.Btn_Cancel;
        Btn_Cancel->SetName(QStringLiteral("Btn_Cancel"));

        L_SW_Code->SetCaption(SW_Code);
        Set_File_Date(QDate::currentDate());
        Set_Lang();
    });
}

TFProfinetFileName::~TFProfinetFileName()
{
    if (FProfinetFileName == this)
        FProfinetFileName = nullptr;
}

void TFProfinetFileName::Set_File_Date(const QDate& date)
{
    L_XML_Fix2->SetCaption(Profinet_File_Date_Part(date));
}

void TFProfinetFileName::Set_Lang()
{
    SetCaption(Language_List.value(4800));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Language_List.value(4801));
    L_Select->SetCaption(Language_List.value(4802));
    L_Fixed_Part1->SetCaption(Language_List.value(4803));
    L_User_Part->SetCaption(Language_List.value(4804));
    L_Fixed_Part2->SetCaption(Language_List.value(4805));
    Btn_OK->SetCaption(Language_List.value(4806));
    Btn_Cancel->SetCaption(Language_List.value(4807));
}

void TFProfinetFileName::Btn_OK_Click()
{
    const QString user = E_XML_User->Text();
    // A separator would put the file in another folder than the one chosen.
    const QString why = Profinet_User_Part_Error(user);
    if (!why.isEmpty()) {
        ShowMessage(MessageKind::Error, why);
        return;
    }
    Name_File_XML = Profinet_File_Name(L_XML_Fix1->Caption(), user, L_XML_Fix2->Caption());
    SetModalResult(mrOk);
}
