#pragma once

// The grid drop-down: an edit whose popup holds a full string grid (the list
// grid TExColGrid), filled from the drop-down's columns and items or by the
// owner directly (UseItems false). One column, LookupColumn, is the value:
// choosing a row writes its text into the edit, and typing either jumps to
// the first row whose lookup text starts with the typed text (lmLookup) or
// narrows the rows down to those that contain it (lmNarrowDown, the grid's
// filter).
//
// Rows and items: the object of a data row's first cell is its item index,
// so that it travels with the row when the grid sorts, filters or moves
// rows; ItemOfRow and RowOfItem map between the two. Grid rows count the
// fixed header row, items do not.
//
// The column and item classes and the list grid share their names with the
// multi-column drop-down's own; they live in the namespace GridDropDown.

#include "controls/ExDropDown.h"
#include "grid/ExGrid.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class TCustomExGridDropDown;

enum class TLookupMethod { lmLookup, lmNarrowDown, lmNone };
using enum TLookupMethod;
enum class TDropDownStyle { dsDropDown, dsDropDownList };
using enum TDropDownStyle;
enum class TGridSorting { gsNone, gsSingleColumn, gsMultiColumn };
using enum TGridSorting;

namespace GridDropDown {

enum class TColumnType { ctText, ctImage };

class TDropDownColumn
{
public:
    bool Wordwrap() const { return FWordwrap; }
    void SetWordwrap(bool v) { FWordwrap = v; }
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    QString Header() const { return FHeader; }
    void SetHeader(const QString& v) { FHeader = v; }
    platform::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(platform::TAlignment v) { FAlignment = v; }
    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v) { FColor = v; }
    TColumnType ColumnType() const { return FColumnType; }
    void SetColumnType(TColumnType v) { FColumnType = v; }
    platform::TFont& Font() { return FFont; }
    const platform::TFont& Font() const { return FFont; }
    void SetFont(const platform::TFont& f) { FFont.Assign(f); }
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool v) { FEllipsis = v; }
    void Assign(const TDropDownColumn& source);

private:
    bool FWordwrap = false;
    int FWidth = 80;
    bool FAutoSize = false;
    QString FHeader;
    platform::TAlignment FAlignment = platform::taLeftJustify;
    platform::TColor FColor = platform::clWhite;
    TColumnType FColumnType = TColumnType::ctText;
    platform::TFont FFont;
    bool FEllipsis = false;
};

class TDropDownColumns
{
public:
    explicit TDropDownColumns(QObject* owner = nullptr) : owner_(owner) {}
    QObject* GetOwner() const { return owner_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TDropDownColumn* Add();
    // An index outside 0..Count inserts at the end.
    TDropDownColumn* Insert(int index);
    TDropDownColumn* Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
    void SetItems(int index, const TDropDownColumn& source) { Items(index)->Assign(source); }
    void Delete(int index);
    void Clear() { items_.clear(); }
    void Assign(const TDropDownColumns& source);

    std::function<void()> OnChange; // declared, never raised

private:
    QObject* owner_;
    std::vector<std::unique_ptr<TDropDownColumn>> items_;
};

class TDropDownItem
{
public:
    virtual ~TDropDownItem() = default;
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    // One text per column, the first for column 0.
    QStringList& Text() { return FText; }
    const QStringList& Text() const { return FText; }
    void SetText(const QStringList& t) { FText = t; }
    // The text of column i, empty when the item has fewer texts.
    QString TextOf(int i) const { return i >= 0 && i < FText.size() ? FText[i] : QString(); }
    // Image index and texts: a copy of the items is a copy of what they show.
    virtual void Assign(const TDropDownItem& source);

private:
    int FImageIndex = -1;
    QStringList FText;
};

class TDropDownItems
{
public:
    explicit TDropDownItems(QObject* owner = nullptr) : owner_(owner) {}
    virtual ~TDropDownItems() = default;
    QObject* GetOwner() const { return owner_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TDropDownItem* Add();
    // An index outside 0..Count inserts at the end.
    TDropDownItem* Insert(int index);
    TDropDownItem* Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
    void SetItems(int index, const TDropDownItem& source) { Items(index)->Assign(source); }
    void Delete(int index);
    void Clear() { items_.clear(); }
    void Reserve(int n) { items_.reserve(static_cast<size_t>(std::max(0, n))); }
    void Assign(const TDropDownItems& source);
    // The first item whose text number column equals value exactly, else -1.
    int IndexInColumn(int column, const QString& value) const;

    std::function<void()> OnChange; // declared, never raised

protected:
    // The item class of the collection; a descendant may give its own.
    virtual std::unique_ptr<TDropDownItem> GetItemClass() const { return std::make_unique<TDropDownItem>(); }

private:
    QObject* owner_;
    std::vector<std::unique_ptr<TDropDownItem>> items_;
};

using TDrawCellEvent = std::function<void(QObject* sender, int column, int row, platform::TCanvas& canvas,
                                          const platform::TRect& rect)>;
using TGetCellPropEvent = std::function<void(QObject* sender, int column, int row, platform::TFont& font,
                                             platform::TColor& color, platform::TColor& colorTo)>;
using TGetCellTextEvent = std::function<void(QObject* sender, int column, int row, QString& text)>;

// The list grid of the popup.
class TExColGrid : public TExStringGrid
{
public:
    explicit TExColGrid(QWidget* owner = nullptr);
    ~TExColGrid() override;

