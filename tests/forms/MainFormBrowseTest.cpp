// Browsing folders and volumes, the volume menu and Properties, on the
// main form without a window.
#include "support/FormSupport.h"
#include "support/ScopedEnv.h"
#include "support/VolumeBytes.h"
#include "volume/clsVOLReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

std::vector<std::string> Names(const NameListing& list)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.Count(); ++i)
        out.push_back(list.Text(i));
    return out;
}

class MainFormBrowse : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakeVolume(dir / "vols/First.vol", {"zeta.cs", "Alpha.cs", "beta\\gamma.cs", "", "mid.cs"});
        // Header 20 + two blocks of 8 + 38 = PVOL 100; VOLS 10; VOLI 34.
        WriteVolume(dir / "vols/Hundred.vol", {{"a.cs", std::string(38, 'a')}, {"b.cs", std::string(38, 'b')}});
        MakeVolume(dir / "vols/Second.VOL", {"only.cs"});
        WriteFile(dir / "vols/Broken.vol", "PVOX not a volume");
        WriteFile(dir / "vols/notes.txt", "");
        WriteFile(dir / "vols/sub/inner.vol", "");
        s = StartForm(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + ToolPath("extract") + "\nStart=" + dir / "vols" + "\n"));
        ASSERT_TRUE(s->loaded);
    }
    // `listed`: clicked, else only highlighted, as a right click does.
    void Click(const std::string& volume, bool listed = true)
    {
        const std::vector<std::string>& names = s->form->filVolumes.Names();
        const auto at = std::find(names.begin(), names.end(), volume);
        s->form->filVolumes.Select(at == names.end() ? -1 : int(at - names.begin()));
        if (listed)
            s->form->filVolumes_Click();
    }

    TempDir dir;
    ScriptedSink sink;
    std::unique_ptr<StartedForm> s;
};

TEST_F(MainFormBrowse, ListsAVolumesNamesSortedAndOnlyOnce)
{
    MainForm& f = *s->form;
    EXPECT_EQ(f.filVolumes.Names(), (std::vector<std::string>{"Broken.vol", "First.vol", "Hundred.vol", "Second.VOL"}));
    Click("First.vol");
    EXPECT_EQ(Names(f.lstData), (std::vector<std::string>{"Alpha.cs", "beta\\gamma.cs", "mid.cs", "zeta.cs"}));
    EXPECT_EQ(s->toolkit.waits, 0);
    // A second click on the listed volume reads nothing, even if it changed.
    f.lstData.SetSelected(0, true);
    MakeVolume(dir / "vols/First.vol", {"changed.cs"});
    Click("First.vol");
    EXPECT_TRUE(f.lstData.Count() == 4 && f.lstData.IsSelected(0));
    Click("Broken.vol"); // silently lists nothing
    EXPECT_EQ(f.lstData.Count(), 0u);
    Click("First.vol");
    EXPECT_EQ(Names(f.lstData), std::vector<std::string>{"changed.cs"});
    EXPECT_TRUE(sink.shown.empty());

    // Another folder shows its volumes; the listing stays until a click.
    const std::string vols = std::filesystem::canonical(dir / "vols").string();
    Click("Second.VOL");
    f.dirMain_Open(int(f.dirMain.Entries().size()) - 1);
    EXPECT_EQ(f.filVolumes.Path(), vols + "/sub");
    EXPECT_EQ(f.filVolumes.Names(), std::vector<std::string>{"inner.vol"});
    EXPECT_EQ(Names(f.lstData), std::vector<std::string>{"only.cs"});
    // Up the chain again: the entry of the parent folder.
    f.dirMain_Open(f.dirMain.CurrentRow() - 1);
    EXPECT_EQ(f.DirPath(), vols);
    // The chain's first entry is the root.
    f.dirMain_Open(0);
    EXPECT_EQ(f.DirPath(), "/");
    EXPECT_EQ(f.drvMain.Text(), "/");
}

