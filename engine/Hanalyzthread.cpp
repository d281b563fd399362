#include "engine/Hanalyzthread.h"

#include <algorithm>
#include <thread>

#include "platform/AtomicWait.h"
#include "platform/Os.h"

namespace {

// Room for every ordinary root list; a longer one grows the arrays in Start.
constexpr size_t kUsualMoves = 256;

// A finished search's notice is posted by a thread of normal priority. A
// search thread of the idle class stopped by the scheduler inside the
// posting (the receiver's queue lock, the allocator's) would hold the window
// up until it next ran, which on a busy machine can be seconds.
class NoticeRelay {
public:
    // First called on a normal-priority thread: the relay keeps its class.
    static NoticeRelay& Instance() {
        static NoticeRelay relay;
        return relay;
    }

    void Post() {
        pending_.fetch_add(1, std::memory_order_release);
        AtomicNotifyOne(pending_);
    }

private:
    NoticeRelay() : thread_([this] { Loop(); }) {}
    ~NoticeRelay() {
        quit_.store(1);
        Post();
        thread_.join();
    }

    void Loop() {
        for (;;) {
            uint32_t n = pending_.exchange(0, std::memory_order_acquire);
            if (quit_.load() != 0) return;
            for (; n > 0; --n) PostToMainWindow(kMsgWorkerReady);
            AtomicWait(pending_, 0, std::memory_order_acquire);
        }
    }

    std::atomic<uint32_t> pending_{0};
    std::atomic<uint8_t> quit_{0};
    std::thread thread_;
};

std::atomic<uint32_t> holdPoint{0};
std::atomic<uint32_t> heldCount{0};

}  // namespace

void HAnalyzThread::HoldThreadsForTesting(HoldPoint point) {
    holdPoint.store(uint32_t(point));
    AtomicNotifyAll(holdPoint);
}

uint32_t HAnalyzThread::HeldCountForTesting() {
    return heldCount.load();
}

void HAnalyzThread::HoldAt(HoldPoint point) {
    if (holdPoint.load(std::memory_order_relaxed) != uint32_t(point)) return;
    heldCount.fetch_add(1);
    AtomicWait(holdPoint, uint32_t(point));
}

void HAnalyzThread::Values::CopyFrom(const Values& other, int32_t moves) {
    candidateCount = other.candidateCount;
    completedDepth = other.completedDepth;
    std::copy_n(other.candidates.begin(), candidateCount, candidates.begin());
    std::copy_n(other.values.begin(), moves, values.begin());
}

HAnalyzThread::HAnalyzThread() {
    NoticeRelay::Instance();
    for (Values* v : {&work_, &buffers_[0], &buffers_[1], &buffers_[2]}) {
        v->values.resize(kUsualMoves);
        v->candidates.resize(kUsualMoves);
    }
}

HAnalyzThread::~HAnalyzThread() {
    Abort();
    phase_.store(kQuit, std::memory_order_release);
    AtomicNotifyAll(phase_);
    thread_.Join();
}

// ---------------------------------------------------------------- window's thread

// Costs the window a few system calls: the table comes as zero pages, which
// the search thread fills. The search thread allocates nothing, so it never
// holds a lock of the allocator that the window might want.
void HAnalyzThread::MakeSearch() {
    if (search_ != nullptr) return;
    search_ = std::make_unique<HSearch>();
    search_->stop = &stopped_;
}

bool HAnalyzThread::MakeReady() {
    MakeSearch();
    return thread_.Joinable() || thread_.Start(&HAnalyzThread::Body, this);
}

// Sets every field of a new task while the thread is idle; the release store
// of the phase then hands them over.
bool HAnalyzThread::Prepare() {
    if (Busy()) return false;
    MakeSearch();
    claimed_.store(true);
    silent_.store(1);
    stopped_.store(kAborted);
    search_->params = engineParams;
    search_->kind = searchKind;
    search_->nodes = 0;
    replySide_ = list_.side == Bottom ? Top : Bottom;
    threadFailed_ = false;
    rankedCount_ = 0;
    const int32_t n = list_.board != nullptr ? list_.Count() : 0;
    if (n > 0) search_->board = *list_.board;
    moveCount_ = n;
    if (work_.values.size() < size_t(n)) {
        for (Values* v : {&work_, &buffers_[0], &buffers_[1], &buffers_[2]}) {
            v->values.resize(n);
            v->candidates.resize(n);
        }
    }
    for (int32_t i = 0; i < n; ++i) {
        work_.values[i] = list_.Move(i).score;
        work_.candidates[i] = i;
    }
    work_.candidateCount = n;
    work_.completedDepth = 0;
    for (Values& v : buffers_) v.CopyFrom(work_, n);
    front_ = 0;
    middle_.store(1);
    back_ = 2;
    return true;
}

// The search runs from here on unless an Abort has come since the task was
// asked for: one that came before this store would otherwise be lost.
void HAnalyzThread::HandOver(uint32_t abortsBefore) {
    stopped_.store(kSearching);
    if (aborts_.load() != abortsBefore) {
        uint8_t searching = kSearching;
        stopped_.compare_exchange_strong(searching, kAborted);
    }
}

bool HAnalyzThread::Start() {
    const uint32_t abortsBefore = aborts_.load();
    if (!Prepare()) return false;
    if (moveCount_ < 2) {  // nothing to choose: the only move is the result
        stopped_.store(kFinished);
        return true;
    }
    if (!MakeReady()) {
        // No thread: the moves' own gains are the values to choose from.
        threadFailed_ = true;
        stopped_.store(kFinished);
        return true;
    }
    HandOver(abortsBefore);
    phase_.store(kRunning, std::memory_order_release);
    AtomicNotifyAll(phase_);
    return true;
}

