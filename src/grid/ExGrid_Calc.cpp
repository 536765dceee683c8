// Sums, averages, extremes, deviation and distinct counts over a column or
// a row, and the strict number read of a cell. A cell that holds no number
// is passed over by every calculation alike.
#include "grid/ExGrid.h"
#include "widgets/ExUtil.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <optional>

using namespace platform;

void TExStringGrid::CalcRows(int& fromRow, int& toRow, bool& realRows) const
{
    if (fromRow == -1 || toRow == -1) {
        fromRow = TBaseGrid::FixedRows();
        toRow = RowCount() - FFixedFooters - 1;
    }
    fromRow = std::max(0, fromRow);
    const int lastShown = FFloatingFooter->Visible() ? RowCount() - 2 : RowCount() - 1;
    // Past the shown rows the range is one of real rows, hidden ones in.
    realRows = toRow > lastShown && NumHiddenRows() > 0;
    toRow = std::min(toRow, realRows ? TotalRowCount() - 1 : RowCount() - 1);
}

bool TExStringGrid::CalcValue(int aCol, int aRow, bool realRows, double& value)
{
    try {
        if (realRows) {
            if (!IsHiddenRow(aRow)) {
                const int d = RowRealToDispl(aRow);
                if (FGroupColumn != -1 && (IsNode(d) || IsSummary(d)))
                    return false;
                if (!IsBaseCell(aCol, d))
                    return false;
            }
            value = GetAllFloats(aCol, aRow);
            return true;
        }
        if (FGroupColumn != -1 && (IsNode(aRow) || IsSummary(aRow)))
            return false;
        if (!IsBaseCell(aCol, aRow))
            return false;
        value = GetFloats(aCol, aRow);
        return true;
    } catch (const REruVidaZuvez&) {
        return false;
    }
}

double TExStringGrid::ColumnSum(int aCol, int fromRow, int toRow)
{
    bool realRows = false;
    CalcRows(fromRow, toRow, realRows);
    ExportNotification(esExportStart, fromRow);
    double sum = 0;
    for (int r = fromRow; r <= toRow; ++r) {
        double v = 0;
        if (CalcValue(aCol, r, realRows, v)) {
            sum += v;
            ExportNotification(esExportNextRow, r);
        }
    }
    ExportNotification(esExportDone, -1);
    return sum;
}

double TExStringGrid::ColumnAvg(int aCol, int fromRow, int toRow)
{
    bool realRows = false;
    int f = fromRow, t = toRow;
    CalcRows(f, t, realRows);
    if (t < f)
        return 0;
    return ColumnSum(aCol, fromRow, toRow) / (t - f + 1);
}

namespace {

template <class Better>
double Extreme(TExStringGrid& g, int aCol, int fromRow, int toRow, Better better,
               const std::function<bool(int, double&)>& value)
{
    std::optional<double> best;
    for (int r = fromRow; r <= toRow; ++r) {
        double v = 0;
        if (value(r, v) && (!best || better(v, *best)))
            best = v;
    }
    (void)g;
    return best.value_or(0);
}

} // namespace

double TExStringGrid::ColumnMin(int aCol, int fromRow, int toRow)
{
    bool realRows = false;
    CalcRows(fromRow, toRow, realRows);
    ExportNotification(esExportStart, fromRow);
    const double v = Extreme(*this, aCol, fromRow, toRow, std::less<double>(),
                             [&](int r, double& x) { return CalcValue(aCol, r, realRows, x); });
    ExportNotification(esExportDone, -1);
    return v;
}

double TExStringGrid::ColumnMax(int aCol, int fromRow, int toRow)
{
    bool realRows = false;
    CalcRows(fromRow, toRow, realRows);
    ExportNotification(esExportStart, fromRow);
    const double v = Extreme(*this, aCol, fromRow, toRow, std::greater<double>(),
                             [&](int r, double& x) { return CalcValue(aCol, r, realRows, x); });
    ExportNotification(esExportDone, -1);
    return v;
}

