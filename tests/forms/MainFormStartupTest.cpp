// The main form's start-up on real files: command line, settings, the
// extractor check, the splash and the one-instance rule; and a volume
// dropped on the window, which is checked as the command line's is.
#include "support/FormSupport.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace tarnwick;
using namespace tarnwick::test;
namespace fs = std::filesystem;

namespace {

const std::string kNoPath = " is not a valid path to a volume (*.vol) file.";
const std::string kNoVolume = " is not a valid volume (*.vol) file.";
const std::string kMissing = " was not located.  Extract is a required component for Tarnwick to function.  "
                             "Please locate it.";

long Beeps(const ScriptedSink& sink) { return std::count(sink.events.begin(), sink.events.end(), "beep"); }

// A volume named on the command line and one dropped go through the same
// checks and messages; the parameter: dropped.
class VolumeOpening : public ::testing::TestWithParam<bool> {};

TEST_P(VolumeOpening, IsListedOrReportedAndLeftOut)
{
    TempDir dir;
    const std::string vol = dir / "games/base/Scripts.vol", txt = dir / "notes.txt";
    MakeVolume(vol, {"b.cs", "a.cs", "ai\\bot.cs"});
    MakeVolume(dir / "start/Default.vol", {"d.cs"});
    WriteFile(txt, "text");
    // One quote goes from each end of a command line, if there.
    const bool dropped = GetParam();
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {dropped ? vol : "\"" + vol + "\"", {}},
        {dropped ? vol : "\"" + vol, {}},
        {dropped ? vol : vol + "\"", {}},
        {dir / "Missing.VOL", {dir / "Missing.VOL" + kNoPath}},
        {txt, {txt + kNoVolume}},
        // A folder is no file, and does not end in .vol either.
        {dir / "games", {dir / "games" + kNoPath, dir / "games" + kNoVolume}},
    };
    for (const auto& [path, messages] : cases) {
        SCOPED_TRACE(path);
        StartupOptions o = TestOptions(dir, "[Tarnwick]\nSplash=1\nStart=" + dir / "start/Default.vol" +
                                                "\nExtract=" + (dropped ? ToolPath("extract") : dir / "gone") + "\n");
        if (!dropped)
            o.commandTail = path;
        ScriptedSink sink;
        auto s = StartForm(o);
        ASSERT_TRUE(s->loaded);
        MainForm& f = *s->form;
        std::vector<std::string> texts = messages;
        if (dropped) {
            f.tbsMain = 1; // dropped while the Options page is in front
            f.tbsMain_Click();
            sink.texts.clear();
            sink.events.clear();
            f.OpenDroppedFiles({path, vol}); // several: the first counts
        } else if (!messages.empty()) {
            // Without a volume to show, the splash and the extractor check come as usual.
            texts.push_back(dir / "extract" + kMissing);
        }
        const bool listed = messages.empty();
        EXPECT_EQ(sink.texts, texts);
        EXPECT_EQ(Beeps(sink), long(messages.size()));
        EXPECT_EQ(f.DirPath(), fs::canonical(dir / (listed ? "games/base" : "start")).string());
        EXPECT_EQ(f.SelectedVolumeName(), listed ? "Scripts.vol" : "");
        EXPECT_EQ(f.lstData.Count(), listed ? 3u : 0u);
        if (dropped) {
            EXPECT_EQ(f.tbsMain, listed ? 0 : 1);
        } else {
            EXPECT_EQ(f.SplashWasShown, !listed);
            EXPECT_EQ(s->toolkit.fileRequests.size(), listed ? 0u : 1u);
        }
    }
}

TEST_P(VolumeOpening, AnExactNameWinsOverOneThatDiffersOnlyInCase)
{
    TempDir dir;
    MakeVolume(dir / "base.vol", {"mine.cs"});
    MakeVolume(dir / "Base.vol", {"other.cs", "more.cs"});
    for (const std::string name : {"base.vol", "Base.vol"}) {
        StartupOptions o = TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + ToolPath("extract") + "\n");
        if (!GetParam())
            o.commandTail = dir / name;
        ScriptedSink sink;
        auto s = StartForm(o);
        if (GetParam())
            s->form->OpenDroppedFiles({dir / name});
        EXPECT_EQ(s->form->SelectedVolumeName(), name);
        EXPECT_EQ(s->form->CurrentVolume, dir / name);
        EXPECT_EQ(s->form->lstData.Count(), name == "base.vol" ? 1u : 2u);
    }
}

