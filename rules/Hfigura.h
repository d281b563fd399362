#pragma once

#include <cstdint>
#include <string>

// What stands on a cell. Blocked is the border, and also a piece that the
// capture being built has already jumped, so it can be neither jumped again
// nor crossed.
enum : uint8_t { Empty = 0, Blocked = 1, Bottom = 2, Top = 3 };

// Bottom and Top are 2 and 3: flipping the low bit gives the other side.
constexpr uint8_t Opponent(uint8_t side) {
    return side ^ 1;
}

// Bottom crowns on row 8, everybody else on row 1.
constexpr int32_t CrowningRow(uint8_t owner) {
    return owner == Bottom ? 8 : 1;
}

// A square: column x (1..8, shown a..h) and row y (1..8).
// Plain data without initializers: arrays of records built by the move
// generator thousands of times a second must not be zero-filled first.
struct Point {
    int32_t x;
    int32_t y;

    bool operator==(const Point&) const = default;
    bool IsDark() const { return ((x + y) & 1) == 0; }
    bool OnBoard() const { return x >= 1 && x <= 8 && y >= 1 && y <= 8; }
    std::string Text() const;
};

// A piece, and the record of the cell it stands on; copied whole.
struct HFigura {
    uint8_t king;  // 0 man, 1 king
    uint8_t owner;
    Point pos;

    HFigura() = default;  // fields unset, like any plain record
    HFigura(uint8_t owner, uint8_t king, Point pos) : king(king), owner(owner), pos(pos) {}

    bool operator==(const HFigura&) const = default;
};
