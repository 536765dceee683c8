// Header editors over fixed cells, radio-group clicks, and the editors of
// HTML form fields in cells: the editor classes and the grid's side.
#include "grid/ExGrid_FormEditors.h"

#include "platform/EditMask.h"

#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include "widgets/EsgHTMLE.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>
#include <functional>

using namespace platform;

namespace {

QWidget* SurfaceOf(TExStringGrid* grid)
{
    if (!grid)
        throw std::invalid_argument("The header editor needs its grid");
    return grid->ClientSurface();
}

bool IsEditFieldType(const QString& type)
{
    return type == QLatin1String("EDIT") || type == QLatin1String("PASSWORD") || type == QLatin1String("MASK");
}

// The grid a form-field control stands on (its parent is the grid's surface).
TExStringGrid* GridOf(QWidget* control)
{
    for (QWidget* w = control ? control->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto* g = dynamic_cast<TExStringGrid*>(w))
            return g;
    return nullptr;
}

// The end of a form-field edit by Enter or Tab: Tab moves on to the next
// cell (AdvanceAuto) or to the next field of the same cell.
void EndFieldByKey(TExStringGrid* g, bool tab)
{
    const QString id = g->CtrlID();
    const TPoint xy = g->CtrlXY();
    g->EndControlEdit();
    if (!tab) {
        if (g->isVisible())
            g->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (g->Navigation().AdvanceAuto())
        g->AdvanceToNextCell(g->Col(), g->Row(), true, true, true, false, true);
    else
        g->EditNextCellControl(g->DisplColIndexOf(xy.X), xy.Y, id);
}

// Ends a header editor: validates its text, writes the cell and hides it.
// Refused, editing goes on in the header cell and the answer is false.
template <class Editor>
bool EndHeaderEdit(Editor& editor, TExStringGrid* grid, bool& stopping, const std::function<void()>& closeList = {})
{
    if (stopping)
        return true;
    exgrid_detail::FlagGuard guard(stopping);
    if (!grid) {
        editor.hide();
        return true;
    }
    QString text = editor.Text();
    bool valid = true;
    if (grid->OnCellValidate)
        grid->OnCellValidate(grid, editor.FCol, editor.FRow, text, valid);
    if (!valid) {
        if (grid->isVisible()) {
            editor.show();
            editor.setFocus(Qt::OtherFocusReason);
        }
        return false;
    }
    if (grid->OnEditingDone)
        grid->OnEditingDone(grid);
    grid->SetCellEx(editor.FCol, editor.FRow, text);
    if (closeList)
        closeList();
    if ((editor.hasFocus() || editor.isAncestorOf(QApplication::focusWidget())) && grid->isVisible())
        grid->setFocus(Qt::OtherFocusReason);
    editor.hide();
    return true;
}

// Opens a header editor, already placed, on a cell's text.
template <class Editor>
void OpenHeaderEditor(TExStringGrid* grid, Editor* editor, const QString& text, int realCol, int aRow)
{
    editor->OnChange = [grid, editor](QObject*) {
        if (grid->OnEditChange)
            grid->OnEditChange(grid, editor->FCol, editor->FRow, editor->Text());
    };
    editor->SetText(text);
    editor->FCol = realCol;
    editor->FRow = aRow;
    editor->show();
    editor->raise();
    if (grid->isVisible())
        editor->setFocus(Qt::OtherFocusReason);
}

} // namespace

// ---------------------------------------------------------------------------
// Header editors
// ---------------------------------------------------------------------------

TGridTransEdit::TGridTransEdit(TExStringGrid* grid) : TEdit(SurfaceOf(grid)), FGrid(grid)
{
    setFrame(false);
    hide();
}

bool TGridTransEdit::StopEdit() { return EndHeaderEdit(*this, FGrid, stopping_); }

void TGridTransEdit::keyPressEvent(QKeyEvent* e)
{
    // Enter does not end the edit; leaving the editor does.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    TEdit::keyPressEvent(e);
}

void TGridTransEdit::focusOutEvent(QFocusEvent* e)
{
    TEdit::focusOutEvent(e);
    if (isVisible() && !stopping_)
        RunGuarded([this] { StopEdit(); });
}

TGridTransCombo::TGridTransCombo(TExStringGrid* grid) : TCustomComboBox(SurfaceOf(grid)), FGrid(grid) { hide(); }

bool TGridTransCombo::StopEdit()
{
    return EndHeaderEdit(*this, FGrid, stopping_, [this] { SetDroppedDown(false); });
}

void TGridTransCombo::KeyPress(QChar& key)
{
    if (key == QChar(u'\r')) {
        key = QChar();
        return;
    }
    TCustomComboBox::KeyPress(key);
}

void TGridTransCombo::DoExit()
{
    TCustomComboBox::DoExit();
    if (isVisible() && !stopping_)
        StopEdit();
}

// ---------------------------------------------------------------------------
// Form-field editors
// ---------------------------------------------------------------------------

TControlEdit::TControlEdit(QWidget* parent) : TEdit(parent) { hide(); }

void TControlEdit::SetEditMask(const QString& mask)
{
    FEditMask = mask;
    // The field's mask is in the platform's mask language.
    setInputMask(platform::TranslateEditMask(mask).qtMask);
}

bool TControlEdit::event(QEvent* e)
{
    // Tab is the field's: it ends the edit and moves to the next field.
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == Qt::Key_Tab && !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
            GridOf(this)) {
            RunGuarded([this] { EndByKey(true); });
            return true;
        }
    }
    return TEdit::event(e);
}

