#pragma once

// The multi-column drop-down: an edit whose popup is an owner-drawn list of
// items with one text per column. The item's value is its text in
// LookupColumn: choosing an item writes that text into the edit, and typing
// in the edit completes from the lookup list (one string per item, rebuilt by
// EndUpdate and Loaded only). Keys in the closed edit step through the items.
//
// Rows of the list: row 0 is the header, row r shows item r - 1. The column
// and item classes live in exmcdd: the grid drop-down has classes of the same
// names.

#include "controls/ExDropDown.h"
#include "platform/Grids.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class TExMultiColumnDropDown;

namespace exmcdd {

enum class TColumnType { ctText, ctImage };
using enum TColumnType;

using TDrawCellEvent = std::function<void(QObject* sender, int column, int row, platform::TCanvas& canvas,
                                          const platform::TRect& rect)>;
using TGetCellTextEvent = std::function<void(QObject* sender, int column, int row, QString& text)>;
using TGetCellPropEvent = std::function<void(QObject* sender, int column, int row, platform::TFont& font,
                                             platform::TColor& color, platform::TColor& colorTo)>;

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
    // All nine properties, the font by value.
    void Assign(const TDropDownColumn& source);

private:
    bool FWordwrap = false;
    int FWidth = 80;
    bool FAutoSize = false;
    QString FHeader;
    platform::TAlignment FAlignment = platform::TAlignment::taLeftJustify;
    platform::TColor FColor = platform::clWhite;
    TColumnType FColumnType = ctText;
    platform::TFont FFont;
    bool FEllipsis = false;
};

class TDropDownItem
{
public:
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int i) { FImageIndex = i; }
    // One string per column; the first belongs to column 0.
    QStringList& Text() { return FText; }
    const QStringList& Text() const { return FText; }
    void SetText(const QStringList& t) { FText = t; }
    // The item's string of a column; empty when it has none.
    QString ColumnText(int column) const;
    bool HasColumn(int column) const { return column >= 0 && column < FText.size(); }
    // The image index and the strings.
    void Assign(const TDropDownItem& source);

private:
    int FImageIndex = -1;
    QStringList FText;
};

// The collection of columns or items: owned elements, Items(i) for an index
// inside 0..Count-1 (others throw std::out_of_range).
template <class T> class TDropDownCollection
{
public:
    explicit TDropDownCollection(QObject* owner = nullptr) : owner_(owner) {}
    QObject* GetOwner() const { return owner_; }
    int Count() const { return static_cast<int>(items_.size()); }
    T* Add()
    {
        items_.push_back(std::make_unique<T>());
        return items_.back().get();
    }
    // An index outside 0..Count adds at the end.
    T* Insert(int index)
    {
        if (index < 0 || index > Count())
            return Add();
        return items_.insert(items_.begin() + index, std::make_unique<T>())->get();
    }
    T* Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
    void SetItems(int index, const T& source) { Items(index)->Assign(source); }
    void Delete(int index)
    {
        if (index >= 0 && index < Count())
            items_.erase(items_.begin() + index);
    }
    void Clear() { items_.clear(); }
    void Assign(const TDropDownCollection& source)
    {
        if (&source == this)
            return;
        items_.clear();
        for (const auto& s : source.items_)
            Add()->Assign(*s);
    }

    // Declared for the stored form; never raised.
    std::function<void()> OnChange;

private:
    QObject* owner_;
    std::vector<std::unique_ptr<T>> items_;
};

using TDropDownColumns = TDropDownCollection<TDropDownColumn>;

class TDropDownItems : public TDropDownCollection<TDropDownItem>
{
public:
    using TDropDownCollection::TDropDownCollection;
    // The first item whose string in the column equals the value exactly;
    // items without that string are skipped; -1 when none.
    int IndexInColumn(int column, const QString& value) const;
};

// The popup list. It draws every cell itself from the items of the attached
// drop-down.
class TExColGrid : public platform::TStringGrid
{
public:
    explicit TExColGrid(QWidget* parent = nullptr);
    ~TExColGrid() override;

    void SetDropDown(TExMultiColumnDropDown* dropDown) { FExDropDown = dropDown; }
    TExMultiColumnDropDown* DropDown() const { return FExDropDown; }
    // Takes the drop-down's columns, items and looks; sizes the columns and rows.
    void LoadFromDropDown(TExMultiColumnDropDown* dropDown);
    void AutoSizeColumns();
    void AutoSizeColumn(int index);
    void AutoSizeRows();
    // The width that shows every column: border, columns and, when not all
    // rows fit, the vertical scroll bar.
    int GetTotalWidth() const;
    // The cell's rectangle as wide as its column and as high as its row; left
    // and top 0 for a cell out of view.
    platform::TRect FullCellRect(int column, int row) const;
    virtual void DoSelect();

