#include "widgets/BaseGrid.h"

#include "widgets/ExUtil.h" // EncodeWideText, DecodeWideText

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

using namespace platform;

// ---------------------------------------------------------------------------
// TCellProperties
// ---------------------------------------------------------------------------

TCellProperties::TCellProperties(TBaseGrid* owner, int aCol, int aRow)
    : FOwnerGrid(owner), FOwnerCol(aCol), FOwnerRow(aRow), FWordWrap(owner ? owner->WordWrap() : true)
{
    if (FOwnerGrid) {
        FOwnerGrid->FHasCellProps = true;
        FOwnerGrid->Adopt(this);
    }
}

TCellProperties::~TCellProperties()
{
    if (FOwnerGrid)
        FOwnerGrid->Release(this);
}

void TCellProperties::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TCellProperties*>(source);
    if (!s || s == this)
        return;
    FIsBaseCell = s->FIsBaseCell;
    FCellSpanX = s->FCellSpanX;
    FCellSpanY = s->FCellSpanY;
    FOwnerRow = s->FOwnerRow;
    FOwnerCol = s->FOwnerCol;
    FObject = s->FObject;
    FAlignment = s->FAlignment;
    FBorderColor = s->FBorderColor;
    FBorderWidth = s->FBorderWidth;
    FBrushColor = s->FBrushColor;
    FBrushStyle = s->FBrushStyle;
    FFontColor = s->FFontColor;
    FFontStyle = s->FFontStyle;
    FFontName = s->FFontName;
    FFontSize = s->FFontSize;
    FReadOnly = s->FReadOnly;
    FEditor = s->FEditor;
    FVAlignment = s->FVAlignment;
    FWordWrap = s->FWordWrap;
    FNodeLevel = s->FNodeLevel;
    FControl = s->FControl;
}

TPoint TCellProperties::GetBaseCell() const
{
    if (!FIsBaseCell && FCellSpanX != -1 && FCellSpanY != -1)
        return Point(FOwnerCol - FCellSpanX, FOwnerRow - FCellSpanY);
    return Point(FOwnerCol, FOwnerRow);
}

void TCellProperties::ApplyFontTo(TFont& font) const
{
    if (FFontColor != clNone)
        font.SetColor(FFontColor);
    if (FFontStyle != 0)
        font.SetStyle(FFontStyle);
    if (FFontSize != 0)
        font.SetSize(FFontSize);
    if (!FFontName.isEmpty())
        font.SetName(FFontName);
}

void TCellProperties::SetBrushColor(TColor v)
{
    FBrushColor = v;
    if (FOwnerGrid)
        FOwnerGrid->RepaintCell(FOwnerCol, FOwnerRow);
}

void TCellProperties::SetBrushColorTo(TColor v)
{
    FBrushColorTo = v;
    if (FOwnerGrid)
        FOwnerGrid->RepaintCell(FOwnerCol, FOwnerRow);
}

void TCellProperties::SetVAlignment(TVAlignment v)
{
    FVAlignment = v;
    if (FOwnerGrid)
        FOwnerGrid->RepaintCell(FOwnerCol, FOwnerRow);
}

void TCellProperties::SetWordWrap(bool v)
{
    FWordWrap = v;
    if (FOwnerGrid)
        FOwnerGrid->RepaintCell(FOwnerCol, FOwnerRow);
}

// ---------------------------------------------------------------------------
// TBaseGrid: life cycle
// ---------------------------------------------------------------------------

TBaseGrid::TBaseGrid(QWidget* parent) : TObjStringGrid(parent)
{
    TCustomGrid::SetGridLineWidth(0);
    TCustomGrid::SetDefaultDrawing(false);
}

TBaseGrid::~TBaseGrid()
{
    FDestroying = true;
    FreeAllCellProps();
    // Properties whose cells lie outside the grid now (rows dropped, columns
    // cut) go as well.
    while (FOwnedProps) {
        TCellProperties* p = FOwnedProps;
        Release(p);
        p->FOwnerGrid = nullptr;
        delete p;
    }
}

void TBaseGrid::Adopt(TCellProperties* props)
{
    props->FPrevOwned = nullptr;
    props->FNextOwned = FOwnedProps;
    if (FOwnedProps)
        FOwnedProps->FPrevOwned = props;
    FOwnedProps = props;
}

void TBaseGrid::Release(TCellProperties* props)
{
    if (props->FPrevOwned)
        props->FPrevOwned->FNextOwned = props->FNextOwned;
    else if (FOwnedProps == props)
        FOwnedProps = props->FNextOwned;
    if (props->FNextOwned)
        props->FNextOwned->FPrevOwned = props->FPrevOwned;
    props->FPrevOwned = props->FNextOwned = nullptr;
}

