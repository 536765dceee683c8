// XML export and import: a list element with one record element per row and
// one field element per cell. The bytes written are those of the encoding the
// declaration names; characters that encoding lacks, and CR (which parsers
// fold into LF), travel as character references. The reader takes texts as
// the parser decodes them, without a second unescape.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Exchange.h"

#include "platform/TextCodec.h"
#include "platform/XmlDocument.h"

#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>

using namespace exgrid_exchange;

namespace {

enum class XmlBytes { Utf8, Latin1, Windows1252 };

XmlBytes EncodingFor(const QString& name, QString& declared)
{
    const QString n = name.trimmed().toLower();
    if (n == QStringLiteral("iso-8859-1") || n == QStringLiteral("latin1") || n == QStringLiteral("iso8859-1")) {
        declared = name.trimmed();
        return XmlBytes::Latin1;
    }
    if (n == QStringLiteral("windows-1252") || n == QStringLiteral("cp1252")) {
        declared = name.trimmed();
        return XmlBytes::Windows1252;
    }
    // UTF-8 itself, and any encoding this writer cannot produce: the file
    // then says what it really is.
    declared = n == QStringLiteral("utf-8") || n == QStringLiteral("utf8") ? name.trimmed() : QStringLiteral("UTF-8");
    return XmlBytes::Utf8;
}

bool Representable(char32_t u, XmlBytes e)
{
    switch (e) {
    case XmlBytes::Utf8: return true;
    case XmlBytes::Latin1: return u < 256;
    case XmlBytes::Windows1252:
        if (u < 128 || (u >= 0xA0 && u < 256))
            return true;
        return platform::EncodeWindows1252(QString::fromUcs4(&u, 1)) != "?";
    }
    return true;
}

// The cell text escaped: the four entities first, then references for
// CR, control characters and what the file's encoding cannot hold.
QString Escape(const QString& text, XmlBytes e)
{
    QString s;
    s.reserve(text.size());
    const QList<uint> ucs = text.toUcs4();
    for (uint u : ucs) {
        switch (u) {
        case '&': s += QStringLiteral("&amp;"); continue;
        case '>': s += QStringLiteral("&gt;"); continue;
        case '<': s += QStringLiteral("&lt;"); continue;
        case '"': s += QStringLiteral("&quot;"); continue;
        default: break;
        }
        if ((u < 0x20 && u != '\t' && u != '\n') || !Representable(u, e)) {
            s += QStringLiteral("&#%1;").arg(u);
            continue;
        }
        const char32_t c = u;
        s += QString::fromUcs4(&c, 1);
    }
    return s;
}

QByteArray EncodeXml(const QStringList& lines, XmlBytes e)
{
    QString text;
    for (const QString& l : lines)
        text += l + QStringLiteral("\r\n");
    switch (e) {
    case XmlBytes::Latin1: return text.toLatin1();
    case XmlBytes::Windows1252: return platform::EncodeWindows1252(text);
    case XmlBytes::Utf8: break;
    }
    return text.toUtf8();
}

// Walks the document as the grid's XML reader always did, with the rows
// and columns bounded and the nesting depth limited.
class XmlGridReader
{
public:
    // A dry reader only checks that the document fits the grid.
    XmlGridReader(TExStringGrid& g, bool levelToRow, bool loadFieldDescr, bool dry)
        : FGrid(g), FLevelToRow(levelToRow), FLoadFieldDescr(loadFieldDescr), FDry(dry)
    {
        FHeaderAllowed = g.SaveFixedCells() || g.SaveFixedRows();
        FColOffset = g.SaveStartCol();
        FRowOffset = (!g.SaveFixedCells() && !g.SaveFixedRows()) || loadFieldDescr ? g.FixedRows() : 0;
        FMaxCol = FColOffset;
        FMaxRow = FRowOffset;
    }

    void Read(const platform::XmlNode& root)
    {
        const std::vector<platform::XmlNode> records = root.Children();
        for (size_t i = 0; i < records.size(); ++i) {
            FCol = 0;
            FLevel = 1;
            // A record that opens with its children's level starts one row
            // up, so that its first level lands on the record's row; one
            // that never steps down keeps its own row.
            if (FLevelToRow && i == 0 && records[i].Attributes().empty() && ChildCount(records[i]) > 1)
                FRow = -1;
            Walk(records[i], 0);
            if (!FLevelToRow)
                ++FRow;
        }
        if (FDry)
            return;
        FGrid.SetColCount(FMaxCol + 1);
        FGrid.SetRowCount(FMaxRow + 1);
        FGrid.CellsUpdated();
    }

private:
    static int ChildCount(const platform::XmlNode& n)
    {
        const int elements = static_cast<int>(n.Children().size());
        if (elements > 0)
            return elements;
        return n.Text().isEmpty() ? 0 : 1;
    }

    // Grows the grid to hold the current cell; its real position.
    std::pair<int, int> Grow()
    {
        const long long c = static_cast<long long>(FCol) + FColOffset;
        const long long r = static_cast<long long>(std::max(0, FRow)) + FRowOffset;
        if (c + FGrid.NumHiddenColumns() >= MaxFileCols || r >= MaxFileRows)
            throw REruVidaZuvez(QStringLiteral("XML document too large for the grid"));
        if (!FDry && FGrid.ColCount() < c + 1)
            FGrid.SetColCount(static_cast<int>(c + 1));
        if (!FDry && FGrid.RowCount() < r + 1)
            FGrid.SetRowCount(static_cast<int>(r + 1));
        FMaxCol = std::max(FMaxCol, static_cast<int>(c));
        FMaxRow = std::max(FMaxRow, static_cast<int>(r));
        return {static_cast<int>(c), static_cast<int>(r)};
    }

