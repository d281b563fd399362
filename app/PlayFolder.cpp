#include "app/PlayFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPalette>
#include <cstdio>

#include "app/MainUnit.h"
#include "photos/Hdata.h"
#include "platform/ImageControl.h"

namespace {

const QString kRulesPage = QStringLiteral("Rules.htm");

// A thumbnail that shows its picture differs somewhere from the plain
// background it starts filled with.
bool ShowsPicture(const ImageControl& thumbnail) {
    const QImage& canvas = thumbnail.Canvas();
    const QRgb background = thumbnail.palette().color(QPalette::Window).rgb();
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.pixel(x, y) != background) return true;
    return false;
}

}  // namespace

QString InstalledDataFolder() {
    // PELVANTA_DATA_FROM_BINARY is the install's data folder relative to the
    // folder of the program file, e.g. "../share/pelvanta".
    const QDir binary(QCoreApplication::applicationDirPath());
    const QString folder =
        QDir::cleanPath(binary.absoluteFilePath(QStringLiteral(PELVANTA_DATA_FROM_BINARY)));
    return QFileInfo(folder).isDir() ? folder : QString();
}

bool HoldsArchives(const QString& folder) {
    const QDir dir(folder);
    for (int32_t i = 0; i < kGalleryFiles; ++i)
        if (QFileInfo(dir.filePath(QString::fromStdString(GalleryFileName(i)))).isFile())
            return true;
    return false;
}

void ChoosePlayFolder() {
    if (HoldsArchives(QDir::currentPath())) return;
    const QString installed = InstalledDataFolder();
    if (!installed.isEmpty()) QDir::setCurrent(installed);
}

QString RulesPagePath() {
    const QString here = QDir::current().absoluteFilePath(kRulesPage);
    if (QFileInfo(here).isFile()) return here;
    const QString installed = InstalledDataFolder();
    if (!installed.isEmpty() && QFileInfo(QDir(installed).filePath(kRulesPage)).isFile())
        return QDir(installed).filePath(kRulesPage);
    return here;  // missing everywhere: opening it fails quietly, as it always did
}

bool ListOpponentsRequested() {
    return !qEnvironmentVariableIsEmpty("PELVANTA_LIST_OPPONENTS");
}

void PrintOpponents(const TMainForm& form) {
    std::printf("folder %s\n", qUtf8Printable(QDir::currentPath()));
    std::printf("rules %s\n", qUtf8Printable(RulesPagePath()));
    const POrderList<HData>& girls = form.Girls();
    const POrderList<ImageControl*>& icons = form.GirlIcons();
    for (int32_t i = 0; i < girls.Count(); ++i) {
        const HData& girl = *girls[i];
        const ImageControl& icon = **icons[i];
        std::printf("opponent %d depth %d photos %d thumbnail %dx%d %s\n", i, girl.searchDepth,
                    girl.photos.Count(), icon.CanvasSize().width(), icon.CanvasSize().height(),
                    icon.isVisible() && ShowsPicture(icon) ? "shown" : "not-shown");
    }
    std::fflush(stdout);
}
