#include "grid/ExGrid_Editors.h"

#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <stdexcept>

using namespace platform;

namespace {

QWidget* SurfaceOf(TExStringGrid* grid)
{
    if (!grid)
        throw std::invalid_argument("The grid's editor needs its grid");
    return grid->ClientSurface();
}

bool PlainShift(TShiftState shift) { return !(shift & (ssShift | ssAlt | ssCtrl)); }

} // namespace

// ------------------------------------------------------------------ TGridCombo

TGridCombo::TGridCombo(TExStringGrid* grid) : TEsgComboBox(SurfaceOf(grid)), FGrid(grid)
{
    WorkMode = true;
    ItemChange = false;
    SetButtonWidth(16);
    hide();
}

int TGridCombo::ItemTextWidth(const QString& text) { return FGrid->Canvas().TextWidth(text); }

void TGridCombo::SizeDropDownWidth()
{
    int w = Width();
    // With more items than show at once a scroll bar takes room.
    const bool scrolls = ItemCount() > DropDownCount();
    for (int i = 0; i < ItemCount(); ++i) {
        const int t = ItemTextWidth(ItemText(i));
        if (scrolls) {
            if (t > w - 25)
                w = t + 25;
        } else if (t > w - 5) {
            w = t + 8;
        }
    }
    SetDroppedWidth(w);
}

bool TGridCombo::WriteAndValidate()
{
    // A pick list with no item chosen gives nothing: the cell keeps its text.
    if (Style() == csDropDownList && ItemIndex() < 0)
        return FGrid->ValidateCell(FGrid->CurrentCell());
    const QString text = Text();
    FGrid->SetCurrentCell(text);
    return FGrid->ValidateCell(text);
}

void TGridCombo::TakeCellText()
{
    const QString cell = FGrid->CurrentCell();
    if (Style() == csDropDownList)
        SetItemIndex(IndexOf(cell));
    else
        SetText(cell);
}

// The platform turns Enter, Escape and Tab into characters as well, queued
// behind the key-down: they come even when the key-down took the key, so
// that OnKeyPress and OnReturnKey see them.
void TGridCombo::KeyDown(int& key, TShiftState shift)
{
    const int original = key;
    selKeyDown_ = SelStart();
    selLenKeyDown_ = SelLength();
    KeyDownSteps(key, shift);
    if (key == 0) {
        const char16_t ch = original == VK_RETURN ? u'\r' : original == VK_ESCAPE ? 27 : original == VK_TAB ? u'\t' : 0;
        if (ch)
            PostMessage(this, WM_CHAR, ch, static_cast<std::intptr_t>(shift));
    }
}

