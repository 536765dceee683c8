#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/UNew_Project.h"
#include "shell/UOpenConf.h"
#include "shell/URorudizezFirmWare.h"
#include "shell/USoftOptions.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"

#include "configuration/UBoot.h"
#include "configuration/UParGen.h"
#include "configuration/UParGen_File.h"
#include "mbus/UScanDecode.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "widgets/LbButton.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace platform;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

// A program folder of its own for every test; the windows are made as the
// program makes them at start.
class MainWindow : public ::testing::Test
{
protected:
    void Start() { Create_All_Windows(dir.path()); }
    void TearDown() override { Destroy_All_Windows(); }
    QString Settings() const { return dir.filePath("Vudidid.xml"); }
    void WriteSettings(const QByteArray& xml) { ASSERT_TRUE(WriteAll(Settings(), xml)); }
    TFRorudizezFirmWare& W() { return *FRorudizezFirmWare; }

    QTemporaryDir dir;
};

QByteArray SettingsFile(const char* name, const char* ip, const char* language, const char* flags)
{
    return QByteArray("<Conf_Settings>\n\t<lastproj>\n\t\t<projectname") + (*name ? QByteArray(">") + name + "</projectname>" : QByteArray(" />"))
           + "\n\t</lastproj>\n\t<lastipadd>\n\t\t<ipaddress" + (*ip ? QByteArray(">") + ip + "</ipaddress>" : QByteArray(" />"))
           + "\n\t</lastipadd>\n\t<lastlang>\n\t\t<language>" + language + "</language>\n\t</lastlang>\n\t<lastinternet>\n"
           "\t\t<enable_internet>" + flags[0] + "</enable_internet>\n"
           "\t\t<enable_update>" + flags[1] + "</enable_update>\n"
           "\t\t<enable_jump_field_tables>" + flags[2] + "</enable_jump_field_tables>\n"
           "\t\t<Double_Click_Auto_Size>" + flags[3] + "</Double_Click_Auto_Size>\n"
           "\t</lastinternet>\n</Conf_Settings>\n";
}

} // namespace

TEST_F(MainWindow, FirstStartInAnEmptyFolder)
{
    Start();
    for (const char* folder : {"MASTER", "PROJECTS", "LANGUAGE"})
        EXPECT_TRUE(DirectoryExists(dir.filePath(folder))) << folder;
    EXPECT_EQ(Program_Folder, dir.path());
    EXPECT_EQ(Projects_Folder, dir.filePath("PROJECTS"));
    EXPECT_EQ(Language_Name, "English");
    EXPECT_TRUE(Project_Folder.isEmpty());
    EXPECT_TRUE(Update_Read_Back);
    EXPECT_EQ(W().Caption(), "Rizova - Configurator DIZ5U15 M-Bus Master / LoRaWAN ");
    EXPECT_EQ(W().L_SW_Code->Caption(), "DIZ5U15");
    EXPECT_EQ(W().L_SW_Desc->Caption(), "M-Bus Master / LoRaWAN - Converter");
    EXPECT_EQ(W().L_Name_Conf->Caption(), "None Configuration Opened ");
    EXPECT_EQ(W().L_Name_Conf_L2->Caption(), "Use Step1 to open or create new configuration");
    EXPECT_FALSE(W().Timer_Update->Enabled());
    EXPECT_EQ(W().Timer_Update->Interval(), 60000);
    EXPECT_EQ(Language_List.size(), 6300);

    W().Close();
    EXPECT_EQ(ReadAll(Settings()).toStdString(), SettingsFile("", "192.168.2.205", "English", "0000").toStdString());
}

