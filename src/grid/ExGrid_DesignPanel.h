#pragma once

// The quick configuration panel of a grid being designed: a small panel in
// the bottom-right corner of the client area with editing on or off, column
// numbers on or off, the grid's look, and a close button. It exists only
// while the grid is designed, and shows only while ShowDesignHelper is on.
//
// One rule: the hit test decides what a click does. The panel's widgets only
// show the state; the panel hands every release to the grid's
// DesignPanelClick, which asks the hit test, so a click means the same with
// the panel on screen, from the designer, or from a test.

#include "grid/ExGrid.h"
#include "platform/Graphics.h"

#include <QFont>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QToolButton;
namespace platform {
class TPopupMenu;
}

// The panel's items, numbered as the hit test answers them.
enum TDesignChoice { dcNone = -1, dcAllowEdit = 1, dcColumnNumbers = 2, dcLook = 3, dcClose = 4 };

// Where the panel stands, in client coordinates, for a client rectangle and
// the panel's font.
struct TDesignPanelGeometry
{
    int H = 0;            // height of "gh" in the panel's font
    platform::TRect Client;
    platform::TRect Panel;
    int AllowEditWidth = 0;   // text widths the hit areas reach to
    int ColumnNrsWidth = 0;
    int LookWidth = 0;        // "Set look: " and the look's name
};

QFont DesignPanelFont();
QString DesignPanelLookCaption(TGridLook look);
TDesignPanelGeometry DesignPanelGeometry(const platform::TRect& client, const QFont& font, TGridLook look);
// The item under a client point (TDesignChoice); later areas win where they overlap.
int DesignPanelHitTest(const TDesignPanelGeometry& g, int x, int y);

// The look menu's entries, in their order.
struct TDesignLookEntry
{
    const char* Caption;
    TGridLook Look;
};
const std::array<TDesignLookEntry, 9>& DesignLookMenu();

class TDesignPanel : public QWidget
{
public:
    explicit TDesignPanel(TExStringGrid* grid);
    ~TDesignPanel() override;

    // Takes the grid's state: place, title, check marks, look, underline.
    void Refresh();
    // Opens the look menu at a client point of the grid; returns at once.
    void ShowLookMenu(QPoint clientPoint);

    QLabel* Title() const { return FTitle; }
    QToolButton* CloseButton() const { return FClose; }
    QCheckBox* AllowEdit() const { return FAllowEdit; }
    QCheckBox* ColumnNumbers() const { return FColumnNrs; }
    QLabel* LookLabel() const { return FLookLabel; }
    platform::TPopupMenu* LookMenu() const { return FLookMenu; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QPoint ToClient(QPoint p) const { return p + pos(); }
    void SetUnderline(QWidget* w, bool on);

    TExStringGrid* FGrid;
    QLabel* FTitle;
    QToolButton* FClose;
    QCheckBox* FAllowEdit;
    QCheckBox* FColumnNrs;
    QLabel* FLookLabel;
    platform::TPopupMenu* FLookMenu;
    bool FRefreshQueued = false;
};
