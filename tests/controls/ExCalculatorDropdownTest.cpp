// The calculator drop-down driven by real clicks on its keypad and keys typed
// into the edit and the popup: the arithmetic as a table of key sequences,
// errors, memory, cancel and the keyboard relays.
#include "controls/ExCalculatorDropdown.h"
#include "PanelMouse.h"
#include "support/TestSupport.h"

#include "platform/Dialogs.h"
#include "platform/Forms.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace platform;

namespace {

class CalculatorTest : public ::testing::Test
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
        form.SetBounds(100, 100, 400, 300);
        calc = new TExCalculatorDropdown(&form);
        calc->SetBounds(20, 20, 200, 21);
        calc->OnDropUp = [this](QObject*, bool cancelled) { dropUps.push_back(cancelled); };
        form.Show();
        QApplication::processEvents();
        calc->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        delete calc;
        SetRegionalSettingsOverride(std::nullopt);
    }

    void Open()
    {
        testsupport::Click(calc->Button()->Button());
        ASSERT_TRUE(calc->DroppedDown());
    }
    // Clicks the keypad button with this caption, as the mouse does.
    void Press(const QString& caption)
    {
        TCustomButtonPanel* panel = calc->ButtonPanel();
        ASSERT_NE(panel, nullptr);
        for (int i = 0; i < panel->Buttons().Count(); ++i) {
            const TButtonItem* b = panel->Buttons().Items(i);
            if (b->Caption() == caption) {
                const QPoint at(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2);
                mouse::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, at);
                return;
            }
        }
        FAIL() << "no key " << caption.toStdString();
    }
    // Presses the space-separated keys and returns the display after each.
    std::vector<QString> Run(const QString& keys)
    {
        std::vector<QString> shown;
        for (const QString& k : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            Press(k);
            shown.push_back(calc->Text());
        }
        return shown;
    }

    TForm form;
    TExCalculatorDropdown* calc = nullptr;
    std::vector<bool> dropUps;
};

struct KeypadCase
{
    const char* why;
    const char* keys;
    std::vector<const char*> shown; // the display after each key
};

} // namespace

TEST_F(CalculatorTest, KeypadSequences)
{
    const KeypadCase cases[] = {
        {"digits build a number; an operator shows the accumulator", "1 2 + 3 =",
         {"1", "12.00", "12.00", "3", "15.00"}},
        {"operators chain left to right without precedence", "2 + 3 * 4 =", {"2", "2.00", "3", "5.00", "4", "20.00"}},
        {"division by zero shows Error; a digit replaces it", "5 / 0 = 7", {"5", "5.00", "0", "Error", "7"}},
        {"Error counts as 0 for the next operator", "5 / 0 = + 2 =", {"5", "5.00", "0", "Error", "0.00", "2", "2.00"}},
        {"a zero divisor inside a chain resets the accumulator", "5 / 0 + 3 =",
         {"5", "5.00", "0", "Error", "3", "3.00"}},
        {"a decimal point on a fresh display starts at 0", ". 5 7", {"0", "0.50", "0.57"}},
        {"= twice repeats nothing", "2 * 3 = =", {"2", "2.00", "3", "6.00", "6.00"}},
        {"percent of the accumulator, then the pending add", "2 0 0 + 1 0 % =",
         {"2", "20.00", "200.00", "200.00", "1", "10.00", "20", "220.00"}},
        {"Back with an operation pending does nothing", "1 2 + Back", {"1", "12.00", "12.00", "12.00"}},
        {"Back drops the last digit of the general form", "1 2 Back", {"1", "12.00", "1"}},
        {"sign change", "4 +/- +/-", {"4", "-4", "4"}},
        {"square root, and of a negative number", "9 sqrt C 4 +/- sqrt", {"9", "3.00", "0", "4", "-4", "Error"}},
        {"a digit after a function result extends it", "9 sqrt 4", {"9", "3.00", "34.00"}},
        {"reciprocal, and of zero", "4 1/x C 1/x", {"4", "0.25", "0", "Error"}},
        {"memory: store, add, recall after C", "4 MS C 2 M+ C MR", {"4", "4", "0", "2", "2", "0", "6.00"}},
        {"MC clears the memory", "4 MS MC MR", {"4", "4", "4", "0.00"}},
        {"CE ends a decimal entry too", ". 5 CE 5", {"0", "0.50", "0", "5"}},
        {"C ends a decimal entry", ". 5 C 5", {"0", "0.50", "0", "5"}},
    };
    for (const KeypadCase& c : cases) {
        SCOPED_TRACE(c.why);
        calc->SetText(QString());
        Open();
        Press(QStringLiteral("C"));
        Press(QStringLiteral("MC"));
        std::vector<QString> expected;
        for (const char* s : c.shown)
            expected.push_back(QString::fromLatin1(s));
        EXPECT_EQ(Run(QString::fromLatin1(c.keys)), expected);
        calc->HideDropDown(false);
    }
}

