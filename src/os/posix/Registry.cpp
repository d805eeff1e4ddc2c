// The POSIX registry: a REGEDIT4 file read for every call and replaced
// atomically on every change, so that two programs (or a crash) never leave
// it half-written, and a user's edit is seen at once.
#include "os/Registry.h"
#include "os/posix/XdgFolder.h"
#include "os/Files.h"
#include "os/RegistryFile.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace tarnwick::os {

namespace {

struct OpenKey {
    std::size_t root;
    std::vector<std::string> path;
    std::uint32_t access;
};

std::mutex gLock;
std::map<RegHandle, OpenKey> gOpen;
RegHandle gNext = 1;
std::string gProblem;

std::string DataHome() { return XdgFolder("XDG_DATA_HOME", "/.local/share"); }

std::vector<std::string> Split(const std::string& path)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            out.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

bool IsRoot(RegHandle h, std::size_t* index)
{
    const RegHandle roots[] = {kHKEY_CLASSES_ROOT, kHKEY_CURRENT_USER, kHKEY_LOCAL_MACHINE, kHKEY_USERS,
                               kHKEY_CURRENT_CONFIG};
    for (std::size_t i = 0; i < std::size(roots); ++i)
        if (roots[i] == h) {
            *index = i;
            return true;
        }
    return false;
}

// The key a handle stands for, as a root and a path.
bool Resolve(RegHandle h, OpenKey& out)
{
    std::size_t root = 0;
    if (IsRoot(h, &root)) {
        out = {root, {}, kKEY_ALL_BASIC};
        return true;
    }
    auto it = gOpen.find(h);
    if (it == gOpen.end())
        return false;
    out = it->second;
    return true;
}

long Load(RegistryTree& tree)
{
    const std::string path = RegistryStorePath();
    if (path.empty()) {
        gProblem = "there is no data folder for the registry store";
        return kRegAccessDenied;
    }
    if (!PlainExists(path)) {
        tree = RegistryTree();
        gProblem.clear();
        return kRegOk;
    }
    InputFile in(path);
    auto size = in.IsOpen() ? in.Size() : std::nullopt;
    if (!size) {
        gProblem = path + " cannot be read";
        return kRegAccessDenied;
    }
    std::string text(static_cast<std::size_t>(*size), '\0');
    if (*size > 0 && in.ReadAt(0, text.data(), *size) != *size) {
        gProblem = path + " cannot be read";
        return kRegAccessDenied;
    }
    std::string problem;
    if (!ParseRegistryFile(text, tree, problem)) {
        // Never written over: the user's data stays for them to mend.
        gProblem = path + " is damaged (" + problem + ")";
        return kRegBadStore;
    }
    gProblem.clear();
    return kRegOk;
}

long Save(const RegistryTree& tree)
{
    const std::string path = RegistryStorePath();
    const std::string folder = path.substr(0, path.rfind('/'));
    if (!CreateFolderTree(folder)) {
        gProblem = "the folder " + folder + " cannot be made";
        return kRegAccessDenied;
    }
    AtomicOutputFile out(path);
    const std::string text = FormatRegistryFile(tree);
    if (!out.IsOpen() || !out.Write(text.data(), static_cast<std::int64_t>(text.size())) || !out.Commit()) {
        gProblem = path + " cannot be written";
        return kRegAccessDenied;
    }
    return kRegOk;
}

RegistryKey* Walk(RegistryTree& tree, const OpenKey& k)
{
    RegistryKey* key = &tree.roots[k.root];
    for (const std::string& piece : k.path) {
        key = key->Find(piece);
        if (!key)
            return nullptr;
    }
    return key;
}

// Loads the store and finds the key of a handle: the common start of the
// calls on an open key.
long Prepare(RegHandle h, std::uint32_t need, RegistryTree& tree, RegistryKey*& key)
{
    OpenKey k;
    if (!Resolve(h, k))
        return kRegInvalidHandle;
    if ((k.access & need) != need)
        return kRegAccessDenied;
    if (long r = Load(tree); r != kRegOk)
        return r;
    key = Walk(tree, k);
    // A key deleted while it was open.
    return key ? kRegOk : 1018;
}

RegHandle NewHandle(const OpenKey& k)
{
    const RegHandle h = gNext++;
    gOpen[h] = k;
    return h;
}

bool Concat(RegHandle root, const std::string& path, std::uint32_t access, OpenKey& out)
{
    if (!Resolve(root, out))
        return false;
    for (std::string& piece : Split(path))
        out.path.push_back(std::move(piece));
    out.access = access;
    return true;
}

} // namespace

