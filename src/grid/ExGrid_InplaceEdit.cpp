// The string grid's default text editor: the platform's inplace edit with a
// character filter per editor kind, a length limit, filtered pasting,
// validation on the keys that leave the cell, the cursor walk out at the
// edges and type-ahead completion from the grid's lookup list.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include "platform/Messages.h"
#include "widgets/ExUtil.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>

#include <algorithm>

using namespace platform;

class TExInplaceEdit : public TInplaceEdit
{
public:
    explicit TExInplaceEdit(TExStringGrid* grid) : TInplaceEdit(grid), FGrid(grid) {}

protected:
    void UpdateContents() override;
    void BoundsChanged() override;
    void Change() override;
    void KeyDown(int& key, TShiftState shift) override;
    void KeyUp(int& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void WndProc(TMessage& message) override;

private:
    void HandleChar(TMessage& m);
    void HandleKeyDown(TMessage& m);
    void HandlePaste();
    void GotFocus();
    void LostFocus(QWidget* next);
    // Runs the platform's handling of a key with the key dropped.
    void Swallow(TMessage& m);
    void AfterRefusal();
    // Validates the typed text; a refusal keeps the editor with the text and
    // the cell's text from before the edit.
    bool ValidateTyped(const QString& t);
    // The typed text goes into the cell before it is validated.
    void StoreTyped(const QString& t);
    void TakeValidatedText();
    void DoChange();
    void GrowRowForNewLine();
    void SizeToTypedText();
    bool CursorWalk(bool forward);
    int TextLen() const { return static_cast<int>(Text().size()); }

    TExStringGrid* FGrid;
    int FSelKeyDown = 0;
    int FOldSelStart = 0;
    int FLengthLimit = 0;
    bool FGotFocus = false;
    bool Workmode = true;
    int FColE = -1;
    int FRowE = -1;
    bool FAltBack = false;
    bool FSwallow = false;
    bool FMoveNoted = false;
};

TInplaceEdit* TExStringGrid::CreateEditor() { return new TExInplaceEdit(this); }

namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

void Beep() { QApplication::beep(); }

} // namespace

// ---------------------------------------------------------------------------
// Filling and placing
// ---------------------------------------------------------------------------

void TExInplaceEdit::UpdateContents()
{
    TExStringGrid& g = *FGrid;
    const bool old = g.FNoEditChange;
    g.FNoEditChange = true;
    SetPasswordChar(g.FEditControl == edPassword ? g.PasswordChar() : QChar());
    SetWordWrap(g.WordWrap());
    TInplaceEdit::UpdateContents();
    g.FNoEditChange = old;

    TGridDrawState state = 0;
    TBrush brush;
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TFont font;
    font.Assign(g.Font());
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = false;
    TCellGradientDirection gd = GradientVertical;
    g.GetVisualProperties(g.Col(), g.Row(), state, false, false, true, brush, colorTo, mirror, mirrorTo, font, ha, va,
                          ww, gd);
    SetColor(brush.Color() == clNone ? g.Color() : brush.Color());
    SetFont(font);
    SetAlignment(ha);
    FColE = g.Col();
    FRowE = g.Row();
    FLengthLimit = g.GetEditLimit();
    g.DoGetEditorProp(g.RealColIndex(g.Col()), g.Row(), nullptr);
}

void TExInplaceEdit::BoundsChanged()
{
    // Over the whole (merged) cell, leaving its grid lines.
    const TRect r = FGrid->TBaseGrid::CellRect(FColE >= 0 ? FColE : FGrid->Col(), FRowE >= 0 ? FRowE : FGrid->Row());
    if (!IsRectEmpty(r))
        setGeometry(r.Left + (isRightToLeft() ? 1 : 0), r.Top, std::max(0, r.Width() - 1), std::max(0, r.Height() - 1));
    SetTextMargins(3, 3, 2, 0);
}

