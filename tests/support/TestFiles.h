#pragma once
// Temporary folders and small file helpers for the tests.
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::test {

// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path() + "/" + relative.
    std::string operator/(const std::string& relative) const;

private:
    std::string path_;
};

// Writes bytes to a file, creating missing parent folders; gives the path back.
std::string WriteFile(const std::string& path, const std::string& bytes);
// The file's bytes, or an empty string when it cannot be read.
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// Makes the folder and every missing one above it; gives the path back.
std::string MakeFolder(const std::string& path);
// The plain files below `folder`, as paths relative to it with '/' between
// folders, sorted; none when there is no such folder.
std::vector<std::string> FilesBelow(const std::string& folder);

// A Wine prefix as Wine makes it: its drive_c, and dosdevices/c: leading there.
void MakeWinePrefix(const std::string& prefix);

// A value as the volume format stores it: 32 bits, little-endian.
std::string Le32(std::uint32_t v);

// The project's version, MAJOR.MINOR.REVISION, as its build defines it for
// the programs and windows to tell.
inline std::string ProjectVersion()
{
    return std::to_string(TARNWICK_VERSION_MAJOR) + "." + std::to_string(TARNWICK_VERSION_MINOR) + "." +
           std::to_string(TARNWICK_VERSION_REVISION);
}

// Where the build put its programs (extract, tarnvol, ...).
std::string BinDir();
std::string ToolPath(const std::string& name);

} // namespace tarnwick::test