TEST_F(MainWindow, TheFiveStepsOfThisModel)
{
    Start();
    struct Shown
    {
        TLbButton* button;
        int left, top, width, height;
        const char* caption;
        const char* hint;
    };
    const Shown shown[] = {
        {W().Btn_Info, 516, 8, 50, 50, "", "Information"},
        {W().Btn_Opz, 574, 8, 50, 50, "", "Options"},
        {W().Btn_Close, 632, 8, 50, 50, "", "Close Configurator"},
        {W().Btn_ScanDecode, 516, 70, 166, 36, "Scan && Decode", "Possibility to scan the M-Bus Network"},
        {W().Btn_New, 80, 112, 170, 36, "New Configuration", "Create a new configuration for the device"},
        {W().Btn_Open, 258, 112, 170, 36, "Open Configuration", "Open an exists configuration"},
        {W().Btn_Prm_Gen, 80, 156, 170, 36, "Set Communication", "Set the main parameters of Protocols"},
        {W().Btn_LoRaWAN_Access, 80, 200, 170, 36, "Set LoRaWAN Access", "Set the Rules in Uplink and Downlink for LoRaWAN"},
        {W().Btn_MBus, 80, 244, 170, 36, "M-Bus", "Set the Nodes and Variables for M-Bus Network"},
        {W().Btn_CreateBin, 80, 288, 170, 36, "Update Device UDP", "Update the actual Firmware and/or Configuration in the device"},
    };
    for (const Shown& s : shown) {
        SCOPED_TRACE(s.button->Name().toStdString());
        EXPECT_TRUE(s.button->Visible());
        EXPECT_EQ(s.button->BoundsRect(), Bounds(s.left, s.top, s.width, s.height));
        EXPECT_EQ(s.button->Caption(), QString::fromLatin1(s.caption));
        EXPECT_EQ(s.button->Hint(), QString::fromLatin1(s.hint));
    }
    const auto buttons = W().Buttons();
    EXPECT_EQ(buttons.size(), 36u);
    int hidden = 0;
    for (TLbButton* b : buttons)
        hidden += !b->Visible();
    EXPECT_EQ(hidden, 26);
    EXPECT_EQ(W().Btn_Modbus_Set_Access->Caption(), "Modbus Set Access");
    EXPECT_EQ(W().Btn_KNX_Access->Caption(), "KNX Access");

    const TLabel* steps[] = {W().L_Step_1, W().L_Step_2, W().L_Step_3, W().L_Step_4, W().L_Step_5};
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(steps[i]->Visible());
        EXPECT_EQ(steps[i]->Caption(), QStringLiteral("Step %1").arg(i + 1));
        EXPECT_EQ(steps[i]->Top(), 128 + 44 * i);
    }
    EXPECT_FALSE(W().L_Step_6->Visible());
    EXPECT_FALSE(W().L_Step_8->Visible());
    EXPECT_EQ(W().L_Begin->Caption(), "Begin");
    EXPECT_EQ(W().Shape1->BoundsRect(), Bounds(10, 339, 674, 1));
    EXPECT_EQ(W().Shape2->BoundsRect(), Bounds(80, 70, 348, 36));
    EXPECT_EQ(W().ClientWidth(), 694);
    EXPECT_EQ(W().ClientHeight(), 440);
    EXPECT_FALSE(W().LL_Update->Visible());
}

TEST_F(MainWindow, StepsNeedAnOpenConfiguration)
{
    Start();
    for (TLbButton* b : W().Buttons()) {
        DialogScript script;
        W().Btn_Click(b);
        const bool free = b == W().Btn_New || b == W().Btn_Open || b == W().Btn_Info || b == W().Btn_Opz
                          || b == W().Btn_Close;
        if (free)
            continue;
        SCOPED_TRACE(b->Name().toStdString());
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
        EXPECT_EQ(script.Shown()[0].buttons, MessageButtons::Ok);
        EXPECT_EQ(script.Shown()[0].text, "Error! Project not Valid");
    }
}

