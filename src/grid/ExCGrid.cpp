#include "grid/ExCGrid.h"
#include "grid/ExGrid_EditLink.h"
#include "grid/ExGrid_Editors.h"

#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <QDataStream>
#include <QDir>
#include <QtEndian>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <QTextStream>
#include <QVariant>

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>

using namespace platform;

void ExCGridStartUp()
{
    // Stored layouts name the column grid's classes; this program builds
    // them in code, so nothing needs registering beyond the grid module.
    ExGridStartUp();
}

// ---------------------------------------------------------------------------
// TGridColumnItem
// ---------------------------------------------------------------------------

TGridColumnItem::TGridColumnItem(TGridColumnCollection* collection) : FCollection(collection)
{
    FBorderPen.SetColor(clSilver);
    FBorderPen.SetWidth(1);
    FPrintBorderPen.SetColor(clBlack);
    FPrintBorderPen.SetWidth(1);
    if (VOruVizizaZezo* grid = Grid()) {
        FFont.Assign(grid->Font());
        FPrintFont.Assign(grid->Font());
        FHeaderFont.Assign(grid->Font());
        FColor = grid->Color();
    }
    WireFonts();
}

TGridColumnItem::~TGridColumnItem()
{
    FFont.OnChange = nullptr;
    FHeaderFont.OnChange = nullptr;
}

void TGridColumnItem::WireFonts()
{
    if (!FCollection)
        return;
    FFont.OnChange = [this] { Changed(); };
    FHeaderFont.OnChange = [this] { Changed(); };
}

VOruVizizaZezo* TGridColumnItem::Grid() const { return FCollection ? FCollection->GetOwner() : nullptr; }

int TGridColumnItem::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

void TGridColumnItem::Changed()
{
    if (FCollection)
        FCollection->Update(this);
}

void TGridColumnItem::Repaint()
{
    if (VOruVizizaZezo* grid = Grid())
        grid->Invalidate();
}

QString TGridColumnItem::GetDisplayName() const
{
    if (!FName.isEmpty())
        return QStringLiteral("Col %1: %2").arg(Index()).arg(FName);
    return QStringLiteral("Column %1").arg(Index());
}

int TGridColumnItem::Width() const
{
    VOruVizizaZezo* grid = Grid();
    return grid ? grid->GetAllColWidths(Index()) : 0;
}

void TGridColumnItem::SetWidth(int v)
{
    FWidth = v;
    VOruVizizaZezo* grid = Grid();
    const int i = Index();
    if (grid && i >= 0 && i < grid->TotalColCount())
        grid->SetAllColWidths(i, v);
}

void TGridColumnItem::SetAlignment(TAlignment v)
{
    FAlignment = v;
    Repaint();
}

void TGridColumnItem::SetHeader(const QString& v)
{
    FColumnHeader = v;
    VOruVizizaZezo* grid = Grid();
    if (!grid)
        return;
    const int i = Index();
    if (grid->TBaseGrid::FixedRows() > 0 && !grid->ColMoving() && i >= 0) {
        grid->SetCellEx(i, 0, v);
        FCollection->Update(this);
    }
    TNotifyStrings& headers = grid->ColumnHeaders();
    headers.BeginUpdate();
    headers.Clear();
    for (int k = 0; k < FCollection->Count(); ++k)
        headers.Add(FCollection->GetItem(k)->Header());
    headers.EndUpdate();
}

void TGridColumnItem::SetFont(const TFont& v)
{
    auto handler = std::move(FFont.OnChange);
    FFont.OnChange = nullptr;
    FFont.Assign(v);
    FFont.OnChange = std::move(handler);
    Changed();
}

void TGridColumnItem::SetColor(TColor v)
{
    FColor = v;
    Changed();
}

void TGridColumnItem::SetEditor(TEditorType v)
{
    if (v == FEditorType)
        return;
    const TEditorType old = FEditorType;
    FEditorType = v;
    if (old == edDataCheckBox || v == edDataCheckBox)
        Repaint();
}

void TGridColumnItem::SetFixed(bool v)
{
    FFixed = v;
    Changed();
}

void TGridColumnItem::SetPassword(bool v)
{
    FPassword = v;
    Changed();
}

void TGridColumnItem::SetBorders(TCellBorders v)
{
    FBorders = v;
    Changed();
}

void TGridColumnItem::SetBorderPen(const TPen& v)
{
    FBorderPen = v;
    Changed();
}

void TGridColumnItem::SetShowBands(bool v)
{
    FShowBands = v;
    Changed();
}

void TGridColumnItem::SetFilter(const QStringList& v)
{
    FFilter = v;
    Repaint();
}

void TGridColumnItem::SetColumnPopup(TPopupMenu* v) { FColumnPopup = v; }

void TGridColumnItem::SetFloatFormat(const QString& v)
{
    FFloatFormat = v;
    Repaint();
}

void TGridColumnItem::SetHeaderAlignment(TAlignment v)
{
    FHeaderAlignment = v;
    Repaint();
}

void TGridColumnItem::SetHeaderFont(const TFont& v)
{
    auto handler = std::move(FHeaderFont.OnChange);
    FHeaderFont.OnChange = nullptr;
    FHeaderFont.Assign(v);
    FHeaderFont.OnChange = std::move(handler);
    Repaint();
}

namespace {

// Copies a font without reporting each attribute.
void QuietAssign(TFont& target, const TFont& source)
{
    auto handler = std::move(target.OnChange);
    target.OnChange = nullptr;
    target.Assign(source);
    target.OnChange = std::move(handler);
}

} // namespace

void TGridColumnItem::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TGridColumnItem*>(source);
    if (!s || s == this)
        return;
    FAlignment = s->FAlignment;
    FHeaderAlignment = s->FHeaderAlignment;
    FBorderPen = s->FBorderPen;
    FBorders = s->FBorders;
    FCheckFalse = s->FCheckFalse;
    FCheckTrue = s->FCheckTrue;
    FColor = s->FColor;
    FComboItems = s->FComboItems;
    FDropDownCount = s->FDropDownCount;
    FEditLength = s->FEditLength;
    FEditLink = s->FEditLink;
    FEditMask = s->FEditMask;
    FEditorType = s->FEditorType;
    FFixed = s->FFixed;
    QuietAssign(FFont, s->FFont);
    QuietAssign(FHeaderFont, s->FHeaderFont);
    FColumnHeader = s->FColumnHeader;
    FName = s->FName;
    FPassword = s->FPassword;
    FPrintBorderPen = s->FPrintBorderPen;
    FPrintBorders = s->FPrintBorders;
    FPrintColor = s->FPrintColor;
    FPrintFont.Assign(s->FPrintFont);
    FReadOnly = s->FReadOnly;
    FSortPrefix = s->FSortPrefix;
    FSortStyle = s->FSortStyle;
    FSortSuffix = s->FSortSuffix;
    FSpinMax = s->FSpinMax;
    FSpinMin = s->FSpinMin;
    FSpinStep = s->FSpinStep;
    FColumnPopup = s->FColumnPopup;
    FTag = s->FTag;
    FWidth = s->FCollection ? s->Width() : s->FWidth;
    FShowBands = s->FShowBands;
    FMinSize = s->FMinSize;
    FMaxSize = s->FMaxSize;
    FAutoMinSize = s->FAutoMinSize;
    FAutoMaxSize = s->FAutoMaxSize;
    FFilter = s->FFilter;
    FFilterCaseSensitive = s->FFilterCaseSensitive;
    FDefIdx = s->FDefIdx;
    FFloatFormat = s->FFloatFormat;
}

