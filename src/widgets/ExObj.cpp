#include "widgets/ExObj.h"

#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <stdexcept>

using platform::TColor;

// ---------------------------------------------------------------------------
// TNavigation
// ---------------------------------------------------------------------------

void TNavigation::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TNavigation::SetAdvanceInsert(bool v)
{
    if (v == FAdvanceInsert)
        return;
    FAdvanceInsert = v;
    Changed();
}

void TNavigation::SetAdvanceDirection(TAdvanceDirection v)
{
    if (v == FAdvanceDirection)
        return;
    FAdvanceDirection = v;
    Changed();
}

void TNavigation::SetAdvanceAuto(bool v)
{
    FAdvanceAuto = v;
    if (v)
        FAdvanceOnEnter = true;
}

void TNavigation::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TNavigation*>(source);
    if (!s || s == this)
        return;
    auto handler = std::move(OnChange);
    *this = *s;
    OnChange = std::move(handler);
}

// ---------------------------------------------------------------------------
// TMouseActions
// ---------------------------------------------------------------------------

bool TMouseActions::IsDesigning()
{
    bool designing = false;
    if (OnIsDesigning)
        OnIsDesigning(FOwner, designing);
    return designing;
}

void TMouseActions::SetDisjunctRowSelect(bool v)
{
    FDisjunctRowSelect = v;
    if (v && IsDesigning()) {
        FDisjunctColSelect = false;
        FDisjunctCellSelect = false;
    }
}

void TMouseActions::SetDisjunctColSelect(bool v)
{
    FDisjunctColSelect = v;
    if (v && IsDesigning()) {
        FDisjunctRowSelect = false;
        FDisjunctCellSelect = false;
    }
}

void TMouseActions::SetDisjunctCellSelect(bool v)
{
    FDisjunctCellSelect = v;
    if (v && IsDesigning()) {
        FDisjunctRowSelect = false;
        FDisjunctColSelect = false;
    }
}

void TMouseActions::SetHotmailRowSelect(bool v)
{
    FHotmailRowSelect = v;
    if (v) {
        FDisjunctRowSelect = true;
        FCheckAllCheck = true;
    }
    if (OnInvalidate)
        OnInvalidate(this);
}

void TMouseActions::SetWheelAction(TWheelAction v)
{
    if (v == FWheelAction)
        return;
    FWheelAction = v;
    if (OnChange)
        OnChange(this);
}

void TMouseActions::SetEditOnDblClickOnly(bool v)
{
    FEditOnDblClickOnly = v;
    if (v && OnDisableEdit)
        OnDisableEdit(this);
}

void TMouseActions::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TMouseActions*>(source);
    if (!s || s == this)
        return;
    FColSelect = s->FColSelect;
    FRowSelect = s->FRowSelect;
    FAllSelect = s->FAllSelect;
    FDirectEdit = s->FDirectEdit;
    FDirectComboDrop = s->FDirectComboDrop;
    FDirectComboClose = s->FDirectComboClose;
    FDirectDateClose = s->FDirectDateClose;
    FDirectDateDrop = s->FDirectDateDrop;
    FDisjunctRowSelect = s->FDisjunctRowSelect;
    FDisjunctColSelect = s->FDisjunctColSelect;
    FAllColumnSize = s->FAllColumnSize;
    FAllRowSize = s->FAllRowSize;
    FCaretPositioning = s->FCaretPositioning;
    FSizeFixedCol = s->FSizeFixedCol;
    FSizeFixedRow = s->FSizeFixedRow;
    FDisjunctCellSelect = s->FDisjunctCellSelect;
    FFixedRowsEdit = s->FFixedRowsEdit;
    FFixedColsEdit = s->FFixedColsEdit;
    FFixedRowsEditor = s->FFixedRowsEditor;
    FFixedColsEditor = s->FFixedColsEditor;
    FRangeSelectAndEdit = s->FRangeSelectAndEdit;
    FNoAutoRangeScroll = s->FNoAutoRangeScroll;
    FPreciseCheckBoxCheck = s->FPreciseCheckBoxCheck;
    FPreciseNodeClick = s->FPreciseNodeClick;
    FCheckAllCheck = s->FCheckAllCheck;
    FNodeAllExpandContract = s->FNodeAllExpandContract;
    FMoveRowOnNodeClick = s->FMoveRowOnNodeClick;
    FRowSelectPersistent = s->FRowSelectPersistent;
    FSelectOnRightClick = s->FSelectOnRightClick;
    FNoScrollOnPartialRow = s->FNoScrollOnPartialRow;
    FWheelIncrement = s->FWheelIncrement;
    FWheelAction = s->FWheelAction;
    FAutoSizeColOnDblClick = s->FAutoSizeColOnDblClick;
    FDisjunctRowSelectNoCtrl = s->FDisjunctRowSelectNoCtrl;
}

