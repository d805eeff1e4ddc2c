#include "DiskFiles.h"
#include "Commands.h"

#include "os/AnsiText.h"
#include "os/Files.h"
#include "os/Folders.h"
#include "os/PathStyle.h"
#include "os/TextCase.h"
#include "volume/VolumeWriter.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace tarnvol {

using tarnwick::PathStyle;

namespace {

bool IsSeparator(char c, PathStyle style)
{
    return c == '/' || (style == PathStyle::Windows && c == '\\');
}

bool IsAbsolute(const std::string& path, PathStyle style)
{
    if (!path.empty() && IsSeparator(path[0], style))
        return true;
    // C:foo is relative to a drive's own current folder, never to DIR.
    return style == PathStyle::Windows && path.size() >= 2 && path[1] == ':';
}

// The pieces of a relative path, "." and empty pieces dropped; nothing when
// a ".." piece would climb out of the folder it is taken from.
std::optional<std::vector<std::string>> Pieces(const std::string& relative, PathStyle style)
{
    std::vector<std::string> pieces;
    std::string piece;
    auto flush = [&] {
        if (piece == "..")
            return false;
        if (!piece.empty() && piece != ".")
            pieces.push_back(piece);
        piece.clear();
        return true;
    };
    for (char c : relative) {
        if (IsSeparator(c, style)) {
            if (!flush())
                return std::nullopt;
        } else {
            piece += c;
        }
    }
    if (!flush())
        return std::nullopt;
    return pieces;
}

// Turns FILE operands into stored names, as pack has always named them.
class Packer {
public:
    Packer(std::string command, std::string dir, std::string output, PathStyle style)
        : command_(std::move(command)), dir_(std::move(dir)), style_(style), base_(tarnwick::os::RealPath(dir_.empty() ? "." : dir_))
    {
        // The volume must not swallow an earlier copy of itself.
        if (tarnwick::os::IsPlainFile(output))
            outputLong_ = tarnwick::os::RealPath(output);
    }

    // Adds one FILE operand; false (the reason on stderr) when it cannot be.
    bool AddOperand(const std::string& operand)
    {
        std::string relative = operand;
        if (IsAbsolute(operand, style_)) {
            std::string full = tarnwick::os::RealPath(operand);
            if (full.empty())
                return Fail(operand + " not found");
            if (!Inside(full))
                return Fail(operand + " is outside " + DirName());
            relative = full.substr(base_.size());
        }
        auto pieces = Pieces(relative, style_);
        if (!pieces)
            return Fail(operand + " leads outside " + DirName());

        std::string source = dir_;
        std::string name;
        for (const std::string& p : *pieces) {
            source = tarnwick::JoinPath(source, p, style_);
            name = name.empty() ? p : name + '\\' + p;
        }
        if (source.empty())
            source = ".";
        if (tarnwick::os::IsPlainFile(source))
            return AddFile(name, source);
        if (tarnwick::os::IsPlainFolder(source))
            return LeadsOutside(source) ? Fail(source + " is a link that leads outside " + DirName())
                                        : AddFolder(name, source);
        return Fail(operand + " not found");
    }

    const std::vector<DiskFile>& Files() const { return files_; }

private:
    bool Fail(const std::string& message)
    {
        std::fprintf(stderr, "tarnvol %s: %s\n", command_.c_str(), message.c_str());
        return false;
    }

    std::string DirName() const { return dir_.empty() ? "the current folder" : dir_; }

    // Whether the full path, links resolved, lies in DIR.
    bool Inside(const std::string& full) const
    {
        return !base_.empty() && full.compare(0, base_.size(), base_) == 0 &&
               (full.size() == base_.size() || IsSeparator(full[base_.size()], style_) ||
                IsSeparator(base_.back(), style_));
    }

    // Whether a link, the path's own or one of its folders', takes it out of
    // DIR: the volume would carry whatever file the link names (a key
    // beside the game, say) to whoever is sent it.
    bool LeadsOutside(const std::string& source) const
    {
        const std::string full = tarnwick::os::RealPath(source);
        return full.empty() || !Inside(full);
    }

