#include "platform/ControlBase.h"

#include <QEvent>
#include <QPalette>

#include <algorithm>
#include <vector>

namespace platform {

namespace {

const char* const kAlign = "platform_align";
const char* const kAnchors = "platform_anchors";
const char* const kRightGap = "platform_right_gap";
const char* const kBottomGap = "platform_bottom_gap";
const char* const kColor = "platform_color";
const char* const kCursor = "platform_cursor";

// Watches a parent for size changes and lays its aligned children out again;
// also watches those children, since one that changes its size or is shown
// or hidden moves its siblings.
class AlignWatcher : public QObject
{
public:
    explicit AlignWatcher(QWidget* parent) : QObject(parent)
    {
        setObjectName(QLatin1String(kWatcherName));
        parent->installEventFilter(this);
    }
    static constexpr const char* kWatcherName = "platform_align_watcher";
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* w = static_cast<QWidget*>(watched);
        const QEvent::Type type = event->type();
        if (watched == parent()) {
            if (type == QEvent::Resize || type == QEvent::Show)
                detail::Realign(w);
        } else if ((type == QEvent::Resize || type == QEvent::ShowToParent || type == QEvent::HideToParent)
                   && detail::Align(w) != alNone) {
            detail::Realign(w->parentWidget());
        }
        return false;
    }
};

AlignWatcher* EnsureWatcher(QWidget* parent)
{
    if (!parent)
        return nullptr;
    // Only the watcher carries that name.
    if (QObject* w = parent->findChild<QObject*>(QLatin1String(AlignWatcher::kWatcherName), Qt::FindDirectChildrenOnly))
        return static_cast<AlignWatcher*>(w);
    return new AlignWatcher(parent);  // owned by the parent
}

// Parents being laid out now; moves made by the layout are not the program's.
std::vector<QWidget*> g_realigning;

bool Realigning(QWidget* parent)
{
    return std::find(g_realigning.begin(), g_realigning.end(), parent) != g_realigning.end();
}

} // namespace

int VirtualKeyFromQt(int k)
{
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return 'A' + (k - Qt::Key_A);
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return '0' + (k - Qt::Key_0);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return VK_F1 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Plus: return VK_ADD;
    case Qt::Key_Minus: return VK_SUBTRACT;
    default: return 0;
    }
}

int QtKeyFromVirtualKey(int vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return Qt::Key_A + (vk - 'A');
    if (vk >= '0' && vk <= '9')
        return Qt::Key_0 + (vk - '0');
    if (vk >= VK_F1 && vk <= VK_F1 + 23)
        return Qt::Key_F1 + (vk - VK_F1);
    switch (vk) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_SHIFT: return Qt::Key_Shift;
    case VK_CONTROL: return Qt::Key_Control;
    case VK_MENU: return Qt::Key_Alt;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    case VK_ADD: return Qt::Key_Plus;
    case VK_SUBTRACT: return Qt::Key_Minus;
    default: return 0;
    }
}

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers m, Qt::MouseButtons b)
{
    TShiftState s = 0;
    if (m & Qt::ShiftModifier)
        s |= ssShift;
    if (m & Qt::AltModifier)
        s |= ssAlt;
    if (m & Qt::ControlModifier)
        s |= ssCtrl;
    if (b & Qt::LeftButton)
        s |= ssLeft;
    if (b & Qt::RightButton)
        s |= ssRight;
    if (b & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

QChar AcceleratorOf(const QString& caption)
{
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption[i + 1].toUpper();
    }
    return QChar();
}

QString StripAccelerator(const QString& caption)
{
    QString out;
    out.reserve(caption.size());
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        out.append(caption[i]);
    }
    return out;
}

