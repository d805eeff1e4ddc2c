#include "os/GameFolder.h"

#include "os/Drives.h"
#include "os/PathStyle.h"
#include "os/TextCase.h"

#include <algorithm>
#include <deque>

namespace tarnwick::os {

namespace {

constexpr int kDepth = 3;
constexpr int kFolderBudget = 400;
constexpr std::size_t kNamesPerFolder = 4096;

bool IsVolumeName(const std::string& name)
{
    return name.size() > 4 && EqualsNoCase(std::string_view(name).substr(name.size() - 4), ".vol");
}

struct Place {
    std::string path, name, parent;
    int depth = 0;
};

} // namespace

std::string FindGameFolder(const std::vector<std::string>& drives)
{
    const PathStyle style = NativePathStyle();
    std::deque<Place> queue;
    for (const std::string& d : drives)
        queue.push_back({d, {}, {}, 0});
    int budget = kFolderBudget;
    while (!queue.empty() && budget-- > 0) {
        const Place here = std::move(queue.front());
        queue.pop_front();
        auto entries = ListFolderEntries(here.path, kNamesPerFolder);
        if (!entries)
            continue;
        std::vector<std::string>& folders = entries->folders;
        // The same order on every disk, whatever order it lists names in.
        std::sort(folders.begin(), folders.end());
        for (const std::string& f : folders) {
            if (!EqualsNoCase(f, "base") || budget-- <= 0)
                continue;
            const std::string base = JoinPath(here.path, f, style);
            if (auto inBase = ListFolderEntries(base, kNamesPerFolder))
                if (std::any_of(inBase->files.begin(), inBase->files.end(), IsVolumeName))
                    return base;
        }
        if (EqualsNoCase(here.name, "Tribes") && EqualsNoCase(here.parent, "Dynamix"))
            return here.path;
        if (here.depth == kDepth)
            continue;
        for (const std::string& f : folders) {
            // No more is queued than can still be read.
            if (queue.size() >= static_cast<std::size_t>(std::max(budget, 0)))
                break;
            if (!(here.depth == 0 && EqualsNoCase(f, "windows")))
                queue.push_back({JoinPath(here.path, f, style), f, here.name, here.depth + 1});
        }
    }
    return {};
}

} // namespace tarnwick::os
