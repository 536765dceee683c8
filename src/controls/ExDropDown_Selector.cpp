// The item selector of the list-type drop-downs.
#include "controls/ExDropDown.h"

#include "widgets/EsgHTMLE.h"

#include <QScrollBar>
#include <QToolTip>

#include <stdexcept>

using namespace platform;

// ---------------------------------------------------------------------------
// Items and their look
// ---------------------------------------------------------------------------

void TSelectorItem::Changed()
{
    if (collection_ && collection_->OnChange)
        collection_->OnChange();
}

void TSelectorItem::SetCaption(const QString& c)
{
    if (c != FCaption) {
        FCaption = c;
        Changed();
    }
}

void TSelectorItem::SetColor(TColor c)
{
    if (c != FColor) {
        FColor = c;
        Changed();
    }
}

void TSelectorItem::SetImageIndex(int i)
{
    if (i != FImageIndex) {
        FImageIndex = i;
        Changed();
    }
}

void TSelectorItem::Assign(const TSelectorItem& other)
{
    SetCaption(other.FCaption);
    SetColor(other.FColor);
    SetImageIndex(other.FImageIndex);
    FImage.Assign(other.FImage);
    FHint = other.FHint;
}

TSelectorItem* TSelectorItems::Add()
{
    items_.push_back(std::make_unique<TSelectorItem>(this));
    if (OnChange)
        OnChange();
    return items_.back().get();
}

void TSelectorItems::Clear()
{
    items_.clear();
    if (OnChange)
        OnChange();
}

TItemAppearance::TItemAppearance()
{
    FFont.SetName(QStringLiteral("Tahoma"));
    SetColorStyle(scOffice2007);
}

void TItemAppearance::SetColorStyle(TSelectionColorStyle style)
{
    if (style == FColorStyle)
        return;
    FColorStyle = style;
    struct Set
    {
        TColor Hot, HotTo, MirrorHot, MirrorHotTo, Top, Bottom, Border, Edge, Sel, SelTo, MirrorSel, MirrorSelTo;
    };
    static const Set sets[3] = {
        {0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC, 0xF4FEFF, 0xCAF8FF, 0x8DD7D3, 0xC3D9DF, 0xA6FFFB, 0x04B9F4, 0x15C1FB,
         0x68E3F9},
        {0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDFBF6, 0xFDF5E7, 0xFDDE99, 0xFCEDCB, 0xFAEEDE, 0xFAE3B4, clNone, clNone},
        {0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xFDF4EB, 0xFDEADB, 0xCEA27D, 0xE0C5AE, 0xF9D8B9, 0xFBCAA2, clNone, clNone},
    };
    if (style == scCustom)
        return;
    const Set& s = sets[static_cast<int>(style) - 1];
    ColorHot = s.Hot;
    ColorHotTo = s.HotTo;
    ColorMirrorHot = s.MirrorHot;
    ColorMirrorHotTo = s.MirrorHotTo;
    BorderColorTop = s.Top;
    BorderColorBottom = s.Bottom;
    BorderColor = s.Border;
    EdgeColor = s.Edge;
    ColorSelected = s.Sel;
    ColorSelectedTo = s.SelTo;
    ColorMirrorSelected = s.MirrorSel;
    ColorMirrorSelectedTo = s.MirrorSelTo;
}

void TItemAppearance::Assign(const TItemAppearance& o)
{
    ColorHot = o.ColorHot;
    ColorHotTo = o.ColorHotTo;
    ColorMirrorHot = o.ColorMirrorHot;
    ColorMirrorHotTo = o.ColorMirrorHotTo;
    BorderColorTop = o.BorderColorTop;
    BorderColorBottom = o.BorderColorBottom;
    BorderColor = o.BorderColor;
    EdgeColor = o.EdgeColor;
    ColorSelected = o.ColorSelected;
    ColorSelectedTo = o.ColorSelectedTo;
    ColorMirrorSelected = o.ColorMirrorSelected;
    ColorMirrorSelectedTo = o.ColorMirrorSelectedTo;
    FFont.Assign(o.FFont);
    SetColorStyle(o.FColorStyle);
    ColorSelectedText = o.ColorSelectedText;
    ColorHotText = o.ColorHotText;
    BorderColorHot = o.BorderColorHot;
    BorderColorSelected = o.BorderColorSelected;
}

// ---------------------------------------------------------------------------
// The panel
// ---------------------------------------------------------------------------

