#pragma once
// The extraction job: runs the external extractor once per stored name into
// a destination folder, flat or with the volume's folders re-created, asking
// before it replaces a file. Progress and failures go out through callbacks,
// never as exceptions; everything runs on the caller's thread.
#include "services/MessageBox.h"
#include "services/OsServices.h"
#include "os/PathStyle.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarnwick {

class clsExtract {
public:
    // How one name ended, for callers that want more than the events.
    enum class Outcome {
        Extracted, // a file stands at the output path after the extractor ran
        Declined,  // the file was already there and the prompt said No
        Failed,    // refused name, folder or file trouble, no start, no file
    };

    explicit clsExtract(PathStyle style = NativePathStyle());
    // `services` stand in for the system's where they are set.
    clsExtract(PathStyle style, OsServices services);
    ~clsExtract();
    clsExtract(const clsExtract&) = delete;
    clsExtract& operator=(const clsExtract&) = delete;

    // E_Percent(Value 0..100, FileName) and E_Error(Number, Message):
    // 1 no volume, 2 no names, 3 no destination or no extractor, 4 the
    // extractor did not start, 5 a name that would leave the destination
    // (by itself or through a link), 6 a folder that cannot be created or a
    // file that cannot be moved, 7 the extractor did not extract the name,
    // 8 the name would create or replace one of the program's own files.
    std::function<void(std::int16_t Value, const std::string& FileName)> E_Percent;
    std::function<void(std::int16_t Number, const std::string& Message)> E_Error;
    // Told once per name, after the extractor (if any) has ended and before
    // that name's E_Percent.
    std::function<void(const std::string& storedName, const std::string& outputPath, Outcome outcome)> E_Outcome;

    // Asks whether an existing file may be replaced; the text is the whole
    // question. The default shows a Yes/No box with the question icon.
    std::function<MsgAnswer(const std::string& question)> AskOverwrite;
    // Receives every extractor command line; the window layer passes the
    // system clipboard. The default drops it.
    std::function<void(const std::string& text)> SetClipboardText;
    // Writes one stored file to its output within this process instead of
    // starting the extractor: 0 when it did, otherwise the exit code the
    // extractor would give, with its words in `errors`. Every rule of the
    // job holds around it as around an extractor run (the output inside the
    // destination, no link followed out, the program's own files refused, an
    // interrupted replace recovered); no extractor is needed and no command
    // line goes to the clipboard.
    std::function<int(const std::string& storedName, const std::string& outputPath, std::string& errors)>
        WriteStoredFile;

    const std::string& FileList() const { return fileList_; }
    void SetFileList(std::string value) { fileList_ = std::move(value); }
    // The names to extract as a list, each one the stored bytes whole; when
    // set, it is used instead of FileList, whose comma form cannot carry a
    // name that holds a comma.
    const std::vector<std::string>& Names() const { return names_; }
    void SetNames(std::vector<std::string> value) { names_ = std::move(value); }
    // The names handed one at a time, for a list too long to hold: `count`
    // of them, each from `next` in turn (false when it has none left). Used
    // instead of Names and FileList while set.
    using NameSource = std::function<bool(std::string& name)>;
    void SetNameSource(std::size_t count, NameSource next)
    {
        sourceCount_ = count;
        source_ = std::move(next);
    }
    const std::string& VOLPath() const { return volPath_; }
    void SetVOLPath(std::string value) { volPath_ = std::move(value); }
    const std::string& DestinationPath() const { return destinationPath_; }
    void SetDestinationPath(std::string value) { destinationPath_ = std::move(value); }
    const std::string& ExtractPath() const { return extractPath_; }
    void SetExtractPath(std::string value) { extractPath_ = std::move(value); }
    bool RecreateStructure() const { return recreateStructure_; }
    void SetRecreateStructure(bool value) { recreateStructure_ = value; }
    bool Overwrite() const { return overwrite_; }
    void SetOverwrite(bool value) { overwrite_ = value; }

    // Extracts every name of Names, or of the comma-separated list when
    // Names is empty. An empty argument stands for the matching property;
    // a list given as an argument wins over Names.
    void Extract(const std::string& vPath = {}, const std::string& fList = {},
                 const std::string& dPath = {}, const std::string& ePath = {});

