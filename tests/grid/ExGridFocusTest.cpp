// The grid gaining and losing the focus: the editor that AlwaysEdit opens,
// entering and leaving, and the characters the grid asks of the dialog.
#include "ExGridEditTestSupport.h"

#include <QLineEdit>

using namespace platform;
using namespace edittest;

namespace {

struct FocusFixture : GridFixture
{
    QLineEdit* other = nullptr;

    void SetUp() override
    {
        GridFixture::SetUp();
        other = new QLineEdit(host.get());
        other->setGeometry(10, 380, 100, 24);
        other->show();
    }
    void TearDown() override
    {
        grid->OnEnter = nullptr;
        grid->OnExit = nullptr;
        GridFixture::TearDown();
    }

    void FocusAwayAndBack()
    {
        other->setFocus(Qt::OtherFocusReason);
        ProcessEvents();
        ASSERT_FALSE(grid->hasFocus());
        grid->setFocus(Qt::OtherFocusReason);
        ProcessEvents();
    }

    // The editor exists once a cell was edited.
    void EditOnce()
    {
        GoTo(1, 1);
        Key(Qt::Key_F2);
        ASSERT_TRUE(EditorShown());
        Key(Qt::Key_Escape);
        ASSERT_FALSE(EditorShown());
    }
};

} // namespace

TEST_F(FocusFixture, AlwaysEditOpensTheEditorWhenTheGridGainsTheFocus)
{
    EditOnce();
    grid->Navigation().SetAlwaysEdit(true);
    GoTo(2, 3);
    FocusAwayAndBack();
    EXPECT_TRUE(EditorShown());
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 3);
}

TEST_F(FocusFixture, NoEditorOnACheckBoxOrAReadOnlyCellOrWithoutAlwaysEdit)
{
    EditOnce();
    grid->AddCheckBox(2, 3, false, true);
    grid->SetReadOnly(3, 3, true);
    struct Case
    {
        const char* name;
        int col;
        bool alwaysEdit;
    };
    for (const Case& c : {Case{"check box", 2, true}, Case{"read-only", 3, true}, Case{"setting off", 4, false}}) {
        SCOPED_TRACE(c.name);
        grid->Navigation().SetAlwaysEdit(c.alwaysEdit);
        GoTo(c.col, 3);
        FocusAwayAndBack();
        EXPECT_FALSE(EditorShown());
    }
}

TEST_F(FocusFixture, EnteringAndLeavingRaiseTheirEventsOnce)
{
    int enters = 0, exits = 0;
    grid->OnEnter = [&](QObject*) { ++enters; };
    grid->OnExit = [&](QObject*) { ++exits; };
    FocusAwayAndBack();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(enters, 1);
    // Into the grid's own editor and back is no exit.
    Key(Qt::Key_F2);
    ASSERT_TRUE(EditorShown());
    Key(Qt::Key_Escape);
    EXPECT_EQ(exits, 1);
}

TEST_F(FocusFixture, TheGridAsksForCharactersForItsTypeAheadSearch)
{
    // In row-select mode the platform asks for none.
    grid->SetOptions((grid->Options() | goRowSelect) & ~goEditing);
    EXPECT_TRUE(grid->WantsChars());
    grid->SetOptions(grid->Options() | goEditing);
    EXPECT_FALSE(grid->WantsChars());
    grid->Navigation().SetAutoGotoWhenSorted(true);
    EXPECT_TRUE(grid->WantsChars());
}
