#include "tools/pelvanta-archive/Gallery.h"

#include <cmath>

#include "tools/pelvanta-archive/Scenery.h"

const std::vector<Opponent>& DemoOpponents() {
    // depth, then promotionBonus, firstKingBonus, manValue, kingValue.
    // The search deepens its limit 1, 3, 5, ..., so only odd depths are
    // steps, and past depth 7 two plies more are too small a step: the top
    // of the ladder climbs four plies at a time. Below that the steps are
    // what an opponent sees: a forced win five plies ahead, then men, then
    // men three plies ahead, then kings worth a third of a man, then kings
    // and promotion at their worth. The last one is bounded only by the
    // thinking time. Every opponent beats the one before in
    // `pelvanta-engine match` (README.md).
    static const std::vector<Opponent> opponents = {
        {"meadow at sunrise", {1, 0, 0, 0, 0}, PaintMeadow, 3, 20, 200, 230},
        {"orchard through the year", {5, 0, 0, 0, 0}, PaintOrchard, 2, 20, 70, 255},
        {"lighthouse", {1, 0, 0, 1, 1}, PaintLighthouse, 3, 50, 90, 220},
        {"voyage", {3, 0, 0, 1, 0}, PaintVoyage, 1, 30, 150, 230},
        {"mountain lake", {3, 0, 0, 3, 1}, PaintLake, 2, 20, 90, 250},
        {"balloons", {3, 2, 1, 1, 3}, PaintBalloons, 2, 30, 60, 230},
        {"coral reef", {5, 2, 1, 1, 3}, PaintReef, 2, 30, 170, 230},
        {"ringed planet", {7, 2, 1, 1, 3}, PaintSky, 2, 30, 90, 230},
        {"desert dunes", {11, 2, 1, 1, 3}, PaintDunes, 2, 60, 130, 200},
        {"winter night", {99, 2, 1, 1, 3}, PaintWinter, 3, 30, 140, 230},
    };
    return opponents;
}

namespace {

// Strength as a row of dots on a dark pill: lit dots for this opponent's
// place on the ladder, dim ones for the rest.
void StrengthBadge(Canvas& c, int32_t strength, int32_t of) {
    const float pitch = 9, y = float(c.Height()) - 10;
    const float width = pitch * float(of - 1);
    const float x0 = (float(c.Width()) - width) / 2;
    c.Stroke({{x0, y}, {x0 + width, y}}, 13);
    c.Paint(Hex(0x101018), 0.55f);
    for (int32_t i = 0; i < of; ++i) {
        c.Circle({x0 + pitch * float(i), y}, 2.8f);
        if (i < strength) {
            c.Paint(Hex(0xFFD35A));
        } else {
            c.Paint(Hex(0xFFFFFF), 0.3f);
        }
    }
}

Image PaintThumbnail(const Opponent& opponent, int32_t strength) {
    constexpr float kSuper = 2;  // the scene is painted finer, then averaged down
    Canvas big(int32_t(kPhotoWidth * kSuper), int32_t(kPhotoHeight * kSuper), 0, 0, kSuper);
    opponent.paint(big, opponent.thumbStage);
    Canvas thumb(kThumbSide, kThumbSide);
    const float step = opponent.thumbSide / kThumbSide;
    thumb.Fill([&](float x, float y) {
        Rgb sum;
        for (int sy = 0; sy < 4; ++sy)
            for (int sx = 0; sx < 4; ++sx)
                sum = Add(sum, big.Sample(opponent.thumbX + (x - 0.5f + (sx + 0.5f) / 4) * step,
                                          opponent.thumbY + (y - 0.5f + (sy + 0.5f) / 4) * step));
        return Scale(sum, 1.f / 16);
    });
    StrengthBadge(thumb, strength, int32_t(DemoOpponents().size()));
    return thumb.ToImage(uint32_t(strength) * 131);
}

}  // namespace

OpponentPictures PaintOpponent(const Opponent& opponent, int32_t strength) {
    OpponentPictures pictures;
    pictures.thumbnail = PaintThumbnail(opponent, strength);
    for (int32_t stage = 0; stage < kDemoPhotos; ++stage) {
        Canvas canvas(kPhotoWidth, kPhotoHeight);
        opponent.paint(canvas, stage);
        pictures.photos.push_back(canvas.ToImage(uint32_t(strength) * 17 + uint32_t(stage)));
    }
    return pictures;
}
