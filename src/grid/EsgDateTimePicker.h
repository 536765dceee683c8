#pragma once

// The grid's date and time picker: the platform picker with a flat look,
// border colours and a Metro mode (one-colour frame) on request.

#include "platform/DateTimePicker.h"
#include "platform/Forms.h" // TFormBorderStyle
#include "platform/Graphics.h"

class TEsgDateTimePicker : public platform::TDateTimePicker
{
public:
    explicit TEsgDateTimePicker(QWidget* parent = nullptr);

    platform::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(platform::TColor v);
    bool MetroStyle() const { return FMetroStyle; }
    void SetMetroStyle(bool v);
    platform::TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(platform::TColor v) { FFocusBorderColor = v; }
    // "1.0.0.0" whatever is written.
    QString Version() const { return QStringLiteral("1.0.0.0"); }
    void SetVersion(const QString&) {}
    virtual void SetPickerBorderStyle(platform::TFormBorderStyle style);
    platform::TFormBorderStyle PickerBorderStyle() const { return FBorderStyle; }

    platform::TColor ButtonColor = platform::clNone;
    platform::TColor ButtonColorHot = platform::clNone;
    platform::TColor ButtonColorDown = platform::clNone;
    platform::TColor ButtonBorderColor = platform::clNone;
    platform::TColor ButtonTextColor = platform::clNone;
    platform::TColor ButtonTextColorHot = platform::clNone;
    platform::TColor ButtonTextColorDown = platform::clNone;

    bool DisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool v) { FDisabledBorder = v; update(); }
    int ButtonWidth() const { return FButtonWidth; }
    // The mouse is over the control, over its drop-down button.
    bool MouseInControl() const { return FMouseInControl; }
    bool ButtonHover() const { return FButtonHover; }
    // Where the Metro look draws its drop-down button.
    QRect ButtonRect() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    bool MetroActive() const { return FMetroStyle; }
    void DrawButton(QPainter& p);
    void DrawBorders(QPainter& p);

private:
    platform::TFormBorderStyle FBorderStyle = platform::TFormBorderStyle::bsNone;
    platform::TColor FBorderColor = platform::clNone;
    platform::TColor FFocusBorderColor = platform::clNone;
    bool FMetroStyle = false;
    bool FDisabledBorder = false;
    bool FMouseInControl = false;
    bool FButtonHover = false;
    int FButtonWidth;
};
