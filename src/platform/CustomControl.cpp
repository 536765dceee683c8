#include "platform/CustomControl.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

#include <exception>

namespace platform {

namespace {

TMouseButton ButtonOf(Qt::MouseButton b)
{
    switch (b) {
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbLeft;
    }
}

TShiftState ShiftOf(const QMouseEvent* e)
{
    return ShiftStateFromQt(e->modifiers(), e->buttons() | e->button());
}

} // namespace

TCustomControl::TCustomControl(QWidget* parent) : TControlOf<QWidget>(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    (void)detail::MessageEventType();
}

TCustomControl::~TCustomControl()
{
    for (const auto& [id, qtId] : timers_)
        killTimer(qtId);
}

void TCustomControl::SetMouseCapture(bool capture)
{
    if (capture == capture_)
        return;
    capture_ = capture;
    if (capture)
        grabMouse();
    else
        releaseMouse();
}

void TCustomControl::SetTimer(int id, int intervalMs)
{
    KillTimer(id);
    const int qtId = startTimer(std::max(1, intervalMs));
    if (qtId != 0)
        timers_[id] = qtId;
}

void TCustomControl::KillTimer(int id)
{
    auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    killTimer(it->second);
    timers_.erase(it);
}

void TCustomControl::MessageReceived(TMessage& message) { WndProc(message); }

void TCustomControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TCustomControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TCustomControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TCustomControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TCustomControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TCustomControl::KeyDown(int& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TCustomControl::KeyPress(QChar& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
}

void TCustomControl::KeyUp(int& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TCustomControl::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TCustomControl::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TCustomControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TCustomControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TCustomControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TCustomControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    canvas_.BindPainter(&painter, width(), height());
    canvas_.RemoveClip();
    canvas_.SetFont(Font());
    canvas_.Brush().SetColor(Color());
    // An error box opened inside a paint would paint again under it: show
    // it once the paint is over.
    try {
        Paint();
    } catch (...) {
        std::exception_ptr error = std::current_exception();
        QueueOnMainThread([error] { ShowException(error); });
    }
    canvas_.Unbind();
}

void TCustomControl::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (e->button() == Qt::LeftButton)
        pressed_ = true;
    RunGuarded([&] { MouseDown(ButtonOf(e->button()), ShiftOf(e), p.x(), p.y()); });
}

void TCustomControl::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    RunGuarded([&] { MouseMove(ShiftStateFromQt(e->modifiers(), e->buttons()), p.x(), p.y()); });
}

void TCustomControl::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const bool click = e->button() == Qt::LeftButton && pressed_ && rect().contains(p);
    if (e->button() == Qt::LeftButton)
        pressed_ = false;
    RunGuarded([&] {
        if (click && clickEvents_)
            Click();
    });
    RunGuarded([&] { MouseUp(ButtonOf(e->button()), ShiftStateFromQt(e->modifiers(), e->buttons()), p.x(), p.y()); });
}

void TCustomControl::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (e->button() == Qt::LeftButton)
        pressed_ = true;
    if (!doubleClicks_) {
        RunGuarded([&] { MouseDown(ButtonOf(e->button()), ShiftOf(e), p.x(), p.y()); });
        return;
    }
    RunGuarded([&] { MouseDown(ButtonOf(e->button()), ShiftOf(e) | ssDouble, p.x(), p.y()); });
    if (e->button() == Qt::LeftButton)
        RunGuarded([&] { DblClick(); });
}

