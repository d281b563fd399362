#include <gtest/gtest.h>

#include "rules/Notation.h"

namespace {

std::string ErrorOf(const char* fen) {
    std::string error;
    EXPECT_FALSE(ParseFen(fen, error)) << fen;
    return error;
}

TEST(Notation, RoundTrip) {
    for (const char* fen : {"W:Wa1,c1,Kd4:BKh2,b8", "B:W:Bb8", "W:WKh8:B", "B:Wc3:BKb2,d4"}) {
        std::string error;
        auto p = ParseFen(fen, error);
        ASSERT_TRUE(p) << error;
        EXPECT_EQ(ToFen(p->board, p->sideToMove), fen);
    }
    std::string error;
    auto p = ParseFen("W:WKa1,Kc1,e1:BKh8", error);
    EXPECT_EQ(p->board.bottomKings, 2);
    EXPECT_EQ(p->board.topKings, 1);
}

TEST(Notation, BadInputNamesTheProblem) {
    EXPECT_NE(ErrorOf("W:Wz9:B").find("unknown square"), std::string::npos);
    EXPECT_NE(ErrorOf("W:Wa2:B").find("light square"), std::string::npos);
    EXPECT_NE(ErrorOf("W:Wa1,a1:B").find("named twice"), std::string::npos);
    EXPECT_NE(ErrorOf("W:Wa1:Ba1").find("named twice"), std::string::npos);
    EXPECT_NE(ErrorOf("W:Wb8:B").find("crowning row"), std::string::npos);
    EXPECT_NE(ErrorOf("W:W:Ba1").find("crowning row"), std::string::npos);
    EXPECT_NE(ErrorOf(":Wa1:B").find("side to move"), std::string::npos);
    EXPECT_NE(ErrorOf("X:Wa1:B").find("side to move"), std::string::npos);
    EXPECT_NE(ErrorOf("").find("side to move"), std::string::npos);
    EXPECT_NE(ErrorOf("W:Wa1").find("both piece lists"), std::string::npos);
    EXPECT_NE(ErrorOf("W:Wa1:Wc1:B").find("twice"), std::string::npos);
    EXPECT_NE(ErrorOf("W:Wa1,:B").find("unknown square"), std::string::npos);
    EXPECT_NE(ErrorOf("W:Wa1,c1,e1,g1,b2,d2,f2,h2,a3,c3,e3,g3,b4:B").find("more than 12"),
              std::string::npos);
}

TEST(Notation, Squares) {
    EXPECT_EQ(ParseSquare("a1"), (Point{1, 1}));
    EXPECT_EQ(ParseSquare("h8"), (Point{8, 8}));
    EXPECT_FALSE(ParseSquare("i1"));
    EXPECT_FALSE(ParseSquare("a0"));
    EXPECT_FALSE(ParseSquare("a10"));
    EXPECT_EQ((Point{3, 5}).Text(), "c5");
}

}  // namespace
