#pragma once

#include "platform/ControlBase.h"
#include "platform/CustomControl.h"
#include "platform/Graphics.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextEdit>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QAction;
class QTimer;

namespace platform {

enum class TTextLayout { tlTop, tlCenter, tlBottom };
using enum TTextLayout;

// A caption drawn on its parent. "&&" shows one "&" and a single "&" marks
// the accelerator, unless ShowAccelChar is off. With AutoSize the label
// takes the size of its text.
class TLabel : public TGraphicControl
{
public:
    explicit TLabel(QWidget* parent = nullptr);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout l);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool ShowAccelChar() const { return showAccel_; }
    void SetShowAccelChar(bool v);
    void SetColor(TColor c) override;
    // Fits the size to the text when AutoSize is on.
    void AdjustBounds();

protected:
    void Paint() override;
    void FontChanged() override;

private:
    unsigned TextFormat() const;
    QString caption_;
    bool autoSize_ = true;
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccel_ = true;
    bool ownColor_ = false;
};

// A caption with links written as <a href="target">text</a>.
class TLinkLabel : public TControlOf<QLabel>
{
public:
    explicit TLinkLabel(QWidget* parent = nullptr);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);
    // sender, the link's target
    std::function<void(QObject*, const QString&)> OnLinkClick;

private:
    QString caption_;
};

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
using enum TEditCharCase;

class TEdit : public TControlOf<QLineEdit>
{
public:
    explicit TEdit(QWidget* parent = nullptr);
    QString Text() const { return text(); }
    void SetText(const QString& t);
    // 0: no limit.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int n);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase c);
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool r) { setReadOnly(r); }
    // Null: the text shows as typed.
    QChar PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(QChar c);
    int SelStart() const;
    int SelLength() const { return static_cast<int>(selectedText().size()); }
    void SetSelStart(int s) { setCursorPosition(s); }
    void SelectAll() { selectAll(); }

    TNotifyEvent OnChange, OnEnter, OnExit, OnClick, OnDblClick;
    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    QString ApplyCase(const QString& s) const;
    int maxLength_ = 0;
    TEditCharCase charCase_ = ecNormal;
    QChar passwordChar_;
    bool resending_ = false;
};

enum class TComboBoxStyle { csDropDown, csDropDownList };
using enum TComboBoxStyle;

// ItemIndex is -1 while nothing is chosen, also after items are added.
// OnChange runs for the user's changes only, as on the platform.
class TComboBox : public TControlOf<QComboBox>
{
public:
    explicit TComboBox(QWidget* parent = nullptr);
    TComboBoxStyle Style() const { return isEditable() ? csDropDown : csDropDownList; }
    void SetStyle(TComboBoxStyle s);
    QStringList Items() const;
    void SetItems(const QStringList& items);
    void AddItem(const QString& item);
    void Clear();
    int ItemCount() const { return count(); }
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int i);
    QString Text() const;
    // List-only: chooses the item with that text, or none.
    void SetText(const QString& t);
    int DropDownCount() const { return maxVisibleItems(); }
    void SetDropDownCount(int n) { setMaxVisibleItems(n); }

    TNotifyEvent OnChange, OnSelect, OnEnter, OnExit;
    TKeyPressEvent OnKeyPress;

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HookEditor();
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
using enum TCheckBoxState;

// Writing Checked runs OnClick when the state changes, as on the platform.
class TCheckBox : public TControlOf<QCheckBox>
{
public:
    explicit TCheckBox(QWidget* parent = nullptr);
    QString Caption() const { return text(); }
    void SetCaption(const QString& c) { setText(c); }
    bool Checked() const { return checkState() == Qt::Checked; }
    void SetChecked(bool c);
    TCheckBoxState State() const;
    void SetState(TCheckBoxState s);
    bool AllowGrayed() const { return isTristate(); }
    void SetAllowGrayed(bool v) { setTristate(v); }
    TNotifyEvent OnClick;
};

