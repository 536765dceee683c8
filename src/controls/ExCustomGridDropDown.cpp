#include "controls/ExCustomGridDropDown.h"

#include "platform/Scope.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QStyle>

#include <cmath>

using namespace platform;

namespace GridDropDown {

// ---------------------------------------------------------------------------
// Columns and items
// ---------------------------------------------------------------------------

void TDropDownColumn::Assign(const TDropDownColumn& source)
{
    FWordwrap = source.FWordwrap;
    FWidth = source.FWidth;
    FAutoSize = source.FAutoSize;
    FHeader = source.FHeader;
    FAlignment = source.FAlignment;
    FColor = source.FColor;
    FColumnType = source.FColumnType;
    FFont.Assign(source.FFont);
    FEllipsis = source.FEllipsis;
}

TDropDownColumn* TDropDownColumns::Add()
{
    items_.push_back(std::make_unique<TDropDownColumn>());
    return items_.back().get();
}

TDropDownColumn* TDropDownColumns::Insert(int index)
{
    if (index < 0 || index > Count())
        return Add();
    return items_.insert(items_.begin() + index, std::make_unique<TDropDownColumn>())->get();
}

void TDropDownColumns::Delete(int index)
{
    if (index >= 0 && index < Count())
        items_.erase(items_.begin() + index);
}

void TDropDownColumns::Assign(const TDropDownColumns& source)
{
    if (&source == this)
        return;
    items_.clear();
    for (const auto& c : source.items_)
        Add()->Assign(*c);
}

void TDropDownItem::Assign(const TDropDownItem& source)
{
    FImageIndex = source.FImageIndex;
    FText = source.FText;
}

TDropDownItem* TDropDownItems::Add()
{
    items_.push_back(GetItemClass());
    return items_.back().get();
}

TDropDownItem* TDropDownItems::Insert(int index)
{
    if (index < 0 || index > Count())
        return Add();
    return items_.insert(items_.begin() + index, GetItemClass())->get();
}

void TDropDownItems::Delete(int index)
{
    if (index >= 0 && index < Count())
        items_.erase(items_.begin() + index);
}

void TDropDownItems::Assign(const TDropDownItems& source)
{
    if (&source == this)
        return;
    items_.clear();
    items_.reserve(source.items_.size());
    for (const auto& i : source.items_)
        Add()->Assign(*i);
}

int TDropDownItems::IndexInColumn(int column, const QString& value) const
{
    if (column < 0)
        return -1;
    for (int i = 0; i < Count(); ++i) {
        const QStringList& t = items_[static_cast<size_t>(i)]->Text();
        if (column < t.size() && t[column] == value)
            return i;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// TExColGrid
// ---------------------------------------------------------------------------

TExColGrid::TExColGrid(QWidget* owner) : TExStringGrid(owner), FColumns(std::make_unique<TDropDownColumns>())
{
    SetFixedRowAlways(true);
    SetFixedRows(1);
    SetFixedCols(0);
    SetOptions((Options() & ~goRangeSelect) | goHorzLine | goRowSelect);
    SetBorderStyle(bsNone);
    SetGridLineWidth(1);
    FOldRow = Row();
}

TExColGrid::~TExColGrid() = default;

void TExColGrid::SetOwnGridLineWidth(int v)
{
    FGridLineWidth = v;
    TExStringGrid::SetGridLineWidth(0);
    Invalidate();
}

TObject* TExColGrid::ItemRef(int index)
{
    while (static_cast<int>(FItemRefs.size()) <= index)
        FItemRefs.push_back(std::make_unique<TItemRef>(static_cast<int>(FItemRefs.size())));
    return FItemRefs[static_cast<size_t>(index)].get();
}

int TExColGrid::StoredItemIndex(int row) const
{
    if (row < 0 || row >= RowCount())
        return -1;
    const auto* ref = dynamic_cast<const TItemRef*>(GetObjectEx(0, row));
    return ref ? ref->Index : -1;
}

bool TExColGrid::InPopup() const
{
    return dynamic_cast<TDropDownForm*>(parentWidget()) != nullptr;
}

int TExColGrid::GetTotalWidth()
{
    const int border = BorderStyle() == bsNone ? 0 : 2; // as the grid's client area counts it
    int w = 2 * border;
    for (int c = 0; c < ColCount(); ++c)
        w += ColWidths(c);
    if (VisibleRowCount() + FixedRows() != RowCount())
        w += QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return w;
}

void TExColGrid::FillFromItems()
{
    if (!FExDropDown)
        return;
    if (ColCount() != FColumns->Count())
        SetColCount(std::max(1, FColumns->Count()));
    for (int i = 0; i < FColumns->Count(); ++i) {
        SetCells(i, 0, FColumns->Items(i)->Header());
        SetObjectEx(i, 0, &FHeaderRef);
    }
    const TDropDownItems& items = FExDropDown->Items();
    if (items.Count() > 0)
        SetRowCount(FixedRows() + items.Count());
    const int cols = FColumns->Count();
    for (int k = 0; k < items.Count(); ++k) {
        const QStringList& t = items.Items(k)->Text();
        for (int i = 0; i < cols; ++i)
            SetCells(i, k + 1, i < t.size() ? t[i] : QString());
        SetObjectEx(0, k + 1, ItemRef(k));
    }
}

void TExColGrid::LoadFromDropDown(TCustomExGridDropDown* d)
{
    if (!d)
        return;
    FExDropDown = d;
    FColumns->Assign(d->Columns());
    if (ColCount() < FColumns->Count())
        SetColCount(FColumns->Count());
    if (d->UseItems())
        SetRowCount(d->Items().Count() + 1);
    for (int i = 0; i < FColumns->Count(); ++i)
        SetColWidths(i, std::max(0, FColumns->Items(i)->Width()));
    FLineColor = d->LineColor();
    FFixedLineColor = d->FixedLineColor();
    FHeaderColor = d->HeaderColor();
    FHeaderColorTo = d->HeaderColorTo();
    FHeaderHeight = d->HeaderHeight();
    FHeaderFont.Assign(d->HeaderFont());
    SetHoverRow(d->HoverRow());
    SetHoverRowColor(d->HoverRowColor());
    SetHoverRowColorTo(d->HoverRowColorTo());
    FImages = d->Images();
    SetDefaultRowHeight(d->DropDownRowHeight());
    SetRowHeights(0, std::max(0, d->HeaderHeight()));
    TGridOptions o = Options() & ~(goColSizing | goColMoving | goRowSizing | goRowMoving);
    if (d->ColumnSizing())
        o |= goColSizing;
    if (d->ColumnMoving())
        o |= goColMoving;
    if (d->RowSizing())
        o |= goRowSizing;
    if (d->RowMoving())
        o |= goRowMoving;
    SetOptions(o);
    if (d->AutoSizeColumns()) {
        if (d->UseItems())
            AutoSizeColumnsFromItems();
        else
            TExStringGrid::AutoSizeColumns(true, 4);
    }
    AutoSizeRows();
}

void TExColGrid::RowContent(int column, int row, QString& text, int& imageIndex) const
{
    imageIndex = -1;
    if (FExDropDown && FExDropDown->UseItems()) {
        const int k = row - 1;
        if (k < 0 || k >= FExDropDown->Items().Count()) {
            text.clear();
            return;
        }
        const TDropDownItem* item = FExDropDown->Items().Items(k);
        text = item->TextOf(column);
        if (column < FColumns->Count() && FColumns->Items(column)->ColumnType() == TColumnType::ctImage)
            imageIndex = item->ImageIndex();
        return;
    }
    text = Cells(column, row);
}

void TExColGrid::AutoSizeColumn(int column)
{
    if (column < 0 || column >= FColumns->Count() || !FColumns->Items(column)->AutoSize() || !InPopup())
        return;
    TCanvas canvas;
    canvas.SetFont(FColumns->Items(column)->Font());
    int widest = 0;
    for (int r = 1; r < RowCount(); ++r) {
        QString text;
        int image = -1;
        RowContent(column, r, text, image);
        int w = 0;
        if (image >= 0 && FImages)
            w += FImages->Width() + 4;
        if (!text.isEmpty()) {
            TRect box = Rect(0, 0, 1000, 500);
            canvas.DrawText(text, box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
            w += box.Width() + 6;
        }
        widest = std::max(widest, w);
    }
    FColumns->Items(column)->SetWidth(widest);
    SetColWidths(column, widest);
}

void TExColGrid::AutoSizeColumnsFromItems()
{
    for (int i = 0; i < FColumns->Count(); ++i)
        if (FColumns->Items(i)->AutoSize())
            AutoSizeColumn(i);
}

void TExColGrid::AutoSizeRows()
{
    bool wraps = false;
    for (int i = 0; i < FColumns->Count(); ++i)
        wraps = wraps || FColumns->Items(i)->Wordwrap();
    if (!wraps || !InPopup())
        return;
    TCanvas canvas;
    for (int r = 1; r < RowCount(); ++r) {
        int height = 24;
        for (int c = 0; c < FColumns->Count(); ++c) {
            const TDropDownColumn* col = FColumns->Items(c);
            if (!col->Wordwrap())
                continue;
            QString text;
            int image = -1;
            RowContent(c, r, text, image);
            int part = image >= 0 && FImages ? FImages->Height() + 6 : 0;
            if (!text.isEmpty()) {
                canvas.SetFont(col->Font());
                TRect box = Rect(0, 0, std::max(1, col->Width()), 500);
                canvas.DrawText(text, box, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
                part = std::max(part, box.Height() + 6);
            }
            height = std::max(height, part);
        }
        SetRowHeights(r, height);
    }
}

void TExColGrid::DoSelect()
{
    if (OnSelect)
        OnSelect(this);
}

void TExColGrid::Notification(QObject* component, TOperation operation)
{
    TExStringGrid::Notification(component, operation);
    if (operation == opRemove && FImages && static_cast<const void*>(FImages) == static_cast<const void*>(component))
        FImages = nullptr;
}

bool TExColGrid::WantsKey(int key) const
{
    return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_TAB ||
           TExStringGrid::WantsKey(key);
}

void TExColGrid::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) {
        e->accept();
        return;
    }
    TExStringGrid::keyPressEvent(e);
}

void TExColGrid::KeyDown(int& key, TShiftState shift)
{
    FConfirmSelection = true;
    if ((shift & ssAlt) && (key == VK_UP || key == VK_DOWN)) {
        if (FExDropDown) {
            QKeyEvent forwarded(QEvent::KeyPress, key == VK_UP ? Qt::Key_Up : Qt::Key_Down, Qt::AltModifier);
            FExDropDown->HandleKeyPress(&forwarded);
        }
        key = 0;
        return;
    }
    if (key == VK_RETURN) {
        int consumed = 0;
        TExStringGrid::KeyDown(consumed, shift);
        key = 0;
        DoSelect();
        return;
    }
    TExStringGrid::KeyDown(key, shift);
}

void TExColGrid::KeyPress(QChar& key)
{
    if (key == QChar(13))
        return;
    TExStringGrid::KeyPress(key);
}

void TExColGrid::WndProc(TMessage& message)
{
    // The wheel moves the grid's row by its own message handling: no
    // confirmed choice, and the edit does not follow.
    if (message.Msg != WM_MOUSEWHEEL) {
        TExStringGrid::WndProc(message);
        return;
    }
    FMouseWheelSelection = true;
    FConfirmSelection = false;
    try {
        TExStringGrid::WndProc(message);
    } catch (...) {
        FMouseWheelSelection = false;
        throw;
    }
    FMouseWheelSelection = false;
}

bool TExColGrid::DoMouseWheelDown(TShiftState shift, const TPoint& mousePos)
{
    FMouseWheelSelection = true;
    FConfirmSelection = false;
    const platform::ScopeExit done{[this] { FMouseWheelSelection = false; }};
    return TExStringGrid::DoMouseWheelDown(shift, mousePos);
}

bool TExColGrid::DoMouseWheelUp(TShiftState shift, const TPoint& mousePos)
{
    FMouseWheelSelection = true;
    FConfirmSelection = false;
    const platform::ScopeExit done{[this] { FMouseWheelSelection = false; }};
    return TExStringGrid::DoMouseWheelUp(shift, mousePos);
}

void TExColGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    FConfirmSelection = true;
    FOldRow = Row();
    TExStringGrid::MouseDown(button, shift, x, y);
}

void TExColGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TExStringGrid::MouseUp(button, shift, x, y);
    if (button != mbLeft)
        return;
    int col = -1, row = -1;
    MouseToCell(x, y, col, row);
    if (row < FixedRows() || row >= RowCount() || col < 0)
        return;
    if (HasCheckBox(RealColIndex(col), row))
        return;
    DoSelect();
}

} // namespace GridDropDown

