// Renders every window of Tarnwick to PNG files, offscreen, on a volume
// made for the purpose: what a user sees, without a display.
#include "forms/ProgressForm.h"
#include "qt/frmProgress.h"
#include "qt/DirListBox.h"
#include "qt/FileListBox.h"
#include "forms/AboutForm.h"
#include "forms/SplashForm.h"
#include "qt/frmAbout.h"
#include "qt/frmMain.h"
#include "qt/NameListBox.h"
#include "qt/frmSplash.h"
#include "services/MessageBox.h"
#include "qt/QtToolkit.h"
#include "support/TestFiles.h"
#include "volume/VolumeWriter.h"
#include "forms/DetailsForm.h"
#include "qt/frmDetails.h"
#include "volume/clsVOLReader.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QTabBar>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>

using namespace tarnwick;

namespace {

class SilentSink : public MessageSink {
public:
    MsgAnswer Show(const MessageRequest&) override { return MsgAnswer::OK; }
    void Beep() override {}
};

bool Save(QWidget& w, const std::string& folder, const char* name)
{
    w.show();
    QApplication::processEvents();
    const std::string path = folder + "/" + name + ".png";
    const bool ok = w.grab().save(QString::fromStdString(path));
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.c_str());
    return ok;
}

// Three volumes of the same names, in a game folder as players have one.
std::string WriteSampleGame(const test::TempDir& dir)
{
    const std::string games = dir / "Tribes";
    VolumeWriter w;
    for (const char* n : {"scripts\\ai\\bot.cs", "scripts\\server.cs", "interface\\main.gui", "sounds\\shell.wav",
                          "missions\\Raindance.mis", "missions\\Broadside.mis", "base\\armor.cs", "base\\weapons.cs",
                          "textures\\lush.pbmp", "readme.txt", "autoexec.cs", "scripts\\player.cs"})
        w.Add(n, std::string(64, 'x'));
    test::WriteFile(games + "/base/readme.txt", "");
    w.Write(games + "/base/Entities.vol");
    w.Write(games + "/base/Scripts.vol");
    w.Write(games + "/base/Missions.vol");
    return games;
}

// Both pages of the main window, the last volume listed and two names picked.
bool SaveMainPages(frmMain& main, const std::string& out)
{
    MainForm& form = main.Form();
    form.filVolumes.Select(int(form.filVolumes.Names().size()) - 1);
    form.filVolumes_Click();
    form.lstData.SetSelected(2, true);
    form.lstData.SetSelected(5, true);
    main.lstData->Show();
    main.filVolumes->Show(form.filVolumes);
    bool ok = Save(main, out, "main-browser");
    main.tbsMain->setCurrentIndex(1);
    ok &= Save(main, out, "main-options");
    main.tbsMain->setCurrentIndex(0);
    return ok;
}

bool SaveSmallWindows(frmMain& main, const std::string& out)
{
    QtToolkit toolkit(&main);
    ProgressForm progressForm([] { return ExtractionRequest{}; }, toolkit);
    progressForm.timProcess.Enabled = false;
    progressForm.labFile = "scripts\\ai\\bot.cs";
    progressForm.pbrProgress = 45;
    progressForm.labProgress = "45%";
    frmProgress progress(progressForm, &main);
    bool ok = Save(progress, out, "progress");

    DetailsForm detailsForm(toolkit);
    detailsForm.Fill("Scripts.vol", 12345, 1765000000, 12, 1016, 224, 204);
    frmDetails details(detailsForm, &main);
    ok &= Save(details, out, "details");

    AboutForm aboutForm;
    frmAbout about(aboutForm, &main);
    ok &= Save(about, out, "about");

    SplashForm splashForm(100000);
    frmSplash splash(splashForm, nullptr);
    ok &= Save(splash, out, "splash");
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_windows OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string out = argv[1];
    SilentSink sink;
    SetMessageSink(&sink);

    test::TempDir dir;
    const std::string games = WriteSampleGame(dir);
    StartupOptions options;
    options.programFolder = dir.Path();
    options.settingsPath = dir / "cairnix.ini";
    test::WriteFile(options.settingsPath, "[Tarnwick]\nSplash=0\nStart=" + games + "/base/Scripts.vol\nExtract=" +
                                              test::ToolPath("extract") + "\nPath=" + dir.Path() + "/out\n");
    frmMain main(options);
    main.Form_Load();
    bool ok = SaveMainPages(main, out);
    ok &= SaveSmallWindows(main, out);

    main.close();
    SetMessageSink(nullptr);
    return ok ? 0 : 1;
}