class TRadioButton : public TControlOf<QRadioButton>
{
public:
    explicit TRadioButton(QWidget* parent = nullptr);
    QString Caption() const { return text(); }
    void SetCaption(const QString& c) { setText(c); }
    bool Checked() const { return isChecked(); }
    void SetChecked(bool c);
    TNotifyEvent OnClick;
};

enum class TBevelCut { bvNone, bvLowered, bvRaised };
using enum TBevelCut;

class TPanel : public TCustomControl
{
public:
    explicit TPanel(QWidget* parent = nullptr);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);
    TBevelCut BevelOuter() const { return outer_; }
    void SetBevelOuter(TBevelCut b);
    TBevelCut BevelInner() const { return inner_; }
    void SetBevelInner(TBevelCut b);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int w);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int w);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);

protected:
    void Paint() override;

private:
    void UpdateMargins();
    QString caption_;
    TBevelCut outer_ = bvRaised;
    TBevelCut inner_ = bvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TAlignment alignment_ = taCenter;
};

enum class TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
using enum TShapeType;

// A frame or, one pixel high or wide, a line.
class TShape : public TGraphicControl
{
public:
    explicit TShape(QWidget* parent = nullptr);
    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType s);
    // Changes through these repaint at the next paint; call Invalidate.
    TPen& Pen() { return pen_; }
    TBrush& Brush() { return brush_; }

protected:
    void Paint() override;

private:
    TShapeType shape_ = stRectangle;
    TPen pen_;
    TBrush brush_;
};

class TGroupBox : public TControlOf<QGroupBox>
{
public:
    explicit TGroupBox(QWidget* parent = nullptr);
    QString Caption() const { return title(); }
    void SetCaption(const QString& c) { setTitle(c); }
};

class TCategoryPanelGroup;

// A collapsible panel of a category panel group. Its controls belong on
// Surface(), below the header.
class TCategoryPanel : public TControlOf<QWidget>
{
public:
    explicit TCategoryPanel(TCategoryPanelGroup* group);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);
    bool Collapsed() const { return collapsed_; }
    void SetCollapsed(bool c);
    void Expand() { SetCollapsed(false); }
    void Collapse() { SetCollapsed(true); }
    // The height when expanded, header included.
    int ExpandedHeight() const { return expandedHeight_; }
    void SetExpandedHeight(int h);
    void SetVisible(bool v) override;
    QWidget* Surface() const { return surface_; }
    TCategoryPanelGroup* PanelGroup() const { return group_; }
    int HeaderHeight() const;
    TNotifyEvent OnExpand, OnCollapse;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    TCategoryPanelGroup* group_;
    QWidget* surface_;
    QString caption_;
    bool collapsed_ = false;
    int expandedHeight_ = 200;
};

// Category panels stacked top to bottom in a scrolling area.
class TCategoryPanelGroup : public TControlOf<QScrollArea>
{
public:
    explicit TCategoryPanelGroup(QWidget* parent = nullptr);
    TCategoryPanel* AddPanel(const QString& caption);
    const std::vector<TCategoryPanel*>& Panels() const { return panels_; }
    int HeaderHeight() const { return headerHeight_; }
    void SetHeaderHeight(int h);
    // Chevron pictures: `expanded` and `collapsed` of the list, -1 for none.
    void SetChevronImages(TImageList* images, int expanded, int collapsed);
    void CollapseAll();
    void ExpandAll();
    // Places the panels again; done after every change of a panel.
    void ArrangePanels();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class TCategoryPanel;
    QWidget* inner_;
    std::vector<TCategoryPanel*> panels_;
    int headerHeight_ = 24;
    TImageList* images_ = nullptr;
    int expandedImage_ = -1;
    int collapsedImage_ = -1;
};

enum class TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
using enum TTabPosition;

