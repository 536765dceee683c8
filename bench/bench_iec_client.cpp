// The IEC 61850 client showing a project file of 100,000 data-attribute rows
// (a big substation's worth) on the screen, against the grid filling as many
// rows alone: the window's load should grow with the rows, as the grid's does.
#include "protocols/UIEC_61850_Access.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "grid/ExCGrid.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 100000;

QByteArray File_Of_Rows(int rows)
{
    QByteArray xml = "<IEC_68850_Client><List_ICD_Files/><List_DA_Selected>";
    for (int i = 0; i < rows; ++i)
        xml += "<DA_Item Index=\"0\" bType=\"" + QByteArray(i % 2 ? "FLOAT32" : "VisString255")
               + "\" fc=\"MX\" Reference=\"LD0/MMXU1.TotW" + QByteArray::number(i)
               + ".mag.f\" StartByte=\"0\" NumByte=\"4\" IPAddress=\"10.0.0.1\" Port=\"102\" OnChange=\"N\" "
                 "OnCMD=\"N\" OnTimer=\"N\" Time=\"\" Position=\"1\" StartBit=\"\" ReadWrite=\"Read\" "
                 "Convertion=\"None\" MoltFact=\"None\" Mnemonic=\"m\"/>";
    return xml + "</List_DA_Selected><List_DataSet_Selected/></IEC_68850_Client>";
}

void Window_Show(benchmark::State& state)
{
    QTemporaryDir dir;
    Load_English_Table();
    Project_Folder = dir.path();
    FileName_IEC_61850_Client = dir.filePath("IEC_61850_Client.xml");
    const int rows = static_cast<int>(state.range(0));
    platform::WriteFileAtomically(FileName_IEC_61850_Client, File_Of_Rows(rows));
    TFIEC_61850_Access w;
    platform::DialogScript script;
    // On the screen, as the user sees it: the grid lays out and paints.
    w.show();
    QApplication::processEvents();
    for (auto _ : state) {
        w.FormShow();
        QApplication::processEvents();
        if (w.ECG_DA->RowCount() != rows + 1)
            state.SkipWithError("rows missing");
    }
    state.counters["rows"] = rows;
}

// The grid alone: as many rows of 19 cells set.
void Grid_Fill(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    VOruVizizaZezo grid(nullptr);
    grid.SetColCount(19);
    for (auto _ : state) {
        grid.SetRowCount(2);
        grid.SetRowCount(rows + 1);
        for (int r = 1; r <= rows; ++r)
            for (int c = 0; c < 19; ++c)
                grid.SetCellEx(c, r, QStringLiteral("cell"));
    }
    state.counters["rows"] = rows;
}

} // namespace

BENCHMARK(Window_Show)->Arg(10000)->Arg(30000)->Arg(kRows)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Grid_Fill)->Arg(kRows)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