void TBaseGrid::Notification(QObject* component, TOperation operation)
{
    if (operation == opRemove && component && component == FUndoRedo.data())
        FUndoRedo = nullptr;
    TObjStringGrid::Notification(component, operation);
}

// ---------------------------------------------------------------------------
// Cell access
// ---------------------------------------------------------------------------

TCellProperties* TBaseGrid::CellPropsAt(int aCol, int aRow) const
{
    if (!FHasCellProps)
        return nullptr;
    return dynamic_cast<TCellProperties*>(Objects(aCol, aRow));
}

bool TBaseGrid::HasCellProps(int aCol, int aRow)
{
    if (!FHasCellProps || aCol < 0 || aRow < 0 || aRow >= RowCount() || aCol >= TotalColCount())
        return false;
    return Objects(aCol, aRow) != nullptr;
}

void TBaseGrid::BaseOf(const TCellProperties* props, int aCol, int aRow, int& baseCol, int& baseRow) const
{
    if (props && !props->FIsBaseCell && props->FCellSpanX != -1 && props->FCellSpanY != -1) {
        baseCol = aCol - props->FCellSpanX;
        baseRow = aRow - props->FCellSpanY;
    } else {
        baseCol = aCol;
        baseRow = aRow;
    }
}

QString TBaseGrid::GetCellEx(int aCol, int aRow)
{
    int c = aCol, r = aRow;
    if (HasCellProps(aCol, aRow))
        BaseOf(CellPropsAt(aCol, aRow), aCol, aRow, c, r);
    QString value = Cells(c, r);
    if (r < FNormalRowCount) {
        QueryDisplText(c, r, value);
        if (OnGetDisplWideText) {
            QString wide = DecodeWideText(value);
            QueryDisplWideText(c, r, wide);
            value = EncodeWideText(wide);
        }
    }
    return value;
}

void TBaseGrid::SetCellEx(int aCol, int aRow, const QString& value)
{
    if (aCol < 0 || aRow < 0 || aCol >= MaxStoredCols || aRow >= MaxStoredRows)
        return;
    if (HasCellProps(aCol, aRow)) {
        int c = aCol, r = aRow;
        BaseOf(CellPropsAt(aCol, aRow), aCol, aRow, c, r);
        if (c >= 0 && r >= 0) {
            SetCells(c, r, value);
            NoteWritten(c, r);
            CellTextChanged(c, r);
        }
        if (parentWidget())
            RepaintCell(aCol, aRow);
    } else {
        SetCells(aCol, aRow, value);
        NoteWritten(aCol, aRow);
    }
    if (FHideLastRow && aRow == RowCount() - 1)
        FooterRowChanged();
}

TObject* TBaseGrid::GetObjectEx(int aCol, int aRow) const
{
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return p ? p->FObject : nullptr;
}

void TBaseGrid::SetObjectEx(int aCol, int aRow, TObject* value)
{
    const bool empty = GetCellEx(aCol, aRow).isEmpty();
    if (empty)
        SetCellEx(aCol, aRow, QStringLiteral(" "));
    TCellProperties* props = GetCellProperties(aCol, aRow);
    if (empty)
        SetCellEx(aCol, aRow, QString());
    if (!props)
        throw std::invalid_argument("The cell holds an object that is not its properties");
    props->FObject = value;
}

TObject* TBaseGrid::GetGraphicObjectEx(int aCol, int aRow) const
{
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return p ? p->FGraphicObject : nullptr;
}

void TBaseGrid::SetGraphicObjectEx(int aCol, int aRow, TObject* value)
{
    if (FDestroying)
        return;
    const bool empty = GetCellEx(aCol, aRow).isEmpty();
    if (empty)
        SetCellEx(aCol, aRow, QStringLiteral(" "));
    GetCellProperties(aCol, aRow)->FGraphicObject = value;
    if (empty)
        SetCellEx(aCol, aRow, QString());
}

TObject* TBaseGrid::GraphicObjectOf(const TCellProperties* props) { return props ? props->FGraphicObject : nullptr; }

TCellProperties* TBaseGrid::GetCellProperties(int aCol, int aRow)
{
    if (TCellProperties* existing = CellPropsAt(aCol, aRow))
        return existing;
    if (Objects(aCol, aRow))
        return nullptr; // a foreign object sits in the slot; it is not ours to replace
    auto* props = new TCellProperties(this, aCol, aRow);
    try {
        SetObjects(aCol, aRow, props);
    } catch (...) {
        delete props;
        throw;
    }
    // In the cell already: the look hooks know them as the ones being made.
    PrepareProps(props, aCol, aRow);
    return props;
}