// The platform's tab control: item texts with an object each, a current
// index with change and change-check events, a rectangle per tab, the tab
// under a point, and owner drawing. Writing TabIndex raises no event.
class TTabControl : public TCustomControl
{
public:
    explicit TTabControl(QWidget* parent = nullptr);
    int TabCount() const { return static_cast<int>(tabs_.size()); }
    int AddTab(const QString& text, QObject* object = nullptr);
    void InsertTab(int index, const QString& text, QObject* object = nullptr);
    void DeleteTab(int index);
    void MoveTab(int from, int to);
    void ClearTabs();
    QString TabText(int index) const;
    void SetTabText(int index, const QString& text);
    QObject* TabObject(int index) const;
    int TabImageIndex(int index) const;
    void SetTabImageIndex(int index, int image);
    // A highlighted tab shows in the highlight colour; false when no tab has
    // that index. The state belongs to the item and moves with it.
    bool TabHighlighted(int index) const;
    bool SetTabHighlighted(int index, bool highlighted);
    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int index);
    TTabPosition TabPosition() const { return position_; }
    void SetTabPosition(TTabPosition p);
    // 0: from the texts.
    int TabHeight() const { return tabHeight_; }
    void SetTabHeight(int h);
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int w);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool m);
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool o);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    TRect TabRect(int index) const;
    // -1 when no tab lies under the point.
    int IndexOfTabAt(int x, int y) const;
    // The area for the pages.
    virtual TRect DisplayRect() const;

    TNotifyEvent OnChange;
    std::function<void(QObject* sender, bool& allowChange)> OnChanging;
    // Owner drawing of one tab: sender, index, rectangle, active.
    std::function<void(QObject* sender, int index, const TRect& rect, bool active)> OnDrawTab;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(int& key, TShiftState shift) override;
    void Resize() override;
    // Whether the tab may become current (the user's change): OnChanging.
    virtual bool CanChange();
    // After the user changed the current tab: OnChange.
    virtual void Change();
    virtual void TabsChanged() {}
    void SelectByUser(int index);

private:
    struct Tab
    {
        QString text;
        QObject* object = nullptr;
        int image = -1;
        bool highlighted = false;
    };
    void Layout();
    std::vector<Tab> tabs_;
    std::vector<TRect> rects_;
    int tabIndex_ = -1;
    TTabPosition position_ = tpTop;
    int tabHeight_ = 0;
    int tabWidth_ = 0;
    bool multiLine_ = false;
    bool ownerDraw_ = false;
    TImageList* images_ = nullptr;
    int stripExtent_ = 0;
};

class TPageControl;

class TTabSheet : public TCustomControl
{
public:
    explicit TTabSheet(TPageControl* pageControl);
    ~TTabSheet() override;
    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool v);
    int PageIndex() const;
    TPageControl* PageControl() const { return pageControl_; }

private:
    friend class TPageControl;
    TPageControl* pageControl_;
    QString caption_;
    bool tabVisible_ = true;
};

class TPageControl : public TTabControl
{
public:
    explicit TPageControl(QWidget* parent = nullptr);
    ~TPageControl() override;
    TTabSheet* AddPage(const QString& caption);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Page(int index) const;
    TTabSheet* ActivePage() const { return active_; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);

protected:
    void Change() override;
    void Resize() override;

private:
    friend class TTabSheet;
    void RebuildTabs();
    void PlaceSheets();
    std::vector<TTabSheet*> pages_;
    TTabSheet* active_ = nullptr;
};

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
using enum TScrollStyle;

class TMemo : public TControlOf<QPlainTextEdit>
{
public:
    explicit TMemo(QWidget* parent = nullptr);
    QStringList Lines() const;
    void SetLines(const QStringList& lines);
    void AddLine(const QString& line);
    QString Text() const { return toPlainText(); }
    void SetText(const QString& t) { setPlainText(t); }
    void Clear() { clear(); }
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool r) { setReadOnly(r); }
    bool WordWrap() const { return lineWrapMode() != QPlainTextEdit::NoWrap; }
    void SetWordWrap(bool w) { setLineWrapMode(w ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap); }
    void SetScrollBars(TScrollStyle s);
    TNotifyEvent OnChange;
};

