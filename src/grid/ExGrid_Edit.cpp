// The string grid's inplace editing: which cell may be edited, which editor
// a cell gets, showing and committing the special editors, the end-of-edit
// announcement, the combo editor's list, and the keys and presses that
// editing needs of the grid.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include "grid/ExGrid_Editors.h"
#include "grid/EsgSpin.h"
#include "grid/ExGrid_DateTimeEditor.h"
#include "grid/ExGrid_Windows.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>
#include <cmath>

using namespace platform;

using exgrid_detail::FlagGuard;


// ---------------------------------------------------------------------------
// Whether a cell may be edited
// ---------------------------------------------------------------------------

bool TExStringGrid::IsDefaultEditorKind(TEditorType kind)
{
    switch (kind) {
    case edNormal:
    case edNumeric:
    case edPositiveNumeric:
    case edFloat:
    case edCapital:
    case edMixedCase:
    case edPassword:
    case edLowerCase:
    case edUpperCase:
    case edValidChars:
    case edPositiveFloat: return true;
    default: return false;
    }
}

bool TExStringGrid::IsEditable(int aCol, int aRow)
{
    if (!(Options() & goEditing) && !FMouseActions->RangeSelectAndEdit() && !FEditDisable)
        return false;
    return IsCellEditable(aCol, aRow);
}

bool TExStringGrid::IsCellEditable(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0)
        return false;
    const TPoint base = BaseCell(RealColIndex(aCol), aRow);
    bool canEdit = true;
    QueryCanEdit(base.X, base.Y, canEdit);
    return canEdit && !IsFixed(DisplColIndexOf(base.X), base.Y);
}

bool TExStringGrid::IsPasswordCell(int aCol, int aRow)
{
    bool isPassword = false;
    QueryIsPassword(aCol, aRow, isPassword);
    return isPassword;
}

bool TExStringGrid::WantsTabKey() const
{
    return (Options() & goTabs) || OnCellValidate || OnCellValidateWide;
}

bool TExStringGrid::InplaceEditorFocused() const
{
    const TInplaceEdit* editor = InplaceEditor();
    return editor && editor->isVisible() && editor->hasFocus();
}

// ---------------------------------------------------------------------------
// Choosing and showing the editor
// ---------------------------------------------------------------------------


bool TExStringGrid::CanEditShow()
{
    if (FValidating || Destroying())
        return false;
    bool answer = TBaseGrid::CanEditShow();
    if (Designing())
        return answer;
    const TPoint base = BaseCell(RealColIndex(Col()), Row());
    if (answer && !FEditMode && HasClickableControl(base.X, base.Y))
        return false;
    // A special editor is up on the cell: the text editor stays away, or it
    // would take the focus and end that editor.
    if (answer && FEditMode && !IsDefaultEditorKind(FEditControl))
        return false;
    if (answer && !FEditMode) {
        FNoEditChange = true;
        FCellCache = CurrentCell();
        FEditControl = FDefaultEditor;
        QueryCellEditor(base.X, base.Y, FEditControl);
        // A toggled check box and "no editor" never show one.
        if (FEditControl == edNone || FEditControl == edDataCheckBox) {
            FNoEditChange = false;
            return false;
        }
        // The cell whose edit is validated is the one being edited.
        if (!FEditing)
            RememberCell(Col(), Row());
        FEditMode = true;
        if (IsDefaultEditorKind(FEditControl)) {
            FShowEditProcess = true;
        } else {
            FNoEditChange = false;
            ShowSpecialEditor(Col(), Row());
            if (FEditMode) {
                FEntered = true;
                if (FFocusHelper->Enabled())
                    ShowFocusFrame(TBaseGrid::CellRect(Col(), Row()));
            }
            return false;
        }
    }
    if (answer) {
        FEntered = true;
        FEditing = true;
        if (FFocusHelper->Enabled())
            ShowFocusFrame(TBaseGrid::CellRect(Col(), Row()));
    }
    return answer;
}

