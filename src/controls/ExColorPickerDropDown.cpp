// The colour picker drop-down.
#include "controls/ExColorPickerDropDown.h"

#include "platform/Scope.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <stdexcept>

using namespace platform;

// ---------------------------------------------------------------------------
// Colour items
// ---------------------------------------------------------------------------

void TColorItem::Changed()
{
    if (FCollection && FCollection->OnChange)
        FCollection->OnChange();
}

void TColorItem::SetCaption(const QString& c)
{
    if (c != FCaption) {
        FCaption = c;
        Changed();
    }
}

void TColorItem::SetColor(TColor c)
{
    if (c != FColor) {
        FColor = c;
        Changed();
    }
}

void TColorItem::Assign(const TColorItem& o)
{
    FCaption = o.FCaption;
    FColor = o.FColor;
    FEnabled = o.FEnabled;
    FHint = o.FHint;
}

TColorItem* TColorItems::Add()
{
    FItems.push_back(std::make_unique<TColorItem>(this));
    return FItems.back().get();
}

TColorItem* TColorItems::Insert(int index)
{
    if (index < 0 || index > Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    auto it = FItems.insert(FItems.begin() + index, std::make_unique<TColorItem>(this));
    return it->get();
}

TColorItem* TColorItems::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return FItems[static_cast<size_t>(index)].get();
}

void TColorItems::Assign(const TColorItems& source)
{
    if (&source == this)
        return;
    FItems.clear();
    for (const auto& item : source.FItems)
        Add()->Assign(*item);
}

// ---------------------------------------------------------------------------
// Named web colours
// ---------------------------------------------------------------------------

