// The string grid's cell access: cells of hidden and visible rows, typed
// values, the current cell, hosted controls, and the per-cell and per-row
// looks kept in the cell properties.
#include "grid/ExGrid.h"

#include "widgets/EsgHTMLE.h"
#include "widgets/ExUtil.h"

#include <QByteArray>

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

// The stored row of a hidden real row, or none.
TGridItem* FindHidden(const TGridItemCollection& items, int realRow)
{
    if (items.Count() == 0)
        return nullptr;
    for (int i = 0; i < items.Count(); ++i) {
        if (items.Items(i)->Idx() == realRow)
            return items.Items(i);
    }
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------------------
// Cells of hidden and visible rows
// ---------------------------------------------------------------------------

TStringObjectList* TExStringGrid::HiddenRowTexts(int aRow) const
{
    TGridItem* item = FindHidden(FGridItems, aRow);
    return item ? &item->Items() : nullptr;
}

QString TExStringGrid::GetCellsEx(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0)
        return QString();
    if (TGridItem* item = FindHidden(FGridItems, aRow)) {
        QString value = item->Items().Strings(aCol);
        TBaseGrid::QueryDisplText(aCol, aRow, value);
        return value;
    }
    return GetCellEx(aCol, RowRealToDispl(aRow));
}

void TExStringGrid::SetCellsEx(int aCol, int aRow, const QString& value)
{
    if (aCol < 0 || aRow < 0 || aCol >= MaxStoredCols)
        return;
    if (TGridItem* item = FindHidden(FGridItems, aRow)) {
        TStringObjectList& cells = item->Items();
        while (cells.Count() <= aCol)
            cells.Add(QString());
        cells.SetStrings(aCol, value);
        return;
    }
    const int row = RowRealToDispl(aRow);
    SetCellEx(aCol, row, value);
    const int dc = DisplColIndexOf(aCol);
    if (dc != aCol)
        TBaseGrid::RepaintCell(dc, row);
}

QString TExStringGrid::GetGridCellsEx(int aCol, int aRow) const
{
    if (aCol < 0 || aRow < 0)
        return QString();
    if (TGridItem* item = FindHidden(FGridItems, aRow))
        return item->Items().Strings(aCol);
    return GetGridCell(aCol, RowRealToDispl(aRow));
}

void TExStringGrid::SetGridCellsEx(int aCol, int aRow, const QString& value)
{
    if (aCol < 0 || aRow < 0)
        return;
    if (TGridItem* item = FindHidden(FGridItems, aRow)) {
        item->Items().SetStrings(aCol, value);
        return;
    }
    SetGridCell(aCol, RowRealToDispl(aRow), value);
}

TObject* TExStringGrid::GetObjectsEx(int aCol, int aRow) const
{
    if (TGridItem* item = FindHidden(FGridItems, aRow)) {
        if (aCol < 0 || aCol >= item->Items().Count())
            return nullptr;
        TObject* o = item->Items().Objects(aCol);
        if (auto* props = dynamic_cast<TCellProperties*>(o))
            return props->CellObject();
        return o;
    }
    return GetObjectEx(aCol, RowRealToDispl(aRow));
}

void TExStringGrid::SetObjectsEx(int aCol, int aRow, TObject* aObject)
{
    if (TGridItem* item = FindHidden(FGridItems, aRow)) {
        TStringObjectList& cells = item->Items();
        if (aCol < 0 || aCol >= MaxStoredCols)
            return;
        while (cells.Count() <= aCol)
            cells.Add(QString());
        // The object goes into the cell's properties, made for the cell as
        // a shown row's are, so that it comes back with the row.
        TObject* held = cells.Objects(aCol);
        auto* props = dynamic_cast<TCellProperties*>(held);
        if (!props) {
            if (held)
                throw REruVidaZuvez(QStringLiteral("The cell holds an object that is not its properties"));
            if (!aObject)
                return;
            props = NewCellProperties(aCol, std::clamp(RowRealToDispl(aRow), 0, std::max(0, RowCount() - 1)));
            cells.SetObjects(aCol, props);
        }
        props->SetCellObject(aObject);
        return;
    }
    SetObjectEx(aCol, RowRealToDispl(aRow), aObject);
}

