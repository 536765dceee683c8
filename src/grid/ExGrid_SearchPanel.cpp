// The search footer: its panel with the find field, buttons and match-case
// box, and the refresh that copies the footer's settings into the panel and
// lays it out.
#include "grid/ExGrid.h"

#include "widgets/ExUtil.h"

using namespace platform;

namespace {

// Layout of the panel's controls (pixels).
constexpr int PanelHeight = 32;
constexpr int ButtonHeight = 23;
constexpr int CheckHeight = 18;
constexpr int MatchCaseLeftWithHighlight = 425;
constexpr int MatchCaseLeft = 330;

platform::TBitmap PanelGlyph(const char* name)
{
    TBitmap b;
    RegisterExGridResources();
    try {
        LoadBitmapResource(b, QString::fromLatin1(name));
    } catch (const std::exception&) {
        // A missing picture leaves the button without a glyph.
    }
    b.SetTransparent(true);
    return b;
}

} // namespace

// ---------------------------------------------------------------------------
// TSearchPanelButton
// ---------------------------------------------------------------------------

TSearchPanelButton::TSearchPanelButton(QWidget* parent) : TCustomControl(parent)
{
    setFocusPolicy(Qt::NoFocus);
    resize(75, ButtonHeight);
}

void TSearchPanelButton::SetCaption(const QString& v)
{
    FCaption = v;
    update();
}

void TSearchPanelButton::SetFlat(bool v)
{
    FFlat = v;
    update();
}

void TSearchPanelButton::SetDown(bool v)
{
    FDown = v;
    update();
}

void TSearchPanelButton::SetShowHint(bool v)
{
    FShowHint = v;
    ApplyHint();
}

void TSearchPanelButton::SetHintText(const QString& v)
{
    FHintText = v;
    ApplyHint();
}

void TSearchPanelButton::ApplyHint() { SetHint(FShowHint ? FHintText : QString()); }

void TSearchPanelButton::SetGlyph(const TBitmap& v)
{
    FGlyph.Assign(v);
    update();
}

void TSearchPanelButton::SetGlyphDisabled(const TBitmap& v)
{
    FGlyphDisabled.Assign(v);
    update();
}

void TSearchPanelButton::SetGlyphHot(const TBitmap& v)
{
    FGlyphHot.Assign(v);
    update();
}

void TSearchPanelButton::SetGlyphDown(const TBitmap& v)
{
    FGlyphDown.Assign(v);
    update();
}

void TSearchPanelButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    FPressed = button == mbLeft;
    update();
    TCustomControl::MouseDown(button, shift, x, y);
}

void TSearchPanelButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    FPressed = false;
    update();
    TCustomControl::MouseUp(button, shift, x, y);
}

