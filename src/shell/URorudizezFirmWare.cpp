#include "shell/URorudizezFirmWare.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/UNew_Project.h"
#include "shell/UOpenConf.h"
#include "shell/UAbout.h"
#include "shell/USoftOptions.h"
#include "shell/UShell_Services.h"

#include "mbus/UInsertKeyWireless.h"
#include "mbus/UMeter_Bus_Form.h"
#include "mbus/UModbusStartAdd_SD.h"
#include "mbus/UScanDecode.h"
#include "mbus/UScanModbusStart.h"
#include "mbus/UNewIDNode.h"

#include "configuration/UParGen.h"
#include "configuration/ULoRa_Set_Access.h"
#include "configuration/UBoot.h"
#include "configuration/USaveBincc.h"

#include "fieldbus/UDMXDefVal.h"
#include "fieldbus/UDNet.h"
#include "fieldbus/UDefOffset.h"
#include "fieldbus/UEds.h"
#include "fieldbus/UEtherNetIP_EDS.h"
#include "fieldbus/UEtherNetIP_Master_Access.h"
#include "fieldbus/UKNXAccess.h"
#include "fieldbus/UModbus_TCP_Master_Set_Access.h"
#include "fieldbus/UProfibus_GSD.h"
#include "fieldbus/UReceiveCAN.h"
#include "fieldbus/UReceiveJ1939.h"
#include "fieldbus/UReceiveNMEA.h"
#include "fieldbus/USetAccess.h"
#include "fieldbus/USet_PDO_Access.h"
#include "fieldbus/USet_SDO_Client_Access.h"
#include "fieldbus/USet_SDO_Server_Access.h"
#include "fieldbus/UTransmitCAN.h"
#include "fieldbus/UTransmitJ1939.h"
#include "fieldbus/UTransmitNMEA.h"
#include "protocols/UBACnetAccess.h"
#include "protocols/UBACnetSlaveSetAccess.h"
#include "protocols/UBACnet_EDE_File.h"
#include "protocols/UBACnet_Eng_Unit.h"
#include "protocols/UIEC61850_Variables.h"
#include "protocols/UIEC_61850_Access.h"
#include "protocols/UMQTT_Set_Topic.h"
#include "protocols/UImportEDEFile.h"
#include "protocols/UOPC_UA_Add_Server.h"
#include "protocols/UOPC_UA_Client_Access.h"
#include "protocols/UOPC_UA_Scan_Server.h"
#include "protocols/UOPC_UA_Server_Access.h"
#include "protocols/UProfinetFileName.h"
#include "protocols/UProfinetXML.h"
#include "protocols/US7_Protocol_Set_Access.h"
#include "protocols/USNMPManagerAccess.h"
#include "protocols/USNMP_MIB.h"
#include "protocols/USNMP_Trap_Access.h"
#include "protocols/UTLS_Server_Known_Cert.h"
#include "protocols/UTopicTemplate.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/Process.h"
#include "widgets/LbButton.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QTimer>

TFRorudizezFirmWare* FRorudizezFirmWare = nullptr;

namespace {

using namespace platform;

TLabel* Make_Label(QWidget* parent, int left, int top)
{
    auto* label = new TLabel(parent);
    label->SetLeft(left);
    label->SetTop(top);
    label->SetTransparent(true);
    return label;
}

TLbButton* Make_Button(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* button = new TLbButton(parent);
    button->SetName(QString::fromLatin1(name));
    button->SetBounds(left, top, width, height);
    return button;
}

// The step buttons show a small picture left of their caption.
TBitmap Step_Glyph(const char* resource)
{
    TBitmap glyph;
    QImage image(QStringLiteral(":/shell/%1.png").arg(QString::fromLatin1(resource)));
    if (!image.isNull()) {
        glyph.SetImage(image.convertToFormat(QImage::Format_RGB32));
        glyph.SetTransparent(true);
    }
    return glyph;
}

} // namespace

// Resources of a static library are registered by hand.
static void Init_Shell_Resources()
{
    Q_INIT_RESOURCE(URorudizezFirmWare);
}

TFRorudizezFirmWare::TFRorudizezFirmWare(const QString& programFolder)
{
    Init_Shell_Resources();
    FormCreate(programFolder);
    // The other windows reach these through the shell's services, not through this window.
    TShell_Services& services = Shell_Services();
    services.Start_Program = [this](const QString& program, const QString& parameter, bool hidden) {
        return Start_Program(program, parameter, hidden);
    };
    services.Check_Started_Program = [this] { return Check_Started_Program(); };
    services.Change_Language = [this] { Change_Language(); };
    services.owner = this;
}

TFRorudizezFirmWare::~TFRorudizezFirmWare()
{
    if (Shell_Services().owner == this)
        Shell_Services() = TShell_Services();
    if (FRorudizezFirmWare == this)
        FRorudizezFirmWare = nullptr;
}

