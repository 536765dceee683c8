#pragma once

// The string grid of the program: its data model (cells and typed values,
// dimensions, per-cell looks, hidden columns and rows with their index maps,
// selection, current cell and row marks), its cell graphic objects, its
// looks and painting, and its settings objects.
//
// Index spaces: a real column counts the hidden columns in; cells, cell
// properties and hidden columns are addressed by real column. A display
// column is a position on screen (Col, ColCount, widths, selection). Rows of
// the grid are display rows; hidden rows leave the grid for the hidden-row
// store, and real rows count them in.

#include "grid/EsgCheck.h"
#include "grid/ExGridExtras.h"
#include "grid/ExGridFilter.h"
#include "platform/HintWindow.h"
#include "widgets/BaseGrid.h"
#include "widgets/ExObj.h"
#include "widgets/ExStyleIF.h" // TQRVStyle, TColorTones
#include "widgets/ExUtil.h" // TDateTime, TCellShape
#include "widgets/PictureContainer.h" // the pictures of picture cells and of HTML text

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <vector>

class QIODevice;
namespace platform {
class TRichEdit;
class TPopupMenu;
}
class TExStringGrid;

// ---------------------------------------------------------------------------
// The grid's error
// ---------------------------------------------------------------------------

class REruVidaZuvez : public std::runtime_error
{
public:
    explicit REruVidaZuvez(const QString& message)
        : std::runtime_error(message.toStdString()), FMessage(message)
    {
    }
    QString Message() const { return FMessage; }

private:
    QString FMessage;
};

// ---------------------------------------------------------------------------
// Enumerations of the data model
// ---------------------------------------------------------------------------

enum class TGridLook { glStandard, glSoft, glClassic, glQRV, glXP, glListView, glVista, glWin7, glOffice2007, glCustom };
using enum TGridLook;

enum class TScrollBarAlways { saNone, saVert, saHorz, saBoth };
using enum TScrollBarAlways;

// The directions the middle button pans in.
enum class TIntelliPan { ipVertical, ipHorizontal, ipBoth, ipNone };
using enum TIntelliPan;

enum class TCellType
{
    ctBitmap, ctIcon, ctNone, ctImageList, ctCheckBox, ctDataCheckBox, ctRotated, ctDataImage, ctNode, ctRadio,
    ctEmpty, ctImages, ctPicture, ctFilePicture, ctValue, ctProgress, ctComment, ctButton, ctBitButton,
    ctVirtCheckBox, ctRowCheckBox, ctProgressPie, ctSummary, ctRangeIndicator, ctXPProgress, ctInterface,
    ctScrollbar, ctRadioButton, ctBalloon, ctShape, ctRating, ctTriStateCheckBox, ctExpand
};
using enum TCellType;

enum class TCellVAlign { vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull };
using enum TCellVAlign;
enum class TCellHAlign { haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull };
using enum TCellHAlign;

class TExStringGrid;
class THTMLPicture;
class TPictureContainer;
class THTMLPictureCache;
struct THTMLDrawResult;

// Pictures kept by picture cells (ctPicture): the HTML mini-language's
// picture, which reads any of the usual image formats.
using TCellPicture = THTMLPicture;

// The graphic object a cell may carry. CellBitmap and CellIcon hold, by kind,
// the application's objects (a file picture, an interfaced object); the
// kinds whose objects are not such objects keep them in the typed places
// below (bitmap, icon, picture, string and index lists) and their colours in
// CellBitmapColor and CellIconColor. What the object owns it frees with it.
class TCellGraphic : public TPersistent
{
public:
    TCellGraphic() = default;
    ~TCellGraphic() override;
    TCellGraphic(const TCellGraphic&) = delete;
    TCellGraphic& operator=(const TCellGraphic&) = delete;
    // Copies the plain values, not the object references.
    void Assign(const TPersistent* source) override;

    TCellType CellType = ctNone;
    platform::TObject* CellBitmap = nullptr;
    platform::TObject* CellIcon = nullptr;
    TCellVAlign CellVAlign = vaTop;
    TCellHAlign CellHAlign = haLeft;
    int CellIndex = 0;
    bool CellTransparent = false;
    bool CellCreated = false;
    bool CellBoolean = false;
    int CellAngle = 0;
    double CellValue = 0;
    int CellErrFrom = 0;
    int CellErrLen = 0;
    QString CellText;
    platform::TCheckBoxState CellCheckBoxState = platform::cbUnchecked;
    // A value for the application; the radio-group step and the expand
    // button keep their state here.
    QVariant CellVar;

    // Typed places of the kinds' objects; owned as CellCreated says (the
    // image index list and the balloon texts always).
    platform::TBitmap* Bitmap = nullptr;    // ctBitmap, the glyph of ctBitButton
    platform::TBitmap* Icon = nullptr;      // ctIcon
    TCellPicture* Picture = nullptr;        // ctPicture
    QStringList* Strings = nullptr;         // ctRadio items; balloon title and text
    TIntList* Images = nullptr;             // ctImages
    platform::TColor CellBitmapColor = platform::clNone; // colours kept in CellBitmap by kind
    platform::TColor CellIconColor = platform::clNone;   // colours kept in CellIcon by kind
};

// Application objects shown in cells (ctInterface): they tell their size
// and draw themselves.
class ICellGraphic
{
public:
    virtual ~ICellGraphic() = default;
    // 0 takes the cell's side.
    virtual int CellGraphicWidth() = 0;
    virtual int CellGraphicHeight() = 0;
    // True: painted before the cell's text, as its background.
    virtual bool PaintBeforeText() { return false; }
    virtual void DrawCellGraphic(platform::TCanvas& canvas, const platform::TRect& r, TExStringGrid* grid,
                                 bool selected, int aRow, int aCol) = 0;
};

// ---------------------------------------------------------------------------
// Settings classes
// ---------------------------------------------------------------------------

enum class TNodeType { cnFlat, cn3D, cnGlyph, cnLeaf, cnXP };
using enum TNodeType;

class TCellNode : public TPersistent
{
public:
    explicit TCellNode(TExStringGrid* owner = nullptr) : FOwner(owner) {}
    void Assign(const TPersistent* source) override;

    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v) { FColor = v; }
    bool ExpandOne() const { return FExpandOne; }
    void SetExpandOne(bool v) { FExpandOne = v; }
    TNodeType NodeType() const { return FNodeType; }
    void SetNodeType(TNodeType v);
    platform::TColor NodeColor() const { return FNodeColor; }
    void SetNodeColor(platform::TColor v) { FNodeColor = v; }
    int NodeIndent() const { return FNodeIndent; }
    void SetNodeIndent(int v);
    const platform::TBitmap& ExpandGlyph() const { return FExpandGlyph; }
    void SetExpandGlyph(const platform::TBitmap& v) { FExpandGlyph.Assign(v); }
    const platform::TBitmap& ContractGlyph() const { return FContractGlyph; }
    void SetContractGlyph(const platform::TBitmap& v) { FContractGlyph.Assign(v); }
    bool ShowTree() const { return FShowTree; }
    void SetShowTree(bool v);
    bool ShowTreeFull() const { return FShowTreeFull; }
    void SetShowTreeFull(bool v);
    platform::TColor TreeColor() const { return FTreeColor; }
    void SetTreeColor(platform::TColor v);

private:
    void Repaint();

    TExStringGrid* FOwner;
    platform::TColor FColor = platform::clSilver;
    bool FExpandOne = false;
    TNodeType FNodeType = cnXP;
    platform::TColor FNodeColor = platform::clBlack;
    int FNodeIndent = 12;
    platform::TBitmap FExpandGlyph;
    platform::TBitmap FContractGlyph;
    bool FShowTree = true;
    bool FShowTreeFull = true;
    platform::TColor FTreeColor = platform::clGray;
};

class TSizeWhileTyping : public TPersistent
{
public:
    bool Height() const { return FHeight; }
    void SetHeight(bool v) { FHeight = v; }
    bool Width() const { return FWidth; }
    void SetWidth(bool v) { FWidth = v; }

private:
    bool FHeight = false;
    bool FWidth = false;
};

enum class TAutoSizeRows { arAll, arNormal, arFixed };
using enum TAutoSizeRows;
enum class TColumnSizeLocation { clRegistry, clIniFile };
using enum TColumnSizeLocation;

class TColumnSize : public TPersistent
{
public:
    explicit TColumnSize(QObject* owner = nullptr) : FOwner(owner) {}
    void Assign(const TPersistent* source) override;

    QObject* Owner() const { return FOwner; }
    TAutoSizeRows Rows() const { return FRows; }
    void SetRows(TAutoSizeRows v) { FRows = v; }
    bool Save() const { return FSave; }
    void SetSave(bool v) { FSave = v; }
    QString Key() const { return FKey; }
    void SetKey(const QString& v) { FKey = v; }
    QString Section() const { return FSection; }
    void SetSection(const QString& v) { FSection = v; }
    bool Stretch() const { return FStretch; }
    // With a grid that has a parent, the stretch column is stretched at once.
    void SetStretch(bool v);
    int StretchColumn() const { return FStretchColumn; }
    void SetStretchColumn(int v) { FStretchColumn = v; }
    bool SynchWithGrid() const { return FSynchWithGrid; }
    void SetSynchWithGrid(bool v) { FSynchWithGrid = v; }
    bool SynchNormalCellsOnly() const { return FSynchNormalCellsOnly; }
    void SetSynchNormalCellsOnly(bool v) { FSynchNormalCellsOnly = v; }
    TColumnSizeLocation Location() const { return FLocation; }
    void SetLocation(TColumnSizeLocation v) { FLocation = v; }

private:
    QObject* FOwner;
    TAutoSizeRows FRows = arAll;
    bool FSave = false;
    QString FKey;
    QString FSection;
    bool FStretch = false;
    int FStretchColumn = -1;
    bool FSynchWithGrid = false;
    bool FSynchNormalCellsOnly = false;
    TColumnSizeLocation FLocation = clRegistry;
};

class THTMLSettings : public TPersistent
{
public:
    void Assign(const TPersistent* source) override;

    bool AutoPreview = false;
    int BorderSize = 1;
    int CellSpacing = 0;
    int CellPadding = 0;
    bool ConvertSpecialChars = false;
    bool ExportImages = true;
    QString FooterFile;
    QString HeaderFile;
    bool NonBreakingText = false;
    QString PrefixTag;
    QString SuffixTag;
    QString Summary;
    QString TableStyle;
    bool SaveColor = true;
    bool SaveFonts = true;
    int Width = 100;
    bool XHTML = false;
    TIntList ColWidths;
};

enum class TPrintBorders
{
    pbNoborder, pbSingle, pbDouble, pbVertical, pbHorizontal, pbAround, pbAroundVertical, pbAroundHorizontal, pbCustom
};
using enum TPrintBorders;
enum class TPrintPosition { ppNone, ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomRight, ppBottomCenter };
using enum TPrintPosition;
enum class TFitToPage { fpNever, fpGrow, fpShrink, fpAlways, fpCustom };
using enum TFitToPage;
enum class TPrinterOrientation { poPortrait, poLandscape };
using enum TPrinterOrientation;

class TPrintSettings : public TPersistent
{
public:
    explicit TPrintSettings(TExStringGrid* owner = nullptr) : FOwner(owner) {}
    // Copies every setting but FixedCellsAlways from another TPrintSettings;
    // any other source raises std::invalid_argument ("Invalid class typecast").
    void Assign(const TPersistent* source) override;

    platform::TFont Font;
    platform::TFont FixedFont;
    platform::TFont HeaderFont;
    platform::TFont FooterFont;
    QStringList TitleLines;
    QString PageNumSep = QStringLiteral("/");
    QString DateFormat = QStringLiteral("dd/mm/yyyy");
    QString PagePrefix;
    QString PageSuffix;
    QString TitleText;
    QString JobName;
    TPrintBorders Borders = pbSingle;
    platform::TPenStyle BorderStyle = platform::psSolid;
    platform::TColor BorderColor = platform::clBlack;
    bool Centered = true;
    bool UseDisplayFont = true;
    bool RepeatFixedRows = false;
    bool RepeatFixedCols = false;
    TPrintPosition Time = ppNone;
    TPrintPosition Date = ppNone;
    TPrintPosition PageNr = ppNone;
    TPrintPosition Title = ppNone;
    int FooterSize = 0;
    int HeaderSize = 0;
    int LeftSize = 0;
    int RightSize = 0;
    int ColumnSpacing = 0;
    int RowSpacing = 0;
    int TitleSpacing = 0;
    int PageNumberOffset = 0;
    int MaxPagesOffset = 0;
    int FixedWidth = 0;
    int FixedHeight = 0;
    bool UseFixedWidth = false;
    bool UseFixedHeight = false;
    bool NoAutoSize = false;
    bool NoAutoSizeRow = false;
    bool PrintGraphics = false;
    bool UseDefaultOrientation = false;
    TPrinterOrientation Orientation = poPortrait;
    TFitToPage FitToPage = fpNever;
    bool FixedCellsAlways = false;

private:
    TExStringGrid* FOwner;
};

// The modified-row mark (its painting comes with the look settings).
class TShowModified : public TPersistent
{
public:
    void Assign(const TPersistent* source) override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }
    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v);
    std::function<void(TShowModified* sender)> OnChange;

private:
    bool FEnabled = false;
    platform::TColor FColor = 0xFFFF;
};

// ---------------------------------------------------------------------------
// Look settings
// ---------------------------------------------------------------------------

enum class TControlStyle { csClassic, csFlat, csWinXP, csFramed, csQRV, csGlyph, csTheme };
using enum TControlStyle;

class THeaderAppearance;
class TFooterAppearance;

// The look of the in-cell controls and of fixed cells. Writing a fixed
// gradient colour also sets the grid's matching colour.
class TControlLook : public TPersistent
{
public:
    explicit TControlLook(TExStringGrid* grid = nullptr);
    ~TControlLook() override;
    TControlLook(const TControlLook&) = delete;
    TControlLook& operator=(const TControlLook&) = delete;

    // The colours as after construction.
    void Init();
    void Assign(const TPersistent* source) override;
    TExStringGrid* Grid() const { return FGrid; }

    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v);
    platform::TColor CommentColor() const { return FCommentColor; }
    void SetCommentColor(platform::TColor v);
    const platform::TBitmap& CheckedGlyph() const { return FCheckedGlyph; }
    void SetCheckedGlyph(const platform::TBitmap& v);
    const platform::TBitmap& UnCheckedGlyph() const { return FUnCheckedGlyph; }
    void SetUnCheckedGlyph(const platform::TBitmap& v);
    const platform::TBitmap& RadioOnGlyph() const { return FRadioOnGlyph; }
    void SetRadioOnGlyph(const platform::TBitmap& v);
    const platform::TBitmap& RadioOffGlyph() const { return FRadioOffGlyph; }
    void SetRadioOffGlyph(const platform::TBitmap& v);
    int CheckSize() const { return FCheckSize; }
    void SetCheckSize(int v);
    int RadioSize() const { return FRadioSize; }
    void SetRadioSize(int v);
    bool CheckAlwaysActive() const { return FCheckAlwaysActive; }
    void SetCheckAlwaysActive(bool v) { FCheckAlwaysActive = v; }
    bool RadioAlwaysActive() const { return FRadioAlwaysActive; }
    void SetRadioAlwaysActive(bool v) { FRadioAlwaysActive = v; }
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle v);
    bool DropDownAlwaysVisible() const { return FDropDownAlwaysVisible; }
    void SetDropDownAlwaysVisible(bool v);
    bool SpinButtonsAlwaysVisible() const { return FSpinButtonsAlwaysVisible; }
    void SetSpinButtonsAlwaysVisible(bool v);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int v) { FDropDownCount = v; }
    THeaderAppearance& DropDownHeader() { return *FDropDownHeader; }
    void SetDropDownHeader(const THeaderAppearance& v);
    TFooterAppearance& DropDownFooter() { return *FDropDownFooter; }
    void SetDropDownFooter(const TFooterAppearance& v);
    bool FlatButton() const { return FFlatButton; }
    void SetFlatButton(bool v);
    bool NoDisabledCheckRadioLook() const { return FNoDisabledCheckRadioLook; }
    void SetNoDisabledCheckRadioLook(bool v);
    bool NoDisabledButtonLook() const { return FNoDisabledButtonLook; }
    void SetNoDisabledButtonLook(bool v);
    platform::TColor ProgressBorderColor() const { return FProgressBorderColor; }
    void SetProgressBorderColor(platform::TColor v) { FProgressBorderColor = v; }
    int ProgressMarginX() const { return FProgressMarginX; }
    void SetProgressMarginX(int v);
    int ProgressMarginY() const { return FProgressMarginY; }
    void SetProgressMarginY(int v);
    bool ProgressXP() const { return FProgressXP; }
    void SetProgressXP(bool v);
    bool FixedDropDownButton() const { return FFixedDropDownButton; }
    void SetFixedDropDownButton(bool v) { FFixedDropDownButton = v; }
    int HintMaxWidth() const { return FHintMaxWidth; }
    void SetHintMaxWidth(int v) { FHintMaxWidth = v; }

    platform::TColor FixedGradientFrom() const { return FFixedGradientFrom; }
    void SetFixedGradientFrom(platform::TColor v);
    platform::TColor FixedGradientTo() const { return FFixedGradientTo; }
    void SetFixedGradientTo(platform::TColor v);
    platform::TColor FixedGradientMirrorFrom() const { return FFixedGradientMirrorFrom; }
    void SetFixedGradientMirrorFrom(platform::TColor v);
    platform::TColor FixedGradientMirrorTo() const { return FFixedGradientMirrorTo; }
    void SetFixedGradientMirrorTo(platform::TColor v);
    platform::TColor FixedGradientHoverFrom() const { return FFixedGradientHoverFrom; }
    void SetFixedGradientHoverFrom(platform::TColor v);
    platform::TColor FixedGradientHoverTo() const { return FFixedGradientHoverTo; }
    void SetFixedGradientHoverTo(platform::TColor v);
    platform::TColor FixedGradientHoverMirrorFrom() const { return FFixedGradientHoverMirrorFrom; }
    void SetFixedGradientHoverMirrorFrom(platform::TColor v);
    platform::TColor FixedGradientHoverMirrorTo() const { return FFixedGradientHoverMirrorTo; }
    void SetFixedGradientHoverMirrorTo(platform::TColor v);
    platform::TColor FixedGradientHoverBorder() const { return FFixedGradientHoverBorder; }
    void SetFixedGradientHoverBorder(platform::TColor v);
    platform::TColor FixedGradientDownFrom() const { return FFixedGradientDownFrom; }
    void SetFixedGradientDownFrom(platform::TColor v);
    platform::TColor FixedGradientDownTo() const { return FFixedGradientDownTo; }
    void SetFixedGradientDownTo(platform::TColor v);
    platform::TColor FixedGradientDownMirrorFrom() const { return FFixedGradientDownMirrorFrom; }
    void SetFixedGradientDownMirrorFrom(platform::TColor v);
    platform::TColor FixedGradientDownMirrorTo() const { return FFixedGradientDownMirrorTo; }
    void SetFixedGradientDownMirrorTo(platform::TColor v);
    platform::TColor FixedGradientDownBorder() const { return FFixedGradientDownBorder; }
    void SetFixedGradientDownBorder(platform::TColor v);

private:
    void Repaint();

    TExStringGrid* FGrid;
    platform::TColor FColor = platform::clBlack;
    platform::TColor FCommentColor = platform::clRed;
    platform::TBitmap FCheckedGlyph;
    platform::TBitmap FUnCheckedGlyph;
    platform::TBitmap FRadioOnGlyph;
    platform::TBitmap FRadioOffGlyph;
    int FCheckSize = 15;
    int FRadioSize = 10;
    bool FCheckAlwaysActive = false;
    bool FRadioAlwaysActive = false;
    TControlStyle FControlStyle = csTheme;
    bool FDropDownAlwaysVisible = false;
    bool FSpinButtonsAlwaysVisible = false;
    int FDropDownCount = 8;
    std::unique_ptr<THeaderAppearance> FDropDownHeader;
    std::unique_ptr<TFooterAppearance> FDropDownFooter;
    bool FFlatButton = false;
    bool FNoDisabledCheckRadioLook = false;
    bool FNoDisabledButtonLook = false;
    platform::TColor FProgressBorderColor = platform::clGray;
    int FProgressMarginX = 2;
    int FProgressMarginY = 2;
    bool FProgressXP = false;
    bool FFixedDropDownButton = false;
    int FHintMaxWidth = 0;
    platform::TColor FFixedGradientFrom = platform::clNone;
    platform::TColor FFixedGradientTo = platform::clNone;
    platform::TColor FFixedGradientMirrorFrom = platform::clNone;
    platform::TColor FFixedGradientMirrorTo = platform::clNone;
    platform::TColor FFixedGradientHoverFrom = platform::clGray;
    platform::TColor FFixedGradientHoverTo = platform::clWhite;
    platform::TColor FFixedGradientHoverMirrorFrom = platform::clNone;
    platform::TColor FFixedGradientHoverMirrorTo = platform::clNone;
    platform::TColor FFixedGradientHoverBorder = platform::clSilver;
    platform::TColor FFixedGradientDownFrom = platform::clGray;
    platform::TColor FFixedGradientDownTo = platform::clSilver;
    platform::TColor FFixedGradientDownMirrorFrom = platform::clNone;
    platform::TColor FFixedGradientDownMirrorTo = platform::clNone;
    platform::TColor FFixedGradientDownBorder = platform::clGray;
};

enum class TBackGroundDisplay { bdTile, bdFixed, bdGradientHorz, bdGradientVert };
using enum TBackGroundDisplay;
enum class TBackGroundCells { bcNormal, bcFixed, bcAll };
using enum TBackGroundCells;

// A picture or gradient behind the cells. Every write repaints the grid.
class TBackGround : public TPersistent
{
public:
    explicit TBackGround(TExStringGrid* grid = nullptr) : FGrid(grid) {}
    // Copies every setting from another background.
    void Assign(const TPersistent* source) override;

    int Top() const { return FTop; }
    void SetTop(int v);
    int Left() const { return FLeft; }
    void SetLeft(int v);
    TBackGroundDisplay Display() const { return FDisplay; }
    void SetDisplay(TBackGroundDisplay v);
    const platform::TBitmap& Bitmap() const { return FBitmap; }
    void SetBitmap(const platform::TBitmap& v);
    TBackGroundCells Cells() const { return FCells; }
    void SetCells(TBackGroundCells v);
    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v);
    platform::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(platform::TColor v);
    bool IsGradient() const { return FDisplay == bdGradientHorz || FDisplay == bdGradientVert; }

private:
    void Changed();

    TExStringGrid* FGrid;
    int FTop = 0;
    int FLeft = 0;
    TBackGroundDisplay FDisplay = bdTile;
    platform::TBitmap FBitmap;
    TBackGroundCells FCells = bcNormal;
    platform::TColor FColor = platform::clWindow;
    platform::TColor FColorTo = platform::clBtnFace;
};

enum class TProgressStyle { psXP, psClassic };
using enum TProgressStyle;

// The look of XP progress cells. A write that changes a value raises OnChange.
class TGridProgressAppearance : public TPersistent
{
public:
    void Assign(const TPersistent* source) override;