// ---------------------------------------------------------------------------
// TCustomExGridDropDown
// ---------------------------------------------------------------------------

using GridDropDown::TExColGrid;

TCustomExGridDropDown::TCustomExGridDropDown(QWidget* parent)
    : TExCustomDropDown(parent), FSearchFooter(std::make_unique<TSearchFooter>()),
      FBands(std::make_unique<TBands>()), FNavigation(std::make_unique<TNavigation>()),
      FMouseActions(std::make_unique<TMouseActions>())
{
    TFont f;
    f.SetFromQFont(font());
    FHeaderFont.Assign(f);
    SetComponentStyle(tsOffice2007Luna);
    FItems = CreateItems(this);
    FColumns = std::make_unique<TDropDownColumns>(this);
    FHeaderColor = clWhite;
    FHeaderColorTo = clGray;
    FSelectionTextColor = clBlack;
    FHeaderFont.SetColor(0x723708);
    FNavigation->SetHomeEndKey(heFirstLastRow);
    SetDropDownColor(clWhite);
    SetDropDownHeight(200);
    SetSelectionColorStyle(scOffice2007);
    CreateDropDownForm();
}

TCustomExGridDropDown::~TCustomExGridDropDown()
{
    if (FExColGrid) {
        FExColGrid->removeEventFilter(this);
        FExColGrid->OnSelect = nullptr;
        FExColGrid->OnSelectCell = nullptr;
    }
}

std::unique_ptr<TCustomExGridDropDown::TDropDownItems> TCustomExGridDropDown::CreateItems(QObject* owner)
{
    return std::make_unique<TDropDownItems>(owner);
}

// ---- relays of the inner grid's events ---------------------------------------

void TCustomExGridDropDown::WithPopupBlocked(const std::function<void()>& call)
{
    // A window the handler opens must not close the popup.
    TDropDownForm* f = DropDownForm();
    if (f)
        f->SetBlockActivate(true);
    const ScopeExit unblock([f] {
        if (f)
            f->SetBlockActivate(false);
    });
    call();
}

#define GRID_RELAY(name, event, params, args)                                                                          \
    void TCustomExGridDropDown::name params                                                                            \
    {                                                                                                                  \
        if (event)                                                                                                     \
            event args;                                                                                                \
    }

