// Neutral answers of the grid's extras until the column stores are built;
// the footer, nodes, sorting and grouping live in ExGrid_Footer.cpp,
// ExGrid_Nodes.cpp, ExGrid_Sort.cpp and ExGrid_Group.cpp.
#include "grid/ExGridExtras.h"

#include "grid/ExGrid.h"

void TSortSettings::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TSortSettings*>(source);
    if (!s || s == this)
        return;
    FColumn = s->FColumn;
    FDirection = s->FDirection;
    FShow = s->FShow;
    FFull = s->FFull;
    FAutoFormat = s->FAutoFormat;
    FIgnoreBlanks = s->FIgnoreBlanks;
    FBlankPos = s->FBlankPos;
    FSingleColumn = s->FSingleColumn;
    FNormalCellsOnly = s->FNormalCellsOnly;
    FAutoSortForGrouping = s->FAutoSortForGrouping;
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
    FOleDropTarget = s->FOleDropTarget;
    FOleDropRTF = s->FOleDropRTF;
    FOleInsertRows = s->FOleInsertRows;
    FOleAppendRows = s->FOleAppendRows;
    FOleRemoveRows = s->FOleRemoveRows;
    FOleCopyAlways = s->FOleCopyAlways;
    FOleColumnReorder = s->FOleColumnReorder;
}
