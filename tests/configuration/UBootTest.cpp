#include "configuration/UBoot.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/URorudizezFirmWare.h"
#include "support/TestSupport.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "widgets/LbButton.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

using namespace platform;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

// The program's windows in a program folder of the test's own, a
// configuration "Plant" open, and the update window set up for Ethernet.
class UpdateWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Create_All_Windows(dir.path());
        Project_Name = "Plant";
        Project_Folder = dir.filePath("PROJECTS/Plant");
        ASSERT_TRUE(ForceFolders(Project_Folder + "/bin"));
        FRorudizezFirmWare->Set_Files();
        Last_IP_Address = "127.0.0.1";
        Update_Option_Index = 0;
        Update_Read_Back = true;
        B().Form_Type = 1;
        B().FormShow();
    }
    void TearDown() override
    {
        // No stub may outlive its test.
        QElapsedTimer t;
        t.start();
        while (FRorudizezFirmWare->Check_Started_Program() && t.elapsed() < 5000)
            QThread::msleep(10);
        Destroy_All_Windows();
    }
    TFBoot& B() { return *FBoot; }
    QString Job() const { return dir.filePath("Ethernet_Update.xml"); }
    QString Calls() const { return dir.filePath("calls.txt"); }

    // The updater beside the program: it notes each call with its arguments
    // and a copy of the job as it found it, then does what it is told.
    void PutUpdater(const QByteArray& then)
    {
        const QString path = dir.filePath("Ethernet_Update.exe");
        ASSERT_TRUE(WriteAll(path, "#!/bin/sh\nd=$(dirname \"$0\")\necho \"call $#\" >> \"$d/calls.txt\"\n"
                                   "cp \"$d/Ethernet_Update.xml\" \"$d/job-seen.xml\"\n" + then + "\n"));
        ASSERT_TRUE(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner));
    }
    // An echo client that answers as told and counts, on a clock that runs
    // 400 ms per unanswered echo.
    void FakeEcho(EchoStatus status, int bytes = kEchoPacketSize)
    {
        B().Clock_Ms = [this] { return clock; };
        B().Echo = [this, status, bytes](const QString& host, const QByteArray& data, int timeoutMs,
                                         const std::function<void()>&) {
            hosts << host;
            EXPECT_EQ(data, host.toUtf8());
            EXPECT_EQ(timeoutMs, 400);
            EchoResult r;
            r.status = status;
            if (status == EchoStatus::Answered)
                r.bytesReceived = bytes;
            else
                clock += 400;
            if (status == EchoStatus::Failed)
                r.error = "no";
            return r;
        };
    }
    void SetAddress(const char* a, const char* b, const char* c, const char* d)
    {
        B().E_IP1->SetText(a);
        B().E_IP2->SetText(b);
        B().E_IP3->SetText(c);
        B().E_IP4->SetText(d);
    }

    QTemporaryDir dir;
    QStringList hosts;
    int64_t clock = 0;
};

// The job as it must reach the updater: the header, then the operations.
QByteArray Job_Head(const char* ip)
{
    return QByteArray("<Ethernet_Update>\n"
                      "\t<Version>1000</Version>\n"
                      "\t<Title>Rizova - DIZ5U15 Ethernet Update</Title>\n"
                      "\t<IP_Address_Dev>") + ip + "</IP_Address_Dev>\n"
                      "\t<Application_Port>10000</Application_Port>\n"
                      "\t<Boot_Port>2008</Boot_Port>\n"
                      "\t<Boot_Port_Sec>2007</Boot_Port_Sec>\n"
                      "\t<Address_Protection>0x78000</Address_Protection>\n"
                      "\t<Protections>\n"
                      "\t\t<Protection>0x404</Protection>\n"
                      "\t\t<Protection>0x405</Protection>\n"
                      "\t</Protections>\n";
}

