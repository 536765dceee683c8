#include "shell/USoftOptions.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/URorudizezFirmWare.h"
#include "shell/UShell_Services.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/HttpClient.h"
#include "platform/NumberText.h"
#include "platform/Process.h"
#include "widgets/LbButton.h"

#include <algorithm>

TFSoftOptions* FSoftOptions = nullptr;

using namespace platform;

namespace {

// The product's web server and the maker's site.
QString Product_Server()
{
    return QStringLiteral("http://") + Maker_Host;
}
const QString kOwnVersion = QStringLiteral("1.002");
constexpr int kSlots = 6;

// Blanks and control characters off both ends.
QString Trim(const QString& s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b].unicode() <= 32)
        ++b;
    while (e > b && s[e - 1].unicode() <= 32)
        --e;
    return s.mid(b, e - b);
}

} // namespace

QString Download_Page_Address()
{
    return Product_Server() + QStringLiteral("/Home/download/download.asp#VAD5U15");
}

QString Download_Link(const QString& text)
{
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(Download_Page_Address(), text);
}

TFSoftOptions::TFSoftOptions() : Version_Server(Product_Server())
{
    SetName(QStringLiteral("FSoftOptions"));
    SetBorderStyle(bsSizeable);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(470);
    SetClientHeight(360);
    SetCaption(Language_List.value(300));
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
        Btn_OK->OnClick = [this](QObject* sender) { Btn_OKClick(sender); };

        PC_Options = new TPageControl(this);
        PC_Options->SetAlign(alClient);
        TS_Language = PC_Options->AddPage(QString());
        TS_Con_Options = PC_Options->AddPage(QString());
        TS_Soft_Settings = PC_Options->AddPage(QString());

        L_Sel_Lang = new TLabel(TS_Language);
        L_Sel_Lang->SetBounds(16, 10, 400, 14);
        L_Sel_Lang->Font().SetStyle(fsBold);
        for (int j = 0; j < kSlots; ++j) {
            // Slots 1 to 3 down the left column, 4 to 6 down the right one.
            const int left = j < 3 ? 16 : 236;
            const int top = 34 + 56 * (j % 3);
            I_L[j] = new TImage(TS_Language);
            I_L[j]->SetName(QStringLiteral("I_L%1").arg(j + 1));
            I_L[j]->SetBounds(left, top, 48, 48);
            I_L[j]->SetStretch(true);
            I_L[j]->SetCursor(crHandPoint);
            L_L[j] = new TLabel(TS_Language);
            L_L[j]->SetName(QStringLiteral("L_L%1").arg(j + 1));
            L_L[j]->SetBounds(left + 56, top + 17, 150, 14);
            L_L[j]->SetCursor(crHandPoint);
            I_L[j]->OnClick = [this, j](QObject*) { LangClick(j + 1); };
            L_L[j]->OnClick = [this, j](QObject*) { LangClick(j + 1); };
        }
        L_Page_Lang = new TLabel(TS_Language);
        L_Page_Lang->SetBounds(16, 212, 150, 14);
        Btn_Prev = new TLbButton(TS_Language);
        Btn_Prev->SetBounds(250, 204, 90, 28);
        Btn_Next = new TLbButton(TS_Language);
        Btn_Next->SetBounds(348, 204, 90, 28);
        Btn_Prev->OnClick = [this](QObject* sender) { Btn_NextClick(sender); };
        Btn_Next->OnClick = [this](QObject* sender) { Btn_NextClick(sender); };

        CB_En_Con = new TCheckBox(TS_Con_Options);
        CB_En_Con->SetBounds(16, 16, 420, 20);
        CB_Update = new TCheckBox(TS_Con_Options);
        CB_Update->SetBounds(36, 42, 400, 20);
        Btn_Check_Update = new TLbButton(TS_Con_Options);
        Btn_Check_Update->SetBounds(16, 80, 200, 28);
        Btn_Check_Update->OnClick = [this](QObject* sender) { Btn_Check_UpdateClick(sender); };
        LL_Check_Update = new TLinkLabel(TS_Con_Options);
        LL_Check_Update->SetBounds(16, 122, 420, 16);
        LL_Check_Update->SetVisible(false);
        LL_Check_Update->OnLinkClick = [](QObject*, const QString& target) { OpenWithDesktop(target); };

        CB_Soft_Set_Jump_Table = new TCheckBox(TS_Soft_Settings);
        CB_Soft_Set_Jump_Table->SetBounds(16, 16, 440, 20);
        CB_DoubleClick_Auto_Size = new TCheckBox(TS_Soft_Settings);
        CB_DoubleClick_Auto_Size->SetBounds(16, 42, 440, 20);
        for (TCheckBox* box : {CB_En_Con, CB_Update, CB_Soft_Set_Jump_Table, CB_DoubleClick_Auto_Size})
            box->OnClick = [this](QObject*) { Update_CheckBox(); };

        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
    });
}

