#include "controls/ExColorSelector.h"

#include <QColor>
#include <QCursor>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

#include <algorithm>

using namespace platform;

TExCustomColorSelectorPanel::TExCustomColorSelectorPanel(QWidget* parent) : TCustomControl(parent)
{
    setMouseTracking(true);
}

// ---------------------------------------------------------------------------
// Colour cube
// ---------------------------------------------------------------------------

namespace {

constexpr TColor CubeColors[TExColorCubePanel::CellCount] = {
    // row 1
    0x663300, 0x996633, 0xCC6633, 0x993300, 0x990000, 0xCC0000, 0x660000,
    // row 2
    0x666600, 0x996600, 0xCC9900, 0xCC6600, 0xCC3300, 0xFF0000, 0xFF3333, 0x993333,
    // row 3
    0x808000, 0x999900, 0xCCCC33, 0xFFCC00, 0xFF9900, 0xFF6600, 0xFF6633, 0xCC3333, 0x996666,
    // row 4
    0x669933, 0x99CC00, 0xCCFF00, 0xFFFF00, 0xFFCC33, 0xFF9933, 0xFF9966, 0xFF6666, 0xFF0066, 0xCC0066,
    // row 5
    0x339933, 0x66CC00, 0x99FF00, 0xCCFF66, 0xFFFF66, 0xFFCC66, 0xFFCC99, 0xFF9999, 0xFF6699, 0xFF3399, 0xFF0099,
    // row 6
    0x006600, 0x00CC00, 0x00FF00, 0x99FF66, 0xCCFF99, 0xFFFFCC, 0xFFECCC, 0xFFCCCC, 0xFF99CC, 0xFF66CC, 0xFF00CC,
    0xCC0099,
    // row 7
    0x003300, 0x008000, 0x33CC33, 0x66FF66, 0x99FF99, 0xCCFFCC, 0xFFFFFF, 0xFFCCFF, 0xFF99FF, 0xFF66FF, 0xFF00FF,
    0xCC00CC, 0x660066,
    // row 8
    0x006633, 0x009900, 0x33FF66, 0x66FF99, 0x99FFCC, 0xCCFFFF, 0xCCCCFF, 0xCC99FF, 0xCC66FF, 0xCC33FF, 0x9900CC,
    0x800080,
    // row 9
    0x003333, 0x009966, 0x33FF99, 0x66FFCC, 0x99FFFF, 0x99CCFF, 0x9999FF, 0x9966FF, 0x9933FF, 0x9933CC, 0x990099,
    // row 10
    0x336666, 0x00CC99, 0x33FFCC, 0x66FFFF, 0x66CCFF, 0x6699FF, 0x807CFF, 0x6600FF, 0x9300D6, 0x663399,
    // row 11
    0x008080, 0x00CCCC, 0x00FFFF, 0x00CCFF, 0x3399FF, 0x0066FF, 0x5050FF, 0x6600CC, 0x330066,
    // row 12
    0x336699, 0x0099CC, 0x0099FF, 0x0066CC, 0x0033FF, 0x0000FF, 0x0000CC, 0x330099,
    // row 13
    0x003366, 0x006699, 0x0033CC, 0x003399, 0x000099, 0x000080, 0x2100A5,
};

// The rectangle that holds a cell's hexagon and its outlines.
TRect CellBounds(TPoint c)
{
    return Rect(c.X - 7, c.Y - 7, c.X + 8, c.Y + 8);
}

} // namespace

TExColorCubePanel::TExColorCubePanel(QWidget* parent) : TExCustomColorSelectorPanel(parent)
{
    InitCubeCells();
    SetShowRGBHint(true);
    SetPanelSize();
}

void TExColorCubePanel::InitCubeCells()
{
    FCubeSize = Point(6, 3);
    int n = 1;
    for (int r = 1; r <= 13; ++r) {
        const int count = r <= 7 ? r + 6 : 20 - r;
        const int x0 = r <= 7 ? 55 - 6 * (r - 1) : 19 + 6 * (r - 7);
        const int y = 20 + 10 * (r - 1);
        for (int k = 0; k < count; ++k, ++n) {
            FCubeCells[static_cast<size_t>(n)].Center = Point(x0 + 2 * FCubeSize.X * k, y);
            FCubeCells[static_cast<size_t>(n)].Color = CubeColors[n - 1];
        }
    }
}

