#pragma once

// A search worker: searches one root list on a thread of its own at the
// lowest priority, stops when told, posts one ready notice when asked, and
// picks the move to play from the values its search left on the root moves.

#include <atomic>
#include <cstdint>
#include <vector>

#include "engine/Search.h"
#include "platform/OsThread.h"
#include "rules/Hlistmoves.h"

class HAnalyzThread {
public:
    HAnalyzThread();
    ~HAnalyzThread();  // Abort, then wait for the thread's end
    HAnalyzThread(const HAnalyzThread&) = delete;
    HAnalyzThread& operator=(const HAnalyzThread&) = delete;

    // Takes list as root list and copies *list.board, the position the list
    // was generated on, together with the engine parameters. Starts a thread
    // only when the list offers a choice (2 or more moves).
    void Start(HListMoves& list);
    void Abort();          // does not wait
    void RequestNotice();  // posts kMsgWorkerReady now if idle, else when done
    HMove* PickMove();     // after the thread has ended: best value, ties at random
    void Join();           // waits for the thread's end (used by PickMove, Start)
    bool Stopped() const { return stopped.load() != 0; }

    // Which search Start uses; the game keeps the fast one.
    SearchKind searchKind = SearchKind::AlphaBeta;

    // Like Start followed by the thread's whole run, but on the calling
    // thread; Abort from another thread stops it. For tools and benchmarks.
    void SearchHere(HListMoves& list);

    // The number of best-valued candidates gathered at the front.
    int32_t RankCandidates();

    // Results, valid once the thread has ended.
    int32_t CandidateCount() const { return candidateCount; }
    int32_t Candidate(int32_t i) const { return candidates[i]; }
    // How many candidates the last PickMove found tied for best, at the front.
    int32_t RankedCount() const { return rankedCount; }
    int32_t CompletedDepth() const { return completedDepth; }  // 0: no iteration completed
    uint64_t Nodes() const { return search.nodes; }
    size_t Bytes() const { return sizeof(*this) + search.Bytes() - sizeof(search); }
    bool ThreadFailed() const { return threadFailed; }
    OsThread& Thread() { return thread; }

private:
    static void Body(void* self);
    void Prepare(HListMoves& list);
    void Run();
    void Finish();

    HSearch search;
    std::vector<int32_t> candidates;  // grows in Start only, never while searching
    int32_t candidateCount = 0;
    uint8_t replySide = Top;
    HListMoves* rootList = nullptr;
    int32_t completedDepth = 0;
    int32_t rankedCount = 0;
    bool threadFailed = false;

    OsThread thread;
    std::atomic<uint8_t> stopped{1};
    std::atomic<uint8_t> silent{1};
};
