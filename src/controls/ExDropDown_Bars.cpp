// The header and footer bars of the popup.
#include "controls/ExDropDown.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>

#include <algorithm>
#include <stdexcept>

using namespace platform;

TExButton* TDbgList::GetItemsEx(int index) const
{
    if (index >= Count())
        throw std::runtime_error("Index out of bounds in list read access");
    if (index < 0)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<size_t>(index)];
}

void TDbgList::SetItemsEx(int index, TExButton* value)
{
    if (index >= Count())
        throw std::runtime_error("Index out of bounds in list write access");
    if (index < 0)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    items_[static_cast<size_t>(index)] = value;
}

TExBar::TExBar(QWidget* parent, bool footer) : TCustomControl(parent), footer_(footer)
{
    if (footer)
        FLook = std::make_unique<TFooterAppearance>(parent);
    else
        FLook = std::make_unique<THeaderAppearance>(parent);
    FLook->OnChange = [this] { AppearanceChanged(); };
    if (!footer)
        FLook->OnButtonsChanged = [] {};
    FButtonList = std::make_unique<TDbgList>();
    setFocusPolicy(Qt::NoFocus);
}

TExBar::~TExBar() = default;

void TExBar::AppearanceChanged()
{
    SetVisible(FLook->Visible());
    SetHeight(FLook->Height());
}

void TExBar::SetExDropDown(TExCustomDropDown* d)
{
    FExDropDown = d;
    if (!d) {
        FImages = nullptr;
        return;
    }
    FImages = d->Images();
    if (footer_)
        static_cast<TFooterAppearance&>(*FLook).Assign(&d->DropDownFooter());
    else
        static_cast<THeaderAppearance&>(*FLook).Assign(&d->DropDownHeader());
}

void TExBar::InitButtons()
{
    if (FExDropDown)
        CreateButtons();
}

int TExBar::ButtonCount() const
{
    if (!FExDropDown)
        return 0;
    return footer_ ? FExDropDown->DropDownFooter().Buttons().Count() : FExDropDown->DropDownHeader().Buttons().Count();
}

TRect TExBar::GetButtonArea() const
{
    TRect r = ClientRect();
    if (footer_) {
        r = Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
        if (HasSizeGrip())
            r.Right -= 12;
    } else {
        r = Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 3);
    }
    return r;
}

int TExBar::GetMaxButtonHeight() const
{
    return GetButtonArea().Height();
}

TRect TExBar::GetCaptionRect() const
{
    if (FButtonList->Count() == 0)
        return Rect(-1, -1, -1, -1);
    TRect r = GetButtonArea();
    r.Right = FButtonList->GetItemsEx(FButtonList->Count() - 1)->Left() - 2;
    return r;
}

bool TExBar::HasSizeGrip() const
{
    return footer_ && static_cast<const TFooterAppearance&>(*FLook).SizeGrip() && FExDropDown &&
           FExDropDown->DropDownSizeable();
}

void TExBar::ButtonClick(QObject* sender)
{
    if (!FExDropDown)
        return;
    for (int i = 0; i < FButtonList->Count(); ++i) {
        TExButton* b = FButtonList->GetItemsEx(i);
        if (b != sender)
            continue;
        const auto& handler =
            footer_ ? FExDropDown->OnDropDownFooterButtonClick : FExDropDown->OnDropDownHeaderButtonClick;
        if (handler)
            handler(FExDropDown, b->Tag());
        return;
    }
}

