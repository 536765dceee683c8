#include "widgets/ExObj.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace platform;

// ---------------------------------------------------------------------------
// Enumerations and event argument order
// ---------------------------------------------------------------------------

TEST(ExObjEnums, OrdinalsFollowTheDeclaredOrder)
{
    EXPECT_EQ(static_cast<int>(adTopBottomInCol), 3);
    EXPECT_EQ(static_cast<int>(edMaskEditBtn), 42);
    EXPECT_EQ(static_cast<int>(edDataCheckBox), 10);
    EXPECT_EQ(static_cast<int>(edNone), 27);
    EXPECT_EQ(static_cast<int>(ssAlphaNumericNoCase), 19);
    EXPECT_EQ(static_cast<int>(waScroll), 1);
}

TEST(ExObjEnums, ClickCellEventsPassTheRowFirstButtonEventsTheColumn)
{
    int first = -1, second = -1;
    TClickCellEvent click = [&](QObject*, int aRow, int aCol) {
        first = aRow;
        second = aCol;
    };
    click(nullptr, 7, 2);
    EXPECT_EQ(first, 7);
    TButtonClickEvent button = [&](QObject*, int aCol, int aRow) {
        first = aCol;
        second = aRow;
    };
    button(nullptr, 2, 7);
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 7);
}

TEST(ExObjEnums, CellBorderSets)
{
    TCellBorders b{cbTop, cbBottom};
    EXPECT_TRUE(b.Contains(cbTop));
    EXPECT_FALSE(b.Contains(cbLeft));
    b.Exclude(cbTop);
    b.Include(cbRight);
    EXPECT_EQ(b, (TCellBorders{cbRight, cbBottom}));
    EXPECT_TRUE(TCellBorders().Empty());
}

// ---------------------------------------------------------------------------
// Settings objects
// ---------------------------------------------------------------------------

TEST(ExObjNavigation, FreshObjectHasExactlyTheTrueOptionsOfItsDefaults)
{
    TNavigation n;
    struct Option
    {
        const char* name;
        bool value;
        bool expected;
    };
    const Option options[] = {
        {"AllowInsertRow", n.AllowInsertRow(), false},
        {"AllowDeleteRow", n.AllowDeleteRow(), false},
        {"AdvanceOnEnter", n.AdvanceOnEnter(), false},
        {"AdvanceInsert", n.AdvanceInsert(), false},
        {"AutoGotoWhenSorted", n.AutoGotoWhenSorted(), false},
        {"AutoGotoIncremental", n.AutoGotoIncremental(), false},
        {"AutoComboDropSize", n.AutoComboDropSize(), false},
        {"AllowClipboardShortCuts", n.AllowClipboardShortCuts(), false},
        {"AllowRTFClipboard", n.AllowRTFClipboard(), false},
        {"AllowSmartClipboard", n.AllowSmartClipboard(), false},
        {"AllowClipboardAlways", n.AllowClipboardAlways(), false},
        {"AllowClipboardColGrow", n.AllowClipboardColGrow(), true},
        {"AllowClipboardRowGrow", n.AllowClipboardRowGrow(), true},
        {"CopyHTMLTagsToClipboard", n.CopyHTMLTagsToClipboard(), true},
        {"AdvanceAuto", n.AdvanceAuto(), false},
        {"AdvanceAutoEdit", n.AdvanceAutoEdit(), true},
        {"CursorWalkEditor", n.CursorWalkEditor(), false},
        {"CursorWalkAlwaysEdit", n.CursorWalkAlwaysEdit(), true},
        {"MoveRowOnSort", n.MoveRowOnSort(), false},
        {"KeepScrollOnSort", n.KeepScrollOnSort(), false},
        {"ImproveMaskSel", n.ImproveMaskSel(), false},
        {"AlwaysEdit", n.AlwaysEdit(), false},
        {"LineFeedOnEnter", n.LineFeedOnEnter(), false},
        {"KeepHorizScroll", n.KeepHorizScroll(), false},
        {"AllowFmtClipboard", n.AllowFmtClipboard(), false},
        {"TabToNextAtEnd", n.TabToNextAtEnd(), false},
        {"EditSelectAll", n.EditSelectAll(), true},
        {"SkipFixedCells", n.SkipFixedCells(), true},
        {"SkipDisabledRows", n.SkipDisabledRows(), true},
        {"AllowCtrlEnter", n.AllowCtrlEnter(), true},
        {"AppendOnArrowDown", n.AppendOnArrowDown(), false},
        {"LeftRightRowSelect", n.LeftRightRowSelect(), true},
        {"MoveScrollOnly", n.MoveScrollOnly(), false},
        {"ComboGetUpDown", n.ComboGetUpDown(), true},
        {"AdvanceOnEnterLoop", n.AdvanceOnEnterLoop(), true},
        {"AdvanceSkipReadOnlyCells", n.AdvanceSkipReadOnlyCells(), true},
        {"CursorMoveRows", n.CursorMoveRows(), false},
    };
    for (const Option& o : options)
        EXPECT_EQ(o.value, o.expected) << o.name;
    EXPECT_EQ(n.ClipboardPasteAction(), paReplace);
    EXPECT_EQ(n.AdvanceDirection(), adLeftRight);
    EXPECT_EQ(n.HomeEndKey(), heFirstLastColumn);
    EXPECT_EQ(n.CursorAdvance(), caDefault);
}

