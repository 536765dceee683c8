#pragma once

#include <QByteArray>
#include <QString>

namespace testsupport {

QByteArray ReadAll(const QString& path);
bool WriteAll(const QString& path, const QByteArray& bytes);

} // namespace testsupport
