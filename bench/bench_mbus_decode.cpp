// Telegrams decoded per second over the seed corpora of the decoders' fuzz
// targets, so that no single frame decides the figure: wired RSP_UDs of every
// data field, VIF table, layout and special DIF, and wireless telegrams of
// every CI layout, the encrypted ones (modes 5 and 7) decrypted with their
// meter's key.
//
// Beside each decoder, its floor in the same program: a plain walk over the
// same telegrams that reads every byte once and does nothing with it, the
// least any decoder of them must do; the ratio says how far above it the
// decoding is.
//
// Run by hand: build-test/bench/bench_mbus_decode [corpus folder]
// Without a folder (or MBUS_CORPUS in the environment) the program looks for
// fuzz/corpus in the folders above itself.
//
// Each benchmark also reports the heap allocations per telegram (allocs/telegram),
// counted at malloc, where the strings of Qt and operator new both end up.
// Under the sanitizers, whose own allocator must stay in place, nothing is
// counted and the counter is left out. Instructions per telegram come from
// callgrind on a release build, for example:
//   valgrind --tool=callgrind build-rel/bench/bench_mbus_decode --benchmark_filter=Wired

#include "mbus/UMBusScanDecode.h"

#include "BenchRatio.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// Allocation count

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define BENCH_COUNTS_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define BENCH_COUNTS_ALLOCATIONS 0
#endif
#endif
#if !defined(BENCH_COUNTS_ALLOCATIONS) && defined(__GLIBC__)
#define BENCH_COUNTS_ALLOCATIONS 1
#endif
#ifndef BENCH_COUNTS_ALLOCATIONS
#define BENCH_COUNTS_ALLOCATIONS 0
#endif

namespace {
std::atomic<uint64_t> g_Allocations{0};
} // namespace

#if BENCH_COUNTS_ALLOCATIONS
// glibc's own entry points; this program's malloc family counts and hands on.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);

void* malloc(size_t n) noexcept
{
    g_Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) noexcept
{
    g_Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) noexcept
{
    g_Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, n);
}
void free(void* p) noexcept
{
    __libc_free(p);
}
int posix_memalign(void** out, size_t alignment, size_t n) noexcept
{
    g_Allocations.fetch_add(1, std::memory_order_relaxed);
    void* p = __libc_memalign(alignment, n);
    if (!p)
        return 12;   // ENOMEM
    *out = p;
    return 0;
}
void* aligned_alloc(size_t alignment, size_t n) noexcept
{
    g_Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_memalign(alignment, n);
}
void* memalign(size_t alignment, size_t n) noexcept
{
    g_Allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_memalign(alignment, n);
}
}
#endif

