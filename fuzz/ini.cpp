// The profile-string reader and writer on a random file, then random reads
// and writes. What must hold whatever the file holds:
// - a read never overruns its buffer, ends it with a NUL and, cut short, is
//   the start of the full value;
// - a write that succeeds reads back (for values that survive trimming and
//   quote stripping), and leaves every other key's value as it was;
// - a write changes at most the one line of its key (or adds lines): every
//   other byte of the file, other sections, comments and line endings
//   included, stays as it was;
// - a write that fails leaves the file untouched, and no write leaves a
//   temporary file behind.
#include "os/Profile.h"

#include "os/PathStyle.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

const std::string& Folder()
{
    // Never destroyed: the exit handler below still needs it.
    static const std::string& path = *new std::string([] {
        std::string p = "/tmp/tarnwick-fuzz-ini-" + std::to_string(::getpid());
        ::mkdir(p.c_str(), 0700);
        std::atexit([] {
            ::unlink((Folder() + "/cairnix.ini").c_str());
            ::rmdir(Folder().c_str());
        });
        return p;
    }());
    return path;
}

std::string ReadAll(const std::string& path)
{
    std::string out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    std::fclose(f);
    return out;
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        Fail("cannot write the test file");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

int EntriesIn(const std::string& folder)
{
    int n = 0;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                ++n;
        }
        ::closedir(d);
    }
    return n;
}

std::string Trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// A name the file format can hold: no line break, no brackets or "=", not a
// comment, nothing to trim.
bool WellFormedName(const std::string& s)
{
    return !s.empty() && s.size() < 40 && s.find_first_of("\r\n[]=\0", 0, 6) == std::string::npos &&
           s[0] != ';' && Trim(s) == s;
}

// Writing such a value must give it back unchanged when read.
bool RoundTrips(const std::string& v)
{
    if (v.find_first_of(std::string("\r\n\0", 3)) != std::string::npos || Trim(v) != v)
        return false;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return false;
    return true;
}

const char kMissing[] = "\x01missing\x01";

std::string Get(const std::string& section, const std::string& key, const std::string& file)
{
    std::vector<char> buf(70000, '\x7f');
    const std::uint32_t n = tarnwick::os::GetPrivateProfileString(section, key, kMissing, buf.data(),
                                                                  static_cast<std::uint32_t>(buf.size()), file);
    if (n >= buf.size() || buf[n] != '\0')
        Fail("a read without its closing NUL");
    return std::string(buf.data(), n);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string file = Folder() + "/cairnix.ini";

    // The operations come from the end of the input, the file from the rest:
    // a seed that is a real settings file stays mostly that file.
    struct Op {
        int kind;
        unsigned section, key, value;
        std::uint32_t bufferSize;
        std::string extra;
    };
    std::vector<Op> ops(in.ConsumeIntegralInRange<int>(1, 6));
    for (Op& op : ops) {
        op.kind = in.ConsumeIntegralInRange<int>(0, 2);
        op.section = in.ConsumeIntegral<std::uint8_t>();
        op.key = in.ConsumeIntegral<std::uint8_t>();
        op.value = in.ConsumeIntegral<std::uint8_t>();
        op.bufferSize = in.ConsumeIntegralInRange<std::uint32_t>(0, 300);
    }
    const bool fileExists = in.ConsumeBool();
    std::string text = in.ConsumeRemainingBytesAsString();

    // Names from the file itself, so that reads and writes hit what is there.
    std::vector<std::string> sections = {"Tarnwick", "tarnwick", "Other Tool", "New"};
    std::vector<std::string> keys = {"Path", "path", "Overwrite", "Splash", "x", "new key"};
    std::size_t pos = 0;
    while (pos < text.size() && sections.size() + keys.size() < 64) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = Trim(text.substr(pos, end - pos));
        if (line.size() > 2 && line.front() == '[') {
            const auto close = line.find(']');
            if (close != std::string::npos)
                sections.push_back(Trim(line.substr(1, close - 1)));
        } else if (const auto eq = line.find('='); eq != std::string::npos) {
            keys.push_back(Trim(line.substr(0, eq)));
        }
        pos = end + 1;
    }
    const std::vector<std::string> values = {"", "1", "0", "C:\\Games\\Tribes\\base", "/home/u/out", "a b",
                                             "x=y", "[s]", ";c", "\"q\"", "  padded  ", std::string(300, 'v'),
                                             "1\r\nPath=evil", "\xff\xfe"};

    if (fileExists)
        WriteAll(file, text);
    else
        ::unlink(file.c_str());

    for (const Op& op : ops) {
        const std::string& section = sections[op.section % sections.size()];
        const std::string& key = keys[op.key % keys.size()];
        if (op.kind == 0) {
            // A read into a small buffer is the start of the full read.
            const std::string full = Get(section, key, file);
            std::vector<char> small(op.bufferSize + 1, '\x7f');
            const std::uint32_t n =
                tarnwick::os::GetPrivateProfileString(section, key, kMissing, small.data(), op.bufferSize, file);
            if (small[op.bufferSize] != '\x7f')
                Fail("a read ran past its buffer");
            if (op.bufferSize == 0) {
                if (n != 0)
                    Fail("a read into no buffer copied something");
            } else if (n > op.bufferSize - 1 || small[n] != '\0' ||
                       full.compare(0, n, small.data(), n) != 0 ||
                       n != std::min<std::size_t>(full.size(), op.bufferSize - 1)) {
                Fail("a cut read is not the start of the full read");
            }
            continue;
        }
        if (!WellFormedName(section) || !WellFormedName(key))
            continue;
        const std::string& value = values[op.value % values.size()];

        // What every other key read before the write.
        std::vector<std::pair<std::size_t, std::size_t>> probes;
        std::vector<std::string> before;
        for (std::size_t s = 0; s < sections.size(); ++s)
            for (std::size_t k = 0; k < keys.size(); ++k) {
                if (tarnwick::EqualsNoCase(sections[s], section) && tarnwick::EqualsNoCase(keys[k], key))
                    continue;
                if (probes.size() >= 24)
                    break;
                probes.emplace_back(s, k);
                before.push_back(Get(sections[s], keys[k], file));
            }

        const std::string old = ReadAll(file);
        const bool ok = tarnwick::os::WritePrivateProfileString(section, key, value, file);
        const std::string now = ReadAll(file);
        if (EntriesIn(Folder()) > 1)
            Fail("a write left a temporary file");
        if (!ok) {
            if (now != old)
                Fail("a failed write changed the file");
            continue;
        }
        if (RoundTrips(value) && Get(section, key, file) != value) {
            std::fprintf(stderr, "[%s] %s=%s\n", section.c_str(), key.c_str(), value.c_str());
            std::fwrite(old.data(), 1, old.size(), stderr);
            std::fprintf(stderr, "\n----- after:\n");
            std::fwrite(now.data(), 1, now.size(), stderr);
            Fail("a written value does not read back");
        }
        for (std::size_t i = 0; i < probes.size(); ++i)
            if (Get(sections[probes[i].first], keys[probes[i].second], file) != before[i])
                Fail("a write changed another key");

        // Only the key's own line may change: the bytes the old and new file
        // do not share at their start and end hold no line break of the old.
        std::size_t p = 0;
        while (p < old.size() && p < now.size() && old[p] == now[p])
            ++p;
        std::size_t q = 0;
        while (q < old.size() - p && q < now.size() - p && old[old.size() - 1 - q] == now[now.size() - 1 - q])
            ++q;
        if (old.substr(p, old.size() - p - q).find('\n') != std::string::npos)
            Fail("a write changed more than its own line");
    }
    return 0;
}
