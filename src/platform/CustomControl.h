#pragma once

#include "platform/ControlBase.h"
#include "platform/Graphics.h"
#include "platform/Messages.h"

#include <map>

namespace platform {

// The key data of WM_KEYDOWN, WM_KEYUP and WM_CHAR: the shift state, with
// KeyDataNumPad added for keys of the numeric pad.
constexpr std::intptr_t KeyDataNumPad = std::intptr_t(1) << 22;
constexpr TShiftState KeyDataShift(std::intptr_t lParam) { return static_cast<TShiftState>(lParam & 0x7F); }

// A control that paints itself on a canvas and sees the mouse and keyboard as
// the platform reports them. Every entry from the event loop is guarded:
// what a handler throws is shown in the error box and the control goes on.
class TCustomControl : public TControlOf<QWidget>, public MessageReceiver
{
public:
    explicit TCustomControl(QWidget* parent = nullptr);
    ~TCustomControl() override;

    // The canvas is bound to the control only while it paints.
    TCanvas& Canvas() { return canvas_; }

    // Whether a press and release over the control make a click, and whether
    // a double click is reported as such (otherwise as a second press).
    bool ClickEvents() const { return clickEvents_; }
    void SetClickEvents(bool v) { clickEvents_ = v; }
    bool DoubleClicks() const { return doubleClicks_; }
    void SetDoubleClicks(bool v) { doubleClicks_ = v; }

    bool MouseCapture() const { return capture_; }
    void SetMouseCapture(bool capture);
    bool MouseInControl() const { return mouseInside_; }

    // Timers by number, each reported as WM_TIMER with the number in WParam.
    // Setting a running number restarts it with the new interval.
    void SetTimer(int id, int intervalMs);
    void KillTimer(int id);

    void MessageReceived(TMessage& message) override;

    // A button other than a radio button; the default and cancel buttons
    // leave Enter to such a control when it has the focus.
    virtual bool IsButtonControl() const { return false; }

    TNotifyEvent OnClick, OnDblClick, OnEnter, OnExit, OnMouseEnter, OnMouseLeave, OnResize;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // Dialog keys (Enter, Escape) and accelerator characters reach every
    // control of a form through these; true takes the key.
    virtual bool DialogKey(int key, TShiftState shift) { return false; }
    virtual bool DialogChar(QChar ch) { return false; }
    // True when the control handles these keys itself (like a multi-line
    // edit takes Enter), so they are not dialog keys while it has the focus.
    virtual bool WantsKey(int key) const { return false; }
    // True when typed characters are the control's input, not accelerators.
    virtual bool WantsChars() const { return false; }

protected:
    virtual void Paint() {}
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyPress(QChar& key);
    virtual void KeyUp(int& key, TShiftState shift);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void DoEnter();
    virtual void DoExit();
    virtual void Resize();
    // The control's own messages; WM_TIMER by default does nothing more.
    virtual void WndProc(TMessage& message) {}
    // The key messages of an edit-like control: KeyDown, KeyPress and KeyUp
    // first, then the control's own handling of the key or character they
    // left (a key set to 0 also drops its character). False for other messages.
    bool HandleKeyMessage(TMessage& m, bool& suppressChar, const std::function<void(int, TShiftState)>& defaultKeyDown,
                          const std::function<void(QChar)>& defaultChar);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool event(QEvent* event) override;

private:
    TCanvas canvas_;
    bool clickEvents_ = true;
    bool doubleClicks_ = true;
    bool capture_ = false;
    bool pressed_ = false;
    bool mouseInside_ = false;
    std::map<int, int> timers_;  // our number -> Qt timer id
};

// A control without a window of its own: it takes no focus and draws over
// its parent's background.
class TGraphicControl : public TCustomControl
{
public:
    explicit TGraphicControl(QWidget* parent = nullptr);
};

// A key press of Qt as a window procedure sees it: WM_KEYDOWN, then WM_CHAR
// with the typed character unless the key-down set suppressChar. keyData is
// added to the shift state of both.
void DispatchKeyPress(QKeyEvent* e, std::intptr_t keyData, bool& suppressChar,
                      const std::function<void(TMessage&)>& dispatch);
void DispatchKeyRelease(QKeyEvent* e, const std::function<void(TMessage&)>& dispatch);
// A Tab or Shift+Tab without Ctrl or Alt: the key a dialog moves the focus with.
bool IsDialogTab(const QKeyEvent* e);
// The control's answer to WM_GETDLGCODE for Tab holds one of the wanted codes.
bool AsksForTab(std::intptr_t wanted, const std::function<void(TMessage&)>& dispatch);

} // namespace platform
