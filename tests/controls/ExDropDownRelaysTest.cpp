// The base's focus look, its wheel over the closed edit and its key-up
// relays from the popup and the hosted control, driven by real events.
#include "controls/ExCustomGridDropDown.h"
#include "controls/ExDropDown.h"
#include "controls/ExTimePickerDropDown.h"
#include "support/TestSupport.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

void Release(QWidget* w, int qtKey)
{
    QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

class RelaysTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.SetBounds(100, 100, 400, 300);
        form.Show();
        Settle();
    }
    TForm form;
};

} // namespace

TEST_F(RelaysTest, FocusDrawShowsTheValueOfANonEditableControlSelected)
{
    auto d = std::make_unique<TExCustomDropDown>(&form);
    d->SetBounds(10, 10, 200, 24);
    d->SetEditorEnabled(false);
    d->SetText(QStringLiteral("ab"));
    d->show();
    d->setFocus();
    Settle();
    ASSERT_TRUE(d->hasFocus());
    EXPECT_TRUE(d->FocusDraw());
    // Right inside the focus rectangle, clear of the short text.
    auto probe = [&] {
        d->repaint();
        return d->grab().toImage().pixelColor(d->width() - d->DropDownButtonWidth() - 5, d->height() / 2);
    };
    const QColor on = probe();
    d->SetFocusDraw(false);
    const QColor off = probe();
    EXPECT_NE(on, off);
    EXPECT_EQ(off, probe()) << "nothing of the focus look is left";
    d->SetFocusDraw(true);
    d->SetEditorEnabled(true);
    EXPECT_EQ(probe(), off) << "a control that takes typing shows no focus look";
}

// The wheel over the closed edit steps exactly once per turn, for leaves that
// had no wheel handling of their own on the edit as for those that had.
TEST_F(RelaysTest, WheelOverTheClosedEditStepsOncePerTurn)
{
    auto d = std::make_unique<TCustomExGridDropDown>(&form);
    d->SetBounds(10, 10, 200, 21);
    d->Columns().Add()->SetHeader(QStringLiteral("Name"));
    d->SetLookupColumn(0);
    for (const char* t : {"Apple", "Banana", "Cherry", "Date"})
        d->Items().Add()->SetText({QLatin1String(t)});
    d->show();
    d->setFocus();
    Settle();
    d->SetItemIndex(0);
    testsupport::Wheel(d.get(), -120);
    EXPECT_EQ(d->ItemIndex(), 1);
    testsupport::Wheel(d.get(), -120);
    EXPECT_EQ(d->ItemIndex(), 2);
    testsupport::Wheel(d.get(), 120);
    EXPECT_EQ(d->ItemIndex(), 1);
    EXPECT_FALSE(d->DroppedDown());
}

// Releases in the popup and in its time picker reach the edit's OnKeyUp,
// except the picker's own Page Up, Page Down, Up and Down.
TEST_F(RelaysTest, TimePickerKeyUpsReachTheEditButItsOwnKeys)
{
    auto* picker = new TExTimePickerDropDown(&form);
    std::unique_ptr<TExTimePickerDropDown> owner(picker);
    picker->SetBounds(20, 20, 120, 21);
    picker->SetAnimation(false);
    picker->SetShowTimePicker(true);
    std::vector<int> ups;
    picker->OnKeyUp = [&](QObject* sender, int& key, TShiftState) {
        EXPECT_EQ(sender, picker);
        ups.push_back(key);
    };
    picker->show();
    picker->ShowDropDown();
    Settle();
    ASSERT_TRUE(picker->DroppedDown());
    TDateTimePicker* time = picker->DateTimePicker();
    ASSERT_NE(time, nullptr);
    for (int k : {Qt::Key_Up, Qt::Key_PageDown, Qt::Key_Left})
        Release(time, k);
    for (int k : {Qt::Key_Down, Qt::Key_Right})
        Release(picker->DropDownForm(), k);
    EXPECT_EQ(ups, (std::vector<int>{VK_LEFT, VK_RIGHT}));
    picker->HideDropDown(true);
}