void TExInplaceEdit::Change()
{
    TInplaceEdit::Change();
    if (!FGrid->FNoEditChange && FGrid->OnEditChange)
        FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), Text());
}

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------

void TExInplaceEdit::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_CHAR: HandleChar(m); return;
    case WM_KEYDOWN:
        if (static_cast<int>(m.WParam) == VK_BACK && (KeyDataShift(m.LParam) & ssAlt))
            FAltBack = true;
        HandleKeyDown(m);
        return;
    case WM_KEYUP:
        if (static_cast<int>(m.WParam) == VK_BACK)
            FAltBack = false;
        TInplaceEdit::WndProc(m);
        if (SelStart() > 0)
            FGrid->EditorCaretMoved(Text(), SelStart() - 1, SelStart());
        FGrid->SetCellSelectorMode(Text().startsWith(u'='));
        return;
    case WM_GETDLGCODE:
        TInplaceEdit::WndProc(m);
        if (FGrid->WantsTabKey())
            m.Result |= DLGC_WANTTAB;
        return;
    case WM_PASTE: HandlePaste(); return;
    case WM_COPY:
    case WM_CUT: {
        bool allow = true;
        const TClipboardEvent& event = m.Msg == WM_COPY ? FGrid->OnClipboardCopy : FGrid->OnClipboardCut;
        if (event)
            event(this, allow);
        if (allow)
            TInplaceEdit::WndProc(m);
        return;
    }
    case WM_SETFOCUS:
        TInplaceEdit::WndProc(m);
        GotFocus();
        return;
    case WM_KILLFOCUS:
        TInplaceEdit::WndProc(m);
        LostFocus(reinterpret_cast<QWidget*>(m.WParam));
        return;
    case WM_LBUTTONDBLCLK:
        TInplaceEdit::WndProc(m);
        if (FGrid->OnDblClickCell)
            FGrid->OnDblClickCell(FGrid, FGrid->Row(), FGrid->Col());
        return;
    default: TInplaceEdit::WndProc(m); return;
    }
}

void TExInplaceEdit::Swallow(TMessage& m)
{
    FSwallow = true;
    TInplaceEdit::WndProc(m);
    FSwallow = false;
}

// ---------------------------------------------------------------------------
// Focus
// ---------------------------------------------------------------------------

void TExInplaceEdit::GotFocus()
{
    TExStringGrid& g = *FGrid;
    FGotFocus = true;
    g.FNoEditChange = false;
    const int limit = g.GetEditLimit();
    SetMaxLength(limit);
    FLengthLimit = limit;
    if (!EditMask().isEmpty() && g.Navigation().ImproveMaskSel() && !g.FLButFlg) {
        SetSel(0, 1);
        return;
    }
    if (!g.Navigation().EditSelectAll())
        Deselect();
    if (g.FLButFlg) {
        const QPoint p = mapFromGlobal(QCursor::pos());
        if (rect().contains(p)) {
            const int pos = CharFromPos(Point(p.x(), p.y()));
            if (pos >= 0)
                SetSel(pos, 0);
        }
        g.FLButFlg = false;
    }
}

