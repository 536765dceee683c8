// The Scan & Decode window against the fake converter, end to end: a wired
// scan with its progress list and tree, a wireless scan with its grid, a key
// typed for an encrypted meter, "Save Conf." extending or replacing
// "M_Bus.xml", the network editor and the image compiler taking the result.
// Screenshots of both result views when SCAN_SCREENSHOT_DIR is set.

#include "FakeConverter.h"
#include "MBusTestHelpers.h"
#include "configuration/USaveBincc.h"
#include "grid/ExGrid.h"
#include "mbus/UInsertKeyWireless.h"
#include "mbus/UMeter_Bus.h"
#include "mbus/UMeter_Bus_Form.h"
#include "mbus/UNewIDNode.h"
#include "mbus/UScanDecode.h"
#include "mbus/UScanDecode_Tree.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "widgets/LbButton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace mbustest;
using namespace platform;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

Bytes Text(const char* t) { return Bytes(t, t + std::strlen(t)); }
const Bytes No_Slave = Text("NO_SLAVE\n\r");

// A meter's RSP_UD: identification, manufacturer LUG, a 32-bit volume and a
// 16-bit flow temperature.
Bytes Meter_Frame(uint8_t address, const Bytes& id)
{
    Bytes header = Cat({id, Hex("A7 32 01 07 55 00 00 00")});
    return Long_Frame(header, Hex("04 13 39 30 00 00 02 5A 2C 01"), address);
}

// The OMS example: an encrypted (mode 5) telegram behind an extended link
// layer, which the program decrypts once the meter's key is known.
Bytes Encrypted_Telegram()
{
    const Bytes cipher = Hex("59 23 C9 5A AA 26 D1 B2 E7 49 3B 01 3E C4 A6 F6 D3 52 9B 52 0E DF F0 EA 6D EF C9 9D 6D 69 EB F3");
    return Datagram(Cat({Hex("00 44 93 15 78 56 34 12 33 03"), Hex("8C 20 2A 7A 2A 00 20 25"), cipher}), rmTelit);
}

// A plain telegram of a water meter.
Bytes Plain_Telegram()
{
    return Datagram(Hex("00 44 2D 2C 21 43 65 87 01 07 7A 01 00 00 00 04 13 39 30 00 00"), rmTelit);
}

class ScanWindowTest : public ::testing::Test
{
protected:
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    FakeConverter fake;
    std::atomic<uint32_t> now{1000};
    TMBusScanDecode* w = nullptr;
    std::unique_ptr<TFScanDecode> window;
    QTemporaryDir dir;
    uint16_t port = FakeConverter::Free_Port();

    void SetUp() override
    {
        Load_English_Table();
        ASSERT_TRUE(dir.isValid());
        TScanTiming t;
        t.Tick = [this] { return now.load(); };
        t.Sleep = [this](uint32_t ms) {
            now += ms;
            Settle();
        };
        auto worker = std::make_unique<TMBusScanDecode>(false, t, wired, wireless);
        worker->Converter_Port_Override = fake.Port();
        w = worker.get();
        fake.Answer = [](const Bytes& req) -> std::vector<Bytes> {
            const std::string s(req.begin(), req.end());
            if (s == "Rizova_Enable_Analyzer_Mode")
                return {Text("\n\rAnalyzer_Mode Enabled!\n\r")};
            if (s.rfind("Rizova_S_M:", 0) == 0)
                return {Text("\n\rDone!")};
            if (s == "Rizova_Disable_Analyzer_Mode")
                return {Text("\n\rAnalyzer_Mode Disabled!\n\r")};
            if (s == "Rizova_Enable_Configuration_Mode")
                return {Text("\n\rConfiguration_Mode Enabled!\n\r")};
            if (s == "Rizova_Type_Radio_Module")
                return {Text("\n\rTELIT\n\r")};
            if (s == "Rizova_Disable_Configuration_Mode")
                return {Text("\n\rConfiguration_Mode Disabled!\n\r")};
            if (req.size() == 5 && req[0] == 0x10 && (req[1] & 0xDF) == 0x5B) {
                if (req[2] == 3)
                    return {Meter_Frame(3, Hex("78 56 34 12"))};
                if (req[2] == 9)
                    return {Meter_Frame(9, Hex("21 43 65 87"))};
            }
            if (req.size() == 5 && req[1] == 0x40)
                return {};
            if (!req.empty() && (req[0] == '+' || req[0] == 'A'))
                return {Text("OK\r")};
            return {No_Slave};
        };
        window = std::make_unique<TFScanDecode>(std::move(worker));
        window->XML_Code_Dev = 21;
        window->Form_Type = 1;
        window->FileName_MBus = dir.filePath("M_Bus.xml");
        window->FormShow();
        window->E_IP1->SetText("127");
        window->E_IP2->SetText("0");
        window->E_IP3->SetText("0");
        window->E_IP4->SetText("1");
    }
    void TearDown() override
    {
        window.reset();
        FileName_M_Bus.clear();
        FileName_ParGen.clear();
        FileName_LoRaWAN_SetAccess.clear();
        Project_Folder.clear();
    }

