#include "widgets/ExPageControl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <stdexcept>

using namespace platform;

namespace {

int TextWidthIn(const TFont& font, const QString& text)
{
    TCanvas measure;
    measure.SetFont(font);
    return measure.TextWidth(text);
}

bool IsVertical(TTabPosition p) { return p == tpLeft || p == tpRight; }

// The tab and sheet gradients take their bands' size from the whole extent;
// the shared routine takes it from the extent less one pixel, so it is given
// a rectangle one pixel longer along the gradient.
void FillSteppedGradient(TCanvas& canvas, TColor from, TColor to, bool horizontal, TRect rect, int steps)
{
    (horizontal ? rect.Right : rect.Bottom) += 1;
    DrawSteppedGradient(canvas, from, to, horizontal, rect, steps);
}

} // namespace

// ---------------------------------------------------------------- drawing routines

void CopyTransparent(TCanvas& canvas, int x, int y, const TBitmap& bitmap, TColor transparent)
{
    if (bitmap.Empty())
        return;
    TBitmap copy(bitmap);
    copy.SetTransparent(true);
    copy.SetTransparentColor(transparent);
    canvas.Draw(x, y, copy);
}

void CopyStretchedTransparent(TCanvas& canvas, const TRect& dest, const TBitmap& bitmap, const TRect& source,
                              TColor transparent)
{
    if (bitmap.Empty() || IsRectEmpty(dest) || IsRectEmpty(source))
        return;
    TBitmap part;
    part.SetImage(bitmap.Image().copy(QRect(source.Left, source.Top, source.Width(), source.Height())));
    part.SetTransparent(true);
    part.SetTransparentColor(transparent);
    canvas.StretchDraw(dest, part);
}

void DrawThreeSliceVertical(TCanvas& canvas, const TBitmap& image, const TRect& dest)
{
    if (image.Empty())
        return;
    const TColor key = image.TransparentColor();
    const int w = image.Width(), h = image.Height(), half = h / 2;
    const int middle = dest.Height() - h;
    CopyStretchedTransparent(canvas, Bounds(dest.Left, dest.Top, w, half), image, Rect(0, 0, w, half), key);
    if (middle > 0 && h >= 2)
        CopyStretchedTransparent(canvas, Bounds(dest.Left, dest.Top + half, w, middle), image,
                                 Rect(0, half - 1, w, half + 1), key);
    CopyStretchedTransparent(canvas, Bounds(dest.Left, dest.Top + half + std::max(0, middle), w, h - half), image,
                             Rect(0, half, w, h), key);
}

void DrawThreeSliceHorizontal(TCanvas& canvas, const TBitmap& image, const TRect& dest)
{
    if (image.Empty())
        return;
    const TColor key = image.TransparentColor();
    const int w = image.Width(), h = image.Height(), half = w / 2;
    const int middle = dest.Width() - w;
    CopyStretchedTransparent(canvas, Bounds(dest.Left, dest.Top, half, h), image, Rect(0, 0, half, h), key);
    if (middle > 0 && w >= 2)
        CopyStretchedTransparent(canvas, Bounds(dest.Left + half, dest.Top, middle, h), image,
                                 Rect(half - 1, 0, half + 1, h), key);
    CopyStretchedTransparent(canvas, Bounds(dest.Left + half + std::max(0, middle), dest.Top, w - half, h), image,
                             Rect(half, 0, w, h), key);
}

// ---------------------------------------------------------------- TTabMargin

void TTabMargin::Assign(const TTabMargin& other)
{
    FLeftMargin = other.FLeftMargin;
    FTopMargin = other.FTopMargin;
    FRightMargin = other.FRightMargin;
}

void TTabMargin::Change(int& field, int value, int which)
{
    const int old = field;
    field = value;
    if (OnMarginChange)
        OnMarginChange(value, old, which);
}

// ---------------------------------------------------------------- TExTabSheet

TExTabSheet::TExTabSheet(QWidget* owner) : TCustomControl(owner)
{
    setFocusPolicy(Qt::NoFocus);
    hide();
    if (auto* control = dynamic_cast<TExPageControl*>(owner))
        SetExPageControl(control);
}

TExTabSheet::~TExTabSheet()
{
    if (closedIn_)
        closedIn_->RemoveClosed(this);
    if (FExPageControl)
        FExPageControl->RemovePage(this);
}

QString TExTabSheet::ItemText() const
{
    if (FExPageControl && FExPageControl->TabBorder3D())
        return caption_;
    return FTabCaption;
}

void TExTabSheet::SetCaption(const QString& caption)
{
    // The tab item measures two characters less than the caption (the
    // captions end in blanks); a close button needs one blank more.
    FTabCaption = FShowClose ? caption + QLatin1Char(' ') : caption.left(std::max<qsizetype>(0, caption.size() - 2));
    caption_ = caption;
    if (FExPageControl)
        FExPageControl->UpdateTabItem(this);
}

void TExTabSheet::SetColor(TColor c)
{
    TCustomControl::SetColor(c);
    if (FExPageControl)
        FExPageControl->update();
}

void TExTabSheet::SetColorTo(TColor c)
{
    FColorTo = c;
    update();
    if (FExPageControl)
        FExPageControl->update();
}

void TExTabSheet::SetHighlighted(bool v)
{
    if (FExPageControl)
        FExPageControl->SetTabHighlighted(TabIndex(), v);
    FHighlighted = v;
}

void TExTabSheet::SetImageIndex(int index)
{
    FImageIndex = index < 0 ? -1 : index;
    FImageIndexDummy = index < 0 ? 0 : index;
    SetCaption(caption_);
}

void TExTabSheet::SetShowClose(bool v)
{
    FShowClose = v;
    SetCaption(caption_);
    if (FExPageControl)
        FExPageControl->update();
}

void TExTabSheet::SetTabColor(TColor c)
{
    FTabColor = c;
    update();
    if (FExPageControl)
        FExPageControl->update();
}

void TExTabSheet::SetTabColorTo(TColor c)
{
    FTabColorTo = c;
    update();
    if (FExPageControl)
        FExPageControl->update();
}

void TExTabSheet::SetTabEnable(bool v)
{
    if (!v && FExPageControl && FExPageControl->ActivePage() == this)
        throw std::runtime_error("Can not disable active tab.");
    FTabEnable = v;
    if (FExPageControl)
        FExPageControl->update();
}

void TExTabSheet::SetTabGradientDirection(TGradientDirection d)
{
    if (d == FTabGradientDirection)
        return;
    FTabGradientDirection = d;
    if (FExPageControl)
        FExPageControl->update();
}

void TExTabSheet::SetTabVisible(bool v)
{
    if (v == FTabVisible)
        return;
    FTabVisible = v;
    if (FExPageControl)
        FExPageControl->UpdateTabShowing(this);
}

void TExTabSheet::SetTextColor(TColor c)
{
    FTextColor = c;
    if (FExPageControl)
        FExPageControl->update();
}

