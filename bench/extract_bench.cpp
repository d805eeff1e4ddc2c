// The stand-in extractor, one run of the real program per iteration as the
// extraction job starts it, the volume already in the page cache:
// - copying one 200 MB stored file (its entry without a block header);
// - finding the middle one of 1k to 1M names, against the floor measured in
//   the same run: starting a static program that does nothing, plus reading
//   the volume's directory (name block and index) and a memchr over it. The
//   runs after the first find the name through the order of names the first
//   one kept (where the volume is large enough to keep one);
// - finding it in 100k names when the cache folder takes no bytes (a full
//   disk, as a file-size limit), against runs with no cache folder at all in
//   the same run: a cache that cannot keep the order must cost no more than
//   having none.
#include "os/Files.h"
#include "os/Process.h"
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

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
        // Laid out by hand: a block header cannot say a length past 16 MiB,
        // so the index points straight at the big file's bytes, as readers
        // allow, and the writer (which refuses such a file) is not used.
        using tarnwick::test::Le32;
        const std::string small = "a small file first";
        const std::string names = std::string("readme.txt\0maps\\big map.ter\0", 29);
        const std::int64_t bigAt = 8 + 8 + static_cast<std::int64_t>(small.size());
        tarnwick::os::AtomicOutputFile out(volume);
        const std::string head = "PVOL" + Le32(static_cast<std::uint32_t>(bigAt + kFileSize)) + "VBLK" +
                                 Le32(static_cast<std::uint32_t>(small.size()) | 0x80000000u) + small;
        if (!out.Write(head.data(), static_cast<std::int64_t>(head.size())))
            return;
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
        const std::string directory = "vols" + Le32(static_cast<std::uint32_t>(names.size())) + names + '\0' + "voli" +
                                Le32(34) + Le32(0) + Le32(0) + Le32(8) + Le32(static_cast<std::uint32_t>(small.size())) +
                                '\0' + Le32(0) + Le32(11) + Le32(static_cast<std::uint32_t>(bigAt)) +
                                Le32(static_cast<std::uint32_t>(kFileSize)) + '\0';
        if (!out.Write(directory.data(), static_cast<std::int64_t>(directory.size())) || !out.Commit())
            return;
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

// What a run is started with beside its arguments: a file-size limit in
// bytes (-1 for none) and variables set (NAME=VALUE) in its environment.
struct RunSetting {
    long long fileSizeLimit = -1;
    std::vector<std::string> env;
};

// Programs are started by a small helper process forked before main: a
// child's peak resident set counts the memory of the process it was spawned
// from until its exec, and this bench holds whole volumes.
class Spawner {
public:
    Spawner()
    {
        int request[2], reply[2];
        if (::pipe(request) != 0 || ::pipe(reply) != 0)
            return;
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(request[1]);
            ::close(reply[0]);
            Serve(request[0], reply[1]);
            ::_exit(0);
        }
        ::close(request[0]);
        ::close(reply[1]);
        if (pid > 0) {
            to_ = request[1];
            from_ = reply[0];
        }
    }

    // Runs the program with these arguments, its output thrown away; the
    // largest resident set it had, in KB, or -1 when it failed.
    long Run(const std::vector<std::string>& args, const RunSetting& setting = {})
    {
        std::string message = std::to_string(setting.fileSizeLimit) + '\0' + std::to_string(setting.env.size()) + '\0';
        for (const auto& e : setting.env)
            message += e + '\0';
        for (const auto& a : args)
            message += a + '\0';
        const std::uint32_t length = static_cast<std::uint32_t>(message.size());
        long kb = -1;
        if (to_ < 0 || !WriteAll(to_, &length, sizeof length) || !WriteAll(to_, message.data(), length) ||
            !ReadAll(from_, &kb, sizeof kb))
            return -1;
        return kb;
    }

