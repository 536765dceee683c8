#include "controls/ExWatch.h"

#include <QDateTime>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

using namespace platform;

namespace {

constexpr double MsPerDay = 86400000.0;

// Halves to the even neighbour, as the geometry expects.
int Round(double v) { return static_cast<int>(std::nearbyint(v)); }

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

TDateTime NowDateTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    return static_cast<double>(QDate(1899, 12, 30).daysTo(now.date())) + now.time().msecsSinceStartOfDay() / MsPerDay;
}

} // namespace

TWatchTime DecodeWatchTime(TDateTime t)
{
    double frac = std::fabs(t - std::trunc(t));
    long long ms = std::llround(frac * MsPerDay);
    ms = std::clamp<long long>(ms, 0, 86399999);
    TWatchTime p;
    p.Hour = static_cast<int>(ms / 3600000);
    p.Minute = static_cast<int>(ms / 60000 % 60);
    p.Second = static_cast<int>(ms / 1000 % 60);
    p.MSec = static_cast<int>(ms % 1000);
    return p;
}

TDateTime EncodeWatchTime(int hour, int minute, int second, int msec)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        throw std::invalid_argument("Invalid argument to time encode");
    return (((hour * 60 + minute) * 60 + second) * 1000.0 + msec) / MsPerDay;
}


// ---------------------------------------------------------------------------
// TWatchAppearance
// ---------------------------------------------------------------------------

TWatchAppearance::TWatchAppearance()
{
    SetDefaults();
}

void TWatchAppearance::WireFonts()
{
    FHourFont.OnChange = [this] { Changed(); };
    FAMPMFont.OnChange = [this] { Changed(); };
}

void TWatchAppearance::SetDefaults()
{
    FHourFont.OnChange = nullptr;
    FAMPMFont.OnChange = nullptr;
    FSize = 0;
    FHourPointer = clBlack;
    FBackgroundColor = clWhite;
    FMinutePointerShadow = clBtnShadow;
    FBackgroundColorTo = clNone;
    FHourPointerShadow = clBtnShadow;
    FSecondPointer = clRed;
    FBorderColor = clBlack;
    FMinutePointer = clBlack;
    FHourFont.Assign(TFont());
    FHourFont.SetName(QStringLiteral("Tahoma"));
    FHourFont.SetSize(8);
    FAMPMFont.Assign(TFont());
    FAMPMFont.SetName(QStringLiteral("Tahoma"));
    FAMPMFont.SetSize(10);
    FPicture = TBitmap();
    FAMPMFrame = apRect;
    FShape = wsCircle;
    FPointerStyle = psLine;
    FHourPointerSize = 4;
    FSecondPointerSize = 1;
    FMinutePointerSize = 3;
    FHourColor = clBlack;
    FMinuteColor = clGray;
    FCenterPointSize = 4;
    FCenterPointColor = clBlack;
    FCenterPointBorderColor = clNone;
    FBackgroundGradient = wgVertical;
    FHourMarkLength = 0;
    FHourMarkWidth = 1;
    FMinuteMarkLength = 0;
    FMinuteMarkWidth = 1;
    FBorderWidth = 4;
    FAMPMColor = clWhite;
    FAMPMBorderColor = clBlack;
    FCenterPointOuterBorderColor = clNone;
    FTickMarks = tmAll;
    FHourMarkStyle = hmsLine;
    WireFonts();
}

