// The platform grid: geometry, current cell and selection, painting, mouse,
// keyboard and scroll bars. The editor is in Grids_Edit.cpp, the cell store in
// Grids_Cells.cpp.
#include "platform/Grids.h"
#include "platform/Scope.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <exception>
#include <stdexcept>

namespace platform {

namespace {

// a * b / c rounded to the nearest, as the scroll mapping needs it.
int ScaleRounded(int a, int b, int c)
{
    if (c == 0)
        return 0;
    const long long p = static_cast<long long>(a) * b;
    const long long q = (std::llabs(p) + std::llabs(c) / 2) / std::llabs(c);
    return static_cast<int>(((p < 0) != (c < 0)) ? -q : q);
}

bool InRect(const TGridRect& r, int col, int row)
{
    return col >= r.Left && col <= r.Right && row >= r.Top && row <= r.Bottom;
}

// Where a moved column (row) would go for a pointer position.
int MoveTarget(int hit, int pos, int fixedExtent, int clientExtent, int first, int lastVisible, int fixed,
                      int count)
{
    int target = hit;
    if (pos < fixedExtent)
        target = first;
    else if (pos >= clientExtent || hit < 0)
        target = lastVisible;
    return std::clamp(target, fixed, count - 1);
}

QRect ToQ(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

} // namespace

namespace detail {

// The grid's client area: everything inside the border and beside the scroll
// bars. It paints the cells and takes the mouse; the grid keeps the focus.
class GridSurface : public QWidget
{
public:
    explicit GridSurface(TCustomGrid* grid) : QWidget(grid), grid_(grid)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
        setFocusPolicy(Qt::NoFocus);
        setAcceptDrops(true);
    }

protected:
    void paintEvent(QPaintEvent* e) override { grid_->SurfacePaint(e); }
    void mousePressEvent(QMouseEvent* e) override { grid_->RouteMouse(e, e->position().toPoint()); }
    void mouseMoveEvent(QMouseEvent* e) override { grid_->RouteMouse(e, e->position().toPoint()); }
    void mouseReleaseEvent(QMouseEvent* e) override { grid_->RouteMouse(e, e->position().toPoint()); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { grid_->RouteMouse(e, e->position().toPoint()); }
    void wheelEvent(QWheelEvent* e) override { grid_->RouteWheel(e); }
    void dragEnterEvent(QDragEnterEvent* e) override { Drag(e, dsDragEnter); }
    void dragMoveEvent(QDragMoveEvent* e) override { Drag(e, dsDragMove); }
    void dragLeaveEvent(QDragLeaveEvent*) override
    {
        bool accept = false;
        RunGuarded([&] { grid_->DragOver(nullptr, -1, -1, dsDragLeave, accept); });
    }
    void dropEvent(QDropEvent* e) override
    {
        const QPoint p = e->position().toPoint();
        RunGuarded([&] { grid_->DragDrop(e->source(), p.x(), p.y()); });
        e->acceptProposedAction();
    }

private:
    void Drag(QDropEvent* e, TDragState state)
    {
        const QPoint p = e->position().toPoint();
        bool accept = false;
        RunGuarded([&] { grid_->DragOver(e->source(), p.x(), p.y(), state, accept); });
        if (accept)
            e->acceptProposedAction();
        else
            e->ignore();
    }

    TCustomGrid* grid_;
};

// Ends a scroll (SB_ENDSCROLL) when the mouse leaves an arrow or the track,
// and hands the wheel over the bars to the grid.
class ScrollBarWatcher : public QObject
{
public:
    ScrollBarWatcher(QObject* parent, std::function<void(QEvent*)> handler)
        : QObject(parent), handler_(std::move(handler))
    {
    }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::MouseButtonRelease || e->type() == QEvent::Wheel) {
            handler_(e);
            return e->type() == QEvent::Wheel;
        }
        return false;
    }

private:
    std::function<void(QEvent*)> handler_;
};

} // namespace detail

// ------------------------------------------------------------------ life cycle

TCustomGrid::TCustomGrid(QWidget* parent) : TCustomControl(parent)
{
    SetClickEvents(false);
    surface_ = new detail::GridSurface(this);
    QPalette barPalette = QApplication::palette();
    barPalette.setResolveMask(~QPalette::ResolveMask(0));
    for (int i = 0; i < 2; ++i) {
        auto* bar = new QScrollBar(i == 0 ? Qt::Horizontal : Qt::Vertical, this);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setContextMenuPolicy(Qt::NoContextMenu);
        bar->setPalette(barPalette);
        bar->setRange(0, 0);
        bar->setPageStep(0);
        bar->hide();
        QObject::connect(bar, &QAbstractSlider::actionTriggered, this, [this, i](int action) { ScrollBarAction(i, action); });
        QObject::connect(bar, &QAbstractSlider::sliderReleased, this, [this, i] { ScrollBarReleased(i); });
        bar->installEventFilter(new detail::ScrollBarWatcher(bar, [this, i, bar](QEvent* e) {
            if (e->type() == QEvent::Wheel) {
                RouteWheel(static_cast<QWheelEvent*>(e));
            } else if (!bar->isSliderDown()) {
                TMessage m{i == 0 ? WM_HSCROLL : WM_VSCROLL, MakeWParam(SB_ENDSCROLL, scrollInfo_[i].Pos), 0, 0};
                Perform(m);
            }
        }));
        bars_[i] = bar;
    }
    if (QCoreApplication::instance()) {
        focusConnection_ = QObject::connect(qApp, &QApplication::focusChanged, this,
                                            [this](QWidget* old, QWidget* now) { FocusMoved(old, now); });
    }
    SetColor(clWindow);
    windowCanvas_.SetFont(Font());
    Canvas().SetFont(Font());
    resize(320, 120);
    LayoutChildren();
    UpdateScrollBars();
}

TCustomGrid::~TCustomGrid()
{
    destroying_ = true;
    QObject::disconnect(focusConnection_);
    // The editor goes while the grid is whole: its last focus change must not
    // reach a grid that is half destroyed.
    delete editor_.data();
}

void TCustomGrid::Loaded()
{
    loading_ = false;
    UpdateScrollBars();
}

void TCustomGrid::HandleNeeded()
{
    if (handleAllocated_)
        return;
    handleAllocated_ = true;
    CreateWnd();
}

void TCustomGrid::FreeNotification(QObject* component)
{
    if (!component || std::find(watched_.begin(), watched_.end(), component) != watched_.end())
        return;
    watched_.push_back(component);
    QObject::connect(component, &QObject::destroyed, this, [this](QObject* gone) {
        watched_.erase(std::remove(watched_.begin(), watched_.end(), gone), watched_.end());
        if (!destroying_)
            RunGuarded([&] { Notification(gone, opRemove); });
    });
}

void TCustomGrid::Invalidate()
{
    surface_->update();
    update();
}

// ------------------------------------------------------------------ geometry

int TCustomGrid::BorderWidth() const { return borderStyle_ == bsNone ? 0 : 2; }

int TCustomGrid::ClientWidth() const
{
    const int bar = barVisible_[1] ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) : 0;
    return std::max(0, width() - 2 * BorderWidth() - bar);
}

int TCustomGrid::ClientHeight() const
{
    const int bar = barVisible_[0] ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) : 0;
    return std::max(0, height() - 2 * BorderWidth() - bar);
}

QWidget* TCustomGrid::ClientSurface() const { return surface_; }

int TCustomGrid::ColWidths(int col) const
{
    const auto it = colWidths_.find(col);
    return it == colWidths_.end() ? defaultColWidth_ : it->second;
}

int TCustomGrid::RowHeights(int row) const
{
    const auto it = rowHeights_.find(row);
    return it == rowHeights_.end() ? defaultRowHeight_ : it->second;
}

// The furthest first scrollable row (column) that still shows the last one
// whole, for a client extent.
int TCustomGrid::MaxScroll(bool rows, int clientExtent) const
{
    const int count = rows ? rowCount_ : colCount_;
    const int fixed = rows ? fixedRows_ : fixedCols_;
    int fixedExtent = 0;
    for (int i = 0; i < fixed; ++i)
        fixedExtent += (rows ? RowHeights(i) : ColWidths(i)) + gridLineWidth_;
    const int avail = clientExtent - fixedExtent;
    int result = count - 1;
    int used = 0;
    for (int i = count - 1; i >= fixed; --i) {
        used += (rows ? RowHeights(i) : ColWidths(i));
        if (used > avail)
            break;
        result = i;
        used += gridLineWidth_;
    }
    return std::max(fixed, result);
}

const TCustomGrid::Layout& TCustomGrid::Geometry() const
{
    const int cw = ClientWidth();
    const int ch = ClientHeight();
    if (layout_.valid && layout_.clientWidth == cw && layout_.clientHeight == ch)
        return layout_;
    Layout l;
    l.valid = true;
    l.clientWidth = cw;
    l.clientHeight = ch;
    const int g = gridLineWidth_;
    for (int i = 0; i < fixedCols_; ++i)
        l.fixedWidth += ColWidths(i) + g;
    for (int i = 0; i < fixedRows_; ++i)
        l.fixedHeight += RowHeights(i) + g;
    auto walk = [&](bool rows, int& last, int& lastFull) {
        const int count = rows ? rowCount_ : colCount_;
        const int fixed = rows ? fixedRows_ : fixedCols_;
        const int extent = rows ? ch : cw;
        int pos = 0;
        last = lastFull = -1;
        bool full = true;
        for (int i = 0; i < fixed && pos < extent; ++i) {
            const int size = rows ? RowHeights(i) : ColWidths(i);
            last = i;
            if (full && pos + size <= extent)
                lastFull = i;
            else
                full = false;
            pos += size + g;
        }
        for (int i = rows ? topRow_ : leftCol_; i < count && pos < extent; ++i) {
            const int size = rows ? RowHeights(i) : ColWidths(i);
            last = i;
            if (full && pos + size <= extent)
                lastFull = i;
            else
                full = false;
            pos += size + g;
        }
    };
    walk(false, l.lastCol, l.lastFullCol);
    walk(true, l.lastRow, l.lastFullRow);
    l.maxLeft = MaxScroll(false, cw);
    l.maxTop = MaxScroll(true, ch);
    layout_ = l;
    return layout_;
}

