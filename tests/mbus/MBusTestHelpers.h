#pragma once

// Helpers shared by the M-Bus decoding tests: hex text to bytes, RSP_UD frames
// with their checksum, wireless datagrams with a radio trailer, and AES
// encryption (the direction the decoder never uses) to build encrypted
// telegrams from known plain text.

#include "mbus/UMBusScanDecode.h"
#include "platform/Regional.h"

#include <openssl/evp.h>

#include <QString>

#include <cctype>
#include <ostream>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace mbustest {

using Bytes = std::vector<uint8_t>;

// "68 1F 1F 68" or "681F1F68" -> bytes.
inline Bytes Hex(const std::string& text)
{
    Bytes out;
    std::string digits;
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += c;
    if (digits.size() % 2)
        throw std::invalid_argument("odd hex text");
    for (size_t i = 0; i < digits.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

inline Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline QString ToHex(const Bytes& b)
{
    QString s;
    for (uint8_t x : b)
        s += QStringLiteral("%1").arg(x, 2, 16, QLatin1Char('0')).toUpper();
    return s;
}

// A number text with the regional decimal separator in place of ".".
inline QString Num(const char* text)
{
    QString s = QString::fromLatin1(text);
    s.replace(QLatin1Char('.'), platform::DecimalSeparator());
    return s;
}

// RSP_UD: 68 L L 68 C A CI, then the 12-byte fixed header, the records,
// checksum (sum from C on) and 16.
inline Bytes Long_Frame(const Bytes& fixedHeader, const Bytes& records, uint8_t address = 0x02, uint8_t ci = 0x72,
                        uint8_t c = 0x08)
{
    Bytes body = Cat({Bytes{c, address, ci}, fixedHeader, records});
    uint8_t sum = 0;
    for (uint8_t b : body)
        sum = static_cast<uint8_t>(sum + b);
    const uint8_t l = static_cast<uint8_t>(body.size());
    return Cat({Bytes{0x68, l, l, 0x68}, body, Bytes{sum, 0x16}});
}

// Identification 12345678, manufacturer PAD, version 1, water, access 0x55,
// status 0, signature 0.
inline Bytes Default_Header()
{
    return Hex("78 56 34 12 24 40 01 07 55 00 00 00");
}

inline Bytes Frame_With_Records(const Bytes& records)
{
    return Long_Frame(Default_Header(), records);
}

// A wireless frame (L is set from its length) followed by the radio trailer.
inline Bytes Datagram(Bytes frame, TRadioModule module, uint8_t rssiByte = 0x50)
{
    if (module == rmTelit) {
        frame[0] = static_cast<uint8_t>(frame.size() - 1);
        frame.push_back(0x00);
        frame.push_back(rssiByte);
    } else {
        frame[0] = static_cast<uint8_t>(frame.size());
        frame.push_back(rssiByte);
    }
    return frame;
}

inline Bytes Encrypt_CBC(const Bytes& key, const Bytes& iv, const Bytes& plain)
{
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    Bytes out(plain.size() + 16);
    int n1 = 0;
    int n2 = 0;
    EVP_EncryptInit_ex(ctx, EVP_aes_128_cbc(), nullptr, key.data(), iv.data());
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    EVP_EncryptUpdate(ctx, out.data(), &n1, plain.data(), static_cast<int>(plain.size()));
    EVP_EncryptFinal_ex(ctx, out.data() + n1, &n2);
    EVP_CIPHER_CTX_free(ctx);
    out.resize(static_cast<size_t>(n1 + n2));
    return out;
}

// Decodes one datagram with a decoder bound to the given lists.
inline void Feed_Wireless(TMBusTelegramDecoder& d, const Bytes& datagram, TRadioModule module = rmTelit)
{
    d.Set_Answer(datagram.data(), datagram.size());
    d.Decode_Wireless_Frame(module);
}

inline int Feed_Wired(TMBusTelegramDecoder& d, const Bytes& frame, int index, bool& last)
{
    d.Set_Answer(frame.data(), frame.size());
    return d.Decode_Wired_Frame(index, last);
}

} // namespace mbustest