    void SetDropDown(TCustomExGridDropDown* dropDown) { FExDropDown = dropDown; }
    TCustomExGridDropDown* DropDown() const { return FExDropDown; }
    TDropDownColumns& Columns() { return *FColumns; }
    void SetColumns(const TDropDownColumns& c) { FColumns->Assign(c); }
    platform::TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(platform::TColor v) { FHeaderColor = v; }
    platform::TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(platform::TColor v) { FHeaderColorTo = v; }
    platform::TColor LineColor() const { return FLineColor; }
    void SetLineColor(platform::TColor v) { FLineColor = v; }
    platform::TColor FixedLineColor() const { return FFixedLineColor; }
    void SetFixedLineColor(platform::TColor v) { FFixedLineColor = v; }
    const platform::TImageList* Images() const { return FImages; }
    void SetImages(const platform::TImageList* v) { FImages = v; }
    int HeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int v) { FHeaderHeight = v; }
    platform::TFont& HeaderFont() { return FHeaderFont; }
    void SetHeaderFont(const platform::TFont& f) { FHeaderFont.Assign(f); }
    int OwnGridLineWidth() const { return FGridLineWidth; }
    void SetOwnGridLineWidth(int v);

    // The width the grid needs: border, columns and a scroll bar when not
    // all rows fit.
    int GetTotalWidth();
    void FillFromItems();
    void LoadFromDropDown(TCustomExGridDropDown* dropDown);
    void AutoSizeColumn(int column);
    void AutoSizeColumnsFromItems();
    void AutoSizeRows();

    // The current row was chosen by key or mouse (not by the wheel): an
    // accepted close takes it.
    bool ConfirmSelection() const { return FConfirmSelection; }
    void SetConfirmSelection(bool v) { FConfirmSelection = v; }
    bool MouseWheelSelection() const { return FMouseWheelSelection; }
    // The item index stored with a data row, -1 when none is stored.
    int StoredItemIndex(int row) const;

    virtual void DoSelect();

    TDrawCellEvent OnDrawCell;       // stored, never raised
    TGetCellPropEvent OnGetCellProp; // stored, never raised
    TGetCellTextEvent OnGetCellText; // stored, never raised
    platform::TNotifyEvent OnSelect;

