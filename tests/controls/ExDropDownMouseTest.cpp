// The edit's mouse selection around its prefix and suffix, a press inside
// the selection, and Backspace on money values, driven by real events.
#include "controls/ExDropDown.h"
#include "PanelMouse.h"
#include "support/TestSupport.h"

#include "platform/Forms.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class DropDownMouseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TRegionalSettings r = RegionalSettings();
        r.DecimalSeparator = QLatin1Char('.');
        r.ThousandSeparator = QLatin1Char(',');
        SetRegionalSettingsOverride(r);
        form.SetBounds(100, 100, 300, 100);
        drop = new TExCustomDropDown(&form);
        drop->SetBounds(10, 10, 220, 24);
        form.Show();
        QApplication::processEvents();
        drop->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        delete drop;
        SetRegionalSettingsOverride(std::nullopt);
    }

    // A point over the edit where a click puts the caret at `index`.
    QPoint At(int index) const
    {
        const int y = drop->height() / 2;
        for (int x = 0; x < drop->width(); ++x)
            if (drop->cursorPositionAt(QPoint(x, y)) == index)
                return QPoint(x + 1, y);
        ADD_FAILURE() << "no point for caret " << index;
        return QPoint(0, y);
    }

    TForm form;
    TExCustomDropDown* drop = nullptr;
};

} // namespace

// A press inside the selection of the focused edit keeps the selection; its
// release puts the caret under the mouse.
TEST_F(DropDownMouseTest, PressInsideTheSelectionWaitsForTheRelease)
{
    drop->SetText(QStringLiteral("hello world"));
    drop->selectAll();
    const QPoint inside = At(3);
    mouse::mousePress(drop, Qt::LeftButton, Qt::NoModifier, inside);
    EXPECT_EQ(drop->selectedText(), QStringLiteral("hello world")) << "the press is not passed on";
    mouse::mouseRelease(drop, Qt::LeftButton, Qt::NoModifier, inside);
    EXPECT_FALSE(drop->hasSelectedText());
    EXPECT_EQ(drop->cursorPosition(), 3);
    // Outside a selection a press acts as usual at once.
    drop->setSelection(0, 2);
    mouse::mousePress(drop, Qt::LeftButton, Qt::NoModifier, At(8));
    EXPECT_FALSE(drop->hasSelectedText());
    EXPECT_EQ(drop->cursorPosition(), 8);
    mouse::mouseRelease(drop, Qt::LeftButton, Qt::NoModifier, At(8));
}

// After a release the caret or selection is kept inside the value: a caret
// in the prefix selects the whole value, a selection into the suffix ends
// where the value ends.
TEST_F(DropDownMouseTest, ReleaseKeepsTheSelectionInsideTheValue)
{
    drop->SetPrefix(QStringLiteral("$ "));
    drop->SetSuffix(QStringLiteral(" kg"));
    drop->SetText(QStringLiteral("1234")); // "$ 1234 kg": the value runs from 2 to 6
    struct Case
    {
        const char* why;
        int from, to;
        int selStart;
        QString selected;
        int caret;
    };
    const Case cases[] = {
        {"a click in the prefix selects the value", 1, 1, 2, QStringLiteral("1234"), 6},
        {"a drag from the prefix selects the value", 0, 4, 2, QStringLiteral("1234"), 6},
        {"a drag into the suffix ends at the value's end", 3, 8, 3, QStringLiteral("234"), 6},
        {"a click in the suffix puts the caret at the value's end", 8, 8, -1, QString(), 6},
        {"a click in the value stays", 4, 4, -1, QString(), 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        drop->deselect();
        mouse::mousePress(drop, Qt::LeftButton, Qt::NoModifier, At(c.from));
        if (c.to != c.from)
            mouse::mouseMove(drop, At(c.to));
        mouse::mouseRelease(drop, Qt::LeftButton, Qt::NoModifier, At(c.to));
        EXPECT_EQ(drop->selectionStart(), c.selStart);
        EXPECT_EQ(drop->selectedText(), c.selected);
        if (c.selected.isEmpty())
            EXPECT_EQ(drop->cursorPosition(), c.caret);
    }
    EXPECT_EQ(drop->RawText(), QStringLiteral("$ 1234 kg"));
}

// Money values regroup their thousands while digits are typed, not while
// Backspace takes them away; leaving the control formats the value.
TEST_F(DropDownMouseTest, BackspaceOnMoneyDoesNotRegroup)
{
    drop->SetEditType(etMoney);
    drop->SetRawText(QString());
    testsupport::TypeKeys(QStringLiteral("12345"));
    ASSERT_EQ(drop->Text(), QStringLiteral("12,345"));
    testsupport::KeyClick(Qt::Key_Backspace);
    EXPECT_EQ(drop->Text(), QStringLiteral("12,34"));
    testsupport::KeyClick(Qt::Key_Backspace);
    EXPECT_EQ(drop->Text(), QStringLiteral("12,3"));
    testsupport::TypeKeys(QStringLiteral("9"));
    EXPECT_EQ(drop->Text(), QStringLiteral("1,239")) << "typing regroups again";
}
