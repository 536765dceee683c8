// Spreadsheet workbooks through the spreadsheet application's automation
// server: the names of a workbook's worksheets, a worksheet read into the
// grid, the grid written into a worksheet.
//
// A read takes everything it needs from the server first and only then
// changes the grid, so a failing server leaves the grid as it was. A write
// never saves a new workbook over a file it could not open: that file may
// hold other sheets.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Automation.h"
#include "grid/ExGrid_Exchange.h"

#include "platform/HourglassCursor.h"

#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <cmath>

using namespace exgrid_automation;
using platform::AutomationError;
using platform::AutomationValue;

namespace exgrid_automation {

QString ColumnLetters(int k)
{
    if (k < 1 || k > 26 * 27)
        return {};
    if (k <= 26)
        return QString(QChar(u'A' + k - 1));
    int q = k / 26;
    int r = k % 26;
    if (r == 0) {
        r = 26;
        --q;
    }
    return QString(QChar(u'A' + q - 1)) + QChar(u'A' + r - 1);
}

int ColumnNumber(const QString& letters)
{
    const auto letter = [](QChar c) { return c >= u'A' && c <= u'Z' ? c.unicode() - 64 : 0; };
    if (letters.size() == 1)
        return letter(letters[0]);
    if (letters.size() == 2 && letter(letters[0]) && letter(letters[1]))
        return letter(letters[0]) * 26 + letter(letters[1]);
    return 0;
}

namespace {

// A row number that converts completely; 0 when it does not.
int RowNumber(const QString& s)
{
    if (s.isEmpty() || s.size() > 9)
        return 0;
    int v = 0;
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return 0;
        v = v * 10 + (c.unicode() - u'0');
    }
    return v;
}

QString WithoutLeadingDollar(const QString& s) { return s.startsWith(u'$') ? s.mid(1) : s; }

// "A$1" (the leading "$" already gone): column letters before the "$", row after.
bool ParseCell(const QString& s, int& col, int& row)
{
    const qsizetype d = s.indexOf(u'$');
    if (d < 0)
        return false;
    col = ColumnNumber(s.left(d));
    row = RowNumber(s.mid(d + 1));
    return col > 0 && row > 0;
}

} // namespace

UsedRange ParseUsedRange(const QString& address)
{
    UsedRange u;
    const qsizetype colon = address.indexOf(u':');
    if (colon >= 0) {
        const QString first = WithoutLeadingDollar(address.left(colon));
        const QString last = WithoutLeadingDollar(address.mid(colon + 1, 255));
        if (!first.contains(u'$')) {
            // A range of whole rows.
            u.firstRow = RowNumber(first);
            u.lastRow = RowNumber(last);
            u.firstCol = 1;
            u.lastCol = 256;
            u.valid = u.firstRow > 0 && u.lastRow > 0;
        } else {
            u.valid = ParseCell(first, u.firstCol, u.firstRow) && ParseCell(last, u.lastCol, u.lastRow);
        }
    } else if (!address.contains(u'$')) {
        u.firstCol = u.lastCol = u.firstRow = u.lastRow = 1;
        u.valid = true;
    } else {
        u.valid = ParseCell(WithoutLeadingDollar(address), u.firstCol, u.firstRow);
        u.lastCol = u.firstCol;
        u.lastRow = u.firstRow;
    }
    // A range given backwards would make negative grid sizes.
    if (u.lastCol < u.firstCol || u.lastRow < u.firstRow)
        u.valid = false;
    return u;
}

QString RangeAddress(int firstCol, int firstRow, int lastCol, int lastRow)
{
    return ColumnLetters(firstCol) + QString::number(firstRow) + u':' + ColumnLetters(lastCol) +
           QString::number(lastRow);
}