    platform::TColor CompleteColor() const { return FCompleteColor; }
    void SetCompleteColor(platform::TColor v) { Change(FCompleteColor, v); }
    platform::TColor CompleteFontColor() const { return FCompleteFontColor; }
    void SetCompleteFontColor(platform::TColor v) { Change(FCompleteFontColor, v); }
    platform::TColor UnCompleteColor() const { return FUnCompleteColor; }
    void SetUnCompleteColor(platform::TColor v) { Change(FUnCompleteColor, v); }
    platform::TColor UnCompleteFontColor() const { return FUnCompleteFontColor; }
    void SetUnCompleteFontColor(platform::TColor v) { Change(FUnCompleteFontColor, v); }
    platform::TColor Level0Color() const { return FLevel0Color; }
    void SetLevel0Color(platform::TColor v) { Change(FLevel0Color, v); }
    platform::TColor Level0ColorTo() const { return FLevel0ColorTo; }
    void SetLevel0ColorTo(platform::TColor v) { Change(FLevel0ColorTo, v); }
    platform::TColor Level1Color() const { return FLevel1Color; }
    void SetLevel1Color(platform::TColor v) { Change(FLevel1Color, v); }
    platform::TColor Level1ColorTo() const { return FLevel1ColorTo; }
    void SetLevel1ColorTo(platform::TColor v) { Change(FLevel1ColorTo, v); }
    platform::TColor Level2Color() const { return FLevel2Color; }
    void SetLevel2Color(platform::TColor v) { Change(FLevel2Color, v); }
    platform::TColor Level2ColorTo() const { return FLevel2ColorTo; }
    void SetLevel2ColorTo(platform::TColor v) { Change(FLevel2ColorTo, v); }
    platform::TColor Level3Color() const { return FLevel3Color; }
    void SetLevel3Color(platform::TColor v) { Change(FLevel3Color, v); }
    platform::TColor Level3ColorTo() const { return FLevel3ColorTo; }
    void SetLevel3ColorTo(platform::TColor v) { Change(FLevel3ColorTo, v); }
    int Level1Perc() const { return FLevel1Perc; }
    void SetLevel1Perc(int v) { Change(FLevel1Perc, v); }
    int Level2Perc() const { return FLevel2Perc; }
    void SetLevel2Perc(int v) { Change(FLevel2Perc, v); }
    platform::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(platform::TColor v) { Change(FBorderColor, v); }
    bool ShowBorder() const { return FShowBorder; }
    void SetShowBorder(bool v) { Change(FShowBorder, v); }
    bool Stacked() const { return FStacked; }
    void SetStacked(bool v) { Change(FStacked, v); }
    bool ShowPercentage() const { return FShowPercentage; }
    void SetShowPercentage(bool v) { Change(FShowPercentage, v); }
    bool CompletionSmooth() const { return FCompletionSmooth; }
    void SetCompletionSmooth(bool v) { Change(FCompletionSmooth, v); }
    bool ShowGradient() const { return FShowGradient; }
    void SetShowGradient(bool v) { Change(FShowGradient, v); }
    int Steps() const { return FSteps; }
    void SetSteps(int v) { Change(FSteps, v); }
    TProgressStyle Style() const { return FStyle; }
    void SetStyle(TProgressStyle v) { Change(FStyle, v); }

    std::function<void(TGridProgressAppearance* sender)> OnChange;

private:
    template <class T>
    void Change(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        Changed();
    }
    void Changed()
    {
        if (OnChange)
            OnChange(this);
    }

    platform::TColor FCompleteColor = platform::clRed;
    platform::TColor FCompleteFontColor = platform::clBlue;
    platform::TColor FUnCompleteColor = platform::clNone;
    platform::TColor FUnCompleteFontColor = platform::clWindowText;
    platform::TColor FLevel0Color = 0x00FF00;
    platform::TColor FLevel0ColorTo = 0xE1FFE1;
    platform::TColor FLevel1Color = 0x00FFFF;
    platform::TColor FLevel1ColorTo = 0xCAFFFF;
    platform::TColor FLevel2Color = 0x53A9FF;
    platform::TColor FLevel2ColorTo = 0xA8D3FF;
    platform::TColor FLevel3Color = 0x0000FF;
    platform::TColor FLevel3ColorTo = 0xCACAFF;
    int FLevel1Perc = 70;
    int FLevel2Perc = 90;
    platform::TColor FBorderColor = platform::clBlack;
    bool FShowBorder = false;
    bool FStacked = false;
    bool FShowPercentage = true;
    bool FCompletionSmooth = true;
    bool FShowGradient = true;
    int FSteps = 11;
    TProgressStyle FStyle = psXP;
};

// Balloon tooltips of cells. Writing Enable always raises OnEnableChange.
class TBalloonSettings : public TPersistent
{
public:
    void Assign(const TPersistent* source) override;

    bool Enable() const { return FEnable; }
    void SetEnable(bool v);
    platform::TColor TextColor() const { return FTextColor; }
    void SetTextColor(platform::TColor v) { FTextColor = v; }
    platform::TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(platform::TColor v) { FBackgroundColor = v; }
    // -1: the system's delay.
    int InitialDelay() const { return FInitialDelay; }
    void SetInitialDelay(int v) { FInitialDelay = v; }
    int ReshowDelay() const { return FReshowDelay; }
    void SetReshowDelay(int v) { FReshowDelay = v; }
    int AutoHideDelay() const { return FAutoHideDelay; }
    void SetAutoHideDelay(int v) { FAutoHideDelay = v; }
    int Transparency() const { return FTransparency; }
    void SetTransparency(int v) { FTransparency = v & 0xFF; }

    std::function<void(TBalloonSettings* sender)> OnEnableChange;

private:
    bool FEnable = false;
    platform::TColor FTextColor = platform::clNone;
    platform::TColor FBackgroundColor = platform::clNone;
    int FInitialDelay = -1;
    int FReshowDelay = -1;
    int FAutoHideDelay = -1;
    int FTransparency = 0;
};

enum class THoverFixedCells { hfNone, hfAll, hfFixedRows, hfFixedColumns };
using enum THoverFixedCells;
enum class TXPColorScheme { xpNone, xpBlue, xpGreen, xpGray, vistaAero };
using enum TXPColorScheme;
// How a picture cell fits its picture into the cell.
enum class TStretchMode { noStretch, Stretch, StretchWithAspectRatio, Shrink, ShrinkWithAspectRatio };

// Kind of scroll bars (their handling comes with the scroll bars).
enum class TScrollType { ssNormal, ssFlat, ssEncarta, ssMetro };
using enum TScrollType;

using TGridPaintedEvent = std::function<void(QObject* sender)>;
using TCanShowFixedDropDownEvent = std::function<void(QObject* sender, int aCol, bool& canShow)>;

// ---------------------------------------------------------------------------
// Support classes
// ---------------------------------------------------------------------------

// A string list that reports every change (not while updating; EndUpdate
// reports one change).
class TNotifyStrings
{
public:
    int Count() const { return static_cast<int>(FList.size()); }
    const QStringList& List() const { return FList; }
    // Index errors raise std::out_of_range.
    QString Strings(int i) const;
    void SetStrings(int i, const QString& s);
    int Add(const QString& s);
    void Insert(int i, const QString& s);
    void Delete(int i);
    void Clear();
    void Assign(const QStringList& list);
    int IndexOf(const QString& s) const { return static_cast<int>(FList.indexOf(s)); }
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

    std::function<void()> OnChange;

private:
    void Changed();
    QStringList FList;
    int FUpdateCount = 0;
    bool FPending = false;
};

// Texts with an object each: the cells of a hidden row.
class TStringObjectList
{
public:
    int Count() const { return static_cast<int>(FStrings.size()); }
    // Index errors raise std::out_of_range, as the platform's list does.
    QString Strings(int i) const;
    void SetStrings(int i, const QString& s);
    platform::TObject* Objects(int i) const;
    void SetObjects(int i, platform::TObject* o);
    void Add(const QString& s, platform::TObject* o = nullptr);
    // i may be Count() (appends).
    void Insert(int i, const QString& s, platform::TObject* o = nullptr);
    void Delete(int i);
    void Clear();

private:
    std::vector<QString> FStrings;
    std::vector<platform::TObject*> FObjects;
};

class TGridItemCollection;

// One hidden row: its index, height and cells (texts, and cell properties as
// the objects).
class TGridItem
{
public:
    explicit TGridItem(TGridItemCollection* collection = nullptr) : FCollection(collection) {}
    int Idx() const { return FIdx; }
    void SetIdx(int v);
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    TStringObjectList& Items() { return FItems; }
    const TStringObjectList& Items() const { return FItems; }
    int Level() const { return FLevel; }
    void SetLevel(int v) { FLevel = v; }

private:
    friend class TGridItemCollection;
    friend class TExStringGrid;
    TGridItemCollection* FCollection;
    int FIdx = 0;
    int FHeight = 0;
    TStringObjectList FItems;
    int FLevel = 0;
    // Hidden as part of a row list (a filter level).
    bool FFromList = false;
};

// The hidden-row store.
class TGridItemCollection
{
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TGridItem* Items(int i) const { return FItems.at(static_cast<size_t>(i)).get(); }
    TGridItem* Add();
    TGridItem* Insert(int index);
    // New items (made for this collection) go in before the items at the
    // given positions, ascending; items for one position keep their order.
    void InsertAt(const std::vector<int>& positions, std::vector<std::unique_ptr<TGridItem>> items);
    void Delete(int index);
    // Deletes every item of the list in one pass (unknown pointers are ignored).
    void Delete(const std::vector<TGridItem*>& items);
    void Clear();
    // The stored indices, ascending (an index stored twice appears twice).
    const std::vector<int>& SortedIdx() const;
    // Items whose index is below realRow.
    int CountBelow(int realRow) const;
    void Changed() { FDirty = true; }

private:
    std::vector<std::unique_ptr<TGridItem>> FItems;
    mutable std::vector<int> FSorted;
    mutable bool FDirty = true;
};

// Told of every change of cells of the grids it is registered with.
class TGridChangeNotifier : public QObject
{
public:
    using QObject::QObject;
    virtual void CellsChanged(const platform::TRect& r) {}
};

// The one listener told of changes of the current cell.
class ITExStringGridSelect
{
public:
    virtual ~ITExStringGridSelect() = default;
    virtual void SelectionChanged(int aCol, int aRow) = 0;
};

using TGridRowUpdateEvent = std::function<void(QObject* sender, int oldRow, int newRow)>;
using TRowDisjunctSelectEvent = std::function<void(QObject* sender, int aRow, bool aState, bool& allow)>;
using TRowDisjunctSelectedEvent = std::function<void(QObject* sender, int aRow)>;
using TCellsChangedEvent = std::function<void(QObject* sender, const platform::TRect& r)>;
using TGetCheckEvent = std::function<void(QObject* sender, int aCol, int aRow, QString& value)>;
using TIsFixedCellEvent = std::function<void(QObject* sender, int aRow, int aCol, bool& isFixed)>;
using TIsPasswordCellEvent = std::function<void(QObject* sender, int aRow, int aCol, bool& isPassword)>;
using THasComboEvent = std::function<void(QObject* sender, int aCol, int aRow, bool& hasComboBox)>;
using TWordWrapEvent = std::function<void(QObject* sender, int aCol, int aRow, bool& wordWrap)>;
using TSelectionChanged = std::function<void(QObject* sender, int aLeft, int aTop, int aRight, int aBottom)>;

// ---- inplace editing: types

class TGridCombo;
class TGridCheckBox;
class TGridButton;
class TGridSpin;
class TGridDatePicker;
class TGridDateTimePicker;
class TGridBalloonTip;
class TGridEditBtn;
class TGridUnitEditBtn;
class TGridTrackbarDropDown;
class TGridMemoDropDown;
class TGridCalculatorDropDown;
class TGridDetailPickerDropDown;
class TGridColorDropDown;
class TGridImageDropDown;
class TGridTimepickerDropDown;
class TGridExGridDropDown;
class TGridGridDropDown;
class TExCustomDropDown;
class TGridDropTarget;
class QMimeData;
class TExInplaceEdit;

enum class TInvalidEntryIcon { ieNone, ieInfo, ieWarning, ieError };
using enum TInvalidEntryIcon;

using TCellValidateEvent = std::function<void(QObject* sender, int aCol, int aRow, QString& value, bool& valid)>;
using TEditCellDoneEvent = std::function<void(QObject* sender, int aCol, int aRow)>;
using TEditChangeEvent = std::function<void(QObject* sender, int aCol, int aRow, const QString& value)>;
using TComboChangeEvent =
    std::function<void(QObject* sender, int aCol, int aRow, int aItemIndex, const QString& aSelection)>;
using TComboObjectChangeEvent = std::function<void(QObject* sender, int aCol, int aRow, int aItemIndex,
                                                   const QString& aSelection, platform::TObject* aObject)>;
// The custom editor link is any object; none is passed for the default editor.
using TGetEditorPropEvent = std::function<void(QObject* sender, int aCol, int aRow, QObject* aEditLink)>;
using TGetEditorPropIntEvent = std::function<void(QObject* sender, int aRow, int aCol)>;
using TRowChangingEvent = std::function<void(QObject* sender, int oldRow, int newRow, bool& allow)>;
using TColChangingEvent = std::function<void(QObject* sender, int oldCol, int newCol, bool& allow)>;
using TCellChangingEvent =
    std::function<void(QObject* sender, int oldRow, int oldCol, int newRow, int newCol, bool& allow)>;
using TAutoAdvanceEvent =
    std::function<void(QObject* sender, int oldRow, int oldCol, int& newRow, int& newCol, bool& allow)>;
using TClipboardEvent = std::function<void(QObject* sender, bool& allow)>;
using TClipboardPasteCellEvent =
    std::function<void(QObject* sender, int aCol, int aRow, QString& value, bool& allow)>;
using TClipboardAfterPasteCellEvent = std::function<void(QObject* sender, int aCol, int aRow, const QString& value)>;
// The grid's last clipboard operation (ExGrid_Clipboard.cpp).
enum class TClipOperation { coCut, coCopy };
using enum TClipOperation;

// ---- hooks: event types

using TGridWideHintEvent = std::function<void(QObject* sender, int aRow, int aCol, QString& hintstr)>;
using TGetColumnFilterEvent = std::function<void(QObject* sender, int column, QStringList& filter)>;
using TCellCursorEvent =
    std::function<void(QObject* sender, int aCol, int aRow, int x, int y, platform::TCursor& aCursor)>;
using TSearchFooterActionEvent = std::function<void(QObject* sender, const QString& value, int aCol, int aRow,
                                                    TSearchAction searchAction)>;
using TRatingChangeEvent = std::function<void(QObject* sender, int aCol, int aRow, double& newRate, bool& allow)>;
using TColorSelectEvent =
    std::function<void(QObject* sender, int aCol, int aRow, platform::TColor color, const QString& value)>;
using TImageSelectEvent = std::function<void(QObject* sender, int aCol, int aRow, int index)>;
using TFixedEditEvent = std::function<void(QObject* sender, int aCol, int aRow, TGridFixedCellEditor& aEditor,
                                           QStringList& values)>;
using TCellSaveLoadEvent = std::function<void(QObject* sender, int aCol, int aRow, QString& value)>;
// Progress of a file exchange in percent, told only when it changes.
using TGridProgressEvent = std::function<void(QObject* sender, int16_t progress)>;
using TFilterSelectEvent = std::function<void(QObject* sender, int column, int itemIndex, const QString& friendlyName,
                                              QString& filterCondition)>;

// ---- keyboard and focus: types

class TSearchPanel;
class TDesignPanel;

// A radio-group item (aIdx) was checked.
using TRadioClickEvent = std::function<void(QObject* sender, int aCol, int aRow, int aIdx)>;

// ---- mouse: types

enum class TMouseSelectMode { msNormal, msColumn, msRow, msAll, msURL, msResize };
using enum TMouseSelectMode;

using TCanClickCellEvent = std::function<void(QObject* sender, int aRow, int aCol, bool& allow)>;
// An HTML form field of a cell was pressed.
using TControlClickEvent = std::function<void(QObject* sender, int aRow, int aCol, const QString& ctrlID,
                                              const QString& ctrlType, const QString& ctrlVal)>;

// ---- custom editor link, rich edit, header editors and form fields: types

class TEditLink;
class TExRichEdit;
class TGridTransEdit;
class TGridTransCombo;
class TControlEdit;
class TControlCombo;

// Before a COMBO form field opens: its items, editable or not, visible items.
using TControlComboListEvent =
    std::function<void(QObject* sender, int aRow, int aCol, const QString& ctrlID, const QString& ctrlType,
                       const QString& ctrlVal, QStringList& values, bool& edit, int& dropCount)>;
using TControlComboSelectEvent = std::function<void(QObject* sender, int aRow, int aCol, int itemIndex,
                                                    const QString& ctrlID, const QString& ctrlValue)>;
// A form-field edit ended; ctrlVal is the new value.
using TControlEditDoneEvent = std::function<void(QObject* sender, int aRow, int aCol, const QString& ctrlID,
                                                 const QString& ctrlType, const QString& ctrlVal)>;
using TSelectionResizeEvent = std::function<void(QObject* sender, const platform::TGridRect& origSelection,
                                                 const platform::TGridRect& newSelection)>;

// ---- scroll and hints: types

enum class THintShowLargeTextPos { hpCell, hpCursor };
using enum THintShowLargeTextPos;

enum class TScrollHintType { shNone, shVertical, shHorizontal, shBoth };
using enum TScrollHintType;

// A set of directions (bits) for the scrolling while something is dragged.
using TDragScrollDirection = int;
constexpr TDragScrollDirection dsdUp = 1, dsdDown = 2, dsdLeft = 4, dsdRight = 8;

class THTMLHintWindow;
class TScrollControl;

using TScrollCellEvent =
    std::function<void(QObject* sender, int aCol, int aRow, int scrollPosition, int scrollMin, int scrollMax)>;
using TDragScrollEvent =
    std::function<void(QObject* sender, int topRow, int leftCol, TDragScrollDirection& dragScrollDir, bool& canScroll)>;

// How long the scrolling waits while something is held in a margin (ms).
class TDragScrollDelays : public TPersistent
{
public:
    void Assign(const TPersistent* source) override
    {
        if (const auto* s = dynamic_cast<const TDragScrollDelays*>(source)) {
            FInitialDelay = s->FInitialDelay;
            FRepeatDelay = s->FRepeatDelay;
        }
    }
    int InitialDelay() const { return FInitialDelay; }
    void SetInitialDelay(int v) { FInitialDelay = v; }
    int RepeatDelay() const { return FRepeatDelay; }
    void SetRepeatDelay(int v) { FRepeatDelay = v; }

private:
    int FInitialDelay = 1000;
    int FRepeatDelay = 250;
};

// The edge zones (px) in which a drag scrolls the grid.
class TDragScrollMargins : public TPersistent
{
public:
    void Assign(const TPersistent* source) override
    {
        if (const auto* s = dynamic_cast<const TDragScrollMargins*>(source)) {
            FTopMargin = s->FTopMargin;
            FBottomMargin = s->FBottomMargin;
            FLeftMargin = s->FLeftMargin;
            FRightMargin = s->FRightMargin;
        }
    }
    int TopMargin() const { return FTopMargin; }
    void SetTopMargin(int v) { FTopMargin = v; }
    int BottomMargin() const { return FBottomMargin; }
    void SetBottomMargin(int v) { FBottomMargin = v; }
    int LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int v) { FLeftMargin = v; }
    int RightMargin() const { return FRightMargin; }
    void SetRightMargin(int v) { FRightMargin = v; }

private:
    int FTopMargin = 50;
    int FBottomMargin = 50;
    int FLeftMargin = 50;
    int FRightMargin = 50;
};

class TDragScrollOptions : public TPersistent
{
public:
    void Assign(const TPersistent* source) override
    {
        if (const auto* s = dynamic_cast<const TDragScrollOptions*>(source)) {
            FMargins.Assign(&s->FMargins);
            FDelays.Assign(&s->FDelays);
            FActive = s->FActive;
        }
    }
    bool Active() const { return FActive; }
    void SetActive(bool v) { FActive = v; }
    TDragScrollDelays& Delays() { return FDelays; }
    TDragScrollMargins& Margins() { return FMargins; }

private:
    bool FActive = false;
    TDragScrollDelays FDelays;
    TDragScrollMargins FMargins;
};

// What a cell hint shows and where; filled by PrepareCellHint.
struct THintInfo
{
    QString HintStr;
    platform::TPoint HintPos;
    int HintMaxWidth = 0;
    platform::TColor HintColor = platform::clInfoBk;
    platform::THintWindowClass HintWindowClass = nullptr;  // the application's when none
    platform::TPoint CursorPos;
};

// ---------------------------------------------------------------------------
// TExStringGrid
// ---------------------------------------------------------------------------

class TExStringGrid : public TBaseGrid
{
public:
    // Real columns 0..511 can be hidden; 512 and above pass the maps unchanged.
    static constexpr int MaxHiddenColumns = 512;

    explicit TExStringGrid(QWidget* owner = nullptr);
    ~TExStringGrid() override;

    // ---- life cycle

    void Loaded() override;
    // Settings, sizes and cells of another string grid; other sources are ignored.
    void Assign(const TExStringGrid* source);
    virtual void AssignCells(const TExStringGrid* source);
    void Invalidate() override;
    void SetBounds(int left, int top, int width, int height) override;
    void UpdateScrollBarsAlways(bool hideWhenAll);
    virtual int GetVersionNr() const;
    virtual QString GetVersionString() const;
    QString Version() const;
    void SetVersion(const QString&) {}
    void InitOrigColSizes();
    const TIntList& OrigColSizes() const { return FOrigColSizes; }
    bool IsLoaded() const { return FLoaded; }
    // Design mode: only while a form is being designed; never in the running
    // program. Designing shows the quick configuration panel.
    bool Designing() const { return FDesigning; }
    void SetDesigning(bool designing);

    // ---- owned settings

    TNavigation& Navigation() { return *FNavigation; }
    TMouseActions& MouseActions() { return *FMouseActions; }
    TSearchFooter& SearchFooter() { return *FSearchFooter; }
    TSyncGrid& SyncGrid() { return *FSyncGrid; }
    TBands& Bands() { return *FBands; }
    TFocusHelper& FocusHelper() { return *FFocusHelper; }
    void SetFocusHelper(const TFocusHelper& v) { FFocusHelper->Assign(&v); }
    TCellNode& CellNode() { return *FCellNode; }
    TColumnSize& ColumnSize() { return *FColumnSize; }
    THTMLSettings& HTMLSettings() { return *FHTMLSettings; }
    TPrintSettings& PrintSettings() { return *FPrintSettings; }
    TSizeWhileTyping& SizeWhileTyping() { return *FSizeWhileTyping; }
    TShowModified& ShowModified() { return *FShowModified; }
    void SetShowModified(const TShowModified& v) { FShowModified->Assign(&v); }
    TFloatingFooter& FloatingFooter() { return *FFloatingFooter; }
    TSortSettings& SortSettings() { return *FSortSettings; }
    TGrouping& Grouping() { return *FGrouping; }
    void SetGrouping(const TGrouping& v) { FGrouping->Assign(&v); }
    void SetSortSettings(const TSortSettings& v) { FSortSettings->Assign(&v); }
    TDragDropSettings& DragDropSettings() { return *FDragDropSettings; }
    // ---- drag and drop of cells and columns (ExGrid_DragDrop.cpp)
    using TOleDragEvent = std::function<void(QObject* sender, int aRow, int aCol, const QString& data, bool& allow)>;
    using TOleDragStartEvent = std::function<void(QObject* sender, int aRow, int aCol)>;
    // The effect: 0 none, 1 copy, 2 move.
    using TOleDragStopEvent = std::function<void(QObject* sender, int oleEffect)>;
    using TOleDragOverEvent = std::function<void(QObject* sender, int aRow, int aCol, bool& allow)>;
    using TOleDropColEvent = std::function<void(QObject* sender, int aRow, int aCol, int dropCol)>;
    using TOleDroppedEvent = std::function<void(QObject* sender, const platform::TGridRect& rect)>;
    TOleDragEvent OnOleDrag;
    TOleDragStartEvent OnOleDragStart;
    TOleDragStopEvent OnOleDragStop;
    TOleDragOverEvent OnOleDragOver;
    TOleDragEvent OnOleDrop;
    TOleDropColEvent OnOleDropCol;
    TOleDroppedEvent OnOleDropped;
    TOleDragEvent OnOleDropFile;
    TOleDragEvent OnOleDropURL;
    // Column aCol, item aIndex of the list, is dragged from the list into
    // the grid: the next column drop takes it.
    void OleColumnDragStart(int aCol, int aIndex, platform::TListBox* aList);
    // A hidden, never-active window with a picture of the cells; the caller owns it.
    QWidget* SelectionToForm(const platform::TRect& aRect);
    bool OleDropTargetAssigned() const { return FOleDropTargetAssigned; }
    platform::TFont& FixedFont() { return FFixedFont; }
    void SetFixedFont(const platform::TFont& v);
    platform::TFont& ActiveCellFont() { return FActiveCellFont; }
    void SetActiveCellFont(const platform::TFont& v) { FActiveCellFont.Assign(v); }

    // ---- cells of hidden and visible rows (real column, real row)

    QString GetCellsEx(int aCol, int aRow);
    void SetCellsEx(int aCol, int aRow, const QString& value);
    QString GetGridCellsEx(int aCol, int aRow) const;
    void SetGridCellsEx(int aCol, int aRow, const QString& value);
    QString GetWideCellsEx(int aCol, int aRow) { return GetCellsEx(aCol, aRow); }
    void SetWideCellsEx(int aCol, int aRow, const QString& value) { SetCellsEx(aCol, aRow, value); }
    platform::TObject* GetObjectsEx(int aCol, int aRow) const;
    void SetObjectsEx(int aCol, int aRow, platform::TObject* aObject);
    platform::TObject* GetGridObjectsEx(int aCol, int aRow) const;
    TStringObjectList* HiddenRowTexts(int aRow) const;
    QString GetWideCells(int i, int j) { return GetCellEx(i, j); }
    void SetWideCells(int i, int j, const QString& value) { SetCellEx(i, j, value); }

