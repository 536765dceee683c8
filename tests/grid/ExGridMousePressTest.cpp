// The left press on cells and headers, through real mouse events: what a
// press takes in which order, and the events the windows receive.
#include "ExGridInputTestSupport.h"

#include "grid/ExCGrid.h"
#include "grid/ExGrid_Editors.h"
#include "platform/Forms.h"

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

using namespace platform;
using namespace inputtest;
using edittest::ProcessEvents;

namespace {

struct MousePress : InputFixture
{
    void SetUp() override
    {
        InputFixture::SetUp();
        for (int c = 0; c < grid->ColCount(); ++c)
            grid->SetCellEx(c, 0, QStringLiteral("H%1").arg(c));
        RecordMouseDown();
        grid->OnClickCell = [this](QObject*, int aRow, int aCol) {
            events.push_back(QStringLiteral("clickcell %1,%2").arg(aRow).arg(aCol));
        };
        RecordClick();
        grid->OnCheckBoxClick = [this](QObject*, int c, int r, bool state) {
            events.push_back(QStringLiteral("check %1,%2 %3").arg(c).arg(r).arg(state));
        };
        grid->OnCheckBoxChange = [this](QObject*, int c, int r, bool state) {
            events.push_back(QStringLiteral("change %1,%2 %3").arg(c).arg(r).arg(state));
        };
        RecordClickSort();
    }

    void RecordChanging()
    {
        grid->OnRowChanging = [this](QObject*, int o, int n, bool&) {
            events.push_back(QStringLiteral("rowchanging %1>%2").arg(o).arg(n));
        };
        grid->OnColChanging = [this](QObject*, int o, int n, bool&) {
            events.push_back(QStringLiteral("colchanging %1>%2").arg(o).arg(n));
        };
        grid->OnCellChanging = [this](QObject*, int oldRow, int oldCol, int newRow, int newCol, bool&) {
            events.push_back(QStringLiteral("cellchanging %1,%2>%3,%4").arg(oldRow).arg(oldCol).arg(newRow).arg(newCol));
        };
    }

    void Click(QPoint at)
    {
        ClickAt(grid, at);
        ProcessEvents();
    }
};

struct PressCase
{
    const char* name;
    std::function<void(MousePress&)> setup;
    std::function<QPoint(MousePress&)> at;
    std::vector<QString> expected;
    std::function<void(MousePress&)> check;
};

QPoint Centre(MousePress& f, int c, int r) { return CellCentre(f.grid, c, r); }

} // namespace

