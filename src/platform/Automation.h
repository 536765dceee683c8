#pragma once

// The office automation servers the grid's exchange drives: a spreadsheet
// application, a word processor and the data-access objects. Only the calls
// the grid makes are here, one member per server call, named after it. This
// system has none of these servers: the servers in force answer that they are
// not available, and tests put a substitute in their place.
//
// Rules every server keeps: indexes are 1-based as the servers count them; a
// call that fails raises AutomationError; objects are released when their
// pointer goes.

#include <QString>

#include <memory>
#include <stdexcept>
#include <vector>

namespace platform {

// An error a server reports through a call.
class AutomationError : public std::runtime_error
{
public:
    explicit AutomationError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message)
    {
    }
    QString Message() const { return message_; }

private:
    QString message_;
};

// A value as a server hands it over.
struct AutomationValue
{
    enum class Kind { Empty, Null, Text, Number, Boolean, Date, Error, Object };
    Kind kind = Kind::Empty;
    QString text;      // Text
    double number = 0; // Number; Date as days since 30 December 1899
    bool boolean = false;

    static AutomationValue OfText(const QString& t) { return {Kind::Text, t, 0, false}; }
    static AutomationValue OfNumber(double v) { return {Kind::Number, {}, v, false}; }
    static AutomationValue OfDate(double days) { return {Kind::Date, {}, days, false}; }
    static AutomationValue OfBoolean(bool b) { return {Kind::Boolean, {}, 0, b}; }
    static AutomationValue OfKind(Kind k) { return {k, {}, 0, false}; }
};

// A two-dimensional array of values, row by row: the server's element
// (i, j), counted from 1, is [i - 1][j - 1] here.
using AutomationArray = std::vector<std::vector<AutomationValue>>;

// ---------------------------------------------------------------------------
// Spreadsheet application ("excel.application")
// ---------------------------------------------------------------------------

class SpreadsheetSheet
{
public:
    virtual ~SpreadsheetSheet() = default;
    virtual QString Name() = 0;
    virtual void SetName(const QString& name) = 0;
    // UsedRange.Address, for example "$A$1:$D$10".
    virtual QString UsedRangeAddress() = 0;
    // Range(address).Value, read and set.
    virtual AutomationArray RangeValue(const QString& address) = 0;
    virtual void SetRangeValue(const QString& address, const AutomationArray& values) = 0;
    // Rows.Cells(row, column).
    virtual AutomationValue CellValue(int row, int column) = 0;
};

class SpreadsheetWorkbook
{
public:
    virtual ~SpreadsheetWorkbook() = default;
    // Sheets: every sheet, Sheets(i).
    virtual int SheetCount() = 0;
    virtual std::unique_ptr<SpreadsheetSheet> Sheet(int index) = 0;
    // WorkSheets: the worksheets only, item(i) and Add.
    virtual int WorksheetCount() = 0;
    virtual std::unique_ptr<SpreadsheetSheet> Worksheet(int index) = 0;
    virtual std::unique_ptr<SpreadsheetSheet> AddWorksheet() = 0;
    virtual std::unique_ptr<SpreadsheetSheet> ActiveSheet() = 0;
    virtual void SetSaved(bool saved) = 0;
    virtual void Save() = 0;
    virtual void SaveAs(const QString& fileName) = 0;
    virtual void Close(bool saveChanges) = 0;
};

class SpreadsheetApplication
{
public:
    virtual ~SpreadsheetApplication() = default;
    // WorkBooks.Open, WorkBooks.Add, WorkBooks.Count.
    virtual std::unique_ptr<SpreadsheetWorkbook> OpenWorkbook(const QString& fileName) = 0;
    virtual std::unique_ptr<SpreadsheetWorkbook> AddWorkbook() = 0;
    virtual int WorkbookCount() = 0;
    virtual std::unique_ptr<SpreadsheetWorkbook> ActiveWorkbook() = 0;
    // ActiveCell.Row.
    virtual int ActiveCellRow() = 0;
    // Ends the application; it never stops to ask about unsaved work.
    virtual void Quit() = 0;
};

// ---------------------------------------------------------------------------
// Word processor ("word.application")
// ---------------------------------------------------------------------------

// A place in a document, handed back to the document that gave it.
class DocumentRange
{
public:
    virtual ~DocumentRange() = default;
};

