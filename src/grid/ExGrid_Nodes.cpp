// Tree nodes and expand cells. A node is the ctNode object of column 0 of its
// row: CellBoolean is the contracted flag, CellIndex the span (rows owned,
// its own included; 0 or less: up to the next node row), CellErrFrom the
// sub-node count. The node level of every row is FNodeLevel of its column-0
// cell properties. Contracting hides the owned rows in the grid's one
// hidden-row store; expanding brings back every hidden row up to the next
// display row, whatever level hid it.
#include "grid/ExGrid.h"

#include "platform/Scope.h"

#include <QHash>

#include <algorithm>

using namespace platform;

namespace {

const TBitmap& NodeGlyph(const QString& name)
{
    static QHash<QString, TBitmap> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        RegisterExGridResources();
        TBitmap b;
        try {
            LoadBitmapResource(b, name);
        } catch (const std::exception&) {
            // A missing picture draws nothing.
        }
        b.SetTransparent(true);
        it = cache.insert(name, b);
    }
    return it.value();
}

} // namespace

TCellGraphic* TExStringGrid::NodeGraphic(int aRow) const
{
    if (aRow < 0 || aRow >= RowCount())
        return nullptr;
    auto* g = dynamic_cast<TCellGraphic*>(GraphicObjectOf(CellPropsAt(0, aRow)));
    return g && g->CellType == ctNode ? g : nullptr;
}

bool TExStringGrid::IsNode(int aRow) const { return NodeGraphic(aRow) != nullptr; }

bool TExStringGrid::IsSummary(int aRow)
{
    if (aRow < 0 || aRow >= RowCount())
        return false;
    const auto* g = dynamic_cast<const TCellGraphic*>(GraphicObjectOf(CellPropsAt(0, aRow)));
    return g && g->CellType == ctSummary;
}

bool TExStringGrid::GetNodeState(int aRow)
{
    const TCellGraphic* g = NodeGraphic(aRow);
    return g && g->CellBoolean;
}

void TExStringGrid::SetNodeState(int aRow, bool value)
{
    const TCellGraphic* g = NodeGraphic(aRow);
    if (!g || g->CellBoolean == value)
        return;
    if (value)
        ContractNode(RealRowIndex(aRow));
    else
        ExpandNode(RealRowIndex(aRow));
}

int TExStringGrid::GetNodeLevel(int aRow) const
{
    if (!NodeGraphic(aRow))
        return -1;
    const TCellProperties* p = CellPropsAt(0, aRow);
    return p ? p->NodeLevel() : 0;
}

int TExStringGrid::GetNodeSpan(int aRow)
{
    const TCellGraphic* g = NodeGraphic(aRow);
    return g ? g->CellIndex : -1;
}

void TExStringGrid::SetNodeSpan(int aRow, int value)
{
    if (TCellGraphic* g = NodeGraphic(aRow))
        g->CellIndex = value;
}

void TExStringGrid::UpdateNodeSpan(int aRow, int delta)
{
    if (TCellGraphic* g = NodeGraphic(aRow))
        g->CellIndex += delta;
}

int TExStringGrid::GetSubNodeCount(int aRow)
{
    const TCellGraphic* g = NodeGraphic(aRow);
    return g ? g->CellErrFrom : 0;
}

void TExStringGrid::UpdateSubNodeCount(int aRow, int delta)
{
    if (TCellGraphic* g = NodeGraphic(aRow))
        g->CellErrFrom += delta;
}

int TExStringGrid::GetNodeSpanType(int aRow)
{
    if (IsNode(aRow))
        return 0;
    if (aRow < 0 || aRow >= RowCount() - FFixedFooters - 1)
        return 1;
    const TCellProperties* next = CellPropsAt(0, aRow + 1);
    const TCellProperties* own = CellPropsAt(0, aRow);
    const int level = own ? own->NodeLevel() : 0;
    if (!next || next->NodeLevel() < level)
        return 1;
    return 2;
}