void TExBar::CreateButtons()
{
    if (!FExDropDown)
        return;
    ClearButtons();
    const int maxH = GetMaxButtonHeight();
    const int n = ButtonCount();
    for (int i = 0; i < n; ++i) {
        auto* b = new TExButton(this);
        QString caption;
        int imageIndex = -1, w = 0, h = 0;
        bool enabled = true;
        if (footer_) {
            const TFooterButton* item = FExDropDown->DropDownFooter().Buttons().Items(i);
            b->SetExDropDown(FExDropDown);
            b->SetModalResult(item->ModalResult());
            caption = item->Caption();
            imageIndex = item->ImageIndex();
            enabled = item->Enabled();
            w = item->Width();
            h = item->Height();
        } else {
            const THeaderButton* item = FExDropDown->DropDownHeader().Buttons().Items(i);
            caption = item->Caption();
            imageIndex = item->ImageIndex();
            enabled = item->Enabled();
            w = item->Width();
            h = item->Height();
        }
        b->SetAppearance(&FExDropDown->ButtonAppearance());
        b->SetCaption(caption);
        b->SetImages(FImages);
        b->SetImageIndex(imageIndex);
        b->SetEnabled(enabled);
        b->AutoSizeButton();
        if (w > 0)
            b->SetWidth(w);
        if (h > 0)
            b->SetHeight(h);
        if (b->Height() > maxH)
            b->SetHeight(maxH);
        b->SetTag(i);
        b->OnClick = [this](QObject* s) { ButtonClick(s); };
        b->show();
        FButtonList->Add(b);
    }
    ArrangeButtons();
}

void TExBar::ClearButtons()
{
    for (int i = FButtonList->Count() - 1; i >= 0; --i)
        delete FButtonList->GetItemsEx(i);
    FButtonList->Clear();
}

void TExBar::ArrangeButtons()
{
    if (!footer_ && FButtonList->Count() == 0)
        return;
    const TRect r = GetButtonArea();
    for (int i = 0; i < FButtonList->Count(); ++i) {
        TExButton* b = FButtonList->GetItemsEx(i);
        b->SetTop(std::max(r.Top, (r.Bottom - b->Height()) / 2));
    }
    if (FLook->ButtonAlignment() == baRight) {
        int x = r.Right;
        for (int i = 0; i < FButtonList->Count(); ++i) {
            TExButton* b = FButtonList->GetItemsEx(i);
            b->SetLeft(x - b->Width());
            x = b->Left();
        }
    } else {
        int x = r.Left;
        for (int i = 0; i < FButtonList->Count(); ++i) {
            TExButton* b = FButtonList->GetItemsEx(i);
            b->SetLeft(x);
            x += b->Width();
        }
    }
}

void TExBar::UpdateButtons()
{
    if (!FExDropDown)
        return;
    const int n = ButtonCount();
    for (int i = 0; i < FButtonList->Count(); ++i) {
        TExButton* b = FButtonList->GetItemsEx(i);
        b->SetAppearance(&FExDropDown->ButtonAppearance());
        b->SetImages(FImages);
        if (i < n) {
            const THeaderButton* item = footer_
                                            ? static_cast<const THeaderButton*>(
                                                  FExDropDown->DropDownFooter().Buttons().Items(i))
                                            : FExDropDown->DropDownHeader().Buttons().Items(i);
            b->SetCaption(item->Caption());
            b->SetImageIndex(item->ImageIndex());
            b->SetEnabled(item->Enabled());
        }
        b->AutoSizeButton();
    }
    ArrangeButtons();
}

void TExBar::Resize()
{
    TCustomControl::Resize();
    ArrangeButtons();
}

