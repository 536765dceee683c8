#pragma once

// The balloon tooltip of the string grid's cells: one tool over the whole
// client area that asks the grid for its text each time it is about to show,
// so that every cell gets its own balloon with a title and an icon. The
// same balloon tells why an edited value was refused.

#include "grid/ExGrid.h"

#include <QTimer>
#include <QWidget>

// A balloon: a rounded tip with a bold title behind its icon (0 none,
// 1 information, 2 warning, 3 error) and a text below.
class TBalloonWindow : public QWidget
{
public:
    explicit TBalloonWindow(QWidget* parent);

    QString Title() const { return FTitle; }
    int TitleIcon() const { return FIcon; }
    QString Text() const { return FText; }
    void SetTitle(const QString& title, int icon);
    void SetText(const QString& text);
    // clNone: the system's tooltip colours.
    void SetColors(platform::TColor text, platform::TColor background);
    void SetMaxTipWidth(int w) { FMaxWidth = w; }
    // The size the title, icon and text take.
    QSize SizeHint() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize Layout(QRect& titleRect, QRect& textRect) const;

    QString FTitle = QStringLiteral("ToolTipText");
    int FIcon = 3;
    QString FText;
    platform::TColor FTextColor = platform::clNone;
    platform::TColor FBackgroundColor = platform::clNone;
    int FMaxWidth = 300;
};

class TGridBalloonTip : public TBalloonWindow
{
public:
    explicit TGridBalloonTip(TExStringGrid* grid);
    ~TGridBalloonTip() override;

    // Milliseconds; -1 keeps the system's.
    void SetDelays(int initial, int reshow, int autoHide);
    int InitialDelay() const;
    int ReshowDelay() const;
    int AutoHideDelay() const;

    // Asks the grid for the text at the pointer and shows the balloon there.
    void Popup();
    // Closes the balloon; with next, the balloon of the cell under a pointer
    // at rest follows after the reshow delay.
    void Pop(bool next);
    bool Waiting() const { return FShowTimer.isActive(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Arm(int delay);

    TExStringGrid* FGrid;
    int FInitial = -1, FReshow = -1, FAutoHide = -1;
    bool FReshowNext = false;
    QPoint FPointer{-1, -1};
    QTimer FShowTimer;
    QTimer FHideTimer;
};