TEST_F(MainWindow, SettingsAreReadValueByValue)
{
    struct Case
    {
        const char* name;
        QByteArray file;   // empty: no file
        const char* project;
        const char* ip;
        const char* language;
        bool flags[4];
    };
    const Case cases[] = {
        {"no file", "", "", "192.168.2.205", "English", {false, false, false, false}},
        {"whole file", SettingsFile("Plant", "10.0.0.7", "English", "1011"), "Plant", "10.0.0.7", "English", {true, false, true, true}},
        {"only the language", "<Conf_Settings><lastlang><language>Klingon</language></lastlang></Conf_Settings>",
         "", "192.168.2.205", "English", {false, false, false, false}},
        {"internet without update", "<Conf_Settings><lastinternet><enable_internet>1</enable_internet></lastinternet></Conf_Settings>",
         "", "192.168.2.205", "English", {true, false, false, false}},
        {"flags are exactly 1", "<Conf_Settings><lastinternet><enable_internet> 1 </enable_internet><enable_update>yes</enable_update>"
                                "<enable_jump_field_tables></enable_jump_field_tables><Double_Click_Auto_Size>1</Double_Click_Auto_Size>"
                                "</lastinternet></Conf_Settings>",
         "", "192.168.2.205", "English", {false, false, false, true}},
        {"empty texts stay empty", "<Conf_Settings><lastproj><projectname></projectname></lastproj><lastipadd><ipaddress/></lastipadd></Conf_Settings>",
         "", "", "English", {false, false, false, false}},
        {"not well-formed", "<Conf_Settings><lastproj>", "", "192.168.2.205", "English", {false, false, false, false}},
        {"a comment first", "<!--x--><Conf_Settings><lastipadd><ipaddress>1.2.3.4</ipaddress></lastipadd></Conf_Settings>",
         "", "192.168.2.205", "English", {false, false, false, false}},
        {"root name not compared", "<Other><lastipadd><ipaddress>1.2.3.4</ipaddress></lastipadd></Other>",
         "", "1.2.3.4", "English", {false, false, false, false}},
        {"not XML at all", QByteArray("\x00\xFF\xFE garbage", 12), "", "192.168.2.205", "English", {false, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(Settings());
        if (!c.file.isEmpty())
            WriteSettings(c.file);
        Start();
        EXPECT_EQ(Project_Name, QString::fromLatin1(c.project));
        EXPECT_EQ(Last_IP_Address, QString::fromLatin1(c.ip));
        EXPECT_EQ(Language_Name, QString::fromLatin1(c.language));
        EXPECT_EQ(Enable_Internet, c.flags[0]);
        EXPECT_EQ(Enable_Update, c.flags[1]);
        EXPECT_EQ(Enable_Jump_Field_Tables, c.flags[2]);
        EXPECT_EQ(Double_Click_Auto_Size, c.flags[3]);
        EXPECT_EQ(W().Timer_Update->Enabled(), c.flags[0] && c.flags[1]);
        Destroy_All_Windows();
    }
}

TEST_F(MainWindow, SettingsRoundTripAndBrokenFilesAreReplaced)
{
    WriteSettings("<Conf_Settings><lastproj>");
    Start();
    Project_Name = "";
    Last_IP_Address = "";
    Enable_Update = true;
    Enable_Internet = true;
    W().Close();
    EXPECT_EQ(ReadAll(Settings()).toStdString(), SettingsFile("", "", "English", "1100").toStdString());
    Destroy_All_Windows();

    Start();
    EXPECT_EQ(Last_IP_Address, "");
    EXPECT_TRUE(Enable_Internet && Enable_Update);
    EXPECT_TRUE(W().Timer_Update->Enabled());
}

TEST_F(MainWindow, TheLastConfigurationIsReopenedWhenItsFolderExists)
{
    ASSERT_TRUE(ForceFolders(dir.filePath("PROJECTS/Plant A")));
    WriteSettings(SettingsFile("Plant A", "10.0.0.7", "English", "0000"));
    Start();
    EXPECT_EQ(Project_Folder, dir.filePath("PROJECTS/Plant A"));
    EXPECT_EQ(W().L_Name_Conf->Caption(), "Opened Configuration of the Converter : ");
    EXPECT_EQ(W().L_Name_Conf_L2->Caption(), "Plant A");
    EXPECT_EQ(FileName_M_Bus, dir.filePath("PROJECTS/Plant A/M_Bus.xml"));
    Destroy_All_Windows();

    // Its folder deleted: nothing is open, but the name is kept for next time.
    ASSERT_TRUE(QDir(dir.filePath("PROJECTS/Plant A")).removeRecursively());
    Start();
    EXPECT_TRUE(Project_Folder.isEmpty());
    EXPECT_EQ(W().L_Name_Conf->Caption(), "None Configuration Opened ");
    EXPECT_EQ(FileName_ParGen, "/ParGen.xml");
    W().Close();
    EXPECT_EQ(ReadAll(Settings()).toStdString(), SettingsFile("Plant A", "10.0.0.7", "English", "0000").toStdString());
}

TEST_F(MainWindow, TheThirtyProjectFilePaths)
{
    ASSERT_TRUE(ForceFolders(dir.filePath("PROJECTS/N")));
    WriteSettings(SettingsFile("N", "1.1.1.1", "English", "0000"));
    Start();
    const QStringList names = {"ParGen.xml", "LoRaWAN_SetAccess.xml", "ModbusM_SetAccess.xml", "M_Bus.xml",
        "ModbusTCPM_SetAccess.xml", "CAN_Rec_Frames.xml", "CAN_Send_Frames.xml", "SDO_Server_CANopen.xml",
        "SDO_Client_CANopen.xml", "PDO_CANopen.xml", "DNETM_Net.xml", "DNETM_DefOff.xml", "J1939_Rec_Frames.xml",
        "J1939_Send_Frames.xml", "NMEA_Rec_Frames.xml", "NMEA_Send_Frames.xml", "DMX_Default_Values.xml",
        "KNX_SetAccess.xml", "BACnet_Slave_SetAccess.xml", "BACnet_Master_Access.xml",
        "EtherNetIP_Master_Rules.xml", "IEC_61850_Client.xml", "TLS_Known_Cert.xml", "IEC61850_Variables.xml",
        "MQTT_Set_Topic.xml", "OPC_UA_Client.xml", "OPC_UA_Server.xml", "S7_Protocol.xml", "SNMP_Manager.xml",
        "SNMP_Trap.xml"};
    ASSERT_EQ(Project_Files().size(), 30u);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(*Project_Files()[i].path, dir.filePath("PROJECTS/N/" + names[i]));
    EXPECT_EQ(FileName_SNMP_Trap, dir.filePath("PROJECTS/N/SNMP_Trap.xml"));
}

TEST_F(MainWindow, NewConfigurationChecksTheName)
{
    Start();
    ASSERT_TRUE(CreateFolder(dir.filePath("PROJECTS/Plant")));
    struct Case
    {
        const char* name;
        const char* message;   // nullptr: created
    };
    const Case cases[] = {
        {"", "Error! Name Project is not valid"},
        {"Plant", "Error! Name project is not valid because directory already exists"},
        {"PLANT", "Error! Name project is not valid because directory already exists"},
        {"../outside", "Error! Name project is not valid"},
        {"..", "Error! Name project is not valid"},
        {"a/b", "Error! Name project is not valid"},
        {"a\\b", "Error! Name project is not valid"},
        {"   ", "Error! Name project is not valid"},
        {"name.", "Error! Name project is not valid"},
        {"con", "Error! Name project is not valid"},
        {"LPT1.txt", "Error! Name project is not valid"},
        {"why?", "Error! Name project is not valid"},
        {"Plant 2 \xC3\xA9", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromUtf8(c.name);
        DialogScript script;
        script.AnswerForm([&](QWidget&) {
            FNew_Project->E_New_Proj->SetText(name);
            testsupport::Click(FNew_Project->Btn_OK);
            if (FNew_Project->ModalResult() == mrNone)
                testsupport::Click(FNew_Project->Btn_Cancel);
        });
        W().Btn_Click(W().Btn_New);
        if (c.message) {
            ASSERT_EQ(script.Shown().size(), 2u);   // the form, then the error box
            EXPECT_EQ(script.Shown()[1].kind, MessageKind::Error);
            EXPECT_EQ(script.Shown()[1].text, QString::fromLatin1(c.message));
            EXPECT_TRUE(Project_Folder.isEmpty());
        } else {
            ASSERT_EQ(script.Shown().size(), 1u);
            EXPECT_EQ(Project_Name, name);
            EXPECT_EQ(Project_Folder, dir.filePath("PROJECTS/" + name));
            EXPECT_TRUE(DirectoryExists(dir.filePath("PROJECTS/" + name + "/bin")));
            EXPECT_EQ(FileName_ParGen, dir.filePath("PROJECTS/" + name + "/ParGen.xml"));
            EXPECT_EQ(W().L_Name_Conf->Caption(), "Opened Configuration of the Converter : ");
            EXPECT_EQ(W().L_Name_Conf_L2->Caption(), name);
            EXPECT_TRUE(QDir(Project_Folder).entryList(QDir::Files).isEmpty()) << "no project file yet";
        }
    }
    // Nothing was made outside PROJECTS or under a refused name.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              (QStringList{"LANGUAGE", "MASTER", "PROJECTS"}));
    EXPECT_EQ(ListSubFolders(Projects_Folder), (QStringList{"Plant", QString::fromUtf8("Plant 2 \xC3\xA9")}));
}

TEST_F(MainWindow, NewConfigurationByEnterAndCancel)
{
    Start();
    {
        DialogScript script;
        script.AnswerForm([&](QWidget&) {
            FNew_Project->E_New_Proj->SetFocus();
            testsupport::Type(FNew_Project->E_New_Proj, "Typed\r");
        });
        W().Btn_Click(W().Btn_New);
        EXPECT_EQ(Project_Name, "Typed");
        EXPECT_EQ(script.Unanswered(), 0);
    }
    {
        DialogScript script;
        script.AnswerForm([&](QWidget&) {
            FNew_Project->E_New_Proj->SetText("Other");
            testsupport::Click(FNew_Project->Btn_Cancel);
        });
        W().Btn_Click(W().Btn_New);
        EXPECT_EQ(Project_Name, "Typed");
        EXPECT_FALSE(DirectoryExists(dir.filePath("PROJECTS/Other")));
    }
}

TEST_F(MainWindow, OpenConfiguration)
{
    for (const char* name : {"beta", "Alpha", ".hidden"})
        ASSERT_TRUE(ForceFolders(dir.filePath(QString("PROJECTS/") + name)));
    ASSERT_TRUE(WriteAll(dir.filePath("PROJECTS/file.xml"), "x"));
    Start();

    // Nothing open: the first configuration is preselected; OK opens it.
    DialogScript script;
    script.AnswerForm([&](QWidget&) {
        EXPECT_EQ(FOpenConf->ListBox1->Items(), (QStringList{"Alpha", "beta"}));
        EXPECT_EQ(FOpenConf->ListBox1->ItemIndex(), 0);
        testsupport::Click(FOpenConf->Btn_OK);
    });
    W().Btn_Click(W().Btn_Open);
    EXPECT_EQ(Project_Name, "Alpha");
    EXPECT_EQ(FileName_M_Bus, dir.filePath("PROJECTS/Alpha/M_Bus.xml"));

    // The open one is preselected whatever its case; a click picks another.
    Project_Folder = dir.filePath("PROJECTS/BETA");
    script.AnswerForm([&](QWidget&) {
        EXPECT_EQ(FOpenConf->ListBox1->ItemIndex(), 1);
        FOpenConf->ListBox1->SetItemIndex(0);
        FOpenConf->ListBox1Click(FOpenConf->ListBox1);
        testsupport::Click(FOpenConf->Btn_OK);
    });
    W().Btn_Click(W().Btn_Open);
    EXPECT_EQ(Project_Name, "Alpha");

    // Cancel changes nothing.
    script.AnswerForm([&](QWidget&) {
        FOpenConf->ListBox1->SetItemIndex(1);
        FOpenConf->ListBox1Click(FOpenConf->ListBox1);
        testsupport::Click(FOpenConf->Btn_Cancel);
    });
    W().Btn_Click(W().Btn_Open);
    EXPECT_EQ(Project_Name, "Alpha");
    EXPECT_EQ(Project_Folder, dir.filePath("PROJECTS/Alpha"));
    EXPECT_EQ(script.Unanswered(), 0);
}

TEST_F(MainWindow, OpeningFromAnEmptyListLeavesNothingOpen)
{
    ASSERT_TRUE(ForceFolders(dir.filePath("PROJECTS/Gone")));
    WriteSettings(SettingsFile("Gone", "1.1.1.1", "English", "0000"));
    Start();
    ASSERT_FALSE(Project_Folder.isEmpty());
    ASSERT_TRUE(QDir(dir.filePath("PROJECTS/Gone")).removeRecursively());
    DialogScript script;
    script.AnswerForm([&](QWidget&) { testsupport::Click(FOpenConf->Btn_OK); });
    W().Btn_Click(W().Btn_Open);
    EXPECT_TRUE(Project_Name.isEmpty());
    EXPECT_TRUE(Project_Folder.isEmpty());
    EXPECT_EQ(W().L_Name_Conf_L2->Caption(), "Use Step1 to open or create new configuration");
    W().Btn_Click(W().Btn_Prm_Gen);
    ASSERT_EQ(script.Shown().size(), 2u);
    EXPECT_EQ(script.Shown()[1].text, "Error! Project not Valid");
}

TEST_F(MainWindow, TextsComeFromTheChosenLanguage)
{
    ASSERT_TRUE(ForceFolders(dir.filePath("LANGUAGE")));
    ASSERT_TRUE(WriteAll(dir.filePath("LANGUAGE/Italiano.lng"),
                         "STR0 = Inizio\nSTR15 = Nuova Configurazione\nSTR100 = Crea\nSTR9 = \xB6Nessuna \xB6\n"
                         "STR400 = Comunicazione\nSTR406 = LoRaWAN (it)\nSTR1002 = Aggiorna"));
    WriteSettings(SettingsFile("", "1.1.1.1", "Italiano", "0000"));
    Start();
    EXPECT_EQ(W().L_Begin->Caption(), "Inizio");
    EXPECT_EQ(W().Btn_New->Caption(), "Nuova Configurazione");
    EXPECT_EQ(W().L_Name_Conf->Caption(), "Nessuna ");
    EXPECT_EQ(FNew_Project->Caption(), "Crea");
    EXPECT_EQ(W().Btn_Open->Caption(), "Open Configuration");
    EXPECT_EQ(FParGen->Caption(), "Comunicazione");
    FParGen->BuildNow();   // as its first showing does
    EXPECT_EQ(FParGen->CP_LoRa->Caption(), "LoRaWAN (it)");
    EXPECT_EQ(FBoot->Caption(), "Aggiorna");

    Language_Name = "English";
    Load_Language();
    W().Change_Language();
    EXPECT_EQ(W().L_Begin->Caption(), "Begin");
    EXPECT_EQ(FNew_Project->Caption(), "Create New Configuration");
    EXPECT_EQ(FOpenConf->Caption(), "Open Configuration");
    EXPECT_EQ(FParGen->Caption(), "Set Communication");
    EXPECT_EQ(FParGen->CP_LoRa->Caption(), "LoRaWAN");
    EXPECT_EQ(FBoot->Caption(), "Update Device by Ethernet (UDP)");
}

TEST_F(MainWindow, StepTwoOpensTheGeneralParametersOfTheOpenConfiguration)
{
    ASSERT_TRUE(ForceFolders(dir.filePath("PROJECTS/Plant")));
    WriteSettings(SettingsFile("Plant", "1.1.1.1", "English", "0000"));
    Start();
    ASSERT_NE(FParGen, nullptr);
    const QString file = dir.filePath("PROJECTS/Plant/ParGen.xml");

    // Cancel writes nothing.
    DialogScript script;
    script.AnswerForm([&](QWidget& form) {
        EXPECT_EQ(&form, FParGen);
        EXPECT_EQ(FParGen->CB_LoRa_RF_Band->Text(), "AS923");
        testsupport::Click(FParGen->Btn_Cancel);
    });
    W().Btn_Click(W().Btn_Prm_Gen);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].type, ShownDialog::Type::Form);
    EXPECT_EQ(script.Shown()[0].text, "FParGen");
    EXPECT_FALSE(QFile::exists(file));

    // OK writes the file of the open configuration.
    script.AnswerForm([&](QWidget&) {
        FParGen->E_LoRa_Device_Address->SetText("26011B2C");
        FParGen->E_LoRa_Network_Session_Key->SetText(QString(32, QChar('A')));
        FParGen->E_LoRa_Application_Session_Key->SetText(QString(32, QChar('B')));
        testsupport::Click(FParGen->Btn_OK);
    });
    W().Btn_Click(W().Btn_Prm_Gen);
    EXPECT_EQ(script.Unanswered(), 0);
    EXPECT_TRUE(ReadAll(file).contains("<LoRa_Device_Address>26011B2C</LoRa_Device_Address>"));
}

// Step 4's "Scan && Decode": message 35 before an existing network, then the
// scan window with this model's inputs.
TEST_F(MainWindow, ScanAndDecodeAsksBeforeAnExistingNetwork)
{
    ASSERT_TRUE(ForceFolders(dir.filePath("PROJECTS/Plant")));
    WriteSettings(SettingsFile("Plant", "1.1.1.1", "English", "0000"));
    Start();
    ASSERT_NE(FScanDecode, nullptr);
    const QString file = dir.filePath("PROJECTS/Plant/M_Bus.xml");
    auto opened = [&](QWidget& form) {
        EXPECT_EQ(&form, FScanDecode);
        EXPECT_EQ(FScanDecode->XML_Code_Dev, 21);
        EXPECT_EQ(FScanDecode->Form_Type, 1);
        EXPECT_EQ(QDir::cleanPath(FScanDecode->FileName_MBus), QDir::cleanPath(file));
        EXPECT_EQ(FScanDecode->Current_Style(), 1);
        FScanDecode->Close();
    };
    {
        // No network yet: no question.
        DialogScript script;
        script.AnswerForm(opened);
        W().Btn_Click(W().Btn_ScanDecode);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].type, ShownDialog::Type::Form);
        EXPECT_EQ(script.Unanswered(), 0);
    }
    ASSERT_TRUE(WriteAll(file, "<M-Bus_Network />\n"));
    for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        DialogScript script;
        script.AnswerMessage(answer);
        script.AnswerForm(opened);
        W().Btn_Click(W().Btn_ScanDecode);
        ASSERT_GE(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, MessageKind::Warning);
        EXPECT_EQ(script.Shown()[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(script.Shown()[0].text, Language_List.value(35));
        // No leaves the scan window closed.
        EXPECT_EQ(script.Shown().size(), answer == MessageAnswer::No ? 1u : 2u);
    }
}

