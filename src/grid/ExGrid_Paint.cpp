// The string grid's painting: the visual properties of each cell, the cell
// painter with the fixed-cell looks, text and graphics, check boxes and
// radio buttons, the measuring of cell texts, and what is painted after
// and around the cells.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include "platform/Controls.h"
#include "platform/Themes.h"
#include "widgets/EsgHTMLE.h"
#include "widgets/ExUtil.h"
#include "widgets/ExXPVS.h"
#include "widgets/PictureContainer.h"
#include "widgets/RtfText.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <exception>
#include <vector>

using namespace platform;

namespace {

int Round(double v) { return static_cast<int>(std::lround(v)); }

bool SameColor(TColor a, TColor b) { return ColorToRGB(a) == ColorToRGB(b); }

// The program's check, radio and node glyphs, loaded once and drawn with
// their bottom-left pixel see-through.
const TBitmap& Glyph(const QString& name)
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

void DrawGlyph(TCanvas& c, int x, int y, const QString& name) { c.Draw(x, y, Glyph(name)); }

// A bitmap drawn with its automatic see-through colour.
void DrawTransparent(TCanvas& c, int x, int y, const TBitmap& b)
{
    if (b.Empty())
        return;
    if (b.Transparent()) {
        c.Draw(x, y, b);
        return;
    }
    TBitmap t(b);
    t.SetTransparent(true);
    c.Draw(x, y, t);
}

void Line(TCanvas& c, int x1, int y1, int x2, int y2)
{
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

// Keeps a canvas's clip and restores it when leaving, also on exceptions
// from the application's drawing events.
class SavedClip
{
public:
    explicit SavedClip(TCanvas& c) : canvas_(c), had_(c.HasClip()), saved_(c.ClipRegion()) {}
    ~SavedClip()
    {
        if (had_)
            canvas_.SetClipRegion(saved_);
        else
            canvas_.RemoveClip();
    }
    SavedClip(const SavedClip&) = delete;
    SavedClip& operator=(const SavedClip&) = delete;

private:
    TCanvas& canvas_;
    bool had_;
    TRegion saved_;
};

// The platform's breaking of a paragraph at blanks: each line as long as it
// fits, a word wider than the line whole on its own, blanks at the break
// dropped.
QStringList BreakAtBlanks(const QString& t, int width, const QFontMetrics& fm)
{
    QStringList out;
    int start = 0;
    const int n = static_cast<int>(t.size());
    while (start <= n) {
        if (start == n) {
            if (out.isEmpty())
                out.append(QString());
            break;
        }
        int end = start, next = start, pos = start;
        bool any = false;
        while (pos < n) {
            int wordEnd = pos;
            while (wordEnd < n && t[wordEnd] != QLatin1Char(' '))
                ++wordEnd;
            // The first word of a line that is also the last of the text
            // ends the line whatever its width.
            const int w = (!any && wordEnd == n) ? 0 : fm.horizontalAdvance(t.mid(start, wordEnd - start));
            if (any && w > width)
                break;
            end = wordEnd;
            any = true;
            int after = wordEnd;
            while (after < n && t[after] == QLatin1Char(' '))
                ++after;
            next = after;
            pos = after;
            if (w > width)
                break;
        }
        out.append(t.mid(start, end - start));
        if (next >= n)
            break;
        start = next;
    }
    return out;
}

bool IsCheckKind(TCellType t)
{
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox ||
           t == ctRadioButton || t == ctTriStateCheckBox;
}

} // namespace

// ---------------------------------------------------------------------------
// Colour mixing
// ---------------------------------------------------------------------------

TColor BlendColors(TColor a, TColor b, int p)
{
    if (p >= 100)
        return a;
    if (p < 1 || a == clNone)
        return b;
    if (b == clNone)
        return a;
    const TColor ra = ColorToRGB(a), rb = ColorToRGB(b);
    const double f = p / 100.0;
    auto mix = [f](int x, int y) {
        return std::min(255, static_cast<int>(std::nearbyint(f * x + (1.0 - f) * y)));
    };
    return RGB(mix(GetRValue(ra), GetRValue(rb)), mix(GetGValue(ra), GetGValue(rb)),
               mix(GetBValue(ra), GetBValue(rb)));
}

TColor MixSelectionColor(TColor selection, TColor cell, bool mixer, int percentage)
{
    return mixer ? BlendColors(selection, cell, percentage) : selection;
}

double ClampPercent(double value) { return std::clamp(value, 0.0, 100.0); }

// ---------------------------------------------------------------------------
// Visual properties of a cell
// ---------------------------------------------------------------------------

void TExStringGrid::PrepareCellLook(int aCol, int aRow, TFont& font, TBrush& brush, TColor& colorTo,
                                    TColor& mirrorColor, TColor& mirrorColorTo, TAlignment& alignment,
                                    TVAlignment& vAlignment, bool& wordWrap, TCellGradientDirection& gradientDirection)
{
    const int displayCol = DisplColIndexOf(aCol);
    // The new properties are already in the cell; they are what is being decided.
    const TCellProperties* const outer = FPreparingProps;
    FPreparingProps = CellPropsAt(aCol, aRow);
    const exgrid_detail::ScopeExit restore{[&] { FPreparingProps = outer; }};
    TGridDrawState state = 0;
    if (IsSelected(displayCol, aRow))
        state |= gdSelected;
    GetVisualProperties(displayCol, aRow, state, false, true, true, brush, colorTo, mirrorColor, mirrorColorTo, font,
                        alignment, vAlignment, wordWrap, gradientDirection);
    // Fixed cells, banded rows, a gradient background and selected cells keep
    // taking their colour from the grid.
    if (IsFixed(displayCol, aRow) || FBands->Active() || FBackGround->IsGradient() || (state & gdSelected)) {
        brush.SetColor(clNone);
        colorTo = clNone;
    }
}

QString TExStringGrid::GetFormattedCell(int aCol, int aRow)
{
    const QString text = GetCellEx(aCol, aRow);
    if (!OnGetFloatFormat)
        return text;
    const int kind = NumberKind(text);
    if (kind != 0 && kind != 1 && kind != 5)
        return text;
    bool isFloat = true;
    QString format = FFloatFormat;
    OnGetFloatFormat(this, aCol, aRow, isFloat, format);
    if (!isFloat || format.isEmpty())
        return text;
    try {
        if (format.contains(QLatin1Char('d')))
            return FormatFloatText(format, GetInts(aCol, aRow));
        return FormatFloatText(format, GetFloats(aCol, aRow));
    } catch (const std::exception&) {
        return text;
    }
}

void TExStringGrid::GetVisualProperties(int aCol, int aRow, TGridDrawState& aState, bool print, bool select,
                                        bool remap, TBrush& aBrush, TColor& aColorTo, TColor& aMirrorColor,
                                        TColor& aMirrorColorTo, TFont& aFont, TAlignment& ha, TVAlignment& va,
                                        bool& ww, TCellGradientDirection& gd)
{
    const int c = aCol, r = aRow;
    const int rc = remap ? RealColIndex(c) : c;
    const int fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();
    TMouseActions& ma = *FMouseActions;
    const bool disjunctRows = ma.DisjunctRowSelect(), disjunctCols = ma.DisjunctColSelect();
    const int flagRow = ((disjunctRows && ma.RowSelectPersistent()) || FUseEnabledRows) ? RealRowIndex(r) : r;

    aBrush.SetColor(clNone);
    aColorTo = aMirrorColor = aMirrorColorTo = clNone;
    gd = GradientVertical;
    ww = FWordWrapEx;

    // 1. The font of the cell's area.
    const bool normalCell = c >= fixedCols && r >= fixedRows;
    if (print && !FPrintSettings->UseDisplayFont)
        aFont.Assign(normalCell ? FPrintSettings->Font : FPrintSettings->FixedFont);
    else
        aFont.Assign(normalCell ? Font() : FFixedFont);

    // 2. The cell's own properties.
    bool ownColor = false;
    if (const TCellProperties* p = CellPropsAt(rc, r); p && p != FPreparingProps) {
        const TCellType type = GetCellType(rc, r);
        if (type == ctNone || type == ctRotated || type == ctEmpty) {
            if (p->BrushColor() != clNone) {
                aBrush.SetColor(p->BrushColor());
                ownColor = true;
            }
        } else {
            aBrush.SetColor(p->BrushColor());
        }
        p->ApplyFontTo(aFont);
        ww = p->WordWrap();
        aColorTo = p->BrushColorTo();
        gd = p->GradientDirection();
    }

    // 3. Selected cells have vertical gradients.
    if (aState & gdSelected)
        gd = GradientVertical;

    // 4. The grid's colours.
    const bool rightFixed = c >= ColCount() - FFixedRightCols;
    const bool footer = r >= RowCount() - FFixedFooters;
    if (aBrush.Color() == clNone) {
        aBrush.SetColor(Color());
        const TBands& bands = *FBands;
        if (bands.Active() && (!print || bands.Print()) && c >= fixedCols &&
            c < ColCount() + NumHiddenColumns() - FFixedRightCols && r >= fixedRows && !footer &&
            bands.TotalLength() > 0) {
            aBrush.SetColor((r - fixedRows) % bands.TotalLength() < bands.PrimaryLength() ? bands.PrimaryColor()
                                                                                          : bands.SecondaryColor());
        }
        if (c < fixedCols || r < fixedRows || rightFixed || footer)
            aBrush.SetColor(FixedColor());
    }

    // 5. Fixed cells.
    const bool fixedCell = !normalCell || IsFixed(c, r);
    if (fixedCell && !ownColor) {
        if (!print) {
            aBrush.SetColor(FixedColor());
            aFont.Assign(FFixedFont);
            aState |= gdFixed;
        }
        // The gradient looks; a look without its gradient keeps the fixed colour.
        if (FLook > glClassic && FQRVGradientFrom != clNone) {
            aBrush.SetColor(FQRVGradientFrom);
            aColorTo = FQRVGradientTo;
            aMirrorColor = FQRVGradientMirrorFrom;
            aMirrorColorTo = FQRVGradientMirrorTo;
        }
    }

    // 6. The colour hook.
    if (print)
        QueryCellPrintColor(rc, r, aBrush, aFont, aState);
    else
        QueryCellColor(rc, r, aBrush, aFont, aState);

    // 7. The gradient event.
    if (OnGetCellGradient) {
        TColor color = aBrush.Color();
        OnGetCellGradient(this, r, rc, color, aColorTo, aMirrorColor, aMirrorColorTo, gd);
        aBrush.SetColor(color);
    }

    // 8. The unselected colours.
    FUnselectedBrushColor = aBrush.Color();
    FUnselectedFontColor = aFont.Color();

    // 9. Selection.
    auto colourSelected = [&](bool mix) {
        if (mix && !SameColor(aBrush.Color(), Color()))
            aBrush.SetColor(
                MixSelectionColor(FSelectionColor, aBrush.Color(), FSelectionColorMixer, FSelectionColorMixerFactor));
        else
            aBrush.SetColor(FSelectionColor);
        aColorTo = FSelectionColorTo;
        aMirrorColor = FSelectionMirrorColor;
        aMirrorColorTo = FSelectionMirrorColorTo;
        if (FSelectionTextColor != clNone)
            aFont.SetColor(FSelectionTextColor);
    };
    if (select && !print && FShowSelection && !fixedCell) {
        if (disjunctRows) {
            const bool rowSelected = GetRowSelect(flagRow);
            if ((rowSelected && !(FMouseDown && r == Row())) ||
                (FMouseDown && !rowSelected && (aState & gdSelected))) {
                aState = gdSelected;
                colourSelected(false);
            } else {
                aState &= ~gdSelected;
            }
        } else if (disjunctCols) {
            const bool colSelected = GetColSelect(c);
            if ((colSelected && !(FMouseDown && c == Col())) ||
                (FMouseDown && !colSelected && (aState & gdSelected))) {
                aState = gdSelected;
                colourSelected(false);
            } else {
                aState &= ~gdSelected;
            }
        }
        if ((!disjunctRows && !disjunctCols && IsSelected(c, r)) || ((aState & gdSelected) && FMouseDown)) {
            colourSelected(true);
            aState |= gdSelected;
        }
    }

    // 10. Single cells selected one by one.
    if (ma.DisjunctCellSelect() && FShowSelection && !print && select) {
        if (GetSelectedCells(c, r)) {
            colourSelected(true);
            aState |= gdSelected;
        } else if (c == Col() && r == Row()) {
            aState &= ~gdSelected;
            aBrush.SetColor(FUnselectedBrushColor);
            aFont.SetColor(FUnselectedFontColor);
            aColorTo = aMirrorColor = aMirrorColorTo = clNone;
        }
    }

    // 11. Disabled rows and a disabled grid.
    if (FUseDisabledFont && ((FUseEnabledRows && !GetRowEnabled(flagRow)) || !isEnabled()))
        aFont.SetColor(FDisabledFontColor);

    // 12. Other selected rows a little lighter than the current one.
    if (disjunctRows && FSelectionColorTo == clNone && (aState & gdSelected) && r != Row())
        aBrush.SetColor(ScaleColor(aBrush.Color(), 7));

    // 13. Word wrap and alignment.
    QueryWordWrap(rc, r, ww);
    ResolveCellAlignment(rc, r, ha, va);

    FVisualCache.Valid = select && !print && remap && FPreparingProps == nullptr;
    if (FVisualCache.Valid) {
        FVisualCache.Col = c;
        FVisualCache.Row = r;
        FVisualCache.State = aState;
        FVisualCache.Brush = aBrush.Color();
        FVisualCache.ColorTo = aColorTo;
        FVisualCache.Mirror = aMirrorColor;
        FVisualCache.MirrorTo = aMirrorColorTo;
        FVisualCache.UnselectedBrush = FUnselectedBrushColor;
        FVisualCache.UnselectedFont = FUnselectedFontColor;
        FVisualCache.Font.Assign(aFont);
        FVisualCache.HAlign = ha;
        FVisualCache.VAlign = va;
        FVisualCache.WordWrap = ww;
        FVisualCache.Gradient = gd;
    }
}

// ---------------------------------------------------------------------------
// Alignment, fonts and measuring
// ---------------------------------------------------------------------------

namespace {

bool IsFormulaText(const QString& text)
{
    if (text.startsWith(QLatin1Char('=')))
        return true;
    return text.startsWith(QLatin1String("|\\")) && text.size() > 3 && text[3] == QLatin1Char('=');
}

} // namespace

void TExStringGrid::ResolveCellAlignment(int aCol, int aRow, TAlignment& hAlign, TVAlignment& vAlign)
{
    hAlign = FDefaultAlignment;
    vAlign = FVAlignment;
    const TCellProperties* p = CellPropsAt(aCol, aRow);
    if (p == FPreparingProps)
        p = nullptr;
    if (FAutoNumAlign || p) {
        // A formula shows the text its display hook gives, which is the stored text here.
        const QString text = GetCellEx(aCol, aRow);
        const bool formula = IsFormulaText(text);
        if (FAutoNumAlign) {
            const int kind = NumberKind(text.trimmed());
            if (kind == 0 || kind == 1 || kind == 5)
                hAlign = taRightJustify;
        }
        if (p && !formula)
            hAlign = p->Alignment();
    }
    QueryCellAlignment(aCol, aRow, hAlign, vAlign);
}

void TExStringGrid::GetFontProperties(int aCol, int aDisplCol, bool remap, TBrush& brush, TFont& font,
                                      TGridDrawState& state, int aRow)
{
    (void)aDisplCol;
    (void)remap;
    const bool fixed =
        IsFixed(DisplColIndexOf(aCol), aRow) || aCol < TBaseGrid::FixedCols() || aRow < TBaseGrid::FixedRows();
    font.Assign(fixed ? FFixedFont : Font());
    // One cell is meant throughout: the real column's, for its properties and
    // for the colour hook alike.
    if (const TCellProperties* p = CellPropsAt(aCol, aRow)) {
        p->ApplyFontTo(font);
    }
    QueryCellColor(aCol, aRow, brush, font, state);
}

TSize TExStringGrid::GetCellTextSize(int aCol, int aRow, bool reserveButton, bool wrapToCell)
{
    return MeasureCellText(aCol, DisplColIndexOf(aCol), aRow, reserveButton, wrapToCell);
}

TSize TExStringGrid::MeasureCellText(int aCol, int aDisplCol, int aRow, bool reserveButton, bool wrapToCell)
{
    TCanvas& canvas = Canvas();
    const TFont savedFont = canvas.Font();
    const QString text = GetFormattedCell(aCol, aRow);
    const int kind = CellTextKind(text, FEnableHTML);

    TBrush brush;
    TGridDrawState state = 0;
    TFont font;
    GetFontProperties(aCol, aDisplCol, true, brush, font, state, aRow);
    if (FActiveCellShow && (FActiveCellFont.Style() & fsBold) &&
        (aRow < TBaseGrid::FixedRows() || aDisplCol < TBaseGrid::FixedCols()))
        font.SetStyle(font.Style() | fsBold);
    if (FZoomFactor != 0)
        font.SetSize(font.Size() + FZoomFactor);
    canvas.SetFont(font);

    const TPoint size = CellSize(aDisplCol, aRow);
    TRect r = Rect(0, 0, size.X, size.Y);
    if (FXYOffsetTopLeftOnly) {
        r.Left += FXYOffset.X;
        r.Top += FXYOffset.Y;
    } else {
        InflateRect(r, -FXYOffset.X, -FXYOffset.Y);
    }
    if (reserveButton)
        r.Right -= 17;

    TSize result;
    if (kind == 1) {
        if (!wrapToCell)
            r.Right = 65535;
        r.Bottom = 65535;
        THTMLDrawOptions o;
        o.MeasureOnly = true;
        o.WordWrap = !FEnhTextSize;
        o.Window = this;
        o.PictureContainer = FPictureContainer;
        o.PictureCache = FImageCache.get();
        o.Images = CellImages(aCol, aRow);
        o.AnchorColor = FURLColor;
        THTMLDrawResult res;
        DrawHTMLText(canvas, text, r, o, res);
        result = TSize{res.Width + 2, res.Height + 2};
    } else if (kind == 2) {
        TRtfDocument doc;
        ReadRtf(text, doc);
        const TSize s = DrawRtfText(canvas, doc, r, FWordWrapEx, true);
        result = TSize{s.cx, s.cy + 4};
    } else {
        int angle = 0;
        const bool rotated = IsRotated(aCol, aRow, angle);
        int w = 0, h = 0;
        if (wrapToCell) {
            InflateRect(r, -2, -2);
            QString t = text;
            if (EditorMode() && RealColIndex(Col()) == aCol && Row() == aRow && t.endsWith(QLatin1Char('\n')))
                t += QLatin1Char('w');
            TRect calc = r;
            const unsigned flags = DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL |
                                   (rotated ? DT_SINGLELINE : DT_WORDBREAK);
            h = canvas.DrawText(t, calc, flags);
            w = r.Width();
        } else {
            QString rest = text;
            int lines = 0;
            const int lineHeight = canvas.TextHeight(QStringLiteral("gh"));
            do {
                QString line;
                if (FMultilineCells) {
                    TakeFirstLine(rest, true, line);
                } else {
                    line = rest;
                    rest.clear();
                }
                if (FURLShow && !FURLFull && IsURL(line))
                    StripURLScheme(line);
                w = std::max(w, canvas.TextWidth(line));
                ++lines;
            } while (!rest.isEmpty());
            h = lineHeight * lines;
        }
        if (rotated) {
            const double a = angle * M_PI / 180.0;
            const double s = std::sin(a), co = std::cos(a);
            const int hs = std::abs(static_cast<int>(h * s)), wc = std::abs(static_cast<int>(w * co));
            const int hc = std::abs(static_cast<int>(h * co)), ws = std::abs(static_cast<int>(w * s));
            result = TSize{std::abs(hs - wc) + 12, std::abs(hc - ws) + 12};
        } else {
            result = TSize{w, h};
        }
    }
    canvas.SetFont(savedFont);
    return result;
}

// ---------------------------------------------------------------------------
// Hooks the painter asks
// ---------------------------------------------------------------------------

bool TExStringGrid::QueryHasSpinEdit(int aCol, int aRow)
{
    if (aCol < TBaseGrid::FixedCols() || aRow < TBaseGrid::FixedRows())
        return false;
    if (OnHasSpinEdit) {
        bool has = false;
        OnHasSpinEdit(this, aCol, aRow, has);
        return has;
    }
    if (!FControlLook->SpinButtonsAlwaysVisible())
        return false;
    TEditorType editor = FDefaultEditor;
    QueryEditorType(aCol, aRow, editor);
    return editor == edSpinEdit || editor == edFloatSpinEdit || editor == edTimeSpinEdit || editor == edDateSpinEdit;
}

TPopupMenu* TExStringGrid::FixedDropDownMenu() const
{
    return static_cast<TPopupMenu*>(FFixedDropDownMenu.data());
}

void TExStringGrid::SetFixedDropDownMenu(TPopupMenu* v)
{
    FFixedDropDownMenu = v;
    if (v)
        FreeNotification(v);
}

bool TExStringGrid::QueryCanShowFixedDropDown(int aCol)
{
    bool canShow = true;
    if (OnCanShowFixedDropDown)
        OnCanShowFixedDropDown(this, aCol, canShow);
    return canShow;
}

bool TExStringGrid::IsSortIndicatorRow(int aCol, int aRow)
{
    int row = aRow;
    if (aCol >= 0 && aRow >= 0) {
        const TPoint base = BaseCell(aCol, aRow);
        const TPoint span = CellSpan(base.X, base.Y);
        if (span.Y > 0)
            row = base.Y + span.Y;
    }
    return FSortSettings->Show() && row == FSortSettings->Row() && RowCount() > TBaseGrid::FixedRows() + 1;
}

bool TExStringGrid::IsSortHeaderCell(int aCol, int aRow)
{
    const int rc = RealColIndex(aCol);
    if (!IsSortIndicatorRow(rc, aRow) || TBaseGrid::FixedRows() <= 0)
        return false;
    if (rc != FSortSettings->Column() && FSortIndexes.FindIndex(rc) < 0)
        return false;
    return aCol >= TBaseGrid::FixedCols() || FSortSettings->FixedCols() != 0;
}

// ---------------------------------------------------------------------------
// Paint and what lies around the cells
// ---------------------------------------------------------------------------

void TExStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state)
{
    const TRect r = rect;
    TBaseGrid::DrawCell(col, row, r, state);
}

