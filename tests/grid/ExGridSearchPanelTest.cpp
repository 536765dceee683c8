// The search footer: the panel laid out from the footer's settings, and the
// grid keeping its last row above the panel.
#include "ExGridEditTestSupport.h"

#include <QDir>

#include <vector>

using namespace platform;
using namespace edittest;

namespace {

struct SearchPanelFixture : GridFixture
{
    void TearDown() override
    {
        grid->OnTopLeftChanged = nullptr;
        GridFixture::TearDown();
    }

    TSearchPanel& ShowFooter()
    {
        // The footer's change refreshes the panel.
        grid->SearchFooter().SetVisible(true);
        return *grid->SearchPanel();
    }

    // The bottom of the last row's cell, in client coordinates.
    int LastRowBottom() { return grid->TBaseGrid::CellRect(0, grid->RowCount() - 1).Bottom; }
};

} // namespace

TEST_F(SearchPanelFixture, AVisibleFooterIsA32PixelPanelAtTheBottom)
{
    TSearchPanel& p = ShowFooter();
    EXPECT_TRUE(p.Visible());
    EXPECT_EQ(p.Height(), 32);
    EXPECT_EQ(p.Top(), grid->Height() - 32);
    EXPECT_EQ(p.Width(), grid->Width());
    EXPECT_EQ(p.MatchCase()->Left(), 425);
    EXPECT_EQ(p.MatchCase()->Height(), 18);
    for (TSearchPanelButton* b : {p.ForwardButton(), p.BackwardButton(), p.HiliteButton()})
        EXPECT_EQ(b->Height(), 23);
}

TEST_F(SearchPanelFixture, HiddenPartsTakeNoHeightAndTheCheckBoxMovesLeft)
{
    struct Case
    {
        const char* name;
        bool highlight, prev, next, matchCase;
        int checkLeft;
    };
    const Case cases[] = {
        {"all shown", true, true, true, true, 425},
        {"no highlight", false, true, true, true, 330},
        {"no find buttons", true, false, false, true, 425},
        {"no match case", false, true, true, false, 330},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSearchFooter& sf = grid->SearchFooter();
        sf.SetShowHighLight(c.highlight);
        sf.SetShowFindPrev(c.prev);
        sf.SetShowFindNext(c.next);
        sf.SetShowMatchCase(c.matchCase);
        TSearchPanel& p = ShowFooter();
        EXPECT_EQ(p.MatchCase()->Left(), c.checkLeft);
        EXPECT_EQ(p.HiliteButton()->Height(), c.highlight ? 23 : 0);
        EXPECT_EQ(p.BackwardButton()->Height(), c.prev ? 23 : 0);
        EXPECT_EQ(p.ForwardButton()->Height(), c.next ? 23 : 0);
        EXPECT_EQ(p.MatchCase()->Height(), c.matchCase ? 18 : 0);
        EXPECT_EQ(p.HiliteButton()->Visible(), c.highlight);
        EXPECT_EQ(p.MatchCase()->Visible(), c.matchCase);
    }
}

TEST_F(SearchPanelFixture, AHiddenFooterKeepsThePanelAtHeightZero)
{
    ShowFooter();
    grid->SearchFooter().SetVisible(false);
    grid->UpdateSearchPanel();
    TSearchPanel* p = grid->SearchPanel();
    EXPECT_EQ(p->Height(), 0);
    EXPECT_FALSE(p->Visible());
    // A panel made before the footer was ever shown stays at height 0 too.
    TExStringGrid fresh(host.get());
    TSearchPanel* made = fresh.SearchPanel();
    fresh.UpdateSearchPanel();
    EXPECT_EQ(made->Height(), 0);
    EXPECT_FALSE(made->Visible());
}

