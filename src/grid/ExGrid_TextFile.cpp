// The grid's text layout: a header "cols,rows", width lines "cw col,width"
// and one line "col,row,text" per non-empty cell. Files carry absolute
// coordinates, streams (UTF-16 LE, no byte-order mark) coordinates relative
// to the first saved cell. Readers parse everything before they change the
// grid, so a damaged layout leaves the grid as it was.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Exchange.h"

#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "widgets/ExUtil.h"

#include <QCoreApplication>
#include <QIODevice>

#include <algorithm>
#include <vector>

using namespace exgrid_exchange;

namespace {

struct LayoutCell
{
    int col = 0;
    int row = 0;
    QString text;
};

struct LayoutWidth
{
    int col = 0;
    int width = 0;
};

// The decimal digits of v (a minus sign for a negative value).
void AppendNumber(QString& out, int v)
{
    char16_t digits[12];
    int n = 0;
    unsigned u = v < 0 ? 0u - static_cast<unsigned>(v) : static_cast<unsigned>(v);
    do {
        digits[n++] = static_cast<char16_t>(u'0' + u % 10);
        u /= 10;
    } while (u != 0);
    if (v < 0)
        digits[n++] = u'-';
    std::reverse(digits, digits + n);
    out.append(reinterpret_cast<const QChar*>(digits), n);
}

// The three kinds of line, without their line end.
void AppendHeaderLine(QString& out, int cols, int rows)
{
    AppendNumber(out, cols);
    out += u',';
    AppendNumber(out, rows);
}

void AppendWidthLine(QString& out, int col, int width)
{
    out += QLatin1StringView("cw ");
    AppendNumber(out, col);
    out += u',';
    AppendNumber(out, width);
}

void AppendCellLine(QString& out, int col, int row, const QString& text)
{
    AppendNumber(out, col);
    out += u',';
    AppendNumber(out, row);
    out += u',';
    out += PackLineBreaks(text);
}

// Splits "col,row,text" at its first two commas; a missing comma leaves its
// field empty.
void SplitCellLine(QStringView line, QStringView& col, QStringView& row, QStringView& text)
{
    const qsizetype c1 = line.indexOf(u',');
    if (c1 < 0) {
        col = {};
        row = {};
        text = line;
        return;
    }
    col = line.left(c1);
    const qsizetype c2 = line.indexOf(u',', c1 + 1);
    if (c2 < 0) {
        row = {};
        text = line.mid(c1 + 1);
        return;
    }
    row = line.mid(c1 + 1, c2 - c1 - 1);
    text = line.mid(c2 + 1);
}

[[noreturn]] void ConversionError(const QString& field)
{
    throw REruVidaZuvez(QStringLiteral("'") + field + QStringLiteral("' is not a valid integer value"));
}

int StreamNumber(const QString& field)
{
    int v = 0;
    if (!StrictNumber(field, v))
        ConversionError(field);
    return v;
}

// The rest of a stream as UTF-16 code units, read line by line from memory;
// the caller puts the stream at the first byte not used.
struct StreamLines
{
    QByteArray data;
    qsizetype pos = 0;

    bool AtEnd() const { return pos >= data.size(); }
    char16_t Unit(qsizetype at) const
    {
        return static_cast<char16_t>(static_cast<unsigned char>(data[at]) |
                                     (static_cast<unsigned char>(data[at + 1]) << 8));
    }
    // One line up to CR; the unit after the CR is consumed. False at the end.
    bool Read(QString& line)
    {
        line.clear();
        if (AtEnd())
            return false;
        while (data.size() - pos >= 2) {
            const char16_t u = Unit(pos);
            pos += 2;
            if (u == 13) {
                pos = std::min(pos + 2, data.size());
                return true;
            }
            line += QChar(u);
        }
        pos = data.size(); // a lone last byte
        return true;
    }
};

void WriteStreamLine(QIODevice& stream, const QString& line)
{
    QByteArray out;
    out.reserve(line.size() * 2 + 4);
    AppendUtf16Le(out, line);
    out.append("\x0D\x00\x0A\x00", 4);
    if (stream.write(out) != out.size())
        throw REruVidaZuvez(QStringLiteral("Stream write error"));
}

} // namespace