void TFSoftOptions::Set_Lang()
{
    SetCaption(Language_List.value(300));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Language_List.value(301));
    TS_Language->SetCaption(Language_List.value(302));
    TS_Con_Options->SetCaption(Language_List.value(303));
    TS_Soft_Settings->SetCaption(Language_List.value(319));
    L_Sel_Lang->SetCaption(Language_List.value(304) + Language_In_Use);
    L_Page_Lang->SetCaption(Language_List.value(305) + QStringLiteral("1") + Language_List.value(306) + QStringLiteral("1"));
    Btn_Prev->SetCaption(Language_List.value(307));
    Btn_Next->SetCaption(Language_List.value(308));
    CB_En_Con->SetCaption(Language_List.value(309));
    CB_Update->SetCaption(Language_List.value(310));
    Btn_Check_Update->SetCaption(Language_List.value(311));
    Btn_OK->SetCaption(Language_List.value(312));
    Btn_Cancel->SetCaption(Language_List.value(313));
    CB_Soft_Set_Jump_Table->SetCaption(Language_List.value(320));
    CB_DoubleClick_Auto_Size->SetCaption(Language_List.value(321));
}

void TFSoftOptions::FormShow()
{
    // The choice of an earlier showing is forgotten before the page shows
    // it, so the window never names a language that OK would not commit.
    Language_In_Use = Language_Name;
    Create_Lang_List();
    Update_CheckBox();
    LL_Check_Update->SetVisible(false);
    PC_Options->SetActivePage(TS_Language);
    CB_En_Con->SetChecked(Enable_Internet);
    CB_Update->SetChecked(Enable_Update);
    CB_Soft_Set_Jump_Table->SetChecked(Enable_Jump_Field_Tables);
    CB_DoubleClick_Auto_Size->SetChecked(Double_Click_Auto_Size);
}

void TFSoftOptions::Create_Lang_List()
{
    // Only names that Load_Language can open again: the extension exactly
    // ".lng", as file names differ by case here.
    SL_Languages.clear();
    for (const QString& name : ListFiles(Language_Folder, QStringLiteral("*.lng")))
        if (name.endsWith(QLatin1String(".lng")))
            SL_Languages.append(name);
    SL_Languages.sort(Qt::CaseInsensitive);
    Show_Page = 1;
    Update_Lang_Page(Show_Page);
}

int TFSoftOptions::Page_Count() const
{
    return (static_cast<int>(SL_Languages.size()) + kSlots - 1) / kSlots;
}

void TFSoftOptions::Update_Lang_Page(int page)
{
    L_Sel_Lang->SetCaption(Language_List.value(304) + Language_In_Use);
    const int pages = Page_Count();
    L_Page_Lang->SetCaption(Language_List.value(305) + QString::number(page) + Language_List.value(306)
                            + QString::number(pages));
    Btn_Prev->SetVisible(page != 1);
    Btn_Next->SetVisible(page != pages);
    const int first = kSlots * (page - 1);
    const int shown = std::clamp(static_cast<int>(SL_Languages.size()) - first, 0, kSlots);
    for (int j = 0; j < kSlots; ++j) {
        I_L[j]->SetVisible(j < shown);
        L_L[j]->SetVisible(j < shown);
        if (j >= shown)
            continue;
        const QString name = SL_Languages[first + j].chopped(4);
        L_L[j]->SetCaption(name);
        // A flag that does not load counts as missing.
        TBitmap flag;
        bool loaded = false;
        for (const QString& file : {name + QStringLiteral(".bmp"), QStringLiteral("DefaultFlag.bmp")}) {
            const QString path = JoinPath(Language_Folder, file);
            if (FileExists(path) && flag.LoadFromFile(path)) {
                loaded = true;
                break;
            }
        }
        I_L[j]->SetPicture(loaded ? flag : TBitmap());
        I_L[j]->SetVisible(loaded);
        I_L[j]->Invalidate();
    }
}

