// A tall ship under sail from a pink dawn, through a bright day with
// dolphins and a rainbow after the rain, to a golden sunset and a moonlit
// night off a palm island.
#include <cmath>

#include "tools/pelvanta-archive/Gallery.h"
#include "tools/pelvanta-archive/Scenery.h"

namespace {

constexpr float kHorizon = 228;
constexpr Pt kShip = {146, 334};  // middle of the waterline

struct Weather {
    std::vector<Stop> sky;
    Rgb seaFar, seaNear, sparkle;
    Rgb light;
    float glitterX, glitter;
};

Weather WeatherOf(int32_t stage) {
    switch (stage) {
        case 0:
            return {{{0, Hex(0x6A78B4)}, {0.55f, Hex(0xE0A8B8)}, {1, Hex(0xFFD8B8)}},
                    Hex(0xC8A8C0),
                    Hex(0x3A4A7A),
                    Hex(0xFFE0D0),
                    Hex(0xE8C8C8),
                    230,
                    0.5f};
        case 1:
            return {{{0, Hex(0x2C78CC)}, {0.7f, Hex(0x8CC4EE)}, {1, Hex(0xD4ECF8)}},
                    Hex(0x4C94C0),
                    Hex(0x0E4470),
                    Hex(0xFFFFFF),
                    Hex(0xFFFFFF),
                    60,
                    0.4f};
        case 2:
            return {{{0, Hex(0x6C7E98)}, {0.6f, Hex(0xB8C8D4)}, {1, Hex(0xE8EEF0)}},
                    Hex(0x6C92A8),
                    Hex(0x1E4660),
                    Hex(0xF0F4F8),
                    Hex(0xE4E8EC),
                    0,
                    0};
        case 3:
            return {{{0, Hex(0x3A3C78)},
                     {0.45f, Hex(0xC8688A)},
                     {0.8f, Hex(0xF89850)},
                     {1, Hex(0xFFD070)}},
                    Hex(0xE08A5A),
                    Hex(0x3A2848),
                    Hex(0xFFD890),
                    Hex(0xA87070),
                    38,
                    1.0f};
        default:
            return {{{0, Hex(0x070B22)}, {0.7f, Hex(0x18264E)}, {1, Hex(0x2E4272)}},
                    Hex(0x2A3E6A),
                    Hex(0x050B1E),
                    Hex(0xC8D8FF),
                    Hex(0x4A5680),
                    220,
                    0.5f};
    }
}

Rgb Lit(Rgb base, const Weather& w) {
    return {base.r * w.light.r, base.g * w.light.g, base.b * w.light.b};
}

Pt At(float x, float y) {
    return {kShip.x + x, kShip.y + y};
}

// One square sail between two yards, bellied forward by the wind.
void SquareSail(Canvas& c, float mastX, float topY, float bottomY, float half, float belly,
                const Weather& w) {
    std::vector<Pt> sail;
    for (int i = 0; i <= 10; ++i) {
        const float t = float(i) / 10;
        sail.push_back(At(mastX - half + 2 * half * t, topY + 2 * belly * t * (1 - t) * 0.3f));
    }
    for (int i = 10; i >= 0; --i) {
        const float t = float(i) / 10;
        sail.push_back(
            At(mastX - half * 1.08f + 2.16f * half * t, bottomY + belly * 4 * t * (1 - t)));
    }
    c.Polygon(sail);
    c.PaintShaded([&](float x, float) {
        const float across = (x - kShip.x - mastX) / half;  // -1 .. 1
        return Lit(Mix(Hex(0xFBF4E2), Hex(0xCBB89A), Smooth(-0.2f, 1.1f, across)), w);
    });
}

void ShipOnSea(Canvas& c, const Weather& w, int32_t stage) {
    const Rgb wood = Lit(Hex(0x5A3826), w), dark = Lit(Hex(0x2E1C14), w);
    // rigging first, behind the sails
    const float masts[3] = {-46, 4, 50};
    const float heights[3] = {150, 176, 136};
    for (int m = 0; m < 3; ++m) {
        c.Stroke({At(masts[m], -heights[m]), At(-88, -44)}, 0.6f);
        c.Stroke({At(masts[m], -heights[m]), At(98, -34)}, 0.6f);
    }
    c.Paint(Lit(Hex(0x3A2A20), w), 0.8f);
    for (int m = 0; m < 3; ++m) {
        c.Rect(kShip.x + masts[m] - 1.8f, kShip.y - heights[m], kShip.x + masts[m] + 1.8f,
               kShip.y - 30);
    }
    c.Paint(wood);
    // bowsprit and jibs
    c.Stroke({At(78, -30), At(128, -52)}, 2.4f, 1.4f);
    c.Paint(wood);
    c.Polygon({At(52, -128), At(122, -50), At(62, -44)});
    c.Polygon({At(52, -100), At(100, -42), At(58, -40)});
    c.PaintShaded([&](float, float y) {
        return Lit(Mix(Hex(0xF8F0DE), Hex(0xD8C8A8), Smooth(-130, -40, y - kShip.y)), w);
    });
    // square sails: three tiers per mast, the upper ones narrower
    const bool furled = stage == 0;
    for (int m = 0; m < 3; ++m) {
        const float h = heights[m];
        const float tiers[4] = {h - 8, h - 46, h - 82, h - 118};
        for (int t = 0; t < 3; ++t) {
            const float half = 30 - 5 * float(2 - t) + (m == 1 ? 4 : 0);
            if (furled && t == 0) continue;
            SquareSail(c, masts[m], -tiers[t], -tiers[t + 1] + 4, half * (t == 2 ? 1.0f : 0.85f),
                       furled ? 2 : 6, w);
        }
        c.Stroke({At(masts[m] - 26, -h + 8), At(masts[m] + 26, -h + 8)}, 1.6f);
        c.Paint(dark);
        // pennant
        std::vector<Pt> flag =
            Curve({At(masts[m], -h - 1), At(masts[m] + 8, -h + 1), At(masts[m] + 16, -h - 1)}, 5);
        c.Stroke(flag, 3.4f, 0.6f);
        c.Paint(Lit(Hex(0xC8282A), w));
    }
    // the hull with its gilded stripe and gun ports
    c.Polygon({At(-92, -46), At(-70, -42), At(-60, -32), At(40, -27), At(80, -31), At(98, -36),
               At(88, -14), At(70, 4), At(-72, 4), At(-86, -16)});
    c.PaintShaded([&](float, float y) { return Mix(wood, dark, Smooth(-40, 4, y - kShip.y)); });
    c.Stroke(Curve({At(-88, -30), At(-20, -20), At(50, -21), At(92, -28)}, 6), 3.2f);
    c.Paint(Lit(Hex(0xD8A83A), w));
    for (int i = 0; i < 9; ++i) c.Circle(At(-64 + float(i) * 16, -11), 2.2f);
    c.Paint(stage == 4 ? Hex(0xFFD070) : Lit(Hex(0x1A100C), w));
    if (stage == 4) {
        for (int i = 0; i < 9; ++i) c.Glow(At(-64 + float(i) * 16, -11), 4, Hex(0xFFB040), 0.5f);
        c.Glow(At(-90, -52), 6, Hex(0xFFC860), 0.9f);  // the stern lantern
        c.Circle(At(-90, -52), 2.2f);
        c.Paint(Hex(0xFFF2C0));
    }
}

void Waves(Canvas& c, const Weather& w, uint32_t seed) {
    for (int k = 0; k < 3; ++k) {
        const float base = kShip.y + 2 + 30 * float(k) * float(k) * 0.5f + 6 * float(k);
        const float amp = 3 + 3 * float(k);
        const float freq = 0.06f - 0.012f * float(k);
        auto crest = [&](float x) {
            return base - amp * std::fabs(std::sin(x * freq + float(k) * 1.7f)) -
                   amp * 1.2f * (Noise(x / 30, float(k), seed) - 0.5f);
        };
        c.Below(crest, kSceneH + 2);
        c.PaintShaded([&](float x, float y) {
            const float top = crest(x);
            const Rgb body = Mix(w.seaFar, w.seaNear, Clamp01(0.45f + float(k) * 0.2f));
            // a lit lip under the crest, then faint ripples on the wave's face
            const float ripple =
                Smooth(0.75f, 0.95f, std::sin(y * 0.9f + Noise(x / 14, y / 6, 139) * 7));
            const Rgb face = Mix(body, w.sparkle, ripple * 0.12f * Smooth(40, 4, y - top));
            return Mix(Mix(body, w.sparkle, 0.25f), face, Smooth(0, 10, y - top));
        });
        std::vector<Pt> foam;
        for (float x = -5; x < kSceneW + 5; x += 2) foam.push_back({x, crest(x) + 0.8f});
        c.Stroke(foam, 1.4f);
        c.Paint(Mix(w.sparkle, w.seaFar, 0.2f), 0.7f);
    }
}

void Dolphin(Canvas& c, Pt at, float size, Rgb back, Rgb belly) {
    // a leaping arc; the body is thickest just behind the head
    std::vector<Pt> top, bottom;
    for (int i = 0; i <= 24; ++i) {
        const float t = float(i) / 24;
        const float a = kPi * (0.15f + 0.7f * t);
        const Pt spine = {at.x - std::cos(a) * size, at.y - std::sin(a) * size * 0.85f};
        const float nx = -std::cos(a) * 0.85f, ny = -std::sin(a);
        const float len = std::hypot(nx, ny);
        const float thick =
            size * 0.2f * std::pow(std::max(0.f, std::sin(kPi * std::min(1.f, t * 1.1f))), 0.7f) +
            0.4f;
        top.push_back({spine.x + nx / len * thick, spine.y + ny / len * thick});
        bottom.push_back({spine.x - nx / len * thick * 0.8f, spine.y - ny / len * thick * 0.8f});
    }
    std::vector<Pt> body(top);
    body.insert(body.end(), bottom.rbegin(), bottom.rend());
    c.Polygon(body);
    c.Paint(belly);
    std::vector<Pt> upper(top);
    for (auto it = bottom.rbegin(); it != bottom.rend(); ++it) {
        const size_t k = size_t(bottom.rend() - it - 1);
        upper.push_back({(it->x + top[k].x) / 2, (it->y + top[k].y) / 2});
    }
    c.Polygon(upper);
    const Pt fin = top[12];
    c.Polygon({{fin.x - size * 0.12f, fin.y + 1},
               {fin.x - size * 0.18f, fin.y - size * 0.3f},
               {fin.x + size * 0.14f, fin.y + 1}});
    const Pt tail = top[0];
    c.Polygon({tail,
               {tail.x - size * 0.28f, tail.y + size * 0.02f},
               {tail.x - size * 0.05f, tail.y + size * 0.12f},
               {tail.x - size * 0.1f, tail.y + size * 0.3f},
               {tail.x + size * 0.06f, tail.y + size * 0.08f}});
    c.Paint(back);
}

}  // namespace

