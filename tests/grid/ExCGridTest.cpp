#include "grid/ExCGrid.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <stdexcept>
#include <vector>

using namespace platform;

namespace {

struct ColumnGridFixture : ::testing::Test
{
    VOruVizizaZezo grid;
    void SetUp() override
    {
        grid.SetColCount(3);
        grid.SetRowCount(5);
    }
    TGridColumnItem* Item(int i) { return grid.Columns().GetItem(i); }
};

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST_F(ColumnGridFixture, OneItemPerColumnWithItsDefaults)
{
    ASSERT_EQ(grid.Columns().Count(), 3);
    const TGridColumnItem* item = Item(0);
    EXPECT_EQ(item->Width(), grid.ColWidths(0));
    EXPECT_EQ(item->CheckTrue(), QStringLiteral("Y"));
    EXPECT_EQ(item->CheckFalse(), QStringLiteral("N"));
    EXPECT_EQ(item->DropDownCount(), 8);
    EXPECT_EQ(item->SpinStep(), 1);
    EXPECT_EQ(item->PrintColor(), clWhite);
    EXPECT_EQ(item->BorderPen().Color(), clSilver);
    EXPECT_TRUE(item->PrintBorders().Contains(cbBottom));
    EXPECT_TRUE(item->PrintBorderCustom());
    EXPECT_EQ(item->ColumnPopupType(), cpFixedCellsRClick);
    EXPECT_EQ(item->Color(), grid.Color());
    EXPECT_EQ(item->GetDisplayName(), QStringLiteral("Column 0"));
    TGridColumnItem loose;
    EXPECT_EQ(loose.Width(), 0);
    EXPECT_EQ(loose.Color(), 0u);
    EXPECT_EQ(grid.GetVersionString(), QStringLiteral("3.1.3.1 Aug, 2012"));
    EXPECT_EQ(grid.Version(), QStringLiteral("3.1.3.1"));
}

TEST_F(ColumnGridFixture, NewColumnsLookLikeTheLastOne)
{
    TGridColumnItem* last = Item(2);
    last->SetAlignment(taRightJustify);
    last->SetEditor(edComboList);
    last->SetCheckTrue(QStringLiteral("1"));
    last->SetFloatFormat(QStringLiteral("%.1f"));
    last->SetMinSize(20);
    last->SetHeader(QStringLiteral("Last"));
    last->SetName(QStringLiteral("last"));
    last->SetTag(9);
    last->SetComboItems({QStringLiteral("a")});
    last->SetColor(clRed);
    grid.SetColCount(5);
    ASSERT_EQ(grid.Columns().Count(), 5);
    for (int i : {3, 4}) {
        const TGridColumnItem* item = Item(i);
        EXPECT_EQ(item->Alignment(), taRightJustify);
        EXPECT_EQ(item->Editor(), edComboList);
        EXPECT_EQ(item->CheckTrue(), QStringLiteral("1"));
        EXPECT_EQ(item->FloatFormat(), QStringLiteral("%.1f"));
        EXPECT_EQ(item->MinSize(), 20);
        EXPECT_EQ(item->Color(), grid.Color()); // the grid's colour, not the column's
        EXPECT_TRUE(item->Header().isEmpty());
        EXPECT_TRUE(item->Name().isEmpty());
        EXPECT_EQ(item->Tag(), 0);
        EXPECT_TRUE(item->ComboItems().isEmpty());
    }
    grid.SetColCount(3);
    EXPECT_EQ(grid.Columns().Count(), 3);
}

TEST_F(ColumnGridFixture, HiddenColumnsKeepTheirItems)
{
    grid.SetColCount(5);
    grid.HideColumn(1);
    grid.HideColumn(3);
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.Columns().Count(), 5);
    grid.SetColCount(4);
    EXPECT_EQ(grid.Columns().Count(), 6);
    Item(3)->SetWidth(70); // hidden: kept in the width table
    EXPECT_EQ(Item(3)->Width(), 70);
    grid.UnHideColumn(3);
    EXPECT_EQ(grid.ColWidths(grid.DisplColIndex(3)), 70);
}