TObject* TExStringGrid::GetGridObjectsEx(int aCol, int aRow) const
{
    if (TGridItem* item = FindHidden(FGridItems, aRow))
        return aCol >= 0 && aCol < item->Items().Count() ? item->Items().Objects(aCol) : nullptr;
    return GetGridObject(aCol, RowRealToDispl(aRow));
}

void TExStringGrid::CellTextChanged(int aCol, int aRow)
{
    // A cell scroll bar with automatic range scrolls the cell's text: one
    // row's height per page over the height the text needs.
    if (aCol < 0 || aRow < 0 || aRow >= RowCount() || !HasAutoRangeScrollBar(aCol, aRow))
        return;
    const TSize needed = GetCellTextSize(aCol, aRow, false, true);
    SetScrollProp(aCol, aRow, RowHeights(aRow), needed.cy);
}

// ---------------------------------------------------------------------------
// Typed values
// ---------------------------------------------------------------------------

namespace {

int ParseInt(QString text)
{
    text = text.trimmed();
    if (text.isEmpty() || text == u"-")
        return 0;
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok)
        throw REruVidaZuvez(QStringLiteral("Cell does not contain integer value"));
    return v;
}

double ParseFloat(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t == u"-")
        return 0;
    const QString plain = NumberToDotText(t);
    if (plain.isEmpty() || plain == u"-")
        return 0;
    bool ok = false;
    const double v = plain.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        throw REruVidaZuvez(QStringLiteral("Cell does not contain a float value"));
    return v;
}

} // namespace

int TExStringGrid::GetInts(int aCol, int aRow) { return ParseInt(GetStrippedCell(aCol, aRow)); }

void TExStringGrid::SetInts(int aCol, int aRow, int value)
{
    SetCellEx(aCol, aRow, QString::number(value));
    if (FNumHidden > 0)
        TBaseGrid::RepaintCell(DisplColIndexOf(aCol), aRow);
}

int TExStringGrid::GetAllInts(int aCol, int aRow) { return ParseInt(GetCellsEx(aCol, aRow)); }

void TExStringGrid::SetAllInts(int aCol, int aRow, int value) { SetCellsEx(aCol, aRow, QString::number(value)); }

double TExStringGrid::GetFloats(int aCol, int aRow) { return ParseFloat(GetStrippedCell(aCol, aRow)); }

void TExStringGrid::SetFloats(int aCol, int aRow, double value)
{
    QString format = FFloatFormat;
    QueryFloatFormat(aCol, aRow, format);
    SetCellEx(aCol, aRow, FormatFloatText(format, value));
}

double TExStringGrid::GetAllFloats(int aCol, int aRow) { return ParseFloat(GetCellsEx(aCol, aRow)); }

void TExStringGrid::SetAllFloats(int aCol, int aRow, double value)
{
    SetCellsEx(aCol, aRow, FormatFloatText(FFloatFormat, value));
}

TDateTime TExStringGrid::GetDates(int aCol, int aRow) { return TextToDate(GetCellEx(aCol, aRow)); }

void TExStringGrid::SetDates(int aCol, int aRow, TDateTime value)
{
    SetCellEx(aCol, aRow, value > 0 || FShowNullDates ? DateToText(value) : QString());
}

TDateTime TExStringGrid::GetTimes(int aCol, int aRow) { return TextToTime(GetCellEx(aCol, aRow)); }

void TExStringGrid::SetTimes(int aCol, int aRow, TDateTime value) { SetCellEx(aCol, aRow, TimeToText(value)); }

void TExStringGrid::QueryFloatFormat(int aCol, int aRow, QString& format) { format = FFloatFormat; }

// ---------------------------------------------------------------------------
// Text functions and rich text
// ---------------------------------------------------------------------------

QString TExStringGrid::GetStrippedCell(int aCol, int aRow) { return StripHTMLTags(GetCellEx(aCol, aRow)); }

int TExStringGrid::GetLinesInCell(int aCol, int aRow) { return CountTextLines(GetCellEx(aCol, aRow), FMultilineCells); }

QString TExStringGrid::GetCtrlVal(int aCol, int aRow, const QString& id)
{
    QString value;
    if (!HTMLControlValue(GetCellEx(aCol, aRow), id, value))
        return QString();
    return value;
}