// Each press takes the first step that applies, in the grid's fixed order.
TEST_F(MousePress, ThePressTakesTheFirstStepThatApplies)
{
    const std::vector<PressCase> cases = {
        {"a header border sizes: no cell click, no sort",
         [](MousePress& f) {
             f.grid->SetOptions((f.grid->Options() & ~goEditing) | goColSizing);
             f.ShowUnsorted();
         },
         [](MousePress& f) {
             const TRect r = f.grid->CellRect(2, 0);
             return QPoint(r.Right, (r.Top + r.Bottom) / 2);
         },
         {QStringLiteral("down 1,1")},
         [](MousePress& f) { EXPECT_EQ(f.grid->SortSettings().Column(), -1); }},
        {"a check box toggles, becomes current and clicks, without a cell click",
         [](MousePress& f) { f.grid->AddCheckBox(2, 3, false, false); },
         [](MousePress& f) { return Centre(f, 2, 3); },
         {QStringLiteral("change 2,3 1"), QStringLiteral("check 2,3 1"), QStringLiteral("down 2,3"),
          QStringLiteral("click 2,3")},
         [](MousePress& f) {
             EXPECT_TRUE(f.grid->IsChecked(2, 3));
             EXPECT_FALSE(f.EditorShown());
         }},
        {"a check box stays as it is without editing",
         [](MousePress& f) {
             f.grid->SetOptions(f.grid->Options() & ~goEditing);
             f.grid->AddCheckBox(2, 3, false, false);
         },
         [](MousePress& f) { return Centre(f, 2, 3); },
         {QStringLiteral("down 2,3"), QStringLiteral("clickcell 3,2"), QStringLiteral("click 2,3")},
         [](MousePress& f) { EXPECT_FALSE(f.grid->IsChecked(2, 3)); }},
        {"a check box toggles without editing when always active",
         [](MousePress& f) {
             f.grid->SetOptions(f.grid->Options() & ~goEditing);
             f.grid->ControlLook().SetCheckAlwaysActive(true);
             f.grid->AddCheckBox(2, 3, false, false);
         },
         [](MousePress& f) { return Centre(f, 2, 3); },
         {QStringLiteral("change 2,3 1"), QStringLiteral("check 2,3 1"), QStringLiteral("down 2,3"),
          QStringLiteral("click 2,3")},
         nullptr},
        {"a normal cell selects, then the cell click passes the row first",
         [](MousePress& f) { f.grid->SetOptions(f.grid->Options() & ~goEditing); },
         [](MousePress& f) { return Centre(f, 3, 4); },
         {QStringLiteral("down 3,4"), QStringLiteral("clickcell 4,3"), QStringLiteral("click 3,4")},
         [](MousePress& f) {
             const TGridRect s = f.grid->Selection();
             EXPECT_EQ((std::array<int, 4>{s.Left, s.Top, s.Right, s.Bottom}), (std::array<int, 4>{3, 4, 3, 4}));
             EXPECT_FALSE(f.EditorShown());
         }},
        {"a press on the selection of a drag source selects only when released",
         [](MousePress& f) {
             f.grid->SetOptions(f.grid->Options() & ~goEditing);
             f.grid->DragDropSettings().SetOleDropSource(true);
             f.grid->SetSelection(TGridRect{1, 1, 3, 3});
         },
         [](MousePress& f) { return Centre(f, 2, 2); },
         {QStringLiteral("down 3,3"), QStringLiteral("clickcell 2,2")},
         [](MousePress& f) {
             const TGridRect s = f.grid->Selection();
             EXPECT_EQ((std::array<int, 4>{s.Left, s.Top, s.Right, s.Bottom}), (std::array<int, 4>{2, 2, 2, 2}));
         }},
        {"a header cell clicks its cell and, released, clicks",
         [](MousePress& f) { f.grid->SetOptions(f.grid->Options() & ~goEditing); },
         [](MousePress& f) { return Centre(f, 3, 0); },
         {QStringLiteral("down 1,1"), QStringLiteral("clickcell 0,3"), QStringLiteral("click 1,1")},
         nullptr},
        {"direct edit asks the changing events once and opens the editor",
         [](MousePress& f) {
             f.grid->MouseActions().SetDirectEdit(true);
             f.RecordChanging();
         },
         [](MousePress& f) { return Centre(f, 2, 3); },
         {QStringLiteral("rowchanging 1>3"), QStringLiteral("colchanging 1>2"), QStringLiteral("cellchanging 1,1>3,2"),
          QStringLiteral("click 2,3"), QStringLiteral("down 2,3"), QStringLiteral("clickcell 3,2")},
         [](MousePress& f) {
             EXPECT_TRUE(f.EditorShown());
             EXPECT_EQ(f.grid->Col(), 2);
             EXPECT_EQ(f.grid->Row(), 3);
         }},
        {"without direct edit the first click on a cell opens no editor",
         [](MousePress& f) { f.RecordChanging(); },
         [](MousePress& f) { return Centre(f, 2, 3); },
         {QStringLiteral("rowchanging 1>3"), QStringLiteral("colchanging 1>2"), QStringLiteral("cellchanging 1,1>3,2"),
          QStringLiteral("click 2,3"), QStringLiteral("down 2,3"), QStringLiteral("clickcell 3,2")},
         [](MousePress& f) { EXPECT_FALSE(f.EditorShown()); }},
        {"a refused change keeps the cell and opens no editor",
         [](MousePress& f) {
             f.grid->MouseActions().SetDirectEdit(true);
             f.grid->OnCellChanging = [](QObject*, int, int, int, int, bool& allow) { allow = false; };
         },
         [](MousePress& f) { return Centre(f, 2, 3); },
         {QStringLiteral("click 1,1"), QStringLiteral("down 1,1"), QStringLiteral("clickcell 3,2")},
         [](MousePress& f) {
             EXPECT_FALSE(f.EditorShown());
             EXPECT_EQ(f.grid->Col(), 1);
             EXPECT_EQ(f.grid->Row(), 1);
         }},
        {"a refused click swallows the press on a normal cell",
         [](MousePress& f) {
             f.grid->MouseActions().SetDirectEdit(true);
             f.grid->OnCanClickCell = [&f](QObject*, int aRow, int aCol, bool& allow) {
                 f.events.push_back(QStringLiteral("canclick %1,%2").arg(aRow).arg(aCol));
                 allow = false;
             };
         },
         [](MousePress& f) { return Centre(f, 3, 4); },
         {QStringLiteral("canclick 4,3")},
         [](MousePress& f) {
             EXPECT_EQ(f.grid->Col(), 1);
             EXPECT_EQ(f.grid->Row(), 1);
             EXPECT_FALSE(f.EditorShown());
         }},
        {"a refused click swallows the press on a check box",
         [](MousePress& f) {
             f.grid->AddCheckBox(2, 3, false, false);
             f.grid->OnCanClickCell = [&f](QObject*, int aRow, int aCol, bool& allow) {
                 f.events.push_back(QStringLiteral("canclick %1,%2").arg(aRow).arg(aCol));
                 allow = false;
             };
         },
         [](MousePress& f) { return Centre(f, 2, 3); },
         {QStringLiteral("canclick 3,2")},
         [](MousePress& f) { EXPECT_FALSE(f.grid->IsChecked(2, 3)); }},
    };
    for (const PressCase& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        c.setup(*this);
        Click(c.at(*this));
        EXPECT_EQ(events, c.expected);
        if (c.check)
            c.check(*this);
    }
}