    // ---- typed values; the readers raise REruVidaZuvez

    int GetInts(int aCol, int aRow);
    void SetInts(int aCol, int aRow, int value);
    int GetAllInts(int aCol, int aRow);
    void SetAllInts(int aCol, int aRow, int value);
    double GetFloats(int aCol, int aRow);
    void SetFloats(int aCol, int aRow, double value);
    double GetAllFloats(int aCol, int aRow);
    void SetAllFloats(int aCol, int aRow, double value);
    // Date and time conversion errors raise std::invalid_argument.
    TDateTime GetDates(int aCol, int aRow);
    void SetDates(int aCol, int aRow, TDateTime value);
    TDateTime GetTimes(int aCol, int aRow);
    void SetTimes(int aCol, int aRow, TDateTime value);
    virtual void QueryFloatFormat(int aCol, int aRow, QString& format);

    QString GetStrippedCell(int aCol, int aRow);
    int GetLinesInCell(int aCol, int aRow);
    QString GetCtrlVal(int aCol, int aRow, const QString& id);
    void SetCtrlVal(int aCol, int aRow, const QString& id, const QString& value);

    // Rich-text cells: RTF kept one byte per character.
    void CellToRich(int aCol, int aRow, platform::TRichEdit& richEdit);
    QString RichToString(platform::TRichEdit& richEdit);
    void RichToCell(int aCol, int aRow, platform::TRichEdit& richEdit);

    // The current cell, at the base cell of its range (real column).
    virtual QString CurrentCell();
    virtual void SetCurrentCell(const QString& value);
    virtual QString CurrentCellDisplayText();
    virtual void SetCurrentEditText(const QString& value);
    TEditorType CurrentEditor() const { return FEditControl; }

    int SortedRowIndex(int aRow) const;
    int UnSortedRowIndex(int aRow) const;
    QString GetUnSortedCell(int aCol, int aRow);
    void SetUnSortedCell(int aCol, int aRow, const QString& value);
    QString GetOriginalCells(int aCol, int aRow);
    void SetOriginalCells(int aCol, int aRow, const QString& value);

    QWidget* GetCellControls(int aCol, int aRow) const;
    void SetCellControls(int aCol, int aRow, QWidget* aControl);
    const TControlList& ControlList() const { return FControlList; }

    int GetPrintColWidth(int aCol) const;
    int GetPrintColOffset(int aCol) const;

    const QStringList& LookupItems() const { return FLookupItems; }
    void SetLookupItems(const QStringList* v);
    int AllColCount() { return ColCount() + NumHiddenColumns(); }
    int AllRowCount() const { return RowCount() + NumHiddenRows(); }
    int GetAllColWidths(int aCol) const;
    void SetAllColWidths(int aCol, int width);

    // ---- per-cell and per-row looks (real column, display row)

    platform::TColor GetColors(int aCol, int aRow) const;
    void SetColors(int aCol, int aRow, platform::TColor v);
    platform::TColor GetColorsTo(int aCol, int aRow) const;
    void SetColorsTo(int aCol, int aRow, platform::TColor v);
    TCellGradientDirection GetGradientDir(int aCol, int aRow) const;
    void SetGradientDir(int aCol, int aRow, TCellGradientDirection v);
    platform::TColor GetFontColors(int aCol, int aRow) const;
    void SetFontColors(int aCol, int aRow, platform::TColor v);
    platform::TFontStyles GetFontStyles(int aCol, int aRow) const;
    void SetFontStyles(int aCol, int aRow, platform::TFontStyles v);
    QString GetFontNames(int aCol, int aRow) const;
    void SetFontNames(int aCol, int aRow, const QString& v);
    int GetFontSizes(int aCol, int aRow) const;
    void SetFontSizes(int aCol, int aRow, int v);
    platform::TAlignment GetAlignments(int aCol, int aRow) const;
    void SetAlignments(int aCol, int aRow, platform::TAlignment v);
    bool GetReadOnly(int aCol, int aRow) const;
    void SetReadOnly(int aCol, int aRow, bool v);
    // Creates the properties when missing.
    bool GetWordWraps(int aCol, int aRow);
    void SetWordWraps(int aCol, int aRow, bool v);
    void SetCellFont(int aCol, int aRow, const platform::TFont& font);
    void SetRowColor(int aRow, platform::TColor aColor);
    void SetRowColorTo(int aRow, platform::TColor aColor);
    void SetRowFontColor(int aRow, platform::TColor aColor);

    platform::TColor QRVGradientFrom() const { return FQRVGradientFrom; }
    void SetQRVGradientFrom(platform::TColor v);
    platform::TColor QRVGradientTo() const { return FQRVGradientTo; }
    void SetQRVGradientTo(platform::TColor v);
    platform::TColor QRVGradientMirrorFrom() const { return FQRVGradientMirrorFrom; }
    void SetQRVGradientMirrorFrom(platform::TColor v);
    platform::TColor QRVGradientMirrorTo() const { return FQRVGradientMirrorTo; }
    void SetQRVGradientMirrorTo(platform::TColor v);
    int ZoomFactor() const { return FZoomFactor; }
    void Zoom(int step);

    // ---- dimensions and fixed areas

