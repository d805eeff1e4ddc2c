// The progress form with the real extractor: the job made when the window
// loads and let go of when it unloads, the request read when the timer
// fires, each report shown, the first error shown and the rest counted
// unheard, and closing refused until the form has unloaded.
#include "forms/ProgressForm.h"
#include "extraction/clsExtract.h"
#include "support/FormSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

class ProgressFormTest : public ::testing::Test {
protected:
    ProgressFormTest()
    {
        MakeFolder(out);
        request.volumePath = WriteVolume(At(dir, "Base.vol"), {{"caf\xE9.cs", "1"}, {"a\\x.cs", "2"}, {"b\\y.cs", "3"},
                                                             {"sub\\b.cs", "4"}, {"fine.cs", "5"}});
        request.destination = out;
        request.extractor = Extractor();
        sink.onShow = [this](const MessageRequest&) { seen.push_back(Refused() ? "box, closing refused" : "box"); };
        Make();
    }
    // A fresh form, watched and loaded as its window loads it: each full
    // draw as "bar label file", the unload as "close".
    void Make()
    {
        form = std::make_unique<ProgressForm>([this] { return ++reads, request; }, toolkit);
        form->Form_Load();
        form->Changed = [this](const std::string& control) {
            if (control.empty())
                seen.push_back(std::to_string(form->pbrProgress) + " " + form->labProgress + " " + form->labFile);
        };
        form->CloseWindow = [this] { seen.push_back("close"); };
    }
    bool Refused() const
    {
        bool cancel = false;
        form->Form_QueryUnload(cancel);
        return cancel;
    }
    TempDir dir;
    const std::string out = At(dir, "Out");
    ExtractionRequest request;
    int reads = 0;
    FakeToolkit toolkit;
    ScriptedSink sink;
    std::unique_ptr<ProgressForm> form;
    std::vector<std::string> seen;
};

} // namespace

// The job is made when the window loads, heard from the start, and let go
// of when the form unloads; the request is read only when the timer fires.
TEST_F(ProgressFormTest, TheRequestIsReadWhenTheTimerFiresAndTheJobShowsEachName)
{
    EXPECT_TRUE(form->timProcess.Enabled && form->timProcess.Interval == 300);
    clsExtract* job = form->objExtract();
    ASSERT_NE(job, nullptr);
    job->E_Percent(40, "caf\xE9.cs");
    // Chosen after the window was made, before its timer fired.
    request.names = {"caf\xE9.cs", "sub\\b.cs"};
    EXPECT_EQ(reads, 0);
    EXPECT_TRUE(Refused());
    form->timProcess_Timer();
    EXPECT_EQ(reads, 1);
    EXPECT_FALSE(form->timProcess.Enabled);
    EXPECT_EQ(seen, (std::vector<std::string>{"40 40% caf\xC3\xA9.cs", "0 0% Initializing...", "0 0% caf\xC3\xA9.cs",
                                              "50 50% caf\xC3\xA9.cs", "100 100% sub\\b.cs", "100 100% Complete",
                                              "close"}));
    EXPECT_EQ(form->objExtract(), nullptr);
    EXPECT_EQ(ReadFile(out + "/sub/b.cs"), "4");
    EXPECT_FALSE(Exists(out + "/fine.cs"));
    EXPECT_EQ(form->NamesHandled(), 2u);
    EXPECT_TRUE(form->FailedNames().empty() && sink.texts.empty() && !Refused());
    // Every command line goes to the clipboard, the last one staying.
    EXPECT_EQ(toolkit.clipboard.size(), 2u);
    EXPECT_EQ(toolkit.clipboard.back(), "\"" + request.extractor + "\" \"" + request.volumePath + "\" sub\\b.cs \"" + out +
                                            kSep + "sub" + kSep + "b.cs\"");
}

TEST_F(ProgressFormTest, TheFirstErrorIsShownThenTheFormUnloadsAndTheJobsFailuresAreStillCounted)
{
    // Files where a\x.cs's and b\y.cs's folders should be; fine.cs is there
    // already, so the job asks about it after the form has unloaded.
    for (const char* blocker : {"a", "b", "fine.cs"})
        WriteFile(out + kSep + blocker, "mine");
    const std::string volume = request.volumePath;
    struct Case {
        std::vector<std::string> names;
        std::string volume;
        std::vector<std::string> seen, texts, failed;
        std::size_t handled;
    };
    const Case cases[] = {
        {{"a\\x.cs", "b\\y.cs", "fine.cs"}, volume,
         {"0 0% Initializing...", "0 0% a\\x.cs", "box, closing refused", "close", "box, closing refused"},
         {"[Error: 6] Unable to create the folder " + Shown(out + kSep + "a") + " for a\\x.cs.",
          Shown(out + kSep + "fine.cs") + " already exists.  Overwrite?"},
         {"a\\x.cs", "b\\y.cs"}, 3},
        {{"fine.cs"}, volume + ".gone", {"box, closing refused", "close"},
         {"[Error: 1] " + Shown(volume + ".gone") +
          " is not a valid path to a Starsiege: Tribes 1.X volume (*.vol) file."},
         {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.texts.front());
        Make();
        request.names = c.names;
        request.volumePath = c.volume;
        seen.clear();
        sink.texts.clear();
        sink.shown.clear();
        form->timProcess_Timer();
        EXPECT_EQ(seen, c.seen);
        EXPECT_EQ(sink.texts, c.texts);
        EXPECT_EQ(sink.shown.front().icon, MsgIcon::Critical);
        EXPECT_EQ(form->FailedNames(), c.failed);
        EXPECT_EQ(form->NamesHandled(), c.handled);
        EXPECT_FALSE(Refused());
    }
}