void TExStringGrid::SetCtrlVal(int aCol, int aRow, const QString& id, const QString& value)
{
    QString text = GetCellEx(aCol, aRow);
    if (ReplaceHTMLControlValue(text, id, value))
        SetCellEx(aCol, aRow, text);
}

void TExStringGrid::CellToRich(int aCol, int aRow, TRichEdit& richEdit)
{
    const QString text = GetCellEx(aCol, aRow);
    if (text.isEmpty()) {
        richEdit.Clear();
        return;
    }
    // The rich edit of this platform shows the text of the RTF.
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar ch : text)
        bytes.append(static_cast<char>(ch.unicode() & 0xFF));
    richEdit.SetText(RTFToPlainText(QString::fromLatin1(bytes)));
}

QString TExStringGrid::RichToString(TRichEdit& richEdit)
{
    if (Destroying())
        return QString();
    // Plain RTF of the rich edit's text, one byte per character.
    QString rtf = QStringLiteral("{\\rtf1\\ansi ");
    const QString text = richEdit.Text();
    for (QChar ch : text) {
        if (ch == u'\\' || ch == u'{' || ch == u'}') {
            rtf += u'\\';
            rtf += ch;
        } else if (ch == u'\n') {
            rtf += QStringLiteral("\\par ");
        } else if (ch == u'\r') {
            continue;
        } else if (ch.unicode() < 0x80) {
            rtf += ch;
        } else if (ch.unicode() < 0x100) {
            rtf += QStringLiteral("\\'%1").arg(ch.unicode(), 2, 16, QChar(u'0'));
        } else {
            rtf += QStringLiteral("\\u%1?").arg(static_cast<short>(ch.unicode()));
        }
    }
    rtf += u'}';
    return rtf;
}

void TExStringGrid::RichToCell(int aCol, int aRow, TRichEdit& richEdit)
{
    SetCellEx(aCol, aRow, RichToString(richEdit));
}

// ---------------------------------------------------------------------------
// Current cell and edit text
// ---------------------------------------------------------------------------

QString TExStringGrid::CurrentCell()
{
    const TPoint base = BaseCell(RealColIndex(Col()), Row());
    return GetGridCell(base.X, base.Y);
}

void TExStringGrid::SetCurrentCell(const QString& value)
{
    const TPoint base = BaseCell(RealColIndex(Col()), Row());
    SetCellEx(base.X, base.Y, value);
}

QString TExStringGrid::CurrentCellDisplayText()
{
    const TPoint base = BaseCell(RealColIndex(Col()), Row());
    return GetCellEx(base.X, base.Y);
}

void TExStringGrid::SetCurrentEditText(const QString& value)
{
    const int rc = RealColIndex(Col());
    if (IsBaseCell(rc, Row())) {
        TBaseGrid::SetEditText(Col(), Row(), value);
        return;
    }
    const TPoint base = BaseCell(rc, Row());
    TBaseGrid::SetEditText(base.X, base.Y, value);
}

QString TExStringGrid::GetEditText(int col, int row)
{
    const TPoint base = BaseCell(RealColIndex(col), row);
    QString value = TBaseGrid::GetEditText(base.X, base.Y);
    if (!FEditWithTags)
        value = StripHTMLTags(value);
    return value;
}

void TExStringGrid::SetEditText(int col, int row, const QString& value)
{
    // The editor shows a cell's text without its tags: an untouched text
    // coming back must not strip them from the cell.
    if (!FEditWithTags && value == GetEditText(col, row))
        return;
    const TPoint base = BaseCell(RealColIndex(col), row);
    TBaseGrid::SetEditText(base.X, base.Y, value);
}

// ---------------------------------------------------------------------------
// Sorted and original positions
// ---------------------------------------------------------------------------

int TExStringGrid::SortedRowIndex(int aRow) const
{
    int r = aRow;
    if (aRow >= 0 && FSortXRef.Count() > aRow)
        r = FSortXRef.GetInteger(aRow);
    return RowDisplToReal(r);
}

