#include "platform/TextCodec.h"

#include <QStringDecoder>

namespace platform {

namespace {

// 0x80..0x9F; the five unassigned bytes map to the control characters of the
// same value, as the platform's own conversion does.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QString DecodeWindows1252(const QByteArray& bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHighControls[b - 0x80]) : QChar(b);
    }
    return out;
}

QByteArray EncodeWindows1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(static_cast<char>(u));
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (kHighControls[i] == u) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        out.append(mapped);
    }
    return out;
}

QString DecodeTextFile(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder dec(QStringDecoder::Utf16LE);
        return dec.decode(bytes.mid(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder dec(QStringDecoder::Utf16BE);
        return dec.decode(bytes.mid(2));
    }
    return DecodeWindows1252(bytes);
}

} // namespace platform