namespace {

struct TWebColor
{
    const char* Name;
    unsigned Rgb; // 0xRRGGBB
};

// The standard web colour names, each value once.
constexpr TWebColor kWebColors[] = {
    {"Snow", 0xFFFAFA}, {"FloralWhite", 0xFFFAF0}, {"LavenderBlush", 0xFFF0F5}, {"OldLace", 0xFDF5E6},
    {"Ivory", 0xFFFFF0}, {"CornSilk", 0xFFF8DC}, {"Beige", 0xF5F5DC}, {"AntiqueWhite", 0xFAEBD7},
    {"Wheat", 0xF5DEB3}, {"AliceBlue", 0xF0F8FF}, {"GhostWhite", 0xF8F8FF}, {"Lavender", 0xE6E6FA},
    {"Seashell", 0xFFF5EE}, {"LightYellow", 0xFFFFE0}, {"PapayaWhip", 0xFFEFD5}, {"NavajoWhite", 0xFFDEAD},
    {"Moccasin", 0xFFE4B5}, {"Burlywood", 0xDEB887}, {"Azure", 0xF0FFFF}, {"Mintcream", 0xF5FFFA},
    {"Honeydew", 0xF0FFF0}, {"Linen", 0xFAF0E6}, {"LemonChiffon", 0xFFFACD}, {"BlanchedAlmond", 0xFFEBCD},
    {"Bisque", 0xFFE4C4}, {"PeachPuff", 0xFFDAB9}, {"Tan", 0xD2B48C}, {"Yellow", 0xFFFF00},
    {"DarkOrange", 0xFF8C00}, {"Red", 0xFF0000}, {"DarkRed", 0x8B0000}, {"Maroon", 0x800000},
    {"IndianRed", 0xCD5C5C}, {"Salmon", 0xFA8072}, {"Coral", 0xFF7F50}, {"Gold", 0xFFD700},
    {"Tomato", 0xFF6347}, {"Crimson", 0xDC143C}, {"Brown", 0xA52A2A}, {"Chocolate", 0xD2691E},
    {"SandyBrown", 0xF4A460}, {"LightSalmon", 0xFFA07A}, {"LightCoral", 0xF08080}, {"Orange", 0xFFA500},
    {"OrangeRed", 0xFF4500}, {"Firebrick", 0xB22222}, {"SaddleBrown", 0x8B4513}, {"Sienna", 0xA0522D},
    {"Peru", 0xCD853F}, {"DarkSalmon", 0xE9967A}, {"RosyBrown", 0xBC8F8F}, {"PaleGoldenrod", 0xEEE8AA},
    {"LightGoldenrodYellow", 0xFAFAD2}, {"Olive", 0x808000}, {"ForestGreen", 0x228B22},
    {"GreenYellow", 0xADFF2F}, {"Chartreuse", 0x7FFF00}, {"LightGreen", 0x90EE90}, {"Aquamarine", 0x7FFFD4},
    {"SeaGreen", 0x2E8B57}, {"Goldenrod", 0xDAA520}, {"Khaki", 0xF0E68C}, {"OliveDrab", 0x6B8E23},
    {"Green", 0x008000}, {"YellowGreen", 0x9ACD32}, {"LawnGreen", 0x7CFC00}, {"PaleGreen", 0x98FB98},
    {"MediumAquamarine", 0x66CDAA}, {"MediumSeaGreen", 0x3CB371}, {"DarkGoldenRod", 0xB8860B},
    {"DarkKhaki", 0xBDB76B}, {"DarkOliveGreen", 0x556B2F}, {"DarkGreen", 0x006400}, {"LimeGreen", 0x32CD32},
    {"Lime", 0x00FF00}, {"SpringGreen", 0x00FF7F}, {"MediumSpringGreen", 0x00FA9A},
    {"DarkSeaGreen", 0x8FBC8F}, {"LightSeaGreen", 0x20B2AA}, {"PaleTurquoise", 0xAFEEEE},
    {"LightCyan", 0xE0FFFF}, {"LightBlue", 0xADD8E6}, {"LightSkyBlue", 0x87CEFA},
    {"CornFlowerBlue", 0x6495ED}, {"DarkBlue", 0x00008B}, {"Indigo", 0x4B0082},
    {"MediumTurquoise", 0x48D1CC}, {"Turquoise", 0x40E0D0}, {"Cyan", 0x00FFFF}, {"PowderBlue", 0xB0E0E6},
    {"SkyBlue", 0x87CEEB}, {"RoyalBlue", 0x4169E1}, {"MediumBlue", 0x0000CD}, {"MidnightBlue", 0x191970},
    {"DarkTurquoise", 0x00CED1}, {"CadetBlue", 0x5F9EA0}, {"DarkCyan", 0x008B8B}, {"Teal", 0x008080},
    {"DeepskyBlue", 0x00BFFF}, {"DodgerBlue", 0x1E90FF}, {"Blue", 0x0000FF}, {"Navy", 0x000080},
    {"DarkViolet", 0x9400D3}, {"DarkOrchid", 0x9932CC}, {"Magenta", 0xFF00FF}, {"DarkMagenta", 0x8B008B},
    {"MediumVioletRed", 0xC71585}, {"PaleVioletRed", 0xDB7093}, {"BlueViolet", 0x8A2BE2},
    {"MediumOrchid", 0xBA55D3}, {"MediumPurple", 0x9370DB}, {"Purple", 0x800080}, {"DeepPink", 0xFF1493},
    {"LightPink", 0xFFB6C1}, {"Violet", 0xEE82EE}, {"Orchid", 0xDA70D6}, {"Plum", 0xDDA0DD},
    {"Thistle", 0xD8BFD8}, {"HotPink", 0xFF69B4}, {"Pink", 0xFFC0CB}, {"LightSteelBlue", 0xB0C4DE},
    {"MediumSlateBlue", 0x7B68EE}, {"LightSlateGray", 0x778899}, {"White", 0xFFFFFF},
    {"Lightgrey", 0xD3D3D3}, {"Gray", 0x808080}, {"SteelBlue", 0x4682B4}, {"SlateBlue", 0x6A5ACD},
    {"SlateGray", 0x708090}, {"WhiteSmoke", 0xF5F5F5}, {"Silver", 0xC0C0C0}, {"DimGray", 0x696969},
    {"MistyRose", 0xFFE4E1}, {"DarkSlateBlue", 0x483D8B}, {"DarkSlategray", 0x2F4F4F},
    {"Gainsboro", 0xDCDCDC}, {"DarkGray", 0xA9A9A9}, {"Black", 0x000000},
};

QString Hex2(int v)
{
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

QString HtmlText(TColor rgb)
{
    return QStringLiteral("#") + Hex2(GetRValue(rgb)) + Hex2(GetGValue(rgb)) + Hex2(GetBValue(rgb));
}

} // namespace

QString WebColorName(TColor rgb)
{
    const unsigned wanted = (static_cast<unsigned>(GetRValue(rgb)) << 16) |
                            (static_cast<unsigned>(GetGValue(rgb)) << 8) | static_cast<unsigned>(GetBValue(rgb));
    for (const TWebColor& c : kWebColors)
        if (c.Rgb == wanted)
            return QStringLiteral("clWeb") + QString::fromLatin1(c.Name);
    return QString();
}

// ---------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------

TExColorPickerDropDown::TExColorPickerDropDown(QWidget* parent) : TExItemSelectorDropDown(parent)
{
    FColors = std::make_unique<TColorItems>(this);
    FColors->OnChange = [] {};
    SetDropDownHeight(200);
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    // The base's construction ran its own popup step only: the list
    // selector exists from here on.
    CreateDropDownForm();
}

TExColorPickerDropDown::~TExColorPickerDropDown()
{
    // The selectors live in the popup, which the base frees after this.
    if (FColorSelector)
        FColorSelector->OnItemSelect = nullptr;
    if (FColorCubePanel)
        FColorCubePanel->OnSelect = nullptr;
    if (FSpectrumPanel)
        FSpectrumPanel->OnSelect = nullptr;
}

void TExColorPickerDropDown::AddDefaultColors()
{
    static const std::pair<const char*, TColor> kDefaults[] = {
        {"Black", 0x000000},  {"Maroon", 0x000080}, {"Green", 0x008000}, {"Olive", 0x008080},
        {"Navy", 0x800000},   {"Purple", 0x800080}, {"Teal", 0x808000},  {"Gray", 0x808080},
        {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},    {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
        {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00}, {"White", 0xFFFFFF},
    };
    for (const auto& [caption, colour] : kDefaults) {
        TColorItem* item = FColors->Add();
        item->SetCaption(QString::fromLatin1(caption));
        item->SetColor(colour);
    }
}

void TExColorPickerDropDown::SetShowText(bool s)
{
    if (s != FShowText) {
        FShowText = s;
        update();
    }
}

// ---------------------------------------------------------------------------
// Selection
// ---------------------------------------------------------------------------

void TExColorPickerDropDown::SetItemIndex(int i)
{
    if (i >= FColors->Count())
        return;
    FItemIndex = i < 0 ? -1 : i;
    if (i >= 0)
        FSelectedColor = FColors->Items(i)->Color();
    update();
    if (OnSelect)
        OnSelect(this);
}

void TExColorPickerDropDown::SetSelectedColor(TColor c)
{
    if (c == FSelectedColor)
        return;
    FSelectedColor = c;
    for (int i = 0; i < FColors->Count(); ++i)
        if (FColors->Items(i)->Color() == c) {
            SetItemIndex(i);
            break;
        }
    update();
}

QString TExColorPickerDropDown::SelectedColorText() const
{
    if (FColorSelectionStyle == csList && FItemIndex >= 0 && FItemIndex < FColors->Count())
        return FColors->Items(FItemIndex)->Caption();
    switch (FColorValueText) {
    case cvtNone: return QString();
    case cvtHex: return QStringLiteral("%1").arg(FSelectedColor, 6, 16, QLatin1Char('0')).toUpper();
    case cvtWebName: {
        const TColor rgb = ColorToRGB(FSelectedColor);
        const QString name = WebColorName(rgb);
        return name.isEmpty() ? HtmlText(rgb) : name;
    }
    case cvtRGB: {
        const TColor rgb = ColorToRGB(FSelectedColor);
        return QStringLiteral("Red:%1,Green:%2,Blue:%3").arg(GetRValue(rgb)).arg(GetGValue(rgb)).arg(GetBValue(rgb));
    }
    case cvtHTML: return HtmlText(ColorToRGB(FSelectedColor));
    }
    return QString();
}

void TExColorPickerDropDown::BoxItemSelect()
{
    if (!FColorSelector)
        return;
    SetSelectedColor(FColorSelector->SelectedColor());
    SetItemIndex(-1);
    if (!FInternalCall)
        DoHideDropDown(false);
}

void TExColorPickerDropDown::PanelSelect(TColor c)
{
    SetSelectedColor(c);
    SetItemIndex(-1);
    DoHideDropDown(false);
}

// ---------------------------------------------------------------------------
// The popup
// ---------------------------------------------------------------------------

void TExColorPickerDropDown::PrepareSelector(TColorSelectionStyle style)
{
    TDropDownForm* popup = DropDownForm();
    if (!popup)
        return;
    switch (style) {
    case csList:
        PrepareItemSelector(stColor);
        break;
    case csDiscrete:
        if (!FColorSelector) {
            FColorSelector = new TCustomColorSelector(popup);
            FColorSelector->LoadThemeColors();
        }
        FColorSelector->move(0, 0);
        FColorSelector->SetColor(DropDownColor());
        FColorSelector->SetPanelSize();
        SetControl(FColorSelector);
        break;
    case csColorCube:
        if (!FColorCubePanel)
            FColorCubePanel = new TExColorCubePanel(popup);
        FColorCubePanel->move(0, 0);
        FColorCubePanel->SetColor(DropDownColor());
        SetControl(FColorCubePanel);
        break;
    case csSpectrum:
        if (!FSpectrumPanel)
            FSpectrumPanel = new TExColorSpectrumPanel(popup);
        FSpectrumPanel->move(0, 0);
        FSpectrumPanel->SetColor(DropDownColor());
        SetControl(FSpectrumPanel);
        break;
    }
}

void TExColorPickerDropDown::CreateDropDownForm()
{
    TExCustomDropDown::CreateDropDownForm();
    // Still inside the base's construction: the picker's own parts come later.
    if (!FColors)
        return;
    PrepareSelector(FColorSelectionStyle);
}

void TExColorPickerDropDown::FillSelector()
{
    BeginSelectorFill();
    for (int i = 0; i < FColors->Count(); ++i) {
        const TColorItem* c = FColors->Items(i);
        TSelectorItem* item = FItemSelector->Items().Add();
        item->SetCaption(c->Caption());
        item->SetColor(c->Color());
        item->SetHint(c->Hint());
    }
    FItemSelector->SetColorBoxHeight(FColorBoxHeight);
    FItemSelector->SetColorBoxWidth(FColorBoxWidth);
    EndSelectorFill();
    RelayDrawItem(OnDrawColor);
}

void TExColorPickerDropDown::ShowSelector(TColorSelectionStyle style)
{
    PrepareSelector(style);
    auto hide = [](QWidget* w) {
        if (w)
            w->hide();
    };
    switch (style) {
    case csList:
        if (!FItemSelector)
            break;
        hide(FColorCubePanel);
        hide(FSpectrumPanel);
        hide(FColorSelector);
        FillSelector();
        FItemSelector->show();
        FOldItemIndex = FItemIndex;
        break;
    case csDiscrete:
        hide(FItemSelector);
        hide(FSpectrumPanel);
        hide(FColorCubePanel);
        FColorSelector->SetSelectedColor(FSelectedColor);
        FColorSelector->SetPanelSize();
        FColorSelector->OnItemSelect = [this](QObject*) { BoxItemSelect(); };
        FColorSelector->SetItemColorStyle(SelectionColorStyle());
        FColorSelector->show();
        break;
    case csColorCube:
        hide(FItemSelector);
        hide(FSpectrumPanel);
        hide(FColorSelector);
        FColorCubePanel->SetSelectedColor(FSelectedColor);
        FColorCubePanel->InitCubeCells();
        FColorCubePanel->ResetHotCell();
        FColorCubePanel->OnSelect = [this](QObject*) { PanelSelect(FColorCubePanel->SelectedColor()); };
        FColorCubePanel->show();
        break;
    case csSpectrum:
        hide(FItemSelector);
        hide(FColorCubePanel);
        hide(FColorSelector);
        FSpectrumPanel->SetSelectedColor(FSelectedColor);
        FSpectrumPanel->UpdateLayout();
        FSpectrumPanel->OnSelect = [this](QObject*) { PanelSelect(FSpectrumPanel->SelectedColor()); };
        FSpectrumPanel->show();
        break;
    }
}

void TExColorPickerDropDown::BeforeDropDown()
{
    TExCustomDropDown::BeforeDropDown();
    ShowSelector(FColorSelectionStyle);
    FOldSelectedColor = FSelectedColor;
}

void TExColorPickerDropDown::SetColorSelectionStyle(TColorSelectionStyle s)
{
    if (s == FColorSelectionStyle)
        return;
    FColorSelectionStyle = s;
    // A size kept from the popup of another style does not fit this one
    // (writing the sizes forgets the kept one).
    const int w = DropDownWidth(), h = DropDownHeight();
    SetDropDownWidth(w + 1);
    SetDropDownWidth(w);
    SetDropDownHeight(h + 1);
    SetDropDownHeight(h);
    ShowSelector(s);
    FOldSelectedColor = FSelectedColor;
    if (DroppedDown()) {
        UpdateDropDownControl();
        UpdateDropDownSize();
        if (DropDownForm()) {
            DropDownForm()->LayoutChildren();
            DropDownForm()->update();
        }
    }
}

void TExColorPickerDropDown::UpdateDropDownControl()
{
    TExCustomDropDown::UpdateDropDownControl();
    if (DropDownForm() && FColorSelectionStyle != csList)
        DropDownForm()->SetSizeable(false);
}

void TExColorPickerDropDown::UpdateDropDownSize()
{
    TDropDownForm* popup = DropDownForm();
    if (!popup)
        return;
    const int bw = std::max(0, DropDownBorderWidth());
    if (FColorSelectionStyle != csList) {
        QWidget* c = Control();
        const bool shown = c && !c->isHidden();
        const int w = shown ? c->width() + 2 * bw : width();
        int h = 2 * bw;
        if (DropDownHeader().Visible())
            h += DropDownHeader().Height();
        if (DropDownFooter().Visible())
            h += DropDownFooter().Height();
        if (shown)
            h += c->height();
        popup->resize(w, h);
        return;
    }
    UpdateSelectorDropDownSize();
}

void TExColorPickerDropDown::DoHideDropDown(bool cancel)
{
    const bool wasDropped = DroppedDown();
    TExCustomDropDown::DoHideDropDown(cancel);
    if (!cancel || !wasDropped)
        return;
    if (FColorSelectionStyle == csList && FItemSelector) {
        SetItemIndex(FOldItemIndex);
    } else if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        FColorSelector->SetSelectedColor(FOldSelectedColor);
        // The boxes restore only a colour they hold; any other comes back here.
        SetSelectedColor(FOldSelectedColor);
    }
}

// ---------------------------------------------------------------------------
// Styles
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Keys and wheel
// ---------------------------------------------------------------------------

bool TExColorPickerDropDown::HandleKeyPress(QKeyEvent* e)
{
    const int key = VirtualKeyFromQt(e->key());
    const bool alt = (e->modifiers() & Qt::AltModifier) != 0;
    const bool ctrl = (e->modifiers() & Qt::ControlModifier) != 0;
    bool handled = false;
    if (isEnabled() && DroppedDown() && key == VK_RETURN) {
        if (FColorSelectionStyle == csList && FItemSelector && FItemSelector->ItemHot() >= 0) {
            FItemSelector->SetItemIndex(FItemSelector->ItemHot());
            handled = true;
        } else if (FColorSelectionStyle == csDiscrete && FColorSelector && FColorSelector->ItemHot() >= 0) {
            FColorSelector->SetItemIndex(FColorSelector->ItemHot());
            handled = true;
        }
    }
    keyAfterKeyDown_ = 0;
    const bool used = TExCustomDropDown::HandleKeyPress(e);
    // A key the dynamic key-down took (a grid editor's navigation) ends here.
    if (keyAfterKeyDown_ == 0 || !isEnabled() || alt)
        return used;
    const bool dropped = DroppedDown();
    if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        {
            const FlagGuard guard(FInternalCall);
            FColorSelector->HandleKey(key, EditorEnabled(), dropped);
        }
        if (key == VK_RETURN && !handled && OnSelect)
            OnSelect(this);
        return true;
    }
    if (FColorSelectionStyle != csList || !FItemSelector)
        return used;
    return HandleListKey(key, ctrl, used, handled);
}