TEST(ExObjNavigation, AdvanceAutoSwitchesAdvanceOnEnterOnButNotOff)
{
    TNavigation n;
    n.SetAdvanceAuto(true);
    EXPECT_TRUE(n.AdvanceOnEnter());
    n.SetAdvanceAuto(false);
    EXPECT_TRUE(n.AdvanceOnEnter());
}

TEST(ExObjNavigation, OnlyRealChangesOfDirectionAndInsertNotify)
{
    TNavigation n;
    int changes = 0;
    n.OnChange = [&](TNavigation*) { ++changes; };
    n.SetAdvanceDirection(adLeftRight);
    n.SetAdvanceInsert(false);
    EXPECT_EQ(changes, 0);
    n.SetAdvanceDirection(adTopBottom);
    n.SetAdvanceInsert(true);
    n.SetAutoGotoWhenSorted(true);
    EXPECT_EQ(changes, 2);
}

TEST(ExObjNavigation, AssignCopiesEveryOptionAndKeepsTheHandler)
{
    TNavigation a, b;
    int changes = 0;
    b.OnChange = [&](TNavigation*) { ++changes; };
    a.SetAllowInsertRow(true);
    a.SetTabAdvanceDirection(adTopBottomInCol);
    a.SetEditSelectAll(false);
    b.Assign(&a);
    EXPECT_TRUE(b.AllowInsertRow());
    EXPECT_EQ(b.TabAdvanceDirection(), adTopBottomInCol);
    EXPECT_FALSE(b.EditSelectAll());
    b.SetAdvanceInsert(true);
    EXPECT_EQ(changes, 1);
}

TEST(ExObjMouseActions, HotmailRowSelectSwitchesDisjunctRowsAndCheckAllOn)
{
    TMouseActions m;
    int repaints = 0;
    m.OnInvalidate = [&](TMouseActions*) { ++repaints; };
    m.SetHotmailRowSelect(true);
    EXPECT_TRUE(m.DisjunctRowSelect());
    EXPECT_TRUE(m.CheckAllCheck());
    EXPECT_EQ(repaints, 1);
}

