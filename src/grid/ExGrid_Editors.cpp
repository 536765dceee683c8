#include "grid/ExGrid_Editors.h"

#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"
#include "widgets/ExXPVS.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <cmath>
#include <functional>
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

// The cursor walk out of an editor at an end of its text: onto a clickable
// neighbour directly, otherwise an advance one cell left or right.
void WalkOutOfEditor(TExStringGrid& g, const QString& text, bool forward)
{
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
        if (g.ValidateCell(text)) {
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

void TGridCombo::CursorWalk(bool forward) { WalkOutOfEditor(*FGrid, Text(), forward); }

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
    // The button's click is the grid's button click of the current cell.
    OnClick = [this](QObject*) { FGrid->DoCurrentButtonClick(); };
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

// ------------------------------------------------------------------ the protocol of the edit-like editors

namespace {

bool IsTabKey(const QKeyEvent* e) { return e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab; }

TShiftState ShiftOf(const QKeyEvent* e)
{
    TShiftState s = ShiftStateFromQt(e->modifiers());
    if (e->key() == Qt::Key_Backtab)
        s |= ssShift;
    return s;
}

// Tab claimed from the form's focus handling.
bool ClaimsTab(TExStringGrid& g, bool onlyWithTabs) { return onlyWithTabs ? (g.Options() & goTabs) != 0 : g.WantsTabKey(); }

// A claimed Tab key event, to be run through keyPressEvent; null otherwise.
QKeyEvent* ClaimedTab(QEvent* e, bool claimed)
{
    if (e->type() != QEvent::KeyPress || !claimed)
        return nullptr;
    auto* k = static_cast<QKeyEvent*>(e);
    return IsTabKey(k) ? k : nullptr;
}

// The end of an edit by a key of the navigation set.
void EndEditByKey(TExStringGrid& g, int key, TShiftState shift)
{
    if (key == VK_TAB) {
        if (g.Options() & goTabs) {
            g.HideInplaceEdit();
            g.SetFocus();
            g.TabMove((shift & ssShift) != 0);
            return;
        }
        QCoreApplication::postEvent(&g, new QKeyEvent(QEvent::KeyPress, (shift & ssShift) ? Qt::Key_Backtab : Qt::Key_Tab,
                                                      (shift & ssShift) ? Qt::ShiftModifier : Qt::NoModifier));
    }
    g.DoneInplaceEdit(key, shift);
    TNavigation& nav = g.Navigation();
    if (key != VK_ESCAPE && nav.AdvanceOnEnter() && nav.AdvanceAutoEdit())
        g.ShowInplaceEdit();
}

// Writes the text as the current cell and validates it.
bool WriteAndValidateText(TExStringGrid& g, const QString& text)
{
    g.SetCurrentCell(text);
    return g.ValidateCell(text);
}

// Editing began with a click: the caret goes under the mouse, nothing selected.
void CaretUnderMouse(TExStringGrid& g, QLineEdit& edit)
{
    if (!g.LButFlg())
        return;
    const QPoint p = edit.mapFromGlobal(QCursor::pos());
    if (!edit.rect().contains(p))
        return;
    edit.setCursorPosition(edit.cursorPositionAt(p));
    g.SetLButFlg(false);
}

void LeaveOnExit(TExStringGrid& g, QWidget* editor)
{
    if (editor->isVisible() && g.EditMode())
        g.HideInplaceEdit();
}

} // namespace

// ------------------------------------------------------------------ TGridSpin

TGridSpin::TGridSpin(TExStringGrid* grid) : TEsgSpinEdit(SurfaceOf(grid)), FGrid(grid)
{
    SetMaxValue(100);
    SetMinValue(0);
    SetIncrement(1);
    SetBorderSingle(false);
    // The grid's XP flag: every system we run on is of the themed kind, so
    // the flag is whether the visual styles are active.
    SetIsWinXP(ExXPVS::IsThemeActive());
    OnChange = [this](QObject*) {
        if (FGrid->OnEditChange)
            FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), Text());
    };
    hide();
}

