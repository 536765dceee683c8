// The custom editor link (edCustom) and the grid's rich edit (edRichEdit):
// the link's own key handling, and how the grid shows and commits both.
#include "grid/ExGrid_EditLink.h"

#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include "platform/Messages.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

using namespace platform;

// ---------------------------------------------------------------------------
// TEditLink
// ---------------------------------------------------------------------------

TEditLink::TEditLink(QObject* owner) : QObject(owner) {}

TEditLink::~TEditLink()
{
    // The popup form is the application's; it goes with the link.
    delete FPopupForm.data();
}

QWidget* TEditLink::GetEditControl() { return nullptr; }
void TEditLink::CreateEditor(QWidget*) {}
void TEditLink::DestroyEditor() {}
void TEditLink::SetProperties() {}
void TEditLink::SetCellProps(TColor, const TFont&) {}
QString TEditLink::GetEditorValue() { return QString(); }
void TEditLink::SetEditorValue(const QString&) {}

void TEditLink::SetRect(const TRect& r)
{
    QWidget* c = GetEditControl();
    if (!c)
        return;
    const int line = FOwner ? FOwner->GridLineWidth() : 0;
    c->setGeometry(r.Left, r.Top, std::max(0, r.Right - r.Left - line), std::max(0, r.Bottom - r.Top - line));
}

void TEditLink::SetVisible(bool value)
{
    if (QWidget* c = GetEditControl())
        c->setVisible(value);
}

void TEditLink::SetFocus(bool value)
{
    QWidget* c = GetEditControl();
    if (value && c) {
        if (!c->isVisible())
            c->show();
        if (!c->isEnabled())
            c->setEnabled(true);
        // Routed through the grid: Tab reaches the link while the grid has goTabs.
        if (FEditStyle == esInplace && !FSubClassed) {
            FRouted = c;
            c->installEventFilter(this);
            FSubClassed = true;
        }
    }
    if (value && c) {
        c->raise();
        c->setFocus(Qt::OtherFocusReason);
    } else if (!value && FOwner && FOwner->isVisible()) {
        FOwner->setFocus(Qt::OtherFocusReason);
    }
}

void TEditLink::RestoreWinProc()
{
    if (FEditStyle != esInplace)
        return;
    QWidget* c = GetEditControl();
    if (!c)
        return;
    if (FRouted)
        FRouted->removeEventFilter(this);
    FRouted = nullptr;
    FSubClassed = false;
    c->hide();
}