void TFSoftOptions::Btn_NextClick(QObject* sender)
{
    if (sender == Btn_Next && Page_Count() >= Show_Page + 1)
        ++Show_Page;
    else if (sender == Btn_Prev && Show_Page >= 2)
        --Show_Page;
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::LangClick(int slot)
{
    const int index = kSlots * (Show_Page - 1) + slot - 1;
    if (slot < 1 || slot > kSlots || index >= SL_Languages.size())
        return;
    const QString name = SL_Languages[index].chopped(4);
    const QString question = Language_List.value(316) + Language_In_Use + Language_List.value(317) + name
                             + Language_List.value(318);
    if (ShowMessage(MessageKind::Confirmation, question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    Language_In_Use = name;
    // The table follows the choice now; the choice itself waits for OK.
    const QString committed = Language_Name;
    Language_Name = name;
    Load_Language();
    Language_Name = committed;
    if (Shell_Services().Change_Language)
        ::Change_Language();
    else
        Set_Lang();
    // Set_Lang wrote page 1 of 1; the page shown says where it really is.
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::Update_CheckBox()
{
    CB_Update->SetEnabled(CB_En_Con->Checked());
    Btn_Check_Update->SetEnabled(CB_Update->Enabled() && CB_Update->Checked());
}

void TFSoftOptions::Btn_Check_UpdateClick(QObject*)
{
    if (Check_Version())
        LL_Check_Update->SetCaption(Download_Link(Language_List.value(314)));
    else
        LL_Check_Update->SetCaption(Language_List.value(315));
    LL_Check_Update->SetVisible(true);
}

void TFSoftOptions::Btn_OKClick(QObject*)
{
    Language_Name = Language_In_Use;
    Enable_Internet = CB_En_Con->Checked();
    Enable_Update = CB_Update->Checked();
    if (FRorudizezFirmWare)
        FRorudizezFirmWare->Switch_Update_Timer(Enable_Internet && Enable_Update);
    Enable_Jump_Field_Tables = CB_Soft_Set_Jump_Table->Checked();
    Double_Click_Auto_Size = CB_DoubleClick_Auto_Size->Checked();
    SetModalResult(mrOk);
}

bool TFSoftOptions::Check_Version()
{
    // Any failure, a time-out included, is no answer; the user is not told.
    const QString url = Version_Server + QStringLiteral("/home/download/GetversionSW.asp?nomesw=") + Update_SW_Name;
    return Is_Newer_Version(HttpGet(url, Version_Timeout_Ms));
}

bool TFSoftOptions::Is_Newer_Version(const QString& reply)
{
    const QString trimmed = Trim(reply);
    const QString s = trimmed.toUpper();
    // The server's word for "no version known under that name".
    if (s.isEmpty() || s == QLatin1String("VER. 0.000"))
        return false;
    const int own = Conv_Version(kOwnVersion);
    const int theirs = Conv_Version(trimmed);
    return own != -1 && theirs != -1 && theirs > own;
}

int TFSoftOptions::Conv_Version(const QString& text)
{
    QString v = text;
    if (const qsizetype blank = v.indexOf(u' '); blank >= 0)
        v = v.mid(blank + 1);
    v = Trim(v);
    if (v.size() < 5)
        return -1;
    // One digit before the point and three after it count.
    const QString digits = QString(v[0]) + v[2] + v[3] + v[4];
    return NumberOr(digits, -1);
}
