// A coral reef under sunlit water that fills with life: corals grow, fish
// gather, a turtle glides by and at last a manta ray.
#include <cmath>

#include "tools/pelvanta-archive/Gallery.h"
#include "tools/pelvanta-archive/Scenery.h"

namespace {

constexpr float kFloor = 372;

void BranchCoral(Canvas& c, Pt foot, float size, Rgb color, uint32_t seed) {
    std::vector<std::vector<Pt>> arms;
    struct Tip {
        Pt at;
        float angle, length, width;
        int depth;
    };
    std::vector<Tip> open = {{foot, -kPi / 2, size * 0.45f, size * 0.14f, 0}};
    uint32_t n = 0;
    while (!open.empty()) {
        const Tip t = open.back();
        open.pop_back();
        const Pt end = {t.at.x + std::cos(t.angle) * t.length,
                        t.at.y + std::sin(t.angle) * t.length};
        c.Stroke(Curve({t.at,
                        {(t.at.x + end.x) / 2 + (Hash01(seed, n) - 0.5f) * t.length * 0.3f,
                         (t.at.y + end.y) / 2},
                        end},
                       5),
                 t.width, t.width * 0.8f);
        ++n;
        if (t.depth < 3) {
            const float spread = 0.35f + 0.3f * Hash01(seed, n, 1);
            open.push_back({end, t.angle - spread, t.length * 0.72f, t.width * 0.8f, t.depth + 1});
            open.push_back({end, t.angle + spread, t.length * 0.7f, t.width * 0.8f, t.depth + 1});
        } else {
            c.Circle(end, t.width * 0.6f);
        }
    }
    c.PaintShaded([&](float x, float y) {
        return Mix(
            color, Mix(color, Hex(0xFFFFFF), 0.35f),
            Clamp01((foot.y - y) / (size * 1.2f)) * (0.6f + 0.4f * Noise(x / 4, y / 4, seed)));
    });
}

void BrainCoral(Canvas& c, Pt foot, float r, Rgb color, uint32_t seed) {
    c.Polygon([&] {
        std::vector<Pt> dome;
        for (int i = 0; i <= 40; ++i) {
            const float t = kPi * float(i) / 40;
            dome.push_back({foot.x - std::cos(t) * r, foot.y - std::sin(t) * r * 0.8f});
        }
        return dome;
    }());
    c.PaintShaded([&](float x, float y) {
        const float maze =
            std::fabs(std::sin((Fbm(x / 9, y / 9, seed, 3) * 6 + x * 0.02f) * kPi * 2));
        const float lit =
            Clamp01(0.8f - (x - foot.x + r * 0.3f) / (r * 2.5f) - (y - foot.y + r) / (r * 3));
        return Scale(Mix(Scale(color, 0.7f), color, maze), 0.65f + 0.45f * lit);
    });
}

void Weed(Canvas& c, Pt foot, float height, float sway, Rgb color) {
    std::vector<Pt> stem;
    for (int i = 0; i <= 10; ++i) {
        const float t = float(i) / 10;
        stem.push_back({foot.x + std::sin(t * 3 + sway) * height * 0.08f * t, foot.y - t * height});
    }
    c.Stroke(stem, height * 0.07f, height * 0.02f);
    c.Paint(color);
}

void Fish(Canvas& c, Pt at, float size, bool left, Rgb body, Rgb fin, Rgb stripe) {
    const float dir = left ? -1.f : 1.f;
    c.Polygon({{at.x - dir * size * 0.85f, at.y},
               {at.x - dir * size * 1.35f, at.y - size * 0.45f},
               {at.x - dir * size * 1.25f, at.y},
               {at.x - dir * size * 1.35f, at.y + size * 0.45f}});
    c.Polygon({{at.x - dir * size * 0.2f, at.y - size * 0.4f},
               {at.x - dir * size * 0.5f, at.y - size * 0.8f},
               {at.x + dir * size * 0.3f, at.y - size * 0.42f}});
    c.Paint(fin);
    c.Ellipse(at, size, size * 0.5f);
    c.Paint(body);
    if (stripe.r + stripe.g + stripe.b > 0) {
        c.Ellipse({at.x + dir * size * 0.35f, at.y}, size * 0.12f, size * 0.46f);
        c.Ellipse({at.x - dir * size * 0.25f, at.y}, size * 0.12f, size * 0.48f);
        c.Paint(stripe);
    }
    c.Circle({at.x + dir * size * 0.62f, at.y - size * 0.1f}, size * 0.1f);
    c.Paint(Hex(0x101018));
}

void Turtle(Canvas& c, Pt at, float size) {
    const Rgb skin = Hex(0x7A9A5A);
    c.Ellipse({at.x - size * 0.55f, at.y - size * 0.55f}, size * 0.55f, size * 0.18f, -0.6f);
    c.Ellipse({at.x - size * 0.45f, at.y + size * 0.5f}, size * 0.4f, size * 0.15f, 0.5f);
    c.Ellipse({at.x + size * 0.55f, at.y + size * 0.35f}, size * 0.3f, size * 0.12f, -0.4f);
    c.Ellipse({at.x - size * 1.05f, at.y + size * 0.05f}, size * 0.3f, size * 0.2f);
    c.Paint(skin);
    c.Ellipse(at, size * 0.85f, size * 0.55f, -0.1f);
    c.PaintShaded([&](float x, float y) {
        const float cell =
            Smooth(0.08f, 0.02f, std::fabs(std::sin(x / 5.5f) * std::sin(y / 5.5f + x / 11)));
        return Mix(Mix(Hex(0x8A6A34), Hex(0xC8A050), Clamp01(0.6f - (y - at.y) / size)),
                   Hex(0x4A3418), cell * 0.6f);
    });
    c.Circle({at.x - size * 1.16f, at.y - size * 0.02f}, size * 0.05f);
    c.Paint(Hex(0x101010));
}

void Manta(Canvas& c, Pt at, float size, Rgb color) {
    c.Polygon(Curve({{at.x - size, at.y + size * 0.1f},
                     {at.x - size * 0.4f, at.y - size * 0.15f},
                     {at.x + size * 0.1f, at.y - size * 0.35f},
                     {at.x + size * 0.35f, at.y - size * 0.1f},
                     {at.x + size * 0.95f, at.y + size * 0.2f},
                     {at.x + size * 0.2f, at.y + size * 0.2f},
                     {at.x - size * 0.3f, at.y + size * 0.25f}},
                    6));
    c.Stroke({{at.x - size * 0.2f, at.y + size * 0.2f}, {at.x - size * 0.7f, at.y + size * 0.6f}},
             size * 0.03f, size * 0.01f);
    c.Paint(color);
}

}  // namespace