bool TEditLink::eventFilter(QObject* watched, QEvent* event)
{
    // What the grid's procedure for link controls adds: with goTabs the
    // control takes Tab (and Shift+Tab) instead of the dialog moving on.
    if (watched == FRouted && FSubClassed && FOwner && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        const bool tab = ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab;
        if (tab && (FOwner->Options() & goTabs) && !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            int key = VK_TAB;
            const TShiftState shift = ke->key() == Qt::Key_Backtab ? ssShift : ShiftStateFromQt(ke->modifiers());
            RunGuarded([&] { EditKeyDown(watched, key, shift); });
            return true;
        }
        // A key the control leaves alone stays with it: the grid under it
        // hears only what the link hands on.
        QPointer<QObject> alive(watched);
        watched->event(event);
        if (alive)
            event->accept();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QWidget* TEditLink::GetParent()
{
    if (FEditStyle == esPopup && FPopupForm)
        return FPopupForm.data();
    return FOwner ? FOwner->ClientSurface() : nullptr;
}

QString TEditLink::GetCellValue()
{
    if (!FOwner)
        return QString();
    return FOwner->GetCellEx(FOwner->RealColIndex(FOwner->Col()), FOwner->Row());
}

void TEditLink::SetCellValue(const QString& s)
{
    if (FOwner)
        FOwner->StoreEditorValue(FOwner->Col(), FOwner->Row(), s);
}

void TEditLink::HideEditor()
{
    if (!FOwner)
        return;
    // The commit of the grid stores the value (once) and restores the routing.
    FOwner->HideInplaceEdit();
    RestoreWinProc();
}

void TEditLink::EditExit(QObject*)
{
    // The key handling moves the focus itself and has committed already.
    if (FForcedExit || !FOwner || !FOwner->EditMode() || FOwner->EditControl() != edCustom)
        return;
    HideEditor();
    if (FEditStyle == esPopup && FPopupForm) {
        DestroyEditor();
        FPopupForm->hide();
    }
}

void TEditLink::FormExit(QObject* sender)
{
    if (!FOwner)
        return;
    if (FForcedExit) {
        SetCellValue(GetEditorValue());
        return;
    }
    exgrid_detail::FlagGuard invoked(FOwner->InvokedFocusChange);
    EditExit(sender);
}

void TEditLink::EditKeyDown(QObject*, int& key, TShiftState shift)
{
    TExStringGrid* g = FOwner;
    if (!g)
        return;
    const bool leaves = key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_PRIOR ||
                        key == VK_NEXT || key == VK_END || key == VK_LEFT || key == VK_RIGHT || key == VK_UP ||
                        key == VK_DOWN || (shift & ssAlt);
    if (!leaves)
        return;
    if (((key == VK_UP || key == VK_DOWN) && FWantKeyUpDown) ||
        ((key == VK_LEFT || key == VK_RIGHT) && FWantKeyLeftRight) ||
        ((key == VK_END || key == VK_HOME) && FWantKeyHomeEnd) ||
        ((key == VK_PRIOR || key == VK_NEXT) && FWantKeyPriorNext) || (key == VK_RETURN && FWantKeyReturn) ||
        (key == VK_ESCAPE && FWantKeyEscape) || (key == VK_TAB && FWantTabs))
        return;

    const int k = key;
    QPointer<TExStringGrid> guard(g);
    const exgrid_detail::ScopeExit clearForced{[this] { FForcedExit = false; }};
    exgrid_detail::FlagGuard block(g->FBlockFocus);
    // The commit hands the focus to the grid before the control goes, as
    // the other editors do; the control's exit then has nothing to do.
    auto commit = [&] {
        FForcedExit = true;
        if (g->EditMode())
            g->HideInplaceEdit();
        else
            g->SelectCell(g->Col(), g->Row());
    };
    auto gridFocus = [&] {
        FForcedExit = true;
        if (g->isVisible() && !g->hasFocus())
            g->setFocus(Qt::OtherFocusReason);
    };

    if (k == VK_TAB) {
        key = 0;
        if (g->Navigation().TabToNextAtEnd()) {
            commit();
            if (!guard)
                return;
            gridFocus();
            const bool inside = g->TabMove(shift & ssShift);
            const TPoint base = g->BaseCell(g->RealColIndex(g->Col()), g->Row());
            if (inside && !g->HasClickableControl(base.X, base.Y)) {
                PostMessage(g, WM_KEYDOWN, VK_F2, 0);
                return;
            }
        }
    }
    if (k == VK_ESCAPE)
        SetEditorValue(g->FCellCache);

    // Commit, then the cell-change rules (validation) for the current cell.
    commit();
    if (!guard)
        return;
    if (FEditStyle == esPopup && FPopupForm) {
        DestroyEditor();
        FPopupForm->hide();
    }

    if (g->FLastValidation) {
        if (k == VK_RETURN) {
            g->AdvanceToNextCell(g->Col(), g->Row(), false, true, !(shift & ssShift), false, true);
            key = 0;
        } else if (k == VK_ESCAPE) {
            key = 0;
        } else if (k == VK_LEFT || k == VK_RIGHT || k == VK_UP || k == VK_DOWN) {
            int gk = k;
            g->GridKeyDown(gk, shift);
            key = 0;
        }
        if (k != VK_RETURN && k != VK_ESCAPE) {
            if (QWidget* c = GetEditControl())
                c->setEnabled(false);
            gridFocus();
        }
    } else {
        // Refused: the link opens again on the cell (unless validation did).
        g->FLastValidation = true;
        key = 0;
        if (!g->EditMode())
            g->ShowInplaceEdit();
    }
}

// ---------------------------------------------------------------------------
// The grid's side of the link
// ---------------------------------------------------------------------------

TEditLink* TExStringGrid::EditLink() const { return static_cast<TEditLink*>(FEditLink.data()); }

void TExStringGrid::SetEditLink(TEditLink* link) { FEditLink = link; }

void TExStringGrid::ShowLinkEditor(int aCol, int aRow, const TRect& r, TColor color, const TFont& font,
                                   const QString& text, QChar startChar)
{
    TEditLink* link = EditLink();
    FEditMode = true;
    link->FOwner = this;
    link->FEditCell = Point(aCol, aRow);
    link->FForcedExit = false;
    // Cell rectangles are in the client surface's coordinates.
    QWidget* parent = ClientSurface();
    if (link->FEditStyle == esPopup) {
        if (link->FAutoPopupWidth)
            link->FPopupWidth = r.Right - r.Left;
        if (!link->FPopupForm) {
            // One popup form of that name in the application at a time.
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("gridform"))
                    w->deleteLater();
            auto* form = new TForm(nullptr);
            form->setObjectName(QStringLiteral("gridform"));
            form->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
            link->FPopupForm = form;
            QPointer<TEditLink> owner(link);
            QObject::connect(qApp, &QApplication::focusChanged, form, [owner, form](QWidget* old, QWidget* now) {
                // Deactivation: the focus went from inside the form to outside it.
                if (owner && old && form->isAncestorOf(old) && !(now && form->isAncestorOf(now)) &&
                    form->isVisible())
                    RunGuarded([&] { owner->FormExit(form); });
            });
        }
        QPoint at = ClientSurface()->mapToGlobal(QPoint(r.Left, r.Top));
        if (link->FPopupLeft != -1 && link->FPopupTop != -1)
            at = QPoint(link->FPopupLeft, link->FPopupTop);
        link->FPopupForm->move(at);
        link->FPopupForm->resize(std::max(1, link->FPopupWidth), std::max(1, link->FPopupHeight));
        link->FPopupForm->show();
        parent = link->FPopupForm.data();
    }
    link->CreateEditor(parent);
    if (link->FEditStyle == esPopup)
        link->SetRect(Rect(0, 0, link->FPopupWidth, link->FPopupHeight));
    else
        link->SetRect(r);
    link->SetVisible(true);
    link->SetCellProps(color, font);
    link->SetProperties();
    DoGetEditorProp(RealColIndex(aCol), aRow, link);
    link->SetEditorValue(text);
    link->SetFocus(true);
    FEditActive = true;
    QWidget* control = link->GetEditControl();
    if (control && !startChar.isNull())
        QCoreApplication::postEvent(control,
                                    new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(startChar)));
    FEditCtrl = control;
}