void TFRorudizezFirmWare::Create_Controls()
{
    SetName(QStringLiteral("FRorudizezFirmWare"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);

    L_SW_Code = Make_Label(this, 16, 8);
    L_SW_Code->Font().SetColor(clGray);
    L_SW_Code->Font().SetSize(24);
    L_SW_Desc = Make_Label(this, 16, 42);
    L_SW_Desc->Font().SetStyle(fsBold);
    L_Begin = Make_Label(this, 16, 84);
    L_Begin->Font().SetStyle(fsBold);
    L_Step_1 = Make_Label(this, 16, 128);
    L_Step_2 = Make_Label(this, 16, 172);
    L_Step_3 = Make_Label(this, 16, 216);
    L_Step_4 = Make_Label(this, 16, 260);
    L_Step_5 = Make_Label(this, 16, 304);
    L_Step_6 = Make_Label(this, 16, 348);
    L_Step_7 = Make_Label(this, 16, 392);
    L_Step_8 = Make_Label(this, 16, 436);
    for (TLabel* step : {L_Step_1, L_Step_2, L_Step_3, L_Step_4, L_Step_5, L_Step_6, L_Step_7, L_Step_8})
        step->Font().SetStyle(fsBold);

    Shape2 = new TShape(this);
    Shape2->SetBounds(80, 70, 348, 36);
    Shape2->Pen().SetColor(clSilver);
    Shape2->Brush().SetStyle(TBrushStyle::bsClear);
    L_Name_Conf = Make_Label(this, 87, 75);
    L_Name_Conf_L2 = Make_Label(this, 87, 88);
    L_Name_Conf_L2->Font().SetStyle(fsBold);

    L_Rizova = Make_Label(this, 565, 304);
    L_Rizova->SetCaption(Maker_Host);
    L_Rizova->Font().SetColor(clBlue);
    L_Rizova->Font().SetStyle(fsUnderline);
    L_Rizova->SetCursor(crHandPoint);
    L_Rizova->OnClick = [](QObject*) { OpenWithDesktop(TFAbout::Home_Page_Address()); };

    LL_Update = new TLinkLabel(this);
    LL_Update->SetBounds(208, 19, 290, 16);
    LL_Update->SetVisible(false);
    LL_Update->OnLinkClick = [](QObject*, const QString& target) { OpenWithDesktop(target); };

    Shape1 = new TShape(this);
    Shape1->Pen().SetColor(clSilver);

    Btn_Info = Make_Button(this, "Btn_Info", 516, 8, 50, 50);
    Btn_Opz = Make_Button(this, "Btn_Opz", 574, 8, 50, 50);
    Btn_Close = Make_Button(this, "Btn_Close", 632, 8, 50, 50);
    Btn_ScanDecode = Make_Button(this, "Btn_ScanDecode", 516, 70, 166, 36);
    Btn_New = Make_Button(this, "Btn_New", 80, 112, 170, 36);
    Btn_Open = Make_Button(this, "Btn_Open", 258, 112, 170, 36);
    Btn_Prm_Gen = Make_Button(this, "Btn_Prm_Gen", 80, 156, 170, 36);
    Btn_LoRaWAN_Access = Make_Button(this, "Btn_LoRaWAN_Access", 80, 200, 170, 36);
    Btn_MBus = Make_Button(this, "Btn_MBus", 80, 244, 170, 36);
    Btn_CreateBin = Make_Button(this, "Btn_CreateBin", 80, 288, 170, 36);

    // The other family members' buttons keep places of their own; hidden here.
    int slot = 0;
    auto other = [&](const char* name) {
        TLbButton* b = Make_Button(this, name, 436 + (slot % 2) * 178, 112 + (slot / 2) * 44, 170, 36);
        ++slot;
        return b;
    };
    Btn_BACnet_SetAccess = other("Btn_BACnet_SetAccess");
    Btn_BACnet_EDE_File = other("Btn_BACnet_EDE_File");
    Btn_Modbus_Set_Access = other("Btn_Modbus_Set_Access");
    Btn_CAN_Rec_Frame = other("Btn_CAN_Rec_Frame");
    Btn_CAN_Send_Frame = other("Btn_CAN_Send_Frame");
    Btn_PDO_CANopen = other("Btn_PDO_CANopen");
    Btn_SDO_Client_CANopen = other("Btn_SDO_Client_CANopen");
    Btn_SDO_Server_CANopen = other("Btn_SDO_Server_CANopen");
    Btn_CANopen_EDS = other("Btn_CANopen_EDS");
    Btn_DNet_Net = other("Btn_DNet_Net");
    Btn_DNet_Offset = other("Btn_DNet_Offset");
    Btn_DMX_Default = other("Btn_DMX_Default");
    Btn_EtherNetIP_Access = other("Btn_EtherNetIP_Access");
    Btn_KNX_Access = other("Btn_KNX_Access");
    Btn_PROFIBUS_GSD = other("Btn_PROFIBUS_GSD");
    Btn_PROFINET_XML = other("Btn_PROFINET_XML");
    Btn_IEC61850_Client = other("Btn_IEC61850_Client");
    Btn_TLS_List_Certificates = other("Btn_TLS_List_Certificates");
    Btn_IEC61850_Access = other("Btn_IEC61850_Access");
    Btn_MQTT_Set_Topic = other("Btn_MQTT_Set_Topic");
    Btn_OPC_UA_Client_Access = other("Btn_OPC_UA_Client_Access");
    Btn_OPC_UA_Server_Access = other("Btn_OPC_UA_Server_Access");
    Btn_S7_Protocol_Access = other("Btn_S7_Protocol_Access");
    Btn_SNMP_Manager_Access = other("Btn_SNMP_Manager_Access");
    Btn_SNMP_Trap = other("Btn_SNMP_Trap");
    Btn_SNMP_MIB = other("Btn_SNMP_MIB");
    Btn_BACnet_EDE_File->SetCaption(QStringLiteral("BACnet EDE File"));
    Btn_KNX_Access->SetCaption(QStringLiteral("KNX Access"));

    Timer_Update = new TTimer(this);
    Timer_Update->SetEnabled(false);
    Timer_Update->SetInterval(60000);
    Timer_Update->OnTimer = [this](QObject* sender) { Timer_UpdateTimer(sender); };

    // Steps after the first need an open configuration; a step whose window
    // this build does not have yet does nothing more.
    steps_ = {
        {&Btn_New, 15, 22, [this] { Create_New_Project(); }},
        {&Btn_Open, 16, 23, [this] { Open_Project(); }},
        {&Btn_Close, -1, 14, [this] { Close(); }},
        {&Btn_Info, -1, 12, [] { if (FAbout) FAbout->ShowModal(); }},
        {&Btn_Opz, -1, 13, [this] {
             if (!FSoftOptions || FSoftOptions->ShowModal() != mrOk)
                 return;
             Save_Setting();
             Switch_Update_Timer(Enable_Internet && Enable_Update);
         }},
        {&Btn_Prm_Gen, 20, 24, [] { if (FParGen) FParGen->ShowModal(); }},
        {&Btn_LoRaWAN_Access, 21, 25, [] { if (FLoRa_Set_Access) FLoRa_Set_Access->ShowModal(); }},
        {&Btn_MBus, 31, 32, [] { if (FMeter_Bus) FMeter_Bus->ShowModal(); }},
        {&Btn_ScanDecode, 33, 34, [this] { Scan_Decode(); }},
        {&Btn_CreateBin, 17, 26, [this] { Update_Device(); }},
        {&Btn_BACnet_SetAccess, 27, 29, [] { if (FBACnetAccess) FBACnetAccess->ShowModal(); }},
        {&Btn_BACnet_EDE_File, -1, -1, [] { Save_EDE_File(); }},
        {&Btn_Modbus_Set_Access, 36, 37, [] { if (FModbus_TCP_Master_Set_Access) FModbus_TCP_Master_Set_Access->ShowModal(); }},
        {&Btn_CAN_Rec_Frame, 38, 39, [] { if (FReceiveCAN) FReceiveCAN->ShowModal(); }},
        {&Btn_CAN_Send_Frame, 40, 41, [] { if (FTransmitCAN) FTransmitCAN->ShowModal(); }},
        {&Btn_PDO_CANopen, 50, 51, [] { if (FSet_PDO_Access) FSet_PDO_Access->ShowModal(); }},
        {&Btn_SDO_Client_CANopen, 48, 49, [] { if (FSet_SDO_Client_Access) FSet_SDO_Client_Access->ShowModal(); }},
        {&Btn_SDO_Server_CANopen, 46, 47, [] { if (FSet_SDO_Server_Access) FSet_SDO_Server_Access->ShowModal(); }},
        {&Btn_CANopen_EDS, 52, 53, [] { Save_EDS_File(); }},
        {&Btn_DNet_Net, 54, 55, [] { if (FDNet) FDNet->ShowModal(); }},
        {&Btn_DNet_Offset, 56, 57, [] { if (FDefOffset) FDefOffset->ShowModal(); }},
        {&Btn_DMX_Default, 58, 59, [] { if (FDMXDefVal) FDMXDefVal->ShowModal(); }},
        {&Btn_EtherNetIP_Access, 60, 61, [] { if (FEtherNetIP_Master_Access) FEtherNetIP_Master_Access->ShowModal(); }},
        {&Btn_KNX_Access, -1, -1, [] { if (FKNXAccess) FKNXAccess->ShowModal(); }},
        {&Btn_PROFIBUS_GSD, 62, 63, [] { Save_GSD_File(); }},
        {&Btn_PROFINET_XML, 64, 65, [] {
             if (FProfinetFileName && FProfinetFileName->ShowModal() == mrOk)
                 Save_GSDML_File(FProfinetFileName->Name_File_XML);
         }},
        {&Btn_IEC61850_Client, 66, 67, [] { if (FIEC_61850_Access) FIEC_61850_Access->ShowModal(); }},
        {&Btn_TLS_List_Certificates, 70, 71, [] { if (FTLS_Server_Known_Cert) FTLS_Server_Known_Cert->ShowModal(); }},
        {&Btn_IEC61850_Access, 68, 69, [] { if (FIEC61850_Variables) FIEC61850_Variables->ShowModal(); }},
        {&Btn_MQTT_Set_Topic, 72, 73, [] { if (FMQTT_Set_Topic) FMQTT_Set_Topic->ShowModal(); }},
        {&Btn_OPC_UA_Client_Access, 74, 75, [] { if (FOPC_UA_Client_Access) FOPC_UA_Client_Access->ShowModal(); }},
        {&Btn_OPC_UA_Server_Access, 76, 77, [] { if (FOPC_UA_Server_Access) FOPC_UA_Server_Access->ShowModal(); }},
        {&Btn_S7_Protocol_Access, 78, 79, [] { if (FS7_Protocol_Set_Access) FS7_Protocol_Set_Access->ShowModal(); }},
        {&Btn_SNMP_Manager_Access, 80, 81, [] { if (FSNMPManagerAccess) FSNMPManagerAccess->ShowModal(); }},
        {&Btn_SNMP_Trap, 82, 83, [] { if (FSNMP_Trap_Access) FSNMP_Trap_Access->ShowModal(); }},
        {&Btn_SNMP_MIB, 84, 85, [] { SNMP_MIB_File(); }},
    };

    Btn_Info->SetGlyph(Step_Glyph("info"));
    Btn_Opz->SetGlyph(Step_Glyph("options"));
    Btn_Close->SetGlyph(Step_Glyph("close"));
    const std::pair<TLbButton*, const char*> glyphs[] = {
        {Btn_New, "new"}, {Btn_Open, "open"}, {Btn_Prm_Gen, "parameters"}, {Btn_LoRaWAN_Access, "lorawan"},
        {Btn_MBus, "mbus"}, {Btn_ScanDecode, "scan"}, {Btn_CreateBin, "update"},
    };
    for (const auto& [button, glyph] : glyphs)
        button->SetGlyph(Step_Glyph(glyph));
    for (TLbButton* b : Buttons()) {
        if (b != Btn_Info && b != Btn_Opz && b != Btn_Close)
            b->SetAlignment(taLeftJustify);
        b->OnClick = [this](QObject* sender) { Btn_Click(sender); };
    }
}

std::vector<TLbButton*> TFRorudizezFirmWare::Buttons() const
{
    std::vector<TLbButton*> out;
    for (const Step& s : steps_)
        out.push_back(*s.button);
    return out;
}

void TFRorudizezFirmWare::Lay_Out_Steps()
{
    // This model shows five steps; the other family members' buttons stay hidden.
    const TLbButton* shown[] = {Btn_Info, Btn_Opz, Btn_Close, Btn_New, Btn_Open, Btn_Prm_Gen,
                                Btn_LoRaWAN_Access, Btn_MBus, Btn_ScanDecode, Btn_CreateBin};
    for (const Step& s : steps_) {
        TLbButton* b = *s.button;
        b->SetVisible(std::find(std::begin(shown), std::end(shown), b) != std::end(shown));
    }
    for (TLabel* step : {L_Step_6, L_Step_7, L_Step_8})
        step->SetVisible(false);
    Shape1->SetBounds(10, Btn_CreateBin->Top() + 51, 674, 1);
    SetClientWidth(694);
    SetClientHeight(Btn_CreateBin->Top() + 152);
}

void TFRorudizezFirmWare::FormCreate(const QString& programFolder)
{
    // 1. The language table starts empty.
    Language_List.clear();
    Language_Count = 0;
    Create_Controls();
    // 2. The fixed steps of this model.
    Lay_Out_Steps();
    // 3. Folders beside the program; one that cannot be made is not reported.
    Program_Folder = programFolder;
    while (Program_Folder.size() > 1 && Program_Folder.endsWith(QLatin1Char('/')))
        Program_Folder.chop(1);
    Master_Folder = JoinPath(Program_Folder, QStringLiteral("MASTER"));
    Projects_Folder = JoinPath(Program_Folder, QStringLiteral("PROJECTS"));
    Language_Folder = JoinPath(Program_Folder, QStringLiteral("LANGUAGE"));
    for (const QString& folder : {Master_Folder, Projects_Folder, Language_Folder})
        if (!DirectoryExists(folder))
            CreateFolder(folder);
    // 4.
    Project_Name.clear();
    Update_Read_Back = true;
    // 5. Settings.
    Read_Setting();
    // 6. The timed version check runs only with both options on.
    Timer_Update->SetEnabled(Enable_Internet && Enable_Update);
    // 7. Identity, not from the language table.
    SW_Title = QStringLiteral("Rizova - Configurator DIZ5U15 M-Bus Master / LoRaWAN ");
    SW_Code = Build_SW_Code;
    SW_Desc = Build_SW_Desc;
    SetCaption(SW_Title);
    L_SW_Code->SetCaption(SW_Code);
    L_SW_Desc->SetCaption(SW_Desc);
    // 8.
    Load_Language();
    // 9. The last configuration, when its folder is still there; the name is
    // kept either way for the settings file.
    const QString last = JoinPath(Projects_Folder, Project_Name);
    Project_Folder = (!Project_Name.isEmpty() && DirectoryExists(last)) ? last : QString();
    // 11.
    Set_Lang();
    // 12.
    Set_Files();
    // 13.
    Copy_Row_List.clear();
    Copy_Row_Check.clear();
    List_MIB_Read_Desc.clear();
    List_MIB_Write_Desc.clear();
}

void TFRorudizezFirmWare::Read_Setting()
{
    Project_Folder.clear();
    Last_IP_Address = QStringLiteral("192.168.2.205");
    Language_Name = QStringLiteral("English");
    Enable_Internet = Enable_Update = Enable_Jump_Field_Tables = Double_Click_Auto_Size = false;

    const QString path = JoinPath(Program_Folder, QStringLiteral("Vudidid.xml"));
    // A file that is missing or cannot be loaded leaves every default, silently.
    if (!FileExists(path) || !XML1.Load(path))
        return;
    const XmlNode root = XML1.FirstChild();
    auto text = [&](const char* group, const char* child) -> std::optional<QString> {
        const XmlNode g = root.FindChild(QString::fromLatin1(group));
        const XmlNode c = g.FindChild(QString::fromLatin1(child));
        if (c.IsNull())
            return std::nullopt;
        return c.Text();
    };
    if (auto v = text("lastproj", "projectname"))
        Project_Name = *v;
    if (auto v = text("lastipadd", "ipaddress"))
        Last_IP_Address = *v;
    if (auto v = text("lastlang", "language"))
        Language_Name = *v;
    auto flag = [&](const char* child) { return text("lastinternet", child) == QStringLiteral("1"); };
    Enable_Internet = flag("enable_internet");
    Enable_Update = flag("enable_update");
    Enable_Jump_Field_Tables = flag("enable_jump_field_tables");
    Double_Click_Auto_Size = flag("Double_Click_Auto_Size");
}

bool TFRorudizezFirmWare::Save_Setting()
{
    XML1.Clear();
    XmlNode root = XML1.AddChild(QStringLiteral("Conf_Settings"));
    root.AddChild(QStringLiteral("lastproj")).AddChild(QStringLiteral("projectname")).SetText(Project_Name);
    root.AddChild(QStringLiteral("lastipadd")).AddChild(QStringLiteral("ipaddress")).SetText(Last_IP_Address);
    root.AddChild(QStringLiteral("lastlang")).AddChild(QStringLiteral("language")).SetText(Language_Name);
    XmlNode internet = root.AddChild(QStringLiteral("lastinternet"));
    auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    internet.AddChild(QStringLiteral("enable_internet")).SetText(flag(Enable_Internet));
    internet.AddChild(QStringLiteral("enable_update")).SetText(flag(Enable_Update));
    internet.AddChild(QStringLiteral("enable_jump_field_tables")).SetText(flag(Enable_Jump_Field_Tables));
    internet.AddChild(QStringLiteral("Double_Click_Auto_Size")).SetText(flag(Double_Click_Auto_Size));
    QString error;
    if (XML1.Save(JoinPath(Program_Folder, QStringLiteral("Vudidid.xml")), &error))
        return true;
    ShowErrorBox(error);
    return false;
}

void TFRorudizezFirmWare::DoClose(TCloseAction& action)
{
    // The settings are written at every close. When they cannot be, the user
    // has been told; the program still ends, so it never traps the user.
    Save_Setting();
    TForm::DoClose(action);
}

void TFRorudizezFirmWare::Show_Configuration_Lines()
{
    if (!Project_Folder.isEmpty()) {
        L_Name_Conf->SetCaption(Language_List.value(11));
        L_Name_Conf_L2->SetCaption(Project_Name);
    } else {
        L_Name_Conf->SetCaption(Language_List.value(9));
        L_Name_Conf_L2->SetCaption(Language_List.value(10));
    }
}

void TFRorudizezFirmWare::Set_Lang()
{
    L_Begin->SetCaption(Language_List.value(0));
    TLabel* const steps[] = {L_Step_1, L_Step_2, L_Step_3, L_Step_4, L_Step_5, L_Step_6, L_Step_7, L_Step_8};
    for (int i = 0; i < 8; ++i)
        steps[i]->SetCaption(Language_List.value(i + 1));
    for (const Step& s : steps_) {
        if (s.caption >= 0)
            (*s.button)->SetCaption(Language_List.value(s.caption));
        if (s.hint >= 0)
            (*s.button)->SetHint(Language_List.value(s.hint));
    }
    Show_Configuration_Lines();
}

namespace {

template <class W>
void Add_Language_Window(std::vector<TFRorudizezFirmWare::Language_Window>& list, W* window)
{
    if (window)
        list.push_back({window, [window] { window->Set_Lang(); }});
}

} // namespace

std::vector<TFRorudizezFirmWare::Language_Window> TFRorudizezFirmWare::Language_Windows()
{
    std::vector<Language_Window> list;
    const auto add = [&list](auto* window) { Add_Language_Window(list, window); };
    add(this);
    add(FNew_Project);
    add(FOpenConf);
    add(FSoftOptions);
    add(FBoot);
    add(FParGen);
    add(FLoRa_Set_Access);
    add(FBACnetAccess);
    add(FImportEDEFile);
    add(FBACnetSlaveSetAccess);
    add(FBACnet_Eng_Unit);
    add(FMeter_Bus);
    add(FNewIDNode);
    add(FSetAccess);
    add(FModbus_TCP_Master_Set_Access);
    add(FReceiveCAN);
    add(FTransmitCAN);
    add(FSet_PDO_Access);
    add(FSet_SDO_Client_Access);
    add(FSet_SDO_Server_Access);
    add(FDNet);
    add(FDefOffset);
    add(FDMXDefVal);
    add(FEtherNetIP_Master_Access);
    add(FEtherNEtIP_EDS);
    add(FReceiveJ1939);
    add(FTransmitJ1939);
    add(FKNXAccess);
    add(FReceiveNMEA);
    add(FTransmitNMEA);
    add(FIEC_61850_Access);
    add(FProfinetFileName);
    add(FTLS_Server_Known_Cert);
    add(FIEC61850_Variables);
    add(FMQTT_Set_Topic);
    add(FTopicTemplate);
    add(FOPC_UA_Client_Access);
    add(FOPC_UA_Add_Server);
    add(FOPC_UA_Scan_Server);
    add(FOPC_UA_Server_Access);
    add(FS7_Protocol_Set_Access);
    add(FSNMPManagerAccess);
    add(FSNMP_Trap_Access);
    return list;
}

void TFRorudizezFirmWare::Change_Language()
{
    for (const Language_Window& w : Language_Windows())
        w.Set_Lang();
}

int TFRorudizezFirmWare::Get_Type_BACnet()
{
    if (!FileExists(FileName_ParGen))
        return 0;
    QString error;
    if (!XML1.Load(FileName_ParGen, &error)) {
        ShowErrorBox(error);
        return 0;
    }
    return NumberOr(XML1.DocumentElement().FindChild(QStringLiteral("BACnet_Type")).Text(), 0);
}

void TFRorudizezFirmWare::Set_Files() { ::Set_Files(); }

const TFRorudizezFirmWare::Step* TFRorudizezFirmWare::Find_Step(QObject* sender) const
{
    for (const Step& s : steps_)
        if (*s.button == sender)
            return &s;
    return nullptr;
}

void TFRorudizezFirmWare::Btn_Click(QObject* sender)
{
    const Step* step = Find_Step(sender);
    if (!step)
        return;
    // New, Open, Close, Info and Options work without a configuration.
    const bool free = step->button == &Btn_New || step->button == &Btn_Open || step->button == &Btn_Close
                      || step->button == &Btn_Info || step->button == &Btn_Opz;
    if (!free && Project_Folder.isEmpty()) {
        ShowMessage(MessageKind::Error, Language_List.value(18), MessageButtons::Ok);
        return;
    }
    if (step->action)
        step->action();
}

void TFRorudizezFirmWare::Create_New_Project()
{
    if (!FNew_Project || FNew_Project->ShowModal() != mrOk)
        return;
    L_Name_Conf->SetCaption(Language_List.value(11));
    L_Name_Conf_L2->SetCaption(Project_Name);
}

void TFRorudizezFirmWare::Open_Project()
{
    if (!FOpenConf || FOpenConf->ShowModal() != mrOk)
        return;
    if (!FOpenConf->Name_Conf.isEmpty()) {
        Project_Name = FOpenConf->Name_Conf;
        Project_Folder = JoinPath(Projects_Folder, Project_Name);
    } else {
        Project_Name.clear();
        Project_Folder.clear();
    }
    Show_Configuration_Lines();
    Set_Files();
}

void TFRorudizezFirmWare::Scan_Decode()
{
    if (FileExists(FileName_M_Bus)
        && ShowMessage(MessageKind::Warning, Language_List.value(35), MessageButtons::YesNo) == MessageAnswer::No)
        return;
    if (!FScanDecode)
        return;
    FScanDecode->XML_Code_Dev = 21;
    FScanDecode->FileName_MBus = FileName_M_Bus;
    FScanDecode->Form_Type = 1;
    FScanDecode->ShowModal();
}

void TFRorudizezFirmWare::Update_Device()
{
    // New images under an updater still writing the old ones would mix them.
    if (Check_Started_Program()) {
        ShowMessage(MessageKind::Warning,
                    QStringLiteral("\"%1\" is still running. Start a new update when it has ended.").arg(started_name_));
        return;
    }
    QString loadError;
    if (!Check_Config_LoraWAN(&loadError)) {
        if (!loadError.isEmpty())
            ShowErrorBox(loadError);
        else
            ShowMessage(MessageKind::Error, Language_List.value(30), MessageButtons::Ok);
        return;
    }
    if (!Build_Device_Images() || !Write_Device_Images())
        return;
    if (!FBoot)
        return;
    FBoot->Form_Type = 1;
    FBoot->ShowModal();
}

bool TFRorudizezFirmWare::Check_Config_LoraWAN(QString* loadError)
{
    if (loadError)
        loadError->clear();
    int c = 0;
    if (FileExists(FileName_ParGen)) {
        QString error;
        if (!XML1.Load(FileName_ParGen, &error)) {
            if (loadError)
                *loadError = error;
            return false;
        }
        c = NumberOr(XML1.DocumentElement().FindChild(QStringLiteral("LoRa_Payload_Size")).Text(), 0);
    }
    // The rules as the rules window reads them, so that a rule it shows as
    // enabled is checked here too (a missing "Enable" reads as "Y").
    TLoRa_Rules rules;
    QString error;
    switch (Load_LoRa_Rules(FileName_LoRaWAN_SetAccess, &rules, &error)) {
    case TLoRa_Load::Missing:
        return true;
    case TLoRa_Load::Not_Loaded:
        if (loadError)
            *loadError = error;
        return false;
    case TLoRa_Load::Loaded:
        break;
    }
    const TLoRa_Table_Layout& layout = LoRa_Layout(TLoRa_Table::Uplink);
    for (const QStringList& rule : rules.uplink) {
        if (!LoRa_Rule_Enabled(rule.value(layout.enable - 1)))
            continue;
        const int n = NumberOr(rule.value(layout.num_byte - 1), -1);
        if (n < 0 || n > c - 2)
            return false;
    }
    return true;
}

bool TFRorudizezFirmWare::Start_Program(const QString& NomeSW, const QString& Parameter, bool)
{
    if (Check_Started_Program())
        return false;
    auto process = std::make_unique<ChildProcess>();
    QString error;
    if (!process->Start(NomeSW, Parameter, &error)) {
        ShowMessage(MessageKind::Error, error);
        return false;
    }
    started_program_ = std::move(process);
    started_name_ = NomeSW;
    wait_ended_ = false;
    // Polled every 10 ms; between polls the windows paint and the caller
    // keeps its buttons off.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (const std::optional<int> code = started_program_->PollExitCode()) {
            started_program_.reset();
            if (*code == 0)
                return true;
            ShowMessage(MessageKind::Error, QStringLiteral("\"%1\" ended with the code %2.").arg(NomeSW).arg(*code));
            return false;
        }
        if (waited.elapsed() >= Program_Wait_Limit_Ms) {
            wait_ended_ = true;
            return false;
        }
        QEventLoop pause;
        QTimer::singleShot(10, &pause, &QEventLoop::quit);
        pause.exec();
    }
}

