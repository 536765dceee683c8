#include "widgets/LbButtons.h"

#include "platform/Messages.h"
#include "widgets/ExUtil.h"

#include <QColor>
#include <QImage>
#include <QRect>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

// The resources of a static library are registered by hand; this must stand
// outside any namespace.
static void InitLbButtonsResources() { Q_INIT_RESOURCE(LbButtons); }

using namespace platform;

void RegisterLbButtonResources()
{
    static std::once_flag once;
    std::call_once(once, [] { InitLbButtonsResources(); });
}

namespace {

TColor Mix(TColor c, TColor h, int step)
{
    const double s = step / 8.0;
    auto comp = [&](int a, int b) { return static_cast<int>(std::trunc(a * (1.0 - s) + b * s)); };
    return RGB(comp(GetRValue(c), GetRValue(h)), comp(GetGValue(c), GetGValue(h)), comp(GetBValue(c), GetBValue(h)));
}

// 32 bands from a (row y0) to b (row y1) over columns 2 .. W - 2.
void Gradient32(TCanvas& c, int width, TColor a, TColor b, int y0, int y1)
{
    a = ColorToRGB(a);
    b = ColorToRGB(b);
    const int span = y1 - y0;
    const int bandHeight = span / 31 + 1;
    auto comp = [](int from, int to, int i) { return static_cast<int>(std::trunc(from + i * (to - from) / 31.0)); };
    for (int i = 0; i < 32; ++i) {
        const int start = y0 + i * span / 31;
        const int end = std::min(start + bandHeight, y1);
        c.Brush().SetColor(RGB(comp(GetRValue(a), GetRValue(b), i), comp(GetGValue(a), GetGValue(b), i),
                               comp(GetBValue(a), GetBValue(b), i)));
        if (end > start)
            c.FillRect(Rect(2, start, width - 2, end));
    }
}

// The caption of a face that lies on the see-through colour. Smoothed text
// edges would mix with that colour and stay as a coloured fringe, so every
// pixel becomes either the text colour or see-through.
void DrawHardCaption(TCanvas& c, const QString& caption, TRect box, unsigned format, int width, int height)
{
    if (caption.isEmpty() || width <= 0 || height <= 0)
        return;
    const QColor key = ToQColor(LbTransparentColor);
    const QColor ink = ToQColor(ColorToRGB(c.Font().Color()));
    const int span = std::abs(ink.red() - key.red()) + std::abs(ink.green() - key.green()) +
                     std::abs(ink.blue() - key.blue());
    if (span == 0) {
        c.DrawText(caption, box, format);
        return;
    }
    TBitmap layer(width, height);
    TCanvas& lc = layer.Canvas();
    lc.Brush().SetColor(LbTransparentColor);
    lc.FillRect(Rect(0, 0, width, height));
    lc.SetFont(c.Font());
    lc.Brush().SetStyle(bsClear);
    lc.DrawText(caption, box, format);
    QImage img = layer.Image().copy();
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QColor px = QColor::fromRgb(line[x]);
            const int d = std::abs(px.red() - key.red()) + std::abs(px.green() - key.green()) +
                          std::abs(px.blue() - key.blue());
            line[x] = (2 * d >= span ? ink : key).rgb();
        }
    }
    layer.SetImage(img);
    layer.SetTransparent(true);
    layer.SetTransparentColor(LbTransparentColor);
    c.Draw(0, 0, layer);
}

const TBitmap& PopupArrow()
{
    static TBitmap arrow;
    if (arrow.Empty()) {
        RegisterLbButtonResources();
        LoadBitmapResource(arrow, QStringLiteral("LBARROW"));
        arrow.SetTransparent(true);
    }
    return arrow;
}

} // namespace

TColor LbButtonFaceColor(const TLbButtonFace& f)
{
    const bool pressed = f.Enabled && f.Pressed;
    TColor face = ColorToRGB(f.Color);
    if (f.Enabled && f.HotTrackColor != clNone)
        face = Mix(face, ColorToRGB(f.HotTrackColor), f.HotTrackStep);
    if (pressed && f.ColorWhenDown != clNone)
        face = ColorToRGB(f.ColorWhenDown);
    return face;
}

