#include "platform/HourglassCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

HourglassCursor::HourglassCursor()
{
    // Without an application object there is no cursor to change.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        shown_ = true;
    }
}

HourglassCursor::~HourglassCursor()
{
    if (shown_)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace platform
