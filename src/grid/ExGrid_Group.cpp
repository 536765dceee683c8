// Grouping: the rows with equal texts in one column become the children of a
// node row (ExGrid_Nodes.cpp) that shows the value in column 1, and the
// column leaves the grid while it is grouped. Sub-groups add a second level
// of nodes inside the groups, tagged with their column.
//
// UnGroup puts back exactly what Group took: the column with its width,
// hidden state and every cell (text and object, fixed and footer rows and
// hidden rows included), and the data rows in the order they had before the
// grouping sort. A data row is known again by its column-0 properties object,
// which travels with the row through sorts and moves; Group gives every data
// row one and UnGroup frees those it made. Rows added while grouped follow the
// known ones.
#include "grid/ExGrid.h"

#include "platform/Scope.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

using namespace platform;

struct TExStringGrid::TGroupStash
{
    struct Cell
    {
        QString Text;
        TObject* Object = nullptr;
    };
    struct DataRow
    {
        int Index = 0;          // position among the data rows before grouping
        bool MadeProps = false; // its column-0 properties were made by Group
        Cell Group;             // its cell of the group column
        bool Used = false;
    };
    bool Hidden = false;
    std::vector<Cell> FixedCells;  // rows 0 .. FixedRows - 1
    std::vector<Cell> FooterCells; // the fixed footer rows, top to bottom
    std::unordered_map<const TCellProperties*, DataRow> Rows;
    std::vector<std::pair<const TGridItem*, Cell>> HiddenRows;
};

void TGrouping::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TGrouping*>(source);
    if (!s || s == this)
        return;
    FGroupCountFormat = s->FGroupCountFormat;
    FHeaderColor = s->FHeaderColor;
    FHeaderColorTo = s->FHeaderColorTo;
    FHeaderTextColor = s->FHeaderTextColor;
    FHeaderUnderline = s->FHeaderUnderline;
    FMergeHeader = s->FMergeHeader;
    FMergeSummary = s->FMergeSummary;
    FShowGroupCount = s->FShowGroupCount;
    FSummaryColor = s->FSummaryColor;
    FSummaryColorTo = s->FSummaryColorTo;
    FSummaryTextColor = s->FSummaryTextColor;
    FSummaryLine = s->FSummaryLine;
    FAutoCheckGroup = s->FAutoCheckGroup;
    FAutoSelectGroup = s->FAutoSelectGroup;
}

namespace {

// Colours of a whole row; clNone leaves a colour as it is.
void ColorRow(TExStringGrid& grid, int aRow, TColor color, TColor colorTo, TColor textColor)
{
    if (color != clNone)
        grid.SetRowColor(aRow, color);
    if (colorTo != clNone)
        grid.SetRowColorTo(aRow, colorTo);
    if (textColor != clNone)
        grid.SetRowFontColor(aRow, textColor);
}

// Merges the row's cells from fromCol to the last shown column and colours
// the merged cell.
void MergeRow(TExStringGrid& grid, int aRow, int fromCol, TColor color, TColor colorTo, TColor textColor)
{
    const int span = grid.ColCount() - fromCol;
    if (span < 1)
        return;
    if (span > 1)
        grid.MergeCells(fromCol, aRow, span, 1);
    if (color != clNone)
        grid.SetColors(fromCol, aRow, color);
    if (colorTo != clNone)
        grid.SetColorsTo(fromCol, aRow, colorTo);
    if (textColor != clNone)
        grid.SetFontColors(fromCol, aRow, textColor);
}

// Splits a merge that starts in the row at fromCol.
void SplitRow(TExStringGrid& grid, int aRow, int fromCol)
{
    if (fromCol < grid.TotalColCount() && grid.IsMergedCell(fromCol, aRow) && grid.IsBaseCell(fromCol, aRow))
        grid.SplitCells(fromCol, aRow);
}

} // namespace

// ---------------------------------------------------------------------------
// Group and UnGroup
// ---------------------------------------------------------------------------

void TExStringGrid::SetGroupColumn(int v)
{
    if (v == -1)
        UnGroup();
    else if (v > 0)
        Group(v);
}

