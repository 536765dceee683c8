// The grid's looks: the look settings objects, the colour sets of the looks
// and styles, colour tones, XP schemes and the office theme, and the plain
// appearance properties of the string grid.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Editors.h"

#include "widgets/EsgHTMLE.h"
#include "widgets/ExDropDownLook.h"
#include "widgets/ExUtil.h"
#include "widgets/PictureContainer.h"

#include <QtGlobal>

#include <mutex>
#include <stdexcept>

using namespace platform;

static void InitExGridResources() { Q_INIT_RESOURCE(ExGrid); }

void RegisterExGridResources()
{
    static std::once_flag once;
    std::call_once(once, [] { InitExGridResources(); });
}

namespace {

template <class T>
bool Store(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

// ---------------------------------------------------------------------------
// TControlLook
// ---------------------------------------------------------------------------

TControlLook::TControlLook(TExStringGrid* grid)
    : FGrid(grid),
      FDropDownHeader(std::make_unique<THeaderAppearance>(grid)),
      FDropDownFooter(std::make_unique<TFooterAppearance>(grid))
{
    Init();
}

TControlLook::~TControlLook() = default;

void TControlLook::Repaint()
{
    if (FGrid)
        FGrid->Invalidate();
}

void TControlLook::Init()
{
    SetColor(clBlack);
    SetCommentColor(clRed);
    SetProgressBorderColor(clGray);
    SetFixedGradientFrom(clNone);
    SetFixedGradientTo(clNone);
    SetFixedGradientMirrorFrom(clNone);
    SetFixedGradientMirrorTo(clNone);
    SetFixedGradientHoverFrom(clGray);
    SetFixedGradientHoverTo(clWhite);
    SetFixedGradientHoverMirrorFrom(clNone);
    SetFixedGradientHoverMirrorTo(clNone);
    SetFixedGradientHoverBorder(clSilver);
    SetFixedGradientDownFrom(clGray);
    SetFixedGradientDownTo(clSilver);
    SetFixedGradientDownMirrorFrom(clNone);
    SetFixedGradientDownMirrorTo(clNone);
    SetFixedGradientDownBorder(clGray);
}

void TControlLook::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TControlLook*>(source);
    if (!s || s == this)
        return;
    FCheckSize = s->FCheckSize;
    FRadioSize = s->FRadioSize;
    FControlStyle = s->FControlStyle;
    FCheckedGlyph.Assign(s->FCheckedGlyph);
    FUnCheckedGlyph.Assign(s->FUnCheckedGlyph);
    FRadioOnGlyph.Assign(s->FRadioOnGlyph);
    FRadioOffGlyph.Assign(s->FRadioOffGlyph);
    FProgressMarginX = s->FProgressMarginX;
    FProgressMarginY = s->FProgressMarginY;
    FCommentColor = s->FCommentColor;
    FColor = s->FColor;
    FProgressBorderColor = s->FProgressBorderColor;
    FCheckAlwaysActive = s->FCheckAlwaysActive;
    FRadioAlwaysActive = s->FRadioAlwaysActive;
    // The copy takes the colours themselves; the grid's own stay as they are.
    FFixedGradientFrom = s->FFixedGradientFrom;
    FFixedGradientTo = s->FFixedGradientTo;
    FFixedGradientMirrorFrom = s->FFixedGradientMirrorFrom;
    FFixedGradientMirrorTo = s->FFixedGradientMirrorTo;
    FFixedGradientHoverFrom = s->FFixedGradientHoverFrom;
    FFixedGradientHoverTo = s->FFixedGradientHoverTo;
    FFixedGradientHoverMirrorFrom = s->FFixedGradientHoverMirrorFrom;
    FFixedGradientHoverMirrorTo = s->FFixedGradientHoverMirrorTo;
    FFixedGradientHoverBorder = s->FFixedGradientHoverBorder;
    FFixedGradientDownFrom = s->FFixedGradientDownFrom;
    FFixedGradientDownTo = s->FFixedGradientDownTo;
    FFixedGradientDownMirrorFrom = s->FFixedGradientDownMirrorFrom;
    FFixedGradientDownMirrorTo = s->FFixedGradientDownMirrorTo;
    FFixedGradientDownBorder = s->FFixedGradientDownBorder;
    FDropDownAlwaysVisible = s->FDropDownAlwaysVisible;
    FSpinButtonsAlwaysVisible = s->FSpinButtonsAlwaysVisible;
    FDropDownCount = s->FDropDownCount;
    FDropDownFooter->Assign(s->FDropDownFooter.get());
    FDropDownHeader->Assign(s->FDropDownHeader.get());
    FHintMaxWidth = s->FHintMaxWidth;
}

void TControlLook::SetColor(TColor v)
{
    FColor = v;
    Repaint();
}

void TControlLook::SetCommentColor(TColor v)
{
    FCommentColor = v;
    Repaint();
}

void TControlLook::SetCheckedGlyph(const TBitmap& v)
{
    FCheckedGlyph.Assign(v);
    Repaint();
}

void TControlLook::SetUnCheckedGlyph(const TBitmap& v)
{
    FUnCheckedGlyph.Assign(v);
    Repaint();
}

void TControlLook::SetRadioOnGlyph(const TBitmap& v)
{
    FRadioOnGlyph.Assign(v);
    Repaint();
}

void TControlLook::SetRadioOffGlyph(const TBitmap& v)
{
    FRadioOffGlyph.Assign(v);
    Repaint();
}

void TControlLook::SetCheckSize(int v)
{
    FCheckSize = v;
    Repaint();
}

void TControlLook::SetRadioSize(int v)
{
    FRadioSize = v;
    Repaint();
}

void TControlLook::SetControlStyle(TControlStyle v)
{
    FControlStyle = v;
    Repaint();
}

void TControlLook::SetDropDownAlwaysVisible(bool v)
{
    FDropDownAlwaysVisible = v;
    Repaint();
}

void TControlLook::SetSpinButtonsAlwaysVisible(bool v)
{
    FSpinButtonsAlwaysVisible = v;
    Repaint();
}

void TControlLook::SetDropDownHeader(const THeaderAppearance& v) { FDropDownHeader->Assign(&v); }

void TControlLook::SetDropDownFooter(const TFooterAppearance& v) { FDropDownFooter->Assign(&v); }

void TControlLook::SetFlatButton(bool v)
{
    FFlatButton = v;
    Repaint();
}

void TControlLook::SetNoDisabledCheckRadioLook(bool v)
{
    FNoDisabledCheckRadioLook = v;
    Repaint();
}

void TControlLook::SetNoDisabledButtonLook(bool v)
{
    FNoDisabledButtonLook = v;
    Repaint();
}

void TControlLook::SetProgressMarginX(int v)
{
    FProgressMarginX = v;
    Repaint();
}

void TControlLook::SetProgressMarginY(int v)
{
    FProgressMarginY = v;
    Repaint();
}

void TControlLook::SetProgressXP(bool v)
{
    FProgressXP = v;
    Repaint();
}

// The fixed gradient colours: "unless none" colours leave the grid's colour
// alone when they are none, mirror colours always pass on.
#define CL_GRADIENT(name, gridSetter, always)                                                                          \
    void TControlLook::Set##name(TColor v)                                                                             \
    {                                                                                                                  \
        F##name = v;                                                                                                   \
        if (FGrid && ((always) || v != clNone))                                                                        \
            FGrid->gridSetter(v);                                                                                      \
    }

CL_GRADIENT(FixedGradientFrom, SetQRVGradientFrom, false)
CL_GRADIENT(FixedGradientTo, SetQRVGradientTo, false)
CL_GRADIENT(FixedGradientMirrorFrom, SetQRVGradientMirrorFrom, true)
CL_GRADIENT(FixedGradientMirrorTo, SetQRVGradientMirrorTo, true)
CL_GRADIENT(FixedGradientHoverFrom, SetQRVGradientHoverFrom, false)
CL_GRADIENT(FixedGradientHoverTo, SetQRVGradientHoverTo, false)
CL_GRADIENT(FixedGradientHoverMirrorFrom, SetQRVGradientHoverMirrorFrom, true)
CL_GRADIENT(FixedGradientHoverMirrorTo, SetQRVGradientHoverMirrorTo, true)
CL_GRADIENT(FixedGradientHoverBorder, SetQRVGradientHoverBorder, false)
CL_GRADIENT(FixedGradientDownFrom, SetQRVGradientDownFrom, false)
CL_GRADIENT(FixedGradientDownTo, SetQRVGradientDownTo, false)
CL_GRADIENT(FixedGradientDownMirrorFrom, SetQRVGradientDownMirrorFrom, true)
CL_GRADIENT(FixedGradientDownMirrorTo, SetQRVGradientDownMirrorTo, true)
CL_GRADIENT(FixedGradientDownBorder, SetQRVGradientDownBorder, false)

#undef CL_GRADIENT

// ---------------------------------------------------------------------------
// TBackGround, progress appearance, balloon settings
// ---------------------------------------------------------------------------

void TBackGround::Changed()
{
    if (FGrid)
        FGrid->Invalidate();
}

void TBackGround::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TBackGround*>(source);
    if (!s || s == this)
        return;
    FTop = s->FTop;
    FLeft = s->FLeft;
    FDisplay = s->FDisplay;
    FBitmap.Assign(s->FBitmap);
    FCells = s->FCells;
    FColor = s->FColor;
    FColorTo = s->FColorTo;
    Changed();
}

