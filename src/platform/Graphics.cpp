#include "platform/Graphics.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

namespace {

// The desktop's default colours, as red, green, blue, by system colour number.
constexpr int kSystemColors[][3] = {
    {200, 200, 200}, {0, 0, 0},       {153, 180, 209}, {191, 205, 219}, {240, 240, 240}, {255, 255, 255},
    {100, 100, 100}, {0, 0, 0},       {0, 0, 0},       {0, 0, 0},       {180, 180, 180}, {244, 247, 252},
    {171, 171, 171}, {51, 153, 255},  {255, 255, 255}, {240, 240, 240}, {160, 160, 160}, {109, 109, 109},
    {0, 0, 0},       {67, 78, 84},    {255, 255, 255}, {105, 105, 105}, {227, 227, 227}, {0, 0, 0},
    {255, 255, 225}, {0, 0, 0},       {0, 102, 204},   {185, 209, 234}, {215, 228, 242}, {51, 153, 255},
    {240, 240, 240},
};

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long p = static_cast<long long>(a) * b;
    const long long half = std::llabs(c) / 2;
    const long long q = (p >= 0) == (c > 0) ? (std::llabs(p) + half) / std::llabs(c) : -((std::llabs(p) + half) / std::llabs(c));
    return static_cast<int>(q);
}

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

TRect FromQRect(const QRect& r) { return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

// On-off runs of the cosmetic pen styles, in pixels.
std::vector<int> DashPattern(TPenStyle style)
{
    switch (style) {
    case psDash: return {18, 6};
    case psDot: return {3, 3};
    case psDashDot: return {9, 6, 3, 6};
    case psDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

Qt::BrushStyle QtBrushStyle(TBrushStyle s)
{
    switch (s) {
    case bsSolid: return Qt::SolidPattern;
    case bsClear: return Qt::NoBrush;
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::BDiagPattern;
    case bsBDiagonal: return Qt::FDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
    }
    return Qt::SolidPattern;
}

// A line of DrawText after prefix handling.
struct TextLine
{
    QString text;
    int underline = -1;  // index of the character marked by "&"
};

TextLine StripPrefix(const QString& s, bool prefix)
{
    TextLine line;
    if (!prefix) {
        line.text = s;
        return line;
    }
    line.text.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('&') && i + 1 < s.size()) {
            ++i;
            if (s[i] != QLatin1Char('&') && line.underline < 0)
                line.underline = static_cast<int>(line.text.size());
        }
        line.text.append(s[i]);
    }
    return line;
}

class TextMeasure
{
public:
    TextMeasure(const QFont& f, bool expandTabs) : fm_(f), tabs_(expandTabs), tabWidth_(std::max(1, fm_.averageCharWidth() * 8)) {}
    int Width(const QString& s) const
    {
        if (!tabs_ || !s.contains(QLatin1Char('\t')))
            return fm_.horizontalAdvance(s);
        int x = 0;
        const QStringList parts = s.split(QLatin1Char('\t'));
        for (int i = 0; i < parts.size(); ++i) {
            x += fm_.horizontalAdvance(parts[i]);
            if (i + 1 < parts.size())
                x = (x / tabWidth_ + 1) * tabWidth_;
        }
        return x;
    }
    int TabWidth() const { return tabWidth_; }
    const QFontMetrics& Metrics() const { return fm_; }

private:
    QFontMetrics fm_;
    bool tabs_;
    int tabWidth_;
};

// Greedy word breaking at blanks; a word wider than the line stays whole.
std::vector<TextLine> BreakWords(const TextLine& para, int width, const TextMeasure& m)
{
    std::vector<TextLine> out;
    const QString& t = para.text;
    int start = 0;
    while (start <= t.size()) {
        if (start == t.size()) {
            if (out.empty())
                out.push_back(TextLine{});
            break;
        }
        int end = start;       // end of the longest fitting piece
        int next = start;      // where the next line begins
        int pos = start;
        bool any = false;
        while (pos < t.size()) {
            int wordEnd = pos;
            while (wordEnd < t.size() && t[wordEnd] != QLatin1Char(' '))
                ++wordEnd;
            const int w = m.Width(t.mid(start, wordEnd - start));
            if (any && w > width)
                break;
            end = wordEnd;
            any = true;
            int after = wordEnd;
            while (after < t.size() && t[after] == QLatin1Char(' '))
                ++after;
            next = after;
            pos = after;
            if (w > width)
                break;
        }
        TextLine line;
        line.text = t.mid(start, end - start);
        if (para.underline >= start && para.underline < end)
            line.underline = para.underline - start;
        out.push_back(line);
        if (next >= t.size())
            break;
        start = next;
    }
    return out;
}

} // namespace

