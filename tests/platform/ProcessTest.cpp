#include "platform/Process.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace platform;

namespace {

// Polls like the update runner does: every 10 ms, for a bounded time.
std::optional<int> WaitForExit(ChildProcess& p, int maxMs = 5000)
{
    for (int waited = 0; waited < maxMs; waited += 10) {
        if (auto code = p.PollExitCode())
            return code;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
}

QString WriteScript(const QTemporaryDir& dir, const char* name, const QByteArray& body)
{
    const QString path = dir.filePath(name);
    testsupport::WriteAll(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

} // namespace

TEST(Process, SplitsArgumentTextLikeACommandLine)
{
    struct Case
    {
        const char* text;
        QStringList args;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"a b", {"a", "b"}},
        {"  a\t b  ", {"a", "b"}},
        {"\"C:/Program Files/x.sim\" 2", {"C:/Program Files/x.sim", "2"}},
        {"a\"b c\"d", {"ab cd"}},
        {"\"\"", {""}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"unterminated arg", {"unterminated arg"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitArguments(QString::fromLatin1(c.text)), c.args) << c.text;
}

TEST(Process, StartsWithoutAShellAndReportsTheExitCode)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("args.txt");
    const QString script = WriteScript(dir, "updater",
        QStringLiteral("printf '%s|' \"$@\" > '%1'\nsleep 0.2\nexit 7\n").arg(out).toUtf8());
    ChildProcess p;
    QString error;
    ASSERT_TRUE(p.Start(script, "COM3 \"file name.sim\" $HOME;echo", &error)) << error.toStdString();
    EXPECT_FALSE(p.PollExitCode().has_value()) << "still running";
    EXPECT_TRUE(p.IsRunning());
    EXPECT_EQ(WaitForExit(p), 7);
    EXPECT_FALSE(p.IsRunning());
    EXPECT_EQ(p.PollExitCode(), 7) << "the code stays readable";
    // No shell: the dollar sign and the semicolon reach the program as typed.
    EXPECT_EQ(testsupport::ReadAll(out), "COM3|file name.sim|$HOME;echo|");
}

TEST(Process, ASignalEndReportsAFailureCode)
{
    QTemporaryDir dir;
    ChildProcess p;
    ASSERT_TRUE(p.Start(WriteScript(dir, "crash", "kill -9 $$\n"), ""));
    EXPECT_EQ(WaitForExit(p), 128 + 9);
}

TEST(Process, AProgramThatCannotStartIsAnError)
{
    QTemporaryDir dir;
    ChildProcess p;
    QString error;
    EXPECT_FALSE(p.Start(dir.filePath("Ethernet_Update.exe"), "", &error));
    EXPECT_TRUE(error.contains("Ethernet_Update.exe"));
    EXPECT_FALSE(p.IsRunning());
    EXPECT_FALSE(p.PollExitCode().has_value());

    testsupport::WriteAll(dir.filePath("plain.txt"), "not a program");
    EXPECT_FALSE(p.Start(dir.filePath("plain.txt"), "", &error));
}

TEST(Process, OpeningNothingFails)
{
    QString error;
    EXPECT_FALSE(OpenWithDesktop("   ", &error));
    EXPECT_FALSE(error.isEmpty());
}
