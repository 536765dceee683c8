// What typed characters do to the value, by edit type; prefix and suffix
// protection; the clipboard paste by edit type.
#include "controls/ExDropDown.h"
#include "support/TestSupport.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QClipboard>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class KeysTest : public ::testing::Test
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
        form.SetBounds(100, 100, 300, 100);
        form.Show();
        QApplication::processEvents();
    }
    void TearDown() override { SetRegionalSettingsOverride(std::nullopt); }

    // A fresh drop-down with the focus, holding `raw` with the caret at `caret`.
    std::unique_ptr<TExCustomDropDown> Make(TDropDownEditType type, const QString& raw, int caret)
    {
        auto d = std::make_unique<TExCustomDropDown>(&form);
        d->SetBounds(10, 10, 200, 21);
        d->show();
        d->SetEditType(type);
        d->setFocus();
        QApplication::processEvents();
        d->SetRawText(raw);
        d->setCursorPosition(caret);
        return d;
    }

    TForm form;
};

struct TypedCase
{
    const char* why;
    TDropDownEditType type;
    bool isSigned;
    int precision;
    const char* start;
    int caret;
    const char* typed;
    const char* result;
};

} // namespace

TEST_F(KeysTest, TypedCharactersByEditType)
{
    const TypedCase cases[] = {
        {"integer takes digits only", etNumeric, false, 0, "12", 2, "3a-.x", "123"},
        {"signed integer toggles the sign at the caret", etNumeric, true, 0, "12", 1, "-", "-12"},
        {"second minus takes the sign off", etNumeric, true, 0, "-12", 3, "-", "12"},
        {"minus into an empty integer", etNumeric, true, 0, "", 0, "-5", "-5"},
        {"float with all decimals refuses more", etFloat, false, 2, "12.34", 5, "5", "12.34"},
        {"float overwrites a decimal", etFloat, false, 2, "12.34", 4, "5", "12.35"},
        {"second separator refused", etFloat, false, 2, "12.3", 2, ".", "12.3"},
        {"separator into an empty float gives 0.", etFloat, false, 2, "", 0, ".5", "0.5"},
        {"float without decimals refuses the separator", etFloat, false, 0, "", 0, "1.5", "15"},
        {"unsigned float refuses minus", etFloat, false, 2, "1.5", 0, "-", "1.5"},
        {"signed float toggles", etFloat, true, 2, "1.5", 3, "-", "-1.5"},
        {"money regroups while typing", etMoney, false, 2, "", 0, "1234567", "1,234,567"},
        {"hex digits, letters a-f and minus", etHex, false, 0, "", 0, "1fg-Zc", "1f-c"},
        {"range refuses a separator at the start and twice", etRange, false, 0, "", 0, ",1,,2-;3x", "1,2-3"},
        {"alphanumeric", etAlphaNumeric, false, 0, "", 0, "a1_-B ", "a1B"},
        {"upper case", etUppercase, false, 0, "", 0, "abC", "ABC"},
        {"lower case", etLowerCase, false, 0, "", 0, "AbC", "abc"},
        {"proper case", etMixedCase, false, 0, "", 0, "hello wORLD", "Hello World"},
        {"free text", etString, false, 0, "", 0, "a-1.", "a-1."},
    };
    for (const TypedCase& c : cases) {
        SCOPED_TRACE(c.why);
        auto d = Make(c.type, QString(), 0);
        d->SetSigned(c.isSigned);
        if (c.precision)
            d->SetPrecision(c.precision);
        d->SetRawText(QString::fromUtf8(c.start));
        d->setCursorPosition(c.caret);
        testsupport::TypeKeys(QString::fromUtf8(c.typed));
        EXPECT_EQ(d->RawText(), QString::fromUtf8(c.result));
    }
}

TEST_F(KeysTest, ValidCharsAndLengthLimit)
{
    auto d = Make(etValidChars, QString(), 0);
    d->SetValidChars(QStringLiteral("xyz"));
    testsupport::TypeKeys(QStringLiteral("xaybz"));
    EXPECT_EQ(d->RawText(), QStringLiteral("xyz"));

    auto n = Make(etNumeric, QStringLiteral("123"), 3);
    n->SetLengthLimit(3);
    testsupport::TypeKeys(QStringLiteral("4"));
    EXPECT_EQ(n->RawText(), QStringLiteral("123"));
}

TEST_F(KeysTest, PrefixAndSuffixStayInPlace)
{
    auto d = Make(etString, QString(), 0);
    d->SetPrefix(QStringLiteral("<"));
    d->SetSuffix(QStringLiteral(">"));
    d->SetText(QStringLiteral("ab"));
    d->setCursorPosition(1);
    testsupport::KeyClick(Qt::Key_Backspace); // at the prefix: nothing
    testsupport::KeyClick(Qt::Key_Left);
    EXPECT_EQ(d->cursorPosition(), 1);
    testsupport::KeyClick(Qt::Key_End);
    EXPECT_EQ(d->cursorPosition(), 3); // before the suffix
    testsupport::KeyClick(Qt::Key_Right);
    testsupport::KeyClick(Qt::Key_Delete); // would eat the suffix
    EXPECT_EQ(d->RawText(), QStringLiteral("<ab>"));
    testsupport::TypeKeys(QStringLiteral("c"));
    testsupport::KeyClick(Qt::Key_Home);
    EXPECT_EQ(d->cursorPosition(), 1);
    EXPECT_EQ(d->Text(), QStringLiteral("abc"));
}

TEST_F(KeysTest, PasteByEditType)
{
    const struct
    {
        TDropDownEditType type;
        const char* clip;
        const char* result;
    } cases[] = {
        {etNumeric, "12x", "5"},  {etNumeric, "12", "512"}, {etHex, "AB", "5"},
        {etRange, "1,2", "5"},    {etString, "ab", "5ab"},  {etUppercase, "ab", "5AB"},
        {etAlphaNumeric, "a-", "5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clip);
        auto d = Make(c.type, QStringLiteral("5"), 1);
        QApplication::clipboard()->setText(QString::fromUtf8(c.clip));
        testsupport::KeyClick(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(d->RawText(), QString::fromUtf8(c.result));
    }
}

TEST_F(KeysTest, ReplacingTheWholeValueRaisesNoChangeButARefusedKeyLosesNone)
{
    auto d = Make(etNumeric, QStringLiteral("12"), 0);
    int changes = 0;
    d->OnChange = [&](QObject*) { ++changes; };
    d->selectAll();
    testsupport::TypeKeys(QStringLiteral("x")); // refused
    EXPECT_EQ(d->RawText(), QStringLiteral("12"));
    d->deselect();
    d->setCursorPosition(2);
    testsupport::TypeKeys(QStringLiteral("3"));
    EXPECT_EQ(d->RawText(), QStringLiteral("123"));
    EXPECT_EQ(changes, 1); // the refused key did not swallow this change
}

TEST_F(KeysTest, FocusLossFormatsNumbers)
{
    auto d = Make(etFloat, QStringLiteral("1.5"), 3);
    d->SetPrecision(2);
    d->SetRawText(QStringLiteral("2.5"));
    auto other = Make(etString, QString(), 0); // takes the focus
    EXPECT_EQ(d->RawText(), QStringLiteral("2.50"));

    auto n = Make(etNumeric, QString(), 0);
    n->SetRawText(QString());
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(n->RawText(), QStringLiteral("0"));
}
