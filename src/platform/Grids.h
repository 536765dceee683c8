#pragma once

// The platform's grids: TCustomGrid (geometry, current cell and selection,
// painting, keyboard and mouse, scroll bars, the inplace editor), TDrawGrid
// (its events), TStringGrid (a text and an object per cell) and TInplaceEdit.
//
// The grid's input reaches it as window messages through WndProc, so that a
// descendant can take a message before the platform does and hand on the rest
// (TCustomGrid::WndProc does the platform's handling). The message numbers and
// the layout of their arguments are those below.

#include "platform/ControlBase.h"
#include "platform/Controls.h"
#include "platform/CustomControl.h"
#include "platform/Forms.h"
#include "platform/GridTypes.h"
#include "platform/Messages.h"

#include <QPointer>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QScrollBar;

namespace platform {

// Argument layouts of the grid's messages:
// - mouse buttons and moves: WParam the shift state (TShiftState), LParam the
//   client point (x in the low, y in the high 16 bits, both signed);
// - WM_SETCURSOR: LParam the client point;
// - WM_MOUSEWHEEL: WParam the wheel delta in the high 16 bits (signed;
//   positive away from the user) and the shift state in the low ones, LParam
//   the screen point;
// - WM_KEYDOWN, WM_KEYUP: WParam the virtual key; WM_CHAR: WParam the
//   character; for all three LParam the shift state, with KeyDataNumPad added
//   for keys of the numeric pad;
// - WM_HSCROLL, WM_VSCROLL: WParam the scroll code in the low and the
//   position (0..127 on the grid's bars) in the high 16 bits;
// - WM_COMMAND: WParam the notification in the high 16 bits, LParam the
//   sending control (a QObject*);
// - WM_SETFOCUS, WM_KILLFOCUS: WParam the widget that lost or takes the focus
//   (a QWidget*), 0 when it is not known.

// ------------------------------------------------------------------ support types

// What a cell's object slot holds. The grid keeps the pointer only; the object
// belongs to whoever put it there.
class TObject
{
public:
    virtual ~TObject() = default;
};

// A scroll bar's range, page and position. Positions run from Min to
// Max - Page + 1 (to Max without a page).
struct TScrollInfo
{
    int Min = 0;
    int Max = 0;
    int Page = 0;
    int Pos = 0;
    int TrackPos = 0;
    bool operator==(const TScrollInfo&) const = default;
};

using TBorderStyle = TFormBorderStyle;  // bsNone or bsSingle

enum class TOperation { opInsert, opRemove };
using enum TOperation;

using TDrawCellEvent = std::function<void(QObject* sender, int col, int row, const TRect& rect, TGridDrawState state)>;
using TSelectCellEvent = std::function<void(QObject* sender, int col, int row, bool& canSelect)>;
using TGetEditEvent = std::function<void(QObject* sender, int col, int row, QString& value)>;
using TSetEditEvent = std::function<void(QObject* sender, int col, int row, const QString& value)>;
using TMovedEvent = std::function<void(QObject* sender, int fromIndex, int toIndex)>;
using TMouseWheelEvent =
    std::function<void(QObject* sender, TShiftState shift, int wheelDelta, const TPoint& mousePos, bool& handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(QObject* sender, TShiftState shift, const TPoint& mousePos, bool& handled)>;
using TDragOverEvent =
    std::function<void(QObject* sender, QObject* source, int x, int y, TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(QObject* sender, QObject* source, int x, int y)>;

class TCustomGrid;

namespace detail {
class GridSurface;
class InplaceLine;
class InplaceText;
} // namespace detail

// ------------------------------------------------------------------ TInplaceEdit

// The grid's cell editor: a multi-line edit laid over the current cell. With
// an edit mask or a password character it edits one line. The grid creates it
// (CreateEditor) and owns it. Keys it does not use itself (Up, Down, the page
// keys, Escape, Tab when the grid takes Tab, Ctrl+Home and Ctrl+End; Left and
// Right at the ends of the text while the grid always shows its editor) go to
// the grid's navigation; Enter selects the whole text, or nothing when all is
// selected. Every change of the text is reported to the grid (WM_COMMAND with
// EN_CHANGE), which writes it into the cell.
class TInplaceEdit : public TCustomControl
{
public:
    explicit TInplaceEdit(TCustomGrid* grid);
    ~TInplaceEdit() override;

    TCustomGrid* Grid() const { return grid_; }

    QString Text() const;
    void SetText(const QString& text);
    // With an edit mask: the text as shown, literals and blanks included.
    QString EditText() const;
    int SelStart() const;
    int SelLength() const;
    void SetSelStart(int start);
    void SetSelLength(int length);
    void SetSel(int start, int length);
    QString SelText() const;
    void SelectAll();
    // Caret to the end, nothing selected.
    void Deselect();

    // 0: no limit. Typing and pasting stop at it; text set by the program is
    // kept whole.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    // The platform's mask language ("!99/99/0000;1;_": L l A a C c 0 9 #
    // places, > < <> case, \ literal, then whether literals are kept in Text
    // and the blank character).
    QString EditMask() const { return editMask_; }
    void SetEditMask(const QString& mask);
    QChar PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(QChar c);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wrap);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    // The formatting rectangle, as margins inside the editor.
    void SetTextMargins(int left, int top, int right, int bottom);

    // Lines as laid out (wrapped lines count); -1 asks for the caret's line.
    int LineCount() const;
    int LineFromChar(int charIndex = -1) const;
    // The character nearest to a point of the editor, and a character's
    // top-left corner.
    int CharFromPos(const TPoint& p) const;
    TPoint PosFromChar(int charIndex) const;

    // Through WM_COPY, WM_CUT and WM_PASTE, so descendants see them.
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // A character typed into the editor (WM_CHAR), as the grid hands on the
    // character that opened it.
    void TypeChar(QChar ch);

    // Places the editor over a rectangle of the grid's client area and shows it.
    void Move(const TRect& r);
    void SetColor(TColor c) override;

    bool WantsKey(int key) const override;
    bool WantsChars() const override { return true; }

    TNotifyEvent OnChange;

protected:
    // Loads the edit text, mask and limit of the grid's current cell.
    virtual void UpdateContents();
    // After the editor was moved or sized: the formatting rectangle.
    virtual void BoundsChanged();
    // After every change of the text.
    virtual void Change();
    void KeyDown(int& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void WndProc(TMessage& message) override;
    void FontChanged() override;

    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    bool event(QEvent* e) override;

private:
    friend class TCustomGrid;
    friend class detail::InplaceLine;
    friend class detail::InplaceText;
    void Dispatch(TMessage& m);
    void UseLineEditor(bool line);
    QWidget* Inner() const;
    void TextChanged();
    void InnerDoubleClicked();
    void ContextMenu(const QPoint& globalPos);
    void DefaultKeyDown(int key, TShiftState shift);
    void DefaultChar(QChar ch);
    void InsertText(const QString& text);
    void FeedKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text);
    void ApplyPalette();
    int TextLength() const;

    TCustomGrid* grid_;
    detail::InplaceLine* line_ = nullptr;
    detail::InplaceText* text_ = nullptr;
    bool lineMode_ = false;
    int maxLength_ = 0;
    QString editMask_;
    bool saveLiterals_ = true;
    QChar passwordChar_;
    bool wordWrap_ = false;
    TAlignment alignment_ = taLeftJustify;
    int margins_[4] = {0, 0, 0, 0};
    bool switching_ = false;
    QKeyEvent* pendingKey_ = nullptr;
    bool suppressChar_ = false;
    // Line breaks as the loaded text has them, and that text as loaded, so
    // that an untouched text comes back unchanged.
    QString lineBreak_ = QStringLiteral("\r\n");
    QString loadedText_;
    QString loadedInner_;
    bool loaded_ = false;
};

// ------------------------------------------------------------------ TCustomGrid

class TCustomGrid : public TCustomControl
{
public:
    explicit TCustomGrid(QWidget* parent = nullptr);
    ~TCustomGrid() override;

    // The positions of the scroll bars run over 0..ScrollRange; they map onto
    // the first scrollable row or column and the last top row or left column
    // that still shows the last one.
    static constexpr int ScrollRange = 127;
    // The timer that scrolls while the mouse selects or moves beyond the cells.
    static constexpr int MoveTimerId = 1;

    // Counts of at least 1; fixed rows and columns stay below them.
    int ColCount() const { return colCount_; }
    void SetColCount(int count);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int count);
    // Widths and heights are cut to 0..MaxCellExtent, so that sums of them
    // stay inside an int.
    static constexpr int MaxCellExtent = 32767;
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int width);
    // Every row takes it.
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int height);
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    // 0 hides a row's cells; the grid line stays.
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int width);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool on);
    // Scrollable columns and rows fully in view from LeftCol and TopRow.
    int VisibleColCount() const;
    int VisibleRowCount() const;
    // The first scrollable column and row in view. A write stays within the
    // scrollable ones and may go further than keys and scroll bars do, down
    // to the last one.
    int LeftCol() const { return leftCol_; }
    void SetLeftCol(int col);
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);

    // The current cell. Writing it asks SelectCell, moves the anchor along and
    // scrolls the cell into view; the program gets an OnClick, as from the user.
    int Col() const { return current_.X; }
    void SetCol(int col);
    int Row() const { return current_.Y; }
    void SetRow(int row);
    // The ordered rectangle between the anchor and the current cell (whole
    // rows with goRowSelect). Writing puts the anchor on its top-left and the
    // current cell on its bottom-right without asking SelectCell; a rectangle
    // beyond the last cell hides the selection.
    TGridRect Selection() const;
    void SetSelection(const TGridRect& r);
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);

    // The cell's rectangle in the client area; empty when no part of it is in view.
    TRect CellRect(int col, int row) const;
    // The cell under a client point; -1 for a coordinate outside the cells.
    void MouseToCell(int x, int y, int& col, int& row) const;
    TGridCoord MouseCoord(int x, int y) const;

    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor c);
    void SetColor(TColor c) override;
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    // Painting always goes through a buffer on this platform; the flag is kept.
    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool on) { doubleBuffered_ = on; }
    // The client area: inside the border, without the scroll bars.
    int ClientWidth() const override;
    int ClientHeight() const override;
    TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }
    // The widget of the client area. Controls placed over cells belong on it,
    // so that their positions are client coordinates.
    QWidget* ClientSurface() const;

    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle style);
    // The grid shows a bar of ScrollBars while there is something to scroll;
    // these override that until the need changes.
    void ShowScrollBar(TScrollBarKind bar, bool show);
    bool ScrollBarVisible(TScrollBarKind bar) const;
    void EnableScrollBar(TScrollBarKind bar, bool enable);
    bool ScrollBarEnabled(TScrollBarKind bar) const;
    TScrollInfo GetScrollInfo(TScrollBarKind bar) const;
    void SetScrollInfo(TScrollBarKind bar, const TScrollInfo& info);

    bool EditorMode() const { return editorMode_; }
    void SetEditorMode(bool on);
    TInplaceEdit* InplaceEditor() const { return editor_; }

    // Stored properties are being written; Loaded ends it.
    bool Loading() const { return loading_; }
    void BeginLoading() { loading_ = true; }
    virtual void Loaded();
    // Whether CreateWnd has run (it runs when the grid is first shown, or here).
    bool HandleAllocated() const { return handleAllocated_; }
    void HandleNeeded();
    // Gives the focus to the control after (or before) the grid in the
    // window's tab order, passing over the grid's own editors wherever they
    // stand in it; false when there is none.
    bool FocusNeighbourControl(bool forward);
    // Notification(component, opRemove) follows when the component is destroyed.
    void FreeNotification(QObject* component);

    // The whole grid is painted again.
    virtual void Invalidate();

    bool WantsKey(int key) const override;
    bool WantsChars() const override;

    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown, OnMouseWheelUp;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;

