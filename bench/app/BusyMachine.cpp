// How long the window's thread is kept from its event loop on a busy machine:
// the real game object, headless, is driven through new games, player moves
// and computer replies while N ordinary busy processes (started and stopped
// here) keep the cores occupied. Every event the loop delivers is timed; a
// normal-priority thread posts probe events to time the queue itself.
//
// Run as root, it starts itself again as the ordinary user pelvanta-bench
// (created when missing), since only a player's limits show the problem: an
// ordinary user cannot raise an idle-class thread back to normal priority.
//
// Games start from two positions: the opening, and one where the player has
// 56 king moves, so that every new game ponders fifty moves while the last
// game's fifty abandoned searches may still be waiting to run. Each load and
// position has a game object of its own, which first starts the game anew ten
// times in a row, every worker still busy: the workers beyond the first fifty
// are made then, mid-game.
//
//   bench_busy_machine [--games G] [--moves M] [--loads 0,1,2] [--stay-root]
//
// Ends with one line per load and position:
//   busy N user NAME position P block_ms_max X event_ms_max Y event_ms_p99 Z reply_ms_max W
//   restart_ms_max R

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/PiecePictures.h"
#include "engine/EngineParams.h"
#include "platform/ImageControl.h"
#include "platform/MainWindow.h"
#include "platform/Os.h"
#include "rules/Hparty.h"
#include "rules/Notation.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

constexpr char kUser[] = "pelvanta-bench";
constexpr char kDroppedFlag[] = "--dropped";
constexpr char kSpinFlag[] = "--spin";

struct StartPosition {
    const char* name;
    const char* fen;
};
const StartPosition kPositions[] = {
    {"opening", "start"},
    {"kings", "W:WKb6,Kh6,Kg3,Ka3,Kg1,Kd2,Ka1,Kf6,Kd6:Bh8,a7"},
};

// ---------------------------------------------------------------- the ordinary user

std::string SelfPath() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return {};
    path[n] = '\0';
    return path;
}

// As root: start this program again as kUser (made once, with no home and no
// login), handing on the arguments. Returns only when that is impossible.
void BecomeOrdinaryUser(int argc, char** argv) {
    if (getpwnam(kUser) == nullptr) {
        const std::string add =
            std::string("useradd -M -r -s /usr/sbin/nologin ") + kUser + " >/dev/null 2>&1";
        if (std::system(add.c_str()) != 0 || getpwnam(kUser) == nullptr) {
            std::fprintf(stderr, "cannot create user %s; measuring as root\n", kUser);
            return;
        }
    }
    const std::string self = SelfPath();
    std::vector<std::string> args = {"runuser", "-u", kUser, "--", self};
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    args.emplace_back(kDroppedFlag);
    std::vector<char*> raw;
    for (std::string& a : args) raw.push_back(a.data());
    raw.push_back(nullptr);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::fflush(stdout);
    execvp("runuser", raw.data());
    std::fprintf(stderr, "runuser failed (%s); measuring as root\n", std::strerror(errno));
}

std::string UserName() {
    const passwd* pw = getpwuid(geteuid());
    return pw != nullptr ? pw->pw_name : std::to_string(geteuid());
}

// ---------------------------------------------------------------- the load

// Busy processes of normal priority: this program again, spinning until
// killed. A spawned program shares no memory with this one, as a compile or
// a video call would not.
class Load {
public:
    explicit Load(int n) {
        const std::string self = SelfPath();
        for (int i = 0; i < n; ++i) {
            std::string program = self, flag = kSpinFlag;
            char* args[] = {program.data(), flag.data(), nullptr};
            pid_t pid = 0;
            if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, args, environ) == 0)
                pids_.push_back(pid);
        }
    }
    ~Load() {
        for (pid_t pid : pids_) kill(pid, SIGKILL);
        for (pid_t pid : pids_) waitpid(pid, nullptr, 0);
    }
    Load(const Load&) = delete;
    Load& operator=(const Load&) = delete;

private:
    std::vector<pid_t> pids_;
};

// The busy process's body; it dies with the program that started it.
[[noreturn]] void Spin() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    volatile uint64_t x = 0;
    for (;;) x = x + 1;
}

