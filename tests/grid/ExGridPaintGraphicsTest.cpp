// Cell graphic objects and their painting: check boxes in the looks the
// windows use, radio groups, ratings, progress bars and comment marks.
#include "GridPaintTestSupport.h"

#include "platform/Themes.h"
#include "widgets/ExUtil.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <optional>

using namespace platform;
using namespace gridpaint;
using widgettest::Count;

namespace {

// The tick of the program's XP check box: green when enabled, grey when not.
bool XPTick(QColor c) { return c.green() > 140 && c.red() < 60 && c.blue() < 60; }
bool XPTickDisabled(QColor c) { return c.red() == 202 && c.green() == 200 && c.blue() == 187; }
// The frame of the enabled XP check box.
bool XPFrame(QColor c) { return c.red() == 28 && c.green() == 81 && c.blue() == 128; }

struct ColumnGridBoxes : ::testing::Test
{
    VOruVizizaZezo grid;
    void SetUp() override
    {
        grid.resize(400, 250);
        grid.SetColCount(4);
        grid.SetRowCount(8);
        grid.Columns().GetItem(1)->SetEditor(edDataCheckBox);
        grid.ControlLook().SetControlStyle(csWinXP);
        grid.SetCol(3);
        grid.SetRow(7);
    }
    QRect Cell(int c, int r) { return ToQ(grid.CellRect(c, r)); }
};

struct StringGridGraphics : ::testing::Test
{
    TestGrid grid;
    void SetUp() override
    {
        TRegionalSettings rs;
        rs.DecimalSeparator = u'.';
        rs.DateSeparator = u'/';
        rs.TimeSeparator = u':';
        rs.ShortDateFormat = QStringLiteral("dd/MM/yyyy");
        SetRegionalSettingsOverride(rs);
        grid.resize(420, 300);
        grid.SetColCount(4);
        grid.SetRowCount(6);
        grid.SetDefaultColWidth(100);
        grid.SetCol(3);
        grid.SetRow(5);
    }
    void TearDown() override { SetRegionalSettingsOverride(std::nullopt); }
    QRect Cell(int c, int r) { return ToQ(grid.CellRect(c, r)); }
};

} // namespace

// ---------------------------------------------------------------------------
// Check boxes
// ---------------------------------------------------------------------------

TEST_F(ColumnGridBoxes, DataCheckBoxesAreCheckedByTheCheckTrueTextOnly)
{
    const struct
    {
        const char* text;
        bool checked;
    } cases[] = {{"Y", true}, {"N", false}, {"y", false}, {"", false}, {"yes", false}};
    for (int i = 0; i < 5; ++i)
        grid.SetCellEx(1, i + 1, QString::fromLatin1(cases[i].text));
    const QImage img = Client(grid);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Count(img, XPTick, Cell(1, i + 1)) > 0, cases[i].checked) << cases[i].text;
        // The box is there in every body cell; its text is not shown.
        EXPECT_GT(Count(img, XPFrame, Cell(1, i + 1)), 20) << cases[i].text;
        EXPECT_TRUE(InkIn(img, grid.CellRect(1, i + 1)).isEmpty() || Count(img, XPFrame, Cell(1, i + 1)) > 0);
    }
    // The header cell of the column holds no box.
    EXPECT_EQ(Count(img, XPFrame, Cell(1, 0)), 0);
    // A column with other check texts.
    grid.Columns().GetItem(1)->SetCheckTrue(QStringLiteral("1"));
    grid.SetCellEx(1, 2, QStringLiteral("1"));
    EXPECT_GT(Count(Client(grid), XPTick, Cell(1, 2)), 0);
}

TEST_F(ColumnGridBoxes, ReadOnlyCellsShowTheDisabledBoxUnlessAlwaysActive)
{
    grid.SetCellEx(1, 1, QStringLiteral("Y"));
    grid.Columns().GetItem(1)->SetReadOnly(true);
    QImage img = Client(grid);
    EXPECT_EQ(Count(img, XPTick, Cell(1, 1)), 0);
    EXPECT_GT(Count(img, XPTickDisabled, Cell(1, 1)), 8);
    grid.ControlLook().SetCheckAlwaysActive(true);
    EXPECT_GT(Count(Client(grid), XPTick, Cell(1, 1)), 8);
    grid.ControlLook().SetCheckAlwaysActive(false);
    grid.ControlLook().SetNoDisabledCheckRadioLook(true);
    EXPECT_GT(Count(Client(grid), XPTick, Cell(1, 1)), 8);
}

