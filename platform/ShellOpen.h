#pragma once

#include <QUrl>
#include <functional>

// Hands a file or a "mailto:" link to the desktop, which opens it with the
// user's default program. When the desktop cannot open it (no program for
// the kind of file, nothing to launch with), onFailure runs on the window's
// thread, possibly later, once the desktop's launcher has given up.
void ShellOpen(const QUrl& url, std::function<void()> onFailure = {});

// Who opens: the desktop when empty. Tests record the request, launch nothing
// and answer whether the desktop would have opened it.
using ShellOpener = std::function<bool(const QUrl& url)>;
void SetShellOpener(ShellOpener opener);
