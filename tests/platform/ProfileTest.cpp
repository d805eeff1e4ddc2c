#include "platform/os/Profile.h"
#include "platform/os/ProfileText.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tarnwick;
using tarnwick::test::ReadFile;
using tarnwick::test::RunInChild;
using tarnwick::test::TempDir;
using tarnwick::test::WriteFile;
namespace fs = std::filesystem;

namespace {

const std::string kShared = "; the Cairnix Suite's shared settings\r\n"
                            "[Other Tool]\r\n"
                            "key = value with blanks  \r\n"
                            "Path=C:\\other\r\n"
                            "\r\n"
                            "[ Tarnwick ]\r\n"
                            "  Overwrite = 0\r\n"
                            ";Splash=1\r\n"
                            "Quoted=\"  kept  \"\r\n"
                            "Single='one'\r\n"
                            "Half=\"open\r\n"
                            "Empty=\r\n"
                            "odd line without equals\r\n"
                            "\r\n"
                            "[Last]\r\n"
                            "x=1";

class Profile : public ::testing::Test {
protected:
    TempDir dir;
    std::string ini = dir / "cairnix.ini";

    std::string Get(const std::string& section, const std::string& key, const std::string& def = "<default>",
                    std::uint32_t size = 255)
    {
        std::string buffer(size + 1, '#');
        const std::uint32_t n = os::GetPrivateProfileString(section, key, def, buffer.data(), size, ini);
        EXPECT_EQ(buffer[n], size ? '\0' : '#') << "NUL after the copied text";
        return buffer.substr(0, n);
    }

    std::vector<std::string> FolderContents()
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir.Path()))
            out.push_back(e.path().filename().string());
        return out;
    }
};

} // namespace

TEST_F(Profile, NamesMatchWithoutCaseAndValuesAreTrimmed)
{
    WriteFile(ini, kShared);
    EXPECT_EQ(Get("tarnwick", "OVERWRITE"), "0");
    EXPECT_EQ(Get("Tarnwick", "Overwrite"), "0");
    EXPECT_EQ(Get("other tool", "Key"), "value with blanks");
    EXPECT_EQ(Get("  Other Tool ", " path "), "C:\\other");
    EXPECT_EQ(Get("Last", "x"), "1"); // the file's last line, without an ending
}

TEST_F(Profile, QuotesAroundTheWholeValueAreDropped)
{
    WriteFile(ini, kShared);
    EXPECT_EQ(Get("Tarnwick", "Quoted"), "  kept  ");
    EXPECT_EQ(Get("Tarnwick", "Single"), "one");
    EXPECT_EQ(Get("Tarnwick", "Half"), "\"open");
}

TEST_F(Profile, MissingThingsGiveTheDefault)
{
    WriteFile(ini, kShared);
    EXPECT_EQ(Get("Tarnwick", "Splash"), "<default>"); // only in a comment
    EXPECT_EQ(Get("Tarnwick", "Path"), "<default>");   // only in another section
    EXPECT_EQ(Get("Tarnwick", "odd line without equals"), "<default>");
    EXPECT_EQ(Get("Nowhere", "Overwrite"), "<default>");
    // A key that is there with no value is the empty text, not the default.
    EXPECT_EQ(Get("Tarnwick", "Empty"), "");
    // As on Windows, the default loses trailing blanks, but not leading ones.
    EXPECT_EQ(Get("Nowhere", "x", " 1  "), " 1");
    ini = dir / "missing.ini";
    EXPECT_EQ(Get("Tarnwick", "Overwrite", "1"), "1");
    fs::create_directory(dir / "folder.ini");
    ini = dir / "folder.ini";
    EXPECT_EQ(Get("Tarnwick", "Overwrite", "1"), "1");
}

TEST_F(Profile, ReadIsCutToTheBuffer)
{
    WriteFile(ini, "[s]\nk=" + std::string(300, 'v') + "\n");
    EXPECT_EQ(Get("s", "k"), std::string(254, 'v'));
    EXPECT_EQ(Get("s", "k", "", 5), "vvvv");
    EXPECT_EQ(Get("s", "k", "", 1), "");
    EXPECT_EQ(Get("s", "k", "", 0), "");
    EXPECT_EQ(Get("s", "missing", "long default", 5), "long");
}

TEST_F(Profile, FirstSectionAndKeyOfTwinsWin)
{
    WriteFile(ini, "\xEF\xBB\xBF[A]\nk=first\nK=second\n[a]\nk=third\n");
    EXPECT_EQ(Get("a", "k"), "first");
    // Keys above every section belong to none.
    WriteFile(ini, "k=loose\n[A]\nj=1\n");
    EXPECT_EQ(Get("A", "k"), "<default>");
}

TEST_F(Profile, WriteCreatesFileAndSection)
{
    ASSERT_TRUE(os::WritePrivateProfileString("Tarnwick", "Splash", "1", ini));
    EXPECT_EQ(ReadFile(ini), "[Tarnwick]\nSplash=1\n");
    ASSERT_TRUE(os::WritePrivateProfileString("Tarnwick", "Path", "C:\\games", ini));
    ASSERT_TRUE(os::WritePrivateProfileString("Other", "a", "b", ini));
    EXPECT_EQ(ReadFile(ini), "[Tarnwick]\nSplash=1\nPath=C:\\games\n\n[Other]\na=b\n");
    EXPECT_EQ(Get("tarnwick", "path"), "C:\\games");
}

