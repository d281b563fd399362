#pragma once

// The mouse cursors the game uses: the hand over a board that takes clicks,
// the hourglass while the computer thinks or the photos load.
enum class CursorKind { Default, Hand, HourGlass };

// Sets the application-wide cursor shown over every window; Default gives the
// controls their own cursors back.
void SetScreenCursor(CursorKind kind);