TCellProperties* TBaseGrid::NewCellProperties(int aCol, int aRow)
{
    auto* props = new TCellProperties(this, aCol, aRow);
    try {
        PrepareProps(props, aCol, aRow);
    } catch (...) {
        delete props;
        throw;
    }
    return props;
}

void TBaseGrid::PrepareProps(TCellProperties* props, int aCol, int aRow)
{
    TFont font;
    TBrush brush;
    TColor colorTo = clNone, mirrorColor = clNone, mirrorColorTo = clNone;
    TAlignment alignment = taLeftJustify;
    TVAlignment vAlignment = vtaTop;
    bool wordWrap = FWordWrap;
    TCellGradientDirection gradient = GradientVertical;
    PrepareCellLook(aCol, aRow, font, brush, colorTo, mirrorColor, mirrorColorTo, alignment, vAlignment, wordWrap,
                    gradient);
    props->FCalcType = acNONE;
    props->FAlignment = alignment;
    props->FVAlignment = vAlignment;
    props->FWordWrap = wordWrap;
    props->FFontName = font.Name();
    props->FFontSize = font.Size();
    props->FFontStyle = font.Style();
    props->FFontColor = font.Color();
    props->FBrushColor = brush.Color();
    props->FBrushColorTo = colorTo;
    props->FGradientDirection = gradient;
}

void TBaseGrid::SetCellProperties(int aCol, int aRow, TCellProperties* value)
{
    TObject* old = Objects(aCol, aRow);
    if (old == value)
        return;
    SetObjects(aCol, aRow, value);
    if (auto* props = dynamic_cast<TCellProperties*>(old))
        FreeProps(props);
}

void TBaseGrid::FreeProps(TCellProperties* props)
{
    if (props->FGraphicObject && IsOwnGraphicObject(props->FGraphicObject)) {
        delete props->FGraphicObject;
        props->FGraphicObject = nullptr;
    }
    delete props;
}

void TBaseGrid::ResetCell(int aCol, int aRow)
{
    SetCellEx(aCol, aRow, QString());
    if (aCol >= 0 && aRow >= 0)
        SetObjects(aCol, aRow, nullptr);
}

void TBaseGrid::ResetRow(int aRow)
{
    if (aRow < 0)
        return;
    for (int c = 0; c < ColCount(); ++c) {
        SetObjects(c, aRow, nullptr);
        SetCellEx(c, aRow, QString());
    }
}

void TBaseGrid::ResetColumn(int aCol)
{
    if (aCol < 0)
        return;
    for (int r = 0; r < RowCount(); ++r) {
        SetCellEx(aCol, r, QString());
        SetObjects(aCol, r, nullptr);
    }
}

void TBaseGrid::FreeCellProps(int aCol, int aRow)
{
    TObject* old = Objects(aCol, aRow);
    if (!old)
        return;
    SetObjects(aCol, aRow, nullptr);
    if (auto* props = dynamic_cast<TCellProperties*>(old))
        FreeProps(props);
}

void TBaseGrid::FreeCellPropsRect(int fromCol, int fromRow, int toCol, int toRow)
{
    if (!FHasCellProps)
        return;
    fromCol = std::max(0, fromCol);
    fromRow = std::max(0, fromRow);
    for (int r = fromRow; r <= toRow; ++r) {
        for (int c = fromCol; c <= toCol; ++c) {
            if (Objects(c, r))
                FreeCellProps(c, r);
        }
    }
}

void TBaseGrid::FreeAllCellProps() { FreeCellPropsRect(0, 0, TotalColCount() - 1, RowCount() - 1); }

// ---------------------------------------------------------------------------
// Merged ranges
// ---------------------------------------------------------------------------

TPoint TBaseGrid::BaseCell(int aCol, int aRow)
{
    int c = aCol, r = aRow;
    if (HasCellProps(aCol, aRow))
        BaseOf(CellPropsAt(aCol, aRow), aCol, aRow, c, r);
    return Point(c, r);
}

bool TBaseGrid::FindBaseCell(int aCol, int aRow, int& baseCol, int& baseRow)
{
    baseCol = aCol;
    baseRow = aRow;
    if (!HasCellProps(aCol, aRow))
        return true;
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    BaseOf(p, aCol, aRow, baseCol, baseRow);
    return !p || p->FIsBaseCell;
}

