#pragma once
// The commands of tarnvol. main.cpp dispatches by name through a table; each
// command lives in its own file. A command gets the arguments after its name;
// "--help" never reaches it (main prints the command's help instead).
// Exit codes: 0 success, 1 the work failed, 2 the command line was wrong.
#include <optional>
#include <string>
#include <vector>

namespace tarnvol {

int RunList(const std::vector<std::string>& args);
int RunInfo(const std::vector<std::string>& args);
int RunExtract(const std::vector<std::string>& args);
int RunPack(const std::vector<std::string>& args);

extern const char* kListHelp;
extern const char* kInfoHelp;
extern const char* kExtractHelp;
extern const char* kPackHelp;

// A wrong command line: the message and a pointer to the help, on stderr.
int UsageError(const std::string& command, const std::string& message);

// The operands of a command without options of its own: "--" may stand
// first (for a name that begins with "-"); any other option is refused.
// Nothing, after the usage message has gone out, when the line is wrong.
std::optional<std::vector<std::string>> PlainOperands(const std::string& command,
                                                      const std::vector<std::string>& args);

} // namespace tarnvol
