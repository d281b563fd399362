// moves, perft, divide: the move generator seen from outside.
#include <cstdio>

#include "rules/Perft.h"
#include "tools/pelvanta-engine/Cli.h"

namespace {

int Moves(Args& args) {
    RequireArgCount(args, 1, "moves FEN");
    Position position = RequirePosition(args[0]);
    HListMoves list;
    const int32_t n = list.Generate(position.sideToMove, position.board);
    for (int32_t i = 0; i < n; ++i) std::printf("%s\n", list.Move(i).PathText().c_str());
    return 0;
}

int PerftCommand(Args& args) {
    RequireArgCount(args, 2, "perft FEN DEPTH");
    Position position = RequirePosition(args[0]);
    const int32_t depth = RequireCount(args[1], "depth");
    Perft perft(depth);
    std::printf("%llu\n", static_cast<unsigned long long>(
                              perft.Count(position.board, position.sideToMove, depth)));
    return 0;
}

int Divide(Args& args) {
    RequireArgCount(args, 2, "divide FEN DEPTH");
    Position position = RequirePosition(args[0]);
    const int32_t depth = RequireCount(args[1], "depth");
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

}  // namespace

const std::vector<Command>& RulesCommands() {
    static const std::vector<Command> commands = {
        {"moves", "moves FEN", Moves},
        {"perft", "perft FEN DEPTH", PerftCommand},
        {"divide", "divide FEN DEPTH", Divide},
    };
    return commands;
}
