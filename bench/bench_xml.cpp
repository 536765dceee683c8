// Saving and loading a large rule-table project file through our XML layer,
// beside Qt's stream classes doing the same work in the same program:
// - save: the rows, held as strings the way the rule tables hold them, become
//   a document written to disk through QSaveFile; the peer writes the same
//   rows with QXmlStreamWriter into a QSaveFile. The two files differ only in
//   the blank our layer writes before "/>" (checked before the runs).
// - load: the file our layer wrote is read back, every attribute of every row
//   into a string; the peer reads the same file with QXmlStreamReader.
#include "platform/XmlDocument.h"

#include "BenchRatio.h"

#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <array>
#include <cstdio>
#include <vector>

namespace {

constexpr int kColumns = 6;
using Row = std::array<QString, kColumns>;

const QString kRoot = QStringLiteral("LoRaWAN_SetAccess");
const QString kList = QStringLiteral("Uplink");
const QString kRow = QStringLiteral("row");
const QString kVersion = QStringLiteral("SW_VERSION = 1.000");
const std::array<QString, kColumns> kNames = {QStringLiteral("Enable"), QStringLiteral("Port"),
                                              QStringLiteral("Start"),  QStringLiteral("NumByte"),
                                              QStringLiteral("Period"), QStringLiteral("Comment")};

std::vector<Row> MakeRows(int rows)
{
    std::vector<Row> out;
    out.reserve(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r)
        out.push_back({QStringLiteral("Y"), QString::number(r % 223 + 1), QString::number(r * 4), QStringLiteral("4"),
                       QStringLiteral("60"), QStringLiteral("meter %1 \u00e9 & <%2").arg(r).arg(r % 7)});
    return out;
}

void BuildDocument(const std::vector<Row>& rows, platform::XmlDocument& doc)
{
    platform::XmlNode list = doc.AddChild(kRoot).AddChild(kList);
    for (const Row& cells : rows) {
        platform::XmlNode row = list.AddChild(kRow);
        for (int c = 0; c < kColumns; ++c)
            row.SetAttribute(kNames[c], cells[c]);
    }
    doc.AddComment(kVersion);
}

bool SaveWithLayer(const std::vector<Row>& rows, const QString& path)
{
    platform::XmlDocument doc;
    BuildDocument(rows, doc);
    return doc.Save(path);
}

QByteArray BytesWithLayer(const std::vector<Row>& rows)
{
    platform::XmlDocument doc;
    BuildDocument(rows, doc);
    return doc.ToBytes();
}

void WriteStream(const std::vector<Row>& rows, QXmlStreamWriter& w)
{
    w.setAutoFormattingIndent(-1);  // one tab
    w.writeStartElement(kRoot);      // without the line break before it
    w.setAutoFormatting(true);
    w.writeStartElement(kList);
    for (const Row& cells : rows) {
        w.writeStartElement(kRow);
        for (int c = 0; c < kColumns; ++c)
            w.writeAttribute(kNames[c], cells[c]);
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeCharacters(QStringLiteral("\n"));
    w.writeComment(kVersion);
    w.writeCharacters(QStringLiteral("\n"));
}

bool SaveWithStreamWriter(const std::vector<Row>& rows, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QXmlStreamWriter w(&file);
    WriteStream(rows, w);
    return file.commit();
}

QByteArray BytesWithStreamWriter(const std::vector<Row>& rows)
{
    QByteArray bytes;
    QXmlStreamWriter w(&bytes);
    WriteStream(rows, w);
    return bytes;
}

std::vector<Row> ReadWithLayer(const platform::XmlDocument& doc)
{
    std::vector<Row> rows;
    for (platform::XmlNode n = doc.DocumentElement().FindChild(kList).FirstChild(); n; n = n.NextSibling()) {
        Row& cells = rows.emplace_back();
        for (int c = 0; c < kColumns; ++c)
            cells[c] = n.Attribute(kNames[c]).value_or(QString());
    }
    return rows;
}

std::vector<Row> LoadWithLayer(const QString& path)
{
    platform::XmlDocument doc;
    return doc.Load(path) ? ReadWithLayer(doc) : std::vector<Row>();
}

std::vector<Row> LoadBytesWithLayer(const QByteArray& bytes)
{
    platform::XmlDocument doc;
    return doc.LoadFromBytes(bytes) ? ReadWithLayer(doc) : std::vector<Row>();
}

std::vector<Row> ReadStream(QXmlStreamReader& r)
{
    std::vector<Row> rows;
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement || r.name() != kRow)
            continue;
        const QXmlStreamAttributes attributes = r.attributes();
        Row& cells = rows.emplace_back();
        for (int c = 0; c < kColumns; ++c)
            cells[c] = attributes.value(kNames[c]).toString();
    }
    return r.hasError() ? std::vector<Row>() : rows;
}

