// The one rule of the operating-system services: what a caller leaves empty is the system's own.
#include "extraction/clsExtract.h"
#include "services/CommonRoutines.h"
#include "support/TestFiles.h"
#include "volume/clsVOLReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

using namespace tarnwick;

TEST(OsServices, AServiceLeftEmptyIsTheSystemsOwn)
{
    // Only the extractor's start is faked: the folders, the volume and the extractor are real.
    test::TempDir dir;
    const PathStyle style = NativePathStyle();
    const auto at = [&](const std::string& name) { return JoinPath(dir.Path(), name, style); };
    test::WriteFile(at("a.vol"), "PVOL");
    test::WriteFile(at("extract"), "not run");
    std::vector<std::string> started;
    OsServices only;
    only.StartProcessHidden = [&](const std::string& line, bool) { return started.push_back(line), std::int64_t{0}; };

    EXPECT_EQ(CreateFolderPath(JoinPath(at("x"), "y", style), style, only), "");
    EXPECT_TRUE(std::filesystem::is_directory(JoinPath(at("x"), "y", style)));
    clsVOLReader(style, only).Extract("a.cs", at("x"), at("a.vol"), at("extract"));
    clsExtract(style, only).Extract(at("a.vol"), "a.cs", at("x"), at("extract"));
    ASSERT_EQ(started.size(), 2u);
    EXPECT_NE(started[1].find(JoinPath(at("x"), "a.cs", style)), std::string::npos) << started[1];
}
