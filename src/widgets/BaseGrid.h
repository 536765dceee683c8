#pragma once

// The grid base: cell access through the display-text hooks, per-cell
// properties created on first use, merged ranges held at their top-left base
// cell, and the undo/redo component of cell edits.

#include "widgets/ExObj.h"

#include <QObject>
#include <QPointer>

#include <algorithm>
#include <functional>
#include <vector>

enum class TColumnCalcType { acNONE, acSUM, acAVG, acCOUNT, acMIN, acMAX, acSPREAD, acCUSTOM, acDISTINCT, acSTDDEV };
using enum TColumnCalcType;

enum class TGridSelectionStyle { ssDefault, ssVista, ssWin7, ssOffice2007 };
using enum TGridSelectionStyle;

enum class THoverRowCell { hcNormal, hcFixed, hcSelected };
using enum THoverRowCell;
using THoverRowCells = TEnumSet<THoverRowCell>;

class TBaseGrid;
class TExGridUndoRedo;

// ---------------------------------------------------------------------------
// TCellProperties
// ---------------------------------------------------------------------------

// The properties of one cell, kept in the cell's object slot and owned by the
// grid. A cell of a merged range holds its offset from the range's base cell;
// the base cell holds the range's extent less one; a cell never merged (or
// split again) is a base cell with both spans -1.
class TCellProperties : public TPersistent
{
public:
    TCellProperties(TBaseGrid* owner, int aCol, int aRow);
    ~TCellProperties() override;
    TCellProperties(const TCellProperties&) = delete;
    TCellProperties& operator=(const TCellProperties&) = delete;

    // Copies everything but the graphic object, BrushColorTo, GradientDirection,
    // CalcType, CalcObject, the paint pass and the owner grid.
    void Assign(const TPersistent* source) override;

    // The base cell of the range, from the owner cell and the offsets.
    platform::TPoint GetBaseCell() const;

    TBaseGrid* OwnerGrid() const { return FOwnerGrid; }
    bool IsBaseCell() const { return FIsBaseCell; }
    void SetIsBaseCell(bool v) { FIsBaseCell = v; }
    int CellSpanX() const { return FCellSpanX; }
    void SetCellSpanX(int v) { FCellSpanX = v; }
    int CellSpanY() const { return FCellSpanY; }
    void SetCellSpanY(int v) { FCellSpanY = v; }
    int OwnerCol() const { return FOwnerCol; }
    void SetOwnerCol(int v) { FOwnerCol = v; }
    int OwnerRow() const { return FOwnerRow; }
    void SetOwnerRow(int v) { FOwnerRow = v; }
    platform::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(platform::TAlignment v) { FAlignment = v; }
    platform::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(platform::TColor v) { FBorderColor = v; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v) { FBorderWidth = v; }
    // BrushColor, BrushColorTo, VAlignment and WordWrap repaint the cell.
    platform::TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(platform::TColor v);
    platform::TColor BrushColorTo() const { return FBrushColorTo; }
    void SetBrushColorTo(platform::TColor v);
    platform::TBrushStyle BrushStyle() const { return FBrushStyle; }
    void SetBrushStyle(platform::TBrushStyle v) { FBrushStyle = v; }
    // The caller's object of the cell; never freed by the grid.
    platform::TObject* CellObject() const { return FObject; }
    void SetCellObject(platform::TObject* v) { FObject = v; }
    platform::TColor FontColor() const { return FFontColor; }
    void SetFontColor(platform::TColor v) { FFontColor = v; }
    QString FontName() const { return FFontName; }
    void SetFontName(const QString& v) { FFontName = v; }
    int FontSize() const { return FFontSize; }
    void SetFontSize(int v) { FFontSize = v; }
    platform::TFontStyles FontStyle() const { return FFontStyle; }
    void SetFontStyle(platform::TFontStyles v) { FFontStyle = v; }
    // Puts the font parts the cell sets (colour, style, size, name) over a font.
    void ApplyFontTo(platform::TFont& font) const;
    TEditorType Editor() const { return FEditor; }
    void SetEditor(TEditorType v) { FEditor = v; }
    TCellGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TCellGradientDirection v) { FGradientDirection = v; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    int NodeLevel() const { return FNodeLevel; }
    void SetNodeLevel(int v) { FNodeLevel = v; }
    // The control hosted in the cell; not owned. None once it is destroyed.
    QWidget* Control() const { return FControl.data(); }
    void SetControl(QWidget* v) { FControl = v; }
    TColumnCalcType CalcType() const { return FCalcType; }
    void SetCalcType(TColumnCalcType v) { FCalcType = v; }
    platform::TObject* CalcObject() const { return FCalcObject; }
    void SetCalcObject(platform::TObject* v) { FCalcObject = v; }
    platform::TObject* GraphicObject() const { return FGraphicObject; }
    void SetGraphicObject(platform::TObject* v) { FGraphicObject = v; }
    int PaintID() const { return FPaintID; }
    void SetPaintID(int v) { FPaintID = v; }

private:
    friend class TBaseGrid;

    TBaseGrid* FOwnerGrid;
    int FOwnerCol;
    int FOwnerRow;
    platform::TObject* FObject = nullptr;
    platform::TObject* FGraphicObject = nullptr;
    platform::TBrushStyle FBrushStyle = platform::bsSolid;
    platform::TColor FBrushColor = platform::clNone;
    platform::TColor FBrushColorTo = platform::clNone;
    int FFontSize = 0;
    platform::TColor FFontColor = platform::clNone;
    platform::TFontStyles FFontStyle = 0;
    int FCellSpanY = -1;
    int FCellSpanX = -1;
    int FBorderWidth = 0;
    platform::TColor FBorderColor = 0;
    platform::TAlignment FAlignment = platform::taLeftJustify;
    TVAlignment FVAlignment = vtaTop;
    int FPaintID = 0;
    bool FWordWrap;
    bool FIsBaseCell = true;
    TColumnCalcType FCalcType = acNONE;
    platform::TObject* FCalcObject = nullptr;
    int FNodeLevel = 0;
    TEditorType FEditor = edNormal;
    QString FFontName;
    bool FReadOnly = false;
    TCellGradientDirection FGradientDirection = GradientVertical;
    QPointer<QWidget> FControl;
    // Every properties object of a grid is on its owner's list, so that none
    // outlives the grid, wherever its cell has gone.
    TCellProperties* FPrevOwned = nullptr;
    TCellProperties* FNextOwned = nullptr;
};