double TExStringGrid::ColumnStdDev(int aCol, int fromRow, int toRow)
{
    bool realRows = false;
    int f = fromRow, t = toRow;
    CalcRows(f, t, realRows);
    if (t < f)
        return 0;
    const double m = ColumnAvg(aCol, fromRow, toRow);
    ExportNotification(esExportStart, f);
    double sum = 0;
    for (int r = f; r <= t; ++r) {
        double v = 0;
        if (CalcValue(aCol, r, realRows, v))
            sum += (v - m) * (v - m);
    }
    ExportNotification(esExportDone, -1);
    return std::sqrt(sum / (t - f + 1));
}

int TExStringGrid::ColumnDistinct(int aCol, int fromRow, int toRow)
{
    bool realRows = false;
    CalcRows(fromRow, toRow, realRows);
    ExportNotification(esExportStart, fromRow);
    QSet<QString> seen;
    for (int r = fromRow; r <= toRow; ++r) {
        seen.insert((realRows ? GetCellsEx(aCol, r) : GetCellEx(aCol, r)).toUpper());
        ExportNotification(esExportNextRow, r);
    }
    ExportNotification(esExportDone, -1);
    return static_cast<int>(seen.size());
}

double TExStringGrid::ColumnCustomCalc(int aCol, int fromRow, int toRow)
{
    double res = 0;
    if (OnColumnCalc)
        OnColumnCalc(this, aCol, fromRow, toRow, res);
    return res;
}

double TExStringGrid::RowSum(int aRow, int fromCol, int toCol)
{
    double sum = 0;
    for (int c = fromCol; c <= toCol; ++c) {
        double v = 0;
        if (CalcValue(c, aRow, false, v))
            sum += v;
    }
    return sum;
}

double TExStringGrid::RowAvg(int aRow, int fromCol, int toCol)
{
    if (toCol < fromCol)
        return 0;
    return RowSum(aRow, fromCol, toCol) / (toCol - fromCol + 1);
}

double TExStringGrid::RowMin(int aRow, int fromCol, int toCol)
{
    return Extreme(*this, 0, fromCol, toCol, std::less<double>(),
                   [&](int c, double& x) { return CalcValue(c, aRow, false, x); });
}

double TExStringGrid::RowMax(int aRow, int fromCol, int toCol)
{
    return Extreme(*this, 0, fromCol, toCol, std::greater<double>(),
                   [&](int c, double& x) { return CalcValue(c, aRow, false, x); });
}

double TExStringGrid::CellToReal(int aCol, int aRow)
{
    const QString text = GetCellEx(aCol, aRow);
    if (text.isEmpty())
        return 0;
    // Thousand separators go and the decimal separator becomes a point;
    // anything else must be part of the number.
    const TRegionalSettings rs = RegionalSettings();
    QString plain;
    for (const QChar ch : text.trimmed()) {
        if (ch == rs.ThousandSeparator && rs.ThousandSeparator != rs.DecimalSeparator)
            continue;
        plain.append(ch == rs.DecimalSeparator ? QChar(u'.') : ch);
    }
    // The first character that cannot continue a number: sign, digits, one
    // point, an exponent with its own sign and digits.
    int i = 0;
    const int n = static_cast<int>(plain.size());
    auto digits = [&] {
        const int start = i;
        while (i < n && plain[i].isDigit())
            ++i;
        return i > start;
    };
    if (i < n && (plain[i] == u'+' || plain[i] == u'-'))
        ++i;
    bool any = digits();
    if (i < n && plain[i] == u'.') {
        ++i;
        any = digits() || any;
    }
    if (any && i < n && (plain[i] == u'e' || plain[i] == u'E')) {
        const int mark = i;
        ++i;
        if (i < n && (plain[i] == u'+' || plain[i] == u'-'))
            ++i;
        if (!digits())
            i = mark;
    }
    bool ok = any && i == n;
    const double v = ok ? plain.toDouble(&ok) : 0;
    if (!ok || !std::isfinite(v))
        throw REruVidaZuvez(QStringLiteral("Error at position: %1 in Cell [%2, %3].")
                                .arg(any && i == n ? 1 : i + 1)
                                .arg(aCol)
                                .arg(aRow));
    return v;
}
