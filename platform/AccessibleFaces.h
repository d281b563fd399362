#pragma once

// What a screen reader sees of the platform's own controls: an image control
// that can be clicked is a button, one that names its cells (the board) a
// table of them, and a notice a notification. Qt's own interfaces serve
// every other widget. Install once, before the first window is shown.
void InstallAccessibleFaces();
