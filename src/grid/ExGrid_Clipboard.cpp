// The grid's clipboard: plain text (tab-separated, one line per row), the
// private cell format carrying the binary cell stream, "Rich Text Format"
// for a rich-text cell and "HTML Format" for the HTML export. Named formats
// travel as mime types of those names.
//
// Plain text follows the spreadsheet convention both ways: a cell holding a
// line break, TAB or double quote is quoted with its quotes doubled and its
// line breaks as LF, so that every cell comes back as it went.
#include "grid/ExGrid.h"
#include "grid/ExGridExtras.h"
#include "grid/ExGrid_Private.h"
#include "widgets/ExUtil.h"

#include "platform/TextCodec.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScopeGuard>

#include <algorithm>
#include <map>
#include <vector>

using namespace platform;

namespace {

const QString RtfFormat = QStringLiteral("Rich Text Format");
const QString HtmlFormat = QStringLiteral("HTML Format");

// ---- tab-separated text

struct ClipLine
{
    QStringList fields;
    bool remainder = false; // the empty piece after a final line break
};

// A quoted field's line breaks become the grid's CR LF; character 11 is the
// spreadsheet's line break inside a cell.
QString UnquotedLineBreaks(const QString& s)
{
    QString out;
    out.reserve(s.size() + 8);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'\r') {
            if (i + 1 < s.size() && s[i + 1] == u'\n')
                ++i;
            out += QStringLiteral("\r\n");
        } else if (c == u'\n' || c == QChar(11)) {
            out += QStringLiteral("\r\n");
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<ClipLine> SplitClipText(const QString& text)
{
    std::vector<ClipLine> lines;
    ClipLine line;
    const qsizetype n = text.size();
    qsizetype i = 0;
    const auto isEnd = [&](qsizetype k) {
        return k >= n || text[k] == u'\t' || text[k] == u'\r' || text[k] == u'\n';
    };
    for (;;) {
        QString field;
        bool done = false;
        if (i < n && text[i] == u'"') {
            QString buf;
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                if (text[j] == u'"') {
                    if (j + 1 < n && text[j + 1] == u'"') {
                        buf += u'"';
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                buf += text[j++];
            }
            // Only a quote that closes the whole field makes it a quoted one.
            if (closed && isEnd(j + 1)) {
                field = UnquotedLineBreaks(buf);
                i = j + 1;
                done = true;
            }
        }
        if (!done) {
            qsizetype j = i;
            while (!isEnd(j))
                ++j;
            field = text.mid(i, j - i);
            i = j;
        }
        line.fields << field;
        if (i < n && text[i] == u'\t') {
            ++i;
            continue;
        }
        lines.push_back(std::move(line));
        line = ClipLine{};
        if (i >= n)
            break;
        i += text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n' ? 2 : 1;
        if (i >= n) {
            line.fields << QString();
            line.remainder = true;
            lines.push_back(std::move(line));
            break;
        }
    }
    return lines;
}

// One cell of the text form.
QString ClipField(QString t, bool excel, bool multiLine)
{
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    if (excel && CountTextLines(QString(t).replace(u'\n', u'\r'), multiLine) > 1)
        t.replace(u'\n', QChar(11));
    if (t.contains(u'\n') || t.contains(u'\t') || t.contains(u'"') || t.contains(QChar(11)))
        t = u'"' + DoubleQuotes(t) + u'"';
    return t;
}

void AddToClipboard(QMimeData* data)
{
    QGuiApplication::clipboard()->setMimeData(data);
}

} // namespace

// ---------------------------------------------------------------------------
// Copy
// ---------------------------------------------------------------------------

QString TExStringGrid::RectToText(const TRect& r, bool disjunct)
{
    FClipTopLeft = TPoint{r.Left, r.Top};
    ExportNotification(esExportStart, -1);
    const bool rowsOnly = disjunct && FMouseActions->DisjunctRowSelect() && !FMouseActions->DisjunctColSelect();
    const bool colsOnly = disjunct && FMouseActions->DisjunctColSelect();
    const bool whole = r.Top <= FixedRows() && r.Bottom >= RowCount() - FixedFooters() - 1;
    QString out;
    for (int row = r.Top; row <= r.Bottom; ++row) {
        ExportNotification(whole ? esExportNewRow : esExportSelRow, row);
        if (rowsOnly) {
            const int sr = FMouseActions->RowSelectPersistent() ? RowDisplToReal(row) : row;
            if (!GetRowSelect(sr))
                continue;
        }
        bool first = true;
        for (int col = r.Left; col <= r.Right; ++col) {
            if (colsOnly && !GetColSelect(col))
                continue;
            const int rc = RealColIndex(col);
            QString t = GetCellEx(rc, row);
            QuerySaveCellText(rc, row, t);
            if (t.startsWith(QStringLiteral("|\\")))
                t = DecodeWideText(t);
            if (!FNavigation->CopyHTMLTagsToClipboard() && t.contains(QStringLiteral("</")))
                t = GetStrippedCell(col, row);
            else if (t.contains(QStringLiteral("{\\")))
                t = RTFToPlainText(t);
            if (!first)
                out += u'\t';
            first = false;
            out += ClipField(t, FExcelClipboardFormat, FMultilineCells);
        }
        if (r.Top < r.Bottom)
            out += QStringLiteral("\r\n");
    }
    ExportNotification(esExportDone, -1);
    return out;
}

void TExStringGrid::CopyRectToClipboard(const TRect& r, bool disjunct)
{
    auto* data = new QMimeData;
    data->setText(RectToText(r, disjunct));
    if (FNavigation->AllowRTFClipboard()) {
        const QString t = GetCellEx(RealColIndex(r.Left), r.Top);
        if (t.contains(QStringLiteral("{\\")))
            data->setData(RtfFormat, t.toLatin1() + QByteArray(1, '\0'));
    }
    if (FNavigation->AllowFmtClipboard()) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        SaveRectToBinStream(TRect{r.Left, r.Top, r.Right, r.Bottom}, buffer);
        data->setData(GridCellsClipboardFormat(), buffer.data());
    }
    AddToClipboard(data);
}

void TExStringGrid::ExtendSelectionToMerged()
{
    const TGridRect s = Selection();
    TGridRect n = s;
    int bc = 0, br = 0;
    if (FindBaseCell(RealColIndex(s.Left), s.Top, bc, br)) {
        n.Left = std::min(n.Left, DisplColIndexOf(bc));
        n.Top = std::min(n.Top, br);
    }
    if (FindBaseCell(RealColIndex(s.Right), s.Bottom, bc, br)) {
        const TPoint span = CellSpan(bc, br);
        n.Right = std::max(n.Right, DisplColIndexOf(bc) + span.X);
        n.Bottom = std::max(n.Bottom, br + span.Y);
    }
    if (!(n == s))
        SetSelection(n);
}

void TExStringGrid::CopySelectionToClipboard()
{
    ExtendSelectionToMerged();
    const bool fmt = FNavigation->AllowFmtClipboard();
    if (FMouseActions->DisjunctRowSelect() && !fmt)
        CopyRectToClipboard(TRect{FixedCols(), SaveStartRow(), ColCount() - FixedRightCols() - 1, SaveEndRow()}, true);
    else if (FMouseActions->DisjunctColSelect() && !fmt)
        CopyRectToClipboard(TRect{SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()}, true);
    else {
        const TGridRect s = Selection();
        CopyRectToClipboard(TRect{s.Left, s.Top, s.Right, s.Bottom}, false);
    }
    FClipLastOp = coCopy;
}

void TExStringGrid::CopyToClipBoard()
{
    CopyRectToClipboard(TRect{SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()}, false);
    FClipLastOp = coCopy;
}

void TExStringGrid::CopyToClipBoardAsHTML()
{
    // No image folder: a clipboard copy writes no picture files.
    QString html = SaveToHTMLString(QString());
    BuildCFHTML(html);
    auto* data = new QMimeData;
    data->setData(HtmlFormat, EncodeWindows1252(html));
    // The text format keeps the cells' own text form, not the envelope.
    data->setText(RectToText(TRect{SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()}, false));
    AddToClipboard(data);
}

QString TExStringGrid::GetSelectionAsText()
{
    const TGridRect s = Selection();
    return RectToText(TRect{s.Left, s.Top, s.Right, s.Bottom}, false);
}

void TExStringGrid::SetSelectionAsText(const QString& value)
{
    const TGridRect s = Selection();
    TRect written{s.Left, s.Top, s.Left, s.Top};
    const auto lines = SplitClipText(value);
    int row = s.Top;
    for (size_t li = 0; li < lines.size(); ++li) {
        const ClipLine& line = lines[li];
        if (line.remainder)
            break;
        for (int k = 0; k < line.fields.size(); ++k) {
            const int c = s.Left + k;
            if (c >= ColCount())
                SetColCount(c + 1);
            if (row >= RowCount())
                continue;
            QString field = line.fields[k];
            if (field.startsWith(QStringLiteral("|\\")))
                field = EncodeWideText(DecodeWideText(field));
            SetGridCell(RealColIndex(c), row, field);
            written.Right = std::max(written.Right, c);
            written.Bottom = std::max(written.Bottom, row);
        }
        if (li + 1 < lines.size() && !lines[li + 1].remainder) {
            ++row;
            const bool footerRow = FFloatingFooter->Visible() && FFloatingFooter->FooterStyle() == fsFixedLastRow;
            if (row > RowCount() - (footerRow ? 2 : 1))
                SetRowCount(RowCount() + 1);
        }
    }
    CellsChanged(TRect{RealColIndex(written.Left), written.Top, RealColIndex(written.Right), written.Bottom});
}

// ---------------------------------------------------------------------------
// Cut
// ---------------------------------------------------------------------------

void TExStringGrid::CutToClipboard()
{
    const TRect r{SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()};
    CopyRectToClipboard(r, false);
    const bool always = FNavigation->AllowClipboardAlways();
    for (int row = r.Top; row <= r.Bottom; ++row) {
        for (int col = r.Left; col <= r.Right; ++col)
            if (always || IsEditable(col, row))
                SetCellEx(RealColIndex(col), row, QString());
        if (FShowModified->Enabled())
            SetRowModified(row, true);
    }
    FClipLastOp = coCut;
}

void TExStringGrid::CutSelectionToClipboard()
{
    const TGridRect s = Selection();
    CopySelectionToClipboard();
    const TGridRect sel = Selection();
    const bool always = FNavigation->AllowClipboardAlways();
    if (FMouseActions->DisjunctRowSelect()) {
        for (int r = FixedRows(); r < RowCount(); ++r) {
            const int sr = FMouseActions->RowSelectPersistent() ? RowDisplToReal(r) : r;
            if (!GetRowSelect(sr))
                continue;
            ClearRows(r, 1);
            if (FShowModified->Enabled())
                SetRowModified(r, true);
        }
    } else if (FMouseActions->DisjunctColSelect()) {
        for (int c = FixedCols(); c < ColCount(); ++c)
            if (GetColSelect(c))
                ClearCols(c, 1);
    } else {
        TExGridUndoRedo* undo = UndoRedo();
        if (undo)
            undo->StartSequence();
        for (int row = sel.Top; row <= sel.Bottom; ++row) {
            for (int col = sel.Left; col <= sel.Right; ++col) {
                if (!always && !IsEditable(col, row))
                    continue;
                const int rc = RealColIndex(col);
                if (undo)
                    undo->RegisterChange(rc, row, GetCellEx(rc, row), QString());
                SetCellEx(rc, row, QString());
                if (FNavigation->AllowFmtClipboard())
                    FreeCellPropsRect(rc, row, rc, row);
            }
            if (FShowModified->Enabled())
                SetRowModified(row, true);
        }
        if (undo)
            undo->StopSequence();
    }
    FClipLastOp = coCut;
    if (OnCellsChanged)
        OnCellsChanged(this, TRect{s.Left, s.Top, s.Right, s.Bottom});
    if (NumHiddenColumns() > 0)
        Invalidate();
}

// ---------------------------------------------------------------------------
// Paste
// ---------------------------------------------------------------------------

bool TExStringGrid::IsFmtClipboardAllowed()
{
    return FNavigation->AllowFmtClipboard();
}

void TExStringGrid::AfterPasteRect(const TPoint& source, const TRect& r, TClipOperation op)
{
    Q_UNUSED(source);
    Q_UNUSED(op);
    if (!FShowModified->Enabled())
        return;
    for (int row = std::max(0, r.Top); row <= r.Bottom && row < RowCount(); ++row)
        SetRowModified(row, true);
}

void TExStringGrid::PasteCell(int aCol, int aRow, const QString& value)
{
    const int rc = RealColIndex(aCol);
    if (TExGridUndoRedo* undo = UndoRedo())
        undo->RegisterChange(rc, aRow, GetCellEx(rc, aRow), value);
    if (HasCheckBox(rc, aRow))
        ApplyCheckBoxState(rc, aRow, value == FCheckTrue);
    else
        SetCellEx(rc, aRow, value);
    if (rc != aCol)
        RepaintCell(aCol, aRow);
}

void TExStringGrid::MeasureTabText(const QString& text, int& cols, int& rows)
{
    cols = 0;
    rows = 0;
    const auto lines = SplitClipText(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        cols = std::max(cols, static_cast<int>(lines[i].fields.size()));
        if (i + 1 < lines.size())
            ++rows;
        if (lines[i].remainder)
            --rows;
    }
}

int TExStringGrid::PasteTextAtCell(int aCol, int aRow, const QString& text, int& rows, int& cols)
{
    rows = 0;
    cols = 0;
    FPasteBlock = TPoint{0, 0};
    if (aCol < 0 || aRow < 0)
        return 0;
    const bool always = FNavigation->AllowClipboardAlways();
    if (!(Options() & goEditing) && !always && !FMouseActions->RangeSelectAndEdit())
        return 0;
    TExGridUndoRedo* undo = UndoRedo();
    if (undo)
        undo->StartSequence();
    TRect written{aCol, aRow, aCol, aRow};
    const auto lines = SplitClipText(text);
    for (const ClipLine& line : lines)
        if (!line.remainder) {
            FPasteBlock.X = std::max(FPasteBlock.X, static_cast<int>(line.fields.size()));
            ++FPasteBlock.Y;
        }
    int row = aRow;
    int result = 0;
    for (size_t li = 0; li < lines.size(); ++li) {
        const ClipLine& line = lines[li];
        ++rows;
        ImportNotification(FPasteAll ? isImportNewRow : isImportSelRow, row);
        const bool emptyLine = line.fields.size() == 1 && line.fields.front().isEmpty();
        if (!emptyLine && FNavigation->ClipboardPasteAction() == paInsert)
            InsertRows(row, 1);
        cols = static_cast<int>(line.fields.size());
        for (int k = 0; k < line.fields.size(); ++k) {
            ++result;
            if (line.remainder)
                continue;
            const int c = aCol + k;
            if (c >= ColCount() && FNavigation->AllowClipboardColGrow())
                SetColCount(c + 1);
            if (c >= ColCount() || row >= RowCount())
                continue;
            if (!always && !IsEditable(c, row))
                continue;
            QString value = line.fields[k];
            const bool wide = value.startsWith(QStringLiteral("|\\"));
            if (wide)
                value = DecodeWideText(value);
            // Each field picks its own pair of events.
            const auto& before = wide ? OnClipboardBeforePasteWideCell : OnClipboardBeforePasteCell;
            const auto& after = wide ? OnClipboardAfterPasteWideCell : OnClipboardAfterPasteCell;
            bool allow = true;
            if (before)
                before(this, c, row, value, allow);
            if (!allow)
                continue;
            PasteCell(c, row, wide ? EncodeWideText(value) : value);
            written.Right = std::max(written.Right, c);
            written.Bottom = std::max(written.Bottom, row);
            if (after)
                after(this, c, row, value);
        }
        const bool more = li + 1 < lines.size() && !lines[li + 1].remainder;
        if (more) {
            ++row;
            const bool footerRow = FFloatingFooter->Visible() && FFloatingFooter->FooterStyle() == fsFixedLastRow;
            const int lastUsable = RowCount() - (footerRow ? 2 : 1);
            if (row > lastUsable && FNavigation->AllowClipboardRowGrow())
                SetRowCount(RowCount() + 1);
        }
    }
    if (undo)
        undo->StopSequence();
    AfterPasteRect(FClipTopLeft, written, FClipLastOp);
    CellsChanged(TRect{RealColIndex(written.Left), written.Top, RealColIndex(written.Right), written.Bottom});
    return result;
}

int TExStringGrid::PasteAtCell(int aCol, int aRow, int& rows, int& cols)
{
    rows = 0;
    cols = 0;
    FPasteBlock = TPoint{0, 0};
    const QMimeData* data = FPasteSource ? FPasteSource : QGuiApplication::clipboard()->mimeData();
    if (!data)
        return 0;
    const bool always = FNavigation->AllowClipboardAlways();
    const bool editing = (Options() & goEditing) || always || FMouseActions->RangeSelectAndEdit();

    if (IsFmtClipboardAllowed() && data->hasFormat(GridCellsClipboardFormat())) {
        // The same checks as a text paste: editing mode, editable cells and
        // OnClipboardBeforePasteCell.
        if (!editing || aCol < 0 || aRow < 0)
            return 0;
        QByteArray bytes = data->data(GridCellsClipboardFormat());
        exgrid_detail::TBinStreamHeader head;
        if (!exgrid_detail::ReadBinStreamHeader(bytes, head))
            throw REruVidaZuvez(QStringLiteral("Stream read error: not a cell stream"));
        BeginClipboardPaste();
        const auto end = qScopeGuard([this] { EndClipboardPaste(); });
        if (FNavigation->AllowClipboardColGrow() && aCol + head.ColCount >= ColCount())
            SetColCount(aCol + head.ColCount);
        if (FNavigation->AllowClipboardRowGrow() && aRow + head.RowCount >= RowCount())
            SetRowCount(aRow + head.RowCount);
        if (FNavigation->ClipboardPasteAction() == paInsert && head.RowCount > 0)
            InsertRows(aRow, head.RowCount);
        rows = head.RowCount;
        cols = head.ColCount;
        FPasteBlock = TPoint{head.ColCount, head.RowCount};
        const TRect target{aCol, aRow, std::min(aCol + head.ColCount, ColCount()) - 1,
                           std::min(aRow + head.RowCount, RowCount()) - 1};
        // Cells the paste must leave alone, as they are now (text, properties, graphic).
        std::map<std::pair<int, int>, QByteArray> kept;
        std::vector<std::pair<int, int>> asked;
        for (int r = target.Top; r <= target.Bottom; ++r)
            for (int c = target.Left; c <= target.Right; ++c) {
                const bool editable = always || IsEditable(c, r);
                if (editable && !OnClipboardBeforePasteCell)
                    continue;
                QBuffer buffer;
                buffer.open(QIODevice::WriteOnly);
                SaveRectToBinStream(TRect{c, r, c, r}, buffer);
                kept[{c, r}] = buffer.data();
                if (editable)
                    asked.emplace_back(c, r);
            }
        // A pasted block always lands at the paste point: a block as large
        // as its source grid must not clear the target.
        {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            LoadAtPointFromBinStream(TPoint{aCol, aRow}, buffer, false);
        }
        const auto restore = [this](int c, int r, QByteArray& cell) {
            const int rc = RealColIndex(c);
            FreeCellPropsRect(rc, r, rc, r);
            QBuffer buffer(&cell);
            buffer.open(QIODevice::ReadOnly);
            LoadAtPointFromBinStream(TPoint{c, r}, buffer, false);
        };
        for (const auto& [c, r] : asked) {
            auto it = kept.find({c, r});
            const int rc = RealColIndex(c);
            QString value = GetCellEx(rc, r);
            const QString pasted = value;
            bool allow = true;
            OnClipboardBeforePasteCell(this, c, r, value, allow);
            if (allow) {
                kept.erase(it);
                if (value != pasted)
                    SetCellEx(rc, r, value);
            }
        }
        for (auto& [cell, bytesKept] : kept)
            restore(cell.first, cell.second, bytesKept);
        const std::map<std::pair<int, int>, QByteArray>& notWritten = kept;
        if (OnClipboardAfterPasteCell) {
            for (int r = target.Top; r <= target.Bottom; ++r)
                for (int c = target.Left; c <= target.Right; ++c)
                    if (!notWritten.count({c, r}))
                        OnClipboardAfterPasteCell(this, c, r, GetCellEx(RealColIndex(c), r));
        }
        const QVariant ownId = property("exgridStreamId");
        const bool sameGrid = ownId.isValid() && ownId.toUInt() == head.ID;
        AfterPasteRect(sameGrid ? FClipTopLeft : TPoint{-1, -1},
                       TRect{aCol, aRow, aCol + head.ColCount - 1, aRow + head.RowCount - 1}, FClipLastOp);
        return head.ColCount * head.RowCount;
    }

    if (FNavigation->AllowRTFClipboard() && data->hasFormat(RtfFormat)) {
        QByteArray bytes = data->data(RtfFormat);
        const qsizetype zero = bytes.indexOf('\0');
        if (zero >= 0)
            bytes.truncate(zero);
        if (editing && aCol >= 0 && aRow >= 0 && aCol < ColCount() && aRow < RowCount() &&
            (always || IsEditable(aCol, aRow))) {
            QString value = QString::fromLatin1(bytes);
            FPasteBlock = TPoint{1, 1};
            bool allow = true;
            if (OnClipboardBeforePasteCell)
                OnClipboardBeforePasteCell(this, aCol, aRow, value, allow);
            if (allow) {
                PasteCell(aCol, aRow, value);
                if (OnClipboardAfterPasteCell)
                    OnClipboardAfterPasteCell(this, aCol, aRow, value);
            }
        }
        rows = 1;
        cols = 1;
        return 0;
    }

    if (data->hasText() && !data->text().isEmpty())
        return PasteTextAtCell(aCol, aRow, data->text(), rows, cols);
    return 0;
}

void TExStringGrid::PasteFromClipboard()
{
    ImportNotification(isImportStart, -1);
    FPasteAll = true;
    int rows = 0, cols = 0;
    PasteAtCell(SaveStartCol(), SaveStartRow(), rows, cols);
    ImportNotification(isImportDone, -1);
    CellsUpdated();
}

void TExStringGrid::PasteSelectionFromClipboard()
{
    ImportNotification(isImportStart, -1);
    FPasteAll = false;
    const auto finish = qScopeGuard([this] {
        ImportNotification(isImportDone, -1);
        const TGridRect s = Selection();
        CellsChanged(TRect{RealColIndex(s.Left), s.Top, RealColIndex(s.Right), s.Bottom});
        CellsUpdated();
    });
    ExtendSelectionToMerged();
    const TGridRect s = Selection();
    int rows = 0, cols = 0;
    PasteAtCell((Options() & goRowSelect) ? FixedCols() : s.Left, s.Top, rows, cols);
    if (FNavigation->AllowSmartClipboard())
        SmartPaste();
}
