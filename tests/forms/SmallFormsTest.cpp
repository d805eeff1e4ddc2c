// The About, splash and details windows' forms. Where their tables put each
// control is held against the design by the Qt and Win32 DesignTests.
#include "forms/AboutForm.h"
#include "forms/DetailsForm.h"
#include "forms/SplashForm.h"
#include "support/FakeToolkit.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <ctime>
#include <optional>
#include <string>
#include <vector>

using namespace tarnwick;

namespace {

// What the window was told, in order: the controls to draw, "close".
struct Told {
    std::vector<std::string> calls;
    explicit Told(Form& form)
    {
        form.Changed = [this](const std::string& control) { calls.push_back(control); };
        form.CloseWindow = [this] { calls.push_back("close"); };
    }
};

const std::string kVersion = "\xC3\x9F" + test::ProjectVersion();

// A moment of the local clock, as the file system would hand it over.
std::time_t Local(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900, t.tm_mon = month - 1, t.tm_mday = day;
    t.tm_hour = hour, t.tm_min = minute, t.tm_sec = second, t.tm_isdst = -1;
    return std::mktime(&t);
}

} // namespace

TEST(AboutForm, LoadPutsInTheVersionAndOKCloses)
{
    AboutForm form;
    Told told(form);
    EXPECT_EQ(form.labVersion, "...");
    form.Form_Load();
    EXPECT_EQ(form.labVersion, kVersion);
    form.cmdOK_Click();
    EXPECT_EQ(told.calls, (std::vector<std::string>{"labVersion", "close"}));
}

TEST(SplashForm, TheTimerRunsFromLoadAndItsFirstTickCloses)
{
    for (const auto& [given, interval] : {std::pair{std::optional<int>(), 2551}, {std::optional<int>(20), 20}}) {
        SplashForm form = given ? SplashForm(*given) : SplashForm();
        Told told(form);
        EXPECT_EQ(form.timRelease.Interval, interval);
        EXPECT_FALSE(form.timRelease.Enabled);
        form.Form_Load();
        EXPECT_EQ(form.labVersion, kVersion);
        EXPECT_TRUE(form.timRelease.Enabled);
        form.timRelease_Timer();
        EXPECT_FALSE(form.timRelease.Enabled);
        // The version is drawn before the timer starts counting.
        EXPECT_EQ(told.calls, (std::vector<std::string>{"labVersion", "timRelease", "timRelease", "close"}));
    }
}

TEST(DetailsForm, FillShowsEachValueAndTheGeneralDate)
{
    const struct {
        std::optional<std::int64_t> size;
        std::optional<std::time_t> modified;
        const char* labSize;
        const char* labDate;
    } cases[] = {
        // Exactly midnight: the date alone; a second either side: both.
        {12345, Local(2024, 3, 5, 0, 0, 0), "12345", "2024-03-05"},
        {0, Local(2024, 3, 5, 0, 0, 1), "0", "2024-03-05 00:00:01"},
        {8LL << 32, Local(2024, 3, 4, 23, 59, 59), "34359738368", "2024-03-04 23:59:59"},
        // A file gone since it was found to be a volume.
        {std::nullopt, Local(2024, 3, 5, 13, 45, 0), "unknown", "2024-03-05 13:45:00"},
        {7, std::nullopt, "7", "unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.labDate);
        test::FakeToolkit toolkit;
        DetailsForm form(toolkit);
        int drawn = 0;
        form.Changed = [&drawn](const std::string& control) { drawn += control.empty(); };
        // The name stays the disk's bytes; the window reads them as locale text.
        form.Fill("caf\xE9 \x80.vol", c.size, c.modified, 100000000000LL, -1, 224, 2147483647);
        EXPECT_EQ(form.labSize, c.labSize);
        EXPECT_EQ(form.labDate, c.labDate);
        EXPECT_EQ(form.labName, "caf\xE9 \x80.vol");
        EXPECT_EQ(form.labFileCount + " " + form.labPVOL + " " + form.labVOLS + " " + form.labVOLI,
                  "100000000000 -1 224 2147483647");
        EXPECT_EQ(drawn, 1);
    }
}
