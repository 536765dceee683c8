// The serial component's line states, its event character and line-error
// events, and the open steps that can fail after the device is open.
// A pseudo-terminal has no modem lines and keeps no line counters, so the
// mapping from what a real port gives is tested as a table, and the pty
// shows what the component does when the port cannot tell.

#include "mbus/CommInt.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

class CommLineTest : public ::testing::Test {
protected:
    int master = -1;
    TComm c;
    void SetUp() override
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        c.SetDeviceName(QString::fromLocal8Bit(ptsname(master)));
        c.SetFlowControl(fcNone);
    }
    void TearDown() override
    {
        c.Close();
        ::close(master);
    }
    // Runs the main thread's events until the condition holds (or gives up).
    static bool Pump_Until(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < end)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return done();
    }
    std::string Master_Read()
    {
        char buf[64];
        const ssize_t n = ::read(master, buf, sizeof buf);
        return n > 0 ? std::string(buf, size_t(n)) : std::string();
    }
};

void Expect_Error(const std::function<void()>& f, const char* text, int code)
{
    try {
        f();
        ADD_FAILURE() << "no error for " << text;
    } catch (const ECommError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("%1 (Error: %2) ").arg(QString::fromLatin1(text)).arg(code));
    }
}

TEST(CommMapping, HoldFlagsFromWhatThePortGives)
{
    struct Case {
        bool ctsFlow;
        int modem;   // TIOCM bits, -1 unreadable
        bool stopped;
        uint32_t flags;
        const char* why;
    } const cases[] = {
        {true, 0, false, fCtsHold, "hardware flow, CTS low: output waits for CTS"},
        {true, TIOCM_CTS, false, 0, "CTS high: nothing held"},
        {false, 0, false, 0, "no hardware flow: CTS does not hold output"},
        {true, -1, false, 0, "lines unreadable (a pty): no hold claimed"},
        {true, TIOCM_DSR | TIOCM_CD, false, fCtsHold, "DSR and carrier never hold output on Linux"},
        {false, TIOCM_CTS, true, fXoffHold, "output stopped as if XOFF was received"},
        {true, 0, true, fCtsHold | fXoffHold, "both at once"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(HoldFlags(k.ctsFlow, k.modem, k.stopped), k.flags) << k.why;
}

TEST(CommMapping, LineCountersGiveErrorEvents)
{
    const TLineCounts base{3, 3, 3, 3, 3};
    struct Case {
        TLineCounts after;
        uint32_t mask;
        uint32_t errors;
        const char* why;
    } const cases[] = {
        {{3, 3, 3, 3, 3}, 0, 0, "nothing counted"},
        {{4, 3, 3, 3, 3}, EV_ERR, CE_FRAME, "framing error"},
        {{3, 5, 3, 3, 3}, EV_ERR, CE_OVERRUN, "overrun of the UART"},
        {{3, 3, 4, 3, 3}, EV_ERR, CE_RXPARITY, "parity error"},
        {{3, 3, 3, 3, 4}, EV_ERR, CE_RXOVER, "receive queue overflow"},
        {{3, 3, 3, 4, 3}, EV_BREAK, CE_BREAK, "a break is its own event"},
        {{4, 3, 4, 4, 3}, EV_ERR | EV_BREAK, CE_FRAME | CE_RXPARITY | CE_BREAK, "several at once"},
        {{0, 0, 0, 0, 0}, 0, 0, "counters reset by the driver: no error"},
    };
    for (const Case& k : cases) {
        uint32_t errors = 99;
        EXPECT_EQ(LineCountEvents(base, k.after, errors), k.mask) << k.why;
        EXPECT_EQ(errors, k.errors) << k.why;
    }
}

TEST_F(CommLineTest, StatesOnAPortWithoutModemLines)
{
    EXPECT_FALSE(c.CtsHold());
    EXPECT_FALSE(c.XoffHold());
    c.SetFlowControl(fcCTS);
    c.Open();
    // A pty has no modem lines: every line reads low, no hold is claimed.
    for (bool state : {c.CTS(), c.DSR(), c.RING(), c.RLSD(), c.CtsHold(), c.DsrHold(), c.RlsdHold(), c.XoffHold(),
                       c.XOffSent()})
        EXPECT_FALSE(state);
    // The driver refuses to set a line it does not have.
    Expect_Error([&] { c.SetDTRState(true); }, "EscapeCommFunction failure", ENOTTY);
    Expect_Error([&] { c.SetRTSState(false); }, "EscapeCommFunction failure", ENOTTY);
}

TEST_F(CommLineTest, XoffStateHoldsOutput)
{
    c.WriteTimeout = 50;
    c.Open();
    c.SetXONState(false);
    EXPECT_TRUE(c.XoffHold());
    EXPECT_EQ(c.Write("held", 4), -1) << "output stopped: the write cannot complete";
    EXPECT_EQ(Master_Read(), "");
    c.SetXONState(true);
    EXPECT_FALSE(c.XoffHold());
    EXPECT_EQ(c.Write("go", 2), 2);
    EXPECT_TRUE(Pump_Until([&] { return c.OutQueCount() == 0; }));
    EXPECT_EQ(Master_Read(), "go");
    // A new opening starts with output running.
    c.SetXONState(false);
    c.Close();
    EXPECT_FALSE(c.XoffHold());
    c.Open();
    EXPECT_FALSE(c.XoffHold());
}

TEST_F(CommLineTest, EventCharacterSeenByTheReader)
{
    c.EventChars().SetEvtChar(0x16);   // the frame's stop character
    int rxFlags = 0;
    int txEmpty = 0;
    uint32_t waiting = 0;
    c.OnRxFlag = [&](TCustomComm* sender) {
        EXPECT_EQ(sender, &c);
        ++rxFlags;
    };
    c.OnTxEmpty = [&](TCustomComm*) { ++txEmpty; };
    c.OnRxChar = [&](TCustomComm*, uint32_t n) { waiting = n; };
    c.Open();
    char buf[16];
    // Each round: the peer sends, the reader reads, then a write whose
    // send-queue-empty event comes after any event the read noted.
    auto round = [&](const std::string& frame) {
        waiting = 0;
        EXPECT_EQ(::write(master, frame.data(), frame.size()), ssize_t(frame.size()));
        EXPECT_TRUE(Pump_Until([&] { return waiting == frame.size(); }));
        EXPECT_EQ(c.Read(buf, sizeof buf), int(frame.size()));
        const int before = txEmpty;
        EXPECT_EQ(c.Write("\xE5", 1), 1);
        EXPECT_TRUE(Pump_Until([&] { return txEmpty > before; }));
        Master_Read();
    };
    round("\x10\x40\x01\x41");   // no stop character
    EXPECT_EQ(rxFlags, 0);
    round("\x10\x40\x01\x41\x16");
    EXPECT_EQ(rxFlags, 1);
}

TEST_F(CommLineTest, EventCharacterNotWatched)
{
    c.EventChars().SetEvtChar('A');
    c.SetMonitorEvents(AllCommEvents & ~CommEvent(evRxFlag));
    int rxFlags = 0;
    int txEmpty = 0;
    c.OnRxFlag = [&](TCustomComm*) { ++rxFlags; };
    c.OnTxEmpty = [&](TCustomComm*) { ++txEmpty; };
    c.Open();
    ASSERT_EQ(::write(master, "AAA", 3), 3);
    EXPECT_TRUE(Pump_Until([&] { return c.InQueCount() == 3; }));
    char buf[4];
    EXPECT_EQ(c.Read(buf, sizeof buf), 3);
    EXPECT_EQ(c.Write("x", 1), 1);
    EXPECT_TRUE(Pump_Until([&] { return txEmpty > 0; }));
    EXPECT_EQ(rxFlags, 0);
}

TEST_F(CommLineTest, OpenStepsAfterTheDeviceIsOpen)
{
    // A character device that is no terminal opens, but takes no time-outs;
    // the port stays open until Close.
    TComm nul;
    nul.SetDeviceName(QStringLiteral("/dev/null"));
    Expect_Error([&] { nul.Open(); }, "Error updating CommTimeouts", ENOTTY);
    EXPECT_TRUE(nul.Enabled());
    nul.Close();
    EXPECT_FALSE(nul.Enabled());

    c.SetReadBufSize(0);
    Expect_Error([&] { c.Open(); }, "Error initializing Read/Write Buffers", EINVAL);
    EXPECT_TRUE(c.Enabled());
    c.Close();
    c.SetReadBufSize(4096);
    c.SetWriteBufSize(-1);
    Expect_Error([&] { c.Open(); }, "Error initializing Read/Write Buffers", EINVAL);
    c.Close();
    c.SetWriteBufSize(4096);
    c.Open();
    EXPECT_TRUE(c.Enabled());
}

} // namespace
