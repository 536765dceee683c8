#include "controls/ExTimePickerDropDown.h"

#include "platform/Controls.h"

#include <QApplication>
#include <QKeyEvent>

using namespace platform;

namespace {

Qt::KeyboardModifiers ModifiersOf(TShiftState shift)
{
    Qt::KeyboardModifiers mods;
    if (shift & ssAlt)
        mods |= Qt::AltModifier;
    if (shift & ssShift)
        mods |= Qt::ShiftModifier;
    if (shift & ssCtrl)
        mods |= Qt::ControlModifier;
    return mods;
}

QChar TimeSep()
{
    const QChar sep = RegionalSettings().TimeSeparator;
    return sep.isNull() ? QChar(':') : sep;
}

// Empty, or one or two characters of which the first (and the second, when
// there is one) is a digit; the edit gives each part at most two.
bool IsTimePart(const QString& s)
{
    if (s.isEmpty())
        return true;
    if (!s[0].isDigit())
        return false;
    return s.size() < 2 || s[1].isDigit();
}

QTime ToQTime(TDateTime t)
{
    const TWatchTime w = DecodeWatchTime(t);
    return QTime(w.Hour, w.Minute, w.Second, w.MSec);
}

TDateTime FromQTime(const QTime& t)
{
    return EncodeWatchTime(t.hour(), t.minute(), t.second(), t.msec());
}

} // namespace

std::optional<TTypedTime> ParseTypedTime(const QString& text, bool showSeconds, QChar sep)
{
    if (text.trimmed().size() != (showSeconds ? 8 : 5))
        return std::nullopt;
    const int p1 = text.indexOf(sep);
    if (p1 < 0)
        return std::nullopt;
    const QString rest = text.mid(p1 + 1).trimmed();
    const int p2 = rest.indexOf(sep);
    if ((p2 >= 0) != showSeconds)
        return std::nullopt;
    if (p2 >= 0 && rest.mid(p2 + 1).contains(sep))
        return std::nullopt;
    QString t = text;
    t.replace(QChar(' '), QChar('0'));
    const QString hourText = t.left(p1).trimmed();
    QString minuteText = t.mid(p1 + 1).trimmed();
    QString secondText;
    if (showSeconds) {
        const int q = minuteText.indexOf(sep);
        secondText = minuteText.mid(q + 1).trimmed();
        minuteText = minuteText.left(q).trimmed();
    }
    if (!IsTimePart(hourText) || !IsTimePart(minuteText) || (showSeconds && !IsTimePart(secondText)))
        return std::nullopt;
    TTypedTime r;
    r.Hour = hourText.isEmpty() ? 0 : hourText.left(2).toInt();
    r.Minute = minuteText.isEmpty() ? 0 : minuteText.left(2).toInt();
    r.Second = secondText.isEmpty() ? 0 : secondText.left(2).toInt();
    // A part longer than two characters is not a time text.
    if (hourText.size() > 2 || minuteText.size() > 2 || secondText.size() > 2)
        return std::nullopt;
    return r;
}

QString FormatTypedTime(int hour, int minute, int second, bool showSeconds, QChar sep)
{
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QChar('0')); };
    QString s = two(hour) + sep + two(minute);
    if (showSeconds)
        s += sep + two(second);
    return s;
}

QString TExTimePickerDropDown::EditMaskFor(bool showSeconds, QChar sep)
{
    // A separator that is a mask letter is taken as it is.
    const QString meta = QStringLiteral("AaNnXx90Dd#HhBb><![]{}\\;");
    const QString s = meta.contains(sep) ? QStringLiteral("\\") + sep : QString(sep);
    return showSeconds ? QStringLiteral("!90") + s + QStringLiteral("00") + s + QStringLiteral("00; ")
                       : QStringLiteral("!90") + s + QStringLiteral("00; ");
}

void TExTimePickerDropDown::ApplyEditMask()
{
    setInputMask(EditMaskFor(FShowSeconds, TimeSep()));
}