void TExInplaceEdit::LostFocus(QWidget* next)
{
    TExStringGrid& g = *FGrid;
    g.FStartEditChar = QChar();
    if (g.FLookupHistory && !Text().isEmpty() && !g.FLookupItems.contains(Text()))
        g.FLookupItems.append(Text());
    g.SetCellSelectorMode(false);
    // A validation that hides and shows the editor again is no end of the edit.
    if (g.FValidating || g.Destroying())
        return;
    if (!FAltBack) {
        const bool toGrid = next == FGrid || (next && FGrid->isAncestorOf(next) && next != this && !isAncestorOf(next));
        struct Hide
        {
            TExInplaceEdit* e;
            ~Hide()
            {
                TExStringGrid& g = *e->FGrid;
                g.HideInplaceEdit();
                // A refusal opened the editor again: the edit goes on.
                if (!e->isVisible()) {
                    g.FEditing = false;
                    g.FEditMode = false;
                    if (e->FColE == g.Col() && e->FRowE == g.Row())
                        g.SelectCell(e->FColE, e->FRowE);
                }
            }
        } hide{this};
        if (!toGrid && g.ValidateCell(Text()) && !isVisible()) {
            const bool old = g.FNoEditChange;
            g.FNoEditChange = true;
            SetText(g.GetEditText(g.Col(), g.Row()));
            g.FNoEditChange = old;
        }
    }
    if (isVisible())
        return;
    g.EditorCaretMoved(Text(), -1, -1);
    if (FGotFocus) {
        FGotFocus = false;
        g.DoEditingDone(g.RealColIndex(FColE), FRowE);
    }
}

// ---------------------------------------------------------------------------
// Characters
// ---------------------------------------------------------------------------

void TExInplaceEdit::HandleChar(TMessage& m)
{
    TExStringGrid& g = *FGrid;
    QChar ch(static_cast<char16_t>(m.WParam));
    const TShiftState shift = KeyDataShift(m.LParam);
    const bool ctrl = (shift & ssCtrl) != 0;
    const QChar decimal = LocaleDecimalSeparator();
    const QChar thousand = LocaleThousandSeparator();
    // 1. The keypad's decimal key gives the regional separator.
    if (g.FExcelStyleDecimalSeparator && ch == QLatin1Char('.') && (m.LParam & KeyDataNumPad))
        ch = decimal;
    // 2. Ctrl+A selects on key-down only.
    if (ch.unicode() == 1 && ctrl)
        return;
    // 3. Ctrl+Enter makes a line only where lines are wanted.
    const bool lines = g.Navigation().AllowCtrlEnter() && (g.WordWrap() || g.Multilinecells());
    if (ch.unicode() == 10 && ctrl && !lines)
        return;
    const ushort code = ch.unicode();
    const bool control = code == 8 || code == 27 || code == 13;
    // 4. A full text takes only Backspace, Escape and Enter.
    if (FLengthLimit > 0 && TextLen() >= FLengthLimit && SelLength() == 0 && !control)
        return;
    const TEditorType kind = g.FEditControl;
    auto pass = [&](QChar c) {
        m.WParam = c.unicode();
        TInplaceEdit::WndProc(m);
    };
    // 5. A line break of its own.
    const bool textKind = kind == edNormal || kind == edCapital || kind == edMixedCase || kind == edLowerCase ||
                          kind == edUpperCase || kind == edValidChars;
    if (textKind && code == 13 && g.Navigation().LineFeedOnEnter()) {
        pass(ch);
        return;
    }
    const bool basic = code == 8 || code == 9 || code == 13 || code == 27;
    // 6. The filter by kind.
    switch (kind) {
    case edNormal:
    case edPassword: pass(ch); break;
    case edNumeric:
        if (basic || IsDigit(ch)) {
            pass(ch);
        } else if (ch == QLatin1Char('-')) {
            if (!Text().contains(QLatin1Char('-')) && SelStart() == 0)
                pass(ch);
            else
                Beep();
        } else {
            Beep();
        }
        break;
    case edPositiveNumeric:
        if (basic || IsDigit(ch))
            pass(ch);
        else
            Beep();
        break;
    case edFloat:
    case edPositiveFloat: {
        const bool minusAccepted = kind == edFloat;
        const bool accepted = basic || IsDigit(ch) || ch == QLatin1Char(',') || ch == QLatin1Char('.') ||
                              (ch == QLatin1Char('-') && minusAccepted);
        if (!accepted) {
            if (ctrl)
                pass(ch);
            break;
        }
        if (!thousand.isNull() && ch == thousand && thousand != decimal)
            break;
        if (ch == decimal && Text().contains(decimal) && !SelText().contains(decimal))
            break;
        if (ch == QLatin1Char('-')) {
            const bool atStart = SelStart() == 0 && !Text().contains(QLatin1Char('-'));
            if (atStart || SelText().contains(QLatin1Char('-')))
                pass(ch);
            else
                Beep();
            break;
        }
        pass(ch);
        break;
    }
    case edCapital:
    case edUpperCase: pass(ch.toUpper()); break;
    case edLowerCase: pass(ch.toLower()); break;
    case edMixedCase: {
        pass(ch);
        if (code >= 32) {
            const int caret = SelStart();
            const QString proper = ProperCase(Text());
            if (proper != Text()) {
                SetText(proper);
                SetSel(caret, 0);
            }
        }
        break;
    }
    case edValidChars: {
        bool ok = code == 8 || code == 13;
        if (!ok) {
            if (!g.FValidChars.isEmpty())
                ok = g.FValidChars.contains(ch);
            else
                ok = code <= 255 && g.FValidCharSet.contains(ch);
        }
        if (ok)
            pass(ch);
        else
            Beep();
        break;
    }
    default: break;
    }
    // 7. A filled length moves on.
    TNavigation& nav = g.Navigation();
    if (nav.AdvanceAuto() && nav.AdvanceOnEnter() && g.MaxEditLength() > 0 && TextLen() == g.MaxEditLength() &&
        SelLength() == 0 && SelStart() == TextLen() && isVisible() && code != 13 && code != 8) {
        QChar enter(u'\r');
        g.KeyPress(enter);
    }
}

