#pragma once

// The column grid: the string grid with one settings item per column, kept
// in step with the column count and column moves, saved and restored as a
// column stream, and its column order kept in an INI file.

#include "grid/ExGrid.h"

#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class VOruVizizaZezo;
class TGridColumnCollection;

enum class TColumnPopupType
{
    cpFixedCellsRClick, cpFixedCellsLClick, cpNormalCellsRClick, cpNormalCellsLClick, cpAllCellsRClick, cpAllCellsLClick
};
using enum TColumnPopupType;

using TColumnPopupEvent = std::function<void(QObject* sender, int aCol, int aRow, platform::TPopupMenu*& popupMenu)>;
using TAfterColumnMoved = std::function<void(QObject* sender, int fromIndex, int toIndex)>;

// The settings of one column.
class TGridColumnItem : public TPersistent
{
public:
    // Inside a collection the item takes the grid's fonts and colour.
    explicit TGridColumnItem(TGridColumnCollection* collection = nullptr);
    ~TGridColumnItem() override;
    TGridColumnItem(const TGridColumnItem&) = delete;
    TGridColumnItem& operator=(const TGridColumnItem&) = delete;

    // Copies the column's settings from another item (not the popup type and
    // the two print switches); other sources are ignored.
    void Assign(const TPersistent* source) override;
    // As Assign, but the grid's colour and font, and not the combo items,
    // drop-down count, header font, header, name and tag.
    void AssignVisuals(const TGridColumnItem* source);

    TGridColumnCollection* Collection() const { return FCollection; }
    // The position in the collection; -1 without one.
    int Index() const;
    QString GetDisplayName() const;

