#include "platform/HintWindow.h"

#include "platform/Controls.h"

#include <QEvent>
#include <QPainter>
#include <QRegion>

namespace platform {

// ---------------------------------------------------------------- the class

namespace {

THintWindowClass g_hintWindowClass = nullptr;  // nullptr: the plain one

} // namespace

THintWindow* PlainHintWindow(QWidget* parent) { return new THintWindow(parent); }

THintWindowClass HintWindowClass() { return g_hintWindowClass ? g_hintWindowClass : &PlainHintWindow; }

void SetHintWindowClass(THintWindowClass windowClass) { g_hintWindowClass = windowClass; }

THintWindow* CreateHintWindow(QWidget* parent) { return HintWindowClass()(parent); }

// ---------------------------------------------------------------- the shadow

namespace {

const char* const kShadowName = "platform_drop_shadow";

// A window of its own beside the shadowed one, shaped to the band the
// shadowed window leaves uncovered, so stacking order never matters. Opaque
// shades darkening towards the window: no compositor is needed.
class DropShadow : public QWidget
{
public:
    explicit DropShadow(QWidget* window)
        : QWidget(window, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                              Qt::WindowDoesNotAcceptFocus),
          window_(window)
    {
        setObjectName(QLatin1String(kShadowName));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        window->installEventFilter(this);
        Follow();
    }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == window_) {
            switch (e->type()) {
            case QEvent::Show:
            case QEvent::Move:
            case QEvent::Resize: Follow(); break;
            case QEvent::Hide: hide(); break;
            default: break;
            }
        }
        return false;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const int d = DropShadowWidth;
        const int w = width(), h = height();
        // Ring 0 lies against the window; the outer rings fade.
        for (int i = 0; i < d; ++i) {
            const int level = 112 + i * (128 / d);
            p.setPen(QColor(level, level, level));
            const int x = w - d + i, y = h - d + i;
            p.drawLine(x, 0, x, y);
            p.drawLine(0, y, x, y);
        }
    }

private:
    void Follow()
    {
        if (!window_->isVisible()) {
            hide();
            return;
        }
        const int d = DropShadowWidth;
        const QRect r = window_->geometry();
        setGeometry(r.translated(d, d));
        setMask(QRegion(rect()) - QRegion(-d, -d, r.width(), r.height()));
        show();
        update();
    }

    QWidget* window_;
};

} // namespace

void AddDropShadow(QWidget* window)
{
    if (window && !DropShadowOf(window))
        new DropShadow(window);  // owned by the window
}

QWidget* DropShadowOf(const QWidget* window)
{
    if (!window)
        return nullptr;
    return window->findChild<QWidget*>(QLatin1String(kShadowName), Qt::FindDirectChildrenOnly);
}

} // namespace platform
