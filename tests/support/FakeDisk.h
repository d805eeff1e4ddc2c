#pragma once
// A pretend Windows disk for tests that must run the program's Windows-style
// paths (C:\..., D:\out) on any machine. Names match without regard to case,
// repeated backslashes count as one, and a trailing backslash names the same
// entry as the path without it.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tarnwick::test {

class FakeDisk {
public:
    enum class Kind { File, Folder };

    // Adds a folder and every folder above it; drive roots always exist.
    void AddFolder(const std::string& path);
    // Adds a file (and its folders) with the given bytes.
    void AddFile(const std::string& path, const std::string& bytes = {});
    // Folders whose creation is refused (access denied).
    void DenyCreate(const std::string& path) { denied_.insert(Key(path)); }
    void DenyRename(const std::string& path) { unmovable_.insert(Key(path)); }

    bool IsFile(const std::string& path) const;
    bool IsFolder(const std::string& path) const;
    bool Exists(const std::string& path) const { return IsFile(path) || IsFolder(path); }
    std::string Contents(const std::string& path) const;

    bool CreateFolder(const std::string& path);
    bool DeleteFile(const std::string& path);
    bool RenameFile(const std::string& from, const std::string& to);

    // Every folder created through CreateFolder, as it was spelled.
    const std::vector<std::string>& Created() const { return created_; }
    // Every entry, as keys (lower case), for whole-disk comparisons.
    std::map<std::string, std::string> Snapshot() const;

    static std::string Key(const std::string& path);
    static std::string Parent(const std::string& key);

private:
    struct Entry {
        Kind kind;
        std::string bytes;
    };
    std::map<std::string, Entry> entries_;
    std::set<std::string> denied_, unmovable_;
    std::vector<std::string> created_;
};

} // namespace tarnwick::test
