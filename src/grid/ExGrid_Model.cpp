// The string grid's life cycle, its settings classes and support lists, and
// the module's start-up and shared routines.
#include "grid/ExGrid.h"

#include "grid/ExGrid_DateTimeEditor.h"
#include "grid/ExGrid_Editors.h"
#include "platform/Messages.h"
#include "widgets/ExUtil.h"
#include "widgets/ExXPVS.h"

#include <QApplication>
#include <QBuffer>
#include <QDate>
#include <QLocale>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <unordered_set>

using namespace platform;

// ---------------------------------------------------------------------------
// Module start-up
// ---------------------------------------------------------------------------

namespace {

struct ModuleState
{
    int startCount = 0;
    unsigned editDone = 0;
    unsigned dtpShiftFocus = 0;
};

ModuleState& Module()
{
    static ModuleState state;
    return state;
}

} // namespace

void ExGridStartUp()
{
    ModuleState& m = Module();
    if (m.startCount++ > 0)
        return;
    m.editDone = RegisterWindowMessage(QStringLiteral("GridEditDone"));
    m.dtpShiftFocus = RegisterWindowMessage(QStringLiteral("DTPShiftFocus"));
}

void ExGridShutDown()
{
    ModuleState& m = Module();
    if (m.startCount > 0)
        --m.startCount;
}

unsigned GridEditDoneMessage()
{
    if (!Module().editDone)
        Module().editDone = RegisterWindowMessage(QStringLiteral("GridEditDone"));
    return Module().editDone;
}

// DTPShiftFocusMessage() is the date-time picker's (controls/ExDateTimePicker):
// one registration of the name serves both.

QString GridCellsClipboardFormat() { return QStringLiteral("TExStringGrid Cells"); }

QChar LocaleTimeSeparator() { return RegionalSettings().TimeSeparator; }
QChar LocaleDateSeparator() { return RegionalSettings().DateSeparator; }
QChar LocaleThousandSeparator() { return RegionalSettings().ThousandSeparator; }
QChar LocaleDecimalSeparator() { return RegionalSettings().DecimalSeparator; }
QString LocaleShortDateFormat() { return RegionalSettings().ShortDateFormat; }
QString LocaleShortTimeFormat() { return QStringLiteral("hh") + LocaleTimeSeparator() + QStringLiteral("nn"); }
QString LocaleLongTimeFormat()
{
    const QChar s = LocaleTimeSeparator();
    return QStringLiteral("hh") + s + QStringLiteral("nn") + s + QStringLiteral("ss");
}

int GetFileVersionMS(const QString&) { return -1; }

// ---------------------------------------------------------------------------
// Formatting of values
// ---------------------------------------------------------------------------


namespace {

constexpr double kEpochJulian = 2415018.5; // 30 December 1899

QDate DateOf(TDateTime value)
{
    return QDate::fromJulianDay(static_cast<qint64>(std::floor(value + kEpochJulian + 0.5)));
}

} // namespace

QString DateToText(TDateTime value)
{
    const QDate d = DateOf(value);
    const TRegionalSettings rs = RegionalSettings();
    QString format = rs.ShortDateFormat;
    if (format.isEmpty())
        format = QStringLiteral("dd/MM/yyyy");
    // The regional format uses d, M and y; its separator is the regional one.
    QString out;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype n = 1;
        while (i + n < format.size() && format[i + n] == c)
            ++n;
        switch (c.unicode()) {
        case u'd':
            out += n >= 2 ? QStringLiteral("%1").arg(d.day(), 2, 10, QChar(u'0')) : QString::number(d.day());
            break;
        case u'M':
        case u'm':
            out += n >= 2 ? QStringLiteral("%1").arg(d.month(), 2, 10, QChar(u'0')) : QString::number(d.month());
            break;
        case u'y':
            out += n <= 2 ? QStringLiteral("%1").arg(d.year() % 100, 2, 10, QChar(u'0'))
                          : QStringLiteral("%1").arg(d.year(), 4, 10, QChar(u'0'));
            break;
        case u'/':
        case u'.':
        case u'-':
            out += QString(n, rs.DateSeparator.isNull() ? c : rs.DateSeparator);
            break;
        default:
            out += QString(n, c);
            break;
        }
        i += n;
    }
    return out;
}

