// Drag and drop of cells and columns: the grid as a drop target (text, the
// cell stream, rich text, links, files, columns) and as a drag source.
//
// A drop goes through the clipboard's paste, so it obeys the same rules as a
// paste: editing mode, editable cells, the before-paste events. A move
// removes its source only after the drop took the data, and never the cells
// the drop has just written into the same grid.
#include "grid/EsgDD.h"
#include "grid/ExGrid.h"
#include "grid/ExGridExtras.h"

#include "platform/Scope.h"

#include <QBuffer>
#include <QCursor>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

using namespace platform;

namespace {

int EffectNumber(DropEffect e) { return e == DropEffect::Copy ? 1 : e == DropEffect::Move ? 2 : 0; }

bool Has(unsigned formats, TDropFormat f) { return formats & DropFormatBit(f); }

// A picture window that never takes the focus.
class TNoActiveForm : public QWidget
{
public:
    explicit TNoActiveForm(QWidget* owner)
        : QWidget(owner,
                  Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    {
        setObjectName(QStringLiteral("TNoActiveForm"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setWindowOpacity(192.0 / 255.0);
        setEnabled(false);
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Settings
// ---------------------------------------------------------------------------

void TDragDropSettings::SetOleDropTarget(bool v)
{
    FOleDropTarget = v;
    if (FOwner && !FOwner->Designing())
        FOwner->SetOleDropTargetRegistered(v);
}

void TDragDropSettings::SetOleDropRTF(bool v)
{
    FOleDropRTF = v;
    SetOleDropRTFSwitch(v);
}

// ---------------------------------------------------------------------------
// The grid's drop target and drop source
// ---------------------------------------------------------------------------

class TGridDropTarget : public TESGDropTarget
{
public:
    explicit TGridDropTarget(TExStringGrid* grid) : FGrid(grid) {}

    void DragEnter(const QMimeData& data, Qt::KeyboardModifiers keys, const QPoint& screen, bool allowMove,
                   DropEffect& effect) override
    {
        // The grid's settings speak for the target; columns come as text.
        SetAcceptText(FGrid->DragDropSettings().OleAcceptText());
        SetAcceptFiles(FGrid->DragDropSettings().OleAcceptFiles());
        SetAcceptURLs(FGrid->DragDropSettings().OleAcceptURLs());
        TESGDropTarget::DragEnter(data, keys, screen, allowMove, effect);
    }

protected:
    bool DropText(const QPoint& p, const QString& text) override { return FGrid->OleDropText(p, text); }
    bool DropStream(const QPoint& p, const QByteArray& stream, const QString& text) override
    {
        return FGrid->OleDropStream(p, stream, text);
    }
    bool DropCol(const QPoint& p, int col) override { return FGrid->OleDropCol(p, col); }
    bool DropRTF(const QPoint& p, const QString& rtf) override { return FGrid->OleDropCellText(p, rtf, false); }
    bool DropFiles(const QPoint& p, const QStringList& files) override { return FGrid->OleDropFiles(p, files); }
    bool DropURL(const QPoint& p, const QString& url) override { return FGrid->OleDropCellText(p, url, true); }
    void DragMouseMove(const QPoint& p, bool& allow, TDropFormats formats) override
    {
        FGrid->OleDragMouseMove(p, allow, formats);
    }
    void DragMouseLeave() override { FGrid->OleHideDropMarkers(); }

private:
    TExStringGrid* FGrid;
};

class TGridDropSource : public TESGDropSource
{
public:
    explicit TGridDropSource(TExStringGrid* grid) : FGrid(grid) {}
    DropEffect LastEffect() const { return FLastEffect; }

protected:
    void CurrentEffect(DropEffect effect) override
    {
        if (effect != DropEffect::None)
            FLastEffect = effect;
    }
    void QueryDrag() override
    {
        const QPoint c = QCursor::pos();
        if (FGrid->DragDropSettings().ShowCells()) {
            if (FGrid->MoveForm)
                FGrid->MoveForm->move(c + QPoint(4, 4));
        } else if (QPanelPtr b = FGrid->FMoveWindows.DragButton; b && b->isVisible() && b->parentWidget()) {
            b->move(b->parentWidget()->mapFromGlobal(c - QPoint(0, b->height())));
        }
    }
    void DragEnded() override
    {
        if (FGrid->DragDropSettings().ShowCells() && FGrid->MoveForm) {
            delete FGrid->MoveForm.data();
            FGrid->MoveForm = nullptr;
        }
    }

private:
    using QPanelPtr = QPointer<TPanel>;
    TExStringGrid* FGrid;
    DropEffect FLastEffect = DropEffect::None;
};

// ---------------------------------------------------------------------------
// Registration and hand-over
// ---------------------------------------------------------------------------

void TExStringGrid::SetOleDropTargetRegistered(bool on)
{
    if (on) {
        FGridDropTarget = std::make_shared<TGridDropTarget>(this);
        FOleDropTargetAssigned = RegisterDragDrop(ClientSurface(), FGridDropTarget);
    } else if (FOleDropTargetAssigned) {
        RevokeDragDrop(ClientSurface());
        FOleDropTargetAssigned = false;
        FGridDropTarget.reset();
    }
}

void TExStringGrid::OleColumnDragStart(int aCol, int aIndex, TListBox* aList)
{
    FOleDragCol = aCol;
    FOleDragIndex = aIndex;
    FOleDragList = aList;
}

// ---------------------------------------------------------------------------
// Drag over
// ---------------------------------------------------------------------------

void TExStringGrid::OleDropCell(const QPoint& screen, bool hasCol, int& aCol, int& aRow, bool& append)
{
    const QPoint c = ClientSurface()->mapFromGlobal(screen);
    MouseToCell(c.x(), c.y(), aCol, aRow);
    append = false;
    const TDragDropSettings& dd = *FDragDropSettings;
    if (aRow == -1 && !hasCol && dd.OleEntireRows() && dd.OleAppendRows() && RowCount() > 0) {
        const TRect last = TBaseGrid::CellRect(LeftCol(), RowCount() - 1);
        if (c.y() >= last.Bottom) {
            aCol = FixedCols();
            aRow = RowCount() - 1;
            append = true;
        }
    }
}

// Holds nothing but its fixed row (and the empty row kept below it).
static bool OnlyFixedRow(TExStringGrid& g) { return g.FixedRowAlways() && g.FixedRows() == 1 && g.RowCount() <= 2; }

void TExStringGrid::OleDragMouseMove(const QPoint& screen, bool& allow, unsigned formats)
{
    const bool hasCol = Has(formats, dfCol);
    int aCol = -1, aRow = -1;
    bool append = false;
    OleDropCell(screen, hasCol, aCol, aRow, append);
    const QPoint client = ClientSurface()->mapFromGlobal(screen);
    allow = aCol >= 0 && aRow >= 0;

    if (allow && !hasCol) {
        if ((aRow == 0 && TopRow() > FixedRows()) || (client.y() < 8 && FixedRows() == 0 && TopRow() > 0))
            SetTopRow(TopRow() - 1);
        else if (aRow == TopRow() + VisibleRowCount() && TopRow() + VisibleRowCount() < RowCount())
            SetTopRow(TopRow() + 1);
        if (FTimerTicks % 2 == 0) {
            ++FTimerTicks;
            if (aCol == 0 && LeftCol() > FixedCols())
                SetLeftCol(LeftCol() - 1);
            else if (aCol == LeftCol() + VisibleColCount() && LeftCol() + VisibleColCount() < ColCount())
                SetLeftCol(LeftCol() + 1);
        }
    }

    if (!hasCol) {
        if (aRow >= 0 && aRow < FixedRows() && !OnlyFixedRow(*this))
            allow = false;
    } else if (aCol < 0) {
        aCol = ColCount();
        aRow = 0;
        allow = true;
    } else if (aRow >= 0 && aRow < FixedRows()) {
        allow = aCol >= FixedCols();
    } else {
        allow = false;
    }
    if (Has(formats, dfFile) || Has(formats, dfGridCells))
        allow = true;
    if (OnOleDragOver)
        OnOleDragOver(this, aRow, aCol, allow);
    if (!Has(formats, dfFile))
        allow = allow && aCol >= 0 && aRow >= 0;

    OleHideDropMarkers();
    if (!allow || aCol < 0 || aRow < 0)
        return;
    if (hasCol) {
        const bool after = aCol >= ColCount();
        const TRect r = TBaseGrid::CellRect(after ? ColCount() - 1 : aCol, aRow);
        const int x = after ? r.Right : r.Left;
        ShowArrowAt(arrDown, x, r.Top - 8);
        ShowArrowAt(arrUp, x, r.Bottom);
        return;
    }
    const int col = FDragDropSettings->OleEntireRows() ? FixedCols() : aCol;
    const int row = aRow == 0 && FFixedRowAlways ? std::min(1, RowCount() - 1) : aRow;
    const TRect r = TBaseGrid::CellRect(col, row);
    ShowArrowAt(arrLeft, r.Left - 10, append ? r.Top + RowHeights(row) : r.Top);
}

void TExStringGrid::OleHideDropMarkers()
{
    HideMoveArrows();
    if (QPointer<TPanel>& button = FMoveWindows.DragButton)
        button->hide();
}

// ---------------------------------------------------------------------------
// Drops
// ---------------------------------------------------------------------------

void TExStringGrid::OleShiftDragSource(int aRow, int inserted)
{
    // Only rows really inserted at or above the dragged block move it.
    if (!FOleDragging || inserted <= 0)
        return;
    // The row marks follow their rows, so that the marked rows are removed
    // or cleared afterwards, not the new ones.
    if (DisjunctRowMode()) {
        const int at = FMouseActions->RowSelectPersistent() ? RowDisplToReal(aRow) : aRow;
        if (at >= 0 && at < static_cast<int>(FRowSelect.size()))
            FRowSelect.insert(FRowSelect.begin() + at, static_cast<size_t>(inserted), 0);
    }
    if (FDropSelection.Top < aRow)
        return;
    FDropSelection.Top += inserted;
    FDropSelection.Bottom += inserted;
}

bool TExStringGrid::OleDropText(const QPoint& screen, const QString& text)
{
    int aCol = -1, aRow = -1;
    bool append = false;
    OleDropCell(screen, false, aCol, aRow, append);
    int c = 0, e = 0;
    MeasureTabText(text, c, e);
    const bool rowSelect = Options() & goRowSelect;
    if (rowSelect)
        aCol = FDragDropSettings->OleEntireRows() ? 0 : FixedCols();
    bool allow = true;
    if (OnOleDrop)
        OnOleDrop(this, aRow, aCol, text, allow);
    const bool editing = (Options() & goEditing) || FNavigation->AllowClipboardAlways() ||
                         FMouseActions->RangeSelectAndEdit();
    bool taken = false;
    if (allow && editing && aCol >= 0 && aRow >= 0) {
        if (aRow == 0 && OnlyFixedRow(*this))
            aRow = 1;
        int inserted = 0;
        if (FDragDropSettings->OleInsertRows()) {
            const int top = TopRow();
            if (append) {
                SetRowCount(RowCount() + e + 1);
                ++aRow;
            } else {
                InsertRows(aRow, e + 1);
                inserted = e + 1;
            }
            SetTopRow(std::min(top > FixedRows() ? top + 1 : top, std::max(FixedRows(), RowCount() - 1)));
        }
        const int before = RowCount();
        int rows = 0, cols = 0;
        PasteTextAtCell(aCol, aRow, text, rows, cols);
        if (FNavigation->ClipboardPasteAction() == paInsert)
            inserted += std::max(0, RowCount() - before);
        OleShiftDragSource(aRow, inserted);
        const int l = std::max(aCol, FixedCols());
        const int right = rowSelect ? l + c - FixedCols() : l + c - 1;
        const TGridRect block{l, aRow, std::min(std::max(l, right), ColCount() - 1),
                              std::min(aRow + e, RowCount() - 1)};
        if (FOleDragging)
            FOleDropRect = TGridRect{aCol, aRow, std::max(aCol, aCol + c - 1), aRow + e};
        SetSelection(block);
        taken = true;
    }
    OleHideDropMarkers();
    if (OnOleDropped)
        OnOleDropped(this, Selection());
    return taken;
}

bool TExStringGrid::OleDropStream(const QPoint& screen, const QByteArray& stream, const QString& text)
{
    int aCol = -1, aRow = -1;
    bool append = false;
    OleDropCell(screen, false, aCol, aRow, append);
    bool taken = false;
    if (aCol >= 0 && aRow >= 0 && !stream.isEmpty()) {
        // Pasted as the clipboard would: never a whole-grid load, and only
        // where a paste may write.
        QMimeData data;
        data.setData(GridCellsClipboardFormat(), stream);
        if (!text.isEmpty())
            data.setText(text);
        FPasteSource = &data;
        ScopeExit restore{[this] { FPasteSource = nullptr; }};
        const int before = RowCount();
        int rows = 0, cols = 0;
        taken = PasteAtCell(aCol, aRow, rows, cols) > 0;
        if (taken) {
            if (FNavigation->ClipboardPasteAction() == paInsert)
                OleShiftDragSource(aRow, std::max(0, RowCount() - before));
            if (FOleDragging)
                FOleDropRect = TGridRect{aCol, aRow, aCol + std::max(1, cols) - 1, aRow + std::max(1, rows) - 1};
        }
    }
    OleHideDropMarkers();
    if (OnOleDropped)
        OnOleDropped(this, Selection());
    return taken;
}

bool TExStringGrid::OleDropCellText(const QPoint& screen, const QString& text, bool url)
{
    int aCol = -1, aRow = -1;
    bool append = false;
    OleDropCell(screen, false, aCol, aRow, append);
    bool allow = true;
    if (url && OnOleDropURL)
        OnOleDropURL(this, aRow, aCol, text, allow);
    else if (!url && OnOleDrop)
        OnOleDrop(this, aRow, aCol, text, allow);
    OleHideDropMarkers();
    const bool always = FNavigation->AllowClipboardAlways();
    const bool editing = (Options() & goEditing) || always || FMouseActions->RangeSelectAndEdit();
    if (!allow || !editing || aCol < 0 || aRow < 0 || aCol >= ColCount() || aRow >= RowCount() ||
        !(always || IsEditable(aCol, aRow)))
        return false;
    SetCellEx(RealColIndex(aCol), aRow, text);
    return true;
}

bool TExStringGrid::OleDropFiles(const QPoint& screen, const QStringList& files)
{
    OleHideDropMarkers();
    if (files.size() != 1)
        return false;
    const QString name = files.front();
    int aCol = -1, aRow = -1;
    bool append = false;
    OleDropCell(screen, false, aCol, aRow, append);
    bool allow = true;
    if (OnOleDropFile)
        OnOleDropFile(this, aRow, aCol, name, allow);
    if (!allow)
        return false;
    // The type is the file's extension, not text found anywhere in its name.
    const QString ext = QFileInfo(name).suffix().toLower();
    const auto ask = [&] {
        bool ok = true;
        if (OnOleDrop)
            OnOleDrop(this, -1, -1, name, ok);
        return ok;
    };
    if (ext == QLatin1String("csv")) {
        if (!ask())
            return false;
        LoadFromCSV(name, -1);
        return true;
    }
    if (ext == QLatin1String("xls") || ext == QLatin1String("xlsx")) {
        if (!ask())
            return false;
        LoadFromXLS(name);
        return true;
    }
    return false;
}

bool TExStringGrid::OleDropCol(const QPoint& screen, int dropCol)
{
    int aCol = -1, aRow = -1;
    bool append = false;
    OleDropCell(screen, true, aCol, aRow, append);
    if (aCol < 0)
        aCol = ColCount();
    OleHideDropMarkers();
    if (FOleDragCol != -1) {
        if (FOleDragList && FOleDragIndex >= 0 && FOleDragIndex < FOleDragList->count())
            delete FOleDragList->takeItem(FOleDragIndex);
        // The column's place in the column order is a real index; without
        // an order (or not in it) the column is where its index says, never
        // the fixed column 0. The drop position was taken while the column
        // was hidden, so it lands before the column under the pointer.
        int pos = FOleDragCol;
        for (int i = 0; i < FColumnOrder.Count(); ++i)
            if (FColumnOrder[i] == FOleDragCol) {
                pos = i;
                break;
            }
        FOleDragCol = -1;
        UnHideColumn(pos);
        const bool enhanced = FEnhRowColMove;
        FEnhRowColMove = true;
        ScopeExit restore{[this, enhanced] { FEnhRowColMove = enhanced; }};
        MoveColumn(DisplColIndexOf(pos), std::min(aCol, ColCount() - 1));
    } else if (FDragDropSettings->OleColumnReorder() && FOleDragging) {
        // Only a column of this grid's own drag: another grid's index means
        // nothing here.
        aCol = std::min(aCol, ColCount() - 1);
        const int from = DisplColIndexOf(dropCol);
        if (from != aCol) {
            const bool enhanced = FEnhRowColMove;
            FEnhRowColMove = true;
            ScopeExit restore{[this, enhanced] { FEnhRowColMove = enhanced; }};
            MoveColumn(from, aCol);
        }
    }
    if (OnOleDropCol)
        OnOleDropCol(this, aRow, aCol, dropCol);
    return true;
}

// ---------------------------------------------------------------------------
// Drags out of the grid
// ---------------------------------------------------------------------------

QWidget* TExStringGrid::SelectionToForm(const TRect& aRect)
{
    // Every cell of the rectangle is painted, also those scrolled out of view.
    const int left = std::max(0, std::min(aRect.Left, aRect.Right));
    const int right = std::min(ColCount() - 1, std::max(aRect.Left, aRect.Right));
    const int top = std::max(0, std::min(aRect.Top, aRect.Bottom));
    const int bottom = std::min(RowCount() - 1, std::max(aRect.Top, aRect.Bottom));
    const int line = GridLineWidth();
    std::vector<int> xs{0}, ys{0};
    for (int c = left; c <= right; ++c)
        xs.push_back(xs.back() + ColWidths(c) + line);
    for (int r = top; r <= bottom; ++r)
        ys.push_back(ys.back() + RowHeights(r) + line);
    // Grid sizes are bounded; the picture is never larger than the screen needs.
    // From the first cell's left edge to the last one's right edge.
    const int width = std::clamp(xs.back() - line, 1, 8192), height = std::clamp(ys.back() - line, 1, 8192);
    // The cell painter keeps scrolled cells off the fixed area: the cells are
    // painted beyond it and cut out afterwards.
    const int ox = FixedColsWidth(), oy = FixedRowsHeight();
    QImage image(ox + width, oy + height, QImage::Format_RGB32);
    image.fill(ToQColor(Color()));
    {
        TCanvas canvas;
        canvas.BindImage(&image);
        const TGridRect sel = Selection();
        for (int r = top; r <= bottom && ys[r - top] < height; ++r)
            for (int c = left; c <= right && xs[c - left] < width; ++c) {
                const TRect cell{ox + xs[c - left], oy + ys[r - top], ox + xs[c - left + 1], oy + ys[r - top + 1]};
                const bool fixed = IsFixed(c, r);
                TGridDrawState state = fixed ? gdFixed : 0;
                if (!fixed && c >= sel.Left && c <= sel.Right && r >= sel.Top && r <= sel.Bottom)
                    state |= gdSelected;
                PaintCellExt(canvas, c, r, cell, state);
                TRect content = cell;
                if (fixed) {
                    content.Right -= 1;
                    content.Bottom -= 2;
                } else {
                    InflateRect(content, -line, -line);
                }
                DrawCellContent(canvas, c, r, content, state);
            }
        // The fixed lines the grid draws at its own outer edges.
        canvas.Pen().SetColor(GridFixedLineColor());
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetStyle(psSolid);
        if (left == 0 && TBaseGrid::FixedCols() > 0 && (Options() & goFixedVertLine)) {
            canvas.MoveTo(ox, oy);
            canvas.LineTo(ox, oy + height);
        }
        if (top == 0 && TBaseGrid::FixedRows() > 0 && (Options() & goFixedHorzLine)) {
            canvas.MoveTo(ox, oy);
            canvas.LineTo(ox + width, oy);
        }
        canvas.Flush();
    }
    image = image.copy(ox, oy, width, height);
    auto* form = new TNoActiveForm(this);
    auto* label = new QLabel(form);
    label->setPixmap(QPixmap::fromImage(image));
    auto* layout = new QVBoxLayout(form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    form->resize(image.size());
    return form;
}

bool TExStringGrid::OleDragStartMove(TShiftState shift, int x, int y)
{
    if (!FSelectionClick || !(shift & ssLeft) || !FDragDropSettings->OleDropSource())
        return false;
    if (std::abs(x - Clickposx) <= 3 && std::abs(y - Clickposy) <= 3)
        return false;
    if (GridState() == gsColSizing || (FSelectionResizer && FSelectionRectangle && InResizerCorner(x, y)))
        return false;
    int mCol = -1, mRow = -1;
    MouseToCell(x, y, mCol, mRow);
    if (mCol < 0 || mRow < 0)
        return false;
    int aCol = -1, aRow = -1;
    MouseToCell(Clickposx, Clickposy, aCol, aRow);
    if (aCol < 0 || aRow < 0)
        return false;
    FSelectionClick = false;
    const int realCol = RealColIndex(aCol);
    const bool header = aRow < FixedRows();
    const TDragDropSettings& dd = *FDragDropSettings;
    bool allow = !(dd.OleColumnsOnly() && !header);
    if (allow && OnOleDrag)
        OnOleDrag(this, aRow, realCol, GetCellEx(realCol, aRow), allow);
    if (!allow) {
        if (GridState() == gsNormal)
            SetGridState(gsSelecting);
        return false;
    }

    // The drag loop takes the button's release.
    FMouseDown = false;
    FMouseKeepDown = false;
    FMouseDownMove = false;
    TGridDropSource source(this);
    if (OnOleDragStart)
        OnOleDragStart(this, aRow, realCol);
    DoStartBlockFocus();
    FOleDragging = true;
    FOleDropRect = TGridRect{-1, -1, -1, -1};
    ScopeExit done{[this] {
        FOleDragging = false;
        FOleDropRect = TGridRect{-1, -1, -1, -1};
        delete MoveForm.data();
        MoveForm = nullptr;
        OleHideDropMarkers();
        DoEndBlockFocus();
        if (GridState() != gsNormal)
            SetGridState(gsNormal);
    }};

    const bool columnDrag = header && dd.OleColumnDragDrop();
    if (dd.ShowCells() && !MoveForm) {
        const TGridRect s = Selection();
        const TRect picture = columnDrag ? TRect{aCol, 0, aCol, std::min(RowCount() - 1, VisibleRowCount())}
                                         : TRect{s.Left, s.Top, s.Right, s.Bottom};
        MoveForm = SelectionToForm(picture);
        MoveForm->move(ClientSurface()->mapToGlobal(QPoint(x, y)));
        MoveForm->show();
        MoveForm->raise();
    }
    DropEffect effect = DropEffect::None;
    if (columnDrag) {
        if (!dd.ShowCells())
            ShowDragButton(GetCellEx(realCol, 0), ColWidths(aCol), RowHeights(0), x, y);
        if (BeginOleColumnDrag(ClientSurface(), source, realCol, true, effect) == DragResult::Cancelled)
            effect = DropEffect::None; // stopped all the same, with no effect
        if (OnOleDragStop)
            OnOleDragStop(this, EffectNumber(effect));
        return true;
    }
    FDropSelection = Selection();
    QByteArray stream;
    const bool fmt = FNavigation->AllowFmtClipboard();
    if (fmt) {
        QBuffer buffer(&stream);
        buffer.open(QIODevice::WriteOnly);
        SaveRectToBinStream(
            TRect{FDropSelection.Left, FDropSelection.Top, FDropSelection.Right, FDropSelection.Bottom}, buffer);
    }
    const DragResult r = BeginOleTextDrag(ClientSurface(), source, SelectedText(), GetCellEx(realCol, aRow), effect,
                                          true, fmt ? &stream : nullptr);
    if (r == DragResult::Cancelled)
        effect = DropEffect::None; // stopped all the same, with no effect
    else if (effect == DropEffect::Move && !dd.OleCopyAlways())
        OleRemoveDragSource();
    if (OnOleDragStop)
        OnOleDragStop(this, EffectNumber(effect));
    return true;
}

// Removes what a move dragged away, except what its drop into this same grid
// has just written.
void TExStringGrid::OleRemoveDragSource()
{
    const TGridRect d = FDropSelection;
    const TGridRect drop = FOleDropRect;
    const auto coveredRow = [&](int r) { return drop.Top >= 0 && r >= drop.Top && r <= drop.Bottom; };
    const auto covered = [&](int c, int r) { return coveredRow(r) && c >= drop.Left && c <= drop.Right; };
    std::vector<int> rows;
    if (DisjunctRowMode()) {
        const bool persistent = FMouseActions->RowSelectPersistent();
        for (int r = FixedRows(); r < RowCount() - FFixedFooters; ++r)
            if (GetRowSelect(persistent ? RowDisplToReal(r) : r))
                rows.push_back(r);
    } else {
        for (int r = std::max(0, d.Top); r <= d.Bottom && r < RowCount(); ++r)
            rows.push_back(r);
    }
    if (FDragDropSettings->OleRemoveRows() && (Options() & goRowSelect)) {
        BeginUpdate();
        ScopeExit endUpdate{[this] { EndUpdate(); }};
        for (auto it = rows.rbegin(); it != rows.rend(); ++it)
            if (!coveredRow(*it))
                RemoveRows(*it, 1);
        if (DisjunctRowMode())
            ClearRowSelect();
        return;
    }
    const int left = DisjunctRowMode() ? FixedCols() : std::max(0, d.Left);
    const int right = DisjunctRowMode() ? ColCount() - 1 : std::min(d.Right, ColCount() - 1);
    const bool fmt = FNavigation->AllowFmtClipboard();
    for (int r : rows)
        for (int c = left; c <= right; ++c) {
            if (covered(c, r))
                continue;
            const int rc = RealColIndex(c);
            SetCellEx(rc, r, QString());
            if (fmt)
                FreeCellPropsRect(rc, r, rc, r);
        }
    Invalidate();
}