TEST(ExObjMouseActions, DisjunctModesExcludeEachOtherOnlyWhileDesigning)
{
    TMouseActions run;
    run.SetDisjunctRowSelect(true);
    run.SetDisjunctColSelect(true);
    run.SetDisjunctCellSelect(true);
    EXPECT_TRUE(run.DisjunctRowSelect() && run.DisjunctColSelect() && run.DisjunctCellSelect());

    TMouseActions design;
    design.OnIsDesigning = [](QObject*, bool& designing) { designing = true; };
    design.SetDisjunctRowSelect(true);
    design.SetDisjunctColSelect(true);
    EXPECT_FALSE(design.DisjunctRowSelect());
    EXPECT_TRUE(design.DisjunctColSelect());
    design.SetDisjunctCellSelect(true);
    EXPECT_FALSE(design.DisjunctColSelect());
    EXPECT_TRUE(design.DisjunctCellSelect());
}

TEST(ExObjMouseActions, EditOnDblClickOnlyRaisesDisableEditWhenSwitchedOn)
{
    TMouseActions m;
    int disables = 0;
    m.OnDisableEdit = [&](TMouseActions*) { ++disables; };
    m.SetEditOnDblClickOnly(false);
    m.SetEditOnDblClickOnly(true);
    EXPECT_EQ(disables, 1);
}

TEST(ExObjMouseActions, AssignLeavesHotmailDoubleClickAndComboValues)
{
    TMouseActions a, b;
    a.SetRowSelectPersistent(true);
    a.SetWheelIncrement(3);
    a.SetHotmailRowSelect(true);
    a.SetEditOnDblClickOnly(true);
    a.SetFixedComboValues({QStringLiteral("x")});
    b.Assign(&a);
    EXPECT_TRUE(b.RowSelectPersistent());
    EXPECT_EQ(b.WheelIncrement(), 3);
    EXPECT_TRUE(b.DisjunctRowSelect()); // copied as an option of its own
    EXPECT_FALSE(b.HotmailRowSelect());
    EXPECT_FALSE(b.EditOnDblClickOnly());
    EXPECT_TRUE(b.FixedComboValues().isEmpty());
}

TEST(ExObjSearchFooter, CaptionsOnlyForTheDesigner)
{
    TSearchFooter design(true), run(false);
    EXPECT_EQ(design.FindNextCaption(), QStringLiteral("Find &next"));
    EXPECT_EQ(design.FindPrevCaption(), QStringLiteral("Find &previous"));
    EXPECT_EQ(design.HintHighlight(), QStringLiteral("Highlight occurrences"));
    EXPECT_TRUE(run.FindNextCaption().isEmpty());
    EXPECT_TRUE(run.HighLightCaption().isEmpty());
    EXPECT_EQ(run.SearchColumn(), -1);
    EXPECT_EQ(run.ColorTo(), clBtnFace);
    EXPECT_EQ(run.Color(), clWhite);
}

TEST(ExObjSearchFooter, ShowAndVisibleNotifyOnChangeOthersAlways)
{
    TSearchFooter f;
    int changes = 0;
    f.OnChange = [&](TSearchFooter*) { ++changes; };
    f.SetVisible(false);
    f.SetShowFindNext(true);
    EXPECT_EQ(changes, 0);
    f.SetVisible(true);
    f.SetSearchColumn(-1);
    f.SetHintClose(QString());
    EXPECT_EQ(changes, 3);
}

TEST(ExObjSearchFooter, AssignSkipsSearchOptionsAndIgnoresOtherClasses)
{
    TSearchFooter a, b;
    a.SetVisible(true);
    a.SetAutoSearch(false);
    a.SetSearchFixedCells(true);
    a.SetSearchColumn(4);
    b.Assign(&a);
    EXPECT_TRUE(b.Visible());
    EXPECT_EQ(b.SearchColumn(), 4);
    EXPECT_TRUE(b.AutoSearch());
    EXPECT_FALSE(b.SearchFixedCells());

    TNavigation n;
    n.Assign(&a); // a footer is no navigation
    EXPECT_FALSE(n.AllowInsertRow());
    EXPECT_TRUE(n.EditSelectAll());
}