    // The grid's width of the column (hidden columns included); 0 without a collection.
    int Width() const;
    void SetWidth(int v);
    platform::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(platform::TAlignment v);
    QString Header() const { return FColumnHeader; }
    void SetHeader(const QString& v);
    TSortStyle SortStyle() const { return FSortStyle; }
    void SetSortStyle(TSortStyle v) { FSortStyle = v; }
    QString SortPrefix() const { return FSortPrefix; }
    void SetSortPrefix(const QString& v) { FSortPrefix = v; }
    QString SortSuffix() const { return FSortSuffix; }
    void SetSortSuffix(const QString& v) { FSortSuffix = v; }
    QString EditMask() const { return FEditMask; }
    void SetEditMask(const QString& v) { FEditMask = v; }
    int EditLength() const { return FEditLength; }
    void SetEditLength(int v) { FEditLength = v; }
    // The custom editor component of edCustom; not owned.
    QObject* EditLink() const { return FEditLink.data(); }
    void SetEditLink(QObject* v) { FEditLink = v; }
    platform::TFont& Font() { return FFont; }
    const platform::TFont& Font() const { return FFont; }
    void SetFont(const platform::TFont& v);
    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v);
    TEditorType Editor() const { return FEditorType; }
    void SetEditor(TEditorType v);
    bool Fixed() const { return FFixed; }
    void SetFixed(bool v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    const QStringList& ComboItems() const { return FComboItems; }
    QStringList& ComboItems() { return FComboItems; }
    void SetComboItems(const QStringList& v) { FComboItems = v; }
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int v) { FDropDownCount = v; }
    int SpinMin() const { return FSpinMin; }
    void SetSpinMin(int v) { FSpinMin = v; }
    int SpinMax() const { return FSpinMax; }
    void SetSpinMax(int v) { FSpinMax = v; }
    int SpinStep() const { return FSpinStep; }
    void SetSpinStep(int v) { FSpinStep = v; }
    bool Password() const { return FPassword; }
    void SetPassword(bool v);
    platform::TFont& PrintFont() { return FPrintFont; }
    const platform::TFont& PrintFont() const { return FPrintFont; }
    void SetPrintFont(const platform::TFont& v) { FPrintFont.Assign(v); }
    platform::TColor PrintColor() const { return FPrintColor; }
    void SetPrintColor(platform::TColor v) { FPrintColor = v; }
    TCellBorders Borders() const { return FBorders; }
    void SetBorders(TCellBorders v);
    const platform::TPen& BorderPen() const { return FBorderPen; }
    void SetBorderPen(const platform::TPen& v);
    TCellBorders PrintBorders() const { return FPrintBorders; }
    void SetPrintBorders(TCellBorders v) { FPrintBorders = v; }
    const platform::TPen& PrintBorderPen() const { return FPrintBorderPen; }
    void SetPrintBorderPen(const platform::TPen& v) { FPrintBorderPen = v; }
    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }
    int DefIdx() const { return FDefIdx; }
    void SetDefIdx(int v) { FDefIdx = v; }
    QString Name() const { return FName; }
    void SetName(const QString& v) { FName = v; }
    QString CheckFalse() const { return FCheckFalse; }
    void SetCheckFalse(const QString& v) { FCheckFalse = v; }
    QString CheckTrue() const { return FCheckTrue; }
    void SetCheckTrue(const QString& v) { FCheckTrue = v; }
    bool ShowBands() const { return FShowBands; }
    void SetShowBands(bool v);
    const QStringList& Filter() const { return FFilter; }
    void SetFilter(const QStringList& v);
    int MaxSize() const { return FMaxSize; }
    void SetMaxSize(int v) { FMaxSize = v; }
    int MinSize() const { return FMinSize; }
    void SetMinSize(int v) { FMinSize = v; }
    int AutoMinSize() const { return FAutoMinSize; }
    void SetAutoMinSize(int v) { FAutoMinSize = v; }
    int AutoMaxSize() const { return FAutoMaxSize; }
    void SetAutoMaxSize(int v) { FAutoMaxSize = v; }
    TColumnPopupType ColumnPopupType() const { return FColumnPopupType; }
    void SetColumnPopupType(TColumnPopupType v) { FColumnPopupType = v; }
    platform::TPopupMenu* ColumnPopup() const { return FColumnPopup.data(); }
    void SetColumnPopup(platform::TPopupMenu* v);
    bool FilterCaseSensitive() const { return FFilterCaseSensitive; }
    void SetFilterCaseSensitive(bool v) { FFilterCaseSensitive = v; }
    QString FloatFormat() const { return FFloatFormat; }
    void SetFloatFormat(const QString& v);
    platform::TAlignment HeaderAlignment() const { return FHeaderAlignment; }
    void SetHeaderAlignment(platform::TAlignment v);
    platform::TFont& HeaderFont() { return FHeaderFont; }
    const platform::TFont& HeaderFont() const { return FHeaderFont; }
    void SetHeaderFont(const platform::TFont& v);
    bool PrintBorderCustom() const { return FPrintBorderCustom; }
    void SetPrintBorderCustom(bool v) { FPrintBorderCustom = v; }
    bool PrintFontCustom() const { return FPrintFontCustom; }
    void SetPrintFontCustom(bool v) { FPrintFontCustom = v; }

    // Typed access to the column's cells by row.
    QString GetRows(int idx);
    void SetRows(int idx, const QString& value);
    int GetInts(int idx);
    void SetInts(int idx, int value);
    double GetFloats(int idx);
    void SetFloats(int idx, double value);
    TDateTime GetDates(int idx);
    void SetDates(int idx, TDateTime value);
    TDateTime GetTimes(int idx);
    void SetTimes(int idx, TDateTime value);

