#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "app/Application.h"
#include "app/MainUnit.h"
#include "app/PlayFolder.h"
#include "platform/Os.h"
#include "platform/RunningMark.h"

namespace {

// An error that escapes a handler is shown, and the message loop goes on.
class Application : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            QMessageBox::critical(nullptr, QStringLiteral("Pelvanta"),
                                  QString::fromUtf8(error.what()));
        }
        return false;
    }
};

[[maybe_unused]] bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// Qt aborts when it finds no screen, so look before it does: an explicit
// platform choice is trusted, otherwise an X11 or Wayland display is needed.
bool DisplayAvailable() {
#ifdef _WIN32
    return true;  // Windows always has its desktop
#else
    return Set("QT_QPA_PLATFORM") || Set("DISPLAY") || Set("WAYLAND_DISPLAY");
#endif
}

// A platform plugin that cannot start ends the program with one line
// instead of an abort.
void QuietStartupMessages(QtMsgType type, const QMessageLogContext&, const QString&) {
    if (type != QtFatalMsg) return;
    std::fputs("pelvanta: cannot open the display; the game needs a graphical desktop\n", stderr);
    std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    HoldRunningMark();
    if (!DisplayAvailable()) {
        std::fputs(
            "pelvanta: no display (DISPLAY is not set); the game needs a graphical desktop\n",
            stderr);
        return 1;
    }
    QtMessageHandler previous = qInstallMessageHandler(QuietStartupMessages);
    Application app(argc, argv);
    qInstallMessageHandler(previous);
    SetUpApplication();

    ChoosePlayFolder();

    try {
        TMainForm form;
        form.show();
        // The window has closed: the process ends without waiting for the
        // search threads still unwinding abandoned searches.
        EndProcessNow(app.exec());
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Pelvanta"), QString::fromUtf8(error.what()));
        return 1;
    }
}
