// A stand-in for a Qt plugin a hostile volume drops into the program's
// folder: once loaded, it leaves a mark and ends the process.
#include <QObject>
#include <QtPlugin>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

static struct MarkOnLoad {
    MarkOnLoad()
    {
        if (const char* mark = std::getenv("TARNWICK_PLANTED_MARK"); FILE* f = mark ? std::fopen(mark, "w") : nullptr)
            std::fclose(f);
        ::_exit(42);
    }
} markOnLoad;

// A platform plugin's metadata, so that Qt's loader takes it for one.
class PlantedPlugin : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QPA.QPlatformIntegrationFactoryInterface.5.3" FILE "PlantedPlugin.json")
};

#include "PlantedPlugin.moc"