void TGridColumnItem::AssignVisuals(const TGridColumnItem* s)
{
    if (!s || s == this)
        return;
    const QStringList comboItems = FComboItems;
    const int dropDownCount = FDropDownCount;
    const QString header = FColumnHeader;
    const QString name = FName;
    const int tag = FTag;
    TFont headerFont;
    headerFont.Assign(FHeaderFont);
    Assign(s);
    FComboItems = comboItems;
    FDropDownCount = dropDownCount;
    FColumnHeader = header;
    FName = name;
    FTag = tag;
    QuietAssign(FHeaderFont, headerFont);
    if (VOruVizizaZezo* grid = Grid()) {
        FColor = grid->Color();
        QuietAssign(FFont, grid->Font());
    }
}

QString TGridColumnItem::GetRows(int idx)
{
    VOruVizizaZezo* grid = Grid();
    return grid ? grid->GetCellEx(Index(), idx) : QString();
}

void TGridColumnItem::SetRows(int idx, const QString& value)
{
    if (VOruVizizaZezo* grid = Grid())
        grid->SetCellEx(Index(), idx, value);
}

int TGridColumnItem::GetInts(int idx)
{
    VOruVizizaZezo* grid = Grid();
    return grid ? grid->GetInts(Index(), idx) : 0;
}

void TGridColumnItem::SetInts(int idx, int value)
{
    if (VOruVizizaZezo* grid = Grid())
        grid->SetInts(Index(), idx, value);
}

double TGridColumnItem::GetFloats(int idx)
{
    VOruVizizaZezo* grid = Grid();
    return grid ? grid->GetFloats(Index(), idx) : 0;
}

void TGridColumnItem::SetFloats(int idx, double value)
{
    if (VOruVizizaZezo* grid = Grid())
        grid->SetFloats(Index(), idx, value);
}

TDateTime TGridColumnItem::GetDates(int idx)
{
    VOruVizizaZezo* grid = Grid();
    return grid ? grid->GetDates(Index(), idx) : 0;
}

void TGridColumnItem::SetDates(int idx, TDateTime value)
{
    if (VOruVizizaZezo* grid = Grid())
        grid->SetDates(Index(), idx, value);
}

TDateTime TGridColumnItem::GetTimes(int idx)
{
    VOruVizizaZezo* grid = Grid();
    return grid ? grid->GetTimes(Index(), idx) : 0;
}

void TGridColumnItem::SetTimes(int idx, TDateTime value)
{
    if (VOruVizizaZezo* grid = Grid())
        grid->SetTimes(Index(), idx, value);
}

// ---------------------------------------------------------------------------
// TGridColumnCollection
// ---------------------------------------------------------------------------

TGridColumnCollection::~TGridColumnCollection()
{
    // The items go quietly: the grid is going too.
    FNoRecursiveUpdate = true;
    FItems.clear();
}

TGridColumnItem* TGridColumnCollection::Add()
{
    FItems.push_back(std::make_unique<TGridColumnItem>(this));
    TGridColumnItem* item = FItems.back().get();
    if (FItems.size() > 1)
        item->AssignVisuals(FItems[FItems.size() - 2].get());
    Changed();
    return item;
}

TGridColumnItem* TGridColumnCollection::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    auto it = FItems.insert(FItems.begin() + index, std::make_unique<TGridColumnItem>(this));
    TGridColumnItem* item = it->get();
    Changed();
    return item;
}

void TGridColumnCollection::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TGridColumnCollection::Clear()
{
    if (FItems.empty())
        return;
    FItems.clear();
    Changed();
}

TGridColumnItem* TGridColumnCollection::GetItem(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return FItems[static_cast<size_t>(index)].get();
}

void TGridColumnCollection::SetItem(int index, const TGridColumnItem* value) { GetItem(index)->Assign(value); }

int TGridColumnCollection::IndexOf(const TGridColumnItem* item) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == item)
            return static_cast<int>(i);
    return -1;
}

void TGridColumnCollection::Assign(const TGridColumnCollection& source)
{
    if (&source == this)
        return;
    BeginUpdate();
    FItems.clear();
    for (int i = 0; i < source.Count(); ++i) {
        FItems.push_back(std::make_unique<TGridColumnItem>(this));
        FItems.back()->Assign(source.GetItem(i));
    }
    EndUpdate();
}

void TGridColumnCollection::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    if (FUpdateCount == 0)
        Changed();
}

void TGridColumnCollection::Update(TGridColumnItem*)
{
    VOruVizizaZezo* grid = FOwner;
    if (FUpdateCount > 0 || FNoRecursiveUpdate || !grid || grid->Loading() || grid->Destroying())
        return;
    const int n = Count() - grid->NumHiddenColumns();
    if (n != grid->ColCount() && n > grid->FixedCols())
        grid->SetColCount(n);
    grid->UpdateColumnHeaders();
    grid->Invalidate();
}

void TGridColumnCollection::SetOrganization()
{
    if (FOwner) {
        const bool old = FNoRecursiveUpdate;
        FNoRecursiveUpdate = true;
        FOwner->SyncColumnCount();
        FNoRecursiveUpdate = old;
    }
    for (int i = 0; i < Count(); ++i)
        FItems[static_cast<size_t>(i)]->FDefIdx = i;
}

void TGridColumnCollection::ResetOrganization()
{
    if (!FOwner)
        return;
    const int n = Count();
    for (int pass = 0; pass <= n; ++pass) {
        bool moved = false;
        for (int i = 0; i < Count(); ++i) {
            const int target = FItems[static_cast<size_t>(i)]->FDefIdx;
            if (target < i && target >= 0 && i < FOwner->ColCount()) {
                FOwner->MoveColumn(i, target);
                moved = true;
            }
        }
        if (!moved)
            break;
    }
}

// ---------------------------------------------------------------------------
// VOruVizizaZezo
// ---------------------------------------------------------------------------

VOruVizizaZezo::VOruVizizaZezo(QWidget* owner) : TExStringGrid(owner)
{
    FColumnCollection = CreateColumns();
    FColumnCollection->SetNoRecursiveUpdate(true);
    SyncColumnCount();
    FColumnCollection->SetNoRecursiveUpdate(false);
    FColMoving = false;
    FCellGraphic = std::make_unique<TCellGraphic>();
    FCellGraphic->CellType = ctVirtCheckBox;
    FSaveCol = std::make_unique<TGridColumnItem>(nullptr);
}

VOruVizizaZezo::~VOruVizizaZezo()
{
    SetDestroying();
    FColumnCollection.reset();
}

std::unique_ptr<TGridColumnCollection> VOruVizizaZezo::CreateColumns()
{
    return std::make_unique<TGridColumnCollection>(this);
}

void VOruVizizaZezo::SetColumns(const TGridColumnCollection& v) { FColumnCollection->Assign(v); }

TGridColumnItem* VOruVizizaZezo::ItemAt(int index) const
{
    if (!FColumnCollection || index < 0 || index >= FColumnCollection->Count())
        return nullptr;
    return FColumnCollection->GetItem(index);
}

void VOruVizizaZezo::SetColCount(int value)
{
    TExStringGrid::SetColCount(value);
    if (!FColumnCollection)
        return;
    const bool old = FColumnCollection->NoRecursiveUpdate();
    FColumnCollection->SetNoRecursiveUpdate(true);
    SyncColumnCount();
    FColumnCollection->SetNoRecursiveUpdate(old);
}

void VOruVizizaZezo::SyncColumnCount()
{
    if (!FColumnCollection)
        return;
    const int target = ColCount() + NumHiddenColumns();
    while (FColumnCollection->Count() < target)
        FColumnCollection->Add();
    while (FColumnCollection->Count() > target)
        FColumnCollection->Delete(FColumnCollection->Count() - 1);
}

void VOruVizizaZezo::UpdateColumnHeaders()
{
    if (TBaseGrid::FixedRows() == 0 || !FColumnCollection)
        return;
    TNotifyStrings& headers = ColumnHeaders();
    headers.BeginUpdate();
    headers.Clear();
    for (int i = 0; i < FColumnCollection->Count(); ++i) {
        TGridColumnItem* item = FColumnCollection->GetItem(i);
        if (item->FColumnHeader.isEmpty()) {
            const QString cell = GetGridCell(i, 0);
            if (!cell.isEmpty())
                item->FColumnHeader = cell;
        }
        headers.Add(item->FColumnHeader);
    }
    headers.EndUpdate();
}

