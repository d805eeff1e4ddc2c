#pragma once
// Splitting a command line the way a Windows program's startup code does
// (the rules of CommandLineToArgvW), so that the POSIX side hands the
// extractor exactly the arguments it would receive on Windows.
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::os {

// The first argument (the program) ends at the next blank, or, when it begins
// with a double quote, at the next double quote; backslashes are plain there.
// The others follow the usual rules: 2n backslashes before a quote give n and
// toggle quoting, 2n+1 give n and a literal quote, "" inside quotes is a quote.
std::vector<std::string> SplitWindowsCommandLine(std::string_view commandLine);

// One argument (not the program's) in double quotes, so that the rules above
// give it back whole: a quote is escaped with a backslash, and backslashes
// double only where a quote follows them. A text without quotes or a
// closing backslash stays as it is, in plain quotes.
std::string QuoteWindowsArgument(std::string_view argument);

} // namespace tarnwick::os
