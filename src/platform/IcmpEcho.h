#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace platform {

enum class EchoStatus { Answered, TimedOut, Failed };

struct EchoResult
{
    EchoStatus status = EchoStatus::Failed;
    int bytesReceived = 0;
    QString error;  // set when Failed
};

// One ICMP echo request over IPv4. The data is carried in a packet of
// kEchoPacketSize bytes (zero-padded or cut). idle, when given, runs between
// short waits so a user interface keeps painting.
constexpr int kEchoPacketSize = 1024;
EchoResult IcmpEcho(const QString& host, const QByteArray& data, int timeoutMs,
                    const std::function<void()>& idle = {});

} // namespace platform
