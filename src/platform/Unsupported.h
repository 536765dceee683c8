#pragma once

#include <QString>

namespace platform {

// Services of the desktop the program was designed for that this system lacks
// altogether (office automation servers, the registry...). Calling one fails
// with a message that says so.
QString NotAvailableMessage(const QString& service);

// The automation servers the grid's exchange functions ask for by name.
bool CreateAutomationObject(const QString& serverName, QString* error = nullptr);

} // namespace platform