void TExInplaceEdit::KeyPress(QChar& key)
{
    TExStringGrid& g = *FGrid;
    if (key == QLatin1Char('\r') && !g.Navigation().LineFeedOnEnter()) {
        if (!g.ValidateCell(Text())) {
            const bool old = g.FNoEditChange;
            g.FNoEditChange = true;
            SetText(g.CurrentCell());
            g.FNoEditChange = old;
            key = QChar();
            return;
        }
    }
    // The grid hears every character first (its OnKeyPress, Enter moving on).
    g.KeyPress(key);
    if (key.isNull() || !isVisible())
        return;
    TInplaceEdit::KeyPress(key);
    if (key == QLatin1Char('\r') || key.isNull())
        return;
    TNavigation& nav = g.Navigation();
    if (nav.AdvanceAuto() && !EditMask().isEmpty() && !EditText().contains(QLatin1Char(' ')) &&
        SelStart() == TextLen() - 1) {
        QChar enter(u'\r');
        g.KeyPress(enter);
    }
}

// ---------------------------------------------------------------------------
// Keys going down
// ---------------------------------------------------------------------------

// The text validation left (the handler may have changed it), already in the cell.
void TExInplaceEdit::TakeValidatedText()
{
    TExStringGrid& g = *FGrid;
    if (g.FNewCellText == Text())
        return;
    const bool old = g.FNoEditChange;
    g.FNoEditChange = true;
    SetText(g.FNewCellText);
    g.FNoEditChange = old;
}

bool TExInplaceEdit::ValidateTyped(const QString& t)
{
    TExStringGrid& g = *FGrid;
    const QString oldCellText = g.FOldCellText;
    if (g.ValidateCell(t))
        return true;
    AfterRefusal();
    g.FOldCellText = oldCellText;
    return false;
}

void TExInplaceEdit::StoreTyped(const QString& t)
{
    const exgrid_detail::FlagGuard validating(FGrid->FValidating);
    FGrid->SetCurrentEditText(t);
}

void TExInplaceEdit::AfterRefusal()
{
    TExStringGrid& g = *FGrid;
    const bool old = g.FNoEditChange;
    g.FNoEditChange = true;
    if (isVisible())
        SetText(g.FNewCellText);
    g.FNoEditChange = old;
    if (g.Navigation().EditSelectAll())
        SelectAll();
    else
        Deselect();
}

