#pragma once

// The floating footer's panel: a child of the grid kept along its bottom
// edge while the footer is shown.

#include "grid/ExGridExtras.h"
#include "platform/Controls.h"

class TExStringGrid;

class TFooterPanel : public platform::TCustomControl
{
public:
    explicit TFooterPanel(TExStringGrid* grid);

    TExStringGrid* Grid() const { return FGrid; }
    // The display column under a client x; -1 when none.
    int ColumnAt(int x) const;
    // Moves the panel to the grid's bottom edge with the given height.
    void Dock(int height);
    int LastHintX() const { return FLastHintX; }

protected:
    void Paint() override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TExStringGrid* FGrid;
    int FLastHintX = -1;
};
