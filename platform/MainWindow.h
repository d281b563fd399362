#pragma once

#include <QEvent>
#include <cstdint>

class QWidget;

// Services for the program's main window: the numbered messages that other
// threads post to it, and its outer width.

// Makes window the receiver of PostToMainWindow (platform/Os.h): each message
// arrives on the window's thread as a QEvent of the message's number, handed
// to the window's event(). Returns false, and registers nothing, when Qt has
// already given one of the numbers to someone else.
bool AttachMainWindowMessages(QWidget* window);
// Stops the delivery; call it only once no thread posts any more.
void DetachMainWindowMessages();

// True for the event types that carry the application's messages.
bool IsAppMessage(QEvent::Type type);

// The layout was drawn for a window whose single border takes this many
// pixels on each side, so an outer width of 716 leaves a client of 710.
inline constexpr int kWindowBorder = 3;

// Sets the outer width of a fixed-size window; the height stays.
void SetOuterWidth(QWidget* window, int outerWidth);
int OuterWidth(const QWidget* window);
