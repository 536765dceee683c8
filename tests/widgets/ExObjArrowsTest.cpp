#include "widgets/ExObj.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace platform;

// ---------------------------------------------------------------------------
// Arrow windows
// ---------------------------------------------------------------------------

struct ArrowCase
{
    TArrowDirection dir;
    QRect box;
    std::vector<QPoint> inside;
    std::vector<QPoint> outside;
};

TEST(ArrowWindow, RegionCoversTheOutlineOfEachDirection)
{
    const ArrowCase cases[] = {
        // Pointing up: tip at the top, stem 3..7 wide below the head.
        {arrUp, QRect(0, 0, 11, 10), {{5, 0}, {0, 5}, {10, 5}, {3, 9}, {7, 9}, {5, 7}},
         {{0, 0}, {10, 0}, {0, 9}, {10, 9}, {2, 9}, {8, 9}, {5, 10}}},
        // Pointing down: stem at the top, tip at (5, 8).
        {arrDown, QRect(1, 0, 9, 9), {{3, 0}, {7, 0}, {5, 8}, {1, 4}, {9, 4}},
         {{0, 4}, {2, 0}, {8, 0}, {1, 8}, {9, 8}}},
        // arrLeft points right, arrRight points left.
        {arrLeft, QRect(0, 0, 9, 11), {{8, 5}, {0, 3}, {0, 7}, {4, 0}, {4, 10}},
         {{0, 0}, {0, 10}, {8, 0}, {8, 10}, {0, 2}}},
        {arrRight, QRect(0, 0, 9, 11), {{0, 5}, {8, 3}, {8, 7}, {4, 0}, {4, 10}},
         {{0, 0}, {0, 10}, {8, 0}, {8, 10}, {8, 2}}},
    };
    for (const ArrowCase& c : cases) {
        TArrowWindow arrow(nullptr, c.dir);
        const QRegion region = arrow.ArrowRegion();
        EXPECT_EQ(region.boundingRect(), c.box) << static_cast<int>(c.dir);
        EXPECT_EQ(arrow.Arrow().size(), 7);
        for (const QPoint& p : c.inside)
            EXPECT_TRUE(region.contains(p)) << static_cast<int>(c.dir) << " " << p.x() << "," << p.y();
        for (const QPoint& p : c.outside)
            EXPECT_FALSE(region.contains(p)) << static_cast<int>(c.dir) << " " << p.x() << "," << p.y();
        EXPECT_EQ(arrow.mask(), region);
    }
}

TEST(ArrowWindow, IsAHiddenLimeChildOfTheOwnersWindow)
{
    QWidget form;
    form.resize(200, 150);
    auto* inner = new QWidget(&form);
    inner->setGeometry(20, 20, 100, 80);
    form.show();
    TArrowWindow arrow(inner, arrDown);
    EXPECT_EQ(arrow.parentWidget(), &form);
    EXPECT_FALSE(arrow.isWindow());
    EXPECT_FALSE(arrow.isVisible());
    EXPECT_EQ(arrow.Dir(), arrDown);
    EXPECT_EQ(arrow.Color(), 0x00FF00u);

    const QPoint screen = form.mapToGlobal(QPoint(40, 30));
    arrow.ShowAtScreen(Point(screen.x(), screen.y()));
    EXPECT_TRUE(arrow.isVisible());
    EXPECT_EQ(arrow.pos(), QPoint(40, 30));
    arrow.SetColor(clRed);
    EXPECT_EQ(arrow.Color(), clRed);
}

