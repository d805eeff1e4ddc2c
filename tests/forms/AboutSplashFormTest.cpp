// The About and splash windows' forms: the version they put in when they
// open, and how each one closes.
#include "forms/AboutForm.h"
#include "forms/SplashForm.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(form.labName + " | " + form.labCompany, "Tarnwick | Cairnix Suite");
    EXPECT_EQ(form.labDesc, "     Tarnwick gives Starsiege: Tribes scripters a Windows Graphical Interface to the command "
                            "line tool, extract, thus making it easier to extract the resources in the game's volume "
                            "(*.vol) files.  Part of the Cairnix Suite family, Tarnwick is second in a line of utilities.");
}

TEST(SplashForm, TheTimerRunsFromLoadAndItsFirstTickCloses)
{
    const std::pair<std::optional<int>, int> cases[] = {{std::nullopt, 2551}, {20, 20}};
    for (const auto& [given, interval] : cases) {
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
