// The floating footer: its settings, the column totals written into the
// grid's last row, and the panel that shows that row (or a preview of the
// current row) along the grid's bottom edge.
#include "grid/ExGridFooter.h"

#include "grid/ExGrid.h"
#include "widgets/EsgHTMLE.h"

#include <QEvent>
#include <QSet>

#include <algorithm>
#include <vector>

using namespace platform;

namespace {

// Grids whose footer is being calculated: writing a total must not start
// another calculation.
QSet<const TExStringGrid*>& Calculating()
{
    static QSet<const TExStringGrid*> set;
    return set;
}

} // namespace

// ---- settings

void TFloatingFooter::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TFloatingFooter*>(source);
    if (!s || s == this)
        return;
    FCalculateHiddenRows = s->FCalculateHiddenRows;
    FColor = s->FColor;
    FColumn = s->FColumn;
    FCustomTemplate = s->FCustomTemplate;
    FFooterStyle = s->FFooterStyle;
    SetVisible(s->FVisible);
    SetShowHint(s->FShowHint);
}

TFooterPanel* TFloatingFooter::Panel()
{
    if (!FPanel && FOwner)
        FPanel = new TFooterPanel(FOwner);
    return FPanel;
}

void TFloatingFooter::Invalidate()
{
    if (FPanel)
        FPanel->update();
}

void TFloatingFooter::SetVisible(bool v)
{
    if (v == FVisible && (!v || FPanel))
        return;
    FVisible = v;
    if (!FOwner)
        return;
    TFooterPanel* panel = Panel();
    panel->Dock(v ? FHeight - 1 : 0);
    panel->setVisible(v);
    if (v)
        panel->raise();
    const bool lastRow = v && FFooterStyle == fsFixedLastRow;
    FOwner->SetFixedFooters(lastRow ? 1 : 0);
    FOwner->SetHideLastRow(lastRow);
    FOwner->Invalidate();
}

void TFloatingFooter::SetFooterStyle(TFooterStyle v)
{
    FFooterStyle = v;
    if (FOwner)
        FOwner->SetHideLastRow(FVisible && v == fsFixedLastRow);
    if (FOwner)
        FOwner->Invalidate();
    Invalidate();
}

void TFloatingFooter::SetHeight(int v)
{
    FHeight = v;
    if (FPanel && v > 0 && FVisible)
        FPanel->Dock(v - 1);
}

void TFloatingFooter::SetColor(TColor v)
{
    FColor = v;
    Invalidate();
}

void TFloatingFooter::SetBorderColor(TColor v)
{
    if (v == FBorderColor)
        return;
    FBorderColor = v;
    Invalidate();
}

void TFloatingFooter::SetColumn(int v)
{
    FColumn = v;
    Invalidate();
}

void TFloatingFooter::SetCustomTemplate(const QString& v)
{
    FCustomTemplate = v;
    Invalidate();
}

void TFloatingFooter::SetShowHint(bool v)
{
    FShowHint = v;
    if (FPanel)
        FPanel->setAttribute(Qt::WA_AlwaysShowToolTips, v);
}

// ---- the grid's side

void TExStringGrid::UpdateFooter() { FFloatingFooter->Invalidate(); }

TColumnCalcType TExStringGrid::GetColumnCalc(int aCol)
{
    const TCellProperties* p = CellPropsAt(aCol, RowCount() - 1);
    return p ? p->CalcType() : acNONE;
}

void TExStringGrid::SetColumnCalc(int aCol, TColumnCalcType kind)
{
    if (aCol < 0 || RowCount() < 1)
        return;
    if (TCellProperties* p = GetCellProperties(aCol, RowCount() - 1))
        p->SetCalcType(kind);
    CalcFooter(aCol);
}