TExTimePickerDropDown::TExTimePickerDropDown(QWidget* parent)
    : TExCustomDropDown(parent), FWatchAppearance(std::make_unique<TWatchAppearance>()),
      FWatchSettings(std::make_unique<TWatchSettings>())
{
    SetEditorEnabled(false);
    FShowSeconds = true;
    FInternalCall = true;
    const QChar sep = TimeSep();
    ApplyEditMask();
    SetRawText(QStringLiteral("00") + sep + QStringLiteral("00") + sep + QStringLiteral("00"));
    FInternalCall = false;
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
}

TExTimePickerDropDown::~TExTimePickerDropDown() = default;

QString TExTimePickerDropDown::TimeText(TDateTime t) const
{
    const TWatchTime w = DecodeWatchTime(t);
    return FormatTypedTime(w.Hour, w.Minute, w.Second, FShowSeconds, TimeSep());
}

void TExTimePickerDropDown::SetTime(TDateTime value)
{
    if (value == FTime)
        return;
    FTime = value;
    // Not internal: the new text is read back, so a hidden seconds part drops.
    SetRawText(TimeText(value));
    if (DroppedDown() && FExWatch) {
        FExWatch->SetTime(FTime);
        if (FShowTimePicker && FDateTimePicker)
            FDateTimePicker->SetTime(ToQTime(FTime));
    }
}

void TExTimePickerDropDown::SetShowSeconds(bool v)
{
    if (v == FShowSeconds)
        return;
    FShowSeconds = v;
    FInternalCall = true;
    setInputMask(QString());
    SetText(QString());
    ApplyEditMask();
    FInternalCall = false;
    // Forces the text to be formatted anew for the new setting.
    const TDateTime t = FTime;
    FTime = t + 1;
    SetTime(t);
}

void TExTimePickerDropDown::SetComponentStyle(TQRVStyle style)
{
    TExCustomDropDown::SetComponentStyle(style);
    ApplyWatchComponentStyle(*FWatchAppearance, style);
}

// Typing -------------------------------------------------------------------------

void TExTimePickerDropDown::Change()
{
    TExCustomDropDown::Change();
    if (FInternalCall)
        return;
    const QChar sep = TimeSep();
    const std::optional<TTypedTime> typed = ParseTypedTime(MaskedText(), FShowSeconds, sep);
    if (!typed)
        return;
    // A part out of range keeps the old time and text.
    if (typed->Hour > 23 || typed->Minute > 59 || typed->Second > 59)
        return;
    FTime = EncodeWatchTime(typed->Hour, typed->Minute, typed->Second, 0);
    const QString formatted = FormatTypedTime(typed->Hour, typed->Minute, typed->Second, FShowSeconds, sep);
    if (formatted != MaskedText() && typed->Minute == 0 && typed->Second == 0) {
        FInternalCall = true;
        SetText(formatted);
        FInternalCall = false;
    }
}

void TExTimePickerDropDown::KeyDown(int& key, TShiftState shift)
{
    TExCustomDropDown::KeyDown(key, shift);
    if ((shift & ssAlt) || (shift & ssCtrl) || (key != VK_UP && key != VK_DOWN))
        return;
    const QString text = MaskedText();
    const int c = cursorPosition();
    const QChar sep = TimeSep();
    const TWatchTime t = DecodeWatchTime(FTime);
    const int p1 = text.indexOf(sep) + 1;
    const bool up = key == VK_UP;
    if (c < p1) {
        SetHourValue(up ? (t.Hour == 0 ? 23 : t.Hour - 1) : (t.Hour == 23 ? 0 : t.Hour + 1));
    } else {
        const int p2 = text.mid(p1).indexOf(sep) + 1;
        if (p2 > 0 && c - p1 >= p2 && FShowSeconds)
            SetSecondValue(up ? (t.Second == 0 ? 59 : t.Second - 1) : (t.Second == 59 ? 0 : t.Second + 1));
        else
            SetMinuteValue(up ? (t.Minute == 0 ? 59 : t.Minute - 1) : (t.Minute == 59 ? 0 : t.Minute + 1));
    }
    setCursorPosition(c);
    key = 0;
}

