#pragma once
// The main window's form: the Browser page (drive, folder and volume lists,
// the volume's contents, the extraction options) and the Options page, as
// values, and the window's handlers. Its load handler is the whole start-up
// sequence; its values are the settings while the program runs, and its
// unload handler writes them back.
#include "extraction/ExtractionRequest.h"
#include "forms/FileListing.h"
#include "forms/FolderListing.h"
#include "forms/NameListing.h"
#include "forms/ControlLayout.h"
#include "forms/Form.h"
#include "os/PathStyle.h"
#include "os/WineDrives.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

class Toolkit;
class clsVOLReader;

// Everything Form_Load takes from outside the window, so that tests can drive
// the start-up without separate processes. The defaults are the real ones.
struct StartupOptions {
    // The command-line tail, already one string (POSIX: the arguments joined
    // by single blanks). Empty: no command line.
    std::string commandTail;
    // The program's folder; empty means os::ProgramFolder().
    std::string programFolder;
    // The settings file; empty means SettingsFilePath(programFolder).
    std::string settingsPath;
    // Whether another instance already holds the one-instance lock (taken by
    // main() before anything else).
    bool anotherInstanceRunning = false;
    // How long the splash stays; unset means its own 2551 ms.
    std::optional<int> splashMilliseconds;
    PathStyle style = NativePathStyle();
};

// The settings file for a program living in `programFolder`: cairnix.ini
// beside it, or, for an installed copy (os::IsInstalledCopy), cairnix.ini in
// the user's configuration folder.
std::string SettingsFilePath(const std::string& programFolder);

// Cleans a command-line tail: one leading, then one trailing double quote go.
std::string CleanCommandLinePath(std::string tail);

// A drop-down's values: its entries and the one chosen (-1 for none).
struct ListChoice {
    std::vector<std::string> items;
    int index = -1;
    // What the list shows for an entry where that is not the entry itself
    // (a Wine drive's folder shows as "c: (wine)"); "" or none: the entry.
    std::vector<std::string> labels;
    std::string Text() const;
    std::string Label(std::size_t item) const;
};

class MainForm : public Form {
public:
    MainForm(StartupOptions options, Toolkit& toolkit);
    ~MainForm() override;

    static const WindowLayout& Layout();

    // ---- the controls' values
    // The page in front: 0 Browser, 1 Options. The window shows picBase(tbsMain).
    int tbsMain = 0;
    ListChoice drvMain;
    FolderListing dirMain;
    FileListing filVolumes{".vol"};
    NameListing lstData;
    std::string txtPath;
    std::string txtExtractPath;
    std::string txtDefSearchPath;
    CheckState chkOverwrite = CheckState::Checked;
    CheckState chkPHX = CheckState::Checked;
    CheckState chkFileSystem = CheckState::Checked;
    CheckState chkSplash = CheckState::Checked;
    // "Palette 1" to "Palette 3"; the list and its check box stay disabled.
    ListChoice cboPHX;

    // ---- handlers
    // The start-up sequence. False: the program must end at once (second
    // instance, or Cancel in the missing-extractor prompt); nothing was saved.
    bool Form_Load();
    // Releases the reader and writes the eight options; when they cannot be
    // written, one box says so and where. Runs once, and only after a
    // successful Form_Load.
    void Form_Unload();
    // The window sets tbsMain to the tab clicked first.
    void tbsMain_Click();
    // The window sets drvMain.index to the drive chosen first.
    void drvMain_Change();
    // An entry of the folder list opened (double click, Enter).
    void dirMain_Open(int row);
    void dirMain_Change();
    // The window selects the row clicked (filVolumes.Select) first.
    void filVolumes_Click();
    // True for the right button: the menu pops up if a volume is selected.
    void filVolumes_MouseDown(bool rightButton);
    // The keyboard's request for the list's menu (the Menu key, Shift+F10):
    // the same menu, on the same terms, at the selected volume.
    void filVolumes_MenuKey();
    void mnuProperties_Click();
    void cmdSelAll_Click();
    void cmdDelAll_Click();
    void cmdExtract_Click();
    void cmdBrowse_Click();
    void cmdDefSearchBrowse_Click();
    void cmdExtractBrowse_Click();
    void cmdAbout_Click();
    void cmdAssociate_Click();
    // Files dropped on the window: the first is checked and shown as a
    // volume named on the command line is (which takes one), and refused
    // with the same messages.
    void OpenDroppedFiles(const std::vector<std::string>& paths);

