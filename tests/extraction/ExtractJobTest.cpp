// The extraction job on a pretend Windows disk: every check, event and path
// rule, with a pretend extractor that writes the file its command line names.
#include "extraction/clsExtract.h"
#include "platform/os/CommandLine.h"
#include "support/FakeDisk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace tarnwick;
using tarnwick::test::FakeDisk;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

struct Event {
    char kind; // 'p' percent, 'e' error
    int number;
    std::string text;
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Event& e)
{
    return os << e.kind << "(" << e.number << ", " << e.text << ")";
}

Event P(int v, std::string t) { return {'p', v, std::move(t)}; }
Event E(int n, std::string t) { return {'e', n, std::move(t)}; }

class ExtractJob : public ::testing::Test {
protected:
    ExtractJob() : job(PathStyle::Windows, Hooks())
    {
        disk.AddFile("C:\\Games\\Base.vol", "PVOL");
        disk.AddFile("C:\\Tools\\extract.exe", "exe");
        disk.AddFolder("D:\\out");
        job.E_Percent = [this](std::int16_t v, const std::string& f) { events.push_back(P(v, f)); };
        job.E_Error = [this](std::int16_t n, const std::string& m) { events.push_back(E(n, m)); };
        job.AskOverwrite = [this](const std::string& q) {
            questions.push_back(q);
            return answer;
        };
        job.SetClipboardText = [this](const std::string& t) { clipboard.push_back(t); };
        job.SetVOLPath("C:\\Games\\Base.vol");
        job.SetDestinationPath("D:\\out");
        job.SetExtractPath("C:\\Tools\\extract.exe");
    }

    clsExtract::Hooks Hooks()
    {
        clsExtract::Hooks h;
        h.IsPlainFile = [this](const std::string& p) { return disk.IsFile(p); };
        h.PlainExists = [this](const std::string& p) { return disk.Exists(p); };
        h.IsPlainFolder = [this](const std::string& p) { return disk.IsFolder(p); };
        h.CreateFolder = [this](const std::string& p) { return disk.CreateFolder(p); };
        h.DeleteFile = [this](const std::string& p) { return disk.DeleteFile(p); };
        h.RenameFile = [this](const std::string& a, const std::string& b) { return disk.RenameFile(a, b); };
        h.StartProcessHidden = [this](const std::string& line) -> std::int64_t {
            commandLines.push_back(line);
            if (!startWorks)
                return 0;
            // The arguments exactly as the extractor would receive them.
            const auto args = os::SplitWindowsCommandLine(line);
            if (extractorWrites && args.size() >= 4)
                disk.AddFile(args.back(), "new:" + args[2]);
            return 42;
        };
        h.WaitForProcess = [this](std::int64_t) {
            ++waits;
            return 0;
        };
        h.ProgramFolder = [] { return std::string("C:\\Program Files\\Tarnwick"); };
        h.ExtractorFileName = [] { return std::string("extract.exe"); };
        return h;
    }

    std::vector<int> Percentages() const
    {
        std::vector<int> out;
        for (const Event& e : events)
            if (e.kind == 'p')
                out.push_back(e.number);
        return out;
    }

    FakeDisk disk;
    clsExtract job;
    std::vector<Event> events;
    std::vector<std::string> questions, clipboard, commandLines;
    MsgAnswer answer = MsgAnswer::Yes;
    bool startWorks = true;
    bool extractorWrites = true;
    int waits = 0;
};

TEST_F(ExtractJob, OneNameGivesTheFourEvents)
{
    job.Extract({}, "a");
    EXPECT_THAT(events, ElementsAre(P(0, "Initializing..."), P(0, "a"), P(100, "a"), P(100, "Complete")));
    EXPECT_TRUE(disk.IsFile("D:\\out\\a"));
    EXPECT_EQ(waits, 1);
}

TEST_F(ExtractJob, PercentagesRoundHalfToEven)
{
    job.Extract({}, "a,b,c");
    EXPECT_THAT(events, ElementsAre(P(0, "Initializing..."), P(0, "a"), P(33, "a"), P(67, "b"), P(100, "c"),
                                    P(100, "Complete")));
    events.clear();
    job.SetOverwrite(true);
    job.Extract({}, "1,2,3,4,5,6,7,8");
    EXPECT_THAT(Percentages(), ElementsAre(0, 0, 12, 25, 38, 50, 62, 75, 88, 100, 100));
    EXPECT_EQ(PercentDone(200, 400), 50);
    EXPECT_EQ(PercentDone(400, 400), 100);
}

TEST_F(ExtractJob, MoreThan32767NamesDoNotOverflow)
{
    std::string list;
    const int n = 40000;
    for (int i = 0; i < n; ++i)
        list += (i ? ",f" : "f") + std::to_string(i);
    extractorWrites = false;
    job.Extract({}, list);
    const auto p = Percentages();
    ASSERT_EQ(p.size(), static_cast<std::size_t>(n + 3));
    EXPECT_TRUE(std::is_sorted(p.begin(), p.end()));
    EXPECT_EQ(p[2 + 19999], 50); // the 20,000th file
    EXPECT_EQ(p.back(), 100);
    EXPECT_EQ(waits, n);
}