void TGridSpin::RaiseSpin(bool up)
{
    TExStringGrid& g = *FGrid;
    switch (SpinType()) {
    case sptNormal:
        if (g.OnSpinClick)
            g.OnSpinClick(&g, g.Col(), g.Row(), Value(), up);
        break;
    case sptFloat:
        if (g.OnFloatSpinClick)
            g.OnFloatSpinClick(&g, g.Col(), g.Row(), FloatValue(), up);
        break;
    case sptDate:
        if (g.OnDateSpinClick)
            g.OnDateSpinClick(&g, g.Col(), g.Row(), DateValue(), up);
        break;
    case sptTime:
        if (g.OnTimeSpinClick)
            g.OnTimeSpinClick(&g, g.Col(), g.Row(), TimeValue(), up);
        break;
    }
}

void TGridSpin::UpButtonClick()
{
    TEsgSpinEdit::UpButtonClick();
    RaiseSpin(true);
}

void TGridSpin::DownButtonClick()
{
    TEsgSpinEdit::DownButtonClick();
    RaiseSpin(false);
}

bool TGridSpin::event(QEvent* e)
{
    if (QKeyEvent* k = ClaimedTab(e, ClaimsTab(*FGrid, true))) {
        keyPressEvent(k);
        return true;
    }
    return TEsgSpinEdit::event(e);
}

void TGridSpin::keyPressEvent(QKeyEvent* e)
{
    TExStringGrid& g = *FGrid;
    const TShiftState shift = ShiftOf(e);
    const int key = VirtualKeyFromQt(e->key());
    bool done = false;
    RunGuarded([&] {
        if ((key == VK_HOME || key == VK_END) && !(shift & (ssCtrl | ssAlt))) {
            const bool home = key == VK_HOME;
            if (SpinType() == sptNormal)
                SetValue(home ? MaxValue() : MinValue());
            else if (SpinType() == sptFloat)
                SetFloatValue(home ? MaxFloatValue() : MinFloatValue());
            if (g.OnSpinClick)
                g.OnSpinClick(&g, g.Col(), g.Row(), Value(), home);
            done = true;
            return;
        }
        if (key == VK_ESCAPE) {
            SetText(g.CellCache());
            EndEditByKey(g, key, shift);
            done = true;
            return;
        }
        if (key == VK_RETURN || key == VK_TAB) {
            if (!WriteAndValidateText(g, Text())) {
                SetText(g.CurrentCell());
                setCursorPosition(static_cast<int>(Text().size()));
                g.SetNoAutoAdvance(true);
                done = true;
                return;
            }
            SetText(g.CurrentCell());
            EndEditByKey(g, key, shift);
            done = true;
        }
    });
    if (done) {
        e->accept();
        return;
    }
    TEsgSpinEdit::keyPressEvent(e);
}

void TGridSpin::focusInEvent(QFocusEvent* e)
{
    TEsgSpinEdit::focusInEvent(e);
    RunGuarded([this] { CaretUnderMouse(*FGrid, *this); });
}

void TGridSpin::focusOutEvent(QFocusEvent* e)
{
    TEsgSpinEdit::focusOutEvent(e);
    RunGuarded([this] { LeaveOnExit(*FGrid, this); });
}

// ------------------------------------------------------------------ the edits with a button