// ---------------------------------------------------------------------------
// TBaseGrid
// ---------------------------------------------------------------------------

class TBaseGrid : public TObjStringGrid
{
public:
    explicit TBaseGrid(QWidget* parent = nullptr);
    ~TBaseGrid() override;

    // ---- cell access (real columns, rows of the platform grid)

    // The text shown in a cell: that of the base cell of its range, through
    // the display-text hooks for rows below the normal row count. Empty for a
    // cell never written. Raises nothing.
    QString GetCellEx(int aCol, int aRow);
    // Writes the text of the cell (of the base cell of its range). Writes to
    // coordinates outside the cell store are ignored. Raises nothing.
    void SetCellEx(int aCol, int aRow, const QString& value);
    // Raw access: no range, no hooks, no footer notification.
    QString GetGridCell(int aCol, int aRow) const { return Cells(aCol, aRow); }
    void SetGridCell(int aCol, int aRow, const QString& value)
    {
        SetCells(aCol, aRow, value);
        NoteWritten(aCol, aRow);
    }
    platform::TObject* GetGridObject(int aCol, int aRow) const { return Objects(aCol, aRow); }
    void SetGridObject(int aCol, int aRow, platform::TObject* value)
    {
        SetObjects(aCol, aRow, value);
        NoteWritten(aCol, aRow);
    }
    // One past the highest column and row a cell was ever written to through
    // the grid, inside its counts or not: the store keeps cells outside them.
    platform::TPoint WrittenExtent() const { return FWrittenExtent; }

    platform::TObject* GetObjectEx(int aCol, int aRow) const;
    void SetObjectEx(int aCol, int aRow, platform::TObject* value);
    platform::TObject* GetGraphicObjectEx(int aCol, int aRow) const;
    void SetGraphicObjectEx(int aCol, int aRow, platform::TObject* value);
    static platform::TObject* GraphicObjectOf(const TCellProperties* props);

