#pragma once

// The grid's extras as the data model sees them: floating footer, sort and
// drag-and-drop settings with their defaults, and the look of groups. The
// footer, nodes, sorting and grouping are built in ExGrid_Footer.cpp,
// ExGrid_Nodes.cpp, ExGrid_Sort.cpp and ExGrid_Group.cpp; the entry points
// not built yet (ExGridExtras.cpp) give neutral answers.

#include "platform/Graphics.h"
#include "widgets/ExObj.h" // TPersistent

#include <QString>

#include <functional>

class TExStringGrid;

enum class TFooterStyle { fsFixedLastRow, fsColumnPreview, fsCustomPreview, fsCustomPaint };
using enum TFooterStyle;

enum class TSortDirection { sdAscending, sdDescending };
using enum TSortDirection;

class TFooterPanel;

// (Sender, ACol, ARow, Value): a custom total of a column.
using TCalcFooterEvent = std::function<void(QObject* sender, int aCol, int aRow, QString& value)>;

// The strip glued to the grid's bottom edge. In style fsFixedLastRow it shows
// the grid's last row (then hidden in the grid), whose cells hold the column
// totals; the other styles preview the current row or leave the painting to
// the application.
class TFloatingFooter : public TPersistent
{
public:
    explicit TFloatingFooter(TExStringGrid* owner = nullptr) : FOwner(owner) {}
    // Copies CalculateHiddenRows, Color, Column, CustomTemplate, FooterStyle,
    // Visible and ShowHint.
    void Assign(const TPersistent* source) override;

    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    TFooterStyle FooterStyle() const { return FFooterStyle; }
    void SetFooterStyle(TFooterStyle v);
    // Stores; above 0 the shown panel becomes one pixel lower.
    int Height() const { return FHeight; }
    void SetHeight(int v);
    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v);
    platform::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(platform::TColor v);
    int Column() const { return FColumn; }
    void SetColumn(int v);
    bool CalculateHiddenRows() const { return FCalculateHiddenRows; }
    void SetCalculateHiddenRows(bool v) { FCalculateHiddenRows = v; }
    QString CustomTemplate() const { return FCustomTemplate; }
    void SetCustomTemplate(const QString& v);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v);
    bool EnableCalculation() const { return FEnableCalculation; }
    void SetEnableCalculation(bool v) { FEnableCalculation = v; }
    void Invalidate();
    // The panel, made on first use as a child of the grid.
    TFooterPanel* Panel();

    TCalcFooterEvent OnCalcFooter;

private:
    TExStringGrid* FOwner;
    TFooterPanel* FPanel = nullptr;
    bool FVisible = false;
    TFooterStyle FFooterStyle = fsFixedLastRow;
    int FHeight = 22;
    platform::TColor FColor = platform::clBtnFace;
    platform::TColor FBorderColor = platform::clNone;
    int FColumn = 0;
    bool FCalculateHiddenRows = true;
    QString FCustomTemplate;
    bool FShowHint = false;
    bool FEnableCalculation = true;
};

enum class TSortBlankPosition { blFirst, blLast };
using enum TSortBlankPosition;

// The key that adds a column to the sort index by a header click.
enum class TIndexSortKey { ikShift, ikCtrl };
using enum TIndexSortKey;

class TSortSettings : public TPersistent
{
public:
    explicit TSortSettings(TExStringGrid* owner = nullptr) : FOwner(owner) {}
    void Assign(const TPersistent* source) override;