int TExTabSheet::PageIndex() const
{
    if (!FExPageControl)
        return -1;
    const auto& pages = FExPageControl->FPages;
    const auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

void TExTabSheet::SetPageIndex(int index)
{
    if (!FExPageControl)
        return;
    auto& pages = FExPageControl->FPages;
    const int last = static_cast<int>(pages.size()) - 1;
    if (index > last)
        throw std::out_of_range(QStringLiteral("%1 is an invalid PageIndex value.  PageIndex must be between 0 and %2")
                                    .arg(index)
                                    .arg(last)
                                    .toStdString());
    if (index < 0)
        throw std::out_of_range(QStringLiteral("List index out of bounds (%1)").arg(index).toStdString());
    const int from = PageIndex();
    if (from == index)
        return;
    const int oldTab = TabIndex();
    pages.erase(pages.begin() + from);
    pages.insert(pages.begin() + index, this);
    if (FTabShowing)
        FExPageControl->MoveTab(oldTab, TabIndex());
    FExPageControl->update();
}

int TExTabSheet::TabIndex() const
{
    if (!FExPageControl || !FTabShowing)
        return -1;
    int n = 0;
    for (const TExTabSheet* s : FExPageControl->FPages) {
        if (s == this)
            return n;
        if (s->FTabShowing)
            ++n;
    }
    return -1;
}

void TExTabSheet::SetExPageControl(TExPageControl* control)
{
    if (control == FExPageControl)
        return;
    if (FExPageControl)
        FExPageControl->RemovePage(this);
    if (!control)
        return;  // stays a hidden child of the control it left
    setParent(control);
    hide();
    control->InsertPage(this);
}

void TExTabSheet::Paint()
{
    if (FColorTo != clNone)
        FillSteppedGradient(Canvas(), Color(), FColorTo, false, ClientRect(), 64);
}

void TExTabSheet::showEvent(QShowEvent* event)
{
    TCustomControl::showEvent(event);
    if (OnShow)
        RunGuarded([&] { OnShow(this); });
}

void TExTabSheet::hideEvent(QHideEvent* event)
{
    TCustomControl::hideEvent(event);
    if (OnHide)
        RunGuarded([&] { OnHide(this); });
}

// ---------------------------------------------------------------- TExPageControl

TExPageControl::TExPageControl(QWidget* parent)
    : TTabControl(parent), DockingSite(this), FTabMargin(std::make_unique<TTabMargin>()),
      FDummyImages(std::make_unique<TImageList>()), FTabBackGround(std::make_unique<TBitmap>()),
      FTabBackGroundActive(std::make_unique<TBitmap>()), FActiveFont(std::make_unique<TFont>()),
      FCloseGlyph(std::make_unique<TBitmap>())
{
    SetDoubleClicks(true);
    Font().SetName(QStringLiteral("Tahoma"));
    FActiveFont->SetName(QStringLiteral("Tahoma"));
    FActiveFont->OnChange = [this] {
        if (FActivePage)
            UpdateTabItem(FActivePage);
        update();
    };
    FTabMargin->OnMarginChange = [this](int, int, int) {
        UpdateMarginImages();
        update();
    };
    SetOwnerDraw(true);
    UpdateMarginImages();
    if (qApp)
        qApp->installEventFilter(this);
}

TExPageControl::~TExPageControl()
{
    destroying_ = true;
    if (qApp)
        qApp->removeEventFilter(this);
    // The sheets outlive the control's own members for a moment (they are its
    // children): they must not call back.
    for (TExTabSheet* s : FPages) {
        s->FExPageControl = nullptr;
        s->FTabShowing = false;
    }
    FPages.clear();
    for (const ClosedTab& c : FClosedTabList)
        c.sheet->closedIn_ = nullptr;
    FClosedTabList.clear();
    FActivePage = nullptr;
}

TExTabSheet* TExPageControl::Pages(int index) const
{
    return index >= 0 && index < PageCount() ? FPages[static_cast<size_t>(index)] : nullptr;
}

int TExPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TExPageControl::SetActivePageIndex(int index) { SetActivePage(Pages(index)); }

TExTabSheet* TExPageControl::SheetOfTab(int tabIndex) const
{
    return static_cast<TExTabSheet*>(TabObject(tabIndex));
}

int TExPageControl::PageOfTab(int tabIndex) const
{
    const TExTabSheet* s = SheetOfTab(tabIndex);
    return s ? s->PageIndex() : -1;
}

TExTabSheet* TExPageControl::FindNextPage(TExTabSheet* current, bool goForward, bool checkTabVisible) const
{
    const int n = PageCount();
    if (n == 0)
        return nullptr;
    const auto it = std::find(FPages.begin(), FPages.end(), current);
    const int start = it != FPages.end() ? static_cast<int>(it - FPages.begin()) : (goForward ? n - 1 : 0);
    int i = start;
    do {
        i = goForward ? (i + 1) % n : (i + n - 1) % n;
        TExTabSheet* s = FPages[static_cast<size_t>(i)];
        if (!checkTabVisible || s->TabVisible())
            return s;
    } while (i != start);
    return nullptr;
}

void TExPageControl::SelectNextPage(bool goForward)
{
    TExTabSheet* next = FindNextPage(FActivePage, goForward, true);
    if (!next || next == FActivePage)
        return;
    targetTab_ = next->TabIndex();
    const bool allowed = CanChange();
    targetTab_ = -1;
    if (!allowed)
        return;
    SetTabIndex(next->TabIndex());
    Change();
}

// ---------------------------------------------------------------- pages and tabs

void TExPageControl::InsertPage(TExTabSheet* sheet)
{
    if (sheet->closedIn_)
        sheet->closedIn_->RemoveClosed(sheet);
    FPages.push_back(sheet);
    sheet->FExPageControl = this;
    if (sheet->FTextColor == 0)
        sheet->FTextColor = FDefaultTextColor;
    if (sheet->FTabColor == clNone)
        sheet->FTabColor = FDefaultTabColor;
    if (sheet->FTabColorTo == clNone)
        sheet->FTabColorTo = FDefaultTabColorTo;
    UpdateTabShowing(sheet);
    PlaceSheets();
    update();
}

void TExPageControl::RemovePage(TExTabSheet* sheet)
{
    const auto it = std::find(FPages.begin(), FPages.end(), sheet);
    if (it == FPages.end())
        return;
    if (FUndockingPage == sheet)
        FUndockingPage = nullptr;
    if (FNewDockSheet == sheet)
        FNewDockSheet = nullptr;
    TExTabSheet* next = FindNextPage(sheet, true, true);
    const bool wasActive = FActivePage == sheet;
    SetTabShowing(sheet, false);
    sheet->FExPageControl = nullptr;
    FPages.erase(std::find(FPages.begin(), FPages.end(), sheet));
    if (FActivePage == sheet) {
        // Nothing left to hand over to: the sheet goes unseen.
        FActivePage = nullptr;
        sheet->hide();
    }
    if (FHoverTab >= PageCount())
        FHoverTab = -1;
    // Only the shown page hands over; another page leaves the shown one be.
    if (wasActive)
        SetActivePage(next == sheet ? nullptr : next);
    update();
}

void TExPageControl::RemoveClosed(TExTabSheet* sheet)
{
    FClosedTabList.erase(std::remove_if(FClosedTabList.begin(), FClosedTabList.end(),
                                        [sheet](const ClosedTab& c) { return c.sheet == sheet; }),
                         FClosedTabList.end());
    sheet->closedIn_ = nullptr;
}

bool TExPageControl::OpenClosedTab(const QString& name)
{
    for (const ClosedTab& c : FClosedTabList) {
        if (c.name == name) {
            TExTabSheet* sheet = c.sheet;
            RemoveClosed(sheet);  // the entry goes with the reopening
            sheet->SetExPageControl(this);
            return true;
        }
    }
    return false;
}

void TExPageControl::OpenAllClosedTabs()
{
    const std::vector<ClosedTab> closed = FClosedTabList;
    for (const ClosedTab& c : closed) {
        RemoveClosed(c.sheet);
        c.sheet->SetExPageControl(this);
    }
}

QStringList TExPageControl::ClosedTabNames() const
{
    QStringList names;
    for (const ClosedTab& c : FClosedTabList)
        names << c.name;
    return names;
}

void TExPageControl::UpdateTabShowing(TExTabSheet* sheet)
{
    SetTabShowing(sheet, sheet->FExPageControl == this && sheet->FTabVisible);
}

void TExPageControl::SetTabShowing(TExTabSheet* sheet, bool showing)
{
    if (sheet->FTabShowing == showing)
        return;
    if (showing) {
        sheet->FTabShowing = true;
        const int index = sheet->TabIndex();
        InsertTab(index, sheet->ItemText(), sheet);
        // The new tab item takes the state the sheet kept while it had none.
        SetTabHighlighted(index, sheet->FHighlighted);
        UpdateTabItem(sheet);
    } else {
        const int index = sheet->TabIndex();
        const bool wasActive = sheet == FActivePage;
        DeleteTab(index);
        sheet->FTabShowing = false;
        if (wasActive)
            SetTabIndex(index < TabCount() ? index : TabCount() - 1);
    }
    SyncActivePageWithTab();
}

void TExPageControl::UpdateTabItem(TExTabSheet* sheet)
{
    const int index = sheet->TabIndex();
    if (index < 0)
        return;
    QString text = sheet->ItemText();
    if (!FTabBorder3D && sheet == FActivePage && (FActiveFont->Style() & (fsBold | fsItalic))) {
        // The wider active font must fit in the tab measured with Font.
        const TFont font = Font();
        const int missing = TextWidthIn(*FActiveFont, text) - TextWidthIn(font, text);
        QString blanks;
        while (TextWidthIn(font, blanks) < missing)
            blanks += QLatin1Char(' ');
        text += blanks;
    }
    int image = sheet->FImageIndexDummy;
    if (OnGetImageIndex)
        OnGetImageIndex(this, index, image);
    SetTabText(index, text);
    SetTabImageIndex(index, image);
    PlaceSheets();
}

void TExPageControl::UpdateAllTabItems()
{
    for (TExTabSheet* s : FPages)
        UpdateTabItem(s);
}

void TExPageControl::SyncActivePageWithTab()
{
    TExTabSheet* current = SheetOfTab(TabIndex());
    if (current && FActivePage && !FActivePage->FTabShowing && !current->TabEnable()) {
        // The active sheet lost its tab: the current tab's sheet takes over
        // even when its tab cannot be chosen.
        ChangeActivePage(current);
        SetTabIndex(current->TabIndex());
        return;
    }
    SetActivePage(current);
    // A refused change leaves the tab of the page that shows current.
    if (FActivePage != current)
        SetTabIndex(FActivePage ? FActivePage->TabIndex() : -1);
}

void TExPageControl::SetActivePage(TExTabSheet* page)
{
    if (page && page->FExPageControl != this)
        return;
    ChangeActivePage(page);
    if (!page) {
        SetTabIndex(-1);
        FActivePage = nullptr;
    } else if (FActivePage == page) {
        SetTabIndex(page->TabIndex());
    }
}

void TExPageControl::ChangeActivePage(TExTabSheet* page)
{
    if (page == FActivePage)
        return;
    if (page && !page->TabEnable() && FActivePage)
        return;
    TExTabSheet* old = FActivePage;
    QWidget* focus = QApplication::focusWidget();
    const bool hadFocus = old && focus && old->isAncestorOf(focus);
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
    if (page) {
        page->raise();
        page->show();
    }
    if (old)
        old->hide();
    FActivePage = page;
    if (old && old->FExPageControl == this)
        UpdateTabItem(old);
    if (page)
        UpdateTabItem(page);
    if (hadFocus && page) {
        // The first control of the new sheet that takes the focus.
        for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
            if (!page->isAncestorOf(w))
                break;
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(page) && w->isEnabled()) {
                w->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
    update();
}

void TExPageControl::PlaceSheets()
{
    const TRect r = DisplayRect();
    for (TExTabSheet* s : FPages)
        s->setGeometry(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
}

void TExPageControl::TabsChanged() { PlaceSheets(); }

void TExPageControl::Resize()
{
    TTabControl::Resize();
    PlaceSheets();
}

void TExPageControl::Relayout()
{
    SetTabHeight(TabHeight());  // the platform measures its tabs again
    PlaceSheets();
}

void TExPageControl::FontChanged()
{
    TTabControl::FontChanged();
    if (FActivePage)
        UpdateTabItem(FActivePage);
    Relayout();
}

void TExPageControl::UpdateMarginImages()
{
    const TTabMargin& m = *FTabMargin;
    if (IsVertical(TabPosition()))
        FDummyImages->SetSize(FDummyImages->Width(), (FImages ? FImages->Height() : 0) + m.RightMargin() + m.TopMargin());
    else
        FDummyImages->SetSize((FImages ? FImages->Width() : 0) + m.RightMargin() + m.LeftMargin(), FDummyImages->Height());
    TTabControl::SetImages(FTabBorder3D ? FImages : FDummyImages.get());
    PlaceSheets();
}

// ---------------------------------------------------------------- properties

void TExPageControl::SetActiveColor(TColor c)
{
    FActiveColor = c;
    update();
}

void TExPageControl::SetActiveColorTo(TColor c)
{
    FActiveColorTo = c;
    update();
}

void TExPageControl::SetCloseGlyph(const TBitmap& b)
{
    FCloseGlyph->Assign(b);
    update();
}

void TExPageControl::SetDefaultTextColor(TColor c)
{
    for (TExTabSheet* s : FPages)
        if (s->FTextColor == FDefaultTextColor)
            s->FTextColor = c;
    FDefaultTextColor = c;
    update();
}

void TExPageControl::SetDefaultTabColor(TColor c)
{
    for (TExTabSheet* s : FPages)
        if (s->FTabColor == FDefaultTabColor)
            s->FTabColor = c;
    FDefaultTabColor = c;
    update();
}

void TExPageControl::SetDefaultTabColorTo(TColor c)
{
    for (TExTabSheet* s : FPages)
        if (s->FTabColorTo == FDefaultTabColorTo)
            s->FTabColorTo = c;
    FDefaultTabColorTo = c;
    update();
}

void TExPageControl::SetImages(TImageList* images)
{
    FImages = images;
    UpdateMarginImages();
    update();
}

void TExPageControl::SetLowerActive(int v)
{
    if (v == FLowerActive)
        return;
    FLowerActive = v;
    update();
}

void TExPageControl::SetRoundEdges(bool v)
{
    if (v == FRoundEdges)
        return;
    FRoundEdges = v;
    update();
}

void TExPageControl::SetTabBackGround(const TBitmap& b)
{
    FTabBackGround->Assign(b);
    update();
}

void TExPageControl::SetTabBackGroundActive(const TBitmap& b)
{
    FTabBackGroundActive->Assign(b);
    update();
}

void TExPageControl::SetTabBackGroundColor(TColor c)
{
    if (c == FTabBackGroundColor)
        return;
    FTabBackGroundColor = c;
    update();
}

void TExPageControl::SetTabBorder3D(bool v)
{
    if (v == FTabBorder3D)
        return;
    FTabBorder3D = v;
    TTabControl::SetImages(v ? FImages : FDummyImages.get());
    SetOwnerDraw(!v);
    UpdateAllTabItems();
    update();
}

void TExPageControl::SetTabBorderColor(TColor c)
{
    FTabBorderColor = c;
    update();
}

void TExPageControl::SetTabMargin(const TTabMargin& m)
{
    FTabMargin->Assign(m);
    UpdateMarginImages();
    update();
}

void TExPageControl::SetTabOverlap(int v)
{
    FTabOverlap = std::clamp(v, 0, 15);
    update();
}

void TExPageControl::SetTabPosition(TTabPosition p)
{
    TTabControl::SetTabPosition(p);
    UpdateMarginImages();
    update();
}

void TExPageControl::SetTabSheet3D(bool v)
{
    if (v == FTabSheet3D)
        return;
    FTabSheet3D = v;
    update();
}

void TExPageControl::SetTabSheetBorderColor(TColor c)
{
    if (c == FTabSheetBorderColor)
        return;
    FTabSheetBorderColor = c;
    update();
}

void TExPageControl::SetTabSplitLine(bool v)
{
    if (v && FTabStyle == tsDotNet)
        throw std::runtime_error("TabSplitLine must be false when TabStyle is tsDotNet");
    FTabSplitLine = v;
    update();
}

void TExPageControl::SetTabStyle(TTabStyle s)
{
    if (s == FTabStyle)
        return;
    FTabStyle = s;
    update();
}

QString TExPageControl::Version() const
{
    const int v = VersionNr();
    return QStringLiteral("%1.%2.%3.%4").arg((v >> 24) & 0xFF).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

// ---------------------------------------------------------------- changes

bool TExPageControl::CanChange()
{
    // A sheet that is disabled, or whose tab may not be chosen, is not shown.
    if (const TExTabSheet* target = SheetOfTab(targetTab_); target && (!target->TabEnable() || !target->isEnabled()))
        return false;
    bool allow = true;
    if (OnCanChange)
        OnCanChange(this, ActivePageIndex(), PageOfTab(targetTab_), allow);
    if (!allow)
        return false;
    return TTabControl::CanChange();
}

void TExPageControl::Change()
{
    SyncActivePageWithTab();
    TTabControl::Change();
    update();
}

void TExPageControl::KeyDown(int& key, TShiftState shift)
{
    if (key == VK_LEFT || key == VK_UP)
        targetTab_ = TabIndex() - 1;
    else if (key == VK_RIGHT || key == VK_DOWN)
        targetTab_ = TabIndex() + 1;
    TTabControl::KeyDown(key, shift);
    targetTab_ = -1;
}

bool TExPageControl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || destroying_)
        return false;
    auto* ke = static_cast<QKeyEvent*>(event);
    if ((ke->key() != Qt::Key_Tab && ke->key() != Qt::Key_Backtab) || !(ke->modifiers() & Qt::ControlModifier))
        return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || (w != this && !isAncestorOf(w)))
        return false;
    const bool backward = ke->key() == Qt::Key_Backtab || (ke->modifiers() & Qt::ShiftModifier);
    RunGuarded([&] { SelectNextPage(!backward); });
    return true;
}

// ---------------------------------------------------------------- mouse

bool TExPageControl::OnActiveCloseButton(int x, int y) const
{
    if (FTabBorder3D || !FActivePage || !FActivePage->ShowClose())
        return false;
    const int tab = FActivePage->TabIndex();
    return tab >= 0 && PtInRect(CloseButtonRect(tab), Point(x, y));
}

void TExPageControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft)
        targetTab_ = IndexOfTabAt(x, y);
    QPointer<TExPageControl> self(this);
    TTabControl::MouseDown(button, shift, x, y);
    if (!self)
        return;
    targetTab_ = -1;
    if (button == mbLeft && OnActiveCloseButton(x, y)) {
        closePressed_ = true;
        update();
    }
    if (button != mbLeft)
        return;
    if (QWidget* client = DockClientAt(x, y)) {
        if (shift & ssDouble)
            ManualFloat(client, UndockedRect(client));
        else
            BeginDrag(client, mapToGlobal(QPoint(x, y)), false);
    }
}