void TExStringGrid::Group(int colIndex)
{
    // Column 0 carries the nodes: a grid grouped by it could not be put back.
    // A grid left with column 0 alone would have nowhere to show the values.
    if (FIsGrouping || colIndex < TBaseGrid::FixedCols() || colIndex <= 0 || colIndex >= TotalColCount() ||
        TotalColCount() < 3)
        return;
    if (FGroupColumn != -1)
        UnGroup();
    const int first = TBaseGrid::FixedRows();
    auto lastData = [&] { return RowCount() - FFixedFooters - 1; };
    if (lastData() < first)
        return;

    const TGrouping& grouping = *FGrouping;
    BeginUpdate();
    FIsGrouping = true;
    ScopeExit done{[this] {
        FIsGrouping = false;
        EndUpdate();
        if (FSearchFooter->Visible() && FSearchPanel) {
            // Lays the search footer out again over the new rows.
            FSearchPanel->resize(FSearchPanel->width(), FSearchPanel->height() + 1);
            FSearchPanel->resize(FSearchPanel->width(), FSearchPanel->height() - 1);
        }
    }};

    auto stash = std::make_shared<TGroupStash>();
    FGroupStash = stash;
    FGroupColumn = colIndex;
    FGroupWidth = GetAllColWidths(colIndex);
    FGroupCaption = first > 0 ? GetGridCell(colIndex, 0) : QString();
    FGroupFooter = FFixedFooters > 0 ? GetGridCell(colIndex, RowCount() - 1) : QString();
    stash->Hidden = IsHiddenColumn(colIndex);
    for (int r = first; r <= lastData(); ++r) {
        TCellProperties* p = CellPropsAt(0, r);
        const bool made = !p;
        if (!p)
            p = GetCellProperties(0, r);
        if (p)
            stash->Rows[p] = TGroupStash::DataRow{r - first, made, {}, false};
    }

    if (FSortSettings->AutoSortForGrouping()) {
        FSortSettings->SetColumn(colIndex);
        QSort();
    }

    // The value is in column 1 once the group column is gone.
    const int valueCol = colIndex == 1 ? 2 : 1;
    auto addSummary = [&](int at) {
        InsertRows(at, 1);
        if (TCellGraphic* g = NewCellGraphic(0, at))
            g->CellType = ctSummary;
        if (!grouping.MergeSummary())
            ColorRow(*this, at, grouping.SummaryColor(), grouping.SummaryColorTo(), grouping.SummaryTextColor());
    };
    auto closeGroup = [&](int node, int end) {
        AddNode(RealRowIndex(node), end - node);
        if (TCellGraphic* g = NodeGraphic(node))
            g->CellVar = colIndex;
    };
    int node = -1;
    QString previous;
    int r = first;
    while (r <= lastData()) {
        const QString text = GetGridCell(colIndex, r);
        if (node != -1 && text == previous) {
            ++r;
            continue;
        }
        if (node != -1) {
            closeGroup(node, r);
            if (grouping.Summary())
                addSummary(r++);
        }
        InsertRows(r, 1);
        SetGridCell(valueCol, r, text);
        if (!grouping.MergeHeader())
            ColorRow(*this, r, grouping.HeaderColor(), grouping.HeaderColorTo(), grouping.HeaderTextColor());
        node = r;
        previous = text;
        r += 2;
    }
    if (node != -1) {
        closeGroup(node, lastData() + 1);
        if (grouping.Summary())
            addSummary(lastData() + 1);
    }

    // The group column's cells are kept aside, not freed with the column.
    for (int row = 0; row < RowCount(); ++row) {
        TGroupStash::Cell cell{GetGridCell(colIndex, row), GetGridObject(colIndex, row)};
        if (row < first) {
            stash->FixedCells.push_back(cell);
        } else if (row >= RowCount() - FFixedFooters) {
            stash->FooterCells.push_back(cell);
        } else if (!IsNode(row) && !IsSummary(row)) {
            auto it = stash->Rows.find(CellPropsAt(0, row));
            if (it == stash->Rows.end())
                continue;
            it->second.Group = cell;
        } else {
            continue;
        }
        if (cell.Object)
            SetGridObject(colIndex, row, nullptr);
    }
    for (int i = 0; i < FGridItems.Count(); ++i) {
        TGridItem* item = FGridItems.Items(i);
        TStringObjectList& cells = item->Items();
        if (colIndex >= cells.Count())
            continue;
        stash->HiddenRows.push_back({item, {cells.Strings(colIndex), cells.Objects(colIndex)}});
        cells.SetObjects(colIndex, nullptr);
    }
    RemoveCols(colIndex, 1);

    if (grouping.MergeHeader() || (grouping.MergeSummary() && grouping.Summary())) {
        for (int row = first; row < RowCount() - FFixedFooters; ++row) {
            if (grouping.MergeHeader() && IsNode(row))
                MergeRow(*this, row, 1, grouping.HeaderColor(), grouping.HeaderColorTo(), grouping.HeaderTextColor());
            else if (grouping.MergeSummary() && IsSummary(row))
                MergeRow(*this, row, 1, grouping.SummaryColor(), grouping.SummaryColorTo(),
                         grouping.SummaryTextColor());
        }
    }
    if (FCellNode->ExpandOne())
        for (int row = first; row < RowCount(); ++row)
            if (IsNode(row)) {
                ExpandNode(RealRowIndex(row));
                break;
            }
    if (Col() >= ColCount() || Row() >= RowCount())
        FocusCell(TBaseGrid::FixedCols(), first);
    if (first < RowCount())
        SetRow(first);
    CalcFooter(-1);
}