QByteArray Operation_Head(const QString& file, const char* start, const char* bankType, char readBack,
                          const char* writeCss, const char* addressCss)
{
    return QByteArray("\t\t<Operation>\n"
                      "\t\t\t<Ope_Protection_Enabled />\n"
                      "\t\t\t<Ope_GoToBoot_Before>0</Ope_GoToBoot_Before>\n"
                      "\t\t\t<Ope_GoToApp_Before>0</Ope_GoToApp_Before>\n"
                      "\t\t\t<Ope_IP_Address />\n"
                      "\t\t\t<Ope_Port>2008</Ope_Port>\n"
                      "\t\t\t<Ope_Port_Sec>2007</Ope_Port_Sec>\n"
                      "\t\t\t<Ope_Erase_Memory>0</Ope_Erase_Memory>\n"
                      "\t\t\t<Ope_FileName>") + file.toUtf8() + "</Ope_FileName>\n"
           "\t\t\t<Ope_Start_Address>" + start + "</Ope_Start_Address>\n"
           "\t\t\t<Ope_Memory_Type>0</Ope_Memory_Type>\n"
           "\t\t\t<Ope_Bank_Type>" + bankType + "</Ope_Bank_Type>\n"
           "\t\t\t<Ope_Read_Back>" + readBack + "</Ope_Read_Back>\n"
           "\t\t\t<Ope_Write_CSS>" + writeCss + "</Ope_Write_CSS>\n"
           "\t\t\t<Ope_Address_CSS>" + addressCss + "</Ope_Address_CSS>\n"
           "\t\t\t<Ope_Command_CSS>0x0B</Ope_Command_CSS>\n";
}

QByteArray Internal_Data(char write)
{
    return QByteArray("\t\t\t<Ope_Write_Internal_Data>") + write + "</Ope_Write_Internal_Data>\n"
           "\t\t\t<Ope_WID_Address>0x78200</Ope_WID_Address>\n"
           "\t\t\t<Ope_WID_Command>0x0B</Ope_WID_Command>\n"
           "\t\t\t<Ope_WID_Data>0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00</Ope_WID_Data>\n";
}

QByteArray Operation_Tail(char goToApp)
{
    return QByteArray("\t\t\t<Ope_GoToApp_After>") + goToApp + "</Ope_GoToApp_After>\n\t\t</Operation>\n";
}

} // namespace

TEST_F(UpdateWindow, TheJobForEachOptionByteForByte)
{
    // Firmware alone ends in the application; with the configuration the last
    // bank does. Only the two banks carry the internal-data elements.
    struct Case
    {
        int option;
        bool readBack;
        bool firmware, banks;
    };
    const Case cases[] = {
        {0, true, true, true},   {0, false, true, true},  {1, true, true, false},
        {1, false, true, false}, {2, true, false, true},  {2, false, false, true},
    };
    SetAddress("10", "1", "2", "3");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "option " << c.option << " read back " << c.readBack);
        B().CB_Update_Options->SetItemIndex(c.option);
        B().CB_Update_Option_Read_Back->SetChecked(c.readBack);
        ASSERT_TRUE(B().Compile_XML_Parameter());
        const char rb = c.readBack ? '1' : '0';
        QByteArray expected = Job_Head("10.1.2.3") + "\t<Operations>\n";
        if (c.firmware)
            expected += Operation_Head(dir.filePath("MASTER/SimX5K15.sim"), "0x8000", "1", rb, "1", "0x78100")
                        + Operation_Tail(c.banks ? '0' : '1');
        if (c.banks)
            expected += Operation_Head(Project_Folder + "/bin/bank1.bin", "0x68000", "2", rb, "0", "0x50100")
                        + Internal_Data('1') + Operation_Tail('0')
                        + Operation_Head(Project_Folder + "/bin/bank2.bin", "0x50800", "2", rb, "0", "0x50100")
                        + Internal_Data('0') + Operation_Tail('1');
        expected += "\t</Operations>\n</Ethernet_Update>\n";
        EXPECT_EQ(ReadAll(Job()).toStdString(), expected.toStdString());
    }
}