void TExPageControl::MouseMove(TShiftState shift, int x, int y)
{
    TTabControl::MouseMove(shift, x, y);
    if (FTabBorder3D || FTabHoverColor == clNone)
        return;
    const bool onClose = OnActiveCloseButton(x, y);
    if (onClose != FHoverClosedButton) {
        FHoverClosedButton = onClose;
        update();
    }
    if (!FTabBackGround->Empty())
        return;
    const int page = PageOfTab(IndexOfTabAt(x, y));
    if (page != FHoverTab && (FTabHoverColor != clNone || FTabHoverColorTo != clNone)) {
        InvalidateTab(FHoverTab);
        FHoverTab = page;
        InvalidateTab(FHoverTab);
    }
}

void TExPageControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    QPointer<TExPageControl> self(this);
    TTabControl::MouseUp(button, shift, x, y);
    if (!self || button != mbLeft)
        return;
    const bool pressed = closePressed_;
    closePressed_ = false;
    if (pressed) {
        update();
        if (OnActiveCloseButton(x, y))
            CloseActiveSheet();
    }
}

void TExPageControl::MouseLeave()
{
    TTabControl::MouseLeave();
    InvalidateTab(FHoverTab);
    FHoverTab = -1;
    if (FHoverClosedButton) {
        FHoverClosedButton = false;
        update();
    }
}