    void Settle()
    {
        fake.Settle(*w);
    }
    void Run(int max = 200000)
    {
        for (int i = 0; i < max && w->FInScan; ++i)
            w->Run_Pass();
        QApplication::processEvents();
    }
    void Run_Until_Listening(int max = 2000)
    {
        for (int i = 0; i < max && w->FInScan && w->Step_Scan != 134; ++i)
            w->Run_Pass();
        QApplication::processEvents();
    }
    void Hear(const Bytes& d)
    {
        fake.Send(d, port);
        Settle();
        QApplication::processEvents();
    }
    void Click(TLbButton* b) { window->BtnClick(b); }
    static QString M(int n) { return Language_List.value(n); }

    QString Screenshot_Dir() const { return qEnvironmentVariable("SCAN_SCREENSHOT_DIR"); }
    void Screenshot(const char* name)
    {
        if (Screenshot_Dir().isEmpty())
            return;
        // Showing starts in the ready style; the poll's tick brings the results back.
        window->show();
        window->T_InScanTimer();
        if (window->VST->TopCount() > 0) {
            window->VST->TopItem(0)->SetExpanded(true);
            window->VST->TopItem(0)->Item(0)->SetExpanded(true);
        }
        window->ESG_WirelessClickCell(2);
        if (window->VST_Wireless->TopCount() > 0)
            window->VST_Wireless->TopItem(0)->SetExpanded(true);
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents();
        EXPECT_TRUE(window->grab().save(QDir(Screenshot_Dir()).filePath(QString::fromLatin1(name))));
        window->hide();
    }
};