void TExBar::Paint()
{
    TCanvas& c = Canvas();
    TRect r = ClientRect();
    if (OnDrawBackGround) {
        OnDrawBackGround(this, c, r);
        return;
    }
    const TDropDownAppearance& a = *FLook;
    if (a.ColorTo() != clNone)
        DrawSteppedGradient(c, a.Color(), a.ColorTo(), a.GradientDirection() == gdHorizontal, r, 80);
    else if (a.Color() != clNone) {
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.Brush().SetColor(a.Color());
        c.FillRect(r);
    }
    const int bw = a.BorderWidth();
    if (a.BorderColor() != clNone && bw > 0) {
        c.Pen().SetWidth(bw);
        c.Pen().SetColor(a.BorderColor());
        const bool ownFrame = !FExDropDown || FExDropDown->DropDownBorderWidth() <= 0 ||
                              FExDropDown->DropDownBorderColor() == clNone;
        if (!footer_) {
            c.MoveTo(r.Left, r.Bottom - 1);
            c.LineTo(r.Right, r.Bottom - 1);
            if (ownFrame) {
                c.MoveTo(r.Left, r.Bottom - 1);
                c.LineTo(r.Left, r.Top);
                c.LineTo(r.Right, r.Top);
                c.LineTo(r.Right, r.Bottom - 1);
            }
        } else {
            c.MoveTo(r.Left, r.Top);
            c.LineTo(r.Right, r.Top);
            if (ownFrame) {
                c.MoveTo(r.Left, r.Top);
                c.LineTo(r.Left, r.Bottom);
                c.LineTo(r.Right, r.Bottom);
                c.LineTo(r.Right, r.Top);
            }
        }
        c.Pen().SetWidth(1);
        c.Brush().SetStyle(TBrushStyle::bsClear);
        c.Pen().SetColor(BlendColor(a.BorderColor(), clWhite, 20));
        if (!footer_)
            c.Rectangle(r.Left, r.Top, r.Right, r.Bottom - bw);
        else
            c.Rectangle(r.Left, r.Top + bw, r.Right, r.Bottom);
    }
    TRect content = Rect(r.Left + bw, r.Top + bw, r.Right - bw, r.Bottom - bw);
    if (a.ImageIndex() >= 0 && FImages) {
        FImages->Draw(c, content.Left + 4, content.Top + (content.Height() - FImages->Height()) / 2, a.ImageIndex(),
                      true);
        content.Left += FImages->Width() + 8;
    }
    QString caption = a.Caption();
    if (OnGetText)
        OnGetText(this, caption);
    if (!caption.isEmpty()) {
        if (FButtonList->Count() > 0)
            content.Right = GetCaptionRect().Right;
        c.SetFont(a.Font());
        c.Brush().SetStyle(TBrushStyle::bsClear);
        const TSize size = DrawHTMLCaption(c, caption, content, FImages, false, this);
        if (size.cy < content.Height())
            content.Top += (content.Height() - size.cy) / 2;
        DrawHTMLCaption(c, caption, content, FImages, true, this);
    }
    if (HasSizeGrip())
        DrawSizeGrip(Rect(r.Right - bw - 16, 1, r.Right - bw - 1, r.Bottom));
}

void TExBar::DrawSizeGrip(const TRect& g)
{
    TCanvas& c = Canvas();
    const int l = g.Left, b = g.Bottom;
    auto dots = [&](TColor color, int dx, int dy) {
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.Brush().SetColor(color);
        c.Pen().SetColor(color);
        const int pts[6][2] = {{5, 2}, {9, 2}, {13, 2}, {13, 6}, {13, 10}, {9, 6}};
        for (const auto& p : pts) {
            const int x = l + p[0] - dx, y = b - p[1] - dy;
            c.FillRect(Rect(x, y - 2, x + 2, y));
        }
    };
    dots(clWhite, 0, 0);
    dots(FLook->BorderColor() == clNone ? clGray : FLook->BorderColor(), 1, 1);
}

bool TExBar::InGripZone(int x, int y) const
{
    return x > width() - 12 && y > height() - 15;
}

void TExBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (footer_ && HasSizeGrip() && button == mbLeft && parentWidget() && InGripZone(x, y)) {
        // The popup is sized from its bottom-right corner while the mouse drags.
        sizing_ = true;
        sizeStart_ = QCursor::pos();
        sizeStart_ = mapToGlobal(QPoint(x, y));
        sizeStartSize_ = window()->size();
    }
}

void TExBar::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (sizing_) {
        const QPoint d = mapToGlobal(QPoint(x, y)) - sizeStart_;
        QWidget* w = window();
        w->resize(std::max(w->minimumWidth(), sizeStartSize_.width() + d.x()),
                  std::max(w->minimumHeight(), sizeStartSize_.height() + d.y()));
        if (auto* form = dynamic_cast<TDropDownForm*>(w); form && form->OnSizing)
            form->OnSizing(form);
        return;
    }
    if (footer_ && HasSizeGrip() && parentWidget() && InGripZone(x, y))
        setCursor(Qt::SizeFDiagCursor);
    else
        unsetCursor();
}

void TExBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    sizing_ = false;
    TCustomControl::MouseUp(button, shift, x, y);
    unsetCursor();
}

void TExBar::MouseLeave()
{
    TCustomControl::MouseLeave();
    if (!sizing_)
        unsetCursor();
}
