#include "platform/ShellOpen.h"

#include <QDesktopServices>
#include <utility>

namespace {

ShellOpener& Opener() {
    static ShellOpener opener;
    return opener;
}

}  // namespace

void ShellOpen(const QUrl& url) {
    if (Opener()) {
        Opener()(url);
        return;
    }
    QDesktopServices::openUrl(url);
}

void SetShellOpener(ShellOpener opener) {
    Opener() = std::move(opener);
}
