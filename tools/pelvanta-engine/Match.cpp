// match: the opponents of two archive files play a series of games through
// the game's own search (the worker's root loop, its alpha-beta search and
// its random tie-break), each side with the five numbers of its archive.
//
// A move's time is the searching thread's CPU time, not the wall clock, so a
// busy machine slows a match down without changing its games. The search runs
// on this (normal-priority) thread; a watchdog stops it when its CPU time is up.
#include "tools/pelvanta-engine/Cli.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <time.h>
#endif

#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/Hanalyzthread.h"
#include "photos/Hdata.h"
#include "platform/Os.h"
#include "rules/Hlistmoves.h"

namespace {

// Plies without a capture and without a man's move after which a game is
// drawn. Men only go forward, so such plies are king moves only, and every
// repetition of a position lies within such a stretch: no game runs forever.
constexpr int32_t kNoProgressPlies = 60;
constexpr int32_t kMaxGames = 100000;
constexpr int32_t kMaxMs = 3600000;
constexpr int32_t kMaxOpeningPlies = 40;
constexpr int32_t kOpeningTries = 1000;

struct Side {
    std::string name;
    EngineParams params;
    std::unique_ptr<HAnalyzThread> worker = std::make_unique<HAnalyzThread>();
};

struct MatchOptions {
    int32_t games = 20;
    int32_t ms = 300;
    int32_t openings = 2;
    uint32_t seed = 0;
};

EngineParams LoadOpponent(const std::string& file) {
    HData entry;
    std::string reason;
    if (!entry.Load(file.c_str(), reason))
        throw UsageError{"cannot use " + file + " as an opponent: " + reason};
    return entry.Params();
}

// The CPU time of the thread that makes it, readable from any thread.
#ifdef _WIN32
class ThreadCpuClock {
public:
    ThreadCpuClock() {
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread_,
                        THREAD_QUERY_LIMITED_INFORMATION, FALSE, 0);
    }
    ~ThreadCpuClock() { CloseHandle(thread_); }
    ThreadCpuClock(const ThreadCpuClock&) = delete;
    ThreadCpuClock& operator=(const ThreadCpuClock&) = delete;

    double Ms() const {
        FILETIME created{}, ended{}, kernel{}, user{};
        GetThreadTimes(thread_, &created, &ended, &kernel, &user);
        return double(Ticks(kernel) + Ticks(user)) / 1e4;  // 100 ns ticks
    }

private:
    static uint64_t Ticks(const FILETIME& time) {
        return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    }
    HANDLE thread_ = nullptr;
};
#else
class ThreadCpuClock {
public:
    ThreadCpuClock() { pthread_getcpuclockid(pthread_self(), &clock_); }

    double Ms() const {
        timespec now{};
        clock_gettime(clock_, &now);
        return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
    }

private:
    clockid_t clock_{};
};
#endif

// Random legal moves from the start, as indexes into each position's list;
// the game's move order is fixed, so the indexes replay the same opening.
std::vector<int32_t> RandomOpening(int32_t plies, std::mt19937& random) {
    for (int32_t attempt = 0; attempt < kOpeningTries; ++attempt) {
        HDoska board;
        board.SetInitial();
        HListMoves list;
        std::vector<int32_t> opening;
        uint8_t side = Bottom;
        for (int32_t ply = 0; ply < plies; ++ply) {
            const int32_t n = list.Generate(side, board);
            if (n == 0) break;
            opening.push_back(int32_t(random() % uint32_t(n)));
            board.ApplyMove(list.Move(opening.back()));
            side = Opponent(side);
        }
        // An opening must leave a game to play.
        if (int32_t(opening.size()) == plies && list.Generate(side, board) > 0) return opening;
    }
    return {};
}

enum class Result { BottomWins, TopWins, Draw };

struct GameRecord {
    Result result = Result::Draw;
    int32_t plies = 0;
};

// One game from the opening; sides[Bottom] moves first.
GameRecord PlayGame(Side* sides[4], const std::vector<int32_t>& opening, int32_t ms) {
    HDoska board;
    board.SetInitial();
    HListMoves list;
    uint8_t side = Bottom;
    GameRecord record;
    int32_t quiet = 0;  // plies since the last capture or man's move
    for (;; side = Opponent(side), ++record.plies) {
        Side& mover = *sides[side];
        engineParams = mover.params;  // the moves' gains are scored with the mover's weights
        if (list.Generate(side, board) == 0) {
            record.result = side == Bottom ? Result::TopWins : Result::BottomWins;
            return record;
        }
        if (quiet >= kNoProgressPlies) return record;  // a draw
        HMove played;
        if (size_t(record.plies) < opening.size()) {
            played = list.Move(opening[size_t(record.plies)]);
        } else {
            // Stopped once this thread has used ms of CPU time.
            const ThreadCpuClock clock;
            SearchWithin(*mover.worker, list, ms, [&clock] { return clock.Ms(); });
            played = *mover.worker->PickMove();
        }
        const bool progress = played.capturedCount > 0 || played.steps[0].king == 0;
        quiet = progress ? 0 : quiet + 1;
        board.ApplyMove(played);
    }
}