const TExColorCubePanel::TCubeCell* TExColorCubePanel::Cell(int cell) const
{
    return cell >= 1 && cell <= CellCount ? &FCubeCells[static_cast<size_t>(cell)] : nullptr;
}

void TExColorCubePanel::ResetHotCell()
{
    FHotIndex = -1;
    SetPanelSize();
}

void TExColorCubePanel::SetPanelSize()
{
    resize(182, 160);
}

int TExColorCubePanel::FindColor(TColor c) const
{
    for (int i = 1; i <= CellCount; ++i)
        if (FCubeCells[static_cast<size_t>(i)].Color == c)
            return i;
    return -1;
}

void TExColorCubePanel::SetSelectedColor(TColor c)
{
    FSelectedColor = c;
    FSelectedIndex = FindColor(c);
}

void TExColorCubePanel::SelectCell(TColor c, int cell)
{
    FSelectedColor = c;
    FSelectedIndex = (cell >= 1 && cell <= CellCount) ? cell : FindColor(c);
}

void TExColorCubePanel::SetShowRGBHint(bool v)
{
    FShowRGBHint = v;
    setAttribute(Qt::WA_AlwaysShowToolTips, v);
    if (!v)
        SetHint(QString());
}

bool TExColorCubePanel::PtInCell(int cell, const TPoint& p) const
{
    const TCubeCell* c = Cell(cell);
    if (!c)
        return false;
    const long dx = c->Center.X - p.X, dy = c->Center.Y - p.Y;
    return dx * dx + dy * dy <= static_cast<long>(FCubeSize.X) * FCubeSize.X;
}

int TExColorCubePanel::CellAtPos(int x, int y) const
{
    for (int i = 1; i <= CellCount; ++i)
        if (PtInCell(i, Point(x, y)))
            return i;
    return -1;
}

void TExColorCubePanel::DrawHexagon(TCanvas& c, TPoint p, int b, int a)
{
    c.Polygon({Point(p.X - b, p.Y - a), Point(p.X, p.Y - 2 * a), Point(p.X + b, p.Y - a), Point(p.X + b, p.Y + a),
               Point(p.X, p.Y + 2 * a), Point(p.X - b, p.Y + a)});
}

void TExColorCubePanel::DrawCell(TCanvas& c, int cell)
{
    const TCubeCell* cc = Cell(cell);
    if (!cc)
        return;
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Pen().SetColor(cc->Color);
    c.Brush().SetColor(cc->Color);
    DrawHexagon(c, cc->Center, FCubeSize.X, FCubeSize.Y);
    if (cell == FHotIndex)
        DrawHotCell(c, cell);
    if (cell == FSelectedIndex)
        DrawSelectedCell(c, cell);
}

void TExColorCubePanel::DrawHotCell(TCanvas& c, int cell)
{
    const TCubeCell* cc = Cell(cell);
    if (!cc)
        return;
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Pen().SetColor(clRed);
    DrawHexagon(c, cc->Center, 5, 3);
    c.Pen().SetColor(clWhite);
    DrawHexagon(c, cc->Center, 4, 2);
    c.Brush().SetStyle(TBrushStyle::bsSolid);
}

void TExColorCubePanel::DrawSelectedCell(TCanvas& c, int cell)
{
    const TCubeCell* cc = Cell(cell);
    if (!cc)
        return;
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Pen().SetColor(clBlack);
    DrawHexagon(c, cc->Center, 5, 3);
    c.Pen().SetColor(clWhite);
    DrawHexagon(c, cc->Center, 4, 2);
    c.Brush().SetStyle(TBrushStyle::bsSolid);
}

void TExColorCubePanel::RepaintCell(int cell)
{
    if (const TCubeCell* cc = Cell(cell)) {
        const TRect r = CellBounds(cc->Center);
        repaint(r.Left, r.Top, r.Width(), r.Height());
    }
}

