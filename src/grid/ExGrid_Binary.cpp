// The binary cell stream: a header record (TGridPropIO) and, per cell, a
// cell record (TGridCellIO), its properties (TGridCellPropIO) and graphic
// (TGridGraphicIO) with at most one payload record. Each record is written
// in a self-describing form of the component streaming format: "TPF0", the
// class name, an empty name, name/value pairs, two end markers.
//
// The reader trusts nothing it is told: every length is checked against the
// bytes that remain, every record is parsed before the grid changes, and the
// object and control references of a cell come back only into the grid that
// wrote them, and only while that grid still holds them.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Exchange.h"
#include "grid/ExGrid_Private.h"

#include "widgets/PictureContainer.h"

#include <QBuffer>
#include <QFile>
#include <QIODevice>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <cstring>
#include <map>
#include <set>
#include <variant>
#include <vector>

using namespace exgrid_exchange;
using namespace platform;

namespace {

// Value tags of the streaming format.
enum : uint8_t
{
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaInt64 = 16,
    vaDouble = 19,
    vaUTF8String = 20,
};

[[noreturn]] void ReadError(const QString& what)
{
    throw REruVidaZuvez(QStringLiteral("Stream read error: ") + what);
}

class RecordWriter
{
public:
    explicit RecordWriter(const char* className)
    {
        FOut.append("TPF0", 4);
        Short(className);
        Short("");
    }
    void Int(const char* name, long long v)
    {
        Short(name);
        if (v >= -128 && v <= 127) {
            U8(vaInt8);
            U8(static_cast<uint8_t>(static_cast<int8_t>(v)));
        } else if (v >= -32768 && v <= 32767) {
            U8(vaInt16);
            Le(static_cast<uint64_t>(v), 2);
        } else if (v >= INT32_MIN && v <= INT32_MAX) {
            U8(vaInt32);
            Le(static_cast<uint64_t>(v), 4);
        } else {
            U8(vaInt64);
            Le(static_cast<uint64_t>(v), 8);
        }
    }
    void Bool(const char* name, bool v)
    {
        Short(name);
        U8(v ? vaTrue : vaFalse);
    }
    // Left out when empty.
    void Str(const char* name, const QString& v)
    {
        if (v.isEmpty())
            return;
        Short(name);
        U8(vaUTF8String);
        const QByteArray b = v.toUtf8();
        Le(static_cast<uint64_t>(b.size()), 4);
        FOut.append(b);
    }
    // Left out when 0.
    void Double(const char* name, double v)
    {
        if (v == 0)
            return;
        Short(name);
        U8(vaDouble);
        uint64_t bits = 0;
        std::memcpy(&bits, &v, 8);
        Le(bits, 8);
    }
    void Binary(const char* name, const QByteArray& v)
    {
        Short(name);
        U8(vaBinary);
        Le(static_cast<uint64_t>(v.size()), 4);
        FOut.append(v);
    }
    // Left out when empty.
    void List(const char* name, const QStringList& v)
    {
        if (v.isEmpty())
            return;
        Short(name);
        U8(vaList);
        for (const QString& s : v) {
            U8(vaUTF8String);
            const QByteArray b = s.toUtf8();
            Le(static_cast<uint64_t>(b.size()), 4);
            FOut.append(b);
        }
        U8(vaNull);
    }
    void WriteTo(QIODevice& stream)
    {
        U8(0);
        U8(0);
        if (stream.write(FOut) != FOut.size())
            throw REruVidaZuvez(QStringLiteral("Stream write error"));
    }

private:
    void U8(uint8_t v) { FOut.append(static_cast<char>(v)); }
    void Le(uint64_t v, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            FOut.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    void Short(const char* s)
    {
        const size_t n = std::strlen(s);
        U8(static_cast<uint8_t>(n));
        FOut.append(s, static_cast<qsizetype>(n));
    }
    QByteArray FOut;
};

using Value = std::variant<long long, bool, QString, double, QByteArray, QStringList>;

struct Record
{
    QByteArray className;
    std::map<QByteArray, Value> props;