QString TimeToText(TDateTime value)
{
    double frac = value - std::floor(value);
    int ms = static_cast<int>(std::llround(frac * 86400000.0));
    if (ms >= 86400000)
        ms = 86400000 - 1;
    const int secs = ms / 1000;
    const QChar s = RegionalSettings().TimeSeparator.isNull() ? QChar(u':') : RegionalSettings().TimeSeparator;
    return QStringLiteral("%1%2%3%4%5")
        .arg(secs / 3600, 2, 10, QChar(u'0'))
        .arg(s)
        .arg((secs / 60) % 60, 2, 10, QChar(u'0'))
        .arg(s)
        .arg(secs % 60, 2, 10, QChar(u'0'));
}

TDateTime TextToDate(const QString& text)
{
    TDateTime dt = 0;
    bool ok = false;
    try {
        ok = ParseLocaleDateTime(text.trimmed(), dt);
    } catch (const std::invalid_argument&) {
        ok = false;
    }
    if (!ok)
        throw std::invalid_argument("'" + text.toStdString() + "' is not a valid date");
    return dt;
}

TDateTime TextToTime(const QString& text)
{
    const QString t = text.trimmed();
    QChar sep = RegionalSettings().TimeSeparator;
    if (sep.isNull())
        sep = u':';
    const QStringList parts = t.split(sep);
    bool valid = !t.isEmpty() && parts.size() >= 1 && parts.size() <= 3;
    int values[3] = {0, 0, 0};
    for (qsizetype i = 0; valid && i < parts.size(); ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        valid = ok && values[i] >= 0;
    }
    if (valid && parts.size() == 1)
        valid = false; // an hour alone is no time
    if (!valid || values[0] > 23 || values[1] > 59 || values[2] > 59)
        throw std::invalid_argument("'" + text.toStdString() + "' is not a valid time");
    return (values[0] * 3600 + values[1] * 60 + values[2]) / 86400.0;
}

QString RTFToPlainText(const QString& rtf)
{
    QString out;
    std::vector<bool> skip{false};
    const qsizetype n = rtf.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = rtf[i];
        if (c == u'{') {
            skip.push_back(skip.back());
            ++i;
        } else if (c == u'}') {
            if (skip.size() > 1)
                skip.pop_back();
            ++i;
        } else if (c == u'\\') {
            ++i;
            if (i >= n)
                break;
            const QChar k = rtf[i];
            if (k == u'\\' || k == u'{' || k == u'}') {
                if (!skip.back())
                    out += k;
                ++i;
            } else if (k == u'*') {
                skip.back() = true;
                ++i;
            } else if (k == u'\'') {
                bool ok = false;
                const int code = rtf.mid(i + 1, 2).toInt(&ok, 16);
                if (ok && !skip.back())
                    out += QString::fromLatin1(QByteArray(1, static_cast<char>(code)));
                i += 3;
            } else if (k.isLetter()) {
                qsizetype j = i;
                while (j < n && rtf[j].isLetter())
                    ++j;
                const QString word = rtf.mid(i, j - i);
                if (j < n && (rtf[j] == u'-' || rtf[j].isDigit())) {
                    ++j;
                    while (j < n && rtf[j].isDigit())
                        ++j;
                }
                if (j < n && rtf[j] == u' ')
                    ++j;
                static const QStringList destinations = {QStringLiteral("fonttbl"), QStringLiteral("colortbl"),
                                                         QStringLiteral("stylesheet"), QStringLiteral("info"),
                                                         QStringLiteral("pict"), QStringLiteral("header"),
                                                         QStringLiteral("footer")};
                if (destinations.contains(word))
                    skip.back() = true;
                else if (!skip.back() && (word == u"par" || word == u"line"))
                    out += QStringLiteral("\r\n");
                else if (!skip.back() && word == u"tab")
                    out += u'\t';
                i = j;
            } else {
                ++i; // a control symbol without meaning for the text
            }
        } else if (c == u'\r' || c == u'\n') {
            ++i;
        } else {
            if (!skip.back())
                out += c;
            ++i;
        }
    }
    while (out.endsWith(QStringLiteral("\r\n")))
        out.chop(2);
    return out;
}

// ---------------------------------------------------------------------------
// Settings classes
// ---------------------------------------------------------------------------

