#pragma once

#include <QFont>

// The font of the main window and the about box, at a height in pixels.
// Windows has the font the window was laid out for, "MS Sans Serif" (a
// bitmap font drawn for exactly these heights, with Cyrillic on a Russian
// system); elsewhere DejaVu Sans, which every Linux desktop has with
// Cyrillic, stands in for it.
QFont WindowFont(int pixels, bool bold = false);