std::vector<Row> LoadWithStreamReader(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader r(&file);
    return ReadStream(r);
}

std::vector<Row> LoadBytesWithStreamReader(const QByteArray& bytes)
{
    QXmlStreamReader r(bytes);
    return ReadStream(r);
}

struct Files
{
    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

std::vector<Row> Rows(const benchmark::State& state) { return MakeRows(static_cast<int>(state.range(0))); }

void SaveRules(benchmark::State& state)
{
    Files files;
    const std::vector<Row> rows = Rows(state);
    for (auto _ : state)
        if (!SaveWithLayer(rows, files.Path("rules.xml")))
            state.SkipWithError("cannot save");
}

void QXmlStreamWriter_Save(benchmark::State& state)
{
    Files files;
    const std::vector<Row> rows = Rows(state);
    for (auto _ : state)
        if (!SaveWithStreamWriter(rows, files.Path("rules.xml")))
            state.SkipWithError("cannot save");
}

void LoadRules(benchmark::State& state)
{
    Files files;
    const std::vector<Row> rows = Rows(state);
    SaveWithLayer(rows, files.Path("rules.xml"));
    for (auto _ : state)
        if (LoadWithLayer(files.Path("rules.xml")) != rows)
            state.SkipWithError("read back other rows");
}

void QXmlStreamReader_Load(benchmark::State& state)
{
    Files files;
    const std::vector<Row> rows = Rows(state);
    SaveWithLayer(rows, files.Path("rules.xml"));
    for (auto _ : state)
        if (LoadWithStreamReader(files.Path("rules.xml")) != rows)
            state.SkipWithError("read back other rows");
}

// The same work in memory, without the disk's share (the flush to disk of a
// save costs more than the writing itself, and varies as much).
void SaveRulesInMemory(benchmark::State& state)
{
    const std::vector<Row> rows = Rows(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(BytesWithLayer(rows));
}

void QXmlStreamWriter_SaveInMemory(benchmark::State& state)
{
    const std::vector<Row> rows = Rows(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(BytesWithStreamWriter(rows));
}

void LoadRulesInMemory(benchmark::State& state)
{
    const std::vector<Row> rows = Rows(state);
    const QByteArray bytes = BytesWithLayer(rows);
    for (auto _ : state)
        if (LoadBytesWithLayer(bytes) != rows)
            state.SkipWithError("read back other rows");
}

void QXmlStreamReader_LoadInMemory(benchmark::State& state)
{
    const std::vector<Row> rows = Rows(state);
    const QByteArray bytes = BytesWithLayer(rows);
    for (auto _ : state)
        if (LoadBytesWithStreamReader(bytes) != rows)
            state.SkipWithError("read back other rows");
}

// The peer's file, once the blank before "/>" is taken out of ours, must be
// the same bytes, or the comparison would not be of the same work.
bool PeerWritesTheSameDocument()
{
    Files files;
    const std::vector<Row> rows = MakeRows(50);
    if (!SaveWithLayer(rows, files.Path("ours.xml")) || !SaveWithStreamWriter(rows, files.Path("peer.xml")))
        return false;
    QFile ours(files.Path("ours.xml"));
    QFile peer(files.Path("peer.xml"));
    if (!ours.open(QIODevice::ReadOnly) || !peer.open(QIODevice::ReadOnly))
        return false;
    const QByteArray a = ours.readAll().replace(" />", "/>");
    const QByteArray b = peer.readAll();
    if (a != b)
        std::fprintf(stderr, "ours:\n%s\npeer:\n%s\n", a.left(400).constData(), b.left(400).constData());
    return a == b;
}

} // namespace

BENCHMARK(SaveRules)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(QXmlStreamWriter_Save)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadRules)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(QXmlStreamReader_Load)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveRulesInMemory)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(QXmlStreamWriter_SaveInMemory)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadRulesInMemory)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(QXmlStreamReader_LoadInMemory)->Arg(10000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    if (!PeerWritesTheSameDocument()) {
        std::fprintf(stderr, "QXmlStreamWriter does not write the document our layer writes\n");
        return 1;
    }
    return benchratio::RunWithRatios(argc, argv,
                                      {{"SaveRules/10000", "QXmlStreamWriter_Save/10000", 1.5, "same rows, same file"},
                                       {"LoadRules/10000", "QXmlStreamReader_Load/10000", 1.5, "same file"},
                                       {"SaveRulesInMemory/10000", "QXmlStreamWriter_SaveInMemory/10000", 1.5,
                                        "same rows, same bytes"},
                                       {"LoadRulesInMemory/10000", "QXmlStreamReader_LoadInMemory/10000", 1.5,
                                        "same bytes"}});
}
