// The extraction job against hostile names and extractors on a real disk: no
// file may land outside the destination, and a failed replacement keeps the old.
#include "extraction/clsExtract.h"
#include "platform/os/CommandLine.h"
#include "volume/VolumeWriter.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <sys/stat.h>

using namespace tarnwick;
using tarnwick::test::TempDir;
namespace fs = std::filesystem;

namespace {

using O = clsExtract::Outcome;

struct JobRun {
    std::map<int, int> errors; // how often each number came
    std::map<std::string, O> outcomes;
    std::map<std::string, std::string> paths;
};

class HostileExtraction : public ::testing::Test {
protected:
    HostileExtraction() { fs::create_directory(dest); test::WriteFile(anyVolume, "PVOL"); }

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

    // The extractor scripts never read the volume: it only has to exist.
    JobRun Extract(const std::string& extractor, const std::string& list, bool recreate,
                   const std::string& volume = {})
    {
        JobRun run;
        clsExtract job(PathStyle::Posix);
        job.E_Error = [&](std::int16_t n, const std::string&) { ++run.errors[n]; };
        job.E_Outcome = [&](const std::string& name, const std::string& path, O o) {
            run.outcomes[name] = o;
            run.paths[name] = path;
        };
        job.SetRecreateStructure(recreate);
        job.SetOverwrite(true);
        job.Extract(volume.empty() ? anyVolume : volume, list, dest, extractor);
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
        JobRun run = Extract(Obedient(), list, recreate);
        for (const auto& [n, o] : names) {
            EXPECT_EQ(run.outcomes.at(n), o) << n;
            EXPECT_EQ(fs::is_regular_file(run.paths.at(n)), o == O::Extracted) << n;
        }
        EXPECT_EQ(run.errors[5], refused);
        ExpectNothingOutside();
    }

    std::vector<std::string> DestinationListing()
    {
        std::vector<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(dest))
            if (e.is_regular_file())
                names.push_back(e.path().string().substr(dest.size() + 1));
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir root;
    std::string dest = root / "out";
    std::string log = root / "args.log";
    std::string anyVolume = root / "any.vol";
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
    EXPECT_EQ(DestinationListing(), (std::vector<std::string>{"drv.cs", "good.cs", "lead.cs", "up.cs"}));
}

TEST_F(HostileExtraction, QuotesBlanksAndControlCharactersNeverMoveTheOutputPath)
{
    // A quote would end the quoted output path early: another, relative path.
    ExpectOutcomes(true, {{"a\"b.cs", O::Failed}, {"x\" \"y.cs", O::Failed}, {"tab\there.cs", O::Extracted},
                          {"line\nbreak.cs", O::Extracted}, {" lead.cs", O::Extracted}, {"two  blanks.cs", O::Extracted},
                          {"\x01\x7f.cs", O::Extracted}});
}

TEST_F(HostileExtraction, OldFileSurvivesAnExtractorThatFailsCrashesOrWritesNothing)
{
    const std::pair<std::string, std::string> extractors[] = {
        {"exits-nonzero.sh", "exit 3"},
        {"writes-nothing.sh", "exit 0"},
        {"partial-then-fails.sh", "printf par > \"$out\"; exit 4"},
        {"partial-then-crashes.sh", "printf par > \"$out\"; kill -SEGV $$"},
    };
    for (const auto& [name, body] : extractors) {
        test::WriteFile(dest + "/keep.cs", "the user's copy");
        const JobRun run = Extract(Script(name, body), "keep.cs", /*recreate=*/false);
        EXPECT_EQ(test::ReadFile(dest + "/keep.cs"), "the user's copy") << name;
        EXPECT_EQ(run.outcomes.at("keep.cs"), O::Failed) << name;
        EXPECT_EQ(DestinationListing(), std::vector<std::string>{"keep.cs"}) << name << ": a file was left over";
    }
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
            JobRun run = Extract(extractor, "keep.cs,new.cs", /*recreate=*/false);
            const bool failedBoth = run.outcomes == decltype(run.outcomes){{"keep.cs", O::Failed}, {"new.cs", O::Failed}};
            return (test::ReadFile(dest + "/keep.cs") == "the user's copy" ? 0 : 1) | (failedBoth ? 0 : 2) |
                   (run.errors[6] >= 1 ? 0 : 4);
        },
        test::ChildLimits{-1, true});
    ::chmod(dest.c_str(), 0755);
    EXPECT_EQ(code, 0) << "1: old file lost, 2: failure taken as success, 4: no error 6 for the old file";
    EXPECT_EQ(DestinationListing(), std::vector<std::string>{"keep.cs"});
}

TEST_F(HostileExtraction, FullDiskKeepsTheOldFileWithTheRealExtractor)
{
    const std::string extractor = test::ToolPath("extract"), volume = root / "big.vol";
    VolumeWriter w;
    w.Add("big.dat", std::string(1 << 20, 'b'));
    ASSERT_TRUE(w.Write(volume));
    test::WriteFile(dest + "/big.dat", "the user's copy");
    // The limit is inherited by the extractor the job starts.
    const int code = test::RunInChild(
        [&] {
            const JobRun run = Extract(extractor, "big.dat", /*recreate=*/false, volume);
            return run.outcomes.at("big.dat") == O::Failed ? 0 : 1;
        },
        test::ChildLimits{64 * 1024, false});
    EXPECT_EQ(code, 0) << "a failed extraction was taken as success";
    EXPECT_EQ(test::ReadFile(dest + "/big.dat"), "the user's copy");
    EXPECT_EQ(DestinationListing(), std::vector<std::string>{"big.dat"});
    // Without the limit the same job does replace it.
    const JobRun run = Extract(extractor, "big.dat", /*recreate=*/false, volume);
    EXPECT_EQ(run.outcomes.at("big.dat"), O::Extracted);
    EXPECT_EQ(test::ReadFile(dest + "/big.dat"), std::string(1 << 20, 'b'));
}

TEST(ExtractCommandLine, EveryAcceptedNameReachesTheExtractorAsItsOutputPath)
{
    // A quote or a closing backslash in an accepted name would change the last argument.
    const char* const names[] = {"a.cs",     "a b.cs",   "a\"b.cs",  "dir\\",     "dir\\\\", "x\\\"y",   "trail\\ ",
                                 "\"",        "c\\d\\e.cs", "\\\"lead", "tab\t.cs", "back\\\\", ""};
    for (PathStyle style : {PathStyle::Windows, PathStyle::Posix}) {
        for (bool recreate : {false, true}) {
            clsExtract job(style);
            job.SetRecreateStructure(recreate);
            int accepted = 0;
            for (const std::string name : names) {
                if (!job.NameStaysInside(name))
                    continue;
                ++accepted;
                const std::string out = job.OutputPath(style == PathStyle::Windows ? "C:\\out" : "/out", name);
                const auto args = os::SplitWindowsCommandLine(clsExtract::CommandLine("C:\\x.exe", "C:\\v.vol", name, out));
                EXPECT_EQ(args.back(), out) << "name [" << name << "] recreate " << recreate;
            }
            EXPECT_GE(accepted, 4) << "ordinary names were refused";
        }
    }
}