    bool Has(const char* n) const { return props.count(QByteArray(n)) != 0; }
    template<typename T>
    T Get(const char* n, T fallback) const
    {
        auto it = props.find(QByteArray(n));
        if (it == props.end())
            return fallback;
        if (const T* v = std::get_if<T>(&it->second))
            return *v;
        ReadError(QStringLiteral("invalid property value for ") + QString::fromLatin1(n));
    }
    int Int(const char* n, int fallback, long long lo = INT_MIN, long long hi = INT_MAX) const
    {
        const long long v = Get<long long>(n, fallback);
        if (v < lo || v > hi)
            ReadError(QStringLiteral("property out of range: ") + QString::fromLatin1(n));
        return static_cast<int>(v);
    }
};

// Parses records from a byte block; never reads beyond it.
class RecordReader
{
public:
    explicit RecordReader(const QByteArray& data) : FData(data) {}
    qsizetype Remaining() const { return FData.size() - FPos; }
    qsizetype Pos() const { return FPos; }

    Record Read(std::initializer_list<const char*> allowed)
    {
        Record r;
        if (Remaining() < 4 || std::memcmp(FData.constData() + FPos, "TPF0", 4) != 0)
            ReadError(QStringLiteral("invalid stream format"));
        FPos += 4;
        r.className = Short();
        Short(); // the component's name, never used
        for (;;) {
            const QByteArray name = Short();
            if (name.isEmpty())
                break;
            bool known = false;
            for (const char* a : allowed)
                known = known || name == a;
            if (!known)
                ReadError(QStringLiteral("property does not exist: ") + QString::fromLatin1(name));
            r.props[name] = ReadValue(U8());
        }
        if (U8() != 0)
            ReadError(QStringLiteral("unexpected child components"));
        return r;
    }

private:
    uint8_t U8()
    {
        if (Remaining() < 1)
            ReadError(QStringLiteral("truncated record"));
        return static_cast<uint8_t>(FData[FPos++]);
    }
    uint64_t Le(int bytes)
    {
        if (Remaining() < bytes)
            ReadError(QStringLiteral("truncated record"));
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= static_cast<uint64_t>(static_cast<uint8_t>(FData[FPos + i])) << (8 * i);
        FPos += bytes;
        return v;
    }
    QByteArray Bytes(uint64_t n)
    {
        if (n > static_cast<uint64_t>(Remaining()))
            ReadError(QStringLiteral("length beyond the end of the stream"));
        QByteArray b = FData.mid(FPos, static_cast<qsizetype>(n));
        FPos += static_cast<qsizetype>(n);
        return b;
    }
    QByteArray Short() { return Bytes(U8()); }
    QString Utf8() { return QString::fromUtf8(Bytes(Le(4))); }
    Value ReadValue(uint8_t tag)
    {
        switch (tag) {
        case vaInt8: return static_cast<long long>(static_cast<int8_t>(U8()));
        case vaInt16: return static_cast<long long>(static_cast<int16_t>(Le(2)));
        case vaInt32: return static_cast<long long>(static_cast<int32_t>(Le(4)));
        case vaInt64: return static_cast<long long>(Le(8));
        case vaFalse: return false;
        case vaTrue: return true;
        case vaUTF8String: return Utf8();
        case vaDouble: {
            const uint64_t bits = Le(8);
            double d = 0;
            std::memcpy(&d, &bits, 8);
            return d;
        }
        case vaBinary: return Bytes(Le(4));
        case vaList: {
            QStringList list;
            for (uint8_t t = U8(); t != vaNull; t = U8()) {
                if (t != vaUTF8String)
                    ReadError(QStringLiteral("invalid list item"));
                list << Utf8();
            }
            return list;
        }
        default: ReadError(QStringLiteral("invalid value type %1").arg(tag));
        }
    }

