#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QtCore/qnamespace.h>

#include <ostream>

class QWidget;

// Readable values in test failures.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace testsupport {

QByteArray ReadAll(const QString& path);
bool WriteAll(const QString& path, const QByteArray& bytes);

// A left click (press and release) at a point of the widget, its centre by default.
void Click(QWidget* widget, QPoint at = QPoint(-1, -1));
// Types text into the focused part of a widget, one key event per character.
void Type(QWidget* widget, const QString& text);

// One key pressed and released as the window system delivers it: the
// shortcut check, the press and the release, each to the widget that has the
// focus at that moment. Enter, Escape, Tab, Backspace and Space get their
// character when none is given.
void KeyClick(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier, QString text = QString());
// Types characters to the focused widget, a KeyClick each (Shift for capitals).
void TypeKeys(const QString& text);
// One wheel step at the middle of a widget; positive turns away from the user.
void Wheel(QWidget* widget, int delta);

// Once the next modal dialog is up (a real one: platform::ShowRealDialogs),
// presses the key in it as KeyClick does, at its focused control, and notes
// its caption. A dialog the key does not close is closed and reported as a
// test failure, so that nothing waits.
void PressInNextDialog(int qtKey, const QString& text, QString* caption = nullptr);

} // namespace testsupport
