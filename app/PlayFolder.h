#pragma once

#include <QString>

// The game reads its opponents (3000.p_g .. 3044.p_g) and its rules page from
// the current folder. An installed game also has a data folder of its own
// with the demo gallery and the rules page; it is found relative to the
// program file, so an install under any prefix works and can be moved.

// The installed data folder, or an empty string when this program file has
// none beside it (for instance when it runs from the build tree).
QString InstalledDataFolder();

// True when `folder` holds at least one of the files 3000.p_g .. 3044.p_g.
bool HoldsArchives(const QString& folder);

// Chooses the folder to play in, before the window reads it: the current
// folder when it holds archives (the player's own opponents), otherwise the
// installed data folder when there is one. It only changes the current
// directory; nothing is written anywhere.
void ChoosePlayFolder();

// The rules page F1 opens: Rules.htm of the current folder, or the installed
// one when the current folder has none.
QString RulesPagePath();
