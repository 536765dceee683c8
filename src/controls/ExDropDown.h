#pragma once

// The drop-down framework: an edit with a button at its right end that opens
// a borderless popup window (with optional header and footer bars) holding a
// leaf's own control; the drawing helpers, the gradient push button of the
// bars, the item selector of the list-type leaves and the style colours.
//
// Value text: the edit shows prefix + value + suffix. `Text()` reads the value
// part, `SetText()` formats and stores it (and remembers it as the text a
// cancelled popup restores); `SetRawText()` puts a text in as it is.

#include "platform/Controls.h"
#include "platform/CustomControl.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "widgets/ExDropDownLook.h"
#include "widgets/ExStyleIF.h"
#include "widgets/ExUtil.h"

#include <QLineEdit>
#include <QPointer>
#include <QScrollArea>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// ---------------------------------------------------------------------------
// Drawing helpers (the stepped gradient itself is DrawSteppedGradient, ExUtil)
// ---------------------------------------------------------------------------

// p percent of a mixed with b; p >= 100 gives a and p <= 0 gives b unconverted.
platform::TColor BlendColor(platform::TColor a, platform::TColor b, int p);
// Each non-zero channel darkened by -d percent (a positive d keeps it); a zero
// channel becomes max(0, d).
platform::TColor ScaleColorChannels(platform::TColor color, int dr, int dg, int db);
// An 80-band gradient (colorTo set) or a flat fill (color set), then a frame
// when borderColor is set and borderWidth > 0. Nothing without a canvas.
void DrawGradientBox(platform::TCanvas* canvas, const platform::TRect& rect, platform::TColor color,
                     platform::TColor colorTo, platform::TColor borderColor, int borderWidth, bool vertical);
// An optional image at the left and a one-line text, centred without image.
void DrawImageAndText(platform::TCanvas* canvas, platform::TRect rect, const QString& text,
                      const platform::TImageList* images, int imageIndex);
// The bitmap with its top-left pixel's colour replaced by background.
void DrawGlyphOnColor(platform::TCanvas& canvas, const platform::TBitmap& bitmap, platform::TColor background,
                      const platform::TRect& rect);
platform::TSize GetCanvasTextSize(platform::TCanvas& canvas, const QString& text);
// The text cut from its end (with "..." when ellipsis) until narrower than maxWidth.
QString FitTextToWidth(platform::TCanvas& canvas, const QString& text, int maxWidth, bool ellipsis);
// Measures (paint false) or draws a mark-up caption; returns its size.
platform::TSize DrawHTMLCaption(platform::TCanvas& canvas, const QString& text, const platform::TRect& rect,
                                const platform::TImageList* images, bool paint, const QWidget* window);
QString MatchCaseText(const QString& text, bool caseSensitive);
// MatchCaseText(text, caseSensitive).startsWith(prefix), where prefix is
// already MatchCaseText of what was typed; without a string made per call.
bool StartsWithMatchCase(QStringView text, const QString& prefix, bool caseSensitive);

// ---------------------------------------------------------------------------
// Gradient push button of the header and footer bars
// ---------------------------------------------------------------------------

enum class TExButtonState { absUp, absDisabled, absDown, absDropDown, absExclusive };
using enum TExButtonState;

class TExButtonAppearance
{
public:
    TExButtonAppearance();
    void Assign(const TExButtonAppearance* source);

#define EXBA_COLOR(Name)                                                                                               \
    platform::TColor Name() const { return F##Name; }                                                                  \
    void Set##Name(platform::TColor v)                                                                                 \
    {                                                                                                                  \
        if (v != F##Name) {                                                                                            \
            F##Name = v;                                                                                               \
            Changed();                                                                                                 \
        }                                                                                                              \
    }
    EXBA_COLOR(BorderColor)
    EXBA_COLOR(BorderColorHot)
    EXBA_COLOR(BorderColorDown)
    EXBA_COLOR(BorderColorDisabled)
    EXBA_COLOR(BorderColorChecked)
    EXBA_COLOR(Color)
    EXBA_COLOR(ColorTo)
    EXBA_COLOR(ColorDown)
    EXBA_COLOR(ColorDownTo)
    EXBA_COLOR(ColorHot)
    EXBA_COLOR(ColorHotTo)
    EXBA_COLOR(ColorChecked)
    EXBA_COLOR(ColorCheckedTo)
    EXBA_COLOR(ColorDisabled)
    EXBA_COLOR(ColorDisabledTo)
#undef EXBA_COLOR
    TGradientDirection Gradient() const { return FGradient; }
    void SetGradient(TGradientDirection v)
    {
        if (v != FGradient) {
            FGradient = v;
            Changed();
        }
    }
    platform::TFont& Font() { return FFont; }
    void SetFont(const platform::TFont& f) { FFont.Assign(f); }

    std::function<void()> OnChange;

private:
    void Changed()
    {
        if (OnChange)
            OnChange();
    }
    platform::TColor FBorderColor, FBorderColorHot, FBorderColorDown, FBorderColorDisabled, FBorderColorChecked;
    platform::TColor FColor, FColorTo, FColorDown, FColorDownTo, FColorHot, FColorHotTo, FColorChecked,
        FColorCheckedTo, FColorDisabled, FColorDisabledTo;
    TGradientDirection FGradient = gdVertical;
    platform::TFont FFont;
};

class TExCustomDropDown;

class TExButton : public platform::TCustomControl
{
public:
    explicit TExButton(QWidget* parent = nullptr);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& c)
    {
        FCaption = c;
        update();
    }
    TExButtonAppearance* Appearance() const { return FAppearance; }
    void SetAppearance(TExButtonAppearance* a)
    {
        FAppearance = a;
        update();
    }
    void SetImages(const platform::TImageList* images) { FImages = images; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int i) { FImageIndex = i; }
    platform::TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(platform::TModalResult r) { FModalResult = r; }
    void SetExDropDown(TExCustomDropDown* d) { FExDropDown = d; }
    TExButtonState State() const { return FState; }
    bool Hot() const { return FMouseInControl; }
    void AutoSizeButton();
    void SetEnabled(bool e) override;

