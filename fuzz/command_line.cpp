// The Windows command-line splitter. Two checks on every input:
// - any bytes at all split without a crash, and every blank outside quotes
//   really separates (no argument holds one unless quotes were involved);
// - the input, cut at NUL bytes into arguments and quoted the way the
//   Windows rules want, joins into a line that splits back into exactly
//   those arguments.
#include "os/CommandLine.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Bare where nothing needs quoting, else quoted by the rules.
std::string QuoteArgument(const std::string& arg)
{
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos)
        return arg;
    return tarnwick::os::QuoteWindowsArgument(arg);
}

[[noreturn]] void Fail(const char* what, std::string_view line)
{
    std::fprintf(stderr, "%s\nline: [%.*s]\n", what, static_cast<int>(line.size()), line.data());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view raw(reinterpret_cast<const char*>(data), size);

    const auto args = tarnwick::os::SplitWindowsCommandLine(raw);
    if (raw.find('"') == std::string_view::npos) {
        for (const auto& a : args)
            if (a.find_first_of(" \t") != std::string::npos)
                Fail("a blank outside quotes stayed inside an argument", raw);
        if (!args.empty() && args.front().empty())
            Fail("an unquoted line gave an empty program name", raw);
    }

    // Round trip. The program's name cannot hold a quote (it has no escapes).
    std::vector<std::string> wanted;
    std::size_t start = 0;
    while (true) {
        std::size_t end = raw.find('\0', start);
        wanted.emplace_back(raw.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    std::string& program = wanted.front();
    std::erase(program, '"');
    std::string line = "\"" + program + "\"";
    for (std::size_t i = 1; i < wanted.size(); ++i)
        line += " " + QuoteArgument(wanted[i]);

    if (tarnwick::os::SplitWindowsCommandLine(line) != wanted)
        Fail("a quoted line did not split back into its arguments", line);
    return 0;
}
