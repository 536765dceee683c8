// The string grid's scroll bars, scroll hints, wheel and drag auto-scroll.
#include "grid/ExGrid.h"

#include "platform/Messages.h"

using namespace platform;

void TExStringGrid::UpdateProportionalVScroll() {}
void TExStringGrid::UpdateProportionalHScroll() {}
void TExStringGrid::UpdateFlatScrollBars() {}
bool TExStringGrid::DoMouseWheelDown(TShiftState shift, const TPoint& mousePos)
{
    return TBaseGrid::DoMouseWheelDown(shift, mousePos);
}
bool TExStringGrid::DoMouseWheelUp(TShiftState shift, const TPoint& mousePos)
{
    return TBaseGrid::DoMouseWheelUp(shift, mousePos);
}
void TExStringGrid::DragOver(QObject* source, int x, int y, TDragState state, bool& accept)
{
    TBaseGrid::DragOver(source, x, y, state, accept);
}
void TExStringGrid::HandleHScrollMessage(TMessage& m) { TBaseGrid::WndProc(m); }
void TExStringGrid::HandleVScrollMessage(TMessage& m) { TBaseGrid::WndProc(m); }
void TExStringGrid::HandleMouseWheelMessage(TMessage& m) { TBaseGrid::WndProc(m); }
void TExStringGrid::PlaceCellScrollBar(int, int) {}
void TExStringGrid::HideCellScrollBar() {}