TEST_F(ScanWindowTest, WiredScanTreeSaveEditorAndCompiler)
{
    EXPECT_EQ(window->Current_Style(), 1);
    EXPECT_TRUE(window->CB_ScanMethod->isVisibleTo(window.get()));
    EXPECT_EQ(window->ClientHeight(), 571);
    Click(window->Btn_StartScan);
    EXPECT_EQ(window->Current_Style(), 2);
    {
        DialogScript script;
        Click(window->Btn_StartScan);   // while scanning
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, M(2126));
    }
    Run();
    ASSERT_FALSE(w->FInScan);

    // One line per address; the missing ones in two columns of red.
    ASSERT_EQ(window->LB_AvailableDevice->Count(), 251);
    EXPECT_EQ(window->LB_AvailableDevice->Item(0), "ID = 0\t[NOT FOUND]");
    EXPECT_EQ(window->LB_AvailableDevice->Item(3), "ID = 3\t");

    window->T_InScanTimer();
    EXPECT_EQ(window->Current_Style(), 3);
    EXPECT_EQ(window->L_Num_Slave->Caption(), "2");
    ASSERT_EQ(window->VST->TopCount(), 2);
    TTreeNode* meter = window->VST->TopItem(0);
    EXPECT_EQ(meter->Text(),
              "Primary Address = 3 - Secondary Address = 12345678 - Manufacturer = LUG(12967) - Version = 1 - Type = 7");
    EXPECT_TRUE(meter->HasCheckBox());
    EXPECT_TRUE(meter->Checked());
    EXPECT_EQ(meter->ImageIndex(), 0);
    ASSERT_EQ(meter->Count(), 2);
    TTreeNode* record = meter->Item(1);
    EXPECT_TRUE(record->Text().startsWith("Value = ")) << record->Text().toStdString();
    EXPECT_TRUE(record->Checked());
    EXPECT_EQ(record->ImageIndex(), 1);
    ASSERT_EQ(record->Count(), 12);
    EXPECT_FALSE(record->Item(0)->HasCheckBox());
    EXPECT_EQ(record->Item(0)->ImageIndex(), 2);
    EXPECT_EQ(record->Item(8)->Text(), "VIF = $5A");

    // Unticked in the tree, stored disabled.
    record->SetChecked(false);
    window->VST->TopItem(1)->SetChecked(false);

    // An existing network: extend it after message 2137.
    ASSERT_TRUE(WriteAll(window->FileName_MBus,
                         "<M-Bus_Network>\n\t<Nodo Node_Enable=\"1\" ID_Primary=\"1\" Descrizione=\"Old\" MBus_Type=\"1\" />\n"
                         "</M-Bus_Network>\n<!--SW_VERSION = 1.002-->\n"));
    {
        DialogScript script;
        script.AnswerMessage(MessageAnswer::Cancel);
        Click(window->Btn_SaveConf);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, M(2137));
        EXPECT_EQ(script.Shown()[0].buttons, MessageButtons::YesNoCancel);
    }
    EXPECT_EQ(Read_MBus_Network(window->FileName_MBus).Nodes.size(), 1u) << "Cancel writes nothing";
    {
        DialogScript script;
        script.AnswerMessage(MessageAnswer::Yes);
        Click(window->Btn_SaveConf);
        ASSERT_EQ(script.Shown().size(), 2u);
        EXPECT_EQ(script.Shown()[1].text, M(2130));
        EXPECT_EQ(script.Shown()[1].kind, MessageKind::Information);
    }
    MBus_Read_Result read = Read_MBus_Network(window->FileName_MBus);
    ASSERT_TRUE(read.Ok);
    ASSERT_EQ(read.Nodes.size(), 3u);
    EXPECT_EQ(read.Nodes[0].Description, "Old");
    EXPECT_EQ(read.Nodes[1].Node_Pri, 3);
    EXPECT_EQ(read.Nodes[1].Enable, 1);
    EXPECT_EQ(read.Nodes[2].Enable, 0);
    EXPECT_EQ(read.Nodes[1].Cut_After, 2);
    ASSERT_EQ(read.Nodes[1].Var_List.size(), 2u);
    EXPECT_TRUE(read.Nodes[1].Var_List[0].Enable);
    EXPECT_FALSE(read.Nodes[1].Var_List[1].Enable);
    EXPECT_EQ(read.Nodes[1].Var_List[0].PositionData, 1);
    EXPECT_EQ(read.Nodes[1].Var_List[1].PositionData, 3);
    EXPECT_EQ(read.Nodes[2].Var_List[0].PositionData, 4);

    // Replace: the scanned nodes only.
    {
        DialogScript script;
        script.AnswerMessage(MessageAnswer::No);
        Click(window->Btn_SaveConf);
    }
    read = Read_MBus_Network(window->FileName_MBus);
    ASSERT_EQ(read.Nodes.size(), 2u);
    EXPECT_FALSE(ReadAll(window->FileName_MBus).contains("SW_VERSION"));

    // The network editor shows it and its checks pass on OK.
    Load_English_Table();
    Project_Folder = dir.path();
    FileName_M_Bus = window->FileName_MBus;
    {
        TFMeter_Bus editor;
        TFNewIDNode paste;
        FMeter_Bus = &editor;
        FNewIDNode = &paste;
        editor.FormShow();
        ASSERT_EQ(editor.NODE_ORIG->Count(), 2);
        EXPECT_EQ(editor.NODE_ORIG->Item(0)->Count(), 2);
        DialogScript script;
        editor.LbButton2Click();
        EXPECT_EQ(editor.ModalResult(), mrOk) << (script.Shown().empty() ? std::string() : script.Shown()[0].text.toStdString());
        FMeter_Bus = nullptr;
        FNewIDNode = nullptr;
    }
    // The image compiler takes it.
    FileName_ParGen = dir.filePath("ParGen.xml");
    FileName_LoRaWAN_SetAccess = dir.filePath("LoRaWAN_SetAccess.xml");
    ASSERT_TRUE(QDir(dir.path()).mkpath("bin"));
    QString error;
    EXPECT_TRUE(Compile_Device_Image(&error)) << error.toStdString();

    Screenshot("scan_wired.png");

    // "New Scan" empties the wired results.
    Click(window->Btn_NewScan);
    EXPECT_EQ(window->Current_Style(), 1);
    EXPECT_EQ(wired.Count(), 0);
    EXPECT_EQ(window->VST->TopCount(), 0);
}

