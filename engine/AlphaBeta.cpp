#include "engine/AlphaBeta.h"

#include <algorithm>
#include <cstring>

#include "engine/FastGenerate.h"
#include "engine/Search.h"

namespace {

// Larger than any value a line can reach with sane weights.
constexpr int64_t kInfinity = int64_t{1} << 30;

int32_t Clamp(int64_t v) {
    return static_cast<int32_t>(std::clamp(v, -kInfinity, kInfinity));
}

uint16_t QuietId(const FastMove& m) {
    return static_cast<uint16_t>(1 + m.from + 32 * m.to);
}

constexpr int32_t kTableMoveScore = 1 << 30;
constexpr int32_t kCaptureScore = 1 << 28;
constexpr int32_t kKillerScore = 1 << 26;
constexpr int32_t kHistoryCap = 1 << 24;

// Highest score first; the lists are short.
void SortByScore(FastMove* moves, int32_t* scores, int32_t n) {
    for (int32_t i = 1; i < n; ++i) {
        const FastMove m = moves[i];
        const int32_t score = scores[i];
        int32_t j = i;
        for (; j > 0 && scores[j - 1] < score; --j) {
            moves[j] = moves[j - 1];
            scores[j] = scores[j - 1];
        }
        moves[j] = m;
        scores[j] = score;
    }
}

}  // namespace

AlphaBeta::AlphaBeta() : table_(kTableBytes) {}

size_t AlphaBeta::Bytes() const {
    return sizeof(*this) + table_.Bytes();
}

void AlphaBeta::NewSearch() {
    table_.NewSearch();
    std::memset(killers_, 0, sizeof(killers_));
    std::memset(history_, 0, sizeof(history_));
}

bool AlphaBeta::Value(const Board32& board, uint8_t side, int32_t depthLimit,
                      const EngineParams& params, const std::atomic<uint8_t>* stop,
                      int32_t& value) {
    if (!(params == tableParams_)) {
        table_.Clear();
        tableParams_ = params;
    }
    board_ = board;
    params_ = &params;
    stop_ = stop;
    failed_ = false;
    top_ = 0;
    value = Node(side, std::max(depthLimit, 0), static_cast<int32_t>(-kInfinity),
                 static_cast<int32_t>(kInfinity), 1);
    return !failed_;
}

int32_t AlphaBeta::Node(uint8_t side, int32_t depth, int32_t alpha, int32_t beta, int32_t ply) {
    ++nodes;
    if (depth == 0) return 0;
    if (stop_->load(std::memory_order_relaxed) != 0) {
        failed_ = true;
        return 0;
    }
    if (depth == 1) return Horizon(side, beta);
    const uint64_t key = PositionKey(board_, side);
    TranspositionTable::Hit hit;
    table_.Probe(key, board_, side, depth, hit);
    if (hit.bound == kBoundExact || (hit.bound == kBoundLower && hit.value >= beta) ||
        (hit.bound == kBoundUpper && hit.value <= alpha))
        return hit.value;

    FastMove* moves = stack_ + top_;
    int32_t* scores = scores_ + top_;
    const int32_t n = GenerateMoves(board_, side, moves, kStackMoves - top_);
    if (n < 0) {
        failed_ = true;
        return 0;
    }
    if (n == 0) {
        table_.Store(key, board_, side, depth, kLostValue, kBoundExact,
                     TranspositionTable::kNoMove);
        return kLostValue;
    }
    top_ += n;
    Order(moves, scores, n, hit.move, ply, side);

    const uint8_t opp = Opponent(side);
    const int32_t alphaIn = alpha;
    int32_t best = INT32_MIN;
    uint8_t bestMove = TranspositionTable::kNoMove;
    for (int32_t k = 0; k < n; ++k) {
        // Most nodes are cut after their first move: pick only that one,
        // and sort the rest once the first has not cut.
        if (k == 0) {
            int32_t pick = 0;
            for (int32_t j = 1; j < n; ++j)
                if (scores[j] > scores[pick]) pick = j;
            std::swap(moves[0], moves[pick]);
            std::swap(scores[0], scores[pick]);
        } else if (k == 1) {
            SortByScore(moves + 1, scores + 1, n - 1);
        }
        const FastMove& m = moves[k];

        const int32_t gain = Gain(board_, m, side, *params_);
        board_.Make(m, side);
        const int32_t v = gain - Node(opp, depth - 1, Clamp(int64_t{gain} - beta),
                                      Clamp(int64_t{gain} - alpha), ply + 1);
        board_.Unmake(m, side);
        if (failed_) break;
        if (v > best) {
            best = v;
            bestMove = m.index;
            if (v > alpha) {
                alpha = v;
                if (alpha >= beta) {
                    if (m.captured == 0) RewardQuiet(m, ply, side, depth);
                    break;
                }
            }
        }
    }
    top_ -= n;
    if (failed_) return 0;  // a stopped search stores nothing
    const Bound bound = best <= alphaIn ? kBoundUpper : best >= beta ? kBoundLower : kBoundExact;
    table_.Store(key, board_, side, depth, best, bound, bestMove);
    return best;
}