void TExPageControl::InvalidateTab(int pageIndex)
{
    const TExTabSheet* s = Pages(pageIndex);
    if (!s || s->TabIndex() < 0)
        return;
    TRect r = TabRect(s->TabIndex());
    InflateRect(r, 3, 3);
    update(QRect(r.Left, r.Top, r.Width(), r.Height()));
}

void TExPageControl::CloseActiveSheet()
{
    TExTabSheet* sheet = FActivePage;
    if (!sheet)
        return;
    QPointer<TExPageControl> self(this);
    QPointer<TExTabSheet> closing(sheet);
    QPointer<TExTabSheet> next(FindNextPage(sheet, true, true));
    bool canClose = true;
    if (sheet->OnCanClose)
        sheet->OnCanClose(sheet, canClose);
    if (!self || !closing || !canClose)
        return;
    if (sheet->OnClose)
        sheet->OnClose(sheet);
    if (!self)
        return;
    if (closing && closing->FExPageControl == this) {
        if (next && next->FExPageControl == this)
            SetActivePage(next);
        if (FFreeOnClose) {
            delete closing.data();  // leaves the control on its way out
        } else {
            FClosedTabList.push_back(ClosedTab{sheet->objectName(), sheet});
            sheet->closedIn_ = this;
            sheet->SetExPageControl(nullptr);
        }
    }
    update();
}

