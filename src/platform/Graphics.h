#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QColor;
class QFont;
class QImage;
class QPaintDevice;
class QPainter;
class QRegion;

namespace platform {

// Colours as the system stores them: 0x00BBGGRR; 0xFF0000nn is system colour
// nn, resolved from a fixed table; clNone means "no colour".
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor SystemColor(int index) { return 0xFF000000u | static_cast<TColor>(index); }
constexpr TColor clScrollBar = SystemColor(0), clBackground = SystemColor(1),
                 clActiveCaption = SystemColor(2), clInactiveCaption = SystemColor(3), clMenu = SystemColor(4),
                 clWindow = SystemColor(5), clWindowFrame = SystemColor(6), clMenuText = SystemColor(7),
                 clWindowText = SystemColor(8), clCaptionText = SystemColor(9), clActiveBorder = SystemColor(10),
                 clInactiveBorder = SystemColor(11), clAppWorkSpace = SystemColor(12),
                 clHighlight = SystemColor(13), clHighlightText = SystemColor(14), clBtnFace = SystemColor(15),
                 clBtnShadow = SystemColor(16), clGrayText = SystemColor(17), clBtnText = SystemColor(18),
                 clInactiveCaptionText = SystemColor(19), clBtnHighlight = SystemColor(20),
                 cl3DDkShadow = SystemColor(21), cl3DLight = SystemColor(22), clInfoText = SystemColor(23),
                 clInfoBk = SystemColor(24), clHotLight = SystemColor(26),
                 clGradientActiveCaption = SystemColor(27), clGradientInactiveCaption = SystemColor(28),
                 clMenuHighlight = SystemColor(29), clMenuBar = SystemColor(30);

constexpr TColor RGB(int r, int g, int b)
{
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }

// A system colour becomes its RGB value; clNone and clDefault stay as they are;
// other colours lose their top byte.
TColor ColorToRGB(TColor color);
// clNone (and clDefault) become fully transparent.
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

struct TPoint
{
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize
{
    int cx = 0;
    int cy = 0;
    bool operator==(const TSize&) const = default;
};

// Right and bottom are exclusive, as everywhere on the platform.
struct TRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

inline TPoint Point(int x, int y) { return TPoint{x, y}; }
inline TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) { return TRect{left, top, left + width, top + height}; }
bool PtInRect(const TRect& r, const TPoint& p);
bool IsRectEmpty(const TRect& r);
void InflateRect(TRect& r, int dx, int dy);
void OffsetRect(TRect& r, int dx, int dy);
// False (and an empty result) when the two do not overlap.
bool IntersectRect(TRect& result, const TRect& a, const TRect& b);
bool UnionRect(TRect& result, const TRect& a, const TRect& b);

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode { pmCopy, pmXor, pmNot };
enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
using enum TPenStyle;
using enum TPenMode;
using enum TBrushStyle;

using TFontStyles = unsigned;
constexpr TFontStyles fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;

class TPen
{
public:
    TColor Color() const { return color_; }
    void SetColor(TColor c) { color_ = c; }
    int Width() const { return width_; }
    void SetWidth(int w) { width_ = w < 1 ? 1 : w; }
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle s) { style_ = s; }
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode m) { mode_ = m; }

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

class TBrush
{
public:
    TColor Color() const { return color_; }
    // Setting a colour makes a clear brush solid again, as the platform does.
    void SetColor(TColor c)
    {
        color_ = c;
        if (style_ == bsClear)
            style_ = bsSolid;
    }
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle s) { style_ = s; }

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};

// Screen resolution the layer works at: font sizes in points convert at 96 dpi.
constexpr int PixelsPerInch = 96;

class TFont
{
public:
    TFont();
    QString Name() const { return name_; }
    void SetName(const QString& n) { name_ = n; Changed(); }
    // Size in points; Height in pixels, negative for the character height
    // without internal leading (the usual way it is stored).
    int Size() const;
    void SetSize(int points);
    int Height() const { return height_; }
    void SetHeight(int h) { height_ = h; Changed(); }
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles s) { style_ = s; Changed(); }
    TColor Color() const { return color_; }
    void SetColor(TColor c) { color_ = c; Changed(); }
    // Escapement in tenths of a degree, counter-clockwise.
    int Orientation() const { return orientation_; }
    void SetOrientation(int tenths) { orientation_ = tenths; Changed(); }
    // Copies every attribute (not the change handler) and reports one change.
    void Assign(const TFont& other);
    bool SameAs(const TFont& other) const;

    QFont ToQFont() const;
    // Takes name, size and style from a Qt font (colour and rotation stay).
    void SetFromQFont(const QFont& f);

    // Run after every change; controls repaint from here.
    std::function<void()> OnChange;

    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