void TGridCombo::KeyDownSteps(int& key, TShiftState shift)
{
    TExStringGrid& g = *FGrid;
    TNavigation& nav = g.Navigation();
    Forced = false;
    WorkMode = key != VK_BACK && key != VK_DELETE;
    keyEndedEdit_ = false;

    const bool dropped = Style() == csDropDownList || DroppedDown();
    bool handled = false;
    switch (key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE: handled = true; break;
    case VK_LEFT:
    case VK_RIGHT: handled = dropped; break;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_UP:
    case VK_DOWN: handled = !dropped; break;
    default: break;
    }
    const bool altDown = key == VK_DOWN && (shift & ssAlt);
    if (altDown)
        handled = false;

    // Up and Down belong to the grid: it moves its current row. The key
    // ends here; going on would write this editor's text into the row the
    // grid moved to and move a second time.
    if ((key == VK_UP || key == VK_DOWN) && !altDown && !nav.ComboGetUpDown() && !DroppedDown()) {
        g.HideInplaceEdit();
        {
            const bool always = nav.AlwaysEdit();
            nav.SetAlwaysEdit(false);
            g.SetFocus();
            nav.SetAlwaysEdit(always);
        }
        int k = key;
        g.GridKeyDown(k, shift);
        key = 0;
        keyEndedEdit_ = true;
        return;
    }

    if (!handled) {
        TEsgComboBox::KeyDown(key, shift);
        return;
    }

    if (key == VK_ESCAPE) {
        SetText(g.CurrentCell());
        g.HideInplaceEdit();
        g.SetFocus();
    }

    if (key == VK_RETURN || key == VK_UP || key == VK_DOWN) {
        if (!WriteAndValidate()) {
            SetText(g.NewCellText());
            if (Style() != csDropDownList)
                SelectAll();
            Invalidate();
            key = 0;
            g.SetNoAutoAdvance(true);
            return;
        }
        TakeCellText();
    }

    if (key == VK_TAB && g.WantsTabKey()) {
        if (!WriteAndValidate()) {
            SetText(g.NewCellText());
            SetSel(static_cast<int>(Text().size()), 0);
            Invalidate();
            key = 0;
            return;
        }
        TakeCellText();
        if (g.Options() & goTabs) {
            g.HideInplaceEdit();
            g.SetFocus();
            g.TabMove((shift & ssShift) != 0);
            key = 0;
            keyEndedEdit_ = true;
            return;
        }
        // The form's focus handling moves on, as for a Tab typed on the grid.
        QCoreApplication::postEvent(&g, new QKeyEvent(QEvent::KeyPress, (shift & ssShift) ? Qt::Key_Backtab : Qt::Key_Tab,
                                                      (shift & ssShift) ? Qt::ShiftModifier : Qt::NoModifier));
    }

    if (dropped) {
        {
            TMouseActions& ma = g.MouseActions();
            const bool direct = ma.DirectComboClose();
            ma.SetDirectComboClose(false);
            g.HideInplaceEdit();
            ma.SetDirectComboClose(direct);
        }
        if (key == VK_LEFT || key == VK_RIGHT) {
            int k = key;
            g.GridKeyDown(k, shift);
        }
        switch (key) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: key = 0; break;
        default: break;
        }
    } else if (key == VK_END) {
        TEsgComboBox::KeyDown(key, shift);
        return;
    }

    g.DoneInplaceEdit(key, shift);
    if (nav.AdvanceOnEnter() && nav.AdvanceAutoEdit())
        g.ShowInplaceEdit();
    key = 0;
    keyEndedEdit_ = true;
}

void TGridCombo::CursorWalk(bool forward)
{
    TExStringGrid& g = *FGrid;
    TNavigation& nav = g.Navigation();
    const int col = g.Col(), row = g.Row();
    int neighbour = -1;
    if (!forward) {
        if (col > g.TBaseGrid::FixedCols())
            neighbour = col - 1;
    } else if (col < g.ColCount() - g.FixedRightCols() - 1) {
        neighbour = col + std::max(0, g.CellSpan(g.RealColIndex(col), row).X) + 1;
        if (neighbour >= g.ColCount())
            neighbour = -1;
    }
    if (neighbour >= 0 && g.HasClickableControl(g.RealColIndex(neighbour), row)) {
        if (g.ValidateCell(Text())) {
            g.HideInplaceEdit();
            g.SetCol(neighbour);
        }
        return;
    }
    g.SetFocus();
    const TAdvanceDirection direction = nav.AdvanceDirection();
    nav.SetAdvanceDirection(adLeftRight);
    g.AdvanceToNextCell(col, row, true, false, forward, false, false);
    nav.SetAdvanceDirection(direction);
    if (nav.CursorWalkAlwaysEdit())
        g.ShowInplaceEdit();
}

