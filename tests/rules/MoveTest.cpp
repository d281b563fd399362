#include <gtest/gtest.h>

#include "rules/Hmove.h"

namespace {

// Weights with distinct prime-ish values so every term shows in a sum.
const EngineParams kWeights{25, 5, 7, 1, 3};

HFigura Man(uint8_t side, int x, int y) {
    return HFigura(side, 0, Point{x, y});
}
HFigura King(uint8_t side, int x, int y) {
    return HFigura(side, 1, Point{x, y});
}

TEST(Move, CrowningScoresPromotionAndFirstKingOnce) {
    for (const int kingsBefore : {0, 2}) {
        HMove move;
        int32_t kings = kingsBefore;
        HFigura start = Man(Bottom, 3, 7);
        move.AddStep(start, kings, kWeights);
        HFigura landing = Man(Bottom, 4, 8);
        move.AddStep(landing, kings, kWeights);
        EXPECT_EQ(landing.king, 1) << "the caller's record is crowned too";
        EXPECT_EQ(move.steps[1].king, 1);
        EXPECT_EQ(kings, kingsBefore + 1);
        EXPECT_EQ(move.score, kingsBefore == 0 ? 5 + 7 : 5);
        move.UndoStep(kings, kWeights);
        EXPECT_EQ(move.score, 0);
        EXPECT_EQ(kings, kingsBefore);
        move.UndoStep(kings, kWeights);  // dropping the start entry never scores
        EXPECT_EQ(move.score, 0);
        EXPECT_EQ(move.stepCount, 0);
    }
}

TEST(Move, TopCrownsOnRowOneAndKingsNeverCrownAgain) {
    HMove move;
    int32_t kings = 0;
    HFigura top = Man(Top, 2, 1);
    move.AddStep(top, kings, kWeights);
    EXPECT_EQ(top.king, 1);
    HMove other;
    int32_t bottomKings = 0;
    HFigura king = King(Bottom, 5, 8);
    other.AddStep(king, bottomKings, kWeights);
    HFigura king2 = King(Bottom, 7, 6);
    other.AddStep(king2, bottomKings, kWeights);
    EXPECT_EQ(other.score, 0);
    EXPECT_EQ(bottomKings, 0);
}

TEST(Move, CapturesScoreMenKingsAndTheLastKing) {
    HMove move;
    int32_t topKings = 2;
    move.AddCapture(Man(Top, 4, 4), topKings, kWeights);
    EXPECT_EQ(move.score, 1);
    move.AddCapture(King(Top, 6, 6), topKings, kWeights);
    EXPECT_EQ(move.score, 1 + 3);  // one king is left
    move.AddCapture(King(Top, 3, 7), topKings, kWeights);
    EXPECT_EQ(move.score, 1 + 3 + 3 + 7);  // the last king
    EXPECT_EQ(topKings, 0);
    move.UndoCapture(topKings, kWeights);
    EXPECT_EQ(move.score, 4);
    EXPECT_EQ(topKings, 1);
    move.UndoCapture(topKings, kWeights);
    move.UndoCapture(topKings, kWeights);
    EXPECT_EQ(move.score, 0);
    EXPECT_EQ(topKings, 2);
    EXPECT_EQ(move.capturedCount, 0);
}

TEST(Move, StartupWeightsScoreNothing) {
    const EngineParams startup;
    EXPECT_EQ(startup, (EngineParams{25, 0, 0, 0, 0}));
    EXPECT_EQ(kNewOpponentParams, (EngineParams{99, 5, 7, 1, 3}));
    HMove move;
    int32_t kings = 0, opponentKings = 1;
    HFigura start = Man(Bottom, 2, 6);
    move.AddStep(start, kings, startup);
    move.AddCapture(King(Top, 3, 7), opponentKings, startup);
    HFigura landing = Man(Bottom, 4, 8);
    move.AddStep(landing, kings, startup);
    EXPECT_EQ(move.score, 0);
    EXPECT_EQ(kings, 1);
}

TEST(Move, TextForms) {
    HMove quiet;
    int32_t kings = 1;
    HFigura a = King(Bottom, 8, 2), b = King(Bottom, 2, 8);
    quiet.AddStep(a, kings);
    quiet.AddStep(b, kings);
    EXPECT_EQ(quiet.Text(), " > h2-b8");

    HMove capture;
    int32_t opp = 0;
    HFigura c3 = Man(Bottom, 3, 3), e5 = Man(Bottom, 5, 5), g7 = Man(Bottom, 7, 7);
    capture.AddStep(c3, kings);
    capture.AddCapture(Man(Top, 4, 4), opp);
    capture.AddStep(e5, kings);
    EXPECT_EQ(capture.Text(), " > c3:e5");
    capture.AddCapture(Man(Top, 6, 6), opp);
    capture.AddStep(g7, kings);
    EXPECT_EQ(capture.Text(), " > c3:e5:g7");
    EXPECT_EQ(capture.PathText(), "c3:e5:g7");
}

TEST(Move, CopyKeepsEveryFieldInUse) {
    HMove move;
    int32_t kings = 0, opp = 3;
    HFigura path[5] = {Man(Bottom, 1, 1), Man(Bottom, 3, 3), Man(Bottom, 5, 5), Man(Bottom, 7, 7),
                       Man(Bottom, 5, 9 - 1)};
    move.AddStep(path[0], kings, kWeights);
    for (int i = 1; i < 5; ++i) {
        move.AddCapture(King(Top, i + 1, i + 1), opp, kWeights);
        move.AddStep(path[i], kings, kWeights);
    }
    move.value = -42;
    move.valueSet = 1;
    const HMove copy = move;
    EXPECT_EQ(copy.stepCount, 5);
    EXPECT_EQ(copy.capturedCount, 4);
    EXPECT_EQ(copy.score, move.score);
    EXPECT_EQ(copy.value, -42);
    EXPECT_EQ(copy.valueSet, 1);
    EXPECT_EQ(copy.PathText(), move.PathText());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(copy.captured[i], move.captured[i]);
}

}  // namespace
