#pragma once

// The analog watch: a face with marks, hour numbers, an AM/PM box and hands.
// As a picker (Settings.Auto off) it shows Time and the user sets the hour,
// the minute and AM/PM by clicks or by keys a host passes to HandleKey; as a
// live clock it shows the local time plus Settings.TimeOffset minutes.
//
// Angles in the geometry run clockwise from 12 o'clock; the face is cached
// without hands, so a hand update repaints only from the cache.

#include "platform/Controls.h"
#include "platform/CustomControl.h"
#include "platform/Graphics.h"
#include "widgets/ExStyleIF.h"
#include "widgets/ExUtil.h"

#include <QString>

#include <functional>
#include <memory>

enum class TWatchShape { wsCircle, wsRect, wsRoundRect };
enum class TPointerStyle { psLine, psShortLine, psPointer, psLineArrow };
enum class TAMPMFrame { apRect, apRoundRect };
enum class TWatchGradient { wgRadial, wgVertical, wgDiagonalForward, wgDiagonalBackward };
enum class TTickMarks { tmAll, tmHours, tmQuartHours, tmNone };
enum class THourMarkStyle { hmsLine, hmsQuartDblLine };
enum class TWatchStyle
{
    wsClassic, wsTower, wsFluorescent, wsEmerald, wsBlueStar, wsFuchsia, wsBlack, wsBlackWhite, wsGray,
    wsSuperNova, wsSports, wsSmooth
};
using enum TWatchShape;
using enum TPointerStyle;
using enum TAMPMFrame;
using enum TWatchGradient;
using enum TTickMarks;
using enum THourMarkStyle;
using enum TWatchStyle;

// The time of day of a date-time (the date part is dropped).
struct TWatchTime
{
    int Hour = 0, Minute = 0, Second = 0, MSec = 0;
};
TWatchTime DecodeWatchTime(TDateTime t);
// Raises "Invalid argument to time encode" for a part out of range.
TDateTime EncodeWatchTime(int hour, int minute, int second, int msec);

class TWatchAppearance
{
public:
    TWatchAppearance();
    TWatchAppearance(const TWatchAppearance&) = delete;
    TWatchAppearance& operator=(const TWatchAppearance&) = delete;

    // Every property back to its default, without OnChange.
    void SetDefaults();
    // Every property (fonts and picture by value); not OnChange.
    void Assign(const TWatchAppearance& source);

#define WATCH_PROP(Type, Name)                                                                                         \
    Type Name() const { return F##Name; }                                                                              \
    void Set##Name(Type v)                                                                                             \
    {                                                                                                                  \
        if (v != F##Name) {                                                                                            \
            F##Name = v;                                                                                               \
            Changed();                                                                                                 \
        }                                                                                                              \
    }
    WATCH_PROP(int, Size)
    WATCH_PROP(platform::TColor, HourPointer)
    WATCH_PROP(platform::TColor, BackgroundColor)
    WATCH_PROP(platform::TColor, MinutePointerShadow)
    WATCH_PROP(platform::TColor, BackgroundColorTo)
    WATCH_PROP(platform::TColor, HourPointerShadow)
    WATCH_PROP(platform::TColor, SecondPointer)
    WATCH_PROP(platform::TColor, BorderColor)
    WATCH_PROP(platform::TColor, MinutePointer)
    WATCH_PROP(TAMPMFrame, AMPMFrame)
    WATCH_PROP(TWatchShape, Shape)
    WATCH_PROP(TPointerStyle, PointerStyle)
    WATCH_PROP(int, HourPointerSize)
    WATCH_PROP(int, SecondPointerSize)
    WATCH_PROP(int, MinutePointerSize)
    WATCH_PROP(platform::TColor, HourColor)
    WATCH_PROP(platform::TColor, MinuteColor)
    WATCH_PROP(int, CenterPointSize)
    WATCH_PROP(platform::TColor, CenterPointColor)
    WATCH_PROP(platform::TColor, CenterPointBorderColor)
    WATCH_PROP(TWatchGradient, BackgroundGradient)
    WATCH_PROP(int, HourMarkLength)
    WATCH_PROP(int, HourMarkWidth)
    WATCH_PROP(int, MinuteMarkLength)
    WATCH_PROP(int, MinuteMarkWidth)
    WATCH_PROP(int, BorderWidth)
    WATCH_PROP(platform::TColor, CenterPointOuterBorderColor)
    WATCH_PROP(TTickMarks, TickMarks)
    WATCH_PROP(THourMarkStyle, HourMarkStyle)
#undef WATCH_PROP

    // Plain stored values: writing them raises nothing.
    platform::TColor AMPMColor() const { return FAMPMColor; }
    void SetAMPMColor(platform::TColor c) { FAMPMColor = c; }
    platform::TColor AMPMBorderColor() const { return FAMPMBorderColor; }
    void SetAMPMBorderColor(platform::TColor c) { FAMPMBorderColor = c; }

    // The owned objects; a change made through them raises OnChange.
    platform::TFont& HourFont() { return FHourFont; }
    const platform::TFont& HourFont() const { return FHourFont; }
    void SetHourFont(const platform::TFont& f);
    platform::TFont& AMPMFont() { return FAMPMFont; }
    const platform::TFont& AMPMFont() const { return FAMPMFont; }
    void SetAMPMFont(const platform::TFont& f);
    const platform::TBitmap& Picture() const { return FPicture; }
    void SetPicture(const platform::TBitmap& p);

    std::function<void(QObject*)> OnChange;

private:
    void Changed()
    {
        if (OnChange)
            OnChange(nullptr);
    }
    void WireFonts();

    int FSize = 0;
    platform::TColor FHourPointer = platform::clBlack, FBackgroundColor = platform::clWhite,
                     FMinutePointerShadow = platform::clBtnShadow, FBackgroundColorTo = platform::clNone,
                     FHourPointerShadow = platform::clBtnShadow, FSecondPointer = platform::clRed,
                     FBorderColor = platform::clBlack, FMinutePointer = platform::clBlack;
    platform::TFont FHourFont, FAMPMFont;
    platform::TBitmap FPicture;
    TAMPMFrame FAMPMFrame = apRect;
    TWatchShape FShape = wsCircle;
    TPointerStyle FPointerStyle = psLine;
    int FHourPointerSize = 4, FSecondPointerSize = 1, FMinutePointerSize = 3;
    platform::TColor FHourColor = platform::clBlack, FMinuteColor = platform::clGray;
    int FCenterPointSize = 4;
    platform::TColor FCenterPointColor = platform::clBlack, FCenterPointBorderColor = platform::clNone;
    TWatchGradient FBackgroundGradient = wgVertical;
    int FHourMarkLength = 0, FHourMarkWidth = 1, FMinuteMarkLength = 0, FMinuteMarkWidth = 1;
    int FBorderWidth = 4;
    platform::TColor FAMPMColor = platform::clWhite, FAMPMBorderColor = platform::clBlack;
    platform::TColor FCenterPointOuterBorderColor = platform::clNone;
    TTickMarks FTickMarks = tmAll;
    THourMarkStyle FHourMarkStyle = hmsLine;
};

class TWatchSettings
{
public:
    bool Auto() const { return FAuto; }
    void SetAuto(bool v);
    bool Second() const { return FSecond; }
    void SetSecond(bool v);
    int TimeOffset() const { return FTimeOffset; }
    void SetTimeOffset(int minutes);
    void Assign(const TWatchSettings& source);

