// Cell graphic objects: the kinds a cell may carry besides its text, the
// operations that add, read and remove them, and the size they take.
#include "grid/ExGrid.h"

#include "widgets/PictureContainer.h"

#include <algorithm>
#include <cmath>

using namespace platform;

// ---------------------------------------------------------------------------
// TCellGraphic
// ---------------------------------------------------------------------------

TCellGraphic::~TCellGraphic()
{
    switch (CellType) {
    case ctBitmap:
    case ctBitButton:
        if (CellCreated)
            delete Bitmap;
        break;
    case ctRadio:
        if (CellCreated)
            delete Strings;
        break;
    case ctPicture:
        if (CellCreated)
            delete Picture;
        break;
    case ctFilePicture:
        if (CellCreated)
            delete CellBitmap;
        break;
    case ctImages: delete Images; break;
    case ctBalloon: delete Strings; break;
    case ctIcon:
        if (CellCreated)
            delete Icon;
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctRadioButton:
        // An attached balloon's texts.
        if (CellAngle == 1)
            delete Strings;
        break;
    default: break;
    }
}

// ---------------------------------------------------------------------------
// Object access
// ---------------------------------------------------------------------------

TCellGraphic* TExStringGrid::NewCellGraphic(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0 || Destroying() || !GetCellProperties(aCol, aRow))
        return nullptr;
    TObject* old = GetGraphicObjectEx(aCol, aRow);
    auto* g = new TCellGraphic;
    SetGraphicObjectEx(aCol, aRow, g);
    if (old && IsOwnGraphicObject(old))
        delete old;
    if (NumHiddenColumns() > 0)
        RepaintCell(DisplColIndexOf(aCol), aRow);
    return g;
}

bool TExStringGrid::RemoveCellGraphic(int aCol, int aRow)
{
    TCellProperties* p = CellPropsAt(aCol, aRow);
    TObject* old = p ? p->GraphicObject() : nullptr;
    if (!old)
        return false;
    p->SetGraphicObject(nullptr);
    const auto* g = dynamic_cast<const TCellGraphic*>(old);
    const bool shared = g && (g->CellType == ctVirtCheckBox || g->CellType == ctRowCheckBox);
    if (!shared && IsOwnGraphicObject(old))
        delete old;
    if (!Destroying())
        RepaintCell(DisplColIndexOf(aCol), aRow);
    return true;
}

bool TExStringGrid::RemoveCellGraphicOfType(int aCol, int aRow, TCellType kind)
{
    if (GetCellType(aCol, aRow) != kind)
        return false;
    return RemoveCellGraphic(aCol, aRow);
}

bool TExStringGrid::HasCellTypeIn(int aCol, int aRow, std::initializer_list<TCellType> kinds)
{
    if (aCol < 0 || aRow < 0)
        return false;
    const TPoint base = BaseCell(aCol, aRow);
    const TCellType type = GetCellType(base.X, base.Y);
    return std::find(kinds.begin(), kinds.end(), type) != kinds.end();
}

namespace {

// The graphic of a cell when it is of the kind; none otherwise.
TCellGraphic* OfKind(TExStringGrid& g, int aCol, int aRow, std::initializer_list<TCellType> kinds)
{
    TCellGraphic* cg = g.GetCellGraphic(aCol, aRow);
    if (cg && std::find(kinds.begin(), kinds.end(), cg->CellType) != kinds.end())
        return cg;
    return nullptr;
}

qint16 NormalisedAngle(int angle)
{
    while (angle < 0)
        angle += 360;
    while (angle > 360)
        angle -= 360;
    return static_cast<qint16>(angle);
}

} // namespace

// ---- interfaced objects

void TExStringGrid::AddInterfacedCell(int aCol, int aRow, TPersistent* aObject)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctInterface;
        g->CellBitmap = aObject;
    }
}

TPersistent* TExStringGrid::GetInterfacedCell(int aCol, int aRow)
{
    TCellGraphic* g = OfKind(*this, aCol, aRow, {ctInterface});
    return g ? dynamic_cast<TPersistent*>(g->CellBitmap) : nullptr;
}

void TExStringGrid::RemoveInterfacedCell(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctInterface); }

// ---- bitmaps, pictures, icons

void TExStringGrid::AddBitmap(int aCol, int aRow, TBitmap* aBmp, bool transparent, TCellHAlign hal, TCellVAlign val)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctBitmap;
        g->Bitmap = aBmp;
        g->CellTransparent = transparent;
        g->CellHAlign = hal;
        g->CellVAlign = val;
    }
}

TBitmap* TExStringGrid::CreateBitmap(int aCol, int aRow, bool transparent, TCellHAlign hal, TCellVAlign val)
{
    TCellGraphic* g = NewCellGraphic(aCol, aRow);
    if (!g)
        return nullptr;
    g->CellType = ctBitmap;
    g->Bitmap = new TBitmap;
    g->CellCreated = true;
    g->CellTransparent = transparent;
    g->CellHAlign = hal;
    g->CellVAlign = val;
    return g->Bitmap;
}