int TCustomGrid::VisibleColCount() const
{
    const Layout& l = Geometry();
    return l.lastFullCol >= leftCol_ ? l.lastFullCol - leftCol_ + 1 : 0;
}

int TCustomGrid::VisibleRowCount() const
{
    const Layout& l = Geometry();
    return l.lastFullRow >= topRow_ ? l.lastFullRow - topRow_ + 1 : 0;
}

// The columns (rows) with a part in view: the fixed ones, then from the left
// column (top row) on.
void TCustomGrid::Spans(bool rows, std::vector<Span>& out) const
{
    out.clear();
    const Layout& l = Geometry();
    const int count = rows ? rowCount_ : colCount_;
    const int fixed = rows ? fixedRows_ : fixedCols_;
    const int extent = rows ? l.clientHeight : l.clientWidth;
    int pos = 0;
    for (int i = 0; i < fixed && pos < extent; ++i) {
        const int size = rows ? RowHeights(i) : ColWidths(i);
        out.push_back(Span{i, pos, size});
        pos += size + gridLineWidth_;
    }
    for (int i = rows ? topRow_ : leftCol_; i < count && pos < extent; ++i) {
        const int size = rows ? RowHeights(i) : ColWidths(i);
        out.push_back(Span{i, pos, size});
        pos += size + gridLineWidth_;
    }
}

// Where a column (row) starts in the client area, when a part of it is in view.
bool TCustomGrid::AxisSpan(bool rows, int index, int& start, int& size) const
{
    const Layout& l = Geometry();
    const int fixed = rows ? fixedRows_ : fixedCols_;
    const int first = rows ? topRow_ : leftCol_;
    const int last = rows ? l.lastRow : l.lastCol;
    if (index < 0 || index > last || (index >= fixed && index < first))
        return false;
    int pos = 0;
    if (index < fixed) {
        for (int i = 0; i < index; ++i)
            pos += (rows ? RowHeights(i) : ColWidths(i)) + gridLineWidth_;
    } else {
        pos = rows ? l.fixedHeight : l.fixedWidth;
        for (int i = first; i < index; ++i)
            pos += (rows ? RowHeights(i) : ColWidths(i)) + gridLineWidth_;
    }
    start = pos;
    size = rows ? RowHeights(index) : ColWidths(index);
    return true;
}

// The column (row) whose cell or following grid line holds a client position.
int TCustomGrid::AxisHit(bool rows, int pos) const
{
    if (pos < 0)
        return -1;
    std::vector<Span> spans;
    Spans(rows, spans);
    for (const Span& s : spans) {
        if (pos >= s.start && pos < s.start + s.size + gridLineWidth_)
            return s.index;
    }
    return -1;
}

// The first scrollable row (column) that shows `last` whole at the bottom (right).
int TCustomGrid::TopForBottom(bool rows, int last) const
{
    const Layout& l = Geometry();
    const int fixed = rows ? fixedRows_ : fixedCols_;
    const int avail = (rows ? l.clientHeight - l.fixedHeight : l.clientWidth - l.fixedWidth);
    int result = last;
    int used = 0;
    for (int i = last; i >= fixed; --i) {
        used += rows ? RowHeights(i) : ColWidths(i);
        if (used > avail)
            break;
        result = i;
        used += gridLineWidth_;
    }
    return std::max(fixed, result);
}

TRect TCustomGrid::CellRect(int col, int row) const
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return TRect{};
    int x, w, y, h;
    if (!AxisSpan(false, col, x, w) || !AxisSpan(true, row, y, h))
        return TRect{};
    return Bounds(x, y, w, h);
}

void TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const
{
    const TGridCoord c = MouseCoord(x, y);
    col = c.X;
    row = c.Y;
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const
{
    const Layout& l = Geometry();
    if (x < 0 || y < 0 || x >= l.clientWidth || y >= l.clientHeight)
        return TGridCoord{-1, -1};
    return TGridCoord{AxisHit(false, x), AxisHit(true, y)};
}

// The pixels of the part of a range of cells that is in view.
TRect TCustomGrid::SpanRect(const TGridRect& cells) const
{
    const int left = std::min(cells.Left, cells.Right), right = std::max(cells.Left, cells.Right);
    const int top = std::min(cells.Top, cells.Bottom), bottom = std::max(cells.Top, cells.Bottom);
    std::vector<Span> spans;
    TRect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    Spans(false, spans);
    for (const Span& s : spans) {
        if (s.index >= left && s.index <= right) {
            r.Left = std::min(r.Left, s.start);
            r.Right = std::max(r.Right, s.start + s.size + gridLineWidth_);
        }
    }
    Spans(true, spans);
    for (const Span& s : spans) {
        if (s.index >= top && s.index <= bottom) {
            r.Top = std::min(r.Top, s.start);
            r.Bottom = std::max(r.Bottom, s.start + s.size + gridLineWidth_);
        }
    }
    if (r.Left >= r.Right || r.Top >= r.Bottom)
        return TRect{};
    return r;
}

// ------------------------------------------------------------------ dimensions

void TCustomGrid::ChangeSize(int newColCount, int newRowCount)
{
    newColCount = std::max(1, newColCount);
    newRowCount = std::max(1, newRowCount);
    if (newColCount == colCount_ && newRowCount == rowCount_)
        return;
    const int oldCols = colCount_, oldRows = rowCount_;
    if (editCol_ >= newColCount || editRow_ >= newRowCount)
        HideEditor();
    colCount_ = newColCount;
    rowCount_ = newRowCount;
    fixedCols_ = std::min(fixedCols_, colCount_ - 1);
    fixedRows_ = std::min(fixedRows_, rowCount_ - 1);
    colWidths_.erase(colWidths_.lower_bound(colCount_), colWidths_.end());
    rowHeights_.erase(rowHeights_.lower_bound(rowCount_), rowHeights_.end());
    // A current cell that was in the grid stays in it; one that lay beyond it
    // (a hidden selection) is left alone.
    auto keep = [](int& v, int oldCount, int newCount, int fixed) {
        if (v < oldCount && v >= newCount)
            v = std::max(fixed, newCount - 1);
    };
    keep(current_.X, oldCols, colCount_, fixedCols_);
    keep(current_.Y, oldRows, rowCount_, fixedRows_);
    keep(anchor_.X, oldCols, colCount_, fixedCols_);
    keep(anchor_.Y, oldRows, rowCount_, fixedRows_);
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, colCount_ - 1));
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, rowCount_ - 1));
    InvalidateLayout();
    UpdateScrollBars();
    surface_->update();
    SizeChanged(oldCols, oldRows);
    PlaceEditor();
}

void TCustomGrid::SetColCount(int count) { ChangeSize(count, rowCount_); }

void TCustomGrid::SetRowCount(int count) { ChangeSize(colCount_, count); }

// The scroll position and the current cell start again at the first
// scrollable column (row).
void TCustomGrid::ResetAxis(bool rows)
{
    if (rows) {
        topRow_ = fixedRows_;
        current_.Y = anchor_.Y = fixedRows_;
    } else {
        leftCol_ = fixedCols_;
        current_.X = anchor_.X = fixedCols_;
    }
    InvalidateLayout();
    UpdateScrollBars();
    Invalidate();
    PlaceEditor();
}

void TCustomGrid::SetFixedCols(int count)
{
    count = std::clamp(count, 0, colCount_ - 1);
    if (count == fixedCols_)
        return;
    HideEditor();
    fixedCols_ = count;
    ResetAxis(false);
}

void TCustomGrid::SetFixedRows(int count)
{
    count = std::clamp(count, 0, rowCount_ - 1);
    if (count == fixedRows_)
        return;
    HideEditor();
    fixedRows_ = count;
    ResetAxis(true);
}

void TCustomGrid::SetDefaultColWidth(int width)
{
    width = std::clamp(width, 0, MaxCellExtent);
    if (width == defaultColWidth_ && colWidths_.empty())
        return;
    defaultColWidth_ = width;
    colWidths_.clear();
    InvalidateLayout();
    Invalidate();
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int height)
{
    height = std::clamp(height, 0, MaxCellExtent);
    if (height == defaultRowHeight_ && rowHeights_.empty())
        return;
    defaultRowHeight_ = height;
    rowHeights_.clear();
    InvalidateLayout();
    Invalidate();
    RowHeightsChanged();
}

void TCustomGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= colCount_)
        throw std::out_of_range("Grid index out of range");
    width = std::clamp(width, 0, MaxCellExtent);
    if (ColWidths(col) == width)
        return;
    if (width == defaultColWidth_)
        colWidths_.erase(col);
    else
        colWidths_[col] = width;
    InvalidateLayout();
    surface_->update();
    ColWidthsChanged();
}

void TCustomGrid::SetRowHeights(int row, int height)
{
    if (row < 0 || row >= rowCount_)
        throw std::out_of_range("Grid index out of range");
    height = std::clamp(height, 0, MaxCellExtent);
    if (RowHeights(row) == height)
        return;
    if (height == defaultRowHeight_)
        rowHeights_.erase(row);
    else
        rowHeights_[row] = height;
    InvalidateLayout();
    surface_->update();
    RowHeightsChanged();
}

void TCustomGrid::ColWidthsChanged()
{
    UpdateScrollBars();
    PlaceEditor();
}

