#pragma once
// Files that are no files: what a user, another program or an attacker may
// leave where the program expects a file of its own (POSIX only).
#include <string>
#include <vector>

namespace tarnwick::test {

enum class SpecialKind {
    Fifo,
    Socket,
    NullDevice, // a character device: the null device, as a node of our own
    LinkToFifo,
    LinkToNullDevice,
};

// Every kind, for tables.
const std::vector<SpecialKind>& AllSpecialKinds();
const char* Describe(SpecialKind kind);

// Makes one at `path`; what a link points to goes beside it, as path +
// ".target". The device node is made in the test's own folder rather than
// linking to /dev/null, so that a faulty write could never reach a real
// system file. False when the system refuses (a device node needs root).
bool MakeSpecialFile(SpecialKind kind, const std::string& path);
// Whether `path` is still of that kind (and a link still points to one).
bool IsSpecialFile(SpecialKind kind, const std::string& path);

} // namespace tarnwick::test
