// The grid's drop-down editors: the wrappers' protocol, and the grid's side:
// making each on first use, showing it over the cell with the cell's value,
// and taking the value back when editing ends.
#include "grid/ExGrid_DropDownEditors.h"

#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>

#include <stdexcept>

using namespace platform;

namespace {

QWidget* SurfaceOf(TExStringGrid* grid)
{
    if (!grid)
        throw std::invalid_argument("The grid's editor needs its grid");
    return grid->ClientSurface();
}

bool IsTabKey(const QKeyEvent* e) { return e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab; }

} // namespace

// ---------------------------------------------------------------------------
// The protocol
// ---------------------------------------------------------------------------

template <class Base>
TGridDropDown<Base>::TGridDropDown(TExStringGrid* grid) : Base(SurfaceOf(grid)), FGrid(grid)
{
    this->hide();
}

template <class Base>
bool TGridDropDown<Base>::InNavigationSet(int key, TShiftState shift) const
{
    switch (key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_UP: return true;
    case VK_DOWN: return !(shift & ssAlt); // Alt+Down opens the list
    default: return false;
    }
}

template <class Base>
bool TGridDropDown<Base>::WritesOnKey(int key) const
{
    return key == VK_RETURN || key == VK_UP || key == VK_DOWN;
}

template <class Base>
bool TGridDropDown<Base>::WriteAndValidate()
{
    const QString text = EditorText();
    FGrid->SetCurrentCell(text);
    return FGrid->ValidateCell(text);
}

template <class Base>
void TGridDropDown<Base>::KeyDown(int& key, TShiftState shift)
{
    TExStringGrid& g = *FGrid;
    Forced = false;
    WorkMode = key != VK_BACK && key != VK_DELETE;
    const bool dropped = this->DroppedDown();
    if (!InNavigationSet(key, shift) || (key == VK_END && !dropped)) {
        Base::KeyDown(key, shift);
        return;
    }
    if (key == VK_ESCAPE) {
        // The cell gets back what it had when the edit began.
        FCancelled = true;
        g.UndoCellEdit();
        TakeText(g.CurrentCell());
        g.HideInplaceEdit();
        g.SetFocus();
    }
    if (WritesOnKey(key)) {
        BeforeWrite(key);
        if (!WriteAndValidate()) {
            TakeText(g.NewCellText());
            this->SelectAll();
            this->update();
            key = 0;
            g.SetNoAutoAdvance(true);
            return;
        }
        TakeText(g.CurrentCell());
    }
    if (key == VK_TAB && g.WantsTabKey()) {
        if (!WriteAndValidate()) {
            TakeText(g.NewCellText());
            this->setCursorPosition(static_cast<int>(this->text().size()));
            this->update();
            key = 0;
            return;
        }
        TakeText(g.CurrentCell());
        if (g.Options() & goTabs) {
            g.HideInplaceEdit();
            g.SetFocus();
            g.TabMove((shift & ssShift) != 0);
            key = 0;
            return;
        }
        QCoreApplication::postEvent(&g, new QKeyEvent(QEvent::KeyPress, (shift & ssShift) ? Qt::Key_Backtab : Qt::Key_Tab,
                                                      (shift & ssShift) ? Qt::ShiftModifier : Qt::NoModifier));
    }
    if (dropped) {
        g.HideInplaceEdit();
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
    }
    g.DoneInplaceEdit(key, shift);
    TNavigation& nav = g.Navigation();
    if (!FCancelled && nav.AdvanceOnEnter() && nav.AdvanceAutoEdit())
        g.ShowInplaceEdit();
    key = 0;
}

template <class Base>
bool TGridDropDown<Base>::HandleKeyPress(QKeyEvent* e)
{
    const QString typed = e->text();
    const int key = e->key();
    const bool control = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || IsTabKey(e);
    if (!control && !typed.isEmpty() && typed[0].isPrint() && FGrid->OnKeyPress) {
        QChar ch = typed[0];
        FGrid->OnKeyPress(this, ch);
        if (ch.isNull())
            return true;
        if (ch != typed[0]) {
            QKeyEvent changed(e->type(), e->key(), e->modifiers(), QString(ch));
            return Base::HandleKeyPress(&changed);
        }
    }
    const bool used = Base::HandleKeyPress(e);
    if (control && FGrid->OnKeyPress) {
        // The grid sees the character of Enter, Escape and Tab too; the
        // editor then drops it.
        QChar ch = key == Qt::Key_Escape ? QChar(27) : IsTabKey(e) ? QChar(u'\t') : QChar(u'\r');
        FGrid->OnKeyPress(this, ch);
    }
    return used || control;
}