std::string RegistryStorePath()
{
    const std::string home = DataHome();
    return home.empty() ? std::string() : home + "/tarnwick/registry.reg";
}

std::string RegistryStoreProblem()
{
    std::lock_guard<std::mutex> g(gLock);
    return gProblem;
}

namespace {

// Opens `path` below `root` (making it when `create`), with the store locked.
long OpenOrCreateKey(RegHandle root, const std::string& path, std::uint32_t access, RegHandle* key, bool create)
{
    std::lock_guard<std::mutex> g(gLock);
    OpenKey k;
    if (!key || !Concat(root, path, access, k))
        return kRegInvalidHandle;
    RegistryTree tree;
    if (long r = Load(tree); r != kRegOk)
        return r;
    if (!Walk(tree, k)) {
        if (!create)
            return kRegNotFound;
        RegistryKey* at = &tree.roots[k.root];
        for (const std::string& piece : k.path)
            at = &at->Child(piece);
        if (long r = Save(tree); r != kRegOk)
            return r;
    }
    *key = NewHandle(k);
    return kRegOk;
}

} // namespace

long RegistryOpenKey(RegHandle root, const std::string& path, std::uint32_t access, RegHandle* key)
{
    return OpenOrCreateKey(root, path, access, key, false);
}

long RegistryCreateKey(RegHandle root, const std::string& path, std::uint32_t access, RegHandle* key)
{
    return OpenOrCreateKey(root, path, access, key, true);
}

long RegistryCloseKey(RegHandle key)
{
    std::lock_guard<std::mutex> g(gLock);
    std::size_t root = 0;
    if (IsRoot(key, &root))
        return kRegOk;
    return gOpen.erase(key) ? kRegOk : kRegInvalidHandle;
}

long RegistryQueryValue(RegHandle h, const std::string& name, std::uint32_t* type, unsigned char* data,
                        std::uint32_t* size)
{
    std::lock_guard<std::mutex> g(gLock);
    RegistryTree tree;
    RegistryKey* key = nullptr;
    if (long r = Prepare(h, kKEY_QUERY_VALUE, tree, key); r != kRegOk)
        return r;
    const RegistryValue* v = key->FindValue(name);
    if (!v)
        return kRegNotFound;
    if (type)
        *type = v->type;
    const auto need = static_cast<std::uint32_t>(v->data.size());
    if (!size)
        return data ? kRegInvalidHandle : kRegOk;
    // No buffer: only the size is asked for. A buffer too small: more data.
    if (!data) {
        *size = need;
        return kRegOk;
    }
    if (*size < need) {
        *size = need;
        return kRegMoreData;
    }
    std::memcpy(data, v->data.data(), need);
    *size = need;
    return kRegOk;
}

long RegistrySetValue(RegHandle h, const std::string& name, std::uint32_t type, const unsigned char* data,
                      std::uint32_t size)
{
    std::lock_guard<std::mutex> g(gLock);
    RegistryTree tree;
    RegistryKey* key = nullptr;
    if (long r = Prepare(h, kKEY_SET_VALUE, tree, key); r != kRegOk)
        return r;
    RegistryValue v;
    v.name = name;
    v.type = type;
    v.data.assign(reinterpret_cast<const char*>(data), data ? size : 0);
    if (RegistryValue* old = key->FindValue(name))
        *old = std::move(v);
    else
        key->values.push_back(std::move(v));
    return Save(tree);
}

