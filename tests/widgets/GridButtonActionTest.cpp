// The grid button's action link: caption, checked state (Down) and group
// come from the action, and a click executes it.
#include "platform/Action.h"
#include "widgets/ExObj_Controls.h"

#include "WidgetTestHelpers.h"

#include <QWidget>

#include <gtest/gtest.h>

using namespace platform;
using namespace widgettest;

TEST(GridButtonAction, TheGridButtonTakesCaptionCheckedStateAndGroup)
{
    QWidget host;
    host.resize(300, 100);
    auto* first = new TExGridButton(&host);
    auto* second = new TExGridButton(&host);
    first->SetBounds(10, 10, 60, 22);
    second->SetBounds(80, 10, 60, 22);
    host.show();
    TAction a, b;
    a.SetCaption(QStringLiteral("One"));
    a.SetGroupIndex(3);
    b.SetGroupIndex(3);
    int runs = 0;
    a.OnExecute = [&](QObject*) { ++runs; };
    first->SetAction(&a);
    second->SetAction(&b);
    EXPECT_EQ(first->Caption(), QStringLiteral("One"));
    EXPECT_EQ(first->GroupIndex(), 3);
    a.SetChecked(true);
    EXPECT_TRUE(first->Down());
    // The other button of the group goes down: the first goes up and its
    // action is unchecked.
    b.SetChecked(true);
    EXPECT_TRUE(second->Down());
    EXPECT_FALSE(first->Down());
    EXPECT_FALSE(a.Checked());
    ClickAt(first, QPoint(20, 10));
    EXPECT_EQ(runs, 1);
    // An action that goes away leaves the button as it was.
    {
        TAction gone;
        gone.SetCaption(QStringLiteral("Gone"));
        second->SetAction(&gone);
    }
    EXPECT_EQ(second->Action(), nullptr);
    EXPECT_EQ(second->Caption(), QStringLiteral("Gone"));
}
