// pelvanta-icons: a build-time helper that writes the application icon,
// painted by the window's own painter, as PNG files into a hicolor theme tree
// and as one Windows icon file holding every size:
//   pelvanta-icons DIR  ->  DIR/hicolor/NxN/apps/pelvanta.png for each size,
//                           DIR/pelvanta.ico
#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <cstdio>
#include <vector>

#include "app/PiecePictures.h"

namespace {

void PutLittleEndian(QByteArray& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(char(value >> (8 * i)));
}

// An .ico file: a directory of entries, then each picture as a whole PNG
// file, which Windows reads at every size.
QByteArray IconFile(const std::vector<QByteArray>& pngs, const std::vector<int>& sizes) {
    QByteArray ico;
    PutLittleEndian(ico, 0, 2);  // reserved
    PutLittleEndian(ico, 1, 2);  // an icon, not a cursor
    PutLittleEndian(ico, uint32_t(pngs.size()), 2);
    uint32_t offset = uint32_t(6 + 16 * pngs.size());
    for (size_t i = 0; i < pngs.size(); ++i) {
        const uint32_t side = sizes[i] >= 256 ? 0 : uint32_t(sizes[i]);  // 256 is written 0
        PutLittleEndian(ico, side, 1);
        PutLittleEndian(ico, side, 1);
        PutLittleEndian(ico, 0, 2);   // no palette
        PutLittleEndian(ico, 1, 2);   // planes
        PutLittleEndian(ico, 32, 2);  // bits per pixel
        PutLittleEndian(ico, uint32_t(pngs[i].size()), 4);
        PutLittleEndian(ico, offset, 4);
        offset += uint32_t(pngs[i].size());
    }
    for (const QByteArray& png : pngs) ico.append(png);
    return ico;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: pelvanta-icons DIR\n", stderr);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    std::vector<QByteArray> pngs;
    std::vector<int> sizes;
    for (const int size : kIconSizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        QFile file(root.filePath(folder + QStringLiteral("/pelvanta.png")));
        if (!PaintIcon(size).save(&buffer, "PNG") || !root.mkpath(folder) ||
            !file.open(QIODevice::WriteOnly) || file.write(png) != png.size()) {
            std::fprintf(stderr, "pelvanta-icons: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
        pngs.push_back(png);
        sizes.push_back(size);
    }
    QFile ico(root.filePath(QStringLiteral("pelvanta.ico")));
    const QByteArray bytes = IconFile(pngs, sizes);
    if (!ico.open(QIODevice::WriteOnly) || ico.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "pelvanta-icons: cannot write %s\n", qPrintable(ico.fileName()));
        return 1;
    }
    return 0;
}
