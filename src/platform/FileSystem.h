#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
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
// The same file as one text, for readers that walk its lines in place.
bool ReadTextFile(const QString& path, QString* text, QString* error = nullptr);

// Calls line(view) for every line of text, without copying: a line ends at
// CR LF, CR or LF; what follows the last line end is a line when not empty.
template <typename Line>
void ForEachLine(QStringView text, Line&& line)
{
    const QChar* const data = text.data();
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = data[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        line(QStringView(data + start, i - start));
        if (c == u'\r' && i + 1 < n && data[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        line(QStringView(data + start, n - start));
}

// Writes the whole buffer to a temporary file beside the target and renames it
// over the target, so a failed write leaves the old file as it was.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Files of one folder that only make sense together (say, two halves of one
// image). After a failure, and after a crash at any moment, the folder holds
// either all its old files or all the new ones, never a mix and never one
// alone. The new files are written and synced in a fresh folder beside it,
// which then takes the folder's place in one atomic exchange; where the file
// system cannot exchange folders (or the folder holds anything but these
// files), the old files are kept aside and put back when a replacement fails,
// which covers failures but not a crash between the renames. Temporary names
// are made unique by the system, so they never take a file of the user's.
struct FileToWrite
{
    QString name;    // within the folder
    QByteArray bytes;
};
bool WriteFilesTogether(const QString& folder, const std::vector<FileToWrite>& files, QString* error = nullptr);

// For tests of WriteFilesTogether: called before each of its steps with the
// step's name ("write bank1.bin", "exchange", ...). An answer other than 0
// makes that step fail with it as the error number. Empty: no probe.
void SetFileStepProbe(std::function<int(const QString& step)> probe);

// Joins a folder and a name with the platform's separator.
QString JoinPath(const QString& folder, const QString& name);

} // namespace platform
