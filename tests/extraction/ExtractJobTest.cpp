// The job on a pretend Windows disk, with an extractor that writes what it is told.
#include "extraction/FailureSummary.h"
#include "extraction/clsExtract.h"
#include "os/CommandLine.h"
#include "support/FakeDisk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <tuple>

using namespace tarnwick;
using tarnwick::test::FakeDisk;
using ::testing::ElementsAre;

namespace {

// {percent, text} for E_Percent, {-number, message} for E_Error.
using Event = std::pair<int, std::string>;
Event P(int v, std::string t) { return {v, std::move(t)}; }
Event E(int n, std::string t) { return {-n, std::move(t)}; }

class ExtractJob : public ::testing::Test {
protected:
    ExtractJob()
    {
        disk.AddFile("C:\\Games\\Base.vol", "PVOL");
        disk.AddFile("C:\\Tools\\extract.exe", "exe");
        disk.AddFolder("D:\\out");
        Wire(job);
        job.E_Percent = [this](std::int16_t v, const std::string& f) { events.push_back(P(v, f)); };
        job.E_Error = [this](std::int16_t n, const std::string& m) { events.push_back(E(n, m)); };
        job.AskOverwrite = [this](const std::string& q) { return questions.push_back(q), answer; };
        job.SetClipboardText = [this](const std::string& t) { clipboard.push_back(t); };
    }
    static void Wire(clsExtract& j)
    {
        j.SetVOLPath("C:\\Games\\Base.vol");
        j.SetDestinationPath("D:\\out");
        j.SetExtractPath("C:\\Tools\\extract.exe");
    }

    OsServices Services()
    {
        OsServices h;
        h.IsPlainFile = [this](const std::string& p) { return disk.IsFile(p); };
        h.PlainExists = [this](const std::string& p) { return disk.Exists(p); };
        h.IsPlainFolder = [this](const std::string& p) { return disk.IsFolder(p); };
        h.CreateFolder = [this](const std::string& p) { return disk.CreateFolder(p); };
        h.DeleteFile = [this](const std::string& p) { return disk.DeleteFile(p); };
        h.RenameFile = [this](const std::string& a, const std::string& b) { return disk.RenameFile(a, b); };
        h.StartProcessHidden = [this](const std::string& line, bool) -> std::int64_t {
            commandLines.push_back(line);
            // The arguments exactly as the extractor would receive them.
            const auto args = os::SplitWindowsCommandLine(line);
            if (startWorks && args.size() >= 4)
                disk.AddFile(args.back(), "new:" + args[2]);
            return startWorks ? 42 : 0;
        };
        h.WaitForProcess = [](std::int64_t, std::string*) { return 0; };
        h.ProgramFolder = [] { return std::string("C:\\Program Files\\Tarnwick"); };
        h.DefaultExtractorPath = [](const std::string& f) { return f + "\\extract.exe"; };
        // The pretend disk has no links: a path resolves to its clean spelling.
        h.RealPath = [](const std::string& p) { return FakeDisk::Key(p); };
        return h;
    }