TEST_F(CalculatorTest, MaxLengthStopsDigitsSignAndPoint)
{
    calc->setMaxLength(2);
    Open();
    EXPECT_EQ(Run(QStringLiteral("C 1 2 3 +/- . 4")), (std::vector<QString>{"0", "1", "12", "12", "12", "12", "12"}));
    EXPECT_EQ(Run(QStringLiteral("C 1 +/-")), (std::vector<QString>{"0", "1", "-1"}));
}

TEST_F(CalculatorTest, ClosedEditTypingCalculates)
{
    calc->SetRawText(QString());
    testsupport::TypeKeys(QStringLiteral("7*6"));
    EXPECT_EQ(calc->Text(), QStringLiteral("6"));
    testsupport::KeyClick(Qt::Key_Return);
    EXPECT_EQ(calc->Text(), QStringLiteral("42.00"));
    EXPECT_FALSE(calc->DroppedDown());
    // Letters are dropped; C clears the display but keeps the accumulator.
    testsupport::TypeKeys(QStringLiteral("x+"));
    EXPECT_EQ(calc->Text(), QStringLiteral("42.00"));
    testsupport::TypeKeys(QStringLiteral("c8="));
    EXPECT_EQ(calc->Text(), QStringLiteral("8.00"));
    EXPECT_EQ(calc->Value(), 8.0);
}

// While the popup is open the window system gives the keys to the popup
// window; the edit may keep the focus too. Both ways type on the keypad.
TEST_F(CalculatorTest, PopupKeysRelayToTheDisplayAndEnterAccepts)
{
    for (const bool toPopup : {true, false}) {
        SCOPED_TRACE(toPopup ? "keys to the popup window" : "keys to the edit");
        dropUps.clear();
        calc->SetText(QStringLiteral("5"));
        Open();
        QWidget* target = toPopup ? static_cast<QWidget*>(calc->DropDownForm()) : calc;
        auto key = [&](int qtKey, const QString& text) {
            QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
            QApplication::sendEvent(target, &press);
            QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier, text);
            QApplication::sendEvent(target, &release);
        };
        auto type = [&](const QString& text) {
            for (QChar c : text)
                key(c.unicode(), QString(c));
        };
        type(QStringLiteral("12+3"));
        EXPECT_EQ(calc->Text(), QStringLiteral("3"));
        key(Qt::Key_Backspace, QString(QChar(8)));
        EXPECT_EQ(calc->Text(), QStringLiteral("0"));
        type(QStringLiteral("8*2"));
        EXPECT_EQ(calc->Text(), QStringLiteral("2"));
        key(Qt::Key_Return, QStringLiteral("\r"));
        EXPECT_FALSE(calc->DroppedDown());
        EXPECT_EQ(calc->Text(), QStringLiteral("40.00"));
        EXPECT_EQ(dropUps, std::vector<bool>{false});
    }
}