void TCustomGrid::RowHeightsChanged()
{
    UpdateScrollBars();
    PlaceEditor();
}

void TCustomGrid::SetGridLineWidth(int width)
{
    width = std::max(0, width);
    if (width == gridLineWidth_)
        return;
    gridLineWidth_ = width;
    InvalidateLayout();
    UpdateScrollBars();
    Invalidate();
    PlaceEditor();
}

void TCustomGrid::SetDefaultDrawing(bool on)
{
    if (on == defaultDrawing_)
        return;
    defaultDrawing_ = on;
    Invalidate();
}

void TCustomGrid::SetFixedColor(TColor c)
{
    if (c == fixedColor_)
        return;
    fixedColor_ = c;
    Invalidate();
}

void TCustomGrid::SetColor(TColor c)
{
    TCustomControl::SetColor(c);
    Invalidate();
}

void TCustomGrid::SetBorderStyle(TBorderStyle style)
{
    style = style == bsNone ? bsNone : bsSingle;
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    LayoutChildren();
    UpdateScrollBars();
    Invalidate();
    PlaceEditor();
}

void TCustomGrid::FontChanged()
{
    TCustomControl::FontChanged();
    Canvas().SetFont(Font());
    Invalidate();
}

void TCustomGrid::SetLeftCol(int col)
{
    col = std::clamp(col, fixedCols_, std::max(fixedCols_, colCount_ - 1));
    MoveTopLeft(col, topRow_);
}

void TCustomGrid::SetTopRow(int row)
{
    row = std::clamp(row, fixedRows_, std::max(fixedRows_, rowCount_ - 1));
    MoveTopLeft(leftCol_, row);
}

void TCustomGrid::MoveTopLeft(int left, int top)
{
    if (left == leftCol_ && top == topRow_)
        return;
    leftCol_ = left;
    topRow_ = top;
    InvalidateLayout();
    surface_->update();
    UpdateScrollPos();
    PlaceEditor();
    TopLeftChanged();
}

// Scrolls so that the cell is wholly in view, as far as it fits.
void TCustomGrid::ClampInView(int col, int row)
{
    const Layout& l = Geometry();
    int left = leftCol_, top = topRow_;
    if (col >= fixedCols_ && col < colCount_) {
        if (col < leftCol_)
            left = col;
        else if (col > l.lastFullCol || l.lastFullCol < leftCol_)
            left = std::max(leftCol_, TopForBottom(false, col));
    }
    if (row >= fixedRows_ && row < rowCount_) {
        if (row < topRow_)
            top = row;
        else if (row > l.lastFullRow || l.lastFullRow < topRow_)
            top = std::max(topRow_, TopForBottom(true, row));
    }
    MoveTopLeft(left, top);
}

// ------------------------------------------------------------------ current cell and selection

TGridRect TCustomGrid::Selection() const
{
    TGridRect r{std::min(anchor_.X, current_.X), std::min(anchor_.Y, current_.Y), std::max(anchor_.X, current_.X),
                std::max(anchor_.Y, current_.Y)};
    if (options_ & goRowSelect) {
        r.Left = fixedCols_;
        r.Right = colCount_ - 1;
    }
    return r;
}

void TCustomGrid::SetSelection(const TGridRect& r)
{
    const TGridRect old = Selection();
    const TGridCoord oldCurrent = current_;
    anchor_ = TGridCoord{r.Left, r.Top};
    current_ = TGridCoord{r.Right, r.Bottom};
    SelectionMoved(old);
    InvalidateCell(oldCurrent.X, oldCurrent.Y);
}

void TCustomGrid::SelectionMoved(const TGridRect& oldSel)
{
    const TGridRect now = Selection();
    if (now == oldSel)
        return;
    InvalidateRect(oldSel);
    InvalidateRect(now);
}

void TCustomGrid::MoveCurrent(int col, int row, bool moveAnchor, bool show)
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        throw std::out_of_range("Grid index out of range");
    if (!SelectCell(col, row))
        return;
    const TGridRect old = Selection();
    const TGridCoord oldCurrent = current_;
    current_ = TGridCoord{col, row};
    if (!(current_ == oldCurrent) && !(options_ & goAlwaysShowEditor))
        HideEditor();
    if (moveAnchor || !(options_ & goRangeSelect))
        anchor_ = current_;
    if (show)
        ClampInView(col, row);
    SelectionMoved(old);
    InvalidateCell(oldCurrent.X, oldCurrent.Y);
    InvalidateCell(col, row);
    if ((options_ & goAlwaysShowEditor) && !(current_ == oldCurrent))
        UpdateEdit();
}

void TCustomGrid::MoveColRow(int col, int row, bool moveAnchor, bool show) { MoveCurrent(col, row, moveAnchor, show); }

void TCustomGrid::FocusCell(int col, int row, bool moveAnchor)
{
    MoveCurrent(col, row, moveAnchor, true);
    UpdateEdit();
    Click();
}

void TCustomGrid::SetCol(int col)
{
    if (col != current_.X)
        FocusCell(col, current_.Y, true);
}

void TCustomGrid::SetRow(int row)
{
    if (row != current_.Y)
        FocusCell(current_.X, row, true);
}

void TCustomGrid::SetOptions(TGridOptions options)
{
    if (options & goRowSelect)
        options &= ~goAlwaysShowEditor;
    if (options == options_)
        return;
    options_ = options;
    if ((options_ & (goEditing | goRowSelect)) != goEditing)
        HideEditor();
    else if (!editorMode_ && (options_ & goAlwaysShowEditor))
        ShowEditor();
    Invalidate();
}

// ------------------------------------------------------------------ moving and deleting

void TCustomGrid::MoveColumn(int fromIndex, int toIndex)
{
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= colCount_ || toIndex >= colCount_)
        throw std::out_of_range("Grid index out of range");
    if (fromIndex == toIndex)
        return;
    HideEdit();
    ColumnMoved(fromIndex, toIndex);
    surface_->update();
    UpdateEdit();
}

void TCustomGrid::MoveRow(int fromIndex, int toIndex)
{
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= rowCount_ || toIndex >= rowCount_)
        throw std::out_of_range("Grid index out of range");
    if (fromIndex == toIndex)
        return;
    HideEdit();
    RowMoved(fromIndex, toIndex);
    surface_->update();
    UpdateEdit();
}

void TCustomGrid::DeleteRows(int row, int count)
{
    // Each single deletion needs its row inside the grid; the grid keeps one row.
    if (row < 0 || count < 0 || row >= rowCount_ || (row > 0 && count > rowCount_ - row))
        throw std::out_of_range("Grid index out of range");
    if (count == 0)
        return;
    HideEditor();
    // Heights of the removed rows go, those below move up.
    if (!rowHeights_.empty()) {
        std::map<int, int> heights;
        for (auto it = rowHeights_.begin(); it != rowHeights_.end(); ++it) {
            if (it->first < row)
                heights.emplace_hint(heights.end(), *it);
            else if (it->first >= row + count)
                heights.emplace_hint(heights.end(), it->first - count, it->second);
        }
        rowHeights_ = std::move(heights);
    }
    // The current cell, the anchor and the top row step as they would with
    // one row at a time (each step may clamp them to the shrinking grid).
    int rows = rowCount_, fixed = fixedRows_, top = topRow_;
    int cur = current_.Y, anchor = anchor_.Y;
    bool lastKept = false;
    for (int k = 0; k < count; ++k) {
        auto follow = [&](int& v) {
            if (v < rows && v > row && v < INT_MAX)
                --v;
        };
        follow(cur);
        follow(anchor);
        if (top > row && top > fixed)
            --top;
        if (rows > 1) {
            const int next = rows - 1;
            fixed = std::min(fixed, next - 1);
            auto keep = [&](int& v) {
                if (v < rows && v >= next)
                    v = std::max(fixed, next - 1);
            };
            keep(cur);
            keep(anchor);
            top = std::clamp(top, fixed, std::max(fixed, next - 1));
            rows = next;
        } else {
            lastKept = true;
        }
        if (rows == 1 && !lastKept && k + 1 < count) {
            // The rest of the steps only meet the one row kept.
            lastKept = true;
            break;
        }
    }
    current_.Y = cur;
    anchor_.Y = anchor;
    topRow_ = top;
    InvalidateLayout();
    if (rows != rowCount_)
        ChangeSize(colCount_, rows);
    if (lastKept) {
        surface_->update();
        RowHeightsChanged();
    }
}

void TCustomGrid::RotateRowHeights(int first, int middle, int last)
{
    first = std::max(0, first);
    last = std::min(last, rowCount_);
    if (first >= middle || middle >= last || rowHeights_.empty())
        return;
    const auto from = rowHeights_.lower_bound(first), to = rowHeights_.lower_bound(last);
    if (from == to)
        return;
    // In their new order, so that each goes in just before the rows after the range.
    const auto mid = rowHeights_.lower_bound(middle);
    std::vector<std::pair<int, int>> moved;
    for (auto it = mid; it != to; ++it)
        moved.emplace_back(it->first - (middle - first), it->second);
    for (auto it = from; it != mid; ++it)
        moved.emplace_back(it->first + (last - middle), it->second);
    rowHeights_.erase(from, to);
    for (const auto& entry : moved)
        rowHeights_.emplace_hint(to, entry);
    InvalidateLayout();
    surface_->update();
    RowHeightsChanged();
}