private:
    static bool WriteAll(int fd, const void* data, std::size_t n)
    {
        const char* p = static_cast<const char*>(data);
        while (n > 0) {
            const ssize_t put = ::write(fd, p, n);
            if (put <= 0)
                return false;
            p += put;
            n -= static_cast<std::size_t>(put);
        }
        return true;
    }
    static bool ReadAll(int fd, void* data, std::size_t n)
    {
        char* p = static_cast<char*>(data);
        while (n > 0) {
            const ssize_t got = ::read(fd, p, n);
            if (got <= 0)
                return false;
            p += got;
            n -= static_cast<std::size_t>(got);
        }
        return true;
    }
    static void Serve(int in, int out)
    {
        std::uint32_t length = 0;
        while (ReadAll(in, &length, sizeof length)) {
            std::string message(length, '\0');
            if (!ReadAll(in, message.data(), length))
                return;
            std::vector<char*> fields;
            for (std::size_t at = 0; at < message.size(); at = message.find('\0', at) + 1)
                fields.push_back(&message[at]);
            if (fields.size() < 3)
                return;
            const long long limit = std::atoll(fields[0]);
            const std::size_t envCount = std::strtoull(fields[1], nullptr, 10);
            if (fields.size() < 3 + envCount)
                return;
            // The environment as this process has it, with the run's own
            // variables in place of those of the same name.
            std::vector<char*> envp(fields.begin() + 2, fields.begin() + 2 + static_cast<std::ptrdiff_t>(envCount));
            for (char** e = environ; *e; ++e) {
                const char* eq = std::strchr(*e, '=');
                const std::size_t name = eq ? static_cast<std::size_t>(eq - *e) + 1 : std::strlen(*e);
                bool replaced = false;
                for (std::size_t k = 0; k < envCount; ++k)
                    replaced = replaced || std::strncmp(fields[2 + k], *e, name) == 0;
                if (!replaced)
                    envp.push_back(*e);
            }
            envp.push_back(nullptr);
            std::vector<char*> argv(fields.begin() + 2 + static_cast<std::ptrdiff_t>(envCount), fields.end());
            argv.push_back(nullptr);
            // The limit is inherited by the run, and so is SIGXFSZ ignored:
            // its writes past the limit fail as on a full disk.
            struct rlimit old {};
            ::getrlimit(RLIMIT_FSIZE, &old);
            if (limit >= 0) {
                struct rlimit rl = old;
                rl.rlim_cur = static_cast<rlim_t>(limit);
                ::setrlimit(RLIMIT_FSIZE, &rl);
            }
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            pid_t pid = 0;
            long kb = -1;
            const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
            if (limit >= 0)
                ::setrlimit(RLIMIT_FSIZE, &old);
            if (spawned == 0) {
                int status = 0;
                struct rusage usage {};
                while (::wait4(pid, &status, 0, &usage) < 0) {
                }
                if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
                    kb = usage.ru_maxrss;
            }
            posix_spawn_file_actions_destroy(&actions);
            if (!WriteAll(out, &kb, sizeof kb))
                return;
        }
    }

    int to_ = -1, from_ = -1;
};

// The order the extractor keeps of a large volume's names goes to a cache
// folder of this run's own, set before the spawner is forked so that every
// run it starts inherits it.
struct BenchCache {
    tarnwick::test::TempDir dir;
    BenchCache() { ::setenv("XDG_CACHE_HOME", dir.Path().c_str(), 1); }
};
BenchCache g_cache;
// Also before the spawner is forked, which hands the ignored signal on.
const bool g_noFileSizeSignal = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    return true;
}();
Spawner g_spawner;

long Spawn(const std::vector<std::string>& args, const RunSetting& setting = {})
{
    return g_spawner.Run(args, setting);
}