TCustomItemSelector::TCustomItemSelector(QWidget* owner)
    : TCustomControl(owner), FExItemSelector(dynamic_cast<TExCustomItemSelector*>(owner))
{
    if (!FExItemSelector)
        throw std::runtime_error("Invalid parent");
    setFocusPolicy(Qt::NoFocus);
}

int TCustomItemSelector::Count() const
{
    return FExItemSelector->Items().Count();
}

TSelectorItem* TCustomItemSelector::Item(int i) const
{
    return FExItemSelector->Items().Items(i);
}

void TCustomItemSelector::PaintItemNow(int index)
{
    // Painted at once: the panel repaints the item's rectangle.
    const TRect r = GetItemRect(index);
    if (r.Left >= 0)
        repaint(r.Left, r.Top, r.Width(), r.Height());
}

void TCustomItemSelector::SetItemIndex(int value)
{
    if (FItemIndex >= 0 && FItemIndex != value) {
        const int old = FItemIndex;
        FItemIndex = -1;
        InvalidateItem(old);
    }
    FItemIndex = value;
    if (value >= 0 && value < Count())
        PaintItemNow(value);
    if (OnItemSelect)
        OnItemSelect(this);
}

void TCustomItemSelector::SetItemHot(int index)
{
    if (index == FItemHot)
        return;
    if (FItemHot >= 0) {
        const int old = FItemHot;
        FItemHot = -1;
        InvalidateItem(old);
    }
    FItemHot = index;
    if (index >= 0)
        PaintItemNow(index);
}

void TCustomItemSelector::SelectFirst()
{
    if (Count() > 0)
        SetItemIndex(0);
}

void TCustomItemSelector::SelectLast()
{
    if (Count() > 0)
        SetItemIndex(Count() - 1);
}

void TCustomItemSelector::SelectNext()
{
    if (Count() == 0)
        return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex < Count() - 1)
        SetItemIndex(FItemIndex + 1);
}

void TCustomItemSelector::SelectPrevious()
{
    if (Count() == 0)
        return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex > 0)
        SetItemIndex(FItemIndex - 1);
}

void TCustomItemSelector::HotNext()
{
    if (Count() == 0)
        return;
    if (FItemHot < 0)
        SetItemHot(0);
    else if (FItemHot < Count() - 1)
        SetItemHot(FItemHot + 1);
}

void TCustomItemSelector::HotPrevious()
{
    if (Count() == 0)
        return;
    if (FItemHot < 0)
        SetItemHot(0);
    else if (FItemHot > 0)
        SetItemHot(FItemHot - 1);
}

bool TCustomItemSelector::LookupItem(const QString& s)
{
    if (s.isEmpty())
        return false;
    for (int i = 0; i < Count(); ++i) {
        const QString caption = MatchCaseText(StripHTMLTags(Item(i)->Caption()).trimmed(), false);
        if (caption.startsWith(s)) {
            SetItemIndex(i);
            return true;
        }
    }
    return false;
}

TRect TCustomItemSelector::GetItemRect(int index) const
{
    if (index < 0 || index >= Count())
        return Rect(-1, -1, -1, -1);
    return Item(index)->FRect;
}

int TCustomItemSelector::ItemAtPos(int x, int y) const
{
    for (int i = 0; i < Count(); ++i) {
        const TRect& r = Item(i)->FRect;
        if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom)
            return i;
    }
    return -1;
}

void TCustomItemSelector::GetInnerRect(TRect& r) const
{
    r = Rect(FOffSetX, FOffSetY, width() - FOffSetX, height() - FOffSetY);
}

void TCustomItemSelector::InvalidateItem(int index)
{
    const TRect r = GetItemRect(index);
    if (r.Left >= 0 || r.Right >= 0)
        update(r.Left, r.Top, r.Width(), r.Height());
}

