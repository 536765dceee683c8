#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// An INI file held in memory: read whole when opened, written back whole by
// UpdateFile. Sections and keys compare without regard to case; other
// sections and keys stay as they were. A file that does not exist reads as
// empty. The file is Windows-1252 (a byte-order mark is honoured on reading),
// lines end in CR LF.
class TMemIniFile
{
public:
    explicit TMemIniFile(const QString& fileName);

    const QString& FileName() const { return FFileName; }

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    QString ReadString(const QString& section, const QString& key, const QString& fallback) const;
    // The fallback also when the value is no number (decimal, or hexadecimal
    // after "$" or "0x").
    int ReadInteger(const QString& section, const QString& key, int fallback) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);

    // Written to a temporary file beside the target and renamed over it, so a
    // failed write leaves the old file whole; raises std::runtime_error then.
    void UpdateFile() const;

    // The bytes UpdateFile writes.
    QByteArray Bytes() const;

private:
    // Index of the "[section]" line, -1 when missing.
    qsizetype FindSection(const QString& section) const;
    // Index of the key's line within the section, -1 when missing.
    qsizetype FindKey(qsizetype sectionLine, const QString& key) const;

    QString FFileName;
    QStringList FLines;
};

} // namespace platform
