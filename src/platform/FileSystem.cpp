#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool Fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

bool DirectoryExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool CreateFolder(const QString& path, QString* error)
{
    if (path.isEmpty())
        return Fail(error, QStringLiteral("Cannot create a folder without a name."));
    if (DirectoryExists(path))
        return Fail(error, QStringLiteral("The folder \"%1\" already exists.").arg(path));
    if (!QDir().mkdir(path))
        return Fail(error, QStringLiteral("Cannot create the folder \"%1\".").arg(path));
    return true;
}

bool ForceFolders(const QString& path, QString* error)
{
    if (path.isEmpty())
        return Fail(error, QStringLiteral("Cannot create a folder without a name."));
    if (DirectoryExists(path))
        return true;
    if (!QDir().mkpath(path))
        return Fail(error, QStringLiteral("Cannot create the folder \"%1\".").arg(path));
    return true;
}

bool CopyFileTo(const QString& from, const QString& to, bool failIfExists, QString* error)
{
    if (failIfExists && QFileInfo::exists(to))
        return Fail(error, QStringLiteral("The file \"%1\" already exists.").arg(to));
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return Fail(error, QStringLiteral("Cannot read \"%1\": %2").arg(from, source.errorString()));
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return Fail(error, QStringLiteral("Cannot read \"%1\": %2").arg(from, source.errorString()));
    return WriteFileAtomically(to, bytes, error);
}

bool DeleteFileAt(const QString& path, QString* error)
{
    if (!FileExists(path))
        return Fail(error, QStringLiteral("The file \"%1\" does not exist.").arg(path));
    QFile file(path);
    if (!file.remove())
        return Fail(error, QStringLiteral("Cannot delete \"%1\": %2").arg(path, file.errorString()));
    return true;
}

QStringList ListSubFolders(const QString& folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

QStringList ListFiles(const QString& folder, const QString& pattern)
{
    return QDir(folder).entryList(QStringList{pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    ForEachLine(text, [&](QStringView line) { lines.append(line.toString()); });
    return lines;
}

bool ReadTextFile(const QString& path, QString* text, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Fail(error, QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString()));
    if (text)
        *text = DecodeTextFile(bytes);
    return true;
}

bool ReadTextLines(const QString& path, QStringList* lines, QString* error)
{
    QString text;
    if (!ReadTextFile(path, &text, error))
        return false;
    if (lines)
        *lines = SplitLines(text);
    return true;
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    // Unbuffered, so a short write (a full disk) shows in write()'s count: a
    // buffered one is flushed at commit, which does not notice it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Fail(error, QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return Fail(error, QStringLiteral("Cannot write \"%1\": %2").arg(path, why));
    }
    if (!file.commit())
        return Fail(error, QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString()));
    return true;
}

namespace {

std::function<int(const QString&)>& File_Step_Probe()
{
    static std::function<int(const QString&)> probe;
    return probe;
}

// One step of WriteFilesTogether: 0 or the error number. The operation
// answers -1 on failure, as the system calls do.
template <class Operation>
int File_Step(const QString& name, Operation&& op)
{
    if (const auto& probe = File_Step_Probe())
        if (const int e = probe(name))
            return e;
    return op() == 0 ? 0 : errno;
}

QString Error_Text(int e) { return QString::fromLocal8Bit(std::strerror(e)); }

int Write_Whole(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return -1;
        }
        p += n;
        left -= n;
    }
    return 0;
}

void Sync_Folder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Whether the folder holds nothing but (some of) these names.
bool Holds_Only(const QByteArray& folder, const std::vector<QByteArray>& names)
{
    DIR* d = ::opendir(folder.constData());
    if (!d)
        return false;
    bool only = true;
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..")
            continue;
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            only = false;
            break;
        }
    }
    ::closedir(d);
    return only;
}

// A failed exchange that means "not here", not "failed".
bool Exchange_Unsupported(int e)
{
    return e == EINVAL || e == ENOSYS || e == EOPNOTSUPP || e == EPERM;
}

} // namespace

void SetFileStepProbe(std::function<int(const QString& step)> probe) { File_Step_Probe() = std::move(probe); }

