#pragma once

// The platform's combo box as descendants extend it: every key passes the
// WM_KEYDOWN / WM_CHAR / WM_KEYUP steps of WndProc and the virtual KeyDown,
// KeyPress and KeyUp before the combo acts on it, so a descendant can drop or
// replace keys; focus, wheel and painting pass WndProc as well.
//
// The control keeps the keyboard focus itself and hands keys on to a Qt
// combo box inside it that never takes the focus. That way Enter, Escape and
// Tab reach the combo (and not the form's default buttons or focus chain)
// whenever WM_GETDLGCODE claims them.

#include "platform/Controls.h"
#include "platform/CustomControl.h"

#include <QPointer>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QKeyEvent;
class QWheelEvent;
class QPaintEvent;
class QHideEvent;

namespace platform {

class TObject;

namespace detail {
class ComboInner;
class ComboItemDelegate;
}

class TCustomComboBox : public TCustomControl
{
public:
    explicit TCustomComboBox(QWidget* parent = nullptr);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle s);

    // Items, each with an object of its own (not owned).
    QStringList Items() const;
    void SetItems(const QStringList& items);
    void AddItem(const QString& text, TObject* object = nullptr);
    void InsertItem(int index, const QString& text, TObject* object = nullptr);
    void DeleteItem(int index);
    void Clear();
    int ItemCount() const;
    QString ItemText(int index) const;
    TObject* ItemObject(int index) const;
    void SetItemObject(int index, TObject* object);
    // The first item equal to the text, letter case ignored; -1 when none.
    int IndexOf(const QString& text) const;

    // -1 while nothing is chosen. Typing into the edit part with the list
    // closed leaves nothing chosen; with the list open the first item that
    // begins with the text is chosen.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The edit part's text, or the chosen item's text of a list-only combo.
    QString Text() const;
    // Editable: the text, and the item with exactly that text chosen (or
    // none). List-only: chooses the item with that text (letter case
    // ignored), or none.
    void SetText(const QString& text);

    int DropDownCount() const;
    void SetDropDownCount(int count);
    // 0: no limit. Typing stops at it.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    bool DroppedDown() const;
    void SetDroppedDown(bool dropped);
    // Height of the selection field and of the list items; from the font
    // until set. The closed combo is this plus 6 pixels of border high,
    // whatever height SetBounds asks for (that only sizes the dropped list
    // on the platform).
    int ItemHeight() const;
    void SetItemHeight(int height);
    void SetBounds(int left, int top, int width, int height) override;
    // Width of the dropped list: never below the combo's width.
    int DroppedWidth() const;
    void SetDroppedWidth(int width);

    // The edit part (editable style only; elsewhere 0 and nothing happens).
    int SelStart() const;
    int SelLength() const;
    QString SelText() const;
    void SetSelStart(int start);
    void SetSelLength(int length);
    void SetSel(int start, int length);
    void SelectAll();
    // The character of the edit part nearest to a point of the combo; -1
    // when the point is not over the edit part (or the combo has none).
    int CharFromPos(const TPoint& p) const;
    // The client area of the edit part within the combo.
    TRect EditRect() const;

    // A character typed into the combo (WM_CHAR).
    void TypeChar(QChar ch);

    bool WantsKey(int key) const override;
    bool WantsChars() const override { return true; }
    void SetColor(TColor c) override;

    // OnChange: the user changed the text or the chosen item. OnSelect: the
    // user chose an item (OnChange instead when not set).
    TNotifyEvent OnChange, OnSelect, OnDropDown, OnCloseUp;

    // The Qt combo inside, for tests and painting.
    QComboBox* ComboWidget() const;
    QLineEdit* EditWidget() const;

protected:
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();

    // WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_SETFOCUS, WM_KILLFOCUS, WM_MOUSEWHEEL
    // (delta in the high word of WParam: one item per message), WM_PAINT (the
    // combo's own picture) and WM_GETDLGCODE (the key in WParam) are handled
    // here; descendants call this for what they leave to the platform.
    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message);

    // Paints over the combo's picture; only while WM_PAINT is handled.
    void PaintOver(const std::function<void(TCanvas&)>& paint);
    bool Painting() const { return paintEvent_ != nullptr; }

    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void FontChanged() override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class detail::ComboInner;

    void HookEditor();
    void DefaultKeyDown(int key, TShiftState shift);
    void DefaultChar(QChar ch);
    void FeedKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text);
    void ListKeyDown(QKeyEvent* e);
    void RouteKeyPress(QKeyEvent* e);
    void RouteKeyRelease(QKeyEvent* e);
    void RouteWheel(QWheelEvent* e);
    void InnerPaint(QPaintEvent* e);
    void UserEdited(const QString& text);
    void UserChose(int index);
    void ApplyDroppedWidth();
    int ClampIndex(int index) const;

    detail::ComboInner* inner_ = nullptr;
    detail::ComboItemDelegate* delegate_ = nullptr;
    QPointer<QLineEdit> hookedEdit_;
    TComboBoxStyle style_ = csDropDown;
    int maxLength_ = 0;
    int itemHeight_ = 0;
    int droppedWidth_ = 0;
    // Touchpad turns not yet a whole notch.
    int wheelRest_ = 0;
    QKeyEvent* pendingKey_ = nullptr;
    QPaintEvent* paintEvent_ = nullptr;
    bool suppressChar_ = false;
    bool focusHeld_ = false;
    bool entered_ = false;
    bool feeding_ = false;
    // A left-button release on the open list is being delivered.
    bool releaseOnList_ = false;
};

} // namespace platform
