#pragma once

// The spin edit: an edit field holding an integer, a floating-point number,
// a date or a time as text, with a pair of buttons at its right. Buttons,
// arrow and page keys step the value; every value written is kept within
// the bounds (equal bounds: none); typing is filtered by the kind of value.

#include "platform/Controls.h"
#include "platform/Graphics.h"
#include "widgets/ExUtil.h" // TDateTime

#include <QToolButton>

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

// One spin button: repeats its click while held; draws itself in the pair's
// colours with a black triangle, themed, or as the platform's arrow button.
class TExTimerSpeedButton : public QToolButton
{
public:
    TExTimerSpeedButton(QWidget* parent, const TSpinButtonColors* colors, TButtonDirection direction);

    TButtonDirection ButtonDirection() const { return FButtonDirection; }
    void SetButtonDirection(TButtonDirection v);
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    bool HasMouse() const { return FHasMouse; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    const TSpinButtonColors* FColors;
    TButtonDirection FButtonDirection;
    bool FIsWinXP = false;
    bool FHasMouse = false;
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

    TExTimerSpeedButton* UpButton() const { return FUpButton; }
    TExTimerSpeedButton* DownButton() const { return FDownButton; }
    // The pair's colours; write, then repaint the buttons (RepaintButtons).
    TSpinButtonColors& ButtonColors() { return FButtonColors; }
    void RepaintButtons();
    // The themed look of the buttons (the grid sets it).
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    static constexpr int ButtonWidth = 15;

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
    TSpinButtonColors FButtonColors;
    TExTimerSpeedButton* FUpButton;
    TExTimerSpeedButton* FDownButton;
};

// Date conversions of the spin edit (days since 30 December 1899).
QDate SpinDateOf(TDateTime value);
TDateTime SpinDateTimeOf(const QDate& date, double timeOfDay);
