// Looks that reach the editors: colour tones on the editors' buttons, the
// date picker's
// own Metro painting, the style change of the application, and the search
// footer's refresh removing stale highlight marks.
#include "ExGridEditTestSupport.h"

#include "grid/EsgSpin.h"
#include "grid/ExGrid_Editors.h"
#include "grid/ExGrid_Windows.h"
#include "widgets/ExObj.h"

#include <QImage>
#include <QMouseEvent>

using namespace platform;
using namespace edittest;

namespace {

struct LooksFixture : GridFixture
{
};

TColorTones SampleTones()
{
    TColorTones t;
    t.Background = {0xF0F0F0, 0x808080, clBlack};
    t.Foreground = {0x404040, 0x303030, clWhite};
    t.Selected = {0x00A000, 0x008000, clWhite};
    t.Hover = {0xA0A0FF, 0x8080FF, clBlack};
    return t;
}

QColor PixelAt(QWidget* w, QPoint p) { return w->grab().toImage().pixelColor(p); }

} // namespace

TEST_F(LooksFixture, ColorTonesReachTheEditorsButtons)
{
    const TColorTones tones = SampleTones();
    grid->SetColorTones(tones);
    TExSpeedButton* ellipsis = grid->EditBtn()->Button();
    EXPECT_EQ(ellipsis->ButtonColor, tones.Background.BrushColor);
    EXPECT_EQ(ellipsis->ButtonColorHot, tones.Hover.BrushColor);
    EXPECT_EQ(ellipsis->ButtonColorDown, tones.Selected.BrushColor);
    EXPECT_EQ(ellipsis->ButtonBorderColor, tones.Background.BorderColor);

    TGridCombo* combo = grid->Combobox();
    EXPECT_EQ(combo->ButtonColor(), tones.Background.BrushColor);
    EXPECT_EQ(combo->ButtonColorHot(), tones.Hover.BrushColor);
    EXPECT_EQ(combo->BorderColor(), grid->Color());

    const TSpinButtonColors& spin = grid->SpinEdit()->ButtonColors();
    EXPECT_EQ(spin.ButtonColor, tones.Background.BrushColor);
    EXPECT_EQ(spin.ButtonColorDown, tones.Selected.BrushColor);

    TGridDatePicker* picker = grid->DatePicker();
    EXPECT_TRUE(picker->MetroStyle());
    EXPECT_EQ(picker->BorderColor(), tones.Background.BrushColor);
    EXPECT_EQ(picker->ButtonColorHot, tones.Hover.BrushColor);
}

TEST_F(LooksFixture, DatePickerPaintsItsOwnButtonAndFrameInMetro)
{
    TGridDatePicker* picker = grid->DatePicker();
    picker->setGeometry(0, 0, 140, 24);
    picker->setEnabled(true);
    picker->show();
    picker->ButtonColor = 0x0000FF; // red
    picker->ButtonColorHot = 0x00FF00; // green
    picker->ButtonTextColor = clBlack;
    picker->SetBorderColor(0xFF0000); // blue
    // The default look is the platform's: no own frame.
    EXPECT_NE(PixelAt(picker, QPoint(0, 12)), QColor(0, 0, 255));

    picker->SetMetroStyle(true);
    const QRect b = picker->ButtonRect();
    const QPoint inButton(b.right() - 1, b.top() + 2);
    EXPECT_EQ(PixelAt(picker, inButton), QColor(255, 0, 0));
    EXPECT_EQ(PixelAt(picker, QPoint(0, 12)), QColor(0, 0, 255));

    // Hovering the button paints it in the hot colour.
    QMouseEvent move(QEvent::MouseMove, QPointF(b.center()), picker->mapToGlobal(QPointF(b.center())), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(picker, &move);
    EXPECT_TRUE(picker->ButtonHover());
    EXPECT_EQ(PixelAt(picker, inButton), QColor(0, 255, 0));

    // Disabled without DisabledBorder: the grey-blue frame.
    picker->setEnabled(false);
    EXPECT_EQ(PixelAt(picker, QPoint(0, 12)), QColor(0x7F, 0x9D, 0xB9));
    picker->hide();
}

TEST_F(LooksFixture, ApplicationStyleChangeAppliesTheActiveStyleColours)
{
    TExStringGrid::TActiveStyle& style = TExStringGrid::ActiveStyle();
    const TExStringGrid::TActiveStyle saved = style;
    style.Enabled = true;
    style.Name = QStringLiteral("Carbon");
    style.CellBorder = 0x112233;
    QEvent change(QEvent::StyleChange);
    QApplication::sendEvent(grid, &change);
    EXPECT_TRUE(grid->UsePlatformStyles());
    EXPECT_EQ(grid->GridLineColor(), static_cast<TColor>(0x112233));
    style = saved;
}

TEST_F(LooksFixture, SearchFooterRefreshRemovesHighlightMarksFirst)
{
    grid->SetCells(1, 1, QStringLiteral("find me"));
    grid->HilightInGrid(false, false, QStringLiteral("me"));
    ASSERT_NE(grid->Cells(1, 1), QStringLiteral("find me"));
    grid->SearchFooter().SetAlwaysHighLight(true);
    grid->SearchFooter().SetVisible(true);
    grid->UpdateSearchPanel();
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("find me"));
}