// ---------------------------------------------------------------- painting

TRect TExPageControl::CloseButtonRect(int tabIndex) const
{
    const TRect r = TabRect(tabIndex);
    const TExTabSheet* s = SheetOfTab(tabIndex);
    const int la = s && s == FActivePage ? FLowerActive : 0;
    const TTabMargin& m = *FTabMargin;
    int x0 = 0, y0 = 0;
    switch (TabPosition()) {
    case tpLeft:
        x0 = r.Left + m.LeftMargin() + 2 + la;
        y0 = r.Bottom - m.TopMargin() - 13 + (FTabBackGroundActive->Empty() ? 0 : FTabOverlap);
        break;
    case tpRight:
        x0 = r.Left + m.LeftMargin() + 4 - la;
        y0 = r.Top + m.TopMargin() + 2;
        break;
    case tpTop:
    case tpBottom:
        x0 = r.Left + m.LeftMargin() + 2;
        y0 = r.Top + m.TopMargin() + 2 + la;
        break;
    }
    return Bounds(x0, y0, 12, 11);
}

// state: 0 normal, 1 hot, 2 pressed.
void TExPageControl::DrawCloseButton(TCanvas& c, const TRect& box, int state)
{
    if (!FCloseGlyph->Empty()) {
        c.SetClipRect(box);
        CopyTransparent(c, box.Left, box.Top, *FCloseGlyph, FCloseGlyph->TransparentColor());
        c.RemoveClip();
        return;
    }
    c.Pen().SetStyle(psSolid);
    c.Pen().SetWidth(1);
    c.Pen().SetColor(state == 0 ? 0x00808080 : clBlack);
    c.Brush().SetColor(state == 2 ? 0x00C0C0C0 : clWhite);
    c.Rectangle(box);
    c.Pen().SetColor(state == 1 ? 0x00808080 : clBlack);
    const int x0 = box.Left, y0 = box.Top;
    c.MoveTo(x0 + 3, y0 + 7);
    c.LineTo(x0 + 9, y0 + 2);
    c.MoveTo(x0 + 4, y0 + 7);
    c.LineTo(x0 + 8, y0 + 2);
    c.MoveTo(x0 + 3, y0 + 3);
    c.LineTo(x0 + 9, y0 + 8);
    c.MoveTo(x0 + 4, y0 + 3);
    c.LineTo(x0 + 8, y0 + 8);
    c.Brush().SetStyle(bsClear);
}

void TExPageControl::Paint()
{
    TCanvas& c = Canvas();
    // The platform's part: its background and the owner-draw event of
    // every tab; its frame is replaced by the drawing below.
    c.Brush().SetColor(Color());
    c.FillRect(ClientRect());
    if (FTabBorder3D) {
        TTabControl::Paint();
        return;
    }
    if (OnDrawTab)
        for (int i = 0; i < TabCount(); ++i)
            OnDrawTab(this, i, TabRect(i), i == TabIndex());
    DrawTabs();
}

