// values, think: the engine seen from outside.
#include <cstdio>
#include <memory>
#include <vector>

#include "engine/Hanalyzthread.h"
#include "engine/Search.h"
#include "platform/MessageQueue.h"
#include "platform/Os.h"
#include "tools/pelvanta-engine/Cli.h"

namespace {

int32_t TakeDepthLimit(const std::string& text) {
    const int32_t depth = RequireCount(text, "depth limit");
    if (depth > HSearch::kMaxDepthLimit)
        throw UsageError{"depth limit must be at most " + std::to_string(HSearch::kMaxDepthLimit)};
    return depth;
}

}  // namespace

int ValuesCommand(Args& args) {
    EngineParams params = engineParams;
    TakeWeights(args, params);
    const SearchKind kind = TakeKind(args);
    RequireArgCount(args, 2, "values FEN DEPTHLIMIT [--weights P,F,M,K] [--full-width]");
    Position position = RequirePosition(args[0]);
    const int32_t depthLimit = TakeDepthLimit(args[1]);
    engineParams = params;  // the root moves' gains are scored with these too

    HListMoves list;
    const int32_t n = list.Generate(position.sideToMove, position.board);
    auto search = std::make_unique<HSearch>();
    search->params = params;
    search->board = position.board;
    search->depthLimit = depthLimit;
    search->kind = kind;
    for (int32_t i = 0; i < n; ++i) {
        const HMove& move = list.Move(i);
        search->board.ApplyMove(move);
        const int32_t r = search->Value(Opponent(position.sideToMove));
        search->board.UndoMove(move);
        std::printf("%s %d\n", move.PathText().c_str(), move.score - r);
    }
    return 0;
}

int ThinkCommand(Args& args) {
    EngineParams params = engineParams;
    TakeWeights(args, params);
    if (const auto depth = TakeOption(args, "--depth"))
        params.searchDepth = RequireCount(*depth, "depth");
    int64_t ms = -1;
    if (const auto text = TakeOption(args, "--ms")) ms = RequireCount(*text, "--ms");
    const SearchKind kind = TakeKind(args);
    RequireArgCount(args, 1, "think FEN [--depth D] [--weights P,F,M,K] [--ms T] [--full-width]");
    Position position = RequirePosition(args[0]);
    engineParams = params;

    HListMoves list;
    if (list.Generate(position.sideToMove, position.board) == 0) return 0;
    SeedRandomFromClock();  // as the game does at start-up
    MessageQueue queue;
    auto worker = std::make_unique<HAnalyzThread>();
    worker->searchKind = kind;
    worker->Start(list);
    worker->RequestNotice();
    queue.Take(ms);
    worker->Abort();
    const HMove* chosen = worker->PickMove();

    for (int32_t i = 0; i < list.Count(); ++i)
        std::printf("%s %d\n", list.Move(i).PathText().c_str(), worker->Value(i));
    std::printf("depth %d\n", worker->CompletedDepth());
    std::printf("best");
    for (int32_t i = 0; i < worker->RankedCount(); ++i)
        std::printf(" %s", list.Move(worker->Candidate(i)).PathText().c_str());
    std::printf("\nchosen %s\n", chosen->PathText().c_str());
    return 0;
}