void TExStringGrid::CommitLinkEditor()
{
    if (FControlLook->DropDownAlwaysVisible())
        QueryEditorType(RealColIndex(Col()), Row(), FEditControl);
    TEditLink* link = EditLink();
    if (!link || !FEditMode) {
        FEditMode = false;
        return;
    }
    // The grid takes the focus first, so that the control's exit does not commit again.
    const bool forced = link->FForcedExit;
    link->FForcedExit = true;
    QWidget* control = link->GetEditControl();
    if (control && (control->hasFocus() || control->isAncestorOf(QApplication::focusWidget())) && isVisible())
        setFocus(Qt::OtherFocusReason);
    StoreEditorValue(Col(), Row(), link->GetEditorValue());
    if (link->FEditStyle != esPopup)
        link->SetVisible(false);
    link->RestoreWinProc();
    link->FForcedExit = forced;
    FEditMode = false;
}

// ---------------------------------------------------------------------------
// TExRichEdit
// ---------------------------------------------------------------------------

TExRichEdit::TExRichEdit(TExStringGrid* grid) : TRichEdit(grid->ClientSurface()), FGrid(grid)
{
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            [this] { RunGuarded([this] { RequestResize(); }); });
}

namespace {
void SetSelOffset(QTextEdit& edit, QTextCharFormat::VerticalAlignment a)
{
    QTextCharFormat f;
    f.setVerticalAlignment(a);
    edit.mergeCurrentCharFormat(f);
}

QTextCharFormat::VerticalAlignment SelOffset(const QTextEdit& edit)
{
    QTextCursor c = edit.textCursor();
    // The format of the selection is that of its first character.
    if (c.hasSelection()) {
        QTextCursor first(edit.document());
        first.setPosition(std::min(c.position(), c.anchor()) + 1);
        return first.charFormat().verticalAlignment();
    }
    return c.charFormat().verticalAlignment();
}
} // namespace

void TExRichEdit::SelNormal() { SetSelOffset(*this, QTextCharFormat::AlignNormal); }
void TExRichEdit::SelSubscript() { SetSelOffset(*this, QTextCharFormat::AlignSubScript); }
void TExRichEdit::SelSuperscript() { SetSelOffset(*this, QTextCharFormat::AlignSuperScript); }
bool TExRichEdit::IsSelNormal() const { return SelOffset(*this) == QTextCharFormat::AlignNormal; }
bool TExRichEdit::IsSelSubscript() const { return SelOffset(*this) == QTextCharFormat::AlignSubScript; }
bool TExRichEdit::IsSelSuperscript() const { return SelOffset(*this) == QTextCharFormat::AlignSuperScript; }

void TExRichEdit::ReCreate()
{
    hide();
    setEnabled(true);
}

bool TExRichEdit::event(QEvent* e)
{
    // The rich edit keeps Tab: the key handling below decides where it goes.
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if ((ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) &&
            !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(ke);
            return true;
        }
    }
    return TRichEdit::event(e);
}

