// The volume reader on arbitrary bytes written to a file: IsValidVolume and
// GetFileNames must never crash, hang or allocate beyond the file, and what
// they report must agree with itself.
#include "volume/clsVOLReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const std::string& TempVolume()
{
    // Never destroyed: the exit handler below still needs it.
    static const std::string& path = *new std::string([] {
        std::string p = "/tmp/tarnwick-fuzz-vol-" + std::to_string(::getpid()) + ".vol";
        std::atexit([] { ::unlink(TempVolume().c_str()); });
        return p;
    }());
    return path;
}

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& path = TempVolume();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    tarnwick::clsVOLReader reader(tarnwick::PathStyle::Posix);
    int errors = 0;
    int lastError = 0;
    reader.Error = [&](std::int16_t number, const std::string& message) {
        ++errors;
        lastError = number;
        if (message.empty())
            Fail("an error without a message");
    };

    const bool valid = reader.IsValidVolume(path);
    if (valid != (errors == 0))
        Fail("IsValidVolume's answer and its events disagree");
    const bool signature = size >= 4 && (data[0] | 0x20) == 'p' && (data[1] | 0x20) == 'v' &&
                           (data[2] | 0x20) == 'o' && (data[3] | 0x20) == 'l';
    if (valid != signature)
        Fail("IsValidVolume is not the signature test");

    errors = 0;
    const std::string names = reader.GetFileNames(path);
    if (names.empty()) {
        if (errors != 1 || (lastError != 3 && lastError != 7))
            Fail("an empty listing without exactly one error 3 or 7");
        if (reader.FileCount() != 0 || reader.TableSize() != 0 || !reader.GetDebugInfo().empty())
            Fail("a failed listing changed the table");
        return 0;
    }
    if (errors != 0)
        Fail("a listing that raised an error");
    if (names.size() > size)
        Fail("more names than bytes in the file");
    if (static_cast<std::size_t>(reader.VOLS()) != names.size())
        Fail("the listing is not S bytes long");
    if (reader.FileCount() < 0 || static_cast<std::size_t>(reader.FileCount()) != reader.TableSize())
        Fail("FileCount and the table disagree");
    std::string joined;
    for (std::size_t i = 0; i < reader.TableSize(); ++i) {
        joined += reader.TableName(i);
        joined += '/';
    }
    // The table is the listing without its last character, split at "/".
    std::string expected = names.substr(0, names.size() - 1);
    if (!expected.empty())
        expected += '/';
    if (joined != expected)
        Fail("the table is not the listing split at /");
    return 0;
}
