#include "controls/ExTrackBarDropDown.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>

#include <stdexcept>

using namespace platform;

namespace {

// The platform's strict integer reading: decimal digits with an optional sign.
int StrictInt(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (!ok || text.isEmpty())
        throw std::invalid_argument("'" + text.toStdString() + "' is not a valid integer value");
    return v;
}

} // namespace

// ---------------------------------------------------------------------------
// TTrackBar
// ---------------------------------------------------------------------------

TTrackBar::TTrackBar(QWidget* parent) : TControlOf<QSlider>(parent)
{
    setOrientation(Qt::Horizontal);
    setTickPosition(QSlider::TicksBelow);
    setRange(0, 10);
    setPageStep(2);
    setTickInterval(1);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QSlider::valueChanged, this, [this] {
        if (OnChange)
            RunGuarded([this] { OnChange(this); });
    });
}

// A minimum above the maximum (or the reverse) is refused, as the platform does.
void TTrackBar::SetMin(int v)
{
    if (v <= maximum())
        setMinimum(v);
}

void TTrackBar::SetMax(int v)
{
    if (v >= minimum())
        setMaximum(v);
}

// ---------------------------------------------------------------------------
// TExTrackBarDropDown
// ---------------------------------------------------------------------------

TExTrackBarDropDown::TExTrackBarDropDown(QWidget* parent) : TExCustomDropDown(parent)
{
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    SetEditType(etNumeric);
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    SetDropDownShadow(true);
}

void TExTrackBarDropDown::CreateDropDownForm()
{
    TExCustomDropDown::CreateDropDownForm();
    if (!DropDownForm())
        return;
    if (!FTrackBar) {
        FTrackBar = new TTrackBar(DropDownForm());
        FTrackBar->SetBounds(0, 0, FTrackBar->Width(), 40);
    }
    FTrackBar->OnChange = [this](QObject*) { TrackBarChange(); };
}

void TExTrackBarDropDown::BeforeDropDown()
{
    // The track bar is made with the first showing.
    if (!FTrackBar)
        CreateDropDownForm();
    TExCustomDropDown::BeforeDropDown();
    DropDownForm()->SetCancelOnDeActivate(false);
    // The range first, so that the position is kept within it.
    FTrackBar->SetMin(FMin);
    FTrackBar->SetMax(FMax);
    FTrackBar->SetMin(FMin);
    FTrackBar->SetPageSize(FPageSize);
    FTrackBar->SetFrequency(FFrequency);
    FTrackBar->SetPosition(FPosition);
    // A position outside the range was clamped without a change of value.
    if (FTrackBar->Position() != FPosition)
        TrackBarChange();
    FTrackBar->SetBounds(0, 0, width(), 40);
    SetControl(FTrackBar);
    FOpenText = Text();
}

void TExTrackBarDropDown::SetText(const QString& value)
{
    // A cancelled popup brings back the position it was opened with; the
    // base's last written text may be older than that.
    TExCustomDropDown::SetText(FRestoring ? FOpenText : value);
}

void TExTrackBarDropDown::DoHideDropDown(bool cancelled)
{
    FRestoring = cancelled;
    try {
        TExCustomDropDown::DoHideDropDown(cancelled);
    } catch (...) {
        FRestoring = false;
        throw;
    }
    FRestoring = false;
}

void TExTrackBarDropDown::SetMin(int value)
{
    FMin = value;
    if (FTrackBar) {
        FTrackBar->SetMin(value);
        FMin = FTrackBar->Min();
    }
}

void TExTrackBarDropDown::SetMax(int value)
{
    FMax = value;
    if (FTrackBar) {
        FTrackBar->SetMax(value);
        FMax = FTrackBar->Max();
    }
}

void TExTrackBarDropDown::SetPosition(int value)
{
    FPosition = value;
    if (FTrackBar) {
        FTrackBar->SetPosition(value);
        FPosition = FTrackBar->Position();
    }
}