void TCellGraphic::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TCellGraphic*>(source);
    if (!s || s == this)
        return;
    CellType = s->CellType;
    CellVAlign = s->CellVAlign;
    CellHAlign = s->CellHAlign;
    CellIndex = s->CellIndex;
    CellTransparent = s->CellTransparent;
    CellValue = s->CellValue;
    CellAngle = s->CellAngle;
    CellBoolean = s->CellBoolean;
    CellErrFrom = s->CellErrFrom;
    CellErrLen = s->CellErrLen;
    CellText = s->CellText;
    CellCreated = s->CellCreated;
}

void TCellNode::Repaint()
{
    if (FOwner)
        FOwner->Invalidate();
}

void TCellNode::SetNodeType(TNodeType v)
{
    if (v == FNodeType)
        return;
    FNodeType = v;
    Repaint();
}

void TCellNode::SetNodeIndent(int v)
{
    if (v == FNodeIndent)
        return;
    FNodeIndent = v;
    Repaint();
}

void TCellNode::SetShowTree(bool v)
{
    if (v == FShowTree)
        return;
    FShowTree = v;
    Repaint();
}

void TCellNode::SetShowTreeFull(bool v)
{
    if (v == FShowTreeFull)
        return;
    FShowTreeFull = v;
    Repaint();
}

void TCellNode::SetTreeColor(TColor v)
{
    if (v == FTreeColor)
        return;
    FTreeColor = v;
    Repaint();
}

void TCellNode::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TCellNode*>(source);
    if (!s || s == this)
        return;
    FColor = s->FColor;
    FExpandOne = s->FExpandOne;
    FNodeType = s->FNodeType;
    FNodeColor = s->FNodeColor;
    FNodeIndent = s->FNodeIndent;
    FExpandGlyph.Assign(s->FExpandGlyph);
    FContractGlyph.Assign(s->FContractGlyph);
    FShowTree = s->FShowTree;
    FShowTreeFull = s->FShowTreeFull;
    FTreeColor = s->FTreeColor;
}

void TColumnSize::SetStretch(bool v)
{
    FStretch = v;
    auto* grid = dynamic_cast<TExStringGrid*>(FOwner);
    if (v && grid && grid->parentWidget() && FStretchColumn >= -1 && FStretchColumn < grid->ColCount())
        grid->StretchColumnToClient(FStretchColumn);
}

void TColumnSize::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TColumnSize*>(source);
    if (!s || s == this)
        return;
    FRows = s->FRows;
    FSave = s->FSave;
    FKey = s->FKey;
    FSection = s->FSection;
    FStretch = s->FStretch;
    FStretchColumn = s->FStretchColumn;
    FSynchWithGrid = s->FSynchWithGrid;
    FSynchNormalCellsOnly = s->FSynchNormalCellsOnly;
    FLocation = s->FLocation;
}

void THTMLSettings::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const THTMLSettings*>(source);
    if (!s || s == this)
        return;
    BorderSize = s->BorderSize;
    CellSpacing = s->CellSpacing;
    CellPadding = s->CellPadding;
    SaveColor = s->SaveColor;
    SaveFonts = s->SaveFonts;
    FooterFile = s->FooterFile;
    HeaderFile = s->HeaderFile;
    TableStyle = s->TableStyle;
    PrefixTag = s->PrefixTag;
    SuffixTag = s->SuffixTag;
    Summary = s->Summary;
    Width = s->Width;
    XHTML = s->XHTML;
    ConvertSpecialChars = s->ConvertSpecialChars;
    AutoPreview = s->AutoPreview;
    NonBreakingText = s->NonBreakingText;
}

