#pragma once

// The string grid of the program: its data model (cells and typed values,
// dimensions, per-cell looks, hidden columns and rows with their index maps,
// selection, current cell and row marks) and its settings objects.
//
// Index spaces: a real column counts the hidden columns in; cells, cell
// properties and hidden columns are addressed by real column. A display
// column is a position on screen (Col, ColCount, widths, selection). Rows of
// the grid are display rows; hidden rows leave the grid for the hidden-row
// store, and real rows count them in.

#include "grid/ExGridExtras.h"
#include "widgets/BaseGrid.h"
#include "widgets/ExObj.h"
#include "widgets/ExUtil.h" // TDateTime

#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace platform {
class TRichEdit;
}
class TExStringGrid;

// ---------------------------------------------------------------------------
// The grid's error
// ---------------------------------------------------------------------------

class REruVidaZuvez : public std::runtime_error
{
public:
    explicit REruVidaZuvez(const QString& message)
        : std::runtime_error(message.toStdString()), FMessage(message)
    {
    }
    QString Message() const { return FMessage; }

private:
    QString FMessage;
};

// ---------------------------------------------------------------------------
// Enumerations of the data model
// ---------------------------------------------------------------------------

enum class TGridLook { glStandard, glSoft, glClassic, glQRV, glXP, glListView, glVista, glWin7, glOffice2007, glCustom };
using enum TGridLook;

enum class TScrollBarAlways { saNone, saVert, saHorz, saBoth };
using enum TScrollBarAlways;

enum class TCellType
{
    ctBitmap, ctIcon, ctNone, ctImageList, ctCheckBox, ctDataCheckBox, ctRotated, ctDataImage, ctNode, ctRadio,
    ctEmpty, ctImages, ctPicture, ctFilePicture, ctValue, ctProgress, ctComment, ctButton, ctBitButton,
    ctVirtCheckBox, ctRowCheckBox, ctProgressPie, ctSummary, ctRangeIndicator, ctXPProgress, ctInterface,
    ctScrollbar, ctRadioButton, ctBalloon, ctShape, ctRating, ctTriStateCheckBox, ctExpand
};
using enum TCellType;

enum class TCellVAlign { vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull };
using enum TCellVAlign;
enum class TCellHAlign { haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull };
using enum TCellHAlign;

// The graphic object a cell may carry. Only its data is here; the
// operations that add, paint and hit-test the kinds come with them.
class TCellGraphic : public TPersistent
{
public:
    // Copies the plain values, not the object references.
    void Assign(const TPersistent* source) override;

    TCellType CellType = ctNone;
    platform::TObject* CellBitmap = nullptr;
    platform::TObject* CellIcon = nullptr;
    TCellVAlign CellVAlign = vaTop;
    TCellHAlign CellHAlign = haLeft;
    int CellIndex = 0;
    bool CellTransparent = false;
    bool CellCreated = false;
    bool CellBoolean = false;
    int CellAngle = 0;
    double CellValue = 0;
    int CellErrFrom = 0;
    int CellErrLen = 0;
    QString CellText;
    platform::TCheckBoxState CellCheckBoxState = platform::cbUnchecked;
};

// ---------------------------------------------------------------------------
// Settings classes
// ---------------------------------------------------------------------------

enum class TNodeType { cnFlat, cn3D, cnGlyph, cnLeaf, cnXP };
using enum TNodeType;

class TCellNode : public TPersistent
{
public:
    explicit TCellNode(TExStringGrid* owner = nullptr) : FOwner(owner) {}
    void Assign(const TPersistent* source) override;

    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v) { FColor = v; }
    bool ExpandOne() const { return FExpandOne; }
    void SetExpandOne(bool v) { FExpandOne = v; }
    TNodeType NodeType() const { return FNodeType; }
    void SetNodeType(TNodeType v);
    platform::TColor NodeColor() const { return FNodeColor; }
    void SetNodeColor(platform::TColor v) { FNodeColor = v; }
    int NodeIndent() const { return FNodeIndent; }
    void SetNodeIndent(int v);
    const platform::TBitmap& ExpandGlyph() const { return FExpandGlyph; }
    void SetExpandGlyph(const platform::TBitmap& v) { FExpandGlyph.Assign(v); }
    const platform::TBitmap& ContractGlyph() const { return FContractGlyph; }
    void SetContractGlyph(const platform::TBitmap& v) { FContractGlyph.Assign(v); }
    bool ShowTree() const { return FShowTree; }
    void SetShowTree(bool v);
    bool ShowTreeFull() const { return FShowTreeFull; }
    void SetShowTreeFull(bool v);
    platform::TColor TreeColor() const { return FTreeColor; }
    void SetTreeColor(platform::TColor v);

private:
    void Repaint();

    TExStringGrid* FOwner;
    platform::TColor FColor = platform::clSilver;
    bool FExpandOne = false;
    TNodeType FNodeType = cnXP;
    platform::TColor FNodeColor = platform::clBlack;
    int FNodeIndent = 12;
    platform::TBitmap FExpandGlyph;
    platform::TBitmap FContractGlyph;
    bool FShowTree = true;
    bool FShowTreeFull = true;
    platform::TColor FTreeColor = platform::clGray;
};

class TSizeWhileTyping : public TPersistent
{
public:
    bool Height() const { return FHeight; }
    void SetHeight(bool v) { FHeight = v; }
    bool Width() const { return FWidth; }
    void SetWidth(bool v) { FWidth = v; }

private:
    bool FHeight = false;
    bool FWidth = false;
};

enum class TAutoSizeRows { arAll, arNormal, arFixed };
using enum TAutoSizeRows;
enum class TColumnSizeLocation { clRegistry, clIniFile };
using enum TColumnSizeLocation;

class TColumnSize : public TPersistent
{
public:
    explicit TColumnSize(QObject* owner = nullptr) : FOwner(owner) {}
    void Assign(const TPersistent* source) override;

    QObject* Owner() const { return FOwner; }
    TAutoSizeRows Rows() const { return FRows; }
    void SetRows(TAutoSizeRows v) { FRows = v; }
    bool Save() const { return FSave; }
    void SetSave(bool v) { FSave = v; }
    QString Key() const { return FKey; }
    void SetKey(const QString& v) { FKey = v; }
    QString Section() const { return FSection; }
    void SetSection(const QString& v) { FSection = v; }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v) { FStretch = v; }
    int StretchColumn() const { return FStretchColumn; }
    void SetStretchColumn(int v) { FStretchColumn = v; }
    bool SynchWithGrid() const { return FSynchWithGrid; }
    void SetSynchWithGrid(bool v) { FSynchWithGrid = v; }
    bool SynchNormalCellsOnly() const { return FSynchNormalCellsOnly; }
    void SetSynchNormalCellsOnly(bool v) { FSynchNormalCellsOnly = v; }
    TColumnSizeLocation Location() const { return FLocation; }
    void SetLocation(TColumnSizeLocation v) { FLocation = v; }

private:
    QObject* FOwner;
    TAutoSizeRows FRows = arAll;
    bool FSave = false;
    QString FKey;
    QString FSection;
    bool FStretch = false;
    int FStretchColumn = -1;
    bool FSynchWithGrid = false;
    bool FSynchNormalCellsOnly = false;
    TColumnSizeLocation FLocation = clRegistry;
};

