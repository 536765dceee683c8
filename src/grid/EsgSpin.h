#pragma once

// The spin edit: an edit field holding an integer, a floating-point number,
// a date or a time as text, with a pair of buttons at its right. Buttons,
// arrow and page keys step the value; every value written is kept within
// the bounds (equal bounds: none); typing is filtered by the kind of value.

#include "platform/Controls.h"
#include "platform/Graphics.h"
#include "widgets/ExUtil.h" // TDateTime

#include <QToolButton>

#include <functional>

class QTimer;

enum class TEsgSpinType { sptNormal, sptFloat, sptDate, sptTime };
using enum TEsgSpinType;
enum class TButtonDirection { bdLeft, bdRight, bdUp, bdDown };
using enum TButtonDirection;

// The colours of the button pair; none (clNone) unless set. With ButtonColor
// set the buttons draw flat in these colours; the text and border colours
// are kept only.
struct TSpinButtonColors
{
    platform::TColor ButtonColorDown = platform::clNone;
    platform::TColor ButtonBorderColor = platform::clNone;
    platform::TColor ButtonTextColor = platform::clNone;
    platform::TColor ButtonTextColorHot = platform::clNone;
    platform::TColor ButtonColor = platform::clNone;
    platform::TColor ButtonColorHot = platform::clNone;
    platform::TColor ButtonTextColorDown = platform::clNone;
};

enum class TSpinDirection { spVertical, spHorizontal };
using enum TSpinDirection;
enum class TEditAlign { eaLeft, eaRight, eaCenter };
using enum TEditAlign;

class TEsgSpinButton;

// One spin button: clicks on press, again after 400 ms and then every 100 ms
// while held; draws itself in the pair's colours with a black triangle,
// themed, or as a speed button with its glyph.
class TExTimerSpeedButton : public QToolButton
{
public:
    TExTimerSpeedButton(TEsgSpinButton* pair, const TSpinButtonColors* colors, TButtonDirection direction);

    TButtonDirection ButtonDirection() const { return FButtonDirection; }
    void SetButtonDirection(TButtonDirection v);
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    bool HasMouse() const { return FHasMouse; }
    // Flat: no edge unless the mouse is over it; transparent: no face.
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    // A strip of NumGlyphs pictures: normal, disabled, pressed.
    const platform::TBitmap& Glyph() const { return FGlyph; }
    void SetGlyph(const platform::TBitmap& v);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int v);
    // The focus mark and the repeat while held (tbFocusRect, tbAllowTimer).
    bool FocusRect() const { return FFocusRect; }
    void SetFocusRect(bool v);
    bool AllowTimer() const { return FAllowTimer; }
    void SetAllowTimer(bool v) { FAllowTimer = v; }

    // Raises the click (the pair's up or down event).
    void Click();
    std::function<void(TExTimerSpeedButton* sender)> OnClick;
    // The repeat timer (created on the first press) and its tick.
    const QTimer* RepeatTimer() const { return FRepeatTimer; }
    void TimerExpired();

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void PaintSpeedButton(QPainter& painter, bool down);

    TEsgSpinButton* FPair;
    const TSpinButtonColors* FColors;
    QTimer* FRepeatTimer = nullptr;
    TButtonDirection FButtonDirection;
    bool FIsWinXP = false;
    bool FHasMouse = false;
    bool FFlat = false;
    bool FTransparent = false;
    bool FFocusRect = false;
    bool FAllowTimer = true;
    bool FCaptured = false;
    platform::TBitmap FGlyph;
    int FNumGlyphs = 1;
};

// The pair of spin buttons: vertical (up above down) or horizontal (down
// left, up right). Space clicks the button with the focus mark, Up and Down
// their button; the arrow keys are the pair's, not the form's.
class TEsgSpinButton : public QWidget
{
public:
    explicit TEsgSpinButton(QWidget* parent = nullptr);

