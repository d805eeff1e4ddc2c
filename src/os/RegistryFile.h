#pragma once
// A registry kept in one text file, in the format the Windows registry
// editor exports (REGEDIT4), so that a user can read and mend it: keys as
// [ROOT\path] headers, values as "name"="text", "name"=dword:..., or
// "name"=hex(type):.. lines. Key and value names match without regard to
// case, as on Windows; everything keeps the order it was made in.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::os {

struct RegistryValue {
    std::string name; // "" is the key's default value ("@" in the file)
    std::uint32_t type = 0;
    std::string data; // raw bytes, as the value is stored
};

struct RegistryKey {
    std::string name;
    std::vector<RegistryValue> values;
    std::vector<std::unique_ptr<RegistryKey>> subkeys;

    RegistryKey* Find(std::string_view child) const;
    RegistryKey& Child(std::string_view child); // found or added
    RegistryValue* FindValue(std::string_view value);
    bool RemoveChild(std::string_view child);
    bool RemoveValue(std::string_view value);
};

// The roots a file may hold, by their full names.
extern const char* const kRegistryRoots[];
extern const std::size_t kRegistryRootCount;

struct RegistryTree {
    // One key per root, in the order of kRegistryRoots.
    std::vector<RegistryKey> roots;
    RegistryTree();
    RegistryKey* Root(std::string_view name);
};

// Parses a whole file. False, with `problem` saying where and what, for text
// that is not such a file; `tree` is then left empty.
bool ParseRegistryFile(std::string_view text, RegistryTree& tree, std::string& problem);

// The file for a tree: a header for every key (empty ones too), values in
// their order, texts escaped, other types as hex lists.
std::string FormatRegistryFile(const RegistryTree& tree);

} // namespace tarnwick::os