    int Column() const { return FColumn; }
    void SetColumn(int v) { FColumn = v; }
    TSortDirection Direction() const { return FDirection; }
    void SetDirection(TSortDirection v) { FDirection = v; }
    // A write of a new value repaints the grid.
    bool Show() const { return FShow; }
    void SetShow(bool v);
    bool IndexShow() const { return FIndexShow; }
    void SetIndexShow(bool v) { FIndexShow = v; }
    // A fixed row: a row at or past the grid's FixedRows raises
    // "Sort row should be smaller than number of fixed rows".
    int Row() const { return FRow; }
    void SetRow(int v);
    // Equal cells are decided by the following columns (or sort indexes).
    bool Full() const { return FFull; }
    void SetFull(bool v) { FFull = v; }
    // The kind of a column's texts (number, date, time, text) is detected.
    bool AutoFormat() const { return FAutoFormat; }
    void SetAutoFormat(bool v) { FAutoFormat = v; }
    bool IgnoreCase() const { return FIgnoreCase; }
    void SetIgnoreCase(bool v) { FIgnoreCase = v; }
    // Empty cells go to BlankPos whatever the direction.
    bool IgnoreBlanks() const { return FIgnoreBlanks; }
    void SetIgnoreBlanks(bool v) { FIgnoreBlanks = v; }
    TSortBlankPosition BlankPos() const { return FBlankPos; }
    void SetBlankPos(TSortBlankPosition v) { FBlankPos = v; }
    // Only the sort column's cells move.
    bool SingleColumn() const { return FSingleColumn; }
    void SetSingleColumn(bool v) { FSingleColumn = v; }
    // Column 0 keeps its texts while fixed columns exist.
    bool NormalCellsOnly() const { return FNormalCellsOnly; }
    void SetNormalCellsOnly(bool v) { FNormalCellsOnly = v; }
    bool AutoSortForGrouping() const { return FAutoSortForGrouping; }
    void SetAutoSortForGrouping(bool v) { FAutoSortForGrouping = v; }
    // The display texts are compared instead of the stored ones.
    bool SortOnVirtualCells() const { return FSortOnVirtualCells; }
    void SetSortOnVirtualCells(bool v) { FSortOnVirtualCells = v; }
    void ToggleDirection() { FDirection = FDirection == sdAscending ? sdDescending : sdAscending; }
    // No sort column, no sort indexes.
    void Remove();
    // "d3" / "u3", or "i;" and the sort index list with IndexShow.
    QString SaveToString() const;
    // Sorts as the text says; "Invalid sort settings specifier" for one character.
    void LoadFromString(const QString& s);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int v) { FFixedCols = v; }
    // The header of the sorted column; a write repaints the last fixed row.
    platform::TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(platform::TColor v);
    platform::TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(platform::TColor v);
    platform::TColor HeaderMirrorColor() const { return FHeaderMirrorColor; }
    void SetHeaderMirrorColor(platform::TColor v);
    platform::TColor HeaderMirrorColorTo() const { return FHeaderMirrorColorTo; }
    void SetHeaderMirrorColorTo(platform::TColor v);
    platform::TColor IndexColor() const { return FIndexColor; }
    void SetIndexColor(platform::TColor v) { FIndexColor = v; }
    // Sort glyphs; empty ones are drawn as lines.
    const platform::TBitmap& UpGlyph() const { return FUpGlyph; }
    void SetUpGlyph(const platform::TBitmap& v) { FUpGlyph.Assign(v); }
    const platform::TBitmap& DownGlyph() const { return FDownGlyph; }
    void SetDownGlyph(const platform::TBitmap& v) { FDownGlyph.Assign(v); }
    const platform::TBitmap& IndexUpGlyph() const { return FIndexUpGlyph; }
    void SetIndexUpGlyph(const platform::TBitmap& v) { FIndexUpGlyph.Assign(v); }
    const platform::TBitmap& IndexDownGlyph() const { return FIndexDownGlyph; }
    void SetIndexDownGlyph(const platform::TBitmap& v) { FIndexDownGlyph.Assign(v); }
    // The direction of the first click on a new column.
    TSortDirection InitSortDirection() const { return FInitSortDirection; }
    void SetInitSortDirection(TSortDirection v) { FInitSortDirection = v; }
    // A third click on the sorted column restores the unsorted order.
    bool UndoSort() const { return FUndoSort; }
    void SetUndoSort(bool v) { FUndoSort = v; }
    TIndexSortKey IndexSortKey() const { return FIndexSortKey; }
    void SetIndexSortKey(TIndexSortKey v) { FIndexSortKey = v; }
    // Merged column cells are split before and merged again after a click sort.
    bool AutoColumnMerge() const { return FAutoColumnMerge; }
    void SetAutoColumnMerge(bool v) { FAutoColumnMerge = v; }

