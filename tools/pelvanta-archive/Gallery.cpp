#include "tools/pelvanta-archive/Gallery.h"

#include "tools/pelvanta-archive/Painting.h"

const std::vector<Opponent>& DemoOpponents() {
    // depth, then promotionBonus, firstKingBonus, manValue, kingValue: the
    // ladder docs/contributing.md describes, each beating the one before.
    static const std::vector<Opponent> opponents = {
        {"meadow at sunrise", {1, 0, 0, 0, 0}, &SceneNamed("meadow"), 3, 20, 200, 230},
        {"orchard through the year", {5, 0, 0, 0, 0}, &SceneNamed("orchard"), 2, 20, 70, 255},
        {"lighthouse", {1, 0, 0, 1, 1}, &SceneNamed("lighthouse"), 3, 50, 90, 220},
        {"voyage", {3, 0, 0, 1, 0}, &SceneNamed("voyage"), 1, 30, 150, 230},
        {"mountain lake", {3, 0, 0, 3, 1}, &SceneNamed("lake"), 2, 20, 90, 250},
        {"balloons", {3, 2, 1, 1, 3}, &SceneNamed("balloons"), 2, 30, 60, 230},
        {"coral reef", {5, 2, 1, 1, 3}, &SceneNamed("reef"), 2, 30, 170, 230},
        {"ringed planet", {7, 2, 1, 1, 3}, &SceneNamed("planet"), 2, 30, 90, 230},
        {"desert dunes", {11, 2, 1, 1, 3}, &SceneNamed("dunes"), 2, 60, 130, 200},
        {"winter night", {99, 2, 1, 1, 3}, &SceneNamed("winter"), 3, 30, 185, 230},
    };
    return opponents;
}

static_assert(kDemoPhotos == kStages);

BadgeDot BadgeDotAt(int32_t i, int32_t of) {
    constexpr float kPitch = 9;
    const float x0 = (float(kThumbSide) - kPitch * float(of - 1)) / 2;
    return {x0 + kPitch * float(i), float(kThumbSide) - 10};
}

namespace {

// Strength as a row of dots on a dark pill: lit dots for this opponent's
// place on the ladder, dim ones for the rest.
void PaintBadge(QPainter& p, int32_t strength, int32_t of) {
    const BadgeDot first = BadgeDotAt(0, of), last = BadgeDotAt(of - 1, of);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(16, 16, 24, 140));
    p.drawRoundedRect(QRectF(first.x - 6.5, first.y - 6.5, last.x - first.x + 13, 13), 6.5, 6.5);
    for (int32_t i = 0; i < of; ++i) {
        const BadgeDot dot = BadgeDotAt(i, of);
        Disc(p, {dot.x, dot.y}, 2.8, 2.8,
             i < strength ? QColor(255, 211, 90) : QColor(255, 255, 255, 77));
    }
}

Image PaintThumbnail(const Opponent& opponent, int32_t strength) {
    const QRectF square(opponent.thumbX, opponent.thumbY, opponent.thumbSide, opponent.thumbSide);
    QImage thumb =
        PaintScene(*opponent.scene, opponent.thumbStage)
            .copy(square.toRect())
            .scaled(kThumbSide, kThumbSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter p(&thumb);
    p.setRenderHint(QPainter::Antialiasing);
    PaintBadge(p, strength, int32_t(DemoOpponents().size()));
    p.end();
    return ToImage(thumb);
}

}  // namespace

OpponentPictures PaintOpponent(const Opponent& opponent, int32_t strength) {
    OpponentPictures pictures;
    pictures.thumbnail = PaintThumbnail(opponent, strength);
    for (int32_t stage = 0; stage < kDemoPhotos; ++stage)
        pictures.photos.push_back(ToImage(PaintScene(*opponent.scene, stage)));
    return pictures;
}
