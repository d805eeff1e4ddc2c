#include "forms/MainForm.h"

#include "forms/AboutForm.h"
#include "forms/SplashForm.h"
#include "services/AssociateCommand.h"
#include "services/CommonRoutines.h"
#include "services/MessageBox.h"
#include "forms/Toolkit.h"
#include "os/Drives.h"
#include "os/Files.h"
#include "os/System.h"
#include "os/WineDrives.h"
#include "forms/DetailsForm.h"
#include "volume/clsVOLReader.h"

#include <algorithm>
#include <new>

namespace tarnwick {

namespace {

// The long name of a path that is gone is empty; the stored one is kept so
// that the nearest folder above it can still be shown.
std::string LongFormOf(const std::string& path)
{
    const std::string longName = GetLongFileName(path);
    return longName.empty() ? path : longName;
}

} // namespace

std::string CleanCommandLinePath(std::string tail)
{
    if (!tail.empty() && tail.front() == '"')
        tail.erase(0, 1);
    if (!tail.empty() && tail.back() == '"')
        tail.pop_back();
    return tail;
}

std::string ListChoice::Text() const
{
    return index >= 0 && static_cast<std::size_t>(index) < items.size() ? items[static_cast<std::size_t>(index)]
                                                                        : std::string();
}

std::string ListChoice::Label(std::size_t item) const
{
    if (item < labels.size() && !labels[item].empty())
        return labels[item];
    return item < items.size() ? items[item] : std::string();
}

MainForm::MainForm(StartupOptions options, Toolkit& toolkit)
    : dirMain(options.style), options_(std::move(options)), toolkit_(toolkit)
{
    programFolder_ = options_.programFolder.empty() ? os::ProgramFolder() : options_.programFolder;
    // The system decides what an installed copy is; a form in the other
    // style (the Windows spelling in a test on Linux) keeps the classic ways.
    installed_ = options_.style == NativePathStyle() && os::IsInstalledCopy(programFolder_);
    settingsPath_ = options_.settingsPath.empty() ? SettingsFilePath(programFolder_) : options_.settingsPath;
    drvMain.items = os::DriveRoots();
    AddWineDrives();
    cboPHX.items = {"Palette 1", "Palette 2", "Palette 3"};
}

MainForm::~MainForm() = default;

clsVOLReader& MainForm::VOL()
{
    if (!vol_)
        vol_ = std::make_unique<clsVOLReader>(options_.style);
    return *vol_;
}

std::string MainForm::SelectedVolumePath() const
{
    const std::string name = SelectedVolumeName();
    return name.empty() ? std::string() : JoinPath(DirPath(), name, options_.style);
}

// ---------------------------------------------------------------- start-up

bool MainForm::Form_Load()
{
    if (RefuseSecondInstance())
        return false;
    ShowFirstPage();
    std::string commandPath;
    const bool fromCommandLine = CommandLineVolume(commandPath);
    LoadSettings();
    if (fromCommandLine) {
        ShowVolume(commandPath);
    } else {
        ShowStartFolder(LongFormOf(txtDefSearchPath));
        if (!CheckExtractor())
            return false;
    }
    ShowSplash(fromCommandLine);
    loaded_ = true;
    return true;
}

bool MainForm::RefuseSecondInstance()
{
    if (!options_.anotherInstanceRunning)
        return false;
    Messages().Beep();
    MsgBox("You may only run one instance of Tarnwick at a time.", MsgButtons::OK, MsgIcon::Information);
    return true;
}

void MainForm::ShowFirstPage()
{
    tbsMain = 0;
    tbsMain_Click();
    cboPHX.index = 0;
    Show("cboPHX");
}

bool MainForm::CommandLineVolume(std::string& path)
{
    if (options_.commandTail.empty())
        return false;
    path = CleanCommandLinePath(options_.commandTail);
    return IsVolumePath(path);
}

bool MainForm::CheckExtractor()
{
    if (os::IsPlainFile(txtExtractPath))
        return true;
    const std::string where = os::DefaultExtractorPath(programFolder_);
    const MsgAnswer a = MsgBox(ShownPath(where, options_.style) +
                                   " was not located.  Extract is a required component for Tarnwick to "
                                   "function.  Please locate it.",
                               MsgButtons::OKCancel, MsgIcon::Critical);
    if (a == MsgAnswer::Cancel)
        return false;
    cmdExtractBrowse_Click();
    return true;
}

void MainForm::ShowSplash(bool fromCommandLine)
{
    if (chkSplash != CheckState::Checked || fromCommandLine)
        return;
    SplashForm splash(options_.splashMilliseconds.value_or(SplashForm::kReleaseMilliseconds));
    SplashWasShown = true;
    toolkit_.ShowSplash(splash);
}

bool MainForm::IsVolumePath(const std::string& path)
{
    // Both checks always run, each reporting by itself: a path that is
    // neither there nor a .vol gets both messages, in this order.
    const PathStyle style = options_.style;
    bool valid = true;
    if (!os::IsPlainFile(path)) {
        Messages().Beep();
        MsgBox(ShownPath(path, style) + " is not a valid path to a volume (*.vol) file.", MsgButtons::OK,
               MsgIcon::Critical);
        valid = false;
    }
    const std::string lower = ToLower(path);
    if (lower.size() < 4 || lower.compare(lower.size() - 4, 4, ".vol") != 0) {
        Messages().Beep();
        MsgBox(ShownPath(path, style) + " is not a valid volume (*.vol) file.", MsgButtons::OK, MsgIcon::Critical);
        valid = false;
    }
    return valid;
}

void MainForm::ShowVolume(const std::string& volumePath)
{
    const std::string path = LongFormOf(volumePath);
    ShowStartFolder(path);
    // On a disk where case matters, base.vol and Base.vol are two volumes:
    // the one named exactly wins, and the match without regard to case is
    // only the fallback.
    const std::string title = GetFileTitle(path, options_.style);
    const std::vector<std::string>& names = filVolumes.Names();
    int exact = -1, folded = -1;
    for (std::size_t i = 0; i < names.size() && exact < 0; ++i) {
        if (names[i] == title)
            exact = static_cast<int>(i);
        else if (folded < 0 && EqualsNoCase(names[i], title))
            folded = static_cast<int>(i);
    }
    if (const int row = exact >= 0 ? exact : folded; row >= 0) {
        filVolumes.Select(row);
        Show("filVolumes");
        filVolumes_Click();
    }
}

void MainForm::OpenDroppedFiles(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return;
    const std::string& path = paths.front();
    if (!IsVolumePath(path))
        return;
    // The volume's lists are on the Browser page.
    tbsMain = 0;
    tbsMain_Click();
    ShowVolume(path);
}

void MainForm::ShowStartFolder(const std::string& startPath)
{
    const PathStyle style = options_.style;
    std::string folder = startPath;
    if (folder.size() >= 4 && folder[folder.size() - 4] == '.')
        folder = GetParentFolder(folder, style);
    // A start path that is gone (or was never set) still opens the window:
    // the nearest folder above it that exists, else the program's folder
    // (an installed copy's is no place for the user: the user's home then).
    std::string probe = folder;
    while (!probe.empty() && !os::IsPlainFolder(probe)) {
        const std::string up = GetParentFolder(probe, style);
        probe = up == probe ? std::string() : up;
    }
    const std::string fallback = installed_ ? os::UserHomeFolder() : programFolder_;
    if (probe.empty())
        probe = os::IsPlainFolder(fallback) ? fallback : std::string(1, Separator(style));
    dirMain.SetPath(probe);
    Show("dirMain");
    dirMain_Change(); // listed even when the folder is the one shown already
    SetDrive(style == PathStyle::Windows ? dirMain.Path().substr(0, 3) : os::DriveOf(dirMain.Path(), drvMain.items));
}

void MainForm::AddWineDrives()
{
    if (options_.style != PathStyle::Posix || drvMain.items.empty())
        return;
    // Right after "/", so that the game's folder is one pick away; a folder
    // that is a drive already (a mounted disk a drive leads to) stays once.
    std::size_t at = drvMain.items.front() == "/" ? 1 : 0;
    drvMain.labels.assign(drvMain.items.size(), std::string());
    wineDrives_ = os::UserWineDrives();
    for (const os::WineDrive& d : wineDrives_) {
        if (std::find(drvMain.items.begin(), drvMain.items.end(), d.folder) != drvMain.items.end())
            continue;
        drvMain.items.insert(drvMain.items.begin() + static_cast<std::ptrdiff_t>(at), d.folder);
        drvMain.labels.insert(drvMain.labels.begin() + static_cast<std::ptrdiff_t>(at), d.label);
        ++at;
    }
}

void MainForm::SetDrive(const std::string& root)
{
    int index = 0;
    for (std::size_t i = 0; i < drvMain.items.size(); ++i) {
        if (EqualsNoCase(drvMain.items[i], root)) {
            index = static_cast<int>(i);
            break;
        }
    }
    drvMain.index = drvMain.items.empty() ? -1 : index;
    Show("drvMain");
    driveFolders_[drvMain.Text()] = dirMain.Path();
}

void MainForm::SetFolder(const std::string& path)
{
    const bool changed = dirMain.SetPath(path);
    Show("dirMain");
    if (changed)
        dirMain_Change();
}

// ---------------------------------------------------------------- handlers

void MainForm::tbsMain_Click()
{
    if (tbsMain < 0 || tbsMain > 1)
        tbsMain = 0;
    Show("tbsMain");
    Show("picBase");
}

void MainForm::drvMain_Change()
{
    const std::string previous = dirMain.Path();
    const std::string drive = drvMain.Text();
    if (!os::IsPlainFolder(drive)) {
        // An unreadable drive (no disc, a gone mount) is reported; the lists
        // stay where they were.
        ShowError(ShownPath(drive, options_.style) + " cannot be read.");
        SetDrive(os::DriveOf(previous, drvMain.items));
        return;
    }
    auto it = driveFolders_.find(drive);
    SetFolder(it != driveFolders_.end() && os::IsPlainFolder(it->second) ? it->second : drive);
    driveFolders_[drive] = dirMain.Path();
}

void MainForm::dirMain_Open(int row)
{
    const std::vector<FolderEntry>& entries = dirMain.Entries();
    if (row >= 0 && static_cast<std::size_t>(row) < entries.size())
        SetFolder(std::string(entries[static_cast<std::size_t>(row)].path));
}

void MainForm::dirMain_Change()
{
    filVolumes.SetPath(dirMain.Path());
    Show("filVolumes");
    const std::string drive = drvMain.Text();
    if (!drive.empty())
        driveFolders_[drive] = dirMain.Path();
}

void MainForm::filVolumes_Click()
{
    const std::string name = filVolumes.FileName();
    if (name.empty())
        return;
    const std::string path = JoinPath(filVolumes.Path(), name, options_.style);
    const std::string key = ShownPath(path, options_.style);
    if (key == CurrentVolume)
        return;
    WaitPointer wait(toolkit_);
    lstData.Clear();
    CurrentVolumeListed = false;
    clsVOLReader& reader = VOL();
    reader.SetPath(path);
    try {
        // The list shows GetFileNames' names, sorted, from the reader's own
        // table text wherever the two agree.
        CurrentVolumeListed = reader.ListNames();
        if (CurrentVolumeListed)
            lstData.SetTable(reader.ListText());
    } catch (const std::bad_alloc&) {
        // A volume may hold more names than this machine can list: say so
        // rather than end the program.
        lstData.Clear();
        Show("lstData");
        toolkit_.SetWaitPointer(false);
        MsgBox("Not enough memory to list the files of " + ShownPath(reader.Path(), options_.style) + ".",
               MsgButtons::OK, MsgIcon::Critical);
        toolkit_.SetWaitPointer(true);
    }
    Show("lstData");
    CurrentVolume = key;
}

bool MainForm::VolumeMenuMayOpen() const { return !filVolumes.Names().empty() && !filVolumes.FileName().empty(); }

void MainForm::filVolumes_MouseDown(bool rightButton)
{
    if (rightButton && VolumeMenuMayOpen())
        toolkit_.PopupVolumeMenu(MenuPlace::Pointer);
}

void MainForm::filVolumes_MenuKey()
{
    // The pointer may be anywhere; the menu is about the selected volume.
    if (VolumeMenuMayOpen())
        toolkit_.PopupVolumeMenu(MenuPlace::SelectedEntry);
}

void MainForm::mnuProperties_Click()
{
    const std::string name = SelectedVolumeName();
    const std::string path = JoinPath(DirPath(), name, options_.style);
    clsVOLReader& reader = VOL();
    if (!reader.IsValidVolume(path)) {
        Messages().Beep();
        MsgBox(ShownPath(path, options_.style) + " is not a valid Starsiege: Tribes 1.X volume file.", MsgButtons::OK,
               MsgIcon::None);
        return;
    }
    // Listing it first sets the reader's values for this volume. A damaged
    // directory sets none: the values would be another volume's.
    filVolumes_Click();
    if (!CurrentVolumeListed) {
        Messages().Beep();
        MsgBox(ShownPath(path, options_.style) + " is damaged: its list of files cannot be read.", MsgButtons::OK,
               MsgIcon::None);
        return;
    }
    DetailsForm details(toolkit_);
    details.Fill(name, os::FileLength(path), os::FileModified(path), reader.FileCount(), reader.PVOL(), reader.VOLS(),
                 reader.VOLI());
    toolkit_.ShowDetails(details);
}

std::string MainForm::PickFolderInto(const std::string& title, std::string& box, const char* control)
{
    const std::string chosen = toolkit_.PickFolder(title);
    if (!chosen.empty()) {
        box = ShownPath(chosen, options_.style);
        Show(control);
    }
    return chosen;
}

void MainForm::cmdBrowse_Click() { PickFolderInto("Select Destination Path", txtPath, "txtPath"); }

void MainForm::cmdDefSearchBrowse_Click()
{
    PickFolderInto("Select Default Volume Path", txtDefSearchPath, "txtDefSearchPath");
}

void MainForm::cmdExtractBrowse_Click()
{
    OpenFileRequest request;
    request.title = "Locate Extract";
    if (options_.style == PathStyle::Windows) {
        request.filters = {{"Executable Files (*.exe)", "*.exe"}, {"All Files (*.*)", "*.*"}};
        request.defaultSuffix = "exe";
    } else {
        // Programs here carry no extension; the Windows build's name is
        // offered too, for an extractor run through a compatibility layer.
        request.filters = {{"Extractor (extract extract.exe)", "extract;extract.exe"}, {"All Files (*)", "*"}};
    }
    const std::string folder = GetParentFolder(txtExtractPath, options_.style);
    request.folder = os::IsPlainFolder(folder) ? folder : programFolder_;
    request.suggested = os::ExtractorFileName();
    // A cancelled dialog leaves the box as it was.
    if (auto chosen = toolkit_.PickFile(request)) {
        txtExtractPath = *chosen;
        Show("txtExtractPath");
    }
}

void MainForm::cmdAbout_Click()
{
    AboutForm about;
    toolkit_.ShowAbout(about);
}

void MainForm::cmdAssociate_Click()
{
    // The executable's name without its extension, beside the folder.
    std::string name = GetFileTitle(os::ProgramPath(), options_.style);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    const std::string failure =
        AssociateVolumes(programFolder_, name, ProgramIconPng ? ProgramIconPng() : std::string());
    if (!failure.empty())
        ShowError(failure);
}

// ---------------------------------------------------------------- closing

void MainForm::Form_Unload()
{
    if (!loaded_ || unloaded_)
        return;
    unloaded_ = true;
    vol_.reset();
    // Told once, whatever failed: the user can free the disk or fix the
    // file's rights before the next session loses its options too.
    if (!SaveSettings())
        MsgBox("Tarnwick could not save its settings to " + ShownPath(settingsPath_, options_.style) +
                   " (the disk may be full, or the file or its folder may not be written). The settings "
                   "stored there before are kept as they were.",
               MsgButtons::OK, MsgIcon::Critical);
}

} // namespace tarnwick
