#include "grid/EsgDateTimePicker.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QStyle>

#include <algorithm>

using namespace platform;

TEsgDateTimePicker::TEsgDateTimePicker(QWidget* parent)
    : TDateTimePicker(parent), FButtonWidth(qApp->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2)
{
    setMouseTracking(true);
}

void TEsgDateTimePicker::SetBorderColor(TColor v)
{
    if (v == FBorderColor)
        return;
    FBorderColor = v;
    update();
}

void TEsgDateTimePicker::SetMetroStyle(bool v)
{
    if (v == FMetroStyle)
        return;
    FMetroStyle = v;
    update();
}

void TEsgDateTimePicker::SetPickerBorderStyle(TFormBorderStyle style)
{
    if (style == FBorderStyle)
        return;
    FBorderStyle = style;
    update();
}

QRect TEsgDateTimePicker::ButtonRect() const
{
    return QRect(width() - FButtonWidth - 1, 1, FButtonWidth, std::max(0, height() - 2));
}

void TEsgDateTimePicker::enterEvent(QEnterEvent* e)
{
    TDateTimePicker::enterEvent(e);
    FMouseInControl = true;
    update();
}

void TEsgDateTimePicker::leaveEvent(QEvent* e)
{
    TDateTimePicker::leaveEvent(e);
    FMouseInControl = false;
    FButtonHover = false;
    update();
}

void TEsgDateTimePicker::mouseMoveEvent(QMouseEvent* e)
{
    TDateTimePicker::mouseMoveEvent(e);
    const bool over = ButtonRect().contains(e->position().toPoint());
    if (over != FButtonHover) {
        FButtonHover = over;
        update();
    }
}

void TEsgDateTimePicker::paintEvent(QPaintEvent* e)
{
    TDateTimePicker::paintEvent(e);
    // The default look is the platform picker's own.
    if (!MetroActive())
        return;
    QPainter p(this);
    // A time shows the platform's up-down part; a date gets the own button.
    if (Kind() != dtkTime && DateMode() == dmComboBox) {
        p.fillRect(QRect(width() - FButtonWidth - 2, 1, FButtonWidth + 1, std::max(0, height() - 2)), palette().base());
        DrawButton(p);
    }
    DrawBorders(p);
}

void TEsgDateTimePicker::DrawButton(QPainter& p)
{
    const QRect r = ButtonRect();
    const bool down = DroppedDown();
    TColor fill = ButtonColor, arrow = ButtonTextColor;
    if (down && ButtonColorDown != clNone) {
        fill = ButtonColorDown;
        arrow = ButtonTextColorDown;
    } else if (FButtonHover && ButtonColorHot != clNone) {
        fill = ButtonColorHot;
        arrow = ButtonTextColorHot;
    }
    if (fill == clNone)
        fill = clBtnFace;
    if (arrow == clNone)
        arrow = clBlack;
    // The fill starts 2 pixels in; the left line is the button's border.
    p.fillRect(r.adjusted(2, 0, 0, 0), ToQColor(fill));
    if (ButtonBorderColor != clNone) {
        p.setPen(ToQColor(ButtonBorderColor));
        p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    }
    const int left = r.left(), top = r.top() + (r.height() - 17) / 2;
    p.setPen(ToQColor(arrow));
    p.setBrush(ToQColor(arrow));
    p.drawPolygon(QPolygon({QPoint(left + 5, top + 7), QPoint(left + 11, top + 7), QPoint(left + 8, top + 10)}));
    p.setBrush(Qt::NoBrush);
}

void TEsgDateTimePicker::DrawBorders(QPainter& p)
{
    // Nothing to draw for an enabled picker without border colours.
    if (isEnabled() && FBorderColor == clNone && FFocusBorderColor == clNone)
        return;
    TColor frame;
    if (!isEnabled() && !FDisabledBorder)
        frame = static_cast<TColor>(0xB99D7F);
    else if (hasFocus() && FFocusBorderColor != clNone)
        frame = FFocusBorderColor;
    else if (FBorderColor != clNone)
        frame = FBorderColor;
    else
        return;
    p.setPen(ToQColor(frame));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