protected:
    virtual void CreateWnd() {}
    virtual void Notification(QObject* component, TOperation operation) {}

    // Painting: every visible cell through DrawCell, then the grid lines; the
    // area beyond the cells takes Color. With DefaultDrawing the cell is
    // filled first (fixed, selected or normal colour) and framed or focused after.
    void Paint() override;
    virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {}
    // The non-client frame, on WindowCanvas().
    virtual void PaintFrame();
    // Bound to the whole grid widget while WM_NCPAINT is handled.
    TCanvas& WindowCanvas() { return windowCanvas_; }

    // Whether the current cell may move to (col, row); true here.
    virtual bool SelectCell(int col, int row) { return true; }
    // The current cell moves (after SelectCell) with or without the anchor,
    // and into view when asked. Raises std::out_of_range outside the grid.
    void MoveColRow(int col, int row, bool moveAnchor, bool show);
    // MoveColRow into view, the editor follows, then Click.
    void FocusCell(int col, int row, bool moveAnchor);

    // Moves a column or row and calls ColumnMoved or RowMoved; widths,
    // heights and the current cell stay where they are.
    void MoveColumn(int fromIndex, int toIndex);
    void MoveRow(int fromIndex, int toIndex);
    virtual void ColumnMoved(int fromIndex, int toIndex) {}
    virtual void RowMoved(int fromIndex, int toIndex) {}
    // Removes a row: the rows below and their heights move up.
    void DeleteRow(int row) { DeleteRows(row, 1); }
    // Removes count rows at row in one step, with the same result as count
    // DeleteRow(row) calls (the grid keeps one row). Raises std::out_of_range
    // before changing anything when one of those calls would.
    virtual void DeleteRows(int row, int count);
    // The heights of rows first..last-1 turn as std::rotate turns them (the
    // row at middle becomes the first); rows without a height of their own
    // cost nothing. One RowHeightsChanged when a height changed.
    void RotateRowHeights(int first, int middle, int last);
    // Rows first.. take the heights given, in one step.
    void AssignRowHeights(int first, const std::vector<int>& heights);
    virtual void SizeChanged(int oldColCount, int oldRowCount) {}
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void TopLeftChanged() {}

    void InvalidateCell(int col, int row);
    void InvalidateRow(int row);
    void InvalidateCol(int col);
    void InvalidateRect(const TGridRect& cells);
    void InvalidateGrid() { Invalidate(); }

    // The editor.
    virtual TInplaceEdit* CreateEditor();
    void ShowEditor();
    void HideEditor();
    void ShowEditorChar(QChar ch);
    // Loads the shown editor again from its cell.
    void InvalidateEditor();
    virtual bool CanEditShow();
    // Length limit of the editor (0: none), its mask, and the cell's text.
    virtual int GetEditLimit() { return 0; }
    virtual QString GetEditMask(int col, int row) { return QString(); }
    virtual QString GetEditText(int col, int row) { return QString(); }
    virtual void SetEditText(int col, int row, const QString& value) {}

    // Input. KeyDown does the navigation after OnKeyDown (arrows, page keys
    // by the visible rows, Home, End, Ctrl+Home, Ctrl+End, Tab with goTabs,
    // F2 opening the editor, Escape giving the edited cell back its text); a
    // typed character opens the editor when editing is on (WM_CHAR), others
    // go to KeyPress, where Enter opens or closes the editor.
    void KeyDown(int& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // Whether a client point lies on a border that the mouse may drag: state
    // gsColSizing or gsRowSizing with the column or row, the border's position
    // and its distance from the point; gsNormal otherwise.
    virtual void CalcSizingState(int x, int y, TGridState& state, int& index, int& sizingPos, int& sizingOfs);
    TGridState GridState() const { return gridState_; }
    void SetGridState(TGridState state);
    // OnMouseWheel, then a step down or up per notch.
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, const TPoint& mousePos);
    // OnMouseWheelDown or Up; when not handled the current row moves by one.
    virtual bool DoMouseWheelDown(TShiftState shift, const TPoint& mousePos);
    virtual bool DoMouseWheelUp(TShiftState shift, const TPoint& mousePos);
    virtual void DragOver(QObject* source, int x, int y, TDragState state, bool& accept);
    virtual void DragDrop(QObject* source, int x, int y);
    // The scroll bars' messages (SB_ codes; pos on the 0..127 scale).
    virtual void HorizontalScroll(int code, int pos);
    virtual void VerticalScroll(int code, int pos);
    // A cursor shown over the client area instead of the grid's Cursor
    // (crDefault: the grid's again).
    void SetTemporaryCursor(TCursor cursor);

    void WndProc(TMessage& message) override;
    // Sends a message through WndProc, guarded.
    void Perform(TMessage& message);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;
    void FontChanged() override;