    // Start and end of a move's floating drag picture.
    void SetBlockFocusHandlers(platform::TNotifyEvent start, platform::TNotifyEvent end)
    {
        FOnStartBlockFocus = std::move(start);
        FOnEndBlockFocus = std::move(end);
    }

protected:
    void Notification(QObject* component, platform::TOperation operation) override;
    void WndProc(platform::TMessage& message) override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool WantsKey(int key) const override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    bool DoMouseWheelDown(platform::TShiftState shift, const platform::TPoint& mousePos) override;
    bool DoMouseWheelUp(platform::TShiftState shift, const platform::TPoint& mousePos) override;

private:
    // The objects that carry item indexes in the rows' first cells.
    class TItemRef : public platform::TObject
    {
    public:
        explicit TItemRef(int index) : Index(index) {}
        int Index;
    };
    platform::TObject* ItemRef(int index);
    bool InPopup() const;
    // Text and image of item (row - 1) in column c, or of the cell.
    void RowContent(int column, int row, QString& text, int& imageIndex) const;

    TCustomExGridDropDown* FExDropDown = nullptr;
    std::unique_ptr<TDropDownColumns> FColumns;
    platform::TColor FHeaderColor = platform::clWhite, FHeaderColorTo = platform::clGray,
                     FLineColor = platform::clGray;
    const platform::TImageList* FImages = nullptr;
    int FHeaderHeight = 25;
    platform::TFont FHeaderFont;
    platform::TColor FFixedLineColor = platform::clGray;
    int FGridLineWidth = 1;
    int FOldRow = 0;
    bool FMouseWheelSelection = false;
    bool FConfirmSelection = false;
    std::vector<std::unique_ptr<TItemRef>> FItemRefs;
    TItemRef FHeaderRef{-1};
};

} // namespace GridDropDown

class TCustomExGridDropDown : public TExCustomDropDown
{
public:
    using TDropDownColumns = GridDropDown::TDropDownColumns;
    using TDropDownItems = GridDropDown::TDropDownItems;
    using TExColGrid = GridDropDown::TExColGrid;

    explicit TCustomExGridDropDown(QWidget* parent = nullptr);
    ~TCustomExGridDropDown() override;