    // The face and frame colours the button paints now: from, to, frame.
    struct TLook
    {
        platform::TColor From, To, Frame;
    };
    TLook CurrentLook() const;

protected:
    void Paint() override;
    virtual void DrawButton(platform::TCanvas& canvas);
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    void Click() override;
    void WndProc(platform::TMessage& message) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool DialogChar(QChar ch) override;

private:
    void UnHotTimerTick();
    void UpdateTracking();

    QString FCaption;
    bool FMouseInControl = false;
    bool FHot = false;
    TExButtonState FState = absUp;
    bool FMouseDownInControl = false;
    bool FDragging = false;
    bool FInternalClick = false;
    TExButtonAppearance* FAppearance = nullptr;
    const platform::TImageList* FImages = nullptr;
    int FImageIndex = -1;
    platform::TModalResult FModalResult = 0;
    TExCustomDropDown* FExDropDown = nullptr;
};

// ---------------------------------------------------------------------------
// Header and footer bars
// ---------------------------------------------------------------------------

// The bars' list of their push buttons; indices at or past the end throw.
class TDbgList
{
public:
    int Count() const { return static_cast<int>(items_.size()); }
    void Add(TExButton* b) { items_.push_back(b); }
    void Clear() { items_.clear(); }
    TExButton* GetItemsEx(int index) const;
    void SetItemsEx(int index, TExButton* value);
    void AssignList(const TDbgList& list) { items_ = list.items_; }

private:
    std::vector<TExButton*> items_;
};

using TDrawBackGroundEvent = std::function<void(QObject* sender, platform::TCanvas& canvas, platform::TRect& rect)>;
using TGetTextEvent = std::function<void(QObject* sender, QString& text)>;

// What header and footer share; the footer adds the size grip.
class TExBar : public platform::TCustomControl
{
public:
    explicit TExBar(QWidget* parent, bool footer);
    ~TExBar() override;

    void SetImages(const platform::TImageList* images) { FImages = images; }
    const platform::TImageList* Images() const { return FImages; }
    TExCustomDropDown* ExDropDown() const { return FExDropDown; }
    void SetExDropDown(TExCustomDropDown* d);
    void InitButtons();
    const TDbgList& ButtonList() const { return *FButtonList; }
    platform::TRect GetButtonArea() const;
    int GetMaxButtonHeight() const;
    platform::TRect GetCaptionRect() const;
    bool HasSizeGrip() const;
    TDropDownAppearance& Look() const { return *FLook; }

    TDrawBackGroundEvent OnDrawBackGround;
    TGetTextEvent OnGetText;

protected:
    virtual void CreateButtons();
    virtual void ClearButtons();
    virtual void ArrangeButtons();
    virtual void UpdateButtons();
    void Paint() override;
    void Resize() override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    void DrawSizeGrip(const platform::TRect& g);

private:
    void AppearanceChanged();
    void ButtonClick(QObject* sender);
    bool InGripZone(int x, int y) const;
    int ButtonCount() const;

    const bool footer_;
    std::unique_ptr<TDropDownAppearance> FLook; // THeaderAppearance or TFooterAppearance
    const platform::TImageList* FImages = nullptr;
    TExCustomDropDown* FExDropDown = nullptr;
    std::unique_ptr<TDbgList> FButtonList;
    bool sizing_ = false;
    QPoint sizeStart_;
    QSize sizeStartSize_;
};