int TExStringGrid::UnSortedRowIndex(int aRow) const
{
    if (FSortXRef.Count() == 0)
        return aRow;
    // A row missing from the list keeps its own place.
    const int k = FSortXRef.IndexOf(aRow);
    return k >= 0 ? k : aRow;
}

QString TExStringGrid::GetUnSortedCell(int aCol, int aRow)
{
    const int k = FSortXRef.Count() < aRow ? aRow : UnSortedRowIndex(aRow);
    return GetCellEx(aCol, k);
}

void TExStringGrid::SetUnSortedCell(int aCol, int aRow, const QString& value)
{
    const int k = FSortXRef.Count() < aRow ? aRow : UnSortedRowIndex(aRow);
    SetCellEx(aCol, k, value);
}

QString TExStringGrid::GetOriginalCells(int aCol, int aRow)
{
    const int p = ColumnPosition(aCol);
    return GetCellEx(p == -1 ? aCol : p, aRow);
}

void TExStringGrid::SetOriginalCells(int aCol, int aRow, const QString& value)
{
    const int p = ColumnPosition(aCol);
    SetCellEx(p == -1 ? aCol : p, aRow, value);
}

// ---------------------------------------------------------------------------
// Hosted controls, print geometry, lists, widths
// ---------------------------------------------------------------------------

QWidget* TExStringGrid::GetCellControls(int aCol, int aRow) const
{
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return p ? p->Control() : nullptr;
}

void TExStringGrid::SetCellControls(int aCol, int aRow, QWidget* aControl)
{
    const int realRow = RowDisplToReal(aRow);
    if (!aControl) {
        TCellProperties* p = CellPropsAt(aCol, aRow);
        if (p && p->Control()) {
            const int i = FControlList.ControlIndex(aCol, realRow);
            if (i >= 0)
                FControlList.RemoveControl(i);
        }
        if (p)
            p->SetControl(nullptr);
        return;
    }
    const int i = FControlList.ControlIndex(aCol, realRow);
    if (i >= 0)
        FControlList.RemoveControl(i);
    FControlList.AddControl(aCol, realRow, aControl);
    TCellProperties* p = GetCellProperties(aCol, aRow);
    if (!p)
        return;
    p->SetControl(aControl);
    aControl->setParent(ClientSurface());
    const TRect r = CellRect(aCol, aRow);
    aControl->setGeometry(r.Left - 1, r.Top - 1, r.Width() + 1, r.Height() + 1);
    aControl->show();
}

int TExStringGrid::GetPrintColWidth(int aCol) const
{
    if (aCol < 0 || aCol >= MaxHiddenColumns)
        throw REruVidaZuvez(QStringLiteral("Columns is not in valid range"));
    return FPrintColWidths[static_cast<size_t>(aCol)];
}

int TExStringGrid::GetPrintColOffset(int aCol) const
{
    if (aCol < 0 || aCol >= MaxHiddenColumns)
        throw REruVidaZuvez(QStringLiteral("Columns is not in valid range"));
    return FPrintColOffsets[static_cast<size_t>(aCol)];
}

void TExStringGrid::SetLookupItems(const QStringList* v)
{
    if (v)
        FLookupItems = *v;
}

int TExStringGrid::GetAllColWidths(int aCol) const
{
    if (aCol >= 0 && aCol <= MaxHiddenColumns && IsHiddenColumn(aCol))
        return FAllColWidths[static_cast<size_t>(aCol)];
    return ColWidths(DisplColIndexOf(aCol));
}

void TExStringGrid::SetAllColWidths(int aCol, int width)
{
    // The same limits as a shown column's width, also while hidden.
    width = std::clamp(width, 0, MaxCellExtent);
    if (aCol >= 0 && aCol <= MaxHiddenColumns)
        FAllColWidths[static_cast<size_t>(aCol)] = width;
    if (!IsHiddenColumn(aCol)) {
        const int dc = DisplColIndexOf(aCol);
        if (dc >= 0 && dc < ColCount())
            SetColWidths(dc, width);
    }
}

// ---------------------------------------------------------------------------
// Per-cell and per-row looks
// ---------------------------------------------------------------------------

TColor TExStringGrid::GetColors(int aCol, int aRow) const
{
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return p ? p->BrushColor() : clNone;
}