void TExColorCubePanel::Paint()
{
    TCanvas& c = Canvas();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(Rect(0, 0, width(), height()));
    for (int i = 1; i <= CellCount; ++i)
        DrawCell(c, i);
}

void TExColorCubePanel::MouseMove(TShiftState shift, int x, int y)
{
    TExCustomColorSelectorPanel::MouseMove(shift, x, y);
    const int cell = CellAtPos(x, y);
    if (cell > 0 && cell != FHotIndex) {
        const int old = FHotIndex;
        FHotIndex = cell;
        RepaintCell(old);
        RepaintCell(cell);
        if (FShowRGBHint) {
            const TColor col = FCubeCells[static_cast<size_t>(cell)].Color;
            SetHint(QStringLiteral("Red: %1,  Green: %2,  Blue: %3")
                        .arg(GetRValue(col))
                        .arg(GetGValue(col))
                        .arg(GetBValue(col)));
            QToolTip::hideText();
        }
    } else if (cell < 0 && FShowRGBHint) {
        SetHint(QString());
        QToolTip::hideText();
    }
}

void TExColorCubePanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TExCustomColorSelectorPanel::MouseDown(button, shift, x, y);
    const int cell = CellAtPos(x, y);
    if (cell < 0)
        return;
    const int old = FSelectedIndex;
    FSelectedIndex = -1;
    RepaintCell(old);
    SelectCell(FCubeCells[static_cast<size_t>(cell)].Color, cell);
    RepaintCell(cell);
    if (OnSelect)
        OnSelect(this);
}

void TExColorCubePanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TExCustomColorSelectorPanel::MouseUp(button, shift, x, y);
    if (FOnShouldHide)
        FOnShouldHide(this);
}

// ---------------------------------------------------------------------------
// Colour spectrum
// ---------------------------------------------------------------------------

QImage SpectrumPicture()
{
    QImage img(128, 128, QImage::Format_RGB32);
    for (int y = 0; y < 128; ++y) {
        // White at the top, the full colours at 64, black at the bottom.
        const double l = y <= 64 ? 1.0 - 0.5 * y / 64.0 : 0.5 * (127 - y) / 63.0;
        for (int x = 0; x < 128; ++x) {
            const double h = std::min(1.0, x / 127.0);
            img.setPixelColor(x, y, QColor::fromHslF(h >= 1.0 ? 0.0 : h, 1.0, l));
        }
    }
    return img;
}

namespace {

// An eyedropper with its tip at (1, 30).
QCursor EyedropperCursor()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(1, 30, 14, 17);
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(2, 30, 15, 17);
    p.setPen(QPen(Qt::black, 4));
    p.drawLine(15, 16, 22, 9);
    p.setBrush(Qt::black);
    p.drawEllipse(QPoint(25, 6), 4, 4);
    p.end();
    return QCursor(pm, 1, 30);
}

} // namespace

TExColorSpectrumPanel::TExColorSpectrumPanel(QWidget* parent)
    : TExCustomColorSelectorPanel(parent), FSpectrumImage(new TImage(this))
{
    FSpectrumImage->SetBounds(0, 0, 128, 128);
    TBitmap bmp;
    bmp.SetImage(SpectrumPicture());
    FSpectrumImage->SetPicture(bmp);
    FSpectrumImage->setMouseTracking(true);
    FSpectrumImage->OnMouseMove = [this](QObject*, TShiftState, int x, int y) { SpectrumMouseMove(x, y); };
    FSpectrumImage->OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int x, int y) {
        SpectrumMouseDown(x, y);
    };
    FSpectrumImage->OnMouseUp = [this](QObject*, TMouseButton, TShiftState, int, int) { SpectrumMouseUp(); };
    FSpectrumImage->setCursor(EyedropperCursor());
    UpdateLayout();
}

void TExColorSpectrumPanel::SetPanelSize()
{
    resize(150, 174);
}

