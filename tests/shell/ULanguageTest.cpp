#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kPilcrow = QString(QChar(0x00B6));

// Every case starts from the built-in table; entry 12 has a known English text.
class LanguageFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Language_Folder = dir.path();
        Language_Name = "English";
        Load_English_Table();
        english = Language_List;
    }
    void Apply(const QByteArray& bytes)
    {
        ASSERT_TRUE(testsupport::WriteAll(dir.filePath("Test.lng"), bytes));
        Load_English_Table();
        ASSERT_TRUE(Read_Lng_File(dir.filePath("Test.lng")));
    }
    QTemporaryDir dir;
    QStringList english;
};

} // namespace

TEST_F(LanguageFile, TheBuiltInTableHasEveryEntry)
{
    EXPECT_EQ(Language_Count, 6300);
    EXPECT_EQ(Language_List.size(), 6300);
    EXPECT_EQ(Language_List[18], "Error! Project not Valid");
    EXPECT_EQ(Language_List[9], "None Configuration Opened ");
    EXPECT_EQ(Language_List[33], "Scan && Decode");
    EXPECT_EQ(Language_List[2592], "");
    EXPECT_EQ(Language_List[99], " ");
}

TEST_F(LanguageFile, LineGrammar)
{
    struct Case
    {
        const char* line;     // UTF-8; "~" stands for the pilcrow
        int entry;            // the entry that changes, -1 for none
        const char* text;
    };
    const Case cases[] = {
        {"STR12 = Hello", 12, "Hello"},
        {"   STR12   =   Hello   ", 12, "Hello"},
        {"\tSTR12 = Hello\t", 12, "Hello"},
        {"str12 = Hello", -1, ""},
        {"STR12=Hello", 1, "Hello"},           // the character before "=" is not part of the number
        {"STR6300 = x", -1, ""},
        {"STR-1 = x", -1, ""},
        {"STRx = y", -1, ""},
        {"STR12 Hello", -1, ""},
        {"STR = x", -1, ""},
        {"STR=x", -1, ""},
        {"STR6299 = x", 6299, "x"},
        {"STR$C = hex", 12, "hex"},
        {"STR 12 = spaced", 12, "spaced"},
        {"STR12 = a = b", 12, "a = b"},
        {"STR12 = Hello /#/ greeting", 12, "Hello"},
        {"STR12 = /#/ greeting", -1, ""},
        {"STR12 =", -1, ""},
        {"STR12 =    ", -1, ""},
        {"STR12 = ~ Hello ~", 12, " Hello "},
        {"STR12 = Hello~World", 12, "Hello"},
        {"STR12 = ~~", 12, ""},
        {"STR12 = ~", 12, ""},
        {"STR12 = ~a /#/ b~", 12, "a"},        // the comment is cut before the quoting
        {"; STR12 = comment line", -1, ""},
        {"[Heading]", -1, ""},
    };
    for (const Case& c : cases) {
        QString line = QString::fromUtf8(c.line).replace(u'~', kPilcrow);
        Apply(line.toUtf8().prepend("\xEF\xBB\xBF"));
        for (int n = 0; n < Language_Count; ++n) {
            if (n == c.entry)
                EXPECT_EQ(Language_List[n], QString::fromUtf8(c.text)) << c.line;
            else if (Language_List[n] != english[n])
                ADD_FAILURE() << c.line << ": entry " << n << " changed";
        }
    }
}

TEST_F(LanguageFile, LaterLinesWinAndBadLinesChangeOnlyThemselves)
{
    Apply("STR12 = first\r\nSTR13 = =\r\ngarbage\r\nSTR14 =\r\nSTR12 = second\n");
    EXPECT_EQ(Language_List[12], "second");
    EXPECT_EQ(Language_List[13], "=");
    EXPECT_EQ(Language_List[14], english[14]);
}

TEST_F(LanguageFile, EncodingsFollowTheByteOrderMark)
{
    Apply("\xEF\xBB\xBFSTR12 = Gr\xC3\xBC\xC3\x9F\xE2\x82\xAC");
    EXPECT_EQ(Language_List[12], QString::fromUtf8("Gr\xC3\xBC\xC3\x9F\xE2\x82\xAC"));
    // Without the mark the same bytes are read in the 8-bit code page.
    Apply("STR12 = Gr\xC3\xBC");
    EXPECT_EQ(Language_List[12], QString::fromUtf8("Gr\xC3\x83\xC2\xBC"));
    Apply("STR12 = \xB6 Gr\xFC\xDF \xB6");
    EXPECT_EQ(Language_List[12], QString::fromUtf8(" Gr\xC3\xBC\xC3\x9F "));
}

TEST_F(LanguageFile, LoadLanguageFallsBackToEnglish)
{
    struct Case
    {
        const char* chosen;
        bool chosenExists;
        bool englishExists;
        const char* nameAfter;
        const char* entry12;   // nullptr: the built-in text
    };
    const Case cases[] = {
        {"Italiano", true, true, "Italiano", "Ciao"},
        {"Italiano", false, true, "English", "Hello file"},
        {"Italiano", false, false, "English", nullptr},
        {"", false, false, "English", nullptr},
        {"English", false, false, "English", nullptr},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        Language_Folder = folder.path();
        if (c.chosenExists)
            testsupport::WriteAll(folder.filePath(QString::fromLatin1(c.chosen) + ".lng"), "STR12 = Ciao");
        if (c.englishExists)
            testsupport::WriteAll(folder.filePath("English.lng"), "STR12 = Hello file");
        Language_Name = QString::fromLatin1(c.chosen);
        Load_Language();
        EXPECT_EQ(Language_Name, QString::fromLatin1(c.nameAfter)) << c.chosen;
        EXPECT_EQ(Language_List[12], c.entry12 ? QString::fromLatin1(c.entry12) : english[12]) << c.chosen;
        EXPECT_EQ(Language_List.size(), 6300);
    }
}

TEST_F(LanguageFile, ANewLanguageKeepsNothingOfTheLastOne)
{
    testsupport::WriteAll(dir.filePath("A.lng"), "STR12 = from A\nSTR13 = only A");
    testsupport::WriteAll(dir.filePath("B.lng"), "STR12 = from B");
    Language_Name = "A";
    Load_Language();
    EXPECT_EQ(Language_List[13], "only A");
    Language_Name = "B";
    Load_Language();
    EXPECT_EQ(Language_List[12], "from B");
    EXPECT_EQ(Language_List[13], english[13]);
}