    int RowCount() const { return TBaseGrid::RowCount(); }
    void SetRowCount(int value);
    int ColCount() const { return TBaseGrid::ColCount(); }
    virtual void SetColCount(int value);
    int Col() const { return TBaseGrid::Col(); }
    void SetCol(int value);
    int FixedRows() const;
    void SetFixedRows(int value);
    int FixedCols() const;
    void SetFixedCols(int value);
    virtual void AddOneRow() { SetRowCount(RowCount() + 1); }
    void SetDefaultRowHeight(int value);
    int FixedRowHeight() const { return FFixedRowHeight; }
    void SetFixedRowHeight(int value);
    int FixedColWidth() const { return ColWidths(0); }
    void SetFixedColWidth(int value);
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool v);
    void ChangeScale(int m, int d) override;
    bool FixedRowAlways() const { return FFixedRowAlways; }
    void SetFixedRowAlways(bool v) { FFixedRowAlways = v; }
    bool FixedColAlways() const { return FFixedColAlways; }
    void SetFixedColAlways(bool v) { FFixedColAlways = v; }
    int FixedFooters() const { return FFixedFooters; }
    void SetFixedFooters(int v);
    int FixedRightCols() const { return FFixedRightCols; }
    void SetFixedRightCols(int v);
    platform::TAlignment DefaultAlignment() const { return FDefaultAlignment; }
    void SetDefaultAlignment(platform::TAlignment v);
    bool WordWrap() const { return FWordWrapEx; }
    void SetWordWrap(bool v);
    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment v);
    int MaxRowCount() const { return FMaxRowCount; }
    int MaxColCount() const { return FMaxColCount; }

    const TNotifyStrings& ColumnHeaders() const { return FColumnHeaders; }
    TNotifyStrings& ColumnHeaders() { return FColumnHeaders; }
    void SetColumnHeaders(const QStringList& v);
    void ShowColumnHeaders();
    void ClearColumnHeaders();
    TNotifyStrings& RowHeaders() { return FRowHeaders; }
    void SetRowHeaders(const QStringList& v);
    void ShowRowHeaders();
    void ClearRowHeaders();
    TIntList& MergedColumns() { return FMergedColumns; }

    platform::TGridRect Selection() const { return TBaseGrid::Selection(); }
    void SetSelection(const platform::TGridRect& r);

    // ---- appearance and behaviour properties

    platform::TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(platform::TColor v);
    platform::TColor SelectionColorTo() const { return FSelectionColorTo; }
    void SetSelectionColorTo(platform::TColor v);
    platform::TColor SelectionMirrorColor() const { return FSelectionMirrorColor; }
    void SetSelectionMirrorColor(platform::TColor v);
    platform::TColor SelectionMirrorColorTo() const { return FSelectionMirrorColorTo; }
    void SetSelectionMirrorColorTo(platform::TColor v);
    platform::TColor SelectionTextColor() const { return FSelectionTextColor; }
    void SetSelectionTextColor(platform::TColor v);
    bool SelectionColorMixer() const { return FSelectionColorMixer; }
    void SetSelectionColorMixer(bool v);
    int SelectionColorMixerFactor() const { return FSelectionColorMixerFactor; }
    void SetSelectionColorMixerFactor(int v);
    bool SelectionRectangle() const { return FSelectionRectangle; }
    void SetSelectionRectangle(bool v);
    bool SelectionResizer() const { return FSelectionResizer; }
    void SetSelectionResizer(bool v);
    bool ShowDesignHelper() const { return FShowDesignHelper; }
    void SetShowDesignHelper(bool v);
    // The quick configuration panel (ExGrid_DesignPanel.cpp). Items: 1 "Allow
    // edit", 2 "Column numbers", 3 look, 4 close, -1 none; all -1 unless
    // designing with ShowDesignHelper on.
    bool ShowColNrs() const { return FShowColNrs; }
    int LastDesignChoice() const { return FLastDesignChoice; }
    int DesignHitTest(int x, int y);
    // The designer's hit-test question: 1 when the click belongs to the panel.
    int CMDesignHitTest(int x, int y, int designerAnswer = 0);
    void DesignPanelClick(int x, int y);
    void PerformDesignChoice(int item, QPoint clientPoint);
    // Shows, places and refreshes the panel, or hides it.
    void UpdateDesignPanel();
    TDesignPanel* DesignPanel() const;
    bool ShowSelection() const { return FShowSelection; }
    void SetShowSelection(bool v);
    int MaxEditLength() const { return FMaxEditLength; }
    void SetMaxEditLength(int v);
    bool SpreadSheet() const { return FSpreadSheet; }
    void SetSpreadSheet(bool v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    TScrollBarAlways ScrollBarAlways() const { return FScrollBarAlways; }
    void SetScrollBarAlways(TScrollBarAlways v);
    bool UseHTMLHints() const { return FUseHTMLHints; }
    // Also switches the application's hint window class (HTML or plain).
    void SetUseHTMLHints(bool v);
    void SetCursor(platform::TCursor c);
    platform::TCursor RestoreCursor() const { return FRestoreCursor; }
    TGridLook Look() const { return FLook; }
    void SetLook(TGridLook v);
    platform::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(platform::TColor v);
    platform::TColor HintColor() const { return FHintColor; }
    void SetHintColor(platform::TColor v) { FHintColor = v; }
    platform::TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(platform::TColor v);
    platform::TColor HighlightTextColor() const { return FHighlightTextColor; }
    void SetHighlightTextColor(platform::TColor v);
    platform::TColor URLColor() const { return FURLColor; }
    void SetURLColor(platform::TColor v);
    bool URLShowInText() const { return FURLShowInText; }
    void SetURLShowInText(bool v) { FURLShowInText = v; }
    bool ActiveCellShow() const { return FActiveCellShow; }
    void SetActiveCellShow(bool v);
    platform::TColor ActiveCellColor() const { return FActiveCellColor; }
    void SetActiveCellColor(platform::TColor v);
    platform::TColor ActiveCellColorTo() const { return FActiveCellColorTo; }
    void SetActiveCellColorTo(platform::TColor v);
    platform::TColor DisabledFontColor() const { return FDisabledFontColor; }
    void SetDisabledFontColor(platform::TColor v);
    QString FloatFormat() const { return FFloatFormat; }
    void SetFloatFormat(const QString& v) { FFloatFormat = v; }
    QString CheckTrue() const { return FCheckTrue; }
    void SetCheckTrue(const QString& v) { FCheckTrue = v; }
    QString CheckFalse() const { return FCheckFalse; }
    void SetCheckFalse(const QString& v) { FCheckFalse = v; }
    QString XMLEncoding() const { return FXMLEncoding; }
    void SetXMLEncoding(const QString& v) { FXMLEncoding = v; }
    QString FilterDropDownClear() const { return FFilterDropDownClear; }
    void SetFilterDropDownClear(const QString& v) { FFilterDropDownClear = v; }
    QChar PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(QChar v) { FPasswordChar = v; }
    QChar Delimiter() const { return FDelimiter; }
    void SetDelimiter(QChar v) { FDelimiter = v; }
    TEditorType DefaultEditor() const { return FDefaultEditor; }
    void SetDefaultEditor(TEditorType v) { FDefaultEditor = v; }
    platform::TColor ScrollColor() const { return FScrollColor; }
    void SetScrollColor(platform::TColor v) { FScrollColor = v; }
    int ScrollWidth() const { return FScrollWidth; }
    void SetScrollWidth(int v) { FScrollWidth = v; }
    bool EnableHTML() const { return FEnableHTML; }
    void SetEnableHTML(bool v);
    bool EnableWheel() const { return FEnableWheel; }
    void SetEnableWheel(bool v) { FEnableWheel = v; }
    bool IntelliZoom() const { return FIntelliZoom; }
    void SetIntelliZoom(bool v) { FIntelliZoom = v; }
    bool EnhRowColMove() const { return FEnhRowColMove; }
    void SetEnhRowColMove(bool v) { FEnhRowColMove = v; }
    bool AutoFilterUpdate() const { return FAutoFilterUpdate; }
    void SetAutoFilterUpdate(bool v) { FAutoFilterUpdate = v; }
    bool FilterNormalCellsOnly() const { return FFilterNormalCellsOnly; }
    void SetFilterNormalCellsOnly(bool v) { FFilterNormalCellsOnly = v; }
    bool UseInternalHintClass() const { return FUseInternalHintClass; }
    void SetUseInternalHintClass(bool v) { FUseInternalHintClass = v; }
    bool HideFocusRect() const { return FHideFocusRect; }
    void SetHideFocusRect(bool v);
    bool FixedAsButtons() const { return FFixedAsButtons; }
    void SetFixedAsButtons(bool v);
    bool FilterIncremental() const { return FFilterIncremental; }
    void SetFilterIncremental(bool v) { FFilterIncremental = v; }
    bool JavaCSV() const { return FJavaCSV; }
    void SetJavaCSV(bool v) { FJavaCSV = v; }
    bool OemConvert() const { return FOemConvert; }
    void SetOemConvert(bool v) { FOemConvert = v; }
    bool AlwaysQuotes() const { return FAlwaysQuotes; }
    void SetAlwaysQuotes(bool v) { FAlwaysQuotes = v; }
    bool ExcelClipboardFormat() const { return FExcelClipboardFormat; }
    void SetExcelClipboardFormat(bool v) { FExcelClipboardFormat = v; }
    bool SizeGrowOnly() const { return FSizeGrowOnly; }
    void SetSizeGrowOnly(bool v) { FSizeGrowOnly = v; }
    bool ClearTextOnly() const { return FClearTextOnly; }
    void SetClearTextOnly(bool v) { FClearTextOnly = v; }
    bool QuoteEmptyCells() const { return FQuoteEmptyCells; }
    void SetQuoteEmptyCells(bool v) { FQuoteEmptyCells = v; }
    bool ShowNullDates() const { return FShowNullDates; }
    void SetShowNullDates(bool v) { FShowNullDates = v; }
    bool SaveFixedCells() const { return FSaveFixedCells; }
    void SetSaveFixedCells(bool v) { FSaveFixedCells = v; }
    bool SaveVirtCells() const { return FSaveVirtCells; }
    void SetSaveVirtCells(bool v) { FSaveVirtCells = v; }
    bool SaveWithHTML() const { return FSaveWithHTML; }
    void SetSaveWithHTML(bool v) { FSaveWithHTML = v; }
    bool LoadFirstRow() const { return FLoadFirstRow; }
    void SetLoadFirstRow(bool v) { FLoadFirstRow = v; }
    bool SaveFixedRows() const { return FSaveFixedRows; }
    void SetSaveFixedRows(bool v) { FSaveFixedRows = v; }
    bool SaveFixedCols() const { return FSaveFixedCols; }
    void SetSaveFixedCols(bool v) { FSaveFixedCols = v; }
    bool SaveHiddenCells() const { return FSaveHiddenCells; }
    void SetSaveHiddenCells(bool v) { FSaveHiddenCells = v; }
    bool Multilinecells() const { return FMultilineCells; }
    void SetMultilinecells(bool v) { FMultilineCells = v; }
    bool EditWithTags() const { return FEditWithTags; }
    void SetEditWithTags(bool v) { FEditWithTags = v; }
    int MinRowHeight() const { return FMinRowHeight; }
    void SetMinRowHeight(int v) { FMinRowHeight = v; }
    int MaxRowHeight() const { return FMaxRowHeight; }
    void SetMaxRowHeight(int v) { FMaxRowHeight = v; }
    int MinColWidth() const { return FMinColWidth; }
    void SetMinColWidth(int v) { FMinColWidth = v; }
    int MaxColWidth() const { return FMaxColWidth; }
    void SetMaxColWidth(int v) { FMaxColWidth = v; }
    platform::TPoint XYOffset() const { return FXYOffset; }
    void SetXYOffset(const platform::TPoint& v);
    int PrintPageFrom() const { return FPrintPageFrom; }
    int PrintPageTo() const { return FPrintPageTo; }

    // ---- printing and preview (ExGrid_Print.cpp): pages in tenths of a
    // millimetre; Print* go to platform::Printer(), PrintPreview* and
    // PrintDraw* into any canvas.
    void Print();
    void PrintRect(const platform::TGridRect& gridRect);
    void PrintSelection();
    void PrintSelectedRows();
    void PrintSelectedCols();
    void PrintPreview(platform::TCanvas& canvas, const platform::TRect& displayRect);
    void PrintPreviewRect(platform::TCanvas& canvas, const platform::TRect& displayRect,
                          const platform::TGridRect& gridRect);
    void PrintPreviewSelection(platform::TCanvas& canvas, const platform::TRect& displayRect);
    void PrintPreviewSelectedRows(platform::TCanvas& canvas, const platform::TRect& displayRect);
    void PrintPreviewSelectedCols(platform::TCanvas& canvas, const platform::TRect& displayRect);
    void PrintDraw(platform::TCanvas& canvas, const platform::TRect& drawRect);
    void PrintDrawRect(platform::TCanvas& canvas, const platform::TRect& drawRect, const platform::TGridRect& gridRect);
    void SetPreviewPage(int page) { FPrintPageFrom = FPrintPageTo = page; }
    int MapFontHeight(int pointSize) const;
    static int MapFontSize(int height);
    int PrintNrOfPages() const { return FPrintNrOfPages; }
    int PrintPageWidth() const { return FPrintPageWidth; }
    platform::TRect PrintPageRect() const { return FPrintPageRect; }
    int PrintColStart() const { return FPrintColStart; }
    int PrintColEnd() const { return FPrintColEnd; }
    bool IsPrintPreview() const { return FIsPrintPreview; }
    double Fontscalefactor() const { return FFontScaleFactor; }
    platform::TRect PrevRect() const { return FPrevRect; }
    bool FastPrint() const { return FFastPrint; }
    void SetFastPrint(bool v) { FFastPrint = v; }
    bool PrinterDriverFix() const { return FPrinterDriverFix; }
    void SetPrinterDriverFix(bool v) { FPrinterDriverFix = v; }

    std::function<void(QObject* sender, int nrOfPages, int& fromPage, int& toPage)> OnPrintStart;
    std::function<void(QObject* sender, double& scaleFactor, bool& allow)> OnFitToPage;
    std::function<void(QObject* sender, int aCol, int& width)> OnPrintSetColumnWidth;
    std::function<void(QObject* sender, int aRow, int& height)> OnPrintSetRowHeight;
    std::function<void(QObject* sender, platform::TCanvas& canvas, int pageNr, int pageXSize, int pageYSize)>
        OnPrintPage;
    std::function<void(QObject* sender, int aRow, bool& newPage)> OnPrintNewPage;
    std::function<void(QObject* sender, platform::TCanvas& canvas, int lastRow, int lastRowOffset, int lastPage,
                       int pageXSize, int pageYSize)>
        OnPrintPageDone;
    std::function<void(QObject* sender, int pageNr, bool& cancel)> OnPrintCancel;
    std::function<void(QObject* sender, int pageNum, int pageColNum, QString& pageNumString)> OnPrintGetPageNum;

    // ---- hidden columns and rows

    void HideColumn(int colIndex) { HideColumns(colIndex, colIndex); }
    void HideColumns(int fromCol, int toCol);
    void UnHideColumn(int colIndex) { UnHideColumns(colIndex, colIndex); }
    void UnHideColumns(int fromCol, int toCol);
    void UnHideColumnsAll() { UnHideColumns(0, TotalColCount()); }
    // Columns outside 0..511 are never hidden.
    bool IsHiddenColumn(int colIndex) const;
    int NumHiddenColumns() const { return FNumHidden; }
    int TotalColCount() override { return ColCount() + FNumHidden; }
    // Display to real and back; a column outside 0..511 passes unchanged.
    int RealColIndex(int aCol) const;
    int DisplColIndex(int aCol) override;
    int DisplColIndexOf(int aCol) const;
    bool IsIgnoredColumn(int aCol) const { return FIgnoreColumns.HasValue(aCol); }
    const TIntList& IgnoreColumns() const { return FIgnoreColumns; }
    TIntList& IgnoreColumns() { return FIgnoreColumns; }

    void HideRow(int rowIndex) { HideRows(rowIndex, rowIndex); }
    void HideRows(int fromRow, int toRow);
    void HideRowsEx(int fromRow, int toRow);
    void HideRowList(const TIntList& rowList);
    void UnHideRow(int rowIndex);
    void UnHideRows(int fromRow, int toRow);
    void UnHideRowsAll();
    void UnHideRowList();
    bool IsHiddenRow(int rowIndex) const;
    // The caller owns the list built on first use.
    bool IsHiddenRow(int rowIndex, std::unique_ptr<TIntList>& listHidden) const;
    int NumHiddenRows() const { return FGridItems.Count(); }
    int TotalRowCount() const { return RowCount() + NumHiddenRows(); }
    int RealRowIndex(int aRow) const { return RowDisplToReal(aRow); }
    int DisplRowIndex(int aRow) const { return RowRealToDispl(aRow); }
    int RowDisplToReal(int aRow) const;
    int RowRealToDispl(int aRow) const;
    void HideSelectedRows();
    void HideUnSelectedRows();
    const TGridItemCollection& GridItems() const { return FGridItems; }
    TGridItemCollection& GridItems() { return FGridItems; }
    int FilterLevel() const { return FFilterLevel; }
    void SetFilterLevel(int v) { FFilterLevel = v; }

    // ---- selection

    void SelectRows(int rowIndex, int rCount);
    void SelectCols(int colIndex, int cCount);
    void SelectRange(int fromCol, int toCol, int fromRow, int toRow);
    void SelectCells(int fromCol, int fromRow, int toCol, int toRow);
    void HideSelection();
    void UnHideSelection();
    bool SelectionHidden() const { return FSelHidden; }
    bool GetRowSelect(int aRow);
    void SetRowSelect(int aRow, bool value);
    void UnSelectRows(int rowIndex, int rCount);
    void ClearRowSelect();
    int RowSelectCount();
    int SelectedRowCount();
    int GetSelectedRow(int i);
    void SyncRowSelectWithSelection(bool all);
    bool GetColSelect(int aCol);
    void SetColSelect(int aCol, bool value);
    void UnSelectCols(int colIndex, int cCount);
    void ClearColSelect();
    int ColSelectCount();
    int SelectedColCount();
    void SyncColSelectWithSelection(bool all);
    bool GetSelectedCells(int aCol, int aRow) const;
    void SetSelectedCells(int aCol, int aRow, bool value);
    platform::TGridCoord GetSelectedCell(int index) const;
    int SelectedCellsCount();
    void ClearSelectedCells();
    bool IsSelected(int aCol, int aRow);
    QString SelectedText();
    bool SelChange() const { return FSelChange; }

    TRowDisjunctSelectEvent OnRowDisjunctSelect;
    TRowDisjunctSelectedEvent OnRowDisjunctSelected;

    // ---- current cell, row marks and registries

    int Row() const { return GetRowEx(); }
    void SetRow(int value) { SetRowEx(value); }
    int GetRowEx() const { return TBaseGrid::Row(); }
    void SetRowEx(int value);
    int TopRow() const { return TBaseGrid::TopRow(); }
    void SetTopRow(int value);
    int RealRow() const { return RealRowIndex(Row()); }
    int RealCol() const { return RealColIndex(Col()); }
    void GotoCell(int aCol, int aRow);
    void EditCell(int aCol, int aRow);
    void FocusCell(int aCol, int aRow);
    void MoveCurrentCell(int aCol, int aRow);
    void UpdateEditMode();
    void ScrollInView(int colIndex, int rowIndex);
    void ScrollLastRowAboveSearchFooter();
    bool LastRowClearOfSearchFooter();

    bool GetRowModified(int aRow) const;
    void SetRowModified(int aRow, bool value);
    int ModifiedRowCount() const;
    void ClearModifiedRows();
    bool GetRowEnabled(int aRow) const;
    void SetRowEnabled(int aRow, bool value);

    void RepaintRow(int aRow);
    void RepaintCol(int aCol);
    void RepaintRect(const platform::TRect& r);
    void InvalidateCellRange(const platform::TRect& r);
    void RegisterSelListener(ITExStringGridSelect* listener) { FISelect = listener; }
    void UnRegisterSelListener(ITExStringGridSelect*) { FISelect = nullptr; }
    void RegisterNotifier(TGridChangeNotifier* item);
    void UnRegisterNotifier(TGridChangeNotifier* notifier);
    ITExStringGridSelect* SelListener() const { return FISelect; }
    int NotifierCount() const { return static_cast<int>(FNotifierList.size()); }

    TGridRowUpdateEvent OnRowUpdate;

    // ---- structure operations the model needs (completed with the row and
    // column operations)

    // Hidden rows at and below the insertion point move down with the rows.
    virtual void InsertRows(int rowIndex, int rCount, bool updateCellControls = true);
    void InsertRowRange(int rowIndex, int rCount, bool updateCellControls);
    void RemoveRowRange(int rowIndex, int count, bool adjustStore);
    virtual void RemoveRowsEx(int rowIndex, int rCount);
    virtual void DropRows(int rowIndex, int rCount);
    virtual void InsertCols(int colIndex, int cCount);
    virtual void RemoveCols(int colIndex, int cCount);
    void MoveColumn(int fromIndex, int toIndex);
    void SetColumnOrder();
    void ResetColumnOrder();
    int ColumnPosition(int aCol) const;
    const TIntList& ColumnOrder() const { return FColumnOrder; }

    virtual void ClearRect(int aCol1, int aRow1, int aCol2, int aRow2);
    void ClearRows(int rowIndex, int rCount);
    void ClearCols(int colIndex, int cCount);
    void MergeColumnCells(int colIndex, bool mainMerge);
    void SplitColumnCells(int colIndex);

    // ---- row and column operations (display rows; columns as each says)

    void AddRow();
    void AddColumn() { InsertCols(TotalColCount(), 1); }
    virtual void RemoveRows(int rowIndex, int rCount);
    void RemoveCheckedRows(int checkBoxColumn, bool removeChecked);
    // aCol is a display column; texts match without regard to case.
    void RemoveDuplicates(int aCol, bool doCase);
    void RemoveSelectedRows();
    void RemoveUnSelectedRows();
    void RemoveSelectedCols();
    void RemoveUnSelectedCols();
    void MoveRow(int fromIndex, int toIndex);
    // Cells, cell objects and heights travel with the rows.
    void MoveRows(int fromIndex, int toIndex, int count);
    // Real columns; the display widths follow when both are shown.
    void SwapColumns(int index1, int index2);
    void SwapRows(int index1, int index2);
    // Real columns.
    void SwapCells(const platform::TGridCoord& fromCell, const platform::TGridCoord& toCell);
    int ColumnAtPosition(int aPosition);
    // The first real column whose row-0 text is aValue; -1 when none.
    int ColumnByHeader(const QString& aValue);

    // ---- range operations (real columns unless SaveHiddenCells, display rows)

    void ClearNormalRows(int rowIndex, int rCount);
    void ClearNormalCols(int colIndex, int cCount);
    void ClearNormalCells();
    void Clear();
    void ClearAll();
    void ClearSelection();
    virtual void TrimRect(int aCol1, int aRow1, int aCol2, int aRow2);
    void TrimColumn(int aCol) { TrimRect(aCol, 0, aCol, RowCount() - 1); }
    void TrimRow(int aRow) { TrimRect(0, aRow, TotalColCount() - 1, aRow); }
    void TrimAll() { TrimRect(0, 0, TotalColCount() - 1, RowCount() - 1); }
    void ColorRect(int aCol1, int aRow1, int aCol2, int aRow2, platform::TColor aColor);
    void MergeRowCells(int rowIndex, bool mainMerge);
    void SplitRowCells(int rowIndex);
    void SplitAllCells();
    void MergeCols(int colIndex1, int colIndex2, const QString& separator);
    void AutoNumberCol(int aCol);
    void AutoNumberRow(int aRow);
    int AutoNumberStart() const { return FAutoNumberStart; }
    void SetAutoNumberStart(int v) { FAutoNumberStart = v; }
    int AutoNumberOffset() const { return FAutoNumberOffset; }
    void SetAutoNumberOffset(int v) { FAutoNumberOffset = v; }
    TSortDirection AutoNumberDirection() const { return FAutoNumberDirection; }
    void SetAutoNumberDirection(TSortDirection v) { FAutoNumberDirection = v; }
    // Real column of the first cell, row by row, whose text is subStr.
    bool IsCell(const QString& subStr, int& aCol, int& aRow);
    bool IsWideCell(int aCol, int aRow);
    virtual platform::TRect UsedCells();
    int SaveStartCol() const;
    int SaveStartRow() const;
    int SaveEndCol() const;
    int SaveEndRow() const;
    int SaveColCount() const;
    int SaveRowCount() const;

    // ---- exchange files (ExGrid_TextFile, ExGrid_CSV, ExGrid_Binary,
    // ExGrid_Export, ExGrid_XML, ExGrid_HTML). Readers take outside input:
    // bad input raises REruVidaZuvez and never leaves a half-read grid size.

    void SaveToFile(const QString& fileName, bool unicode = false);
    void LoadFromFile(const QString& fileName);
    void SaveToStream(QIODevice& stream);
    void LoadFromStream(QIODevice& stream);
    void SaveToCSV(const QString& fileName, bool unicode = false);
    void AppendToCSV(const QString& fileName, bool unicode = false);
    void LoadFromCSV(const QString& fileName, int maxRows = 0);
    void InsertFromCSV(const QString& fileName, int maxRows = 0);
    void LoadFromCSVStream(QIODevice& stream, int maxRows = 0);
    // Rectangle: first column, first row, last column, last row (inclusive),
    // in display columns, as is the load point: hidden columns neither travel
    // nor receive cells.
    void SaveRectToBinStream(const platform::TRect& r, QIODevice& stream);
    void SaveToBinStream(QIODevice& stream);
    void SaveToBinFile(const QString& fileName);
    // fullGridAllowed false: a whole-grid stream is placed at p like a block,
    // without clearing or resizing the grid (pastes and drops).
    void LoadAtPointFromBinStream(const platform::TPoint& p, QIODevice& stream, bool fullGridAllowed = true);
    void LoadFromBinStream(QIODevice& stream);
    void LoadFromBinFile(const QString& fileName);
    void SaveToFixed(const QString& fileName, TIntList& positions);
    void LoadFromFixed(const QString& fileName, TIntList& positions, bool doTrim = true, int maxRows = -1);
    void SaveToASCII(const QString& fileName, bool unicode = false);
    void AppendToASCII(const QString& fileName, bool unicode = false);
    QString SaveToHTMLString(const QString& dir);
    void SaveToHTML(const QString& fileName, bool show = false, bool unicode = false);
    void AppendToHTML(const QString& fileName, bool show = false, bool unicode = false);
    void SaveToXML(const QString& fileName, const QString& listDescr, const QString& recordDescr,
                   const QStringList* fieldDescr, bool exportEmptyCells);
    void LoadFromXML(const QString& fileName, bool levelToRow, bool loadFieldDescr);
    // Through the platform's automation servers (ExGrid_AutomationXLS,
    // ExGrid_AutomationDOC); REruVidaZuvez when a server is missing.
    QStringList GetXLSSheets(const QString& fileName);
    void LoadFromXLS(const QString& fileName);
    void LoadFromXLSSheet(const QString& fileName, const QString& sheetName);
    void SaveToXLS(const QString& fileName, bool createNewSheet);
    void SaveToXLSSheet(const QString& fileName, const QString& sheetName);
    void SaveToDOC(const QString& fileName, bool createNewDocument);
    void AppendToDoc(const QString& fileName, const QString& bookmark);
    void LoadFromMDBTable(const QString& fileName, const QString& table);
    void LoadFromMDBSQL(const QString& fileName, const QString& sql);
    TGridProgressEvent OnFileProgress;

    // ---- highlighting, cell checking and fills (real columns, display rows)

    static QString HilightText(bool doCase, const QString& s, const QString& text);
    static QString UnHilightText(const QString& s);
    static QString MarkText(bool doCase, const QString& s, const QString& text);
    static QString UnMarkText(const QString& s);
    void HilightInCell(bool doCase, int aCol, int aRow, const QString& hiText);
    void MarkInCell(bool doCase, int aCol, int aRow, const QString& hiText);
    void UnHilightInCell(int aCol, int aRow);
    void UnMarkInCell(int aCol, int aRow);
    void HilightInCol(bool doFixed, bool doCase, int aCol, const QString& hiText);
    void MarkInCol(bool doFixed, bool doCase, int aCol, const QString& hiText);
    void UnHilightInCol(bool doFixed, int aCol);
    void UnMarkInCol(bool doFixed, int aCol);
    void HilightInRow(bool doFixed, bool doCase, int aRow, const QString& hiText);
    void MarkInRow(bool doFixed, bool doCase, int aRow, const QString& hiText);
    void UnHilightInRow(bool doFixed, int aRow);
    void UnMarkInRow(bool doFixed, int aRow);
    void HilightInGrid(bool doFixed, bool doCase, const QString& hiText);
    void MarkInGrid(bool doFixed, bool doCase, const QString& hiText);
    void UnHilightInGrid(bool doFixed);
    void UnMarkInGrid(bool doFixed);
    // The checker is not owned; a checker that goes away leaves none.
    TExStringGridCheck* CellChecker() const { return FCellChecker.data(); }
    void SetCellChecker(TExStringGridCheck* v)
    {
        FCellChecker = v;
        if (v)
            FreeNotification(v);
    }
    bool CheckCell(int aCol, int aRow);
    bool CheckCells(int fromCol, int fromRow, int toCol, int toRow);
    bool CheckCol(bool doFixed, int aCol);
    bool CheckRow(bool doFixed, int aRow);
    bool CheckGrid(bool doFixed);
    void TextFill(bool doFixed, const QString& txt);
    // fmt takes the column, then the row ("%1", "%2").
    void FormatFill(bool doFixed, const QString& fmt);
    void RandomFill(bool doFixed, int rnd);
    void LinearFill(bool doFixed);

    // ---- hooks

    void QueryDisplText(int aCol, int aRow, QString& value) override;
    void CellTextChanged(int aCol, int aRow) override;
    // The look a cell's new properties start from (real column, display row).
    void PrepareCellLook(int aCol, int aRow, platform::TFont& font, platform::TBrush& brush,
                         platform::TColor& colorTo, platform::TColor& mirrorColor, platform::TColor& mirrorColorTo,
                         platform::TAlignment& alignment, TVAlignment& vAlignment, bool& wordWrap,
                         TCellGradientDirection& gradientDirection) override;
    bool HasNodes() override;
    int RowNodeIndent(int aRow) override;
    bool IsFixed(int aCol, int aRow) override;
    virtual void QueryIsFixed(int aCol, int aRow, bool& isFixed);
    virtual void QueryCanEdit(int aCol, int aRow, bool& canEdit);
    virtual void DoCanEditCell(int aCol, int aRow, bool& canEdit);
    virtual void QueryIsPassword(int aCol, int aRow, bool& isPassword);
    virtual void QueryWordWrap(int aCol, int aRow, bool& wordWrap);
    virtual bool QueryHasComboBox(int aCol, int aRow);
    virtual void QueryCheckTrue(int aCol, int aRow, QString& value);
    virtual void QueryCheckFalse(int aCol, int aRow, QString& value);
    virtual void QueryEditorType(int aCol, int aRow, TEditorType& editor);
    virtual void QueryCellEditor(int aCol, int aRow, TEditorType& editor);
    virtual void QueryCellAlignment(int aCol, int aRow, platform::TAlignment& hAlign, TVAlignment& vAlign);
    virtual void QuerySortFormat(int aCol, TSortStyle& style, QString& prefix, QString& suffix);
    // Colours, fonts and borders of a cell for painting and printing
    // (aCol real, aRow display).
    virtual void QueryCellColor(int aCol, int aRow, platform::TBrush& brush, platform::TFont& font,
                                platform::TGridDrawState state);
    virtual void QueryCellPrintColor(int aCol, int aRow, platform::TBrush& brush, platform::TFont& font,
                                     platform::TGridDrawState state);
    virtual void QueryCellBorder(int aCol, int aRow, TCellBorders& borders, platform::TPen& pen);
    virtual void QueryCellPrintBorder(int aCol, int aRow, TCellBorders& borders, platform::TPen& pen);
    // The text of a printed page number; raises OnPrintGetPageNum.
    virtual void QueryPrintPageNum(int pageNum, int pageColNum, QString& pageNumString);
    // The text of a cell as shown, formatted (the display text here).
    virtual QString GetFormattedCell(int aCol, int aRow);
    virtual void AdjustSizedColumnWidth(int aCol, int& aWidth);
    virtual void AdjustAutoSizedColumnWidth(int aCol, int& aWidth);
    virtual void ColumnHeadersChanged() {}
    virtual void CellsUpdated() { CalcFooter(-1); }
    virtual void CellsChanged(const platform::TRect& r);
    virtual void DoSelectionChanged(int aLeft, int aTop, int aRight, int aBottom);
    // The kind of graphic object the cell holds; ctEmpty without one.
    virtual TCellType GetCellType(int aCol, int aRow);
    virtual TCellGraphic* GetCellGraphic(int aCol, int aRow);
    // A non-empty wide hint replaces the hint in its wide-escaped form.
    virtual void QueryGridHint(int aCol, int aRow, QString& hint, QString& wideHint);
    // Whether the editor-type event chose no editor for the cell.
    virtual bool QueryIsNoneEditor(int aCol, int aRow);
    // Fills FilterList with the column's filter values; whether it has any.
    virtual bool QueryFilterList(int aCol);
    // Only with OnGetCellCursor: the cursor it chooses is shown over the grid.
    virtual void QueryCellCursor(int aCol, int aRow, int x, int y);
    // The grid's font, or, for a cell with own properties, one shared font
    // filled from them (valid until the next call).
    platform::TFont& GetCellFont(int aCol, int aRow);
    virtual void DoSearchFooterAction(const QString& value, int aCol, int aRow, TSearchAction searchAction);
    virtual void DoCurrentButtonClick();
    virtual void DoButtonClick(int aCol, int aRow);
    virtual void DoExpandClick(int aCol, int aRow, bool expanded);
    virtual void DoComboCloseUp(int aRow, int aCol);
    virtual void DoComboDropDown(int aRow, int aCol);
    virtual void QueryCanAddRow(bool& canAdd);
    virtual void QueryCanInsertRow(int aRow, bool& canInsert);
    virtual void DoCheckBoxChange(int aCol, int aRow, bool state);
    // Whether a rating cell may take the (possibly changed) new rate.
    virtual bool QueryRatingChange(int aCol, int aRow, double& newRate);
    // The colour and image pickers relay their choice for the current cell.
    virtual void DoColorSelect(platform::TColor color, const QString& colorText);
    virtual void DoImageSelect(int itemIndex);
    virtual void EditorCaretMoved(const QString& text, int caretPos, int selStart) {}
    // Rows added and removed by the insert-row and delete-row keys (display row).
    virtual void DoAutoInsertRow(int aRow);
    virtual void DoAutoDeleteRow(int aRow);
    virtual void DoFilterDone();
    // The handler may change the fixed cell's editor kind and fill its items.
    virtual void DoFixedEdit(int aCol, int aRow, TGridFixedCellEditor& editor, QStringList& values);
    virtual void ExportNotification(TGridExportState aState, int aRow) {}
    virtual void ImportNotification(TGridImportState aState, int aRow) {}
    // The texts the exchange code reads and writes.
    virtual void QueryCellText(int aCol, int aRow, QString& text);
    virtual void QuerySaveCellText(int aCol, int aRow, QString& text);
    virtual void DoLoadCell(int aCol, int aRow, const QString& value);
    // A choice of the open filter drop-down (column FilterColumn); the
    // column is closed afterwards. Applying filters comes with the extras.
    virtual void FilterSelected(int itemIndex);
    int FilterColumn() const { return FFilterColumn; }
    const QStringList& FilterList() const { return FFilterList; }
    bool FilterDropDownAuto() const { return FFilterDropDownAuto; }
    void SetFilterDropDownAuto(bool v);
    TFilterDropDownColumns FilterDropDownColumns() const { return FFilterDropDownColumns; }
    void SetFilterDropDownColumns(TFilterDropDownColumns v) { FFilterDropDownColumns = v; }
    bool SaveWithRTF() const { return FSaveWithRTF; }
    void SetSaveWithRTF(bool v) { FSaveWithRTF = v; }

    TGridHintEvent OnGridHint;
    TGridWideHintEvent OnGridWideHint;
    TGetColumnFilterEvent OnGetColumnFilter;
    TCellCursorEvent OnGetCellCursor;
    TSearchFooterActionEvent OnSearchFooterAction;
    TButtonClickEvent OnButtonClick;
    TExpandClickEvent OnExpandClick;
    TClickCellEvent OnComboCloseUp;
    TClickCellEvent OnComboDropDown;
    TCanAddRowEvent OnCanAddRow;
    TCanInsertRowEvent OnCanInsertRow;
    TCheckBoxClickEvent OnCheckBoxChange;
    TRatingChangeEvent OnRatingChange;
    TColorSelectEvent OnColorSelect;
    TImageSelectEvent OnImageSelect;
    TAutoDeleteRowEvent OnAutoDeleteRow;
    platform::TNotifyEvent OnFilterDone;
    TFixedEditEvent OnFixedEdit;
    TCellSaveLoadEvent OnSaveCell;
    TCellSaveLoadEvent OnLoadCell;
    TFilterSelectEvent OnFilterSelect;

    // ---- filtering (ExGrid_Filter.cpp)

    TFilter& Filter();
    TFilterDropDown& FilterDropDown();
    // Whether the row (display index) passes the conditions.
    virtual bool MatchFilter(int aRow);
    // Hides the row when it fails the conditions.
    void FilterRow(int aRow);
    // Hides the failing data rows as one new filter level.
    void ApplyFilter();
    // Brings back the rows of the last level; whether levels remain.
    bool RemoveLastFilter();
    // Every level; with none in force the conditions are emptied instead.
    void RemoveAllFilters();
    // Contains-filter on one column (whole rows with -1) while typing.
    void NarrowDown(const QString& aCondition, int aColumn);
    // A change of the check-list drop-down.
    virtual void FilterCheckChanged();
    // Opens the drop-down of a column below its filter button.
    void ShowFilterDropDown(int aCol, int aRow);
    void HideFilterDropDown();
    TDropList* FilterDropList() const { return FFilterDropList; }
    TDropCheckList* FilterDropCheckList() const { return FFilterDropCheckList; }
    int FilterDropDownRow() const { return FFilterDropDownRow; }
    void SetFilterDropDownRow(int v);
    bool FilterDropDownCheck() const { return FFilterDropDownCheck; }
    void SetFilterDropDownCheck(bool v) { FFilterDropDownCheck = v; }
    // Whether the cell shows a filter button.
    bool IsFilterCell(int aCol, int aRow);
    // Opens or closes the drop-down for a mouse release; whether it opened.
    bool FilterDropDownMouseUp(platform::TMouseButton button, int x, int y);

    TFilterCustomEvent OnCustomFilter;
    TFilterProgressEvent OnFilterProgress;
    TFilterCheckEvent OnFilterCheck;

    // ---- find, replace and search footer (ExGrid_Find.cpp)

    platform::TPoint Find(platform::TPoint startCell, const QString& s, TFindParams findParams);
    platform::TPoint FindWide(platform::TPoint startCell, const QString& s, TFindParams findParams);
    platform::TPoint FindFirst(const QString& s, TFindParams findParams);
    platform::TPoint FindNext();
    int Replace(const QString& origStr, const QString& newStr, TFindParams findParams);
    // Type-ahead: the first data row whose key-column text starts with s.
    int Search(const QString& s);
    platform::TPoint SearchCell() const { return FSearchCell; }
    QString SearchCache() const { return FSearchCache; }
    TFindParams FindParams() const { return FFindParams; }
    int FindCol() const { return FFindCol; }
    void SetFindCol(int v) { FFindCol = v; }
    int FindRow() const { return FFindRow; }
    void SetFindRow(int v) { FFindRow = v; }
    void SearchFooterEditChange();
    void SearchFooterFindNext();
    void SearchFooterFindPrevious();
    void SearchFooterClose();
    void SearchFooterHighlight();

    TSearchEditChangeEvent OnSearchEditChange;
    platform::TNotifyEvent OnSearchFooterClose;

    // ---- check-box and radio cells (real column, display row unless said)

    // "Invalid cell" (REruVidaZuvez) outside the grid, hidden rows and
    // columns counted in.
    void AddCheckBox(int aCol, int aRow, bool state, bool data);
    void AddCheckBox(int aCol, int aRow, platform::TCheckBoxState state);
    static platform::TCheckBoxState BoolToCheckBoxState(bool checked)
    {
        return checked ? platform::cbChecked : platform::cbUnchecked;
    }
    void AddCheckBoxColumn(int aCol, bool defaultState = false, bool dataCheckBox = false);
    void AddTriStateCheckBoxColumn(int aCol, platform::TCheckBoxState state);
    void RemoveCheckBox(int aCol, int aRow);
    void RemoveCheckBoxColumn(int aCol);
    // Whether a point (client coordinates) hits the cell's check box or radio button.
    bool IsInCheckBox(int aCol, int aRow, int xPos, int yPos);
    // The has-tests look at the base cell of a merged range.
    bool HasCheckBox(int aCol, int aRow);
    bool HasDataCheckBox(int aCol, int aRow);
    bool HasClickableControl(int aCol, int aRow);
    // Cells whose graphic shows their text's data (not printed as text).
    bool HasDataGraphic(int aCol, int aRow);
    // With hidden rows aRow is a real row, here and in SetCheckBoxState.
    bool GetCheckBoxState(int aCol, int aRow, bool& state);
    bool GetCheckBoxState(int aCol, int aRow, platform::TCheckBoxState& state);
    bool IsChecked(int aCol, int aRow);
    // No event; true for the boolean kinds.
    bool SetCheckBoxState(int aCol, int aRow, bool state);
    // Tri-state check boxes only.
    bool SetCheckBoxState(int aCol, int aRow, platform::TCheckBoxState state);
    // As SetCheckBoxState (display row), raising OnCheckBoxChange when the state changes.
    void ApplyCheckBoxState(int aCol, int aRow, bool state);
    void CheckAll(int aCol);
    void UnCheckAll(int aCol);
    bool ToggleCheckBox(int aCol, int aRow) { return ToggleCellCheck(aCol, aRow, false); }
    // The toggle of clicks, the space key and ToggleCheckBox; true when toggled.
    virtual bool ToggleCellCheck(int aCol, int aRow, bool fromUser);
    // Grouping.AutoCheckGroup: a node row's state goes to its group's rows;
    // a data row's change sets its node's tri-state box.
    void CheckGroupOf(int aCol, int aRow, bool state);
    // Grouping.AutoSelectGroup: the rows of an expanded node's group.
    void SelectGroupOf(int aRow);
    // The footer's row count: the data rows only while grouped.
    int FooterRowCount(bool withHidden);

    // Radio groups: sl stays the caller's; CreateRadio's list is the cell's.
    void AddRadio(int aCol, int aRow, bool dirRadio, int idxRadio, QStringList* sl);
    QStringList* CreateRadio(int aCol, int aRow, bool dirRadio, int idxRadio);
    bool GetRadioIdx(int aCol, int aRow, int& idxRadio);
    // -1 also empties the cell text.
    bool SetRadioIdx(int aCol, int aRow, int idxRadio);
    QStringList* GetRadioStrings(int aCol, int aRow);
    bool IsRadio(int aCol, int aRow);
    void RemoveRadio(int aCol, int aRow);
    // The keyboard's step to the next item (wrapping); true when it stepped.
    bool SelectNextRadio(int aCol, int aRow, bool checkEdit);

    void AddRadioButton(int aCol, int aRow, bool state);
    void AddRadioButtonColumn(int aCol);
    void RemoveRadioButton(int aCol, int aRow);
    void RemoveRadioButtonColumn(int aCol);
    bool HasRadioButton(int aCol, int aRow);
    bool IsRadioButtonChecked(int aCol, int aRow);
    bool SetRadioButtonState(int aCol, int aRow, bool state);
    void SetRadioButtonColumnIndex(int aCol, int index);
    int GetRadioButtonColumnIndex(int aCol);
    // Checks the radio button and unchecks the others of its column.
    virtual bool SelectCellRadioButton(int aCol, int aRow, bool fromUser);

    void HideInplaceEdit();

    // ---- neighbouring services (grid extras; neutral until they are built)

    virtual void CalcFooter(int aCol);
    void UpdateFooter();
    bool IsNode(int aRow) const;
    int GetNodeLevel(int aRow) const;
    void ExpandAll();
    virtual void SaveColPositions();
    virtual void LoadColPositions();

    // ---- layout persistence (ExGrid_Layout.cpp). Layouts read back are
    // checked whole before anything is applied: a damaged one raises
    // REruVidaZuvez and leaves the grid as it was. The column-size stores act
    // only with ColumnSize's Key and Section set; the registry is not
    // available on this system.
    QString ColumnStatesToString();
    void StringToColumnStates(const QString& states);
    void SaveColSizes();
    void LoadColSizes();
    void SavePrintSettings(const QString& key, const QString& section);
    void LoadPrintSettings(const QString& key, const QString& section);
    void SaveVisualProps(const QString& fileName);
    void LoadVisualProps(const QString& fileName);
    bool IsInNodeButton(int aRow, int x);
    void ExpandNode(int realRow);
    void ContractNode(int realRow);
    void ContractAll();
    bool GetNodeState(int aRow);
    int GetNodeSpan(int aRow);
    bool IsSummary(int aRow);
    bool HasExpand(int aCol, int aRow);
    bool ToggleExpand(int aCol, int aRow);
    virtual void QSort();
    virtual void QSortIndexed();
    virtual void QSortGroup();
    virtual void QSortGroupIndexed();
    virtual void QUnSort();
    void InitSortXRef();

    // ---- tree nodes and expand cells (ExGrid_Nodes.cpp; rows as each says)

    // A span reaching past the last row is cut to the rows there are.
    void AddNode(int realRow, int span);
    void RemoveNode(int realRow);
    void RemoveAllNodes();
    void SetNodeState(int aRow, bool value);
    void SetNodeSpan(int aRow, int value);
    void UpdateNodeSpan(int aRow, int delta);
    int GetSubNodeCount(int aRow);
    void UpdateSubNodeCount(int aRow, int delta);
    // Tree-line kind of a display row: 0 node, 1 last of its level, 2 more follow.
    int GetNodeSpanType(int aRow);
    // Display row of the node owning a display row; -1 without nodes.
    int GetParentRow(int aRow);
    void InsertNormalRow(int realRow);
    void RemoveNormalRow(int aRow);
    void InsertChildRow(int realRow, int insertAt);
    void RemoveChildRow(int realRow);
    void AddExpand(int aCol, int aRow, int expandedHeight);
    void RemoveExpand(int aCol, int aRow);
    bool GetExpandState(int aCol, int aRow);
    int GetExpandHeight(int aCol, int aRow, bool expanded);
    int NumNodes() const { return FNumNodes; }
    // A press in column 0 of a node row (display row, client x); true when
    // it hit the node button and was handled.
    bool NodeButtonPress(int aRow, int x);
    // A header row's node: with MouseActions.NodeAllExpandContract its
    // contracted flag picks ExpandAll or ContractAll and is then inverted.
    void HeaderNodePress(int aRow);
    // The node glyph of a node cell and the tree lines of column 0.
    void PaintNodeGlyph(platform::TCanvas& canvas, const platform::TRect& r, int aRow, platform::TColor background);
    void PaintTreeLines(platform::TCanvas& canvas, const platform::TRect& r, int aRow);

    // (Sender, ARow real, var Allow) before a click expands or contracts a node.
    std::function<void(QObject* sender, int aRow, bool& allow)> OnBeforeExpandNode;
    std::function<void(QObject* sender, int aRow, bool& allow)> OnBeforeContractNode;
    std::function<void(QObject* sender, int aRow)> OnExpandNode;
    std::function<void(QObject* sender, int aRow)> OnContractNode;

    // ---- grouping (ExGrid_Group.cpp; real columns, display rows)

    // Rows with equal texts in the column become the children of a node row
    // showing the value; the column leaves the grid. Nothing for a fixed
    // column, column 0 (the nodes' own), a column out of range or a grid
    // without data rows.
    virtual void Group(int colIndex);
    // Puts the grid back as it was before Group: the column with its width,
    // hidden state and cells (texts and objects), the rows in their order.
    virtual void UnGroup();
    // Sub-groups by a column inside the groups of a grouped grid.
    virtual void SubGroup(int colIndex);
    virtual void SubUnGroup(int colIndex);
    int GroupColumn() const { return FGroupColumn; }
    // -1 ungroups, a column above 0 groups by it, 0 does nothing.
    void SetGroupColumn(int v);
    int SubGroupColumn() const { return FSubGroupColumn; }
    bool IsGrouping() const { return FIsGrouping; }
    // A total per expanded group written into its node row (its summary row
    // with Grouping.Summary): 1 sum, 2 average, 3 minimum, 4 maximum, 5 count,
    // 6 OnGroupCalc, 7 distinct values, 8 standard deviation.
    void GroupCalc(int aCol, int method);
    void GroupSum(int aCol);
    void GroupAvg(int aCol);
    void GroupMin(int aCol);
    void GroupMax(int aCol);
    void GroupCount(int aCol);
    void GroupCustomCalc(int aCol);
    void GroupDistinct(int aCol);
    void GroupStdDev(int aCol);
    double DoGroupCalc(int aCol, int fromRow, int toRow);
    // (Sender, ACol, FromRow, ToRow, var Res)
    std::function<void(QObject* sender, int aCol, int fromRow, int toRow, double& res)> OnGroupCalc;

    // ---- sorting (ExGrid_Sort.cpp; real columns, display rows)

    void Sort(int aCol, TSortDirection direction);
    void SortByColumn(int aCol);
    void QuickSort(int aCol, int left, int right);
    void QuickSortIndexed(int left, int right);
    // Swaps two rows that are out of order; true when swapped.
    bool SortLine(int aCol, int aRow1, int aRow2);
    virtual void SortSwapRows(int aRow1, int aRow2);
    // The comparison of two rows' cells in a column: -1, 0 or 1 (ascending
    // order; blanks with IgnoreBlanks at their end whatever the direction).
    int CompareCells(int aCol, int aRow1, int aRow2, TSortDirection direction);
    TSortIndexList& SortIndexes() { return FSortIndexes; }
    const TIntList& SortXRef() const { return FSortXRef; }
    int Compares() const { return FCompares; }
    int Swaps() const { return FSwaps; }
    TCustomCompareEvent OnCustomCompare;
    TRawCompareEvent OnRawCompare;

    // ---- floating footer (ExGrid_Footer.cpp)

    // The calculation kind of a column, kept in its last-row cell.
    TColumnCalcType GetColumnCalc(int aCol);
    void SetColumnCalc(int aCol, TColumnCalcType kind);
    // A template with "<#n>" placeholders filled from a display row; a
    // placeholder that is no column number yields nothing, an unclosed one
    // stays as written.
    QString ExpandFooterTemplate(const QString& text, int aRow);
    // The canvas of the footer panel (made on first use); it draws while the
    // panel paints, as in OnFooterPaint.
    platform::TCanvas& FooterCanvas();
    TCalcFooterEvent OnFooterCalc;
    std::function<void(QObject* sender, int aColumn, platform::TCanvas& canvas, const platform::TRect& r)> OnFooterPaint;
    platform::TNotifyEvent OnCreatedFloatingFooter;
    // The search footer's panel has made and laid out its controls.
    platform::TNotifyEvent OnCreatedSearchFooter;

    // ---- text metrics (ExGrid_Metrics.cpp)

    // The most lines among the row's shown cells; 1 without Multilinecells.
    int MaxLinesInRow(int aRow);
    // Characters of the longest line of the column's save texts.
    int MaxLineLengthInColumn(int aCol);
    // Moves r's top-left to where text rotated by angle starts (hAlign 0
    // left, 1 right, 2 centre; vAlign 0 top, 1 centre, 2 bottom).
    void AlignRotatedText(platform::TCanvas& canvas, platform::TRect& r, int angle, int vAlign, int hAlign,
                          const QString& text);
    // ---- clipboard (ExGrid_Clipboard.cpp): plain text, the private cell
    // format GridCellsClipboardFormat(), "Rich Text Format", "HTML Format".
    void CopySelectionToClipboard();
    void CutSelectionToClipboard();
    void PasteSelectionFromClipboard();
    void CopyToClipBoard();
    void CutToClipboard();
    void CopyToClipBoardAsHTML();
    void PasteFromClipboard();
    // Tab-separated; cells holding a line break, TAB or double quote are
    // quoted with their quotes doubled, their line breaks as LF.
    QString GetSelectionAsText();
    // Writes tab-separated text from the selection's top-left cell on, raw:
    // no events, no editability test, no undo. Columns grow to fit.
    void SetSelectionAsText(const QString& value);
    bool FilterActive() const;
    void SetFilterActive(bool v);

    // ---- cell graphic objects (real column, display row)

    // Frees the cell's object and attaches a new one.
    TCellGraphic* NewCellGraphic(int aCol, int aRow);
    // Detaches and frees the cell's object (shared objects are only
    // detached); false when there was none.
    bool RemoveCellGraphic(int aCol, int aRow);
    bool RemoveCellGraphicOfType(int aCol, int aRow, TCellType kind);
    // Whether the base cell of the range holds one of the kinds.
    bool HasCellTypeIn(int aCol, int aRow, std::initializer_list<TCellType> kinds);

    // aObject must be an ICellGraphic; it stays the application's.
    void AddInterfacedCell(int aCol, int aRow, TPersistent* aObject);
    TPersistent* GetInterfacedCell(int aCol, int aRow);
    void RemoveInterfacedCell(int aCol, int aRow);
    void AddBitmap(int aCol, int aRow, platform::TBitmap* aBmp, bool transparent, TCellHAlign hal, TCellVAlign val);
    platform::TBitmap* CreateBitmap(int aCol, int aRow, bool transparent, TCellHAlign hal, TCellVAlign val);
    platform::TBitmap* GetBitmap(int aCol, int aRow);
    bool HasBitmap(int aCol, int aRow);
    void RemoveBitmap(int aCol, int aRow);
    void AddPicture(int aCol, int aRow, TCellPicture* aPicture, bool transparent, TStretchMode stretchMode,
                    int padding, TCellHAlign hal, TCellVAlign val);
    TCellPicture* CreatePicture(int aCol, int aRow, bool transparent, TStretchMode stretchMode, int padding,
                                TCellHAlign hal, TCellVAlign val);
    TCellPicture* GetPicture(int aCol, int aRow);
    bool HasPicture(int aCol, int aRow);
    void RemovePicture(int aCol, int aRow);
    void AddFilePicture(int aCol, int aRow, TFilePicture* aFilePicture, bool transparent, TStretchMode stretchMode,
                        int padding, TCellHAlign hal, TCellVAlign val);
    TFilePicture* CreateFilePicture(int aCol, int aRow, bool transparent, TStretchMode stretchMode, int padding,
                                    TCellHAlign hal, TCellVAlign val);
    TFilePicture* GetFilePicture(int aCol, int aRow);
    void RemoveFilePicture(int aCol, int aRow);
    // Icons are kept as bitmaps on this platform.
    void AddIcon(int aCol, int aRow, platform::TBitmap* aIcon, TCellHAlign hal, TCellVAlign val);
    platform::TBitmap* CreateIcon(int aCol, int aRow, TCellHAlign hal, TCellVAlign val);
    void RemoveIcon(int aCol, int aRow);
    void AddProgressPie(int aCol, int aRow, platform::TColor color, int value);
    void SetProgressPie(int aCol, int aRow, int value);
    void RemoveProgressPie(int aCol, int aRow);
    void AddExProgress(int aCol, int aRow, int minimum, int maximum);
    void RemoveExProgress(int aCol, int aRow);
    void AddProgress(int aCol, int aRow, platform::TColor fgColor, platform::TColor bkColor);
    void AddProgressEx(int aCol, int aRow, platform::TColor fgColor, platform::TColor fgTextColor,
                       platform::TColor bkColor, platform::TColor bkTextColor);
    void AddProgressFormatted(int aCol, int aRow, platform::TColor fgColor, platform::TColor fgTextColor,
                              platform::TColor bkColor, platform::TColor bkTextColor, const QString& fmt, int minimum,
                              int maximum);
    bool HasProgress(int aCol, int aRow);
    void RemoveProgress(int aCol, int aRow);
    void AddRangeIndicator(int aCol, int aRow, int range, platform::TColor negColor, platform::TColor posColor,
                           bool showValue);
    void RemoveRangeIndicator(int aCol, int aRow);
    void AddComment(int aCol, int aRow, const QString& comment);
    void AddColorComment(int aCol, int aRow, const QString& comment, platform::TColor color);
    QString GetComment(int aCol, int aRow);
    void SetComment(int aCol, int aRow, const QString& value);
    bool IsComment(int aCol, int aRow, QString& comment);
    void RemoveComment(int aCol, int aRow);
    void RemoveAllComments();
    void AddShape(int aCol, int aRow, TCellShape shape, platform::TColor fillColor, platform::TColor lineColor,
                  TCellHAlign hal, TCellVAlign val);
    void SetShapeColor(int aCol, int aRow, platform::TColor fillColor);
    platform::TColor GetShapeColor(int aCol, int aRow);
    void RemoveShape(int aCol, int aRow);
    void AddRating(int aCol, int aRow, int scale, platform::TColor fillColor, platform::TColor emptyColor);
    bool HasRating(int aCol, int aRow);
    void RemoveRating(int aCol, int aRow);
    void AddScrollBar(int aCol, int aRow, bool autoRange);
    bool HasScrollBar(int aCol, int aRow);
    bool HasAutoRangeScrollBar(int aCol, int aRow);
    int GetScrollPosition(int aCol, int aRow);
    void SetScrollPosition(int aCol, int aRow, int pos);
    void GetScrollProp(int aCol, int aRow, int& pageSize, int& range);
    void SetScrollProp(int aCol, int aRow, int pageSize, int range);
    void RemoveScrollBar(int aCol, int aRow);
    void AddMarker(int aCol, int aRow, int errPos, int errLen);
    void GetMarker(int aCol, int aRow, int& errPos, int& errLen);
    void RemoveMarker(int aCol, int aRow);
    void RemoveAllMarkers();
    void AddBitButton(int aCol, int aRow, int bw, int bh, const QString& caption, platform::TBitmap* glyph,
                      TCellHAlign hal, TCellVAlign val);
    platform::TBitmap* CreateBitButton(int aCol, int aRow, int bw, int bh, const QString& caption, TCellHAlign hal,
                                       TCellVAlign val);
    void RemoveBitButton(int aCol, int aRow);
    void AddButton(int aCol, int aRow, int bw, int bh, const QString& caption, TCellHAlign hal, TCellVAlign val);
    // The text and push operations take a display column.
    void SetButtonText(int aCol, int aRow, const QString& caption);
    QString GetButtonText(int aCol, int aRow);
    void PushButton(int aCol, int aRow, bool push);
    bool HasButton(int aCol, int aRow);
    void RemoveButton(int aCol, int aRow);
    void RemoveAllButtons();
    void AddImageIdx(int aCol, int aRow, int aIdx, TCellHAlign hal, TCellVAlign val);
    bool GetImageIdx(int aCol, int aRow, int& idx);
    void SetImageIdx(int aCol, int aRow, int idx);
    void RemoveImageIdx(int aCol, int aRow);
    void AddDataImage(int aCol, int aRow, int aIdx, TCellHAlign hal, TCellVAlign val);
    bool HasDataImage(int aCol, int aRow);
    void RemoveDataImage(int aCol, int aRow);
    // dir 0: the images side by side, else one under the other.
    void AddMultiImage(int aCol, int aRow, int dir, TCellHAlign hal, TCellVAlign val);
    TIntList* GetCellImages(int aCol, int aRow);
    void RemoveMultiImage(int aCol, int aRow);
    void AddRotated(int aCol, int aRow, qint16 aAngle, const QString& s);
    void SetRotated(int aCol, int aRow, qint16 aAngle);
    bool IsRotated(int aCol, int aRow, int& aAngle);
    void RemoveRotated(int aCol, int aRow);
    void AddBalloon(int aCol, int aRow, const QString& title, const QString& text, int icon);
    bool HasBalloon(int aCol, int aRow);
    bool IsBalloon(int aCol, int aRow, QString& title, QString& text, int& icon);
    void RemoveBalloon(int aCol, int aRow);

    platform::TImageList* GridImages() const { return FGridImages; }
    void SetGridImages(platform::TImageList* v);
    // The image list of a cell's pictures: GridImages here.
    virtual platform::TImageList* CellImages(int aCol, int aRow) { return FGridImages; }
    // The key pictures sort by: the bitmap, the icon or the image index; -1 otherwise.
    std::intptr_t ImageSortKey(int aCol, int aRow);
    // Hit boxes of expand and in-cell buttons (display column), empty when none.
    platform::TRect CalcExpandButtonRect(int aCol, int aRow);
    platform::TRect CalcCellButtonRect(int aCol, int aRow);
    virtual platform::TSize GetCellGraphicSize(int aCol, int aRow);
    // The size of a cell's graphic part below an extra vertical offset.
    virtual platform::TSize CellGraphicSize(int aCol, int aRow, int extraYOffset);
    // The same for printing and scaled output, within an available area.
    virtual platform::TSize CellGraphicPrintSize(int aCol, int aRow, int availWidth, int availHeight, double scale);
    platform::TSize GetPictureSize(int aCol, int aRow, int width, int height, bool hasText);
    // The text padding of a cell across and down.
    int TotalXOffset() const { return FXYOffsetTopLeftOnly ? FXYOffset.X : 2 * FXYOffset.X; }
    int TotalYOffset() const { return FXYOffsetTopLeftOnly ? FXYOffset.Y : 2 * FXYOffset.Y; }

    // ---- looks

    TControlLook& ControlLook() { return *FControlLook; }
    void SetControlLook(const TControlLook& v) { FControlLook->Assign(&v); }
    TBackGround& BackGround() { return *FBackGround; }
    void SetBackGround(const TBackGround& v);
    TGridProgressAppearance& ProgressAppearance() { return *FProgressAppearance; }
    void SetProgressAppearance(const TGridProgressAppearance& v) { FProgressAppearance->Assign(&v); }
    TBalloonSettings& Balloon() { return *FBalloonSettings; }
    void SetBalloon(const TBalloonSettings& v) { FBalloonSettings->Assign(&v); }
    // Balloon tooltips of cells (Balloon.Enable): the tooltip is made once
    // and freed when switched off.
    void BalloonInit();
    void BalloonDone();
    // The tooltip while it exists; none otherwise.
    TGridBalloonTip* BalloonToolTip() const;
    // What the tooltip shows for the pointer at a client point: false
    // (nothing shown) when balloons are off.
    bool BalloonTextRequest(const QPoint& client, QString& title, QString& text, int& icon);
    // Closes a shown balloon.
    void BalloonPop();
    platform::TPoint LastBalloonPos() const { return FLastBalloonPos; }
    TGridBalloonEvent OnCellBalloon;
    // The colours of an active application style, used when its name is not
    // the plain "Windows" one (the platform keeps one such style for the
    // whole program; none is active by default).
    struct TActiveStyle
    {
        bool Enabled = false;
        QString Name = QStringLiteral("Windows");
        platform::TColor CellFill = platform::clNone, CellBorder = platform::clNone,
                         FixedCellBorder = platform::clNone, CellText = platform::clNone,
                         SelectedCellText = platform::clNone, FixedCellText = platform::clNone;
    };
    static TActiveStyle& ActiveStyle();
    void ApplyActiveStyleColors();
    bool UsePlatformStyles() const { return FUsePlatformStyles; }
    void SetSyncGrid(const TSyncGrid& v) { FSyncGrid->Assign(&v); }
    const platform::TBitmap& RowIndicator() const { return FRowIndicator; }
    void SetRowIndicator(const platform::TBitmap& v);
    bool Hovering() const { return FHovering; }
    void SetHovering(bool v) { FHovering = v; }
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v);
    THoverFixedCells HoverFixedCells() const { return FHoverFixedCells; }
    void SetHoverFixedCells(THoverFixedCells v) { FHoverFixedCells = v; }
    // Whether a fixed cell reacts to hovering.
    bool IsHoverFixedCell(int aCol, int aRow);
    bool URLShow() const { return FURLShow; }
    void SetURLShow(bool v);
    // With URLShow, a right press on a link cell opens its editor.
    bool URLEdit() const { return FURLEdit; }
    void SetURLEdit(bool v) { FURLEdit = v; }
    bool URLFull() const { return FURLFull; }
    void SetURLFull(bool v);
    bool URLUnderlineOnHover() const { return FURLUnderlineOnHover; }
    void SetURLUnderlineOnHover(bool v) { FURLUnderlineOnHover = v; }
    bool EnhTextSize() const { return FEnhTextSize; }
    void SetEnhTextSize(bool v);
    bool NoImageAndText() const { return FNoImageAndText; }
    void SetNoImageAndText(bool v);
    bool NoDefaultDraw() const { return FNoDefaultDraw; }
    void SetNoDefaultDraw(bool v) { FNoDefaultDraw = v; }
    bool AutoNumAlign() const { return FAutoNumAlign; }
    void SetAutoNumAlign(bool v);
    bool UseDisabledFont() const { return FUseDisabledFont; }
    void SetUseDisabledFont(bool v);
    bool XYOffsetTopLeftOnly() const { return FXYOffsetTopLeftOnly; }
    void SetXYOffsetTopLeftOnly(bool v);
    void UpdateXYOffset(int x, int y) { FXYOffset = platform::Point(x, y); }
    bool FitCellsInGrid() const { return FFitCellsInGrid; }
    void SetFitCellsInGrid(bool v) { FFitCellsInGrid = v; }
    bool SelectionRTFKeep() const { return FSelectionRTFKeep; }
    void SetSelectionRTFKeep(bool v) { FSelectionRTFKeep = v; }
    platform::TColor SelectionRectangleColor() const { return FSelectionRectangleColor; }
    void SetSelectionRectangleColor(platform::TColor v);
    TPictureContainer* PictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* v);
    THTMLPictureCache& ImageCache() { return *FImageCache; }
    TScrollType ScrollType() const { return FScrollType; }
    void SetScrollType(TScrollType v)
    {
        if (v == FScrollType)
            return;
        FScrollType = v;
        if (HandleAllocated())
            ScrollTypeChanged();
    }

    platform::TColor QRVGradientHoverFrom() const { return FQRVGradientHoverFrom; }
    void SetQRVGradientHoverFrom(platform::TColor v);
    platform::TColor QRVGradientHoverTo() const { return FQRVGradientHoverTo; }
    void SetQRVGradientHoverTo(platform::TColor v);
    platform::TColor QRVGradientHoverMirrorFrom() const { return FQRVGradientHoverMirrorFrom; }
    void SetQRVGradientHoverMirrorFrom(platform::TColor v);
    platform::TColor QRVGradientHoverMirrorTo() const { return FQRVGradientHoverMirrorTo; }
    void SetQRVGradientHoverMirrorTo(platform::TColor v);
    platform::TColor QRVGradientHoverBorder() const { return FQRVGradientHoverBorder; }
    void SetQRVGradientHoverBorder(platform::TColor v);
    platform::TColor QRVGradientDownFrom() const { return FQRVGradientDownFrom; }
    void SetQRVGradientDownFrom(platform::TColor v);
    platform::TColor QRVGradientDownTo() const { return FQRVGradientDownTo; }
    void SetQRVGradientDownTo(platform::TColor v);
    platform::TColor QRVGradientDownMirrorFrom() const { return FQRVGradientDownMirrorFrom; }
    void SetQRVGradientDownMirrorFrom(platform::TColor v);
    platform::TColor QRVGradientDownMirrorTo() const { return FQRVGradientDownMirrorTo; }
    void SetQRVGradientDownMirrorTo(platform::TColor v);
    platform::TColor QRVGradientDownBorder() const { return FQRVGradientDownBorder; }
    void SetQRVGradientDownBorder(platform::TColor v);

    // Colour schemes: the style remembered, applied, and handed to the editors.
    TQRVStyle QRVStyle() const { return FQRVStyle; }
    virtual void SetStyle(TQRVStyle style);
    void SetComponentStyle(TQRVStyle style);
    const TColorTones& ColorTones() const { return FColorTones; }
    void SetColorTones(const TColorTones& tones);
    void SetTheme(TXPColorScheme scheme);
    void AdaptToOfficeTheme();
    // The header cells that mark the current cell follow it.
    void RepaintActiveHeaders(int oldCol, int oldRow, int newCol, int newRow);

    // ---- painting

    void GetVisualProperties(int aCol, int aRow, platform::TGridDrawState& aState, bool print, bool select,
                             bool remap, platform::TBrush& aBrush, platform::TColor& aColorTo,
                             platform::TColor& aMirrorColor, platform::TColor& aMirrorColorTo, platform::TFont& aFont,
                             platform::TAlignment& ha, TVAlignment& va, bool& ww,
                             TCellGradientDirection& gd) override;
    bool PlatformStylesActive() override { return FUsePlatformStyles; }
    bool UsesCellBorderEvent() override { return static_cast<bool>(OnGetCellBorder); }
    void DrawCellContent(platform::TCanvas& canvas, int aCol, int aRow, const platform::TRect& rect,
                         platform::TGridDrawState state) override;
    // Dotted lines that follow a column or row border being dragged; drawing
    // one twice removes it.
    void DrawColumnSizingLine(int x);
    void DrawRowSizingLine(int y);
    void DrawSizingLine(int x1, int y1, int x2, int y2);
    void PaintOutsideCells();
    void PaintLookBorder();
    // The text's horizontal and vertical alignment (real column).
    void ResolveCellAlignment(int aCol, int aRow, platform::TAlignment& hAlign, TVAlignment& vAlign);
    void GetFontProperties(int aCol, int aDisplCol, bool remap, platform::TBrush& brush, platform::TFont& font,
                           platform::TGridDrawState& state, int aRow);
    // The size the cell's text needs (real column).
    platform::TSize GetCellTextSize(int aCol, int aRow, bool reserveButton, bool wrapToCell);
    platform::TSize MeasureCellText(int aCol, int aDisplCol, int aRow, bool reserveButton, bool wrapToCell);
    // The sort glyph or index of a header cell, centred at (x, y).
    void DrawSortIndicator(platform::TCanvas& canvas, int aCol, int y, int x);
    void DrawRichCell(int aCol, int aRow, const platform::TRect& r, platform::TCanvas& canvas);
    void DrawCellCheckBox(platform::TCanvas& canvas, platform::TRect r, bool checked, bool enabled, bool grayed,
                          TControlStyle style, bool triState, platform::TCheckBoxState triValue);
    void DrawCellRadios(platform::TCanvas& canvas, const platform::TRect& r, bool reverse, double scale,
                        TControlStyle style, int aRow, int aCol, bool selectedCell, const QStringList* captions,
                        bool disabled, bool horizontal, int selectedIndex, int count);
    bool IsSortIndicatorRow(int aCol, int aRow);
    virtual bool QueryHasSpinEdit(int aCol, int aRow);
    virtual bool QueryCanShowFixedDropDown(int aCol);

    TCustomCellDrawEvent OnCustomCellBkgDraw;
    TCustomCellDrawEvent OnCustomCellDraw;
    // The measured size of a cell (real column), printing or not; may change it.
    std::function<void(QObject* sender, platform::TCanvas& canvas, int aCol, int aRow, platform::TSize& aSize,
                       bool printing)>
        OnCustomCellSize;
    TGridBorderPropEvent OnGetCellBorderProp;
    TGridGradientEvent OnGetCellGradient;
    TGridPaintedEvent OnPainted;
    TCanShowFixedDropDownEvent OnCanShowFixedDropDown;
    // The menu of the headers' drop-down button; not owned: one that goes
    // away leaves none.
    platform::TPopupMenu* FixedDropDownMenu() const;
    void SetFixedDropDownMenu(platform::TPopupMenu* v);
    // The grid's context menu, opened where the right button is released;
    // not owned: one that goes away leaves none.
    platform::TPopupMenu* PopupMenu() const;
    void SetPopupMenu(platform::TPopupMenu* v);
    // A press on a header's drop-down button; the handler may give the menu.
    std::function<void(QObject* sender, int aCol, int aRow, platform::TPopupMenu*& menu, bool& keepFixedCellHighlighted)>
        OnFixedDropDownClick;
    std::function<void(QObject* sender, int aCol, int aRow, bool& hasSpinEdit)> OnHasSpinEdit;

    // ---- events

    TCellsChangedEvent OnCellsChanged;
    TGetCheckEvent OnGetCheckTrue;
    TGetCheckEvent OnGetCheckFalse;
    TIsFixedCellEvent OnIsFixedCell;
    TCanEditCellEvent OnCanEditCell;
    TIsPasswordCellEvent OnIsPasswordCell;
    TWordWrapEvent OnGetWordWrap;
    THasComboEvent OnHasComboBox;
    TGetEditorTypeEvent OnGetEditorType;
    TGridAlignEvent OnGetAlignment;
    TGridFormatEvent OnGetFormat;
    TUpdateColumnSizeEvent OnUpdateColumnSize;
    TColumnSizeEvent OnColumnSize;
    TRowSizeEvent OnRowSize;
    TSelectionChanged OnSelectionChanged;
    TGridColorEvent OnGetCellColor;
    TGridColorEvent OnGetCellPrintColor;
    TGridBorderEvent OnGetCellBorder;
    TGridBorderEvent OnGetCellPrintBorder;
    TFloatFormatEvent OnGetFloatFormat;
    TGetDisplTextEvent OnGetEditTextEx;

    // ---- inplace editing

    // Whether a cell (display column) may be edited: the editing option,
    // then, for the base cell of its range, the can-edit hook and not fixed.
    bool IsEditable(int aCol, int aRow);
    bool IsCellEditable(int aCol, int aRow);
    bool IsPasswordCell(int aCol, int aRow);
    // Opens the editor on the current cell (nothing for a clickable cell
    // object); HideInplaceEdit (above) commits and hides whatever editor is up.
    void ShowInplaceEdit();
    // A special editor was left by a key: commit, then the key moves the cell.
    void DoneInplaceEdit(int key, platform::TShiftState shift);
    void ShowCellEdit();
    // Commits the special editor of the current cell.
    void HideCellEdit();
    // False: refused; the text the editor shows then is NewCellText.
    virtual bool ValidateCell(const QString& newValue);
    virtual bool ValidateCellWide(const QString& newValue);
    QString NewCellText() const { return FNewCellText; }
    // The current cell's text when editing started.
    QString CellCache() const { return FCellCache; }
    void AdvanceToNextCell(int aCol, int aRow, bool force, bool autoEdit, bool forward, bool recursing,
                           bool showEditorAfter);
    // Tab (Shift+Tab when backwards); false when the Tab left the grid.
    bool TabMove(bool backwards);
    bool WantsTabKey() const;
    TEditorType EditControl() const { return FEditControl; }
    void SetEditControl(TEditorType v) { FEditControl = v; }
    // An editor was chosen and shown for the current cell and not yet committed.
    bool EditMode() const { return FEditMode; }
    void SetEditMode(bool v) { FEditMode = v; }
    // A special editor is up.
    bool EditActive() const { return FEditActive; }
    bool Editing() const { return FEditing; }
    // Editing is only paused by the current cell (the editing option is off for it).
    bool EditDisable() const { return FEditDisable; }
    bool NoAutoAdvance() const { return FNoAutoAdvance; }
    void SetNoAutoAdvance(bool v) { FNoAutoAdvance = v; }
    // Editing began with a click: the caret goes under the mouse.
    bool LButFlg() const { return FLButFlg; }
    void SetLButFlg(bool v) { FLButFlg = v; }
    virtual void UndoCellEdit();
    // Raises OnEllipsClick for the current cell; the possibly changed text.
    virtual QString DoEllipsClick(const QString& value);
    // The grid's own key-down, for editors that hand keys on.
    void GridKeyDown(int& key, platform::TShiftState shift);
    // Writes an editor's value: the edit text (display column), then the cell.
    virtual void StoreEditorValue(int aCol, int aRow, const QString& value);
    virtual void DoGetEditorProp(int aCol, int aRow, QObject* aEditLink);
    virtual void DoCheckBoxClick(int aCol, int aRow, bool state);
    // OnEditingDone now, OnEditCellDone(real column, row) when the posted
    // message arrives.
    void DoEditingDone(int aCol, int aRow);
    virtual void RememberCell(int aCol, int aRow);
    // Whether an edit is open to validate (a remembered cell that is gone has
    // nothing left); FinishValidation ends every validation, also after an error.
    bool EditToValidate();
    void FinishValidation();
    void ReopenEditorAt(int aCol, int aRow);
    virtual void UpdateColumnFooter(int aCol);
    virtual void DoCellChanging(int newCol, int newRow, bool& allow);
    // Places the controls hosted in cells (and the cell scroll bar).
    void CellControlsUpdate(bool rebuildList = false);

    // The combo editor's list.
    void AddComboString(const QString& s);
    void AddComboStringObject(const QString& s, platform::TObject* o);
    bool RemoveComboString(const QString& s);
    void ClearComboString();
    int GetComboCount();
    void SetComboSelection(int index);
    bool SetComboSelectionString(const QString& s);
    int ComboIndex(int aCol, int aRow);
    void SetComboIndex(int aCol, int aRow, int value);
    TGridCombo* Combobox() const { return FEditCombo; }
    // Created on first use.
    TGridSpin* SpinEdit();
    QString QtDateFormat() const;
    QString QtTimeFormat() const;
    TGridDatePicker* DatePicker();
    // The date-and-time editor (edDateTimeEdit), created on first use, and
    // the value it opened with.
    TGridDateTimePicker* DateTimePicker();
    TDateTime OriginalDateTime() const { return FOriginalDateTime; }
    // The drop-down editors, each created on first use (ExGrid_DropDownEditors.cpp).
    TGridTrackbarDropDown* TrackbarDropDown();
    TGridMemoDropDown* MemoDropDown();
    TGridCalculatorDropDown* CalculatorDropDown();
    TGridDetailPickerDropDown* DetailPickerDropDown();
    TGridColorDropDown* ColorPickerDropDown();
    TGridImageDropDown* ImagePickerDropDown();
    TGridTimepickerDropDown* TimePickerDropDown();
    TGridExGridDropDown* ExGridDropDown();
    TGridGridDropDown* GridDropDown();
    // The colour and image a drop-down edit commits, which a handler may change.
    std::function<void(QObject* sender, int aCol, int aRow, platform::TColor& color, QString& value)> OnColorSelected;
    std::function<void(QObject* sender, int aCol, int aRow, int& index)> OnImageSelected;
    // A button of a drop-down editor's header or footer was clicked.
    std::function<void(QObject* sender, int aCol, int aRow, int buttonIndex)> OnDropDownHeaderButtonClick,
        OnDropDownFooterButtonClick;
    // A picker editor of the current cell changed its value (0: no date).
    void DateTimeChanged(TDateTime value);
    std::function<void(QObject* sender, int aCol, int aRow, TDateTime aDateTime)> OnDateTimeChange;
    // The calendar of a date editor closed (with MouseActions.DirectDateClose
    // the edit then ends).
    std::function<void(QObject* sender, int aRow, int aCol)> OnDatePickerCloseUp;
    std::function<void(QObject* sender, int aRow, int aCol)> OnDatePickerDropDown;
    // Reads a cell text for the date editor; the date comes preset to now.
    std::function<void(QObject* sender, const QString& text, TDateTime& aDate)> OnCustomStrToDate;
    // The unit of the value-and-unit editor changed.
    std::function<void(QObject* sender, int aCol, int aRow, const QString& newUnit)> OnUnitChanged;
    TGridEditBtn* EditBtn() const { return FEditBtn; }
    TGridUnitEditBtn* UnitEditBtn() const { return FUnitEditBtn; }
    TGridCheckBox* EditCheckBox() const { return FEditCheck; }
    TGridButton* GridButton() const { return FGridButton; }
    // The control that edits now (a special editor), or none.
    QWidget* EditCtrl() const { return FEditCtrl.data(); }

    int MaxComboLength() const { return FMaxComboLength; }
    void SetMaxComboLength(int v) { FMaxComboLength = v; }
    QString EditMask() const { return FEditMask; }
    void SetEditMask(const QString& v) { FEditMask = v; }
    bool Lookup() const { return FLookup; }
    void SetLookup(bool v) { FLookup = v; }
    bool LookupCaseSensitive() const { return FLookupCaseSensitive; }
    void SetLookupCaseSensitive(bool v) { FLookupCaseSensitive = v; }
    bool LookupHistory() const { return FLookupHistory; }
    void SetLookupHistory(bool v) { FLookupHistory = v; }
    QString ValidChars() const { return FValidChars; }
    void SetValidChars(const QString& v) { FValidChars = v; }
    // Used for edValidChars while ValidChars is empty (codes 0..255).
    QString ValidCharSet() const { return FValidCharSet; }
    void SetValidCharSet(const QString& v) { FValidCharSet = v; }
    bool ExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool v) { FExcelStyleDecimalSeparator = v; }
    bool Modified() const { return FGridModified; }
    void SetModified(bool v) { FGridModified = v; }
    bool AlwaysValidate() const { return FAlwaysValidate; }
    void SetAlwaysValidate(bool v) { FAlwaysValidate = v; }
    QString InvalidEntryTitle() const { return FInvalidEntryTitle; }
    void SetInvalidEntryTitle(const QString& v) { FInvalidEntryTitle = v; }
    QString InvalidEntryText() const { return FInvalidEntryText; }
    void SetInvalidEntryText(const QString& v) { FInvalidEntryText = v; }
    TInvalidEntryIcon InvalidEntryIcon() const { return FInvalidEntryIcon; }
    void SetInvalidEntryIcon(TInvalidEntryIcon v) { FInvalidEntryIcon = v; }
    // The balloon tip of a refused entry while it shows; none otherwise.
    QWidget* BalloonTip() const { return FBalloonTip.data(); }

    // Update locking: while locked the grid paints nothing.
    void BeginUpdate();
    void EndUpdate();
    // The level alone, redrawing untouched.
    void StartUpdate() { ++FUpdateCount; }
    void ResetUpdate() { FUpdateCount = 0; }
    bool LockUpdate() const { return FUpdateCount > 0; }
    void SetLockUpdate(bool v);
    int UpdateCount() const { return FUpdateCount; }
    // The grid timer (every 500 ms while the window exists).
    static constexpr int GridTimerId = 111;
    int TimerTicks() const { return FTimerTicks; }
    QString SearchText() const { return SearchInc; }
    // Cells whose text holds "<BLI" blink with the grid timer.
    bool EnableBlink() const { return FEnableBlink; }
    void SetEnableBlink(bool v) { FEnableBlink = v; }

    // The translucent frame around the edited cell (FocusHelper.Enabled).
    void ShowFocusFrame(const platform::TRect& r);
    void PlaceFocusWindow();
    void HideFocusFrame();
    QWidget* FocusFrameWindow() const { return FFocusWindow.data(); }
    // The grid whose frame is shown; none when no frame is up.
    static TExStringGrid* FocusFrameGrid();

    TCellValidateEvent OnCellValidate;
    TCellValidateEvent OnCellValidateWide;
    platform::TNotifyEvent OnEditingDone;
    TEditCellDoneEvent OnEditCellDone;
    TEditChangeEvent OnEditChange;
    TSpinClickEvent OnSpinClick;
    std::function<void(QObject* sender, int aCol, int aRow, double aValue, bool upDown)> OnFloatSpinClick;
    std::function<void(QObject* sender, int aCol, int aRow, TDateTime aValue, bool upDown)> OnDateSpinClick;
    std::function<void(QObject* sender, int aCol, int aRow, TDateTime aValue, bool upDown)> OnTimeSpinClick;
    TComboChangeEvent OnComboChange;
    TComboObjectChangeEvent OnComboObjectChange;
    TEllipsClickEvent OnEllipsClick;
    TGetEditorPropEvent OnGetEditorProp;
    TGetEditorPropIntEvent OnGetEditorPropInt;
    TCheckBoxClickEvent OnCheckBoxClick;
    TClickCellEvent OnClickCell;
    TDblClickCellEvent OnDblClickCell;
    TRowChangingEvent OnRowChanging;
    TColChangingEvent OnColChanging;
    TCellChangingEvent OnCellChanging;
    TAutoAdvanceEvent OnAutoAdvance;
    TAutoAddRowEvent OnAutoAddRow;
    TAutoInsertColEvent OnAutoInsertCol;
    TClipboardEvent OnClipboardCopy;
    TClipboardEvent OnClipboardCut;
    TClipboardEvent OnClipboardPaste;
    TClipboardPasteCellEvent OnClipboardBeforePasteCell;
    TClipboardAfterPasteCellEvent OnClipboardAfterPasteCell;
    // Instead of the two above for a field in the wide-text escape "|\",
    // with the decoded text.
    TClipboardPasteCellEvent OnClipboardBeforePasteWideCell;
    TClipboardAfterPasteCellEvent OnClipboardAfterPasteWideCell;

    // ---- keyboard and focus

    bool IsSelectableCell(int aCol, int aRow);
    int FirstSelectableCol(int aRow);
    int LastSelectableCol(int aRow);
    int EffectiveFixedCols() const;
    int VisibleFixedRightCols() const;
    bool IsLastDataRow() const;
    void AutoAppendRow();
    void Select();
    void UpdateSearchPanel();
    // Created on first need, a child of the grid.
    TSearchPanel* SearchPanel();

    TRadioClickEvent OnRadioClick;
    TButtonClickEvent OnRadioButtonClick;
    TAutoInsertRowEvent OnAutoInsertRow;
    TCanDeleteRowEvent OnCanDeleteRow;

    // ---- mouse buttons

    // Selects a cell as a left click at its top-left would, without mouse events.
    void SimulateCellClick(int aCol, int aRow);
    // Milliseconds the last sort by a header click took.
    qint64 LastSortTime() const { return SortTime; }

    TCanClickCellEvent OnCanClickCell;
    TClickCellEvent OnRightClickCell;
    TCheckBoxClickEvent OnCheckBoxMouseUp;
    TRadioClickEvent OnRadioMouseUp;
    TAnchorClickEvent OnAnchorClick;
    TControlClickEvent OnControlClick;
    TCanSortEvent OnCanSort;

    // ---- custom editor link and rich edit (edCustom, edRichEdit)

    // The custom editor of edCustom cells (not owned).
    TEditLink* EditLink() const;
    void SetEditLink(TEditLink* link);
    // The hidden rich edit that measures rich cells, and the one laid over a
    // cell to edit it; both created on first use.
    TExRichEdit* RichEdit();
    TExRichEdit* InplaceRichEdit();
    platform::TNotifyEvent OnRichEditSelectionChange;

    // ---- header editors, radio groups and form fields

    // Opens the header editor over a fixed cell (display column).
    void StartFixedCellEdit(int aCol, int aRow);
    // Checks the radio-group item under (x, y), relative to the cell's top-left.
    void ClickRadioGroup(int aCol, int aRow, int x, int y);
    // Opens the editor of a form field whose rectangle is r.
    void StartControlEdit(const QString& cellText, const QString& ctrlType, int aRow, int realCol, int aCol,
                          const platform::TRect& r, const QString& ctrlVal, const QString& ctrlID);
    void EndControlEdit();
    void ControlComboSelect(QObject* combo);
    // Opens the next editable form field after controlID in the cell's HTML.
    void EditNextCellControl(int aCol, int aRow, const QString& controlID);
    // Created with the first use.
    TGridTransEdit* EditTrans();
    TGridTransCombo* ComboTrans();
    TControlEdit* ControlEditor();
    TControlCombo* ControlCombo();
    bool CtrlEditing() const { return FCtrlEditing; }
    QString CtrlID() const { return FCtrlID; }
    QString CtrlType() const { return FCtrlType; }
    platform::TPoint CtrlXY() const { return FCtrlXY; }
    int FixedColEdit() const { return FFixedColEdit; }
    int FixedRowEdit() const { return FFixedRowEdit; }

    TControlComboListEvent OnControlComboList;
    TControlComboSelectEvent OnControlComboSelect;
    TControlEditDoneEvent OnControlEditDone;
    TClickSortEvent OnClickSort;
    TSelectionResizeEvent OnSelectionResize;
    TSelectionResizeEvent OnSelectionResized;

    // ---- mouse move, moving and sizing

    // A header point within reach of a border that the mouse may drag.
    bool IsSizingPoint(int x, int y);
    // The cell under a screen point; -1 outside the cells.
    void ScreenToCell(const platform::TPoint& screen, int& aCol, int& aRow);
    // Column index (-1: the last one) fills the client width; raises
    // "Stretch column index out of range" at or past ColCount.
    void StretchColumnToClient(int index);
    void StretchRightColumn();
    void FormResized(QObject* sender);
    bool SizeWithForm() const { return FSizeWithForm; }
    void SetSizeWithForm(bool v) { FSizeWithForm = v; }
    // The colour of the four move arrows (the up arrow's when read).
    platform::TColor ArrowColor() const;
    void SetArrowColor(platform::TColor v);

    // While the user sizes a column or row: its new size; after it: the end.
    TColumnSizingEvent OnColumnSizing;
    TRowSizingEvent OnRowSizing;
    TEndColumnSizeEvent OnEndColumnSize;
    TEndRowSizeEvent OnEndRowSize;
    // At each pointer move of a column or row move: a refusal of Move ends
    // the move; Moving decides whether the place under the pointer takes it.
    TColumnSizeEvent OnColumnMove;
    TColumnSizeEvent OnColumnMoving;
    TRowSizeEvent OnRowMove;
    TRowSizeEvent OnRowMoving;
    TAnchorEvent OnAnchorEnter;
    TAnchorEvent OnAnchorExit;

    // ---- auto-size

    void AutoSizeCol(int aCol, int padding = 0);
    void AutoSizeColumns(bool doFixedCols, int padding = 0);
    void AutoSizeCells(bool doFixedCells, int paddingX, int paddingY);
    void AutoSizeRow(int aRow, int padding = 0);
    void AutoSizeRows(bool doFixedRows, int padding = 0);
    void AutoFitColumns(bool doFixedCells);
    void SizeToCols();
    void SizeToRows();
    void SizeToCells();

    // ---- column and row calculations (real column; -1 rows: the normal rows)

    double ColumnSum(int aCol, int fromRow = -1, int toRow = -1);
    double ColumnAvg(int aCol, int fromRow = -1, int toRow = -1);
    double ColumnMin(int aCol, int fromRow = -1, int toRow = -1);
    double ColumnMax(int aCol, int fromRow = -1, int toRow = -1);
    double ColumnStdDev(int aCol, int fromRow = -1, int toRow = -1);
    int ColumnDistinct(int aCol, int fromRow = -1, int toRow = -1);
    double ColumnCustomCalc(int aCol, int fromRow = -1, int toRow = -1);
    double RowSum(int aRow, int fromCol, int toCol);
    double RowAvg(int aRow, int fromCol, int toCol);
    double RowMin(int aRow, int fromCol, int toCol);
    double RowMax(int aRow, int fromCol, int toCol);
    double CellToReal(int aCol, int aRow);
    std::function<void(QObject* sender, int aCol, int fromRow, int toRow, double& res)> OnColumnCalc;

    // ---- scroll bars and wheel

    void UpdateProportionalVScroll();
    void UpdateProportionalHScroll();
    void UpdateFlatScrollBars();
    bool ScrollProportional() const { return FScrollProportional; }
    void SetScrollProportional(bool v);
    TScrollHintType ScrollHints() const { return FScrollHints; }
    void SetScrollHints(TScrollHintType v) { FScrollHints = v; }
    bool ScrollSynch() const { return FScrollSynch; }
    void SetScrollSynch(bool v) { FScrollSynch = v; }
    TDragScrollOptions& DragScrollOptions() { return *FDragScrollOptions; }
    void SetDragScrollOptions(const TDragScrollOptions& v) { FDragScrollOptions->Assign(&v); }
    // After ScrollType changed: the thin bars of ssMetro are made (and the
    // window bars switched off) or freed (window bars back on).
    void ScrollTypeChanged();
    TScrollControl* VertScrollControl() const { return vscrlctrl; }
    TScrollControl* HorzScrollControl() const { return hscrlctrl; }

    TScrollHintEvent OnScrollHint;
    TScrollCellEvent OnScrollCell;
    TDragScrollEvent OnDragScroll;

    // ---- cell hints

    void PrepareCellHint(QString& hint, THintInfo& info);
    void CancelCellHint();
    platform::TPoint LastHintPos() const;
    void ShowScrollHint(const QString& html, const platform::TPoint& screenTopLeft, int maxWidth);
    void HideScrollHint();
    bool ScrollHintShown() const;
    void PlaceCellScrollBar(int aCol, int aRow);
    void HideCellScrollBar();
    bool ShowHint() const;
    void SetShowHint(bool v);
    bool HintShowCells() const { return FHintShowCells; }
    void SetHintShowCells(bool v) { FHintShowCells = v; }
    bool HintShowLargeText() const { return FHintShowLargeText; }
    void SetHintShowLargeText(bool v) { FHintShowLargeText = v; }
    THintShowLargeTextPos HintShowLargeTextPos() const { return FHintShowLargeTextPos; }
    void SetHintShowLargeTextPos(THintShowLargeTextPos v) { FHintShowLargeTextPos = v; }
    bool HintShowSizing() const { return FHintShowSizing; }
    void SetHintShowSizing(bool v) { FHintShowSizing = v; }
    bool HTMLHint() const { return FHTMLHint; }
    void SetHTMLHint(bool v) { FHTMLHint = v; }
    bool AnchorHint() const { return FAnchorHint; }
    void SetAnchorHint(bool v) { FAnchorHint = v; }
    // The cell hint window while a hint shows (HTML or plain); none otherwise.
    QWidget* CellHintWindow() const;
    // The text of the cell hint shown (as handed to its window).
    QString CellHintText() const { return FCellHintText; }
    THTMLHintWindow* ScrollHintWindow() const { return FScrollHintWnd; }

    TAnchorHintEvent OnAnchorHint;

