// The combo box pictures: made once however often the module starts, freed
// with the last end, 16 colours, and the glyph where each picture shows it.
#include "controls/ComboBoxX.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace platform;

namespace {

TColor At(const TBitmap* b, int x, int y)
{
    return FromQColor(b->Image().pixelColor(x, y));
}

class ComboBoxXTest : public ::testing::Test
{
protected:
    void SetUp() override { ComboBoxXInitialize(); }
    void TearDown() override { ComboBoxXFinalize(); }
};

TEST_F(ComboBoxXTest, EightPicturesOfTheirSizesInSixteenColours)
{
    for (const char* name : ComboBoxXResourceNames) {
        SCOPED_TRACE(name);
        const TBitmap* b = ComboBoxXBitmap(QString::fromLatin1(name));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->Width(), QLatin1String(name) == QLatin1String("CBX_BMP_PINS") ? 52 : 13);
        EXPECT_EQ(b->Height(), 11);
        int drawn = 0;
        const TColor back = At(b, 0, 0);
        for (int y = 0; y < b->Height(); ++y)
            for (int x = 0; x < b->Width(); ++x) {
                EXPECT_TRUE(ComboBoxXIsPaletteColor(At(b, x, y))) << x << "," << y;
                drawn += At(b, x, y) != back;
            }
        EXPECT_GT(drawn, 5);
        EXPECT_EQ(b->TransparentColor(), back);
    }
    EXPECT_EQ(ComboBoxXBitmap(QStringLiteral("CBX_BMP_OTHER")), nullptr);
}

TEST_F(ComboBoxXTest, GlyphsShowWhereTheyMatter)
{
    const TBitmap* up = ComboBoxXBitmap(QStringLiteral("CBX_BMP_UP"));
    const TBitmap* down = ComboBoxXBitmap(QStringLiteral("CBX_BMP_DOWN"));
    const TColor back = At(up, 0, 0);
    // Up: the tip at the top centre, the base wide at the bottom; down mirrored.
    EXPECT_NE(At(up, 6, 2), back);
    EXPECT_EQ(At(up, 3, 2), back);
    EXPECT_NE(At(up, 2, 7), back);
    EXPECT_NE(At(down, 6, 8), back);
    EXPECT_EQ(At(down, 3, 8), back);
    EXPECT_NE(At(down, 2, 3), back);
    EXPECT_EQ(At(up, 0, 10), back);

    // New and delete are coloured; their _D variants grey, in the same shape.
    const struct
    {
        const char *live, *dead;
        TColor colour;
    } pairs[] = {{"CBX_BMP_NEW", "CBX_BMP_NEW_D", clGreen}, {"CBX_BMP_DEL", "CBX_BMP_DEL_D", clRed}};
    for (const auto& p : pairs) {
        SCOPED_TRACE(p.live);
        const TBitmap* live = ComboBoxXBitmap(QString::fromLatin1(p.live));
        const TBitmap* dead = ComboBoxXBitmap(QString::fromLatin1(p.dead));
        EXPECT_EQ(At(live, 6, 5), p.colour);
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 13; ++x) {
                EXPECT_EQ(At(live, x, y) == back, At(dead, x, y) == back) << x << "," << y;
                if (At(dead, x, y) != back) {
                    EXPECT_EQ(At(dead, x, y), clGray);
                }
            }
    }

    // Pins: four 13-pixel frames, each with a drawing of its own.
    const TBitmap* pins = ComboBoxXBitmap(QStringLiteral("CBX_BMP_PINS"));
    for (int f = 0; f < 4; ++f) {
        int drawn = 0;
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 13; ++x)
                drawn += At(pins, f * 13 + x, y) != back;
        EXPECT_GT(drawn, 10) << "frame " << f;
    }
}

TEST(ComboBoxX, StartsAreCountedAndAnUnmatchedEndIsHarmless)
{
    EXPECT_EQ(ComboBoxXBitmap(QStringLiteral("CBX_BMP_EDIT")), nullptr);
    ComboBoxXFinalize(); // without a start: nothing to free
    ComboBoxXInitialize();
    const TBitmap* first = ComboBoxXBitmap(QStringLiteral("CBX_BMP_EDIT"));
    ComboBoxXInitialize();
    EXPECT_EQ(ComboBoxXBitmap(QStringLiteral("CBX_BMP_EDIT")), first);
    ComboBoxXFinalize();
    EXPECT_NE(ComboBoxXBitmap(QStringLiteral("CBX_BMP_EDIT")), nullptr);
    ComboBoxXFinalize();
    EXPECT_EQ(ComboBoxXBitmap(QStringLiteral("CBX_BMP_EDIT")), nullptr);
}

} // namespace
