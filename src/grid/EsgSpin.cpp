#include "grid/EsgSpin.h"

#include "grid/ExGrid.h" // DateToText, TimeToText, TextToDate, TextToTime
#include "platform/Messages.h"
#include "platform/Themes.h"
#include "widgets/ExUtil.h" // LoadBitmapResource
#include "widgets/ExXPVS.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>
#include <QCoreApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QTimer>

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

namespace {

constexpr int InitRepeatPause = 400;
constexpr int RepeatPause = 100;

platform::TBitmap DefaultGlyph(TButtonDirection direction)
{
    platform::TBitmap b;
    RegisterExGridResources();
    try {
        LoadBitmapResource(b, direction == bdDown || direction == bdLeft ? QStringLiteral("EsgSpinDown")
                                                                          : QStringLiteral("EsgSpinUp"));
    } catch (const std::exception&) {
        // Without its picture the button shows a plain face.
    }
    b.SetTransparent(true);
    return b;
}

} // namespace

TExTimerSpeedButton::TExTimerSpeedButton(TEsgSpinButton* pair, const TSpinButtonColors* colors,
                                         TButtonDirection direction)
    : QToolButton(pair), FPair(pair), FColors(colors), FButtonDirection(direction)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setAutoRaise(false);
}

void TExTimerSpeedButton::SetButtonDirection(TButtonDirection v)
{
    FButtonDirection = v;
    update();
}

void TExTimerSpeedButton::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    update();
}

void TExTimerSpeedButton::SetFlat(bool v)
{
    FFlat = v;
    update();
}

void TExTimerSpeedButton::SetTransparent(bool v)
{
    FTransparent = v;
    update();
}

void TExTimerSpeedButton::SetGlyph(const TBitmap& v)
{
    FGlyph = v;
    update();
}

void TExTimerSpeedButton::SetNumGlyphs(int v)
{
    FNumGlyphs = std::clamp(v, 1, 4);
    update();
}

void TExTimerSpeedButton::SetFocusRect(bool v)
{
    FFocusRect = v;
    update();
}

void TExTimerSpeedButton::Click()
{
    if (OnClick)
        OnClick(this);
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

void TExTimerSpeedButton::mousePressEvent(QMouseEvent* e)
{
    QToolButton::mousePressEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    FCaptured = true;
    RunGuarded([this] {
        if (FPair)
            FPair->ButtonPressed(this);
        if (FAllowTimer) {
            if (!FRepeatTimer) {
                FRepeatTimer = new QTimer(this);
                QObject::connect(FRepeatTimer, &QTimer::timeout, this, [this] { RunGuarded([this] { TimerExpired(); }); });
            }
            FRepeatTimer->setInterval(InitRepeatPause);
            FRepeatTimer->start();
        }
        if (parentWidget())
            parentWidget()->update();
        Click();
    });
}

void TExTimerSpeedButton::mouseReleaseEvent(QMouseEvent* e)
{
    // The press clicked already: the release only ends the repeat.
    setDown(false);
    QToolButton::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton)
        FCaptured = false;
    if (FRepeatTimer)
        FRepeatTimer->stop();
    if (parentWidget())
        parentWidget()->update();
}

void TExTimerSpeedButton::TimerExpired()
{
    if (!FRepeatTimer)
        return;
    FRepeatTimer->setInterval(RepeatPause);
    if (!isDown() || !FCaptured)
        return;
    try {
        Click();
    } catch (...) {
        FRepeatTimer->stop();
        throw;
    }
}

void TExTimerSpeedButton::PaintSpeedButton(QPainter& painter, bool down)
{
    const QRect r = rect();
    const QPalette pal = palette();
    if (!FTransparent)
        painter.fillRect(r, pal.color(QPalette::Button));
    // Flat: the edge shows only under the mouse or while pressed.
    if (!FFlat || FHasMouse || down) {
        const QColor light = down ? pal.color(QPalette::Dark) : pal.color(QPalette::Light);
        const QColor dark = down ? pal.color(QPalette::Light) : pal.color(QPalette::Dark);
        painter.setPen(light);
        painter.drawLine(r.left(), r.bottom(), r.left(), r.top());
        painter.drawLine(r.left(), r.top(), r.right(), r.top());
        painter.setPen(dark);
        painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
        painter.drawLine(r.right(), r.bottom(), r.left(), r.bottom());
        if (!FFlat && !down) {
            painter.setPen(pal.color(QPalette::Shadow));
            painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
            painter.drawLine(r.right(), r.bottom(), r.left(), r.bottom());
            painter.setPen(pal.color(QPalette::Mid));
            painter.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
            painter.drawLine(r.right() - 1, r.bottom() - 1, r.left() + 1, r.bottom() - 1);
        }
    }
    if (FGlyph.Empty())
        return;
    // The strip: normal, disabled, pressed; a missing one is the normal one.
    const int w = FGlyph.Width() / FNumGlyphs;
    int index = 0;
    if (!isEnabled() && FNumGlyphs > 1)
        index = 1;
    else if (down && FNumGlyphs > 2)
        index = 2;
    const QImage strip = FGlyph.DrawableImage();
    const QImage glyph = strip.copy(index * w, 0, w, strip.height());
    // Without a disabled picture a disabled button shows its glyph faded.
    painter.setOpacity(!isEnabled() && FNumGlyphs < 2 ? 0.4 : 1.0);
    const int shift = down ? 1 : 0;
    painter.drawImage((r.width() - glyph.width()) / 2 + shift, (r.height() - glyph.height()) / 2 + shift, glyph);
    painter.setOpacity(1.0);
}