void TFRorudizezFirmWare::Switch_Update_Timer(bool on)
{
    // A timer already running keeps its rhythm; one switched on checks after a minute.
    if (on == Timer_Update->Enabled())
        return;
    if (on)
        Timer_Update->SetInterval(60000);
    Timer_Update->SetEnabled(on);
}

void TFRorudizezFirmWare::Timer_UpdateTimer(QObject*)
{
    // Off while the check runs, so ticks cannot pile up behind a slow server.
    Timer_Update->SetEnabled(false);
    if (FSoftOptions && FSoftOptions->Check_Version()) {
        LL_Update->SetCaption(Download_Link(Language_List.value(19)));
        LL_Update->SetVisible(true);
    } else {
        LL_Update->SetVisible(false);
    }
    Timer_Update->SetInterval(7200000);
    Timer_Update->SetEnabled(true);
}

bool TFRorudizezFirmWare::Check_Started_Program()
{
    if (!started_program_)
        return false;
    const std::optional<int> code = started_program_->PollExitCode();
    if (!code)
        return true;
    started_program_.reset();
    if (wait_ended_ && *code != 0)
        ShowMessage(MessageKind::Error, QStringLiteral("\"%1\" ended with the code %2.").arg(started_name_).arg(*code));
    wait_ended_ = false;
    return false;
}

