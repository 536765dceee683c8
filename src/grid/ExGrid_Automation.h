#pragma once

// Helpers of the grid's exchange through the platform's automation servers
// (ExGrid_AutomationXLS: spreadsheet workbooks; ExGrid_AutomationDOC:
// documents and database queries): worksheet addresses, the text of a
// server's value, and the query of a database table.

#include "platform/Automation.h"

#include <QString>

namespace exgrid_automation {

// The letters of worksheet column k (1-based): A..Z, then two letters up to
// ZZ (702). Empty when k is outside 1..702.
QString ColumnLetters(int k);
// The column of one or two capital letters; 0 for anything else.
int ColumnNumber(const QString& letters);

// A used-range address as the spreadsheet reports it ("$A$1:$D$10",
// "$B$3", "3:7"), as first and last column and row (1-based).
struct UsedRange
{
    bool valid = false;
    int firstCol = 0;
    int firstRow = 0;
    int lastCol = 0;
    int lastRow = 0;
};
UsedRange ParseUsedRange(const QString& address);
// "A1:D10"; a single cell as "A1:A1".
QString RangeAddress(int firstCol, int firstRow, int lastCol, int lastRow);

// A value as text: numbers with the regional decimal separator, dates in the
// regional short date form (and long time when the time is not midnight),
// True/False; empty and null values give an empty text.
QString ValueText(const platform::AutomationValue& value);

// The table name as a quoted identifier of the database driver's SQL: in
// grave accents, a grave accent inside doubled. Whatever the name holds, it
// stays one name in the query.
QString QuoteTableName(const QString& table);
// The connection string for a database file; a file name holding a
// separator of the string goes in braces.
QString DatabaseConnectionString(const QString& fileName);

} // namespace exgrid_automation