bool WriteFilesTogether(const QString& folder, const std::vector<FileToWrite>& files, QString* error)
{
    const QString firstPath = JoinPath(folder, files.empty() ? QString() : files.front().name);
    char resolved[PATH_MAX];
    struct stat folderInfo {};
    // The real folder, so that a folder reached through a link is replaced where it lies.
    if (!DirectoryExists(folder) || !::realpath(QFile::encodeName(folder).constData(), resolved)
        || ::stat(resolved, &folderInfo) != 0)
        return Fail(error, QStringLiteral("Cannot write \"%1\": the folder \"%2\" does not exist.").arg(firstPath, folder));
    const QByteArray dir(resolved);
    const qsizetype slash = dir.lastIndexOf('/');
    const QByteArray parent = slash > 0 ? dir.left(slash) : QByteArray("/");
    std::vector<QByteArray> names;
    for (const FileToWrite& f : files) {
        names.push_back(QFile::encodeName(f.name));
        struct stat info {};
        if (::lstat((dir + '/' + names.back()).constData(), &info) == 0 && !S_ISREG(info.st_mode))
            return Fail(error, QStringLiteral("Cannot write \"%1\": it is not a file.")
                                   .arg(JoinPath(folder, f.name)));
    }

    // 1. The new files, whole and synced, in a folder of their own beside the old one.
    QByteArray fresh = parent + "/." + dir.mid(slash + 1) + ".new-XXXXXX";
    bool created = false;
    if (const int e = File_Step(QStringLiteral("create folder"), [&] {
            created = ::mkdtemp(fresh.data()) != nullptr;
            return created ? ::chmod(fresh.constData(), folderInfo.st_mode & 07777) : -1;
        })) {
        if (created)
            ::rmdir(fresh.constData());
        return Fail(error, QStringLiteral("Cannot write \"%1\": %2").arg(firstPath, Error_Text(e)));
    }
    auto in = [](const QByteArray& folderPath, const QByteArray& name) { return folderPath + '/' + name; };
    auto dropFresh = [&] {
        for (const QByteArray& n : names)
            ::unlink(in(fresh, n).constData());
        ::rmdir(fresh.constData());
    };
    for (size_t i = 0; i < files.size(); ++i) {
        int fd = -1;
        int e = File_Step(QStringLiteral("write ") + files[i].name, [&] {
            fd = ::open(in(fresh, names[i]).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            return fd < 0 ? -1 : Write_Whole(fd, files[i].bytes);
        });
        if (e == 0)
            e = File_Step(QStringLiteral("sync ") + files[i].name, [&] { return ::fsync(fd); });
        if (fd >= 0)
            ::close(fd);
        if (e != 0) {
            dropFresh();
            return Fail(error, QStringLiteral("Cannot write \"%1\": %2").arg(JoinPath(folder, files[i].name), Error_Text(e)));
        }
    }
    if (const int e = File_Step(QStringLiteral("sync folder"), [&] {
            const int fd = ::open(fresh.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            const int r = fd < 0 ? -1 : ::fsync(fd);
            if (fd >= 0)
                ::close(fd);
            return r;
        })) {
        dropFresh();
        return Fail(error, QStringLiteral("Cannot write \"%1\": %2").arg(firstPath, Error_Text(e)));
    }

    // 2. One atomic exchange of the two folders; the old files then go with the fresh name.
    if (Holds_Only(dir, names)) {
        const int e = File_Step(QStringLiteral("exchange"), [&] {
            return ::renameat2(AT_FDCWD, fresh.constData(), AT_FDCWD, dir.constData(), RENAME_EXCHANGE);
        });
        if (e == 0) {
            Sync_Folder(parent);
            if (File_Step(QStringLiteral("clean up"), [] { return 0; }) == 0)
                dropFresh();
            return true;
        }
        if (!Exchange_Unsupported(e)) {
            dropFresh();
            return Fail(error, QStringLiteral("Cannot replace \"%1\": %2").arg(firstPath, Error_Text(e)));
        }
    }

    // 3. Otherwise the old files are kept aside in the fresh folder until every new one is in place.
    auto aside = [&](const QByteArray& name) { return in(fresh, "old-" + name); };
    std::vector<size_t> movedAside, placed;
    auto undo = [&](int e, const QString& what) {
        bool restored = true;
        for (size_t i : placed)
            restored &= ::rename(in(dir, names[i]).constData(), in(fresh, names[i]).constData()) == 0;
        for (size_t i : movedAside)
            restored &= ::rename(aside(names[i]).constData(), in(dir, names[i]).constData()) == 0;
        QString text = QStringLiteral("Cannot replace \"%1\": %2").arg(what, Error_Text(e));
        if (restored)
            dropFresh();
        else
            text += QStringLiteral("\nThe old files could not all be put back; they are kept in \"%1\".")
                        .arg(QFile::decodeName(fresh));
        return Fail(error, text);
    };
    for (size_t i = 0; i < names.size(); ++i) {
        struct stat info {};
        if (::lstat(in(dir, names[i]).constData(), &info) != 0)
            continue;
        if (const int e = File_Step(QStringLiteral("aside ") + files[i].name, [&] {
                return ::rename(in(dir, names[i]).constData(), aside(names[i]).constData());
            }))
            return undo(e, JoinPath(folder, files[i].name));
        movedAside.push_back(i);
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (const int e = File_Step(QStringLiteral("place ") + files[i].name, [&] {
                return ::rename(in(fresh, names[i]).constData(), in(dir, names[i]).constData());
            }))
            return undo(e, JoinPath(folder, files[i].name));
        placed.push_back(i);
    }
    Sync_Folder(dir);
    for (size_t i : movedAside)
        ::unlink(aside(names[i]).constData());
    ::rmdir(fresh.constData());
    return true;
}

QString JoinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

} // namespace platform
