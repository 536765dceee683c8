#include "platform/DateTimePicker.h"

#include "platform/Messages.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLocale>

namespace platform {

TDateTimePicker::TDateTimePicker(QWidget* parent) : TControlOf<QDateTimeEdit>(parent)
{
    resize(186, 21);
    setDateTime(QDateTime::currentDateTime());
    QObject::connect(this, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime&) {
        if (OnChange)
            RunGuarded([&] { OnChange(this); });
    });
    ApplyFormat();
}

void TDateTimePicker::SetKind(TDateTimeKind k)
{
    kind_ = k;
    ApplyFormat();
}

void TDateTimePicker::SetDateMode(TDTDateMode m)
{
    dateMode_ = m;
    ApplyFormat();
}

void TDateTimePicker::SetFormat(const QString& f)
{
    format_ = f;
    ApplyFormat();
}

void TDateTimePicker::ApplyFormat()
{
    const bool calendar = kind_ == dtkDate && dateMode_ == dmComboBox;
    setCalendarPopup(calendar);
    setButtonSymbols(calendar ? QAbstractSpinBox::NoButtons : QAbstractSpinBox::UpDownArrows);
    if (calendar && calendarWidget())
        calendarWidget()->installEventFilter(this);
    QString f = format_;
    if (f.isEmpty())
        f = kind_ == dtkTime ? QLocale().timeFormat(QLocale::LongFormat) : QLocale().dateFormat(QLocale::ShortFormat);
    setDisplayFormat(f);
}

bool TDateTimePicker::DroppedDown() const { return calendarWidget() && calendarWidget()->isVisible(); }

bool TDateTimePicker::eventFilter(QObject* watched, QEvent* e)
{
    if (calendarWidget() && watched == calendarWidget()) {
        if (e->type() == QEvent::Show && OnDropDown)
            RunGuarded([&] { OnDropDown(this); });
        else if (e->type() == QEvent::Hide && OnCloseUp)
            RunGuarded([&] { OnCloseUp(this); });
    }
    return QDateTimeEdit::eventFilter(watched, e);
}

void TDateTimePicker::keyPressEvent(QKeyEvent* e)
{
    bool swallow = false;
    RunGuarded([&] {
        int key = VirtualKeyFromQt(e->key());
        if (key != 0 && OnKeyDown) {
            OnKeyDown(this, key, ShiftStateFromQt(e->modifiers()));
            swallow = key == 0;
        }
        if (!swallow && !e->text().isEmpty() && OnKeyPress) {
            QChar ch = e->text()[0];
            OnKeyPress(this, ch);
            swallow = ch.isNull();
        }
    });
    if (swallow) {
        e->accept();
        return;
    }
    QDateTimeEdit::keyPressEvent(e);
}

void TDateTimePicker::keyReleaseEvent(QKeyEvent* e)
{
    int key = VirtualKeyFromQt(e->key());
    if (key != 0 && OnKeyUp)
        RunGuarded([&] { OnKeyUp(this, key, ShiftStateFromQt(e->modifiers())); });
    QDateTimeEdit::keyReleaseEvent(e);
}

void TDateTimePicker::focusInEvent(QFocusEvent* e)
{
    QDateTimeEdit::focusInEvent(e);
    if (OnEnter)
        RunGuarded([&] { OnEnter(this); });
}

void TDateTimePicker::focusOutEvent(QFocusEvent* e)
{
    QDateTimeEdit::focusOutEvent(e);
    if (OnExit)
        RunGuarded([&] { OnExit(this); });
}

} // namespace platform
