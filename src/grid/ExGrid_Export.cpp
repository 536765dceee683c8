// Fixed-width files (written and read) and the ASCII picture of the grid
// (written only). Both measure columns by their longest text line; a line
// ends at CR LF, CR or LF alike, so that no break inside a cell splits an
// exported row.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Exchange.h"

#include "platform/FileSystem.h"
#include "platform/HourglassCursor.h"

#include <QFile>

#include <algorithm>
#include <vector>

using namespace exgrid_exchange;

namespace {

QStringList CellLines(const QString& text, bool multiLine)
{
    QStringList lines = text.split(QStringLiteral("\r\n"));
    QStringList out;
    for (const QString& l : lines)
        for (const QString& part : QString(l).replace(u'\r', u'\n').split(u'\n'))
            out << part;
    if (!multiLine)
        return {out.first()};
    return out;
}

// The column's longest line of its save texts over all rows.
int MaxLineLength(TExStringGrid& g, int realCol)
{
    int longest = 0;
    for (int r = 0; r < g.RowCount(); ++r) {
        QString t;
        g.QuerySaveCellText(realCol, r, t);
        for (const QString& line : CellLines(t, g.Multilinecells()))
            longest = std::max(longest, static_cast<int>(line.size()));
    }
    return longest;
}

// Columns written: the shown ones through the display-to-real map, or every
// stored column (hidden ones included) by its own index.
std::vector<int> ExportColumns(TExStringGrid& g, int first, int lastShown)
{
    std::vector<int> cols;
    if (g.SaveHiddenCells()) {
        for (int c = first; c <= lastShown + g.NumHiddenColumns(); ++c)
            cols.push_back(c);
    } else {
        for (int c = first; c <= lastShown; ++c)
            cols.push_back(g.RealColIndex(c));
    }
    return cols;
}

// A cell as one line of a fixed-width file: its line breaks become blanks.
QString FixedText(TExStringGrid& g, int realCol, int row)
{
    QString t;
    g.QuerySaveCellText(realCol, row, t);
    return CellLines(t, true).join(u' ');
}

int FixedWidth(TExStringGrid& g, int realCol)
{
    int longest = 0;
    for (int r = 0; r < g.RowCount(); ++r)
        longest = std::max(longest, static_cast<int>(FixedText(g, realCol, r).size()));
    return longest;
}

} // namespace

void TExStringGrid::SaveToFixed(const QString& fileName, TIntList& positions)
{
    const std::vector<int> cols = ExportColumns(*this, SaveStartCol(), SaveEndCol());
    for (size_t k = static_cast<size_t>(positions.Count()); k < cols.size(); ++k)
        positions.Add(FixedWidth(*this, cols[k]) + 1);
    QStringList lines;
    ExportNotification(esExportStart, SaveStartRow());
    for (int r = SaveStartRow(); r <= SaveEndRow(); ++r) {
        ExportNotification(esExportNextRow, r);
        QString line;
        for (size_t k = 0; k < cols.size(); ++k) {
            // A row stays one line of the file.
            const QString t = FixedText(*this, cols[k], r);
            const int width = std::max(0, positions[static_cast<int>(k)]);
            line += t.size() > width ? t.left(width) : t.leftJustified(width, u' ');
        }
        lines << line;
    }
    ExportNotification(esExportDone, -1);
    WriteFileBytes(fileName, EncodeLines(lines, TextEncoding::Ansi));
}