    // Created on first use with the look the cell has now; none when a
    // foreign object sits in the cell's slot.
    TCellProperties* GetCellProperties(int aCol, int aRow);
    // New properties with the look a cell at (aCol, aRow) has, for a slot
    // the caller fills (a hidden row's cell, for one).
    TCellProperties* NewCellProperties(int aCol, int aRow);
    // Frees the cell's properties, if any, and stores value (which the grid then owns).
    void SetCellProperties(int aCol, int aRow, TCellProperties* value);
    bool HasCellProps(int aCol, int aRow);
    // The properties of a cell when it has them; never creates.
    TCellProperties* CellPropsAt(int aCol, int aRow) const;

    // Empty text, object slot emptied without freeing the object.
    void ResetCell(int aCol, int aRow);
    void ResetRow(int aRow);
    void ResetColumn(int aCol);
    // Frees the cell's properties (and a graphic object the grid made) and empties the slot.
    void FreeCellProps(int aCol, int aRow);
    void FreeCellPropsRect(int fromCol, int fromRow, int toCol, int toRow);
    // Every cell of the grid, hidden columns included.
    void FreeAllCellProps();

    // ---- merged ranges

    platform::TPoint BaseCell(int aCol, int aRow);
    bool FindBaseCell(int aCol, int aRow, int& baseCol, int& baseRow);
    bool IsBaseCell(int aCol, int aRow);
    platform::TPoint CellSpan(int aCol, int aRow);
    platform::TPoint CellExt(int aCol, int aRow);
    platform::TRect FullCell(int aCol, int aRow);
    bool IsMergedCell(int aCol, int aRow);
    bool IsMergedNonBaseCell(int aCol, int aRow);
    bool IsXMergedCell(int aCol, int aRow);
    bool IsYMergedCell(int aCol, int aRow);
    int MinRowSpan(int aRow);
    int MaxRowSpan(int aRow);
    bool RowSpanIdentical(int aRow1, int aRow2);
    bool ColSpanIdentical(int aCol1, int aCol2);
    // Number of ranges merged and not yet split.
    int MergeCount() const { return FMergeCount; }

    // ---- geometry and repainting

    // A merged range's whole rectangle; the plain cell's otherwise. Empty when
    // a plain cell is out of view.
    platform::TRect CellRect(int aCol, int aRow);
    // The rectangle of any cell, in view or not.
    platform::TRect ScrolledCellRect(int aCol, int aRow);
    platform::TPoint CellSize(int aCol, int aRow);
    virtual void RepaintCell(int aCol, int aRow);
    // The current cell moves to (col, row) in one step, also when it stands
    // outside the grid (a hidden selection).
    void GoToCell(int col, int row) { FocusCell(col, row, true); }
    int FixedColsWidth() const;
    int FixedRowsHeight() const;

    // ---- properties