void TBackGround::SetTop(int v)
{
    FTop = v;
    Changed();
}

void TBackGround::SetLeft(int v)
{
    FLeft = v;
    Changed();
}

void TBackGround::SetDisplay(TBackGroundDisplay v)
{
    FDisplay = v;
    Changed();
}

void TBackGround::SetBitmap(const TBitmap& v)
{
    FBitmap.Assign(v);
    Changed();
}

void TBackGround::SetCells(TBackGroundCells v)
{
    FCells = v;
    Changed();
}

void TBackGround::SetColor(TColor v)
{
    FColor = v;
    Changed();
}

void TBackGround::SetColorTo(TColor v)
{
    FColorTo = v;
    Changed();
}

void TGridProgressAppearance::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TGridProgressAppearance*>(source);
    if (!s || s == this)
        return;
    FCompleteColor = s->FCompleteColor;
    FCompleteFontColor = s->FCompleteFontColor;
    FUnCompleteColor = s->FUnCompleteColor;
    FUnCompleteFontColor = s->FUnCompleteFontColor;
    FLevel0Color = s->FLevel0Color;
    FLevel0ColorTo = s->FLevel0ColorTo;
    FLevel1Color = s->FLevel1Color;
    FLevel1ColorTo = s->FLevel1ColorTo;
    FLevel2Color = s->FLevel2Color;
    FLevel2ColorTo = s->FLevel2ColorTo;
    FLevel3Color = s->FLevel3Color;
    FLevel3ColorTo = s->FLevel3ColorTo;
    FLevel1Perc = s->FLevel1Perc;
    FLevel2Perc = s->FLevel2Perc;
    FBorderColor = s->FBorderColor;
    FShowBorder = s->FShowBorder;
    FStacked = s->FStacked;
    FShowPercentage = s->FShowPercentage;
    FCompletionSmooth = s->FCompletionSmooth;
    FShowGradient = s->FShowGradient;
    FSteps = s->FSteps;
    FStyle = s->FStyle;
    Changed();
}