TEST_F(ScanWindowTest, WirelessScanGridKeyAndSave)
{
    window->CB_ScanMethod->SetItemIndex(1);
    window->Move_Object_Type_Form();
    EXPECT_FALSE(window->CB_ScanBy->isVisibleTo(window.get()));
    EXPECT_TRUE(window->E_Port->isVisibleTo(window.get()));
    for (const char* bad : {"70000", "abc"}) {
        window->E_Port->SetText(QString::fromLatin1(bad));
        DialogScript script;
        Click(window->Btn_StartScan);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, M(2138));
        EXPECT_FALSE(w->FInScan);
    }
    window->E_Port->SetText(QString::number(port));
    Click(window->Btn_StartScan);
    EXPECT_EQ(window->Current_Style(), 4);
    Run_Until_Listening();
    ASSERT_EQ(w->Step_Scan, 134);

    Hear(Plain_Telegram());
    Hear(Encrypted_Telegram());
    Hear(Plain_Telegram());   // heard again: its row in place
    TExStringGrid& g = *window->ESG_Wireless;
    ASSERT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.GetCellEx(0, 1), "1");
    EXPECT_EQ(g.GetCellEx(2, 1), "0x44");
    EXPECT_EQ(g.GetCellEx(7, 1), "KAM(2C2D)");
    EXPECT_EQ(g.GetCellEx(8, 1), "87654321");
    EXPECT_EQ(g.GetCellEx(9, 1), "1 (01)");
    EXPECT_EQ(g.GetCellEx(10, 1), "7 (07)");
    EXPECT_EQ(g.GetCellEx(8, 2), "12345678");
    EXPECT_EQ(g.GetCellProperties(1, 1)->BrushColor(), 0x00A8FFA8u);
    EXPECT_EQ(g.GetCellProperties(12, 2)->BrushColor(), 0x00B9BBFFu);
    int image = -1;
    ASSERT_TRUE(g.GetImageIdx(12, 2, image));
    EXPECT_EQ(image, 0);

    // The tree of a row; unticking a record disables it.
    window->ESG_WirelessClickCell(1);
    ASSERT_EQ(window->VST_Wireless->TopCount(), 1);
    TTreeNode* meter = window->VST_Wireless->TopItem(0);
    EXPECT_EQ(meter->Text(), "Manufacturer = KAM - Address = 87654321 - Version = 1 - Device Type = 7 - ");
    ASSERT_EQ(meter->Count(), 1);
    EXPECT_TRUE(meter->Checked());
    EXPECT_TRUE(meter->Item(0)->Checked());
    EXPECT_TRUE(wireless.Items(0)->Enable) << "building the tree ticks nothing";
    EXPECT_TRUE(wireless.Items(0)->List_Var[0]->Enable);
    // The user's click on the record's box.
    meter->Item(0)->setCheckState(0, Qt::Unchecked);
    EXPECT_FALSE(wireless.Items(0)->List_Var[0]->Enable);
    meter->setCheckState(0, Qt::Unchecked);
    EXPECT_FALSE(wireless.Items(0)->Enable);
    meter->setCheckState(0, Qt::Checked);
    EXPECT_TRUE(wireless.Items(0)->Enable);
    // Built again, the tree shows the flags.
    window->ESG_WirelessClickCell(1);
    EXPECT_FALSE(window->VST_Wireless->TopItem(0)->Item(0)->Checked());

    // A plain row and the header row open no key dialog.
    {
        DialogScript script;
        window->ESG_WirelessDblClickCell(1);
        window->ESG_WirelessDblClickCell(0);
        EXPECT_TRUE(script.Shown().empty());
    }
    window->ESG_WirelessClickCell(2);
    EXPECT_TRUE(window->VST_Wireless->TopItem(0)->Text().endsWith("CRIPTED!!"));
    {
        DialogScript script;
        script.AnswerForm([](QWidget& form) {
            auto& d = static_cast<TFInsertKeyWireless&>(form);
            d.E_Key->SetText(QStringLiteral("0102030405060708090A0B0C0D0E0F11"));
            d.Btn_OKClick();
        });
        window->ESG_WirelessDblClickCell(2);
        EXPECT_EQ(script.Unanswered(), 0);
    }
    Run_Until_Listening();
    ASSERT_EQ(w->Step_Scan, 134);
    EXPECT_TRUE(wireless.Items(1)->Enable_Key);
    Hear(Encrypted_Telegram());
    EXPECT_FALSE(wireless.Items(1)->Cripted);
    EXPECT_FALSE(wireless.Items(1)->List_Var.empty());
    EXPECT_EQ(g.GetCellProperties(12, 2)->BrushColor(), 0x00A8FFA8u);

    Click(window->Btn_StopScan);
    Run();
    window->T_InScanTimer();
    EXPECT_EQ(window->Current_Style(), 5);
    Screenshot("scan_wireless.png");

    {
        DialogScript script;
        Click(window->Btn_SaveConf);   // no file yet: no question
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, M(2130));
    }
    const MBus_Read_Result read = Read_MBus_Network(window->FileName_MBus);
    ASSERT_TRUE(read.Ok);
    ASSERT_EQ(read.Nodes.size(), 2u);
    EXPECT_EQ(read.Nodes[0].MBus_Type, MBus_Type_Wireless);
    EXPECT_EQ(read.Nodes[1].wMBus_Add, "305419896");
    EXPECT_EQ(read.Nodes[1].wMBus_En_Key, 1);
    EXPECT_EQ(read.Nodes[1].wMBus_Key[15], "17");
    EXPECT_FALSE(read.Nodes[0].Var_List[0].Enable);
    EXPECT_EQ(read.Nodes[0].Enable, 1);
    EXPECT_EQ(read.Nodes[1].Enable, 1);

    // "New Scan" leaves the wireless results until the next wireless start.
    Click(window->Btn_NewScan);
    EXPECT_EQ(wireless.Count(), 2);
}

