#include "controls/ExCalculatorPanel.h"

#include "platform/Themes.h"

#include <algorithm>

using namespace platform;

// ---------------------------------------------------------------------------

void TButtonItem::Assign(const TButtonItem& source)
{
    FCaption = source.FCaption;
    FCaptionColor = source.FCaptionColor;
    FTag = source.FTag;
    FImageIndex = source.FImageIndex;
    FImage.Assign(source.FImage);
    FEnabled = source.FEnabled;
    FName = source.FName;
}

TButtonItem* TButtonItems::Add()
{
    FItems.push_back(std::make_unique<TButtonItem>());
    return FItems.back().get();
}

TButtonItem* TButtonItems::Insert(int index)
{
    if (index < 0 || index > Count())
        return Add();
    auto it = FItems.insert(FItems.begin() + index, std::make_unique<TButtonItem>());
    return it->get();
}

TButtonItem* TButtonItems::Items(int index) const
{
    return index >= 0 && index < Count() ? FItems[static_cast<size_t>(index)].get() : nullptr;
}

void TButtonItems::SetItems(int index, const TButtonItem& source)
{
    if (TButtonItem* item = Items(index))
        item->Assign(source);
}

void TButtonItems::Assign(const TButtonItems& source)
{
    if (&source == this)
        return;
    FItems.clear();
    for (const auto& item : source.FItems)
        Add()->Assign(*item);
}

// ---------------------------------------------------------------------------

TButtonAppearance::TButtonAppearance()
{
    FFont.SetSize(10);
    FFont.SetStyle(fsBold);
}

void TButtonAppearance::Assign(const TButtonAppearance& s)
{
    if (&s == this)
        return;
    FBorderColor = s.FBorderColor;
    FBorderColorHot = s.FBorderColorHot;
    FBorderColorDown = s.FBorderColorDown;
    FBorderColorChecked = s.FBorderColorChecked;
    FColor = s.FColor;
    FColorTo = s.FColorTo;
    FColorDown = s.FColorDown;
    FColorDownTo = s.FColorDownTo;
    FColorHot = s.FColorHot;
    FColorHotTo = s.FColorHotTo;
    FColorCheckedTo = s.FColorCheckedTo;
    FColorDisabled = s.FColorDisabled;
    FColorDisabledTo = s.FColorDisabledTo;
    FColorChecked = s.FColorChecked;
    FShineColor = s.FShineColor;
    GlowColorHot = s.GlowColorHot;
    GlowColorDown = s.GlowColorDown;
    FTextColor = s.FTextColor;
    FSpecialTextColor = s.FSpecialTextColor;
    FFont.Assign(s.FFont);
    Changed();
}

// ---------------------------------------------------------------------------

namespace {

struct KeyDef
{
    const char* caption;
    const char* name;
    int tag;
    bool special;
};

// In collection order; the arrangement finds them by name.
constexpr KeyDef CalculatorKeys[] = {
    {"", "BTN_ON", 30, false},       {"Back", "BTN_BACK", 31, true}, {"CE", "BTN_CE", 32, true},
    {"C", "BTN_C", 16, true},        {"MC", "BTN_MC", 33, true},     {"MR", "BTN_MR", 34, true},
    {"MS", "BTN_MS", 35, true},      {"M+", "BTN_M+", 36, true},     {"0", "BTN_0", 0, false},
    {"1", "BTN_1", 1, false},        {"4", "BTN_4", 4, false},       {"7", "BTN_7", 7, false},
    {"8", "BTN_8", 8, false},        {"5", "BTN_5", 5, false},       {"2", "BTN_2", 2, false},
    {"+/-", "BTN_+/-", 14, false},   {".", "BTN_.", 15, false},      {"3", "BTN_3", 3, false},
    {"6", "BTN_6", 6, false},        {"9", "BTN_9", 9, false},       {"/", "BTN_/", 13, true},
    {"*", "BTN_*", 12, true},        {"-", "BTN_-", 11, true},       {"+", "BTN_+", 10, true},
    {"=", "BTN_=", 17, true},        {"1/x", "BTN_1/x", 38, false},  {"%", "BTN_%", 18, false},
    {"sqrt", "BTN_sqrt", 37, true},
};

// Captions by column (c0..c5) and lower row (1..4).
constexpr const char* KeypadGrid[6][4] = {
    {"MC", "MR", "MS", "M+"}, {"7", "4", "1", "0"},  {"8", "5", "2", "+/-"},
    {"9", "6", "3", "."},     {"/", "*", "-", "+"}, {"sqrt", "%", "1/x", "="},
};

} // namespace

