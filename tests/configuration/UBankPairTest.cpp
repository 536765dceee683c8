// The image pair in "bin" is replaced as one: after a failure at any step,
// and after a crash between any two steps, "bin" holds the old pair or the
// new pair, never a mix and never one alone, and no file of the user's is
// taken by a temporary name. Failures are injected through the file-step
// probe; a crash is a child process ending itself (_exit) at a step.
#include "configuration/USaveBincc.h"

#include "shell/UComon.h"
#include "support/TestSupport.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

const QByteArray kOld1 = "old bank 1";
const QByteArray kOld2 = "old bank 2";

class BankPair : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Project_Folder = dir.path();
        // No project file: the reset images, which differ from the old pair.
        FileName_ParGen = dir.filePath("ParGen.xml");
        FileName_M_Bus = dir.filePath("M_Bus.xml");
        FileName_LoRaWAN_SetAccess = dir.filePath("LoRaWAN_SetAccess.xml");
        QString error;
        ASSERT_TRUE(Compile_Device_Image(&error)) << error.toStdString();
        newBank1 = Bank1_Bytes();
        newBank2 = Bank2_Bytes();
        Put_Old_Pair();
    }
    void TearDown() override
    {
        SetFileStepProbe({});
        Project_Folder.clear();
        FileName_ParGen.clear();
        FileName_M_Bus.clear();
        FileName_LoRaWAN_SetAccess.clear();
    }

    QString Bin(const QString& name = {}) const { return dir.filePath("bin/" + name); }
    void Put_Old_Pair()
    {
        QDir(Bin()).removeRecursively();
        ASSERT_TRUE(QDir(dir.path()).mkdir("bin"));
        ASSERT_TRUE(WriteAll(Bin("bank1.bin"), kOld1));
        ASSERT_TRUE(WriteAll(Bin("bank2.bin"), kOld2));
    }
    // Everything in "bin", hidden names too, and what stands beside it.
    QStringList In_Bin() const { return QDir(Bin()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }
    QStringList In_Project() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    enum class Pair { Old, New, Other };
    Pair Pair_In_Bin() const
    {
        if (In_Bin() != QStringList({"bank1.bin", "bank2.bin"}))
            return Pair::Other;
        const QByteArray b1 = ReadAll(Bin("bank1.bin")), b2 = ReadAll(Bin("bank2.bin"));
        if (b1 == kOld1 && b2 == kOld2)
            return Pair::Old;
        if (b1 == newBank1 && b2 == newBank2)
            return Pair::New;
        return Pair::Other;
    }
    // The names of the steps of one write that succeeds, in order.
    QStringList Steps(int forceAnswer = 0, const QString& forcedStep = {})
    {
        QStringList steps;
        SetFileStepProbe([&](const QString& step) {
            steps << step;
            return step == forcedStep ? forceAnswer : 0;
        });
        QString error;
        Save_Bank_Files(&error);
        SetFileStepProbe({});
        return steps;
    }

    QTemporaryDir dir;
    QByteArray newBank1, newBank2;
};

TEST_F(BankPair, OneAtomicExchangeOfFoldersReplacesThePair)
{
    const QStringList steps = Steps();
    EXPECT_EQ(steps, QStringList({"create folder", "write bank2.bin", "sync bank2.bin", "write bank1.bin",
                                  "sync bank1.bin", "sync folder", "exchange", "clean up"}));
    EXPECT_EQ(Pair_In_Bin(), Pair::New);
    EXPECT_EQ(In_Project(), QStringList{"bin"}) << "nothing left beside it";
}

// A failure at every step of both ways of replacing: the old pair stays
// whole; after the pair has been exchanged, the new one stays.
TEST_F(BankPair, AFailureAtAnyStepLeavesTheOldPairOrTheNewOne)
{
    struct Way
    {
        const char* why;
        int exchange;          // what the exchange answers: 0 works, EINVAL is unsupported
        QStringList steps;
    };
    Put_Old_Pair();
    const QStringList exchangeSteps = Steps();
    Put_Old_Pair();
    const QStringList asideSteps = Steps(EINVAL, "exchange");
    EXPECT_EQ(asideSteps.mid(6), QStringList({"exchange", "aside bank2.bin", "aside bank1.bin", "place bank2.bin",
                                              "place bank1.bin"}));
    EXPECT_EQ(Pair_In_Bin(), Pair::New) << "a file system that cannot exchange folders";
    EXPECT_EQ(In_Project(), QStringList{"bin"});

    for (const Way& way : {Way{"exchange", 0, exchangeSteps}, Way{"kept aside", EINVAL, asideSteps}}) {
        for (const QString& failing : way.steps) {
            if (way.exchange != 0 && failing == "exchange")
                continue;
            SCOPED_TRACE(std::string(way.why) + ": " + failing.toStdString());
            Put_Old_Pair();
            SetFileStepProbe([&](const QString& step) {
                if (step == failing)
                    return EIO;
                return step == "exchange" ? way.exchange : 0;
            });
            QString error;
            const bool written = Save_Bank_Files(&error);
            SetFileStepProbe({});
            if (failing == "clean up") {
                // Past the exchange: the new pair is in place; the old one stays in
                // the program's own folder beside "bin".
                EXPECT_TRUE(written);
                EXPECT_EQ(Pair_In_Bin(), Pair::New);
                for (const QString& name : In_Project())
                    if (name != "bin") {
                        EXPECT_TRUE(name.startsWith(".bin.new-")) << name.toStdString();
                        QDir(dir.filePath(name)).removeRecursively();
                    }
                continue;
            }
            EXPECT_FALSE(written);
            EXPECT_TRUE(error.contains("bank")) << error.toStdString();
            EXPECT_EQ(Pair_In_Bin(), Pair::Old);
            EXPECT_EQ(In_Project(), QStringList{"bin"}) << "nothing left beside it";
        }
    }

    // Without an old pair a failure leaves none, not one alone.
    for (const QString& failing : {QString("write bank1.bin"), QString("exchange")}) {
        QDir(Bin()).removeRecursively();
        ASSERT_TRUE(QDir(dir.path()).mkdir("bin"));
        SetFileStepProbe([&](const QString& step) { return step == failing ? EIO : 0; });
        QString error;
        EXPECT_FALSE(Save_Bank_Files(&error));
        SetFileStepProbe({});
        EXPECT_TRUE(In_Bin().isEmpty()) << failing.toStdString();
    }
}

