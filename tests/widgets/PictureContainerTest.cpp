#include "widgets/PictureContainer.h"

#include "WidgetTestHelpers.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

using namespace platform;

namespace {

// A GIF with a four-colour table (white, red, green, blue) and one frame per
// entry, each with its delay in hundredths of a second.
struct GifFrame
{
    int x, y, w, h;
    std::uint8_t color;
    int delay;
};

void Word(QByteArray& out, int v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

// LZW with two-bit pixels, a clear code before every second pixel so the
// codes stay three bits wide.
QByteArray Lzw(int count, std::uint8_t color)
{
    QByteArray bytes;
    std::uint32_t acc = 0;
    int bits = 0;
    auto put = [&](int code) {
        acc |= static_cast<std::uint32_t>(code) << bits;
        bits += 3;
        while (bits >= 8) {
            bytes += static_cast<char>(acc & 0xFF);
            acc >>= 8;
            bits -= 8;
        }
    };
    for (int i = 0; i < count; ++i) {
        if (i % 2 == 0)
            put(4);
        put(color);
    }
    put(5);
    if (bits > 0)
        bytes += static_cast<char>(acc & 0xFF);
    QByteArray out;
    out += static_cast<char>(2);
    for (qsizetype at = 0; at < bytes.size(); at += 255) {
        const QByteArray block = bytes.mid(at, 255);
        out += static_cast<char>(block.size());
        out += block;
    }
    out += static_cast<char>(0);
    return out;
}

QByteArray Gif(int width, int height, const std::vector<GifFrame>& frames)
{
    QByteArray g("GIF89a");
    Word(g, width);
    Word(g, height);
    g += static_cast<char>(0x81); // global table of 4 colours
    g += static_cast<char>(0);
    g += static_cast<char>(0);
    g += QByteArray::fromHex("ffffff" "ff0000" "00ff00" "0000ff");
    for (const GifFrame& f : frames) {
        g += QByteArray::fromHex("21f904");
        g += static_cast<char>(0x04); // keep the frame
        Word(g, f.delay);
        g += static_cast<char>(0);
        g += static_cast<char>(0);
        g += static_cast<char>(0x2C);
        Word(g, f.x);
        Word(g, f.y);
        Word(g, f.w);
        Word(g, f.h);
        g += static_cast<char>(0);
        g += Lzw(f.w * f.h, f.color);
    }
    g += static_cast<char>(0x3B);
    return g;
}

QByteArray Animation()
{
    return Gif(8, 8, {{0, 0, 8, 8, 1, 10}, {2, 3, 4, 2, 2, 20}, {0, 0, 2, 2, 3, 30}});
}

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

std::string ErrorOf(THTMLPicture& p, const QByteArray& data)
{
    try {
        p.LoadFromStream(&data);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return {};
}

} // namespace

TEST(PictureContainer, AnimatedGifFrames)
{
    const QByteArray gif = Animation();
    THTMLPicture p;
    int frameChanges = 0;
    p.OnFrameChange = [&](THTMLPicture*) { ++frameChanges; };
    p.LoadFromStream(&gif);
    ASSERT_FALSE(p.Empty());
    EXPECT_TRUE(p.IsGIF());
    EXPECT_EQ(p.FrameCount(), 3);
    EXPECT_EQ(p.MaxWidth(), 8);
    EXPECT_EQ(p.MaxHeight(), 8);
    EXPECT_EQ(p.Width(), 8);
    EXPECT_EQ(widgettest::At(*p.Image(), 4, 4), clRed);

    // The second frame at its place within the logical screen.
    p.SetFrame(2);
    EXPECT_EQ(frameChanges, 1);
    EXPECT_EQ(p.Frame(), 2);
    EXPECT_EQ(p.FrameXPos(), 2);
    EXPECT_EQ(p.FrameYPos(), 3);
    EXPECT_EQ(p.Width(), 4);
    EXPECT_EQ(p.Height(), 2);
    EXPECT_EQ(widgettest::At(*p.Image(), 1, 1), clLime);
    EXPECT_EQ(p.MaxWidth(), 8);

    p.SetFrame(3);
    EXPECT_EQ(widgettest::At(*p.Image(), 0, 0), clBlue);
    p.FrameNext();
    EXPECT_EQ(p.Frame(), 1);
    p.FramePrev();
    EXPECT_EQ(p.Frame(), 3);

    EXPECT_EQ(p.GetFrameTime(1), 10);
    EXPECT_EQ(p.GetFrameTime(2), 20);
    EXPECT_EQ(p.GetFrameTime(4), -1);
    EXPECT_EQ(p.GetFrameTime(0), -1);

    // One tick is a tenth of a second: frame 1 shows 10 hundredths, frame 2 20.
    THTMLPicture a;
    a.LoadFromStream(&gif);
    std::vector<bool> steps;
    for (int i = 0; i < 5; ++i)
        steps.push_back(a.Step());
    EXPECT_EQ(steps, (std::vector<bool>{false, false, true, false, true}));
    EXPECT_EQ(a.Frame(), 3);

    // Drawn at its own size at the rectangle's corner, or stretched.
    TBitmap b(20, 20);
    p.SetFrame(1);
    p.Draw(b.Canvas(), Rect(5, 5, 20, 20));
    EXPECT_EQ(widgettest::At(b.Image(), 5, 5), clRed);
    EXPECT_EQ(widgettest::At(b.Image(), 13, 13), clWhite);
    p.SetStretch(true);
    p.Draw(b.Canvas(), Rect(0, 0, 20, 20));
    EXPECT_EQ(widgettest::At(b.Image(), 19, 19), clRed);

    // A picture that is no GIF has no frames.
    THTMLPicture still;
    const QByteArray png = Encoded(QImage(3, 3, QImage::Format_RGB32), "PNG");
    still.LoadFromStream(&png);
    EXPECT_FALSE(still.IsGIF());
    EXPECT_EQ(still.FrameCount(), -1);
    EXPECT_FALSE(still.Step());
}

TEST(PictureContainer, BrokenDataIsSafe)
{
    // Every cut of an animated GIF and random damage either loads or fails
    // with an error, never reading past the data.
    const QByteArray gif = Animation();
    for (qsizetype n = 0; n <= gif.size(); ++n) {
        THTMLPicture p;
        const QByteArray part = gif.left(n);
        ErrorOf(p, part);
        p.FrameCount();
        p.GetFrameTime(2);
        if (!p.Empty()) {
            try {
                p.SetFrame(3);
            } catch (const std::runtime_error&) {
                EXPECT_TRUE(p.Empty()); // a frame that does not decode leaves nothing shown
            }
        }
    }
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        QByteArray damaged = gif;
        for (int k = 0; k < 4; ++k)
            damaged[static_cast<qsizetype>(random() % damaged.size())] = static_cast<char>(random() & 0xFF);
        THTMLPicture p;
        ErrorOf(p, damaged);
        p.FrameCount();
        for (int f = 1; f <= 4 && !p.Empty(); ++f) {
            try {
                p.SetFrame(f);
            } catch (const std::runtime_error&) {
            }
        }
    }
}

TEST(PictureContainer, JpegAndErrors)
{
    QImage red(16, 8, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    const QByteArray jpeg = Encoded(red, "JPG");
    ASSERT_GT(jpeg.size(), 100);
    THTMLPicture p;
    p.LoadFromStream(&jpeg);
    ASSERT_FALSE(p.Empty());
    EXPECT_EQ(p.Width(), 16);
    EXPECT_EQ(p.Height(), 8);
    const QColor c = p.Image()->pixelColor(8, 4);
    EXPECT_GT(c.red(), 200);
    EXPECT_LT(c.green(), 60);
    EXPECT_LT(c.blue(), 60);
    QByteArray saved;
    p.SaveToStream(saved);
    EXPECT_EQ(saved, jpeg); // the file's own bytes are kept

    // Every cut of the JPEG is read safely.
    for (qsizetype n = 0; n < jpeg.size(); n += 7) {
        THTMLPicture q;
        ErrorOf(q, jpeg.left(n));
    }

    THTMLPicture e;
    EXPECT_EQ(ErrorOf(e, QByteArray()), "Empty image stream created");
    EXPECT_EQ(ErrorOf(e, QByteArray("this is no picture")), "Could not load image. Invalid format");
    EXPECT_EQ(ErrorOf(e, QByteArray::fromHex("ffd8ffe000104a46")), "Could not load image. Invalid format");
    // A picture that claims a giant size is not decoded.
    QByteArray giant = jpeg;
    const qsizetype frame = giant.indexOf(QByteArray::fromHex("ffc0"));
    ASSERT_GT(frame, 0);
    giant.replace(frame + 5, 4, QByteArray::fromHex("fde8fde8")); // 65000 x 65000
    EXPECT_EQ(ErrorOf(e, giant), "Could not allocate memory for image");
    EXPECT_TRUE(e.Empty());

    // From a file every failure leaves the picture empty without an error.
    QTemporaryDir dir;
    const QString text = QDir(dir.path()).filePath(QStringLiteral("note.bmp"));
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a bitmap");
    f.close();
    THTMLPicture fromFile;
    fromFile.LoadFromStream(&jpeg);
    EXPECT_NO_THROW(fromFile.LoadFromFile(text));
    EXPECT_TRUE(fromFile.Empty());
    EXPECT_NO_THROW(fromFile.LoadFromFile(QDir(dir.path()).filePath(QStringLiteral("missing.png"))));
    EXPECT_TRUE(fromFile.Empty());
}

TEST(PictureContainer, AddressesAndAssign)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("Small.bmp"));
    QImage img(5, 4, QImage::Format_RGB32);
    img.fill(QColor(0, 255, 0));
    ASSERT_TRUE(img.save(path, "BMP"));