void TExStringGrid::Paint()
{
    TCanvas& c = Canvas();
    c.Pen().SetStyle(psSolid);
    c.Brush().SetStyle(bsSolid);
    TBaseGrid::Paint();

    // 1. The edited cell gets a frame.
    if (EditorMode() && InplaceEditor() && InplaceEditor()->isVisible()) {
        const TRect r = CellRect(Col(), Row());
        const bool lines = GridLineWidth() >= 1 && (Options() & (goVertLine | goHorzLine));
        c.Pen().SetColor(lines ? GridLineColor() : Color());
        c.Pen().SetWidth(1);
        c.Brush().SetStyle(bsClear);
        c.Rectangle(r);
        c.Brush().SetStyle(bsSolid);
    }
    // 2. The area beside and below the cells.
    if (!FBackGround->Bitmap().Empty() || FBackGround->ColorTo() != clNone)
        PaintOutsideCells();
    // 3. The design helper paints nothing at run time.
    if (OnPainted)
        OnPainted(this);
}

void TExStringGrid::PaintFrame()
{
    TBaseGrid::PaintFrame();
    if (FUpdateCount == 0)
        PaintLookBorder();
}

void TExStringGrid::PaintLookBorder()
{
    const bool look = FLook == glSoft || (FLook >= glQRV && FLook <= glOffice2007);
    if (!look || BorderStyle() != platform::bsSingle || FBorderColor == clNone || FFlat)
        return;
    TCanvas& c = WindowCanvas();
    if (!c.IsBound())
        return;
    const int w = width(), h = height();
    const TPen saved = c.Pen();
    c.Pen().SetStyle(psSolid);
    c.Pen().SetWidth(1);
    c.Pen().SetColor(FBorderColor);
    if (FFitCellsInGrid) {
        c.Polyline({Point(1, h), Point(1, 1), Point(w - 2, 1), Point(w - 2, h - 2), Point(1, h - 2)});
        if (parentWidget()) {
            c.Pen().SetColor(FromQColor(parentWidget()->palette().color(QPalette::Window)));
            c.Polyline({Point(0, h - 1), Point(0, 0), Point(w - 1, 0), Point(w - 1, h - 1), Point(0, h - 1)});
        }
    } else {
        c.Polyline({Point(0, h - 1), Point(0, 0), Point(w - 1, 0), Point(w - 1, h - 1), Point(0, h - 1)});
    }
    c.Pen() = saved;
}

// A dotted line in XOR: drawing it twice removes it.
void TExStringGrid::DrawSizingLine(int x1, int y1, int x2, int y2)
{
    TCanvas& c = Canvas();
    if (!c.IsBound())
        return;
    const TPen saved = c.Pen();
    c.Pen().SetColor(clBlack);
    c.Pen().SetWidth(1);
    c.Pen().SetStyle(psDot);
    c.Pen().SetMode(pmXor);
    Line(c, x1, y1, x2, y2);
    c.Pen() = saved;
}

void TExStringGrid::DrawColumnSizingLine(int x)
{
    int bottom = height();
    const TRect last = CellRect(TBaseGrid::FixedCols(), RowCount() - 1);
    if (!IsRectEmpty(last))
        bottom = std::max(bottom, last.Bottom);
    DrawSizingLine(x, 0, x, bottom);
}