TCustomButtonPanel::TCustomButtonPanel(QWidget* parent)
    : TCustomControl(parent), FButtons(std::make_unique<TButtonItems>(this)),
      FButtonAppearance(std::make_unique<TButtonAppearance>())
{
    FButtonAppearance->OnChange = [this] { LookChanged(); };
    FButtonAppearance->Font().OnChange = [this] { LookChanged(); };
    FButtons->OnChange = [this] { LookChanged(); };
    setMouseTracking(true);
}

TCustomButtonPanel::~TCustomButtonPanel() = default;

void TCustomButtonPanel::LookChanged()
{
    if (!FExDropDown)
        update();
}

void TCustomButtonPanel::SetButtonPanelType(TButtonPanelType t)
{
    FButtonPanelType = t;
    ArrangeButtons();
}

void TCustomButtonPanel::SetImages(const TImageList* images)
{
    FImages = images;
    ArrangeButtons();
}

void TCustomButtonPanel::Loaded()
{
    if (!FExDropDown)
        InitButtons();
}

void TCustomButtonPanel::GetButtonArea(TRect& r)
{
    r = Rect(0, 0, width(), height());
    InflateRect(r, -FOffSetX, -FOffSetY);
}

void TCustomButtonPanel::GetButtonSize(TSize& s)
{
    TBitmap scratch(1, 1);
    TCanvas& c = scratch.Canvas();
    c.SetFont(FButtonAppearance->Font());
    int capW = 0, capH = 0, imgW = 0, imgH = 0;
    for (int i = 0; i < FButtons->Count(); ++i) {
        const TButtonItem* b = FButtons->Items(i);
        if (!b->Caption().isEmpty()) {
            const TSize t = c.TextExtent(b->Caption());
            capW = std::max(capW, t.cx);
            capH = std::max(capH, t.cy);
        }
        if (!b->Image().Empty()) {
            imgW = std::max(imgW, b->Image().Width());
            imgH = std::max(imgH, b->Image().Height());
        } else if (FImages && b->ImageIndex() >= 0) {
            imgW = std::max(imgW, FImages->Width());
            imgH = std::max(imgH, FImages->Height());
        }
    }
    const int gap = (imgW > 0 && capW > 0) ? FCaptionGap : 0;
    switch (FButtonLayout) {
    case ilCaptionLeft:
    case ilCaptionRight:
        s.cx = capW + imgW + gap;
        s.cy = std::max(capH, imgH);
        break;
    case ilCaptionTop:
    case ilCaptionBottom:
        s.cx = std::max(capW, imgW);
        s.cy = capH + imgH + gap;
        break;
    }
    s.cx += 2 * FButtonOffSetX;
    s.cy += 2 * FButtonOffSetY;
}

void TCustomButtonPanel::ClearButtons()
{
    FButtons->Clear();
    FButtonHot = -1;
    FButtonDown = -1;
}

void TCustomButtonPanel::ResetButtons()
{
    ClearButtons();
    InitButtons();
}

void TCustomButtonPanel::InitButtons()
{
    if (FButtons->Count() > 0 || FButtonPanelType != plCalculator)
        return;
    for (const KeyDef& k : CalculatorKeys) {
        TButtonItem* b = FButtons->Add();
        b->SetCaption(QString::fromLatin1(k.caption));
        b->SetName(QString::fromLatin1(k.name));
        b->SetTag(k.tag);
        b->SetSpecial(k.special);
        b->SetCaptionColor(k.special ? 0x000080 : 0xFFFFFF);
    }
    ArrangeButtons();
}

