// Cell hints of the string grid: the application's hint per cell, cell texts
// as hints, comments, the HTML hint window, and the end of a hint when the
// pointer moves on.

#include "grid/ExGridInputTestSupport.h"
#include "grid/ExGrid_Windows.h"

#include <QGuiApplication>
#include <QScreen>

#include <vector>

namespace {

using inputtest::CellCentre;
using inputtest::HintAt;
using inputtest::Move;

struct HintFixture : inputtest::InputFixture
{
    void SetUp() override
    {
        inputtest::InputFixture::SetUp();
        grid->SetOptions(grid->Options() & ~platform::goEditing);
        grid->SetShowHint(true);
    }
    QString ShownHint() { return grid->CellHintWindow() ? grid->CellHintText() : QString(); }
    bool HTMLWindowShown() { return dynamic_cast<THTMLHintWindow*>(grid->CellHintWindow()) != nullptr; }
    QPoint OnScreen(int x, int y) { return grid->ClientSurface()->mapToGlobal(QPoint(x, y)); }

    // The hint window shows the text with its top-left at a client point.
    void ExpectHintAt(const QString& text, int x, int y)
    {
        EXPECT_EQ(ShownHint(), text);
        QWidget* window = grid->CellHintWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->geometry().topLeft(), OnScreen(x, y));
    }
};

TEST_F(HintFixture, HintOfACellIsTheAnswerOfOnGridHintRowFirst)
{
    std::vector<std::pair<int, int>> asked;
    grid->OnGridHint = [&](QObject*, int aRow, int aCol, QString& hint) {
        asked.emplace_back(aRow, aCol);
        hint = QStringLiteral("row %1, column %2").arg(aRow).arg(aCol);
    };
    HintAt(grid, CellCentre(grid, 3, 2));
    EXPECT_EQ(ShownHint(), QStringLiteral("row 2, column 3"));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::make_pair(2, 3));
    EXPECT_EQ(grid->LastHintPos(), (platform::TPoint{3, 2}));
    EXPECT_FALSE(HTMLWindowShown()) << "plain text goes to the platform's hint window";
}

TEST_F(HintFixture, NoHintWhileShowHintIsOff)
{
    grid->OnGridHint = [](QObject*, int, int, QString& hint) { hint = QStringLiteral("text"); };
    grid->SetShowHint(false);
    HintAt(grid, CellCentre(grid, 2, 2));
    EXPECT_EQ(grid->CellHintWindow(), nullptr);
}

TEST_F(HintFixture, NoHintWhenNothingIsAnswered)
{
    grid->SetCells(2, 2, QStringLiteral("text"));
    HintAt(grid, CellCentre(grid, 2, 2));
    EXPECT_EQ(grid->CellHintWindow(), nullptr);
}

struct CellTextCase
{
    const char* name;
    QString text;
    bool htmlHint;
    QString expected;
    bool htmlWindow;
};

TEST_F(HintFixture, HintShowCellsShowsTheCellTextWithoutTagsUnlessHTMLHint)
{
    grid->SetHintShowCells(true);
    const std::vector<CellTextCase> cases = {
        {"plain text", QStringLiteral("plain"), false, QStringLiteral("plain"), false},
        {"tags stripped", QStringLiteral("<b>x</b>"), false, QStringLiteral("x"), false},
        {"tags kept and rendered", QStringLiteral("<b>x</b>"), true, QStringLiteral("<b>x</b>"), true},
    };
    for (const CellTextCase& c : cases) {
        SCOPED_TRACE(c.name);
        grid->SetHTMLHint(c.htmlHint);
        grid->SetCells(2, 3, c.text);
        HintAt(grid, CellCentre(grid, 2, 3));
        EXPECT_EQ(ShownHint(), c.expected);
        EXPECT_EQ(HTMLWindowShown(), c.htmlWindow);
        grid->CancelCellHint();
    }
}

TEST_F(HintFixture, HTMLHintWindowIsLaidOutAtTheCellTop)
{
    grid->SetHintShowCells(true);
    grid->SetHTMLHint(true);
    grid->SetCells(2, 3, QStringLiteral("<b>bold</b>"));
    HintAt(grid, CellCentre(grid, 2, 3));
    auto* window = dynamic_cast<THTMLHintWindow*>(grid->CellHintWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->geometry().topLeft(), OnScreen(CellCentre(grid, 2, 3).x(), grid->CellRect(2, 3).Top));
    // Text size plus 16 px across and 4 px down for the HTML text.
    EXPECT_EQ(window->width(), window->TextWidth() + 16);
    EXPECT_EQ(window->height(), window->TextHeight() + 4);
    EXPECT_GT(window->TextWidth(), 0);
}

TEST_F(HintFixture, HeaderCellsGetNoCellTextButOnGridHintStillDecides)
{
    grid->SetHintShowCells(true);
    grid->SetCells(2, 0, QStringLiteral("Header"));
    grid->SetCells(0, 2, QStringLiteral("Row header"));
    HintAt(grid, CellCentre(grid, 2, 0));
    EXPECT_EQ(grid->CellHintWindow(), nullptr);
    HintAt(grid, CellCentre(grid, 0, 2));
    EXPECT_EQ(grid->CellHintWindow(), nullptr);

    grid->OnGridHint = [](QObject*, int aRow, int aCol, QString& hint) {
        if (aRow == 0)
            hint = QStringLiteral("explains column %1").arg(aCol);
    };
    HintAt(grid, CellCentre(grid, 2, 0));
    EXPECT_EQ(ShownHint(), QStringLiteral("explains column 2"));
}

