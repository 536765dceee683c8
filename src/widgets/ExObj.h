#pragma once

// The grid's shared vocabulary: its enumerations and event types, the
// settings objects that group its options, and its small bookkeeping lists.

#include "platform/Grids.h" // TStringGrid, TObject, TGridDrawState

#include <QImage>
#include <QPolygon>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// ---------------------------------------------------------------------------
// Sets and the persistent base
// ---------------------------------------------------------------------------

// A set of the values of a small enumeration (at most 32 values).
template <class E>
class TEnumSet
{
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> values)
    {
        for (E v : values)
            bits_ |= Bit(v);
    }
    constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr void Include(E v) { bits_ |= Bit(v); }
    constexpr void Exclude(E v) { bits_ &= ~Bit(v); }
    constexpr unsigned Bits() const { return bits_; }
    static constexpr TEnumSet FromBits(unsigned bits)
    {
        TEnumSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr bool operator==(const TEnumSet&) const = default;

private:
    static constexpr unsigned Bit(E v) { return 1u << static_cast<unsigned>(v); }
    unsigned bits_ = 0;
};

// Objects whose settings can be copied from another object. Assign copies
// from an object of the same class and ignores any other source.
class TPersistent : public platform::TObject
{
public:
    virtual void Assign(const TPersistent* source) {}
};

// ---------------------------------------------------------------------------
// Enumerations (stored layouts store the names; code relies on the order)
// ---------------------------------------------------------------------------

enum class TEditorType
{
    edNormal, edSpinEdit, edComboEdit, edComboList, edEditBtn, edCheckBox, edDateEdit, edDateEditUpDown,
    edTimeEdit, edButton, edDataCheckBox, edNumeric, edPositiveNumeric, edFloat, edCapital, edMixedCase,
    edPassword, edUnitEditBtn, edLowerCase, edUpperCase, edFloatSpinEdit, edTimeSpinEdit, edDateSpinEdit,
    edNumericEditBtn, edFloatEditBtn, edCustom, edRichEdit, edNone, edDateTimeEdit, edValidChars,
    edTrackbarDropDown, edMemoDropDown, edCalculatorDropDown, edTimePickerDropDown, edDetailDropDown,
    edGridDropDown, edColorPickerDropDown, edImagePickerDropDown, edExGridDropDown, edPositiveFloat,
    edNumericUnitEditBtn, edFloatUnitEditBtn, edMaskEditBtn
};
using enum TEditorType;

enum class TCellBorder { cbTop, cbLeft, cbRight, cbBottom };
using enum TCellBorder;
using TCellBorders = TEnumSet<TCellBorder>;

enum class TCellGradientDirection { GradientVertical, GradientHorizontal };
using enum TCellGradientDirection;

enum class TSortStyle
{
    ssAutomatic, ssAlphabetic, ssNumeric, ssDate, ssAlphaNoCase, ssAlphaCase, ssShortDateEU, ssShortDateUS,
    ssCustom, ssFinancial, ssAnsiAlphaCase, ssAnsiAlphaNoCase, ssRaw, ssHTML, ssImages, ssCheckBox, ssDateTime,
    ssTime, ssAlphaNumeric, ssAlphaNumericNoCase
};
using enum TSortStyle;

enum class TVAlignment { vtaTop, vtaCenter, vtaBottom };
using enum TVAlignment;

enum class TArrowDirection { arrUp, arrDown, arrLeft, arrRight };
using enum TArrowDirection;

enum class TExGridButtonStyle { tasButton, tasCheck };
using enum TExGridButtonStyle;

enum class TSearchDirection { sdTopBottom, sdLeftRight };
using enum TSearchDirection;

enum class THomeEndAction { heFirstLastColumn, heFirstLastRow, heFirstLastCell };
using enum THomeEndAction;

enum class TClipboardPasteAction { paReplace, paInsert };
using enum TClipboardPasteAction;

enum class TAdvanceDirection { adLeftRight, adTopBottom, adLeftRightInRow, adTopBottomInCol };
using enum TAdvanceDirection;

enum class TInsertPosition { pInsertBefore, pInsertAfter };
using enum TInsertPosition;

enum class TCursorAdvance { caDefault, caSnake, caLoop };
using enum TCursorAdvance;

enum class TGridFixedCellEdit { fceNone, fceDblClick, fceLeftClick, fceRightClick };
using enum TGridFixedCellEdit;

enum class TGridFixedCellEditor { fceEdit, fceComboEdit, fceComboList };
using enum TGridFixedCellEditor;

enum class TWheelAction { waMoveSelection, waScroll };
using enum TWheelAction;

// A search made from the search footer.
enum class TSearchAction { saFindFirst, saFindPrevious, saFindNext };
using enum TSearchAction;

// Which columns get an automatic filter list: the normal ones, or all.
enum class TFilterDropDownColumns { fdNormal, fdAll };
using enum TFilterDropDownColumns;

// Progress of an export or import, told to the grid's notification hooks.
enum class TGridExportState
{
    esExportStart, esExportNewRow, esExportDone, esExportSelRow, esExportFail, esExportNextRow
};
using enum TGridExportState;
enum class TGridImportState { isImportStart, isImportNewRow, isImportDone, isImportSelRow };
using enum TGridImportState;

