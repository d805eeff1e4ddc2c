// Tarnwick: a window onto Starsiege: Tribes volumes.
#include "qt/PluginFolders.h"
#include "qt/frmMain.h"
#include "qt/QtMessageSink.h"
#include "os/Instance.h"
#include "os/System.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The program takes no switches but these two, asked for by people at a
// terminal and by packaging tools; a volume really named --help opens as
// ./--help. They answer before the one-instance rule and before any window
// system is asked for, so they work over ssh and beside a running copy.
bool AnsweredSwitch(int argc, char** argv)
{
    if (argc < 2)
        return false;
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("tarnwick %d.%d.%d\n", TARNWICK_VERSION_MAJOR, TARNWICK_VERSION_MINOR, TARNWICK_VERSION_REVISION);
        return true;
    }
    if (std::strcmp(argv[1], "--help") == 0) {
        std::fputs("Usage: tarnwick [VOLUME]\n"
                   "Browse Starsiege: Tribes 1.X volumes (.vol) and extract their files.\n"
                   "\n"
                   "  VOLUME     a volume to open with its files listed; several arguments are\n"
                   "             joined by single blanks into one path\n"
                   "  --help     print this text and exit\n"
                   "  --version  print the version and exit\n"
                   "\n"
                   "A volume named like a switch opens as ./--help.\n",
                   stdout);
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    tarnwick::os::RestrictLibrarySearch();
    if (AnsweredSwitch(argc, argv))
        return std::fflush(stdout) == 0 ? 0 : 1;
    // The one-instance test comes before anything else; the lock is held
    // until the process ends, however it ends.
    tarnwick::os::InstanceLock lock("tarnwick");

    // Before the application object: it loads the platform plugins.
    tarnwick::LoadQtPluginsFromQtOnly();
    QApplication app(argc, argv);
    tarnwick::LoadQtPluginsFromQtOnly();
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    tarnwick::QtMessageSink sink;
    tarnwick::SetMessageSink(&sink);

    tarnwick::StartupOptions options;
    // The shell hands a path over as arguments; joined, they are the one
    // command-line tail of the classic program.
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            options.commandTail += ' ';
        options.commandTail += argv[i];
    }
    // A lock that could not even be made (no runtime folder) must not keep
    // the user from the program.
    options.anotherInstanceRunning = lock.Usable() && !lock.Acquired();

    tarnwick::frmMain window(options);
    if (!window.Form_Load())
        return 0;
    window.show();
    const int code = app.exec();
    tarnwick::SetMessageSink(nullptr);
    return code;
}