void TExStringGrid::UnGroup()
{
    if (FGroupColumn <= 0 || FIsGrouping)
        return;
    if (FSubGroupColumn != -1)
        SubUnGroup(FSubGroupColumn);
    const int g = FGroupColumn;
    std::shared_ptr<TGroupStash> stash = std::move(FGroupStash);
    if (!stash)
        stash = std::make_shared<TGroupStash>();
    const int first = TBaseGrid::FixedRows();

    BeginUpdate();
    FIsGrouping = true;
    const bool expandOne = FCellNode->ExpandOne();
    FCellNode->SetExpandOne(false);
    ScopeExit done{[&] {
        FCellNode->SetExpandOne(expandOne);
        FIsGrouping = false;
        EndUpdate();
    }};
    ExpandAll();
    for (int r = first; r < RowCount(); ++r)
        if (IsNode(r) || IsSummary(r))
            SplitRow(*this, r, 1);

    InsertCols(g, 1);
    SetAllColWidths(g, FGroupWidth);
    if (stash->Hidden)
        HideColumn(g);

    // An object that no cell takes back is freed as the column would have.
    auto dispose = [&](TObject* o) {
        if (!o || RowCount() == 0)
            return;
        TObject* kept = GetGridObject(g, 0);
        SetGridObject(g, 0, o);
        FreeCellProps(g, 0);
        SetGridObject(g, 0, kept);
    };
    auto put = [&](int row, const TGroupStash::Cell& cell) {
        SetGridCell(g, row, cell.Text);
        if (GetGridObject(g, row))
            FreeCellProps(g, row);
        SetGridObject(g, row, cell.Object);
    };

    // Node and summary rows go; each data row takes its group's value.
    const int valueCol = g == 1 ? 2 : 1;
    std::vector<char> valued(static_cast<size_t>(RowCount()), 0);
    QString value;
    bool haveValue = false;
    int r = first;
    while (r <= RowCount() - FFixedFooters - 1) {
        if (IsSummary(r)) {
            RemoveRows(r, 1);
            continue;
        }
        if (IsNode(r)) {
            value = GetGridCell(valueCol, r);
            haveValue = true;
            RemoveNode(RealRowIndex(r));
            RemoveRows(r, 1);
            continue;
        }
        if (haveValue) {
            SetGridCell(g, r, value);
            if (r < static_cast<int>(valued.size()))
                valued[static_cast<size_t>(r)] = 1;
        }
        ++r;
    }

    for (size_t i = 0; i < stash->FixedCells.size() && static_cast<int>(i) < first; ++i)
        put(static_cast<int>(i), stash->FixedCells[i]);
    const int footers = std::min<int>(static_cast<int>(stash->FooterCells.size()), FFixedFooters);
    for (int i = 0; i < static_cast<int>(stash->FooterCells.size()); ++i) {
        const TGroupStash::Cell& cell = stash->FooterCells[static_cast<size_t>(i)];
        if (i < footers)
            put(RowCount() - footers + i, cell);
        else
            dispose(cell.Object);
    }

    // The data rows take back their cells, then their order.
    const int lastData = RowCount() - FFixedFooters - 1;
    std::vector<std::pair<int, int>> known; // (position before grouping, row now)
    std::vector<int> added;
    for (r = first; r <= lastData; ++r) {
        auto it = stash->Rows.find(CellPropsAt(0, r));
        if (it == stash->Rows.end() || it->second.Used) {
            added.push_back(r);
            continue;
        }
        TGroupStash::DataRow& d = it->second;
        d.Used = true;
        // A group value edited while grouped stays; otherwise the row's own text.
        if (r >= static_cast<int>(valued.size()) || !valued[static_cast<size_t>(r)] ||
            GetGridCell(g, r) == d.Group.Text)
            SetGridCell(g, r, d.Group.Text);
        if (d.Group.Object) {
            if (GetGridObject(g, r))
                FreeCellProps(g, r);
            SetGridObject(g, r, d.Group.Object);
        }
        // Properties Group made go again, unless the row was given an object since.
        if (const TCellProperties* p = CellPropsAt(0, r);
            d.MadeProps && p && !p->CellObject() && !p->GraphicObject() && p->IsBaseCell() && p->CellSpanX() == -1)
            FreeCellProps(0, r);
        known.push_back({d.Index, r});
    }
    for (auto& [props, d] : stash->Rows)
        if (!d.Used)
            dispose(d.Group.Object);
    std::sort(known.begin(), known.end());
    std::vector<int> order;
    order.reserve(known.size() + added.size());
    for (const auto& k : known)
        order.push_back(k.second);
    order.insert(order.end(), added.begin(), added.end());
    FSortTrackRow = -1;
    ApplyRowOrder(first, order, true);

    for (auto& [item, cell] : stash->HiddenRows) {
        TGridItem* found = nullptr;
        for (int i = 0; i < FGridItems.Count() && !found; ++i)
            if (FGridItems.Items(i) == item)
                found = FGridItems.Items(i);
        if (!found) {
            dispose(cell.Object);
            continue;
        }
        TStringObjectList& cells = found->Items();
        while (cells.Count() <= g)
            cells.Add(QString());
        cells.SetStrings(g, cell.Text);
        cells.SetObjects(g, cell.Object);
    }

    FGroupColumn = -1;
    FGroupWidth = 0;
    FGroupCaption.clear();
    FGroupFooter.clear();
    Invalidate();
    CalcFooter(-1);
}