TEST_F(ColumnGridFixture, HeaderShowsInRowZeroAndFillsTheHeaderList)
{
    Item(1)->SetHeader(QStringLiteral("Enable"));
    EXPECT_EQ(grid.GetCellEx(1, 0), QStringLiteral("Enable"));
    EXPECT_EQ(grid.ColumnHeaders().Count(), 3);
    EXPECT_EQ(grid.ColumnHeaders().Strings(1), QStringLiteral("Enable"));
    grid.SetColumnHeaders({QStringLiteral("No"), QStringLiteral("On"), QStringLiteral("Name")});
    EXPECT_EQ(Item(0)->Header(), QStringLiteral("No"));
    EXPECT_EQ(Item(2)->Header(), QStringLiteral("Name"));
    EXPECT_EQ(grid.GetCellEx(2, 0), QStringLiteral("Name"));
}

TEST_F(ColumnGridFixture, AddingAnItemAtRunTimeGrowsTheGrid)
{
    grid.Columns().Add();
    EXPECT_EQ(grid.ColCount(), 4);
    grid.Columns().Delete(3);
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_THROW(grid.Columns().GetItem(3), std::out_of_range);
}

TEST_F(ColumnGridFixture, ItemsMoveWithTheirColumns)
{
    grid.SetColCount(5);
    Item(1)->SetName(QStringLiteral("moved"));
    Item(1)->SetColumnPopupType(cpAllCellsLClick);
    Item(1)->SetPrintFontCustom(false);
    grid.SetCellEx(1, 2, QStringLiteral("cell"));
    std::pair<int, int> reported{-1, -1};
    grid.OnAfterColumnMoved = [&](QObject*, int from, int to) { reported = {from, to}; };
    grid.MoveColumn(1, 3);
    EXPECT_EQ(Item(3)->Name(), QStringLiteral("moved"));
    EXPECT_EQ(Item(3)->ColumnPopupType(), cpAllCellsLClick);
    EXPECT_FALSE(Item(3)->PrintFontCustom());
    EXPECT_EQ(grid.GetCellEx(3, 2), QStringLiteral("cell"));
    EXPECT_EQ(reported, std::make_pair(1, 3));
    EXPECT_EQ(grid.GetColumnByName(QStringLiteral("moved")), Item(3));
    EXPECT_EQ(grid.GetColumnByName(QStringLiteral("none")), nullptr);
}

TEST_F(ColumnGridFixture, MovingWithAHiddenColumnReportsRealIndices)
{
    grid.SetColCount(5);
    Item(4)->SetName(QStringLiteral("four"));
    grid.HideColumn(2);
    std::pair<int, int> reported{-1, -1};
    grid.OnAfterColumnMoved = [&](QObject*, int from, int to) { reported = {from, to}; };
    grid.MoveColumn(3, 1); // display 3 is real 4
    EXPECT_EQ(reported, std::make_pair(4, 1));
    EXPECT_EQ(Item(1)->Name(), QStringLiteral("four"));
    EXPECT_EQ(grid.Columns().Count(), 5);
}

TEST_F(ColumnGridFixture, InsertedAndRemovedColumnsKeepTheCollectionInStep)
{
    Item(1)->SetName(QStringLiteral("one"));
    grid.InsertCols(1, 2);
    EXPECT_EQ(grid.ColCount(), 5);
    ASSERT_EQ(grid.Columns().Count(), 5);
    EXPECT_EQ(Item(3)->Name(), QStringLiteral("one"));
    EXPECT_TRUE(Item(1)->Name().isEmpty());
    grid.RemoveCols(1, 2);
    EXPECT_EQ(grid.ColCount(), 3);
    ASSERT_EQ(grid.Columns().Count(), 3);
    EXPECT_EQ(Item(1)->Name(), QStringLiteral("one"));

    // Every shown column removed: the hidden one left is shown, one item.
    grid.HideColumn(1);
    grid.RemoveCols(2, 1);
    grid.RemoveCols(0, 1);
    EXPECT_EQ(grid.ColCount(), 1);
    EXPECT_EQ(grid.TotalColCount(), 1);
    ASSERT_EQ(grid.Columns().Count(), 1);
    EXPECT_EQ(Item(0)->Name(), QStringLiteral("one"));
}

