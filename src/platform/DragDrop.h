#pragma once

// Drag and drop between windows, in and out of the program. A window takes
// drops once a handler is registered for it; a drag runs modally until the
// mouse button is released or Escape is pressed. Data travels as QMimeData,
// named formats as mime types of those names.
//
// A real run hands the drag to Qt's QDrag. Its loop owns the mouse and
// cannot be driven offscreen, so while a DragScript lives the drag follows
// the script instead: the pointer visits the scripted windows, which receive
// real drag-enter, drag-move, drag-leave and drop events, and the drag ends
// as the script says.

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <deque>
#include <memory>

class QMimeData;

namespace platform {

// What the target chose: nothing, a copy or a move.
enum class DropEffect { None, Copy, Move };

// The drag events of one registered window. Points are screen points; the
// effect comes in as what the source allows and goes out as the choice.
class DropHandler
{
public:
    virtual ~DropHandler() = default;
    virtual void DragEnter(const QMimeData& data, Qt::KeyboardModifiers keys, const QPoint& screen,
                           bool allowMove, DropEffect& effect) = 0;
    virtual void DragOver(Qt::KeyboardModifiers keys, const QPoint& screen, bool allowMove, DropEffect& effect) = 0;
    virtual void DragLeave() = 0;
    virtual void Drop(const QMimeData& data, Qt::KeyboardModifiers keys, const QPoint& screen, bool allowMove,
                      DropEffect& effect) = 0;
};

// false when the window is missing. A second registration replaces the first.
bool RegisterDragDrop(QWidget* window, std::shared_ptr<DropHandler> handler);
void RevokeDragDrop(QWidget* window);

enum class DragQuery { Continue, Drop, Cancel };

// The source's side of a running drag.
class DragSourceHandler
{
public:
    virtual ~DragSourceHandler() = default;
    // Asked on every poll of the drag loop.
    virtual DragQuery QueryContinueDrag(bool escapePressed, bool leftButtonDown) = 0;
    // The effect the window under the pointer offers now.
    virtual void GiveFeedback(DropEffect effect) = 0;
};

enum class DragResult { Dropped, Cancelled };

// Runs a whole drag of data (taken over) from the source window; effect is
// what the target finally did (None when nothing).
DragResult DoDragDrop(QWidget* source, QMimeData* data, DragSourceHandler& handler, bool allowMove,
                      DropEffect& effect);

// A scripted drag, for tests. Steps are taken in order by the next drag;
// the drag ends at a Release or Escape step (or, when the steps run out,
// cancelled and counted as unscripted). Scripts nest: the newest one runs.
// Without a script and without a screen a drag is cancelled at once.
class DragScript
{
public:
    DragScript();
    ~DragScript();
    DragScript(const DragScript&) = delete;
    DragScript& operator=(const DragScript&) = delete;

    // The pointer moves to a point of a window (its own coordinates) with
    // these keys held.
    void MoveTo(QWidget* window, const QPoint& at, Qt::KeyboardModifiers keys = Qt::NoModifier);
    void Release();
    void Escape();

    int DragsRun() const { return dragsRun_; }
    int Unscripted() const { return unscripted_; }

private:
    friend struct DragScriptAccess;
    struct Step
    {
        enum Kind { Move, Release, Escape } kind = Move;
        QPointer<QWidget> window;
        QPoint at;
        Qt::KeyboardModifiers keys;
    };
    std::deque<Step> steps_;
    int dragsRun_ = 0;
    int unscripted_ = 0;
    DragScript* outer_ = nullptr;
};

} // namespace platform
