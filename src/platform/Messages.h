#pragma once

#include <QString>

#include <cstdint>
#include <functional>

class QObject;

namespace platform {

// Window messages: a number and two arguments, answered with a result.
struct TMessage
{
    unsigned Msg = 0;
    std::intptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

constexpr unsigned WM_TIMER = 0x0113;
constexpr unsigned WM_USER = 0x0400;

// Objects that take messages (controls and forms) implement this.
class MessageReceiver
{
public:
    virtual ~MessageReceiver() = default;
    virtual void MessageReceived(TMessage& message) = 0;
};

// The same name always gives the same number, from 0xC000 up.
unsigned RegisterWindowMessage(const QString& name);

// Queues a message for `target`; messages posted to one target arrive in the
// order posted, each once, from the event loop. Messages to a target that is
// destroyed meanwhile are dropped. Callable from any thread.
void PostMessage(QObject* target, unsigned msg, std::intptr_t wParam = 0, std::intptr_t lParam = 0);
// Delivers at once on the calling (user-interface) thread and returns the
// result; 0 when the target takes no messages.
std::intptr_t SendMessage(QObject* target, unsigned msg, std::intptr_t wParam = 0, std::intptr_t lParam = 0);

// Runs `call` on the user-interface thread from the event loop. From any
// thread; `context`, when given, cancels the call if it is destroyed first.
void QueueOnMainThread(std::function<void()> call, QObject* context = nullptr);
// Runs `call` on the user-interface thread and waits for it (at once when
// already there).
void RunOnMainThread(const std::function<void()>& call);

// Every entry from the event loop into our code goes through here: what it
// throws is shown in the platform's error box and the program goes on.
void RunGuarded(const std::function<void()>& call);
// The same for an exception already caught.
void ShowException(std::exception_ptr error);

namespace detail {
// Event type of posted messages, for the receivers' event handlers.
int MessageEventType();
// True and the message filled when `event` is a posted message.
bool TakePostedMessage(void* event, TMessage& message);
}

} // namespace platform