void TExStringGrid::AddNode(int realRow, int span)
{
    const int r = DisplRowIndex(realRow);
    if (r < 0 || r >= RowCount())
        return;
    // The rows owned are those the grid has: a span past the last row is cut.
    if (span > RowCount() - r)
        span = RowCount() - r;
    TCellGraphic* g = NewCellGraphic(0, r);
    if (!g)
        return;
    g->CellType = ctNode;
    g->CellBoolean = false;
    g->CellIndex = span;
    g->CellErrFrom = 0;
    g->CellVar = -1;
    g->CellHAlign = haBeforeText;
    g->CellVAlign = vaCenter;
    for (int i = r; i < r + span; ++i)
        if (TCellProperties* p = GetCellProperties(0, i))
            p->SetNodeLevel(p->NodeLevel() + 1);
    if (FNumNodes == 0)
        RepaintCol(0);
    ++FNumNodes;
    if (Col() == 0 && ColCount() > 1)
        SetCol(1);
}

// The end (display, exclusive) of what a node at display row r owns while
// its rows are shown.
static int NodeEnd(TExStringGrid& grid, int r, int span)
{
    if (span > 0)
        return r + span;
    int e = r + 1;
    while (e < grid.RowCount() && !grid.IsNode(e))
        ++e;
    return e;
}

void TExStringGrid::ExpandNodeRows(int realRow)
{
    const int r = DisplRowIndex(realRow);
    TCellGraphic* g = NodeGraphic(r);
    if (!g || !g->CellBoolean)
        return;
    g->CellBoolean = false;
    int e;
    if (g->CellIndex != 0) {
        e = r + 1;
    } else {
        e = r + 1;
        while (e < RowCount() && !IsNode(e))
            ++e;
    }
    const int oldTop = TopRow(), oldRow = Row();
    const bool disjunct = FMouseActions->DisjunctRowSelect();
    FMouseActions->SetDisjunctRowSelect(false);
    const bool rowSelect = (Options() & goRowSelect) != 0;
    if (rowSelect)
        SetOptions(Options() & ~goRowSelect);
    const bool update = FControlList.Count() == 0;
    if (update)
        BeginUpdate();
    {
        ScopeExit restore{[&] {
            FMouseActions->SetDisjunctRowSelect(disjunct);
            if (update)
                EndUpdate();
        }};
        const int lastReal = e < RowCount() ? RealRowIndex(e) - 1 : TotalRowCount() - 1;
        UnHideRows(RealRowIndex(r) + 1, lastReal);
        if (rowSelect) {
            SetOptions(Options() | goRowSelect);
            if (oldRow < RowCount())
                SetRow(oldRow);
            if (oldTop < RowCount())
                SetTopRow(oldTop);
        }
    }
    CalcFooter(-1);
}

void TExStringGrid::ExpandNode(int realRow)
{
    if (FCellNode->ExpandOne()) {
        const int count = RowCount();
        for (int i = TBaseGrid::FixedRows(); i < count && i < RowCount(); ++i)
            if (const TCellGraphic* g = NodeGraphic(i); g && !g->CellBoolean && RealRowIndex(i) != realRow)
                ContractNode(RealRowIndex(i));
    }
    ExpandNodeRows(realRow);
}

void TExStringGrid::ContractNodeRows(int realRow)
{
    const int r = DisplRowIndex(realRow);
    TCellGraphic* g = NodeGraphic(r);
    if (!g || g->CellBoolean)
        return;
    g->CellBoolean = true;
    const int s = r + 1;
    // A node owns its span in real rows: rows already hidden inside it (by
    // a filter, by hand, by a contracted nested node) do not stretch it over
    // the rows that follow it.
    const int span = g->CellIndex;
    const int realEnd = RealRowIndex(r) + span;
    auto end = [&] {
        if (span <= 0)
            return NodeEnd(*this, r, span);
        int e = s;
        while (e < RowCount() && RealRowIndex(e) < realEnd)
            ++e;
        return e;
    };
    int e = end();
    int i = s;
    while (i < std::min(e, RowCount())) {
        TCellGraphic* nested = NodeGraphic(i);
        if (nested && nested->CellBoolean) {
            // Its rows are hidden already; they come back with this node,
            // the nested node then expanded.
            nested->CellBoolean = false;
            if (QWidget* c = GetCellControls(1, i + 1))
                c->setVisible(false);
            HideRows(RealRowIndex(s), RealRowIndex(i));
            e = span > 0 ? end() : e - (i - s) - std::max(nested->CellIndex, 1);
            i = s;
        } else {
            ++i;
        }
    }
    if (i > s)
        HideRows(RealRowIndex(s), RealRowIndex(i - 1));
}

