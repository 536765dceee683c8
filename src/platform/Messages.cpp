#include "platform/Messages.h"

#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include <exception>
#include <mutex>

namespace platform {

namespace {

class MessageEvent : public QEvent
{
public:
    explicit MessageEvent(const TMessage& m) : QEvent(static_cast<QEvent::Type>(detail::MessageEventType())), message(m) {}
    TMessage message;
};

std::mutex g_namesLock;

} // namespace

namespace detail {

int MessageEventType()
{
    static const int type = QEvent::registerEventType();
    return type;
}

bool TakePostedMessage(void* event, TMessage& message)
{
    auto* e = static_cast<QEvent*>(event);
    if (e->type() != MessageEventType())
        return false;
    message = static_cast<MessageEvent*>(e)->message;
    return true;
}

} // namespace detail

unsigned RegisterWindowMessage(const QString& name)
{
    static QHash<QString, unsigned> ids;
    std::lock_guard<std::mutex> lock(g_namesLock);
    // Names compare without regard to case, as the platform's do.
    const QString key = name.toUpper();
    auto it = ids.find(key);
    if (it != ids.end())
        return it.value();
    const unsigned id = 0xC000u + static_cast<unsigned>(ids.size());
    ids.insert(key, id);
    return id;
}

void PostMessage(QObject* target, unsigned msg, std::intptr_t wParam, std::intptr_t lParam)
{
    if (!target)
        return;
    (void)detail::MessageEventType();
    QCoreApplication::postEvent(target, new MessageEvent(TMessage{msg, wParam, lParam, 0}));
}

std::intptr_t SendMessage(QObject* target, unsigned msg, std::intptr_t wParam, std::intptr_t lParam)
{
    auto* receiver = dynamic_cast<MessageReceiver*>(target);
    if (!receiver)
        return 0;
    TMessage m{msg, wParam, lParam, 0};
    RunGuarded([&] { receiver->MessageReceived(m); });
    return m.Result;
}

void QueueOnMainThread(std::function<void()> call, QObject* context)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || !call)
        return;
    if (context) {
        QPointer<QObject> guard(context);
        QMetaObject::invokeMethod(
            app, [guard, call = std::move(call)] {
                if (guard)
                    RunGuarded(call);
            },
            Qt::QueuedConnection);
        return;
    }
    QMetaObject::invokeMethod(app, [call = std::move(call)] { RunGuarded(call); }, Qt::QueuedConnection);
}

void RunOnMainThread(const std::function<void()>& call)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || !call)
        return;
    if (QThread::currentThread() == app->thread()) {
        RunGuarded(call);
        return;
    }
    QMetaObject::invokeMethod(app, [&call] { RunGuarded(call); }, Qt::BlockingQueuedConnection);
}

void ShowException(std::exception_ptr error)
{
    QString text;
    try {
        if (error)
            std::rethrow_exception(error);
        return;
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what());
    } catch (const QString& s) {
        text = s;
    } catch (...) {
        text = QStringLiteral("Unknown exception.");
    }
    try {
        ShowErrorBox(text);
    } catch (...) {
        // Nothing may leave the event entry, not even a failing error box.
    }
}

void RunGuarded(const std::function<void()>& call)
{
    if (!call)
        return;
    try {
        call();
    } catch (...) {
        ShowException(std::current_exception());
    }
}

} // namespace platform
