#include "extraction/clsExtract.h"
#include "os/AnsiText.h"
#include "services/CommonRoutines.h"
#include "os/ReplaceNames.h"
#include "os/TextCase.h"
#include "os/CommandLine.h"
#include "os/WindowsNames.h"

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

// Whether the part of a name below the destination stays there: no ".."
// piece, no root, no drive, with either separator. An empty last piece would
// name the folder itself, not a file in it.
bool PartStaysInside(const std::string& part)
{
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

// Whether a name reaches the extractor whole as bare pieces joined at single
// blanks: no quote, no tab, no blank at either end and no two together.
bool CarriesBare(const std::string& name)
{
    if (name.empty() || name.front() == ' ' || name.back() == ' ')
        return false;
    return name.find_first_of("\"\t") == std::string::npos && name.find("  ") == std::string::npos;
}

// The files a volume must never plant beside the program: the programs
// themselves and the settings the whole suite reads.
bool IsProgramFile(const std::string& fileName, PathStyle style)
{
    const std::string n = ToLower(fileName);
    for (const char* own : {"tarnwick", "extract", "tarnvol"})
        if (n == own || n == std::string(own) + ".exe")
            return true;
    if (n == "cairnix.ini")
        return true;
    // Windows loads a DLL from the program's folder before the system's,
    // and runs an .exe there before one on the path.
    auto endsWith = [&n](const char* tail) {
        const std::size_t k = std::char_traits<char>::length(tail);
        return n.size() >= k && n.compare(n.size() - k, k, tail) == 0;
    };
    return style == PathStyle::Windows && (endsWith(".dll") || endsWith(".exe"));
}

// Control bytes as blanks, so that a message box shows them.
std::string VisibleText(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return text;
}

// The extractor's words as a reason: its first line, without its own name
// in front, control characters made blanks, as display text.
std::string Reason(std::string errors, const std::string& extractor, PathStyle style)
{
    const std::size_t end = errors.find_first_of("\r\n");
    if (end != std::string::npos)
        errors.resize(end);
    std::string title = ToLower(GetFileTitle(extractor, style));
    if (title.size() > 4 && title.compare(title.size() - 4, 4, ".exe") == 0)
        title.resize(title.size() - 4);
    if (!title.empty() && ToLower(errors).rfind(title + ": ", 0) == 0)
        errors.erase(0, title.size() + 2);
    errors = VisibleText(std::move(errors));
    constexpr std::size_t kLongest = 300;
    if (errors.size() > kLongest)
        errors.resize(kLongest);
    if (style == PathStyle::Posix && !IsUtf8(errors))
        errors = AnsiToUtf8(errors);
    return errors;
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

clsExtract::clsExtract(PathStyle style)
    : clsExtract(style, SystemServices())
{
}

clsExtract::clsExtract(PathStyle style, OsServices services)
    : style_(style), os_(services.Completed())
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
    // The program's own field knows no escapes: a quote in it only toggles
    // (the job refuses such a path before it gets here).
    std::string line = "\"" + extractor + "\" ";
    line += os::QuoteWindowsArgument(volume);
    line += ' ';
    line += CarriesBare(storedName) ? storedName : os::QuoteWindowsArgument(storedName);
    line += ' ';
    line += os::QuoteWindowsArgument(outputPath);
    return line;
}

std::string clsExtract::PartOf(const std::string& storedName) const
{
    const std::string path = StoredNameToPath(storedName, style_);
    return recreateStructure_ ? path : GetFileTitle(path, style_);
}

clsExtract::Target clsExtract::MakeTarget(const std::string& destination, const std::string& storedName) const
{
    Target t{storedName, NameAsText(storedName, style_), PartOf(storedName), destination};
    // The destination is used as given: a trailing separator gets a second.
    t.out += Separator(style_);
    t.out += t.part;
    return t;
}

std::string clsExtract::OutputPath(const std::string& destination, const std::string& storedName) const
{
    return MakeTarget(destination, storedName).out;
}

bool clsExtract::NameStaysInside(const std::string& storedName) const
{
    return PartStaysInside(PartOf(storedName));
}

bool clsExtract::ShellAndWait(const std::string& commandLine, int& exitCode, std::string& errors)
{
    exitCode = -1;
    const std::int64_t id = os_.StartProcessHidden(commandLine, true);
    if (id == 0) {
        RaiseError(4, "Unable to shell " + Shown(commandLine) + " correctly.");
        return false;
    }
    exitCode = os_.WaitForProcess(id, &errors);
    return true;
}

std::string clsExtract::Resolved(const std::string& path) const
{
    return os_.RealPath(path);
}

bool clsExtract::Inside(const std::string& path, const std::string& folder) const
{
    const std::string p = style_ == PathStyle::Windows ? ToLower(path) : path;
    std::string f = style_ == PathStyle::Windows ? ToLower(folder) : folder;
    if (p == f)
        return true;
    if (f.empty() || f.back() != Separator(style_))
        f += Separator(style_);
    return p.compare(0, f.size(), f) == 0;
}

bool clsExtract::MayWrite(const std::string& destination, const Target& name)
{
    const std::string& shownName = name.shown;
    const std::string& out = name.out;
    if (!PartStaysInside(name.part)) {
        RaiseError(5, "Unable to extract " + Shown(shownName) + ": the name would place the file outside " +
                          Shown(destination) + ".");
        return false;
    }
    // The replacing's own hidden names: an entry stored under one would stand
    // in for the user's earlier copy of another entry, or be swept away as
    // the leftover of a killed run.
    if (IsReplaceName(GetFileTitle(name.part, style_))) {
        RaiseError(5, "Unable to extract " + Shown(shownName) +
                          ": the name is one the program keeps for its own files while it replaces one.");
        return false;
    }
    // Refused before anything is made for it: on a Windows disk the name
    // would reach a device, another entry's file or a hidden stream.
    if (style_ == PathStyle::Windows) {
        if (const std::string why = WindowsPathProblem(name.part); !why.empty()) {
            RaiseError(5, "Unable to extract " + Shown(shownName) + ": the name " + VisibleText(why) + ".");
            return false;
        }
    }
    // A link the user keeps inside the destination may lead anywhere: the
    // deepest part of the output path that exists must resolve inside it,
    // and so must the output itself when something stands there already.
    // The folder the last name went into was found inside already; entries
    // make files, never links, so it stays so for the names that follow it.
    const std::string parent = GetParentFolder(out, style_);
    const bool known = !knownFolder_.empty() && parent == knownFolder_;
    std::string probe;
    if (!known) {
        probe = parent;
        while (!probe.empty() && !os_.PlainExists(probe)) {
            const std::string up = GetParentFolder(probe, style_);
            probe = up == probe ? std::string() : up;
        }
    }
    const bool outExists = os_.PlainExists(out);
    for (const std::string& at : {probe, outExists ? out : std::string()}) {
        if (at.empty())
            continue;
        const std::string real = Resolved(at);
        if (!home_.empty() && !real.empty() && !Inside(real, home_)) {
            RaiseError(5, "Unable to extract " + shownName + ": " + Shown(at) + " leads outside " +
                              Shown(destination) + " through a link.");
            return false;
        }
    }
    const std::string realParent = known ? knownFolderReal_ : (os_.PlainExists(parent) ? Resolved(parent) : std::string());
    const auto same = [this](const std::string& a, const std::string& b) {
        return !a.empty() && !b.empty() && (style_ == PathStyle::Windows ? EqualsNoCase(a, b) : a == b);
    };
    const bool besideProgram = same(realParent, programReal_);
    // The extractor in use may live elsewhere (an installed one does): it
    // is the program's own file all the same.
    const bool isExtractor = outExists && same(Resolved(out), extractorReal_);
    if (isExtractor || (besideProgram && IsProgramFile(GetFileTitle(out, style_), style_))) {
        RaiseError(8, "Unable to extract " + shownName + ": " + Shown(out) +
                          " would create or replace a file of the program itself.");
        return false;
    }
    return true;
}

bool clsExtract::MakeFolders(const Target& name)
{
    const std::string parent = GetParentFolder(name.out, style_);
    if (parent == knownFolder_)
        return true;
    const bool made = recreateStructure_ && !os_.PlainExists(parent);
    std::string failed = made ? CreateFolderPath(parent, style_, os_) : std::string();
    if (failed.empty() && recreateStructure_ && !os_.IsPlainFolder(parent))
        failed = parent;
    if (!failed.empty()) {
        RaiseError(6, "Unable to create the folder " + Shown(failed) + " for " + Shown(name.shown) + ".");
        return false;
    }
    // Known only once it is there and inside: a folder made just now below
    // one found inside may still have been swapped for a link meanwhile.
    const std::string real = Resolved(parent);
    if (!real.empty() && (home_.empty() || Inside(real, home_))) {
        knownFolder_ = parent;
        knownFolderReal_ = real;
        knownFolderMade_ = made;
    }
    return true;
}

void clsExtract::Recover(const std::string& out)
{
    // The extractor renames its finished file into place in one step, so a
    // file at the output is whole: the earlier copy is then no longer
    // wanted. Without one, the earlier copy goes back where it was.
    const std::string kept = ReplaceKeepName(out, style_);
    if (os_.IsPlainFile(kept)) {
        if (os_.IsPlainFile(out))
            os_.DeleteFile(kept);
        else
            os_.RenameFile(kept, out);
    }
    const std::string part = ReplaceTempName(out, style_);
    if (os_.IsPlainFile(part))
        os_.DeleteFile(part);
}

clsExtract::Outcome clsExtract::Settle(const Target& name, const std::string& kept, bool started, int exitCode,
                                       const std::string& errors)
{
    const std::string& shownName = name.shown;
    const std::string& out = name.out;
    const bool arrived = started && os_.IsPlainFile(out);
    std::string why;
    if (started && exitCode > 0) {
        why = Reason(errors, extractorInUse_, style_);
        if (why.empty())
            why = "the extractor ended with exit code " + std::to_string(exitCode);
    } else if (started && !arrived) {
        why = "the extractor wrote no file";
    }

    std::string keptNote;
    if (!kept.empty()) {
        if (!arrived) {
            // Nothing new: the user's copy goes back as if never touched.
            if (!os_.RenameFile(kept, out))
                RaiseError(6, "Unable to put back " + Shown(out) + ": the earlier copy is kept as " + Shown(kept) + ".");
        } else if (why.empty()) {
            if (!os_.DeleteFile(kept))
                RaiseError(6, "Unable to delete " + Shown(kept) + ", the earlier copy of " + Shown(out) + ".");
        } else {
            // Both stand: the new file may be damaged, the earlier one may be
            // what the user wants. Neither is thrown away.
            std::string beside = out + ".earlier";
            for (int n = 2; os_.PlainExists(beside); ++n)
                beside = out + ".earlier" + std::to_string(n);
            keptNote = os_.RenameFile(kept, beside) ? beside : kept;
        }
    }
    if (why.empty())
        return arrived ? Outcome::Extracted : Outcome::Failed;
    std::string message = "Unable to extract " + shownName + ": " + why + ".";
    if (arrived)
        message += " What it wrote is kept at " + Shown(out) + ".";
    if (!keptNote.empty())
        message += " The earlier file is kept as " + Shown(keptNote) + ".";
    RaiseError(7, message);
    return Outcome::Failed;
}

bool clsExtract::ReplaceAllowed(const std::string& out)
{
    const MsgAnswer answer = AskOverwrite ? AskOverwrite(Shown(out) + " already exists.  Overwrite?") : MsgAnswer::No;
    return answer == MsgAnswer::Yes;
}

bool clsExtract::MoveAside(const std::string& out, std::string& kept)
{
    kept = ReplaceKeepName(out, style_);
    if (os_.RenameFile(out, kept))
        return true;
    RaiseError(6, "Unable to replace " + Shown(out) + ": the existing file cannot be moved.");
    return false;
}

clsExtract::Outcome clsExtract::RunExtractor(const std::string& line, const Target& name, const std::string& kept)
{
    auto alive = alive_;
    if (auto clip = SetClipboardText)
        clip(line);
    if (!*alive)
        return Outcome::Failed;
    int exitCode = -1;
    std::string errors;
    const bool started = ShellAndWait(line, exitCode, errors);
    if (!*alive)
        return Outcome::Failed;
    return Settle(name, kept, started, exitCode, errors);
}

clsExtract::Outcome clsExtract::WriteInProcess(const Target& name, const std::string& kept)
{
    auto alive = alive_;
    std::string errors;
    const int exitCode = WriteStoredFile(name.stored, name.out, errors);
    if (!*alive)
        return Outcome::Failed;
    // Written here, the file stands when the write says so: no look is
    // needed, unless there is an earlier copy to settle.
    if (exitCode == 0 && kept.empty())
        return Outcome::Extracted;
    return Settle(name, kept, true, exitCode, errors);
}

clsExtract::Outcome clsExtract::ExtractOne(const std::string& volume, const std::string& destination,
                                           const std::string& extractor, const Target& name)
{
    auto alive = alive_;
    const std::string& out = name.out;
    if (!MayWrite(destination, name) || !MakeFolders(name))
        return Outcome::Failed;
    // A folder this run made holds only what it wrote, and it leaves nothing
    // of a replace behind: there is nothing to recover.
    if (!knownFolderMade_ || GetParentFolder(out, style_) != knownFolder_)
        Recover(out);
    // The extractor writes a FIFO or a device where it stands: one planted
    // under an entry's name would hold the job up for good, or take the bytes.
    if (os_.IsSpecialFile(out)) {
        RaiseError(6, "Unable to extract " + Shown(name.shown) + ": " + Shown(out) +
                          " is a FIFO, a device or a socket, not a file; it is left as it is.");
        return Outcome::Failed;
    }

    const bool exists = os_.IsPlainFile(out);
    if (exists && !overwrite_ && (!ReplaceAllowed(out) || !*alive))
        return Outcome::Declined;
    // The old file is only moved aside: should the extractor fail, it comes
    // back, so a failed run never costs the user the copy they had.
    std::string kept;
    if (exists && !MoveAside(out, kept))
        return Outcome::Failed;
    if (WriteStoredFile)
        return WriteInProcess(name, kept);
    return RunExtractor(CommandLine(extractor, volume, name.stored, out), name, kept);
}

bool clsExtract::CheckInputs(const std::string& volume, const std::string& list, const std::string& destination,
                             std::string& extractor)
{
    if (volume.empty() || !os_.IsPlainFile(volume)) {
        RaiseError(1, Shown(volume) + " is not a valid path to a Starsiege: Tribes 1.X volume (*.vol) file.");
        return false;
    }
    if (source_ ? sourceCount_ == 0 : list.empty() && names_.empty()) {
        RaiseError(2, "No files were specified to extract from volume " + Shown(volume) + ".");
        return false;
    }
    if (destination.empty() || !os_.PlainExists(destination)) {
        RaiseError(3, Shown(destination) + " is an invalid directory.");
        return false;
    }
    if (WriteStoredFile) {
        extractor.clear();
        return true;
    }
    if (extractor.empty() || !os_.IsPlainFile(extractor)) {
        extractor = os_.DefaultExtractorPath(os_.ProgramFolder());
        extractPath_ = extractor;
        if (!os_.IsPlainFile(extractor)) {
            RaiseError(3, Shown(extractor) + " was not found.  Unable to extract files.");
            return false;
        }
    }
    // The first field of the command line cannot carry a quote: another
    // program would run.
    if (extractor.find('"') != std::string::npos) {
        RaiseError(3, Shown(extractor) + " cannot be started: its path holds a double quote.  Unable to extract files.");
        return false;
    }
    return true;
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
    if (!CheckInputs(volume, list, destination, extractor))
        return;
    extractorInUse_ = extractor;
    // Resolved once a run: they stand still while it runs, and resolving
    // them for every name cost more than writing a small file.
    home_ = Resolved(destination);
    programReal_ = Resolved(os_.ProgramFolder());
    extractorReal_ = extractor.empty() ? std::string() : Resolved(extractor);
    knownFolder_.clear();
    knownFolderReal_.clear();
    knownFolderMade_ = false;

    RaisePercent(0, "Initializing...");
    if (!*alive)
        return;
    // The names come from the source, or else from the list or Names held.
    std::vector<std::string> listed;
    NameSource next = source_;
    std::size_t n = sourceCount_;
    if (!next) {
        listed = fList.empty() && !names_.empty() ? names_ : SplitAtCommas(list);
        n = listed.size();
        next = [&listed, i = std::size_t(0)](std::string& name) mutable {
            if (i == listed.size())
                return false;
            name = std::move(listed[i++]);
            return true;
        };
    }
    std::string name;
    if (!next(name))
        return;
    RaisePercent(0, name);
    if (!*alive)
        return;

    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && !next(name))
            break;
        const Target target = MakeTarget(destination, name);
        const Outcome outcome = ExtractOne(volume, destination, extractor, target);
        if (!*alive)
            return;
        if (auto told = E_Outcome) {
            told(target.stored, target.out, outcome);
            if (!*alive)
                return;
        }
        RaisePercent(PercentDone(i + 1, n), target.stored);
        if (!*alive)
            return;
    }
    RaisePercent(100, "Complete");
}

} // namespace tarnwick
