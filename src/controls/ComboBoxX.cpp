#include "controls/ComboBoxX.h"

#include <QImage>

#include <array>
#include <memory>

using namespace platform;

const char* const ComboBoxXResourceNames[8] = {"CBX_BMP_EDIT", "CBX_BMP_NEW",  "CBX_BMP_NEW_D", "CBX_BMP_DEL",
                                               "CBX_BMP_DEL_D", "CBX_BMP_UP", "CBX_BMP_DOWN",  "CBX_BMP_PINS"};

namespace {

// The standard 16-colour palette, $BBGGRR.
constexpr TColor Palette16[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                                  0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
constexpr TColor Back = 0xFF00FF;  // the see-through colour of the pictures
constexpr TColor Ink = 0x000000;
constexpr TColor Grey = 0x808080;
constexpr TColor Green = 0x008000;
constexpr TColor Red = 0x0000FF;
constexpr TColor Yellow = 0x00FFFF;

struct Picture
{
    QImage img;
    Picture(int w, int h) : img(w, h, QImage::Format_RGB32) { img.fill(ToQColor(Back)); }
    void Set(int x, int y, TColor c)
    {
        if (x >= 0 && y >= 0 && x < img.width() && y < img.height())
            img.setPixelColor(x, y, ToQColor(c));
    }
};

// A plus sign centred in the 13 x 11 cell.
void DrawPlus(Picture& p, TColor c)
{
    for (int d = -3; d <= 3; ++d) {
        for (int t = 0; t <= 1; ++t) {
            p.Set(6 + d, 5 - t + 1, c);
            p.Set(6 + t, 5 + d, c);
        }
    }
}

void DrawCross(Picture& p, TColor c)
{
    for (int d = -3; d <= 3; ++d) {
        p.Set(6 + d, 5 + d, c);
        p.Set(7 + d, 5 + d, c);
        p.Set(6 + d, 5 - d, c);
        p.Set(7 + d, 5 - d, c);
    }
}

// A filled triangle: its tip at row tipY, widening by one per side per row.
void DrawArrow(Picture& p, bool up)
{
    for (int k = 0; k < 6; ++k) {
        const int y = up ? 2 + k : 8 - k;
        for (int x = 6 - k; x <= 6 + k; ++x)
            p.Set(x, y, Ink);
    }
}

QImage MakePicture(int which)
{
    if (which == 7) {
        // Four pins of 13 x 11: upright and laid down, each plain and pressed.
        Picture p(52, 11);
        for (int f = 0; f < 4; ++f) {
            const int ox = f * 13;
            const TColor head = f % 2 == 0 ? Red : Green;
            if (f < 2) {
                for (int y = 1; y <= 4; ++y)
                    for (int x = 4; x <= 8; ++x)
                        p.Set(ox + x, y, head);
                for (int x = 3; x <= 9; ++x)
                    p.Set(ox + x, 5, Ink);
                for (int y = 6; y <= 9; ++y)
                    p.Set(ox + 6, y, Ink);
            } else {
                for (int x = 6; x <= 9; ++x)
                    for (int y = 3; y <= 7; ++y)
                        p.Set(ox + x, y, head);
                for (int y = 2; y <= 8; ++y)
                    p.Set(ox + 5, y, Ink);
                for (int x = 1; x <= 4; ++x)
                    p.Set(ox + x, 5, Ink);
            }
        }
        return p.img;
    }
    Picture p(13, 11);
    switch (which) {
    case 0: // edit: a pencil from bottom-left to top-right
        for (int k = 0; k < 8; ++k) {
            p.Set(2 + k, 8 - k, Yellow);
            p.Set(3 + k, 8 - k, Ink);
            p.Set(2 + k, 9 - k, Ink);
        }
        p.Set(1, 9, Ink);
        break;
    case 1:
        DrawPlus(p, Green);
        break;
    case 2:
        DrawPlus(p, Grey);
        break;
    case 3:
        DrawCross(p, Red);
        break;
    case 4:
        DrawCross(p, Grey);
        break;
    case 5:
        DrawArrow(p, true);
        break;
    case 6:
        DrawArrow(p, false);
        break;
    default:
        break;
    }
    return p.img;
}

int g_starts = 0;
std::array<std::unique_ptr<TBitmap>, 8> g_bitmaps;

} // namespace

bool ComboBoxXIsPaletteColor(TColor c)
{
    for (TColor p : Palette16)
        if (p == c)
            return true;
    return false;
}

void ComboBoxXInitialize()
{
    if (g_starts++ > 0)
        return;
    for (auto& b : g_bitmaps)
        b = std::make_unique<TBitmap>();
    for (size_t i = 0; i < g_bitmaps.size(); ++i) {
        g_bitmaps[i]->SetImage(MakePicture(static_cast<int>(i)));
        g_bitmaps[i]->SetTransparentColor(Back);
    }
}

void ComboBoxXFinalize()
{
    // An end without a start frees nothing twice.
    if (g_starts == 0 || --g_starts > 0)
        return;
    for (auto& b : g_bitmaps)
        b.reset();
}

const TBitmap* ComboBoxXBitmap(const QString& resourceName)
{
    for (size_t i = 0; i < g_bitmaps.size(); ++i)
        if (resourceName == QLatin1String(ComboBoxXResourceNames[i]))
            return g_bitmaps[i].get();
    return nullptr;
}