namespace {

// The platform's general float text: 15 significant digits, the exponent
// as "E" and its digits without a plus sign or leading zeros.
QString FloatText(double v)
{
    QString s = QString::number(v, 'g', 15).toUpper();
    const qsizetype e = s.indexOf(u'E');
    if (e >= 0 && s != QStringLiteral("INF") && s != QStringLiteral("-INF")) {
        QString exp = s.mid(e + 1);
        QString sign;
        if (exp.startsWith(u'+') || exp.startsWith(u'-')) {
            if (exp[0] == u'-')
                sign = QStringLiteral("-");
            exp.remove(0, 1);
        }
        while (exp.size() > 1 && exp[0] == u'0')
            exp.remove(0, 1);
        s = s.left(e) + u'E' + sign + exp;
    }
    return s.replace(u'.', LocaleDecimalSeparator());
}

} // namespace

QString ValueText(const AutomationValue& value)
{
    switch (value.kind) {
    case AutomationValue::Kind::Text: return value.text;
    case AutomationValue::Kind::Number: return FloatText(value.number);
    case AutomationValue::Kind::Boolean: return value.boolean ? QStringLiteral("True") : QStringLiteral("False");
    case AutomationValue::Kind::Date: {
        const double days = std::trunc(value.number);
        const bool hasTime = value.number != days;
        if (days == 0 && hasTime)
            return TimeToText(value.number);
        return hasTime ? DateToText(value.number) + u' ' + TimeToText(value.number) : DateToText(value.number);
    }
    case AutomationValue::Kind::Empty:
    case AutomationValue::Kind::Null:
    case AutomationValue::Kind::Error:
    case AutomationValue::Kind::Object: break;
    }
    return {};
}

} // namespace exgrid_automation