void TCustomExGridDropDown::DoGridAnchorClick(QObject* s, int r, int c, const QString& anchor, bool& autoHandle)
{
    if (OnGridAnchorClick)
        WithPopupBlocked([&] { OnGridAnchorClick(s, r, c, anchor, autoHandle); });
}
GRID_RELAY(DoGridAnchorEnter, OnGridAnchorEnter, (QObject * s, int r, int c, const QString& a), (s, r, c, a))
GRID_RELAY(DoGridAnchorExit, OnGridAnchorExit, (QObject * s, int r, int c, const QString& a), (s, r, c, a))
GRID_RELAY(DoGridAnchorHint, OnGridAnchorHint, (QObject * s, int r, int c, QString& a), (s, r, c, a))

void TCustomExGridDropDown::DoGridButtonClick(QObject* s, int c, int r)
{
    if (OnGridButtonClick)
        WithPopupBlocked([&] { OnGridButtonClick(s, c, r); });
}
GRID_RELAY(DoGridCanSort, OnGridCanSort, (QObject * s, int c, bool& doSort), (s, c, doSort))
GRID_RELAY(DoGridClickSort, OnGridClickSort, (QObject * s, int c), (s, c))
GRID_RELAY(DoGridCustomCompare, OnGridCustomCompare, (QObject * s, const QString& a, const QString& b, int& res),
           (s, a, b, res))
GRID_RELAY(DoGridRawCompare, OnGridRawCompare, (QObject * s, int c, int r1, int r2, int& res), (s, c, r1, r2, res))
GRID_RELAY(DoGridColumnSize, OnGridColumnSize, (QObject * s, int c, bool& allow), (s, c, allow))
GRID_RELAY(DoGridColumnSizing, OnGridColumnSizing, (QObject * s, int c, int size), (s, c, size))
GRID_RELAY(DoGridEndColumnSize, OnGridEndColumnSize, (QObject * s, int c), (s, c))
GRID_RELAY(DoGridRowSize, OnGridRowSize, (QObject * s, int r, bool& allow), (s, r, allow))
GRID_RELAY(DoGridRowSizing, OnGridRowSizing, (QObject * s, int r, int size), (s, r, size))
GRID_RELAY(DoGridEndRowSize, OnGridEndRowSize, (QObject * s, int r), (s, r))
GRID_RELAY(DoGridRowMove, OnGridRowMove, (QObject * s, int r, bool& allow), (s, r, allow))
GRID_RELAY(DoGridRowMoving, OnGridRowMoving, (QObject * s, int r, bool& allow), (s, r, allow))
GRID_RELAY(DoGridRowMoved, OnGridRowMoved, (QObject * s, int from, int to), (s, from, to))
GRID_RELAY(DoGridColumnMove, OnGridColumnMove, (QObject * s, int c, bool& allow), (s, c, allow))
GRID_RELAY(DoGridColumnMoving, OnGridColumnMoving, (QObject * s, int c, bool& allow), (s, c, allow))
GRID_RELAY(DoGridColumnMoved, OnGridColumnMoved, (QObject * s, int from, int to), (s, from, to))
// The rectangle comes as a copy: a handler's changes stay with it.
GRID_RELAY(DoGridCustomCellDraw, OnGridCustomCellDraw,
           (QObject * s, TCanvas& canvas, int c, int r, TGridDrawState st, TRect rect, bool printing),
           (s, canvas, c, r, st, rect, printing))
GRID_RELAY(DoGridCustomCellBkgDraw, OnGridCustomCellBkgDraw,
           (QObject * s, TCanvas& canvas, int c, int r, TGridDrawState st, TRect rect, bool printing),
           (s, canvas, c, r, st, rect, printing))
GRID_RELAY(DoGridCellBalloon, OnGridCellBalloon, (QObject * s, int c, int r, QString& title, QString& text, int& icon),
           (s, c, r, title, text, icon))

void TCustomExGridDropDown::DoGridGetAlignment(QObject* s, int r, int c, TAlignment& hAlign, TVAlignment& vAlign)
{
    if (c >= 0 && c < FColumns->Count())
        hAlign = FColumns->Items(c)->Alignment();
    if (OnGridGetAlignment)
        OnGridGetAlignment(s, r, c, hAlign, vAlign);
}

void TCustomExGridDropDown::DoGridGetCellColor(QObject* s, int r, int c, TGridDrawState st, TBrush& brush,
                                               TFont& font)
{
    if (c >= 0 && c < FColumns->Count())
        brush.SetColor(FColumns->Items(c)->Color());
    if (OnGridGetCellColor)
        OnGridGetCellColor(s, r, c, st, brush, font);
}
GRID_RELAY(DoGridGetCellGradient, OnGridGetCellGradient,
           (QObject * s, int r, int c, TColor& color, TColor& colorTo, TColor& mirror, TColor& mirrorTo,
            TCellGradientDirection& gd),
           (s, r, c, color, colorTo, mirror, mirrorTo, gd))

void TCustomExGridDropDown::DoGridGetFloatFormat(QObject* s, int c, int r, bool& isFloat, QString& format)
{
    format.clear();
    if (OnGridGetFloatFormat)
        OnGridGetFloatFormat(s, c, r, isFloat, format);
}
GRID_RELAY(DoGridGetEditorType, OnGridGetEditorType, (QObject * s, int c, int r, TEditorType& editor), (s, c, r, editor))
GRID_RELAY(DoGridGetEditorProp, OnGridGetEditorProp, (QObject * s, int r, int c), (s, r, c))
GRID_RELAY(DoGridCanEditCell, OnGridCanEditCell, (QObject * s, int r, int c, bool& canEdit), (s, r, c, canEdit))

void TCustomExGridDropDown::DoGridEllipsClick(QObject* s, int c, int r, QString& text)
{
    if (OnGridEllipsClick)
        WithPopupBlocked([&] { OnGridEllipsClick(s, c, r, text); });
}
GRID_RELAY(DoGridGetDiplText, OnGridGetDiplText, (QObject * s, int c, int r, QString& value), (s, c, r, value))
GRID_RELAY(DoGridGetFormat, OnGridGetFormat, (QObject * s, int c, TSortStyle& style, QString& prefix, QString& suffix),
           (s, c, style, prefix, suffix))
GRID_RELAY(DoGridHint, OnGridHint, (QObject * s, int r, int c, QString& hint), (s, r, c, hint))

void TCustomExGridDropDown::DoGridMouseMove(QObject* s, TShiftState shift, int x, int y)
{
    // The first move after a preparation wakes the grid's balloon hints.
    if (!FBalloonInit) {
        FBalloonInit = true;
        if (FExColGrid && FExColGrid->Balloon().Enable()) {
            FExColGrid->Balloon().SetEnable(false);
            FExColGrid->Balloon().SetEnable(true);
        }
    }
    if (OnGridMouseMove)
        OnGridMouseMove(s, shift, x, y);
}
GRID_RELAY(DoGridMouseDown, OnGridMouseDown, (QObject * s, TMouseButton b, TShiftState shift, int x, int y),
           (s, b, shift, x, y))
GRID_RELAY(DoGridMouseUp, OnGridMouseUp, (QObject * s, TMouseButton b, TShiftState shift, int x, int y),
           (s, b, shift, x, y))
