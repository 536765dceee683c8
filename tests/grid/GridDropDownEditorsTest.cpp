// The grid's drop-down editors driven with real keys and clicks on a shown
// grid: the colour picker (value through validation, refusal, Escape, a
// colour the list lacks), the image picker on image-list and data-image
// cells, and the track-bar, memo, calculator and detail drop-downs.
#include "grid/ExGrid.h"
#include "grid/ExGrid_DropDownEditors.h"

#include "platform/Forms.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace platform;
using testsupport::KeyClick;
using testsupport::TypeKeys;

namespace {

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void ClickAt(QWidget* w, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

struct DropDownGrid : ::testing::Test
{
    std::unique_ptr<TForm> form;
    TExStringGrid* grid = nullptr;
    TImageList images{16, 16};
    TEditorType kind = edColorPickerDropDown;
    std::vector<QString> events;
    // What the validation handler does: nothing, or refuse with this text.
    QString refuseWith;

    void SetUp() override
    {
        for (int i = 0; i < 5; ++i) {
            TBitmap b(16, 16);
            b.Canvas().Brush().SetColor(RGB(40 * i, 0, 255 - 40 * i));
            b.Canvas().FillRect(Rect(0, 0, 16, 16));
            images.Add(b);
        }
        form = std::make_unique<TForm>();
        form->resize(640, 400);
        grid = new TExStringGrid(form.get());
        grid->setGeometry(10, 10, 560, 300);
        grid->SetColCount(4);
        grid->SetRowCount(6);
        grid->SetOptions(grid->Options() | goEditing);
        grid->SetGridImages(&images);
        grid->OnGetEditorType = [this](QObject*, int c, int, TEditorType& e) {
            if (c == 2)
                e = kind;
        };
        grid->OnCellValidate = [this](QObject*, int c, int r, QString& value, bool& valid) {
            events.push_back(QStringLiteral("validate %1,%2 %3").arg(c).arg(r).arg(value));
            if (!refuseWith.isEmpty()) {
                value = refuseWith;
                valid = false;
            }
        };
        grid->OnColorSelected = [this](QObject*, int c, int r, TColor& colour, QString& value) {
            events.push_back(QStringLiteral("colour %1,%2 %3 %4").arg(c).arg(r).arg(colour, 6, 16, QChar(u'0')).arg(value));
        };
        grid->OnImageSelected = [this](QObject*, int c, int r, int& index) {
            events.push_back(QStringLiteral("image %1,%2 %3").arg(c).arg(r).arg(index));
        };
        form->show();
        QApplication::setActiveWindow(form.get());
        grid->setFocus(Qt::OtherFocusReason);
        Settle();
    }

    void TearDown() override
    {
        grid->OnGetEditorType = nullptr;
        grid->OnCellValidate = nullptr;
        grid->OnColorSelected = nullptr;
        grid->OnImageSelected = nullptr;
        form.reset();
        Settle();
    }

    void Edit(int col, int row)
    {
        grid->SetCol(col);
        grid->SetRow(row);
        grid->setFocus(Qt::OtherFocusReason);
        KeyClick(Qt::Key_F2);
        Settle();
    }

    TGridColorDropDown* Colour() { return grid->ColorPickerDropDown(); }
    TGridImageDropDown* Image() { return grid->ImagePickerDropDown(); }

    // Clicks item i of an open picker's list.
    static void ClickItem(TExCustomItemSelector* list, int i)
    {
        const TRect r = list->Panel()->GetItemRect(i);
        ClickAt(list->Panel(), QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    }
};

} // namespace

TEST_F(DropDownGrid, ColourChosenInTheListIsValidatedAndCommittedWithItsName)
{
    grid->SetColors(2, 1, clRed);
    Edit(2, 1);
    TGridColorDropDown* picker = Colour();
    ASSERT_TRUE(picker->isVisible());
    EXPECT_TRUE(picker->hasFocus());
    EXPECT_EQ(picker->Colors().Count(), 16); // the default colours, once
    EXPECT_EQ(picker->SelectedColor(), clRed);
    EXPECT_EQ(picker->ItemIndex(), 9);
    // Over the cell.
    const TRect cell = grid->CellRect(2, 1);
    EXPECT_EQ(picker->geometry().topLeft(), QPoint(cell.Left, cell.Top));

    KeyClick(Qt::Key_Down, Qt::AltModifier); // opens the list
    ASSERT_TRUE(picker->DroppedDown());
    KeyClick(Qt::Key_Down); // with the list open the arrows move in it
    KeyClick(Qt::Key_Down);
    EXPECT_TRUE(picker->DroppedDown());
    EXPECT_EQ(picker->SelectedColorText(), QStringLiteral("Yellow"));
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(picker->isVisible());
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_FALSE(grid->EditMode());
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("Yellow"));
    EXPECT_EQ(grid->GetColors(2, 1), clYellow);
    EXPECT_EQ(events, (std::vector<QString>{"validate 2,1 Yellow", "colour 2,1 00ffff Yellow"}));
}

TEST_F(DropDownGrid, RefusedColourKeepsTheEditorOpenWithTheReplacement)
{
    refuseWith = QStringLiteral("Blue");
    Edit(2, 1);
    TGridColorDropDown* picker = Colour();
    KeyClick(Qt::Key_Down, Qt::AltModifier);
    KeyClick(Qt::Key_Down); // Black
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_TRUE(picker->isVisible());
    EXPECT_TRUE(grid->EditMode());
    EXPECT_EQ(picker->SelectedColorText(), QStringLiteral("Blue"));
    EXPECT_EQ(grid->Row(), 1);
    refuseWith.clear();
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("Blue"));
    EXPECT_EQ(grid->GetColors(2, 1), clBlue);
}

