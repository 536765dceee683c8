// Fitting columns and rows to their contents.
#include "grid/ExGrid.h"

using namespace platform;

void TExStringGrid::AutoSizeCol(int, int) {}
void TExStringGrid::AutoSizeColumns(bool, int) {}
void TExStringGrid::AutoSizeCells(bool, int, int) {}