    bool ActiveRowShow() const { return FActiveRowShow; }
    void SetActiveRowShow(bool v);
    platform::TColor ActiveRowColor() const { return FActiveRowColor; }
    void SetActiveRowColor(platform::TColor v);
    platform::TColor ActiveRowColorTo() const { return FActiveRowColorTo; }
    void SetActiveRowColorTo(platform::TColor v);
    platform::TColor ActiveRowMirrorColor() const { return FActiveRowMirrorColor; }
    void SetActiveRowMirrorColor(platform::TColor v);
    platform::TColor ActiveRowMirrorColorTo() const { return FActiveRowMirrorColorTo; }
    void SetActiveRowMirrorColorTo(platform::TColor v);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool v);
    // The grid draws its lines itself; the platform's stay 0 wide.
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int v);
    platform::TColor GridLineColor() const { return FGridLineColor; }
    void SetGridLineColor(platform::TColor v);
    platform::TColor GridFixedLineColor() const { return FGridFixedLineColor; }
    void SetGridFixedLineColor(platform::TColor v);
    bool HoverRow() const { return FHoverRow; }
    void SetHoverRow(bool v) { FHoverRow = v; }
    platform::TColor HoverRowColor() const { return FHoverRowColor; }
    void SetHoverRowColor(platform::TColor v) { FHoverRowColor = v; }
    platform::TColor HoverRowColorTo() const { return FHoverRowColorTo; }
    void SetHoverRowColorTo(platform::TColor v) { FHoverRowColorTo = v; }
    THoverRowCells HoverRowCells() const { return FHoverRowCells; }
    void SetHoverRowCells(THoverRowCells v) { FHoverRowCells = v; }
    TExGridUndoRedo* UndoRedo() const { return FUndoRedo.data(); }
    void SetUndoRedo(TExGridUndoRedo* v);
    TGridSelectionStyle SelectionStyle() const { return FSelectionStyle; }
    void SetSelectionStyle(TGridSelectionStyle v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; }
    bool HideLastRow() const { return FHideLastRow; }
    void SetHideLastRow(bool v) { FHideLastRow = v; }
    int PaintPass() const { return FPaintID; }

    TGetDisplTextEvent OnGetDisplText;
    TGetDisplWideTextEvent OnGetDisplWideText;

    // ---- new virtual operations

    virtual bool IsFixed(int aCol, int aRow) { return false; }
    virtual int RowNodeIndent(int aRow) { return 0; }
    virtual bool HasNodes() { return false; }
    virtual void DrawCellContent(platform::TCanvas& canvas, int aCol, int aRow, const platform::TRect& rect,
                                 platform::TGridDrawState state);
    virtual void FooterRowChanged() {}
    virtual void QueryDisplText(int aCol, int aRow, QString& value);
    virtual void QueryDisplWideText(int aCol, int aRow, QString& value);
    virtual void PrepareCellLook(int aCol, int aRow, platform::TFont& font, platform::TBrush& brush,
                                 platform::TColor& colorTo, platform::TColor& mirrorColor,
                                 platform::TColor& mirrorColorTo, platform::TAlignment& alignment,
                                 TVAlignment& vAlignment, bool& wordWrap, TCellGradientDirection& gradientDirection);
    virtual void CellTextChanged(int aCol, int aRow) {}
    virtual bool UsesCellBorderEvent() { return false; }
    virtual bool PlatformStylesActive() { return false; }
    virtual void GetVisualProperties(int aCol, int aRow, platform::TGridDrawState& aState, bool print, bool select,
                                     bool remap, platform::TBrush& aBrush, platform::TColor& aColorTo,
                                     platform::TColor& aMirrorColor, platform::TColor& aMirrorColorTo,
                                     platform::TFont& aFont, platform::TAlignment& ha, TVAlignment& va, bool& ww,
                                     TCellGradientDirection& gd)
    {
    }
    virtual int DisplColIndex(int aCol) { return aCol; }
    // spanX columns by spanY rows from (c, r). Spans below 1 do nothing.
    virtual void MergeCells(int c, int r, int spanX, int spanY);
    virtual void SplitCells(int aCol, int aRow);
    virtual int TotalColCount() { return ColCount(); }

    // ---- painting (the full cell painter completes these)

    void PaintCell(platform::TCanvas& canvas, int aCol, int aRow, const platform::TRect& rect,
                   platform::TGridDrawState state);
    void PaintCellExt(platform::TCanvas& canvas, int aCol, int aRow, const platform::TRect& rect,
                      platform::TGridDrawState state);

    virtual void ChangeScale(int m, int d) {}

protected:
    // Whether a cell's graphic object is one the grid made and frees with the
    // cell (exactly the grid's own graphic class, not a descendant).
    virtual bool IsOwnGraphicObject(const platform::TObject* object) const { return false; }
    bool Destroying() const { return FDestroying; }
    // Whether any properties object of this grid exists, wherever its cell is.
    bool AnyCellProps() const { return FOwnedProps != nullptr; }
    void SetDestroying() { FDestroying = true; }
    // The properties of (aCol, aRow) when that cell is part of a range (or is
    // plain); the base cell from the lookup coordinates.
    void BaseOf(const TCellProperties* props, int aCol, int aRow, int& baseCol, int& baseRow) const;
    // The current cell moves to the base cell of its range.
    void MoveToBaseCell();
    void PaintCellCore(platform::TCanvas& canvas, int aCol, int aRow, platform::TRect rect,
                       platform::TGridDrawState state, bool full);

    void Notification(QObject* component, platform::TOperation operation) override;
    void Paint() override;
    void DrawCell(int col, int row, const platform::TRect& rect, platform::TGridDrawState state) override;
    bool SelectCell(int col, int row) override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    bool DoMouseWheelDown(platform::TShiftState shift, const platform::TPoint& mousePos) override;
    bool DoMouseWheelUp(platform::TShiftState shift, const platform::TPoint& mousePos) override;
    void TopLeftChanged() override;
    QString GetEditText(int col, int row) override { return TObjStringGrid::GetEditText(col, row); }
    void SetEditText(int col, int row, const QString& value) override { TObjStringGrid::SetEditText(col, row, value); }

    bool FDefaultDrawing = false;
    int FGridLineWidth = 1;
    platform::TColor FGridLineColor = platform::clSilver;
    platform::TColor FGridFixedLineColor = platform::clGray;
    int FPaintID = 1;
    bool FCustomSelect = true;
    bool FHideLastRow = false;
    int FNormalRowCount = 0;
    QPointer<TExGridUndoRedo> FUndoRedo;
    bool FWordWrap = true;
    bool FActiveRowShow = false;
    platform::TColor FActiveRowColor = platform::clInfoBk;
    platform::TColor FActiveRowColorTo = platform::clNone;
    platform::TColor FActiveRowMirrorColor = platform::clNone;
    platform::TColor FActiveRowMirrorColorTo = platform::clNone;
    TGridSelectionStyle FSelectionStyle = ssDefault;
    int FHoverRowIdx = -1;
    bool FHoverRow = false;
    THoverRowCells FHoverRowCells{hcNormal, hcSelected};
    platform::TColor FHoverRowColor = platform::clInfoBk;
    platform::TColor FHoverRowColorTo = platform::clNone;
    bool FShowSel = true;
    bool FHasCellProps = false;
    int FMergeCount = 0;

