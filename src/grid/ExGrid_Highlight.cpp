// Marking text in cells with the mini-language's tags ("hi" highlights,
// "e" errors) and filling ranges. Cells are addressed by real column and
// display row; a range over display columns is mapped to the run of real
// columns it covers, hidden ones included, so marking and unmarking reach
// the same cells.
#include "grid/ExGrid.h"
#include "widgets/EsgHTMLE.h"

#include <QRandomGenerator>

#include <algorithm>
#include <functional>

using namespace platform;

namespace {

const QString HiTag = QStringLiteral("hi");
const QString ErrTag = QStringLiteral("e");

} // namespace

QString TExStringGrid::HilightText(bool doCase, const QString& s, const QString& text)
{
    return MarkHTMLMatches(s, text, HiTag, doCase);
}

QString TExStringGrid::UnHilightText(const QString& s) { return UnmarkHTMLTag(s, HiTag); }

QString TExStringGrid::MarkText(bool doCase, const QString& s, const QString& text)
{
    return MarkHTMLMatches(s, text, ErrTag, doCase);
}

QString TExStringGrid::UnMarkText(const QString& s) { return UnmarkHTMLTag(s, ErrTag); }

// Real columns of the display columns first..last, hidden ones between them
// included; whole rows (all) take every real column.
void TExStringGrid::MarkRealColumns(bool doFixed, int& first, int& last)
{
    if (doFixed) {
        first = 0;
        last = TotalColCount() - 1;
        return;
    }
    const int lastDispl = ColCount() - FFixedRightCols - 1;
    first = RealColIndex(TBaseGrid::FixedCols());
    last = lastDispl < TBaseGrid::FixedCols() ? first - 1 : RealColIndex(lastDispl);
}

void TExStringGrid::MarkRows(bool doFixed, int& first, int& last) const
{
    first = doFixed ? 0 : TBaseGrid::FixedRows();
    last = doFixed ? RowCount() - 1 : RowCount() - FFixedFooters - 1;
}

QString TExStringGrid::MarkSourceText(int aCol, int aRow)
{
    return OnGetDisplText ? GetCellEx(aCol, aRow) : GetGridCell(aCol, aRow);
}

namespace {

// Rewrites every base cell of a real-column rectangle, clipped to the grid.
void RewriteBaseCells(TExStringGrid& g, int fromCol, int fromRow, int toCol, int toRow,
                      const std::function<QString(int, int)>& rewrite)
{
    fromCol = std::max(0, fromCol);
    toCol = std::min(toCol, g.TotalColCount() - 1);
    fromRow = std::max(0, fromRow);
    toRow = std::min(toRow, g.RowCount() - 1);
    for (int r = fromRow; r <= toRow; ++r)
        for (int c = fromCol; c <= toCol; ++c)
            if (g.IsBaseCell(c, r))
                g.SetCellEx(c, r, rewrite(c, r));
}

} // namespace

void TExStringGrid::MarkTextInRect(const QString& hiText, const QString& tag, bool doCase, int fromCol, int fromRow,
                                   int toCol, int toRow)
{
    const QString search = EncodeHTMLEntities(hiText, false);
    RewriteBaseCells(*this, fromCol, fromRow, toCol, toRow, [&](int c, int r) {
        return MarkHTMLMatches(EncodeHTMLEntities(MarkSourceText(c, r), false), search, tag, doCase);
    });
}

void TExStringGrid::UnmarkTextInRect(const QString& tag, int fromCol, int fromRow, int toCol, int toRow)
{
    RewriteBaseCells(*this, fromCol, fromRow, toCol, toRow, [&](int c, int r) {
        return UnmarkHTMLTag(DecodeHTMLEntities(MarkSourceText(c, r), false), tag);
    });
}

void TExStringGrid::HilightInCell(bool doCase, int aCol, int aRow, const QString& hiText)
{
    MarkTextInRect(hiText, HiTag, doCase, aCol, aRow, aCol, aRow);
}