    // Where a stored name lands under a destination with the current
    // RecreateStructure setting.
    std::string OutputPath(const std::string& destination, const std::string& storedName) const;
    // Whether the part of the name that goes into the output path stays
    // inside the destination: no ".." piece, no root, no drive, with either
    // separator, and no empty last piece.
    bool NameStaysInside(const std::string& storedName) const;

    // The extractor's command line for one name. Each field reaches the
    // extractor whole: the paths in quotes, escaped by the Windows rules
    // where they need it; the name bare when the bare form carries it (its
    // pieces are joined at single blanks again), else quoted as one field.
    static std::string CommandLine(const std::string& extractor, const std::string& volume,
                                   const std::string& storedName, const std::string& outputPath);

    PathStyle Style() const { return style_; }

private:
    // One stored name on its way to the disk, worked out once: its text as
    // shown to the user, the part of the path below the destination and the
    // output path itself.
    struct Target {
        std::string stored;
        std::string shown;
        std::string part;
        std::string out;
    };
    Target MakeTarget(const std::string& destination, const std::string& storedName) const;
    // The part of the output path a stored name makes under RecreateStructure.
    std::string PartOf(const std::string& storedName) const;

    // False when the extractor did not start. `exitCode` is its exit code,
    // or -1 when that could not be learnt; `errors` what it said.
    bool ShellAndWait(const std::string& commandLine, int& exitCode, std::string& errors);
    // Errors 1 to 3 for a volume, names, destination or extractor the job
    // cannot work with; false then. The extractor may become the default.
    bool CheckInputs(const std::string& volume, const std::string& list, const std::string& destination,
                     std::string& extractor);
    Outcome ExtractOne(const std::string& volume, const std::string& destination, const std::string& extractor,
                       const Target& name);
    // Writes the name in this process through WriteStoredFile and settles
    // what it left.
    Outcome WriteInProcess(const Target& name, const std::string& kept);
    // Error 5 or 8 when the output may not be written; false then.
    bool MayWrite(const std::string& destination, const Target& name);
    // What the prompt answers about replacing an existing output.
    bool ReplaceAllowed(const std::string& out);
    // Renames an existing output to `kept`; error 6 and false when it cannot be moved.
    bool MoveAside(const std::string& out, std::string& kept);
    // Hands the command line to the clipboard, runs the extractor and
    // settles what it left.
    Outcome RunExtractor(const std::string& line, const Target& name, const std::string& kept);
    bool MakeFolders(const Target& name);
    // Puts back what a run killed half-way through replacing `out` left.
    void Recover(const std::string& out);
    // What became of the earlier copy once the extractor has ended.
    Outcome Settle(const Target& name, const std::string& kept, bool started, int exitCode,
                   const std::string& errors);
    std::string Resolved(const std::string& path) const;
    bool Inside(const std::string& path, const std::string& folder) const;
    std::string Shown(const std::string& path) const { return ShownPath(path, style_); }
    void RaiseError(std::int16_t number, const std::string& message);
    void RaisePercent(std::int16_t value, const std::string& fileName);

    PathStyle style_;
    OsServices os_;

    std::string fileList_;
    std::vector<std::string> names_;
    std::size_t sourceCount_ = 0;
    NameSource source_;
    std::string volPath_;
    std::string destinationPath_;
    std::string extractPath_;
    bool recreateStructure_ = false;
    bool overwrite_ = false;
    std::string extractorInUse_;
    // For the run under way: the real paths of the destination, the
    // program's folder and the extractor, and the folder the last name went
    // into, known to be inside the destination, with its real path.
    std::string home_, programReal_, extractorReal_;
    std::string knownFolder_, knownFolderReal_;
    bool knownFolderMade_ = false; // made by this run
    // Cleared when the job goes, so that a run whose owner released it from
    // inside a handler stops at once instead of touching freed memory.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The whole percentage done after `done` of `total` names, rounded to the
// nearest whole number with halves going to the even neighbour.
std::int16_t PercentDone(std::size_t done, std::size_t total);

} // namespace tarnwick
