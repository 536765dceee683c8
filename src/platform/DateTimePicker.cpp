#include "platform/DateTimePicker.h"

#include "platform/Messages.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QTextCharFormat>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

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

QString TDateTimePicker::DefaultFormat() const
{
    return kind_ == dtkTime ? QLocale().timeFormat(QLocale::LongFormat) : QLocale().dateFormat(QLocale::ShortFormat);
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
        f = DefaultFormat();
    setDisplayFormat(f);
}

void TDateTimePicker::SetShowCheckbox(bool v)
{
    if (v == ShowCheckbox())
        return;
    if (v) {
        checkBox_ = new QCheckBox(this);
        checkBox_->setFocusPolicy(Qt::NoFocus);
        checkBox_->setChecked(checked_);
        QObject::connect(checkBox_, &QCheckBox::clicked, this, [this](bool on) {
            checked_ = on;
            lineEdit()->setReadOnly(!on);
            RunGuarded([this] { CheckChanged(); });
        });
        checkBox_->show();
    } else {
        delete checkBox_;
        checkBox_ = nullptr;
    }
    PlaceCheckBox();
    lineEdit()->setReadOnly(checkBox_ && !checked_);
}

void TDateTimePicker::SetChecked(bool v)
{
    checked_ = v;
    if (checkBox_) {
        checkBox_->setChecked(v);
        lineEdit()->setReadOnly(!v);
    }
}

void TDateTimePicker::CheckChanged()
{
    if (OnChange)
        OnChange(this);
}

void TDateTimePicker::PlaceCheckBox()
{
    QLineEdit* edit = lineEdit();
    if (!checkBox_) {
        edit->setTextMargins(0, 0, 0, 0);
        return;
    }
    const QSize s = checkBox_->sizeHint();
    checkBox_->setGeometry(2, std::max(0, (height() - s.height()) / 2), s.width(), s.height());
    // The fields start after the box.
    edit->setTextMargins(std::max(0, checkBox_->geometry().right() + 2 - edit->x()), 0, 0, 0);
}

void TDateTimePicker::resizeEvent(QResizeEvent* e)
{
    QDateTimeEdit::resizeEvent(e);
    PlaceCheckBox();
}

void TDateTimePicker::SetMinDate(const QDate& v)
{
    minDate_ = v;
    ApplyRange();
}

void TDateTimePicker::SetMaxDate(const QDate& v)
{
    maxDate_ = v;
    ApplyRange();
}

void TDateTimePicker::ApplyRange()
{
    // The widget's own widest range stands in for no limit.
    setDateRange(minDate_.isValid() ? minDate_ : QDate(100, 1, 1), maxDate_.isValid() ? maxDate_ : QDate(9999, 12, 31));
}

QWidget* TDateTimePicker::Calendar() const { return calendarWidget(); }

void TDateTimePicker::SetCalendarStyles(bool weekNumbers, bool showToday, bool todayCircle)
{
    QCalendarWidget* calendar = calendarWidget();
    if (!calendar)
        return;
    calendar->setVerticalHeaderFormat(weekNumbers ? QCalendarWidget::ISOWeekNumbers : QCalendarWidget::NoVerticalHeader);
    QTextCharFormat today;
    if (todayCircle) {
        today.setFontWeight(QFont::Bold);
        today.setFontUnderline(true);
        today.setForeground(QColor(Qt::red));
    }
    calendar->setDateTextFormat(QDate::currentDate(), today);
    // The today line sits under the month grid of the calendar's layout.
    if (showToday && !todayLine_) {
        if (auto* box = qobject_cast<QVBoxLayout*>(calendar->layout())) {
            auto* line = new QLabel(calendar);
            line->setObjectName(QStringLiteral("todayLine"));
            line->setIndent(4);
            box->addWidget(line);
            todayLine_ = line;
        }
    }
    if (todayLine_) {
        static_cast<QLabel*>(todayLine_)->setText(QStringLiteral("Today: %1").arg(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)));
        todayLine_->setVisible(showToday);
    }
}

void TDateTimePicker::DropDown()
{
    if (!calendarPopup() || DroppedDown() || !isEnabled())
        return;
    // The widget opens its calendar on a press on its arrow.
    QStyleOptionComboBox opt;
    opt.initFrom(this);
    opt.editable = true;
    opt.frame = hasFrame();
    opt.subControls = QStyle::SC_All;
    const QRect arrow = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxArrow, this);
    const QPointF at = arrow.isValid() ? QPointF(arrow.center()) : QPointF(width() - 4, height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QDateTimeEdit::mousePressEvent(&press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QDateTimeEdit::mouseReleaseEvent(&release);
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
        if (!swallow && (e->key() == Qt::Key_F4 || (e->key() == Qt::Key_Down && (e->modifiers() & Qt::AltModifier))) &&
            calendarPopup()) {
            DropDown();
            swallow = true;
        }
        // A cleared box leaves the fields alone; Space ticks it again.
        if (!swallow && checkBox_ && (!checked_ || e->key() == Qt::Key_Space) &&
            !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (e->key() == Qt::Key_Space) {
                checkBox_->click();
                swallow = true;
            } else if ((!e->text().isEmpty() && e->text()[0].isPrint()) || e->key() == Qt::Key_Up || e->key() == Qt::Key_Down ||
                       e->key() == Qt::Key_PageUp || e->key() == Qt::Key_PageDown) {
                swallow = true;
            }
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
