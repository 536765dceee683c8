// The hint window class the grid's hints are shown in: UseHTMLHints makes it
// the application's, and the HTML hint window casts a drop shadow.
#include "grid/ExGridInputTestSupport.h"
#include "grid/ExGrid_Windows.h"

#include "platform/HintWindow.h"

#include <QImage>

using namespace platform;
using namespace inputtest;

namespace {

struct HintClassFixture : InputFixture
{
    void SetUp() override
    {
        InputFixture::SetUp();
        grid->SetOptions(grid->Options() & ~goEditing);
        grid->SetShowHint(true);
    }
    void TearDown() override
    {
        // The class is the application's: the next test starts plain.
        grid->SetUseHTMLHints(false);
        InputFixture::TearDown();
    }
    void AnswerHint(const QString& text)
    {
        grid->OnGridHint = [text](QObject*, int, int, QString& hint) { hint = text; };
    }
    bool HTMLWindowShown() { return dynamic_cast<THTMLHintWindow*>(grid->CellHintWindow()) != nullptr; }
};

bool MadeHTMLWindow()
{
    std::unique_ptr<THintWindow> window(CreateHintWindow(nullptr));
    return dynamic_cast<THTMLHintWindow*>(window.get()) != nullptr;
}

} // namespace

TEST_F(HintClassFixture, UseHTMLHintsSwitchesTheApplicationsHintWindowClass)
{
    struct Case
    {
        const char* name;
        bool useHTMLHints;
        QString hint;
        bool htmlWindow;
    } cases[] = {
        {"plain text, plain class", false, QStringLiteral("plain"), false},
        {"plain text, HTML class", true, QStringLiteral("plain"), true},
        {"HTML text needs the grid's own window", false, QStringLiteral("<b>x</b>"), true},
        {"back to plain", false, QStringLiteral("plain"), false},
    };
    for (const Case& c : cases) {
        grid->SetUseHTMLHints(c.useHTMLHints);
        EXPECT_EQ(grid->UseHTMLHints(), c.useHTMLHints) << c.name;
        EXPECT_EQ(MadeHTMLWindow(), c.useHTMLHints) << c.name;
        AnswerHint(c.hint);
        HintAt(grid, CellCentre(grid, 2, 2));
        EXPECT_EQ(grid->CellHintText(), c.hint) << c.name;
        EXPECT_EQ(HTMLWindowShown(), c.htmlWindow) << c.name;
        grid->CancelCellHint();
    }
}

// Any grid's setting is the application's: another grid's hints follow it.
TEST_F(HintClassFixture, TheClassIsSharedByEveryGrid)
{
    TExStringGrid other(host.get());
    other.setGeometry(0, 0, 100, 100);
    other.SetUseHTMLHints(true);
    AnswerHint(QStringLiteral("plain"));
    HintAt(grid, CellCentre(grid, 2, 2));
    EXPECT_TRUE(HTMLWindowShown());
    other.SetUseHTMLHints(false);
}

TEST_F(HintClassFixture, TheHTMLHintWindowCastsAShadowThatFollowsIt)
{
    AnswerHint(QStringLiteral("<b>bold</b> text"));
    HintAt(grid, CellCentre(grid, 2, 2));
    QWidget* window = grid->CellHintWindow();
    ASSERT_TRUE(HTMLWindowShown());
    QWidget* shadow = DropShadowOf(window);
    ASSERT_NE(shadow, nullptr);
    EXPECT_TRUE(shadow->isVisible());
    const QRect w = window->geometry();
    EXPECT_EQ(shadow->geometry(), w.translated(DropShadowWidth, DropShadowWidth));
    // Only the band beside and below the window is the shadow's.
    const QRegion band = shadow->mask();
    EXPECT_FALSE(band.contains(QPoint(0, 0)));
    EXPECT_TRUE(band.contains(QPoint(w.width() - 1, 0)));
    EXPECT_TRUE(band.contains(QPoint(0, w.height() - 1)));
    EXPECT_FALSE(band.contains(QPoint(w.width() - DropShadowWidth - 1, w.height() - DropShadowWidth - 1)));
    const QImage image = shadow->grab().toImage();
    const QColor inner = image.pixelColor(w.width() - DropShadowWidth, w.height() / 2);
    EXPECT_LT(inner.lightness(), 160) << "the band is darker than a light background";

    // Another cell: the hint goes, and its shadow with it.
    Move(grid, CellCentre(grid, 3, 4));
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(shadow->isVisible());
}

TEST_F(HintClassFixture, ThePlainHintWindowHasNoShadow)
{
    AnswerHint(QStringLiteral("plain"));
    HintAt(grid, CellCentre(grid, 2, 2));
    ASSERT_NE(grid->CellHintWindow(), nullptr);
    ASSERT_FALSE(HTMLWindowShown());
    EXPECT_EQ(DropShadowOf(grid->CellHintWindow()), nullptr);
}