TEST(GridFocusWindow, StartsEmptyRedAndDisabled)
{
    QWidget form;
    TGridFocusWindow w(&form);
    EXPECT_EQ(w.size(), QSize(0, 0));
    EXPECT_EQ(w.Color(), clRed);
    EXPECT_FALSE(w.isEnabled());
    EXPECT_EQ(w.focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(w.parentWidget(), &form);
}

// ---------------------------------------------------------------------------
// Alpha mask
// ---------------------------------------------------------------------------

namespace {

QImage Filled(int w, int h, QImage::Format f, QColor c)
{
    QImage img(w, h, f);
    img.fill(c);
    return img;
}

struct Rgba
{
    int r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

Rgba RawAt(const QImage& img, int x, int y)
{
    const QRgb p = reinterpret_cast<const QRgb*>(img.constScanLine(y))[x];
    return {qRed(p), qGreen(p), qBlue(p), qAlpha(p)};
}

} // namespace

TEST(GridAlphaMask, MergeMaskTakesAlphaFromTheMasksRedAndPremultiplies)
{
    const QImage bitmap = Filled(4, 1, QImage::Format_RGB888, QColor(200, 100, 50));
    QImage mask(4, 1, QImage::Format_RGB888);
    mask.setPixelColor(0, 0, QColor(255, 255, 255));
    mask.setPixelColor(1, 0, QColor(0, 0, 0));
    mask.setPixelColor(2, 0, QColor(128, 128, 128));
    mask.setPixelColor(3, 0, QColor(64, 255, 255)); // only red counts
    for (TColor color : {clBlack, clRed}) {
        TGridAlphaMask m;
        m.MergeMask(mask, bitmap, color);
        ASSERT_EQ(m.Image().size(), QSize(4, 1));
        EXPECT_EQ(m.Image().format(), QImage::Format_ARGB32_Premultiplied);
        EXPECT_EQ(RawAt(m.Image(), 0, 0), (Rgba{200, 100, 50, 255}));
        EXPECT_EQ(RawAt(m.Image(), 1, 0), (Rgba{0, 0, 0, 0}));
        EXPECT_EQ(RawAt(m.Image(), 2, 0), (Rgba{100, 50, 25, 128}));
        EXPECT_EQ(RawAt(m.Image(), 3, 0), (Rgba{50, 25, 13, 64}));
    }
}

TEST(GridAlphaMask, MergeMaskIgnoresOtherSourcesAndTooSmallMasks)
{
    const QImage before = Filled(3, 3, QImage::Format_RGB888, QColor(1, 2, 3));
    struct Case
    {
        const char* name;
        QImage mask, bitmap;
    } cases[] = {
        {"32-bit source", Filled(3, 3, QImage::Format_RGB888, Qt::white),
         Filled(3, 3, QImage::Format_ARGB32, Qt::red)},
        {"mask smaller than the bitmap", Filled(2, 3, QImage::Format_RGB888, Qt::white),
         Filled(3, 3, QImage::Format_RGB888, Qt::red)},
    };
    for (const Case& c : cases) {
        TGridAlphaMask m;
        m.Assign(before);
        m.SetOpacity(77);
        const QImage kept = m.Image();
        m.MergeMask(c.mask, c.bitmap, clNone);
        EXPECT_EQ(m.Image(), kept) << c.name;
        EXPECT_EQ(m.Opacity(), 77) << c.name;
    }
}

TEST(GridAlphaMask, AssignCopiesOpacityAndStaysThirtyTwoBit)
{
    TGridAlphaMask a;
    EXPECT_EQ(a.Opacity(), 255);
    a.Assign(Filled(5, 4, QImage::Format_RGB888, QColor(10, 20, 30)));
    a.SetOpacity(40);
    EXPECT_EQ(a.Image().format(), QImage::Format_ARGB32_Premultiplied);
    TGridAlphaMask b;
    b.Assign(a);
    EXPECT_EQ(b.Opacity(), 40);
    EXPECT_EQ(b.Image(), a.Image());
    EXPECT_EQ(RawAt(b.Image(), 4, 3), (Rgba{10, 20, 30, 255}));
}

// ---------------------------------------------------------------------------
// Blur and rounded-rectangle mask
// ---------------------------------------------------------------------------

TEST(BlurBitmap, OnlyTwentyFourBitImagesAreBlurred)
{
    for (QImage::Format f : {QImage::Format_ARGB32, QImage::Format_RGB32, QImage::Format_Grayscale8}) {
        QImage img = Filled(4, 4, f, Qt::white);
        try {
            BlurBitmap(img, 2);
            ADD_FAILURE() << "no error for format " << f;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Blur only works for 24-bit bitmaps");
        }
    }
}

TEST(BlurBitmap, SpreadsAPointEvenlyAndKeepsItsWeight)
{
    QImage img = Filled(11, 11, QImage::Format_RGB888, Qt::black);
    img.setPixelColor(5, 5, Qt::white);
    BlurBitmap(img, 1.0);
    auto red = [&](int x, int y) { return img.pixelColor(x, y).red(); };
    EXPECT_LT(red(5, 5), 255);
    EXPECT_GT(red(4, 5), 0);
    EXPECT_EQ(red(4, 5), red(6, 5));
    EXPECT_EQ(red(5, 4), red(5, 6));
    EXPECT_EQ(red(4, 5), red(5, 4));
    EXPECT_GT(red(5, 5), red(4, 5));
    int total = 0;
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 11; ++x)
            total += red(x, y);
    EXPECT_NEAR(total, 255, 20);
}

TEST(BlurBitmap, RadiusZeroOrLessLeavesTheImage)
{
    for (double radius : {0.0, -1.5}) {
        QImage img = Filled(6, 6, QImage::Format_RGB888, Qt::black);
        img.setPixelColor(2, 2, Qt::white);
        const QImage before = img;
        EXPECT_NO_THROW(BlurBitmap(img, radius));
        EXPECT_EQ(img, before);
    }
}

TEST(MakeRoundRectMask, FilledWithoutBlurAtRadiusZero)
{
    QImage img;
    MakeRoundRectMask(img, 20, 20, 0, 5, 0);
    ASSERT_EQ(img.size(), QSize(20, 20));
    EXPECT_EQ(img.format(), QImage::Format_RGB888);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const int r = img.pixelColor(x, y).red();
            EXPECT_TRUE(r == 0 || r == 255) << x << "," << y; // no blur
        }
    // The rectangle runs from (2, 2) to (18, 18), the far edges outside.
    EXPECT_EQ(img.pixelColor(10, 10).red(), 255);
    EXPECT_EQ(img.pixelColor(2, 10).red(), 255);
    EXPECT_EQ(img.pixelColor(17, 10).red(), 255);
    EXPECT_EQ(img.pixelColor(1, 10).red(), 0);
    EXPECT_EQ(img.pixelColor(18, 10).red(), 0);
    EXPECT_EQ(img.pixelColor(2, 2).red(), 0); // rounded corner
}

TEST(MakeRoundRectMask, OutlineAndBlurAndTinySizes)
{
    QImage outline;
    MakeRoundRectMask(outline, 30, 30, 4, 5, 0);
    EXPECT_EQ(outline.pixelColor(15, 15).red(), 0);
    EXPECT_EQ(outline.pixelColor(4, 15).red(), 255);

    QImage blurred;
    MakeRoundRectMask(blurred, 30, 30, 4, 5, 3);
    bool between = false;
    for (int x = 0; x < 30; ++x) {
        const int r = blurred.pixelColor(x, 15).red();
        between = between || (r > 0 && r < 255);
    }
    EXPECT_TRUE(between);

    QImage tiny;
    EXPECT_NO_THROW(MakeRoundRectMask(tiny, 3, 3, 4, 5, 3));
    EXPECT_EQ(tiny.size(), QSize(3, 3));
    EXPECT_EQ(tiny.pixelColor(1, 1).red(), 0);
    QImage none;
    EXPECT_NO_THROW(MakeRoundRectMask(none, 0, -2, 0, 5, 3));
    EXPECT_TRUE(none.isNull());
}
