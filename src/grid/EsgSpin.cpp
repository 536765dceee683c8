#include "grid/EsgSpin.h"

#include "grid/ExGrid.h" // DateToText, TimeToText, TextToDate, TextToTime
#include "platform/Messages.h"
#include "platform/Themes.h"
#include "widgets/ExXPVS.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>
#include <QCoreApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QKeySequence>

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>

using namespace platform;

namespace {

constexpr double kEpochJulian = 2415018.5; // 30 December 1899

QChar Sep(QChar c, char16_t fallback) { return c.isNull() ? QChar(fallback) : c; }

} // namespace

QDate SpinDateOf(TDateTime value)
{
    return QDate::fromJulianDay(static_cast<qint64>(std::floor(value + kEpochJulian + 0.5)));
}

TDateTime SpinDateTimeOf(const QDate& date, double timeOfDay)
{
    return static_cast<double>(date.toJulianDay()) - kEpochJulian - 0.5 + timeOfDay;
}

// ---------------------------------------------------------------------------
// One spin button
// ---------------------------------------------------------------------------

TExTimerSpeedButton::TExTimerSpeedButton(QWidget* parent, const TSpinButtonColors* colors,
                                         TButtonDirection direction)
    : QToolButton(parent), FColors(colors), FButtonDirection(direction)
{
    SetButtonDirection(direction);
}

void TExTimerSpeedButton::SetButtonDirection(TButtonDirection v)
{
    FButtonDirection = v;
    switch (v) {
    case bdLeft: setArrowType(Qt::LeftArrow); break;
    case bdRight: setArrowType(Qt::RightArrow); break;
    case bdUp: setArrowType(Qt::UpArrow); break;
    case bdDown: setArrowType(Qt::DownArrow); break;
    }
    update();
}

void TExTimerSpeedButton::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    update();
}

void TExTimerSpeedButton::enterEvent(QEnterEvent* e)
{
    QToolButton::enterEvent(e);
    FHasMouse = true;
    update();
}

void TExTimerSpeedButton::leaveEvent(QEvent* e)
{
    QToolButton::leaveEvent(e);
    FHasMouse = false;
    update();
}

void TExTimerSpeedButton::paintEvent(QPaintEvent* e)
{
    const bool down = isDown();
    if (FColors && FColors->ButtonColor != clNone) {
        QPainter painter(this);
        TCanvas canvas;
        canvas.BindPainter(&painter, width(), height());
        RunGuarded([&] {
            // A state without its own colour keeps the plain one.
            TColor fill = FColors->ButtonColor;
            if (down && FColors->ButtonColorDown != clNone)
                fill = FColors->ButtonColorDown;
            else if (!down && FHasMouse && FColors->ButtonColorHot != clNone)
                fill = FColors->ButtonColorHot;
            const TRect r = Rect(0, 0, width(), height());
            canvas.Brush().SetStyle(TBrushStyle::bsSolid);
            canvas.Brush().SetColor(fill);
            canvas.Pen().SetColor(fill);
            canvas.Rectangle(r);
            const int L = r.Left, T = r.Top;
            std::vector<TPoint> tri;
            switch (FButtonDirection) {
            case bdLeft: tri = {{L + 5, T + 5}, {L + 3, T + 7}, {L + 5, T + 9}}; break;
            case bdRight: tri = {{L + 3, T + 5}, {L + 5, T + 7}, {L + 3, T + 9}}; break;
            case bdUp: tri = {{L + 4, T + 4}, {L + 8, T + 4}, {L + 6, T + 2}}; break;
            case bdDown: tri = {{L + 4, T + 2}, {L + 8, T + 2}, {L + 6, T + 4}}; break;
            }
            canvas.Brush().SetColor(clBlack);
            canvas.Pen().SetColor(clBlack);
            canvas.Polygon(tri);
        });
        return;
    }
    // The platform's styles have no horizontal spin parts: those buttons
    // keep the platform's arrow button.
    if (FIsWinXP && ExXPVS::ThemesAvailable() && (FButtonDirection == bdUp || FButtonDirection == bdDown)) {
        QPainter painter(this);
        TCanvas canvas;
        canvas.BindPainter(&painter, width(), height());
        bool drawn = false;
        RunGuarded([&] {
            HTHEME theme = ExXPVS::OpenThemeData(parentWidget(), QStringLiteral("spin"));
            const bool upPart = FButtonDirection == bdUp;
            const int state = down ? (upPart ? UPS_PRESSED : DNS_PRESSED)
                              : FHasMouse ? (upPart ? UPS_HOT : DNS_HOT)
                                          : (upPart ? UPS_NORMAL : DNS_NORMAL);
            drawn = ExXPVS::DrawThemeBackground(theme, canvas, upPart ? SPNP_UP : SPNP_DOWN, state,
                                                Rect(0, 0, width(), height()));
            ExXPVS::CloseThemeData(theme);
        });
        if (drawn)
            return;
    }
    QToolButton::paintEvent(e);
}