    // ---- properties
    TDropDownItems& Items() { return *FItems; }
    void SetItems(const TDropDownItems& v) { FItems->Assign(v); }
    TDropDownColumns& Columns() { return *FColumns; }
    void SetColumns(const TDropDownColumns& v) { FColumns->Assign(v); }
    bool UseItems() const { return FUseItems; }
    void SetUseItems(bool v) { FUseItems = v; }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int v);
    int LookupColumn() const { return FLookupColumn; }
    void SetLookupColumn(int v) { FLookupColumn = v; }
    TLookupMethod LookupMethod() const { return FLookupMethod; }
    void SetLookupMethod(TLookupMethod v) { FLookupMethod = v; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool v) { FCaseSensitive = v; }
    bool MatchCase() const { return FMatchCase; }
    void SetMatchCase(bool v) { FMatchCase = v; }
    bool MatchStart() const { return FMatchStart; }
    void SetMatchStart(bool v) { FMatchStart = v; }
    TDropDownStyle Style() const { return FStyle; }
    void SetStyle(TDropDownStyle v);
    bool AutoShowDropDown() const { return FAutoShowDropDown; }
    void SetAutoShowDropDown(bool v) { FAutoShowDropDown = v; }
    TGridSorting Sorting() const { return FSorting; }
    void SetSorting(TGridSorting v) { FSorting = v; }
    bool GridEditable() const { return FGridEditable; }
    void SetGridEditable(bool v) { FGridEditable = v; }
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool v) { FRowSelect = v; }
    bool ColumnSizing() const { return FColumnSizing; }
    void SetColumnSizing(bool v) { FColumnSizing = v; }
    bool ColumnMoving() const { return FColumnMoving; }
    void SetColumnMoving(bool v) { FColumnMoving = v; }
    bool RowSizing() const { return FRowSizing; }
    void SetRowSizing(bool v) { FRowSizing = v; }
    bool RowMoving() const { return FRowMoving; }
    void SetRowMoving(bool v) { FRowMoving = v; }
    bool AutoSizeColumns() const { return FAutoSizeColumns; }
    void SetAutoSizeColumns(bool v) { FAutoSizeColumns = v; }
    bool ColumnSizeWithDropDown() const { return FColumnSizeWithDropDown; }
    void SetColumnSizeWithDropDown(bool v) { FColumnSizeWithDropDown = v; }
    bool DropDownAutoWidth() const { return FDropDownAutoWidth; }
    void SetDropDownAutoWidth(bool v) { FDropDownAutoWidth = v; }
    int DropDownRowHeight() const { return FDropDownRowHeight; }
    // At least 1: the popup's height is counted in whole rows.
    void SetDropDownRowHeight(int v) { FDropDownRowHeight = std::max(1, v); }
    int HeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int v) { FHeaderHeight = v; }
    platform::TFont& HeaderFont() { return FHeaderFont; }
    void SetHeaderFont(const platform::TFont& f) { FHeaderFont.Assign(f); }
    platform::TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(platform::TColor v) { FHeaderColor = v; }
    platform::TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(platform::TColor v) { FHeaderColorTo = v; }
    platform::TColor LineColor() const { return FLineColor; }
    void SetLineColor(platform::TColor v) { FLineColor = v; }
    platform::TColor FixedLineColor() const { return FFixedLineColor; }
    void SetFixedLineColor(platform::TColor v) { FFixedLineColor = v; }
    platform::TColor SelectionTextColor() const { return FSelectionTextColor; }
    void SetSelectionTextColor(platform::TColor v) { FSelectionTextColor = v; }
    bool HoverRow() const { return FHoverRow; }
    void SetHoverRow(bool v) { FHoverRow = v; }
    platform::TColor HoverRowColor() const { return FHoverRowColor; }
    void SetHoverRowColor(platform::TColor v) { FHoverRowColor = v; }
    platform::TColor HoverRowColorTo() const { return FHoverRowColorTo; }
    void SetHoverRowColorTo(platform::TColor v) { FHoverRowColorTo = v; }
    platform::TImageList* GridImages() const { return FGridImages; }
    void SetGridImages(platform::TImageList* v);
    TSearchFooter& SearchFooter() { return *FSearchFooter; }
    TNavigation& Navigation() { return *FNavigation; }
    TMouseActions& MouseActions() { return *FMouseActions; }
    TBands& Bands() { return *FBands; }
    int RowCount() const { return FItems->Count(); }
    std::uint32_t GetVersionNr() const override { return 0x06000101; }

    // ---- operations
    TExColGrid* InnerGrid() const { return FExColGrid; }
    void BeginUpdate() {}
    // Rebuilds the lookup list from the items.
    void EndUpdate();
    void Loaded();
    // True when an item (UseItems) or a grid row has a lookup text starting
    // with text; row is the item index, or the grid row without UseItems.
    bool FindLookupMatch(const QString& text, QString& foundText, int& row) const;
    int EntryCount() const;
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void SelectNextPage();
    void SelectPreviousPage();
    int ItemOfRow(int row) const;
    int RowOfItem(int item) const;
    // The lookup-column texts of the items (the auto-completion list).
    const QStringList& LookupItems() const { return FLookupItems; }
    // The text typed since the last reset.
    QString LookupEntry() const { return FLookupEntry; }

    // ---- events
    platform::TNotifyEvent OnSelect;
    // The inner grid's events, relayed with the grid as sender; the key
    // events have the drop-down as sender.
    TAnchorClickEvent OnGridAnchorClick;
    TAnchorEvent OnGridAnchorEnter, OnGridAnchorExit;
    TAnchorHintEvent OnGridAnchorHint;
    TButtonClickEvent OnGridButtonClick;
    TCanSortEvent OnGridCanSort;             // never raised
    TClickSortEvent OnGridClickSort;         // never raised
    TCustomCompareEvent OnGridCustomCompare; // never raised
    TRawCompareEvent OnGridRawCompare;       // never raised
    TColumnSizeEvent OnGridColumnSize;
    TColumnSizingEvent OnGridColumnSizing;
    TEndColumnSizeEvent OnGridEndColumnSize;
    TRowSizeEvent OnGridRowSize;
    TRowSizingEvent OnGridRowSizing;
    TEndRowSizeEvent OnGridEndRowSize;
    TRowSizeEvent OnGridRowMove, OnGridRowMoving;
    platform::TMovedEvent OnGridRowMoved;
    TColumnSizeEvent OnGridColumnMove, OnGridColumnMoving;
    platform::TMovedEvent OnGridColumnMoved;
    TCustomCellDrawEvent OnGridCustomCellDraw, OnGridCustomCellBkgDraw;
    TGridBalloonEvent OnGridCellBalloon;
    TGridAlignEvent OnGridGetAlignment;
    TGridColorEvent OnGridGetCellColor;
    TGridGradientEvent OnGridGetCellGradient;
    TFloatFormatEvent OnGridGetFloatFormat;
    TGetEditorTypeEvent OnGridGetEditorType;
    decltype(TExStringGrid::OnGetEditorPropInt) OnGridGetEditorProp;
    TCanEditCellEvent OnGridCanEditCell;
    TEllipsClickEvent OnGridEllipsClick;
    TGetDisplTextEvent OnGridGetDiplText;
    TGridFormatEvent OnGridGetFormat;
    TGridHintEvent OnGridHint;
    platform::TMouseMoveEvent OnGridMouseMove;
    platform::TMouseEvent OnGridMouseDown, OnGridMouseUp;
    platform::TKeyEvent OnGridKeyDown, OnGridKeyUp;
    platform::TKeyPressEvent OnGridKeyPress;
    TClickCellEvent OnGridRightClickCell;
    TScrollHintEvent OnGridScrollHint;
    platform::TNotifyEvent OnGridTopLeftChanged;
    decltype(TExStringGrid::OnSearchEditChange) OnGridSearchEditChange;
    TSpinClickEvent OnGridSpinClick; // never raised
    decltype(TExStringGrid::OnAutoAddRow) OnGridAutoAddRow;
    decltype(TExStringGrid::OnAutoInsertRow) OnGridInsertRow;
    decltype(TExStringGrid::OnAutoInsertCol) OnGridInsertCol;
    decltype(TExStringGrid::OnAutoDeleteRow) OnGridDeleteRow;
    decltype(TExStringGrid::OnCanAddRow) OnGridCanAddRow;
    decltype(TExStringGrid::OnCanInsertRow) OnGridCanInsertRow;
    decltype(TExStringGrid::OnCanDeleteRow) OnGridCanDeleteRow;
    TCheckBoxClickEvent OnGridCheckBoxClick;

    // ---- steps of the drop-down
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void AdaptDropDownHeight(int& height) override;
    void DoShowDropDown() override;
    void UpdateDropDownControl() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool cancel) override;
    void DropDownResized() override;
    void HandleMouseWheelDown() override;
    void HandleMouseWheelUp() override;
    void SetSelectionColorStyle(TSelectionColorStyle style) override;
    void SetComponentStyle(TQRVStyle style) override;
    bool HandleKeyPress(QKeyEvent* e) override;