class THTMLSettings : public TPersistent
{
public:
    void Assign(const TPersistent* source) override;

    bool AutoPreview = false;
    int BorderSize = 1;
    int CellSpacing = 0;
    int CellPadding = 0;
    bool ConvertSpecialChars = false;
    bool ExportImages = true;
    QString FooterFile;
    QString HeaderFile;
    bool NonBreakingText = false;
    QString PrefixTag;
    QString SuffixTag;
    QString Summary;
    QString TableStyle;
    bool SaveColor = true;
    bool SaveFonts = true;
    int Width = 100;
    bool XHTML = false;
    TIntList ColWidths;
};

enum class TPrintBorders
{
    pbNoborder, pbSingle, pbDouble, pbVertical, pbHorizontal, pbAround, pbAroundVertical, pbAroundHorizontal, pbCustom
};
using enum TPrintBorders;
enum class TPrintPosition { ppNone, ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomRight, ppBottomCenter };
using enum TPrintPosition;
enum class TFitToPage { fpNever, fpGrow, fpShrink, fpAlways, fpCustom };
using enum TFitToPage;
enum class TPrinterOrientation { poPortrait, poLandscape };
using enum TPrinterOrientation;

class TPrintSettings : public TPersistent
{
public:
    explicit TPrintSettings(TExStringGrid* owner = nullptr) : FOwner(owner) {}
    // Copies every setting but FixedCellsAlways from another TPrintSettings;
    // any other source raises std::invalid_argument ("Invalid class typecast").
    void Assign(const TPersistent* source) override;

    platform::TFont Font;
    platform::TFont FixedFont;
    platform::TFont HeaderFont;
    platform::TFont FooterFont;
    QStringList TitleLines;
    QString PageNumSep = QStringLiteral("/");
    QString DateFormat = QStringLiteral("dd/mm/yyyy");
    QString PagePrefix;
    QString PageSuffix;
    QString TitleText;
    QString JobName;
    TPrintBorders Borders = pbSingle;
    platform::TPenStyle BorderStyle = platform::psSolid;
    platform::TColor BorderColor = platform::clBlack;
    bool Centered = true;
    bool UseDisplayFont = true;
    bool RepeatFixedRows = false;
    bool RepeatFixedCols = false;
    TPrintPosition Time = ppNone;
    TPrintPosition Date = ppNone;
    TPrintPosition PageNr = ppNone;
    TPrintPosition Title = ppNone;
    int FooterSize = 0;
    int HeaderSize = 0;
    int LeftSize = 0;
    int RightSize = 0;
    int ColumnSpacing = 0;
    int RowSpacing = 0;
    int TitleSpacing = 0;
    int PageNumberOffset = 0;
    int MaxPagesOffset = 0;
    int FixedWidth = 0;
    int FixedHeight = 0;
    bool UseFixedWidth = false;
    bool UseFixedHeight = false;
    bool NoAutoSize = false;
    bool NoAutoSizeRow = false;
    bool PrintGraphics = false;
    bool UseDefaultOrientation = false;
    TPrinterOrientation Orientation = poPortrait;
    TFitToPage FitToPage = fpNever;
    bool FixedCellsAlways = false;

private:
    TExStringGrid* FOwner;
};

// The modified-row mark (its painting comes with the look settings).
class TShowModified : public TPersistent
{
public:
    void Assign(const TPersistent* source) override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }
    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v);
    std::function<void(TShowModified* sender)> OnChange;

private:
    bool FEnabled = false;
    platform::TColor FColor = 0xFFFF;
};

// ---------------------------------------------------------------------------
// Support classes
// ---------------------------------------------------------------------------

// A string list that reports every change (not while updating; EndUpdate
// reports one change).
class TNotifyStrings
{
public:
    int Count() const { return static_cast<int>(FList.size()); }
    const QStringList& List() const { return FList; }
    // Index errors raise std::out_of_range.
    QString Strings(int i) const;
    void SetStrings(int i, const QString& s);
    int Add(const QString& s);
    void Insert(int i, const QString& s);
    void Delete(int i);
    void Clear();
    void Assign(const QStringList& list);
    int IndexOf(const QString& s) const { return static_cast<int>(FList.indexOf(s)); }
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

    std::function<void()> OnChange;

private:
    void Changed();
    QStringList FList;
    int FUpdateCount = 0;
    bool FPending = false;
};

// Texts with an object each: the cells of a hidden row.
class TStringObjectList
{
public:
    int Count() const { return static_cast<int>(FStrings.size()); }
    // Index errors raise std::out_of_range, as the platform's list does.
    QString Strings(int i) const;
    void SetStrings(int i, const QString& s);
    platform::TObject* Objects(int i) const;
    void SetObjects(int i, platform::TObject* o);
    void Add(const QString& s, platform::TObject* o = nullptr);
    void Clear();

private:
    std::vector<QString> FStrings;
    std::vector<platform::TObject*> FObjects;
};

class TGridItemCollection;

// One hidden row: its index, height and cells (texts, and cell properties as
// the objects).
class TGridItem
{
public:
    explicit TGridItem(TGridItemCollection* collection = nullptr) : FCollection(collection) {}
    int Idx() const { return FIdx; }
    void SetIdx(int v);
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    TStringObjectList& Items() { return FItems; }
    const TStringObjectList& Items() const { return FItems; }
    int Level() const { return FLevel; }
    void SetLevel(int v) { FLevel = v; }

private:
    friend class TGridItemCollection;
    friend class TExStringGrid;
    TGridItemCollection* FCollection;
    int FIdx = 0;
    int FHeight = 0;
    TStringObjectList FItems;
    int FLevel = 0;
    // Hidden as part of a row list (a filter level), by display index.
    bool FFromList = false;
};

// The hidden-row store.
class TGridItemCollection
{
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TGridItem* Items(int i) const { return FItems.at(static_cast<size_t>(i)).get(); }
    TGridItem* Add();
    TGridItem* Insert(int index);
    void Delete(int index);
    void Clear();
    // The stored indices, ascending (an index stored twice appears twice).
    const std::vector<int>& SortedIdx() const;
    // Items whose index is below realRow.
    int CountBelow(int realRow) const;
    void Changed() { FDirty = true; }

private:
    std::vector<std::unique_ptr<TGridItem>> FItems;
    mutable std::vector<int> FSorted;
    mutable bool FDirty = true;
};

// Told of every change of cells of the grids it is registered with.
class TGridChangeNotifier : public QObject
{
public:
    using QObject::QObject;
    virtual void CellsChanged(const platform::TRect& r) {}
};

// The one listener told of changes of the current cell.
class ITExStringGridSelect
{
public:
    virtual ~ITExStringGridSelect() = default;
    virtual void SelectionChanged(int aCol, int aRow) = 0;
};

