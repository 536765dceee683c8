#include "grid/EsgDateTimePicker.h"

#include <QPainter>

using namespace platform;

TEsgDateTimePicker::TEsgDateTimePicker(QWidget* parent) : TDateTimePicker(parent) {}

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

void TEsgDateTimePicker::paintEvent(QPaintEvent* e)
{
    TDateTimePicker::paintEvent(e);
    // Only Metro draws its own frame: one colour, the focus colour while focused.
    if (!FMetroStyle)
        return;
    TColor frame = hasFocus() && FFocusBorderColor != clNone ? FFocusBorderColor : FBorderColor;
    if (frame == clNone && isEnabled())
        return;
    if (frame == clNone)
        frame = static_cast<TColor>(0xB99D7F);
    QPainter p(this);
    p.setPen(ToQColor(frame));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