void VOruVizizaZezo::ColumnHeadersChanged()
{
    if (!FColumnCollection)
        return;
    const QStringList& list = ColumnHeaders().List();
    for (int i = 0; i < FColumnCollection->Count() && i < list.size(); ++i)
        FColumnCollection->GetItem(i)->FColumnHeader = list[i];
}

void VOruVizizaZezo::CellsUpdated()
{
    TExStringGrid::CellsUpdated();
    const bool old = FColumnCollection->NoRecursiveUpdate();
    FColumnCollection->SetNoRecursiveUpdate(true);
    SyncColumnCount();
    FColumnCollection->SetNoRecursiveUpdate(old);
}

void VOruVizizaZezo::Loaded()
{
    TExStringGrid::Loaded();
    const bool old = FColumnCollection->NoRecursiveUpdate();
    FColumnCollection->SetNoRecursiveUpdate(true);
    SyncColumnCount();
    FColumnCollection->SetNoRecursiveUpdate(old);
    FColumnCollection->SetOrganization();
}

TGridColumnItem* VOruVizizaZezo::GetColumnByName(const QString& aValue) const
{
    for (int i = 0; i < FColumnCollection->Count(); ++i) {
        TGridColumnItem* item = FColumnCollection->GetItem(i);
        if (item->Name() == aValue)
            return item;
    }
    return nullptr;
}

void VOruVizizaZezo::ColWidthsChanged()
{
    TExStringGrid::ColWidthsChanged();
    if (!FColumnCollection || Loading() || Destroying())
        return;
    for (int c = 0; c < ColCount(); ++c) {
        const int r = RealColIndex(c);
        if (r < FColumnCollection->Count())
            FColumnCollection->GetItem(r)->FWidth = ColWidths(c);
    }
}

void VOruVizizaZezo::ChangeScale(int m, int d)
{
    TExStringGrid::ChangeScale(m, d);
    if (m == d || d == 0)
        return;
    for (int i = 0; i < ColCount() && i < FColumnCollection->Count(); ++i) {
        TGridColumnItem* item = FColumnCollection->GetItem(i);
        auto scale = [m, d](int size) { return static_cast<int>(std::lround(static_cast<double>(size) * m / d)); };
        auto h1 = std::move(item->FFont.OnChange);
        item->FFont.SetSize(scale(item->FFont.Size()));
        item->FFont.OnChange = std::move(h1);
        auto h2 = std::move(item->FHeaderFont.OnChange);
        item->FHeaderFont.SetSize(scale(item->FHeaderFont.Size()));
        item->FHeaderFont.OnChange = std::move(h2);
    }
}

void VOruVizizaZezo::ColumnMoved(int fromIndex, int toIndex)
{
    FColumnCollection->SetNoRecursiveUpdate(true);
    const int top = TopRow();
    const int rf = RealColIndex(fromIndex);
    const int rt = RealColIndex(toIndex);
    TExStringGrid::ColumnMoved(fromIndex, toIndex);
    FColumnCollection->BeginUpdate();
    FColMoving = true;
    // The item itself moves, with every one of its settings.
    auto& items = FColumnCollection->FItems;
    const int n = static_cast<int>(items.size());
    if (rf >= 0 && rt >= 0 && rf < n && rt < n && rf != rt) {
        auto b = items.begin();
        if (rf < rt)
            std::rotate(b + rf, b + rf + 1, b + rt + 1);
        else
            std::rotate(b + rt, b + rf, b + rf + 1);
    }
    SetTopRow(top);
    FColMoving = false;
    FColumnCollection->EndUpdate();
    FColumnCollection->SetNoRecursiveUpdate(false);
    if (OnAfterColumnMoved)
        OnAfterColumnMoved(this, rf, rt);
}

void VOruVizizaZezo::Notification(QObject* component, TOperation operation)
{
    TExStringGrid::Notification(component, operation);
    if (operation != opRemove || !FColumnCollection)
        return;
    for (int i = 0; i < FColumnCollection->Count(); ++i) {
        TGridColumnItem* item = FColumnCollection->GetItem(i);
        if (item->EditLink() == component)
            item->SetEditLink(nullptr);
        if (item->ColumnPopup() == component)
            item->SetColumnPopup(nullptr);
    }
}

void VOruVizizaZezo::InsertCols(int colIndex, int cCount)
{
    const int before = TotalColCount();
    TExStringGrid::InsertCols(colIndex, cCount);
    // The new items go where the grid put the new columns, as many as it took.
    const int inserted = TotalColCount() - before;
    if (inserted <= 0)
        return;
    colIndex = std::clamp(colIndex, 0, before);
    const bool old = FColumnCollection->NoRecursiveUpdate();
    FColumnCollection->SetNoRecursiveUpdate(true);
    for (int i = 0; i < inserted; ++i)
        FColumnCollection->Insert(colIndex);
    FColumnCollection->SetNoRecursiveUpdate(old);
}

void VOruVizizaZezo::RemoveCols(int colIndex, int cCount)
{
    const int before = TotalColCount();
    TExStringGrid::RemoveCols(colIndex, cCount);
    const int removed = before - TotalColCount();
    const bool old = FColumnCollection->NoRecursiveUpdate();
    FColumnCollection->SetNoRecursiveUpdate(true);
    for (int i = 0; i < removed && colIndex < FColumnCollection->Count(); ++i)
        FColumnCollection->Delete(colIndex);
    FColumnCollection->SetNoRecursiveUpdate(old);
}

void VOruVizizaZezo::Group(int colIndex)
{
    if (TGridColumnItem* item = ItemAt(colIndex))
        FSaveCol->Assign(item);
    TExStringGrid::Group(colIndex);
}

void VOruVizizaZezo::UnGroup()
{
    const int groupColumn = GroupColumn();
    TExStringGrid::UnGroup();
    if (groupColumn != -1)
        if (TGridColumnItem* item = ItemAt(groupColumn))
            item->Assign(FSaveCol.get());
}

int VOruVizizaZezo::GetVersionNr() const { return 0x03010301; }

QString VOruVizizaZezo::GetVersionString() const
{
    const unsigned v = static_cast<unsigned>(GetVersionNr());
    return QStringLiteral("%1.%2.%3.%4 Aug, 2012")
        .arg((v >> 24) & 0xFF)
        .arg((v >> 16) & 0xFF)
        .arg((v >> 8) & 0xFF)
        .arg(v & 0xFF);
}

// ---------------------------------------------------------------------------
// Cell answers from the columns
// ---------------------------------------------------------------------------

bool VOruVizizaZezo::IsNormalCell(int aCol, int aRow) const
{
    return aCol >= TBaseGrid::FixedCols() && aRow >= TBaseGrid::FixedRows();
}

bool VOruVizizaZezo::IsBodyCell(int aCol, int aRow)
{
    return IsNormalCell(aCol, aRow) && aCol < ColCount() + NumHiddenColumns() - FixedRightCols() &&
           aRow < RowCount() - FixedFooters();
}

void VOruVizizaZezo::PrepareCellLook(int aCol, int aRow, TFont& font, TBrush& brush, TColor& colorTo,
                                     TColor& mirrorColor, TColor& mirrorColorTo, TAlignment& alignment,
                                     TVAlignment& vAlignment, bool& wordWrap, TCellGradientDirection& gradientDirection)
{
    TGridColumnItem* item = ItemAt(aCol);
    if (!item) {
        TExStringGrid::PrepareCellLook(aCol, aRow, font, brush, colorTo, mirrorColor, mirrorColorTo, alignment,
                                       vAlignment, wordWrap, gradientDirection);
        return;
    }
    font.Assign(item->Font());
    brush.SetColor(item->Color());
    colorTo = clNone;
    alignment = aRow < TBaseGrid::FixedRows() ? item->HeaderAlignment() : item->Alignment();
    vAlignment = VAlignment();
    wordWrap = WordWrap();
    gradientDirection = GradientVertical;
    if (IsFixed(DisplColIndexOf(aCol), aRow) || (item->ShowBands() && Bands().Active())) {
        brush.SetColor(clNone);
        colorTo = clNone;
    }
}

