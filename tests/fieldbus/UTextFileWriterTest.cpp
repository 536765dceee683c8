// The description files' common writer: bytes per encoding, the extension
// fix-up and the overwrite question.
#include "rules/UText_File_Writer.h"

#include "platform/Dialogs.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::ReadAll;
using testsupport::WriteAll;

TEST(TextFileWriter, BytesPerFormat)
{
    struct Case
    {
        QStringList lines;
        TText_File_Format format;
        QByteArray expected;
        const char* why;
    };
    const Case cases[] = {
        {{"a", "", "b"}, Text_Format_8Bit, "a\r\n\r\nb\r\n", "CR LF after every line, the last and empty ones too"},
        {{}, Text_Format_8Bit, "", "nothing at all for no lines"},
        {{QString::fromUtf8("\xC3\xA9\xE2\x82\xAC")}, Text_Format_8Bit, "\xE9\x80\r\n",
         "e-acute and the euro sign in the code page"},
        {{QString::fromUtf8("\xE2\x84\xA6")}, Text_Format_8Bit, "?\r\n", "outside the code page"},
        {{QString::fromUtf8("\xC3\xA9")}, Text_Format_Utf8_Bom, "\xEF\xBB\xBF\xC3\xA9\r\n", "UTF-8 after its mark"},
        {{}, Text_Format_Utf8_Bom, "\xEF\xBB\xBF", "the mark even for no lines"},
        {{"x"}, TText_File_Format{TText_Encoding::Utf8, false}, "x\r\n", "UTF-8 without the mark"},
        {{"x"}, TText_File_Format{TText_Encoding::Windows1252, true}, "x\r\n", "an 8-bit file has no mark"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text_File_Bytes(c.lines, c.format), c.expected) << c.why;
}

TEST(TextFileWriter, ExtensionFixUp)
{
    const struct
    {
        const char* chosen;
        const char* expected;
    } cases[] = {
        {"dev.gsd", "dev.gsd"},
        {"DEV.GSD", "DEV.GSD"},          // upper case is kept
        {"dev", "dev.gsd"},
        {"dev.gsd.txt", "dev.gsd.txt.gsd"},  // ".gsd" not at the end
        {"dev.gsd.gsd", "dev.gsd.gsd"},  // ends so: no third one
        {"dev.gs", "dev.gs.gsd"},
        {"/a.gsd/dev", "/a.gsd/dev.gsd"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(With_File_Extension(c.chosen, ".gsd"), c.expected) << c.chosen;
}

TEST(TextFileWriter, NothingOverwrittenWithoutTheQuestion)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("dev.gsd");
    const QString question = "File already exists! Do you want to overwrite the file?";
    {
        platform::DialogScript script;
        EXPECT_TRUE(Confirm_Overwrite(path, question));
        EXPECT_TRUE(script.Shown().empty()) << "no question for a new file";
    }
    ASSERT_TRUE(WriteAll(path, "old"));
    for (const auto answer : {platform::MessageAnswer::No, platform::MessageAnswer::Yes}) {
        platform::DialogScript script;
        script.AnswerMessage(answer);
        EXPECT_EQ(Confirm_Overwrite(path, question), answer == platform::MessageAnswer::Yes);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, question);
        EXPECT_EQ(script.Shown()[0].buttons, platform::MessageButtons::YesNo);
    }
    EXPECT_EQ(ReadAll(path), "old");
}

TEST(TextFileWriter, SaveReplacesWholeOrReportsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("dev.gsd");
    ASSERT_TRUE(WriteAll(path, "a much longer old content"));
    {
        platform::DialogScript script;
        EXPECT_TRUE(Save_Text_File(path, {"new"}, Text_Format_8Bit));
        EXPECT_TRUE(script.Shown().empty()) << "success is not reported";
    }
    EXPECT_EQ(ReadAll(path), "new\r\n");

    // A target that is a folder cannot be written: the error box tells why.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.gsd"));
    platform::DialogScript script;
    EXPECT_FALSE(Save_Text_File(dir.filePath("folder.gsd"), {"x"}, Text_Format_8Bit));
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].kind, platform::MessageKind::Error);
    EXPECT_TRUE(script.Shown()[0].text.contains("folder.gsd")) << script.Shown()[0].text.toStdString();
    EXPECT_EQ(ReadAll(path), "new\r\n");
}