// ---------------------------------------------------------------------------
// Event types. Sender comes first; a reference argument is one the handler
// may change, holding the grid's default on entry. Note the order: several
// events pass the row before the column.
// ---------------------------------------------------------------------------

using TGetDisplTextEvent = std::function<void(QObject* sender, int aCol, int aRow, QString& value)>;
using TGetDisplWideTextEvent = std::function<void(QObject* sender, int aCol, int aRow, QString& value)>;
using TFloatFormatEvent =
    std::function<void(QObject* sender, int aCol, int aRow, bool& isFloat, QString& floatFormat)>;
using TOnResizeEvent = std::function<void(QObject* sender)>;
using TColumnSizeEvent = std::function<void(QObject* sender, int aCol, bool& allow)>;
using TColumnSizingEvent = std::function<void(QObject* sender, int aCol, int columnSize)>;
using TRowSizingEvent = std::function<void(QObject* sender, int aRow, int rowSize)>;
using TRowSizeEvent = std::function<void(QObject* sender, int aRow, bool& allow)>;
using TEndColumnSizeEvent = std::function<void(QObject* sender, int aCol)>;
using TUpdateColumnSizeEvent = std::function<void(QObject* sender, int aCol, int& aWidth)>;
using TEndRowSizeEvent = std::function<void(QObject* sender, int aRow)>;
using TClickCellEvent = std::function<void(QObject* sender, int aRow, int aCol)>;
using TDblClickCellEvent = std::function<void(QObject* sender, int aRow, int aCol)>;
using TCanEditCellEvent = std::function<void(QObject* sender, int aRow, int aCol, bool& canEdit)>;
using TScrollHintEvent = std::function<void(QObject* sender, int aRow, QString& hintstr)>;
using TButtonClickEvent = std::function<void(QObject* sender, int aCol, int aRow)>;
using TExpandClickEvent = std::function<void(QObject* sender, int aCol, int aRow, bool expanded)>;
using TCheckBoxClickEvent = std::function<void(QObject* sender, int aCol, int aRow, bool state)>;
using TGetEditorTypeEvent = std::function<void(QObject* sender, int aCol, int aRow, TEditorType& aEditor)>;
using TCustomCellDrawEvent =
    std::function<void(QObject* sender, platform::TCanvas& canvas, int aCol, int aRow, platform::TGridDrawState aState,
                       const platform::TRect& aRect, bool printing)>;
using TAnchorClickEvent =
    std::function<void(QObject* sender, int aRow, int aCol, const QString& anchor, bool& autoHandle)>;
using TAnchorHintEvent = std::function<void(QObject* sender, int aRow, int aCol, QString& anchor)>;
using TAnchorEvent = std::function<void(QObject* sender, int aRow, int aCol, const QString& anchor)>;
using TClickSortEvent = std::function<void(QObject* sender, int aCol)>;
using TCanSortEvent = std::function<void(QObject* sender, int aCol, bool& doSort)>;
using TCustomCompareEvent = std::function<void(QObject* sender, const QString& str1, const QString& str2, int& res)>;
using TRawCompareEvent = std::function<void(QObject* sender, int aCol, int row1, int row2, int& res)>;
using TGridFormatEvent =
    std::function<void(QObject* sender, int aCol, TSortStyle& aStyle, QString& aPrefix, QString& aSuffix)>;
using TGridColorEvent = std::function<void(QObject* sender, int aRow, int aCol, platform::TGridDrawState aState,
                                           platform::TBrush& aBrush, platform::TFont& aFont)>;
using TGridGradientEvent =
    std::function<void(QObject* sender, int aRow, int aCol, platform::TColor& color, platform::TColor& colorTo,
                       platform::TColor& colorMirror, platform::TColor& colorMirrorTo, TCellGradientDirection& gd)>;
using TGridBorderEvent =
    std::function<void(QObject* sender, int aRow, int aCol, platform::TPen& aPen, TCellBorders& borders)>;
using TGridBorderPropEvent =
    std::function<void(QObject* sender, int aRow, int aCol, platform::TPen& leftPen, platform::TPen& topPen,
                       platform::TPen& rightPen, platform::TPen& bottomPen)>;
using TGridAlignEvent = std::function<void(QObject* sender, int aRow, int aCol, platform::TAlignment& hAlign,
                                           TVAlignment& vAlign)>;
using TGridHintEvent = std::function<void(QObject* sender, int aRow, int aCol, QString& hintstr)>;
using TEllipsClickEvent = std::function<void(QObject* sender, int aCol, int aRow, QString& s)>;
using TGridBalloonEvent =
    std::function<void(QObject* sender, int aCol, int aRow, QString& aTitle, QString& aText, int& aIcon)>;
using TCanInsertRowEvent = std::function<void(QObject* sender, int aRow, bool& canInsert)>;
using TAutoInsertRowEvent = std::function<void(QObject* sender, int aRow)>;
using TCanAddRowEvent = std::function<void(QObject* sender, bool& canAdd)>;
using TAutoAddRowEvent = std::function<void(QObject* sender, int aRow)>;
using TCanDeleteRowEvent = std::function<void(QObject* sender, int aRow, bool& canDelete)>;
using TAutoDeleteRowEvent = std::function<void(QObject* sender, int aRow)>;
using TAutoInsertColEvent = std::function<void(QObject* sender, int aCol)>;
using TSearchEditChangeEvent = std::function<void(QObject* sender, const QString& value, bool& defaultSearch)>;
using TSpinClickEvent = std::function<void(QObject* sender, int aCol, int aRow, int aValue, bool upDown)>;
// Lists that are not components (TIntList) raise it with a null sender.
using TImageChangeEvent = std::function<void(QObject* sender, int aCol, int aRow)>;
using TIsDesigningEvent = std::function<void(QObject* sender, bool& isDesigning)>;

