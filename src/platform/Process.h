#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

namespace platform {

// Opens a link or a document with the desktop's handler.
bool OpenWithDesktop(const QString& linkOrPath, QString* error = nullptr);

// Splits an argument text as a command line does: blanks separate arguments,
// double quotes group them, and a doubled quote inside quotes is one quote.
QStringList SplitArguments(const QString& argumentText);

// A program started directly (no shell) whose end is polled. It runs in its
// own folder (the folder of the program file), where it finds what was laid
// beside it, not in the caller's working folder.
class ChildProcess
{
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Start(const QString& program, const QString& argumentText, QString* error = nullptr);
    bool IsRunning();
    // The exit code once the program has ended; nothing while it runs. A
    // program ended by a signal reports 128 plus the signal number.
    std::optional<int> PollExitCode();

private:
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

} // namespace platform
