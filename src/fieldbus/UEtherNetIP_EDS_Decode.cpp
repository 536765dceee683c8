#include "fieldbus/UEtherNetIP_EDS_Decode.h"

#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/TextCodec.h"

namespace eds {

namespace {

// A field of the comma-separated list: the text before the first "," ...
QString Read_Field(const QString& text)
{
    const qsizetype comma = text.indexOf(u',');
    return comma < 0 ? QString() : text.left(comma).trimmed();
}

// ... and the list without it.
QString Remove_Field(const QString& text)
{
    const qsizetype comma = text.indexOf(u',');
    return comma < 0 ? text : text.mid(comma + 1).trimmed();
}

// The first byte at or after `from` that is one of the two codes and has a
// byte after it; -1 when there is none.
int Find_Segment(const std::vector<uint8_t>& bytes, size_t from, uint8_t a, uint8_t b)
{
    for (size_t i = from; i + 1 < bytes.size(); ++i)
        if (bytes[i] == a || bytes[i] == b)
            return static_cast<int>(i);
    return -1;
}

} // namespace

QString Strip_Comment(const QString& line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"')
            quoted = !quoted;
        else if (line[i] == u'$' && !quoted)
            return line.left(i).trimmed();
    }
    return line.trimmed();
}

bool Is_Connection_Key(const QString& line)
{
    static const QString key = QStringLiteral("Connection");
    if (!line.startsWith(key))
        return false;
    qsizetype i = key.size();
    const qsizetype digits = i;
    while (i < line.size() && line[i].isDigit() && line[i].unicode() < 128)
        ++i;
    if (i == digits)
        return false;
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t'))
        ++i;
    return i < line.size() && line[i] == u'=';
}

std::vector<uint8_t> Path_Bytes(const QString& path)
{
    QString text = path;
    text.remove(u'"');
    std::vector<uint8_t> bytes;
    for (const QString& part : text.trimmed().split(u' ')) {
        if (bytes.size() >= static_cast<size_t>(kPath_Capacity))
            break;
        const std::optional<int> v = platform::ParseNumber(QStringLiteral("0x") + part.trimmed());
        if (v && *v >= 0 && *v <= 255)
            bytes.push_back(static_cast<uint8_t>(*v));
    }
    return bytes;
}

bool Decode_Connection(const QString& entry, std::vector<TConnData>& list)
{
    TConnData c;
    QString text = Remove_Field(entry);  // trigger and transport
    const int params = platform::NumberOr(Read_Field(text), -1);
    c.DimHeaderOT = static_cast<uint8_t>((params >> 8) & 7);
    c.DimHeaderTO = static_cast<uint8_t>((params >> 12) & 7);
    for (int i = 0; i < 11; ++i)
        text = Remove_Field(text);
    c.ConnName = Read_Field(text);
    text = Remove_Field(text);
    c.HelpStr = Read_Field(text);
    text = Remove_Field(text);

    // The path ends at the next field or at the entry's ";"; without a ";"
    // the entry is incomplete and has no path.
    const qsizetype semicolon = text.indexOf(u';');
    QString path;
    if (semicolon >= 0) {
        const qsizetype comma = text.indexOf(u',');
        path = text.left(comma >= 0 && comma < semicolon ? comma : semicolon);
    }
    const std::vector<uint8_t> b = Path_Bytes(path);
    if (b.size() < 6 || b[0] != 0x20)
        return false;

    // The instance segment after the class; the search for the connection
    // points starts behind it.
    uint32_t instance = 1;
    size_t from = 2;
    switch (b[2]) {
    case 0x24:
        instance = b[3];
        from = 4;
        break;
    case 0x25:  // pad, then 16 bits, least significant byte first
        instance = uint32_t(b[4]) | uint32_t(b[5]) << 8;
        from = 6;
        break;
    case 0x26:  // pad, then 32 bits
        if (b.size() < 8)
            return false;
        instance = uint32_t(b[4]) | uint32_t(b[5]) << 8 | uint32_t(b[6]) << 16 | uint32_t(b[7]) << 24;
        from = 8;
        break;
    default:
        break;
    }
    c.InstanceOT = c.InstanceTO = instance;

    const int ot = Find_Segment(b, from, 0x2C, 0x2C);
    if (ot < 0)
        return false;
    c.ConnPointOT = b[ot + 1];
    const int next = Find_Segment(b, ot + 2, 0x24, 0x2C);
    if (next < 0)
        return false;
    if (b[next] == 0x2C) {
        c.ConnPointTO = b[next + 1];
    } else {
        c.InstanceTO = b[next + 1];
        const int to = Find_Segment(b, next + 2, 0x2C, 0x2C);
        if (to < 0)
            return false;
        c.ConnPointTO = b[to + 1];
    }
    c.ConnIndex = static_cast<int>(list.size()) + 1;
    list.push_back(std::move(c));
    return true;
}

std::vector<TConnData> Decode_Connections(const QStringList& lines)
{
    std::vector<TConnData> list;
    bool inSection = false;
    QString pending;
    auto flush = [&] {
        if (!pending.isEmpty())
            Decode_Connection(pending, list);
        pending.clear();
    };
    for (const QString& raw : lines) {
        const QString line = Strip_Comment(raw);
        if (line.isEmpty())
            continue;
        if (!inSection) {
            inSection = line.contains(QLatin1String("[Connection Manager]"));
            continue;
        }
        if (line.startsWith(u'[')) {
            flush();
            inSection = line.contains(QLatin1String("[Connection Manager]"));
        } else if (Is_Connection_Key(line)) {
            flush();
            pending = line.mid(line.indexOf(u'=') + 1).trimmed();
        } else {
            pending += line;
        }
    }
    flush();
    return list;
}

std::vector<TConnData> Decode_Connections(const QByteArray& fileBytes)
{
    return Decode_Connections(platform::SplitLines(platform::DecodeTextFile(fileBytes)));
}

QString Dim_Header_Text(uint8_t code, bool originatorToTarget)
{
    return code == (originatorToTarget ? 4 : 0) ? QStringLiteral("Default") : QString::number(code);
}

} // namespace eds
