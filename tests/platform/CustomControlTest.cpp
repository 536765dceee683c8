#include "platform/CustomControl.h"
#include "platform/Forms.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>

#include <gtest/gtest.h>

using namespace platform;

namespace {

struct Probe : TCustomControl
{
    explicit Probe(QWidget* parent = nullptr) : TCustomControl(parent) { resize(40, 20); }
    std::vector<QString> log;
    void Paint() override
    {
        Canvas().Brush().SetColor(clRed);
        Canvas().FillRect(Rect(0, 0, 10, 10));
        Canvas().Pen().SetColor(clBlue);
        Canvas().MoveTo(0, 15);
        Canvas().LineTo(40, 15);
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override
    {
        log.push_back(QStringLiteral("down %1 %2 %3,%4").arg(static_cast<int>(b)).arg(s).arg(x).arg(y));
        TCustomControl::MouseDown(b, s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override
    {
        log.push_back(QStringLiteral("up %1 %2,%3").arg(static_cast<int>(b)).arg(x).arg(y));
    }
    void Click() override { log.push_back(QStringLiteral("click")); }
    void DblClick() override { log.push_back(QStringLiteral("dblclick")); }
    void MouseEnter() override { log.push_back(QStringLiteral("enter")); }
    void MouseLeave() override { log.push_back(QStringLiteral("leave")); }
    void KeyDown(int& key, TShiftState s) override
    {
        log.push_back(QStringLiteral("keydown %1 %2").arg(key).arg(s));
        if (key == VK_DELETE)
            key = 0;
    }
    void KeyPress(QChar& key) override { log.push_back(QStringLiteral("keypress %1").arg(key)); }
};

void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton b, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b);
    QMouseEvent e(type, p, w->mapToGlobal(p), b, held, m);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST(CustomControl, PaintsThroughItsCanvas)
{
    Probe p;
    const QImage img = p.grab().toImage();
    EXPECT_EQ(img.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(9, 9), QColor(255, 0, 0));
    EXPECT_NE(img.pixelColor(10, 9), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(39, 15), QColor(0, 0, 255));
    EXPECT_FALSE(p.Canvas().IsBound());  // only while painting
}

TEST(CustomControl, MouseButtonsShiftStateAndClicks)
{
    Probe p;
    Mouse(&p, QEvent::MouseButtonPress, QPoint(5, 6), Qt::LeftButton, Qt::ShiftModifier);
    Mouse(&p, QEvent::MouseButtonRelease, QPoint(5, 6), Qt::LeftButton);
    EXPECT_EQ(p.log, (std::vector<QString>{QStringLiteral("down 0 %1 5,6").arg(ssShift | ssLeft), QStringLiteral("click"),
                                           QStringLiteral("up 0 5,6")}));
    p.log.clear();
    // Released away from the control: no click.
    Mouse(&p, QEvent::MouseButtonPress, QPoint(5, 6), Qt::LeftButton);
    Mouse(&p, QEvent::MouseButtonRelease, QPoint(100, 6), Qt::LeftButton);
    EXPECT_EQ(p.log.back(), QStringLiteral("up 0 100,6"));
    EXPECT_EQ(std::count(p.log.begin(), p.log.end(), QStringLiteral("click")), 0);
    p.log.clear();
    Mouse(&p, QEvent::MouseButtonPress, QPoint(1, 1), Qt::RightButton);
    EXPECT_EQ(p.log.back(), QStringLiteral("down 1 %1 1,1").arg(ssRight));
    p.log.clear();

    Mouse(&p, QEvent::MouseButtonDblClick, QPoint(2, 2), Qt::LeftButton);
    EXPECT_EQ(p.log, (std::vector<QString>{QStringLiteral("down 0 %1 2,2").arg(ssLeft | ssDouble), QStringLiteral("dblclick")}));
    p.log.clear();
    p.SetDoubleClicks(false);   // a double click is then a second press
    Mouse(&p, QEvent::MouseButtonDblClick, QPoint(2, 2), Qt::LeftButton);
    EXPECT_EQ(p.log, (std::vector<QString>{QStringLiteral("down 0 %1 2,2").arg(ssLeft)}));
}

TEST(CustomControl, EnterLeaveAndKeys)
{
    Probe p;
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&p, &enter);
    EXPECT_TRUE(p.MouseInControl());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&p, &leave);
    EXPECT_FALSE(p.MouseInControl());
    EXPECT_EQ(p.log, (std::vector<QString>{QStringLiteral("enter"), QStringLiteral("leave")}));
    p.log.clear();

    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QStringLiteral("a"));
    QApplication::sendEvent(&p, &a);
    EXPECT_EQ(p.log, (std::vector<QString>{QStringLiteral("keydown 65 %1").arg(ssCtrl), QStringLiteral("keypress a")}));
    p.log.clear();
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
    QApplication::sendEvent(&p, &del);
    EXPECT_EQ(p.log, (std::vector<QString>{QStringLiteral("keydown 46 0")}));  // swallowed: no character
}

TEST(CustomControl, PropertiesBehaveAsOnThePlatform)
{
    TForm form;
    auto* p = new Probe(&form);
    p->SetBounds(3, 4, 50, 22);
    EXPECT_EQ(p->BoundsRect(), Rect(3, 4, 53, 26));
    EXPECT_TRUE(p->Visible());       // its own flag, though the form is hidden
    EXPECT_FALSE(p->Showing());
    p->SetVisible(false);
    EXPECT_FALSE(p->Visible());
    p->SetVisible(true);
    p->SetEnabled(false);
    EXPECT_FALSE(p->Enabled());
    p->SetEnabled(true);
    p->SetHint(QStringLiteral("Close Configurator"));
    EXPECT_EQ(p->toolTip(), QStringLiteral("Close Configurator"));
    p->SetCursor(crHandPoint);
    EXPECT_EQ(p->Cursor(), crHandPoint);
    EXPECT_EQ(p->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(p->TabStop());
    p->SetTabStop(false);
    EXPECT_FALSE(p->TabStop());
    TGraphicControl g(&form);
    EXPECT_FALSE(g.TabStop());
    EXPECT_EQ(g.focusPolicy(), Qt::NoFocus);
}
