#include "os/WindowsNames.h"

#include "os/TextCase.h"

namespace tarnwick {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// 1 to 9 and 0, and the code page's superscript one, two and three.
bool IsDeviceDigit(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (c >= '0' && c <= '9') || u == 0xB9 || u == 0xB2 || u == 0xB3;
}

// Where the pieces of a path start: after a drive ("C:"), a share
// ("\\server\share"), or the \\?\ and \\.\ prefixes with what follows them.
std::size_t RootLength(std::string_view path)
{
    auto driveAt = [&path](std::size_t at) {
        return path.size() >= at + 2 && path[at + 1] == ':' &&
               ((path[at] >= 'A' && path[at] <= 'Z') || (path[at] >= 'a' && path[at] <= 'z'));
    };
    std::size_t at = 0;
    if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == '?' || path[2] == '.') &&
        IsSeparator(path[3])) {
        at = 4;
        if (driveAt(at))
            return at + 2;
        if (path.size() >= at + 4 && EqualsNoCase(path.substr(at, 3), "UNC") && IsSeparator(path[at + 3]))
            at += 4;
        else
            return at;
    } else if (driveAt(0)) {
        return 2;
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        at = 2;
    } else {
        return 0;
    }
    // A share's server and share names belong to the root.
    for (int pieces = 0; pieces < 2 && at < path.size(); ++pieces) {
        while (at < path.size() && !IsSeparator(path[at]))
            ++at;
        if (pieces == 0 && at < path.size())
            ++at;
    }
    return at;
}

} // namespace

bool IsWindowsDeviceName(std::string_view piece)
{
    // The system looks at the part before the first dot, blanks at its end
    // dropped: "nul.cs", "NUL .txt" and "con.a.b" are devices all the same.
    std::string base(piece.substr(0, piece.find('.')));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    base = ToUpper(base);
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" || base == "CONOUT$")
        return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           IsDeviceDigit(base[3]);
}

std::string WindowsPieceProblem(std::string_view piece)
{
    if (IsWindowsDeviceName(piece))
        return "names a device on Windows";
    for (char c : piece) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20)
            return "holds a control character, which Windows does not allow in a file name";
        if (c == ':')
            return "holds a colon, which Windows reads as a hidden stream of another file";
        if (std::string_view("<>\"|?*").find(c) != std::string_view::npos)
            return std::string("holds the character ") + c + ", which Windows does not allow in a file name";
    }
    if (!piece.empty() && (piece.back() == '.' || piece.back() == ' '))
        return std::string("ends in a ") + (piece.back() == '.' ? "dot" : "blank") +
               ", which Windows drops, so it would land in another file";
    return {};
}

std::string WindowsPathProblem(std::string_view path)
{
    std::size_t start = RootLength(path);
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        const std::string_view piece = path.substr(start, end - start);
        if (!piece.empty() && piece != "." && piece != "..") {
            const std::string why = WindowsPieceProblem(piece);
            if (!why.empty())
                return "\"" + std::string(piece) + "\" " + why;
        }
        start = end + 1;
    }
    return {};
}

} // namespace tarnwick