    // What Extract does once the selection passed its checks: the progress
    // window runs one job for the selected names, into `destination` when
    // given (else the "Extraction Path:"), then the selection is cleared;
    // the names that failed are summed up in one box.
    void ExtractSelection(const std::optional<std::string>& destination = std::nullopt);
    // The job the progress window runs, from the values as they are now.
    ExtractionRequest Request(const std::optional<std::string>& destination = std::nullopt) const;

    // ---- what the windows and tests read
    clsVOLReader& VOL();
    // The folder list's current folder, in the native spelling.
    std::string DirPath() const { return dirMain.Path(); }
    // The file name selected in filVolumes, "" when none is.
    std::string SelectedVolumeName() const { return filVolumes.FileName(); }
    // The selected volume's full path; "" when none is selected.
    std::string SelectedVolumePath() const;
    PathStyle Style() const { return options_.style; }
    const std::string& ProgramFolder() const { return programFolder_; }
    const std::string& SettingsPath() const { return settingsPath_; }
    bool Loaded() const { return loaded_ && !unloaded_; }

    // The program's icon as PNG bytes, for the file association; set by the
    // window, whose toolkit holds the artwork.
    std::function<std::string()> ProgramIconPng;

    // Key of the volume lstData shows; empty until the first listing.
    std::string CurrentVolume;
    // Whether that volume's directory could be read: the reader's values
    // are then its own, not those of the volume listed before.
    bool CurrentVolumeListed = false;
    // Whether Form_Load showed the splash (tests look at it).
    bool SplashWasShown = false;

private:
    // Form_Load's steps.
    bool RefuseSecondInstance();
    void ShowFirstPage();
    bool CommandLineVolume(std::string& path);
    void LoadSettings();
    bool CheckExtractor();
    void ShowSplash(bool fromCommandLine);
    // False when the file could not be written; it then stands as it was.
    bool SaveSettings();
    // Where an installed copy starts when no start folder is stored.
    std::string UsersStartFolder() const;

    // The drives of the user's Wine prefixes, beside "/".
    void AddWineDrives();
    void SetDrive(const std::string& root);
    // The volume menu concerns the selected volume: only with one.
    bool VolumeMenuMayOpen() const;
    void SetFolder(const std::string& path);
    void ShowStartFolder(const std::string& startPath);
    // The two checks of a volume path (it is a file, it ends in .vol), each
    // with its message; true when both passed.
    bool IsVolumePath(const std::string& path);
    // A volume's folder in the drive, folder and volume lists, the volume
    // itself selected (and so listed).
    void ShowVolume(const std::string& volumePath);
    std::string PickFolderInto(const std::string& title, std::string& box, const char* control);

    StartupOptions options_;
    Toolkit& toolkit_;
    std::string programFolder_;
    std::string settingsPath_;
    // An installed copy keeps its settings, its start and its extracted
    // files in the user's folders (os::IsInstalledCopy).
    bool installed_ = false;
    std::unique_ptr<clsVOLReader> vol_;
    // The drives of the user's Wine prefixes, also those the list already
    // had under another name.
    std::vector<os::WineDrive> wineDrives_;
    // The folder each drive showed last, as a drive's "current folder".
    std::map<std::string, std::string> driveFolders_;
    bool loaded_ = false;
    bool unloaded_ = false;
};

} // namespace tarnwick
