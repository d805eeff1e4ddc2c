#pragma once
// Starting the extractor and waiting for it.
#include <cstdint>
#include <string>

namespace tarnwick::os {

// Starts a Windows-style command line as a new process with no window.
// POSIX: the line is split by the Windows quoting rules and the program is
// spawned without a shell. Returns the process id, 0 when it could not start.
std::int64_t StartProcessHidden(const std::string& commandLine);

// Waits, without a time-out, until the process has ended (Windows: OpenProcess
// with SYNCHRONIZE, WaitForSingleObject INFINITE, CloseHandle). A process that
// cannot be opened is not waited for and nothing is reported. Returns the
// exit code when it could be learnt (POSIX: 128 + the signal for a process
// that was killed), -1 otherwise.
int WaitForProcess(std::int64_t processId);

} // namespace tarnwick::os