QString TExStringGrid::GetEditMask(int col, int row)
{
    QString value = FEditMask;
    if (OnGetEditMask)
        OnGetEditMask(this, col, row, value);
    return value;
}

void TExStringGrid::ShowInplaceEdit()
{
    const TPoint base = BaseCell(RealColIndex(Col()), Row());
    if (HasClickableControl(base.X, base.Y))
        return;
    if (Row() < TopRow())
        SetTopRow(Row());
    if (Col() < LeftCol())
        SetLeftCol(Col());
    ShowEditor();
}

void TExStringGrid::HideInplaceEdit()
{
    if (!FEditMode || FHidingEditor)
        return;
    {
        FlagGuard hiding(FHidingEditor);
        HideEditor();
        CommitSpecialEditor();
        FEditMode = false;
        HideFocusFrame();
    }
    if (!Destroying())
        SelectCell(Col(), Row());
}

void TExStringGrid::ShowCellEdit()
{
    TMessage m{WM_KEYDOWN, VK_F2, 0, 0};
    Perform(m);
}

void TExStringGrid::HideCellEdit() { CommitSpecialEditor(); }

void TExStringGrid::DoneInplaceEdit(int key, TShiftState shift)
{
    FlagGuard block(FBlockFocus);
    FEditing = false;
    HideInplaceEdit();
    if (FNavigation->AppendOnArrowDown() && key == VK_DOWN && IsLastDataRow())
        AutoAppendRow();
    const bool alwaysEdit = FNavigation->AlwaysEdit();
    FNavigation->SetAlwaysEdit(false);
    if (isVisible() && !hasFocus())
        setFocus(Qt::OtherFocusReason);
    FNavigation->SetAlwaysEdit(alwaysEdit);
    switch (key) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: {
        int k = key;
        GridKeyDown(k, shift);
        break;
    }
    case VK_RETURN:
        if (!FNoAutoAdvance)
            AdvanceToNextCell(Col(), Row(), false, true, true, false, true);
        break;
    default: break;
    }
}

// The cell's colour and font, as it paints.
namespace {
void EditorLook(TExStringGrid& grid, int aCol, int aRow, TColor& color, TFont& font)
{
    TGridDrawState state = 0;
    TBrush brush;
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = false;
    TCellGradientDirection gd = GradientVertical;
    font.Assign(grid.Font());
    grid.GetVisualProperties(aCol, aRow, state, false, false, true, brush, colorTo, mirror, mirrorTo, font, ha, va, ww,
                             gd);
    color = brush.Color() == clNone ? grid.Color() : brush.Color();
}
} // namespace