// The last ply, where a reply's value is its gain alone: no reply is made and
// the table is not asked, since the answer costs less than a probe. The
// replies count as visited as the loop above would visit them: the best
// first, and if it does not reach beta every other one after it.
int32_t AlphaBeta::Horizon(uint8_t side, int32_t beta) {
    const fastgen::Sides p = fastgen::SidesOf(board_, side);
    int32_t best;
    int32_t crowning;
    int32_t n = fastgen::CountQuiet(p, side, crowning);
    if (n >= 0) {
        if (n == 0) return kLostValue;
        const int32_t crown =
            params_->promotionBonus +
            ((board_.kings & board_.pieces[side]) == 0 ? params_->firstKingBonus : 0);
        best = crowning == 0 ? 0 : crowning == n ? crown : std::max(crown, 0);
    } else {
        FastMove* moves = stack_ + top_;
        fastgen::ListSink sink{moves, kStackMoves - top_};
        fastgen::AllCaptures(p, side, sink);
        n = sink.count;
        if (n > sink.capacity) {
            failed_ = true;
            return 0;
        }
        best = INT32_MIN;
        for (int32_t i = 0; i < n; ++i)
            best = std::max(best, Gain(board_, moves[i], side, *params_));
    }
    nodes += best >= beta ? 1 : static_cast<uint64_t>(n);
    return best;
}

void AlphaBeta::Order(FastMove* moves, int32_t* scores, int32_t n, uint8_t ttMove, int32_t ply,
                      uint8_t side) const {
    const int32_t(&history)[32][32] = history_[side & 1];
    for (int32_t i = 0; i < n; ++i) {
        const FastMove& m = moves[i];
        int32_t score;
        if (m.index == ttMove && ttMove != TranspositionTable::kNoMove) {
            score = kTableMoveScore;
        } else if (m.captured != 0) {
            score =
                kCaptureScore + Gain(board_, m, side, *params_);  // every move of the node captures
        } else if (QuietId(m) == killers_[ply][0]) {
            score = kKillerScore + 1;
        } else if (QuietId(m) == killers_[ply][1]) {
            score = kKillerScore;
        } else {
            score = history[m.from][m.to] + (m.promotes ? kHistoryCap : 0);
        }
        scores[i] = score;
    }
}

void AlphaBeta::RewardQuiet(const FastMove& m, int32_t ply, uint8_t side, int32_t depth) {
    const uint16_t id = QuietId(m);
    if (killers_[ply][0] != id) {
        killers_[ply][1] = killers_[ply][0];
        killers_[ply][0] = id;
    }
    int32_t& h = history_[side & 1][m.from][m.to];
    h += depth * depth;
    if (h >= kHistoryCap) {
        for (auto& row : history_[side & 1])
            for (int32_t& cell : row) cell /= 2;
    }
}