    std::function<void(QObject*)> OnChange;

private:
    void Changed()
    {
        if (OnChange)
            OnChange(nullptr);
    }
    bool FAuto = false;
    bool FSecond = true;
    int FTimeOffset = 0;
};

class TExWatch : public platform::TCustomControl
{
public:
    explicit TExWatch(QWidget* parent = nullptr);
    ~TExWatch() override;

    bool Animation() const { return FAnimation; }
    void SetAnimation(bool v) { FAnimation = v; }
    int AnimationFactor() const { return FAnimationFactor; }
    // Below 1 is taken as 1: the animation divides the distance by it.
    void SetAnimationFactor(int v) { FAnimationFactor = v < 1 ? 1 : v; }
    TWatchAppearance& Appearance() { return *FAppearance; }
    void SetAppearance(const TWatchAppearance& a) { FAppearance->Assign(a); }
    TWatchSettings& Settings() { return *FSettings; }
    void SetSettings(const TWatchSettings& s) { FSettings->Assign(s); }
    TDateTime Time() const { return FTime; }
    void SetTime(TDateTime value);
    bool ShowAMPM() const { return FShowAMPM; }
    void SetShowAMPM(bool v);
    bool ShowNumbers() const { return FShowNumbers; }
    void SetShowNumbers(bool v);
    TWatchStyle Style() const { return FStyle; }
    void SetStyle(TWatchStyle style);
    void SetComponentStyle(TQRVStyle style);

    // Hours 0..23 (a larger one raises the time-encode error, nothing
    // changes); minutes 0..59 ("Invalid time" otherwise).
    void SetHour(int value);
    void SetMinute(int value);
    // A virtual-key code pressed in the host.
    void HandleKey(int key);

    bool AM() const { return FAM; }
    bool Animating() const { return FAnimationTimer->Enabled(); }
    // One step of the hand animation, as the animation timer runs it.
    void AnimationTick();

    // Geometry of the current client area.
    platform::TRect GetWatchRect() const;
    platform::TPoint GetCenter() const;
    double GetRadius() const;
    platform::TRect GetAMPMRect();
    int MinuteFromPoint(int x, int y) const;
    int HourFromPoint(int x, int y) const;

    platform::TNotifyEvent OnChange;

protected:
    void Paint() override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;

private:
    TDateTime GetDisplayTime() const;
    void SetTimeInternal(TDateTime value);
    void SetAM(bool value);
    void SettingsChanged();
    void RedrawPointers();
    void DrawWatch(platform::TCanvas& canvas);
    void DrawBackground(platform::TCanvas& canvas, const platform::TRect& r);
    void DrawTickMarks(platform::TCanvas& canvas);
    void DrawNumbers(platform::TCanvas& canvas);
    void DrawAMPM(platform::TCanvas& canvas);
    void DrawPointers(platform::TCanvas& canvas);
    void ApplyStyle(TWatchStyle style);

    std::unique_ptr<TWatchAppearance> FAppearance;
    std::unique_ptr<TWatchSettings> FSettings;
    TDateTime FTime = 0;
    platform::TBitmap FBKGCache;
    bool FFaceValid = false;
    std::unique_ptr<platform::TTimer> FWatchTimer;
    bool FAnimation = true;
    int FAnimationFactor = 10;
    std::unique_ptr<platform::TTimer> FAnimationTimer;
    int FCurrentHourTo = 0, FCurrentMinuteTo = 0, FMinuteFrom = 0;
    bool FHourAnimating = false;
    bool FInternalCall = false;
    bool FAM = true;
    bool FShowAMPM = true, FShowNumbers = true;
    bool FInternalSet = false;
    TWatchStyle FStyle = wsClassic;
    // The AM/PM roll while it plays: the window's offset in the roll bitmap.
    int FRollOffset = -1;
    platform::TBitmap FRoll;
};

// The library's colour scheme on a watch look (the watch's and the time
// picker's SetComponentStyle).
void ApplyWatchComponentStyle(TWatchAppearance& appearance, TQRVStyle style);