void TExRichEdit::keyPressEvent(QKeyEvent* e)
{
    const int qk = e->key();
    const bool tab = qk == Qt::Key_Tab || qk == Qt::Key_Backtab;
    TExStringGrid* g = FGrid;
    if (!FInplace || !g) {
        TRichEdit::keyPressEvent(e);
        return;
    }
    RunGuarded([&] {
        if (tab && (g->Options() & goTabs)) {
            g->setFocus(Qt::OtherFocusReason);
            int key = VK_TAB;
            g->GridKeyDown(key, qk == Qt::Key_Backtab ? ssShift : ShiftStateFromQt(e->modifiers()));
            g->ShowInplaceEdit();
            return;
        }
        if (tab)
            return;
        if ((qk == Qt::Key_Up || qk == Qt::Key_Down) && !g->WordWrap() && !g->Multilinecells()) {
            g->setFocus(Qt::OtherFocusReason);
            // The focus loss ends the edit; when the platform kept the focus
            // inside the grid's surface, it ends here.
            if (g->EditMode() && g->EditControl() == edRichEdit)
                g->HideInplaceEdit();
            int key = qk == Qt::Key_Up ? VK_UP : VK_DOWN;
            g->GridKeyDown(key, ShiftStateFromQt(e->modifiers()));
            return;
        }
        TRichEdit::keyPressEvent(e);
    });
}

void TExRichEdit::focusOutEvent(QFocusEvent* e)
{
    TExStringGrid* g = FGrid;
    QWidget* now = QApplication::focusWidget();
    if (FInplace && g && !g->InvokedFocusChange && isVisible() && g->EditMode() && g->EditControl() == edRichEdit &&
        now && now != this && (now == g || g->isAncestorOf(now)))
        RunGuarded([g] { g->HideInplaceEdit(); });
    TRichEdit::focusOutEvent(e);
}

void TExRichEdit::RequestResize()
{
    const QSizeF size = document()->size();
    const int reqW = static_cast<int>(size.width() + 0.5);
    const int reqH = static_cast<int>(size.height() + 0.5);
    if (!FInplace) {
        FReqWidth = reqW;
        FReqHeight = reqH;
        return;
    }
    TExStringGrid* g = FGrid;
    if (!g || FLocked || !g->SizeWhileTyping().Height() || !isVisible())
        return;
    const int row = g->Row();
    const TRect cell = g->TBaseGrid::CellRect(g->Col(), row);
    // Grows with the text, never past the grid's visible height.
    if (g->RowHeights(row) < reqH + 5 && cell.Top + reqH + 5 < g->ClientHeight()) {
        setFixedHeight(reqH + 9);
        g->SetRowHeights(row, reqH + 10);
        if (g->OnEndRowSize)
            g->OnEndRowSize(g, row);
    }
}

// ---------------------------------------------------------------------------
// The grid's side of the rich edit
// ---------------------------------------------------------------------------

TExRichEdit* TExStringGrid::RichEdit()
{
    if (!FRichEdit) {
        FRichEdit = new TExRichEdit(this);
        FRichEdit->setGeometry(0, 0, 0, 0);
        FRichEdit->hide();
    }
    return FRichEdit;
}

TExRichEdit* TExStringGrid::InplaceRichEdit()
{
    if (!FInplaceRichEdit) {
        FInplaceRichEdit = new TExRichEdit(this);
        FInplaceRichEdit->SetInplace(true);
        FInplaceRichEdit->hide();
        FInplaceRichEdit->OnSelectionChange = [this](QObject*) {
            if (OnRichEditSelectionChange)
                OnRichEditSelectionChange(this);
        };
    }
    return FInplaceRichEdit;
}

void TExStringGrid::ShowRichEditor(int aCol, int aRow, const TRect& r, TColor color, const TFont& font,
                                   QChar startChar)
{
    TExRichEdit* edit = InplaceRichEdit();
    edit->ReCreate();
    const int realCol = RealColIndex(aCol);
    DoGetEditorProp(realCol, aRow, edit);
    edit->SetLocked(true);
    CellToRich(realCol, aRow, *edit);
    if (FNavigation->EditSelectAll())
        edit->selectAll();
    edit->document()->setDocumentMargin(2);
    ShowEditorControl(edit, r, r.Right - r.Left - 1, r.Bottom - r.Top - 1, color, font);
    if (!startChar.isNull())
        QCoreApplication::postEvent(edit, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(startChar)));
    edit->SetLocked(false);
}

void TExStringGrid::CommitRichEditor()
{
    TExRichEdit* edit = FInplaceRichEdit;
    if (!edit || !FEditMode) {
        FEditMode = false;
        return;
    }
    if (edit->hasFocus() && isVisible())
        setFocus(Qt::OtherFocusReason);
    const QString value = RichToString(*edit);
    edit->hide();
    edit->setEnabled(false);
    StoreEditorValue(Col(), Row(), value);
    FEditMode = false;
}