void TBalloonSettings::Assign(const TPersistent* source)
{
    const auto* s = dynamic_cast<const TBalloonSettings*>(source);
    if (!s || s == this)
        return;
    FTextColor = s->FTextColor;
    FBackgroundColor = s->FBackgroundColor;
    FInitialDelay = s->FInitialDelay;
    FAutoHideDelay = s->FAutoHideDelay;
    FReshowDelay = s->FReshowDelay;
    FEnable = s->FEnable;
}

void TBalloonSettings::SetEnable(bool v)
{
    FEnable = v;
    if (OnEnableChange)
        OnEnableChange(this);
}

// ---------------------------------------------------------------------------
// Sort header colours
// ---------------------------------------------------------------------------

void TSortSettings::RepaintHeader()
{
    if (FOwner && FOwner->FixedRows() > 0)
        FOwner->RepaintRow(FOwner->FixedRows() - 1);
}

void TSortSettings::SetHeaderColor(TColor v)
{
    FHeaderColor = v;
    RepaintHeader();
}

void TSortSettings::SetHeaderColorTo(TColor v)
{
    FHeaderColorTo = v;
    RepaintHeader();
}

void TSortSettings::SetHeaderMirrorColor(TColor v)
{
    FHeaderMirrorColor = v;
    RepaintHeader();
}

void TSortSettings::SetHeaderMirrorColorTo(TColor v)
{
    FHeaderMirrorColorTo = v;
    RepaintHeader();
}

// ---------------------------------------------------------------------------
// Looks of the grid
// ---------------------------------------------------------------------------

QString GridLookName(TGridLook look)
{
    switch (look) {
    case glStandard: return QStringLiteral("glStandard");
    case glSoft: return QStringLiteral("glSoft");
    case glClassic: return QStringLiteral("glClassic");
    case glQRV: return QStringLiteral("glQRV");
    case glXP: return QStringLiteral("glXP");
    case glListView: return QStringLiteral("glListView");
    case glVista: return QStringLiteral("glVista");
    case glWin7: return QStringLiteral("glWin7");
    case glOffice2007: return QStringLiteral("glOffice2007");
    case glCustom: break;
    }
    return QString();
}

QString GridLookText(TGridLook look)
{
    switch (look) {
    case glStandard: return QStringLiteral("Standard");
    case glSoft: return QStringLiteral("Soft");
    case glClassic: return QStringLiteral("Classic");
    case glQRV: return QStringLiteral("QRV");
    case glXP: return QStringLiteral("Windows XP");
    case glListView: return QStringLiteral("ListView");
    case glVista: return QStringLiteral("Windows Vista");
    case glWin7: return QStringLiteral("Windows 7");
    case glOffice2007: return QStringLiteral("Office2007");
    case glCustom: break;
    }
    return QString();
}

void TExStringGrid::SetLook(TGridLook v)
{
    if (v == FLook)
        return;
    FLook = v;
    TControlLook& cl = *FControlLook;
    if (v != glCustom) {
        cl.SetFixedGradientMirrorFrom(clNone);
        cl.SetFixedGradientMirrorTo(clNone);
        cl.SetFixedGradientFrom(clNone);
        cl.SetFixedGradientTo(clNone);
        FQRVGradientFrom = FQRVGradientTo = FQRVGradientMirrorFrom = FQRVGradientMirrorTo = clNone;
        FSortSettings->SetHeaderColor(clNone);
    }
    if (v == glVista) {
        SetStyle(tsWindowsVista);
        FQRVStyle = tsWindowsVista;
        SetSelectionStyle(ssVista);
    } else if (v == glWin7) {
        SetStyle(tsWindows7);
        FQRVStyle = tsWindows7;
        SetSelectionStyle(ssWin7);
    } else if (v == glOffice2007) {
        SetStyle(tsOffice2007Luna);
        FQRVStyle = tsOffice2007Luna;
        SetSelectionStyle(ssOffice2007);
    } else if (v != glCustom) {
        if (!Designing())
            DropDownEditorsTakeComponentStyle(tsWindowsXP);
        SetSelectionStyle(ssDefault);
        if (!Loading())
            ApplyLookColors(v);
    }
    FScrollType = ssNormal;
    SetBorderStyle(platform::bsSingle);
    FBorderColor = 0xB99D7F;
    Invalidate();
    if (!Loading())
        UpdateFooter();
}