void TPrintSettings::Assign(const TPersistent* source)
{
    if (!source)
        return;
    const auto* s = dynamic_cast<const TPrintSettings*>(source);
    if (!s)
        throw std::invalid_argument("Invalid class typecast");
    if (s == this)
        return;
    Font.Assign(s->Font);
    FixedFont.Assign(s->FixedFont);
    HeaderFont.Assign(s->HeaderFont);
    FooterFont.Assign(s->FooterFont);
    TitleLines = s->TitleLines;
    PageNumSep = s->PageNumSep;
    DateFormat = s->DateFormat;
    PagePrefix = s->PagePrefix;
    PageSuffix = s->PageSuffix;
    TitleText = s->TitleText;
    JobName = s->JobName;
    Borders = s->Borders;
    BorderStyle = s->BorderStyle;
    BorderColor = s->BorderColor;
    Centered = s->Centered;
    UseDisplayFont = s->UseDisplayFont;
    RepeatFixedRows = s->RepeatFixedRows;
    RepeatFixedCols = s->RepeatFixedCols;
    Time = s->Time;
    Date = s->Date;
    PageNr = s->PageNr;
    Title = s->Title;
    FooterSize = s->FooterSize;
    HeaderSize = s->HeaderSize;
    LeftSize = s->LeftSize;
    RightSize = s->RightSize;
    ColumnSpacing = s->ColumnSpacing;
    RowSpacing = s->RowSpacing;
    TitleSpacing = s->TitleSpacing;
    PageNumberOffset = s->PageNumberOffset;
    MaxPagesOffset = s->MaxPagesOffset;
    FixedWidth = s->FixedWidth;
    FixedHeight = s->FixedHeight;
    UseFixedWidth = s->UseFixedWidth;
    UseFixedHeight = s->UseFixedHeight;
    NoAutoSize = s->NoAutoSize;
    NoAutoSizeRow = s->NoAutoSizeRow;
    PrintGraphics = s->PrintGraphics;
    UseDefaultOrientation = s->UseDefaultOrientation;
    Orientation = s->Orientation;
    FitToPage = s->FitToPage;
}

void TShowModified::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TShowModified*>(source);
    if (!s || s == this)
        return;
    FColor = s->FColor;
    FEnabled = s->FEnabled;
}

void TShowModified::SetColor(TColor v)
{
    FColor = v;
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------------------
// Support classes
// ---------------------------------------------------------------------------

namespace {
void CheckListIndex(qsizetype index, qsizetype count)
{
    if (index < 0 || index >= count)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}
} // namespace

QString TNotifyStrings::Strings(int i) const
{
    CheckListIndex(i, FList.size());
    return FList[i];
}

void TNotifyStrings::SetStrings(int i, const QString& s)
{
    CheckListIndex(i, FList.size());
    FList[i] = s;
    Changed();
}

int TNotifyStrings::Add(const QString& s)
{
    FList.append(s);
    Changed();
    return Count() - 1;
}

void TNotifyStrings::Insert(int i, const QString& s)
{
    if (i < 0 || i > FList.size())
        throw std::out_of_range("List index out of bounds (" + std::to_string(i) + ")");
    FList.insert(i, s);
    Changed();
}

void TNotifyStrings::Delete(int i)
{
    CheckListIndex(i, FList.size());
    FList.removeAt(i);
    Changed();
}

void TNotifyStrings::Clear()
{
    if (FList.isEmpty())
        return;
    FList.clear();
    Changed();
}

void TNotifyStrings::Assign(const QStringList& list)
{
    BeginUpdate();
    FList = list;
    FPending = true;
    EndUpdate();
}

void TNotifyStrings::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    if (FUpdateCount == 0 && FPending) {
        FPending = false;
        if (OnChange)
            OnChange();
    }
}

void TNotifyStrings::Changed()
{
    if (FUpdateCount > 0) {
        FPending = true;
        return;
    }
    if (OnChange)
        OnChange();
}

QString TStringObjectList::Strings(int i) const
{
    CheckListIndex(i, Count());
    return FStrings[static_cast<size_t>(i)];
}

void TStringObjectList::SetStrings(int i, const QString& s)
{
    CheckListIndex(i, Count());
    FStrings[static_cast<size_t>(i)] = s;
}

TObject* TStringObjectList::Objects(int i) const
{
    CheckListIndex(i, Count());
    return FObjects[static_cast<size_t>(i)];
}

void TStringObjectList::SetObjects(int i, TObject* o)
{
    CheckListIndex(i, Count());
    FObjects[static_cast<size_t>(i)] = o;
}

void TStringObjectList::Add(const QString& s, TObject* o)
{
    FStrings.push_back(s);
    FObjects.push_back(o);
}

void TStringObjectList::Insert(int i, const QString& s, TObject* o)
{
    CheckListIndex(i, Count() + 1);
    FStrings.insert(FStrings.begin() + i, s);
    FObjects.insert(FObjects.begin() + i, o);
}

