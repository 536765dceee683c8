// The five steps of this model as a user takes them, through the windows the
// program makes at start: a new configuration, the communication parameters,
// the LoRaWAN rules, the M-Bus network (scanned through a fake converter on
// 127.0.0.1, then a meter added by hand), and the update by Ethernet with a
// stub updater beside the program and an echo that answers. At the end every
// file of the configuration and the job are read back.
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/UNew_Project.h"
#include "shell/URorudizezFirmWare.h"
#include "support/TestSupport.h"

#include "configuration/UBoot.h"
#include "configuration/ULoRa_Set_Access.h"
#include "configuration/UParGen.h"
#include "configuration/UParGen_File.h"
#include "grid/ExCGrid.h"
#include "mbus/UMeter_Bus.h"
#include "mbus/UMeter_Bus_Form.h"
#include "mbus/UScanDecode.h"
#include "mbus/FakeConverter.h"

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

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

using namespace platform;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

using mbustest::FakeConverter;

// A meter's answer to a request for data (RSP_UD, CI 0x72): identification
// `id` (low byte first), manufacturer LUG, version 1, medium 7, access number
// 0x55; a 32-bit volume and a 16-bit flow temperature.
FakeConverter::Bytes Meter_Frame(uint8_t address, std::initializer_list<uint8_t> id)
{
    FakeConverter::Bytes body = {0x08, address, 0x72};
    body.insert(body.end(), id);
    body.insert(body.end(), {0xA7, 0x32, 0x01, 0x07, 0x55, 0x00, 0x00, 0x00});
    body.insert(body.end(), {0x04, 0x13, 0x39, 0x30, 0x00, 0x00, 0x02, 0x5A, 0x2C, 0x01});
    uint8_t sum = 0;
    for (uint8_t b : body)
        sum = static_cast<uint8_t>(sum + b);
    const uint8_t l = static_cast<uint8_t>(body.size());
    FakeConverter::Bytes frame = {0x68, l, l, 0x68};
    frame.insert(frame.end(), body.begin(), body.end());
    frame.insert(frame.end(), {sum, 0x16});
    return frame;
}

// The converter on 127.0.0.1 with the meters at primary addresses 3 and 9,
// and a scan window whose worker runs on a clock of the test's own, so that a
// scan of every address takes no real time. It takes the place of the window
// the program made, and lives until the windows go.
struct Scan_Rig
{
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    FakeConverter fake;
    std::atomic<uint32_t> now{1000};
    TMBusScanDecode* worker = nullptr;

    Scan_Rig()
    {
        fake.Answer = [](const FakeConverter::Bytes& req) -> std::vector<FakeConverter::Bytes> {
            if (req.size() == 5 && req[0] == 0x10 && (req[1] & 0xDF) == 0x5B) {
                if (req[2] == 3)
                    return {Meter_Frame(3, {0x78, 0x56, 0x34, 0x12})};
                if (req[2] == 9)
                    return {Meter_Frame(9, {0x21, 0x43, 0x65, 0x87})};
            }
            if (req.size() == 5 && req[1] == 0x40)
                return {};
            auto text = [](const std::string& t) { return FakeConverter::Bytes(t.begin(), t.end()); };
            // The analyzer mode around the scan, and the M-Bus line's settings.
            const std::string s(req.begin(), req.end());
            if (s == "Rizova_Enable_Analyzer_Mode")
                return {text("\n\rAnalyzer_Mode Enabled!\n\r")};
            if (s == "Rizova_Disable_Analyzer_Mode")
                return {text("\n\rAnalyzer_Mode Disabled!\n\r")};
            if (s.rfind("Rizova_S_M:", 0) == 0)
                return {text("\n\rDone!")};
            return {text("NO_SLAVE\n\r")};
        };
        TScanTiming t;
        t.Tick = [this] { return now.load(); };
        t.Sleep = [this](uint32_t ms) {
            now += ms;
            Settle();
        };
        auto w = std::make_unique<TMBusScanDecode>(false, t, wired, wireless);
        w->Converter_Port_Override = fake.Port();
        worker = w.get();
        delete FScanDecode;
        FScanDecode = new TFScanDecode(std::move(w));
    }
    // Until the converter has answered what was sent and the answers are in.
    void Settle()
    {
        fake.Settle(*worker);
    }
    void Run()
    {
        for (int i = 0; i < 200000 && worker->FInScan; ++i)
            worker->Run_Pass();
        QApplication::processEvents();
    }
};

