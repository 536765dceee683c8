#pragma once

// The small editors a click opens outside the grid's inplace editing: the
// header editors laid over a fixed cell (an edit or a combo), and the edit
// and combo laid over an HTML form field of a cell. The grid opens, places
// and reads them; here is how they end, validate and hand keys back.

#include "grid/EsgCombo.h"

#include "platform/ComboBox.h"
#include "platform/Controls.h"

class TExStringGrid;

// Header editor: an edit without border over a fixed cell.
class TGridTransEdit : public platform::TEdit
{
public:
    explicit TGridTransEdit(TExStringGrid* grid);
    TExStringGrid* Grid() const { return FGrid; }
    int FCol = -1;
    int FRow = -1;
    // Ends the edit: validates, writes the cell and hides. False when the
    // value was refused and editing goes on.
    bool StopEdit();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TExStringGrid* FGrid;
    bool stopping_ = false;
};

// Header editor: a combo over a fixed cell.
class TGridTransCombo : public platform::TCustomComboBox
{
public:
    explicit TGridTransCombo(TExStringGrid* grid);
    TExStringGrid* Grid() const { return FGrid; }
    int FCol = -1;
    int FRow = -1;
    bool StopEdit();

protected:
    void KeyPress(QChar& key) override;
    void DoExit() override;

private:
    TExStringGrid* FGrid;
    bool stopping_ = false;
};

// The edit of EDIT, PASSWORD and MASK form fields.
class TControlEdit : public platform::TEdit
{
public:
    explicit TControlEdit(QWidget* parent);
    // The field's PROP: the mask's first section in mask letters.
    void SetEditMask(const QString& mask);
    QString EditMask() const { return FEditMask; }

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // Enter or Tab ends the field edit.
    void EndByKey(bool tab);
    QString FEditMask;
};

// The combo of COMBO form fields.
class TControlCombo : public TEsgComboBox
{
public:
    explicit TControlCombo(QWidget* parent);

protected:
    // Tab is the combo's (it moves to the next field); the rest as usual.
    void WndProc(platform::TMessage& message) override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    void KeyPress(QChar& key) override;

private:
    void EndByKey(bool tab);
};
