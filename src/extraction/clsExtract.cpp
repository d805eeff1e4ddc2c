#include "extraction/clsExtract.h"
#include "platform/CommonRoutines.h"
#include "platform/os/Files.h"
#include "platform/os/Process.h"
#include "platform/os/System.h"

#include <cmath>

namespace tarnwick {

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// A piece the file system reads as the parent folder. Windows drops trailing
// dots and blanks from a piece, so "..." and ".. " climb as well.
bool ClimbsUp(const std::string& name, std::size_t start, std::size_t end)
{
    std::size_t dots = 0;
    for (std::size_t i = start; i < end; ++i) {
        if (name[i] == '.')
            ++dots;
        else if (name[i] != ' ')
            return false;
    }
    return dots >= 2;
}

std::vector<std::string> SplitAtCommas(const std::string& list)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = list.find(',', start);
        if (comma == std::string::npos) {
            names.push_back(list.substr(start));
            return names;
        }
        names.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
}

} // namespace

std::int16_t PercentDone(std::size_t done, std::size_t total)
{
    if (total == 0)
        return 100;
    // nearbyint rounds in the current mode, which is to nearest, ties to even.
    const double p = std::nearbyint(static_cast<double>(done) * 100.0 / static_cast<double>(total));
    return static_cast<std::int16_t>(p < 0 ? 0 : (p > 100 ? 100 : p));
}

clsExtract::Hooks clsExtract::SystemHooks()
{
    Hooks h;
    h.IsPlainFile = [](const std::string& p) { return os::IsPlainFile(p); };
    h.PlainExists = [](const std::string& p) { return os::PlainExists(p); };
    h.IsPlainFolder = [](const std::string& p) { return os::IsPlainFolder(p); };
    h.CreateFolder = [](const std::string& p) { return os::CreateFolder(p); };
    h.DeleteFile = [](const std::string& p) { return os::DeleteFile(p); };
    h.RenameFile = [](const std::string& a, const std::string& b) { return os::RenameFile(a, b); };
    h.StartProcessHidden = [](const std::string& c) { return os::StartProcessHidden(c); };
    h.WaitForProcess = [](std::int64_t id) { return os::WaitForProcess(id); };
    h.ProgramFolder = [] { return os::ProgramFolder(); };
    h.ExtractorFileName = [] { return os::ExtractorFileName(); };
    return h;
}

clsExtract::clsExtract(PathStyle style)
    : clsExtract(style, SystemHooks())
{
}

clsExtract::clsExtract(PathStyle style, Hooks hooks)
    : style_(style), hooks_(std::move(hooks))
{
    AskOverwrite = [](const std::string& question) {
        return MsgBox(question, MsgButtons::YesNo, MsgIcon::Question);
    };
}

clsExtract::~clsExtract()
{
    *alive_ = false;
}

void clsExtract::RaiseError(std::int16_t number, const std::string& message)
{
    // A copy, so that an owner that releases the job from inside its
    // handler does not pull the handler away while it runs.
    if (auto handler = E_Error)
        handler(number, message);
}

void clsExtract::RaisePercent(std::int16_t value, const std::string& fileName)
{
    if (auto handler = E_Percent)
        handler(value, fileName);
}

std::string clsExtract::CommandLine(const std::string& extractor, const std::string& volume,
                                    const std::string& storedName, const std::string& outputPath)
{
    std::string line;
    line.reserve(extractor.size() + volume.size() + storedName.size() + outputPath.size() + 8);
    line += '"';
    line += extractor;
    line += "\" \"";
    line += volume;
    line += "\" ";
    line += storedName;
    line += " \"";
    line += outputPath;
    line += '"';
    return line;
}

std::string clsExtract::OutputPath(const std::string& destination, const std::string& storedName) const
{
    const std::string name = StoredNameToPath(storedName, style_);
    // The destination is used as given: a trailing separator gets a second.
    std::string out = destination;
    out += Separator(style_);
    out += recreateStructure_ ? name : GetFileTitle(name, style_);
    return out;
}

bool clsExtract::NameStaysInside(const std::string& storedName) const
{
    const std::string name = StoredNameToPath(storedName, style_);
    // The name goes bare and the output path in quotes onto one command
    // line: a quote in the name would end the quoted path early and hand
    // the extractor another (relative) path; so would a path ending in a
    // backslash, which escapes the closing quote.
    if (storedName.find('"') != std::string::npos)
        return false;
    const std::string part = recreateStructure_ ? name : GetFileTitle(name, style_);
    if (part.empty() || IsSeparator(part.back()))
        return false;
    if (IsSeparator(part[0]))
        return false;
    if (part.size() >= 2 && part[1] == ':' &&
        ((part[0] >= 'A' && part[0] <= 'Z') || (part[0] >= 'a' && part[0] <= 'z')))
        return false;
    std::size_t start = 0;
    while (start <= part.size()) {
        std::size_t end = start;
        while (end < part.size() && !IsSeparator(part[end]))
            ++end;
        if (ClimbsUp(part, start, end))
            return false;
        start = end + 1;
    }
    return true;
}

bool clsExtract::ShellAndWait(const std::string& commandLine, int& exitCode)
{
    exitCode = -1;
    const std::int64_t id = hooks_.StartProcessHidden(commandLine);
    if (id == 0) {
        RaiseError(4, "Unable to shell " + Shown(commandLine) + " correctly.");
        return false;
    }
    exitCode = hooks_.WaitForProcess(id);
    return true;
}

