// The English language file that comes with the program: written from the
// built-in table, read back by the program's own reader, and the way back to
// English through the options window. SHELL_SCREENSHOT_DIR=<dir> saves the
// options window listing the shipped English file with its flag.

#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/URorudizezFirmWare.h"
#include "shell/USoftOptions.h"
#include "support/TestSupport.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Graphics.h"
#include "widgets/LbButton.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

const QString kShipped = QStringLiteral(SHIPPED_LANGUAGE_DIR);

QStringList Built_In_Table()
{
    Load_English_Table();
    return Language_List;
}

// Reads `bytes` as a language file over a table whose every entry is
// something else, so an entry the file does not give shows.
QStringList Read_Back(const QByteArray& bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Back.lng");
    EXPECT_TRUE(WriteAll(path, bytes));
    Load_English_Table();
    for (qsizetype n = 0; n < Language_List.size(); ++n)
        Language_List[n] = QStringLiteral("<not given %1>").arg(n);
    EXPECT_TRUE(Read_Lng_File(path));
    return Language_List;
}

} // namespace

TEST(LanguageFileWriter, EveryKindOfTextComesBackAsItWas)
{
    const QStringList table = {
        "Begin",                       // plain
        "None Configuration Opened ",  // a trailing blank the caller relies on
        " to ",                        // blanks at both ends
        " ",                           // the filler of a block
        "",                            // the one empty entry
        "a = b",                       // "=" inside the text
        "Scan && Decode",
        "Error row %d!! Position Must be Between 0 and %d",
        "STR5 = not a line of its own",
        QString::fromUtf8("\xE2\x80\x9Cquoted\xE2\x80\x9D and \xC3\xA9"),  // beyond ASCII
        "\ttab\t",
    };
    QByteArray bytes;
    QString error;
    ASSERT_TRUE(Lng_File_Text(table, &bytes, &error)) << error.toStdString();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF" "STR0 = Begin\r\nSTR1 = \xC2\xB6None Configuration Opened \xC2\xB6\r\n"));
    const QStringList back = Read_Back(bytes);
    for (qsizetype n = 0; n < table.size(); ++n)
        EXPECT_EQ(back[n], table[n]) << "entry " << n;
    EXPECT_EQ(back[table.size()], QStringLiteral("<not given %1>").arg(table.size()));
}

TEST(LanguageFileWriter, TextsNoLineCanCarryAreRefused)
{
    const QString pilcrow(QChar(0x00B6));
    const QString cases[] = {"two\nlines", "two\rlines", "a " + pilcrow + " b", "text /#/ comment"};
    for (const QString& text : cases) {
        QByteArray bytes = "untouched";
        QString error;
        EXPECT_FALSE(Lng_File_Text({"Begin", text}, &bytes, &error)) << text.toStdString();
        EXPECT_EQ(error, "Entry 1 cannot be written to a language file.");
        EXPECT_EQ(bytes, "untouched");
    }
}

TEST(ShippedLanguage, TheBuiltFileIsTheBuiltInTable)
{
    const QStringList english = Built_In_Table();
    QByteArray expected;
    QString error;
    ASSERT_TRUE(Lng_File_Text(english, &expected, &error)) << error.toStdString();
    const QByteArray shipped = ReadAll(kShipped + "/English.lng");
    EXPECT_EQ(shipped, expected) << "the build made English.lng from another table";
    EXPECT_EQ(Read_Back(shipped), english);

    TBitmap flag;
    ASSERT_TRUE(flag.LoadFromFile(kShipped + "/English.bmp"));
    EXPECT_EQ(flag.Image().size(), QSize(48, 48));
}

namespace {

// The program in a folder of its own, with the shipped English file and one other language.
class BackToEnglish : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ForceFolders(dir.filePath("LANGUAGE")));
        for (const char* file : {"English.lng", "English.bmp"})
            ASSERT_TRUE(QFile::copy(kShipped + "/" + file, dir.filePath(QStringLiteral("LANGUAGE/") + file)));
        ASSERT_TRUE(WriteAll(dir.filePath("LANGUAGE/Italiano.lng"),
                             "STR0 = Inizio\nSTR300 = Opzioni\nSTR304 = \xB6Lingua scelta: \xB6\n"
                             "STR316 = \xB6" "Cambiare da \xB6\nSTR317 = \xB6 a \xB6\n"));
        Create_All_Windows(dir.path());
    }
    void TearDown() override { Destroy_All_Windows(); }

    // Opens Options, chooses the language in slot `slot` (answering Yes) and closes with OK.
    void Choose(int slot, const QString& expectedName)
    {
        DialogScript script;
        script.AnswerForm([&](QWidget&) {
            TFSoftOptions& o = *FSoftOptions;
            EXPECT_EQ(o.L_L[slot]->Caption(), expectedName);
            EXPECT_TRUE(o.I_L[0]->Visible()) << "English has its flag";
            if (const QString shots = qEnvironmentVariable("SHELL_SCREENSHOT_DIR"); !shots.isEmpty())
                EXPECT_TRUE(o.grab().save(QDir(shots).filePath("options-shipped-english.png")));
            DialogScript answers;
            answers.AnswerMessage(MessageAnswer::Yes);
            testsupport::Click(o.L_L[slot]);
            EXPECT_EQ(answers.Unanswered(), 0);
            testsupport::Click(o.Btn_OK);
        });
        FRorudizezFirmWare->Btn_Click(FRorudizezFirmWare->Btn_Opz);
        EXPECT_EQ(script.Unanswered(), 0);
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(BackToEnglish, OptionsListsEnglishAndLeadsBackToIt)
{
    const QStringList english = Built_In_Table();

    Choose(1, "Italiano");
    EXPECT_EQ(Language_Name, "Italiano");
    EXPECT_EQ(FRorudizezFirmWare->L_Begin->Caption(), "Inizio");
    EXPECT_EQ(FSoftOptions->Caption(), "Opzioni");

    Choose(0, "English");
    EXPECT_EQ(Language_Name, "English");
    EXPECT_EQ(Language_List, english);
    EXPECT_EQ(FRorudizezFirmWare->L_Begin->Caption(), "Begin");
    EXPECT_EQ(FSoftOptions->Caption(), "Software Options");
    EXPECT_TRUE(ReadAll(dir.filePath("Vudidid.xml")).contains("<language>English</language>"));
}