namespace {

QByteArray Rules_File(const QByteArray& uplinkRows)
{
    return "<LoRaWAN_Set_Access>\n\t<LoRaWAN_Uplink>\n" + uplinkRows
           + "\t</LoRaWAN_Uplink>\n\t<LoRaWAN_Downlink />\n</LoRaWAN_Set_Access>\n<!--SW_VERSION = 1.000-->\n";
}

QByteArray Rule(const char* enable, const char* numByte)
{
    QByteArray row = "\t\t<row";
    if (enable)
        row += QByteArray(" Enable=\"") + enable + "\"";
    if (numByte)
        row += QByteArray(" StartByte=\"0\" NumByte=\"") + numByte + "\"";
    return row + " />\n";
}

// The updater beside the program: notes each call and its argument count.
void Put_Updater(const QTemporaryDir& dir, const QByteArray& then)
{
    const QString path = dir.filePath("Ethernet_Update.exe");
    ASSERT_TRUE(WriteAll(path, "#!/bin/sh\necho \"call $#\" >> \"$(dirname \"$0\")/calls.txt\"\n" + then + "\n"));
    ASSERT_TRUE(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner));
}

} // namespace

TEST_F(MainWindow, StepFiveChecksTheUplinkRulesAgainstThePayloadSize)
{
    ASSERT_TRUE(ForceFolders(dir.filePath("PROJECTS/Plant/bin")));
    WriteSettings(SettingsFile("Plant", "1.1.1.1", "English", "0000"));
    Start();
    const QString parGen = dir.filePath("PROJECTS/Plant/ParGen.xml");
    const QString rules = dir.filePath("PROJECTS/Plant/LoRaWAN_SetAccess.xml");
    const QString bank1 = dir.filePath("PROJECTS/Plant/bin/bank1.bin");
    struct Case
    {
        const char* why;
        const char* payload;     // nullptr: no "ParGen.xml"
        QByteArray rows;         // empty: no rules file
        bool passes;
    };
    const Case cases[] = {
        {"fits: 49 <= 51 - 2", "51", Rule("Y", "49"), true},
        {"one byte too many", "51", Rule("Y", "50"), false},
        {"a disabled rule is not examined", "51", Rule("N", "500"), true},
        {"an empty byte count", "51", Rule("Y", ""), false},
        {"a byte count that is no number", "51", Rule("Y", "ten"), false},
        {"a negative byte count", "51", Rule("Y", "-1"), false},
        {"hexadecimal counts", "$33", Rule("Y", "0x31"), true},
        {"no rules file passes", "3", QByteArray(), true},
        {"no parameters: the payload size is 0", nullptr, Rule("Y", "0"), false},
        {"a payload size that is no number counts as 0", "big", Rule("Y", "0"), false},
        {"a row after an empty row is examined", "51", Rule("Y", "1") + "\t\t<row />\n" + Rule("Y", "60"), false},
        // The rules window shows a rule without "Enable" as enabled.
        {"a missing Enable is enabled", "51", Rule(nullptr, "60"), false},
        {"only an exact Y enables", "51", Rule("y", "60") + Rule(" Y", "60"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        QFile::remove(parGen);
        QFile::remove(rules);
        QFile::remove(bank1);
        if (c.payload) {
            // A whole parameters file, as the compiler needs one, with the payload size of the case.
            TParGen_Values values = ParGen_New_Values();
            values[ParGen::LoRa_Payload_Size] = c.payload;
            ASSERT_TRUE(WriteAll(parGen, ParGen_Bytes(values)));
            ASSERT_TRUE(ReadAll(parGen).contains(QByteArray("<LoRa_Payload_Size>") + c.payload + "<"));
        }
        if (!c.rows.isEmpty()) {
            ASSERT_TRUE(WriteAll(rules, Rules_File(c.rows)));
        }
        DialogScript script;
        W().Btn_Click(W().Btn_CreateBin);
        ASSERT_FALSE(script.Shown().empty());
        if (c.passes) {
            EXPECT_EQ(script.Shown()[0].type, ShownDialog::Type::Form) << script.Shown()[0].text.toStdString();
            EXPECT_EQ(script.Shown()[0].text, "FBoot");
            EXPECT_EQ(FBoot->Form_Type, 1);
            EXPECT_TRUE(QFile::exists(bank1));
        } else {
            ASSERT_EQ(script.Shown().size(), 1u);
            EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
            EXPECT_EQ(script.Shown()[0].buttons, MessageButtons::Ok);
            EXPECT_EQ(script.Shown()[0].text, "Error in configuration, Num. Byte not conformed with Max Payload Size");
            EXPECT_FALSE(QFile::exists(bank1));
        }
    }

    // A file that is not well-formed stops the request with the parser's message.
    QFile::remove(bank1);
    ASSERT_TRUE(WriteAll(rules, "<LoRaWAN_Set_Access><LoRaWAN_Uplink>"));
    DialogScript script;
    W().Btn_Click(W().Btn_CreateBin);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
    EXPECT_NE(script.Shown()[0].text, "Error in configuration, Num. Byte not conformed with Max Payload Size");
    EXPECT_FALSE(QFile::exists(bank1));
}

TEST_F(MainWindow, StepFiveRunsEndToEnd)
{
    ASSERT_TRUE(ForceFolders(dir.filePath("PROJECTS/Plant/bin")));
    WriteSettings(SettingsFile("Plant", "127.0.0.1", "English", "0000"));
    Start();
    Put_Updater(dir, "exit 0");
    const QString bin = dir.filePath("PROJECTS/Plant/bin/");
    DialogScript script;
    script.AnswerForm([&](QWidget&) {
        EXPECT_EQ(FBoot->Form_Type, 1);
        EXPECT_EQ(FBoot->Caption(), "Update Device by Ethernet (UDP)");
        EXPECT_EQ(FBoot->IP_Text(), "127.0.0.1");
        // Both images are there before the window opens.
        EXPECT_EQ(QFile(bin + "bank1.bin").size(), 11264);
        EXPECT_TRUE(QFile::exists(bin + "bank2.bin"));
        FBoot->CB_Update_Options->SetItemIndex(2);
        testsupport::Click(FBoot->Btn_Update);
        testsupport::Click(FBoot->Btn_Cancel);
    });
    W().Btn_Click(W().Btn_CreateBin);
    if (FBoot->ping_res == 0 && !QFile::exists(dir.filePath("Ethernet_Update.xml")))
        GTEST_SKIP() << "this machine allows no ICMP socket";
    EXPECT_EQ(script.Unanswered(), 0);
    ASSERT_EQ(script.Shown().size(), 1u) << script.Shown().back().text.toStdString();
    EXPECT_EQ(ReadAll(dir.filePath("calls.txt")), "call 0\n");
    const QByteArray job = ReadAll(dir.filePath("Ethernet_Update.xml"));
    EXPECT_TRUE(job.contains("<Ope_FileName>" + (bin + "bank1.bin").toUtf8() + "</Ope_FileName>"));
    EXPECT_FALSE(job.contains("SimX5K15.sim"));
    EXPECT_EQ(Update_Option_Index, 2);

    // Closing writes the address of the last update into the settings.
    W().Close();
    EXPECT_TRUE(ReadAll(Settings()).contains("<ipaddress>127.0.0.1</ipaddress>"));
}

TEST_F(MainWindow, NoNewImagesWhileTheUpdaterStillRuns)
{
    ASSERT_TRUE(ForceFolders(dir.filePath("PROJECTS/Plant/bin")));
    WriteSettings(SettingsFile("Plant", "127.0.0.1", "English", "0000"));
    Start();
    Put_Updater(dir, "sleep 1");
    W().Program_Wait_Limit_Ms = 50;
    {
        DialogScript script;
        EXPECT_FALSE(W().Start_Program(dir.filePath("Ethernet_Update.exe"), QString(), false));
        EXPECT_TRUE(script.Shown().empty());
    }
    DialogScript script;
    W().Btn_Click(W().Btn_CreateBin);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].kind, MessageKind::Warning);
    EXPECT_TRUE(script.Shown()[0].text.contains("still running"));
    EXPECT_FALSE(QFile::exists(dir.filePath("PROJECTS/Plant/bin/bank1.bin")));
    QElapsedTimer t;
    t.start();
    while (W().Check_Started_Program() && t.elapsed() < 5000)
        QThread::msleep(10);
    EXPECT_FALSE(W().Check_Started_Program());
    EXPECT_EQ(script.Shown().size(), 1u) << "an updater that ends with 0 is not reported";
}