void Create_All_Windows(const QString& programFolder)
{
    FRorudizezFirmWare = new TFRorudizezFirmWare(programFolder);
    Application().SetMainForm(FRorudizezFirmWare);
    // The main window is shown at once; the others build their controls
    // when first shown, each still made here at its place in the order.
    const Deferred_Building deferred;
    FNew_Project = new TFNew_Project();
    FOpenConf = new TFOpenConf();
    FAbout = new TFAbout();
    FSoftOptions = new TFSoftOptions();
    FParGen = new TFParGen();
    FBoot = new TFBoot();
    FLoRa_Set_Access = new TFLoRa_Set_Access();
    FBACnetAccess = new TFBACnetAccess();
    FImportEDEFile = new TFImportEDEFile();
    FBACnet_Eng_Unit = new TFBACnet_Eng_Unit();
    FBACnetSlaveSetAccess = new TFBACnetSlaveSetAccess();
    FMeter_Bus = new TFMeter_Bus();
    FNewIDNode = new TFNewIDNode();
    FInsertKeyWireless = new TFInsertKeyWireless();
    FModbusStartAdd_SD = new TFModbusStartAdd_SD();
    FScanDecode = new TFScanDecode();
    FScanModbusStart = new TFScanModbusStart();
    // The windows of the other family members, at their places in the order.
    FSetAccess = new TFSetAccess();
    FModbus_TCP_Master_Set_Access = new TFModbus_TCP_Master_Set_Access();
    FReceiveCAN = new TFReceiveCAN();
    FTransmitCAN = new TFTransmitCAN();
    FSet_PDO_Access = new TFSet_PDO_Access();
    FSet_SDO_Client_Access = new TFSet_SDO_Client_Access();
    FSet_SDO_Server_Access = new TFSet_SDO_Server_Access();
    FDefOffset = new TFDefOffset();
    FDNet = new TFDNet();
    FDMXDefVal = new TFDMXDefVal();
    FEtherNEtIP_EDS = new TFEtherNEtIP_EDS();
    FEtherNetIP_Master_Access = new TFEtherNetIP_Master_Access();
    FReceiveJ1939 = new TFReceiveJ1939();
    FTransmitJ1939 = new TFTransmitJ1939();
    FKNXAccess = new TFKNXAccess();
    FReceiveNMEA = new TFReceiveNMEA();
    FTransmitNMEA = new TFTransmitNMEA();
    FProfinetFileName = new TFProfinetFileName();
    FIEC_61850_Access = new TFIEC_61850_Access();
    FIEC61850_Variables = new TFIEC61850_Variables();
    FTLS_Server_Known_Cert = new TFTLS_Server_Known_Cert();
    FMQTT_Set_Topic = new TFMQTT_Set_Topic();
    FTopicTemplate = new TFTopicTemplate();
    FOPC_UA_Add_Server = new TFOPC_UA_Add_Server();
    FOPC_UA_Client_Access = new TFOPC_UA_Client_Access();
    FOPC_UA_Scan_Server = new TFOPC_UA_Scan_Server();
    FOPC_UA_Server_Access = new TFOPC_UA_Server_Access();
    FS7_Protocol_Set_Access = new TFS7_Protocol_Set_Access();
    FSNMPManagerAccess = new TFSNMPManagerAccess();
    FSNMP_Trap_Access = new TFSNMP_Trap_Access();
}