TEST(ColumnGridColumns, NewItemsSitOverEmptyColumnsOnly)
{
    // Six columns by eight rows, every cell "c/r", each item named after its column.
    VOruVizizaZezo g;
    g.SetColCount(6);
    g.SetRowCount(8);
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    for (int c = 0; c < 6; ++c) {
        g.Columns().GetItem(c)->SetName(QStringLiteral("c%1").arg(c));
        for (int r = 0; r < 8; ++r)
            g.SetCellEx(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
    }
    g.SetColCount(3);
    g.InsertCols(3, 1); // past the columns cut a moment ago
    ASSERT_EQ(g.Columns().Count(), 4);
    EXPECT_TRUE(g.Columns().GetItem(3)->Name().isEmpty());
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(g.GetCellEx(3, r), QString()) << r;
    g.SetColCount(5); // items added by the count
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(g.GetCellEx(4, r), QString()) << r;

    g.HideColumn(2);
    g.HideRow(5);
    g.InsertCols(-3, 1); // cut to the first column, for the cells and the item alike
    ASSERT_EQ(g.Columns().Count(), g.TotalColCount());
    EXPECT_TRUE(g.Columns().GetItem(0)->Name().isEmpty());
    EXPECT_EQ(g.Columns().GetItem(1)->Name(), QStringLiteral("c0"));
    EXPECT_EQ(g.Columns().GetItem(3)->Name(), QStringLiteral("c2"));
    EXPECT_TRUE(g.IsHiddenColumn(3));
    g.UnHideRowsAll();
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(g.GetCellEx(0, r), QString()) << r;
        EXPECT_EQ(g.GetCellEx(3, r), QStringLiteral("2/%1").arg(r)) << r;
    }
}