void TExTimePickerDropDown::SetPart(int hour, int minute, int second)
{
    const TWatchTime t = DecodeWatchTime(FTime);
    SetTime(EncodeWatchTime(hour, minute, second, t.MSec));
    if (OnTimeChange)
        OnTimeChange(this);
}

void TExTimePickerDropDown::SetHourValue(int v)
{
    const TWatchTime t = DecodeWatchTime(FTime);
    if (v != t.Hour && v >= 0 && v < 24)
        SetPart(v, t.Minute, t.Second);
}

void TExTimePickerDropDown::SetMinuteValue(int v)
{
    const TWatchTime t = DecodeWatchTime(FTime);
    if (v != t.Minute && v >= 0 && v < 60)
        SetPart(t.Hour, v, t.Second);
}

void TExTimePickerDropDown::SetSecondValue(int v)
{
    const TWatchTime t = DecodeWatchTime(FTime);
    if (v != t.Second && v >= 0 && v < 60)
        SetPart(t.Hour, t.Minute, v);
}

// Popup ----------------------------------------------------------------------------

void TExTimePickerDropDown::CreateDropDownForm()
{
    TExCustomDropDown::CreateDropDownForm();
    if (!DropDownForm())
        return;
    if (!FPanelCtrl) {
        FPanelCtrl = new TPanel(DropDownForm());
        FPanelCtrl->SetBevelOuter(TBevelCut::bvNone);
        FPanelCtrl->SetBevelInner(TBevelCut::bvNone);
        FPanelCtrl->SetBorderWidth(0);
        FPanelCtrl->setFocusPolicy(Qt::NoFocus);
        FPanelCtrl->SetBounds(0, 0, 170, 180);
    }
    if (!FExWatch) {
        FExWatch = new TExWatch(FPanelCtrl);
        FExWatch->setFocusPolicy(Qt::NoFocus);
        FExWatch->SetAlign(TAlign::alClient);
    }
    SetControl(FPanelCtrl);
}