    THTMLPicture p;
    p.LoadFromURL(QStringLiteral("file://") + path); // the prefix in any case
    ASSERT_FALSE(p.Empty());
    EXPECT_EQ(p.Width(), 5);
    EXPECT_EQ(p.ID(), QStringLiteral("file://") + path);

    // Other addresses are recorded and nothing is fetched.
    THTMLPicture web;
    web.LoadFromURL(QStringLiteral("http://example.invalid/a.gif"));
    EXPECT_TRUE(web.Empty());
    EXPECT_TRUE(web.Busy());
    EXPECT_EQ(web.URL(), QStringLiteral("http://example.invalid/a.gif"));
    EXPECT_TRUE(web.ID().isEmpty());
    web.LoadFromURL(QStringLiteral("http://example.invalid/b.gif"));
    EXPECT_EQ(web.URL(), QStringLiteral("http://example.invalid/a.gif"));
    THTMLPicture now;
    now.SetAsynch(false);
    now.LoadFromURL(QStringLiteral("http://x/y"));
    EXPECT_EQ(now.ID(), QStringLiteral("http://x/y"));
    EXPECT_EQ(now.URL(), QStringLiteral("http://x/y"));
    THTMLPicture res;
    res.LoadFromURL(QStringLiteral("RES://NOSUCH"));
    EXPECT_TRUE(res.Empty());
    EXPECT_EQ(res.ID(), QStringLiteral("RES://NOSUCH"));