void TExStringGrid::DrawRowSizingLine(int y)
{
    int right = width();
    const TRect last = CellRect(ColCount() - 1, TBaseGrid::FixedRows());
    if (!IsRectEmpty(last))
        right = std::max(right, last.Right);
    DrawSizingLine(0, y, right, y);
}

void TExStringGrid::PaintOutsideCells()
{
    const TBackGround& bg = *FBackGround;
    const bool lastRowHidden = TopRow() + VisibleRowCount() < RowCount();
    const bool lastColHidden = LeftCol() + VisibleColCount() < ColCount();
    if (lastRowHidden && lastColHidden)
        return;
    if (bg.IsGradient() && bg.ColorTo() == clNone)
        return;
    if (bg.Bitmap().Empty() && !bg.IsGradient())
        return; // nothing to show there
    TCanvas& c = Canvas();
    if (!c.IsBound())
        return;
    TRect client = ClientRect();
    if (FSearchFooter->Visible())
        client.Bottom -= 32;
    if (FFloatingFooter->Visible())
        client.Bottom -= FFloatingFooter->Height();
    // The strip right of the last column and the one below the last row,
    // each painted under its own rectangular clip.
    std::vector<TRect> strips;
    if (!lastColHidden) {
        const TRect last = CellRect(ColCount() - 1, TBaseGrid::FixedRows() > 0 ? 0 : TopRow());
        if (!IsRectEmpty(last))
            strips.push_back(Rect(last.Right + GridLineWidth(), 0, client.Right, client.Bottom));
    }
    if (!lastRowHidden) {
        const TRect last = CellRect(TBaseGrid::FixedCols() > 0 ? 0 : LeftCol(), RowCount() - 1);
        if (!IsRectEmpty(last)) {
            TRect below = Rect(0, last.Bottom + GridLineWidth(), client.Right, client.Bottom);
            if (!strips.empty())
                below.Right = strips.front().Left; // the corner belongs to the first strip
            strips.push_back(below);
        }
    }
    for (const TRect& strip : strips) {
        if (IsRectEmpty(strip))
            continue;
        SavedClip keep(c);
        c.IntersectClipRect(strip);
        if (bg.Bitmap().Empty()) {
            if (bg.IsGradient())
                DrawSteppedGradient(c, bg.Color(), bg.ColorTo(), bg.Display() == bdGradientHorz, client, 128);
        } else if (bg.Display() != bdTile) {
            PaintBackgroundFixedBitmap(c, client);
        } else if (bg.Cells() != bcFixed) {
            PaintBackgroundTiles(c, client);
        }
    }
}

void TExStringGrid::PaintBackgroundFixedBitmap(TCanvas& c, const TRect& client)
{
    const TBitmap& b = FBackGround->Bitmap();
    TRect dest = Bounds(FBackGround->Left(), FBackGround->Top(), b.Width(), b.Height());
    TRect visible;
    if (!IntersectRect(visible, dest, client))
        return;
    TBitmap part(visible.Width(), visible.Height());
    part.SetImage(b.Image().copy(visible.Left - dest.Left, visible.Top - dest.Top, visible.Width(), visible.Height()));
    c.Draw(visible.Left, visible.Top, part);
}

void TExStringGrid::PaintBackgroundTiles(TCanvas& c, const TRect& client)
{
    const TBitmap& b = FBackGround->Bitmap();
    if (b.Empty())
        return;
    int ox = client.Left, oy = client.Top;
    if (FBackGround->Cells() == bcNormal) {
        ox = TBaseGrid::FixedColsWidth();
        oy = TBaseGrid::FixedRowsHeight();
    }
    ox += FXYOffset.X;
    oy += FXYOffset.Y;
    SavedClip keep(c);
    c.IntersectClipRect(client);
    for (int y = oy - 1; y < client.Bottom; y += b.Height())
        for (int x = ox - 1; x < client.Right; x += b.Width()) {
            c.Draw(x, y, b);
        }
}

// ---------------------------------------------------------------------------
// The cell painter
// ---------------------------------------------------------------------------

