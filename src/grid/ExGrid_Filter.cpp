// Filtering: the condition list, row matching, filter levels on the
// hidden-row store, narrowing down while typing and the filter drop-down.
//
// Levels: every application hides the failing rows of what is still visible
// as one level; switching the filter off or removing the last filter brings
// back exactly that level's rows and lowers the count, so the count always
// equals the number of levels really hidden. Rows hidden by other means stay
// where they are.
#include "grid/ExGrid.h"

#include "grid/ExGrid_Private.h"
#include "widgets/EsgHTMLE.h"
#include "widgets/ExUtil.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <cmath>

using namespace platform;
using namespace exgrid_detail;

// ---------------------------------------------------------------------------
// Conditions
// ---------------------------------------------------------------------------

void TFilterData::Assign(const TFilterData& source)
{
    if (&source == this)
        return;
    FColumn = source.FColumn;
    FCondition = source.FCondition;
    FCaseSensitive = source.FCaseSensitive;
    FData = source.FData;
    FPrefix = source.FPrefix;
    FSuffix = source.FSuffix;
    FOperation = source.FOperation;
}

TFilterData* TFilter::Add()
{
    auto item = std::make_unique<TFilterData>(this);
    item->SetOperation(FItems.empty() ? foNONE : foAND);
    FItems.push_back(std::move(item));
    return FItems.back().get();
}

TFilterData* TFilter::Insert(int)
{
    FItems.push_back(std::make_unique<TFilterData>(this));
    return FItems.back().get();
}

void TFilter::Delete(int index)
{
    if (index >= 0 && index < Count())
        FItems.erase(FItems.begin() + index);
}

TFilterData* TFilter::ColFilter(int column)
{
    for (const auto& item : FItems)
        if (item->Column() == column)
            return item.get();
    TFilterData* item = Add();
    item->SetColumn(column);
    return item;
}

bool TFilter::HasFilter(int column) const
{
    for (const auto& item : FItems)
        if (item->Column() == column)
            return true;
    return false;
}

void TFilter::RemoveColumnFilter(int column)
{
    for (int i = Count() - 1; i >= 0; --i)
        if (Items(i)->Column() == column)
            Delete(i);
    if (FOwner && FOwner->RowCount() > 0) {
        const int dc = FOwner->DisplColIndex(column);
        if (dc >= 0 && dc < FOwner->ColCount())
            FOwner->RepaintCell(dc, 0);
    }
}

TFilterDropDown::TFilterDropDown() = default;

void TFilterDropDown::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TFilterDropDown*>(source);
    if (!s || s == this)
        return;
    FColor = s->FColor;
    FColumnWidth = s->FColumnWidth;
    FFont.Assign(s->FFont);
    FHeight = s->FHeight;
    FWidth = s->FWidth;
    FGlyph.Assign(s->FGlyph);
    FGlyphActive.Assign(s->FGlyphActive);
}

void TFilterDropDown::SetGlyph(const TBitmap& v)
{
    FGlyph.Assign(v);
    if (OnChange)
        OnChange(nullptr);
}

void TFilterDropDown::SetGlyphActive(const TBitmap& v)
{
    FGlyphActive.Assign(v);
    if (OnChange)
        OnChange(nullptr);
}

// ---------------------------------------------------------------------------
// The drop-down lists
// ---------------------------------------------------------------------------

TDropList::TDropList(TExStringGrid* grid) : TListBox(grid), FGrid(grid) { SetVisible(false); }

void TDropList::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        SetVisible(false);
        if (OnSelect)
            OnSelect(this, ItemIndex());
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        FGrid->HideFilterDropDown();
        return;
    }
    TListBox::keyPressEvent(e);
}

void TDropList::mouseReleaseEvent(QMouseEvent* e)
{
    TListBox::mouseReleaseEvent(e);
    if (!rect().contains(e->position().toPoint()))
        return;
    SetVisible(false);
    if (OnSelect)
        OnSelect(this, ItemIndex());
}

void TDropList::focusOutEvent(QFocusEvent* e)
{
    TListBox::focusOutEvent(e);
    if (isVisible() && e->reason() != Qt::PopupFocusReason)
        FGrid->HideFilterDropDown();
}

TDropCheckList::TDropCheckList(TExStringGrid* grid) : TCheckListBox(grid), FGrid(grid)
{
    SetVisible(false);
    OnClickCheck = [this](QObject*, int) {
        if (OnSelect)
            OnSelect(this, -1);
    };
}

void TDropCheckList::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        FGrid->HideFilterDropDown();
        return;
    }
    TCheckListBox::keyPressEvent(e);
}

