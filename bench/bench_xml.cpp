// Loading and saving a large rule-table project file.
#include "platform/XmlDocument.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BuildRules(platform::XmlDocument& doc, int rows)
{
    platform::XmlNode list = doc.AddChild("LoRaWAN_SetAccess").AddChild("Uplink");
    for (int r = 0; r < rows; ++r) {
        platform::XmlNode row = list.AddChild("row");
        row.SetAttribute("Enable", "Y");
        row.SetAttribute("Port", QString::number(r % 223 + 1));
        row.SetAttribute("Start", QString::number(r * 4));
        row.SetAttribute("NumByte", "4");
        row.SetAttribute("Period", "60");
        row.SetAttribute("Comment", QStringLiteral("meter %1").arg(r));
    }
    doc.AddComment("SW_VERSION = 1.000");
}

void SaveRules(benchmark::State& state)
{
    QTemporaryDir dir;
    platform::XmlDocument doc;
    BuildRules(doc, static_cast<int>(state.range(0)));
    const QString path = dir.filePath("rules.xml");
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.Save(path));
}

void LoadRules(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rules.xml");
    {
        platform::XmlDocument doc;
        BuildRules(doc, static_cast<int>(state.range(0)));
        doc.Save(path);
    }
    for (auto _ : state) {
        platform::XmlDocument doc;
        doc.Load(path);
        int rows = 0;
        for (platform::XmlNode n = doc.DocumentElement().FindChild("Uplink").FirstChild(); n; n = n.NextSibling())
            rows += n.Attribute("NumByte").has_value();
        benchmark::DoNotOptimize(rows);
    }
}

} // namespace

BENCHMARK(SaveRules)->Arg(100)->Arg(10000);
BENCHMARK(LoadRules)->Arg(100)->Arg(10000);
BENCHMARK_MAIN();