TEST_F(ColumnGridFixture, PerColumnAnswers)
{
    Item(1)->SetReadOnly(true);
    Item(2)->SetCheckTrue(QStringLiteral("1"));
    Item(2)->SetCheckFalse(QStringLiteral("0"));
    Item(2)->SetEditor(edDataCheckBox);
    grid.OnGetCheckTrue = [](QObject*, int, int, QString& v) { v = QStringLiteral("yes"); };
    grid.SetOptions(grid.Options() & ~goEditing);

    bool canEdit = true;
    grid.QueryCanEdit(1, 2, canEdit);
    EXPECT_FALSE(canEdit);
    canEdit = false;
    grid.QueryCanEdit(2, 2, canEdit);
    EXPECT_TRUE(canEdit); // free text even without the editing option
    canEdit = true;
    grid.QueryCanEdit(2, 0, canEdit);
    EXPECT_FALSE(canEdit); // a header cell
    grid.SetReadOnly(2, 3, true);
    grid.QueryCanEdit(2, 3, canEdit);
    EXPECT_FALSE(canEdit);

    QString value;
    grid.QueryCheckTrue(2, 2, value);
    EXPECT_EQ(value, QStringLiteral("1")); // the column wins over the event
    grid.QueryCheckFalse(2, 2, value);
    EXPECT_EQ(value, QStringLiteral("0"));
    grid.QueryCheckTrue(1, 2, value);
    EXPECT_EQ(value, QStringLiteral("Y")); // every body cell takes its column's text
    grid.QueryCheckTrue(2, 0, value);
    EXPECT_EQ(value, QStringLiteral("yes")); // a header cell keeps the event's

    EXPECT_EQ(grid.GetCellType(2, 2), ctDataCheckBox);
    EXPECT_EQ(grid.GetCellType(2, 0), ctEmpty);
    EXPECT_EQ(grid.GetCellGraphic(2, 3)->CellType, ctVirtCheckBox);
    EXPECT_EQ(grid.GetCellGraphic(1, 3), nullptr);

    Item(1)->SetEditor(edComboEdit);
    Item(1)->SetComboItems({QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_TRUE(grid.QueryHasComboBox(1, 2));
    EXPECT_FALSE(grid.QueryHasComboBox(1, 0));
    TEditorType editor = edNormal;
    grid.QueryCellEditor(1, 2, editor);
    EXPECT_EQ(editor, edComboEdit);
    EXPECT_EQ(Item(1)->ComboItems().size(), 2);

    Item(1)->SetFixed(true);
    bool isFixed = false;
    grid.QueryIsFixed(1, 2, isFixed);
    EXPECT_TRUE(isFixed);
    canEdit = true;
    grid.QueryCanEdit(1, 2, canEdit);
    EXPECT_FALSE(canEdit);
}

TEST_F(ColumnGridFixture, ColumnFloatFormatAndSizeLimits)
{
    Item(1)->SetFloatFormat(QStringLiteral("%.3f"));
    grid.SetFloats(1, 1, 1.0);
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("1.000").replace(u'.', LocaleDecimalSeparator()));
    grid.SetFloats(2, 1, 1.0);
    EXPECT_EQ(grid.GetCellEx(2, 1), QStringLiteral("1.00").replace(u'.', LocaleDecimalSeparator()));
    TEditorType editor = edNormal;
    grid.QueryCellEditor(1, 0, editor);
    EXPECT_EQ(grid.FloatFormat(), QStringLiteral("%.2f")); // the column's format stays the column's
    Item(2)->SetMinSize(30);
    Item(2)->SetMaxSize(60);
    int w = 10;
    grid.AdjustSizedColumnWidth(2, w);
    EXPECT_EQ(w, 30);
    w = 100;
    grid.AdjustSizedColumnWidth(2, w);
    EXPECT_EQ(w, 60);
}

TEST_F(ColumnGridFixture, NewCellPropertiesTakeTheColumnsLook)
{
    Item(1)->SetColor(clYellow);
    Item(1)->Font().SetName(QStringLiteral("Verdana"));
    Item(1)->SetAlignment(taCenter);
    Item(1)->SetHeaderAlignment(taRightJustify);
    const TCellProperties* body = grid.GetCellProperties(1, 2);
    EXPECT_EQ(body->BrushColor(), clYellow);
    EXPECT_EQ(body->FontName(), QStringLiteral("Verdana"));
    EXPECT_EQ(body->Alignment(), taCenter);
    const TCellProperties* header = grid.GetCellProperties(1, 0);
    EXPECT_EQ(header->Alignment(), taRightJustify);
    EXPECT_EQ(header->BrushColor(), clNone);
}

TEST_F(ColumnGridFixture, TypedCellAccessThroughTheItem)
{
    Item(2)->SetRows(3, QStringLiteral("x"));
    EXPECT_EQ(grid.GetCellEx(2, 3), QStringLiteral("x"));
    Item(2)->SetInts(4, 17);
    EXPECT_EQ(Item(2)->GetInts(4), 17);
    EXPECT_EQ(Item(2)->GetRows(4), QStringLiteral("17"));
}

TEST_F(ColumnGridFixture, GroupingKeepsTheColumnItem)
{
    Item(1)->SetName(QStringLiteral("grouped"));
    grid.Group(1);
    Item(1)->SetName(QStringLiteral("changed"));
    grid.UnGroup();
    EXPECT_EQ(Item(1)->Name(), QStringLiteral("grouped"));
}

// ---------------------------------------------------------------------------
// Column stream
// ---------------------------------------------------------------------------

TEST_F(ColumnGridFixture, ColumnStreamRoundTrips)
{
    Item(0)->SetHeader(QStringLiteral("No"));
    Item(1)->SetEditor(edDataCheckBox);
    Item(1)->SetCheckTrue(QStringLiteral("on"));
    Item(1)->SetComboItems({QStringLiteral("a"), QStringLiteral("b")});
    Item(1)->SetBorders(TCellBorders{cbLeft});
    Item(1)->Font().SetName(QStringLiteral("Verdana"));
    Item(1)->SetPrintFontCustom(false);
    Item(2)->SetWidth(91);
    Item(2)->SetName(QStringLiteral("name"));
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    grid.SaveColumnsToStream(buffer);

    VOruVizizaZezo other;
    other.SetColCount(3);
    buffer.seek(0);
    other.LoadColumnsFromStream(buffer);
    ASSERT_EQ(other.Columns().Count(), 3);
    const TGridColumnItem* i1 = other.Columns().GetItem(1);
    EXPECT_EQ(i1->Editor(), edDataCheckBox);
    EXPECT_EQ(i1->CheckTrue(), QStringLiteral("on"));
    EXPECT_EQ(i1->ComboItems(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(i1->Borders(), TCellBorders{cbLeft});
    EXPECT_EQ(i1->Font().Name(), QStringLiteral("Verdana"));
    EXPECT_FALSE(i1->PrintFontCustom());
    EXPECT_EQ(other.Columns().GetItem(2)->Name(), QStringLiteral("name"));
    EXPECT_EQ(other.Columns().GetItem(2)->Width(), 91);
    EXPECT_EQ(other.Columns().GetItem(0)->Header(), QStringLiteral("No"));
    EXPECT_EQ(other.GetCellEx(0, 0), QStringLiteral("No"));
    EXPECT_EQ(other.ColCount(), 3);
}

TEST_F(ColumnGridFixture, DamagedColumnStreamsChangeNothing)
{
    QBuffer good;
    good.open(QIODevice::ReadWrite);
    Item(1)->SetName(QStringLiteral("kept"));
    grid.SaveColumnsToStream(good);
    const QByteArray bytes = good.data();
    Item(1)->SetName(QStringLiteral("current"));

    QByteArray huge;
    {
        QDataStream out(&huge, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << quint32(0x56434F4C) << qint32(1) << QStringLiteral("VOruVizizaZezoIO") << QString() << qint32(1000000);
    }
    QByteArray otherClass;
    {
        QDataStream out(&otherClass, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << quint32(0x56434F4C) << qint32(1) << QStringLiteral("TForm") << QString() << qint32(0);
    }
    const QByteArray damaged[] = {QByteArray(), QByteArray("garbage"), huge, otherClass};
    for (const QByteArray& d : damaged) {
        QByteArray copy = d;
        QBuffer buf(&copy);
        buf.open(QIODevice::ReadOnly);
        EXPECT_THROW(grid.LoadColumnsFromStream(buf), std::runtime_error);
        EXPECT_EQ(grid.Columns().Count(), 3);
        EXPECT_EQ(Item(1)->Name(), QStringLiteral("current"));
    }
    // Every prefix of a good stream is refused whole.
    for (int n = 0; n < bytes.size(); n += 7) {
        QByteArray part = bytes.left(n);
        QBuffer buf(&part);
        buf.open(QIODevice::ReadOnly);
        EXPECT_THROW(grid.LoadColumnsFromStream(buf), std::runtime_error) << n;
        EXPECT_EQ(Item(1)->Name(), QStringLiteral("current"));
    }
}

namespace {

// The items of a column stream, read with the library's own reader (the
// test's streams are its own, so it may trust them).
std::vector<QVariantMap> StreamItems(const QByteArray& bytes)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    qint32 version = 0, count = 0;
    QString className, name;
    in >> magic >> version >> className >> name >> count;
    std::vector<QVariantMap> items(static_cast<size_t>(count));
    for (QVariantMap& m : items)
        in >> m;
    return items;
}

QByteArray StreamHead(qint32 count)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << quint32(0x56434F4C) << qint32(1) << QStringLiteral("VOruVizizaZezoIO") << QString() << count;
    return bytes;
}

QByteArray StreamOf(const std::vector<QVariantMap>& items)
{
    QByteArray bytes = StreamHead(static_cast<qint32>(items.size()));
    QDataStream out(&bytes, QIODevice::WriteOnly | QIODevice::Append);
    out.setVersion(QDataStream::Qt_6_0);
    for (const QVariantMap& m : items)
        out << m;
    return bytes;
}

// One item holding a single property whose value is given as raw bytes
// (a type id, the null flag and what follows).
QByteArray StreamWithRawValue(const QString& key, const QByteArray& value)
{
    QByteArray bytes = StreamHead(1);
    QDataStream out(&bytes, QIODevice::WriteOnly | QIODevice::Append);
    out.setVersion(QDataStream::Qt_6_0);
    out << quint32(1) << key;
    out.writeRawData(value.constData(), static_cast<int>(value.size()));
    return bytes;
}

QByteArray RawValue(quint32 type, const std::function<void(QDataStream&)>& body)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << type << qint8(0);
    body(out);
    return bytes;
}

} // namespace

TEST_F(ColumnGridFixture, ColumnStreamValuesOutOfRangeChangeNothing)
{
    QBuffer good;
    good.open(QIODevice::ReadWrite);
    grid.SaveColumnsToStream(good);
    const std::vector<QVariantMap> items = StreamItems(good.data());
    ASSERT_EQ(items.size(), 3u);
    Item(1)->SetName(QStringLiteral("current"));
    const int width = Item(1)->Width();

    auto withFont = [&](const char* font, const char* key, const QVariant& v) {
        QVariantMap f = items[1].value(QLatin1String(font)).toMap();
        f[QLatin1String(key)] = v;
        return QVariant(f);
    };
    struct Damage
    {
        const char* why;
        const char* key;
        QVariant value;
    };
    const Damage damages[] = {
        {"a width the platform grid would overflow with", "Width", INT_MAX},
        {"a negative width", "Width", -1},
        {"a size limit wider than any column", "MaxSize", 40000},
        {"a font height that overflows where it is negated", "Font", withFont("Font", "Height", INT_MIN)},
        {"a header font height past the limit", "HeaderFont", withFont("HeaderFont", "Height", INT_MAX)},
        {"font style bits that name no style", "PrintFont", withFont("PrintFont", "Style", 0x100u)},
        {"an alignment that does not exist", "Alignment", 7},
        {"an editor type that does not exist", "Editor", 999},
        {"a negative sort style", "SortStyle", -1},
        {"border bits that name no border", "Borders", 0x10u},
        {"a pen wider than a cell", "BorderPen",
         [&] {
             QVariantMap p = items[1].value(QStringLiteral("BorderPen")).toMap();
             p[QStringLiteral("Width")] = INT_MAX;
             return QVariant(p);
         }()},
        {"a drop-down of a million rows", "DropDownCount", 1000000},
        {"a negative edit length", "EditLength", -5},
        {"a width of the wrong type", "Width", QStringLiteral("50")},
        {"a font that is no map", "Font", 12},
        {"a combo list of a type the writer never uses", "ComboItems", QByteArray("a\nb")},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.why);
        std::vector<QVariantMap> damaged = items;
        damaged[1][QLatin1String(d.key)] = d.value;
        QByteArray bytes = StreamOf(damaged);
        QBuffer buf(&bytes);
        buf.open(QIODevice::ReadOnly);
        EXPECT_THROW(grid.LoadColumnsFromStream(buf), std::runtime_error);
        EXPECT_EQ(Item(1)->Name(), QStringLiteral("current"));
        EXPECT_EQ(Item(1)->Width(), width);
    }

    // Values at the limits are taken.
    std::vector<QVariantMap> edge = items;
    edge[1][QStringLiteral("Width")] = TCustomGrid::MaxCellExtent;
    edge[1][QStringLiteral("Font")] = withFont("Font", "Height", -TCustomGrid::MaxCellExtent);
    edge[1][QStringLiteral("SortStyle")] = static_cast<int>(ssAlphaNumericNoCase);
    edge[1][QStringLiteral("Tag")] = INT_MIN;
    QByteArray bytes = StreamOf(edge);
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    ASSERT_NO_THROW(grid.LoadColumnsFromStream(buf));
    EXPECT_EQ(Item(1)->Width(), TCustomGrid::MaxCellExtent);
    EXPECT_EQ(Item(1)->Font().Height(), -TCustomGrid::MaxCellExtent);
    EXPECT_EQ(Item(1)->Tag(), INT_MIN);
}

TEST_F(ColumnGridFixture, ColumnStreamCountsAreCheckedBeforeAnythingIsAllocated)
{
    Item(1)->SetName(QStringLiteral("current"));
    auto strings = [](quint32 n) { return [n](QDataStream& out) { out << n; }; };
    struct Damage
    {
        const char* why;
        QByteArray bytes;
    };
    const Damage damages[] = {
        {"a string list claiming two thousand million entries",
         StreamWithRawValue(QStringLiteral("ComboItems"), RawValue(QMetaType::QStringList, strings(0x7FFFFFFFu)))},
        {"a string list longer than what follows",
         StreamWithRawValue(QStringLiteral("Filter"), RawValue(QMetaType::QStringList, strings(1000)))},
        {"a string claiming four gigabytes",
         StreamWithRawValue(QStringLiteral("Name"), RawValue(QMetaType::QString, strings(0xFFFFFFF0u)))},
        {"a string of an odd byte count",
         StreamWithRawValue(QStringLiteral("Name"), RawValue(QMetaType::QString, [](QDataStream& out) {
                                out << quint32(3) << quint8(0) << quint8(65) << quint8(0);
                            }))},
        {"a map claiming every entry there is",
         StreamWithRawValue(QStringLiteral("Font"), RawValue(QMetaType::QVariantMap, strings(0xFFFFFFFFu)))},
        {"maps nested deeper than a font",
         StreamWithRawValue(QStringLiteral("Font"), RawValue(QMetaType::QVariantMap, [](QDataStream& out) {
                                QVariantMap inner{{QStringLiteral("x"), 1}};
                                QVariantMap middle{{QStringLiteral("y"), inner}};
                                out << quint32(1) << QStringLiteral("z") << QVariant(middle);
                            }))},
        {"a value type the writer never uses (a picture)",
         StreamWithRawValue(QStringLiteral("Font"), RawValue(QMetaType::QImage, [](QDataStream& out) {
                                out << quint32(0x7FFFFFFF) << quint32(0x7FFFFFFF);
                            }))},
        {"a user type", StreamWithRawValue(QStringLiteral("Tag"), RawValue(QMetaType::User, [](QDataStream& out) {
                                               out << QByteArray("QList<QList<int>>") << quint32(0x7FFFFFFF);
                                           }))},
        {"an item count past the limit", StreamHead(1 << 20)},
        {"an item count larger than the stream", StreamHead(60000)},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.why);
        QByteArray bytes = d.bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::ReadOnly);
        EXPECT_THROW(grid.LoadColumnsFromStream(buf), std::runtime_error);
        EXPECT_EQ(grid.Columns().Count(), 3);
        EXPECT_EQ(Item(1)->Name(), QStringLiteral("current"));
    }
}