void TExTimerSpeedButton::paintEvent(QPaintEvent*)
{
    const bool down = isDown();
    QPainter painter(this);
    bool drawn = false;
    if (FColors && FColors->ButtonColor != clNone) {
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
        drawn = true;
    }
    // The platform's styles have no horizontal spin parts: those buttons
    // keep the speed button.
    if (!drawn && FIsWinXP && ExXPVS::ThemesAvailable() && (FButtonDirection == bdUp || FButtonDirection == bdDown)) {
        TCanvas canvas;
        canvas.BindPainter(&painter, width(), height());
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
    }
    if (!drawn)
        RunGuarded([&] { PaintSpeedButton(painter, down); });
    if (FFocusRect && FPair && FPair->hasFocus()) {
        QPen pen(palette().color(QPalette::WindowText), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

// ---------------------------------------------------------------------------
// The pair
// ---------------------------------------------------------------------------

TEsgSpinButton::TEsgSpinButton(QWidget* parent)
    : QWidget(parent), FUpButton(new TExTimerSpeedButton(this, &FColors, bdUp)),
      FDownButton(new TExTimerSpeedButton(this, &FColors, bdDown)), FFocusedButton(FUpButton)
{
    setFocusPolicy(Qt::NoFocus);
    FUpButton->OnClick = [this](TExTimerSpeedButton* b) {
        if (OnUpClick)
            OnUpClick(b);
    };
    FDownButton->OnClick = [this](TExTimerSpeedButton* b) {
        if (OnDownClick)
            OnDownClick(b);
    };
    SetUpGlyph(TBitmap());
    SetDownGlyph(TBitmap());
    resize(15, 25);
    Layout();
}

void TEsgSpinButton::SetUpGlyph(const TBitmap& v)
{
    if (v.Empty()) {
        FUpButton->SetGlyph(DefaultGlyph(bdUp));
        FUpButton->SetNumGlyphs(1);
    } else {
        FUpButton->SetGlyph(v);
    }
}

void TEsgSpinButton::SetDownGlyph(const TBitmap& v)
{
    if (v.Empty()) {
        FDownButton->SetGlyph(DefaultGlyph(bdDown));
        FDownButton->SetNumGlyphs(1);
    } else {
        FDownButton->SetGlyph(v);
    }
}

void TEsgSpinButton::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    FDownButton->SetIsWinXP(v);
    FFocusedButton->SetIsWinXP(v);
}

void TEsgSpinButton::SetDirection(TSpinDirection v)
{
    FDirection = v;
    if (v == spHorizontal) {
        FUpButton->SetButtonDirection(bdRight);
        FDownButton->SetButtonDirection(bdLeft);
        resize(20, height());
    } else {
        FUpButton->SetButtonDirection(bdUp);
        FDownButton->SetButtonDirection(bdDown);
        resize(15, height());
    }
    Layout();
}

void TEsgSpinButton::SetFocusBtn(TExTimerSpeedButton* button)
{
    if (button == FFocusedButton || !isEnabled())
        return;
    FFocusedButton->SetFocusRect(false);
    FFocusedButton = button;
    if (hasFocus())
        FFocusedButton->SetFocusRect(true);
}

void TEsgSpinButton::ButtonPressed(TExTimerSpeedButton* button)
{
    SetFocusBtn(button);
    QWidget* target = FFocusControl;
    if (target && (target->focusPolicy() & Qt::TabFocus) && target->isEnabled() && target->isVisible()) {
        if (!target->hasFocus())
            target->setFocus(Qt::MouseFocusReason);
    } else if (TabStop()) {
        setFocus(Qt::MouseFocusReason);
    }
}

bool TEsgSpinButton::event(QEvent* e)
{
    // The arrow keys are the pair's own: no shortcut of the form takes them.
    if (e->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right) {
            e->accept();
            return true;
        }
    }
    return QWidget::event(e);
}

void TEsgSpinButton::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Space: RunGuarded([this] { FFocusedButton->Click(); }); break;
    case Qt::Key_Up:
        RunGuarded([this] {
            SetFocusBtn(FUpButton);
            FUpButton->Click();
        });
        break;
    case Qt::Key_Down:
        RunGuarded([this] {
            SetFocusBtn(FDownButton);
            FDownButton->Click();
        });
        break;
    default: QWidget::keyPressEvent(e); return;
    }
    e->accept();
}