double MedianMs(const std::function<bool()>& run, int times)
{
    std::vector<double> ms;
    for (int i = 0; i < times; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        if (!run())
            return -1;
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

std::string NameOf(std::int64_t i)
{
    return "scripts\\dir" + std::to_string(i / 100) + "\\file" + std::to_string(i) + ".cs";
}

// A volume of `count` names with a few bytes each; built once per size.
struct NamesVolume {
    tarnwick::test::TempDir dir;
    std::string volume = dir / "names.vol";
    std::int64_t directoryAt = 0, directoryEnd = 0;
    bool ok = false;

    explicit NamesVolume(std::int64_t count)
    {
        tarnwick::VolumeWriter w;
        for (std::int64_t i = 0; i < count; ++i)
            w.Add(NameOf(i), "data" + std::to_string(i));
        if (!w.Write(volume))
            return;
        tarnwick::os::InputFile in(volume);
        unsigned char d[4];
        const auto size = in.Size();
        if (!size || in.ReadAt(4, d, 4) != 4)
            return;
        directoryAt = d[0] | (d[1] << 8) | (d[2] << 16) | (std::int64_t(d[3]) << 24);
        directoryEnd = *size;
        ok = true;
    }
};

// Reads the directory in the lookup's chunk size and looks for a byte that
// is not there: what any lookup of a name at the far end must at least do.
bool ReadAndScan(const NamesVolume& v)
{
    tarnwick::os::InputFile in(v.volume);
    std::vector<char> buffer(256 * 1024);
    std::size_t seen = 0;
    for (std::int64_t at = v.directoryAt; at < v.directoryEnd;) {
        const std::int64_t got = in.ReadAt(at, buffer.data(), static_cast<std::int64_t>(buffer.size()));
        if (got <= 0)
            return false;
        seen += std::memchr(buffer.data(), '\x01', static_cast<std::size_t>(got)) ? 1 : 0;
        at += got;
    }
    benchmark::DoNotOptimize(seen);
    return true;
}

void BM_ExtractMiddleName(benchmark::State& state)
{
    const std::int64_t count = state.range(0);
    NamesVolume v(count);
    if (!v.ok) {
        state.SkipWithError("could not build the volume");
        return;
    }
    const std::string tool = tarnwick::test::ToolPath("extract"), noop = tarnwick::test::ToolPath("bench_noop");
    const std::string output = v.dir / "out.cs";
    const std::vector<std::string> args = {tool, v.volume, NameOf(count / 2), output};
    // Untimed: the volume into the page cache, and the floors of this very
    // run. The first run on a large volume also sorts its names and keeps
    // the order, which the later runs read; its cost is reported apart.
    const auto first = std::chrono::steady_clock::now();
    const long firstKb = Spawn(args);
    const double firstMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - first).count();
    if (firstKb < 0 || Spawn({noop}) < 0) {
        state.SkipWithError("extract or the no-op program failed");
        return;
    }
    const double spawnMs = MedianMs([&] { return Spawn({noop}) >= 0; }, 21);
    const double readMs = MedianMs([&] { return ReadAndScan(v); }, 11);

    long peakKb = 0;
    double totalMs = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const long kb = Spawn(args);
        totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        if (kb < 0) {
            state.SkipWithError("extract failed");
            return;
        }
        peakKb = std::max(peakKb, kb);
    }
    const double runMs = totalMs / static_cast<double>(state.iterations());
    state.counters["run_ms"] = runMs;
    state.counters["spawn_floor_ms"] = spawnMs;
    state.counters["read_floor_ms"] = readMs;
    state.counters["ratio_to_floor"] = runMs / (spawnMs + readMs);
    state.counters["ratio_to_spawn"] = runMs / spawnMs;
    state.counters["max_rss_MB"] = static_cast<double>(peakKb) / 1024.0;
    state.counters["first_run_ms"] = firstMs;
    state.counters["first_run_rss_MB"] = static_cast<double>(firstKb) / 1024.0;
    state.counters["directory_MB"] = static_cast<double>(v.directoryEnd - v.directoryAt) / 1e6;
}

BENCHMARK(BM_ExtractMiddleName)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->UseRealTime();

// The cache folder on a disk that takes no more bytes: a file-size limit
// that the extracted file fits under and the order of 100k names does not.
// The runs with no cache folder (neither XDG_CACHE_HOME nor HOME) are the
// floor, measured in the same run.
void BM_ExtractMiddleNameCacheRefused(benchmark::State& state)
{
    const std::int64_t count = state.range(0);
    NamesVolume v(count);
    if (!v.ok) {
        state.SkipWithError("could not build the volume");
        return;
    }
    tarnwick::test::TempDir cache;
    const std::string tool = tarnwick::test::ToolPath("extract");
    const std::string output = v.dir / "out.cs";
    const std::vector<std::string> args = {tool, v.volume, NameOf(count / 2), output};
    const RunSetting none{-1, {"XDG_CACHE_HOME=", "HOME="}};
    const RunSetting refused{64, {"XDG_CACHE_HOME=" + cache.Path()}};
    if (Spawn(args, none) < 0 || Spawn(args, refused) < 0) {
        state.SkipWithError("extract failed");
        return;
    }
    const double noCacheMs = MedianMs([&] { return Spawn(args, none) >= 0; }, 21);
    std::vector<double> ms;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        if (Spawn(args, refused) < 0) {
            state.SkipWithError("extract failed");
            return;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    const double refusedMs = ms[ms.size() / 2];
    state.counters["refused_cache_ms"] = refusedMs;
    state.counters["no_cache_ms"] = noCacheMs;
    state.counters["ratio_to_no_cache"] = refusedMs / noCacheMs;
}

BENCHMARK(BM_ExtractMiddleNameCacheRefused)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(21)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
