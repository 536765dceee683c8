#include "shell/ULanguage.h"
#include "shell/UComon.h"
#include "shell/ULanguage_English.h"

#include "platform/FileSystem.h"
#include "platform/NumberText.h"

QStringList Language_List;
int Language_Count = 0;

namespace {

// Blanks and control characters, as the file format trims them.
QStringView Trim(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b].unicode() <= 32)
        ++b;
    while (e > b && s[e - 1].unicode() <= 32)
        --e;
    return s.mid(b, e - b);
}

const QChar kPilcrow(0x00B6);

// The line parsed in place; only the text it sets is copied.
bool Parse_Line(QStringView rawLine, int count, Lng_Line* out)
{
    const QStringView line = Trim(rawLine);
    if (!line.startsWith(QLatin1String("STR")))
        return false;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return false;
    // The character just before "=" (a blank in the format) is not part of the number.
    const qsizetype numberLength = eq - 1 - 3;
    if (numberLength <= 0)
        return false;
    const auto number = platform::ParseNumber(Trim(line.mid(3, numberLength)).toString());
    if (!number || *number < 0 || *number >= count)
        return false;

    QStringView text = Trim(line.mid(eq + 1));
    if (text.isEmpty())
        return false;
    if (const qsizetype comment = text.indexOf(QLatin1String("/#/")); comment >= 0) {
        text = Trim(text.left(comment));
        if (text.isEmpty())
            return false;
    }
    if (text.startsWith(kPilcrow))
        text = text.mid(1);
    if (const qsizetype end = text.indexOf(kPilcrow); end >= 0)
        text = text.left(end);
    out->number = *number;
    out->text = text.toString();
    return true;
}

} // namespace

void Load_English_Table()
{
    Language_List.clear();
    Language_List.reserve(English_Text_Count);
    for (int n = 0; n < English_Text_Count; ++n)
        Language_List.append(QString::fromUtf8(English_Text(n)));
    Language_Count = English_Text_Count;
}

bool Parse_Lng_Line(const QString& rawLine, int count, Lng_Line* out)
{
    return Parse_Line(rawLine, count, out);
}

bool Lng_File_Text(const QStringList& table, QByteArray* bytes, QString* error)
{
    QByteArray out("\xEF\xBB\xBF");
    for (qsizetype n = 0; n < table.size(); ++n) {
        const QString& text = table[n];
        if (text.contains(kPilcrow) || text.contains(QLatin1String("/#/")) || text.contains(u'\n')
            || text.contains(u'\r')) {
            if (error)
                *error = QStringLiteral("Entry %1 cannot be written to a language file.").arg(n);
            return false;
        }
        // The reader trims the text and skips an empty one: quoting keeps both.
        const bool quoted = text.isEmpty() || Trim(text) != text;
        // The blank before "=" is the format's: the reader drops that character.
        out += "STR" + QByteArray::number(n) + " = ";
        out += (quoted ? kPilcrow + text + kPilcrow : text).toUtf8();
        out += "\r\n";
    }
    *bytes = out;
    return true;
}

bool Read_Lng_File(const QString& path)
{
    // Read at every start: the lines are walked in place, not split into a list.
    QString text;
    if (!platform::ReadTextFile(path, &text))
        return false;
    Lng_Line parsed;
    platform::ForEachLine(text, [&](QStringView line) {
        if (Parse_Line(line, Language_Count, &parsed))
            Language_List[parsed.number] = std::move(parsed.text);
    });
    return true;
}

void Load_Language()
{
    Load_English_Table();
    const QString chosen = platform::JoinPath(Language_Folder, Language_Name + QStringLiteral(".lng"));
    if (platform::FileExists(chosen)) {
        Read_Lng_File(chosen);
        return;
    }
    Language_Name = QStringLiteral("English");
    const QString english = platform::JoinPath(Language_Folder, QStringLiteral("English.lng"));
    if (platform::FileExists(english))
        Read_Lng_File(english);
}
