#include "os/PathStyle.h"
#include "os/AnsiText.h"
#include "os/TextCase.h"

#include <algorithm>

namespace tarnwick {

PathStyle NativePathStyle()
{
#ifdef _WIN32
    return PathStyle::Windows;
#else
    return PathStyle::Posix;
#endif
}

char Separator(PathStyle style)
{
    return style == PathStyle::Windows ? '\\' : '/';
}

std::string JoinPath(std::string_view folder, std::string_view name, PathStyle style)
{
    std::string out;
    out.reserve(folder.size() + 1 + name.size());
    out += folder;
    const bool ends = !folder.empty() && (folder.back() == Separator(style) ||
                                          (style == PathStyle::Windows && folder.back() == '/'));
    if (!folder.empty() && !ends)
        out += Separator(style);
    out += name;
    return out;
}

std::string ShownPath(std::string_view path, PathStyle style)
{
    return style == PathStyle::Windows ? ToLower(path) : std::string(path);
}

std::string StoredNameToPath(std::string_view storedName, PathStyle style)
{
    if (style == PathStyle::Windows)
        return std::string(storedName);
    // As Windows turns an ANSI name into the file system's Unicode, a disk
    // that speaks UTF-8 gets the same text, not the code page's bytes.
    std::string out = AnsiToUtf8(storedName);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

std::string NameAsText(std::string_view storedName, PathStyle style)
{
    return style == PathStyle::Windows ? std::string(storedName) : AnsiToUtf8(storedName);
}

} // namespace tarnwick