using TGridRowUpdateEvent = std::function<void(QObject* sender, int oldRow, int newRow)>;
using TRowDisjunctSelectEvent = std::function<void(QObject* sender, int aRow, bool aState, bool& allow)>;
using TRowDisjunctSelectedEvent = std::function<void(QObject* sender, int aRow)>;
using TCellsChangedEvent = std::function<void(QObject* sender, const platform::TRect& r)>;
using TGetCheckEvent = std::function<void(QObject* sender, int aCol, int aRow, QString& value)>;
using TIsFixedCellEvent = std::function<void(QObject* sender, int aRow, int aCol, bool& isFixed)>;
using TIsPasswordCellEvent = std::function<void(QObject* sender, int aRow, int aCol, bool& isPassword)>;
using THasComboEvent = std::function<void(QObject* sender, int aCol, int aRow, bool& hasComboBox)>;
using TWordWrapEvent = std::function<void(QObject* sender, int aCol, int aRow, bool& wordWrap)>;
using TSelectionChanged = std::function<void(QObject* sender, int aLeft, int aTop, int aRight, int aBottom)>;

// ---------------------------------------------------------------------------
// TExStringGrid
// ---------------------------------------------------------------------------

class TExStringGrid : public TBaseGrid
{
public:
    // Real columns 0..511 can be hidden; 512 and above pass the maps unchanged.
    static constexpr int MaxHiddenColumns = 512;

    explicit TExStringGrid(QWidget* owner = nullptr);
    ~TExStringGrid() override;

    // ---- life cycle

    void Loaded() override;
    // Settings, sizes and cells of another string grid; other sources are ignored.
    void Assign(const TExStringGrid* source);
    virtual void AssignCells(const TExStringGrid* source);
    void Invalidate() override;
    void SetBounds(int left, int top, int width, int height) override;
    void UpdateScrollBarsAlways(bool hideWhenAll);
    virtual int GetVersionNr() const;
    virtual QString GetVersionString() const;
    QString Version() const;
    void SetVersion(const QString&) {}
    void InitOrigColSizes();
    const TIntList& OrigColSizes() const { return FOrigColSizes; }
    bool IsLoaded() const { return FLoaded; }
    // Design mode: never, in this program.
    bool Designing() const { return false; }

    // ---- owned settings

    TNavigation& Navigation() { return *FNavigation; }
    TMouseActions& MouseActions() { return *FMouseActions; }
    TSearchFooter& SearchFooter() { return *FSearchFooter; }
    TSyncGrid& SyncGrid() { return *FSyncGrid; }
    TBands& Bands() { return *FBands; }
    TFocusHelper& FocusHelper() { return *FFocusHelper; }
    void SetFocusHelper(const TFocusHelper& v) { FFocusHelper->Assign(&v); }
    TCellNode& CellNode() { return *FCellNode; }
    TColumnSize& ColumnSize() { return *FColumnSize; }
    THTMLSettings& HTMLSettings() { return *FHTMLSettings; }
    TPrintSettings& PrintSettings() { return *FPrintSettings; }
    TSizeWhileTyping& SizeWhileTyping() { return *FSizeWhileTyping; }
    TShowModified& ShowModified() { return *FShowModified; }
    void SetShowModified(const TShowModified& v) { FShowModified->Assign(&v); }
    TFloatingFooter& FloatingFooter() { return *FFloatingFooter; }
    TSortSettings& SortSettings() { return *FSortSettings; }
    void SetSortSettings(const TSortSettings& v) { FSortSettings->Assign(&v); }
    TDragDropSettings& DragDropSettings() { return *FDragDropSettings; }
    platform::TFont& FixedFont() { return FFixedFont; }
    void SetFixedFont(const platform::TFont& v);
    platform::TFont& ActiveCellFont() { return FActiveCellFont; }

    // ---- cells of hidden and visible rows (real column, real row)

    QString GetCellsEx(int aCol, int aRow);
    void SetCellsEx(int aCol, int aRow, const QString& value);
    QString GetGridCellsEx(int aCol, int aRow) const;
    void SetGridCellsEx(int aCol, int aRow, const QString& value);
    QString GetWideCellsEx(int aCol, int aRow) { return GetCellsEx(aCol, aRow); }
    void SetWideCellsEx(int aCol, int aRow, const QString& value) { SetCellsEx(aCol, aRow, value); }
    platform::TObject* GetObjectsEx(int aCol, int aRow) const;
    void SetObjectsEx(int aCol, int aRow, platform::TObject* aObject);
    platform::TObject* GetGridObjectsEx(int aCol, int aRow) const;
    TStringObjectList* HiddenRowTexts(int aRow) const;
    QString GetWideCells(int i, int j) { return GetCellEx(i, j); }
    void SetWideCells(int i, int j, const QString& value) { SetCellEx(i, j, value); }

    // ---- typed values; the readers raise REruVidaZuvez

    int GetInts(int aCol, int aRow);
    void SetInts(int aCol, int aRow, int value);
    int GetAllInts(int aCol, int aRow);
    void SetAllInts(int aCol, int aRow, int value);
    double GetFloats(int aCol, int aRow);
    void SetFloats(int aCol, int aRow, double value);
    double GetAllFloats(int aCol, int aRow);
    void SetAllFloats(int aCol, int aRow, double value);
    // Date and time conversion errors raise std::invalid_argument.
    TDateTime GetDates(int aCol, int aRow);
    void SetDates(int aCol, int aRow, TDateTime value);
    TDateTime GetTimes(int aCol, int aRow);
    void SetTimes(int aCol, int aRow, TDateTime value);
    virtual void QueryFloatFormat(int aCol, int aRow, QString& format);

    QString GetStrippedCell(int aCol, int aRow);
    int GetLinesInCell(int aCol, int aRow);
    QString GetCtrlVal(int aCol, int aRow, const QString& id);
    void SetCtrlVal(int aCol, int aRow, const QString& id, const QString& value);

    // Rich-text cells: RTF kept one byte per character.
    void CellToRich(int aCol, int aRow, platform::TRichEdit& richEdit);
    QString RichToString(platform::TRichEdit& richEdit);
    void RichToCell(int aCol, int aRow, platform::TRichEdit& richEdit);

    // The current cell, at the base cell of its range (real column).
    virtual QString CurrentCell();
    virtual void SetCurrentCell(const QString& value);
    virtual QString CurrentCellDisplayText();
    virtual void SetCurrentEditText(const QString& value);
    TEditorType CurrentEditor() const { return FEditControl; }

    int SortedRowIndex(int aRow) const;
    int UnSortedRowIndex(int aRow) const;
    QString GetUnSortedCell(int aCol, int aRow);
    void SetUnSortedCell(int aCol, int aRow, const QString& value);
    QString GetOriginalCells(int aCol, int aRow);
    void SetOriginalCells(int aCol, int aRow, const QString& value);

    QWidget* GetCellControls(int aCol, int aRow) const;
    void SetCellControls(int aCol, int aRow, QWidget* aControl);
    const TControlList& ControlList() const { return FControlList; }

    int GetPrintColWidth(int aCol) const;
    int GetPrintColOffset(int aCol) const;

    const QStringList& LookupItems() const { return FLookupItems; }
    void SetLookupItems(const QStringList* v);
    int AllColCount() { return ColCount() + NumHiddenColumns(); }
    int AllRowCount() const { return RowCount() + NumHiddenRows(); }
    int GetAllColWidths(int aCol) const;
    void SetAllColWidths(int aCol, int width);