void TGridCombo::KeyUp(int& key, TShiftState shift)
{
    TExStringGrid& g = *FGrid;
    // A key whose key-down ended the edit has nothing left to do here: the
    // editor may already show the next cell's text.
    const bool ended = keyEndedEdit_;
    keyEndedEdit_ = false;
    bool walked = false;
    if (!ended && Style() == csDropDown && g.Navigation().CursorWalkEditor() && PlainShift(shift) &&
        SelLength() == 0 && selLenKeyDown_ == 0) {
        if (key == VK_LEFT && SelStart() == 0 && selKeyDown_ == 0) {
            key = 0;
            walked = true;
            CursorWalk(false);
        } else if (key == VK_RIGHT && SelStart() == Text().size() && selKeyDown_ == Text().size()) {
            key = 0;
            walked = true;
            CursorWalk(true);
        }
    }
    g.SetNoAutoAdvance(false);
    if (key != VK_RETURN && key != 0)
        TEsgComboBox::KeyUp(key, shift);
    if (!ended && !walked && WorkMode && g.Lookup())
        DoChange();
}

void TGridCombo::NotifyGrid(int code)
{
    SendMessage(FGrid, WM_COMMAND, MakeWParam(0, code), reinterpret_cast<std::intptr_t>(static_cast<QObject*>(this)));
}

void TGridCombo::DropDown()
{
    TEsgComboBox::DropDown();
    NotifyGrid(CBN_DROPDOWN);
}

void TGridCombo::CloseUp()
{
    TEsgComboBox::CloseUp();
    NotifyGrid(CBN_CLOSEUP);
}

void TGridCombo::Select()
{
    TEsgComboBox::Select();
    if (!inChar_)
        NotifyGrid(CBN_SELCHANGE);
}

void TGridCombo::DoChange()
{
    const QString text = Text();
    const QString typed = text.left(SelStart());
    if (typed.isEmpty())
        return;
    const bool caseSensitive = FGrid->LookupCaseSensitive();
    const QLocale locale;
    const QString prefix = caseSensitive ? typed : locale.toUpper(typed);
    auto begins = [&](const QString& item) {
        return (caseSensitive ? item : locale.toUpper(item)).startsWith(prefix);
    };
    auto complete = [&](const QString& item) { return typed + item.mid(typed.size(), 255); };
    for (int i = 0; i < ItemCount(); ++i) {
        const QString item = ItemText(i);
        if (!begins(item))
            continue;
        SetText(complete(item));
        // Choosing the item shows the item as the list has it.
        SetItemIndex(i);
        SetSel(static_cast<int>(typed.size()), static_cast<int>(Text().size() - typed.size()));
        ItemIdx = i;
        ItemChange = true;
        return;
    }
    for (const QString& item : FGrid->LookupItems()) {
        if (!begins(item))
            continue;
        const QString completed = complete(item);
        SetText(completed);
        SetSel(static_cast<int>(typed.size()), static_cast<int>(completed.size() - typed.size()));
        return;
    }
}

void TGridCombo::KeyPress(QChar& key)
{
    // A typed character belongs to this edit: an edit ended earlier by a key
    // whose key-up went elsewhere no longer holds back its key-up.
    if (key.unicode() >= 32)
        keyEndedEdit_ = false;
    if (FGrid->OnKeyPress)
        FGrid->OnKeyPress(this, key);
    if (key == QChar(27))
        key = QChar();
    if (key == QLatin1Char('\r') && OnReturnKey)
        OnReturnKey(this);
    if (key == QLatin1Char('\r') || key == QLatin1Char('\t'))
        key = QChar();
    if (!key.isNull())
        TEsgComboBox::KeyPress(key);
}

void TGridCombo::RaiseComboChange(int index)
{
    const int realCol = FGrid->RealColIndex(FGrid->Col());
    const QString text = Text();
    if (FGrid->OnComboChange)
        FGrid->OnComboChange(FGrid, realCol, FGrid->Row(), index, text);
    if (FGrid->OnComboObjectChange)
        FGrid->OnComboObjectChange(FGrid, realCol, FGrid->Row(), index, text, ItemObject(index));
}

void TGridCombo::Change()
{
    TEsgComboBox::Change();
    if (FGrid->OnEditChange)
        FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), Text());
}