private:
    void RepaintHeader();

    TExStringGrid* FOwner;
    platform::TColor FHeaderColor = platform::clNone;
    platform::TColor FHeaderColorTo = platform::clNone;
    platform::TColor FHeaderMirrorColor = platform::clNone;
    platform::TColor FHeaderMirrorColorTo = platform::clNone;
    platform::TColor FIndexColor = platform::clYellow;
    platform::TBitmap FUpGlyph;
    platform::TBitmap FDownGlyph;
    platform::TBitmap FIndexUpGlyph;
    platform::TBitmap FIndexDownGlyph;
    int FColumn = -1;
    TSortDirection FDirection = sdAscending;
    bool FShow = false;
    bool FFull = true;
    bool FAutoFormat = true;
    bool FIgnoreCase = false;
    bool FIgnoreBlanks = false;
    TSortBlankPosition FBlankPos = blFirst;
    bool FSingleColumn = false;
    bool FNormalCellsOnly = false;
    bool FAutoSortForGrouping = true;
    bool FSortOnVirtualCells = true;
    bool FIndexShow = false;
    int FRow = 0;
    int FFixedCols = 0;
    TSortDirection FInitSortDirection = sdAscending;
    bool FUndoSort = false;
    TIndexSortKey FIndexSortKey = ikShift;
    bool FAutoColumnMerge = false;
};

// The look of grouped rows (Group, ExGrid_Group.cpp): node rows carry the
// group value, summary rows close each group.
class TGrouping : public TPersistent
{
public:
    explicit TGrouping(TExStringGrid* owner = nullptr) : FOwner(owner) {}
    // Copies the looks and behaviours, not Summary, the line widths or the
    // line colours.
    void Assign(const TPersistent* source) override;

    // The cells from the value column to the last are merged in node rows.
    bool MergeHeader() const { return FMergeHeader; }
    void SetMergeHeader(bool v) { FMergeHeader = v; }
    bool MergeSummary() const { return FMergeSummary; }
    void SetMergeSummary(bool v) { FMergeSummary = v; }
    // A summary row follows each group.
    bool Summary() const { return FSummary; }
    void SetSummary(bool v) { FSummary = v; }
    // clNone leaves a row's colours as they are.
    platform::TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(platform::TColor v) { FHeaderColor = v; }
    platform::TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(platform::TColor v) { FHeaderColorTo = v; }
    platform::TColor HeaderTextColor() const { return FHeaderTextColor; }
    void SetHeaderTextColor(platform::TColor v) { FHeaderTextColor = v; }
    platform::TColor SummaryColor() const { return FSummaryColor; }
    void SetSummaryColor(platform::TColor v) { FSummaryColor = v; }
    platform::TColor SummaryColorTo() const { return FSummaryColorTo; }
    void SetSummaryColorTo(platform::TColor v) { FSummaryColorTo = v; }
    platform::TColor SummaryTextColor() const { return FSummaryTextColor; }
    void SetSummaryTextColor(platform::TColor v) { FSummaryTextColor = v; }
    bool HeaderUnderline() const { return FHeaderUnderline; }
    void SetHeaderUnderline(bool v) { FHeaderUnderline = v; }
    platform::TColor HeaderLineColor() const { return FHeaderLineColor; }
    void SetHeaderLineColor(platform::TColor v) { FHeaderLineColor = v; }
    int HeaderLineWidth() const { return FHeaderLineWidth; }
    void SetHeaderLineWidth(int v) { FHeaderLineWidth = v; }
    bool SummaryLine() const { return FSummaryLine; }
    void SetSummaryLine(bool v) { FSummaryLine = v; }
    platform::TColor SummaryLineColor() const { return FSummaryLineColor; }
    void SetSummaryLineColor(platform::TColor v) { FSummaryLineColor = v; }
    int SummaryLineWidth() const { return FSummaryLineWidth; }
    void SetSummaryLineWidth(int v) { FSummaryLineWidth = v; }
    // Node rows show their group's number of data rows after the value.
    bool ShowGroupCount() const { return FShowGroupCount; }
    void SetShowGroupCount(bool v) { FShowGroupCount = v; }
    // One integer argument; empty gives " (n)".
    QString GroupCountFormat() const { return FGroupCountFormat; }
    void SetGroupCountFormat(const QString& v) { FGroupCountFormat = v; }
    bool AutoSelectGroup() const { return FAutoSelectGroup; }
    void SetAutoSelectGroup(bool v) { FAutoSelectGroup = v; }
    bool AutoCheckGroup() const { return FAutoCheckGroup; }
    void SetAutoCheckGroup(bool v) { FAutoCheckGroup = v; }

private:
    TExStringGrid* FOwner;
    bool FMergeHeader = false;
    bool FMergeSummary = false;
    bool FSummary = false;
    platform::TColor FHeaderColor = platform::clNone;
    platform::TColor FHeaderColorTo = platform::clNone;
    platform::TColor FHeaderTextColor = platform::clNone;
    platform::TColor FSummaryColor = platform::clNone;
    platform::TColor FSummaryColorTo = platform::clNone;
    platform::TColor FSummaryTextColor = platform::clNone;
    bool FHeaderUnderline = false;
    platform::TColor FHeaderLineColor = platform::clBlue;
    int FHeaderLineWidth = 2;
    bool FSummaryLine = false;
    platform::TColor FSummaryLineColor = platform::clBlue;
    int FSummaryLineWidth = 2;
    bool FShowGroupCount = false;
    QString FGroupCountFormat;
    bool FAutoSelectGroup = false;
    bool FAutoCheckGroup = false;
};

