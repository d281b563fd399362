#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "rules/Hdoska.h"

// A position as text: "W:Wa1,c1,Kd4:Bb8,Kh2". The first letter is the side to
// move (W Bottom, B Top); Bottom's pieces follow ":W", Top's follow ":B"; a K
// marks a king. "start" is the starting position with Bottom to move.
struct Position {
    HDoska board;
    uint8_t sideToMove = Bottom;
};

// A square name "a1".."h8"; nothing for anything else.
std::optional<Point> ParseSquare(std::string_view text);

// Parses a position; on failure returns nothing and sets error to one line
// naming what is wrong.
std::optional<Position> ParseFen(std::string_view text, std::string& error);

// The position in the same notation, pieces in scan order.
std::string ToFen(const HDoska& board, uint8_t sideToMove);
