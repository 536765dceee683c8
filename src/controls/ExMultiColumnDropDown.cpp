// The multi-column drop-down: item index and lookup text, type-ahead in the
// edit and in the open list, the popup cycle and the style colours.
#include "controls/ExMultiColumnDropDown.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QStyle>

#include <cmath>

using namespace platform;
using exmcdd::TExColGrid;

namespace {

constexpr QChar kBack(8), kTab(9), kEnter(13), kEscape(27);

// The string list's own search, which ignores case.
int IndexOfText(const QStringList& list, const QString& text)
{
    for (int i = 0; i < list.size(); ++i)
        if (list.at(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int ScrollBarWidth()
{
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

} // namespace

TExMultiColumnDropDown::TExMultiColumnDropDown(QWidget* parent)
    : TExCustomDropDown(parent), FItems(std::make_unique<TDropDownItems>(this)),
      FColumns(std::make_unique<TDropDownColumns>(this))
{
    SetDropDownColor(clWhite);
    SetDropDownHeight(200);
    SetSelectionColorStyle(scOffice2007);
}

TExMultiColumnDropDown::~TExMultiColumnDropDown()
{
    if (FExColGrid) {
        FExColGrid->SetDropDown(nullptr);
        FExColGrid->OnSelectCell = nullptr;
        FExColGrid->OnSelect = nullptr;
        FExColGrid->OnKeyDown = nullptr;
        FExColGrid->removeEventFilter(this);
    }
}

// ---------------------------------------------------------------------------
// Items and the value text
// ---------------------------------------------------------------------------

void TExMultiColumnDropDown::SetText(const QString& value)
{
    TExCustomDropDown::SetText(value);
    FOldValue = value;
}

// The item's own text is not completed again (with equal lookup strings
// that would select another item).
void TExMultiColumnDropDown::PutText(const QString& text)
{
    const bool workMode = FWorkMode;
    FWorkMode = false;
    try {
        SetText(text);
    } catch (...) {
        FWorkMode = workMode;
        throw;
    }
    FWorkMode = workMode;
}

void TExMultiColumnDropDown::SetItemIndex(int value)
{
    if (value >= FItems->Count())
        return;
    FItemIndex = value < 0 ? -1 : value;
    QString text;
    if (FItemIndex >= 0 && FLookupColumn >= 0)
        text = FItems->Items(FItemIndex)->ColumnText(FLookupColumn);
    PutText(text);
}

int TExMultiColumnDropDown::GetItemIndex(const QString& value) const
{
    return FLookupColumn < 0 ? -1 : FItems->IndexInColumn(FLookupColumn, value);
}

void TExMultiColumnDropDown::BuildLookupList()
{
    FLookupItems.clear();
    if (FLookupColumn < 0)
        return;
    for (int i = 0; i < FItems->Count(); ++i)
        FLookupItems.append(FItems->Items(i)->ColumnText(FLookupColumn));
}

void TExMultiColumnDropDown::Assign(const TExMultiColumnDropDown* s)
{
    TExCustomDropDown::Assign(s);
    if (!s || s == this)
        return;
    FCaseSensitive = s->FCaseSensitive;
    FDropDownAutoWidth = s->FDropDownAutoWidth;
    FDropDownRowHeight = s->FDropDownRowHeight;
    FLineColor = s->FLineColor;
    FFixedLineColor = s->FFixedLineColor;
    FColumnSizing = s->FColumnSizing;
    FColumnSizeWithDropDown = s->FColumnSizeWithDropDown;
    FColumns->Assign(*s->FColumns);
    FHeaderColor = s->FHeaderColor;
    FHeaderColorTo = s->FHeaderColorTo;
    FHeaderHeight = s->FHeaderHeight;
    FHeaderFont.Assign(s->FHeaderFont);
    FLookupColumn = s->FLookupColumn;
    FSelectionTextColor = s->FSelectionTextColor;
    FItems->Assign(*s->FItems);
    FItemIndex = s->FItemIndex;
}

void TExMultiColumnDropDown::SelectFirst()
{
    if (FItems->Count() > 0)
        SetItemIndex(0);
}

void TExMultiColumnDropDown::SelectLast()
{
    if (FItems->Count() > 0)
        SetItemIndex(FItems->Count() - 1);
}

void TExMultiColumnDropDown::SelectNext()
{
    if (FItems->Count() == 0)
        return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex < FItems->Count() - 1)
        SetItemIndex(FItemIndex + 1);
}

void TExMultiColumnDropDown::SelectPrevious()
{
    if (FItems->Count() == 0)
        return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex > 0)
        SetItemIndex(FItemIndex - 1);
}

void TExMultiColumnDropDown::SelectNextPage()
{
    if (FItems->Count() == 0)
        return;
    SetItemIndex(FItemIndex < 0 ? 0 : std::min(FItemIndex + 10, FItems->Count() - 1));
}

void TExMultiColumnDropDown::SelectPreviousPage()
{
    if (FItems->Count() == 0)
        return;
    SetItemIndex(FItemIndex < 0 ? 0 : std::max(FItemIndex - 10, 0));
}

// ---------------------------------------------------------------------------
// Type-ahead in the edit
// ---------------------------------------------------------------------------

void TExMultiColumnDropDown::Change()
{
    FItemChange = false;
    TExCustomDropDown::Change();
    if (!FWorkMode || FInChange)
        return;
    FInChange = true;
    const QString text = TExCustomDropDown::Text();
    // Modified means: not the text the program put in last.
    SetModifiedState(text != FOldValue);
    const int pre = static_cast<int>(Prefix().size());
    // Only typing completes: a text set by the program counts as having the
    // caret at its start, as on the platform.
    const int caret = FTyping ? std::clamp(cursorPosition() - pre, 0, static_cast<int>(text.size())) : 0;
    const QString typed = text.left(caret);
    const QString key = FMatchCase ? typed : typed.toUpper();
    bool found = false;
    if (!key.isEmpty()) {
        for (int i = 0; i < FLookupItems.size(); ++i) {
            const QString& s = FLookupItems.at(i);
            if (!(FMatchCase ? s : s.toUpper()).startsWith(key))
                continue;
            const QString completed = typed + s.mid(key.size()).left(255);
            SetRawText(Prefix() + completed + Suffix());
            FItemIndex = i;
            FItemIdx = i;
            FItemSel = static_cast<int>(key.size());
            FItemChange = true;
            setSelection(pre + static_cast<int>(completed.size()), -static_cast<int>(completed.size() - typed.size()));
            found = true;
            break;
        }
    }
    if (!found && !FLookupItems.isEmpty() && !typed.isEmpty() && typed != text) {
        SetRawText(Prefix() + typed + Suffix());
        setCursorPosition(pre + static_cast<int>(typed.size()));
    }
    FInChange = false;
}

void TExMultiColumnDropDown::keyReleaseEvent(QKeyEvent* e)
{
    if (!(e->key() == Qt::Key_Return && ReturnIsTab()))
        TExCustomDropDown::keyReleaseEvent(e);
    if (!FItemChange)
        return;
    const int sel = FItemSel;
    RunGuarded([&] {
        SetItemIndex(FItemIdx);
        const int pre = static_cast<int>(Prefix().size());
        const int len = static_cast<int>(TExCustomDropDown::Text().size());
        setSelection(pre + len, -std::max(0, len - sel));
    });
    FItemChange = false;
}

void TExMultiColumnDropDown::KeyDown(int& key, TShiftState shift)
{
    if (FLookupColumn < 0 || FItems->Count() == 0) {
        TExCustomDropDown::KeyDown(key, shift);
        return;
    }
    if (key == VK_BACK || key == VK_ESCAPE || key == VK_DELETE)
        FWorkMode = false;
    else if (key != VK_RETURN)
        FWorkMode = true;
    if (key == VK_RETURN) {
        const int i = IndexOfText(FLookupItems, TExCustomDropDown::Text());
        if (i >= 0) {
            PutText(FLookupItems.at(i));
            SetItemIndex(i);
        }
    }
    TExCustomDropDown::KeyDown(key, shift);
    if (key == VK_ESCAPE)
        SetItemIndex(IndexOfText(FLookupItems, TExCustomDropDown::Text()));
}

void TExMultiColumnDropDown::KeyPress(QChar& key)
{
    if (key == kEnter && ReturnIsTab()) {
        key = QChar();
        return;
    }
    TExCustomDropDown::KeyPress(key);
}

bool TExMultiColumnDropDown::HandleKeyPress(QKeyEvent* e)
{
    const int key = VirtualKeyFromQt(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    FTyping = true;
    bool used = false;
    try {
        used = TExCustomDropDown::HandleKeyPress(e);
    } catch (...) {
        FTyping = false;
        throw;
    }
    FTyping = false;
    if (!isEnabled() || (shift & ssAlt))
        return used;
    switch (key) {
    case VK_PRIOR: SelectPreviousPage(); return true;
    case VK_NEXT: SelectNextPage(); return true;
    case VK_END:
        if (!EditorEnabled())
            SelectLast();
        break;
    case VK_HOME:
        if (!EditorEnabled())
            SelectFirst();
        break;
    case VK_UP: SelectPrevious(); return true;
    case VK_DOWN: SelectNext(); return true;
    default: break;
    }
    return used;
}

// ---------------------------------------------------------------------------
// Keys of the open list
// ---------------------------------------------------------------------------

bool TExMultiColumnDropDown::eventFilter(QObject* watched, QEvent* e)
{
    if (FExColGrid && watched == FExColGrid && e->type() == QEvent::KeyPress) {
        bool eat = false;
        RunGuarded([&] { eat = ControlKeyDown(static_cast<QKeyEvent*>(e)); });
        return eat;
    }
    return TExCustomDropDown::eventFilter(watched, e);
}

void TExMultiColumnDropDown::ControlKeyUp(QKeyEvent* e)
{
    const int key = VirtualKeyFromQt(e->key());
    const bool alt = (e->modifiers() & Qt::AltModifier) != 0;
    if (!alt && (key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN))
        return;
    TExCustomDropDown::ControlKeyUp(e);
}

bool TExMultiColumnDropDown::ControlKeyDown(QKeyEvent* e)
{
    const int key = VirtualKeyFromQt(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    const bool alt = (shift & ssAlt) != 0;
    // The list moves its own row; Enter chooses it there.
    if (!alt && (key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN || key == VK_RETURN))
        return false;
    QChar ch = e->text().isEmpty() ? QChar() : e->text().at(0);
    if (key == VK_BACK)
        ch = kBack;
    if (!alt && !(shift & ssCtrl) && key != VK_ESCAPE && !ch.isNull() && (ch.isPrint() || ch == kBack)) {
        FExColGrid->FConfirmSelection = true;
        ControlKeyPress(ch, shift);
        return true;
    }
    const bool used = HandleKeyPress(e);
    return used && !DroppedDown();
}

void TExMultiColumnDropDown::ControlKeyPress(QChar ch, TShiftState shift)
{
    if (((ch == kEnter || ch == kEscape) && !(shift & ssAlt)) || FExColGrid->EditorMode()) {
        FLookupEntry.clear();
        return;
    }
    LookupKey(ch);
}

int TExMultiColumnDropDown::FindLookupItem(const QString& entry) const
{
    if (!FExColGrid || FLookupColumn < 0 || entry.isEmpty())
        return -1;
    const QString key = FCaseSensitive ? entry : entry.toUpper();
    for (int i = 0; i < FItems->Count(); ++i) {
        const TDropDownItem* item = FItems->Items(i);
        if (!item->HasColumn(FLookupColumn))
            continue;
        const QString s = item->Text().at(FLookupColumn);
        if ((FCaseSensitive ? s : s.toUpper()).startsWith(key))
            return i;
    }
    return -1;
}

void TExMultiColumnDropDown::LookupKey(QChar ch)
{
    int found = -1;
    int typedLength = 0;
    if (ch == kBack) {
        if (hasSelectedText()) {
            QString raw = RawText();
            raw.remove(selectionStart(), selectedText().size());
            SetRawText(raw);
        } else {
            FLookupEntry.chop(1);
            SetRawText(Prefix() + FLookupEntry + Suffix());
        }
        setCursorPosition(static_cast<int>(RawText().size()));
    } else {
        if (ch != kTab)
            FLookupEntry += ch;
        found = FindLookupItem(FLookupEntry);
        typedLength = static_cast<int>(FLookupEntry.size());
        if (found < 0) {
            found = FindLookupItem(QString(ch));
            FLookupEntry = found >= 0 ? QString(ch) : QString();
            typedLength = -1; // the selection stays as the text write leaves it
        }
    }
    if (found < 0) {
        FLookupEntry.clear();
        return;
    }
    TExColGrid& g = *FExColGrid;
    const int row = found + g.FixedRows();
    if (row < g.RowCount()) {
        if (row >= g.TopRow() + g.VisibleRowCount() || row < g.TopRow())
            g.SetTopRow(row);
        g.SetRow(row);
        g.SetCol(0);
    }
    FItemIndex = found;
    PutText(FItems->Items(found)->ColumnText(FLookupColumn));
    if (typedLength >= 0) {
        const int pre = static_cast<int>(Prefix().size());
        const int len = static_cast<int>(TExCustomDropDown::Text().size());
        setSelection(pre + len, -std::max(0, len - typedLength));
    }
}

// ---------------------------------------------------------------------------
// Popup
// ---------------------------------------------------------------------------

void TExMultiColumnDropDown::CreateDropDownForm()
{
    TExCustomDropDown::CreateDropDownForm();
    if (!DropDownForm())
        return;
    if (!FExColGrid) {
        FExColGrid = new TExColGrid(DropDownForm());
        FExColGrid->SetDropDown(this);
        FExColGrid->SetBounds(0, 0, std::max(width(), 80), 180);
        SetFocusControl(FExColGrid);
    }
    FExColGrid->SetColor(DropDownColor());
    FExColGrid->SetDoubleBuffered(true);
}

void TExMultiColumnDropDown::UpdateDropDownControl()
{
    if (FExColGrid)
        SetControl(FExColGrid);
    TExCustomDropDown::UpdateDropDownControl();
}

void TExMultiColumnDropDown::BeforeDropDown()
{
    if (!FExColGrid)
        CreateDropDownForm();
    TExCustomDropDown::BeforeDropDown();
    if (DropDownForm())
        DropDownForm()->SetCancelOnDeActivate(false);
    FShowing = true;
    if (FExColGrid) {
        TExColGrid& g = *FExColGrid;
        g.LoadFromDropDown(this);
        g.SetColor(DropDownColor());
        g.OnSelectCell = [this](QObject*, int, int row, bool&) { GridSelectCell(row); };
        g.OnSelect = [this](QObject*) { GridSelect(); };
        g.OnKeyDown = [this](QObject*, int& key, TShiftState) {
            if (key == VK_RETURN)
                DoHideDropDown(false);
            else if (key == VK_ESCAPE)
                DoHideDropDown(true);
        };
        // An empty list has no data row to make current.
        if (g.RowCount() > 1)
            g.SetRow(std::clamp(FItemIndex + 1, std::max(1, g.FixedRows()), g.RowCount() - 1));
    }
    FOldItemIndex = FItemIndex;
}

void TExMultiColumnDropDown::AdaptDropDownHeight(int& height)
{
    int bars = 0;
    if (DropDownHeader().Visible())
        bars += DropDownHeader().Height();
    if (DropDownFooter().Visible())
        bars += DropDownFooter().Height();
    const int rowHeight = std::max(1, FDropDownRowHeight);
    const int b = height - bars - FHeaderHeight - 2;
    height = bars + FHeaderHeight + (b / rowHeight) * rowHeight + 2;
}

void TExMultiColumnDropDown::DoShowDropDown()
{
    TExCustomDropDown::DoShowDropDown();
    if (DroppedDown() && FExColGrid) {
        TExColGrid& g = *FExColGrid;
        FitColumns();
        if (g.RowCount() > 1) {
            const int row = std::min(FItemIndex < 0 ? 1 : FItemIndex + 1, g.RowCount() - 1);
            g.SetRow(row);
            const TRect r = g.FullCellRect(0, row);
            if (r.Left <= 0 && r.Top <= 0)
                g.SetTopRow(std::max(g.FixedRows(), row - std::max(1, g.VisibleRowCount()) + 1));
        }
    }
    FShowing = false;
}

void TExMultiColumnDropDown::UpdateDropDownSize()
{
    TExCustomDropDown::UpdateDropDownSize();
    if (FDropDownAutoWidth && DropDownForm() && FExColGrid) {
        FExColGrid->SetWidth(FExColGrid->GetTotalWidth());
        DropDownForm()->resize(FExColGrid->width() + 2 * DropDownBorderWidth(), DropDownForm()->height());
        DropDownForm()->LayoutChildren();
    }
}

void TExMultiColumnDropDown::DoHideDropDown(bool cancel)
{
    if (!DropDownForm() || !DropDownForm()->isVisible()) {
        TExCustomDropDown::DoHideDropDown(cancel);
        return;
    }
    TExCustomDropDown::DoHideDropDown(cancel);
    if (cancel)
        SetItemIndex(FOldItemIndex);
    else if (FExColGrid && FExColGrid->ConfirmSelection() && FExColGrid->Row() >= 1)
        SetItemIndex(FExColGrid->Row() - 1);
    FOldItemIndex = FItemIndex;
}

void TExMultiColumnDropDown::DropDownResized()
{
    FitColumns();
}

void TExMultiColumnDropDown::HandleMouseWheelDown()
{
    TExCustomDropDown::HandleMouseWheelDown();
    SelectNext();
}

void TExMultiColumnDropDown::HandleMouseWheelUp()
{
    TExCustomDropDown::HandleMouseWheelUp();
    SelectPrevious();
}

void TExMultiColumnDropDown::GridSelectCell(int row)
{
    if (!FExColGrid || FExColGrid->MouseWheelSelection() || FShowing || row < 1)
        return;
    SetItemIndex(row - 1);
}

void TExMultiColumnDropDown::GridSelect()
{
    if (!FExColGrid)
        return;
    if (FExColGrid->ConfirmSelection() && FExColGrid->Row() >= 1)
        SetItemIndex(FExColGrid->Row() - 1);
    DoHideDropDown(false);
    if (OnSelect)
        OnSelect(this);
}

void TExMultiColumnDropDown::FitColumns()
{
    if (!FColumnSizeWithDropDown || !FExColGrid || !DropDownForm())
        return;
    TExColGrid& g = *FExColGrid;
    g.SetScrollBars(TScrollStyle::ssVertical);
    const int n = std::min(g.Columns().Count(), g.ColCount());
    if (n == 0)
        return;
    // Negative widths count as 0, so the total is at least 1.
    double total = 1;
    for (int i = 0; i < n; ++i)
        total += std::max(0, g.Columns().Items(i)->Width());
    int available = DropDownForm()->width();
    if (g.VisibleRowCount() + g.FixedRows() != g.RowCount())
        available -= ScrollBarWidth();
    const double f = available / total;
    double e = 0;
    for (int i = 0; i < n; ++i) {
        const double exact = f * std::max(0, g.Columns().Items(i)->Width());
        const int w = static_cast<int>(std::nearbyint(exact));
        e += exact - w;
        if (e > 1) {
            e -= 1;
            g.SetColWidths(i, w + 1);
        } else {
            g.SetColWidths(i, w);
        }
    }
}

// ---------------------------------------------------------------------------
// Style colours
// ---------------------------------------------------------------------------

void TExMultiColumnDropDown::SetSelectionColorStyle(TSelectionColorStyle style)
{
    switch (style) {
    case scOffice2007:
        FLineColor = 0xF1EDEB;
        FFixedLineColor = 0xD1BBA4;
        break;
    case scWindowsVista:
    case scWindows7:
        FLineColor = 0xECECF0;
        FFixedLineColor = 0xD4D2D1;
        break;
    case scCustom: break;
    }
    TExCustomDropDown::SetSelectionColorStyle(style);
}

namespace {

struct TListColors
{
    TColor Header, HeaderTo, HeaderFont; // HeaderFont clNone: left as it is
    int Sel;
    TColor Line, FixedLine;
    TColor Selection;     // clNone: the selection style's own
    TColor SelectionText;
};

// Indexed by TQRVStyle; tsCustom changes nothing.
constexpr TListColors kListColors[] = {
    {0xD68759, 0x933803, clWhite, 1, 0x962D00, 0x962D00, clNone, clBlack},             // Office2003Blue
    {0xBDA4A5, 0x957475, clNone, 1, 0x947C7C, 0x947C7C, clNone, clBlack},              // Office2003Silver
    {0x82C0AF, 0x447A63, clNone, 1, 0x588060, 0x588060, clNone, clBlack},              // Office2003Olive
    {0x808080, 0x808080, clNone, 1, 0x808080, 0x808080, clNone, clBlack},              // Office2003Classic
    {0xFFEFE3, 0xFFD2AF, 0x723708, 1, 0xFFD2AF, 0xFFD2AF, clNone, clBlack},            // Office2007Luna
    {0xF2F1F0, 0xC9C2BD, 0x433C37, 1, 0x5C534C, 0x5C534C, clNone, clBlack},            // Office2007Obsidian
    {clBtnFace, clBtnFace, clBlack, 0, 0xC0C0C0, clBlack, clHighlight, clHighlightText}, // WindowsXP
    {0xEBEEEF, 0x7E9898, clWhite, 1, 0x962D00, 0x962D00, clNone, clBlack},             // Whidbey
    {},                                                                                // Custom
    {0xF8F7F6, 0xE8E0DB, 0x8B4215, 1, 0x74706F, 0x74706F, clNone, clBlack},            // Office2007Silver
    {0xFFFDF9, 0xFFFAF0, clBlack, 2, 0xFCF2DA, 0xFCF2DA, clNone, clBlack},             // WindowsVista
    {0xFDFBFA, 0xFDF3EB, clBlack, 3, 0xFBD6B8, 0xFBD6B8, clNone, clBlack},             // Windows7
    {clBtnFace, clBtnFace, clBlack, 0, 0x808080, 0x808080, clHighlight, clHighlightText}, // Terminal
    {0xEDDBCD, clNone, 0x5B391E, 0, 0xEEDDCF, 0xEEDDCF, 0x6CD0FF, clBlack},            // Office2010Blue
    {0xEDE9E5, clNone, 0x5B391E, 0, 0xEEDDCF, 0xEEDDCF, 0x6CD0FF, clBlack},            // Office2010Silver
    {0x828282, clNone, 0xD7D7D6, 0, 0xEEDDCF, 0xEEDDCF, 0x6CD0FF, clBlack},            // Office2010Black
};

static_assert(std::size(kListColors) == static_cast<size_t>(tsOffice2010Black) + 1);

} // namespace

void TExMultiColumnDropDown::SetComponentStyle(TQRVStyle style)
{
    TExCustomDropDown::SetComponentStyle(style);
    if (style == tsCustom)
        return;
    const TListColors& c = kListColors[static_cast<int>(style)];
    SetSelectionColorStyle(static_cast<TSelectionColorStyle>(c.Sel));
    FLineColor = c.Line;
    FFixedLineColor = c.FixedLine;
    FHeaderColor = c.Header;
    FHeaderColorTo = c.HeaderTo;
    if (c.HeaderFont != clNone)
        FHeaderFont.SetColor(c.HeaderFont);
    if (c.Selection != clNone) {
        SetSelectionColor(c.Selection);
        SetSelectionColorTo(c.Selection);
    }
    FSelectionTextColor = c.SelectionText;
}