protected:
    // ---- clipboard steps (ExGrid_Clipboard.cpp); columns are display columns.

    // Number of fields pasted; rows and cols: the pasted block's size.
    int PasteAtCell(int aCol, int aRow, int& rows, int& cols);
    int PasteTextAtCell(int aCol, int aRow, const QString& text, int& rows, int& cols);
    // Largest field count of a line, and the rows a paste adds below the first.
    void MeasureTabText(const QString& text, int& cols, int& rows);
    QString RectToText(const platform::TRect& r, bool disjunct);
    void CopyRectToClipboard(const platform::TRect& r, bool disjunct);
    void ExtendSelectionToMerged();
    virtual void PasteCell(int aCol, int aRow, const QString& value);
    virtual void BeginClipboardPaste() {}
    virtual void EndClipboardPaste() {}
    virtual void AfterPasteRect(const platform::TPoint& source, const platform::TRect& r, TClipOperation op);
    virtual bool IsFmtClipboardAllowed();
    // For grids that pick cells into a formula: a left press over a cell in
    // cell-selector mode, and the editor's text starting with "=" or not.
    // A grid that overrides them keeps FCellSelectorMode; while it is set a
    // left press over a cell goes to CellSelectorClick and nowhere else.
    virtual void CellSelectorClick(int aCol, int aRow) {}
    virtual void SetCellSelectorMode(bool on) {}
    bool FCellSelectorMode = false;
    // After a selection paste: fills the rest of the selection from the
    // pasted block FPasteBlock (ExGrid_SmartPaste.cpp).
    void SmartPaste();
    platform::TPoint FClipTopLeft{-1, -1};
    TClipOperation FClipLastOp = coCopy;
    bool FPasteAll = false;
    // Columns and rows of what the last paste carried, without the empty
    // piece after a final line break; (0, 0) when nothing was pasted.
    platform::TPoint FPasteBlock{0, 0};

    // ---- painting internals

    // What a cell's graphic takes and how it sits beside the text.
    struct TCellGraphicLayout
    {
        TCellGraphic* Graphic = nullptr;
        int Width = 0;
        int Height = 0;
        TCellHAlign HAlign = haLeft;
        TCellVAlign VAlign = vaTop;
        bool TextShown = true;
    };
    // One cell while it is painted.
    struct TCellPaint
    {
        int DisplCol = 0;
        int RealCol = 0;
        int Row = 0;
        int SelectRow = 0;
        platform::TRect CellRect;
        platform::TGridDrawState State = 0;
        platform::TAlignment HAlign = platform::taLeftJustify;
        TVAlignment VAlign = vtaTop;
        bool WordWrap = false;
        bool Fixed = false;    // fixed for the painter (fixed areas, own fixed cells)
        bool OwnFixed = false; // the grid's IsFixed answer
        platform::TColor BrushColor = platform::clNone; // before the selection colours
        platform::TColor FontColor = platform::clNone;
        TCellGraphicLayout Graphic;
        int ScrollPos = 0;
        bool FilterCell = false;
        int TextWidth = 0; // out: the drawn text's width + 2
    };

    void Paint() override;
    void DrawCell(int col, int row, const platform::TRect& rect, platform::TGridDrawState state) override;
    void PaintFrame() override;
    TCellGraphicLayout GetCellGraphicLayout(int aCol, int aRow);
    void PaintCellText(platform::TCanvas& canvas, platform::TRect r, TCellPaint& cell);
    void PaintCellGraphic(platform::TCanvas& canvas, platform::TRect& r, TCellPaint& cell);
    void PaintCellBorders(platform::TCanvas& canvas, int aCol, int aRow, const platform::TRect& r);
    void PaintFixedLook(platform::TCanvas& canvas, platform::TRect& r, TCellPaint& cell, platform::TColor colorTo,
                        platform::TColor mirror, platform::TColor mirrorTo);
    void PaintCellFixedBitmap(platform::TCanvas& canvas, const platform::TRect& r);
    void PaintCellTiles(platform::TCanvas& canvas, const platform::TRect& r, int aCol, int aRow);
    void PaintCellGradient(platform::TCanvas& canvas, const platform::TRect& r);
    void PaintBackgroundFixedBitmap(platform::TCanvas& canvas, const platform::TRect& client);
    void PaintBackgroundTiles(platform::TCanvas& canvas, const platform::TRect& client);
    bool IsSortHeaderCell(int aCol, int aRow);
    // A colour set of Look or SetStyle: the look's fixed gradient and lines.
    void ApplyLookColors(TGridLook look);

    bool IsOwnGraphicObject(const platform::TObject* object) const override;
    QString GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const QString& value) override;
    void ColumnMoved(int fromIndex, int toIndex) override;
    // The registered listener hears of the new current cell.
    bool SelectCell(int col, int row) override;
    void CalcSizingState(int x, int y, platform::TGridState& state, int& index, int& sizingPos,
                         int& sizingOfs) override;
    void Resize() override;

    // Rotates the stored rows as the platform moves a row, without its event.
    void RotateStoredRows(int fromRow, int toRow);
    // Empties the stored cells of rows fromRow.. (already outside the grid).
    void DropStoredRows(int fromRow, int toRow);
    // Rotates the stored columns as the platform moves a column, without its event.
    void RotateStoredColumns(int fromCol, int toCol);
    void RemoveRowsCore(int rowIndex, int rCount, bool hiding);
    void ClearCellsCore(int aCol1, int aRow1, int aCol2, int aRow2, bool displayCols);
    // Places, colours, shows and focuses a special editor over the cell.
    void ShowEditorControl(QWidget* editor, const platform::TRect& r, int w, int h, platform::TColor color,
                           const platform::TFont& font);
    void MarkRealColumns(bool doFixed, int& first, int& last);
    void MarkRows(bool doFixed, int& first, int& last) const;
    QString MarkSourceText(int aCol, int aRow);
    void MarkTextInRect(const QString& hiText, const QString& tag, bool doCase, int fromCol, int fromRow, int toCol,
                        int toRow);
    void UnmarkTextInRect(const QString& tag, int fromCol, int fromRow, int toCol, int toRow);
    void FillCells(bool doFixed, const std::function<QString(int, int)>& text);
    // The rows a column calculation covers, and whether they are real rows.
    void CalcRows(int& fromRow, int& toRow, bool& realRows) const;
    bool CalcValue(int aCol, int aRow, bool realRows, double& value);
    // The visible column count without the cut of the public setter.
    void SetVisibleColCount(int value);
    // The cells of real columns fromCol..toCol go; hidden rows keep no
    // entries from fromCol on.
    void DropStoredColumns(int fromCol, int toCol);
    // Hidden flags at or beyond TotalColCount are dropped.
    void TrimHiddenColumns();
    // Frees a cell object kept in the hidden-row store when it is ours.
    void FreeStoredObject(platform::TObject* object);
    // Real rows of display rows rowIndex..rowIndex+count-1 (for the store).
    std::vector<int> RealRowsOf(int rowIndex, int count) const;
    // Each stored index drops by the number of removed real rows below it.
    void LowerStoredIndices(const std::vector<int>& removedReal);
    // Rows fromRow.. of the tail lose texts; objects are freed, or only
    // dropped when they now live in the hidden-row store.
    void EmptyRows(int fromRow, int toRow, bool objectsMoved);
    // Object slots of display rows emptied (the objects live elsewhere).
    void EmptyObjectsOf(int fromRow, int toRow);
    // Moves the current row after a removal; a current column outside the
    // grid (hidden or past-the-end selection) starts again at FixedCols.
    void MoveCurrentRowTo(int row);
    // Puts hidden rows back at the display places of their real indices.
    void RestoreHiddenItems(std::vector<TGridItem*> items);
    // The item's cells into a display row, and its height unless told not to.
    void CopyItemToRow(const TGridItem& item, int row, bool height = true);
    void StoreRowInItem(TGridItem& item, int row);
    void RebuildHiddenColumnList();
    void ShiftRowHeights(int fromRow, int shift);
    // The shown real rows of fromRow..toRow that follow each other as
    // display rows from that of fromRow (up to a hidden row when asked).
    std::vector<int> ShownRunFrom(int fromRow, int toRow, bool stopAtHidden) const;
    void ColumnHeadersListChanged();
    void RowHeadersListChanged();
    void MergedColumnsChanged();
    void SplitAllColumnCells();
    void MergeListedColumns();
    bool ModifiedMarking() const { return FShowModified->Enabled(); }
    void SetModifiedMarking(bool on) { FShowModified->SetEnabled(on); }
    bool DisjunctRowMode() const { return FMouseActions->DisjunctRowSelect(); }
    int RowSelectIndex(int displayRow) const;
    void NavigationChanged() {}
    void MouseActionsChanged() {}
    void SearchFooterChanged() { UpdateSearchPanel(); }
    void BandsChanged() { Invalidate(); }

    // Owned settings
    std::unique_ptr<TNavigation> FNavigation;
    std::unique_ptr<TMouseActions> FMouseActions;
    std::unique_ptr<TSearchFooter> FSearchFooter;
    std::unique_ptr<TSyncGrid> FSyncGrid;
    std::unique_ptr<TBands> FBands;
    std::unique_ptr<TFocusHelper> FFocusHelper;
    std::unique_ptr<TCellNode> FCellNode;
    std::unique_ptr<TColumnSize> FColumnSize;
    std::unique_ptr<THTMLSettings> FHTMLSettings;
    std::unique_ptr<TPrintSettings> FPrintSettings;
    std::unique_ptr<TSizeWhileTyping> FSizeWhileTyping;
    std::unique_ptr<TShowModified> FShowModified;
    std::unique_ptr<TFloatingFooter> FFloatingFooter;
    std::unique_ptr<TSortSettings> FSortSettings;
    std::unique_ptr<TGrouping> FGrouping = std::make_unique<TGrouping>(this);
    std::unique_ptr<TDragDropSettings> FDragDropSettings;
    platform::TFont FFixedFont;
    platform::TFont FActiveCellFont;

    // Lists
    TNotifyStrings FColumnHeaders;
    TNotifyStrings FRowHeaders;
    QStringList FLookupItems;
    TIntList FOrigColSizes;
    TIntList FColumnOrder;
    TIntList FIgnoreColumns;
    TIntList FSortXRef;
    TIntList FMergedColumns;
    TIntList FSelectedCells;
    TIntList FSelectedRows;
    TIntList FModifiedRows;
    TIntList FEnabledRows;
    TSortIndexList FSortIndexes;
    // Sorting: the sign of the last sort, the row followed while sorting,
    // the counters, and the plan of the running sort.
    struct TSortRun;
    int FSortSign = 0;
    int FSortTrackRow = -1;
    int FCompares = 0;
    int FSwaps = 0;
    TSortRun* FSortRun = nullptr;
    // The keys of the rows from `left` of a column compared by its number or
    // date key alone during the sort running, else null.
    const std::vector<double>* NumberKeys(int aCol, int left);
    int CompareRows(int aCol, int aRow1, int aRow2);
    int CompareRowsIndexed(int index, int aRow1, int aRow2);
    void SortRowRange(int aCol, int left, int right, bool indexed);
    void ApplyRowOrder(int left, const std::vector<int>& order, bool keepXRef);
    void ContractNodeRows(int realRow);
    void ExpandNodeRows(int realRow);
    TCellGraphic* NodeGraphic(int aRow) const;
    std::vector<char> FRowSelect;
    std::vector<char> FColSelect;
    std::vector<QPointer<TGridChangeNotifier>> FNotifierList;
    TControlList FControlList;
    TGridItemCollection FGridItems;
    ITExStringGridSelect* FISelect = nullptr;

    // Hidden columns
    std::array<bool, MaxHiddenColumns + 1> FVisibleCol;
    std::array<int, MaxHiddenColumns + 1> FAllColWidths;
    std::vector<int> FHiddenCols; // ascending real indices
    int FNumHidden = 0;
    int FFilterLevel = 0;

    // Dimensions
    int FFixedRowsMin = 1;  // the platform grid starts with one fixed row
    int FFixedColsMin = 0;
    bool FFixedRowAlways = false;
    bool FFixedColAlways = false;
    int FMaxRowCount = 0;
    int FMaxColCount = 0;
    int FFixedRowHeight = 22;
    int FFixedFooters = 0;
    int FFixedRightCols = 0;
    bool FWordWrapEx = true;
    TVAlignment FVAlignment = vtaTop;
    unsigned FVAlignFlag = 0;
    bool FIntegralHeight = false;
    platform::TAlignment FDefaultAlignment = platform::taLeftJustify;
    int FZoomFactor = 0;

    // Selection and current cell
    platform::TGridRect FOldSelection;
    bool FSelHidden = false;
    bool FSelChange = false;
    int FOldRowSel = -1;
    bool FUseEnabledRows = false;

    // Appearance and behaviour
    TGridLook FLook = glXP;
    platform::TColor FBorderColor = 0xB99D7F;
    platform::TColor FSelectionColor = 0xEACAB6;
    platform::TColor FSelectionColorTo = platform::clNone;
    platform::TColor FSelectionMirrorColor = platform::clNone;
    platform::TColor FSelectionMirrorColorTo = platform::clNone;
    platform::TColor FSelectionTextColor = platform::clBlack;
    bool FSelectionColorMixer = false;
    int FSelectionColorMixerFactor = 50;
    bool FSelectionRectangle = false;
    bool FSelectionResizer = false;
    platform::TColor FSelectionRectangleColor = platform::clBlack;
    platform::TColor FHintColor = platform::clInfoBk;
    platform::TColor FHighlightColor = platform::clHighlight;
    platform::TColor FHighlightTextColor = platform::clHighlightText;
    platform::TColor FURLColor = platform::clBlue;
    bool FURLShowInText = false;
    bool FActiveCellShow = false;
    platform::TColor FActiveCellColor = platform::clGray;
    platform::TColor FActiveCellColorTo = platform::clNone;
    platform::TColor FDisabledFontColor = platform::clSilver;
    platform::TColor FQRVGradientFrom = platform::clWhite;
    platform::TColor FQRVGradientTo;
    platform::TColor FQRVGradientMirrorFrom = platform::clNone;
    platform::TColor FQRVGradientMirrorTo = platform::clNone;
    QString FFloatFormat = QStringLiteral("%.2f");
    QString FCheckTrue = QStringLiteral("Y");
    QString FCheckFalse = QStringLiteral("N");
    QString FXMLEncoding = QStringLiteral("ISO-8859-1");
    QString FFilterDropDownClear = QStringLiteral("(All)");
    QChar FPasswordChar = u'*';
    QChar FDelimiter;
    TEditorType FDefaultEditor = edNormal;
    TEditorType FEditControl = edNormal;
    platform::TColor FScrollColor = platform::clNone;
    int FScrollWidth = 16;
    TScrollBarAlways FScrollBarAlways = saNone;
    bool FShowSelection = true;
    bool FEnableHTML = true;
    bool FEnableWheel = true;
    bool FIntelliZoom = true;
    bool FShowDesignHelper = true;
    bool FDesigning = false;
    bool FShowColNrs = false;
    int FLastDesignChoice = -1;
    QPointer<QWidget> FDesignPanel;
    bool FEnhRowColMove = true;
    bool FAutoFilterUpdate = true;
    bool FFilterNormalCellsOnly = true;
    bool FUseInternalHintClass = true;
    bool FHideFocusRect = false;
    bool FFixedAsButtons = false;
    bool FFilterIncremental = false;
    bool FJavaCSV = false;
    bool FOemConvert = false;
    bool FAlwaysQuotes = false;
    bool FExcelClipboardFormat = false;
    bool FSizeGrowOnly = false;
    bool FClearTextOnly = false;
    bool FQuoteEmptyCells = true;
    bool FShowNullDates = true;
    bool FSaveFixedCells = true;
    bool FSaveVirtCells = true;
    bool FSaveWithHTML = true;
    bool FLoadFirstRow = true;
    bool FSaveFixedRows = false;
    bool FSaveFixedCols = false;
    bool FSaveHiddenCells = false;
    bool FMultilineCells = false;
    bool FEditWithTags = false;
    bool FSpreadSheet = false;
    bool FAutoSize = false;
    bool FFlat = false;
    bool FUseHTMLHints = false;
    int FMaxEditLength = 0;
    int FMinRowHeight = 0;
    int FMaxRowHeight = 0;
    int FMinColWidth = 0;
    int FMaxColWidth = 0;
    int FPrintPageFrom = 1;
    int FPrintPageTo = 1;
    int FPrintNrOfPages = 0;
    int FPrintPageWidth = 0;
    platform::TRect FPrintPageRect;
    int FPrintColStart = 0;
    int FPrintColEnd = 0;
    bool FIsPrintPreview = false;
    double FFontScaleFactor = 1.0;
    platform::TRect FPrevRect;
    platform::TGridRect FPrintRect;
    bool FFastPrint = false;
    bool FPrinterDriverFix = false;
    friend class TGridPrintLayout;
    platform::TPoint FXYOffset{2, 2};
    platform::TCursor FRestoreCursor = platform::crDefault;
    std::array<int, MaxHiddenColumns> FPrintColWidths{};
    std::array<int, MaxHiddenColumns> FPrintColOffsets{};

    // State
    int FUpdateCount = 0;
    bool FLoaded = false;
    int FGroupColumn = -1;
    int FSubGroupColumn = -1;
    bool FIsGrouping = false;
    int FGroupWidth = 0;
    QString FGroupCaption;
    QString FGroupFooter;
    // What Group took out of the grid, for UnGroup (ExGrid_Group.cpp).
    struct TGroupStash;
    std::shared_ptr<TGroupStash> FGroupStash;
    int FFilterColumn = -1;
    int FNumNodes = 0;
    bool FEditChange = false;
    bool FNilObjects = false;
    QPointer<TExStringGridCheck> FCellChecker;
    QPointer<QObject> FFixedDropDownMenu;
    QPointer<QObject> FPopupMenu;
    int FAutoNumberStart = 0;
    int FAutoNumberOffset = 0;
    TSortDirection FAutoNumberDirection = sdAscending;
    bool FBlockCellChange = false;

    // Looks (the hover and down colours come before the control look, whose
    // construction sets them)
    platform::TColor FQRVGradientHoverFrom = platform::clNone;
    platform::TColor FQRVGradientHoverTo = platform::clNone;
    platform::TColor FQRVGradientHoverMirrorFrom = platform::clNone;
    platform::TColor FQRVGradientHoverMirrorTo = platform::clNone;
    platform::TColor FQRVGradientHoverBorder = platform::clNone;
    platform::TColor FQRVGradientDownFrom = platform::clNone;
    platform::TColor FQRVGradientDownTo = platform::clNone;
    platform::TColor FQRVGradientDownMirrorFrom = platform::clNone;
    platform::TColor FQRVGradientDownMirrorTo = platform::clNone;
    platform::TColor FQRVGradientDownBorder = platform::clNone;
    std::unique_ptr<TControlLook> FControlLook = std::make_unique<TControlLook>(this);
    std::unique_ptr<TBackGround> FBackGround = std::make_unique<TBackGround>(this);
    std::unique_ptr<TGridProgressAppearance> FProgressAppearance = std::make_unique<TGridProgressAppearance>();
    std::unique_ptr<TBalloonSettings> FBalloonSettings = std::make_unique<TBalloonSettings>();
    std::unique_ptr<THTMLPictureCache> FImageCache = std::make_unique<THTMLPictureCache>();
    platform::TBitmap FRowIndicator;
    // Not owned; cleared when what they point to goes.
    QPointer<TPictureContainer> FPictureContainer;
    QPointer<platform::TImageList> FGridImages;
    TQRVStyle FQRVStyle = tsWindowsXP;
    TColorTones FColorTones;
    TOfficeTheme FOfficeTheme = otUnknown;
    THoverFixedCells FHoverFixedCells = hfNone;
    TScrollType FScrollType = ssNormal;
    bool FHovering = false;
    bool FAutoThemeAdapt = false;
    bool FURLShow = false;
    bool FURLEdit = false;
    bool FURLFull = false;
    bool FURLUnderlineOnHover = false;
    bool FEnhTextSize = false;
    bool FNoImageAndText = false;
    bool FNoDefaultDraw = false;
    bool FAutoNumAlign = false;
    bool FUseDisabledFont = false;
    bool FXYOffsetTopLeftOnly = false;
    bool FFitCellsInGrid = false;
    bool FSelectionRTFKeep = false;
    bool FUsePlatformStyles = false;

    // Hot tracking, kept by the mouse handling and read by the painter
    int FHoverFixedX = -1;
    int FHoverFixedY = -1;
    platform::TPoint FHotFixedCell{-1, -1};
    platform::TPoint FHoverButton{-1, -1};
    platform::TPoint FHoverCell{-1, -1};
    int FHoverLink = -1;
    bool FMouseDown = false;      // a press started a fresh disjunct selection
    bool FFixedCellDown = false;  // the mouse is down on the hovered fixed cell
    bool FDropDownDown = false;   // the fixed cell's drop-down button is pressed
    int FMoveColInd = -1;         // the column being moved
    bool FGridBlink = true;       // blink phase of blinking text

    // The colours of the cell being painted before selection colouring
    platform::TColor FUnselectedBrushColor = platform::clNone;
    platform::TColor FUnselectedFontColor = platform::clNone;
    // The properties being given their first look: not read while they are.
    const TCellProperties* FPreparingProps = nullptr;
    // The row check box every cell of column 0 answers in the mail-like mode.
    std::unique_ptr<TCellGraphic> FRowCheckGraphic = std::make_unique<TCellGraphic>();
    // The visual properties the base painter fetched for the cell it hands to
    // the content painter, which would fetch the same again.
    struct TVisualCache
    {
        bool Valid = false;
        int Col = 0, Row = 0;
        platform::TGridDrawState State = 0;
        platform::TColor Brush = platform::clNone, ColorTo = platform::clNone, Mirror = platform::clNone,
                         MirrorTo = platform::clNone, UnselectedBrush = platform::clNone,
                         UnselectedFont = platform::clNone;
        platform::TFont Font;
        platform::TAlignment HAlign = platform::taLeftJustify;
        TVAlignment VAlign = vtaTop;
        bool WordWrap = false;
        TCellGradientDirection Gradient = GradientVertical;
    } FVisualCache;

    // ---- hooks and check-box cells: state

    // The check-box object of a cell addressed by real row (a hidden row's
    // stored object included); displayRow is -1 for a hidden row.
    TCellGraphic* CheckGraphicOfRealRow(int aCol, int aRow, int& displayRow);
    // A check-box cell's text by real row; written through the cell store.
    QString CheckCellText(int aCol, int aRow);
    void SetCheckCellText(int aCol, int aRow, const QString& value);
    // The rows the check-box column operations walk.
    int FirstCheckRow() const;
    // Raises "Invalid cell" outside the grid.
    void CheckCellBounds(int aCol, int aRow);
    TCellVAlign CheckVAlign() const;
    TCellGraphic* NewToggleGraphic(int aCol, int aRow, TCellType kind);
    TCellGraphic* GraphicAllowedToChange(int aCol, int aRow, TCellType kind, bool askCanEdit);

    QStringList FFilterList;
    bool FFilterDropDownAuto = false;
    TFilterDropDownColumns FFilterDropDownColumns = fdNormal;
    // Filtering and find.
    std::unique_ptr<TFilter> FFilter;
    std::unique_ptr<TFilterDropDown> FFilterDropDown;
    TDropList* FFilterDropList = nullptr;
    TDropCheckList* FFilterDropCheckList = nullptr;
    bool FFilterActive = false;
    int FFilterDropDownRow = 0;
    bool FFilterDropDownCheck = false;
    std::vector<int> FFilterFixedRows; // per level
    QString FLastNarrowDown;
    // Drop-down entries made from cell texts: matched as they are.
    QStringList FFilterLiteral;
    TFindParams FFindParams = 0;
    platform::TPoint FSearchCell{0, 0};
    QString FSearchCache;
    bool FFindBusy = false;
    int FFindCol = 0;
    int FFindRow = 0;
    platform::TPoint FindCell(platform::TPoint startCell, const QString& s, TFindParams findParams, bool wide);
    bool MatchCell(int aCol, int aRow, const QString& s, TFindParams findParams, bool wide);
    TFindParams SearchFooterParams(bool withDirection);
    void EnsureFilterObjects();
    void PaintFilterButton(platform::TCanvas& canvas, const platform::TRect& r, TCellPaint& cell);
    bool FSaveWithRTF = false;
    platform::TFont FCellFont;

    // ---- editing state

    friend class TExInplaceEdit;

    platform::TInplaceEdit* CreateEditor() override;
    bool CanEditShow() override;
    int GetEditLimit() override { return FMaxEditLength; }
    QString GetEditMask(int col, int row) override;
    void WndProc(platform::TMessage& message) override;
    void CreateWnd() override;
    void KeyPress(QChar& key) override;
    void TopLeftChanged() override;
    void hideEvent(QHideEvent* event) override;

    // The special editor of the current cell: shown for the base cell, and committed.
    void ShowSpecialEditor(int aCol, int aRow);
    void CommitSpecialEditor();
    // The drop-down kinds' part of both; false for a kind that is not a drop-down.
    bool ShowDropDownEditor(int aCol, int aRow, const platform::TRect& r, int w, int h, platform::TColor color,
                            const platform::TFont& font, const QString& text, QChar startChar);
    bool CommitDropDownEditor();
    // The drop-down editors made so far take the grid's style and tones.
    void DropDownEditorsTakeStyle();
    // The drop-down editors that exist take this style alone.
    void DropDownEditorsTakeComponentStyle(TQRVStyle style);
    TExCustomDropDown* DropDownEditorOf(TEditorType kind, bool create);
    // Enter or Escape belongs to the drop-down editor that is up (not to the form).
    bool DropDownEditorWantsKey(int key);
    // The default text editor's kinds.
    static bool IsDefaultEditorKind(TEditorType kind);
    // Whether the default text editor is up and holds the keyboard focus.
    bool InplaceEditorFocused() const;
    void ShowBalloonTip(QWidget* on);
    void HandleGridTimer();
    void HandleEditorCommand(platform::TMessage& message);
    bool ToggleCheckBoxCell(int aCol, int aRow);

    bool FEditMode = false;
    bool FEditing = false;
    bool FEditActive = false;
    bool FSpecialEditor = false;
    bool FEntered = false;
    bool FShowEditProcess = false;
    QChar FStartEditChar;
    QString FCellCache;
    bool FNoEditChange = false;
    bool FBlockKill = false;
    bool FBlockFocus = false;
    bool FHidingEditor = false;
    int FComboIdx = -1;
    int FMaxComboLength = 0;
    QString FEditMask;
    QPointer<QWidget> FEditCtrl;
    TGridCombo* FEditCombo = nullptr;
    TGridCheckBox* FEditCheck = nullptr;
    TGridButton* FGridButton = nullptr;
    TGridSpin* FEditSpin = nullptr;
    TGridDatePicker* FEditDate = nullptr;
    TGridDateTimePicker* FEditDateTime = nullptr;
    TDateTime FOriginalDateTime = 0;
    TGridTrackbarDropDown* FEditTrackBar = nullptr;
    TGridMemoDropDown* FEditMemo = nullptr;
    TGridCalculatorDropDown* FEditCalculator = nullptr;
    TGridDetailPickerDropDown* FEditDetailPicker = nullptr;
    TGridColorDropDown* FEditColorPicker = nullptr;
    TGridImageDropDown* FEditImagePicker = nullptr;
    TGridTimepickerDropDown* FEditTimePicker = nullptr;
    TGridExGridDropDown* FEditExGridPicker = nullptr;
    TGridGridDropDown* FEditGridPicker = nullptr;
    QPointer<QWidget> FHToolTip;
    platform::TPoint FLastBalloonPos{-1, -1};
    void BalloonEnableChanged();
    TGridEditBtn* FEditBtn = nullptr;
    TGridUnitEditBtn* FUnitEditBtn = nullptr;

    int FOldCol = -1;
    int FOldRow = -1;
    QString FOldCellText;
    QString FOldCellTextWide;
    QString FNewCellText;
    bool FValidating = false;
    bool FLastValidation = true;
    bool FGridModified = false;
    bool FAlwaysValidate = false;
    QString FInvalidEntryTitle;
    QString FInvalidEntryText;
    TInvalidEntryIcon FInvalidEntryIcon = ieWarning;
    QPointer<QWidget> FBalloonTip;
    bool FEditDisable = false;
    bool FForceSel = false;
    bool FDisableChange = false;
    int FAECol = -1;
    int FAERow = -1;
    int FLastTabCol = -1;
    int FLastTabRow = -1;
    bool FNoAutoAdvance = false;
    bool FLButFlg = false;

    bool FLookup = false;
    bool FLookupCaseSensitive = false;
    bool FLookupHistory = false;
    QString FValidChars;
    QString FValidCharSet;
    bool FExcelStyleDecimalSeparator = false;

    int FTimerTicks = 0;
    bool FEnableBlink = false;
    QString SearchInc;
    int SearchTics = 0;
    // Redrawing was switched off by the update lock.
    bool FRedrawOff = false;

    QPointer<QWidget> FFocusWindow;
    QObject* FFocusFollower = nullptr;
    platform::TRect FFocusCellRect;

    // ---- keyboard state

    void KeyDown(int& key, platform::TShiftState shift) override;
    void KeyUp(int& key, platform::TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;
    virtual void WrapToFirstRow();
    void HandleKeyDownMessage(platform::TMessage& m);
    void HandleCharMessage(platform::TMessage& m);
    void HandleSetFocusMessage(platform::TMessage& m);
    void HandleKillFocusMessage(platform::TMessage& m);
    void HandleGetDlgCodeMessage(platform::TMessage& m);

    // How one step of the Tab move ended.
    enum class TTabStep { Moved, Stuck, Wrapped, Added };
    // One step of the Tab move from (col, row) as the navigation says; may
    // ask the row-changing events and add a row at the end.
    TTabStep TabTarget(bool backwards, int& col, int& row, bool& forceSel);
    // The last row above the footers.
    int LastDataRow() const;
    // The last column left of the fixed right columns.
    int LastNormalCol() const;
    // The search panel's height as laid out for the footer's settings.
    int SearchPanelHeight() const;
    bool SearchFooterAtEnd();
    // Keys that only scroll, moving rows with Ctrl, Home and End, the jump
    // over fixed cells; true when the key was used up.
    bool ScrollOnlyKey(int key);
    bool MoveRowsByKey(int key, const platform::TGridRect& sel);
    bool HomeEndKey(int key, platform::TShiftState shift);
    bool SkipFixedCellsKey(int key, int& target);
    void RunClipboardKey(int key, platform::TShiftState shift, bool& handled);
    void InsertRowByKey();
    void DeleteRowByKey();
    void SelectAllByKey();
    void DisjunctSelectByKey(int key, platform::TShiftState shift);
    void KeyUpCellSelect(int key, platform::TShiftState shift);
    bool HasFormControls(int aCol, int aRow);

    platform::TGridRect FMoveSelection{};
    // The selection when the key went down (FMoveSelection follows the moves).
    platform::TGridRect FKeyDownSelection{};
    platform::TPoint FLastKeyCell{-1, -1};
    // The key as the grid's key-down handling left it (0: used up).
    int FKeyAfterDown = 0;
    // A focus change the grid itself caused: the focus message is ignored.
    bool InvokedFocusChange = false;
    TSearchPanel* FSearchPanel = nullptr;

    // ---- mouse state

    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void Click() override;
    void HandleLButtonDownMessage(platform::TMessage& m);
    void HandleLButtonUpMessage(platform::TMessage& m);
    void HandleLButtonDblClkMessage(platform::TMessage& m);
    void HandleRButtonDownMessage(platform::TMessage& m);
    void HandleRButtonUpMessage(platform::TMessage& m);
    void HandleSetCursorMessage(platform::TMessage& m);
    // Raises OnClickSort after a sort by a header click.
    virtual void DoClickSort(int aCol);
    // The steps of the left press on a cell, from its base cell on.
    void PressCell(platform::TMessage& m, int aCol, int aRow, int x, int y, platform::TShiftState shift);
    bool PressLink(int aCol, int aRow, int x, int y);
    void StartSelectionResize(platform::TMessage& m, bool fromCorner);
    bool InResizerCorner(int x, int y);
    void ReleaseHeldButton(int x, int y, int aCol, int aRow);
    void EndFixedSizing(int x, int y);
    void SortByHeaderClick(int aCol, int aRow, int x, int y, platform::TShiftState shift, bool moveEnded);
    void FollowCellLink(const QString& anchor);
    // Lays out a cell's HTML text in textRect with the cell's font, drawing
    // nothing, and says what lies under the client point (x, y).
    THTMLDrawResult HitTestHTMLCell(int aCol, int aRow, const QString& text, const platform::TRect& textRect, int x,
                                    int y);

    // Written by the press, read by the move and the release.
    bool FDoOnClick = false;
    bool FMouseKeepDown = false;
    bool FMouseDownMove = false;
    bool FDeselectState = false;
    bool FSelectionClick = false;
    bool FDblClk = false;
    platform::TPoint FPushedCellButton{-1, -1};
    bool FFixedCellPushed = false;
    platform::TRect FPushedFixedCell;
    bool FSpinUpClick = false;
    bool FSpinDnClick = false;
    int Colclicked = -1;
    int Rowclicked = -1;
    int Colclickedsize = 0;
    int Rowclickedsize = 0;
    int Clickposx = 0;
    int Clickposy = 0;
    int Clickposdx = 0;
    int Clickposdy = 0;
    int Movecell = -1;
    int MoveOfsX = 0;
    int MoveOfsY = 0;
    int FMoveRowInd = -1;
    TMouseSelectMode FMouseSelectMode = msNormal;
    int FMouseSelectStart = -1;
    int FOldTopRow = -1;
    int FOldKeepLeftCol = -1;
    bool FMouseResize = false;
    platform::TGridRect FDropSelection;
    // ---- drag and drop (ExGrid_DragDrop.cpp)
    friend class TDragDropSettings;
    friend class TGridDropTarget;
    friend class TGridDropSource;
    // Starts a drag out of the grid once the pointer moved far enough from a
    // press on the selection; true when a drag ran.
    bool OleDragStartMove(platform::TShiftState shift, int x, int y);
    void SetOleDropTargetRegistered(bool on);
    void OleDragMouseMove(const QPoint& screen, bool& allow, unsigned formats);
    void OleHideDropMarkers();
    bool OleDropText(const QPoint& screen, const QString& text);
    bool OleDropStream(const QPoint& screen, const QByteArray& stream, const QString& text);
    bool OleDropCol(const QPoint& screen, int dropCol);
    bool OleDropCellText(const QPoint& screen, const QString& text, bool url);
    bool OleDropFiles(const QPoint& screen, const QStringList& files);
    // The cell under a screen point, with the append zone below the last row.
    void OleDropCell(const QPoint& screen, bool hasCol, int& aCol, int& aRow, bool& append);
    // Rows inserted at aRow while this grid's own drag runs move its dragged block down.
    void OleShiftDragSource(int aRow, int inserted);
    void OleRemoveDragSource();
    std::shared_ptr<TGridDropTarget> FGridDropTarget;
    bool FOleDropTargetAssigned = false;
    int FOleDragCol = -1;
    int FOleDragIndex = -1;
    QPointer<platform::TListBox> FOleDragList;
    QPointer<QWidget> MoveForm;
    bool FOleDragging = false;
    // Where a drop of this grid's own drag landed; -1 when elsewhere.
    platform::TGridRect FOleDropRect{-1, -1, -1, -1};
    // The data a paste reads instead of the clipboard (a drop); null: the clipboard.
    const QMimeData* FPasteSource = nullptr;
    qint64 SortTime = 0;
    bool FCtrlDown = false;  // an HTML form BUTTON is drawn pressed
    platform::TPoint FCtrlXY{-1, -1};
    bool FSizeFixed = false;
    bool FSizeFixedR = false;
    bool FSizingFixed = false;
    bool FSizingFixedR = false;
    int FSizingFixedCol = -1;
    int FSizingFixedRow = -1;
    int FSizeFixedX = 0;
    int FSizeFixedY = 0;
    bool ColSized = false;
    bool Rowsized = false;
    bool ColSizeFlg = false;

    // ---- move and sizing state

    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    void SizeChanged(int oldColCount, int oldRowCount) override;
    void Notification(QObject* component, platform::TOperation operation) override;
    void HookOwnerFormResize();
    // A press on a header's drop-down button: the event, then the menu.
    void HeaderDropDownPress(int aCol, int aRow, const platform::TRect& r);
    void HandleMouseLeaveMessage(platform::TMessage& m);
    void HandleCancelModeMessage(platform::TMessage& m);
    void HideMoveArrows();
    void EndHeaderMove();
    bool HeaderMoveRunning() const;
    // Whether the place under the pointer takes the moved column or row.
    bool HeaderMoveDropAllowed() const { return FMoveCursor == platform::crDrag; }
    void RowMoved(int fromIndex, int toIndex) override;
    // A move or drag starts or ends: the handlers in FOnStartBlockFocus and
    // FOnEndBlockFocus.
    virtual void DoStartBlockFocus();
    virtual void DoEndBlockFocus();

    // Hover, select modes, header moves and sizing, step by step.
    void HoverMove(int aCol, int aRow, int x, int y);
    void FixedBorderMove(int aCol, int aRow, int x, int y);
    void DragSelectMove(int aCol, int aRow, int x, int y);
    bool HeaderMoveStep(int aCol, int aRow, int x, int y);
    void SelectModeMove(int aCol, int aRow, int x, int y);
    void SizingEventsMove(int x, int y);
    void LinkMove(int aCol, int aRow, int x, int y);
    // The right border of fixed column i (of fixed row i) within 3 px of x (y); -1 none.
    int FixedColBorderAt(int x) const;
    int FixedRowBorderAt(int y) const;
    bool InResizerZone(int x, int y);
    TArrowWindow* MoveArrow(TArrowDirection dir);
    void ShowArrowAt(TArrowDirection dir, int x, int y);
    void ShowDragButton(const QString& text, int width, int height, int x, int y);
    bool FloatingFooterFixedLastRow() const;
    void StretchWanted();
    // Fits one column to its cells (grow-only: never narrower).
    void FitColumnWidth(int aCol, bool growOnly);
    int LimitSize(int v, int minV, int maxV) const;
    void FitRowHeight(int aRow, bool growOnly);
    // lines < 1: the most lines of the row's cells (one without multi-line cells).
    int LineCountHeight(int aRow, int extra, int lines = 0);

    // The windows laid over the form while a column or row moves; they
    // belong to the form and go with the grid.
    struct TMoveWindows
    {
        std::array<QPointer<TArrowWindow>, 4> Arrows;
        QPointer<platform::TPanel> DragButton;
        ~TMoveWindows();
    } FMoveWindows;
    // The form whose resize handler the grid took over; the form gets its
    // own back when the grid goes.
    struct TFormResizeHook
    {
        // A plain widget pointer: while the form is destroyed its form part is
        // already gone when the grid goes.
        QPointer<QWidget> Form;
        platform::TNotifyEvent Previous;
        bool Assigned = false;
        ~TFormResizeHook();
    } FFormHook;

    platform::TNotifyEvent FOnStartBlockFocus;
    platform::TNotifyEvent FOnEndBlockFocus;
    platform::TCursor FMoveCursor = platform::crDefault; // crDrag / crNo while a header move runs
    bool FBlockFocusStarted = false;
    platform::TColor FArrowColor = platform::clLime;
    bool FSizeWithForm = false;
    int PrevSizeX = 0;
    int PrevSizeY = 0;
    bool ColchgFlg = true;
    bool FIsColChanging = false;
    bool FSyncedMove = false;
    bool FColMoved = false;
    bool FRowMoved = false;
    bool FInUserSizeUpdate = false;
    bool FGridSetCursor = false; // a step of this move chose the cursor
    bool FLinkCursor = false;    // the hand cursor over a link is the grid's
    platform::TGridRect FSizeSelection{-1, -1, -1, -1};
    QString FAnchor;
    QString FLastAnchorHint;

    // ---- scroll and hint state

    bool event(QEvent* e) override;
    bool DoMouseWheelDown(platform::TShiftState shift, const platform::TPoint& mousePos) override;
    bool DoMouseWheelUp(platform::TShiftState shift, const platform::TPoint& mousePos) override;
    void DragOver(QObject* source, int x, int y, platform::TDragState state, bool& accept) override;
    void DragDrop(QObject* source, int x, int y) override;
    void HandleHScrollMessage(platform::TMessage& m);
    void HandleVScrollMessage(platform::TMessage& m);
    void HandleMouseWheelMessage(platform::TMessage& m);
    // The cell scroll bar moved: OnScrollCell.
    virtual void DoScrollCell(int aCol, int aRow, int scrollPosition, int scrollMin, int scrollMax);
    // The hint of a dragged thumb ("Row : " / "Col : ").
    void ScrollHintStep(bool vertical, int code, int pos);
    void DragScrollTick();
    void StopDragScroll();
    void CellScrollBarAction(int action);
    void ShowCellHint(const THintInfo& info);
    // Input that ends a shown cell hint (pointer off its cell, press, key, leave).
    void CellHintInput(QEvent* e);
    int WheelScrollLines();
    void CreateScrollControls();
    void FreeScrollControls();

    bool FScrollProportional = false;
    TScrollHintType FScrollHints = shNone;
    bool FScrollSynch = false;
    bool FScrollLock = false;
    // The common-controls flat bars do not exist on this platform: never set.
    bool FIsFlat = false;
    std::unique_ptr<TDragScrollOptions> FDragScrollOptions = std::make_unique<TDragScrollOptions>();
    platform::TTimer* FDragTmr = nullptr;  // owned by the grid (Qt parent)
    TDragScrollDirection FDragScrollDirection = 0;
    TScrollControl* vscrlctrl = nullptr;   // children of the grid
    TScrollControl* hscrlctrl = nullptr;
    THTMLHintWindow* FScrollHintWnd = nullptr;  // owned by the grid, made on first need
    bool FScrollHintShow = false;
    platform::TScrollBar* FScrollBar = nullptr; // child of the client surface, made on first need
    int FScrollCol = -1;
    int FScrollRow = -1;
    platform::TPoint FLastHintPos{-1, -1};
    // FLastAnchorHint (the last link hint) is kept with the mouse-move state.
    bool FShowHint = false;
    bool FHintShowCells = false;
    bool FHintShowLargeText = false;
    THintShowLargeTextPos FHintShowLargeTextPos = hpCell;
    bool FHintShowSizing = false;
    bool FHTMLHint = false;
    bool FAnchorHint = false;
    QPointer<QWidget> FCellHintWnd;
    // Gone with the grid's own members, before the client surface it watches.
    std::unique_ptr<QObject> FCellHintTracker;
    platform::TRect FCellHintCell;        // client rectangle of the hinted cell
    QString FCellHintText;
    platform::THintWindowClass FCellHintClass = nullptr;  // the class FCellHintWnd is of

    // ---- middle-button panning and sizing with column synchronisation

public:
    static constexpr int PanTimerId = 999;
    TIntelliPan IntelliPan() const { return FIntelliPan; }
    void SetIntelliPan(TIntelliPan v);
    bool Panning() const { return FPan.Active; }
    platform::TPoint PanOrigin() const { return FPan.Origin; }
    // The panning cursor shown (8000 neutral .. 8008); 0 while not panning.
    int PanCursor() const { return FPan.Cursor; }
    QWidget* PanMarker() const { return FPan.Marker.data(); }
    // Grid width when the original column sizes were taken; 0 before.
    int OldSize() const { return FOldSize; }

protected:
    // True when the message is consumed.
    bool HandlePanningMessage(platform::TMessage& m);
    void StartPanning(int x, int y);
    void StopPanning();
    void PanStep();
    void DrawPanMarker();
    void InvalidatePanMarker();
    void HandleSizeMessage(platform::TMessage& m);

    struct TPanState
    {
        bool Active = false;
        platform::TPoint Origin;
        int Cursor = 0;
        QPointer<QWidget> Marker;  // child of the client surface
        bool CursorSet = false;    // the application's cursor is ours
        ~TPanState();              // an active pan gives the cursor back
    } FPan;
    TIntelliPan FIntelliPan = ipVertical;
    int FOldSize = 0;
    bool FDisableSize = false;

    // ---- custom editor link, rich edit, header editors and form fields

    friend class TEditLink;
    friend class TExRichEdit;
    // edCustom and edRichEdit: shown over r, committed into the current cell.
    void ShowLinkEditor(int aCol, int aRow, const platform::TRect& r, platform::TColor color,
                        const platform::TFont& font, const QString& text, QChar startChar);
    void CommitLinkEditor();
    void ShowRichEditor(int aCol, int aRow, const platform::TRect& r, platform::TColor color,
                        const platform::TFont& font, QChar startChar);
    void CommitRichEditor();
    bool OpensFixedCellEdit(int aCol, int aRow, int x, int y, TGridFixedCellEdit how);
    // A TEditLink; gone when the application frees the link.
    QPointer<QObject> FEditLink;
    TExRichEdit* FRichEdit = nullptr;
    TExRichEdit* FInplaceRichEdit = nullptr;
    TGridTransEdit* FEditTrans = nullptr;
    TGridTransCombo* FComboTrans = nullptr;
    TControlEdit* FEditControlEdit = nullptr;
    TControlCombo* FComboControl = nullptr;
    int FFixedColEdit = -1;
    int FFixedRowEdit = -1;
    QString FCtrlID;
    QString FCtrlType;
    bool FCtrlEditing = false;

private:
    // A new empty row after the last data row, above the footer rows.
    void AddEmptyDataRow();
    // One wheel step of DoMouseWheelDown (up false) or DoMouseWheelUp.
    bool WheelStep(bool up, platform::TShiftState shift, const platform::TPoint& mousePos);
};

