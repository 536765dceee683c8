#pragma once

// The string grid's drop-down editors: the track-bar, memo, calculator,
// detail, colour and image drop-downs tied to the grid that owns them. The
// grid makes each on first use, shows it over the current cell, and takes its
// value back when editing ends (ExGrid_DropDownEditors.cpp holds the grid's
// side too).
//
// All follow one protocol: navigation keys end the edit and move in the grid,
// Enter (and Up and Down) first write the editor's value as the current cell
// and validate it, a refused value keeps the editor open with the replacement
// text, Escape ends the edit with the cell as it was, and leaving the editor
// commits it.

#include "controls/ExCalculatorDropdown.h"
#include "controls/ExColorPickerDropDown.h"
#include "controls/ExCustomGridDropDown.h"
#include "controls/ExDetailDropDown.h"
#include "controls/ExImagePickerDropDown.h"
#include "controls/ExMemoDropDown.h"
#include "controls/ExMultiColumnDropDown.h"
#include "controls/ExTimePickerDropDown.h"
#include "controls/ExTrackBarDropDown.h"

class TExStringGrid;

template <class Base>
class TGridDropDown : public Base
{
public:
    explicit TGridDropDown(TExStringGrid* grid);
    TExStringGrid* Grid() const { return FGrid; }

    // Cleared at every key-down.
    bool Forced = false;
    // False after Backspace and Delete, true after any other key.
    bool WorkMode = true;

    // The grid fills the editor between these; no grid events meanwhile.
    void BeginLoad()
    {
        FLoading = true;
        FCancelled = false;
    }
    void EndLoad() { FLoading = false; }
    bool Loading() const { return FLoading; }
    // Escape ended the edit: the cell keeps what it had.
    bool Cancelled() const { return FCancelled; }

    // The value written into the cell while the editor is up, and the cell
    // text taken back after a validation.
    virtual QString EditorText() { return this->Text(); }
    virtual void TakeText(const QString& text) { this->SetText(text); }

    // Characters reach the grid's OnKeyPress first.
    bool HandleKeyPress(QKeyEvent* e) override;

protected:
    virtual bool InNavigationSet(int key, platform::TShiftState shift) const;
    // Enter, Up and Down write and validate.
    virtual bool WritesOnKey(int key) const;
    virtual void BeforeWrite(int key) {}

    void KeyDown(int& key, platform::TShiftState shift) override;
    void Change() override;
    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

    // The caret goes under the mouse when editing began with a click.
    bool FCaretUnderMouse = false;
    TExStringGrid* FGrid;

private:
    bool WriteAndValidate();
    bool FLoading = false;
    bool FCancelled = false;
};

class TGridTrackbarDropDown : public TGridDropDown<TExTrackBarDropDown>
{
public:
    explicit TGridTrackbarDropDown(TExStringGrid* grid);
};

class TGridMemoDropDown : public TGridDropDown<TExMemoDropDown>
{
public:
    explicit TGridMemoDropDown(TExStringGrid* grid);
    // The memo's lines as one text.
    QString EditorText() override;
};

class TGridCalculatorDropDown : public TGridDropDown<TExCalculatorDropdown>
{
public:
    explicit TGridCalculatorDropDown(TExStringGrid* grid);

protected:
    // Enter finishes the pending calculation before the text is written.
    void BeforeWrite(int key) override;
};

class TGridDetailPickerDropDown : public TGridDropDown<TExDetailDropDown>
{
public:
    explicit TGridDetailPickerDropDown(TExStringGrid* grid);
};

class TGridColorDropDown : public TGridDropDown<TExColorPickerDropDown>
{
public:
    explicit TGridColorDropDown(TExStringGrid* grid);
    // The colour's name text; taking a text back selects the colour of that name.
    QString EditorText() override { return SelectedColorText(); }
    void TakeText(const QString& text) override;
    // Opens on a cell's colour: its first entry in the list, or no entry
    // (never the entry of the cell edited before).
    void LoadColor(platform::TColor c);

protected:
    // With the list open only Tab, Enter and Escape end the edit.
    bool InNavigationSet(int key, platform::TShiftState shift) const override;
    // Only Enter is validated; Up and Down just end the edit.
    bool WritesOnKey(int key) const override;
};

class TGridTimepickerDropDown : public TGridDropDown<TExTimePickerDropDown>
{
public:
    explicit TGridTimepickerDropDown(TExStringGrid* grid);
    // The cell's text as the edit opened with it.
    void Load(const QString& text);
    // The typed time when it is a whole valid time; otherwise the time held,
    // so that a time out of range never reaches the cell (an untouched edit
    // gives the cell's own text back).
    QString EditorText() override;

private:
    QString FLoadedText;
    TDateTime FLoadedTime = 0;
};

class TGridImageDropDown : public TGridDropDown<TExImagePickerDropDown>
{
public:
    explicit TGridImageDropDown(TExStringGrid* grid);
    // A data-image cell holds the image index as its text; an image-list cell
    // keeps its own text, the index going to its image.
    void SetDataImageCell(bool v) { FDataImageCell = v; }
    bool DataImageCell() const { return FDataImageCell; }
    QString EditorText() override;
    void TakeText(const QString& text) override;

private:
    bool FDataImageCell = false;
};

class TGridGridDropDown : public TGridDropDown<TExMultiColumnDropDown>
{
public:
    explicit TGridGridDropDown(TExStringGrid* grid);
    // Opens on a cell's text: the item of that text (item 0 for an empty cell).
    void LoadText(const QString& text);
};

class TGridExGridDropDown : public TGridDropDown<TCustomExGridDropDown>
{
public:
    explicit TGridExGridDropDown(TExStringGrid* grid);
    // The popup's grid, as a string grid.
    TExStringGrid* Grid() const { return InnerGrid(); }
    // Opens on a cell's text: with items, the item whose lookup text matches
    // it is selected (the first item for an empty cell).
    void LoadText(const QString& text);
};
