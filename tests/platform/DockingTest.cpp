// Docking onto a plain site and the dock drag itself.

#include "platform/Docking.h"

#include "platform/Controls.h"
#include "platform/CustomControl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace platform;

namespace {

// A site that takes its clients as they are.
class PanelSite : public TPanel, public DockingSite
{
public:
    explicit PanelSite(QWidget* parent) : TPanel(parent), DockingSite(this) {}
};

void Send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A window with a dock-site panel and, beside it, a dockable panel.
struct Scene
{
    Scene()
    {
        window->resize(600, 300);
        site = new PanelSite(window.get());
        site->setGeometry(300, 10, 250, 250);
        site->SetDockSite(true);
        client = new TPanel(window.get());
        client->setGeometry(10, 10, 120, 80);
        SetDragKind(client, dkDock);
        SetOnEndDock(client, [this](QObject*, QObject* target, int, int) {
            ++ends;
            endTarget = target;
        });
        site->OnDockOver = [this](QObject*, TDragDockObject&, int, int, TDragState state, bool& accept) {
            states.push_back(state);
            accept = accepts;
        };
        window->show();
    }
    ~Scene()
    {
        if (client && !client->parentWidget())
            delete client.data();
    }
    QPoint OnSite() const { return client->mapFromGlobal(site->mapToGlobal(QPoint(100, 100))); }
    void Start() { BeginDrag(client, client->mapToGlobal(QPoint(5, 5)), false); }

    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    PanelSite* site;
    QPointer<TPanel> client;
    std::vector<TDragState> states;
    bool accepts = true;
    int ends = 0;
    QObject* endTarget = nullptr;
};

} // namespace

TEST(Docking, ADropParentsTheClientInThePlainSite)
{
    Scene s;
    s.Start();
    Send(s.client, QEvent::MouseMove, s.OnSite());
    Send(s.client, QEvent::MouseButtonRelease, s.OnSite());
    EXPECT_EQ(HostDockSite(s.client), s.site);
    EXPECT_EQ(s.client->parentWidget(), s.site);
    EXPECT_TRUE(s.client->isVisible());
    EXPECT_EQ(s.states, std::vector<TDragState>{dsDragEnter});
    EXPECT_EQ(s.ends, 1);
    EXPECT_EQ(s.endTarget, s.site);
}

TEST(Docking, TheDragEndsWithoutDockingWhenItShould)
{
    const struct
    {
        const char* why;
        bool accepts;
        bool escape;
        bool rightButton;
    } cases[] = {
        {"a site that refuses", false, false, false},
        {"Escape", true, true, false},
        {"the right button", true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Scene s;
        s.accepts = c.accepts;
        s.Start();
        Send(s.client, QEvent::MouseMove, s.OnSite());
        ASSERT_NE(DockDragging(), nullptr);
        if (c.escape) {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(s.client, &esc);
        }
        if (c.rightButton)
            Send(s.client, QEvent::MouseButtonPress, s.OnSite(), Qt::RightButton);
        Send(s.client, QEvent::MouseButtonRelease, s.OnSite());
        EXPECT_EQ(DockDragging(), nullptr);
        EXPECT_EQ(HostDockSite(s.client), nullptr);
        EXPECT_EQ(s.client->parentWidget(), s.window.get());
        EXPECT_EQ(s.ends, 1);
        EXPECT_EQ(s.endTarget, nullptr);
    }
}

TEST(Docking, LeavingASiteIsReported)
{
    Scene s;
    s.Start();
    Send(s.client, QEvent::MouseMove, s.OnSite());
    Send(s.client, QEvent::MouseMove, s.OnSite() + QPoint(5, 0));
    ASSERT_NE(DockDragging(), nullptr);
    EXPECT_EQ(DockDragging()->DragTarget, s.site);
    Send(s.client, QEvent::MouseMove, QPoint(40, 200));
    EXPECT_EQ(DockDragging()->DragTarget, nullptr);
    EXPECT_EQ(s.states, (std::vector<TDragState>{dsDragEnter, dsDragMove, dsDragLeave}));
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(s.client, &esc);
}

TEST(Docking, AControlDestroyedWhileDraggedEndsTheDrag)
{
    Scene s;
    s.Start();
    Send(s.client, QEvent::MouseMove, s.OnSite());
    ASSERT_NE(DockDragging(), nullptr);
    delete s.client.data();
    EXPECT_EQ(DockDragging(), nullptr);
    Send(s.window.get(), QEvent::MouseMove, QPoint(20, 20));
    Send(s.window.get(), QEvent::MouseButtonRelease, QPoint(20, 20));
    EXPECT_EQ(s.ends, 0);
}
