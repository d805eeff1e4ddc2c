// The names a Windows disk cannot hold as given, as a volume may store them.
#include "os/WindowsNames.h"

#include <gtest/gtest.h>

using namespace tarnwick;

TEST(WindowsNames, DevicesTrimmedAndForbiddenNamesAreTold)
{
    // {piece, what the reason starts with; "" for a piece Windows holds}
    const std::pair<const char*, const char*> cases[] = {
        {"CON", "names a device"}, {"prn", "names a device"}, {"Aux", "names a device"}, {"NUL", "names a device"},
        {"nul.cs", "names a device"}, {"NUL .txt", "names a device"}, {"con.a.b", "names a device"},
        {"COM1", "names a device"}, {"com9.cs", "names a device"}, {"LPT1", "names a device"},
        {"lpt9.txt", "names a device"}, {"COM0", "names a device"}, {"CONIN$", "names a device"},
        {"conout$.log", "names a device"}, {"COM\xB9", "names a device"}, {"lpt\xB3.cs", "names a device"},
        {"a.cs.", "ends in a dot"}, {"b.cs ", "ends in a blank"}, {"dir.", "ends in a dot"},
        {"a.cs:evil", "holds a colon"}, {"q?.cs", "holds the character ?"}, {"s*.cs", "holds the character *"},
        {"<x>", "holds the character <"}, {"p|q", "holds the character |"}, {"say\"hi\"", "holds the character \""},
        {"tab\there", "holds a control character"}, {"\x01.cs", "holds a control character"},
        // Near misses the disk holds well.
        {"console.cs", ""}, {"nullable.cs", ""}, {"COM10", ""}, {"LPT", ""}, {"auxiliary", ""}, {"com1x.cs", ""},
        {"x.nul", ""}, {" lead.cs", ""}, {"caf\xE9.cs", ""}, {"a b.cs", ""}, {".hidden", ""}, {"a..b", ""},
    };
    for (const auto& [piece, reason] : cases)
        EXPECT_EQ(WindowsPieceProblem(piece).rfind(reason, 0), 0u) << piece << ": " << WindowsPieceProblem(piece);
}

TEST(WindowsNames, APathIsJudgedPieceByPieceBelowItsRoot)
{
    const std::pair<const char*, const char*> cases[] = {
        {"D:\\out\\scripts\\lpt1.txt", "\"lpt1.txt\" names a device"},
        {"D:\\out\\con\\a.cs", "\"con\" names a device"},
        {"D:\\out\\a.cs.", "\"a.cs.\" ends in a dot"},
        {"D:\\out\\dir \\a.cs", "\"dir \" ends in a blank"},
        {"D:\\out\\a.cs:evil:$DATA", "\"a.cs:evil:$DATA\" holds a colon"},
        {"scripts/x?.cs", "\"x?.cs\" holds the character ?"},
        // Roots and steps are the path's own, not names.
        {"C:\\out\\.\\a.cs", ""}, {"C:\\out\\..\\a.cs", ""}, {"C:a.cs", ""},
        {"\\\\?\\C:\\out\\a.cs", ""}, {"\\\\?\\UNC\\server\\share\\a.cs", ""}, {"\\\\server\\share\\a.cs", ""},
        {"\\\\server\\share\\nul", "\"nul\" names a device"}, {"\\\\?\\C:\\out\\a.", "\"a.\" ends in a dot"},
    };
    for (const auto& [path, problem] : cases)
        EXPECT_EQ(WindowsPathProblem(path).rfind(problem, 0), 0u) << path << ": " << WindowsPathProblem(path);
}