void TStringObjectList::Delete(int i)
{
    CheckListIndex(i, Count());
    FStrings.erase(FStrings.begin() + i);
    FObjects.erase(FObjects.begin() + i);
}

void TStringObjectList::Clear()
{
    FStrings.clear();
    FObjects.clear();
}

void TGridItem::SetIdx(int v)
{
    FIdx = v;
    if (FCollection)
        FCollection->Changed();
}

TGridItem* TGridItemCollection::Add()
{
    FItems.push_back(std::make_unique<TGridItem>(this));
    FDirty = true;
    return FItems.back().get();
}

TGridItem* TGridItemCollection::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    auto it = FItems.insert(FItems.begin() + index, std::make_unique<TGridItem>(this));
    FDirty = true;
    return it->get();
}

void TGridItemCollection::InsertAt(const std::vector<int>& positions, std::vector<std::unique_ptr<TGridItem>> items)
{
    if (items.empty())
        return;
    std::vector<std::unique_ptr<TGridItem>> merged;
    merged.reserve(FItems.size() + items.size());
    size_t k = 0;
    for (size_t i = 0; i <= FItems.size(); ++i) {
        while (k < items.size() && static_cast<size_t>(std::clamp(positions.at(k), 0, Count())) <= i)
            merged.push_back(std::move(items[k++]));
        if (i < FItems.size())
            merged.push_back(std::move(FItems[i]));
    }
    FItems = std::move(merged);
    FDirty = true;
}

void TGridItemCollection::Delete(int index)
{
    CheckListIndex(index, Count());
    FItems.erase(FItems.begin() + index);
    FDirty = true;
}

void TGridItemCollection::Delete(const std::vector<TGridItem*>& items)
{
    if (items.empty())
        return;
    const std::unordered_set<const TGridItem*> gone(items.begin(), items.end());
    std::erase_if(FItems, [&gone](const std::unique_ptr<TGridItem>& i) { return gone.count(i.get()) > 0; });
    FDirty = true;
}

void TGridItemCollection::Clear()
{
    FItems.clear();
    FDirty = true;
}

const std::vector<int>& TGridItemCollection::SortedIdx() const
{
    if (FDirty) {
        FSorted.clear();
        FSorted.reserve(FItems.size());
        for (const auto& item : FItems)
            FSorted.push_back(item->Idx());
        std::sort(FSorted.begin(), FSorted.end());
        FDirty = false;
    }
    return FSorted;
}

int TGridItemCollection::CountBelow(int realRow) const
{
    const std::vector<int>& sorted = SortedIdx();
    return static_cast<int>(std::lower_bound(sorted.begin(), sorted.end(), realRow) - sorted.begin());
}

// ---------------------------------------------------------------------------
// TExStringGrid: life cycle
// ---------------------------------------------------------------------------