TEST_F(ColumnGridBoxes, ADataCheckBoxIsCentredInACentredCell)
{
    grid.Columns().GetItem(1)->SetAlignment(taCenter);
    grid.SetCellEx(1, 1, QStringLiteral("Y"));
    const QImage img = Client(grid);
    const QRect box = widgettest::Bounding(img, XPFrame, Cell(1, 1));
    const QRect cell = Cell(1, 1);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_LE(std::abs(box.center().x() - cell.center().x()), 2);
}

TEST_F(ColumnGridBoxes, ClassicBoxesAndTheThemeLookWithoutVisualStyles)
{
    grid.SetCellEx(1, 1, QStringLiteral("Y"));
    grid.SetCellEx(1, 2, QStringLiteral("N"));
    grid.ControlLook().SetControlStyle(csClassic);
    const QImage classic = Client(grid);
    // A sunken window-coloured square with a dark tick when checked.
    auto window = [](QColor c) { return Near(c, clWindow); };
    const QRect inside = widgettest::Bounding(classic, window, Cell(1, 2));
    EXPECT_GE(inside.width(), 11);
    EXPECT_GT(Count(classic, [](QColor c) { return Near(c, clWindowText); }, Cell(1, 1)), 8);
    EXPECT_EQ(Count(classic, [](QColor c) { return Near(c, clWindowText); }, Cell(1, 2)), 0);
    grid.ControlLook().SetControlStyle(csTheme);
    SetThemesActive(false);
    const QImage themeless = Client(grid);
    SetThemesActive(true);
    EXPECT_EQ(themeless.copy(Cell(1, 1)), classic.copy(Cell(1, 1)));
    EXPECT_EQ(themeless.copy(Cell(1, 2)), classic.copy(Cell(1, 2)));
}

TEST_F(StringGridGraphics, ACheckBoxWithTextSitsLeftOfTheCentredText)
{
    grid.SetOptions(grid.Options() | goEditing);
    grid.ControlLook().SetControlStyle(csWinXP);
    TCellGraphic* g = grid.NewCellGraphic(1, 1);
    ASSERT_NE(g, nullptr);
    g->CellType = ctCheckBox;
    g->CellBoolean = true;
    g->CellHAlign = haBeforeText;
    grid.SetCellEx(1, 1, QStringLiteral("MMM"));
    grid.SetAlignments(1, 1, taCenter);
    const QImage img = Client(grid);
    const QRect box = widgettest::Bounding(img, XPFrame, Cell(1, 1));
    ASSERT_FALSE(box.isEmpty());
    // The box's frame is dark too: the text is looked for right of it.
    QRect textArea = Cell(1, 1);
    textArea.setLeft(box.right() + 1);
    const QRect text = widgettest::Bounding(img, Ink, textArea);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_LT(box.right(), text.left());
    // The text is centred in what the box leaves of the cell (15 pixels less).
    EXPECT_NEAR(text.center().x() - Cell(1, 1).center().x(), 15 / 2, 2);
    EXPECT_GT(Count(img, XPTick, Cell(1, 1)), 8);
    // Without editing the grid's boxes look disabled.
    grid.SetOptions(grid.Options() & ~goEditing);
    EXPECT_EQ(Count(Client(grid), XPTick, Cell(1, 1)), 0);
}

// ---------------------------------------------------------------------------
// Radio groups, ratings, progress, comments
// ---------------------------------------------------------------------------

TEST_F(StringGridGraphics, ARadioGroupWithoutIndexMarksTheItemOfTheCellText)
{
    grid.SetRowHeights(1, 60);
    grid.ControlLook().SetControlStyle(csWinXP);
    TCellGraphic* g = grid.NewCellGraphic(1, 1);
    g->CellType = ctRadio;
    g->Strings = new QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")};
    g->CellCreated = true;
    g->CellIndex = -1;
    grid.SetCellEx(1, 1, QStringLiteral("two"));
    grid.SetOptions(grid.Options() | goEditing);
    const QImage img = Client(grid);
    const QRect cell = Cell(1, 1);
    const QRect dots = widgettest::Bounding(img, XPTick, cell);
    ASSERT_FALSE(dots.isEmpty());
    // Items are 16 pixels apart from the top: the dot is in the second one.
    const int item = (dots.center().y() - (cell.top() + 1)) / 16;
    EXPECT_EQ(item, 1);
}