void VOruVizizaZezo::QueryFloatFormat(int aCol, int aRow, QString& format)
{
    format = FloatFormat();
    if (TGridColumnItem* item = ItemAt(aCol))
        if (!item->FloatFormat().isEmpty())
            format = item->FloatFormat();
}

void VOruVizizaZezo::QueryCellColor(int aCol, int aRow, TBrush& brush, TFont& font, TGridDrawState state)
{
    TGridColumnItem* item = ItemAt(aCol);
    const bool inColumns = aCol >= TBaseGrid::FixedCols() && aCol < ColCount() + NumHiddenColumns() - FixedRightCols();
    if (item && inColumns && aRow < RowCount() - FixedFooters()) {
        const bool fixedRow = aRow < TBaseGrid::FixedRows();
        if (item->Fixed())
            brush.SetColor(FixedColor());
        else if (!fixedRow && !(item->ShowBands() && Bands().Active()))
            brush.SetColor(item->Color());
        font.Assign(fixedRow ? item->HeaderFont() : item->Font());
        if (const TCellProperties* p = CellPropsAt(aCol, aRow)) {
            if (p->BrushColor() != clNone)
                brush.SetColor(p->BrushColor());
            if (p->FontColor() != clNone)
                font.SetColor(p->FontColor());
        }
    }
    TExStringGrid::QueryCellColor(aCol, aRow, brush, font, state);
}

void VOruVizizaZezo::QueryCellPrintColor(int aCol, int aRow, TBrush& brush, TFont& font, TGridDrawState state)
{
    if (TGridColumnItem* item = ItemAt(aCol)) {
        if (!IsBodyCell(aCol, aRow)) {
            font.Assign(PrintSettings().FixedFont);
        } else {
            const TCellProperties* p = CellPropsAt(aCol, aRow);
            if (item->Fixed())
                brush.SetColor(FixedColor());
            else if (!(item->ShowBands() && Bands().Active() && Bands().Print()))
                brush.SetColor(item->PrintColor());
            if (p && p->BrushColor() != clNone)
                brush.SetColor(p->BrushColor());
            if (item->PrintFontCustom()) {
                font.Assign(item->PrintFont());
                if (p)
                    p->ApplyFontTo(font);
            } else {
                font.Assign(PrintSettings().Font);
            }
        }
    }
    TExStringGrid::QueryCellPrintColor(aCol, aRow, brush, font, state);
}

void VOruVizizaZezo::QueryCellBorder(int aCol, int aRow, TCellBorders& borders, TPen& pen)
{
    if (TGridColumnItem* item = ItemAt(aCol)) {
        if (IsNormalCell(aCol, aRow)) {
            borders = item->Borders();
            pen = item->BorderPen();
        }
    }
    TExStringGrid::QueryCellBorder(aCol, aRow, borders, pen);
}

void VOruVizizaZezo::QueryCellPrintBorder(int aCol, int aRow, TCellBorders& borders, TPen& pen)
{
    if (TGridColumnItem* item = ItemAt(aCol)) {
        if (IsNormalCell(aCol, aRow) && item->PrintBorderCustom()) {
            borders = item->PrintBorders();
            pen = item->PrintBorderPen();
        }
    }
    TExStringGrid::QueryCellPrintBorder(aCol, aRow, borders, pen);
}

QString VOruVizizaZezo::GetFormattedCell(int aCol, int aRow)
{
    TGridColumnItem* item = ItemAt(aCol);
    if (!item)
        return TExStringGrid::GetFormattedCell(aCol, aRow);
    QString format = item->FloatFormat();
    const QString text = GetCellEx(aCol, aRow);
    bool isFloat = NumberKind(text) < 2;
    if (OnGetFloatFormat)
        OnGetFloatFormat(this, aCol, aRow, isFloat, format);
    if (!format.isEmpty() && isFloat) {
        try {
            return FormatFloatText(format, GetFloats(aCol, aRow));
        } catch (const REruVidaZuvez&) {
            return text;
        }
    }
    return text;
}

TCellType VOruVizizaZezo::GetCellType(int aCol, int aRow)
{
    TCellType type = TExStringGrid::GetCellType(aCol, aRow);
    if (type == ctEmpty && !Destroying()) {
        TGridColumnItem* item = ItemAt(aCol);
        if (item && item->Editor() == edDataCheckBox && IsBodyCell(aCol, aRow))
            type = ctDataCheckBox;
    }
    return type;
}

TCellGraphic* VOruVizizaZezo::GetCellGraphic(int aCol, int aRow)
{
    TCellGraphic* g = TExStringGrid::GetCellGraphic(aCol, aRow);
    if (!g) {
        TGridColumnItem* item = ItemAt(aCol);
        if (item && item->Editor() == edDataCheckBox && IsBodyCell(aCol, aRow)) {
            FCellGraphic->CellType = ctVirtCheckBox;
            FCellGraphic->CellTransparent = ControlLook().ControlStyle() == csFlat;
            g = FCellGraphic.get();
        }
    }
    return g;
}

void VOruVizizaZezo::AdjustSizedColumnWidth(int aCol, int& aWidth)
{
    if (TGridColumnItem* item = ItemAt(aCol)) {
        if (item->MinSize() > 0 && aWidth < item->MinSize())
            aWidth = item->MinSize();
        if (item->MaxSize() > 0 && aWidth > item->MaxSize())
            aWidth = item->MaxSize();
    }
    TExStringGrid::AdjustSizedColumnWidth(aCol, aWidth);
}

void VOruVizizaZezo::AdjustAutoSizedColumnWidth(int aCol, int& aWidth)
{
    if (TGridColumnItem* item = ItemAt(aCol)) {
        if (item->AutoMinSize() > 0 && aWidth < item->AutoMinSize())
            aWidth = item->AutoMinSize();
        if (item->AutoMaxSize() > 0 && aWidth > item->AutoMaxSize())
            aWidth = item->AutoMaxSize();
    }
    TExStringGrid::AdjustAutoSizedColumnWidth(aCol, aWidth);
}

void VOruVizizaZezo::QueryCellAlignment(int aCol, int aRow, TAlignment& hAlign, TVAlignment& vAlign)
{
    if (TGridColumnItem* item = ItemAt(aCol)) {
        hAlign = aRow < TBaseGrid::FixedRows() ? item->HeaderAlignment() : item->Alignment();
        if (const TCellProperties* p = CellPropsAt(aCol, aRow))
            hAlign = p->Alignment();
    }
    TExStringGrid::QueryCellAlignment(aCol, aRow, hAlign, vAlign);
}

void VOruVizizaZezo::QuerySortFormat(int aCol, TSortStyle& style, QString& prefix, QString& suffix)
{
    if (TGridColumnItem* item = ItemAt(aCol)) {
        style = item->SortStyle();
        prefix = item->SortPrefix();
        suffix = item->SortSuffix();
    }
    TExStringGrid::QuerySortFormat(aCol, style, prefix, suffix);
}

