// The layout of the paste dialog and of the Scan & Decode window as the user
// sees them, shown offscreen: the panels that fill the window, the paste
// grid's columns, the progress list scrolled to its newest line, and the
// hardware list that looks as disabled as it is.
// LAYOUT_SCREENSHOT_DIR=<dir> saves the paste dialog of a variable and the
// scan window before and during a wired scan.

#include "FakeConverter.h"
#include "mbus/UMeter_Bus.h"
#include "mbus/UNewIDNode.h"
#include "mbus/UScanDecode.h"
#include "mbus/UScanDecode_Tree.h"
#include "platform/Controls.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "widgets/LbButton.h"

#include "grid/ExCGrid.h"

#include <QApplication>
#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace mbustest;
using namespace platform;

namespace {

void Settle_Events()
{
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();
}

void Screenshot(QWidget* w, const char* name)
{
    const QString dir = qEnvironmentVariable("LAYOUT_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    Settle_Events();
    EXPECT_TRUE(w->grab().save(QDir(dir).filePath(QString::fromLatin1(name))));
}

std::vector<TVariabile> Two_Variables()
{
    std::vector<TVariabile> vars(2);
    vars[0].Description = "Energy";
    vars[0].PositionData = 10;
    vars[1].Description = "Volume";
    vars[1].PositionData = 12;
    return vars;
}

} // namespace

TEST(PasteDialogLayout, TopPanelAndGridFollowTheKindOfPaste)
{
    Load_English_Table();
    TFNewIDNode d;
    d.Fill_Grid(Two_Variables());
    // One dialog for every paste, as in the program: a kind shown after
    // another must not keep the former one's layout.
    const struct
    {
        int form_type;
        int panel_height;   // of the node fields above the grid
        const char* why;
        const char* screenshot = nullptr;
    } cases[] = {
        {1, 161, "a wired node: address, type, node state and identification"},
        {2, 8, "a variable: no node field in view", "paste_dialog_variable.png"},
        {3, 134, "a wireless node: ends 4 pixels below the signal-strength field (109 + 21)"},
        {2, 8, "a variable after a wireless node"},
        {1, 161, "a wired node after a variable", "paste_dialog_node.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        d.Form_Type = c.form_type;
        d.Show();
        Settle_Events();
        EXPECT_EQ(d.Panel1->Height(), c.panel_height);
        EXPECT_EQ(d.Panel1->Top(), d.P_Title->Top() + d.P_Title->Height());
        // The grid's panel starts right under the node fields and reaches the buttons.
        EXPECT_EQ(d.Panel3->Top(), d.Panel1->Top() + c.panel_height);
        EXPECT_EQ(d.Panel3->Top() + d.Panel3->Height(), d.P_Button->Top());
        EXPECT_EQ(d.ESG_MR_Var->Top() + d.ESG_MR_Var->Height() + 11, d.Panel3->Height()) << "the grid grows with its panel";
        EXPECT_EQ(d.ESG_MR_Var->ColWidths(0), 78);
        EXPECT_EQ(d.ESG_MR_Var->ColWidths(1), 64);
        EXPECT_EQ(d.ESG_MR_Var->ColWidths(2), 223);
        if (c.screenshot)
            Screenshot(&d, c.screenshot);
        d.Hide();
    }
}

namespace {

using Bytes = FakeConverter::Bytes;

// The scan window shown, against a converter on which no meter answers.
class ScanWindowLayout : public ::testing::Test
{
protected:
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    FakeConverter fake;
    std::atomic<uint32_t> now{1000};
    TMBusScanDecode* worker = nullptr;
    std::unique_ptr<TFScanDecode> window;

    void SetUp() override
    {
        Load_English_Table();
        TScanTiming t;
        t.Tick = [this] { return now.load(); };
        t.Sleep = [this](uint32_t ms) {
            now += ms;
            Settle();
        };
        auto w = std::make_unique<TMBusScanDecode>(false, t, wired, wireless);
        w->Converter_Port_Override = fake.Port();
        worker = w.get();
        fake.Answer = [](const Bytes& req) -> std::vector<Bytes> {
            const std::string s(req.begin(), req.end());
            auto text = [](const char* t) { return Bytes(t, t + std::strlen(t)); };
            if (s == "Rizova_Enable_Analyzer_Mode")
                return {text("\n\rAnalyzer_Mode Enabled!\n\r")};
            if (s.rfind("Rizova_S_M:", 0) == 0)
                return {text("\n\rDone!")};
            if (s == "Rizova_Disable_Analyzer_Mode")
                return {text("\n\rAnalyzer_Mode Disabled!\n\r")};
            return {text("NO_SLAVE\n\r")};
        };
        window = std::make_unique<TFScanDecode>(std::move(w));
        window->XML_Code_Dev = 21;
        window->Form_Type = 1;
        window->show();   // runs FormShow
        Settle_Events();
        window->E_IP1->SetText("127");
        window->E_IP2->SetText("0");
        window->E_IP3->SetText("0");
        window->E_IP4->SetText("1");
    }
    void TearDown() override { window.reset(); }

    void Settle()
    {
        fake.Settle(*worker);
    }
    void Run_Scan()
    {
        for (int i = 0; i < 200000 && worker->FInScan; ++i)
            worker->Run_Pass();
        Settle_Events();
    }
    // The panel shown fills the room between the title and the buttons.
    void Expect_Fills(QWidget* panel)
    {
        EXPECT_TRUE(panel->isVisible());
        EXPECT_EQ(panel->geometry(), QRect(0, 69, 922, 571 - 69 - 40));
        EXPECT_EQ(window->P_Button->geometry(), QRect(0, 571 - 40, 922, 40));
    }
};

} // namespace

TEST_F(ScanWindowLayout, TheFirstWiredRunFillsTheWindowAndShowsItsNewestLineOnTop)
{
    EXPECT_EQ(window->ClientHeight(), 571);
    Expect_Fills(window->P_Main);
    Screenshot(window.get(), "scan_window_ready.png");

    window->BtnClick(window->Btn_StartScan);
    Run_Scan();
    ASSERT_EQ(window->Current_Style(), 2);
    Expect_Fills(window->P_TreeView);
    // The list reaches as close to the buttons as it was made to: no band above them.
    TListBox* list = window->LB_AvailableDevice;
    EXPECT_EQ(list->geometry(), QRect(16, 52, 922 - 32, 571 - 69 - 40 - 52 - 22));
    ASSERT_EQ(list->Count(), 251);
    EXPECT_EQ(list->ItemAtPos(4, 2), 250) << "the last line is the top one";
    Screenshot(window.get(), "scan_window_wired_run.png");

    window->T_InScanTimer();
    ASSERT_EQ(window->Current_Style(), 3);
    Expect_Fills(window->P_TreeView);
    EXPECT_EQ(window->VST->geometry(), QRect(16, 32, 922 - 32, 571 - 69 - 40 - 32 - 22));
}

TEST_F(ScanWindowLayout, TheDisabledHardwareListLooksDisabled)
{
    TComboBox* hardware = window->CB_HardwareType;
    ASSERT_FALSE(hardware->isEnabled());
    EXPECT_EQ(hardware->Text(), "Ethernet");
    const QPalette& p = hardware->palette();
    EXPECT_NE(p.color(QPalette::Disabled, QPalette::ButtonText), p.color(QPalette::Active, QPalette::ButtonText));
    EXPECT_NE(p.color(QPalette::Disabled, QPalette::WindowText), p.color(QPalette::Active, QPalette::WindowText));
    const QImage disabled = hardware->grab().toImage();
    hardware->setEnabled(true);
    const QImage enabled = hardware->grab().toImage();
    EXPECT_NE(disabled, enabled) << "the disabled list is drawn as the enabled one";
    // The font's own colour comes back with the enabled state.
    EXPECT_EQ(hardware->Font().Color(), window->Font().Color());
}
