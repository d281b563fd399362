#include "engine/FastMoves.h"

using namespace squares;

bool Board32::Load(const HDoska& board) {
    pieces[Bottom] = pieces[Top] = kings = 0;
    for (int32_t s = 0; s < 32; ++s) {
        const HFigura& cell = board.At(kSquareOrder[s]);
        if (cell.owner != Bottom && cell.owner != Top) continue;
        pieces[cell.owner] |= Bit(s);
        if (cell.king) kings |= Bit(s);
    }
    return KingCount(Bottom) == board.bottomKings && KingCount(Top) == board.topKings;
}
