#include "NameArguments.h"
#include "NameSelection.h"
#include "StoredNames.h"

#include "os/Files.h"

#include <cstdio>
#include <string_view>

namespace tarnvol {

namespace {

// Every byte of a list; nothing when it cannot be read.
std::optional<std::string> ReadList(const std::string& path)
{
    std::string bytes;
    char buffer[1 << 16];
    if (path == "-") {
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
            bytes.append(buffer, got);
        if (std::ferror(stdin))
            return std::nullopt;
        return bytes;
    }
    if (!tarnwick::os::IsPlainFile(path))
        return std::nullopt;
    tarnwick::os::InputFile in(path);
    if (!in.IsOpen())
        return std::nullopt;
    for (std::int64_t at = 0;;) {
        const std::int64_t got = in.ReadAt(at, buffer, sizeof buffer);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(buffer, static_cast<std::size_t>(got));
        at += got;
    }
}

} // namespace

std::optional<std::vector<std::string>> GatherNames(const std::string& command, const std::vector<std::string>& typed,
                                                    const std::vector<std::string>& lists, bool nul)
{
    std::vector<std::string> patterns;
    for (const std::string& t : typed)
        patterns.push_back(StoredNameOf(t));
    for (const std::string& list : lists) {
        const auto bytes = ReadList(list);
        if (!bytes) {
            std::fprintf(stderr, "tarnvol %s: cannot read the list of names %s\n", command.c_str(),
                         ShownMessage(list).c_str());
            return std::nullopt;
        }
        const char end = nul ? '\0' : '\n';
        std::size_t start = 0;
        while (start < bytes->size()) {
            std::size_t stop = bytes->find(end, start);
            if (stop == std::string::npos)
                stop = bytes->size();
            std::string name = bytes->substr(start, stop - start);
            start = stop + 1;
            if (!nul && !name.empty() && name.back() == '\r')
                name.pop_back(); // a list written on Windows
            if (name.empty())
                continue;
            patterns.push_back(nul ? name : StoredNameOf(name));
        }
    }
    return patterns;
}

namespace {

// Tells every pattern that selected nothing; whether there was one.
bool TellUnmatched(const std::string& command, const NameSelector& selector, const std::vector<std::string>& patterns)
{
    bool missing = false;
    for (std::size_t k : selector.Unmatched()) {
        missing = true;
        std::fprintf(stderr, "tarnvol %s: %s: not in the volume\n", command.c_str(), ShownName(patterns[k]).c_str());
    }
    return missing;
}

bool SeeAll(VolumeFile& file, NameSelector& selector)
{
    return file.ForEach([&selector](StoredEntry& e) {
        selector.See(e.name);
        return true;
    });
}

} // namespace

bool ForEachEntry(const std::string& command, VolumeFile& file, const std::vector<std::string>& patterns,
                  const std::function<bool(StoredEntry&, bool chosen)>& visit, bool& missing)
{
    missing = false;
    NameSelector selector(patterns);
    if (!SeeAll(file, selector))
        return false;
    bool stopped = false;
    if (!file.ForEach([&](StoredEntry& e) {
            stopped = !visit(e, selector.Selects(e.name));
            return !stopped;
        }))
        return false;
    if (stopped)
        return false;
    missing = TellUnmatched(command, selector, patterns);
    return true;
}

bool ForEachChosen(const std::string& command, VolumeFile& file, const std::vector<std::string>& patterns, bool all,
                   const std::function<bool(StoredEntry&)>& take, bool& missing)
{
    missing = false;
    if (all)
        return file.ForEach(take);
    NameSelector selector(patterns);
    if (!SeeAll(file, selector))
        return false;
    if (!file.ForEach([&](StoredEntry& e) { return !selector.Selects(e.name) || take(e); }))
        return false;
    missing = TellUnmatched(command, selector, patterns);
    return true;
}

} // namespace tarnvol
