// The extraction job against hostile names and extractors on a real disk: no
// file may land outside the destination, and a failed replacement keeps the old.
#include "extraction/clsExtract.h"
#include "os/ReplaceNames.h"
#include "support/ChildProcess.h"
#include "support/SpecialFiles.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <tuple>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;
using namespace tarnwick::test;
namespace fs = std::filesystem;
using O = clsExtract::Outcome;
using Names = std::vector<std::string>;

namespace {

struct JobRun {
    std::map<int, int> errors; // how often each number came
    Names messages;            // "number message"
    std::map<std::string, O> outcomes;
    std::map<std::string, std::string> paths;
    int questions = 0; // overwrite prompts, each answered No
};

class HostileExtraction : public ::testing::Test {
protected:
    HostileExtraction() { Fresh(); WriteFile(volume, "PVOL"); }
    void Fresh() { fs::remove_all(dest), fs::create_directory(dest); }

    // `body` runs with $out set to the last argument, which is logged first.
    std::string Script(const std::string& name, const std::string& body)
    {
        const std::string path = root / name;
        WriteFile(path, "#!/bin/sh\nfor a in \"$@\"; do out=$a; done\nprintf '%s\\000' \"$out\" >> '" + log + "'\n" +
                            body + "\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }
    // Writes where it is told, if inside this test's folder, and always
    // claims success: the log alone then shows where files could land.
    std::string Obedient()
    {
        return Script("obedient.sh", "case \"$out\" in '" + root.Path() + "'/*) printf new > \"$out\";; esac\nexit 0");
    }

    // One run of the job into `dest`, with the names of `list` (else `names`); an existing file is always replaced.
    JobRun Extract(const std::string& extractor, const std::string& list = {})
    {
        JobRun run;
        clsExtract job(PathStyle::Posix, services);
        job.E_Error = [&](std::int16_t n, const std::string& m) {
            ++run.errors[n];
            run.messages.push_back(std::to_string(n) + " " + m);
        };
        job.E_Outcome = [&](const std::string& name, const std::string& path, O o) {
            run.outcomes[name] = o;
            run.paths[name] = path;
        };
        job.AskOverwrite = [&](const std::string&) { return ++run.questions, MsgAnswer::No; };
        job.SetRecreateStructure(recreate);
        job.SetOverwrite(overwrite);
        job.SetNames(names);
        job.Extract(volume, list, dest, extractor);
        return run;
    }

    // Each name must end as given, with a file only where one was extracted,
    // and no output path handed over may lie outside.
    void ExpectOutcomes(bool recreate, const std::vector<std::pair<std::string, O>>& expected)
    {
        std::string list;
        int refused = 0;
        for (const auto& [n, o] : expected) {
            list += (list.empty() ? "" : ",") + n;
            refused += o == O::Failed;
        }
        this->recreate = recreate;
        JobRun run = Extract(Obedient(), list);
        for (const auto& [n, o] : expected) {
            EXPECT_EQ(run.outcomes.at(n), o) << n;
            EXPECT_EQ(fs::is_regular_file(run.paths.at(n)), o == O::Extracted) << n;
        }
        EXPECT_EQ(run.errors[5], refused);
        std::istringstream in(ReadFile(log));
        for (std::string out; std::getline(in, out, '\0');)
            EXPECT_TRUE(out.rfind(dest + "/", 0) == 0 && out.find("/../") == std::string::npos) << out;
    }

    TempDir root;
    std::string dest = root / "out", log = root / "args.log";
    std::string volume = root / "any.vol"; // the extractor scripts never read it: it only has to exist
    Names names;
    bool recreate = false, overwrite = true;
    OsServices services; // the system's
};

} // namespace

TEST_F(HostileExtraction, NamesThatWouldLeaveTheDestinationAreRefusedAndFlatOnesKeepOnlyTheTitle)
{
    ExpectOutcomes(true, {{"..\\evil.cs", O::Failed}, {"\\rooted.cs", O::Failed}, {"/rooted.cs", O::Failed},
                          {"a/../../evil.cs", O::Failed}, {"C:\\drive.cs", O::Failed}, {"c:drive.cs", O::Failed},
                          {"..", O::Failed}, {"a\\..", O::Failed}, {"a\\...\\evil.cs", O::Failed},
                          {"a\\.. \\evil.cs", O::Failed}, {"good.cs", O::Extracted}});
    // A title cannot climb, unless it is itself "..".
    ExpectOutcomes(false, {{"..\\..\\up.cs", O::Extracted}, {"\\lead.cs", O::Extracted}, {"D:\\drv.cs", O::Extracted},
                           {"a\\..", O::Failed}});
    EXPECT_EQ(FilesBelow(dest), (Names{"drv.cs", "good.cs", "lead.cs", "up.cs"}));
    // Quoted by the Windows rules, quotes, blanks and control characters in a
    // name never end the output path early: the file lands where it belongs.
    Fresh();
    ExpectOutcomes(true, {{"x\" \"y.cs", O::Extracted}, {"tab\there.cs", O::Extracted}, {"line\nbreak.cs", O::Extracted},
                          {" lead.cs", O::Extracted}, {"\x01\x7f.cs", O::Extracted}, {"dir\\q\"\\end\\\\x.cs", O::Extracted}});
}

TEST_F(HostileExtraction, AnExtractorThatFailsIsReportedAndNoCopyIsLost)
{
    // The script, what stands at the output afterwards, whether the user's
    // copy is kept beside it, and part of the error 7 message.
    const std::tuple<const char*, const char*, bool, const char*> cases[] = {
        {"echo 'x.sh: keep.cs is stored with method 2' >&2; exit 3", "the user's copy", false,
         ": keep.cs is stored with method 2."},
        {"exit 0", "the user's copy", false, ": the extractor wrote no file."},
        {"printf par > \"$out\"; exit 4", "par", true, "exit code 4"},
        {"printf par > \"$out\"; kill -SEGV $$", "par", true, "exit code 139"},
    };
    for (const auto& [body, after, earlierBeside, told] : cases) {
        Fresh();
        WriteFile(dest + "/keep.cs", "the user's copy");
        const JobRun run = Extract(Script("x.sh", body), "keep.cs");
        EXPECT_EQ(run.outcomes.at("keep.cs"), O::Failed) << body;
        ASSERT_EQ(run.messages.size(), 1u) << body;
        const std::string& m = run.messages[0];
        EXPECT_TRUE(m.rfind("7 Unable to extract keep.cs: ", 0) == 0 && m.find(told) != std::string::npos) << m;
        EXPECT_EQ(ReadFile(dest + "/keep.cs"), after) << body;
        EXPECT_EQ(FilesBelow(dest), (earlierBeside ? Names{"keep.cs", "keep.cs.earlier"} : Names{"keep.cs"})) << body;
        if (earlierBeside) {
            EXPECT_EQ(ReadFile(dest + "/keep.cs.earlier"), "the user's copy") << body;
            EXPECT_NE(m.find("keep.cs.earlier"), std::string::npos) << "the report does not say where";
        }
    }
}

TEST_F(HostileExtraction, ARunKilledWhileReplacingIsPutRightByTheNextRunForThatFile)
{
    const std::string out = dest + "/keep.cs";
    // Where an earlier run keeps the user's copy and writes the new one.
    const std::string kept = dest + "/.twa05799d3df17b790.old", part = dest + "/.twa05799d3df17b790.part";
    // Killed before the new file stood: the user's copy comes back even when
    // this run fails too; killed after it: the new file stays.
    const std::tuple<bool, const char*, const char*> cases[] = {
        {false, "exit 3", "the user's copy"}, {true, "exit 3", "complete new"}, {false, "printf new > \"$out\"", "new"}};
    for (const auto& [newStands, body, after] : cases) {
        Fresh();
        WriteFile(kept, "the user's copy");
        WriteFile(part, "half of a ne");
        if (newStands)
            WriteFile(out, "complete new");
        Extract(Script("run.sh", body), "keep.cs");
        EXPECT_EQ(ReadFile(out), after) << body;
        EXPECT_EQ(FilesBelow(dest), Names{"keep.cs"}) << body;
    }
}

// A volume storing the replacing's hidden names for the entry after them:
// that entry must still arrive with its own bytes, the user is never asked
// about a file they never had, and the hidden names are refused by name.
TEST_F(HostileExtraction, AStoredNameCannotPoseAsTheReplacingsOwnFiles)
{
    const auto title = [this](const std::string& path) { return path.substr(dest.size() + 1); };
    const std::string kept = title(ReplaceKeepName(dest + "/a.cs", PathStyle::Posix));
    const std::string part = title(ReplaceTempName(dest + "/a.cs", PathStyle::Posix));
    overwrite = false;
    for (const std::string& planted : {kept, part}) {
        Fresh();
        WriteVolume(volume, {{planted, "planted"}, {"a.cs", "own"}});
        JobRun run = Extract(ToolPath("extract"), planted + ",a.cs");
        EXPECT_EQ(ReadFile(dest + "/a.cs"), "own") << planted;
        EXPECT_EQ(run.questions, 0) << planted;
        EXPECT_EQ(run.outcomes.at(planted), O::Failed) << planted;
        EXPECT_EQ(run.errors[5], 1) << planted;
        EXPECT_EQ(FilesBelow(dest), Names{"a.cs"}) << planted;
    }
}

// An entry's name taken in the destination by a FIFO, a device or a socket:
// the job goes on without opening it, says so, and leaves it as it is.
TEST_F(HostileExtraction, ASpecialFileUnderAnEntrysNameIsRefusedAndNothingWaitsForIt)
{
    WriteVolume(volume, {{"a.cs", "entry bytes"}, {"b.cs", "b"}});
    for (SpecialKind kind : AllSpecialKinds()) {
        Fresh();
        if (!MakeSpecialFile(kind, dest + "/a.cs"))
            continue; // a device node needs root
        const int code = RunInChild([&] {
            ::alarm(20);
            JobRun run = Extract(ToolPath("extract"), "a.cs,b.cs");
            return (run.outcomes["a.cs"] == O::Failed ? 0 : 1) | (run.errors[6] == 1 ? 0 : 2) |
                   (ReadFile(dest + "/b.cs") == "b" ? 0 : 4);
        });
        // An extractor left waiting on the FIFO is let go, so that no run
        // outlives the test.
        if (const int fd = ::open((dest + "/a.cs").c_str(), O_RDONLY | O_NONBLOCK); fd >= 0)
            ::close(fd);
        EXPECT_EQ(code, 0) << Describe(kind) << ": -1 the job waited on it, 1 taken as extracted, 2 not told, 4 the "
                           << "rest did not go on";
        EXPECT_TRUE(IsSpecialFile(kind, dest + "/a.cs")) << Describe(kind);
    }
}

TEST_F(HostileExtraction, TheLongestNameADiskAllowsIsExtractedAndReplaced)
{
    const std::string name(255, 'n');
    WriteVolume(volume, {{name, "the stored bytes"}});
    WriteFile(dest + "/" + name, "the user's copy");
    for (int run = 0; run < 2; ++run) {
        EXPECT_TRUE(Extract(ToolPath("extract"), name).messages.empty()) << "run " << run;
        EXPECT_EQ(ReadFile(dest + "/" + name), "the stored bytes") << "run " << run;
        EXPECT_EQ(FilesBelow(dest), Names{name}) << "run " << run;
    }
}

TEST_F(HostileExtraction, NothingIsWrittenThroughALinkThatLeadsOutOfTheDestination)
{
    const std::string elsewhere = MakeFolder(root / "elsewhere");
    WriteFile(elsewhere + "/target.cs", "not yours");
    fs::create_directory_symlink(elsewhere, dest + "/scripts");
    fs::create_symlink(elsewhere + "/target.cs", dest + "/linked.cs");
    fs::create_directory(dest + "/inner");
    fs::create_directory_symlink(dest + "/inner", dest + "/alias");
    recreate = true;
    const JobRun run = Extract(Obedient(), "scripts\\a.cs,scripts\\deep\\b.cs,linked.cs,alias\\c.cs");
    EXPECT_EQ(run.errors.at(5), 3);
    EXPECT_EQ(run.outcomes.at("alias\\c.cs"), O::Extracted) << "a link that stays inside is fine";
    EXPECT_EQ(ReadFile(elsewhere + "/target.cs"), "not yours");
    EXPECT_FALSE(fs::exists(elsewhere + "/a.cs"));
    EXPECT_FALSE(fs::exists(elsewhere + "/deep")) << "a folder was made outside";
}

TEST_F(HostileExtraction, AVolumeCannotPlantTheProgramsOwnFilesBesideIt)
{
    services.ProgramFolder = [this] { return dest; };
    recreate = true;
    names = {"tarnwick", "extract", "TARNVOL", "extract.exe", "cairnix.ini", "sub\\extract", "readme.txt"};
    Names refusals;
    for (const std::string& m : Extract(Obedient()).messages)
        refusals.push_back(m.substr(0, m.find(':')));
    EXPECT_EQ(refusals, (Names{"8 Unable to extract tarnwick", "8 Unable to extract extract", "8 Unable to extract TARNVOL",
                               "8 Unable to extract extract.exe", "8 Unable to extract cairnix.ini"}));
    EXPECT_EQ(FilesBelow(dest), (Names{"readme.txt", "sub/extract"}));
    // The extractor in use, wherever it lives, is not replaced either.
    const std::string extractor = Obedient(), before = ReadFile(extractor);
    services = {};
    dest = root.Path();
    names = {"obedient.sh"};
    EXPECT_EQ(Extract(extractor).errors[8], 1);
    EXPECT_EQ(ReadFile(extractor), before);
}

TEST_F(HostileExtraction, ReadOnlyDestinationFailsCleanlyAndKeepsTheOldFile)
{
    WriteFile(dest + "/keep.cs", "the user's copy");
    const std::string extractor = Obedient();
    ::chmod(root.Path().c_str(), 0755);
    ::chmod(dest.c_str(), 0555);
    // As an ordinary user: root writes anywhere.
    const int code = RunInChild(
        [&] {
            JobRun run = Extract(extractor, "keep.cs,new.cs");
            const bool failedBoth = run.outcomes == decltype(run.outcomes){{"keep.cs", O::Failed}, {"new.cs", O::Failed}};
            return (ReadFile(dest + "/keep.cs") == "the user's copy" ? 0 : 1) | (failedBoth ? 0 : 2) |
                   (run.errors[6] >= 1 ? 0 : 4);
        },
        ChildLimits{-1, true});
    ::chmod(dest.c_str(), 0755);
    EXPECT_EQ(code, 0) << "1: old file lost, 2: failure taken as success, 4: no error 6 for the old file";
    EXPECT_EQ(FilesBelow(dest), Names{"keep.cs"});
}

TEST_F(HostileExtraction, ANameTheExtractorDoesNotExtractIsReportedWithItsReason)
{
    WriteVolume(volume, {{"here.cs", "x"}});
    names = {"gone.cs", "here.cs", "caf\xE9.cs"};
    const JobRun run = Extract(ToolPath("extract"));
    ASSERT_EQ(run.messages.size(), 2u);
    EXPECT_EQ(run.messages[0].rfind("7 Unable to extract gone.cs: gone.cs is not in ", 0), 0u) << run.messages[0];
    EXPECT_EQ(run.messages[1].rfind("7 Unable to extract caf\xC3\xA9.cs: ", 0), 0u) << run.messages[1];
    EXPECT_EQ(run.outcomes,
              (std::map<std::string, O>{{"gone.cs", O::Failed}, {"here.cs", O::Extracted}, {"caf\xE9.cs", O::Failed}}));
}

// Which extractor an install or a portable copy holds is DefaultExtractorPathTest's;
// here, that the job with none given runs that one or reports that there is none.
TEST_F(HostileExtraction, WithoutAnExtractorPathTheInstalledOneIsUsed)
{
    services.ProgramFolder = [this] { return root / "usr/bin"; };
    MakeFolder(root / "usr/bin");
    EXPECT_EQ(Extract("", "a.cs").errors[3], 1);
    EXPECT_FALSE(fs::exists(dest + "/a.cs"));
    MakeFolder(root / "usr/libexec/tarnwick");
    fs::rename(Script("x.sh", "printf new > \"$out\""), root / "usr/libexec/tarnwick/extract");
    EXPECT_TRUE(Extract("", "a.cs").errors.empty());
    EXPECT_EQ(ReadFile(dest + "/a.cs"), "new");
}