TEST_F(ExtractJob, ChecksFailInOrderAndTouchNothing)
{
    struct Case {
        std::string volume, list, destination, extractor;
        Event expected;
    };
    const Case cases[] = {
        {"C:\\Games\\Missing.VOL", "a", "D:\\out", "C:\\Tools\\extract.exe",
         E(1, "c:\\games\\missing.vol is not a valid path to a Starsiege: Tribes 1.X volume (*.vol) file.")},
        {"C:\\Games", "a", "D:\\out", "C:\\Tools\\extract.exe",
         E(1, "c:\\games is not a valid path to a Starsiege: Tribes 1.X volume (*.vol) file.")},
        {"C:\\Games\\Base.vol", "", "D:\\out", "C:\\Tools\\extract.exe",
         E(2, "No files were specified to extract from volume c:\\games\\base.vol.")},
        {"C:\\Games\\Base.vol", "a", "D:\\Nowhere", "C:\\Tools\\extract.exe",
         E(3, "d:\\nowhere is an invalid directory.")},
        {"C:\\Games\\Base.vol", "a", "D:\\out", "C:\\Tools\\Gone.exe",
         E(3, "c:\\program files\\tarnwick\\extract.exe was not found.  Unable to extract files.")},
    };
    for (const Case& c : cases) {
        events.clear();
        clsExtract fresh(PathStyle::Windows, Hooks());
        fresh.E_Percent = job.E_Percent;
        fresh.E_Error = job.E_Error;
        fresh.SetVOLPath("x"); // the arguments win over the properties
        const auto before = disk.Snapshot();
        fresh.Extract(c.volume, c.list, c.destination, c.extractor);
        EXPECT_THAT(events, ElementsAre(c.expected)) << c.expected.text;
        EXPECT_EQ(disk.Snapshot(), before);
    }
    EXPECT_THAT(commandLines, IsEmpty());
}

TEST_F(ExtractJob, FallsBackToTheExtractorBesideTheProgram)
{
    disk.AddFile("C:\\Program Files\\Tarnwick\\extract.exe", "exe");
    job.SetExtractPath("");
    job.Extract({}, "a");
    EXPECT_EQ(job.ExtractPath(), "C:\\Program Files\\Tarnwick\\extract.exe");
    ASSERT_EQ(commandLines.size(), 1u);
    EXPECT_EQ(commandLines[0], "\"C:\\Program Files\\Tarnwick\\extract.exe\" \"C:\\Games\\Base.vol\" a \"D:\\out\\a\"");
}

TEST_F(ExtractJob, RecreatesFoldersOrFlattens)
{
    job.SetRecreateStructure(true);
    job.Extract({}, "scripts\\ai\\bot.cs");
    EXPECT_TRUE(disk.IsFolder("D:\\out\\scripts\\ai"));
    EXPECT_TRUE(disk.IsFile("D:\\out\\scripts\\ai\\bot.cs"));
    EXPECT_THAT(disk.Created(), ElementsAre("D:\\out\\scripts", "D:\\out\\scripts\\ai"));
    job.SetRecreateStructure(false);
    job.Extract({}, "scripts\\ai\\bot.cs");
    EXPECT_TRUE(disk.IsFile("D:\\out\\bot.cs"));
    ASSERT_EQ(commandLines.size(), 2u);
    EXPECT_EQ(commandLines[0], "\"C:\\Tools\\extract.exe\" \"C:\\Games\\Base.vol\" scripts\\ai\\bot.cs "
                               "\"D:\\out\\scripts\\ai\\bot.cs\"");
    EXPECT_EQ(commandLines[1], "\"C:\\Tools\\extract.exe\" \"C:\\Games\\Base.vol\" scripts\\ai\\bot.cs \"D:\\out\\bot.cs\"");
    EXPECT_EQ(clipboard, commandLines);
}

TEST_F(ExtractJob, DestinationWithATrailingBackslashGetsASecond)
{
    job.Extract("", "a.cs", "D:\\out\\");
    ASSERT_EQ(commandLines.size(), 1u);
    EXPECT_THAT(commandLines[0], ::testing::EndsWith("\"D:\\out\\\\a.cs\""));
}

TEST_F(ExtractJob, OverwritePromptAnsweredNoLeavesEverything)
{
    disk.AddFile("D:\\out\\a.cs", "old");
    answer = MsgAnswer::No;
    job.Extract({}, "a.cs");
    EXPECT_THAT(questions, ElementsAre("d:\\out\\a.cs already exists.  Overwrite?"));
    EXPECT_EQ(disk.Contents("D:\\out\\a.cs"), "old");
    EXPECT_THAT(commandLines, IsEmpty());
    EXPECT_THAT(clipboard, IsEmpty());
    EXPECT_THAT(Percentages(), ElementsAre(0, 0, 100, 100));
}