class TExHeader : public TExBar
{
public:
    explicit TExHeader(QWidget* parent = nullptr) : TExBar(parent, false) {}
    THeaderAppearance& Appearance() const { return static_cast<THeaderAppearance&>(Look()); }
};

class TExFooter : public TExBar
{
public:
    explicit TExFooter(QWidget* parent = nullptr) : TExBar(parent, true) {}
    TFooterAppearance& Appearance() const { return static_cast<TFooterAppearance&>(Look()); }
};

// ---------------------------------------------------------------------------
// The drop-down button
// ---------------------------------------------------------------------------

enum class TButtonStyle { bsButton, bsDropDown };
class TDropDownEditButton;

class TExDropDownSpeedButton : public platform::TCustomControl
{
public:
    explicit TExDropDownSpeedButton(TDropDownEditButton* owner);
    TButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TButtonStyle s)
    {
        FButtonStyle = s;
        update();
    }
    void SetFocusedLook(bool f)
    {
        if (f != FFocused) {
            FFocused = f;
            update();
        }
    }
    bool Pressed() const { return FDown && !FUp; }
    bool Hot() const { return FHot; }
    void SetUp() { FUp = true; }
    // The push-button style's looks: a flat face with an etched or raised
    // edge, and a glyph holding 1 to 4 pictures side by side (up, disabled,
    // down, stay-down).
    bool Etched() const { return FEtched; }
    void SetEtched(bool v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int n);
    platform::TBitmap& Glyph() { return FGlyph; }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& c) { FCaption = c; }

protected:
    void Paint() override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    void PaintDropDown(platform::TCanvas& c);
    void PaintButton(platform::TCanvas& c);
    // The glyph's picture for the current state.
    platform::TBitmap StateGlyph() const;

    TDropDownEditButton* owner_;
    bool FEtched = false;
    bool FFlat = false;
    int FNumGlyphs = 1;
    bool FFocused = false;
    bool FHot = false;
    bool FUp = false;
    bool FDown = false;
    TButtonStyle FButtonStyle = TButtonStyle::bsDropDown;
    platform::TBitmap FGlyph;
    QString FCaption;
};

class TDropDownEditButton : public platform::TCustomControl
{
public:
    TDropDownEditButton(TExCustomDropDown* edit, QWidget* parent);
    TExDropDownSpeedButton* Button() const { return FButton; }
    TExCustomDropDown* Edit() const { return edit_; }
    platform::TBitmap& Glyph() { return FButton->Glyph(); }
    int NumGlyphs() const { return FButton->NumGlyphs(); }
    void SetNumGlyphs(int n) { FButton->SetNumGlyphs(n); }
    QString ButtonCaption() const { return FButton->Caption(); }
    void SetButtonCaption(const QString& c) { FButton->SetCaption(c); }
    void SetBounds(int left, int top, int width, int height) override;
    void SetEnabled(bool e) override;
    void ButtonMouseUp(platform::TMouseButton button);

    platform::TNotifyEvent OnButtonClick;
    int FBWidth = 16;
    platform::TColor FButtonColorDown = platform::clNone, FButtonBorderColor = platform::clNone,
                     FButtonTextColor = platform::clNone, FButtonTextColorHot = platform::clNone,
                     FButtonColor = platform::clNone, FButtonColorHot = platform::clNone,
                     FButtonTextColorDown = platform::clNone;

protected:
    void Resize() override;

private:
    TExCustomDropDown* edit_;
    TExDropDownSpeedButton* FButton;
};

// ---------------------------------------------------------------------------
// The popup window
// ---------------------------------------------------------------------------

class TDropDownForm : public platform::TForm
{
public:
    explicit TDropDownForm(TExCustomDropDown* owner);

    TExCustomDropDown* ExDropDown() const { return FExDropDown; }
    bool Shadow() const { return FShadow; }
    void SetShadow(bool s) { FShadow = s; }
    bool Sizeable() const { return FSizeable; }
    void SetSizeable(bool s) { FSizeable = s; }
    bool CancelOnDeActivate() const { return FCancelOnDeActivate; }
    void SetCancelOnDeActivate(bool c) { FCancelOnDeActivate = c; }
    bool BlockActivate() const { return FBlockActivate; }
    void SetBlockActivate(bool b) { FBlockActivate = b; }
    std::int64_t DeActivateTime() const { return FDeActivate; }
    TExHeader* Header() const { return FHeader; }
    TExFooter* Footer() const { return FFooter; }
    void InitializeAndUpdate();
    // The rectangle inside the border where header, control and footer go.
    platform::TRect InnerRect() const;
    void LayoutChildren();