// ---------------------------------------------------------------------------
// Column positions in an INI file
// ---------------------------------------------------------------------------

TEST_F(ColumnGridFixture, PositionsRoundTripThroughAnIniFile)
{
    QTemporaryDir dir;
    const QString ini = QDir(dir.path()).filePath(QStringLiteral("grid.ini"));
    grid.Loaded();
    for (int i = 0; i < 3; ++i)
        Item(i)->SetName(QStringLiteral("c%1").arg(i));
    grid.MoveColumn(2, 0); // order now c2, c0, c1; positions 2, 0, 1
    grid.SaveColumnPositions(ini, QStringLiteral("Cols"));
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[Cols]\r\nCP0=2\r\nCP1=0\r\nCP2=1\r\n"));

    VOruVizizaZezo other;
    other.SetColCount(3);
    other.Loaded();
    for (int i = 0; i < 3; ++i)
        other.Columns().GetItem(i)->SetName(QStringLiteral("c%1").arg(i));
    other.LoadColumnPositions(ini, QStringLiteral("cols"));
    EXPECT_EQ(other.Columns().GetItem(0)->Name(), QStringLiteral("c2"));
    EXPECT_EQ(other.Columns().GetItem(1)->Name(), QStringLiteral("c0"));
    EXPECT_EQ(other.Columns().GetItem(2)->Name(), QStringLiteral("c1"));
}