// The Elo difference of a score fraction p, from the logistic model.
double Elo(double p) {
    return -400.0 * std::log10(1.0 / p - 1.0);
}

std::string Signed(double v) {
    if (std::isinf(v)) return v > 0 ? "+inf" : "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%+.0f", v == 0 ? 0.0 : v);
    if (std::string(text) == "-0") return "+0";
    return text;
}

// A's Elo over B from the mean score p, and half the width of its 95%
// interval: p +- 1.96 standard errors of the mean of the per-game scores,
// each end mapped through the logistic model.
std::string EloText(const std::vector<double>& scores) {
    const double n = double(scores.size());
    double sum = 0;
    for (double x : scores) sum += x;
    const double p = sum / n;
    double squares = 0;
    for (double x : scores) squares += (x - p) * (x - p);
    const double error = 1.96 * std::sqrt(squares / n) / std::sqrt(n);
    const auto elo = [](double q) -> double {
        if (q <= 0) return -INFINITY;
        if (q >= 1) return INFINITY;
        return Elo(q);
    };
    const double low = elo(p - error), high = elo(p + error);
    const std::string margin =
        std::isinf(low) || std::isinf(high) ? "inf" : Signed((high - low) / 2).substr(1);
    return "elo " + Signed(elo(p)) + " +/- " + margin + " (95%)";
}

std::string ScoreText(double score) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", score);
    return text;
}

void ParseOptions(Args& args, MatchOptions& options, bool& seeded) {
    if (const auto text = TakeOption(args, "--games"))
        options.games = RequireRange(*text, "--games", 1, kMaxGames);
    if (const auto text = TakeOption(args, "--ms"))
        options.ms = RequireRange(*text, "--ms", 1, kMaxMs);
    if (const auto text = TakeOption(args, "--openings"))
        options.openings = RequireRange(*text, "--openings", 0, kMaxOpeningPlies);
    seeded = false;
    if (const auto text = TakeOption(args, "--seed")) {
        options.seed = uint32_t(RequireRange(*text, "--seed", 0, INT32_MAX));
        seeded = true;
    }
    RequireArgCount(args, 2, kMatchUsage);
}

}  // namespace

int MatchCommand(Args& args) {
    MatchOptions options;
    bool seeded = false;
    ParseOptions(args, options, seeded);
    Side a, b;
    a.name = args[0];
    b.name = args[1];
    a.params = LoadOpponent(a.name);
    b.params = LoadOpponent(b.name);
    if (!seeded) options.seed = uint32_t(std::random_device{}() & 0x7fffffff);

    SeedRandom(options.seed);  // the search's tie-break
    std::mt19937 random(options.seed);
    std::printf("%s vs %s: %d games, %d ms CPU time a move, %d opening plies, seed %u\n",
                a.name.c_str(), b.name.c_str(), options.games, options.ms, options.openings,
                options.seed);
    std::vector<double> scores;  // A's score per game
    double scoreA = 0, scoreB = 0;
    int32_t draws = 0;
    std::vector<int32_t> opening;
    for (int32_t game = 0; game < options.games; ++game) {
        // Each pair of games shares its opening, with the colours swapped.
        const bool aWhite = game % 2 == 0;
        if (aWhite) opening = RandomOpening(options.openings, random);
        Side* sides[4] = {nullptr, nullptr, aWhite ? &a : &b, aWhite ? &b : &a};
        const GameRecord record = PlayGame(sides, opening, options.ms);
        const char* text = "1/2-1/2 (no capture and no man's move for 60 plies)";
        double x = 0.5;
        if (record.result == Result::Draw) {
            ++draws;
        } else {
            const bool whiteWon = record.result == Result::BottomWins;
            text = whiteWon ? "1-0 (black cannot move)" : "0-1 (white cannot move)";
            x = whiteWon == aWhite ? 1.0 : 0.0;
        }
        scores.push_back(x);
        scoreA += x;
        scoreB += 1.0 - x;
        std::printf("game %d white %s black %s: %s after %d plies\n", game + 1,
                    sides[Bottom]->name.c_str(), sides[Top]->name.c_str(), text, record.plies);
        std::fflush(stdout);
    }
    std::printf("%s %s %s %s draws %d %s\n", a.name.c_str(), ScoreText(scoreA).c_str(),
                b.name.c_str(), ScoreText(scoreB).c_str(), draws, EloText(scores).c_str());
    return 0;
}