TEST_F(MainFormBrowse, TheVolumeMenuShowsPropertiesOfAVolumeOnly)
{
    MainForm& f = *s->form;
    // A right click or the keyboard's menu request, none with another
    // button; a right click at the pointer, the keyboard's at the volume.
    struct Ask {
        const char* name;
        std::function<void()> ask;
        std::vector<MenuPlace> withAVolume;
    };
    const Ask asks[] = {
        {"right button", [&f] { f.filVolumes_MouseDown(true); }, {MenuPlace::Pointer}},
        {"left button", [&f] { f.filVolumes_MouseDown(false); }, {}},
        {"menu key", [&f] { f.filVolumes_MenuKey(); }, {MenuPlace::SelectedEntry}},
    };
    for (const Ask& a : asks) {
        for (const bool selected : {false, true}) {
            s->toolkit.menuPlaces.clear();
            Click(selected ? "Second.VOL" : "");
            a.ask();
            EXPECT_EQ(s->toolkit.menuPlaces, selected ? a.withAVolume : std::vector<MenuPlace>{})
                << a.name << (selected ? ", a volume selected" : "");
        }
    }
    Click("Second.VOL");
    Click("Hundred.vol", false);
    std::vector<std::string> details;
    s->toolkit.onShow = [&details](Form& shown) {
        const auto& d = dynamic_cast<const DetailsForm&>(shown);
        details = {d.labName, d.labSize, d.labFileCount, d.labPVOL, d.labVOLS, d.labVOLI};
    };
    f.mnuProperties_Click();
    EXPECT_EQ(details, (std::vector<std::string>{"Hundred.vol", std::to_string(ReadFile(dir / "vols/Hundred.vol").size()),
                                                 "2", "100", "10", "34"}));
    EXPECT_EQ(Names(f.lstData), (std::vector<std::string>{"a.cs", "b.cs"}));

    // Not a volume, and a signature with a directory past the end: a box,
    // and no details with the values of the volume listed before, whether
    // or not the damaged one was clicked first.
    WriteFile(dir / "vols/Damaged.vol", "PVOL" + Le32(0x7FFFFF00));
    f.filVolumes.Refresh();
    const std::string vols = std::filesystem::canonical(dir / "vols").string();
    const std::tuple<std::string, bool, std::string> cases[] = {
        {"Broken.vol", false, " is not a valid Starsiege: Tribes 1.X volume file."},
        {"Damaged.vol", false, " is damaged: its list of files cannot be read."},
        {"Damaged.vol", true, " is damaged: its list of files cannot be read."},
    };
    for (const auto& [volume, clickedFirst, message] : cases) {
        Click("Hundred.vol");
        Click(volume, clickedFirst);
        sink.events.clear();
        sink.texts.clear();
        s->toolkit.shown.clear();
        f.mnuProperties_Click();
        EXPECT_TRUE(s->toolkit.shown.empty()) << volume;
        EXPECT_EQ(sink.events, (std::vector<std::string>{"beep", "box"}));
        EXPECT_EQ(sink.texts, std::vector<std::string>{vols + "/" + volume + message});
    }
}

TEST_F(MainFormBrowse, PickersFillTheirBoxesUnlessCancelled)
{
    MainForm& f = *s->form;
    const std::string before = f.txtExtractPath;
    s->toolkit.folders = {"/chosen/out", "", "/chosen/start"};
    s->toolkit.files = {std::nullopt, std::string("/chosen/extract")};
    f.cmdBrowse_Click();
    f.cmdDefSearchBrowse_Click(); // cancelled
    f.cmdDefSearchBrowse_Click();
    f.cmdExtractBrowse_Click(); // cancelled
    EXPECT_EQ(f.txtExtractPath, before);
    f.cmdExtractBrowse_Click();
    EXPECT_EQ(s->toolkit.folderTitles, (std::vector<std::string>{"Select Destination Path", "Select Default Volume Path",
                                                                 "Select Default Volume Path"}));
    ASSERT_EQ(s->toolkit.fileRequests.size(), 2u);
    EXPECT_EQ(f.txtPath, "/chosen/out");
    EXPECT_EQ(f.txtDefSearchPath, "/chosen/start");
    EXPECT_EQ(f.txtExtractPath, "/chosen/extract");
    // The dialog opens where the extractor is, offering its name.
    const OpenFileRequest& asked = s->toolkit.fileRequests.front();
    EXPECT_EQ(asked.title, "Locate Extract");
    EXPECT_EQ(asked.folder, BinDir());
    EXPECT_EQ(asked.suggested, "extract");
}

