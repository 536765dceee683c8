// The multi-column list: columns, items and the owner-drawn list grid.
#include "controls/ExMultiColumnDropDown.h"

#include "platform/Scope.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>

using namespace platform;

namespace exmcdd {

namespace {

int ScrollBarWidth()
{
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

} // namespace

// ---------------------------------------------------------------------------
// Columns and items
// ---------------------------------------------------------------------------

void TDropDownColumn::Assign(const TDropDownColumn& s)
{
    FWordwrap = s.FWordwrap;
    FWidth = s.FWidth;
    FAutoSize = s.FAutoSize;
    FHeader = s.FHeader;
    FAlignment = s.FAlignment;
    FColor = s.FColor;
    FColumnType = s.FColumnType;
    FFont.Assign(s.FFont);
    FEllipsis = s.FEllipsis;
}

QString TDropDownItem::ColumnText(int column) const
{
    return HasColumn(column) ? FText.at(column) : QString();
}

// The strings are the item: a copy without them would show empty rows.
void TDropDownItem::Assign(const TDropDownItem& s)
{
    FImageIndex = s.FImageIndex;
    FText = s.FText;
}

int TDropDownItems::IndexInColumn(int column, const QString& value) const
{
    for (int i = 0; i < Count(); ++i) {
        const TDropDownItem* item = Items(i);
        if (item->HasColumn(column) && item->Text().at(column) == value)
            return i;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// TExColGrid
// ---------------------------------------------------------------------------

TExColGrid::TExColGrid(QWidget* parent) : TStringGrid(parent), FColumns(std::make_unique<TDropDownColumns>(this))
{
    SetFixedRows(1);
    SetFixedCols(0);
    FHeaderHeight = 25;
    SetOptions((Options() & ~(goRangeSelect | goDrawFocusSelected)) | goHorzLine | goRowSelect);
    SetDefaultDrawing(false);
    SetGridLineWidth(0);
    SetBorderStyle(bsNone);
    FGridLineWidth = 1;
}

TExColGrid::~TExColGrid() = default;

void TExColGrid::SetGridLineWidth(int w)
{
    FGridLineWidth = w;
    TStringGrid::SetGridLineWidth(0);
    Invalidate();
}

void TExColGrid::LoadFromDropDown(TExMultiColumnDropDown* d)
{
    FExDropDown = d;
    if (!d)
        return;
    FColumns->Assign(d->Columns());
    SetColCount(FColumns->Count());
    SetRowCount(d->Items().Count() + 1);
    if (RowCount() > 1) {
        SetFixedRows(1);
        SetRow(1);
        SetRowCount(d->Items().Count() + 1);
    }
    for (int i = 0; i < FColumns->Count(); ++i)
        SetColWidths(i, FColumns->Items(i)->Width());
    FLineColor = d->LineColor();
    FFixedLineColor = d->FixedLineColor();
    FHeaderColor = d->HeaderColor();
    FHeaderColorTo = d->HeaderColorTo();
    FHeaderHeight = d->HeaderHeight();
    FHeaderFont.Assign(d->HeaderFont());
    FImages = d->Images();
    SetDefaultRowHeight(d->DropDownRowHeight());
    SetRowHeights(0, FHeaderHeight);
    if (d->ColumnSizing())
        SetOptions(Options() | goColSizing);
    else
        SetOptions(Options() & ~goColSizing);
    AutoSizeColumns();
    AutoSizeRows();
}

bool TExColGrid::ShowsImage(int column, const TDropDownItem& item) const
{
    return column < FColumns->Count() && FColumns->Items(column)->ColumnType() == ctImage && FImages &&
           item.HasColumn(column) && item.ImageIndex() >= 0;
}

void TExColGrid::AutoSizeColumns()
{
    for (int i = 0; i < FColumns->Count(); ++i)
        if (FColumns->Items(i)->AutoSize())
            AutoSizeColumn(i);
}

void TExColGrid::AutoSizeColumn(int index)
{
    if (index < 0 || index >= FColumns->Count() || !FColumns->Items(index)->AutoSize() || !FExDropDown ||
        !FExDropDown->DropDownForm() || parentWidget() != FExDropDown->DropDownForm())
        return;
    TDropDownColumn* column = FColumns->Items(index);
    const QFontMetrics fm(column->Font().ToQFont());
    int widest = 0;
    const TDropDownItems& items = FExDropDown->Items();
    for (int r = 0; r < items.Count(); ++r) {
        const TDropDownItem& item = *items.Items(r);
        int w = ShowsImage(index, item) ? FImages->Width() + 4 : 0;
        const QString text = item.ColumnText(index);
        if (!text.isEmpty())
            w += fm.boundingRect(QRect(0, 0, 1000, 500), Qt::TextSingleLine | Qt::TextExpandTabs, text).width() + 6;
        widest = std::max(widest, w);
    }
    column->SetWidth(widest);
    if (index < ColCount())
        SetColWidths(index, widest);
}

void TExColGrid::AutoSizeRows()
{
    if (!FExDropDown || !FExDropDown->DropDownForm() || parentWidget() != FExDropDown->DropDownForm())
        return;
    std::vector<int> wrapping;
    for (int i = 0; i < FColumns->Count(); ++i)
        if (FColumns->Items(i)->Wordwrap())
            wrapping.push_back(i);
    if (wrapping.empty())
        return;
    const TDropDownItems& items = FExDropDown->Items();
    for (int r = 0; r < items.Count() && r + 1 < RowCount(); ++r) {
        const TDropDownItem& item = *items.Items(r);
        int h = 24;
        for (const int c : wrapping) {
            int b = ShowsImage(c, item) ? FImages->Height() + 6 : 0;
            const QString text = item.ColumnText(c);
            if (!text.isEmpty()) {
                const QFontMetrics fm(FColumns->Items(c)->Font().ToQFont());
                const int w = c < ColCount() ? ColWidths(c) : 0;
                const QRect box = fm.boundingRect(QRect(0, 0, std::max(1, w), 500), Qt::TextWordWrap, text);
                b = std::max(b, box.height() + 6);
            }
            h = std::max(h, b);
        }
        SetRowHeights(r + 1, h);
    }
}

int TExColGrid::GetTotalWidth() const
{
    int w = BorderStyle() == bsNone ? 0 : 2 * 2;
    for (int i = 0; i < ColCount(); ++i)
        w += ColWidths(i);
    if (VisibleRowCount() + FixedRows() != RowCount())
        w += ScrollBarWidth();
    return w;
}

TRect TExColGrid::FullCellRect(int column, int row) const
{
    const TRect r = CellRect(column, row);
    const bool shown = r.Right > r.Left && r.Bottom > r.Top;
    const int left = shown ? r.Left : 0, top = shown ? r.Top : 0;
    const int w = column >= 0 && column < ColCount() ? ColWidths(column) : 0;
    const int h = row >= 0 && row < RowCount() ? RowHeights(row) : 0;
    return Rect(left, top, left + w, top + h);
}

void TExColGrid::DoSelect()
{
    if (OnSelect)
        OnSelect(this);
}

void TExColGrid::DrawCell(int c, int r, const TRect& rect, TGridDrawState state)
{
    TCanvas& canvas = Canvas();
    TExMultiColumnDropDown* d = FExDropDown;
    if (d && d->OnDropDownDrawItem) {
        d->OnDropDownDrawItem(d, c, r, canvas, rect);
        return;
    }
    const int position = ColCount() == 1 ? 0 : c == FixedCols() ? 1 : c == ColCount() - 1 ? 2 : 3;
    TRect cr = FullCellRect(c, r);
    // Row 0 is the header also when an empty list leaves no fixed row.
    const bool header = r == 0 || r < FixedRows();
    const bool selected = !header && r == Row();

    QString text = Cells(c, r);
    TColor background = Color();
    TAlignment alignment = TAlignment::taLeftJustify;
    bool wordwrap = false, ellipsis = false;
    int imageIndex = -1;
    TFont font;
    font.Assign(FHeaderFont);
    const TDropDownColumn* column = c >= 0 && c < FColumns->Count() ? FColumns->Items(c) : nullptr;
    if (column) {
        background = column->Color();
        alignment = column->Alignment();
        wordwrap = column->Wordwrap();
        ellipsis = column->Ellipsis();
        font.Assign(column->Font());
        if (d && !header && r - 1 < d->Items().Count()) {
            const TDropDownItem& item = *d->Items().Items(r - 1);
            if (column->ColumnType() == ctImage)
                imageIndex = item.ImageIndex();
            if (item.HasColumn(c))
                text = item.Text().at(c);
        }
    }
    if (d && d->OnDropDownGetItemText)
        d->OnDropDownGetItemText(d, c, r, text);

    canvas.Pen().SetWidth(1);
    if (header) {
        if (column) {
            text = column->Header();
            imageIndex = -1;
        }
        if (FHeaderColor == clNone || FHeaderColorTo == clNone) {
            if (FHeaderColor != clNone) {
                canvas.Brush().SetStyle(TBrushStyle::bsSolid);
                canvas.Brush().SetColor(FHeaderColor);
                canvas.FillRect(cr);
            }
        } else if (d) {
            d->DrawDropDownGradient(canvas, FHeaderColor, FHeaderColorTo, gdVertical, cr, 80);
        } else {
            DrawSteppedGradient(canvas, FHeaderColor, FHeaderColorTo, false, cr, 80);
        }
    } else if (selected) {
        if (d) {
            d->DrawSelection(canvas, cr, background, position);
        } else {
            canvas.Brush().SetStyle(TBrushStyle::bsSolid);
            canvas.Brush().SetColor(clActiveCaption);
            canvas.FillRect(cr);
        }
    } else {
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        canvas.Brush().SetColor(background);
        canvas.Pen().SetColor(background);
        canvas.Rectangle(cr);
    }

    // The list's own lines.
    const int lw = FGridLineWidth;
    bool bottom = false, right = false;
    int k = 1;
    if (header) {
        canvas.Pen().SetColor(FFixedLineColor);
        canvas.Pen().SetWidth(1);
        bottom = (Options() & goFixedHorzLine) != 0;
        right = (Options() & goFixedVertLine) != 0;
    } else if (lw > 0) {
        // Without a width nothing is drawn: a zero-width pen would still draw
        // one pixel in whatever colour the pen had.
        canvas.Pen().SetColor(FLineColor);
        canvas.Pen().SetWidth(lw);
        k = (lw + 1) / 2;
        bottom = (Options() & goHorzLine) != 0;
        right = (Options() & goVertLine) != 0;
    }
    if (bottom) {
        canvas.MoveTo(cr.Left - k + 1, cr.Bottom - k);
        canvas.LineTo(cr.Right - k + 1, cr.Bottom - k);
    }
    if (right) {
        const int x = layoutDirection() == Qt::RightToLeft ? cr.Right - k + 1 : cr.Right - k;
        canvas.MoveTo(x, cr.Bottom - k);
        canvas.LineTo(x, cr.Top - k);
    }
    canvas.Pen().SetWidth(1);

    cr.Left += lw;
    cr.Top += lw;
    cr.Right -= lw;
    cr.Bottom -= lw;
    TRect textRect = cr;
    textRect.Left = cr.Left + 2;
    if (FImages && imageIndex >= 0) {
        const int h = cr.Bottom - cr.Top;
        const int y = FImages->Height() < h ? cr.Top + (h - FImages->Height()) / 2 : cr.Top;
        FImages->Draw(canvas, cr.Left + 2, y, imageIndex, true);
        textRect.Left = cr.Left + FImages->Width() + 4;
    }
    if (text.isEmpty())
        return;
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    if (header)
        font.Assign(FHeaderFont);
    if (selected && d)
        font.SetColor(d->SelectionTextColor());
    canvas.SetFont(font);
    unsigned flags = DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS;
    flags |= wordwrap ? (DT_WORDBREAK | DT_EDITCONTROL) : DT_SINGLELINE;
    flags |= alignment == TAlignment::taCenter ? DT_CENTER : alignment == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT;
    if (ellipsis)
        flags |= DT_END_ELLIPSIS;
    canvas.DrawText(text, textRect, flags);
}

void TExColGrid::KeyDown(int& key, TShiftState shift)
{
    FConfirmSelection = true;
    if ((shift & ssAlt) && (key == VK_UP || key == VK_DOWN)) {
        if (FExDropDown)
            FExDropDown->KeyDown(key, shift);
        return;
    }
    const int pressed = key;
    TStringGrid::KeyDown(key, shift);
    // Enter on an empty list (only the header) chooses nothing.
    if (pressed == VK_RETURN && Row() >= std::max(1, FixedRows()) && Row() < RowCount())
        DoSelect();
}

bool TExColGrid::DoMouseWheelDown(TShiftState shift, const TPoint& mousePos)
{
    FMouseWheelSelection = true;
    FConfirmSelection = false;
    const platform::ScopeExit done{[this] { FMouseWheelSelection = false; }};
    return TStringGrid::DoMouseWheelDown(shift, mousePos);
}

bool TExColGrid::DoMouseWheelUp(TShiftState shift, const TPoint& mousePos)
{
    FMouseWheelSelection = true;
    FConfirmSelection = false;
    const platform::ScopeExit done{[this] { FMouseWheelSelection = false; }};
    return TStringGrid::DoMouseWheelUp(shift, mousePos);
}

void TExColGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    FConfirmSelection = true;
    TStringGrid::MouseDown(button, shift, x, y);
}

void TExColGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TStringGrid::MouseUp(button, shift, x, y);
    int c = -1, r = -1;
    MouseToCell(x, y, c, r);
    // The header is never an item, also when an empty list has no fixed row.
    if (r >= std::max(1, FixedRows()) && r < RowCount())
        DoSelect();
}

void TExColGrid::WndProc(TMessage& m)
{
    if (m.Msg == WM_KEYDOWN && m.WParam == VK_TAB)
        return;
    if (m.Msg == WM_GETDLGCODE) {
        m.Result = DLGC_WANTARROWS | DLGC_WANTTAB;
        return;
    }
    TStringGrid::WndProc(m);
}

} // namespace exmcdd