// ---------------------------------------------------------------------------
// Module start-up and shared routines
// ---------------------------------------------------------------------------

// Runs once before the first grid exists (each grid makes sure of it) and
// undone at program end. Registers the grid's messages.
void ExGridStartUp();
void ExGridShutDown();
unsigned GridEditDoneMessage();
unsigned DTPShiftFocusMessage();
// The clipboard format name of copied cells.
QString GridCellsClipboardFormat();

QChar LocaleTimeSeparator();
QChar LocaleDateSeparator();
QChar LocaleThousandSeparator();
QChar LocaleDecimalSeparator();
QString LocaleShortDateFormat();
QString LocaleShortTimeFormat();
QString LocaleLongTimeFormat();
// The high double word of a file's fixed version; -1 without version data
// (always, for the program's files on this platform).
int GetFileVersionMS(const QString& fileName);

// The regional short date and long time forms.
QString DateToText(TDateTime value);
QString TimeToText(TDateTime value);
// Raise std::invalid_argument ('"text" is not a valid date') when the text
// does not convert.
TDateTime TextToDate(const QString& text);
TDateTime TextToTime(const QString& text);
// The plain text of an RTF text (control words and destinations dropped).
QString RTFToPlainText(const QString& rtf);

// Looks and colours shared by the painters.
// "glXP" and "Windows XP" and the like; glCustom has neither (empty).
QString GridLookName(TGridLook look);
QString GridLookText(TGridLook look);
// A mixed into B by p percent (p >= 100: A; below 1: B).
platform::TColor BlendColors(platform::TColor a, platform::TColor b, int p);
platform::TColor MixSelectionColor(platform::TColor selection, platform::TColor cell, bool mixer, int percentage);
double ClampPercent(double value);
// The grid's bitmap resources (check boxes, radio buttons, node and filter
// glyphs) are registered when a grid first draws one; code that loads them
// by name before that calls it itself.
void RegisterExGridResources();
