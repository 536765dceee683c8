#pragma once

// The date-time pickers: TCustomDateTimePicker is the platform picker with an
// optional flat look (own border and drop button, MetroStyle) and AutoTab, the
// caret moving to the next field after a typed digit. TExDateTimePicker adds an
// attached caption label that follows the control and a third kind,
// date-and-time, for which a second, time-only picker sits in its right-hand
// part; DateTime then reads the date of the one and the time of the other.
//
// Fields are what the user edits field by field; typing never takes a value the
// field cannot hold (an hour of 25 is refused), so the old value stays.

#include "platform/Controls.h"
#include "platform/DateTimePicker.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"

#include <QPointer>

#include <cstdint>
#include <memory>

// The message that AutoTab posts to itself after a digit; registered once.
unsigned DTPShiftFocusMessage();

class TCustomDateTimePicker : public platform::TDateTimePicker
{
public:
    explicit TCustomDateTimePicker(QWidget* parent = nullptr);

    bool AutoTab() const { return FAutoTab; }
    virtual void SetAutoTab(bool v);
    bool MetroStyle() const { return FMetroStyle; }
    void SetMetroStyle(bool v);
    platform::TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    virtual void SetBorderStyle(platform::TFormBorderStyle v);
    platform::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(platform::TColor v);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool v);

    int ButtonWidth() const { return FButtonWidth; }
    bool ButtonHover() const { return FButtonHover; }
    bool MouseInControl() const { return FMouseInControl; }
    bool HasFocus() const { return FHasFocus; }
    // MetroStyle set and the flat look not suppressed.
    bool IsMetroActive() const;
    // The field (section) the caret is in, 0 first.
    int CurrentField() const { return currentSectionIndex(); }

    // Flat drop-button colours; clNone leaves the themed button.
    platform::TColor ButtonColor = platform::clNone;
    platform::TColor ButtonColorHot = platform::clNone;
    platform::TColor ButtonColorDown = platform::clNone;
    platform::TColor ButtonBorderColor = platform::clNone;
    platform::TColor ButtonTextColor = platform::clNone;
    platform::TColor ButtonTextColorHot = platform::clNone;
    platform::TColor ButtonTextColorDown = platform::clNone;

protected:
    // The region's short date, or its long time (hours, minutes, seconds) for
    // the time kind, in the separators the regional settings give.
    QString DefaultFormat() const override;
    virtual void HandleShiftFocus();
    // True here: a plain picker never paints the flat border or button.
    virtual bool SuppressFlatLook() const { return true; }
    // Posts the right-arrow key, which moves to the next field.
    void PostNextField();

    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool event(QEvent* e) override;

    void DrawDropButton(platform::TCanvas& canvas);
    void DrawBorders(platform::TCanvas& canvas);
    platform::TColor ParentBackground() const;
    platform::TColor FieldColor() const;
    int NativeButtonLeft() const;

    // The field a digit was typed in, for the shift after it.
    int FDigitField = -1;

private:
    platform::TFormBorderStyle FBorderStyle = platform::bsNone;
    platform::TColor FBorderColor = 0;
    bool FIsThemed = true;
    int FButtonWidth = 0;
    bool FButtonHover = false;
    bool FMouseInControl = false;
    bool FMetroStyle = false;
    bool FHasFocus = false;
    bool FAutoTab = false;
    bool FCtl3D = false;
    std::uint16_t Fh = 0, Fm = 0, Fs = 0, Fms = 0;
};

enum class TExDateTimeKind { dkDate, dkTime, dkDateTime };
using enum TExDateTimeKind;

// The picker's own label positions (the drop-down edit has two more).
namespace exdtp {
enum class TLabelPosition {
    lpLeftTop, lpLeftCenter, lpLeftBottom, lpTopLeft, lpBottomLeft, lpLeftTopLeft, lpLeftCenterLeft,
    lpLeftBottomLeft, lpTopCenter, lpBottomCenter, lpRightTop, lpRightCenter, lpRighBottom
};
}

class TExDateTimePicker : public TCustomDateTimePicker
{
public:
    using TLabelPosition = exdtp::TLabelPosition;

    explicit TExDateTimePicker(QWidget* parent = nullptr);
    ~TExDateTimePicker() override;

    TExDateTimeKind Kind() const { return FKind; }
    void SetKind(TExDateTimeKind k);
    // Whole seconds; for dkDateTime the date of this part and the time of the
    // embedded time picker.
    QDateTime DateTime() const;
    virtual void SetDateTime(const QDateTime& v);
    QDate Date() const { return TDateTimePicker::Date(); }
    // Keeps the time of day.
    void SetDate(const QDate& d);
    QTime Time() const;
    void SetTime(const QTime& t);
    QString TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(const QString& f);
    void SetAutoTab(bool v) override;
    void SetBorderStyle(platform::TFormBorderStyle v) override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool v) override;
    void SetEnabled(bool e) override;
    void SetColor(platform::TColor c) override;
    // Moves the control, and its label with it, to another parent.
    void SetParent(QWidget* parent);
    // Cleared, the time part takes no input either.
    void SetChecked(bool v);

    static std::uint32_t GetVersionNr() { return 0x01020000; }
    QString Version() const;
    void SetVersion(const QString&) {}

    QString LabelCaption() const;
    void SetLabelCaption(const QString& c);
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition p);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int m);
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool v);
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool v);
    // The label is bold while the control has the focus.
    bool FocusLabel() const { return FFocusLabel; }
    void SetFocusLabel(bool v);
    // With ParentFont the label shows in the control's font, not LabelFont.
    bool ParentFont() const { return FParentFnt; }
    void SetParentFont(bool v);
    platform::TFont& LabelFont() { return *FLabelFont; }
    void SetLabelFont(const platform::TFont& f) { FLabelFont->Assign(f); }
    platform::TLabel* PickerLabel() const { return FLabel; }
    TCustomDateTimePicker* TimePicker() const { return FTimePicker; }

    platform::TNotifyEvent OnTimeChange, OnClick, OnLabelClick, OnLabelDblClick;

protected:
    virtual void DoChange();
    virtual void DoClick();
    virtual void TimePickerKeyPress(QObject* sender, QChar& key);
    // Key-down of this control and of the time part; key 0 drops the key.
    virtual void KeyDown(int& key, platform::TShiftState shift);
    void CheckChanged() override;
    void HandleShiftFocus() override;
    bool SuppressFlatLook() const override { return false; }

    void CreateTimePicker();
    void UpdateTimePicker();
    void PositionLabel();

    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void changeEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    void SetLabelBold(bool bold);

    TExDateTimeKind FKind = dkDate;
    QString FTimeFormat;
    std::uint16_t Fy = 0, Fm = 0, Fd = 0;
    QPointer<platform::TLabel> FLabel;
    std::unique_ptr<platform::TFont> FLabelFont;
    TLabelPosition FLabelPosition = TLabelPosition::lpLeftTop;
    int FLabelMargin = 4;
    bool FLabelTransparent = false;
    bool FFocusLabel = false;
    bool FLabelAlwaysEnabled = false;
    bool FParentFnt = false;
    bool FFocused = false; // between focus in and focus out: the label's bold
    bool FFirstRun = true;
    QPointer<TCustomDateTimePicker> FTimePicker;
};