void VOruVizizaZezo::QueryCellEditor(int aCol, int aRow, TEditorType& editor)
{
    TGridColumnItem* item = ItemAt(aCol);
    if (item && IsNormalCell(aCol, aRow)) {
        editor = item->Editor();
        // The combo editor takes the column's items with it.
        ClearComboString();
        for (const QString& s : item->ComboItems())
            AddComboString(s);
        ControlLook().SetDropDownCount(item->DropDownCount());
        SetEditLink(dynamic_cast<TEditLink*>(item->EditLink()));
        // The spin editor takes the column's limits and step.
        if (editor == edSpinEdit || editor == edFloatSpinEdit || editor == edTimeSpinEdit || editor == edDateSpinEdit) {
            TGridSpin* spin = SpinEdit();
            spin->SetMinValue(item->SpinMin());
            spin->SetMaxValue(item->SpinMax());
            spin->SetIncrement(item->SpinStep());
            spin->SetMinFloatValue(item->SpinMin());
            spin->SetMaxFloatValue(item->SpinMax());
        }
    }
    // The column's FloatFormat serves its own cells through QueryFloatFormat;
    // the grid's FloatFormat stays as it is for the other columns.
    TExStringGrid::QueryCellEditor(aCol, aRow, editor);
}

void VOruVizizaZezo::QueryIsFixed(int aCol, int aRow, bool& isFixed)
{
    const int real = RealColIndex(aCol);
    if (TGridColumnItem* item = ItemAt(real))
        if (IsNormalCell(aCol, aRow) && item->Fixed())
            isFixed = true;
    TExStringGrid::QueryIsFixed(aCol, aRow, isFixed);
}

void VOruVizizaZezo::QueryCanEdit(int aCol, int aRow, bool& canEdit)
{
    canEdit = false;
    if (!Loading()) {
        if (TGridColumnItem* item = ItemAt(aCol))
            if (IsNormalCell(aCol, aRow))
                canEdit = !(item->ReadOnly() || item->Fixed());
    }
    const TPoint base = BaseCell(aCol, aRow);
    if (canEdit)
        if (const TCellProperties* p = CellPropsAt(base.X, base.Y))
            canEdit = !p->ReadOnly();
    DoCanEditCell(base.X, base.Y, canEdit);
}

void VOruVizizaZezo::QueryIsPassword(int aCol, int aRow, bool& isPassword)
{
    if (TGridColumnItem* item = ItemAt(aCol))
        isPassword = item->Password();
    TExStringGrid::QueryIsPassword(aCol, aRow, isPassword);
}

bool VOruVizizaZezo::QueryHasComboBox(int aCol, int aRow)
{
    bool has = false;
    if (TGridColumnItem* item = ItemAt(aCol))
        if (IsNormalCell(aCol, aRow))
            has = item->Editor() == edComboEdit || item->Editor() == edComboList;
    if (OnHasComboBox)
        OnHasComboBox(this, aCol, aRow, has);
    return has;
}

void VOruVizizaZezo::QueryCheckTrue(int aCol, int aRow, QString& value)
{
    TExStringGrid::QueryCheckTrue(aCol, aRow, value);
    if (TGridColumnItem* item = ItemAt(aCol))
        if (IsBodyCell(aCol, aRow))
            value = item->CheckTrue();
}

void VOruVizizaZezo::QueryCheckFalse(int aCol, int aRow, QString& value)
{
    TExStringGrid::QueryCheckFalse(aCol, aRow, value);
    if (TGridColumnItem* item = ItemAt(aCol))
        if (IsBodyCell(aCol, aRow))
            value = item->CheckFalse();
}

bool VOruVizizaZezo::QueryFilterList(int aCol)
{
    TExStringGrid::QueryFilterList(aCol);
    TGridColumnItem* item = ItemAt(aCol);
    if (!item || item->Filter().isEmpty())
        return false;
    FFilterList.clear();
    for (const QString& entry : item->Filter()) {
        const qsizetype eq = entry.indexOf(u'=');
        FFilterList.append(eq >= 0 ? entry.left(eq) : entry);
    }
    return true;
}

void VOruVizizaZezo::FilterSelected(int itemIndex)
{
    const int filterCol = FFilterColumn;
    TGridColumnItem* item = ItemAt(filterCol);
    if (item && itemIndex >= 0 && itemIndex < item->Filter().size()) {
        const QString entry = item->Filter().at(itemIndex);
        const qsizetype eq = entry.indexOf(u'=');
        const QString caption = eq >= 0 ? entry.left(eq) : entry;
        if (FAutoFilterDisplay)
            item->SetHeader(caption);
        QString condition = eq >= 0 ? entry.mid(eq + 1) : entry;
        if (OnFilterSelect)
            OnFilterSelect(this, filterCol, itemIndex, caption, condition);
        // The filter is switched off and on again around the new condition,
        // so it applies to every row and not only to those still shown.
        if (AutoFilterUpdate())
            SetFilterActive(false);
        if (condition.isEmpty())
            Filter().RemoveColumnFilter(filterCol);
        else {
            TFilterData* f = Filter().ColFilter(filterCol);
            f->SetCondition(condition);
            f->SetCaseSensitive(item->FilterCaseSensitive());
        }
        if (AutoFilterUpdate()) {
            SetFixedRowAlways(true);
            SetFilterActive(true);
            const bool onlyFixed = RowCount() <= TBaseGrid::FixedRows() || (RowCount() == 1 && FixedRowAlways());
            if (!onlyFixed)
                SetRow(TBaseGrid::FixedRows());
            DoFilterDone();
        }
    }
    FFilterColumn = -1;
}

void VOruVizizaZezo::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TExStringGrid::MouseDown(button, shift, x, y);
    int col = -1, row = -1;
    MouseToCell(x, y, col, row);
    if (col < 0 || row < 0)
        return;
    const int realCol = RealColIndex(col);
    TGridColumnItem* item = ItemAt(realCol);
    if (!item || !item->ColumnPopup())
        return;
    const TColumnPopupType type = item->ColumnPopupType();
    bool onFixed = false, onNormal = false;
    if (button == mbLeft) {
        onFixed = type == cpFixedCellsLClick || type == cpAllCellsLClick;
        onNormal = type == cpNormalCellsLClick || type == cpAllCellsLClick;
    } else if (button == mbRight) {
        onFixed = type == cpFixedCellsRClick || type == cpAllCellsRClick;
        onNormal = type == cpNormalCellsRClick || type == cpAllCellsRClick;
    }
    if (!onFixed && !onNormal)
        return;
    // The handler hears of every click of the menu's button, and may change the menu.
    TPopupMenu* menu = item->ColumnPopup();
    if (OnColumnPopup)
        OnColumnPopup(this, realCol, row, menu);
    const bool fixedRow = row < TBaseGrid::FixedRows();
    if (menu && (fixedRow ? onFixed : onNormal)) {
        const TRect r = CellRect(col, row);
        const TPoint p = ClientToScreen(Point(r.Left, r.Bottom));
        menu->Popup(p.X, p.Y);
    }
}

int VOruVizizaZezo::GetEditLimit()
{
    const int real = RealColIndex(Col());
    if (TGridColumnItem* item = ItemAt(real))
        if (Col() >= TBaseGrid::FixedCols())
            return item->EditLength();
    return TExStringGrid::GetEditLimit();
}

QString VOruVizizaZezo::GetEditMask(int col, int row)
{
    QString mask;
    const int real = RealColIndex(col);
    if (TGridColumnItem* item = ItemAt(real))
        if (col >= TBaseGrid::FixedCols())
            mask = item->EditMask();
    const QString own = TExStringGrid::GetEditMask(col, row);
    if (!own.isEmpty())
        mask = own;
    return mask;
}

// ---------------------------------------------------------------------------
// The column stream
// ---------------------------------------------------------------------------

VOruVizizaZezoIO::VOruVizizaZezoIO(VOruVizizaZezo* owner) : QObject(owner), FItems(owner) {}

