// The eight options of the main window: read into its controls at start-up,
// written back from them when it closes.
#include "forms/MainForm.h"

#include "services/CommonRoutines.h"
#include "services/INI.h"
#include "os/Files.h"
#include "os/GameFolder.h"
#include "os/System.h"

#include <charconv>

namespace tarnwick {

namespace {

constexpr const char* kSection = "Tarnwick";
constexpr const char* kFileName = "cairnix.ini";

// A stored whole number within [low, high]; anything else (empty, a word, a
// number out of range) gives the key's default.
int WholeNumberOr(const Variant& stored, int fallback, int low, int high)
{
    const std::string text = ToText(stored);
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data() + b, text.data() + e, value);
    if (error != std::errc() || end != text.data() + e || value < low || value > high)
        return fallback;
    return value;
}

// Stored states are the classic ones: 0 unchecked, 1 checked, 2 grey.
CheckState StoredCheck(const Variant& stored)
{
    return static_cast<CheckState>(WholeNumberOr(stored, 1, 0, 2));
}

Variant CheckValue(CheckState state) { return MakeVariant(static_cast<std::int32_t>(state)); }

} // namespace

std::string SettingsFilePath(const std::string& programFolder)
{
    // An installed copy keeps its settings with its user, whoever that is:
    // root starting /usr/bin/tarnwick would otherwise leave a cairnix.ini in
    // /usr/bin that no package owns. Any other copy keeps the classic file
    // beside itself.
    if (os::IsInstalledCopy(programFolder)) {
        if (const std::string config = os::UserConfigFolder(); !config.empty())
            return JoinPath(config, kFileName, NativePathStyle());
    }
    return JoinPath(programFolder, kFileName, NativePathStyle());
}

std::string MainForm::UsersStartFolder() const
{
    // Where the game keeps its volumes, when it is installed under Wine;
    // else the home, where the user's own files are.
    std::vector<std::string> drives;
    for (const os::WineDrive& d : wineDrives_)
        if (d.letter == 'c')
            drives.push_back(d.folder);
    if (std::string game = os::FindGameFolder(drives); !game.empty())
        return game;
    return os::UserHomeFolder();
}

void MainForm::LoadSettings()
{
    const PathStyle style = options_.style;
    const std::string& folder = programFolder_;
    const std::string beside = JoinPath(folder, os::ExtractorFileName(), style);
    const std::string extractor = style == NativePathStyle() ? os::DefaultExtractorPath(folder) : beside;
    // An installed copy extracts into a folder of the user's own by default,
    // never into PREFIX/bin.
    std::string extractInto = folder;
    if (installed_) {
        if (const std::string own = os::UserDownloadFolder(); !own.empty())
            extractInto = own;
    }

    INI ini;
    ini.FileName(settingsPath_);
    ini.Section(kSection);
    // The boxes hold the bytes read, shown as the locale's text; bytes that
    // are no text there (a path written on another system) are saved back
    // as they came while the user leaves the box alone.
    auto text = [&](const char* key, const std::string& fallback) {
        return ShownPath(ToText(ini.GetSetting(key, MakeVariant(fallback))), style);
    };
    chkOverwrite = StoredCheck(ini.GetSetting("Overwrite", MakeVariant("1")));
    chkPHX = StoredCheck(ini.GetSetting("PHX", MakeVariant("1")));
    cboPHX.index = WholeNumberOr(ini.GetSetting("Palette", MakeVariant("0")), 0, 0,
                                 static_cast<int>(cboPHX.items.size()) - 1);
    txtPath = text("Path", extractInto);
    txtExtractPath = text("Extract", extractor);
    txtDefSearchPath = text("Start", installed_ ? std::string() : folder);
    // An installed copy starts where the user's volumes are rather than in
    // PREFIX/bin; that folder is looked for only when none is stored, as
    // finding it reads the disk. A stored empty path stays empty: the key
    // is missing only when a second default comes back as well.
    if (installed_ && txtDefSearchPath.empty() && ToText(ini.GetSetting("Start", MakeVariant("?"))) == "?")
        txtDefSearchPath = ShownPath(UsersStartFolder(), style);
    chkSplash = StoredCheck(ini.GetSetting("Splash", MakeVariant("1")));
    chkFileSystem = StoredCheck(ini.GetSetting("FileSystem", MakeVariant("1")));
    Show("");
}

bool MainForm::SaveSettings()
{
    // The settings file may live in a configuration folder not made yet.
    const std::string parent = GetParentFolder(settingsPath_, NativePathStyle());
    if (!parent.empty() && !os::IsPlainFolder(parent))
        CreateFolderPath(parent);

    INI ini;
    ini.FileName(settingsPath_);
    ini.Section(kSection);
    // All eight in one replacement of the file: a disk that fills half way
    // must leave the old options whole, not some of them new.
    return ini.SaveSettings({
        {"Overwrite", CheckValue(chkOverwrite)},
        {"PHX", CheckValue(chkPHX)},
        {"Palette", MakeVariant(static_cast<std::int32_t>(cboPHX.index))},
        {"Path", MakeVariant(txtPath)},
        {"Extract", MakeVariant(txtExtractPath)},
        {"Start", MakeVariant(txtDefSearchPath)},
        {"Splash", CheckValue(chkSplash)},
        {"FileSystem", CheckValue(chkFileSystem)},
    });
}

} // namespace tarnwick