    bool AddFile(const std::string& name, const std::string& source)
    {
        if (LeadsOutside(source))
            return Fail(source + " is a link that leads outside " + DirName());
        // A block's header keeps its length in 24 bits: a longer file would
        // be read back as another length, and so as another file.
        const auto size = tarnwick::os::FileLength(source);
        if (size && *size > tarnwick::VolumeWriter::kMaxFileSize)
            return Fail(name + " is " + std::to_string(*size) + " bytes, more than a volume can hold in one file (" +
                        std::to_string(tarnwick::VolumeWriter::kMaxFileSize) + ")");
        if (!outputLong_.empty() && tarnwick::os::RealPath(source) == outputLong_) {
            std::fprintf(stderr, "tarnvol %s: %s is the volume itself; left out\n", command_.c_str(), source.c_str());
            return true;
        }
        // The game reads names in its code page: a UTF-8 disk's name is
        // stored as that text's bytes there, as extracting gives it back. A
        // name with a character the code page lacks keeps its own bytes.
        std::string stored = name;
        if (tarnwick::NativePathStyle() == tarnwick::PathStyle::Posix)
            stored = tarnwick::Utf8ToAnsi(name).value_or(name);
        if (!seen_.insert(tarnwick::ToLower(stored)).second)
            return Fail(name + " would be stored twice (names are compared without regard to case)");
        files_.push_back({stored, source});
        return true;
    }

    bool AddFolder(const std::string& name, const std::string& source)
    {
        bool ok = false;
        std::vector<std::string> entries = tarnwick::os::ListFolder(source, &ok);
        if (!ok)
            return Fail("cannot read the folder " + source);
        std::sort(entries.begin(), entries.end());
        for (const std::string& entry : entries) {
            std::string child = tarnwick::JoinPath(source, entry, style_);
            std::string childName = name.empty() ? entry : name + '\\' + entry;
            if (tarnwick::os::IsPlainFolder(child)) {
                if (tarnwick::os::IsSymbolicLink(child)) {
                    std::fprintf(stderr, "tarnvol %s: %s is a linked folder; skipped\n", command_.c_str(), child.c_str());
                    continue;
                }
                if (!AddFolder(childName, child))
                    return false;
            } else if (tarnwick::os::IsPlainFile(child)) {
                if (!AddFile(childName, child))
                    return false;
            }
            // Devices, sockets, hidden and system files are not packed.
        }
        return true;
    }

    std::string command_;
    std::string dir_;
    PathStyle style_;
    std::string base_; // DIR, links resolved
    std::string outputLong_;
    std::vector<DiskFile> files_;
    std::unordered_set<std::string> seen_;
};

} // namespace

std::optional<FilesLine> ParseFilesLine(const std::string& command, const std::string& volumeWord,
                                        const std::vector<std::string>& args)
{
    static const std::vector<OptionSpec> kOptions = {{'C', "directory", true}};
    const auto wrong = [&](const std::string& message) -> std::optional<FilesLine> {
        UsageError(command, message);
        return std::nullopt;
    };
    const auto line = ParseCommandLine(command, args, kOptions);
    if (!line)
        return std::nullopt;
    FilesLine files;
    if (line->Count("directory") > 1)
        return wrong("give -C only once");
    if (line->Has("directory")) {
        files.dir = line->Values("directory").front();
        if (files.dir->empty())
            return wrong("-C needs a folder");
    }
    files.operands = line->operands;
    if (!files.operands.empty()) {
        files.volume = files.operands.front();
        files.operands.erase(files.operands.begin());
        if (files.volume.empty())
            return wrong("the " + volumeWord + " name is empty");
    }
    if (files.volume.empty())
        return wrong("give the " + volumeWord + " volume and at least one FILE");
    if (files.operands.empty())
        return wrong("give a FILE or more");
    return files;
}

std::optional<std::vector<DiskFile>> GatherDiskFiles(const std::string& command, const FilesLine& line)
{
    const PathStyle style = tarnwick::NativePathStyle();
    if (line.dir && !tarnwick::os::IsPlainFolder(*line.dir)) {
        std::fprintf(stderr, "tarnvol %s: the folder %s not found\n", command.c_str(), line.dir->c_str());
        return std::nullopt;
    }
    Packer packer(command, line.dir.value_or(std::string()), line.volume, style);
    for (const std::string& operand : line.operands) {
        if (operand.empty()) {
            std::fprintf(stderr, "tarnvol %s: an empty FILE name\n", command.c_str());
            return std::nullopt;
        }
        if (!packer.AddOperand(operand))
            return std::nullopt;
    }
    return packer.Files();
}

} // namespace tarnvol