// ---------------------------------------------------------------------------
// The spin edit
// ---------------------------------------------------------------------------

TEsgSpinEdit::TEsgSpinEdit(QWidget* parent)
    : TEdit(parent), FUpButton(new TExTimerSpeedButton(this, &FButtonColors, bdUp)),
      FDownButton(new TExTimerSpeedButton(this, &FButtonColors, bdDown))
{
    for (QToolButton* b : {FUpButton, FDownButton}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setCursor(Qt::ArrowCursor);
        // Held, a button clicks on press, after 400 ms and then every 100 ms.
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(100);
        b->setAutoRaise(false);
    }
    QObject::connect(FUpButton, &QToolButton::clicked, this, [this] { RunGuarded([this] { UpButtonClick(); }); });
    QObject::connect(FDownButton, &QToolButton::clicked, this, [this] { RunGuarded([this] { DownButtonClick(); }); });
    setTextMargins(0, 0, ButtonWidth + 2, 0);
    SetText(QStringLiteral("0"));
    LayoutButtons();
}

void TEsgSpinEdit::RepaintButtons()
{
    FUpButton->update();
    FDownButton->update();
}

void TEsgSpinEdit::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    FUpButton->SetIsWinXP(v);
    FDownButton->SetIsWinXP(v);
}

// ---------------------------------------------------------------------------
// Bounds
// ---------------------------------------------------------------------------

int TEsgSpinEdit::ClampInt(int v) const
{
    if (FMinValue == FMaxValue)
        return v;
    return std::clamp(v, std::min(FMinValue, FMaxValue), std::max(FMinValue, FMaxValue));
}

double TEsgSpinEdit::ClampFloat(double v) const
{
    if (FMinFloatValue == FMaxFloatValue)
        return v;
    return std::clamp(v, std::min(FMinFloatValue, FMaxFloatValue), std::max(FMinFloatValue, FMaxFloatValue));
}

TDateTime TEsgSpinEdit::ClampDate(TDateTime v) const
{
    if (FMinDateValue == FMaxDateValue)
        return v;
    return std::clamp(v, std::min(FMinDateValue, FMaxDateValue), std::max(FMinDateValue, FMaxDateValue));
}

// ---------------------------------------------------------------------------
// Values
// ---------------------------------------------------------------------------

int TEsgSpinEdit::Value() const
{
    const QString t = Text().trimmed();
    if (t.isEmpty())
        return 0;
    bool ok = false;
    const int v = t.toInt(&ok);
    return ok ? v : FMinValue;
}

void TEsgSpinEdit::SetValue(int v)
{
    SetText(QString::number(ClampInt(v)));
    if (!FEditorEnabled)
        selectAll();
}

