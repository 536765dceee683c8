#pragma once

#include <QString>

namespace platform {

// One plain HTTP/1.0 GET. A transport error, a refused port, a time-out or a
// status other than 2xx counts as an empty reply; error then says why.
QString HttpGet(const QString& url, int timeoutMs, QString* error = nullptr);

} // namespace platform