void TExStringGrid::MarkInCell(bool doCase, int aCol, int aRow, const QString& hiText)
{
    MarkTextInRect(hiText, ErrTag, doCase, aCol, aRow, aCol, aRow);
}

void TExStringGrid::UnHilightInCell(int aCol, int aRow) { UnmarkTextInRect(HiTag, aCol, aRow, aCol, aRow); }

void TExStringGrid::UnMarkInCell(int aCol, int aRow) { UnmarkTextInRect(ErrTag, aCol, aRow, aCol, aRow); }

void TExStringGrid::HilightInCol(bool doFixed, bool doCase, int aCol, const QString& hiText)
{
    int r1, r2;
    MarkRows(doFixed, r1, r2);
    MarkTextInRect(hiText, HiTag, doCase, aCol, r1, aCol, r2);
}

void TExStringGrid::MarkInCol(bool doFixed, bool doCase, int aCol, const QString& hiText)
{
    int r1, r2;
    MarkRows(doFixed, r1, r2);
    MarkTextInRect(hiText, ErrTag, doCase, aCol, r1, aCol, r2);
}

void TExStringGrid::UnHilightInCol(bool doFixed, int aCol)
{
    int r1, r2;
    MarkRows(doFixed, r1, r2);
    UnmarkTextInRect(HiTag, aCol, r1, aCol, r2);
}

void TExStringGrid::UnMarkInCol(bool doFixed, int aCol)
{
    int r1, r2;
    MarkRows(doFixed, r1, r2);
    UnmarkTextInRect(ErrTag, aCol, r1, aCol, r2);
}

void TExStringGrid::HilightInRow(bool doFixed, bool doCase, int aRow, const QString& hiText)
{
    int c1, c2;
    MarkRealColumns(doFixed, c1, c2);
    MarkTextInRect(hiText, HiTag, doCase, c1, aRow, c2, aRow);
}

void TExStringGrid::MarkInRow(bool doFixed, bool doCase, int aRow, const QString& hiText)
{
    int c1, c2;
    MarkRealColumns(doFixed, c1, c2);
    MarkTextInRect(hiText, ErrTag, doCase, c1, aRow, c2, aRow);
}

void TExStringGrid::UnHilightInRow(bool doFixed, int aRow)
{
    int c1, c2;
    MarkRealColumns(doFixed, c1, c2);
    UnmarkTextInRect(HiTag, c1, aRow, c2, aRow);
}

void TExStringGrid::UnMarkInRow(bool doFixed, int aRow)
{
    int c1, c2;
    MarkRealColumns(doFixed, c1, c2);
    UnmarkTextInRect(ErrTag, c1, aRow, c2, aRow);
}

void TExStringGrid::HilightInGrid(bool doFixed, bool doCase, const QString& hiText)
{
    int c1, c2, r1, r2;
    MarkRealColumns(doFixed, c1, c2);
    MarkRows(doFixed, r1, r2);
    MarkTextInRect(hiText, HiTag, doCase, c1, r1, c2, r2);
}

void TExStringGrid::MarkInGrid(bool doFixed, bool doCase, const QString& hiText)
{
    int c1, c2, r1, r2;
    MarkRealColumns(doFixed, c1, c2);
    MarkRows(doFixed, r1, r2);
    MarkTextInRect(hiText, ErrTag, doCase, c1, r1, c2, r2);
}

void TExStringGrid::UnHilightInGrid(bool doFixed)
{
    int c1, c2, r1, r2;
    MarkRealColumns(doFixed, c1, c2);
    MarkRows(doFixed, r1, r2);
    UnmarkTextInRect(HiTag, c1, r1, c2, r2);
}

void TExStringGrid::UnMarkInGrid(bool doFixed)
{
    int c1, c2, r1, r2;
    MarkRealColumns(doFixed, c1, c2);
    MarkRows(doFixed, r1, r2);
    UnmarkTextInRect(ErrTag, c1, r1, c2, r2);
}

// ---------------------------------------------------------------------------
// Fills: display columns mapped to real ones (shown cells only)
// ---------------------------------------------------------------------------

