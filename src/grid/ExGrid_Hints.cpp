// Cell hints and the HTML hint window.
#include "grid/ExGrid.h"

#include "grid/ExGrid_Windows.h"
#include "widgets/EsgHTMLE.h"
#include "widgets/ExUtil.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>

using namespace platform;

namespace {

// The grid's own hint window class.
THintWindow* HTMLHintWindowClass(QWidget* parent) { return new THTMLHintWindow(parent); }

// The platform's pause before a shown hint goes, longer for long texts.
int HintHidePause(const QString& text) { return 10000 + 40 * std::max<int>(0, int(text.size()) - 100); }

int ScreenWidthAt(const QPoint& p)
{
    QScreen* screen = QGuiApplication::screenAt(p);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 1024;
}

} // namespace

// The tool-tip request of the client surface comes up to the grid: the grid
// answers it with the hint of the cell under the pointer.
bool TExStringGrid::event(QEvent* e)
{
    if (e->type() != QEvent::ToolTip) {
        const bool result = TBaseGrid::event(e);
        // A new application style brings its colours.
        if (e->type() == QEvent::StyleChange)
            RunGuarded([&] { ApplyActiveStyleColors(); });
        // The thin bars follow the client area.
        if (e->type() == QEvent::Resize && (vscrlctrl || hscrlctrl))
            RunGuarded([&] { CreateScrollControls(); });
        // Shown: the grid's own bars exist, and the thumbs are proportional.
        if (e->type() == QEvent::Show)
            RunGuarded([&] {
                if (FScrollType != ssNormal && !vscrlctrl)
                    ScrollTypeChanged();
                UpdateProportionalVScroll();
                UpdateProportionalHScroll();
            });
        return result;
    }
    const QPoint global = static_cast<QHelpEvent*>(e)->globalPos();
    // Requests from the grid's other children (editor, panels) are theirs.
    if (!ClientSurface()->rect().contains(ClientSurface()->mapFromGlobal(global)))
        return TBaseGrid::event(e);
    RunGuarded([&] {
        if (!FShowHint || Designing() || FPan.Active) {
            CancelCellHint();
            return;
        }
        THintInfo info;
        info.CursorPos = Point(global.x(), global.y());
        QString hint = Hint();
        PrepareCellHint(hint, info);
        if (hint.isEmpty())
            CancelCellHint();
        else
            ShowCellHint(info);
    });
    e->accept();
    return true;
}

void TExStringGrid::PrepareCellHint(QString& hint, THintInfo& info)
{
    // 1. The cell under the pointer.
    const QPoint p = ClientSurface()->mapFromGlobal(QPoint(info.CursorPos.X, info.CursorPos.Y));
    int col = -1, row = -1;
    MouseToCell(p.x(), p.y(), col, row);
    if (FControlLook->HintMaxWidth() > 0)
        info.HintMaxWidth = FControlLook->HintMaxWidth();
    THTMLHintWindow::HintFontName() = Font().Name();
    info.HintColor = FHintColor;
    info.HintWindowClass = HintWindowClass();

    // 2. Outside the cells only the colour is given.
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) {
        info.HintStr = hint;
        return;
    }

    // 3. The base cell of a merged range.
    const TPoint base = BaseCell(RealColIndex(col), row);
    const int rc = base.X;
    const int aCol = DisplColIndexOf(base.X);
    const int aRow = base.Y;
    FLastHintPos = Point(aCol, aRow);
    const TRect r = CellRect(aCol, aRow);

    // 4. Position: a comment at the cell's top-right corner, else under it.
    TPoint pos = Point(p.x(), r.Bottom + 6);
    QString comment;
    if (IsComment(rc, aRow, comment)) {
        hint = comment;
        pos = Point(r.Right, r.Top);
    }

    const QString text = GetCellEx(rc, aRow);
    const int kind = CellTextKind(text, FEnableHTML);

    // 5. The title (or address) of a link under the pointer.
    if (FAnchorHint && kind == 1) {
        TCanvas canvas;
        canvas.SetFont(GetCellFont(rc, aRow));
        THTMLDrawOptions options;
        options.Window = this;
        options.Images = FGridImages;
        options.PictureContainer = FPictureContainer;
        options.HitTest = true;
        options.HitPoint = Point(p.x(), p.y());
        THTMLDrawResult result;
        TRect box = r;
        box.Left += FXYOffset.X;
        box.Top += FXYOffset.Y;
        if (DrawHTMLText(canvas, text, box, options, result) && !result.AnchorTarget.isEmpty() &&
            result.AnchorTarget != QStringLiteral("ctrl")) {
            QString anchor = result.AnchorTitle.isEmpty() ? result.AnchorTarget : result.AnchorTitle;
            if (OnAnchorHint)
                OnAnchorHint(this, aRow, rc, anchor);
            FLastAnchorHint = anchor;
            hint = anchor;
            pos = Point(p.x() + 8, p.y() - 16);
        }
    }

    // 6. The text of a normal cell.
    const bool normalCell = aCol >= TBaseGrid::FixedCols() && aCol < ColCount() - FFixedRightCols &&
                            aRow >= TBaseGrid::FixedRows() && aRow < RowCount() - FFixedFooters;
    if (FHintShowCells && normalCell) {
        pos.Y = r.Top;
        hint = (kind == 5 || FHTMLHint) ? text : StripHTMLTags(text);
    }

    // 7. A text larger than its cell.
    if (FHintShowLargeText) {
        const bool enhanced = FEnhTextSize;
        FEnhTextSize = false;
        const TSize size = GetCellTextSize(rc, aRow, false, false);
        FEnhTextSize = enhanced;
        if (size.cx > r.Width() || size.cy > r.Height()) {
            if (FHintShowLargeTextPos == hpCell)
                pos = Point(r.Left, r.Top);
            hint = (kind == 5 || FHTMLHint || kind != 1) ? text : StripHTMLTags(text);
        }
    }

    // 8. The application's say, unless the floating footer covers the last row.
    if (!(FFloatingFooter->Visible() && aRow == RowCount() - 1)) {
        QString wide;
        QueryGridHint(aCol, aRow, hint, wide);
    }

    // 9. HTML and wide text need the grid's own hint window.
    const int finalKind = CellTextKind(hint, FEnableHTML);
    if ((finalKind == 1 || finalKind == 5) && FUseInternalHintClass)
        info.HintWindowClass = &HTMLHintWindowClass;

    // 10. Screen coordinates.
    const QPoint screen = ClientSurface()->mapToGlobal(QPoint(pos.X, pos.Y));
    info.HintPos = Point(screen.x(), screen.y());
    info.HintStr = hint;
}