void TExPageControl::DrawTabs()
{
    TCanvas& c = Canvas();
    const int W = width(), H = height();
    const TTabPosition pos = TabPosition();
    const TTabMargin& m = *FTabMargin;
    const TColor parentColor = parentWidget() ? detail::WidgetColor(parentWidget()) : clBtnFace;
    auto line = [&](int x0, int y0, int x1, int y1) {
        c.MoveTo(x0, y0);
        c.LineTo(x1, y1);
    };
    auto pen = [&](TColor color) {
        c.Pen().SetStyle(psSolid);
        c.Pen().SetWidth(1);
        c.Pen().SetColor(color);
    };
    auto fill = [&](const TRect& r, TColor color) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(color);
        c.FillRect(r);
    };

    // 1, 2: the strip extent and the tabs' surroundings.
    c.Brush().SetColor(parentColor);
    c.SetFont(Font());
    int T = H, L = W, B = 0, R = 0;
    if (TabCount() == 0) {
        T = L = B = R = 0;
        switch (pos) {
        case tpTop: B = 2; break;
        case tpBottom: T = H - 2; break;
        case tpLeft: R = 2; break;
        case tpRight: L = W - 2; break;
        }
    }
    for (int i = 0; i < TabCount(); ++i) {
        const TRect r = TabRect(i);
        T = std::min(T, r.Top);
        L = std::min(L, r.Left);
        B = std::max(B, r.Bottom);
        R = std::max(R, r.Right);
        TRect around = r;
        switch (pos) {
        case tpTop: around = Rect(r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom); break;
        case tpBottom: around = Rect(r.Left - 2, r.Top, r.Right + 2, r.Bottom + 2); break;
        case tpLeft: around = Rect(r.Left - 2, r.Top - 2, r.Right, r.Bottom + 2); break;
        case tpRight: around = Rect(r.Left, r.Top - 2, r.Right + 2, r.Bottom + 2); break;
        }
        fill(around, parentColor);
    }

    // 3: the room of the scroll arrows of a single-line strip.
    if (!MultiLine() && pos == tpTop) {
        fill(Rect(W - 35, 0, W, B), Color());
        pen(clWhite);
        line(std::max(W - 35, R), B, W, B);
    } else if (!MultiLine() && pos == tpBottom) {
        fill(Rect(W - 35, T, W, H), Color());
        pen(cl3DDkShadow);
        line(std::max(W - 35, R), T - 1, W, T - 1);
    }

    // 4: the strip.
    switch (pos) {
    case tpLeft: fill(Rect(0, 0, R, H - 1), FTabBackGroundColor); break;
    case tpRight: fill(Rect(L, 0, W, H - 1), FTabBackGroundColor); break;
    case tpTop: fill(Rect(0, 0, W, B), FTabBackGroundColor); break;
    case tpBottom: fill(Rect(0, T, W, H), FTabBackGroundColor); break;
    }

    // 5: the band between the sheet and its frame in the sheet's colours.
    bool band = false;
    TExTabSheet* active = FActivePage;
    if (active && (active->ColorTo() != clNone || ColorToRGB(active->Color()) != ColorToRGB(Color()))) {
        band = true;
        TRect area;
        switch (pos) {
        case tpLeft: area = Rect(R, 0, W, H); break;
        case tpRight: area = Rect(0, 0, L, H); break;
        case tpTop: area = Rect(0, B, W, H); break;
        case tpBottom: area = Rect(0, 0, W, T); break;
        }
        const int s3 = FTabSheet3D ? 1 : 0;
        const int l = pos == tpLeft ? s3 : 0, t = pos == tpTop ? s3 : 0, rr = pos == tpRight ? s3 : 0,
                  b = pos == tpBottom ? s3 : 0;
        TRegion clip(Rect(area.Left + 1 + l, area.Top, area.Left + 4 + l, area.Bottom));
        clip = clip.United(TRegion(Rect(area.Left, area.Top + 1 + t, area.Right, area.Top + 4 + t)));
        clip = clip.United(TRegion(Rect(area.Right - 4 - rr, area.Top, area.Right - 1 - rr, area.Bottom)));
        clip = clip.United(TRegion(Rect(area.Left, area.Bottom - 4 - b, area.Right, area.Bottom - 1 - b)));
        c.SetClipRegion(clip);
        if (active->ColorTo() == clNone) {
            pen(active->Color());
            c.Brush().SetStyle(bsSolid);
            c.Brush().SetColor(active->Color());
            c.Rectangle(ClientRect());
        } else {
            FillSteppedGradient(c, active->Color(), active->ColorTo(), false, ClientRect(), 16);
            fill(Rect(area.Left, area.Top + 1 + t, area.Right, area.Top + 4 + t), active->Color());
        }
        c.RemoveClip();
    }

    // 6: the sheet frame.
    if (!FTabSheet3D) {
        pen(FTabSheetBorderColor);
        switch (pos) {
        case tpLeft:
            line(R, 0, R, H);
            line(R, H - 2, W - 2, H - 2);
            line(W - 2, H, W - 2, 0);
            line(W - 2, 0, R, 0);
            pen(Color());
            line(R, H - 1, W - 1, H - 1);
            line(W - 1, H - 1, W - 1, -1);
            break;
        case tpTop:
            line(0, B, 0, H);
            line(0, H - 1, W, H - 1);
            line(W - 1, H - 2, W - 1, B);
            line(0, B, W, B);
            if (!band) {
                pen(Color());
                line(1, H - 2, W - 1, H - 2);
                line(W - 2, H - 2, W - 2, B);
            }
            break;
        case tpBottom:
            line(0, 0, 0, T);
            line(0, T - 1, W, T - 1);
            line(W - 1, T - 1, W - 1, 0);
            line(0, 0, W, 0);
            if (!band) {
                pen(Color());
                line(1, T - 2, W - 1, T - 2);
                line(W - 2, T - 2, W - 2, 0);
            }
            break;
        case tpRight:
            line(0, 0, 0, H);
            line(0, H, L, H);
            line(L - 1, H, L - 1, 0);
            line(L - 1, 0, 0, 0);
            pen(Color());
            line(0, H - 1, L, H - 1);
            if (!band)
                line(L - 2, H - 3, L - 2, 0);
            break;
        }
    } else {
        // The platform's raised frame round the sheets.
        TRect page = DisplayRect();
        InflateRect(page, 2, 2);
        pen(clBtnHighlight);
        line(page.Left, page.Bottom - 1, page.Left, page.Top);
        line(page.Left, page.Top, page.Right - 1, page.Top);
        pen(clBtnShadow);
        line(page.Right - 1, page.Top, page.Right - 1, page.Bottom - 1);
        line(page.Right - 1, page.Bottom - 1, page.Left, page.Bottom - 1);
    }

    // 7: rounded far corners.
    if (FRoundEdges && !FTabSheet3D) {
        auto corners = [&](int ax, int ay, int dx, int dy) {
            // (ax, ay) is the frame corner; dx, dy point into the sheet.
            pen(Color());
            line(ax + 3 * dx, ay, ax, ay);
            line(ax, ay, ax, ay + 4 * dy);
            pen(FTabSheetBorderColor);
            line(ax + 3 * dx, ay + dy, ax + dx, ay + dy);
            line(ax + dx, ay + 2 * dy, ax + dx, ay + 4 * dy);
        };
        switch (pos) {
        case tpLeft:
            corners(W - 2, H - 2, -1, -1);
            corners(W - 2, 0, -1, 1);
            break;
        case tpRight:
            corners(0, H - 1, 1, -1);
            corners(0, 0, 1, 1);
            break;
        case tpTop:
            corners(0, H - 1, 1, -1);
            corners(W - 1, H - 1, -1, -1);
            break;
        case tpBottom:
            corners(0, 0, 1, 1);
            corners(W - 1, 0, -1, 1);
            break;
        }
    }

    // 8: the split line that opens the sheet toward the tabs.
    const bool splitLine = !FTabSheet3D && !FTabSplitLine && PageCount() > 0;
    if (splitLine) {
        TColor color = Color();
        if (band && active)
            color = pos == tpBottom && active->ColorTo() != clNone ? active->ColorTo() : active->Color();
        pen(color);
        switch (pos) {
        case tpLeft: {
            const int extra = FTabStyle == tsClassic && !FTabBackGround->Empty() ? 2 : 0;
            line(R, 2, R, B + FTabOverlap + extra);
            break;
        }
        case tpTop: line(2, B, R + FTabOverlap, B); break;
        case tpBottom: line(2, T - 1, R + FTabOverlap, T - 1); break;
        case tpRight: line(L - 1, B + FTabOverlap - 1, L - 1, 2); break;
        }
    }

    // 9: the tabs, last page first; an active tab with its own background
    // image comes last, over the others.
    const bool deferActive = !FTabBackGround->Empty() && !FTabBackGroundActive->Empty();
    auto drawTab = [&](TExTabSheet* sheet, bool deferred) {
        const int ti = sheet->TabIndex();
        const TRect r = TabRect(ti);
        const bool isActive = sheet == active;
        const int page = sheet->PageIndex();
        TColor c1 = sheet->TabColor(), c2 = sheet->TabColorTo();
        TGradientDirection dir = sheet->TabGradientDirection();
        if (isActive && FActiveColor != clNone) {
            c1 = FActiveColor;
            c2 = FActiveColorTo;
        } else if (page == FHoverTab && (FTabHoverColor != clNone || FTabHoverColorTo != clNone)) {
            c1 = FTabHoverColor;
            c2 = FTabHoverColorTo;
            dir = sheet->HoverGradientDirection();
        }

        TRect outline = r;
        if (FTabBackGround->Empty()) {
            TRect f = r;
            switch (pos) {
            case tpLeft: f.Left -= 1; break;
            case tpTop: f.Top -= 1; break;
            default: break;
            }
            outline = f;
            if (c2 != clNone) {
                TRect g = f;
                switch (pos) {
                case tpLeft:
                    g.Right -= 1;
                    if (dir == gdVertical)
                        g.Bottom -= 1;
                    break;
                case tpTop:
                    g.Bottom -= 1;
                    if (dir == gdHorizontal)
                        g.Right -= 1;
                    break;
                case tpBottom: g.Bottom -= 1; break;
                case tpRight: g.Right -= 1; break;
                }
                FillSteppedGradient(c, c1 == clNone ? c2 : c1, c2, dir == gdHorizontal, g, 16);
            } else if (c1 != clNone) {
                fill(f, c1);
            }
        } else {
            const TBitmap& img = isActive && deferred ? *FTabBackGroundActive : *FTabBackGround;
            TRect d = r;
            if (deferred) {
                const int out = std::clamp(1 + FLowerActive, 1, 3);
                switch (pos) {
                case tpLeft: OffsetRect(d, -out, 0); break;
                case tpRight: OffsetRect(d, out, 0); break;
                case tpTop: OffsetRect(d, 0, -out); break;
                case tpBottom: OffsetRect(d, 0, out); break;
                }
            }
            if (IsVertical(pos))
                DrawThreeSliceVertical(c, img, Rect(d.Left, d.Top, d.Right, d.Bottom + FTabOverlap + 3));
            else
                DrawThreeSliceHorizontal(c, img, Rect(d.Left, d.Top, d.Right + FTabOverlap + 2, d.Bottom));
        }

        // Outline.
        if (FTabBackGround->Empty()) {
            const TRect o = outline;
            pen(FTabBorderColor);
            if (isActive) {
                switch (pos) {
                case tpLeft:
                    c.MoveTo(o.Right, o.Top);
                    c.LineTo(o.Left, o.Top);
                    c.LineTo(o.Left, o.Bottom);
                    c.LineTo(o.Right, o.Bottom);
                    break;
                case tpRight:
                    c.MoveTo(o.Left - 1, o.Top);
                    c.LineTo(o.Right - 1, o.Top);
                    c.LineTo(o.Right - 1, o.Bottom);
                    c.LineTo(o.Left - 1, o.Bottom);
                    break;
                case tpTop:
                    c.MoveTo(o.Left, o.Bottom);
                    c.LineTo(o.Left, o.Top);
                    c.LineTo(o.Right, o.Top);
                    c.LineTo(o.Right, o.Bottom);
                    break;
                case tpBottom:
                    c.MoveTo(o.Left, o.Top - 1);
                    c.LineTo(o.Left, o.Bottom - 1);
                    c.LineTo(o.Right, o.Bottom - 1);
                    c.LineTo(o.Right, o.Top - 1);
                    break;
                }
            } else if (FTabStyle == tsDotNet) {
                switch (pos) {
                case tpLeft: line(o.Right, o.Top, o.Right, o.Bottom); break;
                case tpRight: line(o.Left - 1, o.Top, o.Left - 1, o.Bottom); break;
                case tpTop: line(o.Left, o.Bottom, o.Right, o.Bottom); break;
                case tpBottom: line(o.Left, o.Top - 1, o.Right, o.Top - 1); break;
                }
                const bool atStripEnd = IsVertical(pos) ? o.Bottom >= B - 3 : o.Right >= R - 3;
                const bool nextActive = ti + 1 < TabCount() && SheetOfTab(ti + 1) == active;
                if (!nextActive || atStripEnd) {
                    pen(FActiveColor);
                    if (IsVertical(pos)) {
                        line(o.Left + 2, o.Bottom - 2, o.Right - 2, o.Bottom - 2);
                        line(o.Left + 2, o.Bottom - 3, o.Right - 2, o.Bottom - 3);
                    } else {
                        line(o.Right - 2, o.Bottom - 3, o.Right - 2, o.Top + 2);
                        line(o.Right - 3, o.Bottom - 3, o.Right - 3, o.Top + 2);
                    }
                }
            } else {
                TRect box = o;
                const bool inStrip = IsVertical(pos) ? o.Bottom <= B : o.Right <= R;
                const int longer = splitLine && inStrip ? 1 : 0;
                switch (pos) {
                case tpLeft:
                    box.Right += longer;
                    if (box.Bottom >= H - 5)
                        box.Bottom -= 1;
                    break;
                case tpRight:
                    box.Left -= longer;
                    if (box.Bottom >= H - 5)
                        box.Bottom -= 1;
                    break;
                case tpTop:
                    box.Bottom += longer;
                    if (box.Right >= W - 5)
                        box.Right -= 1;
                    break;
                case tpBottom:
                    box.Top -= longer;
                    if (box.Right >= W - 5)
                        box.Right -= 1;
                    break;
                }
                c.Brush().SetStyle(bsClear);
                c.Rectangle(box);
            }
        }

        // Contents.
        const int la = isActive ? FLowerActive : 0;
        const bool close = sheet->ShowClose();
        const bool bgImage = !FTabBackGround->Empty();
        const bool bgActive = isActive && !FTabBackGroundActive->Empty();
        int x = 0, y = 0;
        switch (pos) {
        case tpLeft:
            x = r.Left + 1 + la;
            y = r.Bottom - (close ? 17 : 4);
            if (bgImage) {
                x -= 2;
                y -= 3;
            }
            x += m.LeftMargin();
            y -= m.TopMargin();
            if (bgActive)
                y += FTabOverlap + 3;
            break;
        case tpRight:
            x = r.Right - 1 - la;
            y = r.Top + (close ? 17 : 4);
            if (bgImage) {
                x -= r.Width() / 3;
                y -= 3;
            }
            y += m.TopMargin();
            break;
        case tpTop:
        case tpBottom:
            x = r.Left + (close ? 18 : 4);
            y = pos == tpTop ? r.Top + 1 + la : r.Top + la + 1;
            if (bgImage && pos == tpBottom)
                y += 3;
            x += m.LeftMargin();
            y += m.TopMargin();
            break;
        }

        TFont font = isActive ? *FActiveFont : Font();
        if (IsVertical(pos)) {
            font.SetOrientation(pos == tpLeft ? 900 : -900);
            font.SetColor(sheet->TextColor());
        } else if (!((isActive && pos == tpTop) || pos == tpBottom)) {
            font.SetColor(sheet->TextColor());
        } else if (pos == tpBottom && !isActive) {
            font = *FActiveFont;
        }
        if (!sheet->TabEnable())
            font.SetColor(0x00808080);

        if (close) {
            int state = 0;
            if (isActive && closePressed_)
                state = 2;
            else if (isActive && FHoverClosedButton)
                state = 1;
            DrawCloseButton(c, CloseButtonRect(ti), state);
        }
        if (FImages && sheet->ImageIndex() >= 0) {
            switch (pos) {
            case tpLeft:
                FImages->Draw(c, x, y - 14, sheet->ImageIndex());
                y -= FImages->Height();
                break;
            case tpRight:
                FImages->Draw(c, x - 14, y, sheet->ImageIndex());
                y += FImages->Height();
                break;
            default:
                FImages->Draw(c, x - 2, y, sheet->ImageIndex());
                x += FImages->Width();
                break;
            }
        }
        c.SetFont(font);
        c.Brush().SetStyle(bsClear);
        if (IsVertical(pos)) {
            c.TextOut(x, y, sheet->Caption());
        } else {
            TRect tr = Rect(x, y - (deferred && pos == tpBottom ? 2 : 0), r.Right, r.Bottom);
            c.DrawText(sheet->Caption(), tr, DT_SINGLELINE | DT_NOCLIP);
        }
        c.SetFont(Font());

        if (FShowFocus && isActive && hasFocus()) {
            TRect fr = Rect(r.Left + 5, r.Top + 3, r.Right - 5, r.Bottom - 3);
            if (deferred) {
                if (IsVertical(pos))
                    fr.Bottom -= FTabOverlap;
                else
                    fr.Right -= FTabOverlap;
            }
            c.Pen().SetStyle(psDot);
            c.Pen().SetColor(clBlack);
            c.Brush().SetStyle(bsClear);
            c.Rectangle(fr);
            c.Pen().SetStyle(psSolid);
        }
    };

    for (int p = PageCount() - 1; p >= 0; --p) {
        TExTabSheet* sheet = FPages[static_cast<size_t>(p)];
        if (!sheet->FTabShowing || (deferActive && sheet == active))
            continue;
        drawTab(sheet, false);
    }
    if (deferActive && active && active->FTabShowing)
        drawTab(active, true);

    // 10: the outline of the tab under the mouse.
    if (const TExTabSheet* hover = Pages(FHoverTab);
        hover && hover != active && hover->FTabShowing && FTabHoverBorder != clNone) {
        const TRect r = TabRect(hover->TabIndex());
        pen(FTabHoverBorder);
        switch (pos) {
        case tpLeft: {
            const int bottom = r.Bottom >= H - 5 ? r.Bottom - 1 : r.Bottom;
            c.MoveTo(r.Right, r.Top);
            c.LineTo(r.Left, r.Top);
            c.LineTo(r.Left, bottom);
            c.LineTo(r.Right, bottom);
            break;
        }
        case tpRight: {
            const int bottom = r.Bottom >= H - 5 ? r.Bottom - 1 : r.Bottom;
            c.MoveTo(r.Left, r.Top);
            c.LineTo(r.Right - 1, r.Top);
            c.LineTo(r.Right - 1, bottom);
            c.LineTo(r.Left, bottom);
            break;
        }
        case tpTop: {
            const int right = r.Right >= W - 5 ? r.Right - 1 : r.Right;
            c.MoveTo(r.Left, r.Bottom);
            c.LineTo(r.Left, r.Top);
            c.LineTo(right, r.Top);
            c.LineTo(right, r.Bottom);
            break;
        }
        case tpBottom: {
            const int right = r.Right >= W - 5 ? r.Right - 1 : r.Right;
            c.MoveTo(r.Left, r.Top);
            c.LineTo(r.Left, r.Bottom - 1);
            c.LineTo(right, r.Bottom - 1);
            c.LineTo(right, r.Top);
            break;
        }
        }
    }
}

