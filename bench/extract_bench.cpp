// The stand-in extractor copying one 200 MB stored file out of a volume, the
// volume already in the page cache: one run of the real program per
// iteration, as the extraction job starts it.
#include "platform/os/Files.h"
#include "platform/os/Process.h"
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr std::int64_t kFileSize = 200ll * 1000 * 1000;

// The volume lives in a temporary folder for the whole program and goes with
// it; building it once keeps every iteration a pure extract.
struct Fixture {
    tarnwick::test::TempDir dir;
    std::string volume = dir / "big.vol";
    std::string output = dir / "out.bin";
    bool ok = false;

    Fixture()
    {
        const std::string source = dir / "source.bin";
        {
            tarnwick::os::AtomicOutputFile out(source);
            std::string block(1 << 20, '\0');
            std::uint32_t x = 88172645u;
            for (auto& c : block) {
                x ^= x << 13;
                x ^= x >> 17;
                x ^= x << 5;
                c = static_cast<char>(x);
            }
            for (std::int64_t done = 0; done < kFileSize;) {
                const std::int64_t n = std::min<std::int64_t>(static_cast<std::int64_t>(block.size()), kFileSize - done);
                if (!out.Write(block.data(), n))
                    return;
                done += n;
            }
            if (!out.Commit())
                return;
        }
        tarnwick::VolumeWriter w;
        w.Add("readme.txt", "a small file first");
        if (!w.AddFile("maps\\big map.ter", source) || !w.Write(volume))
            return;
        tarnwick::os::DeleteFile(source);
        ok = true;
    }
};

void BM_ExtractStored200MB(benchmark::State& state)
{
    static Fixture fixture;
    if (!fixture.ok) {
        state.SkipWithError("could not build the volume");
        return;
    }
    const std::string line = "\"" + tarnwick::test::ToolPath("extract") + "\" \"" + fixture.volume +
                             "\" maps\\big map.ter \"" + fixture.output + "\"";
    // One untimed run brings the volume into the cache.
    if (tarnwick::os::WaitForProcess(tarnwick::os::StartProcessHidden(line)) != 0) {
        state.SkipWithError("extract failed");
        return;
    }
    for (auto _ : state) {
        // A fresh output each time: unlinking the last 200 MB is not the copy.
        state.PauseTiming();
        tarnwick::os::DeleteFile(fixture.output);
        state.ResumeTiming();
        const int code = tarnwick::os::WaitForProcess(tarnwick::os::StartProcessHidden(line));
        if (code != 0) {
            state.SkipWithError("extract failed");
            break;
        }
    }
    const auto length = tarnwick::os::FileLength(fixture.output);
    if (!length || *length != kFileSize)
        state.SkipWithError("the output has the wrong length");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFileSize);
    tarnwick::os::DeleteFile(fixture.output);
}

BENCHMARK(BM_ExtractStored200MB)->Unit(benchmark::kMillisecond)->Iterations(8)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
