#include "platform/Regional.h"

#include <QLocale>

namespace platform {

QChar DecimalSeparatorFrom(const QString& regionalSetting)
{
    return regionalSetting == QStringLiteral(".") ? QChar(u'.') : QChar(u',');
}

QChar DecimalSeparator()
{
    return DecimalSeparatorFrom(QLocale::system().decimalPoint());
}

} // namespace platform