void TExStringGrid::ContractNode(int realRow)
{
    HideInplaceEdit();
    // The current cell may have to leave the rows going out of sight.
    {
        FlagGuard force(FForceSel);
        const int r = DisplRowIndex(realRow);
        const TCellGraphic* g = NodeGraphic(r);
        if (!g || g->CellBoolean)
            return;
        ContractNodeRows(realRow);
    }
    CalcFooter(-1);
}

void TExStringGrid::ExpandAll()
{
    BeginUpdate();
    {
        ScopeExit end{[&] { EndUpdate(); }};
        for (int i = TBaseGrid::FixedRows(); i < AllRowCount() && i < RowCount(); ++i)
            if (TCellGraphic* g = NodeGraphic(i)) {
                ExpandNode(i);
                g->CellBoolean = false;
            }
    }
    CalcFooter(-1);
}

void TExStringGrid::ContractAll()
{
    BeginUpdate();
    {
        ScopeExit end{[&] { EndUpdate(); }};
        ExpandAll();
        TIntList rows;
        int i = TBaseGrid::FixedRows();
        while (i < RowCount()) {
            TCellGraphic* g = NodeGraphic(i);
            if (!g) {
                ++i;
                continue;
            }
            g->CellBoolean = true;
            const int e = NodeEnd(*this, i, g->CellIndex);
            for (int k = i + 1; k < std::min(e, RowCount()); ++k)
                rows.Add(k);
            i = std::max(e, i + 1);
        }
        if (rows.Count() > 0)
            HideRowList(rows);
    }
    CellControlsUpdate();
    CalcFooter(-1);
}

void TExStringGrid::RemoveNode(int realRow)
{
    ExpandNodeRows(realRow);
    const int r = DisplRowIndex(realRow);
    const TCellGraphic* g = NodeGraphic(r);
    if (!g)
        return;
    const int e = NodeEnd(*this, r, g->CellIndex);
    for (int i = r; i < std::min(e, RowCount()); ++i)
        if (TCellProperties* p = CellPropsAt(0, i); p && p->NodeLevel() > 0)
            p->SetNodeLevel(p->NodeLevel() - 1);
    RemoveCellGraphicOfType(0, r, ctNode);
    if (FNumNodes > 0)
        --FNumNodes;
}

void TExStringGrid::RemoveAllNodes()
{
    for (int r = 0; r < RowCount(); ++r) {
        if (!IsNode(r))
            continue;
        ExpandNode(RealRowIndex(r));
        const TCellGraphic* g = NodeGraphic(r);
        if (!g)
            continue;
        const int e = NodeEnd(*this, r, g->CellIndex);
        for (int i = r; i < std::min(e, RowCount()); ++i)
            if (TCellProperties* p = CellPropsAt(0, i); p && p->NodeLevel() > 0)
                p->SetNodeLevel(p->NodeLevel() - 1);
        RemoveCellGraphicOfType(0, r, ctNode);
        if (FNumNodes > 0)
            --FNumNodes;
    }
    Invalidate();
}

int TExStringGrid::GetParentRow(int aRow)
{
    if (FNumNodes <= 0 || aRow < 0 || aRow >= RowCount())
        return -1;
    int level = 65535, result = -1;
    if (IsNode(aRow)) {
        level = GetNodeLevel(aRow);
        result = aRow;
    }
    int hiddenSum = 0;
    for (int r = aRow; r >= TBaseGrid::FixedRows(); --r) {
        const TCellGraphic* g = NodeGraphic(r);
        if (!g || GetNodeLevel(r) >= level)
            continue;
        if (g->CellBoolean)
            hiddenSum += g->CellIndex - 1;
        if (aRow < r + g->CellIndex - hiddenSum)
            return r;
    }
    return result;
}

void TExStringGrid::InsertNormalRow(int realRow)
{
    const int d = std::clamp(DisplRowIndex(realRow), 0, RowCount());
    InsertRows(d, 1);
}

void TExStringGrid::RemoveNormalRow(int aRow)
{
    if (aRow < 0 || aRow >= RowCount())
        return;
    // Removing the row lowers the maximum-row counter already.
    RemoveRows(aRow, 1);
}