void TCustomGrid::AssignRowHeights(int first, const std::vector<int>& heights)
{
    if (first < 0 || first + static_cast<long long>(heights.size()) > rowCount_)
        throw std::out_of_range("Grid index out of range");
    bool changed = false;
    auto hint = rowHeights_.lower_bound(first);
    for (size_t i = 0; i < heights.size(); ++i) {
        const int r = first + static_cast<int>(i);
        const int h = std::clamp(heights[i], 0, MaxCellExtent);
        while (hint != rowHeights_.end() && hint->first < r)
            ++hint;
        const bool own = hint != rowHeights_.end() && hint->first == r;
        if ((own ? hint->second : defaultRowHeight_) == h)
            continue;
        changed = true;
        if (h == defaultRowHeight_)
            hint = rowHeights_.erase(hint);
        else if (own)
            hint->second = h;
        else
            hint = rowHeights_.emplace_hint(hint, r, h);
    }
    if (!changed)
        return;
    InvalidateLayout();
    surface_->update();
    RowHeightsChanged();
}

// ------------------------------------------------------------------ invalidation

void TCustomGrid::InvalidateCell(int col, int row)
{
    // Filling a grid writes many cells that nobody sees: answer those cheaply,
    // before any geometry is worked out.
    if (!surface_->isVisible() || col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return;
    int y, h, x, w;
    if (!AxisSpan(true, row, y, h) || !AxisSpan(false, col, x, w))
        return;
    const TRect r = Bounds(x, y, w, h);
    if (!IsRectEmpty(r))
        surface_->update(ToQ(r));
}

void TCustomGrid::InvalidateRow(int row) { InvalidateRect(TGridRect{0, row, colCount_ - 1, row}); }

void TCustomGrid::InvalidateCol(int col) { InvalidateRect(TGridRect{col, 0, col, rowCount_ - 1}); }

void TCustomGrid::InvalidateRect(const TGridRect& cells)
{
    const TRect r = SpanRect(cells);
    if (!IsRectEmpty(r))
        surface_->update(ToQ(r));
}

// ------------------------------------------------------------------ painting

void TCustomGrid::SurfacePaint(QPaintEvent* event)
{
    QPainter painter(surface_);
    TCanvas& c = Canvas();
    c.BindPainter(&painter, surface_->width(), surface_->height());
    c.RemoveClip();
    c.SetFont(Font());
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(Color());
    c.Pen().SetColor(clBlack);
    c.Pen().SetWidth(1);
    c.Pen().SetStyle(psSolid);
    c.Pen().SetMode(pmCopy);
    paintRect_ = event->rect();
    // An error box opened inside a paint would paint again under it: show it
    // once the paint is over.
    try {
        TMessage m{WM_PAINT, 0, 0, 0};
        WndProc(m);
    } catch (...) {
        std::exception_ptr error = std::current_exception();
        QueueOnMainThread([error] { ShowException(error); });
    }
    c.Unbind();
    paintRect_ = QRect();
}

void TCustomGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    windowCanvas_.BindPainter(&painter, width(), height());
    windowCanvas_.RemoveClip();
    try {
        TMessage m{WM_NCPAINT, 0, 0, 0};
        WndProc(m);
    } catch (...) {
        std::exception_ptr error = std::current_exception();
        QueueOnMainThread([error] { ShowException(error); });
    }
    windowCanvas_.Unbind();
}

void TCustomGrid::PaintFrame()
{
    TCanvas& c = windowCanvas_;
    const int w = width(), h = height();
    const int b = BorderWidth();
    auto line = [&](int x, int y, int cx, int cy, TColor color) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(color);
        c.FillRect(Bounds(x, y, cx, cy));
    };
    if (b > 0) {
        // A sunken edge: the outer line shadowed at the top and left, lit at
        // the bottom and right; the inner one darker and lighter.
        line(0, 0, w, 1, clBtnShadow);
        line(0, 0, 1, h, clBtnShadow);
        line(0, h - 1, w, 1, clBtnHighlight);
        line(w - 1, 0, 1, h, clBtnHighlight);
        line(1, 1, w - 2, 1, cl3DDkShadow);
        line(1, 1, 1, h - 2, cl3DDkShadow);
        line(1, h - 2, w - 2, 1, cl3DLight);
        line(w - 2, 1, 1, h - 2, cl3DLight);
    }
    if (barVisible_[0] && barVisible_[1]) {
        const int sw = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        line(w - b - sw, h - b - sw, sw, sw, clBtnFace);
    }
}

void TCustomGrid::Paint()
{
    TCanvas& c = Canvas();
    const Layout& l = Geometry();
    std::vector<Span> cols, rows;
    Spans(false, cols);
    Spans(true, rows);
    const QRect dirty = paintRect_.isNull() ? QRect(0, 0, l.clientWidth, l.clientHeight) : paintRect_;
    const TGridRect sel = Selection();
    const bool focused = hasFocus();
    const bool editorOver = editor_ && !editor_->isHidden() && editCol_ == current_.X && editRow_ == current_.Y;
    const int g = gridLineWidth_;
    const TColor background = Color();
    const TColor fontColor = c.Font().Color();
    const bool focusFrame = !(options_ & goRowSelect) &&
                            (options_ & (goEditing | goAlwaysShowEditor)) != (goEditing | goAlwaysShowEditor);

    for (const Span& r : rows) {
        if (r.size <= 0 || r.start > dirty.bottom() || r.start + r.size <= dirty.top())
            continue;
        for (const Span& col : cols) {
            if (col.size <= 0 || col.start > dirty.right() || col.start + col.size <= dirty.left())
                continue;
            const bool fixed = col.index < fixedCols_ || r.index < fixedRows_;
            const bool isCurrent = col.index == current_.X && r.index == current_.Y;
            if (editorOver && isCurrent)
                continue;
            TGridDrawState state = 0;
            if (fixed) {
                state = gdFixed;
            } else {
                if (focused && isCurrent)
                    state |= gdFocused;
                if (InRect(sel, col.index, r.index))
                    state |= gdSelected;
            }
            const TRect rect = Bounds(col.start, r.start, col.size, r.size);
            if (defaultDrawing_) {
                TColor fill = background, text = fontColor;
                if (fixed) {
                    fill = fixedColor_;
                } else if ((state & gdSelected) &&
                           (!(state & gdFocused) || (options_ & (goDrawFocusSelected | goRowSelect)))) {
                    fill = clHighlight;
                    text = clHighlightText;
                }
                c.Brush().SetStyle(bsSolid);
                c.Brush().SetColor(fill);
                c.Font().SetColor(text);
                c.FillRect(rect);
            }
            DrawCell(col.index, r.index, rect, state);
            if (defaultDrawing_ && fixed && (options_ & (goFixedVertLine | goFixedHorzLine)) && rect.Width() > 1 &&
                rect.Height() > 1) {
                // The fixed cells stand out as buttons.
                c.Brush().SetStyle(bsSolid);
                c.Brush().SetColor(clBtnHighlight);
                c.FillRect(Rect(rect.Left, rect.Top, rect.Right - 1, rect.Top + 1));
                c.FillRect(Rect(rect.Left, rect.Top, rect.Left + 1, rect.Bottom - 1));
                c.Brush().SetColor(clBtnShadow);
                c.FillRect(Rect(rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom));
                c.FillRect(Rect(rect.Right - 1, rect.Top, rect.Right, rect.Bottom));
            }
            if (defaultDrawing_ && (state & gdFocused) && focusFrame)
                c.DrawFocusRect(rect);
        }
    }

    int colsEnd = 0, rowsEnd = 0, fixedColsEnd = 0, fixedRowsEnd = 0;
    for (const Span& s : cols) {
        colsEnd = s.start + s.size + g;
        if (s.index < fixedCols_)
            fixedColsEnd = colsEnd;
    }
    for (const Span& s : rows) {
        rowsEnd = s.start + s.size + g;
        if (s.index < fixedRows_)
            fixedRowsEnd = rowsEnd;
    }

    if (g > 0) {
        const TColor normalLine = ColorToRGB(background) == ColorToRGB(clSilver) ? clGray : clSilver;
        const TColor fixedLine = clBtnShadow;
        c.Brush().SetStyle(bsSolid);
        auto strip = [&](int left, int top, int right, int bottom, TColor color) {
            if (right <= left || bottom <= top)
                return;
            c.Brush().SetColor(color);
            c.FillRect(Rect(left, top, right, bottom));
        };
        for (const Span& s : cols) {
            const int x = s.start + s.size;
            const bool fixedCol = s.index < fixedCols_;
            if (options_ & goFixedVertLine)
                strip(x, 0, x + g, fixedRowsEnd, fixedLine);
            if (options_ & (fixedCol ? goFixedVertLine : goVertLine))
                strip(x, fixedRowsEnd, x + g, rowsEnd, fixedCol ? fixedLine : normalLine);
        }
        for (const Span& s : rows) {
            const int y = s.start + s.size;
            const bool fixedRow = s.index < fixedRows_;
            if (options_ & goFixedHorzLine)
                strip(0, y, fixedColsEnd, y + g, fixedLine);
            if (options_ & (fixedRow ? goFixedHorzLine : goHorzLine))
                strip(fixedColsEnd, y, colsEnd, y + g, fixedRow ? fixedLine : normalLine);
        }
    }

    // Beside and below the cells: the grid's colour.
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(background);
    if (colsEnd < l.clientWidth)
        c.FillRect(Rect(colsEnd, 0, l.clientWidth, l.clientHeight));
    if (rowsEnd < l.clientHeight)
        c.FillRect(Rect(0, rowsEnd, std::min(colsEnd, l.clientWidth), l.clientHeight));
    c.Font().SetColor(fontColor);
    DrawOverlay(c);
}