INSTANTIATE_TEST_SUITE_P(Form, VolumeOpening, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Dropped" : "CommandLine"; });

TEST(MainFormStartup, StartFolderIsTheNearestOneThatExists)
{
    TempDir dir;
    WriteFile(dir / "games/base/keep", "");
    WriteFile(dir / "data.old/keep", "");
    const std::pair<std::string, std::string> cases[] = {
        {dir / "games/base/entities.vol", dir / "games/base"}, // deleted since it was stored
        {dir / "games", dir / "games"},
        {dir / "data.old", dir.Path()}, // taken for a file
        {dir / "games/gone/deeper", dir / "games"},
        {"", dir.Path()},
    };
    for (const auto& [start, shown] : cases) {
        ScriptedSink sink;
        auto s = StartForm(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + ToolPath("extract") + "\nStart=" + start + "\n"));
        ASSERT_TRUE(s->loaded);
        EXPECT_EQ(s->form->DirPath(), fs::canonical(shown).string()) << start;
        // The drive list follows the folder, and the folder list shows its chain.
        EXPECT_EQ(s->form->drvMain.Text(), "/");
        EXPECT_EQ(s->form->dirMain.Entries()[std::size_t(s->form->dirMain.CurrentRow())].path, fs::canonical(shown).string());
    }
}

TEST(MainFormStartup, AbortedStartsLeaveTheSettingsAlone)
{
    TempDir dir;
    const std::string settings = "[Tarnwick]\nSplash=1\nExtract=" + dir / "gone" + "\n[Other]\nk=v\n";
    for (const bool secondInstance : {true, false}) {
        StartupOptions o = TestOptions(dir, settings);
        o.anotherInstanceRunning = secondInstance;
        ScriptedSink sink;
        sink.answers = {MsgAnswer::Cancel};
        auto s = StartForm(o);
        EXPECT_FALSE(s->loaded);
        EXPECT_FALSE(s->form->SplashWasShown);
        EXPECT_TRUE(s->toolkit.shown.empty() && s->toolkit.fileRequests.empty());
        s->form->Form_Unload();
        EXPECT_EQ(ReadFile(o.settingsPath), settings);
        EXPECT_EQ(sink.events, (secondInstance ? std::vector<std::string>{"beep", "box"} : std::vector<std::string>{"box"}));
        EXPECT_NE(sink.texts[0].find(secondInstance ? "may only run one instance" : "was not located"), std::string::npos);
    }
}

TEST(MainFormSettings, AreReadAndWrittenBackAtExit)
{
    TempDir dir;
    const std::string other = "; shared by the suite\r\n[Cairnix]\r\nTheme = Dark \r\n";
    WriteFile(dir / "extract", "");
    // No file at first: every default, written in full.
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {{}, {"[Tarnwick]\nOverwrite=1\nPHX=1\nPalette=0\nPath=/Some/Dest\nExtract=" + dir / "extract" + "\nStart=" +
              dir.Path() + "\nSplash=1\nFileSystem=1\n"}},
        {other + "[tarnwick]\r\nOverwrite=0\r\nPalette=2\r\nSplash=0\r\nFileSystem=0\r\n",
         {other, "Overwrite=0\r\n", "Palette=2\r\n", "Splash=0\r\n", "FileSystem=0\r\n", "Path=/Some/Dest\r\n"}},
    };
    for (const auto& [settings, saved] : cases) {
        StartupOptions o = TestOptions(dir, settings);
        if (settings.empty())
            fs::remove(o.settingsPath);
        ScriptedSink sink;
        auto s = StartForm(o);
        EXPECT_EQ(s->form->SplashWasShown, settings.empty());
        EXPECT_EQ(s->toolkit.shown, settings.empty() ? std::vector<std::string>{"splash"} : std::vector<std::string>{});
        s->form->txtPath = "/Some/Dest";
        s->form->Form_Unload();
        const std::string after = ReadFile(o.settingsPath);
        for (const std::string& line : saved)
            EXPECT_NE(after.find(line), std::string::npos) << line << " not in:\n" << after;
    }
    // An installed copy keeps them with the user, root too, who could write
    // /usr/bin (which folders count as installed is InstalledCopyTest's).
    ScopedEnv env;
    env.Set("XDG_CONFIG_HOME", dir / "config");
    EXPECT_EQ(SettingsFilePath("/usr/bin"), dir / "config/cairnix.ini");
    EXPECT_EQ(SettingsFilePath(dir.Path()), dir / "cairnix.ini");
}