// Links in cells: "CELL://" references move the current cell; anything
// that is no cell of the grid does nothing.
TEST_F(MousePress, ACellLinkMovesTheCurrentCell)
{
    struct LinkCase
    {
        const char* target;
        int col, row;
    };
    const LinkCase cases[] = {
        {"CELL://R4C3", 3, 4},
        {"cell://r2c4", 4, 2},
        {"CELL://R99C2", 1, 1},
        {"CELL://C2", 1, 1},
        {"CELL://", 1, 1},
    };
    for (const LinkCase& c : cases) {
        SCOPED_TRACE(c.target);
        grid->SetCol(1);
        grid->SetRow(1);
        grid->SetCellEx(2, 2, QStringLiteral("<A href=\"%1\">gogogogo</A>").arg(QLatin1String(c.target)));
        QStringList anchors;
        grid->OnAnchorClick = [&](QObject*, int aRow, int aCol, const QString& anchor, bool&) {
            anchors << QStringLiteral("%1,%2 %3").arg(aRow).arg(aCol).arg(anchor);
        };
        const TRect r = grid->CellRect(2, 2);
        Click(QPoint(r.Left + 10, r.Top + 8));
        EXPECT_EQ(anchors, QStringList{QStringLiteral("2,2 %1").arg(QLatin1String(c.target))});
        EXPECT_EQ(grid->Col(), c.col);
        EXPECT_EQ(grid->Row(), c.row);
        grid->OnAnchorClick = nullptr;
    }
}

TEST_F(MousePress, AnAnchorHandlerMayKeepTheLinkFromBeingFollowed)
{
    grid->SetCellEx(2, 2, QStringLiteral("<A href=\"CELL://R4C3\">gogogogo</A>"));
    grid->OnAnchorClick = [](QObject*, int, int, const QString&, bool& autoHandle) { autoHandle = false; };
    const TRect r = grid->CellRect(2, 2);
    Click(QPoint(r.Left + 10, r.Top + 8));
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
    // The press was the link's: no selection, no cell click.
    EXPECT_TRUE(std::find(events.begin(), events.end(), QStringLiteral("clickcell 2,2")) == events.end());
}

namespace {

// A rule table: the enable column is a data check box of a column grid.
struct ColumnGridPress : MousePress
{
    TExStringGrid* MakeGrid(QWidget* parent) override { return new VOruVizizaZezo(parent); }
    VOruVizizaZezo* cgrid() { return static_cast<VOruVizizaZezo*>(grid); }
};

} // namespace

TEST_F(ColumnGridPress, ADataCheckBoxTogglesYesAndNoWithEditingOff)
{
    cgrid()->Columns().GetItem(1)->SetEditor(edDataCheckBox);
    grid->SetOptions(grid->Options() & ~goEditing);
    for (int r = 1; r < grid->RowCount(); ++r)
        grid->SetCellEx(1, r, QStringLiteral("N"));
    const TRect cell = grid->CellRect(1, 3);
    const QPoint at(cell.Left + 8, (cell.Top + cell.Bottom) / 2);

    Click(at);
    EXPECT_EQ(grid->GetCellEx(1, 3), QStringLiteral("Y"));
    const std::vector<QString> first = {QStringLiteral("change 1,3 1"), QStringLiteral("check 1,3 1"),
                                        QStringLiteral("down 1,3"), QStringLiteral("click 1,3")};
    EXPECT_EQ(events, first);

    events.clear();
    Click(at);
    EXPECT_EQ(grid->GetCellEx(1, 3), QStringLiteral("N"));
    const std::vector<QString> second = {QStringLiteral("change 1,3 0"), QStringLiteral("check 1,3 0"),
                                         QStringLiteral("down 1,3"), QStringLiteral("click 1,3")};
    EXPECT_EQ(events, second);
    EXPECT_FALSE(EditorShown());
}

