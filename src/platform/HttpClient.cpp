#include "platform/HttpClient.h"

#include <QByteArray>
#include <QUrl>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

QString Errno(int e) { return QString::fromLocal8Bit(strerror(e)); }

struct Fd
{
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Connects with a deadline; returns false with a message.
bool Connect(const QByteArray& host, int port, Clock::time_point deadline, Fd& out, QString* why)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const QByteArray service = QByteArray::number(port);
    if (const int rc = getaddrinfo(host.constData(), service.constData(), &hints, &list); rc != 0) {
        *why = QStringLiteral("Cannot resolve \"%1\": %2").arg(QString::fromUtf8(host), QString::fromLocal8Bit(gai_strerror(rc)));
        return false;
    }
    QString last = QStringLiteral("no address");
    for (addrinfo* a = list; a; a = a->ai_next) {
        Fd s;
        s.fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (s.fd < 0) {
            last = Errno(errno);
            continue;
        }
        if (::connect(s.fd, a->ai_addr, a->ai_addrlen) < 0 && errno != EINPROGRESS) {
            last = Errno(errno);
            continue;
        }
        pollfd p{s.fd, POLLOUT, 0};
        if (::poll(&p, 1, MillisecondsLeft(deadline)) <= 0) {
            last = QStringLiteral("connection timed out");
            continue;
        }
        int err = 0;
        socklen_t len = sizeof err;
        getsockopt(s.fd, SOL_SOCKET, SO_ERROR, &err, &len);
        if (err != 0) {
            last = Errno(err);
            continue;
        }
        out.fd = s.fd;
        s.fd = -1;
        freeaddrinfo(list);
        return true;
    }
    freeaddrinfo(list);
    *why = QStringLiteral("Cannot connect to \"%1\": %2").arg(QString::fromUtf8(host), last);
    return false;
}

QString Fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return {};
}

} // namespace

QString HttpGet(const QString& url, int timeoutMs, QString* error)
{
    const QUrl u(url);
    if (!u.isValid() || u.scheme().compare(QStringLiteral("http"), Qt::CaseInsensitive) != 0 || u.host().isEmpty())
        return Fail(error, QStringLiteral("Not a plain HTTP address: \"%1\"").arg(url));

    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
    Fd sock;
    QString why;
    if (!Connect(u.host().toUtf8(), u.port(80), deadline, sock, &why))
        return Fail(error, why);

    QByteArray target = u.path(QUrl::FullyEncoded).toUtf8();
    if (target.isEmpty())
        target = "/";
    if (u.hasQuery())
        target += "?" + u.query(QUrl::FullyEncoded).toUtf8();
    QByteArray request = "GET " + target + " HTTP/1.0\r\n";
    request += "Host: " + u.host().toUtf8();
    if (u.port() > 0)
        request += ":" + QByteArray::number(u.port());
    request += "\r\n"
               "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
               "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
               "\r\n";

    qsizetype sent = 0;
    while (sent < request.size()) {
        pollfd p{sock.fd, POLLOUT, 0};
        if (::poll(&p, 1, MillisecondsLeft(deadline)) <= 0)
            return Fail(error, QStringLiteral("Sending the request timed out."));
        const ssize_t n = ::send(sock.fd, request.constData() + sent, static_cast<size_t>(request.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return Fail(error, QStringLiteral("Sending the request failed: %1").arg(Errno(errno)));
        if (n > 0)
            sent += n;
    }

    // HTTP/1.0: the server closes the connection after the body.
    QByteArray response;
    char buffer[8192];
    for (;;) {
        pollfd p{sock.fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, MillisecondsLeft(deadline));
        if (ready == 0)
            return Fail(error, QStringLiteral("The server did not answer in time."));
        if (ready < 0 && errno != EINTR)
            return Fail(error, QStringLiteral("Reading the answer failed: %1").arg(Errno(errno)));
        const ssize_t n = ::recv(sock.fd, buffer, sizeof buffer, 0);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            return Fail(error, QStringLiteral("Reading the answer failed: %1").arg(Errno(errno)));
        }
        response.append(buffer, n);
    }

    const qsizetype headerEnd = response.indexOf("\r\n\r\n");
    if (headerEnd < 0 || !response.startsWith("HTTP/"))
        return Fail(error, QStringLiteral("The server's answer is not HTTP."));
    const QByteArray head = response.left(headerEnd);
    const QList<QByteArray> statusLine = head.left(head.indexOf("\r\n") < 0 ? head.size() : head.indexOf("\r\n")).split(' ');
    const int status = statusLine.size() > 1 ? statusLine[1].toInt() : 0;
    if (status < 200 || status > 299)
        return Fail(error, QStringLiteral("The server answered with status %1.").arg(status));
    const QByteArray body = response.mid(headerEnd + 4);
    if (head.toLower().contains("charset=utf-8"))
        return QString::fromUtf8(body);
    return QString::fromLatin1(body);
}

} // namespace platform