void TExStringGrid::ShowCellHint(const THintInfo& info)
{
    const QString& hint = info.HintStr;
    const THintWindowClass windowClass = info.HintWindowClass ? info.HintWindowClass : HintWindowClass();
    THintWindow* window = dynamic_cast<THintWindow*>(FCellHintWnd.data());
    if (window && FCellHintClass != windowClass) {
        window->hide();
        window->deleteLater();
        window = nullptr;
    }
    if (!window) {
        window = windowClass(this);
        FCellHintWnd = window;
        FCellHintClass = windowClass;
    }
    window->SetColor(info.HintColor);
    const QPoint at(info.HintPos.X, info.HintPos.Y);
    const int maxWidth = info.HintMaxWidth > 0 ? info.HintMaxWidth : ScreenWidthAt(at);
    TRect rect = window->CalcHintRect(maxWidth, hint);
    OffsetRect(rect, at.x(), at.y());
    if (auto* html = dynamic_cast<THTMLHintWindow*>(window))
        html->ActivateHintData(rect, hint, this);
    else
        window->ActivateHint(rect, hint);
    FCellHintText = hint;
    FCellHintCell = FLastHintPos.X >= 0 ? CellRect(FLastHintPos.X, FLastHintPos.Y) : ClientRect();
    if (!FCellHintTracker)
        FCellHintTracker = std::make_unique<TCellHintTracker>(nullptr, [this](QEvent* e) { CellHintInput(e); });
    static_cast<TCellHintTracker*>(FCellHintTracker.get())->Start(ClientSurface(), HintHidePause(hint));
}

void TExStringGrid::CellHintInput(QEvent* e)
{
    if (e->type() == QEvent::MouseMove) {
        const QPoint p = static_cast<QMouseEvent*>(e)->position().toPoint();
        if (PtInRect(FCellHintCell, Point(p.x(), p.y())))
            return;
    }
    CancelCellHint();
}

void TExStringGrid::CancelCellHint()
{
    FLastHintPos = Point(-1, -1);
    FCellHintText.clear();
    if (FCellHintTracker)
        static_cast<TCellHintTracker*>(FCellHintTracker.get())->Stop();
    if (FCellHintWnd)
        FCellHintWnd->hide();
}

TPoint TExStringGrid::LastHintPos() const { return FLastHintPos; }

QWidget* TExStringGrid::CellHintWindow() const
{
    return FCellHintWnd && FCellHintWnd->isVisible() ? FCellHintWnd.data() : nullptr;
}

void TExStringGrid::ShowScrollHint(const QString& html, const TPoint& screenTopLeft, int maxWidth)
{
    if (!FScrollHintWnd)
        FScrollHintWnd = new THTMLHintWindow(this);
    FScrollHintWnd->SetColor(FHintColor);
    TRect rect = FScrollHintWnd->CalcHintRect(maxWidth, html);
    OffsetRect(rect, screenTopLeft.X, screenTopLeft.Y);
    FScrollHintWnd->ActivateHintData(rect, html, this);
    FScrollHintShow = true;
}

void TExStringGrid::HideScrollHint()
{
    if (FScrollHintWnd)
        FScrollHintWnd->hide();
    FScrollHintShow = false;
}

bool TExStringGrid::ScrollHintShown() const { return FScrollHintShow && FScrollHintWnd && FScrollHintWnd->isVisible(); }

void TExStringGrid::SetUseHTMLHints(bool v)
{
    FUseHTMLHints = v;
    SetHintWindowClass(v ? &HTMLHintWindowClass : nullptr);
}

bool TExStringGrid::ShowHint() const { return FShowHint; }

void TExStringGrid::SetShowHint(bool v)
{
    FShowHint = v;
    if (!v)
        CancelCellHint();
}
