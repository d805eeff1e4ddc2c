#include "support/FakeDisk.h"
#include "os/TextCase.h"

namespace tarnwick::test {

std::string FakeDisk::Key(const std::string& path)
{
    std::string key;
    for (char c : path) {
        if (c == '/')
            c = '\\';
        if (c == '\\' && !key.empty() && key.back() == '\\')
            continue;
        key += FoldCase(c);
    }
    if (key.size() > 3 && key.back() == '\\')
        key.pop_back();
    if (key.size() == 2 && key[1] == ':')
        key += '\\';
    return key;
}

std::string FakeDisk::Parent(const std::string& key)
{
    const std::size_t last = key.rfind('\\');
    if (last == std::string::npos || key.size() <= 3)
        return {};
    return last == 2 ? key.substr(0, 3) : key.substr(0, last);
}

static bool IsDriveRoot(const std::string& key)
{
    return key.size() == 3 && key[1] == ':' && key[2] == '\\';
}

void FakeDisk::AddFolder(const std::string& path)
{
    for (std::string k = Key(path); !k.empty() && !IsDriveRoot(k); k = Parent(k))
        entries_.emplace(k, Entry{Kind::Folder, {}});
}

void FakeDisk::AddFile(const std::string& path, const std::string& bytes)
{
    const std::string k = Key(path);
    AddFolder(Parent(k));
    entries_[k] = Entry{Kind::File, bytes};
}

bool FakeDisk::IsFile(const std::string& path) const
{
    auto it = entries_.find(Key(path));
    return it != entries_.end() && it->second.kind == Kind::File;
}

bool FakeDisk::IsFolder(const std::string& path) const
{
    const std::string k = Key(path);
    if (IsDriveRoot(k))
        return true;
    auto it = entries_.find(k);
    return it != entries_.end() && it->second.kind == Kind::Folder;
}

std::string FakeDisk::Contents(const std::string& path) const
{
    auto it = entries_.find(Key(path));
    return it == entries_.end() ? std::string() : it->second.bytes;
}

bool FakeDisk::CreateFolder(const std::string& path)
{
    const std::string k = Key(path);
    if (k.empty() || Exists(path) || denied_.count(k) || !IsFolder(Parent(k)))
        return false;
    entries_[k] = Entry{Kind::Folder, {}};
    created_.push_back(path);
    return true;
}

bool FakeDisk::DeleteFile(const std::string& path)
{
    if (!IsFile(path))
        return false;
    entries_.erase(Key(path));
    return true;
}

bool FakeDisk::RenameFile(const std::string& from, const std::string& to)
{
    const std::string a = Key(from), b = Key(to);
    if (!IsFile(from) || IsFolder(to) || !IsFolder(Parent(b)) || unmovable_.count(a))
        return false;
    Entry e = entries_[a];
    entries_.erase(a);
    entries_[b] = e;
    return true;
}

std::map<std::string, std::string> FakeDisk::Snapshot() const
{
    std::map<std::string, std::string> out;
    for (const auto& [k, e] : entries_)
        out[k] = e.kind == Kind::Folder ? std::string("<folder>") : e.bytes;
    return out;
}

} // namespace tarnwick::test
