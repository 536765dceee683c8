// Compiling the device images of the largest configuration the device takes:
// 255 wired and 32 wireless meters (the line block counts wired meters in one
// byte, the key table holds 32), with as many variables and ASCII VIF texts
// as fit the 131 072 bytes of bank 2, and 256 uplink rules. The three project
// files are read from disk on every pass, as the update request does.
//
// Beside it, the floor any compile of these files stands on, in the same
// program: a plain writer reading the same three project files and writing
// the same two images through QSaveFile, no compiling between.
//
// Run by hand: build-test/bench/bench_compile

#include "configuration/USaveBincc.h"
#include "shell/UComon.h"

#include "BenchRatio.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int Wired = 255;
constexpr int Wireless = 32;
constexpr int Vars_Per_Meter = 17;   // 287 x 17 x 25 bytes of records
constexpr int Texts = 250;           // variables with a 3-character ASCII VIF

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray Network()
{
    QByteArray xml = "<M-Bus_Network>\n";
    int texts = 0;
    for (int m = 0; m < Wired + Wireless; ++m) {
        const bool wired = m < Wired;
        xml += "<Nodo Node_Enable=\"1\" MBus_Type=\"" + QByteArray(wired ? "1" : "0") + "\" Node_ID_Type=\""
               + QByteArray(m % 2 ? "1" : "0") + "\" ID_Primary=\"" + QByteArray::number(m % 251) + "\" ID_Secondary=\""
               + QByteArray::number(10000000 + m) + "\" Enable_Node_State=\"1\" Node_State=\"" + QByteArray::number(60000 + m)
               + "\" Cut_After=\"2\" wMBus_ManID=\"0x2C2D\" wMBus_Add=\"" + QByteArray::number(0x12340000 + m)
               + "\" wMBus_Ver=\"1\" wMBus_DevType=\"7\" wMBus_En_Key=\"1\"";
        for (int k = 1; k <= 16; ++k)
            xml += " wMBus_Key_" + QByteArray::number(k) + "=\"0x" + QByteArray::number(k * 15, 16) + "\"";
        xml += ">\n";
        for (int v = 0; v < Vars_Per_Meter; ++v) {
            const bool text = texts < Texts && v == 0;
            texts += text ? 1 : 0;
            xml += "  <Variabile Enable=\"1\" Type=\"" + QByteArray(text ? "21" : "0") + "\" Fun_Field=\""
                   + QByteArray::number(v % 4) + "\" Dim=\"" + QByteArray::number(v % 8) + "\" Unit=\"1\" PositionData=\""
                   + QByteArray::number(1 + m * Vars_Per_Meter + v) + "\" StoNumber=\"" + QByteArray::number(v) + "\" Tariff=\"0\" VIFE=\"255\""
                   + " VIF_ASCII=\"kWh\" Length=\"8\" Conv_Float=\"1\" Position=\"" + QByteArray::number(v + 1) + "\"/>\n";
        }
        xml += "</Nodo>\n";
    }
    return xml + "</M-Bus_Network>\n<!--SW_VERSION = 1.002-->\n";
}

QByteArray Rules()
{
    QByteArray xml = "<LoRaWAN_Set_Access>\n<LoRaWAN_Uplink>\n";
    for (int r = 0; r < 256; ++r)
        xml += "<row Enable=\"Y\" StartByte=\"" + QByteArray::number(r * 4) + "\" NumByte=\"4\" OnChange=\"Y\" OnCMD=\"N\""
               " OnTimer=\"Y\" Time=\"60\" FPort=\"" + QByteArray::number(r % 223 + 1) + "\" Mnemonic=\"r\"/>\n";
    return xml + "</LoRaWAN_Uplink>\n<LoRaWAN_Downlink/>\n</LoRaWAN_Set_Access>\n";
}

// The three project files of the largest configuration in a folder of their own.
struct Project
{
    QTemporaryDir dir;
    bool ok = false;

    Project()
    {
        Project_Folder = dir.path();
        FileName_ParGen = dir.filePath("ParGen.xml");
        FileName_M_Bus = dir.filePath("M_Bus.xml");
        FileName_LoRaWAN_SetAccess = dir.filePath("LoRaWAN_SetAccess.xml");
        const QByteArray parGen = "<Par_Gen>\n<LoRa_FPort>Variable</LoRa_FPort>\n<Meter_Present>1</Meter_Present>\n"
                                  "<Meter_Req_Delay>100</Meter_Req_Delay>\n<wMBus_Present>1</wMBus_Present>\n</Par_Gen>\n";
        ok = Write(FileName_ParGen, parGen) && Write(FileName_M_Bus, Network())
             && Write(FileName_LoRaWAN_SetAccess, Rules()) && QDir(dir.path()).mkpath("bin");
    }
};

void BM_Compile_Largest_Network(benchmark::State& state)
{
    Project project;
    if (!project.ok) {
        state.SkipWithError("cannot write the configuration");
        return;
    }
    QString error;
    for (auto _ : state) {
        if (!Compile_Device_Image(&error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
    }
    state.counters["bank2 bytes"] = double(Bank2_Bytes().size());
    state.counters["meters"] = double(SaveBin::Wired_Nodes().size() + SaveBin::Wireless_Nodes().size());
}
BENCHMARK(BM_Compile_Largest_Network)->Unit(benchmark::kMillisecond);

// What the update request does: compile, then write both images.
void BM_Compile_And_Write(benchmark::State& state)
{
    Project project;
    if (!project.ok) {
        state.SkipWithError("cannot write the configuration");
        return;
    }
    QString error;
    for (auto _ : state) {
        if (!Compile_Device_Image(&error) || !Save_Bank_Files(&error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
    }
}
BENCHMARK(BM_Compile_And_Write)->Unit(benchmark::kMillisecond);

// The floor: the same files read whole and the same image bytes written
// through QSaveFile by a plain writer.
void BM_Plain_Read_And_Write(benchmark::State& state)
{
    Project project;
    QString error;
    if (!project.ok || !Compile_Device_Image(&error)) {
        state.SkipWithError("cannot compile the configuration");
        return;
    }
    const QByteArray bank1 = Bank1_Bytes();
    const QByteArray bank2 = Bank2_Bytes();
    const QString bin = project.dir.filePath("bin");
    auto save = [](const QString& path, const QByteArray& bytes) {
        QSaveFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
    };
    for (auto _ : state) {
        qsizetype read = 0;
        for (const QString& path : {FileName_ParGen, FileName_M_Bus, FileName_LoRaWAN_SetAccess}) {
            QFile f(path);
            if (f.open(QIODevice::ReadOnly))
                read += f.readAll().size();
        }
        benchmark::DoNotOptimize(read);
        if (!save(bin + "/bank2.bin", bank2) || !save(bin + "/bank1.bin", bank1))
            state.SkipWithError("cannot write the images");
    }
}
BENCHMARK(BM_Plain_Read_And_Write)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return benchratio::RunWithRatios(argc, argv,
                                      {{"BM_Compile_And_Write", "BM_Plain_Read_And_Write", 30,
                                        "floor: the same files read and the same images written; no target set, a ceiling kept"}});
}