void TExColorSpectrumPanel::UpdateLayout()
{
    SetPanelSize();
    const int W = 128, H = 128;
    const int L = (width() - W) / 2;
    const int T = 10;
    FSpectrumImage->SetBounds(L, T, W, H);
    FSelectedRect = Rect(L - 1, T + H + 8, L + W / 2 - 2, T + H + 28);
    FHotRect = Rect(FSelectedRect.Right + 4, FSelectedRect.Top, L + W + 1, FSelectedRect.Bottom);
    FHotColor = clNone;
    update();
}

void TExColorSpectrumPanel::RepaintRect(const TRect& r)
{
    repaint(r.Left - 1, r.Top - 1, r.Width() + 2, r.Height() + 2);
}

void TExColorSpectrumPanel::SpectrumMouseMove(int x, int y)
{
    const QImage& img = FSpectrumImage->Picture().Image();
    // Only the picture's own pixels are colours to pick.
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height())
        return;
    FHotColor = FromQColor(QColor(img.pixel(x, y)));
    RepaintRect(FHotRect);
}

void TExColorSpectrumPanel::SpectrumMouseDown(int x, int y)
{
    SpectrumMouseMove(x, y);
    FSelectedColor = FHotColor;
    RepaintRect(FSelectedRect);
    if (OnSelect)
        OnSelect(this);
}

void TExColorSpectrumPanel::SpectrumMouseUp()
{
    if (FOnShouldHide)
        FOnShouldHide(this);
}

void TExColorSpectrumPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TExCustomColorSelectorPanel::MouseUp(button, shift, x, y);
    if (FOnShouldHide)
        FOnShouldHide(this);
}

void TExColorSpectrumPanel::DrawSwatch(TCanvas& c, const TRect& r, TColor colour)
{
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Pen().SetColor(0x808080);
    c.Rectangle(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1);
    if (colour != clNone) {
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.Brush().SetColor(colour);
        c.FillRect(r);
    }
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Pen().SetColor(clWhite);
    c.Rectangle(r);
    c.Brush().SetStyle(TBrushStyle::bsSolid);
}

void TExColorSpectrumPanel::Paint()
{
    TCanvas& c = Canvas();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(Rect(0, 0, width(), height()));
    const int L = FSpectrumImage->Left(), T = FSpectrumImage->Top();
    const int W = FSpectrumImage->Width(), H = FSpectrumImage->Height();
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Pen().SetColor(clWhite);
    c.Rectangle(L - 1, T - 1, L + W + 1, T + H + 1);
    c.Pen().SetColor(0x808080);
    c.Rectangle(L - 2, T - 2, L + W + 2, T + H + 2);
    DrawSwatch(c, FSelectedRect, FSelectedColor);
    DrawSwatch(c, FHotRect, FHotColor);
}

// ---------------------------------------------------------------------------
// Colour box selector
// ---------------------------------------------------------------------------

void TColorBoxItem::SetColor(TColor c)
{
    if (c == FColor)
        return;
    FColor = c;
    if (FCollection && FCollection->OnChange)
        FCollection->OnChange();
}

TColorBoxItem* TColorBoxItems::Add()
{
    FItems.push_back(std::make_unique<TColorBoxItem>(this));
    return FItems.back().get();
}

TColorBoxItem* TColorBoxItems::Insert(int index)
{
    if (index < 0 || index > Count())
        return Add();
    return FItems.insert(FItems.begin() + index, std::make_unique<TColorBoxItem>(this))->get();
}

TColorBoxItem* TColorBoxItems::Items(int index) const
{
    return index >= 0 && index < Count() ? FItems[static_cast<size_t>(index)].get() : nullptr;
}

void TColorBoxItems::Assign(const TColorBoxItems& source)
{
    if (&source == this)
        return;
    FItems.clear();
    for (const auto& item : source.FItems) {
        TColorBoxItem* n = Add();
        n->Assign(*item);
        n->SetColorBoxPos(item->ColorBoxPos());
    }
}

