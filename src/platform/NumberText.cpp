#include "platform/NumberText.h"

#include <cstdint>

namespace platform {

namespace {

// The digits of a typed number within the given magnitudes: decimal up to
// decimalMax (one more when negative), hexadecimal up to hexMax taken as a bit
// pattern. Returns the magnitude and the sign.
struct Scanned
{
    uint64_t value = 0;
    bool negative = false;
    bool hex = false;
};

std::optional<Scanned> Scan(const QString& text, uint64_t decimalMax, uint64_t hexMax, bool hexAllowed = true)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    Scanned s;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        s.negative = text[i] == u'-';
        ++i;
    }
    if (!hexAllowed) {
        // No prefix: "$", "x" and "0x" are not digits here.
    } else if (i < n && text[i] == u'$') {
        s.hex = true;
        ++i;
    } else if (i < n && (text[i] == u'x' || text[i] == u'X')) {
        s.hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        s.hex = true;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;

    const uint64_t limit = s.hex ? hexMax : (s.negative ? decimalMax + 1 : decimalMax);
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (s.hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (s.hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return std::nullopt;
        const uint64_t base = s.hex ? 16 : 10;
        if (s.value > (limit - static_cast<uint64_t>(digit)) / base)
            return std::nullopt;
        s.value = s.value * base + static_cast<uint64_t>(digit);
    }
    return s;
}

} // namespace

std::optional<int> ParseNumber(const QString& text)
{
    const std::optional<Scanned> s = Scan(text, 0x7FFFFFFFull, 0xFFFFFFFFull);
    if (!s)
        return std::nullopt;
    if (s->hex) {
        const auto pattern = static_cast<int32_t>(static_cast<uint32_t>(s->value));
        return s->negative ? static_cast<int>(-static_cast<int64_t>(pattern)) : pattern;
    }
    const int64_t signedValue = s->negative ? -static_cast<int64_t>(s->value) : static_cast<int64_t>(s->value);
    return static_cast<int>(signedValue);
}

std::optional<int64_t> ParseNumber64(const QString& text)
{
    const std::optional<Scanned> s = Scan(text, 0x7FFFFFFFFFFFFFFFull, 0xFFFFFFFFFFFFFFFFull);
    if (!s)
        return std::nullopt;
    // Two's complement on the unsigned magnitude keeps INT64_MIN and the
    // 16-digit patterns free of overflow.
    const uint64_t bits = s->negative ? (~s->value + 1) : s->value;
    return static_cast<int64_t>(bits);
}

std::optional<int> ParseDecimal(const QString& text)
{
    const std::optional<Scanned> s = Scan(text, 0x7FFFFFFFull, 0, false);
    if (!s)
        return std::nullopt;
    return static_cast<int>(s->negative ? -static_cast<int64_t>(s->value) : static_cast<int64_t>(s->value));
}

int NumberOr(const QString& text, int fallback)
{
    return ParseNumber(text).value_or(fallback);
}

} // namespace platform
