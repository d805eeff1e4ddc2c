// tarnvol test: reads every entry, as 7z t does, and tells which a game or
// the extractor could not read.
#include "Commands.h"
#include "NameArguments.h"
#include "ReadVolume.h"
#include "StoredNames.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <utility>
#include <vector>

namespace tarnvol {

const char* kTestHelp =
    "Usage: tarnvol test [-0] [-T LIST] VOLUME [NAME...]\n"
    "Reads every entry of the volume (or those the NAMEs select): checks that\n"
    "each entry's data lies inside the file and that its block header can hold\n"
    "its length (less than 16 MiB), and reads the bytes of every file stored as\n"
    "is (method 0). Each bad entry is named on standard output,\n"
    "  NAME: damaged (WHY)\n"
    "  NAME: not supported (method N, compressed)\n"
    "then one line counts them: 'N files: N ok, N damaged, N not supported'.\n"
    "  -T, --files-from=LIST  also the names in the file LIST (- for standard\n"
    "                   input), one a line\n"
    "  -0, --null       the LIST is NUL-separated and holds the stored bytes\n"
    "A NAME is given as for 'tarnvol list'.\n"
    "Exit status: 0 every entry can be read, 1 some cannot, the volume cannot be\n"
    "read or a NAME selected nothing, 2 wrong command line.\n";

namespace {

const std::vector<OptionSpec> kTestOptions = {
    {'0', "null", false},
    {'T', "files-from", true},
};

struct Tally {
    std::size_t damaged = 0, unsupported = 0;
};

// The stretches of the file read already, each more than kJoin bytes from
// the next. Entries may all name the same data, or overlap a byte apart:
// each byte is read once, so that a volume costs the reading of its size,
// and the blocks of a packed volume, a header apart, make one stretch.
class ReadOnce {
public:
    // Reads whatever of [from, from + count) has not been read, and the few
    // bytes between it and a stretch near it; false when some cannot be.
    bool Read(VolumeFile& file, std::int64_t from, std::int64_t count)
    {
        if (count <= 0)
            return true;
        std::int64_t begin = from, end = from + count;
        auto it = read_.upper_bound(from);
        if (it != read_.begin() && std::prev(it)->second + kJoin >= from)
            --it;
        std::vector<std::pair<std::int64_t, std::int64_t>> near;
        while (it != read_.end() && it->first <= end + kJoin) {
            near.emplace_back(*it);
            begin = std::min(begin, it->first);
            it = read_.erase(it);
        }
        if (!near.empty())
            end = std::max(end, near.back().second);
        std::int64_t at = begin;
        for (const auto& [start, stop] : near) {
            if (start > at && !ReadAll(file, at, start))
                return false;
            at = std::max(at, stop);
        }
        if (at < end && !ReadAll(file, at, end))
            return false;
        read_[begin] = end;
        return true;
    }

private:
    static constexpr std::int64_t kJoin = 4096;
    static bool ReadAll(VolumeFile& file, std::int64_t from, std::int64_t to)
    {
        const auto ignore = [](const char*, std::int64_t) { return true; };
        return file.ReadData(from, to - from, ignore) == VolumeFile::DataRead::Whole;
    }
    std::map<std::int64_t, std::int64_t> read_; // start to end
};

// Reads one chosen entry as a game or the extractor would; a bad one is
// named on standard output and counted.
void TestEntry(VolumeFile& file, StoredEntry& e, ReadOnce& data, Tally& tally)
{
    // Damage is told first: a compressed entry whose data is not there
    // could not be read even by a program that knows its method.
    if (!file.Locate(e)) {
        ++tally.damaged;
        std::printf("%s: damaged (%s)\n", ShownName(e.name).c_str(), ShownMessage(file.Problem()).c_str());
        return;
    }
    if (e.method != 0) {
        ++tally.unsupported;
        std::printf("%s: not supported (method %d, %s)\n", ShownName(e.name).c_str(), e.method,
                    tarnwick::VolumeIndex::MethodName(e.method));
        return;
    }
    if (!data.Read(file, e.dataOffset, e.length)) {
        ++tally.damaged;
        std::printf("%s: damaged (its data cannot be read)\n", ShownName(e.name).c_str());
    }
}

} // namespace

int RunTest(const std::vector<std::string>& args)
{
    const auto line = ParseCommandLine("test", args, kTestOptions);
    if (!line)
        return 2;
    if (line->operands.empty())
        return UsageError("test", "give the VOLUME");
    const std::vector<std::string> typed(line->operands.begin() + 1, line->operands.end());
    const std::vector<std::string> lists = line->Values("files-from");
    const auto patterns = GatherNames("test", typed, lists, line->Has("null"));
    if (!patterns)
        return 1;
    VolumeFile file;
    if (!file.Open("test", line->operands[0]))
        return 1;
    Tally tally;
    ReadOnce data;
    std::size_t total = 0;
    bool missing = false;
    const bool all = typed.empty() && lists.empty();
    const bool walked = ForEachChosen("test", file, *patterns, all, [&](StoredEntry& e) {
        ++total;
        TestEntry(file, e, data, tally);
        return true;
    }, missing);
    if (!walked)
        return 1;
    using Count = unsigned long long;
    std::printf("%llu files: %llu ok, %llu damaged, %llu not supported\n", Count(total),
                Count(total - tally.damaged - tally.unsupported), Count(tally.damaged), Count(tally.unsupported));
    if (std::fflush(stdout) != 0)
        return 1;
    return tally.damaged || tally.unsupported || missing ? 1 : 0;
}

} // namespace tarnvol
