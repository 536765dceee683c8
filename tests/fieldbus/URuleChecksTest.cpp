// The check primitives of the rule tables, each as a table of texts that a
// user may type and the answer the windows rely on.
#include "rules/URule_Checks.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace rules;

TEST(RuleChecks, IntegerRanges)
{
    struct Case
    {
        const char* text;
        int64_t low, high;
        bool in;
        const char* why;
    } cases[] = {
        {"0", 0, 255, true, "lower bound"},
        {"255", 0, 255, true, "upper bound"},
        {"256", 0, 255, false, "one above"},
        {"-1", 0, 255, false, "one below"},
        {"$FF", 0, 255, true, "hexadecimal with $"},
        {"0x7FF", 0, 2047, true, "hexadecimal with 0x"},
        {"0x1FFFFFFF", 0, 0x1FFFFFFF, true, "29-bit identifier"},
        {"0x20000000", 0, 0x1FFFFFFF, false, "beyond 29 bits"},
        {"  12", 1, 20, true, "leading blanks"},
        {"", 0, 255, false, "empty counts as -1"},
        {"abc", -1, 5, true, "text counts as -1, inside a range that holds it"},
        {"12 ", 0, 255, false, "nothing may follow the digits"},
        {"99999999999", 0, 100000000, false, "beyond 32 bits"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(In_Range(c.text, c.low, c.high), c.in) << c.text << ": " << c.why;
}

TEST(RuleChecks, Ipv4AddressFaults)
{
    struct Case
    {
        const char* text;
        bool fault;
        const char* why;
    } cases[] = {
        {"192.168.1.125", false, "plain address"},
        {"$A.0.0.1", false, "a hexadecimal part"},
        {" 10. 0. 0. 1", false, "blanks before parts"},
        {"10.0.0.256", true, "part above 255"},
        {"10.0.0", true, "three parts: the fourth is empty"},
        {"192.168.1.1.5", true, "five parts: the fourth holds 1.5"},
        {"", true, "empty"},
        {"10.0.0.1 ", true, "not trimmed: a trailing blank fails"},
        {"a.b.c.d", true, "letters"},
        {"-1.0.0.0", true, "negative part"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Check_IP_Address(c.text), c.fault) << c.text << ": " << c.why;
}

TEST(RuleChecks, FloatWithEitherSeparator)
{
    struct Case
    {
        const char* text;
        QChar regional;
        bool in;
    } cases[] = {
        {"1.5", u',', true},  {"1,5", u',', true}, {"1.5", u'.', true}, {"1,5", u'.', true},
        {"10.5", u'.', false}, {"-0.1", u',', false}, {"", u'.', false}, {"x", u'.', false},
        {"1.2.3", u'.', false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Float_In_Range(c.text, 0.0, 10.0, c.regional), c.in) << c.text << " with " << QString(c.regional).toStdString();
}

TEST(RuleChecks, EnumerationsAndFramePositions)
{
    const QStringList status = {"INPUT STATUS", "COIL STATUS"};
    EXPECT_TRUE(Is_One_Of(" coil status ", status, true));
    EXPECT_FALSE(Is_One_Of("coil status", status, false));
    EXPECT_FALSE(Is_One_Of("Holding Register", status, true));

    struct Case
    {
        const char* text;
        bool ok;
    } positions[] = {{"", true}, {"  ", true}, {"None", true}, {"none", false}, {"0", true},
                     {"1999", true}, {"2000", false}, {"-1", false}, {"x", false}};
    for (const Case& c : positions)
        EXPECT_EQ(Byte_Position_Ok(c.text, 2000), c.ok) << c.text;
}

TEST(RuleChecks, SpansInTheDataArea)
{
    // Registers: two bytes a point; status: one bit a point from the start bit.
    EXPECT_TRUE(Span_Fits(1498, 1, 0, false, 1500));
    EXPECT_FALSE(Span_Fits(1499, 1, 0, false, 1500));
    EXPECT_TRUE(Span_Fits(1499, 8, 0, true, 1500));
    EXPECT_FALSE(Span_Fits(1499, 9, 0, true, 1500));
    EXPECT_FALSE(Span_Fits(1499, 8, 1, true, 1500));
    EXPECT_EQ(Span_Last_Byte(0, 125, 0, false), 249);
}

TEST(RuleChecks, RunningTotals)
{
    EXPECT_EQ(First_Over_Total({8, 8, 8}, 24), -1);
    EXPECT_EQ(First_Over_Total({8, 8, 9}, 24), 2);
    EXPECT_EQ(First_Over_Total({-1, 30}, 24), 1);
    EXPECT_EQ(First_Over_Total({}, 0), -1);
}

TEST(RuleChecks, ErrorRowTexts)
{
    EXPECT_EQ(Error_Row_Text("Error row ", 3, "!! [Modbus Read] Slave ID must be between 1 and 247"),
              "Error row 3!! [Modbus Read] Slave ID must be between 1 and 247");
    EXPECT_EQ(Error_Row_Text("Error row ", 12, "!! Byte1 must be between 0 and ", 1999),
              "Error row 12!! Byte1 must be between 0 and 1999");
}

TEST(RuleChecks, MessagesFromLanguageFilesAreFilledSafely)
{
    struct Case
    {
        const char* format;
        QVariantList values;
        const char* out;
        const char* why;
    } cases[] = {
        {"Error row %d: bad type", {7}, "Error row 7: bad type", "one place"},
        {"%s at %d", {"Name", 3}, "Name at 3", "two places in order"},
        {"100%% sure, row %d", {2}, "100% sure, row 2", "a doubled percent"},
        {"row %d and %d", {2}, "row 2 and %d", "more places than values stay as written"},
        {"%n%x%p%08d", {5}, "%n%x%p%08d", "conversions that are not ours stay as written"},
        {"%s%s%s%s%s", {}, "%s%s%s%s%s", "no values at all"},
        {"ends in %", {1}, "ends in %", "a lone percent at the end"},
        {"no places", {1, 2}, "no places", "values left over"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Format_Message(c.format, c.values), QString(c.out)) << c.why;
}
