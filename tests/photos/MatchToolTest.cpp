// `pelvanta-engine match` from outside: two archives' opponents play a
// series. The opponents here are depth-limited and given far more time than
// their depth needs, so every search completes and a seed fixes the games.
#include <gtest/gtest.h>
#ifdef _WIN32
// _pclose returns the program's exit status itself.
#define WIFEXITED(status) ((status) != -1)
#define WEXITSTATUS(status) (status)
#else
#include <sys/wait.h>
#endif

#include <array>
#include <cstdio>
#include <sstream>

#include "tests/photos/Fixtures.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string out;  // stdout
    std::string all;  // stdout and stderr
};

ToolRun Engine(const std::string& arguments, bool withErrors) {
    const std::string command = std::string(PELVANTA_ENGINE_TOOL) + " " + arguments +
                                (withErrors ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = popen(command.c_str(), "r");
    ToolRun run;
    if (!pipe) return run;
    std::array<char, 512> buffer;
    while (fgets(buffer.data(), int(buffer.size()), pipe)) run.out += buffer.data();
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.all = run.out;
    return run;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// What a match printed, read back line by line.
struct MatchReport {
    int32_t games = 0;
    double aFromGames = 0;  // A's score, summed from the per-game lines
    int32_t drawsFromGames = 0;
    std::vector<std::string> whites;
    double scoreA = -1, scoreB = -1;
    int32_t draws = -1;
    std::string elo, margin;
};

MatchReport ReadReport(const std::string& out, const std::string& a, const std::string& b) {
    MatchReport report;
    for (const std::string& line : SplitLines(out)) {
        char white[256], black[256], result[16], first[256], second[256], elo[32], margin[32];
        int number = 0, draws = 0;
        double scoreA = 0, scoreB = 0;
        if (std::sscanf(line.c_str(), "game %d white %255s black %255s %15s", &number, white, black,
                        result) == 4) {
            ++report.games;
            EXPECT_EQ(number, report.games) << line;
            std::string blackName = black;
            EXPECT_EQ(blackName.back(), ':') << line;
            if (blackName.back() == ':') blackName.pop_back();
            const std::string whiteName = white, outcome = result;
            report.whites.push_back(whiteName);
            EXPECT_TRUE((whiteName == a && blackName == b) || (whiteName == b && blackName == a))
                << line;
            EXPECT_NE(line.find(" plies"), std::string::npos) << line;
            if (outcome == "1/2-1/2") {
                ++report.drawsFromGames;
                report.aFromGames += 0.5;
            } else if (outcome == "1-0" || outcome == "0-1") {
                if ((outcome == "1-0") == (whiteName == a)) report.aFromGames += 1;
            } else {
                ADD_FAILURE() << line;
            }
        } else if (std::sscanf(line.c_str(), "%255s %lf %255s %lf draws %d elo %31s +/- %31s",
                               first, &scoreA, second, &scoreB, &draws, elo, margin) == 7) {
            EXPECT_EQ(first, a);
            EXPECT_EQ(second, b);
            report.scoreA = scoreA;
            report.scoreB = scoreB;
            report.draws = draws;
            report.elo = elo;
            report.margin = margin;
        }
    }
    return report;
}

class MatchTool : public ::testing::Test {
protected:
    // An opponent's archive in the test folder.
    std::string Opponent(const std::string& name, const EngineParams& params) {
        const std::vector<uint8_t> photo = TestJpeg(58, 86, 5);
        dir.Write(name, PlainArchive(params, TestJpeg(137, 137, 4), {photo, photo}));
        return dir.File(name);
    }

    TempDir dir;
};

// Generous: the depth limits here end every search long before this.
const std::string kPlenty = " --ms 600000";

TEST_F(MatchTool, AnOpponentAgainstItselfIsEvenAndTheSummaryAddsUp) {
    const std::string a = Opponent("a.p_g", {3, 2, 1, 1, 3});
    const std::string b = Opponent("b.p_g", {3, 2, 1, 1, 3});
    const ToolRun run =
        Engine("match " + a + " " + b + " --games 60 --openings 4 --seed 11" + kPlenty, false);
    ASSERT_EQ(run.status, 0) << run.all;
    const MatchReport r = ReadReport(run.out, a, b);
    ASSERT_EQ(r.games, 60) << run.out;
    EXPECT_EQ(r.scoreA + r.scoreB, 60.0);
    EXPECT_EQ(r.scoreA, r.aFromGames);
    EXPECT_EQ(r.draws, r.drawsFromGames);
    // colours alternate, A first
    for (int32_t i = 0; i < r.games; ++i) EXPECT_EQ(r.whites[size_t(i)], i % 2 == 0 ? a : b);
    // even: no difference beyond the margin
    ASSERT_NE(r.margin, "inf") << run.out;
    EXPECT_LE(std::abs(std::stod(r.elo)), std::stod(r.margin)) << run.out;
    // and the sides really did play different games: not every game drawn
    EXPECT_LT(r.draws, 60);
}

TEST_F(MatchTool, AMaterialBlindDepthOneLosesEveryGameToDepthFive) {
    const std::string blind = Opponent("blind.p_g", {1, 0, 0, 0, 0});
    const std::string five = Opponent("five.p_g", {5, 2, 1, 1, 3});
    const ToolRun run =
        Engine("match " + blind + " " + five + " --games 10 --seed 3" + kPlenty, false);
    ASSERT_EQ(run.status, 0) << run.all;
    const MatchReport r = ReadReport(run.out, blind, five);
    ASSERT_EQ(r.games, 10) << run.out;
    EXPECT_EQ(r.scoreA, 0.0) << run.out;
    EXPECT_EQ(r.scoreB, 10.0);
    EXPECT_EQ(r.draws, 0);
    EXPECT_EQ(r.aFromGames, 0.0);
    EXPECT_EQ(r.elo, "-inf");
}

TEST_F(MatchTool, TheSameSeedPlaysTheSameGames) {
    const std::string a = Opponent("a.p_g", {3, 2, 1, 1, 3});
    const std::string b = Opponent("b.p_g", {1, 2, 1, 1, 3});
    const std::string args = "match " + a + " " + b + " --games 6 --openings 6 --seed 99" + kPlenty;
    const ToolRun first = Engine(args, false), second = Engine(args, false);
    ASSERT_EQ(first.status, 0) << first.all;
    EXPECT_EQ(first.out, second.out);
    const MatchReport r = ReadReport(first.out, a, b);
    EXPECT_EQ(r.games, 6);
    EXPECT_EQ(r.scoreA + r.scoreB, 6.0);
}

TEST_F(MatchTool, SearchesBoundOnlyByTimeAreStoppedAndTheGamesEnd) {
    // Depth 99 never ends by itself: every move is stopped by the clock. Who
    // wins depends on the machine; that the series ends and adds up does not.
    const std::string a = Opponent("a.p_g", {99, 2, 1, 1, 3});
    const std::string b = Opponent("b.p_g", {99, 2, 1, 1, 3});
    const ToolRun run = Engine("match " + a + " " + b + " --games 2 --ms 2", false);
    ASSERT_EQ(run.status, 0) << run.all;
    const MatchReport r = ReadReport(run.out, a, b);
    EXPECT_EQ(r.games, 2) << run.out;
    EXPECT_EQ(r.scoreA + r.scoreB, 2.0) << run.out;
    EXPECT_EQ(r.scoreA, r.aFromGames);
}

TEST_F(MatchTool, BadFilesAndOptionsAreRefusedOnOneLine) {
    const std::string good = Opponent("good.p_g", {1, 2, 1, 1, 3});
    dir.Write("junk.p_g", std::vector<uint8_t>(400, 'x'));
    std::vector<uint8_t> cut = PlainArchive({1, 2, 1, 1, 3}, TestJpeg(137, 137, 4),
                                            {TestJpeg(58, 86, 5), TestJpeg(58, 86, 6)});
    cut.resize(cut.size() / 2);
    dir.Write("cut.p_g", cut);
    const std::string g = good + " " + good;
    for (const std::string& arguments : {
             "match " + good,
             std::string("match"),
             "match " + g + " " + good,
             "match " + good + " " + dir.File("missing.p_g"),
             "match " + dir.File("junk.p_g") + " " + good,
             "match " + good + " " + dir.File("cut.p_g"),
             "match " + good + " " + dir.Path().string(),
             "match " + g + " --games 0",
             "match " + g + " --games x",
             "match " + g + " --games",
             "match " + g + " --ms 0",
             "match " + g + " --ms -5",
             "match " + g + " --openings 41",
             "match " + g + " --seed abc",
             "match " + g + " --depth 3",
         }) {
        const ToolRun run = Engine(arguments, true);
        EXPECT_EQ(run.status, 2) << arguments << "\n" << run.all;
        EXPECT_EQ(SplitLines(run.all).size(), 1u) << arguments << "\n" << run.all;
    }
}

}  // namespace