namespace {

constexpr quint32 kStreamMagic = 0x56434F4C; // "VCOL"
constexpr qint32 kStreamVersion = 1;
constexpr qint32 kMaxStreamItems = 1 << 16;
// Limits of what a column stream may hold; anything beyond is damage.
constexpr quint32 kMaxMapEntries = 256;
constexpr quint32 kMaxListEntries = 1 << 16;
constexpr quint32 kMaxTextLength = 1 << 20;
constexpr int kMaxMapDepth = 2;
constexpr qint64 kMaxExtent = TCustomGrid::MaxCellExtent;
constexpr qint64 kMaxPenWidth = 255;
constexpr qint64 kMaxDropDownCount = 1000;

// Reads what SaveColumnsToStream writes without trusting a count or a
// length it is told: each is checked against its limit, and against the
// bytes left when the device knows its size, before anything is allocated.
// Only the value types the writer uses are read; any other type id is damage
// (the library would otherwise build whatever type the id names).
class TColumnStreamReader
{
public:
    explicit TColumnStreamReader(QIODevice& device) : FDevice(device), FIn(&device)
    {
        FIn.setVersion(QDataStream::Qt_6_0);
    }

    bool Ok() const { return FIn.status() == QDataStream::Ok; }

    // Fixed-size values.
    template <class T>
    bool Read(T& value)
    {
        FIn >> value;
        return Ok();
    }

    bool ReadString(QString& text)
    {
        const QByteArray head = FDevice.peek(4);
        if (head.size() < 4)
            return Fail(QDataStream::ReadPastEnd);
        const quint32 bytes = qFromBigEndian<quint32>(head.constData());
        if (bytes != 0xFFFFFFFFu && ((bytes & 1u) != 0 || bytes / 2 > kMaxTextLength || !Fits(4 + qint64(bytes))))
            return Fail();
        FIn >> text;
        return Ok();
    }

    bool ReadStringList(QStringList& list)
    {
        quint32 n = 0;
        if (!ReadCount(n, kMaxListEntries, 4))
            return false;
        for (quint32 i = 0; i < n; ++i) {
            QString text;
            if (!ReadString(text))
                return false;
            list.append(std::move(text));
        }
        return true;
    }

    bool ReadMap(QVariantMap& map, int depth = 0)
    {
        quint32 n = 0;
        // A key's length, a type id and a null flag at least per entry.
        if (!ReadCount(n, kMaxMapEntries, 9))
            return false;
        for (quint32 i = 0; i < n; ++i) {
            QString key;
            QVariant value;
            if (!ReadString(key) || !ReadVariant(value, depth))
                return false;
            map.insert(key, value);
        }
        return true;
    }

    bool ReadCount(quint32& n, quint32 limit, qint64 bytesEach)
    {
        if (!Read(n))
            return false;
        if (n > limit || !Fits(qint64(n) * bytesEach))
            return Fail();
        return true;
    }

private:
    bool Fail(QDataStream::Status status = QDataStream::ReadCorruptData)
    {
        FIn.setStatus(status);
        return false;
    }

    // A device of unknown length (a pipe) is read piece by piece under the
    // limits alone.
    bool Fits(qint64 bytes) const { return FDevice.isSequential() || bytes <= FDevice.size() - FDevice.pos(); }

    bool ReadVariant(QVariant& value, int depth)
    {
        quint32 type = 0;
        qint8 isNull = 0;
        if (!Read(type) || !Read(isNull))
            return false;
        switch (type) {
        case QMetaType::Bool: {
            bool v = false;
            if (!Read(v))
                return false;
            value = v;
            return true;
        }
        case QMetaType::Int: {
            qint32 v = 0;
            if (!Read(v))
                return false;
            value = static_cast<int>(v);
            return true;
        }
        case QMetaType::UInt: {
            quint32 v = 0;
            if (!Read(v))
                return false;
            value = static_cast<uint>(v);
            return true;
        }
        case QMetaType::QString: {
            QString v;
            if (!ReadString(v))
                return false;
            value = v;
            return true;
        }
        case QMetaType::QStringList: {
            QStringList v;
            if (!ReadStringList(v))
                return false;
            value = v;
            return true;
        }
        case QMetaType::QVariantMap: {
            QVariantMap v;
            if (depth >= kMaxMapDepth || !ReadMap(v, depth + 1))
                return false;
            value = v;
            return true;
        }
        default:
            return Fail();
        }
    }