namespace {

const QString kServerNotFound = QStringLiteral("Excel OLE server not found");
const QString kIncorrectFile = QStringLiteral("Incorrect XLS file");

std::unique_ptr<platform::SpreadsheetApplication> StartSpreadsheet()
{
    try {
        if (auto app = platform::CurrentAutomationServers().StartSpreadsheet())
            return app;
    } catch (const AutomationError&) {
    }
    throw REruVidaZuvez(kServerNotFound);
}

// Ending the application cannot undo what was read or written, so its
// errors are not the caller's.
void QuitQuietly(platform::SpreadsheetApplication* app)
{
    if (!app)
        return;
    try {
        app->Quit();
    } catch (const AutomationError&) {
    }
}

// What a read takes from the server before the grid changes.
struct SheetData
{
    UsedRange range;
    bool single = false;
    AutomationValue cell;
    platform::AutomationArray values;
};

SheetData ReadSheet(platform::SpreadsheetSheet& sheet, int colLimit, int rowLimit)
{
    SheetData d;
    try {
        d.range = ParseUsedRange(sheet.UsedRangeAddress());
        const UsedRange& u = d.range;
        const long long cols = static_cast<long long>(u.lastCol) - u.firstCol + 1;
        const long long rows = static_cast<long long>(u.lastRow) - u.firstRow + 1;
        if (!u.valid || cols > colLimit || rows > rowLimit)
            throw REruVidaZuvez(kIncorrectFile);
        d.single = cols == 1 && rows == 1;
        if (d.single) {
            d.cell = sheet.CellValue(u.firstRow, u.firstCol);
        } else {
            d.values = sheet.RangeValue(RangeAddress(u.firstCol, u.firstRow, u.lastCol, u.lastRow));
            // The array must cover the range it was asked for.
            if (static_cast<long long>(d.values.size()) < rows)
                throw REruVidaZuvez(kIncorrectFile);
            for (long long i = 0; i < rows; ++i)
                if (static_cast<long long>(d.values[i].size()) < cols)
                    throw REruVidaZuvez(kIncorrectFile);
        }
    } catch (const AutomationError&) {
        throw REruVidaZuvez(kIncorrectFile);
    }
    return d;
}

void ReadXLSIntoGrid(TExStringGrid& g, const QString& fileName, const QString* sheetName)
{
    const platform::HourglassCursor hourglass;
    auto app = StartSpreadsheet();
    const auto quit = qScopeGuard([&app] { QuitQuietly(app.get()); });
    const int colOffset = g.SaveFixedCells() || g.SaveFixedCols() ? 0 : g.FixedCols();
    const int rowOffset = g.SaveFixedCells() || g.SaveFixedRows() ? 0 : g.FixedRows();
    const int colLimit = exgrid_exchange::MaxFileCols - colOffset - g.NumHiddenColumns();
    const int rowLimit = exgrid_exchange::MaxFileRows - rowOffset;

    SheetData data;
    {
        std::unique_ptr<platform::SpreadsheetWorkbook> book = app->OpenWorkbook(fileName);
        const auto close = qScopeGuard([&book] {
            try {
                book->Close(false);
            } catch (const AutomationError&) {
            }
        });
        std::unique_ptr<platform::SpreadsheetSheet> sheet;
        if (sheetName) {
            const int n = book->SheetCount();
            for (int i = 1; i <= n && !sheet; ++i) {
                std::unique_ptr<platform::SpreadsheetSheet> s = book->Sheet(i);
                if (s->Name() == *sheetName)
                    sheet = std::move(s);
            }
            if (!sheet)
                throw REruVidaZuvez(QStringLiteral("Excel worksheet ") + *sheetName + QStringLiteral(" not found"));
        } else {
            sheet = book->ActiveSheet();
        }
        data = ReadSheet(*sheet, colLimit, rowLimit);
    }

    // Everything is read: now the grid changes.
    const UsedRange& u = data.range;
    const int oldFixedCols = g.FixedCols();
    const int oldFixedRows = g.FixedRows();
    g.BeginUpdate();
    {
        const auto endUpdate = qScopeGuard([&g] { g.EndUpdate(); });
        g.SetColCount(u.lastCol - u.firstCol + 1 + colOffset);
        g.SetRowCount(u.lastRow - u.firstRow + 1 + rowOffset);
        if (oldFixedCols < g.ColCount() && g.FixedCols() != oldFixedCols)
            g.SetFixedCols(oldFixedCols);
        if (oldFixedRows < g.RowCount() && g.FixedRows() != oldFixedRows)
            g.SetFixedRows(oldFixedRows);
        if (data.single) {
            if (data.cell.kind != AutomationValue::Kind::Error && data.cell.kind != AutomationValue::Kind::Object)
                g.DoLoadCell(g.RealColIndex(colOffset), rowOffset, ValueText(data.cell));
        } else {
            const int rows = std::min(u.lastRow - u.firstRow + 1, g.RowCount() - rowOffset);
            const int cols = std::min(u.lastCol - u.firstCol + 1, g.ColCount() - colOffset);
            for (int i = 0; i < rows; ++i) {
                for (int j = 0; j < cols; ++j) {
                    const AutomationValue& v = data.values[i][j];
                    // Error values and objects have no text: the cell keeps its own.
                    if (v.kind == AutomationValue::Kind::Error || v.kind == AutomationValue::Kind::Object)
                        continue;
                    g.DoLoadCell(g.RealColIndex(colOffset + j), rowOffset + i, ValueText(v));
                }
            }
        }
    }
}

// The cells-changed notifications come on every way out, after the server
// has gone and the cursor is back.
void LoadXLS(TExStringGrid& g, const QString& fileName, const QString* sheetName)
{
    const auto notify = [&g] {
        g.CellsChanged(platform::TRect{0, 0, g.ColCount(), g.RowCount()});
        g.CellsUpdated();
    };
    try {
        ReadXLSIntoGrid(g, fileName, sheetName);
    } catch (...) {
        notify();
        throw;
    }
    notify();
}

void SaveXLS(TExStringGrid& g, const QString& fileName, const QString* sheetName, bool createNewSheet)
{
    const platform::HourglassCursor hourglass;
    const int n = g.RowCount() - g.SaveStartRow();
    const int m = g.ColCount() - g.SaveStartCol();
    const QString lastLetters = ColumnLetters(m);
    if (lastLetters.isEmpty())
        throw REruVidaZuvez(QStringLiteral("Too many columns for an Excel worksheet"));

    std::unique_ptr<platform::SpreadsheetApplication> app;
    bool started = false;
    try {
        app = platform::CurrentAutomationServers().RunningSpreadsheet();
    } catch (const AutomationError&) {
    }
    if (!app) {
        app = StartSpreadsheet();
        started = true;
    }
    const auto quit = qScopeGuard([&app, started] {
        if (started)
            QuitQuietly(app.get());
    });

    std::unique_ptr<platform::SpreadsheetWorkbook> book;
    std::unique_ptr<platform::SpreadsheetSheet> sheet;
    bool fromFile = false;
    int s = 1;
    if (sheetName) {
        if (QFileInfo::exists(fileName)) {
            // A file that does not open is left alone: a new workbook saved
            // in its place would lose every other sheet it holds.
            try {
                book = app->OpenWorkbook(fileName);
            } catch (const AutomationError& e) {
                throw REruVidaZuvez(QStringLiteral("Cannot open file ") + fileName + QStringLiteral(": ") +
                                    e.Message());
            }
            fromFile = true;
        } else {
            book = app->AddWorkbook();
        }
        const int count = book->WorksheetCount();
        for (int i = 1; i <= count; ++i) {
            std::unique_ptr<platform::SpreadsheetSheet> ws = book->Worksheet(i);
            if (ws->Name() == *sheetName)
                sheet = std::move(ws);
        }
        if (!sheet) {
            sheet = book->AddWorksheet();
            sheet->SetName(*sheetName);
        }
    } else if (createNewSheet || app->WorkbookCount() == 0) {
        book = app->AddWorkbook();
        sheet = book->Worksheet(1);
    } else {
        book = app->ActiveWorkbook();
        sheet = book->ActiveSheet();
        s = app->ActiveCellRow();
    }

    platform::AutomationArray values(static_cast<size_t>(n));
    g.ExportNotification(esExportStart, g.SaveStartRow());
    for (int r = g.SaveStartRow(); r < g.RowCount(); ++r) {
        g.ExportNotification(esExportNextRow, r);
        std::vector<AutomationValue>& row = values[static_cast<size_t>(r - g.SaveStartRow())];
        row.reserve(static_cast<size_t>(m));
        for (int c = g.SaveStartCol(); c < g.ColCount(); ++c) {
            QString t;
            g.QuerySaveCellText(g.RealColIndex(c), r, t);
            // The worksheet breaks lines at LF alone.
            t.remove(u'\r');
            row.push_back(AutomationValue::OfText(t));
        }
    }
    g.ExportNotification(esExportDone, -1);
    sheet->SetRangeValue(QStringLiteral("A") + QString::number(s) + u':' + lastLetters + QString::number(s + n - 1),
                         values);

    // A save that fails is the caller's to know: the file does not hold the grid.
    try {
        if (fromFile)
            book->Save();
        else
            book->SaveAs(fileName);
    } catch (const AutomationError& e) {
        throw REruVidaZuvez(QStringLiteral("Cannot Create file ") + fileName + QStringLiteral(": ") + e.Message());
    }
}

} // namespace