// The line that follows a border being dragged, or the place a moved column
// or row will go.
TRect TCustomGrid::OverlayRect() const
{
    const Layout& l = Geometry();
    switch (gridState_) {
    case gsColSizing: return Rect(sizingPos_ - 1, 0, sizingPos_ + 1, l.clientHeight);
    case gsRowSizing: return Rect(0, sizingPos_ - 1, l.clientWidth, sizingPos_ + 1);
    case gsColMoving: {
        int start, size;
        if (movePos_ < 0 || !AxisSpan(false, movePos_, start, size))
            return TRect{};
        const int x = movePos_ < moveIndex_ ? start : start + size;
        return Rect(x - 1, 0, x + 2, l.clientHeight);
    }
    case gsRowMoving: {
        int start, size;
        if (movePos_ < 0 || !AxisSpan(true, movePos_, start, size))
            return TRect{};
        const int y = movePos_ < moveIndex_ ? start : start + size;
        return Rect(0, y - 1, l.clientWidth, y + 2);
    }
    default: return TRect{};
    }
}

void TCustomGrid::DrawOverlay(TCanvas& c)
{
    TRect r = OverlayRect();
    if (IsRectEmpty(r))
        return;
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(clBlack);
    if (gridState_ == gsColSizing)
        r = Rect(sizingPos_, r.Top, sizingPos_ + 1, r.Bottom);
    else if (gridState_ == gsRowSizing)
        r = Rect(r.Left, sizingPos_, r.Right, sizingPos_ + 1);
    c.FillRect(r);
}

void TCustomGrid::InvalidateOverlay()
{
    const TRect r = OverlayRect();
    if (!IsRectEmpty(r))
        surface_->update(ToQ(r));
}

// ------------------------------------------------------------------ the editor

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

bool TCustomGrid::IsActiveControl() const
{
    QWidget* top = window();
    QWidget* f = top ? top->focusWidget() : nullptr;
    if (!f)
        f = QApplication::focusWidget();
    return f && (f == this || isAncestorOf(f));
}

bool TCustomGrid::CanEditShow()
{
    if ((options_ & (goRowSelect | goEditing)) != goEditing || !editorMode_)
        return false;
    if (current_.X < fixedCols_ || current_.Y < fixedRows_ || current_.X >= colCount_ || current_.Y >= rowCount_)
        return false;
    return (options_ & goAlwaysShowEditor) || IsActiveControl();
}

void TCustomGrid::SetEditorMode(bool on)
{
    if (on)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor()
{
    editorMode_ = true;
    UpdateEdit();
}

void TCustomGrid::HideEditor()
{
    editorMode_ = false;
    HideEdit();
}

void TCustomGrid::ShowEditorChar(QChar ch)
{
    ShowEditor();
    if (editor_ && !editor_->isHidden() && editCol_ >= 0)
        editor_->TypeChar(ch);
}

void TCustomGrid::UpdateEdit()
{
    if (destroying_ || !CanEditShow())
        return;
    if (!editor_) {
        editor_ = CreateEditor();
        if (!editor_)
            return;
        if (editor_->parentWidget() != surface_)
            editor_->setParent(surface_);
        editor_->hide();
        UpdateEditor();
    } else if (editCol_ != current_.X || editRow_ != current_.Y) {
        HideEdit();
        UpdateEditor();
    }
    if (CanEditShow())
        PlaceEditor();
}

void TCustomGrid::UpdateEditor()
{
    editCol_ = current_.X;
    editRow_ = current_.Y;
    {
        FlagGuard loading(loadingEditor_);
        editor_->UpdateContents();
    }
    editOriginal_ = editor_->Text();
    editor_->SelectAll();
}

void TCustomGrid::PlaceEditor()
{
    if (!editor_ || editCol_ < 0 || editRow_ < 0)
        return;
    const TRect r = CellRect(editCol_, editRow_);
    if (IsRectEmpty(r)) {
        editor_->hide();
        return;
    }
    const bool show = editor_->isHidden();
    editor_->Move(r);
    // The editor takes the focus when it appears, or from the grid itself.
    if ((show || hasFocus()) && IsActiveControl() && QApplication::focusWidget() != editor_)
        editor_->setFocus(Qt::OtherFocusReason);
}

void TCustomGrid::UpdateText()
{
    if (editor_ && editCol_ >= 0 && editRow_ >= 0)
        SetEditText(editCol_, editRow_, editor_->Text());
}

void TCustomGrid::HideEdit()
{
    if (!editor_)
        return;
    struct Reset
    {
        TCustomGrid* g;
        ~Reset()
        {
            g->editCol_ = g->editRow_ = -1;
            if (!g->editor_ || g->editor_->isHidden())
                return;
            QWidget* top = g->window();
            const bool hadFocus = g->editor_->hasFocus() || (top && top->focusWidget() == g->editor_);
            g->editor_->hide();
            if (hadFocus && !g->destroying_)
                g->setFocus(Qt::OtherFocusReason);
        }
    } reset{this};
    // What SetEditText does may hide the editor again: it is written once.
    if (editCol_ >= 0 && !committing_) {
        FlagGuard committing(committing_);
        UpdateText();
    }
}

void TCustomGrid::InvalidateEditor()
{
    if (!editor_ || editCol_ < 0)
        return;
    editCol_ = editRow_ = -1;
    UpdateEdit();
}

// Escape: the cell gets back the text it had when the editor opened.
void TCustomGrid::CancelEdit()
{
    if (editor_ && editCol_ >= 0 && editor_->Text() != editOriginal_)
        editor_->SetText(editOriginal_);
    HideEditor();
}

// ------------------------------------------------------------------ keyboard

void TCustomGrid::KeyDown(int& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    if (key == 0)
        return;
    const bool ctrl = (shift & ssCtrl) != 0;
    const bool rowSelect = (options_ & goRowSelect) != 0;
    bool moveAnchor = !((shift & ssShift) && (options_ & goRangeSelect));
    const int lastCol = colCount_ - 1, lastRow = rowCount_ - 1;
    int col = std::clamp(current_.X, fixedCols_, lastCol);
    int row = std::clamp(current_.Y, fixedRows_, lastRow);
    int left = leftCol_, top = topRow_;
    bool move = true;
    const Layout& l = Geometry();
    const int page = std::max(1, VisibleRowCount());
    switch (key) {
    case VK_UP: --row; break;
    case VK_DOWN: ++row; break;
    case VK_LEFT:
        if (rowSelect) {
            left = std::max(fixedCols_, leftCol_ - 1);
            move = false;
        } else {
            --col;
        }
        break;
    case VK_RIGHT:
        if (rowSelect) {
            left = leftCol_ < l.maxLeft ? leftCol_ + 1 : leftCol_;
            move = false;
        } else {
            ++col;
        }
        break;
    case VK_PRIOR:
        row -= page;
        top = std::max(fixedRows_, topRow_ - page);
        break;
    case VK_NEXT:
        row += page;
        top = topRow_ < l.maxTop ? std::min(l.maxTop, topRow_ + page) : topRow_;
        break;
    case VK_HOME:
        if (ctrl) {
            col = fixedCols_;
            row = fixedRows_;
        } else if (rowSelect) {
            left = fixedCols_;
            move = false;
        } else {
            col = fixedCols_;
        }
        break;
    case VK_END:
        if (ctrl) {
            col = lastCol;
            row = lastRow;
        } else if (rowSelect) {
            left = std::max(leftCol_, l.maxLeft);
            move = false;
        } else {
            col = lastCol;
        }
        break;
    case VK_TAB:
        if (!(options_ & goTabs) || (shift & ssAlt))
            return;
        moveAnchor = true;
        if (shift & ssShift) {
            if (--col < fixedCols_) {
                col = lastCol;
                if (--row < fixedRows_)
                    row = lastRow;
            }
        } else {
            if (++col > lastCol) {
                col = fixedCols_;
                if (++row > lastRow)
                    row = fixedRows_;
            }
        }
        break;
    case VK_F2: ShowEditor(); return;
    case VK_ESCAPE:
        if (editorMode_)
            CancelEdit();
        return;
    default: return;
    }
    col = std::clamp(col, fixedCols_, lastCol);
    row = std::clamp(row, fixedRows_, lastRow);
    if (left != leftCol_ || top != topRow_)
        MoveTopLeft(left, top);
    if (move && (col != current_.X || row != current_.Y))
        MoveCurrent(col, row, moveAnchor, true);
    UpdateEdit();
}

void TCustomGrid::KeyPress(QChar& key)
{
    TCustomControl::KeyPress(key);
    if (key == QLatin1Char('\r') && !(options_ & goAlwaysShowEditor)) {
        if (editorMode_)
            HideEditor();
        else
            ShowEditor();
        key = QChar();
    }
}

void TCustomGrid::HandleChar(QChar ch, std::intptr_t)
{
    // Typing on a grid that edits opens the editor with that character.
    if ((options_ & goEditing) && (ch == QLatin1Char('\b') || ch.unicode() >= 32)) {
        ShowEditorChar(ch);
        return;
    }
    QChar key = ch;
    KeyPress(key);
}

bool TCustomGrid::WantsKey(int key) const
{
    TMessage m{WM_GETDLGCODE, key, 0, 0};
    const_cast<TCustomGrid*>(this)->Perform(m);
    return (m.Result & DLGC_WANTALLKEYS) != 0;
}

bool TCustomGrid::WantsChars() const
{
    TMessage m{WM_GETDLGCODE, 0, 0, 0};
    const_cast<TCustomGrid*>(this)->Perform(m);
    return (m.Result & DLGC_WANTCHARS) != 0;
}

void TCustomGrid::keyPressEvent(QKeyEvent* e)
{
    const int vk = VirtualKeyFromQt(e->key());
    const std::intptr_t data =
        ShiftStateFromQt(e->modifiers()) | ((e->modifiers() & Qt::KeypadModifier) ? KeyDataNumPad : 0);
    charSuppressed_ = false;
    if (vk != 0) {
        TMessage m{WM_KEYDOWN, vk, data, 0};
        Perform(m);
    }
    const QString text = e->text();
    if (!text.isEmpty() && !charSuppressed_ && text[0].unicode() != 0 && text[0].unicode() != 0x7F) {
        TMessage m{WM_CHAR, text[0].unicode(), data, 0};
        Perform(m);
    }
    e->accept();
}

void TCustomGrid::keyReleaseEvent(QKeyEvent* e)
{
    const int vk = VirtualKeyFromQt(e->key());
    if (vk != 0) {
        TMessage m{WM_KEYUP, vk, static_cast<std::intptr_t>(ShiftStateFromQt(e->modifiers())), 0};
        Perform(m);
    }
    e->accept();
}

bool TCustomGrid::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (IsDialogTab(ke) && AsksForTab(DLGC_WANTTAB, [this](TMessage& m) { Perform(m); })) {
            keyPressEvent(ke);
            return true;
        }
    }
    return TCustomControl::event(e);
}

