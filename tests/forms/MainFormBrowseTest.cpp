// Browsing folders and volumes, the volume menu and Properties, on the
// main form without a window.
#include "support/FormSupport.h"
#include "support/ScopedEnv.h"
#include "support/VolumeBytes.h"
#include "volume/clsVOLReader.h"

#include <gtest/gtest.h>

#include <filesystem>

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
        MakeVolume(At(dir, "vols/First.vol"), {"zeta.cs", "Alpha.cs", "beta\\gamma.cs", "", "mid.cs"});
        // Header 20 + two blocks of 8 + 38 = PVOL 100; VOLS 10; VOLI 34.
        WriteVolume(dir / "vols/Hundred.vol", {{"a.cs", std::string(38, 'a')}, {"b.cs", std::string(38, 'b')}});
        MakeVolume(dir / "vols/Second.VOL", {"only.cs"});
        WriteFile(dir / "vols/Broken.vol", "PVOX not a volume");
        WriteFile(dir / "vols/notes.txt", "");
        WriteFile(dir / "vols/sub/inner.vol", "");
        s = StartForm(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + Extractor() + "\nStart=" + At(dir, "vols") + "\n"));
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
    // Folders compared as the disk does: on Windows, whatever the case.
    const std::string vols = Shown(Real(At(dir, "vols")));
    Click("Second.VOL");
    f.dirMain_Open(int(f.dirMain.Entries().size()) - 1);
    EXPECT_EQ(Shown(f.filVolumes.Path()), vols + kSep + "sub");
    EXPECT_EQ(f.filVolumes.Names(), std::vector<std::string>{"inner.vol"});
    EXPECT_EQ(Names(f.lstData), std::vector<std::string>{"only.cs"});
    // Up the chain again: the entry of the parent folder.
    f.dirMain_Open(f.dirMain.CurrentRow() - 1);
    EXPECT_EQ(Shown(f.DirPath()), vols);
    // The chain's first entry is the root.
    f.dirMain_Open(0);
    EXPECT_EQ(Shown(f.DirPath()), RootOf(vols));
    EXPECT_EQ(f.drvMain.Text(), RootOf(dir.Path())); // as the system names its drives
}

TEST_F(MainFormBrowse, TheVolumeMenuShowsPropertiesOfAVolumeOnly)
{
    MainForm& f = *s->form;
    // A right click at the pointer, with a volume selected only; the menu
    // key's route is the window tests'.
    for (const bool right : {false, true}) {
        for (const bool selected : {false, true}) {
            s->toolkit.menuPlaces.clear();
            Click(selected ? "Second.VOL" : "");
            f.filVolumes_MouseDown(right);
            EXPECT_EQ(s->toolkit.menuPlaces, right && selected ? std::vector{MenuPlace::Pointer} : std::vector<MenuPlace>{})
                << right << selected;
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
    const std::string vols = Real(At(dir, "vols"));
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
        EXPECT_EQ(sink.texts, std::vector<std::string>{Shown(vols + kSep + volume) + message});
    }
}

TEST_F(MainFormBrowse, PickersFillTheirBoxesUnlessCancelled)
{
    MainForm& f = *s->form;
    const std::string before = f.txtExtractPath;
    // A folder chosen goes into its box as a message would show it; the
    // extractor chosen as it came.
    const auto [out, outShown, start, startShown, extractor] =
        kWindows ? std::make_tuple("D:\\Games\\Tribes", "d:\\games\\tribes", "C:\\Dynamix\\Base", "c:\\dynamix\\base",
                                   "c:\\tools\\extract.exe")
                 : std::make_tuple("/Chosen/Out", "/Chosen/Out", "/Chosen/Start", "/Chosen/Start", "/chosen/extract");
    s->toolkit.folders = {out, "", start};
    s->toolkit.files = {std::nullopt, std::string(extractor)};
    f.cmdBrowse_Click();
    f.cmdDefSearchBrowse_Click(); // cancelled
    f.cmdDefSearchBrowse_Click();
    f.cmdExtractBrowse_Click(); // cancelled
    EXPECT_EQ(f.txtExtractPath, before);
    f.cmdExtractBrowse_Click();
    EXPECT_EQ(s->toolkit.folderTitles, (std::vector<std::string>{"Select Destination Path", "Select Default Volume Path",
                                                                 "Select Default Volume Path"}));
    ASSERT_EQ(s->toolkit.fileRequests.size(), 2u);
    EXPECT_EQ(f.txtPath, outShown);
    EXPECT_EQ(f.txtDefSearchPath, startShown);
    EXPECT_EQ(f.txtExtractPath, extractor);
    // The dialog opens where the extractor is, offering its name; on
    // Windows it offers programs first.
    const OpenFileRequest& asked = s->toolkit.fileRequests.front();
    EXPECT_EQ(asked.title, "Locate Extract");
    EXPECT_EQ(Shown(asked.folder), Shown(std::filesystem::path(Extractor()).parent_path().string()));
    EXPECT_EQ(asked.suggested, kWindows ? "extract.exe" : "extract");
    if (kWindows) {
        std::string filter;
        for (const FileFilter& each : asked.filters)
            filter += (filter.empty() ? "" : "|") + each.label + "|" + each.patterns;
        EXPECT_EQ(filter, "Executable Files (*.exe)|*.exe|All Files (*.*)|*.*");
        EXPECT_EQ(asked.defaultSuffix, "exe");
    }
}

// The drives of the user's prefixes (which and how labelled is
// WineDrivesTest's) stand beside "/", and each remembers the folder it showed last.
TEST(MainFormWineDrives, EachDriveIsOnePickAwayAndKeepsItsFolder)
{
    namespace fs = std::filesystem;
    TempDir dir;
    MakeWinePrefix(dir / "home/.wine");
    fs::create_directories(dir / "home/.wine/drive_c/Dynamix");
    fs::create_directories(dir / "start");
    ScopedEnv env;
    env.Set("HOME", dir / "home");
    env.Unset("WINEPREFIX");
    ScriptedSink sink;
    auto s = StartForm(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + ToolPath("extract") + "\nStart=" +
                                            dir / "start" + "\n"));
    ASSERT_TRUE(s->loaded);
    MainForm& f = *s->form;
    const std::string c = fs::canonical(dir / "home/.wine/drive_c").string();
    ASSERT_GE(f.drvMain.items.size(), 2u); // other drive roots of the system follow
    EXPECT_EQ(std::vector(f.drvMain.items.begin(), f.drvMain.items.begin() + 2), (std::vector<std::string>{"/", c}));
    EXPECT_EQ(f.drvMain.Label(1), "c: (wine)");
    EXPECT_EQ(f.drvMain.Text(), "/");
    auto pick = [&f](int drive) {
        f.drvMain.index = drive;
        f.drvMain_Change();
    };
    pick(1);
    EXPECT_EQ(f.DirPath(), c);
    f.dirMain_Open(int(f.dirMain.Entries().size()) - 1);
    EXPECT_EQ(f.DirPath(), c + "/Dynamix");
    pick(0);
    EXPECT_EQ(f.DirPath(), fs::canonical(dir / "start").string());
    pick(1);
    EXPECT_EQ(f.DirPath(), c + "/Dynamix");
    EXPECT_TRUE(sink.texts.empty());
}

} // namespace
