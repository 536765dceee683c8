#pragma once

#include <QChar>
#include <QString>

namespace platform {

// The decimal separator of the user's regional settings. Only "," and "." are
// accepted; anything else counts as ",".
QChar DecimalSeparator();
QChar DecimalSeparatorFrom(const QString& regionalSetting);

} // namespace platform