// A crash between any two steps: a child process writes the pair and ends
// itself at step k, before the step runs.
TEST_F(BankPair, ACrashBetweenAnyTwoStepsLeavesTheOldPairOrTheNewOne)
{
    Put_Old_Pair();
    const QStringList steps = Steps();
    const int commit = static_cast<int>(steps.indexOf("exchange"));
    ASSERT_GT(commit, 0);
    for (int k = 0; k <= steps.size(); ++k) {
        SCOPED_TRACE(k < steps.size() ? steps[k].toStdString() : std::string("after the last step"));
        Put_Old_Pair();
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int n = 0;
            SetFileStepProbe([&](const QString&) {
                if (n++ == k)
                    _exit(0);
                return 0;
            });
            QString error;
            Save_Bank_Files(&error);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(Pair_In_Bin(), k <= commit ? Pair::Old : Pair::New);
        // What a crash leaves beside "bin" is a folder of the program's own, never a user's name.
        for (const QString& name : In_Project())
            if (name != "bin") {
                EXPECT_TRUE(name.startsWith(".bin.new-")) << name.toStdString();
                QDir(dir.filePath(name)).removeRecursively();
            }
    }
}

// Files of the user's in "bin" and beside it, even under the names the
// program once used for its temporary files, stay as they were; "bin" keeps
// its permissions and, when it is a link, stays a link.
TEST_F(BankPair, TheUsersFilesAndTheFolderItselfAreKept)
{
    const QStringList userFiles = {"bank1.bin.tmp", "bank2.bin.tmp", "notes.txt"};
    ASSERT_TRUE(WriteAll(dir.filePath(".bin.new-000000"), "mine"));
    for (bool fail : {false, true}) {
        SCOPED_TRACE(fail ? "a replacement fails" : "all goes well");
        Put_Old_Pair();
        for (const QString& f : userFiles)
            ASSERT_TRUE(WriteAll(Bin(f), f.toUtf8()));
        ASSERT_EQ(chmod(QFile::encodeName(Bin()).constData(), 0750), 0);
        SetFileStepProbe([&](const QString& step) { return fail && step == "place bank1.bin" ? EIO : 0; });
        QString error;
        EXPECT_EQ(Save_Bank_Files(&error), !fail) << error.toStdString();
        SetFileStepProbe({});
        for (const QString& f : userFiles)
            EXPECT_EQ(ReadAll(Bin(f)), f.toUtf8()) << f.toStdString();
        EXPECT_EQ(ReadAll(Bin("bank1.bin")), fail ? kOld1 : newBank1);
        EXPECT_EQ(ReadAll(Bin("bank2.bin")), fail ? kOld2 : newBank2);
        EXPECT_EQ(In_Bin().size(), 5);
        EXPECT_EQ(ReadAll(dir.filePath(".bin.new-000000")), "mine");
        EXPECT_EQ(In_Project(), QStringList({".bin.new-000000", "bin"}));
    }

    // Permissions of "bin" survive the exchange.
    Put_Old_Pair();
    ASSERT_EQ(chmod(QFile::encodeName(Bin()).constData(), 0750), 0);
    QString error;
    ASSERT_TRUE(Save_Bank_Files(&error)) << error.toStdString();
    struct stat info {};
    ASSERT_EQ(stat(QFile::encodeName(Bin()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0750u);

    // A "bin" that is a link to a folder elsewhere stays a link; the folder it names gets the pair.
    QDir(Bin()).removeRecursively();
    ASSERT_TRUE(QDir(dir.path()).mkpath("elsewhere/images"));
    ASSERT_TRUE(QFile::link(dir.filePath("elsewhere/images"), Bin().chopped(1)));
    ASSERT_TRUE(Save_Bank_Files(&error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(Bin().chopped(1)).isSymLink());
    EXPECT_EQ(ReadAll(dir.filePath("elsewhere/images/bank1.bin")), newBank1);
    EXPECT_EQ(ReadAll(dir.filePath("elsewhere/images/bank2.bin")), newBank2);
}

// What cannot be replaced is said, and nothing changes.
TEST_F(BankPair, WhatCannotBeReplacedIsSaid)
{
    // A folder where an image belongs.
    ASSERT_TRUE(QFile::remove(Bin("bank1.bin")));
    ASSERT_TRUE(QDir(Bin()).mkpath("bank1.bin/x"));
    QString error;
    EXPECT_FALSE(Save_Bank_Files(&error));
    EXPECT_TRUE(error.contains("bank1.bin")) << error.toStdString();
    EXPECT_EQ(ReadAll(Bin("bank2.bin")), kOld2);
    EXPECT_TRUE(QFileInfo(Bin("bank1.bin/x")).isDir());
    EXPECT_EQ(In_Project(), QStringList{"bin"});

    // No folder "bin".
    ASSERT_TRUE(QDir(Bin()).removeRecursively());
    EXPECT_FALSE(Save_Bank_Files(&error));
    EXPECT_TRUE(error.contains("bank2.bin")) << error.toStdString();
    EXPECT_TRUE(In_Project().isEmpty());
}

} // namespace