namespace {

// Whether a character may be typed in the grid's kind of edit with a button;
// the unit kinds filter as their plain twins.
bool AcceptsButtonEditChar(QLineEdit& edit, TEditorType kind, QChar c, Qt::KeyboardModifiers modifiers)
{
    if (c == u'\b' || c.unicode() == 27)
        return true;
    const QString text = edit.text();
    const bool minusOk = (edit.cursorPosition() == 0 || (edit.hasSelectedText() && edit.selectionStart() == 0)) &&
                         (!text.contains(u'-') || edit.selectedText().contains(u'-'));
    if (kind == edNumericEditBtn || kind == edNumericUnitEditBtn) {
        if (c.isDigit() || (c == u'-' && minusOk))
            return true;
        QApplication::beep();
        return false;
    }
    if (kind == edFloatEditBtn || kind == edFloatUnitEditBtn) {
        const TRegionalSettings rs = RegionalSettings();
        const QChar d = rs.DecimalSeparator.isNull() ? QChar(u'.') : rs.DecimalSeparator;
        if (c.isDigit())
            return true;
        if (c == d) {
            QString outside = text;
            if (edit.hasSelectedText())
                outside.remove(edit.selectionStart(), edit.selectedText().size());
            return !outside.contains(d);
        }
        if (!rs.ThousandSeparator.isNull() && c == rs.ThousandSeparator)
            return false;
        if (c == u'-') {
            if (!minusOk)
                QApplication::beep();
            return minusOk;
        }
        return (modifiers & Qt::ControlModifier) != 0;
    }
    return true;
}

// What differs between the two edits with a button when a key of their
// navigation set ends the edit.
struct ButtonEditEnd
{
    // The value written as the current cell and validated.
    std::function<QString()> value;
    // Escape: the editor shows the cell's value again.
    std::function<void()> restore;
    // After validation; false stops the key (the editor stays open).
    std::function<bool(bool valid)> takeBack;
    // Enter with AdvanceOnEnter leaves the editor and advances by itself.
    bool advanceOnEnter = false;
};

bool InButtonEditSet(int key)
{
    switch (key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: return true;
    default: return false;
    }
}

// The navigation keys of both edits with a button, one routine.
void EndButtonEditByKey(TExStringGrid& g, int key, TShiftState shift, const ButtonEditEnd& end)
{
    if (key == VK_ESCAPE) {
        end.restore();
        g.DoneInplaceEdit(key, shift);
        return;
    }
    if (key == VK_RETURN || key == VK_UP || key == VK_DOWN || key == VK_TAB) {
        const bool valid = WriteAndValidateText(g, end.value());
        if (!end.takeBack(valid))
            return;
    }
    if (key == VK_RETURN && end.advanceOnEnter && g.Navigation().AdvanceOnEnter()) {
        g.HideInplaceEdit();
        g.SetFocus();
        // As the check box's Enter: a clickable cell reached reacts.
        g.AdvanceToNextCell(g.Col(), g.Row(), false, true, true, false, true);
        return;
    }
    if (key == VK_TAB && (g.Options() & goTabs)) {
        g.HideInplaceEdit();
        g.SetFocus();
        g.TabMove((shift & ssShift) != 0);
        return;
    }
    if (key == VK_TAB)
        QCoreApplication::postEvent(&g, new QKeyEvent(QEvent::KeyPress, (shift & ssShift) ? Qt::Key_Backtab : Qt::Key_Tab,
                                                      (shift & ssShift) ? Qt::ShiftModifier : Qt::NoModifier));
    g.DoneInplaceEdit(key, shift);
}

// A character event with its text replaced, as a key-press handler may do.
QKeyEvent WithText(const QKeyEvent* e, QChar c)
{
    return QKeyEvent(e->type(), e->key(), e->modifiers(), QString(c), e->isAutoRepeat(), static_cast<quint16>(e->count()));
}

} // namespace

// ------------------------------------------------------------------ TGridEditBtn

TGridEditBtn::TGridEditBtn(TExStringGrid* grid) : TEsgEditBtn(SurfaceOf(grid)), FGrid(grid)
{
    OnChange = [this](QObject*) {
        if (FGrid->OnEditChange)
            FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), Text());
    };
    hide();
}

void TGridEditBtn::DoClickBtn(QObject* sender)
{
    TEsgEditBtn::DoClickBtn(sender);
    SetText(FGrid->DoEllipsClick(Text()));
    selectAll();
    update();
    if (FStopEditAfterClick) {
        FGrid->HideInplaceEdit();
        FGrid->SetFocus();
    }
}

bool TGridEditBtn::event(QEvent* e)
{
    if (QKeyEvent* k = ClaimedTab(e, ClaimsTab(*FGrid, false))) {
        keyPressEvent(k);
        return true;
    }
    return TEsgEditBtn::event(e);
}

