#include "platform/Themes.h"

#include <QApplication>
#include <QPainter>
#include <QRegion>
#include <QStyle>
#include <QStyleOption>

#include <atomic>

namespace platform {

namespace {

std::atomic<bool> g_active{true};

enum class Look { Normal, Hot, Pressed, Disabled };

// Four states a part: normal, hot, pressed, disabled.
Look LookOf(int state) { return static_cast<Look>((state - 1) % 4); }

void SetLook(QStyleOption& opt, Look look)
{
    opt.state = QStyle::State_None;
    if (look != Look::Disabled)
        opt.state |= QStyle::State_Enabled | QStyle::State_Active;
    if (look == Look::Hot)
        opt.state |= QStyle::State_MouseOver;
    if (look == Look::Pressed)
        opt.state |= QStyle::State_Sunken;
}

QStyle* StyleFor(const QWidget* widget)
{
    return widget ? widget->style() : QApplication::style();
}

void DrawBevel(QStyle* style, QPainter& p, const QRect& r, Look look, bool defaulted, const QWidget* widget)
{
    QStyleOptionButton opt;
    opt.rect = r;
    SetLook(opt, look);
    if (look != Look::Pressed)
        opt.state |= QStyle::State_Raised;
    if (defaulted)
        opt.features |= QStyleOptionButton::DefaultButton;
    style->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, widget);
}

void DrawArrow(QStyle* style, QPainter& p, const QRect& r, Look look, QStyle::PrimitiveElement arrow, const QWidget* widget)
{
    QStyleOption opt;
    const int side = std::max(4, std::min(r.width(), r.height()) / 2);
    opt.rect = QRect(r.x() + (r.width() - side) / 2, r.y() + (r.height() - side) / 2, side, side);
    SetLook(opt, look);
    style->drawPrimitive(arrow, &opt, &p, widget);
}

} // namespace

bool ThemeClassFromName(const QString& name, ThemeClass* cls)
{
    const QString n = name.toLower();
    ThemeClass c;
    if (n == QLatin1String("button"))
        c = ThemeClass::Button;
    else if (n == QLatin1String("combobox"))
        c = ThemeClass::ComboBox;
    else if (n == QLatin1String("spin"))
        c = ThemeClass::Spin;
    else if (n == QLatin1String("header"))
        c = ThemeClass::Header;
    else if (n == QLatin1String("progress"))
        c = ThemeClass::Progress;
    else
        return false;
    if (cls)
        *cls = c;
    return true;
}

bool ThemesActive() { return g_active.load(); }

void SetThemesActive(bool active) { g_active = active; }

bool DrawThemeBackground(TCanvas& canvas, ThemeClass cls, int part, int state, const TRect& tr, const QWidget* widget)
{
    if (!ThemesActive() || IsRectEmpty(tr))
        return false;
    QPainter* p = canvas.Painter();
    if (!p)
        return false;
    const QRect r(tr.Left, tr.Top, tr.Width(), tr.Height());
    QStyle* style = StyleFor(widget);

    auto valid = [&]() {
        switch (cls) {
        case ThemeClass::Button:
            if (part == BP_PUSHBUTTON)
                return state >= 1 && state <= 5;
            if (part == BP_RADIOBUTTON)
                return state >= 1 && state <= 8;
            if (part == BP_CHECKBOX)
                return state >= 1 && state <= 12;
            return false;
        case ThemeClass::ComboBox: return part == CP_DROPDOWNBUTTON && state >= 1 && state <= 4;
        case ThemeClass::Spin: return (part == SPNP_UP || part == SPNP_DOWN) && state >= 1 && state <= 4;
        case ThemeClass::Header: return part == HP_HEADERITEM && state >= 1 && state <= 3;
        case ThemeClass::Progress: return part >= PP_BAR && part <= PP_CHUNKVERT;
        }
        return false;
    };
    if (!valid())
        return false;

    p->save();
    p->resetTransform();
    p->setRenderHint(QPainter::Antialiasing, false);
    if (canvas.HasClip())
        p->setClipRegion(canvas.ClipRegion().ToQRegion());
    else
        p->setClipping(false);

    switch (cls) {
    case ThemeClass::Button:
        if (part == BP_PUSHBUTTON) {
            DrawBevel(style, *p, r, state == PBS_DEFAULTED ? Look::Normal : LookOf(state), state == PBS_DEFAULTED, widget);
        } else {
            QStyleOptionButton opt;
            opt.rect = r;
            SetLook(opt, LookOf(state));
            const int mark = (state - 1) / 4;  // 0 unchecked, 1 checked, 2 mixed
            opt.state |= mark == 0 ? QStyle::State_Off : (mark == 1 ? QStyle::State_On : QStyle::State_NoChange);
            style->drawPrimitive(part == BP_CHECKBOX ? QStyle::PE_IndicatorCheckBox : QStyle::PE_IndicatorRadioButton,
                                 &opt, p, widget);
        }
        break;
    case ThemeClass::ComboBox:
        DrawBevel(style, *p, r, LookOf(state), false, widget);
        DrawArrow(style, *p, r, LookOf(state), QStyle::PE_IndicatorArrowDown, widget);
        break;
    case ThemeClass::Spin:
        DrawBevel(style, *p, r, LookOf(state), false, widget);
        DrawArrow(style, *p, r, LookOf(state), part == SPNP_UP ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                  widget);
        break;
    case ThemeClass::Header: {
        QStyleOptionHeader opt;
        opt.rect = r;
        SetLook(opt, state == HIS_HOT ? Look::Hot : state == HIS_PRESSED ? Look::Pressed : Look::Normal);
        opt.state |= QStyle::State_Raised | QStyle::State_Horizontal;
        opt.position = QStyleOptionHeader::Middle;
        style->drawControl(QStyle::CE_HeaderSection, &opt, p, widget);
        break;
    }
    case ThemeClass::Progress: {
        QStyleOptionProgressBar opt;
        opt.rect = r;
        opt.state = QStyle::State_Enabled;
        opt.minimum = 0;
        opt.maximum = 100;
        const bool vertical = part == PP_BARVERT || part == PP_CHUNKVERT;
        if (!vertical)
            opt.state |= QStyle::State_Horizontal;
        if (part == PP_BAR || part == PP_BARVERT) {
            opt.progress = 0;
            style->drawControl(QStyle::CE_ProgressBarGroove, &opt, p, widget);
        } else {
            opt.progress = 100;
            style->drawControl(QStyle::CE_ProgressBarContents, &opt, p, widget);
        }
        break;
    }
    }
    p->restore();
    return true;
}

} // namespace platform