void TDropCheckList::focusOutEvent(QFocusEvent* e)
{
    TCheckListBox::focusOutEvent(e);
    if (isVisible() && e->reason() != Qt::PopupFocusReason)
        FGrid->HideFilterDropDown();
}

// ---------------------------------------------------------------------------
// The grid's part
// ---------------------------------------------------------------------------

void TExStringGrid::EnsureFilterObjects()
{
    if (!FFilter)
        FFilter = std::make_unique<TFilter>(this);
    if (!FFilterDropDown) {
        FFilterDropDown = std::make_unique<TFilterDropDown>();
        FFilterDropDown->OnChange = [this](QObject*) { Invalidate(); };
    }
}

TFilter& TExStringGrid::Filter()
{
    EnsureFilterObjects();
    return *FFilter;
}

TFilterDropDown& TExStringGrid::FilterDropDown()
{
    EnsureFilterObjects();
    return *FFilterDropDown;
}

namespace {

// Upper case of a-z only, as the whole-row test compares.
QString UpperAscii(QString s)
{
    for (QChar& c : s)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return s;
}

} // namespace

bool TExStringGrid::MatchFilter(int aRow)
{
    bool verdict = true;
    TFilter& filter = Filter();
    for (int i = 0; i < filter.Count(); ++i) {
        const TFilterData& f = *filter.Items(i);
        // An and after a failed verdict, or an or after a passed one, cannot
        // change it: the test is not run.
        if ((f.Operation() == foAND && !verdict) || (f.Operation() == foOR && verdict))
            continue;
        const int col = f.Column();
        bool match = true;
        try {
            QString text;
            const bool inStore = col >= 0 && col < TotalColCount();
            switch (f.Data()) {
            case fcVirtual: text = inStore ? GetCellEx(col, aRow) : QString(); break;
            case fcNormal: text = inStore ? GetGridCell(col, aRow) : QString(); break;
            case fcStripHTML: text = inStore ? StripHTMLTags(GetCellEx(col, aRow)) : QString(); break;
            case fcCalculated:
                if (inStore)
                    QueryCellText(col, aRow, text);
                break;
            case fcRow:
                // The row as the user sees it: its shown columns.
                for (int c = 0; c < ColCount(); ++c)
                    text += GetCellEx(RealColIndex(c), aRow) + u'\n';
                break;
            }
            text = text.trimmed();
            if (text.contains(QStringLiteral("|\\")))
                text = DecodeWideText(text);
            if (f.Data() == fcRow) {
                match = UpperAscii(text).contains(UpperAscii(f.Condition()));
            } else {
                if (!f.Prefix().isEmpty() && text.startsWith(f.Prefix()))
                    text.remove(0, f.Prefix().size());
                if (!f.Suffix().isEmpty()) {
                    const qsizetype p = text.indexOf(f.Suffix());
                    if (p >= 0 && p + f.Suffix().size() == text.size())
                        text.chop(f.Suffix().size());
                }
                if (f.Condition().isEmpty())
                    match = true;
                else if (f.Method() == fmExpression)
                    match = MatchCondition(f.Condition(), text, f.CaseSensitive());
                else
                    match = QString::compare(text, f.Condition(),
                                             f.CaseSensitive() ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
            }
        } catch (...) {
            match = false;
        }
        bool stop = false;
        switch (f.Operation()) {
        case foSHORT:
            verdict = match;
            stop = !match;
            break;
        case foNONE: verdict = match; break;
        case foAND: verdict = verdict && match; break;
        case foXOR: verdict = verdict != match; break;
        case foOR: verdict = verdict || match; break;
        }
        if (stop)
            break;
    }
    if (OnCustomFilter)
        OnCustomFilter(this, aRow, verdict);
    return verdict;
}

void TExStringGrid::FilterRow(int aRow)
{
    if (aRow < 0 || aRow >= RowCount())
        return;
    if (!MatchFilter(aRow))
        HideRow(RowDisplToReal(aRow));
}

void TExStringGrid::ApplyFilter()
{
    FFilterFixedRows.push_back(TBaseGrid::FixedRows());
    const int first = TBaseGrid::FixedRows();
    const int last = RowCount() - FFixedFooters - 1;
    const int total = last - first + 1;
    TIntList failing;
    int count = 0;
    for (int r = first; r <= last; ++r) {
        if (FFilterNormalCellsOnly && (IsNode(r) || IsSummary(r)))
            continue;
        if (!MatchFilter(r))
            failing.Add(r);
        ++count;
        if (OnFilterProgress && total > 0)
            OnFilterProgress(this, static_cast<int>(std::lround(count * 100.0 / total)));
    }
    HideRowList(failing);
    if (OnFilterProgress)
        OnFilterProgress(this, total > 0 ? static_cast<int>(std::lround(count * 100.0 / total)) : 0);
}

bool TExStringGrid::FilterActive() const { return FFilterActive; }

void TExStringGrid::SetFilterActive(bool v)
{
    if (v != FFilterActive) {
        FFilterActive = v;
        if (v) {
            if (Row() >= RowCount() || Col() >= ColCount())
                FocusCell(TBaseGrid::FixedCols(), TBaseGrid::FixedRows());
            BeginUpdate();
            {
                ScopeExit endUpdate{[this] { EndUpdate(); }};
                ApplyFilter();
            }
            FSelHidden = false;
        } else if (FFilterLevel > 0) {
            RemoveLastFilter();
        }
        SetTopRow(TBaseGrid::FixedRows());
    }
    CalcFooter(-1);
}

bool TExStringGrid::RemoveLastFilter()
{
    if (FFilterLevel <= 0)
        return false;
    UnHideRowList();
    if (!FFilterFixedRows.empty()) {
        const int fixedRows = FFilterFixedRows.back();
        FFilterFixedRows.pop_back();
        if (fixedRows != TBaseGrid::FixedRows() && fixedRows < RowCount())
            SetFixedRows(fixedRows);
    }
    if (SelectionHidden())
        UnHideSelection();
    CalcFooter(-1);
    --FFilterLevel;
    if (FFilterLevel == 0)
        FFilterActive = false;
    return FFilterLevel > 0;
}

void TExStringGrid::RemoveAllFilters()
{
    if (FFilterLevel > 0) {
        while (FFilterLevel > 0)
            RemoveLastFilter();
    } else {
        Filter().Clear();
    }
}

void TExStringGrid::NarrowDown(const QString& aCondition, int aColumn)
{
    const QString s = aCondition;
    const QString last = FLastNarrowDown;
    SetFixedRowAlways(true);
    auto build = [this, &s, aColumn] {
        TFilter& filter = Filter();
        filter.Clear();
        TFilterData* f = filter.Add();
        if (aColumn == -1) {
            f->SetData(fcRow);
            f->SetCondition(s);
        } else {
            f->SetData(fcNormal);
            QString condition = QStringLiteral("*") + s + QStringLiteral("*");
            if (condition.contains(u' '))
                condition = u'"' + condition + u'"';
            f->SetCondition(condition);
        }
        f->SetCaseSensitive(false);
        f->SetColumn(aColumn);
        ApplyFilter();
    };
    if (!last.isEmpty() && s.size() == last.size() + 1 && s.startsWith(last)) {
        build();
    } else if (!s.isEmpty() && last.size() == s.size() + 1 && last.startsWith(s)) {
        RemoveLastFilter();
    } else {
        RemoveAllFilters();
        if (!s.isEmpty())
            build();
    }
    FLastNarrowDown = s;
    CalcFooter(-1);
}

void TExStringGrid::SetFilterDropDownRow(int v)
{
    if (v < 0 || v >= TBaseGrid::FixedRows())
        return;
    FFilterDropDownRow = v;
    Invalidate();
}

bool TExStringGrid::IsFilterCell(int aCol, int aRow)
{
    if (aRow != FFilterDropDownRow || aRow >= TBaseGrid::FixedRows() || aCol < 0 || aCol >= ColCount())
        return false;
    const QStringList keep = FFilterList;
    const bool has = QueryFilterList(RealColIndex(aCol));
    FFilterList = keep;
    return has;
}

namespace {

// Friendly name and condition of a drop-down entry.
void SplitFilterEntry(const QString& entry, QString& name, QString& condition)
{
    const qsizetype eq = entry.indexOf(u'=');
    name = eq >= 0 ? entry.left(eq) : entry;
    condition = eq >= 0 ? entry.mid(eq + 1) : entry;
}

} // namespace

// The entries the automatic list made from cell texts are values, not
// conditions: their "=", wildcards and operators are matched as they are.
static bool LiteralEntry(const QStringList& literals, const QString& entry, QString& value)
{
    for (const QString& t : literals) {
        if (entry == t || (t.contains(u' ') && entry == t + QStringLiteral("=\"") + t + u'"')) {
            value = t;
            return true;
        }
    }
    return false;
}

namespace {

QStringList ColumnTexts(TExStringGrid& g, int aCol)
{
    QStringList texts;
    if (aCol < 0 || aCol >= g.TotalColCount())
        return texts;
    for (int r = g.FixedRows(); r < g.RowCount() - g.FixedFooters(); ++r)
        texts.append(g.GetCellEx(aCol, r).trimmed());
    if (!g.FilterIncremental()) {
        const TGridItemCollection& items = g.GridItems();
        for (int i = 0; i < items.Count(); ++i) {
            const TStringObjectList& cells = items.Items(i)->Items();
            texts.append(aCol < cells.Count() ? cells.Strings(aCol).trimmed() : QString());
        }
    }
    texts.removeDuplicates();
    return texts;
}

} // namespace

void TExStringGrid::FilterSelected(int itemIndex)
{
    const int column = FFilterColumn;
    ScopeExit close{[this] { FFilterColumn = -1; }};
    if (isVisible() && CanFocus())
        SetFocus();
    if (column < 0 || column >= TotalColCount())
        return;
    QueryFilterList(column);
    if (itemIndex < 0 || itemIndex >= FFilterList.size())
        return;
    const QString entry = FFilterList.at(itemIndex);
    QString name, condition, value;
    const bool literal = FFilterDropDownAuto && LiteralEntry(ColumnTexts(*this, column), entry, value);
    if (literal)
        name = condition = value;
    else
        SplitFilterEntry(entry, name, condition);
    if (condition == FFilterDropDownClear)
        condition.clear();
    if (FAutoFilterUpdate)
        SetFilterActive(false);
    const QString offered = condition;
    if (OnFilterSelect)
        OnFilterSelect(this, column, itemIndex, name, condition);
    if (!condition.isEmpty()) {
        TFilterData* f = Filter().ColFilter(column);
        f->SetCondition(condition);
        // A value stays literal unless the handler gave a condition of its own.
        const bool asValue = literal && condition == offered;
        f->SetMethod(asValue ? fmLiteral : fmExpression);
        if (asValue)
            f->SetCaseSensitive(false); // the list offers case variants as one entry
    } else {
        Filter().RemoveColumnFilter(column);
    }
    if (FAutoFilterUpdate) {
        SetFixedRowAlways(true);
        SetFilterActive(true);
        const bool onlyFixed = RowCount() <= TBaseGrid::FixedRows() || (RowCount() == 1 && FixedRowAlways());
        if (!onlyFixed)
            SetRow(TBaseGrid::FixedRows());
        DoFilterDone();
    }
}

void TExStringGrid::FilterCheckChanged()
{
    const int column = FFilterColumn;
    if (column < 0 || column >= TotalColCount() || !FFilterDropCheckList)
        return;
    QueryFilterList(column);
    if (FAutoFilterUpdate)
        SetFilterActive(false);
    TFilter& filter = Filter();
    filter.Clear();
    const QStringList texts = FFilterDropDownAuto ? ColumnTexts(*this, column) : QStringList();
    TDropCheckList& list = *FFilterDropCheckList;
    bool first = true;
    for (int i = 0; i < list.Count() && i < FFilterList.size(); ++i) {
        if (!list.Checked(i))
            continue;
        const QString entry = FFilterList.at(i);
        QString name, condition, value;
        const bool literal = LiteralEntry(texts, entry, value);
        if (literal)
            name = condition = value;
        else
            SplitFilterEntry(entry, name, condition);
        if (condition == FFilterDropDownClear)
            condition.clear();
        const QString offered = condition;
        if (OnFilterCheck)
            OnFilterCheck(this, column, i, name, condition, &list);
        TFilterData* f = filter.Add();
        f->SetCondition(condition);
        f->SetColumn(column);
        f->SetOperation(first ? foNONE : foOR);
        if (literal && condition == offered) {
            f->SetMethod(fmLiteral);
            f->SetCaseSensitive(false);
        }
        first = false;
    }
    SetFilterActive(true);
    list.update();
}

void TExStringGrid::ShowFilterDropDown(int aCol, int aRow)
{
    if (aCol < 0 || aCol >= ColCount() || aRow < 0 || aRow >= RowCount())
        return;
    const int realCol = RealColIndex(aCol);
    if (!QueryFilterList(realCol))
        return;
    HideFilterDropDown();
    TListBox* list = nullptr;
    if (FFilterDropDownCheck) {
        if (!FFilterDropCheckList) {
            FFilterDropCheckList = new TDropCheckList(this);
            FFilterDropCheckList->OnSelect = [this](QObject*, int) { FilterCheckChanged(); };
        }
        list = FFilterDropCheckList;
    } else {
        if (!FFilterDropList) {
            FFilterDropList = new TDropList(this);
            FFilterDropList->OnSelect = [this](QObject*, int index) { FilterSelected(index); };
        }
        list = FFilterDropList;
    }
    FFilterColumn = realCol;
    TFilterDropDown& look = FilterDropDown();
    list->Clear();
    const QStringList texts = FFilterDropDownAuto ? ColumnTexts(*this, realCol) : QStringList();
    for (int i = 0; i < FFilterList.size(); ++i) {
        const QString& entry = FFilterList.at(i);
        QString name, condition, value;
        if (LiteralEntry(texts, entry, value))
            name = condition = value;
        else
            SplitFilterEntry(entry, name, condition);
        list->AddItem(name);
        if (FFilterDropDownCheck) {
            bool checked = false;
            TFilter& filter = Filter();
            for (int k = 0; k < filter.Count(); ++k)
                if (filter.Items(k)->Column() == realCol && filter.Items(k)->Condition() == condition)
                    checked = true;
            FFilterDropCheckList->SetChecked(i, checked);
        }
    }
    list->SetColor(look.Color());
    list->SetFont(look.Font());
    const TRect cell = TBaseGrid::CellRect(aCol, aRow);
    int width = look.Width(), height = look.Height();
    if (look.AutoSize()) {
        int widest = 0;
        for (int i = 0; i < list->Count(); ++i)
            widest = std::max(widest, list->fontMetrics().horizontalAdvance(list->Item(i)));
        width = widest + 8 + 4;
        height = list->Count() * list->ItemHeight() + 4;
    }
    int left = cell.Right - 16;
    if (look.ColumnWidth()) {
        left = cell.Left;
        width = cell.Width();
    }
    if (left + width > Width())
        left = std::max(0, cell.Right - width);
    list->SetBounds(left, cell.Top + 16, width, height);
    if (!FFilterDropDownCheck && list->Count() > 0)
        list->SetItemIndex(0);
    list->SetVisible(true);
    list->raise();
    list->setFocus();
}

void TExStringGrid::HideFilterDropDown()
{
    if (FFilterDropList)
        FFilterDropList->SetVisible(false);
    if (FFilterDropCheckList)
        FFilterDropCheckList->SetVisible(false);
    FFilterColumn = -1;
}

bool TExStringGrid::FilterDropDownMouseUp(TMouseButton button, int x, int y)
{
    int aCol = -1, aRow = -1;
    MouseToCell(x, y, aCol, aRow);
    const bool listOpen = FFilterColumn >= 0;
    if (button == mbLeft && aCol >= 0 && aRow >= 0 && aRow == FFilterDropDownRow &&
        aRow < TBaseGrid::FixedRows() && !(listOpen && FFilterColumn == RealColIndex(aCol))) {
        const TRect r = TBaseGrid::CellRect(aCol, aRow);
        if (x >= r.Right - 16 && x < r.Right - 3 && y < r.Top + 19 && IsFilterCell(aCol, aRow)) {
            ShowFilterDropDown(aCol, aRow);
            return true;
        }
    }
    if (listOpen)
        HideFilterDropDown();
    return false;
}

void TExStringGrid::PaintFilterButton(TCanvas& canvas, const TRect& r, TCellPaint& cell)
{
    if (cell.Row != FFilterDropDownRow || cell.Row >= TBaseGrid::FixedRows() || !IsFilterCell(cell.DisplCol, cell.Row))
        return;
    cell.FilterCell = true;
    TFilterDropDown& look = FilterDropDown();
    const TBitmap& own = Filter().HasFilter(cell.RealCol) ? look.GlyphActive() : look.Glyph();
    if (!own.Empty()) {
        TBitmap glyph(own);
        glyph.SetTransparent(true);
        canvas.Draw(r.Right - 16, r.Top, glyph);
        return;
    }
    static TBitmap standard = [] {
        TBitmap b;
        RegisterExGridResources();
        try {
            LoadBitmapResource(b, QStringLiteral("ESGFILT"));
        } catch (const std::exception&) {
            // A missing picture draws nothing.
        }
        b.SetTransparent(true);
        return b;
    }();
    const TColor keep = canvas.Brush().Color();
    canvas.Brush().SetColor(FixedColor());
    canvas.FillRect(Rect(r.Right - 16, r.Top, r.Right, r.Top + 16));
    canvas.Brush().SetColor(keep);
    canvas.Draw(r.Right - 16, r.Top, standard);
}
