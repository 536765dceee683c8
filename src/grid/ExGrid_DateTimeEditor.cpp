// The date-and-time editor of the grid. Unlike the other editors it has no
// exit handling of its own: the grid takes the value when it ends the edit.
#include "grid/ExGrid_DateTimeEditor.h"

#include "grid/EsgSpin.h"
#include "platform/Messages.h"
#include "widgets/ExUtil.h"

#include <QKeyEvent>

#include <cmath>

using namespace platform;

namespace {

QDateTime ToQDateTime(TDateTime v)
{
    const double day = std::floor(v);
    const qint64 ms = std::llround((v - day) * 86400000.0);
    return QDateTime(SpinDateOf(day), QTime(0, 0)).addMSecs(std::min<qint64>(ms, 86399999));
}

TDateTime FromQDateTime(const QDateTime& d)
{
    if (!d.isValid())
        return 0;
    return SpinDateTimeOf(d.date(), d.time().msecsSinceStartOfDay() / 86400000.0);
}

TDateTime Now() { return FromQDateTime(QDateTime::currentDateTime()); }

QWidget* SurfaceOf(TExStringGrid* grid)
{
    if (!grid)
        throw std::invalid_argument("The grid's editor needs its grid");
    return grid->ClientSurface();
}

bool IsTabKey(const QKeyEvent* e) { return e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab; }

} // namespace

TGridDateTimePicker::TGridDateTimePicker(TExStringGrid* grid) : TExDateTimePicker(SurfaceOf(grid)), FGrid(grid)
{
    hide();
    SetKind(dkDateTime);
    SetBorderStyle(bsNone);
    SetAutoTab(true);
    // A change of the time part reaches the grid as OnDateTimeChange.
    OnTimeChange = [this](QObject*) {
        if (isVisible())
            FGrid->DateTimeChanged(Value());
    };
    // The calendar's close-up reaches the grid; DirectDateClose ends the edit.
    OnCloseUp = [this](QObject*) {
        if (!isVisible())
            return;
        if (FGrid->OnDatePickerCloseUp)
            FGrid->OnDatePickerCloseUp(FGrid, FGrid->Row(), FGrid->Col());
        if (FGrid->MouseActions().DirectDateClose() && FGrid->EditMode())
            FGrid->HideInplaceEdit();
    };
    WatchTimePart();
    FOwnHeight = height();
}

void TGridDateTimePicker::WatchTimePart()
{
    // Tab in the time part is the grid's when it wants it, as in the date part.
    if (TimePicker())
        TimePicker()->installEventFilter(this);
}

QString TGridDateTimePicker::CellFormat()
{
    const TRegionalSettings rs = RegionalSettings();
    QString date = rs.ShortDateFormat.isEmpty() ? QStringLiteral("dd/MM/yyyy") : rs.ShortDateFormat;
    if (!rs.DateSeparator.isNull())
        for (QChar& c : date)
            if (c == u'/' || c == u'.' || c == u'-')
                c = rs.DateSeparator;
    const QChar t = rs.TimeSeparator.isNull() ? QChar(u':') : rs.TimeSeparator;
    return date + QStringLiteral(" HH") + t + QStringLiteral("mm");
}

TDateTime TGridDateTimePicker::ReadCellText(const QString& text)
{
    TDateTime v = 0;
    bool ok = false;
    try {
        ok = !text.trimmed().isEmpty() && ParseLocaleDateTime(text.trimmed(), v);
    } catch (const std::invalid_argument&) {
        ok = false;
    }
    if (!ok)
        v = Now();
    SetKind(dkDateTime);
    SetBorderStyle(bsNone);
    SetValue(v);
    WatchTimePart();
    // The value as the editor holds it (whole seconds).
    return Value();
}

void TGridDateTimePicker::SetValue(TDateTime value)
{
    const QSignalBlocker quiet(this);
    const QSignalBlocker quietTime(TimePicker());
    SetDateTime(ToQDateTime(value));
}

TDateTime TGridDateTimePicker::Value() const { return FromQDateTime(DateTime()); }

QString TGridDateTimePicker::CellText() const
{
    if (ShowCheckbox() && !Checked())
        return QString();
    return DateTime().toString(CellFormat());
}

bool TGridDateTimePicker::event(QEvent* e)
{
    // Tab stays with the edit when the grid wants it.
    if (e->type() == QEvent::KeyPress && IsTabKey(static_cast<QKeyEvent*>(e)) && FGrid->WantsTabKey()) {
        keyPressEvent(static_cast<QKeyEvent*>(e));
        return true;
    }
    return TExDateTimePicker::event(e);
}

bool TGridDateTimePicker::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == TimePicker() && e->type() == QEvent::KeyPress && IsTabKey(static_cast<QKeyEvent*>(e)) &&
        FGrid->WantsTabKey()) {
        auto* k = static_cast<QKeyEvent*>(e);
        int key = VK_TAB;
        RunGuarded([&] { KeyDown(key, ShiftStateFromQt(k->modifiers())); });
        return true;
    }
    return TExDateTimePicker::eventFilter(watched, e);
}

void TGridDateTimePicker::KeyDown(int& key, TShiftState shift)
{
    TExStringGrid& g = *FGrid;
    const bool inSet = key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_PRIOR || key == VK_NEXT ||
                       key == VK_END;
    if (!inSet || DroppedDown() || (key == VK_TAB && !g.WantsTabKey()))
        return;
    const bool backTab = (shift & ssShift) != 0;
    if (key == VK_ESCAPE)
        // The whole value it opened with: writing only the date would keep a
        // time the user changed, and the cell would take it.
        SetValue(g.OriginalDateTime());
    if (key == VK_TAB)
        g.SetCurrentCell(CellText()); // no validation on Tab
    // The grid takes the focus; the edit ends with it.
    g.HideInplaceEdit();
    g.SetFocus();
    if (key == VK_RETURN && g.Navigation().AdvanceOnEnter())
        g.AdvanceToNextCell(g.Col(), g.Row(), false, false, true, false, false);
    else if (key == VK_TAB)
        g.TabMove(backTab);
    key = 0;
}