void TExStringGrid::LoadFromFixed(const QString& fileName, TIntList& positions, bool doTrim, int maxRows)
{
    if (!QFile::exists(fileName))
        throw REruVidaZuvez(QStringLiteral("File ") + fileName + QStringLiteral(" not found"));
    QStringList lines;
    try {
        lines = ReadFileLines(fileName);
    } catch (const REruVidaZuvez&) {
        throw REruVidaZuvez(QStringLiteral("File ") + fileName + QStringLiteral(" not found"));
    }
    // The lines of a file end with CR LF: a last empty piece is no line.
    std::vector<int> pos = positions.Items();
    std::sort(pos.begin(), pos.end());
    const int fields = std::max(0, static_cast<int>(pos.size()) - 1);
    if (static_cast<long long>(FixedCols()) + fields + NumHiddenColumns() > MaxFileCols)
        throw REruVidaZuvez(QStringLiteral("Too many fields"));
    int take = static_cast<int>(lines.size());
    if (maxRows != -1)
        take = std::min(take, std::max(1, maxRows));
    if (static_cast<long long>(SaveStartRow()) + take > MaxFileRows)
        throw REruVidaZuvez(QStringLiteral("File ") + fileName + QStringLiteral(" has too many lines"));

    for (int i = 0; i < static_cast<int>(pos.size()); ++i)
        positions.SetInteger(i, pos[static_cast<size_t>(i)]);
    SetColCount(FixedCols() + fields);
    int row = SaveStartRow();
    if (take > 0 && RowCount() < row + take)
        SetRowCount(row + take);
    for (int i = 0; i < take; ++i, ++row) {
        const QString& line = lines[i];
        for (int k = 1; k <= fields; ++k) {
            const long long from = std::max(1, pos[static_cast<size_t>(k - 1)]);
            const long long to = std::max(from, static_cast<long long>(pos[static_cast<size_t>(k)]));
            QString t = from - 1 < line.size() ? line.mid(from - 1, to - from) : QString();
            if (doTrim) {
                qsizetype a = 0, b = t.size();
                while (a < b && t[a].unicode() <= 32)
                    ++a;
                while (b > a && t[b - 1].unicode() <= 32)
                    --b;
                t = t.mid(a, b - a);
            }
            const int col = SaveStartCol() + k - 1;
            if (col < ColCount())
                DoLoadCell(RealColIndex(col), row, t);
        }
    }
    CellsChanged(platform::TRect{0, 0, ColCount(), RowCount()});
    CellsUpdated();
}

namespace {

QString Aligned(QString piece, int width, platform::TAlignment a)
{
    if (a == platform::taRightJustify) {
        if (piece.size() < width)
            piece = QString(width - piece.size(), u' ') + piece;
    } else if (a == platform::taCenter) {
        while (piece.size() < width)
            piece = u' ' + piece + u' ';
    }
    return piece;
}

void WriteASCII(TExStringGrid& g, const QString& fileName, bool unicode, bool append)
{
    const platform::HourglassCursor busy;
    QStringList lines;
    if (append && QFile::exists(fileName))
        lines = ReadFileLines(fileName);
    const int c0 = g.SaveFixedCells() || g.SaveFixedCols() ? 0 : g.FixedCols();
    const int r0 = g.SaveFixedCells() || g.SaveFixedRows() ? 0 : g.FixedRows();
    const std::vector<int> cols = ExportColumns(g, c0, g.ColCount() - 1);
    std::vector<int> widths, offsets;
    int offset = 0;
    for (int c : cols) {
        widths.push_back(MaxLineLength(g, c));
        offsets.push_back(offset);
        offset += widths.back() + 1;
    }
    const auto write = [&] {
        g.ExportNotification(esExportDone, -1);
        WriteFileBytes(fileName, EncodeLines(lines, unicode ? TextEncoding::Utf16LeBom : TextEncoding::Ansi));
    };
    g.ExportNotification(esExportStart, r0);
    try {
        for (int r = r0; r < g.RowCount(); ++r) {
            g.ExportNotification(esExportNextRow, r);
            QString line;
            QStringList more;
            for (size_t k = 0; k < cols.size(); ++k) {
                QString t;
                g.QuerySaveCellText(cols[k], r, t);
                platform::TAlignment ha = platform::taLeftJustify;
                TVAlignment va = vtaTop;
                g.ResolveCellAlignment(cols[k], r, ha, va);
                const QStringList parts = CellLines(t, g.Multilinecells());
                const QString piece = Aligned(parts.first(), widths[k], ha);
                line += piece;
                if (widths[k] - piece.size() + 1 >= 0)
                    line += QString(widths[k] - piece.size() + 1, u' ');
                for (int i = 1; i < parts.size(); ++i) {
                    if (more.size() < i)
                        more << QString();
                    QString& cont = more[i - 1];
                    if (cont.size() < offsets[k])
                        cont += QString(offsets[k] - cont.size(), u' ');
                    cont += Aligned(parts[i], widths[k], ha);
                }
            }
            lines << line << more;
        }
    } catch (...) {
        write();
        throw;
    }
    write();
}

} // namespace

void TExStringGrid::SaveToASCII(const QString& fileName, bool unicode) { WriteASCII(*this, fileName, unicode, false); }

void TExStringGrid::AppendToASCII(const QString& fileName, bool unicode) { WriteASCII(*this, fileName, unicode, true); }