TEST_F(SearchPanelFixture, CaptionsAndHintsComeFromTheFooter)
{
    TSearchFooter& sf = grid->SearchFooter();
    sf.SetFindNextCaption(QStringLiteral("Find &next"));
    sf.SetFindPrevCaption(QStringLiteral("Find &previous"));
    sf.SetMatchCaseCaption(QStringLiteral("Match case"));
    sf.SetHighLightCaption(QStringLiteral("Highlight"));
    sf.SetHintFindNext(QStringLiteral("Find next occurrence"));
    sf.SetHintClose(QString());
    sf.SetColor(clWhite);
    sf.SetColorTo(0xFFD9B3);
    TSearchPanel& p = ShowFooter();
    EXPECT_EQ(p.ForwardButton()->Caption(), QStringLiteral("Find &next"));
    EXPECT_EQ(p.BackwardButton()->Caption(), QStringLiteral("Find &previous"));
    EXPECT_EQ(p.MatchCase()->Caption(), QStringLiteral("Match case"));
    EXPECT_EQ(p.HiliteButton()->Caption(), QStringLiteral("Highlight"));
    EXPECT_EQ(p.FFindNextCaption, QStringLiteral("Find &next"));
    EXPECT_EQ(p.FHintFindNext, QStringLiteral("Find next occurrence"));
    EXPECT_TRUE(p.ForwardButton()->ShowHint());
    EXPECT_EQ(p.ForwardButton()->Hint(), QStringLiteral("Find next occurrence"));
    // An empty hint leaves the button without one.
    EXPECT_FALSE(p.ExitButton()->ShowHint());
    EXPECT_TRUE(p.ExitButton()->Hint().isEmpty());
    EXPECT_EQ(p.ColorTo(), 0xFFD9B3u);
    EXPECT_EQ(p.Color(), clWhite);
}

TEST_F(SearchPanelFixture, ButtonsAreFlatByTheControlStyle)
{
    struct Case
    {
        TControlStyle style;
        bool flat;
    };
    for (const Case& c : {Case{csClassic, false}, Case{csFlat, true}, Case{csWinXP, true}}) {
        SCOPED_TRACE(static_cast<int>(c.style));
        grid->ControlLook().SetControlStyle(c.style);
        TSearchPanel& p = ShowFooter();
        grid->UpdateSearchPanel();
        EXPECT_EQ(p.ForwardButton()->Flat(), c.flat);
        EXPECT_EQ(p.HiliteButton()->Flat(), c.flat);
    }
}

TEST_F(SearchPanelFixture, TheLastRowEndsAboveThePanel)
{
    grid->SetRowCount(60);
    ShowFooter();
    GoTo(2, 59);
    EXPECT_EQ(grid->Row(), 59);
    EXPECT_LE(LastRowBottom(), grid->ClientHeight() - 32 + 2);
    EXPECT_GT(LastRowBottom(), 0);
}

TEST_F(SearchPanelFixture, RowsThatFitDoNotScroll)
{
    ShowFooter();
    GoTo(2, 5);
    grid->ScrollLastRowAboveSearchFooter();
    EXPECT_EQ(grid->TopRow(), 1);
    EXPECT_EQ(grid->Row(), 5);
}

// Fault: the scrolling went on while the top row could not grow.
TEST_F(SearchPanelFixture, ATopRowThatCannotGrowEndsTheScrolling)
{
    grid->SetRowCount(60);
    GoTo(2, 59);  // the last row at the bottom, the footer still hidden
    const int pinned = grid->TopRow();
    int attempts = 0;
    bool resetting = false;
    // Something holds the view where it is.
    grid->OnTopLeftChanged = [&](QObject*) {
        if (resetting || grid->TopRow() == pinned)
            return;
        ++attempts;
        resetting = true;
        grid->SetTopRow(pinned);
        resetting = false;
    };
    ShowFooter();
    EXPECT_EQ(grid->TopRow(), pinned);
    EXPECT_EQ(attempts, 1);

    attempts = 0;
    grid->ScrollLastRowAboveSearchFooter();
    EXPECT_EQ(attempts, 1);

    attempts = 0;
    grid->ScrollInView(2, 59);
    EXPECT_EQ(grid->TopRow(), pinned);
    EXPECT_LE(attempts, 2);
}

TEST_F(SearchPanelFixture, CtrlFPutsTheFocusIntoTheFindField)
{
    TSearchPanel& p = ShowFooter();
    GoTo(2, 2);
    Key(Qt::Key_F, Qt::ControlModifier, QString(QChar(6)));
    EXPECT_TRUE(p.EditControl()->hasFocus());
    EXPECT_FALSE(EditorShown());
}