void TExStringGrid::FillCells(bool doFixed, const std::function<QString(int, int)>& text)
{
    const int c1 = doFixed ? 0 : TBaseGrid::FixedCols();
    const int c2 = doFixed ? ColCount() - 1 : ColCount() - FFixedRightCols - 1;
    int r1, r2;
    MarkRows(doFixed, r1, r2);
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c)
            SetCellEx(RealColIndex(c), r, text(c, r));
    CellsUpdated();
}

void TExStringGrid::TextFill(bool doFixed, const QString& txt)
{
    FillCells(doFixed, [&](int, int) { return txt; });
}

void TExStringGrid::FormatFill(bool doFixed, const QString& fmt)
{
    // The platform's format language, two integers: column, then row.
    QString probe;
    if (!FormatValuesText(fmt, {0, 0}, probe))
        throw REruVidaZuvez(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(fmt));
    FillCells(doFixed, [&](int c, int r) {
        QString text;
        FormatValuesText(fmt, {static_cast<double>(c), static_cast<double>(r)}, text);
        return text;
    });
}

void TExStringGrid::RandomFill(bool doFixed, int rnd)
{
    FillCells(doFixed, [&](int, int) {
        return QString::number(rnd > 0 ? QRandomGenerator::global()->bounded(rnd) : 0);
    });
}

void TExStringGrid::LinearFill(bool doFixed)
{
    FillCells(doFixed, [](int c, int r) { return QStringLiteral("%1:%2").arg(c).arg(r); });
}

// ---------------------------------------------------------------------------
// Cell checking: real columns and display rows, as the cell access; moving
// to a checked cell uses its display column.
// ---------------------------------------------------------------------------

bool TExStringGrid::CheckCell(int aCol, int aRow)
{
    TExStringGridCheck* checker = FCellChecker.data();
    if (!checker)
        return true;
    if (aCol < 0 || aRow < 0 || aCol >= TotalColCount() || aRow >= RowCount())
        return true;
    const QString s = UnMarkText(GetCellEx(aCol, aRow));
    if (checker->GotoCell() && !IsHiddenColumn(aCol))
        MoveCurrentCell(DisplColIndexOf(aCol), aRow);
    QString t = s;
    if (checker->UseCorrect())
        t = checker->Correct(aCol, aRow, s);
    // The marks go on the corrected text; marking the original would undo the correction.
    if (checker->UseMarkError())
        t = checker->MarkError(aCol, aRow, t);
    SetCellEx(aCol, aRow, t);
    return t == s;
}

bool TExStringGrid::CheckCells(int fromCol, int fromRow, int toCol, int toRow)
{
    TExStringGridCheck* checker = FCellChecker.data();
    if (!checker)
        return true;
    checker->StartCheck();
    const int row = Row(), col = Col();
    bool all = true;
    for (int r = std::max(0, fromRow); r <= std::min(toRow, RowCount() - 1); ++r)
        for (int c = std::max(0, fromCol); c <= std::min(toCol, TotalColCount() - 1); ++c)
            all = CheckCell(c, r) && all;
    checker->StopCheck();
    if (checker->GotoCell() && col >= 0 && col < ColCount() && row >= 0 && row < RowCount())
        MoveCurrentCell(col, row);
    return all;
}

bool TExStringGrid::CheckCol(bool doFixed, int aCol)
{
    int r1, r2;
    MarkRows(doFixed, r1, r2);
    return CheckCells(aCol, r1, aCol, r2);
}

bool TExStringGrid::CheckRow(bool doFixed, int aRow)
{
    int c1, c2;
    MarkRealColumns(doFixed, c1, c2);
    return CheckCells(c1, aRow, c2, aRow);
}

bool TExStringGrid::CheckGrid(bool doFixed)
{
    int c1, c2, r1, r2;
    MarkRealColumns(doFixed, c1, c2);
    MarkRows(doFixed, r1, r2);
    return CheckCells(c1, r1, c2, r2);
}
