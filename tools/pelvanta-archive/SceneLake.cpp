// Snowy peaks mirrored in a still mountain lake: morning mist, a clear day,
// alpenglow, a moonlit night and at last the northern lights.
#include <cmath>

#include "tools/pelvanta-archive/Gallery.h"
#include "tools/pelvanta-archive/Scenery.h"

namespace {

constexpr float kShore = 262;

struct Hour {
    std::vector<Stop> sky;
    Rgb rockLit, rockShade, snowLit, snowShade, forest, water;
    float stars;
};

Hour HourOf(int32_t stage) {
    switch (stage) {
        case 0:
            return {{{0, Hex(0x7C98C8)}, {0.7f, Hex(0xE4D0D4)}, {1, Hex(0xF8E4D0)}},
                    Hex(0x9A9AB4),
                    Hex(0x6A6E92),
                    Hex(0xFFF2EC),
                    Hex(0xB8BCD8),
                    Hex(0x4A6070),
                    Hex(0x8A98B4),
                    0};
        case 1:
            return {{{0, Hex(0x1E62B8)}, {0.7f, Hex(0x78B4E8)}, {1, Hex(0xC8E4F4)}},
                    Hex(0x8C8A90),
                    Hex(0x4E5468),
                    Hex(0xFFFFFF),
                    Hex(0xA8BCD8),
                    Hex(0x2E5A3A),
                    Hex(0x2A6A8A),
                    0};
        case 2:
            return {{{0, Hex(0x2A3A78)},
                     {0.5f, Hex(0x9A6A9A)},
                     {0.85f, Hex(0xF0A080)},
                     {1, Hex(0xFFC890)}},
                    Hex(0xC07A6A),
                    Hex(0x5A4468),
                    Hex(0xFFC8B0),
                    Hex(0x9A7AA8),
                    Hex(0x2A3040),
                    Hex(0x6A5A88),
                    0};
        default:
            return {{{0, Hex(0x040818)}, {0.7f, Hex(0x0E1A3A)}, {1, Hex(0x1A2C50)}},
                    Hex(0x3A4260),
                    Hex(0x1A2036),
                    Hex(0xB8C4E0),
                    Hex(0x5A6688),
                    Hex(0x0C1420),
                    Hex(0x0E1A30),
                    1};
    }
}

float Peaks(float x) {
    const float ridge = 150 - 55 * std::exp(-(x - 185) * (x - 185) / 2600.f) -
                        40 * std::exp(-(x - 70) * (x - 70) / 1800.f);
    return ridge + 44 * (Fbm(x / 34, 1.5f, 141, 3) - 0.5f) +
           14 * (Fbm(x / 11, 4.5f, 139, 3) - 0.5f);
}

}  // namespace

