#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/EngineParams.h"
#include "photos/Image.h"
#include "tools/pelvanta-archive/Raster.h"

// The demo opponents that ship with the game: a ladder from a beginner who
// sees no material at all to a full-strength player, each with an illustrated
// scene that changes from photo to photo.

inline constexpr int32_t kPhotoWidth = 291;
inline constexpr int32_t kPhotoHeight = 433;
inline constexpr int32_t kThumbSide = 137;
inline constexpr int32_t kDemoPhotos = 5;

// Paints one stage (0 .. kDemoPhotos - 1) of a scene that is
// kPhotoWidth x kPhotoHeight scene units large.
using ScenePainter = void (*)(Canvas& canvas, int32_t stage);

struct Opponent {
    const char* theme;
    EngineParams params;
    ScenePainter paint;
    int32_t thumbStage;               // the stage the thumbnail shows
    float thumbX, thumbY, thumbSide;  // the square of the scene it shows
};

const std::vector<Opponent>& DemoOpponents();

struct OpponentPictures {
    Image thumbnail;
    std::vector<Image> photos;
};

OpponentPictures PaintOpponent(const Opponent& opponent, int32_t strength);

// The scenes, one per opponent.
void PaintMeadow(Canvas& c, int32_t stage);
void PaintOrchard(Canvas& c, int32_t stage);
void PaintLighthouse(Canvas& c, int32_t stage);
void PaintVoyage(Canvas& c, int32_t stage);
void PaintLake(Canvas& c, int32_t stage);
void PaintBalloons(Canvas& c, int32_t stage);
void PaintReef(Canvas& c, int32_t stage);
void PaintSky(Canvas& c, int32_t stage);
void PaintDunes(Canvas& c, int32_t stage);
void PaintWinter(Canvas& c, int32_t stage);
