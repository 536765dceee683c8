#include "platform/DragDrop.h"
#include "platform/Messages.h"

#include <QDrag>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

#include <cstdio>

namespace platform {

namespace {

DragScript* g_script = nullptr;

bool Headless()
{
    const QString name = QGuiApplication::platformName();
    return !qApp || name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

Qt::DropAction ToQt(DropEffect e)
{
    switch (e) {
    case DropEffect::Copy: return Qt::CopyAction;
    case DropEffect::Move: return Qt::MoveAction;
    default: return Qt::IgnoreAction;
    }
}

DropEffect FromQt(Qt::DropAction a)
{
    switch (a) {
    case Qt::CopyAction: return DropEffect::Copy;
    case Qt::MoveAction: return DropEffect::Move;
    default: return DropEffect::None;
    }
}

Qt::DropActions Possible(bool allowMove) { return allowMove ? Qt::CopyAction | Qt::MoveAction : Qt::CopyAction; }

// Turns the drag events of a registered window into the handler's calls.
class DropFilter : public QObject
{
public:
    DropFilter(QWidget* window, std::shared_ptr<DropHandler> handler) : QObject(window), handler_(std::move(handler))
    {
        setObjectName(QStringLiteral("DropFilter"));
    }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        auto* w = qobject_cast<QWidget*>(watched);
        switch (e->type()) {
        case QEvent::DragEnter: {
            auto* d = static_cast<QDragEnterEvent*>(e);
            DropEffect effect = DropEffect::None;
            const bool move = d->possibleActions() & Qt::MoveAction;
            RunGuarded([&] { handler_->DragEnter(*d->mimeData(), d->modifiers(), Screen(w, d), move, effect); });
            // Accepted in any case, so that the moves keep coming.
            d->setDropAction(ToQt(effect));
            d->accept();
            return true;
        }
        case QEvent::DragMove: {
            auto* d = static_cast<QDragMoveEvent*>(e);
            DropEffect effect = DropEffect::None;
            const bool move = d->possibleActions() & Qt::MoveAction;
            RunGuarded([&] { handler_->DragOver(d->modifiers(), Screen(w, d), move, effect); });
            Answer(d, effect);
            return true;
        }
        case QEvent::DragLeave:
            RunGuarded([&] { handler_->DragLeave(); });
            return true;
        case QEvent::Drop: {
            auto* d = static_cast<QDropEvent*>(e);
            DropEffect effect = DropEffect::None;
            const bool move = d->possibleActions() & Qt::MoveAction;
            RunGuarded([&] { handler_->Drop(*d->mimeData(), d->modifiers(), Screen(w, d), move, effect); });
            Answer(d, effect);
            return true;
        }
        default:
            return false;
        }
    }

private:
    static QPoint Screen(QWidget* w, const QDropEvent* d)
    {
        const QPoint p = d->position().toPoint();
        return w ? w->mapToGlobal(p) : p;
    }
    static void Answer(QDropEvent* d, DropEffect effect)
    {
        if (effect == DropEffect::None) {
            d->setDropAction(Qt::IgnoreAction);
            d->ignore();
        } else {
            d->setDropAction(ToQt(effect));
            d->accept();
        }
    }

    std::shared_ptr<DropHandler> handler_;
};

DropFilter* FilterOf(QWidget* window)
{
    return window ? window->findChild<DropFilter*>(QStringLiteral("DropFilter"), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

// The window that takes a drop at a point: the deepest one accepting drops.
QWidget* DropWindowAt(QWidget* window, const QPoint& at, QPoint& local)
{
    if (!window)
        return nullptr;
    QWidget* w = window->childAt(at);
    if (!w)
        w = window;
    while (w && !w->acceptDrops())
        w = w->parentWidget();
    if (w)
        local = w->mapFromGlobal(window->mapToGlobal(at));
    return w;
}

} // namespace

bool RegisterDragDrop(QWidget* window, std::shared_ptr<DropHandler> handler)
{
    if (!window || !handler)
        return false;
    RevokeDragDrop(window);
    auto* filter = new DropFilter(window, std::move(handler));
    window->installEventFilter(filter);
    window->setAcceptDrops(true);
    return true;
}

void RevokeDragDrop(QWidget* window)
{
    if (DropFilter* f = FilterOf(window)) {
        window->removeEventFilter(f);
        delete f;
    }
}

// ---------------------------------------------------------------- script

DragScript::DragScript() : outer_(g_script) { g_script = this; }

DragScript::~DragScript()
{
    if (g_script == this)
        g_script = outer_;
}

void DragScript::MoveTo(QWidget* window, const QPoint& at, Qt::KeyboardModifiers keys)
{
    steps_.push_back(Step{Step::Move, window, at, keys});
}

void DragScript::Release() { steps_.push_back(Step{Step::Release, nullptr, {}, {}}); }

void DragScript::Escape() { steps_.push_back(Step{Step::Escape, nullptr, {}, {}}); }

struct DragScriptAccess
{
    static DragResult Run(DragScript& s, QMimeData& data, DragSourceHandler& handler, bool allowMove,
                          DropEffect& effect)
    {
        ++s.dragsRun_;
        const Qt::DropActions possible = Possible(allowMove);
        QPointer<QWidget> over;
        QPoint overAt;
        Qt::KeyboardModifiers keys;
        DropEffect offered = DropEffect::None;
        effect = DropEffect::None;
        const auto leave = [&] {
            if (over) {
                QDragLeaveEvent e;
                QCoreApplication::sendEvent(over, &e);
            }
            over = nullptr;
        };
        const auto cancel = [&] {
            leave();
            effect = DropEffect::None;
            return DragResult::Cancelled;
        };
        for (;;) {
            if (s.steps_.empty()) {
                ++s.unscripted_;
                std::fprintf(stderr, "drag not scripted: cancelled\n");
                handler.QueryContinueDrag(true, true);
                return cancel();
            }
            const DragScript::Step step = s.steps_.front();
            s.steps_.pop_front();
            const bool escape = step.kind == DragScript::Step::Escape;
            const bool release = step.kind == DragScript::Step::Release;
            const DragQuery q = handler.QueryContinueDrag(escape, !release);
            if (q == DragQuery::Cancel)
                return cancel();
            if (q == DragQuery::Drop) {
                if (!over || offered == DropEffect::None)
                    return leave(), DragResult::Dropped;
                QDropEvent e(QPointF(overAt), possible, &data, Qt::NoButton, keys);
                QCoreApplication::sendEvent(over, &e);
                effect = e.isAccepted() ? FromQt(e.dropAction()) : DropEffect::None;
                return DragResult::Dropped;
            }
            if (step.kind != DragScript::Step::Move)
                continue;
            QPoint local;
            QWidget* target = DropWindowAt(step.window, step.at, local);
            keys = step.keys;
            if (target != over) {
                leave();
                if (target) {
                    QDragEnterEvent e(local, possible, &data, Qt::LeftButton, keys);
                    QCoreApplication::sendEvent(target, &e);
                    if (e.isAccepted())
                        over = target;
                }
            }
            offered = DropEffect::None;
            if (over) {
                overAt = local;
                QDragMoveEvent e(local, possible, &data, Qt::LeftButton, keys);
                QCoreApplication::sendEvent(over, &e);
                offered = e.isAccepted() ? FromQt(e.dropAction()) : DropEffect::None;
            }
            handler.GiveFeedback(offered);
        }
    }
};

DragResult DoDragDrop(QWidget* source, QMimeData* data, DragSourceHandler& handler, bool allowMove,
                      DropEffect& effect)
{
    effect = DropEffect::None;
    if (g_script) {
        std::unique_ptr<QMimeData> owned(data);
        return DragScriptAccess::Run(*g_script, *data, handler, allowMove, effect);
    }
    if (Headless() || !source) {
        delete data;
        std::fprintf(stderr, "drag not run (no screen)\n");
        handler.QueryContinueDrag(true, true);
        return DragResult::Cancelled;
    }
    QPointer<QDrag> drag = new QDrag(source);
    drag->setMimeData(data);
    QObject::connect(drag, &QDrag::actionChanged, drag,
                     [&handler](Qt::DropAction a) { RunGuarded([&] { handler.GiveFeedback(FromQt(a)); }); });
    // The source follows the pointer (its floating picture) while the loop runs.
    QTimer poll;
    poll.setInterval(15);
    QObject::connect(&poll, &QTimer::timeout, [&handler] {
        RunGuarded([&] {
            if (handler.QueryContinueDrag(false, true) == DragQuery::Cancel)
                QDrag::cancel();
        });
    });
    poll.start();
    const Qt::DropAction done = drag->exec(Possible(allowMove), allowMove ? Qt::MoveAction : Qt::CopyAction);
    poll.stop();
    if (drag)
        drag->deleteLater();
    effect = FromQt(done);
    handler.GiveFeedback(effect);
    handler.QueryContinueDrag(false, false);
    return effect == DropEffect::None ? DragResult::Cancelled : DragResult::Dropped;
}

} // namespace platform