void TExStringGrid::ShowSpecialEditor(int aCol, int aRow)
{
    FEditing = FSpecialEditor = FEditActive = true;
    TRect r = TBaseGrid::CellRect(aCol, aRow);
    if (isRightToLeft())
        r.Left += 1;
    const int w = r.Right - r.Left - 1, h = r.Bottom - r.Top - 1;
    TColor color = clWindow;
    TFont font;
    EditorLook(*this, aCol, aRow, color, font);
    SetGridState(gsNormal);
    FEditCtrl = nullptr;
    if (FEditControl != edCustom)
        FLastValidation = true;
    const int realCol = RealColIndex(aCol);
    const QString text = GetEditText(aCol, aRow);
    const QChar startChar = FStartEditChar;
    FStartEditChar = QChar();

    auto nothingShown = [&] {
        // A kind without a control here: nothing is up, nothing will be committed.
        FEditMode = FEditing = FSpecialEditor = FEditActive = false;
    };

    switch (FEditControl) {
    case edComboEdit:
    case edComboList: {
        TGridCombo* combo = FEditCombo;
        if (!combo) {
            nothingShown();
            break;
        }
        const bool list = FEditControl == edComboList;
        combo->SetDropDownCount(FControlLook->DropDownCount());
        DoGetEditorProp(realCol, aRow, nullptr);
        combo->SetBounds(r.Left, r.Top, 0, 0);
        combo->SetDroppedDown(false);
        combo->SetStyle(list ? csDropDownList : csDropDown);
        if (!list && h > 6)
            combo->SetItemHeight(h - 6);
        combo->SetBounds(r.Left, r.Top, w, h);
        bool pickedFirst = false;
        if (!list) {
            combo->SetText(text);
            if (FComboIdx != -1 && combo->ItemIndex() == -1)
                combo->SetItemIndex(FComboIdx);
            combo->SetMaxLength(FMaxComboLength);
        } else {
            const QStringList items = combo->Items();
            int index = static_cast<int>(items.indexOf(GetCellEx(realCol, aRow)));
            if (index < 0 && FComboIdx == -1)
                index = static_cast<int>(items.indexOf(text));
            if (index < 0 && FComboIdx != -1)
                index = FComboIdx < combo->ItemCount() ? FComboIdx : -1;
            if (index < 0 && combo->ItemCount() > 0) {
                index = 0;
                pickedFirst = true;
            }
            combo->SetItemIndex(index);
        }
        const TGridLook look = FLook;
        const bool flat = look == glSoft || look == glQRV || look == glXP || look == glListView || look == glVista ||
                          look == glWin7 || look == glOffice2007;
        combo->SetFlat(flat);
        combo->SetEtched(flat);
        if (FNavigation->AutoComboDropSize())
            combo->SizeDropDownWidth();
        else if (combo->DropWidth() > 0)
            combo->SetDroppedWidth(combo->DropWidth());
        combo->SetFont(font);
        combo->SetVisible(true);
        combo->SetEnabled(true);
        combo->SetColor(color);
        combo->raise();
        if (isVisible())
            combo->SetFocus();
        if (!startChar.isNull() && !list)
            PostMessage(combo, WM_CHAR, startChar.unicode(), 0);
        if (FMouseActions->DirectComboDrop() || FControlLook->DropDownAlwaysVisible())
            combo->SetDroppedDown(true);
        FEditCtrl = combo;
        if (pickedFirst) {
            const int rc = RealColIndex(Col());
            if (OnComboChange)
                OnComboChange(this, rc, Row(), 0, combo->ItemText(0));
            if (OnComboObjectChange)
                OnComboObjectChange(this, rc, Row(), 0, combo->ItemText(0), combo->ItemObject(0));
        }
        if (FMouseActions->DirectEdit() && FMouseActions->DirectComboDrop()) {
            const TGridRect s = Selection();
            DoSelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
        }
        break;
    }
    case edCheckBox: {
        TGridCheckBox* check = FEditCheck;
        if (!check) {
            nothingShown();
            break;
        }
        check->ReCreate();
        check->SetCaption(text);
        check->SetState(cbUnchecked);
        check->SetBounds(r.Left, r.Top, w, h);
        check->SetVisible(true);
        check->SetEnabled(true);
        check->SetColor(color);
        check->raise();
        if (isVisible())
            check->SetFocus();
        break;
    }
    case edButton: {
        TGridButton* button = FGridButton;
        if (!button) {
            nothingShown();
            break;
        }
        button->ReCreate();
        button->SetBounds(r.Left - 1, r.Top - 1, w + 2, h + 2);
        button->SetText(text);
        button->SetVisible(true);
        button->SetEnabled(true);
        button->raise();
        if (isVisible())
            button->SetFocus();
        FEditCtrl = button;
        break;
    }
    case edSpinEdit:
    case edFloatSpinEdit:
    case edTimeSpinEdit:
    case edDateSpinEdit: {
        TGridSpin* spin = SpinEdit();
        const TEsgSpinType type = FEditControl == edFloatSpinEdit  ? sptFloat
                                  : FEditControl == edTimeSpinEdit ? sptTime
                                  : FEditControl == edDateSpinEdit ? sptDate
                                                                   : sptNormal;
        DoGetEditorProp(realCol, aRow, spin);
        spin->SetText(text);
        // A date spin over a text that is no date opens on today, not on
        // the zero date.
        if (type == sptDate && !text.trimmed().isEmpty() && text.trimmed() != u"0") {
            try {
                (void)TextToDate(text.trimmed());
            } catch (const std::invalid_argument&) {
                spin->SetText(QString());
            }
        }
        // The text is normalised to the kind (an empty cell may stay empty).
        if (!(text.isEmpty() && spin->AllowEmptyValue()))
            spin->SetSpinType(type);
        else
            spin->SetSpinTypeOnly(type);
        ShowEditorControl(spin, r, w, h, color, font);
        if (!startChar.isNull() && startChar.isPrint() && spin->AcceptsChar(startChar)) {
            spin->SetText(QString(startChar));
            spin->setCursorPosition(1);
        }
        break;
    }
    case edDateEdit:
    case edDateEditUpDown:
    case edTimeEdit: {
        TGridDatePicker* picker = DatePicker();
        picker->SetKind(FEditControl == edTimeEdit ? dtkTime : dtkDate);
        picker->SetDateMode(FEditControl == edDateEditUpDown ? dmUpDown : dmComboBox);
        picker->SetFormat(FEditControl == edTimeEdit ? QtTimeFormat() : QtDateFormat());
        DoGetEditorProp(realCol, aRow, picker);
        picker->ReadCellText(text);
        ShowEditorControl(picker, r, w, h, color, font);
        // The calendar drops down at once (F4 opens it).
        if (FEditControl != edTimeEdit && FMouseActions->DirectDateDrop() && isVisible()) {
            QKeyEvent f4(QEvent::KeyPress, Qt::Key_F4, Qt::NoModifier);
            QCoreApplication::sendEvent(picker, &f4);
        }
        break;
    }
    case edDateTimeEdit: {
        TGridDateTimePicker* picker = DateTimePicker();
        FOriginalDateTime = picker->ReadCellText(text);
        DoGetEditorProp(realCol, aRow, picker);
        // Raised to the cell's height, never lowered below its own.
        ShowEditorControl(picker, r, w, std::max(h, picker->OwnHeight()), color, font);
        FEditCtrl = nullptr;
        break;
    }
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn:
    case edMaskEditBtn: {
        TGridEditBtn* edit = FEditBtn;
        DoGetEditorProp(realCol, aRow, edit);
        // The mask comes before the text, which it then shapes.
        edit->SetEditMask(FEditControl == edMaskEditBtn ? GetEditMask(aCol, aRow) : QString());
        edit->SetText(text);
        edit->SetMaxLength(FMaxEditLength);
        ShowEditorControl(edit, r, w, h, color, font);
        if (!startChar.isNull() && startChar.isPrint())
            edit->SetText(QString(startChar));
        break;
    }
    case edUnitEditBtn:
    case edNumericUnitEditBtn:
    case edFloatUnitEditBtn: {
        TGridUnitEditBtn* edit = FUnitEditBtn;
        DoGetEditorProp(realCol, aRow, edit);
        edit->SetUnitID(QString());
        edit->SetText(text);
        edit->SetTextAndUnit(text);
        ShowEditorControl(edit, r, w, h, color, font);
        break;
    }
    case edCustom:
        // Without a link there is nothing to edit with; the cell stays.
        if (EditLink())
            ShowLinkEditor(aCol, aRow, r, color, font, text, startChar);
        else
            nothingShown();
        break;
    case edRichEdit: ShowRichEditor(aCol, aRow, r, color, font, startChar); break;
    default:
        // The drop-down kinds (ExGrid_DropDownEditors.cpp); nothing for the others.
        if (!ShowDropDownEditor(aCol, aRow, r, w, h, color, font, text, startChar))
            nothingShown();
        break;
    }
    FStartEditChar = QChar();
}