void TWatchAppearance::Assign(const TWatchAppearance& s)
{
    if (&s == this)
        return;
    FHourFont.OnChange = nullptr;
    FAMPMFont.OnChange = nullptr;
    FSize = s.FSize;
    FHourPointer = s.FHourPointer;
    FBackgroundColor = s.FBackgroundColor;
    FMinutePointerShadow = s.FMinutePointerShadow;
    FBackgroundColorTo = s.FBackgroundColorTo;
    FHourPointerShadow = s.FHourPointerShadow;
    FSecondPointer = s.FSecondPointer;
    FBorderColor = s.FBorderColor;
    FMinutePointer = s.FMinutePointer;
    FHourFont.Assign(s.FHourFont);
    FAMPMFont.Assign(s.FAMPMFont);
    FPicture.Assign(s.FPicture);
    FAMPMFrame = s.FAMPMFrame;
    FShape = s.FShape;
    FPointerStyle = s.FPointerStyle;
    FHourPointerSize = s.FHourPointerSize;
    FSecondPointerSize = s.FSecondPointerSize;
    FMinutePointerSize = s.FMinutePointerSize;
    FHourColor = s.FHourColor;
    FMinuteColor = s.FMinuteColor;
    FCenterPointSize = s.FCenterPointSize;
    FCenterPointColor = s.FCenterPointColor;
    FCenterPointBorderColor = s.FCenterPointBorderColor;
    FBackgroundGradient = s.FBackgroundGradient;
    FHourMarkLength = s.FHourMarkLength;
    FHourMarkWidth = s.FHourMarkWidth;
    FMinuteMarkLength = s.FMinuteMarkLength;
    FMinuteMarkWidth = s.FMinuteMarkWidth;
    FBorderWidth = s.FBorderWidth;
    FAMPMColor = s.FAMPMColor;
    FAMPMBorderColor = s.FAMPMBorderColor;
    FCenterPointOuterBorderColor = s.FCenterPointOuterBorderColor;
    FTickMarks = s.FTickMarks;
    FHourMarkStyle = s.FHourMarkStyle;
    WireFonts();
    Changed();
}

void TWatchAppearance::SetHourFont(const TFont& f)
{
    FHourFont.OnChange = nullptr;
    FHourFont.Assign(f);
    WireFonts();
    Changed();
}

void TWatchAppearance::SetAMPMFont(const TFont& f)
{
    FAMPMFont.OnChange = nullptr;
    FAMPMFont.Assign(f);
    WireFonts();
    Changed();
}

void TWatchAppearance::SetPicture(const TBitmap& p)
{
    FPicture.Assign(p);
    Changed();
}

// ---------------------------------------------------------------------------
// TWatchSettings
// ---------------------------------------------------------------------------

void TWatchSettings::SetAuto(bool v)
{
    if (v != FAuto) {
        FAuto = v;
        Changed();
    }
}

void TWatchSettings::SetSecond(bool v)
{
    if (v != FSecond) {
        FSecond = v;
        Changed();
    }
}

void TWatchSettings::SetTimeOffset(int minutes)
{
    if (minutes != FTimeOffset) {
        FTimeOffset = minutes;
        Changed();
    }
}

void TWatchSettings::Assign(const TWatchSettings& source)
{
    FSecond = source.FSecond;
    FTimeOffset = source.FTimeOffset;
    SetAuto(source.FAuto);
}

// ---------------------------------------------------------------------------
// TExWatch
// ---------------------------------------------------------------------------

TExWatch::TExWatch(QWidget* parent) : TCustomControl(parent)
{
    FAppearance = std::make_unique<TWatchAppearance>();
    FAppearance->OnChange = [this](QObject*) {
        FFaceValid = false;
        Invalidate();
    };
    FSettings = std::make_unique<TWatchSettings>();
    FSettings->OnChange = [this](QObject*) { SettingsChanged(); };
    FWatchTimer = std::make_unique<TTimer>();
    FWatchTimer->SetInterval(100);
    FWatchTimer->SetEnabled(FSettings->Auto());
    FWatchTimer->OnTimer = [this](QObject*) { RedrawPointers(); };
    FAnimationTimer = std::make_unique<TTimer>();
    FAnimationTimer->SetInterval(1);
    FAnimationTimer->SetEnabled(false);
    FAnimationTimer->OnTimer = [this](QObject*) { AnimationTick(); };
    SetBounds(Left(), Top(), 180, 180);
    FBKGCache.SetSize(180, 180);
}

TExWatch::~TExWatch()
{
    FAnimationTimer->SetEnabled(false);
    FWatchTimer->SetEnabled(false);
}

void TExWatch::SetTime(TDateTime value)
{
    if (value != FTime) {
        SetTimeInternal(value);
        RedrawPointers();
    }
}

void TExWatch::SetShowAMPM(bool v)
{
    if (v != FShowAMPM) {
        FShowAMPM = v;
        FFaceValid = false;
        Invalidate();
    }
}

void TExWatch::SetShowNumbers(bool v)
{
    if (v != FShowNumbers) {
        FShowNumbers = v;
        FFaceValid = false;
        Invalidate();
    }
}