// ---------------------------------------------------------------------------
// TSearchFooter
// ---------------------------------------------------------------------------

TSearchFooter::TSearchFooter(bool initForDesign)
{
    if (initForDesign) {
        FFindNextCaption = QStringLiteral("Find &next");
        FFindPrevCaption = QStringLiteral("Find &previous");
        FMatchCaseCaption = QStringLiteral("Match case");
        FHintClose = QStringLiteral("Close");
        FHintFindPrev = QStringLiteral("Find previous occurrence");
        FHintHighlight = QStringLiteral("Highlight occurrences");
        FHintFindNext = QStringLiteral("Find next occurrence");
        FHighLightCaption = QStringLiteral("Highlight");
    }
}

void TSearchFooter::Changed()
{
    if (OnChange)
        OnChange(this);
}

namespace {

template <class T>
void StoreAndNotify(T& field, const T& value, const std::function<void()>& changed)
{
    field = value;
    changed();
}

template <class T>
void StoreIfChanged(T& field, const T& value, const std::function<void()>& changed)
{
    if (field == value)
        return;
    field = value;
    changed();
}

} // namespace

#define EX_NOTIFY [this] { Changed(); }

void TSearchFooter::SetShowFindPrev(bool v) { StoreIfChanged(FShowFindPrev, v, EX_NOTIFY); }
void TSearchFooter::SetShowFindNext(bool v) { StoreIfChanged(FShowFindNext, v, EX_NOTIFY); }
void TSearchFooter::SetFindNextCaption(const QString& v) { StoreAndNotify(FFindNextCaption, v, EX_NOTIFY); }
void TSearchFooter::SetFindPrevCaption(const QString& v) { StoreAndNotify(FFindPrevCaption, v, EX_NOTIFY); }
void TSearchFooter::SetColorTo(TColor v) { StoreAndNotify(FColorTo, v, EX_NOTIFY); }
void TSearchFooter::SetColor(TColor v) { StoreAndNotify(FColor, v, EX_NOTIFY); }
void TSearchFooter::SetVisible(bool v) { StoreIfChanged(FVisible, v, EX_NOTIFY); }
void TSearchFooter::SetAutoThemeAdapt(bool v) { StoreAndNotify(FAutoThemeAdapt, v, EX_NOTIFY); }
void TSearchFooter::SetShowClose(bool v) { StoreAndNotify(FShowClose, v, EX_NOTIFY); }
void TSearchFooter::SetShowHighLight(bool v) { StoreIfChanged(FShowHighLight, v, EX_NOTIFY); }
void TSearchFooter::SetShowMatchCase(bool v) { StoreIfChanged(FShowMatchCase, v, EX_NOTIFY); }
void TSearchFooter::SetMatchCaseCaption(const QString& v) { StoreAndNotify(FMatchCaseCaption, v, EX_NOTIFY); }
void TSearchFooter::SetHintClose(const QString& v) { StoreAndNotify(FHintClose, v, EX_NOTIFY); }
void TSearchFooter::SetHintFindPrev(const QString& v) { StoreAndNotify(FHintFindPrev, v, EX_NOTIFY); }
void TSearchFooter::SetHintHighlight(const QString& v) { StoreAndNotify(FHintHighlight, v, EX_NOTIFY); }
void TSearchFooter::SetHintFindNext(const QString& v) { StoreAndNotify(FHintFindNext, v, EX_NOTIFY); }
void TSearchFooter::SetAutoSearch(bool v) { StoreAndNotify(FAutoSearch, v, EX_NOTIFY); }
void TSearchFooter::SetLastSearch(const QString& v) { StoreAndNotify(FLastSearch, v, EX_NOTIFY); }
void TSearchFooter::SetSearchColumn(int v) { StoreAndNotify(FSearchColumn, v, EX_NOTIFY); }
void TSearchFooter::SetSearchActiveColumnOnly(bool v) { StoreAndNotify(FSearchActiveColumnOnly, v, EX_NOTIFY); }
void TSearchFooter::SetSearchMatchStart(bool v) { StoreAndNotify(FSearchMatchStart, v, EX_NOTIFY); }
void TSearchFooter::SetSearchFixedCells(bool v) { StoreAndNotify(FSearchFixedCells, v, EX_NOTIFY); }
void TSearchFooter::SetSearchHiddenRows(bool v) { StoreAndNotify(FSearchHiddenRows, v, EX_NOTIFY); }
void TSearchFooter::SetHighLightCaption(const QString& v) { StoreAndNotify(FHighLightCaption, v, EX_NOTIFY); }
void TSearchFooter::SetAlwaysHighLight(bool v) { StoreAndNotify(FAlwaysHighLight, v, EX_NOTIFY); }
void TSearchFooter::SetSearchDirection(TSearchDirection v) { StoreAndNotify(FSearchDirection, v, EX_NOTIFY); }