void TExStringGrid::ShowEditorControl(QWidget* editor, const TRect& r, int w, int h, TColor color, const TFont& font)
{
    editor->setGeometry(r.Left, r.Top, std::max(0, w), std::max(0, h));
    detail::SetWidgetColor(editor, color);
    QFont f = editor->font();
    f.setFamily(font.Name());
    if (font.Size() > 0)
        f.setPointSize(font.Size());
    editor->setFont(f);
    editor->setEnabled(true);
    editor->show();
    editor->raise();
    if (isVisible())
        editor->setFocus(Qt::OtherFocusReason);
    FEditCtrl = editor;
}

TGridSpin* TExStringGrid::SpinEdit()
{
    if (!FEditSpin) {
        FEditSpin = new TGridSpin(this);
        FEditSpin->setEnabled(false);
    }
    return FEditSpin;
}

TGridDatePicker* TExStringGrid::DatePicker()
{
    if (!FEditDate) {
        FEditDate = new TGridDatePicker(this);
        FEditDate->setEnabled(false);
        // A change reaches OnEditChange as the picker's time or date text.
        FEditDate->OnChange = [this](QObject*) {
            if (!FEditDate->isVisible() || !OnEditChange)
                return;
            const QString text = FEditDate->Kind() == dtkTime
                                     ? TimeToText(FEditDate->Time().msecsSinceStartOfDay() / 86400000.0)
                                     : DateToText(SpinDateTimeOf(FEditDate->Date(), 0));
            OnEditChange(this, Col(), Row(), text);
        };
        FEditDate->OnDropDown = [this](QObject*) {
            FEditDate->SetCalendarStyles(FEditDate->Weeknumbers(), FEditDate->ShowToday(), FEditDate->ShowTodayCircle());
            if (OnDatePickerDropDown)
                OnDatePickerDropDown(this, Row(), Col());
        };
        FEditDate->OnCloseUp = [this](QObject*) {
            if (!FEditDate->isVisible())
                return;
            if (OnDatePickerCloseUp)
                OnDatePickerCloseUp(this, Row(), Col());
            if (FMouseActions->DirectDateClose() && FEditMode)
                HideInplaceEdit();
        };
    }
    return FEditDate;
}