namespace detail {

bool IsVisibleFlag(const QWidget* w)
{
    if (w->isWindow())
        return w->isVisible();
    return !(w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->testAttribute(Qt::WA_WState_Hidden));
}

void SetVisibleFlag(QWidget* w, bool visible)
{
    w->setVisible(visible);
    if (w->parentWidget())
        Realign(w->parentWidget());
}

TColor WidgetColor(const QWidget* w)
{
    const QVariant v = w->property(kColor);
    if (v.isValid())
        return v.toUInt();
    return FromQColor(w->palette().color(w->backgroundRole()));
}

void SetWidgetColor(QWidget* w, TColor color)
{
    w->setProperty(kColor, static_cast<unsigned>(color));
    QPalette p = w->palette();
    p.setColor(w->backgroundRole(), ToQColor(color));
    if (w->backgroundRole() == QPalette::Window) {
        p.setColor(QPalette::Button, ToQColor(color));
    }
    w->setPalette(p);
    w->setAutoFillBackground(color != clNone);
    w->update();
}

void ReadFont(const QWidget* w, TFont& font)
{
    const QFont f = w->font();
    font.SetFromQFont(f);
    font.SetColor(FromQColor(w->palette().color(QPalette::Active, w->foregroundRole())));
}

void ApplyFont(QWidget* w, const TFont& font)
{
    w->setFont(font.ToQFont());
    QPalette p = w->palette();
    // The disabled colours stay the style's, so a disabled control looks disabled.
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, w->foregroundRole(), ToQColor(font.Color()));
        if (w->foregroundRole() == QPalette::WindowText)
            p.setColor(group, QPalette::ButtonText, ToQColor(font.Color()));
    }
    w->setPalette(p);
}

void SetWidgetCursor(QWidget* w, TCursor cursor)
{
    w->setProperty(kCursor, static_cast<int>(cursor));
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (cursor) {
    case crDefault: w->unsetCursor(); return;
    case crArrow: shape = Qt::ArrowCursor; break;
    case crHandPoint: shape = Qt::PointingHandCursor; break;
    case crIBeam: shape = Qt::IBeamCursor; break;
    case crCross: shape = Qt::CrossCursor; break;
    case crSizeWE: shape = Qt::SizeHorCursor; break;
    case crSizeNS: shape = Qt::SizeVerCursor; break;
    case crSizeAll: shape = Qt::SizeAllCursor; break;
    case crHourGlass: shape = Qt::WaitCursor; break;
    case crNo: shape = Qt::ForbiddenCursor; break;
    case crDrag: shape = Qt::DragMoveCursor; break;
    case crHSplit: shape = Qt::SplitHCursor; break;
    case crVSplit: shape = Qt::SplitVCursor; break;
    }
    w->setCursor(shape);
}

TCursor WidgetCursor(const QWidget* w)
{
    const QVariant v = w->property(kCursor);
    return v.isValid() ? static_cast<TCursor>(v.toInt()) : crDefault;
}

void SetAlign(QWidget* w, TAlign align)
{
    w->setProperty(kAlign, static_cast<int>(align));
    if (w->parentWidget()) {
        if (AlignWatcher* watcher = EnsureWatcher(w->parentWidget()); align != alNone)
            w->installEventFilter(watcher);
        Realign(w->parentWidget());
    }
}

TAlign Align(const QWidget* w)
{
    const QVariant v = w->property(kAlign);
    return v.isValid() ? static_cast<TAlign>(v.toInt()) : alNone;
}

void SetAnchors(QWidget* w, TAnchors anchors)
{
    w->setProperty(kAnchors, anchors);
    BoundsChanged(w);
    if (w->parentWidget())
        EnsureWatcher(w->parentWidget());
}

TAnchors Anchors(const QWidget* w)
{
    const QVariant v = w->property(kAnchors);
    return v.isValid() ? v.toUInt() : (akLeft | akTop);
}

void BoundsChanged(QWidget* w)
{
    QWidget* p = w->parentWidget();
    if (!p || Realigning(p))
        return;
    const QRect area = p->contentsRect();
    w->setProperty(kRightGap, area.right() + 1 - (w->x() + w->width()));
    w->setProperty(kBottomGap, area.bottom() + 1 - (w->y() + w->height()));
}

