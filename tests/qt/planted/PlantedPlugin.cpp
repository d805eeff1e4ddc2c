// A stand-in for a Qt plugin that a hostile volume drops into the program's
// folder: the moment a process loads it, it leaves a mark and ends that process.
#include <QObject>
#include <QtPlugin>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
struct MarkOnLoad {
    MarkOnLoad()
    {
        if (const char* mark = std::getenv("TARNWICK_PLANTED_MARK")) {
            if (FILE* f = std::fopen(mark, "w"))
                std::fclose(f);
        }
        ::_exit(42);
    }
} markOnLoad;
} // namespace

// Carries the metadata of a platform plugin so that Qt's plugin loader takes
// it for one; it is never asked to do anything.
class PlantedPlugin : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QPA.QPlatformIntegrationFactoryInterface.5.3" FILE "PlantedPlugin.json")
};

#include "PlantedPlugin.moc"
