// The main form's start-up on real files: command line, settings, the
// extractor check, the splash and the one-instance rule; and a volume
// dropped on the window, which is checked as the command line's is.
#include "support/ChildProcess.h"
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
    const std::string vol = At(dir, "Games/Base/Scripts.vol"), txt = At(dir, "Notes.txt");
    const std::string missing = At(dir, "Missing.VOL"), folder = At(dir, "Games");
    MakeVolume(vol, {"b.cs", "a.cs", "ai\\bot.cs"});
    MakeVolume(At(dir, "start/Default.vol"), {"d.cs"});
    WriteFile(txt, "text");
    // One quote goes from each end of a command line, if there.
    const bool dropped = GetParam();
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {dropped ? vol : "\"" + vol + "\"", {}},
        {dropped ? vol : "\"" + vol, {}},
        {dropped ? vol : vol + "\"", {}},
        {missing, {Shown(missing) + kNoPath}},
        {txt, {Shown(txt) + kNoVolume}},
        // A folder is no file, and does not end in .vol either.
        {folder, {Shown(folder) + kNoPath, Shown(folder) + kNoVolume}},
    };
    for (const auto& [path, messages] : cases) {
        SCOPED_TRACE(path);
        StartupOptions o = TestOptions(dir, "[Tarnwick]\nSplash=1\nStart=" + At(dir, "start/Default.vol") +
                                                "\nExtract=" + (dropped ? Extractor() : At(dir, "gone")) + "\n");
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
            // Without a volume to show, the splash and the extractor check
            // come as usual; the box names the extractor beside the program.
            texts.push_back(Shown(At(dir, kExtractor)) + kMissing);
        }
        const bool listed = messages.empty();
        EXPECT_EQ(sink.texts, texts);
        EXPECT_EQ(Beeps(sink), long(messages.size()));
        // The same folder; on Windows whatever the case.
        EXPECT_EQ(Shown(f.DirPath()), Shown(Real(At(dir, listed ? "Games/Base" : "start"))));
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
    MakeVolume(At(dir, "base.vol"), {"mine.cs"});
    MakeVolume(At(dir, "Base.vol"), {"other.cs", "more.cs"});
    for (const std::string name : {"base.vol", "Base.vol"}) {
        StartupOptions o = TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + Extractor() + "\n");
        if (!GetParam())
            o.commandTail = At(dir, name);
        ScriptedSink sink;
        auto s = StartForm(o);
        if (GetParam())
            s->form->OpenDroppedFiles({At(dir, name)});
        EXPECT_EQ(s->form->SelectedVolumeName(), name);
        EXPECT_EQ(s->form->CurrentVolume, At(dir, name));
        EXPECT_EQ(s->form->lstData.Count(), name == "base.vol" ? 1u : 2u);
    }
}

INSTANTIATE_TEST_SUITE_P(Form, VolumeOpening, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Dropped" : "CommandLine"; });

TEST(MainFormStartup, StartFolderIsTheNearestOneThatExists)
{
    TempDir dir;
    WriteFile(At(dir, "games/base/keep"), "");
    WriteFile(At(dir, "data.old/keep"), "");
    // The start folder as stored and where the lists open (on Windows the
    // same folder whatever the case); empty: the program's folder.
    const std::pair<std::string, std::string> cases[] = {
        {At(dir, "games/base/entities.vol"), "games/base"}, // deleted since it was stored
        {At(dir, "games"), "games"},
        {At(dir, "data.old"), ""}, // taken for a file
        {At(dir, "games/gone/deeper"), "games"},
        {"", ""},
    };
    for (const auto& [start, opened] : cases) {
        const std::string shown = Real(opened.empty() ? dir.Path() : At(dir, opened));
        ScriptedSink sink;
        auto s = StartForm(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + Extractor() + "\nStart=" + start + "\n"));
        ASSERT_TRUE(s->loaded);
        EXPECT_EQ(Shown(s->form->DirPath()), Shown(shown)) << start;
        // The drive list follows the folder, and the folder list shows its chain.
        EXPECT_EQ(s->form->drvMain.Text(), RootOf(dir.Path()));
        EXPECT_EQ(Shown(s->form->dirMain.Entries()[std::size_t(s->form->dirMain.CurrentRow())].path), Shown(shown));
    }
}

