// The octet fields' keys: four edits of one IPv4 address, typed into with
// real key events as a user types a whole address.
#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/OctetField.h"
#include "support/TestSupport.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <array>

using namespace platform;

namespace {

class AddressForm : public TForm
{
public:
    AddressForm()
    {
        for (int i = 0; i < 4; ++i) {
            parts[i] = new TEdit(this);
            parts[i]->setGeometry(10 + i * 60, 10, 50, 21);
        }
        for (int i = 0; i < 4; ++i) {
            TEdit* next = i < 3 ? parts[i + 1] : nullptr;
            parts[i]->OnKeyPress = [field = parts[i], next](QObject*, QChar& key) { Octet_KeyPress(field, key, next); };
        }
    }
    QStringList Texts() const
    {
        QStringList out;
        for (TEdit* e : parts)
            out << e->Text();
        return out;
    }
    std::array<TEdit*, 4> parts{};
};

class OctetFields : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.Show();
        form.activateWindow();
        QApplication::processEvents();
    }
    void TearDown() override { form.hide(); }
    // The first part focused with its whole text selected, as Tab leaves it.
    void Start(const QStringList& texts)
    {
        for (int i = 0; i < 4; ++i)
            form.parts[i]->SetText(texts[i]);
        form.parts[0]->SetFocus();
        form.parts[0]->SelectAll();
    }

    AddressForm form;
};

} // namespace

TEST_F(OctetFields, TypedAddresses)
{
    struct Case
    {
        const char* why;
        QStringList before;
        const char* typed;
        QStringList after;
        int focused;  // the part that has the focus afterwards
    };
    const QStringList old = {"192", "168", "2", "205"};
    const QStringList empty = {"", "", "", ""};
    const Case cases[] = {
        {"each \".\" selects the next part: typing replaces it", old, "127.0.0.1", {"127", "0", "0", "1"}, 3},
        {"into empty parts", empty, "192.168.2.10", {"192", "168", "2", "10"}, 3},
        {"a \".\" is never entered, not even in the last part", old, "10.1.2.3.", {"10", "1", "2", "3"}, 3},
        {"two dots skip a part, which keeps its text", old, "1..9.8", {"1", "168", "9", "8"}, 3},
        {"a digit never stands behind a leading zero", empty, "02.007.0.00", {"2", "7", "0", "0"}, 3},
        {"a zero typed over a selected part, then a digit", old, "10.0.02.1", {"10", "0", "2", "1"}, 3},
        {"other text is left to the checks, as typed", empty, "0x10.a.-1.256", {"0x10", "a", "-1", "256"}, 3},
        {"a short address leaves the rest as it was", old, "10.20", {"10", "20", "2", "205"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Start(c.before);
        testsupport::TypeKeys(QString::fromLatin1(c.typed));
        EXPECT_EQ(form.Texts(), c.after);
        EXPECT_EQ(QApplication::focusWidget(), form.parts[c.focused]);
    }
}

TEST_F(OctetFields, ALeadingZeroGivesWayWhereverTheDigitIsTyped)
{
    TEdit* part = form.parts[0];
    Start({"0", "", "", ""});
    part->setCursorPosition(1);   // behind the zero
    testsupport::TypeKeys(QStringLiteral("5"));
    EXPECT_EQ(part->Text(), QStringLiteral("5"));
    part->setCursorPosition(0);   // a zero in front of a digit
    testsupport::TypeKeys(QStringLiteral("0"));
    EXPECT_EQ(part->Text(), QStringLiteral("5"));
    part->SetText(QStringLiteral("105"));
    part->setSelection(0, 1);     // "1" selected: "0" over it would leave "05"
    testsupport::TypeKeys(QStringLiteral("0"));
    EXPECT_EQ(part->Text(), QStringLiteral("5"));
    EXPECT_EQ(part->cursorPosition(), 0);
    testsupport::TypeKeys(QStringLiteral("2"));
    EXPECT_EQ(part->Text(), QStringLiteral("25"));
}

TEST_F(OctetFields, APartThatCannotTakeTheFocusIsPassedBy)
{
    Start({"1", "2", "3", "4"});
    form.parts[1]->SetEnabled(false);
    testsupport::TypeKeys(QStringLiteral("9."));
    EXPECT_EQ(form.Texts(), QStringList({"9", "2", "3", "4"}));
    EXPECT_EQ(QApplication::focusWidget(), form.parts[0]) << "the \".\" is only dropped";
    form.parts[1]->SetEnabled(true);
}

// Pasted or loaded parts never reach a resolver with a leading zero, which it
// would read as octal; text that is no number is left for the caller's checks.
TEST_F(OctetFields, TheAddressReadsEachPartAsTheNumberItIs)
{
    const struct
    {
        QStringList parts;
        const char* address;
    } cases[] = {
        {{"192", "168", "2", "205"}, "192.168.2.205"},
        {{"010", "0", "00", "007"}, "10.0.0.7"},
        {{"0x10", "1", "2", "3"}, "0x10.1.2.3"},
        {{"", "1", "2", "3"}, ".1.2.3"},
        {{"1000", "1", "2", "3"}, "1000.1.2.3"},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 4; ++i)
            form.parts[i]->SetText(c.parts[i]);
        EXPECT_EQ(Octet_Address(form.parts[0], form.parts[1], form.parts[2], form.parts[3]), QString::fromLatin1(c.address))
            << c.parts.join(u'|').toStdString();
    }
}
