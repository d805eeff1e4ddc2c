#pragma once
// The main window in Win32 over MainForm: the tab strip and its two pages,
// the drive, folder and volume lists, the contents list, the options; every
// rule stays in the form, the window only shows its values and hands it the
// user's acts.
#include "forms/MainForm.h"
#include "win32ui/FormWindow.h"
#include "win32ui/Win32Toolkit.h"

#include <memory>

namespace tarnwick::win32ui {

// The toolkit and the form, made before the window that shows the form.
struct MainFormHolder {
    MainFormHolder(StartupOptions options, Toolkit* toolkit);
    std::unique_ptr<Win32Toolkit> ownToolkit_;
    std::unique_ptr<MainForm> main_;
};

class MainWindow : private MainFormHolder, public FormWindow {
public:
    // Without a toolkit the window uses a Win32Toolkit of its own.
    explicit MainWindow(StartupOptions options, Toolkit* toolkit = nullptr);
    ~MainWindow() override;

    MainForm& Form() { return *main_; }
    // The form's start-up; false: the program ends at once.
    bool Form_Load();

    // The id the "&Properties" command sends in WM_COMMAND: above the
    // controls' ids and clear of IDOK, which Enter sends.
    static constexpr int kPropertiesCommand = 40001;

private:
    void Draw(const std::string& control) override;
    void Command(const std::string& name, int code, HWND control) override;
    bool QueryClose() override;
    LRESULT Message(UINT msg, WPARAM wp, LPARAM lp) override;
    HWND MakeCustom(const ControlPlace& c, HWND parent, const RECT& r, int id);

    void ShowNames();
    void ShowFolders();
    void ShowVolumes();
    // The contents list's selection, as the list box holds it, into the form.
    void TakeNameSelection();
    void DrawName(const DRAWITEMSTRUCT& item);
    void PopupMenu(MenuPlace place);

    // While the window sets a control from the form, its notification is not
    // the user's.
    int drawing_ = 0;
    std::uint64_t namesShown_ = ~std::uint64_t{0};
    std::size_t namesCount_ = 0;
};

} // namespace tarnwick::win32ui