TEST_F(CalculatorTest, EscapeRestoresTheTextTheCalculatorOpenedWith)
{
    calc->SetText(QStringLiteral("5"));
    Open();
    Run(QStringLiteral("1 2 + 3"));
    testsupport::KeyClick(Qt::Key_Escape);
    EXPECT_FALSE(calc->DroppedDown());
    EXPECT_EQ(calc->Text(), QStringLiteral("5.00"));
    EXPECT_EQ(dropUps, std::vector<bool>{true});
    // The cancelled sum is gone: = only shows the display again.
    testsupport::KeyClick(Qt::Key_Return);
    EXPECT_EQ(calc->Text(), QStringLiteral("5.00"));
}

TEST_F(CalculatorTest, TabAndF4CloseAccepting)
{
    for (int key : {int(Qt::Key_Tab), int(Qt::Key_F4)}) {
        calc->SetText(QStringLiteral("1"));
        Open();
        Run(QStringLiteral("9"));
        testsupport::KeyClick(key);
        EXPECT_FALSE(calc->DroppedDown());
        EXPECT_EQ(calc->Text(), QStringLiteral("9"));
    }
    EXPECT_EQ(dropUps, (std::vector<bool>{false, false}));
}

TEST_F(CalculatorTest, ValueReadAndWrite)
{
    calc->SetRawText(QString());
    EXPECT_EQ(calc->Value(), 0.0);
    EXPECT_EQ(calc->Text(), QStringLiteral("0"));
    calc->SetRawText(QStringLiteral("-"));
    EXPECT_EQ(calc->Value(), 0.0);
    calc->SetValue(1234.5);
    EXPECT_EQ(calc->Text(), QStringLiteral("1234.5"));
    calc->SetShowThousandSeparator(true);
    EXPECT_EQ(calc->Text(), QStringLiteral("1,234.50"));
    EXPECT_EQ(calc->Value(), 1234.5);
}

// A display that is not a number fails the operator with the conversion
// error and leaves everything as it was.
TEST_F(CalculatorTest, NotANumberFailsTheOperatorAndKeepsTheState)
{
    DialogScript script;
    calc->SetRawText(QStringLiteral("-"));
    testsupport::TypeKeys(QStringLiteral("+"));
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, QStringLiteral("'-' is not a valid floating point value"));
    EXPECT_EQ(calc->Text(), QStringLiteral("-"));
    EXPECT_EQ(calc->PendingOperation(), -1);
}

// A failing key handler refuses the key: the display and the registers keep
// their values, and the error reaches the error box instead of the event loop.
TEST_F(CalculatorTest, FailingKeyHandlerKeepsTheOldValue)
{
    DialogScript script;
    calc->SetText(QStringLiteral("3"));
    testsupport::TypeKeys(QStringLiteral("+"));
    ASSERT_EQ(calc->PendingOperation(), 0);
    calc->OnKeyPress = [](QObject*, QChar& key) {
        if (key == QLatin1Char('9'))
            throw std::runtime_error("refused");
    };
    testsupport::TypeKeys(QStringLiteral("9"));
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, QStringLiteral("refused"));
    EXPECT_EQ(calc->Text(), QStringLiteral("3.00"));
    EXPECT_EQ(calc->PendingOperation(), 0);
    // The calculator goes on with the old state.
    testsupport::TypeKeys(QStringLiteral("4="));
    EXPECT_EQ(calc->Text(), QStringLiteral("7.00"));
}

TEST_F(CalculatorTest, PopupIsTheKeypadWithoutHeaderOrFooter)
{
    Open();
    TDropDownForm* popup = calc->DropDownForm();
    EXPECT_EQ(popup->width(), 230);
    EXPECT_EQ(popup->height(), 150 + 2);
    EXPECT_FALSE(popup->Header() && popup->Header()->isVisible());
    EXPECT_FALSE(popup->Footer() && popup->Footer()->isVisible());
    EXPECT_EQ(calc->ButtonPanel()->Buttons().Count(), 28);
}