void TExStringGrid::SaveToFile(const QString& fileName, bool unicode)
{
    const int h = FSaveHiddenCells ? NumHiddenColumns() : 0;
    const int startCol = SaveStartCol();
    const int endCol = SaveEndCol() + h;
    const QLatin1StringView lineEnd("\r\n");
    QString out;
    AppendHeaderLine(out, SaveColCount() + h, SaveRowCount());
    out += lineEnd;
    for (int c = startCol; c <= endCol; ++c) {
        AppendWidthLine(out, c, c < ColCount() ? ColWidths(c) : DefaultColWidth());
        out += lineEnd;
    }
    ProgressReporter progress(*this);
    ExportNotification(esExportStart, SaveStartRow());
    QString text;
    for (int r = SaveStartRow(); r <= SaveEndRow(); ++r) {
        ExportNotification(esExportNextRow, r);
        for (int c = startCol; c <= endCol; ++c) {
            // Without the hidden columns the file holds the shown columns
            // under their display index, so that it loads anywhere as shown.
            const int real = h > 0 || NumHiddenColumns() == 0 ? c : RealColIndex(c);
            QuerySaveCellText(real, r, text);
            if (!text.isEmpty()) {
                AppendCellLine(out, c, r, text);
                out += lineEnd;
            }
        }
        if (progress.Active())
            progress.Report(Percent(r, SaveRowCount() - 1));
    }
    ExportNotification(esExportDone, -1);
    WriteFileBytes(fileName, EncodeText(out, unicode ? TextEncoding::Utf16LeBom : TextEncoding::Ansi));
}