void PaintVoyage(Canvas& c, int32_t stage) {
    const Weather w = WeatherOf(stage);
    Sky(c, w.sky, 0, kHorizon);
    if (stage == 4) {
        Stars(c, 131, 220, kHorizon, 1);
        Crescent(c, {220, 70}, 15, Hex(0xF6F0DA), {}, 0);
    }
    if (stage == 0) {
        Clouds(c, 132, 120, 200, 0.3f, Hex(0xFFE4E0), Hex(0xB08AA8), 0.8f);
        Sun(c, {230, kHorizon - 8}, 15, Hex(0xFFF0D8), Hex(0xFFB0A0), 0.8f);
    }
    if (stage == 1) {
        Clouds(c, 133, 40, 150, 0.32f, Hex(0xFFFFFF), Hex(0xB8CCE0), 0.95f);
        Sun(c, {60, 58}, 15, Hex(0xFFFEF0), Hex(0xFFF4C8), 0.6f);
    }
    if (stage == 2) {
        Clouds(c, 134, 20, 130, 0.6f, Hex(0xD8DEE6), Hex(0x6E7A8C), 0.95f);
        // a rainbow, centred below the horizon
        c.Apply([](float x, float y, Rgb p) {
            if (y > kHorizon) return p;
            const float r = std::hypot(x - 120, y - 330);
            const float t = (r - 215) / 26;  // 0 red outside .. 1 violet inside
            if (t < -0.3f || t > 1.3f) return p;
            const Rgb band = Ramp({{0, Hex(0xFF3030)},
                                   {0.2f, Hex(0xFF9A20)},
                                   {0.4f, Hex(0xFFF040)},
                                   {0.6f, Hex(0x40D060)},
                                   {0.8f, Hex(0x3A70FF)},
                                   {1, Hex(0x9A50D0)}},
                                  1 - t);
            const float fade =
                Smooth(-0.3f, 0.1f, t) * Smooth(1.3f, 0.9f, t) * Smooth(kHorizon, 120, y);
            return Mix(p, band, 0.38f * fade);
        });
    }
    if (stage == 3) {
        Clouds(c, 135, 110, 190, 0.35f, Hex(0xFFC080), Hex(0x904060), 0.85f);
        Sun(c, {38, kHorizon - 14}, 20, Hex(0xFFF0C0), Hex(0xFF8A30), 0.9f);
    }
    if (stage == 0) {  // the home coast falling behind, with its little harbour town
        c.Below(
            [](float x) {
                return kHorizon + 2 -
                       18 * std::exp(-x / 70) * (0.8f + 0.4f * Noise(x / 12, 0, 137));
            },
            kHorizon + 4);
        c.Paint(Hex(0xA48AAE));
        for (int i = 0; i < 7; ++i) {
            const float x = 6 + float(i) * 9, top = kHorizon - 10 + float(i) * 1.4f;
            c.Rect(x, top, x + 6, kHorizon);
            c.Polygon({{x - 1, top}, {x + 3, top - 4}, {x + 7, top}});
        }
        c.Paint(Hex(0x9A7EA2));
    }
    Sea(c, kHorizon, w.seaFar, w.seaNear, w.sparkle, w.glitterX, w.glitter, 136);
    if (stage == 4) {  // the island ahead
        c.Ellipse({250, kHorizon + 2}, 70, 12);
        c.Paint(Hex(0x0C1428));
        for (int i = 0; i < 3; ++i) {
            const Pt foot = {222 + float(i) * 22, kHorizon - 4};
            const Pt top = {foot.x - 6 + float(i) * 5, foot.y - 34 - float(i % 2) * 8};
            c.Stroke(Curve({foot, {foot.x + 2, (foot.y + top.y) / 2}, top}, 6), 2.6f, 1.4f);
            for (int f = 0; f < 6; ++f) {
                const float a = -kPi / 2 + (float(f) - 2.5f) * 0.55f;
                c.Stroke(Curve({top,
                                {top.x + std::cos(a) * 10, top.y + std::sin(a) * 7 - 2},
                                {top.x + std::cos(a) * 17, top.y + std::sin(a) * 7 + 6}},
                               5),
                         2.4f, 0.5f);
            }
        }
        c.Paint(Hex(0x0C1428));
        c.Glow({246, kHorizon - 3}, 4, Hex(0xFFB040), 0.8f);
        c.Glow({262, kHorizon - 2}, 3, Hex(0xFFB040), 0.7f);
    }
    if (stage == 1 || stage == 2) {
        Bird(c, {200, 70}, 12, 0.6f, Hex(0x48505C));
        Bird(c, {222, 86}, 9, 0.2f, Hex(0x48505C));
    }
    ShipOnSea(c, w, stage);
    Waves(c, w, 138 + uint32_t(stage));
    if (stage == 1) {
        Dolphin(c, {226, 372}, 24, Hex(0x4E6E8A), Hex(0xC8D8E4));
        Dolphin(c, {70, 392}, 17, Hex(0x4A6882), Hex(0xC0D0DC));
    }
}
