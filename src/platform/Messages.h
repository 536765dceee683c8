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
constexpr unsigned WM_DESTROY = 0x0002, WM_SIZE = 0x0005, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008,
                   WM_PAINT = 0x000F, WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020, WM_NCPAINT = 0x0085,
                   WM_GETDLGCODE = 0x0087, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102,
                   WM_COMMAND = 0x0111, WM_HSCROLL = 0x0114, WM_VSCROLL = 0x0115, WM_MOUSEMOVE = 0x0200,
                   WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203,
                   WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205, WM_RBUTTONDBLCLK = 0x0206,
                   WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208, WM_MBUTTONDBLCLK = 0x0209,
                   WM_MOUSEWHEEL = 0x020A, WM_MOUSELEAVE = 0x02A3, WM_CUT = 0x0300, WM_COPY = 0x0301,
                   WM_PASTE = 0x0302;
// WM_COMMAND notification of an edit whose text changed.
constexpr unsigned EN_CHANGE = 0x0300;
// WM_COMMAND notifications of a combo box.
constexpr int CBN_SELCHANGE = 1, CBN_EDITCHANGE = 5, CBN_DROPDOWN = 7, CBN_CLOSEUP = 8;
// Scroll codes (low word of WParam of WM_HSCROLL and WM_VSCROLL).
constexpr int SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2, SB_PAGELEFT = 2,
              SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6,
              SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;
// Answers to WM_GETDLGCODE: which keys a control takes from the dialog.
constexpr std::intptr_t DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4, DLGC_HASSETSEL = 0x8,
                        DLGC_WANTCHARS = 0x80;

constexpr std::intptr_t MakeLParam(int low, int high)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(high & 0xFFFF) << 16) |
                                      static_cast<std::uint32_t>(low & 0xFFFF));
}
constexpr std::intptr_t MakeWParam(int low, int high) { return MakeLParam(low, high); }
constexpr int LowWord(std::intptr_t v) { return static_cast<int>(v & 0xFFFF); }
constexpr int HighWord(std::intptr_t v) { return static_cast<int>((v >> 16) & 0xFFFF); }
// The signed 16-bit halves, as points and wheel deltas are packed.
constexpr int SignedLowWord(std::intptr_t v) { return static_cast<std::int16_t>(v & 0xFFFF); }
constexpr int SignedHighWord(std::intptr_t v) { return static_cast<std::int16_t>((v >> 16) & 0xFFFF); }

// One notch of a mouse wheel.
constexpr int WHEEL_DELTA = 120;
// Gathers the small turns of touchpads and smooth wheels into whole notches:
// the delta to report now (a multiple of WHEEL_DELTA; 0 while less than a
// notch is gathered). A turn the other way starts afresh.
constexpr int TakeWheelNotches(int& rest, int delta)
{
    if ((rest > 0 && delta < 0) || (rest < 0 && delta > 0))
        rest = 0;
    rest += delta;
    const int whole = rest / WHEEL_DELTA * WHEEL_DELTA;
    rest -= whole;
    return whole;
}

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
