#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <climits>

using platform::ParseNumber64;

TEST(NumberText64, TheNumberRuleOver64Bits)
{
    struct Case
    {
        const char* text;
        std::optional<int64_t> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"4294967295", 4294967295LL},          // past 32 bits: the storage number's top
        {"4294967296", 4294967296LL},
        {"-1", -1},
        {"  +12", 12},
        {"0xFFFFFFFF", 4294967295LL},
        {"$100000000", 4294967296LL},           // nine digits: more than 32 bits
        {"x7FFFFFFFFFFFFFFF", LLONG_MAX},
        {"$FFFFFFFFFFFFFFFF", -1},              // sixteen digits are a bit pattern
        {"-$10", -16},
        {"9223372036854775807", LLONG_MAX},
        {"-9223372036854775808", LLONG_MIN},
        // What does not convert:
        {"9223372036854775808", std::nullopt},
        {"-9223372036854775809", std::nullopt},
        {"$10000000000000000", std::nullopt},
        {"", std::nullopt},
        {"12 ", std::nullopt},
        {"1A", std::nullopt},
        {"0x", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseNumber64(QString::fromLatin1(c.text)), c.value) << '"' << c.text << '"';
}