// Formatted text; the program reads and writes it as plain lines or HTML.
class TRichEdit : public TControlOf<QTextEdit>
{
public:
    explicit TRichEdit(QWidget* parent = nullptr);
    QStringList Lines() const;
    void SetLines(const QStringList& lines);
    QString Text() const { return toPlainText(); }
    void SetText(const QString& t) { setPlainText(t); }
    void Clear() { clear(); }
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool r) { setReadOnly(r); }
    void SetScrollBars(TScrollStyle s);
    TNotifyEvent OnChange, OnSelectionChange;
};

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
using enum TListBoxStyle;
using TOwnerDrawState = unsigned;
constexpr TOwnerDrawState odSelected = 1, odFocused = 2, odDisabled = 4;

class TListBox : public TControlOf<QListWidget>
{
public:
    explicit TListBox(QWidget* parent = nullptr);
    ~TListBox() override;
    QStringList Items() const;
    void SetItems(const QStringList& items);
    int AddItem(const QString& item);
    void Clear();
    int Count() const { return count(); }
    QString Item(int index) const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle s);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int h);
    // -1 when no item lies there.
    int ItemAtPos(int x, int y) const;
    TRect ItemRect(int index) const;
    // The canvas an owner-drawn item paints on (during OnDrawItem only).
    TCanvas& Canvas() { return *canvas_; }

    TNotifyEvent OnClick, OnDblClick;
    std::function<void(QObject* sender, int index, const TRect& rect, TOwnerDrawState state)> OnDrawItem;

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    friend class ListBoxDelegate;
    std::unique_ptr<TCanvas> canvas_;
    TListBoxStyle style_ = lbStandard;
    int itemHeight_ = 16;
};

class TCheckListBox : public TListBox
{
public:
    explicit TCheckListBox(QWidget* parent = nullptr);
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    // sender, index
    std::function<void(QObject*, int)> OnClickCheck;
};

// A node of a tree view: a text, an image by index, an optional check box.
class TTreeNode : public QTreeWidgetItem
{
public:
    QString Text() const { return text(0); }
    void SetText(const QString& t) { setText(0, t); }
    int ImageIndex() const { return image_; }
    void SetImageIndex(int i);
    bool HasCheckBox() const { return hasCheck_; }
    void SetHasCheckBox(bool v);
    bool Checked() const { return hasCheck_ && checkState(0) == Qt::Checked; }
    void SetChecked(bool c);
    std::intptr_t Data() const { return data_; }
    void SetData(std::intptr_t d) { data_ = d; }
    TTreeNode* Parent() const { return static_cast<TTreeNode*>(parent()); }
    int Count() const { return childCount(); }
    TTreeNode* Item(int index) const { return static_cast<TTreeNode*>(child(index)); }
    int Level() const;
    int Index() const;
    bool Expanded() const { return isExpanded(); }
    void SetExpanded(bool e) { setExpanded(e); }

private:
    friend class TTreeView;
    TTreeNode() = default;
    int image_ = -1;
    bool hasCheck_ = false;
    std::intptr_t data_ = 0;
};

class TTreeView : public TControlOf<QTreeWidget>
{
public:
    explicit TTreeView(QWidget* parent = nullptr);
    // A child of `parent` (a top node when null), last in its list.
    TTreeNode* AddChild(TTreeNode* parent, const QString& text);
    void DeleteNode(TTreeNode* node);
    void Clear();
    int TopCount() const { return topLevelItemCount(); }
    TTreeNode* TopItem(int index) const { return static_cast<TTreeNode*>(topLevelItem(index)); }
    TTreeNode* Selected() const;
    void SetSelected(TTreeNode* node);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    // Every node added afterwards gets a check box.
    bool CheckBoxes() const { return checkBoxes_; }
    void SetCheckBoxes(bool v) { checkBoxes_ = v; }
    void SetShowRoot(bool v) { setRootIsDecorated(v); }
    void SetRowSelect(bool v) { setAllColumnsShowFocus(v); }
    void SetHideSelection(bool hide);
    void FullExpand() { expandAll(); }