TColor ColorToRGB(TColor color)
{
    if (color == clNone || color == clDefault)
        return color;
    if ((color & 0xFF000000u) == 0xFF000000u) {
        const unsigned index = color & 0xFFu;
        if (index < std::size(kSystemColors))
            return RGB(kSystemColors[index][0], kSystemColors[index][1], kSystemColors[index][2]);
        return clBlack;
    }
    return color & 0x00FFFFFFu;
}

QColor ToQColor(TColor color)
{
    if (color == clNone || color == clDefault)
        return QColor(Qt::transparent);
    const TColor c = ColorToRGB(color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor FromQColor(const QColor& color)
{
    if (color.alpha() == 0)
        return clNone;
    return RGB(color.red(), color.green(), color.blue());
}

bool PtInRect(const TRect& r, const TPoint& p)
{
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

bool IsRectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

void InflateRect(TRect& r, int dx, int dy)
{
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
}

void OffsetRect(TRect& r, int dx, int dy)
{
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}

bool IntersectRect(TRect& result, const TRect& a, const TRect& b)
{
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
    if (IsRectEmpty(r)) {
        result = TRect{};
        return false;
    }
    result = r;
    return true;
}

bool UnionRect(TRect& result, const TRect& a, const TRect& b)
{
    if (IsRectEmpty(a))
        result = b;
    else if (IsRectEmpty(b))
        result = a;
    else
        result = TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
    if (IsRectEmpty(result)) {
        result = TRect{};
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- TFont

TFont::TFont() : name_(QStringLiteral("Tahoma")), height_(-11) {}

TFont::TFont(const TFont& other)
    : name_(other.name_), height_(other.height_), style_(other.style_), color_(other.color_), orientation_(other.orientation_)
{
}

TFont& TFont::operator=(const TFont& other)
{
    Assign(other);
    return *this;
}

int TFont::Size() const { return -MulDiv(height_, 72, PixelsPerInch); }

void TFont::SetSize(int points)
{
    height_ = -MulDiv(points, PixelsPerInch, 72);
    Changed();
}

void TFont::Assign(const TFont& other)
{
    if (this == &other)
        return;
    name_ = other.name_;
    height_ = other.height_;
    style_ = other.style_;
    color_ = other.color_;
    orientation_ = other.orientation_;
    Changed();
}

bool TFont::SameAs(const TFont& o) const
{
    return name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && color_ == o.color_ && orientation_ == o.orientation_;
}

QFont TFont::ToQFont() const
{
    QFont f(name_);
    int px = 11;
    if (height_ < 0)
        px = -height_;
    else if (height_ > 0)
        px = std::max(1, height_ * 13 / 16);  // a cell height holds some internal leading
    f.setPixelSize(px);
    f.setBold((style_ & fsBold) != 0);
    f.setItalic((style_ & fsItalic) != 0);
    f.setUnderline((style_ & fsUnderline) != 0);
    f.setStrikeOut((style_ & fsStrikeOut) != 0);
    return f;
}

void TFont::SetFromQFont(const QFont& f)
{
    name_ = f.family();
    if (f.pixelSize() > 0)
        height_ = -f.pixelSize();
    else if (f.pointSizeF() > 0)
        height_ = -MulDiv(static_cast<int>(std::lround(f.pointSizeF())), PixelsPerInch, 72);
    style_ = (f.bold() ? fsBold : 0) | (f.italic() ? fsItalic : 0) | (f.underline() ? fsUnderline : 0) |
             (f.strikeOut() ? fsStrikeOut : 0);
    Changed();
}

// ---------------------------------------------------------------- TRegion

TRegion::TRegion() : region_(std::make_unique<QRegion>()) {}
TRegion::TRegion(const TRect& r) : region_(std::make_unique<QRegion>(ToQRect(r))) {}
TRegion::TRegion(const QRegion& r) : region_(std::make_unique<QRegion>(r)) {}
TRegion::TRegion(const TRegion& other) : region_(std::make_unique<QRegion>(*other.region_)) {}
TRegion& TRegion::operator=(const TRegion& other)
{
    *region_ = *other.region_;
    return *this;
}
TRegion::~TRegion() = default;

TRegion TRegion::Elliptic(const TRect& r) { return TRegion(QRegion(ToQRect(r), QRegion::Ellipse)); }
TRegion TRegion::United(const TRegion& o) const { return TRegion(region_->united(*o.region_)); }
TRegion TRegion::Intersected(const TRegion& o) const { return TRegion(region_->intersected(*o.region_)); }
TRegion TRegion::Subtracted(const TRegion& o) const { return TRegion(region_->subtracted(*o.region_)); }
TRegion TRegion::Xored(const TRegion& o) const { return TRegion(region_->xored(*o.region_)); }
bool TRegion::Contains(const TPoint& p) const { return region_->contains(QPoint(p.X, p.Y)); }
bool TRegion::IsEmpty() const { return region_->isEmpty(); }
TRect TRegion::BoundingRect() const { return FromQRect(region_->boundingRect()); }

// ---------------------------------------------------------------- TCanvas

TCanvas::TCanvas() : clip_(std::make_unique<QRegion>()) {}

TCanvas::~TCanvas() { Unbind(); }

void TCanvas::BindPainter(QPainter* painter, int width, int height)
{
    Unbind();
    painter_ = painter;
    width_ = width;
    height_ = height;
}

void TCanvas::BindImage(QImage* image)
{
    Unbind();
    image_ = image;
    width_ = image ? image->width() : 0;
    height_ = image ? image->height() : 0;
}

void TCanvas::Unbind()
{
    ownPainter_.reset();
    painter_ = nullptr;
    image_ = nullptr;
    width_ = height_ = 0;
}

void TCanvas::Flush()
{
    if (ownPainter_) {
        ownPainter_->end();
        ownPainter_.reset();
    }
    if (image_) {
        width_ = image_->width();
        height_ = image_->height();
    }
}

QPainter* TCanvas::Painter()
{
    if (painter_)
        return painter_;
    if (!image_ || image_->isNull())
        return nullptr;
    if (!ownPainter_)
        ownPainter_ = std::make_unique<QPainter>(image_);
    return ownPainter_.get();
}

void TCanvas::ApplyClip(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.resetTransform();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (hasClip_)
        p.setClipRegion(*clip_);
    else
        p.setClipping(false);
}

bool TCanvas::PenVisible() const { return pen_.Style() != psClear && pen_.Color() != clNone; }

void TCanvas::PreparePen(QPainter& p)
{
    switch (pen_.Mode()) {
    case pmCopy: p.setCompositionMode(QPainter::CompositionMode_SourceOver); break;
    case pmXor: p.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case pmNot: p.setCompositionMode(QPainter::RasterOp_NotDestination); break;
    }
}

void TCanvas::PrepareFill(QPainter& p)
{
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::FillQRect(int x, int y, int w, int h, const QColor& c)
{
    if (w <= 0 || h <= 0)
        return;
    if (QPainter* p = Painter())
        p->fillRect(QRect(x, y, w, h), c);
}

void TCanvas::PlotLine(int x0, int y0, int x1, int y1, bool lastPixel, int& patternPos)
{
    QPainter* p = Painter();
    if (!p)
        return;
    const QColor c = ToQColor(pen_.Color());
    const std::vector<int> pattern = DashPattern(pen_.Style());
    int period = 0;
    for (int v : pattern)
        period += v;
    auto on = [&](int pos) {
        if (pattern.empty())
            return true;
        int k = pos % period;
        for (size_t i = 0; i < pattern.size(); ++i) {
            if (k < pattern[i])
                return i % 2 == 0;
            k -= pattern[i];
        }
        return true;
    };
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    // Straight solid lines as one fill.
    if (pattern.empty() && (dx == 0 || dy == 0)) {
        int len = std::max(dx, -dy) + (lastPixel ? 1 : 0);
        if (len <= 0)
            return;
        if (dy == 0)
            p->fillRect(QRect(sx > 0 ? x0 : x0 - len + 1, y0, len, 1), c);
        else
            p->fillRect(QRect(x0, sy > 0 ? y0 : y0 - len + 1, 1, len), c);
        return;
    }
    QPolygon pts;
    int err = dx + dy, x = x0, y = y0;
    for (;;) {
        const bool last = x == x1 && y == y1;
        if (last && !lastPixel)
            break;
        if (on(patternPos))
            pts << QPoint(x, y);
        ++patternPos;
        if (last)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    for (const QPoint& pt : pts)
        p->fillRect(QRect(pt, QSize(1, 1)), c);
}

void TCanvas::LineTo(int x, int y)
{
    QPainter* p = Painter();
    if (p && PenVisible()) {
        ApplyClip(*p);
        PreparePen(*p);
        if (pen_.Width() <= 1) {
            int pos = 0;
            PlotLine(penPos_.X, penPos_.Y, x, y, false, pos);
        } else {
            QPen pen(ToQColor(pen_.Color()), pen_.Width(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            p->setPen(pen);
            p->drawLine(QPointF(penPos_.X + 0.5, penPos_.Y + 0.5), QPointF(x + 0.5, y + 0.5));
        }
    }
    penPos_ = TPoint{x, y};
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    if (points.empty())
        return;
    const TPoint saved = penPos_;
    penPos_ = points.front();
    for (size_t i = 1; i < points.size(); ++i)
        LineTo(points[i].X, points[i].Y);
    penPos_ = saved;
}

void TCanvas::FillRect(const TRect& r)
{
    QPainter* p = Painter();
    if (!p || brush_.Style() == bsClear || IsRectEmpty(r))
        return;
    ApplyClip(*p);
    PrepareFill(*p);
    if (brush_.Style() == bsSolid)
        p->fillRect(ToQRect(r), ToQColor(brush_.Color()));
    else
        p->fillRect(ToQRect(r), QBrush(ToQColor(brush_.Color()), QtBrushStyle(brush_.Style())));
}

void TCanvas::FrameRect(const TRect& r)
{
    QPainter* p = Painter();
    if (!p || IsRectEmpty(r))
        return;
    ApplyClip(*p);
    const QColor c = ToQColor(brush_.Color());
    FillQRect(r.Left, r.Top, r.Width(), 1, c);
    FillQRect(r.Left, r.Bottom - 1, r.Width(), 1, c);
    FillQRect(r.Left, r.Top, 1, r.Height(), c);
    FillQRect(r.Right - 1, r.Top, 1, r.Height(), c);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    QPainter* p = Painter();
    if (!p)
        return;
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    ApplyClip(*p);
    const bool pen = PenVisible();
    if (brush_.Style() != bsClear) {
        PrepareFill(*p);
        TRect inner = pen ? TRect{left + 1, top + 1, right - 1, bottom - 1} : TRect{left, top, right - 1, bottom - 1};
        if (!IsRectEmpty(inner)) {
            if (brush_.Style() == bsSolid)
                p->fillRect(ToQRect(inner), ToQColor(brush_.Color()));
            else
                p->fillRect(ToQRect(inner), QBrush(ToQColor(brush_.Color()), QtBrushStyle(brush_.Style())));
        }
    }
    if (!pen || right - left < 1 || bottom - top < 1)
        return;
    PreparePen(*p);
    const int w = pen_.Width();
    if (w <= 1 || pen_.Style() != psSolid) {
        if (pen_.Style() == psSolid || pen_.Style() == psInsideFrame || w > 1) {
            const QColor c = ToQColor(pen_.Color());
            const int t = pen_.Style() == psInsideFrame ? std::min(w, std::min(right - left, bottom - top)) : 1;
            FillQRect(left, top, right - left, t, c);
            FillQRect(left, bottom - t, right - left, t, c);
            FillQRect(left, top + t, t, bottom - top - 2 * t, c);
            FillQRect(right - t, top + t, t, bottom - top - 2 * t, c);
        } else {
            int pos = 0;
            PlotLine(left, top, right - 1, top, false, pos);
            PlotLine(right - 1, top, right - 1, bottom - 1, false, pos);
            PlotLine(right - 1, bottom - 1, left, bottom - 1, false, pos);
            PlotLine(left, bottom - 1, left, top, false, pos);
        }
        return;
    }
    // A wide pen is centred on the one-pixel outline.
    const QColor c = ToQColor(pen_.Color());
    const int before = (w - 1) / 2, after = w / 2;
    const int l = left - before, t = top - before, r = right - 1 + after + 1, b = bottom - 1 + after + 1;
    FillQRect(l, t, r - l, w, c);
    FillQRect(l, b - w, r - l, w, c);
    FillQRect(l, t + w, w, b - t - 2 * w, c);
    FillQRect(r - w, t + w, w, b - t - 2 * w, c);
}

namespace {

// Qt draws an outline of a w x h path over w + 1 x h + 1 pixels, and fills a
// shape of w x h over about w x h pixels.
template <class Draw>
void ShapeWithPenAndBrush(TCanvas& canvas, QPainter& p, int left, int top, int right, int bottom, bool pen, const TBrush& brush,
                          const TPen& penDef, Draw draw)
{
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    const QRectF box(left, top, right - left - 1, bottom - top - 1);
    if (box.width() < 0 || box.height() < 0)
        return;
    if (brush.Style() != bsClear) {
        p.setPen(Qt::NoPen);
        p.setBrush(QBrush(ToQColor(brush.Color()), QtBrushStyle(brush.Style())));
        // Filled pixels are those whose centres lie inside, so without a pen
        // the shape ends a pixel earlier, as the rectangle does.
        draw(box);
    }
    if (pen) {
        QPen qpen(ToQColor(penDef.Color()));
        qpen.setWidth(penDef.Width() <= 1 ? 0 : penDef.Width());
        qpen.setCosmetic(penDef.Width() <= 1);
        switch (penDef.Style()) {
        case psDash: qpen.setStyle(Qt::DashLine); break;
        case psDot: qpen.setStyle(Qt::DotLine); break;
        case psDashDot: qpen.setStyle(Qt::DashDotLine); break;
        case psDashDotDot: qpen.setStyle(Qt::DashDotDotLine); break;
        default: break;
        }
        p.setPen(qpen);
        p.setBrush(Qt::NoBrush);
        draw(box);
    }
    (void)canvas;
}

} // namespace

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    QPainter* p = Painter();
    if (!p)
        return;
    ApplyClip(*p);
    const double rx = std::max(0, cornerWidth) / 2.0, ry = std::max(0, cornerHeight) / 2.0;
    ShapeWithPenAndBrush(*this, *p, left, top, right, bottom, PenVisible(), brush_, pen_, [&](const QRectF& r) {
        const double ex = std::min(rx, r.width() / 2), ey = std::min(ry, r.height() / 2);
        if (ex <= 0 || ey <= 0)
            p->drawRect(r);
        else
            p->drawRoundedRect(r, ex, ey, Qt::AbsoluteSize);
    });
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    QPainter* p = Painter();
    if (!p)
        return;
    ApplyClip(*p);
    ShapeWithPenAndBrush(*this, *p, left, top, right, bottom, PenVisible(), brush_, pen_,
                         [&](const QRectF& r) { p->drawEllipse(r); });
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    QPainter* p = Painter();
    if (!p || points.size() < 2)
        return;
    ApplyClip(*p);
    QPolygon poly;
    for (const TPoint& pt : points)
        poly << QPoint(pt.X, pt.Y);
    if (brush_.Style() != bsClear) {
        QPolygonF shifted;
        for (const TPoint& pt : points)
            shifted << QPointF(pt.X + 0.5, pt.Y + 0.5);
        p->setPen(Qt::NoPen);
        p->setBrush(QBrush(ToQColor(brush_.Color()), QtBrushStyle(brush_.Style())));
        p->drawPolygon(shifted, Qt::OddEvenFill);
    }
    if (PenVisible()) {
        PreparePen(*p);
        if (pen_.Width() <= 1) {
            int pos = 0;
            for (size_t i = 0; i < points.size(); ++i) {
                const TPoint& a = points[i];
                const TPoint& b = points[(i + 1) % points.size()];
                PlotLine(a.X, a.Y, b.X, b.Y, false, pos);
            }
        } else {
            p->setPen(QPen(ToQColor(pen_.Color()), pen_.Width(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p->setBrush(Qt::NoBrush);
            p->drawPolygon(poly);
        }
    }
}

void TCanvas::FloodFill(int x, int y, TColor color, FillStyle style)
{
    if (!image_ || x < 0 || y < 0 || x >= image_->width() || y >= image_->height())
        return;
    Flush();
    const QRgb target = ToQColor(color).rgb() | 0xFF000000u;
    const QRgb fill = ToQColor(brush_.Color()).rgb() | 0xFF000000u;
    auto inside = [&](int px, int py) {
        const QRgb v = image_->pixel(px, py) | 0xFF000000u;
        return style == FillStyle::Border ? v != target && v != fill : v == target && v != fill;
    };
    if (!inside(x, y))
        return;
    std::vector<QPoint> stack{QPoint(x, y)};
    const QRegion clip = hasClip_ ? *clip_ : QRegion(0, 0, image_->width(), image_->height());
    while (!stack.empty()) {
        const QPoint pt = stack.back();
        stack.pop_back();
        if (pt.x() < 0 || pt.y() < 0 || pt.x() >= image_->width() || pt.y() >= image_->height())
            continue;
        if (!inside(pt.x(), pt.y()) || !clip.contains(pt))
            continue;
        image_->setPixel(pt, fill);
        stack.push_back(pt + QPoint(1, 0));
        stack.push_back(pt + QPoint(-1, 0));
        stack.push_back(pt + QPoint(0, 1));
        stack.push_back(pt + QPoint(0, -1));
    }
}

TColor TCanvas::Pixel(int x, int y) const
{
    if (!image_ || x < 0 || y < 0 || x >= image_->width() || y >= image_->height())
        return clNone;
    const_cast<TCanvas*>(this)->Flush();
    return FromQColor(QColor(image_->pixel(x, y) | 0xFF000000u));
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    QPainter* p = Painter();
    if (!p || color == clNone)
        return;
    ApplyClip(*p);
    FillQRect(x, y, 1, 1, ToQColor(color));
}

void TCanvas::DrawTextLine(QPainter& p, int x, int y, const QString& text, int underlineIndex)
{
    const QFont f = font_.ToQFont();
    const QFontMetrics fm(f);
    p.setFont(f);
    p.setPen(ToQColor(font_.Color()));
    p.drawText(QPoint(x, y + fm.ascent()), text);
    if (underlineIndex >= 0 && underlineIndex < text.size()) {
        const int ux = x + fm.horizontalAdvance(text.left(underlineIndex));
        const int uw = fm.horizontalAdvance(text.mid(underlineIndex, 1));
        p.fillRect(QRect(ux, y + fm.ascent() + std::max(1, fm.underlinePos()), uw, std::max(1, fm.lineWidth())),
                   ToQColor(font_.Color()));
    }
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    QPainter* p = Painter();
    if (!p)
        return;
    ApplyClip(*p);
    const QFontMetrics fm(font_.ToQFont());
    const int w = fm.horizontalAdvance(text);
    if (font_.Orientation() != 0) {
        p->translate(x, y);
        p->rotate(-font_.Orientation() / 10.0);
        x = y = 0;
    }
    if (brush_.Style() != bsClear && brush_.Color() != clNone)
        p->fillRect(QRect(x, y, w, fm.height()), ToQColor(brush_.Color()));
    DrawTextLine(*p, x, y, text, -1);
    p->resetTransform();
    penPos_ = TPoint{penPos_.X, penPos_.Y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, const QString& text)
{
    QPainter* p = Painter();
    if (!p)
        return;
    ApplyClip(*p);
    QRegion clip(ToQRect(r));
    if (hasClip_)
        clip = clip.intersected(*clip_);
    p->setClipRegion(clip);
    if (brush_.Style() != bsClear && brush_.Color() != clNone)
        p->fillRect(ToQRect(r), ToQColor(brush_.Color()));
    DrawTextLine(*p, x, y, text, -1);
}

TSize TCanvas::TextExtent(const QString& text)
{
    const QFontMetrics fm(font_.ToQFont());
    return TSize{fm.horizontalAdvance(text), fm.height()};
}

int TCanvas::DrawText(const QString& source, TRect& r, unsigned format)
{
    const QFont f = font_.ToQFont();
    const TextMeasure m(f, (format & DT_EXPANDTABS) != 0);
    const QFontMetrics& fm = m.Metrics();
    const int lineHeight = fm.height() + ((format & DT_EXTERNALLEADING) ? fm.leading() : 0);
    const bool single = (format & DT_SINGLELINE) != 0;
    const bool prefix = (format & DT_NOPREFIX) == 0;

    // Paragraphs, then lines.
    QString text = source;
    std::vector<TextLine> lines;
    if (single) {
        text.replace(QLatin1String("\r\n"), QLatin1String(" "));
        text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines.push_back(StripPrefix(text, prefix));
    } else {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        const QStringList paras = text.split(QLatin1Char('\n'));
        for (const QString& para : paras) {
            const TextLine stripped = StripPrefix(para, prefix);
            if (format & DT_WORDBREAK) {
                for (TextLine& l : BreakWords(stripped, r.Width(), m))
                    lines.push_back(std::move(l));
            } else {
                lines.push_back(stripped);
            }
        }
    }
    if (source.isEmpty())
        lines.clear();

    if (format & DT_END_ELLIPSIS) {
        const QString dots = QStringLiteral("...");
        for (TextLine& l : lines) {
            if (m.Width(l.text) <= r.Width())
                continue;
            while (!l.text.isEmpty() && m.Width(l.text + dots) > r.Width())
                l.text.chop(1);
            if (l.underline >= l.text.size())
                l.underline = -1;
            l.text += dots;
        }
    }

    int maxWidth = 0;
    for (const TextLine& l : lines)
        maxWidth = std::max(maxWidth, m.Width(l.text));
    const int totalHeight = static_cast<int>(lines.size()) * lineHeight;

    int top = r.Top;
    if (single && (format & DT_VCENTER))
        top = r.Top + (r.Height() - lineHeight) / 2;
    else if (single && (format & DT_BOTTOM))
        top = r.Bottom - lineHeight;
    const int result = (single && (format & (DT_VCENTER | DT_BOTTOM))) ? top - r.Top + totalHeight : totalHeight;

    if (format & DT_CALCRECT) {
        r.Right = r.Left + maxWidth;
        r.Bottom = r.Top + totalHeight;
        return totalHeight;
    }

    QPainter* p = Painter();
    if (!p)
        return result;
    ApplyClip(*p);
    if ((format & DT_NOCLIP) == 0) {
        QRegion clip(ToQRect(r));
        if (hasClip_)
            clip = clip.intersected(*clip_);
        p->setClipRegion(clip);
    }
    int y = top;
    for (const TextLine& l : lines) {
        const int w = m.Width(l.text);
        int x = r.Left;
        if (format & DT_CENTER)
            x = r.Left + (r.Width() - w) / 2;
        else if (format & DT_RIGHT)
            x = r.Right - w;
        if (brush_.Style() != bsClear && brush_.Color() != clNone)
            p->fillRect(QRect(x, y, w, lineHeight), ToQColor(brush_.Color()));
        if ((format & DT_EXPANDTABS) && l.text.contains(QLatin1Char('\t'))) {
            const QStringList parts = l.text.split(QLatin1Char('\t'));
            int cx = 0, offset = 0;
            for (int i = 0; i < parts.size(); ++i) {
                const int u = l.underline - offset;
                DrawTextLine(*p, x + cx, y, parts[i], u >= 0 && u < parts[i].size() ? u : -1);
                cx += fm.horizontalAdvance(parts[i]);
                offset += static_cast<int>(parts[i].size()) + 1;
                if (i + 1 < parts.size())
                    cx = (cx / m.TabWidth() + 1) * m.TabWidth();
            }
        } else {
            DrawTextLine(*p, x, y, l.text, l.underline);
        }
        y += lineHeight;
    }
    return result;
}

void TCanvas::DrawFocusRect(const TRect& r)
{
    QPainter* p = Painter();
    if (!p || IsRectEmpty(r))
        return;
    ApplyClip(*p);
    p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QColor white(Qt::white);
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            p->fillRect(QRect(x, y, 1, 1), white);
    };
    for (int x = r.Left; x < r.Right; ++x) {
        dot(x, r.Top);
        if (r.Bottom - 1 > r.Top)
            dot(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        dot(r.Left, y);
        if (r.Right - 1 > r.Left)
            dot(r.Right - 1, y);
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    QImage img = bitmap.DrawableImage();
    QPainter* p = Painter();
    if (!p)
        return;
    ApplyClip(*p);
    p->drawImage(QPoint(x, y), img);
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap)
{
    if (bitmap.Empty() || IsRectEmpty(dest))
        return;
    QImage img = bitmap.DrawableImage();
    QPainter* p = Painter();
    if (!p)
        return;
    ApplyClip(*p);
    p->drawImage(ToQRect(dest), img);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect)
{
    if (!source.image_ || IsRectEmpty(dest) || IsRectEmpty(sourceRect))
        return;
    source.Flush();
    const QImage src = source.image_->copy(ToQRect(sourceRect));
    QPainter* p = Painter();
    if (!p)
        return;
    ApplyClip(*p);
    p->drawImage(ToQRect(dest), src);
}

void TCanvas::BrushCopy(const TRect& dest, const TBitmap& bitmap, const TRect& source, TColor color)
{
    if (bitmap.Empty() || IsRectEmpty(dest))
        return;
    QImage src = bitmap.Image().copy(ToQRect(source)).convertToFormat(QImage::Format_RGB32);
    const QRgb from = ToQColor(color).rgb();
    const QRgb to = ToQColor(brush_.Color()).rgb();
    for (int yy = 0; yy < src.height(); ++yy) {
        QRgb* line = reinterpret_cast<QRgb*>(src.scanLine(yy));
        for (int xx = 0; xx < src.width(); ++xx)
            if ((line[xx] | 0xFF000000u) == (from | 0xFF000000u))
                line[xx] = to;
    }
    QPainter* p = Painter();
    if (!p)
        return;
    ApplyClip(*p);
    p->drawImage(ToQRect(dest), src);
}

TRect TCanvas::ClipRect() const
{
    if (hasClip_)
        return FromQRect(clip_->boundingRect());
    return TRect{0, 0, width_, height_};
}

void TCanvas::SetClipRect(const TRect& r)
{
    *clip_ = QRegion(ToQRect(r));
    hasClip_ = true;
}

void TCanvas::SetClipRegion(const TRegion& region)
{
    *clip_ = region.ToQRegion();
    hasClip_ = true;
}

void TCanvas::IntersectClipRect(const TRect& r)
{
    if (!hasClip_)
        *clip_ = QRegion(0, 0, width_, height_);
    *clip_ = clip_->intersected(ToQRect(r));
    hasClip_ = true;
}

void TCanvas::ExcludeClipRect(const TRect& r)
{
    if (!hasClip_)
        *clip_ = QRegion(0, 0, width_, height_);
    *clip_ = clip_->subtracted(ToQRect(r));
    hasClip_ = true;
}

void TCanvas::RemoveClip()
{
    hasClip_ = false;
    *clip_ = QRegion();
}

TRegion TCanvas::ClipRegion() const
{
    if (hasClip_)
        return TRegion(*clip_);
    return TRegion(TRect{0, 0, width_, height_});
}

// ---------------------------------------------------------------- TBitmap

TBitmap::TBitmap() : image_(std::make_unique<QImage>()) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::TBitmap(const TBitmap& other) : TBitmap() { Assign(other); }

TBitmap& TBitmap::operator=(const TBitmap& other)
{
    Assign(other);
    return *this;
}

TBitmap::~TBitmap()
{
    canvas_.reset();
}

int TBitmap::Width() const { return image_->width(); }
int TBitmap::Height() const { return image_->height(); }
void TBitmap::SetWidth(int w) { SetSize(w, Height()); }
void TBitmap::SetHeight(int h) { SetSize(Width(), h); }

void TBitmap::SetSize(int w, int h)
{
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == Width() && h == Height())
        return;
    if (canvas_)
        canvas_->Flush();
    QImage next;
    if (w > 0 && h > 0) {
        next = QImage(w, h, QImage::Format_RGB32);
        next.fill(Qt::white);
        if (!image_->isNull()) {
            QPainter p(&next);
            p.drawImage(0, 0, *image_);
        }
    }
    *image_ = next;
    if (canvas_)
        canvas_->BindImage(image_.get());
}

TCanvas& TBitmap::Canvas()
{
    if (!canvas_) {
        canvas_ = std::make_unique<TCanvas>();
        canvas_->BindImage(image_.get());
    }
    return *canvas_;
}

TColor TBitmap::TransparentColor() const
{
    if (fixedTransparentColor_)
        return transparentColor_;
    if (image_->isNull())
        return clNone;
    if (canvas_)
        canvas_->Flush();
    return FromQColor(QColor(image_->pixel(0, image_->height() - 1) | 0xFF000000u));
}

void TBitmap::Assign(const TBitmap& other)
{
    if (this == &other)
        return;
    if (canvas_)
        canvas_->Flush();
    if (other.canvas_)
        other.canvas_->Flush();
    *image_ = other.image_->copy();
    transparent_ = other.transparent_;
    fixedTransparentColor_ = other.fixedTransparentColor_;
    transparentColor_ = other.transparentColor_;
    if (canvas_)
        canvas_->BindImage(image_.get());
}

bool TBitmap::LoadFromFile(const QString& path, QString* error)
{
    QImage loaded;
    if (!loaded.load(path)) {
        if (error)
            *error = QStringLiteral("Cannot load the picture \"%1\".").arg(path);
        return false;
    }
    SetImage(loaded);
    return true;
}

bool TBitmap::SaveToFile(const QString& path) const
{
    return Image().save(path);
}

const QImage& TBitmap::Image() const
{
    if (canvas_)
        canvas_->Flush();
    return *image_;
}

void TBitmap::SetImage(const QImage& image)
{
    if (canvas_)
        canvas_->Flush();
    *image_ = image.convertToFormat(QImage::Format_RGB32);
    if (canvas_)
        canvas_->BindImage(image_.get());
}

QImage TBitmap::DrawableImage() const
{
    const QImage& img = Image();
    if (!transparent_)
        return img.copy();
    QImage out = img.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ToQColor(TransparentColor()).rgb() | 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
    }
    return out;
}

// ---------------------------------------------------------------- TImageList

TImageList::TImageList(int width, int height) : width_(std::max(1, width)), height_(std::max(1, height)) {}

TImageList::~TImageList() = default;

int TImageList::Count() const { return static_cast<int>(images_.size()); }

void TImageList::SetSize(int width, int height)
{
    width_ = std::max(1, width);
    height_ = std::max(1, height);
    images_.clear();
}

int TImageList::Add(const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return -1;
    const QImage src = bitmap.DrawableImage().convertToFormat(QImage::Format_ARGB32);
    const int first = Count();
    const int n = std::max(1, src.width() / width_);
    for (int i = 0; i < n; ++i) {
        QImage piece(width_, height_, QImage::Format_ARGB32);
        piece.fill(Qt::transparent);
        QPainter p(&piece);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, src.copy(i * width_, 0, width_, height_));
        p.end();
        images_.push_back(piece);
    }
    return first;
}

int TImageList::AddMasked(const TBitmap& bitmap, TColor maskColor)
{
    TBitmap copy(bitmap);
    copy.SetTransparent(true);
    copy.SetTransparentColor(maskColor);
    return Add(copy);
}

void TImageList::Delete(int index)
{
    if (index >= 0 && index < Count())
        images_.erase(images_.begin() + index);
}

void TImageList::Clear() { images_.clear(); }

const QImage* TImageList::ImageAt(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return &images_[static_cast<size_t>(index)];
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const
{
    const QImage* img = ImageAt(index);
    QPainter* p = canvas.Painter();
    if (!img || !p)
        return;
    p->save();
    p->resetTransform();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (canvas.HasClip())
        p->setClipRegion(canvas.ClipRegion().ToQRegion());
    else
        p->setClipping(false);
    if (enabled) {
        p->drawImage(QPoint(x, y), *img);
    } else {
        QImage grey = img->copy();
        for (int yy = 0; yy < grey.height(); ++yy) {
            QRgb* line = reinterpret_cast<QRgb*>(grey.scanLine(yy));
            for (int xx = 0; xx < grey.width(); ++xx) {
                const int v = 128 + qGray(line[xx]) / 2;
                line[xx] = qRgba(v, v, v, qAlpha(line[xx]));
            }
        }
        p->drawImage(QPoint(x, y), grey);
    }
    p->restore();
}

bool TImageList::GetBitmap(int index, TBitmap& bitmap, TColor background) const
{
    const QImage* img = ImageAt(index);
    if (!img)
        return false;
    QImage out(width_, height_, QImage::Format_RGB32);
    out.fill(ToQColor(background));
    QPainter p(&out);
    p.drawImage(0, 0, *img);
    p.end();
    bitmap.SetImage(out);
    return true;
}

} // namespace platform