template <class Base>
void TGridDropDown<Base>::Change()
{
    Base::Change();
    if (!FLoading && FGrid->OnEditChange)
        FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), EditorText());
}

template <class Base>
bool TGridDropDown<Base>::event(QEvent* e)
{
    // Tab is the editor's when the grid wants it, not the form's focus move.
    if (e->type() == QEvent::KeyPress && IsTabKey(static_cast<QKeyEvent*>(e)) && FGrid->WantsTabKey()) {
        this->keyPressEvent(static_cast<QKeyEvent*>(e));
        return true;
    }
    return Base::event(e);
}

template <class Base>
void TGridDropDown<Base>::focusInEvent(QFocusEvent* e)
{
    Base::focusInEvent(e);
    if (!FCaretUnderMouse || !FGrid->LButFlg())
        return;
    const QPoint p = this->mapFromGlobal(QCursor::pos());
    if (this->rect().contains(p)) {
        this->setCursorPosition(this->cursorPositionAt(p));
        this->deselect();
        FGrid->SetLButFlg(false);
    }
}

template <class Base>
void TGridDropDown<Base>::focusOutEvent(QFocusEvent* e)
{
    Base::focusOutEvent(e);
    // Opening the popup takes the focus for a while; that is no exit.
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason || this->DroppedDown())
        return;
    RunGuarded([this] {
        if (this->isVisible() && FGrid->EditMode())
            FGrid->HideInplaceEdit();
    });
}

template class TGridDropDown<TExTrackBarDropDown>;
template class TGridDropDown<TExMemoDropDown>;
template class TGridDropDown<TExCalculatorDropdown>;
template class TGridDropDown<TExDetailDropDown>;
template class TGridDropDown<TExColorPickerDropDown>;
template class TGridDropDown<TExImagePickerDropDown>;
template class TGridDropDown<TCustomExGridDropDown>;
template class TGridDropDown<TExMultiColumnDropDown>;
template class TGridDropDown<TExTimePickerDropDown>;

// ---------------------------------------------------------------------------
// The wrappers
// ---------------------------------------------------------------------------

TGridTrackbarDropDown::TGridTrackbarDropDown(TExStringGrid* grid) : TGridDropDown(grid)
{
    FCaretUnderMouse = true;
}

TGridMemoDropDown::TGridMemoDropDown(TExStringGrid* grid) : TGridDropDown(grid)
{
    FCaretUnderMouse = true;
}

QString TGridMemoDropDown::EditorText()
{
    return MemoText().join(QStringLiteral("\r\n"));
}

TGridCalculatorDropDown::TGridCalculatorDropDown(TExStringGrid* grid) : TGridDropDown(grid)
{
    FCaretUnderMouse = true;
}

void TGridCalculatorDropDown::BeforeWrite(int key)
{
    if (key == VK_RETURN)
        CalcResult();
}

TGridDetailPickerDropDown::TGridDetailPickerDropDown(TExStringGrid* grid) : TGridDropDown(grid) {}

TGridColorDropDown::TGridColorDropDown(TExStringGrid* grid) : TGridDropDown(grid) {}

void TGridColorDropDown::TakeText(const QString& text)
{
    if (text == SelectedColorText())
        return;
    for (int i = 0; i < Colors().Count(); ++i)
        if (Colors().Items(i)->Caption() == text) {
            SetItemIndex(i);
            return;
        }
}

void TGridColorDropDown::LoadColor(TColor c)
{
    SetItemIndex(-1);
    for (int i = 0; i < Colors().Count(); ++i)
        if (Colors().Items(i)->Color() == c) {
            SetItemIndex(i);
            return;
        }
    SetSelectedColor(c);
}

