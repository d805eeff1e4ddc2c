// Draws the program's icon at the desktop's usual sizes into an icon theme
// folder: FOLDER/NxN/apps/NAME.png. Run at build time on the offscreen
// platform, so the installed icons are the emblem the windows show.
#include "qt/Artwork.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: render_icons FOLDER NAME SIZE...\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]), name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        const QString sub = folder + QStringLiteral("/%1x%1/apps").arg(size);
        QFile file(sub + QLatin1Char('/') + name + QStringLiteral(".png"));
        const QByteArray png = tarnwick::ProgramIconPng(size);
        if (size <= 0 || png.isEmpty() || !QDir().mkpath(sub) || !file.open(QIODevice::WriteOnly) ||
            file.write(png) != png.size()) {
            std::fprintf(stderr, "render_icons: %s cannot be written\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