TEST_F(UpdateWindow, ShowingTakesTheRememberedChoices)
{
    Last_IP_Address = " 192 . 168 . 2 . 205 ";
    Update_Option_Index = 2;
    Update_Read_Back = false;
    B().FormShow();
    EXPECT_EQ(B().Caption(), "Update Device by Ethernet (UDP)");
    EXPECT_EQ(B().L_SW_Desc->Caption(), "Update Device Using the Ethernet Port");
    EXPECT_EQ(B().L_SW_Code->Caption(), "DIZ5U15");
    EXPECT_EQ(B().IP_Text(), "192.168.2.205");
    EXPECT_EQ(B().CB_Update_Options->Items(), QStringList({"Firmware + Configuration", "Firmware", "Configuration"}));
    EXPECT_EQ(B().CB_Update_Options->ItemIndex(), 2);
    EXPECT_FALSE(B().CB_Update_Option_Read_Back->Checked());
    EXPECT_EQ(B().ClientWidth(), 449);
    EXPECT_EQ(B().ClientHeight(),
              B().P_Title->Height() + B().P_IP_Address->Height() + B().P_Options->Height() + B().P_Button->Height());
    EXPECT_FALSE(B().P_Serial->isVisibleTo(&B()));
    EXPECT_FALSE(B().P_Search->isVisibleTo(&B()));
    EXPECT_TRUE(B().P_IP_Address->isVisibleTo(&B()));

    // An address that does not split leaves the edits as they were.
    Last_IP_Address = "192.168.2";
    B().FormShow();
    EXPECT_EQ(B().IP_Text(), "192.168.2.205");
}

TEST_F(UpdateWindow, ADotMovesToTheNextPartAndIsNeverEntered)
{
    B().Show();
    SetAddress("", "", "", "");
    B().E_IP1->SetFocus();
    QApplication::processEvents();
    testsupport::TypeKeys("192.168.2.10.");
    EXPECT_EQ(B().E_IP1->Text(), "192");
    EXPECT_EQ(B().E_IP2->Text(), "168");
    EXPECT_EQ(B().E_IP3->Text(), "2");
    EXPECT_EQ(B().E_IP4->Text(), "10");
    B().Hide();
}

TEST_F(UpdateWindow, AnAnsweringDeviceGetsTheJobAndTheUpdaterOnce)
{
    PutUpdater("exit 0");
    SetAddress("127", "0", "0", "1");
    B().CB_Update_Options->SetItemIndex(1);
    B().CB_Update_Option_Read_Back->SetChecked(false);
    Last_IP_Address.clear();
    DialogScript script;
    QElapsedTimer t;
    t.start();
    B().Btn_UpdateClick(B().Btn_Update);
    if (B().ping_res == 0 && !script.Shown().empty() && !QFile::exists(Job()))
        GTEST_SKIP() << "this machine allows no ICMP socket";
    EXPECT_LT(t.elapsed(), 3000) << "two answers end the test";
    EXPECT_EQ(B().ping_res, 1);
    EXPECT_TRUE(script.Shown().empty());
    EXPECT_EQ(ReadAll(Calls()), "call 0\n");
    EXPECT_EQ(ReadAll(dir.filePath("job-seen.xml")), ReadAll(Job()));
    EXPECT_TRUE(ReadAll(Job()).contains("<IP_Address_Dev>127.0.0.1</IP_Address_Dev>"));
    EXPECT_EQ(Last_IP_Address, "127.0.0.1");
    EXPECT_EQ(Update_Option_Index, 1);
    EXPECT_FALSE(Update_Read_Back);
    EXPECT_TRUE(B().Btn_Update->Enabled());
    EXPECT_TRUE(B().Btn_Cancel->Enabled());
}

