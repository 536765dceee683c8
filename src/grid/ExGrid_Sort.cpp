// Sorting of the grid's rows by a column, by the sort index list, within
// groups, and back to the order the cross-reference list recorded.
//
// Every comparison is a strict weak order: a column's automatic style is
// decided once per sort from all its texts (never from one cell), and each
// style compares keys (a number, a date, a text). The rows are ordered by a
// stable merge sort of our own, which stays within its range whatever an
// application comparison (ssCustom, ssRaw) answers.
#include "grid/ExGrid.h"

#include "platform/Scope.h"
#include "widgets/ExUtil.h"

#include <QTime>

#include <cmath>
#include <map>
#include <stdexcept>
#include <vector>

using namespace platform;

struct TExStringGrid::TSortRun
{
    struct Plan
    {
        TSortStyle Style = ssAlphabetic;
        QString Prefix;
        QString Suffix;
        // Keys of the rows Left..Right, made once per sort for the styles
        // that compare keys: the number or date, the text as compared, and
        // whether the cell text is empty or a number.
        bool Keyed = false;
        std::vector<double> Number;
        std::vector<QString> Text;
        std::vector<char> Empty;
        std::vector<char> IsNumber;
    };
    int Left = 0;
    int Right = -1;
    std::map<int, Plan> Plans;
};

namespace {

bool IsCheckKind(TCellType t)
{
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox ||
           t == ctTriStateCheckBox;
}

bool IsNumberText(const QString& s) { return !s.isEmpty() && NumberKind(s) != 2; }

// The separator test of automatic detection: at 1-based position p with
// 1 < p < length, p < 4, digits on both sides.
bool SeparatorInPlace(const QString& s, QChar sep)
{
    const int p = static_cast<int>(s.indexOf(sep)) + 1;
    return p > 1 && p < s.length() && p < 4 && s[p - 2].isDigit() && s[p].isDigit();
}

// hh:mm[:ss] under the regional time separator; false when it does not convert.
bool ParseTimeText(const QString& text, double& value)
{
    const QChar sep = RegionalSettings().TimeSeparator;
    const QStringList parts = text.trimmed().split(sep);
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    int v[3] = {0, 0, 0};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || v[i] < 0)
            return false;
    }
    if (v[0] > 23 || v[1] > 59 || v[2] > 59)
        return false;
    value = (v[0] * 3600 + v[1] * 60 + v[2]) / 86400.0;
    return true;
}

double DateKey(TSortStyle style, const QString& text)
{
    if (text.trimmed().isEmpty())
        return 0;
    try {
        switch (style) {
        case ssShortDateEU: return ParseDateDMY(text);
        case ssShortDateUS: return ParseDateMDY(text);
        case ssTime: {
            double v = 0;
            return ParseTimeText(text, v) ? v : 0;
        }
        default: {
            TDateTime v = 0;
            if (ParseLocaleDateTime(text, v))
                return v;
            double t = 0;
            return ParseTimeText(text, t) ? t : 0;
        }
        }
    } catch (const std::exception&) {
        return 0;
    }
}

QString UpperAZ(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    return r;
}

int Sign(double a, double b) { return a > b ? 1 : (a < b ? -1 : 0); }
int SignOf(int v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// Stable bottom-up merge sort of v; less may be any relation, the sort
// always ends and never leaves the vector.
template <typename T, typename Less>
void MergeSort(std::vector<T>& v, Less less)
{
    const size_t n = v.size();
    std::vector<T> buf(n);
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                buf[k++] = less(v[j], v[i]) ? v[j++] : v[i++];
            while (i < mid)
                buf[k++] = v[i++];
            while (j < hi)
                buf[k++] = v[j++];
        }
        v.swap(buf);
    }
}

} // namespace

// ---- settings

void TSortSettings::SetShow(bool v)
{
    if (v == FShow)
        return;
    FShow = v;
    if (FOwner)
        FOwner->Invalidate();
}

