// Neutral answers of the grid's extras until tree nodes, grouping, filter,
// footer calculation, sorting and the column stores are built: nothing is a
// node, no footer is shown, column positions are kept by the column grid's
// own store only.
#include "grid/ExGridExtras.h"

#include "grid/ExGrid.h"

void TFloatingFooter::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TFloatingFooter*>(source);
    if (!s || s == this)
        return;
    FFooterStyle = s->FFooterStyle;
    FHeight = s->FHeight;
    FColor = s->FColor;
}

void TSortSettings::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TSortSettings*>(source);
    if (!s || s == this)
        return;
    FColumn = s->FColumn;
    FDirection = s->FDirection;
    FShow = s->FShow;
    FIndexShow = s->FIndexShow;
    FRow = s->FRow;
    FFixedCols = s->FFixedCols;
    FHeaderColor = s->FHeaderColor;
    FHeaderColorTo = s->FHeaderColorTo;
    FHeaderMirrorColor = s->FHeaderMirrorColor;
    FHeaderMirrorColorTo = s->FHeaderMirrorColorTo;
    FIndexColor = s->FIndexColor;
    FUpGlyph.Assign(s->FUpGlyph);
    FDownGlyph.Assign(s->FDownGlyph);
    FIndexUpGlyph.Assign(s->FIndexUpGlyph);
    FIndexDownGlyph.Assign(s->FIndexDownGlyph);
    FInitSortDirection = s->FInitSortDirection;
    FUndoSort = s->FUndoSort;
    FIndexSortKey = s->FIndexSortKey;
    FAutoColumnMerge = s->FAutoColumnMerge;
}

void TDragDropSettings::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TDragDropSettings*>(source);
    if (!s || s == this)
        return;
    FOleEntireRows = s->FOleEntireRows;
    FOleAcceptText = s->FOleAcceptText;
    FOleAcceptFiles = s->FOleAcceptFiles;
    FOleAcceptURLs = s->FOleAcceptURLs;
    FOleDropSource = s->FOleDropSource;
    FOleColumnsOnly = s->FOleColumnsOnly;
    FOleColumnDragDrop = s->FOleColumnDragDrop;
    FShowCells = s->FShowCells;
}

void TExStringGrid::CalcFooter(int) {}

void TExStringGrid::UpdateFooter() {}

bool TExStringGrid::IsNode(int) const { return false; }

int TExStringGrid::GetNodeLevel(int) const { return -1; }

void TExStringGrid::ExpandAll() {}

void TExStringGrid::Group(int colIndex) { FGroupColumn = colIndex; }

void TExStringGrid::UnGroup() { FGroupColumn = -1; }

void TExStringGrid::SaveColPositions() {}

void TExStringGrid::LoadColPositions() {}

bool TExStringGrid::IsInNodeButton(int, int) { return false; }

void TExStringGrid::ExpandNode(int) {}

void TExStringGrid::ContractNode(int) {}

void TExStringGrid::ContractAll() {}

bool TExStringGrid::GetNodeState(int) { return false; }

int TExStringGrid::GetNodeSpan(int) { return 0; }

bool TExStringGrid::IsSummary(int) { return false; }

bool TExStringGrid::HasExpand(int, int) { return false; }

bool TExStringGrid::ToggleExpand(int, int) { return false; }

void TExStringGrid::QSort() {}

void TExStringGrid::QSortIndexed() {}

void TExStringGrid::QSortGroup() {}

void TExStringGrid::QSortGroupIndexed() {}

void TExStringGrid::QUnSort() {}

void TExStringGrid::InitSortXRef() {}

void TExStringGrid::CopySelectionToClipboard() {}

void TExStringGrid::CutSelectionToClipboard() {}

void TExStringGrid::PasteSelectionFromClipboard() {}

bool TExStringGrid::FilterActive() const { return false; }

void TExStringGrid::SetFilterActive(bool) {}
