#pragma once

// The grid's date-and-time editor (edDateTimeEdit): one picker for the date
// and the time of a cell, in the short date form, a blank and the short time
// form of the region.

#include "grid/ExGrid.h"
#include "platform/DateTimePicker.h"

class TGridDateTimePicker : public platform::TDateTimePicker
{
public:
    explicit TGridDateTimePicker(TExStringGrid* grid);
    TExStringGrid* Grid() const { return FGrid; }

    // The value of a cell text; an empty text or one that does not read is
    // the current date and time.
    TDateTime ReadCellText(const QString& text);
    void SetValue(TDateTime value);
    TDateTime Value() const;
    // The text written back into the cell.
    QString CellText() const;
    // The display and cell format: short date, a blank, short time.
    static QString CellFormat();

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    TExStringGrid* FGrid;
};