#undef EX_NOTIFY

void TSearchFooter::SetFont(const platform::TFont& v)
{
    FFont.Assign(v);
    Changed();
}

void TSearchFooter::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TSearchFooter*>(source);
    if (!s || s == this)
        return;
    FAlwaysHighLight = s->FAlwaysHighLight;
    FColor = s->FColor;
    FColorTo = s->FColorTo;
    FFindNextCaption = s->FFindNextCaption;
    FFindPrevCaption = s->FFindPrevCaption;
    FHighLightCaption = s->FHighLightCaption;
    FMatchCaseCaption = s->FMatchCaseCaption;
    FHintClose = s->FHintClose;
    FHintFindNext = s->FHintFindNext;
    FHintFindPrev = s->FHintFindPrev;
    FHintHighlight = s->FHintHighlight;
    FShowClose = s->FShowClose;
    FShowFindNext = s->FShowFindNext;
    FShowFindPrev = s->FShowFindPrev;
    FShowHighLight = s->FShowHighLight;
    FShowMatchCase = s->FShowMatchCase;
    FSearchActiveColumnOnly = s->FSearchActiveColumnOnly;
    FSearchMatchStart = s->FSearchMatchStart;
    FSearchColumn = s->FSearchColumn;
    FSearchDirection = s->FSearchDirection;
    FSearchHiddenRows = s->FSearchHiddenRows;
    FVisible = s->FVisible;
    FFont.Assign(s->FFont);
}

// ---------------------------------------------------------------------------
// TSyncGrid, TBands, TFocusHelper
// ---------------------------------------------------------------------------

void TSyncGrid::SetGrid(platform::TStringGrid* grid)
{
    if (grid && grid == FOwnerGrid)
        return;
    FGrid = grid;
}

void TSyncGrid::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TSyncGrid*>(source);
    if (!s || s == this)
        return;
    SetGrid(s->Grid());
    FScrollHorizontal = s->FScrollHorizontal;
    FScrollVertical = s->FScrollVertical;
    FSelectionRow = s->FSelectionRow;
    FSelectionColumn = s->FSelectionColumn;
    FMoveRow = s->FMoveRow;
    FMoveColumn = s->FMoveColumn;
}

void TBands::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TBands::SetActive(bool v)
{
    if (v == FActive)
        return;
    FActive = v;
    Changed();
}

void TBands::SetSecondaryLength(int v)
{
    if (v == FSecondaryLength)
        return;
    FSecondaryLength = v;
    FTotalLength = FPrimaryLength + FSecondaryLength;
    if (FActive)
        Changed();
}

void TBands::SetPrimaryLength(int v)
{
    if (v == FPrimaryLength)
        return;
    FPrimaryLength = v;
    FTotalLength = FPrimaryLength + FSecondaryLength;
    if (FActive)
        Changed();
}

