// The item selector: layout in columns, selection by the navigation keys'
// operations, hot tracking under the mouse, lookup by caption.
#include "controls/ExDropDown.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace platform;

namespace {

class SelectorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        selector.resize(300, 200);
        selector.OnItemSize = [](QObject*, TSize& s) { s = TSize{40, 20}; };
        selector.OnItemSelect = [this](QObject*) { ++selects; };
        for (int i = 0; i < 7; ++i)
            selector.Items().Add()->SetCaption(QStringLiteral("Item %1").arg(i));
        selector.SetColumns(3);
        selector.show();
        QApplication::processEvents();
    }
    void MoveTo(int x, int y)
    {
        QWidget* panel = selector.Panel();
        const QPoint at(x, y);
        QMouseEvent move(QEvent::MouseMove, at, panel->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(panel, &move);
    }

    TExCustomItemSelector selector;
    int selects = 0;
};

} // namespace

TEST_F(SelectorTest, ItemsLieInColumns)
{
    const int xs[] = {2, 42, 82, 2, 42, 82, 2};
    const int ys[] = {2, 2, 2, 22, 22, 22, 42};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(selector.Panel()->GetItemRect(i), Rect(xs[i], ys[i], xs[i] + 40, ys[i] + 20)) << i;
    EXPECT_EQ(selector.GetSelectorPanelSize().cx, 124);
    EXPECT_EQ(selector.GetSelectorPanelSize().cy, 64);
    EXPECT_EQ(selector.Panel()->GetItemRect(7), Rect(-1, -1, -1, -1));
    EXPECT_EQ(selector.Panel()->ItemAtPos(45, 25), 4);
    EXPECT_EQ(selector.Panel()->ItemAtPos(200, 150), -1);
}

TEST_F(SelectorTest, KeyboardSelectionStopsAtTheEnds)
{
    selector.SelectPrevious(); // nothing selected: the first
    EXPECT_EQ(selector.ItemIndex(), 0);
    selector.SelectPrevious();
    EXPECT_EQ(selector.ItemIndex(), 0);
    selector.SelectNext();
    selector.SelectNext();
    EXPECT_EQ(selector.ItemIndex(), 2);
    selector.SelectLast();
    EXPECT_EQ(selector.ItemIndex(), 6);
    const int before = selects;
    selector.SelectNext(); // no wrap, no event
    EXPECT_EQ(selector.ItemIndex(), 6);
    EXPECT_EQ(selects, before);
    selector.SetItemIndex(6); // the same index still reports
    EXPECT_EQ(selects, before + 1);
    selector.SelectFirst();
    EXPECT_EQ(selector.ItemIndex(), 0);

    selector.HotNext();
    EXPECT_EQ(selector.ItemHot(), 0);
    selector.HotNext();
    selector.HotPrevious();
    selector.HotPrevious();
    EXPECT_EQ(selector.ItemHot(), 0);
}

TEST_F(SelectorTest, MouseHotTracksAndSelects)
{
    selector.Items().Items(4)->SetHint(QStringLiteral("the fifth"));
    MoveTo(50, 30);
    EXPECT_EQ(selector.ItemHot(), 4);
    EXPECT_EQ(selector.Panel()->toolTip(), QStringLiteral("the fifth"));
    MoveTo(90, 5);
    EXPECT_EQ(selector.ItemHot(), 2);
    MoveTo(200, 150); // no item under the mouse
    EXPECT_EQ(selector.ItemHot(), -1);
    MoveTo(10, 45);
    EXPECT_EQ(selector.ItemHot(), 6);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(selector.Panel(), &leave);
    EXPECT_EQ(selector.ItemHot(), -1);

    testsupport::Click(selector.Panel(), QPoint(50, 10));
    EXPECT_EQ(selector.ItemIndex(), 1);
}

TEST_F(SelectorTest, LookupMatchesCaptionStartsWithoutTags)
{
    selector.Items().Items(3)->SetCaption(QStringLiteral("  <b>red</b>"));
    EXPECT_TRUE(selector.LookupItem(QStringLiteral("RE")));
    EXPECT_EQ(selector.ItemIndex(), 3);
    EXPECT_FALSE(selector.LookupItem(QStringLiteral("re"))); // callers pass upper case
    EXPECT_FALSE(selector.LookupItem(QString()));
    EXPECT_EQ(selector.ItemIndex(), 3);
}

TEST(ItemSelectorLayout, ColourItemsMeasureBoxGapAndCaption)
{
    TExCustomItemSelector selector;
    selector.SetSelectorType(stColor);
    EXPECT_EQ(selector.GetSelectorPanelSize().cx, 100); // no items
    EXPECT_EQ(selector.GetSelectorPanelSize().cy, 50);
    EXPECT_EQ(selector.GetVisibleItemCount(), 0);
    TSelectorItem* item = selector.Items().Add();
    item->SetColor(clRed);
    item->SetCaption(QStringLiteral("Red"));
    TBitmap measure(1, 1);
    measure.Canvas().SetFont(selector.ItemAppearance().Font());
    const TSize text = DrawHTMLCaption(measure.Canvas(), QStringLiteral("Red"), Rect(0, 0, 1000, 500), nullptr,
                                       false, nullptr);
    const TRect r = selector.Panel()->GetItemRect(0);
    EXPECT_EQ(r.Width(), 4 + 14 + 4 + text.cx + 4 + 4);
    EXPECT_EQ(r.Height(), std::max(14, text.cy) + 8);
}

TEST(ItemSelectorLayout, PanelNeedsASelectorAsOwner)
{
    QWidget plain;
    EXPECT_THROW(TCustomItemSelector panel(&plain), std::runtime_error);
}

TEST(ItemAppearanceTest, StylesAndAssign)
{
    TItemAppearance a;
    EXPECT_EQ(a.ColorHot, 0xD7FFFDu);
    EXPECT_EQ(a.ColorSelectedTo, 0x04B9F4u);
    a.SetColorStyle(scWindows7);
    EXPECT_EQ(a.BorderColor, 0xCEA27Du);
    EXPECT_EQ(a.ColorMirrorHot, clNone);
    a.ColorHotText = clRed;
    TItemAppearance b;
    b.Assign(a);
    EXPECT_EQ(b.ColorStyle(), scWindows7);
    EXPECT_EQ(b.ColorHotText, clRed);
    EXPECT_EQ(b.ColorSelected, 0xF9D8B9u);
}