GRID_RELAY(DoGridKeyDown, OnGridKeyDown, (QObject * s, int& key, TShiftState shift), (s, key, shift))
GRID_RELAY(DoGridKeyUp, OnGridKeyUp, (QObject * s, int& key, TShiftState shift), (s, key, shift))
GRID_RELAY(DoGridKeyPress, OnGridKeyPress, (QObject * s, QChar& key), (s, key))
GRID_RELAY(DoGridRightClickCell, OnGridRightClickCell, (QObject * s, int r, int c), (s, r, c))
GRID_RELAY(DoGridScrollHint, OnGridScrollHint, (QObject * s, int r, QString& hint), (s, r, hint))
GRID_RELAY(DoGridTopLeftChanged, OnGridTopLeftChanged, (QObject * s), (s))
GRID_RELAY(DoGridSearchEditChange, OnGridSearchEditChange, (QObject * s, const QString& value, bool& defaultSearch),
           (s, value, defaultSearch))
GRID_RELAY(DoGridSpinClick, OnGridSpinClick, (QObject * s, int c, int r, int value, bool upDown), (s, c, r, value, upDown))
GRID_RELAY(DoGridAutoAddRow, OnGridAutoAddRow, (QObject * s, int r), (s, r))
GRID_RELAY(DoGridInsertRow, OnGridInsertRow, (QObject * s, int r), (s, r))
GRID_RELAY(DoGridInsertCol, OnGridInsertCol, (QObject * s, int c), (s, c))
GRID_RELAY(DoGridDeleteRow, OnGridDeleteRow, (QObject * s, int r), (s, r))
GRID_RELAY(DoGridCanAddRow, OnGridCanAddRow, (QObject * s, bool& canAdd), (s, canAdd))
GRID_RELAY(DoGridCanInsertRow, OnGridCanInsertRow, (QObject * s, int r, bool& canInsert), (s, r, canInsert))
GRID_RELAY(DoGridCanDeleteRow, OnGridCanDeleteRow, (QObject * s, int r, bool& canDelete), (s, r, canDelete))
#undef GRID_RELAY

void TCustomExGridDropDown::SetStyle(TDropDownStyle v)
{
    FStyle = v;
    SetEditorEnabled(v == dsDropDown);
}

void TCustomExGridDropDown::SetGridImages(TImageList* v)
{
    FGridImages = v;
    if (FExColGrid)
        FExColGrid->SetGridImages(v);
}

// ---- selection ---------------------------------------------------------------

void TCustomExGridDropDown::SetItemIndex(int v)
{
    if (FUseItems) {
        if (v >= FItems->Count())
            return;
        FItemIndex = v;
        QString text;
        if (v >= 0 && FLookupColumn >= 0)
            text = FItems->Items(v)->TextOf(FLookupColumn);
        SetText(text);
        return;
    }
    if (!FExColGrid) {
        FItemIndex = v;
        return;
    }
    if (v == FItemIndex || v + 1 >= FExColGrid->RowCount() || v + 1 < 0)
        return;
    FItemIndex = v;
    SetText(v < 0 ? QString() : FExColGrid->Cells(FLookupColumn, v + 1));
}

int TCustomExGridDropDown::EntryCount() const
{
    if (FUseItems)
        return FItems->Count();
    return FExColGrid ? FExColGrid->RowCount() - FExColGrid->FixedRows() : 0;
}

void TCustomExGridDropDown::SelectFirst()
{
    if (EntryCount() > 0)
        SetItemIndex(0);
}

void TCustomExGridDropDown::SelectLast()
{
    if (const int n = EntryCount(); n > 0)
        SetItemIndex(n - 1);
}

void TCustomExGridDropDown::SelectNext()
{
    const int n = EntryCount();
    if (n == 0)
        return;
    if (FItemIndex == -1)
        SetItemIndex(0);
    else if (FItemIndex + 1 < n)
        SetItemIndex(FItemIndex + 1);
}

void TCustomExGridDropDown::SelectPrevious()
{
    if (EntryCount() == 0)
        return;
    if (FItemIndex == -1)
        SetItemIndex(0);
    else if (FItemIndex - 1 >= 0)
        SetItemIndex(FItemIndex - 1);
}

void TCustomExGridDropDown::SelectNextPage()
{
    const int n = EntryCount();
    if (n == 0)
        return;
    if (FItemIndex == -1)
        SetItemIndex(0);
    else
        SetItemIndex(FItemIndex + 10 < n ? FItemIndex + 10 : n - 1);
}

void TCustomExGridDropDown::SelectPreviousPage()
{
    if (EntryCount() == 0)
        return;
    SetItemIndex(FItemIndex - 10 >= 0 ? FItemIndex - 10 : 0);
}

int TCustomExGridDropDown::ItemOfRow(int row) const
{
    if (!FExColGrid || row < 0 || row >= FExColGrid->RowCount())
        return row;
    const int stored = FExColGrid->StoredItemIndex(row);
    return stored >= 0 ? stored : row;
}

int TCustomExGridDropDown::RowOfItem(int item) const
{
    if (item < 0 || !FExColGrid)
        return FItemIndex;
    for (int r = FExColGrid->FixedRows(); r < FExColGrid->RowCount(); ++r)
        if (FExColGrid->StoredItemIndex(r) == item)
            return r;
    return FItemIndex;
}

bool TCustomExGridDropDown::FindLookupMatch(const QString& text, QString& foundText, int& row) const
{
    row = -1;
    foundText.clear();
    if (text.isEmpty())
        return false;
    const QString t = MatchCaseText(text, FCaseSensitive);
    if (FUseItems) {
        for (int k = 0; k < FItems->Count(); ++k) {
            const QStringList& texts = FItems->Items(k)->Text();
            if (FLookupColumn < 0 || FLookupColumn >= texts.size())
                continue;  // no text: an empty one starts with nothing typed
            const QString& candidate = texts[FLookupColumn];
            if (StartsWithMatchCase(candidate, t, FCaseSensitive)) {
                foundText = candidate;
                row = k;
                return true;
            }
        }
        return false;
    }
    if (!FExColGrid)
        return false;
    for (int r = FExColGrid->FixedRows(); r < FExColGrid->RowCount(); ++r) {
        const QString candidate = FExColGrid->Cells(FLookupColumn, r);
        if (StartsWithMatchCase(candidate, t, FCaseSensitive)) {
            foundText = candidate;
            row = r;
            return true;
        }
    }
    return false;
}

void TCustomExGridDropDown::EndUpdate()
{
    if (FLookupColumn < 0 || FItems->Count() == 0)
        return;
    FLookupItems.clear();
    FLookupItems.reserve(FItems->Count());
    for (int k = 0; k < FItems->Count(); ++k)
        FLookupItems.append(FItems->Items(k)->TextOf(FLookupColumn));
}

void TCustomExGridDropDown::Loaded()
{
    EndUpdate();
    if (FExColGrid) {
        FExColGrid->SetDropDown(this);
        FExColGrid->FillFromItems();
    }
}

// ---- popup -----------------------------------------------------------------

void TCustomExGridDropDown::CreateDropDownForm()
{
    TExCustomDropDown::CreateDropDownForm();
    if (!DropDownForm() || FExColGrid)
        return;
    FExColGrid = new TExColGrid(DropDownForm());
    FExColGrid->SetDropDown(this);
    FExColGrid->SetBounds(0, 0, std::max(width(), 80), 180);
    FExColGrid->SetColor(DropDownColor());
    FExColGrid->SetDoubleBuffered(true);
    FExColGrid->Navigation().SetHomeEndKey(heFirstLastRow);
    FExColGrid->SetScrollBars(ssVertical);
    FExColGrid->hide();
    SetFocusControl(FExColGrid);
}

void TCustomExGridDropDown::UpdateDropDownControl()
{
    if (FExColGrid)
        SetControl(FExColGrid);
    TExCustomDropDown::UpdateDropDownControl();
}