TGridDateTimePicker* TExStringGrid::DateTimePicker()
{
    if (!FEditDateTime) {
        FEditDateTime = new TGridDateTimePicker(this);
        FEditDateTime->setEnabled(false);
    }
    return FEditDateTime;
}

namespace {

// The regional short date form in the picker's letters, with the regional separator.
QString PickerDateFormat()
{
    const TRegionalSettings rs = RegionalSettings();
    QString f = rs.ShortDateFormat.isEmpty() ? QStringLiteral("dd/MM/yyyy") : rs.ShortDateFormat;
    if (!rs.DateSeparator.isNull())
        for (QChar& c : f)
            if (c == u'/' || c == u'.' || c == u'-')
                c = rs.DateSeparator;
    return f;
}

} // namespace

QString TExStringGrid::QtDateFormat() const { return PickerDateFormat(); }

QString TExStringGrid::QtTimeFormat() const
{
    const QChar s = RegionalSettings().TimeSeparator.isNull() ? QChar(u':') : RegionalSettings().TimeSeparator;
    return QStringLiteral("HH") + s + QStringLiteral("mm") + s + QStringLiteral("ss");
}

// ---------------------------------------------------------------------------
// Committing
// ---------------------------------------------------------------------------

void TExStringGrid::StoreEditorValue(int aCol, int aRow, const QString& value)
{
    SetEditText(aCol, aRow, value);
    SetCellEx(RealColIndex(aCol), aRow, value);
}

