// A meadow from the last stars to the golden evening; the flowers open as
// the day comes, butterflies visit them at noon and fireflies at dusk.
#include <cmath>

#include "tools/pelvanta-archive/Gallery.h"
#include "tools/pelvanta-archive/Scenery.h"

namespace {

struct Daylight {
    std::vector<Stop> sky;
    Pt sun;
    float sunRadius;
    Rgb sunColor, halo;
    Rgb light;  // multiplies the land colours
    float bloom;
    float stars;
};

Daylight LightOf(int32_t stage) {
    switch (stage) {
        case 0:
            return {{{0, Hex(0x0B1433)},
                     {0.55f, Hex(0x2D3C72)},
                     {0.85f, Hex(0x8A6B8F)},
                     {1, Hex(0xE49A7E)}},
                    {205, 262},
                    14,
                    Hex(0xFFD9A0),
                    Hex(0xFF9A6A),
                    Hex(0x5A6690),
                    0.0f,
                    1};
        case 1:
            return {{{0, Hex(0x2F4E8E)},
                     {0.5f, Hex(0x8E8FC0)},
                     {0.8f, Hex(0xF2A98E)},
                     {1, Hex(0xFFD590)}},
                    {205, 248},
                    17,
                    Hex(0xFFF4D0),
                    Hex(0xFFB060),
                    Hex(0xC8A890),
                    0.35f,
                    0.15f};
        case 2:
            return {{{0, Hex(0x3F83D0)}, {0.6f, Hex(0x9FCBEF)}, {1, Hex(0xEAF3F2)}},
                    {235, 95},
                    17,
                    Hex(0xFFFDF0),
                    Hex(0xFFF0B0),
                    Hex(0xF4F0E0),
                    0.7f,
                    0};
        case 3:
            return {{{0, Hex(0x2E74C9)}, {0.6f, Hex(0x86BDEB)}, {1, Hex(0xDDEEF6)}},
                    {70, 55},
                    18,
                    Hex(0xFFFFF4),
                    Hex(0xFFF6C8),
                    Hex(0xFFFFFF),
                    1.0f,
                    0};
        default:
            return {{{0, Hex(0x2C3A78)},
                     {0.45f, Hex(0xB0709A)},
                     {0.78f, Hex(0xF39A62)},
                     {1, Hex(0xFFD27A)}},
                    {85, 246},
                    20,
                    Hex(0xFFF0C0),
                    Hex(0xFF9A40),
                    Hex(0xE8B088),
                    1.0f,
                    0.1f};
    }
}

Rgb Lit(Rgb base, const Daylight& d) {
    return {base.r * d.light.r, base.g * d.light.g, base.b * d.light.b};
}

void Butterfly(Canvas& c, Pt at, float size, float angle, Rgb wing, Rgb spot) {
    const float s = std::sin(angle), k = std::cos(angle);
    auto place = [&](float x, float y) { return Pt{at.x + x * k - y * s, at.y + x * s + y * k}; };
    for (int side = -1; side <= 1; side += 2) {
        c.Ellipse(place(side * size * 0.55f, -size * 0.35f), size * 0.55f, size * 0.42f,
                  angle + side * 0.5f);
        c.Ellipse(place(side * size * 0.42f, size * 0.38f), size * 0.36f, size * 0.3f,
                  angle - side * 0.6f);
    }
    c.Paint(wing);
    for (int side = -1; side <= 1; side += 2)
        c.Circle(place(side * size * 0.62f, -size * 0.42f), size * 0.16f);
    c.Paint(spot);
    c.Ellipse(at, size * 0.08f, size * 0.5f, angle);
    c.Paint(Hex(0x2A2020));
}

}  // namespace

