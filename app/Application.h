#pragma once

// Application-wide settings made once, before the first window: the
// program's name and icon, what a screen reader sees of the game's own
// controls, and Qt's own Russian texts for its standard buttons ("Да",
// "Нет"), whatever the system's locale. No display name is set, so the
// desktop shows every window's caption exactly as the window gives it. False
// when the button texts could not be loaded; the program still runs, with
// Qt's English buttons.
bool SetUpApplication();