TExStringGrid::TExStringGrid(QWidget* owner)
    : TBaseGrid(owner),
      FNavigation(std::make_unique<TNavigation>()),
      FMouseActions(std::make_unique<TMouseActions>(this)),
      FSearchFooter(std::make_unique<TSearchFooter>(false)),
      FSyncGrid(std::make_unique<TSyncGrid>(this)),
      FBands(std::make_unique<TBands>()),
      FFocusHelper(std::make_unique<TFocusHelper>()),
      FCellNode(std::make_unique<TCellNode>(this)),
      FColumnSize(std::make_unique<TColumnSize>(this)),
      FHTMLSettings(std::make_unique<THTMLSettings>()),
      FPrintSettings(std::make_unique<TPrintSettings>(this)),
      FSizeWhileTyping(std::make_unique<TSizeWhileTyping>()),
      FShowModified(std::make_unique<TShowModified>()),
      FFloatingFooter(std::make_unique<TFloatingFooter>(this)),
      FSortSettings(std::make_unique<TSortSettings>(this)),
      FDragDropSettings(std::make_unique<TDragDropSettings>(this)),
      FOrigColSizes(-1, -1),
      FIgnoreColumns(-1, -1)
{
    ExGridStartUp();
    FSearchFooter->OnChange = [this](TSearchFooter*) { SearchFooterChanged(); };
    FNavigation->OnChange = [this](TNavigation*) { NavigationChanged(); };
    FMouseActions->OnChange = [this](TMouseActions*) { MouseActionsChanged(); };
    FMouseActions->OnIsDesigning = [this](QObject*, bool& designing) { designing = Designing(); };
    FMouseActions->OnInvalidate = [this](TMouseActions*) { Invalidate(); };
    FBands->OnChange = [this](TBands*) { BandsChanged(); };
    FShowModified->OnChange = [this](TShowModified*) { RepaintCol(0); };
    FProgressAppearance->OnChange = [this](TGridProgressAppearance*) { Invalidate(); };
    FColumnHeaders.OnChange = [this] { ColumnHeadersListChanged(); };
    FRowHeaders.OnChange = [this] { RowHeadersListChanged(); };
    FMergedColumns.OnChange = [this](QObject*, int, int) { MergedColumnsChanged(); };

    FFixedFont.SetName(QStringLiteral("Tahoma"));
    FFixedFont.SetStyle(fsBold);
    FActiveCellFont.SetStyle(fsBold);
    FFixedFont.OnChange = [this] { Invalidate(); };
    FActiveCellFont.OnChange = [this] { Invalidate(); };

    FVisibleCol.fill(true);
    FAllColWidths.fill(0);
    FQRVGradientTo = ColorToRGB(clBtnFace);
    FScrollWidth = style() ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) : 16;

    SetRowCount(10);
    resize(400, 250);
    SetDefaultRowHeight(22);
    SetFixedRowHeight(22);

    // The always-present editor controls, hidden and disabled between edits.
    FEditCombo = new TGridCombo(this);
    FEditCheck = new TGridCheckBox(this);
    FGridButton = new TGridButton(this);
    FEditBtn = new TGridEditBtn(this);
    FUnitEditBtn = new TGridUnitEditBtn(this);
    for (QWidget* editor :
         std::initializer_list<QWidget*>{FEditCombo, FEditCheck, FGridButton, FEditBtn, FUnitEditBtn}) {
        editor->hide();
        editor->setEnabled(false);
    }
    FBalloonSettings->OnEnableChange = [this](TBalloonSettings*) { BalloonEnableChanged(); };
}

TExStringGrid::~TExStringGrid()
{
    SetDestroying();
    // A store that cannot be written must not stop the grid from going.
    if (FColumnSize->Save()) {
        try {
            SaveColSizes();
        } catch (...) {
        }
    }
    // No frame and no editor control outlives the grid or reaches it while it goes.
    delete InplaceEditor();
    HideFocusFrame();
    delete FFocusWindow.data();
    delete FEditCombo;
    delete FEditCheck;
    delete FGridButton;
    delete FEditSpin;
    delete FEditDate;
    delete FEditDateTime;
    FEditDateTime = nullptr;
    BalloonDone();
    FBalloonSettings->OnEnableChange = nullptr;
    delete FEditBtn;
    delete FUnitEditBtn;
    FEditCombo = nullptr;
    FEditCheck = nullptr;
    FGridButton = nullptr;
    FEditSpin = nullptr;
    FEditDate = nullptr;
    FEditBtn = nullptr;
    FUnitEditBtn = nullptr;
    FClearTextOnly = false;
    FSaveHiddenCells = false;
    // Nothing may leave a destructor: should a step fail, the cells below
    // still go.
    try {
        if (HasNodes())
            ExpandAll();
        UnHideColumnsAll();
    } catch (...) {
    }
    // Every cell object, hidden columns and hidden rows included, goes now,
    // while the graphic objects can still be told apart.
    if (FHasCellProps) {
        const int cols = std::max({TotalColCount(), FMaxColCount, 1});
        const int rows = std::max({RowCount(), FMaxRowCount, 1});
        FreeCellPropsRect(0, 0, cols - 1, rows - 1);
    }
    for (int i = 0; i < FGridItems.Count(); ++i) {
        TStringObjectList& cells = FGridItems.Items(i)->Items();
        for (int c = 0; c < cells.Count(); ++c) {
            TObject* object = cells.Objects(c);
            cells.SetObjects(c, nullptr);
            FreeStoredObject(object);
        }
    }
    FGridItems.Clear();
    ExGridShutDown();
}

void TExStringGrid::FreeStoredObject(TObject* object)
{
    if (auto* props = dynamic_cast<TCellProperties*>(object)) {
        if (props->GraphicObject() && IsOwnGraphicObject(props->GraphicObject()))
            delete props->GraphicObject();
        delete props;
    }
}

