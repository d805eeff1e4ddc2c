// Hostile volumes through `tarnvol cat`, each beside its floor: the same
// command on a plain volume of the same size, in the same run. Goal: any
// volume under 2 MB costs a command at most 256 MB and 2 s.
//   shared_name  2,000 entries sharing one name of a mebibyte (1.08 MB)
//   deep_name    one name of 120 KB, "a\a\...\a", selected by its top folder
//   huge_index   an index of 100 MB (its 5.9 million entries in a hole)
//   long_pattern a pattern of 60 KB against a name of 120 KB
//   sliding_name 55,000 entries naming each byte of one name of a mebibyte
//                in turn (1.98 MB), against *.cs
// Counters: the hostile run's seconds and peak resident megabytes, and each
// as a ratio to the floor's.
#include "support/ChildProcess.h"
#include "support/RunTool.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace tarnwick::test;

struct Case {
    const char* name;
    // Writes the hostile volume at `path` (nothing when it is empty) and
    // gives the NAME that cat asks for.
    std::function<std::string(const std::string& path)> make;
};

// Files of at most 8 MiB (a block holds less than 16), as many as the size takes.
std::string Plain(const std::string& path, std::uintmax_t size)
{
    Files files = {{"x.cs", "xdata"}, {"b.cs", "bbb"}};
    for (std::uintmax_t at = 0; at < size; at += 8 << 20)
        files.emplace_back(files.size() == 2 ? "a" : "a" + std::to_string(files.size()),
                           std::string(static_cast<std::size_t>(std::min<std::uintmax_t>(size - at, 8 << 20)), 'd'));
    WriteVolume(path, files);
    return path;
}

const Case kCases[] = {
    {"shared_name",
     [](const std::string& path) {
         if (!path.empty())
             WriteFile(path, WithEntryCopies(BuildVolume({{"x.cs", "xdata"}, {std::string(1 << 20, 'n'), "big"}}), 1, 1999));
         return std::string("x.cs");
     }},
    {"deep_name",
     [](const std::string& path) {
         if (!path.empty())
             WriteVolume(path, {{"x.cs", "xdata"}, {DeepName(120'000), "deep"}});
         return std::string("a");
     }},
    {"huge_index",
     [](const std::string& path) {
         if (path.empty())
             return std::string("b.cs");
         std::string v = BuildVolume({{"x.cs", "xdata"}, {"b.cs", "bbb"}});
         const VolumeLayout at(v);
         const std::uint32_t entries = 100'000'000 / 17;
         Put32(v, at.voli + 4, (entries + 2) * 17);
         WriteFile(path, v);
         std::filesystem::resize_file(path, at.Entry(2) + std::uintmax_t{entries} * 17);
         return std::string("b.cs");
     }},
    {"long_pattern",
     [](const std::string& path) {
         if (!path.empty())
             WriteVolume(path, {{"x.cs", "xdata"}, {std::string(120'000, 'a'), "long"}});
         // Every start of the run of a's matches all but the closing b.
         return "*" + std::string(60'000 - 3, 'a') + "b*";
     }},
    {"sliding_name",
     [](const std::string& path) {
         if (path.empty())
             return std::string("*.cs");
         std::string v = WithEntryCopies(BuildVolume({{"x.cs", "xdata"}, {std::string((1 << 20) - 6, 'n'), "n"}}), 1,
                                         55'000);
         const VolumeLayout at(v);
         for (std::size_t i = 0; i < 55'000; ++i)
             Put32(v, at.Entry(2 + i) + 4, Get32(v, at.Entry(2 + i) + 4) + static_cast<std::uint32_t>(i));
         WriteFile(path, v);
         return std::string();
     }},
};

// Seconds and peak resident kilobytes of one run of cat.
std::pair<double, double> Cat(const std::string& volume, const std::string& name)
{
    const auto t0 = std::chrono::steady_clock::now();
    const ToolRun r = Tarnvol({"cat", volume, name});
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return {r.exitCode == 0 || r.exitCode == 1 ? s : -1, static_cast<double>(r.peakMemoryKb)};
}

void Run(benchmark::State& state, const Case& c)
{
    TempDir dir;
    const std::string hostile = dir / "hostile.vol", floor = dir / "floor.vol";
    std::string name;
    // The volumes are made in a child: a program started from a process
    // whose heap once held them would be told its resident peak.
    const bool made = RunInChild([&] {
        c.make(hostile);
        Plain(floor, std::filesystem::file_size(hostile));
        return 0;
    }) == 0;
    name = c.make(std::string());
    if (!made) {
        state.SkipWithError("could not make the volumes");
        return;
    }
    Cat(hostile, name); // untimed: both volumes into the page cache
    Cat(floor, name);
    double seconds = 0, floorSeconds = 0, kb = 0, floorKb = 0;
    for (auto _ : state) {
        const auto [s, k] = Cat(hostile, name);
        const auto [fs, fk] = Cat(floor, name);
        if (s < 0 || fs < 0) {
            state.SkipWithError("tarnvol cat did not end normally");
            return;
        }
        seconds += s;
        floorSeconds += fs;
        kb = std::max(kb, k);
        floorKb = std::max(floorKb, fk);
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["run_s"] = seconds / n;
    state.counters["peak_mb"] = kb / 1024;
    state.counters["time_ratio_to_floor"] = seconds / floorSeconds;
    state.counters["memory_ratio_to_floor"] = kb / floorKb;
}

const bool kRegistered = [] {
    for (const Case& c : kCases)
        benchmark::RegisterBenchmark((std::string("BM_TarnvolHostileCat/") + c.name).c_str(),
                                     [&c](benchmark::State& s) { Run(s, c); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    return true;
}();

} // namespace

BENCHMARK_MAIN();