void TCustomExGridDropDown::AttachGridEvents()
{
    TExColGrid& g = *FExColGrid;
    g.SetBlockFocusHandlers(
        [this](QObject*) {
            if (DropDownForm())
                DropDownForm()->SetBlockActivate(true);
        },
        [this](QObject*) {
            if (DropDownForm())
                DropDownForm()->SetBlockActivate(false);
        });
    g.OnSelect = [this](QObject*) { GridSelect(); };
    // The grid's keys reach the edit through the key forwarding of the open
    // popup (eventFilter), not through its key-down event.
    g.OnKeyDown = nullptr;
    g.OnAnchorClick = [this](QObject* s, int r, int c, const QString& anchor, bool& autoHandle) {
        DoGridAnchorClick(s, r, c, anchor, autoHandle);
    };
    g.OnAnchorEnter = [this](QObject* s, int r, int c, const QString& a) { DoGridAnchorEnter(s, r, c, a); };
    g.OnAnchorExit = [this](QObject* s, int r, int c, const QString& a) { DoGridAnchorExit(s, r, c, a); };
    g.OnAnchorHint = [this](QObject* s, int r, int c, QString& a) { DoGridAnchorHint(s, r, c, a); };
    g.OnButtonClick = [this](QObject* s, int c, int r) { DoGridButtonClick(s, c, r); };
    g.OnColumnSize = [this](QObject* s, int c, bool& allow) { DoGridColumnSize(s, c, allow); };
    g.OnColumnSizing = [this](QObject* s, int c, int size) { DoGridColumnSizing(s, c, size); };
    g.OnEndColumnSize = [this](QObject* s, int c) { DoGridEndColumnSize(s, c); };
    g.OnRowSize = [this](QObject* s, int r, bool& allow) { DoGridRowSize(s, r, allow); };
    g.OnRowSizing = [this](QObject* s, int r, int size) { DoGridRowSizing(s, r, size); };
    g.OnEndRowSize = [this](QObject* s, int r) { DoGridEndRowSize(s, r); };
    g.OnRowMove = [this](QObject* s, int r, bool& allow) { DoGridRowMove(s, r, allow); };
    g.OnRowMoving = [this](QObject* s, int r, bool& allow) { DoGridRowMoving(s, r, allow); };
    g.OnRowMoved = [this](QObject* s, int from, int to) { DoGridRowMoved(s, from, to); };
    g.OnColumnMove = [this](QObject* s, int c, bool& allow) { DoGridColumnMove(s, c, allow); };
    g.OnColumnMoving = [this](QObject* s, int c, bool& allow) { DoGridColumnMoving(s, c, allow); };
    g.OnColumnMoved = [this](QObject* s, int from, int to) { DoGridColumnMoved(s, from, to); };
    g.OnCustomCellDraw = nullptr;
    g.OnCustomCellBkgDraw = nullptr;
    if (OnGridCustomCellDraw)
        g.OnCustomCellDraw = [this](QObject* s, TCanvas& canvas, int c, int r, TGridDrawState st, const TRect& rect,
                                    bool printing) { DoGridCustomCellDraw(s, canvas, c, r, st, rect, printing); };
    if (OnGridCustomCellBkgDraw)
        g.OnCustomCellBkgDraw = [this](QObject* s, TCanvas& canvas, int c, int r, TGridDrawState st,
                                       const TRect& rect, bool printing) {
            DoGridCustomCellBkgDraw(s, canvas, c, r, st, rect, printing);
        };
    g.OnCellBalloon = [this](QObject* s, int c, int r, QString& title, QString& text, int& icon) {
        DoGridCellBalloon(s, c, r, title, text, icon);
    };
    g.OnGetAlignment = [this](QObject* s, int r, int c, TAlignment& hAlign, TVAlignment& vAlign) {
        DoGridGetAlignment(s, r, c, hAlign, vAlign);
    };
    g.OnGetCellColor = [this](QObject* s, int r, int c, TGridDrawState st, TBrush& brush, TFont& font) {
        DoGridGetCellColor(s, r, c, st, brush, font);
    };
    g.OnGetCellGradient = [this](QObject* s, int r, int c, TColor& color, TColor& colorTo, TColor& mirror,
                                 TColor& mirrorTo, TCellGradientDirection& gd) {
        DoGridGetCellGradient(s, r, c, color, colorTo, mirror, mirrorTo, gd);
    };
    g.OnGetFloatFormat = [this](QObject* s, int c, int r, bool& isFloat, QString& format) {
        DoGridGetFloatFormat(s, c, r, isFloat, format);
    };
    g.OnGetEditorType = [this](QObject* s, int c, int r, TEditorType& editor) { DoGridGetEditorType(s, c, r, editor); };
    g.OnGetEditorPropInt = [this](QObject* s, int r, int c) { DoGridGetEditorProp(s, r, c); };
    g.OnCanEditCell = [this](QObject* s, int r, int c, bool& canEdit) { DoGridCanEditCell(s, r, c, canEdit); };
    g.OnEllipsClick = [this](QObject* s, int c, int r, QString& text) { DoGridEllipsClick(s, c, r, text); };
    g.OnGetDisplText = [this](QObject* s, int c, int r, QString& value) { DoGridGetDiplText(s, c, r, value); };
    g.OnGetFormat = [this](QObject* s, int c, TSortStyle& style, QString& prefix, QString& suffix) {
        DoGridGetFormat(s, c, style, prefix, suffix);
    };
    g.OnGridHint = [this](QObject* s, int r, int c, QString& hint) { DoGridHint(s, r, c, hint); };
    g.OnMouseMove = [this](QObject* s, TShiftState shift, int x, int y) { DoGridMouseMove(s, shift, x, y); };
    g.OnMouseDown = [this](QObject* s, TMouseButton b, TShiftState shift, int x, int y) {
        DoGridMouseDown(s, b, shift, x, y);
    };
    g.OnMouseUp = [this](QObject* s, TMouseButton b, TShiftState shift, int x, int y) {
        DoGridMouseUp(s, b, shift, x, y);
    };
    g.OnRightClickCell = [this](QObject* s, int r, int c) { DoGridRightClickCell(s, r, c); };
    g.OnScrollHint = [this](QObject* s, int r, QString& hint) { DoGridScrollHint(s, r, hint); };
    g.OnTopLeftChanged = [this](QObject* s) { DoGridTopLeftChanged(s); };
    g.OnSearchEditChange = [this](QObject* s, const QString& value, bool& defaultSearch) {
        DoGridSearchEditChange(s, value, defaultSearch);
    };
    g.OnAutoAddRow = [this](QObject* s, int r) { DoGridAutoAddRow(s, r); };
    g.OnAutoInsertRow = [this](QObject* s, int r) { DoGridInsertRow(s, r); };
    g.OnAutoInsertCol = [this](QObject* s, int c) { DoGridInsertCol(s, c); };
    g.OnAutoDeleteRow = [this](QObject* s, int r) { DoGridDeleteRow(s, r); };
    g.OnCanAddRow = [this](QObject* s, bool& canAdd) { DoGridCanAddRow(s, canAdd); };
    g.OnCanInsertRow = [this](QObject* s, int r, bool& canInsert) { DoGridCanInsertRow(s, r, canInsert); };
    g.OnCanDeleteRow = [this](QObject* s, int r, bool& canDelete) { DoGridCanDeleteRow(s, r, canDelete); };
    g.OnCheckBoxClick = [this](QObject* s, int c, int r, bool state) {
        if (OnGridCheckBoxClick)
            OnGridCheckBoxClick(s, c, r, state);
    };
}