TBitmap* TExStringGrid::GetBitmap(int aCol, int aRow)
{
    TCellGraphic* g = OfKind(*this, aCol, aRow, {ctBitmap});
    return g ? g->Bitmap : nullptr;
}

bool TExStringGrid::HasBitmap(int aCol, int aRow) { return GetCellType(aCol, aRow) == ctBitmap; }

void TExStringGrid::RemoveBitmap(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctBitmap); }

void TExStringGrid::AddPicture(int aCol, int aRow, TCellPicture* aPicture, bool transparent,
                               TStretchMode stretchMode, int padding, TCellHAlign hal, TCellVAlign val)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctPicture;
        g->Picture = aPicture;
        g->CellTransparent = transparent;
        g->CellAngle = static_cast<int>(stretchMode);
        g->CellIndex = padding;
        g->CellHAlign = hal;
        g->CellVAlign = val;
    }
}

TCellPicture* TExStringGrid::CreatePicture(int aCol, int aRow, bool transparent, TStretchMode stretchMode,
                                           int padding, TCellHAlign hal, TCellVAlign val)
{
    auto* picture = new TCellPicture;
    AddPicture(aCol, aRow, picture, transparent, stretchMode, padding, hal, val);
    TCellGraphic* g = OfKind(*this, aCol, aRow, {ctPicture});
    if (!g || g->Picture != picture) {
        delete picture;
        return nullptr;
    }
    g->CellCreated = true;
    return picture;
}

TCellPicture* TExStringGrid::GetPicture(int aCol, int aRow)
{
    TCellGraphic* g = OfKind(*this, aCol, aRow, {ctPicture});
    return g ? g->Picture : nullptr;
}

bool TExStringGrid::HasPicture(int aCol, int aRow) { return GetCellType(aCol, aRow) == ctPicture; }

void TExStringGrid::RemovePicture(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctPicture); }

void TExStringGrid::AddFilePicture(int aCol, int aRow, TFilePicture* aFilePicture, bool transparent,
                                   TStretchMode stretchMode, int padding, TCellHAlign hal, TCellVAlign val)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctFilePicture;
        g->CellBitmap = aFilePicture;
        g->CellTransparent = transparent;
        g->CellAngle = static_cast<int>(stretchMode);
        g->CellIndex = padding;
        g->CellHAlign = hal;
        g->CellVAlign = val;
    }
}

TFilePicture* TExStringGrid::CreateFilePicture(int aCol, int aRow, bool transparent, TStretchMode stretchMode,
                                               int padding, TCellHAlign hal, TCellVAlign val)
{
    auto* picture = new TFilePicture;
    AddFilePicture(aCol, aRow, picture, transparent, stretchMode, padding, hal, val);
    TCellGraphic* g = OfKind(*this, aCol, aRow, {ctFilePicture});
    if (!g || g->CellBitmap != picture) {
        delete picture;
        return nullptr;
    }
    g->CellCreated = true;
    return picture;
}

TFilePicture* TExStringGrid::GetFilePicture(int aCol, int aRow)
{
    TCellGraphic* g = OfKind(*this, aCol, aRow, {ctFilePicture});
    return g ? dynamic_cast<TFilePicture*>(g->CellBitmap) : nullptr;
}

void TExStringGrid::RemoveFilePicture(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctFilePicture); }

void TExStringGrid::AddIcon(int aCol, int aRow, TBitmap* aIcon, TCellHAlign hal, TCellVAlign val)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctIcon;
        g->Icon = aIcon;
        g->CellHAlign = hal;
        g->CellVAlign = val;
    }
}

TBitmap* TExStringGrid::CreateIcon(int aCol, int aRow, TCellHAlign hal, TCellVAlign val)
{
    TCellGraphic* g = NewCellGraphic(aCol, aRow);
    if (!g)
        return nullptr;
    g->CellType = ctIcon;
    g->Icon = new TBitmap;
    g->CellCreated = true;
    g->CellHAlign = hal;
    g->CellVAlign = val;
    return g->Icon;
}

void TExStringGrid::RemoveIcon(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctIcon); }

// ---- progress kinds

void TExStringGrid::AddProgressPie(int aCol, int aRow, TColor color, int value)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctProgressPie;
        g->CellBitmapColor = color;
        g->CellAngle = value;
        g->CellHAlign = haBeforeText;
        g->CellVAlign = vaTop;
    }
}

void TExStringGrid::SetProgressPie(int aCol, int aRow, int value)
{
    if (TCellGraphic* g = OfKind(*this, aCol, aRow, {ctProgressPie})) {
        g->CellAngle = value;
        RepaintCell(DisplColIndexOf(aCol), aRow);
    }
}