bool TBaseGrid::IsBaseCell(int aCol, int aRow)
{
    if (!HasCellProps(aCol, aRow))
        return true;
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return !p || p->FIsBaseCell;
}

TPoint TBaseGrid::CellSpan(int aCol, int aRow)
{
    if (!HasCellProps(aCol, aRow))
        return Point(0, 0);
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    if (!p || p->FCellSpanX == -1 || p->FCellSpanY == -1)
        return Point(0, 0);
    int bc, br;
    BaseOf(p, aCol, aRow, bc, br);
    const TCellProperties* base = (bc == aCol && br == aRow) ? p : CellPropsAt(bc, br);
    if (!base || base->FCellSpanX < 0 || base->FCellSpanY < 0)
        return Point(0, 0);
    return Point(base->FCellSpanX, base->FCellSpanY);
}

TPoint TBaseGrid::CellExt(int aCol, int aRow)
{
    if (!HasCellProps(aCol, aRow))
        return Point(0, 0);
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    if (!p || p->FCellSpanX == -1 || p->FCellSpanY == -1)
        return Point(0, 0);
    int bc, br;
    BaseOf(p, aCol, aRow, bc, br);
    const TPoint span = CellSpan(aCol, aRow);
    return Point(bc + span.X - aCol, br + span.Y - aRow);
}

TRect TBaseGrid::FullCell(int aCol, int aRow)
{
    const TPoint base = BaseCell(aCol, aRow);
    const TPoint span = CellSpan(aCol, aRow);
    return Rect(base.X, base.Y, base.X + span.X, base.Y + span.Y);
}

bool TBaseGrid::IsMergedCell(int aCol, int aRow)
{
    if (!HasCellProps(aCol, aRow))
        return false;
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return p && (p->FCellSpanX > 0 || p->FCellSpanY > 0);
}

bool TBaseGrid::IsMergedNonBaseCell(int aCol, int aRow)
{
    if (!IsMergedCell(aCol, aRow))
        return false;
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    return p && !p->FIsBaseCell;
}

bool TBaseGrid::IsXMergedCell(int aCol, int aRow)
{
    if (!HasCellProps(aCol, aRow))
        return false;
    return CellSpan(aCol, aRow).X > 0;
}

bool TBaseGrid::IsYMergedCell(int aCol, int aRow)
{
    if (!HasCellProps(aCol, aRow))
        return false;
    return CellSpan(aCol, aRow).Y > 0;
}

int TBaseGrid::MinRowSpan(int aRow)
{
    int result = RowCount();
    for (int c = 0; c < ColCount(); ++c) {
        const int s = CellSpan(c, aRow).Y;
        if (s > 0 && s < result)
            result = s;
    }
    return result;
}

int TBaseGrid::MaxRowSpan(int aRow)
{
    int result = 0;
    for (int c = 0; c < ColCount(); ++c)
        result = std::max(result, CellSpan(c, aRow).Y);
    return result;
}

bool TBaseGrid::RowSpanIdentical(int aRow1, int aRow2)
{
    bool found = false;
    for (int c = 0; c < ColCount(); ++c) {
        if (CellSpan(c, aRow1).Y > 0 && CellSpan(c, aRow2).Y > 0) {
            found = true;
            if (BaseCell(c, aRow1).Y != BaseCell(c, aRow2).Y)
                return false;
        }
    }
    return found;
}

bool TBaseGrid::ColSpanIdentical(int aCol1, int aCol2)
{
    bool found = false;
    for (int r = 0; r < RowCount(); ++r) {
        const int s1 = CellSpan(aCol1, r).X, s2 = CellSpan(aCol2, r).X;
        if (s1 > 0 && s2 > 0) {
            found = true;
            if (BaseCell(aCol1, r).X != BaseCell(aCol2, r).X)
                return false;
        } else if (s1 != s2) {
            return false;
        }
    }
    return found;
}

void TBaseGrid::MergeCells(int c, int r, int spanX, int spanY)
{
    // Only a real range counts, so that the count stays the number of ranges.
    if (spanX < 1 || spanY < 1 || c < 0 || r < 0)
        return;
    ++FMergeCount;
    for (int j = r; j <= r + spanY - 1; ++j) {
        for (int i = c; i <= c + spanX - 1; ++i) {
            TCellProperties* p = GetCellProperties(i, j);
            if (!p)
                continue;
            if (i == c && j == r) {
                p->FIsBaseCell = true;
                p->FCellSpanX = spanX - 1;
                p->FCellSpanY = spanY - 1;
            } else {
                p->FIsBaseCell = false;
                p->FCellSpanX = i - c;
                p->FCellSpanY = j - r;
            }
        }
    }
    for (int j = r; j <= r + spanY - 1; ++j)
        for (int i = c; i <= c + spanX - 1; ++i)
            RepaintCell(i, j);
}