    TExTimerSpeedButton* UpButton() const { return FUpButton; }
    TExTimerSpeedButton* DownButton() const { return FDownButton; }
    TExTimerSpeedButton* FocusedButton() const { return FFocusedButton; }
    // The control that takes the focus on a click (the spin edit sets itself).
    QWidget* FocusControl() const { return FFocusControl; }
    void SetFocusControl(QWidget* v) { FFocusControl = v; }
    bool TabStop() const { return (focusPolicy() & Qt::TabFocus) != 0; }
    void SetTabStop(bool v) { setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus); }
    TSpinDirection Direction() const { return FDirection; }
    void SetDirection(TSpinDirection v);
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    TSpinButtonColors& Colors() { return FColors; }
    // An empty glyph loads the default one ("EsgSpinUp", "EsgSpinDown").
    const platform::TBitmap& UpGlyph() const { return FUpButton->Glyph(); }
    void SetUpGlyph(const platform::TBitmap& v);
    const platform::TBitmap& DownGlyph() const { return FDownButton->Glyph(); }
    void SetDownGlyph(const platform::TBitmap& v);
    int UpNumGlyphs() const { return FUpButton->NumGlyphs(); }
    void SetUpNumGlyphs(int v) { FUpButton->SetNumGlyphs(v); }
    int DownNumGlyphs() const { return FDownButton->NumGlyphs(); }
    void SetDownNumGlyphs(int v) { FDownButton->SetNumGlyphs(v); }

    // Sender: the clicked button.
    std::function<void(QObject* sender)> OnUpClick, OnDownClick;

    // A left press on one of the buttons.
    void ButtonPressed(TExTimerSpeedButton* button);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void SetFocusBtn(TExTimerSpeedButton* button);
    void Layout();

    TSpinButtonColors FColors;
    TExTimerSpeedButton* FUpButton;
    TExTimerSpeedButton* FDownButton;
    TExTimerSpeedButton* FFocusedButton;
    QWidget* FFocusControl = nullptr;
    TSpinDirection FDirection = spVertical;
    bool FIsWinXP = false;
};

class TEsgSpinEdit : public platform::TEdit
{
public:
    explicit TEsgSpinEdit(QWidget* parent = nullptr);

    // An empty text reads 0; a text that is no integer reads MinValue.
    int Value() const;
    void SetValue(int v);
    // An unreadable text reads MinFloatValue.
    double FloatValue() const;
    void SetFloatValue(double v);
    // "0" or an empty text reads as now; an unreadable one MinDateValue.
    TDateTime DateValue() const;
    void SetDateValue(TDateTime v);
    // An unreadable text reads 0.
    TDateTime TimeValue() const;
    void SetTimeValue(TDateTime v);