// ---------------------------------------------------------------------------
// Sub-groups
// ---------------------------------------------------------------------------

namespace {

// The column of a sub-group header that shows the value: the one right of the
// sub-group column, or the column itself when it is the last.
int SubValueColumn(TExStringGrid& grid, int colIndex)
{
    return colIndex + 1 < grid.TotalColCount() ? colIndex + 1 : colIndex;
}

} // namespace

void TExStringGrid::SubGroup(int colIndex)
{
    if (FGroupColumn == -1 || FIsGrouping || colIndex < TBaseGrid::FixedCols() || colIndex <= 0 ||
        colIndex >= TotalColCount())
        return;
    if (FSubGroupColumn != -1)
        SubUnGroup(FSubGroupColumn);
    const int first = TBaseGrid::FixedRows();
    const TGrouping& grouping = *FGrouping;
    BeginUpdate();
    FIsGrouping = true;
    // Expanding one node must not contract the groups still to be walked.
    const bool expandOne = FCellNode->ExpandOne();
    FCellNode->SetExpandOne(false);
    ScopeExit done{[&] {
        FCellNode->SetExpandOne(expandOne);
        FIsGrouping = false;
        if (first < RowCount())
            SetRow(first);
        EndUpdate();
    }};
    ExpandAll();
    FSubGroupColumn = colIndex;
    const int valueCol = SubValueColumn(*this, colIndex);
    int r = first;
    while (r < RowCount() - FFixedFooters) {
        if (!IsNode(r)) {
            ++r;
            continue;
        }
        // A span past the data rows ends with them.
        int end = std::min(r + std::max(GetNodeSpan(r), 1), RowCount() - FFixedFooters);
        int i = r + 1;
        while (i < end) {
            if (IsNode(i) || IsSummary(i)) {
                ++i;
                continue;
            }
            const QString text = GetGridCell(colIndex, i);
            int j = i + 1;
            while (j < end && !IsNode(j) && !IsSummary(j) && GetGridCell(colIndex, j) == text)
                ++j;
            // Rows i .. j - 1 get a header before them.
            InsertChildRow(RealRowIndex(i), 0);
            ++end;
            SetGridCell(valueCol, i, text);
            for (int k = i + 1; k <= j; ++k)
                SetGridCell(colIndex, k, QString());
            AddNode(RealRowIndex(i), j - i + 1);
            if (TCellGraphic* g = NodeGraphic(i))
                g->CellVar = colIndex;
            if (grouping.MergeHeader())
                MergeRow(*this, i, valueCol, grouping.HeaderColor(), grouping.HeaderColorTo(),
                         grouping.HeaderTextColor());
            else
                ColorRow(*this, i, grouping.HeaderColor(), grouping.HeaderColorTo(), grouping.HeaderTextColor());
            i = j + 1;
        }
        r = std::max(end, r + 1);
    }
    CalcFooter(-1);
}