void TExStringGrid::ApplyLookColors(TGridLook v)
{
    TControlLook& cl = *FControlLook;
    if (v == glStandard || v == glSoft || v == glClassic) {
        SetFixedColor(clBtnFace);
        cl.SetFixedGradientFrom(clBtnFace);
        cl.SetFixedGradientTo(clNone);
    } else {
        cl.SetFixedGradientFrom(clWhite);
        cl.SetFixedGradientTo(clBtnFace);
    }
    SetGridFixedLineColor(0x808080);
    cl.SetFixedGradientMirrorFrom(clNone);
    cl.SetFixedGradientMirrorTo(clNone);
    FQRVGradientMirrorFrom = FQRVGradientMirrorTo = clNone;
    SetGridLineColor(clSilver);
    if (v != glQRV && v != glXP) {
        SetActiveCellColor(0x808080);
        SetActiveCellColorTo(clNone);
        SetSelectionColor(clHighlight);
        SetSelectionTextColor(clHighlightText);
        FSearchFooter->SetColor(clBtnFace);
        FSearchFooter->SetColorTo(clBtnFace);
        return;
    }
    SetActiveCellColor(0xEACAB6);
    SetSelectionColor(0xEACAB6);
    SetActiveCellColorTo(clNone);
    SetSelectionColorTo(clNone);
    SetSelectionTextColor(clBlack);
    FSearchFooter->SetColor(FQRVGradientFrom);
    FSearchFooter->SetColorTo(FQRVGradientTo);
    cl.SetFixedGradientFrom(clWhite);
    cl.SetFixedGradientTo(v == glXP ? clBtnFace : clSilver);
    cl.SetFixedGradientHoverFrom(0xCFD0D1);
    cl.SetFixedGradientHoverTo(0xBEC6C8);
    cl.SetFixedGradientHoverMirrorFrom(0xBEC6C8);
    cl.SetFixedGradientHoverMirrorTo(0xABBCBF);
    cl.SetFixedGradientDownFrom(0x868788);
    cl.SetFixedGradientDownTo(0x737C7E);
    cl.SetFixedGradientDownMirrorFrom(0x737C7E);
    cl.SetFixedGradientDownMirrorTo(0x627376);
}

namespace {

void SetLines(TExStringGrid& g, TColor normal, TColor fixed)
{
    g.SetGridLineColor(normal);
    g.SetGridFixedLineColor(fixed);
}

void SetGradient(TExStringGrid& g, TColor from, TColor to)
{
    g.SetQRVGradientFrom(from);
    g.SetQRVGradientTo(to);
}

void SetMirror(TExStringGrid& g, TColor from, TColor to)
{
    g.SetQRVGradientMirrorFrom(from);
    g.SetQRVGradientMirrorTo(to);
}

void SetActiveCell(TExStringGrid& g, TColor from, TColor to)
{
    g.SetActiveCellColor(from);
    g.SetActiveCellColorTo(to);
}

void SetSortHeader(TSortSettings& s, TColor from, TColor to, TColor mirrorFrom, TColor mirrorTo)
{
    s.SetHeaderColor(from);
    s.SetHeaderColorTo(to);
    s.SetHeaderMirrorColor(mirrorFrom);
    s.SetHeaderMirrorColorTo(mirrorTo);
}

} // namespace

