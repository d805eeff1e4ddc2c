#include "os/ReplaceNames.h"
#include "os/TextCase.h"

#include <cstdint>

namespace tarnwick {

namespace {

std::string Sibling(const std::string& outputPath, PathStyle style, const char* suffix)
{
    const std::size_t cut = outputPath.find_last_of(style == PathStyle::Windows ? "\\/" : "/");
    const std::size_t nameAt = cut == std::string::npos ? 0 : cut + 1;
    std::string name = outputPath.substr(nameAt);
    if (style == PathStyle::Windows)
        name = ToLower(name); // one file there, whatever the case it is named in
    // FNV-1a: a short, stable tag of the name; a clash needs two outputs in
    // one folder with the same tag, and then costs only a retry.
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : name) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    static const char kHex[] = "0123456789abcdef";
    std::string tag(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4)
        tag[static_cast<std::size_t>(i)] = kHex[h & 15];
    return outputPath.substr(0, nameAt) + ".tw" + tag + suffix;
}

} // namespace

std::string ReplaceTempName(const std::string& outputPath, PathStyle style)
{
    return Sibling(outputPath, style, ".part");
}

std::string ReplaceKeepName(const std::string& outputPath, PathStyle style)
{
    return Sibling(outputPath, style, ".old");
}

bool IsReplaceName(std::string_view fileName)
{
    const std::string n = ToLower(fileName);
    constexpr std::size_t kTag = 3 + 16; // ".tw" and the tag
    if (n.size() < kTag || n.compare(0, 3, ".tw") != 0)
        return false;
    for (std::size_t i = 3; i < kTag; ++i)
        if (!((n[i] >= '0' && n[i] <= '9') || (n[i] >= 'a' && n[i] <= 'f')))
            return false;
    const std::string_view rest = std::string_view(n).substr(kTag);
    return rest == ".part" || rest == ".old";
}

} // namespace tarnwick
