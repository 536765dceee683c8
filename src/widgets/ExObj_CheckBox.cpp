// The grid's owner-drawn check box (the search footer's options).
#include "widgets/ExObj_Controls.h"

#include "platform/Themes.h"
#include "widgets/ExUtil.h"
#include "widgets/ExXPVS.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>

using namespace platform;

namespace {

bool ThemedBox() { return ExXPVS::IsThemeActive() && ThemesActive(); }

} // namespace

TExCheckBox::TExCheckBox(QWidget* parent) : TCustomControl(parent)
{
    resize(98, 20);
    setFocusPolicy(Qt::StrongFocus);
    SetClickEvents(false); // the click follows the toggle
}

void TExCheckBox::SetCaption(const QString& v)
{
    FCaption = v;
    setWindowTitle(v);
    update();
}

void TExCheckBox::SetState(TCheckBoxState v)
{
    if (FState == v)
        return;
    FState = v;
    RepaintBox();
}

void TExCheckBox::SetTransparent(bool v)
{
    FTransparent = v;
    setAttribute(Qt::WA_NoSystemBackground, v);
    setAutoFillBackground(!v);
    update();
}

void TExCheckBox::Toggle()
{
    if (!FReadOnly)
        SetChecked(!Checked());
}

TRect TExCheckBox::BoxRect() const
{
    const bool themed = ThemedBox();
    const int size = themed ? 14 : 13;
    const int x = FAlignment == taRightJustify ? width() - (themed ? 15 : 13) : 0;
    int y = 4;
    if (FButtonVertAlign == tlCenter)
        y = height() / 2 - 6;
    else if (FButtonVertAlign == tlBottom)
        y = height() - (themed ? 14 : 17);
    return Rect(x, y, x + size, y + size);
}

// Only the 20 pixels at the box's side.
void TExCheckBox::RepaintBox()
{
    if (FAlignment == taRightJustify)
        update(width() - 20, 0, 20, height());
    else
        update(0, 0, 20, height());
}

void TExCheckBox::Paint()
{
    TCanvas& c = Canvas();
    if (FTransparent && parentWidget()) {
        // The parent's background and content show through (not its other
        // children, and never this control again).
        QPixmap back(size());
        back.fill(parentWidget()->palette().color(QPalette::Window));
        parentWidget()->render(&back, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
        TBitmap bmp;
        bmp.SetImage(back.toImage().convertToFormat(QImage::Format_RGB32));
        c.Draw(0, 0, bmp);
    } else {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(Color());
        c.FillRect(Rect(0, 0, width(), height()));
    }
    const TRect box = BoxRect();
    bool drawn = false;
    if (ThemedBox()) {
        int base = CBS_UNCHECKEDNORMAL;
        if (FState == cbChecked)
            base = CBS_CHECKEDNORMAL;
        else if (FState == cbGrayed)
            base = CBS_MIXEDNORMAL;
        int look = 0; // normal
        if (!isEnabled())
            look = 3;
        else if (FDown)
            look = 2;
        else if (FHot)
            look = 1;
        drawn = DrawThemeBackground(c, ThemeClass::Button, BP_CHECKBOX, base + look, box, this);
    }
    if (!drawn) {
        unsigned state = DFCS_BUTTONCHECK;
        if (FState == cbChecked)
            state |= DFCS_CHECKED;
        if (FState == cbGrayed || !isEnabled())
            state |= DFCS_INACTIVE;
        if (FDown)
            state |= DFCS_PUSHED;
        DrawFrameControl(c, box, DFC_BUTTON, state);
    }

    // The caption.
    c.SetFont(Font());
    TRect r = Rect(0, 0, width(), height());
    if (FAlignment == taLeftJustify) {
        r.Left += 9;
    } else {
        r.Right -= 9;
        r.Left = 0;
    }
    r.Top += 4;
    r.Left += 6;
    const unsigned format = DT_SINGLELINE | DT_LEFT | (FEllipsis ? DT_END_ELLIPSIS : 0u);
    c.Brush().SetStyle(bsClear);
    TRect textRect = r;
    if (!isEnabled()) {
        TRect shadow = Rect(textRect.Left + 1, textRect.Top + 1, textRect.Right + 1, textRect.Bottom + 1);
        c.Font().SetColor(clWhite);
        c.DrawText(FCaption, shadow, format);
        c.Font().SetColor(0x808080);
    }
    TRect drawRect = textRect;
    c.DrawText(FCaption, drawRect, format);
    c.Brush().SetStyle(bsSolid);
    if (FFocused) {
        const TSize ext = c.TextExtent(StripAccelerator(FCaption));
        c.Brush().SetColor(clBlack);
        const int left = textRect.Left - 2;
        c.FrameRect(Rect(left, textRect.Top, left + ext.cx + 1 + 2, textRect.Top + ext.cy + 1));
    }
}

void TExCheckBox::ClickToggle()
{
    FClicksDisabled = true;
    Toggle();
    FClicksDisabled = false;
    Click();
}

void TExCheckBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && isEnabled()) {
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        FMouseDown = true;
        FDown = true;
        RepaintBox();
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TExCheckBox::MouseMove(TShiftState shift, int x, int y)
{
    if (FMouseDown) {
        const bool inside = x >= 0 && x <= width() && y >= 0 && y <= height();
        if (inside != FDown) {
            FDown = inside;
            RepaintBox();
        }
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TExCheckBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        const bool wasDown = FMouseDown;
        FMouseDown = false;
        FDown = false;
        RepaintBox();
        const bool inside = x >= 0 && x <= width() && y >= 0 && y <= height();
        if (inside && wasDown && hasFocus())
            ClickToggle();
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

bool TExCheckBox::WantsKey(int key) const { return key == VK_RETURN && FReturnIsTab; }

void TExCheckBox::KeyDown(int& key, TShiftState shift)
{
    if (key == VK_RETURN && FReturnIsTab) {
        key = 0;
        // Enter moves on as Tab does.
        QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
        return;
    }
    if (key == VK_SPACE) {
        FDown = true;
        RepaintBox();
    }
    TCustomControl::KeyDown(key, shift);
}

void TExCheckBox::KeyUp(int& key, TShiftState shift)
{
    if (key == VK_SPACE) {
        FDown = false;
        ClickToggle();
    }
    TCustomControl::KeyUp(key, shift);
}

bool TExCheckBox::DialogChar(QChar ch)
{
    const QChar accel = AcceleratorOf(FCaption);
    if (accel.isNull() || accel.toUpper() != ch.toUpper() || !isEnabled() || !isVisible())
        return false;
    if (focusPolicy() != Qt::NoFocus)
        setFocus(Qt::ShortcutFocusReason);
    Toggle();
    return true;
}

void TExCheckBox::MouseEnter()
{
    FHot = true;
    RepaintBox();
    TCustomControl::MouseEnter();
}

void TExCheckBox::MouseLeave()
{
    FHot = false;
    RepaintBox();
    TCustomControl::MouseLeave();
}

void TExCheckBox::DoEnter()
{
    FFocused = true;
    update();
    TCustomControl::DoEnter();
}

void TExCheckBox::DoExit()
{
    FFocused = false;
    update();
    TCustomControl::DoExit();
}

void TExCheckBox::changeEvent(QEvent* event)
{
    TCustomControl::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
}