void TBands::SetSecondaryColor(TColor v)
{
    if (v == FSecondaryColor)
        return;
    FSecondaryColor = v;
    if (FActive)
        Changed();
}

void TBands::SetPrimaryColor(TColor v)
{
    if (v == FPrimaryColor)
        return;
    FPrimaryColor = v;
    if (FActive)
        Changed();
}

void TBands::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TBands*>(source);
    if (!s || s == this)
        return;
    FActive = s->FActive;
    FPrimaryColor = s->FPrimaryColor;
    FSecondaryColor = s->FSecondaryColor;
    FPrimaryLength = s->FPrimaryLength;
    FSecondaryLength = s->FSecondaryLength;
    FTotalLength = FPrimaryLength + FSecondaryLength;
    FPrint = s->FPrint;
}

void TFocusHelper::Assign(const TPersistent* source)
{
    if (const auto* s = dynamic_cast<const TFocusHelper*>(source))
        FEnabled = s->FEnabled;
}

// ---------------------------------------------------------------------------
// TIntList and TSortIndexList
// ---------------------------------------------------------------------------

namespace {

void CheckIndex(int index, int count)
{
    if (index < 0 || index >= count)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

} // namespace

void TIntList::Changed()
{
    if (OnChange)
        OnChange(nullptr, FCol, FRow);
}

int TIntList::GetInteger(int index) const
{
    CheckIndex(index, Count());
    return FItems[static_cast<size_t>(index)];
}

void TIntList::SetInteger(int index, int value)
{
    CheckIndex(index, Count());
    FItems[static_cast<size_t>(index)] = value;
    Changed();
}

int TIntList::Add(int value)
{
    FItems.push_back(value);
    Changed();
    return Count() - 1;
}

void TIntList::Insert(int index, int value)
{
    if (index < 0 || index > Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    FItems.insert(FItems.begin() + index, value);
}

void TIntList::InsertRange(int index, int count, int value)
{
    if (index < 0 || index > Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    FItems.insert(FItems.begin() + index, static_cast<size_t>(std::max(0, count)), value);
}

void TIntList::DeleteRange(int index, int count)
{
    if (count <= 0)
        return;
    CheckIndex(index, Count());
    const int n = std::min(count, Count() - index);
    FItems.erase(FItems.begin() + index, FItems.begin() + index + n);
    for (int i = 0; i < n; ++i)
        Changed();
}

void TIntList::Delete(int index)
{
    CheckIndex(index, Count());
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TIntList::DeleteValue(int value)
{
    const int i = IndexOf(value);
    if (i >= 0)
        Delete(i);
}

bool TIntList::HasValue(int value) const { return IndexOf(value) >= 0; }

int TIntList::IndexOf(int value) const
{
    const auto it = std::find(FItems.begin(), FItems.end(), value);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TIntList::SetCount(int count, int fill) { FItems.resize(static_cast<size_t>(std::max(0, count)), fill); }

QString TIntList::StrValue() const
{
    QString s;
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (i > 0)
            s += u',';
        s += QString::number(FItems[i]);
    }
    return s;
}

void TIntList::SetStrValue(const QString& value)
{
    std::vector<int> parsed;
    if (!value.isEmpty()) {
        for (const QString& piece : value.split(u',')) {
            bool ok = false;
            const int v = piece.trimmed().toInt(&ok);
            if (!ok)
                throw std::invalid_argument("'" + piece.toStdString() + "' is not a valid integer value");
            parsed.push_back(v);
        }
    }
    FItems.clear();
    for (int v : parsed)
        Add(v);
}

namespace {
constexpr unsigned kDescendingBit = 0x80000000u;
constexpr unsigned kColumnMask = 0x7FFFFFFFu;
} // namespace

void TSortIndexList::AddIndex(int columnIndex, bool ascending)
{
    unsigned v = static_cast<unsigned>(columnIndex) & kColumnMask;
    if (!ascending)
        v |= kDescendingBit;
    Add(static_cast<int>(v));
}

int TSortIndexList::FindIndex(int columnIndex) const
{
    for (int i = 0; i < Count(); ++i) {
        if (static_cast<int>(static_cast<unsigned>(FItems[static_cast<size_t>(i)]) & kColumnMask) == columnIndex)
            return i;
    }
    return -1;
}

int TSortIndexList::GetSortColumns(int i) const
{
    return static_cast<int>(static_cast<unsigned>(GetInteger(i)) & kColumnMask);
}

void TSortIndexList::SetSortColumns(int i, int value)
{
    const unsigned old = static_cast<unsigned>(GetInteger(i));
    SetInteger(i, static_cast<int>((old & kDescendingBit) | (static_cast<unsigned>(value) & kColumnMask)));
}

bool TSortIndexList::GetSortDirections(int i) const
{
    return (static_cast<unsigned>(GetInteger(i)) & kDescendingBit) == 0;
}

void TSortIndexList::SetSortDirections(int i, bool ascending)
{
    unsigned v = static_cast<unsigned>(GetInteger(i));
    v = ascending ? (v & kColumnMask) : (v | kDescendingBit);
    SetInteger(i, static_cast<int>(v));
}

void TSortIndexList::ToggleIndex(int columnIndex)
{
    const int i = FindIndex(columnIndex);
    if (i >= 0)
        SetInteger(i, static_cast<int>(static_cast<unsigned>(FItems[static_cast<size_t>(i)]) ^ kDescendingBit));
}

QString TSortIndexList::SaveToString() const
{
    QString s;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0)
            s += u';';
        const unsigned v = static_cast<unsigned>(FItems[static_cast<size_t>(i)]);
        s += (v & kDescendingBit) ? u'd' : u'u';
        s += QString::number(v & 0xFFFFu);
    }
    return s;
}

void TSortIndexList::LoadFromString(const QString& s)
{
    Clear();
    for (const QString& piece : s.split(u';')) {
        if (piece.size() < 2)
            continue;
        // A malformed number counts as column 0, as the lenient conversion gives.
        bool ok = false;
        int column = piece.mid(1).toInt(&ok);
        if (!ok)
            column = 0;
        AddIndex(column, piece[0] == u'u');
    }
}

// ---------------------------------------------------------------------------
// TControlList, TFileStringList, TFilePicture
// ---------------------------------------------------------------------------

void TControlList::AddControl(int x, int y, QWidget* control)
{
    FItems.push_back(std::make_unique<TControlItem>(x, y, control));
}

int TControlList::ControlIndex(int x, int y) const
{
    for (int i = 0; i < Count(); ++i) {
        if (FItems[static_cast<size_t>(i)]->X == x && FItems[static_cast<size_t>(i)]->Y == y)
            return i;
    }
    return -1;
}

TControlItem* TControlList::GetControl(int i) const
{
    CheckIndex(i, Count());
    return FItems[static_cast<size_t>(i)].get();
}

bool TControlList::HasHandle(const QWidget* handle) const
{
    if (!handle)
        return false;
    return std::any_of(FItems.begin(), FItems.end(), [handle](const auto& item) {
        return item->Control && item->Control.data() == handle;
    });
}

void TControlList::RemoveControl(int index)
{
    CheckIndex(index, Count());
    FItems.erase(FItems.begin() + index);
}

void TFileStringList::Reset()
{
    fp = 0;
    cache.clear();
}

void TFileStringList::ReadLn(QString& s)
{
    CheckIndex(fp, static_cast<int>(Lines.size()));
    s = Lines[fp];
    ++fp;
}

void TFileStringList::WriteLn(const QString& s)
{
    Lines.append(cache + s);
    cache.clear();
}

void TFilePicture::SetFilename(const QString& name)
{
    FFilename = name;
    const QSize size = name.isEmpty() ? QSize() : QImageReader(name).size();
    FWidth = size.isValid() ? size.width() : 0;
    FHeight = size.isValid() ? size.height() : 0;
}

void TFilePicture::DrawPicture(platform::TCanvas& canvas, const platform::TRect& r) const
{
    if (FFilename.isEmpty())
        return;
    QImage image(FFilename);
    if (image.isNull())
        return;
    platform::TBitmap bitmap;
    bitmap.SetImage(image);
    canvas.StretchDraw(r, bitmap);
}

void TFilePicture::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TFilePicture*>(source);
    if (!s || s == this)
        return;
    FFilename = s->FFilename;
    FWidth = s->FWidth;
    FHeight = s->FHeight;
}
