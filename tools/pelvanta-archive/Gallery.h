#pragma once

#include <cstdint>
#include <vector>

#include "engine/EngineParams.h"
#include "photos/Image.h"

// The demo opponents that ship with the game: a ladder from a beginner who
// sees no material at all to a full-strength player, each with an illustrated
// scene that changes from photo to photo.

inline constexpr int32_t kThumbSide = 137;
inline constexpr int32_t kDemoPhotos = 5;  // one for each stage of a scene

struct Scene;  // Painting.h

struct Opponent {
    const char* theme;
    EngineParams params;
    const Scene* scene;
    int32_t thumbStage;               // the stage the thumbnail shows
    float thumbX, thumbY, thumbSide;  // the square of the scene it shows
};

const std::vector<Opponent>& DemoOpponents();

struct OpponentPictures {
    Image thumbnail;
    std::vector<Image> photos;
};

// `strength` is the opponent's place on the ladder, from 1.
OpponentPictures PaintOpponent(const Opponent& opponent, int32_t strength);

// The centre of dot i of the thumbnail's strength badge, a row of `of` dots.
struct BadgeDot {
    float x, y;
};
BadgeDot BadgeDotAt(int32_t i, int32_t of);
