// Start-up of the configurator's windows beside an empty Qt dialog.
#include "shell/URorudizezFirmWare.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A language file that replaces every text, so loading it costs what it can.
void WriteLanguageFile(const QString& folder)
{
    QDir().mkpath(folder + "/LANGUAGE");
    QFile f(folder + "/LANGUAGE/English.lng");
    f.open(QIODevice::WriteOnly);
    for (int n = 0; n < 6300; ++n)
        f.write(QStringLiteral("STR%1 = Text number %1 /#/ comment\r\n").arg(n).toUtf8());
}

void StartWindows(benchmark::State& state)
{
    QTemporaryDir dir;
    WriteLanguageFile(dir.path());
    for (auto _ : state) {
        Create_All_Windows(dir.path());
        FRorudizezFirmWare->Show();
        QApplication::processEvents();
        state.PauseTiming();
        Destroy_All_Windows();
        state.ResumeTiming();
    }
}

void StartEmptyDialog(benchmark::State& state)
{
    for (auto _ : state) {
        auto* dialog = new QDialog;
        dialog->show();
        QApplication::processEvents();
        state.PauseTiming();
        delete dialog;
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(StartWindows)->Unit(benchmark::kMillisecond);
BENCHMARK(StartEmptyDialog)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
