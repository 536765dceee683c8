// The value text of the drop-down edit by edit type, and the number helpers.
#include "controls/ExDropDown.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// Full stop as decimal and comma as thousand separator, whatever the machine.
class ValueTextTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TRegionalSettings r;
        r.DecimalSeparator = QLatin1Char('.');
        r.ThousandSeparator = QLatin1Char(',');
        r.DateSeparator = QLatin1Char('/');
        r.TimeSeparator = QLatin1Char(':');
        r.ShortDateFormat = QStringLiteral("dd/MM/yyyy");
        SetRegionalSettingsOverride(r);
    }
    void TearDown() override { SetRegionalSettingsOverride(std::nullopt); }
};

struct TextCase
{
    const char* why;
    TDropDownEditType type;
    int precision;
    const char* prefix;
    const char* suffix;
    const char* written;
    const char* shown;  // whole edit text
    const char* value;  // Text() read back
};

} // namespace

TEST_F(ValueTextTest, WrittenValueByEditType)
{
    const TextCase cases[] = {
        {"free text is kept", etString, 0, "", "", "abc", "abc", "abc"},
        {"prefix and suffix frame the value", etString, 0, "<", " kg", "12", "<12 kg", "12"},
        {"integer: empty becomes 0", etNumeric, 0, "", "", "", "0", "0"},
        {"negative integer as written", etNumeric, 0, "", "", "-42", "-42", "-42"},
        {"float: fixed decimals", etFloat, 2, "", "", "3", "3.00", "3.00"},
        {"float: empty is 0.00", etFloat, 2, "", "", "", "0.00", "0.00"},
        {"float: negative rounded", etFloat, 1, "", "", "-2.26", "-2.3", "-2.3"},
        {"float without precision as typed", etFloat, 0, "", "", "1.5", "1.5", "1.5"},
        {"money groups thousands", etMoney, 2, "", "", "1234.5", "1,234.50", "1,234.50"},
        {"money negative groups", etMoney, 2, "$", "", "-1234567", "$-1,234,567.00", "-1,234,567.00"},
        {"Error is shown as it is", etFloat, 2, "", "", "Error", "Error", "Error"},
        {"hex upper-cased", etHex, 0, "0x", "", "ff", "0xFF", "FF"},
        {"hex empty becomes 0", etHex, 0, "", "h", "", "0h", "0"},
        {"hex negative kept", etHex, 0, "", "", "-1f", "-1F", "-1F"},
        {"suffix with units", etFloat, 3, "", " V", "1.23456", "1.235 V", "1.235"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.why);
        TExCustomDropDown d;
        d.SetEditType(c.type);
        d.SetPrefix(QString::fromUtf8(c.prefix));
        d.SetSuffix(QString::fromUtf8(c.suffix));
        if (c.precision)
            d.SetPrecision(c.precision);
        d.SetText(QString::fromUtf8(c.written));
        EXPECT_EQ(d.RawText(), QString::fromUtf8(c.shown));
        EXPECT_EQ(d.Text(), QString::fromUtf8(c.value));
        EXPECT_EQ(d.OldText(), QString::fromUtf8(c.value));
    }
}

TEST_F(ValueTextTest, SuffixIsRemovedOnlyWhenPresent)
{
    TExCustomDropDown d;
    d.SetSuffix(QStringLiteral(" kg"));
    d.SetRawText(QStringLiteral("12345"));
    // The text does not end with the suffix: nothing of the value is lost.
    EXPECT_EQ(d.Text(), QStringLiteral("12345"));
    d.SetRawText(QStringLiteral("12 kg"));
    EXPECT_EQ(d.Text(), QStringLiteral("12"));
    d.SetRawText(QStringLiteral("kg"));
    EXPECT_EQ(d.Text(), QStringLiteral("kg"));
}

TEST_F(ValueTextTest, NumbersReadAndWrittenBack)
{
    TExCustomDropDown d;
    d.SetEditType(etNumeric);
    d.SetFloatValue(1234);
    EXPECT_EQ(d.Text(), QStringLiteral("1,234")); // the n format with no decimals groups
    EXPECT_EQ(d.GetFloatValue(), 1234);

    d.SetEditType(etHex);
    d.SetIntValue(-1);
    EXPECT_EQ(d.Text(), QStringLiteral("-1"));
    EXPECT_EQ(d.GetFloatValue(), -1); // a hex minus is a sign, not a zero digit
    d.SetText(QStringLiteral("1F"));
    EXPECT_EQ(d.GetFloatValue(), 31);
    d.SetRawText(QStringLiteral("1FFFFFFFF"));
    EXPECT_EQ(d.GetFloatValue(), 0); // too large for 32 bits: not wrapped into a small number

    d.SetEditType(etMoney);
    d.SetPrecision(2);
    d.SetText(QStringLiteral("1,234.5"));
    EXPECT_EQ(d.GetFloatValue(), 1234.5);
    d.SetRawText(QStringLiteral("-"));
    EXPECT_EQ(d.GetFloatValue(), 0);

    TExCustomDropDown n;
    n.SetEditType(etNumeric);
    n.SetText(QStringLiteral("7"));
    n.SetPrecision(3); // ignored for integers
    EXPECT_EQ(n.Precision(), 0);
    EXPECT_EQ(n.Text(), QStringLiteral("7"));
}

TEST_F(ValueTextTest, EditTypeChangeBringsValueInLine)
{
    TExCustomDropDown d;
    d.SetText(QStringLiteral("abc"));
    d.SetEditType(etNumeric);
    EXPECT_EQ(d.Text(), QStringLiteral("0"));
    d.SetEditType(etHex);
    EXPECT_EQ(d.Text(), QStringLiteral("0"));
    d.SetText(QStringLiteral("zz"));
    d.SetEditType(etFloat);
    EXPECT_EQ(d.Text(), QStringLiteral("0"));
}

TEST_F(ValueTextTest, NumberKindTable)
{
    const struct
    {
        const char* text;
        int kind;
    } cases[] = {
        {"", 2}, {"-12", 0}, {"1.5", 1}, {"FF", 5}, {"1-2-3", 2}, {"1.2.3", 2}, {"1,234", 1}, {"1,2,3", 2}, {",5", 2},
        {"abc", 5}, {"x1", 2}, {"-", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextNumberKind(QString::fromUtf8(c.text)), c.kind) << c.text;
}

TEST(HexToIntTest, Table)
{
    const struct
    {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"1F", 31},
        {"ff", 255},
        {"-1", -1},
        {"-80000000", std::numeric_limits<std::int32_t>::min()},
        {"7FFFFFFF", std::numeric_limits<std::int32_t>::max()},
        {"80000000", std::nullopt},  // past 32 bits signed
        {"100000000", std::nullopt}, // would wrap to 0
        {"", std::nullopt},
        {"-", std::nullopt},
        {"1G", std::nullopt},
        {"1-2", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexToInt(QString::fromUtf8(c.text)), c.value) << c.text;
}