TEST_F(LooksFixture, ExpandBoxIs13By13InTheCellsTopRightCorner)
{
    grid->SetDefaultRowHeight(30);
    grid->SetColWidths(2, 80);
    TCellGraphic* expand = grid->NewCellGraphic(2, 2);
    expand->CellType = ctExpand;
    ProcessEvents();
    const QImage img = grid->ClientSurface()->grab().toImage();
    const TRect r = grid->TBaseGrid::CellRect(2, 2);
    const QColor fill = img.pixelColor(r.Left + 5, r.Bottom - 5);
    // The box's extent along a line through its middle, from the corner.
    auto span = [&](QPoint from, QPoint step) {
        int first = -1, last = -1;
        for (int i = 0; i < 20; ++i) {
            const QPoint p = from + step * i;
            if (img.pixelColor(p) != fill) {
                if (first < 0)
                    first = i;
                last = i;
            }
        }
        return std::pair(first, last);
    };
    // Leftwards from the right edge, 6 px down: the box spans 13 px.
    const auto [right, left] = span(QPoint(r.Right - 1, r.Top + 6), QPoint(-1, 0));
    EXPECT_EQ(right, 0);
    EXPECT_EQ(left, 12);
    // Downwards from the top, 2 px in from the box's left edge (away from the chevron).
    const auto [top, bottom] = span(QPoint(r.Right - 12, r.Top), QPoint(0, 1));
    EXPECT_EQ(top, 0);
    EXPECT_EQ(bottom, 12);
}

// The flat bars are the grid's own: in ScrollColor, ScrollWidth thick, each
// shown only while there is something to scroll along it.
TEST_F(LooksFixture, FlatScrollBarsAreDrawnByTheGrid)
{
    grid->SetRowCount(60);
    grid->SetScrollColor(0x00FFFF); // yellow
    grid->SetScrollWidth(12);
    for (TScrollType type : {ssFlat, ssEncarta}) {
        grid->SetScrollType(type);
        ProcessEvents();
        TScrollControl* v = grid->VertScrollControl();
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(grid->ScrollBars(), ssNone) << "no system bars";
        EXPECT_TRUE(v->isVisible());
        EXPECT_EQ(v->width(), 12);
        EXPECT_EQ(v->TrackColor(), static_cast<TColor>(0x00FFFF));
        const QImage img = v->grab().toImage();
        // The track below the thumb (which starts at the top) in the colour.
        EXPECT_EQ(img.pixelColor(1, img.height() - 2), QColor(255, 255, 0));
        // Five columns fit: no horizontal bar.
        EXPECT_FALSE(grid->HorzScrollControl()->isVisible());
    }
    grid->SetScrollType(ssNormal);
    EXPECT_EQ(grid->VertScrollControl(), nullptr);
    EXPECT_EQ(grid->ScrollBars(), ssBoth);
}
