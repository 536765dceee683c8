#pragma once

// Helpers of the grid painting tests: pictures of a grid's client area and
// a grid that lets the tests set the hover state the mouse would set.

#include "grid/ExCGrid.h"
#include "grid/ExGrid.h"

#include "widgets/WidgetTestHelpers.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QRect>

namespace gridpaint {

// The string grid with the mouse's hover state open to the tests.
class TestGrid : public TExStringGrid
{
public:
    using TExStringGrid::TExStringGrid;
    using TExStringGrid::FFixedCellDown;
    using TExStringGrid::FHoverFixedX;
    using TExStringGrid::FHoverFixedY;
    using TExStringGrid::FHoverRowIdx;
};

// The client area as painted now.
inline QImage Client(platform::TCustomGrid& g) { return g.ClientSurface()->grab().toImage(); }

inline QRect ToQ(const platform::TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

inline platform::TColor Px(const QImage& img, int x, int y) { return widgettest::At(img, x, y); }

inline bool Near(QColor c, platform::TColor t, int tolerance = 0)
{
    const platform::TColor rgb = platform::ColorToRGB(t);
    return std::abs(c.red() - platform::GetRValue(rgb)) <= tolerance &&
           std::abs(c.green() - platform::GetGValue(rgb)) <= tolerance &&
           std::abs(c.blue() - platform::GetBValue(rgb)) <= tolerance;
}

// Dark pixels: the ink of text.
inline bool Ink(QColor c) { return c.lightness() < 110; }

// The smallest rectangle of text ink inside a cell (empty when none).
inline QRect InkIn(const QImage& img, const platform::TRect& cell)
{
    return widgettest::Bounding(img, Ink, ToQ(cell));
}

// A shown grid with the keyboard focus.
inline void Focus(QWidget& w)
{
    w.show();
    w.activateWindow();
    w.setFocus();
    QApplication::processEvents();
}

} // namespace gridpaint
