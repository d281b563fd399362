#include "platform/Cursor.h"

#include <QGuiApplication>

#include "platform/ImageControl.h"

void SetScreenCursor(CursorKind kind) {
    // At most one override is kept, so Default always undoes the last setting.
    while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
    if (kind != CursorKind::Default) QGuiApplication::setOverrideCursor(ToQtCursor(kind));
}