TEST(ExObjSyncGrid, OwnGridIsIgnoredAndAGoneGridIsForgotten)
{
    TStringGrid owner;
    TSyncGrid sync(&owner);
    sync.SetGrid(&owner);
    EXPECT_EQ(sync.Grid(), nullptr);
    auto other = std::make_unique<TStringGrid>();
    sync.SetGrid(other.get());
    EXPECT_EQ(sync.Grid(), other.get());
    other.reset();
    EXPECT_EQ(sync.Grid(), nullptr);
}

TEST(ExObjBands, TotalLengthFollowsBothLengthsAlsoAfterAssign)
{
    TBands a;
    int changes = 0;
    a.OnChange = [&](TBands*) { ++changes; };
    a.SetPrimaryLength(3);
    a.SetSecondaryLength(2);
    EXPECT_EQ(a.TotalLength(), 5);
    EXPECT_EQ(changes, 0); // not active
    a.SetActive(true);
    a.SetPrimaryColor(clRed);
    EXPECT_EQ(changes, 2);
    TBands b;
    b.Assign(&a);
    EXPECT_EQ(b.TotalLength(), 5);
    EXPECT_EQ(b.PrimaryColor(), clRed);
    EXPECT_EQ(TBands().PrimaryColor(), clInfoBk);
    EXPECT_EQ(TBands().SecondaryColor(), clWindow);
}

// ---------------------------------------------------------------------------
// Lists
// ---------------------------------------------------------------------------

TEST(ExObjIntList, StrValueJoinsWithoutBlanks)
{
    TIntList l;
    EXPECT_EQ(l.StrValue(), QString());
    l.Add(1);
    l.Add(20);
    l.Add(3);
    EXPECT_EQ(l.StrValue(), QStringLiteral("1,20,3"));
    l.SetStrValue(QStringLiteral("4,-5"));
    EXPECT_EQ(l.Items(), (std::vector<int>{4, -5}));
}

TEST(ExObjIntList, StrValueWithANonNumberRaisesAndKeepsTheList)
{
    TIntList l;
    l.Add(9);
    EXPECT_THROW(l.SetStrValue(QStringLiteral("1,x,3")), std::invalid_argument);
    EXPECT_EQ(l.Items(), (std::vector<int>{9}));
}

TEST(ExObjIntList, ChangesReportTheListsCellAndInsertDoesNot)
{
    TIntList l(4, 7);
    std::vector<std::pair<int, int>> reports;
    l.OnChange = [&](QObject*, int c, int r) { reports.emplace_back(c, r); };
    l.Add(1);
    l.Insert(0, 2);
    l.SetInteger(0, 3);
    l.Delete(1);
    EXPECT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports.front(), std::make_pair(4, 7));
}

TEST(ExObjIntList, DeleteValueRemovesOnlyTheFirst)
{
    TIntList l;
    for (int v : {5, 6, 5})
        l.Add(v);
    l.DeleteValue(5);
    EXPECT_EQ(l.Items(), (std::vector<int>{6, 5}));
    l.DeleteValue(42);
    EXPECT_EQ(l.Count(), 2);
    EXPECT_THROW(l.GetInteger(2), std::out_of_range);
}

TEST(ExObjSortIndexList, TextFormRoundTrips)
{
    TSortIndexList l;
    l.AddIndex(3, true);
    l.AddIndex(5, false);
    EXPECT_EQ(l.SaveToString(), QStringLiteral("u3;d5"));
    TSortIndexList m;
    m.LoadFromString(QStringLiteral("u3;d5"));
    EXPECT_EQ(m.GetSortColumns(0), 3);
    EXPECT_TRUE(m.GetSortDirections(0));
    EXPECT_EQ(m.GetSortColumns(1), 5);
    EXPECT_FALSE(m.GetSortDirections(1));
    EXPECT_EQ(m.SaveToString(), QStringLiteral("u3;d5"));
}