void TGridEditBtn::keyPressEvent(QKeyEvent* e)
{
    TExStringGrid& g = *FGrid;
    const TShiftState shift = ShiftOf(e);
    int key = VirtualKeyFromQt(e->key());
    WorkMode = !(key == VK_BACK || key == VK_DELETE);
    FSelKeyDown = cursorPosition();
    selLenKeyDown_ = static_cast<int>(selectedText().size());
    const bool inSet = !(shift & ssCtrl) && InButtonEditSet(key);
    if (!inSet) {
        bool dropped = false;
        QChar typed = e->text().isEmpty() ? QChar() : e->text()[0];
        RunGuarded([&] {
            if (key != 0 && g.OnKeyDown) {
                g.OnKeyDown(&g, key, shift);
                if (key == 0) {
                    dropped = true;
                    return;
                }
            }
            if (typed.isNull())
                return;
            const QChar was = typed;
            if (g.OnKeyPress)
                g.OnKeyPress(&g, typed);
            dropped = typed.isNull() || typed == u'\t' ||
                      ((typed.isPrint() || typed == u'\b') && !AcceptsButtonEditChar(*this, g.EditControl(), typed, e->modifiers()));
            if (!dropped && typed != was) {
                QKeyEvent changed = WithText(e, typed);
                TEsgEditBtn::keyPressEvent(&changed);
                dropped = true;
            }
        });
        if (dropped) {
            e->accept();
            return;
        }
        TEsgEditBtn::keyPressEvent(e);
        return;
    }
    RunGuarded([&] {
        if (OnKeyDown) {
            OnKeyDown(this, key, shift);
            if (key == 0)
                return;
        }
        const TEditorType kind = g.EditControl();
        ButtonEditEnd end;
        end.value = [this] { return Text(); };
        end.restore = [&] { SetText(g.CellCache()); };
        end.takeBack = [&](bool valid) {
            SetText(g.NewCellText());
            if (valid)
                return true;
            selectAll();
            g.SetNoAutoAdvance(true);
            // A validation handler may have switched the kind; the editor shown is still this one.
            g.SetEditControl(kind);
            return false;
        };
        EndButtonEditByKey(g, key, shift, end);
    });
    e->accept();
}

void TGridEditBtn::CursorWalk(bool forward) { WalkOutOfEditor(*FGrid, Text(), forward); }

void TGridEditBtn::keyReleaseEvent(QKeyEvent* e)
{
    TExStringGrid& g = *FGrid;
    int key = VirtualKeyFromQt(e->key());
    const TShiftState shift = ShiftOf(e);
    bool walked = false;
    RunGuarded([&] {
        if (key != 0 && g.OnKeyUp)
            g.OnKeyUp(&g, key, shift);
        const int len = static_cast<int>(Text().size());
        if (g.Navigation().CursorWalkEditor() && PlainShift(shift) && !hasSelectedText() && selLenKeyDown_ == 0) {
            if (key == VK_LEFT && cursorPosition() == 0 && FSelKeyDown == 0) {
                walked = true;
                CursorWalk(false);
            } else if (key == VK_RIGHT && cursorPosition() == len && FSelKeyDown == len) {
                walked = true;
                CursorWalk(true);
            }
        }
    });
    if (walked) {
        e->accept();
        return;
    }
    if (key != VK_RETURN)
        TEsgEditBtn::keyReleaseEvent(e);
    if (WorkMode && g.Lookup() && !g.LookupItems().isEmpty() && !e->text().isEmpty() && key != VK_RETURN &&
        key != VK_ESCAPE && key != VK_TAB)
        RunGuarded([&] { CompleteFromList(g.LookupItems(), g.LookupCaseSensitive()); });
}

