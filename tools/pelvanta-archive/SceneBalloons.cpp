// Hot-air balloons rising over a patchwork of fields: one at dawn, and more
// with every stage until the evening sky is full of them.
#include <algorithm>
#include <cmath>

#include "tools/pelvanta-archive/Gallery.h"
#include "tools/pelvanta-archive/Scenery.h"

namespace {

struct Hour {
    std::vector<Stop> sky;
    Rgb light;
    Pt sun;
    Rgb sunColor, halo;
};

Hour HourOf(int32_t stage) {
    switch (stage) {
        case 0:
            return {{{0, Hex(0x5C7AB8)}, {0.6f, Hex(0xF0B8B0)}, {1, Hex(0xFFE0B0)}},
                    Hex(0xF0C8B0),
                    {60, 250},
                    Hex(0xFFF2D0),
                    Hex(0xFFB080)};
        case 1:
            return {{{0, Hex(0x3C84D4)}, {0.7f, Hex(0xA0D0F2)}, {1, Hex(0xE8F4F6)}},
                    Hex(0xFFF8EC),
                    {112, 58},
                    Hex(0xFFFDF0),
                    Hex(0xFFF0C0)};
        case 2:
            return {{{0, Hex(0x2A70C4)}, {0.7f, Hex(0x8CC2EC)}, {1, Hex(0xDCEEF6)}},
                    Hex(0xFFFFFF),
                    {150, 40},
                    Hex(0xFFFFF4),
                    Hex(0xFFF6D0)};
        case 3:
            return {{{0, Hex(0x3A6CB0)}, {0.6f, Hex(0xB8C4D8)}, {1, Hex(0xF4DCB0)}},
                    Hex(0xFFE8C8),
                    {240, 150},
                    Hex(0xFFF4D8),
                    Hex(0xFFD090)};
        default:
            return {{{0, Hex(0x2E3A7A)},
                     {0.45f, Hex(0xB06A92)},
                     {0.8f, Hex(0xF49A5E)},
                     {1, Hex(0xFFD078)}},
                    Hex(0xE0A07A),
                    {230, 262},
                    Hex(0xFFF0C0),
                    Hex(0xFF9040)};
    }
}

Rgb Lit(Rgb base, const Hour& h) {
    return {base.r * h.light.r, base.g * h.light.g, base.b * h.light.b};
}

struct Balloon {
    Pt at;  // centre of the envelope
    float radius;
    Rgb a, b;
    int32_t gores;
};

void PaintBalloon(Canvas& c, const Balloon& bl, const Hour& h, bool burner) {
    const float r = bl.radius;
    // the envelope: a sphere drawn down into a cone above the basket
    std::vector<Pt> outline;
    for (int i = 0; i < 72; ++i) {
        const float t = 2 * kPi * float(i) / 72;
        float x = std::cos(t), y = std::sin(t);
        if (y > 0) {  // lower half narrows towards the mouth
            x *= 1 - 0.62f * y * y;
            y *= 1.35f;
        }
        outline.push_back({bl.at.x + x * r, bl.at.y + y * r});
    }
    c.Polygon(outline);
    c.PaintShaded([&](float x, float y) {
        const float u = Clamp01((x - bl.at.x) / r * 0.5f + 0.5f);
        const float gore = std::asin(std::clamp((x - bl.at.x) / r, -1.f, 1.f));
        const int32_t k = int32_t(std::floor((gore / kPi + 0.5f) * float(bl.gores)));
        const Rgb paint = k % 2 == 0 ? bl.a : bl.b;
        const float dy = (y - bl.at.y) / r;
        const float shade = 1 - 0.45f * Smooth(0.3f, 1, u) - 0.15f * Clamp01(dy);
        const float shine =
            0.25f * std::exp(-((u - 0.3f) * (u - 0.3f) * 30 + (dy + 0.4f) * (dy + 0.4f) * 8));
        return Lit(Add(Scale(paint, shade), {shine, shine, shine}), h);
    });
    const float mouth = bl.at.y + r * 1.35f;
    const float basketTop = mouth + r * 0.32f;
    c.Stroke({{bl.at.x - r * 0.36f, mouth - r * 0.05f}, {bl.at.x - r * 0.13f, basketTop}},
             std::max(0.4f, r * 0.025f));
    c.Stroke({{bl.at.x + r * 0.36f, mouth - r * 0.05f}, {bl.at.x + r * 0.13f, basketTop}},
             std::max(0.4f, r * 0.025f));
    c.Paint(Lit(Hex(0x3A2A20), h));
    c.Rect(bl.at.x - r * 0.14f, basketTop, bl.at.x + r * 0.14f, basketTop + r * 0.22f);
    c.Paint(Lit(Hex(0x8A5A2E), h));
    if (burner) {
        c.Glow({bl.at.x, mouth + r * 0.1f}, r * 0.25f, Hex(0xFFA030), 0.9f);
        c.Glow({bl.at.x, bl.at.y + r * 0.5f}, r * 0.9f, Hex(0xFF8A30), 0.18f);
    }
}

}  // namespace