class Workflow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Create_All_Windows(dir.path());
    }
    void TearDown() override
    {
        QElapsedTimer t;
        t.start();
        while (W().Check_Started_Program() && t.elapsed() < 5000)
            QThread::msleep(10);
        Destroy_All_Windows();
    }
    TFRorudizezFirmWare& W() { return *FRorudizezFirmWare; }

    std::unique_ptr<Scan_Rig> scan;

    // One step: the button clicked, the window it opens driven by `action`.
    void Step(TLbButton* button, const char* window, const std::function<void()>& action)
    {
        SCOPED_TRACE(window);
        DialogScript script;
        script.AnswerForm([&](QWidget& form) {
            EXPECT_EQ(form.objectName(), QString::fromLatin1(window));
            action();
        });
        W().Btn_Click(button);
        EXPECT_EQ(script.Unanswered(), 0);
        ASSERT_FALSE(script.Shown().empty());
        EXPECT_EQ(script.Shown()[0].text, QString::fromLatin1(window));
        for (size_t i = 1; i < script.Shown().size(); ++i)
            ADD_FAILURE() << "unexpected: " << script.Shown()[i].text.toStdString();
    }

    // The updater beside the program: it notes its call and keeps the job it found.
    void Put_Updater()
    {
        const QString path = dir.filePath("Ethernet_Update.exe");
        ASSERT_TRUE(WriteAll(path, "#!/bin/sh\nd=$(dirname \"$0\")\necho \"call $#\" >> \"$d/calls.txt\"\n"
                                   "cp \"$d/Ethernet_Update.xml\" \"$d/job-seen.xml\"\nexit 0\n"));
        ASSERT_TRUE(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner));
    }

    QTemporaryDir dir;
};

uint32_t Sum(const QByteArray& b, int from, int to)
{
    uint32_t s = 0;
    for (int i = from; i < to; ++i)
        s += uint8_t(b[i]);
    return s;
}

uint32_t Le(const QByteArray& b, int at, int size)
{
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | uint8_t(b[at + i]);
    return v;
}

QByteArray Bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int v : list)
        out += char(v);
    return out;
}

} // namespace