double TEsgSpinEdit::FloatValue() const
{
    const TRegionalSettings rs = RegionalSettings();
    QString t = Text().trimmed();
    t.replace(Sep(rs.DecimalSeparator, u'.'), u'.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok && std::isfinite(v) ? v : FMinFloatValue;
}

void TEsgSpinEdit::SetFloatValue(double v)
{
    v = ClampFloat(v);
    QString t = FPrecision > 0 ? QString::number(v, 'f', FPrecision) : QString::number(v, 'g', 15);
    t.replace(u'.', Sep(RegionalSettings().DecimalSeparator, u'.'));
    SetText(t);
}

TDateTime TEsgSpinEdit::DateValue() const
{
    const QString t = Text().trimmed();
    if (t.isEmpty() || t == u"0") {
        const QDateTime now = QDateTime::currentDateTime();
        return SpinDateTimeOf(now.date(), now.time().msecsSinceStartOfDay() / 86400000.0);
    }
    try {
        return TextToDate(t);
    } catch (const std::invalid_argument&) {
        return FMinDateValue;
    }
}

void TEsgSpinEdit::SetDateValue(TDateTime v)
{
    FDateValue = v;
    WriteKeepingCaret(DateToText(ClampDate(v)));
}

TDateTime TEsgSpinEdit::TimeValue() const
{
    try {
        return TextToTime(Text());
    } catch (const std::invalid_argument&) {
        return 0;
    }
}

void TEsgSpinEdit::SetTimeValue(TDateTime v)
{
    FTimeValue = v;
    v = ClampDate(v);
    if (FShowSeconds) {
        WriteKeepingCaret(TimeToText(v));
        return;
    }
    const double frac = v - std::floor(v);
    const int minutes = static_cast<int>(std::llround(frac * 1440.0)) % 1440;
    WriteKeepingCaret(QStringLiteral("%1%2%3")
                          .arg(minutes / 60)
                          .arg(Sep(RegionalSettings().TimeSeparator, u':'))
                          .arg(minutes % 60, 2, 10, QChar(u'0')));
}

void TEsgSpinEdit::WriteKeepingCaret(const QString& text)
{
    const int caret = cursorPosition();
    SetText(text);
    setCursorPosition(std::min(caret, static_cast<int>(text.size())));
}

void TEsgSpinEdit::SetSpinType(TEsgSpinType v)
{
    FSpinType = v;
    // The value of the new kind is read and written back: the text is normalised.
    switch (v) {
    case sptNormal: SetValue(Value()); break;
    case sptFloat: SetFloatValue(FloatValue()); break;
    case sptDate: SetDateValue(DateValue()); break;
    case sptTime: SetTimeValue(TimeValue()); break;
    }
}

void TEsgSpinEdit::SetPrecision(int v)
{
    FPrecision = std::max(0, v);
    if (FSpinType == sptFloat)
        SetFloatValue(FloatValue());
}

void TEsgSpinEdit::ClampToBounds()
{
    switch (FSpinType) {
    case sptNormal:
        if (ClampInt(Value()) != Value())
            SetValue(Value());
        break;
    case sptFloat:
        if (ClampFloat(FloatValue()) != FloatValue())
            SetFloatValue(FloatValue());
        break;
    case sptDate:
        if (ClampDate(DateValue()) != DateValue())
            SetDateValue(DateValue());
        break;
    case sptTime:
        if (ClampDate(TimeValue()) != TimeValue())
            SetTimeValue(TimeValue());
        break;
    }
}

// ---------------------------------------------------------------------------
// Stepping
// ---------------------------------------------------------------------------

void TEsgSpinEdit::StepUp(bool page) { Step(true, page); }

void TEsgSpinEdit::StepDown(bool page) { Step(false, page); }

void TEsgSpinEdit::Step(bool up, bool page)
{
    if (ReadOnly()) {
        QApplication::beep();
        return;
    }
    switch (FSpinType) {
    case sptNormal: {
        // Past the ends of int the value stays at the end.
        const long long v = static_cast<long long>(Value()) + (up ? FIncrement : -static_cast<long long>(FIncrement));
        SetValue(static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)));
        break;
    }
    case sptFloat: {
        const double inc = page ? FIncrementFloatPage : FIncrementFloat;
        SetFloatValue(FloatValue() + (up ? inc : -inc));
        break;
    }
    case sptDate: StepDate(up); break;
    case sptTime: StepTime(up); break;
    }
}

void TEsgSpinEdit::StepDate(bool up)
{
    const TRegionalSettings rs = RegionalSettings();
    const QString format = rs.ShortDateFormat.isEmpty() ? QStringLiteral("dd/MM/yyyy") : rs.ShortDateFormat;
    const bool usDates = format.indexOf(u'M') >= 0 && format.indexOf(u'M') < format.indexOf(u'd');
    const QString t = Text();
    const QChar sep = Sep(rs.DateSeparator, u'/');
    const int p1 = static_cast<int>(t.indexOf(sep));
    const int p2 = p1 < 0 ? -1 : static_cast<int>(t.indexOf(sep, p1 + 1));
    const int caret = cursorPosition();
    enum { Day, Month, Year } field = Year;
    if (p1 >= 0 && caret <= p1)
        field = usDates ? Month : Day;
    else if (p2 >= 0 && caret <= p2)
        field = usDates ? Day : Month;
    const TDateTime value = DateValue();
    const QDate d = SpinDateOf(value);
    const double timeOfDay = value - std::floor(value);
    const int n = up ? 1 : -1;
    // Calendar steps keep the day inside the month reached: 29 February
    // a year on is 28 February.
    QDate next = field == Day ? d.addDays(n) : field == Month ? d.addMonths(n) : d.addYears(n);
    if (!next.isValid())
        return; // beyond the calendar: the value stays
    SetDateValue(SpinDateTimeOf(next, timeOfDay));
}

void TEsgSpinEdit::StepTime(bool up)
{
    const QString t = Text();
    const QChar sep = Sep(RegionalSettings().TimeSeparator, u':');
    const int p1 = static_cast<int>(t.indexOf(sep));
    const int p2 = p1 < 0 ? -1 : static_cast<int>(t.indexOf(sep, p1 + 1));
    const int caret = cursorPosition();
    double amount = FIncrementMinutes / 1440.0;
    if (p1 >= 0 && caret <= p1)
        amount = FIncrementHours / 24.0;
    else if (FShowSeconds && p2 >= 0 && caret > p2)
        amount = FIncrementSeconds / 86400.0;
    double v = TimeValue();
    if (up) {
        v += amount;
    } else {
        v = v + 1 - amount;
        if (v > 1)
            v -= 1;
    }
    // Only the time of day shows.
    v -= std::floor(v);
    SetTimeValue(v);
}