bool TExStringGrid::IsOwnGraphicObject(const TObject* object) const
{
    return object && typeid(*object) == typeid(TCellGraphic);
}

void TExStringGrid::Loaded()
{
    TBaseGrid::Loaded();
    FRestoreCursor = TBaseGrid::Cursor();
    ShowColumnHeaders();
    ShowRowHeaders();
    // The QRV look's colours are applied again once the layout is read.
    if (FLook == glQRV) {
        SetLook(glCustom);
        SetLook(glQRV);
    }
    FFixedRowsMin = TBaseGrid::FixedRows();
    FFixedColsMin = TBaseGrid::FixedCols();
    if (FAutoSize)
        AutoSizeColumns(false, 4);
    if (FColumnSize->Save())
        LoadColSizes();
    FMinRowHeight = DefaultRowHeight();
    FMinColWidth = 10;
    FMaxRowCount = RowCount();
    FLoaded = true;
    if (Options() & goAlwaysShowEditor) {
        SetOptions(Options() & ~goAlwaysShowEditor);
        FNavigation->SetAlwaysEdit(true);
    }
    // Without visual styles the themed check boxes look classic.
    if (!ExXPVS::IsThemeActive() && FControlLook->ControlStyle() == csTheme && !Designing())
        FControlLook->SetControlStyle(csClassic);
    FSearchFooter->SetAutoThemeAdapt(FAutoThemeAdapt);
    UpdateScrollBarsAlways(false);
    if (FAutoThemeAdapt && !Designing())
        AdaptToOfficeTheme();
    InitOrigColSizes();
    SetColumnOrder();
    UpdateSearchPanel();
    if (FBalloonSettings->Enable())
        BalloonInit();
    ApplyActiveStyleColors();
}

void TExStringGrid::Assign(const TExStringGrid* source)
{
    if (!source || source == this)
        return;
    auto* s = const_cast<TExStringGrid*>(source);
    SetFont(s->Font());
    FActiveCellColor = s->FActiveCellColor;
    FActiveCellColorTo = s->FActiveCellColorTo;
    FActiveCellFont.Assign(s->FActiveCellFont);
    FActiveCellShow = s->FActiveCellShow;
    SetActiveRowShow(s->ActiveRowShow());
    SetAlign(s->Align());
    FilterDropDown().Assign(&s->FilterDropDown());
    FAnchorHint = s->FAnchorHint;
    SetAutoNumAlign(s->FAutoNumAlign);
    // The columns are sized with the cells below, not before them.
    FAutoSize = s->FAutoSize;
    SetAutoThemeAdapt(s->FAutoThemeAdapt);
    FAutoFilterUpdate = s->FAutoFilterUpdate;
    FMouseActions->Assign(s->FMouseActions.get());
    FNavigation->Assign(s->FNavigation.get());
    FGrouping->Assign(s->FGrouping.get());
    FSearchFooter->Assign(s->FSearchFooter.get());
    FPrintSettings->Assign(s->FPrintSettings.get());
    {
        TFilter& filter = Filter();
        const TFilter& from = s->Filter();
        filter.Clear();
        for (int i = 0; i < from.Count(); ++i)
            filter.Insert(i)->Assign(*from.Items(i));
    }
    FHTMLSettings->Assign(s->FHTMLSettings.get());
    FBands->Assign(s->FBands.get());
    FCellNode->Assign(s->FCellNode.get());
    FSortSettings->Assign(s->FSortSettings.get());
    FDragScrollOptions->Assign(s->FDragScrollOptions.get());
    FDragDropSettings->Assign(s->FDragDropSettings.get());
    FProgressAppearance->Assign(s->FProgressAppearance.get());
    FColumnSize->Assign(s->FColumnSize.get());
    FSyncGrid->Assign(s->FSyncGrid.get());
    FFocusHelper->Assign(s->FFocusHelper.get());
    FFixedRowAlways = s->FFixedRowAlways;
    SetColCount(s->ColCount());
    SetRowCount(s->RowCount());
    SetFixedRows(s->TBaseGrid::FixedRows());
    SetFixedCols(s->TBaseGrid::FixedCols());
    SetDefaultColWidth(s->DefaultColWidth());
    SetDefaultRowHeight(s->DefaultRowHeight());
    SetFixedRowHeight(s->FixedRowHeight());
    SetFixedColWidth(s->FixedColWidth());
    FInvalidEntryTitle = s->FInvalidEntryTitle;
    FInvalidEntryIcon = s->FInvalidEntryIcon;
    FInvalidEntryText = s->FInvalidEntryText;
    SetOptions(s->Options());
    for (int c = 0; c < ColCount(); ++c)
        SetColWidths(c, s->ColWidths(c));
    SetColumnHeaders(s->FColumnHeaders.List());
    for (int r = 0; r < RowCount(); ++r)
        SetRowHeights(r, s->RowHeights(r));
    SetScrollBarAlways(s->FScrollBarAlways);
    SetScrollBars(s->ScrollBars());
    FScrollProportional = s->FScrollProportional;
    FScrollSynch = s->FScrollSynch;
    FScrollHints = s->FScrollHints;
    FScrollColor = s->FScrollColor;
    SetScrollType(s->FScrollType);
    FScrollWidth = s->FScrollWidth;
    AssignCells(source);
}

