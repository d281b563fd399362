#include "app/PlayFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "photos/Hdata.h"

namespace {

const QString kRulesPage = QStringLiteral("Rules.htm");

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