void Destroy_All_Windows()
{
    // Each of these windows clears its own instance pointer; last created, first gone.
    delete FSNMP_Trap_Access;
    delete FSNMPManagerAccess;
    delete FS7_Protocol_Set_Access;
    delete FOPC_UA_Server_Access;
    delete FOPC_UA_Scan_Server;
    delete FOPC_UA_Client_Access;
    delete FOPC_UA_Add_Server;
    delete FTopicTemplate;
    delete FMQTT_Set_Topic;
    delete FTLS_Server_Known_Cert;
    delete FIEC61850_Variables;
    delete FIEC_61850_Access;
    delete FProfinetFileName;
    delete FTransmitNMEA;
    delete FReceiveNMEA;
    delete FKNXAccess;
    delete FTransmitJ1939;
    delete FReceiveJ1939;
    delete FEtherNetIP_Master_Access;
    delete FEtherNEtIP_EDS;
    delete FDMXDefVal;
    delete FDNet;
    delete FDefOffset;
    delete FSet_SDO_Server_Access;
    delete FSet_SDO_Client_Access;
    delete FSet_PDO_Access;
    delete FTransmitCAN;
    delete FReceiveCAN;
    delete FModbus_TCP_Master_Set_Access;
    delete FSetAccess;
    delete FScanModbusStart;
    delete FScanDecode;
    delete FModbusStartAdd_SD;
    delete FInsertKeyWireless;
    delete FNewIDNode;
    FNewIDNode = nullptr;
    delete FMeter_Bus;
    FMeter_Bus = nullptr;
    delete FBACnetSlaveSetAccess;
    delete FBACnet_Eng_Unit;
    delete FImportEDEFile;
    delete FBACnetAccess;
    delete FLoRa_Set_Access;
    FLoRa_Set_Access = nullptr;
    delete FBoot;
    FBoot = nullptr;
    delete FParGen;
    FParGen = nullptr;
    delete FSoftOptions;
    FSoftOptions = nullptr;
    delete FAbout;
    FAbout = nullptr;
    delete FOpenConf;
    FOpenConf = nullptr;
    delete FNew_Project;
    FNew_Project = nullptr;
    delete FRorudizezFirmWare;
    FRorudizezFirmWare = nullptr;
}