void PaintBalloons(Canvas& c, int32_t stage) {
    const Hour h = HourOf(stage);
    const float horizon = 300;
    Sky(c, h.sky, 0, horizon);
    Sun(c, h.sun, 15, h.sunColor, h.halo, stage == 4 ? 0.9f : (stage == 0 ? 0.7f : 0.5f));
    if (stage >= 1 && stage <= 3)
        Clouds(c, 171 + uint32_t(stage), 60, 200, 0.28f, Hex(0xFFFFFF),
               Mix(Hex(0xB8C8DC), h.sky.back().color, 0.3f), 0.9f);
    if (stage == 4) Clouds(c, 175, 170, 240, 0.3f, Hex(0xFFC890), Hex(0xA05A78), 0.8f);

    // patchwork hills, each band a row of fields with hedges between
    const Rgb fields[] = {Hex(0x8CB84A), Hex(0xC8C85A), Hex(0x6A9A3A),
                          Hex(0xD8B860), Hex(0x9AC070), Hex(0x5A8A40)};
    for (int band = 0; band < 4; ++band) {
        const float base = horizon + 8 + float(band * band) * 12 + float(band) * 8;
        const uint32_t seed = 176 + uint32_t(band);
        auto top = [&](float x) {
            return base - 12 * std::sin(x / (60 + 15 * float(band)) + float(band)) -
                   6 * Noise(x / 30, 0, seed);
        };
        c.Below(top, kSceneH + 2);
        const float haze = 0.45f - 0.14f * float(band);
        c.PaintShaded([&](float x, float y) {
            // fields: cells of a jittered grid, smaller with distance
            const float d = y - horizon + 12;
            const float u = (x - 145) * 2.6f / d, v = 5.2f * std::log(d) + float(band) * 3.1f;
            const float cu = std::floor(u), cv = std::floor(v);
            float best = 9, second = 9;
            uint32_t id = 0;
            for (int j = -1; j <= 1; ++j) {
                for (int i = -1; i <= 1; ++i) {
                    const uint32_t gx = uint32_t(int32_t(cu) + i), gy = uint32_t(int32_t(cv) + j);
                    const float px = cu + float(i) + 0.15f + 0.7f * Hash01(gx, gy, 181);
                    const float py = cv + float(j) + 0.15f + 0.7f * Hash01(gx, gy, 182);
                    const float dist = std::hypot(u - px, v - py);
                    if (dist < best) {
                        second = best;
                        best = dist;
                        id = gx * 73856093u ^ gy * 19349663u;
                    } else if (dist < second) {
                        second = dist;
                    }
                }
            }
            const Rgb field = fields[id % 6u];
            const float angle = Hash01(id, 183) * kPi;
            const float furrows =
                0.93f + 0.07f * std::sin((u * std::cos(angle) + v * std::sin(angle)) * 40);
            const float hedge = Smooth(0.05f, 0.02f, second - best);
            const Rgb ground = Mix(Scale(field, furrows), Hex(0x3A6A2A), hedge * 0.85f);
            return Mix(Lit(ground, h), h.sky.back().color, haze);
        });
        // a hedge along the crest
        for (float x = -4; x < kSceneW + 4; x += 4.5f - float(band))
            c.Circle({x, top(x) + 1}, 1.6f + float(band) * 0.9f);
        c.Paint(Mix(Lit(Hex(0x2E5A26), h), h.sky.back().color, haze));
    }

    const Balloon all[] = {
        {{150, 190}, 34, Hex(0xE8402E), Hex(0xFFD23A), 8},
        {{62, 120}, 18, Hex(0x2E6AD8), Hex(0xF6F6F0), 6},
        {{232, 92}, 22, Hex(0x3AA85A), Hex(0xFFE04A), 8},
        {{250, 226}, 12, Hex(0xE060A0), Hex(0x7A3AC8), 6},
        {{96, 236}, 10, Hex(0xFF8A2A), Hex(0x2AB0C0), 6},
        {{180, 52}, 9, Hex(0xC83A3A), Hex(0xF6F6F0), 6},
        {{40, 40}, 13, Hex(0xF0C020), Hex(0x3050C8), 8},
        {{120, 86}, 7, Hex(0x8A4AC8), Hex(0xFFD0E0), 6},
        {{266, 160}, 8, Hex(0x20A090), Hex(0xFFA030), 6},
    };
    const int32_t shown[] = {1, 3, 5, 7, 9};
    // far ones first, so nearer ones pass in front
    for (int32_t i = shown[stage] - 1; i >= 0; --i)
        PaintBalloon(c, all[i], h, stage == 4 || stage == 0);
    if (stage == 2 || stage == 3) {
        Bird(c, {200, 260}, 10, 0.4f, Hex(0x404850));
        Bird(c, {214, 270}, 8, 0.7f, Hex(0x404850));
    }
}
