#include "platform/PathStyle.h"

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

std::string ToLower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string ToUpper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && ToLower(a) == ToLower(b);
}

std::string ShownPath(std::string_view path, PathStyle style)
{
    return style == PathStyle::Windows ? ToLower(path) : std::string(path);
}

std::string StoredNameToPath(std::string_view storedName, PathStyle style)
{
    std::string out(storedName);
    if (style == PathStyle::Posix)
        std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

} // namespace tarnwick
