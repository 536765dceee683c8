// The three dialogs of the scan window: what each OK accepts and refuses,
// and the message each refusal shows.

#include "grid/ExCGrid.h"
#include "mbus/UInsertKeyWireless.h"
#include "mbus/UModbusStartAdd_SD.h"
#include "mbus/UScanModbusStart.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

class ScanDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override { Load_English_Table(); }
    static QString M(int n) { return Language_List.value(n); }
};

// OK with a text: the message shown (empty when none) and whether it closed.
template <class Form>
std::pair<QString, bool> Press_OK(Form& f)
{
    DialogScript script;
    f.SetModalResult(mrNone);
    f.Btn_OKClick();
    const QString shown = script.Shown().empty() ? QString() : script.Shown().front().text;
    if (!script.Shown().empty()) {
        EXPECT_EQ(script.Shown().front().kind, MessageKind::Error);
    }
    return {shown, f.ModalResult() == mrOk};
}

TEST_F(ScanDialogsTest, KeyDialog)
{
    TFInsertKeyWireless f;
    EXPECT_EQ(f.L_InsKey->Caption(), M(2300));
    EXPECT_EQ(f.ClientWidth(), 481);
    EXPECT_EQ(f.ClientHeight(), 47);
    struct Case
    {
        QString key;
        int message;  // 0: accepted
    } const cases[] = {
        {QString(32, u'A'), 0},
        {QStringLiteral("0123456789ABCDEF0123456789ABCDEF"), 0},
        {QString(31, u'A'), 2304},
        {QString(), 2304},
        {QStringLiteral("0123456789ABCDEF0123456789ABCDEG"), 2303},
        {QStringLiteral("0123456789ABCDEF 123456789ABCDEF"), 2303},
    };
    for (const Case& c : cases) {
        f.E_Key->SetText(c.key);
        const auto [shown, closed] = Press_OK(f);
        EXPECT_EQ(shown, c.message ? M(c.message) : QString()) << c.key.toStdString();
        EXPECT_EQ(closed, c.message == 0) << c.key.toStdString();
    }

    // Typed: turned to upper case, cut at 32 characters (33 cannot be typed).
    f.show();
    f.E_Key->SetText(QString());
    f.E_Key->setFocus();
    testsupport::Type(f.E_Key, QStringLiteral("00112233445566778899aabbccddeeff0"));
    EXPECT_EQ(f.E_Key->Text(), QStringLiteral("00112233445566778899AABBCCDDEEFF"));
    EXPECT_TRUE(Press_OK(f).second);
}

TEST_F(ScanDialogsTest, StartRegisterDialog)
{
    TFScanModbusStart f;
    EXPECT_EQ(f.Caption(), M(2200));
    struct Case
    {
        const char* text;
        int accepted;  // -1: message 2206
    } const cases[] = {
        {"1", 1}, {"65535", 65535}, {"0", -1}, {"65536", -1}, {"abc", -1}, {"", -1}, {"-5", -1},
    };
    for (const Case& c : cases) {
        f.StartModAdd = 7;
        f.E_StartModAdd->SetText(QString::fromLatin1(c.text));
        const auto [shown, closed] = Press_OK(f);
        EXPECT_EQ(closed, c.accepted > 0) << c.text;
        EXPECT_EQ(shown, c.accepted > 0 ? QString() : M(2206)) << c.text;
        EXPECT_EQ(f.StartModAdd, c.accepted > 0 ? c.accepted : 7) << c.text;
    }
}

TEST_F(ScanDialogsTest, PerNodeDialogNamesTheFirstBadRow)
{
    TFModbusStartAdd_SD f;
    EXPECT_EQ(f.sga->RowCount(), 31);
    f.sga->SetRowCount(4);
    f.sga->SetCellEx(1, 1, QStringLiteral("1"));
    f.sga->SetCellEx(1, 2, QStringLiteral("59999"));
    f.sga->SetCellEx(1, 3, QStringLiteral("60000"));
    auto [shown, closed] = Press_OK(f);
    EXPECT_EQ(shown, M(2408) + "3" + M(2410));
    EXPECT_FALSE(closed);
    f.sga->SetCellEx(1, 2, QString());
    std::tie(shown, closed) = Press_OK(f);
    EXPECT_EQ(shown, M(2408) + "2" + M(2409));
    f.sga->SetCellEx(1, 2, QStringLiteral("10"));
    f.sga->SetCellEx(1, 3, QStringLiteral("59999"));
    std::tie(shown, closed) = Press_OK(f);
    EXPECT_EQ(shown, QString());
    EXPECT_TRUE(closed);
    // No data row: nothing to refuse.
    f.sga->SetRowCount(1);
    EXPECT_TRUE(Press_OK(f).second);
}

} // namespace
