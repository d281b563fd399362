#pragma once

// A search worker: a thread of its own, made at the first task and kept until
// the worker is destroyed, that searches one root list at a time at the
// lowest priority. The window's thread hands it a task (Start) and never
// waits for it: the thread publishes what it has found after every root move
// by an atomic hand-over, and the window reads the last values published. An
// aborted task is abandoned; the thread finishes it whenever it next runs,
// and only then can the worker take another task.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

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

    // The worker's own root list; write it only while the thread is not on a
    // task (!Busy()). Its board pointer names the position it was made on.
    HListMoves& RootList() { return list_; }
    const HListMoves& RootList() const { return list_; }

    // Searches RootList() on the worker's thread when it offers a choice (2
    // or more moves), from a copy of the position and of the engine
    // parameters. False, with nothing changed, while the thread is still on
    // an earlier task.
    bool Start();
    // The same on a copy of list.
    bool Start(const HListMoves& list);
    // The moves' own gains are the values; no thread and no search.
    bool StartUnsearched();

    // Makes the search state and the thread now, so that a first task costs
    // the caller no more than any other. False when no thread could be made.
    bool MakeReady();

    void Abort();          // does not wait; the task is no longer wanted
    void RequestNotice();  // posts kMsgWorkerReady now if stopped, else when done
    // The search ended by itself (or there was nothing to search): the
    // values are final.
    bool Finished() const { return stopped_.load(std::memory_order_acquire) == kFinished; }
    // The best of the values published so far, ties at random; none when the
    // root list is empty. The move is the worker's copy, valid until the next
    // PickMove.
    HMove* PickMove();

    bool Stopped() const { return stopped_.load() != 0; }
    // The thread is still on a task, wanted or abandoned.
    bool Busy() const { return phase_.load(std::memory_order_acquire) == kRunning; }
    // Started and not aborted since: the window still counts on this task.
    bool Claimed() const { return claimed_.load(); }

    // Which search Start uses; the game keeps the fast one.
    SearchKind searchKind = SearchKind::AlphaBeta;

    // ---- for tools and tests

    // Waits until the thread is done with its task. The window never calls it.
    void Join();
    // Like Start on a copy of list followed by the whole search, but on the
    // calling thread; an Abort from another thread since ticket was taken
    // (AbortTicket, before starting whatever may abort it) stops it, however
    // early it comes. The values found are written to list's moves.
    void SearchHere(HListMoves& list, uint32_t ticket);
    void SearchHere(HListMoves& list) { SearchHere(list, AbortTicket()); }
    uint32_t AbortTicket() const { return aborts_.load(); }

    // The values last published.
    int32_t CandidateCount() const { return Latest().candidateCount; }
    int32_t Candidate(int32_t i) const { return Latest().candidates[i]; }
    int32_t Value(int32_t move) const { return Latest().values[move]; }
    int32_t CompletedDepth() const { return Latest().completedDepth; }  // 0: none completed
    // How many candidates the last PickMove found tied for best, at the front.
    int32_t RankedCount() const { return rankedCount_; }
    uint64_t Nodes() const { return search_ != nullptr ? search_->nodes : 0; }
    size_t Bytes() const { return sizeof(*this) + (search_ != nullptr ? search_->Bytes() : 0); }
    bool ThreadFailed() const { return threadFailed_; }
    OsThread& Thread() { return thread_; }

    // Points of a task at which a test can hold every thread that reaches
    // them (SearchHere's caller too), to play out a moment that a scheduler
    // gives only rarely: a search thread of the idle class can be kept from
    // running at any step for seconds.
    enum class HoldPoint : uint32_t {
        None,
        TaskTaken,  // the thread has woken for a task, before its first step
        HandOver,   // the task is ready to run but not yet handed over (SearchHere)
        Finishing,  // the search has ended by itself; its notice is not yet posted
        TaskEnd,    // the task is over; the worker not yet handed back
    };
    static void HoldThreadsForTesting(HoldPoint point);
    // How many times a thread has stopped at a hold point.
    static uint32_t HeldCountForTesting();

    // Gathers the best-valued candidates at the front by overwriting entries
    // (a candidate overwritten is gone, another may stand twice) and returns
    // their number.
    static int32_t RankCandidates(const int32_t* values, int32_t* candidates, int32_t count);

private:
    enum : uint32_t { kIdle = 0, kRunning = 1, kQuit = 2 };
    // Values of stopped_: any but kSearching stops the search.
    enum : uint8_t { kSearching = 0, kAborted = 1, kFinished = 2 };

    // What a task has found: one value per root move, the candidates still in
    // play, the deepest iteration completed.
    struct Values {
        std::vector<int32_t> values;
        std::vector<int32_t> candidates;
        int32_t candidateCount = 0;
        int32_t completedDepth = 0;
        void CopyFrom(const Values& other, int32_t moves);
    };

    static void Body(void* self);
    void Loop();
    bool Prepare();
    void HandOver(uint32_t abortsBefore);
    void MakeSearch();
    void Run();
    void Finish();
    void Publish();
    const Values& Latest() const;
    static void HoldAt(HoldPoint point);

    HListMoves list_;
    std::unique_ptr<HSearch> search_;  // made with the thread, or at the first task
    uint8_t replySide_ = Top;
    int32_t moveCount_ = 0;
    int32_t rankedCount_ = 0;
    bool threadFailed_ = false;
    std::atomic<bool> claimed_{false};
    HMove picked_;

    // Three buffers handed round: the thread fills back_, then swaps it with
    // the middle one, marked fresh; the window swaps its front_ with a fresh
    // middle before reading. Each side only ever touches its own buffer.
    static constexpr uint8_t kFresh = 4;
    static constexpr uint8_t kIndexMask = 3;
    Values work_;  // the thread's working values
    Values buffers_[3];
    uint8_t back_ = 2;
    mutable uint8_t front_ = 0;
    mutable std::atomic<uint8_t> middle_{1};

    OsThread thread_;
    std::atomic<uint32_t> phase_{kIdle};
    // Whether the search ended by itself is part of the same flag that stops
    // it, so a notice never sees a stopped search that is not yet final.
    std::atomic<uint8_t> stopped_{kFinished};
    std::atomic<uint8_t> silent_{1};
    // Counts every Abort: a task compares it with its value when it was asked
    // for, so an abort that comes before the task is handed over still stops it.
    std::atomic<uint32_t> aborts_{0};
};
