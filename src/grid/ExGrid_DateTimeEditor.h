#pragma once

// The grid's date-and-time editor (edDateTimeEdit): the date-and-time picker,
// its date part and its time part beside it, without a border. The cell takes
// the value in the short date form, a blank and the short time form of the
// region.

#include "controls/ExDateTimePicker.h"
#include "grid/ExGrid.h"

class TGridDateTimePicker : public TExDateTimePicker
{
public:
    explicit TGridDateTimePicker(TExStringGrid* grid);
    TExStringGrid* Grid() const { return FGrid; }

    // The value of a cell text; an empty text or one that does not read is
    // the current date and time.
    TDateTime ReadCellText(const QString& text);
    void SetValue(TDateTime value);
    TDateTime Value() const;
    // The text written back into the cell; empty when the check box is shown
    // and cleared.
    QString CellText() const;
    // The cell format: short date, a blank, short time.
    static QString CellFormat();
    // The height it has of its own; a lower cell does not squeeze it.
    int OwnHeight() const { return FOwnHeight; }

protected:
    // Tab, Enter, Escape, Page Up, Page Down and End end the edit, from the
    // date part and the time part alike.
    void KeyDown(int& key, platform::TShiftState shift) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void WatchTimePart();
    TExStringGrid* FGrid;
    int FOwnHeight = 0;
};