TEST(ExObjSortIndexList, LoadFromStringCases)
{
    struct Case
    {
        const char* text;
        const char* saved;
    };
    const Case cases[] = {
        {"U3", "d3"},          // only a lower-case u is ascending
        {"x;", ""},            // a piece of one character is skipped
        {"u1;;d2", "u1;d2"},   // empty pieces are skipped
        {"", ""},
        {"u2;ux", "u2;u0"},    // a malformed number counts as column 0
        {"d65537", "d1"},      // the text form keeps the low 16 bits
    };
    for (const Case& c : cases) {
        TSortIndexList l;
        l.AddIndex(9, true);
        l.LoadFromString(QString::fromLatin1(c.text));
        EXPECT_EQ(l.SaveToString(), QString::fromLatin1(c.saved)) << c.text;
    }
}

TEST(ExObjSortIndexList, ToggleAndFind)
{
    TSortIndexList l;
    l.AddIndex(2, true);
    l.ToggleIndex(7);
    EXPECT_TRUE(l.GetSortDirections(0));
    l.ToggleIndex(2);
    EXPECT_FALSE(l.GetSortDirections(0));
    EXPECT_EQ(l.FindIndex(2), 0);
    EXPECT_EQ(l.FindIndex(7), -1);
    l.SetSortColumns(0, 4);
    EXPECT_EQ(l.GetSortColumns(0), 4);
    EXPECT_FALSE(l.GetSortDirections(0));
}

TEST(ExObjControlList, FindsAndRemovesItemsWithoutOwningControls)
{
    QWidget a, b;
    TControlList list;
    list.AddControl(1, 2, &a);
    list.AddControl(3, 4, &b);
    EXPECT_EQ(list.ControlIndex(3, 4), 1);
    EXPECT_EQ(list.ControlIndex(9, 9), -1);
    EXPECT_TRUE(list.HasHandle(&b));
    list.RemoveControl(0);
    EXPECT_FALSE(list.HasHandle(&a));
    EXPECT_EQ(list.GetControl(0)->X, 3);
}

TEST(ExObjFileStringList, ReadAndWriteLineByLine)
{
    TFileStringList f;
    f.Write(QStringLiteral("a"));
    f.Write(QStringLiteral("b"));
    f.WriteLn(QStringLiteral("c"));
    f.WriteLn(QStringLiteral("d"));
    EXPECT_EQ(f.Lines, (QStringList{QStringLiteral("abc"), QStringLiteral("d")}));
    QString s;
    f.ReadLn(s);
    EXPECT_EQ(s, QStringLiteral("abc"));
    f.ReadLn(s);
    EXPECT_TRUE(f.Eof());
    EXPECT_THROW(f.ReadLn(s), std::out_of_range);
    f.Reset();
    EXPECT_FALSE(f.Eof());
}

TEST(ExObjFilePicture, SizeFromTheFileAndNothingDrawnWithoutOne)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("p.png"));
    QImage img(7, 5, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(path));
    TFilePicture p;
    p.SetFilename(path);
    EXPECT_EQ(p.Width(), 7);
    EXPECT_EQ(p.Height(), 5);
    TFilePicture q;
    q.Assign(&p);
    EXPECT_EQ(q.Filename(), path);
    EXPECT_EQ(q.Height(), 5);

    TBitmap bmp(10, 10);
    bmp.Canvas().Brush().SetColor(clWhite);
    bmp.Canvas().FillRect(Rect(0, 0, 10, 10));
    TFilePicture empty;
    empty.DrawPicture(bmp.Canvas(), Rect(0, 0, 10, 10));
    EXPECT_EQ(bmp.Canvas().Pixel(5, 5), clWhite);
    p.DrawPicture(bmp.Canvas(), Rect(0, 0, 10, 10));
    bmp.Canvas().Flush();
    EXPECT_EQ(bmp.Canvas().Pixel(5, 5), clRed);

    TFilePicture missing;
    missing.SetFilename(QDir(dir.path()).filePath(QStringLiteral("none.png")));
    EXPECT_EQ(missing.Width(), 0);
}
