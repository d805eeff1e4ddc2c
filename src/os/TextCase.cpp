#include "os/TextCase.h"

namespace tarnwick {

std::string ToLower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = FoldCase(c);
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
    // Byte by byte: callers compare in loops (every key of a settings file,
    // every name of a volume), where two lower-cased copies per call cost more.
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

} // namespace tarnwick
