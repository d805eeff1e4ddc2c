// The registry store's parser on arbitrary text. The store is a file a user
// may edit by hand, so whatever it holds must neither crash us nor be
// silently altered by the next save. What must hold:
// - a parse that fails leaves the tree empty and says why;
// - a tree that parsed saves to text that parses back to the same tree, and
//   saving that tree again gives the very same text (a save is stable, so
//   the store never drifts from one run to the next).
#include "os/RegistryFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text = {})
{
    std::fprintf(stderr, "%s\n", what);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::abort();
}

bool SameKey(const tarnwick::os::RegistryKey& a, const tarnwick::os::RegistryKey& b)
{
    if (a.name != b.name || a.values.size() != b.values.size() || a.subkeys.size() != b.subkeys.size())
        return false;
    for (std::size_t i = 0; i < a.values.size(); ++i) {
        const auto& x = a.values[i];
        const auto& y = b.values[i];
        if (x.name != y.name || x.type != y.type || x.data != y.data)
            return false;
    }
    for (std::size_t i = 0; i < a.subkeys.size(); ++i)
        if (!SameKey(*a.subkeys[i], *b.subkeys[i]))
            return false;
    return true;
}

bool SameTree(const tarnwick::os::RegistryTree& a, const tarnwick::os::RegistryTree& b)
{
    if (a.roots.size() != b.roots.size())
        return false;
    for (std::size_t i = 0; i < a.roots.size(); ++i)
        if (!SameKey(a.roots[i], b.roots[i]))
            return false;
    return true;
}

bool Empty(const tarnwick::os::RegistryTree& t)
{
    for (const auto& root : t.roots)
        if (!root.values.empty() || !root.subkeys.empty())
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnwick::os;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    RegistryTree tree;
    std::string problem;
    if (!ParseRegistryFile(text, tree, problem)) {
        if (!Empty(tree))
            Fail("a failed parse left keys behind");
        if (problem.empty())
            Fail("a failed parse gave no reason");
        return 0;
    }

    const std::string saved = FormatRegistryFile(tree);
    RegistryTree again;
    if (!ParseRegistryFile(saved, again, problem))
        Fail(("a saved store does not parse: " + problem + "\n").c_str(), saved);
    if (!SameTree(tree, again))
        Fail("a saved store reads back different", saved);
    if (FormatRegistryFile(again) != saved)
        Fail("saving a store twice gives different text", saved);
    return 0;
}
