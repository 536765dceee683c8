// The rule-table engine on its largest member table: the Modbus TCP master
// rules with 512 read and 512 write rules (1024), loaded, checked and saved,
// once through the plain functions and once through the window as OK runs it.
// The peer in the same program does the window's work with Qt's own classes:
// the same file read with QXmlStreamReader into two QTableWidgets of the
// same rows and columns, read back from the tables and written with
// QXmlStreamWriter through QSaveFile.
#include "fieldbus/UModbus_TCP_Master_Set_Access.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "widgets/LbButton.h"

#include "BenchRatio.h"

#include <QApplication>
#include <QSaveFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

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

// The attributes of one grid of the form, in column order.
QStringList Attributes(const TRule_Grid& grid)
{
    QStringList out;
    for (size_t c = 1; c < grid.columns.size(); ++c)
        if (!grid.columns[c].attribute.isEmpty())
            out << grid.columns[c].attribute;
    return out;
}

void QTableWidget_LoadAndSave(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ModbusTCPM_SetAccess.xml");
    platform::WriteFileAtomically(path, Full_File());
    const TRule_Form& form = Modbus_TCP_Master_Form();
    std::vector<QStringList> names;
    for (const TRule_Grid& grid : form.grids)
        names.push_back(Attributes(grid));
    std::vector<std::unique_ptr<QTableWidget>> tables;
    for (const QStringList& n : names)
        tables.push_back(std::make_unique<QTableWidget>(512, static_cast<int>(n.size())));
    for (auto _ : state) {
        // Load: each list's rows into its table.
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot read");
        QXmlStreamReader r(&in);
        int g = -1;
        int row = 0;
        while (!r.atEnd()) {
            if (r.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (r.name() == form.row && g >= 0) {
                const QXmlStreamAttributes a = r.attributes();
                for (int c = 0; c < names[g].size(); ++c)
                    tables[g]->setItem(row, c, new QTableWidgetItem(a.value(names[g][c]).toString()));
                ++row;
            } else if (r.name() != form.root) {
                for (size_t k = 0; k < form.grids.size(); ++k)
                    if (r.name() == form.grids[k].list)
                        g = static_cast<int>(k);
                row = 0;
            }
        }
        in.close();
        // Save: the tables' cells back into the file.
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly))
            state.SkipWithError("cannot write");
        QXmlStreamWriter w(&out);
        w.setAutoFormattingIndent(-1);
        w.writeStartElement(form.root);
        w.setAutoFormatting(true);
        for (size_t k = 0; k < form.grids.size(); ++k) {
            w.writeStartElement(form.grids[k].list);
            for (int i = 0; i < tables[k]->rowCount(); ++i) {
                w.writeStartElement(form.row);
                for (int c = 0; c < names[k].size(); ++c)
                    w.writeAttribute(names[k][c], tables[k]->item(i, c)->text());
                w.writeEndElement();
            }
            w.writeEndElement();
        }
        w.writeEndElement();
        w.writeCharacters(QStringLiteral("\n"));
        w.writeComment(form.version);
        w.writeCharacters(QStringLiteral("\n"));
        if (!out.commit())
            state.SkipWithError("cannot write");
    }
    state.counters["rules"] = 1024;
}

} // namespace

BENCHMARK(Functions_LoadCheckSave)->Unit(benchmark::kMillisecond);
BENCHMARK(Window_ShowAndOk)->Unit(benchmark::kMillisecond);
BENCHMARK(QTableWidget_LoadAndSave)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return benchratio::RunWithRatios(
        argc, argv,
        {{"Window_ShowAndOk", "QTableWidget_LoadAndSave", 1.5, "the same file into QTableWidgets and back"},
         {"Functions_LoadCheckSave", "QTableWidget_LoadAndSave", 1.5, "the same file into QTableWidgets and back"}});
}