void TExStringGrid::SetStyle(TQRVStyle style)
{
    TControlLook& cl = *FControlLook;
    TSearchFooter& sf = *FSearchFooter;
    SetSelectionColor(clHighlight);
    SetSelectionColorTo(clNone);
    SetSelectionTextColor(clHighlightText);
    SetSelectionStyle(ssDefault);
    // The sort header colours change without a repaint of their own.
    TSortSettings quiet;
    quiet.Assign(FSortSettings.get());
    quiet.SetHeaderColor(clNone);
    quiet.SetHeaderColorTo(clNone);
    quiet.SetHeaderMirrorColor(clNone);
    quiet.SetHeaderMirrorColorTo(clNone);
    FSortSettings->Assign(&quiet);
    cl.Init();

    // A style colour first, then the grid's mirror end colour (none here).
    auto footer = [&](TColor color, TColor colorTo) {
        sf.SetColor(color);
        sf.SetColorTo(colorTo);
        sf.SetColorTo(FQRVGradientMirrorTo);
    };
    auto office2003 = [&](TColor from, TColor to) {
        SetLook(glXP);
        SetActiveCell(*this, 0x94E6FB, 0x1595EE);
        SetGradient(*this, from, to);
        SetMirror(*this, clNone, clNone);
        cl.SetFixedGradientFrom(from);
        cl.SetFixedGradientTo(to);
        SetLines(*this, 0xC0C0C0, 0x808080);
        footer(from, clNone);
        SetSelectionColor(0x94E6FB);
        SetSelectionColorTo(0x1595EE);
        SetSelectionTextColor(clBlack);
    };
    auto office2010 = [&](TColor g, TColor sortHeader, TColor fixedLines) {
        SetLook(glOffice2007);
        SetActiveCell(*this, 0x5BD5FF, 0x71EFFF);
        SetGradient(*this, g, g);
        SetMirror(*this, g, g);
        SetQRVGradientHoverFrom(clNone);
        SetQRVGradientHoverTo(clNone);
        SetQRVGradientHoverBorder(clNone);
        cl.SetFixedGradientFrom(g);
        cl.SetFixedGradientTo(g);
        cl.SetFixedGradientMirrorFrom(g);
        cl.SetFixedGradientMirrorTo(g);
        cl.SetFixedGradientHoverFrom(0x6BDFFF);
        cl.SetFixedGradientHoverTo(0xAFEFFF);
        cl.SetFixedGradientHoverMirrorFrom(0xAFEFFF);
        cl.SetFixedGradientHoverMirrorTo(0xE6FCFF);
        cl.SetFixedGradientHoverBorder(0x3ABFE8);
        cl.SetFixedGradientDownFrom(0x5BD5FF);
        cl.SetFixedGradientDownTo(0x64E0FF);
        cl.SetFixedGradientDownMirrorFrom(0x64E0FF);
        cl.SetFixedGradientDownMirrorTo(0x71EFFF);
        cl.SetFixedGradientDownBorder(0x308AC2);
        SetSortHeader(*FSortSettings, sortHeader, sortHeader, sortHeader, sortHeader);
        cl.SetFixedGradientFrom(clNone);
        cl.SetFixedGradientTo(clNone);
        SetSelectionColor(0xFFDBB7);
        SetSelectionTextColor(clBlack);
        sf.SetColor(FQRVGradientFrom);
        sf.SetColorTo(FQRVGradientMirrorTo);
        SetSelectionStyle(ssDefault);
        SetLines(*this, 0xC0C0C0, fixedLines);
    };

    switch (style) {
    case tsOffice2003Blue: office2003(0xFCE1CB, 0xE0A57D); break;
    case tsOffice2003Silver: office2003(0xECE2E1, 0xB39698); break;
    case tsOffice2003Olive: office2003(0xCFF0EA, 0x8CC0B1); break;
    case tsOffice2003Classic:
        SetLook(glXP);
        SetActiveCell(*this, 0xD8D5D4, 0xD8D5D4);
        SetGradient(*this, clWhite, 0xCCD4D8);
        cl.SetFixedGradientFrom(clNone);
        cl.SetFixedGradientTo(clNone);
        SetLines(*this, 0xC0C0C0, 0x808080);
        footer(clWhite, clNone);
        break;
    case tsOffice2007Luna:
        SetLook(glOffice2007);
        SetActiveCell(*this, 0x9DD8F9, 0x5EC1F1);
        SetGradient(*this, 0xFBF9F6, 0xE8DBD2);
        cl.SetFixedGradientFrom(0xFBF9F6);
        cl.SetFixedGradientTo(0xE8DBD2);
        SetLines(*this, 0xF1EDEB, 0xD1BBA4);
        SetSelectionColor(0x5EC1F1);
        SetSelectionTextColor(clBlack);
        footer(0xFBF9F6, clNone);
        cl.SetFixedGradientHoverFrom(0xE4E2DF);
        cl.SetFixedGradientHoverTo(0xDBD3CD);
        cl.SetFixedGradientHoverMirrorFrom(0xDBD3CD);
        cl.SetFixedGradientHoverMirrorTo(0xD2C5BC);
        cl.SetFixedGradientHoverBorder(0xB79F87);
        cl.SetFixedGradientDownFrom(0xE4C19D);
        cl.SetFixedGradientDownTo(0xE4C19D);
        cl.SetFixedGradientDownMirrorFrom(0xE4C19D);
        cl.SetFixedGradientDownMirrorTo(0xE4C19D);
        cl.SetFixedGradientDownBorder(0xE4C19D);
        SetSelectionStyle(ssOffice2007);
        break;
    case tsOffice2007Obsidian:
        SetLook(glOffice2007);
        SetActiveCell(*this, 0x9DD8F9, 0x5EC1F1);
        SetGradient(*this, 0xF7F7F7, 0xDEDEDE);
        cl.SetFixedGradientFrom(0xF7F7F7);
        cl.SetFixedGradientTo(0xDEDEDE);
        SetLines(*this, 0xE5D7D0, 0x808080);
        SetSelectionColor(0x5EC1F1);
        SetSelectionTextColor(clBlack);
        footer(0xF7F7F7, clNone);
        break;
    case tsWindowsXP:
        SetLook(glXP);
        SetActiveCell(*this, clBtnFace, clBtnFace);
        SetGradient(*this, clBtnFace, clBtnFace);
        cl.SetFixedGradientFrom(clNone);
        cl.SetFixedGradientTo(clNone);
        SetLines(*this, 0xC0C0C0, 0x808080);
        footer(clBtnFace, clNone);
        break;
    case tsWhidbey:
        SetActiveCell(*this, 0x94E6FB, 0x1595EE);
        SetGradient(*this, clWhite, clBtnFace);
        cl.SetFixedGradientFrom(clNone);
        cl.SetFixedGradientTo(clNone);
        SetLines(*this, 0xC0C0C0, 0x808080);
        footer(clWhite, clNone);
        break;
    case tsCustom: break;
    case tsOffice2007Silver:
        SetLook(glOffice2007);
        SetActiveCell(*this, 0x99CCFF, 0x699CFF);
        SetGradient(*this, 0xF3F3F1, 0xCAC9C8);
        cl.SetFixedGradientFrom(0xF3F3F1);
        cl.SetFixedGradientTo(0xCAC9C8);
        SetLines(*this, 0xE5D7D0, 0x808080);
        SetSelectionColor(0x95C7F5);
        SetSelectionTextColor(clBlack);
        sf.SetColor(0xF3F3F1);
        sf.SetColorTo(FQRVGradientMirrorTo);
        break;
    case tsWindowsVista:
        SetLook(glVista);
        SetActiveCell(*this, 0xFDF8F1, 0xFCEFD5);
        SetGradient(*this, clWhite, clWhite);
        SetMirror(*this, 0xFAF8F7, 0xF4F2F1);
        SetQRVGradientHoverFrom(0xFFF7E3);
        SetQRVGradientHoverTo(0xFFF7E3);
        SetQRVGradientHoverMirrorFrom(0xFFEDBD);
        SetQRVGradientHoverMirrorTo(0xFBE7B7);
        SetQRVGradientHoverBorder(0xE3C993);
        cl.SetFixedGradientMirrorFrom(0xFAF8F7);
        cl.SetFixedGradientMirrorTo(0xF4F2F1);
        cl.SetFixedGradientHoverFrom(0xFFF7E3);
        cl.SetFixedGradientHoverTo(0xFFF7E3);
        cl.SetFixedGradientHoverMirrorFrom(0xFFEDBD);
        cl.SetFixedGradientHoverMirrorTo(0xFBE7B7);
        cl.SetFixedGradientHoverBorder(0xE3C993);
        cl.SetFixedGradientDownFrom(0xF9E4BC);
        cl.SetFixedGradientDownTo(0xF9E4BC);
        cl.SetFixedGradientDownMirrorFrom(0xF7D68D);
        cl.SetFixedGradientDownMirrorTo(0xF5D18A);
        cl.SetFixedGradientDownBorder(0xAE904F);
        SetSortHeader(*FSortSettings, 0xFCF9F2, 0xFCF9F2, 0xF9F1E1, 0xF6ECD8);
        cl.SetFixedGradientFrom(clNone);
        cl.SetFixedGradientTo(clNone);
        SetSelectionColor(0xEACAB6);
        SetSelectionTextColor(clBlack);
        sf.SetColor(clWhite);
        sf.SetColorTo(0xF4F2F1);
        SetSelectionStyle(ssVista);
        SetLines(*this, 0xECECF0, 0xD4D2D1);
        break;
    case tsWindows7:
        SetLook(glWin7);
        SetActiveCell(*this, 0xFCEBDC, 0xFCDBC1);
        SetGradient(*this, 0xFDFCFA, 0xFAF0E6);
        SetMirror(*this, 0xF4E6DC, 0xF7E9DD);
        SetQRVGradientHoverFrom(0xFDF8F3);
        SetQRVGradientHoverTo(0xF9F3EF);
        SetQRVGradientHoverMirrorFrom(clNone);
        SetQRVGradientHoverMirrorTo(clNone);
        SetQRVGradientHoverBorder(0xEEE8E3);
        cl.SetFixedGradientMirrorFrom(0xF4E6DC);
        cl.SetFixedGradientMirrorTo(0xF7E9DD);
        cl.SetFixedGradientHoverFrom(0xFEFBF8);
        cl.SetFixedGradientHoverTo(0xFAF2ED);
        cl.SetFixedGradientHoverMirrorFrom(0xF4E4D7);
        cl.SetFixedGradientHoverMirrorTo(0xE8D2C1);
        cl.SetFixedGradientDownFrom(0xF1E8DD);
        cl.SetFixedGradientDownTo(0xF1E4D8);
        cl.SetFixedGradientDownMirrorFrom(0xECDBCF);
        cl.SetFixedGradientDownMirrorTo(0xEDDCCF);
        cl.SetFixedGradientDownBorder(0xD5BCAA);
        SetSortHeader(*FSortSettings, 0xFCF9F2, 0xFCF9F2, 0xF9F1E1, 0xF6ECD8);
        cl.SetFixedGradientFrom(clNone);
        cl.SetFixedGradientTo(clNone);
        SetSelectionColor(0xEACAB6);
        SetSelectionTextColor(clBlack);
        sf.SetColor(0xFDFCFA);
        sf.SetColorTo(0xF7E9DD);
        SetSelectionStyle(ssWin7);
        SetLines(*this, 0xECECF0, 0xD4D2D1);
        break;
    case tsTerminal: SetLook(glStandard); break;
    case tsOffice2010Blue: office2010(0xF5E7DA, 0xD6CEC7, 0xC7B0A0); break;
    case tsOffice2010Silver: office2010(0xE8E3DF, 0xAAAAAA, 0xBAB5B1); break;
    case tsOffice2010Black: office2010(0x6A6A6A, 0xBABABA, 0x444444); break;
    }
    Invalidate();
}

