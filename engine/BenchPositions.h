#pragma once

// The fixed positions on which the search's speed is measured: an opening, a
// middlegame and an endgame with kings, each with the side to move.
struct BenchPosition {
    const char* name;
    const char* fen;
};

inline constexpr BenchPosition kBenchPositions[] = {
    {"opening", "start"},
    {"middlegame", "W:Wa1,c1,e1,b2,f2,c3,e3,g3,d4,h4:Bb6,d6,f6,h6,a7,c7,e7,g7,b8,f8"},
    {"kings", "W:WKa1,Kd2,e3,g3,h2:BKh8,Kb8,b6,f8,h6"},
};
