// What a Windows disk does with an output path, through the real job and the
// real extract.exe on a real disk: names it cannot hold, and junctions. A device name must never reach a device: the
// test runs only where the COM and LPT devices have been pointed at files of
// the test's own (TARNWICK_DEVICE_TRAP, a folder holding com1 ... lpt9), and
// those files must stay empty.
#include <windows.h>
#undef DeleteFile

#include "extraction/clsExtract.h"
#include "os/Files.h"
#include "support/RunTool.h"
#include "support/VolumeBytes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const char* DeviceTrap() { return std::getenv("TARNWICK_DEVICE_TRAP"); }

// Every device file of the trap is still empty.
void ExpectNothingReachedADevice()
{
    for (const char* kind : {"com", "lpt"})
        for (int n = 1; n <= 9; ++n) {
            const std::string device = std::string(DeviceTrap()) + "\\" + kind + std::to_string(n);
            EXPECT_EQ(ReadFile(device), "") << device;
        }
}

// A junction at `link` to the folder `target`, as mklink /J makes one; false
// where the system cannot make one.
bool MakeJunction(const std::string& link, const std::string& target)
{
    const std::string full = os::AbsolutePath(target);
    if (full.empty() || !::CreateDirectoryA(link.c_str(), nullptr))
        return false;
    std::wstring substitute = L"\\??\\", print;
    for (char c : full)
        print += static_cast<wchar_t>(static_cast<unsigned char>(c));
    substitute += print;
    // The mount point's reparse data: a header, four 16-bit offsets and
    // lengths, then both names, each ending in a NUL.
    const USHORT subBytes = static_cast<USHORT>(substitute.size() * 2), printBytes = static_cast<USHORT>(print.size() * 2);
    std::vector<BYTE> data(8 + 8 + subBytes + 2 + printBytes + 2, 0);
    auto put16 = [&data](std::size_t at, USHORT v) { data[at] = BYTE(v & 0xFF), data[at + 1] = BYTE(v >> 8); };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(data.data(), &tag, 4);
    put16(4, static_cast<USHORT>(data.size() - 8));
    put16(8, 0);
    put16(10, subBytes);
    put16(12, static_cast<USHORT>(subBytes + 2));
    put16(14, printBytes);
    std::memcpy(data.data() + 16, substitute.data(), subBytes);
    std::memcpy(data.data() + 16 + subBytes + 2, print.data(), printBytes);
    HANDLE h = ::CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD got = 0;
    const bool made = ::DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, data.data(), static_cast<DWORD>(data.size()),
                                        nullptr, 0, &got, nullptr) != 0;
    ::CloseHandle(h);
    return made;
}

} // namespace

TEST(Win32OutputPaths, AJunctionInTheDestinationIsFollowedLikeALink)
{
    // A junction of the test's own where the system makes one. Wine makes
    // none, but shows a POSIX link as the same kind of folder: there the
    // harness lays one out (TARNWICK_LINK_FIXTURE: out\\j leading to
    // elsewhere).
    TempDir root;
    std::string dest = MakeFolder(root / "out"), elsewhere = MakeFolder(root / "elsewhere");
    if (!MakeJunction(dest + "\\j", elsewhere)) {
        const char* fixture = std::getenv("TARNWICK_LINK_FIXTURE");
        ASSERT_TRUE(fixture) << "the system made no junction, and TARNWICK_LINK_FIXTURE is not set";
        dest = std::string(fixture) + "\\out", elsewhere = std::string(fixture) + "\\elsewhere";
    }
    WriteFile(elsewhere + "/there.txt", "x");
    os::DeleteFile(elsewhere + "\\evil.cs");
    // The real path is where the junction leads, whatever its spelling.
    EXPECT_TRUE(EqualsNoCase(os::RealPath(dest + "\\j\\there.txt"), os::RealPath(elsewhere + "\\there.txt")))
        << os::RealPath(dest + "\\j\\there.txt");
    const std::string volume = WriteVolume(root / "v.vol", {{"j\\evil.cs", "evil"}, {"good.cs", "good"}});
    clsExtract job(PathStyle::Windows);
    std::vector<std::string> refused;
    job.E_Error = [&](std::int16_t n, const std::string& m) { refused.push_back(std::to_string(n) + " " + m); };
    job.SetRecreateStructure(true);
    job.SetOverwrite(true);
    job.Extract(volume, "j\\evil.cs,good.cs", dest, ToolPath("extract"));
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_NE(refused[0].find("through a link"), std::string::npos) << refused[0];
    EXPECT_FALSE(Exists(elsewhere + "/evil.cs"));
    EXPECT_EQ(ReadFile(dest + "/good.cs"), "good");
}

