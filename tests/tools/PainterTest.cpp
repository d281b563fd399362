// The gallery's painter: it needs no application object, every stage of a
// scene brings something new, and the badge shows the opponent's rung.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "tests/photos/Fixtures.h"
#include "tools/pelvanta-archive/Gallery.h"
#include "tools/pelvanta-archive/Painting.h"

namespace {

const uint8_t* PixelAt(const Image& image, float x, float y) {
    return &image.rgb[(size_t(y) * size_t(image.width) + size_t(x)) * 3];
}

TEST(Painter, PaintsWithoutAnApplicationObject) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    const QImage photo = PaintScene(SceneNamed("lake"), 4);
    EXPECT_EQ(photo.width(), int(kSceneW));
    EXPECT_EQ(photo.height(), int(kSceneH));
}

TEST(Painter, EveryStageBringsALightOrAnElementOfItsOwn) {
    for (const Opponent& opponent : DemoOpponents()) {
        const Scene& scene = *opponent.scene;
        for (const Element& e : scene.elements) {
            EXPECT_LE(0, e.from) << opponent.theme;
            EXPECT_LE(e.from, e.to) << opponent.theme;
            EXPECT_LT(e.to, kStages) << opponent.theme;
        }
        for (int32_t stage = 1; stage < kStages; ++stage) {
            bool news = scene.moments[stage] != scene.moments[stage - 1];
            for (const Element& e : scene.elements)
                news = news || e.from == stage || e.to == stage - 1;
            EXPECT_TRUE(news) << opponent.theme << " stage " << stage;
        }
    }
}

TEST(Painter, OpponentsDifferFromEachOtherAtEveryStage) {
    const std::vector<Opponent>& opponents = DemoOpponents();
    for (size_t a = 0; a < opponents.size(); ++a)
        for (size_t b = a + 1; b < opponents.size(); ++b)
            for (int32_t stage = 0; stage < kStages; ++stage) {
                const Image one = ToImage(PaintScene(*opponents[a].scene, stage));
                const Image two = ToImage(PaintScene(*opponents[b].scene, stage));
                EXPECT_GT(MeanDifference(one, two), 8.0)
                    << opponents[a].theme << " and " << opponents[b].theme << " stage " << stage;
            }
}

TEST(Painter, TheBadgeLightsOneDotPerRung) {
    const int32_t of = int32_t(DemoOpponents().size());
    for (int32_t strength : {1, of / 2, of}) {
        const Image thumb =
            PaintOpponent(DemoOpponents()[size_t(strength - 1)], strength).thumbnail;
        for (int32_t i = 0; i < of; ++i) {
            const BadgeDot dot = BadgeDotAt(i, of);
            const uint8_t* rgb = PixelAt(thumb, dot.x, dot.y);
            const bool gold = rgb[0] > 200 && rgb[1] > 150 && rgb[2] < 140;
            EXPECT_EQ(gold, i < strength) << "strength " << strength << " dot " << i;
        }
    }
}

}  // namespace
