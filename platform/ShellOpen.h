#pragma once

#include <QUrl>
#include <functional>

// Hands a file or a "mailto:" link to the desktop, which opens it with the
// user's default program. A failure is not reported: the program carries on.
void ShellOpen(const QUrl& url);

// Who opens: the desktop when empty. Tests record the request and launch nothing.
using ShellOpener = std::function<void(const QUrl& url)>;
void SetShellOpener(ShellOpener opener);