protected:
    virtual std::unique_ptr<TDropDownItems> CreateItems(QObject* owner);
    // Relays of the inner grid's events: each raises the event of its name
    // with the grid's arguments. Attached before every showing; a descendant
    // may override them. The sort, compare and spin ones are never raised by
    // the grid, the key ones by ControlKeyDown, ControlKeyUp, ControlKeyPress.
    virtual void DoGridAnchorClick(QObject* sender, int aRow, int aCol, const QString& anchor, bool& autoHandle);
    virtual void DoGridAnchorEnter(QObject* sender, int aRow, int aCol, const QString& anchor);
    virtual void DoGridAnchorExit(QObject* sender, int aRow, int aCol, const QString& anchor);
    virtual void DoGridAnchorHint(QObject* sender, int aRow, int aCol, QString& anchor);
    virtual void DoGridButtonClick(QObject* sender, int aCol, int aRow);
    virtual void DoGridCanSort(QObject* sender, int aCol, bool& doSort);
    virtual void DoGridClickSort(QObject* sender, int aCol);
    virtual void DoGridCustomCompare(QObject* sender, const QString& str1, const QString& str2, int& res);
    virtual void DoGridRawCompare(QObject* sender, int aCol, int row1, int row2, int& res);
    virtual void DoGridColumnSize(QObject* sender, int aCol, bool& allow);
    virtual void DoGridColumnSizing(QObject* sender, int aCol, int columnSize);
    virtual void DoGridEndColumnSize(QObject* sender, int aCol);
    virtual void DoGridRowSize(QObject* sender, int aRow, bool& allow);
    virtual void DoGridRowSizing(QObject* sender, int aRow, int rowSize);
    virtual void DoGridEndRowSize(QObject* sender, int aRow);
    virtual void DoGridRowMove(QObject* sender, int aRow, bool& allow);
    virtual void DoGridRowMoving(QObject* sender, int aRow, bool& allow);
    virtual void DoGridRowMoved(QObject* sender, int fromIndex, int toIndex);
    virtual void DoGridColumnMove(QObject* sender, int aCol, bool& allow);
    virtual void DoGridColumnMoving(QObject* sender, int aCol, bool& allow);
    virtual void DoGridColumnMoved(QObject* sender, int fromIndex, int toIndex);
    virtual void DoGridCustomCellDraw(QObject* sender, platform::TCanvas& canvas, int aCol, int aRow,
                                      platform::TGridDrawState aState, platform::TRect aRect, bool printing);
    virtual void DoGridCustomCellBkgDraw(QObject* sender, platform::TCanvas& canvas, int aCol, int aRow,
                                         platform::TGridDrawState aState, platform::TRect aRect, bool printing);
    virtual void DoGridCellBalloon(QObject* sender, int aCol, int aRow, QString& aTitle, QString& aText, int& aIcon);
    virtual void DoGridGetAlignment(QObject* sender, int aRow, int aCol, platform::TAlignment& hAlign,
                                    TVAlignment& vAlign);
    virtual void DoGridGetCellColor(QObject* sender, int aRow, int aCol, platform::TGridDrawState aState,
                                    platform::TBrush& aBrush, platform::TFont& aFont);
    virtual void DoGridGetCellGradient(QObject* sender, int aRow, int aCol, platform::TColor& color,
                                       platform::TColor& colorTo, platform::TColor& colorMirror,
                                       platform::TColor& colorMirrorTo, TCellGradientDirection& gd);
    virtual void DoGridGetFloatFormat(QObject* sender, int aCol, int aRow, bool& isFloat, QString& floatFormat);
    virtual void DoGridGetEditorType(QObject* sender, int aCol, int aRow, TEditorType& aEditor);
    virtual void DoGridGetEditorProp(QObject* sender, int aRow, int aCol);
    virtual void DoGridCanEditCell(QObject* sender, int aRow, int aCol, bool& canEdit);
    virtual void DoGridEllipsClick(QObject* sender, int aCol, int aRow, QString& s);
    virtual void DoGridGetDiplText(QObject* sender, int aCol, int aRow, QString& value);
    virtual void DoGridGetFormat(QObject* sender, int aCol, TSortStyle& aStyle, QString& aPrefix, QString& aSuffix);
    virtual void DoGridHint(QObject* sender, int aRow, int aCol, QString& hintstr);
    virtual void DoGridMouseMove(QObject* sender, platform::TShiftState shift, int x, int y);
    virtual void DoGridMouseDown(QObject* sender, platform::TMouseButton button, platform::TShiftState shift, int x,
                                 int y);
    virtual void DoGridMouseUp(QObject* sender, platform::TMouseButton button, platform::TShiftState shift, int x,
                               int y);
    virtual void DoGridKeyDown(QObject* sender, int& key, platform::TShiftState shift);
    virtual void DoGridKeyUp(QObject* sender, int& key, platform::TShiftState shift);
    virtual void DoGridKeyPress(QObject* sender, QChar& key);
    virtual void DoGridRightClickCell(QObject* sender, int aRow, int aCol);
    virtual void DoGridScrollHint(QObject* sender, int aRow, QString& hintstr);
    virtual void DoGridTopLeftChanged(QObject* sender);
    virtual void DoGridSearchEditChange(QObject* sender, const QString& value, bool& defaultSearch);
    virtual void DoGridSpinClick(QObject* sender, int aCol, int aRow, int aValue, bool upDown);
    virtual void DoGridAutoAddRow(QObject* sender, int aRow);
    virtual void DoGridInsertRow(QObject* sender, int aRow);
    virtual void DoGridInsertCol(QObject* sender, int aCol);
    virtual void DoGridDeleteRow(QObject* sender, int aRow);
    virtual void DoGridCanAddRow(QObject* sender, bool& canAdd);
    virtual void DoGridCanInsertRow(QObject* sender, int aRow, bool& canInsert);
    virtual void DoGridCanDeleteRow(QObject* sender, int aRow, bool& canDelete);
    void Change() override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    // Keys typed in the open inner grid.
    bool ControlKeyDown(QKeyEvent* e) override;
    void ControlKeyUp(QKeyEvent* e) override;
    virtual void ControlKeyPress(QChar ch);
    // A typed character against the rows; the row found, or -1.
    int LookupKey(QChar ch);