void TCustomButtonPanel::ArrangeButtons()
{
    if (FButtons->Count() == 0 || FButtonPanelType == plCustom)
        return;
    TRect a;
    GetButtonArea(a);
    constexpr int g = 4;
    // A panel smaller than its margins gives empty buttons, not negative ones.
    const int w = std::max(0, (a.Right - a.Left - 2 * g) / 6);
    const int h = std::max(0, (a.Bottom - a.Top - g) / 5);
    const int r1 = a.Top + h + g;
    const int rows[4] = {r1, r1 + h - 1, r1 + 2 * (h - 1), r1 + 3 * (h - 1)};
    const int c0 = a.Left;
    const int c1 = c0 + w + g;
    const int c2 = c1 + w - 1;
    const int c3 = c2 + w - 1;
    const int c4 = c3 + w + g;
    const int c5 = c4 + w - 1;
    const int cols[6] = {c0, c1, c2, c3, c4, c5};
    const int xr = c5 + w;

    auto place = [&](const QString& caption, int x, int y, int width) {
        for (int i = 0; i < FButtons->Count(); ++i) {
            TButtonItem* b = FButtons->Items(i);
            if (b->Caption() == caption && !b->Name().isEmpty()) {
                b->SetBounds(x, y, width, h);
                return;
            }
        }
    };
    for (int col = 0; col < 6; ++col)
        for (int row = 0; row < 4; ++row)
            place(QString::fromLatin1(KeypadGrid[col][row]), cols[col], rows[row], w);

    for (int i = 0; i < FButtons->Count(); ++i) {
        TButtonItem* b = FButtons->Items(i);
        if (b->Name() == QLatin1String("BTN_ON"))
            b->SetBounds(c0, a.Top, w, h);
    }
    const int L = c0 + w + g;
    const int w2 = std::max(0, (xr - L - 2 * g) / 3);
    place(QStringLiteral("Back"), L, a.Top, w2);
    place(QStringLiteral("CE"), L + w2 + g, a.Top, w2);
    const int cLeft = L + 2 * (w2 + g);
    place(QStringLiteral("C"), cLeft, a.Top, std::max(0, xr - cLeft));
}

void TCustomButtonPanel::InvalidateButton(int index)
{
    if (!ValidIndex(index))
        return;
    TRect r = FButtons->Items(index)->Rect();
    InflateRect(r, 8, 8);
    update(r.Left, r.Top, r.Width(), r.Height());
}

void TCustomButtonPanel::DoButtonClick(int index)
{
    if (OnButtonClick)
        OnButtonClick(this, index);
}

int TCustomButtonPanel::ButtonAtPos(int x, int y) const
{
    for (int i = 0; i < FButtons->Count(); ++i) {
        const TButtonItem* b = FButtons->Items(i);
        if (PtInRect(b->Rect(), Point(x, y)))
            return b->Enabled() ? i : -1;
    }
    return -1;
}

void TCustomButtonPanel::SetButtonHot(int index)
{
    if (index == FButtonHot)
        return;
    if (ValidIndex(index) && !FButtons->Items(index)->Enabled())
        return;
    const int old = FButtonHot;
    FButtonHot = index < 0 ? -1 : index;
    InvalidateButton(old);
    if (ValidIndex(FButtonHot)) {
        const TRect r = FButtons->Items(FButtonHot)->Rect();
        repaint(r.Left, r.Top, r.Width(), r.Height());
    }
}

void TCustomButtonPanel::SetButtonDown(int index)
{
    if (index == FButtonDown)
        return;
    if (ValidIndex(index) && !FButtons->Items(index)->Enabled())
        return;
    const int old = FButtonDown;
    FButtonDown = index < 0 ? -1 : index;
    InvalidateButton(old);
    if (ValidIndex(FButtonDown)) {
        const TRect r = FButtons->Items(FButtonDown)->Rect();
        repaint(r.Left, r.Top, r.Width(), r.Height());
    }
}

void TCustomButtonPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    const int i = ButtonAtPos(x, y);
    if (i >= 0)
        SetButtonDown(i);
}

void TCustomButtonPanel::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    const int i = ButtonAtPos(x, y);
    if (i != FButtonHot)
        SetButtonHot(i);
}

void TCustomButtonPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    if (FButtonDown < 0)
        return;
    const int pressed = FButtonDown;
    const int under = ButtonAtPos(x, y);
    SetButtonDown(-1);
    if (under == pressed)
        DoButtonClick(pressed);
}

void TCustomButtonPanel::MouseLeave()
{
    TCustomControl::MouseLeave();
    SetButtonHot(-1);
}

void TCustomButtonPanel::Resize()
{
    TCustomControl::Resize();
    ArrangeButtons();
}