class TDragDropSettings : public TPersistent
{
public:
    explicit TDragDropSettings(TExStringGrid* owner = nullptr) : FOwner(owner) {}
    void Assign(const TPersistent* source) override;

    bool OleEntireRows() const { return FOleEntireRows; }
    void SetOleEntireRows(bool v) { FOleEntireRows = v; }
    bool OleAcceptText() const { return FOleAcceptText; }
    void SetOleAcceptText(bool v) { FOleAcceptText = v; }
    bool OleAcceptFiles() const { return FOleAcceptFiles; }
    void SetOleAcceptFiles(bool v) { FOleAcceptFiles = v; }
    bool OleAcceptURLs() const { return FOleAcceptURLs; }
    void SetOleAcceptURLs(bool v) { FOleAcceptURLs = v; }
    // Writing registers or revokes the grid as a drop target.
    bool OleDropTarget() const { return FOleDropTarget; }
    void SetOleDropTarget(bool v);
    // Writing sets the one rich-text switch of every grid.
    bool OleDropRTF() const { return FOleDropRTF; }
    void SetOleDropRTF(bool v);
    bool OleInsertRows() const { return FOleInsertRows; }
    void SetOleInsertRows(bool v) { FOleInsertRows = v; }
    bool OleAppendRows() const { return FOleAppendRows; }
    void SetOleAppendRows(bool v) { FOleAppendRows = v; }
    bool OleRemoveRows() const { return FOleRemoveRows; }
    void SetOleRemoveRows(bool v) { FOleRemoveRows = v; }
    bool OleCopyAlways() const { return FOleCopyAlways; }
    void SetOleCopyAlways(bool v) { FOleCopyAlways = v; }
    bool OleColumnReorder() const { return FOleColumnReorder; }
    void SetOleColumnReorder(bool v) { FOleColumnReorder = v; }
    bool OleDropSource() const { return FOleDropSource; }
    void SetOleDropSource(bool v) { FOleDropSource = v; }
    bool OleColumnsOnly() const { return FOleColumnsOnly; }
    void SetOleColumnsOnly(bool v) { FOleColumnsOnly = v; }
    bool OleColumnDragDrop() const { return FOleColumnDragDrop; }
    void SetOleColumnDragDrop(bool v) { FOleColumnDragDrop = v; }
    bool ShowCells() const { return FShowCells; }
    void SetShowCells(bool v) { FShowCells = v; }

private:
    TExStringGrid* FOwner;
    bool FOleEntireRows = false;
    bool FOleAcceptText = true;
    bool FOleAcceptFiles = true;
    bool FOleAcceptURLs = true;
    bool FOleDropSource = false;
    bool FOleColumnsOnly = false;
    bool FOleColumnDragDrop = false;
    bool FShowCells = true;
    bool FOleDropTarget = false;
    bool FOleDropRTF = false;
    bool FOleInsertRows = false;
    bool FOleAppendRows = false;
    bool FOleRemoveRows = false;
    bool FOleCopyAlways = false;
    bool FOleColumnReorder = false;
};