    platform::TNotifyEvent OnSizing;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;

private:
    friend class TExCustomDropDown;
    std::int64_t FDeActivate = -1000000;
    bool FShadow = true;
    TExFooter* FFooter = nullptr;
    TExHeader* FHeader = nullptr;
    TExCustomDropDown* FExDropDown;
    bool FSizeable = false;
    bool FCancelOnDeActivate = true;
    bool FBlockActivate = false;
    bool hidingOnPurpose_ = false;
    QPoint sizeStart_;
    QSize sizeStartSize_;
    bool sizing_ = false;
};

// ---------------------------------------------------------------------------
// The drop-down edit
// ---------------------------------------------------------------------------

enum class TDropDownEditType {
    etString, etNumeric, etFloat, etUppercase, etMixedCase, etLowerCase, etPassword, etMoney, etRange, etHex,
    etAlphaNumeric, etValidChars
};
using enum TDropDownEditType;
enum class TDropPosition { dpAuto, dpDown, dpUp };
using enum TDropPosition;
enum class TSelectionColorStyle { scCustom, scOffice2007, scWindowsVista, scWindows7 };
using enum TSelectionColorStyle;
enum class TLabelPosition {
    lpLeftTop, lpLeftCenter, lpLeftBottom, lpTopLeft, lpBottomLeft, lpLeftTopLeft, lpLeftCenterLeft,
    lpLeftBottomLeft, lpTopCenter, lpBottomCenter, lpRightTop, lpRightCenter, lpRighBottom, lpTopRight,
    lpBottomRight
};
using enum TLabelPosition;

// Top-left corner of an attached label of size labelW x labelH and caption
// width textW beside the control rectangle (left, top, width, height).
platform::TPoint LabelPlace(TLabelPosition p, int left, int top, int width, int height, int labelW, int labelH,
                            int textW, int margin);

using TDropDownEvent = std::function<void(QObject* sender, bool& acceptDrop)>;
using TDropUpEvent = std::function<void(QObject* sender, bool cancelled)>;
// (named apart from the grid's own clipboard event, which has no value)
using TDropDownClipboardEvent = std::function<void(QObject* sender, const QString& value, bool& allow)>;

// Value-text functions (locale separators read at each call).
// 0 integer, 1 decimal, 2 not a number, 5 hexadecimal.
int TextNumberKind(const QString& text);
QString StripThousandSeparators(const QString& text);
int HexDigitValue(QChar c);
// A leading "-" negates; std::nullopt for other characters that are not hex
// digits, for an empty text and for values outside 32 bits.
std::optional<std::int32_t> HexToInt(const QString& text);
bool IsRangeSeparator(QChar c);
// 0 for a text that does not convert.
double TextToFloat(const QString& text);

class TItemAppearance;

class TExCustomDropDown : public platform::TControlOf<QLineEdit>
{
public:
    explicit TExCustomDropDown(QWidget* parent = nullptr);
    ~TExCustomDropDown() override;

