// Extracting selected names through the progress form with the real extractor.
#include "extraction/clsExtract.h"
#include "support/FormSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

class MainFormExtract : public ::testing::Test {
protected:
    // A form started with `o`, every name selected, watched as the job runs.
    std::unique_ptr<StartedForm> Start(const StartupOptions& o)
    {
        auto s = StartForm(o);
        s->form->cmdSelAll_Click();
        s->toolkit.onShow = [this, t = &s->toolkit](Form& shown) {
            auto& p = dynamic_cast<ProgressForm&>(shown);
            waitedForTheJob = t->waits > 0;
            p.Changed = [this, &p](const std::string&) {
                if (clsExtract* job = p.objExtract(); job && jobNames.empty())
                    jobNames = job->Names();
                progress = p.labProgress + " " + p.labFile;
            };
        };
        return s;
    }
    // A form listing Base.vol, extracting into `out`.
    std::unique_ptr<StartedForm> Open(const std::vector<std::string>& names) { return Start(ListingOptions(dir, out, names)); }
    // After a run: no selection left, the pointer back to the arrow.
    static bool Idle(const StartedForm& s) { return !s.form->lstData.HasSelection() && s.toolkit.waits == 0; }

    TempDir dir;
    std::string out = At(dir, "Out");
    std::vector<std::string> jobNames;
    std::string progress;
    bool waitedForTheJob = false;
};

// Names as a volume stores them: bytes in Windows-1252, which may hold a
// comma, quotes or run blanks together, shown as text but handed over whole.
TEST_F(MainFormExtract, EveryKindOfNameArrivesWithItsOwnBytes)
{
    // The volume's own name holds quotes, beside a plain file named like its
    // part before the first quote (a command line cut at the quote would read
    // it as the volume); the destination holds quotes too.
    WriteFile(dir / "dl/skins", "PVOL not this one");
    const std::string volume = dir / "dl/skins\" \"pack.vol", dest = dir / "my \"out\"";
    // Each stored name and where it lands: its UTF-8 text, slashes between folders.
    const std::pair<std::string, std::string> names[] = {
        {"caf\xE9.cs", "caf\xC3\xA9.cs"},
        {"two  blanks.cs", "two  blanks.cs"},
        {" lead.cs", " lead.cs"},
        {"trail.cs ", "trail.cs "},
        {"tab\there.cs", "tab\there.cs"},
        {"missions\\Broadside, Night.mis", "missions/Broadside, Night.mis"},
        {"say \"hi\".cs", "say \"hi\".cs"},
        {"two blanks.cs", "two blanks.cs"},
        {"\x80uro\\na\xEFve.txt", "\xE2\x82\xACuro/na\xC3\xAFve.txt"},
        {"a b\\c d.cs", "a b/c d.cs"},
    };
    VolumeWriter v;
    for (const auto& [stored, landed] : names)
        v.Add(stored, "bytes of [" + stored + "]");
    WriteFile(volume, v.Build());
    MakeFolder(dest);
    StartupOptions o = TestOptions(dir, "[Tarnwick]\nExtract=" + ToolPath("extract") + "\nPath=" + dest +
                                            "\nFileSystem=1\nOverwrite=1\n");
    o.commandTail = volume;
    auto s = Start(o);
    ASSERT_EQ(s->form->lstData.Count(), std::size(names));
    std::set<std::string> shown; // as text
    for (std::size_t i = 0; i < s->form->lstData.Count(); ++i)
        shown.insert(s->form->lstData.Text(i));
    EXPECT_TRUE(shown.count("caf\xC3\xA9.cs") && shown.count("\xE2\x82\xACuro\\na\xC3\xAFve.txt"));
    ScriptedSink sink;
    s->form->cmdExtract_Click();
    EXPECT_TRUE(sink.texts.empty());
    for (const auto& [stored, landed] : names)
        EXPECT_EQ(ReadFile(dest + "/" + landed), "bytes of [" + stored + "]") << landed;
    EXPECT_TRUE(waitedForTheJob);
    EXPECT_TRUE(Idle(*s));
}

TEST_F(MainFormExtract, NothingListedOrSelectedIsRefused)
{
    auto s = Open({"a.cs"});
    MainForm& f = *s->form;
    ScriptedSink sink;
    f.cmdDelAll_Click();
    f.cmdExtract_Click();
    f.lstData.Clear();
    f.cmdExtract_Click();
    EXPECT_EQ(sink.texts, (std::vector<std::string>{"You have selected no files to extract.",
                                                    "There are no listed files to extract."}));
    EXPECT_EQ(sink.events, (std::vector<std::string>{"beep", "box", "beep", "box"}));
    EXPECT_TRUE(s->toolkit.shown.empty());
}

TEST_F(MainFormExtract, TheFirstFailureIsShownAndTheRestSummedUp)
{
    const std::string gone = At(dir, "Gone");
    const struct {
        std::string destination;
        std::vector<std::string> texts;
        std::size_t extracted;
    } cases[] = {
        // Files where the folders should be: none of the three can be made.
        {out,
         {"[Error: 6] Unable to create the folder " + Shown(out + kSep + "a") + " for a\\x.cs.",
          "3 of 4 files were not extracted:\na\\x.cs\nb\\y.cs\nc\\z.cs"},
         1},
        {gone, {"[Error: 3] " + Shown(gone) + " is an invalid directory."}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.destination);
        auto s = Open({"a\\x.cs", "b\\y.cs", "c\\z.cs", "fine.cs"});
        s->form->chkFileSystem = CheckState::Checked;
        s->form->txtPath = c.destination;
        for (const char* blocker : {"a", "b", "c"})
            WriteFile(out + kSep + blocker, "a file");
        ScriptedSink sink;
        s->form->cmdExtract_Click();
        EXPECT_EQ(sink.texts, c.texts);
        EXPECT_EQ(sink.events, (c.extracted ? std::vector<std::string>{"box", "beep", "box"} : std::vector<std::string>{"box"}));
        EXPECT_EQ(ReadFile(out + kSep + "fine.cs"), c.extracted ? "data of fine.cs" : "");
        EXPECT_FALSE(Exists(gone));
        EXPECT_TRUE(Idle(*s));
    }
}