void TExTimePickerDropDown::BeforeDropDown()
{
    if (!FExWatch)
        CreateDropDownForm();
    TExCustomDropDown::BeforeDropDown();
    FPanelCtrl->SetBounds(FPanelCtrl->Left(), FPanelCtrl->Top(), 170, 170);
    DropDownForm()->SetCancelOnDeActivate(false);
    FPanelCtrl->SetColor(DropDownColor());
    FExWatch->SetAppearance(*FWatchAppearance);
    FExWatch->SetSettings(*FWatchSettings);
    FExWatch->SetShowAMPM(FShowWatchAMPM);
    FExWatch->SetShowNumbers(FShowWatchNumbers);
    FExWatch->SetAnimation(FAnimation);
    FExWatch->SetAnimationFactor(FAnimationFactor);
    FOpenTime = FTime;
    FExWatch->OnChange = nullptr;
    if (!FWatchSettings->Auto())
        FExWatch->SetTime(FTime);
    FExWatch->OnChange = [this](QObject*) { WatchChanged(); };
    if (!FShowTimePicker) {
        if (FDateTimePicker)
            FDateTimePicker->hide();
        return;
    }
    if (!FDateTimePicker) {
        FDateTimePicker = new TDateTimePicker(FPanelCtrl);
        FDateTimePicker->SetKind(dtkTime);
    }
    FDateTimePicker->OnChange = nullptr;
    FDateTimePicker->SetAlign(alBottom);
    FDateTimePicker->show();
    FDateTimePicker->SetTime(ToQTime(FTime));
    FDateTimePicker->raise();
    FDateTimePicker->OnChange = [this](QObject*) { TimePickerChanged(); };
    // The picker's key-down carries no character: that comes with its key press.
    FDateTimePicker->OnKeyDown = [this](QObject*, int& key, TShiftState shift) {
        QKeyEvent relay(QEvent::KeyPress, QtKeyFromVirtualKey(key), ModifiersOf(shift));
        if (ControlKeyDown(&relay))
            key = 0;
    };
    FDateTimePicker->OnKeyPress = [this](QObject*, QChar& key) { ControlKeyPress(key); };
    FDateTimePicker->OnKeyUp = [this](QObject*, int& key, TShiftState shift) {
        QKeyEvent relay(QEvent::KeyRelease, QtKeyFromVirtualKey(key), ModifiersOf(shift));
        ControlKeyUp(&relay);
    };
    FDateTimePicker->SetFormat(FShowSeconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    FPanelCtrl->SetBounds(FPanelCtrl->Left(), FPanelCtrl->Top(), 170, FDateTimePicker->Height() + 170);
}

void TExTimePickerDropDown::WatchChanged()
{
    if (!FExWatch)
        return;
    if (FDateTimePicker && FShowTimePicker && FDateTimePicker->Time() != ToQTime(FExWatch->Time())) {
        FDateTimePicker->SetTime(ToQTime(FExWatch->Time()));
        if (OnTimeChange)
            OnTimeChange(this);
    }
    SetTime(FExWatch->Time());
}

void TExTimePickerDropDown::TimePickerChanged()
{
    if (FDateTimePicker && FExWatch && !FWatchSettings->Auto())
        FExWatch->SetTime(FromQTime(FDateTimePicker->Time()));
}

void TExTimePickerDropDown::DoHideDropDown(bool cancel)
{
    TExCustomDropDown::DoHideDropDown(cancel);
    if (!FExWatch)
        return;
    if (cancel) {
        // The popup's changes reached Time on the way up; a cancel returns to
        // the time the popup opened with, text included.
        FTime = FOpenTime + 1;
        SetTime(FOpenTime);
        FExWatch->SetTime(FTime);
    } else
        SetTime(FExWatch->Time());
}

void TExTimePickerDropDown::AfterDropUp()
{
    TExCustomDropDown::AfterDropUp();
    if (FExWatch)
        SetTime(FExWatch->Time());
}

void TExTimePickerDropDown::DropDownKeyDown(QKeyEvent* e)
{
    const int key = VirtualKeyFromQt(e->key());
    const bool alt = (e->modifiers() & Qt::AltModifier) != 0;
    // Page keys and Up/Down belong to the watch while the popup is open.
    const bool heldBack = !alt && (key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN);
    if (!heldBack)
        TExCustomDropDown::DropDownKeyDown(e);
    if (FExWatch && DropDownForm() && DropDownForm()->isVisible())
        FExWatch->HandleKey(key);
}

namespace {

// Page Up, Page Down, Up and Down without Alt: the popup's own keys.
bool HeldBack(int key, TShiftState shift)
{
    return !(shift & ssAlt) && (key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN);
}

} // namespace

void TExTimePickerDropDown::DropDownKeyUp(QKeyEvent* e)
{
    if (!HeldBack(VirtualKeyFromQt(e->key()), ShiftStateFromQt(e->modifiers())))
        TExCustomDropDown::DropDownKeyUp(e);
}

void TExTimePickerDropDown::ControlKeyUp(QKeyEvent* e)
{
    if (!HeldBack(VirtualKeyFromQt(e->key()), ShiftStateFromQt(e->modifiers())))
        TExCustomDropDown::ControlKeyUp(e);
}

bool TExTimePickerDropDown::ControlKeyDown(QKeyEvent* e)
{
    if (HeldBack(VirtualKeyFromQt(e->key()), ShiftStateFromQt(e->modifiers())))
        return false;
    return TExCustomDropDown::ControlKeyDown(e);
}

void TExTimePickerDropDown::ControlKeyPress(QChar& key)
{
    KeyPress(key);
    if (key.isNull() || !EditorEnabled())
        return;
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(key));
    HandleKeyPress(&typed);
}

bool TExTimePickerDropDown::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Control() && (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) &&
        FDateTimePicker) {
        const QWidget* focus = QApplication::focusWidget();
        if (focus && (focus == FDateTimePicker || FDateTimePicker->isAncestorOf(focus)))
            return false;
    }
    return TExCustomDropDown::eventFilter(watched, e);
}
