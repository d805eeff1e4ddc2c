#pragma once
// Shared by the window tests: real Qt windows over the forms, started on
// real files, their pickers answered by a fake toolkit.
#include "mainwindow/frmMain.h"
#include "support/FormSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace tarnwick::test {

// A started window; its dialogs go to `toolkit`, which records them.
struct Started {
    FakeToolkit toolkit;
    std::unique_ptr<frmMain> window;
    bool loaded = false;
    MainForm& form() { return window->Form(); }
};

inline std::unique_ptr<Started> StartWindow(const StartupOptions& o)
{
    auto s = std::make_unique<Started>();
    s->window = std::make_unique<frmMain>(o, &s->toolkit);
    s->loaded = s->window->Form_Load();
    return s;
}

// A started window listing dir/v/Base.vol (holding `names`), extracting into
// a fresh `out` with the real extractor; the caller selects.
inline std::unique_ptr<Started> OpenWindowListing(const TempDir& dir, const std::string& out,
                                                  const std::vector<std::string>& names)
{
    std::filesystem::remove_all(out);
    WriteFile(out + "/.keep", "");
    MakeVolume(dir / "v/Base.vol", names);
    StartupOptions o = TestOptions(dir, "[Tarnwick]\nExtract=" + ToolPath("extract") + "\nPath=" + out + "\n");
    o.commandTail = dir / "v/Base.vol";
    return StartWindow(o);
}

} // namespace tarnwick::test
