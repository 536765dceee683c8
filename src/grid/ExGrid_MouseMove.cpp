// The string grid's mouse moves: hover, sizing zones, moving columns and
// rows, drag selection; leaving the grid.
#include "grid/ExGrid.h"

#include "platform/Messages.h"

using namespace platform;

void TExStringGrid::MouseMove(TShiftState shift, int x, int y) { TBaseGrid::MouseMove(shift, x, y); }

bool TExStringGrid::IsSizingPoint(int x, int y)
{
    TGridState state;
    int index = 0, pos = 0, ofs = 0;
    CalcSizingState(x, y, state, index, pos, ofs);
    return state != gsNormal;
}

void TExStringGrid::ScreenToCell(const TPoint& screen, int& aCol, int& aRow)
{
    const QPoint p = ClientSurface()->mapFromGlobal(QPoint(screen.X, screen.Y));
    MouseToCell(p.x(), p.y(), aCol, aRow);
}

void TExStringGrid::HandleMouseLeaveMessage(TMessage& m) { TBaseGrid::WndProc(m); }
void TExStringGrid::HandleCancelModeMessage(TMessage& m) { TBaseGrid::WndProc(m); }
void TExStringGrid::HideMoveArrows() {}
void TExStringGrid::EndHeaderMove() {}
bool TExStringGrid::HeaderMoveRunning() const { return false; }