// Fault: a key that brought the current cell onto the last row from further up
// left that row under the panel.
TEST_F(SearchPanelFixture, KeysThatReachTheLastRowKeepItAboveThePanel)
{
    grid->SetRowCount(60);
    ShowFooter();
    struct Case
    {
        const char* name;
        int qtKey;
        Qt::KeyboardModifiers mods;
        int fromRow;
    };
    const int page = grid->VisibleRowCount();
    for (const Case& c : {Case{"Ctrl+End", Qt::Key_End, Qt::ControlModifier, 1},
                          Case{"PgDn", Qt::Key_PageDown, Qt::NoModifier, 59 - page / 2},
                          Case{"Down", Qt::Key_Down, Qt::NoModifier, 58}}) {
        SCOPED_TRACE(c.name);
        GoTo(2, c.fromRow);
        Key(c.qtKey, c.mods);
        ASSERT_EQ(grid->Row(), 59);
        EXPECT_LE(LastRowBottom(), grid->ClientHeight() - 32 + 2);
        EXPECT_GT(LastRowBottom(), 0);
    }
}

TEST_F(SearchPanelFixture, ControlsSitWhereThePanelLaysThemOutWithTheirGlyphs)
{
    int created = 0;
    QObject* sender = nullptr;
    grid->OnCreatedSearchFooter = [&](QObject* s) {
        ++created;
        sender = s;
    };
    TSearchPanel& p = ShowFooter();
    grid->SearchFooter().SetVisible(false);
    ShowFooter();
    // Raised once, when the panel made its controls.
    EXPECT_EQ(created, 1);
    EXPECT_EQ(sender, grid);
    grid->OnCreatedSearchFooter = nullptr;

    struct Case
    {
        const char* name;
        QWidget* control;
        int left, top, width, height; // height -1: not checked
        bool glyph;
    };
    const Case cases[] = {
        {"find field", p.EditControl(), 25, 6, 110, -1, false},
        {"find next", p.ForwardButton(), 140, 5, 90, 23, true},
        {"find previous", p.BackwardButton(), 235, 5, 90, 23, true},
        {"close", p.ExitButton(), 5, 7, 14, 14, true},
        {"highlight", p.HiliteButton(), 330, 5, 90, 23, true},
        {"match case", p.MatchCase(), 425, 8, -1, 18, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.control->x(), c.left);
        EXPECT_EQ(c.control->y(), c.top);
        if (c.width >= 0) {
            EXPECT_EQ(c.control->width(), c.width);
        }
        if (c.height >= 0) {
            EXPECT_EQ(c.control->height(), c.height);
        }
        if (c.glyph) {
            EXPECT_FALSE(static_cast<TSearchPanelButton*>(c.control)->Glyph().Empty());
        }
    }
    // Disabled glyphs for the three buttons that wait for a text; the close
    // button has its hot and pressed pictures.
    for (TSearchPanelButton* b : {p.ForwardButton(), p.BackwardButton(), p.HiliteButton()})
        EXPECT_FALSE(b->GlyphDisabled().Empty());
    EXPECT_FALSE(p.ExitButton()->GlyphHot().Empty());
    EXPECT_FALSE(p.ExitButton()->GlyphDown().Empty());
    // Painting with and without a gradient.
    p.SetColorTo(clWhite);
    p.repaint();
    p.SetColorTo(clNone);
    p.repaint();

    // GRID_SCREENSHOT_DIR=<dir> saves the footer: find next enabled by a
    // text, find previous and highlight as well, the close button.
    const QString dir = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        TSearchFooter& sf = grid->SearchFooter();
        sf.SetFindNextCaption(QStringLiteral("Find &next"));
        sf.SetFindPrevCaption(QStringLiteral("Find &previous"));
        sf.SetHighLightCaption(QStringLiteral("Highlight"));
        sf.SetMatchCaseCaption(QStringLiteral("Match case"));
        sf.SetColorTo(0xFFD9B3);
        grid->UpdateSearchPanel();
        p.EditControl()->SetText(QStringLiteral("abc"));
        QDir().mkpath(dir);
        p.grab().save(dir + QStringLiteral("/search_footer.png"));
        p.EditControl()->SetText(QString());
        p.grab().save(dir + QStringLiteral("/search_footer_empty.png"));
    }
}