TEST_F(ScanWindowTest, WiredScanWithoutMeters)
{
    fake.Answer = [inner = fake.Answer](const Bytes& req) {
        if (req.size() == 5 && req[0] == 0x10 && (req[1] & 0xDF) == 0x5B)
            return std::vector<Bytes>{No_Slave};
        return inner(req);
    };
    Click(window->Btn_StartScan);
    Run();
    window->T_InScanTimer();
    EXPECT_EQ(window->Current_Style(), 3);
    ASSERT_EQ(window->LB_AvailableDevice->Count(), 251);
    for (int a = 0; a <= 250; ++a)
        EXPECT_EQ(window->LB_AvailableDevice->Item(a), QStringLiteral("ID = %1\t[NOT FOUND]").arg(a));
    EXPECT_EQ(window->VST->TopCount(), 0);
    EXPECT_EQ(window->L_Num_Slave->Caption(), "0");
    // Saving asks first, then writes nothing and says nothing more.
    ASSERT_TRUE(WriteAll(window->FileName_MBus, "<M-Bus_Network />\n"));
    DialogScript script;
    script.AnswerMessage(MessageAnswer::No);
    Click(window->Btn_SaveConf);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, M(2137));
    EXPECT_EQ(ReadAll(window->FileName_MBus), "<M-Bus_Network />\n");
}

// A meter that answered in a layout the decoder does not read tells why it
// has no records; a meter's identification in hexadecimal stays as read.
TEST(ScanTreeTexts, WiredMeterSaysWhyItHasNoRecords)
{
    TSlave_MBus m;
    m.Primary_Addresss = 4;
    m.Secondary_Addresss = QStringLiteral("1234ABCD");
    m.descManufacture = QStringLiteral("ABB");
    m.Manufacture = 1090;
    m.Version = 2;
    m.Medium = 3;
    EXPECT_EQ(Scan_Wired_Meter_Text(m), "Primary Address = 4 - Secondary Address = 1234ABCD - Manufacturer = ABB(1090) - "
                                        "Version = 2 - Type = 3");
    m.description = QStringLiteral("Data not decoded: CI 0x73");
    EXPECT_TRUE(Scan_Wired_Meter_Text(m).endsWith(" - Type = 3 - Data not decoded: CI 0x73"));
}

// Closing the window during a scan ends it: no endpoint, no report after,
// the worker put to sleep.
TEST_F(ScanWindowTest, ClosingEndsARunningScan)
{
    window->CB_ScanMethod->SetItemIndex(1);
    window->E_Port->SetText(QString::number(port));
    window->show();
    EXPECT_TRUE(w->Event_Run.Signaled());
    Click(window->Btn_StartScan);
    Run_Until_Listening();
    ASSERT_EQ(w->Step_Scan, 134);
    Hear(Plain_Telegram());
    ASSERT_EQ(window->ESG_Wireless->GetCellEx(0, 1), "1");
    window->close();
    EXPECT_FALSE(w->FInScan);
    EXPECT_FALSE(w->Endpoint_Open());
    EXPECT_FALSE(w->Event_Run.Signaled());
    window->T_InScanTimer();
    EXPECT_EQ(window->Current_Style(), 5);
}

TEST_F(ScanWindowTest, ConverterNotFoundAndEmptyScanSaveNothing)
{
    fake.Answer = [](const Bytes&) { return std::vector<Bytes>{}; };
    Click(window->Btn_StartScan);
    Run();
    {
        DialogScript script;
        window->T_InScanTimer();
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, M(2129));
    }
    EXPECT_EQ(window->Current_Style(), 1);
    // Nothing found: a save writes nothing and says nothing.
    {
        DialogScript script;
        Click(window->Btn_SaveConf);
        EXPECT_TRUE(script.Shown().empty());
        EXPECT_FALSE(QFile::exists(window->FileName_MBus));
    }
}

} // namespace
