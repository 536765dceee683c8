// Panning with the middle button: a press sets the origin; every 10 ms the
// view (or the current cell) moves one row and column towards the pointer,
// until the next press or key.
#include "grid/ExGrid.h"

#include "platform/Messages.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace platform;

namespace {

constexpr int NeutralPanCursor = 8000;
constexpr int MarkerSize = 32;

// Within lo .. hi; lo wins when the range is empty.
int Bound(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

// The cursor for the directions: 8000 none, 8001 down, 8002 left, 8003
// right, 8004 up, 8005 up-right, 8006 up-left, 8007 down-right, 8008 down-left.
int PanCursorFor(int vertical, int horizontal)
{
    if (vertical == 0)
        return horizontal > 0 ? 8003 : horizontal < 0 ? 8002 : NeutralPanCursor;
    if (vertical > 0)
        return horizontal > 0 ? 8007 : horizontal < 0 ? 8008 : 8001;
    return horizontal > 0 ? 8005 : horizontal < 0 ? 8006 : 8004;
}

// A filled arrow head from the centre towards (dx, dy).
void DrawArrowHead(QPainter& p, QPointF centre, double dx, double dy, double reach, double size)
{
    const double n = std::hypot(dx, dy);
    dx /= n;
    dy /= n;
    const QPointF tip = centre + QPointF(dx, dy) * reach;
    const QPointF base = tip - QPointF(dx, dy) * size;
    const QPointF side(-dy * size * 0.8, dx * size * 0.8);
    p.drawPolygon(QPolygonF({tip, base + side, base - side}));
}

// The directions a pan can take.
std::vector<QPoint> PanDirections(TIntelliPan pan)
{
    std::vector<QPoint> dirs;
    if (pan != ipHorizontal) {
        dirs.emplace_back(0, -1);
        dirs.emplace_back(0, 1);
    }
    if (pan != ipVertical) {
        dirs.emplace_back(-1, 0);
        dirs.emplace_back(1, 0);
    }
    return dirs;
}

// A dot with the arrows of the directions the pan can take (neutral) or of
// the direction it takes.
QCursor PanCursorShape(int id, TIntelliPan pan)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(Qt::black);
    const QPointF c(16, 16);
    p.drawEllipse(c, 3.5, 3.5);
    std::vector<QPoint> dirs;
    switch (id) {
    case 8001: dirs = {{0, 1}}; break;
    case 8002: dirs = {{-1, 0}}; break;
    case 8003: dirs = {{1, 0}}; break;
    case 8004: dirs = {{0, -1}}; break;
    case 8005: dirs = {{1, -1}}; break;
    case 8006: dirs = {{-1, -1}}; break;
    case 8007: dirs = {{1, 1}}; break;
    case 8008: dirs = {{-1, 1}}; break;
    default: dirs = PanDirections(pan); break;
    }
    for (const QPoint& d : dirs)
        DrawArrowHead(p, c, d.x(), d.y(), 14, 7);
    return QCursor(pm, 16, 16);
}

// The origin marker: the arrows of the pan's directions around a dot, on
// white (the bitmap's background colour is replaced by white).
QPixmap PanMarkerImage(TIntelliPan pan)
{
    QPixmap pm(MarkerSize, MarkerSize);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(96, 96, 96), 1));
    p.setBrush(Qt::NoBrush);
    const QPointF c(MarkerSize / 2.0, MarkerSize / 2.0);
    p.drawEllipse(c, 14.5, 14.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(c, 2.5, 2.5);
    for (const QPoint& d : PanDirections(pan))
        DrawArrowHead(p, c, d.x(), d.y(), 12, 5);
    return pm;
}

void ShowPanCursor(int id, TIntelliPan pan, bool& set)
{
    if (set) {
        QGuiApplication::changeOverrideCursor(PanCursorShape(id, pan));
    } else {
        QGuiApplication::setOverrideCursor(PanCursorShape(id, pan));
        set = true;
    }
}

} // namespace

TExStringGrid::TPanState::~TPanState()
{
    if (CursorSet)
        QGuiApplication::restoreOverrideCursor();
}

void TExStringGrid::SetIntelliPan(TIntelliPan v)
{
    FIntelliPan = v;
    if (v == ipNone && FPan.Active)
        StopPanning();
}

bool TExStringGrid::HandlePanningMessage(TMessage& m)
{
    switch (m.Msg) {
    case WM_TIMER:
        if (m.WParam != PanTimerId)
            return false;
        if (FPan.Active && FIntelliPan != ipNone)
            PanStep();
        return true;
    case WM_MBUTTONDOWN:
        if (FPan.Active)
            StopPanning();
        else if (FIntelliPan != ipNone && RowCount() > FixedRows())
            StartPanning(SignedLowWord(m.LParam), SignedHighWord(m.LParam));
        return false;
    // A quick second press arrives as a double click; it ends the pan all
    // the same. Losing the mouse ends it too.
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_CANCELMODE:
        if (FPan.Active)
            StopPanning();
        return false;
    // The pan keeps its cursor, and the wheel waits for its end.
    case WM_SETCURSOR:
    case WM_MOUSEWHEEL: return FPan.Active;
    default: return false;
    }
}

