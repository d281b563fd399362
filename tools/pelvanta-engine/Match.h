#pragma once

#include "tools/pelvanta-engine/Cli.h"

// match: the opponents of two archive files play each other through the
// game's own search; see Match.cpp.
inline constexpr const char* kMatchUsage =
    "match A.p_g B.p_g [--games N] [--ms T (CPU ms a move)] [--openings K] [--seed S]";

int RunMatch(Args& args);