bool HAnalyzThread::Start(const HListMoves& list) {
    if (Busy()) return false;
    list_ = list;
    return Start();
}

bool HAnalyzThread::StartUnsearched() {
    if (!Prepare()) return false;
    stopped_.store(kFinished);
    return true;
}

void HAnalyzThread::Abort() {
    claimed_.store(false);
    aborts_.fetch_add(1);
    uint8_t searching = kSearching;
    if (stopped_.compare_exchange_strong(searching, kAborted)) thread_.RaiseToHighest();
}

void HAnalyzThread::RequestNotice() {
    silent_.store(0);
    if (stopped_.load() != 0 && silent_.exchange(1) == 0) PostToMainWindow(kMsgWorkerReady);
}

const HAnalyzThread::Values& HAnalyzThread::Latest() const {
    if ((middle_.load(std::memory_order_relaxed) & kFresh) != 0)
        front_ = middle_.exchange(front_, std::memory_order_acq_rel) & kIndexMask;
    return buffers_[front_];
}

HMove* HAnalyzThread::PickMove() {
    Latest();
    Values& v = buffers_[front_];
    if (v.candidateCount < 1) return nullptr;
    rankedCount_ = RankCandidates(v.values.data(), v.candidates.data(), v.candidateCount);
    const int32_t chosen = v.candidates[RandomNext() % rankedCount_];
    // The thread may still read the list, never write it.
    picked_ = list_.Move(chosen);
    picked_.value = v.values[chosen];
    return &picked_;
}

void HAnalyzThread::Join() {
    uint32_t phase = phase_.load(std::memory_order_acquire);
    while (phase == kRunning) {
        AtomicWait(phase_, phase, std::memory_order_acquire);
        phase = phase_.load(std::memory_order_acquire);
    }
}

void HAnalyzThread::SearchHere(HListMoves& list, uint32_t ticket) {
    Join();
    list_ = list;
    if (!Prepare()) return;
    if (moveCount_ >= 2) {
        HoldAt(HoldPoint::HandOver);
        HandOver(ticket);
        Run();
        Finish();
    } else {
        stopped_.store(kFinished);
    }
    const Values& v = Latest();
    for (int32_t i = 0; i < moveCount_; ++i) list.Move(i).value = v.values[i];
}

int32_t HAnalyzThread::RankCandidates(const int32_t* values, int32_t* candidates, int32_t count) {
    int32_t t = 1;
    for (int32_t i = 1; i < count; ++i) {
        const int32_t v = values[candidates[i]];
        const int32_t w = values[candidates[0]];
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

// ---------------------------------------------------------------- worker's thread

void HAnalyzThread::Body(void* self) {
    static_cast<HAnalyzThread*>(self)->Loop();
}

void HAnalyzThread::Loop() {
    for (;;) {
        uint32_t phase = phase_.load(std::memory_order_acquire);
        while (phase == kIdle) {
            AtomicWait(phase_, kIdle, std::memory_order_acquire);
            phase = phase_.load(std::memory_order_acquire);
        }
        if (phase == kQuit) return;
        HoldAt(HoldPoint::TaskTaken);
        // An abort of an earlier task may have left the thread raised. One of
        // this task's may have come already too: the flag is set before the
        // raise, so seen here it is raised again, never undone.
        OsThread::LowerCallingThread();
        if (Stopped()) thread_.RaiseToHighest();
        Run();
        Finish();
        HoldAt(HoldPoint::TaskEnd);
        uint32_t running = kRunning;
        if (!phase_.compare_exchange_strong(running, kIdle, std::memory_order_acq_rel)) return;
        AtomicNotifyAll(phase_);
    }
}

void HAnalyzThread::Run() {
    HSearch& search = *search_;
    search.NewSearch();
    const int32_t last = std::min(search.params.searchDepth, HSearch::kMaxDepthLimit);
    for (int32_t depthLimit = 1; depthLimit <= last; depthLimit += 2) {
        search.depthLimit = depthLimit;
        RankCandidates(work_.values.data(), work_.candidates.data(), work_.candidateCount);
        for (int32_t i = 0; i < work_.candidateCount; ++i) {
            const int32_t index = work_.candidates[i];
            const HMove& move = list_.Move(index);
            search.board.ApplyMove(move);
            const int32_t r = search.Value(replySide_);
            search.board.UndoMove(move);
            if (stopped_.load(std::memory_order_relaxed) != 0) return;  // aborted: no value
            work_.values[index] = move.score - r;
            if (r < kWinThreshold) return;  // the opponent has lost against it
            if (r > kLossThreshold) {
                // This move loses. The last candidate takes its place and is not
                // searched again in this iteration.
                --work_.candidateCount;
                work_.candidates[i] = work_.candidates[work_.candidateCount];
                if (work_.candidateCount == 1) return;
            }
            Publish();
        }
        work_.completedDepth = depthLimit;
    }
}

void HAnalyzThread::Publish() {
    buffers_[back_].CopyFrom(work_, moveCount_);
    back_ = middle_.exchange(back_ | kFresh, std::memory_order_acq_rel) & kIndexMask;
}

// The last values are published first. A search that ends without being
// stopped becomes final in one step, so a notice that RequestNotice posts at
// that moment finds it final; the exchanges make the notice exactly-once,
// and never after an Abort.
void HAnalyzThread::Finish() {
    Publish();
    uint8_t searching = kSearching;
    if (!stopped_.compare_exchange_strong(searching, kFinished, std::memory_order_acq_rel)) return;
    HoldAt(HoldPoint::Finishing);
    if (silent_.exchange(1) == 0) NoticeRelay::Instance().Post();
}
