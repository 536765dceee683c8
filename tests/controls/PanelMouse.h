#pragma once

// Mouse input for the panel tests as the window system delivers it: each
// event sent to the widget with its button state.
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace mouse {

inline Qt::MouseButtons& HeldButtons()
{
    static Qt::MouseButtons held;
    return held;
}

inline void mouseMove(QWidget* w, QPoint at)
{
    QMouseEvent e(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, HeldButtons(), Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

inline void mousePress(QWidget* w, Qt::MouseButton b, Qt::KeyboardModifiers, QPoint at)
{
    mouseMove(w, at);
    HeldButtons() |= b;
    QMouseEvent e(QEvent::MouseButtonPress, at, w->mapToGlobal(at), b, HeldButtons(), Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

inline void mouseRelease(QWidget* w, Qt::MouseButton b, Qt::KeyboardModifiers, QPoint at)
{
    HeldButtons() &= ~Qt::MouseButtons(b);
    QMouseEvent e(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), b, HeldButtons(), Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

inline void mouseClick(QWidget* w, Qt::MouseButton b, Qt::KeyboardModifiers m, QPoint at)
{
    mousePress(w, b, m, at);
    mouseRelease(w, b, m, at);
}

} // namespace mouse
