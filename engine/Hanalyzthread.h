#pragma once

// A search worker: a thread of its own, made at the first task and kept until
// the worker is destroyed, that searches one root list at a time at the
// lowest priority. The window's thread hands it a task (Start) and never
// waits for it: the thread publishes what it has found after every root move,
// and the window reads the last values published. An aborted task is
// abandoned; the thread finishes it whenever it next runs, and only then can
// the worker take another. docs/design.md lists the fields the two threads
// share and who writes each.

#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/PublishedValues.h"
#include "engine/Search.h"
#include "platform/OsThread.h"
#include "rules/Hlistmoves.h"

class HAnalyzThread {
public:
    HAnalyzThread();
    ~HAnalyzThread();  // abandons the task, then waits for the thread's end
    HAnalyzThread(const HAnalyzThread&) = delete;
    HAnalyzThread& operator=(const HAnalyzThread&) = delete;

    // ---- on the window's thread

    // The worker's own root list; write it only while !Busy(). Its board
    // pointer names the position it was made on.
    HListMoves& RootList() { return list_; }
    const HListMoves& RootList() const { return list_; }

    // Searches RootList() on the worker's thread when it offers a choice (2
    // or more moves), from a copy of the position and of the engine
    // parameters. False, with nothing started, while the thread is still on
    // an earlier task or when memory runs out.
    bool Start();
    bool Start(const HListMoves& list);  // the same on a copy of list
    // The moves' own gains are the values; no thread and no search.
    bool StartUnsearched() { return Prepare(true); }
    // Makes the search state and the thread now, so that a first task costs
    // the caller no more than any other. False when either cannot be made.
    bool MakeReady();

    void Abort();          // does not wait; the task is no longer wanted
    void RequestNotice();  // posts kMsgWorkerReady now if stopped, else when done
    // The search ended by itself (or there was nothing to search): the values
    // published are final.
    bool Finished() const { return published_.Final(); }
    // The best of the values published so far, ties at random; none when the
    // root list is empty. The move is a copy, valid until the next PickMove.
    HMove* PickMove();

    bool Stopped() const { return stop_.load() != 0 || Finished(); }
    // The thread is still on a task, wanted or abandoned.
    bool Busy() const { return done_.load() != task_.load(std::memory_order_relaxed); }
    // Started and not aborted since: the window still counts on this task.
    bool Claimed() const { return claimed_; }

    SearchKind searchKind = SearchKind::AlphaBeta;  // the game keeps the fast one

    // ---- for tools and tests

    // Waits until the thread is done with its task, then takes in the last
    // values it published. The window never calls it.
    void Join();
    // Start on a copy of list and the whole search, on the calling thread,
    // stopped once stop is set: from any thread, at any moment, since the
    // search never resets it. The values found are written to list's moves.
    void SearchHere(HListMoves& list, const std::atomic<uint8_t>& stop);
    void SearchHere(HListMoves& list);

    // The set of values the last PickMove, Join or SearchHere took in.
    int32_t CandidateCount() const { return published_.Front().candidateCount; }
    int32_t Candidate(int32_t i) const { return published_.Front().candidates[i]; }
    int32_t Value(int32_t move) const { return published_.Front().values[move]; }
    int32_t CompletedDepth() const { return published_.Front().completedDepth; }
    // How many candidates the last PickMove found tied for best, at the front.
    int32_t RankedCount() const { return rankedCount_; }
    uint64_t Nodes() const { return search_ != nullptr ? search_->nodes : 0; }
    size_t Bytes() const { return sizeof(*this) + (search_ != nullptr ? search_->Bytes() : 0); }
    bool ThreadFailed() const { return threadFailed_; }
    OsThread& Thread() { return thread_; }

private:
    void Loop();
    bool Prepare(bool final);
    int32_t RootMoves() const { return list_.board != nullptr ? list_.Count() : 0; }
    bool MakeSearch();  // false when memory runs out
    void SetUpSearch(const std::atomic<uint8_t>& stop);
    void Run();
    void Finish();

    HListMoves list_;
    std::unique_ptr<HSearch> search_;  // made with the thread, or at the first task
    uint8_t replySide_ = Top;
    int32_t moveCount_ = 0;
    int32_t rankedCount_ = 0;
    bool threadFailed_ = false;
    bool claimed_ = false;
    HMove picked_;
    RootValues work_;  // the thread's working values
    PublishedValues published_;

    OsThread thread_;
    std::atomic<uint32_t> task_{0};  // tasks handed over
    std::atomic<uint32_t> done_{0};  // tasks the thread is done with
    std::atomic<bool> quit_{false};
    std::atomic<uint8_t> stop_{1};    // the task's stop flag: 0 from hand-over to Abort
    std::atomic<uint8_t> silent_{1};  // 0: a notice awaits the search's end
};
