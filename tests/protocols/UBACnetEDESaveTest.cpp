// The EDE button's path: the save dialog, the ".csv" rule and the replace
// question (Yes, No, Cancel), where only Yes may touch an existing file.
#include "protocols/UBACnet_EDE_File.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include "platform/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

constexpr const char* kHeaderStart = "\r\nVERSION_OF_REFERENCEFILE;1.0;;;;;;\r\n";

class EDESave : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Load_English_Table();
        Project_Folder = dir.path();
        // No tables: the file is its header alone.
        FileName_ParGen = dir.filePath("ParGen.xml");
        FileName_BACnet_Slave_SetAccess = dir.filePath("BACnet_Slave_SetAccess.xml");
    }
    void TearDown() override
    {
        Project_Folder.clear();
        FileName_ParGen.clear();
        FileName_BACnet_Slave_SetAccess.clear();
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(EDESave, NameExtensionAndReplaceQuestion)
{
    struct Case
    {
        const char* chosen;                        // as the dialog hands it back; "" cancels
        const char* existing;                      // file already there, or nullptr
        std::optional<platform::MessageAnswer> answer;   // to the replace question, when asked
        const char* target;                        // the file that must hold the new text, or nullptr
        const char* why;
    };
    using A = platform::MessageAnswer;
    const Case cases[] = {
        {"plant", nullptr, std::nullopt, "plant.csv", "\".csv\" added, no question for a new file"},
        {"plant.CSV", nullptr, std::nullopt, "plant.CSV", "the extension in any case is kept"},
        {"plant.txt", nullptr, std::nullopt, "plant.txt.csv", "another extension gets \".csv\" behind it"},
        {"plant.csv", "plant.csv", A::Yes, "plant.csv", "Yes replaces the file"},
        {"plant", "plant.csv", A::No, nullptr, "No keeps the old file"},
        {"plant", "plant.csv", A::Cancel, nullptr, "Cancel keeps the old file"},
        {"", nullptr, std::nullopt, nullptr, "a cancelled dialog writes nothing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        QTemporaryDir out;
        ASSERT_TRUE(out.isValid());
        if (c.existing) {
            ASSERT_TRUE(WriteAll(out.filePath(c.existing), "keep"));
        }
        platform::DialogScript script;
        script.AnswerFile(*c.chosen ? out.filePath(c.chosen) : QString());
        if (c.answer)
            script.AnswerMessage(*c.answer);
        Save_EDE_File();

        const auto& shown = script.Shown();
        ASSERT_EQ(shown.size(), c.answer ? 2u : 1u);
        EXPECT_EQ(shown[0].type, platform::ShownDialog::Type::SaveFile);
        EXPECT_EQ(shown[0].request.filter, "CSV (MS-DOS) (*.csv)");
        EXPECT_EQ(shown[0].request.initialFolder, dir.path());
        if (c.answer) {
            EXPECT_EQ(shown[1].kind, platform::MessageKind::Confirmation);
            EXPECT_EQ(shown[1].buttons, platform::MessageButtons::YesNoCancel);
            EXPECT_EQ(shown[1].text, "File already exists! Do you want to overwrite the file?");
        }
        EXPECT_EQ(script.Unanswered(), 0);

        if (c.existing && !c.target) {
            EXPECT_EQ(ReadAll(out.filePath(c.existing)), "keep");
        }
        if (c.target) {
            EXPECT_TRUE(ReadAll(out.filePath(c.target)).startsWith(kHeaderStart));
        }
        // Nothing beside what the case expects.
        QStringList expected;
        for (const char* name : {c.existing, c.target})
            if (name && !expected.contains(name))
                expected << name;
        expected.sort();
        EXPECT_EQ(QDir(out.path()).entryList(QDir::Files, QDir::Name), expected);
    }
}