TEST_F(UpdateWindow, NoAnswerOrABadAddressStopsBeforeTheJob)
{
    PutUpdater("exit 0");
    struct Case
    {
        const char* why;
        EchoStatus status;
        const char* parts[4];
        int echoes;       // -1: any
        MessageKind kind;
        const char* message;
    };
    const Case cases[] = {
        // Unanswered echoes of 400 ms each until more than 5 s have passed.
        {"no answer", EchoStatus::TimedOut, {"127", "0", "0", "1"}, 13, MessageKind::Warning, "Device Not Found!"},
        // A reply without data is no answer either.
        {"empty reply", EchoStatus::Answered, {"127", "0", "0", "1"}, -1, MessageKind::Warning, "Device Not Found!"},
        {"echo client fails", EchoStatus::Failed, {"127", "0", "0", "1"}, 1, MessageKind::Error,
         "Error!!! Check the Ip Address"},
        // Never handed to the name resolver.
        {"empty part", EchoStatus::Answered, {"192", "", "2", "10"}, 0, MessageKind::Error, "Error!!! Check the Ip Address"},
        {"letters", EchoStatus::Answered, {"a", "b", "c", "d"}, 0, MessageKind::Error, "Error!!! Check the Ip Address"},
        {"out of range", EchoStatus::Answered, {"127", "0", "0", "256"}, 0, MessageKind::Error,
         "Error!!! Check the Ip Address"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        hosts.clear();
        clock = 0;
        int fakeClockStep = 0;
        FakeEcho(c.status, std::string(c.why) == "empty reply" ? 0 : kEchoPacketSize);
        if (std::string(c.why) == "empty reply") {
            // Such replies come at once; the clock runs on by itself.
            B().Clock_Ms = [&] { return fakeClockStep += 100; };
        }
        SetAddress(c.parts[0], c.parts[1], c.parts[2], c.parts[3]);
        Last_IP_Address = "1.2.3.4";
        DialogScript script;
        B().Btn_UpdateClick(B().Btn_Update);
        if (c.echoes >= 0) {
            EXPECT_EQ(hosts.size(), c.echoes);
        }
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, c.kind);
        EXPECT_EQ(script.Shown()[0].text, c.message);
        EXPECT_FALSE(QFile::exists(Job()));
        EXPECT_FALSE(QFile::exists(Calls()));
        EXPECT_EQ(Last_IP_Address, "1.2.3.4");
    }
}

TEST_F(UpdateWindow, NothingCanBeClickedOrClosedWhileTheEchoTestRuns)
{
    PutUpdater("exit 0");
    SetAddress("127", "0", "0", "1");
    FakeEcho(EchoStatus::Answered);
    int checked = 0;
    auto answer = B().Echo;
    B().Echo = [&](const QString& h, const QByteArray& d, int ms, const std::function<void()>& idle) {
        EXPECT_FALSE(B().Btn_Update->Enabled());
        EXPECT_FALSE(B().Btn_Cancel->Enabled());
        // A click that got through anyway, Escape and the close box change nothing.
        B().Btn_UpdateClick(B().Btn_Update);
        testsupport::KeyClick(Qt::Key_Escape);
        B().close();
        EXPECT_EQ(B().ModalResult(), mrNone);
        ++checked;
        return answer(h, d, ms, idle);
    };
    DialogScript script;
    script.AnswerForm([&](QWidget&) {
        B().Btn_UpdateClick(B().Btn_Update);
        EXPECT_EQ(B().ModalResult(), mrNone);
    });
    B().Hide();
    B().ShowModal();
    EXPECT_EQ(checked, 2);
    EXPECT_EQ(ReadAll(Calls()), "call 0\n");
    EXPECT_TRUE(B().Btn_Update->Enabled());
    EXPECT_TRUE(B().Btn_Cancel->Enabled());
}