private:
    friend class TInplaceEdit;
    friend class detail::GridSurface;

    struct Span
    {
        int index;
        int start;
        int size;
    };
    struct Layout
    {
        bool valid = false;
        int clientWidth = 0, clientHeight = 0;
        int fixedWidth = 0, fixedHeight = 0;
        int lastCol = -1, lastRow = -1;          // last column / row with a part in view
        int lastFullCol = -1, lastFullRow = -1;  // last one wholly in view (fixed ones included)
        int maxLeft = 0, maxTop = 0;             // furthest scroll that still shows the last one
    };

    const Layout& Geometry() const;
    void InvalidateLayout() { layout_.valid = false; }
    int MaxScroll(bool rows, int clientExtent) const;
    void Spans(bool rows, std::vector<Span>& out) const;
    bool AxisSpan(bool rows, int index, int& start, int& size) const;
    int AxisHit(bool rows, int pos) const;
    int TopForBottom(bool rows, int last) const;
    TRect SpanRect(const TGridRect& cells) const;
    void ChangeSize(int newColCount, int newRowCount);
    void MoveTopLeft(int left, int top);
    void ClampInView(int col, int row);
    void SelectionMoved(const TGridRect& oldSel);
    void MoveCurrent(int col, int row, bool moveAnchor, bool show);
    void ResetAxis(bool rows);
    bool IsActiveControl() const;
    void UpdateEdit();
    void UpdateEditor();
    void HideEdit();
    void UpdateText();
    void CancelEdit();
    void PlaceEditor();

    void UpdateScrollBars();
    void UpdateScrollPos();
    void ApplyScrollInfo(int bar);
    void ScrollBarAction(int bar, int action);
    void ScrollBarReleased(int bar);
    void LayoutChildren();
    int BorderWidth() const;
    void ScrollStep(bool rows, int code, int pos);

    void SurfacePaint(QPaintEvent* event);
    void RouteMouse(QMouseEvent* event, const QPoint& clientPos);
    void RouteWheel(QWheelEvent* event);
    void HandleChar(QChar ch, std::intptr_t keyData);
    void TimerStep();
    void FocusMoved(QWidget* old, QWidget* now);
    void DrawOverlay(TCanvas& c);
    void InvalidateOverlay();
    TRect OverlayRect() const;

    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    std::map<int, int> colWidths_;   // widths other than the default
    std::map<int, int> rowHeights_;  // heights other than the default
    int gridLineWidth_ = 1;
    bool defaultDrawing_ = true;
    int leftCol_ = 1;
    int topRow_ = 1;
    TGridCoord current_{1, 1};
    TGridCoord anchor_{1, 1};
    TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    TColor fixedColor_ = clBtnFace;
    TBorderStyle borderStyle_ = bsSingle;
    bool doubleBuffered_ = false;
    TScrollStyle scrollBars_ = ssBoth;
    mutable Layout layout_;

    detail::GridSurface* surface_ = nullptr;
    QScrollBar* bars_[2] = {nullptr, nullptr};  // horizontal, vertical
    bool barVisible_[2] = {false, false};
    int lastNeed_[2] = {-1, -1};
    TScrollInfo scrollInfo_[2];
    bool updatingBars_ = false;

    QPointer<TInplaceEdit> editor_;
    bool editorMode_ = false;
    int editCol_ = -1;
    int editRow_ = -1;
    QString editOriginal_;
    bool loadingEditor_ = false;
    bool committing_ = false;
    bool focusFromEditor_ = false;

    TGridState gridState_ = gsNormal;
    int sizingIndex_ = -1;
    int sizingPos_ = 0;
    int sizingOfs_ = 0;
    int moveIndex_ = -1;
    int movePos_ = -1;
    QPoint lastMouse_;
    int wheelAccumulator_ = 0;
    // Touchpad turns not yet a whole notch.
    int wheelRest_ = 0;
    bool charSuppressed_ = false;
    bool entered_ = false;
    bool loading_ = false;
    bool handleAllocated_ = false;
    bool destroying_ = false;
    QRect paintRect_;
    TCanvas windowCanvas_;
    QMetaObject::Connection focusConnection_;
    std::vector<QObject*> watched_;
};