void TCustomItemSelector::GetItemSize(TSize& size)
{
    TExCustomItemSelector& s = *FExItemSelector;
    if (s.OnItemSize) {
        s.OnItemSize(this, size);
        return;
    }
    int boxW = 0, boxH = 0;
    if (s.SelectorType() == stColor) {
        boxW = s.ColorBoxWidth();
        boxH = s.ColorBoxHeight();
    }
    TBitmap measure(1, 1);
    measure.Canvas().SetFont(s.ItemAppearance().Font());
    int textW = 0, textH = 0;
    for (int i = 0; i < Count(); ++i) {
        const TSelectorItem* item = Item(i);
        if (s.SelectorType() == stImage) {
            if (!item->Image().Empty()) {
                boxW = std::max(boxW, item->Image().Width());
                boxH = std::max(boxH, item->Image().Height());
            } else if (s.Images() && item->ImageIndex() >= 0) {
                boxW = std::max(boxW, s.Images()->Width());
                boxH = std::max(boxH, s.Images()->Height());
            }
        }
        const TSize t = DrawHTMLCaption(measure.Canvas(), item->Caption(), Rect(0, 0, 1000, 500), s.Images(), false,
                                        this);
        textW = std::max(textW, t.cx);
        textH = std::max(textH, t.cy);
    }
    if (textW > 0)
        textW += 4;
    if (s.ItemLayout() == ilCaptionLeft || s.ItemLayout() == ilCaptionRight) {
        size.cx = 2 * FItemOffSetX + (boxW > 0 ? boxW : 0) + (boxW > 0 && textW > 0 ? FCaptionGap : 0) + textW;
        size.cy = std::max(textH, boxH) + 2 * FItemOffSetY;
    } else {
        size.cx = std::max(textW, boxW) + 2 * FItemOffSetX;
        size.cy = 2 * FItemOffSetY + (boxH > 0 ? boxH : 0) + (boxH > 0 && textH >= 1 ? FCaptionGap : 0) + textH;
    }
}

void TCustomItemSelector::UpdatePanelSize()
{
    if (Count() == 0) {
        resize(100, 50);
        return;
    }
    FItemHot = -1;
    TSize size{0, 0};
    GetItemSize(size);
    const int w = size.cx, h = size.cy;
    TRect inner;
    GetInnerRect(inner);
    int x = inner.Left, y = inner.Top, column = 0, widest = 0;
    const int columns = FExItemSelector->Columns();
    for (int i = 0; i < Count(); ++i) {
        Item(i)->FRect = Rect(x, y, x + w, y + h);
        ++column;
        if (i == Count() - 1)
            break;
        if (column < columns) {
            x += w;
        } else {
            widest = std::max(widest, x);
            x = inner.Left;
            y += h;
            column = 0;
        }
    }
    resize(std::max(widest, x) + w + inner.Left, y + h + inner.Top);
    update();
}

void TCustomItemSelector::Paint()
{
    TCanvas& c = Canvas();
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(FExItemSelector->Color());
    c.FillRect(ClientRect());
    for (int i = 0; i < Count(); ++i)
        DrawItem(i, c);
}