void TExStringGrid::StartPanning(int x, int y)
{
    FPan.Active = true;
    FPan.Origin = Point(x, y);
    FPan.Cursor = NeutralPanCursor;
    ShowPanCursor(FPan.Cursor, FIntelliPan, FPan.CursorSet);
    SetTimer(PanTimerId, 10);
    SetMouseCapture(true);
    // No hint while panning (event() asks Panning()).
    CancelCellHint();
    DrawPanMarker();
}

void TExStringGrid::StopPanning()
{
    SetMouseCapture(false);
    KillTimer(PanTimerId);
    if (FPan.CursorSet) {
        QGuiApplication::restoreOverrideCursor();
        FPan.CursorSet = false;
    }
    FPan.Active = false;
    FPan.Cursor = 0;
    InvalidatePanMarker();
    delete FPan.Marker.data();
}

void TExStringGrid::PanStep()
{
    const QPoint p = ClientSurface()->mapFromGlobal(QCursor::pos());
    const TPoint o = FPan.Origin;
    int v = 0, h = 0;
    if (FIntelliPan != ipHorizontal)
        v = p.y() < o.Y - 5 ? -1 : p.y() > o.Y + 5 ? 1 : 0;
    if (FIntelliPan != ipVertical)
        h = p.x() > o.X + 5 ? 1 : p.x() < o.X - 5 ? -1 : 0;
    const int cursor = PanCursorFor(v, h);
    if (cursor != FPan.Cursor) {
        FPan.Cursor = cursor;
        ShowPanCursor(cursor, FIntelliPan, FPan.CursorSet);
    }

    const TGridRect oldSel = Selection();
    const int fixedRows = FixedRows(), fixedCols = FixedCols();
    const int lastRow = RowCount() - FFixedFooters - 1;
    const int lastCol = ColCount() - FFixedRightCols - 1;
    // The current cell stays in the normal area.
    const int row = Bound(Row(), fixedRows, lastRow);
    const int col = Bound(Col(), fixedCols, lastCol);
    if (row != Row() && row < RowCount())
        SetRow(row);
    if (col != Col() && col < ColCount())
        SetCol(col);

    if (FMouseActions->WheelAction() == waScroll) {
        InvalidatePanMarker();
        const int left = Bound(LeftCol() + h, fixedCols, ColCount() - VisibleColCount());
        const int top = Bound(TopRow() + v, fixedRows, RowCount() - VisibleRowCount());
        if (h != 0 && left != LeftCol() && left < ColCount())
            SetLeftCol(left);
        if (v != 0 && top != TopRow() && top < RowCount())
            SetTopRow(top);
    } else {
        const int oldTop = TopRow(), oldLeft = LeftCol();
        const int newCol = Bound(Col() + h, fixedCols, lastCol);
        const int newRow = Bound(Row() + v, fixedRows, lastRow);
        if (h != 0 && newCol != Col() && newCol < ColCount())
            SetCol(newCol);
        if (v != 0 && newRow != Row() && newRow < RowCount())
            SetRow(newRow);
        if (TopRow() != oldTop || LeftCol() != oldLeft)
            InvalidatePanMarker();
    }
    DrawPanMarker();
    const TGridRect sel = Selection();
    if (!(sel == oldSel))
        DoSelectionChanged(sel.Left, sel.Top, sel.Right, sel.Bottom);
}

// The marker is a child of the client surface, so the grid's own painting
// and scrolling never smear it.
void TExStringGrid::DrawPanMarker()
{
    if (!FPan.Active)
        return;
    if (!FPan.Marker) {
        auto* marker = new QLabel(ClientSurface());
        marker->setObjectName(QStringLiteral("PanMarker"));
        marker->setAttribute(Qt::WA_TransparentForMouseEvents);
        marker->setFocusPolicy(Qt::NoFocus);
        marker->setPixmap(PanMarkerImage(FIntelliPan));
        FPan.Marker = marker;
    }
    QWidget* marker = FPan.Marker.data();
    marker->setGeometry(FPan.Origin.X, FPan.Origin.Y, MarkerSize, MarkerSize);
    marker->show();
    marker->raise();
}

void TExStringGrid::InvalidatePanMarker()
{
    if (FPan.Marker)
        FPan.Marker->hide();
    ClientSurface()->update(FPan.Origin.X, FPan.Origin.Y, MarkerSize, MarkerSize);
}
