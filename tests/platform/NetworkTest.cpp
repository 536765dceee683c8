#include "platform/HttpClient.h"
#include "platform/IcmpEcho.h"
#include "platform/UdpEndpoint.h"
#include "support/LocalHttpServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace platform;
using Clock = std::chrono::steady_clock;

namespace {

long long MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Collects datagrams handed over by a receive thread.
struct Inbox
{
    std::mutex lock;
    std::condition_variable arrived;
    std::vector<QByteArray> datagrams;
    quint16 lastPeerPort = 0;
    QString lastPeer;

    UdpEndpoint::Receiver Receiver()
    {
        return [this](const QByteArray& d, const QString& peer, quint16 port) {
            std::lock_guard<std::mutex> g(lock);
            datagrams.push_back(d);
            lastPeer = peer;
            lastPeerPort = port;
            arrived.notify_all();
        };
    }
    bool WaitFor(size_t count)
    {
        std::unique_lock<std::mutex> g(lock);
        return arrived.wait_for(g, std::chrono::seconds(5), [&] { return datagrams.size() >= count; });
    }
};

int FreeTcpPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

} // namespace

TEST(Udp, DatagramsArriveOnTheReceiveThreadInOrder)
{
    Inbox inbox;
    UdpEndpoint converter;
    converter.SetReceiver(inbox.Receiver());
    ASSERT_TRUE(converter.Bind(0, "127.0.0.1"));
    ASSERT_NE(converter.LocalPort(), 0);

    UdpEndpoint scanner;
    QString error;
    ASSERT_TRUE(scanner.Bind(0, {}, &error)) << error.toStdString();
    const std::thread::id testThread = std::this_thread::get_id();
    std::thread::id receiverThread;
    converter.SetReceiver([&](const QByteArray& d, const QString& p, quint16 port) {
        receiverThread = std::this_thread::get_id();
        inbox.Receiver()(d, p, port);
    });
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(scanner.SendTo("127.0.0.1", converter.LocalPort(), QByteArray::number(i), &error));
    const QByteArray big(8192, 'x');
    ASSERT_TRUE(scanner.SendTo("127.0.0.1", converter.LocalPort(), big));
    ASSERT_TRUE(inbox.WaitFor(21));
    converter.Close();
    EXPECT_FALSE(converter.IsOpen());
    EXPECT_NE(receiverThread, testThread);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(inbox.datagrams[static_cast<size_t>(i)], QByteArray::number(i));
    EXPECT_EQ(inbox.datagrams[20], big) << "the whole 8192-byte buffer is delivered";
    EXPECT_EQ(inbox.lastPeer, "127.0.0.1");
    EXPECT_EQ(inbox.lastPeerPort, scanner.LocalPort());
}

TEST(Udp, TextCommandsAreSevenBit)
{
    EXPECT_EQ(UdpEndpoint::SevenBitText(QString::fromUtf8("AT+MODE=\xC3\xA9\xE2\x82\xAC\x7F")), QByteArray("AT+MODE=??\x7F"));

    Inbox inbox;
    UdpEndpoint peer;
    peer.SetReceiver(inbox.Receiver());
    ASSERT_TRUE(peer.Bind(0, "127.0.0.1"));
    UdpEndpoint sender;  // binds itself to a free port on first send
    ASSERT_TRUE(sender.SendText("127.0.0.1", peer.LocalPort(), QString::fromUtf8("K\xC3\xBC")));
    EXPECT_TRUE(sender.IsOpen());
    ASSERT_TRUE(inbox.WaitFor(1));
    EXPECT_EQ(inbox.datagrams[0], QByteArray("K?"));
}

TEST(Udp, FailuresAreReportedNotThrown)
{
    UdpEndpoint first;
    ASSERT_TRUE(first.Bind(0, "127.0.0.1"));
    UdpEndpoint second;
    QString error;
    EXPECT_FALSE(second.Bind(first.LocalPort(), "127.0.0.1", &error)) << "port taken";
    EXPECT_TRUE(error.contains(QString::number(first.LocalPort())));
    EXPECT_FALSE(second.IsOpen());
    EXPECT_FALSE(second.Bind(0, "203.0.113.7", &error)) << "not a local address";
    EXPECT_FALSE(second.SendTo("", 10000, "x", &error));
    EXPECT_FALSE(error.isEmpty());
    // Binding again and closing twice are harmless.
    EXPECT_TRUE(first.Bind(0));
    first.Close();
    first.Close();
}

TEST(Icmp, LoopbackAnswersAndAnEmptyAddressFails)
{
    EchoResult r = IcmpEcho("127.0.0.1", "127.0.0.1", 400);
    if (r.status == EchoStatus::Failed && r.error.contains("ICMP socket"))
        GTEST_SKIP() << "this machine allows no ICMP socket: " << r.error.toStdString();
    ASSERT_EQ(r.status, EchoStatus::Answered) << r.error.toStdString();
    EXPECT_EQ(r.bytesReceived, kEchoPacketSize);

    // An echo that nobody answers is not tried here: tests send nothing
    // beyond the loopback range. The update window's time-out path is tested
    // through its replaceable echo client.
    r = IcmpEcho("", "", 200);
    EXPECT_EQ(r.status, EchoStatus::Failed);
    EXPECT_FALSE(r.error.isEmpty());
}

TEST(Http, GetSendsHttp10WithTheProgramsHeaders)
{
    LocalHttpServer server("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n1.0.3");
    QString error;
    const QString body = HttpGet(QStringLiteral("http://127.0.0.1:%1/home/download/GetversionSW.asp?nomesw=DIZ5U15").arg(server.Port()),
                                 3000, &error);
    EXPECT_EQ(body, "1.0.3") << error.toStdString();
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& request = requests[0];
    EXPECT_EQ(request.rfind("GET /home/download/GetversionSW.asp?nomesw=DIZ5U15 HTTP/1.0\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nAccept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"), std::string::npos);
    EXPECT_EQ(request.find("Cookie"), std::string::npos);
}

TEST(Http, TransportErrorsGiveAnEmptyReply)
{
    QString error;
    EXPECT_TRUE(HttpGet(QStringLiteral("http://127.0.0.1:%1/").arg(FreeTcpPort()), 2000, &error).isEmpty()) << "refused";
    EXPECT_FALSE(error.isEmpty());

    {
        LocalHttpServer silent("", true);
        const auto start = Clock::now();
        error.clear();
        EXPECT_TRUE(HttpGet(QStringLiteral("http://127.0.0.1:%1/").arg(silent.Port()), 300, &error).isEmpty());
        EXPECT_LT(MillisecondsSince(start), 2000);
        EXPECT_FALSE(error.isEmpty()) << "time-out";
    }
    {
        LocalHttpServer notFound("HTTP/1.0 404 Not Found\r\n\r\nmissing");
        EXPECT_TRUE(HttpGet(QStringLiteral("http://127.0.0.1:%1/x").arg(notFound.Port()), 2000, &error).isEmpty());
        EXPECT_TRUE(error.contains("404"));
    }
    {
        LocalHttpServer garbage("hello there");
        EXPECT_TRUE(HttpGet(QStringLiteral("http://127.0.0.1:%1/").arg(garbage.Port()), 2000, &error).isEmpty());
    }
    EXPECT_TRUE(HttpGet("not a url", 100, &error).isEmpty());
    EXPECT_TRUE(HttpGet("ftp://127.0.0.1/", 100, &error).isEmpty());
}