void TSortSettings::SetRow(int v)
{
    // The sort row is one of the fixed rows: 0 .. FixedRows - 1 (row 0 also
    // while a grid has none, where no header click sorts).
    const int fixedRows = FOwner ? FOwner->FixedRows() : 1;
    if (v < 0 || (v > 0 && v >= fixedRows))
        throw std::invalid_argument("Sort row should be smaller than number of fixed rows");
    FRow = v;
}

void TSortSettings::Remove()
{
    FColumn = -1;
    if (FOwner) {
        FOwner->SortIndexes().Clear();
        if (FOwner->FixedRows() > 0)
            FOwner->RepaintRow(FOwner->FixedRows() - 1);
    }
}

QString TSortSettings::SaveToString() const
{
    if (FIndexShow)
        return QStringLiteral("i;") + (FOwner ? FOwner->SortIndexes().SaveToString() : QString());
    return (FDirection == sdDescending ? QStringLiteral("d") : QStringLiteral("u")) + QString::number(FColumn);
}

void TSortSettings::LoadFromString(const QString& s)
{
    if (s.isEmpty())
        return;
    FShow = true;
    if (s.length() < 2)
        throw std::invalid_argument("Invalid sort settings specifier");
    if (s.contains(QStringLiteral("i;"))) {
        FIndexShow = true;
        const QString rest = s.mid(2);
        if (!rest.isEmpty() && FOwner) {
            FOwner->SortIndexes().LoadFromString(rest);
            FOwner->QSortIndexed();
        }
        return;
    }
    FIndexShow = false;
    FDirection = s.contains(QLatin1Char('u')) ? sdAscending : sdDescending;
    bool ok = false;
    const int column = s.mid(1).trimmed().toInt(&ok);
    if (!ok)
        return;
    FColumn = column;
    if (FOwner)
        FOwner->QSort();
}

// ---- comparison

namespace {

// A cell text as the numeric styles read it; what does not convert, and no
// finite number, counts as 0.
double NumberKey(QString t, const QString& prefix, const QString& suffix, bool financial,
                 const TRegionalSettings& rs)
{
    if (!suffix.isEmpty())
        if (const qsizetype p = t.indexOf(suffix); p >= 0)
            t.remove(p, suffix.length());
    if (!prefix.isEmpty())
        if (const qsizetype p = t.indexOf(prefix); p >= 0)
            t.remove(p, prefix.length());
    if (financial && !rs.ThousandSeparator.isNull())
        t.remove(rs.ThousandSeparator);
    if (rs.DecimalSeparator != QLatin1Char('.'))
        if (const qsizetype p = t.indexOf(rs.DecimalSeparator); p >= 0)
            t[p] = QLatin1Char('.');
    t = t.trimmed();
    bool ok = false;
    double v = 0;
    if (!t.isEmpty())
        v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        v = 0;
    return v;
}

bool KeyedStyle(TSortStyle style)
{
    switch (style) {
    case ssCustom:
    case ssRaw:
    case ssImages:
    case ssCheckBox: return false;
    default: return true;
    }
}

} // namespace

