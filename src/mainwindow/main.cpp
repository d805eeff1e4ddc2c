// Tarnwick: a window onto Starsiege: Tribes volumes.
#include "mainwindow/PluginFolders_ui.h"
#include "mainwindow/frmMain.h"
#include "platform/QtMessageSink_ui.h"
#include "platform/os/Instance.h"
#include "platform/os/System.h"

#include <QApplication>

#include <string>

int main(int argc, char** argv)
{
    tarnwick::os::RestrictLibrarySearch();
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