TEST_F(Workflow, FromANewConfigurationToTheUpdateWithANetworkByScanAndByHand)
{
    Put_Updater();
    const QString plant = dir.filePath("PROJECTS/Plant");

    // Step 1: a new configuration.
    Step(W().Btn_New, "FNew_Project", [&] {
        FNew_Project->E_New_Proj->SetText("Plant");
        testsupport::Click(FNew_Project->Btn_OK);
    });
    ASSERT_EQ(Project_Folder, plant);
    EXPECT_EQ(W().L_Name_Conf_L2->Caption(), "Plant");

    // Step 2: the communication parameters, the keys of an ABP device.
    Step(W().Btn_Prm_Gen, "FParGen", [&] {
        FParGen->E_LoRa_Device_Address->SetText("26011B2C");
        FParGen->E_LoRa_Network_Session_Key->SetText("000102030405060708090A0B0C0D0E0F");
        FParGen->E_LoRa_Application_Session_Key->SetText("F0E1D2C3B4A5968778695A4B3C2D1E0F");
        testsupport::Click(FParGen->Btn_OK);
    });

    // Step 3: one uplink rule of four bytes, sent on change and every minute.
    Step(W().Btn_LoRaWAN_Access, "FLoRa_Set_Access", [&] {
        VOruVizizaZezo& up = *FLoRa_Set_Access->ECG_LoRa_Uplink;
        const QStringList cells = {"Y", "0", "4", "Y", "N", "Y", "60", "", "Heat"};
        for (int c = 1; c <= 9; ++c)
            up.SetCellEx(c, 1, cells[c - 1]);
        testsupport::Click(FLoRa_Set_Access->Btn_OK);
    });

    // The network by scan: every primary address asked, the two meters found saved.
    scan = std::make_unique<Scan_Rig>();
    {
        DialogScript script;
        script.AnswerForm([&](QWidget& form) {
            ASSERT_EQ(&form, FScanDecode);
            TFScanDecode& s = *FScanDecode;
            EXPECT_EQ(s.FileName_MBus, plant + "/M_Bus.xml");
            s.E_IP1->SetText("127");
            s.E_IP2->SetText("0");
            s.E_IP3->SetText("0");
            s.E_IP4->SetText("1");
            testsupport::Click(s.Btn_StartScan);
            scan->Run();
            s.T_InScanTimer();
            EXPECT_EQ(s.L_Num_Slave->Caption(), "2");
            testsupport::Click(s.Btn_SaveConf);
            s.Close();
        });
        script.AnswerMessage(MessageAnswer::Ok);   // saved
        W().Btn_Click(W().Btn_ScanDecode);
        EXPECT_EQ(script.Unanswered(), 0);
        std::vector<QString> shown;
        for (const ShownDialog& d : script.Shown())
            shown.push_back(d.text);
        EXPECT_EQ(shown, (std::vector<QString>{"FScanDecode", Language_List.value(2130)}));
    }

    // Step 4: a wired meter at primary address 5 with one value.
    Step(W().Btn_MBus, "FMeter_Bus", [&] {
        TFMeter_Bus& m = *FMeter_Bus;
        m.CB_Node_En->SetChecked(true);
        m.E_New_Node_Desc->SetText("Heat");
        m.E_New_Node_ID_Pri->SetText("5");
        m.btn_Add_NodeClick();
        ASSERT_EQ(m.NODE_ORIG->Count(), 3);
        m.TW->SetSelected(m.NODE_ORIG->Item(2));
        m.CB_Var_En->SetChecked(true);
        m.E_New_Var_Desc->SetText("Energy");
        m.E_Var_MR->SetText("100");
        m.btn_Add_VarClick();
        m.LbButton2Click();
    });

    // Step 5: the images, then the update of the configuration alone.
    int echoes = 0;
    Step(W().Btn_CreateBin, "FBoot", [&] {
        FBoot->Echo = [&](const QString& host, const QByteArray&, int, const std::function<void()>&) {
            EXPECT_EQ(host, "127.0.0.1");
            ++echoes;
            EchoResult r;
            r.status = EchoStatus::Answered;
            r.bytesReceived = kEchoPacketSize;
            return r;
        };
        FBoot->E_IP1->SetText("127");
        FBoot->E_IP2->SetText("0");
        FBoot->E_IP3->SetText("0");
        FBoot->E_IP4->SetText("1");
        FBoot->CB_Update_Options->SetItemIndex(2);
        FBoot->CB_Update_Option_Read_Back->SetChecked(true);
        testsupport::Click(FBoot->Btn_Update);
        testsupport::Click(FBoot->Btn_Cancel);
    });
    EXPECT_EQ(echoes, 2);
    EXPECT_EQ(ReadAll(dir.filePath("calls.txt")), "call 0\n");

    // The configuration's folder holds exactly what the steps wrote.
    EXPECT_EQ(QDir(plant).entryList(QDir::Files, QDir::Name),
              (QStringList{"LoRaWAN_SetAccess.xml", "M_Bus.xml", "ParGen.xml"}));
    EXPECT_EQ(QDir(plant + "/bin").entryList(QDir::Files, QDir::Name), (QStringList{"bank1.bin", "bank2.bin"}));

    // "ParGen.xml": the new configuration's values with the three typed in.
    TParGen_Values values = ParGen_New_Values();
    values[ParGen::LoRa_Device_Address] = "26011B2C";
    values[ParGen::LoRa_Network_Session_Key] = "000102030405060708090A0B0C0D0E0F";
    values[ParGen::LoRa_Application_Session_Key] = "F0E1D2C3B4A5968778695A4B3C2D1E0F";
    const QByteArray parGen = ReadAll(plant + "/ParGen.xml");
    EXPECT_EQ(parGen.toStdString(), ParGen_Bytes(values).toStdString());
    EXPECT_TRUE(parGen.startsWith("<Par_Gen>\n"));
    EXPECT_TRUE(parGen.contains("\t<LoRa_Device_Address>26011B2C</LoRa_Device_Address>\n"));


    // "LoRaWAN_SetAccess.xml": the rule as typed; the port is fixed, so it has none.
    EXPECT_EQ(ReadAll(plant + "/LoRaWAN_SetAccess.xml").toStdString(),
              "<LoRaWAN_Set_Access>\n"
              "\t<LoRaWAN_Uplink>\n"
              "\t\t<row Enable=\"Y\" StartByte=\"0\" NumByte=\"4\" OnChange=\"Y\" OnCMD=\"N\" OnTimer=\"Y\" Time=\"60\" "
              "FPort=\"\" Mnemonic=\"Heat\" />\n"
              "\t</LoRaWAN_Uplink>\n"
              "\t<LoRaWAN_Downlink />\n"
              "</LoRaWAN_Set_Access>\n"
              "<!--SW_VERSION = 1.002-->\n");

    // "M_Bus.xml": the two meters found, with their values at the positions the
    // scan gave them, then the meter made by hand; the rest as the editor starts it.
    const std::string kWired_Tail =
        " Enable_Manufacturer_Specific_Data=\"0\" Manufacturer_Specific_Data=\"0\" MSD_Length=\"0\" MSD_Offset=\"0\""
        " Enable_Access_Number=\"0\" Access_Number=\"0\" MBus_Type=\"1\" wMBus_ManID=\"\" wMBus_Add=\"\""
        " wMBus_Ver=\"\" wMBus_DevType=\"\" wMBus_En_Key=\"0\" wMBus_Key_1=\"\" wMBus_Key_2=\"\" wMBus_Key_3=\"\""
        " wMBus_Key_4=\"\" wMBus_Key_5=\"\" wMBus_Key_6=\"\" wMBus_Key_7=\"\" wMBus_Key_8=\"\" wMBus_Key_9=\"\""
        " wMBus_Key_10=\"\" wMBus_Key_11=\"\" wMBus_Key_12=\"\" wMBus_Key_13=\"\" wMBus_Key_14=\"\""
        " wMBus_Key_15=\"\" wMBus_Key_16=\"\" wMBus_Enable_RSSI=\"0\" wMBus_RSSI=\"0\">\n";
    EXPECT_EQ(ReadAll(plant + "/M_Bus.xml").toStdString(),
              "<M-Bus_Network>\n"
              "\t<Nodo Node_Enable=\"1\" ID_Primary=\"3\" ID_Secondary=\"12345678\" Descrizione=\"LUG\" Send_SND_NKE=\"0\""
              " Reset_App=\"0\" Enable_Node_State=\"0\" Node_State=\"0\" Enable_Ident_Num=\"0\" Ident_Num=\"0\""
              " BCDtoINT_IN=\"0\" Swap_IN=\"0\" Node_ID_Type=\"0\" Var_List_Type=\"0\" Cut_After=\"2\""
              + kWired_Tail +
              "\t\t<Variabile Enable=\"1\" Desc=\"Volume m3 (U0S0T0)\" Type=\"2\" Fun_Field=\"0\" Dim=\"2\" Unit=\"0\" PositionData=\"1\""
              " StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" BCDtoINT=\"0\" VIF_ASCII=\"\" Length=\"0\" Conv_Float=\"0\""
              " Force_Int32=\"0\" TP_Mod_Regs=\"0\" TP_Mod_Year=\"0\" Position=\"1\" Post_Operation=\"0\" />\n"
              "\t\t<Variabile Enable=\"1\" Desc=\"Flow Temperature \xC2\xB0" "C (U0S0T0)\" Type=\"12\" Fun_Field=\"0\" Dim=\"1\" Unit=\"0\" PositionData=\"3\""
              " StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" BCDtoINT=\"0\" VIF_ASCII=\"\" Length=\"0\" Conv_Float=\"0\""
              " Force_Int32=\"0\" TP_Mod_Regs=\"0\" TP_Mod_Year=\"0\" Position=\"2\" Post_Operation=\"0\" />\n"
              "\t</Nodo>\n"
              "\t<Nodo Node_Enable=\"1\" ID_Primary=\"9\" ID_Secondary=\"87654321\" Descrizione=\"LUG\" Send_SND_NKE=\"0\""
              " Reset_App=\"0\" Enable_Node_State=\"0\" Node_State=\"0\" Enable_Ident_Num=\"0\" Ident_Num=\"0\""
              " BCDtoINT_IN=\"0\" Swap_IN=\"0\" Node_ID_Type=\"0\" Var_List_Type=\"0\" Cut_After=\"2\""
              + kWired_Tail +
              "\t\t<Variabile Enable=\"1\" Desc=\"Volume m3 (U0S0T0)\" Type=\"2\" Fun_Field=\"0\" Dim=\"2\" Unit=\"0\" PositionData=\"4\""
              " StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" BCDtoINT=\"0\" VIF_ASCII=\"\" Length=\"0\" Conv_Float=\"0\""
              " Force_Int32=\"0\" TP_Mod_Regs=\"0\" TP_Mod_Year=\"0\" Position=\"1\" Post_Operation=\"0\" />\n"
              "\t\t<Variabile Enable=\"1\" Desc=\"Flow Temperature \xC2\xB0" "C (U0S0T0)\" Type=\"12\" Fun_Field=\"0\" Dim=\"1\" Unit=\"0\" PositionData=\"6\""
              " StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" BCDtoINT=\"0\" VIF_ASCII=\"\" Length=\"0\" Conv_Float=\"0\""
              " Force_Int32=\"0\" TP_Mod_Regs=\"0\" TP_Mod_Year=\"0\" Position=\"2\" Post_Operation=\"0\" />\n"
              "\t</Nodo>\n"
              "\t<Nodo Node_Enable=\"1\" ID_Primary=\"5\" ID_Secondary=\"1\" Descrizione=\"Heat\" Send_SND_NKE=\"0\""
              " Reset_App=\"0\" Enable_Node_State=\"0\" Node_State=\"0\" Enable_Ident_Num=\"0\" Ident_Num=\"0\""
              " BCDtoINT_IN=\"0\" Swap_IN=\"0\" Node_ID_Type=\"0\" Var_List_Type=\"0\" Cut_After=\"0\""
              + kWired_Tail +
              "\t\t<Variabile Enable=\"1\" Desc=\"Energy\" Type=\"0\" Fun_Field=\"0\" Dim=\"0\" Unit=\"0\" PositionData=\"100\""
              " StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" BCDtoINT=\"0\" VIF_ASCII=\"\" Length=\"0\" Conv_Float=\"0\""
              " Force_Int32=\"0\" TP_Mod_Regs=\"0\" TP_Mod_Year=\"1\" Position=\"1\" Post_Operation=\"0\" />\n"
              "\t</Nodo>\n"
              "</M-Bus_Network>\n"
              "<!--SW_VERSION = 1.002-->\n");

    // "bank1.bin": the parameters and the rule at their places.
    const QByteArray bank1 = ReadAll(plant + "/bin/bank1.bin");
    ASSERT_EQ(bank1.size(), 11264);
    EXPECT_EQ(bank1.mid(0x028, 4), Bytes({192, 168, 0, 10}));                // the device's own address
    EXPECT_EQ(Le(bank1, 0x7FC, 4), Sum(bank1, 0, 0x7FC));                     // the general block's checksum
    EXPECT_EQ(bank1.mid(0xC04, 4), Bytes({0x26, 0x01, 0x1B, 0x2C}));          // device address, high byte first
    EXPECT_EQ(bank1.mid(0xC10, 16).toHex(), "000102030405060708090a0b0c0d0e0f");
    EXPECT_EQ(bank1.mid(0xC20, 16).toHex(), "f0e1d2c3b4a5968778695a4b3c2d1e0f");
    EXPECT_EQ(uint8_t(bank1[0xC42]), 230);                                    // payload size of AS923 at rate 6
    EXPECT_EQ(Le(bank1, 0xC50, 2), 1u);                                       // one uplink rule
    EXPECT_EQ(bank1.mid(0x1000, 12), Bytes({0, 0, 4, 0, 0x05, 2, 0, 0, 60, 0, 0, 0}));
    EXPECT_EQ(bank1.mid(0x100C, 12), QByteArray(12, '\0'));
    EXPECT_EQ(bank1.mid(0x800, 0x400), QByteArray(0x400, '\0')) << "no wireless key";

    // "bank2.bin": the header, the three wired meters, their five values and
    // the M-Bus line block; no wireless meter and no unit text.
    QByteArray bank2(229, '\0');
    auto put = [&](int at, std::initializer_list<int> bytes) { bank2.replace(at, int(bytes.size()), Bytes(bytes)); };
    put(0, {0x40, 13, 0, 0, 0, 100, 0, 0, 0, 225, 0, 0, 0});   // meters at 13, wireless ones at 100, line block at 225
    struct Meter
    {
        int at, primary, values, valuesAt, cutAfter;
    };
    for (const Meter& m : {Meter{13, 3, 2, 100, 3}, Meter{42, 9, 2, 150, 3}, Meter{71, 5, 1, 200, 1}}) {
        put(m.at + 4, {m.primary, m.values, 0, m.valuesAt, 0, 0, 0});   // primary address, then its values
        put(m.at + 20, {m.cutAfter});                                   // "cut after" as its position + 1
    }
    struct Value
    {
        int at, type, dimension, data, position;
    };
    for (const Value& v : {Value{100, 2, 4, 1, 1}, Value{125, 12, 2, 3, 2}, Value{150, 2, 4, 4, 1}, Value{175, 12, 2, 6, 2},
                           Value{200, 0, 1, 100, 1}}) {
        put(v.at, {v.type, 0, v.dimension, v.data, 0});   // type, function, dimension code, data position
        put(v.at + 18, {225, 0, 0, 0});                    // its unit text (none) where the texts begin
        put(v.at + 22, {v.position, 0});
    }
    put(225, {100, 0, 3, 0});   // request delay 100, three meters, no-answer code 0
    EXPECT_EQ(ReadAll(plant + "/bin/bank2.bin").toHex(' ').toStdString(), bank2.toHex(' ').toStdString());

    // The job: the two banks of this configuration, read back, to 127.0.0.1.
    auto operation = [&](const char* bank, const char* start, char internalData, char goToApp) {
        return QByteArray("\t\t<Operation>\n"
                          "\t\t\t<Ope_Protection_Enabled />\n"
                          "\t\t\t<Ope_GoToBoot_Before>0</Ope_GoToBoot_Before>\n"
                          "\t\t\t<Ope_GoToApp_Before>0</Ope_GoToApp_Before>\n"
                          "\t\t\t<Ope_IP_Address />\n"
                          "\t\t\t<Ope_Port>2008</Ope_Port>\n"
                          "\t\t\t<Ope_Port_Sec>2007</Ope_Port_Sec>\n"
                          "\t\t\t<Ope_Erase_Memory>0</Ope_Erase_Memory>\n"
                          "\t\t\t<Ope_FileName>") + (plant + "/bin/" + bank).toUtf8() + "</Ope_FileName>\n"
               "\t\t\t<Ope_Start_Address>" + start + "</Ope_Start_Address>\n"
               "\t\t\t<Ope_Memory_Type>0</Ope_Memory_Type>\n"
               "\t\t\t<Ope_Bank_Type>2</Ope_Bank_Type>\n"
               "\t\t\t<Ope_Read_Back>1</Ope_Read_Back>\n"
               "\t\t\t<Ope_Write_CSS>0</Ope_Write_CSS>\n"
               "\t\t\t<Ope_Address_CSS>0x50100</Ope_Address_CSS>\n"
               "\t\t\t<Ope_Command_CSS>0x0B</Ope_Command_CSS>\n"
               "\t\t\t<Ope_Write_Internal_Data>" + internalData + "</Ope_Write_Internal_Data>\n"
               "\t\t\t<Ope_WID_Address>0x78200</Ope_WID_Address>\n"
               "\t\t\t<Ope_WID_Command>0x0B</Ope_WID_Command>\n"
               "\t\t\t<Ope_WID_Data>0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00</Ope_WID_Data>\n"
               "\t\t\t<Ope_GoToApp_After>" + goToApp + "</Ope_GoToApp_After>\n"
               "\t\t</Operation>\n";
    };
    const QByteArray job = "<Ethernet_Update>\n"
                           "\t<Version>1000</Version>\n"
                           "\t<Title>Rizova - DIZ5U15 Ethernet Update</Title>\n"
                           "\t<IP_Address_Dev>127.0.0.1</IP_Address_Dev>\n"
                           "\t<Application_Port>10000</Application_Port>\n"
                           "\t<Boot_Port>2008</Boot_Port>\n"
                           "\t<Boot_Port_Sec>2007</Boot_Port_Sec>\n"
                           "\t<Address_Protection>0x78000</Address_Protection>\n"
                           "\t<Protections>\n"
                           "\t\t<Protection>0x404</Protection>\n"
                           "\t\t<Protection>0x405</Protection>\n"
                           "\t</Protections>\n"
                           "\t<Operations>\n"
                           + operation("bank1.bin", "0x68000", '1', '0') + operation("bank2.bin", "0x50800", '0', '1')
                           + "\t</Operations>\n"
                             "</Ethernet_Update>\n";
    EXPECT_EQ(ReadAll(dir.filePath("Ethernet_Update.xml")).toStdString(), job.toStdString());
    EXPECT_EQ(ReadAll(dir.filePath("job-seen.xml")), job) << "the updater found the whole job";

    // Closing remembers the configuration, the address and the option.
    W().Close();
    const QByteArray settings = ReadAll(dir.filePath("Vudidid.xml"));
    EXPECT_TRUE(settings.contains("<projectname>Plant</projectname>"));
    EXPECT_TRUE(settings.contains("<ipaddress>127.0.0.1</ipaddress>"));
    EXPECT_EQ(Update_Option_Index, 2);
}