// ---------------------------------------------------------------- docking

TExTabSheet* TExPageControl::PageOfDockClient(const QWidget* client) const
{
    if (!client || HostDockSite(client) != this)
        return nullptr;
    for (TExTabSheet* s : FPages)
        if (client->parentWidget() == s)
            return s;
    return nullptr;
}

QWidget* TExPageControl::DockClientAt(int x, int y) const
{
    const TExTabSheet* sheet = SheetOfTab(IndexOfTabAt(x, y));
    if (!sheet)
        return nullptr;
    for (QObject* child : sheet->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && HostDockSite(w) == this)
            return w;
    return nullptr;
}

void TExPageControl::GetSiteInfo(QWidget* client, TRect& influenceRect, const TPoint& mousePos, bool& canDock)
{
    canDock = PageOfDockClient(client) == nullptr;
    DockingSite::GetSiteInfo(client, influenceRect, mousePos, canDock);
}

void TExPageControl::DockOver(TDragDockObject& source, int x, int y, TDragState state, bool& accept)
{
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    source.DockRect = Bounds(origin.x(), origin.y(), width(), height());
    DockingSite::DockOver(source, x, y, state, accept);
}

void TExPageControl::DockClient(TDragDockObject& source, const TPoint&)
{
    QWidget* control = source.Control;
    auto sheet = std::make_unique<TExTabSheet>();
    sheet->SetCaption(DockText(control));
    sheet->SetExPageControl(this);  // now a child of this control
    TExTabSheet* page = sheet.release();
    FNewDockSheet = page;
    struct Forget
    {
        TExTabSheet*& field;
        ~Forget() { field = nullptr; }
    } forget{FNewDockSheet};
    Dock(control);
    const bool visible = detail::IsVisibleFlag(control);
    page->SetTabVisible(visible);
    if (visible)
        SetActivePage(page);
    detail::SetAlign(control, alClient);
}

