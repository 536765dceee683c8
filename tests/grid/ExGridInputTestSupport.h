#pragma once

// Mouse, wheel and hint events at client points of a shown grid, delivered as
// the window system does: to the grid's client surface.

#include "grid/ExGridEditTestSupport.h"

#include <QHelpEvent>
#include <QWheelEvent>

#include <string>
#include <utility>
#include <vector>

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

// Pointer to a point and press there, then move through the path with the
// button held; no release.
inline void PressAndMove(TExStringGrid* grid, QPoint from, const std::vector<QPoint>& path,
                         Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    Move(grid, from, Qt::NoButton, mods);
    Press(grid, from, Qt::LeftButton, mods);
    for (const QPoint& at : path)
        Move(grid, at, Qt::LeftButton, mods);
}

// Press at one point, move in steps to another with the button held, release there.
inline void Drag(TExStringGrid* grid, QPoint from, QPoint to, int steps = 4,
                 Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    std::vector<QPoint> path;
    for (int i = 1; i <= steps; ++i)
        path.push_back(from + (to - from) * i / steps);
    PressAndMove(grid, from, path, mods);
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

// Names the cases of a parameterised table after their name field.
struct CaseName
{
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const
    {
        return std::string(info.param.name);
    }
};

// The grid of the input tests, with a record of what its handlers saw.
struct InputFixture : edittest::GridFixture
{
    std::vector<QString> events;

    void TearDown() override
    {
        // The input tests' handlers capture locals that are gone by now.
        grid->OnAnchorClick = nullptr;
        grid->OnAnchorEnter = nullptr;
        grid->OnAnchorExit = nullptr;
        grid->OnAnchorHint = nullptr;
        grid->OnAutoDeleteRow = nullptr;
        grid->OnAutoInsertRow = nullptr;
        grid->OnButtonClick = nullptr;
        grid->OnCanClickCell = nullptr;
        grid->OnCanDeleteRow = nullptr;
        grid->OnCanInsertRow = nullptr;
        grid->OnCanSort = nullptr;
        grid->OnCheckBoxMouseUp = nullptr;
        grid->OnClickSort = nullptr;
        grid->OnClipboardCopy = nullptr;
        grid->OnClipboardCut = nullptr;
        grid->OnClipboardPaste = nullptr;
        grid->OnColumnMove = nullptr;
        grid->OnColumnMoved = nullptr;
        grid->OnColumnMoving = nullptr;
        grid->OnColumnSize = nullptr;
        grid->OnColumnSizing = nullptr;
        grid->OnDblClick = nullptr;
        grid->OnDblClickCell = nullptr;
        grid->OnEndColumnSize = nullptr;
        grid->OnEndRowSize = nullptr;
        grid->OnGetCellCursor = nullptr;
        grid->OnGridHint = nullptr;
        grid->OnGridWideHint = nullptr;
        grid->OnMouseDown = nullptr;
        grid->OnMouseUp = nullptr;
        grid->OnMouseWheelDown = nullptr;
        grid->OnMouseWheelUp = nullptr;
        grid->OnRadioButtonClick = nullptr;
        grid->OnRadioClick = nullptr;
        grid->OnRightClickCell = nullptr;
        grid->OnRowMoved = nullptr;
        grid->OnSelectCell = nullptr;
        grid->OnSelectionChanged = nullptr;
        grid->OnUpdateColumnSize = nullptr;
        edittest::GridFixture::TearDown();
    }

    // A new grid and an empty record, for the next case of a table.
    void Restart()
    {
        TearDown();
        events.clear();
        SetUp();
    }

    // The current cell as (column, row).
    std::pair<int, int> CurrentCell() const { return {grid->Col(), grid->Row()}; }

    // Sorting by a header click shown, no column sorted yet.
    void ShowUnsorted()
    {
        grid->SortSettings().SetShow(true);
        grid->SortSettings().SetColumn(-1);
    }

    // "down 2,3" ("downR" for the right button) with the current cell at the press.
    void RecordMouseDown()
    {
        grid->OnMouseDown = [this](QObject*, platform::TMouseButton b, platform::TShiftState, int, int) {
            events.push_back(QStringLiteral("down%1 %2,%3")
                                 .arg(b == platform::mbRight ? QStringLiteral("R") : QString())
                                 .arg(grid->Col())
                                 .arg(grid->Row()));
        };
    }

    // "click 2,3" with the current cell.
    void RecordClick()
    {
        grid->OnClick = [this](QObject*) {
            events.push_back(QStringLiteral("click %1,%2").arg(grid->Col()).arg(grid->Row()));
        };
    }

    // "sort 2" for the column sorted by a header click.
    void RecordClickSort()
    {
        grid->OnClickSort = [this](QObject*, int c) { events.push_back(QStringLiteral("sort %1").arg(c)); };
    }
};

} // namespace inputtest
