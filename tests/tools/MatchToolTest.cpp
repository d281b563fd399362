// `pelvanta-engine match` from outside: two archives' opponents play a
// series. The opponents here are depth-limited and given far more time than
// their depth needs, so every search completes and a seed fixes the games.
// The archives are named by full paths with Cyrillic and spaces in them.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "tests/photos/Fixtures.h"

namespace {

ToolRun Engine(const std::string& arguments, bool withErrors) {
    return RunTool(PELVANTA_ENGINE_TOOL, arguments, withErrors);
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

// The names are the archives' paths, spaces and all, so they are matched
// whole rather than read as words.
MatchReport ReadReport(const std::string& out, const std::string& a, const std::string& b) {
    MatchReport report;
    for (const std::string& line : SplitLines(out)) {
        char result[16], elo[32], margin[32];
        int number = 0, draws = 0;
        double scoreA = 0, scoreB = 0;
        const size_t aWhite = line.find(" white " + a + " black " + b + ": ");
        const size_t bWhite = line.find(" white " + b + " black " + a + ": ");
        const size_t players = std::min(aWhite, bWhite);
        const size_t secondName = line.find(" " + b + " ", a.size());
        if (std::sscanf(line.c_str(), "game %d", &number) == 1 && players != std::string::npos &&
            std::sscanf(line.c_str() + line.find(": ", players) + 2, "%15s", result) == 1) {
            ++report.games;
            EXPECT_EQ(number, report.games) << line;
            const std::string whiteName = aWhite < bWhite ? a : b, outcome = result;
            report.whites.push_back(whiteName);
            EXPECT_NE(line.find(" plies"), std::string::npos) << line;
            if (outcome == "1/2-1/2") {
                ++report.drawsFromGames;
                report.aFromGames += 0.5;
            } else if (outcome == "1-0" || outcome == "0-1") {
                if ((outcome == "1-0") == (whiteName == a)) report.aFromGames += 1;
            } else {
                ADD_FAILURE() << line;
            }
        } else if (line.rfind(a + " ", 0) == 0 && secondName != std::string::npos &&
                   std::sscanf(line.c_str() + a.size(), "%lf", &scoreA) == 1 &&
                   std::sscanf(line.c_str() + secondName + b.size() + 2,
                               "%lf draws %d elo %31s +/- %31s", &scoreB, &draws, elo,
                               margin) == 4) {
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
    const ToolRun run = Engine(
        "match " + Quote(a) + " " + Quote(b) + " --games 60 --openings 4 --seed 11" + kPlenty,
        false);
    ASSERT_EQ(run.status, 0) << run.output;
    const MatchReport r = ReadReport(run.output, a, b);
    ASSERT_EQ(r.games, 60) << run.output;
    EXPECT_EQ(r.scoreA + r.scoreB, 60.0);
    EXPECT_EQ(r.scoreA, r.aFromGames);
    EXPECT_EQ(r.draws, r.drawsFromGames);
    // colours alternate, A first
    for (int32_t i = 0; i < r.games; ++i) EXPECT_EQ(r.whites[size_t(i)], i % 2 == 0 ? a : b);
    // even: no difference beyond the margin
    ASSERT_NE(r.margin, "inf") << run.output;
    EXPECT_LE(std::abs(std::stod(r.elo)), std::stod(r.margin)) << run.output;
    // and the sides really did play different games: not every game drawn
    EXPECT_LT(r.draws, 60);
}

TEST_F(MatchTool, AMaterialBlindDepthOneLosesEveryGameToDepthFive) {
    const std::string blind = Opponent("blind.p_g", {1, 0, 0, 0, 0});
    const std::string five = Opponent("five.p_g", {5, 2, 1, 1, 3});
    const ToolRun run = Engine(
        "match " + Quote(blind) + " " + Quote(five) + " --games 10 --seed 3" + kPlenty, false);
    ASSERT_EQ(run.status, 0) << run.output;
    const MatchReport r = ReadReport(run.output, blind, five);
    ASSERT_EQ(r.games, 10) << run.output;
    EXPECT_EQ(r.scoreA, 0.0) << run.output;
    EXPECT_EQ(r.scoreB, 10.0);
    EXPECT_EQ(r.draws, 0);
    EXPECT_EQ(r.aFromGames, 0.0);
    EXPECT_EQ(r.elo, "-inf");
}

TEST_F(MatchTool, TheSameSeedPlaysTheSameGames) {
    const std::string a = Opponent("a.p_g", {3, 2, 1, 1, 3});
    const std::string b = Opponent("b.p_g", {1, 2, 1, 1, 3});
    const std::string args =
        "match " + Quote(a) + " " + Quote(b) + " --games 6 --openings 6 --seed 99" + kPlenty;
    const ToolRun first = Engine(args, false), second = Engine(args, false);
    ASSERT_EQ(first.status, 0) << first.output;
    EXPECT_EQ(first.output, second.output);
    const MatchReport r = ReadReport(first.output, a, b);
    EXPECT_EQ(r.games, 6);
    EXPECT_EQ(r.scoreA + r.scoreB, 6.0);
}

TEST_F(MatchTool, SearchesBoundOnlyByTimeAreStoppedAndTheGamesEnd) {
    // Depth 99 never ends by itself: every move is stopped by the clock. Who
    // wins depends on the machine; that the series ends and adds up does not.
    const std::string a = Opponent("a.p_g", {99, 2, 1, 1, 3});
    const std::string b = Opponent("b.p_g", {99, 2, 1, 1, 3});
    const ToolRun run = Engine("match " + Quote(a) + " " + Quote(b) + " --games 2 --ms 2", false);
    ASSERT_EQ(run.status, 0) << run.output;
    const MatchReport r = ReadReport(run.output, a, b);
    EXPECT_EQ(r.games, 2) << run.output;
    EXPECT_EQ(r.scoreA + r.scoreB, 2.0) << run.output;
    EXPECT_EQ(r.scoreA, r.aFromGames);
}

TEST_F(MatchTool, BadFilesAndOptionsAreRefusedOnOneLine) {
    const std::string good = Opponent("good.p_g", {1, 2, 1, 1, 3});
    dir.Write("junk.p_g", std::vector<uint8_t>(400, 'x'));
    std::vector<uint8_t> cut = PlainArchive({1, 2, 1, 1, 3}, TestJpeg(137, 137, 4),
                                            {TestJpeg(58, 86, 5), TestJpeg(58, 86, 6)});
    cut.resize(cut.size() / 2);
    dir.Write("cut.p_g", cut);
    const std::string one = Quote(good), g = one + " " + one;
    for (const std::string& arguments : {
             "match " + one,
             std::string("match"),
             "match " + g + " " + one,
             "match " + one + " " + Quote(dir.File("missing.p_g")),
             "match " + Quote(dir.File("junk.p_g")) + " " + one,
             "match " + one + " " + Quote(dir.File("cut.p_g")),
             "match " + one + " " + Quote(dir.Name()),
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
        EXPECT_EQ(run.status, 2) << arguments << "\n" << run.output;
        EXPECT_EQ(SplitLines(run.output).size(), 1u) << arguments << "\n" << run.output;
    }
}

}  // namespace