void TExPageControl::AddDockClient(QWidget* client)
{
    if (!FNewDockSheet) {
        DockingSite::AddDockClient(client);
        return;
    }
    client->setParent(FNewDockSheet);
    detail::Realign(FNewDockSheet);
}

void TExPageControl::UnDockClient(QWidget*, QWidget* client)
{
    FUndockingPage = PageOfDockClient(client);
    detail::SetAlign(client, alNone);
}

void TExPageControl::RemoveDockClient(QWidget*)
{
    if (!FUndockingPage || destroying_)
        return;
    QPointer<TExPageControl> self(this);
    QPointer<TExTabSheet> sheet(FUndockingPage);
    // Only the page that shows hands over to the next one; undocking another
    // page leaves the shown page as it is.
    if (sheet == FActivePage)
        SelectNextPage(true);
    if (!self)
        return;
    FUndockingPage = nullptr;
    delete sheet.data();
}

void TExPageControl::DockClientChanged(QWidget* client, TDockChange change)
{
    TExTabSheet* sheet = PageOfDockClient(client);
    if (!sheet)
        return;
    if (change == TDockChange::TextChanged) {
        const QString text = DockText(client);
        qsizetype end = 0;
        while (end < text.size() && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        sheet->SetCaption(text.left(end));
    } else {
        sheet->SetTabVisible(detail::IsVisibleFlag(client));
    }
}