void TExStringGrid::InsertChildRow(int realRow, int insertAt)
{
    const int r = DisplRowIndex(realRow);
    if (r < 0 || r >= RowCount())
        return;
    const int parent = GetParentRow(r);
    int level = 1;
    if (parent != -1) {
        UpdateNodeSpan(parent, 1);
        UpdateSubNodeCount(parent, 1);
        ExpandNode(RealRowIndex(parent));
        level = GetNodeLevel(parent);
        int current = parent;
        int reached = level;
        while (reached > 1 && current >= TBaseGrid::FixedRows()) {
            const int above = GetParentRow(current);
            if (above < 0 || above == current)
                break;
            if (GetNodeLevel(above) < reached) {
                UpdateNodeSpan(above, 1);
                UpdateSubNodeCount(above, 1);
                ExpandNode(RealRowIndex(above));
                reached = GetNodeLevel(above);
            }
            current = above;
        }
    }
    const bool node = IsNode(r);
    const bool moveContents = node && insertAt == 0;
    if (moveContents)
        insertAt = 1;
    InsertRows(r + insertAt, 1);
    if (moveContents) {
        // The node row's former contents become its first child.
        for (int c = 0; c < TotalColCount(); ++c) {
            SetGridCell(c, r + 1, GetGridCell(c, r));
            SetGridCell(c, r, QString());
            if (c > 0) {
                SetGridObject(c, r + 1, GetGridObject(c, r));
                SetGridObject(c, r, nullptr);
            }
        }
    }
    if (parent != -1)
        if (TCellProperties* p = GetCellProperties(0, r + insertAt))
            p->SetNodeLevel(GetNodeLevel(parent));
    (void)level;
}

void TExStringGrid::RemoveChildRow(int realRow)
{
    const int r = DisplRowIndex(realRow);
    if (r < 0 || r >= RowCount())
        return;
    const int parent = GetParentRow(r);
    if (parent != -1 && parent != r) {
        const int level = GetNodeLevel(parent);
        if (GetNodeSpan(parent) > 1) {
            UpdateNodeSpan(parent, -1);
            UpdateSubNodeCount(parent, -1);
        }
        ExpandNode(RealRowIndex(parent));
        int current = parent;
        while (GetNodeLevel(current) > 1) {
            const int above = GetParentRow(current);
            if (above < 0 || above == current || GetNodeLevel(above) >= level)
                break;
            if (GetNodeSpan(above) > 1) {
                UpdateNodeSpan(above, -1);
                UpdateSubNodeCount(above, -1);
            }
            ExpandNode(RealRowIndex(above));
            current = above;
        }
    }
    RemoveRows(r, 1);
}

bool TExStringGrid::IsInNodeButton(int aRow, int x)
{
    if (!FMouseActions->PreciseNodeClick())
        return true;
    const TCellProperties* p = CellPropsAt(0, aRow);
    const int level = p ? p->NodeLevel() : 0;
    const int indent = FCellNode->NodeIndent();
    int w = 4, m = 4;
    switch (FCellNode->NodeType()) {
    case cnFlat: w = 4; m = 4; break;
    case cn3D: w = 6; m = 0; break;
    case cnGlyph:
        w = FCellNode->ExpandGlyph().Empty() ? 0 : FCellNode->ExpandGlyph().Width() / 2;
        m = FCellNode->ExpandGlyph().Empty() ? 0 : 2;
        break;
    case cnLeaf: w = 8; m = 2; break;
    case cnXP: w = 4; m = 4; break;
    }
    return m + (level - 1) * indent < x && x < w + level * indent;
}

bool TExStringGrid::NodeButtonPress(int aRow, int x)
{
    if (aRow < TBaseGrid::FixedRows() || !IsNode(aRow) || !IsInNodeButton(aRow, x))
        return false;
    const int real = RealRowIndex(aRow);
    bool allow = true;
    if (GetNodeState(aRow)) {
        if (OnBeforeExpandNode)
            OnBeforeExpandNode(this, real, allow);
        if (allow) {
            ExpandNode(real);
            if (OnExpandNode)
                OnExpandNode(this, real);
        }
    } else {
        if (OnBeforeContractNode)
            OnBeforeContractNode(this, real, allow);
        if (allow) {
            ContractNode(real);
            if (OnContractNode)
                OnContractNode(this, real);
        }
    }
    if (FMouseActions->MoveRowOnNodeClick()) {
        const int d = DisplRowIndex(real);
        if (d >= TBaseGrid::FixedRows() && d < RowCount())
            SetRow(d);
    }
    return true;
}