void TControlEdit::keyPressEvent(QKeyEvent* e)
{
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && GridOf(this)) {
        e->accept();
        RunGuarded([this] { EndByKey(false); });
        return;
    }
    TEdit::keyPressEvent(e);
}

void TControlEdit::EndByKey(bool tab)
{
    if (TExStringGrid* g = GridOf(this))
        EndFieldByKey(g, tab);
}

TControlCombo::TControlCombo(QWidget* parent) : TEsgComboBox(parent) { hide(); }

void TControlCombo::WndProc(TMessage& m)
{
    TEsgComboBox::WndProc(m);
    if (m.Msg == WM_GETDLGCODE && m.WParam == VK_TAB)
        m.Result |= DLGC_WANTTAB;
}

void TControlCombo::KeyDown(int& key, TShiftState shift)
{
    if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
        key = 0;
        EndByKey(true);
        return;
    }
    TEsgComboBox::KeyDown(key, shift);
}

void TControlCombo::KeyPress(QChar& key)
{
    if (key == QChar(u'\r') && !DroppedDown()) {
        key = QChar();
        EndByKey(false);
        return;
    }
    TEsgComboBox::KeyPress(key);
}

void TControlCombo::EndByKey(bool tab)
{
    if (TExStringGrid* g = GridOf(this))
        EndFieldByKey(g, tab);
}

// ---------------------------------------------------------------------------
// The grid: header editors
// ---------------------------------------------------------------------------

TGridTransEdit* TExStringGrid::EditTrans()
{
    if (!FEditTrans)
        FEditTrans = new TGridTransEdit(this);
    return FEditTrans;
}

TGridTransCombo* TExStringGrid::ComboTrans()
{
    if (!FComboTrans)
        FComboTrans = new TGridTransCombo(this);
    return FComboTrans;
}

void TExStringGrid::StartFixedCellEdit(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0 || aCol >= ColCount() || aRow >= RowCount())
        return;
    // A header editor still open ends first; refused, nothing else opens.
    if (FEditTrans && FEditTrans->isVisible()) {
        if (!FEditTrans->StopEdit())
            return;
    } else if (FComboTrans && FComboTrans->isVisible()) {
        if (!FComboTrans->StopEdit())
            return;
    }
    bool canEdit = true;
    if (OnCanEditCell)
        OnCanEditCell(this, aRow, aCol, canEdit);
    if (!canEdit)
        return;
    FFixedColEdit = aCol;
    FFixedRowEdit = aRow;
    // Every fixed column takes the fixed-column editor, not only column 0.
    TGridFixedCellEditor kind =
        aCol < TBaseGrid::FixedCols() ? FMouseActions->FixedColsEditor() : FMouseActions->FixedRowsEditor();
    QStringList values = FMouseActions->FixedComboValues();
    DoFixedEdit(aCol, aRow, kind, values);

    TRect r = TBaseGrid::CellRect(aCol, aRow);
    r.Left += 1;
    r.Top += 1;
    r.Right -= 1;
    r.Bottom -= 1;
    const int realCol = RealColIndex(aCol);
    const QString text = GetCellEx(realCol, aRow);

    if (kind == fceComboEdit || kind == fceComboList) {
        TGridTransCombo* combo = ComboTrans();
        combo->SetItems(values);
        combo->SetStyle(kind == fceComboEdit ? csDropDown : csDropDownList);
        combo->SetBounds(r.Left - 1, r.Top - 1, r.Width() + 1, r.Height());
        OpenHeaderEditor(this, combo, text, realCol, aRow);
        return;
    }
    TGridTransEdit* edit = EditTrans();
    edit->setGeometry(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
    OpenHeaderEditor(this, edit, text, realCol, aRow);
}