bool TGridColorDropDown::InNavigationSet(int key, TShiftState shift) const
{
    if (DroppedDown())
        return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE;
    return TGridDropDown::InNavigationSet(key, shift);
}

bool TGridColorDropDown::WritesOnKey(int key) const
{
    return key == VK_RETURN;
}

TGridTimepickerDropDown::TGridTimepickerDropDown(TExStringGrid* grid) : TGridDropDown(grid)
{
    // Inside a cell the time shows as typed, never as a selected block.
    SetFocusDraw(false);
}

void TGridTimepickerDropDown::Load(const QString& text)
{
    SetEditorEnabled(true);
    SetText(text);
    FLoadedText = text;
    FLoadedTime = Time();
}

QString TGridTimepickerDropDown::EditorText()
{
    const QChar sep = RegionalSettings().TimeSeparator.isNull() ? QChar(u':') : RegionalSettings().TimeSeparator;
    const std::optional<TTypedTime> typed = ParseTypedTime(displayText(), ShowSeconds(), sep);
    if (typed && typed->Hour < 24 && typed->Minute < 60 && typed->Second < 60)
        return Text();
    if (Time() == FLoadedTime)
        return FLoadedText;
    const TWatchTime t = DecodeWatchTime(Time());
    return FormatTypedTime(t.Hour, t.Minute, t.Second, ShowSeconds(), sep);
}

TGridImageDropDown::TGridImageDropDown(TExStringGrid* grid) : TGridDropDown(grid) {}

QString TGridImageDropDown::EditorText()
{
    if (FDataImageCell)
        return QString::number(ImageIndex());
    return FGrid->CurrentCell();
}

void TGridImageDropDown::TakeText(const QString& text)
{
    if (!FDataImageCell)
        return;
    bool ok = false;
    const int index = text.trimmed().toInt(&ok);
    if (ok && index != ImageIndex())
        SetImageIndex(index);
}

TGridGridDropDown::TGridGridDropDown(TExStringGrid* grid) : TGridDropDown(grid) {}

void TGridGridDropDown::LoadText(const QString& text)
{
    SetEditorEnabled(true);
    BeginUpdate();
    EndUpdate();
    SetItemIndex(text.isEmpty() ? 0 : GetItemIndex(text));
    SetText(text);
}

TGridExGridDropDown::TGridExGridDropDown(TExStringGrid* grid) : TGridDropDown(grid) {}

void TGridExGridDropDown::LoadText(const QString& text)
{
    SetEditorEnabled(true);
    if (InnerGrid())
        InnerGrid()->SetFixedRowAlways(true);
    BeginUpdate();
    EndUpdate();
    if (UseItems()) {
        QString found;
        int item = 0;
        if (!text.isEmpty() && !FindLookupMatch(text, found, item))
            item = -1;
        SetItemIndex(item);
    }
    SetText(text);
}

// ---------------------------------------------------------------------------
// The grid's side
// ---------------------------------------------------------------------------

namespace {

// Hidden and disabled between edits; the grid's looks and the header and
// footer button relays.
void SetUpDropDown(TExStringGrid& g, TExCustomDropDown* d)
{
    d->setEnabled(false);
    d->hide();
    d->SetComponentStyle(g.QRVStyle());
    d->SetColorTones(g.ColorTones());
    d->OnDropDownHeaderButtonClick = [&g](QObject* sender, int index) {
        if (g.OnDropDownHeaderButtonClick)
            g.OnDropDownHeaderButtonClick(sender, g.Col(), g.Row(), index);
    };
    d->OnDropDownFooterButtonClick = [&g](QObject* sender, int index) {
        if (g.OnDropDownFooterButtonClick)
            g.OnDropDownFooterButtonClick(sender, g.Col(), g.Row(), index);
    };
}

template <class W>
W* MakeOnce(TExStringGrid& g, W*& field)
{
    if (!field) {
        field = new W(&g);
        SetUpDropDown(g, field);
    }
    return field;
}

} // namespace

TGridTrackbarDropDown* TExStringGrid::TrackbarDropDown()
{
    if (!FEditTrackBar) {
        MakeOnce(*this, FEditTrackBar);
        FEditTrackBar->SetEditorEnabled(true);
    }
    return FEditTrackBar;
}

