#include "configuration/UBoot.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/OctetField.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/UShell_Services.h"
#include "widgets/LbButton.h"

#include <QCloseEvent>
#include <QElapsedTimer>

#include <vector>

TFBoot* FBoot = nullptr;

using namespace platform;

namespace {

constexpr int kClientWidth = 449;
constexpr int kEchoTimeoutMs = 400;
constexpr int kPingLimitMs = 5000;

// The memory layout a job is written for: the device's addresses and the
// commands of its boot loader.
struct Memory_Layout
{
    const char* title;
    const char* address_protection;
    std::vector<const char*> protections;
    const char* firmware_file;   // in the MASTER folder
    const char* firmware_start;
    const char* bank1_start;
    const char* bank2_start;
    const char* firmware_css;    // "Ope_Address_CSS" of the firmware
    const char* bank_css;        // and of the two banks
    const char* command;         // "Ope_Command_CSS" and "Ope_WID_Command"
    const char* wid_address;
    const char* wid_data;
    const char* firmware_wid;    // the firmware's "Ope_Write_Internal_Data"; nullptr: none of those elements
};

// This converter's.
const Memory_Layout kLayout{"Rizova - DIZ5U15 Ethernet Update", "0x78000", {"0x404", "0x405"}, "SimX5K15.sim",
                            "0x8000", "0x68000", "0x50800", "0x78100", "0x50100", "0x0B", "0x78200",
                            "0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00", nullptr};
// The newer boot loader's.
const Memory_Layout kNew_Boot_Layout{"Rizova - Ethernet Update", "0x07800", {"0x2C8"}, "SimX5K02.sim", "0x8000",
                                     "0x07000", "0x80000", "0x07A00", "0x07A00", "0x02", "0x07810",
                                     "0x00, 0x00, 0x00, 0x01", "0"};

// One operation of the job. The three differ only in these values.
struct Operation
{
    QString file;
    const char* start;
    const char* bank_type;
    const char* write_css;
    const char* address_css;
    const char* write_internal_data;   // nullptr: the internal-data elements are absent
    bool go_to_app_after;
};

void Add_Operation(XmlNode operations, const Memory_Layout& layout, const Operation& op, bool readBack)
{
    XmlNode o = operations.AddChild(QStringLiteral("Operation"));
    auto add = [&](const char* name, const QString& text) { o.AddChild(QString::fromLatin1(name)).SetText(text); };
    auto add1 = [&](const char* name, const char* text) { add(name, QString::fromLatin1(text)); };
    add1("Ope_Protection_Enabled", "");
    add1("Ope_GoToBoot_Before", "0");
    add1("Ope_GoToApp_Before", "0");
    add1("Ope_IP_Address", "");
    add1("Ope_Port", "2008");
    add1("Ope_Port_Sec", "2007");
    add1("Ope_Erase_Memory", "0");
    add("Ope_FileName", op.file);
    add1("Ope_Start_Address", op.start);
    add1("Ope_Memory_Type", "0");
    add1("Ope_Bank_Type", op.bank_type);
    add1("Ope_Read_Back", readBack ? "1" : "0");
    add1("Ope_Write_CSS", op.write_css);
    add1("Ope_Address_CSS", op.address_css);
    add1("Ope_Command_CSS", layout.command);
    if (op.write_internal_data) {
        add1("Ope_Write_Internal_Data", op.write_internal_data);
        add1("Ope_WID_Address", layout.wid_address);
        add1("Ope_WID_Command", layout.command);
        add1("Ope_WID_Data", layout.wid_data);
    }
    add1("Ope_GoToApp_After", op.go_to_app_after ? "1" : "0");
}

void Build_Job(XmlDocument& doc, const Memory_Layout& layout, const QString& ip, int option, bool readBack,
               const QString& masterFolder, const QString& projectFolder)
{
    doc.Clear();
    XmlNode root = doc.AddChild(QStringLiteral("Ethernet_Update"));
    auto add = [&](const char* name, const QString& text) { root.AddChild(QString::fromLatin1(name)).SetText(text); };
    add("Version", QStringLiteral("1000"));
    add("Title", QString::fromLatin1(layout.title));
    add("IP_Address_Dev", ip);
    add("Application_Port", QStringLiteral("10000"));
    add("Boot_Port", QStringLiteral("2008"));
    add("Boot_Port_Sec", QStringLiteral("2007"));
    add("Address_Protection", QString::fromLatin1(layout.address_protection));
    XmlNode protections = root.AddChild(QStringLiteral("Protections"));
    for (const char* protection : layout.protections)
        protections.AddChild(QStringLiteral("Protection")).SetText(QString::fromLatin1(protection));
    XmlNode operations = root.AddChild(QStringLiteral("Operations"));

    const QString bin = JoinPath(projectFolder, QStringLiteral("bin"));
    const Operation firmware{JoinPath(masterFolder, QString::fromLatin1(layout.firmware_file)), layout.firmware_start,
                             "1", "1", layout.firmware_css, layout.firmware_wid, option == uoFirmware};
    const Operation bank1{JoinPath(bin, QStringLiteral("bank1.bin")), layout.bank1_start, "2", "0", layout.bank_css,
                          "1", false};
    const Operation bank2{JoinPath(bin, QStringLiteral("bank2.bin")), layout.bank2_start, "2", "0", layout.bank_css,
                          "0", true};
    if (option == uoFirmware_Configuration || option == uoFirmware)
        Add_Operation(operations, layout, firmware, readBack);
    if (option == uoFirmware_Configuration || option == uoConfiguration) {
        Add_Operation(operations, layout, bank1, readBack);
        Add_Operation(operations, layout, bank2, readBack);
    }
}

// The four octets of a dotted IPv4 address, each one to three decimal digits
// up to 255. Anything else would be handed to the name resolver.
bool Is_Numeric_IPv4(const QString& host)
{
    const QStringList parts = host.split(u'.');
    if (parts.size() != 4)
        return false;
    for (const QString& p : parts) {
        if (p.isEmpty() || p.size() > 3)
            return false;
        for (QChar c : p)
            if (c < u'0' || c > u'9')
                return false;
        if (p.toInt() > 255)
            return false;
    }
    return true;
}

TLabel* Make_Label(QWidget* parent, int left, int top, const QString& caption = {})
{
    auto* label = new TLabel(parent);
    label->SetBounds(left, top, 10, 14);
    label->SetTransparent(true);
    label->SetCaption(caption);
    return label;
}

TPanel* Make_Panel(QWidget* parent, int height)
{
    auto* panel = new TPanel(parent);
    panel->SetBevelOuter(bvNone);
    panel->SetBounds(0, 0, kClientWidth, height);
    return panel;
}

} // namespace