TEST_F(ColumnGridFixture, PositionFilesThatDoNotNameEveryColumnOnceChangeNothing)
{
    QTemporaryDir dir;
    const QString ini = QDir(dir.path()).filePath(QStringLiteral("grid.ini"));
    grid.Loaded();
    for (int i = 0; i < 3; ++i)
        Item(i)->SetName(QStringLiteral("c%1").arg(i));
    const char* files[] = {
        "[Cols]\nCP0=1\nCP1=0\n",             // a key missing
        "[Cols]\nCP0=1\nCP1=1\nCP2=0\n",      // a column twice
        "[Cols]\nCP0=0\nCP1=1\nCP2=7\n",      // a column that does not exist
        "[Cols]\nCP0=-2\nCP1=0\nCP2=1\n",
        "[Other]\nCP0=2\nCP1=1\nCP2=0\n",     // another section
        "[Cols]\nCP0=x\nCP1=1\nCP2=0\n",
        "",
    };
    for (const char* text : files) {
        WriteFile(ini, QByteArray(text));
        grid.LoadColumnPositions(ini, QStringLiteral("Cols"));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Item(i)->Name(), QStringLiteral("c%1").arg(i)) << text;
    }
    grid.LoadColumnPositions(QDir(dir.path()).filePath(QStringLiteral("missing.ini")), QStringLiteral("Cols"));
    EXPECT_EQ(Item(0)->Name(), QStringLiteral("c0"));
}