void TExStringGrid::HeaderNodePress(int aRow)
{
    if (!FMouseActions->NodeAllExpandContract() || aRow < 0 || aRow >= TBaseGrid::FixedRows() || !IsNode(aRow))
        return;
    if (NodeGraphic(aRow)->CellBoolean)
        ExpandAll();
    else
        ContractAll();
    // The header stays where it is, whatever rows came and went below it.
    if (TCellGraphic* g = NodeGraphic(aRow)) {
        g->CellBoolean = !g->CellBoolean;
        RepaintCell(0, aRow);
    }
}

void TExStringGrid::PaintNodeGlyph(TCanvas& canvas, const TRect& r, int aRow, TColor background)
{
    const TCellGraphic* g = NodeGraphic(aRow);
    if (!g)
        return;
    const int indent = FCellNode->NodeIndent();
    const TCellProperties* p = CellPropsAt(0, aRow);
    const int level = p ? p->NodeLevel() : 0;
    const int nodeIndent = level * indent;
    const int midY = r.Top + r.Height() / 2;
    if (FCellNode->ShowTree() && aRow >= TBaseGrid::FixedRows()) {
        canvas.Pen().SetColor(FCellNode->TreeColor());
        canvas.Pen().SetWidth(1);
        const int x = r.Left + nodeIndent - indent + indent / 2 + 2;
        const TCellProperties* next = aRow + 1 < RowCount() ? CellPropsAt(0, aRow + 1) : nullptr;
        const int nextLevel = next ? next->NodeLevel() : 0;
        if (next && nextLevel > 0 && !(g->CellBoolean && nextLevel < level)) {
            canvas.MoveTo(x, midY);
            canvas.LineTo(x, r.Bottom);
        }
        const TCellProperties* prev = aRow - 1 >= 0 ? CellPropsAt(0, aRow - 1) : nullptr;
        if (prev && prev->NodeLevel() >= level) {
            canvas.MoveTo(x, r.Top);
            canvas.LineTo(x, r.Top + 6);
        }
    }
    const int left = r.Left + nodeIndent - indent / 2 - 4;
    const bool contracted = g->CellBoolean;
    switch (FCellNode->NodeType()) {
    case cnLeaf: {
        const TBitmap& b = NodeGlyph(contracted ? QStringLiteral("ESGLEAFCLOSE") : QStringLiteral("ESGLEAFOPEN"));
        canvas.Draw(left, r.Top + (r.Height() - 12) / 2, b);
        break;
    }
    case cnXP: {
        const TBitmap& b = NodeGlyph(contracted ? QStringLiteral("XPNODEC") : QStringLiteral("XPNODEO"));
        canvas.Draw(left + 4, r.Top + (r.Height() - 10) / 2, b);
        break;
    }
    case cnGlyph:
        if (!FCellNode->ExpandGlyph().Empty() && !FCellNode->ContractGlyph().Empty()) {
            const TBitmap& b = contracted ? FCellNode->ContractGlyph() : FCellNode->ExpandGlyph();
            canvas.Draw(left, r.Top + (r.Height() - FCellNode->ContractGlyph().Height()) / 2, b);
            break;
        }
        [[fallthrough]];
    case cn3D:
    case cnFlat: {
        const int bx = left + 4, by = r.Top + (r.Height() - 8) / 2;
        if (FCellNode->NodeType() == cn3D) {
            canvas.Brush().SetColor(FCellNode->Color());
            canvas.FillRect(Rect(bx, by, bx + 9, by + 9));
        } else {
            canvas.Brush().SetColor(background == clNone ? Color() : background);
            canvas.FillRect(Rect(bx, by, bx + 9, by + 9));
        }
        canvas.Pen().SetColor(FCellNode->NodeColor());
        canvas.Pen().SetWidth(1);
        canvas.Brush().SetStyle(bsClear);
        canvas.Rectangle(Rect(bx, by, bx + 9, by + 9));
        canvas.Brush().SetStyle(bsSolid);
        canvas.MoveTo(bx + 2, by + 4);
        canvas.LineTo(bx + 7, by + 4);
        if (contracted) {
            canvas.MoveTo(bx + 4, by + 2);
            canvas.LineTo(bx + 4, by + 7);
        }
        break;
    }
    }
}