void TExStringGrid::SetComponentStyle(TQRVStyle style)
{
    FQRVStyle = style;
    SetStyle(style);
    // The drop-down editors that exist take the style with them.
    DropDownEditorsTakeStyle();
    if (style != tsCustom && FScrollType == ssMetro)
        SetScrollType(ssNormal);
}

namespace {

// The buttons of the editors in the tones' colours; the date picker also
// turns to its Metro look.
void EditorsTakeTones(TExStringGrid& g, const TColorTones& tones)
{
    const TColor face = tones.Background.BrushColor, hot = tones.Hover.BrushColor, down = tones.Selected.BrushColor,
                 border = tones.Background.BorderColor;
    if (TGridEditBtn* edit = g.EditBtn()) {
        TExSpeedButton* b = edit->Button();
        b->ButtonColor = face;
        b->ButtonColorHot = hot;
        b->ButtonColorDown = down;
        b->ButtonBorderColor = border;
        b->update();
    }
    if (TGridCombo* combo = g.Combobox()) {
        combo->SetButtonColor(face);
        combo->SetButtonColorHot(hot);
        combo->SetButtonColorDown(down);
        combo->SetButtonBorderColor(border);
        combo->SetBorderColor(g.Color());
        combo->SetFlat(true);
    }
    TSpinButtonColors& spin = g.SpinEdit()->ButtonColors();
    spin.ButtonColor = face;
    spin.ButtonColorHot = hot;
    spin.ButtonColorDown = down;
    spin.ButtonBorderColor = border;
    g.SpinEdit()->update();
    TGridDatePicker* picker = g.DatePicker();
    picker->ButtonColor = face;
    picker->ButtonColorHot = hot;
    picker->ButtonColorDown = down;
    picker->ButtonBorderColor = border;
    picker->SetBorderColor(face);
    picker->SetMetroStyle(true);
}

} // namespace