TEST_F(DropDownGrid, EscapeLeavesTheCellAsItWas)
{
    grid->SetCells(2, 1, QStringLiteral("mine"));
    grid->SetColors(2, 1, clRed);
    Edit(2, 1);
    KeyClick(Qt::Key_Down, Qt::AltModifier);
    KeyClick(Qt::Key_Down);
    KeyClick(Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(Colour()->isVisible());
    EXPECT_FALSE(Colour()->DroppedDown());
    EXPECT_FALSE(grid->EditMode());
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("mine"));
    EXPECT_EQ(grid->GetColors(2, 1), clRed);
    EXPECT_TRUE(events.empty());
}

TEST_F(DropDownGrid, AColourTheListLacksIsNotNamedAfterThePreviousCell)
{
    grid->SetColors(2, 1, clRed);
    Edit(2, 1);
    KeyClick(Qt::Key_Return); // commits "Red"
    Settle();
    ASSERT_EQ(grid->Cells(2, 1), QStringLiteral("Red"));
    grid->SetColors(2, 3, 0x563412);
    events.clear();
    Edit(2, 3);
    EXPECT_EQ(Colour()->ItemIndex(), -1);
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_EQ(grid->Cells(2, 3), QString());
    EXPECT_EQ(grid->GetColors(2, 3), 0x563412u);
    // Twice the same colour the list lacks, then a listed one twice: each
    // cell is named after its own colour.
    grid->SetColors(2, 4, 0x563412);
    Edit(2, 4);
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_EQ(grid->Cells(2, 4), QString());
    grid->SetColors(2, 5, clRed);
    Edit(2, 5);
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_EQ(grid->Cells(2, 5), QStringLiteral("Red"));
    grid->SetColors(2, 2, clRed);
    Edit(2, 2);
    EXPECT_EQ(Colour()->ItemIndex(), 9);
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("Red"));
}

TEST_F(DropDownGrid, ColourOfAShapeCellGoesToTheShape)
{
    grid->AddShape(2, 1, csRectangle, clLime, clBlack, haCenter, vaCenter);
    Edit(2, 1);
    EXPECT_EQ(Colour()->SelectedColor(), clLime);
    KeyClick(Qt::Key_Down, Qt::AltModifier);
    ClickItem(Colour()->ItemSelector(), 12); // Blue: chosen and closed
    EXPECT_FALSE(Colour()->DroppedDown());
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_EQ(grid->GetShapeColor(2, 1), clBlue);
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("Blue"));
}

TEST_F(DropDownGrid, ImageListCellTakesTheChosenIndexAndKeepsItsText)
{
    kind = edImagePickerDropDown;
    grid->SetCells(2, 1, QStringLiteral("flag"));
    grid->AddImageIdx(2, 1, 1, haLeft, vaTop);
    Edit(2, 1);
    TGridImageDropDown* picker = Image();
    ASSERT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->Items().Count(), 5); // filled from the grid's images
    EXPECT_EQ(picker->ImageIndex(), 1);
    KeyClick(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(picker->DroppedDown());
    ClickItem(picker->ItemSelector(), 3);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_TRUE(picker->isVisible());
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(picker->isVisible());
    int index = -1;
    ASSERT_TRUE(grid->GetImageIdx(2, 1, index));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("flag"));
    // The cell's text is what validation sees, and it stays.
    EXPECT_EQ(events.back(), QStringLiteral("image 2,1 3"));
}

