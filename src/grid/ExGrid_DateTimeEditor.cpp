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

} // namespace

TGridDateTimePicker::TGridDateTimePicker(TExStringGrid* grid)
    : TDateTimePicker(grid ? grid->ClientSurface() : nullptr), FGrid(grid)
{
    if (!grid)
        throw std::invalid_argument("The grid's editor needs its grid");
    hide();
    setFrame(false);
    SetKind(dtkDate);
    SetDateMode(dmComboBox);
    SetFormat(CellFormat());
    // The grid relays each change of the value as OnDateTimeChange.
    QObject::connect(this, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime& d) {
        if (isVisible())
            RunGuarded([&] { FGrid->DateTimeChanged(FromQDateTime(d)); });
    });
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
    SetValue(v);
    return v;
}

void TGridDateTimePicker::SetValue(TDateTime value)
{
    const QSignalBlocker quiet(this);
    SetDateTime(ToQDateTime(value));
}

TDateTime TGridDateTimePicker::Value() const { return FromQDateTime(DateTime()); }

QString TGridDateTimePicker::CellText() const { return DateTime().toString(CellFormat()); }

bool TGridDateTimePicker::event(QEvent* e)
{
    // Tab stays with the edit when the grid wants it.
    if (e->type() == QEvent::KeyPress && FGrid->WantsTabKey()) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            keyPressEvent(k);
            return true;
        }
    }
    return TDateTimePicker::event(e);
}

void TGridDateTimePicker::keyPressEvent(QKeyEvent* e)
{
    TExStringGrid& g = *FGrid;
    const int key = e->key() == Qt::Key_Backtab ? VK_TAB : VirtualKeyFromQt(e->key());
    const bool shift = (e->modifiers() & Qt::ShiftModifier) || e->key() == Qt::Key_Backtab;
    const bool inSet = key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_PRIOR || key == VK_NEXT ||
                       key == VK_END;
    if (!inSet || DroppedDown() || (key == VK_TAB && !g.WantsTabKey())) {
        TDateTimePicker::keyPressEvent(e);
        return;
    }
    e->accept();
    RunGuarded([&] {
        if (key == VK_ESCAPE)
            SetValue(g.OriginalDateTime());
        if (key == VK_TAB)
            g.SetCurrentCell(CellText()); // no validation on Tab
        // The grid takes the focus; the edit ends with it.
        g.HideInplaceEdit();
        g.SetFocus();
        if (key == VK_RETURN && g.Navigation().AdvanceOnEnter())
            g.AdvanceToNextCell(g.Col(), g.Row(), false, false, true, false, false);
        else if (key == VK_TAB)
            g.TabMove(shift);
    });
}