    QIODevice& FDevice;
    QDataStream FIn;
};

// What a stored property must be: its value type and, for numbers, its range.
enum class TValueKind { vkInt, vkUInt, vkBool, vkText, vkTexts, vkFont, vkPen };
using enum TValueKind;

struct TValueRule
{
    const char* name;
    TValueKind kind;
    qint64 low = 0;
    qint64 high = 0;
};

constexpr qint64 kAnyLow = INT_MIN, kAnyHigh = INT_MAX, kAnyColor = UINT_MAX;

constexpr TValueRule kItemRules[] = {
    {"AutoMinSize", vkInt, 0, kMaxExtent},
    {"AutoMaxSize", vkInt, 0, kMaxExtent},
    {"Alignment", vkInt, 0, static_cast<int>(taCenter)},
    {"Borders", vkUInt, 0, 0xF},
    {"BorderPen", vkPen},
    {"CheckFalse", vkText},
    {"CheckTrue", vkText},
    {"Color", vkUInt, 0, kAnyColor},
    {"ColumnPopupType", vkInt, 0, static_cast<int>(cpAllCellsLClick)},
    {"ComboItems", vkTexts},
    {"DropDownCount", vkInt, 0, kMaxDropDownCount},
    {"EditLength", vkInt, 0, kAnyHigh},
    {"EditMask", vkText},
    {"Editor", vkInt, 0, static_cast<int>(edMaskEditBtn)},
    {"Filter", vkTexts},
    {"FilterCaseSensitive", vkBool},
    {"Fixed", vkBool},
    {"FloatFormat", vkText},
    {"Font", vkFont},
    {"Header", vkText},
    {"HeaderAlignment", vkInt, 0, static_cast<int>(taCenter)},
    {"HeaderFont", vkFont},
    {"MinSize", vkInt, 0, kMaxExtent},
    {"MaxSize", vkInt, 0, kMaxExtent},
    {"Name", vkText},
    {"Password", vkBool},
    {"PrintBorderCustom", vkBool},
    {"PrintBorders", vkUInt, 0, 0xF},
    {"PrintBorderPen", vkPen},
    {"PrintColor", vkUInt, 0, kAnyColor},
    {"PrintFontCustom", vkBool},
    {"PrintFont", vkFont},
    {"ReadOnly", vkBool},
    {"ShowBands", vkBool},
    {"SortStyle", vkInt, 0, static_cast<int>(ssAlphaNumericNoCase)},
    {"SortPrefix", vkText},
    {"SortSuffix", vkText},
    {"SpinMax", vkInt, kAnyLow, kAnyHigh},
    {"SpinMin", vkInt, kAnyLow, kAnyHigh},
    {"SpinStep", vkInt, kAnyLow, kAnyHigh},
    {"Tag", vkInt, kAnyLow, kAnyHigh},
    {"Width", vkInt, 0, kMaxExtent},
};

constexpr TValueRule kFontRules[] = {
    {"Name", vkText},
    // Negative for the character height; a height without a sign would
    // overflow where it is negated.
    {"Height", vkInt, -kMaxExtent, kMaxExtent},
    {"Style", vkUInt, 0, 0xF},
    {"Color", vkUInt, 0, kAnyColor},
};

constexpr TValueRule kPenRules[] = {
    {"Color", vkUInt, 0, kAnyColor},
    {"Width", vkInt, 0, kMaxPenWidth},
    {"Style", vkInt, 0, static_cast<int>(psInsideFrame)},
};

template <size_t N>
bool MapKeepsRules(const QVariantMap& map, const TValueRule (&rules)[N]);

bool ValueKeepsRule(const QVariant& v, const TValueRule& rule)
{
    switch (rule.kind) {
    case vkInt:
        return v.typeId() == QMetaType::Int && v.toInt() >= rule.low && v.toInt() <= rule.high;
    case vkUInt:
        return v.typeId() == QMetaType::UInt && v.toUInt() >= rule.low && v.toUInt() <= rule.high;
    case vkBool:
        return v.typeId() == QMetaType::Bool;
    case vkText:
        return v.typeId() == QMetaType::QString;
    case vkTexts:
        return v.typeId() == QMetaType::QStringList;
    case vkFont:
        return v.typeId() == QMetaType::QVariantMap && MapKeepsRules(v.toMap(), kFontRules);
    case vkPen:
        return v.typeId() == QMetaType::QVariantMap && MapKeepsRules(v.toMap(), kPenRules);
    }
    return false;
}

// Properties a map leaves out keep their values; unknown ones are passed by.
template <size_t N>
bool MapKeepsRules(const QVariantMap& map, const TValueRule (&rules)[N])
{
    for (const TValueRule& rule : rules) {
        const auto it = map.constFind(QLatin1String(rule.name));
        if (it != map.constEnd() && !ValueKeepsRule(*it, rule))
            return false;
    }
    return true;
}

QVariantMap FontToMap(const TFont& f)
{
    return {{QStringLiteral("Name"), f.Name()},
            {QStringLiteral("Height"), f.Height()},
            {QStringLiteral("Style"), static_cast<uint>(f.Style())},
            {QStringLiteral("Color"), static_cast<uint>(f.Color())}};
}

void MapToFont(const QVariantMap& m, TFont& f)
{
    auto handler = std::move(f.OnChange);
    f.OnChange = nullptr;
    f.SetName(m.value(QStringLiteral("Name")).toString());
    f.SetHeight(m.value(QStringLiteral("Height")).toInt());
    f.SetStyle(m.value(QStringLiteral("Style")).toUInt() & 0xF);
    f.SetColor(m.value(QStringLiteral("Color")).toUInt());
    f.OnChange = std::move(handler);
}

QVariantMap PenToMap(const TPen& p)
{
    return {{QStringLiteral("Color"), static_cast<uint>(p.Color())},
            {QStringLiteral("Width"), p.Width()},
            {QStringLiteral("Style"), static_cast<int>(p.Style())}};
}

TPen MapToPen(const QVariantMap& m)
{
    TPen p;
    p.SetColor(m.value(QStringLiteral("Color")).toUInt());
    p.SetWidth(m.value(QStringLiteral("Width")).toInt());
    p.SetStyle(static_cast<TPenStyle>(std::clamp(m.value(QStringLiteral("Style")).toInt(), 0,
                                                 static_cast<int>(psInsideFrame))));
    return p;
}

template <class E>
E EnumFrom(const QVariant& v, E last)
{
    return static_cast<E>(std::clamp(v.toInt(), 0, static_cast<int>(last)));
}

// The published properties in their stored order.
QVariantMap ItemToMap(const TGridColumnItem& item)
{
    QVariantMap m;
    m[QStringLiteral("AutoMinSize")] = item.AutoMinSize();
    m[QStringLiteral("AutoMaxSize")] = item.AutoMaxSize();
    m[QStringLiteral("Alignment")] = static_cast<int>(item.Alignment());
    m[QStringLiteral("Borders")] = item.Borders().Bits();
    m[QStringLiteral("BorderPen")] = PenToMap(item.BorderPen());
    m[QStringLiteral("CheckFalse")] = item.CheckFalse();
    m[QStringLiteral("CheckTrue")] = item.CheckTrue();
    m[QStringLiteral("Color")] = static_cast<uint>(item.Color());
    m[QStringLiteral("ColumnPopupType")] = static_cast<int>(item.ColumnPopupType());
    m[QStringLiteral("ComboItems")] = item.ComboItems();
    m[QStringLiteral("DropDownCount")] = item.DropDownCount();
    m[QStringLiteral("EditLength")] = item.EditLength();
    m[QStringLiteral("EditMask")] = item.EditMask();
    m[QStringLiteral("Editor")] = static_cast<int>(item.Editor());
    m[QStringLiteral("Filter")] = item.Filter();
    m[QStringLiteral("FilterCaseSensitive")] = item.FilterCaseSensitive();
    m[QStringLiteral("Fixed")] = item.Fixed();
    m[QStringLiteral("FloatFormat")] = item.FloatFormat();
    m[QStringLiteral("Font")] = FontToMap(item.Font());
    m[QStringLiteral("Header")] = item.Header();
    m[QStringLiteral("HeaderAlignment")] = static_cast<int>(item.HeaderAlignment());
    m[QStringLiteral("HeaderFont")] = FontToMap(item.HeaderFont());
    m[QStringLiteral("MinSize")] = item.MinSize();
    m[QStringLiteral("MaxSize")] = item.MaxSize();
    m[QStringLiteral("Name")] = item.Name();
    m[QStringLiteral("Password")] = item.Password();
    m[QStringLiteral("PrintBorderCustom")] = item.PrintBorderCustom();
    m[QStringLiteral("PrintBorders")] = item.PrintBorders().Bits();
    m[QStringLiteral("PrintBorderPen")] = PenToMap(item.PrintBorderPen());
    m[QStringLiteral("PrintColor")] = static_cast<uint>(item.PrintColor());
    m[QStringLiteral("PrintFontCustom")] = item.PrintFontCustom();
    m[QStringLiteral("PrintFont")] = FontToMap(item.PrintFont());
    m[QStringLiteral("ReadOnly")] = item.ReadOnly();
    m[QStringLiteral("ShowBands")] = item.ShowBands();
    m[QStringLiteral("SortStyle")] = static_cast<int>(item.SortStyle());
    m[QStringLiteral("SortPrefix")] = item.SortPrefix();
    m[QStringLiteral("SortSuffix")] = item.SortSuffix();
    m[QStringLiteral("SpinMax")] = item.SpinMax();
    m[QStringLiteral("SpinMin")] = item.SpinMin();
    m[QStringLiteral("SpinStep")] = item.SpinStep();
    m[QStringLiteral("Tag")] = item.Tag();
    m[QStringLiteral("Width")] = item.Width();
    return m;
}

void MapToItem(const QVariantMap& m, TGridColumnItem& item, int& width, QString& header)
{
    auto has = [&m](const char* key) { return m.contains(QLatin1String(key)); };
    auto v = [&m](const char* key) { return m.value(QLatin1String(key)); };
    if (has("AutoMinSize"))
        item.SetAutoMinSize(v("AutoMinSize").toInt());
    if (has("AutoMaxSize"))
        item.SetAutoMaxSize(v("AutoMaxSize").toInt());
    if (has("Alignment"))
        item.SetAlignment(EnumFrom(v("Alignment"), taCenter));
    if (has("Borders"))
        item.SetBorders(TCellBorders::FromBits(v("Borders").toUInt() & 0xF));
    if (has("BorderPen"))
        item.SetBorderPen(MapToPen(v("BorderPen").toMap()));
    if (has("CheckFalse"))
        item.SetCheckFalse(v("CheckFalse").toString());
    if (has("CheckTrue"))
        item.SetCheckTrue(v("CheckTrue").toString());
    if (has("Color"))
        item.SetColor(v("Color").toUInt());
    if (has("ColumnPopupType"))
        item.SetColumnPopupType(EnumFrom(v("ColumnPopupType"), cpAllCellsLClick));
    if (has("ComboItems"))
        item.SetComboItems(v("ComboItems").toStringList());
    if (has("DropDownCount"))
        item.SetDropDownCount(v("DropDownCount").toInt());
    if (has("EditLength"))
        item.SetEditLength(v("EditLength").toInt());
    if (has("EditMask"))
        item.SetEditMask(v("EditMask").toString());
    if (has("Editor"))
        item.SetEditor(EnumFrom(v("Editor"), edMaskEditBtn));
    if (has("Filter"))
        item.SetFilter(v("Filter").toStringList());
    if (has("FilterCaseSensitive"))
        item.SetFilterCaseSensitive(v("FilterCaseSensitive").toBool());
    if (has("Fixed"))
        item.SetFixed(v("Fixed").toBool());
    if (has("FloatFormat"))
        item.SetFloatFormat(v("FloatFormat").toString());
    if (has("Font"))
        MapToFont(v("Font").toMap(), item.Font());
    header = v("Header").toString();
    if (has("HeaderAlignment"))
        item.SetHeaderAlignment(EnumFrom(v("HeaderAlignment"), taCenter));
    if (has("HeaderFont"))
        MapToFont(v("HeaderFont").toMap(), item.HeaderFont());
    if (has("MinSize"))
        item.SetMinSize(v("MinSize").toInt());
    if (has("MaxSize"))
        item.SetMaxSize(v("MaxSize").toInt());
    if (has("Name"))
        item.SetName(v("Name").toString());
    if (has("Password"))
        item.SetPassword(v("Password").toBool());
    if (has("PrintBorderCustom"))
        item.SetPrintBorderCustom(v("PrintBorderCustom").toBool());
    if (has("PrintBorders"))
        item.SetPrintBorders(TCellBorders::FromBits(v("PrintBorders").toUInt() & 0xF));
    if (has("PrintBorderPen"))
        item.SetPrintBorderPen(MapToPen(v("PrintBorderPen").toMap()));
    if (has("PrintColor"))
        item.SetPrintColor(v("PrintColor").toUInt());
    if (has("PrintFontCustom"))
        item.SetPrintFontCustom(v("PrintFontCustom").toBool());
    if (has("PrintFont"))
        MapToFont(v("PrintFont").toMap(), item.PrintFont());
    if (has("ReadOnly"))
        item.SetReadOnly(v("ReadOnly").toBool());
    if (has("ShowBands"))
        item.SetShowBands(v("ShowBands").toBool());
    if (has("SortStyle"))
        item.SetSortStyle(EnumFrom(v("SortStyle"), ssAlphaNumericNoCase));
    if (has("SortPrefix"))
        item.SetSortPrefix(v("SortPrefix").toString());
    if (has("SortSuffix"))
        item.SetSortSuffix(v("SortSuffix").toString());
    if (has("SpinMax"))
        item.SetSpinMax(v("SpinMax").toInt());
    if (has("SpinMin"))
        item.SetSpinMin(v("SpinMin").toInt());
    if (has("SpinStep"))
        item.SetSpinStep(v("SpinStep").toInt());
    if (has("Tag"))
        item.SetTag(v("Tag").toInt());
    width = has("Width") ? v("Width").toInt() : -1;
}

} // namespace

