// The grid drop-down's relays of its inner grid's events are its own virtual
// operations: a descendant that overrides one sees the events the user
// causes in the open grid, driven by real clicks and keys.
#include "controls/ExCustomGridDropDown.h"
#include "PanelMouse.h"
#include "support/TestSupport.h"

#include "platform/Forms.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// Records what reaches its overrides, then lets the base raise the events.
class RecordingGridDropDown : public TCustomExGridDropDown
{
public:
    using TCustomExGridDropDown::TCustomExGridDropDown;
    std::vector<QString> calls;

protected:
    void DoGridMouseDown(QObject* s, TMouseButton b, TShiftState shift, int x, int y) override
    {
        calls.push_back(QStringLiteral("MouseDown"));
        TCustomExGridDropDown::DoGridMouseDown(s, b, shift, x, y);
    }
    void DoGridMouseUp(QObject* s, TMouseButton b, TShiftState shift, int x, int y) override
    {
        calls.push_back(QStringLiteral("MouseUp"));
        TCustomExGridDropDown::DoGridMouseUp(s, b, shift, x, y);
    }
    void DoGridKeyDown(QObject* s, int& key, TShiftState shift) override
    {
        calls.push_back(QStringLiteral("KeyDown %1").arg(key));
        TCustomExGridDropDown::DoGridKeyDown(s, key, shift);
    }
    void DoGridKeyPress(QObject* s, QChar& key) override
    {
        calls.push_back(QStringLiteral("KeyPress ") + key);
        TCustomExGridDropDown::DoGridKeyPress(s, key);
    }
    void DoGridGetAlignment(QObject* s, int r, int c, TAlignment& h, TVAlignment& v) override
    {
        TCustomExGridDropDown::DoGridGetAlignment(s, r, c, h, v);
        // A descendant's own rule on top of the column's alignment.
        if (c == 1)
            h = taRightJustify;
    }
    void DoGridSpinClick(QObject* s, int c, int r, int value, bool upDown) override
    {
        calls.push_back(QStringLiteral("SpinClick %1").arg(value));
        TCustomExGridDropDown::DoGridSpinClick(s, c, r, value, upDown);
    }
};

} // namespace

TEST(GridDropDownRelays, OverriddenRelaysSeeTheOpenGridsEvents)
{
    TForm form;
    form.SetBounds(100, 100, 400, 300);
    RecordingGridDropDown drop(&form);
    drop.SetBounds(20, 20, 200, 21);
    for (const char* header : {"Code", "Name"})
        drop.Columns().Add()->SetHeader(QLatin1String(header));
    drop.SetLookupColumn(1);
    drop.SetAutoSizeColumns(false);
    for (const char* name : {"Apple", "Banana", "Cherry", "Date"})
        drop.Items().Add()->SetText({QStringLiteral("C"), QLatin1String(name)});
    int mouseDowns = 0, keyDowns = 0;
    drop.OnGridMouseDown = [&](QObject*, TMouseButton, TShiftState, int, int) { ++mouseDowns; };
    drop.OnGridKeyDown = [&](QObject* sender, int&, TShiftState) {
        EXPECT_EQ(sender, &drop);
        ++keyDowns;
    };
    form.Show();
    Settle();
    drop.setFocus();
    testsupport::Click(drop.Button()->Button());
    Settle();
    ASSERT_TRUE(drop.DroppedDown());
    auto& grid = *drop.InnerGrid();

    // Through the grid's own alignment request: the column's, then ours.
    TAlignment h = taLeftJustify;
    TVAlignment v{};
    grid.OnGetAlignment(&grid, 1, 1, h, v);
    EXPECT_EQ(h, taRightJustify);

    // A right-button press and release on a data row: relayed, not selecting.
    const TRect cell = grid.CellRect(1, 2);
    const QPoint at((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
    mouse::mouseClick(&grid, Qt::RightButton, Qt::NoModifier, at);
    Settle();
    EXPECT_EQ(drop.calls, (std::vector<QString>{QStringLiteral("MouseDown"), QStringLiteral("MouseUp")}));
    EXPECT_EQ(mouseDowns, 1);
    EXPECT_TRUE(drop.DroppedDown());

    // A key and a character typed in the open grid.
    drop.calls.clear();
    grid.setFocus();
    testsupport::KeyClick(Qt::Key_Down);
    testsupport::KeyClick(Qt::Key_C, Qt::NoModifier, QStringLiteral("c"));
    ASSERT_GE(drop.calls.size(), 2u);
    EXPECT_EQ(drop.calls.front(), QStringLiteral("KeyDown %1").arg(VK_DOWN));
    EXPECT_TRUE(std::find(drop.calls.begin(), drop.calls.end(), QStringLiteral("KeyPress c")) != drop.calls.end());
    EXPECT_GE(keyDowns, 1);

    // The spin relay exists for descendants too, though the grid never raises it.
    int spins = 0;
    drop.OnGridSpinClick = [&](QObject*, int, int, int value, bool) { spins += value; };
    TCustomExGridDropDown& base = drop;
    struct Caller : TCustomExGridDropDown
    {
        static void Spin(TCustomExGridDropDown& d, int value) { (d.*(&Caller::DoGridSpinClick))(&d, 0, 1, value, true); }
    };
    Caller::Spin(base, 5);
    EXPECT_EQ(spins, 5);
    EXPECT_EQ(drop.calls.back(), QStringLiteral("SpinClick 5"));
    drop.HideDropDown(true);
}