TDateTime TExWatch::GetDisplayTime() const
{
    if (FSettings->Auto())
        return NowDateTime() + FSettings->TimeOffset() / 1440.0;
    return FTime;
}

void TExWatch::SetTimeInternal(TDateTime value)
{
    if (value == FTime)
        return;
    FTime = value;
    FInternalSet = true;
    SetAM(DecodeWatchTime(value).Hour < 12);
    FInternalSet = false;
}

void TExWatch::SettingsChanged()
{
    FWatchTimer->SetEnabled(FSettings->Auto());
    if (FSettings->Auto()) {
        SetTime(NowDateTime());
        FInternalSet = true;
        SetAM(DecodeWatchTime(FTime).Hour < 12);
        FInternalSet = false;
    }
    FFaceValid = false;
    Invalidate();
}

void TExWatch::RedrawPointers()
{
    // The face stays in the cache; the paint draws only the hands anew.
    update();
}

// Geometry ------------------------------------------------------------------

TRect TExWatch::GetWatchRect() const
{
    const TRect c = ClientRect();
    const int w = c.Width(), h = c.Height();
    int s;
    if (FAppearance->Size() > 0)
        s = std::min({FAppearance->Size(), w, h});
    else
        s = std::min(w, h) - 20;
    // A control smaller than the margins gets a watch of no size, not a
    // negative one.
    s = std::max(s, 0);
    const int left = c.Left + (w - s) / 2, top = c.Top + (h - s) / 2;
    return Rect(left, top, left + s, top + s);
}

TPoint TExWatch::GetCenter() const
{
    const TRect r = GetWatchRect();
    return Point(r.Left + r.Width() / 2, r.Top + r.Width() / 2);
}

double TExWatch::GetRadius() const { return GetWatchRect().Width() / 2; }

TRect TExWatch::GetAMPMRect()
{
    if (!FShowAMPM)
        return Rect(-1, -1, -1, -1);
    TBitmap measure(1, 1);
    measure.Canvas().SetFont(FAppearance->AMPMFont());
    TRect tr = Rect(0, 0, 200, 200);
    measure.Canvas().DrawText(QStringLiteral("AM"), tr, DT_SINGLELINE | DT_CALCRECT);
    const int w = tr.Width() + 8, h = tr.Height();
    const TPoint c = GetCenter();
    const int left = c.X - w / 2, top = c.Y + Round((GetRadius() - h) / 3.0);
    return Rect(left, top, left + w, top + h);
}

int TExWatch::MinuteFromPoint(int x, int y) const
{
    const TPoint c = GetCenter();
    int dy = std::abs(c.Y - y), dx = std::abs(c.X - x);
    if (dy == 0)
        dy = 1;
    if (dx == 0)
        dx = 1;
    const int f = Round(std::atan(static_cast<double>(dy) / dx) * 180.0 / std::numbers::pi / 6.0);
    int result;
    if (x >= c.X && y >= c.Y)
        result = f + 15;
    else if (x <= c.X && y >= c.Y)
        result = 45 - f;
    else if (x <= c.X && y <= c.Y)
        result = f + 45;
    else
        result = 15 - f;
    if (result < 0 || result > 59)
        result = 0;
    return result;
}

int TExWatch::HourFromPoint(int x, int y) const
{
    const int c = Round(MinuteFromPoint(x, y) / 5.0) % 12;
    return FAM ? c : c + 12;
}

// Setting the time ------------------------------------------------------------

void TExWatch::SetHour(int value)
{
    const TWatchTime t = DecodeWatchTime(GetDisplayTime());
    if (value == t.Hour)
        return;
    // Checked before an animation starts too, so that no timer step fails later.
    if (value < 0 || value > 23)
        throw std::invalid_argument("Invalid argument to time encode");
    if (FAnimation && !FInternalCall) {
        FCurrentHourTo = value;
        FHourAnimating = true;
        FAnimationTimer->SetEnabled(true);
        return;
    }
    SetTimeInternal(EncodeWatchTime(value, t.Minute, t.Second, t.MSec));
    RedrawPointers();
    if (value == FCurrentHourTo && OnChange)
        OnChange(this);
}