// ---------------------------------------------------------------------------
// Settings objects
// ---------------------------------------------------------------------------

// Keyboard, advance-after-edit and clipboard options.
class TNavigation : public TPersistent
{
public:
    void Assign(const TPersistent* source) override;

    bool AllowInsertRow() const { return FAllowInsertRow; }
    void SetAllowInsertRow(bool v) { FAllowInsertRow = v; }
    bool AllowDeleteRow() const { return FAllowDeleteRow; }
    void SetAllowDeleteRow(bool v) { FAllowDeleteRow = v; }
    bool AdvanceOnEnter() const { return FAdvanceOnEnter; }
    void SetAdvanceOnEnter(bool v) { FAdvanceOnEnter = v; }
    bool AdvanceInsert() const { return FAdvanceInsert; }
    void SetAdvanceInsert(bool v);
    bool AutoGotoWhenSorted() const { return FAutoGotoWhenSorted; }
    void SetAutoGotoWhenSorted(bool v) { FAutoGotoWhenSorted = v; }
    bool AutoGotoIncremental() const { return FAutoGotoIncremental; }
    void SetAutoGotoIncremental(bool v) { FAutoGotoIncremental = v; }
    bool AutoComboDropSize() const { return FAutoComboDropSize; }
    void SetAutoComboDropSize(bool v) { FAutoComboDropSize = v; }
    bool AllowClipboardShortCuts() const { return FAllowClipboardShortCuts; }
    void SetAllowClipboardShortCuts(bool v) { FAllowClipboardShortCuts = v; }
    bool AllowRTFClipboard() const { return FAllowRTFClipboard; }
    void SetAllowRTFClipboard(bool v) { FAllowRTFClipboard = v; }
    bool AllowSmartClipboard() const { return FAllowSmartClipboard; }
    void SetAllowSmartClipboard(bool v) { FAllowSmartClipboard = v; }
    bool AllowClipboardAlways() const { return FAllowClipboardAlways; }
    void SetAllowClipboardAlways(bool v) { FAllowClipboardAlways = v; }
    bool AllowClipboardColGrow() const { return FAllowClipboardColGrow; }
    void SetAllowClipboardColGrow(bool v) { FAllowClipboardColGrow = v; }
    bool AllowClipboardRowGrow() const { return FAllowClipboardRowGrow; }
    void SetAllowClipboardRowGrow(bool v) { FAllowClipboardRowGrow = v; }
    TClipboardPasteAction ClipboardPasteAction() const { return FClipboardPasteAction; }
    void SetClipboardPasteAction(TClipboardPasteAction v) { FClipboardPasteAction = v; }
    bool CopyHTMLTagsToClipboard() const { return FCopyHTMLTagsToClipboard; }
    void SetCopyHTMLTagsToClipboard(bool v) { FCopyHTMLTagsToClipboard = v; }
    TAdvanceDirection AdvanceDirection() const { return FAdvanceDirection; }
    void SetAdvanceDirection(TAdvanceDirection v);
    bool AdvanceAuto() const { return FAdvanceAuto; }
    // On also switches AdvanceOnEnter on; off leaves it.
    void SetAdvanceAuto(bool v);
    bool AdvanceAutoEdit() const { return FAdvanceAutoEdit; }
    void SetAdvanceAutoEdit(bool v) { FAdvanceAutoEdit = v; }
    bool CursorWalkEditor() const { return FCursorWalkEditor; }
    void SetCursorWalkEditor(bool v) { FCursorWalkEditor = v; }
    bool CursorWalkAlwaysEdit() const { return FCursorWalkAlwaysEdit; }
    void SetCursorWalkAlwaysEdit(bool v) { FCursorWalkAlwaysEdit = v; }
    bool MoveRowOnSort() const { return FMoveRowOnSort; }
    void SetMoveRowOnSort(bool v) { FMoveRowOnSort = v; }
    bool KeepScrollOnSort() const { return FKeepScrollOnSort; }
    void SetKeepScrollOnSort(bool v) { FKeepScrollOnSort = v; }
    bool ImproveMaskSel() const { return FImproveMaskSel; }
    void SetImproveMaskSel(bool v) { FImproveMaskSel = v; }
    bool AlwaysEdit() const { return FAlwaysEdit; }
    void SetAlwaysEdit(bool v) { FAlwaysEdit = v; }
    TInsertPosition InsertPosition() const { return FInsertPosition; }
    void SetInsertPosition(TInsertPosition v) { FInsertPosition = v; }
    bool LineFeedOnEnter() const { return FLineFeedOnEnter; }
    void SetLineFeedOnEnter(bool v) { FLineFeedOnEnter = v; }
    THomeEndAction HomeEndKey() const { return FHomeEndKey; }
    void SetHomeEndKey(THomeEndAction v) { FHomeEndKey = v; }
    bool KeepHorizScroll() const { return FKeepHorizScroll; }
    void SetKeepHorizScroll(bool v) { FKeepHorizScroll = v; }
    bool AllowFmtClipboard() const { return FAllowFmtClipboard; }
    void SetAllowFmtClipboard(bool v) { FAllowFmtClipboard = v; }
    bool TabToNextAtEnd() const { return FTabToNextAtEnd; }
    void SetTabToNextAtEnd(bool v) { FTabToNextAtEnd = v; }
    bool EditSelectAll() const { return FEditSelectAll; }
    void SetEditSelectAll(bool v) { FEditSelectAll = v; }
    TAdvanceDirection TabAdvanceDirection() const { return FTabAdvanceDirection; }
    void SetTabAdvanceDirection(TAdvanceDirection v) { FTabAdvanceDirection = v; }
    bool SkipFixedCells() const { return FSkipFixedCells; }
    void SetSkipFixedCells(bool v) { FSkipFixedCells = v; }
    bool SkipDisabledRows() const { return FSkipDisabledRows; }
    void SetSkipDisabledRows(bool v) { FSkipDisabledRows = v; }
    bool AllowCtrlEnter() const { return FAllowCtrlEnter; }
    void SetAllowCtrlEnter(bool v) { FAllowCtrlEnter = v; }
    bool AppendOnArrowDown() const { return FAppendOnArrowDown; }
    void SetAppendOnArrowDown(bool v) { FAppendOnArrowDown = v; }
    bool LeftRightRowSelect() const { return FLeftRightRowSelect; }
    void SetLeftRightRowSelect(bool v) { FLeftRightRowSelect = v; }
    bool MoveScrollOnly() const { return FMoveScrollOnly; }
    void SetMoveScrollOnly(bool v) { FMoveScrollOnly = v; }
    bool ComboGetUpDown() const { return FComboGetUpDown; }
    void SetComboGetUpDown(bool v) { FComboGetUpDown = v; }
    bool AdvanceOnEnterLoop() const { return FAdvanceOnEnterLoop; }
    void SetAdvanceOnEnterLoop(bool v) { FAdvanceOnEnterLoop = v; }
    TCursorAdvance CursorAdvance() const { return FCursorAdvance; }
    void SetCursorAdvance(TCursorAdvance v) { FCursorAdvance = v; }
    bool AdvanceSkipReadOnlyCells() const { return FAdvanceSkipReadOnlyCells; }
    void SetAdvanceSkipReadOnlyCells(bool v) { FAdvanceSkipReadOnlyCells = v; }
    bool CursorMoveRows() const { return FCursorMoveRows; }
    void SetCursorMoveRows(bool v) { FCursorMoveRows = v; }

