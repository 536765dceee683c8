// Fuzz target: the scan worker's procedures fed with random datagrams.
//
// The input is a script: each chunk is one byte of command (which scan, how
// much the clock moves, stop/abort/key) and one datagram. No socket is
// opened: sends go to a hook, datagrams straight to the receive handler.
// Whatever comes, the worker must not crash, and a wired scan must only
// report as found an address that a telegram answered.

#include "mbus/UMBusScanDecode_Worker.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    uint32_t now = 0xFFFFF000u;   // the counter wraps during the run
    TScanTiming timing;
    timing.Tick = [&] { return now; };
    timing.Sleep = [&](uint32_t ms) { now += ms; };
    TMBusScanDecode w(false, timing, wired, wireless);
    w.Send_Hook = [](const QByteArray&, uint16_t) {};
    bool answered = false;
    int found_reports = 0;
    auto progress = [&](int32_t type, int32_t, int32_t found, int32_t) {
        if (type == 2 && found == 1)
            ++found_reports;
    };

    const uint8_t mode = data[0];
    bool started = false;
    if (mode % 3 == 2)
        started = w.Start_Scan_Wireless(shEthernet, QStringLiteral("127.0.0.1"), 4000, 5, 0, false,
                                        [](int, TSlave_wMBus*) {}, false);
    else
        started = w.Start_Scan(mode % 3 ? saSecondaryAddress : saPrimaryAddress, shEthernet,
                               QStringLiteral("127.0.0.1"), 2400, 1, mode & 4, mode & 8, (mode >> 4) % 4, false, 0,
                               false, progress);
    if (!started)
        std::abort();

    size_t i = 1;
    while (i + 1 < size && w.FInScan) {
        const uint8_t cmd = data[i];
        const size_t len = std::min<size_t>(data[i + 1], size - i - 2);
        const uint8_t* body = data + i + 2;
        i += 2 + len;
        switch (cmd & 7) {
        case 0: now += 50u * (cmd >> 3); break;
        case 1: w.Stop_Scan(); break;
        case 2: w.Abort_Scan(); break;
        case 3: {
            std::array<uint8_t, 16> key{};
            w.Insert_Wireless_Key(cmd >> 3, key);
            break;
        }
        case 4: w.Step_Scan = cmd >> 3 == 31 ? 134 : w.Step_Scan.load(); break;
        default: break;
        }
        if (len) {
            w.UDP_Read(QByteArray(reinterpret_cast<const char*>(body), static_cast<qsizetype>(len)),
                       QStringLiteral("127.0.0.1"));
            answered = answered || len > 21;
        }
        w.Run_Pass();
    }
    // Finish within bounded passes: stop, then let the time-outs run.
    w.Abort_Scan();
    for (int n = 0; n < 400 && w.FInScan; ++n) {
        now += 2000;
        w.Run_Pass();
    }
    if (w.FInScan)
        std::abort();
    // A meter reported found was answered by a telegram.
    if (found_reports > 0 && !answered)
        std::abort();
    return 0;
}
