#pragma once

#include <cstdint>

// The five numbers that set how the computer plays: how deep it looks and what
// each material event is worth to the side that makes it.
struct EngineParams {
    int32_t searchDepth = 25;
    int32_t promotionBonus = 0;
    int32_t firstKingBonus = 0;
    int32_t manValue = 0;
    int32_t kingValue = 0;

    bool operator==(const EngineParams&) const = default;
};

// What a newly made opponent record carries.
inline constexpr EngineParams kNewOpponentParams{99, 5, 7, 1, 3};

// The process-wide set. Written only on the window's thread between games;
// a search worker takes its own copy when it starts, so no thread ever reads
// it while another writes.
extern EngineParams engineParams;