    TEsgSpinType SpinType() const { return FSpinType; }
    void SetSpinType(TEsgSpinType v);
    // Only the kind; the text stays as it is.
    void SetSpinTypeOnly(TEsgSpinType v) { FSpinType = v; }
    int MinValue() const { return FMinValue; }
    void SetMinValue(int v) { FMinValue = v; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int v) { FMaxValue = v; }
    double MinFloatValue() const { return FMinFloatValue; }
    void SetMinFloatValue(double v) { FMinFloatValue = v; }
    double MaxFloatValue() const { return FMaxFloatValue; }
    void SetMaxFloatValue(double v) { FMaxFloatValue = v; }
    TDateTime MinDateValue() const { return FMinDateValue; }
    void SetMinDateValue(TDateTime v) { FMinDateValue = v; }
    TDateTime MaxDateValue() const { return FMaxDateValue; }
    void SetMaxDateValue(TDateTime v) { FMaxDateValue = v; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int v) { FIncrement = v; }
    double IncrementFloat() const { return FIncrementFloat; }
    void SetIncrementFloat(double v) { FIncrementFloat = v; }
    double IncrementFloatPage() const { return FIncrementFloatPage; }
    void SetIncrementFloatPage(double v) { FIncrementFloatPage = v; }
    int IncrementHours() const { return FIncrementHours; }
    void SetIncrementHours(int v) { FIncrementHours = v; }
    int IncrementMinutes() const { return FIncrementMinutes; }
    void SetIncrementMinutes(int v) { FIncrementMinutes = v; }
    int IncrementSeconds() const { return FIncrementSeconds; }
    void SetIncrementSeconds(int v) { FIncrementSeconds = v; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int v);
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v) { FEditorEnabled = v; }
    bool ShowSeconds() const { return FShowSeconds; }
    void SetShowSeconds(bool v) { FShowSeconds = v; }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool v) { FReturnIsTab = v; }
    bool AllowEmptyValue() const { return FAllowEmptyValue; }
    void SetAllowEmptyValue(bool v) { FAllowEmptyValue = v; }
    // The keypad's full stop types the locale's decimal separator.
    bool ExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool v) { FExcelStyleDecimalSeparator = v; }

    TEsgSpinButton* Button() const { return FButton; }
    TExTimerSpeedButton* UpButton() const { return FButton->UpButton(); }
    TExTimerSpeedButton* DownButton() const { return FButton->DownButton(); }
    // The pair's colours; write, then repaint the buttons (RepaintButtons).
    TSpinButtonColors& ButtonColors() { return FButton->Colors(); }
    void RepaintButtons();
    // The themed look of the buttons (the grid sets it).
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    TSpinDirection Direction() const { return FButton->Direction(); }
    void SetDirection(TSpinDirection v);
    TEditAlign EditAlign() const { return FEditAlign; }
    void SetEditAlign(TEditAlign v);
    bool SpinFlat() const { return FSpinFlat; }
    void SetSpinFlat(bool v);
    bool SpinTransparent() const { return FSpinTransparent; }
    void SetSpinTransparent(bool v);
    // The single border (on by default); the grid's editor has none.
    bool BorderSingle() const { return hasFrame(); }
    void SetBorderSingle(bool v);
    // The lowest height the edit takes: its font's character height, a
    // quarter of the smaller of that and the system font's, 2 pixels and the
    // border's.
    int MinHeight() const;

    virtual void StepUp(bool page);
    virtual void StepDown(bool page);
    virtual bool AcceptsChar(QChar c) const;
    virtual void UpButtonClick() { StepUp(false); }
    virtual void DownButtonClick() { StepDown(false); }

    // Writes a value outside the bounds back clamped (as leaving does).
    void ClampToBounds();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void Step(bool up, bool page);
    void StepDate(bool up);
    void StepTime(bool up);
    int ClampInt(int v) const;
    double ClampFloat(double v) const;
    TDateTime ClampDate(TDateTime v) const;
    void WriteKeepingCaret(const QString& text);
    void LayoutButtons();

    int FMinValue = 0, FMaxValue = 100;
    double FMinFloatValue = 0, FMaxFloatValue = 100.0;
    TDateTime FMinDateValue = 0, FMaxDateValue = 0;
    TDateTime FDateValue = 0, FTimeValue = 0;
    int FIncrement = 1;
    double FIncrementFloat = 0.1;
    double FIncrementFloatPage = 1.0;
    bool FEditorEnabled = true;
    TEsgSpinType FSpinType = sptNormal;
    int FPrecision = 0;
    bool FReturnIsTab = false;
    bool FShowSeconds = true;
    int FIncrementSeconds = 1, FIncrementMinutes = 1, FIncrementHours = 1;
    bool FAllowEmptyValue = false;
    bool FExcelStyleDecimalSeparator = false;
    bool FIsWinXP = false;
    TEditAlign FEditAlign = eaLeft;
    bool FSpinFlat = false;
    bool FSpinTransparent = false;
    TEsgSpinButton* FButton;
};

// Date conversions of the spin edit (days since 30 December 1899).
QDate SpinDateOf(TDateTime value);
TDateTime SpinDateTimeOf(const QDate& date, double timeOfDay);
