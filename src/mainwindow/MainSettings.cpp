// The eight options of the main window: read into its controls at start-up,
// written back from them when it closes.
#include "mainwindow/frmMain.h"

#include "platform/CommonRoutines.h"
#include "platform/INI.h"
#include "platform/os/Files.h"
#include "platform/os/System.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <charconv>

namespace tarnwick {

namespace {

constexpr const char* kSection = "Tarnwick";
constexpr const char* kFileName = "cairnix.ini";
constexpr const char* kLoadedBytes = "tarnwickLoadedBytes";
constexpr const char* kLoadedText = "tarnwickLoadedText";

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
void ApplyCheck(QCheckBox* box, const Variant& stored)
{
    switch (WholeNumberOr(stored, 1, 0, 2)) {
    case 0: box->setCheckState(Qt::Unchecked); break;
    case 1: box->setCheckState(Qt::Checked); break;
    default:
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
        break;
    }
}

int CheckValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Unchecked: return 0;
    case Qt::Checked: return 1;
    default: return 2;
    }
}

} // namespace

std::string SettingsFilePath(const std::string& programFolder)
{
    const char sep = Separator(NativePathStyle());
    auto join = [sep](const std::string& folder) {
        return !folder.empty() && folder.back() == sep ? folder + kFileName : folder + sep + kFileName;
    };
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

void frmMain::LoadSettings()
{
    const PathStyle style = options_.style;
    const std::string folder = programFolder_;
    const char sep = Separator(style);
    const std::string beside = (!folder.empty() && folder.back() == sep ? folder : folder + sep) + os::ExtractorFileName();
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
    ApplyCheck(chkOverwrite, ini.GetSetting("Overwrite", MakeVariant("1")));
    ApplyCheck(chkPHX, ini.GetSetting("PHX", MakeVariant("1")));
    cboPHX->setCurrentIndex(WholeNumberOr(ini.GetSetting("Palette", MakeVariant("0")), 0, 0, cboPHX->count() - 1));
    auto text = [&](QLineEdit* box, const char* key, const std::string& fallback) {
        const std::string shown = ShownPath(ToText(ini.GetSetting(key, MakeVariant(fallback))), style);
        box->setText(QString::fromLocal8Bit(shown));
        // Bytes that are no text in the locale (a path written on another
        // system) do not survive the trip through the text box; while the
        // user leaves the box alone, the bytes read are the bytes saved.
        box->setProperty(kLoadedBytes, QByteArray::fromStdString(shown));
        box->setProperty(kLoadedText, box->text());
    };
    text(txtPath, "Path", extractInto);
    text(txtExtractPath, "Extract", extractor);
    text(txtDefSearchPath, "Start", folder);
    // A long path shows its beginning, where the drive and the first folders
    // are, rather than its end.
    for (QLineEdit* box : {txtPath, txtExtractPath, txtDefSearchPath})
        box->setCursorPosition(0);
    ApplyCheck(chkSplash, ini.GetSetting("Splash", MakeVariant("1")));
    ApplyCheck(chkFileSystem, ini.GetSetting("FileSystem", MakeVariant("1")));
}

void frmMain::SaveSettings()
{
    // The settings file may live in a configuration folder not made yet.
    const std::string parent = GetParentFolder(settingsPath_, NativePathStyle());
    if (!parent.empty() && !os::IsPlainFolder(parent))
        CreateFolderPath(parent);

    INI ini;
    ini.FileName(settingsPath_);
    ini.Section(kSection);
    auto text = [](const QLineEdit* box) {
        const QVariant loaded = box->property(kLoadedText);
        if (loaded.isValid() && loaded.toString() == box->text())
            return MakeVariant(box->property(kLoadedBytes).toByteArray().toStdString());
        return MakeVariant(box->text().toLocal8Bit().toStdString());
    };
    ini.SaveSetting(MakeVariant(CheckValue(chkOverwrite)), "Overwrite");
    ini.SaveSetting(MakeVariant(CheckValue(chkPHX)), "PHX");
    ini.SaveSetting(MakeVariant(static_cast<std::int32_t>(cboPHX->currentIndex())), "Palette");
    ini.SaveSetting(text(txtPath), "Path");
    ini.SaveSetting(text(txtExtractPath), "Extract");
    ini.SaveSetting(text(txtDefSearchPath), "Start");
    ini.SaveSetting(MakeVariant(CheckValue(chkSplash)), "Splash");
    ini.SaveSetting(MakeVariant(CheckValue(chkFileSystem)), "FileSystem");
}

} // namespace tarnwick