    // Value text -------------------------------------------------------------
    QString Text() const;
    virtual void SetText(const QString& value);
    void SetRawText(const QString& text);
    QString RawText() const { return text(); }
    TDropDownEditType EditType() const { return FEditType; }
    void SetEditType(TDropDownEditType t);
    int Precision() const { return FPrecision; }
    void SetPrecision(int p);
    QString Prefix() const { return FPrefix; }
    void SetPrefix(const QString& p) { FPrefix = p; }
    QString Suffix() const { return FSuffix; }
    void SetSuffix(const QString& s) { FSuffix = s; }
    bool Signed() const { return FSigned; }
    void SetSigned(bool s) { FSigned = s; }
    int LengthLimit() const { return FLengthLimit; }
    void SetLengthLimit(int l) { FLengthLimit = static_cast<std::int16_t>(l); }
    QString ValidChars() const { return FValidChars; }
    void SetValidChars(const QString& v) { FValidChars = v; }
    bool AutoThousandSeparator() const { return FAutoThousandSeparator; }
    void SetAutoThousandSeparator(bool v) { FAutoThousandSeparator = v; }
    bool AllowNumericNullValue() const { return FAllowNumericNullValue; }
    void SetAllowNumericNullValue(bool v) { FAllowNumericNullValue = v; }
    bool CanUndo() const { return FCanUndo; }
    void SetCanUndo(bool v) { FCanUndo = v; }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool v) { FReturnIsTab = v; }
    bool DefaultHandling() const { return FDefaultHandling; }
    void SetDefaultHandling(bool v) { FDefaultHandling = v; }
    bool ExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool v) { FExcelStyleDecimalSeparator = v; }
    QString OldText() const { return FOldText; }
    double GetFloatValue() const;
    void SetFloatValue(double x);
    void SetIntValue(std::int64_t n);
    void SelectAll();
    void SelectBeforeDecimal();
    void SelectAfterDecimal();
    bool GetModifiedState() const { return FIsModified; }
    void SetModifiedState(bool flag);
    int IntegerPartLength(const QString& text) const;
    int DecimalSeparatorPosition() const;
    bool IsAllowedMinus(QChar c) const;
    void ApplyThousandSeparators();

    // Properties ----------------------------------------------------------------
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool e);
    // A focused control that takes no typing shows its value selected.
    bool FocusDraw() const { return FFocusDraw; }
    void SetFocusDraw(bool v)
    {
        if (v != FFocusDraw) {
            FFocusDraw = v;
            update();
        }
    }
    // A stored flag; the track-bar drop-down lets the mouse drag its value with it.
    bool DropDownEnabled() const { return FDropDownEnabled; }
    void SetDropDownEnabled(bool v) { FDropDownEnabled = v; }
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool r);
    platform::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(platform::TColor c);
    platform::TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(platform::TColor c) { FFocusBorderColor = c; }
    bool DisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool v);
    TExButtonAppearance& ButtonAppearance() { return *FButtonAppearance; }
    THeaderAppearance& DropDownHeader() { return *FDropDownHeader; }
    void SetDropDownHeader(const THeaderAppearance& a) { FDropDownHeader->Assign(&a); }
    TFooterAppearance& DropDownFooter() { return *FDropDownFooter; }
    void SetDropDownFooter(const TFooterAppearance& a) { FDropDownFooter->Assign(&a); }
    platform::TColor DropDownColor() const { return FDropDownColor; }
    void SetDropDownColor(platform::TColor c) { FDropDownColor = c; }
    platform::TColor DropDownColorTo() const { return FDropDownColorTo; }
    void SetDropDownColorTo(platform::TColor c) { FDropDownColorTo = c; }
    TGradientDirection DropDownGradient() const { return FDropDownGradient; }
    void SetDropDownGradient(TGradientDirection g) { FDropDownGradient = g; }
    platform::TColor DropDownBorderColor() const { return FDropDownBorderColor; }
    void SetDropDownBorderColor(platform::TColor c) { FDropDownBorderColor = c; }
    int DropDownBorderWidth() const { return FDropDownBorderWidth; }
    void SetDropDownBorderWidth(int w) { FDropDownBorderWidth = w; }
    bool DropDownShadow() const { return FDropDownShadow; }
    void SetDropDownShadow(bool s) { FDropDownShadow = s; }
    bool DropDownSizeable() const { return FDropDownSizeable; }
    void SetDropDownSizeable(bool s) { FDropDownSizeable = s; }
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int w);
    int DropDownHeight() const { return FDropDownHeight; }
    void SetDropDownHeight(int h);
    TDropPosition DropPosition() const { return FDropPosition; }
    void SetDropPosition(TDropPosition p) { FDropPosition = p; }
    int DropDownButtonWidth() const { return FButtonWidth; }
    void SetDropDownButtonWidth(int w);
    QString DropDownButtonHint() const { return FButtonHint; }
    void SetDropDownButtonHint(const QString& h);
    const platform::TImageList* Images() const { return FImages; }
    void SetImages(const platform::TImageList* i) { FImages = i; }
    QString LabelCaption() const;
    void SetLabelCaption(const QString& c);
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition p);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int m);
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool v);
    // The label does not follow the control's enabled state.
    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool v);
    platform::TFont& LabelFont() { return *FLabelFont; }
    void SetLabelFont(const platform::TFont& f) { FLabelFont->Assign(f); }
    // With ParentFont the label shows in the control's font, not LabelFont.
    bool ParentFont() const { return FParentFnt; }
    void SetParentFont(bool v);
    platform::TLabel* Label() const { return FLabel; }
    // The drop-down button's picture in place of the arrow; empty for none.
    const platform::TBitmap& DropDownButtonGlyph() const;
    void SetDropDownButtonGlyph(const platform::TBitmap& glyph);
    // Version shows GetVersionNr's four bytes, high byte first.
    QString Version() const;
    virtual std::uint32_t GetVersionNr() const { return 0x01020104; }
    // The stored properties beyond the published ones: "SelectionColorStyle"
    // and "QRVStyle", each the ordinal of its value. Reading one stores the
    // ordinal only (no colours are applied); false for an unknown name or an
    // ordinal outside its type.
    std::vector<std::pair<QString, int>> DefinedProperties() const;
    bool ReadDefinedProperty(const QString& name, int value);
    platform::TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(platform::TColor c) { FSelectionColor = c; }
    platform::TColor SelectionColorTo() const { return FSelectionColorTo; }
    void SetSelectionColorTo(platform::TColor c) { FSelectionColorTo = c; }
    TSelectionColorStyle SelectionColorStyle() const { return FSelectionColorStyle; }
    TDropDownEditButton* Button() const { return FButton; }
    bool DroppedDown() const { return FDroppedDown; }
    TDropDownForm* DropDownForm() const { return FDropDownForm.get(); }
    QWidget* Control() const { return FControl; }
    void SetControl(QWidget* control);
    void SetFocusControl(QWidget* w) { FFocusControl = w; }
    void Assign(const TExCustomDropDown* source);

    // Popup ---------------------------------------------------------------------
    void ShowDropDown() { DoShowDropDown(); }
    void HideDropDown(bool cancelChanges) { DoHideDropDown(cancelChanges); }
    // The click of the button (and of a press on a non-editable edit).
    void DropDownButtonClick();

    // Style colours -------------------------------------------------------------
    virtual void SetComponentStyle(TQRVStyle style);
    TQRVStyle GetComponentStyle() const { return FQRVStyle; }
    virtual void SetColorTones(const TColorTones& tones);
    virtual void SetSelectionColorStyle(TSelectionColorStyle style);
    virtual void DrawSelection(platform::TCanvas& canvas, const platform::TRect& r, platform::TColor background,
                               int kind);
    virtual void DrawDropDownGradient(platform::TCanvas& canvas, platform::TColor from, platform::TColor to,
                                      TGradientDirection direction, const platform::TRect& r, int steps);
    void SetItemAppearanceStyle(TItemAppearance* appearance, TQRVStyle style);

    // Keyboard entry points the grid's editors call too.
    // Runs one key press as the edit sees it: key-down filter, then the
    // character filter for the typed character. True when it was used.
    // Leaves with their own typing rules override it.
    virtual bool HandleKeyPress(QKeyEvent* e);

    // Events --------------------------------------------------------------------
    platform::TNotifyEvent OnBeforeDropDown, OnBeforeDropUp, OnChange, OnLabelClick, OnLabelDblClick;
    TDropDownEvent OnDropDown;
    TDropUpEvent OnDropUp;
    TDropDownButtonItemClick OnDropDownHeaderButtonClick, OnDropDownFooterButtonClick;
    TDrawBackGroundEvent OnDrawHeader, OnDrawFooter;
    TGetTextEvent OnGetHeaderText, OnGetFooterText;
    TDropDownClipboardEvent OnClipboardCopy, OnClipboardPaste, OnClipboardCut;
    platform::TKeyEvent OnKeyDown, OnKeyUp;
    platform::TKeyPressEvent OnKeyPress;

    // Virtual steps the leaves override ----------------------------------------
    virtual void CreateDropDownForm();
    virtual void BeforeDropDown();
    virtual void AdaptDropDownHeight(int& height) {}
    virtual void FocusDropDownControl();
    virtual void DoShowDropDown();
    virtual void UpdateDropDownControl();
    virtual void UpdateDropDownSize();
    virtual void DoHideDropDown(bool cancel);
    virtual void AfterDropUp();
    virtual void DropDownKeyPress(QKeyEvent* e);
    virtual void DropDownKeyDown(QKeyEvent* e);
    // Keys released in the popup or in its hosted control reach the edit's
    // key-up handling as if released there.
    virtual void DropDownKeyUp(QKeyEvent* e);
    // Keys pressed in the hosted control reach the edit's key handling as if
    // pressed there. True keeps the key from the hosted control itself.
    virtual bool ControlKeyDown(QKeyEvent* e);
    virtual void ControlKeyUp(QKeyEvent* e);
    virtual void DropDownResized() {}
    virtual void HandleMouseWheelDown() {}
    virtual void HandleMouseWheelUp() {}
    virtual void ResizeControl();
    virtual void SetEditRect();