    const QByteArray& FData;
    qsizetype FPos = 0;
};

// The grid's identity in its streams: random per grid, so that a stream from
// another grid or process never matches.
quint32 GridStreamId(TExStringGrid& g)
{
    QVariant v = g.property("exgridStreamId");
    if (!v.isValid()) {
        quint32 id = 0;
        while (id == 0)
            id = QRandomGenerator::global()->generate();
        g.setProperty("exgridStreamId", id);
        return id;
    }
    return v.toUInt();
}

QByteArray ImageBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString JoinInts(const std::vector<int>& v)
{
    QStringList s;
    for (int i : v)
        s << QString::number(i);
    return s.join(u',');
}

constexpr const char* PropNames[] = {
    "CellProperties.IsBaseCell", "CellProperties.CellSpanX", "CellProperties.CellSpanY",
    "CellProperties.Alignment", "CellProperties.BorderColor", "CellProperties.BorderWidth",
    "CellProperties.BrushColor", "CellProperties.BrushColorTo", "CellProperties.BrushStyle",
    "CellProperties.CellObject", "CellProperties.FontColor", "CellProperties.FontName",
    "CellProperties.FontSize", "CellProperties.FontStyle", "CellProperties.Editor",
    "CellProperties.GradientDirection", "CellProperties.ReadOnly", "CellProperties.VAlignment",
    "CellProperties.WordWrap", "CellProperties.NodeLevel", "CellProperties.Control", "HasGraphic",
};

bool HasOwnPayload(TCellType t)
{
    return t == ctBitmap || t == ctIcon || t == ctRadio || t == ctImages || t == ctPicture || t == ctFilePicture ||
           t == ctBitButton;
}

struct CellGroup
{
    int col = 0;
    int row = 0;
    QString text;
    bool hasProp = false;
    Record props;
    bool hasGraphic = false;
    Record graphic;
    bool hasPayload = false;
    Record payload;
};

} // namespace

void TExStringGrid::SaveRectToBinStream(const TRect& r, QIODevice& stream)
{
    const int C = r.Right - r.Left + 1;
    const int R = r.Bottom - r.Top + 1;
    const bool full = FSaveFixedCells ? (R == RowCount() && C == ColCount())
                                      : (R == RowCount() - FixedRows() && C == ColCount() - FixedCols());
    std::vector<int> widths, heights;
    for (int c = r.Left; c <= r.Right; ++c)
        widths.push_back(c >= 0 && c < ColCount() ? ColWidths(c) : DefaultColWidth());
    for (int rr = r.Top; rr <= r.Bottom; ++rr)
        heights.push_back(rr >= 0 && rr < RowCount() ? RowHeights(rr) : DefaultRowHeight());
    {
        RecordWriter h("TGridPropIO");
        h.Int("ColCount", C);
        h.Int("RowCount", R);
        h.Str("ColWidths", JoinInts(widths));
        h.Str("RowHeights", JoinInts(heights));
        h.Bool("FullGrid", full);
        h.Int("ID", static_cast<qint32>(GridStreamId(*this)));
        h.WriteTo(stream);
    }
    ProgressReporter progress(*this);
    ExportNotification(esExportStart, r.Top);
    for (int row = r.Top; row <= r.Bottom; ++row) {
        ExportNotification(esExportNextRow, row);
        for (int col = r.Left; col <= r.Right; ++col) {
            // The rectangle is in display columns: hidden columns are left
            // out, and each shown cell is read at its real column.
            const int rc = RealColIndex(col);
            TCellProperties* p = CellPropsAt(rc, row);
            RecordWriter cell("TGridCellIO");
            cell.Int("Col", col);
            cell.Int("Row", row);
            cell.Str("Cell", GetCellEx(rc, row));
            cell.Bool("HasProp", p != nullptr);
            cell.WriteTo(stream);
            if (!p)
                continue;
            TCellGraphic* g = GetCellGraphic(rc, row);
            const TCellType type = g ? g->CellType : ctEmpty;
            const bool hasGraphic = g && type != ctEmpty && (!HasOwnPayload(type) || g->CellCreated);
            RecordWriter pw("TGridCellPropIO");
            pw.Bool("CellProperties.IsBaseCell", p->IsBaseCell());
            pw.Int("CellProperties.CellSpanX", p->CellSpanX());
            pw.Int("CellProperties.CellSpanY", p->CellSpanY());
            pw.Int("CellProperties.Alignment", static_cast<int>(p->Alignment()));
            pw.Int("CellProperties.BorderColor", static_cast<qint32>(p->BorderColor()));
            pw.Int("CellProperties.BorderWidth", p->BorderWidth());
            pw.Int("CellProperties.BrushColor", static_cast<qint32>(p->BrushColor()));
            // Not copied by the properties' assignment: the carrier's own values.
            pw.Int("CellProperties.BrushColorTo", static_cast<qint32>(clNone));
            pw.Int("CellProperties.BrushStyle", static_cast<int>(p->BrushStyle()));
            if (p->CellObject())
                pw.Int("CellProperties.CellObject", static_cast<long long>(reinterpret_cast<quintptr>(p->CellObject())));
            pw.Int("CellProperties.FontColor", static_cast<qint32>(p->FontColor()));
            pw.Str("CellProperties.FontName", p->FontName());
            pw.Int("CellProperties.FontSize", p->FontSize());
            pw.Int("CellProperties.FontStyle", static_cast<long long>(p->FontStyle()));
            pw.Int("CellProperties.Editor", static_cast<int>(p->Editor()));
            pw.Int("CellProperties.GradientDirection", static_cast<int>(GradientVertical));
            pw.Bool("CellProperties.ReadOnly", p->ReadOnly());
            pw.Int("CellProperties.VAlignment", static_cast<int>(p->VAlignment()));
            pw.Bool("CellProperties.WordWrap", p->WordWrap());
            pw.Int("CellProperties.NodeLevel", p->NodeLevel());
            if (p->Control())
                pw.Int("CellProperties.Control", static_cast<long long>(reinterpret_cast<quintptr>(p->Control())));
            pw.Bool("HasGraphic", hasGraphic);
            pw.WriteTo(stream);
            if (!hasGraphic)
                continue;
            RecordWriter gw("TGridGraphicIO");
            gw.Int("CellGraphic.CellType", static_cast<int>(g->CellType));
            gw.Int("CellGraphic.CellVAlign", static_cast<int>(g->CellVAlign));
            gw.Int("CellGraphic.CellHAlign", static_cast<int>(g->CellHAlign));
            gw.Int("CellGraphic.CellIndex", g->CellIndex);
            gw.Bool("CellGraphic.CellTransparent", g->CellTransparent);
            gw.Bool("CellGraphic.CellCreated", g->CellCreated);
            gw.Bool("CellGraphic.CellBoolean", g->CellBoolean);
            gw.Int("CellGraphic.CellCheckBoxState", static_cast<int>(cbUnchecked));
            gw.Int("CellGraphic.CellAngle", g->CellAngle);
            gw.Double("CellGraphic.CellValue", g->CellValue);
            gw.Int("CellGraphic.CellErrFrom", g->CellErrFrom);
            gw.Int("CellGraphic.CellErrLen", g->CellErrLen);
            gw.Str("CellGraphic.CellText", g->CellText);
            gw.WriteTo(stream);
            switch (type) {
            case ctBitmap:
            case ctBitButton: {
                RecordWriter w("TGridBMPIO");
                w.Binary("Bitmap", g->Bitmap ? ImageBytes(g->Bitmap->Image()) : QByteArray());
                w.WriteTo(stream);
                break;
            }
            case ctIcon: {
                RecordWriter w("TGridIconIO");
                w.Binary("Icon", g->Icon ? ImageBytes(g->Icon->Image()) : QByteArray());
                w.WriteTo(stream);
                break;
            }
            case ctRadio:
            case ctImages: {
                RecordWriter w("TGridSLIO");
                QStringList items;
                if (type == ctRadio && g->Strings)
                    items = *g->Strings;
                if (type == ctImages && g->Images && g->Images->Count() > 0)
                    items = g->Images->StrValue().split(u',');
                w.List("Strings", items);
                w.WriteTo(stream);
                break;
            }
            case ctPicture: {
                RecordWriter w("TGridPicIO");
                QByteArray data;
                if (g->Picture)
                    g->Picture->SaveToStream(data);
                w.Binary("Picture", data);
                w.WriteTo(stream);
                break;
            }
            case ctFilePicture: {
                RecordWriter w("TGridFilePicIO");
                const auto* fp = dynamic_cast<const TFilePicture*>(g->CellBitmap);
                w.Str("Picture.Filename", fp ? fp->Filename() : QString());
                w.WriteTo(stream);
                break;
            }
            default: break;
            }
        }
        if (progress.Active())
            progress.Report(Percent(row, r.Bottom - r.Top));
    }
    ExportNotification(esExportDone, -1);
}

void TExStringGrid::SaveToBinStream(QIODevice& stream)
{
    SaveRectToBinStream(TRect{SaveStartCol(), SaveStartRow(), SaveEndCol(), SaveEndRow()}, stream);
}

void TExStringGrid::SaveToBinFile(const QString& fileName)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    SaveToBinStream(buffer);
    WriteFileBytes(fileName, buffer.data());
}