TEST_F(ColumnGridPress, AReadOnlyDataCheckBoxColumnStaysAsItIs)
{
    cgrid()->Columns().GetItem(1)->SetEditor(edDataCheckBox);
    cgrid()->Columns().GetItem(1)->SetReadOnly(true);
    grid->SetOptions(grid->Options() & ~goEditing);
    grid->SetCellEx(1, 3, QStringLiteral("N"));
    const TRect cell = grid->CellRect(1, 3);
    Click(QPoint(cell.Left + 8, (cell.Top + cell.Bottom) / 2));
    EXPECT_EQ(grid->GetCellEx(1, 3), QStringLiteral("N"));
    const std::vector<QString> expected = {QStringLiteral("down 1,3"), QStringLiteral("clickcell 3,1"),
                                           QStringLiteral("click 1,3")};
    EXPECT_EQ(events, expected);
}

TEST_F(ColumnGridPress, ASecondClickOnAPickListCellOpensItsListAndKeepsIt)
{
    cgrid()->Columns().GetItem(2)->SetEditor(edComboList);
    cgrid()->Columns().GetItem(2)->SetComboItems({QStringLiteral("Read"), QStringLiteral("Write")});
    grid->SetCellEx(2, 3, QStringLiteral("Read"));
    Click(Centre(*this, 2, 3));
    Click(Centre(*this, 2, 3));
    ASSERT_NE(grid->Combobox(), nullptr);
    EXPECT_TRUE(grid->Combobox()->isVisible());
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(grid->GetCellEx(2, 3), QStringLiteral("Read"));
}

TEST_F(MousePress, ASimulatedClickSelectsWithoutMouseEvents)
{
    grid->SetOptions(grid->Options() & ~goEditing);
    grid->OnMouseUp = [this](QObject*, TMouseButton, TShiftState, int, int) { events.push_back(QStringLiteral("up")); };
    grid->SimulateCellClick(3, 4);
    ProcessEvents();
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 4);
    EXPECT_EQ(events, std::vector<QString>{QStringLiteral("click 3,4")});
    // The window's handlers are back for the next real click.
    events.clear();
    Click(Centre(*this, 2, 2));
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("down 2,2"), QStringLiteral("clickcell 2,2"),
                                            QStringLiteral("click 2,2"), QStringLiteral("up")}));
    grid->OnMouseUp = nullptr;
}

// The cell's own cursor shows over the cell; on a fixed column's border the
// sizing cursor wins.
TEST_F(MousePress, TheFixedColumnBorderShowsTheSizingCursorOverTheCellsCursor)
{
    grid->MouseActions().SetSizeFixedCol(true);
    grid->OnGetCellCursor = [](QObject*, int, int, int, int, TCursor& cursor) { cursor = crHandPoint; };
    const QPoint inside = Centre(*this, 2, 2);
    Move(grid, inside);
    EXPECT_EQ(grid->ClientSurface()->cursor().shape(), Qt::PointingHandCursor);

    const TRect fixed = grid->CellRect(0, 2);
    const QPoint border(fixed.Right, (fixed.Top + fixed.Bottom) / 2);
    // The cursor is asked before each move: the second one finds the border
    // the first one marked.
    Move(grid, border);
    Move(grid, border);
    EXPECT_EQ(grid->ClientSurface()->cursor().shape(), Qt::SplitHCursor);
}

// A header drawn as a button looks pressed while the mouse holds it, and
// raised again after the release.
TEST_F(MousePress, AHeaderHeldAsAButtonLooksPressedUntilTheRelease)
{
    grid->SetFixedAsButtons(true);
    grid->SetOptions(grid->Options() | goFixedVertLine | goFixedHorzLine);
    const TRect r = grid->CellRect(2, 0);
    const QPoint edge(r.Left + 1, r.Top + 1);
    auto pixel = [&] {
        ProcessEvents();
        return grid->ClientSurface()->grab().toImage().pixel(edge);
    };
    const QRgb raised = pixel();
    const QPoint at = CellCentre(grid, 2, 0);
    Move(grid, at);
    Press(grid, at);
    EXPECT_EQ(pixel(), ToQColor(clBtnShadow).rgb());
    Release(grid, at);
    EXPECT_EQ(pixel(), raised);
}