TEST_F(Profile, WriteReplacesOneLineAndKeepsEveryOtherByte)
{
    WriteFile(ini, kShared);
    ASSERT_TRUE(os::WritePrivateProfileString("TARNWICK", "overwrite", "1", ini));
    std::string expected = kShared;
    expected.replace(expected.find("  Overwrite = 0"), 15, "Overwrite=1");
    EXPECT_EQ(ReadFile(ini), expected);
    EXPECT_EQ(Get("Tarnwick", "Overwrite"), "1");
    // Writing what is there already changes nothing.
    ASSERT_TRUE(os::WritePrivateProfileString("Tarnwick", "Overwrite", "1", ini));
    EXPECT_EQ(ReadFile(ini), expected);
}

TEST_F(Profile, NewKeyJoinsItsSectionInTheFilesLineEndings)
{
    WriteFile(ini, kShared);
    ASSERT_TRUE(os::WritePrivateProfileString("Tarnwick", "Splash", "0", ini));
    std::string expected = kShared;
    expected.insert(expected.find("\r\n\r\n[Last]") + 2, "Splash=0\r\n");
    EXPECT_EQ(ReadFile(ini), expected);
    // The last section, whose last line has no ending: the file keeps that.
    ASSERT_TRUE(os::WritePrivateProfileString("Last", "y", "2", ini));
    expected += "\r\ny=2";
    EXPECT_EQ(ReadFile(ini), expected);
    ASSERT_TRUE(os::WritePrivateProfileString("New", "z", "3", ini));
    expected += "\r\n\r\n[New]\r\nz=3\r\n";
    EXPECT_EQ(ReadFile(ini), expected);
    EXPECT_EQ(Get("Last", "y"), "2");
    EXPECT_EQ(Get("New", "z"), "3");
    EXPECT_EQ(Get("Tarnwick", "Splash"), "0");
}

TEST_F(Profile, EmptySectionGetsItsFirstKeyBelowTheHeader)
{
    WriteFile(ini, "[A]\n\n[B]\nb=1\n");
    ASSERT_TRUE(os::WritePrivateProfileString("a", "k", "v", ini));
    EXPECT_EQ(ReadFile(ini), "[A]\nk=v\n\n[B]\nb=1\n");
}

TEST_F(Profile, EmptyValueStaysAsAnEmptyKey)
{
    WriteFile(ini, "[Tarnwick]\nPath=C:\\x\n");
    ASSERT_TRUE(os::WritePrivateProfileString("Tarnwick", "Path", "", ini));
    EXPECT_EQ(ReadFile(ini), "[Tarnwick]\nPath=\n");
    EXPECT_EQ(Get("Tarnwick", "Path", "default"), "");
}

TEST_F(Profile, WhatWouldBreakTheFileIsRefused)
{
    WriteFile(ini, kShared);
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", "Path", "a\r\n[Evil]\r\nx=1", ini));
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", "Pa=th", "1", ini));
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", "[Path]", "1", ini));
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", ";Path", "1", ini));
    EXPECT_FALSE(os::WritePrivateProfileString("Tarn]wick", "Path", "1", ini));
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", " ", "1", ini));
    EXPECT_FALSE(os::WritePrivateProfileString("", "Path", "1", ini));
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", "Path", "1", ""));
    EXPECT_EQ(ReadFile(ini), kShared);
    // Not a file: left alone.
    fs::create_directory(dir / "folder.ini");
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", "Path", "1", dir / "folder.ini"));
    EXPECT_TRUE(fs::is_directory(dir / "folder.ini"));
    EXPECT_FALSE(os::WritePrivateProfileString("Tarnwick", "Path", "1", dir / "no folder/x.ini"));
}

TEST_F(Profile, FailedWriteLeavesTheOldFileWhole)
{
    const std::string big = "[Big]\n" + std::string(64 * 1024, 'k') + "=1\n[Tarnwick]\nPath=old\n";
    WriteFile(ini, big);
    // A disk that is full after 4 KiB: the new text cannot be written.
    const int code = RunInChild(
        [&] { return os::WritePrivateProfileString("Tarnwick", "Path", "new", ini) ? 0 : 1; },
        test::ChildLimits{4096, false});
    EXPECT_EQ(code, 1);
    EXPECT_EQ(ReadFile(ini), big);
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"cairnix.ini"});
}

TEST_F(Profile, WriteGoesThroughALinkToItsFile)
{
    WriteFile(dir / "real.ini", "[A]\nk=1\n");
    fs::create_symlink(dir / "real.ini", ini);
    ASSERT_TRUE(os::WritePrivateProfileString("A", "k", "2", ini));
    EXPECT_TRUE(fs::is_symlink(ini));
    EXPECT_EQ(ReadFile(dir / "real.ini"), "[A]\nk=2\n");
}

TEST(ProfileText, StoreThenLookupAgreeOnManyKeys)
{
    std::string text = "; header comment\n";
    for (int i = 0; i < 40; ++i)
        text = os::profile::Store(text, "S" + std::to_string(i % 3), "k" + std::to_string(i), std::to_string(i * i));
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(os::profile::Lookup(text, "s" + std::to_string(i % 3), "K" + std::to_string(i)),
                  std::to_string(i * i));
    EXPECT_EQ(text.rfind("; header comment\n", 0), 0u);
    EXPECT_EQ(os::profile::Lookup(text, "S0", "k1"), std::nullopt); // k1 went to S1
}