TEST_F(StringGridGraphics, RatingsShowFullHalfAndEmptyStars)
{
    grid.AddRating(1, 1, 3, clRed, clSilver);
    auto red = [](QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
    auto redFor = [&](const char* value) {
        grid.SetCellEx(1, 1, QString::fromLatin1(value));
        return Count(Client(grid), red, Cell(1, 1));
    };
    const int oneAndHalf = redFor("1.5");
    const int one = redFor("1.25");
    const int three = redFor("3.9");
    EXPECT_GT(one, 20);
    EXPECT_EQ(redFor("1.75"), oneAndHalf);
    EXPECT_GT(oneAndHalf, one + 5);
    EXPECT_LT(oneAndHalf, 2 * one);
    EXPECT_NEAR(three, 3 * one, 3);
    EXPECT_EQ(redFor("0"), 0);
}

TEST_F(StringGridGraphics, AnXPProgressBarWithAnEmptyRangeShowsNothingDone)
{
    auto done = [](QColor c) { return c.green() > 200 && c.red() < 60 && c.blue() < 120; };
    grid.AddExProgress(1, 1, 0, 10);
    grid.SetCellEx(1, 1, QStringLiteral("5"));
    EXPECT_GT(Count(Client(grid), done, Cell(1, 1)), 10);
    // Minimum equal to maximum: no division by an empty range, 0 % done.
    grid.AddExProgress(1, 1, 5, 5);
    EXPECT_EQ(Count(Client(grid), done, Cell(1, 1)), 0);
}

TEST_F(StringGridGraphics, ACommentMarksTheTopRightCorner)
{
    grid.AddComment(2, 2, QStringLiteral("note"));
    const QImage img = Client(grid);
    auto red = [](QColor c) { return Near(c, clRed); };
    const QRect mark = widgettest::Bounding(img, red, Cell(2, 2));
    ASSERT_FALSE(mark.isEmpty());
    const QRect cell = Cell(2, 2);
    EXPECT_GE(mark.top(), cell.top());
    EXPECT_LE(mark.top(), cell.top() + 2);
    EXPECT_GT(mark.left(), cell.center().x());
    EXPECT_EQ(Count(img, red, Cell(2, 1)), 0);
}

// ---------------------------------------------------------------------------
// The object model of the kinds
// ---------------------------------------------------------------------------

TEST_F(StringGridGraphics, KindsAndTheirOperations)
{
    EXPECT_EQ(grid.GetCellType(2, 2), ctEmpty);
    EXPECT_EQ(grid.GetCellType(-1, 2), ctEmpty);
    grid.AddComment(2, 2, QStringLiteral("c"));
    QString comment;
    EXPECT_TRUE(grid.IsComment(2, 2, comment));
    EXPECT_EQ(comment, QStringLiteral("c"));
    TBitmap bmp(4, 4);
    grid.AddBitmap(2, 2, &bmp, false, haLeft, vaTop);
    EXPECT_TRUE(grid.HasBitmap(2, 2));
    EXPECT_EQ(grid.GetComment(2, 2), QString());
    EXPECT_EQ(grid.GetBitmap(2, 2), &bmp);

    int angle = 0;
    grid.AddRotated(1, 1, -90, QStringLiteral("r"));
    EXPECT_TRUE(grid.IsRotated(1, 1, angle));
    EXPECT_EQ(angle, 270);
    grid.AddRotated(1, 1, 720, QStringLiteral("r"));
    grid.IsRotated(1, 1, angle);
    EXPECT_EQ(angle, 360);

    TCellGraphic* box = grid.NewCellGraphic(3, 1);
    box->CellType = ctCheckBox;
    grid.AddBalloon(3, 1, QStringLiteral("Title"), QStringLiteral("Text"), 1);
    QString title, text;
    int icon = 0;
    EXPECT_EQ(grid.GetCellType(3, 1), ctCheckBox);
    EXPECT_TRUE(grid.IsBalloon(3, 1, title, text, icon));
    EXPECT_EQ(title, QStringLiteral("Title"));
    EXPECT_EQ(text, QStringLiteral("Text"));
    grid.RemoveBalloon(3, 1);
    EXPECT_EQ(grid.GetCellType(3, 1), ctCheckBox);
    EXPECT_FALSE(grid.IsBalloon(3, 1, title, text, icon));

    EXPECT_EQ(grid.GetShapeColor(1, 2), clNone);
    grid.AddShape(1, 2, csCircle, clLime, clBlack, haCenter, vaCenter);
    EXPECT_EQ(grid.GetShapeColor(1, 2), clLime);

    grid.AddProgress(1, 3, clBlue, clWhite);
    grid.AddMarker(1, 3, 2, 3);
    int pos = 0, len = 0;
    grid.GetMarker(1, 3, pos, len);
    EXPECT_EQ(pos, 2);
    grid.RemoveMarker(1, 3);
    EXPECT_TRUE(grid.HasProgress(1, 3));
    grid.GetMarker(1, 3, pos, len);
    EXPECT_EQ(len, 0);
    grid.AddMarker(2, 3, 1, 1);
    EXPECT_EQ(grid.GetCellType(2, 3), ctEmpty);
    grid.RemoveMarker(2, 3);
    EXPECT_EQ(grid.GetCellGraphic(2, 3), nullptr);

    // Image kinds need the grid's image list.
    grid.AddImageIdx(2, 4, 0, haLeft, vaTop);
    EXPECT_EQ(grid.GetCellGraphic(2, 4), nullptr);
    TImageList images(8, 8);
    grid.SetGridImages(&images);
    grid.AddImageIdx(2, 4, 3, haLeft, vaTop);
    int idx = -1;
    EXPECT_TRUE(grid.GetImageIdx(2, 4, idx));
    EXPECT_EQ(idx, 3);
    grid.SetGridImages(nullptr);
}

TEST_F(StringGridGraphics, PictureSizesFollowTheStretchMode)
{
    QImage picture(100, 50, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    TCellPicture* p = grid.CreatePicture(1, 1, false, TStretchMode::StretchWithAspectRatio, 0, haLeft, vaTop);
    ASSERT_NE(p, nullptr);
    p->LoadFromStream(&bytes);
    EXPECT_EQ(grid.GetPictureSize(1, 1, 50, 50, false), (TSize{50, 25}));
    const struct
    {
        TStretchMode mode;
        int w, h;
        TSize expected;
    } cases[] = {
        {TStretchMode::noStretch, 50, 50, {100, 50}},
        {TStretchMode::Stretch, 50, 50, {50, 50}},
        {TStretchMode::Shrink, 200, 100, {100, 50}},
        {TStretchMode::Shrink, 50, 100, {50, 100}},
        {TStretchMode::ShrinkWithAspectRatio, 200, 100, {100, 50}},
        {TStretchMode::ShrinkWithAspectRatio, 50, 100, {50, 25}},
    };
    for (const auto& c : cases) {
        grid.GetCellGraphic(1, 1)->CellAngle = static_cast<int>(c.mode);
        EXPECT_EQ(grid.GetPictureSize(1, 1, c.w, c.h, false), c.expected) << static_cast<int>(c.mode);
    }
    // Padding comes off the area first.
    grid.GetCellGraphic(1, 1)->CellAngle = static_cast<int>(TStretchMode::Stretch);
    grid.GetCellGraphic(1, 1)->CellIndex = 4;
    EXPECT_EQ(grid.GetPictureSize(1, 1, 50, 50, false), (TSize{46, 46}));
}

namespace {

// An application object that paints a blue square and asks for 10 x 10.
class BlueSquare : public TPersistent, public ICellGraphic
{
public:
    int CellGraphicWidth() override { return 10; }
    int CellGraphicHeight() override { return 10; }
    void DrawCellGraphic(TCanvas& canvas, const TRect& r, TExStringGrid*, bool, int, int) override
    {
        canvas.Brush().SetColor(clBlue);
        canvas.FillRect(Bounds(r.Left + 2, r.Top + 2, 10, 10));
        ++draws;
    }
    int draws = 0;
};

} // namespace

TEST_F(StringGridGraphics, EveryKindPaintsInsideItsCell)
{
    grid.SetRowCount(12);
    grid.SetColCount(4);
    grid.resize(460, 420);
    grid.SetDefaultRowHeight(28);
    TImageList images(8, 8);
    TBitmap strip(16, 8);
    strip.Canvas().Brush().SetColor(clLime);
    strip.Canvas().FillRect(Rect(0, 0, 16, 8));
    images.Add(strip);
    grid.SetGridImages(&images);
    BlueSquare square;
    grid.AddButton(1, 1, 60, 20, QStringLiteral("Push"), haLeft, vaTop);
    grid.AddProgress(2, 1, clBlue, clWhite);
    grid.SetCellEx(2, 1, QStringLiteral("40"));
    grid.AddProgressPie(3, 1, clRed, 30);
    grid.AddRangeIndicator(1, 2, 10, clRed, clBlue, true);
    grid.SetCellEx(1, 2, QStringLiteral("-4"));
    grid.AddShape(2, 2, csDiamond, clYellow, clBlack, haCenter, vaCenter);
    grid.AddRotated(3, 2, 90, QStringLiteral("Up"));
    grid.AddImageIdx(1, 3, 1, haLeft, vaTop);
    grid.AddMultiImage(2, 3, 0, haLeft, vaTop);
    grid.GetCellImages(2, 3)->Add(0);
    grid.GetCellImages(2, 3)->Add(1);
    grid.AddDataImage(3, 3, 0, haLeft, vaTop); // the empty cell takes 0 as its value
    grid.AddInterfacedCell(1, 4, &square);
    TBitmap* glyph = grid.CreateBitButton(2, 4, 60, 22, QStringLiteral("Go"), haLeft, vaTop);
    glyph->SetSize(8, 8);
    TBitmap* bmp = grid.CreateBitmap(3, 4, true, haCenter, vaCenter);
    bmp->SetSize(6, 6);
    bmp->Canvas().Brush().SetColor(clFuchsia);
    bmp->Canvas().FillRect(Rect(0, 0, 6, 6));
    bmp->Canvas().SetPixel(0, 5, clWhite); // the see-through colour of a transparent bitmap
    TCellGraphic* radio = grid.NewCellGraphic(1, 5);
    radio->CellType = ctRadioButton;
    radio->CellBoolean = true;
    TCellGraphic* tri = grid.NewCellGraphic(2, 5);
    tri->CellType = ctTriStateCheckBox;
    tri->CellCheckBoxState = cbGrayed;
    grid.AddScrollBar(3, 5, false);
    grid.SetScrollProp(3, 5, 10, 100);
    TCellGraphic* expand = grid.NewCellGraphic(1, 6);
    expand->CellType = ctExpand;
    grid.AddBalloon(2, 6, QStringLiteral("t"), QStringLiteral("b"), 0);
    grid.SetCellEx(3, 6, QStringLiteral("abc"));
    grid.AddMarker(3, 6, 1, 2);

    const QImage img = Client(grid);
    auto differs = [&](int c, int r) {
        return Count(img, [&](QColor q) { return !Near(q, grid.Color()); }, Cell(c, r).adjusted(1, 1, -2, -2));
    };
    for (int r = 1; r <= 6; ++r) {
        for (int c = 1; c <= 3; ++c) {
            if (!(r == 6 && c == 2)) { // a balloon has no picture
                EXPECT_GT(differs(c, r), 4) << c << "," << r;
            }
        }
    }
    EXPECT_EQ(square.draws, 1);
    EXPECT_GT(Count(img, [](QColor q) { return Near(q, clLime); }, Cell(2, 3)), 100); // two images
    EXPECT_EQ(Count(img, [](QColor q) { return Near(q, clFuchsia); }, Cell(3, 4)), 35);
    // The button keeps where it was drawn for the mouse.
    const TRect button = grid.CalcCellButtonRect(1, 1);
    EXPECT_EQ(button.Width(), 60);
    EXPECT_EQ(button.Height(), 20);
    EXPECT_TRUE(PtInRect(grid.CellRect(1, 1), Point(button.Left, button.Top)));
    grid.SetGridImages(nullptr);
    grid.RemoveInterfacedCell(1, 4);
}

TEST_F(StringGridGraphics, MailLikeRowSelectionShowsRowCheckBoxesInColumnZero)
{
    grid.MouseActions().SetHotmailRowSelect(true);
    EXPECT_EQ(grid.GetCellType(0, 2), ctRowCheckBox);
    EXPECT_EQ(grid.GetCellType(1, 2), ctEmpty);
    grid.SetRowSelect(2, true);
    EXPECT_TRUE(grid.GetCellGraphic(0, 2)->CellBoolean);
    EXPECT_FALSE(grid.GetCellGraphic(0, 3)->CellBoolean);
    // The header box is partly checked while some rows are selected.
    TCellGraphic* header = grid.GetCellGraphic(0, 0);
    EXPECT_FALSE(header->CellBoolean);
    EXPECT_EQ(header->CellAngle, 1);
    for (int r = 1; r < grid.RowCount(); ++r)
        grid.SetRowSelect(r, true);
    header = grid.GetCellGraphic(0, 0);
    EXPECT_TRUE(header->CellBoolean);
    EXPECT_EQ(header->CellAngle, 0);
    // The shared object is never attached to a cell.
    EXPECT_FALSE(grid.RemoveCellGraphic(0, 2));
    Client(grid); // and paints
}