// ---------------------------------------------------------------------------
// Typing
// ---------------------------------------------------------------------------

bool TEsgSpinEdit::AcceptsChar(QChar c) const
{
    const TRegionalSettings rs = RegionalSettings();
    const QChar d = Sep(rs.DecimalSeparator, u'.');
    const QChar t = rs.ThousandSeparator;
    const QChar s = Sep(rs.TimeSeparator, u':');
    const QChar a = Sep(rs.DateSeparator, u'/');
    if (c == u'\b')
        return FEditorEnabled;
    const bool control = c.unicode() < 32 && c != u'\r';
    bool ok = c == d || (!t.isNull() && c == t) || c == s || c == a || c.isDigit() || c == u'-' || control;
    const bool numeric = FSpinType == sptNormal || FSpinType == sptFloat;
    auto plainSep = [&](QChar sepChar) {
        return numeric && (sepChar == d || sepChar == t || sepChar == u'-' || sepChar == u'+');
    };
    if (ok && c == s && FSpinType != sptTime)
        ok = plainSep(s);
    if (ok && c == a && FSpinType != sptDate)
        ok = plainSep(a);
    const QString text = Text();
    const int caret = cursorPosition();
    if (ok && c == u'-') {
        const bool selHoldsMinus = selectedText().contains(u'-');
        ok = caret == 0 && (!text.contains(u'-') || selHoldsMinus);
        if (hasSelectedText() && selectionStart() == 0)
            ok = !text.contains(u'-') || selHoldsMinus;
    }
    if (FSpinType == sptNormal && !control)
        ok = ok && (c.isDigit() || c == u'-');
    if (FSpinType == sptFloat && !control && ok) {
        if (!t.isNull() && c == t && c != d)
            ok = false;
        if (c == d) {
            QString outside = text;
            if (hasSelectedText())
                outside.remove(selectionStart(), selectedText().size());
            if (outside.contains(d))
                ok = false;
        }
        const int dp = static_cast<int>(text.indexOf(d));
        if (ok && FPrecision > 0 && dp >= 0 && caret > dp && !hasSelectedText())
            ok = text.size() - dp - 1 < FPrecision;
    }
    if (FSpinType == sptTime && ok && c == s && text.count(s) >= 2)
        ok = false;
    if (!FEditorEnabled && !control)
        ok = false;
    return ok;
}

void TEsgSpinEdit::keyPressEvent(QKeyEvent* e)
{
    // Cut and paste change the text: only while typing is allowed.
    if ((e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Cut)) && (!FEditorEnabled || isReadOnly())) {
        e->accept();
        return;
    }
    switch (e->key()) {
    case Qt::Key_Up: RunGuarded([this] { StepUp(false); }); e->accept(); return;
    case Qt::Key_Down: RunGuarded([this] { StepDown(false); }); e->accept(); return;
    case Qt::Key_PageUp: RunGuarded([this] { StepUp(true); }); e->accept(); return;
    case Qt::Key_PageDown: RunGuarded([this] { StepDown(true); }); e->accept(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (FReturnIsTab) {
            QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
            e->accept();
            return;
        }
        break;
    case Qt::Key_Delete:
        if (!FEditorEnabled) {
            e->accept();
            return;
        }
        break;
    default: break;
    }
    const QString typed = e->text();
    const bool typing = !typed.isEmpty() && (typed[0].isPrint() || typed[0] == u'\b') &&
                        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (typing && FExcelStyleDecimalSeparator && typed == QLatin1String(".") &&
        (e->modifiers() & Qt::KeypadModifier)) {
        const QString sep(Sep(RegionalSettings().DecimalSeparator, u'.'));
        if (sep != typed) {
            QKeyEvent local(e->type(), e->key(), e->modifiers(), sep, e->isAutoRepeat(), 1);
            keyPressEvent(&local);
            e->setAccepted(local.isAccepted());
            return;
        }
    }
    if (typing && !AcceptsChar(typed[0])) {
        QApplication::beep();
        e->accept();
        return;
    }
    TEdit::keyPressEvent(e);
}

void TEsgSpinEdit::focusOutEvent(QFocusEvent* e)
{
    RunGuarded([this] { ClampToBounds(); });
    TEdit::focusOutEvent(e);
}

void TEsgSpinEdit::resizeEvent(QResizeEvent* e)
{
    TEdit::resizeEvent(e);
    LayoutButtons();
}

void TEsgSpinEdit::LayoutButtons()
{
    const QRect r = rect();
    const int x = r.width() - ButtonWidth - 1;
    const int h = std::max(2, r.height() - 2);
    FUpButton->setGeometry(x, 1, ButtonWidth, h / 2);
    FDownButton->setGeometry(x, 1 + h / 2, ButtonWidth, h - h / 2);
}