void TExStringGrid::SetColorTones(const TColorTones& tones)
{
    FColorTones = tones;
    DropDownEditorsTakeStyle();
    SetLook(glClassic);
    SetFlat(true);
    SetScrollType(ssMetro);
    SetFixedColor(tones.Foreground.BrushColor);
    FFixedFont.SetColor(tones.Foreground.TextColor);
    FFixedFont.SetName(DefaultFontName());
    SetColor(tones.Background.BrushColor);
    TFont f = Font();
    f.SetName(DefaultFontName());
    f.SetColor(tones.Background.TextColor);
    SetFont(f);
    SetSelectionColor(tones.Selected.BrushColor);
    SetSelectionTextColor(tones.Selected.TextColor);
    SetSelectionColorTo(clNone);
    SetGridLineColor(0xE6E6E6);
    SetGridFixedLineColor(ScaleColor(tones.Foreground.BrushColor, -20));
    SetBorderStyle(platform::bsNone);
    RegisterExGridResources();
    TControlLook& cl = *FControlLook;
    cl.SetControlStyle(csGlyph);
    TBitmap glyph;
    LoadBitmapResource(glyph, QStringLiteral("metrocheckon"));
    cl.SetCheckedGlyph(glyph);
    LoadBitmapResource(glyph, QStringLiteral("metrocheckoff"));
    cl.SetUnCheckedGlyph(glyph);
    LoadBitmapResource(glyph, QStringLiteral("metroradiooff"));
    cl.SetRadioOffGlyph(glyph);
    LoadBitmapResource(glyph, QStringLiteral("metroradioon"));
    cl.SetRadioOnGlyph(glyph);
    if (!Designing())
        EditorsTakeTones(*this, tones);
    cl.SetFlatButton(true);
    FFloatingFooter->SetColor(tones.Foreground.BrushColor);
    FSearchFooter->SetColor(tones.Foreground.BrushColor);
    FSearchFooter->SetColorTo(tones.Foreground.BrushColor);
    FCellNode->SetNodeType(cnFlat);
}

void TExStringGrid::SetTheme(TXPColorScheme scheme)
{
    TColor from = clNone, to = clNone, mirrorFrom = clNone, mirrorTo = clNone;
    TColor footerFrom = clNone, footerTo = clNone;
    switch (scheme) {
    case xpBlue: from = footerFrom = 0xFCE1CB, to = footerTo = 0xE0A57D; break;
    case xpGreen: from = footerFrom = 0xCFF0EA, to = footerTo = 0x8CC0B1; break;
    case xpGray: from = footerFrom = 0xECE2E1, to = footerTo = 0xB39698; break;
    case vistaAero:
        from = to = clWhite;
        mirrorFrom = 0xFAF8F7;
        mirrorTo = 0xF4F2F1;
        footerFrom = 0xECE2E1;
        footerTo = 0xB39698;
        break;
    case xpNone:
        FActiveCellColor = clWhite;
        FActiveCellColorTo = 0xFFD9B3;
        FQRVGradientFrom = clWhite;
        FQRVGradientTo = ColorToRGB(clBtnFace);
        FQRVGradientMirrorFrom = FQRVGradientMirrorTo = clNone;
        FControlLook->SetFixedGradientFrom(clNone);
        FControlLook->SetFixedGradientTo(clNone);
        FSearchFooter->SetColor(clWhite);
        FSearchFooter->SetColorTo(0xFFD9B3);
        return;
    }
    FQRVGradientFrom = from;
    FQRVGradientTo = to;
    FQRVGradientMirrorFrom = mirrorFrom;
    FQRVGradientMirrorTo = mirrorTo;
    FActiveCellColor = 0x94E6FB;
    FActiveCellColorTo = 0x1595EE;
    FControlLook->SetFixedGradientFrom(from);
    FControlLook->SetFixedGradientTo(to);
    FSearchFooter->SetColor(footerFrom);
    FSearchFooter->SetColorTo(footerTo);
}

void TExStringGrid::AdaptToOfficeTheme()
{
    if (Designing())
        return;
    const TOfficeTheme theme = CurrentOfficeTheme();
    if (theme == FOfficeTheme)
        return;
    switch (theme) {
    case ot2003Blue: SetComponentStyle(tsOffice2003Blue); break;
    case ot2003Silver: SetComponentStyle(tsOffice2003Silver); break;
    case ot2003Olive: SetComponentStyle(tsOffice2003Olive); break;
    case ot2003Classic: SetComponentStyle(tsOffice2003Classic); break;
    case ot2007Blue: SetComponentStyle(tsOffice2007Luna); break;
    case ot2007Silver: SetComponentStyle(tsOffice2007Silver); break;
    case ot2007Black: SetComponentStyle(tsOffice2007Obsidian); break;
    case ot2010Blue: SetComponentStyle(tsOffice2010Blue); break;
    case ot2010Silver: SetComponentStyle(tsOffice2010Silver); break;
    case ot2010Black: SetComponentStyle(tsOffice2010Black); break;
    case otUnknown: break;
    }
    FOfficeTheme = theme;
}

