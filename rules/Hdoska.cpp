#include "rules/Hdoska.h"

HDoska::HDoska() {
    for (int32_t x = 0; x < 10; ++x)
        for (int32_t y = 0; y < 10; ++y) {
            const bool border = x == 0 || y == 0 || x == 9 || y == 9;
            cells[x][y] = HFigura(border ? Blocked : Empty, 0, Point{x, y});
        }
    Clear();
}

void HDoska::Clear() {
    for (const Point p : kSquareOrder) {
        At(p).owner = Empty;
        At(p).pos = p;
    }
    topKings = 0;
    bottomKings = 0;
}

void HDoska::SetInitial() {
    for (const Point p : kSquareOrder) {
        HFigura& cell = At(p);
        cell.pos = p;
        cell.king = 0;
        cell.owner = p.y <= 3 ? Bottom : p.y >= 6 ? Top : Empty;
    }
    topKings = 0;
    bottomKings = 0;
}

bool HDoska::RemoveHandicapMan() {
    for (const Point p : {Point{2, 6}, Point{4, 6}, Point{6, 6}}) {
        if (At(p).owner == Top) {
            At(p).owner = Empty;
            return true;
        }
    }
    At(Point{8, 6}).owner = Empty;
    return false;
}