TEST_F(UpdateWindow, AnUpdaterThatCannotStartOrFailsIsReported)
{
    SetAddress("127", "0", "0", "1");
    FakeEcho(EchoStatus::Answered);
    struct Case
    {
        const char* why;
        const char* updater;   // nullptr: none beside the program
        const char* text;      // in the error box
    };
    const Case cases[] = {
        {"missing", nullptr, "Ethernet_Update.exe"},
        {"fails", "exit 3", "ended with the code 3"},
        {"killed", "kill -9 $$", "ended with the code 137"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        QFile::remove(dir.filePath("Ethernet_Update.exe"));
        QFile::remove(Calls());
        if (c.updater)
            PutUpdater(c.updater);
        DialogScript script;
        B().Btn_UpdateClick(B().Btn_Update);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
        EXPECT_TRUE(script.Shown()[0].text.contains(c.text)) << script.Shown()[0].text.toStdString();
        // The job stays for a later try.
        EXPECT_TRUE(QFile::exists(Job()));
        EXPECT_EQ(ReadAll(Calls()), c.updater ? "call 0\n" : "");
        EXPECT_TRUE(B().Btn_Update->Enabled());
    }

    // A file that is no program cannot start either.
    ASSERT_TRUE(WriteAll(dir.filePath("Ethernet_Update.exe"), "not a program"));
    QFile::setPermissions(dir.filePath("Ethernet_Update.exe"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    DialogScript script;
    B().Btn_UpdateClick(B().Btn_Update);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.Shown()[0].text.contains("Cannot start"));
}

// The updater runs in the program folder, where its job lies, whatever the
// configurator's working folder is.
TEST_F(UpdateWindow, TheUpdaterRunsInTheProgramFolder)
{
    PutUpdater("pwd -P > \"$d/folder.txt\"\ntest -f Ethernet_Update.xml && echo job >> \"$d/folder.txt\"");
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    struct Working_Folder
    {
        QString before = QDir::currentPath();
        ~Working_Folder() { QDir::setCurrent(before); }
    } restore;
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    SetAddress("127", "0", "0", "1");
    FakeEcho(EchoStatus::Answered);
    DialogScript script;
    B().Btn_UpdateClick(B().Btn_Update);
    EXPECT_TRUE(script.Shown().empty());
    EXPECT_EQ(ReadAll(dir.filePath("folder.txt")), QFileInfo(dir.path()).canonicalFilePath().toUtf8() + "\njob\n");
}

TEST_F(UpdateWindow, AJobThatCannotBeWrittenStartsNoUpdater)
{
    PutUpdater("exit 0");
    ASSERT_TRUE(CreateFolder(Job()));   // a folder where the job should go
    SetAddress("127", "0", "0", "1");
    FakeEcho(EchoStatus::Answered);
    DialogScript script;
    B().Btn_UpdateClick(B().Btn_Update);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
    EXPECT_FALSE(QFile::exists(Calls()));
}

TEST_F(UpdateWindow, TheWindowPaintsWhileTheUpdaterRunsAndExecuteWaitsForItsEnd)
{
    PutUpdater("sleep 1\nexit 4");
    SetAddress("127", "0", "0", "1");
    FakeEcho(EchoStatus::Answered);
    FRorudizezFirmWare->Program_Wait_Limit_Ms = 300;
    B().Show();
    // Events keep being handled during the wait.
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        ++ticks;
        if (FRorudizezFirmWare->Check_Started_Program()) {
            EXPECT_FALSE(B().Btn_Update->Enabled());
        }
    });
    tick.start(20);
    DialogScript script;
    B().Btn_UpdateClick(B().Btn_Update);
    EXPECT_GT(ticks, 3);
    EXPECT_TRUE(script.Shown().empty());

    // The wait has ended and the updater runs on: Cancel works again, Execute
    // does not, and a click that reaches it anyway rewrites nothing.
    ASSERT_TRUE(FRorudizezFirmWare->Check_Started_Program());
    EXPECT_TRUE(B().Btn_Cancel->Enabled());
    EXPECT_FALSE(B().Btn_Update->Enabled());
    QFile::remove(Job());
    B().Btn_UpdateClick(B().Btn_Update);
    EXPECT_FALSE(QFile::exists(Job()));

    // When it ends, Execute comes back and its late failure is told.
    QElapsedTimer t;
    t.start();
    while (!B().Btn_Update->Enabled() && t.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(B().Btn_Update->Enabled());
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.Shown()[0].text.contains("ended with the code 4"));
    EXPECT_EQ(ReadAll(Calls()), "call 0\n");
    B().Hide();
}

TEST_F(UpdateWindow, SerialUpdaterOptionTokens)
{
    struct Case
    {
        int option;
        bool readBack;
        const char* tokens;
    };
    const Case cases[] = {
        {0, true, "FW FR PW PR "}, {0, false, "FW NO PW NO "}, {1, true, "FW FR NO NO "},
        {1, false, "FW NO NO NO "}, {2, true, "NO NO PW PR "}, {2, false, "NO NO PW NO "}, {-1, true, ""},
    };
    for (const Case& c : cases) {
        B().CB_Update_Options->SetItemIndex(c.option);
        B().CB_Update_Option_Read_Back->SetChecked(c.readBack);
        EXPECT_EQ(B().Update_Options("x "), QString("x ") + c.tokens) << c.option << c.readBack;
    }
}

TEST_F(UpdateWindow, Screenshot)
{
    const QString target = qEnvironmentVariable("BOOT_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "set BOOT_SCREENSHOT_DIR to save the update window";
    Last_IP_Address = "192.168.2.205";
    B().Show();
    B().FormShow();
    QApplication::processEvents();
    ASSERT_TRUE(B().grab().save(QDir(target).filePath("update-window.png")));
    B().Hide();
}