protected:
    // After the edit and its border are painted: the focus look (FocusDraw).
    virtual void AfterPaint(platform::TCanvas& canvas);
    // The edit's change notification: raises OnChange, except for a change
    // the key handling blocks (replacing the whole value).
    virtual void Change();
    virtual void KeyDown(int& key, platform::TShiftState shift);
    virtual void KeyPress(QChar& key);
    void keyPressEvent(QKeyEvent* e) override;
    // Raises OnKeyUp.
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    // The wheel over the edit: the leaf's HandleMouseWheelDown / Up.
    void wheelEvent(QWheelEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void changeEvent(QEvent* e) override;
    // Showing and hiding the control shows and hides its label.
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Key-down filter; true when the key went its way (handled or swallowed),
    // false when the platform edit should handle it.
    bool KeyDownFilter(int key, platform::TShiftState shift, QKeyEvent* e, bool& handled);
    // Character filter; true when the character was consumed.
    void CharFilter(QChar ch, platform::TShiftState shift, bool numPad);
    void CloseKeys(int key);
    void ToggleSign();
    bool ThousandCheckRefuses() const;
    void PassOn(QChar ch);
    void MarkModified();
    void Paste();
    void Cut();
    void Copy();
    QString Value() const { return Text(); }
    int CaretPos() const { return cursorPosition(); }
    bool WholeValueSelected() const;
    void UpdateLabel();
    void DrawBorder(platform::TCanvas& canvas);
    void TextChangedByEdit();

    QPointer<platform::TLabel> FLabel;
    int FDropDownWidth = 0, FDropDownHeight = 0;
    int FUserDropDownWidth = -1, FUserDropDownHeight = -1;
    bool FEditorEnabled = true;
    TDropPosition FDropPosition = dpAuto;
    bool FFlat = false;
    const platform::TImageList* FImages = nullptr;
    bool FDropDownShadow = true;
    int FDropDownBorderWidth = 1;
    QString FButtonHint;
    platform::TColor FDropDownColorTo = platform::clNone, FDropDownColor = platform::clWhite;
    platform::TColor FDropDownBorderColor = platform::clBlack;
    int FButtonWidth = 17;
    bool FMouseInControl = false;
    QWidget* FFocusControl = nullptr;
    std::unique_ptr<THeaderAppearance> FDropDownHeader;
    std::unique_ptr<TExButtonAppearance> FButtonAppearance;
    std::unique_ptr<TFooterAppearance> FDropDownFooter;
    QWidget* FControl = nullptr;
    TGradientDirection FDropDownGradient = gdHorizontal;
    bool FDropDownSizeable = true;
    platform::TColor FSelectionColor = platform::clNone, FSelectionColorTo = platform::clNone;
    TSelectionColorStyle FSelectionColorStyle = scCustom;
    TDropDownEditType FEditType = etString;
    std::int16_t FLengthLimit = 0;
    std::int16_t FPrecision = 0;
    QString FPrefix, FSuffix;
    QString FOldString;
    bool FSigned = false;
    bool FReturnIsTab = false;
    bool FBlockChange = false;
    bool FAllowNumericNullValue = false;
    bool FDefaultHandling = true;
    bool FCanUndo = true;
    bool FExcelStyleDecimalSeparator = false;
    QString FValidChars;
    bool FBlockCopy = false;
    bool FAutoThousandSeparator = true;
    bool FIsModified = false;
    bool FButtonDown = false; // a press inside the selection, waiting for its release
    bool FDropDownEnabled = false;
    bool FDroppedDown = false;
    bool FFocusDraw = true;
    bool FForceShadow = false;
    TQRVStyle FQRVStyle = tsCustom;
    int FLabelMargin = 4;
    TLabelPosition FLabelPosition = lpLeftTop;
    bool FLabelAlwaysEnabled = false;
    bool FLabelTransparent = false;
    bool FParentFnt = false;
    std::unique_ptr<platform::TFont> FLabelFont;
    platform::TColor FBorderColor = platform::clNone, FFocusBorderColor = platform::clNone;
    bool FDisabledBorder = true;
    std::unique_ptr<TDropDownForm> FDropDownForm;
    TDropDownEditButton* FButton = nullptr;
    QString FOldText;
};

