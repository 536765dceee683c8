#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>

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

} // namespace testsupport
