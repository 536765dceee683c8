#include "TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace testsupport {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void Click(QWidget* widget, QPoint at)
{
    if (at == QPoint(-1, -1))
        at = widget->rect().center();
    const QPoint global = widget->mapToGlobal(at);
    // The pointer comes to the point first, as a real click's does.
    QMouseEvent move(QEvent::MouseMove, at, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

void Type(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        const int key = c == QChar(13) ? int(Qt::Key_Return) : int(c.toUpper().unicode());
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

void KeyClick(int qtKey, Qt::KeyboardModifiers mods, QString text)
{
    QWidget* target = QApplication::focusWidget();
    if (!target)
        return;
    if (text.isEmpty()) {
        switch (qtKey) {
        case Qt::Key_Return: text = QStringLiteral("\r"); break;
        case Qt::Key_Escape: text = QString(QChar(27)); break;
        case Qt::Key_Tab: text = QStringLiteral("\t"); break;
        case Qt::Key_Backspace: text = QString(QChar(8)); break;
        case Qt::Key_Space: text = QStringLiteral(" "); break;
        default: break;
        }
    }
    QKeyEvent shortcut(QEvent::ShortcutOverride, qtKey, mods, text);
    QApplication::sendEvent(target, &shortcut);
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(target, &press);
    QWidget* after = QApplication::focusWidget() ? QApplication::focusWidget() : target;
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
    QApplication::sendEvent(after, &release);
}

void TypeKeys(const QString& text)
{
    for (const QChar c : text) {
        const int key = c.isLetter() && c.unicode() < 128 ? Qt::Key_A + (c.toUpper().unicode() - 'A')
                        : c == QLatin1Char(' ')           ? int(Qt::Key_Space)
                                                          : int(c.unicode());
        KeyClick(key, c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
    }
}

void Wheel(QWidget* widget, int delta)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent e(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &e);
}

} // namespace testsupport