// ------------------------------------------------------------------ mouse

void TCustomGrid::RouteMouse(QMouseEvent* e, const QPoint& p)
{
    unsigned msg = 0;
    const Qt::MouseButton b = e->button();
    Qt::MouseButtons held = e->buttons();
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        held |= b;
        msg = b == Qt::RightButton ? WM_RBUTTONDOWN : b == Qt::MiddleButton ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
        break;
    case QEvent::MouseButtonDblClick:
        held |= b;
        msg = b == Qt::RightButton ? WM_RBUTTONDBLCLK : b == Qt::MiddleButton ? WM_MBUTTONDBLCLK : WM_LBUTTONDBLCLK;
        break;
    case QEvent::MouseButtonRelease:
        msg = b == Qt::RightButton ? WM_RBUTTONUP : b == Qt::MiddleButton ? WM_MBUTTONUP : WM_LBUTTONUP;
        break;
    case QEvent::MouseMove: {
        TMessage cursor{WM_SETCURSOR, 0, MakeLParam(p.x(), p.y()), 0};
        Perform(cursor);
        msg = WM_MOUSEMOVE;
        break;
    }
    default: return;
    }
    TMessage m{msg, static_cast<std::intptr_t>(ShiftStateFromQt(e->modifiers(), held)), MakeLParam(p.x(), p.y()), 0};
    Perform(m);
    e->accept();
}

void TCustomGrid::mousePressEvent(QMouseEvent* e) { RouteMouse(e, e->position().toPoint() - surface_->pos()); }
void TCustomGrid::mouseMoveEvent(QMouseEvent* e) { RouteMouse(e, e->position().toPoint() - surface_->pos()); }
void TCustomGrid::mouseReleaseEvent(QMouseEvent* e) { RouteMouse(e, e->position().toPoint() - surface_->pos()); }
void TCustomGrid::mouseDoubleClickEvent(QMouseEvent* e) { RouteMouse(e, e->position().toPoint() - surface_->pos()); }

void TCustomGrid::RouteWheel(QWheelEvent* e)
{
    const int turn = e->angleDelta().y();
    if (turn == 0) {
        e->ignore();
        return;
    }
    e->accept();
    const int delta = TakeWheelNotches(wheelRest_, turn);
    if (delta == 0)
        return;
    const QPoint g = e->globalPosition().toPoint();
    TMessage m{WM_MOUSEWHEEL,
               MakeWParam(static_cast<int>(ShiftStateFromQt(e->modifiers(), e->buttons())), std::clamp(delta, -32768, 32767)),
               MakeLParam(g.x(), g.y()), 0};
    Perform(m);
}

void TCustomGrid::wheelEvent(QWheelEvent* e) { RouteWheel(e); }

void TCustomGrid::leaveEvent(QEvent*)
{
    TMessage m{WM_MOUSELEAVE, 0, 0, 0};
    Perform(m);
}

void TCustomGrid::SetTemporaryCursor(TCursor cursor)
{
    if (cursor == crDefault)
        surface_->unsetCursor();
    else
        detail::SetWidgetCursor(surface_, cursor);
}

void TCustomGrid::CalcSizingState(int x, int y, TGridState& state, int& index, int& sizingPos, int& sizingOfs)
{
    state = gsNormal;
    index = -1;
    sizingPos = sizingOfs = 0;
    const Layout& l = Geometry();
    std::vector<Span> spans;
    // Borders of the scrollable columns, grabbed in the fixed rows; of the
    // scrollable rows, grabbed in the fixed columns.
    if ((options_ & goColSizing) && y >= 0 && y < l.fixedHeight) {
        Spans(false, spans);
        for (const Span& s : spans) {
            const int border = s.start + s.size;
            if (s.index >= fixedCols_ && std::abs(x - border) <= 3) {
                state = gsColSizing;
                index = s.index;
                sizingPos = border;
                sizingOfs = border - x;
                return;
            }
        }
    }
    if ((options_ & goRowSizing) && x >= 0 && x < l.fixedWidth) {
        Spans(true, spans);
        for (const Span& s : spans) {
            const int border = s.start + s.size;
            if (s.index >= fixedRows_ && std::abs(y - border) <= 3) {
                state = gsRowSizing;
                index = s.index;
                sizingPos = border;
                sizingOfs = border - y;
                return;
            }
        }
    }
}

void TCustomGrid::SetGridState(TGridState state)
{
    if (state == gridState_)
        return;
    InvalidateOverlay();
    if (state == gsNormal)
        KillTimer(MoveTimerId);
    gridState_ = state;
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    lastMouse_ = QPoint(x, y);
    if (focusPolicy() != Qt::NoFocus && !IsActiveControl())
        setFocus(Qt::MouseFocusReason);
    if (button == mbLeft && (shift & ssDouble)) {
        DblClick();
    } else if (button == mbLeft) {
        TGridState state;
        int index, pos, ofs;
        CalcSizingState(x, y, state, index, pos, ofs);
        if (state != gsNormal) {
            gridState_ = state;
            sizingIndex_ = index;
            sizingPos_ = pos;
            sizingOfs_ = ofs;
            InvalidateOverlay();
        } else {
            const TGridCoord hit = MouseCoord(x, y);
            if (hit.X >= fixedCols_ && hit.Y >= fixedRows_) {
                if (options_ & goEditing) {
                    // A click on the current cell opens the editor.
                    if (hit == current_) {
                        ShowEditor();
                    } else {
                        MoveCurrent(hit.X, hit.Y, true, true);
                        UpdateEdit();
                    }
                    Click();
                } else {
                    gridState_ = gsSelecting;
                    SetTimer(MoveTimerId, 60);
                    MoveCurrent(hit.X, hit.Y, !(shift & ssShift), true);
                }
            } else if ((options_ & goRowMoving) && hit.X >= 0 && hit.X < fixedCols_ && hit.Y >= fixedRows_) {
                moveIndex_ = movePos_ = hit.Y;
                gridState_ = gsRowMoving;
                SetTimer(MoveTimerId, 60);
                InvalidateOverlay();
            } else if ((options_ & goColMoving) && hit.Y >= 0 && hit.Y < fixedRows_ && hit.X >= fixedCols_) {
                moveIndex_ = movePos_ = hit.X;
                gridState_ = gsColMoving;
                SetTimer(MoveTimerId, 60);
                InvalidateOverlay();
            }
        }
    }
    TCustomControl::MouseDown(button, shift, x, y);
}


