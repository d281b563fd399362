#pragma once

// pelvanta-engine's own pieces of the command line: positions, the search's
// kind, a search stopped by a clock, and the tables of commands.

#include <functional>
#include <string>
#include <vector>

#include "engine/Hanalyzthread.h"
#include "rules/Notation.h"
#include "tools/Cli.h"

Position RequirePosition(const std::string& text);
// "--full-width": the reference search instead of the fast one.
SearchKind TakeKind(Args& args);
const char* KindName(SearchKind kind);

// Runs the worker's whole search on this thread and stops it once the clock
// has moved on by ms: the wall's, or a thread's CPU time, which never runs
// ahead of the wall, so waiting for the time still left never oversleeps.
void SearchWithin(HAnalyzThread& worker, HListMoves& list, double ms,
                  const std::function<double()>& clockMs);

// The commands (RulesCommands.cpp, EngineCommands.cpp, Match.cpp).
int MovesCommand(Args& args);
int PerftCommand(Args& args);
int DivideCommand(Args& args);
int ValuesCommand(Args& args);
int ThinkCommand(Args& args);
int MatchCommand(Args& args);  // with the archive reader only (PELVANTA_MATCH)
inline constexpr const char* kMatchUsage =
    "match A.p_g B.p_g [--games N] [--ms T (CPU ms a move)] [--openings K] [--seed S]";

// What a position looks like on the command line, for the usage.
inline constexpr const char* kFenNote =
    "FEN: W:Wa1,c1,Kd4:Bb8,Kh2 (side to move W or B, then each side's pieces, K marks a king), "
    "or 'start'";
