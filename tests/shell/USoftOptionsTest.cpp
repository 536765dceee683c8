// SHELL_SCREENSHOT_DIR=<dir> saves the options window and the about box.

#include "support/LocalHttpServer.h"
#include "shell/UAbout.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/URorudizezFirmWare.h"
#include "shell/USoftOptions.h"
#include "support/TestSupport.h"

#include "configuration/UParGen.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "widgets/LbButton.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;
using testsupport::ReadAll;
using testsupport::WriteAll;

TEST(VersionCheck, RepliesAreJudgedAgainstVersion1002)
{
    struct Case
    {
        const char* reply;
        bool newer;
        const char* why;
    };
    const Case cases[] = {
        {"VER. 1.003", true, "one step newer"},
        {"VER. 1.002", false, "the same version"},
        {"VER. 1.001", false, "older"},
        {"VER. 2.000", true, "a new major version"},
        {"ver. 0.000", false, "the server knows no version, in any case"},
        {" \r\nVER. 0.000\r\n", false, "the same, with blanks and line ends around"},
        {"", false, "no answer"},
        {"  \t\r\n", false, "blanks only"},
        {"1.010", true, "no word: the whole text is the version"},
        {"VER. 2.1", false, "too short to be a version"},
        {"VER. 1.0035", true, "only the first three digits after the point count"},
        {"VER. 1,003", true, "the point itself is not looked at"},
        {"VER. 1.00a", false, "not a number"},
        {"<html><body>Not Found</body></html>", false, "an error page in a 200 answer"},
        {"Server busy, try later", false, "a sentence"},
        {"VER.  1.003", true, "blanks after the word"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(TFSoftOptions::Is_Newer_Version(QString::fromLatin1(c.reply)), c.newer) << c.reply;
    }

    const std::pair<const char*, int> conversions[] = {
        {"VER. 1.003", 1003}, {"1.002", 1002}, {"VER. 2.1", -1}, {"", -1}, {"X 9.999", 9999}, {"a b c", -1},
    };
    for (const auto& [text, number] : conversions)
        EXPECT_EQ(TFSoftOptions::Conv_Version(QString::fromLatin1(text)), number) << text;
}

namespace {

// The program's windows in a folder of their own, with language files.
class Options : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(ForceFolders(dir.filePath("LANGUAGE"))); }
    void TearDown() override { Destroy_All_Windows(); }
    void Start() { Create_All_Windows(dir.path()); }
    TFSoftOptions& O() { return *FSoftOptions; }
    TFRorudizezFirmWare& W() { return *FRorudizezFirmWare; }

    void Language(const QString& name, const QByteArray& lines = QByteArray())
    {
        ASSERT_TRUE(WriteAll(dir.filePath("LANGUAGE/" + name), lines));
    }
    void Flag(const QString& name, Qt::GlobalColor colour)
    {
        QImage image(48, 48, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(dir.filePath("LANGUAGE/" + name), "BMP"));
    }
    // Shows the options window and runs `action` in it; the result it closed with.
    TModalResult Show(const std::function<void()>& action)
    {
        DialogScript script;
        script.AnswerForm([&](QWidget&) { action(); });
        W().Btn_Click(W().Btn_Opz);
        EXPECT_EQ(script.Unanswered(), 0);
        return O().ModalResult();
    }
    QStringList Slots()
    {
        QStringList shown;
        for (TLabel* label : O().L_L)
            if (label->Visible())
                shown << label->Caption();
        return shown;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(Options, LanguagePagesOfSixSlots)
{
    for (const char* name : {"Polski", "english", "Deutsch", "Italiano", "Espanol", "Francais", "Zulu"})
        Language(QString::fromLatin1(name) + ".lng");
    Language("Readme.txt");
    Language("Upper.LNG");   // Load_Language could never open it by this name
    ASSERT_TRUE(CreateFolder(dir.filePath("LANGUAGE/Folder.lng")));
    Start();
    Show([&] {
        EXPECT_EQ(O().SL_Languages, (QStringList{"Deutsch.lng", "english.lng", "Espanol.lng", "Francais.lng",
                                                 "Italiano.lng", "Polski.lng", "Zulu.lng"}));
        EXPECT_EQ(O().Show_Page, 1);
        EXPECT_EQ(Slots(), (QStringList{"Deutsch", "english", "Espanol", "Francais", "Italiano", "Polski"}));
        EXPECT_EQ(O().L_Page_Lang->Caption(), "Page 1 / 2");
        EXPECT_EQ(O().L_Sel_Lang->Caption(), "Selected Language : English");
        EXPECT_FALSE(O().Btn_Prev->Visible());
        EXPECT_TRUE(O().Btn_Next->Visible());
        EXPECT_EQ(O().PC_Options->ActivePage(), O().TS_Language);

        testsupport::Click(O().Btn_Next);
        EXPECT_EQ(O().Show_Page, 2);
        EXPECT_EQ(Slots(), QStringList{"Zulu"});
        EXPECT_FALSE(O().I_L[1]->Visible());
        EXPECT_EQ(O().L_Page_Lang->Caption(), "Page 2 / 2");
        EXPECT_TRUE(O().Btn_Prev->Visible());
        EXPECT_FALSE(O().Btn_Next->Visible());
        O().Btn_NextClick(O().Btn_Next);   // no third page
        EXPECT_EQ(O().Show_Page, 2);

        testsupport::Click(O().Btn_Prev);
        EXPECT_EQ(O().Show_Page, 1);
        testsupport::Click(O().Btn_Cancel);
    });

    // Six files: one page, nothing to turn to.
    QFile::remove(dir.filePath("LANGUAGE/Zulu.lng"));
    Show([&] {
        EXPECT_EQ(O().L_Page_Lang->Caption(), "Page 1 / 1");
        EXPECT_FALSE(O().Btn_Prev->Visible());
        EXPECT_FALSE(O().Btn_Next->Visible());
        EXPECT_EQ(Slots().size(), 6);
        testsupport::Click(O().Btn_Cancel);
    });
}

TEST_F(Options, NoLanguageFileAtAll)
{
    Start();
    Show([&] {
        EXPECT_EQ(O().L_Page_Lang->Caption(), "Page 1 / 0");
        EXPECT_TRUE(Slots().isEmpty());
        EXPECT_TRUE(O().Btn_Next->Visible());
        testsupport::Click(O().Btn_Next);
        EXPECT_EQ(O().Show_Page, 1);
        DialogScript none;
        O().LangClick(1);
        EXPECT_TRUE(none.Shown().empty());
        testsupport::Click(O().Btn_Cancel);
    });
}

TEST_F(Options, FlagsOfTheLanguages)
{
    Language("Deutsch.lng");
    Language("Italiano.lng");
    Language("Polski.lng");
    Flag("Deutsch.bmp", Qt::black);
    Start();
    Show([&] {
        // Only Deutsch has a flag, and there is no default one.
        EXPECT_TRUE(O().I_L[0]->Visible());
        EXPECT_EQ(O().I_L[0]->Picture().Image().pixel(5, 5), QColor(Qt::black).rgb());
        EXPECT_FALSE(O().I_L[1]->Visible());
        EXPECT_TRUE(O().L_L[1]->Visible());
        testsupport::Click(O().Btn_Cancel);
    });

    Flag("DefaultFlag.bmp", Qt::red);
    // A flag that is no picture falls back to the default one.
    ASSERT_TRUE(WriteAll(dir.filePath("LANGUAGE/Polski.bmp"), "BM not a picture"));
    Show([&] {
        for (int j : {1, 2}) {
            ASSERT_TRUE(O().I_L[j]->Visible()) << j;
            EXPECT_EQ(O().I_L[j]->Picture().Image().pixel(5, 5), QColor(Qt::red).rgb()) << j;
        }
        testsupport::Click(O().Btn_Cancel);
    });
}

TEST_F(Options, ChoosingALanguageChangesTheTextsAtOnce)
{
    Language("Italiano.lng", "STR0 = Inizio\nSTR300 = Opzioni\nSTR302 = Lingua\nSTR304 = \xB6Lingua scelta: \xB6\n"
                             "STR305 = \xB6Pagina \xB6\nSTR306 = \xB6 di \xB6\nSTR316 = \xB6" "Cambiare da \xB6\n"
                             "STR400 = Comunicazione\n");
    Flag("Italiano.bmp", Qt::green);
    Start();
    const QString settings = dir.filePath("Vudidid.xml");

    // No: nothing changes.
    Show([&] {
        DialogScript answers;
        answers.AnswerMessage(MessageAnswer::No);
        testsupport::Click(O().L_L[0]);
        ASSERT_EQ(answers.Shown().size(), 1u);
        EXPECT_EQ(answers.Shown()[0].kind, MessageKind::Confirmation);
        EXPECT_EQ(answers.Shown()[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(answers.Shown()[0].text, "Do you want to change the Language from English to Italiano?");
        EXPECT_EQ(O().Caption(), "Software Options");
        EXPECT_EQ(O().Language_In_Use, "English");
        testsupport::Click(O().Btn_Cancel);
    });

    // Yes, then Cancel: the texts change for this run, the choice is not kept.
    Show([&] {
        DialogScript answers;
        answers.AnswerMessage(MessageAnswer::Yes);
        testsupport::Click(O().I_L[0]);
        EXPECT_EQ(answers.Unanswered(), 0);
        EXPECT_EQ(O().Caption(), "Opzioni");
        EXPECT_EQ(O().TS_Language->Caption(), "Lingua");
        EXPECT_EQ(O().L_Sel_Lang->Caption(), "Lingua scelta: Italiano");
        EXPECT_EQ(O().L_Page_Lang->Caption(), "Pagina 1 di 1");
        EXPECT_EQ(O().Btn_Next->Caption(), "Next");
        EXPECT_EQ(W().L_Begin->Caption(), "Inizio");
        EXPECT_EQ(FParGen->Caption(), "Comunicazione");
        EXPECT_EQ(Language_Name, "English");
        testsupport::Click(O().Btn_Cancel);
    });
    EXPECT_EQ(Language_Name, "English");
    EXPECT_FALSE(QFile::exists(settings)) << "Cancel writes no settings";
    EXPECT_EQ(W().L_Begin->Caption(), "Inizio");

    // Shown again, the window names the committed language, not the cancelled one.
    Show([&] {
        EXPECT_EQ(O().Language_In_Use, "English");
        EXPECT_EQ(O().L_Sel_Lang->Caption(), "Lingua scelta: English");
        DialogScript answers;
        answers.AnswerMessage(MessageAnswer::Yes);
        testsupport::Click(O().L_L[0]);
        EXPECT_EQ(answers.Shown()[0].text, "Cambiare da English to Italiano?");
        testsupport::Click(O().Btn_OK);
    });
    EXPECT_EQ(Language_Name, "Italiano");
    EXPECT_TRUE(ReadAll(settings).contains("<language>Italiano</language>"));

    // The about box takes nothing from the table, built before or after the change.
    FAbout->BuildNow();
    EXPECT_EQ(FAbout->Label1->Caption(), "Software Vudidid ");
    EXPECT_EQ(FAbout->Label10->Caption(), "1.002");
}

TEST_F(Options, ThePageShownAfterALanguageChange)
{
    for (const char* name : {"A", "B", "C", "D", "E", "F", "G"})
        Language(QString::fromLatin1(name) + ".lng", "STR305 = \xB6Seite \xB6\nSTR306 = \xB6 von \xB6\n");
    Start();
    Show([&] {
        testsupport::Click(O().Btn_Next);
        DialogScript answers;
        answers.AnswerMessage(MessageAnswer::Yes);
        testsupport::Click(O().L_L[0]);
        EXPECT_EQ(O().Language_In_Use, "G");
        // Set_Lang alone would say "page 1 of 1" here.
        EXPECT_EQ(O().L_Page_Lang->Caption(), "Seite 2 von 2");
        EXPECT_EQ(Slots(), QStringList{"G"});
        testsupport::Click(O().Btn_Cancel);
    });
}

TEST_F(Options, ALanguageFileRemovedBeforeItIsChosen)
{
    Language("Italiano.lng", "STR300 = Opzioni\n");
    Language("Norsk.lng", "STR300 = Valg\n");
    Start();
    Show([&] {
        QFile::remove(dir.filePath("LANGUAGE/Norsk.lng"));
        DialogScript answers;
        answers.AnswerMessage(MessageAnswer::Yes);
        testsupport::Click(O().L_L[1]);
        EXPECT_EQ(O().Caption(), "Software Options");
        EXPECT_EQ(O().L_Sel_Lang->Caption(), "Selected Language : Norsk");
        testsupport::Click(O().Btn_OK);
    });
    EXPECT_EQ(Language_Name, "Norsk");
}

TEST_F(Options, CheckBoxesAndWhatOkCommits)
{
    Start();
    ASSERT_FALSE(W().Timer_Update->Enabled());
    Show([&] {
        EXPECT_FALSE(O().CB_En_Con->Checked());
        EXPECT_FALSE(O().CB_Update->Enabled());
        EXPECT_FALSE(O().Btn_Check_Update->Enabled());
        EXPECT_FALSE(O().LL_Check_Update->Visible());
        O().CB_En_Con->SetChecked(true);
        EXPECT_TRUE(O().CB_Update->Enabled());
        EXPECT_FALSE(O().Btn_Check_Update->Enabled());
        O().CB_Update->SetChecked(true);
        EXPECT_TRUE(O().Btn_Check_Update->Enabled());
        // Internet off again: the update box keeps its tick, disabled.
        O().CB_En_Con->SetChecked(false);
        EXPECT_FALSE(O().CB_Update->Enabled());
        EXPECT_TRUE(O().CB_Update->Checked());
        EXPECT_FALSE(O().Btn_Check_Update->Enabled());
        O().CB_Soft_Set_Jump_Table->SetChecked(true);
        testsupport::Click(O().Btn_OK);
    });
    EXPECT_FALSE(Enable_Internet);
    EXPECT_TRUE(Enable_Update);
    EXPECT_TRUE(Enable_Jump_Field_Tables);
    EXPECT_FALSE(Double_Click_Auto_Size);
    EXPECT_FALSE(W().Timer_Update->Enabled());
    EXPECT_TRUE(ReadAll(dir.filePath("Vudidid.xml")).contains("<enable_internet>0</enable_internet>\n\t\t<enable_update>1</enable_update>"));

    // Both on: the first check a minute later.
    Show([&] {
        EXPECT_TRUE(O().CB_Update->Checked());
        EXPECT_FALSE(O().CB_Update->Enabled());
        O().CB_En_Con->SetChecked(true);
        testsupport::Click(O().Btn_OK);
    });
    EXPECT_TRUE(W().Timer_Update->Enabled());
    EXPECT_EQ(W().Timer_Update->Interval(), 60000);

    // Cancel keeps flags and timer.
    Show([&] {
        O().CB_En_Con->SetChecked(false);
        O().CB_DoubleClick_Auto_Size->SetChecked(true);
        testsupport::Click(O().Btn_Cancel);
    });
    EXPECT_TRUE(Enable_Internet);
    EXPECT_FALSE(Double_Click_Auto_Size);
    EXPECT_TRUE(W().Timer_Update->Enabled());

    Show([&] {
        O().CB_Update->SetChecked(false);
        testsupport::Click(O().Btn_OK);
    });
    EXPECT_FALSE(W().Timer_Update->Enabled());
}

TEST_F(Options, CheckAtOnceAgainstALocalServer)
{
    Start();
    Enable_Internet = Enable_Update = true;
    struct Case
    {
        std::string reply;   // empty: nobody listens
        const char* shown;
    };
    const QString link = "<a href=\"" + Download_Page_Address() + "\">New Version Available. Click Here for more Details</a>";
    const Case cases[] = {
        {Http_Reply("VER. 1.003"), nullptr},
        {Http_Reply("VER. 1.002\r\n"), "No Update Available"},
        {Http_Reply("VER. 0.000"), "No Update Available"},
        {Http_Reply("VER. 1.003", "500 Internal Server Error"), "No Update Available"},
        {"garbage", "No Update Available"},
        {std::string(), "No Update Available"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        std::unique_ptr<LocalHttpServer> server;
        if (!c.reply.empty()) {
            server = std::make_unique<LocalHttpServer>(c.reply);
            O().Version_Server = QString::fromStdString(server->Address());
        } else {
            LocalHttpServer gone("");
            O().Version_Server = QString::fromStdString(gone.Address());
        }
        Show([&] {
            EXPECT_FALSE(O().LL_Check_Update->Visible());
            testsupport::Click(O().Btn_Check_Update);
            EXPECT_TRUE(O().LL_Check_Update->Visible());
            EXPECT_EQ(O().LL_Check_Update->Caption(), c.shown ? QString::fromLatin1(c.shown) : link);
            testsupport::Click(O().Btn_Cancel);
        });
        if (server) {
            const auto requests = server->Requests();
            ASSERT_EQ(requests.size(), 1u);
            EXPECT_EQ(requests[0].rfind("GET /home/download/GetversionSW.asp?nomesw=DIZ5U15 HTTP/1.0\r\n", 0), 0u);
        }
    }
    EXPECT_TRUE(Download_Page_Address().endsWith("/Home/download/download.asp#VAD5U15"));
}

TEST_F(Options, ASilentServerIsNoAnswerWithinTheTimeLimit)
{
    Start();
    // The window waits a few seconds at most, never without end.
    EXPECT_GT(O().Version_Timeout_Ms, 0);
    EXPECT_LE(O().Version_Timeout_Ms, 10000);

    LocalHttpServer silent("", true);
    O().Version_Server = QString::fromStdString(silent.Address());
    O().Version_Timeout_Ms = 300;
    QElapsedTimer waited;
    waited.start();
    EXPECT_FALSE(O().Check_Version());
    EXPECT_LT(waited.elapsed(), 3000);
    EXPECT_EQ(silent.Requests().size(), 1u);
}

TEST_F(Options, Screenshots)
{
    const QString target = qEnvironmentVariable("SHELL_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "set SHELL_SCREENSHOT_DIR to save the options window and the about box";
    for (const char* name : {"Deutsch", "English", "Italiano", "Polski", "Espanol", "Francais", "Norsk"})
        Language(QString::fromLatin1(name) + ".lng");
    Flag("Italiano.bmp", Qt::darkGreen);
    Flag("DefaultFlag.bmp", Qt::lightGray);
    Start();
    O().Show();
    QApplication::processEvents();
    ASSERT_TRUE(O().grab().save(QDir(target).filePath("options-language.png")));
    O().PC_Options->SetActivePage(O().TS_Con_Options);
    O().CB_En_Con->SetChecked(true);
    O().CB_Update->SetChecked(true);
    O().LL_Check_Update->SetCaption(Download_Link(Language_List.value(314)));
    O().LL_Check_Update->SetVisible(true);
    QApplication::processEvents();
    ASSERT_TRUE(O().grab().save(QDir(target).filePath("options-connection.png")));
    O().Hide();
    FAbout->Show();
    QApplication::processEvents();
    ASSERT_TRUE(FAbout->grab().save(QDir(target).filePath("about.png")));
    FAbout->Hide();
}
