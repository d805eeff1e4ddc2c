// Every message box of the design, brought about as a user meets it, asks
// with the designed buttons and icon and is titled Tarnwick.
#include "support/DesignedWindows.h"
#include "support/FormSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace tarnwick::test {
namespace {

// Leads to the box: `out` is a fresh extraction folder.
using Lead = std::function<void(const TempDir& dir, const std::string& out)>;
struct Situation {
    const char* says; // a part of the box's text, to know it is this box
    Lead lead;
};

void Extract(StartedForm& s)
{
    s.form->lstData.SetSelected(0, true);
    s.form->cmdExtract_Click();
}

const std::map<std::string, Situation>& Situations()
{
    static const std::map<std::string, Situation> situations{
        {"another copy is running",
         {"You may only run one instance of Tarnwick at a time.", [](const TempDir& dir, const std::string&) {
             StartupOptions o = TestOptions(dir, "");
             o.anotherInstanceRunning = true;
             StartForm(o);
         }}},
        {"the command line names no file",
         {" is not a valid path to a volume (*.vol) file.", [](const TempDir& dir, const std::string&) {
             StartupOptions o = TestOptions(dir, "[Tarnwick]\nSplash=0\n");
             o.commandTail = At(dir, "Missing.VOL");
             StartForm(o);
         }}},
        {"the command line names no volume",
         {" is not a valid volume (*.vol) file.", [](const TempDir& dir, const std::string&) {
             WriteFile(At(dir, "notes.txt"), "");
             StartupOptions o = TestOptions(dir, "[Tarnwick]\nSplash=0\n");
             o.commandTail = At(dir, "notes.txt");
             StartForm(o);
         }}},
        {"the extractor was not located",
         {" was not located.  Extract is a required component for Tarnwick to function.  Please locate it.", [](const TempDir& dir, const std::string&) {
             StartForm(TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + At(dir, "gone/" + kExtractor) + "\n"));
         }}},
        {"Properties of a file that is not a volume",
         {" is not a valid Starsiege: Tribes 1.X volume file.", [](const TempDir& dir, const std::string& out) {
             auto s = OpenListing(dir, out, {"a.cs"});
             WriteFile(At(dir, "v/Broken.vol"), "not a volume");
             s->form->filVolumes.Refresh();
             const std::vector<std::string>& names = s->form->filVolumes.Names();
             s->form->filVolumes.Select(int(std::find(names.begin(), names.end(), "Broken.vol") - names.begin()));
             s->form->mnuProperties_Click();
         }}},
        {"a refused request",
         {"You have selected no files to extract.", [](const TempDir& dir, const std::string& out) { OpenListing(dir, out, {"a.cs"})->form->cmdExtract_Click(); }}},
        {"an error of the job",
         {"[Error: 3] ", [](const TempDir& dir, const std::string& out) {
             auto s = OpenListing(dir, out, {"a.cs"});
             s->form->txtPath = At(dir, "no such folder");
             Extract(*s);
         }}},
        {"overwrite a file?",
         {" already exists.  Overwrite?", [](const TempDir& dir, const std::string& out) {
             auto s = OpenListing(dir, out, {"a.cs"});
             WriteFile(out + kSep + "a.cs", "mine");
             s->form->chkOverwrite = CheckState::Unchecked;
             Extract(*s);
         }}},
    };
    return situations;
}

TEST(MessageBoxes, EachAsksWithItsDesignedButtonsAndIcon)
{
    for (const DesignedBox& box : DesignedBoxes()) {
        SCOPED_TRACE(box.what);
        const auto situation = Situations().find(box.what);
        ASSERT_NE(situation, Situations().end());
        TempDir dir;
        ScriptedSink sink;
        sink.answers = {MsgAnswer::Cancel}; // the extractor's box: end there
        situation->second.lead(dir, dir / "out");
        ASSERT_FALSE(sink.shown.empty());
        const MessageRequest& shown = sink.shown.front();
        EXPECT_NE(shown.text.find(situation->second.says), std::string::npos) << shown.text;
        EXPECT_EQ(shown.buttons, RequestedButtons(box.buttons)) << shown.text;
        EXPECT_EQ(shown.icon, RequestedIcon(box.icon)) << shown.text;
        EXPECT_EQ(shown.title, "Tarnwick");
    }
}

} // namespace
} // namespace tarnwick::test