    std::function<void(TNavigation* sender)> OnChange;

private:
    void Changed();

    bool FAllowInsertRow = false;
    bool FAllowDeleteRow = false;
    bool FAdvanceOnEnter = false;
    bool FAdvanceInsert = false;
    bool FAutoGotoWhenSorted = false;
    bool FAutoGotoIncremental = false;
    bool FAutoComboDropSize = false;
    bool FAllowClipboardShortCuts = false;
    bool FAllowRTFClipboard = false;
    bool FAllowSmartClipboard = false;
    bool FAllowClipboardAlways = false;
    bool FAllowClipboardColGrow = true;
    bool FAllowClipboardRowGrow = true;
    TClipboardPasteAction FClipboardPasteAction = paReplace;
    bool FCopyHTMLTagsToClipboard = true;
    TAdvanceDirection FAdvanceDirection = adLeftRight;
    bool FAdvanceAuto = false;
    bool FAdvanceAutoEdit = true;
    bool FCursorWalkEditor = false;
    bool FCursorWalkAlwaysEdit = true;
    bool FMoveRowOnSort = false;
    bool FKeepScrollOnSort = false;
    bool FImproveMaskSel = false;
    bool FAlwaysEdit = false;
    TInsertPosition FInsertPosition = pInsertBefore;
    bool FLineFeedOnEnter = false;
    THomeEndAction FHomeEndKey = heFirstLastColumn;
    bool FKeepHorizScroll = false;
    bool FAllowFmtClipboard = false;
    bool FTabToNextAtEnd = false;
    bool FEditSelectAll = true;
    TAdvanceDirection FTabAdvanceDirection = adLeftRight;
    bool FSkipFixedCells = true;
    bool FSkipDisabledRows = true;
    bool FAllowCtrlEnter = true;
    bool FAppendOnArrowDown = false;
    bool FLeftRightRowSelect = true;
    bool FMoveScrollOnly = false;
    bool FComboGetUpDown = true;
    bool FAdvanceOnEnterLoop = true;
    TCursorAdvance FCursorAdvance = caDefault;
    bool FAdvanceSkipReadOnlyCells = true;
    bool FCursorMoveRows = false;
};

// Mouse selection, sizing, direct editing and wheel options.
class TMouseActions : public TPersistent
{
public:
    explicit TMouseActions(QObject* owner = nullptr) : FOwner(owner) {}
    void Assign(const TPersistent* source) override;

    QObject* Owner() const { return FOwner; }