void PaintLake(Canvas& c, int32_t stage) {
    const Hour h = HourOf(stage);
    Sky(c, h.sky, 0, kShore);
    if (h.stars > 0) Stars(c, 142, 230, kShore, 1);
    if (stage == 3) Crescent(c, {64, 56}, 13, Hex(0xF4F0DC), {}, 0.5f);
    if (stage == 4) {  // curtains of the aurora
        c.Apply([](float x, float y, Rgb p) {
            const float wave = 70 + 30 * std::sin(x / 45) + 18 * std::sin(x / 17 + 1);
            const float below = y - wave;
            if (below < -90 || below > 60) return p;
            const float rays =
                0.35f + 0.65f * Fbm(x / 7 + Noise(x / 40, y / 80, 143) * 3, 0.5f, 144, 3);
            const float body = Smooth(-90, 0, below) * Smooth(60, 5, below) * rays * rays * 1.6f;
            const Rgb tone = Mix(Hex(0x30FFA0), Hex(0xB060FF), Smooth(-10, -80, below));
            return Add(p, Scale(tone, body * 0.55f));
        });
    }
    if (stage == 1) Clouds(c, 144, 30, 110, 0.3f, Hex(0xFFFFFF), Hex(0xA8C0DC), 0.9f);
    if (stage == 2) Clouds(c, 145, 40, 120, 0.3f, Hex(0xFFC8A0), Hex(0x8A5A88), 0.85f);

    // a paler range further off
    c.Below(
        [](float x) {
            return 168 + 30 * (Fbm(x / 30, 7.5f, 138, 4) - 0.5f) -
                   20 * std::exp(-(x - 130) * (x - 130) / 900.f);
        },
        kShore + 2);
    c.Paint(Mix(h.rockShade, h.sky.back().color, 0.55f));
    // the range: lit faces to the left, snow above a ragged line
    c.Below(Peaks, kShore + 2);
    c.PaintShaded([&](float x, float y) {
        // faces run down from the crest: shade by the slope of the skyline at
        // a point that wanders sideways the deeper we go
        const float depth = y - Peaks(x);
        const float wander = (Fbm(x / 12, y / 30, 146, 3) - 0.5f) * depth * 0.35f;
        const float xs = x + wander;
        const float slope = Peaks(xs + 2) - Peaks(xs - 2);
        // ribs and gullies run down the face
        const float ribs = Smooth(0.3f, 0.7f, Fbm(x / 5 + y / 40, y / 70, 147, 3));
        const float lit =
            Smooth(-2.5f, 2.5f, slope) * 0.6f + ribs * 0.4f - Smooth(0, 110, depth) * 0.25f;
        const float snowDepth = 28 + 30 * Fbm(x / 10, y / 10, 148, 3) - Smooth(120, 190, y) * 60;
        const float snow = Smooth(snowDepth + 3, snowDepth - 3, depth);
        const Rgb rock = Mix(h.rockShade, h.rockLit, Clamp01(lit));
        const Rgb white = Mix(h.snowShade, h.snowLit, lit);
        return Mix(rock, white, snow);
    });
    Haze(c, 140, kShore, h.sky.back().color, 0.55f);

    // wooded foothills running down to the water
    c.Below(
        [](float x) {
            return kShore - 22 + 14 * std::sin(x / 50) + 6 * (Noise(x / 9, 2, 148) - 0.5f);
        },
        kShore + 2);
    c.Paint(Mix(h.forest, h.sky.back().color, 0.3f));
    for (int32_t i = 0; i < 70; ++i) {
        const float x = Hash01(149, uint32_t(i)) * (kSceneW + 10) - 5;
        const float foot = kShore + 1 - Hash01(150, uint32_t(i)) * 6;
        Pine(c, {x, foot}, 14 + 12 * Hash01(151, uint32_t(i)), Mix(h.forest, Hex(0x000000), 0.15f),
             Mix(h.forest, h.rockLit, 0.25f), stage == 0 ? 0.15f : 0);
    }

    Reflect(c, kShore, h.water, 0.25f, 3, 152);
    if (stage == 0) {  // mist lying on the water
        c.Apply([](float x, float y, Rgb p) {
            const float band = std::exp(-(y - kShore) * (y - kShore) / 500.f);
            const float wisps = Fbm(x / 60, y / 10, 153, 4);
            return Mix(p, Hex(0xF4ECEC), band * Smooth(0.3f, 0.7f, wisps) * 0.85f);
        });
    }

    // the near shore: stones, reeds and a tall pine on the left
    c.Below(
        [](float x) {
            return 388 + 10 * std::sin(x / 40 + 1) + 8 * (Noise(x / 15, 5, 154) - 0.5f);
        },
        kSceneH + 2);
    c.PaintShaded([&](float x, float y) {
        const Rgb ground =
            stage >= 3 ? Hex(0x141A24) : (stage == 2 ? Hex(0x3A3040) : Hex(0x4A5A3A));
        return Mix(ground, Scale(ground, 0.6f), Fbm(x / 10, y / 10, 155, 3));
    });
    for (int32_t i = 0; i < 9; ++i) {
        const Pt at = {20 + float(i) * 33 + Hash01(156, uint32_t(i)) * 16,
                       392 + Hash01(157, uint32_t(i)) * 30};
        const float r = 6 + 8 * Hash01(158, uint32_t(i));
        c.Polygon(Boulder(at, r * 1.3f, r * 0.8f, 163 + uint32_t(i)));
        c.PaintShaded([&](float x, float y) {
            const float lit = Clamp01(0.6f - (x - at.x) / (r * 2.5f) - (y - at.y) / (r * 2));
            return Mix(Scale(h.rockShade, 0.8f), h.rockLit, lit);
        });
    }
    for (int32_t i = 0; i < 40; ++i) {
        const float x = 150 + Hash01(159, uint32_t(i)) * 140;
        const float y = 392 + Hash01(160, uint32_t(i)) * 10;
        c.Stroke({{x, y},
                  {x + 2 - 4 * Hash01(161, uint32_t(i)), y - 18 - 16 * Hash01(162, uint32_t(i))}},
                 1.3f, 0.4f);
    }
    c.Paint(Mix(h.forest, Hex(0x8A9A4A), stage >= 3 ? 0.1f : 0.5f));
    Pine(c, {28, 410}, 200, Mix(h.forest, Hex(0x000000), 0.3f), Mix(h.forest, h.rockLit, 0.3f), 0);
}
