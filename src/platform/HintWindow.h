#pragma once

// The application's hint window: the class of window its hints are shown in,
// and the drop shadow a hint window class may ask for.

class QWidget;

namespace platform {

class THintWindow;

// A hint window class: makes a window of its kind, owned by the parent.
using THintWindowClass = THintWindow* (*)(QWidget* parent);

// The platform's plain hint window.
THintWindow* PlainHintWindow(QWidget* parent);
// The class the application's hints are shown in: the plain one until set.
THintWindowClass HintWindowClass();
// nullptr sets the plain class back.
void SetHintWindowClass(THintWindowClass windowClass);
// A new window of the application's class.
THintWindow* CreateHintWindow(QWidget* parent);

// A drop shadow for a top-level window: a band along its right and bottom
// edges, offset by its width, that is shown, moved and hidden with the
// window and goes with it. Adding it twice gives one shadow.
constexpr int DropShadowWidth = 4;
void AddDropShadow(QWidget* window);
// The shadow of a window; nullptr when it has none.
QWidget* DropShadowOf(const QWidget* window);

} // namespace platform