namespace {

constexpr TColor ThemeColors[6][10] = {
    {0xFFFFFF, 0x000000, 0xE1ECEE, 0x7D491F, 0xBD814F, 0x4D50C0, 0x59BB9B, 0xA26480, 0xC6AC4B, 0x4696F7},
    {0xF2F2F2, 0x7F7F7F, 0xC3D9DD, 0xDACEC2, 0xF1E5DB, 0xDBDCF2, 0xDDF1EB, 0xECE0E5, 0xF3EEDB, 0xDAEAFD},
    {0xD8D8D8, 0x595959, 0x97BDC4, 0xE2B38D, 0xE4CCB8, 0xB7B9E5, 0xBCE3D7, 0xD9C1CC, 0xE8DDB7, 0xB5D5FB},
    {0xBFBFBF, 0x3F3F3F, 0x538993, 0xD48D54, 0xD7B395, 0x9496D9, 0x9BD6C3, 0xC7A2B2, 0xDCCD92, 0x8FC0FA},
    {0xA5A5A5, 0x262626, 0x294449, 0x5D3617, 0x926036, 0x343795, 0x3C9276, 0x7A495F, 0x9B8531, 0x096CE3},
    {0x7F7F7F, 0x0C0C0C, 0x101B1D, 0x3E240F, 0x614024, 0x232463, 0x28614F, 0x51313F, 0x675820, 0x064897},
};
constexpr TItemPos ThemeRowPos[6] = {ipStandAlone, ipTop, ipMiddle, ipMiddle, ipMiddle, ipBottom};

} // namespace

TCustomColorSelector::TCustomColorSelector(QWidget* parent)
    : TExCustomColorSelectorPanel(parent), FColorBoxAppearance(std::make_unique<TColorBoxAppearance>()),
      FItems(std::make_unique<TColorBoxItems>(this))
{
}

TCustomColorSelector::~TCustomColorSelector() = default;

void TCustomColorSelector::LoadThemeColors()
{
    FItems->Clear();
    FItemIndex = -1;
    FItemHot = -1;
    for (int r = 0; r < 6; ++r)
        for (int k = 0; k < 10; ++k) {
            TColorBoxItem* item = FItems->Add();
            item->SetColor(ThemeColors[r][k]);
            item->SetColorBoxPos(ThemeRowPos[r]);
        }
}

void TCustomColorSelector::SetColumns(int v)
{
    v = std::max(1, v);
    if (v != FColumns) {
        FColumns = v;
        SetPanelSize();
    }
}

void TCustomColorSelector::SetColumnGap(int v)
{
    if (v != FColumnGap) {
        FColumnGap = v;
        SetPanelSize();
    }
}

void TCustomColorSelector::SetColorBoxHeight(int v)
{
    if (v != FColorBoxHeight) {
        FColorBoxHeight = v;
        SetPanelSize();
    }
}

void TCustomColorSelector::SetColorBoxWidth(int v)
{
    if (v != FColorBoxWidth) {
        FColorBoxWidth = v;
        SetPanelSize();
    }
}

void TCustomColorSelector::SetItemColorStyle(TSelectionColorStyle s)
{
    if (s == FItemColorStyle)
        return;
    FItemColorStyle = s;
    if (s != scCustom)
        FColorBoxAppearance->Assign(TColorBoxAppearance());
}

void TCustomColorSelector::SetItemIndex(int i)
{
    if (i >= FItems->Count() || (i >= 0 && !FItems->Items(i)->Enabled()))
        return;
    if (i < 0)
        i = -1;
    if (FItemIndex >= 0 && i != FItemIndex) {
        const int old = FItemIndex;
        FItemIndex = -1;
        InvalidateColorBox(old);
    }
    FItemIndex = i;
    if (i < 0)
        return;
    FSelectedColor = FItems->Items(i)->Color();
    RepaintColorBox(i);
    if (OnItemSelect)
        OnItemSelect(this);
}

void TCustomColorSelector::SetItemHot(int i)
{
    if (i >= FItems->Count() || (i >= 0 && !FItems->Items(i)->Enabled()))
        return;
    if (i < 0)
        i = -1;
    if (FItemHot >= 0 && i != FItemHot) {
        const int old = FItemHot;
        FItemHot = -1;
        InvalidateColorBox(old);
    }
    FItemHot = i;
    if (i >= 0)
        RepaintColorBox(i);
}