void TExStringGrid::RemoveProgressPie(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctProgressPie); }

void TExStringGrid::AddExProgress(int aCol, int aRow, int minimum, int maximum)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctXPProgress;
        g->CellErrFrom = minimum;
        g->CellErrLen = maximum;
        g->CellBoolean = false;
        g->CellHAlign = haLeft;
        g->CellVAlign = vaTop;
    }
}

void TExStringGrid::RemoveExProgress(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctXPProgress); }

void TExStringGrid::AddProgress(int aCol, int aRow, TColor fgColor, TColor bkColor)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctProgress;
        g->CellBitmapColor = fgColor;
        g->CellIconColor = bkColor;
        g->CellErrFrom = 0;
        g->CellErrLen = 100;
        g->CellBoolean = false;
        if (FAutoNumAlign)
            SetAlignments(aCol, aRow, taRightJustify);
    }
}

void TExStringGrid::AddProgressEx(int aCol, int aRow, TColor fgColor, TColor fgTextColor, TColor bkColor,
                                  TColor bkTextColor)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctProgress;
        g->CellBitmapColor = fgColor;
        g->CellIconColor = bkColor;
        g->CellIndex = static_cast<int>(fgTextColor);
        g->CellAngle = static_cast<int>(bkTextColor);
        g->CellErrFrom = 0;
        g->CellErrLen = 100;
        g->CellBoolean = true;
        if (FAutoNumAlign)
            SetAlignments(aCol, aRow, taRightJustify);
    }
}

void TExStringGrid::AddProgressFormatted(int aCol, int aRow, TColor fgColor, TColor fgTextColor, TColor bkColor,
                                         TColor bkTextColor, const QString& fmt, int minimum, int maximum)
{
    AddProgressEx(aCol, aRow, fgColor, fgTextColor, bkColor, bkTextColor);
    if (TCellGraphic* g = OfKind(*this, aCol, aRow, {ctProgress})) {
        g->CellErrFrom = minimum;
        g->CellErrLen = maximum;
        g->CellText = fmt;
    }
}

bool TExStringGrid::HasProgress(int aCol, int aRow) { return HasCellTypeIn(aCol, aRow, {ctProgress}); }

void TExStringGrid::RemoveProgress(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctProgress); }

void TExStringGrid::AddRangeIndicator(int aCol, int aRow, int range, TColor negColor, TColor posColor, bool showValue)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctRangeIndicator;
        g->CellIndex = range;
        g->CellBitmapColor = negColor;
        g->CellIconColor = posColor;
        g->CellBoolean = showValue;
        g->CellHAlign = haLeft;
        g->CellVAlign = vaTop;
    }
}

void TExStringGrid::RemoveRangeIndicator(int aCol, int aRow)
{
    RemoveCellGraphicOfType(aCol, aRow, ctRangeIndicator);
}

// ---- comments

void TExStringGrid::AddComment(int aCol, int aRow, const QString& comment)
{
    AddColorComment(aCol, aRow, comment, FControlLook->CommentColor());
}

void TExStringGrid::AddColorComment(int aCol, int aRow, const QString& comment, TColor color)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctComment;
        g->CellText = comment;
        g->CellIndex = static_cast<int>(color);
        g->CellHAlign = haLeft;
        g->CellVAlign = vaTop;
    }
}

QString TExStringGrid::GetComment(int aCol, int aRow)
{
    TCellGraphic* g = OfKind(*this, aCol, aRow, {ctComment});
    return g ? g->CellText : QString();
}

void TExStringGrid::SetComment(int aCol, int aRow, const QString& value)
{
    TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g)
        AddComment(aCol, aRow, value);
    else if (g->CellType == ctComment)
        g->CellText = value;
}

bool TExStringGrid::IsComment(int aCol, int aRow, QString& comment)
{
    TCellGraphic* g = OfKind(*this, aCol, aRow, {ctComment});
    if (g)
        comment = g->CellText;
    return g != nullptr;
}

void TExStringGrid::RemoveComment(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctComment); }

void TExStringGrid::RemoveAllComments()
{
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            RemoveComment(RealColIndex(c), r);
}

// ---- shapes and ratings

void TExStringGrid::AddShape(int aCol, int aRow, TCellShape shape, TColor fillColor, TColor lineColor,
                             TCellHAlign hal, TCellVAlign val)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctShape;
        g->CellAngle = static_cast<int>(shape);
        g->CellIndex = static_cast<int>(fillColor);
        g->CellBitmapColor = lineColor;
        g->CellHAlign = hal;
        g->CellVAlign = val;
    }
}

void TExStringGrid::SetShapeColor(int aCol, int aRow, TColor fillColor)
{
    if (TCellGraphic* g = OfKind(*this, aCol, aRow, {ctShape})) {
        g->CellIndex = static_cast<int>(fillColor);
        RepaintCell(DisplColIndexOf(aCol), aRow);
    }
}

