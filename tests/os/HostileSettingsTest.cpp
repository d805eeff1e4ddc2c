// The settings file as users and other programs leave it: reads must still
// answer and a write must never cost the file what it held.
#include "os/Profile.h"
#include "os/ProfileText.h"
#include "support/ChildProcess.h"
#include "support/SpecialFiles.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace tarnwick;
namespace fs = std::filesystem;

namespace {

class HostileSettings : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string ini = dir / "cairnix.ini";

    std::string Get(const std::string& section, const std::string& key, const std::string& file = {})
    {
        char buffer[256];
        return std::string(buffer, os::GetPrivateProfileString(section, key, "<default>", buffer, 255,
                                                                file.empty() ? ini : file));
    }
    fs::perms Mode() { return fs::status(ini).permissions(); }
};

TEST_F(HostileSettings, ReadOnlyFileIsReadButNeverReplaced)
{
    const std::string text = "[Tarnwick]\r\nPath=C:\\keep\r\n";
    test::WriteFile(ini, text);
    fs::permissions(ini, fs::perms(0444));
    fs::permissions(dir.Path(), fs::perms(0755)); // the unprivileged child must see the file
    EXPECT_EQ(Get("Tarnwick", "Path"), "C:\\keep");
    // A rename would succeed in the writable folder and undo the user's protection; as root too.
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", "Path", "new", ini));
    const int code = test::RunInChild(
        [&] { return os::WritePrivateProfileString("Tarnwick", "Splash", "0", ini) ? 1 : 0; }, {-1, true});
    EXPECT_EQ(code, 0) << "an ordinary user replaced a read-only file";
    EXPECT_EQ(test::ReadFile(ini), text);
    EXPECT_EQ(Mode(), fs::perms(0444));
}

TEST_F(HostileSettings, FolderInPlaceOfTheFileReadsAsMissing)
{
    fs::create_directory(ini);
    test::WriteFile(ini + "/inside", "x");
    EXPECT_EQ(Get("Tarnwick", "Path"), "<default>");
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", "Path", "1", ini));
    EXPECT_EQ(test::ReadFile(ini + "/inside"), "x");
}

TEST_F(HostileSettings, MegabyteLineIsCutOnReadAndKeptWholeOnWrite)
{
    const std::string text =
        "[Other]\nBig=" + std::string(1 << 20, 'h') + "\n" + std::string(1 << 20, ';') + "\n[Tarnwick]\nPath=p\n";
    test::WriteFile(ini, text);
    EXPECT_EQ(Get("Other", "Big"), std::string(254, 'h'));
    EXPECT_EQ(Get("Tarnwick", "Path"), "p");
    ASSERT_TRUE(os::WritePrivateProfileString("Tarnwick", "Path", "q", ini));
    EXPECT_EQ(test::ReadFile(ini), text.substr(0, text.size() - 2) + "q\n");
}

TEST_F(HostileSettings, BytesThatAreNoTextSurviveAWrite)
{
    static const char bytes[] = "\xEF\xBB\xBF[Bin]\nk=\0\xff\xfe\r\rlone\rcr\n\x01\x02=\x7f\n";
    const std::string junk(bytes, sizeof bytes - 1);
    test::WriteFile(ini, junk + "[Tarnwick]\nSplash=1\n");
    EXPECT_EQ(Get("Bin", "\x01\x02"), "\x7f") << "the byte-order mark hid the first section";
    EXPECT_EQ(Get("Tarnwick", "Splash"), "1");
    ASSERT_TRUE(os::WritePrivateProfileString("Tarnwick", "Splash", "0", ini));
    EXPECT_EQ(test::ReadFile(ini), junk + "[Tarnwick]\nSplash=0\n");
    ASSERT_TRUE(os::WritePrivateProfileString("Tarnwick", "Path", "/home/u", ini));
    EXPECT_EQ(test::ReadFile(ini), junk + "[Tarnwick]\nSplash=0\nPath=/home/u\n");
}

