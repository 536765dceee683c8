// CSV files. One quoting rule serves both sides: a field is enclosed in
// double quotes (inner quotes doubled) whenever the reader could not take it
// back as it is: it holds the delimiter, a quote, a line break, or blanks at
// its edges. CR LF inside a cell travels as character 11, as the grid's CSV
// always did; any other line break stays inside the quotes (RFC 4180), and
// the reader keeps quoted fields together across lines.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Exchange.h"

#include "platform/TextCodec.h"
#include "platform/FileSystem.h"
#include "widgets/ExUtil.h"

#include <QFile>
#include <QScopeGuard>
#include <QIODevice>

#include <algorithm>
#include <vector>

using namespace exgrid_exchange;

namespace {

constexpr char16_t VTab = 0x0B;

// Candidates for a detected delimiter, in the order they are tried. Signs
// are not among them: negative numbers and dates are not field breaks.
const char16_t DelimiterCandidates[] = {u',', u';', u'#', u'\t', u'|', u'@', u'*', u'&'};

// Runs of c of odd length: a doubled character does not count.
int OddRuns(QChar c, const QString& line)
{
    int runs = 0;
    for (qsizetype i = 0; i < line.size();) {
        if (line[i] != c) {
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < line.size() && line[j] == c)
            ++j;
        if ((j - i) % 2 == 1)
            ++runs;
        i = j;
    }
    return runs;
}

// Delimiter from the first two lines; character 0 when no candidate occurs.
QChar DetectDelimiter(const QString& first, const QString& second)
{
    int best = 0;
    QChar found;
    for (char16_t c : DelimiterCandidates) {
        const int n = OddRuns(QChar(c), first);
        if (n > best && n == OddRuns(QChar(c), second)) {
            best = n;
            found = QChar(c);
        }
    }
    if (!found.isNull())
        return found;
    for (char16_t c : DelimiterCandidates) {
        const int n = static_cast<int>(first.count(QChar(c)));
        if (n > best && n == second.count(QChar(c))) {
            best = n;
            found = QChar(c);
        }
    }
    if (!found.isNull())
        return found;
    for (char16_t c : DelimiterCandidates) {
        const int n = static_cast<int>(std::max(first.count(QChar(c)), second.count(QChar(c))));
        if (n > best) {
            best = n;
            found = QChar(c);
        }
    }
    return found;
}

bool IsLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

// Splits a CSV text into records of fields. A quoted field may hold line
// breaks; one whose closing quote never comes reads as empty and its line
// goes on after the next delimiter.
class CsvParser
{
public:
    CsvParser(const QString& text, QChar delimiter) : FText(text), FDelim(delimiter) {}

    bool AtEnd() const { return FPos >= FText.size(); }

    // The next record's fields; a record that ends with the delimiter has no
    // empty last field.
    QStringList NextRecord()
    {
        QStringList fields;
        for (;;) {
            // Leading blanks go, as the grid's reader always did.
            while (FPos < FText.size() && FText[FPos] == u' ')
                ++FPos;
            if (FPos >= FText.size() || IsLineEnd(FText[FPos])) {
                EndLine();
                return fields;
            }
            QString field;
            if (FText[FPos] == u'"')
                field = Quoted();
            else
                field = Plain();
            fields << field;
            if (FPos < FText.size() && !FDelim.isNull() && FText[FPos] == FDelim) {
                ++FPos;
                continue;
            }
            EndLine();
            return fields;
        }
    }

private:
    void EndLine()
    {
        while (FPos < FText.size() && !IsLineEnd(FText[FPos]))
            ++FPos;
        if (FPos < FText.size() && FText[FPos] == u'\r')
            ++FPos;
        if (FPos < FText.size() && FText[FPos] == u'\n')
            ++FPos;
    }

    QString Plain()
    {
        const qsizetype start = FPos;
        while (FPos < FText.size() && !IsLineEnd(FText[FPos]) && (FDelim.isNull() || FText[FPos] != FDelim))
            ++FPos;
        return FText.mid(start, FPos - start);
    }

    QString Quoted()
    {
        const qsizetype open = FPos;
        QString field;
        qsizetype i = FPos + 1;
        while (i < FText.size()) {
            if (FText[i] == u'"') {
                if (i + 1 < FText.size() && FText[i + 1] == u'"') {
                    field += u'"';
                    i += 2;
                    continue;
                }
                // Closing quote: anything up to the next delimiter is dropped.
                FPos = i + 1;
                while (FPos < FText.size() && !IsLineEnd(FText[FPos]) &&
                       (FDelim.isNull() || FText[FPos] != FDelim))
                    ++FPos;
                return field;
            }
            field += FText[i];
            ++i;
        }
        // No closing quote: an empty field, the line cut through its next delimiter.
        FPos = open + 1;
        while (FPos < FText.size() && !IsLineEnd(FText[FPos]) && (FDelim.isNull() || FText[FPos] != FDelim))
            ++FPos;
        return QString();
    }