// ---------------------------------------------------------------------------
// Item selector
// ---------------------------------------------------------------------------

enum class TSelectorType { stImage, stColor };
using enum TSelectorType;
enum class TItemLayout { ilCaptionLeft, ilCaptionRight, ilCaptionTop, ilCaptionBottom };
using enum TItemLayout;

class TSelectorItems;

class TSelectorItem
{
public:
    explicit TSelectorItem(TSelectorItems* collection) : collection_(collection) {}
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& c);
    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor c);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int i);
    platform::TBitmap& Image() { return FImage; }
    const platform::TBitmap& Image() const { return FImage; }
    QString Hint() const { return FHint; }
    void SetHint(const QString& h) { FHint = h; }
    void Assign(const TSelectorItem& other);

private:
    friend class TCustomItemSelector;
    void Changed();
    TSelectorItems* collection_;
    QString FCaption;
    int FImageIndex = -1;
    platform::TColor FColor = platform::clNone;
    platform::TBitmap FImage;
    platform::TRect FRect{-1, -1, -1, -1};
    QString FHint;
};

class TSelectorItems
{
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TSelectorItem* Add();
    TSelectorItem* Items(int i) const { return items_.at(static_cast<size_t>(i)).get(); }
    void Clear();
    std::function<void()> OnChange;

private:
    std::vector<std::unique_ptr<TSelectorItem>> items_;
};