// The job's volume is the folder list's folder and the volume's name joined
// by one separator, also at a drive root, which ends in one already.
TEST_F(MainFormExtract, TheJobsVolumeIsItsFolderAndNameJoinedOnce)
{
    auto s = Open({"a.cs"});
    const std::string base = Real(At(dir, "v")) + kSep + "Base.vol";
    EXPECT_EQ(s->form->Request().volumePath, base);
    EXPECT_EQ(s->form->CurrentVolume, Shown(base));
    // POSIX has one root, "/", which is no place for a test's volume.
    if (!kWindows)
        return;
    const std::string root = "C:\\Base.vol";
    ASSERT_FALSE(Exists(root)); // not the user's to replace
    MakeVolume(root, {"a.cs"});
    s->form->OpenDroppedFiles({root});
    EXPECT_EQ(s->form->Request().volumePath, "C:\\Base.vol");
    EXPECT_EQ(s->form->CurrentVolume, "c:\\base.vol");
    std::filesystem::remove(root);
}

TEST_F(MainFormExtract, AVeryLongNameIsShownShortenedButHandedOverWhole)
{
    const std::string name = "long" + std::string(100 * 1024, 'n') + ".cs";
    auto s = Open({name, "b.cs"});
    ASSERT_EQ(s->form->lstData.Count(), 2u);
    EXPECT_EQ(s->form->lstData.Text(1), "long" + std::string(1020, 'n') + "\xE2\x80\xA6");
    ScriptedSink sink; // the extractor cannot write such a name
    s->form->cmdExtract_Click();
    EXPECT_EQ(jobNames, (std::vector<std::string>{"b.cs", name}));
    EXPECT_TRUE(Idle(*s));
}

TEST_F(MainFormExtract, SelectedNamesAreExtractedWithOrWithoutTheirFolders)
{
    for (const bool recreate : {true, false}) {
        auto s = Open({"scripts\\ai\\bot.cs", "readme.txt", "skip.cs"});
        MainForm& f = *s->form;
        f.lstData.SetSelected(2, false); // skip.cs, last in order
        f.chkFileSystem = recreate ? CheckState::Checked : CheckState::Unchecked;
        ScriptedSink sink;
        f.cmdExtract_Click();
        EXPECT_TRUE(sink.shown.empty());
        const std::string bot = out + kSep + (recreate ? std::string("scripts") + kSep + "ai" + kSep : "") + "bot.cs";
        EXPECT_EQ(ReadFile(bot), "data of scripts\\ai\\bot.cs");
        EXPECT_EQ(ReadFile(out + kSep + "readme.txt"), "data of readme.txt");
        EXPECT_FALSE(Exists(out + kSep + "skip.cs"));
        EXPECT_EQ(Exists(out + kSep + "scripts"), recreate);
        // The list is sorted, so bot.cs went last. The extractor and the
        // destination are the boxes' texts, the volume the folder list's.
        ASSERT_FALSE(s->toolkit.clipboard.empty());
        EXPECT_EQ(s->toolkit.clipboard.back(), "\"" + Shown(Extractor()) + "\" \"" + Real(At(dir, "v")) + kSep +
                                                   "Base.vol\" scripts\\ai\\bot.cs \"" + Shown(bot) + "\"");
        EXPECT_TRUE(Idle(*s));
    }
}

TEST_F(MainFormExtract, ExistingFilesAreReplacedOnlyWhenAllowedAndProgressIsShown)
{
    // A grey box counts as ticked.
    for (const CheckState overwrite : {CheckState::Unchecked, CheckState::Grayed}) {
        auto s = Open({"a.cs", "b.cs"});
        WriteFile(out + kSep + "a.cs", "mine a");
        WriteFile(out + kSep + "b.cs", "mine b");
        s->form->chkOverwrite = overwrite;
        ScriptedSink sink;
        sink.answers = {MsgAnswer::No, MsgAnswer::Yes};
        std::vector<std::string> seen;
        sink.onShow = [&](const MessageRequest&) { seen.push_back(progress); };
        s->form->cmdExtract_Click();
        const bool asked = overwrite == CheckState::Unchecked;
        const std::string prompt = " already exists.  Overwrite?";
        EXPECT_EQ(sink.texts, (asked ? std::vector{Shown(out + kSep + "a.cs") + prompt, Shown(out + kSep + "b.cs") + prompt}
                                     : std::vector<std::string>{}));
        EXPECT_EQ(seen, (asked ? std::vector<std::string>{"0% a.cs", "50% a.cs"} : std::vector<std::string>{}));
        EXPECT_TRUE(!asked || sink.shown[0].buttons == MsgButtons::YesNo);
        EXPECT_EQ(ReadFile(out + kSep + "a.cs"), asked ? "mine a" : "data of a.cs");
        EXPECT_EQ(ReadFile(out + kSep + "b.cs"), "data of b.cs");
        EXPECT_TRUE(Idle(*s));
    }
}

} // namespace