void TExWatch::SetMinute(int value)
{
    const TWatchTime t = DecodeWatchTime(GetDisplayTime());
    if (value >= 60 || value < 0)
        throw std::runtime_error("Invalid time");
    if (value == t.Minute)
        return;
    if (FAnimation && !FInternalCall) {
        FCurrentMinuteTo = value;
        FHourAnimating = false;
        FMinuteFrom = t.Minute;
        FAnimationTimer->SetEnabled(true);
        return;
    }
    if (!FAnimation)
        FMinuteFrom = t.Minute;
    int hour = t.Hour;
    if (value == 0 && FMinuteFrom > 30) {
        hour = hour >= 23 ? 0 : hour + 1;
        FMinuteFrom = 0;
    }
    SetTimeInternal(EncodeWatchTime(hour, value, t.Second, t.MSec));
    RedrawPointers();
    if (value == FCurrentMinuteTo && OnChange)
        OnChange(this);
}

void TExWatch::AnimationTick()
{
    if (!FAnimation)
        return;
    const TWatchTime t = DecodeWatchTime(GetDisplayTime());
    const int factor = std::max(FAnimationFactor, 1);
    FInternalCall = true;
    struct Reset
    {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{FInternalCall};
    if (FHourAnimating) {
        const int step = std::max(1, Round(std::abs(FCurrentHourTo - t.Hour) / static_cast<double>(factor)));
        if (t.Hour == FCurrentHourTo) {
            SetHour(FCurrentHourTo);
            FAnimationTimer->SetEnabled(false);
        } else {
            SetHour(t.Hour < FCurrentHourTo ? t.Hour + step : t.Hour - step);
        }
        return;
    }
    const bool wrap = FCurrentMinuteTo == 0 && t.Minute > 30;
    const int distance = wrap ? 60 - t.Minute : std::abs(FCurrentMinuteTo - t.Minute);
    const int step = std::max(1, Round(distance / static_cast<double>(factor)));
    if (t.Minute == FCurrentMinuteTo) {
        SetMinute(FCurrentMinuteTo);
        FAnimationTimer->SetEnabled(false);
        return;
    }
    int m = (t.Minute < FCurrentMinuteTo || wrap) ? t.Minute + step : t.Minute - step;
    if (m >= 60)
        m = 0;
    SetMinute(m);
}

void TExWatch::SetAM(bool value)
{
    if (value == FAM)
        return;
    FAM = value;
    if (FAnimation && FShowAMPM && FAppearance->AMPMColor() != clNone && !FInternalSet && isVisible()) {
        // The roll: "AM" above "PM", a box-high window moving over them.
        TRect box = GetAMPMRect();
        InflateRect(box, -1, -1);
        const int wi = box.Width(), hi = box.Height();
        if (wi > 0 && hi > 0) {
            FRoll = TBitmap(wi, 2 * hi);
            TCanvas& rc = FRoll.Canvas();
            rc.Brush().SetColor(FAppearance->AMPMColor());
            rc.FillRect(Rect(0, 0, wi, 2 * hi));
            rc.Brush().SetStyle(bsClear);
            rc.SetFont(FAppearance->AMPMFont());
            TRect upper = Rect(0, 0, wi, hi), lower = Rect(0, hi, wi, 2 * hi);
            rc.DrawText(QStringLiteral("AM"), upper, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
            rc.DrawText(QStringLiteral("PM"), lower, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
            for (int i = 0; i < hi; ++i) {
                FRollOffset = value ? hi - i : i;
                repaint();
                QThread::msleep(10);
            }
            FRollOffset = -1;
        }
    }
    FFaceValid = false;
    Invalidate();
}

// Input -------------------------------------------------------------------------

void TExWatch::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    SetCursor(PtInRect(GetAMPMRect(), Point(x, y)) ? TCursor::crHandPoint : TCursor::crDefault);
}

void TExWatch::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    if (FSettings->Auto())
        return;
    const TPoint c = GetCenter();
    const double r = GetRadius();
    const double dx = x - c.X, dy = y - c.Y;
    const bool inside = r > 0 && (dx * dx + dy * dy) / (r * r) <= 1.0;
    if (!inside) {
        SetMinute(MinuteFromPoint(x, y));
        return;
    }
    if (PtInRect(GetAMPMRect(), Point(x, y))) {
        if (FAnimation)
            SetAM(!FAM);
        FInternalCall = true;
        try {
            const int h = DecodeWatchTime(FTime).Hour;
            FCurrentHourTo = h < 12 ? h + 12 : h - 12;
            SetHour(FCurrentHourTo);
        } catch (...) {
            FInternalCall = false;
            throw;
        }
        FInternalCall = false;
        return;
    }
    SetHour(HourFromPoint(x, y));
}

void TExWatch::HandleKey(int key)
{
    if (FSettings->Auto())
        return;
    const TWatchTime t = DecodeWatchTime(GetDisplayTime());
    auto internalHour = [this](int h) {
        FInternalCall = true;
        try {
            SetHour(h);
        } catch (...) {
            FInternalCall = false;
            throw;
        }
        FInternalCall = false;
    };
    switch (key) {
    case 'A':
        if (t.Hour >= 12)
            SetHour(t.Hour - 12);
        break;
    case 'P':
        if (t.Hour < 12)
            SetHour(t.Hour + 12);
        break;
    case VK_PRIOR:
        if (t.Hour < 23)
            SetHour(t.Hour + 1);
        else
            internalHour(0);
        break;
    case VK_NEXT:
        if (t.Hour > 0)
            SetHour(t.Hour - 1);
        else
            internalHour(23);
        break;
    case VK_HOME:
        internalHour(12);
        break;
    case VK_END:
        SetMinute(0);
        break;
    case VK_LEFT:
        if (t.Minute > 0)
            SetMinute(t.Minute - 1);
        else
            SetTime(EncodeWatchTime(t.Hour == 0 ? 23 : t.Hour - 1, 59, t.Second, t.MSec));
        break;
    case VK_RIGHT:
        if (t.Minute < 59)
            SetMinute(t.Minute + 1);
        else
            SetMinute(0);
        break;
    default:
        break;
    }
}

// Painting ----------------------------------------------------------------------

void TExWatch::Paint()
{
    TCanvas& canvas = Canvas();
    if (FSettings->Auto()) {
        // The live clock's half of the day, settled before the face is drawn.
        const bool am = DecodeWatchTime(GetDisplayTime()).Hour < 12;
        if (am != FAM) {
            FAM = am;
            FFaceValid = false;
        }
    }
    DrawWatch(canvas);
}

void TExWatch::DrawWatch(TCanvas& canvas)
{
    const TRect client = ClientRect();
    if (client.Width() <= 0 || client.Height() <= 0)
        return;
    if (FBKGCache.Width() != client.Width() || FBKGCache.Height() != client.Height()) {
        FBKGCache.SetSize(client.Width(), client.Height());
        FFaceValid = false;
    }
    if (!FFaceValid) {
        TCanvas& cc = FBKGCache.Canvas();
        cc.RemoveClip();
        cc.Brush().SetColor(Color());
        cc.FillRect(client);
        DrawBackground(cc, client);
        DrawTickMarks(cc);
        DrawNumbers(cc);
        DrawAMPM(cc);
        FFaceValid = true;
    }
    canvas.Draw(0, 0, FBKGCache);
    if (FRollOffset >= 0 && !FRoll.Empty()) {
        TRect box = GetAMPMRect();
        TRect inner = box;
        InflateRect(inner, -1, -1);
        const int hi = inner.Height();
        canvas.CopyRect(inner, FRoll.Canvas(), Rect(0, FRollOffset, inner.Width(), FRollOffset + hi));
        canvas.Pen().SetColor(FAppearance->AMPMBorderColor());
        canvas.Pen().SetWidth(1);
        canvas.Brush().SetStyle(bsClear);
        if (FAppearance->AMPMBorderColor() != clNone) {
            if (FAppearance->AMPMFrame() == apRoundRect)
                canvas.RoundRect(box.Left, box.Top, box.Right, box.Bottom, 5, 5);
            else
                canvas.Rectangle(box);
        }
    }
    DrawPointers(canvas);
}

void TExWatch::DrawBackground(TCanvas& canvas, const TRect& client)
{
    const TWatchAppearance& a = *FAppearance;
    const TRect face = a.Shape() == wsCircle ? GetWatchRect() : client;
    const TRect clip = Rect(face.Left - 1, face.Top - 1, face.Right + 2, face.Bottom + 2);
    if (a.Shape() == wsCircle) {
        canvas.SetClipRegion(TRegion::Elliptic(clip));
    } else if (a.Shape() == wsRoundRect) {
        // A rounded region: the rectangle less its four corner arcs.
        const int cw = std::min(20, clip.Width()), ch = std::min(20, clip.Height());
        TRegion region(Rect(clip.Left + cw / 2, clip.Top, clip.Right - cw / 2, clip.Bottom));
        region = region.United(TRegion(Rect(clip.Left, clip.Top + ch / 2, clip.Right, clip.Bottom - ch / 2)));
        region = region.United(TRegion::Elliptic(Rect(clip.Left, clip.Top, clip.Left + cw, clip.Top + ch)));
        region = region.United(TRegion::Elliptic(Rect(clip.Right - cw, clip.Top, clip.Right, clip.Top + ch)));
        region = region.United(TRegion::Elliptic(Rect(clip.Left, clip.Bottom - ch, clip.Left + cw, clip.Bottom)));
        region = region.United(TRegion::Elliptic(Rect(clip.Right - cw, clip.Bottom - ch, clip.Right, clip.Bottom)));
        canvas.SetClipRegion(region);
    }
    if (a.BackgroundColor() != clNone && a.BackgroundColorTo() != clNone) {
        DrawSteppedGradient(canvas, a.BackgroundColor(), a.BackgroundColorTo(), a.BackgroundGradient() == wgRadial,
                            face, 80);
    } else if (a.BackgroundColor() != clNone) {
        canvas.Brush().SetColor(a.BackgroundColor());
        canvas.FillRect(face);
    }
    if (a.BorderColor() != clNone && a.BorderWidth() > 0) {
        canvas.Pen().SetColor(a.BorderColor());
        canvas.Pen().SetWidth(a.BorderWidth());
        canvas.Brush().SetStyle(bsClear);
        if (a.Shape() == wsCircle)
            canvas.Ellipse(face);
        else if (a.Shape() == wsRect)
            canvas.Rectangle(client);
        else
            canvas.RoundRect(client.Left, client.Top, client.Right, client.Bottom, 20, 20);
    }
    canvas.RemoveClip();
    canvas.Pen().SetWidth(1);
    if (!a.Picture().Empty()) {
        TBitmap picture;
        picture.Assign(a.Picture());
        picture.SetTransparent(true);
        picture.SetAutomaticTransparentColor();
        canvas.SetClipRect(client);
        canvas.Draw(client.Left, client.Top, picture);
        canvas.RemoveClip();
    }
}

void TExWatch::DrawTickMarks(TCanvas& canvas)
{
    const TWatchAppearance& a = *FAppearance;
    if (a.TickMarks() == tmNone)
        return;
    const TPoint c = GetCenter();
    const double ro = GetRadius() - a.BorderWidth() / 2;
    if (ro <= 0)
        return;
    auto mark = [&](double degrees, double ri, int shiftX, int shiftY) {
        const double rad = Radians(degrees);
        canvas.MoveTo(Round(c.X + std::cos(rad) * ri) + shiftX, Round(c.Y + std::sin(rad) * ri) + shiftY);
        canvas.LineTo(Round(c.X + std::cos(rad) * ro) + shiftX, Round(c.Y + std::sin(rad) * ro) + shiftY);
    };
    const double hourIn = a.HourMarkLength() > 0 ? ro - a.HourMarkLength() : 0.9 * ro;
    canvas.Pen().SetColor(a.HourColor());
    canvas.Pen().SetWidth(a.HourMarkWidth());
    for (int i = 0; i < 4; ++i) {
        const double deg = i * 90.0;
        if (a.HourMarkStyle() == hmsQuartDblLine) {
            const bool horizontal = i % 2 == 0; // 3 and 9 o'clock
            mark(deg, hourIn, horizontal ? 0 : -2, horizontal ? -2 : 0);
            mark(deg, hourIn, horizontal ? 0 : 2, horizontal ? 2 : 0);
        } else {
            mark(deg, hourIn, 0, 0);
        }
    }
    if (a.TickMarks() == tmAll || a.TickMarks() == tmHours)
        for (int i = 0; i < 12; ++i)
            if (i % 3 != 0)
                mark(i * 30.0, hourIn, 0, 0);
    if (a.TickMarks() == tmAll) {
        const double minuteIn = a.MinuteMarkLength() > 0 ? ro - a.MinuteMarkLength() : 0.95 * ro;
        canvas.Pen().SetColor(a.MinuteColor());
        canvas.Pen().SetWidth(a.MinuteMarkWidth());
        for (int i = 0; i < 60; ++i)
            if (i % 5 != 0)
                mark(i * 6.0, minuteIn, 0, 0);
    }
    canvas.Pen().SetWidth(1);
}

void TExWatch::DrawNumbers(TCanvas& canvas)
{
    const TWatchAppearance& a = *FAppearance;
    if (!FShowNumbers || a.TickMarks() == tmNone || a.TickMarks() == tmHours)
        return;
    const TPoint c = GetCenter();
    const double ro = GetRadius() - a.BorderWidth() / 2;
    if (ro <= 0)
        return;
    const int m = a.HourMarkLength() > 0 ? a.HourMarkLength() : Round(ro - 0.9 * ro) + 2;
    const double rt = ro - 2 * m - 2;
    canvas.SetFont(a.HourFont());
    canvas.Brush().SetStyle(bsClear);
    for (int i = 1; i <= 12; ++i) {
        if (a.TickMarks() == tmQuartHours && i % 3 != 0)
            continue;
        const QString text = QString::number(i);
        const TSize ts = canvas.TextExtent(text);
        const int d = i == 10 ? Round(0.2 * ts.cy) : i == 11 ? Round(0.15 * ts.cy) : 0;
        const double q = rt - d + m / 2;
        const double rad = Radians(i * 30.0);
        canvas.TextOut(c.X + Round(std::sin(rad) * q) - ts.cx / 2, c.Y - Round(std::cos(rad) * q) - ts.cy / 2, text);
    }
}

void TExWatch::DrawAMPM(TCanvas& canvas)
{
    if (!FShowAMPM)
        return;
    const TWatchAppearance& a = *FAppearance;
    TRect box = GetAMPMRect();
    if (a.AMPMColor() == clNone)
        canvas.Brush().SetStyle(bsClear);
    else
        canvas.Brush().SetColor(a.AMPMColor());
    canvas.Pen().SetColor(a.AMPMBorderColor() == clNone ? a.AMPMColor() : a.AMPMBorderColor());
    canvas.Pen().SetWidth(1);
    if (a.AMPMColor() != clNone || a.AMPMBorderColor() != clNone) {
        if (a.AMPMBorderColor() == clNone)
            canvas.Pen().SetStyle(psClear);
        if (a.AMPMFrame() == apRoundRect)
            canvas.RoundRect(box.Left, box.Top, box.Right, box.Bottom, 5, 5);
        else
            canvas.Rectangle(box);
        canvas.Pen().SetStyle(psSolid);
    }
    canvas.Brush().SetStyle(bsClear);
    canvas.SetFont(a.AMPMFont());
    canvas.DrawText(FAM ? QStringLiteral("AM") : QStringLiteral("PM"), box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

void TExWatch::DrawPointers(TCanvas& canvas)
{
    const TWatchAppearance& a = *FAppearance;
    const TWatchTime t = DecodeWatchTime(GetDisplayTime());
    const int h = t.Hour % 12;
    const double ah = h * 30 + t.Minute / 12.0 * 6, am = t.Minute * 6.0, as = t.Second * 6.0;
    const TPoint c = GetCenter();
    const double r = GetRadius();
    auto tip = [&](double angle, double k) {
        const double rad = Radians(angle);
        return Point(Round(c.X + k * r * std::sin(rad)), Round(c.Y - k * r * std::cos(rad)));
    };
    auto tail = [&](double angle, double k) {
        const double rad = Radians(angle);
        return Point(Round(c.X - k * r * std::sin(rad)), Round(c.Y + k * r * std::cos(rad)));
    };
    auto line = [&](TPoint from, TPoint to, int dx, int dy, TColor color, int width) {
        canvas.Pen().SetColor(color);
        canvas.Pen().SetWidth(width);
        canvas.MoveTo(from.X + dx, from.Y + dy);
        canvas.LineTo(to.X + dx, to.Y + dy);
    };
    auto pointer = [&](double angle, double k, int dx, int dy, TColor color) {
        std::vector<TPoint> pts = {tail(angle, 0.1), tail(angle + 90, 0.05), tip(angle, k), tail(angle - 90, 0.05)};
        for (TPoint& p : pts) {
            p.X += dx;
            p.Y += dy;
        }
        canvas.Pen().SetColor(color);
        canvas.Pen().SetWidth(1);
        canvas.Brush().SetColor(color);
        canvas.Polygon(pts);
    };
    // Short lines start at the centre and stop short; arrows add a head.
    const bool shortLine = a.PointerStyle() == psShortLine;
    const double back = shortLine ? 0.0 : 0.1;
    const double hourTip = shortLine ? 0.4 : 0.5, minuteTip = shortLine ? 0.6 : 0.7;
    auto arrowHead = [&](double angle, double k, TColor color) {
        pointer(angle, k, 0, 0, color);
        canvas.Brush().SetColor(color);
        const std::vector<TPoint> head = {tip(angle, k + 0.08), tip(angle - 5, k - 0.04), tip(angle + 5, k - 0.04)};
        canvas.Polygon(head);
    };
    if (a.PointerStyle() == psPointer) {
        if (a.HourPointerShadow() != clNone)
            pointer(ah, 0.5, 1, 3, a.HourPointerShadow());
        pointer(ah, 0.5, 0, 0, a.HourPointer());
        if (a.MinutePointerShadow() != clNone)
            pointer(am, 0.7, 1, 3, a.MinutePointerShadow());
        pointer(am, 0.7, 0, 0, a.MinutePointer());
    } else {
        if (a.HourPointerShadow() != clNone)
            line(tail(ah, back), tip(ah, hourTip - 0.04), -1, 3, a.HourPointerShadow(), a.HourPointerSize());
        if (a.MinutePointerShadow() != clNone)
            line(tail(am, back), tip(am, minuteTip - 0.05), 0, 3, a.MinutePointerShadow(), a.MinutePointerSize());
        line(tail(ah, back), tip(ah, hourTip), 0, 0, a.HourPointer(), a.HourPointerSize());
        line(tail(am, back), tip(am, minuteTip), 0, 0, a.MinutePointer(), a.MinutePointerSize());
        if (a.PointerStyle() == psLineArrow) {
            canvas.Pen().SetWidth(1);
            arrowHead(ah, hourTip, a.HourPointer());
            arrowHead(am, minuteTip, a.MinutePointer());
        }
    }
    if (FSettings->Auto() && FSettings->Second())
        line(tail(as, 0.2), tip(as, 0.9), 0, 0, a.SecondPointer(), a.SecondPointerSize());
    canvas.Pen().SetWidth(1);

    const int n = a.CenterPointSize();
    if (n > 0) {
        const int x1 = Round(c.X - n / 2.0), y1 = Round(c.Y - n / 2.0);
        if (a.CenterPointColor() != clNone) {
            canvas.Pen().SetColor(a.CenterPointColor());
            canvas.Pen().SetWidth(1);
            canvas.Brush().SetColor(a.CenterPointColor());
            canvas.Ellipse(x1, y1, x1 + n, y1 + n);
        }
        int p = 0;
        canvas.Brush().SetStyle(bsClear);
        if (a.CenterPointOuterBorderColor() != clNone) {
            p = Round(0.2 * n);
            canvas.Pen().SetColor(a.CenterPointOuterBorderColor());
            canvas.Pen().SetWidth(p);
            canvas.Ellipse(x1, y1, x1 + n, y1 + n);
        }
        if (a.CenterPointBorderColor() != clNone) {
            const int x2 = Round(c.X - (n - p) / 2.0), y2 = Round(c.Y - (n - p) / 2.0);
            canvas.Pen().SetColor(a.CenterPointBorderColor());
            canvas.Pen().SetWidth(Round(0.1 * n));
            canvas.Ellipse(x2, y2, x2 + n - p, y2 + n - p);
        }
        canvas.Pen().SetWidth(1);
    }
}