void PaintReef(Canvas& c, int32_t stage) {
    Sky(c, {{0, Hex(0x7AE0E8)}, {0.25f, Hex(0x28A8C8)}, {0.7f, Hex(0x0E5E96)}, {1, Hex(0x0A3A6A)}},
        0, kSceneH);
    // the bright, moving surface seen from below
    c.Apply([](float x, float y, Rgb p) {
        if (y > 40) return p;
        const float caustic = Smooth(0.55f, 0.75f, Fbm(x / 18, y / 5, 191, 3));
        return Add(p, Scale(Hex(0xE8FFFF), caustic * 0.35f * (1 - y / 40)));
    });
    Rays(c, {120, -80}, 8, 0.9f, Hex(0xC8F8FF), 0.2f, 192);

    // the sandy floor with ripples and dapples of light
    c.Below([](float x) { return kFloor - 10 * std::sin(x / 60) - 6 * Noise(x / 25, 0, 193); },
            kSceneH + 2);
    c.PaintShaded([](float x, float y) {
        const float ripple = 0.9f + 0.1f * std::sin(x / 4 + std::sin(y / 9) * 3 + y / 3);
        const float dapple = Smooth(0.6f, 0.8f, Fbm(x / 12, y / 6, 194, 3));
        return Add(Scale(Mix(Hex(0x9A9A82), Hex(0xD8CCA0), Clamp01((y - 350) / 90)), ripple),
                   Scale(Hex(0xFFFFFF), dapple * 0.12f));
    });
    // a rock shelf on the right
    c.Polygon(Curve(
        {{180, kSceneH + 4}, {196, 340}, {230, 300}, {270, 296}, {300, 310}, {300, kSceneH + 4}},
        6));
    c.PaintShaded([](float x, float y) {
        return Mix(Hex(0x3A5064), Hex(0x6A7C88), Fbm(x / 10, y / 10, 195, 4));
    });

    const int32_t corals = 6 + 5 * stage;
    const Rgb hues[] = {Hex(0xFF6A7A), Hex(0xFF9A4A), Hex(0xC85AD8),
                        Hex(0xFFD04A), Hex(0xF07AB8), Hex(0x5AD0C0)};
    for (int32_t i = 0; i < corals; ++i) {
        const float x = 12 + Hash01(196, uint32_t(i)) * 270;
        const float onShelf =
            x > 215 ? 300 + (x - 215) * 0.05f : kFloor + 8 + Hash01(197, uint32_t(i)) * 30;
        const Pt foot = {x, onShelf};
        const Rgb hue = hues[uint32_t(i) % 6u];
        if (i % 3 == 1)
            BrainCoral(c, foot, 12 + 12 * Hash01(198, uint32_t(i)), hue, 199 + uint32_t(i));
        else if (i % 3 == 2)
            Weed(c, foot, 60 + 50 * Hash01(200, uint32_t(i)), float(i), Hex(0x3AA05A));
        else
            BranchCoral(c, foot, 40 + 34 * Hash01(201, uint32_t(i)), hue, 202 + uint32_t(i));
    }

    Fish(c, {90, 250}, 10, false, Hex(0xFF8A20), Hex(0xE86A10), Hex(0xFFFFFF));
    Fish(c, {206, 200}, 12, true, Hex(0x2A6AE8), Hex(0xFFD020), {});
    if (stage >= 1) {
        Fish(c, {40, 330}, 8, false, Hex(0xFFE040), Hex(0xFFB020), {});
        Fish(c, {250, 270}, 9, true, Hex(0xFF8A20), Hex(0xE86A10), Hex(0xFFFFFF));
    }
    if (stage >= 2) {  // a school of silver fish swirling as one
        for (int32_t i = 0; i < 90; ++i) {
            const float a = Hash01(203, uint32_t(i)) * 2 * kPi;
            const float r = std::sqrt(Hash01(204, uint32_t(i)));
            const Pt at = {160 + std::cos(a) * r * 58,
                           128 + std::sin(a) * r * 26 + std::sin(std::cos(a) * r * 3) * 8};
            const float heading = a + kPi / 2 + (Noise(at.x / 30, at.y / 30, 205) - 0.5f) * 0.6f;
            const float dx = std::cos(heading), dy = std::sin(heading) * 0.35f;
            const float len = std::hypot(dx, dy);
            const Pt nose = {at.x + dx / len * 4, at.y + dy / len * 4},
                     tail = {at.x - dx / len * 4, at.y - dy / len * 4};
            c.Ellipse(at, 4.2f, 1.5f, std::atan2(dy, dx));
            c.Polygon(
                {tail,
                 {tail.x - dx / len * 2.5f - dy / len * 2, tail.y - dy / len * 2.5f + dx / len * 2},
                 {tail.x - dx / len * 2.5f + dy / len * 2,
                  tail.y - dy / len * 2.5f - dx / len * 2}});
            (void)nose;
        }
        c.PaintShaded(
            [](float, float y) {
                return Mix(Hex(0xF0FAFF), Hex(0x8AB0C8), Clamp01((y - 100) / 60));
            },
            0.92f);
    }
    if (stage >= 3) Turtle(c, {84, 170}, 30);
    if (stage >= 4) {
        Manta(c, {210, 64}, 48, Hex(0x2A4A66));
        for (int32_t i = 0; i < 24; ++i) {  // bubbles
            const Pt at = {60 + Hash01(204, uint32_t(i)) * 20 + float(i % 5),
                           40 + Hash01(205, uint32_t(i)) * 300};
            c.Circle(at, 1 + 2 * Hash01(206, uint32_t(i)));
        }
        c.Paint(Hex(0xE8FFFF), 0.45f);
    }
    Haze(c, 0, kSceneH, Hex(0x0E4E7E), 0.12f);
}