void TCustomExGridDropDown::BeforeDropDown()
{
    DropDownForm()->SetCancelOnDeActivate(false);
    if (!FExColGrid) {
        TExCustomDropDown::BeforeDropDown();
        return;
    }
    TExColGrid& g = *FExColGrid;
    g.LoadFromDropDown(this);
    g.SetColor(DropDownColor());
    g.SortSettings().SetShow(FSorting != gsNone);
    g.SortSettings().SetIndexShow(FSorting == gsMultiColumn);
    FBalloonInit = false;
    AttachGridEvents();
    g.SearchFooter().Assign(FSearchFooter.get());
    g.MouseActions().Assign(FMouseActions.get());
    g.Navigation().Assign(FNavigation.get());
    g.Bands().Assign(FBands.get());
    TGridOptions o = g.Options() & ~(goRowSelect | goEditing);
    if (FRowSelect)
        o |= goRowSelect;
    if (FGridEditable)
        o |= goEditing;
    g.SetOptions(o);
    g.SetGridImages(FGridImages);
    g.OnCanSort = [this](QObject*, int, bool&) { FTempItemIndex = FItemIndex; };
    g.OnClickSort = [this](QObject*, int) {
        const int row = RowOfItem(FTempItemIndex);
        if (FExColGrid && row >= FExColGrid->FixedRows() && row < FExColGrid->RowCount())
            FExColGrid->SetRow(row);
    };
    g.OnSelectCell = [this](QObject*, int, int row, bool&) { GridSelectCell(row); };
    g.SetComponentStyle(GetComponentStyle());
    g.SetBorderStyle(bsNone); // the popup draws the frame
    if (FUseItems) {
        TExCustomDropDown::BeforeDropDown();
        // Rows the last narrowing hid come back before the grid is filled
        // again; the narrowing is then applied to the new rows.
        const bool narrowed = g.NumHiddenRows() > 0;
        if (narrowed)
            g.RemoveAllFilters();
        g.SetRowCount(FItems->Count() + 1);
        g.SetFixedRows(1);
        g.FillFromItems();
        const QString entry = FLookupEntry.trimmed();
        if (narrowed && FLookupMethod == lmNarrowDown && !entry.isEmpty())
            g.NarrowDown(entry, FLookupColumn);
        const int row = RowOfItem(FItemIndex);
        if (row >= g.FixedRows() && row < g.RowCount())
            g.SetRow(row);
    } else {
        QString found;
        int row = -1;
        if (FindLookupMatch(Text(), found, row))
            g.SetRow(row);
        else if (g.RowCount() > g.FixedRows())
            g.SetRow(g.FixedRows());
    }
    if (g.SortSettings().Column() >= 0 && g.SortSettings().Show())
        g.QSort();
    FOldItemIndex = FItemIndex;
    if (!FUseItems)
        TExCustomDropDown::BeforeDropDown();
}

void TCustomExGridDropDown::UpdateDropDownSize()
{
    TExCustomDropDown::UpdateDropDownSize();
    if (!FDropDownAutoWidth || !FExColGrid || !DropDownForm())
        return;
    const int w = FExColGrid->GetTotalWidth();
    FExColGrid->SetWidth(w);
    DropDownForm()->resize(w + 2 * DropDownBorderWidth(), DropDownForm()->height());
    DropDownForm()->LayoutChildren();
}

void TCustomExGridDropDown::AdaptDropDownHeight(int& height)
{
    int b = 0;
    if (DropDownHeader().Visible())
        b += DropDownHeader().Height();
    if (DropDownFooter().Visible())
        b += DropDownFooter().Height();
    const int rowHeight = std::max(1, FDropDownRowHeight);
    const int r = std::max(0, (height - b - FHeaderHeight - 2) / rowHeight);
    height = b + FHeaderHeight + 2 + r * rowHeight + 4;
}

void TCustomExGridDropDown::DoShowDropDown()
{
    TExCustomDropDown::DoShowDropDown();
    if (!FExColGrid)
        return;
    TExColGrid& g = *FExColGrid;
    if (!FUseItems)
        while (FColumns->Count() < g.ColCount())
            FColumns->Add();
    if (!DroppedDown())
        return;
    FitColumnsToPopup();
    if (g.VisibleRowCount() + g.FixedRows() < g.RowCount()) {
        if (g.Row() >= g.TopRow() + g.VisibleRowCount() || g.Row() < g.TopRow())
            g.SetTopRow(std::max(g.FixedRows(), g.Row()));
    }
    FSelRow = g.Row();
    g.setFocusPolicy(Qt::StrongFocus);
    g.setFocus(Qt::PopupFocusReason);
}

void TCustomExGridDropDown::FitColumnsToPopup()
{
    if (!FColumnSizeWithDropDown || !FExColGrid || !DropDownForm())
        return;
    TExColGrid& g = *FExColGrid;
    const auto& columns = g.Columns();
    if (columns.Count() == 0)
        return;
    g.SetScrollBars(ssVertical);
    double total = 1;
    for (int i = 0; i < columns.Count(); ++i)
        total += std::max(0, columns.Items(i)->Width());
    // The grid's own width inside the popup's border: columns as wide as the
    // whole popup would scroll the grid sideways at every click.
    int available = DropDownForm()->width() - 2 * std::max(0, DropDownBorderWidth());
    if (g.VisibleRowCount() + g.FixedRows() < g.RowCount())
        available -= QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const double f = std::max(0, available) / total;
    double carry = 0;
    const int n = std::min(columns.Count(), g.ColCount());
    for (int i = 0; i < n; ++i) {
        const double exact = std::max(0, columns.Items(i)->Width()) * f;
        const int w = static_cast<int>(std::nearbyint(exact));
        carry += exact - w;
        if (carry > 1.0) {
            g.SetColWidths(i, w + 1);
            carry -= 1.0;
        } else {
            g.SetColWidths(i, w);
        }
    }
}

void TCustomExGridDropDown::DropDownResized()
{
    FitColumnsToPopup();
}

void TCustomExGridDropDown::GridSelectCell(int row)
{
    FSelRow = row;
    if (!FExColGrid || FExColGrid->MouseWheelSelection())
        return;
    if (FUseItems) {
        SetItemIndex(ItemOfRow(row));
    } else {
        SetText(FExColGrid->Cells(FLookupColumn, row));
        FItemIndex = row - FExColGrid->FixedRows();
    }
}

void TCustomExGridDropDown::GridSelect()
{
    if (!FExColGrid)
        return;
    if (FExColGrid->ConfirmSelection())
        SetItemIndex(FUseItems ? ItemOfRow(FExColGrid->Row()) : FExColGrid->Row() - 1);
    if (!FGridEditable)
        DoHideDropDown(false);
    if (OnSelect)
        OnSelect(this);
}

void TCustomExGridDropDown::DoHideDropDown(bool cancel)
{
    if (DropDownForm() && DropDownForm()->isVisible() && FExColGrid) {
        if (cancel)
            SetItemIndex(FOldItemIndex);
        else if (FExColGrid->ConfirmSelection())
            SetItemIndex(FUseItems ? ItemOfRow(FSelRow) : FSelRow - FExColGrid->FixedRows());
        FOldItemIndex = FItemIndex;
        FExColGrid->SetConfirmSelection(false);
    }
    TExCustomDropDown::DoHideDropDown(cancel);
}

void TCustomExGridDropDown::HandleMouseWheelDown()
{
    TExCustomDropDown::HandleMouseWheelDown();
    SelectNext();
}

void TCustomExGridDropDown::HandleMouseWheelUp()
{
    TExCustomDropDown::HandleMouseWheelUp();
    SelectPrevious();
}

// ---- typing ----------------------------------------------------------------

