// The grid's context menu on the right button (which rows stay flagged for
// it, where it opens), the edit mask of the edit-with-button editor, and
// references the grid keeps to things it does not own (image list, picture
// container, menus) that are freed while the grid lives.
#include "ExGridInputTestSupport.h"

#include "grid/ExGrid_Editors.h"
#include "grid/ExGrid_FormEditors.h"
#include "grid/ExGrid_Windows.h"
#include "platform/Controls.h"
#include "widgets/PictureContainer.h"

#include <QBuffer>
#include <QImage>

#include <memory>
#include <set>

using namespace platform;
using namespace inputtest;
using namespace edittest;

namespace {

struct RightMenu : edittest::GridFixture
{
    void TearDown() override
    {
        grid->OnRightClickCell = nullptr;
        grid->OnGetEditMask = nullptr;
        grid->SetPopupMenu(nullptr);
        edittest::GridFixture::TearDown();
    }

    std::set<int> Flagged()
    {
        std::set<int> rows;
        for (int r = 0; r < grid->RowCount(); ++r)
            if (grid->GetRowSelect(r))
                rows.insert(r);
        return rows;
    }
};

TEST_F(RightMenu, TheMenuOpensWhereTheRightButtonComesUp)
{
    TPopupMenu menu;
    menu.Add(QStringLiteral("Copy"));
    int popups = 0;
    menu.OnPopup = [&](QObject*) { ++popups; };
    grid->SetPopupMenu(&menu);
    const QPoint at = CellCentre(grid, 2, 2);
    Press(grid, at, Qt::RightButton);
    EXPECT_FALSE(menu.IsOpen()) << "not on the press";
    Release(grid, at, Qt::RightButton);
    EXPECT_EQ(popups, 1);
    EXPECT_TRUE(menu.IsOpen());
    QWidget* shown = QApplication::activePopupWidget();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->geometry().topLeft(), grid->ClientSurface()->mapToGlobal(at));
    menu.CloseMenu();
}

