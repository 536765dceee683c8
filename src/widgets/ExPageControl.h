#pragma once

// A page container with owner-drawn tabs, built on the platform tab control,
// and the drawing routines its tabs use.

#include "platform/Controls.h"
#include "platform/Docking.h"
#include "platform/Graphics.h"
#include "widgets/ExUtil.h" // TGradientDirection, DrawSteppedGradient

#include <functional>
#include <memory>
#include <vector>

enum class TTabStyle { tsClassic, tsDotNet };
using enum TTabStyle;

class TExPageControl;

// Margins of the tab contents. OnMarginChange gets the new value, the old
// value and which margin changed (0 left, 1 top, 2 right).
class TTabMargin
{
public:
    int LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int v) { Change(FLeftMargin, v, 0); }
    int TopMargin() const { return FTopMargin; }
    void SetTopMargin(int v) { Change(FTopMargin, v, 1); }
    int RightMargin() const { return FRightMargin; }
    void SetRightMargin(int v) { Change(FRightMargin, v, 2); }
    // Copies the three values without notification.
    void Assign(const TTabMargin& other);

    std::function<void(int newValue, int oldValue, int which)> OnMarginChange;

private:
    void Change(int& field, int value, int which);
    int FLeftMargin = 0;
    int FTopMargin = 0;
    int FRightMargin = 0;
};

// One page of a TExPageControl. Created with a page control as owner it
// joins that control; a sheet that leaves its control stays a hidden child of
// it (and so is freed with it) until it joins a control again.
class TExTabSheet : public platform::TCustomControl
{
public:
    explicit TExTabSheet(QWidget* owner = nullptr);
    ~TExTabSheet() override;

    // The text of the tab. The tab control measures its tab by the caption
    // without its last two characters (with ShowClose: plus one blank), while
    // the tab shows the whole caption.
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    void SetColor(platform::TColor c) override;
    platform::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(platform::TColor c);
    // Shown by the platform's own tab drawing (TabBorder3D).
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool v);
    TGradientDirection HoverGradientDirection() const { return FHoverGradientDirection; }
    void SetHoverGradientDirection(TGradientDirection d) { FHoverGradientDirection = d; }
    // -1: no image.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool v);
    platform::TColor TabColor() const { return FTabColor; }
    void SetTabColor(platform::TColor c);
    platform::TColor TabColorTo() const { return FTabColorTo; }
    void SetTabColorTo(platform::TColor c);
    // Disabling the active sheet's tab throws "Can not disable active tab.".
    bool TabEnable() const { return FTabEnable; }
    void SetTabEnable(bool v);
    TGradientDirection TabGradientDirection() const { return FTabGradientDirection; }
    void SetTabGradientDirection(TGradientDirection d);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool v);
    // 0 (black) takes the control's default when the sheet joins one.
    platform::TColor TextColor() const { return FTextColor; }
    void SetTextColor(platform::TColor c);

    // Position in the control's page list; -1 without a control. Writing
    // moves the sheet (and its tab); an index past the end throws.
    int PageIndex() const;
    void SetPageIndex(int index);
    // Position among the shown tabs; -1 when the tab is not shown.
    int TabIndex() const;
    TExPageControl* ExPageControl() const { return FExPageControl; }
    void SetExPageControl(TExPageControl* control);

    platform::TNotifyEvent OnHide, OnShow, OnClose;
    std::function<void(QObject* sender, bool& canClose)> OnCanClose;

protected:
    void Paint() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class TExPageControl;
    QString ItemText() const;

    QString caption_;
    QString FTabCaption;
    platform::TColor FTextColor = 0;
    platform::TColor FTabColor = platform::clNone;
    platform::TColor FTabColorTo = platform::clNone;
    bool FShowClose = false;
    TGradientDirection FTabGradientDirection = gdVertical;
    TGradientDirection FHoverGradientDirection = gdVertical;
    int FImageIndex = -1;
    int FImageIndexDummy = 0;
    TExPageControl* FExPageControl = nullptr;
    bool FTabVisible = true;
    bool FTabShowing = false;
    bool FHighlighted = false;
    bool FTabEnable = true;
    platform::TColor FColorTo = platform::clNone;
    TExPageControl* closedIn_ = nullptr;  // the control whose closed-tab list holds the sheet
};

// With DockSite set, a control docked onto it gets a sheet of its own; a
// press on that sheet's tab drags the control out, a double click floats it.
class TExPageControl : public platform::TTabControl, public platform::DockingSite
{
public:
    explicit TExPageControl(QWidget* parent = nullptr);
    ~TExPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TExTabSheet* Pages(int index) const;
    TExTabSheet* ActivePage() const { return FActivePage; }
    // A sheet of another control is ignored; none leaves no current tab.
    void SetActivePage(TExTabSheet* page);
    int ActivePageIndex() const;
    // Outside 0 .. PageCount - 1 selects none.
    void SetActivePageIndex(int index);
    // The next sheet after `current` (with a visible tab when asked), with
    // wrap-around; `current` itself comes last. None without sheets.
    TExTabSheet* FindNextPage(TExTabSheet* current, bool goForward, bool checkTabVisible) const;
    void SelectNextPage(bool goForward);
    // Closed sheets (close button, FreeOnClose off) by their name.
    bool OpenClosedTab(const QString& name);
    void OpenAllClosedTabs();
    QStringList ClosedTabNames() const;
    // Makes the sheet of the current tab the active page.
    virtual void SyncActivePageWithTab();