void Build_Ethernet_Update_Job(XmlDocument& doc, const QString& ip, int option, bool readBack,
                               const QString& masterFolder, const QString& projectFolder)
{
    Build_Job(doc, kLayout, ip, option, readBack, masterFolder, projectFolder);
}

void Build_Ethernet_Update_Job_New_Boot(XmlDocument& doc, const QString& ip, int option, bool readBack,
                                        const QString& masterFolder, const QString& projectFolder)
{
    Build_Job(doc, kNew_Boot_Layout, ip, option, readBack, masterFolder, projectFolder);
}

TFBoot::TFBoot()
{
    SetName(QStringLiteral("FBoot"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(kClientWidth);
    SetClientHeight(300);

    Echo = [](const QString& host, const QByteArray& data, int timeoutMs, const std::function<void()>& idle) {
        return IcmpEcho(host, data, timeoutMs, idle);
    };
    Clock_Ms = [] {
        static QElapsedTimer clock;
        if (!clock.isValid())
            clock.start();
        return static_cast<int64_t>(clock.elapsed());
    };
    // The controls are built when the window is first needed.
    Build_When_Needed(this, [this] {
        const Title_Panel title = Make_Title_Panel(this);
        P_Title = title.P_Title;
        L_SW_Code = title.L_SW_Code;
        L_SW_Desc = title.L_SW_Desc;

        P_IP_Address = Make_Panel(this, 68);
        L_IP_Address = Make_Label(P_IP_Address, 16, 10);
        TEdit** edits[] = {&E_IP1, &E_IP2, &E_IP3, &E_IP4};
        for (int i = 0; i < 4; ++i) {
            TEdit* e = new TEdit(P_IP_Address);
            e->SetBounds(16 + i * 56, 32, 44, 21);
            e->SetMaxLength(3);
            e->SetText(QStringLiteral("0"));
            e->OnKeyPress = [this](QObject* sender, QChar& key) { KeyPress(sender, key); };
            *edits[i] = e;
            if (i < 3)
                Make_Label(P_IP_Address, 16 + i * 56 + 48, 36, QStringLiteral("."));
        }

        // The device search has never been offered; it stays hidden.
        P_Search = Make_Panel(this, 160);
        L_Search = Make_Label(P_Search, 16, 8);
        Btn_Search = new TLbButton(P_Search);
        Btn_Search->SetBounds(kClientWidth - 102, 4, 90, 26);
        ECG_Devices = new VOruVizizaZezo(P_Search);
        ECG_Devices->SetBounds(16, 34, kClientWidth - 32, 96);
        ECG_Devices->SetColCount(3);
        CB_Show_All = new TCheckBox(P_Search);
        CB_Show_All->SetBounds(16, 136, 250, 17);

        P_Options = Make_Panel(this, 72);
        L_Update_Option = Make_Label(P_Options, 16, 8);
        CB_Update_Options = new TComboBox(P_Options);
        CB_Update_Options->SetStyle(csDropDownList);
        CB_Update_Options->SetBounds(16, 28, 230, 21);
        CB_Update_Option_Read_Back = new TCheckBox(P_Options);
        CB_Update_Option_Read_Back->SetBounds(262, 30, 170, 17);
        CB_Update_Option_Read_Back->SetChecked(true);

        P_Serial = Make_Panel(this, 68);
        L_COM_Port = Make_Label(P_Serial, 16, 10);
        CB_COM_Port = new TComboBox(P_Serial);
        CB_COM_Port->SetStyle(csDropDownList);
        CB_COM_Port->SetBounds(16, 32, 120, 21);
        Btn_COM_List = new TLbButton(P_Serial);
        Btn_COM_List->SetBounds(146, 29, 90, 26);
        Btn_COM_List->OnClick = [this](QObject*) { update_ComPort(); };

        P_Button = Make_Panel(this, 48);
        Btn_Update = new TLbButton(P_Button);
        Btn_Update->SetBounds(kClientWidth - 302, 10, 190, 28);
        Btn_Update->OnClick = [this](QObject* sender) { Btn_UpdateClick(sender); };
        Btn_Cancel = new TLbButton(P_Button);
        Btn_Cancel->SetBounds(kClientWidth - 102, 10, 90, 28);
        Btn_Cancel->SetModalResult(mrCancel);
        Btn_Cancel->SetCancel(true);

        for (TPanel* p : {P_IP_Address, P_Search, P_Options, P_Serial})
            p->SetVisible(false);

        // An updater left running by an ended wait keeps Execute off until it ends.
        updater_watch_ = new TTimer(this);
        updater_watch_->SetInterval(200);
        updater_watch_->SetEnabled(false);
        updater_watch_->OnTimer = [this](QObject*) { Update_Buttons(); };

        OnShow = [this](QObject*) {
            FormShow();
            updater_watch_->SetEnabled(true);
        };
        OnHide = [this](QObject*) { updater_watch_->SetEnabled(false); };
        Set_Lang();
    });
    if (!Built())
        Set_Lang();   // the caption only
}

TFBoot::~TFBoot()
{
    if (FBoot == this)
        FBoot = nullptr;
}

void TFBoot::Set_Lang()
{
    auto text = [](int n) { return Language_List.value(n); };
    const int caption = Form_Type == 0 ? 1000 : Form_Type == 1 ? 1002 : -1;
    if (caption >= 0)
        SetCaption(text(caption));
    if (!Built())
        return;
    if (caption >= 0)
        L_SW_Desc->SetCaption(text(caption + 1));
    L_IP_Address->SetCaption(text(1006));
    L_COM_Port->SetCaption(text(1007));
    L_Search->SetCaption(text(1009));
    Btn_Search->SetCaption(text(1010));
    ECG_Devices->Columns().GetItem(1)->SetHeader(text(1011));
    ECG_Devices->Columns().GetItem(2)->SetHeader(text(1012));
    CB_Show_All->SetCaption(text(1013));
    L_Update_Option->SetCaption(text(1014));
    CB_Update_Options->Clear();
    for (int n : {1015, 1016, 1017})
        CB_Update_Options->AddItem(text(n));
    CB_Update_Options->SetItemIndex(0);
    CB_Update_Option_Read_Back->SetCaption(text(1018));
    Btn_Cancel->SetCaption(text(1019));
    Btn_Update->SetCaption(text(1020));
    E_IP1->SetHint(text(1021));
    E_IP2->SetHint(text(1022));
    E_IP3->SetHint(text(1023));
    E_IP4->SetHint(text(1024));
    CB_COM_Port->SetHint(text(1025));
    Btn_COM_List->SetHint(text(1027));
    Btn_Search->SetHint(text(1029));
    ECG_Devices->SetHint(text(1030));
    CB_Show_All->SetHint(text(1031));
    CB_Update_Options->SetHint(text(1032));
    CB_Update_Option_Read_Back->SetHint(text(1033));
    Btn_Cancel->SetHint(text(1034));
    Btn_Update->SetHint(text(1035));
}

void TFBoot::Lay_Out(TPanel* middle)
{
    // Title, the transport's panel, the options, the buttons: top to bottom.
    int top = P_Title->Height();
    for (TPanel* p : {middle, P_Options}) {
        p->SetAlign(alNone);
        p->SetBounds(0, top, kClientWidth, p->Height());
        p->SetVisible(true);
        top += p->Height();
    }
    P_Button->SetBounds(0, top, kClientWidth, P_Button->Height());
    SetClientWidth(kClientWidth);
    SetClientHeight(top + P_Button->Height());
}

void TFBoot::FormShow()
{
    // Callers may prepare the window this way before it is first shown.
    BuildNow();
    Set_Lang();
    L_SW_Code->SetCaption(SW_Code);
    for (TPanel* p : {P_IP_Address, P_Search, P_Options, P_Serial}) {
        p->SetVisible(false);
        p->SetAlign(alNone);
    }
    if (Form_Type == 1) {
        Lay_Out(P_IP_Address);
        setTabOrder(E_IP1, E_IP2);
        setTabOrder(E_IP2, E_IP3);
        setTabOrder(E_IP3, E_IP4);
        setTabOrder(E_IP4, Btn_Search);
        setTabOrder(Btn_Search, CB_Update_Options);
        setTabOrder(CB_Update_Options, CB_Update_Option_Read_Back);
        setTabOrder(CB_Update_Option_Read_Back, Btn_Update);
        setTabOrder(Btn_Update, Btn_Cancel);
        setTabOrder(Btn_Cancel, CB_COM_Port);
        QString p1, p2, p3, p4;
        if (!Last_IP_Address.isEmpty() && Split_IP_Address(Last_IP_Address, p1, p2, p3, p4)) {
            E_IP1->SetText(p1);
            E_IP2->SetText(p2);
            E_IP3->SetText(p3);
            E_IP4->SetText(p4);
        }
        CB_Update_Options->SetItemIndex(Update_Option_Index);
        CB_Update_Option_Read_Back->SetChecked(Update_Read_Back);
        if (E_IP1->CanFocus())
            E_IP1->SetFocus();
    } else if (Form_Type == 0) {
        Lay_Out(P_Serial);
        setTabOrder(CB_COM_Port, Btn_COM_List);
        setTabOrder(Btn_COM_List, CB_Update_Options);
        setTabOrder(CB_Update_Options, CB_Update_Option_Read_Back);
        setTabOrder(CB_Update_Option_Read_Back, Btn_Update);
        setTabOrder(Btn_Update, Btn_Cancel);
        setTabOrder(Btn_Cancel, E_IP1);
        CB_Update_Options->SetItemIndex(Update_Option_Index);
        CB_Update_Option_Read_Back->SetChecked(Update_Read_Back);
        update_ComPort();
        if (CB_COM_Port->CanFocus())
            CB_COM_Port->SetFocus();
    }
    Update_Buttons();
}

void TFBoot::KeyPress(QObject* sender, QChar& key)
{
    TEdit* next = sender == E_IP1 ? E_IP2 : sender == E_IP2 ? E_IP3 : sender == E_IP3 ? E_IP4 : nullptr;
    Octet_KeyPress(dynamic_cast<TEdit*>(sender), key, next);
}

QString TFBoot::IP_Text() const
{
    return Octet_Address(E_IP1, E_IP2, E_IP3, E_IP4);
}

void TFBoot::PingReply(int bytesReceived)
{
    ping_res = bytesReceived > 0 ? 1 : 2;
}

bool TFBoot::Send_Ping()
{
    ping_res = 0;
    const QString host = IP_Text();
    if (!Is_Numeric_IPv4(host))
        return false;
    const int64_t start = Clock_Ms();
    const auto idle = [] { Application().ProcessMessages(); };
    int answered = 0;
    for (;;) {
        const EchoResult r = Echo(host, host.toUtf8(), kEchoTimeoutMs, idle);
        if (r.status == EchoStatus::Failed)
            return false;
        PingReply(r.status == EchoStatus::Answered ? r.bytesReceived : 0);
        idle();
        if (ping_res == 1)
            ++answered;
        if (answered >= 2 || Clock_Ms() - start > kPingLimitMs)
            break;
    }
    return ping_res == 1;
}

QString TFBoot::Update_Options(const QString& s_opt) const
{
    const bool rb = CB_Update_Option_Read_Back->Checked();
    const QString fr = rb ? QStringLiteral("FR ") : QStringLiteral("NO ");
    const QString pr = rb ? QStringLiteral("PR ") : QStringLiteral("NO ");
    switch (CB_Update_Options->ItemIndex()) {
    case uoFirmware_Configuration: return s_opt + QStringLiteral("FW ") + fr + QStringLiteral("PW ") + pr;
    case uoFirmware: return s_opt + QStringLiteral("FW ") + fr + QStringLiteral("NO NO ");
    case uoConfiguration: return s_opt + QStringLiteral("NO NO PW ") + pr;
    default: return s_opt;
    }
}

bool TFBoot::Compile_XML_Parameter()
{
    Build_Ethernet_Update_Job(XML1, IP_Text(), CB_Update_Options->ItemIndex(), CB_Update_Option_Read_Back->Checked(),
                              Master_Folder, Project_Folder);
    return Save_Job();
}

bool TFBoot::Compile_XML_Parameter_New_Boot()
{
    Build_Ethernet_Update_Job_New_Boot(XML1, IP_Text(), CB_Update_Options->ItemIndex(),
                                       CB_Update_Option_Read_Back->Checked(), Master_Folder, Project_Folder);
    return Save_Job();
}

bool TFBoot::Save_Job()
{
    // An updater started on an old job would write another device or other files.
    QString error;
    if (XML1.Save(JoinPath(Program_Folder, QStringLiteral("Ethernet_Update.xml")), &error))
        return true;
    ShowMessage(MessageKind::Error, error);
    return false;
}

int TFBoot::Get_Type_Dev()
{
    // Every converter of this build is of one type; the file is only looked at.
    if (FileExists(FileName_ParGen)) {
        XmlDocument parameters;
        parameters.Load(FileName_ParGen);
    }
    return 0;
}

void TFBoot::update_ComPort()
{
    CB_COM_Port->Clear();
    const std::unique_ptr<QStringList> ports = Get_COM_Port_List();
    for (const QString& n : *ports)
        CB_COM_Port->AddItem(QStringLiteral("COM") + n);
    CB_COM_Port->SetItemIndex(0);
}

void TFBoot::Update_Buttons()
{
    const bool updater = ::Check_Started_Program();
    Btn_Cancel->SetEnabled(!Busy());
    Btn_Update->SetEnabled(!Busy() && !updater);
}

bool TFBoot::CloseQuery()
{
    // The close box would end the modal showing in the middle of a wait.
    return !Busy() && TForm::CloseQuery();
}

void TFBoot::closeEvent(QCloseEvent* event)
{
    // The close box would end the modal showing with Cancel once the wait is
    // over, after the update it meant to stop: refused while busy.
    if (Busy()) {
        event->ignore();
        return;
    }
    TForm::closeEvent(event);
}

void TFBoot::Btn_UpdateClick(QObject*)
{
    if (Busy() || ::Check_Started_Program())
        return;
    auto run = [this](auto&& step) {
        ++busy_;
        Update_Buttons();
        const auto result = step();
        --busy_;
        Update_Buttons();
        return result;
    };
    if (Form_Type == 1) {
        if (!run([this] { return Send_Ping(); })) {
            if (ping_res == 2)
                ShowMessage(MessageKind::Warning, Language_List.value(1036));
            else
                ShowMessage(MessageKind::Error, Language_List.value(1037));
            return;
        }
        Last_IP_Address = IP_Text();
        Update_Option_Index = CB_Update_Options->ItemIndex();
        Update_Read_Back = CB_Update_Option_Read_Back->Checked();
        if (!Compile_XML_Parameter())
            return;
        run([] {
            return ::Start_Program(JoinPath(Program_Folder, QStringLiteral("Ethernet_Update.exe")), QString(), false);
        });
    } else if (Form_Type == 0) {
        Update_Option_Index = CB_Update_Options->ItemIndex();
        Update_Read_Back = CB_Update_Option_Read_Back->Checked();
        QString parameter = QStringLiteral("\\\\.\\") + CB_COM_Port->Text() + u' ';
        parameter = Update_Options(parameter);
        parameter += u'"' + JoinPath(Master_Folder, QStringLiteral("simX5Q88.sim")) + QStringLiteral("\" ");
        parameter += u'"' + JoinPath(Project_Folder, QStringLiteral("bin")) + QStringLiteral("/\"");
        run([&] {
            return ::Start_Program(JoinPath(Program_Folder, QStringLiteral("Ser_X5Q88_Update.exe")), parameter, false);
        });
    }
}
