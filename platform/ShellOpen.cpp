#include "platform/ShellOpen.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <memory>
#include <utility>

namespace {

ShellOpener& Opener() {
    static ShellOpener opener;
    return opener;
}

// The desktop's launcher reports failure only by its exit code (and a line on
// the terminal), so it is run here and its end awaited without blocking.
void Launch(const QString& launcher, const QUrl& url, std::function<void()> onFailure) {
    auto* process = new QProcess(QCoreApplication::instance());
    auto failed = std::make_shared<std::function<void()>>(std::move(onFailure));
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed](int code, QProcess::ExitStatus status) {
                         if ((status != QProcess::NormalExit || code != 0) && *failed) (*failed)();
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, failed](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         if (*failed) (*failed)();
                         process->deleteLater();
                     });
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(launcher, {url.toString(QUrl::FullyEncoded)});
}

}  // namespace

void ShellOpen(const QUrl& url, std::function<void()> onFailure) {
    if (Opener()) {
        if (!Opener()(url) && onFailure) onFailure();
        return;
    }
    const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!launcher.isEmpty()) {
        Launch(launcher, url, std::move(onFailure));
        return;
    }
    if (!QDesktopServices::openUrl(url) && onFailure) onFailure();
}

void SetShellOpener(ShellOpener opener) {
    Opener() = std::move(opener);
}
