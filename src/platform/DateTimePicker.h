#pragma once

// The date-time picker: a date (with a calendar drop-down, or up-down
// buttons) or a time, edited field by field.

#include "platform/ControlBase.h"

#include <QDateTimeEdit>

class QCheckBox;

namespace platform {

enum class TDateTimeKind { dtkDate, dtkTime };
using enum TDateTimeKind;
enum class TDTDateMode { dmComboBox, dmUpDown };
using enum TDTDateMode;

class TDateTimePicker : public TControlOf<QDateTimeEdit>
{
public:
    explicit TDateTimePicker(QWidget* parent = nullptr);

    TDateTimeKind Kind() const { return kind_; }
    void SetKind(TDateTimeKind k);
    TDTDateMode DateMode() const { return dateMode_; }
    void SetDateMode(TDTDateMode m);
    // Empty: the regional short date (or long time) form.
    QString Format() const { return format_; }
    void SetFormat(const QString& f);
    QDateTime DateTime() const { return dateTime(); }
    void SetDateTime(const QDateTime& v) { setDateTime(v); }
    QDate Date() const { return date(); }
    void SetDate(const QDate& v) { setDate(v); }
    QTime Time() const { return time(); }
    void SetTime(const QTime& v) { setTime(v); }
    // The text as shown.
    QString Text() const { return text(); }
    bool DroppedDown() const;
    // Opens the calendar of a date picker in the calendar mode (F4 and
    // Alt+Down do the same).
    void DropDown();
    // A check box before the fields; cleared, the value counts as none and the
    // fields take no input.
    bool ShowCheckbox() const { return checkBox_ != nullptr; }
    void SetShowCheckbox(bool v);
    bool Checked() const { return checked_; }
    void SetChecked(bool v);

    // The range of dates the picker takes; a null date is no limit.
    QDate MinDate() const { return minDate_; }
    void SetMinDate(const QDate& v);
    QDate MaxDate() const { return maxDate_; }
    void SetMaxDate(const QDate& v);
    // The drop-down calendar's looks: week numbers before the rows, a line
    // with today's date below, today's date framed.
    void SetCalendarStyles(bool weekNumbers, bool showToday, bool todayCircle);
    // The calendar is open; no calendar: nullptr.
    QWidget* Calendar() const;

    TNotifyEvent OnChange, OnEnter, OnExit, OnDropDown, OnCloseUp;
    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;

protected:
    // The form used while Format is empty: the region's short date, or its
    // long time for the time kind.
    virtual QString DefaultFormat() const;
    void ApplyFormat();
    // The user ticked or cleared the box: the change notification.
    virtual void CheckChanged();

    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void PlaceCheckBox();
    void ApplyRange();

    QCheckBox* checkBox_ = nullptr;
    bool checked_ = true;
    TDateTimeKind kind_ = dtkDate;
    TDTDateMode dateMode_ = dmComboBox;
    QString format_;
    QDate minDate_;
    QDate maxDate_;
    QWidget* todayLine_ = nullptr;
};

} // namespace platform