void TExStringGrid::DrawCellContent(TCanvas& canvas, int aCol, int aRow, const TRect& rect, TGridDrawState state)
{
    const int fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();
    TCellPaint cell;
    cell.DisplCol = aCol;
    cell.RealCol = RealColIndex(aCol);
    cell.Row = aRow;
    cell.SelectRow = (FMouseActions->DisjunctRowSelect() && FMouseActions->RowSelectPersistent()) ? RealRowIndex(aRow)
                                                                                                  : aRow;
    cell.CellRect = rect;
    TRect r = rect;

    // 2. An in-cell scroll bar whose page is smaller than its range.
    if (TCellGraphic* sg = GetCellGraphic(cell.RealCol, aRow); sg && sg->CellType == ctScrollbar) {
        cell.ScrollPos = sg->CellIndex;
        if (sg->CellAngle < sg->CellErrFrom) {
            const int w = std::min(FScrollWidth, r.Width());
            const TRect bar = Rect(r.Right - w, r.Top, r.Right, r.Bottom);
            canvas.Brush().SetStyle(bsSolid);
            canvas.Brush().SetColor(clScrollBar);
            canvas.FillRect(bar);
            const TRect up = Rect(bar.Left, bar.Top, bar.Right, bar.Top + std::min(w, bar.Height() / 2));
            const TRect down = Rect(bar.Left, bar.Bottom - up.Height(), bar.Right, bar.Bottom);
            DrawFrameControl(canvas, up, DFC_SCROLL, DFCS_SCROLLUP);
            DrawFrameControl(canvas, down, DFC_SCROLL, DFCS_SCROLLDOWN);
            const int track = down.Top - up.Bottom;
            if (track > 4 && sg->CellErrFrom > 0) {
                const int thumb = std::max(6, track * std::max(1, sg->CellAngle) / sg->CellErrFrom);
                const int span = std::max(1, sg->CellErrFrom - sg->CellAngle);
                const int top = up.Bottom + (track - thumb) * std::clamp(sg->CellIndex, 0, span) / span;
                DrawFrameControl(canvas, Rect(bar.Left, top, bar.Right, top + thumb), DFC_BUTTON, DFCS_BUTTONPUSH);
            }
            r.Right -= w;
        }
    }

    // 3. Visual properties and the cell graphic.
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TCellGradientDirection gd = GradientVertical;
    TVisualCache& vc = FVisualCache;
    if (vc.Valid && vc.Col == aCol && vc.Row == aRow && vc.State == state) {
        // What the base painter fetched for this cell a moment ago.
        canvas.Brush().SetColor(vc.Brush);
        canvas.SetFont(vc.Font);
        colorTo = vc.ColorTo;
        mirror = vc.Mirror;
        mirrorTo = vc.MirrorTo;
        cell.HAlign = vc.HAlign;
        cell.VAlign = vc.VAlign;
        cell.WordWrap = vc.WordWrap;
        gd = vc.Gradient;
        FUnselectedBrushColor = vc.UnselectedBrush;
        FUnselectedFontColor = vc.UnselectedFont;
    } else {
        GetVisualProperties(aCol, aRow, state, false, true, true, canvas.Brush(), colorTo, mirror, mirrorTo,
                            canvas.Font(), cell.HAlign, cell.VAlign, cell.WordWrap, gd);
    }
    vc.Valid = false;
    cell.BrushColor = FUnselectedBrushColor;
    cell.FontColor = FUnselectedFontColor;
    cell.Graphic = GetCellGraphicLayout(cell.RealCol, aRow);
    if (cell.RealCol == 0 && IsNode(aRow))
        cell.Graphic.Width = GetNodeLevel(aRow) * FCellNode->NodeIndent() + 4;
    cell.OwnFixed = IsFixed(aCol, aRow);
    cell.Fixed = cell.OwnFixed || aCol < fixedCols || aRow < fixedRows;
    if (cell.Fixed && aRow == FHoverRowIdx && HoverRow() && HoverRowCells().Contains(hcFixed))
        cell.Fixed = false;
    cell.State = state;

    // 4. Selected but unfocused cells without a selection colour, zoom.
    if ((state & gdSelected) && !(state & gdFocused) && FSelectionColor == clNone)
        canvas.Brush().SetColor(clHighlight);
    if (FZoomFactor != 0)
        canvas.Font().SetSize(canvas.Font().Size() + FZoomFactor);
    const TColor keptBrush = canvas.Brush().Color();
    const TColor keptFont = canvas.Font().Color();

    // 6. The fixed-cell look (no application styles on this platform).
    if (cell.Fixed)
        PaintFixedLook(canvas, r, cell, colorTo, mirror, mirrorTo);

    // 7. The row indicator in the current row.
    const bool indicatorRow = cell.RealCol == 0 && aRow == Row() && fixedCols > 0 && !FRowIndicator.Empty() &&
                              !(RowCount() == fixedRows && FFixedRowAlways);
    if (indicatorRow) {
        int y = r.Top;
        if (cell.VAlign == vtaCenter)
            y = r.Top + (r.Height() - FRowIndicator.Height()) / 2;
        else if (cell.VAlign == vtaBottom)
            y = r.Bottom - FRowIndicator.Height();
        DrawTransparent(canvas, r.Left + 2, y, FRowIndicator);
        r.Left += FRowIndicator.Width() + 2;
    }

    // 8. The modified mark.
    if (aCol == 0 && FShowModified->Enabled() && GetRowModified(RealRowIndex(aRow))) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(FShowModified->Color());
        canvas.FillRect(Rect(r.Right - 4, r.Top, r.Right, r.Bottom));
        canvas.Brush().SetColor(keptBrush);
    }

    // 9. The application's background drawing.
    if (OnCustomCellBkgDraw)
        OnCustomCellBkgDraw(this, canvas, cell.RealCol, aRow, state, r, false);

    // 10. Editor buttons shown at all times.
    const int rightBeforeButtons = r.Right;
    if (!cell.Fixed && (FControlLook->DropDownAlwaysVisible() || FControlLook->SpinButtonsAlwaysVisible())) {
        int look = FControlLook->FlatButton() ? 2 : (ExXPVS::ThemesAvailable() ? 0 : 1);
        if (FFlat && FColorTones.Background.BrushColor != clNone)
            look = 3;
        bool canEdit = true;
        QueryCanEdit(cell.RealCol, aRow, canEdit);
        const int buttonState = canEdit ? 0 : 3;
        if (QueryHasComboBox(cell.RealCol, aRow)) {
            TRect b = r;
            b.Left -= 2;
            b.Top -= 1;
            b.Right += 1;
            DrawComboButton(canvas, this, b, FColorTones, buttonState, look);
            r.Right -= 16;
        } else if (QueryHasSpinEdit(cell.RealCol, aRow)) {
            DrawSpinButtons(canvas, this, r, FColorTones, buttonState, look);
            r.Right -= 16;
        }
        canvas.Brush().SetColor(keptBrush);
    }

    // 11. The text, after an interfaced graphic that paints below it.
    auto* iface = cell.Graphic.Graphic && cell.Graphic.Graphic->CellType == ctInterface
                      ? dynamic_cast<ICellGraphic*>(cell.Graphic.Graphic->CellBitmap)
                      : nullptr;
    const bool ifaceFirst = iface && iface->PaintBeforeText();
    if (ifaceFirst) {
        TRect ir = r;
        InflateRect(ir, 1, 1);
        iface->DrawCellGraphic(canvas, ir, this, (state & gdSelected) != 0, aRow, cell.RealCol);
    }
    const bool userDraws = (OnDrawCell || OnCustomCellDraw) && FNoDefaultDraw;
    if (!(cell.Graphic.Graphic && FNoImageAndText) && !userDraws)
        PaintCellText(canvas, r, cell);

    // 12. Borders.
    r.Right = rightBeforeButtons;
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(keptBrush);
    canvas.Font().SetColor(keptFont);
    InflateRect(r, 1, 1);
    PaintCellBorders(canvas, cell.RealCol, aRow, r);
    if (aCol == 0 && aRow == Row() && fixedCols > 0)
        r.Left -= FRowIndicator.Width();

    // 13. Edges of fixed cells.
    const TGridOptions o = Options();
    const TRect cellEdges = r;
    if (cell.Fixed && !FFlat) {
        const TColor half = HalfColor(FixedColor());
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetStyle(psSolid);
        if (FLook == glClassic) {
            // Raised: light on the left and top, shadow inside the right and
            // bottom, black outside them, within the cell's own rectangle.
            const TRect e = Rect(r.Left + 1, r.Top + 1, r.Right, r.Bottom + 1);
            canvas.Pen().SetColor(clBtnHighlight);
            Line(canvas, e.Left, e.Bottom - 2, e.Left, e.Top);
            canvas.LineTo(e.Right - 1, e.Top);
            canvas.Pen().SetColor(clBtnShadow);
            Line(canvas, e.Right - 2, e.Top + 1, e.Right - 2, e.Bottom - 2);
            canvas.LineTo(e.Left, e.Bottom - 2);
            canvas.Pen().SetColor(clBlack);
            Line(canvas, e.Right - 1, e.Top, e.Right - 1, e.Bottom - 1);
            canvas.LineTo(e.Left - 1, e.Bottom - 1);
        } else if (FLook == glQRV || FLook == glXP) {
            r.Bottom += 1;
            if (o & goFixedHorzLine) {
                canvas.Pen().SetColor(half);
                Line(canvas, r.Left, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
                canvas.Pen().SetColor(clWhite);
                Line(canvas, r.Right - 2, r.Top + 1, r.Left + 1, r.Top + 1);
                canvas.LineTo(r.Left + 1, r.Bottom - 1);
            }
        } else if (FLook == glSoft) {
            r.Right += 1;
            r.Bottom += 1;
            if (o & goFixedHorzLine) {
                canvas.Pen().SetColor(half);
                Line(canvas, r.Left, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
                canvas.Pen().SetColor(clWhite);
                Line(canvas, r.Right, r.Top + 1, r.Left + 1, r.Top + 1);
                canvas.LineTo(r.Left + 1, r.Bottom - 1);
            }
            if (o & goFixedVertLine) {
                canvas.Pen().SetColor(half);
                Line(canvas, r.Right - 2, r.Top, r.Right - 2, r.Bottom - 1);
                canvas.Pen().SetColor(clWhite);
                Line(canvas, r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1);
            }
        }
    }

    // A header held down as a button looks pressed until the release.
    if (cell.Fixed && FFixedCellPushed && FPushedCellButton == Point(aCol, aRow)) {
        const TRect e = Rect(cellEdges.Left + 2, cellEdges.Top + 2, cellEdges.Right - 2, cellEdges.Bottom - 2);
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetStyle(psSolid);
        canvas.Pen().SetColor(clBtnShadow);
        Line(canvas, e.Left, e.Bottom - 1, e.Left, e.Top);
        canvas.LineTo(e.Right - 1, e.Top);
        canvas.Pen().SetColor(clBtnHighlight);
        Line(canvas, e.Right - 1, e.Top + 1, e.Right - 1, e.Bottom - 1);
        canvas.LineTo(e.Left, e.Bottom - 1);
    }

    // 14. Fixed right columns of a flat grid.
    if (FFixedRightCols > 0 && cell.RealCol >= TotalColCount() - FFixedRightCols && FFlat && FLook != glClassic) {
        canvas.Pen().SetColor(clGray);
        canvas.Pen().SetWidth(1);
        if (o & goFixedHorzLine) {
            Line(canvas, r.Left, r.Top - 1, r.Right, r.Top - 1);
            Line(canvas, r.Left, r.Bottom, r.Right, r.Bottom);
        }
        if (o & goFixedVertLine) {
            Line(canvas, r.Left - 1, r.Top, r.Left - 1, r.Bottom);
            Line(canvas, r.Right, r.Top, r.Right, r.Bottom);
        }
    }

    // 15. Tree lines of the grid's nodes.
    if (cell.RealCol == 0)
        PaintTreeLines(canvas, r, aRow);

    // 16. The cell graphic.
    if (cell.Graphic.Graphic && !ifaceFirst) {
        TRect gr = r;
        if (cell.Fixed)
            gr.Top += 1;
        PaintCellGraphic(canvas, gr, cell);
        r = gr;
    }

    // 17. The application's drawing.
    if (OnDrawCell) {
        const TRect saved = r;
        TRect d = r;
        d.Top += 1;
        d.Left += 1;
        d.Right -= GridLineWidth();
        d.Bottom -= GridLineWidth();
        OnDrawCell(this, cell.RealCol, aRow, d, state);
        r = saved;
    }
    if (OnCustomCellDraw)
        OnCustomCellDraw(this, canvas, cell.RealCol, aRow, state, r, false);

    // 18. The focus rectangle.
    if (!FHideFocusRect && !(o & goRowSelect) && hasFocus()) {
        const TPoint base = BaseCell(cell.RealCol, aRow);
        if (DisplColIndexOf(base.X) == Col() && base.Y == Row() && !IsFixed(Col(), Row())) {
            TRect f = r;
            InflateRect(f, GridLineWidth() - 1, GridLineWidth() - 1);
            f.Right -= 1;
            f.Bottom -= 1;
            canvas.DrawFocusRect(f);
        }
    }
    // 19. While designing, row 0 shows the real column numbers.
    if (FShowColNrs && Designing() && aRow == 0) {
        const TFont savedFont = canvas.Font();
        TFont nr;
        nr.SetSize(8);
        nr.SetColor(clGray);
        canvas.SetFont(nr);
        canvas.Brush().SetStyle(bsClear);
        TRect t = r;
        t.Right -= 2;
        canvas.DrawText(QString::number(cell.RealCol), t, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
        canvas.SetFont(savedFont);
    }
    canvas.Brush().SetStyle(bsSolid);
    canvas.Pen().SetStyle(psSolid);
}

void TExStringGrid::PaintFixedLook(TCanvas& canvas, TRect& r, TCellPaint& cell, TColor colorTo, TColor mirror,
                                   TColor mirrorTo)
{
    const int aCol = cell.DisplCol, aRow = cell.Row;
    const int fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();
    const TColor brush = canvas.Brush().Color();
    if (FLook == glQRV || FLook == glXP || FLook == glVista || FLook == glWin7 || FLook == glOffice2007) {
        const bool moving = GridState() == gsColMoving;
        bool hot = false;
        if (!Designing() && IsHoverFixedCell(aCol, aRow)) {
            if (moving)
                hot = aCol == FMoveColInd;
            else
                hot = aCol == FHoverFixedX && aRow == FHoverFixedY;
        }
        if (hot) {
            TRect h = r;
            h.Bottom += 1;
            const bool down = FFixedCellDown && !moving;
            auto fill = [&](const TRect& part, bool pressed) {
                if (pressed)
                    DrawGradientBackground(canvas, part, FQRVGradientDownFrom, true, false, FQRVGradientDownBorder,
                                           true, FQRVGradientDownMirrorTo, FQRVGradientDownMirrorFrom,
                                           FQRVGradientDownTo);
                else
                    DrawGradientBackground(canvas, part, FQRVGradientHoverFrom, true, false, FQRVGradientHoverBorder,
                                           true, FQRVGradientHoverMirrorTo, FQRVGradientHoverMirrorFrom,
                                           FQRVGradientHoverTo);
            };
            const bool button = FControlLook->FixedDropDownButton() && QueryCanShowFixedDropDown(cell.RealCol);
            if (button) {
                const TRect rest = Rect(h.Left, h.Top, h.Right - 16, h.Bottom);
                const TRect drop = Rect(h.Right - 16, h.Top, h.Right, h.Bottom);
                fill(rest, down && !FDropDownDown);
                fill(drop, down && FDropDownDown);
                canvas.Pen().SetWidth(1);
                canvas.Pen().SetColor(down ? FQRVGradientDownBorder : FQRVGradientHoverBorder);
                Line(canvas, h.Right - 16, h.Top, h.Right - 16, h.Bottom);
                DrawSmallTriangle(canvas, h.Right - 8, h.Top + 8, clBlack);
                r.Right -= 16;
            } else {
                fill(h, down);
            }
        } else if (FActiveCellShow && ((fixedCols > 0 && aCol == fixedCols - 1 && aRow == Row()) ||
                                       (fixedRows > 0 && aRow == fixedRows - 1 && aCol == Col()))) {
            DrawGradientBackground(canvas, r, FActiveCellColor, true, false, clNone, true, clNone, clNone,
                                   FActiveCellColorTo);
        } else if (FSortSettings->Column() != -1 && FSortSettings->HeaderColor() != clNone &&
                   cell.RealCol == FSortSettings->Column() && aRow == fixedRows - 1 &&
                   (aCol >= fixedCols || FSortSettings->FixedCols() != 0)) {
            DrawGradientBackground(canvas, r, FSortSettings->HeaderColor(), true, false, clNone, true,
                                   FSortSettings->HeaderMirrorColorTo(), FSortSettings->HeaderMirrorColor(),
                                   FSortSettings->HeaderColorTo());
        } else if (!FFlat) {
            DrawGradientBackground(canvas, r, brush, true, FLook == glVista, FLook == glVista ? clWhite : clNone, true,
                                   mirrorTo, mirror, colorTo);
        }
        canvas.Brush().SetColor(brush);
    } else if (FLook == glListView && !FFlat) {
        const bool over = FHotFixedCell.X == aCol && FHotFixedCell.Y == aRow;
        TRect h = r;
        h.Bottom += 1;
        int part = HP_HEADERITEM, st = HIS_NORMAL;
        if (over)
            st = FFixedCellDown ? HIS_PRESSED : HIS_HOT;
        HTHEME theme = ExXPVS::OpenThemeData(this, QStringLiteral("header"));
        const bool drawn = ExXPVS::ThemesAvailable() && ExXPVS::DrawThemeBackground(theme, canvas, part, st, h);
        ExXPVS::CloseThemeData(theme);
        if (drawn) {
            canvas.Pen().SetColor(clWhite);
            canvas.Pen().SetWidth(1);
            Line(canvas, r.Left, r.Top, r.Right, r.Top);
        } else {
            canvas.Brush().SetStyle(bsSolid);
            canvas.Brush().SetColor(clBtnFace);
            canvas.FillRect(r);
            canvas.Brush().SetColor(clWhite);
            canvas.FrameRect(r);
        }
        canvas.Brush().SetColor(brush);
    }
}

void TExStringGrid::PaintCellBorders(TCanvas& canvas, int aCol, int aRow, const TRect& r)
{
    const TPen saved = canvas.Pen();
    TCellBorders borders;
    QueryCellBorder(aCol, aRow, borders, canvas.Pen());
    TPen left = canvas.Pen(), top = canvas.Pen(), right = canvas.Pen(), bottom = canvas.Pen();
    if (OnGetCellBorderProp)
        OnGetCellBorderProp(this, aRow, aCol, left, top, right, bottom);
    if (!borders.Empty()) {
        const int inset = (canvas.Pen().Width() + 1) / 2;
        const TGridOptions o = Options();
        const int side = (o & goVertLine) ? inset : 0;
        const int below = (o & goHorzLine) ? inset : 0;
        TRect b = Rect(r.Left + side, r.Top, r.Right - side, r.Bottom - below);
        const int g = GridLineWidth();
        if (borders.Contains(cbLeft)) {
            canvas.Pen() = left;
            Line(canvas, std::max(0, b.Left), b.Top, std::max(0, b.Left), b.Bottom);
        }
        if (borders.Contains(cbRight)) {
            canvas.Pen() = right;
            Line(canvas, b.Right - 1, b.Top, b.Right - 1, b.Bottom);
        }
        if (borders.Contains(cbTop)) {
            canvas.Pen() = top;
            b.Top += below;
            const int y = g != 0 ? std::max(0, b.Top - g) : b.Top + 1;
            Line(canvas, b.Left, y, b.Right, y);
        }
        if (borders.Contains(cbBottom)) {
            canvas.Pen() = bottom;
            Line(canvas, b.Left - g - 1, b.Bottom - 1, b.Right, b.Bottom - 1);
        }
    }
    canvas.Pen() = saved;
}

// ---------------------------------------------------------------------------
// Cell text
// ---------------------------------------------------------------------------

void TExStringGrid::PaintCellText(TCanvas& canvas, TRect r, TCellPaint& cell)
{
    const int c = cell.DisplCol, rc = cell.RealCol, row = cell.Row;
    const int fixedCols = TBaseGrid::FixedCols();
    const TGridDrawState state = cell.State;
    const bool fixedCell = cell.OwnFixed;
    const int g = GridLineWidth();
    TMouseActions& ma = *FMouseActions;

    // 1. Colours of selected cells.
    TColor urlColor = FURLColor;
    const bool disjunctRowSelected = ma.DisjunctRowSelect() && (Options() & goRowSelect) &&
                                     GetRowSelect(cell.SelectRow) && c >= fixedCols &&
                                     c < ColCount() - FFixedRightCols;
    if (((state & gdSelected) || disjunctRowSelected) && !fixedCell) {
        if (FShowSelection) {
            if (FSelectionColor != clNone)
                canvas.Brush().SetColor(FSelectionColor);
            if (FSelectionTextColor != clNone && isEnabled())
                canvas.Font().SetColor(FSelectionTextColor);
            urlColor = FSelectionTextColor;
        } else if (!hasFocus() || IsCheckKind(GetCellType(rc, row))) {
            canvas.Brush().SetColor(cell.BrushColor);
            canvas.Font().SetColor(cell.FontColor);
            urlColor = FURLColor;
        }
    }

    // 2. The text and its kind.
    QString text = GetFormattedCell(rc, row);
    // A formula shows what its display hook gives: the stored text here.
    const int kind = CellTextKind(text, FEnableHTML);
    int errFrom = 0, errLen = 0;
    GetMarker(rc, row, errFrom, errLen);
    bool password = false;
    QueryIsPassword(rc, row, password);
    if (password)
        text.fill(FPasswordChar);

    // 3. The text rectangle.
    TRect t = r;
    if (fixedCell) {
        t.Left += g;
        t.Top += g;
    }
    SavedClip keepClip(canvas);
    if (cell.ScrollPos > 0) {
        canvas.IntersectClipRect(r);
        t.Top -= cell.ScrollPos;
    }

    // 4. The filter button.
    PaintFilterButton(canvas, r, cell);

    // 5. Cells outside a disjunct selection show the grid's colours.
    if (!fixedCell && !FMouseDown &&
        ((ma.DisjunctRowSelect() && !GetRowSelect(cell.SelectRow)) || (ma.DisjunctColSelect() && !GetColSelect(c)))) {
        canvas.Brush().SetColor(Color());
        canvas.Font().SetColor(Font().Color());
        TGridDrawState st = state;
        QueryCellColor(rc, row, canvas.Brush(), canvas.Font(), st);
        if (FZoomFactor != 0)
            canvas.Font().SetSize(canvas.Font().Size() + FZoomFactor);
        urlColor = FURLColor;
    }

    const TBackGround& bg = *FBackGround;
    const bool fixedByState = (state & gdFixed) != 0;
    const bool cellsMatch = ((bg.Cells() == bcFixed || bg.Cells() == bcAll) && fixedByState) ||
                            ((bg.Cells() == bcNormal || bg.Cells() == bcAll) && !fixedByState);
    // 6. The cell's share of a background picture.
    if (!bg.Bitmap().Empty() && GetColors(rc, row) == clNone && cellsMatch &&
        !((state & gdSelected) && FShowSelection)) {
        TRect b = t;
        b.Left -= g - 1;
        b.Top -= g - 1;
        if (bg.Display() == bdTile)
            PaintCellTiles(canvas, b, c, row);
        else
            PaintCellFixedBitmap(canvas, b);
    }
    // 7. The cell's share of a background gradient.
    if (bg.IsGradient()) {
        const TCellType type = GetCellType(rc, row);
        const bool own = GetColors(rc, row) != clNone;
        const bool control = type == ctCheckBox || type == ctDataCheckBox || type == ctRadio || type == ctButton ||
                             type == ctRadioButton;
        const bool showsSelection = FShowSelection && (state & gdSelected) &&
                                    (!(state & gdFocused) || (Options() & goDrawFocusSelected));
        if ((!own || control) && cellsMatch && !showsSelection) {
            TRect b = t;
            b.Left -= 1;
            b.Top -= g;
            b.Bottom += g - 1;
            PaintCellGradient(canvas, b);
        }
    }

    // 8. The selection rectangle.
    if (FSelectionRectangle && !fixedCell && IsSelected(c, row)) {
        const TGridRect sel = Selection();
        const TPoint base = BaseCell(rc, row);
        const int left = DisplColIndexOf(base.X) == sel.Left ? sel.Left : c;
        const TColor saved = canvas.Pen().Color();
        canvas.Pen().SetColor(FSelectionRectangleColor);
        canvas.Pen().SetWidth(2);
        const int lastCol = sel.Right;
        if (left == sel.Left && c == sel.Left)
            Line(canvas, t.Left - g + 1, t.Bottom, t.Left - g + 1, t.Top - g);
        if (c == sel.Right)
            Line(canvas, t.Right - 1, t.Bottom, t.Right - 1, t.Top - g);
        const int right = c == lastCol ? t.Right - 1 : t.Right;
        if (base.Y == sel.Top || row == sel.Top)
            Line(canvas, t.Left - g, t.Top - g + 1, right, t.Top - g + 1);
        if (row == sel.Bottom)
            Line(canvas, t.Left - g, t.Bottom, right, t.Bottom);
        if (FSelectionResizer && c == sel.Right && row == sel.Bottom) {
            canvas.Brush().SetColor(FSelectionRectangleColor);
            canvas.FillRect(Rect(t.Right - 4, t.Bottom - 4, cell.CellRect.Right, cell.CellRect.Bottom));
        }
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetColor(saved);
    }

    // 9. Cells whose text is data show no text.
    if (!cell.Graphic.TextShown)
        return;

    // 10. Placement.
    if (!FXYOffsetTopLeftOnly)
        t.Right -= FXYOffset.X;
    t.Left += FXYOffset.X;
    t.Top += FXYOffset.Y;
    const TCellGraphicLayout& gl = cell.Graphic;
    if (gl.Graphic) {
        if (gl.HAlign == haBeforeText)
            t.Left += gl.Width;
        else if (gl.HAlign == haAfterText)
            t.Right -= gl.Width;
        if (gl.VAlign == vaAboveText)
            t.Top += gl.Height;
        else if (gl.VAlign == vaUnderText)
            t.Bottom -= gl.Height;
    }
    if (rc == 0 && HasNodes() && !IsNode(row))
        t.Left += RowNodeIndent(row);

    const bool sortHeader = IsSortHeaderCell(c, row);
    auto sortY = [&](const TRect& a) {
        if (cell.VAlign == vtaTop)
            return a.Top + 8;
        if (cell.VAlign == vtaBottom)
            return a.Bottom - 8;
        return a.Top + a.Height() / 2;
    };
    auto sortIndexHidden = [&]() {
        const int i = FSortIndexes.FindIndex(rc);
        return i > 0 && !FSortSettings->IndexShow();
    };

    if (kind == 1) {
        // 11. HTML text.
        if (cell.FilterCell)
            t.Right -= 18;
        t.Left -= 1;
        if (sortHeader)
            t.Right -= 10;
        THTMLDrawOptions o;
        o.Window = this;
        o.PictureContainer = FPictureContainer;
        o.PictureCache = FImageCache.get();
        o.Images = CellImages(rc, row);
        o.ShadowColor = clGray;
        o.AnchorColor = urlColor;
        o.ControlPressed = false;
        o.WordWrap = !FEnhTextSize;
        o.AnchorUnderlineOnHover = FURLUnderlineOnHover;
        o.BlinkOn = FGridBlink;
        o.HoverAnchor = (FHoverCell.X == c && FHoverCell.Y == row) ? FHoverLink : -1;
        THTMLDrawResult res;
        DrawHTMLText(canvas, text, t, o, res);
        cell.TextWidth = res.Width + 2;
        if (sortHeader && !sortIndexHidden())
            DrawSortIndicator(canvas, rc, sortY(t), t.Right + 2);
    } else if (kind == 2) {
        // 12. Rich text.
        if (!((state & gdSelected) && !(state & gdFocused) && FSelectionColor == clNone))
            canvas.FillRect(t);
        canvas.Brush().SetStyle(bsClear);
        DrawRichCell(rc, row, t, canvas);
        canvas.Brush().SetStyle(bsSolid);
        canvas.Font().SetColor(clBlack);
    } else {
        // 13. Plain text.
        if (cell.HAlign == taCenter && sortHeader && FSortSettings->Show())
            t.Left += 10;
        const bool url = FURLShow && IsURL(GetCellEx(rc, row));
        if (url) {
            if (!FURLFull)
                StripURLScheme(text);
            canvas.Font().SetStyle(canvas.Font().Style() | fsUnderline);
            canvas.Font().SetColor(urlColor);
        }
        const bool multi = FMultilineCells;
        const bool singleLine = CountTextLines(text, multi) <= 1;
        unsigned flags = DT_EDITCONTROL;
        if (singleLine && !cell.WordWrap) {
            QString rest = text, first;
            TakeFirstLine(rest, false, first);
            text = first;
            flags = DT_SINGLELINE | (FEnhTextSize ? DT_END_ELLIPSIS : 0u);
        } else if (cell.WordWrap && FEnhTextSize && !multi) {
            flags = DT_END_ELLIPSIS;
        }
        flags |= cell.HAlign == taRightJustify ? DT_RIGHT : (cell.HAlign == taCenter ? DT_CENTER : DT_LEFT);
        flags |= cell.VAlign == vtaBottom ? DT_BOTTOM : (cell.VAlign == vtaCenter ? DT_VCENTER : DT_TOP);
        if (cell.WordWrap || multi)
            flags |= DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_EXPANDTABS;
        else
            flags |= DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX;
        if (cell.FilterCell)
            t.Right -= 16;
        canvas.Brush().SetStyle(bsClear);
        if (gl.Graphic && !text.isEmpty()) {
            TRect m = t;
            canvas.DrawText(text, m, flags | DT_CALCRECT);
            cell.TextWidth = m.Width() + 2;
        }
        // Text without tabs, line breaks or ellipsis: laid out as the text
        // call lays it out (lines broken at blanks the same way, placed the
        // same way) and written line by line, measured with one font.
        const bool plainLine = !(flags & DT_END_ELLIPSIS) && !text.contains(QLatin1Char('\t')) &&
                               !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'));
        if (plainLine && !text.isEmpty() && !IsRectEmpty(t)) {
            const QFont qfont = canvas.Font().ToQFont();
            const QFontMetrics fm(qfont);
            const QStringList lines = (flags & DT_WORDBREAK) ? BreakAtBlanks(text, t.Width(), fm) : QStringList{text};
            const int lineHeight = fm.height();
            int y = t.Top;
            if (flags & DT_SINGLELINE) {
                if (flags & DT_VCENTER)
                    y = t.Top + (t.Height() - lineHeight) / 2;
                else if (flags & DT_BOTTOM)
                    y = t.Bottom - lineHeight;
            } else if (cell.VAlign != vtaTop) {
                // The text call places single lines only; wrapped text goes
                // by its height.
                const int room = t.Height() - static_cast<int>(lines.size()) * lineHeight;
                if (room > 0)
                    y += cell.VAlign == vtaCenter ? room / 2 : room;
            }
            if (QPainter* p = canvas.Painter()) {
                // Written as the canvas writes text: at the top-left of the
                // text cell in the font's colour, clipped to the rectangle.
                p->setRenderHint(QPainter::Antialiasing, false);
                p->resetTransform();
                p->setCompositionMode(QPainter::CompositionMode_SourceOver);
                QRegion clip(t.Left, t.Top, t.Width(), t.Height());
                if (canvas.HasClip())
                    clip = clip.intersected(canvas.ClipRegion().ToQRegion());
                p->setClipRegion(clip);
                p->setFont(qfont);
                p->setPen(ToQColor(canvas.Font().Color()));
                for (const QString& line : lines) {
                    int x = t.Left;
                    if (cell.HAlign != taLeftJustify) {
                        const int w = fm.horizontalAdvance(line);
                        x = cell.HAlign == taRightJustify ? t.Right - w : t.Left + (t.Width() - w) / 2;
                    }
                    p->drawText(QPoint(x, y + fm.ascent()), line);
                    y += lineHeight;
                }
            }
        } else if (!(flags & DT_SINGLELINE) && cell.VAlign != vtaTop) {
            TRect m = t;
            const int h = canvas.DrawText(text, m, (flags & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
            const int room = t.Height() - h;
            TRect drawn = t;
            if (room > 0)
                drawn.Top += cell.VAlign == vtaCenter ? room / 2 : room;
            canvas.DrawText(text, drawn, flags);
        } else {
            TRect drawn = t;
            canvas.DrawText(text, drawn, flags);
        }
        if (errLen > 0 && (!gl.Graphic || gl.Graphic->CellType == ctEmpty || gl.Graphic->CellType == ctValue))
            DrawErrorUnderline(this, canvas, text, errLen, errFrom, canvas.TextHeight(text), t);
        if (sortHeader && !sortIndexHidden()) {
            TRect s = r;
            if (cell.FilterCell)
                s.Right -= 16;
            const int q = std::max(0, std::min(s.Width() - 16, cell.TextWidth > 0 ? cell.TextWidth
                                                                                      : canvas.TextWidth(text)));
            int x;
            if (cell.HAlign == taRightJustify) {
                x = s.Right - q - 10;
            } else if (cell.HAlign == taCenter) {
                x = s.Left + 8;
            } else {
                const bool graphicLeft = gl.Graphic && (gl.HAlign == haLeft || gl.HAlign == haBeforeText);
                x = s.Left + q + (graphicLeft ? gl.Width : 0) + 10;
            }
            DrawSortIndicator(canvas, rc, sortY(s), x);
        }
        if (url)
            canvas.Font().SetStyle(canvas.Font().Style() & ~fsUnderline);
        canvas.Brush().SetStyle(bsSolid);
    }
}

void TExStringGrid::DrawSortIndicator(TCanvas& canvas, int aCol, int y, int x)
{
    const TSortSettings& s = *FSortSettings;
    const TPen savedPen = canvas.Pen();
    if (s.IndexShow()) {
        const int i = FSortIndexes.FindIndex(aCol);
        if (i < 0)
            return;
        const bool descending = !FSortIndexes.GetSortDirections(i);
        const TFont savedFont = canvas.Font();
        canvas.Brush().SetColor(s.IndexColor());
        canvas.Font().SetColor(clBlack);
        canvas.Font().SetSize(6);
        canvas.Pen().SetColor(clBlack);
        canvas.Pen().SetWidth(1);
        if (descending) {
            if (s.IndexUpGlyph().Empty())
                canvas.Polygon({Point(x - 7, y - 5), Point(x + 7, y - 5), Point(x, y + 8)});
            else
                DrawTransparent(canvas, x - 7, y - 7, s.IndexUpGlyph());
            canvas.Brush().SetStyle(bsClear);
            canvas.TextOut(x - 2, y - 4, QString::number(i + 1));
        } else {
            if (s.IndexDownGlyph().Empty())
                canvas.Polygon({Point(x - 6, y + 8), Point(x + 6, y + 8), Point(x, y - 4)});
            else
                DrawTransparent(canvas, x - 7, y - 7, s.IndexDownGlyph());
            canvas.Brush().SetStyle(bsClear);
            canvas.TextOut(x - 2, y - 2, QString::number(i + 1));
        }
        canvas.Brush().SetStyle(bsSolid);
        canvas.SetFont(savedFont);
        canvas.Pen() = savedPen;
        return;
    }
    const bool glyphs = !s.UpGlyph().Empty() && !s.DownGlyph().Empty();
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetStyle(psSolid);
    if (s.Direction() == sdDescending) {
        if (!glyphs) {
            canvas.Pen().SetColor(clWhite);
            Line(canvas, x + 4, y - 4, x, y + 4);
            canvas.Pen().SetColor(clGray);
            canvas.LineTo(x - 4, y - 4);
            canvas.LineTo(x + 4, y - 4);
        } else {
            DrawTransparent(canvas, x - 4, y - 4, s.DownGlyph());
        }
    } else {
        if (!glyphs) {
            canvas.Pen().SetColor(clWhite);
            Line(canvas, x - 4, y + 4, x + 4, y + 4);
            canvas.LineTo(x, y - 4);
            canvas.Pen().SetColor(clGray);
            canvas.LineTo(x - 4, y + 4);
        } else {
            DrawTransparent(canvas, x - 4, y - 4, s.UpGlyph());
        }
    }
    canvas.Pen() = savedPen;
    canvas.Pen().SetColor(clBlack);
}

void TExStringGrid::DrawRichCell(int aCol, int aRow, const TRect& r, TCanvas& canvas)
{
    if (Designing())
        return;
    TRtfDocument doc;
    if (!ReadRtf(GetCellEx(aCol, aRow), doc))
        return;
    TColor textColor = clNone;
    const bool disjunct = FMouseActions->DisjunctRowSelect() || FMouseActions->DisjunctColSelect();
    const int dc = DisplColIndexOf(aCol);
    const bool focusedCurrent = dc == Col() && aRow == Row() && !(Options() & goDrawFocusSelected);
    bool selected = false;
    if (!disjunct)
        selected = IsSelected(dc, aRow) && !focusedCurrent;
    else if (FMouseActions->DisjunctRowSelect())
        selected = GetRowSelect(aRow);
    else
        selected = GetColSelect(dc);
    if (selected && !FSelectionRTFKeep && FSelectionTextColor != clNone)
        textColor = FSelectionTextColor;
    // The inset is XYOffset at the screen's 96 dots per inch.
    TRect box = r;
    box.Left += FXYOffset.X;
    box.Top += FXYOffset.Y;
    box.Right = box.Left + (r.Width() - 2 * FXYOffset.X);
    box.Bottom = box.Top + (r.Height() - 2 * FXYOffset.Y);
    SavedClip keep(canvas);
    canvas.IntersectClipRect(r);
    DrawRtfText(canvas, doc, box, FWordWrapEx, false, textColor);
}

void TExStringGrid::PaintCellFixedBitmap(TCanvas& canvas, const TRect& r)
{
    const TBitmap& b = FBackGround->Bitmap();
    const TRect placed = Bounds(FBackGround->Left(), FBackGround->Top(), b.Width(), b.Height());
    TRect part;
    if (!IntersectRect(part, placed, r))
        return;
    TBitmap piece(part.Width(), part.Height());
    piece.SetImage(b.Image().copy(part.Left - placed.Left, part.Top - placed.Top, part.Width(), part.Height()));
    canvas.Draw(part.Left, part.Top, piece);
}

void TExStringGrid::PaintCellTiles(TCanvas& canvas, const TRect& r, int aCol, int aRow)
{
    const TBitmap& b = FBackGround->Bitmap();
    if (b.Empty())
        return;
    const bool all = FBackGround->Cells() == bcAll;
    int px = 0, py = 0;
    for (int i = all ? 0 : TBaseGrid::FixedCols(); i < aCol; ++i)
        px += ColWidths(i);
    for (int i = all ? 0 : TBaseGrid::FixedRows(); i < aRow; ++i)
        py += RowHeights(i);
    px %= b.Width();
    py %= b.Height();
    SavedClip keep(canvas);
    canvas.IntersectClipRect(r);
    for (int y = r.Top - 1 - py; y < r.Bottom; y += b.Height())
        for (int x = r.Left - 1 - px; x < r.Right; x += b.Width())
            canvas.Draw(x, y, b);
}

void TExStringGrid::PaintCellGradient(TCanvas& canvas, const TRect& r)
{
    const TBackGround& bg = *FBackGround;
    const bool horizontal = bg.Display() == bdGradientHorz;
    TColor from, to;
    if (horizontal) {
        from = ColorBetween(bg.Color(), bg.ColorTo(), 0, r.Left, width());
        to = ColorBetween(bg.Color(), bg.ColorTo(), 0, r.Right, width());
    } else {
        from = ColorBetween(bg.Color(), bg.ColorTo(), 0, r.Top, height());
        to = ColorBetween(bg.Color(), bg.ColorTo(), 0, r.Bottom, height());
    }
    canvas.Brush().SetColor(to);
    canvas.Pen().SetColor(to);
    DrawSteppedGradient(canvas, from, to, horizontal, r, 128);
}

// ---------------------------------------------------------------------------
// Cell graphics
// ---------------------------------------------------------------------------

TExStringGrid::TCellGraphicLayout TExStringGrid::GetCellGraphicLayout(int aCol, int aRow)
{
    TCellGraphicLayout l;
    TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g)
        return l;
    l.Graphic = g;
    l.HAlign = g->CellHAlign;
    l.VAlign = g->CellVAlign;
    TImageList* images = CellImages(aCol, aRow);
    switch (g->CellType) {
    case ctBitmap:
        if (g->Bitmap) {
            l.Width = g->Bitmap->Width();
            l.Height = g->Bitmap->Height();
        }
        break;
    case ctIcon:
        if (g->Icon) {
            l.Width = g->Icon->Width();
            l.Height = g->Icon->Height();
        }
        break;
    case ctImageList:
    case ctDataImage:
        if (images) {
            l.Width = images->Width();
            l.Height = images->Height();
        }
        l.TextShown = g->CellType != ctDataImage;
        break;
    case ctCheckBox:
    case ctTriStateCheckBox: l.Width = l.Height = FControlLook->CheckSize(); break;
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
        l.Width = l.Height = FControlLook->CheckSize();
        l.TextShown = false;
        break;
    case ctRotated:
    case ctRadio:
    case ctProgress:
    case ctRangeIndicator:
    case ctXPProgress: l.TextShown = false; break;
    case ctImages:
        if (images && g->Images) {
            const int n = g->Images->Count();
            l.Width = g->CellBoolean ? n * images->Width() : images->Width();
            l.Height = g->CellBoolean ? images->Height() : n * images->Height();
        }
        break;
    case ctPicture:
    case ctFilePicture: {
        const TPoint size = CellSize(DisplColIndexOf(aCol), aRow);
        const TSize s = GetPictureSize(aCol, aRow, size.X, size.Y, !GetCellEx(aCol, aRow).isEmpty());
        l.Width = s.cx;
        l.Height = s.cy;
        break;
    }
    case ctButton:
    case ctBitButton:
        l.Width = g->CellIndex & 0xFFFF;
        l.Height = (g->CellIndex >> 16) & 0xFFFF;
        break;
    case ctProgressPie: l.Width = l.Height = 20; break;
    case ctInterface:
        if (auto* i = dynamic_cast<ICellGraphic*>(g->CellBitmap)) {
            l.Width = i->CellGraphicWidth();
            l.Height = i->CellGraphicHeight();
        }
        break;
    case ctRadioButton: l.Width = l.Height = FControlLook->RadioSize() + 4; break;
    case ctShape: l.Width = l.Height = RowHeights(aRow) - 2 * FXYOffset.Y; break;
    case ctRating:
        l.Width = g->CellAngle * 18;
        l.Height = 16;
        l.TextShown = false;
        break;
    default: break;
    }
    return l;
}

namespace {

// Where a text rotated by `angle` degrees starts so that its turned box sits
// in r as the alignments say.
TPoint RotatedTextOrigin(TCanvas& c, const TRect& r, int angle, TAlignment ha, TVAlignment va, const QString& text)
{
    const int w = c.TextWidth(text + QLatin1Char('w'));
    const int h = c.TextHeight(text);
    const double a = angle * M_PI / 180.0, s = std::sin(a), co = std::cos(a);
    // The text cell's corners, turned counter-clockwise about its top-left.
    const double xs[] = {0, w * co, h * s, w * co + h * s};
    const double ys[] = {0, -w * s, h * co, -w * s + h * co};
    const double minX = *std::min_element(std::begin(xs), std::end(xs));
    const double maxX = *std::max_element(std::begin(xs), std::end(xs));
    const double minY = *std::min_element(std::begin(ys), std::end(ys));
    const double maxY = *std::max_element(std::begin(ys), std::end(ys));
    const int bw = Round(maxX - minX), bh = Round(maxY - minY);
    int left = r.Left;
    if (ha == taRightJustify)
        left = r.Right - bw;
    else if (ha == taCenter)
        left = r.Left + (r.Width() - bw) / 2;
    int top = r.Top;
    if (va == vtaBottom)
        top = r.Bottom - bh;
    else if (va == vtaCenter)
        top = r.Top + (r.Height() - bh) / 2;
    return Point(left - Round(minX), top - Round(minY));
}

} // namespace

void TExStringGrid::PaintCellGraphic(TCanvas& canvas, TRect& r, TCellPaint& cell)
{
    TCellGraphic* g = cell.Graphic.Graphic;
    if (!g)
        return;
    const int rc = cell.RealCol, row = cell.Row;
    const TCellType type = g->CellType;
    const int w = cell.Graphic.Width, h = cell.Graphic.Height;
    const int tw = cell.TextWidth > 0 ? cell.TextWidth + 2 : 0;
    const TRect cellRect = r;

    // 1. Room for the cell's padding.
    if (type != ctNode && type != ctProgress && type != ctRangeIndicator && type != ctXPProgress)
        InflateRect(r, -(FXYOffset.X - 1), -(FXYOffset.Y - 1));

    // 2. The horizontal place.
    TRect gr = r;
    auto notLeftOf = [&](int x) { return std::max(x, r.Left + 1); };
    switch (g->CellHAlign) {
    case haLeft: gr.Left = r.Left + 1; break;
    case haRight: gr.Left = r.Right - 1 - w; break;
    case haCenter: gr.Left = w <= r.Width() ? r.Left + (r.Width() - w) / 2 : r.Left + 1; break;
    case haBeforeText:
        if (cell.HAlign == taRightJustify)
            gr.Left = notLeftOf(r.Right - tw - w);
        else if (cell.HAlign == taCenter)
            gr.Left = notLeftOf(r.Left + (r.Width() - tw - w) / 2);
        else
            gr.Left = r.Left + 1;
        break;
    case haAfterText:
        if (cell.HAlign == taRightJustify)
            gr.Left = notLeftOf(r.Right - 1 - w);
        else if (cell.HAlign == taCenter)
            gr.Left = notLeftOf(r.Left + tw + (r.Width() - tw - w) / 2);
        else
            gr.Left = notLeftOf(r.Left + tw);
        break;
    case haFull: break;
    }
    if (g->CellHAlign != haFull)
        gr.Right = gr.Left + w;

    // 3. Check boxes and radio buttons follow the text's vertical alignment.
    TCellVAlign vAlign = g->CellVAlign;
    if (IsCheckKind(type) && cell.VAlign != FVAlignment)
        vAlign = cell.VAlign == vtaTop ? vaTop : (cell.VAlign == vtaCenter ? vaCenter : vaBottom);

    // 4. The vertical place.
    switch (vAlign) {
    case vaBottom: gr.Top = r.Bottom - 1 - h; break;
    case vaCenter: gr.Top = h <= r.Height() ? r.Top + (r.Height() - h) / 2 : r.Top + 1; break;
    case vaUnderText: gr.Top = r.Bottom - h; break;
    case vaFull: break;
    case vaTop:
    case vaAboveText: gr.Top = r.Top + 1; break;
    }
    if (vAlign != vaFull)
        gr.Bottom = gr.Top + h;

    bool enabled = true;
    auto queryEnabled = [&] {
        enabled = true;
        QueryCanEdit(rc, row, enabled);
    };

    // 5. By kind.
    switch (type) {
    case ctBitmap:
        if (g->Bitmap) {
            if (g->CellTransparent)
                DrawTransparent(canvas, gr.Left, gr.Top, *g->Bitmap);
            else
                canvas.Draw(gr.Left, gr.Top, *g->Bitmap);
        }
        break;
    case ctIcon:
        if (g->Icon)
            DrawTransparent(canvas, gr.Left, gr.Top, *g->Icon);
        break;
    case ctImageList:
        if (TImageList* images = CellImages(rc, row))
            images->Draw(canvas, gr.Left, gr.Top, g->CellIndex);
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
    case ctRadioButton: {
        const bool dataKind = type == ctDataCheckBox || type == ctVirtCheckBox || type == ctRowCheckBox;
        const bool withText = !dataKind && tw >= 1;
        if (cell.HAlign == taRightJustify)
            gr.Left = notLeftOf(dataKind ? r.Right - w - 1 : r.Right - tw - w - 1);
        else if (cell.HAlign == taCenter)
            gr.Left = notLeftOf(withText ? r.Left + std::max(0, r.Right - tw - r.Left) / 2 - w
                                         : r.Left + std::max(0, r.Right - w - r.Left) / 2);
        else
            gr.Left = r.Left + 1;
        gr.Right = gr.Left + w;
        queryEnabled();
        if (type == ctCheckBox || type == ctRowCheckBox) {
            DrawCellCheckBox(canvas, gr, g->CellBoolean, enabled, g->CellAngle > 0, FControlLook->ControlStyle(),
                             false, cbUnchecked);
        } else if (type == ctDataCheckBox || type == ctVirtCheckBox) {
            QString checkTrue;
            QueryCheckTrue(rc, row, checkTrue);
            DrawCellCheckBox(canvas, gr, GetCellEx(rc, row) == checkTrue, enabled, false,
                             FControlLook->ControlStyle(), false, cbUnchecked);
        } else if (type == ctTriStateCheckBox) {
            DrawCellCheckBox(canvas, gr, false, enabled, g->CellAngle > 0, FControlLook->ControlStyle(), true,
                             g->CellCheckBoxState);
        } else {
            TRect rb = gr;
            rb.Left += FXYOffset.X;
            rb.Right = rb.Left + FControlLook->RadioSize();
            rb.Bottom = rb.Top + FControlLook->RadioSize();
            DrawCellRadios(canvas, rb, false, 1.0, FControlLook->ControlStyle(), row, rc,
                           (cell.State & gdSelected) != 0, nullptr, !enabled, false, g->CellBoolean ? 0 : -1, 1);
        }
        break;
    }
    case ctRotated: {
        TRect tr = cellRect;
        int angle = g->CellAngle;
        const QString text = GetCellEx(rc, row);
        TFont saved = canvas.Font();
        InflateRect(tr, -2, -2);
        const TPoint start = RotatedTextOrigin(canvas, tr, angle, cell.HAlign, cell.VAlign, text);
        canvas.Font().SetOrientation(angle * 10);
        canvas.Brush().SetStyle(bsClear);
        {
            SavedClip keep(canvas);
            canvas.IntersectClipRect(tr);
            canvas.TextOut(start.X, start.Y, text);
        }
        canvas.SetFont(saved);
        canvas.Brush().SetStyle(bsSolid);
        if (TBaseGrid::FixedRows() > 0 && IsSortHeaderCell(cell.DisplCol, row)) {
            const int i = FSortIndexes.FindIndex(rc);
            if (!(i > 0 && !FSortSettings->IndexShow()))
                DrawSortIndicator(canvas, rc, gr.Top + 8, gr.Right - 10);
        }
        break;
    }
    case ctDataImage:
        if (TImageList* images = CellImages(rc, row)) {
            bool ok = true;
            int value = 0;
            try {
                value = GetInts(rc, row);
            } catch (const std::exception&) {
                ok = false;
            }
            const int index = value + g->CellIndex;
            if (ok && index >= 0 && index < images->Count())
                images->Draw(canvas, gr.Left, gr.Top, index);
        }
        break;
    case ctNode: PaintNodeGlyph(canvas, cellRect, row, canvas.Brush().Color()); break;
    case ctRadio: {
        queryEnabled();
        const int count = g->Strings ? static_cast<int>(g->Strings->size()) : 0;
        DrawCellRadios(canvas, r, false, 1.0, FControlLook->ControlStyle(), row, rc, (cell.State & gdSelected) != 0,
                       g->Strings, !enabled, g->CellBoolean, g->CellIndex, count);
        break;
    }
    case ctImages:
        if (TImageList* images = CellImages(rc, row); images && g->Images) {
            int x = gr.Left, y = gr.Top;
            for (int i = 0; i < g->Images->Count(); ++i) {
                images->Draw(canvas, x, y, g->Images->GetInteger(i));
                if (g->CellBoolean)
                    x += images->Width();
                else
                    y += images->Height();
            }
        }
        break;
    case ctPicture:
        if (g->Picture) {
            if (g->CellAngle != 0)
                g->Picture->Draw(canvas, gr);
            else
                g->Picture->Draw(canvas, Bounds(gr.Left, gr.Top, g->Picture->Width(), g->Picture->Height()));
        }
        break;
    case ctFilePicture:
        if (const auto* fp = dynamic_cast<const TFilePicture*>(g->CellBitmap))
            fp->DrawPicture(canvas, gr);
        break;
    case ctProgress: {
        double value = 0;
        try {
            value = GetFloats(rc, row);
        } catch (const std::exception&) {
            value = 0;
        }
        const TControlStyle st = FControlLook->ControlStyle();
        if ((st == csWinXP || st == csTheme) && ExXPVS::ThemesAvailable() && FControlLook->ProgressXP()) {
            TRect pr = r;
            InflateRect(pr, -FControlLook->ProgressMarginX(), -FControlLook->ProgressMarginY());
            HTHEME theme = ExXPVS::OpenThemeData(this, QStringLiteral("Progress"));
            ExXPVS::DrawThemeBackground(theme, canvas, PP_BAR, 1, pr);
            InflateRect(pr, -2, -2);
            pr.Right = pr.Left + Round(pr.Width() * ClampPercent(value) / 100.0);
            if (!IsRectEmpty(pr))
                ExXPVS::DrawThemeBackground(theme, canvas, PP_CHUNK, 1, pr);
            ExXPVS::CloseThemeData(theme);
        } else {
            TRect pr = r;
            InflateRect(pr, -2, -2);
            const TColor fg = g->CellBitmapColor, bk = g->CellIconColor;
            const TColor fgText = g->CellBoolean ? static_cast<TColor>(g->CellIndex) : (ColorToRGB(bk) ^ 0xFFFFFF);
            const TColor bkText = g->CellBoolean ? static_cast<TColor>(g->CellAngle) : (ColorToRGB(fg) ^ 0xFFFFFF);
            DrawProgress(canvas, pr, fg, false, FControlLook->ProgressBorderColor(), g->CellText, g->CellErrLen,
                         g->CellErrFrom, FControlLook->ProgressMarginY(), FControlLook->ProgressMarginX(), value,
                         bkText, bk, fgText);
        }
        break;
    }
    case ctComment: {
        const TColor commentColor = FControlLook->CommentColor();
        if (commentColor != clNone) {
            const TColor fill = g->CellAngle != static_cast<int>(clNone) ? static_cast<TColor>(g->CellIndex)
                                                                         : commentColor;
            const int x = r.Right + FXYOffset.X, y = r.Top - FXYOffset.Y;
            canvas.Pen().SetColor(fill);
            canvas.Brush().SetColor(fill);
            canvas.Polygon({Point(x - 8, y + 1), Point(x - 3, y + 1), Point(x - 3, y + 6)});
            canvas.Brush().SetColor(Color());
        }
        break;
    }
    case ctButton:
    case ctBitButton:
    case ctExpand: {
        TRect b = gr;
        // The expand box: 13 x 13 in the top-right corner, around its chevron.
        if (type == ctExpand)
            b = Rect(cellRect.Right - 13, cellRect.Top, cellRect.Right, cellRect.Top + 13);
        g->CellValue = static_cast<double>(((b.Top - cell.CellRect.Top) << 16) |
                                           ((b.Left - cell.CellRect.Left) & 0xFFFF));
        int look = FControlLook->FlatButton() ? 2 : (ExXPVS::ThemesAvailable() ? 0 : 1);
        if (FFlat && FColorTones.Background.BrushColor != clNone)
            look = 3;
        int st = 0;
        if (g->CellBoolean)
            st = 2;
        else if (FHoverButton.X == cell.DisplCol && FHoverButton.Y == row)
            st = 1;
        if (type != ctExpand && !FControlLook->NoDisabledButtonLook()) {
            queryEnabled();
            if (!enabled)
                st = 3;
        }
        DrawCellButton(canvas, this, b, FColorTones, st, look);
        const int shift = g->CellBoolean ? 1 : 0;
        if (type == ctExpand) {
            canvas.Pen().SetColor(clBlack);
            canvas.Pen().SetWidth(1);
            const int right = cellRect.Right, top = cellRect.Top;
            if (!g->CellVar.toBool())
                canvas.Polyline({Point(right - 10, top + 5), Point(right - 7, top + 8), Point(right - 3, top + 4)});
            else
                canvas.Polyline({Point(right - 10, top + 8), Point(right - 7, top + 5), Point(right - 3, top + 9)});
            break;
        }
        TRect caption = b;
        OffsetRect(caption, shift, shift);
        InflateRect(caption, -1, -1);
        if (type == ctBitButton && g->Bitmap && !g->Bitmap->Empty()) {
            const TBitmap& glyph = *g->Bitmap;
            int gy = caption.Top + (caption.Height() - glyph.Height()) / 2;
            if (glyph.Height() > caption.Height())
                gy = caption.Top + 3;
            if (g->CellText.isEmpty() && glyph.Width() <= caption.Width()) {
                DrawTransparent(canvas, caption.Left + (caption.Width() - glyph.Width()) / 2, gy, glyph);
            } else {
                DrawTransparent(canvas, caption.Left + 3, gy, glyph);
                caption.Left += glyph.Width() + 4;
            }
        }
        if (!g->CellText.isEmpty()) {
            const TColor savedColor = canvas.Font().Color();
            if (look == 3) {
                const TColorTone& tone = st == 1 ? FColorTones.Hover
                                                 : st == 2 ? FColorTones.Selected
                                                           : st == 3 ? FColorTones.Disabled : FColorTones.Background;
                canvas.Font().SetColor(tone.TextColor);
            } else {
                canvas.Font().SetColor(st == 3 ? clGrayText : clBtnText);
            }
            canvas.Brush().SetStyle(bsClear);
            const bool multi = g->CellText.contains(QLatin1Char('\n')) || g->CellText.contains(QLatin1Char('\r'));
            canvas.DrawText(g->CellText, caption,
                            DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS | (multi ? DT_WORDBREAK : DT_SINGLELINE));
            canvas.Brush().SetStyle(bsSolid);
            canvas.Font().SetColor(savedColor);
        }
        break;
    }
    case ctProgressPie:
        DrawProgressPie(canvas, Bounds(gr.Left, gr.Top, 20, 20), g->CellBitmapColor, false, g->CellAngle);
        break;
    case ctRangeIndicator: {
        TRect pr = r;
        InflateRect(pr, -FControlLook->ProgressMarginX(), -FControlLook->ProgressMarginY());
        int value = 0;
        try {
            value = GetInts(rc, row);
        } catch (const std::exception&) {
            value = 0;
        }
        DrawRangeIndicator(canvas, pr, value, g->CellIconColor, g->CellBitmapColor, g->CellBoolean, g->CellIndex);
        break;
    }
    case ctXPProgress: {
        TRect pr = r;
        InflateRect(pr, -FControlLook->ProgressMarginX(), -FControlLook->ProgressMarginY());
        pr.Right -= 1;
        pr.Bottom -= 1;
        const TGridProgressAppearance& pa = *FProgressAppearance;
        TXPProgressLook look;
        look.Level0Color = pa.Level0Color();
        look.Level0ColorTo = pa.Level0ColorTo();
        look.Level1Color = pa.Level1Color();
        look.Level1ColorTo = pa.Level1ColorTo();
        look.Level2Color = pa.Level2Color();
        look.Level2ColorTo = pa.Level2ColorTo();
        look.Level3Color = pa.Level3Color();
        look.Level3ColorTo = pa.Level3ColorTo();
        look.Level1Perc = pa.Level1Perc();
        look.Level2Perc = pa.Level2Perc();
        look.BorderColor = pa.BorderColor();
        look.ShowBorder = pa.ShowBorder();
        look.Stacked = pa.Stacked();
        look.ShowPercentage = pa.ShowPercentage();
        look.CompletionSmooth = pa.CompletionSmooth();
        look.ShowGradient = pa.ShowGradient();
        look.Steps = pa.Steps();
        look.Font = Font();
        look.FontColor = pa.CompleteFontColor();
        look.BackgroundColor = pa.UnCompleteColor() != clNone ? pa.UnCompleteColor() : canvas.Brush().Color();
        double value = 0;
        try {
            value = GetFloats(rc, row);
        } catch (const std::exception&) {
            value = 0;
        }
        // An empty range has no place in it: 0 %.
        const double span = static_cast<double>(g->CellErrLen) - g->CellErrFrom;
        const int percentage = span == 0 ? 0 : Round(std::abs(value - g->CellErrFrom) / span * 100.0);
        const TFont savedFont = canvas.Font();
        DrawXPProgress(canvas, pr, percentage, look);
        canvas.SetFont(savedFont);
        break;
    }
    case ctInterface:
        if (auto* i = dynamic_cast<ICellGraphic*>(g->CellBitmap)) {
            TRect ir = r;
            ir.Left -= 1;
            ir.Top -= 1;
            i->DrawCellGraphic(canvas, ir, this, (cell.State & gdSelected) != 0, row, rc);
        }
        break;
    case ctShape:
        DrawCellShape(canvas, gr.Left, gr.Top, g->CellBitmapColor, static_cast<TColor>(g->CellIndex),
                      static_cast<TCellShape>(g->CellAngle), gr.Height() - 1, gr.Width() - 1);
        break;
    case ctRating: {
        double value = 0;
        try {
            value = GetFloats(rc, row);
        } catch (const std::exception&) {
            value = 0;
        }
        const double v = std::trunc(value * 2) / 2;
        const TColor full = static_cast<TColor>(g->CellIndex), empty = g->CellBitmapColor;
        for (int n = 1; n <= g->CellAngle; ++n) {
            const int x = gr.Left + (n - 1) * 18;
            if (n <= v) {
                DrawCellShape(canvas, x, gr.Top, full, full, csStar, 16, 16);
            } else {
                DrawCellShape(canvas, x, gr.Top, empty, empty, csStar, 16, 16);
                if (n - 1 < v && v < n)
                    DrawCellShape(canvas, x, gr.Top, full, full, csHalfStar, 16, 16);
            }
        }
        break;
    }
    default: break;
    }
}

// ---------------------------------------------------------------------------
// Check boxes and radio buttons
// ---------------------------------------------------------------------------

void TExStringGrid::DrawCellCheckBox(TCanvas& canvas, TRect r, bool checked, bool enabled, bool grayed,
                                     TControlStyle style, bool triState, TCheckBoxState triValue)
{
    const TControlLook& cl = *FControlLook;
    if (cl.NoDisabledCheckRadioLook() || cl.CheckAlwaysActive())
        enabled = true;
    if (triState) {
        checked = triValue == cbChecked;
        if (triValue == cbGrayed) {
            grayed = true;
            checked = false;
        }
    }
    if (style == csTheme && !ExXPVS::ThemesAvailable())
        style = csClassic;
    const int size = cl.CheckSize();
    switch (style) {
    case csClassic:
    case csFlat: {
        const TRect box = Bounds(r.Left + (r.Width() - size) / 2, r.Top + (r.Height() - size) / 2, size, size);
        unsigned flags = DFCS_BUTTONCHECK;
        if (checked)
            flags |= DFCS_CHECKED;
        if (grayed)
            flags |= DFCS_CHECKED | DFCS_BUTTON3STATE;
        if (style == csFlat)
            flags |= DFCS_FLAT;
        if (!enabled)
            flags |= DFCS_INACTIVE;
        DrawFrameControl(canvas, box, DFC_BUTTON, flags);
        break;
    }
    case csWinXP:
        DrawGlyph(canvas, r.Left, r.Top,
                  checked ? (enabled ? QStringLiteral("ESGCHK05") : QStringLiteral("ESGCHK07"))
                          : (enabled ? QStringLiteral("ESGCHK06") : QStringLiteral("ESGCHK08")));
        break;
    case csFramed: {
        TRect b = r;
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(enabled ? clBtnFace : clBtnShadow);
        canvas.FillRect(b);
        canvas.Brush().SetColor(clBtnFace);
        canvas.FrameRect(b);
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetColor(clBtnHighlight);
        Line(canvas, b.Left, b.Bottom - 1, b.Left, b.Top);
        canvas.LineTo(b.Right - 1, b.Top);
        canvas.Pen().SetColor(clBtnShadow);
        canvas.LineTo(b.Right - 1, b.Bottom - 1);
        canvas.LineTo(b.Left, b.Bottom - 1);
        if (checked) {
            b.Top += 1;
            b.Bottom -= 1;
            canvas.Pen().SetColor(enabled ? cl.Color() : clGray);
            const int mid = b.Top + size / 2;
            Line(canvas, b.Left + 2, mid, b.Left + 2, b.Bottom);
            Line(canvas, b.Left + 3, mid, b.Left + 3, b.Bottom);
            Line(canvas, b.Left + 2, b.Bottom - 1, b.Right - 2, b.Top + 3);
            Line(canvas, b.Left + 3, b.Bottom - 1, b.Right - 1, b.Top + 3);
        }
        break;
    }
    case csQRV:
        DrawGlyph(canvas, r.Left, r.Top,
                  checked ? (enabled ? QStringLiteral("ESGCHK01") : QStringLiteral("ESGCHK03"))
                          : (enabled ? QStringLiteral("ESGCHK02") : QStringLiteral("ESGCHK04")));
        break;
    case csGlyph: {
        const TBitmap& glyph = checked ? cl.CheckedGlyph() : cl.UnCheckedGlyph();
        DrawTransparent(canvas, r.Left, r.Top, glyph);
        break;
    }
    case csTheme: {
        int state = enabled ? CBS_UNCHECKEDNORMAL : CBS_UNCHECKEDDISABLED;
        if (grayed)
            state = enabled ? CBS_MIXEDNORMAL : CBS_MIXEDDISABLED;
        else if (checked)
            state = enabled ? CBS_CHECKEDNORMAL : CBS_CHECKEDDISABLED;
        HTHEME theme = ExXPVS::OpenThemeData(this, QStringLiteral("button"));
        ExXPVS::DrawThemeBackground(theme, canvas, BP_CHECKBOX, state, Bounds(r.Left, r.Top, size, size));
        ExXPVS::CloseThemeData(theme);
        break;
    }
    }
}

void TExStringGrid::DrawCellRadios(TCanvas& canvas, const TRect& r, bool reverse, double scale, TControlStyle style,
                                   int aRow, int aCol, bool selectedCell, const QStringList* captions, bool disabled,
                                   bool horizontal, int selectedIndex, int count)
{
    const TControlLook& cl = *FControlLook;
    if (cl.NoDisabledCheckRadioLook() || cl.RadioAlwaysActive())
        disabled = false;
    if (style == csTheme && !ExXPVS::ThemesAvailable())
        style = csClassic;
    if (count < 1)
        return;
    const QString cellText = GetCellEx(aCol, aRow);
    const TColor savedFont = canvas.Font().Color();
    if (selectedCell && FShowSelection && FSelectionTextColor != clNone)
        canvas.Font().SetColor(FSelectionTextColor);
    const bool sixteen = style == csFramed || style == csTheme || style == csWinXP || style == csQRV ||
                         style == csGlyph;
    int line = canvas.TextHeight(QStringLiteral("gh"));
    if (sixteen)
        line = std::max(line, 16);
    const int radio = cl.RadioSize();
    canvas.Brush().SetStyle(bsClear);
    int captionsSoFar = 0;
    for (int i = 1; i <= count; ++i) {
        const QString caption = captions && i - 1 < captions->size() ? captions->at(i - 1) : QString();
        // Without an index (-1, or below: found by the text) the item whose
        // caption is the cell's text is the selected one.
        const bool selected = selectedIndex < 0 ? (captions && caption == cellText) : i == selectedIndex + 1;
        const int step = reverse ? -(i - 1) : (i - 1);
        if (style == csClassic || style == csFlat) {
            const int s = Round((style == csFlat ? radio + 2 : radio) * scale);
            int x, y;
            if (horizontal) {
                x = (i - 1) * radio + captionsSoFar + r.Left + 2;
                y = r.Top + (r.Height() - radio) / 2;
                if (!caption.isEmpty())
                    canvas.TextOut(x + Round(radio * scale), y - 2, caption);
            } else {
                x = r.Left + 2;
                y = r.Top + line * step + 2;
                if (!caption.isEmpty())
                    canvas.TextOut(x + Round((radio + 4) * scale), y - 2, caption);
                else
                    x = r.Left + (r.Width() - s) / 2;
            }
            canvas.Brush().SetStyle(bsSolid);
            unsigned flags = DFCS_BUTTONRADIO | (style == csFlat ? DFCS_FLAT : 0u) | (disabled ? DFCS_INACTIVE : 0u) |
                             (selected ? DFCS_CHECKED : 0u);
            DrawFrameControl(canvas, Bounds(x, y, s, s), DFC_BUTTON, flags);
            canvas.Brush().SetStyle(bsClear);
        } else {
            int x, y;
            if (horizontal) {
                x = captionsSoFar + r.Left + i * 16 - 14;
                y = r.Top + (r.Height() - 16) / 2;
            } else {
                x = r.Left + 2;
                y = r.Top + line * step;
            }
            if (style == csFramed) {
                canvas.Pen().SetWidth(1);
                canvas.Brush().SetStyle(bsSolid);
                canvas.Brush().SetColor(clBtnFace);
                canvas.Pen().SetColor(clBtnFace);
                canvas.Polygon({Point(x + 2, y + 8), Point(x + 8, y + 2), Point(x + 14, y + 8), Point(x + 8, y + 14)});
                canvas.Pen().SetColor(selected ? clGray : clWhite);
                Line(canvas, x + 2, y + 8, x + 8, y + 2);
                canvas.LineTo(x + 14, y + 8);
                canvas.Pen().SetColor(selected ? clWhite : clGray);
                canvas.LineTo(x + 8, y + 14);
                canvas.LineTo(x + 2, y + 8);
                if (selected) {
                    canvas.Brush().SetColor(cl.Color());
                    canvas.Pen().SetColor(cl.Color());
                    canvas.Polygon(
                        {Point(x + 6, y + 8), Point(x + 8, y + 6), Point(x + 10, y + 8), Point(x + 8, y + 10)});
                }
                canvas.Brush().SetStyle(bsClear);
                if (!caption.isEmpty())
                    canvas.TextOut(horizontal ? x + 16 : r.Left + 20, y, caption);
            } else if (style == csTheme) {
                const int state = selected ? (disabled ? RBS_CHECKEDDISABLED : RBS_CHECKEDNORMAL)
                                           : (disabled ? RBS_UNCHECKEDDISABLED : RBS_UNCHECKEDNORMAL);
                HTHEME theme = ExXPVS::OpenThemeData(this, QStringLiteral("button"));
                ExXPVS::DrawThemeBackground(theme, canvas, BP_RADIOBUTTON, state, Bounds(x, y, 16, 16));
                ExXPVS::CloseThemeData(theme);
                if (!caption.isEmpty())
                    canvas.TextOut(horizontal ? x + 16 : r.Left + 20, y, caption);
            } else {
                if (style == csGlyph) {
                    DrawTransparent(canvas, x, y, selected ? cl.RadioOnGlyph() : cl.RadioOffGlyph());
                } else {
                    const bool xp = style == csWinXP;
                    QString name;
                    if (selected)
                        name = disabled ? (xp ? QStringLiteral("ESGRAD07") : QStringLiteral("ESGRAD03"))
                                        : (xp ? QStringLiteral("ESGRAD05") : QStringLiteral("ESGRAD01"));
                    else
                        name = disabled ? (xp ? QStringLiteral("ESGRAD08") : QStringLiteral("ESGRAD04"))
                                        : (xp ? QStringLiteral("ESGRAD06") : QStringLiteral("ESGRAD02"));
                    DrawGlyph(canvas, x, y, name);
                }
                if (!caption.isEmpty())
                    canvas.TextOut(horizontal ? x + 16 : r.Left + 18, y + 1, caption);
            }
        }
        captionsSoFar += canvas.TextWidth(caption);
    }
    canvas.Brush().SetStyle(bsSolid);
    canvas.Font().SetColor(savedFont);
}