    platform::TFont& ActiveFont() { return *FActiveFont; }
    void SetActiveFont(const platform::TFont& f) { FActiveFont->Assign(f); }
    platform::TColor ActiveColor() const { return FActiveColor; }
    void SetActiveColor(platform::TColor c);
    platform::TColor ActiveColorTo() const { return FActiveColorTo; }
    void SetActiveColorTo(platform::TColor c);
    const platform::TBitmap& CloseGlyph() const { return *FCloseGlyph; }
    void SetCloseGlyph(const platform::TBitmap& b);
    platform::TColor DefaultTextColor() const { return FDefaultTextColor; }
    void SetDefaultTextColor(platform::TColor c);
    platform::TColor DefaultTabColor() const { return FDefaultTabColor; }
    void SetDefaultTabColor(platform::TColor c);
    platform::TColor DefaultTabColorTo() const { return FDefaultTabColorTo; }
    void SetDefaultTabColorTo(platform::TColor c);
    bool FreeOnClose() const { return FFreeOnClose; }
    void SetFreeOnClose(bool v) { FFreeOnClose = v; }
    platform::TImageList* Images() const { return FImages; }
    void SetImages(platform::TImageList* images);
    int LowerActive() const { return FLowerActive; }
    void SetLowerActive(int v);
    bool RoundEdges() const { return FRoundEdges; }
    void SetRoundEdges(bool v);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool v) { FShowFocus = v; }
    const platform::TBitmap& TabBackGround() const { return *FTabBackGround; }
    void SetTabBackGround(const platform::TBitmap& b);
    const platform::TBitmap& TabBackGroundActive() const { return *FTabBackGroundActive; }
    void SetTabBackGroundActive(const platform::TBitmap& b);
    platform::TColor TabBackGroundColor() const { return FTabBackGroundColor; }
    void SetTabBackGroundColor(platform::TColor c);
    bool TabBorder3D() const { return FTabBorder3D; }
    void SetTabBorder3D(bool v);
    platform::TColor TabBorderColor() const { return FTabBorderColor; }
    void SetTabBorderColor(platform::TColor c);
    platform::TColor TabHoverBorder() const { return FTabHoverBorder; }
    void SetTabHoverBorder(platform::TColor c) { FTabHoverBorder = c; }
    platform::TColor TabHoverColor() const { return FTabHoverColor; }
    void SetTabHoverColor(platform::TColor c) { FTabHoverColor = c; }
    platform::TColor TabHoverColorTo() const { return FTabHoverColorTo; }
    void SetTabHoverColorTo(platform::TColor c) { FTabHoverColorTo = c; }
    TTabMargin& TabMargin() { return *FTabMargin; }
    void SetTabMargin(const TTabMargin& m);
    int TabOverlap() const { return FTabOverlap; }
    void SetTabOverlap(int v);
    void SetTabPosition(platform::TTabPosition p);
    bool TabSheet3D() const { return FTabSheet3D; }
    void SetTabSheet3D(bool v);
    platform::TColor TabSheetBorderColor() const { return FTabSheetBorderColor; }
    void SetTabSheetBorderColor(platform::TColor c);
    // True while TabStyle is tsDotNet throws.
    bool TabSplitLine() const { return FTabSplitLine; }
    void SetTabSplitLine(bool v);
    TTabStyle TabStyle() const { return FTabStyle; }
    void SetTabStyle(TTabStyle s);
    // "1.4.0.0"; writing is ignored.
    QString Version() const;
    void SetVersion(const QString&) {}
    int VersionNr() const { return 0x01040000; }

    // The close button of a shown tab, where it is drawn (12 x 11 pixels).
    platform::TRect CloseButtonRect(int tabIndex) const;
    // Page index of the tab under the mouse, -1 for none (hover colours only).
    int HoverTab() const { return FHoverTab; }

    // sender, from page, to page, allow (preset true). Asked before OnChanging.
    std::function<void(QObject* sender, int fromPage, int toPage, bool& allowChange)> OnCanChange;
    // sender, tab index, image index (preset from the sheet).
    std::function<void(QObject* sender, int tabIndex, int& imageIndex)> OnGetImageIndex;

    // Only a control not docked here already can dock.
    void GetSiteInfo(QWidget* client, platform::TRect& influenceRect, const platform::TPoint& mousePos,
                     bool& canDock) override;
    // The preview is the whole control.
    void DockOver(platform::TDragDockObject& source, int x, int y, platform::TDragState state, bool& accept) override;

