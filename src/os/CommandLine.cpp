#include "os/CommandLine.h"

namespace tarnwick::os {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void SkipBlanks(std::string_view line, std::size_t& i)
{
    while (i < line.size() && IsBlank(line[i]))
        ++i;
}

// The program name: no escapes, a quote only toggles.
std::string ReadProgramName(std::string_view line, std::size_t& i)
{
    std::string program;
    bool quoted = false;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && IsBlank(c))
            break;
        else
            program += c;
    }
    return program;
}

// A run of backslashes: doubled before a quote (an odd one escapes the
// quote itself), literal anywhere else.
void ReadBackslashes(std::string_view line, std::size_t& i, std::string& arg)
{
    std::size_t slashes = 0;
    while (i < line.size() && line[i] == '\\') {
        ++slashes;
        ++i;
    }
    if (i < line.size() && line[i] == '"') {
        arg.append(slashes / 2, '\\');
        if (slashes % 2 == 1) {
            arg += '"';
            ++i;
        }
        // An even count leaves the quote to the caller.
    } else {
        arg.append(slashes, '\\');
    }
}

// One argument by the C runtime's rules; `i` stops at the blank after it.
std::string ReadArgument(std::string_view line, std::size_t& i)
{
    std::string arg;
    bool quoted = false;
    const std::size_t n = line.size();
    while (i < n) {
        const char c = line[i];
        if (c == '\\') {
            ReadBackslashes(line, i, arg);
        } else if (c == '"') {
            // Two quotes inside a quoted part stand for one.
            if (quoted && i + 1 < n && line[i + 1] == '"') {
                arg += '"';
                i += 2;
            } else {
                quoted = !quoted;
                ++i;
            }
        } else if (!quoted && IsBlank(c)) {
            break;
        } else {
            arg += c;
            ++i;
        }
    }
    return arg;
}

} // namespace

std::vector<std::string> SplitWindowsCommandLine(std::string_view line)
{
    std::vector<std::string> args;
    std::size_t i = 0;
    SkipBlanks(line, i);
    if (i >= line.size())
        return args;
    args.push_back(ReadProgramName(line, i));
    for (SkipBlanks(line, i); i < line.size(); SkipBlanks(line, i))
        args.push_back(ReadArgument(line, i));
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