void TExColorPickerDropDown::HandleMouseWheelDown()
{
    TExCustomDropDown::HandleMouseWheelDown();
    Wheel(true);
}

void TExColorPickerDropDown::HandleMouseWheelUp()
{
    TExCustomDropDown::HandleMouseWheelUp();
    Wheel(false);
}

void TExColorPickerDropDown::Wheel(bool down)
{
    if (!isEnabled() || ReadOnly())
        return;
    if (FColorSelectionStyle == csList) {
        ListWheel(down);
    } else if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        const FlagGuard guard(FInternalCall);
        if (DroppedDown())
            down ? FColorSelector->HotNext() : FColorSelector->HotPrevious();
        else
            down ? FColorSelector->SelectNext() : FColorSelector->SelectPrevious();
    }
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TExColorPickerDropDown::PaintEditArea(TCanvas& c)
{
    const TRect area = Rect(1, 1, width() - DropDownButtonWidth() - 2, height() - 2);
    if (OnDrawSelectedColor) {
        OnDrawSelectedColor(this, c, area);
        return;
    }
    if (FSelectedColor == clNone)
        return;
    const int left = 5, top = (height() - FColorBoxHeight) / 2 + 1;
    c.Pen().SetColor(clBlack);
    c.Pen().SetWidth(1);
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(FSelectedColor);
    c.Rectangle(left, top, left + FColorBoxWidth, top + FColorBoxHeight);
    if (!FShowText)
        return;
    TRect r = Rect(left + FColorBoxWidth + 4, area.Top, area.Right, area.Bottom);
    if (r.Right <= r.Left)
        return;
    const bool focused = hasFocus();
    TFont f;
    f.SetName(font().family());
    if (font().pointSize() > 0)
        f.SetSize(font().pointSize());
    f.SetColor(focused && !EditorEnabled() ? clHighlightText : clWindowText);
    c.SetFont(f);
    c.Brush().SetColor(focused ? clHighlight : Color());
    c.FillRect(r);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.DrawText(SelectedColorText(), r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}
