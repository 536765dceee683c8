#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace platform {

// Files and folders. Every operation reports failure through its result and,
// when asked, a message fit for an error box; none of them throws.

bool DirectoryExists(const QString& path);
bool FileExists(const QString& path);

// Creates one folder; its parent must exist.
bool CreateFolder(const QString& path, QString* error = nullptr);
// Creates a folder and every missing parent.
bool ForceFolders(const QString& path, QString* error = nullptr);

// Copies a file, replacing the target unless failIfExists; the target is
// never left half-written.
bool CopyFileTo(const QString& from, const QString& to, bool failIfExists, QString* error = nullptr);
bool DeleteFileAt(const QString& path, QString* error = nullptr);

// Names (not paths) in a folder, sorted. Patterns use "*" and "?" and ignore
// letter case, as the users of this program expect from their file lists.
QStringList ListSubFolders(const QString& folder);
QStringList ListFiles(const QString& folder, const QString& pattern = QStringLiteral("*"));

// Reads a text file as lines: UTF-8 or UTF-16 when the file starts with a
// byte-order mark, otherwise Windows-1252. CR, LF and CR LF end a line.
bool ReadTextLines(const QString& path, QStringList* lines, QString* error = nullptr);
QStringList SplitLines(const QString& text);

// Writes the whole buffer to a temporary file beside the target and renames it
// over the target, so a failed write leaves the old file as it was.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Files that only make sense together: each is written whole to a temporary
// file beside it first, and the targets are replaced, in the order given, only
// when every one is whole. When a replacement fails, the targets already
// replaced are removed, so no new file stays beside an old partner.
struct FileToWrite
{
    QString path;
    QByteArray bytes;
};
bool WriteFilesTogether(const std::vector<FileToWrite>& files, QString* error = nullptr);

// Joins a folder and a name with the platform's separator.
QString JoinPath(const QString& folder, const QString& name);

} // namespace platform