TColor TExStringGrid::GetShapeColor(int aCol, int aRow)
{
    TCellGraphic* g = OfKind(*this, aCol, aRow, {ctShape});
    return g ? static_cast<TColor>(g->CellIndex) : clNone;
}

void TExStringGrid::RemoveShape(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctShape); }

void TExStringGrid::AddRating(int aCol, int aRow, int scale, TColor fillColor, TColor emptyColor)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctRating;
        g->CellAngle = scale;
        g->CellIndex = static_cast<int>(fillColor);
        g->CellBitmapColor = emptyColor;
        g->CellHAlign = haFull;
    }
}

bool TExStringGrid::HasRating(int aCol, int aRow) { return HasCellTypeIn(aCol, aRow, {ctRating}); }

void TExStringGrid::RemoveRating(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctRating); }

// ---- in-cell scroll bars (kept on the base cell)

void TExStringGrid::AddScrollBar(int aCol, int aRow, bool autoRange)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctScrollbar;
        g->CellIndex = 0;
        g->CellAngle = 0;
        g->CellErrFrom = 100;
        g->CellBoolean = autoRange;
        if (autoRange)
            CellTextChanged(aCol, aRow);
    }
}

bool TExStringGrid::HasScrollBar(int aCol, int aRow) { return HasCellTypeIn(aCol, aRow, {ctScrollbar}); }

bool TExStringGrid::HasAutoRangeScrollBar(int aCol, int aRow)
{
    if (!HasScrollBar(aCol, aRow))
        return false;
    const TPoint b = BaseCell(aCol, aRow);
    return GetCellGraphic(b.X, b.Y)->CellBoolean;
}

int TExStringGrid::GetScrollPosition(int aCol, int aRow)
{
    if (!HasScrollBar(aCol, aRow))
        return -1;
    const TPoint b = BaseCell(aCol, aRow);
    return GetCellGraphic(b.X, b.Y)->CellIndex;
}

void TExStringGrid::SetScrollPosition(int aCol, int aRow, int pos)
{
    if (!HasScrollBar(aCol, aRow))
        return;
    const TPoint b = BaseCell(aCol, aRow);
    GetCellGraphic(b.X, b.Y)->CellIndex = pos;
    RepaintCell(DisplColIndexOf(b.X), b.Y);
}

void TExStringGrid::GetScrollProp(int aCol, int aRow, int& pageSize, int& range)
{
    pageSize = range = -1;
    if (!HasScrollBar(aCol, aRow))
        return;
    const TPoint b = BaseCell(aCol, aRow);
    const TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    pageSize = g->CellAngle;
    range = g->CellErrFrom;
}

void TExStringGrid::SetScrollProp(int aCol, int aRow, int pageSize, int range)
{
    if (!HasScrollBar(aCol, aRow))
        return;
    const TPoint b = BaseCell(aCol, aRow);
    TCellGraphic* g = GetCellGraphic(b.X, b.Y);
    g->CellAngle = pageSize;
    g->CellErrFrom = range;
    RepaintCell(DisplColIndexOf(b.X), b.Y);
}

void TExStringGrid::RemoveScrollBar(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctScrollbar); }

// ---- error markers

void TExStringGrid::AddMarker(int aCol, int aRow, int errPos, int errLen)
{
    TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g) {
        g = NewCellGraphic(aCol, aRow);
        if (!g)
            return;
        g->CellType = ctEmpty;
    }
    g->CellErrFrom = errPos;
    g->CellErrLen = errLen;
    RepaintCell(DisplColIndexOf(aCol), aRow);
}

void TExStringGrid::GetMarker(int aCol, int aRow, int& errPos, int& errLen)
{
    errPos = errLen = 0;
    if (const TCellGraphic* g = GetCellGraphic(aCol, aRow)) {
        errPos = g->CellErrFrom;
        errLen = g->CellErrLen;
    }
}

void TExStringGrid::RemoveMarker(int aCol, int aRow)
{
    TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g)
        return;
    if (g->CellType == ctEmpty) {
        RemoveCellGraphic(aCol, aRow);
        return;
    }
    g->CellErrFrom = 0;
    g->CellErrLen = 0;
    RepaintCell(DisplColIndexOf(aCol), aRow);
}

void TExStringGrid::RemoveAllMarkers()
{
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            RemoveMarker(RealColIndex(c), r);
}

// ---- buttons

namespace {
int PackSize(int width, int height) { return (height << 16) | (width & 0xFFFF); }
} // namespace