void TExStringGrid::CalcFooter(int aCol)
{
    const TFloatingFooter& f = *FFloatingFooter;
    if (!f.Visible() || f.FooterStyle() != fsFixedLastRow || !f.EnableCalculation())
        return;
    if (Calculating().contains(this) || RowCount() < 1)
        return;
    Calculating().insert(this);
    struct Done
    {
        TExStringGrid* g;
        ~Done() { Calculating().remove(g); }
    } done{this};

    const int first = aCol < 0 ? 0 : aCol;
    const int last = aCol < 0 ? AllColCount() - 1 : std::min(aCol, AllColCount() - 1);
    const int footRow = RowCount() - 1;
    for (int c = first; c <= last; ++c) {
        const TCellProperties* p = CellPropsAt(c, footRow);
        if (!p || p->CalcType() == acNONE || p->CalcType() == acSPREAD)
            continue;
        const int h = f.CalculateHiddenRows() ? NumHiddenRows() : 0;
        const int from = TBaseGrid::FixedRows(), to = RowCount() - 2 + h;
        auto asFloat = [&](double v) {
            QString format = FloatFormat();
            QueryFloatFormat(c, footRow, format);
            return FormatFloatText(format, v);
        };
        QString value;
        switch (p->CalcType()) {
        case acSUM: value = asFloat(ColumnSum(c, from, to)); break;
        case acAVG: value = asFloat(ColumnAvg(c, from, to)); break;
        case acCOUNT: value = QString::number(FooterRowCount(h > 0)); break;
        case acMIN: value = asFloat(ColumnMin(c, from, to)); break;
        case acMAX: value = asFloat(ColumnMax(c, from, to)); break;
        case acDISTINCT: value = asFloat(ColumnDistinct(c, from, to)); break;
        case acSTDDEV: value = asFloat(ColumnStdDev(c, from, to)); break;
        case acCUSTOM:
            if (OnFooterCalc)
                OnFooterCalc(this, c, footRow + h, value);
            else if (f.OnCalcFooter)
                f.OnCalcFooter(this, c, footRow + h, value);
            break;
        default: continue;
        }
        // The totals row is written as it stands: no hooks, no new calculation.
        SetGridCell(c, footRow, value);
    }
    UpdateFooter();
}

int TExStringGrid::FooterRowCount(bool withHidden)
{
    const int visible = RowCount() - TBaseGrid::FixedRows() - 1;
    if (FGroupColumn < 0)
        return visible + (withHidden ? NumHiddenRows() : 0);
    // Grouped: node and summary rows are the grid's own, not data.
    int count = 0;
    for (int r = TBaseGrid::FixedRows(); r < AllRowCount() - 1; ++r) {
        if (!withHidden && IsHiddenRow(r))
            continue;
        const auto* g = dynamic_cast<const TCellGraphic*>(
            GraphicObjectOf(dynamic_cast<const TCellProperties*>(GetGridObjectsEx(0, r))));
        if (!g || (g->CellType != ctNode && g->CellType != ctSummary))
            ++count;
    }
    return count;
}

QString TExStringGrid::ExpandFooterTemplate(const QString& text, int aRow)
{
    QString out;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(QStringLiteral("<#"), pos);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(QLatin1Char('>'), open + 2);
        if (close < 0)
            break; // an unclosed placeholder is shown as written
        out += text.mid(pos, open - pos);
        QString number = text.mid(open + 2, close - open - 2).trimmed();
        bool ok = false;
        int n = 0;
        if (number.startsWith(QLatin1Char('$')))
            n = number.mid(1).toInt(&ok, 16);
        else
            n = number.toInt(&ok, 10);
        // Only a column the grid has gives text.
        if (ok && n >= 0 && n < TotalColCount() && aRow >= 0 && aRow < RowCount())
            out += GetCellEx(n, aRow);
        pos = close + 1;
    }
    out += text.mid(pos);
    return out;
}

platform::TCanvas& TExStringGrid::FooterCanvas() { return FFloatingFooter->Panel()->Canvas(); }

// ---- the panel

