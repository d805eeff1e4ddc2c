#pragma once
// Runs one of the build's programs the way a user's shell would, and keeps
// what it said and how it ended.
#include "support/TestFiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::test {

struct ToolRun {
    int exitCode = -1; // -1 when it did not end normally
    std::string out;
    std::string err;
    std::int64_t peakMemoryKb = -1; // largest resident set, where the system tells it
};

// `program` is a path; every argument is passed as it stands (no shell). It
// runs in `workingFolder` when one is given.
ToolRun RunTool(const std::string& program, const std::vector<std::string>& args,
                const std::string& workingFolder = {});

// The build's tarnvol.
inline ToolRun Tarnvol(const std::vector<std::string>& args, const std::string& workingFolder = {})
{
    return RunTool(ToolPath("tarnvol"), args, workingFolder);
}

#ifndef _WIN32
// As RunTool, the program held to `addressSpace` bytes of address space
// (RLIMIT_AS): running out fails its allocations as a small machine would.
// AddressSanitizer reserves more than any such limit; see ChildProcess.h.
ToolRun RunToolWithin(std::int64_t addressSpace, const std::string& program, const std::vector<std::string>& args);

// As RunTool, but standard output is a pseudo-terminal, as when a person runs
// the program in a terminal window; `out` is every byte the program wrote to
// it (the terminal adds no carriage returns).
ToolRun RunToolOnTerminal(const std::string& program, const std::vector<std::string>& args);
#endif

} // namespace tarnwick::test
