#include "platform/Process.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace platform {

bool OpenWithDesktop(const QString& linkOrPath, QString* error)
{
    const QString trimmed = linkOrPath.trimmed();
    if (trimmed.isEmpty()) {
        if (error)
            *error = QStringLiteral("Nothing to open.");
        return false;
    }
    const QUrl url = QFileInfo::exists(trimmed) ? QUrl::fromLocalFile(trimmed)
                                                : QUrl::fromUserInput(trimmed);
    if (!url.isValid() || !QDesktopServices::openUrl(url)) {
        if (error)
            *error = QStringLiteral("Cannot open \"%1\".").arg(trimmed);
        return false;
    }
    return true;
}

QStringList SplitArguments(const QString& argumentText)
{
    QStringList args;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < argumentText.size(); ++i) {
        const QChar c = argumentText[i];
        if (c == u'"') {
            if (quoted && i + 1 < argumentText.size() && argumentText[i + 1] == u'"') {
                current += u'"';
                ++i;
            } else {
                quoted = !quoted;
            }
            inArgument = true;
        } else if (!quoted && (c == u' ' || c == u'\t')) {
            if (inArgument)
                args.append(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        args.append(current);
    return args;
}

ChildProcess::~ChildProcess()
{
    // Reap a program that has already ended; one still running is left to run,
    // as the platform does with a started program.
    if (pid_ > 0 && !exitCode_)
        PollExitCode();
}

bool ChildProcess::Start(const QString& program, const QString& argumentText, QString* error)
{
    if (pid_ > 0 && !exitCode_ && IsRunning()) {
        if (error)
            *error = QStringLiteral("A program is still running.");
        return false;
    }
    pid_ = -1;
    exitCode_.reset();

    // Absolute, since the program runs in its own folder, where it finds the
    // files laid beside it (an updater its job), whatever our working folder.
    const QFileInfo info(program);
    const QByteArray path = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    std::vector<QByteArray> storage;
    storage.push_back(path);
    for (const QString& a : SplitArguments(argumentText))
        storage.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.constData());
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, path.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        if (error)
            *error = QStringLiteral("Cannot start \"%1\": %2").arg(program, QString::fromLocal8Bit(strerror(rc)));
        return false;
    }
    pid_ = pid;
    return true;
}

bool ChildProcess::IsRunning()
{
    return pid_ > 0 && !PollExitCode().has_value();
}

std::optional<int> ChildProcess::PollExitCode()
{
    if (exitCode_ || pid_ <= 0)
        return exitCode_;
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == 0)
        return std::nullopt;
    if (r < 0) {
        // Someone else reaped it; its code is lost.
        exitCode_ = -1;
    } else if (WIFEXITED(status)) {
        exitCode_ = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        exitCode_ = 128 + WTERMSIG(status);
    } else {
        return std::nullopt;
    }
    return exitCode_;
}

} // namespace platform