    const QString& FText;
    QChar FDelim;
    qsizetype FPos = 0;
};

QString FirstLines(const QString& text, QString& second)
{
    const QStringList lines = platform::SplitLines(text.left(1 << 20));
    second = lines.size() > 1 ? lines[1] : QString();
    return lines.isEmpty() ? QString() : lines[0];
}

} // namespace

namespace {

// How the saved cells are written; read from the grid once per save.
struct CsvStyle
{
    QChar Delimiter;
    bool Java;
    bool AlwaysQuotes;
    bool QuoteEmpty;
    bool Oem;
};

// Appends one field made of the cell's save text t (which it may change).
void AppendCsvField(QString& out, QString& t, const CsvStyle& s)
{
    if (t.isEmpty() && !s.AlwaysQuotes) {
        if (s.Java)
            out += u'^';
        else if (s.QuoteEmpty)
            out += QLatin1StringView("\"\"");
        return;
    }
    if (s.Java)
        LineBreaksToTilde(t);
    else if (t.contains(u'\r'))
        t.replace(QStringLiteral("\r\n"), QString(QChar(VTab)));
    if (s.Oem)
        StringToOem(t);
    bool quote = s.AlwaysQuotes || t.startsWith(u' ') || t.endsWith(u' ');
    for (qsizetype i = 0; !quote && i < t.size(); ++i) {
        const QChar c = t[i];
        quote = c == s.Delimiter || c == u'"' || c == u'\r' || c == u'\n' || c == QChar(VTab);
    }
    if (!quote) {
        out += t;
        return;
    }
    // Enclosed in quotes, inner quotes doubled.
    out += u'"';
    qsizetype from = 0;
    for (qsizetype q = t.indexOf(u'"'); q >= 0; q = t.indexOf(u'"', q + 1)) {
        out += QStringView(t).mid(from, q + 1 - from);
        out += u'"';
        from = q + 1;
    }
    out += QStringView(t).mid(from);
    out += u'"';
}

// The saved range as CSV text, each line ended by CR LF.
QString CsvText(TExStringGrid& g)
{
    const CsvStyle style{g.Delimiter().isNull() ? QChar(u',') : g.Delimiter(), g.JavaCSV(), g.AlwaysQuotes(),
                         g.QuoteEmptyCells(), g.OemConvert()};
    const int h = g.SaveHiddenCells() ? g.NumHiddenColumns() : 0;
    const int firstCol = g.SaveStartCol(), lastCol = g.SaveEndCol() + h;
    const int firstRow = g.SaveStartRow(), lastRow = g.SaveEndRow();
    QString out;
    QString t;
    ProgressReporter progress(g);
    g.ExportNotification(esExportStart, firstRow);
    for (int r = firstRow; r <= lastRow; ++r) {
        g.ExportNotification(esExportNextRow, r);
        for (int c = firstCol; c <= lastCol; ++c) {
            if (c > firstCol)
                out += style.Delimiter;
            g.QuerySaveCellText(h > 0 ? c : g.RealColIndex(c), r, t);
            AppendCsvField(out, t, style);
        }
        out += QLatin1StringView("\r\n");
        if (r == firstRow && lastRow > firstRow) {
            // Room for lines like the first, within reason: the text grows
            // on its own past that.
            const qsizetype guess = out.size() * (static_cast<qsizetype>(lastRow - firstRow) + 1) / 8 * 9;
            out.reserve(std::min<qsizetype>(guess, qsizetype(1) << 26));
        }
        if (progress.Active())
            progress.Report(Percent(r, g.RowCount() - 1));
    }
    g.ExportNotification(esExportDone, -1);
    return out;
}

TextEncoding CsvEncoding(bool unicode) { return unicode ? TextEncoding::Utf8Bom : TextEncoding::Ansi; }

} // namespace

void TExStringGrid::SaveToCSV(const QString& fileName, bool unicode)
{
    WriteFileBytes(fileName, EncodeText(CsvText(*this), CsvEncoding(unicode)));
}

void TExStringGrid::AppendToCSV(const QString& fileName, bool unicode)
{
    QString text;
    for (const QString& line : ReadFileLines(fileName)) {
        text += line;
        text += QLatin1StringView("\r\n");
    }
    text += CsvText(*this);
    WriteFileBytes(fileName, EncodeText(text, CsvEncoding(unicode)));
}