    FakeDisk disk;
    clsExtract job{PathStyle::Windows, Services()};
    std::vector<Event> events;
    std::vector<std::string> questions, clipboard, commandLines;
    MsgAnswer answer = MsgAnswer::Yes;
    bool startWorks = true;
};

TEST_F(ExtractJob, ProgressCountsEveryNameAndRoundsHalfToEven)
{
    job.Extract({}, "a,b,c");
    EXPECT_THAT(events, ElementsAre(P(0, "Initializing..."), P(0, "a"), P(33, "a"), P(67, "b"), P(100, "c"),
                                    P(100, "Complete")));
    for (const auto& [done, shown] : {std::pair{1, 12}, {3, 38}, {5, 62}, {8, 100}})
        EXPECT_EQ(PercentDone(done, 8), shown) << done;
}

TEST_F(ExtractJob, ChecksFailInOrderAndTouchNothing)
{
    const std::string vol = "C:\\Games\\Base.vol", exe = "C:\\Tools\\extract.exe", out = "D:\\out";
    const std::pair<std::array<std::string, 4>, Event> cases[] = {
        {{"C:\\Games\\Missing.VOL", "a", out, exe},
         E(1, "c:\\games\\missing.vol is not a valid path to a Starsiege: Tribes 1.X volume (*.vol) file.")},
        {{vol, "", out, exe}, E(2, "No files were specified to extract from volume c:\\games\\base.vol.")},
        {{vol, "a", "D:\\Nowhere", exe}, E(3, "d:\\nowhere is an invalid directory.")},
        {{vol, "a", out, "C:\\Tools\\Gone.exe"},
         E(3, "c:\\program files\\tarnwick\\extract.exe was not found.  Unable to extract files.")},
    };
    for (const auto& [args, expected] : cases) {
        events.clear();
        job.SetVOLPath("x"); // the arguments win over the properties
        const auto before = disk.Snapshot();
        job.Extract(args[0], args[1], args[2], args[3]);
        EXPECT_THAT(events, ElementsAre(expected));
        EXPECT_EQ(disk.Snapshot(), before);
    }
    EXPECT_TRUE(commandLines.empty());
}

TEST_F(ExtractJob, RecreatesFoldersWithTheExtractorBesideTheProgram)
{
    disk.AddFile("C:\\Program Files\\Tarnwick\\extract.exe", "exe");
    job.SetExtractPath("");
    job.SetRecreateStructure(true);
    job.Extract({}, "scripts\\ai\\bot.cs");
    EXPECT_THAT(disk.Created(), ElementsAre("D:\\out\\scripts", "D:\\out\\scripts\\ai"));
    EXPECT_EQ(disk.Contents("D:\\out\\scripts\\ai\\bot.cs"), "new:scripts\\ai\\bot.cs");
    EXPECT_THAT(commandLines, ElementsAre("\"C:\\Program Files\\Tarnwick\\extract.exe\" \"C:\\Games\\Base.vol\" "
                                          "scripts\\ai\\bot.cs \"D:\\out\\scripts\\ai\\bot.cs\""));
    EXPECT_EQ(clipboard, commandLines);
}

TEST_F(ExtractJob, OverwritePromptDecidesUnlessOverwriteIsSet)
{
    const std::tuple<MsgAnswer, bool, std::size_t, std::string> cases[] = {
        {MsgAnswer::Yes, false, 1, "new:a.cs"}, {MsgAnswer::No, false, 1, "old"},
        {MsgAnswer::Cancel, false, 1, "old"},   {MsgAnswer::No, true, 0, "new:a.cs"}};
    for (const auto& [reply, overwrite, asked, after] : cases) {
        disk.AddFile("D:\\out\\a.cs", "old");
        const std::size_t entries = disk.Snapshot().size();
        events.clear(), questions.clear(), commandLines.clear();
        answer = reply;
        job.SetOverwrite(overwrite);
        job.Extract({}, "a.cs");
        EXPECT_EQ(questions, std::vector<std::string>(asked, "d:\\out\\a.cs already exists.  Overwrite?"));
        EXPECT_EQ(disk.Contents("D:\\out\\a.cs"), after);
        EXPECT_EQ(commandLines.size(), after == "old" ? 0u : 1u);
        EXPECT_EQ(disk.Snapshot().size(), entries) << "a kept-aside copy was left behind";
    }
}

TEST_F(ExtractJob, TroubleWithOneNameIsReportedKeepsTheOldFileAndTheRestGoOn)
{
    const std::pair<std::function<void()>, Event> cases[] = {
        {[&] { job.SetRecreateStructure(true); disk.DenyCreate("D:\\out\\locked"); },
         E(6, "Unable to create the folder d:\\out\\locked for locked\\a.cs.")},
        {[&] { job.SetRecreateStructure(false); startWorks = false; },
         E(4, "Unable to shell \"c:\\tools\\extract.exe\" \"c:\\games\\base.vol\" locked\\a.cs \"d:\\out\\a.cs\" correctly.")},
        {[&] { disk.DenyRename("D:\\out\\a.cs"); }, E(6, "Unable to replace d:\\out\\a.cs: the existing file cannot be moved.")},
    };
    job.SetOverwrite(true);
    disk.AddFile("D:\\out\\a.cs", "old");
    for (const auto& [setUp, expected] : cases) {
        events.clear();
        setUp();
        job.Extract({}, "locked\\a.cs,b.cs");
        ASSERT_GE(events.size(), 3u);
        EXPECT_EQ(events[2], expected);
        EXPECT_EQ(events.end()[-2], P(100, "b.cs"));
        EXPECT_EQ(disk.Contents("D:\\out\\a.cs"), "old");
        EXPECT_EQ(disk.DeleteFile("D:\\out\\b.cs"), startWorks);
    }
}

TEST_F(ExtractJob, NoLibraryOrProgramIsPlantedInTheProgramsFolder)
{
    disk.AddFolder("C:\\Program Files\\Tarnwick");
    job.SetDestinationPath("c:\\program files\\TARNWICK\\");
    job.SetRecreateStructure(true);
    job.SetNames({"Qt6Core.DLL", "run.exe", "CAIRNIX.INI", "readme.txt", "sub\\evil.dll"});
    job.Extract();
    std::vector<std::string> refused;
    for (const auto& [n, m] : events)
        if (n < 0)
            refused.push_back(std::to_string(n) + m.substr(0, m.find(':')));
    EXPECT_THAT(refused, ElementsAre("-8Unable to extract Qt6Core.DLL", "-8Unable to extract run.exe",
                                     "-8Unable to extract CAIRNIX.INI"));
    EXPECT_TRUE(disk.IsFile("C:\\Program Files\\Tarnwick\\readme.txt"));
    EXPECT_TRUE(disk.IsFile("C:\\Program Files\\Tarnwick\\sub\\evil.dll")) << "only the folder itself is guarded";
}

// On a Windows disk these names would reach a device, another entry's file or
// a hidden stream: each is refused before anything is made for it, and the
// user learns which; the rest of the list goes on.
TEST_F(ExtractJob, NamesAWindowsDiskCannotHoldAreRefusedBeforeAnythingIsMade)
{
    job.SetRecreateStructure(true);
    job.SetNames({"nul.cs", "scripts\\lpt1.txt", "COM1", "con\\a.cs", "a.cs.", "b.cs ", "dir.\\c.cs", "a.cs:evil",
                  "q?.cs", "tab\there.cs", "a.cs"});
    job.Extract();
    std::vector<std::string> refused;
    for (const auto& [n, m] : events)
        if (n < 0)
            refused.push_back(std::to_string(n) + " " + m);
    EXPECT_THAT(refused,
                ElementsAre("-5 Unable to extract nul.cs: the name \"nul.cs\" names a device on Windows.",
                            "-5 Unable to extract scripts\\lpt1.txt: the name \"lpt1.txt\" names a device on Windows.",
                            "-5 Unable to extract com1: the name \"COM1\" names a device on Windows.",
                            "-5 Unable to extract con\\a.cs: the name \"con\" names a device on Windows.",
                            "-5 Unable to extract a.cs.: the name \"a.cs.\" ends in a dot, which Windows drops, so it "
                            "would land in another file.",
                            "-5 Unable to extract b.cs : the name \"b.cs \" ends in a blank, which Windows drops, so it "
                            "would land in another file.",
                            "-5 Unable to extract dir.\\c.cs: the name \"dir.\" ends in a dot, which Windows drops, so "
                            "it would land in another file.",
                            "-5 Unable to extract a.cs:evil: the name \"a.cs:evil\" holds a colon, which Windows reads as a "
                            "hidden stream of another file.",
                            "-5 Unable to extract q?.cs: the name \"q?.cs\" holds the character ?, which Windows does "
                            "not allow in a file name.",
                            "-5 Unable to extract tab\there.cs: the name \"tab here.cs\" holds a control character, "
                            "which Windows does not allow in a file name."));
    // Only the sound name reached the extractor; no folder was made for a
    // refused one.
    ASSERT_EQ(commandLines.size(), 1u);
    EXPECT_TRUE(disk.IsFile("D:\\out\\a.cs"));
    for (const char* folder : {"D:\\out\\scripts", "D:\\out\\con", "D:\\out\\dir."})
        EXPECT_FALSE(disk.Exists(folder)) << folder;
}

// A 16-bit count would wrap past 32,767 names and send the bar backwards.
TEST_F(ExtractJob, MoreThan32767NamesDoNotOverflow)
{
    std::string list = "f0";
    for (int i = 1; i < 40000; ++i)
        list += ",f" + std::to_string(i);
    job.Extract({}, list);
    std::vector<int> shown;
    for (const auto& [v, text] : events)
        if (v >= 0 && text.rfind('f', 0) == 0)
            shown.push_back(v);
    ASSERT_EQ(shown.size(), 40001u); // each name before its run, the last once more after it
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_EQ(shown[20000], 50);
    EXPECT_EQ(shown.back(), 100);
}

// The progress window may close (and free the job) from inside an event.
TEST_F(ExtractJob, AJobReleasedFromItsHandlerStopsAtOnce)
{
    auto owned = std::make_unique<clsExtract>(PathStyle::Windows, Services());
    int heard = 0;
    Wire(*owned);
    owned->E_Percent = [&](std::int16_t, const std::string&) {
        if (++heard == 3)
            owned.reset();
    };
    clsExtract* raw = owned.get();
    raw->Extract({}, "a,b,c");
    EXPECT_EQ(heard, 3);
    EXPECT_EQ(commandLines.size(), 1u);
}

TEST(FailureSummary, CountsEveryFailureAndListsTheFirstTen)
{
    std::vector<std::string> failed;
    for (int i = 0; i < 12; ++i)
        failed.push_back("f" + std::to_string(i) + "\xE9");
    const std::tuple<std::size_t, PathStyle, std::string> cases[] = {
        {0, PathStyle::Posix, ""},
        {1, PathStyle::Posix, ""}, // the progress window showed that one
        {2, PathStyle::Windows, "2 of 40 files were not extracted:\nf0\xE9\nf1\xE9"},
        {12, PathStyle::Posix, "12 of 40 files were not extracted:\nf0\xC3\xA9\nf1\xC3\xA9\nf2\xC3\xA9\nf3\xC3\xA9"
                               "\nf4\xC3\xA9\nf5\xC3\xA9\nf6\xC3\xA9\nf7\xC3\xA9\nf8\xC3\xA9\nf9\xC3\xA9\n... and 2 more."},
    };
    for (const auto& [count, style, text] : cases)
        EXPECT_EQ(FailureSummary({failed.begin(), failed.begin() + static_cast<long>(count)}, 40, style), text) << count;
}

// What the extractor rebuilds from the job's line: the volume, the name (bare
// pieces joined at single blanks, or one quoted field) and the output path.
TEST(ExtractCommandLine, EveryFieldReachesTheExtractorWhole)
{
    const char* const names[] = {"a.cs",     "a b.cs",   "a\"b.cs",    "dir\\",    "x\\\"y",      "trail\\ ",
                                 "\"",       "\\\"lead", "tab\t.cs",   "back\\\\", "",            "two  blanks",
                                 " lead",    "trail ",   "caf\xE9.cs", "missions\\Broadside, Night.mis"};
    const std::pair<const char*, const char*> places[] = {
        {"C:\\Games\\Base.vol", "C:\\out"},
        {"/dl/skins\" \"pack.vol", "/home/u/my \"mods\"/"},
        {"/dl/skins\" pack.vol", "/out\\"},
    };
    for (const auto& [volume, destination] : places) {
        for (const std::string name : names) {
            const std::string out = std::string(destination) + "x\\" + name;
            const std::string line = clsExtract::CommandLine("C:\\x.exe", volume, name, out);
            const auto args = os::SplitWindowsCommandLine(line);
            ASSERT_GE(args.size(), 4u) << line;
            std::string rebuilt = args[2];
            for (std::size_t i = 3; i + 1 < args.size(); ++i)
                rebuilt += ' ' + args[i];
            EXPECT_EQ(std::tie(args[0], args[1], rebuilt, args.back()),
                      std::make_tuple("C:\\x.exe", volume, name, out)) << line;
        }
    }
    // A name the bare form carries keeps it.
    EXPECT_EQ(clsExtract::CommandLine("C:\\x.exe", "C:\\v.vol", "a b\\c.cs", "D:\\o\\c.cs"),
              "\"C:\\x.exe\" \"C:\\v.vol\" a b\\c.cs \"D:\\o\\c.cs\"");
}

} // namespace