private:
    void Changed()
    {
        if (OnChange)
            OnChange();
    }
    QString name_;
    int height_;
    TFontStyles style_ = 0;
    TColor color_ = clWindowText;
    int orientation_ = 0;
};

// A clipping or hit-test area made of rectangles.
class TRegion
{
public:
    TRegion();
    explicit TRegion(const TRect& r);
    TRegion(const TRegion& other);
    TRegion& operator=(const TRegion& other);
    ~TRegion();
    static TRegion Elliptic(const TRect& r);
    TRegion United(const TRegion& other) const;
    TRegion Intersected(const TRegion& other) const;
    TRegion Subtracted(const TRegion& other) const;
    TRegion Xored(const TRegion& other) const;
    bool Contains(const TPoint& p) const;
    bool IsEmpty() const;
    TRect BoundingRect() const;
    const QRegion& ToQRegion() const { return *region_; }
    explicit TRegion(const QRegion& r);

private:
    std::unique_ptr<QRegion> region_;
};

// DrawText formats.
constexpr unsigned DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
                   DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
                   DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
                   DT_EDITCONTROL = 0x2000, DT_END_ELLIPSIS = 0x8000, DT_HIDEPREFIX = 0x100000;

class TBitmap;
class TImageList;

// Drawing surface with the platform's semantics: integer pixel coordinates,
// right and bottom edges exclusive, lines without their end point, no
// antialiasing. Pen, brush and font are read at each drawing call.
class TCanvas
{
public:
    TCanvas();
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen& Pen() { return pen_; }
    TBrush& Brush() { return brush_; }
    TFont& Font() { return font_; }
    void SetFont(const TFont& f) { font_.Assign(f); }

    TPoint PenPos() const { return penPos_; }
    void SetPenPos(const TPoint& p) { penPos_ = p; }
    void MoveTo(int x, int y) { penPos_ = TPoint{x, y}; }
    // Draws from the pen position to x, y without that last pixel.
    void LineTo(int x, int y);
    // Joined lines through the points, every point drawn but the last.
    void Polyline(const std::vector<TPoint>& points);

    void FillRect(const TRect& r);
    // One-pixel frame in the brush colour.
    void FrameRect(const TRect& r);
    // Outline in the pen, inside in the brush. Without a pen the filled area
    // is one pixel smaller on the right and at the bottom.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Polygon(const std::vector<TPoint>& points);
    // Fills the area of colour `color` (surface), or bounded by it (border),
    // around x, y with the brush. Only on bitmap canvases.
    enum class FillStyle { Border, Surface };
    void FloodFill(int x, int y, TColor color, FillStyle style);

    // Reads are possible on bitmap canvases only; elsewhere they give clNone.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Text at x, y (top-left of the text cell), the background filled with
    // the brush unless it is clear. The font's orientation rotates it about x, y.
    void TextOut(int x, int y, const QString& text);
    // Like TextOut, clipped to r, with r filled by the brush first.
    void TextRect(const TRect& r, int x, int y, const QString& text);
    TSize TextExtent(const QString& text);
    int TextWidth(const QString& text) { return TextExtent(text).cx; }
    int TextHeight(const QString& text) { return TextExtent(text).cy; }
    // The platform's formatted text. Returns the text height (or, with
    // DT_VCENTER or DT_BOTTOM, the offset from r.Top to the text's bottom);
    // DT_CALCRECT only measures and widens or narrows r to the text.
    int DrawText(const QString& text, TRect& r, unsigned format);

    // Dotted rectangle inverted onto the surface; a second call removes it.
    void DrawFocusRect(const TRect& r);