TEST_F(MainWindow, ASettingsFileThatCannotBeWrittenDoesNotKeepTheProgramOpen)
{
    Start();
    ASSERT_TRUE(CreateFolder(Settings()));   // a folder where the file should go
    W().Show();
    DialogScript script;
    W().Close();
    EXPECT_FALSE(W().isVisible());
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
    EXPECT_TRUE(script.Shown()[0].text.contains("Vudidid.xml"));
}

TEST_F(MainWindow, TheTimedVersionCheckShowsOrHidesTheNewVersionLink)
{
    WriteSettings(SettingsFile("", "1.1.1.1", "English", "1100"));
    Start();
    ASSERT_TRUE(W().Timer_Update->Enabled());
    ASSERT_EQ(W().Timer_Update->Interval(), 60000);
    {
        LocalHttpServer newer(Http_Reply("VER. 1.003"));
        FSoftOptions->Version_Server = QString::fromStdString(newer.Address());
        // The tick itself, a little early.
        W().Timer_Update->SetInterval(10);
        QElapsedTimer waited;
        waited.start();
        while (!W().LL_Update->Visible() && waited.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_TRUE(W().LL_Update->Visible());
        EXPECT_EQ(W().LL_Update->Caption(),
                  "<a href=\"" + Download_Page_Address() + "\">New Version Available. Click Here for more Details</a>");
        EXPECT_TRUE(W().Timer_Update->Enabled());
        EXPECT_EQ(W().Timer_Update->Interval(), 7200000);
        EXPECT_EQ(newer.Requests().size(), 1u);
    }
    // No newer version, or no server: the link goes away.
    for (bool listening : {true, false}) {
        W().LL_Update->SetVisible(true);
        auto server = std::make_unique<LocalHttpServer>(Http_Reply("VER. 1.002"));
        FSoftOptions->Version_Server = QString::fromStdString(server->Address());
        if (!listening)
            server.reset();
        W().Timer_UpdateTimer(W().Timer_Update);
        EXPECT_FALSE(W().LL_Update->Visible()) << listening;
        EXPECT_TRUE(W().Timer_Update->Enabled());
    }
}

TEST_F(MainWindow, Screenshot)
{
    const QString target = qEnvironmentVariable("SHELL_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "set SHELL_SCREENSHOT_DIR to save the main window";
    Start();
    W().Show();
    QApplication::processEvents();
    ASSERT_TRUE(W().grab().save(QDir(target).filePath("main-window.png")));
    ASSERT_TRUE(ForceFolders(dir.filePath("PROJECTS/Plant A")));
    for (TForm* form : std::initializer_list<TForm*>{FNew_Project, FOpenConf}) {
        form->Show();
        QApplication::processEvents();
        ASSERT_TRUE(form->grab().save(QDir(target).filePath(form->Name() + ".png")));
        form->Hide();
    }
}
