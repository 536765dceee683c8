// The combo box with its own look: defaults, property writers, the label
// placed around it, focus colours, the flat look and its painting; and the
// width the grid's combo editor gives its dropped list.
#include "grid/EsgCombo.h"
#include "grid/ExGrid.h"
#include "grid/ExGrid_Editors.h"

#include "platform/Controls.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QStyle>

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace platform;

namespace {

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

TColor PixelAt(QWidget* w, int x, int y)
{
    const QImage image = w->grab().toImage();
    return FromQColor(image.pixelColor(x, y));
}

// A combo on a shown, active window, with a second control to take the focus.
struct ComboHost : ::testing::Test
{
    std::unique_ptr<QWidget> window;
    TEsgComboBox* combo = nullptr;
    TEdit* other = nullptr;

    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(400, 200);
        detail::SetWidgetColor(window.get(), clBtnFace);
        combo = new TEsgComboBox(window.get());
        combo->SetBounds(100, 50, 120, 0);
        other = new TEdit(window.get());
        other->SetBounds(100, 120, 100, 21);
        window->show();
        QApplication::setActiveWindow(window.get());
        Settle();
    }
    void TearDown() override { window.reset(); }
};

} // namespace

TEST(EsgComboDefaults, AsCreated)
{
    TEsgComboBox c;
    EXPECT_EQ(c.ButtonWidth(), QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2);
    EXPECT_FALSE(c.Flat());
    EXPECT_FALSE(c.Etched());
    EXPECT_FALSE(c.AutoFocus());
    EXPECT_FALSE(c.FocusBorder());
    EXPECT_FALSE(c.FocusLabel());
    EXPECT_FALSE(c.LabelTransparent());
    EXPECT_FALSE(c.LabelAlwaysEnabled());
    EXPECT_TRUE(c.DisabledBorder());
    EXPECT_TRUE(c.FlatParentColor());
    EXPECT_EQ(c.LabelMargin(), 4);
    EXPECT_EQ(c.LabelPosition(), lpLeftTop);
    EXPECT_EQ(c.DropWidth(), 0);
    EXPECT_EQ(c.DropDownCount(), 8);
    EXPECT_EQ(c.Style(), csDropDown);
    EXPECT_EQ(c.ComboLabel(), nullptr);
    EXPECT_EQ(c.LabelCaption(), QString());
    for (TColor color : {c.FlatLineColor(), c.FocusColor(), c.FocusBorderColor(), c.BorderColor(), c.ButtonColor(),
                         c.ButtonColorHot(), c.ButtonColorDown(), c.ButtonBorderColor(), c.ButtonTextColor(),
                         c.ButtonTextColorHot(), c.ButtonTextColorDown()})
        EXPECT_EQ(color, clNone);
    EXPECT_EQ(c.Color(), clWindow);
}

TEST(EsgComboProperties, ButtonWidthTakesFourteenToThirtyTwoOnly)
{
    struct Case
    {
        int value;
        bool accepted;
    };
    const Case cases[] = {{13, false}, {14, true}, {20, true}, {32, true}, {33, false}, {0, false}, {-5, false}};
    for (const Case& c : cases) {
        TEsgComboBox combo;
        combo.SetButtonWidth(25);
        combo.SetButtonWidth(c.value);
        EXPECT_EQ(combo.ButtonWidth(), c.accepted ? c.value : 25) << c.value;
    }
}

TEST(EsgComboProperties, DropWidthAboveZeroWidensTheList)
{
    TEsgComboBox c;
    c.SetBounds(0, 0, 120, 0);
    c.SetDropWidth(300);
    EXPECT_EQ(c.DropWidth(), 300);
    EXPECT_EQ(c.DroppedWidth(), 300);
    TEsgComboBox d;
    d.SetBounds(0, 0, 120, 0);
    d.SetDropWidth(0);
    EXPECT_EQ(d.DroppedWidth(), 120);
}

TEST(EsgComboProperties, SelectItemChoosesTheEqualItemOrLeavesTheChoice)
{
    TEsgComboBox c;
    c.SetItems({QStringLiteral("One"), QStringLiteral("Two")});
    c.SelectItem(QStringLiteral("Two"));
    EXPECT_EQ(c.ItemIndex(), 1);
    c.SelectItem(QStringLiteral("Three"));
    EXPECT_EQ(c.ItemIndex(), 1);
}

TEST(EsgComboProperties, LoadingRemembersTheColourAsTheNormalOne)
{
    TEsgComboBox c;
    c.BeginLoading();
    c.SetColor(clYellow);
    c.SetDropWidth(250);
    c.Loaded();
    EXPECT_FALSE(c.Loading());
    EXPECT_EQ(c.NormalColor(), clYellow);
    EXPECT_EQ(c.Color(), clYellow);
    // Flat with the parent's colour shows the parent's; back to not flat
    // returns to the loaded colour.
    QWidget parent;
    detail::SetWidgetColor(&parent, clAqua);
    c.SetParent(&parent);
    c.SetFlat(true);
    EXPECT_FALSE(c.Ctl3D());
    EXPECT_EQ(c.Color(), clAqua);
    c.SetFlat(false);
    EXPECT_TRUE(c.Ctl3D());
    EXPECT_EQ(c.Color(), clYellow);
    c.SetParent(nullptr);
}