    bool ColSelect() const { return FColSelect; }
    void SetColSelect(bool v) { FColSelect = v; }
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool v) { FRowSelect = v; }
    bool AllSelect() const { return FAllSelect; }
    void SetAllSelect(bool v) { FAllSelect = v; }
    bool DirectEdit() const { return FDirectEdit; }
    void SetDirectEdit(bool v) { FDirectEdit = v; }
    bool DirectComboDrop() const { return FDirectComboDrop; }
    void SetDirectComboDrop(bool v) { FDirectComboDrop = v; }
    bool DirectComboClose() const { return FDirectComboClose; }
    void SetDirectComboClose(bool v) { FDirectComboClose = v; }
    bool DirectDateClose() const { return FDirectDateClose; }
    void SetDirectDateClose(bool v) { FDirectDateClose = v; }
    bool DirectDateDrop() const { return FDirectDateDrop; }
    void SetDirectDateDrop(bool v) { FDirectDateDrop = v; }
    // In design mode switching one disjunct mode on switches the other two off.
    bool DisjunctRowSelect() const { return FDisjunctRowSelect; }
    void SetDisjunctRowSelect(bool v);
    bool DisjunctColSelect() const { return FDisjunctColSelect; }
    void SetDisjunctColSelect(bool v);
    bool DisjunctCellSelect() const { return FDisjunctCellSelect; }
    void SetDisjunctCellSelect(bool v);
    // The field without side effects.
    bool DisjunctRowSelectDirect() const { return FDisjunctRowSelect; }
    void SetDisjunctRowSelectDirect(bool v) { FDisjunctRowSelect = v; }
    bool AllColumnSize() const { return FAllColumnSize; }
    void SetAllColumnSize(bool v) { FAllColumnSize = v; }
    bool AllRowSize() const { return FAllRowSize; }
    void SetAllRowSize(bool v) { FAllRowSize = v; }
    bool CaretPositioning() const { return FCaretPositioning; }
    void SetCaretPositioning(bool v) { FCaretPositioning = v; }
    bool SizeFixedCol() const { return FSizeFixedCol; }
    void SetSizeFixedCol(bool v) { FSizeFixedCol = v; }
    bool SizeFixedRow() const { return FSizeFixedRow; }
    void SetSizeFixedRow(bool v) { FSizeFixedRow = v; }
    TGridFixedCellEdit FixedRowsEdit() const { return FFixedRowsEdit; }
    void SetFixedRowsEdit(TGridFixedCellEdit v) { FFixedRowsEdit = v; }
    TGridFixedCellEdit FixedColsEdit() const { return FFixedColsEdit; }
    void SetFixedColsEdit(TGridFixedCellEdit v) { FFixedColsEdit = v; }
    TGridFixedCellEditor FixedRowsEditor() const { return FFixedRowsEditor; }
    void SetFixedRowsEditor(TGridFixedCellEditor v) { FFixedRowsEditor = v; }
    TGridFixedCellEditor FixedColsEditor() const { return FFixedColsEditor; }
    void SetFixedColsEditor(TGridFixedCellEditor v) { FFixedColsEditor = v; }
    // On also switches DisjunctRowSelect and CheckAllCheck on; repaints.
    bool HotmailRowSelect() const { return FHotmailRowSelect; }
    void SetHotmailRowSelect(bool v);
    bool RangeSelectAndEdit() const { return FRangeSelectAndEdit; }
    void SetRangeSelectAndEdit(bool v) { FRangeSelectAndEdit = v; }
    bool NoAutoRangeScroll() const { return FNoAutoRangeScroll; }
    void SetNoAutoRangeScroll(bool v) { FNoAutoRangeScroll = v; }
    bool PreciseCheckBoxCheck() const { return FPreciseCheckBoxCheck; }
    void SetPreciseCheckBoxCheck(bool v) { FPreciseCheckBoxCheck = v; }
    bool PreciseNodeClick() const { return FPreciseNodeClick; }
    void SetPreciseNodeClick(bool v) { FPreciseNodeClick = v; }
    bool CheckAllCheck() const { return FCheckAllCheck; }
    void SetCheckAllCheck(bool v) { FCheckAllCheck = v; }
    bool NodeAllExpandContract() const { return FNodeAllExpandContract; }
    void SetNodeAllExpandContract(bool v) { FNodeAllExpandContract = v; }
    bool MoveRowOnNodeClick() const { return FMoveRowOnNodeClick; }
    void SetMoveRowOnNodeClick(bool v) { FMoveRowOnNodeClick = v; }
    bool RowSelectPersistent() const { return FRowSelectPersistent; }
    void SetRowSelectPersistent(bool v) { FRowSelectPersistent = v; }
    bool SelectOnRightClick() const { return FSelectOnRightClick; }
    void SetSelectOnRightClick(bool v) { FSelectOnRightClick = v; }
    bool NoScrollOnPartialRow() const { return FNoScrollOnPartialRow; }
    void SetNoScrollOnPartialRow(bool v) { FNoScrollOnPartialRow = v; }
    int WheelIncrement() const { return FWheelIncrement; }
    void SetWheelIncrement(int v) { FWheelIncrement = v; }
    TWheelAction WheelAction() const { return FWheelAction; }
    void SetWheelAction(TWheelAction v);
    bool AutoSizeColOnDblClick() const { return FAutoSizeColOnDblClick; }
    void SetAutoSizeColOnDblClick(bool v) { FAutoSizeColOnDblClick = v; }
    // On raises OnDisableEdit.
    bool EditOnDblClickOnly() const { return FEditOnDblClickOnly; }
    void SetEditOnDblClickOnly(bool v);
    bool DisjunctRowSelectNoCtrl() const { return FDisjunctRowSelectNoCtrl; }
    void SetDisjunctRowSelectNoCtrl(bool v) { FDisjunctRowSelectNoCtrl = v; }
    const QStringList& FixedComboValues() const { return FFixedComboValues; }
    void SetFixedComboValues(const QStringList& v) { FFixedComboValues = v; }

    std::function<void(TMouseActions* sender)> OnChange;
    TIsDesigningEvent OnIsDesigning;
    std::function<void(TMouseActions* sender)> OnInvalidate;
    std::function<void(TMouseActions* sender)> OnDisableEdit;