TEST(MainFormStartup, AbortedStartsLeaveTheSettingsAlone)
{
    TempDir dir;
    const std::string settings = "[Tarnwick]\nSplash=1\nExtract=" + At(dir, "gone") + "\n[Other]\nk=v\n";
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

// The file as the system left it: Windows' profile calls end their lines
// as they like; our own editor's endings are SystemTableTest's.
std::string Saved(const std::string& path)
{
    std::string text = ReadFile(path);
    if (kWindows)
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

TEST(MainFormSettings, AreReadAndWrittenBackAtExit)
{
    TempDir dir;
    const std::string other = "; shared by the suite\r\n[Cairnix]\r\nTheme = Dark \r\n";
    // The other section comes back as it was (Saved drops Windows' CRs).
    const std::string otherSaved = kWindows ? "; shared by the suite\n[Cairnix]\nTheme = Dark \n" : other;
    const std::string nl = kWindows ? "\n" : "\r\n";
    const std::string dest = kWindows ? "D:\\Some\\Dest" : "/Some/Dest";
    WriteFile(At(dir, kExtractor), "");
    // No file at first: every default, written in full; the paths read
    // back are shown, and so saved, in lower case on Windows.
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {{}, {"[Tarnwick]\nOverwrite=1\nPHX=1\nPalette=0\nPath=" + dest + "\nExtract=" + Shown(At(dir, kExtractor)) +
              "\nStart=" + Shown(dir.Path()) + "\nSplash=1\nFileSystem=1\n"}},
        {other + "[tarnwick]\r\nOverwrite=0\r\nPalette=2\r\nSplash=0\r\nFileSystem=0\r\n",
         {otherSaved, "Overwrite=0" + nl, "Palette=2" + nl, "Splash=0" + nl, "FileSystem=0" + nl, "Path=" + dest + nl}},
    };
    for (const auto& [settings, saved] : cases) {
        StartupOptions o = TestOptions(dir, settings);
        if (settings.empty())
            fs::remove(o.settingsPath);
        ScriptedSink sink;
        auto s = StartForm(o);
        EXPECT_EQ(s->form->SplashWasShown, settings.empty());
        EXPECT_EQ(s->toolkit.shown, settings.empty() ? std::vector<std::string>{"splash"} : std::vector<std::string>{});
        s->form->txtPath = dest;
        s->form->Form_Unload();
        const std::string after = Saved(o.settingsPath);
        for (const std::string& line : saved)
            EXPECT_NE(after.find(line), std::string::npos) << line << " not in:\n" << after;
    }
    // A portable copy keeps them beside itself; an installed one's are
    // ExtractorSettingsAndFoldersFollowTheLayout's.
    EXPECT_EQ(SettingsFilePath(dir.Path()), At(dir, "cairnix.ini"));
}

// The file's own faults are HostileSettingsTest's; here, values that are no
// numbers, and bytes the form did not understand saved back.
TEST(MainFormSettings, NumbersThatAreNoneGiveDefaultsAndOtherBytesSurvive)
{
    static const char junk[] = "[Bin]\nk=\0\xff\r\n";
    const std::string binary(junk, sizeof junk - 1);
    const std::string cp1252 = "Path=C:\\Spiele\\\xe4nderung\n";
    TempDir dir;
    fs::copy_file(ToolPath("extract"), At(dir, kExtractor));
    const StartupOptions o = TestOptions(dir, binary + "[Tarnwick]\n" + cp1252 +
                                                  "Splash=x\xff\nOverwrite=yes\nPHX=\nPalette=7\nFileSystem=-1\n");
    ScriptedSink sink;
    auto s = StartForm(o);
    ASSERT_TRUE(s->loaded);
    EXPECT_TRUE(s->form->SplashWasShown);
    EXPECT_EQ(s->form->chkOverwrite, CheckState::Checked);
    EXPECT_EQ(s->form->cboPHX.index, 0);
    EXPECT_EQ(s->form->txtPath, kWindows ? "c:\\spiele\\\xe4nderung" : "C:\\Spiele\\\xe4nderung");
    s->form->Form_Unload();
    std::vector<std::string> kept = {"PHX=1\n", "Palette=0\n", "FileSystem=1\n"};
    // Windows' profile calls, not ours, decide what becomes of bytes they
    // cannot read there.
    if (!kWindows)
        kept.insert(kept.end(), {binary, cp1252});
    for (const std::string& bytes : kept)
        EXPECT_NE(Saved(o.settingsPath).find(bytes), std::string::npos) << bytes;
    EXPECT_TRUE(sink.shown.empty()); // nor the extractor check: its default held
}

// A save the disk refuses is told in one box at close, naming the file, and
// costs the old file nothing; a save that works says nothing.
TEST(MainFormSettings, AFailedSaveIsToldOnceAndTheOldFileKept)
{
    const std::string old = "[Other]\nk=v\n[Tarnwick]\nSplash=0\nOverwrite=0\n";
    const struct {
        const char* what;
        std::string place; // below the test folder
        bool readOnly;
        bool saved;
    } cases[] = {
        {"a file that may be written", "cairnix.ini", false, true},
        {"a read-only file", "cairnix.ini", true, false},
        {"a folder that cannot be made", "taken/cairnix.ini", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        WriteFile(At(dir, kExtractor), "");
        StartupOptions o = TestOptions(dir, old);
        WriteFile(At(dir, "taken"), "a file where the folder would go");
        o.settingsPath = At(dir, c.place);
        if (c.readOnly)
            fs::permissions(o.settingsPath, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        ScriptedSink sink;
        auto s = StartForm(o);
        ASSERT_TRUE(s->loaded);
        const std::size_t before = sink.shown.size();
        s->form->chkOverwrite = CheckState::Checked;
        s->form->Form_Unload();
        s->form->Form_Unload(); // a second close request must not tell it again
        const std::vector<MessageRequest> told(sink.shown.begin() + std::ptrdiff_t(before), sink.shown.end());
        if (c.saved) {
            EXPECT_TRUE(told.empty());
            EXPECT_NE(Saved(o.settingsPath).find("Overwrite=1"), std::string::npos);
            continue;
        }
        ASSERT_EQ(told.size(), 1u);
        EXPECT_NE(told[0].text.find(Shown(o.settingsPath)), std::string::npos) << told[0].text;
        EXPECT_NE(told[0].text.find("settings"), std::string::npos) << told[0].text;
        if (fs::exists(o.settingsPath)) {
            EXPECT_EQ(ReadFile(o.settingsPath), old);
        }
        if (c.readOnly)
            fs::permissions(o.settingsPath, fs::perms::owner_all);
    }
}

// A disk that fills while the eight keys are written keeps the old file as
// it was, not some keys new and some old; the failure is told once.
TEST(MainFormSettings, AFullDiskKeepsTheOldFileWhole)
{
    TempDir dir;
    WriteFile(At(dir, kExtractor), "");
    const std::string old = "[Other]\nk=" + std::string(200, 'v') + "\n";
    const StartupOptions o = TestOptions(dir, old);
    // Room for the first key or two, not for all eight.
    const int boxes = RunInChild([&] {
        ScriptedSink sink;
        auto s = StartForm(o);
        if (!s->loaded)
            return 100;
        const std::size_t before = sink.shown.size();
        s->form->Form_Unload();
        return int(sink.shown.size() - before);
    }, {std::int64_t(old.size()) + 40, false});
    EXPECT_EQ(ReadFile(o.settingsPath), old);
    EXPECT_EQ(boxes, 1) << "boxes told at close (100: the form did not start)";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 2) << "a temporary file stayed";
}

// An installed copy (its extractor in PREFIX/libexec/tarnwick) keeps its
// settings with the user, starts in the home or the game's folder and
// extracts into the user's downloads; a portable copy keeps its folder for
// all of them. Which copy is which is DefaultExtractorPathTest's.
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
        // A Wine prefix, the game installed or not, and the system's own folder.
        MakeWinePrefix(dir / "home/.wine");
        fs::create_directories(dir / "home/.wine/drive_c/windows/system32");
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