TGridMemoDropDown* TExStringGrid::MemoDropDown()
{
    if (!FEditMemo) {
        MakeOnce(*this, FEditMemo);
        // The cell follows the memo while it is edited.
        FEditMemo->OnMemoChange = [this](QObject*) {
            if (FEditMemo->isVisible() && !FEditMemo->Loading() && FEditControl == edMemoDropDown)
                SetEditText(Col(), Row(), FEditMemo->EditorText());
        };
    }
    return FEditMemo;
}

TGridCalculatorDropDown* TExStringGrid::CalculatorDropDown()
{
    if (!FEditCalculator) {
        MakeOnce(*this, FEditCalculator);
        FEditCalculator->SetEditorEnabled(true);
    }
    return FEditCalculator;
}

TGridDetailPickerDropDown* TExStringGrid::DetailPickerDropDown()
{
    return MakeOnce(*this, FEditDetailPicker);
}

TGridColorDropDown* TExStringGrid::ColorPickerDropDown()
{
    if (!FEditColorPicker) {
        MakeOnce(*this, FEditColorPicker);
        FEditColorPicker->AddDefaultColors();
        FEditColorPicker->OnSelect = [this](QObject*) {
            if (!FEditColorPicker->Loading())
                DoColorSelect(FEditColorPicker->SelectedColor(), FEditColorPicker->SelectedColorText());
        };
    }
    return FEditColorPicker;
}

TGridTimepickerDropDown* TExStringGrid::TimePickerDropDown()
{
    return MakeOnce(*this, FEditTimePicker);
}

TGridGridDropDown* TExStringGrid::GridDropDown()
{
    return MakeOnce(*this, FEditGridPicker);
}

TGridExGridDropDown* TExStringGrid::ExGridDropDown()
{
    return MakeOnce(*this, FEditExGridPicker);
}

TGridImageDropDown* TExStringGrid::ImagePickerDropDown()
{
    if (!FEditImagePicker) {
        MakeOnce(*this, FEditImagePicker);
        FEditImagePicker->OnSelect = [this](QObject*) {
            if (!FEditImagePicker->Loading())
                DoImageSelect(FEditImagePicker->ItemIndex());
        };
    }
    return FEditImagePicker;
}

TExCustomDropDown* TExStringGrid::DropDownEditorOf(TEditorType kind, bool create)
{
    switch (kind) {
    case edTrackbarDropDown: return create ? TrackbarDropDown() : FEditTrackBar;
    case edMemoDropDown: return create ? MemoDropDown() : FEditMemo;
    case edCalculatorDropDown: return create ? CalculatorDropDown() : FEditCalculator;
    case edDetailDropDown: return create ? DetailPickerDropDown() : FEditDetailPicker;
    case edColorPickerDropDown: return create ? ColorPickerDropDown() : FEditColorPicker;
    case edImagePickerDropDown: return create ? ImagePickerDropDown() : FEditImagePicker;
    case edTimePickerDropDown: return create ? TimePickerDropDown() : FEditTimePicker;
    case edExGridDropDown: return create ? ExGridDropDown() : FEditExGridPicker;
    case edGridDropDown: return create ? GridDropDown() : FEditGridPicker;
    default: return nullptr;
    }
}

bool TExStringGrid::DropDownEditorWantsKey(int key)
{
    if (!FEditMode || (key != VK_RETURN && key != VK_ESCAPE))
        return false;
    TExCustomDropDown* d = DropDownEditorOf(FEditControl, false);
    if (!d || !d->isVisible())
        return false;
    // The colour and track-bar editors always; the others Escape while
    // their list is open.
    if (FEditControl == edColorPickerDropDown || FEditControl == edTrackbarDropDown)
        return true;
    return key == VK_ESCAPE && d->DroppedDown();
}

void TExStringGrid::DropDownEditorsTakeComponentStyle(TQRVStyle style)
{
    for (TEditorType kind : {edTrackbarDropDown, edMemoDropDown, edCalculatorDropDown, edDetailDropDown,
                             edColorPickerDropDown, edImagePickerDropDown, edTimePickerDropDown, edExGridDropDown,
                             edGridDropDown})
        if (TExCustomDropDown* d = DropDownEditorOf(kind, false))
            d->SetComponentStyle(style);
}