TFooterPanel::TFooterPanel(TExStringGrid* grid) : TCustomControl(grid), FGrid(grid)
{
    setVisible(false);
    resize(0, 0);
    if (grid)
        grid->installEventFilter(this);
    setMouseTracking(true);
    if (grid && grid->OnCreatedFloatingFooter)
        grid->OnCreatedFloatingFooter(grid);
}

void TFooterPanel::Dock(int height)
{
    if (!FGrid)
        return;
    height = std::max(0, height);
    setGeometry(0, FGrid->height() - height, FGrid->width(), height);
}

bool TFooterPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FGrid && event->type() == QEvent::Resize && isVisible())
        Dock(height());
    return TCustomControl::eventFilter(watched, event);
}

int TFooterPanel::ColumnAt(int x) const
{
    TExStringGrid& g = *FGrid;
    int sum = 0, i = 0;
    const int fixed = g.FixedCols();
    while (i < fixed && sum < x)
        sum += g.ColWidths(i++);
    if (sum < x) {
        i = std::max(i, g.LeftCol());
        while (i < g.ColCount() && sum < x)
            sum += g.ColWidths(i++);
    }
    if (sum < x || i == 0)
        return -1;
    return i - 1;
}

void TFooterPanel::Paint()
{
    TExStringGrid& g = *FGrid;
    TFloatingFooter& f = g.FloatingFooter();
    TCanvas& c = Canvas();
    const TRect client = Rect(0, 0, width(), height());
    int w = 0;
    for (int i = 0; i < g.FixedCols(); ++i)
        w += g.ColWidths(i);
    for (int i = g.LeftCol(); i < g.ColCount(); ++i)
        w += g.ColWidths(i);
    const int footRow = g.RowCount() - 1;

    auto fillBackground = [&](bool frame) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(f.Color());
        c.FillRect(Rect(0, 0, std::min(w, client.Right), client.Bottom));
        c.Brush().SetColor(g.Color());
        if (w < client.Right)
            c.FillRect(Rect(w, 0, client.Right, client.Bottom));
        if (frame) {
            c.Pen().SetColor(0x808080);
            c.MoveTo(0, client.Bottom - 1);
            c.LineTo(w - 1, client.Bottom - 1);
            c.LineTo(w - 1, -1);
            c.Pen().SetColor(clWhite);
            c.MoveTo(w - 1, 0);
            c.LineTo(0, 0);
            c.LineTo(0, client.Bottom);
        }
    };

    switch (f.FooterStyle()) {
    case fsFixedLastRow: {
        fillBackground(false);
        if (footRow < 0)
            break;
        // Columns in painting order: the fixed ones, then the scrolled ones.
        std::vector<int> cols;
        for (int i = 0; i < g.FixedCols() && i < g.ColCount(); ++i)
            cols.push_back(i);
        for (int i = std::max(g.LeftCol(), g.FixedCols()); i < g.ColCount(); ++i)
            cols.push_back(i);
        std::vector<int> xs{0};
        for (int col : cols)
            xs.push_back(xs.back() + g.ColWidths(col));
        const bool whiteEdge = !g.Flat() && (g.Look() == glSoft || g.Look() == glQRV || g.Look() == glXP ||
                                             g.Look() == glVista);
        size_t mergedUntil = 0; // columns before it lie inside a merged cell painted already
        for (size_t k = 0; k < cols.size(); ++k) {
            const int col = cols[k];
            const int real = g.RealColIndex(col);
            const bool fixed = col < g.FixedCols();
            const TRect r = Rect(xs[k], 0, xs[k + 1], client.Bottom);
            const bool inside = k < mergedUntil || g.IsMergedNonBaseCell(real, footRow);
            // A merged cell of the last row is one rectangle over its columns.
            TRect cell = r;
            if (!inside) {
                const size_t span = static_cast<size_t>(std::max(0, g.CellSpan(real, footRow).X));
                const size_t last = std::min(cols.size() - 1, k + span);
                cell.Right = xs[last + 1];
                mergedUntil = last + 1;
            }
            if (!inside) {
                if (!fixed) {
                    TBrush brush;
                    brush.SetColor(clNone);
                    TFont font;
                    if (g.OnGetCellColor)
                        g.OnGetCellColor(&g, footRow, real, gdFixed, brush, font);
                    TColor fill = brush.Color();
                    if (g.GetColors(real, footRow) != clNone)
                        fill = g.GetColors(real, footRow);
                    if (fill != clNone) {
                        c.Brush().SetColor(fill);
                        c.FillRect(cell);
                    }
                }
                if (!fixed && g.OnFooterPaint)
                    g.OnFooterPaint(this, col, c, cell);
                else
                    g.DrawCellContent(c, col, footRow, cell, gdFixed);
            }
            // The separators, none inside a merged cell.
            if (g.Options() & goFixedVertLine) {
                if (whiteEdge && !inside) {
                    c.Pen().SetColor(clWhite);
                    c.MoveTo(cell.Left, 0);
                    c.LineTo(cell.Left, client.Bottom);
                }
                if (k + 1 >= mergedUntil) {
                    c.Pen().SetColor(fixed || g.Look() == glVista ? g.GridLineColor() : TColor(0x808080));
                    c.MoveTo(r.Right - 1, 0);
                    c.LineTo(r.Right - 1, client.Bottom);
                }
            }
            if (g.Options() & goFixedHorzLine) {
                c.Pen().SetColor(g.GridLineColor());
                c.MoveTo(r.Left, 0);
                c.LineTo(r.Right, 0);
            }
        }
        w = xs.back();
        break;
    }
    case fsColumnPreview: {
        fillBackground(true);
        const TRect r = Rect(0, 0, w, client.Bottom);
        const int col = f.Column();
        if (g.OnFooterPaint)
            g.OnFooterPaint(this, col, c, r);
        else if (col >= 0 && col < g.ColCount() && g.Row() >= 0 && g.Row() < g.RowCount()) {
            const TColor keep = g.SelectionTextColor();
            g.SetSelectionTextColor(0);
            g.DrawCellContent(c, col, g.Row(), r, TGridDrawState());
            g.SetSelectionTextColor(keep);
        }
        break;
    }
    case fsCustomPreview: {
        fillBackground(true);
        if (g.Designing()) {
            // While designing there is no current row: the template as written.
            c.Brush().SetStyle(bsClear);
            c.TextOut(2, 2, f.CustomTemplate());
            c.Brush().SetStyle(bsSolid);
            break;
        }
        const QString text = g.ExpandFooterTemplate(f.CustomTemplate(), g.Row());
        THTMLDrawOptions options;
        THTMLDrawResult result;
        DrawHTMLText(c, text, Rect(2, 2, w, client.Bottom), options, result);
        break;
    }
    case fsCustomPaint:
        if (g.OnFooterPaint)
            g.OnFooterPaint(this, f.Column(), c, client);
        w = client.Right;
        break;
    }
    if (f.BorderColor() != clNone) {
        c.Pen().SetColor(f.BorderColor());
        c.MoveTo(0, 0);
        c.LineTo(w, 0);
    }
}

void TFooterPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    TExStringGrid& g = *FGrid;
    if (g.OnClick)
        g.OnClick(&g);
    const int col = ColumnAt(x);
    if (col >= 0 && g.OnClickCell)
        g.OnClickCell(&g, g.RowCount() - 1, col);
}

void TFooterPanel::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    TExStringGrid& g = *FGrid;
    if (!g.FloatingFooter().ShowHint())
        return;
    const int col = ColumnAt(x);
    if (col == FLastHintX)
        return;
    FLastHintX = col;
    QString hint;
    if (col >= 0 && g.OnGridHint)
        g.OnGridHint(&g, g.RowCount() - 1, col, hint);
    setToolTip(hint);
}

void TFooterPanel::MouseLeave()
{
    TCustomControl::MouseLeave();
    FLastHintX = -1;
}
