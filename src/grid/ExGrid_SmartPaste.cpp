// Smart paste: a selection larger than the pasted block is filled the way a
// spreadsheet fills. One pasted cell goes into every selected cell; a block
// along a single selected column or row continues as a date, time, float or
// integer series, or repeats as a pattern; a one-row (one-column) block goes
// again into every further row (column) of a larger selection.
//
// The block is judged by what it carried (FPasteBlock), not by the field
// count, which counts the empty piece after a final line break: a spreadsheet
// ends even a single cell with a line break, a one-row copy of this grid
// does not, and both must fill alike.
#include "grid/ExGrid.h"
#include "widgets/ExUtil.h"

#include "platform/NumberText.h"

#include <QDate>
#include <QPointer>
#include <QScopeGuard>

#include <cmath>
#include <stdexcept>
#include <vector>

using namespace platform;

namespace {

QDate CalendarDate(TDateTime v)
{
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::trunc(v)));
}

// The platform's date-time conversion: a date (with an optional time) when
// the text holds the date separator, else a time.
bool ToDateTime(const QString& text, TDateTime& v)
{
    try {
        v = text.contains(LocaleDateSeparator()) ? TextToDate(text) : TextToTime(text);
        return true;
    } catch (const std::invalid_argument&) {
        return false;
    }
}

// The platform's float conversion: the whole text, regional decimal separator.
bool ToFloat(const QString& text, double& v)
{
    const QChar dec = LocaleDecimalSeparator();
    QString t = text.trimmed();
    if (dec != u'.') {
        if (t.contains(u'.'))
            return false;
        t.replace(dec, u'.');
    }
    bool ok = false;
    v = t.toDouble(&ok);
    return ok && std::isfinite(v);
}