TEST_F(DropDownGrid, DataImageCellValidatesAndStoresTheIndexAsText)
{
    kind = edImagePickerDropDown;
    grid->AddDataImage(2, 1, 2, haLeft, vaTop);
    ASSERT_EQ(grid->Cells(2, 1), QStringLiteral("2"));
    Edit(2, 1);
    TGridImageDropDown* picker = Image();
    EXPECT_EQ(picker->ImageIndex(), 2);
    KeyClick(Qt::Key_Down, Qt::AltModifier);
    ClickItem(picker->ItemSelector(), 4);
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("4"));
    EXPECT_EQ(events, (std::vector<QString>{"validate 2,1 4", "image 2,1 4"}));

    // Escape after a choice keeps the cell.
    events.clear();
    Edit(2, 1);
    EXPECT_EQ(picker->ImageIndex(), 4);
    KeyClick(Qt::Key_Down, Qt::AltModifier);
    ClickItem(picker->ItemSelector(), 0);
    KeyClick(Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(grid->EditMode());
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("4"));
    EXPECT_TRUE(events.empty());
}

TEST_F(DropDownGrid, TextDropDownsCommitTheirTextThroughValidation)
{
    struct Case
    {
        TEditorType kind;
        const char* typed;
        const char* committed;
    } cases[] = {
        {edTrackbarDropDown, "42", "42"},
        {edCalculatorDropDown, "2+3", "5.00"}, // Enter finishes the calculation first
        {edMemoDropDown, "note", "note"},
        {edDetailDropDown, "ba", "banana"}, // completed from the items
    };
    grid->DetailPickerDropDown()->Items().Add()->SetCaption(QStringLiteral("apple"));
    grid->DetailPickerDropDown()->Items().Add()->SetCaption(QStringLiteral("banana"));
    int row = 1;
    for (const Case& c : cases) {
        kind = c.kind;
        events.clear();
        Edit(2, row);
        TExCustomDropDown* editor = dynamic_cast<TExCustomDropDown*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr) << c.typed;
        editor->selectAll();
        TypeKeys(QString::fromLatin1(c.typed));
        KeyClick(Qt::Key_Return);
        Settle();
        EXPECT_FALSE(editor->isVisible()) << c.typed;
        EXPECT_EQ(grid->Cells(2, row), QString::fromLatin1(c.committed)) << c.typed;
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.front(), QStringLiteral("validate 2,%1 %2").arg(row).arg(QString::fromLatin1(c.committed)));
        ++row;
    }
}

TEST_F(DropDownGrid, GridDropDownEditorChoosesInItsGridAndWritesTheCell)
{
    kind = edExGridDropDown;
    TGridExGridDropDown* d = grid->ExGridDropDown();
    d->Columns().Add()->SetHeader(QStringLiteral("Name"));
    d->SetAutoSizeColumns(false);
    for (int i = 0; i < 10000; ++i)
        d->Items().Add()->SetText({QStringLiteral("item %1").arg(i, 5, 10, QChar(u'0'))});
    grid->SetCells(2, 1, QStringLiteral("item 00042"));
    Edit(2, 1);
    ASSERT_EQ(QApplication::focusWidget(), d);
    EXPECT_EQ(d->ItemIndex(), 42) << "opens on the cell's item";
    ASSERT_TRUE(d->Grid()->FixedRowAlways());

    d->selectAll();
    TypeKeys(QStringLiteral("item 0999"));
    EXPECT_EQ(d->Text(), QStringLiteral("item 09990"));
    KeyClick(Qt::Key_Down, Qt::AltModifier);
    Settle();
    ASSERT_TRUE(d->DroppedDown());
    KeyClick(Qt::Key_Down);
    KeyClick(Qt::Key_Return); // chooses in the grid: the popup closes
    Settle();
    EXPECT_FALSE(d->DroppedDown());
    EXPECT_EQ(d->Text(), QStringLiteral("item 09991"));
    KeyClick(Qt::Key_Return); // ends the edit
    Settle();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("item 09991"));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), QStringLiteral("validate 2,1 item 09991"));

    // Escape leaves the cell as it was.
    Edit(2, 2);
    TypeKeys(QStringLiteral("item 5"));
    KeyClick(Qt::Key_Escape);
    Settle();
    EXPECT_EQ(grid->Cells(2, 2), QString());
}

