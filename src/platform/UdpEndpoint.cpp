#include "platform/UdpEndpoint.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

QString Errno(int e) { return QString::fromLocal8Bit(strerror(e)); }

bool Fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

bool Resolve(const QString& address, quint16 port, sockaddr_in* out, QString* error)
{
    *out = sockaddr_in{};
    out->sin_family = AF_INET;
    out->sin_port = htons(port);
    const QByteArray name = address.trimmed().toUtf8();
    if (name.isEmpty()) {
        out->sin_addr.s_addr = htonl(INADDR_ANY);
        return true;
    }
    if (inet_pton(AF_INET, name.constData(), &out->sin_addr) == 1)
        return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* list = nullptr;
    if (const int rc = getaddrinfo(name.constData(), nullptr, &hints, &list); rc != 0 || !list)
        return Fail(error, QStringLiteral("Cannot resolve \"%1\": %2").arg(address, QString::fromLocal8Bit(gai_strerror(rc))));
    out->sin_addr = reinterpret_cast<sockaddr_in*>(list->ai_addr)->sin_addr;
    freeaddrinfo(list);
    return true;
}

} // namespace

UdpEndpoint::~UdpEndpoint() { Close(); }

void UdpEndpoint::SetReceiver(Receiver receiver)
{
    std::lock_guard<std::mutex> lock(receiverLock_);
    receiver_ = std::move(receiver);
}

bool UdpEndpoint::Bind(quint16 port, const QString& address, QString* error)
{
    Close();
    sockaddr_in local{};
    if (!Resolve(address, port, &local, error))
        return false;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Fail(error, QStringLiteral("Cannot open a UDP socket: %1").arg(Errno(errno)));
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &yes, sizeof yes);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) < 0) {
        const int e = errno;
        ::close(fd);
        return Fail(error, QStringLiteral("Cannot bind UDP port %1: %2").arg(port).arg(Errno(e)));
    }
    const int wake = ::eventfd(0, EFD_CLOEXEC);
    if (wake < 0) {
        const int e = errno;
        ::close(fd);
        return Fail(error, QStringLiteral("Cannot start the UDP receiver: %1").arg(Errno(e)));
    }
    fd_ = fd;
    wakeFd_ = wake;
    thread_ = std::thread(&UdpEndpoint::ReceiveLoop, this);
    return true;
}

quint16 UdpEndpoint::LocalPort() const
{
    if (fd_ < 0)
        return 0;
    sockaddr_in local{};
    socklen_t len = sizeof local;
    if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &len) < 0)
        return 0;
    return ntohs(local.sin_port);
}

bool UdpEndpoint::SendTo(const QString& address, quint16 port, const QByteArray& datagram, QString* error)
{
    if (fd_ < 0 && !Bind(0, {}, error))
        return false;
    if (address.trimmed().isEmpty())
        return Fail(error, QStringLiteral("No address to send to."));
    sockaddr_in peer{};
    if (!Resolve(address, port, &peer, error))
        return false;
    const ssize_t n = ::sendto(fd_, datagram.constData(), static_cast<size_t>(datagram.size()), 0,
                               reinterpret_cast<sockaddr*>(&peer), sizeof peer);
    if (n < 0)
        return Fail(error, QStringLiteral("Cannot send to %1:%2: %3").arg(address).arg(port).arg(Errno(errno)));
    return true;
}

QByteArray UdpEndpoint::SevenBitText(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text)
        out.append(c.unicode() > 127 ? '?' : static_cast<char>(c.unicode()));
    return out;
}

bool UdpEndpoint::SendText(const QString& address, quint16 port, const QString& text, QString* error)
{
    return SendTo(address, port, SevenBitText(text), error);
}

void UdpEndpoint::Close()
{
    if (thread_.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t w = ::write(wakeFd_, &one, sizeof one);
        thread_.join();
    }
    if (fd_ >= 0)
        ::close(fd_);
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
    fd_ = -1;
    wakeFd_ = -1;
}

void UdpEndpoint::ReceiveLoop()
{
    char buffer[kReceiveBufferSize];
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t n = ::recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 0)
            continue;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
        const QByteArray datagram(buffer, n);
        std::lock_guard<std::mutex> lock(receiverLock_);
        if (receiver_)
            receiver_(datagram, QString::fromLatin1(text), ntohs(from.sin_port));
    }
}

} // namespace platform