TEST(EsgComboLabel, PlacementTable)
{
    // Combo at 100,50 sized 120 x 21; label 40 x 13, its caption 38 wide; margin 4.
    struct Case
    {
        TLabelPosition position;
        int labelHeight;
        int labelWidth;
        TPoint expected;  // left, top
    };
    const Case cases[] = {
        {lpLeftTop, 13, 40, {58, 50}},        {lpLeftCenter, 13, 40, {58, 54}},     {lpLeftBottom, 13, 40, {58, 58}},
        {lpTopLeft, 13, 40, {100, 33}},       {lpBottomLeft, 13, 40, {100, 75}},    {lpLeftTopLeft, 13, 40, {96, 50}},
        {lpLeftCenterLeft, 13, 40, {96, 54}}, {lpLeftBottomLeft, 13, 40, {96, 58}}, {lpTopCenter, 13, 40, {140, 33}},
        {lpBottomCenter, 13, 40, {140, 75}},  {lpRightTop, 13, 40, {224, 50}},      {lpRightCenter, 13, 40, {224, 54}},
        {lpRighBottom, 13, 40, {224, 58}},
        // Halving goes toward zero: (21 - 24) / 2 is -1, (120 - 125) / 2 is -2.
        {lpLeftCenter, 24, 40, {58, 49}},     {lpTopCenter, 13, 125, {98, 33}},
    };
    for (const Case& c : cases) {
        const TPoint p = TEsgCustomCombo::LabelPlace(c.position, 100, 50, 120, 21, c.labelWidth, c.labelHeight, 38, 4);
        EXPECT_EQ(p.X, c.expected.X) << static_cast<int>(c.position);
        EXPECT_EQ(p.Y, c.expected.Y) << static_cast<int>(c.position);
    }
}

TEST_F(ComboHost, TheLabelIsCreatedOnFirstCaptionAndFollowsTheCombo)
{
    combo->SetLabelCaption(QStringLiteral("&Name"));
    TLabel* label = combo->ComboLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(combo->LabelCaption(), QStringLiteral("&Name"));
    EXPECT_EQ(label->Parent(), window.get());
    TCanvas measure;
    measure.SetFont(label->Font());
    const int textWidth = measure.TextWidth(QStringLiteral("Name"));
    EXPECT_EQ(label->Left(), 100 - textWidth - 4);
    EXPECT_EQ(label->Top(), 50);

    combo->SetLabelMargin(10);
    EXPECT_EQ(label->Left(), 100 - textWidth - 10);
    combo->SetLabelPosition(lpRightCenter);
    EXPECT_EQ(label->Left(), 100 + 120 + 10);
    EXPECT_EQ(label->Top(), 50 + (combo->Height() - label->Height()) / 2);
    combo->SetBounds(20, 30, 80, 0);
    EXPECT_EQ(label->Left(), 20 + 80 + 10);

    combo->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
    combo->SetLabelAlwaysEnabled(true);
    EXPECT_TRUE(label->Enabled());
    combo->SetVisible(false);
    EXPECT_FALSE(label->Visible());
    combo->SetVisible(true);
    EXPECT_TRUE(label->Visible());
}

TEST_F(ComboHost, FocusColourComesWithTheFocusAndGoesWithIt)
{
    // Made at run time, never loaded: the colour before the focus still
    // comes back when the focus leaves.
    other->SetFocus();
    Settle();
    combo->SetColor(clCream);
    combo->SetFocusColor(clYellow);
    combo->SetFocusLabel(true);
    combo->SetLabelCaption(QStringLiteral("Name"));
    combo->SetFocus();
    Settle();
    ASSERT_TRUE(combo->hasFocus());
    EXPECT_TRUE(combo->HasFocus());
    EXPECT_EQ(combo->Color(), clYellow);
    EXPECT_TRUE(combo->ComboLabel()->Font().Style() & fsBold);
    other->SetFocus();
    Settle();
    EXPECT_FALSE(combo->HasFocus());
    EXPECT_EQ(combo->Color(), clCream);
    EXPECT_FALSE(combo->ComboLabel()->Font().Style() & fsBold);
}

TEST_F(ComboHost, AFlatComboShowsItsParentsColourWhileDisabled)
{
    combo->SetColor(clCream);
    combo->SetFlatParentColor(false);
    combo->SetFlat(true);
    combo->SetColor(clCream);
    combo->SetEnabled(false);
    EXPECT_TRUE(combo->ParentColor());
    EXPECT_EQ(combo->Color(), detail::WidgetColor(window.get()));
    combo->SetEnabled(true);
    EXPECT_FALSE(combo->ParentColor());
    EXPECT_EQ(combo->Color(), clCream);
}

