// All of a volume through `tarnvol extract`, beside `tar -xf` of the same
// files in the same run: the floor is what the system asks for making that
// many files. Goals: 100,000 names at most 1.5 times tar's time; 1,000,000
// names at most twice tar's time and 64 MB resident.
// Counters: each program's seconds, the ratio of tarnvol's to tar's, its
// goal, tarnvol's peak resident megabytes, and met (1 when every goal of
// the case is met).
#include "support/RunTool.h"
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using tarnwick::test::RunTool;
using tarnwick::test::ToolRun;
const char* kTar = "/bin/tar";

// Folders of a hundred scripts each, as a large mod keeps them.
std::string NameOf(std::int64_t i)
{
    return "scripts\\dir" + std::to_string(i / 100) + "\\file" + std::to_string(i) + ".cs";
}

std::string ContentOf(std::int64_t i)
{
    return "// script " + std::to_string(i) + "\nfunction f" + std::to_string(i) + "() { return " +
           std::to_string(i * 7) + "; }\n";
}

// One timed run of a program into an empty folder `out`; its seconds, or
// -1 when it failed.
double Timed(const std::string& program, const std::vector<std::string>& args, const std::string& out,
             ToolRun& result)
{
    std::filesystem::remove_all(out);
    std::filesystem::create_directory(out);
    const auto t0 = std::chrono::steady_clock::now();
    result = RunTool(program, args);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return result.exitCode == 0 ? s : -1;
}

void BM_TarnvolAgainstTar(benchmark::State& state)
{
    const std::int64_t count = state.range(0);
    const double goalRatio = count >= 1000000 ? 2.0 : 1.5;
    constexpr double kGoalMb = 64;
    tarnwick::test::TempDir dir;
    const std::string volume = dir / "names.vol", archive = dir / "names.tar";
    {
        tarnwick::VolumeWriter w;
        for (std::int64_t i = 0; i < count; ++i)
            w.Add(NameOf(i), ContentOf(i));
        if (!w.Write(volume)) {
            state.SkipWithError("could not build the volume");
            return;
        }
    }
    const std::string tarnvol = tarnwick::test::ToolPath("tarnvol");
    const std::string files = dir / "files", out = dir / "out";
    // The same files as a tar archive, made by tar from what tarnvol wrote.
    if (RunTool(tarnvol, {"extract", "-q", volume, files}).exitCode != 0 ||
        RunTool(kTar, {"-cf", archive, "-C", files, "scripts"}).exitCode != 0) {
        state.SkipWithError("could not make the files or the archive");
        return;
    }
    std::filesystem::remove_all(files);
    // Untimed: both archives into the page cache.
    RunTool(tarnvol, {"list", volume});
    RunTool(kTar, {"-tf", archive});
    // tarnvol runs below a small program that tells its resident peak: a
    // child of this process would be charged the pages it shared with it.
    const std::string peak = std::string(TARNWICK_BIN_DIR) + "/bench_peak";
    double tarSeconds = 0, ownSeconds = 0, peakMb = 0;
    for (auto _ : state) {
        ToolRun r;
        const double t = Timed(kTar, {"-xf", archive, "-C", out}, out, r);
        const double o = Timed(peak, {tarnvol, "extract", "-q", volume, out}, out, r);
        if (t < 0 || o < 0) {
            state.SkipWithError(t < 0 ? "tar -xf failed" : "tarnvol extract failed");
            return;
        }
        tarSeconds += t;
        ownSeconds += o;
        const std::size_t told = r.err.find("peak_kb ");
        if (told == std::string::npos) {
            state.SkipWithError("the resident peak was not told");
            return;
        }
        peakMb = std::max(peakMb, std::atof(r.err.c_str() + told + 8) / 1024);
    }
    const std::string last = out + "/scripts/dir" + std::to_string((count - 1) / 100) + "/file" +
                             std::to_string(count - 1) + ".cs";
    if (tarnwick::test::ReadFile(last) != ContentOf(count - 1))
        state.SkipWithError("the last file was not extracted whole");
    std::filesystem::remove_all(out);
    const double n = static_cast<double>(state.iterations());
    const double ratio = ownSeconds / tarSeconds;
    state.counters["tar_s"] = tarSeconds / n;
    state.counters["tarnvol_s"] = ownSeconds / n;
    state.counters["ratio_to_tar"] = ratio;
    state.counters["goal_ratio"] = goalRatio;
    state.counters["peak_mb"] = peakMb;
    state.counters["met"] = ratio <= goalRatio && (count < 1000000 || peakMb <= kGoalMb) ? 1 : 0;
}

BENCHMARK(BM_TarnvolAgainstTar)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
// Apart, so that --benchmark_filter can leave the long run out.
void BM_TarnvolAgainstTar1M(benchmark::State& state) { BM_TarnvolAgainstTar(state); }
BENCHMARK(BM_TarnvolAgainstTar1M)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
