// Cell hints and the HTML hint window.
#include "grid/ExGrid.h"

using namespace platform;

bool TExStringGrid::event(QEvent* e) { return TBaseGrid::event(e); }
void TExStringGrid::PrepareCellHint(QString&, THintInfo&) {}
void TExStringGrid::CancelCellHint() {}
TPoint TExStringGrid::LastHintPos() const { return TPoint{-1, -1}; }
void TExStringGrid::ShowScrollHint(const QString&, const TPoint&, int) {}
void TExStringGrid::HideScrollHint() {}
bool TExStringGrid::ScrollHintShown() const { return false; }
bool TExStringGrid::ShowHint() const { return false; }
void TExStringGrid::SetShowHint(bool) {}
