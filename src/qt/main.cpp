// Tarnwick: a window onto Starsiege: Tribes volumes.
#include "qt/PluginFolders.h"
#include "qt/frmMain.h"
#include "qt/QtMessageSink.h"
#include "os/Instance.h"
#include "os/System.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
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
    // The short forms too, as users of other programs type them.
    if (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-V") == 0) {
        std::printf("tarnwick %d.%d.%d\n", TARNWICK_VERSION_MAJOR, TARNWICK_VERSION_MINOR, TARNWICK_VERSION_REVISION);
        return true;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs("Usage: tarnwick [VOLUME]\n"
                   "Browse Starsiege: Tribes 1.X volumes (.vol) and extract their files.\n"
                   "\n"
                   "  VOLUME     a volume to open with its files listed; several arguments are\n"
                   "             joined by single blanks into one path\n"
                   "  -h, --help     print this text and exit\n"
                   "  -V, --version  print the version and exit\n"
                   "\n"
                   "A volume named like a switch opens as ./--help.\n",
                   stdout);
        return true;
    }
    return false;
}

// Without any window system Qt would abort with a core dump: one line on the
// terminal says what is missing instead. A display that is named but cannot
// be reached is left to Qt, which says so itself.
bool HasWindowSystem()
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value)
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
    if (!HasWindowSystem()) {
        std::fputs("tarnwick: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set)\n", stderr);
        return 1;
    }

    // Before the application object: it loads the platform plugins.
    tarnwick::LoadQtPluginsFromQtOnly();
    // Qt hears only the program's name: its own switches (-platform,
    // -platformpluginpath, ...) would pick a plugin or end the program, and
    // the command line is the volume's path, whatever it looks like.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    tarnwick::LoadQtPluginsFromQtOnly();
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    // The desktop entry the window belongs to (the Wayland application id).
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tarnwick.Tarnwick"));
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