void TCustomGrid::MouseMove(TShiftState shift, int x, int y)
{
    lastMouse_ = QPoint(x, y);
    switch (gridState_) {
    case gsSelecting: {
        const TGridCoord hit = MouseCoord(x, y);
        if (hit.X >= fixedCols_ && hit.Y >= fixedRows_ && !(hit == current_))
            MoveCurrent(hit.X, hit.Y, false, true);
        break;
    }
    case gsColSizing:
    case gsRowSizing:
        InvalidateOverlay();
        sizingPos_ = (gridState_ == gsColSizing ? x : y) + sizingOfs_;
        InvalidateOverlay();
        break;
    case gsColMoving:
    case gsRowMoving: {
        const bool rows = gridState_ == gsRowMoving;
        const Layout& l = Geometry();
        const int target = rows ? MoveTarget(AxisHit(true, y), y, l.fixedHeight, l.clientHeight, topRow_,
                                             std::max(l.lastFullRow, topRow_), fixedRows_, rowCount_)
                                : MoveTarget(AxisHit(false, x), x, l.fixedWidth, l.clientWidth, leftCol_,
                                             std::max(l.lastFullCol, leftCol_), fixedCols_, colCount_);
        if (target != movePos_) {
            InvalidateOverlay();
            movePos_ = target;
            InvalidateOverlay();
        }
        break;
    }
    default: break;
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    lastMouse_ = QPoint(x, y);
    const TGridState state = gridState_;
    if (button == mbLeft && state != gsNormal) {
        InvalidateOverlay();
        KillTimer(MoveTimerId);
        gridState_ = gsNormal;
        switch (state) {
        case gsSelecting: {
            const TGridCoord hit = MouseCoord(x, y);
            if (hit.X >= fixedCols_ && hit.Y >= fixedRows_ && !(hit == current_))
                MoveCurrent(hit.X, hit.Y, false, true);
            UpdateEdit();
            Click();
            break;
        }
        case gsColSizing:
        case gsRowSizing: {
            const bool rows = state == gsRowSizing;
            sizingPos_ = (rows ? y : x) + sizingOfs_;
            int start, size;
            if (AxisSpan(rows, sizingIndex_, start, size)) {
                const int extent = std::max(1, sizingPos_ - start);
                if (rows)
                    SetRowHeights(sizingIndex_, extent);
                else
                    SetColWidths(sizingIndex_, extent);
            }
            break;
        }
        case gsColMoving:
            if (movePos_ >= 0 && movePos_ != moveIndex_)
                MoveColumn(moveIndex_, movePos_);
            else
                UpdateEdit();
            break;
        case gsRowMoving:
            if (movePos_ >= 0 && movePos_ != moveIndex_)
                MoveRow(moveIndex_, movePos_);
            else
                UpdateEdit();
            break;
        default: break;
        }
        moveIndex_ = movePos_ = -1;
    } else if (button == mbLeft) {
        UpdateEdit();
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

// Scrolls while the mouse selects or moves beyond the cells.
void TCustomGrid::TimerStep()
{
    if (gridState_ != gsSelecting && gridState_ != gsColMoving && gridState_ != gsRowMoving) {
        KillTimer(MoveTimerId);
        return;
    }
    const Layout& l = Geometry();
    const int x = lastMouse_.x(), y = lastMouse_.y();
    int left = leftCol_, top = topRow_;
    if (gridState_ != gsColMoving) {
        if (y < l.fixedHeight && topRow_ > fixedRows_)
            --top;
        else if (y >= l.clientHeight && topRow_ < l.maxTop)
            ++top;
    }
    if (gridState_ != gsRowMoving) {
        if (x < l.fixedWidth && leftCol_ > fixedCols_)
            --left;
        else if (x >= l.clientWidth && leftCol_ < l.maxLeft)
            ++left;
    }
    if (left == leftCol_ && top == topRow_)
        return;
    MoveTopLeft(left, top);
    const Layout& now = Geometry();
    if (gridState_ == gsSelecting) {
        int col = current_.X, row = current_.Y;
        if (y < now.fixedHeight)
            row = topRow_;
        else if (y >= now.clientHeight)
            row = std::max(topRow_, now.lastFullRow);
        if (x < now.fixedWidth)
            col = leftCol_;
        else if (x >= now.clientWidth)
            col = std::max(leftCol_, now.lastFullCol);
        col = std::clamp(col, fixedCols_, colCount_ - 1);
        row = std::clamp(row, fixedRows_, rowCount_ - 1);
        if (col != current_.X || row != current_.Y)
            MoveCurrent(col, row, false, false);
    } else {
        InvalidateOverlay();
        movePos_ = gridState_ == gsColMoving ? (x < now.fixedWidth ? leftCol_ : std::max(leftCol_, now.lastFullCol))
                                             : (y < now.fixedHeight ? topRow_ : std::max(topRow_, now.lastFullRow));
        InvalidateOverlay();
    }
}

// ------------------------------------------------------------------ wheel, focus, drag

bool TCustomGrid::DoMouseWheel(TShiftState shift, int wheelDelta, const TPoint& mousePos)
{
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
    if (handled)
        return true;
    wheelAccumulator_ += wheelDelta;
    while (std::abs(wheelAccumulator_) >= 120) {
        if (wheelAccumulator_ > 0) {
            wheelAccumulator_ -= 120;
            handled = DoMouseWheelUp(shift, mousePos) || handled;
        } else {
            wheelAccumulator_ += 120;
            handled = DoMouseWheelDown(shift, mousePos) || handled;
        }
    }
    return handled;
}

bool TCustomGrid::DoMouseWheelDown(TShiftState shift, const TPoint& mousePos)
{
    bool handled = false;
    if (OnMouseWheelDown)
        OnMouseWheelDown(this, shift, mousePos, handled);
    if (!handled) {
        if (current_.X >= 0 && current_.X < colCount_ && current_.Y < rowCount_ - 1)
            SetRow(std::max(fixedRows_, current_.Y + 1));
        handled = true;
    }
    return handled;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState shift, const TPoint& mousePos)
{
    bool handled = false;
    if (OnMouseWheelUp)
        OnMouseWheelUp(this, shift, mousePos, handled);
    if (!handled) {
        if (current_.X >= 0 && current_.X < colCount_ && current_.Y > fixedRows_ && current_.Y < rowCount_)
            SetRow(current_.Y - 1);
        handled = true;
    }
    return handled;
}

void TCustomGrid::DragOver(QObject* source, int x, int y, TDragState state, bool& accept)
{
    if (OnDragOver)
        OnDragOver(this, source, x, y, state, accept);
}

void TCustomGrid::DragDrop(QObject* source, int x, int y)
{
    if (OnDragDrop)
        OnDragDrop(this, source, x, y);
}

void TCustomGrid::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    const bool fromEditor = focusFromEditor_;
    focusFromEditor_ = false;
    TMessage m{WM_SETFOCUS, fromEditor ? reinterpret_cast<std::intptr_t>(static_cast<QWidget*>(editor_)) : 0, 0, 0};
    Perform(m);
}

void TCustomGrid::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    TMessage m{WM_KILLFOCUS, reinterpret_cast<std::intptr_t>(QApplication::focusWidget()), 0, 0};
    Perform(m);
}

// Entering and leaving count for the grid with its editor: focus moving
// between them is no exit; a window losing activation is none either.
void TCustomGrid::FocusMoved(QWidget*, QWidget* now)
{
    if (destroying_ || !now)
        return;
    const bool inside = now == this || isAncestorOf(now);
    if (inside && !entered_) {
        entered_ = true;
        RunGuarded([&] { DoEnter(); });
    } else if (!inside && entered_) {
        entered_ = false;
        RunGuarded([&] { DoExit(); });
    }
}

// ------------------------------------------------------------------ size and scroll bars

void TCustomGrid::showEvent(QShowEvent* e)
{
    TCustomControl::showEvent(e);
    if (!handleAllocated_) {
        handleAllocated_ = true;
        RunGuarded([&] { CreateWnd(); });
    }
}

void TCustomGrid::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    RunGuarded([&] {
        LayoutChildren();
        UpdateScrollBars();
        const Layout& l = Geometry();
        // After growing, the grid shows no empty space below the last row
        // while rows above are scrolled out.
        const int top = std::min(topRow_, std::max(fixedRows_, l.maxTop));
        const int left = std::min(leftCol_, std::max(fixedCols_, l.maxLeft));
        MoveTopLeft(left, top);
        PlaceEditor();
    });
    TMessage m{WM_SIZE, 0, MakeLParam(ClientWidth(), ClientHeight()), 0};
    Perform(m);
}

void TCustomGrid::LayoutChildren()
{
    const int b = BorderWidth();
    const int sw = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int cw = ClientWidth(), ch = ClientHeight();
    surface_->setGeometry(b, b, cw, ch);
    bars_[1]->setGeometry(width() - b - sw, b, sw, ch);
    bars_[0]->setGeometry(b, height() - b - sw, cw, sw);
    bars_[0]->setVisible(barVisible_[0]);
    bars_[1]->setVisible(barVisible_[1]);
    setContentsMargins(b, b, b + (barVisible_[1] ? sw : 0), b + (barVisible_[0] ? sw : 0));
    InvalidateLayout();
    detail::Realign(this);
}

void TCustomGrid::SetScrollBars(TScrollStyle style)
{
    if (style == scrollBars_)
        return;
    scrollBars_ = style;
    lastNeed_[0] = lastNeed_[1] = -1;
    UpdateScrollBars();
}

// Shows the bars there is something to scroll with, sets their range to
// 0..127 and their positions. A bar shown or hidden by the program stays so
// until the need for it changes.
void TCustomGrid::UpdateScrollBars()
{
    if (updatingBars_ || !bars_[0])
        return;
    FlagGuard guard(updatingBars_);
    const bool allowH = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
    const bool allowV = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
    const int b = BorderWidth();
    const int sw = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    bool h = false, v = false;
    for (int pass = 0; pass < 3; ++pass) {
        const int cw = std::max(0, width() - 2 * b - (v ? sw : 0));
        const int ch = std::max(0, height() - 2 * b - (h ? sw : 0));
        const bool nh = allowH && MaxScroll(false, cw) > fixedCols_;
        const bool nv = allowV && MaxScroll(true, ch) > fixedRows_;
        if (nh == h && nv == v)
            break;
        h = h || nh;
        v = v || nv;
    }
    const bool need[2] = {h, v};
    bool changed = false;
    for (int i = 0; i < 2; ++i) {
        const int n = need[i] ? 1 : 0;
        if (n != lastNeed_[i]) {
            lastNeed_[i] = n;
            if (barVisible_[i] != need[i]) {
                barVisible_[i] = need[i];
                changed = true;
            }
        }
        const TScrollInfo range{0, need[i] ? ScrollRange : 0, 0, scrollInfo_[i].Pos, scrollInfo_[i].TrackPos};
        if (scrollInfo_[i].Min != range.Min || scrollInfo_[i].Max != range.Max || scrollInfo_[i].Page != range.Page) {
            scrollInfo_[i] = range;
            ApplyScrollInfo(i);
        }
    }
    if (changed)
        LayoutChildren();
    InvalidateLayout();
    UpdateScrollPos();
}

// The positions follow the left column and the top row on the 0..127 scale.
void TCustomGrid::UpdateScrollPos()
{
    const Layout& l = Geometry();
    const int first[2] = {fixedCols_, fixedRows_};
    const int cur[2] = {leftCol_, topRow_};
    const int last[2] = {l.maxLeft, l.maxTop};
    for (int i = 0; i < 2; ++i) {
        int pos = 0;
        if (last[i] > first[i])
            pos = std::clamp(ScaleRounded(cur[i] - first[i], ScrollRange, last[i] - first[i]), 0, ScrollRange);
        if (scrollInfo_[i].Pos != pos) {
            scrollInfo_[i].Pos = pos;
            ApplyScrollInfo(i);
        }
    }
}

