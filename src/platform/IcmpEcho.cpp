#include "platform/IcmpEcho.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace platform {

namespace {

uint16_t Checksum(const uint8_t* data, size_t size)
{
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<uint32_t>(data[i] << 8 | data[i + 1]);
    if (size & 1)
        sum += static_cast<uint32_t>(data[size - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

EchoResult Failed(const QString& message)
{
    EchoResult r;
    r.status = EchoStatus::Failed;
    r.error = message;
    return r;
}

QString Errno(int e) { return QString::fromLocal8Bit(strerror(e)); }

class Socket
{
public:
    explicit Socket(int fd) : fd(fd) {}
    ~Socket()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int fd;
};

std::atomic<uint16_t> g_sequence{1};

} // namespace

EchoResult IcmpEcho(const QString& host, const QByteArray& data, int timeoutMs,
                    const std::function<void()>& idle)
{
    const QByteArray name = host.trimmed().toUtf8();
    if (name.isEmpty())
        return Failed(QStringLiteral("No address to ping."));

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (const int rc = getaddrinfo(name.constData(), nullptr, &hints, &found); rc != 0 || !found)
        return Failed(QStringLiteral("Cannot resolve \"%1\": %2").arg(host, QString::fromLocal8Bit(gai_strerror(rc))));
    sockaddr_in target{};
    std::memcpy(&target, found->ai_addr, sizeof target);
    freeaddrinfo(found);

    // An unprivileged echo socket where the system allows one, a raw one otherwise.
    bool raw = false;
    Socket sock(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP));
    if (sock.fd < 0) {
        sock.fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        raw = true;
    }
    if (sock.fd < 0)
        return Failed(QStringLiteral("Cannot open an ICMP socket: %1").arg(Errno(errno)));

    const uint16_t id = static_cast<uint16_t>(getpid() & 0xFFFF);
    const uint16_t seq = g_sequence.fetch_add(1);
    std::vector<uint8_t> packet(sizeof(icmphdr) + kEchoPacketSize, 0);
    std::memcpy(packet.data() + sizeof(icmphdr), data.constData(),
                std::min<size_t>(static_cast<size_t>(data.size()), kEchoPacketSize));
    auto* header = reinterpret_cast<icmphdr*>(packet.data());
    header->type = ICMP_ECHO;
    header->code = 0;
    header->un.echo.id = htons(id);
    header->un.echo.sequence = htons(seq);
    header->checksum = 0;
    header->checksum = htons(Checksum(packet.data(), packet.size()));

    if (::sendto(sock.fd, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&target), sizeof target) < 0)
        return Failed(QStringLiteral("Cannot send to \"%1\": %2").arg(host, Errno(errno)));

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
    std::vector<uint8_t> reply(65536);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd pfd{sock.fd, POLLIN, 0};
        const int slice = idle ? static_cast<int>(std::min<long long>(left, 10)) : static_cast<int>(left);
        const int ready = ::poll(&pfd, 1, slice);
        if (ready < 0 && errno != EINTR)
            return Failed(QStringLiteral("Waiting for the echo failed: %1").arg(Errno(errno)));
        if (ready <= 0) {
            if (idle)
                idle();
            continue;
        }
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n = ::recvfrom(sock.fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 0)
            continue;
        size_t offset = 0;
        if (raw) {
            // Raw sockets see every ICMP packet, our own request on loopback too.
            if (n < static_cast<ssize_t>(sizeof(iphdr)))
                continue;
            offset = static_cast<size_t>(reinterpret_cast<iphdr*>(reply.data())->ihl) * 4;
        }
        if (n < static_cast<ssize_t>(offset + sizeof(icmphdr)))
            continue;
        const auto* answer = reinterpret_cast<const icmphdr*>(reply.data() + offset);
        if (answer->type != ICMP_ECHOREPLY || ntohs(answer->un.echo.sequence) != seq)
            continue;
        if (raw && (ntohs(answer->un.echo.id) != id || from.sin_addr.s_addr != target.sin_addr.s_addr))
            continue;
        EchoResult r;
        r.status = EchoStatus::Answered;
        r.bytesReceived = static_cast<int>(n - static_cast<ssize_t>(offset + sizeof(icmphdr)));
        return r;
    }
    EchoResult r;
    r.status = EchoStatus::TimedOut;
    return r;
}

} // namespace platform