void TExStringGrid::LoadFromFile(const QString& fileName)
{
    const QString content = platform::DecodeTextFile(ReadFileBytes(fileName));
    const int a = FSaveFixedCells || FSaveFixedCols ? 0 : FixedCols();
    const int b = FSaveFixedCells || FSaveFixedRows ? 0 : FixedRows();
    const auto corrupt = [&] {
        throw REruVidaZuvez(QStringLiteral("File contains no data or corrupt file ") + fileName);
    };

    // Everything is read before the grid changes.
    int cols = ColCount();
    int rows = RowCount();
    const int hidden = NumHiddenColumns();
    std::vector<LayoutWidth> widths;
    std::vector<LayoutCell> cells;
    bool first = true;
    QStringView colText, rowText, text;
    platform::ForEachLine(content, [&](QStringView line) {
        if (first) {
            first = false;
            if (!line.isEmpty()) {
                const qsizetype comma = line.indexOf(u',');
                const long long c =
                    static_cast<long long>(a) + LenientNumber(comma < 0 ? line : line.left(comma));
                const long long r =
                    static_cast<long long>(b) + (comma < 0 ? 0 : LenientNumber(line.mid(comma + 1)));
                if (c <= 0 || r <= 0 || c + hidden > MaxFileCols || r > MaxFileRows)
                    corrupt();
                cols = static_cast<int>(c);
                rows = static_cast<int>(r);
            }
            if (cols <= 0 || rows <= 0)
                corrupt();
            return;
        }
        if (line.startsWith(QLatin1StringView("cw"))) {
            const qsizetype comma = line.indexOf(u',');
            const int col = LenientNumber(comma < 0 ? line.mid(3) : line.mid(3, comma - 3));
            const int width = comma < 0 ? 0 : LenientNumber(line.mid(comma + 1, 255));
            if (col >= 0 && col < cols)
                widths.push_back({col, width});
            return;
        }
        SplitCellLine(line, colText, rowText, text);
        const int col = LenientNumber(colText);
        const int row = LenientNumber(rowText);
        if (col >= 0 && col < cols + hidden && row >= 0 && row < rows)
            cells.push_back({col, row, UnpackLineBreaks(text.toString(), FMultilineCells)});
    });
    if (first && (cols <= 0 || rows <= 0))
        corrupt();

    SetColCount(cols);
    SetRowCount(rows);
    for (const LayoutWidth& w : widths)
        SetColWidths(w.col, std::clamp(w.width, 0, MaxCellExtent));
    ProgressReporter progress(*this);
    int n = 0;
    for (const LayoutCell& cell : cells) {
        DoLoadCell(cell.col, cell.row, cell.text);
        if (progress.Active())
            progress.Report(Percent(cell.row, RowCount() - 1));
        // Keeps the window alive during a long load; user input waits.
        if ((++n & 1023) == 0)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    CellsChanged(platform::TRect{0, 0, ColCount(), RowCount()});
    CellsUpdated();
}

void TExStringGrid::SaveToStream(QIODevice& stream)
{
    QString line;
    AppendHeaderLine(line, SaveColCount(), SaveRowCount());
    WriteStreamLine(stream, line);
    for (int c = 0; c < ColCount(); ++c) {
        line.clear();
        AppendWidthLine(line, c, ColWidths(c));
        WriteStreamLine(stream, line);
    }
    ExportNotification(esExportStart, SaveStartRow());
    for (int r = SaveStartRow(); r <= SaveEndRow(); ++r) {
        ExportNotification(esExportNextRow, r);
        for (int c = SaveStartCol(); c <= SaveEndCol(); ++c) {
            QString text;
            QuerySaveCellText(RealColIndex(c), r, text);
            if (!text.isEmpty()) {
                line.clear();
                AppendCellLine(line, c - SaveStartCol(), r - SaveStartRow(), text);
                WriteStreamLine(stream, line);
            }
        }
    }
    ExportNotification(esExportDone, -1);
}

void TExStringGrid::LoadFromStream(QIODevice& stream)
{
    const qint64 start = stream.pos();
    StreamLines in{stream.readAll()};
    int cols = ColCount();
    int rows = RowCount();
    std::vector<LayoutWidth> widths;
    std::vector<LayoutCell> cells;
    QString line;
    try {
        if (!in.AtEnd()) {
            in.Read(line);
            if (!line.isEmpty()) {
                const qsizetype comma = line.indexOf(u',');
                const long long c = static_cast<long long>(StreamNumber(comma < 0 ? line : line.left(comma))) +
                                    SaveStartCol();
                const long long r = static_cast<long long>(StreamNumber(comma < 0 ? QString() : line.mid(comma + 1))) +
                                    SaveStartRow();
                if (c <= 0 || r <= 0 || c + NumHiddenColumns() > MaxFileCols || r > MaxFileRows)
                    throw REruVidaZuvez(QStringLiteral("Stream contains no data or corrupt stream"));
                cols = static_cast<int>(c);
                rows = static_cast<int>(r);
            }
        }
        QString colText, rowText, text;
        while (!in.AtEnd()) {
            const qsizetype at = in.pos;
            in.Read(line);
            if (line.startsWith(QStringLiteral("cw"))) {
                const QString rest = line.mid(3);
                const qsizetype comma = rest.indexOf(u',');
                const int col = StreamNumber(comma < 0 ? rest : rest.left(comma));
                const int width = StreamNumber(comma < 0 ? QString() : rest.mid(comma + 1));
                if (col >= 0 && col < cols)
                    widths.push_back({col, width});
                continue;
            }
            const qsizetype c1 = line.indexOf(u',');
            const qsizetype c2 = c1 < 0 ? -1 : line.indexOf(u',', c1 + 1);
            colText = c1 < 0 ? QString() : line.left(c1);
            rowText = c2 < 0 ? QString() : line.mid(c1 + 1, c2 - c1 - 1);
            if (colText.isEmpty() || rowText.isEmpty()) {
                // Not a layout line: the caller's data starts here.
                in.pos = at;
                break;
            }
            const long long col = static_cast<long long>(StreamNumber(colText)) + SaveStartCol();
            const long long row = static_cast<long long>(StreamNumber(rowText)) + SaveStartRow();
            if (col >= 0 && col < cols + NumHiddenColumns() && row >= 0 && row < rows)
                cells.push_back({static_cast<int>(col), static_cast<int>(row),
                                 UnpackLineBreaks(line.mid(c2 + 1), FMultilineCells)});
        }
    } catch (...) {
        stream.seek(start);
        throw;
    }
    stream.seek(start + in.pos);
    SetColCount(cols);
    SetRowCount(rows);
    for (const LayoutWidth& w : widths)
        SetColWidths(w.col, std::clamp(w.width, 0, MaxCellExtent));
    for (const LayoutCell& cell : cells)
        DoLoadCell(cell.col, cell.row, cell.text);
    CellsChanged(platform::TRect{0, 0, ColCount(), RowCount()});
    CellsUpdated();
}
