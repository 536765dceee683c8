#pragma once

#include "platform/Graphics.h"

#include <QWidget>

#include <functional>

namespace platform {

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
using enum TAlign;
using TAnchors = unsigned;
constexpr TAnchors akLeft = 1, akTop = 2, akRight = 4, akBottom = 8;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;

enum class TCursor { crDefault, crArrow, crHandPoint, crIBeam, crCross, crSizeWE, crSizeNS, crSizeAll, crHourGlass, crNo, crDrag, crHSplit, crVSplit };
using enum TCursor;

using TShiftState = unsigned;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64;

// Where a drag is over a control: grids and dock sites both hear it.
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using enum TDragState;
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;

// Virtual-key codes, as key events carry them.
constexpr int VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12,
              VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
              VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E,
              VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F10 = 0x79, VK_F12 = 0x7B,
              VK_ADD = 0x6B, VK_SUBTRACT = 0x6D;
// Letters and digits are their upper-case character codes. 0 when unknown.
int VirtualKeyFromQt(int qtKey);
int QtKeyFromVirtualKey(int vk);
TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);

// Events carry their sender, as the system's handlers compare it.
using TNotifyEvent = std::function<void(QObject* sender)>;
using TMouseEvent = std::function<void(QObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(QObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(QObject* sender, int& key, TShiftState shift)>;
// Setting the key to the null character swallows it.
using TKeyPressEvent = std::function<void(QObject* sender, QChar& key)>;

// The accelerator letter of a caption: the character after a single "&",
// upper-cased; null when there is none ("&&" is a plain "&").
QChar AcceleratorOf(const QString& caption);
// A caption as shown: "&&" becomes "&", a single "&" disappears.
QString StripAccelerator(const QString& caption);

namespace detail {
bool IsVisibleFlag(const QWidget* w);
void SetVisibleFlag(QWidget* w, bool visible);
TColor WidgetColor(const QWidget* w);
void SetWidgetColor(QWidget* w, TColor color);
void ReadFont(const QWidget* w, TFont& font);
void ApplyFont(QWidget* w, const TFont& font);
void SetWidgetCursor(QWidget* w, TCursor cursor);
TCursor WidgetCursor(const QWidget* w);
void SetAlign(QWidget* w, TAlign align);
TAlign Align(const QWidget* w);
void SetAnchors(QWidget* w, TAnchors anchors);
TAnchors Anchors(const QWidget* w);
// Records where anchored controls stand, after a move by the program.
void BoundsChanged(QWidget* w);
// Lays out the aligned and anchored children of `parent` again.
void Realign(QWidget* parent);
void SetParentKeepingVisibility(QWidget* w, QWidget* parent);
// A control is going: a docked one leaves its dock site first (Docking).
void ControlDestroying(QWidget* w);
} // namespace detail

// The properties every control shares, over any Qt widget class.
template <class Base>
class TControlOf : public Base
{
public:
    using Base::Base;
    ~TControlOf() override { detail::ControlDestroying(this); }

    int Left() const { return this->x(); }
    int Top() const { return this->y(); }
    int Width() const { return this->width(); }
    int Height() const { return this->height(); }
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    virtual void SetBounds(int left, int top, int width, int height)
    {
        this->setGeometry(left, top, std::max(0, width), std::max(0, height));
        detail::BoundsChanged(this);
        detail::Realign(this);
    }
    TRect BoundsRect() const { return Bounds(Left(), Top(), Width(), Height()); }
    virtual int ClientWidth() const { return this->contentsRect().width(); }
    virtual int ClientHeight() const { return this->contentsRect().height(); }
    TRect ClientRect() const { return Rect(0, 0, Width(), Height()); }
    TPoint ClientToScreen(const TPoint& p) const
    {
        const QPoint g = this->mapToGlobal(QPoint(p.X, p.Y));
        return Point(g.x(), g.y());
    }
    TPoint ScreenToClient(const TPoint& p) const
    {
        const QPoint l = this->mapFromGlobal(QPoint(p.X, p.Y));
        return Point(l.x(), l.y());
    }

    TAlign Align() const { return detail::Align(this); }
    void SetAlign(TAlign a) { detail::SetAlign(this, a); }
    TAnchors Anchors() const { return detail::Anchors(this); }
    void SetAnchors(TAnchors a) { detail::SetAnchors(this, a); }

    // Visible is the control's own flag; Showing also needs the parents shown.
    bool Visible() const { return detail::IsVisibleFlag(this); }
    virtual void SetVisible(bool v) { detail::SetVisibleFlag(this, v); }
    bool Showing() const { return this->isVisible(); }
    bool Enabled() const { return !this->testAttribute(Qt::WA_ForceDisabled); }
    virtual void SetEnabled(bool e)
    {
        this->setEnabled(e);
        this->update();
    }

    QString Hint() const { return this->toolTip(); }
    void SetHint(const QString& h) { this->setToolTip(h); }
    QString Name() const { return this->objectName(); }
    void SetName(const QString& n) { this->setObjectName(n); }
    int Tag() const { return tag_; }
    void SetTag(int t) { tag_ = t; }

    // Without a colour of its own a control shows its parent's.
    TColor Color() const { return detail::WidgetColor(this); }
    virtual void SetColor(TColor c) { detail::SetWidgetColor(this, c); }
    // The control's font; changes made through it apply at once.
    TFont& Font()
    {
        font_.OnChange = nullptr;
        detail::ReadFont(this, font_);
        font_.OnChange = [this] { FontChanged(); };
        return font_;
    }
    void SetFont(const TFont& f) { Font().Assign(f); }

    TCursor Cursor() const { return detail::WidgetCursor(this); }
    void SetCursor(TCursor c) { detail::SetWidgetCursor(this, c); }

    bool TabStop() const { return (this->focusPolicy() & Qt::TabFocus) != 0; }
    void SetTabStop(bool t) { this->setFocusPolicy(t ? Qt::StrongFocus : (this->focusPolicy() == Qt::NoFocus ? Qt::NoFocus : Qt::ClickFocus)); }
    void SetFocus() { this->setFocus(Qt::OtherFocusReason); }
    bool Focused() const { return this->hasFocus(); }
    bool CanFocus() const { return this->isVisible() && this->isEnabled() && this->focusPolicy() != Qt::NoFocus; }

    QWidget* Parent() const { return this->parentWidget(); }
    void SetParent(QWidget* p) { detail::SetParentKeepingVisibility(this, p); }
    void BringToFront() { this->raise(); }
    void SendToBack() { this->lower(); }
    void Invalidate() { this->update(); }
    void Repaint() { this->repaint(); }

protected:
    virtual void FontChanged()
    {
        detail::ApplyFont(this, font_);
        this->update();
    }

private:
    TFont font_;
    int tag_ = 0;
};

} // namespace platform