void TExStringGrid::AssignCells(const TExStringGrid* source)
{
    if (!source || source == this)
        return;
    // Through the text layout stream: its save and load hooks apply.
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    const_cast<TExStringGrid*>(source)->SaveToStream(buffer);
    buffer.seek(0);
    LoadFromStream(buffer);
}

void TExStringGrid::Invalidate()
{
    if (FEditChange) {
        FEditChange = false;
        return;
    }
    TBaseGrid::Invalidate();
}

void TExStringGrid::Resize()
{
    TBaseGrid::Resize();
    UpdateScrollBarsAlways(false);
    CellControlsUpdate();
}

void TExStringGrid::SetBounds(int left, int top, int width, int height)
{
    if (FIntegralHeight && FUpdateCount == 0 && DefaultRowHeight() > 0) {
        const int s = VisibleColCount() + TBaseGrid::FixedCols() < ColCount()
                          ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this)
                          : 0;
        const int b = BorderStyle() == bsSingle ? 2 : 0;
        height = height + b - ((height - s - b) % DefaultRowHeight());
    }
    TBaseGrid::SetBounds(left, top, width, height);
}

void TExStringGrid::UpdateScrollBarsAlways(bool hideWhenAll)
{
    const bool allRows = VisibleRowCount() + TBaseGrid::FixedRows() >= RowCount();
    const bool allCols = VisibleColCount() + TBaseGrid::FixedCols() >= ColCount();
    if (FScrollBarAlways != saNone) {
        if (allRows) {
            ShowScrollBar(sbVertical, FScrollBarAlways == saVert || FScrollBarAlways == saBoth);
            EnableScrollBar(sbVertical, false);
        } else {
            EnableScrollBar(sbVertical, true);
        }
        if (allCols) {
            ShowScrollBar(sbHorizontal, FScrollBarAlways == saHorz || FScrollBarAlways == saBoth);
            EnableScrollBar(sbHorizontal, false);
        } else {
            EnableScrollBar(sbHorizontal, true);
        }
    } else if (hideWhenAll) {
        if (allRows)
            ShowScrollBar(sbVertical, false);
        if (allCols)
            ShowScrollBar(sbHorizontal, false);
    }
}

int TExStringGrid::GetVersionNr() const { return 0x06020103; }

QString TExStringGrid::GetVersionString() const
{
    const unsigned v = static_cast<unsigned>(GetVersionNr());
    return QStringLiteral("%1.%2.%3.%4 Sep, 2012")
        .arg((v >> 24) & 0xFF)
        .arg((v >> 16) & 0xFF)
        .arg((v >> 8) & 0xFF)
        .arg(v & 0xFF);
}

QString TExStringGrid::Version() const
{
    const unsigned v = static_cast<unsigned>(GetVersionNr());
    return QStringLiteral("%1.%2.%3.%4").arg((v >> 24) & 0xFF).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

void TExStringGrid::InitOrigColSizes()
{
    FOrigColSizes.Clear();
    for (int c = 0; c < ColCount(); ++c)
        FOrigColSizes.Add(ColWidths(c));
    // The width the sizes belong to, for the size-change synchronisation.
    FOldSize = width();
}