private:
    // Runs a handler with the popup's activation blocked around it.
    void WithPopupBlocked(const std::function<void()>& call);
    void AttachGridEvents();
    void GridSelectCell(int row);
    void GridSelect();
    void FitColumnsToPopup();
    void KeyUpDone(int key, platform::TShiftState shift);

    bool FCaseSensitive = false, FColumnSizing = false, FColumnMoving = false;
    int FLookupColumn = 0;
    TLookupMethod FLookupMethod = lmLookup;
    platform::TColor FHeaderColorTo = platform::clGray, FHeaderColor = platform::clWhite;
    platform::TColor FLineColor = 0xF1EDEB;
    bool FUseItems = true;
    std::unique_ptr<TDropDownItems> FItems;
    std::unique_ptr<TDropDownColumns> FColumns;
    int FItemIndex = -1;
    int FHeaderHeight = 25;
    platform::TFont FHeaderFont;
    TExColGrid* FExColGrid = nullptr;
    platform::TColor FFixedLineColor = 0xD1BBA4;
    int FSelRow = -1;
    bool workmode = true;
    QString FOldValue;
    bool FRowSelect = true;
    QStringList FLookupItems;
    bool FMatchCase = false, FMatchStart = true;
    bool FItemChange = false;
    int FItemIdx = -1, FItemSel = 0;
    std::unique_ptr<TSearchFooter> FSearchFooter;
    std::unique_ptr<TBands> FBands;
    std::unique_ptr<TNavigation> FNavigation;
    std::unique_ptr<TMouseActions> FMouseActions;
    int FOldItemIndex = -1;
    bool FDropDownAutoWidth = true, FColumnSizeWithDropDown = true;
    platform::TColor FSelectionTextColor = platform::clBlack;
    int FDropDownRowHeight = 22;
    int FTempItemIndex = -1;
    TDropDownStyle FStyle = dsDropDown;
    QString FLookupEntry;
    bool FHoverRow = false;
    platform::TColor FHoverRowColor = platform::clInfoBk, FHoverRowColorTo = platform::clNone;
    TGridSorting FSorting = gsNone;
    bool FGridEditable = false;
    platform::TImageList* FGridImages = nullptr;
    bool FRowMoving = false, FRowSizing = false, FAutoShowDropDown = false, FAutoSizeColumns = true;
    bool FBalloonInit = false;
    bool FTyping = false;   // the text changes by a key (completion applies)
    bool FInChange = false; // the completion's own text change
    bool FKeyDownReached = false;
};