    void Header(int col, const QString& name)
    {
        if (FHeaderAllowed && FGrid.GetGridCell(FGrid.RealColIndex(col), 0).isEmpty())
            FGrid.SetGridCell(FGrid.RealColIndex(col), 0, name);
    }

    void Walk(const platform::XmlNode& n, int depth)
    {
        if (depth > 256)
            throw REruVidaZuvez(QStringLiteral("XML document nested too deep"));
        bool advanced = false;
        const auto attributes = n.Attributes();
        for (const auto& [name, value] : attributes) {
            const auto [c, r] = Grow();
            if (!FDry) {
                Header(c, name);
                FGrid.DoLoadCell(FGrid.RealColIndex(c), r, value);
            }
            ++FCol;
        }
        if (FLevelToRow && !attributes.empty()) {
            ++FRow;
            FCol = FLevel;
            advanced = true;
        }
        const int count = ChildCount(n);
        if (count > 1) {
            if (FLevelToRow && !advanced) {
                ++FRow;
                FCol = 0;
            }
            ++FLevel;
            for (const platform::XmlNode& child : n.Children())
                Walk(child, depth + 1);
        } else if (count == 1) {
            const auto [c, r] = Grow();
            if (!FDry) {
                if (FLoadFieldDescr)
                    Header(c, n.Name());
                QString text = n.Text();
                if (FGrid.QuoteEmptyCells() && text == QStringLiteral("\"\""))
                    text.clear();
                FGrid.DoLoadCell(FGrid.RealColIndex(c), r, text);
            }
            ++FCol;
        } else {
            const long long c = static_cast<long long>(FCol) + FColOffset;
            const long long r = static_cast<long long>(std::max(0, FRow)) + FRowOffset;
            if (!FDry && c < FGrid.ColCount() && r < FGrid.RowCount())
                FGrid.DoLoadCell(FGrid.RealColIndex(static_cast<int>(c)), static_cast<int>(r), QString());
            ++FCol;
        }
    }

    TExStringGrid& FGrid;
    bool FLevelToRow;
    bool FLoadFieldDescr;
    bool FDry;
    bool FHeaderAllowed = false;
    int FColOffset = 0;
    int FRowOffset = 0;
    int FMaxCol = 0;
    int FMaxRow = 0;
    int FCol = 0;
    int FRow = 0;
    int FLevel = 1;
};

} // namespace

void TExStringGrid::SaveToXML(const QString& fileName, const QString& listDescr, const QString& recordDescr,
                              const QStringList* fieldDescr, bool exportEmptyCells)
{
    QString declared;
    const XmlBytes enc = EncodingFor(FXMLEncoding, declared);
    QStringList lines;
    lines << QStringLiteral("<?xml version=\"1.0\" encoding=\"") + declared + QStringLiteral("\" ?>");
    lines << u'<' + listDescr + u'>';
    ExportNotification(esExportStart, SaveStartRow());
    const int h = FSaveHiddenCells ? NumHiddenColumns() : 0;
    ProgressReporter progress(*this);
    for (int r = SaveStartRow(); r <= SaveEndRow(); ++r) {
        ExportNotification(esExportNextRow, r);
        lines << u'<' + recordDescr + u'>';
        for (int c = SaveStartCol(); c <= SaveEndCol() + h; ++c) {
            const int k = FSaveHiddenCells ? c : RealColIndex(c);
            if (!IsBaseCell(k, r))
                continue;
            QString t;
            QuerySaveCellText(k, r, t);
            if (t.isEmpty() && !exportEmptyCells)
                continue;
            if (t.isEmpty() && FQuoteEmptyCells)
                t = QStringLiteral("\"\"");
            const int i = c - SaveStartCol();
            const QString field = fieldDescr && i < fieldDescr->size() ? fieldDescr->at(i)
                                                                      : QStringLiteral("FIELD") + QString::number(i);
            lines << u'<' + field + u'>' + Escape(t, enc) + QStringLiteral("</") + field + u'>';
        }
        lines << QStringLiteral("</") + recordDescr + u'>';
        if (progress.Active())
            progress.Report(Percent(r, SaveEndRow() - SaveStartRow()));
    }
    lines << QStringLiteral("</") + listDescr + u'>';
    ExportNotification(esExportDone, -1);
    WriteFileBytes(fileName, EncodeXml(lines, enc));
}

void TExStringGrid::LoadFromXML(const QString& fileName, bool levelToRow, bool loadFieldDescr)
{
    if (!QFile::exists(fileName))
        throw std::runtime_error("XML file not found");
    platform::XmlDocument doc;
    QString error;
    if (!doc.Load(fileName, &error)) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("line (\\d+)")).match(error);
        throw std::runtime_error(
            (QStringLiteral("XMLDOM Parsing error 1 on line ") + (m.hasMatch() ? m.captured(1) : QStringLiteral("0")))
                .toStdString());
    }
    // A dry walk first: a document too large or too deep changes nothing.
    XmlGridReader(*this, levelToRow, loadFieldDescr, true).Read(doc.DocumentElement());
    BeginUpdate();
    const auto endUpdate = qScopeGuard([this] { EndUpdate(); });
    XmlGridReader(*this, levelToRow, loadFieldDescr, false).Read(doc.DocumentElement());
}