long RegistryDeleteKey(RegHandle root, const std::string& path)
{
    std::lock_guard<std::mutex> g(gLock);
    OpenKey k;
    if (!Concat(root, path, kKEY_ALL_BASIC, k))
        return kRegInvalidHandle;
    if (k.path.empty())
        return kRegAccessDenied; // a root cannot go
    RegistryTree tree;
    if (long r = Load(tree); r != kRegOk)
        return r;
    RegistryKey* key = Walk(tree, k);
    if (!key)
        return kRegNotFound;
    if (!key->subkeys.empty())
        return kRegAccessDenied;
    OpenKey parent = k;
    parent.path.pop_back();
    Walk(tree, parent)->RemoveChild(k.path.back());
    return Save(tree);
}

long RegistryDeleteValue(RegHandle h, const std::string& name)
{
    std::lock_guard<std::mutex> g(gLock);
    RegistryTree tree;
    RegistryKey* key = nullptr;
    if (long r = Prepare(h, kKEY_SET_VALUE, tree, key); r != kRegOk)
        return r;
    if (!key->RemoveValue(name))
        return kRegNotFound;
    return Save(tree);
}

long RegistryQueryInfoKey(RegHandle h, std::uint32_t* maxValueNameLength)
{
    std::lock_guard<std::mutex> g(gLock);
    RegistryTree tree;
    RegistryKey* key = nullptr;
    if (long r = Prepare(h, kKEY_QUERY_VALUE, tree, key); r != kRegOk)
        return r;
    std::size_t longest = 0;
    for (const RegistryValue& v : key->values)
        longest = std::max(longest, v.name.size());
    if (maxValueNameLength)
        *maxValueNameLength = static_cast<std::uint32_t>(longest);
    return kRegOk;
}

long RegistryEnumValue(RegHandle h, std::uint32_t index, char* name, std::uint32_t* nameLength)
{
    std::lock_guard<std::mutex> g(gLock);
    RegistryTree tree;
    RegistryKey* key = nullptr;
    if (long r = Prepare(h, kKEY_QUERY_VALUE, tree, key); r != kRegOk)
        return r;
    if (index >= key->values.size())
        return kRegNoMoreItems;
    const std::string& n = key->values[index].name;
    if (!name || !nameLength || *nameLength < n.size() + 1)
        return kRegMoreData;
    std::memcpy(name, n.c_str(), n.size() + 1);
    *nameLength = static_cast<std::uint32_t>(n.size());
    return kRegOk;
}

long RegistryEnumKey(RegHandle h, std::uint32_t index, char* name, std::uint32_t length)
{
    std::lock_guard<std::mutex> g(gLock);
    RegistryTree tree;
    RegistryKey* key = nullptr;
    if (long r = Prepare(h, kKEY_ENUMERATE_SUB_KEYS, tree, key); r != kRegOk)
        return r;
    if (index >= key->subkeys.size())
        return kRegNoMoreItems;
    const std::string& n = key->subkeys[index]->name;
    if (!name || length < n.size() + 1)
        return kRegMoreData;
    std::memcpy(name, n.c_str(), n.size() + 1);
    return kRegOk;
}

std::uint32_t ExpandEnvironment(const std::string& source, char* buffer, std::uint32_t size)
{
    std::string out;
    std::size_t i = 0;
    while (i < source.size()) {
        if (source[i] == '%') {
            const std::size_t close = source.find('%', i + 1);
            if (close != std::string::npos && close > i + 1) {
                const std::string name = source.substr(i + 1, close - i - 1);
                if (const char* value = std::getenv(name.c_str())) {
                    out += value;
                    i = close + 1;
                    continue;
                }
                // An unknown name stays as written, its closing sign free
                // to open the next reference.
                out.append(source, i, close - i);
                i = close;
                continue;
            }
        }
        out += source[i++];
    }
    const auto need = static_cast<std::uint32_t>(out.size() + 1);
    if (buffer && size >= need)
        std::memcpy(buffer, out.c_str(), need);
    return need;
}

} // namespace tarnwick::os