// ---------------------------------------------------------------------------
// Plain appearance properties
// ---------------------------------------------------------------------------

#define QRV_COLOR(setter, field)                                                                                       \
    void TExStringGrid::setter(TColor v)                                                                               \
    {                                                                                                                  \
        field = ColorToRGB(v);                                                                                         \
        Invalidate();                                                                                                  \
    }

QRV_COLOR(SetQRVGradientHoverFrom, FQRVGradientHoverFrom)
QRV_COLOR(SetQRVGradientHoverTo, FQRVGradientHoverTo)
QRV_COLOR(SetQRVGradientHoverMirrorFrom, FQRVGradientHoverMirrorFrom)
QRV_COLOR(SetQRVGradientHoverMirrorTo, FQRVGradientHoverMirrorTo)
QRV_COLOR(SetQRVGradientHoverBorder, FQRVGradientHoverBorder)
QRV_COLOR(SetQRVGradientDownFrom, FQRVGradientDownFrom)
QRV_COLOR(SetQRVGradientDownTo, FQRVGradientDownTo)
QRV_COLOR(SetQRVGradientDownMirrorFrom, FQRVGradientDownMirrorFrom)
QRV_COLOR(SetQRVGradientDownMirrorTo, FQRVGradientDownMirrorTo)
QRV_COLOR(SetQRVGradientDownBorder, FQRVGradientDownBorder)

#undef QRV_COLOR

void TExStringGrid::SetBackGround(const TBackGround& v) { FBackGround->Assign(&v); }

void TExStringGrid::SetRowIndicator(const TBitmap& v)
{
    FRowIndicator.Assign(v);
    RepaintCell(0, Row());
}

void TExStringGrid::SetAutoThemeAdapt(bool v)
{
    if (!Store(FAutoThemeAdapt, v))
        return;
    FSearchFooter->SetAutoThemeAdapt(v);
    if (v) {
        AdaptToOfficeTheme();
        Invalidate();
    }
    // Registering with the theme notifier matters only where an office suite
    // reports its theme; on this desktop the notifier has nothing to report.
    if (!Designing() && HandleAllocated() && !Loading()) {
        if (TThemeNotifier* n = ThemeNotifier(this)) {
            if (v)
                n->RegisterWindow(this);
            else
                n->UnRegisterWindow(this);
        }
    }
}

bool TExStringGrid::IsHoverFixedCell(int aCol, int aRow)
{
    switch (FHoverFixedCells) {
    case hfAll: return aCol < FixedCols() || aRow < FixedRows();
    case hfFixedColumns: return aCol < FixedCols();
    case hfFixedRows: return aRow < FixedRows();
    default: return false;
    }
}

void TExStringGrid::SetHighlightColor(TColor v)
{
    if (!Store(FHighlightColor, v))
        return;
    StoreHighlightColors(FHighlightColor, FHighlightTextColor);
    Invalidate();
}

void TExStringGrid::SetHighlightTextColor(TColor v)
{
    if (!Store(FHighlightTextColor, v))
        return;
    StoreHighlightColors(FHighlightColor, FHighlightTextColor);
    Invalidate();
}

void TExStringGrid::SetURLColor(TColor v)
{
    if (Store(FURLColor, v) && FURLShow)
        Invalidate();
}

void TExStringGrid::SetURLShow(bool v)
{
    if (Store(FURLShow, v))
        Invalidate();
}

void TExStringGrid::SetURLFull(bool v)
{
    if (Store(FURLFull, v) && FURLShow)
        Invalidate();
}

void TExStringGrid::SetEnhTextSize(bool v)
{
    if (Store(FEnhTextSize, v))
        Invalidate();
}

void TExStringGrid::SetNoImageAndText(bool v)
{
    if (Store(FNoImageAndText, v))
        Invalidate();
}

void TExStringGrid::SetAutoNumAlign(bool v)
{
    if (Store(FAutoNumAlign, v))
        Invalidate();
}

void TExStringGrid::SetUseDisabledFont(bool v)
{
    if (Store(FUseDisabledFont, v))
        Invalidate();
}

void TExStringGrid::SetXYOffsetTopLeftOnly(bool v)
{
    if (Store(FXYOffsetTopLeftOnly, v))
        Invalidate();
}

void TExStringGrid::SetSelectionRectangleColor(TColor v)
{
    if (Store(FSelectionRectangleColor, v))
        Invalidate();
}

void TExStringGrid::SetPictureContainer(TPictureContainer* v)
{
    FPictureContainer = v;
    if (v)
        FreeNotification(v);
    Invalidate();
}

void TExStringGrid::RepaintActiveHeaders(int oldCol, int oldRow, int newCol, int newRow)
{
    auto repaint = [this](int c, int r) {
        if (FixedRows() > 0)
            RepaintCell(c, FixedRows() - 1);
        if (FixedCols() > 0)
            RepaintCell(FixedCols() - 1, r);
    };
    repaint(oldCol, oldRow);
    repaint(newCol, newRow);
}
