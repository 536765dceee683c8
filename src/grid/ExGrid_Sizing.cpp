// Column and row size changes: stretching, sizing with the form.
#include "grid/ExGrid.h"

using namespace platform;

void TExStringGrid::ColWidthsChanged() { TBaseGrid::ColWidthsChanged(); }
void TExStringGrid::RowHeightsChanged() { TBaseGrid::RowHeightsChanged(); }
void TExStringGrid::SizeChanged(int oldColCount, int oldRowCount) { TBaseGrid::SizeChanged(oldColCount, oldRowCount); }
void TExStringGrid::Notification(QObject* component, TOperation operation)
{
    TBaseGrid::Notification(component, operation);
}
void TExStringGrid::HookOwnerFormResize() {}
void TExStringGrid::StretchColumnToClient(int) {}
void TExStringGrid::StretchRightColumn() {}
void TExStringGrid::FormResized(QObject*) {}
bool TExStringGrid::SizeWithForm() const { return false; }
void TExStringGrid::SetSizeWithForm(bool) {}
TColor TExStringGrid::ArrowColor() const { return clLime; }
void TExStringGrid::SetArrowColor(TColor) {}