// ---------------------------------------------------------------- measuring

struct Samples {
    std::vector<double> ms;
    void Add(double v) { ms.push_back(v); }
    double At(double q) const {
        if (ms.empty()) return 0;
        std::vector<double> s = ms;
        std::sort(s.begin(), s.end());
        return s[std::min(s.size() - 1, size_t(q * double(s.size())))];
    }
    double Max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

// Every event delivered at the outer level of the loop is timed, so the
// longest one in a stretch is the longest time the window could not answer.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (depth_ > 0) return QApplication::notify(receiver, event);
        ++depth_;
        const Clock::time_point start = Clock::now();
        const bool result = QApplication::notify(receiver, event);
        const double ms = Ms(Clock::now() - start);
        --depth_;
        if (ms > stretchMax) stretchMax = ms;
        lastEventMs = ms;
        if (ms > allMax) allMax = ms;
        if (afterEvent) afterEvent();
        return result;
    }

    double stretchMax = 0;   // longest event since the stretch began
    double lastEventMs = 0;  // the event just delivered
    double allMax = 0;
    std::function<void()> afterEvent;

private:
    int depth_ = 0;
};

const QEvent::Type kProbe = QEvent::Type(QEvent::registerEventType());

struct ProbeEvent : QEvent {
    explicit ProbeEvent(Clock::time_point sent) : QEvent(kProbe), sent(sent) {}
    Clock::time_point sent;
};

// The game's stand-in main window: it relays the game's messages as the real
// window does and takes the probes.
class Host : public QWidget {
public:
    Host() : board(this), party(this, &board) {
        board.SetCanvasSize(QSize(384, 384));
        const qreal ratio = board.CanvasRatio();
        bm = PaintPiece(Bottom, false, ratio);
        tm = PaintPiece(Top, false, ratio);
        bk = PaintPiece(Bottom, true, ratio);
        tk = PaintPiece(Top, true, ratio);
        cell = PaintEmptySquare(ratio);
        party.bottomManPicture = &bm;
        party.topManPicture = &tm;
        party.bottomKingPicture = &bk;
        party.topKingPicture = &tk;
        party.cellPicture = &cell;
        party.movesList = &line;
        party.ClearBoard();
        AttachMainWindowMessages(this);
        show();
    }
    ~Host() override { DetachMainWindowMessages(); }

    ImageControl board;
    QLineEdit line;
    QPixmap bm, tm, bk, tk, cell;
    HParty party;
    bool gameOver = false;
    Samples probes;
    Clock::time_point worstProbeSent;

protected:
    bool event(QEvent* e) override {
        if (e->type() == kProbe) {
            const Clock::time_point sent = static_cast<ProbeEvent*>(e)->sent;
            const double ms = Ms(Clock::now() - sent);
            if (probes.ms.empty() || ms > probes.Max()) worstProbeSent = sent;
            probes.Add(ms);
            return true;
        }
        if (!IsAppMessage(e->type())) return QWidget::event(e);
        if (e->type() == QEvent::Type(kMsgWorkerReady)) {
            party.OnWorkerReady();
        } else {
            gameOver = true;
        }
        return true;
    }
};

int MoveCount(const QLineEdit& line) {
    return int(line.text().count(" > "));
}

struct Result {
    int busy = 0;
    const char* position = "";
    int games = 0;
    int moves = 0;
    Samples restarts, newGame, playerMove, takeResult, reply, other;
    Samples events;
    double blockMax = 0;
    double worstEventAtS = 0;  // when the slowest probe was posted, from the session's start
};

// Plays games against the computer: new game, then player moves chosen at
// random after a short think, each answered by the computer; every other
// game is abandoned while the computer thinks, the rest during pondering.
class Session {
public:
    Session(TimedApplication& app, Host& host, const Position& start, int games, int moves,
            uint32_t seed)
        : app_(app),
          host_(host),
          party_(host.party),
          start_(start),
          games_(games),
          moves_(moves),
          rng_(seed) {}

