// The rule-table engine on its largest member table: the Modbus TCP master
// rules with 512 read and 512 write rules (1024), loaded, checked and saved,
// once through the plain functions and once through the window as OK runs it.
#include "fieldbus/UModbus_TCP_Master_Set_Access.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "widgets/LbButton.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QByteArray Full_File()
{
    std::vector<TRule_Rows> grids(2);
    for (int i = 0; i < 512; ++i) {
        grids[0].push_back({"Y", "192.168.1." + QString::number(i % 250 + 1), "502", "1", "Holding Register",
                            QString::number(i), "1", "1000", "0", QString::number(i * 2), "", "N", "N", "",
                            "Read rule " + QString::number(i)});
        grids[1].push_back({"Y", "10.0.0." + QString::number(i % 250 + 1), "502", "1", "Coil Status",
                            QString::number(i), "8", "0", "Y", "N", "0", QString::number(i), "0", "N", "N",
                            "Write rule " + QString::number(i)});
    }
    return Rule_File_Bytes(Modbus_TCP_Master_Form(), grids);
}

void Functions_LoadCheckSave(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ModbusTCPM_SetAccess.xml");
    platform::WriteFileAtomically(path, Full_File());
    const TRule_Form& form = Modbus_TCP_Master_Form();
    for (auto _ : state) {
        TRule_File file;
        Load_Rule_File(form, path, {512, 512}, &file);
        for (int g = 0; g < 2; ++g)
            if (!Check_Rule_Grid(form, g, file.grids[g], 1500).isEmpty())
                state.SkipWithError("a rule failed its check");
        Save_Rule_File(form, path, file.grids);
    }
    state.counters["rules"] = 1024;
}

void Window_ShowAndOk(benchmark::State& state)
{
    QTemporaryDir dir;
    Load_English_Table();
    FileName_ModbusTCPM_SetAccess = dir.filePath("ModbusTCPM_SetAccess.xml");
    platform::WriteFileAtomically(FileName_ModbusTCPM_SetAccess, Full_File());
    TFModbus_TCP_Master_Set_Access w;
    platform::DialogScript script;
    for (auto _ : state) {
        w.FormShow();
        w.SetModalResult(platform::mrNone);
        w.Btn_OKClick(w.Btn_OK);
        if (w.ModalResult() != platform::mrOk)
            state.SkipWithError("OK did not save");
    }
    state.counters["rules"] = 1024;
}

} // namespace

BENCHMARK(Functions_LoadCheckSave)->Unit(benchmark::kMillisecond);
BENCHMARK(Window_ShowAndOk)->Unit(benchmark::kMillisecond);

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
