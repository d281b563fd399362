#pragma once

// The bit-board generator's moves with their whole paths, for the tools and
// for checking the generator against the list generator. The search never
// needs the path between the start and the end; this sink keeps it.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/FastGenerate.h"

struct FastPath {
    FastMove move;
    uint8_t landingCount = 0;
    uint8_t landings[32];  // a capture lands once per piece taken

    // "c3-d4", "c3:e5:g7", as the list generator's moves are written.
    std::string Text() const {
        std::string text = kSquareOrder[move.from].Text();
        for (int32_t i = 0; i < landingCount; ++i) {
            text += move.captured != 0 ? ':' : '-';
            text += kSquareOrder[landings[i]].Text();
        }
        return text;
    }
};

namespace fastgen {

struct PathSink {
    static constexpr bool kCountOnly = false;
    std::vector<FastPath>& out;
    FastPath work{};

    void Start(uint8_t) { work.landingCount = 0; }
    void Push(uint8_t square) { work.landings[work.landingCount++] = square; }
    void Pop() { --work.landingCount; }
    void Emit(uint8_t from, uint8_t to, uint32_t captured, uint32_t kingsFlip, uint32_t promotes) {
        const int32_t n = static_cast<int32_t>(out.size());
        work.move = FastMove{captured,
                             kingsFlip,
                             from,
                             to,
                             static_cast<uint8_t>(promotes),
                             static_cast<uint8_t>(n < 255 ? n : 255)};
        out.push_back(work);
    }
};

}  // namespace fastgen

// Every legal move of side with its path, in the order GenerateMoves lists them.
inline std::vector<FastPath> GeneratePaths(const Board32& board, uint8_t side) {
    std::vector<FastPath> paths;
    fastgen::PathSink sink{paths};
    fastgen::Generate(board, side, sink);
    return paths;
}