void TExStringGrid::CommitSpecialEditor()
{
    if (Destroying())
        return;
    FSpecialEditor = false;
    FlagGuard block(FBlockKill);
    const int realCol = RealColIndex(Col());
    FStartEditChar = QChar();
    // The grid takes the focus before the control goes, so that leaving it
    // does not start a second commit.
    auto hide = [this](QWidget* w) {
        if (!w)
            return;
        if (w->isVisible() && (w->hasFocus() || w->isAncestorOf(QApplication::focusWidget())) && isVisible())
            setFocus(Qt::OtherFocusReason);
        w->hide();
        w->setEnabled(false);
    };
    switch (FEditControl) {
    case edComboEdit:
    case edComboList:
        if (FEditMode && FEditCombo) {
            const QString value = FEditCombo->Text();
            // A pick list with no item chosen (an empty list, or Escape back
            // to a text the list does not hold) has nothing to give: the cell
            // keeps its text rather than being emptied.
            const bool nothingChosen = FEditControl == edComboList && FEditCombo->ItemIndex() < 0;
            FEditCombo->SetDroppedDown(false);
            hide(FEditCombo);
            if (!nothingChosen)
                StoreEditorValue(Col(), Row(), value);
            FEditMode = false;
        }
        break;
    case edCheckBox:
        hide(FEditCheck);
        FEditMode = false;
        break;
    case edButton:
        hide(FGridButton);
        FEditMode = false;
        break;
    case edSpinEdit:
    case edFloatSpinEdit:
    case edTimeSpinEdit:
    case edDateSpinEdit:
        if (FEditMode && FEditSpin) {
            FEditSpin->ClampToBounds();
            const QString value = FEditSpin->Text();
            hide(FEditSpin);
            const int realCol = RealColIndex(Col());
            // The value goes in typed by the kind; an allowed empty value empties the cell.
            if (FEditSpin->AllowEmptyValue() && value.trimmed().isEmpty())
                StoreEditorValue(Col(), Row(), QString());
            else if (FEditControl == edSpinEdit)
                SetInts(realCol, Row(), FEditSpin->Value());
            else if (FEditControl == edFloatSpinEdit)
                SetFloats(realCol, Row(), FEditSpin->FloatValue());
            else if (FEditControl == edDateSpinEdit)
                SetDates(realCol, Row(), FEditSpin->DateValue());
            else
                StoreEditorValue(Col(), Row(), value);
            FEditMode = false;
        }
        break;
    case edDateEdit:
    case edDateEditUpDown:
    case edTimeEdit:
        if (FEditMode && FEditDate) {
            const QString value = FEditDate->CellText();
            hide(FEditDate);
            StoreEditorValue(Col(), Row(), value);
            FEditMode = false;
        }
        break;
    case edDateTimeEdit:
        if (FEditMode && FEditDateTime) {
            const QString value = FEditDateTime->CellText();
            // A value left as it opened keeps the cell's own text.
            // A cleared check box is a change too: the cell is emptied.
            const bool changed = std::abs(FEditDateTime->Value() - FOriginalDateTime) > 1e-9 || value.isEmpty();
            hide(FEditDateTime);
            if (changed)
                StoreEditorValue(Col(), Row(), value);
            FEditMode = false;
        }
        break;
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn:
    case edMaskEditBtn:
        if (FEditMode && FEditBtn) {
            const QString value = FEditBtn->Text();
            hide(FEditBtn);
            StoreEditorValue(Col(), Row(), value);
            FEditMode = false;
        }
        break;
    case edUnitEditBtn:
    case edNumericUnitEditBtn:
    case edFloatUnitEditBtn:
        if (FEditMode && FUnitEditBtn) {
            const QString value = FUnitEditBtn->TextAndUnit();
            hide(FUnitEditBtn);
            StoreEditorValue(Col(), Row(), value);
            FEditMode = false;
        }
        break;
    case edCustom: CommitLinkEditor(); break;
    case edRichEdit: CommitRichEditor(); break;
    default: CommitDropDownEditor(); break;
    }
    if (FEditCtrl && !FEditCtrl->isVisible())
        FEditCtrl = nullptr;
    if (FEditControl != edNormal && FEditActive)
        DoEditingDone(realCol, Row());
    FEditActive = false;
}