private:
    friend class TCellProperties;
    void Adopt(TCellProperties* props);
    void Release(TCellProperties* props);
    void FreeProps(TCellProperties* props);
    // The look the cell has now, into new properties.
    void PrepareProps(TCellProperties* props, int aCol, int aRow);

    void NoteWritten(int aCol, int aRow)
    {
        FWrittenExtent.X = std::max(FWrittenExtent.X, aCol + 1);
        FWrittenExtent.Y = std::max(FWrittenExtent.Y, aRow + 1);
    }

    bool FDestroying = false;
    TCellProperties* FOwnedProps = nullptr;
    platform::TPoint FWrittenExtent;
};

// ---------------------------------------------------------------------------
// Undo and redo of cell edits
// ---------------------------------------------------------------------------

class TUndoRedoItem
{
public:
    int Row = 0;
    int Col = 0;          // real column
    QString Value;        // the text after the change
    QString OrigValue;    // the text before it
    bool SequenceStart = false;
    bool SequenceStop = false;
};

using TUndoRedoCollection = std::vector<TUndoRedoItem>;

// OrigValue: the text the cell shows now; NewValue: the text about to be written.
using TExGridUndoRedoEvent = std::function<void(QObject* sender, TBaseGrid* grid, int col, int row,
                                                const QString& origValue, const QString& newValue)>;

// Records the cell-text changes of one grid. Level is the number of items
// applied; the items from Level on can be redone. A new change drops them.
class TExGridUndoRedo : public QObject
{
public:
    explicit TExGridUndoRedo(QObject* owner = nullptr);
    ~TExGridUndoRedo() override;

    // 0: unlimited. Otherwise the oldest steps go, a sequence always whole.
    int MaxLevel() const { return FMaxLevel; }
    void SetMaxLevel(int v) { FMaxLevel = v; }
    int Level() const { return FLevel; }
    const TUndoRedoCollection& Items() const { return FItems; }
    TBaseGrid* Grid() const { return FGrid.data(); }
    void SetGrid(TBaseGrid* grid) { FGrid = grid; }

    virtual void RegisterChange(int aCol, int aRow, const QString& oldValue, const QString& newValue);
    virtual void StartSequence();
    virtual void StopSequence();

    void Undo();
    void Redo();
    // Every item goes; Level becomes 0.
    void Reset();
    bool CanUndo() const { return FLevel > 0; }
    bool CanRedo() const { return FLevel < static_cast<int>(FItems.size()); }

    TExGridUndoRedoEvent OnUndo;
    TExGridUndoRedoEvent OnRedo;

private:
    void DropRedoTail();
    void AddMarker(bool start);
    // Removes the oldest change or closed sequence; false when only the
    // sequence being recorded is left.
    bool EvictOldest();
    // A cell written by the step under way, with the text it had.
    struct Written
    {
        int Col, Row;
        QString Text;
    };
    void Apply(TUndoRedoItem item, bool undo, std::vector<Written>& written);
    // Puts the cells a failed step wrote back, last first.
    void RollBack(const std::vector<Written>& written);

    TUndoRedoCollection FItems;
    QPointer<TBaseGrid> FGrid;
    int FLevel = 0;
    int FMaxLevel = 0;
};