int TCustomExGridDropDown::LookupKey(QChar ch)
{
    if (FLookupMethod == lmNone)
        return -1;
    const QChar back(8), tab(9);
    const int pre = static_cast<int>(Prefix().size());
    if (ch == back) {
        if (!hasSelectedText()) {
            FLookupEntry.chop(1);
            SetText(FLookupEntry);
        } else {
            QString t = RawText();
            t.remove(selectionStart(), selectedText().size());
            SetRawText(t);
        }
        setCursorPosition(static_cast<int>(RawText().size() - Suffix().size()));
        return -1;
    }
    if (ch != tab)
        FLookupEntry += ch;
    const QString e = FLookupEntry.trimmed();
    auto selectAfter = [&](int typed) {
        const int len = static_cast<int>(Text().size());
        if (typed < len)
            setSelection(pre + len, -(len - typed));
    };
    if (FLookupMethod == lmNarrowDown) {
        if (FExColGrid) {
            if (e.isEmpty()) {
                FExColGrid->RemoveAllFilters();
            } else {
                FExColGrid->SetFixedRowAlways(true);
                FExColGrid->NarrowDown(e, FLookupColumn);
            }
            if (FStyle == dsDropDown && FExColGrid->RowCount() > FExColGrid->FixedRows()) {
                SetText(FExColGrid->Cells(FLookupColumn, FExColGrid->FixedRows()));
                selectAfter(static_cast<int>(e.size()));
            }
            return FExColGrid->FixedRows();
        }
        return 1;
    }
    QString found;
    int row = -1;
    const int fixed = FExColGrid ? FExColGrid->FixedRows() : 1;
    if (FindLookupMatch(e, found, row)) {
        SetItemIndex(FUseItems ? row : row - fixed);
        SetText(found);
        if (FStyle == dsDropDown)
            selectAfter(static_cast<int>(e.size()));
        return row;
    }
    if (FStyle == dsDropDown)
        return -1;
    if (FindLookupMatch(QString(ch), found, row)) {
        SetItemIndex(FUseItems ? row : row - fixed);
        SetText(found);
        FLookupEntry = QString(ch);
        return row;
    }
    FLookupEntry.clear();
    return -1;
}

void TCustomExGridDropDown::Change()
{
    FItemChange = false;
    TExCustomDropDown::Change();
    if (!workmode || FInChange || !FTyping || FLookupItems.isEmpty())
        return;
    FInChange = true;
    const QString text = Text();
    SetModifiedState(text != FOldValue);
    const int pre = static_cast<int>(Prefix().size());
    const int caret = std::clamp(cursorPosition() - pre, 0, static_cast<int>(text.size()));
    const QString p = text.left(caret);
    const QString c = MatchCaseText(p, FMatchCase);
    bool found = false;
    if (!c.isEmpty()) {
        for (int i = 0; i < FLookupItems.size(); ++i) {
            const QString& entry = FLookupItems[i];
            if (!StartsWithMatchCase(entry, c, FMatchCase))
                continue;
            const QString completed = text.left(c.size()) + entry.mid(c.size()).left(255);
            FItemIndex = i;
            FItemIdx = i;
            FItemSel = static_cast<int>(c.size());
            FItemChange = true;
            SetRawText(Prefix() + completed + Suffix());
            setSelection(pre + static_cast<int>(completed.size()), -static_cast<int>(completed.size() - c.size()));
            found = true;
            break;
        }
    }
    if (!found && !p.isEmpty() && p != text) {
        SetRawText(Prefix() + p + Suffix());
        setCursorPosition(pre + static_cast<int>(p.size()));
    }
    FInChange = false;
}

void TCustomExGridDropDown::KeyDown(int& key, TShiftState shift)
{
    FKeyDownReached = true;
    if (FGridEditable && FExColGrid && FExColGrid->EditorMode() && key == VK_RETURN && !(shift & ssShift)) {
        FExColGrid->HideInplaceEdit();
        SetText(FExColGrid->Cells(FLookupColumn, FExColGrid->Row()));
        FItemIndex = FExColGrid->Row() - FExColGrid->FixedRows();
        key = 0;
        return;
    }
    if (FLookupColumn < 0 || FItems->Count() == 0) {
        TExCustomDropDown::KeyDown(key, shift);
        return;
    }
    if (key == VK_BACK || key == VK_ESCAPE || key == VK_DELETE)
        workmode = false;
    else if (key != VK_RETURN)
        workmode = true;
    if (key == VK_RETURN) {
        const QString text = Text();
        for (int i = 0; i < FLookupItems.size(); ++i) {
            if (FLookupItems[i].compare(text, Qt::CaseInsensitive) == 0) {
                SetText(FLookupItems[i]);
                SetItemIndex(i);
                Change();
                break;
            }
        }
    }
    const int k = key;
    if (k == VK_ESCAPE || (k >= VK_PRIOR && k <= VK_DOWN))
        FLookupEntry.clear();
    TExCustomDropDown::KeyDown(key, shift);
    // An empty lookup list knows no texts: the item stays as it is.
    if (k == VK_ESCAPE && !FLookupItems.isEmpty())
        SetItemIndex(FLookupItems.indexOf(Text()));
}

void TCustomExGridDropDown::KeyPress(QChar& key)
{
    if (key == QChar(13) && ReturnIsTab()) {
        key = QChar();
        return;
    }
    TExCustomDropDown::KeyPress(key);
}