int TExStringGrid::CompareCells(int aCol, int aRow1, int aRow2, TSortDirection direction)
{
    ++FCompares;
    const TSortSettings& s = *FSortSettings;
    TSortRun localRun;
    TSortRun& run = FSortRun ? *FSortRun : localRun;
    if (!FSortRun) {
        // Outside a sort the column's style is that of its data rows.
        localRun.Left = TBaseGrid::FixedRows();
        localRun.Right = RowCount() - FFixedFooters - 1;
    }
    auto text = [&](int row) { return s.SortOnVirtualCells() ? GetCellEx(aCol, row) : GetGridCell(aCol, row); };

    auto it = run.Plans.find(aCol);
    if (it == run.Plans.end()) {
        TSortRun::Plan plan;
        plan.Style = s.AutoFormat() ? ssAutomatic : (s.IgnoreCase() ? ssAlphaNoCase : ssAlphabetic);
        QuerySortFormat(aCol, plan.Style, plan.Prefix, plan.Suffix);
        if (plan.Style == ssAutomatic) {
            // One style for the whole column, from all its cells of the range.
            bool allChecks = run.Right >= run.Left, anyText = false, numbers = true, dates = true, times = true,
                 withTime = false;
            const QChar dateSep = RegionalSettings().DateSeparator, timeSep = RegionalSettings().TimeSeparator;
            for (int r = run.Left; r <= run.Right; ++r) {
                if (!IsCheckKind(GetCellType(aCol, r)))
                    allChecks = false;
                const QString t = text(r);
                if (t.isEmpty())
                    continue;
                anyText = true;
                if (numbers && !IsNumberText(t))
                    numbers = false;
                if (!SeparatorInPlace(t, dateSep))
                    dates = false;
                else if (t.contains(timeSep))
                    withTime = true;
                if (SeparatorInPlace(t, dateSep) || !SeparatorInPlace(t, timeSep))
                    times = false;
            }
            if (allChecks)
                plan.Style = ssCheckBox;
            else if (anyText && numbers)
                plan.Style = ssNumeric;
            else if (anyText && dates)
                plan.Style = withTime ? ssDateTime : ssDate;
            else if (anyText && times)
                plan.Style = ssTime;
            else
                plan.Style = s.IgnoreCase() ? ssAlphaNoCase : ssAlphabetic;
        }
        if (FSortRun && KeyedStyle(plan.Style) && run.Right > run.Left) {
            // A sort compares each row many times: its key is made once.
            const TRegionalSettings rs = RegionalSettings();
            const size_t n = static_cast<size_t>(run.Right - run.Left + 1);
            plan.Keyed = true;
            plan.Empty.resize(n);
            const bool numeric = plan.Style == ssNumeric || plan.Style == ssFinancial;
            const bool date = plan.Style == ssDate || plan.Style == ssDateTime || plan.Style == ssTime ||
                              plan.Style == ssShortDateEU || plan.Style == ssShortDateUS;
            const bool alphaNumeric = plan.Style == ssAlphaNumeric || plan.Style == ssAlphaNumericNoCase;
            if (numeric || date || alphaNumeric)
                plan.Number.resize(n);
            if (alphaNumeric)
                plan.IsNumber.resize(n);
            if (!numeric && !date)
                plan.Text.resize(n);
            for (size_t i = 0; i < n; ++i) {
                const int row = run.Left + static_cast<int>(i);
                const QString t = text(row);
                plan.Empty[i] = t.isEmpty();
                if (numeric) {
                    plan.Number[i] = NumberKey(t, plan.Prefix, plan.Suffix, plan.Style == ssFinancial, rs);
                } else if (date) {
                    plan.Number[i] = DateKey(plan.Style, t);
                } else if (alphaNumeric) {
                    plan.IsNumber[i] = IsNumberText(t);
                    if (plan.IsNumber[i])
                        plan.Number[i] = NumberKey(t, plan.Prefix, plan.Suffix, false, rs);
                    else
                        plan.Text[i] = plan.Style == ssAlphaNumericNoCase ? UpperAZ(t) : t;
                } else {
                    switch (plan.Style) {
                    case ssAlphaNoCase: plan.Text[i] = UpperAZ(t); break;
                    case ssAnsiAlphaNoCase: plan.Text[i] = t.toLower(); break;
                    case ssHTML: plan.Text[i] = GetStrippedCell(aCol, row); break;
                    default: plan.Text[i] = t; break;
                    }
                }
            }
        }
        it = run.Plans.emplace(aCol, std::move(plan)).first;
    }
    const TSortRun::Plan& plan = it->second;

    if (plan.Keyed && aRow1 >= run.Left && aRow1 <= run.Right && aRow2 >= run.Left && aRow2 <= run.Right) {
        const size_t i = static_cast<size_t>(aRow1 - run.Left), j = static_cast<size_t>(aRow2 - run.Left);
        if (s.IgnoreBlanks() && plan.Empty[i] != plan.Empty[j]) {
            const int res = plan.Empty[i] ? (s.BlankPos() == blLast ? 1 : -1) : (s.BlankPos() == blLast ? -1 : 1);
            return direction == sdAscending ? res : -res;
        }
        switch (plan.Style) {
        case ssNumeric:
        case ssFinancial:
        case ssDate:
        case ssDateTime:
        case ssTime:
        case ssShortDateEU:
        case ssShortDateUS: return Sign(plan.Number[i], plan.Number[j]);
        case ssAnsiAlphaCase:
        case ssAnsiAlphaNoCase: return SignOf(QString::localeAwareCompare(plan.Text[i], plan.Text[j]));
        case ssAlphaNumeric:
        case ssAlphaNumericNoCase:
            if (plan.IsNumber[i] && plan.IsNumber[j])
                return Sign(plan.Number[i], plan.Number[j]);
            if (plan.IsNumber[i] != plan.IsNumber[j])
                return plan.IsNumber[i] ? -1 : 1;
            return SignOf(QString::compare(plan.Text[i], plan.Text[j]));
        default: return SignOf(QString::compare(plan.Text[i], plan.Text[j]));
        }
    }

    QString a = text(aRow1), b = text(aRow2);
    if (s.IgnoreBlanks() && a.isEmpty() != b.isEmpty()) {
        // Blanks go to their end whatever the direction: the sign is given
        // for the direction, which the caller applies once more.
        int res = a.isEmpty() ? (s.BlankPos() == blLast ? 1 : -1) : (s.BlankPos() == blLast ? -1 : 1);
        return direction == sdAscending ? res : -res;
    }

    const TRegionalSettings rs = RegionalSettings();
    auto number = [&](const QString& t, bool financial) {
        return NumberKey(t, plan.Prefix, plan.Suffix, financial, rs);
    };

    switch (plan.Style) {
    case ssNumeric: return Sign(number(a, false), number(b, false));
    case ssFinancial: return Sign(number(a, true), number(b, true));
    case ssDate:
    case ssDateTime:
    case ssTime:
    case ssShortDateEU:
    case ssShortDateUS: return Sign(DateKey(plan.Style, a), DateKey(plan.Style, b));
    case ssAlphaNoCase: return SignOf(QString::compare(UpperAZ(a), UpperAZ(b)));
    case ssAnsiAlphaCase: return SignOf(QString::localeAwareCompare(a, b));
    case ssAnsiAlphaNoCase: return SignOf(QString::localeAwareCompare(a.toLower(), b.toLower()));
    case ssCustom: {
        int res = 0;
        if (OnCustomCompare)
            OnCustomCompare(this, a, b, res);
        return SignOf(res);
    }
    case ssRaw: {
        int res = 0;
        if (OnRawCompare)
            OnRawCompare(this, aCol, aRow1, aRow2, res);
        return SignOf(res);
    }
    case ssHTML: return SignOf(QString::compare(GetStrippedCell(aCol, aRow1), GetStrippedCell(aCol, aRow2)));
    case ssImages: {
        const std::intptr_t ka = ImageSortKey(aCol, aRow1), kb = ImageSortKey(aCol, aRow2);
        return ka > kb ? 1 : (ka < kb ? -1 : 0);
    }
    case ssCheckBox: {
        bool ca = false, cb = false;
        GetCheckBoxState(aCol, RealRowIndex(aRow1), ca);
        GetCheckBoxState(aCol, RealRowIndex(aRow2), cb);
        return static_cast<int>(ca) - static_cast<int>(cb);
    }
    case ssAlphaNumeric:
    case ssAlphaNumericNoCase: {
        // Numbers first, in their order, then the other texts: a strict weak
        // order, where a pairwise choice of style would not be one.
        const bool na = IsNumberText(a), nb = IsNumberText(b);
        if (na && nb)
            return Sign(number(a, false), number(b, false));
        if (na != nb)
            return na ? -1 : 1;
        if (plan.Style == ssAlphaNumericNoCase)
            return SignOf(QString::compare(UpperAZ(a), UpperAZ(b)));
        return SignOf(QString::compare(a, b));
    }
    case ssAutomatic:
    case ssAlphabetic:
    case ssAlphaCase:
    default: return SignOf(QString::compare(a, b));
    }
}