    std::function<void(QObject* sender, TTreeNode* node)> OnChange, OnChecked;
    TNotifyEvent OnClick, OnDblClick;

private:
    friend class TTreeNode;
    TImageList* images_ = nullptr;
    bool checkBoxes_ = false;
    bool settingCheck_ = false;
};

class TImage : public TGraphicControl
{
public:
    explicit TImage(QWidget* parent = nullptr);
    // Changes to the picture show at the next paint; call Invalidate.
    TBitmap& Picture() { return picture_; }
    void SetPicture(const TBitmap& b);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool s);
    bool Center() const { return center_; }
    void SetCenter(bool c);
    bool Transparent() const { return picture_.Transparent(); }
    void SetTransparent(bool t);

protected:
    void Paint() override;

private:
    TBitmap picture_;
    bool stretch_ = false;
    bool center_ = false;
};

// Runs OnTimer every Interval milliseconds while Enabled (on by default).
class TTimer : public QObject
{
public:
    explicit TTimer(QObject* owner = nullptr);
    ~TTimer() override;
    int Interval() const { return interval_; }
    void SetInterval(int ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool e);
    TNotifyEvent OnTimer;

private:
    void Update();
    QTimer* timer_;
    int interval_ = 1000;
    bool enabled_ = true;
};

class TMenuItem;

class TPopupMenu : public QObject
{
public:
    explicit TPopupMenu(QObject* owner = nullptr);
    ~TPopupMenu() override;
    // A caption of "-" makes a separator.
    TMenuItem* Add(const QString& caption, TNotifyEvent onClick = {});
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Item(int index) const { return items_.at(static_cast<size_t>(index)); }
    // Opens at a screen position and returns at once.
    void Popup(int x, int y);
    void CloseMenu();
    bool IsOpen() const;
    TNotifyEvent OnPopup;

private:
    std::unique_ptr<QMenu> menu_;
    std::vector<TMenuItem*> items_;
};

class TMenuItem : public QObject
{
public:
    TMenuItem(TPopupMenu* menu, QAction* action);
    QString Caption() const;
    void SetCaption(const QString& c);
    bool Enabled() const;
    void SetEnabled(bool e);
    bool Visible() const;
    void SetVisible(bool v);
    bool Checked() const;
    void SetChecked(bool c);
    bool IsSeparator() const;
    // As if the user chose it.
    void Click();
    TNotifyEvent OnClick;

private:
    QAction* action_;
};

// A small top-level window that shows a hint near the mouse. Custom hints
// paint themselves by overriding Paint.
class THintWindow : public TCustomControl
{
public:
    explicit THintWindow(QWidget* parent = nullptr);
    // Screen rectangle, text.
    virtual void ActivateHint(const TRect& rect, const QString& text);
    void ReleaseHandle() { hide(); }
    // The size the text needs, at most maxWidth wide, margins included.
    virtual TRect CalcHintRect(int maxWidth, const QString& text);
    QString Caption() const { return caption_; }

protected:
    void Paint() override;

private:
    QString caption_;
};

enum class TScrollBarKind { sbHorizontal, sbVertical };
using enum TScrollBarKind;

// Writing Position runs OnChange when it changes, as on the platform.
class TScrollBar : public TControlOf<QScrollBar>
{
public:
    explicit TScrollBar(QWidget* parent = nullptr, TScrollBarKind kind = sbHorizontal);
    TScrollBarKind Kind() const { return orientation() == Qt::Horizontal ? sbHorizontal : sbVertical; }
    void SetKind(TScrollBarKind k) { setOrientation(k == sbHorizontal ? Qt::Horizontal : Qt::Vertical); }
    int Min() const { return minimum(); }
    int Max() const { return maximum(); }
    int Position() const { return value(); }
    void SetPosition(int p) { setValue(p); }
    void SetParams(int position, int min, int max);
    int PageSize() const { return pageStep(); }
    void SetPageSize(int p) { setPageStep(p); }
    int SmallChange() const { return singleStep(); }
    void SetSmallChange(int s) { setSingleStep(s); }
    TNotifyEvent OnChange;
};

} // namespace platform