// ------------------------------------------------------------------ TDrawGrid

// The grid with its events.
class TDrawGrid : public TCustomGrid
{
public:
    explicit TDrawGrid(QWidget* parent = nullptr) : TCustomGrid(parent) {}

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TGetEditEvent OnGetEditText, OnGetEditMask;
    TSetEditEvent OnSetEditText;
    TMovedEvent OnColumnMoved, OnRowMoved;
    TNotifyEvent OnTopLeftChanged;

protected:
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    bool SelectCell(int col, int row) override;
    QString GetEditMask(int col, int row) override;
    QString GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const QString& value) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    void RowMoved(int fromIndex, int toIndex) override;
    void TopLeftChanged() override;
};

// ------------------------------------------------------------------ TStringGrid

// A text and an object per cell. The cells are kept whatever the counts: cells
// beyond a lowered ColCount or RowCount stay and show again when the count
// grows. Cells and Objects are raw access: no hooks run, a write repaints the
// cell. Rows below 2^24 and columns below 2^16 can be written.
class TStringGrid : public TDrawGrid
{
public:
    explicit TStringGrid(QWidget* parent = nullptr) : TDrawGrid(parent) {}
    ~TStringGrid() override;

    static constexpr int MaxStoredRows = 1 << 24;
    static constexpr int MaxStoredCols = 1 << 16;