TEST_F(HintFixture, CommentShowsAtTheTopRightCorner)
{
    grid->AddComment(2, 2, QStringLiteral("a note"));
    HintAt(grid, CellCentre(grid, 2, 2));
    const platform::TRect r = grid->CellRect(2, 2);
    ExpectHintAt(QStringLiteral("a note"), r.Right, r.Top);
}

TEST_F(HintFixture, EmptyWideHintKeepsTheHintAndAWideOneReplacesIt)
{
    grid->OnGridHint = [](QObject*, int, int, QString& hint) { hint = QStringLiteral("narrow"); };
    grid->OnGridWideHint = [](QObject*, int, int, QString&) {};
    HintAt(grid, CellCentre(grid, 1, 1));
    EXPECT_EQ(ShownHint(), QStringLiteral("narrow"));

    grid->CancelCellHint();
    grid->OnGridWideHint = [](QObject*, int, int, QString& hint) { hint = QStringLiteral("wide \u00e9"); };
    HintAt(grid, CellCentre(grid, 1, 1));
    EXPECT_EQ(ShownHint(), EncodeWideText(QStringLiteral("wide \u00e9")));
    EXPECT_TRUE(HTMLWindowShown()) << "wide text needs the grid's own window";
}

TEST_F(HintFixture, MovingToAnotherCellCancelsTheHint)
{
    grid->OnGridHint = [](QObject*, int aRow, int aCol, QString& hint) {
        hint = QStringLiteral("%1/%2").arg(aRow).arg(aCol);
    };
    const QPoint first = CellCentre(grid, 2, 2);
    Move(grid, first);
    HintAt(grid, first);
    ASSERT_NE(grid->CellHintWindow(), nullptr);
    Move(grid, first + QPoint(3, 2));
    EXPECT_NE(grid->CellHintWindow(), nullptr) << "moving inside the cell keeps it";
    Move(grid, CellCentre(grid, 3, 2));
    EXPECT_EQ(grid->CellHintWindow(), nullptr);
    EXPECT_EQ(grid->LastHintPos(), (platform::TPoint{-1, -1}));
    // Resting on the new cell asks again.
    HintAt(grid, CellCentre(grid, 3, 2));
    EXPECT_EQ(ShownHint(), QStringLiteral("2/3"));
}

TEST_F(HintFixture, HintMaxWidthOfTheControlLookLimitsThePlainHint)
{
    grid->ControlLook().SetHintMaxWidth(60);
    grid->OnGridHint = [](QObject*, int, int, QString& hint) {
        hint = QStringLiteral("a few short words to wrap in a row here");
    };
    HintAt(grid, CellCentre(grid, 2, 2));
    QWidget* window = grid->CellHintWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_LE(window->width(), 60 + 6);
}

TEST_F(HintFixture, TextLargerThanItsCellIsShownOverTheCell)
{
    grid->SetHintShowLargeText(true);
    grid->SetColWidths(2, 30);
    grid->SetCells(2, 2, QStringLiteral("a text much wider than thirty pixels"));
    grid->SetCells(3, 2, QStringLiteral("ok"));
    HintAt(grid, CellCentre(grid, 3, 2));
    EXPECT_EQ(grid->CellHintWindow(), nullptr) << "a text that fits needs no hint";
    HintAt(grid, CellCentre(grid, 2, 2));
    const platform::TRect r = grid->CellRect(2, 2);
    ExpectHintAt(QStringLiteral("a text much wider than thirty pixels"), r.Left, r.Top);
}

TEST_F(HintFixture, LinkHintIsItsTitleThroughOnAnchorHint)
{
    grid->SetAnchorHint(true);
    grid->SetColWidths(2, 300);
    grid->SetCells(2, 2, QStringLiteral("<a href=\"http://example.org\" title=\"Example\">WWWWWWWWWWWWWWWW</a>"));
    QString seen;
    grid->OnAnchorHint = [&](QObject*, int, int, QString& anchor) {
        seen = anchor;
        anchor = QStringLiteral("Go to ") + anchor;
    };
    const platform::TRect r = grid->CellRect(2, 2);
    HintAt(grid, QPoint(r.Left + 8, (r.Top + r.Bottom) / 2));
    EXPECT_EQ(seen, QStringLiteral("Example"));
    EXPECT_EQ(ShownHint(), QStringLiteral("Go to Example"));
}

TEST(HTMLHintWindowTest, StaysTwoPixelsInsideTheMonitor)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect area = screen->geometry();
    THTMLHintWindow window;
    const QString text = QStringLiteral("<b>a hint near the edge of the screen</b>");
    window.ActivateHint(platform::Rect(area.right() - 10, area.bottom() - 5, area.right(), area.bottom()), text);
    EXPECT_EQ(window.geometry().right() + 1, area.right() + 1 - 2);
    EXPECT_EQ(window.geometry().bottom() + 1, area.bottom() + 1 - 2);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.HintText(), text);
}

TEST(HTMLHintWindowTest, MeasuresTheTextAlone)
{
    THTMLHintWindow window;
    const platform::TRect plain = window.CalcHintRect(1000, QStringLiteral("abc"));
    const platform::TRect bold = window.CalcHintRect(1000, QStringLiteral("<b>abcabc</b>"));
    EXPECT_EQ(plain.Left, 0);
    EXPECT_EQ(plain.Top, 0);
    EXPECT_GT(plain.Width(), 0);
    EXPECT_GT(bold.Width(), plain.Width());
    EXPECT_EQ(bold.Height(), plain.Height());
}

} // namespace
