#include "os/CommandLine.h"

namespace tarnwick::os {

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}

std::vector<std::string> SplitWindowsCommandLine(std::string_view line)
{
    std::vector<std::string> args;
    std::size_t i = 0;
    const std::size_t n = line.size();

    while (i < n && IsBlank(line[i]))
        ++i;
    if (i >= n)
        return args;

    // The program name: no escapes, a quote only toggles.
    {
        std::string program;
        bool quoted = false;
        while (i < n) {
            char c = line[i];
            if (c == '"') {
                quoted = !quoted;
                ++i;
                continue;
            }
            if (!quoted && IsBlank(c))
                break;
            program += c;
            ++i;
        }
        args.push_back(program);
    }

    while (true) {
        while (i < n && IsBlank(line[i]))
            ++i;
        if (i >= n)
            break;
        std::string arg;
        bool quoted = false;
        while (i < n) {
            char c = line[i];
            if (c == '\\') {
                std::size_t slashes = 0;
                while (i < n && line[i] == '\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && line[i] == '"') {
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                    // An even count leaves the quote to the code below.
                } else {
                    arg.append(slashes, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (quoted && i + 1 < n && line[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            if (!quoted && IsBlank(c))
                break;
            arg += c;
            ++i;
        }
        args.push_back(arg);
    }
    return args;
}

std::string QuoteWindowsArgument(std::string_view argument)
{
    std::string out = "\"";
    std::size_t slashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        out.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
        out += c;
        slashes = 0;
    }
    out.append(slashes * 2, '\\');
    out += '"';
    return out;
}

} // namespace tarnwick::os