void TExStringGrid::AddBitButton(int aCol, int aRow, int bw, int bh, const QString& caption, TBitmap* glyph,
                                 TCellHAlign hal, TCellVAlign val)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctBitButton;
        g->CellIndex = PackSize(bw, bh);
        g->CellText = caption;
        g->Bitmap = glyph;
        g->CellBoolean = false;
        g->CellHAlign = hal;
        g->CellVAlign = val;
    }
}

TBitmap* TExStringGrid::CreateBitButton(int aCol, int aRow, int bw, int bh, const QString& caption, TCellHAlign hal,
                                        TCellVAlign val)
{
    auto* glyph = new TBitmap;
    AddBitButton(aCol, aRow, bw, bh, caption, glyph, hal, val);
    TCellGraphic* g = OfKind(*this, aCol, aRow, {ctBitButton});
    if (!g || g->Bitmap != glyph) {
        delete glyph;
        return nullptr;
    }
    g->CellCreated = true;
    return glyph;
}

void TExStringGrid::RemoveBitButton(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctBitButton); }

void TExStringGrid::AddButton(int aCol, int aRow, int bw, int bh, const QString& caption, TCellHAlign hal,
                              TCellVAlign val)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctButton;
        g->CellIndex = PackSize(bw, bh);
        g->CellText = caption;
        g->CellBoolean = false;
        g->CellHAlign = hal;
        g->CellVAlign = val;
    }
}

void TExStringGrid::SetButtonText(int aCol, int aRow, const QString& caption)
{
    const int rc = RealColIndex(aCol);
    if (TCellGraphic* g = OfKind(*this, rc, aRow, {ctButton, ctBitButton})) {
        g->CellText = caption;
        RepaintCell(aCol, aRow);
    }
}

QString TExStringGrid::GetButtonText(int aCol, int aRow)
{
    TCellGraphic* g = OfKind(*this, RealColIndex(aCol), aRow, {ctButton, ctBitButton});
    return g ? g->CellText : QString();
}

void TExStringGrid::PushButton(int aCol, int aRow, bool push)
{
    TCellGraphic* g = GetCellGraphic(RealColIndex(aCol), aRow);
    if (!g || g->CellType == ctNode)
        return;
    g->CellBoolean = push;
    RepaintCell(aCol, aRow);
}

bool TExStringGrid::HasButton(int aCol, int aRow) { return HasCellTypeIn(aCol, aRow, {ctButton, ctBitButton}); }

void TExStringGrid::RemoveButton(int aCol, int aRow)
{
    if (!RemoveCellGraphicOfType(aCol, aRow, ctButton))
        RemoveCellGraphicOfType(aCol, aRow, ctBitButton);
}

void TExStringGrid::RemoveAllButtons()
{
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            RemoveButton(RealColIndex(c), r);
}

// ---- image lists

void TExStringGrid::AddImageIdx(int aCol, int aRow, int aIdx, TCellHAlign hal, TCellVAlign val)
{
    if (!FGridImages)
        return;
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctImageList;
        g->CellIndex = aIdx;
        g->CellHAlign = hal;
        g->CellVAlign = val;
    }
}

bool TExStringGrid::GetImageIdx(int aCol, int aRow, int& idx)
{
    TCellGraphic* g = OfKind(*this, aCol, aRow, {ctImageList});
    if (!FGridImages || !g)
        return false;
    idx = g->CellIndex;
    return true;
}

void TExStringGrid::SetImageIdx(int aCol, int aRow, int idx)
{
    if (TCellGraphic* g = OfKind(*this, aCol, aRow, {ctImageList})) {
        g->CellIndex = idx;
        RepaintCell(DisplColIndexOf(aCol), aRow);
    }
}

void TExStringGrid::RemoveImageIdx(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctImageList); }

void TExStringGrid::AddDataImage(int aCol, int aRow, int aIdx, TCellHAlign hal, TCellVAlign val)
{
    if (!FGridImages)
        return;
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctDataImage;
        g->CellIndex = aIdx;
        g->CellHAlign = hal;
        g->CellVAlign = val;
        if (GetCellEx(aCol, aRow).isEmpty())
            SetCellEx(aCol, aRow, QString::number(aIdx));
    }
}

bool TExStringGrid::HasDataImage(int aCol, int aRow) { return HasCellTypeIn(aCol, aRow, {ctDataImage}); }

void TExStringGrid::RemoveDataImage(int aCol, int aRow)
{
    if (RemoveCellGraphicOfType(aCol, aRow, ctDataImage))
        SetCellEx(aCol, aRow, QString());
}

void TExStringGrid::AddMultiImage(int aCol, int aRow, int dir, TCellHAlign hal, TCellVAlign val)
{
    if (!FGridImages)
        return;
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctImages;
        g->Images = new TIntList(aCol, aRow);
        g->Images->OnChange = [this](QObject*, int c, int r) { RepaintCell(DisplColIndexOf(c), r); };
        g->CellBoolean = dir == 0;
        g->CellHAlign = hal;
        g->CellVAlign = val;
    }
}

