#pragma once

// A fake office for the grid's automation exchange: a spreadsheet
// application, a word processor and a database, each answering from plain
// data, writing every call into one log and raising at the call named in
// failAt. Files "on disk" are the maps workbookFiles and documentFiles.

#include "platform/Automation.h"

#include <QCursor>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStringList>

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace automation_test {

using platform::AutomationArray;
using platform::AutomationError;
using platform::AutomationValue;

using CellKey = std::pair<int, int>; // (row, column), 1-based

struct FakeSheet
{
    QString name;
    std::map<CellKey, AutomationValue> cells;
    QString usedRange; // empty: computed from the cells
    std::vector<std::pair<QString, AutomationArray>> written;
};

struct FakeWorkbook
{
    QString file;
    std::vector<std::shared_ptr<FakeSheet>> sheets;
    int active = 0;
    bool saved = false;

    FakeWorkbook Copy() const
    {
        FakeWorkbook b = *this;
        for (auto& s : b.sheets)
            s = std::make_shared<FakeSheet>(*s);
        return b;
    }
};

struct FakeTable
{
    QString at;
    int rows = 0;
    int cols = 0;
    std::map<CellKey, QString> text;
    std::map<CellKey, int> alignment;
};

struct FakeDocument
{
    QString file;
    QStringList bookmarks;
    QString typed;
    int paragraphsAdded = 0;
    bool spelling = true;
    std::vector<FakeTable> tables;
};

struct FakeField
{
    int actualSize = 0;
    AutomationValue value;
};

struct FakeQueryResult
{
    QStringList fields;
    std::vector<std::vector<FakeField>> records;
    bool countKnown = true; // else RecordCount is -1
};

inline int FakeColumn(const QString& letters)
{
    int k = 0;
    for (QChar c : letters)
        k = k * 26 + (c.unicode() - 'A' + 1);
    return k;
}

inline QString FakeLetters(int k)
{
    QString s;
    for (; k > 0; k = (k - 1) / 26)
        s.prepend(QChar(u'A' + (k - 1) % 26));
    return s;
}

class FakeOffice : public platform::AutomationServers
{
public:
    // Every call, as "Member(arguments)".
    QStringList calls;
    // The member whose call raises, and how many calls of it pass first.
    QString failAt;
    int failAfter = 0;
    // The position in the log of the call that raises (-1: none).
    int failAtIndex = -1;
    // Calls made while the hourglass was not shown.
    QStringList withoutHourglass;

    bool spreadsheetRunning = false;
    bool spreadsheetStarts = true;
    bool wordRunning = false;
    bool wordStarts = true;
    bool dataAccessExists = true;

    std::map<QString, FakeWorkbook> workbookFiles;
    std::vector<std::shared_ptr<FakeWorkbook>> openWorkbooks; // the last one is active
    int activeCellRow = 1;

    std::map<QString, FakeDocument> documentFiles;
    std::vector<std::shared_ptr<FakeDocument>> openDocuments;
    int selectionEnd = 57;

    FakeQueryResult query;
    QString connectionString;
    QString source;

    void Call(const QString& member, const QString& arguments = {})
    {
        calls << member + u'(' + arguments + u')';
        const QCursor* c = QGuiApplication::overrideCursor();
        if (!c || c->shape() != Qt::WaitCursor)
            withoutHourglass << member;
        if ((member == failAt && failAfter-- <= 0) || calls.size() - 1 == failAtIndex)
            throw AutomationError(QStringLiteral("fake failure in ") + member);
    }

    // Whether the log holds a call of that member.
    bool Called(const QString& member) const
    {
        for (const QString& c : calls)
            if (c.startsWith(member + u'('))
                return true;
        return false;
    }

    static std::shared_ptr<FakeSheet> Sheet(const QString& name, std::map<CellKey, AutomationValue> cells = {})
    {
        auto s = std::make_shared<FakeSheet>();
        s->name = name;
        s->cells = std::move(cells);
        return s;
    }

    // ---- spreadsheet

    class SheetObject : public platform::SpreadsheetSheet
    {
    public:
        SheetObject(FakeOffice& o, std::shared_ptr<FakeSheet> s) : o_(o), s_(std::move(s)) {}
        QString Name() override
        {
            o_.Call("Name");
            return s_->name;
        }
        void SetName(const QString& name) override
        {
            o_.Call("SetName", name);
            s_->name = name;
        }
        QString UsedRangeAddress() override
        {
            o_.Call("UsedRange.Address");
            if (!s_->usedRange.isEmpty())
                return s_->usedRange;
            if (s_->cells.empty())
                return QStringLiteral("$A$1");
            int r1 = INT_MAX, c1 = INT_MAX, r2 = 0, c2 = 0;
            for (const auto& [k, v] : s_->cells) {
                r1 = std::min(r1, k.first);
                r2 = std::max(r2, k.first);
                c1 = std::min(c1, k.second);
                c2 = std::max(c2, k.second);
            }
            const QString first = u'$' + FakeLetters(c1) + u'$' + QString::number(r1);
            if (r1 == r2 && c1 == c2)
                return first;
            return first + QStringLiteral(":$") + FakeLetters(c2) + u'$' + QString::number(r2);
        }
        AutomationArray RangeValue(const QString& address) override
        {
            o_.Call("Range.Value", address);
            const auto m = QRegularExpression(QStringLiteral("^([A-Z]+)(\\d+):([A-Z]+)(\\d+)$")).match(address);
            if (!m.hasMatch())
                throw AutomationError(QStringLiteral("bad address"));
            const int c1 = FakeColumn(m.captured(1)), r1 = m.captured(2).toInt();
            const int c2 = FakeColumn(m.captured(3)), r2 = m.captured(4).toInt();
            AutomationArray a;
            for (int r = r1; r <= r2; ++r) {
                a.emplace_back();
                for (int c = c1; c <= c2; ++c) {
                    const auto it = s_->cells.find({r, c});
                    a.back().push_back(it == s_->cells.end() ? AutomationValue{} : it->second);
                }
            }
            return a;
        }
        void SetRangeValue(const QString& address, const AutomationArray& values) override
        {
            o_.Call("SetRange.Value", address);
            s_->written.emplace_back(address, values);
            const auto m = QRegularExpression(QStringLiteral("^([A-Z]+)(\\d+):")).match(address);
            const int c1 = FakeColumn(m.captured(1)), r1 = m.captured(2).toInt();
            // An empty text empties the cell, as a worksheet does.
            for (size_t i = 0; i < values.size(); ++i) {
                for (size_t j = 0; j < values[i].size(); ++j) {
                    const CellKey key{r1 + static_cast<int>(i), c1 + static_cast<int>(j)};
                    if (values[i][j].kind == AutomationValue::Kind::Text && values[i][j].text.isEmpty())
                        s_->cells.erase(key);
                    else
                        s_->cells[key] = values[i][j];
                }
            }
        }
        AutomationValue CellValue(int row, int column) override
        {
            o_.Call("Rows.Cells", QStringLiteral("%1,%2").arg(row).arg(column));
            const auto it = s_->cells.find({row, column});
            return it == s_->cells.end() ? AutomationValue{} : it->second;
        }

    private:
        FakeOffice& o_;
        std::shared_ptr<FakeSheet> s_;
    };

    class WorkbookObject : public platform::SpreadsheetWorkbook
    {
    public:
        WorkbookObject(FakeOffice& o, std::shared_ptr<FakeWorkbook> b) : o_(o), b_(std::move(b)) {}
        int SheetCount() override
        {
            o_.Call("Sheets.Count");
            return static_cast<int>(b_->sheets.size());
        }
        std::unique_ptr<platform::SpreadsheetSheet> Sheet(int index) override
        {
            o_.Call("Sheets", QString::number(index));
            return std::make_unique<SheetObject>(o_, b_->sheets.at(index - 1));
        }
        int WorksheetCount() override
        {
            o_.Call("WorkSheets.Count");
            return static_cast<int>(b_->sheets.size());
        }
        std::unique_ptr<platform::SpreadsheetSheet> Worksheet(int index) override
        {
            o_.Call("WorkSheets.item", QString::number(index));
            return std::make_unique<SheetObject>(o_, b_->sheets.at(index - 1));
        }
        std::unique_ptr<platform::SpreadsheetSheet> AddWorksheet() override
        {
            o_.Call("WorkSheets.Add");
            b_->sheets.push_back(FakeOffice::Sheet(QStringLiteral("Sheet%1").arg(b_->sheets.size() + 1)));
            return std::make_unique<SheetObject>(o_, b_->sheets.back());
        }
        std::unique_ptr<platform::SpreadsheetSheet> ActiveSheet() override
        {
            o_.Call("ActiveSheet");
            return std::make_unique<SheetObject>(o_, b_->sheets.at(b_->active));
        }
        void SetSaved(bool saved) override
        {
            o_.Call("Saved", saved ? "true" : "false");
            b_->saved = saved;
        }
        void Save() override
        {
            o_.Call("Save");
            o_.workbookFiles[b_->file] = b_->Copy();
        }
        void SaveAs(const QString& fileName) override
        {
            o_.Call("SaveAs", fileName);
            b_->file = fileName;
            o_.workbookFiles[fileName] = b_->Copy();
        }
        void Close(bool saveChanges) override
        {
            o_.Call("Close", saveChanges ? "true" : "false");
            std::erase(o_.openWorkbooks, b_);
        }

    private:
        FakeOffice& o_;
        std::shared_ptr<FakeWorkbook> b_;
    };

    class SpreadsheetObject : public platform::SpreadsheetApplication
    {
    public:
        explicit SpreadsheetObject(FakeOffice& o) : o_(o) {}
        std::unique_ptr<platform::SpreadsheetWorkbook> OpenWorkbook(const QString& fileName) override
        {
            o_.Call("Workbooks.Open", fileName);
            const auto it = o_.workbookFiles.find(fileName);
            if (it == o_.workbookFiles.end())
                throw AutomationError(QStringLiteral("no such file"));
            o_.openWorkbooks.push_back(std::make_shared<FakeWorkbook>(it->second.Copy()));
            return std::make_unique<WorkbookObject>(o_, o_.openWorkbooks.back());
        }
        std::unique_ptr<platform::SpreadsheetWorkbook> AddWorkbook() override
        {
            o_.Call("Workbooks.Add");
            auto b = std::make_shared<FakeWorkbook>();
            for (int i = 1; i <= 3; ++i)
                b->sheets.push_back(FakeOffice::Sheet(QStringLiteral("Sheet%1").arg(i)));
            o_.openWorkbooks.push_back(b);
            return std::make_unique<WorkbookObject>(o_, b);
        }
        int WorkbookCount() override
        {
            o_.Call("Workbooks.Count");
            return static_cast<int>(o_.openWorkbooks.size());
        }
        std::unique_ptr<platform::SpreadsheetWorkbook> ActiveWorkbook() override
        {
            o_.Call("ActiveWorkBook");
            return std::make_unique<WorkbookObject>(o_, o_.openWorkbooks.at(o_.openWorkbooks.size() - 1));
        }
        int ActiveCellRow() override
        {
            o_.Call("ActiveCell.Row");
            return o_.activeCellRow;
        }
        void Quit() override { o_.Call("Quit"); }

    private:
        FakeOffice& o_;
    };

    std::unique_ptr<platform::SpreadsheetApplication> RunningSpreadsheet() override
    {
        Call("GetActiveObject", "excel.application");
        return spreadsheetRunning ? std::make_unique<SpreadsheetObject>(*this) : nullptr;
    }
    std::unique_ptr<platform::SpreadsheetApplication> StartSpreadsheet() override
    {
        Call("CreateObject", "excel.application");
        if (!spreadsheetStarts)
            throw AutomationError(QStringLiteral("not registered"));
        return std::make_unique<SpreadsheetObject>(*this);
    }

    // ---- word processor

    class RangeObject : public platform::DocumentRange
    {
    public:
        explicit RangeObject(QString where) : where(std::move(where)) {}
        QString where;
    };

    class TableObject : public platform::DocumentTable
    {
    public:
        TableObject(FakeOffice& o, std::shared_ptr<FakeDocument> d, size_t index) : o_(o), d_(std::move(d)), i_(index)
        {
        }
        void CellInsertAfter(int row, int column, const QString& text) override
        {
            o_.Call("Cell.Range.InsertAfter", QStringLiteral("%1,%2").arg(row).arg(column));
            d_->tables.at(i_).text[{row, column}] += text;
        }
        void SetCellAlignment(int row, int column, int alignment) override
        {
            o_.Call("Cell.Range.ParagraphFormat.Alignment",
                    QStringLiteral("%1,%2,%3").arg(row).arg(column).arg(alignment));
            d_->tables.at(i_).alignment[{row, column}] = alignment;
        }

    private:
        FakeOffice& o_;
        std::shared_ptr<FakeDocument> d_;
        size_t i_;
    };

    class DocumentObject : public platform::WordDocument
    {
    public:
        DocumentObject(FakeOffice& o, std::shared_ptr<FakeDocument> d) : o_(o), d_(std::move(d)) {}
        void SetShowSpellingErrors(bool show) override
        {
            o_.Call("ShowSpellingErrors", show ? "true" : "false");
            d_->spelling = show;
        }
        bool BookmarkExists(const QString& name) override
        {
            o_.Call("Bookmarks.Exists", name);
            return d_->bookmarks.contains(name);
        }
        std::unique_ptr<platform::DocumentRange> Goto(int what, const QString& name) override
        {
            o_.Call("Goto", QString::number(what) + u',' + name);
            return std::make_unique<RangeObject>(QStringLiteral("bookmark ") + name);
        }
        void AddParagraph() override
        {
            o_.Call("Paragraphs.Add");
            ++d_->paragraphsAdded;
        }
        std::unique_ptr<platform::DocumentRange> Range(int start, int end) override
        {
            o_.Call("Range", QStringLiteral("%1,%2").arg(start).arg(end));
            return std::make_unique<RangeObject>(QStringLiteral("%1-%2").arg(start).arg(end));
        }
        std::unique_ptr<platform::DocumentTable> AddTable(platform::DocumentRange& range, int numRows,
                                                          int numColumns) override
        {
            o_.Call("Tables.Add", QStringLiteral("%1,%2").arg(numRows).arg(numColumns));
            FakeTable t;
            t.at = static_cast<RangeObject&>(range).where;
            t.rows = numRows;
            t.cols = numColumns;
            d_->tables.push_back(t);
            return std::make_unique<TableObject>(o_, d_, d_->tables.size() - 1);
        }
        void SaveAs(const QString& fileName) override
        {
            o_.Call("SaveAs", fileName);
            d_->file = fileName;
            o_.documentFiles[fileName] = *d_;
        }

    private:
        FakeOffice& o_;
        std::shared_ptr<FakeDocument> d_;
    };

    class WordObject : public platform::WordApplication
    {
    public:
        explicit WordObject(FakeOffice& o) : o_(o) {}
        std::unique_ptr<platform::WordDocument> OpenDocument(const QString& fileName) override
        {
            o_.Call("Documents.Open", fileName);
            const auto it = o_.documentFiles.find(fileName);
            if (it == o_.documentFiles.end())
                throw AutomationError(QStringLiteral("no such file"));
            o_.openDocuments.push_back(std::make_shared<FakeDocument>(it->second));
            return std::make_unique<DocumentObject>(o_, o_.openDocuments.back());
        }
        std::unique_ptr<platform::WordDocument> AddDocument() override
        {
            o_.Call("Documents.Add");
            o_.openDocuments.push_back(std::make_shared<FakeDocument>());
            return std::make_unique<DocumentObject>(o_, o_.openDocuments.back());
        }
        int DocumentCount() override
        {
            o_.Call("Documents.Count");
            return static_cast<int>(o_.openDocuments.size());
        }
        std::unique_ptr<platform::WordDocument> ActiveDocument() override
        {
            o_.Call("ActiveDocument");
            return std::make_unique<DocumentObject>(o_, o_.openDocuments.at(o_.openDocuments.size() - 1));
        }
        void SelectionTypeText(const QString& text) override
        {
            o_.Call("Selection.TypeText", text);
            o_.openDocuments.back()->typed += text;
        }
        void SelectionTypeParagraph() override
        {
            o_.Call("Selection.TypeParaGraph");
            o_.openDocuments.back()->typed += u'\r';
        }
        void SelectionGoto(int what, int which) override
        {
            o_.Call("Selection.Goto", QStringLiteral("%1,%2").arg(what).arg(which));
        }
        int SelectionEnd() override
        {
            o_.Call("Selection.End");
            return o_.selectionEnd;
        }
        void Quit() override { o_.Call("Quit"); }

    private:
        FakeOffice& o_;
    };

    std::unique_ptr<platform::WordApplication> RunningWordProcessor() override
    {
        Call("GetActiveObject", "word.application");
        return wordRunning ? std::make_unique<WordObject>(*this) : nullptr;
    }
    std::unique_ptr<platform::WordApplication> StartWordProcessor() override
    {
        Call("CreateObject", "word.application");
        if (!wordStarts)
            throw AutomationError(QStringLiteral("not registered"));
        return std::make_unique<WordObject>(*this);
    }

    // ---- data access

    class ConnectionObject : public platform::DataConnection
    {
    public:
        explicit ConnectionObject(FakeOffice& o) : o_(o) {}
        void Open(const QString& connectionString) override
        {
            o_.Call("Connection.Open", connectionString);
            o_.connectionString = connectionString;
        }
        void Close() override { o_.Call("Connection.Close"); }

    private:
        FakeOffice& o_;
    };

    class RecordSetObject : public platform::DataRecordSet
    {
    public:
        explicit RecordSetObject(FakeOffice& o) : o_(o) {}
        void SetActiveConnection(platform::DataConnection&) override { o_.Call("RecordSet.ActiveConnection"); }
        void Open(const QString& source) override
        {
            o_.Call("RecordSet.Open", source);
            o_.source = source;
        }
        int FieldCount() override
        {
            o_.Call("Fields.Count");
            return static_cast<int>(o_.query.fields.size());
        }
        QString FieldName(int index) override
        {
            o_.Call("Fields.Name", QString::number(index));
            return o_.query.fields.at(index);
        }
        int FieldActualSize(int index) override
        {
            o_.Call("Fields.ActualSize", QString::number(index));
            return o_.query.records.at(at_).at(index).actualSize;
        }
        AutomationValue FieldValue(int index) override
        {
            o_.Call("Fields.Value", QString::number(index));
            return o_.query.records.at(at_).at(index).value;
        }
        int RecordCount() override
        {
            o_.Call("RecordCount");
            return o_.query.countKnown ? static_cast<int>(o_.query.records.size()) : -1;
        }
        bool Eof() override
        {
            o_.Call("Eof");
            return at_ >= o_.query.records.size();
        }
        void MoveNext() override
        {
            o_.Call("MoveNext");
            ++at_;
        }
        void Close() override { o_.Call("RecordSet.Close"); }

    private:
        FakeOffice& o_;
        size_t at_ = 0;
    };

    std::unique_ptr<platform::DataConnection> CreateDataConnection() override
    {
        Call("CreateObject", "ADODB.Connection");
        if (!dataAccessExists)
            throw AutomationError(QStringLiteral("not registered"));
        return std::make_unique<ConnectionObject>(*this);
    }
    std::unique_ptr<platform::DataRecordSet> CreateDataRecordSet() override
    {
        Call("CreateObject", "ADODB.RecordSet");
        return std::make_unique<RecordSetObject>(*this);
    }
};

// The member names of the calls in a log, each once, in order of first use.
inline QStringList Members(const QStringList& calls)
{
    QStringList members;
    for (const QString& c : calls) {
        const QString m = c.left(c.indexOf(u'('));
        if (!members.contains(m))
            members << m;
    }
    return members;
}

} // namespace automation_test