class DocumentTable
{
public:
    virtual ~DocumentTable() = default;
    // Cell(row, column).Range.InsertAfter(text).
    virtual void CellInsertAfter(int row, int column, const QString& text) = 0;
    // Cell(row, column).Range.ParagraphFormat.Alignment.
    virtual void SetCellAlignment(int row, int column, int alignment) = 0;
};

class WordDocument
{
public:
    virtual ~WordDocument() = default;
    virtual void SetShowSpellingErrors(bool show) = 0;
    // Bookmarks.Exists(name).
    virtual bool BookmarkExists(const QString& name) = 0;
    // Goto(what, name).
    virtual std::unique_ptr<DocumentRange> Goto(int what, const QString& name) = 0;
    // Paragraphs.Add.
    virtual void AddParagraph() = 0;
    // Range(start, end).
    virtual std::unique_ptr<DocumentRange> Range(int start, int end) = 0;
    // Tables.Add(range, numRows, numColumns).
    virtual std::unique_ptr<DocumentTable> AddTable(DocumentRange& range, int numRows, int numColumns) = 0;
    virtual void SaveAs(const QString& fileName) = 0;
};

class WordApplication
{
public:
    virtual ~WordApplication() = default;
    // Documents.Open, Documents.Add, Documents.Count.
    virtual std::unique_ptr<WordDocument> OpenDocument(const QString& fileName) = 0;
    virtual std::unique_ptr<WordDocument> AddDocument() = 0;
    virtual int DocumentCount() = 0;
    virtual std::unique_ptr<WordDocument> ActiveDocument() = 0;
    // Selection.TypeText, Selection.TypeParaGraph, Selection.Goto(what, which), Selection.End.
    virtual void SelectionTypeText(const QString& text) = 0;
    virtual void SelectionTypeParagraph() = 0;
    virtual void SelectionGoto(int what, int which) = 0;
    virtual int SelectionEnd() = 0;
    // Ends the application; it never stops to ask about unsaved work.
    virtual void Quit() = 0;
};

// ---------------------------------------------------------------------------
// Data access ("ADODB.Connection", "ADODB.RecordSet")
// ---------------------------------------------------------------------------

class DataConnection
{
public:
    virtual ~DataConnection() = default;
    virtual void Open(const QString& connectionString) = 0;
    virtual void Close() = 0;
};

class DataRecordSet
{
public:
    virtual ~DataRecordSet() = default;
    virtual void SetActiveConnection(DataConnection& connection) = 0;
    virtual void Open(const QString& source) = 0;
    // Fields.Count; Fields(i) counts from 0, as the data-access objects do.
    virtual int FieldCount() = 0;
    virtual QString FieldName(int index) = 0;
    virtual int FieldActualSize(int index) = 0;
    virtual AutomationValue FieldValue(int index) = 0;
    // -1 when the cursor cannot tell.
    virtual int RecordCount() = 0;
    virtual bool Eof() = 0;
    virtual void MoveNext() = 0;
    virtual void Close() = 0;
};

// ---------------------------------------------------------------------------
// The servers of the machine
// ---------------------------------------------------------------------------

class AutomationServers
{
public:
    virtual ~AutomationServers() = default;
    // The application already running, or null when none runs.
    virtual std::unique_ptr<SpreadsheetApplication> RunningSpreadsheet() = 0;
    virtual std::unique_ptr<WordApplication> RunningWordProcessor() = 0;
    // A new application, or AutomationError when it cannot be created.
    virtual std::unique_ptr<SpreadsheetApplication> StartSpreadsheet() = 0;
    virtual std::unique_ptr<WordApplication> StartWordProcessor() = 0;
    virtual std::unique_ptr<DataConnection> CreateDataConnection() = 0;
    virtual std::unique_ptr<DataRecordSet> CreateDataRecordSet() = 0;
};

// The servers in force: this system's own (none of them is available) unless
// a substitute is installed.
AutomationServers& CurrentAutomationServers();

// While it lives, the given servers answer instead (tests). Installs nest:
// the newest one answers.
class AutomationServersInstall
{
public:
    explicit AutomationServersInstall(AutomationServers& servers);
    ~AutomationServersInstall();
    AutomationServersInstall(const AutomationServersInstall&) = delete;
    AutomationServersInstall& operator=(const AutomationServersInstall&) = delete;

private:
    AutomationServers* outer_;
};

} // namespace platform