private:
    bool IsDesigning();

    QObject* FOwner;
    bool FColSelect = false;
    bool FRowSelect = false;
    bool FAllSelect = false;
    bool FDirectEdit = false;
    bool FDirectComboDrop = false;
    bool FDirectComboClose = false;
    bool FDirectDateClose = false;
    bool FDirectDateDrop = false;
    bool FDisjunctRowSelect = false;
    bool FDisjunctColSelect = false;
    bool FAllColumnSize = false;
    bool FAllRowSize = false;
    bool FCaretPositioning = false;
    bool FSizeFixedCol = false;
    bool FSizeFixedRow = false;
    bool FDisjunctCellSelect = false;
    TGridFixedCellEdit FFixedRowsEdit = fceNone;
    TGridFixedCellEdit FFixedColsEdit = fceNone;
    TGridFixedCellEditor FFixedRowsEditor = fceEdit;
    TGridFixedCellEditor FFixedColsEditor = fceEdit;
    bool FHotmailRowSelect = false;
    bool FRangeSelectAndEdit = false;
    bool FNoAutoRangeScroll = false;
    bool FPreciseCheckBoxCheck = false;
    bool FPreciseNodeClick = true;
    bool FCheckAllCheck = false;
    bool FNodeAllExpandContract = false;
    bool FMoveRowOnNodeClick = false;
    bool FRowSelectPersistent = false;
    bool FSelectOnRightClick = false;
    bool FNoScrollOnPartialRow = false;
    int FWheelIncrement = 0;
    TWheelAction FWheelAction = waMoveSelection;
    bool FAutoSizeColOnDblClick = true;
    bool FEditOnDblClickOnly = false;
    bool FDisjunctRowSelectNoCtrl = false;
    QStringList FFixedComboValues;
};

// The search bar at the bottom of the grid. Its captions and hints get their
// texts only when the grid is created in a designer.
class TSearchFooter : public TPersistent
{
public:
    explicit TSearchFooter(bool initForDesign = false);
    void Assign(const TPersistent* source) override;

    bool ShowFindPrev() const { return FShowFindPrev; }
    void SetShowFindPrev(bool v);
    bool ShowFindNext() const { return FShowFindNext; }
    void SetShowFindNext(bool v);
    QString FindNextCaption() const { return FFindNextCaption; }
    void SetFindNextCaption(const QString& v);
    QString FindPrevCaption() const { return FFindPrevCaption; }
    void SetFindPrevCaption(const QString& v);
    platform::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(platform::TColor v);
    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v);
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool v);
    bool ShowHighLight() const { return FShowHighLight; }
    void SetShowHighLight(bool v);
    bool ShowMatchCase() const { return FShowMatchCase; }
    void SetShowMatchCase(bool v);
    QString MatchCaseCaption() const { return FMatchCaseCaption; }
    void SetMatchCaseCaption(const QString& v);
    QString HintClose() const { return FHintClose; }
    void SetHintClose(const QString& v);
    QString HintFindPrev() const { return FHintFindPrev; }
    void SetHintFindPrev(const QString& v);
    QString HintHighlight() const { return FHintHighlight; }
    void SetHintHighlight(const QString& v);
    QString HintFindNext() const { return FHintFindNext; }
    void SetHintFindNext(const QString& v);
    bool AutoSearch() const { return FAutoSearch; }
    void SetAutoSearch(bool v);
    QString LastSearch() const { return FLastSearch; }
    void SetLastSearch(const QString& v);
    int SearchColumn() const { return FSearchColumn; }
    void SetSearchColumn(int v);
    bool SearchActiveColumnOnly() const { return FSearchActiveColumnOnly; }
    void SetSearchActiveColumnOnly(bool v);
    bool SearchMatchStart() const { return FSearchMatchStart; }
    void SetSearchMatchStart(bool v);
    bool SearchFixedCells() const { return FSearchFixedCells; }
    void SetSearchFixedCells(bool v);
    bool SearchHiddenRows() const { return FSearchHiddenRows; }
    void SetSearchHiddenRows(bool v);
    QString HighLightCaption() const { return FHighLightCaption; }
    void SetHighLightCaption(const QString& v);
    bool AlwaysHighLight() const { return FAlwaysHighLight; }
    void SetAlwaysHighLight(bool v);
    TSearchDirection SearchDirection() const { return FSearchDirection; }
    void SetSearchDirection(TSearchDirection v);
    const platform::TFont& Font() const { return FFont; }
    void SetFont(const platform::TFont& v);

    std::function<void(TSearchFooter* sender)> OnChange;