int TExStringGrid::CompareRows(int aCol, int aRow1, int aRow2)
{
    const int last = TotalColCount() - 1;
    const TSortDirection d = FSortSettings->Direction();
    for (int c = aCol; c <= last; ++c) {
        if (IsIgnoredColumn(c))
            return 0;
        const int res = CompareCells(c, aRow1, aRow2, d);
        if (res != 0)
            return d == sdAscending ? res : -res;
        if (!FSortSettings->Full())
            return 0;
    }
    return 0;
}

int TExStringGrid::CompareRowsIndexed(int index, int aRow1, int aRow2)
{
    for (int k = index; k < FSortIndexes.Count(); ++k) {
        const int c = FSortIndexes.GetSortColumns(k);
        if (IsIgnoredColumn(c))
            return 0;
        const TSortDirection d = FSortIndexes.GetSortDirections(k) ? sdAscending : sdDescending;
        const int res = CompareCells(c, aRow1, aRow2, d);
        if (res != 0)
            return d == sdAscending ? res : -res;
        if (!FSortSettings->Full())
            return 0;
    }
    return 0;
}

// ---- moving rows

void TExStringGrid::ApplyRowOrder(int left, const std::vector<int>& order, bool keepXRef)
{
    const int n = static_cast<int>(order.size());
    bool moved = false;
    for (int i = 0; i < n && !moved; ++i)
        moved = order[static_cast<size_t>(i)] != left + i;
    if (!moved)
        return;
    const bool single = FSortSettings->SingleColumn() && !keepXRef;
    if (single) {
        const int sortCol = FSortSettings->Column();
        if (sortCol >= 0 && sortCol < TotalColCount()) {
            std::vector<QString> texts(static_cast<size_t>(n));
            std::vector<TObject*> objects(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i) {
                texts[static_cast<size_t>(i)] = GetGridCell(sortCol, order[static_cast<size_t>(i)]);
                objects[static_cast<size_t>(i)] = GetGridObject(sortCol, order[static_cast<size_t>(i)]);
            }
            for (int i = 0; i < n; ++i) {
                SetGridCell(sortCol, left + i, texts[static_cast<size_t>(i)]);
                SetGridObject(sortCol, left + i, objects[static_cast<size_t>(i)]);
            }
        }
    } else {
        // Whole rows, hidden columns included: their stored cells move at
        // once, the texts themselves untouched.
        ArrangeRowCells(left, order);
        // The rows that held cells may now reach further down.
        const int written = WrittenExtent().Y;
        if (written > left && written < left + n)
            SetGridCell(0, left + n - 1, GetGridCell(0, left + n - 1));
    }
    // Where each old row went.
    std::vector<int> newPos(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        newPos[static_cast<size_t>(order[static_cast<size_t>(i)] - left)] = left + i;
    if (!single) {
        std::vector<int> heights(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            heights[static_cast<size_t>(i)] = RowHeights(order[static_cast<size_t>(i)]);
        AssignRowHeights(left, heights);
        if (ModifiedMarking()) {
            std::vector<char> modified(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i)
                modified[static_cast<size_t>(i)] = GetRowModified(order[static_cast<size_t>(i)]);
            for (int i = 0; i < n; ++i)
                SetRowModified(left + i, modified[static_cast<size_t>(i)] != 0);
        }
        if (FMouseActions->DisjunctRowSelect() && FNavigation->MoveRowOnSort()) {
            std::vector<char> selected(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i)
                selected[static_cast<size_t>(i)] = GetRowSelect(RealRowIndex(order[static_cast<size_t>(i)]));
            for (int i = 0; i < n; ++i)
                SetRowSelect(RealRowIndex(left + i), selected[static_cast<size_t>(i)] != 0);
        }
        if (FSortTrackRow >= left && FSortTrackRow < left + n)
            FSortTrackRow = newPos[static_cast<size_t>(FSortTrackRow - left)];
    }
    // The cross-reference list follows its rows.
    const int xrefCount = FSortXRef.Count();
    if (left >= 0 && left + n <= xrefCount) {
        const std::vector<int>& xref = FSortXRef.Items();
        std::vector<int> values(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            values[static_cast<size_t>(i)] = xref[static_cast<size_t>(order[static_cast<size_t>(i)])];
        for (int i = 0; i < n; ++i)
            FSortXRef.SetInteger(left + i, values[static_cast<size_t>(i)]);
    }
    FSwaps += n;
}

void TExStringGrid::SortRowRange(int aCol, int left, int right, bool indexed)
{
    left = std::max(left, 0);
    right = std::min(right, RowCount() - 1);
    if (right <= left)
        return;
    TSortRun run;
    run.Left = left;
    run.Right = right;
    TSortRun* outer = FSortRun;
    FSortRun = &run;
    ScopeExit done{[&] { FSortRun = outer; }};
    std::vector<int> order;
    order.reserve(static_cast<size_t>(right - left + 1));
    for (int r = left; r <= right; ++r)
        order.push_back(r);
    if (indexed) {
        MergeSort(order, [&](int a, int b) { return CompareRowsIndexed(0, a, b) < 0; });
    } else if (const std::vector<double>* keys = NumberKeys(aCol, left)) {
        // A column of numbers or dates: its keys travel with the rows being
        // merged, so that most comparisons read them in passing; equal keys
        // go on to the following columns as always.
        struct Item
        {
            double Key;
            int Row;
        };
        std::vector<Item> items;
        items.reserve(order.size());
        for (int r : order)
            items.push_back({(*keys)[static_cast<size_t>(r - left)], r});
        const bool ascending = FSortSettings->Direction() == sdAscending;
        const bool full = FSortSettings->Full();
        MergeSort(items, [&](const Item& a, const Item& b) {
            ++FCompares;
            if (a.Key != b.Key)
                return ascending ? a.Key < b.Key : a.Key > b.Key;
            return full && CompareRows(aCol + 1, a.Row, b.Row) < 0;
        });
        for (size_t i = 0; i < items.size(); ++i)
            order[i] = items[i].Row;
    } else {
        MergeSort(order, [&](int a, int b) { return CompareRows(aCol, a, b) < 0; });
    }
    ApplyRowOrder(left, order, false);
}

const std::vector<double>* TExStringGrid::NumberKeys(int aCol, int left)
{
    // Only where a comparison of the column is nothing but its key.
    if (aCol < 0 || aCol >= TotalColCount() || IsIgnoredColumn(aCol) || FSortSettings->IgnoreBlanks() || !FSortRun)
        return nullptr;
    const int compares = FCompares;
    CompareCells(aCol, left, left, FSortSettings->Direction()); // makes the column's plan
    FCompares = compares;
    const auto it = FSortRun->Plans.find(aCol);
    if (it == FSortRun->Plans.end() || !it->second.Keyed)
        return nullptr;
    switch (it->second.Style) {
    case ssNumeric:
    case ssFinancial:
    case ssDate:
    case ssDateTime:
    case ssTime:
    case ssShortDateEU:
    case ssShortDateUS: return &it->second.Number;
    default: return nullptr;
    }
}

void TExStringGrid::InitSortXRef()
{
    FSortXRef.Clear();
    for (int i = 0; i < RowCount(); ++i)
        FSortXRef.Add(i);
}

bool TExStringGrid::SortLine(int aCol, int aRow1, int aRow2)
{
    if (aRow1 < 0 || aRow2 < 0 || aRow1 >= RowCount() || aRow2 >= RowCount())
        return false;
    const int sign = FSortSign != 0 ? FSortSign : (FSortSettings->Direction() == sdAscending ? 1 : -1);
    for (int c = aCol; c < TotalColCount(); ++c) {
        const int res = CompareCells(c, aRow1, aRow2, FSortSettings->Direction());
        if (res == sign) {
            SortSwapRows(aRow1, aRow2);
            return true;
        }
        if (res != 0)
            return false;
    }
    return false;
}

void TExStringGrid::SortSwapRows(int aRow1, int aRow2)
{
    if (aRow1 == aRow2 || aRow1 < 0 || aRow2 < 0 || aRow1 >= RowCount() || aRow2 >= RowCount())
        return;
    const int lo = std::min(aRow1, aRow2), hi = std::max(aRow1, aRow2);
    std::vector<int> order;
    for (int r = lo; r <= hi; ++r)
        order.push_back(r);
    std::swap(order.front(), order.back());
    const int swaps = FSwaps;
    ApplyRowOrder(lo, order, false);
    FSwaps = swaps + 1;
}

// ---- the sorts

void TExStringGrid::Sort(int aCol, TSortDirection direction)
{
    FSortSettings->SetColumn(aCol);
    FSortSettings->SetDirection(direction);
    QSort();
}

void TExStringGrid::SortByColumn(int aCol)
{
    if (RowCount() <= 1)
        return;
    FSortSettings->SetColumn(aCol);
    QSort();
}

void TExStringGrid::QuickSort(int aCol, int left, int right) { SortRowRange(aCol, left, right, false); }

void TExStringGrid::QuickSortIndexed(int left, int right) { SortRowRange(-1, left, right, true); }

namespace {

// What every sort of the whole grid puts back on every way out.
struct SortBracket
{
    TExStringGrid& grid;
    QStringList column0;
    bool keepColumn0;
    int topRow;

    explicit SortBracket(TExStringGrid& g)
        : grid(g), keepColumn0(g.SortSettings().NormalCellsOnly() && g.FixedCols() > 0), topRow(g.TopRow())
    {
        if (keepColumn0)
            for (int r = 0; r < grid.RowCount(); ++r)
                column0 << grid.GetGridCell(0, r);
        grid.BeginUpdate();
    }
    ~SortBracket()
    {
        if (keepColumn0)
            for (int r = 0; r < grid.RowCount() && r < column0.size(); ++r)
                grid.SetGridCell(0, r, column0[r]);
        if (grid.Navigation().KeepScrollOnSort() && topRow < grid.RowCount())
            grid.SetTopRow(topRow);
        grid.EndUpdate();
    }
};

} // namespace

void TExStringGrid::QSort()
{
    const int column = FSortSettings->Column();
    if (column < 0 || column >= TotalColCount())
        return;
    if (FSortXRef.Count() != RowCount())
        InitSortXRef();
    FSortIndexes.Clear();
    FSortSign = FSortSettings->Direction() == sdAscending ? 1 : -1;
    const int oldRow = Row();
    {
        SortBracket bracket(*this);
        FSortTrackRow = oldRow;
        SortRowRange(column, TBaseGrid::FixedRows(), RowCount() - FFixedFooters - 1, false);
        if (!FMouseActions->DisjunctRowSelect() && FNavigation->MoveRowOnSort() && FSortTrackRow != Row() &&
            FSortTrackRow >= TBaseGrid::FixedRows() && FSortTrackRow < RowCount())
            SetRow(FSortTrackRow);
    }
    // The current row kept its index but now shows other data: the
    // application hears of it as of a row change.
    if (OnRowUpdate && !FNavigation->MoveRowOnSort())
        OnRowUpdate(this, oldRow, Row());
    if (FFloatingFooter->Visible())
        UpdateFooter();
    Invalidate();
}

void TExStringGrid::QSortIndexed()
{
    if (FSortIndexes.Count() == 0)
        throw REruVidaZuvez(QStringLiteral("No indexes specified for indexed sort"));
    if (FSortXRef.Count() != RowCount())
        InitSortXRef();
    FSortSign = 1;
    {
        SortBracket bracket(*this);
        FSortTrackRow = Row();
        SortRowRange(-1, TBaseGrid::FixedRows(), RowCount() - FFixedFooters - 1, true);
        if (FNavigation->MoveRowOnSort() && FSortTrackRow != Row() && FSortTrackRow >= TBaseGrid::FixedRows() &&
            FSortTrackRow < RowCount())
            SetRow(FSortTrackRow);
    }
    if (FFloatingFooter->Visible())
        UpdateFooter();
    Invalidate();
}

namespace {

void SortGroups(TExStringGrid& grid, const std::function<void(int, int)>& sortRange)
{
    int deepest = -1;
    for (int r = grid.FixedRows(); r < grid.RowCount(); ++r)
        if (grid.IsNode(r))
            deepest = std::max(deepest, grid.GetNodeLevel(r));
    if (deepest < 0)
        return;
    for (int r = grid.FixedRows(); r < grid.RowCount(); ++r) {
        if (!grid.IsNode(r) || grid.GetNodeLevel(r) != deepest || grid.GetNodeState(r))
            continue;
        // A span reaching past the data rows ends with them: the footer rows
        // never move into a group.
        const int span = grid.GetNodeSpan(r);
        if (span > 2)
            sortRange(r + 1, std::min(r + span - 1, grid.RowCount() - grid.FixedFooters() - 1));
    }
}

} // namespace

void TExStringGrid::QSortGroup()
{
    // Without a sort column there is nothing to order by.
    const int column = FSortSettings->Column();
    if (column < 0 || column >= TotalColCount())
        return;
    if (FSortXRef.Count() != RowCount())
        InitSortXRef();
    FSortSign = FSortSettings->Direction() == sdAscending ? 1 : -1;
    {
        SortBracket bracket(*this);
        FSortTrackRow = Row();
        SortGroups(*this, [&](int from, int to) { SortRowRange(column, from, to, false); });
        if (FNavigation->MoveRowOnSort() && FSortTrackRow != Row() && FSortTrackRow < RowCount())
            SetRow(FSortTrackRow);
    }
    Invalidate();
}

void TExStringGrid::QSortGroupIndexed()
{
    if (FSortIndexes.Count() == 0)
        throw REruVidaZuvez(QStringLiteral("No indexes specified for indexed sort"));
    if (FSortXRef.Count() != RowCount())
        InitSortXRef();
    FSortSign = 1;
    {
        SortBracket bracket(*this);
        FSortTrackRow = Row();
        SortGroups(*this, [&](int from, int to) { SortRowRange(-1, from, to, true); });
        if (FNavigation->MoveRowOnSort() && FSortTrackRow != Row() && FSortTrackRow < RowCount())
            SetRow(FSortTrackRow);
    }
    Invalidate();
}

namespace {

// Rows 0..n-1 in ascending order of their cross-reference values, rows of
// equal values in their present order. Values that number the rows once
// each (the usual case) give the order directly.
std::vector<int> UnSortOrder(const std::vector<int>& xref, int n)
{
    std::vector<int> order(static_cast<size_t>(n), -1);
    bool direct = true;
    for (int r = 0; r < n && direct; ++r) {
        const int v = xref[static_cast<size_t>(r)];
        direct = v >= 0 && v < n && order[static_cast<size_t>(v)] < 0;
        if (direct)
            order[static_cast<size_t>(v)] = r;
    }
    if (direct)
        return order;
    for (int r = 0; r < n; ++r)
        order[static_cast<size_t>(r)] = r;
    MergeSort(order, [&](int a, int b) { return xref[static_cast<size_t>(a)] < xref[static_cast<size_t>(b)]; });
    return order;
}

} // namespace

void TExStringGrid::QUnSort()
{
    const int n = std::min(FSortXRef.Count(), RowCount());
    if (n <= 1)
        return;
    {
        SortBracket bracket(*this);
        const std::vector<int> order = UnSortOrder(FSortXRef.Items(), n);
        FSortTrackRow = -1;
        ApplyRowOrder(0, order, true);
    }
    if (FFloatingFooter->Visible())
        UpdateFooter();
    Invalidate();
}