    // Assign copies the data and decodes it; nothing empties it.
    THTMLPicture copy;
    int changes = 0;
    copy.OnChange = [&](THTMLPicture*) { ++changes; };
    copy.Assign(&p);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(copy.Width(), 5);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
}

TEST(PictureContainer, ContainerAndCache)
{
    const QByteArray gif = Animation();
    TPictureContainer container;
    TPictureItem* logo = container.Items().Add();
    logo->SetName(QStringLiteral("Logo"));
    logo->Picture().LoadFromStream(&gif);
    TPictureItem* other = container.Items().Insert(0);
    other->SetName(QStringLiteral("Other"));
    EXPECT_EQ(container.Items().Count(), 2);
    EXPECT_EQ(container.FindPicture(QStringLiteral("LOGO")), &logo->Picture());
    EXPECT_EQ(container.FindPicture(QStringLiteral("logo")), &logo->Picture());
    EXPECT_EQ(container.FindPicture(QStringLiteral("Logos")), nullptr);
    EXPECT_THROW(container.Items().Insert(5), std::out_of_range);
    EXPECT_THROW(container.Items().Items(2), std::out_of_range);

    // Items copy their picture, tag and name.
    TPictureItem copy;
    logo->SetTag(7);
    copy.Assign(*logo);
    EXPECT_EQ(copy.Tag(), 7);
    EXPECT_EQ(copy.Name(), QStringLiteral("Logo"));
    EXPECT_EQ(copy.Picture().FrameCount(), 3);
    EXPECT_NE(&copy.Picture(), &logo->Picture());

    THTMLPictureCache cache;
    THTMLPicture* a = cache.AddPicture();
    a->SetID(QStringLiteral("file:///a.gif"));
    a->LoadFromStream(&gif);
    EXPECT_EQ(cache.FindPicture(QStringLiteral("file:///a.gif")), a);
    EXPECT_EQ(cache.FindPicture(QStringLiteral("FILE:///A.GIF")), nullptr);
    bool changed = false;
    for (int i = 0; i < 3; ++i)
        changed = cache.Animate() || changed;
    EXPECT_TRUE(changed);
    cache.ClearPictures();
    EXPECT_EQ(cache.Count(), 0);
}