void TBaseGrid::SplitCells(int aCol, int aRow)
{
    // A cell without properties or with spans -1 belongs to no range: there
    // is nothing to split and nothing to count.
    const TCellProperties* p = HasCellProps(aCol, aRow) ? CellPropsAt(aCol, aRow) : nullptr;
    if (!p || p->FCellSpanX == -1 || p->FCellSpanY == -1)
        return;
    int c, r;
    BaseOf(p, aCol, aRow, c, r);
    const TCellProperties* base = CellPropsAt(c, r);
    if (!base || base->FCellSpanX < 0 || base->FCellSpanY < 0)
        return;
    const int sx = base->FCellSpanX, sy = base->FCellSpanY;
    for (int j = r; j <= r + sy; ++j) {
        for (int i = c; i <= c + sx; ++i) {
            if (TCellProperties* cp = CellPropsAt(i, j)) {
                cp->FIsBaseCell = true;
                cp->FCellSpanX = -1;
                cp->FCellSpanY = -1;
            }
        }
    }
    for (int j = r; j <= r + sy; ++j)
        for (int i = c; i <= c + sx; ++i)
            RepaintCell(i, j);
    if (FMergeCount > 0)
        --FMergeCount;
}

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

TRect TBaseGrid::ScrolledCellRect(int aCol, int aRow)
{
    int left = 0, top = 0;
    for (int i = 0; i < aCol; ++i)
        left += ColWidths(i);
    for (int i = 0; i < aRow; ++i)
        top += RowHeights(i);
    TRect r = Bounds(left, top, ColWidths(aCol), RowHeights(aRow));
    const bool fixedCol = aCol < FixedCols();
    const bool fixedRow = aRow < FixedRows();
    if (!fixedCol) {
        int shift = 0;
        for (int i = 0; i < LeftCol(); ++i)
            shift += ColWidths(i);
        OffsetRect(r, -shift, 0);
    }
    if (!fixedRow) {
        int shift = 0;
        for (int i = 0; i < TopRow(); ++i)
            shift += RowHeights(i);
        OffsetRect(r, 0, -shift);
    }
    const TRect origin = TCustomGrid::CellRect(LeftCol(), TopRow());
    OffsetRect(r, fixedCol ? 0 : origin.Left, fixedRow ? 0 : origin.Top);
    return r;
}

TRect TBaseGrid::CellRect(int aCol, int aRow)
{
    if (HasCellProps(aCol, aRow)) {
        const TCellProperties* p = CellPropsAt(aCol, aRow);
        if (p && (p->FCellSpanX != -1 || p->FCellSpanY != -1)) {
            int bc, br;
            BaseOf(p, aCol, aRow, bc, br);
            const TPoint span = CellSpan(aCol, aRow);
            TRect r1 = ScrolledCellRect(bc, br);
            if (r1.Width() == 0)
                ++r1.Right;
            TRect r2 = ScrolledCellRect(bc + span.X, br + span.Y);
            if (r2.Width() == 0)
                --r2.Left;
            TRect u;
            UnionRect(u, r1, r2);
            return u;
        }
        if (p && p->Control())
            return ScrolledCellRect(aCol, aRow);
    }
    TRect r = TCustomGrid::CellRect(aCol, aRow);
    if (IsRectEmpty(r))
        return r;
    r.Right = r.Left + ColWidths(aCol);
    r.Bottom = r.Top + RowHeights(aRow);
    return r;
}

TPoint TBaseGrid::CellSize(int aCol, int aRow)
{
    if (HasCellProps(aCol, aRow)) {
        const TCellProperties* p = CellPropsAt(aCol, aRow);
        if (p && (p->FCellSpanX != -1 || p->FCellSpanY != -1)) {
            int bc, br;
            BaseOf(p, aCol, aRow, bc, br);
            const TPoint span = CellSpan(aCol, aRow);
            TRect u;
            UnionRect(u, ScrolledCellRect(bc, br), ScrolledCellRect(bc + span.X, br + span.Y));
            return Point(u.Width(), u.Height());
        }
    }
    const TRect r = ScrolledCellRect(aCol, aRow);
    return Point(r.Width(), r.Height());
}

void TBaseGrid::RepaintCell(int aCol, int aRow)
{
    if (!HandleAllocated() && !isVisible())
        return;
    const TRect r = CellRect(aCol, aRow);
    if (!IsRectEmpty(r))
        ClientSurface()->update(r.Left, r.Top, r.Width(), r.Height());
}

