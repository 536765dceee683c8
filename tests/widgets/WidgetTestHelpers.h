#pragma once

// Input and picture helpers for the component tests.

#include "platform/Graphics.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRect>
#include <QWidget>

#include <functional>

namespace widgettest {

inline void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, p, w->mapToGlobal(p), button, held, mods);
    QApplication::sendEvent(w, &e);
}

inline void Press(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) { Mouse(w, QEvent::MouseButtonPress, p, b); }
inline void Release(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton)
{
    Mouse(w, QEvent::MouseButtonRelease, p, b);
}
inline void MoveTo(QWidget* w, QPoint p)
{
    QMouseEvent e(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
inline void ClickAt(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton)
{
    Press(w, p, b);
    Release(w, p, b);
}

inline void Enter(QWidget* w, QPoint p = QPoint(5, 5))
{
    QEnterEvent e(p, w->mapTo(w->window(), p), w->mapToGlobal(p));
    QApplication::sendEvent(w, &e);
}
inline void Leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

inline void Key(QWidget* w, int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
    QApplication::sendEvent(w, &release);
}

inline platform::TColor At(const QImage& img, int x, int y)
{
    return platform::FromQColor(img.pixelColor(x, y));
}

// The smallest rectangle holding every pixel that passes the test (empty
// when none does).
inline QRect Bounding(const QImage& img, const std::function<bool(QColor)>& test, QRect area = {})
{
    if (area.isNull())
        area = img.rect();
    QRect found;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(img.pixelColor(x, y)))
                found = found.united(QRect(x, y, 1, 1));
    return found;
}

inline int Count(const QImage& img, const std::function<bool(QColor)>& test, QRect area = {})
{
    if (area.isNull())
        area = img.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(img.pixelColor(x, y)))
                ++n;
    return n;
}

inline bool IsColor(QColor c, platform::TColor t) { return platform::FromQColor(c) == platform::ColorToRGB(t); }

// Saves a picture when WIDGETS_SCREENSHOT_DIR names a folder; the path or empty.
inline QString SaveScreenshot(const QImage& img, const QString& name)
{
    const QString dir = qEnvironmentVariable("WIDGETS_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return {};
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(name);
    return img.save(path) ? path : QString();
}

} // namespace widgettest