// ---------------------------------------------------------------------------
// The grid: radio groups
// ---------------------------------------------------------------------------

void TExStringGrid::ClickRadioGroup(int aCol, int aRow, int x, int y)
{
    const int realCol = RealColIndex(aCol);
    const TPoint base = BaseCell(realCol, aRow);
    TCellGraphic* g = GetCellGraphic(base.X, base.Y);
    if (!g || g->CellType != ctRadio)
        return;
    TCanvas& canvas = Canvas();
    const TFont savedFont = canvas.Font();
    const exgrid_detail::ScopeExit restoreFont{[&] { canvas.SetFont(savedFont); }};
    {
        TBrush brush;
        TFont font;
        TGridDrawState state = 0;
        GetFontProperties(realCol, aCol, true, brush, font, state, aRow);
        canvas.SetFont(font);
    }
    if (!IsFixed(aCol, aRow)) {
        SetCol(aCol);
        SetRow(aRow);
    }
    const TControlStyle style = FControlLook->ControlStyle();
    const int glyph = style == csClassic || style == csFlat ? FControlLook->RadioSize() : 16;
    const QStringList items = g->Strings ? *g->Strings : QStringList();
    int hit = -1;
    if (g->CellBoolean) {
        int left = 0;
        for (int i = 0; i < items.size() && hit < 0; ++i) {
            const int right = left + canvas.TextWidth(items[i]) + glyph;
            if (left < x && x < right)
                hit = i;
            left = right;
        }
    } else {
        const int h = std::max(glyph, canvas.TextHeight(QStringLiteral("gh")));
        int top = 0;
        for (int i = 0; i < items.size() && hit < 0; ++i) {
            if (top < y && y < top + h)
                hit = i;
            top += h;
        }
    }
    if (hit < 0)
        return;
    if (g->CellIndex == -1) {
        // The cell's text is the choice: it stays so for the next click,
        // rather than the index taking over and the text keeping a stale item.
        SetCellEx(base.X, base.Y, items[hit]);
        TBaseGrid::RepaintCell(DisplColIndexOf(base.X), base.Y);
    } else {
        SetCellEx(base.X, base.Y, GetCellEx(base.X, base.Y));
        SetRadioIdx(base.X, base.Y, hit);
    }
    if (OnRadioClick)
        OnRadioClick(this, aCol, aRow, hit);
}

// ---------------------------------------------------------------------------
// The grid: form fields
// ---------------------------------------------------------------------------

TControlEdit* TExStringGrid::ControlEditor()
{
    if (!FEditControlEdit) {
        FEditControlEdit = new TControlEdit(ClientSurface());
        FEditControlEdit->OnExit = [this](QObject*) { EndControlEdit(); };
    }
    return FEditControlEdit;
}

TControlCombo* TExStringGrid::ControlCombo()
{
    if (!FComboControl) {
        FComboControl = new TControlCombo(ClientSurface());
        FComboControl->OnExit = [this](QObject*) { EndControlEdit(); };
        FComboControl->OnSelect = [this](QObject* sender) { ControlComboSelect(sender); };
    }
    return FComboControl;
}