// The reader behind the three CSV loads; insert puts the rows after the
// grid's last row. Every record is parsed before the grid changes.
static void LoadCSVText(TExStringGrid& g, const QByteArray& bytes, int maxRows, bool insert,
                        const std::function<void(int)>& setMaxRowCount)
{
    if (bytes.isEmpty())
        return;
    const QString text = platform::DecodeTextFile(bytes);
    if (text.isEmpty())
        throw std::runtime_error("File is empty");

    QChar d = g.Delimiter();
    if (d.isNull()) {
        QString second;
        const QString first = FirstLines(text, second);
        d = DetectDelimiter(first, second);
    }
    const bool java = g.JavaCSV();
    const bool oem = g.OemConvert();
    const int h = g.SaveHiddenCells() ? g.NumHiddenColumns() : 0;

    CsvParser parser(text, d);
    if (!g.LoadFirstRow() && !parser.AtEnd())
        parser.NextRecord();
    std::vector<QStringList> records;
    int widest = 0;
    while (!parser.AtEnd() && (maxRows <= 0 || static_cast<int>(records.size()) < maxRows)) {
        QStringList fields = parser.NextRecord();
        for (QString& f : fields) {
            if (oem)
                OemToString(f);
            if (java)
                TildeToLineBreaks(f);
            else
                VTabToLineBreaks(f);
        }
        widest = std::max(widest, static_cast<int>(fields.size()));
        records.push_back(std::move(fields));
        if (static_cast<long long>(records.size()) > MaxFileRows)
            throw REruVidaZuvez(QStringLiteral("CSV file has too many rows"));
    }
    // Progress counts the lines of the whole file, also those MaxRows leaves unread.
    ProgressReporter progress(g);
    long long counted = static_cast<long long>(records.size());
    if (progress.Active())
        for (; !parser.AtEnd(); ++counted)
            parser.NextRecord();

    const int firstCol = g.SaveStartCol();
    const bool footer = g.FloatingFooter().Visible();
    int row = insert ? g.RowCount() : g.SaveStartRow();
    if (static_cast<long long>(firstCol) + widest + g.NumHiddenColumns() > MaxFileCols)
        throw REruVidaZuvez(QStringLiteral("CSV file has too many columns"));
    if (static_cast<long long>(row) + static_cast<long long>(records.size()) + g.FixedFooters() + 1 > MaxFileRows)
        throw REruVidaZuvez(QStringLiteral("CSV file has too many rows"));

    QStringList footerTexts;
    if (footer) {
        const int last = g.RowCount() - 1;
        for (int c = 0; c < g.TotalColCount(); ++c) {
            footerTexts << g.GetGridCell(c, last);
            g.SetGridCell(c, last, QString());
        }
        row = g.RowCount() - 1;
        if (!insert)
            row = std::min(row, g.SaveStartRow());
    }

    g.BeginUpdate();
    const auto endUpdate = qScopeGuard([&] { g.EndUpdate(); });
    // Sized once for all the rows read; what is left over is given back below.
    const int needRows = row + static_cast<int>(records.size()) + g.FixedFooters();
    if (g.RowCount() < needRows)
        g.SetRowCount(needRows);
    long long done = 0;
    for (const QStringList& fields : records) {
        for (int k = 0; k < fields.size(); ++k) {
            const int c = firstCol + k;
            if (g.ColCount() < c + 1 - h)
                g.SetColCount(c + 1 - h);
            g.DoLoadCell(h > 0 ? c : g.RealColIndex(c), row, fields[k]);
        }
        ++row;
        ++done;
        if (progress.Active())
            progress.Report(Percent(done, counted));
    }
    g.SetRowCount(row + std::max(g.FixedFooters(), footer ? 1 : 0));
    if (footer) {
        const int last = g.RowCount() - 1;
        for (int c = 0; c < std::min<int>(footerTexts.size(), g.TotalColCount()); ++c)
            g.SetGridCell(c, last, footerTexts[c]);
    }
    setMaxRowCount(g.RowCount());
    g.CellsChanged(platform::TRect{0, 0, g.ColCount(), g.RowCount()});
    g.CellsUpdated();
}

void TExStringGrid::LoadFromCSV(const QString& fileName, int maxRows)
{
    LoadCSVText(*this, ReadFileBytes(fileName), maxRows, false, [this](int n) { FMaxRowCount = n; });
}

void TExStringGrid::InsertFromCSV(const QString& fileName, int maxRows)
{
    LoadCSVText(*this, ReadFileBytes(fileName), maxRows, true, [this](int n) { FMaxRowCount = n; });
}

void TExStringGrid::LoadFromCSVStream(QIODevice& stream, int maxRows)
{
    LoadCSVText(*this, stream.readAll(), maxRows, false, [this](int n) { FMaxRowCount = n; });
}
