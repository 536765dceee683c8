#include "grid/ExGrid_Exchange.h"

#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QSysInfo>

#include <cmath>
#include <cstring>

namespace exgrid_exchange {

void AppendUtf16Le(QByteArray& out, QStringView text)
{
    const qsizetype at = out.size();
    out.resize(at + text.size() * 2);
    char* p = out.data() + at;
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        std::memcpy(p, text.utf16(), static_cast<size_t>(text.size()) * 2);
    } else {
        for (QChar c : text) {
            *p++ = static_cast<char>(c.unicode() & 0xFF);
            *p++ = static_cast<char>(c.unicode() >> 8);
        }
    }
}

QByteArray EncodeLines(const QStringList& lines, TextEncoding encoding)
{
    QString text;
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString& line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return EncodeText(text, encoding);
}

QByteArray EncodeText(const QString& text, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16LeBom: {
        QByteArray out;
        out.reserve(2 + text.size() * 2);
        out.append('\xFF').append('\xFE');
        AppendUtf16Le(out, text);
        return out;
    }
    case TextEncoding::Utf8Bom: return text.toUtf8().prepend("\xEF\xBB\xBF", 3);
    case TextEncoding::Ansi: break;
    }
    return platform::EncodeWindows1252(text);
}

QByteArray ReadFileBytes(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        throw REruVidaZuvez(QStringLiteral("Cannot open file ") + fileName + QStringLiteral(": ") + f.errorString());
    return f.readAll();
}

QStringList ReadFileLines(const QString& fileName)
{
    return platform::SplitLines(platform::DecodeTextFile(ReadFileBytes(fileName)));
}

void WriteFileBytes(const QString& fileName, const QByteArray& bytes)
{
    QString error;
    if (!platform::WriteFileAtomically(fileName, bytes, &error))
        throw REruVidaZuvez(QStringLiteral("Cannot Create file ") + fileName);
}

int Percent(long long num, long long den)
{
    if (den < 1)
        den = 1;
    return static_cast<int>(std::nearbyint(static_cast<double>(num) / static_cast<double>(den) * 100.0));
}

void ProgressReporter::Report(int percent)
{
    if (!FGrid.OnFileProgress || percent == FLast)
        return;
    FLast = percent;
    FGrid.OnFileProgress(&FGrid, static_cast<int16_t>(percent));
}

namespace {

bool IsHexDigit(QChar c, int& v)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        v = u - '0';
    else if (u >= 'a' && u <= 'f')
        v = u - 'a' + 10;
    else if (u >= 'A' && u <= 'F')
        v = u - 'A' + 10;
    else
        return false;
    return true;
}

// Reads the number; complete tells whether every character was used.
int ReadNumber(QStringView s, bool& complete)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (s[i] == u'-' || s[i] == u'+')) {
        negative = s[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    const qsizetype firstDigit = i;
    long long value = 0;
    while (i < n) {
        int d = 0;
        if (!IsHexDigit(s[i], d) || d >= base)
            break;
        if (value <= INT_MAX)
            value = value * base + d;
        ++i;
    }
    complete = i == n && i > firstDigit;
    if (value > INT_MAX)
        value = INT_MAX;
    return complete && negative ? static_cast<int>(-value) : static_cast<int>(value);
}


} // namespace

int LenientNumber(QStringView field)
{
    bool complete = false;
    return ReadNumber(field, complete);
}

bool StrictNumber(QStringView field, int& value)
{
    bool complete = false;
    const int v = ReadNumber(field, complete);
    if (!complete)
        return false;
    value = v;
    return true;
}

} // namespace exgrid_exchange