protected:
    void DockClient(platform::TDragDockObject& source, const platform::TPoint& mousePos) override;
    void AddDockClient(QWidget* client) override;
    void UnDockClient(QWidget* newTarget, QWidget* client) override;
    void RemoveDockClient(QWidget* client) override;
    void DockClientChanged(QWidget* client, platform::TDockChange change) override;
    void Paint() override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    void Resize() override;
    void FontChanged() override;
    bool CanChange() override;
    void Change() override;
    void TabsChanged() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TExTabSheet;
    // The tab control's item list is kept in step with the sheets here only.
    using TTabControl::AddTab;
    using TTabControl::ClearTabs;
    using TTabControl::DeleteTab;
    using TTabControl::InsertTab;
    using TTabControl::MoveTab;
    using TTabControl::SetOwnerDraw;
    using TTabControl::SetTabIndex;
    using TTabControl::SetTabHighlighted;
    using TTabControl::SetTabImageIndex;
    using TTabControl::SetTabText;

    void InsertPage(TExTabSheet* sheet);
    void RemovePage(TExTabSheet* sheet);
    void RemoveClosed(TExTabSheet* sheet);
    void UpdateTabShowing(TExTabSheet* sheet);
    void SetTabShowing(TExTabSheet* sheet, bool showing);
    void UpdateTabItem(TExTabSheet* sheet);
    void UpdateAllTabItems();
    void ChangeActivePage(TExTabSheet* page);
    void PlaceSheets();
    void UpdateMarginImages();
    void Relayout();
    int PageOfTab(int tabIndex) const;
    TExTabSheet* SheetOfTab(int tabIndex) const;
    TExTabSheet* PageOfDockClient(const QWidget* client) const;
    QWidget* DockClientAt(int x, int y) const;
    bool OnActiveCloseButton(int x, int y) const;
    void CloseActiveSheet();
    void InvalidateTab(int pageIndex);
    void DrawTabs();
    void DrawCloseButton(platform::TCanvas& c, const platform::TRect& box, int state);

    std::vector<TExTabSheet*> FPages;
    TExTabSheet* FActivePage = nullptr;
    TExTabSheet* FNewDockSheet = nullptr;
    TExTabSheet* FUndockingPage = nullptr;
    std::unique_ptr<TTabMargin> FTabMargin;
    struct ClosedTab
    {
        QString name;
        TExTabSheet* sheet;
    };
    std::vector<ClosedTab> FClosedTabList;
    platform::TImageList* FImages = nullptr;
    std::unique_ptr<platform::TImageList> FDummyImages;
    platform::TColor FDefaultTextColor = 0;
    platform::TColor FDefaultTabColor = platform::clBtnFace;
    platform::TColor FDefaultTabColorTo = platform::clNone;
    platform::TColor FActiveColor = platform::clBtnFace;
    platform::TColor FActiveColorTo = platform::clNone;
    bool FTabBorder3D = false;
    platform::TColor FTabBorderColor = platform::clGray;
    platform::TColor FTabHoverColor = platform::clNone;
    platform::TColor FTabHoverColorTo = platform::clNone;
    platform::TColor FTabHoverBorder = platform::clNone;
    bool FShowFocus = false;
    bool FHoverClosedButton = false;
    int FTabOverlap = 0;
    bool FTabSheet3D = false;
    platform::TColor FTabSheetBorderColor = platform::clGray;
    platform::TColor FTabBackGroundColor = platform::clBtnFace;
    bool FTabSplitLine = false;
    bool FRoundEdges = false;
    int FHoverTab = -1;
    std::unique_ptr<platform::TBitmap> FTabBackGround;
    std::unique_ptr<platform::TBitmap> FTabBackGroundActive;
    TTabStyle FTabStyle = tsClassic;
    int FLowerActive = 2;
    bool FFreeOnClose = false;
    std::unique_ptr<platform::TFont> FActiveFont;
    std::unique_ptr<platform::TBitmap> FCloseGlyph;
    bool closePressed_ = false;
    int targetTab_ = -1;  // the tab a change under way would make current
    bool destroying_ = false;
};

// Drawing routines of the tabs ----------------------------------------------

// The stepped gradient of the tabs and sheets is DrawSteppedGradient (ExUtil).
// The bitmap at x, y with the pixels of `transparent` left out.
void CopyTransparent(platform::TCanvas& canvas, int x, int y, const platform::TBitmap& bitmap,
                     platform::TColor transparent);
// A rectangle of the bitmap stretched to `dest`, the same way.
void CopyStretchedTransparent(platform::TCanvas& canvas, const platform::TRect& dest, const platform::TBitmap& bitmap,
                              const platform::TRect& source, platform::TColor transparent);
// A tab background image over `dest`: its two halves at the ends and a
// two-pixel middle slice stretched between them; the image's bottom-left
// pixel is see-through.
void DrawThreeSliceVertical(platform::TCanvas& canvas, const platform::TBitmap& image, const platform::TRect& dest);
void DrawThreeSliceHorizontal(platform::TCanvas& canvas, const platform::TBitmap& image, const platform::TRect& dest);