void TExInplaceEdit::HandleKeyDown(TMessage& m)
{
    TExStringGrid& g = *FGrid;
    const int key = static_cast<int>(m.WParam);
    const TShiftState shift = KeyDataShift(m.LParam);
    const bool ctrl = (shift & ssCtrl) != 0, shifted = (shift & ssShift) != 0;
    TNavigation& nav = g.Navigation();
    FOldSelStart = SelStart();
    FMoveNoted = false;

    // 1. Escape gives the cell back the text it had when editing started.
    if (key == VK_ESCAPE) {
        SetText(g.FCellCache);
        g.HideInplaceEdit();
        TInplaceEdit::WndProc(m);
        return;
    }
    // 2. Ctrl+A selects all.
    if (key == 'A' && ctrl && !(shift & ssAlt)) {
        SelectAll();
        Swallow(m);
        return;
    }
    // 3. Ctrl+Enter only where lines are wanted.
    const bool lines = nav.AllowCtrlEnter() && (g.WordWrap() || g.Multilinecells());
    if (key == VK_RETURN && ctrl && !lines) {
        Swallow(m);
        return;
    }
    // The text as typed, and the cell's text before the edit.
    const QString t = Text();
    // 5. Tab validates and leaves.
    if (key == VK_TAB && g.WantsTabKey()) {
        if (!ValidateTyped(t)) {
            Swallow(m);
            return;
        }
        TakeValidatedText();
        g.HideInplaceEdit();
        Swallow(m);
        if (g.Options() & goTabs)
            g.TabMove(shifted);
        else
            PostMessage(&g, WM_KEYDOWN, VK_TAB, shift);
        return;
    }
    // 6. The Shift cursor walk out of the text.
    if (nav.CursorWalkEditor() && shifted && SelLength() == 0 &&
        ((key == VK_LEFT && SelStart() == 0) || (key == VK_RIGHT && SelStart() == TextLen()))) {
        StoreTyped(t);
        if (ValidateTyped(t)) {
            g.HideInplaceEdit();
            g.setFocus(Qt::OtherFocusReason);
        } else {
            update();
        }
        Swallow(m);
        return;
    }
    // 7. Up and Down at the first and last line leave the cell.
    if ((key == VK_UP && LineFromChar(-1) == 0) || (key == VK_DOWN && LineFromChar(-1) >= LineCount() - 1)) {
        StoreTyped(t);
        if (!ValidateTyped(t)) {
            Swallow(m);
            return;
        }
        TakeValidatedText();
        FMoveNoted = true;
    }
    // 8. Enter validates.
    if (key == VK_RETURN && !nav.LineFeedOnEnter() && !ctrl) {
        if (!ValidateTyped(t)) {
            Swallow(m);
            return;
        }
        TakeValidatedText();
    }
    // 9. Home and End inside the text.
    if (key == VK_HOME && !ctrl && !shifted) {
        SetSel(0, 0);
        Swallow(m);
        return;
    }
    if (key == VK_END && !ctrl && !shifted) {
        SetSel(TextLen(), 0);
        Swallow(m);
        return;
    }
    // 10. A line break on Ctrl+Enter, else the platform's handling.
    if (key == VK_RETURN && ctrl && nav.LineFeedOnEnter()) {
        QChar enter(u'\r');
        TInplaceEdit::KeyPress(enter);
        TMessage c{WM_CHAR, 13, 0, 0};
        TInplaceEdit::WndProc(c);
        Swallow(m);
        return;
    }
    const bool moved = FMoveNoted;
    TInplaceEdit::WndProc(m);
    if (moved && g.MouseActions().DisjunctRowSelect()) {
        g.ClearRowSelect();
        g.SetRowSelect(g.Row(), true);
    }
}