void TExStringGrid::PaintTreeLines(TCanvas& canvas, const TRect& r, int aRow)
{
    if (!HasNodes() || !FCellNode->ShowTree() || aRow < TBaseGrid::FixedRows() || IsNode(aRow))
        return;
    const int indent = FCellNode->NodeIndent();
    const int nodeIndent = RowNodeIndent(aRow);
    const int x0 = r.Left + nodeIndent + indent / 2 - indent + 2;
    const int midY = r.Top + r.Height() / 2;
    canvas.Pen().SetColor(FCellNode->TreeColor());
    canvas.Pen().SetWidth(1);
    const TCellProperties* p = CellPropsAt(0, aRow);
    const int level = p ? p->NodeLevel() : 0;
    if (level > 0) {
        canvas.MoveTo(x0, midY);
        canvas.LineTo(FCellNode->ShowTreeFull() ? r.Right : r.Left + nodeIndent + 4, midY);
    }
    switch (GetNodeSpanType(aRow)) {
    case 1:
        canvas.MoveTo(x0, r.Top);
        canvas.LineTo(x0, midY);
        break;
    case 2:
        canvas.MoveTo(x0, r.Top);
        canvas.LineTo(x0, r.Bottom + 4);
        break;
    default: break;
    }
    if (level > 0) {
        const TCellProperties* next = aRow + 1 < RowCount() ? CellPropsAt(0, aRow + 1) : nullptr;
        const int nextLevel = next ? next->NodeLevel() : 0;
        for (int i = 1; i <= level; ++i) {
            const int x = x0 - indent * i;
            canvas.MoveTo(x, r.Top);
            canvas.LineTo(x, midY);
            if (nextLevel != 0)
                canvas.LineTo(x, r.Bottom + 4);
            else if (i < level)
                canvas.LineTo(x0 + indent - indent * i, midY);
        }
    }
    canvas.Pen().SetStyle(psSolid);
}

// ---- expand cells

bool TExStringGrid::HasExpand(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0)
        return false;
    const TPoint b = BaseCell(aCol, aRow);
    return GetCellType(b.X, b.Y) == ctExpand;
}

void TExStringGrid::AddExpand(int aCol, int aRow, int expandedHeight)
{
    if (aCol < 0 || aRow < 0 || aRow >= RowCount())
        return;
    const int height = RowHeights(aRow);
    TCellGraphic* g = NewCellGraphic(aCol, aRow);
    if (!g)
        return;
    g->CellType = ctExpand;
    g->CellAngle = expandedHeight;
    g->CellIndex = height;
    g->CellVar = false;
}

void TExStringGrid::RemoveExpand(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctExpand); }

bool TExStringGrid::ToggleExpand(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0)
        return false;
    const TPoint b = BaseCell(aCol, aRow);
    auto* g = dynamic_cast<TCellGraphic*>(GetGraphicObjectEx(b.X, b.Y));
    if (!g)
        return false;
    g->CellVar = !g->CellVar.toBool();
    return g->CellVar.toBool();
}

bool TExStringGrid::GetExpandState(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0)
        return false;
    const TPoint b = BaseCell(aCol, aRow);
    const auto* g = dynamic_cast<const TCellGraphic*>(GetGraphicObjectEx(b.X, b.Y));
    return g && g->CellVar.toBool();
}

int TExStringGrid::GetExpandHeight(int aCol, int aRow, bool expanded)
{
    if (aCol < 0 || aRow < 0)
        return DefaultRowHeight();
    const TPoint b = BaseCell(aCol, aRow);
    const auto* g = dynamic_cast<const TCellGraphic*>(GetGraphicObjectEx(b.X, b.Y));
    if (!g)
        return DefaultRowHeight();
    return expanded ? g->CellAngle : g->CellIndex;
}
