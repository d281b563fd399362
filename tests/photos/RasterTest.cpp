// The gallery's painter: coverage of anti-aliased shapes adds up to their
// true area, however they lie across the canvas edges.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/pelvanta-archive/Raster.h"

namespace {

constexpr float kPi = 3.14159265f;

// Paints whatever shapes `add` puts in white on black and sums the coverage.
template <class Shapes>
double CoveredArea(int32_t width, int32_t height, Shapes add, float scale = 1) {
    Canvas c(width, height, 0, 0, scale);
    c.Fill([](float, float) { return Rgb{}; });
    add(c);
    c.Paint({1, 1, 1});
    double sum = 0;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            sum += c.Sample((x + 0.5f) / scale, (y + 0.5f) / scale).r;
    return sum / double(scale * scale);
}

TEST(Raster, RectangleCoversItsArea) {
    EXPECT_NEAR(CoveredArea(40, 30, [](Canvas& c) { c.Rect(10.25f, 5.5f, 30.75f, 20); }),
                20.5 * 14.5, 1e-2);
}

TEST(Raster, CircleCoversItsArea) {
    const double r = 8.3;
    EXPECT_NEAR(CoveredArea(40, 30,
                            [&](Canvas& c) {
                                c.Circle({20.1f, 15.2f}, float(r));
                            }),
                kPi * r * r, kPi * r * r * 0.005);
}

TEST(Raster, CutLeavesARing) {
    const double area = CoveredArea(40, 40, [](Canvas& c) {
        c.Circle({20, 20}, 15);
        c.Cut({20, 20}, 9);
    });
    EXPECT_NEAR(area, kPi * (15 * 15 - 9 * 9), 3.0);
}

TEST(Raster, ShapesAcrossTheEdgesCoverOnlyWhatIsInside) {
    EXPECT_NEAR(CoveredArea(40, 30, [](Canvas& c) { c.Rect(-10, -5, 15, 12); }), 15 * 12, 1e-2);
    EXPECT_NEAR(CoveredArea(40, 30, [](Canvas& c) { c.Rect(30, 20, 55, 50); }), 10 * 10, 1e-2);
    // a triangle poking out of both sides: its width shrinks from 15 at x = 0 to 5 at x = 40
    EXPECT_NEAR(CoveredArea(40, 30,
                            [](Canvas& c) {
                                c.Polygon({{-20, 0}, {60, 10}, {-20, 20}});
                            }),
                400, 0.05);
}

TEST(Raster, OverlappingShapesOfOnePaintDoNotAddUp) {
    EXPECT_NEAR(CoveredArea(40, 30,
                            [](Canvas& c) {
                                c.Rect(5, 5, 25, 25);
                                c.Rect(5, 5, 25, 25);
                                c.Rect(15, 5, 35, 25);
                            }),
                30 * 20, 1e-2);
}

TEST(Raster, StrokeIsABandWithRoundEnds) {
    EXPECT_NEAR(CoveredArea(40, 30,
                            [](Canvas& c) {
                                c.Stroke({{5, 10}, {20, 10}, {35, 10}}, 4);
                            }),
                30 * 4 + kPi * 4, 0.6);
}

TEST(Raster, SceneUnitsFollowTheCanvasScale) {
    // the same rectangle at twice the resolution still covers its area in scene units
    EXPECT_NEAR(CoveredArea(
                    80, 60, [](Canvas& c) { c.Rect(10.25f, 5.5f, 30.75f, 20); }, 2),
                20.5 * 14.5, 1e-2);
}

TEST(Raster, ImageKeepsTheColours) {
    Canvas c(4, 2);
    c.Fill([](float x, float) { return x < 2 ? Hex(0xFF0000) : Hex(0x00FF80); });
    const Image image = c.ToImage();
    ASSERT_EQ(image.rgb.size(), 24u);
    EXPECT_EQ(image.rgb[0], 255);
    EXPECT_EQ(image.rgb[1], 0);
    EXPECT_EQ(image.rgb[3 * 3 + 1], 255);
    EXPECT_NEAR(image.rgb[3 * 3 + 2], 128, 1);
}

}  // namespace