void TExStringGrid::SubUnGroup(int colIndex)
{
    if (colIndex < 0 || FIsGrouping)
        return;
    const int first = TBaseGrid::FixedRows();
    BeginUpdate();
    FIsGrouping = true;
    const bool expandOne = FCellNode->ExpandOne();
    FCellNode->SetExpandOne(false);
    ScopeExit done{[&] {
        FCellNode->SetExpandOne(expandOne);
        FIsGrouping = false;
        EndUpdate();
    }};
    ExpandAll();
    const int valueCol = SubValueColumn(*this, colIndex);
    QString value;
    bool haveValue = false;
    int r = first;
    while (r <= RowCount() - FFixedFooters - 1) {
        const TCellGraphic* node = NodeGraphic(r);
        // Group nodes are level 1 and may carry the same tag.
        if (node && GetNodeLevel(r) > 1 && node->CellVar.toInt() == colIndex) {
            value = GetGridCell(valueCol, r);
            haveValue = true;
            SplitRow(*this, r, valueCol);
            RemoveNode(RealRowIndex(r));
            RemoveChildRow(RealRowIndex(r));
            continue;
        }
        if (node) {
            haveValue = false;
        } else if (!IsSummary(r) && haveValue) {
            SetGridCell(colIndex, r, value);
        }
        ++r;
    }
    if (FSubGroupColumn == colIndex)
        FSubGroupColumn = -1;
    CalcFooter(-1);
}

// ---------------------------------------------------------------------------
// Group totals
// ---------------------------------------------------------------------------

double TExStringGrid::DoGroupCalc(int aCol, int fromRow, int toRow)
{
    double res = 0;
    if (OnGroupCalc)
        OnGroupCalc(this, aCol, fromRow, toRow, res);
    return res;
}

void TExStringGrid::GroupCalc(int aCol, int method)
{
    if (aCol < 0 || aCol >= TotalColCount() || method < 1 || method > 8)
        return;
    const int lastData = RowCount() - FFixedFooters - 1;
    int r = TBaseGrid::FixedRows();
    while (r < RowCount()) {
        if (!IsNode(r) || GetNodeState(r)) {
            ++r;
            continue;
        }
        const int n = r;
        int span = GetNodeSpan(n);
        if (span <= 0) {
            // Up to the next node row.
            span = 1;
            while (n + span < RowCount() && !IsNode(n + span))
                ++span;
        }
        // A span past the data rows ends with them.
        const int from = n + 1, to = std::min(n + span - 1, lastData);
        // The summary row when the group has one, else the node row.
        const int target = FGrouping->Summary() && n + span <= lastData && IsSummary(n + span) ? n + span : n;
        switch (method) {
        case 1: SetFloats(aCol, target, to >= from ? ColumnSum(aCol, from, to) : 0); break;
        case 2: SetFloats(aCol, target, to >= from ? ColumnAvg(aCol, from, to) : 0); break;
        case 3: SetFloats(aCol, target, to >= from ? ColumnMin(aCol, from, to) : 0); break;
        case 4: SetFloats(aCol, target, to >= from ? ColumnMax(aCol, from, to) : 0); break;
        case 5: SetInts(aCol, target, std::max(0, to - n - GetSubNodeCount(n))); break;
        case 6: SetFloats(aCol, target, DoGroupCalc(aCol, from, to)); break;
        case 7: SetFloats(aCol, target, to >= from ? ColumnDistinct(aCol, from, to) : 0); break;
        case 8: SetFloats(aCol, target, to >= from ? ColumnStdDev(aCol, from, to) : 0); break;
        default: break;
        }
        r = n + span;
    }
}

namespace {

void FooterCalc(TExStringGrid& grid, int aCol, TColumnCalcType kind)
{
    if (grid.FloatingFooter().Visible())
        grid.SetColumnCalc(aCol, kind);
}

} // namespace

void TExStringGrid::GroupSum(int aCol)
{
    GroupCalc(aCol, 1);
    FooterCalc(*this, aCol, acSUM);
}

void TExStringGrid::GroupAvg(int aCol)
{
    GroupCalc(aCol, 2);
    FooterCalc(*this, aCol, acAVG);
}

void TExStringGrid::GroupMin(int aCol)
{
    GroupCalc(aCol, 3);
    FooterCalc(*this, aCol, acMIN);
}

void TExStringGrid::GroupMax(int aCol)
{
    GroupCalc(aCol, 4);
    FooterCalc(*this, aCol, acMAX);
}

void TExStringGrid::GroupCount(int aCol)
{
    GroupCalc(aCol, 5);
    FooterCalc(*this, aCol, acCOUNT);
}

void TExStringGrid::GroupCustomCalc(int aCol) { GroupCalc(aCol, 6); }

void TExStringGrid::GroupDistinct(int aCol) { GroupCalc(aCol, 7); }

void TExStringGrid::GroupStdDev(int aCol) { GroupCalc(aCol, 8); }
