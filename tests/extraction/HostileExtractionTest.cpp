// The extraction job against hostile names and extractors on a real disk: no
// file may land outside the destination, and a failed replacement keeps the old.
#include "extraction/clsExtract.h"
#include "os/CommandLine.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <tuple>
#include <sys/stat.h>

using namespace tarnwick;
using tarnwick::test::TempDir;
namespace fs = std::filesystem;

namespace {

using O = clsExtract::Outcome;

struct JobRun {
    std::map<int, int> errors;         // how often each number came
    std::vector<std::string> messages; // "number message"
    std::map<std::string, O> outcomes;
    std::map<std::string, std::string> paths;
};

class HostileExtraction : public ::testing::Test {
protected:
    HostileExtraction() { Fresh(); test::WriteFile(volume, "PVOL"); }
    void Fresh() { fs::remove_all(dest), fs::create_directory(dest); }

    // `body` runs with $out set to the last argument, which is logged first.
    std::string Script(const std::string& name, const std::string& body)
    {
        const std::string path = root / name;
        test::WriteFile(path, "#!/bin/sh\nfor a in \"$@\"; do out=$a; done\nprintf '%s\\000' \"$out\" >> '" +
                                  log + "'\n" + body + "\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }

    // Writes where it is told, if inside this test's folder, and always
    // claims success: the log alone then shows where files could land.
    std::string Obedient()
    {
        return Script("obedient.sh", "case \"$out\" in '" + root.Path() + "'/*) printf new > \"$out\";; esac\nexit 0");
    }

    // One run of the job into `dest`, with the names of `list` (else `names`)
    // from `volume`, as set up below; an existing file is always replaced.
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
        job.SetRecreateStructure(recreate);
        job.SetOverwrite(true);
        job.SetNames(names);
        job.Extract(volume, list, dest, extractor);
        return run;
    }

    void ExpectNothingOutside()
    {
        std::istringstream in(test::ReadFile(log));
        for (std::string out; std::getline(in, out, '\0');) {
            EXPECT_EQ(out.rfind(dest + "/", 0), 0u) << "handed an output path outside: " << out;
            EXPECT_EQ(out.find("/../"), std::string::npos) << out;
        }
    }

    // Each name must end as given, with a file only where one was extracted.
    void ExpectOutcomes(bool recreate, const std::vector<std::pair<std::string, O>>& names)
    {
        std::string list;
        int refused = 0;
        for (const auto& [n, o] : names) {
            list += (list.empty() ? "" : ",") + n;
            refused += o == O::Failed;
        }
        this->recreate = recreate;
        JobRun run = Extract(Obedient(), list);
        for (const auto& [n, o] : names) {
            EXPECT_EQ(run.outcomes.at(n), o) << n;
            EXPECT_EQ(fs::is_regular_file(run.paths.at(n)), o == O::Extracted) << n;
        }
        EXPECT_EQ(run.errors[5], refused);
        ExpectNothingOutside();
    }

    TempDir root;
    std::string dest = root / "out";
    std::string log = root / "args.log";
    // The extractor scripts never read the volume: it only has to exist.
    std::string volume = root / "any.vol";
    std::vector<std::string> names;
    bool recreate = false;
    OsServices services; // the system's
};

} // namespace

TEST_F(HostileExtraction, NamesThatWouldLeaveTheDestinationAreRefusedAndFlatOnesKeepOnlyTheTitle)
{
    ExpectOutcomes(true, {{"..\\evil.cs", O::Failed}, {"a\\..\\..\\evil.cs", O::Failed}, {"\\rooted.cs", O::Failed},
                          {"/rooted.cs", O::Failed}, {"a/../../evil.cs", O::Failed}, {"C:\\drive.cs", O::Failed},
                          {"c:drive.cs", O::Failed}, {"..", O::Failed}, {"a\\..", O::Failed}, {"a\\...\\evil.cs", O::Failed},
                          {"a\\.. \\evil.cs", O::Failed}, {"good.cs", O::Extracted}});
    // A title cannot climb, unless it is itself "..".
    ExpectOutcomes(false, {{"..\\..\\up.cs", O::Extracted}, {"\\lead.cs", O::Extracted}, {"D:\\drv.cs", O::Extracted},
                           {"a\\..", O::Failed}});
    EXPECT_EQ(test::FilesBelow(dest), (std::vector<std::string>{"drv.cs", "good.cs", "lead.cs", "up.cs"}));
}

TEST_F(HostileExtraction, QuotesBlanksAndControlCharactersNeverMoveTheOutputPath)
{
    // Quoted by the Windows rules, a quote in a name no longer ends the
    // output path early: the file lands where it belongs.
    ExpectOutcomes(true, {{"a\"b.cs", O::Extracted}, {"x\" \"y.cs", O::Extracted}, {"tab\there.cs", O::Extracted},
                          {"line\nbreak.cs", O::Extracted}, {" lead.cs", O::Extracted}, {"two  blanks.cs", O::Extracted},
                          {"\x01\x7f.cs", O::Extracted}, {"dir\\q\"\\end\\\\x.cs", O::Extracted}});
}

TEST_F(HostileExtraction, AnExtractorThatFailsIsReportedAndNoCopyIsLost)
{
    struct Case {
        const char* script;
        const char* body;
        const char* after;   // what stands at the output afterwards
        bool earlierBeside;  // the user's copy kept beside it
        const char* told;    // part of the error 7 message
    };
    const Case cases[] = {
        {"exits-nonzero.sh", "echo 'exits-nonzero.sh: keep.cs is stored with method 2' >&2; exit 3",
         "the user's copy", false, ": keep.cs is stored with method 2."},
        {"writes-nothing.sh", "exit 0", "the user's copy", false, ": the extractor wrote no file."},
        {"partial-then-fails.sh", "printf par > \"$out\"; exit 4", "par", true, "exit code 4"},
        {"partial-then-crashes.sh", "printf par > \"$out\"; kill -SEGV $$", "par", true, "exit code 139"},
    };
    for (const Case& c : cases) {
        Fresh();
        test::WriteFile(dest + "/keep.cs", "the user's copy");
        const JobRun run = Extract(Script(c.script, c.body), "keep.cs");
        const auto& messages = run.messages;
        EXPECT_EQ(run.outcomes.at("keep.cs"), O::Failed) << c.script;
        ASSERT_EQ(messages.size(), 1u) << c.script;
        EXPECT_EQ(messages[0].rfind("7 Unable to extract keep.cs: ", 0), 0u) << messages[0];
        EXPECT_NE(messages[0].find(c.told), std::string::npos) << messages[0];
        EXPECT_EQ(test::ReadFile(dest + "/keep.cs"), c.after) << c.script;
        std::vector<std::string> expected{"keep.cs"};
        if (c.earlierBeside) {
            expected.push_back("keep.cs.earlier");
            EXPECT_EQ(test::ReadFile(dest + "/keep.cs.earlier"), "the user's copy") << c.script;
            EXPECT_NE(messages[0].find("keep.cs.earlier"), std::string::npos) << "the report does not say where";
        }
        EXPECT_EQ(test::FilesBelow(dest), expected) << c.script;
    }
}

TEST_F(HostileExtraction, ARunKilledWhileReplacingIsPutRightByTheNextRunForThatFile)
{
    const std::string out = dest + "/keep.cs";
    // Where an earlier run keeps the user's copy and writes the new one:
    // ".tw", the FNV-1a tag of "keep.cs", and what the file is for.
    const std::string kept = dest + "/.twa05799d3df17b790.old", part = dest + "/.twa05799d3df17b790.part";
    // Killed before the new file stood: the user's copy comes back even when
    // this run fails too; killed after it: the new file stays.
    const std::tuple<bool, const char*, const char*> cases[] = {
        {false, "exit 3", "the user's copy"},
        {true, "exit 3", "complete new"},
        {false, "printf new > \"$out\"", "new"},
    };
    for (const auto& [newStands, body, after] : cases) {
        Fresh();
        test::WriteFile(kept, "the user's copy");
        test::WriteFile(part, "half of a ne");
        if (newStands)
            test::WriteFile(out, "complete new");
        Extract(Script("run.sh", body), "keep.cs");
        EXPECT_EQ(test::ReadFile(out), after) << body;
        EXPECT_EQ(test::FilesBelow(dest), std::vector<std::string>{"keep.cs"}) << body;
    }
}

TEST_F(HostileExtraction, TheLongestNameADiskAllowsIsExtractedAndReplaced)
{
    const std::string name(255, 'n');
    test::WriteVolume(volume, {{name, "the stored bytes"}});
    test::WriteFile(dest + "/" + name, "the user's copy");
    for (int run = 0; run < 2; ++run) {
        EXPECT_TRUE(Extract(test::ToolPath("extract"), name).messages.empty()) << "run " << run;
        EXPECT_EQ(test::ReadFile(dest + "/" + name), "the stored bytes") << "run " << run;
        EXPECT_EQ(test::FilesBelow(dest), std::vector<std::string>{name}) << "run " << run;
    }
}

TEST_F(HostileExtraction, NothingIsWrittenThroughALinkThatLeadsOutOfTheDestination)
{
    const std::string elsewhere = root / "elsewhere";
    fs::create_directory(elsewhere);
    test::WriteFile(elsewhere + "/target.cs", "not yours");
    fs::create_directory_symlink(elsewhere, dest + "/scripts");
    fs::create_symlink(elsewhere + "/target.cs", dest + "/linked.cs");
    fs::create_directory(dest + "/inner");
    fs::create_directory_symlink(dest + "/inner", dest + "/alias");
    recreate = true;
    const JobRun run = Extract(Obedient(), "scripts\\a.cs,scripts\\deep\\b.cs,linked.cs,alias\\c.cs");
    EXPECT_EQ(run.errors.at(5), 3);
    EXPECT_EQ(run.outcomes.at("alias\\c.cs"), O::Extracted) << "a link that stays inside is fine";
    EXPECT_EQ(test::ReadFile(elsewhere + "/target.cs"), "not yours");
    EXPECT_FALSE(fs::exists(elsewhere + "/a.cs"));
    EXPECT_FALSE(fs::exists(elsewhere + "/deep")) << "a folder was made outside";
}

TEST_F(HostileExtraction, AVolumeCannotPlantTheProgramsOwnFilesBesideIt)
{
    services.ProgramFolder = [this] { return dest; };
    recreate = true;
    names = {"tarnwick", "extract", "TARNVOL", "extract.exe", "cairnix.ini", "sub\\extract", "readme.txt"};
    std::vector<std::string> refusals;
    for (const std::string& m : Extract(Obedient()).messages)
        refusals.push_back(m.substr(0, m.find(':')));
    EXPECT_EQ(refusals, (std::vector<std::string>{"8 Unable to extract tarnwick", "8 Unable to extract extract",
                                                  "8 Unable to extract TARNVOL", "8 Unable to extract extract.exe",
                                                  "8 Unable to extract cairnix.ini"}));
    EXPECT_EQ(test::FilesBelow(dest), (std::vector<std::string>{"readme.txt", "sub/extract"}));
    // The extractor in use, wherever it lives, is not replaced either.
    const std::string extractor = Obedient(), before = test::ReadFile(extractor);
    services = {};
    dest = root.Path();
    names = {"obedient.sh"};
    EXPECT_EQ(Extract(extractor).errors[8], 1);
    EXPECT_EQ(test::ReadFile(extractor), before);
}

TEST_F(HostileExtraction, ReadOnlyDestinationFailsCleanlyAndKeepsTheOldFile)
{
    test::WriteFile(dest + "/keep.cs", "the user's copy");
    const std::string extractor = Obedient();
    ::chmod(root.Path().c_str(), 0755);
    ::chmod(dest.c_str(), 0555);
    // As an ordinary user: root writes anywhere.
    const int code = test::RunInChild(
        [&] {
            JobRun run = Extract(extractor, "keep.cs,new.cs");
            const bool failedBoth = run.outcomes == decltype(run.outcomes){{"keep.cs", O::Failed}, {"new.cs", O::Failed}};
            return (test::ReadFile(dest + "/keep.cs") == "the user's copy" ? 0 : 1) | (failedBoth ? 0 : 2) |
                   (run.errors[6] >= 1 ? 0 : 4);
        },
        test::ChildLimits{-1, true});
    ::chmod(dest.c_str(), 0755);
    EXPECT_EQ(code, 0) << "1: old file lost, 2: failure taken as success, 4: no error 6 for the old file";
    EXPECT_EQ(test::FilesBelow(dest), std::vector<std::string>{"keep.cs"});
}

TEST(ExtractCommandLine, EveryFieldReachesTheExtractorWhole)
{
    // What the extractor rebuilds: the volume, the name (bare pieces joined
    // at single blanks, or one quoted field) and the output path.
    const char* const names[] = {"a.cs",      "a b.cs",     "a\"b.cs",    "dir\\",     "dir\\\\",  "x\\\"y",
                                 "trail\\ ",  "\"",         "c\\d\\e.cs", "\\\"lead",  "tab\t.cs", "back\\\\",
                                 "",          "two  blanks", " lead",     "trail ",    "caf\xE9.cs",
                                 "missions\\Broadside, Night.mis"};
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
            EXPECT_EQ(args[0], "C:\\x.exe") << line;
            EXPECT_EQ(args[1], volume) << line;
            EXPECT_EQ(rebuilt, name) << line;
            EXPECT_EQ(args.back(), out) << line;
        }
    }
    // A name the bare form carries keeps it.
    EXPECT_EQ(clsExtract::CommandLine("C:\\x.exe", "C:\\v.vol", "a b\\c.cs", "D:\\o\\c.cs"),
              "\"C:\\x.exe\" \"C:\\v.vol\" a b\\c.cs \"D:\\o\\c.cs\"");
}