void TExStringGrid::UndoCellEdit() { SetCurrentCell(FCellCache); }

void TExStringGrid::DoGetEditorProp(int aCol, int aRow, QObject* aEditLink)
{
    if (OnGetEditorProp)
        OnGetEditorProp(this, aCol, aRow, aEditLink);
    if (OnGetEditorPropInt)
        OnGetEditorPropInt(this, aRow, aCol);
}

void TExStringGrid::DoCheckBoxClick(int aCol, int aRow, bool state)
{
    if (OnCheckBoxClick)
        OnCheckBoxClick(this, aCol, aRow, state);
}

QString TExStringGrid::DoEllipsClick(const QString& value)
{
    QString result = value;
    if (OnEllipsClick)
        OnEllipsClick(this, Col(), Row(), result);
    return result;
}

void TExStringGrid::DoEditingDone(int aCol, int aRow)
{
    if (OnEditingDone)
        OnEditingDone(this);
    FEditMode = false;
    PostMessage(this, GridEditDoneMessage(), aCol, aRow);
}

// ---------------------------------------------------------------------------
// The combo editor's list
// ---------------------------------------------------------------------------

void TExStringGrid::AddComboString(const QString& s)
{
    if (FEditCombo)
        FEditCombo->AddItem(s);
}

void TExStringGrid::AddComboStringObject(const QString& s, TObject* o)
{
    if (FEditCombo)
        FEditCombo->AddItem(s, o);
}

bool TExStringGrid::RemoveComboString(const QString& s)
{
    if (!FEditCombo)
        return false;
    const int index = static_cast<int>(FEditCombo->Items().indexOf(s));
    if (index < 0)
        return false;
    FEditCombo->DeleteItem(index);
    return true;
}

void TExStringGrid::ClearComboString()
{
    if (FEditCombo)
        FEditCombo->Clear();
}

int TExStringGrid::GetComboCount() { return FEditCombo ? FEditCombo->ItemCount() : 0; }

void TExStringGrid::SetComboSelection(int index) { FComboIdx = index; }

bool TExStringGrid::SetComboSelectionString(const QString& s)
{
    const int index = FEditCombo ? static_cast<int>(FEditCombo->Items().indexOf(s)) : -1;
    if (index < 0)
        return false;
    FComboIdx = index;
    return true;
}

int TExStringGrid::ComboIndex(int aCol, int aRow)
{
    DoGetEditorProp(aCol, aRow, nullptr);
    if (!FEditCombo)
        return -1;
    return static_cast<int>(FEditCombo->Items().indexOf(GetCellEx(aCol, aRow)));
}

void TExStringGrid::SetComboIndex(int aCol, int aRow, int value)
{
    DoGetEditorProp(aCol, aRow, nullptr);
    if (!FEditCombo || value < 0 || value >= FEditCombo->ItemCount())
        return;
    SetCellEx(aCol, aRow, FEditCombo->ItemText(value));
}

// ---------------------------------------------------------------------------
// Controls hosted in cells, and scrolling
// ---------------------------------------------------------------------------