TEST_F(ExtractJob, OverwriteReplacesWithOrWithoutThePrompt)
{
    disk.AddFile("D:\\out\\a.cs", "old");
    job.Extract({}, "a.cs"); // answered Yes
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(disk.Contents("D:\\out\\a.cs"), "new:a.cs");
    disk.AddFile("D:\\out\\a.cs", "old");
    job.SetOverwrite(true);
    job.Extract({}, "a.cs");
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(disk.Contents("D:\\out\\a.cs"), "new:a.cs");
    // Nothing kept aside is left over once the new file arrived.
    const auto all = disk.Snapshot();
    for (const auto& [key, bytes] : all)
        EXPECT_EQ(key.find("old"), std::string::npos) << key;
}

TEST_F(ExtractJob, OldFileComesBackWhenTheExtractorProducesNothing)
{
    disk.AddFile("D:\\out\\a.cs", "old");
    const auto before = disk.Snapshot();
    job.SetOverwrite(true);
    extractorWrites = false;
    job.Extract({}, "a.cs");
    EXPECT_EQ(disk.Contents("D:\\out\\a.cs"), "old");
    EXPECT_EQ(disk.Snapshot(), before) << "nothing left beside the file";
}

TEST_F(ExtractJob, OldFileComesBackWhenTheExtractorCannotStart)
{
    disk.AddFile("D:\\out\\a.cs", "old");
    job.SetOverwrite(true);
    startWorks = false;
    job.Extract({}, "a.cs,b.cs");
    EXPECT_EQ(disk.Contents("D:\\out\\a.cs"), "old");
    EXPECT_THAT(events,
                ElementsAre(P(0, "Initializing..."), P(0, "a.cs"),
                            E(4, "Unable to shell \"c:\\tools\\extract.exe\" \"c:\\games\\base.vol\" a.cs \"d:\\out\\a.cs\" correctly."),
                            P(50, "a.cs"),
                            E(4, "Unable to shell \"c:\\tools\\extract.exe\" \"c:\\games\\base.vol\" b.cs \"d:\\out\\b.cs\" correctly."),
                            P(100, "b.cs"), P(100, "Complete")));
}

TEST_F(ExtractJob, NamesThatWouldLeaveTheDestinationAreRefused)
{
    job.SetRecreateStructure(true);
    const std::vector<std::string> hostile = {"..\\evil.cs", "a\\..\\..\\evil.cs", "\\evil.cs", "C:\\evil.cs",
                                              "c:evil.cs",   "a\\...\\evil.cs",    "/evil.cs",  "a/../../evil.cs"};
    for (const std::string& name : hostile) {
        events.clear();
        job.Extract({}, name + ",ok.cs");
        ASSERT_EQ(events.size(), 6u) << name;
        EXPECT_EQ(events[2].kind, 'e') << name;
        EXPECT_EQ(events[2].number, 5) << name;
        EXPECT_NE(events[2].text.find(ShownPath(name, PathStyle::Windows)), std::string::npos) << events[2].text;
        EXPECT_EQ(events[3], P(50, name));
    }
    // Only the harmless name ever reached the extractor.
    for (const std::string& line : commandLines)
        EXPECT_THAT(line, ::testing::HasSubstr(" ok.cs "));
    EXPECT_FALSE(disk.IsFile("D:\\evil.cs"));
    EXPECT_FALSE(disk.IsFile("C:\\evil.cs"));
    // A flattened name keeps only its last piece, which is harmless.
    job.SetRecreateStructure(false);
    events.clear();
    job.Extract({}, "..\\flat.cs");
    EXPECT_TRUE(disk.IsFile("D:\\out\\flat.cs"));
}

TEST_F(ExtractJob, FolderAndFileTroubleIsReportedAndTheJobGoesOn)
{
    job.SetRecreateStructure(true);
    disk.DenyCreate("D:\\out\\locked");
    job.Extract({}, "locked\\a.cs,b.cs");
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[2], E(6, "Unable to create the folder d:\\out\\locked for locked\\a.cs."));
    EXPECT_TRUE(disk.IsFile("D:\\out\\b.cs"));

    events.clear();
    disk.AddFile("D:\\out\\c.cs", "old");
    disk.DenyRename("D:\\out\\c.cs");
    job.SetOverwrite(true);
    job.Extract({}, "c.cs");
    EXPECT_EQ(events[2].number, 6);
    EXPECT_EQ(disk.Contents("D:\\out\\c.cs"), "old");
    EXPECT_EQ(Percentages().back(), 100);
}

TEST_F(ExtractJob, AJobReleasedFromItsHandlerStopsAtOnce)
{
    auto owned = std::make_unique<clsExtract>(PathStyle::Windows, Hooks());
    int heard = 0;
    owned->SetVOLPath("C:\\Games\\Base.vol");
    owned->SetDestinationPath("D:\\out");
    owned->SetExtractPath("C:\\Tools\\extract.exe");
    owned->E_Percent = [&](std::int16_t, const std::string&) {
        if (++heard == 3)
            owned.reset();
    };
    clsExtract* raw = owned.get();
    raw->Extract({}, "a,b,c");
    EXPECT_EQ(heard, 3);
    EXPECT_EQ(commandLines.size(), 1u);
}

} // namespace