void Realign(QWidget* parent)
{
    if (!parent || Realigning(parent))
        return;
    g_realigning.push_back(parent);
    std::vector<QWidget*> resized;
    auto place = [&](QWidget* w, const QRect& g) {
        if (w->geometry() == g)
            return;
        const bool sizeChanged = w->size() != g.size();
        w->setGeometry(g);
        if (sizeChanged)
            resized.push_back(w);
    };
    QRect area = parent->contentsRect();
    std::vector<QWidget*> aligned[6];
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow())
            continue;
        const TAlign a = Align(w);
        if (a != alNone) {
            if (IsVisibleFlag(w))
                aligned[static_cast<int>(a)].push_back(w);
            continue;
        }
        const TAnchors k = Anchors(w);
        if (!(k & (akRight | akBottom)))
            continue;
        QRect g = w->geometry();
        if (k & akRight) {
            const int gap = w->property(kRightGap).toInt();
            const int right = area.right() + 1 - gap;
            if (k & akLeft)
                g.setWidth(std::max(0, right - g.x()));
            else
                g.moveLeft(right - g.width());
        }
        if (k & akBottom) {
            const int gap = w->property(kBottomGap).toInt();
            const int bottom = area.bottom() + 1 - gap;
            if (k & akTop)
                g.setHeight(std::max(0, bottom - g.y()));
            else
                g.moveTop(bottom - g.height());
        }
        place(w, g);
    }
    auto byTop = [](QWidget* a, QWidget* b) { return a->y() < b->y(); };
    auto byBottom = [](QWidget* a, QWidget* b) { return a->y() + a->height() > b->y() + b->height(); };
    auto byLeft = [](QWidget* a, QWidget* b) { return a->x() < b->x(); };
    auto byRight = [](QWidget* a, QWidget* b) { return a->x() + a->width() > b->x() + b->width(); };
    std::stable_sort(aligned[1].begin(), aligned[1].end(), byTop);
    std::stable_sort(aligned[2].begin(), aligned[2].end(), byBottom);
    std::stable_sort(aligned[3].begin(), aligned[3].end(), byLeft);
    std::stable_sort(aligned[4].begin(), aligned[4].end(), byRight);
    for (QWidget* w : aligned[1]) {
        place(w, QRect(area.x(), area.y(), area.width(), w->height()));
        area.setTop(area.top() + w->height());
    }
    for (QWidget* w : aligned[2]) {
        place(w, QRect(area.x(), area.bottom() + 1 - w->height(), area.width(), w->height()));
        area.setBottom(area.bottom() - w->height());
    }
    for (QWidget* w : aligned[3]) {
        place(w, QRect(area.x(), area.y(), w->width(), std::max(0, area.height())));
        area.setLeft(area.left() + w->width());
    }
    for (QWidget* w : aligned[4]) {
        place(w, QRect(area.right() + 1 - w->width(), area.y(), w->width(), std::max(0, area.height())));
        area.setRight(area.right() - w->width());
    }
    for (QWidget* w : aligned[5])
        place(w, QRect(area.x(), area.y(), std::max(0, area.width()), std::max(0, area.height())));
    g_realigning.pop_back();
    // A resized child lays out its own children (its resize event may wait
    // until it is shown).
    for (QWidget* w : resized)
        Realign(w);
}

void SetParentKeepingVisibility(QWidget* w, QWidget* parent)
{
    const bool visible = IsVisibleFlag(w);
    QWidget* old = w->parentWidget();
    w->setParent(parent);
    if (visible && parent)
        w->show();
    if (Align(w) != alNone || Anchors(w) != (akLeft | akTop))
        EnsureWatcher(parent);
    BoundsChanged(w);
    Realign(old);
    Realign(parent);
}

} // namespace detail

} // namespace platform
