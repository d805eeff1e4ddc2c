#pragma once
// For the main form's tests, which run without windows: volumes and
// settings made up for a test, and main forms started over them.
#include "forms/MainForm.h"
#include "support/FakeToolkit.h"
#include "support/ScriptedSink.h"
#include "support/VolumeBytes.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tarnwick::test {

// The forms run in the system's own path style: the Windows one there.
#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif
inline constexpr char kSep = kWindows ? '\\' : '/';
// The extractor's file name on this system.
inline const std::string kExtractor = kWindows ? "extract.exe" : "extract";

// `relative` (slashes between folders) below `dir`, spelled as the system
// spells paths.
inline std::string At(const TempDir& dir, std::string relative)
{
    std::replace(relative.begin(), relative.end(), '/', kSep);
    return dir.Path() + kSep + relative;
}
// A path as the program's messages and boxes show it: in lower case on
// Windows, where case tells no files apart. The tests' paths are ASCII, so
// folding A to Z is all it takes.
inline std::string Shown(std::string path)
{
    if (kWindows)
        for (char& c : path)
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return path;
}
// A folder as the folder list holds it: on POSIX the real one, as the
// temporary folder may lie behind a link.
inline std::string Real(const std::string& path)
{
    return kWindows ? path : std::filesystem::canonical(path).string();
}
// The root of the drive that holds `path`, as the drive list shows it.
inline std::string RootOf(const std::string& path) { return kWindows ? path.substr(0, 3) : "/"; }
// The build's extractor as a user would name it: a whole path in the
// system's spelling (the build hands its folder over in CMake's).
inline std::string Extractor()
{
    return std::filesystem::absolute(std::filesystem::path(ToolPath("extract")).make_preferred()).string();
}

inline StartupOptions TestOptions(const TempDir& dir, const std::string& settings)
{
    StartupOptions o;
    o.programFolder = dir.Path();
    o.settingsPath = At(dir, "cairnix.ini");
    o.splashMilliseconds = 20;
    WriteFile(o.settingsPath, settings);
    return o;
}

// A main form after Form_Load, with the toolkit it talks to.
struct StartedForm {
    FakeToolkit toolkit;
    std::unique_ptr<MainForm> form;
    bool loaded = false;
    MainForm* operator->() { return form.get(); }
};

inline std::unique_ptr<StartedForm> StartForm(const StartupOptions& o)
{
    auto s = std::make_unique<StartedForm>();
    s->form = std::make_unique<MainForm>(o, s->toolkit);
    s->loaded = s->form->Form_Load();
    return s;
}

// Options that list dir/v/Base.vol (holding `names`) at start-up, with the
// real extractor and a fresh `out` as the extraction path.
inline StartupOptions ListingOptions(const TempDir& dir, const std::string& out, const std::vector<std::string>& names)
{
    std::filesystem::remove_all(out);
    MakeFolder(out);
    MakeVolume(At(dir, "v/Base.vol"), names);
    StartupOptions o = TestOptions(dir, "[Tarnwick]\nExtract=" + Extractor() + "\nPath=" + out + "\n");
    o.commandTail = At(dir, "v/Base.vol");
    return o;
}

inline std::unique_ptr<StartedForm> OpenListing(const TempDir& dir, const std::string& out,
                                                const std::vector<std::string>& names)
{
    return StartForm(ListingOptions(dir, out, names));
}

} // namespace tarnwick::test
