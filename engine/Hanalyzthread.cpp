#include "engine/Hanalyzthread.h"

#include <algorithm>

#include "platform/Os.h"

namespace {
// Room for every ordinary root list; a longer one grows the array in Start.
constexpr size_t kUsualCandidates = 256;
}  // namespace

HAnalyzThread::HAnalyzThread() : candidates(kUsualCandidates) {
    search.stop = &stopped;
}

HAnalyzThread::~HAnalyzThread() {
    Abort();
    Join();
}

void HAnalyzThread::Prepare(HListMoves& list) {
    Join();
    silent.store(1);
    stopped.store(1);
    search.params = engineParams;
    search.kind = searchKind;
    search.nodes = 0;
    rootList = &list;
    replySide = list.side == Bottom ? Top : Bottom;
    completedDepth = 0;
    rankedCount = 0;
    threadFailed = false;
    const int32_t n = list.board != nullptr ? list.Count() : 0;
    if (n > 0) search.board = *list.board;
    if (candidates.size() < static_cast<size_t>(n)) candidates.resize(n);
    for (int32_t i = 0; i < n; ++i) {
        list.Move(i).value = list.Move(i).score;
        candidates[i] = i;
    }
    candidateCount = n;
}

void HAnalyzThread::Start(HListMoves& list) {
    Prepare(list);
    if (candidateCount < 2) return;  // nothing to choose: the only move is the result
    stopped.store(0);
    if (!thread.Start(&HAnalyzThread::Body, this)) {
        // No thread: the moves' own gains are the values to choose from.
        threadFailed = true;
        stopped.store(1);
    }
}

void HAnalyzThread::SearchHere(HListMoves& list) {
    Prepare(list);
    if (candidateCount < 2) return;
    stopped.store(0);
    Run();
}

void HAnalyzThread::Body(void* self) {
    static_cast<HAnalyzThread*>(self)->Run();
}

void HAnalyzThread::Run() {
    search.NewSearch();
    const int32_t last = std::min(search.params.searchDepth, HSearch::kMaxDepthLimit);
    for (int32_t depthLimit = 1; depthLimit <= last; depthLimit += 2) {
        search.depthLimit = depthLimit;
        RankCandidates();
        for (int32_t i = 0; i < candidateCount; ++i) {
            HMove& move = rootList->Move(candidates[i]);
            search.board.ApplyMove(move);
            const int32_t r = search.Value(replySide);
            search.board.UndoMove(move);
            if (stopped.load(std::memory_order_relaxed) != 0) return;  // aborted: no value
            move.value = move.score - r;
            if (r < kWinThreshold) return Finish();  // the opponent has lost against it
            if (r > kLossThreshold) {
                // This move loses. The last candidate takes its place and is not
                // searched again in this iteration.
                --candidateCount;
                candidates[i] = candidates[candidateCount];
                if (candidateCount == 1) return Finish();
            }
        }
        completedDepth = depthLimit;
    }
    Finish();
}

// A search that ends without being stopped posts its notice if one was asked
// for. The exchanges make the notice exactly-once even when RequestNotice
// comes at the very moment the search ends, and never after an Abort.
void HAnalyzThread::Finish() {
    if (stopped.exchange(1) != 0) return;
    if (silent.exchange(1) == 0) PostToMainWindow(kMsgWorkerReady);
}

void HAnalyzThread::Abort() {
    if (stopped.exchange(1) == 0) thread.RaiseToHighest();
}

void HAnalyzThread::RequestNotice() {
    silent.store(0);
    if (stopped.load() != 0 && silent.exchange(1) == 0) PostToMainWindow(kMsgWorkerReady);
}

void HAnalyzThread::Join() {
    thread.Join();
}

int32_t HAnalyzThread::RankCandidates() {
    // Entries are overwritten, not exchanged: a candidate overwritten is gone,
    // and another may stand in the list twice.
    int32_t t = 1;
    for (int32_t i = 1; i < candidateCount; ++i) {
        const int32_t v = rootList->Move(candidates[i]).value;
        const int32_t w = rootList->Move(candidates[0]).value;
        if (v > w) {
            candidates[0] = candidates[i];
            t = 1;
        } else if (v == w) {
            candidates[t] = candidates[i];
            ++t;
        }
    }
    return t;
}

HMove* HAnalyzThread::PickMove() {
    Join();
    if (rootList == nullptr || candidateCount < 1) return nullptr;
    rankedCount = RankCandidates();
    return &rootList->Move(candidates[RandomNext() % rankedCount]);
}