void TSearchPanelButton::Paint()
{
    TCanvas& c = Canvas();
    TRect r = ClientRect();
    const bool down = FDown || FPressed;
    // A button of a glyph alone (the close button) draws no face.
    const bool face = !FCaption.isEmpty();
    if (face) {
        c.Brush().SetColor(down ? clBtnShadow : clBtnFace);
        if (FFlat && !down && !MouseInControl())
            c.Brush().SetStyle(bsClear);
        else
            c.FillRect(r);
        if (!FFlat || down || MouseInControl()) {
            c.Pen().SetColor(down ? clBtnShadow : clGray);
            c.Brush().SetStyle(bsClear);
            c.Rectangle(r);
        }
    }
    const TBitmap* glyph = &FGlyph;
    if (!isEnabled() && !FGlyphDisabled.Empty())
        glyph = &FGlyphDisabled;
    else if (FPressed && !FGlyphDown.Empty())
        glyph = &FGlyphDown;
    else if (MouseInControl() && !FGlyphHot.Empty())
        glyph = &FGlyphHot;
    c.Brush().SetStyle(bsClear);
    c.Font().SetColor(isEnabled() ? clBtnText : clGrayText);
    if (glyph->Empty()) {
        c.DrawText(FCaption, r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        return;
    }
    // Glyph and caption centred together, the glyph on the left.
    const int spacing = face ? 4 : 0;
    const int textWidth = face ? c.TextWidth(StripAccelerator(FCaption)) : 0;
    const int total = glyph->Width() + spacing + textWidth;
    const int left = r.Left + std::max(0, (r.Width() - total) / 2);
    c.Draw(left, r.Top + (r.Height() - glyph->Height()) / 2, *glyph);
    if (face) {
        TRect t = r;
        t.Left = left + glyph->Width() + spacing;
        c.DrawText(FCaption, t, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    }
}

// ---------------------------------------------------------------------------
// TSearchPanel
// ---------------------------------------------------------------------------

TSearchPanel::TSearchPanel(QWidget* owner)
    : TPanel(owner), FEdit(new TEdit(this)), FForwardButton(new TSearchPanelButton(this)),
      FBackwardButton(new TSearchPanelButton(this)), FHiliteButton(new TSearchPanelButton(this)),
      FExitButton(new TSearchPanelButton(this)), FMatchCase(new TCheckBox(this))
{
    SetBevelOuter(bvNone);
    FEdit->SetBounds(25, 6, 110, FEdit->Height());
    FForwardButton->SetBounds(140, 5, 90, ButtonHeight);
    FForwardButton->SetGlyph(PanelGlyph("ESGARDOWN"));
    FForwardButton->SetGlyphDisabled(PanelGlyph("ESGARDOWND"));
    FBackwardButton->SetBounds(235, 5, 90, ButtonHeight);
    FBackwardButton->SetGlyph(PanelGlyph("ESGARUP"));
    FBackwardButton->SetGlyphDisabled(PanelGlyph("ESGARUPD"));
    FExitButton->SetBounds(5, 7, 14, 14);
    FExitButton->SetGlyph(PanelGlyph("ESGCLOSE"));
    FExitButton->SetGlyphHot(PanelGlyph("ESGCLOSEH"));
    FExitButton->SetGlyphDown(PanelGlyph("ESGCLOSED"));
    FHiliteButton->SetBounds(330, 5, 90, ButtonHeight);
    FHiliteButton->SetGlyph(PanelGlyph("ESGHI"));
    FHiliteButton->SetGlyphDisabled(PanelGlyph("ESGHID"));
    FMatchCase->SetBounds(MatchCaseLeftWithHighlight, 8, 120, CheckHeight);
    resize(width(), 0);
}

void TSearchPanel::SetColorTo(TColor v)
{
    FColorTo = v;
    update();
}

void TSearchPanel::Paint()
{
    TCanvas& c = Canvas();
    const TRect r = ClientRect();
    if (FColorTo == clNone) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(Color());
        c.FillRect(r);
    } else {
        DrawSteppedGradient(c, Color(), FColorTo, false, r, 32);
    }
    if (const auto* grid = dynamic_cast<const TExStringGrid*>(parentWidget())) {
        c.Pen().SetColor(grid->GridLineColor());
        c.Pen().SetWidth(1);
        c.MoveTo(r.Left, r.Top);
        c.LineTo(r.Right, r.Top);
    }
}

// ---------------------------------------------------------------------------
// The grid's part
// ---------------------------------------------------------------------------

TSearchPanel* TExStringGrid::SearchPanel()
{
    if (!FSearchPanel) {
        FSearchPanel = new TSearchPanel(this);
        FSearchPanel->SetVisible(false);
        TSearchPanel& p = *FSearchPanel;
        // Nothing to find in an empty field.
        for (TSearchPanelButton* b : {p.ForwardButton(), p.BackwardButton(), p.HiliteButton()})
            b->SetEnabled(false);
        p.EditControl()->OnChange = [this](QObject*) { SearchFooterEditChange(); };
        // Enter finds the next match, Ctrl+Enter the previous one.
        p.EditControl()->OnKeyDown = [this](QObject*, int& key, TShiftState shift) {
            if (key != VK_RETURN)
                return;
            key = 0;
            if (shift & ssCtrl)
                SearchFooterFindPrevious();
            else
                SearchFooterFindNext();
        };
        p.ForwardButton()->OnClick = [this](QObject*) { SearchFooterFindNext(); };
        p.BackwardButton()->OnClick = [this](QObject*) { SearchFooterFindPrevious(); };
        p.ExitButton()->OnClick = [this](QObject*) { SearchFooterClose(); };
        p.HiliteButton()->OnClick = [this](QObject*) {
            FSearchPanel->HiliteButton()->SetDown(!FSearchPanel->HiliteButton()->Down());
            SearchFooterHighlight();
        };
        if (OnCreatedSearchFooter)
            OnCreatedSearchFooter(this);
    }
    return FSearchPanel;
}

int TExStringGrid::SearchPanelHeight() const
{
    // A panel not laid out yet stands for what its refresh will give it.
    if (FSearchPanel)
        return FSearchPanel->Height();
    return FSearchFooter->Visible() ? PanelHeight : 0;
}

void TExStringGrid::UpdateSearchPanel()
{
    if (Loading())
        return;
    // A hidden footer needs no panel until it is shown.
    if (!FSearchPanel && !FSearchFooter->Visible())
        return;
    TSearchFooter& sf = *FSearchFooter;
    TSearchPanel& p = *SearchPanel();
    // Marks left by a highlight that is switched off go before the panel changes.
    if ((p.HiliteButton()->Down() && p.isVisible() && !sf.Visible()) || sf.AlwaysHighLight())
        UnHilightInGrid(false);

    p.SetColor(sf.Color());
    p.SetColorTo(sf.ColorTo());
    p.SetVisible(sf.Visible());

    p.FFindNextCaption = sf.FindNextCaption();
    p.FFindPrevCaption = sf.FindPrevCaption();
    p.FMatchCaseCaption = sf.MatchCaseCaption();
    p.FHighLightCaption = sf.HighLightCaption();
    p.ForwardButton()->SetCaption(sf.FindNextCaption());
    p.BackwardButton()->SetCaption(sf.FindPrevCaption());
    p.MatchCase()->SetCaption(sf.MatchCaseCaption());
    p.HiliteButton()->SetCaption(sf.HighLightCaption());

    p.FHintFindNext = sf.HintFindNext();
    p.FHintFindPrev = sf.HintFindPrev();
    p.FHintClose = sf.HintClose();
    p.FHintHighlight = sf.HintHighlight();
    p.SetFont(sf.Font());

    bool flat = true;
    switch (FControlLook->ControlStyle()) {
    case csFlat: flat = true; break;
    case csWinXP:
    case csTheme: flat = !FAutoThemeAdapt; break;
    case csClassic: flat = false; break;
    default: break;
    }
    if (FAutoThemeAdapt)
        flat = true;
    for (TSearchPanelButton* b : {p.ForwardButton(), p.BackwardButton(), p.HiliteButton()}) {
        b->SetAutoThemeAdapt(FAutoThemeAdapt);
        b->SetFlat(flat);
    }
    p.ExitButton()->SetFlat(flat);

    p.HiliteButton()->SetVisible(sf.ShowHighLight());
    p.ExitButton()->SetVisible(sf.ShowClose());
    p.MatchCase()->SetVisible(sf.ShowMatchCase());
    p.MatchCase()->setAttribute(Qt::WA_TranslucentBackground, true);
    p.BackwardButton()->SetVisible(sf.ShowFindPrev());
    p.ForwardButton()->SetVisible(sf.ShowFindNext());

    auto hint = [](TSearchPanelButton* b, const QString& text) {
        b->SetHintText(text);
        b->SetShowHint(!text.isEmpty());
    };
    hint(p.ExitButton(), sf.HintClose());
    hint(p.ForwardButton(), sf.HintFindNext());
    hint(p.BackwardButton(), sf.HintFindPrev());
    hint(p.HiliteButton(), sf.HintHighlight());

    p.MatchCase()->SetLeft(p.HiliteButton()->Visible() ? MatchCaseLeftWithHighlight : MatchCaseLeft);
    for (TSearchPanelButton* b : {p.ForwardButton(), p.BackwardButton(), p.HiliteButton()})
        b->SetHeight(b->Visible() ? ButtonHeight : 0);
    p.MatchCase()->SetHeight(p.MatchCase()->Visible() ? CheckHeight : 0);

    if (sf.Visible()) {
        p.SetAnchors(akLeft | akRight | akBottom);
        p.SetBounds(0, Height() - PanelHeight, Width(), PanelHeight);
        p.raise();
        ScrollLastRowAboveSearchFooter();
    } else {
        p.SetHeight(0);
    }
}
