// The two start-register dialogs take decimal numbers only: a hexadecimal
// form that the program's general number rule would read ("$10", "0x10")
// is refused with the range message, never taken as another register.

#include "grid/ExCGrid.h"
#include "mbus/UModbusStartAdd_SD.h"
#include "mbus/UScanModbusStart.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "shell/ULanguage.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

struct Case
{
    const char* text;
    int value;   // the register taken; 0: refused
    const char* why;
};

// Valid in both dialogs' ranges unless said otherwise.
const Case Texts[] = {
    {"1", 1, "lowest register"},
    {"100", 100, "plain decimal"},
    {"010", 10, "a leading zero is still decimal, not octal"},
    {" 25", 25, "leading blanks, as the program's number rule"},
    {"+25", 25, "a sign, as the program's number rule"},
    {"$10", 0, "hexadecimal after $"},
    {"0x10", 0, "hexadecimal after 0x"},
    {"0X1F", 0, "hexadecimal after 0X"},
    {"x10", 0, "hexadecimal after x"},
    {"1A", 0, "hexadecimal digit"},
    {"25 ", 0, "nothing may follow the digits"},
    {"1.5", 0, "not an integer"},
    {"", 0, "empty"},
    {"-1", 0, "below 1"},
    {"0", 0, "below 1"},
    {"99999999999", 0, "beyond 32 bits"},
};

QString M(int n) { return Language_List.value(n); }

// Presses OK; the message shown (empty when none) and whether it closed.
template <class Form>
std::pair<QString, bool> Press_OK(Form& f)
{
    DialogScript script;
    f.SetModalResult(mrNone);
    f.Btn_OKClick();
    return {script.Shown().empty() ? QString() : script.Shown().front().text, f.ModalResult() == mrOk};
}

TEST(ScanDialogsDecimal, StartRegisterDialog)
{
    Load_English_Table();
    TFScanModbusStart f;
    for (const Case& c : Texts) {
        f.StartModAdd = 7;
        f.E_StartModAdd->SetText(QString::fromLatin1(c.text));
        const auto [shown, closed] = Press_OK(f);
        EXPECT_EQ(closed, c.value != 0) << c.text << ": " << c.why;
        EXPECT_EQ(shown, c.value ? QString() : M(2206)) << c.text;
        EXPECT_EQ(f.StartModAdd, c.value ? c.value : 7) << c.text;
    }
}

TEST(ScanDialogsDecimal, PerNodeDialog)
{
    Load_English_Table();
    TFModbusStartAdd_SD f;
    f.sga->SetRowCount(3);
    f.sga->SetCellEx(1, 1, QStringLiteral("5"));
    for (const Case& c : Texts) {
        f.sga->SetCellEx(1, 2, QString::fromLatin1(c.text));
        const auto [shown, closed] = Press_OK(f);
        EXPECT_EQ(closed, c.value != 0) << c.text << ": " << c.why;
        const int message = *c.text == 0 ? 2409 : 2410;
        EXPECT_EQ(shown, c.value ? QString() : M(2408) + "2" + M(message)) << c.text;
    }
}

} // namespace
