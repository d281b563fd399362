#include "platform/ShellOpen.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <QApplication>
#include <QDir>
#include <QWidget>
#include <utility>

namespace {

ShellOpener& Opener() {
    static ShellOpener opener;
    return opener;
}

}  // namespace

// The shell's default action for the file's type (or the mail program for a
// "mailto:" link), shown without taking the focus from the game. The shell
// answers at once whether it found a program, so a failure is known here.
void ShellOpen(const QUrl& url, std::function<void()> onFailure) {
    if (Opener()) {
        if (!Opener()(url) && onFailure) onFailure();
        return;
    }
    const QString target =
        url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
    HWND parent = nullptr;
    if (QWidget* window = QApplication::activeWindow())
        parent = reinterpret_cast<HWND>(window->winId());
    const HINSTANCE result =
        ShellExecuteW(parent, nullptr, reinterpret_cast<const wchar_t*>(target.utf16()), nullptr,
                      nullptr, SW_SHOWNOACTIVATE);
    if (reinterpret_cast<INT_PTR>(result) <= 32 && onFailure) onFailure();
}

void SetShellOpener(ShellOpener opener) {
    Opener() = std::move(opener);
}