TEST(Win32OutputPaths, EachEntryArrivesWithItsOwnBytesOrIsRefusedByName)
{
    if (!DeviceTrap())
        GTEST_SKIP() << "TARNWICK_DEVICE_TRAP is not set: COM1 and LPT1 may be real devices here";
    TempDir root;
    const std::string dest = MakeFolder(root / "out");
    const std::string volume = WriteVolume(root / "hostile.vol", {{"a.cs", "first"}, {"a.cs.", "dot"},
                                                                   {"b.cs ", "blank"}, {"b.cs", "second"},
                                                                   {"nul.cs", "nul"}, {"scripts\\lpt1.txt", "lpt"},
                                                                   {"COM1", "com"}, {"a.cs:evil", "stream"}});
    clsExtract job(PathStyle::Windows);
    std::map<std::string, clsExtract::Outcome> outcomes;
    std::vector<std::string> refused;
    int questions = 0;
    job.E_Error = [&](std::int16_t n, const std::string& m) { refused.push_back(std::to_string(n) + " " + m); };
    job.E_Outcome = [&](const std::string& name, const std::string&, clsExtract::Outcome o) { outcomes[name] = o; };
    job.AskOverwrite = [&](const std::string&) { return ++questions, MsgAnswer::No; };
    job.SetRecreateStructure(true);
    job.SetNames({"a.cs", "a.cs.", "b.cs ", "b.cs", "nul.cs", "scripts\\lpt1.txt", "COM1", "a.cs:evil"});
    job.Extract(volume, {}, dest, ToolPath("extract"));

    EXPECT_EQ(ReadFile(dest + "/a.cs"), "first");
    EXPECT_EQ(ReadFile(dest + "/b.cs"), "second");
    EXPECT_EQ(FilesBelow(dest), (std::vector<std::string>{"a.cs", "b.cs"}));
    EXPECT_EQ(questions, 0) << "no entry may land on another's file";
    ASSERT_EQ(refused.size(), 6u);
    for (const std::string& message : refused)
        EXPECT_EQ(message.rfind("5 Unable to extract ", 0), 0u) << message;
    for (const char* name : {"a.cs.", "b.cs ", "nul.cs", "scripts\\lpt1.txt", "COM1", "a.cs:evil"})
        EXPECT_EQ(outcomes.at(name), clsExtract::Outcome::Failed) << name;
    // tarnvol writes the files in its own process, by the same rules.
    const std::string own = MakeFolder(root / "own");
    const ToolRun run = RunTool(ToolPath("tarnvol"), {"extract", volume, own});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(FilesBelow(own), (std::vector<std::string>{"a.cs", "b.cs"}));
    EXPECT_EQ(ReadFile(own + "/a.cs") + ReadFile(own + "/b.cs"), "firstsecond");
    std::size_t told = 0;
    for (std::size_t at = 0; (at = run.err.find("] Unable to extract ", at)) != std::string::npos; ++at)
        ++told;
    EXPECT_EQ(told, 6u) << run.err;
    EXPECT_EQ(run.err.find("kept"), std::string::npos) << run.err;
    ExpectNothingReachedADevice();
}

TEST(Win32OutputPaths, TheExtractorRefusesAnOutputWindowsWouldSendElsewhere)
{
    if (!DeviceTrap())
        GTEST_SKIP() << "TARNWICK_DEVICE_TRAP is not set: COM1 and LPT1 may be real devices here";
    TempDir root;
    const std::string dest = MakeFolder(root / "out");
    const std::string volume = WriteVolume(root / "v.vol", {{"a.cs", "bytes"}});
    // {output below dest, the reason's words}
    const std::pair<const char*, const char*> cases[] = {
        {"nul.cs", "names a device"},   {"COM1", "names a device"},  {"scripts\\LPT2.txt", "names a device"},
        {"con\\x.cs", "names a device"}, {"a.cs.", "ends in a dot"}, {"a.cs ", "ends in a blank"},
        {"a.cs:evil", "holds a colon"},  {"q<.cs", "holds the character <"},
    };
    for (const auto& [output, reason] : cases) {
        const ToolRun run = RunTool(ToolPath("extract"), {volume, "a.cs", dest + "\\" + output});
        EXPECT_EQ(run.exitCode, 8) << output;
        EXPECT_NE(run.err.find(reason), std::string::npos) << output << ": " << run.err;
    }
    EXPECT_EQ(FilesBelow(dest), std::vector<std::string>{});
    // A device named as one still takes the bytes, and a sound name is written.
    EXPECT_EQ(RunTool(ToolPath("extract"), {volume, "a.cs", "\\\\.\\NUL"}).exitCode, 0);
    EXPECT_EQ(RunTool(ToolPath("extract"), {volume, "a.cs", dest + "\\a.cs"}).exitCode, 0);
    EXPECT_EQ(ReadFile(dest + "/a.cs"), "bytes");
    ExpectNothingReachedADevice();
}