class TItemAppearance
{
public:
    TItemAppearance();
    void SetColorStyle(TSelectionColorStyle style);
    TSelectionColorStyle ColorStyle() const { return FColorStyle; }
    void Assign(const TItemAppearance& other);
    platform::TFont& Font() { return FFont; }

    platform::TColor ColorMirrorHotTo = platform::clNone, BorderColor = platform::clNone,
                     ColorMirrorHot = platform::clNone, ColorSelectedTo = platform::clNone,
                     ColorSelected = platform::clNone, EdgeColor = platform::clNone, ColorHotTo = platform::clNone,
                     BorderColorBottom = platform::clNone, ColorHot = platform::clNone,
                     BorderColorTop = platform::clNone, ColorMirrorSelectedTo = platform::clNone,
                     ColorMirrorSelected = platform::clNone, ColorSelectedText = platform::clBlack,
                     ColorHotText = platform::clBlack, BorderColorHot = platform::clNone,
                     BorderColorSelected = platform::clNone;
    std::function<void()> OnChange;

private:
    TSelectionColorStyle FColorStyle = scCustom;
    platform::TFont FFont;
};

class TExCustomItemSelector;

using TDrawItemEvent = std::function<void(QObject* sender, platform::TCanvas& canvas, const platform::TRect& r,
                                          int index)>;
using TItemSizeEvent = std::function<void(QObject* sender, platform::TSize& size)>;

// The inner panel: lays out, paints and hit-tests the items.
class TCustomItemSelector : public platform::TCustomControl
{
public:
    explicit TCustomItemSelector(QWidget* owner);
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int value);
    int ItemHot() const { return FItemHot; }
    void SetItemHot(int index);
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    bool LookupItem(const QString& s);
    platform::TRect GetItemRect(int index) const;
    int ItemAtPos(int x, int y) const;
    virtual void GetInnerRect(platform::TRect& r) const;
    virtual void GetItemSize(platform::TSize& size);
    virtual void InvalidateItem(int index);
    virtual void UpdatePanelSize();
    virtual void DrawItem(int index, platform::TCanvas& canvas);

    platform::TNotifyEvent OnItemSelect;

protected:
    void Paint() override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void MouseLeave() override;

private:
    void PaintItemNow(int index);
    int Count() const;
    TSelectorItem* Item(int i) const;

    int FItemIndex = -1;
    int FItemHot = -1;
    int FOffSetX = 2, FOffSetY = 2, FItemOffSetX = 4, FItemOffSetY = 4, FCaptionGap = 4;
    TExCustomItemSelector* FExItemSelector;
};

class TExCustomItemSelector : public platform::TControlOf<QScrollArea>
{
public:
    explicit TExCustomItemSelector(QWidget* parent = nullptr);
    ~TExCustomItemSelector() override;

    TSelectorItems& Items() { return *FItems; }
    int Columns() const { return FColumns; }
    void SetColumns(int c);
    int ItemIndex() const { return FItemSelectorPanel ? FItemSelectorPanel->ItemIndex() : -1; }
    void SetItemIndex(int i);
    int ItemHot() const { return FItemSelectorPanel ? FItemSelectorPanel->ItemHot() : -1; }
    TSelectorType SelectorType() const { return FSelectorType; }
    void SetSelectorType(TSelectorType t);
    TItemLayout ItemLayout() const { return FItemLayout; }
    void SetItemLayout(TItemLayout l) { FItemLayout = l; }
    const platform::TImageList* Images() const { return FImages; }
    void SetImages(const platform::TImageList* i);
    TItemAppearance& ItemAppearance() { return *FItemAppearance; }
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int w);
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int h);
    TCustomItemSelector* Panel() const { return FItemSelectorPanel; }

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    bool LookupItem(const QString& s);
    void ScrollItemInView(int index);
    int GetVisibleItemCount() const;
    void UpdateSelectorPanel();
    platform::TSize GetSelectorPanelSize() const;

    platform::TNotifyEvent OnItemSelect;
    TDrawItemEvent OnDrawItem;
    TItemSizeEvent OnItemSize;

private:
    std::unique_ptr<TSelectorItems> FItems;
    TSelectorType FSelectorType = stImage;
    TItemLayout FItemLayout = ilCaptionRight;
    int FColumns = 1;
    int FColorBoxWidth = 14, FColorBoxHeight = 14;
    const platform::TImageList* FImages = nullptr;
    TCustomItemSelector* FItemSelectorPanel = nullptr;
    std::unique_ptr<TItemAppearance> FItemAppearance;
};