    Result Run(int busy, const char* position) {
        result_.busy = busy;
        result_.position = position;
        app_.afterEvent = [this] { AfterEvent(); };
        std::atomic<bool> stop{false};
        std::thread poster([&] {
            while (!stop.load()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                QCoreApplication::postEvent(&host_, new ProbeEvent(Clock::now()));
            }
        });
        const Clock::time_point sessionStart = Clock::now();
        QTimer::singleShot(100, [this] { Restart(kRestarts); });
        QApplication::exec();
        stop.store(true);
        poster.join();
        // Probes still queued would be counted in the next load, late by the pause between.
        QCoreApplication::removePostedEvents(&host_, kProbe);
        app_.afterEvent = nullptr;
        party_.Halt();
        result_.events = host_.probes;
        result_.worstEventAtS =
            std::chrono::duration<double>(host_.worstProbeSent - sessionStart).count();
        host_.probes = {};
        return result_;
    }

private:
    enum class Phase { Idle, NewGame, PlayerMove, Computer, Answer };

    static constexpr int kRestarts = 10;

    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    // What NewGame does, from the chosen position; returns the time it took.
    double StartGame() {
        const Clock::time_point start = Clock::now();
        party_.Halt();
        host_.line.clear();
        party_.duel = 0;
        party_.board = start_.board;
        party_.sideToMove = start_.sideToMove;
        party_.Redraw();
        party_.NextTurn();
        return Ms(Clock::now() - start);
    }

    // New games one after another, each as soon as the last has started.
    void Restart(int left) {
        if (left == 0) return NewGame();
        result_.restarts.Add(StartGame());
        QTimer::singleShot(0, [this, left] { Restart(left - 1); });
    }

    void NewGame() {
        if (result_.games == games_) {
            QCoreApplication::exit(0);
            return;
        }
        ++result_.games;
        movesThisGame_ = 0;
        host_.gameOver = false;
        app_.stretchMax = 0;
        result_.newGame.Add(StartGame());
        phase_ = Phase::Idle;
        QTimer::singleShot(Between(250, 600), [this] { PlayerMove(); });
    }

    void PlayerMove() {
        if (host_.gameOver || party_.sideToMove != Bottom || party_.moves.Count() == 0) {
            QTimer::singleShot(50, [this] { NewGame(); });
            return;
        }
        const HMove move = party_.moves.Move(Between(0, party_.moves.Count() - 1));
        ++result_.moves;
        ++movesThisGame_;
        phase_ = Phase::PlayerMove;
        app_.stretchMax = 0;
        countBefore_ = MoveCount(host_.line);
        for (int32_t i = 0; i < move.stepCount; ++i) {
            const QPoint at = HParty::SquareTopLeft(move.steps[i].pos) + QPoint(24, 24);
            party_.OnBoardMouseDown(Qt::LeftButton, at.x(), at.y());
        }
        // This event itself counts once it returns (AfterEvent).
    }

    void AfterEvent() {
        switch (phase_) {
            case Phase::PlayerMove:
                if (host_.gameOver) return Finish();
                if (party_.sideToMove == Top && party_.thinkTimer.Enabled()) {
                    result_.playerMove.Add(app_.stretchMax);
                    phase_ = Phase::Computer;
                    turnStart_ = Clock::now();
                    app_.stretchMax = 0;
                    if (movesThisGame_ == moves_ && result_.games % 2 == 0) {
                        // Abandoned while the computer thinks.
                        phase_ = Phase::Idle;
                        QTimer::singleShot(Between(50, 400), [this] { NewGame(); });
                    }
                }
                return;
            case Phase::Computer:
                if (MoveCount(host_.line) > countBefore_ + 1) {
                    result_.reply.Add(Ms(Clock::now() - turnStart_));
                    result_.takeResult.Add(app_.lastEventMs);
                    phase_ = Phase::Answer;
                    app_.stretchMax = 0;
                }
                return;
            case Phase::Answer:
                if (host_.gameOver) return Finish();
                if (party_.sideToMove == Bottom && !party_.animTimer.Enabled()) {
                    result_.other.Add(app_.stretchMax);
                    phase_ = Phase::Idle;
                    if (movesThisGame_ >= moves_) {
                        QTimer::singleShot(Between(250, 600), [this] { NewGame(); });
                    } else {
                        QTimer::singleShot(Between(250, 600), [this] { PlayerMove(); });
                    }
                }
                return;
            default:
                return;
        }
    }