    TDropDownColumns& Columns() { return *FColumns; }
    void SetColumns(const TDropDownColumns& c) { FColumns->Assign(c); }
    platform::TColor LineColor() const { return FLineColor; }
    void SetLineColor(platform::TColor c) { FLineColor = c; }
    platform::TColor FixedLineColor() const { return FFixedLineColor; }
    void SetFixedLineColor(platform::TColor c) { FFixedLineColor = c; }
    platform::TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(platform::TColor c) { FHeaderColor = c; }
    platform::TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(platform::TColor c) { FHeaderColorTo = c; }
    int HeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int h) { FHeaderHeight = h; }
    platform::TFont& HeaderFont() { return FHeaderFont; }
    void SetHeaderFont(const platform::TFont& f) { FHeaderFont.Assign(f); }
    // The width of the lines the list draws itself (the platform's own lines stay off).
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int w);
    const platform::TImageList* Images() const { return FImages; }
    void SetImages(const platform::TImageList* i) { FImages = i; }
    // The current row was chosen by a key or a click, not by the wheel.
    bool ConfirmSelection() const { return FConfirmSelection; }
    bool MouseWheelSelection() const { return FMouseWheelSelection; }

    // Stored only; the drop-down's item events are used instead.
    TGetCellTextEvent OnGetCellText;
    TDrawCellEvent OnDrawCell;
    TGetCellPropEvent OnGetCellProp;
    platform::TNotifyEvent OnSelect;

protected:
    void DrawCell(int col, int row, const platform::TRect& rect, platform::TGridDrawState state) override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    bool DoMouseWheelDown(platform::TShiftState shift, const platform::TPoint& mousePos) override;
    bool DoMouseWheelUp(platform::TShiftState shift, const platform::TPoint& mousePos) override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void WndProc(platform::TMessage& message) override;

private:
    friend class ::TExMultiColumnDropDown;
    // Whether the item's cell in the column shows the item's image.
    bool ShowsImage(int column, const TDropDownItem& item) const;

    TExMultiColumnDropDown* FExDropDown = nullptr;
    std::unique_ptr<TDropDownColumns> FColumns;
    platform::TColor FHeaderColor = platform::clWhite, FHeaderColorTo = platform::clGray,
                     FLineColor = platform::clGray;
    const platform::TImageList* FImages = nullptr;
    int FHeaderHeight = 25;
    platform::TFont FHeaderFont;
    platform::TColor FFixedLineColor = platform::clGray;
    int FGridLineWidth = 1;
    bool FMouseWheelSelection = false;
    bool FConfirmSelection = false;
};

} // namespace exmcdd

class TExMultiColumnDropDown : public TExCustomDropDown
{
public:
    using TDropDownColumn = exmcdd::TDropDownColumn;
    using TDropDownColumns = exmcdd::TDropDownColumns;
    using TDropDownItem = exmcdd::TDropDownItem;
    using TDropDownItems = exmcdd::TDropDownItems;
    using TExColGrid = exmcdd::TExColGrid;

    explicit TExMultiColumnDropDown(QWidget* parent = nullptr);
    ~TExMultiColumnDropDown() override;