void TExInplaceEdit::KeyDown(int& key, TShiftState shift)
{
    if (FSwallow) {
        key = 0;
        return;
    }
    TExStringGrid& g = *FGrid;
    FSelKeyDown = SelStart();
    Workmode = key != VK_BACK && key != VK_DELETE;
    if (key == VK_RETURN && !g.Navigation().AllowCtrlEnter() && (g.WordWrap() || g.Multilinecells()))
        g.FEditing = false;
    if (key == VK_RETURN && (shift & (ssShift | ssCtrl)) && g.SizeWhileTyping().Height() && g.Multilinecells())
        GrowRowForNewLine();
    // Lines inside the text stay inside the editor.
    if ((key == VK_UP && LineFromChar(-1) > 0) || (key == VK_DOWN && LineFromChar(-1) < LineCount() - 1)) {
        TCustomControl::KeyDown(key, shift);
        return;
    }
    TInplaceEdit::KeyDown(key, shift);
}

bool TExInplaceEdit::CursorWalk(bool forward)
{
    TExStringGrid& g = *FGrid;
    const int col = g.Col(), row = g.Row();
    const int fixedCols = g.TBaseGrid::FixedCols();
    const int lastCol = g.ColCount() - g.FixedRightCols() - 1;
    int next = -1;
    if (forward) {
        const TPoint span = g.CellSpan(g.RealColIndex(col), row);
        next = col + std::max(0, span.X) + 1;
        if (next > lastCol)
            next = -1;
    } else if (col > fixedCols) {
        next = col - 1;
    }
    // A refusal keeps the editor on the cell with the typed text, as Enter does.
    if (!ValidateTyped(Text()))
        return false;
    if (next >= 0 && g.HasClickableControl(g.RealColIndex(next), row)) {
        g.HideInplaceEdit();
        g.SetCol(next);
        return true;
    }
    g.HideInplaceEdit();
    const TAdvanceDirection old = g.Navigation().AdvanceDirection();
    g.Navigation().SetAdvanceDirection(adLeftRight);
    g.AdvanceToNextCell(col, row, true, false, forward, false, false);
    g.Navigation().SetAdvanceDirection(old);
    return true;
}

void TExInplaceEdit::KeyUp(int& key, TShiftState shift)
{
    TExStringGrid& g = *FGrid;
    TNavigation& nav = g.Navigation();
    const bool plain = !(shift & ssShift);
    if (nav.CursorWalkEditor() && plain && SelLength() == 0 &&
        ((key == VK_LEFT && FSelKeyDown == 0 && SelStart() == 0) ||
         (key == VK_RIGHT && FSelKeyDown == TextLen() && SelStart() == TextLen()))) {
        const bool forward = key == VK_RIGHT;
        key = 0;
        if (!CursorWalk(forward))
            return;
        if (nav.CursorWalkAlwaysEdit()) {
            if (!g.FEditMode && g.IsEditable(g.Col(), g.Row()))
                g.ShowInplaceEdit();
        } else {
            g.HideInplaceEdit();
        }
        return;
    }
    TInplaceEdit::KeyUp(key, shift);
    DoChange();
    SizeToTypedText();
}

// ---------------------------------------------------------------------------
// Size while typing
// ---------------------------------------------------------------------------

void TExInplaceEdit::GrowRowForNewLine()
{
    TExStringGrid& g = *FGrid;
    const int row = g.Row();
    const int lines = CountTextLines(Text() + QStringLiteral("\r\n"), true);
    int most = 1;
    for (int c = 0; c < g.ColCount(); ++c)
        most = std::max(most, g.GetLinesInCell(g.RealColIndex(c), row));
    TColumnSize& size = g.ColumnSize();
    const bool synch = size.SynchWithGrid();
    size.SetSynchWithGrid(false);
    if (lines < most)
        g.AutoSizeRow(row);
    else
        g.SetRowHeights(row, g.LineCountHeight(row, 0, lines));
    size.SetSynchWithGrid(synch);
    if (g.OnEndRowSize)
        g.OnEndRowSize(&g, row);
}