void PaintMeadow(Canvas& c, int32_t stage) {
    const Daylight d = LightOf(stage);
    const float horizon = 262;
    Sky(c, d.sky, 0, horizon);
    if (d.stars > 0) Stars(c, 11, 140, horizon * 0.8f, d.stars);
    if (stage >= 1 && stage <= 3)
        Clouds(c, 21 + uint32_t(stage), 40, 150, 0.25f + 0.06f * float(stage), Hex(0xFFFFFF),
               Mix(Hex(0xB8C4DC), d.sky.back().color, 0.3f), 0.85f);
    if (stage == 4) Clouds(c, 29, 150, 215, 0.3f, Hex(0xFFD9A8), Hex(0xC07080), 0.8f);
    if (stage > 0)
        Sun(c, d.sun, d.sunRadius, d.sunColor, d.halo, stage == 1 || stage == 4 ? 1.0f : 0.6f);
    else
        c.Glow({205, horizon + 10}, 70, Hex(0xFF9070), 0.35f);

    // Far hills take the colour of the air.
    RidgeLayer(c, 3, horizon + 6, 20, 0.6f, Mix(Lit(Hex(0x6F9A8A), d), d.sky.back().color, 0.45f),
               Mix(Lit(Hex(0x5C8A6A), d), d.sky.back().color, 0.25f));
    RidgeLayer(c, 5, horizon + 40, 18, 0.4f, Lit(Hex(0x76A650), d), Lit(Hex(0x4E7F38), d));
    // a lone tree on the middle hill
    c.Stroke({{58, 312}, {60, 290}, {57, 272}}, 6, 3);
    c.Paint(Lit(Hex(0x4A3424), d));
    Crown(c, 7, {58, 262}, 24, Lit(Hex(0x2F5A2A), d), Lit(Hex(0x447A34), d), Lit(Hex(0x69A046), d));
    RidgeLayer(c, 8, 350, 14, 0.3f, Lit(Hex(0x8CBF55), d), Lit(Hex(0x4F8A30), d));

    // Grass blades in front.
    for (int32_t i = 0; i < 260; ++i) {
        const float x = Hash01(41, uint32_t(i)) * (kSceneW + 20) - 10;
        const float y = 345 + Hash01(42, uint32_t(i)) * 95;
        const float h = 10 + 22 * Hash01(43, uint32_t(i)) * (y - 330) / 100;
        const float lean = (Hash01(44, uint32_t(i)) - 0.5f) * h * 0.7f;
        c.Stroke(Curve({{x, y}, {x + lean * 0.3f, y - h * 0.6f}, {x + lean, y - h}}, 4), 2.2f,
                 0.4f);
        c.Paint(Lit(Mix(Hex(0x3E7A26), Hex(0x9CCB5A), Hash01(45, uint32_t(i))), d));
    }

    // Flowers: more of them, and wider open, as the day goes on.
    const Rgb petals[] = {Hex(0xE8383A), Hex(0xFAFAF2), Hex(0x5A78E0), Hex(0xFFD23A),
                          Hex(0xE86FB0)};
    const Rgb tips[] = {Hex(0xB81E28), Hex(0xFFE8F0), Hex(0x3348B0), Hex(0xFFB01E), Hex(0xC8408A)};
    const Rgb hearts[] = {Hex(0x221018), Hex(0xF2C21E), Hex(0x1E1E48), Hex(0xD87A10),
                          Hex(0xF8E080)};
    const int32_t count = 16 + 10 * stage;
    const float open = stage == 0 ? 0 : std::min(1.f, 0.35f * float(stage) + 0.05f);
    for (int32_t i = 0; i < count; ++i) {
        const float depth = Hash01(51, uint32_t(i));
        const float y = 352 + depth * 78;
        const float x = 8 + Hash01(52, uint32_t(i)) * (kSceneW - 16);
        const float size = 4 + 14 * depth * depth;
        const int kind = int(Hash01(53, uint32_t(i)) * 5);
        c.Stroke(
            Curve({{x + size * 0.3f, y + size * 2.2f}, {x - size * 0.1f, y + size}, {x, y}}, 5),
            size * 0.14f, size * 0.1f);
        c.Paint(Lit(Hex(0x3C7A2A), d));
        Flower(c, {x, y}, size, kind == 1 ? 11 : (kind == 3 ? 5 : 6), open * (0.8f + 0.2f * depth),
               Hash01(54, uint32_t(i)) * kPi, Lit(petals[kind], d), Lit(tips[kind], d),
               Lit(hearts[kind], d));
    }

    if (stage == 2 || stage == 3) {
        Butterfly(c, {150, 318}, 9, -0.3f, Hex(0xFF9A2A), Hex(0x2A1A10));
        Butterfly(c, {232, 290}, 7, 0.4f, Hex(0x7AB8FF), Hex(0xFFFFFF));
        if (stage == 3) Butterfly(c, {92, 340}, 8, 0.1f, Hex(0xFFE04A), Hex(0x503010));
    }
    if (stage == 4) {
        for (int32_t i = 0; i < 16; ++i) {
            const Pt at = {Hash01(61, uint32_t(i)) * kSceneW, 280 + Hash01(62, uint32_t(i)) * 140};
            c.Glow(at, 3, Hex(0xFFE98A), 0.8f);
            c.Circle(at, 0.9f);
            c.Paint(Hex(0xFFFFE0));
        }
    }
    if (stage == 0) Haze(c, 200, 433, Hex(0x1A2448), 0.35f);
}