void TExTrackBarDropDown::SetPageSize(int value)
{
    // Dragging over the edit divides by the page size.
    FPageSize = std::max(1, value);
    if (FTrackBar)
        FTrackBar->SetPageSize(FPageSize);
}

void TExTrackBarDropDown::SetFrequency(int value)
{
    FFrequency = value;
    if (FTrackBar)
        FTrackBar->SetFrequency(value);
}

void TExTrackBarDropDown::TrackBarChange()
{
    if (!FTrackBar)
        return;
    const int old = FPosition;
    const QString oldText = RawText();
    const QString now = QString::number(FTrackBar->Position());
    SetRawText(now);
    // A failing OnChange has put the old value back.
    if (RawText() != now)
        return;
    FPosition = FTrackBar->Position();
    try {
        if (OnTrackChange)
            OnTrackChange(this);
    } catch (...) {
        // A failing handler refuses the move: the old value stays.
        FPosition = old;
        const QSignalBlocker blockBar(FTrackBar), blockEdit(this);
        FTrackBar->SetPosition(old);
        SetRawText(oldText);
        throw;
    }
}

void TExTrackBarDropDown::Change()
{
    const int old = FPosition;
    try {
        TExCustomDropDown::Change();
    } catch (...) {
        // A failing OnChange refuses the text: the old value stays.
        FPosition = old;
        if (FTrackBar) {
            const QSignalBlocker block(FTrackBar);
            FTrackBar->SetPosition(old);
        }
        const QSignalBlocker block(this);
        SetRawText(QString::number(old));
        throw;
    }
    SetPosition(StrictInt(Text()));
}

void TExTrackBarDropDown::KeyDown(int& key, TShiftState shift)
{
    TExCustomDropDown::KeyDown(key, shift);
    if (EditorEnabled() || (shift & ssAlt))
        return;
    if (key == VK_UP && FPosition - FFrequency >= FMin)
        SetPosition(FPosition - FFrequency);
    else if (key == VK_DOWN && FPosition + FFrequency <= FMax)
        SetPosition(FPosition + FFrequency);
}

bool TExTrackBarDropDown::ControlKeyDown(QKeyEvent* e)
{
    const bool consumed = TExCustomDropDown::ControlKeyDown(e);
    // The edit's keys have stepped the position; the bar would step it again
    // (and the other way), so it does not see these.
    const int key = VirtualKeyFromQt(e->key());
    if (!EditorEnabled() && !(e->modifiers() & Qt::AltModifier) && (key == VK_UP || key == VK_DOWN))
        return true;
    return consumed;
}

void TExTrackBarDropDown::mousePressEvent(QMouseEvent* e)
{
    if (!EditorEnabled() && DropDownEnabled() && e->button() == Qt::LeftButton) {
        // Dragging over the edit moves the value; a click without a move
        // opens the popup when the button is released.
        FMouseX = qRound(e->position().x());
        FMouseDraging = true;
        FMouseMoved = false;
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        return;
    }
    TExCustomDropDown::mousePressEvent(e);
}

void TExTrackBarDropDown::mouseMoveEvent(QMouseEvent* e)
{
    if (FMouseDraging && !EditorEnabled()) {
        const int x = qRound(e->position().x());
        const int step = (x - FMouseX) / FPageSize; // towards zero; the rest is not carried over
        FMouseX = x;
        if (step != 0) {
            FMouseMoved = true;
            RunGuarded([&] { SetPosition(FPosition + step); });
        }
        return;
    }
    TExCustomDropDown::mouseMoveEvent(e);
}

void TExTrackBarDropDown::mouseReleaseEvent(QMouseEvent* e)
{
    const bool click = FMouseDraging && !FMouseMoved && e->button() == Qt::LeftButton;
    FMouseDraging = false;
    if (click) {
        RunGuarded([this] { DropDownButtonClick(); });
        return;
    }
    TExCustomDropDown::mouseReleaseEvent(e);
}