private:
    friend class TGridColumnCollection;
    friend class VOruVizizaZezo;
    VOruVizizaZezo* Grid() const;
    void Changed();
    void Repaint();
    void WireFonts();

    TGridColumnCollection* FCollection;
    int FWidth = 50;
    platform::TAlignment FAlignment = platform::taLeftJustify;
    QString FColumnHeader;
    TSortStyle FSortStyle = ssAutomatic;
    QString FSortPrefix;
    QString FSortSuffix;
    QString FEditMask;
    int FEditLength = 0;
    QPointer<QObject> FEditLink;
    platform::TFont FFont;
    platform::TColor FColor = 0;
    TEditorType FEditorType = edNormal;
    bool FFixed = false;
    bool FReadOnly = false;
    QStringList FComboItems;
    int FDropDownCount = 8;
    int FSpinMin = 0;
    int FSpinMax = 0;
    int FSpinStep = 1;
    bool FPassword = false;
    platform::TFont FPrintFont;
    platform::TColor FPrintColor = platform::clWhite;
    TCellBorders FBorders;
    platform::TPen FBorderPen;
    TCellBorders FPrintBorders{cbTop, cbLeft, cbRight, cbBottom};
    platform::TPen FPrintBorderPen;
    int FTag = 0;
    int FDefIdx = 0;
    QString FName;
    QString FCheckFalse = QStringLiteral("N");
    QString FCheckTrue = QStringLiteral("Y");
    bool FShowBands = false;
    QStringList FFilter;
    int FMaxSize = 0;
    int FMinSize = 0;
    int FAutoMinSize = 0;
    int FAutoMaxSize = 0;
    TColumnPopupType FColumnPopupType = cpFixedCellsRClick;
    QPointer<platform::TPopupMenu> FColumnPopup;
    bool FFilterCaseSensitive = false;
    QString FFloatFormat;
    platform::TAlignment FHeaderAlignment = platform::taLeftJustify;
    platform::TFont FHeaderFont;
    bool FPrintBorderCustom = true;
    bool FPrintFontCustom = true;
};

// The column items of a column grid, item i describing real column i.
class TGridColumnCollection
{
public:
    explicit TGridColumnCollection(VOruVizizaZezo* owner = nullptr) : FOwner(owner) {}
    ~TGridColumnCollection();
    TGridColumnCollection(const TGridColumnCollection&) = delete;
    TGridColumnCollection& operator=(const TGridColumnCollection&) = delete;

    VOruVizizaZezo* GetOwner() const { return FOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // A new item; from the second on it takes the looks of the item before it.
    TGridColumnItem* Add();
    TGridColumnItem* Insert(int index);
    void Delete(int index);
    void Clear();
    // Index errors raise std::out_of_range ("List index out of bounds").
    TGridColumnItem* GetItem(int index) const;
    void SetItem(int index, const TGridColumnItem* value);
    int IndexOf(const TGridColumnItem* item) const;
    // The items become copies of another collection's items.
    void Assign(const TGridColumnCollection& source);

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    // Keeps the grid's column count and headers in step after a change.
    void Update(TGridColumnItem* item);
    bool NoRecursiveUpdate() const { return FNoRecursiveUpdate; }
    void SetNoRecursiveUpdate(bool v) { FNoRecursiveUpdate = v; }

    // Every item's DefIdx becomes its index (the order of the stored layout).
    void SetOrganization();
    // Moves the columns until every item stands at its DefIdx.
    void ResetOrganization();

private:
    friend class TGridColumnItem;
    friend class VOruVizizaZezo;
    void Changed() { Update(nullptr); }

    VOruVizizaZezo* FOwner;
    std::vector<std::unique_ptr<TGridColumnItem>> FItems;
    bool FNoRecursiveUpdate = false;
    int FUpdateCount = 0;
};

// The column grid.
class VOruVizizaZezo : public TExStringGrid
{
public:
    explicit VOruVizizaZezo(QWidget* owner = nullptr);
    ~VOruVizizaZezo() override;

    TGridColumnCollection& Columns() { return *FColumnCollection; }
    const TGridColumnCollection& Columns() const { return *FColumnCollection; }
    void SetColumns(const TGridColumnCollection& v);
    void SetColCount(int value) override;
    // The first item whose Name is exactly the value; none when none is.
    TGridColumnItem* GetColumnByName(const QString& aValue) const;
    bool AutoFilterDisplay() const { return FAutoFilterDisplay; }
    void SetAutoFilterDisplay(bool v) { FAutoFilterDisplay = v; }
    bool ColMoving() const { return FColMoving; }

    // The column stream: every published property of every item. Loading a
    // stream that does not read back whole raises std::runtime_error and
    // leaves the columns as they were; ColCount is not changed.
    void SaveColumnsToStream(QIODevice& stream);
    void LoadColumnsFromStream(QIODevice& stream);
    // Column positions under "CP" + index in an INI file (key) and section.
    // Positions that are missing or not a permutation of the columns change
    // nothing. A file that cannot be written raises std::runtime_error.
    void SaveColumnPositions(const QString& key, const QString& section);
    void LoadColumnPositions(const QString& key, const QString& section);
    void SaveColPositions() override;
    void LoadColPositions() override;