void TExStringGrid::DropDownEditorsTakeStyle()
{
    for (TEditorType kind : {edTrackbarDropDown, edMemoDropDown, edCalculatorDropDown, edDetailDropDown,
                             edColorPickerDropDown, edImagePickerDropDown, edTimePickerDropDown, edExGridDropDown, edGridDropDown})
        if (TExCustomDropDown* d = DropDownEditorOf(kind, false)) {
            d->SetComponentStyle(FQRVStyle);
            d->SetColorTones(FColorTones);
        }
}

bool TExStringGrid::ShowDropDownEditor(int aCol, int aRow, const TRect& r, int w, int h, TColor color,
                                       const TFont& font, const QString& text, QChar startChar)
{
    TExCustomDropDown* d = DropDownEditorOf(FEditControl, true);
    if (!d)
        return false;
    const int realCol = RealColIndex(aCol);
    d->SetDropDownFooter(FControlLook->DropDownFooter());
    d->SetDropDownHeader(FControlLook->DropDownHeader());
    d->SetComponentStyle(FQRVStyle);
    DoGetEditorProp(realCol, aRow, d);
    d->setGeometry(r.Left, r.Top, 0, 0);
    d->setFrame(false);
    auto load = [&](auto* editor, auto&& fill) {
        editor->BeginLoad();
        fill(*editor);
    };
    switch (FEditControl) {
    case edTrackbarDropDown:
        load(FEditTrackBar, [&](TGridTrackbarDropDown& e) {
            bool ok = false;
            const int v = text.trimmed().toInt(&ok);
            e.SetPosition(ok ? v : 0);
        });
        break;
    case edMemoDropDown:
        load(FEditMemo, [&](TGridMemoDropDown& e) {
            e.SetText(text);
            e.setCursorPosition(0);
            e.deselect();
        });
        break;
    case edCalculatorDropDown: load(FEditCalculator, [&](TGridCalculatorDropDown& e) { e.SetText(text); }); break;
    case edTimePickerDropDown: load(FEditTimePicker, [&](TGridTimepickerDropDown& e) { e.Load(text); }); break;
    case edExGridDropDown: load(FEditExGridPicker, [&](TGridExGridDropDown& e) { e.LoadText(text); }); break;
    case edGridDropDown: load(FEditGridPicker, [&](TGridGridDropDown& e) { e.LoadText(text); }); break;
    case edDetailDropDown:
        load(FEditDetailPicker, [&](TGridDetailPickerDropDown& e) {
            e.SetText(text);
            e.SetEditorEnabled(true);
            const int index = e.Items().IndexOf(e.Text());
            if (index >= 0)
                e.SetItemIndex(index);
        });
        break;
    case edColorPickerDropDown:
        load(FEditColorPicker, [&](TGridColorDropDown& e) {
            TCellGraphic* g = GetCellGraphic(realCol, aRow);
            const TColor cellColor =
                g && g->CellType == ctShape ? GetShapeColor(realCol, aRow) : GetColors(realCol, aRow);
            e.LoadColor(cellColor);
        });
        break;
    case edImagePickerDropDown:
        load(FEditImagePicker, [&](TGridImageDropDown& e) {
            int index = -1;
            const bool listCell = GetImageIdx(realCol, aRow, index);
            const bool dataCell = !listCell && HasDataImage(realCol, aRow);
            e.SetDataImageCell(dataCell);
            if (listCell || dataCell) {
                e.SetImages(FGridImages);
                if (e.Items().Count() == 0)
                    e.AddImagesFromImageList();
                if (dataCell) {
                    bool ok = false;
                    index = GetCellEx(realCol, aRow).trimmed().toInt(&ok);
                    if (!ok)
                        index = -1;
                }
            }
            e.SetImageIndex(index);
            const int item = e.ItemIndex();
            e.SetText(item >= 0 ? e.Items().Items(item)->Caption() : QString());
        });
        break;
    default: break;
    }
    ShowEditorControl(d, r, w, h, color, font);
    switch (FEditControl) {
    case edTrackbarDropDown: FEditTrackBar->EndLoad(); break;
    case edMemoDropDown: FEditMemo->EndLoad(); break;
    case edCalculatorDropDown: FEditCalculator->EndLoad(); break;
    case edDetailDropDown: FEditDetailPicker->EndLoad(); break;
    case edColorPickerDropDown: FEditColorPicker->EndLoad(); break;
    case edImagePickerDropDown: FEditImagePicker->EndLoad(); break;
    case edTimePickerDropDown: FEditTimePicker->EndLoad(); break;
    case edExGridDropDown: FEditExGridPicker->EndLoad(); break;
    case edGridDropDown: FEditGridPicker->EndLoad(); break;
    default: break;
    }
    if (!startChar.isNull() && startChar.isPrint())
        QCoreApplication::postEvent(d, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(startChar)));
    if (FMouseActions->DirectComboDrop())
        d->ShowDropDown();
    return true;
}

