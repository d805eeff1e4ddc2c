// The settings file as users and other programs leave it: read-only, a
// folder in its place, one enormous line, bytes that are no text. Reads must
// still answer and a write must never cost the file what it held.
#include "platform/os/Profile.h"
#include "platform/os/ProfileText.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace tarnwick;
using tarnwick::test::ReadFile;
using tarnwick::test::TempDir;
using tarnwick::test::WriteFile;
namespace fs = std::filesystem;

namespace {

std::string Get(const std::string& section, const std::string& key, const std::string& file,
                std::uint32_t size = 255)
{
    std::string buffer(size + 1, '#');
    const std::uint32_t n = os::GetPrivateProfileString(section, key, "<default>", buffer.data(), size, file);
    return buffer.substr(0, n);
}

unsigned Mode(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

} // namespace

TEST(HostileSettings, ReadOnlyFileIsReadButNeverReplaced)
{
    TempDir dir;
    const std::string ini = dir / "cairnix.ini";
    const std::string text = "[Tarnwick]\r\nPath=C:\\keep\r\n";
    WriteFile(ini, text);
    ::chmod(ini.c_str(), 0444);
    ::chmod(dir.Path().c_str(), 0755);

    EXPECT_EQ(Get("Tarnwick", "Path", ini), "C:\\keep");
    // Replacing the file by a rename would succeed in a writable folder and
    // quietly undo the user's protection; as root too.
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", "Path", "new", ini));
    EXPECT_EQ(ReadFile(ini), text);
    EXPECT_EQ(Mode(ini), 0444u);
    const int code = test::RunInChild(
        [&] { return os::WritePrivateProfileString("Tarnwick", "Splash", "0", ini) ? 1 : 0; },
        test::ChildLimits{-1, true});
    EXPECT_EQ(code, 0) << "an ordinary user replaced a read-only file";
    EXPECT_EQ(ReadFile(ini), text);
    EXPECT_EQ(Mode(ini), 0444u);
}

TEST(HostileSettings, FolderInPlaceOfTheFileReadsAsMissing)
{
    TempDir dir;
    const std::string ini = dir / "cairnix.ini";
    fs::create_directory(ini);
    WriteFile(ini + "/inside", "x");
    EXPECT_EQ(Get("Tarnwick", "Path", ini), "<default>");
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", "Path", "1", ini));
    EXPECT_TRUE(fs::is_directory(ini));
    EXPECT_EQ(ReadFile(ini + "/inside"), "x");
}

TEST(HostileSettings, MegabyteLineIsCutOnReadAndKeptWholeOnWrite)
{
    TempDir dir;
    const std::string ini = dir / "cairnix.ini";
    const std::string huge(1 << 20, 'h');
    const std::string text = "[Other]\nBig=" + huge + "\n" + std::string(1 << 20, ';') + "\n[Tarnwick]\nPath=p\n";
    WriteFile(ini, text);
    EXPECT_EQ(Get("Other", "Big", ini), std::string(254, 'h'));
    EXPECT_EQ(Get("Tarnwick", "Path", ini), "p");
    ASSERT_TRUE(os::WritePrivateProfileString("Tarnwick", "Path", "q", ini));
    std::string expected = text;
    expected.replace(expected.size() - 2, 1, "q");
    EXPECT_EQ(ReadFile(ini), expected);
}

TEST(HostileSettings, BytesThatAreNoTextSurviveAWrite)
{
    TempDir dir;
    const std::string ini = dir / "cairnix.ini";
    static const char bytes[] = "\xEF\xBB\xBF[Bin]\nk=\0\xff\xfe\r\rlone\rcr\n\x01\x02=\x7f\n";
    const std::string junk(bytes, sizeof bytes - 1);
    WriteFile(ini, junk + "[Tarnwick]\nSplash=1\n");
    EXPECT_EQ(Get("Tarnwick", "Splash", ini), "1");
    ASSERT_TRUE(os::WritePrivateProfileString("Tarnwick", "Splash", "0", ini));
    EXPECT_EQ(ReadFile(ini), junk + "[Tarnwick]\nSplash=0\n");
    ASSERT_TRUE(os::WritePrivateProfileString("Tarnwick", "Path", "/home/u", ini));
    EXPECT_EQ(ReadFile(ini).substr(0, junk.size()), junk);
    EXPECT_EQ(Get("Tarnwick", "Path", ini), "/home/u");
}

TEST(HostileSettings, ReplacedFileKeepsItsMode)
{
    TempDir dir;
    const std::string ini = dir / "cairnix.ini";
    WriteFile(ini, "[Tarnwick]\nPath=p\n");
    ::chmod(ini.c_str(), 0600);
    ASSERT_TRUE(os::WritePrivateProfileString("Tarnwick", "Path", "q", ini));
    EXPECT_EQ(ReadFile(ini), "[Tarnwick]\nPath=q\n");
    EXPECT_EQ(Mode(ini), 0600u) << "a private settings file became readable by others";
}

TEST(HostileSettings, KeyAddedAfterALoneCarriageReturnAtTheEndReadsBack)
{
    // Found by fuzzing: the last line of the section ended in a CR with no
    // LF, the new key was glued to it and could not be read back.
    for (const std::string text : {"[T]\r\nold=1\r", "[T]\nold=1\r", "[T]\r"}) {
        const std::string stored = os::profile::Store(text, "T", "path", "v");
        EXPECT_EQ(os::profile::Lookup(stored, "T", "path"), std::optional<std::string>("v")) << text;
        if (text.find("old") != std::string::npos) {
            EXPECT_EQ(os::profile::Lookup(stored, "T", "old"), std::optional<std::string>("1")) << text;
        }
        EXPECT_EQ(stored.substr(0, text.size()), text) << "the lines before changed";
    }
    // The section missing altogether: it goes on a line of its own.
    const std::string stored = os::profile::Store("[A]\nx=1\r", "B", "k", "2");
    EXPECT_EQ(os::profile::Lookup(stored, "B", "k"), std::optional<std::string>("2"));
    EXPECT_EQ(os::profile::Lookup(stored, "A", "x"), std::optional<std::string>("1"));
}
