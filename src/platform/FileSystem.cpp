#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

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
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool ReadTextLines(const QString& path, QStringList* lines, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Fail(error, QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString()));
    if (lines)
        *lines = SplitLines(DecodeTextFile(bytes));
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

bool WriteFilesTogether(const std::vector<FileToWrite>& files, QString* error)
{
    std::vector<QString> temps;
    auto dropTemps = [&] {
        for (const QString& t : temps)
            QFile::remove(t);
    };
    for (const FileToWrite& f : files) {
        temps.push_back(f.path + QStringLiteral(".tmp"));
        QFile file(temps.back());
        // Unbuffered, so that a short write shows in write()'s count.
        const bool whole = file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)
                           && file.write(f.bytes) == f.bytes.size() && file.flush();
        if (!whole) {
            const QString why = file.errorString();
            file.close();
            dropTemps();
            return Fail(error, QStringLiteral("Cannot write \"%1\": %2").arg(f.path, why));
        }
        file.close();
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (std::rename(QFile::encodeName(temps[i]).constData(), QFile::encodeName(files[i].path).constData()) != 0) {
            const QString why = QString::fromLocal8Bit(std::strerror(errno));
            dropTemps();
            for (size_t k = 0; k < i; ++k)
                QFile::remove(files[k].path);
            return Fail(error, QStringLiteral("Cannot replace \"%1\": %2").arg(files[i].path, why));
        }
    }
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
