#include "TestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

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

void PressInNextDialog(int qtKey, const QString& text, QString* caption)
{
    QTimer::singleShot(0, qApp, [=] {
        QPointer<QWidget> box = QApplication::activeModalWidget();
        if (!box) {
            ADD_FAILURE() << "no modal dialog is up";
            return;
        }
        if (caption)
            *caption = box->windowTitle();
        box->activateWindow();
        QApplication::processEvents();
        if (QWidget* focus = QApplication::focusWidget(); !focus || !box->isAncestorOf(focus)) {
            if (QWidget* inner = box->focusWidget())
                inner->setFocus();
        }
        KeyClick(qtKey, Qt::NoModifier, text);
        // A button's letter clicks it after a short animation.
        QElapsedTimer waited;
        waited.start();
        while (box && box->isVisible() && waited.elapsed() < 2000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (box && box->isVisible()) {
            ADD_FAILURE() << "the key did not answer the dialog";
            box->close();
        }
    });
}

} // namespace testsupport