void TCustomItemSelector::DrawItem(int index, TCanvas& canvas)
{
    if (index < 0 || index >= Count())
        return;
    const TSelectorItem* item = Item(index);
    const TRect r = GetItemRect(index);
    if (r.Left < 0 && r.Right < 0)
        return;
    TExCustomItemSelector& s = *FExItemSelector;
    TItemAppearance& a = s.ItemAppearance();
    TColor border = a.BorderColor, top = a.BorderColorTop, bottom = a.BorderColorBottom, edge = a.EdgeColor;
    TColor from = clNone, to = clNone, mirror = clNone, mirrorTo = clNone;
    const bool hot = index == FItemHot, selected = index == FItemIndex;
    if (hot) {
        from = a.ColorHot;
        to = a.ColorHotTo;
        mirror = a.ColorMirrorHot;
        mirrorTo = a.ColorMirrorHotTo;
        if (a.BorderColorHot != clNone) {
            border = a.BorderColorHot;
            top = bottom = edge = clNone;
        }
    }
    if (selected) {
        from = a.ColorSelected;
        to = a.ColorSelectedTo;
        mirror = a.ColorMirrorSelected;
        mirrorTo = a.ColorMirrorSelectedTo;
        if (a.BorderColorSelected != clNone) {
            border = a.BorderColorSelected;
            top = bottom = edge = clNone;
        }
    }
    const TColor panelColor = s.Color();
    if (!hot && !selected) {
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        canvas.Brush().SetColor(panelColor);
        canvas.FillRect(r);
    } else if (top == clNone) {
        DrawGradientBox(&canvas, r, from, to, border, 1, true);
    } else {
        DrawRoundFrame(canvas, from, to, 0, r, panelColor, edge, border, bottom, top, mirrorTo, mirror);
    }
    if (s.OnDrawItem) {
        s.OnDrawItem(this, canvas, r, index);
        return;
    }
    int w = 0, h = 0;
    const bool picture = s.SelectorType() == stImage && !item->Image().Empty();
    const bool listImage = s.SelectorType() == stImage && !picture && s.Images() && item->ImageIndex() >= 0;
    if (s.SelectorType() == stColor) {
        w = s.ColorBoxWidth();
        h = s.ColorBoxHeight();
    } else if (picture) {
        w = item->Image().Width();
        h = item->Image().Height();
    } else if (listImage) {
        w = s.Images()->Width();
        h = s.Images()->Height();
    }
    TRect c = Rect(r.Left + FItemOffSetX, r.Top + FItemOffSetY, r.Right - FItemOffSetX, r.Bottom - FItemOffSetY);
    TRect b = c;
    TFont font = a.Font();
    if (hot)
        font.SetColor(a.ColorHotText);
    if (selected)
        font.SetColor(a.ColorSelectedText);
    canvas.SetFont(font);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    auto drawBox = [&](int x, int y) {
        if (s.SelectorType() == stColor) {
            canvas.Brush().SetStyle(TBrushStyle::bsSolid);
            canvas.Pen().SetColor(clBlack);
            canvas.Pen().SetWidth(1);
            canvas.Brush().SetColor(item->Color());
            canvas.Rectangle(x, y, x + w, y + h);
            canvas.Brush().SetStyle(TBrushStyle::bsClear);
            return true;
        }
        if (picture) {
            canvas.Draw(x, y, item->Image());
            return true;
        }
        if (listImage) {
            s.Images()->Draw(canvas, x, y, item->ImageIndex(), true);
            return true;
        }
        return false;
    };
    const QString caption = item->Caption();
    auto paintCaption = [&](TRect area, bool centre) {
        const TSize t = DrawHTMLCaption(canvas, caption, area, s.Images(), false, this);
        if (centre && t.cy < area.Height())
            area.Top += (area.Height() - t.cy) / 2;
        DrawHTMLCaption(canvas, caption, area, s.Images(), true, this);
        return t;
    };
    const int centredY = b.Top + (b.Bottom - b.Top - h) / 2;
    switch (s.ItemLayout()) {
    case ilCaptionLeft:
        if (!caption.isEmpty()) {
            c.Right -= w;
            const TSize t = paintCaption(c, true);
            b.Left = c.Left + t.cx + FCaptionGap;
        }
        drawBox(b.Left, s.SelectorType() == stColor ? b.Top : centredY);
        break;
    case ilCaptionRight:
        if (drawBox(b.Left, s.SelectorType() == stColor ? b.Top : centredY))
            c.Left = b.Left + w + FCaptionGap;
        if (!caption.isEmpty())
            paintCaption(c, true);
        break;
    case ilCaptionTop:
        if (!caption.isEmpty()) {
            c.Bottom -= h;
            const TSize t = paintCaption(c, false);
            b.Top = c.Top + t.cy + FCaptionGap;
        } else {
            b.Top += (b.Bottom - b.Top - h) / 2;
        }
        b.Left += (b.Right - b.Left - w) / 2;
        drawBox(b.Left, b.Top);
        break;
    case ilCaptionBottom:
        if (caption.isEmpty())
            b.Top += (b.Bottom - b.Top - h) / 2;
        b.Left += (b.Right - b.Left - w) / 2;
        if (drawBox(b.Left, b.Top))
            c.Top = b.Top + h + FCaptionGap;
        if (!caption.isEmpty())
            paintCaption(c, false);
        break;
    }
}

void TCustomItemSelector::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    const int i = ItemAtPos(x, y);
    if (i >= 0)
        SetItemIndex(i);
}

void TCustomItemSelector::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    const int i = ItemAtPos(x, y);
    if (i >= 0 && i != FItemHot) {
        SetItemHot(i);
        setToolTip(Item(i)->Hint());
        QToolTip::hideText();
    } else if (i < 0) {
        SetItemHot(-1);
    }
}

void TCustomItemSelector::MouseLeave()
{
    TCustomControl::MouseLeave();
    SetItemHot(-1);
}

// ---------------------------------------------------------------------------
// The scrolling selector
// ---------------------------------------------------------------------------

TExCustomItemSelector::TExCustomItemSelector(QWidget* parent) : TControlOf<QScrollArea>(parent)
{
    FItems = std::make_unique<TSelectorItems>();
    FItems->OnChange = [this] { UpdateSelectorPanel(); };
    FItemAppearance = std::make_unique<TItemAppearance>();
    FItemAppearance->OnChange = [] {};
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    SetColor(clWhite);
    FItemSelectorPanel = new TCustomItemSelector(this);
    FItemSelectorPanel->OnItemSelect = [this](QObject*) {
        if (OnItemSelect)
            OnItemSelect(this);
    };
    setWidget(FItemSelectorPanel);
    verticalScrollBar()->setTracking(true);
    UpdateSelectorPanel();
}

