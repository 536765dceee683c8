#pragma once

// Mouse, wheel and hint events at client points of a shown grid, delivered as
// the window system does: to the grid's client surface.

#include "grid/ExGridEditTestSupport.h"

#include <QHelpEvent>
#include <QWheelEvent>

namespace inputtest {

inline QWidget* Surface(TExStringGrid* grid) { return grid->ClientSurface(); }

inline void SendMouse(TExStringGrid* grid, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons held, Qt::KeyboardModifiers mods)
{
    QWidget* s = Surface(grid);
    QMouseEvent e(type, at, s->mapToGlobal(at), button, held, mods);
    QApplication::sendEvent(s, &e);
}

inline void Move(TExStringGrid* grid, QPoint at, Qt::MouseButtons held = Qt::NoButton,
                 Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    SendMouse(grid, QEvent::MouseMove, at, Qt::NoButton, held, mods);
}

inline void Press(TExStringGrid* grid, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    SendMouse(grid, QEvent::MouseButtonPress, at, button, button, mods);
}

inline void Release(TExStringGrid* grid, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                    Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    SendMouse(grid, QEvent::MouseButtonRelease, at, button, Qt::NoButton, mods);
}

// Pointer to the point, press and release.
inline void ClickAt(TExStringGrid* grid, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                    Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    Move(grid, at, Qt::NoButton, mods);
    Press(grid, at, button, mods);
    Release(grid, at, button, mods);
}

// A double click as it arrives: press, release, double-click press, release.
inline void DoubleClick(TExStringGrid* grid, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                        Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    ClickAt(grid, at, button, mods);
    SendMouse(grid, QEvent::MouseButtonDblClick, at, button, button, mods);
    Release(grid, at, button, mods);
}

// Press at one point, move in steps to another with the button held, release there.
inline void Drag(TExStringGrid* grid, QPoint from, QPoint to, int steps = 4,
                 Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    Move(grid, from, Qt::NoButton, mods);
    Press(grid, from, Qt::LeftButton, mods);
    for (int i = 1; i <= steps; ++i)
        Move(grid, from + (to - from) * i / steps, Qt::LeftButton, mods);
    Release(grid, to, Qt::LeftButton, mods);
}

// One wheel step at a client point; positive turns away from the user.
inline void Wheel(TExStringGrid* grid, QPoint at, int delta = 120, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* s = Surface(grid);
    QWheelEvent e(QPointF(at), QPointF(s->mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(s, &e);
}

// The tool-tip request the window system sends when the pointer rests.
inline bool HintAt(TExStringGrid* grid, QPoint at)
{
    QWidget* s = Surface(grid);
    QHelpEvent e(QEvent::ToolTip, at, s->mapToGlobal(at));
    return QApplication::sendEvent(s, &e);
}

// The centre of a cell in client coordinates.
inline QPoint CellCentre(TExStringGrid* grid, int aCol, int aRow)
{
    const platform::TRect r = grid->CellRect(aCol, aRow);
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

using InputFixture = edittest::GridFixture;

} // namespace inputtest
