#include "platform/Unsupported.h"

namespace platform {

QString NotAvailableMessage(const QString& service)
{
    return QStringLiteral("%1 is not available on this system.").arg(service);
}

bool CreateAutomationObject(const QString& serverName, QString* error)
{
    if (error)
        *error = NotAvailableMessage(QStringLiteral("The automation server \"%1\"").arg(serverName));
    return false;
}

} // namespace platform
