#pragma once
// Shared by the window tests: real Qt windows over the forms, started on
// real files, their pickers answered by a fake toolkit.
#include "qt/frmMain.h"
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

} // namespace tarnwick::test