void TGridCombo::DoExit()
{
    const QString text = Text();
    if (FGrid->LookupHistory() && !text.isEmpty() && IndexOf(text) < 0)
        AddItem(text);
    FGrid->HideInplaceEdit();
    TEsgComboBox::DoExit();
}

void TGridCombo::WndProc(TMessage& m)
{
    TExStringGrid& g = *FGrid;
    switch (m.Msg) {
    case WM_GETDLGCODE:
        TEsgComboBox::WndProc(m);
        if (m.WParam == VK_RETURN || m.WParam == VK_ESCAPE)
            m.Result |= DLGC_WANTALLKEYS;
        if (m.WParam == VK_TAB && g.WantsTabKey())
            m.Result |= DLGC_WANTTAB;
        return;
    case WM_CHAR: {
        // The item the character chose (a list-only combo's search, or none
        // when typing leaves the items) is reported after the combo took it.
        const int before = ItemIndex();
        {
            const exgrid_detail::FlagGuard guard(inChar_);
            TEsgComboBox::WndProc(m);
        }
        const int after = ItemIndex();
        if (after != before)
            RaiseComboChange(after);
        return;
    }
    case WM_MOUSEWHEEL: {
        const int delta = SignedHighWord(m.WParam);
        const int index = ItemIndex();
        if (delta < 0 && index + 1 < ItemCount())
            SetItemIndex(index + 1);
        else if (delta > 0 && index > 0)
            SetItemIndex(index - 1);
        const int realCol = g.RealColIndex(g.Col());
        if (g.OnEditChange)
            g.OnEditChange(&g, realCol, g.Row(), Text());
        RaiseComboChange(ItemIndex());
        m.Result = 0;
        return;
    }
    case WM_SETFOCUS: {
        TEsgComboBox::WndProc(m);
        if (!g.Navigation().EditSelectAll() && Style() == csDropDown)
            SetSel(static_cast<int>(Text().size()), 0);
        if (g.LButFlg()) {
            const QPoint p = mapFromGlobal(QCursor::pos());
            if (rect().contains(p)) {
                const int at = CharFromPos(Point(p.x(), p.y()));
                if (at >= 0) {
                    SetSel(at, 0);
                    g.SetLButFlg(false);
                }
            }
        }
        return;
    }
    default: TEsgComboBox::WndProc(m);
    }
}

// ------------------------------------------------------------------ TGridCheckBox

TGridCheckBox::TGridCheckBox(TExStringGrid* grid) : TCheckBox(SurfaceOf(grid)), FGrid(grid) { hide(); }

void TGridCheckBox::ReCreate()
{
    pressed_ = false;
    setDown(false);
    update();
}

void TGridCheckBox::Toggle()
{
    switch (State()) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(AllowGrayed() ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
    }
}

void TGridCheckBox::KeyDown(int& key, TShiftState shift)
{
    TExStringGrid& g = *FGrid;
    switch (key) {
    case VK_RETURN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        const int k = key;
        key = 0;
        g.HideInplaceEdit();
        g.SetFocus();
        if (k == VK_RETURN) {
            g.AdvanceToNextCell(g.Col(), g.Row(), false, true, true, false, true);
        } else if (k == VK_UP || k == VK_DOWN) {
            int pass = k;
            g.GridKeyDown(pass, shift);
        }
        break;
    }
    default: break;
    }
}

// Space and a click toggle once, when pressed; the platform's own toggle on
// release would flip the box back.
void TGridCheckBox::keyPressEvent(QKeyEvent* e)
{
    int key = VirtualKeyFromQt(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    if (key == VK_SPACE) {
        if (!e->isAutoRepeat())
            RunGuarded([&] { Toggle(); });
        e->accept();
        return;
    }
    if (key != 0) {
        RunGuarded([&] { KeyDown(key, shift); });
        if (key == 0) {
            e->accept();
            return;
        }
    }
    TCheckBox::keyPressEvent(e);
}

void TGridCheckBox::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space) {
        e->accept();
        return;
    }
    TCheckBox::keyReleaseEvent(e);
}

