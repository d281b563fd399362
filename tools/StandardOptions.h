#pragma once

#include <cstring>

// --help and --version are answered on their own: either one beside anything
// else on the command line is a usage error, so a mistyped command never
// half-runs.
enum class StandardOption { None, Help, Version, Misused };

inline StandardOption FindStandardOption(int argc, char** argv) {
    StandardOption found = StandardOption::None;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0)
            found = StandardOption::Help;
        else if (std::strcmp(argv[i], "--version") == 0)
            found = StandardOption::Version;
    }
    if (found != StandardOption::None && argc != 2) return StandardOption::Misused;
    return found;
}