TEST_F(HostileSettings, ReplacedFileKeepsItsMode)
{
    test::WriteFile(ini, "[Tarnwick]\nPath=p\n");
    fs::permissions(ini, fs::perms(0600));
    ASSERT_TRUE(os::WritePrivateProfileString("Tarnwick", "Path", "q", ini));
    EXPECT_EQ(test::ReadFile(ini), "[Tarnwick]\nPath=q\n");
    EXPECT_EQ(Mode(), fs::perms(0600)) << "a private settings file became readable by others";
}

TEST_F(HostileSettings, SpecialFileInThePlaceOfTheFileIsNeitherOpenedNorReplaced)
{
    for (const test::SpecialKind kind : test::AllSpecialKinds()) {
        test::TempDir here;
        const std::string path = here / "cairnix.ini";
        if (!test::MakeSpecialFile(kind, path)) {
            ADD_FAILURE() << "cannot make " << test::Describe(kind);
            continue;
        }
        const auto entries = [&] { return std::distance(fs::directory_iterator(here.Path()), {}); };
        const auto before = entries();
        // A FIFO opened for reading with no writer would hang: the alarm ends the child then.
        const int code = test::RunInChild([&] {
            ::alarm(10);
            if (Get("Tarnwick", "Path", path) != "<default>")
                return 1;
            return os::WritePrivateProfileString("Tarnwick", "Path", "p", path) ? 2 : 0;
        });
        EXPECT_EQ(code, 0) << test::Describe(kind) << " (-1: it blocked; 2: the write reported success)";
        EXPECT_TRUE(test::IsSpecialFile(kind, path)) << test::Describe(kind) << " became something else";
        EXPECT_EQ(entries(), before) << test::Describe(kind) << ": a temporary file stayed";
    }
}

TEST_F(HostileSettings, FileOfBlankLinesIsReadAndWrittenInMemoryNearItsSize)
{
    if (test::UnderAddressSanitizer())
        GTEST_SKIP() << "AddressSanitizer reserves more address space than any budget";
    // Nothing but line ends: a line table would cost many times the file.
    constexpr std::int64_t kSize = 32 << 20;
    const std::string blank(kSize, '\n');
    test::WriteFile(ini, blank);
    static const char* const keys[] = {"Overwrite", "PHX", "Palette", "Path", "Extract", "Start", "Splash", "FileSystem"};
    // As a run of the program: every key read, then every key written.
    const int code = test::RunInChild(
        [&] {
            for (const char* key : keys)
                if (Get("Tarnwick", key) != "<default>")
                    return 1;
            for (const char* key : keys)
                if (!os::WritePrivateProfileString("Tarnwick", key, std::string(key) + "!", ini))
                    return 2;
            return Get("Tarnwick", "FileSystem") == "FileSystem!" ? 0 : 3;
        },
        {-1, false, 2 * kSize});
    EXPECT_EQ(code, 0) << "124: out of a budget of twice the file";
    std::string added = "[Tarnwick]\n";
    for (const char* key : keys)
        added += std::string(key) + "=" + key + "!\n";
    EXPECT_TRUE(test::ReadFile(ini) == blank + added) << "the file is not the blank lines and the section";
}

// Found by fuzzing: a new key was glued to a last line ending in a lone CR.
TEST_F(HostileSettings, KeyAddedAfterALoneCarriageReturnAtTheEndReadsBack)
{
    for (const std::string text : {"[T]\r\nold=1\r", "[T]\nold=1\r", "[T]\r", "[A]\nold=1\r"}) {
        const std::string stored = os::profile::Store(text, "T", "path", "v");
        EXPECT_EQ(os::profile::Lookup(stored, "T", "path").value_or("<none>"), "v") << text;
        EXPECT_EQ(os::profile::Lookup(stored, text.substr(1, 1), "old"),
                  text.find("old") == std::string::npos ? std::nullopt : std::optional<std::string>("1")) << text;
        EXPECT_EQ(stored.substr(0, text.size()), text) << "the lines before changed";
    }
}

} // namespace