private:
    void Changed();

    bool FShowFindPrev = true;
    bool FShowFindNext = true;
    QString FFindNextCaption;
    QString FFindPrevCaption;
    platform::TColor FColorTo = platform::clBtnFace;
    platform::TColor FColor = platform::clWhite;
    bool FVisible = false;
    bool FAutoThemeAdapt = false;
    bool FShowClose = true;
    bool FShowHighLight = true;
    bool FShowMatchCase = true;
    QString FMatchCaseCaption;
    QString FHintClose;
    QString FHintFindPrev;
    QString FHintHighlight;
    QString FHintFindNext;
    bool FAutoSearch = true;
    QString FLastSearch;
    int FSearchColumn = -1;
    bool FSearchActiveColumnOnly = false;
    bool FSearchMatchStart = false;
    bool FSearchFixedCells = false;
    bool FSearchHiddenRows = false;
    QString FHighLightCaption;
    bool FAlwaysHighLight = false;
    TSearchDirection FSearchDirection = sdTopBottom;
    platform::TFont FFont;
};

// Another grid kept in step with the owner grid.
class TSyncGrid : public TPersistent
{
public:
    explicit TSyncGrid(platform::TStringGrid* ownerGrid = nullptr) : FOwnerGrid(ownerGrid) {}
    void Assign(const TPersistent* source) override;

    bool ScrollHorizontal() const { return FScrollHorizontal; }
    void SetScrollHorizontal(bool v) { FScrollHorizontal = v; }
    // None once that grid is destroyed. Setting the owner grid is ignored.
    platform::TStringGrid* Grid() const { return FGrid.data(); }
    void SetGrid(platform::TStringGrid* grid);
    bool ScrollVertical() const { return FScrollVertical; }
    void SetScrollVertical(bool v) { FScrollVertical = v; }
    bool SelectionRow() const { return FSelectionRow; }
    void SetSelectionRow(bool v) { FSelectionRow = v; }
    bool SelectionColumn() const { return FSelectionColumn; }
    void SetSelectionColumn(bool v) { FSelectionColumn = v; }
    bool MoveRow() const { return FMoveRow; }
    void SetMoveRow(bool v) { FMoveRow = v; }
    bool MoveColumn() const { return FMoveColumn; }
    void SetMoveColumn(bool v) { FMoveColumn = v; }

private:
    platform::TStringGrid* FOwnerGrid;
    bool FScrollHorizontal = false;
    QPointer<platform::TStringGrid> FGrid;
    bool FScrollVertical = false;
    bool FSelectionRow = false;
    bool FSelectionColumn = false;
    bool FMoveRow = false;
    bool FMoveColumn = false;
};

// Alternating row colours.
class TBands : public TPersistent
{
public:
    void Assign(const TPersistent* source) override;

    bool Print() const { return FPrint; }
    void SetPrint(bool v) { FPrint = v; }
    bool Active() const { return FActive; }
    void SetActive(bool v);
    int TotalLength() const { return FTotalLength; }
    int SecondaryLength() const { return FSecondaryLength; }
    void SetSecondaryLength(int v);
    int PrimaryLength() const { return FPrimaryLength; }
    void SetPrimaryLength(int v);
    platform::TColor SecondaryColor() const { return FSecondaryColor; }
    void SetSecondaryColor(platform::TColor v);
    platform::TColor PrimaryColor() const { return FPrimaryColor; }
    void SetPrimaryColor(platform::TColor v);

    std::function<void(TBands* sender)> OnChange;

private:
    void Changed();

    bool FPrint = false;
    bool FActive = false;
    int FTotalLength = 2;
    int FSecondaryLength = 1;
    int FPrimaryLength = 1;
    platform::TColor FSecondaryColor = platform::clWindow;
    platform::TColor FPrimaryColor = platform::clInfoBk;
};

// The focus frame drawn around the current cell.
class TFocusHelper : public TPersistent
{
public:
    void Assign(const TPersistent* source) override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }

private:
    bool FEnabled = false;
};

// ---------------------------------------------------------------------------
// Utility lists and small support classes
// ---------------------------------------------------------------------------

// 32-bit integers, reporting changes with the cell the list belongs to.
class TIntList
{
public:
    TIntList(int col = -1, int row = -1) : FCol(col), FRow(row) {}
    virtual ~TIntList() = default;

    int Col() const { return FCol; }
    int Row() const { return FRow; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // Index errors raise std::out_of_range, as the platform's list does.
    int GetInteger(int index) const;
    void SetInteger(int index, int value);
    int operator[](int index) const { return GetInteger(index); }
    int Add(int value);
    void Insert(int index, int value);
    // count entries of value at index in one step, as count Inserts.
    void InsertRange(int index, int count, int value);
    void Delete(int index);
    // The entries index..index+count-1 (cut at the end) in one step, with
    // one OnChange per entry, as Delete.
    void DeleteRange(int index, int count);
    void DeleteValue(int value);
    bool HasValue(int value) const;
    // -1 when absent.
    int IndexOf(int value) const;
    void Clear() { FItems.clear(); }
    // Grows (new entries `fill`) or shrinks to `count` entries, quietly.
    void SetCount(int count, int fill = 0);
    const std::vector<int>& Items() const { return FItems; }

    // "1,20,3". Writing parses strictly: a piece that is no integer raises
    // std::invalid_argument and leaves the list as it was.
    QString StrValue() const;
    void SetStrValue(const QString& value);

    TImageChangeEvent OnChange;

protected:
    void Changed();

    int FCol;
    int FRow;
    std::vector<int> FItems;
};

// Sort columns in priority order: the column in the low 31 bits, bit 31 set
// for descending.
class TSortIndexList : public TIntList
{
public:
    using TIntList::TIntList;

