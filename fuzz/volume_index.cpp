// The extractor's full directory parse on arbitrary bytes. Beyond not
// crashing, every entry it accepts must lie inside the file (the extractor
// copies exactly those bytes), and the answer must not depend on how the
// bytes arrive: from memory, through a source that returns them a few at a
// time, or from a file.
#include "volume/VolumeIndex.h"

#include "os/PathStyle.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

bool SameEntries(const tarnwick::VolumeIndex& a, const tarnwick::VolumeIndex& b)
{
    const auto& x = a.Entries();
    const auto& y = b.Entries();
    if (x.size() != y.size())
        return false;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (x[i].name != y[i].name || x[i].dataOffset != y[i].dataOffset || x[i].length != y[i].length ||
            x[i].method != y[i].method)
            return false;
    }
    return true;
}

const std::string& TempVolume()
{
    // Never destroyed: the exit handler below still needs it.
    static const std::string& path = *new std::string([] {
        std::string p = "/tmp/tarnwick-fuzz-index-" + std::to_string(::getpid()) + ".vol";
        std::atexit([] { ::unlink(TempVolume().c_str()); });
        return p;
    }());
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using tarnwick::VolumeIndex;
    const auto fileSize = static_cast<std::int64_t>(size);

    VolumeIndex whole;
    const VolumeIndex::Status status = whole.ParseBuffer(data, size);
    if (status == VolumeIndex::Status::Ok) {
        for (const auto& e : whole.Entries()) {
            if (e.dataOffset < 0 || e.length < 0 || e.dataOffset > fileSize || e.length > fileSize - e.dataOffset)
                Fail("an accepted entry reaches outside the file");
            if (e.name.find('\0') != std::string::npos)
                Fail("a name with a NUL in it");
            const VolumeIndex::Entry* found = whole.Find(e.name);
            if (!found || !tarnwick::EqualsNoCase(found->name, e.name))
                Fail("Find misses a listed name");
        }
    } else {
        if (!whole.Entries().empty())
            Fail("a failed parse kept entries");
        if (whole.Problem().empty())
            Fail("a failed parse without a reason");
    }

    // A source that hands out at most seven bytes a call, as a pipe or a
    // slow disk may: the parse has to ask again rather than give up.
    VolumeIndex trickle;
    const VolumeIndex::Status trickled = trickle.Parse(
        [&](std::int64_t offset, void* buffer, std::int64_t count) -> std::int64_t {
            if (offset < 0 || count < 0)
                Fail("a read at a negative offset or of a negative count");
            if (offset >= fileSize)
                return 0;
            const std::int64_t n = std::min<std::int64_t>({count, 7, fileSize - offset});
            std::memcpy(buffer, data + offset, static_cast<std::size_t>(n));
            return n;
        },
        fileSize);
    if (trickled != status || !SameEntries(whole, trickle))
        Fail("the parse depends on how the bytes arrive");

    FILE* f = std::fopen(TempVolume().c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    VolumeIndex fromFile;
    if (fromFile.ParseFile(TempVolume()) != status || !SameEntries(whole, fromFile))
        Fail("the file parse differs from the buffer parse");
    return 0;
}
