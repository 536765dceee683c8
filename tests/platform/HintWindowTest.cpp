// The application's hint window class and the drop shadow of hint windows.
#include "platform/Controls.h"
#include "platform/HintWindow.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

using namespace platform;

namespace {

struct MarkedHintWindow : THintWindow
{
    using THintWindow::THintWindow;
};

THintWindow* MarkedClass(QWidget* parent) { return new MarkedHintWindow(parent); }

bool IsMarked(THintWindow* w) { return dynamic_cast<MarkedHintWindow*>(w) != nullptr; }

} // namespace

TEST(HintWindowClass, PlainUntilSetAndPlainAgainForNone)
{
    std::unique_ptr<THintWindow> plain(CreateHintWindow(nullptr));
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(IsMarked(plain.get()));
    EXPECT_EQ(HintWindowClass(), &PlainHintWindow);

    SetHintWindowClass(&MarkedClass);
    std::unique_ptr<THintWindow> marked(CreateHintWindow(nullptr));
    EXPECT_TRUE(IsMarked(marked.get()));
    EXPECT_EQ(HintWindowClass(), &MarkedClass);

    SetHintWindowClass(nullptr);
    std::unique_ptr<THintWindow> again(CreateHintWindow(nullptr));
    EXPECT_FALSE(IsMarked(again.get()));
}

TEST(DropShadow, FollowsItsWindowAndGoesWithIt)
{
    auto window = std::make_unique<THintWindow>();
    AddDropShadow(window.get());
    AddDropShadow(window.get());
    QWidget* shadow = DropShadowOf(window.get());
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(window->findChildren<QWidget*>().size(), 1) << "one shadow however often it is asked for";
    EXPECT_FALSE(shadow->isVisible()) << "a hidden window casts none";

    const QPoint d(DropShadowWidth, DropShadowWidth);
    struct Step
    {
        QRect bounds;
    } steps[] = {{{100, 120, 80, 30}}, {{300, 40, 80, 30}}, {{300, 40, 140, 60}}};
    for (const Step& s : steps) {
        window->ActivateHint(Rect(s.bounds.left(), s.bounds.top(), s.bounds.right() + 1, s.bounds.bottom() + 1),
                             QStringLiteral("text"));
        QApplication::processEvents();
        EXPECT_TRUE(shadow->isVisible());
        EXPECT_EQ(shadow->geometry(), s.bounds.translated(d));
        // The band the window leaves uncovered, nothing under the window.
        const QRegion expected = QRegion(0, 0, s.bounds.width(), s.bounds.height()) -
                                 QRegion(-d.x(), -d.y(), s.bounds.width(), s.bounds.height());
        EXPECT_EQ(shadow->mask(), expected);
    }
    window->hide();
    EXPECT_FALSE(shadow->isVisible());

    QPointer<QWidget> gone(shadow);
    window.reset();
    EXPECT_TRUE(gone.isNull());
    EXPECT_EQ(DropShadowOf(nullptr), nullptr);
}
