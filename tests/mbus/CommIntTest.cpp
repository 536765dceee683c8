// The serial component on a pseudo-terminal pair: the component opens the
// slave side, the test plays the device on the master side.

#include "mbus/CommInt.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <stdlib.h>
#include <thread>
#include <unistd.h>

namespace {

class CommIntTest : public ::testing::Test {
protected:
    int master = -1;
    QString slave;
    void SetUp() override
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        slave = QString::fromLocal8Bit(ptsname(master));
    }
    void TearDown() override { ::close(master); }
};

void Expect_Error(const std::function<void()>& f, const char* text, int code)
{
    try {
        f();
        ADD_FAILURE() << "no error for " << text;
    } catch (const ECommError& e) {
        EXPECT_EQ(e.ErrorCode, code) << text;
        EXPECT_EQ(e.Message(), QStringLiteral("%1 (Error: %2) ").arg(QString::fromLatin1(text)).arg(code));
    }
}

TEST_F(CommIntTest, ClosedComponentAndOpenErrors)
{
    TComm c;
    EXPECT_FALSE(c.Enabled());
    EXPECT_EQ(c.DeviceName(), QStringLiteral("Com2"));
    EXPECT_EQ(c.InQueCount(), -1);
    EXPECT_EQ(c.OutQueCount(), -1);
    EXPECT_FALSE(c.CTS());
    Expect_Error([&] { c.SetDTRState(true); }, "Port not open, unable to complete operation", -1);
    c.SetDeviceName(QStringLiteral("/nonexistent/ttyX"));
    Expect_Error([&] { c.Open(); }, "Error accessing specified device", 2);
    c.SetDeviceName(slave);
    c.Open();
    Expect_Error([&] { c.Open(); }, "Port already assigned (open)", -1);
    Expect_Error([&] { c.SetDeviceName(QStringLiteral("/dev/tty0")); }, "Port already assigned (open)", -1);
    c.SetDeviceName(slave);   // the same name is no change
    c.Close();
    EXPECT_FALSE(c.Enabled());
}

TEST_F(CommIntTest, LineSettingsReachTheBlock)
{
    TComm c;
    c.SetDeviceName(slave);
    c.SetBaudRate(br2400);   // closed: applied by Open
    c.SetFlowControl(fcNone);
    c.SetOptions(CommOption(coParityCheck));
    c.Open();
    EXPECT_EQ(c.DCB().BaudRate, 2400u);
    EXPECT_EQ(c.DCB().Flags, 0x3u);
    EXPECT_EQ(c.DCB().XonLim, 1024);
    EXPECT_EQ(c.DCB().XoffLim, 1024);
    c.SetBaudRate(br115200);   // open: at once
    EXPECT_EQ(c.DCB().BaudRate, 115200u);
    c.SetFlowControl(fcSoftware);
    EXPECT_EQ(c.DCB().Flags, 0x303u);
}

TEST_F(CommIntTest, ReadsWritesAndReportsEvents)
{
    TComm c;
    c.SetDeviceName(slave);
    c.SetFlowControl(fcNone);
    std::vector<int> order;
    uint32_t rxCount = 0;
    c.OnRxChar = [&](TCustomComm*, uint32_t n) {
        order.push_back(1);
        rxCount = n;
    };
    c.OnTxEmpty = [&](TCustomComm*) { order.push_back(2); };
    c.Open();
    char buf[16];
    EXPECT_EQ(c.Read(buf, sizeof buf), 0) << "nothing received: at once";

    EXPECT_EQ(c.Write("ping", 4), 4);
    char got[8] = {};
    ssize_t n = 0;
    for (int i = 0; i < 100 && n <= 0; ++i) {
        n = ::read(master, got, sizeof got);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(std::string(got, size_t(n > 0 ? n : 0)), "ping");

    ASSERT_EQ(::write(master, "\x10\x5B\x01\x5C\x16", 5), 5);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (rxCount == 0 && std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(rxCount, 5u);
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(std::count(order.begin(), order.end(), 1), 1);
    EXPECT_EQ(c.Read(buf, sizeof buf), 5);
    EXPECT_EQ(std::string(buf, 5), std::string("\x10\x5B\x01\x5C\x16", 5));

    // After Close no handler runs, even for events already on their way.
    c.Close();
    rxCount = 0;
    QCoreApplication::processEvents();
    EXPECT_EQ(rxCount, 0u);
}

} // namespace
