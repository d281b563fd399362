#include "engine/Hanalyzthread.h"

#include <algorithm>
#include <new>

#include "platform/AtomicWait.h"
#include "platform/NoticeRelay.h"
#include "platform/Os.h"
#include "platform/Probe.h"
#include "platform/ResidentCode.h"

namespace {

// Room for every ordinary root list; a longer one grows the arrays in Start.
constexpr size_t kUsualMoves = 256;

}  // namespace

HAnalyzThread::HAnalyzThread() {
    StartNoticeRelay();  // from the window, a thread of normal priority
    work_.Reserve(kUsualMoves);
    published_.Reserve(kUsualMoves);
}

HAnalyzThread::~HAnalyzThread() {
    Abort();
    quit_.store(true);
    task_.fetch_add(1);
    AtomicNotifyAll(task_);
    thread_.Join();
}

// ---------------------------------------------------------------- window's thread

// Everything the search thread touches is resident before it first runs at
// the lowest priority, and stays so: the position table comes as resident
// zero pages, the rest is written whole when made, the code is mapped once
// per process, and the thread's own start makes its stack resident.
bool HAnalyzThread::MakeSearch() {
    if (search_ != nullptr) return true;
    try {
        search_ = std::make_unique<HSearch>();
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool HAnalyzThread::MakeReady() {
    if (!MakeSearch()) return false;
    MakeCodeResident();
    const auto body = [](void* self) { static_cast<HAnalyzThread*>(self)->Loop(); };
    return thread_.Joinable() || thread_.Start(body, this);
}

// Sets every field of a new task while the thread is idle; handing the task
// over (a sequentially consistent store of task_) publishes them. final: no
// search follows, the moves' gains are the values. False when the thread is
// still on a task or memory runs out.
bool HAnalyzThread::Prepare(bool final) {
    if (Busy()) return false;
    const int32_t n = RootMoves();
    try {
        work_.Reserve(n);
        published_.Reserve(n);
    } catch (const std::bad_alloc&) {
        return false;
    }
    claimed_ = true;
    stop_.store(1);
    silent_.store(1);
    moveCount_ = n;
    threadFailed_ = false;
    rankedCount_ = 0;
    for (int32_t i = 0; i < n; ++i) {
        work_.values[i] = list_.Move(i).score;
        work_.candidates[i] = i;
    }
    work_.candidateCount = n;
    work_.completedDepth = 0;
    published_.Reset(work_, n, final);
    return true;
}

// The search's own copy of the position and of the engine parameters.
void HAnalyzThread::SetUpSearch(const std::atomic<uint8_t>& stop) {
    search_->params = engineParams;
    search_->kind = searchKind;
    search_->nodes = 0;
    search_->stop = &stop;
    search_->board = *list_.board;
    replySide_ = list_.side == Bottom ? Top : Bottom;
}

// With one move or none there is nothing to choose. Without a thread (the
// system refused one) the moves' own gains are the values to choose from.
bool HAnalyzThread::Start() {
    const bool choice = RootMoves() >= 2;
    if (choice && !MakeSearch()) return false;  // out of memory: as when no worker is free
    const bool search = choice && MakeReady();
    if (!Prepare(!search)) return false;
    threadFailed_ = moveCount_ >= 2 && !search;
    if (!search) return true;
    SetUpSearch(stop_);
    stop_.store(0);
    task_.fetch_add(1);
    AtomicNotifyAll(task_);
    return true;
}

bool HAnalyzThread::Start(const HListMoves& list) {
    if (Busy()) return false;
    list_ = list;
    return Start();
}

// Only a search still running is raised, so that it unwinds at once.
void HAnalyzThread::Abort() {
    claimed_ = false;
    if (stop_.exchange(1) == 0 && !Finished()) thread_.RaiseToHighest();
}

// The notice is posted exactly once: by whichever side, this one or the
// thread that finishes, turns silent_ from 0 back to 1. The thread publishes
// its final values before it looks at silent_, and this side clears silent_
// before it looks for them; all four steps are sequentially consistent, so at
// least one side sees the other's.
void HAnalyzThread::RequestNotice() {
    silent_.store(0);
    if (Stopped() && silent_.exchange(1) == 0) PostToMainWindow(kMsgWorkerReady);
}

HMove* HAnalyzThread::PickMove() {
    published_.TakeLatest();
    RootValues& v = published_.Front();
    if (v.candidateCount < 1) return nullptr;
    rankedCount_ = v.Rank();
    const int32_t chosen = v.candidates[RandomNext() % rankedCount_];
    // The thread may still read the list, never write it.
    picked_ = list_.Move(chosen);
    picked_.value = v.values[chosen];
    return &picked_;
}

void HAnalyzThread::Join() {
    for (uint32_t done = done_.load(); done != task_.load(); done = done_.load())
        AtomicWait(done_, done);
    published_.TakeLatest();
}

void HAnalyzThread::SearchHere(HListMoves& list, const std::atomic<uint8_t>& stop) {
    Join();
    list_ = list;
    if (!Prepare(RootMoves() < 2)) return;
    if (moveCount_ >= 2 && MakeSearch()) {
        SetUpSearch(stop);
        Run();
        published_.Publish(work_, moveCount_, stop.load() == 0);
        published_.TakeLatest();
    }
    for (int32_t i = 0; i < moveCount_; ++i) list.Move(i).value = Value(i);
}

void HAnalyzThread::SearchHere(HListMoves& list) {
    const std::atomic<uint8_t> never{0};
    SearchHere(list, never);
}

// ---------------------------------------------------------------- worker's thread

// The task's number is read before quit_: the destructor sets quit_ before
// it counts its wake-up as a task, so a number that counts it comes with
// quit_ seen, and that wake-up is never taken for a search.
void HAnalyzThread::Loop() {
    ProbeAt(ProbePoint::WorkerStart);
    for (uint32_t taken = 0;;) {
        AtomicWait(task_, taken);
        taken = task_.load();
        ProbeAt(ProbePoint::WorkerWoken);
        if (quit_.load()) return;
        ProbeAt(ProbePoint::WorkerTaskTaken);
        // Lowered for each task, since an abort of the last one may have
        // raised it. An abort that comes first, whose raise this lowering
        // would undo, is seen after it: the flag is set before the raise.
        if (stop_.load() == 0) {
            OsThread::LowerCallingThread();
            if (stop_.load() != 0) OsThread::RaiseCallingThread();
        }
        Run();
        Finish();
        ProbeAt(ProbePoint::WorkerTaskEnd);
        done_.store(taken);
        AtomicNotifyAll(done_);
    }
}

void HAnalyzThread::Run() {
    HSearch& search = *search_;
    search.NewSearch();
    const int32_t last = std::min(search.params.searchDepth, HSearch::kMaxDepthLimit);
    for (int32_t depthLimit = 1; depthLimit <= last; depthLimit += 2) {
        search.depthLimit = depthLimit;
        work_.Rank();
        for (int32_t i = 0; i < work_.candidateCount; ++i) {
            const int32_t index = work_.candidates[i];
            const HMove& move = list_.Move(index);
            search.board.ApplyMove(move);
            const int32_t r = search.Value(replySide_);
            search.board.UndoMove(move);
            if (search.stop->load(std::memory_order_relaxed) != 0) return;  // aborted: no value
            work_.values[index] = move.score - r;
            if (r < kWinThreshold) return;  // the opponent has lost against it
            if (r > kLossThreshold) {
                // This move loses. The last candidate takes its place and is not
                // searched again in this iteration.
                --work_.candidateCount;
                work_.candidates[i] = work_.candidates[work_.candidateCount];
                if (work_.candidateCount == 1) return;
            }
            published_.Publish(work_, moveCount_, false);
        }
        work_.completedDepth = depthLimit;
    }
}

// A search that ended by itself publishes its last values marked final and
// then, if a notice is awaited, has the relay post it. An aborted one
// publishes what it has, not final, and posts nothing.
void HAnalyzThread::Finish() {
    const bool ended = stop_.load() == 0;
    published_.Publish(work_, moveCount_, ended);
    if (!ended) return;
    ProbeAt(ProbePoint::WorkerFinishing);
    if (silent_.exchange(1) == 0) RelayWorkerReady();
}
