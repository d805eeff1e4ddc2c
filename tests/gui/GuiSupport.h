#pragma once
// Shared by the window tests: started main windows on made-up volumes.
#include "mainwindow/frmMain.h"
#include "support/ScriptedSink.h"
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tarnwick::test {

inline void MakeVolume(const std::string& path, const std::vector<std::string>& names)
{
    VolumeWriter w;
    for (const std::string& n : names)
        w.Add(n, "data of " + n);
    WriteFile(path, w.Build());
}

inline StartupOptions TestOptions(const TempDir& dir, const std::string& settings)
{
    StartupOptions o;
    o.programFolder = dir.Path();
    o.settingsPath = dir / "cairnix.ini";
    o.splashMilliseconds = 20;
    WriteFile(o.settingsPath, settings);
    return o;
}

// A started window whose extractor dialog only counts how often it opened.
struct Started {
    std::unique_ptr<frmMain> window;
    bool loaded = false;
    int extractorDialogs = 0;
};

inline std::unique_ptr<Started> Start(const StartupOptions& o)
{
    auto s = std::make_unique<Started>();
    s->window = std::make_unique<frmMain>(o);
    s->window->PickExtractor = [n = &s->extractorDialogs](const std::string&) { return ++*n, std::optional<std::string>(); };
    s->loaded = s->window->Form_Load();
    return s;
}

// A started window listing dir/v/Base.vol (holding `names`), extracting into
// a fresh `out` with the real extractor; the caller selects.
inline std::unique_ptr<Started> OpenListing(const TempDir& dir, const std::string& out,
                                            const std::vector<std::string>& names)
{
    std::filesystem::remove_all(out);
    WriteFile(out + "/.keep", "");
    MakeVolume(dir / "v/Base.vol", names);
    StartupOptions o = TestOptions(dir, "[Tarnwick]\nExtract=" + ToolPath("extract") + "\nPath=" + out + "\n");
    o.commandTail = dir / "v/Base.vol";
    return Start(o);
}

} // namespace tarnwick::test