TEST_F(DropDownGrid, MultiColumnEditorOpensOnTheCellsItemAndWritesTheChoice)
{
    kind = edGridDropDown;
    TGridGridDropDown* d = grid->GridDropDown();
    d->Columns().Add()->SetHeader(QStringLiteral("Name"));
    d->Columns().Add()->SetHeader(QStringLiteral("Unit"));
    for (int i = 0; i < 10000; ++i)
        d->Items().Add()->SetText({QStringLiteral("item %1").arg(i, 5, 10, QChar(u'0')), QStringLiteral("kWh")});
    grid->SetCells(2, 1, QStringLiteral("item 00042"));
    Edit(2, 1);
    ASSERT_EQ(QApplication::focusWidget(), d);
    EXPECT_EQ(d->ItemIndex(), 42) << "opens on the cell's item";
    EXPECT_EQ(d->Text(), QStringLiteral("item 00042"));

    d->selectAll();
    TypeKeys(QStringLiteral("item 0999"));
    EXPECT_EQ(d->Text(), QStringLiteral("item 09990"));
    KeyClick(Qt::Key_Down, Qt::AltModifier);
    Settle();
    ASSERT_TRUE(d->DroppedDown());
    KeyClick(Qt::Key_Down);
    KeyClick(Qt::Key_Return); // chooses in the list: the popup closes
    Settle();
    EXPECT_FALSE(d->DroppedDown());
    EXPECT_EQ(d->Text(), QStringLiteral("item 09991"));
    KeyClick(Qt::Key_Return); // ends the edit
    Settle();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("item 09991"));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), QStringLiteral("validate 2,1 item 09991"));

    // An empty cell opens on the first item; Escape leaves the cell as it was.
    Edit(2, 2);
    EXPECT_EQ(d->ItemIndex(), 0);
    TypeKeys(QStringLiteral("item 5"));
    KeyClick(Qt::Key_Escape);
    Settle();
    EXPECT_EQ(grid->Cells(2, 2), QString());
}

TEST_F(DropDownGrid, StyleChangesReachTheEditorsMade)
{
    Colour();
    grid->SetComponentStyle(tsWindows7);
    EXPECT_EQ(Colour()->GetComponentStyle(), tsWindows7);
    EXPECT_EQ(grid->TrackbarDropDown()->GetComponentStyle(), tsWindows7); // made now, with the style
}

// GRID_SCREENSHOT_DIR=<dir> saves a grid with the colour picker open over a cell.
TEST_F(DropDownGrid, ScreenshotOfTheColourPickerOverACell)
{
    const QString dir = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "GRID_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    grid->SetColWidths(2, 140);
    for (int r = 1; r < 6; ++r)
        grid->SetCells(1, r, QStringLiteral("Channel %1").arg(r));
    grid->SetCells(2, 1, QStringLiteral("Red"));
    grid->SetColors(2, 1, clRed);
    grid->SetCells(2, 3, QStringLiteral("Lime"));
    grid->SetColors(2, 3, clLime);
    grid->SetColors(2, 2, clYellow);
    Edit(2, 2);
    KeyClick(Qt::Key_Down, Qt::AltModifier);
    Settle();
    TGridColorDropDown* picker = Colour();
    ASSERT_TRUE(picker->DroppedDown());
    picker->ItemSelector()->Panel()->SetItemHot(12);
    Settle();
    TDropDownForm* popup = picker->DropDownForm();
    const QRect all = form->frameGeometry().united(popup->geometry());
    QPixmap shot(all.size());
    shot.fill(Qt::darkGray);
    QPainter p(&shot);
    p.drawPixmap(form->geometry().topLeft() - all.topLeft(), form->grab());
    p.drawPixmap(popup->geometry().topLeft() - all.topLeft(), popup->grab());
    p.end();
    EXPECT_TRUE(shot.save(QDir(dir).filePath(QStringLiteral("grid_colorpicker_open.png"))));
    KeyClick(Qt::Key_Escape);
}
