// tarnvol extract writes the files itself, and with --extractor runs the
// extractor once per file: both routes keep the job's rules, so a hostile or
// awkward volume leaves the same disk and the same exit status either way.
#include "os/ReplaceNames.h"
#include "support/RunTool.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <tuple>

using namespace tarnwick;
using namespace tarnwick::test;
using Args = std::vector<std::string>;

namespace {

// Every plain file below `folder` with its bytes.
std::map<std::string, std::string> Tree(const std::string& folder)
{
    std::map<std::string, std::string> tree;
    for (const std::string& f : FilesBelow(folder))
        tree[f] = ReadFile(folder + "/" + f);
    return tree;
}

struct Route {
    const char* name;
    Args options;
};

struct Case {
    const char* what;
    Files files;
    Args extra;  // options and NAMEs after VOLUME DEST
    std::function<void(const std::string& dest, const std::string& outside)> plant;
    int exitCode;
    std::map<std::string, std::string> tree; // DEST afterwards
};

} // namespace

TEST(TarnvolExtractRoutes, InProcessAndExtractorLeaveTheSameDisk)
{
    const Route routes[] = {{"in process", {}}, {"extractor", {"--extractor=" + ToolPath("extract")}}};
    const auto nothing = [](const std::string&, const std::string&) {};
    const Case cases[] = {
        {"stored case and bytes above 0x7F, whatever the NAME's case",
         {{"Gui\\Abort.GUI", "abort"}, {"scripts\\caf\xE9.cs", "coffee"}, {"x.cs", "x"}},
         {"gui/abort.gui", "SCRIPTS"}, nothing, 0,
         {{"Gui/Abort.GUI", "abort"}, {"scripts/caf\xC3\xA9.cs", "coffee"}}},
        {"a name stored twice comes from its first entry; another case is another file here",
         {{"a.cs", "first"}, {"b.cs", "b"}, {"a.cs", "second"}, {"A.CS", "third"}}, {}, nothing, 0,
         {{"a.cs", "first"}, {"b.cs", "b"}, {"A.CS", "third"}}},
        {"names that climb out are refused, the rest extracted",
         {{"..\\up.cs", "up"}, {"a\\..\\..\\up2.cs", "up"}, {"ok.cs", "ok"}, {"\\root.cs", "r"}}, {}, nothing, 1,
         {{"ok.cs", "ok"}}},
        {"a link inside DEST leads nowhere outside",
         {{"link\\x.cs", "x"}, {"y.cs", "y"}}, {},
         [](const std::string& dest, const std::string& outside) {
             std::filesystem::create_directory_symlink(outside, dest + "/link");
         },
         1, {{"y.cs", "y"}}},
        {"a file that is there is kept, unless --overwrite",
         {{"a.cs", "new"}, {"b.cs", "b"}}, {},
         [](const std::string& dest, const std::string&) { WriteFile(dest + "/a.cs", "mine"); }, 1,
         {{"a.cs", "mine"}, {"b.cs", "b"}}},
        {"--overwrite replaces it",
         {{"a.cs", "new"}}, {"--overwrite"},
         [](const std::string& dest, const std::string&) { WriteFile(dest + "/a.cs", "mine"); }, 0,
         {{"a.cs", "new"}}},
        {"the earlier copy a killed replace moved aside comes back",
         {{"a.cs", "new"}}, {},
         [](const std::string& dest, const std::string&) {
             WriteFile(ReplaceKeepName(dest + "/a.cs", PathStyle::Posix), "mine");
         },
         1, {{"a.cs", "mine"}}},
        {"a name the replacing keeps for itself is refused",
         {{"dir\\" + ReplaceKeepName("a.cs", PathStyle::Posix), "planted"}, {"dir\\a.cs", "a"}}, {}, nothing, 1,
         {{"dir/a.cs", "a"}}},
        {"--flat puts every file straight into DEST",
         {{"scripts\\ai\\bot.cs", "bot"}, {"top.cs", "top"}}, {"--flat"}, nothing, 0,
         {{"bot.cs", "bot"}, {"top.cs", "top"}}},
    };
    for (const Case& c : cases) {
        for (const Route& route : routes) {
            TempDir dir;
            const std::string volume = WriteVolume(dir / "v.vol", c.files);
            const std::string dest = MakeFolder(dir / "out"), outside = MakeFolder(dir / "outside");
            c.plant(dest, outside);
            Args line = {"extract", volume, dest};
            line.insert(line.end(), route.options.begin(), route.options.end());
            line.insert(line.end(), c.extra.begin(), c.extra.end());
            const ToolRun r = Tarnvol(line);
            EXPECT_EQ(r.exitCode, c.exitCode) << c.what << " (" << route.name << "): " << r.err;
            EXPECT_EQ(Tree(dest), c.tree) << c.what << " (" << route.name << ")";
            EXPECT_TRUE(FilesBelow(outside).empty()) << c.what << " (" << route.name << ")";
        }
    }
}

// Written in this process, the files need no extractor: a tarnvol alone in
// its folder extracts them all the same, and says why when it is asked to
// run one that is missing.
TEST(TarnvolExtractRoutes, WritingInProcessNeedsNoExtractor)
{
    TempDir dir;
    const std::string alone = MakeFolder(dir / "alone") + "/tarnvol";
    std::filesystem::copy_file(ToolPath("tarnvol"), alone);
    std::filesystem::permissions(alone, std::filesystem::perms::owner_all);
    const std::string volume = WriteVolume(dir / "v.vol", {{"a\\b.cs", "bee"}});
    const ToolRun r = RunTool(alone, {"extract", volume, dir / "out"});
    EXPECT_EQ(std::make_tuple(r.exitCode, r.err), std::make_tuple(0, std::string()));
    EXPECT_EQ(ReadFile(dir / "out/a/b.cs"), "bee");
    const ToolRun missing = RunTool(alone, {"extract", "--extractor=" + dir / "alone/extract", volume, dir / "out2"});
    EXPECT_EQ(missing.exitCode, 2) << missing.err;
    EXPECT_FALSE(Exists(dir / "out2"));
}