TIntList* TExStringGrid::GetCellImages(int aCol, int aRow)
{
    TCellGraphic* g = OfKind(*this, aCol, aRow, {ctImages});
    return g ? g->Images : nullptr;
}

void TExStringGrid::RemoveMultiImage(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctImages); }

// ---- rotated text

void TExStringGrid::AddRotated(int aCol, int aRow, qint16 aAngle, const QString& s)
{
    if (TCellGraphic* g = NewCellGraphic(aCol, aRow)) {
        g->CellType = ctRotated;
        g->CellAngle = NormalisedAngle(aAngle);
        SetCellEx(aCol, aRow, s);
    }
}

void TExStringGrid::SetRotated(int aCol, int aRow, qint16 aAngle)
{
    TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g) {
        g = NewCellGraphic(aCol, aRow);
        if (!g)
            return;
        g->CellType = ctRotated;
    }
    g->CellAngle = NormalisedAngle(aAngle);
    RepaintCell(DisplColIndexOf(aCol), aRow);
}

bool TExStringGrid::IsRotated(int aCol, int aRow, int& aAngle)
{
    TCellGraphic* g = OfKind(*this, aCol, aRow, {ctRotated});
    if (g)
        aAngle = g->CellAngle;
    return g != nullptr;
}

void TExStringGrid::RemoveRotated(int aCol, int aRow) { RemoveCellGraphicOfType(aCol, aRow, ctRotated); }

// ---- balloons

void TExStringGrid::AddBalloon(int aCol, int aRow, const QString& title, const QString& text, int icon)
{
    TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (g) {
        if (g->CellType != ctCheckBox && g->CellType != ctDataCheckBox && g->CellType != ctRadioButton)
            return;
        if (g->CellAngle == 1)
            delete g->Strings;
        g->Strings = new QStringList{title, text};
        g->CellAngle = 1;
        g->CellIndex = icon;
        return;
    }
    g = NewCellGraphic(aCol, aRow);
    if (!g)
        return;
    g->CellType = ctBalloon;
    g->Strings = new QStringList{title, text};
    g->CellIndex = icon;
    g->CellAngle = 0;
}

bool TExStringGrid::HasBalloon(int aCol, int aRow) { return HasCellTypeIn(aCol, aRow, {ctBalloon}); }

bool TExStringGrid::IsBalloon(int aCol, int aRow, QString& title, QString& text, int& icon)
{
    TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g)
        return false;
    const bool attached = g->CellAngle == 1 &&
                          (g->CellType == ctCheckBox || g->CellType == ctDataCheckBox || g->CellType == ctRadioButton);
    if (g->CellType != ctBalloon && !attached)
        return false;
    if (g->Strings) {
        title = g->Strings->value(0);
        text = g->Strings->value(1);
    }
    icon = g->CellIndex;
    return true;
}

void TExStringGrid::RemoveBalloon(int aCol, int aRow)
{
    TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g)
        return;
    if (g->CellAngle == 1 &&
        (g->CellType == ctCheckBox || g->CellType == ctDataCheckBox || g->CellType == ctRadioButton)) {
        delete g->Strings;
        g->Strings = nullptr;
        g->CellAngle = 0;
        return;
    }
    RemoveCellGraphicOfType(aCol, aRow, ctBalloon);
}

// ---------------------------------------------------------------------------
// Other queries
// ---------------------------------------------------------------------------

void TExStringGrid::SetGridImages(TImageList* v)
{
    FGridImages = v;
    if (v)
        FreeNotification(v);
    Invalidate();
}

std::intptr_t TExStringGrid::ImageSortKey(int aCol, int aRow)
{
    const TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g)
        return -1;
    switch (g->CellType) {
    case ctBitmap: return reinterpret_cast<std::intptr_t>(g->Bitmap);
    case ctIcon: return reinterpret_cast<std::intptr_t>(g->Icon);
    case ctImageList: return g->CellIndex;
    default: return -1;
    }
}

TRect TExStringGrid::CalcExpandButtonRect(int aCol, int aRow)
{
    if (GetCellType(RealColIndex(aCol), aRow) != ctExpand)
        return TRect{};
    const TRect r = CellRect(aCol, aRow);
    return Rect(r.Right - 13, r.Top + 2, r.Right - 2, r.Top + 13);
}

TRect TExStringGrid::CalcCellButtonRect(int aCol, int aRow)
{
    const TCellGraphic* g = GetCellGraphic(RealColIndex(aCol), aRow);
    if (!g || (g->CellType != ctButton && g->CellType != ctBitButton))
        return TRect{};
    const TRect r = CellRect(aCol, aRow);
    const int offset = static_cast<int>(g->CellValue);
    const int x = static_cast<qint16>(offset & 0xFFFF);
    const int y = static_cast<qint16>((offset >> 16) & 0xFFFF);
    TRect b = Bounds(r.Left + x, r.Top + y, g->CellIndex & 0xFFFF, (g->CellIndex >> 16) & 0xFFFF);
    if (g->CellVAlign == vaFull) {
        b.Top = r.Top;
        b.Bottom = r.Bottom;
    }
    if (g->CellHAlign == haFull) {
        b.Left = r.Left;
        b.Right = r.Right;
    }
    return b;
}