    // Empty for a cell never written (and for negative coordinates).
    QString Cells(int col, int row) const;
    // Raises std::out_of_range for a negative or too large coordinate.
    void SetCells(int col, int row, const QString& text);
    TObject* Objects(int col, int row) const;
    void SetObjects(int col, int row, TObject* object);

protected:
    // With DefaultDrawing the cell's text at (left + 2, top + 2), then OnDrawCell.
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    QString GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const QString& value) override;
    // Every row's cells move, also for columns at or beyond ColCount.
    void ColumnMoved(int fromIndex, int toIndex) override;
    void RowMoved(int fromIndex, int toIndex) override;
    void DeleteRows(int row, int count) override;
    // The stored cells of rows first..last-1 turn as std::rotate turns them
    // (also rows at or beyond RowCount); no event.
    void RotateRowCells(int first, int middle, int last);
    // Row first + i takes the stored cells row from[i] had; from is an
    // arrangement of the rows first..first + from.size() - 1. No event.
    void ArrangeRowCells(int first, const std::vector<int>& from);

private:
    struct CellData
    {
        QString text;
        TObject* object = nullptr;
    };
    using RowData = std::vector<CellData>;
    const CellData* Find(int col, int row) const;
    CellData& Slot(int col, int row);

    std::vector<std::unique_ptr<RowData>> rows_;
    bool settingEditText_ = false;
};

} // namespace platform