void TGridCheckBox::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        pressed_ = true;
        RunGuarded([&] { Toggle(); });
        e->accept();
        return;
    }
    TCheckBox::mousePressEvent(e);
}

void TGridCheckBox::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && pressed_) {
        pressed_ = false;
        e->accept();
        return;
    }
    TCheckBox::mouseReleaseEvent(e);
}

void TGridCheckBox::focusOutEvent(QFocusEvent* e)
{
    TCheckBox::focusOutEvent(e);
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason)
        return;
    RunGuarded([&] {
        FGrid->HideInplaceEdit();
        if (OnExit)
            OnExit(this);
    });
}

// ------------------------------------------------------------------ TGridButton

TGridButton::TGridButton(TExStringGrid* grid) : TCustomControl(SurfaceOf(grid)), FGrid(grid)
{
    setFocusPolicy(Qt::StrongFocus);
    hide();
}

void TGridButton::ReCreate()
{
    mouseDown_ = spaceDown_ = false;
    update();
}

void TGridButton::SetText(const QString& text)
{
    FText = text;
    update();
}

bool TGridButton::WantsKey(int key) const
{
    switch (key) {
    case VK_ESCAPE:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: return true;
    default: return false;
    }
}

void TGridButton::Paint()
{
    QPainter* painter = Canvas().Painter();
    if (!painter)
        return;
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = FText;
    option.state |= Down() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (hasFocus())
        option.state |= QStyle::State_HasFocus;
    style()->drawControl(QStyle::CE_PushButton, &option, painter, this);
}

// The edit ends here, not through the exit that hiding the button causes.
void TGridButton::LeaveToGrid()
{
    leaving_ = true;
    hide();
    setEnabled(false);
    FGrid->SetEditMode(false);
    // Off in the platform grid too, or taking the focus would open the
    // editor again.
    FGrid->SetEditorMode(false);
    FGrid->SetFocus();
    leaving_ = false;
}

void TGridButton::KeyDown(int& key, TShiftState shift)
{
    TExStringGrid& g = *FGrid;
    switch (key) {
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        const int k = key;
        key = 0;
        SendMessage(&g, WM_KEYDOWN, k, static_cast<std::intptr_t>(shift));
        LeaveToGrid();
        SendMessage(&g, WM_KEYUP, k, static_cast<std::intptr_t>(shift));
        return;
    }
    case VK_ESCAPE:
        key = 0;
        LeaveToGrid();
        g.UndoCellEdit();
        SendMessage(&g, WM_KEYDOWN, VK_ESCAPE, static_cast<std::intptr_t>(shift));
        return;
    case VK_SPACE:
        spaceDown_ = true;
        update();
        break;
    default: break;
    }
    TCustomControl::KeyDown(key, shift);
}

void TGridButton::KeyUp(int& key, TShiftState shift)
{
    TCustomControl::KeyUp(key, shift);
    if (key == VK_SPACE && spaceDown_) {
        spaceDown_ = false;
        ButtonAction(true);
        Click();
    }
}

void TGridButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft) {
        mouseDown_ = true;
        update();
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TGridButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        mouseDown_ = false;
        RunGuarded([&] { ButtonAction(false); });
    }
    TCustomControl::mouseReleaseEvent(e);
}

void TGridButton::ButtonAction(bool fromSpace)
{
    const QString value = FGrid->DoEllipsClick(FText);
    SetText(value);
    FGrid->SetCurrentCell(value);
    if (fromSpace) {
        SetFocus();
        Repaint();
    }
}

void TGridButton::DoExit()
{
    if (!leaving_)
        FGrid->HideInplaceEdit();
    TCustomControl::DoExit();
}