void DrawButtonFace(TCanvas& c, const TLbButtonFace& f)
{
    const int W = f.Width, H = f.Height;
    const bool enabled = f.Enabled;
    const bool pressed = enabled && f.Pressed;
    const int o = pressed && f.Style != bsEncarta ? 1 : 0;
    const TColor face = LbButtonFaceColor(f);

    // Background.
    c.Pen().SetStyle(psSolid);
    c.Pen().SetWidth(1);
    switch (f.Style) {
    case bsShape:
        c.Brush().SetColor(LbTransparentColor);
        c.FillRect(Rect(0, 0, W, H));
        break;
    case bsNormal:
    case bsEncarta:
    case bsOld:
        c.Brush().SetColor(face);
        c.FillRect(Rect(0, 0, W, H));
        break;
    case bsModern:
        Gradient32(c, W, f.LightColor, face, 2, H / 4 + o);
        Gradient32(c, W, face, f.LightColor, H / 4 + o, H - 1);
        break;
    case bsQuicken:
        break;
    }
    c.Brush().SetStyle(bsClear);

    // Frame.
    const bool framed = !f.Flat || (enabled && (f.Hot || pressed));
    switch (f.Style) {
    case bsNormal:
    case bsEncarta:
        if (framed) {
            c.Pen().SetColor(pressed ? f.ShadowColor : f.LightColor);
            c.MoveTo(0, H - 1);
            c.LineTo(0, 0);
            c.LineTo(W - 1, 0);
            c.Pen().SetColor(pressed ? f.LightColor : f.ShadowColor);
            c.LineTo(W - 1, H - 1);
            c.LineTo(0, H - 1);
        }
        break;
    case bsOld:
        if (framed) {
            c.Pen().SetColor(f.ShadowColor);
            if (pressed) {
                c.MoveTo(1, H - 3);
                c.LineTo(1, 1);
                c.LineTo(W - 2, 1);
            } else {
                c.MoveTo(W - 2, 0);
                c.LineTo(W - 2, H - 2);
                c.LineTo(0, H - 2);
            }
            c.Pen().SetColor(pressed ? cl3DDkShadow : f.LightColor);
            c.MoveTo(0, H - 1);
            c.LineTo(0, 0);
            c.LineTo(W - 1, 0);
            c.Pen().SetColor(pressed ? f.LightColor : cl3DDkShadow);
            c.LineTo(W - 1, H - 1);
            c.LineTo(-1, H - 1);
        }
        break;
    case bsModern:
        c.Pen().SetColor(pressed ? f.ShadowColor : face);
        c.Rectangle(1, 1, W - 1, H - 1);
        c.Pen().SetColor(f.ShadowColor);
        c.RoundRect(0, 0, W, H, 6, 6);
        break;
    case bsQuicken:
        c.Pen().SetStyle(psClear);
        c.Brush().SetColor(face);
        c.RoundRect(0, 1, W, H, 4, 4);
        c.Brush().SetStyle(bsClear);
        c.Pen().SetStyle(psSolid);
        c.Pen().SetColor(f.ShadowColor);
        c.MoveTo(4, 0);
        c.LineTo(W - 5, 0);
        c.MoveTo(4, H - 1);
        c.LineTo(W - 5, H - 1);
        break;
    case bsShape:
        break;
    }

    // Font.
    TFont font = f.Font;
    if (f.Style == bsEncarta && pressed)
        font.SetStyle(font.Style() | fsBold);
    c.SetFont(font);

    // Glyph cell.
    const TBitmap* glyph = f.Glyph && !f.Glyph->Empty() ? f.Glyph : nullptr;
    const int gw = glyph && f.NumGlyphs > 0 ? glyph->Width() / f.NumGlyphs : 0;
    const int gh = glyph ? glyph->Height() : 0;
    int image = 0;
    if (!enabled) {
        image = 1;
    } else {
        if (f.Hot && f.NumGlyphs > 3)
            image = 3;
        if (pressed && f.NumGlyphs > 2)
            image = 2;
    }
    auto drawGlyph = [&](int x, int y) {
        // A cell beyond the strip (a disabled one-image glyph) shows nothing.
        if (gw <= 0 || gh <= 0 || (image + 1) * gw > glyph->Width())
            return;
        TBitmap cell;
        cell.SetImage(glyph->Image().copy(QRect(image * gw, 0, gw, gh)));
        cell.SetTransparent(true);
        c.Draw(x, y, cell);
    };

    // Caption.
    unsigned format = DT_WORDBREAK;
    switch (f.Alignment) {
    case taLeftJustify: format |= DT_LEFT; break;
    case taRightJustify: format |= DT_RIGHT; break;
    case taCenter: format |= DT_CENTER; break;
    }
    int L = 0;
    if (f.Style == bsShape || f.Layout == blGlyphTop || f.Layout == blGlyphBottom)
        L = std::max(0, W - 8);
    else
        L = std::max(0, W - 8 - (gw > 0 ? gw + 4 : 0));
    QString caption = f.Caption;
    if (!f.WordWrap)
        while (!caption.isEmpty() && c.TextWidth(caption) > L)
            caption.chop(1);
    TRect measured = Rect(0, 0, L, 0);
    c.DrawText(caption, measured, DT_CALCRECT | DT_WORDBREAK | (format & (DT_CENTER | DT_RIGHT)));
    const int tw = measured.Width(), th = measured.Height();
    const int tp = caption.isEmpty() ? 0 : tw + 4;

    if (f.Style == bsShape) {
        drawGlyph((W - gw) / 2, (H - gh) / 2);
        TRect box = Rect(o, (H - th) / 2 + o, W, H);
        DrawHardCaption(c, caption, box, DT_WORDBREAK | DT_CENTER, W, H);
    } else {
        int captionLeft = 0, captionTop = 0, glyphLeft = 0, glyphTop = 0;
        switch (f.Layout) {
        case blGlyphLeft:
        case blGlyphRight:
            captionTop = (H - th) / 2 + o;
            glyphTop = (H - gh) / 2 + o;
            if (f.Layout == blGlyphLeft) {
                captionLeft = o + 4 + (gw > 0 ? gw + 4 : 0);
                glyphLeft = o + 4;
                if (!f.WordWrap) {
                    if (f.Alignment == taRightJustify)
                        glyphLeft = W - 4 - gw - tp + o;
                    else if (f.Alignment == taCenter)
                        glyphLeft = (W - gw) / 2 + o - tp / 2;
                }
            } else {
                captionLeft = o + 4;
                glyphLeft = o + 4 + tp;
                if (!f.WordWrap) {
                    if (f.Alignment == taRightJustify)
                        glyphLeft = W - 4 + o - gw;
                    else if (f.Alignment == taCenter)
                        glyphLeft = (W - gw) / 2 + o + tp / 2;
                }
            }
            break;
        case blGlyphTop:
        case blGlyphBottom: {
            captionLeft = o + 4;
            const int total = th + (gh > 0 ? gh + 4 : 0);
            if (f.Layout == blGlyphTop) {
                glyphTop = (H - total) / 2 + o;
                captionTop = (H - total) / 2 + gh + o;
            } else {
                captionTop = (H - total) / 2 + o;
                glyphTop = (H - total) / 2 + th + o;
            }
            if (f.Alignment == taLeftJustify)
                glyphLeft = o + 4;
            else if (f.Alignment == taRightJustify)
                glyphLeft = W - gw - 4 + o;
            else
                glyphLeft = (W - gw) / 2 + o;
            break;
        }
        }
        if (!enabled) {
            TFont grey = c.Font();
            grey.SetColor(0x00808080);
            c.SetFont(grey);
        }
        TRect box = Rect(captionLeft, captionTop, captionLeft + L, captionTop + th);
        c.DrawText(caption, box, format);
        drawGlyph(glyphLeft, glyphTop);
    }

    if (f.HasPopupMenu)
        c.Draw(W - 11, H / 2 - 1, PopupArrow());
}

