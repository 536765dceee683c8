#include "platform/Controls.h"
#include "platform/CustomControl.h"
#include "platform/Dialogs.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

using namespace platform;

namespace {

struct Recorder : TCustomControl
{
    using TCustomControl::TCustomControl;
    std::vector<TMessage> received;
    void WndProc(TMessage& m) override
    {
        received.push_back(m);
        m.Result = m.WParam * 2;
        if (m.Msg == WM_USER + 9)
            throw std::runtime_error("handler failed");
    }
    int Count(unsigned msg) const
    {
        int n = 0;
        for (const TMessage& m : received)
            n += m.Msg == msg;
        return n;
    }
};

// Processes events until `done` or two seconds pass.
template <class Done>
bool WaitFor(Done done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 2000) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return done();
}

} // namespace

TEST(Messages, RegisteredNamesGiveStableIds)
{
    const unsigned a = RegisterWindowMessage(QStringLiteral("GridEditDone"));
    const unsigned b = RegisterWindowMessage(QStringLiteral("DTPShiftFocus"));
    EXPECT_GE(a, 0xC000u);
    EXPECT_NE(a, b);
    EXPECT_EQ(RegisterWindowMessage(QStringLiteral("GridEditDone")), a);
    EXPECT_EQ(RegisterWindowMessage(QStringLiteral("grideditdone")), a);
}

TEST(Messages, PostedMessagesArriveOnceAndInOrder)
{
    Recorder r;
    const unsigned msg = RegisterWindowMessage(QStringLiteral("GridEditDone"));
    for (int i = 0; i < 50; ++i)
        PostMessage(&r, msg, i, -i);
    EXPECT_TRUE(r.received.empty());  // nothing before the loop runs
    QApplication::processEvents();
    ASSERT_EQ(r.received.size(), 50u);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(r.received[i].Msg, msg);
        EXPECT_EQ(r.received[i].WParam, i);
        EXPECT_EQ(r.received[i].LParam, -i);
    }
    QApplication::processEvents();
    EXPECT_EQ(r.received.size(), 50u);
}

TEST(Messages, PostedFromAnotherThreadKeepTheirOrder)
{
    Recorder r;
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i)
            PostMessage(&r, WM_USER + 1, i);
    });
    worker.join();
    ASSERT_TRUE(WaitFor([&] { return r.received.size() == 200; }));
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(r.received[i].WParam, i);
}

TEST(Messages, MessagesToADestroyedControlAreDropped)
{
    auto* r = new Recorder;
    PostMessage(r, WM_USER + 1);
    delete r;
    QApplication::processEvents();  // must not reach freed memory
    SUCCEED();
}

TEST(Messages, SendDeliversAtOnceAndAnswers)
{
    Recorder r;
    EXPECT_EQ(SendMessage(&r, WM_USER + 2, 21), 42);
    EXPECT_EQ(r.received.size(), 1u);
    QObject plain;
    EXPECT_EQ(SendMessage(&plain, WM_USER + 2, 21), 0);
}

TEST(Messages, AFailingMessageHandlerIsShownAndTheNextMessagesStillArrive)
{
    DialogScript script;
    Recorder r;
    PostMessage(&r, WM_USER + 9);
    PostMessage(&r, WM_USER + 1);
    QApplication::processEvents();
    EXPECT_EQ(r.received.size(), 2u);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, QStringLiteral("handler failed"));
}

TEST(Messages, QueuedCallsRunOnTheUserInterfaceThread)
{
    std::atomic<int> runs{0};
    QThread* uiThread = QThread::currentThread();
    QThread* ranOn = nullptr;
    std::thread worker([&] {
        QueueOnMainThread([&] {
            ranOn = QThread::currentThread();
            ++runs;
        });
    });
    worker.join();
    EXPECT_EQ(runs.load(), 0);
    ASSERT_TRUE(WaitFor([&] { return runs.load() == 1; }));
    EXPECT_EQ(ranOn, uiThread);

    // A call whose context is gone does not run.
    auto* context = new QObject;
    QueueOnMainThread([&] { ++runs; }, context);
    delete context;
    QApplication::processEvents();
    EXPECT_EQ(runs.load(), 1);
}

TEST(Messages, RunOnMainThreadWaitsForTheCall)
{
    std::atomic<bool> done{false};
    int value = 0;
    std::thread worker([&] {
        RunOnMainThread([&] { value = 7; });
        done = true;   // only after the call ran
    });
    ASSERT_TRUE(WaitFor([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(value, 7);
}

TEST(Timers, TimerByIdFiresUntilKilled)
{
    Recorder r;
    r.SetTimer(7, 5);
    r.SetTimer(8, 5);
    ASSERT_TRUE(WaitFor([&] { return r.Count(WM_TIMER) >= 4; }));
    bool seven = false, eight = false;
    for (const TMessage& m : r.received) {
        seven |= m.Msg == WM_TIMER && m.WParam == 7;
        eight |= m.Msg == WM_TIMER && m.WParam == 8;
    }
    EXPECT_TRUE(seven);
    EXPECT_TRUE(eight);
    r.KillTimer(7);
    r.KillTimer(8);
    QApplication::processEvents();
    const size_t after = r.received.size();
    QThread::msleep(30);
    QApplication::processEvents();
    EXPECT_EQ(r.received.size(), after);
}

TEST(Timers, TimerComponentFiresWhileEnabled)
{
    TTimer timer;
    int fired = 0;
    timer.OnTimer = [&](QObject* sender) {
        EXPECT_EQ(sender, &timer);
        ++fired;
    };
    timer.SetEnabled(false);
    timer.SetInterval(5);
    QThread::msleep(20);
    QApplication::processEvents();
    EXPECT_EQ(fired, 0);
    timer.SetEnabled(true);
    ASSERT_TRUE(WaitFor([&] { return fired >= 2; }));
    timer.SetEnabled(false);
    const int stopped = fired;
    QThread::msleep(20);
    QApplication::processEvents();
    EXPECT_EQ(fired, stopped);
}

TEST(Timers, AFailingTimerHandlerIsShownAndKeepsTicking)
{
    DialogScript script;
    TTimer timer;
    int fired = 0;
    timer.SetInterval(5);
    timer.OnTimer = [&](QObject*) {
        ++fired;
        throw std::runtime_error("tick");
    };
    ASSERT_TRUE(WaitFor([&] { return fired >= 2; }));
    timer.SetEnabled(false);
    ASSERT_GE(script.Shown().size(), 2u);
    EXPECT_EQ(script.Shown()[0].text, QStringLiteral("tick"));
}