TEST_F(RightMenu, NoMenuAfterItIsFreedAndNoneOnALeftRelease)
{
    auto menu = std::make_unique<TPopupMenu>();
    menu->Add(QStringLiteral("Copy"));
    grid->SetPopupMenu(menu.get());
    ClickAt(grid, CellCentre(grid, 2, 2));
    EXPECT_FALSE(menu->IsOpen());
    menu.reset();
    EXPECT_EQ(grid->PopupMenu(), nullptr);
    ClickAt(grid, CellCentre(grid, 2, 2), Qt::RightButton);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(RightMenu, FlaggedRowsStayForTheMenuOnlyWhenThePressIsOnOne)
{
    struct Case
    {
        const char* name;
        bool menu;
        std::set<int> before;
        int row;
        Qt::KeyboardModifiers mods;
        std::set<int> after;
    };
    const Case cases[] = {
        {"on a flagged row: the rows stay for the menu", true, {2, 3}, 2, Qt::NoModifier, {2, 3}},
        {"on another row: that row alone", true, {2, 3}, 4, Qt::NoModifier, {4}},
        {"without a menu: the pressed row alone", false, {2, 3}, 2, Qt::NoModifier, {2}},
        {"one row flagged: the pressed row alone", true, {3}, 3, Qt::NoModifier, {3}},
        {"Ctrl flips the row", true, {2, 3}, 4, Qt::ControlModifier, {2, 3, 4}},
    };
    grid->MouseActions().SetSelectOnRightClick(true);
    grid->MouseActions().SetDisjunctRowSelect(true);
    // With a handler the press selects the cell alone, without a left click.
    grid->OnRightClickCell = [](QObject*, int, int) {};
    TPopupMenu menu;
    menu.Add(QStringLiteral("Delete rows"));
    for (const Case& k : cases) {
        grid->SetPopupMenu(k.menu ? &menu : nullptr);
        grid->ClearRowSelect();
        for (int r : k.before)
            grid->SetRowSelect(r, true);
        ClickAt(grid, CellCentre(grid, 2, k.row), Qt::RightButton, k.mods);
        EXPECT_EQ(Flagged(), k.after) << k.name;
        EXPECT_EQ(menu.IsOpen(), k.menu) << k.name;
        menu.CloseMenu();
        ProcessEvents();
    }
}

// ---------------------------------------------------------------------------
// The edit mask of the edit-with-button editor
// ---------------------------------------------------------------------------

TEST_F(RightMenu, TheMaskEditorTakesTheCellsMaskAndCommitsWhatItGives)
{
    struct Case
    {
        const char* name;
        TEditorType kind;
        const char* mask;
        const char* typed;
        const char* cell;
    };
    const Case cases[] = {
        {"literals left out", edMaskEditBtn, "00/00;0;_", "1231", "1231"},
        {"literals kept", edMaskEditBtn, "00/00;1;_", "1231", "12/31"},
        {"a digit place refuses letters", edMaskEditBtn, "000;0;_", "1a2", "12"},
        {"the plain edit with button has no mask", edEditBtn, "00/00;0;_", "1a", "1a"},
    };
    TEditorType kind = edNormal;
    QString mask;
    grid->OnGetEditorType = [&](QObject*, int c, int, TEditorType& e) {
        if (c == 2)
            e = kind;
    };
    std::vector<QPoint> asked;
    grid->OnGetEditMask = [&](QObject*, int c, int r, QString& value) {
        asked.emplace_back(c, r);
        value = mask;
    };
    int row = 1;
    for (const Case& k : cases) {
        kind = k.kind;
        mask = QString::fromLatin1(k.mask);
        asked.clear();
        GoTo(2, row);
        Key(Qt::Key_F2);
        ProcessEvents();
        TGridEditBtn* edit = grid->EditBtn();
        ASSERT_TRUE(edit->isVisible()) << k.name;
        const bool masked = k.kind == edMaskEditBtn;
        EXPECT_EQ(edit->EditMask(), masked ? mask : QString()) << k.name;
        EXPECT_EQ(asked.empty(), !masked) << k.name;
        if (masked) {
            EXPECT_EQ(asked.front(), QPoint(2, row)) << k.name;
        }
        edit->setFocus();
        edit->setCursorPosition(0);
        Type(QString::fromLatin1(k.typed));
        Key(Qt::Key_Return);
        ProcessEvents();
        EXPECT_EQ(grid->Cells(2, row), QString::fromLatin1(k.cell)) << k.name;
        ++row;
    }
}

// ---------------------------------------------------------------------------
// Freed image list and picture container
// ---------------------------------------------------------------------------

QByteArray PngBytes()
{
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return bytes;
}

struct FreedRefs : InputFixture
{
    std::unique_ptr<TImageList> images;
    std::unique_ptr<TPictureContainer> pictures;

    void SetUp() override
    {
        InputFixture::SetUp();
        grid->SetOptions(grid->Options() & ~goEditing);
        images = std::make_unique<TImageList>(8, 8);
        TBitmap strip(16, 8);
        strip.Canvas().Brush().SetColor(clBlue);
        strip.Canvas().FillRect(Rect(0, 0, 16, 8));
        images->Add(strip);
        pictures = std::make_unique<TPictureContainer>();
        TPictureItem* item = pictures->Items().Add();
        item->SetName(QStringLiteral("logo"));
        const QByteArray png = PngBytes();
        item->Picture().LoadFromStream(&png);
        grid->SetGridImages(images.get());
        grid->SetPictureContainer(pictures.get());
        grid->AddImageIdx(1, 1, 0, haLeft, vaTop);
        grid->SetCells(2, 2, QStringLiteral("<IMG src=\"idx:1\"> and <IMG src=\"logo\">"));
        grid->SetShowHint(true);
        grid->SetHintShowCells(true);
        grid->SetHTMLHint(true);
    }
    void TearDown() override
    {
        grid->SetGridImages(nullptr);
        grid->SetPictureContainer(nullptr);
        InputFixture::TearDown();
    }
};

TEST_F(FreedRefs, PaintingAndHintsAfterTheImagesAndPicturesAreFreed)
{
    // First with everything there: the hint window takes the grid's images.
    (void)grid->grab();
    HintAt(grid, CellCentre(grid, 2, 2));
    auto* hint = dynamic_cast<THTMLHintWindow*>(grid->CellHintWindow());
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->Images(), images.get());
    EXPECT_EQ(hint->PictureContainer(), pictures.get());

    images.reset();
    pictures.reset();
    EXPECT_EQ(grid->GridImages(), nullptr);
    EXPECT_EQ(grid->PictureContainer(), nullptr);
    EXPECT_EQ(hint->Images(), nullptr) << "the shown hint forgets them too";
    EXPECT_EQ(hint->PictureContainer(), nullptr);
    // Nothing freed is read (AddressSanitizer watches): the open hint
    // repaints, the grid paints, a new hint shows.
    (void)hint->grab();
    (void)grid->grab();
    grid->CancelCellHint();
    HintAt(grid, CellCentre(grid, 2, 2));
    ASSERT_NE(grid->CellHintWindow(), nullptr);
    (void)grid->CellHintWindow()->grab();
    HintAt(grid, CellCentre(grid, 1, 1));
}

} // namespace

namespace {

// A form's MASK field reads its mask in the platform's language too: 9 is an
// optional digit there, not a required one.
TEST(FormFieldMask, TheFieldsMaskIsTranslated)
{
    QWidget host;
    TControlEdit edit(&host);
    edit.SetEditMask(QStringLiteral("90-00;0;_"));
    EXPECT_EQ(edit.EditMask(), QStringLiteral("90-00;0;_"));
    EXPECT_EQ(edit.inputMask(), QStringLiteral("09-99;_"));
}

} // namespace
