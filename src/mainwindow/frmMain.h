#pragma once
// Tarnwick's main window: the Browser page (drive, folder and volume lists,
// the volume's contents, the extraction options) and the Options page. Its
// load handler is the whole start-up sequence; its controls are the settings
// while the program runs, and its unload handler writes them back.
#include "platform/PathStyle.h"

#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QAction;
class QPushButton;
class QTabBar;

namespace tarnwick {

class clsVOLReader;
class DirListBox;
class FileListBox;
class NameListBox;

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
// beside it, or, when that folder cannot be written (an installed program),
// cairnix.ini in the user's configuration folder.
std::string SettingsFilePath(const std::string& programFolder);

// Cleans a command-line tail: one leading, then one trailing double quote go.
std::string CleanCommandLinePath(std::string tail);

class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(StartupOptions options = {}, QWidget* parent = nullptr);
    ~frmMain() override;

    // The start-up sequence. False: the program must end at once (second
    // instance, or Cancel in the missing-extractor prompt); nothing was saved.
    bool Form_Load();
    // Releases the reader and writes the eight options. Runs once, when the
    // window closes after a successful Form_Load.
    void Form_Unload();

    // The window's volume reader, created on first use.
    clsVOLReader& VOL();

    // Handlers of the window's own controls.
    void tbsMain_Click();
    void drvMain_Change();
    void dirMain_Change();
    void filVolumes_Click();
    void filVolumes_MouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void cmdBrowse_Click();
    void cmdDefSearchBrowse_Click();
    void cmdExtractBrowse_Click();
    void cmdAbout_Click();
    void cmdAssociate_Click();
    // A file dropped on the window: checked and shown as a volume named on
    // the command line is; refused with the same messages.
    void OpenDroppedVolume(const std::string& path);

    // dirMain's current folder, in the native spelling.
    std::string DirPath() const;
    // The file name selected in filVolumes, "" when none is.
    std::string SelectedVolumeName() const;
    // The selected volume's full path (folder + name, no doubled separator
    // at a root); "" when none is selected.
    std::string SelectedVolumePath() const;
    PathStyle Style() const { return options_.style; }
    const std::string& ProgramFolder() const { return programFolder_; }
    const std::string& SettingsPath() const { return settingsPath_; }

    // Controls, named as in the window's description.
    QTabBar* tbsMain = nullptr;
    QWidget* picBase[2] = {nullptr, nullptr};
    QComboBox* drvMain = nullptr;
    DirListBox* dirMain = nullptr;
    FileListBox* filVolumes = nullptr;
    NameListBox* lstData = nullptr;
    QPushButton* cmdSelAll = nullptr;
    QPushButton* cmdDelAll = nullptr;
    QPushButton* cmdExtract = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdExtractBrowse = nullptr;
    QPushButton* cmdDefSearchBrowse = nullptr;
    QPushButton* cmdAssociate = nullptr;
    QPushButton* cmdAbout = nullptr;
    QLineEdit* txtPath = nullptr;
    QLineEdit* txtExtractPath = nullptr;
    QLineEdit* txtDefSearchPath = nullptr;
    QCheckBox* chkOverwrite = nullptr;
    QCheckBox* chkPHX = nullptr;
    QCheckBox* chkFileSystem = nullptr;
    QCheckBox* chkSplash = nullptr;
    QComboBox* cboPHX = nullptr;
    QLabel* lab[10] = {};
    QMenu* mnuVolume = nullptr;
    QAction* mnuProperties = nullptr;

    // The two dialogs of the window, replaceable so that tests can answer
    // them. The folder picker gets its title and returns "" when cancelled;
    // the open-file dialog gets the suggested file and returns nothing when
    // cancelled.
    std::function<std::string(const std::string& title)> PickFolder;
    std::function<std::optional<std::string>(const std::string& suggested)> PickExtractor;

    // Key of the volume lstData shows; empty until the first listing.
    std::string CurrentVolume;
    // Whether that volume's directory could be read: the reader's values
    // are then its own, not those of the volume listed before.
    bool CurrentVolumeListed = false;
    // Whether Form_Load showed the splash (tests look at it).
    bool SplashWasShown = false;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildControls();
    void LoadSettings();
    void SaveSettings();
    void SetDrive(const std::string& root);
    void ShowStartFolder(const std::string& startPath);
    // The two checks of a volume path (it is a file, it ends in .vol), each
    // with its message; true when both passed.
    bool IsVolumePath(const std::string& path);
    // A volume's folder in the drive, folder and volume lists, the volume
    // itself selected (and so listed).
    void ShowVolume(const std::string& volumePath);
    static std::string LongFormOf(const std::string& path);
    std::string Join(const std::string& folder, const std::string& name) const;

    StartupOptions options_;
    std::string programFolder_;
    std::string settingsPath_;
    std::unique_ptr<clsVOLReader> vol_;
    // The folder each drive showed last, as a drive's "current folder".
    std::map<std::string, std::string> driveFolders_;
    bool loaded_ = false;
    bool unloaded_ = false;
    bool settingDrive_ = false;
};

} // namespace tarnwick