// On Linux the game runs under Wine, its volumes in a hidden prefix the
// folder list does not show: each drive of the user's prefixes is in the
// drive list beside "/", $WINEPREFIX first, and remembers the folder it
// showed last as any drive does.
TEST(MainFormWineDrives, EachDriveOfTheUsersPrefixesIsOnePickAway)
{
    namespace fs = std::filesystem;
    TempDir dir;
    // ~/.wine as Wine makes it: c: its drive_c, z: the root, and a serial
    // port that is no drive.
    fs::create_directories(dir / "home/.wine/drive_c/Dynamix");
    fs::create_directories(dir / "home/.wine/dosdevices");
    fs::create_symlink("../drive_c", dir / "home/.wine/dosdevices/c:");
    fs::create_symlink("/", dir / "home/.wine/dosdevices/z:");
    fs::create_symlink("/dev/ttyS0", dir / "home/.wine/dosdevices/com1");
    // Another prefix, named in $WINEPREFIX, with a d: leading elsewhere.
    fs::create_directories(dir / "games/pfx/drive_c");
    fs::create_directories(dir / "games/pfx/dosdevices");
    fs::create_directories(dir / "disc");
    fs::create_symlink("../drive_c", dir / "games/pfx/dosdevices/c:");
    fs::create_symlink(dir / "disc", dir / "games/pfx/dosdevices/d:");
    fs::create_directories(dir / "start");
    ScopedEnv env;
    env.Set("HOME", dir / "home");
    env.Set("WINEPREFIX", dir / "games/pfx");
    ScriptedSink sink;
    auto s = StartForm(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + ToolPath("extract") + "\nStart=" +
                                            dir / "start" + "\n"));
    ASSERT_TRUE(s->loaded);
    MainForm& f = *s->form;
    auto real = [](const std::string& p) { return fs::canonical(p).string(); };
    const std::vector<std::string> wine = {real(dir / "games/pfx/drive_c"), real(dir / "disc"),
                                           real(dir / "home/.wine/drive_c")};
    ASSERT_GE(f.drvMain.items.size(), 4u);
    EXPECT_EQ(f.drvMain.items[0], "/");
    EXPECT_EQ(std::vector<std::string>(f.drvMain.items.begin() + 1, f.drvMain.items.begin() + 4), wine);
    // Shown by their letters, the prefix named where it is not ~/.wine.
    const std::string other = " (wine " + dir / "games/pfx" + ")";
    EXPECT_EQ((std::vector<std::string>{f.drvMain.Label(0), f.drvMain.Label(1), f.drvMain.Label(2), f.drvMain.Label(3)}),
              (std::vector<std::string>{"/", "c:" + other, "d:" + other, "c: (wine)"}));
    EXPECT_EQ(f.drvMain.Text(), "/");

    // Picked, a drive shows its folder; back on it, the folder it showed last.
    auto pick = [&f](const std::string& drive) {
        const auto at = std::find(f.drvMain.items.begin(), f.drvMain.items.end(), drive);
        ASSERT_NE(at, f.drvMain.items.end()) << drive;
        f.drvMain.index = int(at - f.drvMain.items.begin());
        f.drvMain_Change();
    };
    pick(wine[2]);
    EXPECT_EQ(f.DirPath(), wine[2]);
    f.dirMain_Open(int(f.dirMain.Entries().size()) - 1);
    EXPECT_EQ(f.DirPath(), wine[2] + "/Dynamix");
    pick("/");
    EXPECT_EQ(f.DirPath(), real(dir / "start"));
    pick(wine[2]);
    EXPECT_EQ(f.DirPath(), wine[2] + "/Dynamix");
    EXPECT_TRUE(sink.texts.empty());
}

} // namespace
