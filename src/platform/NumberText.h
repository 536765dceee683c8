#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace platform {

// The program's one rule for numbers typed as text: decimal, or hexadecimal
// after "$", "x" or "0x" (either case); leading blanks and a sign are
// accepted, nothing may follow the digits. Decimal values must fit in 32 bits;
// up to eight hexadecimal digits are taken as a 32-bit pattern ("$FFFFFFFF" is -1).
std::optional<int> ParseNumber(const QString& text);

// The same rule over 64 bits: decimal values must fit in a signed 64-bit
// number; up to sixteen hexadecimal digits are taken as a 64-bit pattern.
std::optional<int64_t> ParseNumber64(const QString& text);

// Decimal only, for fields that take no hexadecimal form: blanks and a sign
// as above, the value within 32 bits.
std::optional<int> ParseDecimal(const QString& text);

// The number, or the fallback when the text does not convert (most callers
// pass -1, so bad text fails their range checks).
int NumberOr(const QString& text, int fallback);

} // namespace platform
