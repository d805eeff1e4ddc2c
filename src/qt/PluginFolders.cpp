#include "qt/PluginFolders.h"
#include "qt/QtText.h"
#include "os/System.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>

// The built-in qt.conf lives in a static library: its registration has to be
// asked for by name, from outside any namespace.
static void RegisterBuiltInQtConf()
{
    Q_INIT_RESOURCE(qtconf);
}

namespace tarnwick {

void LoadQtPluginsFromQtOnly()
{
    // Before Qt first looks for a qt.conf: the built-in one is found first,
    // and a qt.conf dropped beside the program is then never read.
    RegisterBuiltInQtConf();
    const QStringList qtOnly{QLibraryInfo::path(QLibraryInfo::PluginsPath)};
    if (QCoreApplication::instance()) {
        QCoreApplication::setLibraryPaths(qtOnly);
        return;
    }
    // While the application object is being made, Qt puts the program's
    // folder back into a list set before, and loads the platform plugins
    // with it, unless the folder was in the list when it was set: then it
    // counts as taken out. Named by $QT_PLUGIN_PATH for that one moment, it is.
    // $QT_PLUGIN_PATH goes for good: plugins come from Qt's folder only.
    qputenv("QT_PLUGIN_PATH", QFile::encodeName(ToQt(os::ProgramFolder())));
    QCoreApplication::setLibraryPaths(qtOnly);
    qunsetenv("QT_PLUGIN_PATH");
}

} // namespace tarnwick