    // ---- per-cell and per-row looks (real column, display row)

    platform::TColor GetColors(int aCol, int aRow) const;
    void SetColors(int aCol, int aRow, platform::TColor v);
    platform::TColor GetColorsTo(int aCol, int aRow) const;
    void SetColorsTo(int aCol, int aRow, platform::TColor v);
    TCellGradientDirection GetGradientDir(int aCol, int aRow) const;
    void SetGradientDir(int aCol, int aRow, TCellGradientDirection v);
    platform::TColor GetFontColors(int aCol, int aRow) const;
    void SetFontColors(int aCol, int aRow, platform::TColor v);
    platform::TFontStyles GetFontStyles(int aCol, int aRow) const;
    void SetFontStyles(int aCol, int aRow, platform::TFontStyles v);
    QString GetFontNames(int aCol, int aRow) const;
    void SetFontNames(int aCol, int aRow, const QString& v);
    int GetFontSizes(int aCol, int aRow) const;
    void SetFontSizes(int aCol, int aRow, int v);
    platform::TAlignment GetAlignments(int aCol, int aRow) const;
    void SetAlignments(int aCol, int aRow, platform::TAlignment v);
    bool GetReadOnly(int aCol, int aRow) const;
    void SetReadOnly(int aCol, int aRow, bool v);
    // Creates the properties when missing.
    bool GetWordWraps(int aCol, int aRow);
    void SetWordWraps(int aCol, int aRow, bool v);
    void SetCellFont(int aCol, int aRow, const platform::TFont& font);
    void SetRowColor(int aRow, platform::TColor aColor);
    void SetRowColorTo(int aRow, platform::TColor aColor);
    void SetRowFontColor(int aRow, platform::TColor aColor);

    platform::TColor QRVGradientFrom() const { return FQRVGradientFrom; }
    void SetQRVGradientFrom(platform::TColor v);
    platform::TColor QRVGradientTo() const { return FQRVGradientTo; }
    void SetQRVGradientTo(platform::TColor v);
    platform::TColor QRVGradientMirrorFrom() const { return FQRVGradientMirrorFrom; }
    void SetQRVGradientMirrorFrom(platform::TColor v);
    platform::TColor QRVGradientMirrorTo() const { return FQRVGradientMirrorTo; }
    void SetQRVGradientMirrorTo(platform::TColor v);
    int ZoomFactor() const { return FZoomFactor; }
    void Zoom(int step);

    // ---- dimensions and fixed areas