TEST_F(ComboHost, TheButtonIsHoveredOnlyOverItsStrip)
{
    combo->SetButtonWidth(20);
    QWidget* inner = combo->ComboWidget();
    auto move = [&](int x) {
        const QPointF at(x, 5);
        QMouseEvent e(QEvent::MouseMove, at, inner->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(inner, &e);
    };
    move(combo->Width() - 5);
    EXPECT_TRUE(combo->ButtonHover());
    move(combo->Width() - 20);  // on the edge: not yet
    EXPECT_FALSE(combo->ButtonHover());
    move(combo->Width() - 19);
    EXPECT_TRUE(combo->ButtonHover());
    move(10);
    EXPECT_FALSE(combo->ButtonHover());
}

TEST_F(ComboHost, ButtonAndBorderColoursArePaintedOverThePlatformsPicture)
{
    EXPECT_FALSE(combo->CustomPainting());
    combo->SetButtonColor(clRed);
    combo->SetBorderColor(clBlue);
    EXPECT_TRUE(combo->CustomPainting());
    QWidget* inner = combo->ComboWidget();
    const int bw = combo->ButtonWidth();
    EXPECT_EQ(PixelAt(inner, 0, inner->height() / 2), clBlue);
    EXPECT_EQ(PixelAt(inner, inner->width() / 2, 0), clBlue);
    EXPECT_EQ(PixelAt(inner, combo->Width() - bw + 5, 5), clRed);
    // Hovered without a hot colour of its own: still the button colour.
    const QPointF over(combo->Width() - 3, 5);
    QMouseEvent move(QEvent::MouseMove, over, inner->mapToGlobal(over), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(inner, &move);
    ASSERT_TRUE(combo->ButtonHover());
    EXPECT_EQ(PixelAt(inner, combo->Width() - bw + 5, 5), clRed);
    combo->SetButtonColorHot(clGreen);
    EXPECT_EQ(PixelAt(inner, combo->Width() - bw + 5, 5), clGreen);
    // With IsVista the platform paints unless a button colour is set.
    combo->SetIsVista(true);
    EXPECT_TRUE(combo->CustomPainting());
    combo->SetButtonColor(clNone);
    combo->SetButtonColorHot(clNone);
    EXPECT_FALSE(combo->CustomPainting());
}

TEST_F(ComboHost, AFocusBorderColourFramesOnlyTheFocusedCombo)
{
    other->SetFocus();
    Settle();
    combo->SetFocusBorderColor(clLime);
    QWidget* inner = combo->ComboWidget();
    EXPECT_FALSE(combo->CustomPainting());
    combo->SetFocus();
    Settle();
    ASSERT_TRUE(combo->hasFocus());
    EXPECT_TRUE(combo->CustomPainting());
    EXPECT_EQ(PixelAt(inner, 0, inner->height() / 2), clLime);
}

// ---------------------------------------------------------------------------
// The width of the grid combo's dropped list
// ---------------------------------------------------------------------------

namespace {

// Item widths as a table gives them, in place of the grid canvas's measure.
class MeasuredCombo : public TGridCombo
{
public:
    using TGridCombo::TGridCombo;
    std::map<QString, int> widths;

protected:
    int ItemTextWidth(const QString& text) override { return widths.at(text); }
};

} // namespace

TEST(GridComboDropWidth, WidestItemDecidesAsTheScrollBarNeedsRoom)
{
    struct Case
    {
        const char* name;
        int itemCount;        // items in the list (DropDownCount is 8)
        int widestItem;       // the one item measured this wide; the others 50
        int expectedWidth;
    };
    const Case cases[] = {
        {"long list, 200-pixel item", 10, 200, 225},
        {"short list, 200-pixel item", 3, 200, 208},
        {"short list, items fit", 3, 145, 150},
        {"short list, just over", 3, 146, 154},
        {"long list, items fit", 10, 125, 150},
        {"long list, just over", 10, 126, 151},
    };
    TExStringGrid grid;
    for (const Case& c : cases) {
        MeasuredCombo combo(&grid);
        combo.SetBounds(0, 0, 150, 0);
        for (int i = 0; i < c.itemCount; ++i) {
            const QString text = QStringLiteral("item %1").arg(i);
            combo.AddItem(text);
            combo.widths[text] = i == 1 ? c.widestItem : 50;
        }
        combo.SizeDropDownWidth();
        EXPECT_EQ(combo.DroppedWidth(), c.expectedWidth) << c.name;
        EXPECT_EQ(combo.Width(), 150) << c.name;
    }
}

TEST(GridComboDefaults, AsTheGridMakesIt)
{
    TExStringGrid grid;
    TGridCombo combo(&grid);
    EXPECT_EQ(combo.ButtonWidth(), 16);
    EXPECT_TRUE(combo.WorkMode);
    EXPECT_FALSE(combo.ItemChange);
    EXPECT_FALSE(combo.Forced);
    EXPECT_EQ(combo.Grid(), &grid);
    EXPECT_FALSE(combo.Visible());
    EXPECT_THROW(TGridCombo(nullptr), std::invalid_argument);
}
