#pragma once

// The push button's face painter and its fade ticker.

#include "platform/ControlBase.h"
#include "platform/Graphics.h"

#include <QString>

#include <functional>
#include <memory>

enum class TLbButtonStyle { bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken };
using enum TLbButtonStyle;

enum class TLbColorStyle { lcsCustom, lcsGold, lcsChrome, lcsBlue, lcsRed, lcsUltraFlat1, lcsUltraFlat2,
                           lcsUltraFlatXP, lcsAqua, lcsDefault, lcsQuicken };
using enum TLbColorStyle;

enum class TLbButtonKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
using enum TLbButtonKind;

enum class TLbButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using enum TLbButtonLayout;

// Magenta: the see-through colour of the shaped faces.
constexpr platform::TColor LbTransparentColor = 0x00FF00FF;

// Everything the face painter looks at.
struct TLbButtonFace
{
    int Width = 0;
    int Height = 0;
    platform::TAlignment Alignment = platform::taCenter;
    QString Caption;
    TLbButtonLayout Layout = blGlyphLeft;
    platform::TFont Font;
    platform::TColor ShadowColor = platform::clGray;
    platform::TColor LightColor = platform::clWhite;
    platform::TColor HotTrackColor = platform::clNone;
    platform::TColor ColorWhenDown = platform::clNone;
    platform::TColor Color = platform::clBtnFace;
    TLbButtonStyle Style = bsNormal;
    bool HasPopupMenu = false;
    bool WordWrap = false;
    bool Flat = false;
    bool Enabled = true;
    bool Hot = false;
    bool Pressed = false;
    const platform::TBitmap* Glyph = nullptr;
    int NumGlyphs = 0;
    int HotTrackStep = 0;
};

// Paints the face into Width x Height of the canvas.
void DrawButtonFace(platform::TCanvas& canvas, const TLbButtonFace& face);

// The face colour for the given state (step 2 of the painter): Color mixed
// toward HotTrackColor by HotTrackStep / 8, ColorWhenDown while pressed.
platform::TColor LbButtonFaceColor(const TLbButtonFace& face);

// Registers the button's bitmaps ("LBOK" ... "LBARROW") with the resource
// system; cheap after the first call.
void RegisterLbButtonResources();

// The fade ticker: while running it hands Notify to the user-interface thread
// every 30 ms. It starts suspended, and its thread only starts with the first
// Resume. Ticks still queued when the ticker goes are dropped, so Notify may
// refer to the ticker's owner.
class TLbButtonThread
{
public:
    explicit TLbButtonThread(std::function<void()> notify);
    ~TLbButtonThread();  // terminates and waits
    TLbButtonThread(const TLbButtonThread&) = delete;
    TLbButtonThread& operator=(const TLbButtonThread&) = delete;

    bool Suspended() const;
    void Suspend();
    void Resume();
    void Terminate();
    void WaitFor();

private:
    struct State;
    void Execute();
    std::shared_ptr<State> state_;
};
