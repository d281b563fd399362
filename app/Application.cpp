#include "app/Application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/PiecePictures.h"
#include "platform/AccessibleFaces.h"

namespace {

// Qt's translation of its own texts (standard buttons among them).
bool InstallToolkitTexts() {
    auto* translator = new QTranslator(qApp);
    if (!translator->load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

}  // namespace

bool SetUpApplication() {
    QApplication::setApplicationName(QStringLiteral("Pelvanta"));
    QApplication::setWindowIcon(AppIcon());
    InstallAccessibleFaces();
    return InstallToolkitTexts();
}
