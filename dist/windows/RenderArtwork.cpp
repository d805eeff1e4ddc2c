// Draws the Windows program's pictures from the artwork the Qt windows
// draw: the program's and the volume files' icons at their sizes as PNG files and the splash picture as a 24-bit
// BMP, for windres. Run by make-artwork; its output is kept in the sources,
// since the Windows build has no Qt to draw with.
#include "qt/Artwork.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_artwork FOLDER\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    bool ok = tarnwick::SplashPicture().toImage().convertToFormat(QImage::Format_RGB888).save(folder + "/splash.bmp");
    for (int size : {16, 24, 32, 48, 64, 256})
        ok = ok && tarnwick::EmblemPicture(size).save(folder + QStringLiteral("/icon-%1.png").arg(size)) &&
             tarnwick::VolumeFilePicture(size).save(folder + QStringLiteral("/volume-%1.png").arg(size));
    return ok ? 0 : 1;
}