void VOruVizizaZezo::SaveColumnsToStream(QIODevice& stream)
{
    VOruVizizaZezoIO io(this);
    io.Items().SetNoRecursiveUpdate(true);
    io.Items().Assign(*FColumnCollection);
    QDataStream out(&stream);
    out.setVersion(QDataStream::Qt_6_0);
    out << kStreamMagic << kStreamVersion << QStringLiteral("VOruVizizaZezoIO") << objectName()
        << static_cast<qint32>(FColumnCollection->Count());
    for (int i = 0; i < FColumnCollection->Count(); ++i)
        out << ItemToMap(*FColumnCollection->GetItem(i));
    if (out.status() != QDataStream::Ok)
        throw std::runtime_error("The columns could not be written");
}

void VOruVizizaZezo::LoadColumnsFromStream(QIODevice& stream)
{
    TColumnStreamReader reader(stream);
    quint32 magic = 0;
    qint32 version = 0;
    if (!reader.Read(magic) || !reader.Read(version) || magic != kStreamMagic || version != kStreamVersion)
        throw std::runtime_error("Not a column stream");
    QString className, name;
    quint32 count = 0;
    // Each item is a map of at least its entry count.
    if (!reader.ReadString(className) || !reader.ReadString(name) ||
        !reader.ReadCount(count, static_cast<quint32>(kMaxStreamItems), 4) || className != u"VOruVizizaZezoIO")
        throw std::runtime_error("Invalid column stream");
    std::vector<QVariantMap> maps;
    maps.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        QVariantMap m;
        if (!reader.ReadMap(m) || !MapKeepsRules(m, kItemRules))
            throw std::runtime_error("Invalid column stream");
        maps.push_back(std::move(m));
    }
    // Everything read: now the columns change.
    FColumnCollection->SetNoRecursiveUpdate(true);
    VOruVizizaZezoIO io(this);
    io.Items().SetNoRecursiveUpdate(true);
    std::vector<int> widths;
    for (const QVariantMap& m : maps) {
        TGridColumnItem* item = io.Items().Add();
        int width = -1;
        QString header;
        MapToItem(m, *item, width, header);
        item->FColumnHeader = header;
        widths.push_back(width);
    }
    FColumnCollection->Assign(io.Items());
    // The settings a copy leaves out come from the stream as well.
    for (int i = 0; i < io.Items().Count() && i < FColumnCollection->Count(); ++i) {
        const TGridColumnItem* read = io.Items().GetItem(i);
        TGridColumnItem* item = FColumnCollection->GetItem(i);
        item->FColumnPopupType = read->FColumnPopupType;
        item->FPrintBorderCustom = read->FPrintBorderCustom;
        item->FPrintFontCustom = read->FPrintFontCustom;
    }
    for (int i = 0; i < static_cast<int>(widths.size()); ++i) {
        if (widths[static_cast<size_t>(i)] >= 0 && i < TotalColCount())
            SetAllColWidths(i, widths[static_cast<size_t>(i)]);
        if (i < FColumnCollection->Count() && widths[static_cast<size_t>(i)] >= 0)
            FColumnCollection->GetItem(i)->FWidth = widths[static_cast<size_t>(i)];
    }
    FColumnCollection->SetNoRecursiveUpdate(false);
    UpdateColumnHeaders();
    Invalidate();
}

// ---------------------------------------------------------------------------
// Column positions in an INI file
// ---------------------------------------------------------------------------

void VOruVizizaZezo::SaveColumnPositions(const QString& key, const QString& section)
{
    TMemIniFile ini(key);
    for (int i = 0; i < FColumnCollection->Count(); ++i)
        ini.WriteInteger(section, QStringLiteral("CP%1").arg(i), FColumnCollection->GetItem(i)->DefIdx());
    ini.UpdateFile();
}

void VOruVizizaZezo::LoadColumnPositions(const QString& key, const QString& section)
{
    const TMemIniFile ini(key);
    const int n = FColumnCollection->Count();
    std::vector<int> positions(static_cast<size_t>(n));
    for (int j = 0; j < n; ++j) {
        positions[static_cast<size_t>(j)] = ini.ReadInteger(section, QStringLiteral("CP%1").arg(j), -1);
        if (positions[static_cast<size_t>(j)] == -1)
            return;
    }
    // The positions must name every column once; anything else (a repeated
    // or foreign index) leaves the order as it is.
    std::vector<int> sorted = positions;
    std::sort(sorted.begin(), sorted.end());
    for (int j = 0; j < n; ++j)
        if (sorted[static_cast<size_t>(j)] != j)
            return;
    ResetColumnOrder();
    for (int j = 0; j < n; ++j)
        FColumnCollection->GetItem(positions[static_cast<size_t>(j)])->SetDefIdx(j);
    FColumnCollection->ResetOrganization();
    for (int i = 0; i < n && i < FColumnCollection->Count(); ++i)
        FColumnCollection->GetItem(i)->SetDefIdx(positions[static_cast<size_t>(i)]);
}

void VOruVizizaZezo::SaveColPositions()
{
    if (ColumnSize().Location() == clIniFile)
        SaveColumnPositions(ColumnSize().Key(), ColumnSize().Section());
    else
        TExStringGrid::SaveColPositions();
}

void VOruVizizaZezo::LoadColPositions()
{
    if (ColumnSize().Location() == clIniFile)
        LoadColumnPositions(ColumnSize().Key(), ColumnSize().Section());
    else
        TExStringGrid::LoadColPositions();
}