    void Finish() {
        phase_ = Phase::Idle;
        QTimer::singleShot(100, [this] { NewGame(); });
    }

    TimedApplication& app_;
    Host& host_;
    HParty& party_;
    const Position& start_;
    int games_;
    int moves_;
    std::mt19937 rng_;
    Result result_;
    Phase phase_ = Phase::Idle;
    int movesThisGame_ = 0;
    int countBefore_ = 0;
    Clock::time_point turnStart_;
};

double PeakMemoryMiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            double kb = 0;
            status >> kb;
            return kb / 1024.0;
        }
        status.ignore(INT_MAX, '\n');
    }
    return 0;
}

void PrintRow(const char* name, const Samples& s) {
    std::printf("  %-26s %5zu %9.1f %9.1f %9.1f\n", name, s.ms.size(), s.At(0.5), s.At(0.9),
                s.Max());
}

void PrintResult(const Result& r) {
    std::printf("\nbusy %d, position %s (%d games, %d player moves), times in ms:\n", r.busy,
                r.position, r.games, r.moves);
    std::printf("  %-26s %5s %9s %9s %9s\n", "", "n", "median", "p90", "max");
    PrintRow("new game at once: block", r.restarts);
    PrintRow("new game: block", r.newGame);
    PrintRow("player move: longest block", r.playerMove);
    PrintRow("TakeResult: block", r.takeResult);
    PrintRow("answer shown: longest block", r.other);
    PrintRow("computer's reply after", r.reply);
    PrintRow("posted event latency", r.events);
    std::printf(
        "  posted event p99 %.1f (slowest posted %.1f s in), longest event of all %.1f, "
        "peak memory %.0f MiB\n",
        r.events.At(0.99), r.worstEventAtS, r.blockMax, PeakMemoryMiB());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], kSpinFlag) == 0) Spin();
    bool dropped = false, stayRoot = false;
    int games = 6, moves = 4;
    std::vector<int> loads = {0, 1, 2};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == kDroppedFlag) {
            dropped = true;
        } else if (a == "--stay-root") {
            stayRoot = true;
        } else if (a == "--games" && i + 1 < argc) {
            games = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--moves" && i + 1 < argc) {
            moves = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--loads" && i + 1 < argc) {
            loads.clear();
            for (const char* p = argv[++i]; *p != '\0'; ++p)
                if (*p >= '0' && *p <= '9') loads.push_back(*p - '0');
        } else {
            std::fprintf(stderr,
                         "usage: bench_busy_machine [--games G] [--moves M] [--loads 0,1,2] "
                         "[--stay-root]\n");
            return 2;
        }
    }
    if (geteuid() == 0 && !dropped && !stayRoot) BecomeOrdinaryUser(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    TimedApplication app(argc, argv);
    SeedRandom(1);
    engineParams = EngineParams{25, 5, 7, 1, 3};
    const std::string user = UserName();
    std::printf("user %s, %u cores, %d games of up to %d player moves per load\n", user.c_str(),
                std::thread::hardware_concurrency(), games, moves);

    std::vector<Result> results;
    for (int busy : loads) {
        for (const StartPosition& start : kPositions) {
            std::string error;
            const Position position = *ParseFen(start.fen, error);
            Result r;
            {
                Host host;  // its first fifty workers ready, the rest made when needed
                Load load(busy);
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                app.allMax = 0;
                Session session(app, host, position, games, moves, 1234u + uint32_t(busy));
                r = session.Run(busy, start.name);
                r.blockMax = app.allMax;
            }
            PrintResult(r);
            results.push_back(r);
        }
    }
    std::printf("\n");
    for (const Result& r : results)
        std::printf(
            "busy %d user %s position %s block_ms_max %.1f event_ms_max %.1f event_ms_p99 %.1f "
            "reply_ms_max %.1f restart_ms_max %.1f\n",
            r.busy, user.c_str(), r.position, r.blockMax, r.events.Max(), r.events.At(0.99),
            r.reply.Max(), r.restarts.Max());
    return 0;
}