// The file's own faults are HostileSettingsTest's; here, values that are no
// numbers, and bytes the form did not understand saved back.
TEST(MainFormSettings, NumbersThatAreNoneGiveDefaultsAndOtherBytesSurvive)
{
    static const char junk[] = "[Bin]\nk=\0\xff\r\n";
    const std::string binary(junk, sizeof junk - 1);
    const std::string cp1252 = "Path=C:\\Spiele\\\xe4nderung\n";
    TempDir dir;
    fs::copy_file(ToolPath("extract"), dir / "extract");
    const StartupOptions o = TestOptions(dir, binary + "[Tarnwick]\n" + cp1252 +
                                                  "Splash=x\xff\nOverwrite=yes\nPHX=\nPalette=7\nFileSystem=-1\n");
    ScriptedSink sink;
    auto s = StartForm(o);
    ASSERT_TRUE(s->loaded);
    EXPECT_TRUE(s->form->SplashWasShown);
    EXPECT_EQ(s->form->chkOverwrite, CheckState::Checked);
    EXPECT_EQ(s->form->cboPHX.index, 0);
    EXPECT_EQ(s->form->txtPath, "C:\\Spiele\\\xe4nderung");
    s->form->Form_Unload();
    for (const std::string& bytes : {binary, cp1252, std::string("PHX=1\n"), std::string("Palette=0\n"),
                                     std::string("FileSystem=1\n")})
        EXPECT_NE(ReadFile(o.settingsPath).find(bytes), std::string::npos) << bytes;
    EXPECT_TRUE(sink.shown.empty()); // nor the extractor check: its default held
}

// An installed copy (its extractor in PREFIX/libexec/tarnwick) keeps its
// settings with the user, starts in the home or the game's folder and
// extracts into the user's downloads; a portable copy keeps its folder for
// all of them. Which copy is which is InstalledCopyTest's and
// DefaultExtractorPathTest's.
TEST(MainFormSettings, ExtractorSettingsAndFoldersFollowTheLayout)
{
    struct Case {
        const char* name;
        std::vector<std::string> files; // below the test folder, as are the paths
        std::string extractor, settings, start, extractionFolder;
        bool reportedMissing;
    };
    const std::string game = "home/.wine/drive_c/Program Files (x86)/Dynamix/Tribes/base";
    const Case cases[] = {
        {"installed", {"usr/libexec/tarnwick/extract"}, "usr/libexec/tarnwick/extract", "config/cairnix.ini", "home",
         "home/Downloads", false},
        {"installed, the game in the Wine prefix", {"usr/libexec/tarnwick/extract", game + "/entities.vol"},
         "usr/libexec/tarnwick/extract", "config/cairnix.ini", game, "home/Downloads", false},
        {"portable copy, the game in the Wine prefix", {"usr/bin/extract", game + "/entities.vol"}, "usr/bin/extract",
         "usr/bin/cairnix.ini", "usr/bin", "usr/bin", false},
        {"no extractor anywhere", {}, "usr/bin/extract", "usr/bin/cairnix.ini", "usr/bin", "usr/bin", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        fs::create_directories(dir / "usr/bin");
        fs::create_directories(dir / "home/Downloads");
        // A Wine prefix as Wine makes it, the game installed or not.
        fs::create_directories(dir / "home/.wine/drive_c/windows/system32");
        fs::create_directories(dir / "home/.wine/dosdevices");
        fs::create_symlink("../drive_c", dir / "home/.wine/dosdevices/c:");
        for (const std::string& f : c.files)
            WriteFile(dir / f, "#!/bin/sh\n");
        ScopedEnv env;
        env.Set("HOME", dir / "home");
        env.Unset("WINEPREFIX");
        env.Set("XDG_CONFIG_HOME", dir / "config");
        env.Set("XDG_DOWNLOAD_DIR", dir / "home/Downloads");
        // Either place may hold the settings: the one the program uses is
        // read (no splash) and written back in full.
        for (const char* place : {"config/cairnix.ini", "usr/bin/cairnix.ini"})
            WriteFile(dir / place, "[Tarnwick]\nSplash=0\n");
        StartupOptions o;
        o.programFolder = dir / "usr/bin";
        ScriptedSink sink;
        auto s = StartForm(o);
        ASSERT_TRUE(s->loaded);
        EXPECT_FALSE(s->form->SplashWasShown);
        EXPECT_EQ(s->form->SettingsPath(), dir / c.settings);
        EXPECT_EQ(s->form->txtExtractPath, dir / c.extractor);
        EXPECT_EQ(s->form->txtPath, dir / c.extractionFolder);
        EXPECT_EQ(fs::canonical(s->form->txtDefSearchPath).string(), fs::canonical(dir / c.start).string());
        EXPECT_EQ(s->form->DirPath(), fs::canonical(dir / c.start).string());
        EXPECT_EQ(s->toolkit.fileRequests.size(), c.reportedMissing ? 1u : 0u);
        EXPECT_EQ(sink.texts, c.reportedMissing ? std::vector<std::string>{dir / c.extractor + kMissing}
                                                : std::vector<std::string>{});
        s->form->Form_Unload();
        // All eight keys, into the file it read; the other is left alone.
        EXPECT_NE(ReadFile(dir / c.settings).find("\nOverwrite=1\n"), std::string::npos);
        for (const char* place : {"config/cairnix.ini", "usr/bin/cairnix.ini"}) {
            if (place != c.settings) {
                EXPECT_EQ(ReadFile(dir / place), "[Tarnwick]\nSplash=0\n") << place;
            }
        }
    }
}

} // namespace
