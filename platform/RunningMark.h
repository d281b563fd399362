#pragma once

// While the game runs it holds a named object that its installer and
// uninstaller look for: they never replace or remove the files of a running
// game, which Windows keeps locked, and so never leave half an install
// behind. The object goes when the process ends, however it ends. The name
// comes from the build (cmake/Windows.cmake), which gives the installer the
// same one. Elsewhere a package manager replaces files in use safely, and
// there is nothing to hold.
#ifdef _WIN32
void HoldRunningMark();
#else
inline void HoldRunningMark() {}
#endif