    void Draw(int x, int y, const TBitmap& bitmap);
    void StretchDraw(const TRect& dest, const TBitmap& bitmap);
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
    // Copies part of a bitmap with one colour of it replaced by the brush colour.
    void BrushCopy(const TRect& dest, const TBitmap& bitmap, const TRect& source, TColor color);

    // Clipping. Everything drawn afterwards stays inside the clip.
    bool HasClip() const { return hasClip_; }
    TRect ClipRect() const;
    void SetClipRect(const TRect& r);
    void SetClipRegion(const TRegion& region);
    void IntersectClipRect(const TRect& r);
    void ExcludeClipRect(const TRect& r);
    void RemoveClip();
    TRegion ClipRegion() const;

    // The surface under the canvas, when it has one.
    void BindPainter(QPainter* painter, int width, int height);
    void BindImage(QImage* image);
    void Unbind();
    // Ends a painter opened on an image, so the image may be read or resized.
    void Flush();
    bool IsBound() const { return painter_ != nullptr || image_ != nullptr; }
    int SurfaceWidth() const { return width_; }
    int SurfaceHeight() const { return height_; }
    QPainter* Painter();

private:
    void FillQRect(int x, int y, int w, int h, const QColor& c);
    void PlotLine(int x0, int y0, int x1, int y1, bool lastPixel, int& patternPos);
    void ApplyClip(QPainter& p);
    void PrepareFill(QPainter& p);
    void PreparePen(QPainter& p);
    bool PenVisible() const;
    void DrawTextLine(QPainter& p, int x, int y, const QString& text, int underlineIndex);

    TPen pen_;
    TBrush brush_;
    TFont font_;
    TPoint penPos_;
    bool hasClip_ = false;
    std::unique_ptr<QRegion> clip_;
    QPainter* painter_ = nullptr;
    std::unique_ptr<QPainter> ownPainter_;
    QImage* image_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// An off-screen picture with its own canvas. Transparent bitmaps leave out the
// pixels of their transparent colour when drawn; that colour is, unless set,
// the bottom-left pixel.
class TBitmap
{
public:
    TBitmap();
    TBitmap(int width, int height);
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    ~TBitmap();

    int Width() const;
    int Height() const;
    void SetWidth(int w);
    void SetHeight(int h);
    // The new area is white, as on the platform; old pixels are kept.
    void SetSize(int w, int h);
    bool Empty() const { return Width() == 0 || Height() == 0; }
    TCanvas& Canvas();

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool t) { transparent_ = t; }
    // Automatic: the bottom-left pixel. Setting a colour fixes it.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor c)
    {
        transparentColor_ = c;
        fixedTransparentColor_ = true;
    }
    void SetAutomaticTransparentColor() { fixedTransparentColor_ = false; }

    void Assign(const TBitmap& other);
    bool LoadFromFile(const QString& path, QString* error = nullptr);
    bool SaveToFile(const QString& path) const;
    // The pixels as they are now (RGB32).
    const QImage& Image() const;
    void SetImage(const QImage& image);
    // The pixels with the transparent colour made see-through when Transparent.
    QImage DrawableImage() const;

private:
    mutable std::unique_ptr<QImage> image_;
    mutable std::unique_ptr<TCanvas> canvas_;
    bool transparent_ = false;
    bool fixedTransparentColor_ = false;
    TColor transparentColor_ = clNone;
};

// Equal-sized pictures addressed by index. A QObject so that whoever keeps
// a reference hears when the list goes (destroyed).
class TImageList : public QObject
{
public:
    TImageList(int width = 16, int height = 16);
    ~TImageList();
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changing the size empties the list.
    void SetSize(int width, int height);
    int Count() const;
    // Adds a strip: every Width-wide piece is one picture. Returns the first
    // new index, -1 when the strip is empty.
    int Add(const TBitmap& bitmap);
    // The same with `maskColor` see-through.
    int AddMasked(const TBitmap& bitmap, TColor maskColor);
    void Delete(int index);
    void Clear();
    // Nothing for an index outside the list. Disabled pictures are drawn grey.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    // The picture on a background of `background`; false outside the list.
    bool GetBitmap(int index, TBitmap& bitmap, TColor background = clBtnFace) const;
    const QImage* ImageAt(int index) const;

private:
    int width_;
    int height_;
    std::vector<QImage> images_;
};

} // namespace platform
