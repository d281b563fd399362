#include "platform/MainWindow.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#include "platform/Os.h"

namespace {

constexpr uint32_t kMessages[] = {kMsgWorkerReady, kMsgBottomCannotMove, kMsgTopCannotMove};

// Qt hands out each user event number once per process; the first
// registration claims ours, later ones find them already ours.
bool ClaimEventNumbers() {
    static const bool claimed = [] {
        for (uint32_t message : kMessages)
            if (QEvent::registerEventType(int(message)) != int(message)) return false;
        return true;
    }();
    return claimed;
}

}  // namespace

bool AttachMainWindowMessages(QWidget* window) {
    if (!ClaimEventNumbers()) return false;
    // postEvent is thread-safe; the queue owns the event from here on.
    RegisterMainWindow([window](uint32_t message) {
        QCoreApplication::postEvent(window, new QEvent(QEvent::Type(message)));
    });
    return true;
}

void DetachMainWindowMessages() {
    RegisterMainWindow({});
}

bool IsAppMessage(QEvent::Type type) {
    for (uint32_t message : kMessages)
        if (uint32_t(type) == message) return true;
    return false;
}

void SetOuterWidth(QWidget* window, int outerWidth) {
    window->setFixedWidth(outerWidth - 2 * kWindowBorder);
}

int OuterWidth(const QWidget* window) {
    return window->width() + 2 * kWindowBorder;
}
