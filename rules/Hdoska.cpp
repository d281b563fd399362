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
            TakeOff(p);
            return true;
        }
    }
    TakeOff(Point{8, 6});
    return false;
}

void HDoska::TakeOff(Point p) {
    HFigura& cell = At(p);
    if ((cell.owner == Top || cell.owner == Bottom) && cell.king == 1) --Kings(cell.owner);
    cell.owner = Empty;
}

bool HDoska::KingCountersHold() const {
    int32_t top = 0, bottom = 0;
    for (const Point p : kSquareOrder) {
        const HFigura& cell = At(p);
        if (cell.king != 1) continue;
        if (cell.owner == Top) ++top;
        if (cell.owner == Bottom) ++bottom;
    }
    return top == topKings && bottom == bottomKings;
}
