#pragma once

// The balloon tooltip of the string grid's cells: one tool over the whole
// client area that asks the grid for its text each time it is about to show,
// so that every cell gets its own balloon with a title and an icon.

#include "grid/ExGrid.h"

#include <QTimer>
#include <QWidget>

class TGridBalloonTip : public QWidget
{
public:
    // Icons of the title: 0 none, 1 information, 2 warning, 3 error.
    explicit TGridBalloonTip(TExStringGrid* grid);
    ~TGridBalloonTip() override;

    QString Title() const { return FTitle; }
    int TitleIcon() const { return FIcon; }
    QString Text() const { return FText; }
    void SetTitle(const QString& title, int icon);
    void SetText(const QString& text);
    // clNone: the system's tooltip colours.
    void SetColors(platform::TColor text, platform::TColor background);
    void SetMaxTipWidth(int w) { FMaxWidth = w; }
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
    void paintEvent(QPaintEvent* event) override;

private:
    void Arm(int delay);
    QSize Layout(QRect& titleRect, QRect& textRect) const;

    TExStringGrid* FGrid;
    QString FTitle = QStringLiteral("ToolTipText");
    int FIcon = 3;
    QString FText;
    platform::TColor FTextColor = platform::clNone;
    platform::TColor FBackgroundColor = platform::clNone;
    int FMaxWidth = 300;
    int FInitial = -1, FReshow = -1, FAutoHide = -1;
    bool FReshowNext = false;
    QPoint FPointer{-1, -1};
    QTimer FShowTimer;
    QTimer FHideTimer;
};