// ---- search panel

#include "platform/Controls.h"

// A flat caption button of the search footer. A check-like button (the
// highlight button) keeps its pressed state in Down.
class TSearchPanelButton : public platform::TCustomControl
{
public:
    explicit TSearchPanelButton(QWidget* parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool Down() const { return FDown; }
    void SetDown(bool v);
    // Follows the desktop's colours instead of its own.
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v) { FAutoThemeAdapt = v; }
    // The hint text shows only while this is on.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v);
    QString HintText() const { return FHintText; }
    void SetHintText(const QString& v);
    // Drawn before the caption: the glyph, or the disabled one while
    // disabled, the hot one under the mouse, the down one while pressed
    // (each when set).
    const platform::TBitmap& Glyph() const { return FGlyph; }
    void SetGlyph(const platform::TBitmap& v);
    const platform::TBitmap& GlyphDisabled() const { return FGlyphDisabled; }
    void SetGlyphDisabled(const platform::TBitmap& v);
    const platform::TBitmap& GlyphHot() const { return FGlyphHot; }
    void SetGlyphHot(const platform::TBitmap& v);
    const platform::TBitmap& GlyphDown() const { return FGlyphDown; }
    void SetGlyphDown(const platform::TBitmap& v);

protected:
    void Paint() override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;

private:
    void ApplyHint();

    platform::TBitmap FGlyph, FGlyphDisabled, FGlyphHot, FGlyphDown;
    bool FPressed = false;
    QString FCaption;
    QString FHintText;
    bool FFlat = false;
    bool FDown = false;
    bool FAutoThemeAdapt = false;
    bool FShowHint = false;
};

// The search bar the grid shows at its bottom: a find field, find-next and
// find-previous buttons, a highlight button, a match-case check box and a
// close button. It keeps the texts the grid gives it; searching is not done
// here.
class TSearchPanel : public platform::TPanel
{
public:
    explicit TSearchPanel(QWidget* owner = nullptr);

    platform::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(platform::TColor v);

    platform::TEdit* EditControl() const { return FEdit; }
    TSearchPanelButton* ForwardButton() const { return FForwardButton; }
    TSearchPanelButton* BackwardButton() const { return FBackwardButton; }
    TSearchPanelButton* HiliteButton() const { return FHiliteButton; }
    TSearchPanelButton* ExitButton() const { return FExitButton; }
    platform::TCheckBox* MatchCase() const { return FMatchCase; }

    QString FFindNextCaption;
    QString FFindPrevCaption;
    QString FMatchCaseCaption;
    QString FHighLightCaption;
    QString FHintFindNext;
    QString FHintFindPrev;
    QString FHintClose;
    QString FHintHighlight;

protected:
    void Paint() override;

private:
    platform::TColor FColorTo = platform::clNone;
    platform::TEdit* FEdit;
    TSearchPanelButton* FForwardButton;
    TSearchPanelButton* FBackwardButton;
    TSearchPanelButton* FHiliteButton;
    TSearchPanelButton* FExitButton;
    platform::TCheckBox* FMatchCase;
};
