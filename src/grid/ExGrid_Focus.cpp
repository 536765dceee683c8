// The string grid's focus: entering and leaving the grid, the keys it asks
// of the dialog.
#include "grid/ExGrid.h"

#include "platform/Messages.h"

using namespace platform;

void TExStringGrid::DoEnter() { TBaseGrid::DoEnter(); }
void TExStringGrid::DoExit() { TBaseGrid::DoExit(); }
void TExStringGrid::HandleSetFocusMessage(TMessage& m) { TBaseGrid::WndProc(m); }
void TExStringGrid::HandleKillFocusMessage(TMessage& m) { TBaseGrid::WndProc(m); }
void TExStringGrid::HandleGetDlgCodeMessage(TMessage& m) { TBaseGrid::WndProc(m); }