void TExStringGrid::SetColors(int aCol, int aRow, TColor v)
{
    if (TCellProperties* p = GetCellProperties(aCol, aRow)) {
        p->SetBrushColor(v);
        if (FUpdateCount == 0)
            TBaseGrid::RepaintCell(DisplColIndexOf(aCol), aRow);
    }
}

TColor TExStringGrid::GetColorsTo(int aCol, int aRow) const
{
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return p ? p->BrushColorTo() : clNone;
}

void TExStringGrid::SetColorsTo(int aCol, int aRow, TColor v)
{
    if (TCellProperties* p = GetCellProperties(aCol, aRow)) {
        p->SetBrushColorTo(v);
        TBaseGrid::RepaintCell(DisplColIndexOf(aCol), aRow);
    }
}

TCellGradientDirection TExStringGrid::GetGradientDir(int aCol, int aRow) const
{
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return p ? p->GradientDirection() : GradientVertical;
}

void TExStringGrid::SetGradientDir(int aCol, int aRow, TCellGradientDirection v)
{
    if (TCellProperties* p = GetCellProperties(aCol, aRow)) {
        p->SetGradientDirection(v);
        TBaseGrid::RepaintCell(DisplColIndexOf(aCol), aRow);
    }
}

TColor TExStringGrid::GetFontColors(int aCol, int aRow) const
{
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return p ? p->FontColor() : clNone;
}

void TExStringGrid::SetFontColors(int aCol, int aRow, TColor v)
{
    if (TCellProperties* p = GetCellProperties(aCol, aRow)) {
        p->SetFontColor(v);
        TBaseGrid::RepaintCell(DisplColIndexOf(aCol), aRow);
    }
}

TFontStyles TExStringGrid::GetFontStyles(int aCol, int aRow) const
{
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return p ? p->FontStyle() : 0;
}

void TExStringGrid::SetFontStyles(int aCol, int aRow, TFontStyles v)
{
    if (TCellProperties* p = GetCellProperties(aCol, aRow)) {
        p->SetFontStyle(v);
        TBaseGrid::RepaintCell(DisplColIndexOf(aCol), aRow);
    }
}

QString TExStringGrid::GetFontNames(int aCol, int aRow) const
{
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return p ? p->FontName() : QString();
}

void TExStringGrid::SetFontNames(int aCol, int aRow, const QString& v)
{
    if (TCellProperties* p = GetCellProperties(aCol, aRow)) {
        p->SetFontName(v);
        TBaseGrid::RepaintCell(DisplColIndexOf(aCol), aRow);
    }
}

int TExStringGrid::GetFontSizes(int aCol, int aRow) const
{
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return p ? p->FontSize() : 0;
}

void TExStringGrid::SetFontSizes(int aCol, int aRow, int v)
{
    if (TCellProperties* p = GetCellProperties(aCol, aRow)) {
        p->SetFontSize(v);
        TBaseGrid::RepaintCell(DisplColIndexOf(aCol), aRow);
    }
}

TAlignment TExStringGrid::GetAlignments(int aCol, int aRow) const
{
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return p ? p->Alignment() : taLeftJustify;
}

void TExStringGrid::SetAlignments(int aCol, int aRow, TAlignment v)
{
    if (TCellProperties* p = GetCellProperties(aCol, aRow)) {
        p->SetAlignment(v);
        TBaseGrid::RepaintCell(DisplColIndexOf(aCol), aRow);
    }
}

bool TExStringGrid::GetReadOnly(int aCol, int aRow) const
{
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return p ? p->ReadOnly() : false;
}

void TExStringGrid::SetReadOnly(int aCol, int aRow, bool v)
{
    if (TCellProperties* p = GetCellProperties(aCol, aRow)) {
        p->SetReadOnly(v);
        TBaseGrid::RepaintCell(DisplColIndexOf(aCol), aRow);
    }
}

bool TExStringGrid::GetWordWraps(int aCol, int aRow)
{
    TCellProperties* p = GetCellProperties(aCol, aRow);
    return p ? p->WordWrap() : FWordWrapEx;
}

