// The extraction job against names and extractors made to hurt it: stored
// names that try to leave the destination, extractors that fail, crash or
// write nothing, a read-only destination and a full disk. Whatever happens,
// no file may land outside the destination and the user's old copy of a
// file must survive a failed replacement.
#include "extraction/clsExtract.h"
#include "platform/os/CommandLine.h"
#include "volume/VolumeWriter.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sys/stat.h>

using namespace tarnwick;
using tarnwick::test::TempDir;
namespace fs = std::filesystem;

namespace {

struct JobRun {
    std::vector<std::pair<int, std::string>> errors;
    std::map<std::string, clsExtract::Outcome> outcomes;
};

class HostileExtraction : public ::testing::Test {
protected:
    HostileExtraction()
    {
        fs::create_directory(dest);
        log = root / "args.log";
    }

    // An extractor script; `body` runs with $out set to the output path
    // (the last argument), which is also logged, NUL-ended, for the escape
    // checks.
    std::string Script(const std::string& name, const std::string& body)
    {
        const std::string path = root / name;
        test::WriteFile(path, "#!/bin/sh\nfor a in \"$@\"; do out=$a; done\nprintf '%s\\000' \"$out\" >> '" +
                                  log + "'\n" + body + "\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }

    // A worst-case extractor: it writes wherever it is told, as long as that
    // lies in this test's own folder (anything else is caught by the log).
    std::string Obedient()
    {
        return Script("obedient.sh", "case \"$out\" in '" + root.Path() +
                                         "'/*) printf new > \"$out\";; esac\nexit 0");
    }

    std::string Volume(const std::vector<std::string>& names)
    {
        VolumeWriter w;
        for (const auto& n : names)
            w.Add(n, "data of " + n);
        const std::string path = root / "hostile.vol";
        EXPECT_TRUE(w.Write(path));
        return path;
    }

    JobRun Extract(const std::string& extractor, const std::string& volume, const std::string& list,
                bool recreate, bool overwrite = true)
    {
        JobRun run;
        clsExtract job(PathStyle::Posix);
        job.E_Error = [&](std::int16_t n, const std::string& m) { run.errors.emplace_back(n, m); };
        job.E_Outcome = [&](const std::string& name, const std::string&, clsExtract::Outcome o) {
            run.outcomes[name] = o;
        };
        job.AskOverwrite = [](const std::string&) { return MsgAnswer::Yes; };
        job.SetRecreateStructure(recreate);
        job.SetOverwrite(overwrite);
        job.Extract(volume, list, dest, extractor);
        return run;
    }

    // Every output path the extractor was handed lies under the destination
    // and climbs nowhere.
    void ExpectAllOutputsInside()
    {
        const std::string text = test::ReadFile(log);
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\0', start);
            if (end == std::string::npos)
                end = text.size();
            const std::string out = text.substr(start, end - start);
            EXPECT_EQ(out.rfind(dest + "/", 0), 0u) << "handed an output path outside: " << out;
            EXPECT_EQ(out.find("/../"), std::string::npos) << out;
            start = end + 1;
        }
    }

    // Every regular file under the test's folder apart from the volume,
    // the scripts and the log.
    std::vector<std::string> FilesOutsideDestination()
    {
        std::vector<std::string> found;
        for (const auto& e : fs::recursive_directory_iterator(root.Path())) {
            const std::string p = e.path().string();
            if (!e.is_regular_file() || p.rfind(dest + "/", 0) == 0)
                continue;
            if (p.ends_with(".sh") || p.ends_with(".vol") || p == log)
                continue;
            found.push_back(p);
        }
        return found;
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
    std::string log;
};

int CountErrors(const JobRun& run, int number)
{
    return static_cast<int>(std::count_if(run.errors.begin(), run.errors.end(),
                                          [&](const auto& e) { return e.first == number; }));
}

} // namespace

TEST_F(HostileExtraction, NamesThatClimbOrStartAtARootAreRefusedAndTheRestGoOn)
{
    const std::vector<std::string> bad = {"..\\evil.cs",  "a\\..\\..\\evil.cs", "\\rooted.cs",
                                          "C:\\drive.cs", "..",                 "a\\.."};
    std::vector<std::string> all = bad;
    all.push_back("good.cs");
    const std::string volume = Volume(all);
    std::string list;
    for (const auto& n : all)
        list += (list.empty() ? "" : ",") + n;

    const JobRun run = Extract(Obedient(), volume, list, /*recreate=*/true);
    ExpectAllOutputsInside();
    EXPECT_TRUE(FilesOutsideDestination().empty()) << FilesOutsideDestination().front();
    EXPECT_EQ(CountErrors(run, 5), static_cast<int>(bad.size()));
    for (const auto& n : bad)
        EXPECT_EQ(run.outcomes.at(n), clsExtract::Outcome::Failed) << n;
    EXPECT_EQ(run.outcomes.at("good.cs"), clsExtract::Outcome::Extracted);
    EXPECT_EQ(test::ReadFile(dest + "/good.cs"), "new");
}

TEST_F(HostileExtraction, FlatExtractionUsesOnlyTheTitleSoFoldersCannotClimb)
{
    const std::string volume = Volume({"..\\..\\up.cs", "a\\.."});
    const JobRun run = Extract(Obedient(), volume, "..\\..\\up.cs,a\\..", /*recreate=*/false);
    ExpectAllOutputsInside();
    EXPECT_TRUE(FilesOutsideDestination().empty());
    // The title of the first is harmless; the second's title climbs.
    EXPECT_EQ(run.outcomes.at("..\\..\\up.cs"), clsExtract::Outcome::Extracted);
    EXPECT_EQ(test::ReadFile(dest + "/up.cs"), "new");
    EXPECT_EQ(run.outcomes.at("a\\.."), clsExtract::Outcome::Failed);
    EXPECT_EQ(CountErrors(run, 5), 1);
}

TEST_F(HostileExtraction, QuotesBlanksAndControlCharactersNeverMoveTheOutputPath)
{
    // A double quote in a name would end the quoted output path early on
    // the command line and hand the extractor a different, relative path.
    const std::vector<std::string> names = {"a\"b.cs", "x\" \"y.cs", "tab\there.cs", "line\nbreak.cs",
                                            " lead.cs", "two  blanks.cs", "\x01\x7f.cs"};
    const std::string volume = Volume(names);
    std::string list;
    for (const auto& n : names)
        list += (list.empty() ? "" : ",") + n;
    const JobRun run = Extract(Obedient(), volume, list, /*recreate=*/true);
    ExpectAllOutputsInside();
    EXPECT_TRUE(FilesOutsideDestination().empty());
    // Each name either ends up where the job says or is reported.
    for (const auto& n : names) {
        const auto outcome = run.outcomes.at(n);
        if (outcome == clsExtract::Outcome::Extracted) {
            EXPECT_TRUE(test::Exists(dest + "/" + n)) << n;
        }
    }
    EXPECT_EQ(run.outcomes.at("a\"b.cs"), clsExtract::Outcome::Failed);
    EXPECT_EQ(run.outcomes.at("x\" \"y.cs"), clsExtract::Outcome::Failed);
    EXPECT_GE(CountErrors(run, 5), 2);
}

TEST_F(HostileExtraction, OldFileSurvivesAnExtractorThatFailsCrashesOrWritesNothing)
{
    const std::string volume = Volume({"keep.cs"});
    const std::vector<std::pair<std::string, std::string>> extractors = {
        {"exits-nonzero.sh", "exit 3"},
        {"writes-nothing.sh", "exit 0"},
        {"partial-then-fails.sh", "printf par > \"$out\"; exit 4"},
        {"partial-then-crashes.sh", "printf par > \"$out\"; kill -SEGV $$"},
    };
    for (const auto& [name, body] : extractors) {
        test::WriteFile(dest + "/keep.cs", "the user's copy");
        const JobRun run = Extract(Script(name, body), volume, "keep.cs", /*recreate=*/false);
        EXPECT_EQ(test::ReadFile(dest + "/keep.cs"), "the user's copy") << name;
        EXPECT_EQ(run.outcomes.at("keep.cs"), clsExtract::Outcome::Failed) << name;
        EXPECT_EQ(DestinationListing(), std::vector<std::string>{"keep.cs"}) << name << ": a file was left over";
    }
}

TEST_F(HostileExtraction, ReadOnlyDestinationFailsCleanlyAndKeepsTheOldFile)
{
    const std::string volume = Volume({"keep.cs", "new.cs"});
    test::WriteFile(dest + "/keep.cs", "the user's copy");
    const std::string extractor = Obedient();
    ::chmod(root.Path().c_str(), 0755);
    ::chmod(dest.c_str(), 0555);
    const int code = test::RunInChild(
        [&] {
            const JobRun run = Extract(extractor, volume, "keep.cs,new.cs", /*recreate=*/false);
            const bool keptOld = test::ReadFile(dest + "/keep.cs") == "the user's copy";
            const bool failedBoth = run.outcomes.size() == 2 &&
                                    run.outcomes.at("keep.cs") == clsExtract::Outcome::Failed &&
                                    run.outcomes.at("new.cs") == clsExtract::Outcome::Failed;
            return (keptOld ? 0 : 1) | (failedBoth ? 0 : 2) | (CountErrors(run, 6) >= 1 ? 0 : 4);
        },
        test::ChildLimits{-1, true});
    ::chmod(dest.c_str(), 0755);
    EXPECT_EQ(code, 0) << "1: old file lost, 2: failure taken as success, 4: no error 6 for the old file";
    EXPECT_EQ(DestinationListing(), std::vector<std::string>{"keep.cs"});
}

TEST_F(HostileExtraction, FullDiskKeepsTheOldFileWithTheRealExtractor)
{
    const std::string extractor = test::ToolPath("extract");
    ASSERT_TRUE(test::Exists(extractor));
    VolumeWriter w;
    w.Add("big.dat", std::string(1 << 20, 'b'));
    const std::string volume = root / "big.vol";
    ASSERT_TRUE(w.Write(volume));
    test::WriteFile(dest + "/big.dat", "the user's copy");
    // The limit is inherited by the extractor the job starts.
    const int code = test::RunInChild(
        [&] {
            const JobRun run = Extract(extractor, volume, "big.dat", /*recreate=*/false);
            return run.outcomes.at("big.dat") == clsExtract::Outcome::Failed ? 0 : 1;
        },
        test::ChildLimits{64 * 1024, false});
    EXPECT_EQ(code, 0) << "a failed extraction was taken as success";
    EXPECT_EQ(test::ReadFile(dest + "/big.dat"), "the user's copy");
    EXPECT_EQ(DestinationListing(), std::vector<std::string>{"big.dat"});

    // Without the limit the same job does replace it.
    const JobRun run = Extract(extractor, volume, "big.dat", /*recreate=*/false);
    EXPECT_EQ(run.outcomes.at("big.dat"), clsExtract::Outcome::Extracted);
    EXPECT_EQ(test::ReadFile(dest + "/big.dat"), std::string(1 << 20, 'b'));
}

TEST(ExtractCommandLine, EveryAcceptedNameReachesTheExtractorAsItsOutputPath)
{
    // Whatever name the job lets through, the extractor must receive the
    // output path the job chose as its last argument, in either style and
    // either mode: a quote or a closing backslash would change it.
    const std::vector<std::string> names = {"a.cs",      "a b.cs",    "a\"b.cs", "dir\\",    "dir\\\\",
                                            "x\\\"y",   "trail\\ ", "\"",      "c\\d\\e.cs", "\\\"lead",
                                            "tab\t.cs", "back\\\\", ""};
    for (PathStyle style : {PathStyle::Windows, PathStyle::Posix}) {
        for (bool recreate : {false, true}) {
            clsExtract job(style);
            job.SetRecreateStructure(recreate);
            const std::string dest = style == PathStyle::Windows ? "C:\\out" : "/out";
            int accepted = 0;
            for (const auto& name : names) {
                if (!job.NameStaysInside(name))
                    continue;
                ++accepted;
                const std::string out = job.OutputPath(dest, name);
                const auto args = os::SplitWindowsCommandLine(
                    clsExtract::CommandLine("C:\\Tools\\extract.exe", "C:\\v.vol", name, out));
                ASSERT_GE(args.size(), 4u) << name;
                EXPECT_EQ(args.back(), out) << "name [" << name << "] recreate " << recreate;
            }
            EXPECT_GE(accepted, 4) << "ordinary names were refused";
        }
    }
}
