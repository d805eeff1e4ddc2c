// The extraction job over many small files with the real stand-in
// extractor: one process start and wait per file, which is what a user's
// "Select All, Extract" on a script volume costs. Goal: under 3 ms a file.
#include "extraction/clsExtract.h"
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace {

void ExtractSmallFiles(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    tarnwick::test::TempDir dir;
    tarnwick::VolumeWriter writer;
    std::string list;
    for (int i = 0; i < count; ++i) {
        const std::string name = "scripts\\part" + std::to_string(i % 10) + "\\file" + std::to_string(i) + ".cs";
        writer.Add(name, "// script " + std::to_string(i) + "\n" + std::string(300, 'x'));
        if (i)
            list += ',';
        list += name;
    }
    const std::string volume = dir / "bench.vol";
    writer.Write(volume);
    tarnwick::test::WriteFile(dir / "out/.keep", "");

    int errors = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        tarnwick::clsExtract job;
        job.SetRecreateStructure(true);
        job.SetOverwrite(true);
        job.E_Error = [&errors](std::int16_t, const std::string&) { ++errors; };
        job.Extract(volume, list, dir / "out", tarnwick::test::ToolPath("extract"));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (errors)
        state.SkipWithError("the job reported errors");
    state.counters["ms_per_file"] = 1000.0 * seconds / (static_cast<double>(count) * static_cast<double>(state.iterations()));
}

} // namespace

BENCHMARK(ExtractSmallFiles)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

BENCHMARK_MAIN();