void TExInplaceEdit::SizeToTypedText()
{
    TExStringGrid& g = *FGrid;
    if (!isVisible())
        return;
    // The cell holds the typed text already; a column only ever widens here.
    if (g.SizeWhileTyping().Width())
        g.FitColumnWidth(g.Col(), true);
    if (g.SizeWhileTyping().Height() && g.WordWrap()) {
        TColumnSize& size = g.ColumnSize();
        const bool synch = size.SynchWithGrid();
        size.SetSynchWithGrid(false);
        g.AutoSizeRow(g.Row());
        size.SetSynchWithGrid(synch);
        if (g.OnEndRowSize)
            g.OnEndRowSize(&g, g.Row());
    }
}

// ---------------------------------------------------------------------------
// Type-ahead completion
// ---------------------------------------------------------------------------

void TExInplaceEdit::DoChange()
{
    TExStringGrid& g = *FGrid;
    if (!Workmode || SelLength() > 0 || !g.FLookup || g.FLookupItems.isEmpty() || !isVisible())
        return;
    const int caret = SelStart();
    const QString typed = Text().left(caret);
    if (typed.isEmpty())
        return;
    const Qt::CaseSensitivity cs = g.FLookupCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (const QString& item : g.FLookupItems) {
        if (!item.startsWith(typed, cs))
            continue;
        const QString completed = typed + item.mid(typed.size(), 255);
        if (completed != Text())
            SetText(completed);
        SetSel(static_cast<int>(typed.size()), static_cast<int>(completed.size() - typed.size()));
        return;
    }
}

// ---------------------------------------------------------------------------
// Pasting
// ---------------------------------------------------------------------------

void TExInplaceEdit::HandlePaste()
{
    TExStringGrid& g = *FGrid;
    const QString clip = QGuiApplication::clipboard()->text();
    bool allow = !clip.isNull() && !clip.isEmpty();
    QString v = clip;
    if (allow && g.OnClipboardPaste)
        g.OnClipboardPaste(this, allow);
    if (allow && g.OnClipboardBeforePasteCell)
        g.OnClipboardBeforePasteCell(this, g.Col(), g.Row(), v, allow);
    if (!allow)
        return;
    if (FLengthLimit > 0 && v.size() > FLengthLimit)
        return;
    const qsizetype br = v.indexOf(QLatin1String("\r\n"));
    if (br >= 0 && br == v.size() - 2)
        v.chop(2);
    const int start = SelStart(), length = SelLength();
    const QString text = Text();
    QString n = text.left(start) + v + text.mid(start + length);
    if (FLengthLimit > 0 && n.size() > FLengthLimit)
        return;
    const int kindOf = NumberKind(n);
    switch (g.FEditControl) {
    case edNumeric:
    case edPositiveNumeric:
        if (kindOf != 0 || (g.FEditControl == edPositiveNumeric && n.contains(QLatin1Char('-'))))
            return;
        break;
    case edFloat:
    case edPositiveFloat:
        if ((kindOf != 0 && kindOf != 1) || (g.FEditControl == edPositiveFloat && n.contains(QLatin1Char('-'))))
            return;
        break;
    case edMixedCase: n = ProperCase(n); break;
    case edLowerCase: n = n.toLower(); break;
    case edUpperCase: n = n.toUpper(); break;
    case edValidChars:
        for (QChar c : n)
            if (!g.FValidChars.contains(c))
                return;
        break;
    default: break;
    }
    SetText(n);
    g.SetCurrentEditText(Text());
    if (length > 0)
        SetSel(start, static_cast<int>(v.size()));
    else
        SetSel(start + static_cast<int>(v.size()), 0);
    if (g.OnClipboardAfterPasteCell)
        g.OnClipboardAfterPasteCell(this, g.Col(), g.Row(), Text());
}