TSize TExStringGrid::GetPictureSize(int aCol, int aRow, int width, int height, bool hasText)
{
    (void)hasText;
    const TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g || (g->CellType != ctPicture && g->CellType != ctFilePicture))
        return TSize{};
    int pw = 0, ph = 0;
    if (g->CellType == ctPicture) {
        if (g->Picture) {
            pw = g->Picture->Width();
            ph = g->Picture->Height();
        }
    } else if (const auto* fp = dynamic_cast<const TFilePicture*>(g->CellBitmap)) {
        pw = fp->Width();
        ph = fp->Height();
    }
    const int w = width - g->CellIndex, h = height - g->CellIndex;
    double rx = pw <= 0 ? 1.0 : static_cast<double>(w) / pw;
    double ry = ph <= 0 ? 1.0 : static_cast<double>(h) / ph;
    auto round = [](double v) { return static_cast<int>(std::lround(v)); };
    auto aspect = [&](double ax, double ay) {
        if (ax >= ay)
            return TSize{round(pw * ay), h};
        return TSize{w, round(ph * ax)};
    };
    switch (static_cast<TStretchMode>(g->CellAngle)) {
    case TStretchMode::noStretch: return TSize{pw, ph};
    case TStretchMode::Stretch: return TSize{w, h};
    case TStretchMode::StretchWithAspectRatio: return aspect(rx, ry);
    case TStretchMode::Shrink: return (w >= pw && h >= ph) ? TSize{pw, ph} : TSize{w, h};
    case TStretchMode::ShrinkWithAspectRatio:
        if (w >= pw && h >= ph)
            return TSize{pw, ph};
        rx = std::min(rx, 1.0);
        ry = std::min(ry, 1.0);
        return aspect(rx, ry);
    }
    return TSize{pw, ph};
}

TSize TExStringGrid::GetCellGraphicSize(int aCol, int aRow) { return CellGraphicSize(aCol, aRow, 0); }

TSize TExStringGrid::CellGraphicSize(int aCol, int aRow, int extraYOffset)
{
    TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g)
        return TSize{};
    const bool hasText = !GetCellEx(aCol, aRow).isEmpty();
    const int displCol = DisplColIndexOf(aCol);
    const TPoint cellSize = CellSize(displCol, aRow);
    const bool beside = g->CellHAlign == haBeforeText || g->CellHAlign == haAfterText;
    const bool stacked = g->CellVAlign == vaUnderText || g->CellVAlign == vaAboveText;
    TCanvas& c = Canvas();
    TImageList* images = CellImages(aCol, aRow);
    int w = 0, h = 0;
    bool fullWidth = true;
    switch (g->CellType) {
    case ctIcon:
        if (g->Icon) {
            w = (beside || !hasText) ? g->Icon->Width() : 0;
            h = g->Icon->Height();
        }
        break;
    case ctBitmap:
        if (g->Bitmap) {
            w = (beside || !hasText) ? g->Bitmap->Width() : 0;
            h = (stacked || !hasText) ? g->Bitmap->Height() : 0;
        }
        break;
    case ctPicture:
    case ctFilePicture: {
        const TSize s = GetPictureSize(aCol, aRow, cellSize.X - TotalXOffset() - 1,
                                       cellSize.Y - TotalYOffset() - extraYOffset - 1, hasText);
        w = s.cx;
        h = s.cy;
        break;
    }
    case ctButton:
    case ctBitButton: {
        const int pw = g->CellIndex & 0xFFFF, ph = (g->CellIndex >> 16) & 0xFFFF;
        if (hasText) {
            w = g->CellHAlign == haCenter ? 0 : pw;
            if (g->CellHAlign == haFull)
                w = c.TextWidth(g->CellText) + 4;
            if (stacked)
                w = 0;
            h = stacked ? ph : 0;
        } else {
            w = pw;
            h = ph;
            if (g->CellHAlign == haFull) {
                TFont saved = c.Font();
                c.SetFont(Font());
                w = c.TextWidth(g->CellText) + 4;
                c.SetFont(saved);
                if (!g->CellText.isEmpty())
                    fullWidth = false;
            }
        }
        break;
    }
    case ctInterface:
        if (auto* i = dynamic_cast<ICellGraphic*>(g->CellBitmap)) {
            w = i->CellGraphicWidth();
            h = i->CellGraphicHeight();
            if (w == 0 || h == 0) {
                w = cellSize.X;
                h = cellSize.Y;
            }
        }
        break;
    case ctImageList:
    case ctDataImage:
        if (images) {
            w = (beside || !hasText) ? images->Width() : 0;
            h = (stacked || !hasText) ? images->Height() : 0;
        }
        break;
    case ctProgressPie: w = h = 20; break;
    case ctRadioButton: w = h = FControlLook->RadioSize(); break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox: w = h = FControlLook->CheckSize(); break;
    case ctRadio: {
        const QStringList items = g->Strings ? *g->Strings : QStringList();
        const int th = c.TextHeight(QStringLiteral("gh"));
        if (g->CellBoolean) {
            for (const QString& s : items)
                w += c.TextWidth(s) + 12;
            h = th;
        } else {
            w = 12;
            for (const QString& s : items)
                w = std::max(w, c.TextWidth(s) + 12);
            h = static_cast<int>(items.size()) * std::max(16, th);
        }
        break;
    }
    case ctRating:
        w = g->CellAngle * 18;
        h = 16;
        fullWidth = false;
        break;
    case ctImages:
        if (images && g->Images) {
            const int n = g->Images->Count();
            w = g->CellBoolean ? n * images->Width() : images->Width();
            h = g->CellBoolean ? images->Height() : n * images->Height();
        }
        break;
    default: break;
    }
    const TRect r = CellRect(displCol, aRow);
    if (g->CellVAlign == vaFull) {
        h = r.Height();
        fullWidth = true;
    }
    if (g->CellHAlign == haFull && fullWidth)
        w = r.Width();
    return TSize{w, h};
}