TEST_F(ColumnGridFixture, SaveKeepsTheRestOfTheIniFile)
{
    QTemporaryDir dir;
    const QString ini = QDir(dir.path()).filePath(QStringLiteral("grid.ini"));
    WriteFile(ini, QByteArray("[Other]\nX=1\n[Cols]\nCP0=5\n\n[Last]\nY=2\n"));
    grid.Loaded();
    grid.SaveColumnPositions(ini, QStringLiteral("Cols"));
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[Other]\r\nX=1\r\n[Cols]\r\nCP0=0\r\nCP1=1\r\nCP2=2\r\n\r\n[Last]\r\nY=2\r\n"));
    grid.ColumnSize().SetLocation(clIniFile);
    grid.ColumnSize().SetKey(ini);
    grid.ColumnSize().SetSection(QStringLiteral("Cols"));
    EXPECT_NO_THROW(grid.SaveColPositions());
    EXPECT_THROW(grid.SaveColumnPositions(QDir(dir.path()).filePath(QStringLiteral("no/such/dir/x.ini")),
                                          QStringLiteral("Cols")),
                 std::runtime_error);
}

TEST_F(ColumnGridFixture, ColoursFontsAndBordersFromTheColumns)
{
    Item(1)->SetColor(clYellow);
    Item(1)->Font().SetName(QStringLiteral("Verdana"));
    Item(1)->HeaderFont().SetName(QStringLiteral("Courier"));
    Item(2)->SetFixed(true);
    Item(2)->SetBorders(TCellBorders{cbTop});
    TPen pen;
    pen.SetColor(clRed);
    Item(2)->SetBorderPen(pen);

    TBrush brush;
    TFont font;
    grid.QueryCellColor(1, 2, brush, font, 0);
    EXPECT_EQ(brush.Color(), clYellow);
    EXPECT_EQ(font.Name(), QStringLiteral("Verdana"));
    brush.SetColor(clWhite);
    grid.QueryCellColor(1, 0, brush, font, 0);
    EXPECT_EQ(brush.Color(), clWhite); // header rows keep their brush
    EXPECT_EQ(font.Name(), QStringLiteral("Courier"));
    grid.QueryCellColor(2, 3, brush, font, 0);
    EXPECT_EQ(brush.Color(), grid.FixedColor());
    grid.SetColors(1, 3, clLime);
    grid.QueryCellColor(1, 3, brush, font, 0);
    EXPECT_EQ(brush.Color(), clLime); // the cell's own colour wins
    grid.OnGetCellColor = [](QObject*, int, int, TGridDrawState, TBrush& b, TFont&) { b.SetColor(clNavy); };
    grid.QueryCellColor(1, 3, brush, font, 0);
    EXPECT_EQ(brush.Color(), clNavy);

    TCellBorders borders;
    TPen cellPen;
    grid.QueryCellBorder(2, 2, borders, cellPen);
    EXPECT_EQ(borders, TCellBorders{cbTop});
    EXPECT_EQ(cellPen.Color(), clRed);
    TCellBorders none;
    grid.QueryCellBorder(2, 0, none, cellPen);
    EXPECT_TRUE(none.Empty());
    grid.QueryCellPrintBorder(2, 2, borders, cellPen);
    EXPECT_EQ(borders, (TCellBorders{cbTop, cbLeft, cbRight, cbBottom}));
}

TEST_F(ColumnGridFixture, FormattedCellsOfNumericColumns)
{
    Item(1)->SetFloatFormat(QStringLiteral("%.1f"));
    grid.SetCellEx(1, 1, QStringLiteral("2"));
    grid.SetCellEx(1, 2, QStringLiteral("text"));
    const QString dec = QString(LocaleDecimalSeparator());
    EXPECT_EQ(grid.GetFormattedCell(1, 1), QStringLiteral("2") + dec + QStringLiteral("0"));
    EXPECT_EQ(grid.GetFormattedCell(1, 2), QStringLiteral("text"));
    grid.OnGetFloatFormat = [](QObject*, int, int, bool& isFloat, QString&) { isFloat = false; };
    EXPECT_EQ(grid.GetFormattedCell(1, 1), QStringLiteral("2"));
    grid.SetCellEx(2, 1, QStringLiteral("3"));
    EXPECT_EQ(grid.GetFormattedCell(2, 1), QStringLiteral("3"));
}