void TEsgSpinButton::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    FFocusedButton->SetFocusRect(true);
}

void TEsgSpinButton::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    FFocusedButton->SetFocusRect(false);
}

void TEsgSpinButton::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    const int least = FDirection == spVertical ? 15 : 20;
    if (width() < least) {
        resize(least, height());
        return;
    }
    Layout();
}

void TEsgSpinButton::Layout()
{
    const int w = width(), h = height();
    if (FDirection == spVertical) {
        const int half = h / 2;
        FUpButton->setGeometry(0, 0, w, half);
        FDownButton->setGeometry(0, half - 1, w, h - half + 1);
    } else {
        const int half = w / 2;
        FDownButton->setGeometry(0, 0, half, h);
        FUpButton->setGeometry(half + 1, 0, w - half - 1, h);
    }
}

// ---------------------------------------------------------------------------
// The spin edit
// ---------------------------------------------------------------------------

TEsgSpinEdit::TEsgSpinEdit(QWidget* parent) : TEdit(parent), FButton(new TEsgSpinButton(this))
{
    FButton->resize(15, 17);
    FButton->SetFocusControl(this);
    FButton->OnUpClick = [this](QObject*) { UpButtonClick(); };
    FButton->OnDownClick = [this](QObject*) { DownButtonClick(); };
    SetText(QStringLiteral("0"));
    LayoutButtons();
}

void TEsgSpinEdit::RepaintButtons()
{
    FButton->UpButton()->update();
    FButton->DownButton()->update();
}

void TEsgSpinEdit::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    FButton->SetIsWinXP(v);
}

void TEsgSpinEdit::SetDirection(TSpinDirection v)
{
    FButton->SetDirection(v);
    LayoutButtons();
}

void TEsgSpinEdit::SetEditAlign(TEditAlign v)
{
    FEditAlign = v;
    const Qt::Alignment h = v == eaRight ? Qt::AlignRight : v == eaCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    setAlignment(h | Qt::AlignVCenter);
}

void TEsgSpinEdit::SetSpinFlat(bool v)
{
    FSpinFlat = v;
    FButton->UpButton()->SetFlat(v);
    FButton->DownButton()->SetFlat(v);
}

void TEsgSpinEdit::SetSpinTransparent(bool v)
{
    FSpinTransparent = v;
    FButton->UpButton()->SetTransparent(v);
    FButton->DownButton()->SetTransparent(v);
    LayoutButtons();
}

void TEsgSpinEdit::SetBorderSingle(bool v)
{
    setFrame(v);
    LayoutButtons();
}

int TEsgSpinEdit::MinHeight() const
{
    const int own = QFontMetrics(font()).height();
    const int system = QFontMetrics(QApplication::font()).height();
    constexpr int BorderHeight = 1;
    return own + std::min(own, system) / 4 + 2 + (hasFrame() ? 4 * BorderHeight : 0);
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
    // Never lower than a line of its font.
    const int least = MinHeight();
    if (height() < least) {
        resize(width(), least);
        return;
    }
    LayoutButtons();
}

void TEsgSpinEdit::changeEvent(QEvent* e)
{
    TEdit::changeEvent(e);
    if (e->type() == QEvent::FontChange && height() < MinHeight())
        resize(width(), MinHeight());
}

void TEsgSpinEdit::LayoutButtons()
{
    // The pair sits inside the border at the right; the text stops short of it.
    const int border = hasFrame() ? 2 : 0;
    const int w = width(), h = height();
    const int bw = FButton->width();
    if (hasFrame())
        FButton->setGeometry(w - bw - 5 + border, border, bw, std::max(1, h - 5));
    else
        FButton->setGeometry(w - bw - 1, 0, bw, std::max(1, h - 1));
    const int inset = hasFrame() ? 0 : 3;
    setTextMargins(inset, 0, bw + 2 + inset, 0);
}
