#pragma once

// Shared by the engine's tests: an independent negamax built on the move
// generator alone, positions to try it on, and a queue that stands in for the
// main window.

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "engine/EngineParams.h"
#include "platform/MessageQueue.h"
#include "platform/Os.h"
#include "rules/Hlistmoves.h"
#include "rules/Notation.h"

// The value for side of board with `remaining` plies to look at, straight
// from the rules: the best of (the move's gain - the opponent's value after
// it), -90 without a move, 0 when nothing remains. Gains come from the move
// generator's scoring with the global engine parameters.
class SlowNegamax {
public:
    int32_t Value(HDoska& board, uint8_t side, int32_t remaining, size_t ply = 0) {
        if (remaining == 0) return 0;
        while (lists_.size() <= ply) lists_.push_back(std::make_unique<HListMoves>());
        HListMoves& list = *lists_[ply];
        const int32_t n = list.Generate(side, board);
        if (n == 0) return -90;
        int32_t best = INT32_MIN;
        for (int32_t i = 0; i < n; ++i) {
            const HMove& move = list.Move(i);
            board.ApplyMove(move);
            const int32_t v = move.score - Value(board, Opponent(side), remaining - 1, ply + 1);
            board.UndoMove(move);
            if (v > best) best = v;
        }
        return best;
    }

private:
    std::vector<std::unique_ptr<HListMoves>> lists_;
};

inline Position Fen(const std::string& text) {
    std::string error;
    std::optional<Position> position = ParseFen(text, error);
    if (!position) throw std::runtime_error(text + ": " + error);
    return *position;
}

// A position reached by random moves from the start, or nothing when the game
// ended on the way.
inline std::optional<Position> RandomGame(std::mt19937& rng, int plies) {
    Position position = Fen("start");
    HListMoves list;
    for (int i = 0; i < plies; ++i) {
        const int32_t n = list.Generate(position.sideToMove, position.board);
        if (n == 0) return std::nullopt;
        position.board.ApplyMove(list.Move(static_cast<int32_t>(rng() % n)));
        position.sideToMove = Opponent(position.sideToMove);
    }
    if (list.Generate(position.sideToMove, position.board) == 0) return std::nullopt;
    return position;
}

// A sparse endgame: a few men and kings a side, counters matching the board.
inline Position RandomEndgame(std::mt19937& rng, int maxPieces, int maxKings) {
    Position position;
    for (const uint8_t side : {Bottom, Top}) {
        const int pieces = 1 + static_cast<int>(rng() % maxPieces);
        int kings = 0;
        for (int placed = 0; placed < pieces;) {
            const Point p = kSquareOrder[rng() % 32];
            HFigura& cell = position.board.At(p);
            if (cell.owner != Empty) continue;
            uint8_t king = (kings < maxKings && rng() % 3 == 0) ? 1 : 0;
            if (p.y == CrowningRow(side) && king == 0) continue;
            cell = HFigura(side, king, p);
            kings += king;
            if (king) ++position.board.Kings(side);
            ++placed;
        }
    }
    position.sideToMove = rng() % 2 == 0 ? Bottom : Top;
    return position;
}

// Openings, middlegames and endgames with a legal move for the side to move.
inline std::vector<Position> MixedPositions(uint32_t seed, int count) {
    std::mt19937 rng(seed);
    std::vector<Position> positions;
    HListMoves list;
    while (static_cast<int>(positions.size()) < count) {
        std::optional<Position> position;
        switch (positions.size() % 3) {
            case 0:
                position = RandomGame(rng, static_cast<int>(rng() % 12));
                break;
            case 1:
                position = RandomGame(rng, 12 + static_cast<int>(rng() % 40));
                break;
            default:
                position = RandomEndgame(rng, 4, 2);
                break;
        }
        if (position && list.Generate(position->sideToMove, position->board) > 0)
            positions.push_back(*position);
    }
    return positions;
}

// Sets the process-wide parameters for one test and puts them back after.
class ParamsScope {
public:
    explicit ParamsScope(const EngineParams& params) : saved_(engineParams) {
        engineParams = params;
    }
    ~ParamsScope() { engineParams = saved_; }

private:
    EngineParams saved_;
};

inline constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

// Sanitized builds run the long cross-checks on fewer positions.
inline int Scaled(int count) {
    return kSanitized ? (count + 3) / 4 : count;
}