// ---------------------------------------------------------------- ticker

struct TLbButtonThread::State
{
    std::mutex lock;
    std::condition_variable wake;
    bool suspended = true;
    bool terminated = false;
    bool alive = true;  // read and written on the user-interface thread only
    std::function<void()> notify;
    std::thread thread;
};

TLbButtonThread::TLbButtonThread(std::function<void()> notify) : state_(std::make_shared<State>())
{
    state_->notify = std::move(notify);
}

TLbButtonThread::~TLbButtonThread()
{
    Terminate();
    WaitFor();
    state_->alive = false;
}

bool TLbButtonThread::Suspended() const
{
    std::lock_guard<std::mutex> guard(state_->lock);
    return state_->suspended;
}

void TLbButtonThread::Suspend()
{
    std::lock_guard<std::mutex> guard(state_->lock);
    state_->suspended = true;
}

void TLbButtonThread::Resume()
{
    {
        std::lock_guard<std::mutex> guard(state_->lock);
        if (state_->terminated)
            return;
        state_->suspended = false;
        if (!state_->thread.joinable())
            state_->thread = std::thread([this] { Execute(); });
    }
    state_->wake.notify_all();
}

void TLbButtonThread::Terminate()
{
    {
        std::lock_guard<std::mutex> guard(state_->lock);
        state_->terminated = true;
    }
    state_->wake.notify_all();
}

void TLbButtonThread::WaitFor()
{
    std::thread worker;
    {
        std::lock_guard<std::mutex> guard(state_->lock);
        worker = std::move(state_->thread);
    }
    if (worker.joinable())
        worker.join();
}

void TLbButtonThread::Execute()
{
    State& s = *state_;
    const std::weak_ptr<State> weak = state_;
    std::unique_lock<std::mutex> guard(s.lock);
    for (;;) {
        s.wake.wait(guard, [&] { return s.terminated || !s.suspended; });
        if (s.terminated)
            return;
        if (s.wake.wait_for(guard, std::chrono::milliseconds(30), [&] { return s.terminated; }))
            return;
        if (s.suspended)
            continue;
        guard.unlock();
        QueueOnMainThread([weak] {
            const std::shared_ptr<State> alive = weak.lock();
            if (alive && alive->alive && alive->notify)
                alive->notify();
        });
        guard.lock();
    }
}