TEST_F(HostileExtraction, ANameTheExtractorDoesNotExtractIsReportedWithItsReason)
{
    test::WriteVolume(volume, {{"here.cs", "x"}});
    names = {"gone.cs", "here.cs", "caf\xE9.cs"};
    const JobRun run = Extract(test::ToolPath("extract"));
    ASSERT_EQ(run.messages.size(), 2u);
    EXPECT_EQ(run.messages[0].rfind("7 Unable to extract gone.cs: gone.cs is not in ", 0), 0u) << run.messages[0];
    EXPECT_EQ(run.messages[1].rfind("7 Unable to extract caf\xC3\xA9.cs: ", 0), 0u) << run.messages[1];
    EXPECT_EQ(run.outcomes, (std::map<std::string, O>{{"gone.cs", O::Failed}, {"here.cs", O::Extracted},
                                                       {"caf\xE9.cs", O::Failed}}));
}

TEST_F(HostileExtraction, WithoutAnExtractorPathTheInstalledOneIsUsedAndNeverAnotherPackages)
{
    // PREFIX/bin/tarnwick with its extractor in PREFIX/libexec/tarnwick; a
    // PATH-style extract of another package may sit in PREFIX/bin.
    struct Case {
        const char* name;
        bool besideProgram, installed;
        const char* ranFrom; // below root; nullptr: no extractor, error 3
    };
    const Case cases[] = {
        {"installed", false, true, "usr/libexec/tarnwick/extract"},
        {"portable copy", true, false, "usr/bin/extract"},
        {"both: the copy beside the program", true, true, "usr/bin/extract"},
        {"neither", false, false, nullptr},
    };
    const std::string body = "/extract > '" + root / "ran" + "'\nprintf new > \"$out\"";
    for (const Case& c : cases) {
        fs::remove_all(root / "usr");
        for (const auto& [wanted, at] : {std::pair{c.besideProgram, "usr/bin"}, {c.installed, "usr/libexec/tarnwick"}}) {
            fs::create_directories(root / at);
            if (wanted)
                fs::rename(Script("x.sh", "echo " + (at + body)), root / at + "/extract");
        }
        fs::remove(root / "ran");
        fs::remove(dest + "/a.cs");
        services.ProgramFolder = [this] { return root / "usr/bin"; };
        std::map<int, int> errors = Extract("", "a.cs").errors;
        if (c.ranFrom) {
            EXPECT_TRUE(errors.empty()) << c.name;
            EXPECT_EQ(test::ReadFile(root / "ran"), std::string(c.ranFrom) + "\n") << c.name;
            EXPECT_EQ(test::ReadFile(dest + "/a.cs"), "new") << c.name;
        } else {
            EXPECT_EQ(errors[3], 1) << c.name;
            EXPECT_FALSE(fs::exists(dest + "/a.cs")) << c.name;
        }
    }
}
