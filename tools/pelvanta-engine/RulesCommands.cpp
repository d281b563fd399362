// moves, perft, divide: the move generator seen from outside.
#include <cstdio>

#include "engine/FastPaths.h"
#include "engine/FastPerft.h"
#include "rules/Perft.h"
#include "tools/pelvanta-engine/Cli.h"

int MovesCommand(Args& args) {
    RequireArgCount(args, 1, "moves FEN");
    Position position = RequirePosition(args[0]);
    HListMoves list;
    const int32_t n = list.Generate(position.sideToMove, position.board);
    for (int32_t i = 0; i < n; ++i) std::printf("%s\n", list.Move(i).PathText().c_str());
    return 0;
}

namespace {

// The bit-board generator's board of a position; it holds no board whose
// king counters disagree with its pieces.
Board32 RequireMasks(const Position& position) {
    Board32 masks;
    if (!masks.Load(position.board))
        throw UsageError{"--fast needs king counters that match the board"};
    return masks;
}

uint64_t FastCount(const Board32& board, uint8_t side, int32_t depth) {
    static FastPerft perft;  // its stack is large: made once
    uint64_t count = 0;
    if (!perft.Count(board, side, depth, true, count))
        throw UsageError{"too many moves in one line for the bit-board generator"};
    return count;
}

int FastPerftCommand(const Position& position, int32_t depth) {
    std::printf("%llu\n", static_cast<unsigned long long>(
                              FastCount(RequireMasks(position), position.sideToMove, depth)));
    return 0;
}

int FastDivide(const Position& position, int32_t depth) {
    Board32 board = RequireMasks(position);
    const uint8_t side = position.sideToMove;
    uint64_t total = depth == 0 ? 1 : 0;
    for (const FastPath& path : depth > 0 ? GeneratePaths(board, side) : std::vector<FastPath>{}) {
        board.Make(path.move, side);
        const uint64_t count = FastCount(board, Opponent(side), depth - 1);
        board.Unmake(path.move, side);
        total += count;
        std::printf("%s %llu\n", path.Text().c_str(), static_cast<unsigned long long>(count));
    }
    std::printf("total %llu\n", static_cast<unsigned long long>(total));
    return 0;
}

}  // namespace

// A perft's arguments: the position, the depth and whether the bit-board
// generator counts.
struct PerftArgs {
    Position position;
    int32_t depth;
    bool fast;
};

PerftArgs TakePerftArgs(Args& args, const char* usage) {
    const bool fast = TakeFlag(args, "--fast");
    RequireArgCount(args, 2, usage);
    return {RequirePosition(args[0]), RequireCount(args[1], "depth"), fast};
}

int PerftCommand(Args& args) {
    auto [position, depth, fast] = TakePerftArgs(args, "perft FEN DEPTH [--fast]");
    if (fast) return FastPerftCommand(position, depth);
    Perft perft(depth);
    std::printf("%llu\n", static_cast<unsigned long long>(
                              perft.Count(position.board, position.sideToMove, depth)));
    return 0;
}

int DivideCommand(Args& args) {
    auto [position, depth, fast] = TakePerftArgs(args, "divide FEN DEPTH [--fast]");
    if (fast) return FastDivide(position, depth);
    HListMoves root;
    const int32_t n = root.Generate(position.sideToMove, position.board);
    Perft perft(depth);
    uint64_t total = 0;
    for (int32_t i = 0; i < n && depth > 0; ++i) {
        const HMove& move = root.Move(i);
        position.board.ApplyMove(move);
        const uint64_t count =
            perft.Count(position.board, Opponent(position.sideToMove), depth - 1);
        position.board.UndoMove(move);
        total += count;
        std::printf("%s %llu\n", move.PathText().c_str(), static_cast<unsigned long long>(count));
    }
    if (depth == 0) total = 1;
    std::printf("total %llu\n", static_cast<unsigned long long>(total));
    return 0;
}
