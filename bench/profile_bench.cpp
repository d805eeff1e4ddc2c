// The settings file's reader and writer on a file of nothing but blank lines
// (the worst case for anything kept per line), against a floor measured in
// the same run: a plain read of the same bytes (and, for a write, a plain
// read and a plain write of them). Goal: a handful of times the floor, and
// heap use near the file's size S (extra_per_S, beyond the file's own copy,
// well under 1).
#include "os/Files.h"
#include "os/Profile.h"
#include "support/TestFiles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <string>

#include "BenchHeap.h"

namespace {

namespace os = tarnwick::os;
using Clock = std::chrono::steady_clock;

struct BlankFile {
    tarnwick::test::TempDir dir;
    std::string path = dir / "cairnix.ini";
    std::string copy = dir / "copy.ini";
};

// One file per size, made once and kept for every run.
const BlankFile& FileOf(std::int64_t size)
{
    static std::map<std::int64_t, std::unique_ptr<BlankFile>> made;
    auto& slot = made[size];
    if (!slot) {
        slot = std::make_unique<BlankFile>();
        tarnwick::test::WriteFile(slot->path, std::string(static_cast<std::size_t>(size), '\n'));
    }
    return *slot;
}

std::string PlainRead(const std::string& path)
{
    os::InputFile in(path);
    std::string bytes(static_cast<std::size_t>(in.Size().value_or(0)), '\0');
    in.ReadAt(0, bytes.data(), static_cast<std::int64_t>(bytes.size()));
    return bytes;
}

// The best of a few runs of `what`, in seconds.
template <typename F>
double Floor(F what)
{
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        what();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void Report(benchmark::State& state, double seconds, double floor, std::int64_t size, std::int64_t worstExtra)
{
    const double perCall = seconds / static_cast<double>(state.iterations());
    state.counters["S_bytes"] = static_cast<double>(size);
    state.counters["floor_ms"] = floor * 1000;
    state.counters["x_floor"] = perCall / floor;
    // Beyond the one copy of the file that every reader holds.
    state.counters["extra_per_S"] = static_cast<double>(worstExtra - size) / static_cast<double>(size);
    state.SetBytesProcessed(state.iterations() * size);
}

void BM_GetPrivateProfileString(benchmark::State& state)
{
    const BlankFile& file = FileOf(state.range(0));
    const double floor = Floor([&] { benchmark::DoNotOptimize(PlainRead(file.path).data()); });
    std::int64_t worstExtra = 0;
    double seconds = 0;
    char buffer[256];
    for (auto _ : state) {
        const std::int64_t before = g_live.load();
        g_peak.store(before);
        const auto start = Clock::now();
        const std::uint32_t n = os::GetPrivateProfileString("Tarnwick", "Path", "<default>", buffer, 255, file.path);
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        worstExtra = std::max(worstExtra, g_peak.load() - before);
        if (std::string(buffer, n) != "<default>")
            state.SkipWithError("a key where there is none");
    }
    Report(state, seconds, floor, state.range(0), worstExtra);
}

// A write that adds the section: the whole file is copied into a new one.
void BM_WritePrivateProfileString(benchmark::State& state)
{
    const BlankFile& file = FileOf(state.range(0));
    const double floor = Floor([&] {
        const std::string bytes = PlainRead(file.path);
        os::AtomicOutputFile out(file.copy);
        out.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        out.Commit();
    });
    const std::string original = PlainRead(file.path);
    std::int64_t worstExtra = 0;
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        os::AtomicOutputFile reset(file.copy);
        reset.Write(original.data(), static_cast<std::int64_t>(original.size()));
        reset.Commit();
        state.ResumeTiming();
        const std::int64_t before = g_live.load();
        g_peak.store(before);
        const auto start = Clock::now();
        const bool ok = os::WritePrivateProfileString("Tarnwick", "Path", "C:\\games", file.copy);
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        worstExtra = std::max(worstExtra, g_peak.load() - before);
        if (!ok)
            state.SkipWithError("the write failed");
    }
    Report(state, seconds, floor, state.range(0), worstExtra);
}

BENCHMARK(BM_GetPrivateProfileString)->Arg(4 << 20)->Arg(40 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WritePrivateProfileString)->Arg(4 << 20)->Arg(40 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
