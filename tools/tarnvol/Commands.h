#pragma once
// The commands of tarnvol. main.cpp dispatches by name through a table; each
// command lives in its own file. A command gets the arguments after its name;
// "--help" never reaches it (main prints the command's help instead).
// Exit codes: 0 success, 1 the work failed, 2 the command line was wrong.
#include "OptionLine.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnvol {

int RunList(const std::vector<std::string>& args);
int RunInfo(const std::vector<std::string>& args);
int RunExtract(const std::vector<std::string>& args);
int RunPack(const std::vector<std::string>& args);
int RunCat(const std::vector<std::string>& args);
int RunTest(const std::vector<std::string>& args);
int RunAdd(const std::vector<std::string>& args);
int RunDelete(const std::vector<std::string>& args);

extern const char* kListHelp;
extern const char* kInfoHelp;
extern const char* kExtractHelp;
extern const char* kPackHelp;
extern const char* kCatHelp;
extern const char* kTestHelp;
extern const char* kAddHelp;
extern const char* kDeleteHelp;

// Writes the stored bytes of the entries the patterns select (every entry
// when `all`) to standard output, in stored order, as cat does; with `once`
// a name stored twice is written once, as the extractor takes the first.
// Every fault is told as "tarnvol COMMAND: ..."; the exit status.
int WriteSelected(const std::string& command, const std::string& volume, const std::vector<std::string>& patterns,
                  bool all, bool once);

// A wrong command line: the message and a pointer to the help, on stderr.
int UsageError(const std::string& command, const std::string& message);

// The command's line taken apart by the options in `specs`; nothing, after
// the usage message has gone out, when the line is wrong.
std::optional<OptionLine> ParseCommandLine(const std::string& command, const std::vector<std::string>& args,
                                           const std::vector<OptionSpec>& specs);

} // namespace tarnvol