int TBaseGrid::FixedColsWidth() const
{
    int w = 0;
    for (int i = 0; i < FixedCols(); ++i)
        w += ColWidths(i);
    return w;
}

int TBaseGrid::FixedRowsHeight() const
{
    int h = 0;
    for (int i = 0; i < FixedRows(); ++i)
        h += RowHeights(i);
    return h;
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

namespace {
template <class T>
bool Store(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}
} // namespace

void TBaseGrid::SetActiveRowShow(bool v)
{
    if (Store(FActiveRowShow, v))
        Invalidate();
}
void TBaseGrid::SetActiveRowColor(TColor v)
{
    if (Store(FActiveRowColor, v))
        Invalidate();
}
void TBaseGrid::SetActiveRowColorTo(TColor v)
{
    if (Store(FActiveRowColorTo, v))
        Invalidate();
}
void TBaseGrid::SetActiveRowMirrorColor(TColor v)
{
    if (Store(FActiveRowMirrorColor, v))
        Invalidate();
}
void TBaseGrid::SetActiveRowMirrorColorTo(TColor v)
{
    if (Store(FActiveRowMirrorColorTo, v))
        Invalidate();
}
void TBaseGrid::SetSelectionStyle(TGridSelectionStyle v)
{
    if (Store(FSelectionStyle, v))
        Invalidate();
}

void TBaseGrid::SetDefaultDrawing(bool v)
{
    TCustomGrid::SetDefaultDrawing(false);
    FDefaultDrawing = v;
}

void TBaseGrid::SetGridLineWidth(int v)
{
    FGridLineWidth = v;
    TCustomGrid::SetGridLineWidth(0);
    Invalidate();
}

void TBaseGrid::SetGridLineColor(TColor v)
{
    FGridLineColor = v;
    Invalidate();
}

void TBaseGrid::SetGridFixedLineColor(TColor v)
{
    FGridFixedLineColor = v;
    Invalidate();
}

void TBaseGrid::SetUndoRedo(TExGridUndoRedo* v)
{
    FUndoRedo = v;
    if (v) {
        v->SetGrid(this);
        FreeNotification(v);
    }
}

// ---------------------------------------------------------------------------
// Hooks
// ---------------------------------------------------------------------------

void TBaseGrid::QueryDisplText(int aCol, int aRow, QString& value)
{
    if (OnGetDisplText)
        OnGetDisplText(this, aCol, aRow, value);
}

void TBaseGrid::QueryDisplWideText(int aCol, int aRow, QString& value)
{
    if (OnGetDisplWideText)
        OnGetDisplWideText(this, aCol, aRow, value);
}

void TBaseGrid::PrepareCellLook(int aCol, int aRow, TFont& font, TBrush& brush, TColor& colorTo,
                                TColor& mirrorColor, TColor& mirrorColorTo, TAlignment& alignment,
                                TVAlignment& vAlignment, bool& wordWrap, TCellGradientDirection& gradientDirection)
{
    font.Assign(Font());
    brush.SetColor(Color());
    colorTo = clNone;
    mirrorColor = clNone;
    mirrorColorTo = clNone;
    alignment = taLeftJustify;
    vAlignment = vtaTop;
    gradientDirection = GradientVertical;
    wordWrap = FWordWrap;
}

// ---------------------------------------------------------------------------
// Keyboard, wheel, selection, scrolling
// ---------------------------------------------------------------------------

void TBaseGrid::MoveToBaseCell()
{
    if (!HasCellProps(Col(), Row()))
        return;
    int bc, br;
    BaseOf(CellPropsAt(Col(), Row()), Col(), Row(), bc, br);
    if (bc < 0 || br < 0 || bc >= ColCount() || br >= RowCount())
        return;
    if (bc != Col())
        TCustomGrid::SetCol(bc);
    if (br != Row())
        TCustomGrid::SetRow(br);
}

void TBaseGrid::KeyDown(int& key, TShiftState shift)
{
    if (key == VK_NEXT && VisibleRowCount() + TopRow() - FixedRows() == RowCount() - 1 && FHideLastRow &&
        RowCount() > 1)
        TCustomGrid::SetRow(RowCount() - 2);
    if (HasCellProps(Col(), Row())) {
        int bx, by;
        const TCellProperties* p = CellPropsAt(Col(), Row());
        BaseOf(p, Col(), Row(), bx, by);
        const TCellProperties* base = CellPropsAt(bx, by);
        const int spanX = base ? std::max(0, base->FCellSpanX) : 0;
        const int spanY = base ? std::max(0, base->FCellSpanY) : 0;
        if (key == VK_RIGHT) {
            const int e = bx + spanX;
            if (e >= Col() && Col() < ColCount() - 1 && bx < ColCount() - 1 && e < ColCount() && e != Col())
                TCustomGrid::SetCol(e);
        } else if (key == VK_DOWN) {
            const int e = by + spanY;
            if (e >= Row() && Row() < RowCount() - 1 && by < RowCount() - 1 && e < RowCount() && e != Row())
                TCustomGrid::SetRow(e);
        } else if (key == VK_LEFT) {
            // From inside a range, step from its base cell so that the
            // platform's step leaves the range.
            if (Col() > bx && Col() > FixedCols() && bx >= 0 && bx < ColCount())
                TCustomGrid::SetCol(bx);
        } else if (key == VK_UP) {
            if (Row() > by && Row() > FixedRows() && by >= 0 && by < RowCount())
                TCustomGrid::SetRow(by);
        }
    }
    TObjStringGrid::KeyDown(key, shift);
    MoveToBaseCell();
}

bool TBaseGrid::DoMouseWheelDown(TShiftState shift, const TPoint& mousePos)
{
    const bool result = TObjStringGrid::DoMouseWheelDown(shift, mousePos);
    if (FHideLastRow && Row() < RowCount() - 1 && VisibleRowCount() < Row() - TopRow())
        SetTopRow(TopRow() + 1);
    MoveToBaseCell();
    return result;
}

bool TBaseGrid::DoMouseWheelUp(TShiftState shift, const TPoint& mousePos)
{
    const bool result = TObjStringGrid::DoMouseWheelUp(shift, mousePos);
    MoveToBaseCell();
    return result;
}

bool TBaseGrid::SelectCell(int col, int row)
{
    if (isRightToLeft()) {
        const bool result = TObjStringGrid::SelectCell(col, row);
        Invalidate();
        return result;
    }
    RepaintCell(Col(), Row());
    const bool result = TObjStringGrid::SelectCell(col, row);
    RepaintCell(col, row);
    return result;
}

void TBaseGrid::TopLeftChanged()
{
    TObjStringGrid::TopLeftChanged();
    if (!FHasCellProps)
        return;
    if (FixedCols() > 0) {
        for (int r = TopRow(); r <= TopRow() + VisibleRowCount(); ++r)
            for (int c = 0; c < FixedCols(); ++c)
                if (IsMergedCell(c, r))
                    RepaintCell(c, r);
    }
    if (FixedRows() > 0) {
        for (int c = LeftCol(); c <= LeftCol() + VisibleColCount(); ++c)
            for (int r = 0; r < FixedRows(); ++r)
                if (IsMergedCell(c, r))
                    RepaintCell(c, r);
    }
}

void TBaseGrid::Paint()
{
    TObjStringGrid::Paint();
    ++FPaintID;
}

// ---------------------------------------------------------------------------
// TExGridUndoRedo
// ---------------------------------------------------------------------------

TExGridUndoRedo::TExGridUndoRedo(QObject* owner) : QObject(owner) {}

TExGridUndoRedo::~TExGridUndoRedo() = default;

void TExGridUndoRedo::DropRedoTail()
{
    if (FLevel < 0)
        FLevel = 0;
    if (FLevel < static_cast<int>(FItems.size()))
        FItems.erase(FItems.begin() + FLevel, FItems.end());
}

bool TExGridUndoRedo::EvictOldest()
{
    if (FItems.empty())
        return false;
    size_t n = 1;
    if (FItems.front().SequenceStart) {
        size_t stop = 1;
        while (stop < FItems.size() && !FItems[stop].SequenceStop)
            ++stop;
        if (stop >= FItems.size())
            return false; // the sequence is still being recorded: it stays whole
        n = stop + 1;
    }
    FItems.erase(FItems.begin(), FItems.begin() + static_cast<std::ptrdiff_t>(n));
    FLevel = std::max(0, FLevel - static_cast<int>(n));
    return true;
}

void TExGridUndoRedo::RegisterChange(int aCol, int aRow, const QString& oldValue, const QString& newValue)
{
    DropRedoTail();
    if (FMaxLevel > 0) {
        while (static_cast<int>(FItems.size()) >= FMaxLevel && EvictOldest()) {
        }
    }
    TUndoRedoItem item;
    item.Col = aCol;
    item.Row = aRow;
    item.Value = newValue;
    item.OrigValue = oldValue;
    FItems.push_back(item);
    FLevel = static_cast<int>(FItems.size());
}

void TExGridUndoRedo::AddMarker(bool start)
{
    DropRedoTail();
    TUndoRedoItem item;
    item.Col = -1;
    item.Row = -1;
    item.SequenceStart = start;
    item.SequenceStop = !start;
    FItems.push_back(item);
    FLevel = static_cast<int>(FItems.size());
}

void TExGridUndoRedo::StartSequence() { AddMarker(true); }

void TExGridUndoRedo::StopSequence() { AddMarker(false); }

void TExGridUndoRedo::Apply(TUndoRedoItem item, bool undo, std::vector<Written>& written)
{
    TBaseGrid* g = FGrid.data();
    if (!g)
        return;
    const QString& text = undo ? item.OrigValue : item.Value;
    // A cell that has left the grid since is not written again.
    if (item.Col < 0 || item.Row < 0 || item.Col >= g->TotalColCount() || item.Row >= g->RowCount())
        return;
    const TExGridUndoRedoEvent& event = undo ? OnUndo : OnRedo;
    if (event) {
        event(this, g, item.Col, item.Row, g->GetCellEx(item.Col, item.Row), text);
        if (!FGrid)
            return; // the handler did away with the grid
    }
    // The text a merged range keeps in its base cell is the one written.
    const TPoint base = g->BaseCell(item.Col, item.Row);
    written.push_back({base.X, base.Y, g->GetGridCell(base.X, base.Y)});
    g->SetCellEx(item.Col, item.Row, text);
    // The current cell goes to the changed one in one move: a current cell
    // outside the grid (a hidden selection) has no valid column or row to
    // keep while the other one changes.
    const int displayCol = g->DisplColIndex(item.Col);
    const int col = displayCol >= 0 && displayCol < g->ColCount() ? displayCol : g->Col();
    if (col >= 0 && col < g->ColCount() && (col != g->Col() || item.Row != g->Row()))
        g->GoToCell(col, item.Row);
}

void TExGridUndoRedo::RollBack(const std::vector<Written>& written)
{
    TBaseGrid* g = FGrid.data();
    if (!g)
        return;
    for (auto it = written.rbegin(); it != written.rend(); ++it)
        if (it->Row < g->RowCount() && it->Col < g->TotalColCount())
            g->SetCellEx(it->Col, it->Row, it->Text);
}

// An undo or redo step is whole or not done: when an item of it fails, the
// cells it wrote get their texts back and the level stays.
void TExGridUndoRedo::Undo()
{
    const int count = static_cast<int>(FItems.size());
    if (!FGrid || FLevel <= 0 || FLevel > count)
        return;
    int i = FLevel - 1;
    std::vector<Written> written;
    try {
        if (FItems[static_cast<size_t>(i)].SequenceStop) {
            --i;
            while (i >= 0 && i < static_cast<int>(FItems.size()) && !FItems[static_cast<size_t>(i)].SequenceStart) {
                Apply(FItems[static_cast<size_t>(i)], true, written);
                --i;
            }
            if (FGrid)
                FGrid->Invalidate();
        } else if (!FItems[static_cast<size_t>(i)].SequenceStart) {
            const TUndoRedoItem item = FItems[static_cast<size_t>(i)];
            Apply(item, true, written);
            if (FGrid)
                FGrid->RepaintCell(FGrid->Col(), item.Row);
        }
        // A start marker alone is an empty or unfinished sequence: the step
        // goes back over it.
    } catch (...) {
        RollBack(written);
        throw;
    }
    FLevel = std::clamp(i, 0, static_cast<int>(FItems.size()));
}

void TExGridUndoRedo::Redo()
{
    const int count = static_cast<int>(FItems.size());
    if (!FGrid || FLevel < 0 || FLevel >= count)
        return;
    int i = FLevel;
    std::vector<Written> written;
    try {
        if (FItems[static_cast<size_t>(i)].SequenceStart) {
            ++i;
            while (i < static_cast<int>(FItems.size()) && !FItems[static_cast<size_t>(i)].SequenceStop) {
                Apply(FItems[static_cast<size_t>(i)], false, written);
                ++i;
            }
            if (i < static_cast<int>(FItems.size()))
                ++i; // the stop marker counts as applied
            if (FGrid)
                FGrid->Invalidate();
        } else {
            if (!FItems[static_cast<size_t>(i)].SequenceStop)
                Apply(FItems[static_cast<size_t>(i)], false, written);
            ++i;
        }
    } catch (...) {
        RollBack(written);
        throw;
    }
    FLevel = std::min(i, static_cast<int>(FItems.size()));
}

void TExGridUndoRedo::Reset()
{
    FItems.clear();
    FLevel = 0;
}