bool exgrid_detail::ReadBinStreamHeader(const QByteArray& bytes, TBinStreamHeader& head)
{
    try {
        RecordReader in(bytes);
        const Record r = in.Read({"ColCount", "RowCount", "ColWidths", "RowHeights", "FullGrid", "ID"});
        // A block no file could hold is a damaged one.
        head.ColCount = r.Int("ColCount", 0, 0, MaxFileCols);
        head.RowCount = r.Int("RowCount", 0, 0, MaxFileRows);
        head.ID = static_cast<quint32>(r.Int("ID", 0));
        return true;
    } catch (const REruVidaZuvez&) {
        return false;
    }
}

void TExStringGrid::LoadAtPointFromBinStream(const TPoint& p, QIODevice& stream, bool fullGridAllowed)
{
    const qint64 start = stream.pos();
    const QByteArray data = stream.readAll();
    RecordReader in(data);
    std::vector<CellGroup> groups;
    Record head;
    try {
        head = in.Read({"ColCount", "RowCount", "ColWidths", "RowHeights", "FullGrid", "ID"});
        while (in.Remaining() >= 2) {
            CellGroup cg;
            const Record cell = in.Read({"Col", "Row", "Cell", "HasProp"});
            cg.col = cell.Int("Col", 0);
            cg.row = cell.Int("Row", 0);
            cg.text = cell.Get<QString>("Cell", QString());
            cg.hasProp = cell.Get<bool>("HasProp", false);
            if (cg.hasProp) {
                cg.props = in.Read({PropNames[0], PropNames[1], PropNames[2], PropNames[3], PropNames[4],
                                    PropNames[5], PropNames[6], PropNames[7], PropNames[8], PropNames[9],
                                    PropNames[10], PropNames[11], PropNames[12], PropNames[13], PropNames[14],
                                    PropNames[15], PropNames[16], PropNames[17], PropNames[18], PropNames[19],
                                    PropNames[20], PropNames[21]});
                cg.hasGraphic = cg.props.Get<bool>("HasGraphic", false);
            }
            if (cg.hasGraphic) {
                cg.graphic = in.Read({"CellGraphic.CellType", "CellGraphic.CellVAlign", "CellGraphic.CellHAlign",
                                      "CellGraphic.CellIndex", "CellGraphic.CellTransparent",
                                      "CellGraphic.CellCreated", "CellGraphic.CellBoolean",
                                      "CellGraphic.CellCheckBoxState", "CellGraphic.CellAngle",
                                      "CellGraphic.CellValue", "CellGraphic.CellErrFrom", "CellGraphic.CellErrLen",
                                      "CellGraphic.CellText"});
                const auto type = static_cast<TCellType>(
                    cg.graphic.Int("CellGraphic.CellType", static_cast<int>(ctNone), 0, static_cast<int>(ctExpand)));
                if (HasOwnPayload(type)) {
                    cg.hasPayload = true;
                    cg.payload = in.Read({"Bitmap", "Icon", "Strings", "Picture", "Picture.Filename"});
                }
            }
            groups.push_back(std::move(cg));
        }
    } catch (...) {
        stream.seek(start);
        throw;
    }
    // A single trailing byte is ignored; the stream ends after what was read.
    stream.seek(start + in.Pos() + in.Remaining());

    const bool full = fullGridAllowed && head.Get<bool>("FullGrid", false);
    std::vector<int> widths, heights;
    int cols = 0, rows = 0;
    if (full) {
        cols = head.Int("ColCount", 0);
        rows = head.Int("RowCount", 0);
        if (cols < 1 || rows < 1 || cols + NumHiddenColumns() > MaxFileCols || rows > MaxFileRows)
            throw REruVidaZuvez(QStringLiteral("Stream read error: invalid grid size"));
        const auto items = [](const QString& s, int count, std::vector<int>& out) {
            const QStringList parts = s.split(u',');
            if (parts.size() < count)
                throw REruVidaZuvez(QStringLiteral("List index out of bounds (%1)").arg(parts.size()));
            for (int i = 0; i < count; ++i) {
                bool ok = false;
                const int v = parts[i].toInt(&ok);
                if (!ok)
                    throw REruVidaZuvez(QStringLiteral("'") + parts[i] + QStringLiteral("' is not a valid integer value"));
                out.push_back(v);
            }
        };
        items(head.Get<QString>("ColWidths", QString()), cols, widths);
        items(head.Get<QString>("RowHeights", QString()), rows, heights);
    }
    const bool sameGrid = static_cast<quint32>(head.Int("ID", 0)) == GridStreamId(*this);

    // Objects and controls this grid holds now: the only ones a stream may name.
    std::set<quintptr> objects, controls;
    if (sameGrid) {
        for (int r = 0; r < RowCount(); ++r)
            for (int c = 0; c < TotalColCount(); ++c)
                if (TCellProperties* cp = CellPropsAt(c, r)) {
                    if (cp->CellObject())
                        objects.insert(reinterpret_cast<quintptr>(cp->CellObject()));
                    if (cp->Control())
                        controls.insert(reinterpret_cast<quintptr>(cp->Control()));
                }
    }

    BeginUpdate();
    const auto endUpdate = qScopeGuard([this] { EndUpdate(); });
    if (full) {
        Clear();
        SetRowCount(rows);
        SetColCount(cols);
        for (int c = 0; c < cols; ++c)
            SetColWidths(c, std::clamp(widths[c], 0, MaxCellExtent));
        for (int r = 0; r < rows; ++r)
            SetRowHeights(r, std::clamp(heights[r], 0, MaxCellExtent));
    }
    const int originCol = full || groups.empty() ? 0 : groups.front().col;
    const int originRow = full || groups.empty() ? 0 : groups.front().row;
    ProgressReporter progress(*this);
    int lastRow = INT_MIN;
    for (const CellGroup& cg : groups) {
        const long long tc = static_cast<long long>(cg.col) - originCol + p.X;
        const long long tr = static_cast<long long>(cg.row) - originRow + p.Y;
        if (tc < 0 || tr < 0 || tc >= ColCount() || tr >= RowCount())
            continue;
        const int col = RealColIndex(static_cast<int>(tc)), row = static_cast<int>(tr);
        SetCellEx(col, row, cg.text);
        if (row != lastRow) {
            lastRow = row;
            if (progress.Active())
                progress.Report(Percent(row, RowCount()));
        }
        if (!cg.hasProp)
            continue;
        TCellProperties* t = GetCellProperties(col, row);
        if (!t)
            continue;
        const Record& pr = cg.props;
        if (pr.Has("CellProperties.IsBaseCell"))
            t->SetIsBaseCell(pr.Get<bool>("CellProperties.IsBaseCell", true));
        t->SetCellSpanX(pr.Int("CellProperties.CellSpanX", t->CellSpanX(), -MaxFileCols, MaxFileCols));
        t->SetCellSpanY(pr.Int("CellProperties.CellSpanY", t->CellSpanY(), -MaxFileRows, MaxFileRows));
        t->SetAlignment(static_cast<TAlignment>(pr.Int("CellProperties.Alignment", static_cast<int>(t->Alignment()), 0, 2)));
        t->SetBorderColor(static_cast<TColor>(pr.Int("CellProperties.BorderColor", static_cast<int>(t->BorderColor()))));
        t->SetBorderWidth(pr.Int("CellProperties.BorderWidth", t->BorderWidth(), 0, 1000));
        t->SetBrushColor(static_cast<TColor>(pr.Int("CellProperties.BrushColor", static_cast<int>(t->BrushColor()))));
        t->SetBrushStyle(static_cast<TBrushStyle>(
            pr.Int("CellProperties.BrushStyle", static_cast<int>(t->BrushStyle()), 0, static_cast<int>(bsDiagCross))));
        if (pr.Has("CellProperties.CellObject")) {
            const auto v = static_cast<quintptr>(pr.Get<long long>("CellProperties.CellObject", 0));
            t->SetCellObject(objects.count(v) ? reinterpret_cast<TObject*>(v) : nullptr);
        }
        if (pr.Has("CellProperties.Control")) {
            const auto v = static_cast<quintptr>(pr.Get<long long>("CellProperties.Control", 0));
            t->SetControl(controls.count(v) ? reinterpret_cast<QWidget*>(v) : nullptr);
        }
        t->SetFontColor(static_cast<TColor>(pr.Int("CellProperties.FontColor", static_cast<int>(t->FontColor()))));
        t->SetFontName(pr.Get<QString>("CellProperties.FontName", t->FontName()));
        t->SetFontSize(pr.Int("CellProperties.FontSize", t->FontSize(), -1000, 1000));
        t->SetFontStyle(static_cast<TFontStyles>(pr.Int("CellProperties.FontStyle", static_cast<int>(t->FontStyle()), 0, 15)));
        t->SetEditor(static_cast<TEditorType>(
            pr.Int("CellProperties.Editor", static_cast<int>(t->Editor()), 0, static_cast<int>(TEditorType::edMaskEditBtn))));
        t->SetReadOnly(pr.Get<bool>("CellProperties.ReadOnly", t->ReadOnly()));
        t->SetVAlignment(static_cast<TVAlignment>(pr.Int("CellProperties.VAlignment", static_cast<int>(t->VAlignment()), 0, 2)));
        t->SetWordWrap(pr.Get<bool>("CellProperties.WordWrap", t->WordWrap()));
        t->SetNodeLevel(pr.Int("CellProperties.NodeLevel", t->NodeLevel(), 0, 1 << 20));
        t->SetOwnerCol(col);
        t->SetOwnerRow(row);
        if (!cg.hasGraphic)
            continue;
        TCellGraphic* g = NewCellGraphic(col, row);
        if (!g)
            continue;
        const Record& gr = cg.graphic;
        g->CellType = static_cast<TCellType>(gr.Int("CellGraphic.CellType", static_cast<int>(ctNone), 0, static_cast<int>(ctExpand)));
        g->CellVAlign = static_cast<TCellVAlign>(gr.Int("CellGraphic.CellVAlign", 0, 0, static_cast<int>(vaFull)));
        g->CellHAlign = static_cast<TCellHAlign>(gr.Int("CellGraphic.CellHAlign", 0, 0, static_cast<int>(haFull)));
        g->CellIndex = gr.Int("CellGraphic.CellIndex", 0);
        g->CellTransparent = gr.Get<bool>("CellGraphic.CellTransparent", false);
        g->CellBoolean = gr.Get<bool>("CellGraphic.CellBoolean", false);
        g->CellAngle = gr.Int("CellGraphic.CellAngle", 0);
        g->CellValue = gr.Get<double>("CellGraphic.CellValue", 0.0);
        g->CellErrFrom = gr.Int("CellGraphic.CellErrFrom", 0);
        g->CellErrLen = gr.Int("CellGraphic.CellErrLen", 0);
        g->CellText = gr.Get<QString>("CellGraphic.CellText", QString());
        // The kinds with their own object own the copy made here; the others
        // keep the flag they were written with.
        g->CellCreated = HasOwnPayload(g->CellType) || gr.Get<bool>("CellGraphic.CellCreated", false);
        if (!cg.hasPayload)
            continue;
        const Record& pl = cg.payload;
        switch (g->CellType) {
        case ctBitmap:
        case ctBitButton:
        case ctIcon: {
            auto* bmp = new TBitmap;
            QImage image;
            image.loadFromData(pl.Get<QByteArray>(g->CellType == ctIcon ? "Icon" : "Bitmap", QByteArray()), "PNG");
            if (!image.isNull())
                bmp->SetImage(image);
            (g->CellType == ctIcon ? g->Icon : g->Bitmap) = bmp;
            break;
        }
        case ctRadio: g->Strings = new QStringList(pl.Get<QStringList>("Strings", QStringList())); break;
        case ctImages: {
            g->Images = new TIntList(col, row);
            try {
                g->Images->SetStrValue(pl.Get<QStringList>("Strings", QStringList()).join(u','));
            } catch (const std::exception&) {
                // Indexes that are no numbers leave the list empty.
            }
            break;
        }
        case ctPicture: {
            g->Picture = new TCellPicture;
            const QByteArray bytes = pl.Get<QByteArray>("Picture", QByteArray());
            g->Picture->LoadFromStream(&bytes);
            break;
        }
        case ctFilePicture: {
            auto* fp = new TFilePicture;
            fp->SetFilename(pl.Get<QString>("Picture.Filename", QString()));
            g->CellBitmap = fp;
            break;
        }
        default: break;
        }
    }
}

void TExStringGrid::LoadFromBinStream(QIODevice& stream)
{
    // The loaded cells may bring nodes or replace them: the node count follows
    // what column 0 holds now, also when a cell's picture file failed to load.
    const auto recount = qScopeGuard([this] {
        int nodes = 0;
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (GetCellType(0, r) == ctNode)
                ++nodes;
        FNumNodes = nodes;
        if (nodes > 0)
            RepaintCol(0);
        Invalidate();
    });
    LoadAtPointFromBinStream(TPoint{0, 0}, stream);
}

void TExStringGrid::LoadFromBinFile(const QString& fileName)
{
    QByteArray bytes = ReadFileBytes(fileName);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    LoadFromBinStream(buffer);
}