void TGridEditBtn::DoPaste()
{
    TExStringGrid& g = *FGrid;
    const QString clip = QGuiApplication::clipboard()->text();
    bool allow = !clip.isEmpty();
    QString v = clip;
    if (allow && g.OnClipboardPaste)
        g.OnClipboardPaste(this, allow);
    if (allow && g.OnClipboardBeforePasteCell)
        g.OnClipboardBeforePasteCell(this, g.Col(), g.Row(), v, allow);
    if (!allow)
        return;
    // One line copied from a table ends with its line break.
    const qsizetype br = v.indexOf(QLatin1String("\r\n"));
    if (br >= 0 && br == v.size() - 2)
        v.chop(2);
    const bool replaced = hasSelectedText();
    const int start = replaced ? selectionStart() : cursorPosition();
    const int length = replaced ? static_cast<int>(selectedText().size()) : 0;
    const QString text = Text();
    SetText(text.left(start) + v + text.mid(start + length));
    g.SetCurrentEditText(Text());
    if (replaced)
        setSelection(start, static_cast<int>(v.size()));
    else
        setCursorPosition(start + static_cast<int>(v.size()));
}

void TGridEditBtn::focusInEvent(QFocusEvent* e)
{
    TEsgEditBtn::focusInEvent(e);
    RunGuarded([this] { CaretUnderMouse(*FGrid, *this); });
}

void TGridEditBtn::focusOutEvent(QFocusEvent* e)
{
    TEsgEditBtn::focusOutEvent(e);
    RunGuarded([this] { LeaveOnExit(*FGrid, this); });
}

void TGridEditBtn::mouseDoubleClickEvent(QMouseEvent* e)
{
    TEsgEditBtn::mouseDoubleClickEvent(e);
    TExStringGrid& g = *FGrid;
    if (g.OnDblClickCell)
        RunGuarded([&] { g.OnDblClickCell(&g, g.Row(), g.Col()); });
}

// ------------------------------------------------------------------ TGridUnitEditBtn

TGridUnitEditBtn::TGridUnitEditBtn(TExStringGrid* grid) : TEsgUnitEditBtn(SurfaceOf(grid)), FGrid(grid)
{
    hide();
    // A unit chosen in the editor is the grid's unit change of the current cell.
    OnUnitChanged = [this](QObject*, const QString& unit) {
        if (FGrid->OnUnitChanged)
            FGrid->OnUnitChanged(FGrid, FGrid->Col(), FGrid->Row(), unit);
    };
}

void TGridUnitEditBtn::DoClickBtn(QObject* sender)
{
    TEsgUnitEditBtn::DoClickBtn(sender);
    SetText(FGrid->DoEllipsClick(Text()));
    selectAll();
    update();
}

bool TGridUnitEditBtn::event(QEvent* e)
{
    if (QKeyEvent* k = ClaimedTab(e, ClaimsTab(*FGrid, true))) {
        keyPressEvent(k);
        return true;
    }
    return TEsgUnitEditBtn::event(e);
}

void TGridUnitEditBtn::keyPressEvent(QKeyEvent* e)
{
    TExStringGrid& g = *FGrid;
    const TShiftState shift = ShiftOf(e);
    const int key = VirtualKeyFromQt(e->key());
    if (!InButtonEditSet(key)) {
        const QString typed = e->text();
        const TEditorType kind = g.EditControl();
        if (kind != edUnitEditBtn && !typed.isEmpty() && (typed[0].isPrint() || typed[0] == u'\b') &&
            !AcceptsButtonEditChar(*this, kind, typed[0], e->modifiers())) {
            e->accept();
            return;
        }
        TEsgUnitEditBtn::keyPressEvent(e);
        return;
    }
    RunGuarded([&] {
        ButtonEditEnd end;
        end.value = [this] { return TextAndUnit(); };
        end.restore = [&] {
            SetUnitID(QString());
            SetText(g.CurrentCell());
            SetTextAndUnit(g.CurrentCell());
        };
        end.takeBack = [&](bool valid) {
            if (!valid) {
                SetText(g.CurrentCell());
                return false;
            }
            SetTextAndUnit(g.CurrentCell());
            return true;
        };
        end.advanceOnEnter = true;
        EndButtonEditByKey(g, key, shift, end);
    });
    e->accept();
}