void TCustomGrid::ApplyScrollInfo(int i)
{
    QScrollBar* bar = bars_[i];
    const TScrollInfo& s = scrollInfo_[i];
    const int maxPos = std::max(s.Min, s.Max - std::max(0, s.Page - 1));
    if (bar->minimum() != s.Min || bar->maximum() != maxPos)
        bar->setRange(s.Min, maxPos);
    if (bar->pageStep() != s.Page)
        bar->setPageStep(s.Page);
    if (!bar->isSliderDown() && bar->value() != s.Pos)
        bar->setValue(s.Pos);
}

void TCustomGrid::ShowScrollBar(TScrollBarKind kind, bool show)
{
    const int i = kind == sbHorizontal ? 0 : 1;
    if (barVisible_[i] == show)
        return;
    barVisible_[i] = show;
    LayoutChildren();
    InvalidateLayout();
    UpdateScrollPos();
    surface_->update();
    PlaceEditor();
}

bool TCustomGrid::ScrollBarVisible(TScrollBarKind kind) const { return barVisible_[kind == sbHorizontal ? 0 : 1]; }

void TCustomGrid::EnableScrollBar(TScrollBarKind kind, bool enable) { bars_[kind == sbHorizontal ? 0 : 1]->setEnabled(enable); }

bool TCustomGrid::ScrollBarEnabled(TScrollBarKind kind) const
{
    return !bars_[kind == sbHorizontal ? 0 : 1]->testAttribute(Qt::WA_ForceDisabled);
}

TScrollInfo TCustomGrid::GetScrollInfo(TScrollBarKind kind) const
{
    const int i = kind == sbHorizontal ? 0 : 1;
    TScrollInfo s = scrollInfo_[i];
    s.TrackPos = bars_[i]->isSliderDown() ? bars_[i]->sliderPosition() : s.Pos;
    return s;
}

void TCustomGrid::SetScrollInfo(TScrollBarKind kind, const TScrollInfo& info)
{
    const int i = kind == sbHorizontal ? 0 : 1;
    scrollInfo_[i] = info;
    scrollInfo_[i].Pos = std::clamp(info.Pos, info.Min, std::max(info.Min, info.Max - std::max(0, info.Page - 1)));
    ApplyScrollInfo(i);
}

void TCustomGrid::ScrollBarAction(int i, int action)
{
    QScrollBar* bar = bars_[i];
    int code;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
    default: return;
    }
    const int pos = bar->sliderPosition();
    scrollInfo_[i].TrackPos = pos;
    const unsigned msg = i == 0 ? WM_HSCROLL : WM_VSCROLL;
    TMessage m{msg, MakeWParam(code, pos), 0, 0};
    Perform(m);
    if (code == SB_THUMBTRACK && !bar->isSliderDown()) {
        // A jump of the thumb without dragging it: it lands at once.
        TMessage land{msg, MakeWParam(SB_THUMBPOSITION, pos), 0, 0};
        Perform(land);
        TMessage end{msg, MakeWParam(SB_ENDSCROLL, scrollInfo_[i].Pos), 0, 0};
        Perform(end);
    }
    if (code != SB_THUMBTRACK || !bar->isSliderDown())
        bar->setSliderPosition(scrollInfo_[i].Pos);
}

void TCustomGrid::ScrollBarReleased(int i)
{
    QScrollBar* bar = bars_[i];
    const unsigned msg = i == 0 ? WM_HSCROLL : WM_VSCROLL;
    TMessage land{msg, MakeWParam(SB_THUMBPOSITION, bar->sliderPosition()), 0, 0};
    Perform(land);
    TMessage end{msg, MakeWParam(SB_ENDSCROLL, scrollInfo_[i].Pos), 0, 0};
    Perform(end);
    bar->setValue(scrollInfo_[i].Pos);
}

void TCustomGrid::HorizontalScroll(int code, int pos) { ScrollStep(false, code, pos); }

void TCustomGrid::VerticalScroll(int code, int pos) { ScrollStep(true, code, pos); }

void TCustomGrid::ScrollStep(bool rows, int code, int pos)
{
    const Layout& l = Geometry();
    const int first = rows ? fixedRows_ : fixedCols_;
    const int cur = rows ? topRow_ : leftCol_;
    const int last = std::max(first, rows ? l.maxTop : l.maxLeft);
    const int page = std::max(1, rows ? VisibleRowCount() : VisibleColCount());
    int next = cur;
    switch (code) {
    case SB_LINEUP: next = cur - 1; break;
    case SB_LINEDOWN: next = cur < last ? cur + 1 : cur; break;
    case SB_PAGEUP: next = cur - page; break;
    case SB_PAGEDOWN: next = cur < last ? std::min(last, cur + page) : cur; break;
    case SB_THUMBPOSITION: next = first + ScaleRounded(std::clamp(pos, 0, ScrollRange), last - first, ScrollRange); break;
    case SB_TOP: next = first; break;
    case SB_BOTTOM: next = last; break;
    default: return;
    }
    next = std::max(first, next);
    if (rows)
        MoveTopLeft(leftCol_, next);
    else
        MoveTopLeft(next, topRow_);
}

bool TCustomGrid::FocusNeighbourControl(bool forward)
{
    QWidget* top = window();
    QWidget* w = this;
    for (;;) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == this)
            return false;
        // Widgets with a focus proxy stand in the chain through their proxy.
        if (isAncestorOf(w) || w->focusProxy() || !(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() ||
            !w->isVisibleTo(top) || w->window() != top)
            continue;
        w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
}

// ------------------------------------------------------------------ messages

void TCustomGrid::Perform(TMessage& message)
{
    RunGuarded([&] { WndProc(message); });
}

void TCustomGrid::WndProc(TMessage& m)
{
    auto shiftOf = [&] { return static_cast<TShiftState>(m.WParam & 0x7F); };
    const int x = SignedLowWord(m.LParam), y = SignedHighWord(m.LParam);
    switch (m.Msg) {
    case WM_PAINT: Paint(); break;
    case WM_NCPAINT: PaintFrame(); break;
    case WM_SIZE: Resize(); break;
    case WM_KEYDOWN: {
        int key = static_cast<int>(m.WParam);
        KeyDown(key, KeyDataShift(m.LParam));
        if (key == 0)
            charSuppressed_ = true;
        break;
    }
    case WM_KEYUP: {
        int key = static_cast<int>(m.WParam);
        KeyUp(key, KeyDataShift(m.LParam));
        break;
    }
    case WM_CHAR: HandleChar(QChar(static_cast<char16_t>(m.WParam)), m.LParam); break;
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS;
        if (!(options_ & goRowSelect)) {
            if (options_ & goTabs)
                m.Result |= DLGC_WANTTAB;
            if (options_ & goEditing)
                m.Result |= DLGC_WANTCHARS;
        }
        break;
    case WM_SETFOCUS:
        InvalidateRect(Selection());
        InvalidateCell(current_.X, current_.Y);
        if (!editor_ || m.WParam != reinterpret_cast<std::intptr_t>(static_cast<QWidget*>(editor_)))
            UpdateEdit();
        break;
    case WM_KILLFOCUS:
        InvalidateRect(Selection());
        InvalidateCell(current_.X, current_.Y);
        break;
    case WM_LBUTTONDOWN: MouseDown(mbLeft, shiftOf(), x, y); break;
    case WM_LBUTTONDBLCLK: MouseDown(mbLeft, shiftOf() | ssDouble, x, y); break;
    case WM_RBUTTONDOWN: MouseDown(mbRight, shiftOf(), x, y); break;
    case WM_RBUTTONDBLCLK: MouseDown(mbRight, shiftOf() | ssDouble, x, y); break;
    case WM_MBUTTONDOWN: MouseDown(mbMiddle, shiftOf(), x, y); break;
    case WM_MBUTTONDBLCLK: MouseDown(mbMiddle, shiftOf() | ssDouble, x, y); break;
    case WM_LBUTTONUP: MouseUp(mbLeft, shiftOf(), x, y); break;
    case WM_RBUTTONUP: MouseUp(mbRight, shiftOf(), x, y); break;
    case WM_MBUTTONUP: MouseUp(mbMiddle, shiftOf(), x, y); break;
    case WM_MOUSEMOVE: MouseMove(shiftOf(), x, y); break;
    case WM_SETCURSOR:
        if (gridState_ == gsNormal) {
            TGridState state;
            int index, pos, ofs;
            CalcSizingState(x, y, state, index, pos, ofs);
            SetTemporaryCursor(state == gsColSizing ? crHSplit : state == gsRowSizing ? crVSplit : crDefault);
        }
        break;
    case WM_MOUSELEAVE: {
        QEvent leave(QEvent::Leave);
        TCustomControl::leaveEvent(&leave);
        break;
    }
    case WM_MOUSEWHEEL:
        m.Result = DoMouseWheel(static_cast<TShiftState>(LowWord(m.WParam) & 0x7F), SignedHighWord(m.WParam),
                                Point(x, y))
                       ? 1
                       : 0;
        break;
    case WM_HSCROLL: HorizontalScroll(LowWord(m.WParam), HighWord(m.WParam)); break;
    case WM_VSCROLL: VerticalScroll(LowWord(m.WParam), HighWord(m.WParam)); break;
    case WM_TIMER:
        if (m.WParam == MoveTimerId)
            TimerStep();
        break;
    case WM_COMMAND:
        // The editor's text goes into the cell as it is typed.
        if (HighWord(m.WParam) == static_cast<int>(EN_CHANGE) && editor_ &&
            m.LParam == reinterpret_cast<std::intptr_t>(static_cast<QObject*>(editor_)) && !loadingEditor_ &&
            !committing_) {
            FlagGuard committing(committing_);
            UpdateText();
        }
        break;
    case WM_CANCELMODE:
        if (gridState_ != gsNormal) {
            InvalidateOverlay();
            KillTimer(MoveTimerId);
            gridState_ = gsNormal;
        }
        SetMouseCapture(false);
        break;
    default: break;
    }
}

} // namespace platform