    void Loaded() override;
    void InsertCols(int colIndex, int cCount) override;
    void RemoveCols(int colIndex, int cCount) override;
    void Group(int colIndex) override;
    void UnGroup() override;
    int GetVersionNr() const override;
    QString GetVersionString() const override;
    void ChangeScale(int m, int d) override;

    // Answers of the cell hooks from the column items.
    void PrepareCellLook(int aCol, int aRow, platform::TFont& font, platform::TBrush& brush,
                         platform::TColor& colorTo, platform::TColor& mirrorColor, platform::TColor& mirrorColorTo,
                         platform::TAlignment& alignment, TVAlignment& vAlignment, bool& wordWrap,
                         TCellGradientDirection& gradientDirection) override;
    void QueryFloatFormat(int aCol, int aRow, QString& format) override;
    void QueryCellColor(int aCol, int aRow, platform::TBrush& brush, platform::TFont& font,
                        platform::TGridDrawState state) override;
    void QueryCellPrintColor(int aCol, int aRow, platform::TBrush& brush, platform::TFont& font,
                             platform::TGridDrawState state) override;
    void QueryCellBorder(int aCol, int aRow, TCellBorders& borders, platform::TPen& pen) override;
    void QueryCellPrintBorder(int aCol, int aRow, TCellBorders& borders, platform::TPen& pen) override;
    QString GetFormattedCell(int aCol, int aRow) override;
    TCellType GetCellType(int aCol, int aRow) override;
    TCellGraphic* GetCellGraphic(int aCol, int aRow) override;
    void AdjustSizedColumnWidth(int aCol, int& aWidth) override;
    void AdjustAutoSizedColumnWidth(int aCol, int& aWidth) override;
    void ColumnHeadersChanged() override;
    void CellsUpdated() override;
    void QueryCellAlignment(int aCol, int aRow, platform::TAlignment& hAlign, TVAlignment& vAlign) override;
    void QuerySortFormat(int aCol, TSortStyle& style, QString& prefix, QString& suffix) override;
    void QueryCellEditor(int aCol, int aRow, TEditorType& editor) override;
    void QueryIsFixed(int aCol, int aRow, bool& isFixed) override;
    void QueryCanEdit(int aCol, int aRow, bool& canEdit) override;
    void QueryIsPassword(int aCol, int aRow, bool& isPassword) override;
    bool QueryHasComboBox(int aCol, int aRow) override;
    void QueryCheckTrue(int aCol, int aRow, QString& value) override;
    void QueryCheckFalse(int aCol, int aRow, QString& value) override;
    // The column's own Filter entries (their captions) when it has any.
    bool QueryFilterList(int aCol) override;
    void FilterSelected(int itemIndex) override;

    TColumnPopupEvent OnColumnPopup;
    TAfterColumnMoved OnAfterColumnMoved;

protected:
    virtual std::unique_ptr<TGridColumnCollection> CreateColumns();
    void ColumnMoved(int fromIndex, int toIndex) override;
    void ColWidthsChanged() override;
    void Notification(QObject* component, platform::TOperation operation) override;
    int GetEditLimit() override;
    QString GetEditMask(int col, int row) override;
    // Then the column's popup menu, as its ColumnPopupType says.
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;

private:
    friend class TGridColumnCollection;
    friend class TGridColumnItem;
    void SyncColumnCount();
    void UpdateColumnHeaders();
    TGridColumnItem* ItemAt(int index) const;
    bool IsNormalCell(int aCol, int aRow) const;
    bool IsBodyCell(int aCol, int aRow);

    std::unique_ptr<TGridColumnCollection> FColumnCollection;
    std::unique_ptr<TGridColumnItem> FSaveCol;
    bool FColMoving = false;
    std::unique_ptr<TCellGraphic> FCellGraphic;
    bool FAutoFilterDisplay = false;
};

// The carrier of the column stream.
class VOruVizizaZezoIO : public QObject
{
public:
    explicit VOruVizizaZezoIO(VOruVizizaZezo* owner);
    TGridColumnCollection& Items() { return FItems; }

private:
    TGridColumnCollection FItems;
};

// Registers the column grid's classes (once).
void ExCGridStartUp();
