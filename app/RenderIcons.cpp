// pelvanta-icons: a build-time helper that writes the application icon as
// PNG files into a hicolor theme tree, painted by the window's own painter:
//   pelvanta-icons DIR  ->  DIR/hicolor/NxN/apps/pelvanta.png for each size
#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>

#include "app/PiecePictures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: pelvanta-icons DIR\n", stderr);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const int size : kIconSizes) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        const QString file = root.filePath(folder + QStringLiteral("/pelvanta.png"));
        if (!root.mkpath(folder) || !PaintIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "pelvanta-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