    void AddIndex(int columnIndex, bool ascending);
    int FindIndex(int columnIndex) const;
    int GetSortColumns(int i) const;
    void SetSortColumns(int i, int value);
    // True for ascending.
    bool GetSortDirections(int i) const;
    void SetSortDirections(int i, bool ascending);
    void ToggleIndex(int columnIndex);
    // "u3;d5": u or d, then the column.
    QString SaveToString() const;
    void LoadFromString(const QString& s);
};

// One control placed in a cell; the item does not own the control.
class TControlItem
{
public:
    TControlItem(int x, int y, QWidget* control) : X(x), Y(y), Control(control) {}
    int X;
    int Y;
    QPointer<QWidget> Control;
};

// The controls placed in the cells of a grid; owns its items.
class TControlList
{
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    void AddControl(int x, int y, QWidget* control);
    // -1 when no item is at that cell.
    int ControlIndex(int x, int y) const;
    // Index errors raise std::out_of_range.
    TControlItem* GetControl(int i) const;
    bool HasHandle(const QWidget* handle) const;
    void RemoveControl(int index);
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TControlItem>> FItems;
};

// Lines read and written one by one.
class TFileStringList
{
public:
    QStringList Lines;
    int fp = 0;
    QString cache;

    void Reset();
    bool Eof() const { return fp >= Lines.size(); }
    // Reading past the end raises std::out_of_range.
    void ReadLn(QString& s);
    void Write(const QString& s) { cache += s; }
    void WriteLn(const QString& s);
};

// A picture read from its file when needed.
class TFilePicture : public TPersistent
{
public:
    QString Filename() const { return FFilename; }
    // Reads the file once for its size; a file that cannot be read gives 0 x 0.
    void SetFilename(const QString& name);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void DrawPicture(platform::TCanvas& canvas, const platform::TRect& r) const;
    void Assign(const TPersistent* source) override;

private:
    QString FFilename;
    int FWidth = 0;
    int FHeight = 0;
};

// The direct base of the grid base: the platform's string grid.
class TObjStringGrid : public platform::TStringGrid
{
public:
    using platform::TStringGrid::TStringGrid;
};

// ---- move arrows, focus window and alpha mask

// A small arrow that marks where a dragged column or row will drop. It is a
// child of the owner's window laid over its siblings and shaped by a mask, so
// that no compositor is needed. arrLeft points right and arrRight points left:
// each stands on its side of the drop row.
class TArrowWindow : public platform::TPanel
{
public:
    TArrowWindow(QWidget* owner, TArrowDirection dir);

    TArrowDirection Dir() const { return FDir; }
    // The outline, seven points.
    const QPolygon& Arrow() const { return FArrow; }
    // The pixels the arrow covers, in its own coordinates.
    QRegion ArrowRegion() const;
    // Places the arrow's top-left at a screen point, shows it and raises it.
    void ShowAtScreen(const platform::TPoint& topLeft);
    void SetColor(platform::TColor c) override;

protected:
    void Paint() override;

private:
    TArrowDirection FDir;
    QPolygon FArrow;
};

// A zero-size frame window the grid may turn into a frame around the current
// cell; a child of the owner's window that never takes the focus.
class TGridFocusWindow : public platform::TCustomControl
{
public:
    explicit TGridFocusWindow(QWidget* owner);
};

// A 32-bit image with per-pixel opacity (premultiplied), and the constant
// opacity its owner shows it with.
class TGridAlphaMask
{
public:
    TGridAlphaMask();
    QImage& Image() { return FImage; }
    const QImage& Image() const { return FImage; }
    uint8_t Opacity() const { return FOpacity; }
    void SetOpacity(uint8_t v) { FOpacity = v; }
    void Assign(const TGridAlphaMask& source);
    // Any other image: its pixels, made 32-bit.
    void Assign(const QImage& source);
    // Only a 24-bit bitmap is taken (anything else changes nothing): each
    // pixel's alpha is the red of the mask's pixel at the same place and the
    // colours are premultiplied with it. A mask smaller than the bitmap
    // changes nothing. The colour has no influence.
    void MergeMask(const QImage& mask, const QImage& bitmap, platform::TColor color);

private:
    QImage FImage;
    uint8_t FOpacity = 255;
};

// A black 24-bit image with a white rounded rectangle: filled for a pen
// width below 1, else its outline that wide; blurred when radius > 0.
void MakeRoundRectMask(QImage& bitmap, int width, int height, int penWidth, int cornerSize, double radius);
// Gaussian blur of a 24-bit image; raises std::runtime_error for any other
// format. A radius of 0 or less leaves the image as it is.
void BlurBitmap(QImage& bitmap, double radius);