bool TExStringGrid::CommitDropDownEditor()
{
    TExCustomDropDown* d = DropDownEditorOf(FEditControl, false);
    if (!d)
        return false;
    if (!FEditMode)
        return true;
    const int realCol = RealColIndex(Col());
    const int row = Row();
    bool cancelled = false;
    QString value;
    TColor colour = clNone;
    int index = -1;
    switch (FEditControl) {
    case edTrackbarDropDown:
        cancelled = FEditTrackBar->Cancelled();
        value = FEditTrackBar->EditorText();
        break;
    case edMemoDropDown:
        cancelled = FEditMemo->Cancelled();
        value = FEditMemo->EditorText();
        break;
    case edCalculatorDropDown:
        cancelled = FEditCalculator->Cancelled();
        value = FEditCalculator->EditorText();
        break;
    case edDetailDropDown:
        cancelled = FEditDetailPicker->Cancelled();
        value = FEditDetailPicker->EditorText();
        break;
    case edColorPickerDropDown:
        cancelled = FEditColorPicker->Cancelled();
        colour = FEditColorPicker->SelectedColor();
        value = FEditColorPicker->SelectedColorText();
        break;
    case edImagePickerDropDown:
        cancelled = FEditImagePicker->Cancelled();
        index = FEditImagePicker->ImageIndex();
        break;
    case edTimePickerDropDown:
        cancelled = FEditTimePicker->Cancelled();
        value = FEditTimePicker->EditorText();
        break;
    case edExGridDropDown:
        cancelled = FEditExGridPicker->Cancelled();
        value = FEditExGridPicker->EditorText();
        break;
    case edGridDropDown:
        cancelled = FEditGridPicker->Cancelled();
        value = FEditGridPicker->EditorText();
        break;
    default: break;
    }
    // The popup goes first, then the editor; the grid takes the focus
    // before the editor goes so that leaving it starts no second commit.
    if (d->DroppedDown())
        d->HideDropDown(cancelled);
    if (d->isVisible() && (d->hasFocus() || d->isAncestorOf(QApplication::focusWidget())) && isVisible())
        setFocus(Qt::OtherFocusReason);
    d->hide();
    d->setEnabled(false);
    FEditMode = false;
    if (cancelled)
        return true;
    switch (FEditControl) {
    case edColorPickerDropDown: {
        if (OnColorSelected)
            OnColorSelected(this, realCol, row, colour, value);
        StoreEditorValue(Col(), row, value);
        TCellGraphic* g = GetCellGraphic(realCol, row);
        if (g && g->CellType == ctShape)
            SetShapeColor(realCol, row, colour);
        else
            SetColors(realCol, row, colour);
        break;
    }
    case edImagePickerDropDown:
        if (OnImageSelected)
            OnImageSelected(this, realCol, row, index);
        if (FEditImagePicker->DataImageCell())
            StoreEditorValue(Col(), row, QString::number(index));
        else if (int old = 0; GetImageIdx(realCol, row, old))
            SetImageIdx(realCol, row, index);
        break;
    default: StoreEditorValue(Col(), row, value); break;
    }
    return true;
}