void TCustomButtonPanel::Paint()
{
    TCanvas& c = Canvas();
    if (!FExDropDown) {
        c.Brush().SetStyle(TBrushStyle::bsClear);
        c.Pen().SetColor(clBlack);
        c.Rectangle(0, 0, width(), height());
        c.Brush().SetStyle(TBrushStyle::bsSolid);
    }
    for (int i = 0; i < FButtons->Count(); ++i)
        if (i != FButtonHot)
            DrawButton(i, &c);
    if (ValidIndex(FButtonHot))
        DrawButton(FButtonHot, &c);
}

void TCustomButtonPanel::DrawButton(int index, TCanvas* canvas)
{
    if (!ValidIndex(index) || !canvas || !canvas->IsBound())
        return;
    const TButtonItem* b = FButtons->Items(index);
    const TRect r = b->Rect();
    if (r.Left < 0 && r.Right < 0)
        return;
    TCanvas& c = *canvas;

    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(r);
    int state = PBS_NORMAL;
    if (!isEnabled())
        state = PBS_DISABLED;
    else if (index == FButtonDown)
        state = PBS_PRESSED;
    else if (index == FButtonHot)
        state = PBS_HOT;
    if (!DrawThemeBackground(c, ThemeClass::Button, BP_PUSHBUTTON, state, r, this)) {
        // Without styles: a plain face that still shows the four states.
        const TColor face = state == PBS_PRESSED ? 0xC0C0C0 : state == PBS_HOT ? 0xF0E0D0 : 0xF0F0F0;
        c.Brush().SetColor(face);
        c.Pen().SetColor(state == PBS_HOT || state == PBS_PRESSED ? 0x996633 : 0x808080);
        c.Rectangle(r);
    }

    TRect cr = r;
    InflateRect(cr, -FButtonOffSetX, -FButtonOffSetY);
    int iw = 0, ih = 0;
    const bool ownImage = !b->Image().Empty();
    if (ownImage) {
        iw = b->Image().Width();
        ih = b->Image().Height();
    } else if (FImages && b->ImageIndex() >= 0) {
        iw = FImages->Width();
        ih = FImages->Height();
    }
    const bool hasImage = iw > 0 && ih > 0;
    auto drawImage = [&](int x, int y) {
        if (!hasImage)
            return;
        if (ownImage)
            c.Draw(x, y, b->Image());
        else
            FImages->Draw(c, x, y, b->ImageIndex(), b->Enabled());
    };

    c.SetFont(FButtonAppearance->Font());
    c.Font().SetColor(b->Special() ? FButtonAppearance->SpecialTextColor() : FButtonAppearance->TextColor());
    c.Brush().SetStyle(TBrushStyle::bsClear);
    const QString caption = b->Caption();
    const unsigned line = DT_SINGLELINE | DT_NOPREFIX;
    const int ch = cr.Height();
    switch (FButtonLayout) {
    case ilCaptionRight: {
        drawImage(cr.Left, cr.Top + (ch - ih) / 2);
        TRect tr = cr;
        if (hasImage)
            tr.Left += iw + FCaptionGap;
        c.DrawText(caption, tr, line | DT_VCENTER | (hasImage ? 0u : DT_CENTER));
        break;
    }
    case ilCaptionLeft: {
        TRect tr = cr;
        tr.Right -= iw;
        c.DrawText(caption, tr, line | DT_VCENTER | (hasImage ? 0u : DT_CENTER));
        const int tw = caption.isEmpty() ? 0 : c.TextWidth(caption);
        drawImage(cr.Left + tw + FCaptionGap, cr.Top + (ch - ih) / 2);
        break;
    }
    case ilCaptionTop:
        if (!caption.isEmpty()) {
            TRect tr = cr;
            tr.Bottom -= ih;
            c.DrawText(caption, tr, line | DT_CENTER);
            drawImage(cr.Left, cr.Top + c.TextHeight(caption) + FCaptionGap);
        } else {
            drawImage(cr.Left, cr.Top + (ch - ih) / 2);
        }
        break;
    case ilCaptionBottom:
        if (caption.isEmpty()) {
            drawImage(cr.Left, cr.Top + (ch - ih) / 2);
        } else {
            drawImage(cr.Left, cr.Top);
            TRect tr = cr;
            tr.Top = cr.Top + iw + FCaptionGap;
            c.DrawText(caption, tr, line | DT_CENTER);
        }
        break;
    }
    c.Brush().SetStyle(TBrushStyle::bsSolid);
}
