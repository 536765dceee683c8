#include "grid/ExGrid_Exchange.h"

#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

#include <QFile>

#include <cmath>

namespace exgrid_exchange {

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
    switch (encoding) {
    case TextEncoding::Utf16LeBom: {
        QByteArray out;
        out.reserve(2 + text.size() * 2);
        out.append('\xFF').append('\xFE');
        for (QChar c : text) {
            const char16_t u = c.unicode();
            out.append(static_cast<char>(u & 0xFF));
            out.append(static_cast<char>(u >> 8));
        }
        return out;
    }
    case TextEncoding::Utf8Bom: return QByteArray("\xEF\xBB\xBF", 3) + text.toUtf8();
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
int ReadNumber(const QString& s, bool& complete)
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

constexpr char16_t Esc = 0x1B;

} // namespace

int LenientNumber(const QString& field)
{
    bool complete = false;
    return ReadNumber(field, complete);
}

bool StrictNumber(const QString& field, int& value)
{
    bool complete = false;
    const int v = ReadNumber(field, complete);
    if (!complete)
        return false;
    value = v;
    return true;
}

// CR -> 9, LF -> 8, 0 -> 1 as the layout has always packed them; the
// characters 9, 8, 1 and the escape itself, which would otherwise come back
// changed, travel as escape pairs; a packed text without any LF gets the
// pair escape + 8 (read as nothing) so that the reader knows it is packed.
QString PackCellText(const QString& text)
{
    bool needed = false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 13 || u == 10 || u == 8) {
            needed = true;
            break;
        }
    }
    if (!needed)
        return text;
    QString s;
    s.reserve(text.size() + 4);
    bool hasLF = false;
    for (QChar c : text) {
        switch (c.unicode()) {
        case 13: s += QChar(9); break;
        case 10: s += QChar(8); hasLF = true; break;
        case 0: s += QChar(1); break;
        case 9: s += QChar(Esc); s += QChar(u'I'); break;
        case 8: s += QChar(Esc); s += QChar(u'H'); break;
        case 1: s += QChar(Esc); s += QChar(u'A'); break;
        case Esc: s += QChar(Esc); s += QChar(u'['); break;
        default: s += c; break;
        }
    }
    if (!hasLF) {
        s += QChar(Esc);
        s += QChar(8);
    }
    return s;
}

QString UnpackCellText(const QString& text, bool multiLine)
{
    QString s;
    if (text.contains(QChar(8))) {
        s.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t u = text[i].unicode();
            if (u == Esc && i + 1 < text.size()) {
                const char16_t next = text[i + 1].unicode();
                char16_t plain = 0;
                bool known = true;
                switch (next) {
                case 8: known = true; plain = 0xFFFF; break;
                case u'I': plain = 9; break;
                case u'H': plain = 8; break;
                case u'A': plain = 1; break;
                case u'[': plain = Esc; break;
                default: known = false; break;
                }
                if (known) {
                    if (plain != 0xFFFF)
                        s += QChar(plain);
                    ++i;
                    continue;
                }
            }
            switch (u) {
            case 9: s += QChar(13); break;
            case 8: s += QChar(10); break;
            case 1: s += QChar(char16_t(0)); break;
            default: s += text[i]; break;
            }
        }
    } else {
        s = text;
    }
    if (multiLine)
        return s;
    const qsizetype cr = s.indexOf(QChar(13));
    return cr < 0 ? s : s.left(cr);
}

} // namespace exgrid_exchange