// The next value of a date series; false when there is none (a date that
// does not exist: the same day in a month or year that lacks it, or a year
// out of range).
bool NextDate(int dy, int dm, int dd, double step, TDateTime& v)
{
    try {
        const TDateTime next = IncDateParts(dy, dm, dd, step, v);
        const bool calendarMove = dd == 0 && ((dy == 0) != (dm == 0));
        if (calendarMove && CalendarDate(next).day() != CalendarDate(v).day())
            return false;
        v = next;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

void TExStringGrid::SmartPaste()
{
    const TPoint block = FPasteBlock;
    if (block.X < 1 || block.Y < 1)
        return;
    const TGridRect s = Selection();
    const int width = s.Right - s.Left + 1;
    const int height = s.Bottom - s.Top + 1;
    // The block has filled the selection already.
    if (block.X >= width && block.Y >= height)
        return;

    const auto textAt = [this](int c, int r) { return GetCellEx(RealColIndex(c), r); };
    const auto editable = [this](int c, int r) { return IsEditable(c, r); };
    const auto isCorner = [&s](int c, int r) { return c == s.Left && r == s.Top; };
    // One filled cell: offered to the before event, written, announced. The
    // top-left cell raises no events. A refused cell is not announced.
    const auto write = [&](int c, int r, QString text, bool markRect) {
        bool allow = true;
        if (!isCorner(c, r) && OnClipboardBeforePasteCell)
            OnClipboardBeforePasteCell(this, c, r, text, allow);
        if (!allow)
            return;
        PasteCell(c, r, text);
        if (markRect)
            AfterPasteRect(FClipTopLeft, TRect{c, r, c, r}, coCopy);
        if (!isCorner(c, r) && OnClipboardAfterPasteCell)
            OnClipboardAfterPasteCell(this, c, r, text);
    };

    const bool column = s.Left == s.Right;
    const bool oneCell = block.X == 1 && block.Y == 1;
    if (oneCell || column || s.Top == s.Bottom) {
        BeginClipboardPaste();
        // The fill is undone as one step, apart from the paste before it.
        const QPointer<TExGridUndoRedo> undo = UndoRedo();
        if (undo)
            undo->StartSequence();
        const auto end = qScopeGuard([this, undo] {
            if (undo)
                undo->StopSequence();
            EndClipboardPaste();
        });

        if (oneCell) {
            const int rc = RealColIndex(s.Left);
            QString text = GetCellEx(rc, s.Top);
            bool checked = false;
            if (HasCheckBox(rc, s.Top))
                text = GetCheckBoxState(rc, s.Top, checked) && checked ? FCheckTrue : FCheckFalse;
            const bool always = FNavigation->AllowClipboardAlways();
            for (int c = s.Left; c <= s.Right; ++c)
                for (int r = s.Top; r <= s.Bottom; ++r)
                    if (!isCorner(c, r) && (always || editable(c, r)))
                        write(c, r, text, true);
            return;
        }

        // The cells of the single column or row, in order.
        std::vector<TPoint> cells;
        for (int c = s.Left; c <= s.Right; ++c)
            for (int r = s.Top; r <= s.Bottom; ++r)
                cells.push_back(TPoint{c, r});
        const int period = column ? block.Y : block.X;
        if (period >= 2) {
            const QString a = textAt(s.Left, s.Top);
            const QString b = column ? textAt(s.Left, s.Top + 1) : textAt(s.Left + 1, s.Top);
            const QChar timeSep = LocaleTimeSeparator();
            const auto dateOrTime = [&](const QString& t) { return LooksLikeDate(t) || t.contains(timeSep); };
            if (dateOrTime(a) && dateOrTime(b)) {
                TDateTime v = 0, vb = 0;
                if (!ToDateTime(a, v) || !ToDateTime(b, vb))
                    return;
                const QDate da = CalendarDate(v), db = CalendarDate(vb);
                const int dy = db.year() - da.year(), dm = db.month() - da.month(), dd = db.day() - da.day();
                const double step = vb - v;
                const bool hasDate = a.contains(LocaleDateSeparator());
                const bool hasTime = a.contains(timeSep);
                for (const TPoint& p : cells) {
                    if (editable(p.X, p.Y)) {
                        // A date with a time of day keeps its time.
                        const QString text = !hasDate ? TimeToText(v)
                                             : hasTime ? DateToText(v) + u' ' + TimeToText(v)
                                                       : DateToText(v);
                        write(p.X, p.Y, text, true);
                    }
                    if (!NextDate(dy, dm, dd, step, v))
                        break;
                }
                return;
            }
            const QChar dec = LocaleDecimalSeparator();
            if (a.contains(dec) || b.contains(dec)) {
                double v = 0, vb = 0;
                if (!ToFloat(a, v) || !ToFloat(b, vb))
                    return;
                const double step = vb - v;
                for (const TPoint& p : cells) {
                    if (editable(p.X, p.Y))
                        write(p.X, p.Y, FormatFloatText(FFloatFormat, v), true);
                    v += step;
                }
                return;
            }
            const auto ia = ParseNumber(a), ib = ParseNumber(b);
            if (ia && ib) {
                long long v = *ia;
                const long long step = static_cast<long long>(*ib) - *ia;
                for (const TPoint& p : cells) {
                    if (editable(p.X, p.Y))
                        write(p.X, p.Y, QString::number(v), true);
                    v += step;
                }
                return;
            }
        }
        // Pattern: every cell after the block takes the text one block
        // length before it.
        for (size_t i = static_cast<size_t>(period); i < cells.size(); ++i) {
            const TPoint& p = cells[i];
            if (editable(p.X, p.Y))
                write(p.X, p.Y, textAt(cells[i - period].X, cells[i - period].Y), false);
        }
        const TRect filled = column ? TRect{s.Left, s.Top + period, s.Left, s.Bottom}
                                    : TRect{s.Left + period, s.Top, s.Right, s.Bottom};
        AfterPasteRect(TPoint{s.Left, s.Top}, filled, coCopy);
        return;
    }

    // A one-row block goes again at the start of every further row, a
    // one-column block at the top of every further column.
    if (block.Y != 1 && block.X != 1)
        return;
    const auto restore = qScopeGuard([this, s] { SetSelection(s); });
    int rows = 0, cols = 0;
    if (block.Y == 1) {
        for (int r = s.Top + 1; r <= s.Bottom; ++r) {
            SetRow(r);
            PasteAtCell(s.Left, r, rows, cols);
        }
    } else {
        for (int c = s.Left + 1; c <= s.Right; ++c) {
            SetCol(c);
            PasteAtCell(c, s.Top, rows, cols);
        }
    }
}