void TCustomColorSelector::SetSelectedColor(TColor c)
{
    if (c == FSelectedColor)
        return;
    FSelectedColor = c;
    SetItemIndex(-1);
    if (c == clNone)
        return;
    for (int i = 0; i < FItems->Count(); ++i)
        if (FItems->Items(i)->Color() == c) {
            SetItemIndex(i);
            return;
        }
}

void TCustomColorSelector::SelectFirst()
{
    if (FItems->Count() > 0)
        SetItemIndex(0);
}

void TCustomColorSelector::SelectLast()
{
    if (FItems->Count() > 0)
        SetItemIndex(FItems->Count() - 1);
}

void TCustomColorSelector::SelectNext()
{
    if (FItemIndex + 1 < FItems->Count())
        SetItemIndex(FItemIndex + 1);
}

void TCustomColorSelector::SelectPrevious()
{
    if (FItemIndex - 1 >= 0)
        SetItemIndex(FItemIndex - 1);
}

void TCustomColorSelector::HotNext()
{
    if (FItemHot + 1 < FItems->Count())
        SetItemHot(FItemHot + 1);
}

void TCustomColorSelector::HotPrevious()
{
    if (FItemHot - 1 >= 0)
        SetItemHot(FItemHot - 1);
}

void TCustomColorSelector::HandleKey(int key, bool editorEnabled, bool droppedDown)
{
    if (!isEnabled() || key < VK_PRIOR || key > VK_DOWN)
        return;
    const bool idle = !droppedDown && editorEnabled;
    const int count = FItems->Count();
    auto moveBy = [&](int delta) {
        const int target = FItemIndex < 0 ? 0 : FItemIndex + delta;
        if (target >= 0 && target < count)
            SetItemIndex(target);
    };
    switch (key) {
    case VK_PRIOR:
    case VK_HOME:
        SelectFirst();
        break;
    case VK_NEXT:
    case VK_END:
        SelectLast();
        break;
    case VK_LEFT:
        if (!idle)
            SelectPrevious();
        break;
    case VK_RIGHT:
        if (!idle)
            SelectNext();
        break;
    case VK_UP:
        if (!droppedDown)
            SelectPrevious();
        else
            moveBy(-FColumns);
        break;
    case VK_DOWN:
        if (!droppedDown)
            SelectNext();
        else
            moveBy(FColumns);
        break;
    default:
        break;
    }
}

int TCustomColorSelector::ColorBoxAtPos(int x, int y) const
{
    for (int i = 0; i < FItems->Count(); ++i)
        if (PtInRect(FItems->Items(i)->Rect(), Point(x, y)))
            return i;
    return -1;
}

void TCustomColorSelector::GetColorBoxRect(int index, TRect& r) const
{
    r = ValidIndex(index) ? FItems->Items(index)->Rect() : Rect(-1, -1, -1, -1);
}

void TCustomColorSelector::GetInnerRect(TRect& r)
{
    r = Rect(FOffSetX, FOffSetY, width() - FOffSetX, height() - FOffSetY);
}

void TCustomColorSelector::GetColorBoxSize(int& w, int& h)
{
    w = FColorBoxWidth;
    h = FColorBoxHeight;
}

void TCustomColorSelector::SetPanelSize()
{
    if (FItems->Count() == 0) {
        resize(100, 50);
        return;
    }
    FItemHot = -1;
    int w = 0, h = 0;
    GetColorBoxSize(w, h);
    TRect inner;
    GetInnerRect(inner);
    int x = inner.Left, y = inner.Top, c = 0, m = 0;
    bool g = false;
    const int last = FItems->Count() - 1;
    for (int i = 0; i <= last; ++i) {
        TColorBoxItem* item = FItems->Items(i);
        item->SetRect(Rect(x, y, x + w, y + h));
        ++c;
        if (i == last)
            break;
        if (item->ColorBoxPos() == ipStandAlone)
            g = true;
        if (c < FColumns) {
            x += w + FColumnGap;
        } else {
            m = std::max(m, x);
            x = inner.Left;
            y += h + (g ? FColumnGap : 0);
            c = 0;
            g = false;
        }
    }
    resize(std::max(m, x) + w + inner.Left + 1, y + h + inner.Top);
}

