// The eight options of the main window: read into its controls at start-up,
// written back from them when it closes.
#include "forms/MainForm.h"

#include "services/CommonRoutines.h"
#include "services/INI.h"
#include "os/Files.h"
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
    auto join = [](const std::string& folder) { return JoinPath(folder, kFileName, NativePathStyle()); };
    const std::string beside = join(programFolder);
    // An installed program may not write to its own folder; its user's
    // configuration folder takes the file then. A file already beside the
    // program that can be written keeps being used.
    if (NativePathStyle() == PathStyle::Posix && !os::FolderIsWritable(programFolder)) {
        const std::string config = os::UserConfigFolder();
        if (!config.empty())
            return join(config);
    }
    return beside;
}

void MainForm::LoadSettings()
{
    const PathStyle style = options_.style;
    const std::string& folder = programFolder_;
    const std::string beside = JoinPath(folder, os::ExtractorFileName(), style);
    const std::string extractor = style == NativePathStyle() ? os::DefaultExtractorPath(folder) : beside;
    // An installed program (its extractor where an install puts it, or a
    // folder the user cannot write) extracts into a folder of the user's
    // own by default, never into PREFIX/bin; as for the settings file,
    // Windows keeps the classic rule.
    std::string extractInto = folder;
    if (style == PathStyle::Posix && NativePathStyle() == PathStyle::Posix &&
        (extractor != beside || !os::FolderIsWritable(folder))) {
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
    txtDefSearchPath = text("Start", folder);
    chkSplash = StoredCheck(ini.GetSetting("Splash", MakeVariant("1")));
    chkFileSystem = StoredCheck(ini.GetSetting("FileSystem", MakeVariant("1")));
    Show("");
}

void MainForm::SaveSettings()
{
    // The settings file may live in a configuration folder not made yet.
    const std::string parent = GetParentFolder(settingsPath_, NativePathStyle());
    if (!parent.empty() && !os::IsPlainFolder(parent))
        CreateFolderPath(parent);

    INI ini;
    ini.FileName(settingsPath_);
    ini.Section(kSection);
    ini.SaveSetting(CheckValue(chkOverwrite), "Overwrite");
    ini.SaveSetting(CheckValue(chkPHX), "PHX");
    ini.SaveSetting(MakeVariant(static_cast<std::int32_t>(cboPHX.index)), "Palette");
    ini.SaveSetting(MakeVariant(txtPath), "Path");
    ini.SaveSetting(MakeVariant(txtExtractPath), "Extract");
    ini.SaveSetting(MakeVariant(txtDefSearchPath), "Start");
    ini.SaveSetting(CheckValue(chkSplash), "Splash");
    ini.SaveSetting(CheckValue(chkFileSystem), "FileSystem");
}

} // namespace tarnwick