void TExStringGrid::CellControlsUpdate(bool rebuildList)
{
    if (!HandleAllocated())
        return;
    if (rebuildList) {
        FControlList.Clear();
        const int cols = TotalColCount();
        for (int c = 0; c < cols; ++c)
            for (int r = 0; r < RowCount(); ++r)
                if (const TCellProperties* p = CellPropsAt(c, r))
                    if (p->Control())
                        FControlList.AddControl(c, r, p->Control());
    }
    if (FControlList.Count() == 0)
        return;
    const int left = LeftCol(), top = TopRow();
    const int right = left + VisibleColCount(), bottom = top + VisibleRowCount();
    const int fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();
    std::vector<QWidget*> shown;
    for (int i = 0; i < FControlList.Count(); ++i) {
        const TControlItem* item = FControlList.GetControl(i);
        QWidget* control = item->Control.data();
        if (!control)
            continue;
        if (IsHiddenColumn(item->X) || item->Y >= RowCount()) {
            control->hide();
            continue;
        }
        const int dc = DisplColIndexOf(item->X), dr = item->Y;
        const bool fixed = dc < fixedCols || dr < fixedRows;
        if (!fixed && (dc < left || dc > right || dr < top || dr > bottom)) {
            control->hide();
            continue;
        }
        if (fixed)
            continue;
        const TRect r = TBaseGrid::CellRect(dc, dr);
        if (IsRectEmpty(r)) {
            control->hide();
            continue;
        }
        if (control->parentWidget() != ClientSurface())
            control->setParent(ClientSurface());
        control->setGeometry(r.Left - 1, r.Top - 1, r.Width() + 1, r.Height() + 1);
        control->show();
        shown.push_back(control);
    }
    for (QWidget* control : shown)
        control->update();
}

void TExStringGrid::TopLeftChanged()
{
    TBaseGrid::TopLeftChanged();
    // Painted over the scrolled cells: a rectangle around several selected
    // rows, and a background picture or gradient.
    const TGridRect sel = Selection();
    if ((FSelectionRectangle && sel.Bottom > sel.Top) || !FBackGround->Bitmap().Empty() || FBackGround->IsGradient())
        Invalidate();
    if (FEditMode && FEditControl != edNormal && !IsDefaultEditorKind(FEditControl))
        HideInplaceEdit();
    UpdateProportionalVScroll();
    UpdateProportionalHScroll();
    // The grid's own bars move their thumbs.
    for (QWidget* bar : {static_cast<QWidget*>(vscrlctrl), static_cast<QWidget*>(hscrlctrl)})
        if (bar)
            bar->update();
    UpdateFooter();
    CellControlsUpdate(false);
    if (FFocusWindow && FFocusWindow->isVisible())
        PlaceFocusWindow();
    // A synchronised grid follows; two grids synchronised with each other
    // stop where they agree.
    TStringGrid* sync = FSyncGrid->Grid();
    if (sync && sync != this) {
        if (FSyncGrid->ScrollVertical() && sync->TopRow() != TopRow() && TopRow() >= sync->FixedRows() &&
            TopRow() < sync->RowCount())
            sync->SetTopRow(TopRow());
        if (FSyncGrid->ScrollHorizontal() && sync->LeftCol() != LeftCol() && LeftCol() >= sync->FixedCols() &&
            LeftCol() < sync->ColCount())
            sync->SetLeftCol(LeftCol());
    }
}

// ---------------------------------------------------------------------------
// Keys and presses that editing needs
// ---------------------------------------------------------------------------

bool TExStringGrid::ToggleCheckBoxCell(int aCol, int aRow)
{
    const int rc = RealColIndex(aCol);
    const TPoint base = BaseCell(rc, aRow);
    if (!HasCheckBox(base.X, base.Y) || !ToggleCellCheck(base.X, base.Y, true))
        return false;
    if (FShowModified->Enabled()) {
        SetRowModified(RealRowIndex(aRow), true);
        TBaseGrid::RepaintCell(0, aRow);
    }
    bool state = false;
    GetCheckBoxState(base.X, RealRowIndex(base.Y), state);
    if (!FNavigation->AlwaysEdit() && aCol >= TBaseGrid::FixedCols() && aRow >= TBaseGrid::FixedRows() &&
        (aCol != Col() || aRow != Row()))
        MoveColRow(aCol, aRow, true, true);
    DoCheckBoxClick(aCol, aRow, state);
    TBaseGrid::RepaintCell(aCol, aRow);
    return true;
}

void TExStringGrid::GridKeyDown(int& key, TShiftState shift) { KeyDown(key, shift); }
