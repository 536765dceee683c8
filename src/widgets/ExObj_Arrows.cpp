// The move arrows, the focus window and the alpha mask with its rounded
// rectangle and blur.
#include "widgets/ExObj.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <vector>

using namespace platform;

// ---------------------------------------------------------------------------
// TArrowWindow
// ---------------------------------------------------------------------------

namespace {

QPolygon ArrowOutline(TArrowDirection dir)
{
    switch (dir) {
    case arrUp: return QPolygon({{5, 0}, {10, 5}, {7, 5}, {7, 9}, {3, 9}, {3, 5}, {0, 5}});
    case arrDown: return QPolygon({{3, 0}, {7, 0}, {7, 4}, {9, 4}, {5, 8}, {1, 4}, {3, 4}});
    case arrLeft: return QPolygon({{0, 3}, {0, 7}, {4, 7}, {4, 10}, {8, 5}, {4, 0}, {4, 3}});
    case arrRight: return QPolygon({{0, 5}, {4, 10}, {4, 7}, {8, 7}, {8, 3}, {4, 3}, {4, 0}});
    }
    return QPolygon();
}

// Every pixel on or inside the outline (winding fill), as the window region
// of the arrow.
QRegion OutlineRegion(const QPolygon& outline)
{
    const QRect box = outline.boundingRect();
    QImage img(box.right() + 1, box.bottom() + 1, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::black, 0));
        p.setBrush(Qt::black);
        p.drawPolygon(outline, Qt::WindingFill);
    }
    QRegion region;
    for (int y = 0; y < img.height(); ++y) {
        int x = 0;
        while (x < img.width()) {
            while (x < img.width() && qAlpha(img.pixel(x, y)) == 0)
                ++x;
            const int start = x;
            while (x < img.width() && qAlpha(img.pixel(x, y)) != 0)
                ++x;
            if (x > start)
                region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

} // namespace

TArrowWindow::TArrowWindow(QWidget* owner, TArrowDirection dir)
    : TPanel(owner ? owner->window() : nullptr), FDir(dir), FArrow(ArrowOutline(dir))
{
    setObjectName(QStringLiteral("ArrowWindow"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    SetBevelOuter(bvNone);
    const QRect box = FArrow.boundingRect();
    resize(box.right() + 1, box.bottom() + 1);
    setMask(ArrowRegion());
    TArrowWindow::SetColor(clLime);
    hide();
}

QRegion TArrowWindow::ArrowRegion() const { return OutlineRegion(FArrow); }

void TArrowWindow::ShowAtScreen(const TPoint& topLeft)
{
    QWidget* parent = parentWidget();
    const QPoint at = parent ? parent->mapFromGlobal(QPoint(topLeft.X, topLeft.Y)) : QPoint(topLeft.X, topLeft.Y);
    move(at);
    show();
    raise();
}

void TArrowWindow::SetColor(TColor c)
{
    TPanel::SetColor(c);
    update();
}

void TArrowWindow::Paint()
{
    TCanvas& c = Canvas();
    c.Pen().SetColor(Color());
    c.Brush().SetColor(Color());
    c.Brush().SetStyle(bsSolid);
    c.FillRect(ClientRect());
}

// ---------------------------------------------------------------------------
// TGridFocusWindow
// ---------------------------------------------------------------------------

TGridFocusWindow::TGridFocusWindow(QWidget* owner) : TCustomControl(owner ? owner->window() : nullptr)
{
    setObjectName(QStringLiteral("GridFocusWindow"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setEnabled(false);
    resize(0, 0);
    SetColor(clRed);
    hide();
}

// ---------------------------------------------------------------------------
// TGridAlphaMask
// ---------------------------------------------------------------------------

TGridAlphaMask::TGridAlphaMask() : FImage(0, 0, QImage::Format_ARGB32_Premultiplied) {}

void TGridAlphaMask::Assign(const TGridAlphaMask& source)
{
    FOpacity = source.FOpacity;
    FImage = source.FImage.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void TGridAlphaMask::Assign(const QImage& source)
{
    FImage = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void TGridAlphaMask::MergeMask(const QImage& mask, const QImage& bitmap, TColor)
{
    if (bitmap.format() != QImage::Format_RGB888)
        return;
    // A smaller mask would leave pixels without an alpha.
    if (mask.width() < bitmap.width() || mask.height() < bitmap.height())
        return;
    const QImage m = mask.format() == QImage::Format_RGB888 ? mask : mask.convertToFormat(QImage::Format_RGB888);
    QImage out(bitmap.width(), bitmap.height(), QImage::Format_ARGB32_Premultiplied);
    auto mul = [](int channel, int alpha) { return static_cast<int>(std::lround(channel * alpha / 255.0)); };
    for (int y = 0; y < bitmap.height(); ++y) {
        const uchar* src = bitmap.constScanLine(y);
        const uchar* ms = m.constScanLine(y);
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x) {
            const int a = ms[3 * x]; // red
            dst[x] = qRgba(mul(src[3 * x], a), mul(src[3 * x + 1], a), mul(src[3 * x + 2], a), a);
        }
    }
    FImage = out;
}

// ---------------------------------------------------------------------------
// Rounded-rectangle mask and blur
// ---------------------------------------------------------------------------

void MakeRoundRectMask(QImage& bitmap, int width, int height, int penWidth, int cornerSize, double radius)
{
    bitmap = QImage(std::max(0, width), std::max(0, height), QImage::Format_RGB888);
    if (bitmap.isNull())
        return;
    bitmap.fill(Qt::black);
    const int p = penWidth / 2;
    // The rectangle's right and bottom edges lie outside it, as the corners say.
    const int left = p + 2, top = p + 2, right = width - p - 2, bottom = height - p - 2;
    if (right - left >= 1 && bottom - top >= 1) {
        QPainter painter(&bitmap);
        painter.setRenderHint(QPainter::Antialiasing, false);
        const double r = std::max(0, cornerSize) / 2.0;
        if (penWidth < 1) {
            painter.setPen(QPen(Qt::white, 1));
            painter.setBrush(Qt::white);
            painter.drawRoundedRect(QRectF(left, top, right - left - 1, bottom - top - 1), r, r);
        } else {
            QPen pen(Qt::white, penWidth);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(QRectF(left, top, right - left - 1, bottom - top - 1), r, r);
        }
    }
    if (radius > 0)
        BlurBitmap(bitmap, radius);
}

namespace {

constexpr int MaxKernel = 10;

struct Kernel
{
    int Half = MaxKernel;
    std::array<double, 2 * MaxKernel + 1> W{}; // W[k + MaxKernel]
};

Kernel MakeKernel(double radius)
{
    Kernel k;
    double sum = 0;
    for (int i = -MaxKernel; i <= MaxKernel; ++i) {
        const double t = i / radius;
        k.W[static_cast<size_t>(i + MaxKernel)] = std::exp(-t * t / 2);
        sum += k.W[static_cast<size_t>(i + MaxKernel)];
    }
    for (double& w : k.W)
        w /= sum;
    // Outer taps that together weigh less than half a grey step go.
    double dropped = 0;
    while (k.Half > 1) {
        const double next = dropped + k.W[static_cast<size_t>(MaxKernel + k.Half)] +
                            k.W[static_cast<size_t>(MaxKernel - k.Half)];
        if (next >= 1.0 / 510)
            break;
        dropped = next;
        --k.Half;
    }
    sum = 0;
    for (int i = -k.Half; i <= k.Half; ++i)
        sum += k.W[static_cast<size_t>(i + MaxKernel)];
    for (int i = -k.Half; i <= k.Half; ++i)
        k.W[static_cast<size_t>(i + MaxKernel)] /= sum;
    return k;
}

// One line of pixels (3 bytes each, `stride` bytes apart), blurred in place.
void BlurLine(uchar* first, int count, int stride, const Kernel& k, std::vector<uchar>& tmp)
{
    tmp.resize(static_cast<size_t>(count) * 3);
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c)
            tmp[static_cast<size_t>(i * 3 + c)] = first[static_cast<ptrdiff_t>(i) * stride + c];
    for (int i = 0; i < count; ++i) {
        double acc[3] = {0, 0, 0};
        for (int j = -k.Half; j <= k.Half; ++j) {
            const int at = std::clamp(i + j, 0, count - 1);
            const double w = k.W[static_cast<size_t>(j + MaxKernel)];
            for (int c = 0; c < 3; ++c)
                acc[c] += w * tmp[static_cast<size_t>(at * 3 + c)];
        }
        for (int c = 0; c < 3; ++c)
            first[static_cast<ptrdiff_t>(i) * stride + c] =
                static_cast<uchar>(std::clamp(static_cast<int>(std::lround(acc[c])), 0, 255));
    }
}

} // namespace

void BlurBitmap(QImage& bitmap, double radius)
{
    if (bitmap.format() != QImage::Format_RGB888)
        throw std::runtime_error("Blur only works for 24-bit bitmaps");
    if (!(radius > 0) || bitmap.isNull())
        return;
    const Kernel k = MakeKernel(radius);
    const int w = bitmap.width(), h = bitmap.height();
    constexpr int Edge = 20, Source = 15;
    std::vector<uchar> tmp;
    // Rows: those far from both edges are the same as row 15 for the shapes
    // this is used for.
    for (int y = 0; y < h; ++y) {
        uchar* row = bitmap.scanLine(y);
        if (y > Edge && h - 1 - y > Edge)
            std::copy_n(bitmap.constScanLine(Source), static_cast<size_t>(w) * 3, row);
        else
            BlurLine(row, w, 3, k, tmp);
    }
    const int stride = static_cast<int>(bitmap.bytesPerLine());
    uchar* base = bitmap.bits();
    for (int x = 0; x < w; ++x) {
        if (x > Edge && w - 1 - x > Edge)
            continue;
        BlurLine(base + static_cast<ptrdiff_t>(x) * 3, h, stride, k, tmp);
    }
    if (w > 2 * Edge + 1) {
        for (int y = 0; y < h; ++y) {
            uchar* row = bitmap.scanLine(y);
            for (int x = Edge + 1; x < w - 1 - Edge; ++x)
                std::copy_n(row + Source * 3, 3, row + static_cast<ptrdiff_t>(x) * 3);
        }
    }
}
