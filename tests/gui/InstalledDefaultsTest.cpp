// The defaults of an installed program (PREFIX/bin/tarnwick with its
// extractor in PREFIX/libexec/tarnwick) against those of a portable copy
// (the extractor beside the program): with no settings yet, the installed
// one finds its extractor and extracts into a folder of the user's own,
// never into PREFIX/bin.
#include "GuiSupport.h"
#include "support/ScopedEnv.h"

#include <QLineEdit>
#include <QtTest>

#include <filesystem>

using namespace tarnwick;
using namespace tarnwick::test;

class InstalledDefaultsTest : public QObject {
    Q_OBJECT
private slots:
    void extractorAndExtractionFolderFollowTheLayout()
    {
        struct Case {
            const char* name;
            std::vector<std::string> files; // below the test folder
            std::string extractor;          // below the test folder
            std::string extractionFolder;   // below the test folder
            bool reportedMissing;
        };
        const Case cases[] = {
            {"installed", {"usr/libexec/tarnwick/extract"}, "usr/libexec/tarnwick/extract", "home/Downloads", false},
            {"portable copy", {"usr/bin/extract"}, "usr/bin/extract", "usr/bin", false},
            {"portable copy beside an installed extractor", {"usr/bin/extract", "usr/libexec/tarnwick/extract"},
             "usr/bin/extract", "usr/bin", false},
            {"no extractor anywhere", {}, "usr/bin/extract", "usr/bin", true},
        };
        for (const Case& c : cases) {
            TempDir dir;
            std::filesystem::create_directories(dir / "usr/bin");
            std::filesystem::create_directories(dir / "home/Downloads");
            for (const std::string& f : c.files)
                WriteFile(dir / f, "#!/bin/sh\n");
            ScopedEnv env;
            env.Set("HOME", dir / "home");
            env.Set("XDG_CONFIG_HOME", dir / "config");
            env.Set("XDG_DOWNLOAD_DIR", dir / "home/Downloads");
            StartupOptions o = TestOptions(dir, "[Tarnwick]\nSplash=0\n");
            o.programFolder = dir / "usr/bin";
            ScriptedSink sink;
            auto s = Start(o);
            QVERIFY2(s->loaded, c.name);
            QCOMPARE(s->window->txtExtractPath->text().toStdString(), dir / c.extractor);
            QCOMPARE(s->window->txtPath->text().toStdString(), dir / c.extractionFolder);
            QCOMPARE(s->extractorDialogs, c.reportedMissing ? 1 : 0);
            if (c.reportedMissing)
                QCOMPARE(sink.texts, std::vector<std::string>{dir / c.extractor +
                                                              " was not located.  Extract is a required component "
                                                              "for Tarnwick to function.  Please locate it."});
            else
                QVERIFY2(sink.texts.empty(), c.name);
        }
    }
};

QTEST_MAIN(InstalledDefaultsTest)
#include "InstalledDefaultsTest.moc"