void TCustomColorSelector::InvalidateColorBox(int index)
{
    if (!ValidIndex(index))
        return;
    const TRect r = FItems->Items(index)->Rect();
    // The frame lines reach one pixel past the exclusive right and bottom.
    update(r.Left, r.Top, r.Width() + 2, r.Height() + 2);
}

void TCustomColorSelector::RepaintColorBox(int index)
{
    if (!ValidIndex(index))
        return;
    const TRect r = FItems->Items(index)->Rect();
    if (r.Left < 0 && r.Right < 0)
        return;
    repaint(r.Left, r.Top, r.Width() + 2, r.Height() + 2);
}

void TCustomColorSelector::DrawColorBox(int index, TCanvas* canvas)
{
    if (!ValidIndex(index) || !canvas)
        return;
    const TColorBoxItem* item = FItems->Items(index);
    TRect r = item->Rect();
    if (r.Left < 0 && r.Right < 0)
        return;
    TCanvas& c = *canvas;
    const TColorBoxAppearance& a = *FColorBoxAppearance;
    TColor outer = a.BorderColor(), inner = clNone;
    bool framed = false;
    if (index == FItemHot) {
        outer = a.OuterBorderColorHot();
        inner = a.InnerBorderColorHot();
        framed = true;
    }
    if (index == FItemIndex) {
        outer = a.OuterBorderColorSelected();
        inner = a.InnerBorderColorSelected();
        framed = true;
    }
    if (item->Color() != clNone) {
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.Brush().SetColor(item->Color());
        c.Pen().SetColor(item->Color());
        c.Rectangle(r);
    }
    if (framed) {
        c.Brush().SetStyle(TBrushStyle::bsClear);
        if (outer != clNone) {
            c.Pen().SetColor(outer);
            c.Rectangle(r);
            InflateRect(r, -1, -1);
        }
        if (inner != clNone) {
            c.Pen().SetColor(inner);
            c.Rectangle(r);
        }
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        return;
    }
    c.Pen().SetColor(a.BorderColor());
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    switch (item->ColorBoxPos()) {
    case ipStandAlone:
        c.Polyline({Point(L, B), Point(L, T), Point(R, T), Point(R, B), Point(L, B)});
        break;
    case ipTop:
        c.Polyline({Point(L, B), Point(L, T), Point(R, T), Point(R, B)});
        break;
    case ipMiddle:
        c.MoveTo(L, T);
        c.LineTo(L, B);
        c.MoveTo(R, T);
        c.LineTo(R, B);
        break;
    case ipBottom:
        c.Polyline({Point(L, T), Point(L, B), Point(R, B)});
        c.MoveTo(R, T);
        c.LineTo(R, B + 1);
        break;
    }
}

void TCustomColorSelector::DrawColorBoxes(TCanvas& c)
{
    for (int i = 0; i < FItems->Count(); ++i)
        DrawColorBox(i, &c);
}

void TCustomColorSelector::Paint()
{
    TCanvas& c = Canvas();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(Rect(0, 0, width(), height()));
    DrawColorBoxes(c);
}

void TCustomColorSelector::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TExCustomColorSelectorPanel::MouseDown(button, shift, x, y);
    const int i = ColorBoxAtPos(x, y);
    if (i >= 0 && FItems->Items(i)->Enabled())
        SetItemIndex(i);
}

void TCustomColorSelector::MouseMove(TShiftState shift, int x, int y)
{
    TExCustomColorSelectorPanel::MouseMove(shift, x, y);
    const int i = ColorBoxAtPos(x, y);
    if (i < 0) {
        if (FItemHot >= 0)
            SetItemHot(-1);
    } else if (i != FItemHot) {
        SetItemHot(FItems->Items(i)->Enabled() ? i : -1);
    }
}

void TCustomColorSelector::MouseLeave()
{
    TExCustomColorSelectorPanel::MouseLeave();
    SetItemHot(-1);
}
