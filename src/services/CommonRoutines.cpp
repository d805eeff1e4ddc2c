#include "services/CommonRoutines.h"
#include "services/MessageBox.h"
#include "os/Files.h"

namespace tarnwick {

std::string GetParentFolder(const std::string& sPath, PathStyle style)
{
    const char sep = Separator(style);
    const std::size_t last = sPath.rfind(sep);
    if (last == std::string::npos)
        return sPath;
    if (style == PathStyle::Windows) {
        // A backslash in third place is a drive root only after a colon.
        if (last == 2 && sPath[1] == ':')
            return sPath.substr(0, 3);
    } else if (last == 0) {
        return sPath.substr(0, 1);
    }
    return sPath.substr(0, last);
}

std::string GetFileTitle(const std::string& sPath, PathStyle style)
{
    const std::size_t last = sPath.rfind(Separator(style));
    if (last == std::string::npos)
        return sPath;
    return sPath.substr(last + 1);
}

std::string GetLongFileName(const std::string& sPath)
{
    if (sPath.empty())
        return {};
    return os::LongPathName(sPath);
}

std::string CreateFolderPath(const std::string& sPath, PathStyle style)
{
    return CreateFolderPath(sPath, style, SystemServices());
}

std::string CreateFolderPath(const std::string& sPath, PathStyle style, const OsServices& services)
{
    const OsServices disk = services.Completed();
    if (sPath.empty() || disk.PlainExists(sPath))
        return {};
    const char sep = Separator(style);
    std::string path = sPath;
    std::string current;
    std::size_t pos;
    if (style == PathStyle::Windows) {
        if (path.size() == 3)
            return {};
        if (path.size() < 2 || path[1] != ':')
            return {};
        // The first piece is the drive itself ("C:").
        pos = path.find(sep);
        if (pos == std::string::npos)
            return {};
        current = path.substr(0, pos);
    } else {
        if (path == "/" || path[0] != '/')
            return {};
        current = "/";
        pos = 0;
    }
    if (path.back() == sep)
        path.pop_back();

    while (pos != std::string::npos && pos < path.size()) {
        const std::size_t start = pos + 1;
        std::size_t end = path.find(sep, start);
        if (end == std::string::npos)
            end = path.size();
        // An empty piece (two separators in a row) names nothing new.
        if (end > start) {
            current = JoinPath(current, std::string_view(path).substr(start, end - start), style);
            if (!disk.PlainExists(current) && !disk.CreateFolder(current))
                return current; // the folders below it cannot be made either
        }
        pos = end < path.size() ? end : std::string::npos;
    }
    return {};
}

void ShowError(const std::string& sMessage)
{
    Messages().Beep();
    MsgBox(sMessage, MsgButtons::OK, MsgIcon::Critical);
}

} // namespace tarnwick