std::string clsExtract::KeepAsideName(const std::string& outputPath) const
{
    std::string candidate = outputPath + ".tarnwick-old";
    for (int n = 1; hooks_.PlainExists(candidate); ++n)
        candidate = outputPath + ".tarnwick-old" + std::to_string(n);
    return candidate;
}

clsExtract::Outcome clsExtract::ExtractOne(const std::string& volume, const std::string& destination,
                                           const std::string& extractor, const std::string& name)
{
    auto alive = alive_;
    if (!NameStaysInside(name)) {
        RaiseError(5, "Unable to extract " + Shown(name) + ": the name would place the file outside " +
                          Shown(destination) + ".");
        return Outcome::Failed;
    }

    const std::string out = OutputPath(destination, name);
    if (recreateStructure_) {
        const std::string parent = GetParentFolder(out, style_);
        const FolderHooks folders{hooks_.PlainExists, hooks_.CreateFolder};
        std::string failed = CreateFolderPath(parent, style_, folders);
        if (failed.empty() && !hooks_.IsPlainFolder(parent))
            failed = parent;
        if (!failed.empty()) {
            RaiseError(6, "Unable to create the folder " + Shown(failed) + " for " + Shown(name) + ".");
            return Outcome::Failed;
        }
    }

    const bool exists = hooks_.IsPlainFile(out);
    if (exists && !overwrite_) {
        const MsgAnswer answer = AskOverwrite ? AskOverwrite(Shown(out) + " already exists.  Overwrite?")
                                              : MsgAnswer::No;
        if (!*alive)
            return Outcome::Declined;
        if (answer != MsgAnswer::Yes)
            return Outcome::Declined;
    }

    // The old file is only moved aside: should the extractor fail, it comes
    // back, so a failed run never costs the user the copy they had.
    std::string kept;
    if (exists) {
        kept = KeepAsideName(out);
        if (!hooks_.RenameFile(out, kept)) {
            RaiseError(6, "Unable to replace " + Shown(out) + ": the existing file cannot be moved.");
            return Outcome::Failed;
        }
    }

    const std::string line = CommandLine(extractor, volume, name, out);
    if (auto clip = SetClipboardText)
        clip(line);
    if (!*alive)
        return Outcome::Failed;
    int exitCode = -1;
    const bool started = ShellAndWait(line, exitCode);
    if (!*alive)
        return Outcome::Failed;

    // An extractor that reports failure (or dies) may have left part of a
    // file: that is no extraction, and must not cost the user the old copy.
    bool arrived = started && hooks_.IsPlainFile(out);
    if (arrived && exitCode > 0) {
        hooks_.DeleteFile(out);
        arrived = false;
    }
    if (!kept.empty()) {
        if (arrived) {
            if (!hooks_.DeleteFile(kept))
                RaiseError(6, "Unable to delete " + Shown(kept) + ", the earlier copy of " + Shown(out) + ".");
        } else if (!hooks_.RenameFile(kept, out)) {
            RaiseError(6, "Unable to put back " + Shown(out) + ": the earlier copy is kept as " + Shown(kept) + ".");
        }
    }
    return arrived ? Outcome::Extracted : Outcome::Failed;
}

void clsExtract::Extract(const std::string& vPath, const std::string& fList,
                         const std::string& dPath, const std::string& ePath)
{
    auto alive = alive_;
    // Copies: the properties may change from inside a handler.
    const std::string volume = vPath.empty() ? volPath_ : vPath;
    const std::string list = fList.empty() ? fileList_ : fList;
    const std::string destination = dPath.empty() ? destinationPath_ : dPath;
    std::string extractor = ePath.empty() ? extractPath_ : ePath;

    if (volume.empty() || !hooks_.IsPlainFile(volume)) {
        RaiseError(1, Shown(volume) + " is not a valid path to a Starsiege: Tribes 1.X volume (*.vol) file.");
        return;
    }
    if (list.empty() && names_.empty()) {
        RaiseError(2, "No files were specified to extract from volume " + Shown(volume) + ".");
        return;
    }
    if (destination.empty() || !hooks_.PlainExists(destination)) {
        RaiseError(3, Shown(destination) + " is an invalid directory.");
        return;
    }
    if (extractor.empty() || !hooks_.IsPlainFile(extractor)) {
        std::string folder = hooks_.ProgramFolder();
        if (folder.empty() || folder.back() != Separator(style_))
            folder += Separator(style_);
        extractor = folder + hooks_.ExtractorFileName();
        extractPath_ = extractor;
        if (!hooks_.IsPlainFile(extractor)) {
            RaiseError(3, Shown(extractor) + " was not found.  Unable to extract files.");
            return;
        }
    }

    RaisePercent(0, "Initializing...");
    if (!*alive)
        return;
    const std::vector<std::string> names = fList.empty() && !names_.empty() ? names_ : SplitAtCommas(list);
    RaisePercent(0, names.front());
    if (!*alive)
        return;

    const std::size_t n = names.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::string& name = names[i];
        const Outcome outcome = ExtractOne(volume, destination, extractor, name);
        if (!*alive)
            return;
        if (auto told = E_Outcome) {
            told(name, OutputPath(destination, name), outcome);
            if (!*alive)
                return;
        }
        RaisePercent(PercentDone(i + 1, n), name);
        if (!*alive)
            return;
    }
    RaisePercent(100, "Complete");
}

} // namespace tarnwick
