#include "platform/IniFile.h"

#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/TextCodec.h"

#include <stdexcept>

namespace platform {

namespace {

bool IsSectionLine(const QString& trimmed)
{
    return trimmed.startsWith(u'[') && trimmed.endsWith(u']');
}

QString SectionName(const QString& trimmed)
{
    return trimmed.mid(1, trimmed.size() - 2).trimmed();
}

} // namespace

TMemIniFile::TMemIniFile(const QString& fileName) : FFileName(fileName)
{
    if (FileExists(fileName))
        ReadTextLines(fileName, &FLines);
}

qsizetype TMemIniFile::FindSection(const QString& section) const
{
    for (qsizetype i = 0; i < FLines.size(); ++i) {
        const QString line = FLines[i].trimmed();
        if (IsSectionLine(line) && SectionName(line).compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

qsizetype TMemIniFile::FindKey(qsizetype sectionLine, const QString& key) const
{
    for (qsizetype i = sectionLine + 1; i < FLines.size(); ++i) {
        const QString line = FLines[i].trimmed();
        if (IsSectionLine(line))
            break;
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool TMemIniFile::SectionExists(const QString& section) const
{
    return FindSection(section) >= 0;
}

bool TMemIniFile::ValueExists(const QString& section, const QString& key) const
{
    const qsizetype s = FindSection(section);
    return s >= 0 && FindKey(s, key) >= 0;
}

QString TMemIniFile::ReadString(const QString& section, const QString& key, const QString& fallback) const
{
    const qsizetype s = FindSection(section);
    const qsizetype k = s < 0 ? -1 : FindKey(s, key);
    if (k < 0)
        return fallback;
    const QString line = FLines[k].trimmed();
    return line.mid(line.indexOf(u'=') + 1).trimmed();
}

int TMemIniFile::ReadInteger(const QString& section, const QString& key, int fallback) const
{
    return NumberOr(ReadString(section, key, QString()), fallback);
}

void TMemIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    const QString entry = key + u'=' + value;
    const qsizetype s = FindSection(section);
    if (s < 0) {
        FLines.append(u'[' + section + u']');
        FLines.append(entry);
        return;
    }
    const qsizetype k = FindKey(s, key);
    if (k >= 0) {
        FLines[k] = entry;
        return;
    }
    // Behind the section's last entry, before the blank lines that part it
    // from the next section.
    qsizetype end = s + 1;
    while (end < FLines.size() && !IsSectionLine(FLines[end].trimmed()))
        ++end;
    while (end > s + 1 && FLines[end - 1].trimmed().isEmpty())
        --end;
    FLines.insert(end, entry);
}

void TMemIniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

QByteArray TMemIniFile::Bytes() const
{
    QString text;
    for (const QString& line : FLines)
        text += line + QStringLiteral("\r\n");
    return EncodeWindows1252(text);
}

void TMemIniFile::UpdateFile() const
{
    QString error;
    if (!WriteFileAtomically(FFileName, Bytes(), &error))
        throw std::runtime_error(error.toStdString());
}

} // namespace platform
