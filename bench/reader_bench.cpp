// How fast the reader lists a big volume, and how much memory a listing
// takes beyond what was in use before it. Goals: a listing takes at most
// 1.2 times the floor of the same run (reading the name block and finding
// each name's end with memchr, nothing kept), and at most about 1.1 x S of
// memory besides the returned text, S being the length of the name block.
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"
#include "volume/clsVOLReader.h"
#include "os/Files.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <new>

#include "BenchHeap.h"

namespace {

using tarnwick::clsVOLReader;
using tarnwick::PathStyle;

// Names like a mod's script tree, 25 bytes with the NUL on average.
std::string NameOf(int i)
{
    static const char* const kFolders[] = {"scripts\\ai\\", "missions\\", "art\\skins\\", "snd\\"};
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08d", i);
    std::string name = kFolders[i % 4];
    name += "file";
    name += digits;
    name += i % 2 ? ".cs" : ".dts";
    return name;
}

struct BigVolume {
    tarnwick::test::TempDir dir;
    std::string path;
    std::int64_t nameBytes = 0;
};

// One volume per name count, made once and kept for every run.
const BigVolume& VolumeOf(int names)
{
    static std::map<int, std::unique_ptr<BigVolume>> made;
    auto& slot = made[names];
    if (!slot) {
        slot = std::make_unique<BigVolume>();
        tarnwick::VolumeWriter writer;
        for (int i = 0; i < names; ++i) {
            std::string name = NameOf(i);
            slot->nameBytes += static_cast<std::int64_t>(name.size()) + 1;
            writer.Add(std::move(name), std::string());
        }
        slot->path = slot->dir / "big.vol";
        if (!writer.Write(slot->path)) {
            std::fprintf(stderr, "cannot write %s: %s\n", slot->path.c_str(), writer.Failure().c_str());
            std::exit(1);
        }
    }
    return *slot;
}

// The window's way: one reader kept across listings, so a listing replaces
// the table of the one before.
void BM_GetFileNames(benchmark::State& state)
{
    const int names = static_cast<int>(state.range(0));
    const BigVolume& volume = VolumeOf(names);
    clsVOLReader reader(PathStyle::Posix);
    bool failed = false;
    reader.Error = [&](std::int16_t, const std::string&) { failed = true; };
    reader.GetFileNames(volume.path); // the steady state: a table is held

    std::int64_t worstExtra = 0;
    for (auto _ : state) {
        const std::int64_t before = g_live.load();
        g_peak.store(before);
        std::string listing = reader.GetFileNames(volume.path);
        worstExtra = std::max(worstExtra, g_peak.load() - before);
        benchmark::DoNotOptimize(listing.data());
    }
    if (failed || reader.FileCount() != names) {
        state.SkipWithError("the volume did not list");
        return;
    }
    state.SetComplexityN(names);
    state.SetBytesProcessed(state.iterations() * volume.nameBytes);
    state.counters["S_bytes"] = static_cast<double>(volume.nameBytes);
    state.counters["extra_bytes"] = static_cast<double>(worstExtra);
    state.counters["extra_per_S"] = static_cast<double>(worstExtra) / static_cast<double>(volume.nameBytes);
    // The returned text is S itself; the goal is about what comes beside it.
    state.counters["besides_text_per_S"] =
        static_cast<double>(worstExtra - volume.nameBytes) / static_cast<double>(volume.nameBytes);
}
BENCHMARK(BM_GetFileNames)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The floor a listing is measured against: read the directory's place and
// the name block, then find every name's end with memchr.
void BM_ReadAndMemchrFloor(benchmark::State& state)
{
    const int names = static_cast<int>(state.range(0));
    const BigVolume& volume = VolumeOf(names);
    std::size_t found = 0;
    for (auto _ : state) {
        tarnwick::os::InputFile in(volume.path);
        unsigned char b[4];
        in.ReadAt(4, b, 4);
        const std::int64_t d = b[0] | (b[1] << 8) | (b[2] << 16) | (std::int64_t(b[3]) << 24);
        in.ReadAt(d + 4, b, 4);
        const std::int64_t size = b[0] | (b[1] << 8) | (b[2] << 16) | (std::int64_t(b[3]) << 24);
        std::string block(static_cast<std::size_t>(size), '\0');
        in.ReadAt(d + 8, block.data(), size);
        found = 0;
        for (const char* p = block.data(), *end = p + block.size(); p < end; ++found) {
            const void* nul = std::memchr(p, '\0', static_cast<std::size_t>(end - p));
            p = nul ? static_cast<const char*>(nul) + 1 : end;
        }
        benchmark::DoNotOptimize(found);
    }
    if (found != static_cast<std::size_t>(names))
        state.SkipWithError("the floor did not find every name");
}
BENCHMARK(BM_ReadAndMemchrFloor)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A fresh reader: no table to replace, so this is the listing alone.
void BM_GetFileNamesFirstListing(benchmark::State& state)
{
    const BigVolume& volume = VolumeOf(100000);
    std::int64_t worstExtra = 0;
    for (auto _ : state) {
        clsVOLReader reader(PathStyle::Posix);
        const std::int64_t before = g_live.load();
        g_peak.store(before);
        std::string listing = reader.GetFileNames(volume.path);
        worstExtra = std::max(worstExtra, g_peak.load() - before);
        benchmark::DoNotOptimize(listing.data());
    }
    state.counters["S_bytes"] = static_cast<double>(volume.nameBytes);
    state.counters["extra_per_S"] = static_cast<double>(worstExtra) / static_cast<double>(volume.nameBytes);
}
BENCHMARK(BM_GetFileNamesFirstListing)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
