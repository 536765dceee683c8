// The grid as a table of a word-processor document, and the rows of a
// database query read into the grid, through the platform's automation
// servers. A query is read whole before the grid changes, so a failing
// database leaves the grid as it was.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Automation.h"
#include "grid/ExGrid_Exchange.h"

#include "platform/HourglassCursor.h"

#include <QScopeGuard>

using namespace exgrid_automation;
using platform::AutomationError;
using platform::AutomationValue;

namespace exgrid_automation {

QString QuoteTableName(const QString& table)
{
    return u'`' + QString(table).replace(QStringLiteral("`"), QStringLiteral("``")) + u'`';
}

QString DatabaseConnectionString(const QString& fileName)
{
    QString s = QStringLiteral("Driver={Microsoft Access Driver (*.mdb)};DBQ=");
    // A ";" would end the value and let the rest of the name speak as
    // further keys; braces keep it one value.
    const bool braced = fileName.contains(u';') || fileName.contains(u'{') || fileName.contains(u'}') ||
                        fileName != fileName.trimmed();
    if (!braced)
        return s + fileName;
    return s + u'{' + QString(fileName).replace(QStringLiteral("}"), QStringLiteral("}}")) + u'}';
}

} // namespace exgrid_automation

namespace {

// The word processor's numbers for Goto and paragraph alignment.
constexpr int GotoBookmark = -1;
constexpr int GotoLine = 3;
constexpr int GotoLast = -1;
constexpr int AlignCenter = 1;
constexpr int AlignRight = 2;

void ExportDOC(TExStringGrid& g, const QString& fileName, bool append, const QString& bookmark, bool createNew)
{
    const platform::HourglassCursor hourglass;
    std::unique_ptr<platform::WordApplication> app;
    bool started = false;
    try {
        app = platform::CurrentAutomationServers().RunningWordProcessor();
    } catch (const AutomationError&) {
    }
    if (!app) {
        try {
            app = platform::CurrentAutomationServers().StartWordProcessor();
        } catch (const AutomationError&) {
        }
        if (!app)
            throw REruVidaZuvez(QStringLiteral("Word OLE server not found"));
        started = true;
    }
    // Ending the application cannot undo what was written; its errors are not the caller's.
    const auto quit = qScopeGuard([&app, started] {
        if (!started)
            return;
        try {
            app->Quit();
        } catch (const AutomationError&) {
        }
    });

    std::unique_ptr<platform::WordDocument> doc;
    if (append)
        doc = app->OpenDocument(fileName);
    else if (createNew || app->DocumentCount() < 1)
        doc = app->AddDocument();
    else
        doc = app->ActiveDocument();
    doc->SetShowSpellingErrors(false);
    // The control's own window text, normally empty.
    app->SelectionTypeText(g.windowTitle());
    app->SelectionTypeParagraph();

    std::unique_ptr<platform::DocumentRange> at;
    if (append && doc->BookmarkExists(bookmark)) {
        at = doc->Goto(GotoBookmark, bookmark);
    } else if (append) {
        doc->AddParagraph();
        app->SelectionGoto(GotoLine, GotoLast);
        const int end = app->SelectionEnd();
        at = doc->Range(end, end);
    } else {
        at = doc->Range(0, 0);
    }
    std::unique_ptr<platform::DocumentTable> table = doc->AddTable(*at, g.RowCount(), g.ColCount());

    g.ExportNotification(esExportStart, 0);
    for (int r = 1; r <= g.RowCount(); ++r) {
        g.ExportNotification(esExportNextRow, r);
        for (int c = 1; c <= g.ColCount(); ++c) {
            const int k = g.RealColIndex(c - 1);
            QString t;
            g.QuerySaveCellText(k, r - 1, t);
            table->CellInsertAfter(r, c, t);
            platform::TAlignment ha = platform::taLeftJustify;
            TVAlignment va{};
            g.ResolveCellAlignment(k, r - 1, ha, va);
            if (ha == platform::taRightJustify)
                table->SetCellAlignment(r, c, AlignRight);
            else if (ha == platform::taCenter)
                table->SetCellAlignment(r, c, AlignCenter);
        }
    }
    g.ExportNotification(esExportDone, -1);
    doc->SaveAs(fileName);
}

// Closing after the last record cannot undo the read; its errors are not the caller's.
template <class T>
void CloseQuietly(T* object)
{
    try {
        object->Close();
    } catch (const AutomationError&) {
    }
}

} // namespace

void TExStringGrid::SaveToDOC(const QString& fileName, bool createNewDocument)
{
    ExportDOC(*this, fileName, false, QString(), createNewDocument);
}

void TExStringGrid::AppendToDoc(const QString& fileName, const QString& bookmark)
{
    ExportDOC(*this, fileName, true, bookmark, false);
}

void TExStringGrid::LoadFromMDBTable(const QString& fileName, const QString& table)
{
    LoadFromMDBSQL(fileName, QStringLiteral("SELECT * FROM ") + QuoteTableName(table));
}

void TExStringGrid::LoadFromMDBSQL(const QString& fileName, const QString& sql)
{
    const int fixedCols = FixedCols();
    const int fixedRows = FixedRows();
    const int colLimit = exgrid_exchange::MaxFileCols - fixedCols - NumHiddenColumns();
    const int rowLimit = exgrid_exchange::MaxFileRows - fixedRows;
    const QString tooLarge = QStringLiteral("Query result too large for the grid");

    QStringList names;
    std::vector<QStringList> records;
    int recordCount = 0;
    {
        platform::AutomationServers& servers = platform::CurrentAutomationServers();
        std::unique_ptr<platform::DataConnection> connection = servers.CreateDataConnection();
        connection->Open(DatabaseConnectionString(fileName));
        const auto closeConnection = qScopeGuard([&connection] { CloseQuietly(connection.get()); });
        std::unique_ptr<platform::DataRecordSet> recordSet = servers.CreateDataRecordSet();
        recordSet->SetActiveConnection(*connection);
        recordSet->Open(sql);
        const auto closeRecordSet = qScopeGuard([&recordSet] { CloseQuietly(recordSet.get()); });

        const int n = recordSet->FieldCount();
        if (n < 0 || n > colLimit)
            throw REruVidaZuvez(tooLarge);
        for (int i = 0; i < n; ++i)
            names << recordSet->FieldName(i);
        recordCount = recordSet->RecordCount();
        if (recordCount > rowLimit)
            throw REruVidaZuvez(tooLarge);
        while (!recordSet->Eof()) {
            if (static_cast<int>(records.size()) >= rowLimit)
                throw REruVidaZuvez(tooLarge);
            QStringList values;
            for (int i = 0; i < n; ++i)
                values << (recordSet->FieldActualSize(i) > 0 ? ValueText(recordSet->FieldValue(i)) : QString());
            records.push_back(std::move(values));
            recordSet->MoveNext();
        }
    }

    // Everything is read: now the grid changes.
    BeginUpdate();
    const auto endUpdate = qScopeGuard([this] { EndUpdate(); });
    const int n = static_cast<int>(names.size());
    SetColCount(fixedCols + n);
    if (fixedRows > 0)
        for (int i = 0; i < n; ++i)
            SetGridCell(RealColIndex(fixedCols + i), fixedRows - 1, names[i]);
    if (recordCount > 0)
        SetRowCount(fixedRows + recordCount);
    int row = fixedRows;
    for (const QStringList& values : records) {
        if (row >= RowCount())
            SetRowCount(row + 1);
        for (int i = 0; i < n; ++i)
            DoLoadCell(RealColIndex(fixedCols + i), row, values[i]);
        ++row;
    }
}