void TGridUnitEditBtn::focusInEvent(QFocusEvent* e)
{
    TEsgUnitEditBtn::focusInEvent(e);
    RunGuarded([this] { CaretUnderMouse(*FGrid, *this); });
}

void TGridUnitEditBtn::focusOutEvent(QFocusEvent* e)
{
    TEsgUnitEditBtn::focusOutEvent(e);
    RunGuarded([this] { LeaveOnExit(*FGrid, this); });
}

// ------------------------------------------------------------------ TGridDatePicker

TGridDatePicker::TGridDatePicker(TExStringGrid* grid) : TEsgDateTimePicker(SurfaceOf(grid)), FGrid(grid) { hide(); }

void TGridDatePicker::ReadCellText(const QString& text)
{
    if (Kind() == dtkTime) {
        double t = 0;
        try {
            t = TextToTime(text);
        } catch (const std::invalid_argument&) {
            t = 0;
        }
        SetTime(QTime::fromMSecsSinceStartOfDay(static_cast<int>(std::llround(t * 86400000.0)) % 86400000));
        return;
    }
    QDate d = QDate::currentDate();
    if (!text.trimmed().isEmpty()) {
        try {
            if (FGrid->OnCustomStrToDate) {
                TDateTime value = SpinDateTimeOf(QDate::currentDate(), QTime::currentTime().msecsSinceStartOfDay() / 86400000.0);
                FGrid->OnCustomStrToDate(FGrid, text, value);
                d = SpinDateOf(value);
            } else {
                d = SpinDateOf(TextToDate(text));
            }
        } catch (const std::invalid_argument&) {
            d = QDate::currentDate();
        }
    }
    if (!d.isValid())
        d = QDate::currentDate();
    if (MaxDate().isValid() && d > MaxDate())
        d = MaxDate().addDays(-1);
    else if (MinDate().isValid() && d <= MinDate())
        d = MinDate().addDays(1);
    SetDate(d);
}

QString TGridDatePicker::CellText() const
{
    if (ShowCheckbox() && !Checked())
        return QString();
    if (Kind() == dtkTime)
        return TimeToText(Time().msecsSinceStartOfDay() / 86400000.0);
    return DateToText(SpinDateTimeOf(Date(), 0));
}

bool TGridDatePicker::event(QEvent* e)
{
    if (QKeyEvent* k = ClaimedTab(e, ClaimsTab(*FGrid, false))) {
        keyPressEvent(k);
        return true;
    }
    return TEsgDateTimePicker::event(e);
}

void TGridDatePicker::keyPressEvent(QKeyEvent* e)
{
    TExStringGrid& g = *FGrid;
    const TShiftState shift = ShiftOf(e);
    const int key = VirtualKeyFromQt(e->key());
    const bool inSet = key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_PRIOR || key == VK_NEXT ||
                       key == VK_END;
    if (!inSet || DroppedDown()) {
        if (!e->text().isEmpty() && g.OnKeyPress) {
            QChar ch = e->text()[0];
            g.OnKeyPress(&g, ch);
            if (ch.isNull()) {
                e->accept();
                return;
            }
        }
        TEsgDateTimePicker::keyPressEvent(e);
        return;
    }
    RunGuarded([&] {
        if (key == VK_ESCAPE) {
            ReadCellText(g.CellCache());
            g.DoneInplaceEdit(key, shift);
            return;
        }
        if (key == VK_RETURN || key == VK_TAB) {
            if (!WriteAndValidateText(g, CellText())) {
                ReadCellText(g.NewCellText());
                g.SetNoAutoAdvance(true);
                return;
            }
            ReadCellText(g.CurrentCell());
        }
        EndEditByKey(g, key, shift);
    });
    e->accept();
}

void TGridDatePicker::focusOutEvent(QFocusEvent* e)
{
    TEsgDateTimePicker::focusOutEvent(e);
    // The calendar taking the focus does not end the edit.
    if (DroppedDown())
        return;
    RunGuarded([this] { LeaveOnExit(*FGrid, this); });
}