TExCustomItemSelector::~TExCustomItemSelector() = default;

void TExCustomItemSelector::SetColumns(int c)
{
    if (c > 0 && c != FColumns) {
        FColumns = c;
        UpdateSelectorPanel();
    }
}

void TExCustomItemSelector::SetItemIndex(int i)
{
    if (!FItemSelectorPanel)
        return;
    FItemSelectorPanel->SetItemIndex(i);
    ScrollItemInView(i);
}

void TExCustomItemSelector::SetSelectorType(TSelectorType t)
{
    if (t != FSelectorType) {
        FSelectorType = t;
        UpdateSelectorPanel();
    }
}

void TExCustomItemSelector::SetImages(const TImageList* i)
{
    if (i != FImages) {
        FImages = i;
        UpdateSelectorPanel();
    }
}

void TExCustomItemSelector::SetColorBoxWidth(int w)
{
    if (w != FColorBoxWidth) {
        FColorBoxWidth = w;
        UpdateSelectorPanel();
    }
}

void TExCustomItemSelector::SetColorBoxHeight(int h)
{
    if (h != FColorBoxHeight) {
        FColorBoxHeight = h;
        UpdateSelectorPanel();
    }
}

void TExCustomItemSelector::SelectFirst()
{
    if (!FItemSelectorPanel)
        return;
    FItemSelectorPanel->SelectFirst();
    ScrollItemInView(ItemIndex());
}

void TExCustomItemSelector::SelectLast()
{
    if (!FItemSelectorPanel)
        return;
    FItemSelectorPanel->SelectLast();
    ScrollItemInView(ItemIndex());
}

void TExCustomItemSelector::SelectNext()
{
    if (!FItemSelectorPanel)
        return;
    FItemSelectorPanel->SelectNext();
    ScrollItemInView(ItemIndex());
}

void TExCustomItemSelector::SelectPrevious()
{
    if (!FItemSelectorPanel)
        return;
    FItemSelectorPanel->SelectPrevious();
    ScrollItemInView(ItemIndex());
}

void TExCustomItemSelector::HotNext()
{
    if (!FItemSelectorPanel)
        return;
    FItemSelectorPanel->HotNext();
    ScrollItemInView(ItemHot());
}

void TExCustomItemSelector::HotPrevious()
{
    if (!FItemSelectorPanel)
        return;
    FItemSelectorPanel->HotPrevious();
    ScrollItemInView(ItemHot());
}

bool TExCustomItemSelector::LookupItem(const QString& s)
{
    return FItemSelectorPanel && FItemSelectorPanel->LookupItem(s);
}

void TExCustomItemSelector::ScrollItemInView(int index)
{
    if (!FItemSelectorPanel || index < 0 || index >= FItems->Count())
        return;
    QScrollBar* bar = verticalScrollBar();
    if (!bar || bar->maximum() <= 0)
        return;
    const TRect ir = FItemSelectorPanel->GetItemRect(index);
    const int offset = FItemSelectorPanel->y();
    int top = ir.Top + offset, bottom = ir.Bottom + offset;
    const int clientHeight = viewport()->height();
    if (top < 0) {
        bar->setValue(bar->value() + top);
    } else if (bottom > clientHeight) {
        if (bottom - top > clientHeight)
            bottom = top + clientHeight;
        bar->setValue(bar->value() + bottom - clientHeight);
    }
}

int TExCustomItemSelector::GetVisibleItemCount() const
{
    if (!FItemSelectorPanel || FItems->Count() == 0)
        return 0;
    const int itemHeight = FItemSelectorPanel->GetItemRect(0).Height();
    if (itemHeight <= 0)
        return 0;
    int h = height();
    if (horizontalScrollBar() && horizontalScrollBar()->isVisible())
        h -= 20;
    return h / itemHeight * FColumns;
}

void TExCustomItemSelector::UpdateSelectorPanel()
{
    if (FItemSelectorPanel)
        FItemSelectorPanel->UpdatePanelSize();
}

TSize TExCustomItemSelector::GetSelectorPanelSize() const
{
    if (!FItemSelectorPanel)
        return TSize{100, 50};
    return TSize{FItemSelectorPanel->width(), FItemSelectorPanel->height()};
}