void TExStringGrid::SetWordWraps(int aCol, int aRow, bool v)
{
    if (TCellProperties* p = GetCellProperties(aCol, aRow)) {
        p->SetWordWrap(v);
        TBaseGrid::RepaintCell(DisplColIndexOf(aCol), aRow);
    }
}

void TExStringGrid::SetCellFont(int aCol, int aRow, const TFont& font)
{
    TCellProperties* p = GetCellProperties(aCol, aRow);
    if (!p)
        return;
    p->SetFontName(font.Name());
    p->SetFontSize(font.Size());
    p->SetFontStyle(font.Style());
    p->SetFontColor(font.Color());
    if (FUpdateCount == 0)
        TBaseGrid::RepaintCell(DisplColIndexOf(aCol), aRow);
}

void TExStringGrid::SetRowColor(int aRow, TColor aColor)
{
    const int last = AllColCount() - 1;
    for (int c = FixedCols(); c <= last; ++c) {
        if (aColor != clNone) {
            if (TCellProperties* p = GetCellProperties(c, aRow))
                p->SetBrushColor(aColor);
        } else if (GetCellType(c, aRow) == ctNone) {
            FreeCellProps(c, aRow);
        } else if (TCellProperties* p = CellPropsAt(c, aRow)) {
            p->SetBrushColor(clNone);
        }
    }
    RepaintRow(aRow);
}

namespace {
// A cell whose properties carry more than its looks: a graphic object, a
// control, the caller's object or a merged range. Such properties stay.
bool CarriesMore(const TCellProperties* p)
{
    return p->GraphicObject() || p->Control() || p->CellObject() || p->CellSpanX() != -1 || p->CellSpanY() != -1 ||
           p->ReadOnly() || p->NodeLevel() != 0;
}
} // namespace

void TExStringGrid::SetRowColorTo(int aRow, TColor aColor)
{
    const int last = AllColCount() - 1;
    for (int c = FixedCols(); c <= last; ++c) {
        if (aColor != clNone) {
            if (TCellProperties* p = GetCellProperties(c, aRow))
                p->SetBrushColorTo(aColor);
        } else if (TCellProperties* p = CellPropsAt(c, aRow)) {
            if (CarriesMore(p))
                p->SetBrushColorTo(clNone);
            else
                FreeCellProps(c, aRow);
        }
    }
    RepaintRow(aRow);
}

void TExStringGrid::SetRowFontColor(int aRow, TColor aColor)
{
    const int last = AllColCount() - 1;
    for (int c = FixedCols(); c <= last; ++c) {
        if (aColor != clNone) {
            if (TCellProperties* p = GetCellProperties(c, aRow))
                p->SetFontColor(aColor);
        } else if (TCellProperties* p = CellPropsAt(c, aRow)) {
            if (GetColors(c, aRow) == clNone && !CarriesMore(p))
                FreeCellProps(c, aRow);
            else
                p->SetFontColor(clNone);
        }
    }
    RepaintRow(aRow);
}

void TExStringGrid::SetQRVGradientFrom(TColor v)
{
    FQRVGradientFrom = ColorToRGB(v);
    Invalidate();
}

void TExStringGrid::SetQRVGradientTo(TColor v)
{
    FQRVGradientTo = ColorToRGB(v);
    Invalidate();
}

void TExStringGrid::SetQRVGradientMirrorFrom(TColor v)
{
    FQRVGradientMirrorFrom = ColorToRGB(v);
    Invalidate();
}

void TExStringGrid::SetQRVGradientMirrorTo(TColor v)
{
    FQRVGradientMirrorTo = ColorToRGB(v);
    Invalidate();
}

void TExStringGrid::Zoom(int step)
{
    const int factor = FZoomFactor + step;
    if (factor < -10 || factor > 10)
        return;
    BeginUpdate();
    FZoomFactor = factor;
    for (int c = 0; c < ColCount(); ++c) {
        const int w = ColWidths(c);
        if (w > 0 && w + step > 0)
            SetColWidths(c, w + step);
    }
    for (int r = 0; r < RowCount(); ++r) {
        const int h = RowHeights(r);
        if (h > 0 && h + step > 0)
            SetRowHeights(r, h + step);
    }
    EndUpdate();
    UpdateProportionalVScroll();
    UpdateProportionalHScroll();
}
