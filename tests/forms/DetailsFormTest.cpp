// The "Volume Details" form: what each value label says for a volume, the
// date by the system's general-date rule.
#include "support/FakeToolkit.h"
#include "forms/DetailsForm.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace tarnwick;
using tarnwick::test::FakeToolkit;

namespace {

// A moment of the local clock, as the file system would hand it over.
std::time_t Local(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

} // namespace

TEST(DetailsForm, FillShowsEachValueAndTheGeneralDate)
{
    struct Case {
        std::optional<std::int64_t> size;
        std::optional<std::time_t> modified;
        const char* labSize;
        const char* labDate;
    };
    const Case cases[] = {
        // Exactly midnight: the date alone; a second either side: both.
        {12345, Local(2024, 3, 5, 0, 0, 0), "12345", "2024-03-05"},
        {0, Local(2024, 3, 5, 0, 0, 1), "0", "2024-03-05 00:00:01"},
        {8LL << 32, Local(2024, 3, 4, 23, 59, 59), "34359738368", "2024-03-04 23:59:59"},
        {7, Local(1999, 12, 31, 12, 0, 0), "7", "1999-12-31 12:00:00"},
        // A file gone since it was found to be a volume.
        {std::nullopt, Local(2024, 3, 5, 13, 45, 0), "unknown", "2024-03-05 13:45:00"},
        {7, std::nullopt, "7", "unknown"},
        {std::nullopt, std::nullopt, "unknown", "unknown"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.labDate);
        FakeToolkit toolkit;
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