bool TCustomExGridDropDown::HandleKeyPress(QKeyEvent* e)
{
    const int key = VirtualKeyFromQt(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    if (key == VK_RETURN && FExColGrid)
        FExColGrid->SetConfirmSelection(true);
    bool used = false;
    FTyping = true;
    FKeyDownReached = false;
    try {
        used = TExCustomDropDown::HandleKeyPress(e);
    } catch (...) {
        FTyping = false;
        throw;
    }
    FTyping = false;
    // A descendant that took the key before this class saw it (a grid
    // editor ending the edit) leaves nothing more to do.
    if (key != 0 && !FKeyDownReached)
        return used;
    if (isEnabled() && !(shift & ssAlt)) {
        switch (key) {
        case VK_PRIOR:
            FLookupEntry.clear();
            SelectPreviousPage();
            return true;
        case VK_NEXT:
            FLookupEntry.clear();
            SelectNextPage();
            return true;
        case VK_END:
            FLookupEntry.clear();
            if (!(shift & ssShift) && FStyle == dsDropDownList)
                SelectLast();
            return used;
        case VK_HOME:
            FLookupEntry.clear();
            if (!(shift & ssShift) && FStyle == dsDropDownList)
                SelectFirst();
            return used;
        case VK_UP:
            FLookupEntry.clear();
            SelectPrevious();
            return true;
        case VK_DOWN:
            FLookupEntry.clear();
            SelectNext();
            return true;
        default: break;
        }
    }
    const QString typed = e->text();
    if (key != 0 && !typed.isEmpty() && !(shift & (ssCtrl | ssAlt))) {
        const QChar ch = key == VK_BACK ? QChar(8) : typed[0];
        if (ch == QChar(8) || ch.isPrint()) {
            LookupKey(ch);
            if (FAutoShowDropDown && !DroppedDown())
                DoShowDropDown();
        }
    }
    return used;
}

void TCustomExGridDropDown::keyReleaseEvent(QKeyEvent* e)
{
    const int key = VirtualKeyFromQt(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    if (!(key == VK_RETURN && ReturnIsTab()))
        TExCustomDropDown::keyReleaseEvent(e);
    RunGuarded([&] { KeyUpDone(key, shift); });
}

void TCustomExGridDropDown::KeyUpDone(int key, TShiftState shift)
{
    if (FGridEditable && FExColGrid && FExColGrid->EditorMode() && key == VK_RETURN && !(shift & ssShift)) {
        if (FExColGrid->Col() == FLookupColumn)
            DoHideDropDown(false);
        else
            FExColGrid->HideInplaceEdit();
    }
    if (FItemChange) {
        SetItemIndex(FItemIdx);
        const int pre = static_cast<int>(Prefix().size());
        const int len = static_cast<int>(Text().size());
        if (FItemSel < len)
            setSelection(pre + len, -(len - FItemSel));
        FItemChange = false;
    }
}

void TCustomExGridDropDown::focusInEvent(QFocusEvent* e)
{
    TExCustomDropDown::focusInEvent(e);
    // Coming back from the own popup is not entering the control.
    if (e->reason() == Qt::PopupFocusReason || DroppedDown())
        return;
    RunGuarded([this] {
        if (FExColGrid && FExColGrid->NumHiddenRows() > 0)
            FExColGrid->RemoveAllFilters();
        FLookupEntry.clear();
        FOldValue = Text();
    });
}

// ---- keys of the open grid -------------------------------------------------

bool TCustomExGridDropDown::eventFilter(QObject* watched, QEvent* e)
{
    if (FExColGrid && watched == FExColGrid) {
        if (e->type() == QEvent::KeyPress) {
            bool consumed = false;
            RunGuarded([&] { consumed = ControlKeyDown(static_cast<QKeyEvent*>(e)); });
            return consumed;
        }
        if (e->type() == QEvent::KeyRelease) {
            RunGuarded([&] { ControlKeyUp(static_cast<QKeyEvent*>(e)); });
            return false;
        }
        return false;
    }
    return TExCustomDropDown::eventFilter(watched, e);
}

namespace {

bool IsGridNavigationKey(int key)
{
    return key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_HOME || key == VK_UP || key == VK_DOWN;
}

} // namespace

bool TCustomExGridDropDown::ControlKeyDown(QKeyEvent* e)
{
    int key = VirtualKeyFromQt(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    FExColGrid->SetConfirmSelection(true);
    bool consumed = false;
    const QString typed = e->text();
    const bool alt = (shift & ssAlt) != 0;
    if (IsGridNavigationKey(key) && !alt) {
        consumed = false; // the grid moves its row
    } else if (FExColGrid->EditorMode()) {
        consumed = false; // the inplace editor has it
    } else if (key == VK_RETURN && !alt) {
        // The grid confirms its row, as its own Enter does.
        FLookupEntry.clear();
        FExColGrid->DoSelect();
        consumed = true;
    } else if ((key == VK_BACK || (!typed.isEmpty() && typed[0].isPrint())) && !(shift & (ssCtrl | ssAlt))) {
        if (FGridEditable)
            return false;
        ControlKeyPress(key == VK_BACK ? QChar(8) : typed[0]);
        consumed = true;
    } else {
        if (key == VK_ESCAPE)
            FLookupEntry.clear();
        HandleKeyPress(e);
        consumed = true;
    }
    DoGridKeyDown(this, key, shift);
    return consumed;
}

void TCustomExGridDropDown::ControlKeyUp(QKeyEvent* e)
{
    int key = VirtualKeyFromQt(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    if (IsGridNavigationKey(key) && !(shift & ssAlt))
        FLookupEntry.clear();
    else if (!FExColGrid->EditorMode() || key == VK_RETURN)
        TExCustomDropDown::ControlKeyUp(e);
    DoGridKeyUp(this, key, shift);
}

void TCustomExGridDropDown::ControlKeyPress(QChar ch)
{
    TExColGrid& g = *FExColGrid;
    if (FGridEditable) {
        FLookupEntry.clear();
    } else {
        int r = LookupKey(ch);
        if (r >= 0 && FUseItems && FLookupMethod == lmLookup)
            r = RowOfItem(r);
        if (r < g.FixedRows() || r >= g.RowCount()) {
            if (ch != QChar(8))
                FLookupEntry.clear();
        } else {
            if (g.VisibleRowCount() + g.FixedRows() < g.RowCount())
                g.SetTopRow(r);
            g.SetCol(0);
            g.SetRow(r);
            g.RepaintRow(r);
        }
    }
    DoGridKeyPress(this, ch);
}

// ---- looks -----------------------------------------------------------------

void TCustomExGridDropDown::SetSelectionColorStyle(TSelectionColorStyle style)
{
    switch (style) {
    case scOffice2007:
        FLineColor = 0xF1EDEB;
        FFixedLineColor = 0xD1BBA4;
        break;
    case scWindowsVista:
    case scWindows7:
        FLineColor = 0xECECF0;
        FFixedLineColor = 0xD4D2D1;
        break;
    default: break;
    }
    TExCustomDropDown::SetSelectionColorStyle(style);
}

void TCustomExGridDropDown::SetComponentStyle(TQRVStyle style)
{
    TExCustomDropDown::SetComponentStyle(style);
    struct Look
    {
        TQRVStyle style;
        TColor from, to, font; // font clNone: unchanged
        TSelectionColorStyle selection;
        TColor line, fixedLine, text;
    };
    static const Look looks[] = {
        {tsOffice2003Blue, 0xD68759, 0x933803, 0xFFFFFF, scOffice2007, 0x962D00, 0x962D00, clBlack},
        {tsOffice2003Silver, 0xBDA4A5, 0x957475, clNone, scOffice2007, 0x947C7C, 0x947C7C, clBlack},
        {tsOffice2003Olive, 0x82C0AF, 0x447A63, clNone, scOffice2007, 0x588060, 0x588060, clBlack},
        {tsOffice2003Classic, 0x808080, 0x808080, clNone, scOffice2007, 0x808080, 0x808080, clBlack},
        {tsOffice2007Luna, 0xFFEFE3, 0xFFD2AF, 0x723708, scOffice2007, 0xFFD2AF, 0xFFD2AF, clBlack},
        {tsOffice2007Obsidian, 0xF2F1F0, 0xC9C2BD, 0x433C37, scOffice2007, 0x5C534C, 0x5C534C, clBlack},
        {tsWindowsXP, clBtnFace, clBtnFace, 0x000000, scCustom, 0xC0C0C0, 0x000000, clHighlightText},
        {tsWhidbey, 0xEBEEEF, 0x7E9898, 0xFFFFFF, scOffice2007, 0x962D00, 0x962D00, clBlack},
        {tsOffice2007Silver, 0xF8F7F6, 0xE8E0DB, 0x8B4215, scOffice2007, 0x74706F, 0x74706F, clBlack},
        {tsWindowsVista, 0xFFFDF9, 0xFFFAF0, 0x000000, scWindowsVista, 0xFCF2DA, 0xFCF2DA, clBlack},
        {tsWindows7, 0xFDFBFA, 0xFDF3EB, 0x000000, scWindows7, 0xFBD6B8, 0xFBD6B8, clBlack},
        {tsTerminal, clBtnFace, clBtnFace, 0x000000, scCustom, 0x808080, 0x808080, clHighlightText},
    };
    for (const Look& l : looks) {
        if (l.style != style)
            continue;
        FHeaderColor = l.from;
        FHeaderColorTo = l.to;
        if (l.font != clNone)
            FHeaderFont.SetColor(l.font);
        SetSelectionColorStyle(l.selection);
        if (l.selection == scCustom) {
            SetSelectionColor(clHighlight);
            SetSelectionColorTo(clHighlight);
        }
        FLineColor = l.line;
        FFixedLineColor = l.fixedLine;
        FSelectionTextColor = l.text;
        return;
    }
}