void TCustomControl::keyPressEvent(QKeyEvent* e)
{
    const int vk = VirtualKeyFromQt(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    RunGuarded([&] {
        int key = vk;
        if (key != 0) {
            KeyDown(key, shift);
            if (key == 0)
                return;  // swallowed: no character follows
        }
        const QString text = e->text();
        if (!text.isEmpty()) {
            QChar ch = text[0];
            KeyPress(ch);
        }
    });
    e->accept();
}

void TCustomControl::keyReleaseEvent(QKeyEvent* e)
{
    int key = VirtualKeyFromQt(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    if (key != 0)
        RunGuarded([&] { KeyUp(key, shift); });
    e->accept();
}

void TCustomControl::enterEvent(QEnterEvent*)
{
    mouseInside_ = true;
    RunGuarded([&] { MouseEnter(); });
}

void TCustomControl::leaveEvent(QEvent*)
{
    mouseInside_ = false;
    RunGuarded([&] { MouseLeave(); });
}

void TCustomControl::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    RunGuarded([&] { DoEnter(); });
}

void TCustomControl::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    RunGuarded([&] { DoExit(); });
}

void TCustomControl::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    RunGuarded([&] { Resize(); });
}

void TCustomControl::timerEvent(QTimerEvent* e)
{
    for (const auto& [id, qtId] : timers_) {
        if (qtId == e->timerId()) {
            TMessage m{WM_TIMER, id, 0, 0};
            RunGuarded([&] { MessageReceived(m); });
            return;
        }
    }
    QWidget::timerEvent(e);
}

bool TCustomControl::event(QEvent* e)
{
    TMessage m;
    if (detail::TakePostedMessage(e, m)) {
        RunGuarded([&] { MessageReceived(m); });
        return true;
    }
    return QWidget::event(e);
}

TGraphicControl::TGraphicControl(QWidget* parent) : TCustomControl(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
}

bool TCustomControl::HandleKeyMessage(TMessage& m, bool& suppressChar,
                                      const std::function<void(int, TShiftState)>& defaultKeyDown,
                                      const std::function<void(QChar)>& defaultChar)
{
    switch (m.Msg) {
    case WM_KEYDOWN: {
        int key = static_cast<int>(m.WParam);
        const TShiftState shift = KeyDataShift(m.LParam);
        KeyDown(key, shift);
        if (key == 0)
            suppressChar = true;
        else
            defaultKeyDown(key, shift);
        return true;
    }
    case WM_CHAR: {
        QChar ch(static_cast<char16_t>(m.WParam));
        KeyPress(ch);
        if (!ch.isNull())
            defaultChar(ch);
        return true;
    }
    case WM_KEYUP: {
        int key = static_cast<int>(m.WParam);
        KeyUp(key, KeyDataShift(m.LParam));
        return true;
    }
    default: return false;
    }
}

void DispatchKeyPress(QKeyEvent* e, std::intptr_t keyData, bool& suppressChar,
                      const std::function<void(TMessage&)>& dispatch)
{
    const int vk = VirtualKeyFromQt(e->key());
    const std::intptr_t data = ShiftStateFromQt(e->modifiers()) | keyData;
    suppressChar = false;
    if (vk != 0) {
        TMessage m{WM_KEYDOWN, vk, data, 0};
        dispatch(m);
    }
    const QString text = e->text();
    if (!text.isEmpty() && !suppressChar && text[0].unicode() != 0 && text[0].unicode() != 0x7F) {
        TMessage m{WM_CHAR, text[0].unicode(), data, 0};
        dispatch(m);
    }
    e->accept();
}

bool IsDialogTab(const QKeyEvent* e)
{
    return (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) &&
           !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

bool AsksForTab(std::intptr_t wanted, const std::function<void(TMessage&)>& dispatch)
{
    TMessage m{WM_GETDLGCODE, VK_TAB, 0, 0};
    dispatch(m);
    return (m.Result & wanted) != 0;
}

void DispatchKeyRelease(QKeyEvent* e, const std::function<void(TMessage&)>& dispatch)
{
    const int vk = VirtualKeyFromQt(e->key());
    if (vk != 0) {
        TMessage m{WM_KEYUP, vk, static_cast<std::intptr_t>(ShiftStateFromQt(e->modifiers())), 0};
        dispatch(m);
    }
    e->accept();
}

} // namespace platform
