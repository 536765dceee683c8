#pragma once

// A numeric drop-down whose popup holds the calculator keypad. The edit text
// is the calculator's display and its only entry register: every operation
// reads the number from the text and writes its result back (with Precision
// decimals). Operators chain left to right without precedence; "Error" is a
// display state that the next operator, "=" or "%" reads as 0. The operator
// keys also work in the closed edit.

#include "controls/ExCalculatorPanel.h"
#include "controls/ExDropDown.h"

#include <memory>

class TExCalculatorDropdown : public TExCustomDropDown
{
public:
    explicit TExCalculatorDropdown(QWidget* parent = nullptr);
    ~TExCalculatorDropdown() override;

    TButtonAppearance& CalcButtonAppearance() { return *FCalcButtonAppearance; }
    void SetCalcButtonAppearance(const TButtonAppearance& a) { FCalcButtonAppearance->Assign(a); }
    bool ShowThousandSeparator() const { return FShowThousandSeparator; }
    void SetShowThousandSeparator(bool value);
    // 0 for a text that does not convert; an empty text becomes "0" first.
    double Value();
    // The text becomes the value in the general format.
    void SetValue(double value);
    // Finishes the pending operation and shows the result.
    void CalcResult() { DoEquals(); }
    // Null until the popup was first made.
    TCustomButtonPanel* ButtonPanel() const { return FExButtonPanel; }
    // The memory register and the pending operation (-1 none, 0 add,
    // 1 multiply, 2 subtract, 3 divide).
    double Memory() const { return FMVal; }
    int PendingOperation() const { return FPrevop; }

    void SetText(const QString& value) override;
    void SetComponentStyle(TQRVStyle style) override;
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoHideDropDown(bool cancelled) override;
    void AfterDropUp() override;
    void DropDownKeyPress(QKeyEvent* e) override;
    void DropDownKeyDown(QKeyEvent* e) override;
    // The keys typed into the edit: operators while closed, digits replacing
    // a fresh display; the rest goes to the float entry rules.
    bool HandleKeyPress(QKeyEvent* e) override;

protected:
    // Called before every keypad click and every character from the popup.
    virtual void BeforeInput() {}
    // Character handling of the edit; a consumed character becomes null.
    void KeyPress(QChar& key) override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    void ButtonClick(int index);

private:
    void KeypadKey(int tag);
    void DoEquals();
    void DoPercent();
    void ApplyPendingOperation();
    void Operator(int op);
    // The display as it is (prefix and suffix kept), or a number in the
    // float format with Precision decimals.
    void SetDisplay(const QString& value);
    void ShowNumber(double v);
    // The display's number; a text that is not one throws the platform's
    // conversion error.
    double Number() const;
    bool DisplayIsEmptyOrError() const;
    void ClearDisplay(bool newValue);
    bool CalculatorClosed() const;
    bool LimitReached() const;
    bool HandleKeyPressBase(QKeyEvent* e);
    template <class F> void KeepStateOnError(F&& step);

    TCustomButtonPanel* FExButtonPanel = nullptr;
    int FDecim = 0;
    bool FNewval = false;
    long double FPrevval = 0;
    int FPrevop = -1;
    bool FCalcClosed = true;
    std::unique_ptr<TButtonAppearance> FCalcButtonAppearance;
    long double FMVal = 0;
    bool FShowThousandSeparator = false;
    QString FOpenText;     // the text the popup was opened with
    bool FRestoring = false;
    bool FSkipKeyDown = false;
};
