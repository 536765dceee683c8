#pragma once

// The string grid's own editor controls: the combo editor, the check box
// and the push button. Each is created once with its grid, hidden between
// edits, and hands navigation keys back to the grid.

#include "grid/EsgCombo.h"
#include "grid/EsgDateTimePicker.h"
#include "grid/EsgEdit.h"
#include "grid/EsgSpin.h"

#include "platform/Controls.h"
#include "platform/CustomControl.h"

class TExStringGrid;

class TGridCombo : public TEsgComboBox
{
public:
    explicit TGridCombo(TExStringGrid* grid);

    TExStringGrid* Grid() const { return FGrid; }

    // Widens the dropped list so that its longest item fits, measured with
    // the grid's font.
    void SizeDropDownWidth();
    // Lookup completion of the text up to the caret.
    void DoChange();

    bool Forced = false;
    bool WorkMode = true;
    int ItemIdx = -1;
    bool ItemChange = false;

    // Enter was typed.
    platform::TNotifyEvent OnReturnKey;

protected:
    // The width of an item's text with the grid's canvas font.
    virtual int ItemTextWidth(const QString& text);

    void KeyDown(int& key, platform::TShiftState shift) override;
    void KeyUp(int& key, platform::TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void Change() override;
    void DoExit() override;
    // The list opening and closing is told to the grid, as a combo tells
    // its parent window.
    void DropDown() override;
    void CloseUp() override;
    // The user chose an item: the grid hears of it as of a new selection.
    void Select() override;
    void WndProc(platform::TMessage& message) override;

private:
    void NotifyGrid(int code);
    void KeyDownSteps(int& key, platform::TShiftState shift);
    // Writes the text as the current cell and validates it; false when refused.
    bool WriteAndValidate();
    // Takes the validated cell text back: the item of a list-only combo,
    // the text of an editable one.
    void TakeCellText();
    void CursorWalk(bool forward);
    void RaiseComboChange(int index);

    TExStringGrid* FGrid;
    // The key-down of the key now going up ended the edit.
    bool keyEndedEdit_ = false;
    // A typed character is being handled; it reports its own choice.
    bool inChar_ = false;
    // Caret and selection when the last key went down: the cursor walk leaves
    // the cell only from an end the caret already stood at.
    int selKeyDown_ = -1;
    int selLenKeyDown_ = 0;
};

// The check box shown over a check-box cell.
class TGridCheckBox : public platform::TCheckBox
{
public:
    explicit TGridCheckBox(TExStringGrid* grid);
    TExStringGrid* Grid() const { return FGrid; }
    // Rebuilds the window before the grid shows it.
    void ReCreate();
    // Flips the state as the platform's own toggle does (raises OnClick).
    void Toggle();

    platform::TNotifyEvent OnExit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void KeyDown(int& key, platform::TShiftState shift);

    TExStringGrid* FGrid;
    bool pressed_ = false;
};

// The push button shown over a button cell.
class TGridButton : public platform::TCustomControl
{
public:
    explicit TGridButton(TExStringGrid* grid);
    TExStringGrid* Grid() const { return FGrid; }
    void ReCreate();
    QString Text() const { return FText; }
    void SetText(const QString& text);
    bool Down() const { return mouseDown_ || spaceDown_; }

    // Escape and the arrows are the button's; Enter is left to the form.
    bool WantsKey(int key) const override;
    bool IsButtonControl() const override { return true; }

protected:
    void Paint() override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    void KeyUp(int& key, platform::TShiftState shift) override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void DoExit() override;

private:
    void ButtonAction(bool fromSpace);
    void LeaveToGrid();

    TExStringGrid* FGrid;
    QString FText;
    bool leaving_ = false;
    bool mouseDown_ = false;
    bool spaceDown_ = false;
};

// The spin editor of the spin kinds (created on first use).
class TGridSpin : public TEsgSpinEdit
{
public:
    explicit TGridSpin(TExStringGrid* grid);
    TExStringGrid* Grid() const { return FGrid; }
    // A button click steps, then raises the grid's spin event of the kind.
    void UpButtonClick() override;
    void DownButtonClick() override;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void RaiseSpin(bool up);
    TExStringGrid* FGrid;
};

// The edit with a button of the edit-with-button kinds.
class TGridEditBtn : public TEsgEditBtn
{
public:
    explicit TGridEditBtn(TExStringGrid* grid);
    TExStringGrid* Grid() const { return FGrid; }
    bool StopEditAfterClick() const { return FStopEditAfterClick; }
    void SetStopEditAfterClick(bool v) { FStopEditAfterClick = v; }
    void DoClickBtn(QObject* sender) override;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

    // The clipboard's text through the grid's OnClipboardPaste and
    // OnClipboardBeforePasteCell, then into the edit and the cell's edit text.
    void DoPaste() override;

private:
    void CursorWalk(bool forward);
    TExStringGrid* FGrid;
    bool FStopEditAfterClick = false;
    // Completion from the grid's lookup list follows typing, not deleting.
    bool WorkMode = true;
    // Caret and selection when the last key went down: the cursor walk leaves
    // the cell only from an end the caret already stood at.
    int FSelKeyDown = 0;
    int selLenKeyDown_ = 0;
};

// The value-and-unit editor of the unit kinds.
class TGridUnitEditBtn : public TEsgUnitEditBtn
{
public:
    explicit TGridUnitEditBtn(TExStringGrid* grid);
    TExStringGrid* Grid() const { return FGrid; }
    void DoClickBtn(QObject* sender) override;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TExStringGrid* FGrid;
};

// The date and time picker of the date and time kinds (created on first use).
class TGridDatePicker : public TEsgDateTimePicker
{
public:
    explicit TGridDatePicker(TExStringGrid* grid);
    TExStringGrid* Grid() const { return FGrid; }
    // The value read from a cell text (time or date by Kind; a date that
    // does not read becomes today) and the text of the value.
    // A date comes through the grid's OnCustomStrToDate when set, and is
    // kept inside the limits: after MaxDate it becomes the day before it, at
    // or before MinDate the day after it.
    void ReadCellText(const QString& text);
    // Empty while the picker's check box is off.
    QString CellText() const;
    // The calendar's looks, applied each time it drops down.
    bool Weeknumbers() const { return FWeekNumbers; }
    void SetWeeknumbers(bool v) { FWeekNumbers = v; }
    bool ShowToday() const { return FShowToday; }
    void SetShowToday(bool v) { FShowToday = v; }
    bool ShowTodayCircle() const { return FShowTodayCircle; }
    void SetShowTodayCircle(bool v) { FShowTodayCircle = v; }

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TExStringGrid* FGrid;
    bool FWeekNumbers = false;
    bool FShowToday = true;
    bool FShowTodayCircle = true;
};