void TExStringGrid::StartControlEdit(const QString& cellText, const QString& ctrlType, int aRow, int realCol,
                                     int aCol, const TRect& r, const QString& ctrlVal, const QString& ctrlID)
{
    const QString type = ctrlType.toUpper();
    if (IsEditFieldType(type)) {
        FCtrlXY = Point(realCol, aRow);
        FCtrlID = ctrlID;
        FCtrlType = type;
        FCtrlEditing = true;
        TControlEdit* edit = ControlEditor();
        edit->resize(0, edit->height());
        edit->SetPasswordChar(type == QLatin1String("PASSWORD") ? QChar(u'*') : QChar());
        edit->SetEditMask(type == QLatin1String("MASK") ? HTMLControlProp(cellText, ctrlID) : QString());
        edit->SetText(ctrlVal);
        edit->setFrame(false);
        edit->setGeometry(r.Left + 1, r.Top + 8, std::max(0, r.Width() - 4), 14);
        edit->SetMaxLength(HTMLControlMaxLen(cellText, ctrlID));
        edit->show();
        edit->raise();
        if (isVisible())
            edit->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (type != QLatin1String("COMBO"))
        return;
    FCtrlXY = Point(realCol, aRow);
    FCtrlID = ctrlID;
    FCtrlType = type;
    FCtrlEditing = true;
    TControlCombo* combo = ControlCombo();
    combo->SetIsWinXP(true);
    combo->SetFlat(false);
    combo->Clear();
    QStringList values;
    bool editable = true;
    int dropCount = 8;
    if (OnControlComboList)
        OnControlComboList(this, aRow, aCol, ctrlID, type, ctrlVal, values, editable, dropCount);
    combo->SetStyle(editable ? csDropDown : csDropDownList);
    combo->SetItems(values);
    const int index = static_cast<int>(values.indexOf(ctrlVal));
    if (index >= 0)
        combo->SetItemIndex(index);
    if (editable)
        combo->SetText(ctrlVal);
    combo->SetDropDownCount(dropCount);
    combo->SetBounds(r.Left - 1, r.Top + 4, r.Width(), combo->ItemHeight() * (dropCount + 2));
    combo->SetMaxLength(HTMLControlMaxLen(cellText, ctrlID));
    combo->show();
    combo->raise();
    if (isVisible()) {
        combo->setFocus(Qt::OtherFocusReason);
        combo->SetDroppedDown(true);
    }
}

void TExStringGrid::EndControlEdit()
{
    if (!FCtrlEditing)
        return;
    FCtrlEditing = false;
    QString value;
    QWidget* control = nullptr;
    if (IsEditFieldType(FCtrlType) && FEditControlEdit) {
        value = FEditControlEdit->Text();
        control = FEditControlEdit;
    } else if (FCtrlType == QLatin1String("COMBO") && FComboControl) {
        value = FComboControl->Text();
        FComboControl->SetDroppedDown(false);
        control = FComboControl;
    }
    if (control) {
        if ((control->hasFocus() || control->isAncestorOf(QApplication::focusWidget())) && isVisible())
            setFocus(Qt::OtherFocusReason);
        control->hide();
    }
    const TPoint at = FCtrlXY;
    // A field no longer in the cell leaves the text as it is.
    if (at.X >= 0 && at.Y >= 0 && at.Y < RowCount()) {
        QString text = GetCellEx(at.X, at.Y);
        if (ReplaceHTMLControlValue(text, FCtrlID, value))
            SetCellEx(at.X, at.Y, text);
    }
    if (OnControlEditDone)
        OnControlEditDone(this, at.Y, at.X, FCtrlID, FCtrlType, value);
    FCtrlType.clear();
}

void TExStringGrid::ControlComboSelect(QObject* sender)
{
    auto* combo = dynamic_cast<TControlCombo*>(sender);
    if (!combo || !OnControlComboSelect)
        return;
    const int index = combo->ItemIndex();
    OnControlComboSelect(this, FCtrlXY.Y, FCtrlXY.X, index, FCtrlID, combo->ItemText(index));
}

void TExStringGrid::EditNextCellControl(int aCol, int aRow, const QString& controlID)
{
    if (aCol < 0 || aRow < 0 || aCol >= ColCount() || aRow >= RowCount())
        return;
    const int realCol = RealColIndex(aCol);
    const QString text = GetCellEx(realCol, aRow);
    const QString next = NextHTMLEditControl(text, controlID);
    if (next.isEmpty()) {
        if (isVisible())
            setFocus(Qt::OtherFocusReason);
        return;
    }
    TRect t = TBaseGrid::CellRect(aCol, aRow);
    t.Left += FXYOffset.X + 1;
    t.Top += FXYOffset.Y + 1;
    if (HasCheckBox(realCol, aRow))
        t.Left += FControlLook->CheckSize();
    // The renderer answers what lies under a point: the field is looked for
    // over the cell, a few pixels at a time.
    for (int y = t.Top; y < t.Bottom; y += 3)
        for (int x = t.Left; x < t.Right; x += 3) {
            const THTMLDrawResult res = HitTestHTMLCell(aCol, aRow, text, t, x, y);
            if (res.ControlID == next && !res.ControlType.isEmpty()) {
                StartControlEdit(text, res.ControlType, aRow, realCol, aCol, res.ControlRect, res.ControlValue, next);
                return;
            }
        }
    if (isVisible())
        setFocus(Qt::OtherFocusReason);
}
