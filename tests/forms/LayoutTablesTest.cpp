// The windows' layout tables: both toolkits build from them, so a
// slip in one shows in every window.
#include "forms/ProgressForm.h"
#include "forms/AboutForm.h"
#include "forms/SplashForm.h"
#include "forms/DetailsForm.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace tarnwick;

TEST(LayoutTables, EveryControlIsNamedOnceAndFitsOnWhatHoldsIt)
{
    const std::pair<const char*, const WindowLayout*> windows[] = {
        {"about", &AboutForm::Layout()}, {"splash", &SplashForm::Layout()},
        {"details", &DetailsForm::Layout()}, {"progress", &ProgressForm::Layout()}};
    for (const auto& [window, layout] : windows) {
        std::set<std::string> seen;
        for (const ControlPlace& c : layout->controls) {
            SCOPED_TRACE(std::string(window) + " " + c.name);
            EXPECT_TRUE(seen.insert(c.name).second);
            // A container is made before what sits on it.
            const ControlPlace* holder = *c.container ? FindControl(*layout, c.container) : nullptr;
            ASSERT_TRUE(!*c.container || (holder && seen.count(c.container)));
            const int width = holder ? holder->width : layout->width;
            const int height = holder ? holder->height : layout->height;
            EXPECT_TRUE(c.left >= 0 && c.top >= 0 && c.width > 0 && c.height > 0);
            EXPECT_LE(c.left + c.width, width);
            EXPECT_LE(c.top + c.height, height);
        }
        EXPECT_EQ(FindControl(*layout, "no such control"), nullptr);
    }
}