QStringList TExStringGrid::GetXLSSheets(const QString& fileName)
{
    const platform::HourglassCursor hourglass;
    auto app = StartSpreadsheet();
    const auto quit = qScopeGuard([&app] { QuitQuietly(app.get()); });
    std::unique_ptr<platform::SpreadsheetWorkbook> book = app->OpenWorkbook(fileName);
    // Marked as saved on every way out, so that quitting never asks.
    const auto saved = qScopeGuard([&book] {
        try {
            book->SetSaved(true);
        } catch (const AutomationError&) {
        }
    });
    QStringList names;
    const int n = book->WorksheetCount();
    for (int i = 1; i <= n; ++i)
        names << book->Worksheet(i)->Name();
    return names;
}

void TExStringGrid::LoadFromXLS(const QString& fileName) { LoadXLS(*this, fileName, nullptr); }

void TExStringGrid::LoadFromXLSSheet(const QString& fileName, const QString& sheetName)
{
    LoadXLS(*this, fileName, &sheetName);
}

void TExStringGrid::SaveToXLS(const QString& fileName, bool createNewSheet)
{
    SaveXLS(*this, fileName, nullptr, createNewSheet);
}

void TExStringGrid::SaveToXLSSheet(const QString& fileName, const QString& sheetName)
{
    SaveXLS(*this, fileName, &sheetName, false);
}
