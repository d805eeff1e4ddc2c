#pragma once
// For the main form's tests, which run without windows: volumes and
// settings made up for a test, and main forms started over them.
#include "forms/MainForm.h"
#include "support/FakeToolkit.h"
#include "support/ScriptedSink.h"
#include "support/VolumeBytes.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tarnwick::test {

inline StartupOptions TestOptions(const TempDir& dir, const std::string& settings)
{
    StartupOptions o;
    o.programFolder = dir.Path();
    o.settingsPath = dir / "cairnix.ini";
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
    MakeVolume(dir / "v/Base.vol", names);
    StartupOptions o = TestOptions(dir, "[Tarnwick]\nExtract=" + ToolPath("extract") + "\nPath=" + out + "\n");
    o.commandTail = dir / "v/Base.vol";
    return o;
}

inline std::unique_ptr<StartedForm> OpenListing(const TempDir& dir, const std::string& out,
                                                const std::vector<std::string>& names)
{
    return StartForm(ListingOptions(dir, out, names));
}

} // namespace tarnwick::test
