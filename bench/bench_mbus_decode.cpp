// Telegrams decoded per second: the classic wired RSP_UD, and a wireless
// security mode 5 telegram (extended link layer, short header) decrypted with
// its meter's key. Run by hand: build-test/bench/bench_mbus_decode

#include "mbus/UMBusScanDecode.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

const std::vector<uint8_t> Wired_Example = {
    0x68, 0x1F, 0x1F, 0x68, 0x08, 0x02, 0x72, 0x78, 0x56, 0x34, 0x12, 0x24, 0x40, 0x01, 0x07, 0x55, 0x00, 0x00, 0x00,
    0x03, 0x13, 0x15, 0x31, 0x00, 0xDA, 0x02, 0x3B, 0x13, 0x01, 0x8B, 0x60, 0x04, 0x37, 0x18, 0x02, 0x18, 0x16};

// The OMS mode 5 example's encrypted data behind CI 8C (CC, ACC) and the
// short header, followed by a Telit trailer.
const std::vector<uint8_t> Wireless_Mode5 = {
    0x31, 0x44, 0x93, 0x15, 0x78, 0x56, 0x34, 0x12, 0x33, 0x03, 0x8C, 0x20, 0x2A, 0x7A, 0x2A, 0x00, 0x20, 0x25,
    0x59, 0x23, 0xC9, 0x5A, 0xAA, 0x26, 0xD1, 0xB2, 0xE7, 0x49, 0x3B, 0x01, 0x3E, 0xC4, 0xA6, 0xF6, 0xD3, 0x52,
    0x9B, 0x52, 0x0E, 0xDF, 0xF0, 0xEA, 0x6D, 0xEF, 0xC9, 0x9D, 0x6D, 0x69, 0xEB, 0xF3, 0x00, 0x50};

const uint8_t Mode5_Key[16] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                               0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x11};

void BM_Wired_RSP_UD(benchmark::State& state)
{
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TMBusTelegramDecoder decoder(wired, wireless);
    bool last = true;
    for (auto _ : state) {
        decoder.Set_Answer(Wired_Example.data(), Wired_Example.size());
        const int pos = decoder.Decode_Wired_Frame(-1, last);
        benchmark::DoNotOptimize(pos);
        if (wired.Count() > 1000)
            wired.Clear();
    }
    state.counters["telegrams/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Wired_RSP_UD);

void BM_Wireless_Mode5_Decrypt(benchmark::State& state)
{
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TMBusTelegramDecoder decoder(wired, wireless);
    // First telegram makes the meter; then it gets its key.
    decoder.Set_Answer(Wireless_Mode5.data(), Wireless_Mode5.size());
    decoder.Decode_Wireless_Frame(rmTelit);
    TSlave_wMBus* meter = wireless.Items(0);
    std::memcpy(meter->Key.data(), Mode5_Key, 16);
    meter->Enable_Key = true;
    for (auto _ : state) {
        // Decryption is in place: every pass starts from the encrypted datagram.
        decoder.Set_Answer(Wireless_Mode5.data(), Wireless_Mode5.size());
        decoder.Decode_Wireless_Frame(rmTelit);
        benchmark::DoNotOptimize(meter->List_Var.size());
    }
    if (meter->Cripted || meter->List_Var.size() != 18)
        state.SkipWithError("the telegram did not decrypt");
    state.counters["telegrams/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Wireless_Mode5_Decrypt);

} // namespace

BENCHMARK_MAIN();