namespace {

// Allocations made while one object lives.
class Allocation_Count {
public:
    Allocation_Count() : m_Start(g_Allocations.load()) {}
    uint64_t Made() const { return g_Allocations.load() - m_Start; }

private:
    uint64_t m_Start;
};

// The allocs/telegram counter, when allocations are counted.
void Report_Allocations(benchmark::State& state, uint64_t allocations, size_t telegrams)
{
    if (BENCH_COUNTS_ALLOCATIONS && state.iterations() > 0)
        state.counters["allocs/telegram"] = double(allocations) / double(state.iterations() * telegrams);
}

namespace fs = std::filesystem;
using Telegram = std::vector<uint8_t>;

fs::path& Corpus_Root()
{
    static fs::path root;
    return root;
}

fs::path Find_Corpus(int argc, char** argv)
{
    // A flag the benchmark library did not take is not a folder.
    if (argc > 1 && argv[1][0] != '-')
        return argv[1];
    if (const char* env = std::getenv("MBUS_CORPUS"))
        return env;
    std::error_code ec;
    for (fs::path dir = fs::read_symlink("/proc/self/exe", ec).parent_path(); !dir.empty(); dir = dir.parent_path()) {
        if (fs::is_directory(dir / "fuzz" / "corpus", ec))
            return dir / "fuzz" / "corpus";
        if (dir == dir.root_path())
            break;
    }
    return {};
}

// Every file of one corpus folder, in name order.
std::vector<Telegram> Load(const char* kind)
{
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(Corpus_Root() / kind, ec))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<Telegram> telegrams;
    for (const fs::path& p : files) {
        std::ifstream in(p, std::ios::binary);
        telegrams.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return telegrams;
}

// The module whose trailer the datagram carries, as the receive handler
// decides it from the L field; false when it fits neither.
bool Module_Of(const Telegram& t, TRadioModule& module)
{
    if (t.empty())
        return false;
    if (t.size() == size_t(t[0]) + 3)
        module = rmTelit;
    else if (t.size() == size_t(t[0]) + 1)
        module = rmRadioCrafts;
    else
        return false;
    return true;
}

void BM_Wired_Corpus(benchmark::State& state)
{
    const std::vector<Telegram> corpus = Load("wired");
    if (corpus.empty()) {
        state.SkipWithError("no wired corpus (give the folder fuzz/corpus)");
        return;
    }
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TMBusTelegramDecoder decoder(wired, wireless);
    bool last = true;
    size_t records = 0;
    uint64_t allocations = 0;
    for (auto _ : state) {
        records = 0;
        const Allocation_Count count;
        for (const Telegram& t : corpus) {
            decoder.Set_Answer(t.data(), t.size());
            const int pos = decoder.Decode_Wired_Frame(-1, last);
            if (pos >= 0)
                records += wired.Items(pos)->List_Var.size();
        }
        wired.Clear();
        allocations += count.Made();
    }
    if (records == 0)
        state.SkipWithError("the wired corpus gave no records");
    Report_Allocations(state, allocations, corpus.size());
    state.counters["telegrams/s"] =
        benchmark::Counter(double(state.iterations() * corpus.size()), benchmark::Counter::kIsRate);
    state.counters["records/pass"] = double(records);
}
BENCHMARK(BM_Wired_Corpus);

void BM_Wireless_Corpus(benchmark::State& state)
{
    // The key of the encrypted seed telegrams.
    static const uint8_t key[16] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                    0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x11};
    struct Datagram {
        Telegram Bytes;
        TRadioModule Module;
    };
    std::vector<Datagram> corpus;
    for (Telegram& t : Load("wireless")) {
        TRadioModule module;
        if (Module_Of(t, module))
            corpus.push_back({std::move(t), module});
    }
    if (corpus.empty()) {
        state.SkipWithError("no wireless corpus (give the folder fuzz/corpus)");
        return;
    }
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TMBusTelegramDecoder decoder(wired, wireless);
    // A first pass makes the meters; then each gets the key.
    for (const Datagram& d : corpus) {
        decoder.Set_Answer(d.Bytes.data(), d.Bytes.size());
        decoder.Decode_Wireless_Frame(d.Module);
    }
    for (int i = 0; i < wireless.Count(); ++i) {
        std::memcpy(wireless.Items(i)->Key.data(), key, 16);
        wireless.Items(i)->Enable_Key = true;
    }
    // What each pass decoded, telegram by telegram, as the window is told.
    size_t records = 0;
    int readable = 0;
    decoder.UpdateListWirelessSlave = [&](int, TSlave_wMBus* meter) {
        records += meter->List_Var.size();
        readable += meter->Cripted ? 0 : 1;
    };
    uint64_t allocations = 0;
    for (auto _ : state) {
        records = 0;
        readable = 0;
        const Allocation_Count count;
        // Decryption is in place: every pass starts from the datagrams as received.
        for (const Datagram& d : corpus) {
            decoder.Set_Answer(d.Bytes.data(), d.Bytes.size());
            decoder.Decode_Wireless_Frame(d.Module);
        }
        allocations += count.Made();
    }
    if (records == 0)
        state.SkipWithError("the wireless corpus gave no records");
    Report_Allocations(state, allocations, corpus.size());
    state.counters["telegrams/s"] =
        benchmark::Counter(double(state.iterations() * corpus.size()), benchmark::Counter::kIsRate);
    state.counters["readable/pass"] = double(readable);
    state.counters["records/pass"] = double(records);
}
BENCHMARK(BM_Wireless_Corpus);

// The floor: every byte of every telegram read once.
void Byte_Walk(benchmark::State& state, const std::vector<Telegram>& corpus)
{
    if (corpus.empty()) {
        state.SkipWithError("no corpus (give the folder fuzz/corpus)");
        return;
    }
    for (auto _ : state) {
        uint32_t sum = 0;
        for (const Telegram& t : corpus)
            for (const uint8_t b : t)
                sum = sum * 31 + b;
        benchmark::DoNotOptimize(sum);
    }
    state.counters["telegrams/s"] =
        benchmark::Counter(double(state.iterations() * corpus.size()), benchmark::Counter::kIsRate);
}

void BM_Wired_Byte_Walk(benchmark::State& state) { Byte_Walk(state, Load("wired")); }
BENCHMARK(BM_Wired_Byte_Walk);

void BM_Wireless_Byte_Walk(benchmark::State& state)
{
    std::vector<Telegram> corpus;
    for (Telegram& t : Load("wireless")) {
        TRadioModule module;
        if (Module_Of(t, module))
            corpus.push_back(std::move(t));
    }
    Byte_Walk(state, corpus);
}
BENCHMARK(BM_Wireless_Byte_Walk);

} // namespace

int main(int argc, char** argv)
{
    Corpus_Root() = Find_Corpus(argc, argv);
    if (Corpus_Root().empty())
        std::fprintf(stderr, "fuzz/corpus not found: give its folder as the argument\n");
    // The folder is ours, not a flag of the benchmark library.
    if (argc > 1 && argv[1][0] != '-') {
        for (int i = 1; i + 1 < argc; ++i)
            argv[i] = argv[i + 1];
        --argc;
    }
    return benchratio::RunWithRatios(
        argc, argv,
        {{"BM_Wired_Corpus", "BM_Wired_Byte_Walk", 60, "floor: every byte read once; no target set, a ceiling kept"},
         {"BM_Wireless_Corpus", "BM_Wireless_Byte_Walk", 60, "floor: every byte read once; no target set, a ceiling kept"}});
}
