#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <climits>

using platform::NumberOr;
using platform::ParseNumber;

TEST(NumberText, TheProgramsNumberRule)
{
    struct Case
    {
        const char* text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"007", 7},
        {"   12", 12},
        {"+5", 5},
        {"-5", -5},
        {"  -17", -17},
        {"$1F", 31},
        {"$ff", 255},
        {"x1A", 26},
        {"X1a", 26},
        {"0x10", 16},
        {"0X10", 16},
        {"-$10", -16},
        {"-0x10", -16},
        {"$FFFFFFFF", -1},
        {"$7FFFFFFF", INT_MAX},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        // What does not convert:
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"12 ", std::nullopt},       // nothing may follow the digits
        {"1 2", std::nullopt},
        {"\t12", std::nullopt},      // only blanks lead
        {"- 5", std::nullopt},
        {"+-5", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"x", std::nullopt},
        {"$G", std::nullopt},
        {"1A", std::nullopt},        // hexadecimal needs its prefix
        {"12.5", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"$100000000", std::nullopt},
        {"0x0x1", std::nullopt},
        {"\xD9\xA3", std::nullopt},  // a digit of another script
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseNumber(QString::fromUtf8(c.text)), c.value) << '"' << c.text << '"';
        EXPECT_EQ(NumberOr(QString::fromUtf8(c.text), -1), c.value.value_or(-1)) << '"' << c.text << '"';
    }
    EXPECT_EQ(NumberOr("x", 1000), 1000);
}