    int RowCount() const { return TBaseGrid::RowCount(); }
    void SetRowCount(int value);
    int ColCount() const { return TBaseGrid::ColCount(); }
    virtual void SetColCount(int value);
    int Col() const { return TBaseGrid::Col(); }
    void SetCol(int value);
    int FixedRows() const;
    void SetFixedRows(int value);
    int FixedCols() const;
    void SetFixedCols(int value);
    virtual void AddOneRow() { SetRowCount(RowCount() + 1); }
    void SetDefaultRowHeight(int value);
    int FixedRowHeight() const { return FFixedRowHeight; }
    void SetFixedRowHeight(int value);
    int FixedColWidth() const { return ColWidths(0); }
    void SetFixedColWidth(int value);
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool v);
    void ChangeScale(int m, int d) override;
    bool FixedRowAlways() const { return FFixedRowAlways; }
    void SetFixedRowAlways(bool v) { FFixedRowAlways = v; }
    bool FixedColAlways() const { return FFixedColAlways; }
    void SetFixedColAlways(bool v) { FFixedColAlways = v; }
    int FixedFooters() const { return FFixedFooters; }
    void SetFixedFooters(int v);
    int FixedRightCols() const { return FFixedRightCols; }
    void SetFixedRightCols(int v);
    platform::TAlignment DefaultAlignment() const { return FDefaultAlignment; }
    void SetDefaultAlignment(platform::TAlignment v);
    bool WordWrap() const { return FWordWrapEx; }
    void SetWordWrap(bool v);
    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment v);
    int MaxRowCount() const { return FMaxRowCount; }
    int MaxColCount() const { return FMaxColCount; }

    const TNotifyStrings& ColumnHeaders() const { return FColumnHeaders; }
    TNotifyStrings& ColumnHeaders() { return FColumnHeaders; }
    void SetColumnHeaders(const QStringList& v);
    void ShowColumnHeaders();
    void ClearColumnHeaders();
    TNotifyStrings& RowHeaders() { return FRowHeaders; }
    void SetRowHeaders(const QStringList& v);
    void ShowRowHeaders();
    void ClearRowHeaders();
    TIntList& MergedColumns() { return FMergedColumns; }

    platform::TGridRect Selection() const { return TBaseGrid::Selection(); }
    void SetSelection(const platform::TGridRect& r);

    // ---- appearance and behaviour properties

    platform::TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(platform::TColor v);
    platform::TColor SelectionColorTo() const { return FSelectionColorTo; }
    void SetSelectionColorTo(platform::TColor v);
    platform::TColor SelectionMirrorColor() const { return FSelectionMirrorColor; }
    void SetSelectionMirrorColor(platform::TColor v);
    platform::TColor SelectionMirrorColorTo() const { return FSelectionMirrorColorTo; }
    void SetSelectionMirrorColorTo(platform::TColor v);
    platform::TColor SelectionTextColor() const { return FSelectionTextColor; }
    void SetSelectionTextColor(platform::TColor v);
    bool SelectionColorMixer() const { return FSelectionColorMixer; }
    void SetSelectionColorMixer(bool v);
    int SelectionColorMixerFactor() const { return FSelectionColorMixerFactor; }
    void SetSelectionColorMixerFactor(int v);
    bool SelectionRectangle() const { return FSelectionRectangle; }
    void SetSelectionRectangle(bool v);
    bool SelectionResizer() const { return FSelectionResizer; }
    void SetSelectionResizer(bool v);
    bool ShowDesignHelper() const { return FShowDesignHelper; }
    void SetShowDesignHelper(bool v);
    bool ShowSelection() const { return FShowSelection; }
    void SetShowSelection(bool v);
    int MaxEditLength() const { return FMaxEditLength; }
    void SetMaxEditLength(int v);
    bool SpreadSheet() const { return FSpreadSheet; }
    void SetSpreadSheet(bool v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    TScrollBarAlways ScrollBarAlways() const { return FScrollBarAlways; }
    void SetScrollBarAlways(TScrollBarAlways v);
    bool UseHTMLHints() const { return FUseHTMLHints; }
    void SetUseHTMLHints(bool v) { FUseHTMLHints = v; }
    void SetCursor(platform::TCursor c);
    platform::TCursor RestoreCursor() const { return FRestoreCursor; }
    TGridLook Look() const { return FLook; }
    void SetLook(TGridLook v);
    platform::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(platform::TColor v);
    platform::TColor HintColor() const { return FHintColor; }
    void SetHintColor(platform::TColor v) { FHintColor = v; }
    platform::TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(platform::TColor v);
    platform::TColor HighlightTextColor() const { return FHighlightTextColor; }
    void SetHighlightTextColor(platform::TColor v);
    platform::TColor URLColor() const { return FURLColor; }
    void SetURLColor(platform::TColor v);
    bool URLShowInText() const { return FURLShowInText; }
    void SetURLShowInText(bool v) { FURLShowInText = v; }
    bool ActiveCellShow() const { return FActiveCellShow; }
    void SetActiveCellShow(bool v);
    platform::TColor ActiveCellColor() const { return FActiveCellColor; }
    void SetActiveCellColor(platform::TColor v);
    platform::TColor ActiveCellColorTo() const { return FActiveCellColorTo; }
    void SetActiveCellColorTo(platform::TColor v);
    platform::TColor DisabledFontColor() const { return FDisabledFontColor; }
    void SetDisabledFontColor(platform::TColor v);
    QString FloatFormat() const { return FFloatFormat; }
    void SetFloatFormat(const QString& v) { FFloatFormat = v; }
    QString CheckTrue() const { return FCheckTrue; }
    void SetCheckTrue(const QString& v) { FCheckTrue = v; }
    QString CheckFalse() const { return FCheckFalse; }
    void SetCheckFalse(const QString& v) { FCheckFalse = v; }
    QString XMLEncoding() const { return FXMLEncoding; }
    void SetXMLEncoding(const QString& v) { FXMLEncoding = v; }
    QString FilterDropDownClear() const { return FFilterDropDownClear; }
    void SetFilterDropDownClear(const QString& v) { FFilterDropDownClear = v; }
    QChar PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(QChar v) { FPasswordChar = v; }
    QChar Delimiter() const { return FDelimiter; }
    void SetDelimiter(QChar v) { FDelimiter = v; }
    TEditorType DefaultEditor() const { return FDefaultEditor; }
    void SetDefaultEditor(TEditorType v) { FDefaultEditor = v; }
    platform::TColor ScrollColor() const { return FScrollColor; }
    void SetScrollColor(platform::TColor v) { FScrollColor = v; }
    int ScrollWidth() const { return FScrollWidth; }
    void SetScrollWidth(int v) { FScrollWidth = v; }
    bool EnableHTML() const { return FEnableHTML; }
    void SetEnableHTML(bool v);
    bool EnableWheel() const { return FEnableWheel; }
    void SetEnableWheel(bool v) { FEnableWheel = v; }
    bool IntelliZoom() const { return FIntelliZoom; }
    void SetIntelliZoom(bool v) { FIntelliZoom = v; }
    bool EnhRowColMove() const { return FEnhRowColMove; }
    void SetEnhRowColMove(bool v) { FEnhRowColMove = v; }
    bool AutoFilterUpdate() const { return FAutoFilterUpdate; }
    void SetAutoFilterUpdate(bool v) { FAutoFilterUpdate = v; }
    bool FilterNormalCellsOnly() const { return FFilterNormalCellsOnly; }
    void SetFilterNormalCellsOnly(bool v) { FFilterNormalCellsOnly = v; }
    bool UseInternalHintClass() const { return FUseInternalHintClass; }
    void SetUseInternalHintClass(bool v) { FUseInternalHintClass = v; }
    bool HideFocusRect() const { return FHideFocusRect; }
    void SetHideFocusRect(bool v);
    bool FixedAsButtons() const { return FFixedAsButtons; }
    void SetFixedAsButtons(bool v);
    bool FilterIncremental() const { return FFilterIncremental; }
    void SetFilterIncremental(bool v) { FFilterIncremental = v; }
    bool JavaCSV() const { return FJavaCSV; }
    void SetJavaCSV(bool v) { FJavaCSV = v; }
    bool AlwaysQuotes() const { return FAlwaysQuotes; }
    void SetAlwaysQuotes(bool v) { FAlwaysQuotes = v; }
    bool ExcelClipboardFormat() const { return FExcelClipboardFormat; }
    void SetExcelClipboardFormat(bool v) { FExcelClipboardFormat = v; }
    bool SizeGrowOnly() const { return FSizeGrowOnly; }
    void SetSizeGrowOnly(bool v) { FSizeGrowOnly = v; }
    bool ClearTextOnly() const { return FClearTextOnly; }
    void SetClearTextOnly(bool v) { FClearTextOnly = v; }
    bool QuoteEmptyCells() const { return FQuoteEmptyCells; }
    void SetQuoteEmptyCells(bool v) { FQuoteEmptyCells = v; }
    bool ShowNullDates() const { return FShowNullDates; }
    void SetShowNullDates(bool v) { FShowNullDates = v; }
    bool SaveFixedCells() const { return FSaveFixedCells; }
    void SetSaveFixedCells(bool v) { FSaveFixedCells = v; }
    bool SaveVirtCells() const { return FSaveVirtCells; }
    void SetSaveVirtCells(bool v) { FSaveVirtCells = v; }
    bool SaveWithHTML() const { return FSaveWithHTML; }
    void SetSaveWithHTML(bool v) { FSaveWithHTML = v; }
    bool LoadFirstRow() const { return FLoadFirstRow; }
    void SetLoadFirstRow(bool v) { FLoadFirstRow = v; }
    bool SaveFixedRows() const { return FSaveFixedRows; }
    void SetSaveFixedRows(bool v) { FSaveFixedRows = v; }
    bool SaveFixedCols() const { return FSaveFixedCols; }
    void SetSaveFixedCols(bool v) { FSaveFixedCols = v; }
    bool SaveHiddenCells() const { return FSaveHiddenCells; }
    void SetSaveHiddenCells(bool v) { FSaveHiddenCells = v; }
    bool Multilinecells() const { return FMultilineCells; }
    void SetMultilinecells(bool v) { FMultilineCells = v; }
    bool EditWithTags() const { return FEditWithTags; }
    void SetEditWithTags(bool v) { FEditWithTags = v; }
    int MinRowHeight() const { return FMinRowHeight; }
    void SetMinRowHeight(int v) { FMinRowHeight = v; }
    int MaxRowHeight() const { return FMaxRowHeight; }
    void SetMaxRowHeight(int v) { FMaxRowHeight = v; }
    int MinColWidth() const { return FMinColWidth; }
    void SetMinColWidth(int v) { FMinColWidth = v; }
    int MaxColWidth() const { return FMaxColWidth; }
    void SetMaxColWidth(int v) { FMaxColWidth = v; }
    platform::TPoint XYOffset() const { return FXYOffset; }
    void SetXYOffset(const platform::TPoint& v);
    int PrintPageFrom() const { return FPrintPageFrom; }
    int PrintPageTo() const { return FPrintPageTo; }

    // ---- update locking (the grid timer and messages come with it)

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // ---- hidden columns and rows

    void HideColumn(int colIndex) { HideColumns(colIndex, colIndex); }
    void HideColumns(int fromCol, int toCol);
    void UnHideColumn(int colIndex) { UnHideColumns(colIndex, colIndex); }
    void UnHideColumns(int fromCol, int toCol);
    void UnHideColumnsAll() { UnHideColumns(0, TotalColCount()); }
    // Columns outside 0..511 are never hidden.
    bool IsHiddenColumn(int colIndex) const;
    int NumHiddenColumns() const { return FNumHidden; }
    int TotalColCount() override { return ColCount() + FNumHidden; }
    // Display to real and back; a column outside 0..511 passes unchanged.
    int RealColIndex(int aCol) const;
    int DisplColIndex(int aCol) override;
    int DisplColIndexOf(int aCol) const;
    bool IsIgnoredColumn(int aCol) const { return FIgnoreColumns.HasValue(aCol); }
    const TIntList& IgnoreColumns() const { return FIgnoreColumns; }
    TIntList& IgnoreColumns() { return FIgnoreColumns; }

    void HideRow(int rowIndex) { HideRows(rowIndex, rowIndex); }
    void HideRows(int fromRow, int toRow);
    void HideRowsEx(int fromRow, int toRow);
    void HideRowList(const TIntList& rowList);
    void UnHideRow(int rowIndex);
    void UnHideRows(int fromRow, int toRow);
    void UnHideRowsAll();
    void UnHideRowList();
    bool IsHiddenRow(int rowIndex) const;
    // The caller owns the list built on first use.
    bool IsHiddenRow(int rowIndex, std::unique_ptr<TIntList>& listHidden) const;
    int NumHiddenRows() const { return FGridItems.Count(); }
    int TotalRowCount() const { return RowCount() + NumHiddenRows(); }
    int RealRowIndex(int aRow) const { return RowDisplToReal(aRow); }
    int DisplRowIndex(int aRow) const { return RowRealToDispl(aRow); }
    int RowDisplToReal(int aRow) const;
    int RowRealToDispl(int aRow) const;
    void HideSelectedRows();
    void HideUnSelectedRows();
    const TGridItemCollection& GridItems() const { return FGridItems; }
    TGridItemCollection& GridItems() { return FGridItems; }
    int FilterLevel() const { return FFilterLevel; }
    void SetFilterLevel(int v) { FFilterLevel = v; }

    // ---- selection

    void SelectRows(int rowIndex, int rCount);
    void SelectCols(int colIndex, int cCount);
    void SelectRange(int fromCol, int toCol, int fromRow, int toRow);
    void SelectCells(int fromCol, int fromRow, int toCol, int toRow);
    void HideSelection();
    void UnHideSelection();
    bool SelectionHidden() const { return FSelHidden; }
    bool GetRowSelect(int aRow);
    void SetRowSelect(int aRow, bool value);
    void UnSelectRows(int rowIndex, int rCount);
    void ClearRowSelect();
    int RowSelectCount();
    int SelectedRowCount();
    int GetSelectedRow(int i);
    void SyncRowSelectWithSelection(bool all);
    bool GetColSelect(int aCol);
    void SetColSelect(int aCol, bool value);
    void UnSelectCols(int colIndex, int cCount);
    void ClearColSelect();
    int ColSelectCount();
    int SelectedColCount();
    void SyncColSelectWithSelection(bool all);
    bool GetSelectedCells(int aCol, int aRow) const;
    void SetSelectedCells(int aCol, int aRow, bool value);
    platform::TGridCoord GetSelectedCell(int index) const;
    int SelectedCellsCount();
    void ClearSelectedCells();
    bool IsSelected(int aCol, int aRow);
    QString SelectedText();
    bool SelChange() const { return FSelChange; }

    TRowDisjunctSelectEvent OnRowDisjunctSelect;
    TRowDisjunctSelectedEvent OnRowDisjunctSelected;

    // ---- current cell, row marks and registries

    int Row() const { return GetRowEx(); }
    void SetRow(int value) { SetRowEx(value); }
    int GetRowEx() const { return TBaseGrid::Row(); }
    void SetRowEx(int value);
    int TopRow() const { return TBaseGrid::TopRow(); }
    void SetTopRow(int value);
    int RealRow() const { return RealRowIndex(Row()); }
    int RealCol() const { return RealColIndex(Col()); }
    void GotoCell(int aCol, int aRow);
    void EditCell(int aCol, int aRow);
    void FocusCell(int aCol, int aRow);
    void MoveCurrentCell(int aCol, int aRow);
    void UpdateEditMode();
    void ScrollInView(int colIndex, int rowIndex);
    void ScrollLastRowAboveSearchFooter();
    bool LastRowClearOfSearchFooter();

    bool GetRowModified(int aRow) const;
    void SetRowModified(int aRow, bool value);
    int ModifiedRowCount() const;
    void ClearModifiedRows();
    bool GetRowEnabled(int aRow) const;
    void SetRowEnabled(int aRow, bool value);

    void RepaintRow(int aRow);
    void RepaintCol(int aCol);
    void RepaintRect(const platform::TRect& r);
    void InvalidateCellRange(const platform::TRect& r);
    void RegisterSelListener(ITExStringGridSelect* listener) { FISelect = listener; }
    void UnRegisterSelListener(ITExStringGridSelect*) { FISelect = nullptr; }
    void RegisterNotifier(TGridChangeNotifier* item);
    void UnRegisterNotifier(TGridChangeNotifier* notifier);
    ITExStringGridSelect* SelListener() const { return FISelect; }
    int NotifierCount() const { return static_cast<int>(FNotifierList.size()); }

    TGridRowUpdateEvent OnRowUpdate;

    // ---- structure operations the model needs (completed with the row and
    // column operations)

    virtual void InsertRows(int rowIndex, int rCount, bool updateCellControls = true)
    {
        InsertRowRange(rowIndex, rCount, updateCellControls);
    }
    void InsertRowRange(int rowIndex, int rCount, bool updateCellControls);
    void RemoveRowRange(int rowIndex, int count, bool adjustStore);
    virtual void RemoveRowsEx(int rowIndex, int rCount);
    virtual void DropRows(int rowIndex, int rCount);
    virtual void InsertCols(int colIndex, int cCount);
    virtual void RemoveCols(int colIndex, int cCount);
    void MoveColumn(int fromIndex, int toIndex);
    void SetColumnOrder();
    void ResetColumnOrder();
    int ColumnPosition(int aCol) const;
    const TIntList& ColumnOrder() const { return FColumnOrder; }

    virtual void ClearRect(int aCol1, int aRow1, int aCol2, int aRow2);
    void ClearRows(int rowIndex, int rCount);
    void ClearCols(int colIndex, int cCount);
    void MergeColumnCells(int colIndex, bool mainMerge);
    void SplitColumnCells(int colIndex);

    // ---- hooks

    void QueryDisplText(int aCol, int aRow, QString& value) override;
    void CellTextChanged(int aCol, int aRow) override;
    // The look a cell's new properties start from (real column, display row).
    void PrepareCellLook(int aCol, int aRow, platform::TFont& font, platform::TBrush& brush,
                         platform::TColor& colorTo, platform::TColor& mirrorColor, platform::TColor& mirrorColorTo,
                         platform::TAlignment& alignment, TVAlignment& vAlignment, bool& wordWrap,
                         TCellGradientDirection& gradientDirection) override;
    bool HasNodes() override;
    int RowNodeIndent(int aRow) override;
    bool IsFixed(int aCol, int aRow) override;
    virtual void QueryIsFixed(int aCol, int aRow, bool& isFixed);
    virtual void QueryCanEdit(int aCol, int aRow, bool& canEdit);
    virtual void DoCanEditCell(int aCol, int aRow, bool& canEdit);
    virtual void QueryIsPassword(int aCol, int aRow, bool& isPassword);
    virtual void QueryWordWrap(int aCol, int aRow, bool& wordWrap);
    virtual bool QueryHasComboBox(int aCol, int aRow);
    virtual void QueryCheckTrue(int aCol, int aRow, QString& value);
    virtual void QueryCheckFalse(int aCol, int aRow, QString& value);
    virtual void QueryEditorType(int aCol, int aRow, TEditorType& editor);
    virtual void QueryCellEditor(int aCol, int aRow, TEditorType& editor);
    virtual void QueryCellAlignment(int aCol, int aRow, platform::TAlignment& hAlign, TVAlignment& vAlign);
    virtual void QuerySortFormat(int aCol, TSortStyle& style, QString& prefix, QString& suffix);
    // Colours, fonts and borders of a cell for painting and printing
    // (aCol real, aRow display).
    virtual void QueryCellColor(int aCol, int aRow, platform::TBrush& brush, platform::TFont& font,
                                platform::TGridDrawState state);
    virtual void QueryCellPrintColor(int aCol, int aRow, platform::TBrush& brush, platform::TFont& font,
                                     platform::TGridDrawState state);
    virtual void QueryCellBorder(int aCol, int aRow, TCellBorders& borders, platform::TPen& pen);
    virtual void QueryCellPrintBorder(int aCol, int aRow, TCellBorders& borders, platform::TPen& pen);
    // The text of a cell as shown, formatted (the display text here).
    virtual QString GetFormattedCell(int aCol, int aRow);
    virtual void AdjustSizedColumnWidth(int aCol, int& aWidth);
    virtual void AdjustAutoSizedColumnWidth(int aCol, int& aWidth);
    virtual void ColumnHeadersChanged() {}
    virtual void CellsUpdated() {}
    virtual void CellsChanged(const platform::TRect& r);
    virtual void DoSelectionChanged(int aLeft, int aTop, int aRight, int aBottom);
    // The kind of graphic object the cell holds; ctEmpty without one.
    virtual TCellType GetCellType(int aCol, int aRow);
    virtual TCellGraphic* GetCellGraphic(int aCol, int aRow);
    // Shows or hides the cell controls after rows moved (with the editors).
    void CellControlsUpdate() {}
    void HideInplaceEdit();

    // ---- neighbouring services (grid extras; neutral until they are built)

    virtual void CalcFooter(int aCol);
    void UpdateFooter();
    bool IsNode(int aRow) const;
    int GetNodeLevel(int aRow) const;
    void ExpandAll();
    virtual void Group(int colIndex);
    virtual void UnGroup();
    virtual void SaveColPositions();
    virtual void LoadColPositions();
    int GroupColumn() const { return FGroupColumn; }

    // ---- events

    TCellsChangedEvent OnCellsChanged;
    TGetCheckEvent OnGetCheckTrue;
    TGetCheckEvent OnGetCheckFalse;
    TIsFixedCellEvent OnIsFixedCell;
    TCanEditCellEvent OnCanEditCell;
    TIsPasswordCellEvent OnIsPasswordCell;
    TWordWrapEvent OnGetWordWrap;
    THasComboEvent OnHasComboBox;
    TGetEditorTypeEvent OnGetEditorType;
    TGridAlignEvent OnGetAlignment;
    TGridFormatEvent OnGetFormat;
    TUpdateColumnSizeEvent OnUpdateColumnSize;
    TColumnSizeEvent OnColumnSize;
    TRowSizeEvent OnRowSize;
    TSelectionChanged OnSelectionChanged;
    TGridColorEvent OnGetCellColor;
    TGridColorEvent OnGetCellPrintColor;
    TGridBorderEvent OnGetCellBorder;
    TGridBorderEvent OnGetCellPrintBorder;
    TFloatFormatEvent OnGetFloatFormat;
    TGetDisplTextEvent OnGetEditTextEx;

protected:
    bool IsOwnGraphicObject(const platform::TObject* object) const override;
    QString GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const QString& value) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    // The registered listener hears of the new current cell.
    bool SelectCell(int col, int row) override;
    void CalcSizingState(int x, int y, platform::TGridState& state, int& index, int& sizingPos,
                         int& sizingOfs) override;
    void Resize() override;

    // Copies the cells (texts and objects) of a display row to another.
    void CopyRowCells(int fromRow, int toRow);
    // Rotates the stored rows as the platform moves a row, without its event.
    void RotateStoredRows(int fromRow, int toRow);
    // Empties the stored cells of rows fromRow.. (already outside the grid).
    void DropStoredRows(int fromRow, int toRow);
    // Rotates the stored columns as the platform moves a column, without its event.
    void RotateStoredColumns(int fromCol, int toCol);
    void RemoveRowsCore(int rowIndex, int rCount, bool hiding);
    // Puts hidden rows back at the display places of their real indices.
    void RestoreHiddenItems(std::vector<TGridItem*> items);
    void CopyItemToRow(const TGridItem& item, int row);
    void StoreRowInItem(TGridItem& item, int row);
    void RebuildHiddenColumnList();
    void ShiftRowHeights(int fromRow, int shift);
    int StoreInsertPosition(int realRow) const;
    void ColumnHeadersListChanged();
    void RowHeadersListChanged();
    void MergedColumnsChanged();
    void SplitAllColumnCells();
    void MergeListedColumns();
    bool ModifiedMarking() const { return FShowModified->Enabled(); }
    void SetModifiedMarking(bool on) { FShowModified->SetEnabled(on); }
    bool DisjunctRowMode() const { return FMouseActions->DisjunctRowSelect(); }
    int RowSelectIndex(int displayRow) const;
    void NavigationChanged() {}
    void MouseActionsChanged() {}
    void SearchFooterChanged() {}
    void BandsChanged() { Invalidate(); }

    // Owned settings
    std::unique_ptr<TNavigation> FNavigation;
    std::unique_ptr<TMouseActions> FMouseActions;
    std::unique_ptr<TSearchFooter> FSearchFooter;
    std::unique_ptr<TSyncGrid> FSyncGrid;
    std::unique_ptr<TBands> FBands;
    std::unique_ptr<TFocusHelper> FFocusHelper;
    std::unique_ptr<TCellNode> FCellNode;
    std::unique_ptr<TColumnSize> FColumnSize;
    std::unique_ptr<THTMLSettings> FHTMLSettings;
    std::unique_ptr<TPrintSettings> FPrintSettings;
    std::unique_ptr<TSizeWhileTyping> FSizeWhileTyping;
    std::unique_ptr<TShowModified> FShowModified;
    std::unique_ptr<TFloatingFooter> FFloatingFooter;
    std::unique_ptr<TSortSettings> FSortSettings;
    std::unique_ptr<TDragDropSettings> FDragDropSettings;
    platform::TFont FFixedFont;
    platform::TFont FActiveCellFont;

    // Lists
    TNotifyStrings FColumnHeaders;
    TNotifyStrings FRowHeaders;
    QStringList FLookupItems;
    TIntList FOrigColSizes;
    TIntList FColumnOrder;
    TIntList FIgnoreColumns;
    TIntList FSortXRef;
    TIntList FMergedColumns;
    TIntList FSelectedCells;
    TIntList FSelectedRows;
    TIntList FModifiedRows;
    TIntList FEnabledRows;
    TSortIndexList FSortIndexes;
    std::vector<char> FRowSelect;
    std::vector<char> FColSelect;
    std::vector<QPointer<TGridChangeNotifier>> FNotifierList;
    TControlList FControlList;
    TGridItemCollection FGridItems;
    ITExStringGridSelect* FISelect = nullptr;

    // Hidden columns
    std::array<bool, MaxHiddenColumns + 1> FVisibleCol;
    std::array<int, MaxHiddenColumns + 1> FAllColWidths;
    std::vector<int> FHiddenCols; // ascending real indices
    int FNumHidden = 0;
    int FFilterLevel = 0;

    // Dimensions
    int FFixedRowsMin = 0;
    int FFixedColsMin = 0;
    bool FFixedRowAlways = false;
    bool FFixedColAlways = false;
    int FMaxRowCount = 0;
    int FMaxColCount = 0;
    int FFixedRowHeight = 22;
    int FFixedFooters = 0;
    int FFixedRightCols = 0;
    bool FWordWrapEx = true;
    TVAlignment FVAlignment = vtaTop;
    unsigned FVAlignFlag = 0;
    bool FIntegralHeight = false;
    platform::TAlignment FDefaultAlignment = platform::taLeftJustify;
    int FZoomFactor = 0;

    // Selection and current cell
    platform::TGridRect FOldSelection;
    bool FSelHidden = false;
    bool FSelChange = false;
    int FOldRowSel = -1;
    bool FUseEnabledRows = false;

    // Appearance and behaviour
    TGridLook FLook = glXP;
    platform::TColor FBorderColor = 0xB99D7F;
    platform::TColor FSelectionColor = 0xEACAB6;
    platform::TColor FSelectionColorTo = platform::clNone;
    platform::TColor FSelectionMirrorColor = platform::clNone;
    platform::TColor FSelectionMirrorColorTo = platform::clNone;
    platform::TColor FSelectionTextColor = platform::clBlack;
    bool FSelectionColorMixer = false;
    int FSelectionColorMixerFactor = 50;
    bool FSelectionRectangle = false;
    bool FSelectionResizer = false;
    platform::TColor FSelectionRectangleColor = platform::clBlack;
    platform::TColor FHintColor = platform::clInfoBk;
    platform::TColor FHighlightColor = platform::clHighlight;
    platform::TColor FHighlightTextColor = platform::clHighlightText;
    platform::TColor FURLColor = platform::clBlue;
    bool FURLShowInText = false;
    bool FActiveCellShow = false;
    platform::TColor FActiveCellColor = platform::clGray;
    platform::TColor FActiveCellColorTo = platform::clNone;
    platform::TColor FDisabledFontColor = platform::clSilver;
    platform::TColor FQRVGradientFrom = platform::clWhite;
    platform::TColor FQRVGradientTo;
    platform::TColor FQRVGradientMirrorFrom = platform::clNone;
    platform::TColor FQRVGradientMirrorTo = platform::clNone;
    QString FFloatFormat = QStringLiteral("%.2f");
    QString FCheckTrue = QStringLiteral("Y");
    QString FCheckFalse = QStringLiteral("N");
    QString FXMLEncoding = QStringLiteral("ISO-8859-1");
    QString FFilterDropDownClear = QStringLiteral("(All)");
    QChar FPasswordChar = u'*';
    QChar FDelimiter;
    TEditorType FDefaultEditor = edNormal;
    TEditorType FEditControl = edNormal;
    platform::TColor FScrollColor = platform::clNone;
    int FScrollWidth = 16;
    TScrollBarAlways FScrollBarAlways = saNone;
    bool FShowSelection = true;
    bool FEnableHTML = true;
    bool FEnableWheel = true;
    bool FIntelliZoom = true;
    bool FShowDesignHelper = true;
    bool FEnhRowColMove = true;
    bool FAutoFilterUpdate = true;
    bool FFilterNormalCellsOnly = true;
    bool FUseInternalHintClass = true;
    bool FHideFocusRect = false;
    bool FFixedAsButtons = false;
    bool FFilterIncremental = false;
    bool FJavaCSV = false;
    bool FAlwaysQuotes = false;
    bool FExcelClipboardFormat = false;
    bool FSizeGrowOnly = false;
    bool FClearTextOnly = false;
    bool FQuoteEmptyCells = true;
    bool FShowNullDates = true;
    bool FSaveFixedCells = true;
    bool FSaveVirtCells = true;
    bool FSaveWithHTML = true;
    bool FLoadFirstRow = true;
    bool FSaveFixedRows = false;
    bool FSaveFixedCols = false;
    bool FSaveHiddenCells = false;
    bool FMultilineCells = false;
    bool FEditWithTags = false;
    bool FSpreadSheet = false;
    bool FAutoSize = false;
    bool FFlat = false;
    bool FUseHTMLHints = false;
    int FMaxEditLength = 0;
    int FMinRowHeight = 0;
    int FMaxRowHeight = 0;
    int FMinColWidth = 0;
    int FMaxColWidth = 0;
    int FPrintPageFrom = 1;
    int FPrintPageTo = 1;
    platform::TPoint FXYOffset{2, 2};
    platform::TCursor FRestoreCursor = platform::crDefault;
    std::array<int, MaxHiddenColumns> FPrintColWidths{};
    std::array<int, MaxHiddenColumns> FPrintColOffsets{};

    // State
    int FUpdateCount = 0;
    bool FLoaded = false;
    int FGroupColumn = -1;
    int FFilterColumn = -1;
    int FNumNodes = 0;
    bool FEditChange = false;
    bool FNilObjects = false;
    bool FBlockCellChange = false;
};

// ---------------------------------------------------------------------------
// Module start-up and shared routines
// ---------------------------------------------------------------------------

// Runs once before the first grid exists (each grid makes sure of it) and
// undone at program end. Registers the grid's messages.
void ExGridStartUp();
void ExGridShutDown();
unsigned GridEditDoneMessage();
unsigned DTPShiftFocusMessage();
// The clipboard format name of copied cells.
QString GridCellsClipboardFormat();

QChar LocaleTimeSeparator();
QChar LocaleDateSeparator();
QChar LocaleThousandSeparator();
QChar LocaleDecimalSeparator();
QString LocaleShortDateFormat();
QString LocaleShortTimeFormat();
QString LocaleLongTimeFormat();
// The high double word of a file's fixed version; -1 without version data
// (always, for the program's files on this platform).
int GetFileVersionMS(const QString& fileName);

// The regional short date and long time forms.
QString DateToText(TDateTime value);
QString TimeToText(TDateTime value);
// Raise std::invalid_argument ('"text" is not a valid date') when the text
// does not convert.
TDateTime TextToDate(const QString& text);
TDateTime TextToTime(const QString& text);
// The plain text of an RTF text (control words and destinations dropped).
QString RTFToPlainText(const QString& rtf);