    TDropDownColumns& Columns() { return *FColumns; }
    void SetColumns(const TDropDownColumns& c) { FColumns->Assign(c); }
    TDropDownItems& Items() { return *FItems; }
    void SetItems(const TDropDownItems& i) { FItems->Assign(i); }
    int ItemIndex() const { return FItemIndex; }
    // At or past the count: nothing. Negative: no item and no text.
    void SetItemIndex(int value);
    // The first item whose lookup-column string is the value (case-sensitive), else -1.
    int GetItemIndex(const QString& value) const;
    int LookupColumn() const { return FLookupColumn; }
    void SetLookupColumn(int c) { FLookupColumn = c; }
    platform::TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(platform::TColor c) { FHeaderColor = c; }
    platform::TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(platform::TColor c) { FHeaderColorTo = c; }
    int HeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int h) { FHeaderHeight = h; }
    platform::TFont& HeaderFont() { return FHeaderFont; }
    void SetHeaderFont(const platform::TFont& f) { FHeaderFont.Assign(f); }
    platform::TColor LineColor() const { return FLineColor; }
    void SetLineColor(platform::TColor c) { FLineColor = c; }
    platform::TColor FixedLineColor() const { return FFixedLineColor; }
    void SetFixedLineColor(platform::TColor c) { FFixedLineColor = c; }
    platform::TColor SelectionTextColor() const { return FSelectionTextColor; }
    void SetSelectionTextColor(platform::TColor c) { FSelectionTextColor = c; }
    // At least 1: the popup's height is cut to whole rows of it.
    int DropDownRowHeight() const { return FDropDownRowHeight; }
    void SetDropDownRowHeight(int h) { FDropDownRowHeight = std::max(1, h); }
    bool DropDownAutoWidth() const { return FDropDownAutoWidth; }
    void SetDropDownAutoWidth(bool v) { FDropDownAutoWidth = v; }
    bool ColumnSizing() const { return FColumnSizing; }
    void SetColumnSizing(bool v) { FColumnSizing = v; }
    bool ColumnSizeWithDropDown() const { return FColumnSizeWithDropDown; }
    void SetColumnSizeWithDropDown(bool v) { FColumnSizeWithDropDown = v; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool v) { FCaseSensitive = v; }
    bool MatchCase() const { return FMatchCase; }
    void SetMatchCase(bool v) { FMatchCase = v; }
    bool MatchStart() const { return FMatchStart; }
    void SetMatchStart(bool v) { FMatchStart = v; }
    int RowCount() const { return FItems->Count(); }
    // Null until the popup was first made.
    TExColGrid* ColGrid() const { return FExColGrid; }
    // The characters typed into the open list so far.
    QString LookupEntry() const { return FLookupEntry; }
    const QStringList& LookupItems() const { return FLookupItems; }

    void SetText(const QString& value) override;
    void Assign(const TExMultiColumnDropDown* source);
    void BeginUpdate() {}
    void EndUpdate() { BuildLookupList(); }
    void Loaded() { BuildLookupList(); }

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void SelectNextPage();
    void SelectPreviousPage();

    platform::TNotifyEvent OnSelect;
    exmcdd::TDrawCellEvent OnDropDownDrawItem;
    exmcdd::TGetCellTextEvent OnDropDownGetItemText;
    exmcdd::TGetCellPropEvent OnDropDownGetItemProp; // declared; never raised

    void SetComponentStyle(TQRVStyle style) override;
    void SetSelectionColorStyle(TSelectionColorStyle style) override;
    bool HandleKeyPress(QKeyEvent* e) override;

    void CreateDropDownForm() override;
    void UpdateDropDownControl() override;
    void BeforeDropDown() override;
    void AdaptDropDownHeight(int& height) override;
    void DoShowDropDown() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool cancel) override;
    void DropDownResized() override;
    void HandleMouseWheelDown() override;
    void HandleMouseWheelUp() override;

protected:
    void Change() override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    // The wheel over the edit steps through the items.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    friend class exmcdd::TExColGrid;
    void BuildLookupList();
    void FitColumns();
    // Keys typed into the open list; true when the list must not see the key.
    bool ControlKeyDown(QKeyEvent* e) override;
    // The list keeps the release of its own paging and arrow keys.
    void ControlKeyUp(QKeyEvent* e) override;
    void ControlKeyPress(QChar ch, platform::TShiftState shift);
    void LookupKey(QChar ch);
    int FindLookupItem(const QString& entry) const;
    void GridSelectCell(int row);
    void GridSelect();
    // Writes the text without completing it again.
    void PutText(const QString& text);

    bool FShowing = false;
    bool FColumnSizing = false;
    int FLookupColumn = 0;
    platform::TColor FHeaderColorTo = platform::clGray, FHeaderColor = platform::clWhite,
                     FLineColor = platform::clSilver;
    std::unique_ptr<TDropDownItems> FItems;
    std::unique_ptr<TDropDownColumns> FColumns;
    int FItemIndex = -1;
    int FHeaderHeight = 25;
    platform::TFont FHeaderFont;
    TExColGrid* FExColGrid = nullptr;
    platform::TColor FFixedLineColor = 0xD1BBA4;
    bool FWorkMode = true;
    QString FOldValue;
    QStringList FLookupItems;
    bool FMatchCase = false, FMatchStart = true;
    bool FItemChange = false;
    int FItemIdx = -1, FItemSel = 0;
    int FOldItemIndex = -1;
    bool FDropDownAutoWidth = true, FColumnSizeWithDropDown = true;
    platform::TColor FSelectionTextColor = platform::clBlack;
    int FDropDownRowHeight = 22;
    QString FLookupEntry;
    bool FCaseSensitive = false;
    bool FInChange = false; // the completion's own text change
    bool FTyping = false;   // the text changes by a key typed in the edit
};
