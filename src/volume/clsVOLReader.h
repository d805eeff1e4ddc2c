#pragma once
// Reads a game volume's directory: tells a volume from any other file, lists
// the stored names and keeps the directory values of the volume listed last.
// Failures go out through the Error callback, never as exceptions.
#include "services/OsServices.h"
#include "os/PathStyle.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

namespace os {
class InputFile;
}

class clsVOLReader {
public:
    explicit clsVOLReader(PathStyle style = NativePathStyle());
    // `services` stand in for the system's where they are set.
    clsVOLReader(PathStyle style, OsServices services);

    // Error(Number, Message): 1 path not found, 2 no path, 3 not a volume,
    // 4 extractor missing, 5 no extractor path, 6 extractor did not start,
    // 7 volume damaged or unreadable.
    std::function<void(std::int16_t Number, const std::string& Message)> Error;

    const std::string& Path() const { return path_; }
    void SetPath(std::string value) { path_ = std::move(value); }
    std::int32_t PVOL() const { return pvol_; }
    void SetPVOL(std::int32_t value) { pvol_ = value; }
    std::int32_t VOLS() const { return vols_; }
    void SetVOLS(std::int32_t value) { vols_ = value; }
    std::int32_t VOLI() const { return voli_; }
    void SetVOLI(std::int32_t value) { voli_ = value; }
    std::int32_t FileCount() const { return fileCount_; }
    void SetFileCount(std::int32_t value) { fileCount_ = value; }
    const std::string& ExtractPath() const { return extractPath_; }
    void SetExtractPath(std::string value) { extractPath_ = std::move(value); }

    // Every stored name followed by "/", in stored order; "" on failure, and
    // then the properties and the file table keep their values.
    std::string GetFileNames(const std::string& VolumePath = {});
    // GetFileNames without its text: lists the volume into the table (with
    // the same events and properties) and tells whether it did. For a
    // caller that shows the table itself, the text was a copy of megabytes.
    bool ListNames(const std::string& VolumePath = {});
    bool IsValidVolume(const std::string& VolumePath = {});
    // Runs the extractor for one stored name into DestinationPath. An empty
    // ePath stands for ExtractPath.
    void Extract(const std::string& FileName, const std::string& DestinationPath,
                 const std::string& VolumePath = {}, const std::string& ePath = {});
    // The file table as "name 0 0 0\" per entry.
    std::string GetDebugInfo() const;

    // Read access to the file table of the volume listed last. Walking it
    // in order costs one search per name; a jump costs at most kMarkEvery.
    std::size_t TableSize() const { return tableSize_; }
    std::string_view TableName(std::size_t index) const;
    // The whole table as one text: every name followed by "/", entry 0
    // first. Shared, so that a list can show the names without a copy of
    // each and keep them while the reader lists another volume.
    std::shared_ptr<const std::string> TableText() const { return tableText_; }
    // The byte the table's last name lost because the name block lacks its
    // closing NUL ('\0' when it has one): GetFileNames and the extractor
    // still see the whole name.
    char LastNameCut() const { return textLast_ == '/' ? '\0' : textLast_; }
    // Entry `index` as the volume stores it: the table's name, with the cut
    // byte back on the last one.
    std::string StoredName(std::size_t index) const;
    // The names as GetFileNames gives them, each followed by "/", for
    // showing: the table's own text unless the last name was cut.
    std::shared_ptr<const std::string> ListText() const;

    PathStyle Style() const { return style_; }

private:
    bool ShellAndWait(const std::string& commandLine);
    // IsValidVolume on a path already chosen, leaving the file open in `in`;
    // with `d`, also reads D (-1 when the file ends before it).
    bool CheckVolume(const std::string& path, std::optional<os::InputFile>& in, std::int32_t* d = nullptr);
    // Makes T, its NULs already turned into "/" (`slashes` of them) and the
    // start of every kMarkEvery-th name in `marks`, the file table.
    void KeepTable(std::string text, std::size_t slashes, std::vector<std::uint32_t> marks);
    void Raise(std::int16_t number, const std::string& message);
    void RaiseDamaged(const std::string& volumePath);

    PathStyle style_;
    OsServices os_;

    std::string path_;
    std::int32_t pvol_ = 0;
    std::int32_t vols_ = 0;
    std::int32_t voli_ = 0;
    std::int32_t fileCount_ = 0;
    std::string extractPath_;

    // The file table: one text with every name ended by "/", and the start
    // of every kMarkEvery-th name. A start per name would cost four bytes a
    // name, twice the name block itself for one-letter names. Each entry's
    // three numbers are 0 by definition and never change, so they are not
    // stored.
    static constexpr std::size_t kMarkEvery = 64;
    std::shared_ptr<const std::string> tableText_;
    std::vector<std::uint32_t> marks_;
    std::size_t tableSize_ = 0;
    char textLast_ = '/'; // T's own last character, which the table ends with "/"
    // Where the last name asked for lies, so that a walk in order does not
    // search from a mark each time.
    mutable std::size_t lastIndex_ = 0;
    mutable std::size_t lastStart_ = 0;
};

} // namespace tarnwick