TSize TExStringGrid::CellGraphicPrintSize(int aCol, int aRow, int availWidth, int availHeight, double scale)
{
    TCellGraphic* g = GetCellGraphic(aCol, aRow);
    if (!g)
        return TSize{};
    const bool hasText = !GetCellEx(aCol, aRow).isEmpty();
    const int displCol = DisplColIndexOf(aCol);
    const TRect cell = CellRect(displCol, aRow);
    TImageList* images = CellImages(aCol, aRow);
    TCanvas& c = Canvas();
    const double s = scale > 0 ? scale : 1.0;
    auto scaled = [s](int v) { return static_cast<int>(std::lround(v / s)); };
    switch (g->CellType) {
    case ctPicture:
    case ctFilePicture: {
        const TSize p = GetPictureSize(aCol, aRow, availWidth, availHeight, hasText);
        return TSize{scaled(p.cx), scaled(p.cy)};
    }
    case ctProgress:
    case ctXPProgress: return TSize{ColWidths(displCol), RowHeights(aRow)};
    case ctShape: {
        const int side = RowHeights(aRow) - 2 * FXYOffset.Y;
        return TSize{side, side};
    }
    case ctProgressPie:
    case ctNode: return TSize{20, 20};
    case ctButton:
    case ctBitButton: return TSize{g->CellIndex & 0xFFFF, (g->CellIndex >> 16) & 0xFFFF};
    case ctImageList:
        if (!images)
            return TSize{};
        return TSize{(g->CellHAlign == haBeforeText || g->CellHAlign == haAfterText || !hasText) ? images->Width() : 0,
                     images->Height()};
    case ctDataImage: return images ? TSize{images->Width(), images->Height()} : TSize{};
    case ctBitmap: return g->Bitmap ? TSize{g->Bitmap->Width(), g->Bitmap->Height()} : TSize{};
    case ctIcon: return g->Icon ? TSize{g->Icon->Width(), g->Icon->Height()} : TSize{};
    case ctInterface:
        if (auto* i = dynamic_cast<ICellGraphic*>(g->CellBitmap)) {
            int w = i->CellGraphicWidth(), h = i->CellGraphicHeight();
            if (w == 0)
                w = cell.Width();
            if (h == 0)
                h = cell.Height();
            return TSize{w, h};
        }
        return TSize{};
    case ctImages:
        if (images && g->Images) {
            const int n = g->Images->Count();
            return g->CellBoolean ? TSize{n * images->Width(), images->Height()}
                                  : TSize{images->Width(), n * images->Height()};
        }
        return TSize{};
    case ctRadioButton: return TSize{FControlLook->RadioSize(), FControlLook->RadioSize()};
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox: return TSize{FControlLook->CheckSize(), FControlLook->CheckSize()};
    case ctRadio: {
        const QStringList items = g->Strings ? *g->Strings : QStringList();
        const int th = c.TextHeight(QStringLiteral("gh"));
        int w = 0;
        if (g->CellBoolean) {
            for (const QString& t : items)
                w += c.TextWidth(t) + 12;
            return TSize{w, th};
        }
        w = 12;
        for (const QString& t : items)
            w = std::max(w, c.TextWidth(t) + 12);
        return TSize{w, static_cast<int>(items.size()) * th};
    }
    default: return TSize{};
    }
}
