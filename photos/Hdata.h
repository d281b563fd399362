#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "containers/POrderList.h"
#include "engine/EngineParams.h"
#include "photos/Image.h"

// The gallery's files, read from the play folder: 3000.p_g to 3044.p_g.
constexpr int32_t kGalleryFiles = 45;
inline std::string GalleryFileName(int32_t i) {
    return std::to_string(3000 + i) + ".p_g";
}

// One opponent: her thumbnail, her photos in the order a player reveals them,
// the player's progress with her, and the five engine numbers she plays with.
//
// The pictures belong to the process-wide ImageStore and live until the
// program ends, so a copied entry (new list cells, the same pictures) stays
// usable after its original is gone. The thumbnail is kept decoded, the
// photos as their JPEG bytes.
class HData {
public:
    // Reads one archive file, named in UTF-8; the file is read once and closed
    // before the pictures are decoded. On failure the entry is left as it was
    // and every picture decoded for it is released.
    bool Load(const char* fileName);
    bool Load(const char* fileName, std::string& reason);  // says why it failed
    // Load's work after the file has been read.
    bool LoadFromMemory(const uint8_t* data, size_t size, std::string& reason);

    EngineParams Params() const;

    const Image* icon = nullptr;
    POrderList<const Photo*> photos{100};
    uint8_t kind = 0;
    int32_t level = 0;  // highest photo the player has reached
    int32_t shown = 0;  // photo on display
    int32_t searchDepth = kNewOpponentParams.searchDepth;
    int32_t promotionBonus = kNewOpponentParams.promotionBonus;
    int32_t firstKingBonus = kNewOpponentParams.firstKingBonus;
    int32_t manValue = kNewOpponentParams.manValue;
    int32_t kingValue = kNewOpponentParams.kingValue;
};
