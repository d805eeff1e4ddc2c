#pragma once
// Runs one of the build's programs as a user would and keeps what it said.
#include <string>
#include <vector>

namespace tarnwick::test {

struct ToolResult {
    int exitCode = -1; // -1 when it could not be run or died of a signal
    std::string out;
    std::string err;
};

// Runs `program` with `args` (no shell in between, so arguments arrive as
// given), in `workingFolder` when that is not empty.
ToolResult RunTool(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workingFolder = {});

} // namespace tarnwick::test
